#include "controls/toolbar/tbitem.h"

#include "classlib/application.h"
#include "classlib/menus.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbviewer.h"
#include "controls/wide/widemenus.h"

#include <mmsystem.h>

#include <algorithm>

namespace toolbar {

using namespace wide;

using namespace classlib;

const wchar_t* const STBToolbarIndexOutOfBounds = L"Toolbar item index out of range";
const wchar_t* const STBToolbarItemReinserted = L"Toolbar item already inserted";
const wchar_t* const STBViewerNotFound = L"An item viewer associated the specified item could not be found";

// --- deferred clicks ---------------------------------------------------------------------

void QueueDeferredClick(TBarClickQueueClient* object, WPARAM argument) {
    if (!object || !Application) return;
    Application->QueueCall([object, argument] { object->DeferredClick(argument); }, object);
}

void QueueItemClick(TBarCustomItem* item) { QueueDeferredClick(item, 0); }

void ForgetQueuedObject(TBarClickQueueClient* object) {
    if (Application) Application->CancelQueuedCalls(object);
}

// --- action link -------------------------------------------------------------------------

TBarCustomItemActionLink::TBarCustomItemActionLink(TBarCustomItem* client) : FClient(client) {}

TCustomAction* TBarCustomItemActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TBarCustomItemActionLink::IsCaptionLinked() {
    auto* a = CustomAction();
    return a && FClient->Caption() == a->Caption();
}
bool TBarCustomItemActionLink::IsCheckedLinked() {
    auto* a = CustomAction();
    return a && FClient->Checked() == a->Checked();
}
bool TBarCustomItemActionLink::IsEnabledLinked() {
    auto* a = CustomAction();
    return a && FClient->Enabled() == a->Enabled();
}
bool TBarCustomItemActionLink::IsHelpContextLinked() {
    auto* a = CustomAction();
    return a && FClient->HelpContext() == a->HelpContext();
}
bool TBarCustomItemActionLink::IsHintLinked() {
    auto* a = CustomAction();
    return a && FClient->Hint() == a->Hint();
}
bool TBarCustomItemActionLink::IsImageIndexLinked() {
    auto* a = CustomAction();
    return a && FClient->ImageIndex() == a->ImageIndex();
}
bool TBarCustomItemActionLink::IsShortCutLinked() {
    auto* a = CustomAction();
    return a && FClient->ShortCut() == a->ShortCut();
}
bool TBarCustomItemActionLink::IsVisibleLinked() {
    auto* a = CustomAction();
    return a && FClient->Visible() == a->Visible();
}
bool TBarCustomItemActionLink::IsAutoCheckLinked() {
    auto* a = CustomAction();
    return a && FClient->AutoCheck() == a->AutoCheck;
}
bool TBarCustomItemActionLink::IsOnExecuteLinked() {
    // Handlers cannot be compared: the item remembers whether its OnClick is the copy it
    // took from the action (SetOnClick forgets that).
    if (!FAction) return false;
    if (!FAction->OnExecute && !FClient->OnClick) return true;
    return FClient->FOnClickFromAction;
}

void TBarCustomItemActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) FClient->SetCaption(v);
}
void TBarCustomItemActionLink::SetChecked(bool v) {
    if (IsCheckedLinked()) FClient->SetChecked(v);
}
void TBarCustomItemActionLink::SetEnabled(bool v) {
    if (IsEnabledLinked()) FClient->SetEnabled(v);
}
void TBarCustomItemActionLink::SetHint(const std::wstring& v) {
    if (IsHintLinked()) FClient->FHint = v;
}
void TBarCustomItemActionLink::SetImageIndex(int v) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(v);
}
void TBarCustomItemActionLink::SetShortCut(TShortCut v) {
    if (IsShortCutLinked()) FClient->FShortCut = v;
}
void TBarCustomItemActionLink::SetVisible(bool v) {
    if (IsVisibleLinked()) FClient->SetVisible(v);
}
void TBarCustomItemActionLink::SetAutoCheck(bool v) {
    if (IsAutoCheckLinked()) FClient->FAutoCheck = v;
}
void TBarCustomItemActionLink::SetHelpContext(int v) {
    if (IsHelpContextLinked()) FClient->FHelpContext = v;
}
void TBarCustomItemActionLink::SetOnExecute(const TNotifyEvent& v) {
    if (IsOnExecuteLinked()) {
        FClient->OnClick = v;
        FClient->FOnClickFromAction = static_cast<bool>(v);
    }
}

// --- TBarCustomItem -----------------------------------------------------------------------

TBarCustomItem::TBarCustomItem(TComponent* owner) : TComponent(owner) {}

TBarCustomItem::~TBarCustomItem() {
    Destroying();
    ForgetQueuedObject(this);
    while (!FItems.empty()) delete FItems.back();
    if (FParent) FParent->Remove(this);
    if (FLinkSubitems) FLinkSubitems->RemoveLinkParent(this);
    FLinkSubitems = nullptr;
    // Items that showed these sub-items lose the link.
    for (TBarCustomItem* p : std::vector<TBarCustomItem*>(FLinkParents))
        if (p->FLinkSubitems == this) p->SetLinkSubitems(nullptr);
    FActionLink.reset();
    FImagesChangeLink.reset();
    FSubMenuImagesChangeLink.reset();
}

TBarCustomItem* TBarCustomItem::GetItem(int index) const {
    if (index < 0 || index >= Count()) throw ETBItemError(STBToolbarIndexOutOfBounds);
    return FItems[static_cast<size_t>(index)];
}

void TBarCustomItem::Insert(int index, TBarCustomItem* item) {
    if (!item) return;
    if (item->FParent) throw ETBItemError(STBToolbarItemReinserted);
    // An item cannot become a sub-item of itself or of one of its own sub-items.
    for (TBarCustomItem* p = this; p; p = p->FParent)
        if (p == item) throw ETBItemError(STBToolbarItemReinserted);
    if (index < 0 || index > Count()) throw ETBItemError(STBToolbarIndexOutOfBounds);
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    SubitemsBeginUpdate();
    {
        auto endUpdate = ScopeExit([&] { SubitemsEndUpdate(); });
        NotifySelf(tbicInserted, index, item);
    }
    item->RecalcEffectiveOptions();
}

void TBarCustomItem::Delete(int index) {
    TBarCustomItem* item = GetItem(index);
    NotifySelf(tbicDeleting, index, item);
    // A listener may have rearranged the list; remove the item wherever it now is.
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it != FItems.end()) FItems.erase(it);
    item->FParent = nullptr;
}

int TBarCustomItem::IndexOf(const TBarCustomItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TBarCustomItem::Remove(TBarCustomItem* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
}

void TBarCustomItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

void TBarCustomItem::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    if (newIndex < 0 || newIndex >= Count()) throw ETBItemError(STBToolbarIndexOutOfBounds);
    TBarCustomItem* item = GetItem(curIndex);
    SubitemsBeginUpdate();
    auto endUpdate = ScopeExit([&] { SubitemsEndUpdate(); });
    Delete(curIndex);
    Insert(newIndex, item);
}

void TBarCustomItem::AddChangeListener(TBarItemChangeListener* listener) {
    if (!listener) return;
    for (auto& e : FListeners)
        if (e.Listener == listener) {
            ++e.RefCount;
            return;
        }
    FListeners.push_back({listener, 1});
}

void TBarCustomItem::RemoveChangeListener(TBarItemChangeListener* listener) {
    for (size_t i = 0; i < FListeners.size(); ++i)
        if (FListeners[i].Listener == listener) {
            if (--FListeners[i].RefCount <= 0) FListeners.erase(FListeners.begin() + static_cast<long>(i));
            return;
        }
}

void TBarCustomItem::Notify(TBarCustomItem* ancestor, int relayDepth, TBarItemChangedAction action, int index,
                           TBarCustomItem* item) {
    if ((FItemStyle & tbstEmbeddedGroup) && FParent && relayDepth <= 10)
        FParent->Notify(ancestor, relayDepth + 1, action, index, item);
    for (TBarCustomItem* lp : std::vector<TBarCustomItem*>(FLinkParents)) {
        if (lp == FParent) continue;
        if ((lp->FItemStyle & tbstEmbeddedGroup) && lp->FParent && relayDepth <= 10)
            lp->FParent->Notify(ancestor == this ? lp : ancestor, relayDepth + 1, action, index, item);
    }
    const bool relayed = ancestor != this;
    size_t i = 0;
    while (i < FListeners.size()) {
        TBarItemChangeListener* l = FListeners[i].Listener;
        l->ItemChanged(ancestor, relayed, action, index, item);
        if (i >= FListeners.size()) break;
        // A listener that removed itself leaves its successor at this position.
        if (FListeners[i].Listener == l) ++i;
    }
}

void TBarCustomItem::Change(bool needResize) {
    if (FParent) FParent->NotifySelf(needResize ? tbicInvalidateAndResize : tbicInvalidate, -1, this);
}

void TBarCustomItem::SetCaption(const std::wstring& value) {
    if (value == FCaption) return;
    FCaption = value;
    Change(true);
}

void TBarCustomItem::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    Change(false);
    if (value) ApplyGroupRule();
}

void TBarCustomItem::ApplyGroupRule() {
    if (!FParent || FGroupIndex == 0) return;
    for (TBarCustomItem* sib : std::vector<TBarCustomItem*>(FParent->FItems))
        if (sib != this && sib->FGroupIndex == FGroupIndex) sib->SetChecked(false);
}

void TBarCustomItem::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    if (FChecked) ApplyGroupRule();
}

void TBarCustomItem::SetDisplayMode(TBarItemDisplayMode value) {
    if (value == FDisplayMode) return;
    FDisplayMode = value;
    Change(true);
}

void TBarCustomItem::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    EnabledChanged();
}

void TBarCustomItem::EnabledChanged() { Change(false); }

void TBarCustomItem::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    const bool resize = (FImageIndex == -1) != (value == -1);
    FImageIndex = value;
    Change(resize);
}

void TBarCustomItem::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Change(true);
}

void TBarCustomItem::SetRadioItem(bool value) {
    if (value == FRadioItem) return;
    FRadioItem = value;
    Change(false);
}

void TBarCustomItem::SetImages(TImageList* value) {
    if (value == FImages) return;
    TImageList* old = FImages;
    if (old && FImagesChangeLink) old->UnRegisterChanges(FImagesChangeLink.get());
    FImages = value;
    bool resize = false;
    if (value) {
        if (!FImagesChangeLink) {
            FImagesChangeLink = std::make_unique<TChangeLink>();
            FImagesChangeLink->OnChange = [this](TImageList* l) { ImageListChanged(l); };
        }
        value->RegisterChanges(FImagesChangeLink.get());
        resize = !old || old->Width() != value->Width() || old->Height() != value->Height();
    } else {
        resize = old != nullptr;
    }
    Change(resize);
}

void TBarCustomItem::SetSubMenuImages(TImageList* value) {
    if (value == FSubMenuImages) return;
    if (FSubMenuImages && FSubMenuImagesChangeLink) FSubMenuImages->UnRegisterChanges(FSubMenuImagesChangeLink.get());
    FSubMenuImages = value;
    if (value) {
        if (!FSubMenuImagesChangeLink) {
            FSubMenuImagesChangeLink = std::make_unique<TChangeLink>();
            FSubMenuImagesChangeLink->OnChange = [this](TImageList* l) { SubMenuImageListChanged(l); };
        }
        value->RegisterChanges(FSubMenuImagesChangeLink.get());
    }
    NotifySelf(tbicSubMenuImagesChanged, -1, nullptr);
}

void TBarCustomItem::ImagesFreed() {
    FImagesChangeLink.reset();
    Change(true);
}

void TBarCustomItem::SubMenuImagesFreed() {
    FSubMenuImagesChangeLink.reset();
    NotifySelf(tbicSubMenuImagesChanged, -1, nullptr);
}

void TBarCustomItem::ImageListChanged(TImageList* list) {
    if (list == FImages) Change(true);
}

void TBarCustomItem::SubMenuImageListChanged(TImageList* list) {
    if (list == FSubMenuImages) NotifySelf(tbicSubMenuImagesChanged, -1, nullptr);
}

void TBarCustomItem::RemoveLinkParent(TBarCustomItem* item) {
    FLinkParents.erase(std::remove(FLinkParents.begin(), FLinkParents.end(), item), FLinkParents.end());
}

void TBarCustomItem::SetLinkSubitems(TBarCustomItem* value) {
    if (value == this) value = nullptr;
    if (value == FLinkSubitems) return;
    if (FLinkSubitems) FLinkSubitems->RemoveLinkParent(this);
    FLinkSubitems = value;
    if (value) {
        if (std::find(value->FLinkParents.begin(), value->FLinkParents.end(), this) == value->FLinkParents.end())
            value->FLinkParents.push_back(this);
    }
    NotifySelf(tbicSubitemsChanged, -1, nullptr);
}

static TBarItemOptions NormalizeOptions(TBarItemOptions v) {
    if (!(v & tboToolbarStyle)) v &= static_cast<TBarItemOptions>(~tboToolbarSize);
    return v;
}

void TBarCustomItem::SetOptions(TBarItemOptions value) {
    value = NormalizeOptions(value);
    if (value == FOptions) return;
    FOptions = value;
    RecalcEffectiveOptions();
}

void TBarCustomItem::SetMaskOptions(TBarItemOptions value) {
    if (value == FMaskOptions) return;
    FMaskOptions = value;
    RecalcEffectiveOptions();
}

void TBarCustomItem::SetInheritOptions(bool value) {
    if (value == FInheritOptions) return;
    FInheritOptions = value;
    RecalcEffectiveOptions();
}

void TBarCustomItem::RecalcEffectiveOptions() {
    TBarItemOptions inherited = 0;
    if (FInheritOptions && FParent) inherited = FParent->FEffectiveOptions & static_cast<TBarItemOptions>(~tboDefault);
    TBarItemOptions n = NormalizeOptions(static_cast<TBarItemOptions>((inherited & ~FMaskOptions) | FOptions));
    if (n == FEffectiveOptions) return;
    const TBarItemOptions diff = n ^ FEffectiveOptions;
    FEffectiveOptions = n;
    if (diff & tboResizeMask) Change(true);
    for (TBarCustomItem* child : std::vector<TBarCustomItem*>(FItems))
        if (child->FInheritOptions) child->RecalcEffectiveOptions();
}

// --- actions -----------------------------------------------------------------------------

TBasicAction* TBarCustomItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

std::unique_ptr<TBarCustomItemActionLink> TBarCustomItem::CreateActionLink() {
    return std::make_unique<TBarCustomItemActionLink>(this);
}

bool TBarCustomItem::IsLoadingOrActionLoading() const {
    if (ComponentState() & csLoading) return true;
    TBasicAction* a = Action();
    return a && (a->ComponentState() & csLoading);
}

void TBarCustomItem::SetAction(TBasicAction* value) {
    if (!value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = CreateActionLink();
        FActionLink->OnActionFreed = [this] { FActionLink.reset(); };
    }
    FActionLink->SetAction(value);
    ActionChange(value, IsLoadingOrActionLoading());
}

void TBarCustomItem::ActionLinkChanged(TBasicAction* sender) {
    if (sender == Action()) ActionChange(sender, false);
}

void TBarCustomItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (!a) return;
    if (!checkDefaults || !FAutoCheck) FAutoCheck = a->AutoCheck;
    if (!checkDefaults || FCaption.empty()) SetCaption(a->Caption());
    if (!checkDefaults || !FChecked) SetChecked(a->Checked());
    if (!checkDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!checkDefaults || FHelpContext == 0) FHelpContext = a->HelpContext();
    if (!checkDefaults || FHint.empty()) FHint = a->Hint();
    if (!checkDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
    if (!checkDefaults || FShortCut == 0) FShortCut = a->ShortCut();
    if (!checkDefaults || FVisible) SetVisible(a->Visible());
    if (!checkDefaults || !OnClick) {
        OnClick = a->OnExecute;
        FOnClickFromAction = static_cast<bool>(a->OnExecute);
    }
}

void TBarCustomItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TBarCustomItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck && !(FActionLink && FActionLink->IsAutoCheckLinked())) SetChecked(!FChecked);
    TBasicAction* a = Action();
    if (a && (!OnClick || FOnClickFromAction)) {
        FActionLink->Execute(this);
    } else if (OnClick) {
        OnClick(this);
    }
}

void TBarCustomItem::DoPopup(TBarCustomItem* sender, bool fromLink) {
    if (OnPopup) OnPopup(sender, fromLink);
    if (!(FItemStyle & tbstSplitButton)) Click();
}

void TBarCustomItem::DeferredClick(WPARAM) { Click(); }

TBarItemViewerClass TBarCustomItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TBarItemViewer>; }

std::wstring TBarCustomItem::GetShortCutText() const {
    size_t tab = FCaption.find(L'\t');
    if (tab != std::wstring::npos && tab + 1 < FCaption.size()) return FCaption.substr(tab + 1);
    if (FShortCut == 0) return std::wstring();
    return wide::WideShortCutToText(FShortCut);
}

// --- shortcuts ---------------------------------------------------------------------------

namespace {

TBarCustomItem* FindShortCutIn(TBarCustomItem* parent, TShortCut sc, int hops) {
    TBarCustomItem* src = parent;
    if (parent->LinkSubitems()) {
        if (++hops > 25) return nullptr;
        src = parent->LinkSubitems();
    }
    for (int i = 0; i < src->Count(); ++i) {
        TBarCustomItem* it = src->GetItem(i);
        if (it->ShortCut() == sc) return it;
        if (TBarCustomItem* r = FindShortCutIn(it, sc, hops)) return r;
    }
    return nullptr;
}

}  // namespace

TBarCustomItem* TBarCustomItem::FindShortCutItem(TShortCut sc, TBarCustomItem*& topItem) {
    topItem = nullptr;
    if (sc == 0) return nullptr;
    TBarCustomItem* src = this;
    int hops = 0;
    if (FLinkSubitems) {
        ++hops;
        src = FLinkSubitems;
    }
    for (int i = 0; i < src->Count(); ++i) {
        TBarCustomItem* it = src->GetItem(i);
        if (it->ShortCut() == sc) return it;
        if (TBarCustomItem* r = FindShortCutIn(it, sc, hops)) {
            topItem = it;
            return r;
        }
    }
    return nullptr;
}

bool TBarCustomItem::ProcessShortCut(WORD key, LPARAM keyData) {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (keyData & 0x20000000) shift |= ssAlt;
    return ProcessShortCut(classlib::ShortCut(key, shift));
}

bool TBarCustomItem::ProcessShortCut(TShortCut sc) {
    // Each step opens the current menu level (its OnPopup may rebuild or disable items) and
    // searches again below it, until the hit is a direct sub-item. A hit that went away
    // while opening starts the walk again from here: a menu rebuilt on the way may have put
    // it somewhere else. Both the restarts and the depth of one walk are bounded, because
    // OnPopup handlers that keep moving the item, or links that show a menu inside itself,
    // would otherwise keep the walk going for ever.
    constexpr int MaxRestarts = 3;
    constexpr int MaxDepth = 32;  // beyond the 25 link hops one search follows
    for (int attempt = 0; attempt <= MaxRestarts; ++attempt) {
        TBarCustomItem* top = nullptr;
        if (!FindShortCutItem(sc, top)) return false;
        TBarCustomItem* current = this;
        bool restart = false;
        for (int depth = 0; depth < MaxDepth && !restart; ++depth) {
            if (!current->Enabled()) return false;
            TBarCustomItem* src = current->SubitemsSource();
            for (int i = 0; i < src->Count(); ++i) {
                TBarCustomItem* sub = src->GetItem(i);
                GuardedCall([sub] { sub->InitiateAction(); });
            }
            if (!(current->ItemStyle() & tbstEmbeddedGroup)) {
                if (TBarCustomItem* link = current->LinkSubitems()) GuardedCall([=] { link->DoPopup(current, true); });
                GuardedCall([=] { current->DoPopup(current, false); });
            }
            TBarCustomItem* deeper = nullptr;
            TBarCustomItem* hit = current->FindShortCutItem(sc, deeper);
            if (!hit) {
                restart = true;
            } else if (deeper) {
                current = deeper;
            } else {
                if (!hit->Enabled()) return false;
                GuardedCall([hit] { hit->Click(); });
                return true;
            }
        }
        if (!restart) return false;  // too deep: a menu shown inside itself
    }
    return false;
}

// --- component ---------------------------------------------------------------------------

void TBarCustomItem::Loaded() {
    TComponent::Loaded();
    if (TBasicAction* a = Action()) ActionChange(a, true);
}

void TBarCustomItem::SetName(const std::wstring& value) {
    TComponent::SetName(value);
    if (FParent) FParent->NotifySelf(tbicNameChanged, -1, this);
}

void TBarCustomItem::GetChildren(const std::function<void(TComponent*)>& proc) const {
    for (TBarCustomItem* it : std::vector<TBarCustomItem*>(FItems)) proc(it);
}

void TBarCustomItem::SetChildOrder(TComponent* child, int order) {
    auto* item = dynamic_cast<TBarCustomItem*>(child);
    int i = IndexOf(item);
    if (i >= 0 && order >= 0 && order < Count()) Move(i, order);
}

TComponent* TBarCustomItem::GetParentComponent() const {
    if (FParent && FParent->FParentComponent) return FParent->FParentComponent;
    return FParent;
}

void TBarCustomItem::SetParentComponent(TComponent* value) {
    if (FParent) FParent->Remove(this);
    if (auto* item = dynamic_cast<TBarCustomItem*>(value)) {
        item->Add(this);
    } else if (auto* container = dynamic_cast<ItemContainerInterface*>(value)) {
        if (TBarCustomItem* root = container->GetItems()) root->Add(this);
    }
}

// --- separator and control items ---------------------------------------------------------

TBarSeparatorItem::TBarSeparatorItem(TComponent* owner) : TBarCustomItem(owner) {
    FItemStyle = static_cast<TBarItemStyle>((FItemStyle & ~tbstDefaultStyle) | tbstSeparator | tbstClicksTransparent);
}

TBarItemViewerClass TBarSeparatorItem::GetItemViewerClass(TBarView*) {
    return NewItemViewer<TBarSeparatorItemViewer>;
}

void TBarSeparatorItem::SetBlank(bool value) {
    if (value == FBlank) return;
    FBlank = value;
    Change(false);
}

TBarControlItem::TBarControlItem(TComponent* owner) : TBarCustomItem(owner) {
    FItemStyle = static_cast<TBarItemStyle>((FItemStyle & ~tbstSelectable) | tbstClicksTransparent);
}

TBarControlItem::TBarControlItem(TComponent* owner, TControl* control) : TBarControlItem(owner) {
    FControl = control;
}

TBarControlItem::~TBarControlItem() {
    TControl* c = FControl;
    FControl = nullptr;
    if (c && !DontFreeControl) delete c;
}

void TBarControlItem::SetControl(TControl* value) {
    if (value == FControl) return;
    FControl = value;
    Change(true);
}

// --- done actions ------------------------------------------------------------------------

TBarCustomItem* ExecuteDoneAction(const TBarDoneActionData& data, bool returnClickedItemOnly) {
    switch (data.DoneAction) {
    case tbdaClickItem:
        if (data.Sound && SoundSchemeHasSound(L"MenuCommand"))
            PlaySoundW(L"MenuCommand", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
        if (!returnClickedItemOnly) QueueItemClick(data.ClickItem);
        return data.ClickItem;
    case tbdaOpenSystemMenu:
        SendMessageW(data.Wnd, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(data.Key));
        return nullptr;
    case tbdaHelpContext:
        // The program's help is HTML Help, reached through the application (or none).
        if (Application) Application->HelpContext(data.ContextID);
        return nullptr;
    default:
        return nullptr;
    }
}

}  // namespace toolbar
