#include "controls/toolbar/themed/thmpanels.h"

#include "classlib/dragdrop.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "classlib/timer.h"
#include "controls/toolbar/tbdock.h"
#include "controls/toolbar/themed/thmdock.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themed {

using namespace classlib;

namespace {

// The timer every panel object shares, the number of objects and the one that is hot.
TTimer* gHoverTimer = nullptr;
int gInstanceCount = 0;
TThmPanelObject* gHotObject = nullptr;

constexpr unsigned HoverInterval = 125;

TControl* ControlUnderCursor() {
    POINT p;
    if (!GetCursorPos(&p)) return nullptr;
    return FindDragTarget(p, true);
}

}  // namespace

// --- helpers ------------------------------------------------------------------------------------

bool ContainsActiveControl(TControl* control) {
    if (!control) return false;
    for (TControl* c = FindControl(GetFocus()); c; c = c->Parent())
        if (c == control) return true;
    return false;
}

void DrawFocusRectangle(TCanvas& canvas, const RECT& rect) {
    if (IsRectEmpty(&rect)) return;
    const HDC dc = canvas.Handle();
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &rect);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

void PaintParentBackground(TControl* control, HDC dc, const RECT& rect) {
    TSavedDC saved(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent) {
        PaintRectFill(dc, rect, clBtnFace);
        return;
    }
    {
        // The parent paints in its own coordinates: its point at the control's place lands
        // on the DC's origin.
        TSavedDC moved(dc);
        POINT origin;
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x + control->Left(), origin.y + control->Top(), nullptr);
        LRESULT erased = 0;
        if (parent->HandleAllocated())
            erased = SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        if (erased) return;
        if (auto* dock = dynamic_cast<toolbar::TBarDock*>(parent)) {
            PaintDockBackgroundAt(dock, dc, dock->ClientRect());
            return;
        }
    }
    PaintRectFill(dc, rect, GetEffectiveColor(parent));
}

// --- margins ------------------------------------------------------------------------------------

void TThmControlMargins::Set(int& field, int value) {
    if (field == value) return;
    field = value;
    if (OnChange) OnChange();
}

void TThmControlMargins::Assign(const TThmControlMargins& source) {
    FLeft = source.FLeft;
    FTop = source.FTop;
    FRight = source.FRight;
    FBottom = source.FBottom;
    if (OnChange) OnChange();
}

// --- the panel object: life ---------------------------------------------------------------------

TThmPanelObject::TThmPanelObject(TComponent* owner) : TCustomControl(owner) {
    FControlStyle = (FControlStyle & ~csOpaque) | csAcceptsControls | csClickEvents | csDoubleClicks;
    if (!gHoverTimer) {
        gHoverTimer = new TTimer(nullptr);
        gHoverTimer->SetEnabled(false);
        gHoverTimer->SetInterval(HoverInterval);
        gHoverTimer->SetOnTimer(TimerTick);
    }
    ++gInstanceCount;
    FParentColor = false;
    FColor = clNone;
    RegisterThemeClient(this);
}

// A control destroyed without delete skips TearDown: its destructor lets go instead.
TThmPanelObject::~TThmPanelObject() { ReleaseShared(); }

void TThmPanelObject::TearDown() {
    ReleaseShared();
    TCustomControl::TearDown();
}

void TThmPanelObject::ReleaseShared() {
    if (FReleased) return;
    FReleased = true;
    UnregisterThemeClient(this);
    StopTracking();
    if (--gInstanceCount == 0) {
        delete gHoverTimer;
        gHoverTimer = nullptr;
    }
}

void TThmPanelObject::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TThmPanelObject";
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TThmPanelObject::SetBuffered(bool value) {
    if (value == FBuffered) return;
    FBuffered = value;
    DoubleBuffered = value;
    if (HandleAllocated()) RecreateWnd();
}

void TThmPanelObject::HandleThemeChange(int, bool) {
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

// --- the panel object: hot tracking -------------------------------------------------------------

TThmPanelObject* TThmPanelObject::HotObject() { return gHotObject; }

void TThmPanelObject::TimerTick(TComponent*) {
    if (gHotObject && ControlUnderCursor() != gHotObject) gHotObject->MouseLeave();
}

void TThmPanelObject::StopTracking() {
    if (gHotObject != this) return;
    gHotObject = nullptr;
    if (gHoverTimer) gHoverTimer->SetEnabled(false);
}

void TThmPanelObject::DoMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TThmPanelObject::DoMouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TThmPanelObject::MouseEnter() {
    if (!Enabled() || FMouseInside) return;
    FMouseInside = true;
    DoMouseEnter();
}

void TThmPanelObject::MouseLeave() {
    if (!Enabled() || !FMouseInside) return;
    FMouseInside = false;
    StopTracking();
    DoMouseLeave();
    Invalidate();
}

void TThmPanelObject::MouseMove(TShiftState shift, int x, int y) {
    TControl* under = ControlUnderCursor();
    if (under == this) {
        if (gHotObject != this) {
            if (TThmPanelObject* old = gHotObject) old->MouseLeave();
            // The old one may not have left (it was disabled): it is tracked no more.
            if (gHotObject) gHotObject->StopTracking();
            gHotObject = this;
            if (gHoverTimer) gHoverTimer->SetEnabled(true);
            MouseEnter();
        }
    } else if (HandleAllocated() && GetCapture() == Handle() && FMouseInside) {
        MouseLeave();
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TThmPanelObject::CMMouseEnter(TMessage&) { FMouseInControl = true; }

void TThmPanelObject::CMMouseLeave(TMessage&) { FMouseInControl = false; }

void TThmPanelObject::CMEnabledChanged(TMessage& message) {
    if (!Enabled() && FMouseInside) {
        FMouseInside = false;
        StopTracking();
        DoMouseLeave();
        Invalidate();
        Perform(WM_CANCELMODE);
    }
    TCustomControl::CMEnabledChanged(message);
}

// --- the panel object: mouse and keys -----------------------------------------------------------

void TThmPanelObject::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (!FPushed) {
            FPushed = true;
            Invalidate();
        }
        if (Enabled()) MouseEnter();
        if (!FFocusWithinParent) {
            if (CanFocus()) SetFocus();
        } else if (CanFocus() && ContainsActiveControl(Parent())) {
            // Focused from a click inside its group: the focus does not scroll it into view.
            FFocusFromMouse = true;
            auto reset = ScopeExit([this] { FFocusFromMouse = false; });
            SetFocus();
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TThmPanelObject::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (FSpaceClick && key == VK_SPACE) {
        FPushed = true;
        Invalidate();
    }
}

void TThmPanelObject::KeyUp(WORD& key, TShiftState shift) {
    if (FSpaceClick && key == VK_SPACE && FPushed) {
        FPushed = false;
        Click();
        Invalidate();
    }
    TCustomControl::KeyUp(key, shift);
}

void TThmPanelObject::WMSetFocus(TMessage& message) {
    TCustomControl::WMSetFocus(message);
    if (!FFocusFromMouse) ScrollInView();
    Invalidate();
}

void TThmPanelObject::WMKillFocus(TMessage& message) {
    TCustomControl::WMKillFocus(message);
    FPushed = false;
    Invalidate();
}

// --- the panel object: background ---------------------------------------------------------------

void TThmPanelObject::WMEraseBkgnd(TMessage& message) {
    message.Result = 1;
    const bool fromBufferedPaint = message.WParam == static_cast<WPARAM>(message.LParam);
    if (DoubleBuffered && !fromBufferedPaint) return;
    const HDC dc = reinterpret_cast<HDC>(message.WParam);
    RECT r = ClientRect();
    if (FColor == clNone)
        PaintParentBackground(this, dc, r);
    else
        PaintRectFill(dc, r, FColor);
}

void TThmPanelObject::CMParentColorChanged(TMessage& message) {
    if (message.WParam == 0) {
        message.WParam = 1;
        message.LParam = static_cast<LPARAM>(GetEffectiveColor(Parent()));
    }
    TCustomControl::CMParentColorChanged(message);
    Invalidate();
}

void TThmPanelObject::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        // Released before the inherited handling runs the click.
        FPushed = false;
        Invalidate();
        break;
    default: break;
    }
    TCustomControl::Dispatch(message);
}

// --- the text object ----------------------------------------------------------------------------

UINT TextObjectFlags(TAlignment alignment, TTextWrapping wrapping, bool showAccelChar) {
    static constexpr UINT aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    static constexpr UINT wraps[] = {DT_SINGLELINE, DT_SINGLELINE | DT_END_ELLIPSIS, DT_SINGLELINE | DT_PATH_ELLIPSIS,
                                     DT_WORDBREAK};
    UINT flags = aligns[alignment] | wraps[wrapping];
    if (!showAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

TThmTextObject::TThmTextObject(TComponent* owner) : TThmPanelObject(owner) {
    FControlStyle |= csSetCaption | csDoubleClicks;
    FMargins.OnChange = [this] { Changed(); };
    SetBuffered(true);
    FWidth = 100;
}

void TThmTextObject::CreateParams(TCreateParams& params) {
    TThmPanelObject::CreateParams(params);
    params.WinClassName = L"TThmTextObject";
    params.WindowClass.style |= CS_HREDRAW;
}

void TThmTextObject::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TThmTextObject::SetWrapping(TTextWrapping value) {
    if (value == FWrapping) return;
    FWrapping = value;
    Invalidate();
    AdjustHeight();
}

void TThmTextObject::SetShowAccelChar(bool value) {
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    AdjustHeight();
    Invalidate();
}

void TThmTextObject::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustHeight();
}

void TThmTextObject::Changed() {
    Invalidate();
    AdjustHeight();
}

void TThmTextObject::AdjustHeight() {
    if (!HandleAllocated() || FAdjusting || (ComponentState() & csLoading) || !FAutoSize) return;
    FAdjusting = true;
    auto reset = ScopeExit([this] { FAdjusting = false; });
    int height = Height();
    CalcAutoHeight(NearestColorBitmap().Canvas(), height);
    TThmPanelObject::SetBounds(Left(), Top(), Width(), height);
}

bool TThmTextObject::CanAutoSize(int&, int& newHeight) {
    if (FAdjusting || (ComponentState() & csLoading) || !FAutoSize) return false;
    FAdjusting = true;
    auto reset = ScopeExit([this] { FAdjusting = false; });
    CalcAutoHeight(NearestColorBitmap().Canvas(), newHeight);
    return true;
}

void TThmTextObject::SetBounds(int left, int top, int width, int height) {
    const bool widthChanged = width != Width();
    CanAutoSize(width, height);
    TThmPanelObject::SetBounds(left, top, width, height);
    // A wrapped caption takes the height of the new width.
    if (widthChanged) AdjustHeight();
}

void TThmTextObject::CreateHandle() {
    TThmPanelObject::CreateHandle();
    AdjustHeight();
}

void TThmTextObject::Loaded() {
    TThmPanelObject::Loaded();
    AdjustHeight();
}

void TThmTextObject::CalcAutoHeight(TCanvas& canvas, int& height) {
    RECT m{};
    GetTextMargins(m);
    m.left += FMargins.Left();
    m.top += FMargins.Top();
    m.right += FMargins.Right();
    m.bottom += FMargins.Bottom();
    RECT r = ClientRect();
    r.left += m.left;
    r.top += m.top;
    r.right -= m.right;
    r.bottom -= m.bottom;
    static constexpr UINT wraps[] = {0, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_WORDBREAK};
    const int h = DoDrawText(canvas, r, DT_CALCRECT | DT_EXPANDTABS | wraps[FWrapping]);
    height = m.top + m.bottom + h;
}

int TThmTextObject::DoDrawText(TCanvas& canvas, RECT& rect, UINT flags) {
    std::wstring text;
    GetText(text);
    if ((flags & DT_CALCRECT) && (text.empty() || text == L"&")) text += L" ";
    canvas.Font().Assign(Font());
    DoAdjustFont(canvas.Font());
    if (flags & DT_CALCRECT) return canvas.DrawText(text, rect, flags & ~DT_VCENTER);
    if (Enabled()) return canvas.DrawText(text, rect, flags);
    RECT shifted = rect;
    OffsetRect(&shifted, 1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(text, shifted, flags);
    canvas.Font().SetColor(clBtnShadow);
    return canvas.DrawText(text, rect, flags);
}

void TThmTextObject::Paint() {
    TCanvas& canvas = Canvas();
    RECT r = ClientRect();
    r.left += FMargins.Left();
    r.top += FMargins.Top();
    r.right -= FMargins.Right();
    r.bottom -= FMargins.Bottom();
    if (Focused()) {
        RECT focus{};
        GetFocusRect(r, focus);
        DrawFocusRectangle(canvas, focus);
    }
    canvas.Brush().SetStyle(bsClear);
    auto solid = ScopeExit([&canvas] { canvas.Brush().SetStyle(bsSolid); });
    RECT m{};
    GetTextMargins(m);
    r.left += m.left;
    r.top += m.top;
    r.right -= m.right;
    r.bottom -= m.bottom;
    const UINT flags = TextObjectFlags(GetTextAlignment(), FWrapping, FShowAccelChar) | DT_EXPANDTABS;
    RECT measured = r;
    const int h = DoDrawText(canvas, measured, flags | DT_CALCRECT);
    r.top = (r.top + r.bottom - h) / 2;
    r.bottom = r.top + h;
    DoDrawText(canvas, r, flags);
}

void TThmTextObject::CMTextChanged(TMessage& message) {
    TThmPanelObject::CMTextChanged(message);
    Invalidate();
    AdjustHeight();
}

void TThmTextObject::CMFontChanged(TMessage& message) {
    TThmPanelObject::CMFontChanged(message);
    Invalidate();
    AdjustHeight();
}

void TThmTextObject::CMEnabledChanged(TMessage& message) {
    TThmPanelObject::CMEnabledChanged(message);
    Invalidate();
}

}  // namespace themed
