// The docked frame of a dockable window (drag handle, optional close button, hit codes
// 2000 and 2001) and the mouse and keyboard entry points that start dragging, floating and
// docking back; the context menu; the dock background under docked windows.
#include "controls/toolbar/tbdockable.h"

#include "classlib/gdiguards.h"
#include "classlib/menus.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbfloating.h"

#include <windowsx.h>

#include <optional>

using namespace classlib;

namespace toolbar {

namespace {

// Offset of the first grip bar past the frame, by close button and handle style.
int GripOffset(bool closeButton, TBarDragHandleStyle style) {
    switch (style) {
    case dhDouble: return closeButton ? 3 : 2;
    case dhSingle: return closeButton ? 5 : 1;
    default: return 0;
    }
}

void FramePaint(HWND, HDC dc, LPARAM data) {
    reinterpret_cast<TBarCustomDockableWindow*>(data)->DrawNCArea(true, dc, nullptr);
}

// The window rectangle relative to its own top-left corner, and the client area in it.
void WindowAndClient(HWND wnd, RECT& window, RECT& client) {
    RECT screen;
    GetWindowRect(wnd, &screen);
    window = {0, 0, screen.right - screen.left, screen.bottom - screen.top};
    GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    OffsetRect(&client, origin.x - screen.left, origin.y - screen.top);
}

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &r, brush.Handle());
}

}  // namespace

bool TBarCustomDockableWindow::CanBeDragged() {
    if (FFloating) return true;
    return FCurrentDock && FCurrentDock->AllowDrag();
}

void TBarCustomDockableWindow::ToggleDockedFloating() {
    if (Docked()) {
        if (FDblClickUndock && FDockMode == dmCanFloat) {
            SetFloating(true);
            KeepOnScreen(true);
        }
        return;
    }
    if (!FFloating) return;
    if (FLastDock) {
        SetParent(FLastDock);
    } else if (FDefaultDock) {
        FDockRow = 0;
        FDockPos = -8;
        SetParent(FDefaultDock);
    }
}

void TBarCustomDockableWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !CanBeDragged()) return;
    bool overChild = false;
    PointOverChildControl({x, y}, overChild);
    if (overChild) return;
    if (shift & ssDouble) {
        ToggleDockedFloating();
        return;
    }
    DragLoop(x, y);
    // The loop took the release: no click follows this press.
    FControlState &= ~(csClicked | csLButtonDown);
    MouseUp(mbLeft, 0, -1, -1);
}

void TBarCustomDockableWindow::SetCloseButtonState(bool pushed, bool hot) {
    if (pushed == FCloseButtonPushed && hot == FCloseButtonHot) return;
    FCloseButtonPushed = pushed;
    FCloseButtonHot = hot;
    if (Docked() && HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// --- messages ----------------------------------------------------------------------------

void TBarCustomDockableWindow::WMNCCalcSize(TMessage& m) {
    m.Result = 0;
    if (!Docked()) return;
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    InflateRect(r, -2, -2);
    (FCurrentDock->Vertical() ? r->top : r->left) += DragHandleSize();
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void TBarCustomDockableWindow::WMNCHitTest(TMessage& m) {
    TCustomControl::Dispatch(m);
    if (!Docked() || m.Result == HTCLIENT) return;
    if (FCloseButtonWhenDocked && FCurrentDock->AllowDrag()) {
        RECT screen;
        GetWindowRect(Handle(), &screen);
        POINT p{GET_X_LPARAM(m.LParam) - screen.left, GET_Y_LPARAM(m.LParam) - screen.top};
        RECT button;
        GetCloseButtonRect(FCurrentDock->Vertical(), button);
        if (PtInRect(&button, p)) {
            m.Result = HTBARCLOSE;
            return;
        }
    }
    m.Result = HTBARDRAG;
}

void TBarCustomDockableWindow::WMSetCursorDocked(TMessage& m) {
    if (Docked() && LOWORD(m.LParam) == HTBARDRAG && reinterpret_cast<HWND>(m.WParam) == Handle() &&
        FDragHandleStyle != dhNone && FCurrentDock->AllowDrag()) {
        POINT p;
        GetCursorPos(&p);
        RECT screen;
        GetWindowRect(Handle(), &screen);
        const int along = FCurrentDock->Vertical() ? p.y - screen.top : p.x - screen.left;
        if (along < DragHandleSize() + 2) {
            ::SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
            m.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(m);
}

void TBarCustomDockableWindow::WMNCLButtonDown(TMessage& m) {
    if (Docked() && m.WParam == HTBARDRAG) {
        if (CanBeDragged()) {
            const POINT p = ScreenToClient({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
            DragLoop(p.x, p.y);
        }
        m.Result = 0;
        return;
    }
    if (Docked() && m.WParam == HTBARCLOSE) {
        const bool released = TrackButtonPress(
            Handle(),
            [this](POINT screen) {
                if (!Docked()) return false;
                RECT w;
                GetWindowRect(Handle(), &w);
                RECT button;
                GetCloseButtonRect(FCurrentDock->Vertical(), button);
                OffsetRect(&button, w.left, w.top);
                return PtInRect(&button, screen) != FALSE;
            },
            [this](bool pushed) { SetCloseButtonState(pushed, FCloseButtonHot); });
        m.Result = 0;
        if (released) Close();
        return;
    }
    TCustomControl::Dispatch(m);
}

void TBarCustomDockableWindow::WMNCLButtonDblClk(TMessage& m) {
    if (Docked() && m.WParam == HTBARDRAG) {
        if (CanBeDragged()) ToggleDockedFloating();
        m.Result = 0;
        return;
    }
    TCustomControl::Dispatch(m);
}

void TBarCustomDockableWindow::WMNCMouseMove(TMessage& m) {
    if (Docked()) {
        RequestMouseTracking(Handle(), TME_LEAVE | TME_NONCLIENT);
        SetCloseButtonState(FCloseButtonPushed, m.WParam == HTBARCLOSE);
    }
    TCustomControl::Dispatch(m);
}

void TBarCustomDockableWindow::DoContextPopup(POINT point, bool& handled) {
    if (OnContextPopup) OnContextPopup(this, point, handled);
}

bool TBarCustomDockableWindow::ShowContextPopup(POINT point) {
    bool handled = false;
    DoContextPopup(point, handled);
    if (handled) return true;
    TPopupMenu* menu = PopupMenu();
    if (!menu || !menu->AutoPopup) return false;
    if (point.x == -1 && point.y == -1) point = ClientToScreen({0, 0});
    if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
    menu->PopupComponent = this;
    menu->Popup(point.x, point.y);
    return true;
}

void TBarCustomDockableWindow::WMContextMenuDocked(TMessage& m) {
    const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    if (p.x != -1 || p.y != -1) {
        // A click in the client area belongs to the contents.
        const POINT c = ScreenToClient(p);
        const RECT client = ClientRect();
        if (PtInRect(&client, c)) {
            DefaultHandler(m);
            return;
        }
    }
    if (ShowContextPopup(p)) {
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

RECT TBarCustomDockableWindow::DockBackgroundRect(bool windowCoordinates) {
    HWND parentWnd = FCurrentDock->Parent() && FCurrentDock->Parent()->HandleAllocated()
                         ? FCurrentDock->Parent()->Handle()
                         : FCurrentDock->Handle();
    // The background's origin is where the dock's is: its parent's client origin.
    POINT origin{0, 0};
    ::ClientToScreen(parentWnd, &origin);
    if (windowCoordinates) {
        RECT self;
        GetWindowRect(Handle(), &self);
        origin.x -= self.left;
        origin.y -= self.top;
    } else {
        ::ScreenToClient(Handle(), &origin);
    }
    RECT parentClient;
    GetClientRect(parentWnd, &parentClient);
    return {origin.x, origin.y, origin.x + parentClient.right, origin.y + parentClient.bottom};
}

void TBarCustomDockableWindow::WMEraseBkgndDocked(TMessage& m) {
    RECT client;
    GetClientRect(Handle(), &client);
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    TSavedDC saved(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    FCurrentDock->PaintBackground(dc, DockBackgroundRect(false));
    m.Result = 1;
}

void TBarCustomDockableWindow::WMMoveDocked(TMessage&) {
    // A window moved over a dock background shows the background of its new place at once.
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void TBarCustomDockableWindow::Dispatch(TMessage& m) {
    const bool dockBackground = Docked() && FCurrentDock->BackgroundInUse() && FCurrentDock->BackgroundOnToolbars();
    switch (m.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(m); return;
    case WM_NCPAINT:
        if (Docked()) {
            DrawNCArea(false, nullptr, reinterpret_cast<HRGN>(m.WParam));
            m.Result = 0;
            return;
        }
        break;
    case WM_NCHITTEST: WMNCHitTest(m); return;
    case WM_SETCURSOR: WMSetCursorDocked(m); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(m); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(m); return;
    case WM_NCMOUSEMOVE: WMNCMouseMove(m); return;
    case WM_NCMOUSELEAVE:
        if (!GetCapture()) SetCloseButtonState(FCloseButtonPushed, false);
        break;
    case CM_MOUSELEAVE:
    case WM_MOUSEMOVE: SetCloseButtonState(FCloseButtonPushed, false); break;
    case WM_NCRBUTTONUP:
        SendMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), m.LParam);
        m.Result = 0;
        return;
    case WM_CONTEXTMENU: WMContextMenuDocked(m); return;
    case WM_LBUTTONDBLCLK: {
        // A double click is a press with ssDouble, as MouseDown expects it.
        TShiftState shift = KeysToShiftState(m.WParam) | ssDouble;
        MouseDown(mbLeft, shift, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        if (ControlStyle() & csDoubleClicks) DblClick();
        m.Result = 0;
        return;
    }
    case WM_ERASEBKGND:
        if (dockBackground) {
            WMEraseBkgndDocked(m);
            return;
        }
        break;
    case WM_MOVE:
        FMoved = true;
        TCustomControl::Dispatch(m);
        if (dockBackground) WMMoveDocked(m);
        NotifyMoved();
        return;
    case WM_PRINT:
        m.Result = HandlePrintMessage(Handle(), m.WParam, m.LParam, FramePaint, reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT: m.Result = HandlePrintClientMessage(this, m.WParam); return;
    case WM_ENABLE:
        TCustomControl::Dispatch(m);
        if (FFloatingMode == fmOnTopOfAllForms) SyncTopmost();
        return;
    default: break;
    }
    TCustomControl::Dispatch(m);
}

// --- painting ----------------------------------------------------------------------------

void TBarCustomDockableWindow::DrawNCArea(bool drawToDC, HDC dc, HRGN region) {
    if (!Docked() || !HandleAllocated()) return;
    std::optional<TWindowDC> windowDC;
    if (!drawToDC) {
        windowDC.emplace(Handle(), GetWindowDC(Handle()));
        dc = windowDC->Handle();
        if (!dc) return;
        ClipToNCUpdateRegion(Handle(), dc, region);
    }
    RECT r, client;
    WindowAndClient(Handle(), r, client);
    TSavedDC saved(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    const COLORREF face = ColorToRGB(Color());
    const bool vertical = FCurrentDock->Vertical();
    const bool background = FCurrentDock->BackgroundInUse() && FCurrentDock->BackgroundOnToolbars();

    // The outer pixel: a raised edge, or the window's colour.
    if (FBorderStyle == bsSingle) {
        RECT edge = r;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    } else {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(face));
        FrameRect(dc, &r, brush.Handle());
    }
    RECT ring = r;
    InflateRect(&ring, -1, -1);
    if (background) {
        TSavedDC inner(dc);
        IntersectClipRect(dc, ring.left, ring.top, ring.right, ring.bottom);
        FCurrentDock->PaintBackground(dc, DockBackgroundRect(true));
    } else {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(face));
        FrameRect(dc, &ring, brush.Handle());
    }
    if (!FCurrentDock->AllowDrag()) return;

    const int strip = DragHandleSize();
    const int g = GripOffset(FCloseButtonWhenDocked, FDragHandleStyle);
    const int bars = FDragHandleStyle == dhDouble ? 2 : FDragHandleStyle == dhSingle ? 1 : 0;
    const int clientAcross = vertical ? client.right - client.left : client.bottom - client.top;
    int acrossStart = 2, acrossEnd = clientAcross + 2;
    if (FCloseButtonWhenDocked) {
        if (vertical)
            acrossEnd = (client.right - client.left) - strip + 4;
        else
            acrossStart = strip;
    }
    if (FDragHandleStyle == dhSingle) {
        ++acrossStart;
        --acrossEnd;
    }
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int b = 0; b < bars; ++b) {
        const int along = 2 + g + 3 * b;
        RECT bar = vertical ? RECT{acrossStart, along, acrossEnd, along + 3} : RECT{along, acrossStart, along + 3, acrossEnd};
        if (bar.right <= bar.left || bar.bottom <= bar.top) continue;
        RECT edge = bar;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        if (vertical)
            SetPixel(dc, bar.right - 1, bar.top, highlight);
        else
            SetPixel(dc, bar.left, bar.bottom - 1, highlight);
        ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
    }
    if (!background) {
        RECT rest = vertical ? RECT{ring.left + 1, 2, ring.right - 1, strip + 2} : RECT{2, ring.top + 1, strip + 2, ring.bottom - 1};
        if (FCloseButtonWhenDocked) {
            RECT button;
            GetCloseButtonRect(vertical, button);
            ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
        }
        FillColor(dc, rest, face);
        SelectClipRgn(dc, nullptr);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    }
    if (FCloseButtonWhenDocked) {
        RECT button;
        GetCloseButtonRect(vertical, button);
        FillColor(dc, button, face);
        if (FCloseButtonPushed) {
            RECT edge = button;
            DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
        } else if (FCloseButtonHot) {
            RECT edge = button;
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
        // The cross: a monochrome pattern whose set bits take the text colour.
        static const WORD rows[8] = {0x0000, 0xCC00, 0x7800, 0x3000, 0x7800, 0xCC00, 0x0000, 0x0000};
        BYTE bits[16];
        for (int i = 0; i < 8; ++i) {
            bits[2 * i] = static_cast<BYTE>(rows[i] >> 8);
            bits[2 * i + 1] = 0;
        }
        TGdiObject<HBITMAP> glyph(CreateBitmap(8, 8, 1, 1, bits));
        TMemoryDC glyphDC(dc);
        TSelectedObject selectedGlyph(glyphDC.Handle(), glyph.Handle());
        TGdiObject<HBRUSH> text(CreateSolidBrush(GetSysColor(COLOR_BTNTEXT)));
        TSelectedObject selectedBrush(dc, text.Handle());
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        RECT inner = button;
        InflateRect(&inner, -2, -2);
        const int shift = FCloseButtonPushed ? 1 : 0;
        BitBlt(dc, inner.left + shift, inner.top + shift, std::min<LONG>(8, inner.right - inner.left),
               std::min<LONG>(8, inner.bottom - inner.top), glyphDC.Handle(), 0, 0, 0xE20746);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
}

}  // namespace toolbar
