// The item tree behind every menu bar, toolbar and popup menu.
//
// A TTBCustomItem carries caption, image, shortcut, check state and options, may be linked
// to an action, and owns an ordered list of sub-items. Items never draw: whoever shows an
// item's sub-items (a view) registers a TTBItemChangeListener on that item and is told of
// every insertion, deletion, repaint or resize need through ItemChanged.
//
// Lifetime contract:
// - Items are components: their owner frees them. Independently of the owner, an item's
//   destructor frees its sub-items (last first) and then leaves its own parent, so an item
//   freed by any path never stays in a parent's list.
// - Insert/Add/Delete/Remove/Move never free an item; Clear frees every sub-item.
// - Listeners are not owned. A listener must remove itself (RemoveChangeListener) before it
//   goes away; it may remove itself or others while being called.
// - Clicks chosen inside a menu loop are not run there: QueueItemClick posts them to a hidden
//   per-thread window, and they run when the thread's message loop dispatches the message.
//   An item freed before that does nothing.
// Items belong to the main thread.
#pragma once

#include "classlib/actions.h"
#include "classlib/component.h"
#include "classlib/control.h"
#include "classlib/errors.h"
#include "classlib/imagelist.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTBCustomItem;
class TTBItemViewer;  // one item shown in a view; built by the viewer layer
class TTBView;

// Errors of the item tree (bad index, item already inserted).
class ETBItemError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

extern const wchar_t* const STBToolbarIndexOutOfBounds;  // "Toolbar item index out of range"
extern const wchar_t* const STBToolbarItemReinserted;    // "Toolbar item already inserted"
extern const wchar_t* const STBViewerNotFound;

enum TTBItemDisplayMode { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

// Item options (bit set, 16 bits).
using TTBItemOptions = std::uint16_t;
constexpr TTBItemOptions tboDefault = 0x0001;
constexpr TTBItemOptions tboDropdownArrow = 0x0002;
constexpr TTBItemOptions tboImageAboveCaption = 0x0004;
constexpr TTBItemOptions tboLongHintInMenuOnly = 0x0008;
constexpr TTBItemOptions tboNoAutoHint = 0x0010;
constexpr TTBItemOptions tboNoRotation = 0x0020;
constexpr TTBItemOptions tboSameWidth = 0x0040;
constexpr TTBItemOptions tboShowHint = 0x0080;
constexpr TTBItemOptions tboToolbarStyle = 0x0100;
constexpr TTBItemOptions tboToolbarSize = 0x0200;
// Options whose change alters an item's size or look (a change of them resizes).
constexpr TTBItemOptions tboResizeMask = 0x367;

// Behaviour bits of an item class.
using TTBItemStyle = std::uint16_t;
constexpr TTBItemStyle tbstSubmenu = 0x0001;            // opens its sub-items in a popup
constexpr TTBItemStyle tbstSelectable = 0x0002;
constexpr TTBItemStyle tbstSeparator = 0x0004;
constexpr TTBItemStyle tbstEmbeddedGroup = 0x0008;      // sub-items shown inline where it stands
constexpr TTBItemStyle tbstClicksTransparent = 0x0010;  // a mouse press is not taken by the view
constexpr TTBItemStyle tbstSplitButton = 0x0020;        // main part clicks, arrow part opens
constexpr TTBItemStyle tbstNoAutoOpen = 0x0040;
constexpr TTBItemStyle tbstNoLineBreak = 0x0100;
constexpr TTBItemStyle tbstRightAlign = 0x0200;
constexpr TTBItemStyle tbstDontSelectFirst = 0x0400;
constexpr TTBItemStyle tbstRedrawOnSelChange = 0x0800;
constexpr TTBItemStyle tbstRedrawOnMouseOverChange = 0x1000;
constexpr TTBItemStyle tbstStretch = 0x2000;
constexpr TTBItemStyle tbstDefaultStyle = tbstSelectable | tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange;

// What happened to the sub-items of the item a listener watches.
enum TTBItemChangedAction {
    tbicInserted,              // (index, item) after insertion
    tbicDeleting,              // (index, item) before removal
    tbicSubitemsChanged,       // the list as a whole changed (a link target was set)
    tbicSubitemsBeginUpdate,
    tbicSubitemsEndUpdate,
    tbicInvalidate,            // (-1, item): repaint it
    tbicInvalidateAndResize,   // (-1, item): measure again and repaint
    tbicRecreateItemViewers,
    tbicNameChanged,
    tbicSubMenuImagesChanged,
};

// Told of changes to the sub-items of each item it is registered on. `ancestor` is the item
// the listener registered on, or (Relayed true) the embedded group or link whose change was
// passed on to it.
class TTBItemChangeListener {
public:
    virtual ~TTBItemChangeListener() = default;
    virtual void ItemChanged(TTBCustomItem* ancestor, bool relayed, TTBItemChangedAction action, int index,
                             TTBCustomItem* item) = 0;
};

using TTBPopupEvent = std::function<void(TTBCustomItem* sender, bool fromLink)>;
using TTBSelectEvent = std::function<void(TTBCustomItem* sender, TTBItemViewer* viewer, bool selecting)>;

// Something that a deferred click can reach (items here; viewers later).
class TTBClickQueueClient {
public:
    virtual ~TTBClickQueueClient() = default;
    // Runs the deferred click; `argument` is the WParam it was queued with.
    virtual void DeferredClick(WPARAM argument) = 0;
};

// The message that carries a deferred click (WM_USER + 256).
constexpr UINT TBM_DEFERREDCLICK = WM_USER + 256;

// Per-thread deferred clicks. Every item (and viewer) counts itself while it lives; the
// hidden window goes when the count reaches zero.
void AddClickQueueRef();
void ReleaseClickQueueRef();
void QueueDeferredClick(TTBClickQueueClient* object, WPARAM argument);
void QueueItemClick(TTBCustomItem* item);
// Marks every queued entry of `object` dead so its click does nothing.
void ForgetQueuedObject(TTBClickQueueClient* object);
// The hidden window of this thread, or null when none exists (for tests).
HWND ClickQueueWindow();

// The link between an item and an action: a property stays linked while the item still
// shows the action's value; one changed on the item by hand keeps its own value.
class TTBCustomItemActionLink : public classlib::TActionLink {
public:
    explicit TTBCustomItemActionLink(TTBCustomItem* client);
    TTBCustomItem* Client() const { return FClient; }

    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked();
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    virtual bool IsAutoCheckLinked();
    bool IsOnExecuteLinked();

    void SetCaption(const std::wstring& value) override;
    void SetChecked(bool value) override;
    void SetEnabled(bool value) override;
    void SetHint(const std::wstring& value) override;
    void SetImageIndex(int value) override;
    void SetShortCut(classlib::TShortCut value) override;
    void SetVisible(bool value) override;
    virtual void SetAutoCheck(bool value);
    virtual void SetHelpContext(int value);
    virtual void SetOnExecute(const classlib::TNotifyEvent& value);

protected:
    classlib::TCustomAction* CustomAction() const;
    TTBCustomItem* FClient;
};

class TTBCustomItem : public classlib::TComponent, public TTBClickQueueClient {
public:
    explicit TTBCustomItem(classlib::TComponent* owner);
    ~TTBCustomItem() override;

    // --- sub-items -----------------------------------------------------------------------
    int Count() const { return static_cast<int>(FItems.size()); }
    TTBCustomItem* GetItem(int index) const;
    TTBCustomItem* Items(int index) const { return GetItem(index); }
    void Insert(int index, TTBCustomItem* item);
    void Add(TTBCustomItem* item) { Insert(Count(), item); }
    void Delete(int index);
    int IndexOf(const TTBCustomItem* item) const;
    void Remove(TTBCustomItem* item);
    void Clear();
    void Move(int curIndex, int newIndex);
    TTBCustomItem* Parent() const { return FParent; }
    // The item whose sub-items are shown for this one: the link target, or itself.
    TTBCustomItem* SubitemsSource() { return FLinkSubitems ? FLinkSubitems : this; }

    // --- listeners -----------------------------------------------------------------------
    // Adding a listener already present only counts it once more; removing counts down and
    // drops it at zero.
    void AddChangeListener(TTBItemChangeListener* listener);
    void RemoveChangeListener(TTBItemChangeListener* listener);
    // Tells this item's listeners (and, for embedded groups and links, the items that show
    // these sub-items inline).
    void Notify(TTBCustomItem* ancestor, int relayDepth, TTBItemChangedAction action, int index,
                TTBCustomItem* item);
    void NotifySelf(TTBItemChangedAction action, int index, TTBCustomItem* item) {
        Notify(this, 0, action, index, item);
    }
    void SubitemsBeginUpdate() { NotifySelf(tbicSubitemsBeginUpdate, -1, nullptr); }
    void SubitemsEndUpdate() { NotifySelf(tbicSubitemsEndUpdate, -1, nullptr); }

    // --- properties ----------------------------------------------------------------------
    classlib::TBasicAction* Action() const;
    void SetAction(classlib::TBasicAction* value);
    TTBCustomItemActionLink* ActionLink() const { return FActionLink.get(); }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    const std::wstring& Caption() const { return FCaption; }
    void SetCaption(const std::wstring& value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    TTBItemDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TTBItemDisplayMode value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TTBItemOptions EffectiveOptions() const { return FEffectiveOptions; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int value) { FHelpContext = value; }
    const std::wstring& Hint() const { return FHint; }
    void SetHint(const std::wstring& value) { FHint = value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    classlib::TImageList* Images() const { return FImages; }
    void SetImages(classlib::TImageList* value);
    classlib::TImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(classlib::TImageList* value);
    TTBItemStyle ItemStyle() const { return FItemStyle; }
    void SetItemStyle(TTBItemStyle value) { FItemStyle = value; }
    TTBCustomItem* LinkSubitems() const { return FLinkSubitems; }
    void SetLinkSubitems(TTBCustomItem* value);
    // Items whose LinkSubitems point here.
    const std::vector<TTBCustomItem*>& LinkParents() const { return FLinkParents; }
    TTBItemOptions Options() const { return FOptions; }
    void SetOptions(TTBItemOptions value);
    TTBItemOptions MaskOptions() const { return FMaskOptions; }
    void SetMaskOptions(TTBItemOptions value);
    bool InheritOptions() const { return FInheritOptions; }
    void SetInheritOptions(bool value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value);
    classlib::TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(classlib::TShortCut value) { FShortCut = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    // For a root item: the toolbar or popup menu that holds it.
    classlib::TComponent* ParentComponent() const { return FParentComponent; }
    void SetRootParentComponent(classlib::TComponent* value) { FParentComponent = value; }

    // OnClick taken from a linked action runs the action (through its list and update);
    // assign an own handler with SetOnClick so the item stops treating it as the action's.
    classlib::TNotifyEvent OnClick;
    void SetOnClick(classlib::TNotifyEvent value) {
        OnClick = std::move(value);
        FOnClickFromAction = false;
    }
    TTBPopupEvent OnPopup;
    TTBSelectEvent OnSelect;

    // --- behaviour -----------------------------------------------------------------------
    // Tells the parent's listeners that this item must be repainted (and measured again).
    virtual void Change(bool needResize);
    virtual void DoPopup(TTBCustomItem* sender, bool fromLink);
    virtual void EnabledChanged();
    virtual TTBView* ChevronSourceView() { return nullptr; }
    // Asked by the layout before an item is measured; true makes it build a new viewer.
    virtual bool ViewerNeedsRecreate(TTBItemViewer*) { return false; }
    virtual void Click();
    virtual void InitiateAction();
    // The explicit shortcut text after a TAB in the caption, else the text of ShortCut.
    std::wstring GetShortCutText() const;
    // Finds the sub-item (at any depth, following links) with this shortcut and clicks it
    // after opening (DoPopup) each sub-menu on the way. True when an item was clicked.
    bool ProcessShortCut(WORD key, LPARAM keyData);
    bool ProcessShortCut(classlib::TShortCut shortCut);
    TTBCustomItem* FindShortCutItem(classlib::TShortCut shortCut, TTBCustomItem*& topItem);

    // --- component -----------------------------------------------------------------------
    void Loaded() override;
    void SetName(const std::wstring& value) override;
    void GetChildren(const std::function<void(classlib::TComponent*)>& proc) const;
    void SetChildOrder(classlib::TComponent* child, int order);
    bool HasParent() const { return true; }
    classlib::TComponent* GetParentComponent() const;
    void SetParentComponent(classlib::TComponent* value);

    void DeferredClick(WPARAM argument) override;

protected:
    void Notification(classlib::TComponent* component, classlib::TOperation operation) override;
    virtual void ActionChange(classlib::TBasicAction* sender, bool checkDefaults);
    virtual std::unique_ptr<TTBCustomItemActionLink> CreateActionLink();
    void ActionLinkChanged(classlib::TBasicAction* sender);
    void RecalcEffectiveOptions();
    bool IsLoadingOrActionLoading() const;

    TTBItemStyle FItemStyle = tbstDefaultStyle;

private:
    friend class TTBCustomItemActionLink;
    void ImageListChanged(classlib::TImageList* list);
    void SubMenuImageListChanged(classlib::TImageList* list);
    void ApplyGroupRule();
    void RemoveLinkParent(TTBCustomItem* item);

    struct ListenerEntry {
        TTBItemChangeListener* Listener;
        int RefCount;
    };

    std::unique_ptr<TTBCustomItemActionLink> FActionLink;
    bool FAutoCheck = false;
    std::wstring FCaption;
    bool FChecked = false;
    TTBItemDisplayMode FDisplayMode = nbdmDefault;
    bool FEnabled = true;
    TTBItemOptions FEffectiveOptions = 0;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    std::wstring FHint;
    int FImageIndex = -1;
    classlib::TImageList* FImages = nullptr;
    std::unique_ptr<classlib::TChangeLink> FImagesChangeLink;
    std::vector<TTBCustomItem*> FItems;
    std::vector<TTBCustomItem*> FLinkParents;
    TTBItemOptions FMaskOptions = 0;
    TTBItemOptions FOptions = 0;
    bool FInheritOptions = true;
    std::vector<ListenerEntry> FListeners;
    TTBCustomItem* FParent = nullptr;
    classlib::TComponent* FParentComponent = nullptr;
    bool FRadioItem = false;
    classlib::TShortCut FShortCut = 0;
    classlib::TImageList* FSubMenuImages = nullptr;
    std::unique_ptr<classlib::TChangeLink> FSubMenuImagesChangeLink;
    TTBCustomItem* FLinkSubitems = nullptr;
    bool FVisible = true;
    bool FOnClickFromAction = false;
};

// The root of a toolbar's or popup menu's tree.
class TTBRootItem : public TTBCustomItem {
public:
    using TTBCustomItem::TTBCustomItem;
};

// Implemented by toolbars and popup menus so that items given them as parent find the root.
class ItemContainerInterface {
public:
    virtual ~ItemContainerInterface() = default;
    virtual TTBCustomItem* GetItems() = 0;
};

class TTBSeparatorItem : public TTBCustomItem {
public:
    explicit TTBSeparatorItem(classlib::TComponent* owner);
    // Draw nothing but keep the space.
    bool Blank() const { return FBlank; }
    void SetBlank(bool value);

private:
    bool FBlank = false;
};

// Hosts a control on a toolbar. The item frees its control when it goes, unless
// DontFreeControl is set or the control was freed first.
class TTBControlItem : public TTBCustomItem {
public:
    explicit TTBControlItem(classlib::TComponent* owner);
    TTBControlItem(classlib::TComponent* owner, classlib::TControl* control);
    ~TTBControlItem() override;
    classlib::TControl* Control() const { return FControl; }
    void SetControl(classlib::TControl* value);
    bool DontFreeControl = false;

protected:
    void Notification(classlib::TComponent* component, classlib::TOperation operation) override;

private:
    classlib::TControl* FControl = nullptr;
};

// What the menu loop decided to do once its windows are closed.
enum TTBDoneActionKind { tbdaNone, tbdaClose, tbdaClickItem, tbdaOpenSystemMenu, tbdaHelpContext };

struct TTBDoneActionData {
    TTBDoneActionKind DoneAction = tbdaNone;
    TTBCustomItem* ClickItem = nullptr;  // tbdaClickItem
    bool Sound = false;                  // tbdaClickItem: play "MenuCommand"
    HWND Wnd = nullptr;                  // tbdaOpenSystemMenu
    WPARAM Key = 0;                      // tbdaOpenSystemMenu
    int ContextID = 0;                   // tbdaHelpContext
};

// Carries out a done action; returns the clicked item for tbdaClickItem, else null.
TTBCustomItem* ExecuteDoneAction(const TTBDoneActionData& data, bool returnClickedItemOnly);
