// The window of a TWinControl: creation from CreateParams, destruction and re-creation,
// children coming and going, and the properties the window itself keeps (text, visible,
// enabled).
#include "classlib/control_p.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/runtime.h"
#include "classlib/scopeguard.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

namespace classlib {

namespace {

UINT_PTR gNextChildId = 100;

// The system's arrow, asked for once: every window class and every client-rectangle question
// of a windowless control goes through CreateParams, and asking the system for a cursor costs
// window-server requests on some systems. System cursors are shared and never freed.
HCURSOR ArrowCursor() {
    static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    return arrow;
}

}  // namespace

TWinControl* gCreationControl = nullptr;

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    FColor = clBtnFace;
    FBrush.SetColor(clBtnFace);
}

TWinControl::~TWinControl() {
    Destroying();
    // After a deletion TearDown has left nothing here. A control destroyed without
    // delete still has its children and window: the window is unbound first, because the
    // derived parts its messages would reach are gone.
    if (FHandle) UnbindWindow(FHandle, FSubclassed);
    FreeChildren();
    if (FHandle) {
        TDeferExceptionReports defer;
        ::DestroyWindow(FHandle);
        FHandle = nullptr;
    }
}

void TWinControl::TearDown() {
    // Children first (whoever owns them), each taken apart whole; then the window, through
    // DestroyWnd of the most-derived class; then the parent lets go of this control.
    FreeChildren();
    DestroyHandle();
    TControl::TearDown();
}

void TWinControl::FreeChildren() {
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
}

HWND TWinControl::Handle() {
    if (!FHandle && !(ComponentState() & csDestroying)) {
        if (FParent) FParent->HandleNeeded();
        if (!FHandle) CreateHandle();
    }
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = FText;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FVisible) p.Style |= WS_VISIBLE;
    if (!FEnabled) p.Style |= WS_DISABLED;
    if (FTabStop) p.Style |= WS_TABSTOP;
    p.X = FLeft;
    p.Y = FTop;
    p.Width = FWidth;
    p.Height = FHeight;
    p.WndParent = FParent ? FParent->Handle() : nullptr;
    p.WindowClass.cbSize = sizeof(WNDCLASSEXW);
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.hCursor = ArrowCursor();
    p.WindowClass.hbrBackground = nullptr;
    p.WinClassName = L"TWinControl";
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    // Ids are drawn here, when a window is really made: CreateParams also serves questions
    // asked without a window (the client rectangle of a windowless control).
    if ((p.Style & WS_CHILD) && !p.Menu) p.Menu = reinterpret_cast<HMENU>(gNextChildId++);
    if (!(p.Style & WS_CHILD) && p.WndParent == nullptr && Application && Application->Handle() &&
        p.WndParent != Application->Handle())
        p.WndParent = Application->Handle();
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (p.SubClassName.empty()) {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof(existing);
        if (!GetClassInfoExW(inst, p.WinClassName.c_str(), &existing)) {
            WNDCLASSEXW wc = p.WindowClass;
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = ControlWindowProc;
            wc.hInstance = inst;
            wc.lpszClassName = p.WinClassName.c_str();
            if (!RegisterClassExW(&wc)) RaiseLastOSError();
        }
    }
    FControlState |= csCreating;
    TWinControl* saved = gCreationControl;
    gCreationControl = p.SubClassName.empty() ? this : nullptr;
    {
        auto done = ScopeExit([&] {
            gCreationControl = saved;
            FControlState &= ~csCreating;
        });
        CreateWindowHandle(p);
    }
    if (!FHandle) RaiseLastOSError();
    if (!p.SubClassName.empty() && !FSubclassed) {
        SetPropW(FHandle, kControlProp, this);
        SetWindowSubclass(FHandle, ControlSubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
        FSubclassed = true;
    }
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    const std::wstring& cls = p.SubClassName.empty() ? p.WinClassName : p.SubClassName;
    HWND wnd = CreateWindowExW(p.ExStyle, cls.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                               p.WndParent, p.Menu, GetModuleHandleW(nullptr), p.Param);
    if (!wnd) RaiseLastOSError();
    FHandle = wnd;
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    FSubclassed = false;
    CreateWnd();
    // Bounds as the window really got them (top-level windows may be adjusted by the system).
    UpdateBoundsFromWindow();
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), FALSE);
    if (GetText() != FText && !FText.empty()) SetWindowTextW(FHandle, FText.c_str());
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            if (!w->FHandle) w->CreateHandle();
        }
    }
    // Keep the window z-order in step with our order.
    for (TWinControl* w : FTabList) {
        if (w->FHandle) SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    Realign();
}

void TWinControl::DestroyWnd() {
    if (FHandle) FText = GetText();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    if (FHandle) {
        // No report box from inside the destruction: reports wait for the message loop.
        TDeferExceptionReports defer;
        FDestroyingWindow = true;
        DestroyWindow(FHandle);
        FDestroyingWindow = false;
    }
    FHandle = nullptr;
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->FText = w->GetText();
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    // Keep the text of all children: their windows go with ours.
    std::vector<TWinControl*> all;
    std::function<void(TWinControl*)> walk = [&](TWinControl* w) {
        for (TControl* c : w->FControls)
            if (auto* x = dynamic_cast<TWinControl*>(c)) {
                all.push_back(x);
                walk(x);
            }
    };
    walk(this);
    for (TWinControl* w : all)
        if (w->FHandle) w->FText = w->GetText();
    bool focused = Focused();
    DestroyHandle();
    for (TWinControl* w : all) w->FHandle = nullptr;
    CreateHandle();
    if (focused && CanFocus()) SetFocus();
}

void TWinControl::WMDestroy(TMessage& m) {
    if (FHandle) {
        int n = GetWindowTextLengthW(FHandle);
        std::wstring s(static_cast<size_t>(n) + 1, L'\0');
        GetWindowTextW(FHandle, s.data(), n + 1);
        s.resize(wcslen(s.c_str()));
        FText = s;
    }
    DefaultHandler(m);
}

void TWinControl::WMNCDestroy(TMessage& m) { DefaultHandler(m); }

void TWinControl::InsertControl(TControl* c) {
    c->FParent = this;
    FControls.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) FTabList.push_back(w);
    if (c->FParentFont) c->Perform(CM_PARENTFONTCHANGED);
    if (c->FParentColor) c->Perform(CM_PARENTCOLORCHANGED);
    if (c->FParentShowHint) c->Perform(CM_PARENTSHOWHINTCHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(c); w && FHandle && !(ComponentState() & csDestroying)) {
        if (w->FHandle)
            w->MoveWindowTo(this);
        else
            w->CreateHandle();
    }
    c->Invalidate();
    Realign();
}

void TWinControl::MoveWindowTo(TWinControl* parent) {
    // SetParent hides the window and shows it again, and hiding takes the focus away: a
    // control that held the focus gets it back on its new form.
    HWND focus = GetFocus();
    TWinControl* focused = nullptr;
    if (focus && (focus == FHandle || IsChild(FHandle, focus)))
        for (HWND h = focus; h && !focused; h = GetParent(h)) focused = FindControl(h);
    ::SetParent(FHandle, parent->FHandle);
    SetWindowPos(FHandle, HWND_TOP, FLeft, FTop, FWidth, FHeight, SWP_NOACTIVATE);
    if (!focused) return;
    if (TForm* f = GetParentForm(this)) f->FocusMovedIn(focused);
    if (GetFocus() != focus) ::SetFocus(focus);
}

void TWinControl::RemoveControl(TControl* c) {
    // A window moving to another parent (SetParent) stays.
    bool keepWindow = (c->FControlState & csReparenting) != 0;
    c->FControlState &= ~csReparenting;
    if (TForm* f = GetParentForm(this)) f->ControlRemoved(c);
    if (FMouseCaptureControl == c) FMouseCaptureControl = nullptr;
    c->Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (w->FHandle && !keepWindow && !(ComponentState() & csDestroying)) w->DestroyHandle();
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    }
    FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
    c->FParent = nullptr;
    if (!(ComponentState() & csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* c) const {
    while (c) {
        if (c == this) return true;
        c = c->FParent;
    }
    return false;
}

void TWinControl::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v);
    if (FHandle) ShowWindow(FHandle, v ? SW_SHOWNA : SW_HIDE);
    Perform(CM_SHOWINGCHANGED);
    RequestAlign();
}

void TWinControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    if (FHandle) EnableWindow(FHandle, v);
    Perform(CM_ENABLEDCHANGED);
}

HWND TWinControl::ParentWindowHandle() { return Handle(); }

bool TWinControl::Showing() const {
    if (FHandle && !FParent) return IsWindowVisible(FHandle) != FALSE;
    if (!FVisible) return false;
    return FParent ? FParent->Showing() : false;
}

std::wstring TWinControl::GetText() {
    if (!FHandle) return FText;
    int n = GetWindowTextLengthW(FHandle);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    int got = GetWindowTextW(FHandle, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

void TWinControl::SetText(const std::wstring& v) {
    if (GetText() == v) return;
    if (FHandle)
        SetWindowTextW(FHandle, v.c_str());
    else
        FText = v;
    Perform(CM_TEXTCHANGED);
}

}  // namespace classlib
