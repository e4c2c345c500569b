#include "classlib/control.h"

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/dragdrop.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/menus.h"
#include "classlib/runtime.h"
#include "classlib/screen.h"
#include "classlib/scopeguard.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace classlib {

namespace {

// The control whose window CreateWindowExW is making right now; the first message of the
// window binds the two.
TWinControl* gCreationControl = nullptr;
const wchar_t kControlProp[] = L"WendlarControl";
UINT_PTR gNextChildId = 100;

}  // namespace

TShiftState KeyboardStateToShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
    return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    return s;
}

TWinControl* FindControl(HWND wnd) {
    if (!wnd) return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != GetCurrentProcessId()) return nullptr;
    return static_cast<TWinControl*>(GetPropW(wnd, kControlProp));
}

TForm* GetParentForm(TControl* c) {
    while (c) {
        if (auto* f = dynamic_cast<TForm*>(c)) {
            if (!c->Parent() || f->FormStyle() == fsMDIChild) return f;
        }
        c = c->Parent();
    }
    return nullptr;
}

bool GuardedCall(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (...) {
        if (Application) Application->HandleException(nullptr);
        return false;
    }
}

// --- the window procedures ---------------------------------------------------------------

void DeliverMessage(TWinControl* c, TMessage& m) {
    HWND wnd = c->FHandle;
    try {
        c->WndProc(m);
    } catch (...) {
        m.Result = 0;
        if (Application) Application->HandleException(c);
    }
    if (m.Msg == WM_NCDESTROY) {
        // The object outlives its window: forget the handle and the binding.
        RemovePropW(wnd, kControlProp);
        if (!c->FSubclassed) SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        if (c->FHandle == wnd) c->FHandle = nullptr;
    }
}

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* c = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!c) {
        c = gCreationControl;
        if (!c) return DefWindowProcW(wnd, msg, wp, lp);
        gCreationControl = nullptr;
        c->FHandle = wnd;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));
        SetPropW(wnd, kControlProp, c);
    }
    TMessage m{msg, wp, lp, 0};
    DeliverMessage(c, m);
    return m.Result;
}

LRESULT CALLBACK ControlSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* c = reinterpret_cast<TWinControl*>(ref);
    TMessage m{msg, wp, lp, 0};
    DeliverMessage(c, m);
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, ControlSubclassProc, 0);
    return m.Result;
}

// --- TControl ----------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TFont*) {
        if (!FSyncingFont) FParentFont = false;
        Perform(CM_FONTCHANGED);
    };
}

TControl::~TControl() {
    Destroying();
    if (Application && Application->FMouseControl == this) Application->FMouseControl = nullptr;
    if (Application && Application->FHintControl == this) Application->CancelHint();
    CancelDragOf(this);
    FActionLink.reset();
    if (FParent) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
    TMessage m{msg, wp, lp, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) { Dispatch(m); }

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_GETTEXTLENGTH: m.Result = static_cast<LRESULT>(FText.size()); break;
    default: break;
    }
}

void TControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT: WMPaint(m); break;
    case WM_LBUTTONDOWN: WMMouseDown(m, mbLeft); break;
    case WM_RBUTTONDOWN: WMMouseDown(m, mbRight); break;
    case WM_MBUTTONDOWN: WMMouseDown(m, mbMiddle); break;
    case WM_LBUTTONUP: WMMouseUp(m, mbLeft); break;
    case WM_RBUTTONUP: WMMouseUp(m, mbRight); break;
    case WM_MBUTTONUP: WMMouseUp(m, mbMiddle); break;
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); break;
    case WM_CONTEXTMENU: WMContextMenu(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_HINTSHOW: CMHintShow(m); break;
    case CM_CURSORCHANGED: CMCursorChanged(m); break;
    case CM_DRAG: CMDrag(m); break;
    default: DefaultHandler(m); break;
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation(L"A control cannot be its own parent");
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBoundsNoAlign(int l, int t, int w, int h) {
    FLeft = l;
    FTop = t;
    FWidth = w;
    FHeight = h;
}

void TControl::SetBounds(int l, int t, int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
    bool sized = w != FWidth || h != FHeight;
    Invalidate();
    SetBoundsNoAlign(l, t, w, h);
    Invalidate();
    RequestAlign();
    if (sized) Resize();
}

RECT TControl::ClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int w, int h) { SetBounds(FLeft, FTop, w, h); }

POINT TControl::ClientToScreen(POINT p) {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
        ::ClientToScreen(w->FHandle, &p);
        return p;
    }
    if (!FParent) return p;
    POINT q{p.x + FLeft, p.y + FTop};
    return FParent->ClientToScreen(q);
}

POINT TControl::ScreenToClient(POINT p) {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
        ::ScreenToClient(w->FHandle, &p);
        return p;
    }
    if (!FParent) return p;
    POINT q = FParent->ScreenToClient(p);
    return {q.x - FLeft, q.y - FTop};
}

HWND TControl::ParentWindowHandle() { return FParent ? FParent->Handle() : nullptr; }

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (v != alNone) FAnchors = akLeft | akTop;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (FParent && !(ComponentState() & csDestroying)) FParent->Realign();
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    Invalidate();
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v);
    Invalidate();
    RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor v) {
    if (v == FColor && !FParentColor) return;
    FColor = v;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    if (v && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v) {
    if (v == FParentFont) return;
    FParentFont = v;
    if (v && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetCursor(TCursor v) {
    if (v == FCursor) return;
    FCursor = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* m) { FPopupMenu = m; }

std::wstring TControl::GetText() { return FText; }

void TControl::SetText(const std::wstring& v) {
    if (GetText() == v) return;
    FText = v;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool v) {
    FShowHint = v;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
    if (v == FParentShowHint) return;
    FParentShowHint = v;
    if (v && FParent) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::Invalidate() {
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        if (w->HandleAllocated()) InvalidateRect(w->FHandle, nullptr, TRUE);
        return;
    }
    if (FParent && FParent->HandleAllocated() && FVisible) {
        RECT r = BoundsRect();
        InvalidateRect(FParent->FHandle, &r, TRUE);
    }
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* a) {
    if (!a) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = std::make_unique<TControlActionLink>(this);
        FActionLink->OnActionFreed = [this] { FActionLink.reset(); };
    }
    FActionLink->SetAction(a);
    ActionChange(a, (ComponentState() & csLoading) != 0);
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (!a) return;
    if (!checkDefaults || GetText().empty() || GetText() == Name()) SetText(a->Caption());
    if (!checkDefaults || FHint.empty()) SetHint(a->Hint());
    if (!checkDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!checkDefaults || FVisible) SetVisible(a->Visible());
    if (!checkDefaults || HelpContext == 0) HelpContext = a->HelpContext();
}

void TControl::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TControl::Click() {
    if (FActionLink && FActionLink->Action()) {
        FActionLink->Execute(this);
        return;
    }
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::WMMouseDown(TMessage& m, TMouseButton b) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    if (Application) Application->CancelHint();
    if (b == mbLeft) {
        FControlState |= csLButtonDown | csClicked;
        if (DragMode == dmAutomatic) {
            BeginDrag(false);
        }
    }
    MouseDown(b, KeysToShiftState(m.WParam), x, y);
    if (dynamic_cast<TWinControl*>(this)) DefaultHandler(m);
}

void TControl::WMMouseUp(TMessage& m, TMouseButton b) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    if (dynamic_cast<TWinControl*>(this)) DefaultHandler(m);
    if (b == mbLeft && (FControlState & csClicked)) {
        FControlState &= ~(csClicked | csLButtonDown);
        RECT r = ClientRect();
        POINT p{x, y};
        if (PtInRect(&r, p) && (FControlStyle & csClickEvents)) Click();
    }
    FControlState &= ~csLButtonDown;
    MouseUp(b, KeysToShiftState(m.WParam), x, y);
}

void TControl::WMMouseMove(TMessage& m) {
    if (dynamic_cast<TWinControl*>(this)) DefaultHandler(m);
    MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
}

void TControl::WMLButtonDblClk(TMessage& m) {
    if (dynamic_cast<TWinControl*>(this)) DefaultHandler(m);
    if (FControlStyle & csDoubleClicks) DblClick();
}

void TControl::WMContextMenu(TMessage& m) {
    if (FPopupMenu && FPopupMenu->AutoPopup) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (p.x == -1 && p.y == -1) p = ClientToScreen({0, 0});
        FPopupMenu->PopupComponent = this;
        FPopupMenu->Popup(p.x, p.y);
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage&) {
    if (FParentFont && FParent) {
        FSyncingFont = true;
        auto done = ScopeExit([this] { FSyncingFont = false; });
        FFont->Assign(FParent->Font());
    }
}

void TControl::CMParentColorChanged(TMessage&) {
    if (FParentColor && FParent) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) {}

void TControl::CMMouseEnter(TMessage&) {
    FMouseInControl = true;
    if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::CMMouseLeave(TMessage&) {
    FMouseInControl = false;
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMDrag(TMessage& m) {
    auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
    if (!rec) return;
    switch (static_cast<TDragMessage>(m.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        bool accept = true;
        DragOver(rec->Source, rec->Pos.x, rec->Pos.y, static_cast<int>(m.WParam), accept);
        m.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop: DragDrop(rec->Source, rec->Pos.x, rec->Pos.y); break;
    default: break;
    }
}

void TControl::DragOver(TComponent* source, int x, int y, int state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}
void TControl::DragDrop(TComponent* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}
void TControl::DoEndDrag(TComponent* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}
void TControl::DoStartDrag() {
    if (OnStartDrag) OnStartDrag(this);
}

// --- TWinControl -------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    FColor = clBtnFace;
    FBrush.SetColor(clBtnFace);
}

TWinControl::~TWinControl() {
    Destroying();
    // Our children go first (whoever owns them), then the window.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
    if (FHandle) DestroyHandle();
}

HWND TWinControl::Handle() {
    if (!FHandle) {
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
    p.Menu = reinterpret_cast<HMENU>(gNextChildId++);
    p.WindowClass.cbSize = sizeof(WNDCLASSEXW);
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    p.WindowClass.hbrBackground = nullptr;
    p.WinClassName = L"TWinControl";
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
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

void TWinControl::DefaultHandler(TMessage& m) {
    if (!FHandle) {
        TControl::DefaultHandler(m);
        return;
    }
    if (FSubclassed)
        m.Result = DefSubclassProc(FHandle, m.Msg, m.WParam, m.LParam);
    else if (FDefWndProc)
        m.Result = CallWindowProcW(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
    else
        m.Result = DefWindowProcW(FHandle, m.Msg, m.WParam, m.LParam);
}

void TWinControl::InsertControl(TControl* c) {
    c->FParent = this;
    FControls.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) FTabList.push_back(w);
    if (c->FParentFont) c->Perform(CM_PARENTFONTCHANGED);
    if (c->FParentColor) c->Perform(CM_PARENTCOLORCHANGED);
    if (c->FParentShowHint) c->Perform(CM_PARENTSHOWHINTCHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(c); w && FHandle && !(ComponentState() & csDestroying)) w->CreateHandle();
    c->Invalidate();
    Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    if (TForm* f = GetParentForm(this)) f->ControlRemoved(c);
    if (FMouseCaptureControl == c) FMouseCaptureControl = nullptr;
    c->Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (w->FHandle && !(ComponentState() & csDestroying)) w->DestroyHandle();
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

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWin) {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        bool win = dynamic_cast<TWinControl*>(c) != nullptr;
        if (win && !allowWin) continue;
        if (!c->FVisible || (!c->FEnabled && !allowDisabled)) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::NotifyControls(UINT msg) {
    for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(msg);
}

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || (ComponentState() & csDestroying)) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    RECT r = ClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, RECT& rect) {
    if (FControlState & csAligning) return;
    FControlState |= csAligning;
    AdjustClientRect(rect);
    int newW = rect.right - rect.left, newH = rect.bottom - rect.top;
    // Anchored children follow the change of the client size since the last layout.
    if (FLastClientW >= 0 && (newW != FLastClientW || newH != FLastClientH)) {
        int dx = newW - FLastClientW, dy = newH - FLastClientH;
        for (TControl* c : FControls) {
            if (c->FAlign != alNone) continue;
            int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
            if (c->FAnchors & akRight) {
                if (c->FAnchors & akLeft) w += dx; else l += dx;
            }
            if (c->FAnchors & akBottom) {
                if (c->FAnchors & akTop) h += dy; else t += dy;
            }
            if (l != c->FLeft || t != c->FTop || w != c->FWidth || h != c->FHeight) c->SetBounds(l, t, w, h);
        }
    }
    FLastClientW = newW;
    FLastClientH = newH;
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->FAlign != a || !c->FVisible) continue;
            int w = c->FWidth, h = c->FHeight;
            switch (a) {
            case alTop:
                c->SetBounds(rect.left, rect.top, rect.right - rect.left, h);
                rect.top += h;
                break;
            case alBottom:
                c->SetBounds(rect.left, rect.bottom - h, rect.right - rect.left, h);
                rect.bottom -= h;
                break;
            case alLeft:
                c->SetBounds(rect.left, rect.top, w, rect.bottom - rect.top);
                rect.left += w;
                break;
            case alRight:
                c->SetBounds(rect.right - w, rect.top, w, rect.bottom - rect.top);
                rect.right -= w;
                break;
            case alClient:
                c->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
                break;
            default: break;
            }
        }
    }
    FControlState &= ~csAligning;
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    auto& v = FParent->FTabList;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (!FParent) return;
    auto& v = FParent->FTabList;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (value < 0) value = 0;
    if (value > static_cast<int>(v.size())) value = static_cast<int>(v.size());
    v.insert(v.begin() + value, this);
}

void TWinControl::SetTabStop(bool v) {
    if (v == FTabStop) return;
    FTabStop = v;
    if (FHandle) {
        LONG_PTR s = GetWindowLongPtrW(FHandle, GWL_STYLE);
        SetWindowLongPtrW(FHandle, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
    }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* w : FTabList) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool fwd, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == cur) start = i;
    if (start < 0) start = fwd ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = fwd ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[i];
        if ((!checkTabStop || c->FTabStop) && (!checkParent || c->FParent == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool fwd, bool checkTabStop) {
    if (TWinControl* c = FindNextControl(cur, fwd, checkTabStop, false)) c->SetFocus();
}

bool TWinControl::CanFocus() {
    TControl* c = this;
    while (c) {
        if (!c->FVisible || !c->FEnabled) return false;
        if (!c->FParent) break;
        c = c->FParent;
    }
    return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    if (TForm* f = GetParentForm(this); f && f != this) {
        f->FocusControl(this);
        return;
    }
    ::SetFocus(Handle());
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

void TWinControl::SetBounds(int l, int t, int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
    bool sized = w != FWidth || h != FHeight;
    SetBoundsNoAlign(l, t, w, h);
    if (FHandle) {
        SetWindowPos(FHandle, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        // WM_SIZE has laid out the children and fired Resize.
    } else {
        if (sized) {
            RECT r = ClientRect();
            AlignControls(nullptr, r);
            Resize();
        }
    }
    RequestAlign();
}

RECT TWinControl::ClientRect() {
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle) {
        GetClientRect(FHandle, &r);
        return r;
    }
    // Without a window: the bounds less the frame the styles would give it.
    TCreateParams p;
    CreateParams(p);
    RECT f{0, 0, 0, 0};
    AdjustWindowRectEx(&f, p.Style, p.Menu && !(p.Style & WS_CHILD), p.ExStyle);
    r.right = std::max<LONG>(0, FWidth - (f.right - f.left));
    r.bottom = std::max<LONG>(0, FHeight - (f.bottom - f.top));
    return r;
}

void TWinControl::SetClientSize(int w, int h) {
    RECT c = ClientRect();
    SetBounds(FLeft, FTop, FWidth + (w - (c.right - c.left)), FHeight + (h - (c.bottom - c.top)));
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

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!FHandle) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(FHandle);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    SetBoundsNoAlign(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_PRINTCLIENT:
        if (!FSubclassed) {
            TMessage e{WM_ERASEBKGND, m.WParam, 0, 0};
            WMEraseBkgnd(e);
            TMessage p{WM_PAINT, m.WParam, 0, 0};
            WMPaint(p);
            return;
        }
        DefaultHandler(m);
        return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(m); return;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(m); return;
    case WM_CHAR: WMChar(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case WM_DESTROY: WMDestroy(m); return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_CONTEXTMENU:
        // A windowless child under the point may have its own menu.
        if (reinterpret_cast<HWND>(m.WParam) == FHandle && m.LParam != -1) {
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            ::ScreenToClient(FHandle, &p);
            if (TControl* c = ControlAtPos(p, false, false); c && c->FPopupMenu) {
                c->WMContextMenu(m);
                return;
            }
        }
        WMContextMenu(m);
        return;
    case WM_MOUSELEAVE:
        if (Application) Application->DoMouseIdle();
        DefaultHandler(m);
        return;
    case WM_COMMAND:
        if (m.LParam) {
            if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
                m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        if (hdr) {
            if (TWinControl* c = FindControl(hdr->hwndFrom); c && c != this) {
                m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (di && di->CtlType != ODT_MENU) {
            if (TWinControl* c = FindControl(di->hwndItem); c && c != this) {
                m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (mi && mi->CtlType != ODT_MENU && FHandle) {
            if (TWinControl* c = FindControl(GetDlgItem(FHandle, static_cast<int>(mi->CtlID))); c && c != this) {
                m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
            m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
            return;
        }
        DefaultHandler(m);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (m.LParam) {
            if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this) {
                m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
        }
        DefaultHandler(m);
        return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: CNCtlColor(m); return;
    case CN_COMMAND: CNCommand(m); return;
    case CN_NOTIFY: CNNotify(m); return;
    case CN_DRAWITEM: CNDrawItem(m); return;
    case CN_MEASUREITEM: CNMeasureItem(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_MOUSEWHEEL: CMMouseWheel(m); return;
    default: break;
    }
    // Mouse messages for windowless children.
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        TControl* target = FMouseCaptureControl;
        if (!target) target = ControlAtPos(p, false, false);
        if (target) {
            if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN) {
                if (target->FControlStyle & csCaptureMouse) {
                    FMouseCaptureControl = target;
                    SetCapture(FHandle);
                }
            }
            LPARAM lp = MAKELPARAM(p.x - target->FLeft, p.y - target->FTop);
            target->Perform(m.Msg, m.WParam, lp);
            if (m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP) {
                if (FMouseCaptureControl && !(m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
                    FMouseCaptureControl = nullptr;
                    if (GetCapture() == FHandle) ReleaseCapture();
                }
            }
            return;
        }
        if (m.Msg == WM_MOUSEMOVE && Application && FHandle) {
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, FHandle, 0};
            TrackMouseEvent(&t);
        }
    }
    TControl::Dispatch(m);
}

void TWinControl::WMPaint(TMessage& m) {
    if (FSubclassed) {
        // A standard control paints itself; windowless children are painted over it.
        DefaultHandler(m);
        return;
    }
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps{};
    if (!dc) dc = BeginPaint(FHandle, &ps);
    PaintWindow(dc);
    PaintControls(dc);
    if (!m.WParam) EndPaint(FHandle, &ps);
    m.Result = 0;
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : FControls) {
        if (!started) {
            started = c == first;
            if (!started) continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->FVisible) continue;
        RECT b = c->BoundsRect();
        if (!RectVisible(dc, &b)) continue;
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->FLeft, org.y + c->FTop, nullptr);
        IntersectClipRect(dc, 0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
    if (FSubclassed) {
        DefaultHandler(m);
        return;
    }
    RECT r;
    GetClientRect(FHandle, &r);
    FBrush.SetColor(FColor);
    ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, FBrush.Handle());
    m.Result = 1;
}

void TWinControl::WMSize(TMessage& m) {
    DefaultHandler(m);
    UpdateBoundsFromWindow();
    Realign();
    Resize();
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
    DefaultHandler(m);
    UpdateBoundsFromWindow();
}

void TWinControl::WMSetFocus(TMessage& m) {
    DefaultHandler(m);
    if (TForm* f = GetParentForm(this)) f->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
    TForm* f = GetParentForm(this);
    if (f && f != this && f->KeyPreview()) {
        static_cast<TWinControl*>(f)->KeyDown(key, shift);
        if (key == 0) return true;
    }
    KeyDown(key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(wchar_t& key) {
    TForm* f = GetParentForm(this);
    if (f && f != this && f->KeyPreview()) {
        static_cast<TWinControl*>(f)->KeyPress(key);
        if (key == 0) return true;
    }
    KeyPress(key);
    return key == 0;
}

void TWinControl::WMKeyDown(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    if (DoKeyDown(key, KeyboardStateToShiftState())) return;
    m.WParam = key;
    DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    TForm* f = GetParentForm(this);
    if (f && f != this && f->KeyPreview()) {
        static_cast<TWinControl*>(f)->KeyUp(key, KeyboardStateToShiftState());
        if (key == 0) return;
    }
    KeyUp(key, KeyboardStateToShiftState());
    if (key == 0) return;
    m.WParam = key;
    DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
    wchar_t ch = static_cast<wchar_t>(m.WParam);
    if (DoKeyPress(ch)) return;
    m.WParam = ch;
    DefaultHandler(m);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(wchar_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::WMSetCursor(TMessage& m) {
    if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == FHandle && Screen) {
        TCursor cur = Screen->Cursor();
        if (cur == crDefault) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(FHandle, &p);
            TControl* c = ControlAtPos(p, true, false);
            cur = c ? c->FCursor : FCursor;
            if (cur == crDefault) cur = FCursor;
        }
        if (cur != crDefault) {
            ::SetCursor(Screen->Cursors(cur));
            m.Result = 1;
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::WMMouseWheel(TMessage& m) {
    // Wheel: the focused control first, then its parents (CM_MOUSEWHEEL bubbles up).
    if (Perform(CM_MOUSEWHEEL, m.WParam, m.LParam)) {
        m.Result = 0;
        return;
    }
    DefaultHandler(m);
}

void TWinControl::CMMouseWheel(TMessage& m) {
    if (FParent) m.Result = FParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TWinControl::CNCtlColor(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(FFont->Color()));
    SetBkColor(dc, ColorToRGB(FColor));
    FBrush.SetColor(FColor);
    m.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
}

void TWinControl::CMFontChanged(TMessage& m) {
    if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
    NotifyControls(CM_PARENTFONTCHANGED);
    TControl::CMFontChanged(m);
}

void TWinControl::CMColorChanged(TMessage& m) {
    FBrush.SetColor(FColor);
    NotifyControls(CM_PARENTCOLORCHANGED);
    TControl::CMColorChanged(m);
}

void TWinControl::CMEnabledChanged(TMessage& m) {
    if (!FEnabled && FHandle && GetFocus() == FHandle) {
        if (TForm* f = GetParentForm(this); f && f != this) f->SelectNext(this, true, true);
    }
    TControl::CMEnabledChanged(m);
}

void TWinControl::CMShowingChanged(TMessage&) {}

void TWinControl::CMDialogKey(TMessage& m) {
    // The form offers a dialog key (Enter, Esc...) to every control below it until one
    // takes it (a default or cancel button).
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!c->FVisible || !c->FEnabled) continue;
        m.Result = c->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
        if (m.Result) return;
    }
}

void TWinControl::CMDialogChar(TMessage& m) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!c->FVisible || !c->FEnabled) continue;
        m.Result = c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
        if (m.Result) return;
    }
}

// --- TControlCanvas ----------------------------------------------------------------------

TControlCanvas::~TControlCanvas() {
    if (!HandleAllocated()) return;
    HDC dc = Handle();
    ReleaseHandleObjects();
    ReleaseDC(FWnd, dc);
}

void TControlCanvas::CreateHandle() {
    FWnd = FControl->ParentWindowHandle();
    if (!FWnd) return;
    HDC dc = GetDC(FWnd);
    if (!dynamic_cast<TWinControl*>(FControl)) {
        SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
    }
    SetHandle(dc);
    Font().Assign(FControl->Font());
}

// --- TGraphicControl / TCustomControl ----------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::WMPaint(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    FCanvas.SetHandle(dc);
    FCanvas.Font().Assign(*FFont);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        throw;
    }
    FCanvas.SetHandle(nullptr);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::WMEraseBkgnd(TMessage& m) {
    if (DoubleBuffered) {
        m.Result = 1;  // the buffered paint covers everything
        return;
    }
    TWinControl::WMEraseBkgnd(m);
}

void TCustomControl::PaintWindow(HDC dc) {
    RECT r;
    GetClientRect(FHandle, &r);
    HDC target = dc;
    HDC mem = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    if (DoubleBuffered && r.right > 0 && r.bottom > 0) {
        mem = CreateCompatibleDC(dc);
        bmp = CreateCompatibleBitmap(dc, r.right, r.bottom);
        old = SelectObject(mem, bmp);
        FBrush.SetColor(FColor);
        ::FillRect(mem, &r, FBrush.Handle());
        target = mem;
    }
    FCanvas.SetHandle(target);
    FCanvas.Font().Assign(*FFont);
    FCanvas.Brush().SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        if (mem) {
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        }
        throw;
    }
    FCanvas.SetHandle(nullptr);
    if (mem) {
        PaintControls(mem);
        BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
}

}  // namespace classlib
