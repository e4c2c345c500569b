// Resizing a docked themed panel by the user: the docked frame, its hit codes and cursors, the
// edge away from the dock that changes the panel's thickness, the split edges between two
// panels of a multi-dock, and the two modal mouse loops that carry them out.
//
// Both loops hold the mouse capture and a screen DC and run their own message loop until the
// button is released or pressed again, Esc is pressed or the capture is lost; guards give back
// the capture, the DC, the drag line and the loop's flag on every way out.
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "classlib/screen.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmdockpanel.h"
#include "controls/toolbar/themed/thmmultidock.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

constexpr int EdgeSize = 2;
const SIZE LineOutline{3, 2};

bool IsResizeCode(LRESULT code) { return code >= HTLEFT && code <= HTBOTTOM; }
bool IsSplitCode(LRESULT code) { return code >= HTSPLITLEFT && code <= HTSPLITBOTTOM; }

RECT ScreenClientRect(TWinControl* control) {
    RECT r = control->ClientRect();
    const POINT origin = control->ClientToScreen({0, 0});
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

class TCaptureGuard {
public:
    explicit TCaptureGuard(HWND wnd) : FWnd(wnd) { SetCapture(wnd); }
    ~TCaptureGuard() {
        if (GetCapture() == FWnd) ReleaseCapture();
    }
    TCaptureGuard(const TCaptureGuard&) = delete;
    TCaptureGuard& operator=(const TCaptureGuard&) = delete;

private:
    HWND FWnd;
};

// The drag line of a loop without live resizing: a band inverted on the screen, moved by
// inverting the difference, erased by the guard when still shown.
class TDragLine {
public:
    explicit TDragLine(HDC dc) : FDC(dc) {}
    ~TDragLine() { Hide(); }
    TDragLine(const TDragLine&) = delete;
    TDragLine& operator=(const TDragLine&) = delete;
    void MoveTo(const RECT& band) {
        if (FShown && EqualRect(&band, &FBand)) return;
        PaintDragFrame(FDC, &band, FShown ? &FBand : nullptr, LineOutline, LineOutline);
        FBand = band;
        FShown = true;
    }
    void Hide() {
        if (FShown) PaintDragFrame(FDC, nullptr, &FBand, LineOutline, LineOutline);
        FShown = false;
    }

private:
    HDC FDC;
    RECT FBand{};
    bool FShown = false;
};

// The band across the dock's client rectangle (screen) at `pos` along one axis.
RECT LineBand(const RECT& dockClient, bool alongX, int pos) {
    return alongX ? RECT{pos - 1, dockClient.top, pos + 1, dockClient.bottom}
                  : RECT{dockClient.left, pos - 1, dockClient.right, pos + 1};
}

// Runs the message loop of a resize while `wnd` holds the capture: `onMove` gets each new
// cursor position; a left button, Esc or the end of the capture ends it.
void RunResizeLoop(HWND wnd, const std::function<void(POINT)>& onMove) {
    POINT last{INT32_MIN, INT32_MIN};
    while (GetCapture() == wnd) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (msg.wParam == VK_ESCAPE) return;
            continue;
        case WM_MOUSEMOVE:
            if (msg.pt.x != last.x || msg.pt.y != last.y) {
                last = msg.pt;
                onMove(last);
            }
            continue;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: return;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: continue;
        default: break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

// --- the resizing steps ---------------------------------------------------------------------------

bool TThmCustomDockablePanel::FireDockedResizing(bool vertical, int& newSize, TThmResizingStage stage) {
    bool allow = true;
    if (OnDockedResizing) OnDockedResizing(this, vertical, newSize, stage, allow);
    return allow;
}

bool TThmCustomDockablePanel::AskDockedResizing(bool vertical, TThmResizingStage stage) {
    const int current = vertical ? Height() : Width();
    int size = current;
    if (!FireDockedResizing(vertical, size, stage)) return false;
    if (size != current) {
        if (vertical)
            SetBounds(Left(), Top(), Width(), size);
        else
            SetBounds(Left(), Top(), size, Height());
    }
    return true;
}

bool TThmCustomDockablePanel::BeginDockedResizing(bool vertical) { return AskDockedResizing(vertical, rsBeginResizing); }

bool TThmCustomDockablePanel::EndDockedResizing(bool vertical) { return AskDockedResizing(vertical, rsEndResizing); }

bool TThmCustomDockablePanel::ConstrainDockedSize(bool vertical, int& newSize) {
    if (TBarDock* dock = CurrentDock())
        if (TForm* form = GetParentForm(dock)) {
            const SIZE client = GetFormClientSize(*form);
            const int limit = (vertical ? client.cy + Height() : client.cx + Width()) - 32;
            newSize = std::min(newSize, limit);
        }
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    const int nc = vertical ? ncHeight : ncWidth;
    const int minimum = vertical ? FMinClientHeight : FMinClientWidth;
    const int maximum = vertical ? FMaxClientHeight : FMaxClientWidth;
    int client = newSize - nc;
    if (client < minimum)
        client = minimum;
    else if (maximum > minimum && maximum < client)
        client = maximum;
    newSize = client + nc;
    return FireDockedResizing(vertical, newSize, rsResizing);
}

bool TThmCustomDockablePanel::HasSplitEdge(int side) {
    auto* dock = dynamic_cast<TThmMultiDock*>(CurrentDock());
    if (!dock || !HandleAllocated()) return false;
    const std::vector<TThmCustomDockablePanel*> panels = dock->PanelsByPosition();
    const bool last = panels.empty() || panels.back() == this;
    if (dock->Vertical()) {
        if (side == sideTop) return ArrangedPos() > 0;
        if (side == sideBottom) return !last;
    } else {
        if (side == sideLeft) return ArrangedPos() > 0;
        if (side == sideRight) return !last;
    }
    return false;
}

// --- the docked frame -----------------------------------------------------------------------------

void TThmCustomDockablePanel::WMNCCalcSizePanel(TMessage& m) {
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    InflateRect(r, -EdgeSize, -EdgeSize);
    if (FShowCaptionWhenDocked) (IsVertCaption() ? r->left : r->top) += GetSystemMetrics(SM_CYSMCAPTION);
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
    m.Result = 0;
}

void TThmCustomDockablePanel::WMNCHitTestPanel(TMessage& m) {
    DefaultHandler(m);
    const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    RECT r;
    GetWindowRect(Handle(), &r);
    LRESULT code = m.Result;
    // The resize edge is the one away from the dock's side.
    LRESULT edge = HTNOWHERE;
    if (Resizable()) {
        switch (CurrentDock()->Position()) {
        case dpTop: edge = p.y >= r.bottom - EdgeSize ? HTBOTTOM : HTNOWHERE; break;
        case dpBottom: edge = p.y <= r.top + EdgeSize ? HTTOP : HTNOWHERE; break;
        case dpLeft: edge = p.x >= r.right - EdgeSize ? HTRIGHT : HTNOWHERE; break;
        case dpRight: edge = p.x <= r.left + EdgeSize ? HTLEFT : HTNOWHERE; break;
        }
    }
    const bool hit = edge != HTNOWHERE;
    if (hit) code = edge;
    if (!hit) {
        if (p.x >= r.right - EdgeSize && HasSplitEdge(sideRight))
            code = HTSPLITRIGHT;
        else if (p.y >= r.bottom - EdgeSize && HasSplitEdge(sideBottom))
            code = HTSPLITBOTTOM;
        else if (p.x <= r.left + EdgeSize && HasSplitEdge(sideLeft))
            code = HTSPLITLEFT;
        else if (p.y <= r.top + EdgeSize && HasSplitEdge(sideTop))
            code = HTSPLITTOP;
    }
    if (code != HTCLIENT && !IsResizeCode(code) && !IsSplitCode(code)) {
        code = HTNOWHERE;
        RECT inner = r;
        InflateRect(&inner, -EdgeSize, -EdgeSize);
        if (PtInRect(&inner, p) && FShowCaptionWhenDocked) {
            code = HTBARDRAG;
            if (CloseButtonWhenDocked()) {
                const int caption = GetSystemMetrics(SM_CYSMCAPTION);
                const bool inClose = IsVertCaption()
                                         ? p.y >= inner.bottom - (caption - 4) && p.x < inner.left + (caption - 4)
                                         : p.x >= inner.right - (caption + 4) && p.y < inner.top + (caption + 4);
                if (inClose) code = HTBARCLOSE;
            }
        }
    }
    m.Result = code;
}

bool TThmCustomDockablePanel::WMSetCursorPanel(TMessage& m) {
    TBarDock* dock = CurrentDock();
    if (!dock || !dock->AllowDrag() || reinterpret_cast<HWND>(m.WParam) != Handle()) return false;
    TCursor cursor = crDefault;
    switch (LOWORD(m.LParam)) {
    case HTLEFT:
    case HTRIGHT: cursor = HorzResizeCursor; break;
    case HTTOP:
    case HTBOTTOM: cursor = VertResizeCursor; break;
    case HTSPLITLEFT:
    case HTSPLITRIGHT: cursor = HorzSplitCursor; break;
    case HTSPLITTOP:
    case HTSPLITBOTTOM: cursor = VertSplitCursor; break;
    case HTBARDRAG:
        if (!FShowCaptionWhenDocked) return false;
        cursor = crArrow;
        break;
    default: return false;
    }
    ::SetCursor(Screen ? Screen->Cursors(cursor) : LoadCursorW(nullptr, IDC_ARROW));
    m.Result = 1;
    return true;
}

bool TThmCustomDockablePanel::WMNCLButtonDownPanel(TMessage& m) {
    if (!Docked()) return false;
    const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    const LRESULT code = static_cast<LRESULT>(m.WParam);
    if (IsResizeCode(code)) {
        DockablePanelResizeLoop(code, p);
        m.Result = 0;
        return true;
    }
    if (IsSplitCode(code)) {
        DockablePanelSplitLoop(code, p);
        m.Result = 0;
        return true;
    }
    if (code == HTBARDRAG && CanBeDragged()) {
        HCURSOR previous = ::SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        auto restore = ScopeExit([previous] { ::SetCursor(previous); });
        TBarCustomDockableWindow::Dispatch(m);
        return true;
    }
    return false;
}

// --- the edge resize loop -------------------------------------------------------------------------

void TThmCustomDockablePanel::DockablePanelResizeLoop(LRESULT hitCode, POINT start) {
    if (hitCode != HTLEFT && hitCode != HTRIGHT && hitCode != HTTOP && hitCode != HTBOTTOM) return;
    const bool vertical = hitCode == HTTOP || hitCode == HTBOTTOM;
    TBarDock* dock = CurrentDock();
    if (!dock || !HandleAllocated() || !BeginDockedResizing(vertical)) return;
    HWND wnd = Handle();
    RECT startRect;
    GetWindowRect(wnd, &startRect);
    const RECT dockClient = ScreenClientRect(dock);
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    const bool live = FSmoothDockedResize;

    TWindowDC screen(nullptr);
    std::optional<TDragLine> line;
    if (!live && screen.Handle()) line.emplace(screen.Handle());
    FResizedAtEdge = true;
    auto clearFlag = ScopeExit([this] { FResizedAtEdge = false; });
    // The docked size from an outer rectangle, inside one arrangement of the dock.
    auto apply = [&](const RECT& r) {
        dock->BeginUpdate();
        auto end = ScopeExit([dock] { dock->EndUpdate(); });
        Guarded([&] {
            if (vertical)
                SetDockedHeight(r.bottom - r.top - ncHeight);
            else
                SetDockedWidth(r.right - r.left - ncWidth);
        });
    };
    auto edgeOf = [&](const RECT& r) {
        switch (hitCode) {
        case HTLEFT: return r.left;
        case HTRIGHT: return r.right;
        case HTTOP: return r.top;
        default: return r.bottom;
        }
    };
    if (line) line->MoveTo(LineBand(dockClient, !vertical, edgeOf(startRect)));

    std::optional<RECT> last;
    {
        TCaptureGuard capture(wnd);
        RunResizeLoop(wnd, [&](POINT p) {
            const int dx = p.x - start.x, dy = p.y - start.y;
            int size = 0;
            switch (hitCode) {
            case HTLEFT: size = (startRect.right - startRect.left) - dx + 1; break;
            case HTRIGHT: size = (startRect.right - startRect.left) + dx; break;
            case HTTOP: size = (startRect.bottom - startRect.top) - dy + 1; break;
            default: size = (startRect.bottom - startRect.top) + dy; break;
            }
            RECT r = startRect;
            if (ConstrainDockedSize(vertical, size)) {
                switch (hitCode) {
                case HTLEFT: r.left = r.right - size; break;
                case HTRIGHT: r.right = r.left + size; break;
                case HTTOP: r.top = r.bottom - size; break;
                default: r.bottom = r.top + size; break;
                }
            }
            if (last && EqualRect(&*last, &r)) return;
            last = r;
            if (live)
                apply(r);
            else if (line)
                line->MoveTo(LineBand(dockClient, !vertical, edgeOf(r)));
        });
    }
    const bool allowed = EndDockedResizing(vertical);
    if (!live) {
        if (line) line->Hide();
        if (allowed && last) apply(*last);
    } else if (!allowed) {
        apply(startRect);
    }
}

// --- the split loop -------------------------------------------------------------------------------

void TThmCustomDockablePanel::DockablePanelSplitLoop(LRESULT hitCode, POINT start) {
    auto* dock = dynamic_cast<TThmMultiDock*>(CurrentDock());
    if (!dock || !HandleAllocated()) return;
    std::vector<TThmCustomDockablePanel*> panels;
    for (int i = 0; i < dock->GetVisibleWindowCount(); ++i) {
        auto* panel = dynamic_cast<TThmCustomDockablePanel*>(dock->GetVisibleWindow(i));
        if (!panel) return;
        panels.push_back(panel);
    }
    const auto self = std::find(panels.begin(), panels.end(), this);
    if (self == panels.end()) return;
    const int index = static_cast<int>(self - panels.begin());
    const int splitter = hitCode == HTSPLITRIGHT || hitCode == HTSPLITBOTTOM ? index : index - 1;
    if (splitter < 0 || splitter + 1 >= static_cast<int>(panels.size())) return;

    const bool vertical = dock->Vertical();
    const int available = dock->AvailableLength();
    std::vector<TThmDockLength> lengths;
    std::vector<int> across;
    std::int64_t minSum = 0, maxSum = 0;
    bool live = true;
    for (TThmCustomDockablePanel* p : panels) {
        int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
        p->ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
        lengths.push_back(vertical ? MakeDockLength(p->Height(), minHeight, maxHeight, available)
                                   : MakeDockLength(p->Width(), minWidth, maxWidth, available));
        lengths.back().Size = vertical ? p->Height() : p->Width();
        across.push_back(vertical ? p->Width() : p->Height());
        minSum += lengths.back().Min;
        maxSum += lengths.back().Max;
        live = live && p->FSmoothDockedResize;
    }
    if (available < minSum || available > maxSum) return;

    const RECT dockClient = ScreenClientRect(dock);
    const int origin = vertical ? dockClient.top : dockClient.left;
    std::vector<int> sizes;
    for (const TThmDockLength& l : lengths) sizes.push_back(l.Size);
    auto startOf = [&](int i) {
        int pos = 0;
        for (int k = 0; k < i; ++k) pos += sizes[k];
        return pos;
    };
    auto apply = [&] {
        dock->BeginUpdate();
        auto end = ScopeExit([dock] { dock->EndUpdate(); });
        for (auto* p : panels) ++p->FSizeGuard;
        auto lower = ScopeExit([&panels] {
            for (auto* p : panels) --p->FSizeGuard;
        });
        for (size_t i = 0; i < panels.size(); ++i) {
            const int pos = startOf(static_cast<int>(i));
            if (vertical) {
                panels[i]->SetSplitHeight(sizes[i]);
                panels[i]->SetBounds(0, pos, across[i], sizes[i]);
            } else {
                panels[i]->SetSplitWidth(sizes[i]);
                panels[i]->SetBounds(pos, 0, sizes[i], across[i]);
            }
        }
    };

    HWND wnd = Handle();
    TWindowDC screen(nullptr);
    std::optional<TDragLine> line;
    if (!live && screen.Handle()) {
        line.emplace(screen.Handle());
        line->MoveTo(LineBand(dockClient, !vertical, origin + startOf(splitter + 1)));
    }
    FSplitResizing = true;
    auto clearFlag = ScopeExit([this] { FSplitResizing = false; });
    {
        TCaptureGuard capture(wnd);
        RunResizeLoop(wnd, [&](POINT p) {
            const int movement = vertical ? p.y - start.y : p.x - start.x;
            if (movement == 0) return;
            sizes = SplitDockLengths(lengths, splitter, movement);
            if (live)
                apply();
            else if (line)
                line->MoveTo(LineBand(dockClient, !vertical, origin + startOf(splitter + 1)));
        });
    }
    if (!live) {
        if (line) line->Hide();
        apply();
    }
}

}  // namespace themed
