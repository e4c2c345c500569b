#include "classlib/actions.h"

#include "classlib/control.h"
#include "classlib/menus.h"
#include "classlib/scopeguard.h"

#include <algorithm>

namespace classlib {

// --- TBasicAction ------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() {
    // One link at a time: a client may drop other links while it hears of the end.
    while (!FClients.empty()) {
        TActionLink* link = FClients.back();
        FClients.pop_back();
        link->ActionDestroyed();
    }
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterChanges(TActionLink* l) {
    if (std::find(FClients.begin(), FClients.end(), l) == FClients.end()) FClients.push_back(l);
}

void TBasicAction::UnRegisterChanges(TActionLink* l) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), l), FClients.end());
}

// --- TContainedAction --------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* owner) : TBasicAction(owner) {
    if (auto* list = dynamic_cast<TActionList*>(owner)) SetActionList(list);
}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TActionList* list) {
    if (list == FActionList) return;
    if (FActionList) {
        auto& v = FActionList->FActions;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    FActionList = list;
    if (list) list->FActions.push_back(this);
}

int TContainedAction::Index() const {
    if (!FActionList) return -1;
    auto& v = FActionList->FActions;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

bool TContainedAction::Execute() {
    if (FActionList && FActionList->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (FActionList && FActionList->UpdateAction(this)) return true;
    return TBasicAction::Update();
}

// --- TCustomAction -----------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* owner) : TContainedAction(owner) {}

void TCustomAction::SetCaption(const std::wstring& v) {
    if (v == FCaption) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetCaption(v);
    FCaption = v;
}

void TCustomAction::SetHint(const std::wstring& v) {
    if (v == FHint) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetHint(v);
    FHint = v;
}

bool TCustomAction::DoHint(std::wstring& hint) {
    bool canShow = true;
    if (OnHint) OnHint(hint, canShow);
    return canShow;
}

void TCustomAction::SetEnabled(bool v) {
    if (v == FEnabled) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetEnabled(v);
    FEnabled = v;
}

void TCustomAction::SetChecked(bool v) {
    if (v == FChecked) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetChecked(v);
    FChecked = v;
    // Actions of one group behave like radio items.
    if (v && GroupIndex > 0 && ActionList()) {
        for (int i = 0; i < ActionList()->ActionCount(); ++i) {
            auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
            if (a && a != this && a->GroupIndex == GroupIndex) a->SetChecked(false);
        }
    }
}

void TCustomAction::SetVisible(bool v) {
    if (v == FVisible) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetVisible(v);
    FVisible = v;
}

void TCustomAction::SetShortCut(TShortCut v) {
    if (v == FShortCut) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetShortCut(v);
    FShortCut = v;
}

void TCustomAction::SetImageIndex(int v) {
    if (v == FImageIndex) return;
    for (TActionLink* l : std::vector<TActionLink*>(FClients)) l->SetImageIndex(v);
    FImageIndex = v;
}

void TCustomAction::SetHelpContext(int v) { FHelpContext = v; }

void TCustomAction::Assign(const TCustomAction& s) {
    SetCaption(s.FCaption);
    SetHint(s.FHint);
    SetEnabled(s.FEnabled);
    SetChecked(s.FChecked);
    SetVisible(s.FVisible);
    SetShortCut(s.FShortCut);
    SecondaryShortCuts = s.SecondaryShortCuts;
    SetImageIndex(s.FImageIndex);
    SetHelpContext(s.FHelpContext);
    Category = s.Category;
    GroupIndex = s.GroupIndex;
    AutoCheck = s.AutoCheck;
    OnExecute = s.OnExecute;
    OnUpdate = s.OnUpdate;
}

bool TCustomAction::Execute() {
    Update();
    if (!FEnabled) return false;
    if (AutoCheck) SetChecked(!FChecked);
    return TContainedAction::Execute();
}

bool TCustomAction::Update() { return TContainedAction::Update(); }

bool TCustomAction::HandleShortCut() {
    Update();
    if (!FEnabled || !FVisible) return false;
    return Execute();
}

// --- TActionList -------------------------------------------------------------------------

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList() {
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->SetActionList(nullptr);
}

bool TActionList::IsShortCut(TShortCut sc) {
    if (!Enabled || sc == 0) return false;
    for (TContainedAction* c : std::vector<TContainedAction*>(FActions)) {
        auto* a = dynamic_cast<TCustomAction*>(c);
        if (!a) continue;
        bool match = a->ShortCut() == sc ||
                     std::find(a->SecondaryShortCuts.begin(), a->SecondaryShortCuts.end(), sc) !=
                         a->SecondaryShortCuts.end();
        if (!match) continue;
        // The key belongs to the first matching action that can run now.
        if (a->HandleShortCut()) return true;
    }
    return false;
}

bool TActionList::IsShortCut(WORD key, TShiftState shift) { return IsShortCut(ShortCut(key, shift)); }

bool TActionList::UpdateAction(TBasicAction* a) {
    bool handled = false;
    if (OnUpdate) OnUpdate(a, handled);
    return handled;
}

bool TActionList::ExecuteAction(TBasicAction* a) {
    bool handled = false;
    if (OnExecute) OnExecute(a, handled);
    return handled;
}

void TActionList::UpdateActions() {
    if (!Enabled) return;
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->Update();
}

// --- TActionLink -------------------------------------------------------------------------

TActionLink::~TActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TActionLink::ActionDestroyed() {
    FAction = nullptr;
    if (OnActionFreed) {
        // A copy: the handler may destroy this link.
        std::function<void()> handler = OnActionFreed;
        handler();
    }
}

void TActionLink::SetAction(TBasicAction* a) {
    if (a == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    FAction = a;
    if (a) a->RegisterChanges(this);
}

bool TActionLink::Execute(TComponent* component) {
    if (!FAction) return false;
    FAction->ActionComponent = component;
    // The action may go away while it runs (it then clears FAction).
    auto done = ScopeExit([this] {
        if (FAction) FAction->ActionComponent = nullptr;
    });
    return FAction->Execute();
}

bool TActionLink::Update() { return FAction && FAction->Update(); }

// --- TControlActionLink ------------------------------------------------------------------

bool TControlActionLink::IsCaptionLinked() {
    auto* a = dynamic_cast<TCustomAction*>(FAction);
    return a && FClient->GetText() == a->Caption();
}
bool TControlActionLink::IsHintLinked() {
    auto* a = dynamic_cast<TCustomAction*>(FAction);
    return a && FClient->Hint() == a->Hint();
}
bool TControlActionLink::IsEnabledLinked() {
    auto* a = dynamic_cast<TCustomAction*>(FAction);
    return a && FClient->Enabled() == a->Enabled();
}
bool TControlActionLink::IsVisibleLinked() {
    auto* a = dynamic_cast<TCustomAction*>(FAction);
    return a && FClient->Visible() == a->Visible();
}
void TControlActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) FClient->SetText(v);
}
void TControlActionLink::SetHint(const std::wstring& v) {
    if (IsHintLinked()) FClient->SetHint(v);
}
void TControlActionLink::SetEnabled(bool v) {
    if (IsEnabledLinked()) FClient->SetEnabled(v);
}
void TControlActionLink::SetVisible(bool v) {
    if (IsVisibleLinked()) FClient->SetVisible(v);
}

}  // namespace classlib
