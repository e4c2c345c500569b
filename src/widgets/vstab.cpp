#include "widgets/vstab.h"

#include "classlib/application.h"
#include "classlib/dragdrop.h"
#include "classlib/gdiguards.h"

#include <windowsx.h>

#include <algorithm>

namespace widgets {

using namespace classlib;

namespace {

constexpr COLORREF LineColor = 0x808080;

// A memory DC for measuring with a font; the font stays owned by its TFont.
class MeasureDC {
public:
    explicit MeasureDC(HFONT font) : FFont(FDC.Handle(), font) {}
    void Select(HFONT font) { SelectObject(FDC.Handle(), font); }
    SIZE Extent(const wchar_t* text, int length) const {
        SIZE s{};
        GetTextExtentPoint32W(FDC.Handle(), text, length, &s);
        return s;
    }

private:
    TMemoryDC FDC;
    TSelectedObject FFont;  // gives the DC its own font back before it goes
};

// The caption's width measured one character at a time (a surrogate pair is one
// character).
int CaptionWidth(const MeasureDC& dc, const std::wstring& caption) {
    int width = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        int len = 1;
        if (IS_HIGH_SURROGATE(caption[i]) && i + 1 < caption.size() && IS_LOW_SURROGATE(caption[i + 1])) len = 2;
        width += dc.Extent(caption.data() + i, len).cx;
        i += len - 1;
    }
    return width;
}

int Channel(COLORREF c, int shift) { return (c >> shift) & 0xFF; }

COLORREF Blend(COLORREF s, COLORREF e, int m, int n) {
    auto ch = [&](int shift) { return (m * Channel(e, shift) + (n - m) * Channel(s, shift)) / n; };
    return RGB(ch(0), ch(8), ch(16));
}

void HLine(HDC dc, int x0, int x1, int y, COLORREF color) {
    if (x1 <= x0) return;
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    TSelectedObject selected(dc, pen.Handle());
    MoveToEx(dc, x0, y, nullptr);
    LineTo(dc, x1, y);
}

}  // namespace

// ---- TVxVSTabStrings ------------------------------------------------------------------

void TVxVSTabStrings::Changed() {
    TWideStringList::Changed();
    if (UpdateCount() > 0 || !FOwner) return;
    const int active = FOwner->FActiveTabIndex;
    const int count = Count();
    if (active >= count)
        FOwner->SetActiveTabIndex(count - 1);
    else if (count > 0 && active < 0)
        FOwner->SetActiveTabIndex(count - 1);
    FOwner->FitHeight();
    FOwner->Invalidate();
}

// ---- TVSTabHintWindow -----------------------------------------------------------------

void TVSTabHintWindow::ActivateHint(RECT rect, const std::wstring& hint) {
    FText = hint;
    THintWindow::ActivateHint(rect, hint);
}

void TVSTabHintWindow::Paint() {
    TCanvas& cv = Canvas();
    RECT r = ClientRect();
    OffsetRect(&r, 2, 2);
    cv.Font().SetColor(clInfoText);
    cv.Brush().SetStyle(bsClear);
    UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    if (cv.TextFlags & ETO_RTLREADING) format |= DT_RTLREADING;
    cv.DrawText(FText, r, format);
}

// ---- TVxVSTab -------------------------------------------------------------------------

TVxVSTab::TVxVSTab(TComponent* owner) : TCustomControl(owner) {
    DoubleBuffered = true;
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        FFont->AssignLogFont(ncm.lfMessageFont);
    SetBounds(0, 0, 200, 25);
}

TVxVSTab::~TVxVSTab() {
    // The list must not call back into a strip that is going.
    FTabs.FOwner = nullptr;
    if (FFitQueued && Application) Application->CancelQueuedCalls(this);
}

void TVxVSTab::SetImages(TImageList* value) {
    FImages = value;
    FitHeight();
    Invalidate();
}

void TVxVSTab::SetActiveTabIndex(int value) {
    bool allow = true;
    if (OnChanging) OnChanging(this, value, allow);
    if (!allow) return;
    FActiveTabIndex = value;
    FitHeight();  // the active caption is bold: the rows may wrap elsewhere
    Invalidate();
    if (OnChange) OnChange(this);
}

int TVxVSTab::TabImageIndex(int tabIndex) {
    if (!FImages) return -1;
    int index = FImageIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, tabIndex, index);
    return index;
}

void TVxVSTab::LayoutTabs(std::vector<TVxVSTabClass>& list, int& lastRow, int& rowHeight) {
    LayoutTabsAt(FWidth, list, lastRow, rowHeight);
}

void TVxVSTab::LayoutTabsAt(int width, std::vector<TVxVSTabClass>& list, int& lastRow, int& rowHeight) {
    list.clear();
    TFont bold;
    bold.Assign(*FFont);
    bold.SetStyle(FFont->Style() | fsBold);
    TFont regular;
    regular.Assign(*FFont);
    regular.SetStyle(FFont->Style() & ~fsBold);
    MeasureDC dc(FFont->Handle());
    const int h = std::max<int>(dc.Extent(L"WI", 2).cy, 15);
    int x = 4, row = 0;
    for (int i = 0; i < FTabs.Count(); ++i) {
        const bool active = i == FActiveTabIndex;
        dc.Select(active ? bold.Handle() : regular.Handle());
        std::wstring caption = FTabs.Get(i);
        int w = FTabWidth != -1 ? FTabWidth : 2 * h + CaptionWidth(dc, caption);
        if (FImages) {
            if (TabImageIndex(i) != -1) w += FImages->Width() + 3;
        }
        // Checked once per tab: a tab that starts a row stays there even when it is wider
        // than the strip.
        if (width - 5 < x + w + 2) {
            ++row;
            x = 4;
        }
        TVxVSTabClass rec;
        rec.Caption = std::move(caption);
        rec.TabIndex = i;
        rec.Row = row;
        rec.Height = h + 3;
        rec.Active = active;
        rec.Rect.left = x;
        rec.Rect.right = x + w;
        list.push_back(std::move(rec));
        x += w - 5;  // neighbours overlap by 5 pixels
    }
    if (FActiveTabLineTopView) {
        auto it = std::find_if(list.begin(), list.end(), [](const TVxVSTabClass& r) { return r.Active; });
        if (it != list.end()) {
            const int activeRow = it->Row;
            for (auto& r : list) {
                if (r.Row == activeRow)
                    r.Row = row;
                else if (r.Row == row)
                    r.Row = activeRow;
            }
        }
    }
    // Within a row the tabs keep index order, so the left one of two overlapping
    // neighbours is painted last (on top) and wins a click in the overlap.
    std::stable_sort(list.begin(), list.end(), [this](const TVxVSTabClass& a, const TVxVSTabClass& b) {
        return FReversing ? a.Row < b.Row : a.Row > b.Row;
    });
    for (auto& r : list) {
        r.Rect.top = r.Row * (h + 3) - r.Row * 4;
        r.Rect.bottom = r.Rect.top + h + 3;
    }
    lastRow = row;
    rowHeight = h;
}

int TVxVSTab::TabAtPoint(POINT p) {
    std::vector<TVxVSTabClass> list;
    int lastRow = 0, h = 0;
    LayoutTabs(list, lastRow, h);
    for (const auto& r : list)
        if (r.Rect.left < p.x && p.x < r.Rect.right && r.Rect.top < p.y && p.y < r.Rect.bottom) return r.TabIndex;
    return -1;
}

POINT TVxVSTab::CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

int TVxVSTab::TabUnderCursor() { return TabAtPoint(ScreenToClient(CursorPos())); }

int TVxVSTab::NeededHeightAt(int width) {
    std::vector<TVxVSTabClass> list;
    int lastRow = 0, h = 0;
    LayoutTabsAt(width, list, lastRow, h);
    return lastRow * (h - 1) + h + 4;
}

void TVxVSTab::SetBounds(int left, int top, int width, int height) {
    if (width != FWidth) height = NeededHeightAt(std::max(width, 0));
    TCustomControl::SetBounds(left, top, width, height);
}

void TVxVSTab::DrawRowLine(const TVxVSTabClass& tab, int pending, int lastRow) {
    if (tab.Row == pending) return;
    if (!FReversing && tab.Row == lastRow) return;
    if (FReversing && tab.Row == 0) return;
    HLine(Canvas().Handle(), 0, FWidth, FReversing ? tab.Rect.top : tab.Rect.bottom, LineColor);
}

void TVxVSTab::DrawTab(const TVxVSTabClass& tab, TColor startColor, TColor endColor) {
    TCanvas& cv = Canvas();
    HDC dc = cv.Handle();
    const int L = tab.Rect.left, T = tab.Rect.top, R = tab.Rect.right, B = tab.Rect.bottom;
    const int h = tab.Height;
    const COLORREF s = ColorToRGB(startColor), e = ColorToRGB(endColor);
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, LineColor));
    auto drawOutline = [&](const POINT* points) {
        TSelectedObject selected(dc, pen.Handle());
        Polyline(dc, points, 6);
    };
    if (!FReversing) {
        const POINT outline[] = {{L, B}, {L + h - 4, T + 4}, {L + h, T + 1}, {R - 2, T + 1}, {R, T + 3}, {R, B + 1}};
        drawOutline(outline);
        const int n = B - T - 2;
        for (int y = T + 2; y <= B; ++y) {
            const int m = y - T - 2;
            int x0 = L + h - (y - T) + 1, x1 = R;
            if (y == T + 2) {
                x0 = L + h;
                x1 = R - 1;
            } else if (y == T + 3) {
                x0 = L + h - 2;
            }
            HLine(dc, x0, x1, y, Blend(s, e, m, n));
        }
    } else {
        const POINT outline[] = {{L, T}, {L + h - 4, B - 4}, {L + h, B - 1}, {R - 2, B - 1}, {R, B - 3}, {R, T - 1}};
        drawOutline(outline);
        const int f = B - T;
        for (int y = T; y <= B - 2; ++y) {
            const int g = y - T;
            int x0 = L + (y - T) + 1, x1 = R;
            if (y == B - 2) {
                x0 = L + (y - T) + 2;
                x1 = R - 1;
            } else if (y == B - 3) {
                x0 = L + (y - T) + 2;
            }
            HLine(dc, x0, x1, y, Blend(s, e, g, f));
        }
    }

    RECT text{L + h + 2, T + 2, R, B};
    if (FImages) {
        int image = TabImageIndex(tab.TabIndex);
        if (image != -1) {
            FImages->Draw(cv, text.left, text.top + std::abs((B - text.top - FImages->Height()) / 2), image, true);
            text.left += FImages->Width() + 3;
        }
    }
    cv.Font().Assign(*FFont);
    cv.Font().SetStyle(tab.Active ? (FFont->Style() | fsBold) : (FFont->Style() & ~fsBold));
    cv.Font().SetColor(tab.Active ? TextColorForActive : TextColor);
    cv.Brush().SetStyle(bsClear);
    // Key names may hold "&": captions are shown as they are.
    cv.DrawText(tab.Caption, text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    cv.Brush().SetStyle(bsSolid);
}

void TVxVSTab::Paint() {
    TCanvas& cv = Canvas();
    RECT client = ClientRect();
    cv.Brush().SetColor(FColor);
    cv.Brush().SetStyle(bsSolid);
    cv.FillRect(client);
    std::vector<TVxVSTabClass> list;
    int lastRow = 0, h = 0;
    LayoutTabs(list, lastRow, h);
    int pending = -1;
    const TVxVSTabClass* active = nullptr;
    for (const auto& r : list)
        if (r.Active) {
            active = &r;
            break;
        }
    // From the top row down (with Reversing from the last row up); the active tab is drawn
    // after the other tabs of its row so it covers their edges and the row line.
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const TVxVSTabClass& r = *it;
        DrawRowLine(r, pending, lastRow);
        if (r.Active) {
            pending = r.Row;
            continue;
        }
        if (r.Row != pending && pending != -1) {
            if (active) DrawTab(*active, ActiveGradS, ActiveGradE);
            pending = -1;
        }
        DrawTab(r, NonActiveGradS, NonActiveGradE);
        DrawRowLine(r, pending, lastRow);
    }
    if (pending != -1 && active) DrawTab(*active, ActiveGradS, ActiveGradE);
    if (lastRow * (h - 1) + h + 4 != FHeight) QueueFit();
}

void TVxVSTab::FitHeight() {
    const int height = NeededHeight();
    if (height != FHeight) SetHeight(height);
}

void TVxVSTab::QueueFit() {
    if (FFitQueued || !Application || !Application->Handle() || NeededHeight() == FHeight) return;
    FFitQueued = true;
    Application->QueueCall(
        [this] {
            FFitQueued = false;
            FitHeight();
        },
        this);
}

void TVxVSTab::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft) {
        if (CanFocus()) SetFocus();
        int tab = TabAtPoint({x, y});
        if (tab != -1) SetActiveTabIndex(tab);
        if (FEnableBuiltinDragDrop) BeginDrag(false);
    } else if (button == mbMiddle && FMiddleClickClose) {
        int tab = TabAtPoint({x, y});
        if (tab != -1) {
            bool allow = true;
            if (OnMiddleClickClosing) OnMiddleClickClosing(this, tab, allow);
            // The handler may have changed the list meanwhile.
            if (allow && tab < FTabs.Count()) FTabs.Delete(tab);
            Invalidate();
        }
    }
}

void TVxVSTab::WMLButtonDblClk(TMessage& m) {
    MouseDown(mbLeft, KeysToShiftState(m.WParam) | ssDouble, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    TCustomControl::WMLButtonDblClk(m);
}

void TVxVSTab::Dispatch(TMessage& m) {
    if (m.Msg == WM_MBUTTONDBLCLK) {
        m.Msg = WM_MBUTTONDOWN;
        WMMouseDown(m, mbMiddle);
        return;
    }
    TCustomControl::Dispatch(m);
}

void TVxVSTab::CMMouseWheel(TMessage& m) {
    const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
    if (delta < 0) {
        if (FActiveTabIndex + 1 < FTabs.Count()) SetActiveTabIndex(FActiveTabIndex + 1);
    } else if (delta > 0) {
        if (FActiveTabIndex - 1 >= 0) SetActiveTabIndex(FActiveTabIndex - 1);
    }
    m.Result = 1;
}

void TVxVSTab::DragOver(TComponent* source, int x, int y, int state, bool& accept) {
    TCustomControl::DragOver(source, x, y, state, accept);
    accept = source == this;
    FDropTarget = state == dsDragLeave ? -1 : TabAtPoint({x, y});
}

void TVxVSTab::DragDrop(TComponent* source, int x, int y) {
    TCustomControl::DragDrop(source, x, y);
    FDropTarget = -1;
    int target = TabAtPoint({x, y});
    if (target == -1) return;
    // Only an active tab that exists can change places.
    if (FActiveTabIndex >= 0 && FActiveTabIndex < FTabs.Count()) FTabs.Exchange(FActiveTabIndex, target);
    SetActiveTabIndex(target);
    Invalidate();
}

void TVxVSTab::CMFontChanged(TMessage& m) {
    TCustomControl::CMFontChanged(m);
    Canvas().Font().Assign(*FFont);
    FitHeight();
    Invalidate();
}

void TVxVSTab::CMHintShow(TMessage& m) {
    auto* info = reinterpret_cast<THintInfo*>(m.LParam);
    if (!info) return;
    if (OnGetHintStr) {
        int tab = TabUnderCursor();
        if (tab != -1) OnGetHintStr(this, tab, info->HintStr);
    }
    info->HintWindowClass = [] { return new TVSTabHintWindow(nullptr); };
    info->ReshowTimeout = 100;
    m.Result = 0;
}

}  // namespace widgets
