#include "controls/wide/widelistview.h"

#include "controls/wide/wideowner_p.h"
#include "classlib/errors.h"
#include "controls/wide/widecanvas.h"
#include "controls/wide/widecontrols.h"

#include <algorithm>

namespace wide {

using namespace classlib;

namespace {

HWND WndOf(TWideCustomListView* lv) { return lv->HandleAllocated() ? lv->Handle() : nullptr; }

}  // namespace

// --- TWideListItem ----------------------------------------------------------------------------

TWideListItem::TWideListItem(TWideListItems* owner) : FOwner(owner) {
    FSubItems.OnChange = [this](TWideStrings&) { Refresh(); };
}

TWideCustomListView* TWideListItem::ListView() const { return FOwner->FOwner; }

int TWideListItem::Index() const {
    if (this == ListView()->FTempItem.get()) return FTempIndex;
    return FOwner->IndexOf(this);
}

void TWideListItem::Refresh() {
    HWND wnd = WndOf(ListView());
    if (!wnd || ListView()->FRebuilding) return;
    int i = Index();
    if (i >= 0) SendMessageW(wnd, LVM_REDRAWITEMS, i, i);
}

void TWideListItem::SetCaption(const std::wstring& value) {
    FCaption = value;
    Refresh();
}

void TWideListItem::SetImageIndex(int value) {
    FImageIndex = value;
    HWND wnd = WndOf(ListView());
    int i = Index();
    if (!wnd || i < 0) return;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = i;
    item.iImage = value;
    SendMessageW(wnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

UINT TWideListItem::ImageStateBits(UINT& mask) const {
    mask = LVIS_OVERLAYMASK;
    UINT state = INDEXTOOVERLAYMASK(FOverlayIndex > 0 ? FOverlayIndex : 0);
    if (!ListView()->FCheckboxes) {
        mask |= LVIS_STATEIMAGEMASK;
        state |= INDEXTOSTATEIMAGEMASK(FStateIndex >= 0 ? FStateIndex + 1 : 0);
    }
    return state;
}

void TWideListItem::SetOverlayIndex(int value) {
    FOverlayIndex = value;
    SetState(INDEXTOOVERLAYMASK(value > 0 ? value : 0), LVIS_OVERLAYMASK);
}

void TWideListItem::SetStateIndex(int value) {
    FStateIndex = value;
    if (!ListView()->FCheckboxes) SetState(INDEXTOSTATEIMAGEMASK(value >= 0 ? value + 1 : 0), LVIS_STATEIMAGEMASK);
}

void TWideListItem::SetIndent(int value) {
    FIndent = value;
    HWND wnd = WndOf(ListView());
    int i = Index();
    if (!wnd || i < 0) return;
    LVITEMW item{};
    item.mask = LVIF_INDENT;
    item.iItem = i;
    item.iIndent = value;
    SendMessageW(wnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TWideListItem::SetState(UINT state, UINT mask) {
    HWND wnd = WndOf(ListView());
    int i = Index();
    if (!wnd || i < 0) return;
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(wnd, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
}

bool TWideListItem::Selected() const {
    HWND wnd = WndOf(ListView());
    int i = Index();
    if (!wnd || i < 0) return FSelected;
    return SendMessageW(wnd, LVM_GETITEMSTATE, i, LVIS_SELECTED) != 0;
}

void TWideListItem::SetSelected(bool value) {
    FSelected = value;
    SetState(value ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

bool TWideListItem::Focused() const {
    HWND wnd = WndOf(ListView());
    int i = Index();
    if (!wnd || i < 0) return FFocused;
    return SendMessageW(wnd, LVM_GETITEMSTATE, i, LVIS_FOCUSED) != 0;
}

void TWideListItem::SetFocused(bool value) {
    FFocused = value;
    SetState(value ? LVIS_FOCUSED : 0, LVIS_FOCUSED);
}

bool TWideListItem::Checked() const {
    HWND wnd = WndOf(ListView());
    int i = Index();
    if (!wnd || i < 0 || !ListView()->FCheckboxes) return FChecked;
    return (SendMessageW(wnd, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void TWideListItem::SetChecked(bool value) {
    FChecked = value;
    if (ListView()->FCheckboxes) SetState(INDEXTOSTATEIMAGEMASK(value ? 2 : 1), LVIS_STATEIMAGEMASK);
}

void TWideListItem::MakeVisible() {
    HWND wnd = WndOf(ListView());
    if (wnd) SendMessageW(wnd, LVM_ENSUREVISIBLE, Index(), FALSE);
}

bool TWideListItem::EditCaption() {
    TWideCustomListView* lv = ListView();
    HWND wnd = lv->Handle();
    SetFocus(wnd);
    return SendMessageW(wnd, LVM_EDITLABELW, Index(), 0) != 0;
}

void TWideListItem::Delete() { FOwner->Delete(Index()); }

void TWideListItem::Assign(const TWideListItem& source) {
    FCaption = source.FCaption;
    FData = source.FData;
    FSubItems.Assign(source.FSubItems);
    SetImageIndex(source.FImageIndex);
    SetIndent(source.FIndent);
    SetOverlayIndex(source.FOverlayIndex);
    SetStateIndex(source.FStateIndex);
    SetChecked(source.Checked());
    Refresh();
}

// --- TWideListItems -------------------------------------------------------------------------

TWideListItem* TWideListItems::Insert(int index) {
    index = std::clamp(index, 0, static_cast<int>(FItems.size()));
    std::unique_ptr<TWideListItem> item = FOwner->CreateListItem();
    TWideListItem* result = item.get();
    FItems.insert(FItems.begin() + index, std::move(item));
    InsertIntoWindow(index);
    return result;
}

void TWideListItems::InsertIntoWindow(int index) {
    HWND wnd = WndOf(FOwner);
    if (!wnd || FOwner->FOwnerData) return;
    TWideListItem* it = FItems[static_cast<size_t>(index)].get();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE | LVIF_INDENT;
    item.iIndent = it->FIndent;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.lParam = reinterpret_cast<LPARAM>(it);
    item.iImage = it->FImageIndex;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = (it->FSelected ? LVIS_SELECTED : 0) | (it->FFocused ? LVIS_FOCUSED : 0);
    UINT imageMask = 0;
    item.state |= it->ImageStateBits(imageMask);
    item.stateMask |= imageMask;
    if (FOwner->FCheckboxes) {
        item.stateMask |= LVIS_STATEIMAGEMASK;
        item.state |= INDEXTOSTATEIMAGEMASK(it->FChecked ? 2 : 1);
    }
    int at = static_cast<int>(SendMessageW(wnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    // Every sub-item column asks for its text too.
    for (int c = 1; c < FOwner->FColumns->Count(); ++c) {
        LVITEMW sub{};
        sub.iSubItem = c;
        sub.pszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(wnd, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&sub));
    }
}

int TWideListItems::Count() const {
    if (FOwner->FOwnerData) return FOwner->FOwnerCount;
    return static_cast<int>(FItems.size());
}

TWideListItem* TWideListItems::Item(int index) const {
    if (FOwner->FOwnerData) return FOwner->ItemOfIndex(index);
    if (index < 0 || index >= static_cast<int>(FItems.size())) return nullptr;
    return FItems[static_cast<size_t>(index)].get();
}

int TWideListItems::IndexOf(const TWideListItem* item) const {
    if (item && item == FOwner->FTempItem.get()) return -1;
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item) return static_cast<int>(i);
    return -1;
}

void TWideListItems::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(FItems.size())) return;
    TWideListItem* item = FItems[static_cast<size_t>(index)].get();
    if (FOwner->OnDeletion) FOwner->OnDeletion(FOwner, item);
    if (FOwner->FEditing == item) FOwner->FEditing = nullptr;
    if (HWND wnd = WndOf(FOwner)) SendMessageW(wnd, LVM_DELETEITEM, index, 0);
    FItems.erase(FItems.begin() + index);
}

void TWideListItems::Clear() {
    BeginUpdate();
    if (FOwner->OnDeletion)
        for (auto& i : FItems) FOwner->OnDeletion(FOwner, i.get());
    FOwner->FEditing = nullptr;
    if (HWND wnd = WndOf(FOwner)) SendMessageW(wnd, LVM_DELETEALLITEMS, 0, 0);
    FItems.clear();
    EndUpdate();
}

void TWideListItems::BeginUpdate() {
    if (FUpdateCount++ == 0)
        if (HWND wnd = WndOf(FOwner)) SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
}

void TWideListItems::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        if (HWND wnd = WndOf(FOwner)) {
            SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
            FOwner->Invalidate();
        }
}

// --- columns ------------------------------------------------------------------------------------

int TWideListColumn::Index() const {
    auto& list = FOwner->FColumns->FColumns;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this) return static_cast<int>(i);
    return -1;
}

void TWideListColumn::Update() {
    HWND wnd = WndOf(FOwner);
    if (!wnd) return;
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = const_cast<wchar_t*>(FCaption.c_str());
    col.cx = FWidth;
    col.fmt = FAlignment;
    SendMessageW(wnd, LVM_SETCOLUMNW, Index(), reinterpret_cast<LPARAM>(&col));
}

void TWideListColumn::SetCaption(const std::wstring& value) {
    FCaption = value;
    Update();
}

int TWideListColumn::Width() const {
    HWND wnd = WndOf(FOwner);
    if (!wnd || FOwner->FWindowViewStyle != vsReport) return FWidth;
    return static_cast<int>(SendMessageW(wnd, LVM_GETCOLUMNWIDTH, Index(), 0));
}

void TWideListColumn::SetWidth(int value) {
    FWidth = value;
    Update();
}

void TWideListColumn::SetAlignment(int value) {
    FAlignment = value;
    Update();
}

TWideListColumn* TWideListColumns::Add() {
    FColumns.push_back(std::unique_ptr<TWideListColumn>(new TWideListColumn(FOwner)));
    FOwner->InsertColumnIntoWindow(Count() - 1);
    return FColumns.back().get();
}

TWideListColumn* TWideListColumns::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return FColumns[static_cast<size_t>(index)].get();
}

void TWideListColumns::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    if (HWND wnd = WndOf(FOwner)) {
        // Keep the columns' widths before the window forgets them.
        for (auto& c : FColumns) c->FWidth = c->Width();
        SendMessageW(wnd, LVM_DELETECOLUMN, index, 0);
    }
    FColumns.erase(FColumns.begin() + index);
}

void TWideListColumns::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

// --- TWideCustomListView ----------------------------------------------------------------------

TWideCustomListView::TWideCustomListView(TComponent* owner)
    : TWideEditingView(owner),
      FItems(std::make_unique<TWideListItems>(this)),
      FColumns(std::make_unique<TWideListColumns>(this)) {
    FTabStop = true;
    FWidth = 250;
    FHeight = 150;
    FColor = clWindow;
    FParentColor = false;
}

TWideCustomListView::~TWideCustomListView() {
    Destroying();
    if (FHandle) DestroyHandle();
}

void TWideCustomListView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = WC_LISTVIEWW;
    static const DWORD kView[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    p.Style |= kView[FViewStyle] | LVS_SHAREIMAGELISTS;
    if (!ReadOnly) p.Style |= LVS_EDITLABELS;
    if (!MultiSelect) p.Style |= LVS_SINGLESEL;
    if (!HideSelection) p.Style |= LVS_SHOWSELALWAYS;
    if (!ShowColumnHeaders) p.Style |= LVS_NOCOLUMNHEADER;
    if (FOwnerData) p.Style |= LVS_OWNERDATA;
    if (OwnerDraw && FViewStyle == vsReport) p.Style |= LVS_OWNERDRAWFIXED;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

DWORD TWideCustomListView::ExtendedStyle() const {
    DWORD ex = 0;
    if (RowSelect) ex |= LVS_EX_FULLROWSELECT;
    if (GridLines) ex |= LVS_EX_GRIDLINES;
    if (FCheckboxes) ex |= LVS_EX_CHECKBOXES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
    return ex;
}

void TWideCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    FWindowViewStyle = FViewStyle;
    SendMessageW(FHandle, CCM_SETUNICODEFORMAT, TRUE, 0);
    SendMessageW(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ExtendedStyle());
    if (FSmallImages) SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages->Handle()));
    if (FLargeImages) SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FLargeImages->Handle()));
    FRebuilding = true;
    for (int c = 0; c < FColumns->Count(); ++c) InsertColumnIntoWindow(c);
    if (FOwnerData) {
        SendMessageW(FHandle, LVM_SETITEMCOUNT, FOwnerCount, 0);
    } else {
        SendMessageW(FHandle, LVM_SETITEMCOUNT, FItems->FItems.size(), 0);
        for (size_t i = 0; i < FItems->FItems.size(); ++i) FItems->InsertIntoWindow(static_cast<int>(i));
    }
    FRebuilding = false;
}

void TWideCustomListView::WMDestroy(TMessage& m) {
    // The items keep their states for the next window.
    if (!FOwnerData) {
        for (auto& it : FItems->FItems) {
            it->FSelected = it->Selected();
            it->FFocused = it->Focused();
            it->FChecked = it->Checked();
        }
    }
    for (auto& c : FColumns->FColumns) c->FWidth = c->Width();
    FRebuilding = true;
    TWinControl::WMDestroy(m);
    FRebuilding = false;
}

void TWideCustomListView::InsertColumnIntoWindow(int index) {
    if (!HandleAllocated()) return;
    TWideListColumn* column = FColumns->Items(index);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(column->FCaption.c_str());
    col.cx = column->FWidth;
    col.fmt = column->FAlignment;
    col.iSubItem = index;
    SendMessageW(FHandle, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
    if (index > 0 && !FOwnerData && !FRebuilding) {
        for (size_t i = 0; i < FItems->FItems.size(); ++i) {
            LVITEMW sub{};
            sub.iSubItem = index;
            sub.pszText = LPSTR_TEXTCALLBACKW;
            SendMessageW(FHandle, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&sub));
        }
    }
}

void TWideCustomListView::SetViewStyle(TViewStyle value) {
    if (value == FViewStyle) return;
    FViewStyle = value;
    RecreateWnd();
}

void TWideCustomListView::SetCheckboxes(bool value) {
    if (value == FCheckboxes) return;
    if (HandleAllocated() && !FOwnerData)
        for (auto& it : FItems->FItems) it->FChecked = it->Checked();
    FCheckboxes = value;
    RecreateWnd();
}

void TWideCustomListView::SetOwnerData(bool value) {
    if (value == FOwnerData) return;
    if (value) FItems->Clear();
    FOwnerData = value;
    RecreateWnd();
}

void TWideCustomListView::SetItemCount(int count) {
    FOwnerCount = std::max(0, count);
    if (FOwnerData && HandleAllocated()) SendMessageW(FHandle, LVM_SETITEMCOUNT, FOwnerCount, 0);
}

int TWideCustomListView::ItemCount() { return FItems->Count(); }

void TWideCustomListView::SetSmallImages(TImageList* images) {
    FSmallImages = images;
    if (HandleAllocated())
        SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TWideCustomListView::SetLargeImages(TImageList* images) {
    FLargeImages = images;
    if (HandleAllocated())
        SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

TWideListItem* TWideCustomListView::ItemOfIndex(int index) {
    if (!FOwnerData) return FItems->Item(index);
    if (index < 0 || index >= FOwnerCount) return nullptr;
    if (!FTempItem) FTempItem = CreateListItem();
    FTempItem->FCaption.clear();
    FTempItem->FSubItems.OnChange = nullptr;
    FTempItem->FSubItems.Clear();
    FTempItem->FData = nullptr;
    FTempItem->FImageIndex = -1;
    FTempItem->FOverlayIndex = FTempItem->FStateIndex = -1;
    FTempItem->FIndent = 0;
    FTempItem->FTempIndex = index;
    if (OnData) OnData(this, FTempItem.get());
    return FTempItem.get();
}

TWideListItem* TWideCustomListView::Selected() {
    if (!HandleAllocated()) {
        for (auto& it : FItems->FItems)
            if (it->FSelected) return it.get();
        return nullptr;
    }
    int i = static_cast<int>(SendMessageW(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return i < 0 ? nullptr : ItemOfIndex(i);
}

void TWideCustomListView::SetSelected(TWideListItem* item) {
    HWND wnd = Handle();
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (auto& it : FItems->FItems) it->FSelected = false;
    if (item) {
        item->SetSelected(true);
        item->SetFocused(true);
    }
}

TWideListItem* TWideCustomListView::ItemFocused() {
    int i = static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    return i < 0 ? nullptr : ItemOfIndex(i);
}

int TWideCustomListView::SelCount() { return static_cast<int>(SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)); }

TWideListItem* TWideCustomListView::GetItemAt(int x, int y) {
    LVHITTESTINFO info{};
    info.pt = {x, y};
    int i = static_cast<int>(SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (i < 0 || !(info.flags & LVHT_ONITEM)) return nullptr;
    return ItemOfIndex(i);
}

namespace {

struct SortContext {
    TWideCustomListView* View;
    std::function<int(TWideListItem*, TWideListItem*)> Compare;
};

int CALLBACK SortCallback(LPARAM a, LPARAM b, LPARAM context) {
    auto* ctx = reinterpret_cast<SortContext*>(context);
    int result = 0;
    GuardedCall([&] { result = ctx->Compare(reinterpret_cast<TWideListItem*>(a), reinterpret_cast<TWideListItem*>(b)); });
    return result;
}

}  // namespace

void TWideCustomListView::AlphaSort() {
    if (FOwnerData) return;
    auto compare = [this](TWideListItem* a, TWideListItem* b) {
        if (OnCompare) {
            int result = 0;
            OnCompare(this, a, b, 0, result);
            return result;
        }
        return lstrcmpW(a->FCaption.c_str(), b->FCaption.c_str());
    };
    auto& items = FItems->FItems;
    if (!HandleAllocated()) {
        std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) { return compare(a.get(), b.get()) < 0; });
        return;
    }
    SortContext ctx{this, compare};
    SendMessageW(FHandle, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&ctx), reinterpret_cast<LPARAM>(SortCallback));
    // The model follows the window's new order.
    std::vector<std::unique_ptr<TWideListItem>> sorted;
    sorted.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        SendMessageW(FHandle, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        auto* p = reinterpret_cast<TWideListItem*>(item.lParam);
        for (auto& owned : items)
            if (owned.get() == p) {
                sorted.push_back(std::move(owned));
                break;
            }
    }
    if (sorted.size() == items.size()) items = std::move(sorted);
}

void TWideCustomListView::AddItem(const std::wstring& caption, void* object) {
    TWideListItem* item = FItems->Add();
    item->SetCaption(caption);
    item->SetData(object);
}

void TWideCustomListView::CopySelection(IWideItemList* destination) {
    if (!destination) return;
    for (int i = 0, n = FItems->Count(); i < n; ++i) {
        TWideListItem* item = FItems->Item(i);
        if (item && item->Selected()) destination->AddItem(item->Caption(), item->Data());
    }
}

std::unique_ptr<TWideListItem> TWideCustomListView::CreateListItem() {
    TWideListItemClass itemClass = [](TWideListItems* owner) {
        return std::unique_ptr<TWideListItem>(new TWideListItem(owner));
    };
    if (OnCreateItemClass) OnCreateItemClass(this, itemClass);
    std::unique_ptr<TWideListItem> item = itemClass ? itemClass(FItems.get()) : nullptr;
    // An item made for another collection would be listed here but refer to that one.
    if (!item || item->FOwner != FItems.get())
        throw EWideInternalError(L"Internal Error: OnCreateItemClass.ItemClass must inherit from TWideListItem.");
    return item;
}

int TWideCustomListView::OwnerDataFindWide(TItemFind find, const std::wstring& findString, const POINT& findPosition,
                                           void* findData, int startIndex, TSearchDirection direction, bool wrap) {
    int index = -1;
    if (OnDataFind) OnDataFind(this, find, findString, findPosition, findData, startIndex, direction, wrap, index);
    return index;
}

void TWideCustomListView::CNDrawItem(TMessage& m) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    m.Result = 1;
    TWideListItem* item = nullptr;
    if (!FOwnerData && dis->itemData) item = reinterpret_cast<TWideListItem*>(dis->itemData);
    if (!item) item = ItemOfIndex(static_cast<int>(dis->itemID));
    if (!item) return;
    TOwnerDrawState state = PrepareOwnerDraw(FCanvas, *dis, *this);
    GuardedCall([&] {
        if (OnDrawItem)
            OnDrawItem(this, item, dis->rcItem, state);
        else
            DrawItem(item, dis->rcItem, state);
    });
    FCanvas.SetHandle(nullptr);
}

void TWideCustomListView::DrawItem(TWideListItem* item, RECT rect, TOwnerDrawState) {
    FCanvas.FillRect(rect);
    WideCanvasTextOut(FCanvas, rect.left + 2, rect.top, item->FCaption);
}

void TWideCustomListView::WndProc(TMessage& m) {
    // Check-box lists always keep sub-item images and info tips, whatever style is set later.
    if (m.Msg == LVM_SETEXTENDEDLISTVIEWSTYLE && FCheckboxes) m.LParam |= LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
    if (m.Msg == WM_NOTIFY && m.LParam && FHandle) {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        if (hdr->hwndFrom && hdr->hwndFrom == reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0))) {
            HeaderNotify(m);
            return;
        }
    }
    TWinControl::WndProc(m);
}

void TWideCustomListView::HeaderNotify(TMessage& m) {
    // The header reports in either character form; both carry the same fields up to the width.
    auto* nm = reinterpret_cast<NMHEADERW*>(m.LParam);
    UINT code = nm->hdr.code;
    bool tracking = code == HDN_TRACKW || code == HDN_TRACKA || code == HDN_ENDTRACKW || code == HDN_ENDTRACKA;
    TWideListColumn* column = FColumns->Items(nm->iItem);
    if (tracking && column && nm->pitem && (nm->pitem->mask & HDI_WIDTH)) {
        int& cxy = nm->pitem->cxy;
        if (column->MinWidth > 0 && cxy < column->MinWidth) cxy = column->MinWidth;
        if (column->MaxWidth > 0 && cxy > column->MaxWidth) cxy = column->MaxWidth;
    }
    TWinControl::WndProc(m);
    bool ended = code == HDN_ENDTRACKW || code == HDN_ENDTRACKA || code == HDN_DIVIDERDBLCLICKW || code == HDN_DIVIDERDBLCLICKA;
    if (!ended || !column || !FHandle) return;
    int width = static_cast<int>(SendMessageW(FHandle, LVM_GETCOLUMNWIDTH, nm->iItem, 0));
    int limited = width;
    if (column->MinWidth > 0 && limited < column->MinWidth) limited = column->MinWidth;
    if (column->MaxWidth > 0 && limited > column->MaxWidth) limited = column->MaxWidth;
    if (limited != width) SendMessageW(FHandle, LVM_SETCOLUMNWIDTH, nm->iItem, limited);
    column->FWidth = limited;
}

bool TWideCustomListView::CanEdit(TWideListItem* item) {
    bool allow = true;
    if (OnEditing) OnEditing(this, item, allow);
    return allow;
}

void TWideCustomListView::Edit(const LVITEMW& lv) {
    TWideListItem* item = ItemOfIndex(lv.iItem);
    if (!item || !lv.pszText) return;
    std::wstring s = lv.pszText;
    if (OnEdited) OnEdited(this, item, s);
    item->SetCaption(s);
}

void TWideCustomListView::HookEditor() {
    HookInPlaceEditor(reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETEDITCONTROL, 0, 0)));
}

void TWideCustomListView::CNNotify(TMessage& m) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    m.Result = 0;
    switch (hdr->code) {
    case LVN_BEGINDRAG:
        if (DragMode == dmAutomatic) BeginDrag(true);
        return;
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
        LVITEMW& lv = info->item;
        TWideListItem* item = nullptr;
        if (!FOwnerData && (lv.mask & LVIF_PARAM) && lv.lParam)
            item = reinterpret_cast<TWideListItem*>(lv.lParam);
        else
            item = ItemOfIndex(lv.iItem);
        if (!item) return;
        if ((lv.mask & LVIF_TEXT) && lv.pszText && lv.cchTextMax > 0) {
            const std::wstring* text = nullptr;
            std::wstring sub;
            if (lv.iSubItem == 0) {
                text = &item->FCaption;
            } else {
                // A sub-item beyond the item's count shows empty.
                if (lv.iSubItem - 1 < item->FSubItems.GetCount()) sub = item->FSubItems.Get(lv.iSubItem - 1);
                text = &sub;
            }
            size_t n = std::min(text->size(), static_cast<size_t>(lv.cchTextMax - 1));
            std::copy_n(text->c_str(), n, lv.pszText);
            lv.pszText[n] = L'\0';
        }
        if (FOwnerData && (lv.mask & LVIF_IMAGE) && lv.iSubItem == 0) lv.iImage = item->FImageIndex;
        return;
    }
    case LVN_GETINFOTIPW: {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(m.LParam);
        if (!OnInfoTip || !tip->pszText || tip->cchTextMax <= 0) return;
        TWideListItem* item = ItemOfIndex(tip->iItem);
        if (!item) return;
        std::wstring text = tip->pszText;
        OnInfoTip(this, item, text);
        size_t n = std::min(text.size(), static_cast<size_t>(tip->cchTextMax - 1));
        std::copy_n(text.c_str(), n, tip->pszText);
        tip->pszText[n] = L'\0';
        return;
    }
    case LVN_ODFINDITEMW: {
        auto* nm = reinterpret_cast<NMLVFINDITEMW*>(m.LParam);
        const LVFINDINFOW& fi = nm->lvfi;
        TItemFind find = ifData;
        if (fi.flags & LVFI_PARAM)
            find = ifData;
        else if (fi.flags & LVFI_PARTIAL)
            find = ifPartialString;
        else if (fi.flags & LVFI_STRING)
            find = ifExactString;
        else if (fi.flags & LVFI_NEARESTXY)
            find = ifNearest;
        std::wstring text;
        if ((fi.flags & (LVFI_STRING | LVFI_PARTIAL)) && fi.psz) text = fi.psz;
        TSearchDirection direction;
        switch (fi.vkDirection) {
        case VK_LEFT: direction = sdLeft; break;
        case VK_RIGHT: direction = sdRight; break;
        case VK_UP: direction = sdAbove; break;
        case VK_DOWN: direction = sdBelow; break;
        default: direction = sdAll; break;
        }
        m.Result = OwnerDataFindWide(find, text, fi.pt, reinterpret_cast<void*>(fi.lParam), nm->iStart, direction,
                                     (fi.flags & LVFI_WRAP) != 0);
        return;
    }
    case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if (FRebuilding || !OnSelectItem || !(nm->uChanged & LVIF_STATE)) return;
        bool was = (nm->uOldState & LVIS_SELECTED) != 0, now = (nm->uNewState & LVIS_SELECTED) != 0;
        if (was != now && nm->iItem >= 0) OnSelectItem(this, ItemOfIndex(nm->iItem), now);
        return;
    }
    case LVN_COLUMNCLICK: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if (OnColumnClick) OnColumnClick(this, FColumns->Items(nm->iSubItem));
        return;
    }
    case LVN_BEGINLABELEDITW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
        TWideListItem* item = ItemOfIndex(info->item.iItem);
        m.Result = (!item || !CanEdit(item)) ? 1 : 0;
        if (m.Result == 0) {
            FEditing = item;
            if (HWND edit = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETEDITCONTROL, 0, 0)))
                SetWindowTextW(edit, item->FCaption.c_str());
            HookEditor();
        }
        return;
    }
    case LVN_ENDLABELEDITW: {
        // Some versions of the control report the end twice; the first one counts.
        if (!FEditing) return;
        FEditing = nullptr;
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
        if (info->item.pszText && info->item.iItem != -1) Edit(info->item);
        return;
    }
    default: return;
    }
}

}  // namespace wide
