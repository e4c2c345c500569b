#include "classlib/form.h"

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/gdiguards.h"
#include "classlib/menus.h"
#include "classlib/modalwait.h"
#include "classlib/runtime.h"
#include "classlib/screen.h"
#include "classlib/scopeguard.h"

#include <algorithm>
#include <optional>

namespace classlib {

namespace {

class TFormCanvas : public TCanvas {
public:
    ~TFormCanvas() override { ReleaseHandleObjects(); }

protected:
    void CreateHandle() override { SetHandle(FDC.Handle()); }

private:
    TMemoryDC FDC;
};

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FColor = clBtnFace;
    FWidth = 320;
    FHeight = 240;
    FShowHint = false;
    FParentShowHint = false;
    Screen->AddForm(this);
}

TForm::~TForm() {
    // A deletion has done this in TearDown; without one (a local variable) it
    // happens here, with the derived parts of the form gone already.
    if (!BeforeDestructionDone()) {
        Destroying();
        LeaveForDestruction();
    }
}

void TForm::TearDown() {
    LeaveForDestruction();
    // The controls and the window go next; the MDI client is a child window of ours.
    TWinControl::TearDown();
}

void TForm::LeaveForDestruction() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            HandleCurrentException(this);
        }
    }
    if (Application) {
        if (Application->FMainForm == this) Application->FMainForm = nullptr;
        Application->FormDestroyed(this);
    }
    Screen->RemoveForm(this);
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TForm::MenuFreed() {
    if (HandleAllocated() && FFormStyle != fsMDIChild) ::SetMenu(FHandle, nullptr);
}

void TForm::ControlRemoved(TControl* c) {
    auto inside = [c](TWinControl* w) {
        if (!w) return false;
        if (w == c) return true;
        if (auto* wc = dynamic_cast<TWinControl*>(c)) return wc->ContainsControl(w);
        return false;
    };
    if (inside(FActiveControl)) FActiveControl = nullptr;
    if (inside(FFocusedControl)) FFocusedControl = nullptr;
}

void TForm::FocusMovedIn(TWinControl* c) {
    TWinControl* old = FFocusedControl;
    FActiveControl = c;
    FFocusedControl = c;
    if (old && old != this && old != c) old->Perform(CM_EXIT);
}

void TForm::SetFormStyle(TFormStyle v) {
    if (v == FFormStyle) return;
    FFormStyle = v;
    if (v == fsMDIChild) FVisible = true;
    if (HandleAllocated()) RecreateWnd();
}

void TForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    if (HandleAllocated()) RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons v) {
    if (v == FBorderIcons) return;
    FBorderIcons = v;
    if (HandleAllocated()) RecreateWnd();
}

void TForm::SetMenu(TMainMenu* m) {
    FMenu = m;
    if (m) m->FormOf = this;
    if (HandleAllocated() && FFormStyle != fsMDIChild) {
        ::SetMenu(FHandle, m ? m->Handle() : nullptr);
        DrawMenuBar(FHandle);
    }
}

TCanvas& TForm::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TFormCanvas>();
    FCanvas->Font().Assign(*FFont);
    return *FCanvas;
}

TWindowState TForm::WindowState() const {
    if (FHandle) {
        if (IsIconic(FHandle)) return wsMinimized;
        if (IsZoomed(FHandle)) return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TForm::SetWindowState(TWindowState v) {
    FWindowState = v;
    if (FHandle && FVisible) ShowWindow(FHandle, v == wsMinimized ? SW_MINIMIZE : v == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = L"TForm";
    p.Menu = nullptr;
    p.WindowClass.style = CS_DBLCLKS;
    p.WindowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    if (!p.WindowClass.hIcon) p.WindowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    if (FFormStyle == fsMDIChild) {
        p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;
        if (FVisible) p.Style |= WS_VISIBLE;
        p.ExStyle = WS_EX_MDICHILD;
        if (FPosition == poDefault || FPosition == poDefaultPosOnly) p.X = p.Y = CW_USEDEFAULT;
        if (FPosition == poDefault || FPosition == poDefaultSizeOnly) p.Width = p.Height = CW_USEDEFAULT;
        return;
    }
    p.Style = WS_CLIPCHILDREN;
    p.ExStyle = 0;
    p.WndParent = Application ? Application->Handle() : nullptr;
    switch (FBorderStyle) {
    case bsNone: p.Style |= WS_POPUP; break;
    case bsSingle: p.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        p.Style |= WS_POPUP | WS_CAPTION;
        p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        p.Style |= WS_CAPTION;
        p.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        p.Style |= WS_CAPTION | WS_THICKFRAME;
        p.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone && (FBorderIcons & biSystemMenu)) {
        p.Style |= WS_SYSMENU;
        if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
            if (FBorderIcons & biMinimize) p.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons & biMaximize) p.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (FFormStyle == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
    if (Application && Application->MainForm() == this) p.ExStyle |= WS_EX_APPWINDOW;
    if (FMenu) p.Menu = FMenu->Handle();
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) p.X = p.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly) p.Width = p.Height = CW_USEDEFAULT;
    if (FParent) {
        // A form placed on another control is a child window of it, framed as its border
        // style says, where its bounds put it.
        p.Style = (p.Style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
        if (FVisible) p.Style |= WS_VISIBLE;
        p.ExStyle &= ~(WS_EX_APPWINDOW | WS_EX_TOPMOST);
        p.WndParent = FParent->Handle();
        p.Menu = nullptr;
        p.X = FLeft;
        p.Y = FTop;
        p.Width = FWidth;
        p.Height = FHeight;
    }
}

void TForm::CreateWindowHandle(const TCreateParams& p) {
    if (FFormStyle != fsMDIChild) {
        TWinControl::CreateWindowHandle(p);
        return;
    }
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this) main->HandleNeeded();
    if (!main || main == this || !main->ClientHandle())
        throw EInvalidOperation(L"フォームが作成できません。有効な MDI フォームがありません");
    HWND wnd = CreateMDIWindowW(p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                                main->ClientHandle(), GetModuleHandleW(nullptr), reinterpret_cast<LPARAM>(p.Param));
    if (!wnd) RaiseLastOSError();
    FHandle = wnd;
}

void TForm::CreateHandle() {
    TWinControl::CreateHandle();
    if (FFormStyle == fsMDIForm && !FClientHandle) {
        CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
        RECT r;
        GetClientRect(FHandle, &r);
        FClientHandle = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                        WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                                        0, 0, r.right, r.bottom, FHandle, nullptr, GetModuleHandleW(nullptr), &ccs);
        if (!FClientHandle) RaiseLastOSError();
        Realign();
    }
    if (FMenu && FFormStyle != fsMDIChild) ::SetMenu(FHandle, FMenu->Handle());
}

void TForm::DestroyWindowHandle() {
    FClientHandle = nullptr;
    TWinControl::DestroyWindowHandle();
}

void TForm::AdjustClientRect(RECT&) {}

void TForm::AlignControls(TControl* c, RECT& rect) {
    TWinControl::AlignControls(c, rect);
    if (FClientHandle)
        SetWindowPos(FClientHandle, HWND_BOTTOM, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOACTIVATE);
}

void TForm::DefaultHandler(TMessage& m) {
    if (!FHandle) {
        TWinControl::DefaultHandler(m);
        return;
    }
    if (FFormStyle == fsMDIChild) {
        m.Result = DefMDIChildProcW(FHandle, m.Msg, m.WParam, m.LParam);
        return;
    }
    if (FClientHandle) {
        if (m.Msg == WM_SIZE)
            m.Result = DefWindowProcW(FHandle, m.Msg, m.WParam, m.LParam);
        else
            m.Result = DefFrameProcW(FHandle, FClientHandle, m.Msg, m.WParam, m.LParam);
        return;
    }
    TWinControl::DefaultHandler(m);
}

void TForm::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE: WMClose(m); return;
    case WM_ACTIVATE: WMActivate(m); return;
    case WM_MDIACTIVATE: WMMDIActivate(m); return;
    case WM_SETFOCUS:
        // The form's own window got the focus (an MDI frame gives it to its active child when
        // it is activated again): the control that had it last takes it back.
        if (FActiveControl && FActiveControl != this && FActiveControl->HandleAllocated() &&
            FActiveControl->CanFocus()) {
            ::SetFocus(FActiveControl->FHandle);
            m.Result = 0;
            return;
        }
        break;
    case WM_COMMAND:
        if (m.LParam == 0 && HIWORD(m.WParam) <= 1 && FMenu && FMenu->DispatchCommand(LOWORD(m.WParam))) {
            m.Result = 0;
            return;
        }
        break;
    case WM_SYSCOMMAND:
        // Menu keys of a form without a menu go to the hooks first (a menu bar of its own).
        if ((m.WParam & 0xFFF0) == SC_KEYMENU && LOWORD(m.LParam) != L' ' && !FMenu && Application &&
            !GetCapture()) {
            TMessage keyMenu{CM_APPSYSCOMMAND, m.WParam, m.LParam, 0};
            if (Application->RunMainWindowHooks(keyMenu)) {
                m.Result = 0;
                return;
            }
        }
        break;
    case WM_QUERYENDSESSION:
        m.Result = CloseQuery() ? 1 : 0;
        return;
    default: break;
    }
    TWinControl::Dispatch(m);
}

void TForm::PaintWindow(HDC dc) {
    if (!OnPaint) return;
    // While OnPaint runs, Canvas() draws on the paint DC; the form's own canvas comes back
    // after it, also when OnPaint throws.
    std::unique_ptr<TCanvas> saved = std::move(FCanvas);
    auto restore = ScopeExit([&] { FCanvas = std::move(saved); });
    FCanvas = std::make_unique<TCanvas>();
    TCanvasDCScope onDC(*FCanvas, dc);
    FCanvas->Brush().SetColor(FColor);
    OnPaint(this);
}

void TForm::WMClose(TMessage&) { Close(); }

void TForm::WMActivate(TMessage& m) {
    DefaultHandler(m);
    if (LOWORD(m.WParam) != WA_INACTIVE) {
        if (FActiveControl && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
            ::SetFocus(FActiveControl->FHandle);
        if (OnActivate) OnActivate(this);
    } else {
        if (OnDeactivate) OnDeactivate(this);
    }
}

void TForm::WMMDIActivate(TMessage& m) {
    DefaultHandler(m);
    if (reinterpret_cast<HWND>(m.LParam) == FHandle) {
        if (FActiveControl && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
            ::SetFocus(FActiveControl->FHandle);
        if (OnActivate) OnActivate(this);
    } else if (reinterpret_cast<HWND>(m.WParam) == FHandle) {
        if (OnDeactivate) OnDeactivate(this);
    }
}

void TForm::PlaceByPosition() {
    if (FPlaced || FFormStyle == fsMDIChild || FParent) return;
    FPlaced = true;
    int l = FLeft, t = FTop;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        l = Screen->Width() / 2 - FWidth / 2;
        t = Screen->Height() / 2 - FHeight / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TForm* ref = FPosition == poOwnerFormCenter ? dynamic_cast<TForm*>(Owner()) : nullptr;
        if (!ref && Application) ref = Application->MainForm();
        if (ref && ref != this && ref->HandleAllocated()) {
            RECT r;
            GetWindowRect(ref->FHandle, &r);
            l = r.left + (r.right - r.left - FWidth) / 2;
            t = r.top + (r.bottom - r.top - FHeight) / 2;
        } else {
            l = Screen->Width() / 2 - FWidth / 2;
            t = Screen->Height() / 2 - FHeight / 2;
        }
        break;
    }
    default: return;
    }
    SetBounds(l, t, FWidth, FHeight);
}

void TForm::SetVisible(bool v) {
    if (v == FVisible && (!v || (FHandle && IsWindowVisible(FHandle)))) return;
    if (v) {
        HandleNeeded();
        PlaceByPosition();
        Perform(CM_FORMSHOWING);
        FVisible = true;
        int cmd = FWindowState == wsMaximized ? SW_SHOWMAXIMIZED : FWindowState == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
        FWindowState = wsNormal;
        ShowWindow(FHandle, cmd);
        DoShow();
        // The remembered control, or the first in tab order, gets the focus.
        TWinControl* focus = FActiveControl;
        if (!focus) focus = FindNextControl(nullptr, true, true, false);
        if (focus && focus->CanFocus()) ::SetFocus(focus->Handle());
    } else {
        FVisible = false;
        if (FHandle) ShowWindow(FHandle, SW_HIDE);
        DoHide();
    }
}

void TForm::Show() {
    SetVisible(true);
    if (FHandle) {
        if (FFormStyle == fsMDIChild && FClientHandle == nullptr) {
            HWND client = GetParent(FHandle);
            SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
        } else {
            SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            if (!FParent) SetForegroundWindow(FHandle);
        }
    }
}

void TForm::DoShow() {
    if (OnShow) OnShow(this);
}
void TForm::DoHide() {
    if (OnHide) OnHide(this);
}
void TForm::DoClose(TCloseAction& a) {
    if (OnClose) OnClose(this, a);
}

void TForm::CMShowingChanged(TMessage&) {}

bool TForm::CloseQuery() {
    if (FFormStyle == fsMDIForm) {
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery()) return false;
    }
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (FFormStyle == fsMDIChild) action = (FBorderIcons & biMinimize) ? caMinimize : caNone;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TForm::Release() {
    if (Application) Application->ReleaseForm(this);
}

TModalResult TForm::ShowModal() {
    if (FModal || (FHandle && IsWindowVisible(FHandle)) || !FEnabled || FFormStyle == fsMDIChild)
        throw EInvalidOperation(L"Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    if (Application) Application->CancelHint();
    FModal = true;
    FModalResult = mrNone;
    HWND active = GetActiveWindow();
    HandleNeeded();
    std::optional<TDisabledThreadWindows> disabled(std::in_place, FHandle);
    if (Application) ++Application->FModalLevel;
    {
        // Undone on every way out, before the result is read: the other windows are enabled
        // again before the active window is given back.
        auto restore = ScopeExit([&] {
            disabled.reset();
            if (active && IsWindow(active)) SetActiveWindow(active);
            if (FHandle) SetVisible(false);
            FModal = false;
            if (Application) --Application->FModalLevel;
        });
        Show();
        for (;;) {
            Application->HandleMessage();
            if (Application->Terminated()) {
                if (FModalResult == mrNone) FModalResult = mrCancel;
                break;
            }
            if (FModalResult != mrNone) {
                // Closing: the form may still refuse.
                if (!CloseQuery()) {
                    FModalResult = mrNone;
                    continue;
                }
                TCloseAction ca = caHide;
                DoClose(ca);
                if (ca == caNone) {
                    FModalResult = mrNone;
                    continue;
                }
                break;
            }
        }
    }
    return FModalResult;
}

// --- focus -------------------------------------------------------------------------------

void TForm::SetActiveControl(TWinControl* c) {
    if (c == FActiveControl) return;
    if (c && HandleAllocated() && IsWindowVisible(FHandle) && c->CanFocus()) {
        ::SetFocus(c->Handle());
        return;
    }
    FActiveControl = c;
}

void TForm::FocusControl(TWinControl* c) {
    FActiveControl = c;
    if (c && HandleAllocated() && IsWindowVisible(FHandle)) ::SetFocus(c->Handle());
}

void TForm::SetFocusedControl(TWinControl* c) {
    if (c == FFocusedControl) return;
    TWinControl* old = FFocusedControl;
    FFocusedControl = c;
    if (c != this) FActiveControl = c;
    if (old && old != this) old->Perform(CM_EXIT);
    if (c && c != this && FFocusedControl == c) c->Perform(CM_ENTER);
    // Every control of the form hears where the focus went (default buttons, hot frames).
    if (FFocusedControl == c) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(c));
}

// --- MDI ---------------------------------------------------------------------------------

int TForm::MDIChildCount() {
    int n = 0;
    if (!FClientHandle) return 0;
    for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (dynamic_cast<TForm*>(FindControl(w))) ++n;
    return n;
}

TForm* TForm::MDIChildren(int index) {
    if (!FClientHandle) return nullptr;
    int n = 0;
    for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (auto* f = dynamic_cast<TForm*>(FindControl(w))) {
            if (n == index) return f;
            ++n;
        }
    return nullptr;
}

TForm* TForm::ActiveMDIChild() {
    if (!FClientHandle) return nullptr;
    return dynamic_cast<TForm*>(FindControl(reinterpret_cast<HWND>(SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, 0))));
}

void TForm::Cascade() {
    if (FClientHandle) SendMessageW(FClientHandle, WM_MDICASCADE, 0, 0);
}
void TForm::Tile() {
    if (FClientHandle) SendMessageW(FClientHandle, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}
void TForm::ArrangeIcons() {
    if (FClientHandle) SendMessageW(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}
void TForm::Next() {
    if (FClientHandle) SendMessageW(FClientHandle, WM_MDINEXT, 0, 0);
}
void TForm::Previous() {
    if (FClientHandle) SendMessageW(FClientHandle, WM_MDINEXT, 0, 1);
}

// --- actions -----------------------------------------------------------------------------

void TForm::UpdateActionsOf(TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (auto* list = dynamic_cast<TActionList*>(c)) list->UpdateActions();
        else if (auto* ctl = dynamic_cast<TControl*>(c)) {
            if (ctl->ActionLink() && !dynamic_cast<TActionList*>(ctl->Action()->Owner())) ctl->InitiateAction();
        }
    }
}

void TForm::UpdateActions() {
    if (ComponentState() & csDestroying) return;
    UpdateActionsOf(this);
}

bool TForm::IsShortCut(WORD key, TShiftState shift) {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TActionList*>(Components(i)))
            if (list->IsShortCut(key, shift)) return true;
    if (FMenu && FMenu->IsShortCut(key, shift)) return true;
    // An MDI frame passes the key on to the active child.
    if (FFormStyle == fsMDIForm)
        if (TForm* child = ActiveMDIChild()) return child->IsShortCut(key, shift);
    return false;
}

void TForm::CMDialogKey(TMessage& m) {
    TShiftState shift = KeyboardStateToShiftState();
    switch (m.WParam) {
    case VK_TAB:
        if (!(shift & (ssCtrl | ssAlt))) {
            SelectNext(FActiveControl, !(shift & ssShift), true);
            m.Result = 1;
            return;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
            FActiveControl->Parent()->SelectNext(FActiveControl, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
            m.Result = 1;
            return;
        }
        break;
    default: break;
    }
    TWinControl::CMDialogKey(m);
}

}  // namespace classlib
