#include "controls/toolbar/tbview.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbmodal.h"

#include <algorithm>
#include <unordered_map>

namespace toolbar {

using namespace classlib;

namespace {

bool IsLoading(const TComponent* c) { return c && (c->ComponentState() & csLoading); }

}  // namespace

void TBarView::TListener::ItemChanged(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action,
                                      int index, TBarCustomItem* item) {
    if (FParent)
        FView->ParentItemNotify(ancestor, relayed, action, index, item);
    else
        FView->ItemNotify(ancestor, relayed, action, index, item);
}

TBarView::TBarView(TComponent* owner, TBarView* parentView, TBarCustomItem* parentItem, TWinControl* window,
                   bool isToolbar, bool customizing, bool usePriorityList)
    : TComponent(owner),
      FParentView(parentView),
      FWindow(window),
      FIsToolbar(isToolbar),
      FCustomizing(customizing),
      FUsePriorityList(usePriorityList) {
    PlugMenuLoopIntoAccessibility();
    FParentItem = parentItem;
    FParentItemSeen = parentItem;
    if (parentItem) parentItem->AddChangeListener(&FParentListener);
    LinkChanged();
}

TBarView::~TBarView() {
    if (Application) Application->CancelQueuedCalls(this);
    CloseChildPopups();
    if (FParentView && FParentView->FIsToolbar) {
        if (FParentView->FOpenViewer) FParentView->InvalidateViewer(FParentView->FOpenViewer);
        FParentView->FState |= tbvsChildPopupDestroyed;
    }
    if (FShownLevel) FShownLevel->RemoveChangeListener(&FItemListener);
    if (FParentItem) FParentItem->RemoveChangeListener(&FParentListener);
    FSelected = nullptr;
    FPriorityList.clear();
    FreeViewers();
}

// --- structure ---------------------------------------------------------------------------

TBarView* TBarView::GetRootView() {
    TBarView* v = this;
    while (v->FParentView) v = v->FParentView;
    return v;
}

TBarView* TBarView::GetParentToolbarView() {
    TBarView* v = this;
    while (v && !v->FIsToolbar) v = v->FParentView;
    return v;
}

bool TBarView::ContainsView(const TBarView* view) const {
    for (const TBarView* v = view; v; v = v->FParentView)
        if (v == this) return true;
    return false;
}

void TBarView::LinkChanged() {
    TBarCustomItem* level = FParentItem ? FParentItem->SubitemsSource() : nullptr;
    if (level == FShownLevel) return;
    CloseChildPopups();
    if (FShownLevel) FShownLevel->RemoveChangeListener(&FItemListener);
    FShownLevel = level;
    if (level) level->AddChangeListener(&FItemListener);
    RebuildViewers();
    if (level)
        for (auto& v : std::vector<TBarItemViewer*>(ViewerPointers())) v->Item()->InitiateAction();
}

std::vector<TBarItemViewer*> TBarView::ViewerPointers() const {
    std::vector<TBarItemViewer*> list;
    list.reserve(FViewers.size());
    for (auto& v : FViewers) list.push_back(v.get());
    return list;
}

void TBarView::ParentItemFreed() {
    // The item is going: its own listener list goes with it.
    TBarCustomItem* dead = FParentItemSeen;
    FParentItemSeen = nullptr;
    if (FShownLevel == dead) {
        FShownLevel = nullptr;
        CloseChildPopups();
        RebuildViewers();
    } else {
        LinkChanged();
    }
    // This view may be a popup of the parent view: it closes it once the item is gone.
    if (FParentView && Application) {
        TBarView* parent = FParentView;
        Application->QueueCall([parent] { parent->CloseChildPopups(); }, parent);
    }
}

// --- viewers -----------------------------------------------------------------------------

void TBarView::FreeViewers() {
    // Last first, each out of the list before it goes.
    while (!FViewers.empty()) FViewers.pop_back();
}

void TBarView::RebuildViewers() {
    CloseChildPopups();
    Select(nullptr, false);
    InvalidatePositions();
    FValidated = false;
    FPriorityList.clear();
    FreeViewers();
    FLeadingSpecialCount = FTrailingSpecialCount = 0;
    if (TBarCustomItem* system = QueryMDISystemMenuItem())
        FLeadingSpecialCount = InsertItemViewers(ViewerCount(), system, false, false, 0);
    if (FShownLevel)
        for (int i = 0; i < FShownLevel->Count(); ++i)
            InsertItemViewers(ViewerCount(), FShownLevel->GetItem(i), false, true, 0);
    if (TBarCustomItem* buttons = QueryMDIButtonsItem())
        for (int i = 0; i < buttons->Count(); ++i)
            FTrailingSpecialCount += InsertItemViewers(ViewerCount(), buttons->GetItem(i), false, false, 0);
    if (TBarCustomItem* chevron = QueryChevronItem())
        FTrailingSpecialCount += InsertItemViewers(ViewerCount(), chevron, false, false, 0);
}

int TBarView::InsertItemViewers(int index, TBarCustomItem* item, bool toFrontOfPriority, bool enterInPriority,
                                int groupLevel) {
    if (groupLevel > 10) return 0;
    std::unique_ptr<TBarItemViewer> made = item->GetItemViewerClass(this)(this, item, groupLevel);
    TBarItemViewer* viewer = made.get();
    FViewers.insert(FViewers.begin() + index, std::move(made));
    if (enterInPriority && FUsePriorityList) {
        if (toFrontOfPriority)
            FPriorityList.insert(FPriorityList.begin(), viewer);
        else
            FPriorityList.push_back(viewer);
    }
    int inserted = 1;
    if (!FCustomizing && (item->ItemStyle() & tbstEmbeddedGroup)) {
        TBarCustomItem* source = item->SubitemsSource();
        for (int i = 0; i < source->Count(); ++i)
            inserted += InsertItemViewers(index + inserted, source->GetItem(i), toFrontOfPriority, enterInPriority,
                                          groupLevel + 1);
    }
    return inserted;
}

void TBarView::RecreateViewer(int index) {
    TBarItemViewer* old = FViewers[static_cast<size_t>(index)].get();
    if (old == FSelected) Select(nullptr, false);
    if (old == FOpenViewer) CloseChildPopups();
    TBarCustomItem* item = old->Item();
    std::unique_ptr<TBarItemViewer> made = item->GetItemViewerClass(this)(this, item, old->GroupLevel());
    std::replace(FPriorityList.begin(), FPriorityList.end(), old, made.get());
    FViewers[static_cast<size_t>(index)] = std::move(made);
}

void TBarView::RemoveViewerAt(int index) {
    const int level = FViewers[static_cast<size_t>(index)]->GroupLevel();
    int end = index + 1;
    while (end < ViewerCount() && FViewers[static_cast<size_t>(end)]->GroupLevel() > level) ++end;
    for (int i = index; i < end; ++i) {
        TBarItemViewer* v = FViewers[static_cast<size_t>(i)].get();
        if (v == FSelected) Select(nullptr, false);
        if (v == FOpenViewer) CloseChildPopups();
        FPriorityList.erase(std::remove(FPriorityList.begin(), FPriorityList.end(), v), FPriorityList.end());
    }
    // The list may have changed under the calls above (a viewer's OnSelect handler).
    for (int i = end; i-- > index;)
        if (i < ViewerCount()) FViewers.erase(FViewers.begin() + i);
}

void TBarView::DeleteViewersOf(TBarCustomItem* item) {
    for (int i = 0; i < ViewerCount();) {
        if (FViewers[static_cast<size_t>(i)]->Item() == item)
            RemoveViewerAt(i);
        else
            ++i;
    }
}

TBarItemViewer* TBarView::ViewerOfItem(TBarCustomItem* item) {
    for (auto& v : FViewers)
        if (v->Item() == item) return v.get();
    throw ETBItemError(STBViewerNotFound);
}

int TBarView::IndexOfViewer(const TBarItemViewer* viewer) const {
    for (size_t i = 0; i < FViewers.size(); ++i)
        if (FViewers[i].get() == viewer) return static_cast<int>(i);
    return -1;
}

TBarItemViewer* TBarView::ViewerAtPoint(POINT p) {
    EnsurePositionsValid();
    for (auto& v : FViewers)
        if (v->Show && PtInRect(&v->BoundsRect, p)) return v.get();
    return nullptr;
}

// Where a viewer of `item`, inserted into `ancestor` (the shown level or an embedded group
// shown here), goes: before the viewer of its next sibling that has one, else at the end
// of the range of its group. -1: nowhere (the group is not shown, or the item already has a viewer).
int TBarView::FindInsertionIndex(TBarCustomItem* ancestor, TBarCustomItem* item, int& groupLevel) {
    auto inRange = [&](int start, int end, int level) {
        for (int i = start; i < end; ++i) {
            const auto& v = FViewers[static_cast<size_t>(i)];
            if (v->Item() == item && v->GroupLevel() == level) return -2;
        }
        if (end == ViewerCount()) end = std::max(start, end - FTrailingSpecialCount);
        // Before the next sibling that is shown here (one inserted while this insertion
        // is being told may not be yet).
        TBarCustomItem* parent = item->Parent();
        for (int s = parent->IndexOf(item) + 1; s > 0 && s < parent->Count(); ++s) {
            TBarCustomItem* next = parent->GetItem(s);
            for (int i = start; i < end; ++i) {
                const auto& v = FViewers[static_cast<size_t>(i)];
                if (v->Item() == next && v->GroupLevel() == level) return i;
            }
        }
        return end;
    };
    if (ancestor == FShownLevel) {
        groupLevel = 0;
        const int at = inRange(0, ViewerCount(), 0);
        return at >= 0 ? at : -1;
    }
    if (FCustomizing) return -1;
    for (int g = 0; g < ViewerCount(); ++g) {
        if (FViewers[static_cast<size_t>(g)]->Item() != ancestor) continue;
        const int level = FViewers[static_cast<size_t>(g)]->GroupLevel() + 1;
        int end = g + 1;
        while (end < ViewerCount() && FViewers[static_cast<size_t>(end)]->GroupLevel() >= level) ++end;
        const int at = inRange(g + 1, end, level);
        if (at >= 0) {
            groupLevel = level;
            return at;
        }
    }
    return -1;
}

void TBarView::ItemNotify(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action, int,
                          TBarCustomItem* item) {
    switch (action) {
    case tbicInserted: {
        InvalidatePositions();
        // A listener before this one may already have moved or removed the item.
        if (!item || !ancestor || item->Parent() != ancestor->SubitemsSource()) break;
        int level = 0;
        const int at = FindInsertionIndex(ancestor, item, level);
        if (at >= 0)
            InsertItemViewers(at, item, NewViewersGetHighestPriority && !IsLoading(item), true, level);
        break;
    }
    case tbicDeleting:
        InvalidatePositions();
        DeleteViewersOf(item);
        break;
    case tbicSubitemsChanged:
        if (relayed) RebuildViewers();
        break;
    case tbicSubitemsBeginUpdate:
        BeginUpdate();
        break;
    case tbicSubitemsEndUpdate:
        EndUpdate();
        return;
    case tbicInvalidate:
        for (auto& v : FViewers)
            if (v->Item() == item) InvalidateViewer(v.get());
        break;
    case tbicInvalidateAndResize:
        InvalidatePositions();
        break;
    case tbicRecreateItemViewers:
        InvalidatePositions();
        for (int i = 0; i < ViewerCount(); ++i)
            if (FViewers[static_cast<size_t>(i)]->Item() == item) RecreateViewer(i);
        break;
    case tbicSubMenuImagesChanged:
        ImagesChanged();
        return;
    case tbicNameChanged:
        return;
    }
    ValidatePositionsIfReady();
}

void TBarView::ParentItemNotify(TBarCustomItem*, bool, TBarItemChangedAction action, int, TBarCustomItem*) {
    if (action == tbicSubitemsChanged)
        LinkChanged();
    else if (action == tbicSubMenuImagesChanged && FParentItem.Get() != FShownLevel)
        ImagesChanged();
}

void TBarView::ImagesChanged() {
    InvalidatePositions();
    ValidatePositionsIfReady();
    if (FOpenView) FOpenView->ImagesChanged();
}

// --- priority ----------------------------------------------------------------------------

void TBarView::SetUsePriorityList(bool value) {
    if (value == FUsePriorityList) return;
    FUsePriorityList = value;
    RebuildViewers();
}

void TBarView::GivePriority(TBarItemViewer* viewer) {
    if (FChevronParentView) {
        // The chevron popup shows the toolbar's own items: the toolbar's viewer counts.
        const int i = IndexOfViewer(viewer);
        TBarView* toolbar = FChevronParentView;
        const int j = i < 0 ? -1 : i + toolbar->FLeadingSpecialCount;
        if (j >= 0 && j < toolbar->ViewerCount()) toolbar->GivePriority(toolbar->Viewers(j));
        return;
    }
    auto it = std::find(FPriorityList.begin(), FPriorityList.end(), viewer);
    if (it != FPriorityList.end()) {
        FPriorityList.erase(it);
        FPriorityList.insert(FPriorityList.begin(), viewer);
    }
    if (!FValidated || viewer->BeyondChevron) {
        InvalidatePositions();
        ValidatePositionsIfReady();
    }
    if (FParentView && FParentView->FOpenViewer) FParentView->GivePriority(FParentView->FOpenViewer);
}

TBarItemViewer* TBarView::HighestPriorityViewer() {
    if (!FPriorityList.empty()) {
        for (TBarItemViewer* v : FPriorityList)
            if (v->Show && !(v->Item()->ItemStyle() & tbstSeparator)) return v;
        return nullptr;
    }
    for (auto& v : FViewers)
        if (v->Show && !(v->Item()->ItemStyle() & tbstSeparator)) return v.get();
    return nullptr;
}

void TBarView::GetBeyondChevronControlList(std::vector<TWinControl*>& list) {
    for (auto& v : FViewers) {
        if (!v->BeyondChevron) continue;
        if (auto* ci = dynamic_cast<TBarControlItem*>(v->Item()))
            if (auto* w = dynamic_cast<TWinControl*>(ci->Control())) list.push_back(w);
    }
}

// --- layout ------------------------------------------------------------------------------

void TBarView::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) ValidatePositionsIfReady();
}

void TBarView::InvalidatePositions() {
    if (!FValidated) return;
    FValidated = false;
    if (FWindow && FWindow->HandleAllocated()) InvalidateRect(FWindow->Handle(), nullptr, TRUE);
}

void TBarView::EnsurePositionsValid() {
    if (FValidated) return;
    SIZE size{};
    RecalcPositions(size);
}

bool TBarView::WindowShowing() {
    return FWindow && FWindow->HandleAllocated() && IsWindowVisible(FWindow->Handle());
}

void TBarView::ValidatePositionsIfReady() {
    if (FValidated || FUpdateCount > 0) return;
    if (IsLoading(FParentItem) || (FParentItem && IsLoading(FParentItem->Owner()))) return;
    if (!WindowShowing()) return;  // laid out when first needed
    SIZE size{};
    RecalcPositions(size);
}

void TBarView::RecalcPositions(SIZE& totalSize) {
    totalSize = {0, 0};
    DoRecalcPositions(totalSize);
}

void TBarView::DoRecalcPositions(SIZE& totalSize) {
    TBarLayoutResult result;
    result.TotalSize = totalSize;
    const bool changed = CalculatePositions(true, FOrientation, FWrapOffset, FChevronOffset, FChevronSize, result);
    totalSize = result.TotalSize;
    FValidated = true;
    ResizeWindow(totalSize.cx, totalSize.cy);
    if (!changed || !FWindow || !FWindow->HandleAllocated()) return;
    // Paint the new arrangement at once, through a bitmap, so that nothing flickers.
    const HWND wnd = FWindow->Handle();
    ValidateRect(wnd, nullptr);
    RECT client{};
    GetClientRect(wnd, &client);
    if (!IsWindowVisible(wnd) || IsRectEmpty(&client)) return;
    TWindowDC dc(wnd);
    TMemoryBitmap picture(dc.Handle(), client.right, client.bottom);
    SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.DC()), 0);
    SendMessageW(wnd, WM_PAINT, reinterpret_cast<WPARAM>(picture.DC()), 0);
    picture.CopyTo(dc.Handle());
    ValidateRect(wnd, nullptr);
}

bool TBarView::IsChevronPopupCandidate(int index) {
    TBarView* toolbar = FChevronParentView;
    const int j = index + toolbar->FLeadingSpecialCount;
    if (j >= 0 && j < toolbar->ViewerCount() && toolbar->Viewers(j)->BeyondChevron) return true;
    return (FViewers[static_cast<size_t>(index)]->Item()->ItemStyle() & tbstSeparator) != 0;
}

bool TBarView::CalculatePositions(bool apply, TBarViewOrientation orientation, int wrapOffset, int chevronOffset,
                                  int chevronSize, TBarLayoutResult& result) {
    const TBarViewOrientation savedOrientation = FOrientation;
    FOrientation = orientation;
    auto restore = ScopeExit([&] { FOrientation = savedOrientation; });

    TBarCustomItem* chevron = QueryChevronItem();
    std::vector<TBarLayoutEntry> entries(FViewers.size());
    TWindowDC screen(nullptr);
    TCanvas canvas;
    TCanvasDCScope scope(canvas, screen.Handle());
    canvas.Font().Assign(QueryFont());
    const TFontStyles plain = canvas.Font().Style();

    for (size_t i = 0; i < FViewers.size(); ++i) {
        TBarItemViewer* viewer = FViewers[i].get();
        TBarCustomItem* item = viewer->Item();
        TBarLayoutEntry& e = entries[i];
        e.Style = item->ItemStyle();
        e.Separator = (e.Style & tbstSeparator) != 0;
        if (chevron && item == chevron) {
            e.Chevron = true;
            continue;
        }
        auto* controlItem = dynamic_cast<TBarControlItem*>(item);
        e.Control = controlItem != nullptr;
        bool candidate;
        if (controlItem) {
            TControl* control = controlItem->Control();
            candidate = !FChevronParentView && control && control->Parent() == FWindow && control->Visible();
        } else {
            candidate = item->Visible() && (FCustomizing || !(e.Style & tbstEmbeddedGroup));
            if (candidate && FChevronParentView) candidate = IsChevronPopupCandidate(static_cast<int>(i));
        }
        e.Candidate = candidate;
        if (!candidate) continue;
        if (controlItem) {
            e.Size = {controlItem->Control()->Width(), controlItem->Control()->Height()};
            e.ButtonSized = viewer->UsesToolbarSize();
            continue;
        }
        TBarItemViewer* measured = viewer;
        std::unique_ptr<TBarItemViewer> temporary;
        if (item->ViewerNeedsRecreate(viewer)) {
            if (apply) {
                RecreateViewer(static_cast<int>(i));
                measured = FViewers[i].get();
            } else {
                temporary = item->GetItemViewerClass(this)(this, item, viewer->GroupLevel());
                measured = temporary.get();
            }
        }
        canvas.Font().SetStyle((item->EffectiveOptions() & tboDefault) ? plain | fsBold : plain);
        int width = 0, height = 0;
        measured->CalcSize(canvas, width, height);
        e.Size = {width, height};
        e.SameWidth = measured->UsesSameWidth();
        e.ButtonSized = measured->UsesToolbarSize();
    }

    TBarLayoutParams params;
    params.Orientation = orientation;
    params.WrapOffset = wrapOffset;
    params.ChevronOffset = chevronOffset;
    params.ChevronSize = chevronSize;
    params.IsToolbar = FIsToolbar;
    params.ChevronPopup = FChevronParentView != nullptr;
    params.HasChevron = !entries.empty() && entries.back().Chevron;
    QueryMargins(orientation, params.Margins);
    params.MaxHeight = FMaxHeight;
    params.ScrollOffset = FScrollOffset;
    if (FUsePriorityList && !FPriorityList.empty()) {
        std::unordered_map<const TBarItemViewer*, int> index;
        for (size_t i = 0; i < FViewers.size(); ++i) index[FViewers[i].get()] = static_cast<int>(i);
        params.Priority.reserve(FPriorityList.size());
        for (TBarItemViewer* v : FPriorityList) {
            auto it = index.find(v);
            if (it != index.end()) params.Priority.push_back(it->second);
        }
    }
    LayoutViewers(entries, params, result);
    if (!apply) return false;

    // Hosted controls follow their items; hidden ones wait outside the visible part.
    const RECT client = FWindow ? FWindow->ClientRect() : RECT{};
    for (size_t i = 0; i < entries.size(); ++i) {
        const TBarLayoutEntry& e = entries[i];
        if (!e.Control) continue;
        TControl* control = static_cast<TBarControlItem*>(FViewers[i]->Item())->Control();
        if (!control) continue;
        if (e.Show) {
            const RECT b = control->BoundsRect();
            if (!EqualRect(&b, &e.Rect))
                control->SetBounds(e.Rect.left, e.Rect.top, e.Rect.right - e.Rect.left, e.Rect.bottom - e.Rect.top);
        } else if (e.OffEdge || e.Clipped) {
            control->SetBounds(client.right, client.bottom, control->Width(), control->Height());
        }
    }
    if (chevron && result.ChevronActive) chevron->SetEnabled(result.ChevronHasItems);

    bool changed = result.ShowUpArrow != FShowUpArrow || result.ShowDownArrow != FShowDownArrow;
    for (size_t i = 0; i < entries.size(); ++i) {
        TBarItemViewer* v = FViewers[i].get();
        const TBarLayoutEntry& e = entries[i];
        const bool lineSeparator = (v->State & tbvsLineSeparator) != 0;
        if (!EqualRect(&v->BoundsRect, &e.Rect) || v->Show != e.Show || lineSeparator != e.LineSeparator)
            changed = true;
        v->BoundsRect = e.Rect;
        v->Show = e.Show;
        v->BeyondChevron = e.OffEdge;
        v->ScrolledOut = e.Clipped;
        if (e.LineSeparator)
            v->State |= tbvsLineSeparator;
        else
            v->State &= static_cast<unsigned char>(~tbvsLineSeparator);
    }
    FBaseSize = result.BaseSize;
    FWrappedLines = result.WrappedLines;
    FScrollOffset = result.ScrollOffset;
    FShowUpArrow = result.ShowUpArrow;
    FShowDownArrow = result.ShowDownArrow;
    return changed;
}

void TBarView::SetOrientation(TBarViewOrientation value) {
    if (value == FOrientation) return;
    FOrientation = value;
    InvalidatePositions();
}

void TBarView::SetWrapOffset(int value) {
    if (value == FWrapOffset) return;
    FWrapOffset = value;
    InvalidatePositions();
}

void TBarView::SetChevronOffset(int value) {
    if (value == FChevronOffset) return;
    FChevronOffset = value;
    InvalidatePositions();
}

void TBarView::SetChevronSize(int value) {
    if (value == FChevronSize) return;
    FChevronSize = value;
    InvalidatePositions();
}

void TBarView::SetMaxHeight(int value) {
    if (value == FMaxHeight) return;
    FMaxHeight = value;
    InvalidatePositions();
}

void TBarView::SetScrollOffset(int value) {
    if (value == FScrollOffset) return;
    FScrollOffset = value;
    InvalidatePositions();
}

void TBarView::QueryMargins(TBarViewOrientation orientation, RECT& margins) {
    margins = orientation == tbvoFloating ? RECT{4, 2, 4, 1} : RECT{0, 0, 0, 0};
}

TFont& TBarView::QueryFont() { return FWindow ? FWindow->Font() : FFallbackFont; }

// --- painting ----------------------------------------------------------------------------

void TBarView::InvalidateViewer(TBarItemViewer* viewer) {
    if (!FValidated || !FWindow || !FWindow->HandleAllocated() || !viewer || !viewer->Show ||
        IsRectEmpty(&viewer->BoundsRect) || dynamic_cast<TBarControlItem*>(viewer->Item()))
        return;
    // A hidden window is erased whole when it shows: its items are painted straight over
    // that, without a background of their own each.
    if (WindowShowing()) viewer->State |= tbvsInvalidated;
    InvalidateRect(FWindow->Handle(), &viewer->BoundsRect, FALSE);
}

void TBarView::DrawSubitems(TCanvas& canvas) {
    EnsurePositionsValid();
    const bool inOrder = (FState & tbvsDrawSelectedInOrder) != 0;
    for (TBarItemViewer* v : ViewerPointers())
        if (inOrder || v != FSelected) DrawViewer(v, canvas, false);
    if (!inOrder && FSelected) DrawViewer(FSelected, canvas, false);
    FState &= ~tbvsDrawSelectedInOrder;
}

void TBarView::DrawViewer(TBarItemViewer* viewer, TCanvas& canvas, bool offscreen) {
    EnsurePositionsValid();
    if (viewer->State & tbvsInvalidated) {
        offscreen = true;
        viewer->State &= static_cast<unsigned char>(~tbvsInvalidated);
    }
    const RECT r = viewer->BoundsRect;
    if (!viewer->Show || IsRectEmpty(&r) || dynamic_cast<TBarControlItem*>(viewer->Item())) return;
    TBarCustomItem* item = viewer->Item();
    const bool selected = viewer == FSelected;
    const bool pushed = selected && (viewer == FOpenViewer || (FMouseOverSelected && FMouseTracking));
    const bool toolbarStyle = viewer->UsesToolbarStyle();
    const TColor windowColor = FWindow ? FWindow->Color() : clBtnFace;
    bool shadow = false;
    TColor textColor;
    if (item->Enabled()) {
        textColor = selected && !toolbarStyle ? clHighlightText : toolbarStyle ? clBtnText : clMenuText;
    } else {
        textColor = clGrayText;
        if (toolbarStyle)
            shadow = selected ? windowColor == clGrayText : windowColor == clBtnFace || windowColor == clGrayText;
    }
    auto prepare = [&](TCanvas& c) {
        c.Font().Assign(QueryFont());
        c.Font().SetColor(textColor);
        if (selected && !toolbarStyle) {
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(FlatMenusActive() ? clMenuHighlight : clHighlight);
        } else {
            c.Brush().SetStyle(bsClear);
        }
    };
    const int width = r.right - r.left, height = r.bottom - r.top;
    const RECT local{0, 0, width, height};
    if (offscreen) {
        TMemoryBitmap picture(canvas.Handle(), width, height);
        if (FWindow && FWindow->HandleAllocated()) {
            POINT old{};
            SetWindowOrgEx(picture.DC(), r.left, r.top, &old);
            SendMessageW(FWindow->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.DC()), 0);
            SetWindowOrgEx(picture.DC(), old.x, old.y, nullptr);
        }
        {
            TCanvas c;
            TCanvasDCScope scope(c, picture.DC());
            prepare(c);
            viewer->Paint(c, local, selected, pushed, shadow);
        }
        BitBlt(canvas.Handle(), r.left, r.top, width, height, picture.DC(), 0, 0, SRCCOPY);
        return;
    }
    // Clip, origin and brush origin are put back by hand: restoring a saved DC would also
    // deselect what the canvas believes it has selected.
    const HDC dc = canvas.Handle();
    TGdiObject<HRGN> clip(CreateRectRgn(0, 0, 0, 0));
    const bool hadClip = GetClipRgn(dc, clip.Handle()) == 1;
    POINT viewport{}, brushOrigin{};
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    OffsetViewportOrgEx(dc, r.left, r.top, &viewport);
    SetBrushOrgEx(dc, r.left & 1, r.top & 1, &brushOrigin);
    auto restore = ScopeExit([&] {
        SetBrushOrgEx(dc, brushOrigin.x, brushOrigin.y, nullptr);
        SetViewportOrgEx(dc, viewport.x, viewport.y, nullptr);
        SelectClipRgn(dc, hadClip ? clip.Handle() : nullptr);
    });
    prepare(canvas);
    viewer->Paint(canvas, local, selected, pushed, shadow);
}

// --- selection and the menu loop's state -------------------------------------------------

void TBarView::SetOpenPopup(TBarItemViewer* viewer, TBarView* view, TWinControl* window) {
    FOpenViewer = viewer;
    FOpenView = view;
    FOpenPopupWindow = window;
}

void TBarView::CloseChildPopups() {
    if (FOpenView) FOpenView->CloseChildPopups();
    StopTimer(tbtkClose);
    TWinControl* window = FOpenPopupWindow;
    TBarItemViewer* viewer = FOpenViewer;
    FOpenPopupWindow = nullptr;
    FOpenViewer = nullptr;
    FOpenView = nullptr;
    delete window;
    if (viewer && FIsToolbar) InvalidateViewer(viewer);
}

void TBarView::CancelChildPopups() {
    if (FIsToolbar) FState &= ~tbvsMenuMode;
    CloseChildPopups();
}

void TBarView::SetCapture() { FMouseTracking = true; }

void TBarView::CancelCapture() {
    if (!FMouseTracking) return;
    FMouseTracking = false;
    // The menu loop looks at the selection under the cursor again.
    InvalidateMenuCursorPosition();
    if (FSelected) FSelected->CaptureLost();
}

bool TBarView::IsModalEnding() { return GetRootView()->DoneAction.DoneAction != tbdaNone; }

void TBarView::EndModal() {
    TBarDoneActionData& d = GetRootView()->DoneAction;
    d = TBarDoneActionData{};
    d.DoneAction = tbdaClose;
}

void TBarView::EndModalWithClick(TBarItemViewer* viewer) {
    TBarDoneActionData& d = GetRootView()->DoneAction;
    d = TBarDoneActionData{};
    d.DoneAction = tbdaClickItem;
    d.ClickItem = viewer->Item();
    d.Sound = viewer->View()->IsPopup();
}

void TBarView::EndModalWithHelp(int context) {
    TBarDoneActionData& d = GetRootView()->DoneAction;
    d = TBarDoneActionData{};
    d.DoneAction = tbdaHelpContext;
    d.ContextID = context;
}

void TBarView::EndModalWithSystemMenu(HWND wnd, WPARAM key) {
    TBarDoneActionData& d = GetRootView()->DoneAction;
    d = TBarDoneActionData{};
    d.DoneAction = tbdaOpenSystemMenu;
    d.Wnd = wnd;
    d.Key = key;
}

void TBarView::ExecuteSelected(bool givePriority) {
    if (FSelected && FSelected->Item()->Enabled()) {
        const TBarItemStyle style = FSelected->Item()->ItemStyle();
        if ((style & tbstSubmenu) && !(style & tbstSplitButton)) {
            if (OpenChildPopup(true)) return;
        } else if (style & tbstSelectable) {
            FSelected->Execute(givePriority);
            return;
        }
    }
    EndModal();
}

}  // namespace toolbar
