#include "controls/toolbar/tbfloating.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"

#include <windowsx.h>

#include <optional>

using namespace classlib;

namespace toolbar {

namespace {

void FloatingFramePaint(HWND, HDC dc, LPARAM data) {
    reinterpret_cast<TBarFloatingWindowParent*>(data)->DrawNCArea(true, dc, fpAll, nullptr);
}

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &r, brush.Handle());
}

}  // namespace

TForm* ResolveMDIChildForm(TForm* form) {
    if (form && form->FormStyle() == fsMDIChild && Application && Application->MainForm())
        return Application->MainForm();
    return form;
}

HWND FindActivatableWindow(TForm* ownerForm) {
    for (TForm* f : {ResolveMDIChildForm(ownerForm), Application ? Application->MainForm() : nullptr}) {
        if (f && f->HandleAllocated() && IsWindowVisible(f->Handle()) && IsWindowEnabled(f->Handle()))
            return f->Handle();
    }
    return nullptr;
}

bool TrackButtonPress(HWND wnd, const std::function<bool(POINT screen)>& overButton,
                      const std::function<void(bool pushed)>& setPushed) {
    SetCapture(wnd);
    auto release = ScopeExit([wnd] {
        if (GetCapture() == wnd) ReleaseCapture();
    });
    auto unpush = ScopeExit([&] { setPushed(false); });
    POINT p;
    GetCursorPos(&p);
    bool over = overButton(p);
    setPushed(over);
    MSG msg;
    while (GetCapture() == wnd) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return false;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
            over = overButton(msg.pt);
            setPushed(over);
            break;
        case WM_LBUTTONUP: return overButton(msg.pt);
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) return false;
            break;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP: break;
        default:
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            break;
        }
    }
    return false;
}

// --- the floating form --------------------------------------------------------------------

TBarFloatingWindowParent::TBarFloatingWindowParent(TComponent* owner) : TForm(owner) {
    FPosition = poDesigned;
    FBorderStyle = bsToolWindow;
    FParentForm.OnFree = [this] {
        if (FDockableWindow) FDockableWindow->OwnerFormFreed();
    };
}

TBarFloatingWindowParent::~TBarFloatingWindowParent() = default;

void TBarFloatingWindowParent::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    params.WinClassName = L"TBarFloatingWindowParent";
    params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
    params.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    if (FDockableWindow && FDockableWindow->Resizable()) params.Style |= WS_THICKFRAME;
    params.ExStyle = WS_EX_TOOLWINDOW;
    // Owned by its form, so it stays in front of it (an ownerless one may end up behind).
    if (HWND owner = OwnerFormWindow()) params.WndParent = owner;
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
}

void TBarFloatingWindowParent::SetVisible(bool value) {
    // Shown only through UpdateShowing: never activated, never focused.
    FVisible = value;
    UpdateShowing();
}

void TBarFloatingWindowParent::UpdateShowing() {
    if (!HandleAllocated()) return;
    const bool show = FVisible && FShouldShow;
    // A window made before its form had a window of its own gets the form as owner now.
    if (HWND owner = OwnerFormWindow(); show && owner && GetWindow(Handle(), GW_OWNER) != owner)
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    if (show == (IsWindowVisible(Handle()) != FALSE)) return;
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TBarFloatingWindowParent::Abandon() {
    FShouldShow = false;
    UpdateShowing();
    FDockableWindow = nullptr;
    if (Application)
        Release();
    else
        delete this;
}

HWND TBarFloatingWindowParent::OwnerFormWindow() {
    TForm* form = ResolveMDIChildForm(FParentForm);
    return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TBarFloatingWindowParent::SetCloseButtonPushed(bool value) {
    if (value == FCloseButtonPushed) return;
    FCloseButtonPushed = value;
    RedrawNCArea(fpCloseButton);
}

RECT TBarFloatingWindowParent::CaptionRect(bool toWindow, bool withoutCloseButton) {
    const int height = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT r{0, 0, ClientWidth(), height};
    if (withoutCloseButton) r.right -= height;
    if (toWindow && FDockableWindow) {
        SIZE border{};
        FDockableWindow->GetFloatingFrameSize(border);
        OffsetRect(&r, border.cx, border.cy);
    }
    return r;
}

RECT TBarFloatingWindowParent::CloseButtonRect(bool toWindow) {
    RECT r = CaptionRect(toWindow, false);
    r.left = r.right - GetSystemMetrics(SM_CYSMCAPTION) + 1;
    return r;
}

LRESULT TBarFloatingWindowParent::HitTestFrame(POINT p) {
    TBarCustomDockableWindow* w = FDockableWindow;
    if (!w) return HTNOWHERE;
    if (w->ShowCaption()) {
        const RECT caption = CaptionRect(true, false);
        if (PtInRect(&caption, p)) {
            const RECT close = CloseButtonRect(true);
            return w->CloseButton() && PtInRect(&close, p) ? HTBARCLOSE : HTBARCAPTION;
        }
    }
    if (!w->Resizable()) return HTNOWHERE;
    SIZE b{};
    w->GetFloatingFrameSize(b);
    const int width = Width(), height = Height();
    const bool left = p.x < b.cx, right = p.x >= width - b.cx - 1 && p.x < width;
    const bool top = p.y < b.cy, bottom = p.y >= height - b.cy - 1 && p.y < height;
    if (!(w->ResizeOptions() & roCorners)) {
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
        return HTNOWHERE;
    }
    const int c = GetSystemMetrics(SM_CYSMCAPTION) + b.cx - 1;
    if (left) return p.y < c ? HTTOPLEFT : p.y >= height - c ? HTBOTTOMLEFT : HTLEFT;
    if (right) return p.y < c ? HTTOPRIGHT : p.y >= height - c ? HTBOTTOMRIGHT : HTRIGHT;
    if (top) return p.x < c ? HTTOPLEFT : p.x >= width - c ? HTTOPRIGHT : HTTOP;
    if (bottom) return p.x < c ? HTBOTTOMLEFT : p.x >= width - c ? HTBOTTOMRIGHT : HTBOTTOM;
    return HTNOWHERE;
}

void TBarFloatingWindowParent::RedrawNCArea(unsigned parts) {
    if (HandleAllocated() && IsWindowVisible(Handle())) DrawNCArea(false, nullptr, parts, nullptr);
}

void TBarFloatingWindowParent::DrawNCArea(bool drawToDC, HDC dc, unsigned parts, HRGN region) {
    TBarCustomDockableWindow* w = FDockableWindow;
    if (!HandleAllocated() || !w) return;
    std::optional<TWindowDC> windowDC;
    if (!drawToDC) {
        windowDC.emplace(Handle(), GetWindowDC(Handle()));
        dc = windowDC->Handle();
        if (!dc) return;
        ClipToNCUpdateRegion(Handle(), dc, region);
    }
    RECT screen;
    GetWindowRect(Handle(), &screen);
    const RECT whole{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    RECT client;
    GetClientRect(Handle(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    OffsetRect(&client, origin.x - screen.left, origin.y - screen.top);
    TSavedDC saved(dc);
    IntersectClipRect(dc, whole.left, whole.top, whole.right, whole.bottom);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    SIZE border{};
    w->GetFloatingFrameSize(border);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    if (parts & fpFrame) {
        RECT edge = whole;
        DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
        RECT ring = whole, inner = whole;
        InflateRect(&ring, -2, -2);
        InflateRect(&inner, -border.cx, -border.cy);
        TSavedDC frame(dc);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        FillColor(dc, ring, face);
    }
    if (!w->ShowCaption()) return;
    BOOL gradient = FALSE;
    SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    const bool active = !w->CaptionInactive();
    const RECT caption = CaptionRect(true, false);
    const RECT closeCell = CloseButtonRect(true);
    if (parts & fpCaption) {
        TSavedDC captionDC(dc);
        if (w->CloseButton() && (parts & fpCloseButton))
            ExcludeClipRect(dc, closeCell.left, closeCell.top, closeCell.right, closeCell.bottom);
        RECT text = CaptionRect(true, w->CloseButton());
        UINT flags = DC_SMALLCAP | DC_TEXT;
        if (active) flags |= DC_ACTIVE;
        if (gradient) flags |= DC_GRADIENT;
        DrawCaption(Handle(), dc, &text, flags);
        FillColor(dc, {caption.left, caption.bottom, caption.right, caption.bottom + 1}, face);
    }
    if (w->CloseButton()) {
        RECT button = closeCell;
        button.top += 2;
        button.bottom -= 2;
        button.right -= 2;
        if (parts & fpCaption) {
            const int index = gradient ? (active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)
                                       : (active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
            TSavedDC cell(dc);
            ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
            FillColor(dc, closeCell, GetSysColor(index));
        }
        if (parts & fpCloseButton)
            DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | (FCloseButtonPushed ? DFCS_PUSHED : 0));
    }
}

void TBarFloatingWindowParent::CMDialogKey(TMessage& m) {
    if (m.WParam == VK_ESCAPE && !(KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt))) {
        if (TForm* form = FParentForm; form && form->HandleAllocated()) {
            SetActiveWindow(form->Handle());
            if (TWinControl* c = form->ActiveControl(); c && c->CanFocus())
                c->SetFocus();
            else
                ::SetFocus(form->Handle());
        }
        m.Result = 1;
        return;
    }
    TForm::CMDialogKey(m);
}

void TBarFloatingWindowParent::WMClose(TMessage&) {
    // Alt+F4 on a floating window closes its form, not the window.
    if (HWND owner = OwnerFormWindow()) SendMessageW(owner, WM_CLOSE, 0, 0);
}

void TBarFloatingWindowParent::WMActivate(TMessage& m) {
    const bool activating = LOWORD(m.WParam) != WA_INACTIVE;
    HWND owner = OwnerFormWindow();
    // The form's caption stays active while its floating window has the activation.
    if (owner) SendMessageW(owner, WM_NCACTIVATE, activating ? TRUE : FALSE, 0);
    DefaultHandler(m);
    if (!activating) return;
    if (!IsWindowVisible(Handle())) {
        if (HWND other = FindActivatableWindow(FParentForm)) SetActiveWindow(other);
    } else if (owner && reinterpret_cast<HWND>(m.LParam) != owner) {
        SetActiveWindow(owner);
    }
}

void TBarFloatingWindowParent::WMMouseActivate(TMessage& m) {
    m.Result = MA_NOACTIVATE;
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    TBarCustomDockableWindow* w = FDockableWindow;
    if (!w || w->FloatingMode() != fmOnTopOfParentForm || !w->ActivateParent() || !FParentForm) return;
    if (GetActiveWindow() == Handle()) return;
    if (HWND owner = OwnerFormWindow()) SetActiveWindow(owner);
    if (FParentForm->FormStyle() == fsMDIChild && FParentForm->HandleAllocated()) BringWindowToTop(FParentForm->Handle());
}

void TBarFloatingWindowParent::WMNCLButtonDown(TMessage& m) {
    TBarCustomDockableWindow* w = FDockableWindow;
    const LRESULT code = static_cast<LRESULT>(m.WParam);
    if (w && code >= HTLEFT && code <= HTBOTTOMRIGHT) {
        if (w->Resizable()) w->ResizeLoop(static_cast<int>(code - HTLEFT));
        m.Result = 0;
        return;
    }
    if (w && code == HTBARCAPTION) {
        const POINT p = w->ScreenToClient({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        w->DragLoop(p.x, p.y);
        m.Result = 0;
        return;
    }
    if (w && code == HTBARCLOSE) {
        const bool released = TrackButtonPress(
            Handle(),
            [this](POINT screen) {
                RECT window;
                GetWindowRect(Handle(), &window);
                RECT r = CloseButtonRect(true);
                OffsetRect(&r, window.left, window.top);
                return PtInRect(&r, screen) != FALSE;
            },
            [this](bool pushed) { SetCloseButtonPushed(pushed); });
        m.Result = 0;
        if (released) w->Close();
        return;
    }
    TForm::Dispatch(m);
}

void TBarFloatingWindowParent::Dispatch(TMessage& m) {
    TBarCustomDockableWindow* w = FDockableWindow;
    switch (m.Msg) {
    case WM_GETMINMAXINFO: {
        TForm::Dispatch(m);
        auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
        info->ptMinTrackSize = {1, 1};
        info->ptMaxTrackSize = {32767, 32767};
        return;
    }
    case WM_NCCALCSIZE:
        if (w) {
            auto* r = reinterpret_cast<RECT*>(m.LParam);
            const RECT margins = w->FloatingFrameMargins();
            r->left += margins.left;
            r->top += margins.top;
            r->right -= margins.right;
            r->bottom -= margins.bottom;
            if (r->right < r->left) r->right = r->left;
            if (r->bottom < r->top) r->bottom = r->top;
            m.Result = 0;
            return;
        }
        break;
    case WM_NCHITTEST: {
        TForm::Dispatch(m);
        if (m.Result == HTCLIENT) return;
        RECT window;
        GetWindowRect(Handle(), &window);
        m.Result = HitTestFrame({GET_X_LPARAM(m.LParam) - window.left, GET_Y_LPARAM(m.LParam) - window.top});
        return;
    }
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(m); return;
    case WM_NCLBUTTONDBLCLK:
        if (w && m.WParam == static_cast<WPARAM>(HTBARCAPTION)) {
            w->ToggleDockedFloating();
            m.Result = 0;
            return;
        }
        break;
    case WM_NCRBUTTONUP:
        if (w && w->HandleAllocated()) {
            SendMessageW(w->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w->Handle()), m.LParam);
            m.Result = 0;
            return;
        }
        break;
    case WM_NCPAINT:
        DrawNCArea(false, nullptr, fpAll, reinterpret_cast<HRGN>(m.WParam));
        m.Result = 0;
        return;
    case WM_NCACTIVATE:
        // The frame is ours: the system draws none over it.
        m.Result = TRUE;
        RedrawNCArea(fpAll);
        return;
    case WM_PRINT:
        m.Result = HandlePrintMessage(Handle(), m.WParam, m.LParam, FloatingFramePaint, reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT: m.Result = HandlePrintClientMessage(this, m.WParam); return;
    case CM_TEXTCHANGED: RedrawNCArea(fpCaption); return;
    case CM_SHOWINGCHANGED: UpdateShowing(); return;
    case WM_MOUSEACTIVATE: WMMouseActivate(m); return;
    case WM_MOVE:
        TForm::Dispatch(m);
        if (w && w->FFloatParent == this && w->FParent == this) {
            w->FFloatingPosition = {Left(), Top()};
            w->NotifyMoved();
        }
        return;
    default: break;
    }
    TForm::Dispatch(m);
}

// --- the tool window ------------------------------------------------------------------------

TBarToolWindow::TBarToolWindow(TComponent* owner) : TBarCustomDockableWindow(owner) {
    FWidth = 32;
    FHeight = 32;
}

int TBarToolWindow::ClientAreaWidth() { return Parent() ? ClientWidth() : Width(); }

int TBarToolWindow::ClientAreaHeight() { return Parent() ? ClientHeight() : Height(); }

void TBarToolWindow::SetClientAreaWidth(int value) { ApplyClientAreaSize(value, ClientAreaHeight()); }

void TBarToolWindow::SetClientAreaHeight(int value) { ApplyClientAreaSize(ClientAreaWidth(), value); }

void TBarToolWindow::ApplyClientAreaSize(int width, int height) {
    if (!Parent()) {
        SetBounds(Left(), Top(), width, height);
        return;
    }
    SetBounds(Left(), Top(), width + Width() - ClientWidth(), height + Height() - ClientHeight());
}

void TBarToolWindow::BeforeSizeChange(int width, int height) {
    const int ncWidth = Parent() ? Width() - ClientWidth() : 0;
    const int ncHeight = Parent() ? Height() - ClientHeight() : 0;
    FStoredClientWidth = width - ncWidth;
    FStoredClientHeight = height - ncHeight;
}

void TBarToolWindow::GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth) {
    minWidth = FMinClientWidth;
    minHeight = FMinClientHeight;
    maxHeight = FMaxClientHeight;
    maxWidth = FMaxClientWidth;
}

SIZE TBarToolWindow::SizeForDock(TBarDock* dock) {
    SIZE size{FStoredClientWidth, FStoredClientHeight};
    if (!dock) return size;
    const SIZE frame = DockedFrameSizeFor(dock);
    if (dock->Vertical()) {
        if (FullSize())
            size.cy = dock->AvailableLength() - frame.cy;
        else if (Stretch())
            size.cy = FMinClientHeight;
    } else {
        if (FullSize())
            size.cx = dock->AvailableLength() - frame.cx;
        else if (Stretch())
            size.cx = FMinClientWidth;
    }
    return size;
}

void TBarToolWindow::LayoutContent(bool, TBarDockKind, bool targetFloating, TBarDock* targetDock, SIZE& size) {
    size = SizeForDock(targetFloating ? nullptr : targetDock);
}

void TBarToolWindow::GetContentSize(SIZE& size) { size = SizeForDock(CurrentDock()); }

void TBarToolWindow::ReadExtraLayout(const TBarLayoutReadProc& reader) {
    if (!Resizable() || !reader) return;
    const int height = reader(Name(), L"ClientHeight", FStoredClientHeight);
    const int width = reader(Name(), L"ClientWidth", FStoredClientWidth);
    ApplyClientAreaSize(width, height);
}

void TBarToolWindow::WriteExtraLayout(const TBarLayoutWriteProc& writer) {
    if (!writer) return;
    writer(Name(), L"ClientWidth", FStoredClientWidth);
    writer(Name(), L"ClientHeight", FStoredClientHeight);
}

}  // namespace toolbar
