// The Unicode list box over the system LISTBOX control, and the wide item interface that
// the list controls share.
//
// Items is a TWideStrings that acts on the window directly (it makes the window when
// needed; the list box must have a parent by then). Re-creating the window keeps the
// items with their objects, the top index and the selection; virtual list boxes keep
// nothing (their texts come from OnData, their count from SetCount).
//
// Virtual styles (lbVirtual, lbVirtualOwnerDraw) store no texts: LB_GETTEXTLEN and
// LB_GETTEXT are answered from OnData. LB_GETTEXT never copies more characters than the
// last LB_GETTEXTLEN of that index reported, so a buffer sized from it cannot overflow
// when the data changes in between. Main thread only.
#pragma once

#include "classlib/control.h"
#include "controls/wide/widestrings.h"

#include <functional>
#include <memory>
#include <string>

namespace wide {

// Implemented by the list controls that take wide items (CopySelection targets).
class IWideItemList {
public:
    virtual ~IWideItemList() = default;
    virtual void AddItem(const std::wstring& item, void* object) = 0;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// The state bits handed to OnDrawItem.
using TOwnerDrawState = unsigned;
constexpr TOwnerDrawState odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16;

class TWideCustomListBox;

class TWideListBoxStrings : public TWideStrings {
public:
    explicit TWideListBoxStrings(TWideCustomListBox* listBox) : FListBox(listBox) {}
    // A missing index raises the list error "リストのインデックスが範囲を超えています (%d)".
    std::wstring Get(int index) const override;
    int GetCount() const override;
    void* GetObject(int index) const override;
    // Keeps the item's object and the selected index.
    void Put(int index, const std::wstring& s) override;
    void PutObject(int index, void* object) override;
    // A refused item raises EOutOfResources "行を挿入できません".
    int AddObject(const std::wstring& s, void* object) override;
    void Clear() override;
    void Delete(int index) override;
    // Swaps texts and objects; the selection moves with the selected item.
    void Exchange(int index1, int index2) override;
    // Case-insensitive, as the system compares.
    int IndexOf(const std::wstring& s) const override;
    void InsertObject(int index, const std::wstring& s, void* object) override;
    void MoveItem(int curIndex, int newIndex);

protected:
    void SetUpdateState(bool updating) override;

private:
    HWND Wnd() const;
    TWideCustomListBox* FListBox;
};

using TLBGetWideDataEvent = std::function<void(classlib::TWinControl* control, int index, std::wstring& data)>;
using TDrawItemEvent = std::function<void(classlib::TWinControl* control, int index, RECT rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(classlib::TWinControl* control, int index, int& height)>;

class TWideCustomListBox : public classlib::TWinControl, public IWideItemList {
public:
    explicit TWideCustomListBox(classlib::TComponent* owner);
    ~TWideCustomListBox() override;

    TWideStrings& Items() { return *FItems; }
    TWideStrings& GetItems() { return *FItems; }
    void SetItems(const TWideStrings& value) { FItems->Assign(value); }
    int ItemIndex();
    void SetItemIndex(int value);
    int TopIndex();
    void SetTopIndex(int value);
    bool Selected(int index);
    void SetSelected(int index, bool value);
    int SelCount();
    // The number of items; for virtual styles SetCount sets it.
    int Count() { return FItems->GetCount(); }
    void SetCount(int value);
    // The item at a client point: -1 when there is none (or, without `existing`, the
    // count when the point is below the last item).
    int ItemAtPos(POINT pos, bool existing);
    RECT ItemRect(int index);

    void AddItem(const std::wstring& item, void* object) override;
    // Adds the selected items (every one with MultiSelect, else the ItemIndex one).
    void CopySelection(IWideItemList* destination);
    void Clear() { FItems->Clear(); }

    // Style properties take effect when the window is (re-)created.
    TListBoxStyle Style() const { return FStyle; }
    // Re-creates an existing window.
    void SetStyle(TListBoxStyle value);
    bool MultiSelect = false;
    bool ExtendedSelect = true;
    int ItemHeight = 16;
    int Columns = 0;
    bool IntegralHeight = false;

    TLBGetWideDataEvent OnData;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
    // Draws the item text over `rect` (fills it with the canvas brush first).
    void DefaultDrawItem(int index, RECT rect);
    classlib::TCanvas& Canvas() { return FCanvas; }

protected:
    friend class TWideListBoxStrings;
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void WMDestroy(classlib::TMessage& m) override;
    void WndProc(classlib::TMessage& m) override;
    // The list's own notifications: a selection change clicks, LBN_DBLCLK double-clicks.
    void CNCommand(classlib::TMessage& m) override;
    // The list handles the second press of a double click itself and tells it with
    // LBN_DBLCLK: the double click runs there, once.
    void WMLButtonDblClk(classlib::TMessage& m) override;
    void CNDrawItem(classlib::TMessage& m) override;
    void CNMeasureItem(classlib::TMessage& m) override;
    virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
    // The item data slot of the window. A derived list may keep a record of its own there
    // and show the caller's object through these two.
    virtual void* GetItemObject(int index);
    virtual void SetItemObject(int index, void* object);
    // Called when a string was added or inserted at `index` (after the object was set).
    virtual void ItemAdded(int index) {}
    // Called before the item at `index` is deleted, and before all items are cleared.
    virtual void ItemDeleting(int index) {}
    virtual void ItemsCleared() {}
    // Called after SetCount changed the count of a virtual list.
    virtual void CountChanged(int count) {}
    // Called after two items swapped places.
    virtual void ItemsExchanged(int index1, int index2) {}
    bool SavingItems() const;
    // Saved between window destruction and re-creation.
    virtual void SaveState();
    virtual void RestoreState();

    std::unique_ptr<TWideListBoxStrings> FItems;
    std::unique_ptr<TWideStringList> FSaved;
    int FSavedTop = 0, FSavedIndex = -1, FVirtualCount = 0;
    classlib::TCanvas FCanvas;
    TListBoxStyle FStyle = lbStandard;
    bool FMoving = false;
    bool FPutting = false;  // Put deletes and inserts the same item

private:
    bool VirtualText(int index, std::wstring& text);
    int FLastLenIndex = -1;
    int FLastLen = 0;
};

class TWideListBox : public TWideCustomListBox {
public:
    using TWideCustomListBox::TWideCustomListBox;
};

}  // namespace wide
