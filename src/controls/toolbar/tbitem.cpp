#include "controls/toolbar/tbitem.h"

#include "classlib/application.h"
#include "classlib/menus.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/wide/widemenus.h"

#include <mmsystem.h>

#include <algorithm>

using namespace classlib;

const wchar_t* const STBToolbarIndexOutOfBounds = L"Toolbar item index out of range";
const wchar_t* const STBToolbarItemReinserted = L"Toolbar item already inserted";
const wchar_t* const STBViewerNotFound = L"An item viewer associated the specified item could not be found";

// --- deferred clicks ---------------------------------------------------------------------

namespace {

// Entries of the click list: null is a free slot, DeadObject a queued click whose object
// was freed (its slot stays taken until the posted message arrives, so the index in the
// message never reaches a newer object).
TTBClickQueueClient* const DeadObject = reinterpret_cast<TTBClickQueueClient*>(1);

struct ClickQueue {
    HWND Wnd = nullptr;
    std::vector<TTBClickQueueClient*> List;
    int RefCount = 0;
};

thread_local ClickQueue Queue;

LRESULT CALLBACK ClickQueueWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != TBM_DEFERREDCLICK) return DefWindowProcW(wnd, msg, wParam, lParam);
    auto& list = Queue.List;
    if (lParam < 0 || static_cast<size_t>(lParam) >= list.size()) return 0;
    TTBClickQueueClient* obj = list[static_cast<size_t>(lParam)];
    list[static_cast<size_t>(lParam)] = nullptr;
    while (!list.empty() && list.back() == nullptr) list.pop_back();
    if (obj == nullptr || obj == DeadObject) return 0;
    try {
        obj->DeferredClick(wParam);
    } catch (...) {
        HandleCurrentException(nullptr);
    }
    return 0;
}

const wchar_t* const ClickQueueClassName = L"TTBClickQueueWindow";

HWND EnsureClickQueueWindow() {
    if (Queue.Wnd) return Queue.Wnd;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(inst, ClickQueueClassName, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ClickQueueWindowProc;
        wc.hInstance = inst;
        wc.lpszClassName = ClickQueueClassName;
        RegisterClassExW(&wc);
    }
    Queue.Wnd = CreateWindowExW(0, ClickQueueClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
    return Queue.Wnd;
}

void FreeClickQueue() {
    if (Queue.Wnd) DestroyWindow(Queue.Wnd);
    Queue.Wnd = nullptr;
    Queue.List.clear();
}

}  // namespace

void AddClickQueueRef() { ++Queue.RefCount; }

void ReleaseClickQueueRef() {
    if (--Queue.RefCount <= 0) {
        Queue.RefCount = 0;
        FreeClickQueue();
    }
}

HWND ClickQueueWindow() { return Queue.Wnd; }

void QueueDeferredClick(TTBClickQueueClient* object, WPARAM argument) {
    HWND wnd = EnsureClickQueueWindow();
    if (!wnd || !object) return;
    auto& list = Queue.List;
    auto it = std::find(list.begin(), list.end(), nullptr);
    size_t index;
    if (it != list.end()) {
        *it = object;
        index = static_cast<size_t>(it - list.begin());
    } else {
        list.push_back(object);
        index = list.size() - 1;
    }
    if (!PostMessageW(wnd, TBM_DEFERREDCLICK, argument, static_cast<LPARAM>(index))) list[index] = nullptr;
}

void QueueItemClick(TTBCustomItem* item) { QueueDeferredClick(item, 0); }

void ForgetQueuedObject(TTBClickQueueClient* object) {
    for (auto& e : Queue.List)
        if (e == object) e = DeadObject;
}

// --- action link -------------------------------------------------------------------------

TTBCustomItemActionLink::TTBCustomItemActionLink(TTBCustomItem* client) : FClient(client) {}

TCustomAction* TTBCustomItemActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TTBCustomItemActionLink::IsCaptionLinked() {
    auto* a = CustomAction();
    return a && FClient->Caption() == a->Caption();
}
bool TTBCustomItemActionLink::IsCheckedLinked() {
    auto* a = CustomAction();
    return a && FClient->Checked() == a->Checked();
}
bool TTBCustomItemActionLink::IsEnabledLinked() {
    auto* a = CustomAction();
    return a && FClient->Enabled() == a->Enabled();
}
bool TTBCustomItemActionLink::IsHelpContextLinked() {
    auto* a = CustomAction();
    return a && FClient->HelpContext() == a->HelpContext();
}
bool TTBCustomItemActionLink::IsHintLinked() {
    auto* a = CustomAction();
    return a && FClient->Hint() == a->Hint();
}
bool TTBCustomItemActionLink::IsImageIndexLinked() {
    auto* a = CustomAction();
    return a && FClient->ImageIndex() == a->ImageIndex();
}
bool TTBCustomItemActionLink::IsShortCutLinked() {
    auto* a = CustomAction();
    return a && FClient->ShortCut() == a->ShortCut();
}
bool TTBCustomItemActionLink::IsVisibleLinked() {
    auto* a = CustomAction();
    return a && FClient->Visible() == a->Visible();
}
bool TTBCustomItemActionLink::IsAutoCheckLinked() {
    auto* a = CustomAction();
    return a && FClient->AutoCheck() == a->AutoCheck;
}
bool TTBCustomItemActionLink::IsOnExecuteLinked() {
    // Handlers cannot be compared: the item remembers whether its OnClick is the copy it
    // took from the action (SetOnClick forgets that).
    if (!FAction) return false;
    if (!FAction->OnExecute && !FClient->OnClick) return true;
    return FClient->FOnClickFromAction;
}

void TTBCustomItemActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) FClient->SetCaption(v);
}
void TTBCustomItemActionLink::SetChecked(bool v) {
    if (IsCheckedLinked()) FClient->SetChecked(v);
}
void TTBCustomItemActionLink::SetEnabled(bool v) {
    if (IsEnabledLinked()) FClient->SetEnabled(v);
}
void TTBCustomItemActionLink::SetHint(const std::wstring& v) {
    if (IsHintLinked()) FClient->FHint = v;
}
void TTBCustomItemActionLink::SetImageIndex(int v) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(v);
}
void TTBCustomItemActionLink::SetShortCut(TShortCut v) {
    if (IsShortCutLinked()) FClient->FShortCut = v;
}
void TTBCustomItemActionLink::SetVisible(bool v) {
    if (IsVisibleLinked()) FClient->SetVisible(v);
}
void TTBCustomItemActionLink::SetAutoCheck(bool v) {
    if (IsAutoCheckLinked()) FClient->FAutoCheck = v;
}
void TTBCustomItemActionLink::SetHelpContext(int v) {
    if (IsHelpContextLinked()) FClient->FHelpContext = v;
}
void TTBCustomItemActionLink::SetOnExecute(const TNotifyEvent& v) {
    if (IsOnExecuteLinked()) {
        FClient->OnClick = v;
        FClient->FOnClickFromAction = static_cast<bool>(v);
    }
}

// --- TTBCustomItem -----------------------------------------------------------------------

TTBCustomItem::TTBCustomItem(TComponent* owner) : TComponent(owner) { AddClickQueueRef(); }

TTBCustomItem::~TTBCustomItem() {
    Destroying();
    ForgetQueuedObject(this);
    while (!FItems.empty()) delete FItems.back();
    if (FParent) FParent->Remove(this);
    if (FLinkSubitems) FLinkSubitems->RemoveLinkParent(this);
    FLinkSubitems = nullptr;
    // Items that showed these sub-items lose the link.
    for (TTBCustomItem* p : std::vector<TTBCustomItem*>(FLinkParents))
        if (p->FLinkSubitems == this) p->SetLinkSubitems(nullptr);
    FActionLink.reset();
    FImagesChangeLink.reset();
    FSubMenuImagesChangeLink.reset();
    ReleaseClickQueueRef();
}

TTBCustomItem* TTBCustomItem::GetItem(int index) const {
    if (index < 0 || index >= Count()) throw ETBItemError(STBToolbarIndexOutOfBounds);
    return FItems[static_cast<size_t>(index)];
}

void TTBCustomItem::Insert(int index, TTBCustomItem* item) {
    if (!item) return;
    if (item->FParent) throw ETBItemError(STBToolbarItemReinserted);
    // An item cannot become a sub-item of itself or of one of its own sub-items.
    for (TTBCustomItem* p = this; p; p = p->FParent)
        if (p == item) throw ETBItemError(STBToolbarItemReinserted);
    if (index < 0 || index > Count()) throw ETBItemError(STBToolbarIndexOutOfBounds);
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    SubitemsBeginUpdate();
    try {
        NotifySelf(tbicInserted, index, item);
    } catch (...) {
        SubitemsEndUpdate();
        throw;
    }
    SubitemsEndUpdate();
    item->RecalcEffectiveOptions();
}

void TTBCustomItem::Delete(int index) {
    TTBCustomItem* item = GetItem(index);
    NotifySelf(tbicDeleting, index, item);
    // A listener may have rearranged the list; remove the item wherever it now is.
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it != FItems.end()) FItems.erase(it);
    item->FParent = nullptr;
}

int TTBCustomItem::IndexOf(const TTBCustomItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TTBCustomItem::Remove(TTBCustomItem* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
}

void TTBCustomItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

void TTBCustomItem::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    if (newIndex < 0 || newIndex >= Count()) throw ETBItemError(STBToolbarIndexOutOfBounds);
    TTBCustomItem* item = GetItem(curIndex);
    SubitemsBeginUpdate();
    try {
        Delete(curIndex);
        Insert(newIndex, item);
    } catch (...) {
        SubitemsEndUpdate();
        throw;
    }
    SubitemsEndUpdate();
}

void TTBCustomItem::AddChangeListener(TTBItemChangeListener* listener) {
    if (!listener) return;
    for (auto& e : FListeners)
        if (e.Listener == listener) {
            ++e.RefCount;
            return;
        }
    FListeners.push_back({listener, 1});
}

void TTBCustomItem::RemoveChangeListener(TTBItemChangeListener* listener) {
    for (size_t i = 0; i < FListeners.size(); ++i)
        if (FListeners[i].Listener == listener) {
            if (--FListeners[i].RefCount <= 0) FListeners.erase(FListeners.begin() + static_cast<long>(i));
            return;
        }
}

void TTBCustomItem::Notify(TTBCustomItem* ancestor, int relayDepth, TTBItemChangedAction action, int index,
                           TTBCustomItem* item) {
    if ((FItemStyle & tbstEmbeddedGroup) && FParent && relayDepth <= 10)
        FParent->Notify(ancestor, relayDepth + 1, action, index, item);
    for (TTBCustomItem* lp : std::vector<TTBCustomItem*>(FLinkParents)) {
        if (lp == FParent) continue;
        if ((lp->FItemStyle & tbstEmbeddedGroup) && lp->FParent && relayDepth <= 10)
            lp->FParent->Notify(ancestor == this ? lp : ancestor, relayDepth + 1, action, index, item);
    }
    const bool relayed = ancestor != this;
    size_t i = 0;
    while (i < FListeners.size()) {
        TTBItemChangeListener* l = FListeners[i].Listener;
        l->ItemChanged(ancestor, relayed, action, index, item);
        if (i >= FListeners.size()) break;
        // A listener that removed itself leaves its successor at this position.
        if (FListeners[i].Listener == l) ++i;
    }
}

void TTBCustomItem::Change(bool needResize) {
    if (FParent) FParent->NotifySelf(needResize ? tbicInvalidateAndResize : tbicInvalidate, -1, this);
}

void TTBCustomItem::SetCaption(const std::wstring& value) {
    if (value == FCaption) return;
    FCaption = value;
    Change(true);
}

void TTBCustomItem::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    Change(false);
    if (value) ApplyGroupRule();
}

void TTBCustomItem::ApplyGroupRule() {
    if (!FParent || FGroupIndex == 0) return;
    for (TTBCustomItem* sib : std::vector<TTBCustomItem*>(FParent->FItems))
        if (sib != this && sib->FGroupIndex == FGroupIndex) sib->SetChecked(false);
}

void TTBCustomItem::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    if (FChecked) ApplyGroupRule();
}

void TTBCustomItem::SetDisplayMode(TTBItemDisplayMode value) {
    if (value == FDisplayMode) return;
    FDisplayMode = value;
    Change(true);
}

void TTBCustomItem::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    EnabledChanged();
}

void TTBCustomItem::EnabledChanged() { Change(false); }

void TTBCustomItem::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    const bool resize = (FImageIndex == -1) != (value == -1);
    FImageIndex = value;
    Change(resize);
}

void TTBCustomItem::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Change(true);
}

void TTBCustomItem::SetRadioItem(bool value) {
    if (value == FRadioItem) return;
    FRadioItem = value;
    Change(false);
}

void TTBCustomItem::SetImages(TImageList* value) {
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
        FreeNotification(value);
        resize = !old || old->Width() != value->Width() || old->Height() != value->Height();
    } else {
        resize = old != nullptr;
    }
    Change(resize);
}

void TTBCustomItem::SetSubMenuImages(TImageList* value) {
    if (value == FSubMenuImages) return;
    if (FSubMenuImages && FSubMenuImagesChangeLink) FSubMenuImages->UnRegisterChanges(FSubMenuImagesChangeLink.get());
    FSubMenuImages = value;
    if (value) {
        if (!FSubMenuImagesChangeLink) {
            FSubMenuImagesChangeLink = std::make_unique<TChangeLink>();
            FSubMenuImagesChangeLink->OnChange = [this](TImageList* l) { SubMenuImageListChanged(l); };
        }
        value->RegisterChanges(FSubMenuImagesChangeLink.get());
        FreeNotification(value);
    }
    NotifySelf(tbicSubMenuImagesChanged, -1, nullptr);
}

void TTBCustomItem::ImageListChanged(TImageList* list) {
    if (list == FImages) Change(true);
}

void TTBCustomItem::SubMenuImageListChanged(TImageList* list) {
    if (list == FSubMenuImages) NotifySelf(tbicSubMenuImagesChanged, -1, nullptr);
}

void TTBCustomItem::RemoveLinkParent(TTBCustomItem* item) {
    FLinkParents.erase(std::remove(FLinkParents.begin(), FLinkParents.end(), item), FLinkParents.end());
}

void TTBCustomItem::SetLinkSubitems(TTBCustomItem* value) {
    if (value == this) value = nullptr;
    if (value == FLinkSubitems) return;
    if (FLinkSubitems) FLinkSubitems->RemoveLinkParent(this);
    FLinkSubitems = value;
    if (value) {
        FreeNotification(value);
        if (std::find(value->FLinkParents.begin(), value->FLinkParents.end(), this) == value->FLinkParents.end())
            value->FLinkParents.push_back(this);
    }
    NotifySelf(tbicSubitemsChanged, -1, nullptr);
}

static TTBItemOptions NormalizeOptions(TTBItemOptions v) {
    if (!(v & tboToolbarStyle)) v &= static_cast<TTBItemOptions>(~tboToolbarSize);
    return v;
}

void TTBCustomItem::SetOptions(TTBItemOptions value) {
    value = NormalizeOptions(value);
    if (value == FOptions) return;
    FOptions = value;
    RecalcEffectiveOptions();
}

void TTBCustomItem::SetMaskOptions(TTBItemOptions value) {
    if (value == FMaskOptions) return;
    FMaskOptions = value;
    RecalcEffectiveOptions();
}

void TTBCustomItem::SetInheritOptions(bool value) {
    if (value == FInheritOptions) return;
    FInheritOptions = value;
    RecalcEffectiveOptions();
}

void TTBCustomItem::RecalcEffectiveOptions() {
    TTBItemOptions inherited = 0;
    if (FInheritOptions && FParent) inherited = FParent->FEffectiveOptions & static_cast<TTBItemOptions>(~tboDefault);
    TTBItemOptions n = NormalizeOptions(static_cast<TTBItemOptions>((inherited & ~FMaskOptions) | FOptions));
    if (n == FEffectiveOptions) return;
    const TTBItemOptions diff = n ^ FEffectiveOptions;
    FEffectiveOptions = n;
    if (diff & tboResizeMask) Change(true);
    for (TTBCustomItem* child : std::vector<TTBCustomItem*>(FItems))
        if (child->FInheritOptions) child->RecalcEffectiveOptions();
}

// --- actions -----------------------------------------------------------------------------

TBasicAction* TTBCustomItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

std::unique_ptr<TTBCustomItemActionLink> TTBCustomItem::CreateActionLink() {
    return std::make_unique<TTBCustomItemActionLink>(this);
}

bool TTBCustomItem::IsLoadingOrActionLoading() const {
    if (ComponentState() & csLoading) return true;
    TBasicAction* a = Action();
    return a && (a->ComponentState() & csLoading);
}

void TTBCustomItem::SetAction(TBasicAction* value) {
    if (!value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = CreateActionLink();
    FActionLink->SetAction(value);
    ActionChange(value, IsLoadingOrActionLoading());
    FreeNotification(value);
}

void TTBCustomItem::ActionLinkChanged(TBasicAction* sender) {
    if (sender == Action()) ActionChange(sender, false);
}

void TTBCustomItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
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

void TTBCustomItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TTBCustomItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck && !(FActionLink && FActionLink->IsAutoCheckLinked())) SetChecked(!FChecked);
    TBasicAction* a = Action();
    const bool designing = (ComponentState() & csDesigning) != 0;
    if (a && !designing && (!OnClick || FOnClickFromAction)) {
        FActionLink->Execute(this);
    } else if (OnClick) {
        OnClick(this);
    }
}

void TTBCustomItem::DoPopup(TTBCustomItem* sender, bool fromLink) {
    if (OnPopup) OnPopup(sender, fromLink);
    if (!(FItemStyle & tbstSplitButton)) Click();
}

void TTBCustomItem::DeferredClick(WPARAM) { Click(); }

std::wstring TTBCustomItem::GetShortCutText() const {
    size_t tab = FCaption.find(L'\t');
    if (tab != std::wstring::npos && tab + 1 < FCaption.size()) return FCaption.substr(tab + 1);
    if (FShortCut == 0) return std::wstring();
    return wide::WideShortCutToText(FShortCut);
}

// --- shortcuts ---------------------------------------------------------------------------

namespace {

TTBCustomItem* FindShortCutIn(TTBCustomItem* parent, TShortCut sc, int hops) {
    TTBCustomItem* src = parent;
    if (parent->LinkSubitems()) {
        if (++hops > 25) return nullptr;
        src = parent->LinkSubitems();
    }
    for (int i = 0; i < src->Count(); ++i) {
        TTBCustomItem* it = src->GetItem(i);
        if (it->ShortCut() == sc) return it;
        if (TTBCustomItem* r = FindShortCutIn(it, sc, hops)) return r;
    }
    return nullptr;
}

void Guarded(const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        HandleCurrentException(nullptr);
    }
}

}  // namespace

TTBCustomItem* TTBCustomItem::FindShortCutItem(TShortCut sc, TTBCustomItem*& topItem) {
    topItem = nullptr;
    if (sc == 0) return nullptr;
    TTBCustomItem* src = this;
    int hops = 0;
    if (FLinkSubitems) {
        ++hops;
        src = FLinkSubitems;
    }
    for (int i = 0; i < src->Count(); ++i) {
        TTBCustomItem* it = src->GetItem(i);
        if (it->ShortCut() == sc) return it;
        if (TTBCustomItem* r = FindShortCutIn(it, sc, hops)) {
            topItem = it;
            return r;
        }
    }
    return nullptr;
}

bool TTBCustomItem::ProcessShortCut(WORD key, LPARAM keyData) {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (keyData & 0x20000000) shift |= ssAlt;
    return ProcessShortCut(classlib::ShortCut(key, shift));
}

bool TTBCustomItem::ProcessShortCut(TShortCut sc) {
    TTBCustomItem* top = nullptr;
    if (!FindShortCutItem(sc, top)) return false;
    const bool designing = (ComponentState() & csDesigning) != 0;
    // Each step opens the current menu level (its OnPopup may rebuild or disable items)
    // and searches again below it, until the hit is a direct sub-item. A hit that went
    // away while opening ends the search: walking again could only loop.
    TTBCustomItem* current = this;
    for (;;) {
        if (!current->Enabled()) return false;
        if (!designing) {
            TTBCustomItem* src = current->SubitemsSource();
            for (int i = 0; i < src->Count(); ++i) {
                TTBCustomItem* sub = src->GetItem(i);
                Guarded([sub] { sub->InitiateAction(); });
            }
        }
        if (!(current->ItemStyle() & tbstEmbeddedGroup)) {
            if (TTBCustomItem* link = current->LinkSubitems()) Guarded([=] { link->DoPopup(current, true); });
            Guarded([=] { current->DoPopup(current, false); });
        }
        TTBCustomItem* deeper = nullptr;
        TTBCustomItem* hit = current->FindShortCutItem(sc, deeper);
        if (!hit) return false;
        if (deeper) {
            current = deeper;
            continue;
        }
        if (!hit->Enabled()) return false;
        Guarded([hit] { hit->Click(); });
        return true;
    }
}

// --- component ---------------------------------------------------------------------------

void TTBCustomItem::Loaded() {
    TComponent::Loaded();
    if (TBasicAction* a = Action()) ActionChange(a, true);
}

void TTBCustomItem::SetName(const std::wstring& value) {
    TComponent::SetName(value);
    if (FParent) FParent->NotifySelf(tbicNameChanged, -1, this);
}

void TTBCustomItem::GetChildren(const std::function<void(TComponent*)>& proc) const {
    for (TTBCustomItem* it : std::vector<TTBCustomItem*>(FItems)) proc(it);
}

void TTBCustomItem::SetChildOrder(TComponent* child, int order) {
    auto* item = dynamic_cast<TTBCustomItem*>(child);
    int i = IndexOf(item);
    if (i >= 0 && order >= 0 && order < Count()) Move(i, order);
}

TComponent* TTBCustomItem::GetParentComponent() const {
    if (FParent && FParent->FParentComponent) return FParent->FParentComponent;
    return FParent;
}

void TTBCustomItem::SetParentComponent(TComponent* value) {
    if (FParent) FParent->Remove(this);
    if (auto* item = dynamic_cast<TTBCustomItem*>(value)) {
        item->Add(this);
    } else if (auto* container = dynamic_cast<ItemContainerInterface*>(value)) {
        if (TTBCustomItem* root = container->GetItems()) root->Add(this);
    }
}

void TTBCustomItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    for (auto it = FLinkParents.begin(); it != FLinkParents.end();)
        it = (static_cast<TComponent*>(*it) == component) ? FLinkParents.erase(it) : it + 1;
    // The action tells its links of its end before this notification arrives, so a link
    // left without an action is the sign as well.
    if (FActionLink && (component == FActionLink->Action() || !FActionLink->Action())) FActionLink.reset();
    if (component == FImages) {
        if (FImagesChangeLink) FImagesChangeLink.reset();
        FImages = nullptr;
        Change(true);
    }
    if (component == FSubMenuImages) {
        if (FSubMenuImagesChangeLink) FSubMenuImagesChangeLink.reset();
        FSubMenuImages = nullptr;
        NotifySelf(tbicSubMenuImagesChanged, -1, nullptr);
    }
    if (static_cast<TComponent*>(FLinkSubitems) == component) {
        FLinkSubitems = nullptr;
        NotifySelf(tbicSubitemsChanged, -1, nullptr);
    }
}

// --- separator and control items ---------------------------------------------------------

TTBSeparatorItem::TTBSeparatorItem(TComponent* owner) : TTBCustomItem(owner) {
    FItemStyle = static_cast<TTBItemStyle>((FItemStyle & ~tbstDefaultStyle) | tbstSeparator | tbstClicksTransparent);
}

void TTBSeparatorItem::SetBlank(bool value) {
    if (value == FBlank) return;
    FBlank = value;
    Change(false);
}

TTBControlItem::TTBControlItem(TComponent* owner) : TTBCustomItem(owner) {
    FItemStyle = static_cast<TTBItemStyle>((FItemStyle & ~tbstSelectable) | tbstClicksTransparent);
}

TTBControlItem::TTBControlItem(TComponent* owner, TControl* control) : TTBControlItem(owner) {
    FControl = control;
    if (control) FreeNotification(control);
}

TTBControlItem::~TTBControlItem() {
    TControl* c = FControl;
    FControl = nullptr;
    if (c && !DontFreeControl) {
        RemoveFreeNotification(c);
        delete c;
    }
}

void TTBControlItem::SetControl(TControl* value) {
    if (value == FControl) return;
    FControl = value;
    if (value) FreeNotification(value);
    Change(true);
}

void TTBControlItem::Notification(TComponent* component, TOperation operation) {
    TTBCustomItem::Notification(component, operation);
    if (operation == opRemove && component == static_cast<TComponent*>(FControl)) {
        FControl = nullptr;
        Change(true);
    }
}

// --- done actions ------------------------------------------------------------------------

TTBCustomItem* ExecuteDoneAction(const TTBDoneActionData& data, bool returnClickedItemOnly) {
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
        if (Application) Application->HelpContext(data.ContextID);
        return nullptr;
    default:
        return nullptr;
    }
}
