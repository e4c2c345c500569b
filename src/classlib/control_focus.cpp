// Focus and tab order: the tab list of each parent, moving the focus, enter and exit.
#include "classlib/control_p.h"

#include "classlib/form.h"

#include <algorithm>

namespace classlib {

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

void TWinControl::WMSetFocus(TMessage& m) {
    DefaultHandler(m);
    if (TForm* f = GetParentForm(this)) f->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::CMEnabledChanged(TMessage& m) {
    if (!FEnabled && FHandle && GetFocus() == FHandle) {
        if (TForm* f = GetParentForm(this); f && f != this) f->SelectNext(this, true, true);
    }
    TControl::CMEnabledChanged(m);
}

}  // namespace classlib
