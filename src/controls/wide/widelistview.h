// The Unicode list view over the common control "SysListView32".
//
// Items, their sub-items and the columns live in our own model; the window asks for every
// text (so texts of any characters show as they are, and a sub-item beyond an item's
// sub-item count shows empty). A window made again (RecreateWnd, a new ViewStyle) shows
// the same columns, items, selection and check marks.
//
// Owner-data mode (SetOwnerData(true)) keeps no items: SetItemCount sets the count and
// OnData fills a temporary item for each index the window asks about; OnDataFind answers
// the window's find requests (type-ahead, LVM_FINDITEMW).
//
// Keys typed into the in-place editor reach the list view's key events first. Items are
// made by OnCreateItemClass's factory when one is set (derived item classes).
//
// Lifetime: items belong to their collection; an item pointer stays valid until it is
// deleted or the collection cleared. The temporary item of owner-data mode is only valid
// inside OnData and the handlers it leads to. Main thread only.
#pragma once

#include "classlib/control.h"
#include "controls/wide/wideeditview.h"
#include "classlib/imagelist.h"
#include "controls/wide/widelistbox.h"
#include "controls/wide/widestrings.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wide {

class TWideCustomListView;
class TWideListItems;

class TWideListItem {
public:
    TWideListItem(const TWideListItem&) = delete;
    TWideListItem& operator=(const TWideListItem&) = delete;
    virtual ~TWideListItem() = default;

    const std::wstring& Caption() const { return FCaption; }
    void SetCaption(const std::wstring& value);
    // Changes show at once.
    TWideStringList& SubItems() { return FSubItems; }
    void* Data() const { return FData; }
    void SetData(void* value) { FData = value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    // The overlay image (1-based index into the image list's overlays, 0 or -1: none), the
    // state image (-1: none; check-box lists use the state image for the check mark and
    // ignore it) and the indent in image widths.
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int value);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int value);
    int Indent() const { return FIndent; }
    void SetIndent(int value);
    bool Selected() const;
    void SetSelected(bool value);
    bool Focused() const;
    void SetFocused(bool value);
    bool Checked() const;
    void SetChecked(bool value);
    int Index() const;
    TWideCustomListView* ListView() const;
    void MakeVisible();
    bool EditCaption();
    void Delete();
    // Caption, data, image, overlay and state indexes, indent, sub-items and check mark.
    void Assign(const TWideListItem& source);

protected:
    // Derived item classes are made by a list view's OnCreateItemClass factory.
    explicit TWideListItem(TWideListItems* owner);

private:
    friend class TWideListItems;
    friend class TWideCustomListView;
    void Refresh();
    void SetState(UINT state, UINT mask);
    // The overlay and state-image bits of the item's state as the window keeps them.
    UINT ImageStateBits(UINT& mask) const;

    TWideListItems* FOwner;
    std::wstring FCaption;
    TWideStringList FSubItems;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FOverlayIndex = -1, FStateIndex = -1, FIndent = 0;
    // Kept while there is no window (or between windows).
    bool FSelected = false, FFocused = false, FChecked = false;
    int FTempIndex = -1;  // the index a temporary owner-data item stands for
};

class TWideListItems {
public:
    explicit TWideListItems(TWideCustomListView* owner) : FOwner(owner) {}
    TWideListItems(const TWideListItems&) = delete;
    TWideListItems& operator=(const TWideListItems&) = delete;

    TWideListItem* Add() { return Insert(Count()); }
    TWideListItem* Insert(int index);
    int Count() const;
    // Null outside 0 .. Count - 1.
    TWideListItem* Item(int index) const;
    int IndexOf(const TWideListItem* item) const;
    void Delete(int index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    TWideCustomListView* Owner() const { return FOwner; }

private:
    friend class TWideListItem;
    friend class TWideCustomListView;
    void InsertIntoWindow(int index);

    TWideCustomListView* FOwner;
    std::vector<std::unique_ptr<TWideListItem>> FItems;
    int FUpdateCount = 0;
};

class TWideListColumn {
public:
    const std::wstring& Caption() const { return FCaption; }
    void SetCaption(const std::wstring& value);
    int Width() const;
    void SetWidth(int value);
    int Alignment() const { return FAlignment; }  // LVCFMT_LEFT, _RIGHT or _CENTER
    void SetAlignment(int value);
    // Limits of the width the user can drag the column to (0: no limit).
    int MinWidth = 0;
    int MaxWidth = 0;
    int Index() const;

private:
    friend class TWideListColumns;
    friend class TWideCustomListView;
    explicit TWideListColumn(TWideCustomListView* owner) : FOwner(owner) {}
    void Update();
    TWideCustomListView* FOwner;
    std::wstring FCaption;
    int FWidth = 50;
    int FAlignment = LVCFMT_LEFT;
};

class TWideListColumns {
public:
    explicit TWideListColumns(TWideCustomListView* owner) : FOwner(owner) {}
    TWideListColumn* Add();
    int Count() const { return static_cast<int>(FColumns.size()); }
    TWideListColumn* Items(int index) const;
    void Delete(int index);
    void Clear();

private:
    friend class TWideListColumn;
    friend class TWideCustomListView;
    TWideCustomListView* FOwner;
    std::vector<std::unique_ptr<TWideListColumn>> FColumns;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

using TLVNotifyEvent = std::function<void(classlib::TComponent* sender, TWideListItem* item)>;
using TLVEditingEvent = std::function<void(classlib::TComponent* sender, TWideListItem* item, bool& allow)>;
using TWideLVEditedEvent = std::function<void(classlib::TComponent* sender, TWideListItem* item, std::wstring& s)>;
using TLVCompareEvent = std::function<void(classlib::TComponent* sender, TWideListItem* item1, TWideListItem* item2, int data, int& compare)>;
using TLVSelectItemEvent = std::function<void(classlib::TComponent* sender, TWideListItem* item, bool selected)>;
using TLVColumnClickEvent = std::function<void(classlib::TComponent* sender, TWideListColumn* column)>;
// Draws an item of an owner-drawn report list (OwnerDraw): the canvas is the window's,
// with the list's font and the brush of the item's state.
using TLVDrawItemEvent = std::function<void(TWideCustomListView* sender, TWideListItem* item, RECT rect, TOwnerDrawState state)>;
// The tip shown for an item (check-box lists ask for tips): `infoTip` arrives with the
// text the control would show and may be changed.
using TLVInfoTipEvent = std::function<void(classlib::TComponent* sender, TWideListItem* item, std::wstring& infoTip)>;
// The class of new items: a factory that makes an item (of TWideListItem or a class
// derived from it) for the given collection.
using TWideListItemClass = std::function<std::unique_ptr<TWideListItem>(TWideListItems* owner)>;
// Offered the default class before each item is made; a handler may replace it.
using TLVCreateItemClassEvent = std::function<void(TWideCustomListView* sender, TWideListItemClass& itemClass)>;

// What an owner-data find looks for, and in which direction from the start index.
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
// Owner-data find (type-ahead and LVM_FINDITEM): set `index` to the found item, or leave
// it at -1. `findString` is set for string finds, `findData` for data finds.
using TWideLVOwnerDataFindEvent =
    std::function<void(classlib::TComponent* sender, TItemFind find, const std::wstring& findString, const POINT& findPosition,
                       void* findData, int startIndex, TSearchDirection direction, bool wrap, int& index)>;

class TWideCustomListView : public TWideEditingView, public IWideItemList {
public:
    explicit TWideCustomListView(classlib::TComponent* owner);
    ~TWideCustomListView() override;

    TWideListItems& Items() { return *FItems; }
    TWideListItems& GetItems() { return *FItems; }
    TWideListColumns& Columns() { return *FColumns; }
    // The first selected item, or null.
    TWideListItem* Selected();
    TWideListItem* GetSelected() { return Selected(); }
    void SetSelected(TWideListItem* item);
    TWideListItem* ItemFocused();
    int SelCount();
    TWideListItem* GetItemAt(int x, int y);
    // Sorts by OnCompare, or by lstrcmpW of the captions without it.
    void AlphaSort();
    void AddItem(const std::wstring& item, void* object) override;
    // Adds every selected item, in index order, to `destination`.
    void CopySelection(IWideItemList* destination);

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle value);
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool value);
    bool OwnerData() const { return FOwnerData; }
    void SetOwnerData(bool value);
    // Owner-data mode only.
    void SetItemCount(int count);
    int ItemCount();
    void SetSmallImages(classlib::TImageList* images);
    void SetLargeImages(classlib::TImageList* images);
    // The canvas OnDrawItem draws on (valid only inside the handler).
    classlib::TCanvas& Canvas() { return FCanvas; }

    // Style properties take effect when the window is (re-)created.
    bool ReadOnly = false;
    bool RowSelect = false;
    bool MultiSelect = false;
    bool GridLines = false;
    bool HideSelection = true;
    bool ShowColumnHeaders = true;
    // Report view only: OnDrawItem (or the default: the caption at the left) draws each item.
    bool OwnerDraw = false;

    TLVNotifyEvent OnData, OnDeletion;
    TLVEditingEvent OnEditing;
    TWideLVEditedEvent OnEdited;
    TLVCompareEvent OnCompare;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCreateItemClassEvent OnCreateItemClass;
    TWideLVOwnerDataFindEvent OnDataFind;
    TLVInfoTipEvent OnInfoTip;
    TLVDrawItemEvent OnDrawItem;

protected:
    friend class TWideListItem;
    friend class TWideListItems;
    friend class TWideListColumn;
    friend class TWideListColumns;
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void WMDestroy(classlib::TMessage& m) override;
    void CNNotify(classlib::TMessage& m) override;
    // The window tells when a press becomes a drag (LVN_BEGINDRAG): an automatic drag starts then.
    bool DetectsDrags() const override { return true; }
    // Keys typed into the in-place editor reach this control's key events (and the form's
    // key preview) first; a key they consume goes no further.
    void HookEditor();
    void WndProc(classlib::TMessage& m) override;
    void CNDrawItem(classlib::TMessage& m) override;
    // With no OnDrawItem handler: fills the rectangle and draws the caption at its left.
    virtual void DrawItem(TWideListItem* item, RECT rect, TOwnerDrawState state);
    // Header notifications: a dragged column width stays within the column's limits and
    // the column keeps the width the user gave it.
    void HeaderNotify(classlib::TMessage& m);
    // Makes an item through OnCreateItemClass; a factory that makes none raises
    // EWideInternalError.
    virtual std::unique_ptr<TWideListItem> CreateListItem();
    virtual int OwnerDataFindWide(TItemFind find, const std::wstring& findString, const POINT& findPosition, void* findData,
                                  int startIndex, TSearchDirection direction, bool wrap);
    virtual bool CanEdit(TWideListItem* item);
    virtual void Edit(const LVITEMW& item);
    // The item the window means by an index (the temporary item in owner-data mode).
    TWideListItem* ItemOfIndex(int index);
    void InsertColumnIntoWindow(int index);
    DWORD ExtendedStyle() const;

    std::unique_ptr<TWideListItems> FItems;
    std::unique_ptr<TWideListColumns> FColumns;
    std::unique_ptr<TWideListItem> FTempItem;
    classlib::TCanvas FCanvas;
    TViewStyle FViewStyle = vsIcon;
    // The style the current window was made with (column widths are only its own in report view).
    TViewStyle FWindowViewStyle = vsIcon;
    bool FCheckboxes = false;
    bool FOwnerData = false;
    int FOwnerCount = 0;
    classlib::TComponentRef<classlib::TImageList> FSmallImages{[this] { SetSmallImages(nullptr); }};
    classlib::TComponentRef<classlib::TImageList> FLargeImages{[this] { SetLargeImages(nullptr); }};
    bool FRebuilding = false;
    TWideListItem* FEditing = nullptr;
};

class TWideListView : public TWideCustomListView {
public:
    using TWideCustomListView::TWideCustomListView;
};

}  // namespace wide
