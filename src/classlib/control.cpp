// TControl: parent, appearance and state, text and hints, actions, mouse and drag handling.
// The window of a TWinControl is in control_create.cpp, messages in control_dispatch.cpp.
#include "classlib/control_p.h"

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/dragdrop.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/menus.h"
#include "classlib/scopeguard.h"

#include <windowsx.h>

namespace classlib {

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

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TFont*) {
        if (!FSyncingFont) FParentFont = false;
        Perform(CM_FONTCHANGED);
    };
}

TControl::~TControl() {
    // After a deletion TearDown has done this already; without one (a local variable) it
    // happens here.
    Destroying();
    LeaveForDestruction();
    FActionLink.reset();
}

void TControl::BeforeDestruction() {
    Destroying();
    TearDown();
    TComponent::BeforeDestruction();
}

void TControl::TearDown() { LeaveForDestruction(); }

void TControl::LeaveForDestruction() {
    if (Application && Application->FMouseControl == this) Application->FMouseControl = nullptr;
    if (Application && Application->FHintControl == this) Application->CancelHint();
    CancelDragOf(this);
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation(L"A control cannot be its own parent");
    auto* self = dynamic_cast<TWinControl*>(this);
    if (self && parent && self->ContainsControl(parent))
        throw EInvalidOperation(L"A control cannot be put inside one of its children");
    if (self && self->FHandle) {
        if (!FParent) {
            // A window without a parent control (top-level, MDI child, message-only)
            // becomes a child: that takes a new window.
            self->DestroyHandle();
        } else if (FParent->FHandle && parent && parent->FHandle) {
            // Both parents have windows: the window moves (InsertControl) and keeps its
            // state and its children. RemoveControl sees the flag and clears it.
            FControlState |= csReparenting;
        }
    }
    if (FParent) FParent->RemoveControl(this);
    FControlState &= ~csReparenting;
    if (parent) parent->InsertControl(this);
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

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* a) {
    if (!a) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = CreateActionLink();
        FActionLink->OnActionFreed = [this] { FActionLink.reset(); };
    }
    FActionLink->SetAction(a);
    ActionChange(a, (ComponentState() & csLoading) != 0);
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
    return std::make_unique<TControlActionLink>(this);
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
        if (DragMode == dmAutomatic && !DetectsDrags()) BeginDrag(false);
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
    // A control that takes no double clicks sees the second press of one as a press (and
    // so a click), as the system's own buttons do.
    if (!(FControlStyle & csDoubleClicks)) {
        m.Msg = WM_LBUTTONDOWN;
        WMMouseDown(m, mbLeft);
        return;
    }
    if (dynamic_cast<TWinControl*>(this)) DefaultHandler(m);
    DblClick();
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

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage&) {
    if (FParentFont && FParent) {
        FSyncingFont = true;
        auto done = ScopeExit([this] { FSyncingFont = false; });
        FFont->Assign(FParent->Font());
    }
}

void TControl::CMParentColorChanged(TMessage& m) {
    if (FParentColor && FParent) {
        // WParam 1: the parent hands its colour over in LParam (a themed parent's effective
        // colour, which differs from its Color).
        FColor = m.WParam ? static_cast<TColor>(m.LParam) : FParent->Color();
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

}  // namespace classlib
