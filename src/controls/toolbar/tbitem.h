// The item tree behind every menu bar, toolbar and popup menu.
//
// A TBarCustomItem carries caption, image, shortcut, check state and options, may be linked
// to an action, and owns an ordered list of sub-items. Items never draw: whoever shows an
// item's sub-items (a view) registers a TBarItemChangeListener on that item and is told of
// every insertion, deletion, repaint or resize need through ItemChanged.
//
// Lifetime contract:
// - Items are components: their owner frees them. Independently of the owner, an item's
//   destructor frees its sub-items (last first) and then leaves its own parent, so an item
//   freed by any path never stays in a parent's list.
// - Insert/Add/Delete/Remove/Move never free an item; Clear frees every sub-item.
// - Listeners are not owned. A listener must remove itself (RemoveChangeListener) before it
//   goes away; it may remove itself or others while being called.
// - Clicks chosen inside a menu loop are not run there: QueueItemClick hands them to the
//   application's queue of deferred calls, and they run from the message loop. An item freed
//   before that does nothing; an exception from a click goes to the application's report.
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

namespace toolbar {

class TBarCustomItem;
class TBarItemViewer;  // one item shown in a view (tbviewer.h)
class TBarView;        // one level of items shown in a window (tbview.h)

class TBarPopupWindow;  // the window of a sub-menu or popup menu (tbpopup.h)
struct TBarPopupPositionRec;

// The class reference of a popup window class: makes the (hidden) popup window that shows
// the sub-items of `item` below `parentView` (null for a popup menu of its own).
using TBarPopupWindowClass = TBarPopupWindow* (*)(classlib::TComponent* owner, TBarView* parentView,
                                                  TBarCustomItem* item, bool customizing);

// Where a popup opened at a point goes: its left edge, right edge or centre at the point.
enum TBarPopupAlignment { tbpaLeft, tbpaRight, tbpaCenter };

// The class reference of a viewer class: makes a viewer of `item` for `view`.
using TBarItemViewerClass = std::unique_ptr<TBarItemViewer> (*)(TBarView* view, TBarCustomItem* item,
                                                               int groupLevel);

// Errors of the item tree (bad index, item already inserted).
class ETBItemError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

extern const wchar_t* const STBToolbarIndexOutOfBounds;  // "Toolbar item index out of range"
extern const wchar_t* const STBToolbarItemReinserted;    // "Toolbar item already inserted"
extern const wchar_t* const STBViewerNotFound;

enum TBarItemDisplayMode { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

// Item options (bit set, 16 bits).
using TBarItemOptions = std::uint16_t;
constexpr TBarItemOptions tboDefault = 0x0001;
constexpr TBarItemOptions tboDropdownArrow = 0x0002;
constexpr TBarItemOptions tboImageAboveCaption = 0x0004;
constexpr TBarItemOptions tboLongHintInMenuOnly = 0x0008;
constexpr TBarItemOptions tboNoAutoHint = 0x0010;
constexpr TBarItemOptions tboNoRotation = 0x0020;
constexpr TBarItemOptions tboSameWidth = 0x0040;
constexpr TBarItemOptions tboShowHint = 0x0080;
constexpr TBarItemOptions tboToolbarStyle = 0x0100;
constexpr TBarItemOptions tboToolbarSize = 0x0200;
// Options whose change alters an item's size or look (a change of them resizes).
constexpr TBarItemOptions tboResizeMask = 0x367;

// Behaviour bits of an item class.
using TBarItemStyle = std::uint16_t;
constexpr TBarItemStyle tbstSubmenu = 0x0001;            // opens its sub-items in a popup
constexpr TBarItemStyle tbstSelectable = 0x0002;
constexpr TBarItemStyle tbstSeparator = 0x0004;
constexpr TBarItemStyle tbstEmbeddedGroup = 0x0008;      // sub-items shown inline where it stands
constexpr TBarItemStyle tbstClicksTransparent = 0x0010;  // a mouse press is not taken by the view
constexpr TBarItemStyle tbstSplitButton = 0x0020;        // main part clicks, arrow part opens
constexpr TBarItemStyle tbstNoAutoOpen = 0x0040;
constexpr TBarItemStyle tbstNoLineBreak = 0x0100;
constexpr TBarItemStyle tbstRightAlign = 0x0200;
constexpr TBarItemStyle tbstDontSelectFirst = 0x0400;
constexpr TBarItemStyle tbstRedrawOnSelChange = 0x0800;
constexpr TBarItemStyle tbstRedrawOnMouseOverChange = 0x1000;
constexpr TBarItemStyle tbstStretch = 0x2000;
constexpr TBarItemStyle tbstDefaultStyle = tbstSelectable | tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange;

// What happened to the sub-items of the item a listener watches.
enum TBarItemChangedAction {
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
class TBarItemChangeListener {
public:
    virtual ~TBarItemChangeListener() = default;
    virtual void ItemChanged(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action, int index,
                             TBarCustomItem* item) = 0;
};

using TBarPopupEvent = std::function<void(TBarCustomItem* sender, bool fromLink)>;
using TBarSelectEvent = std::function<void(TBarCustomItem* sender, TBarItemViewer* viewer, bool selecting)>;

// Something that a deferred click can reach (an item, or a viewer of one).
class TBarClickQueueClient {
public:
    virtual ~TBarClickQueueClient() = default;
    // Runs the deferred click; `argument` is the WParam it was queued with.
    virtual void DeferredClick(WPARAM argument) = 0;
};

// Deferred clicks, through the application's queue of deferred calls (nothing is queued
// without an application object).
void QueueDeferredClick(TBarClickQueueClient* object, WPARAM argument);
void QueueItemClick(TBarCustomItem* item);
// Drops every click of `object` not run yet (its destructor calls this).
void ForgetQueuedObject(TBarClickQueueClient* object);

// The link between an item and an action: a property stays linked while the item still
// shows the action's value; one changed on the item by hand keeps its own value.
class TBarCustomItemActionLink : public classlib::TActionLink {
public:
    explicit TBarCustomItemActionLink(TBarCustomItem* client);
    TBarCustomItem* Client() const { return FClient; }

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
    TBarCustomItem* FClient;
};

class TBarCustomItem : public classlib::TComponent, public TBarClickQueueClient {
public:
    explicit TBarCustomItem(classlib::TComponent* owner);
    ~TBarCustomItem() override;

    // --- sub-items -----------------------------------------------------------------------
    int Count() const { return static_cast<int>(FItems.size()); }
    TBarCustomItem* GetItem(int index) const;
    TBarCustomItem* Items(int index) const { return GetItem(index); }
    void Insert(int index, TBarCustomItem* item);
    void Add(TBarCustomItem* item) { Insert(Count(), item); }
    void Delete(int index);
    int IndexOf(const TBarCustomItem* item) const;
    void Remove(TBarCustomItem* item);
    void Clear();
    void Move(int curIndex, int newIndex);
    TBarCustomItem* Parent() const { return FParent; }
    // The item whose sub-items are shown for this one: the link target, or itself.
    TBarCustomItem* SubitemsSource() { return FLinkSubitems ? FLinkSubitems : this; }

    // --- listeners -----------------------------------------------------------------------
    // Adding a listener already present only counts it once more; removing counts down and
    // drops it at zero.
    void AddChangeListener(TBarItemChangeListener* listener);
    void RemoveChangeListener(TBarItemChangeListener* listener);
    // Tells this item's listeners (and, for embedded groups and links, the items that show
    // these sub-items inline).
    void Notify(TBarCustomItem* ancestor, int relayDepth, TBarItemChangedAction action, int index,
                TBarCustomItem* item);
    void NotifySelf(TBarItemChangedAction action, int index, TBarCustomItem* item) {
        Notify(this, 0, action, index, item);
    }
    void SubitemsBeginUpdate() { NotifySelf(tbicSubitemsBeginUpdate, -1, nullptr); }
    void SubitemsEndUpdate() { NotifySelf(tbicSubitemsEndUpdate, -1, nullptr); }

    // --- properties ----------------------------------------------------------------------
    classlib::TBasicAction* Action() const;
    void SetAction(classlib::TBasicAction* value);
    TBarCustomItemActionLink* ActionLink() const { return FActionLink.get(); }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    const std::wstring& Caption() const { return FCaption; }
    void SetCaption(const std::wstring& value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    TBarItemDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TBarItemDisplayMode value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TBarItemOptions EffectiveOptions() const { return FEffectiveOptions; }
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
    TBarItemStyle ItemStyle() const { return FItemStyle; }
    void SetItemStyle(TBarItemStyle value) { FItemStyle = value; }
    TBarCustomItem* LinkSubitems() const { return FLinkSubitems; }
    void SetLinkSubitems(TBarCustomItem* value);
    // Items whose LinkSubitems point here.
    const std::vector<TBarCustomItem*>& LinkParents() const { return FLinkParents; }
    TBarItemOptions Options() const { return FOptions; }
    void SetOptions(TBarItemOptions value);
    TBarItemOptions MaskOptions() const { return FMaskOptions; }
    void SetMaskOptions(TBarItemOptions value);
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
    TBarPopupEvent OnPopup;
    TBarSelectEvent OnSelect;

    // --- behaviour -----------------------------------------------------------------------
    // Tells the parent's listeners that this item must be repainted (and measured again).
    virtual void Change(bool needResize);
    virtual void DoPopup(TBarCustomItem* sender, bool fromLink);
    virtual void EnabledChanged();
    virtual TBarView* ChevronSourceView() { return nullptr; }
    // --- popups (tbpopup.cpp)
    // Opens the sub-items in a popup window, placed below or beside `parentViewer` of
    // `parentView` (a sub-menu when `positionAsSubmenu`), or at `popupPoint` without a
    // parent view. The parent view owns the window it records as open; without a parent
    // view the caller owns the answer. Nothing is left behind when it throws.
    virtual TBarPopupWindow* CreatePopup(TBarView* parentView, TBarItemViewer* parentViewer, bool positionAsSubmenu,
                                         bool selectFirstItem, bool customizing, POINT popupPoint,
                                         TBarPopupAlignment alignment);
    // Moves the popup into the monitor's work area, flipping it to the other side of its
    // item where it does not fit, and chooses the direction of its opening animation.
    virtual void AdjustPopupPosition(TBarView* parentView, TBarPopupWindow* window, TBarPopupPositionRec& rec);
    virtual TBarPopupWindowClass GetPopupWindowClass();
    // Shows the sub-items as a popup menu at `point` and runs the menu loop until it ends;
    // the chosen item is clicked (after the loop) unless `returnClickedItemOnly`. Answers
    // the chosen item, or null.
    TBarCustomItem* PopupModal(bool selectFirst, bool trackRightButton, bool returnClickedItemOnly,
                               TBarPopupAlignment alignment, POINT point);
    TBarCustomItem* PopupAt(int x, int y, bool trackRightButton, TBarPopupAlignment alignment,
                            bool returnClickedItemOnly);
    // The viewer class that shows this item in `view`.
    virtual TBarItemViewerClass GetItemViewerClass(TBarView* view);
    // Asked by the layout before an item is measured; true makes it build a new viewer.
    virtual bool ViewerNeedsRecreate(TBarItemViewer*) { return false; }
    virtual void Click();
    virtual void InitiateAction();
    // The explicit shortcut text after a TAB in the caption, else the text of ShortCut.
    std::wstring GetShortCutText() const;
    // Finds the sub-item (at any depth, following links) with this shortcut and clicks it
    // after opening (DoPopup) each sub-menu on the way. True when an item was clicked.
    // A hit that an OnPopup on the way took away makes the walk start again from this item,
    // a few times at most; the walk itself goes at most a few dozen levels deep, so menus
    // that rebuild themselves or show themselves through links cannot make it loop.
    bool ProcessShortCut(WORD key, LPARAM keyData);
    bool ProcessShortCut(classlib::TShortCut shortCut);
    TBarCustomItem* FindShortCutItem(classlib::TShortCut shortCut, TBarCustomItem*& topItem);

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
    virtual void ActionChange(classlib::TBasicAction* sender, bool checkDefaults);
    virtual std::unique_ptr<TBarCustomItemActionLink> CreateActionLink();
    void ActionLinkChanged(classlib::TBasicAction* sender);
    void RecalcEffectiveOptions();
    bool IsLoadingOrActionLoading() const;

    TBarItemStyle FItemStyle = tbstDefaultStyle;

private:
    friend class TBarCustomItemActionLink;
    void ImageListChanged(classlib::TImageList* list);
    void SubMenuImageListChanged(classlib::TImageList* list);
    void ApplyGroupRule();
    void RemoveLinkParent(TBarCustomItem* item);
    void ImagesFreed();
    void SubMenuImagesFreed();

    struct ListenerEntry {
        TBarItemChangeListener* Listener;
        int RefCount;
    };

    std::unique_ptr<TBarCustomItemActionLink> FActionLink;
    bool FAutoCheck = false;
    std::wstring FCaption;
    bool FChecked = false;
    TBarItemDisplayMode FDisplayMode = nbdmDefault;
    bool FEnabled = true;
    TBarItemOptions FEffectiveOptions = 0;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    std::wstring FHint;
    int FImageIndex = -1;
    classlib::TComponentRef<classlib::TImageList> FImages{[this] { ImagesFreed(); }};
    std::unique_ptr<classlib::TChangeLink> FImagesChangeLink;
    std::vector<TBarCustomItem*> FItems;
    std::vector<TBarCustomItem*> FLinkParents;
    TBarItemOptions FMaskOptions = 0;
    TBarItemOptions FOptions = 0;
    bool FInheritOptions = true;
    std::vector<ListenerEntry> FListeners;
    TBarCustomItem* FParent = nullptr;
    classlib::TComponent* FParentComponent = nullptr;
    bool FRadioItem = false;
    classlib::TShortCut FShortCut = 0;
    classlib::TComponentRef<classlib::TImageList> FSubMenuImages{[this] { SubMenuImagesFreed(); }};
    std::unique_ptr<classlib::TChangeLink> FSubMenuImagesChangeLink;
    classlib::TComponentRef<TBarCustomItem> FLinkSubitems{[this] { NotifySelf(tbicSubitemsChanged, -1, nullptr); }};
    bool FVisible = true;
    bool FOnClickFromAction = false;
};

// The root of a toolbar's or popup menu's tree.
class TBarRootItem : public TBarCustomItem {
public:
    using TBarCustomItem::TBarCustomItem;
};

// Implemented by toolbars and popup menus so that items given them as parent find the root.
class ItemContainerInterface {
public:
    virtual ~ItemContainerInterface() = default;
    virtual TBarCustomItem* GetItems() = 0;
};

class TBarSeparatorItem : public TBarCustomItem {
public:
    explicit TBarSeparatorItem(classlib::TComponent* owner);
    TBarItemViewerClass GetItemViewerClass(TBarView* view) override;
    // Draw nothing but keep the space.
    bool Blank() const { return FBlank; }
    void SetBlank(bool value);

private:
    bool FBlank = false;
};

// Hosts a control on a toolbar. The item frees its control when it goes, unless
// DontFreeControl is set or the control was freed first.
class TBarControlItem : public TBarCustomItem {
public:
    explicit TBarControlItem(classlib::TComponent* owner);
    TBarControlItem(classlib::TComponent* owner, classlib::TControl* control);
    ~TBarControlItem() override;
    classlib::TControl* Control() const { return FControl; }
    void SetControl(classlib::TControl* value);
    bool DontFreeControl = false;

private:
    classlib::TComponentRef<classlib::TControl> FControl{[this] { Change(true); }};
};

// What the menu loop decided to do once its windows are closed.
enum TBarDoneActionKind { tbdaNone, tbdaClose, tbdaClickItem, tbdaOpenSystemMenu, tbdaHelpContext };

struct TBarDoneActionData {
    TBarDoneActionKind DoneAction = tbdaNone;
    TBarCustomItem* ClickItem = nullptr;  // tbdaClickItem
    bool Sound = false;                  // tbdaClickItem: play "MenuCommand"
    HWND Wnd = nullptr;                  // tbdaOpenSystemMenu
    WPARAM Key = 0;                      // tbdaOpenSystemMenu
    int ContextID = 0;                   // tbdaHelpContext
};

// Carries out a done action; returns the clicked item for tbdaClickItem, else null. A help
// request goes to the application's help (Application->HelpContext).
TBarCustomItem* ExecuteDoneAction(const TBarDoneActionData& data, bool returnClickedItemOnly);

}  // namespace toolbar
