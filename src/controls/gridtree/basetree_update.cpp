// Update brackets, deferred notifications, tree states, the position cache, scrolling and
// the state window.
#include <algorithm>

#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/nodestore_p.h"

namespace {
// The four states the worker may change, by their bit in WM_CHANGESTATE.
TGridTreeStates WorkerBitsToStates(unsigned Bits) {
    TGridTreeStates result = 0;
    if (Bits & 1) result |= tsStopValidation;
    if (Bits & 2) result |= tsUseCache;
    if (Bits & 4) result |= tsValidating;
    if (Bits & 8) result |= tsValidationNeeded;
    return result;
}
}  // namespace

// --- states ---------------------------------------------------------------------------

void TBaseGridTree::DoStateChange(TGridTreeStates Enter, TGridTreeStates Leave) {
    TGridTreeStates states = FStates.load(std::memory_order_relaxed);
    if (OnStateChange && ((Enter & ~states) || (states & Leave))) OnStateChange(this, Enter, Leave);
    states = FStates.load(std::memory_order_relaxed);
    FStates.store((states | Enter) & ~Leave);
}

void TBaseGridTree::ApplyWorkerStates(unsigned Enter, unsigned Leave) {
    TGridTreeStates enter = WorkerBitsToStates(Enter & 0xF);
    TGridTreeStates leave = WorkerBitsToStates(Leave & 0xF);
    if (enter & tsUseCache) {
        // Only a complete build of the current structure may be used.
        bool current = FCacheComplete.load() && FJobGeneration.load() == FGeneration.load();
        if (!current) {
            enter &= ~tsUseCache;
            leave &= ~tsValidationNeeded;
            enter |= tsValidationNeeded;
            // Ask again later. Never validate from here: this runs while the worker waits
            // for the answer, possibly inside a wait of InterruptValidation.
            if (!FValidationPosted && FStateWindow)
                FValidationPosted = PostMessageW(FStateWindow, WM_QUEUEVALIDATION, 0, 0) != FALSE;
        }
    }
    DoStateChange(enter, leave);
    if ((enter & tsUseCache) && HasOption(toVariableNodeHeight)) UpdateScrollBars(true);
}

LRESULT CALLBACK TBaseGridTree::StateWindowThunk(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_NCCREATE) {
        auto cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto creating = static_cast<TBaseGridTree*>(cs->lpCreateParams);
        creating->FStateWindow = Wnd;  // known from the first message on
        SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    }
    auto tree = reinterpret_cast<TBaseGridTree*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (tree) {
        try {
            return tree->StateWindowProc(Msg, wParam, lParam);
        } catch (...) {
            // No exception crosses a window procedure; the message counts as handled.
            return 0;
        }
    }
    return DefWindowProcW(Wnd, Msg, wParam, lParam);
}

LRESULT TBaseGridTree::StateWindowProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_CHANGESTATE:
            // A validation that would start on a tree already told to stop is refused:
            // the answer 1 spares the worker its build and its final message.
            if ((wParam & 4) && HasState(tsStopValidation)) return 1;
            ApplyWorkerStates(static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
            return 0;
        case WM_QUEUEVALIDATION:
            FValidationPosted = false;
            if (HasState(tsValidationNeeded) && FWorker && FUpdateCount == 0) {
                FWorker->QueueTree(this);
                FWorker->Signal();
            }
            return 0;
        case WM_TIMER:
            if (wParam == ChangeTimer) DoChange(FLastChangedNode);
            else if (wParam == StructureChangeTimer) DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            return 0;
        default:
            return DefWindowProcW(FStateWindow, Msg, wParam, lParam);
    }
}

void TBaseGridTree::StartTimer(UINT_PTR ID, UINT Elapse) {
    if (FStateWindow && SetTimer(FStateWindow, ID, Elapse, nullptr)) FActiveTimers |= 1u << ID;
}

void TBaseGridTree::StopTimer(UINT_PTR ID) {
    // Only timers this tree started are killed: a system call per notification would
    // dominate bulk deletions.
    if (!(FActiveTimers & (1u << ID))) return;
    FActiveTimers &= ~(1u << ID);
    if (FStateWindow) KillTimer(FStateWindow, ID);
}

// --- brackets -------------------------------------------------------------------------

void TBaseGridTree::BeginUpdate() {
    if (!FDestroying) {
        if (FUpdateCount == 0) {
            DoUpdating(usBegin);
            SetUpdateState(true);
        } else {
            DoUpdating(usUpdate);
        }
    }
    ++FUpdateCount;
    DoStateChange(tsUpdating, 0);
}

void TBaseGridTree::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FDestroying) return;
    if (FUpdateCount == 0 && HasState(tsUpdating)) {
        if (HasState(tsUpdateHiddenChildrenNeeded)) {
            DetermineHiddenChildrenFlagAllNodes();
            DoStateChange(0, tsUpdateHiddenChildrenNeeded);
        }
        DoStateChange(0, tsUpdating);
        PackSelection();
        ValidateCache();
        UpdateScrollBars(false);
        if (HasState(tsStructureChangePending)) DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        if (HasState(tsChangePending)) DoChange(FLastChangedNode);
        // Sorting after an update joins with the sorting of nodes.
        SetUpdateState(false);
        Invalidate();
    }
    DoUpdating(FUpdateCount == 0 ? usEnd : usUpdate);
}

void TBaseGridTree::BeginSynch() {
    if (!FDestroying) {
        if (FSynchUpdateCount == 0) {
            DoUpdating(usBeginSynch);
            for (UINT_PTR id : {ChangeTimer, StructureChangeTimer, ExpandTimer, EditTimer, HeaderTimer, ScrollTimer,
                                SearchTimer})
                StopTimer(id);
            DoStateChange(0, tsEditPending | tsIncrementalSearching | tsScrolling | tsScrollPending);
            if (HasState(tsStructureChangePending))
                DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (HasState(tsChangePending)) DoChange(FLastChangedNode);
        } else {
            DoUpdating(usSynch);
        }
    }
    ++FSynchUpdateCount;
    DoStateChange(tsSynchMode, 0);
}

void TBaseGridTree::EndSynch() {
    if (FSynchUpdateCount > 0) --FSynchUpdateCount;
    if (FDestroying) return;
    if (FSynchUpdateCount > 0) {
        DoUpdating(usSynch);
    } else {
        DoStateChange(0, tsSynchMode);
        DoUpdating(usEndSynch);
    }
}

// --- notifications --------------------------------------------------------------------

void TBaseGridTree::Change(PGridNode Node) {
    if (HasState(tsChangePending)) StopTimer(ChangeTimer);
    else DoStateChange(tsChangePending, 0);
    FLastChangedNode = Node;
    if (FUpdateCount > 0) return;
    if (FChangeDelay == 0 || HasState(tsSynchMode)) DoChange(Node);
    else StartTimer(ChangeTimer, FChangeDelay);
}

void TBaseGridTree::StructureChange(PGridNode Node, TChangeReason Reason) {
    if (HasState(tsStructureChangePending)) StopTimer(StructureChangeTimer);
    else DoStateChange(tsStructureChangePending, 0);
    FLastStructureChangeNode = Node;
    if (FLastStructureChangeReason == crIgnore) FLastStructureChangeReason = Reason;
    else if (Reason != crIgnore) FLastStructureChangeReason = crAccumulated;
    if (FUpdateCount > 0) return;
    if (FChangeDelay == 0 || HasState(tsSynchMode)) DoStructureChange(Node, FLastStructureChangeReason);
    else StartTimer(StructureChangeTimer, FChangeDelay);
}

// --- position cache -------------------------------------------------------------------

void TBaseGridTree::InvalidateCache() { DoStateChange(tsValidationNeeded, tsUseCache); }

void TBaseGridTree::ValidateCache() {
    // A cache that needs no validation is kept: interrupting first would throw away a
    // current cache at every update bracket that changed nothing.
    if (!HasState(tsValidationNeeded) || !FWorker) return;
    InterruptValidation();
    if (FStateWindow) {
        if (!FValidationPosted) FValidationPosted = PostMessageW(FStateWindow, WM_QUEUEVALIDATION, 0, 0) != FALSE;
        if (FValidationPosted) return;
    }
    FWorker->QueueTree(this);
    FWorker->Signal();
}

void TBaseGridTree::InterruptValidation() {
    FGeneration.fetch_add(1);
    DoStateChange(tsStopValidation, tsUseCache);
    if (!FWorker) return;
    if (FWorker->IsInWork(this)) {
        FWorker->WaitWhileInWork(this);
        DoStateChange(tsValidationNeeded, 0);
    } else {
        FWorker->UnqueueTree(this);
    }
}

uint32_t TBaseGridTree::CalculateCacheEntryCount() const {
    if (FVisibleCount <= 1) return 0;
    return (FVisibleCount + CacheThreshold - 1) / CacheThreshold;
}

bool TBaseGridTree::DoValidateCache() {
    auto stopped = [this] { return (FStates.load(std::memory_order_relaxed) & tsStopValidation) != 0; };
    if (stopped()) return false;
    FPositionCache.clear();
    if (FVisibleCount <= CacheThreshold) return false;
    uint32_t entries = CalculateCacheEntryCount();
    FPositionCache.reserve(entries);
    uint32_t top = 0, row = 0;
    for (PGridNode node = GetFirstVisibleNoInit(); node; node = NextVisibleForCache(node)) {
        if (row % CacheThreshold == 0) {
            if (FPositionCache.size() == entries) break;
            if (stopped()) return false;
            FPositionCache.push_back({node, top});
        }
        top += node->NodeHeight;  // the stored height: no measuring off the main thread
        ++row;
    }
    return !stopped() && !FPositionCache.empty();
}

// --- scrolling ------------------------------------------------------------------------

void TBaseGridTree::SetClientSize(int Width, int Height) {
    FClientWidth = std::max(0, Width);
    FClientHeight = std::max(0, Height);
    UpdateScrollBars(true);
}

void TBaseGridTree::DoSetOffsetXY(int X, int Y) {
    int minX = std::min(0, FClientWidth - FRangeX);
    int minY = std::min(0, FClientHeight - FRangeY);
    X = std::clamp(X, minX, 0);
    Y = std::clamp(Y, minY, 0);
    int dx = X - FOffsetX, dy = Y - FOffsetY;
    if (dx == 0 && dy == 0) return;
    FOffsetX = X;
    FOffsetY = Y;
    DoScroll(dx, dy);
    Invalidate();
}

void TBaseGridTree::UpdateScrollBars(bool DoRepaint) {
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
}

void TBaseGridTree::UpdateVerticalScrollBar(bool DoRepaint) {
    (void)DoRepaint;
    if (FRoot->SubtreeHeight < FDefaultNodeHeight) FRoot->SubtreeHeight = FDefaultNodeHeight;
    FRangeY = int(FRoot->SubtreeHeight - FRoot->NodeHeight);
    // The scroll bar itself joins with the window; the offset is kept within the range.
    DoSetOffsetXY(FOffsetX, FOffsetY);
}

void TBaseGridTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    (void)DoRepaint;
    FRangeX = ColumnCount() > 0 ? FRangeX : int(GetMaxRightExtend());
    DoSetOffsetXY(FOffsetX, FOffsetY);
}

uint32_t TBaseGridTree::GetMaxRightExtend() {
    // The widest content among the rows shown in the client area (images join with
    // painting).
    int top = 0;
    PGridNode node = GetNodeAt(0, 0, true, &top);
    if (!node) return 0;
    int x = int(GetNodeLevel(node) * FIndent);
    if (HasPaintOption(toShowRoot)) x += int(FIndent);
    int widest = 0;
    while (node && top < FClientHeight) {
        if (!(node->States & vsInitialized)) InitNode(node);
        widest = std::max(widest, x + DoGetNodeWidth(node, NoColumn));
        top += int(NodeHeight(node));
        PGridNode next = GetNextVisible(node);
        if (next) x += CountLevelDifference(node, next) * int(FIndent);
        node = next;
    }
    return uint32_t(widest + FMargin);
}

bool TBaseGridTree::ScrollIntoView(PGridNode Node, bool Center, bool Horizontally) {
    if (!Node || Node == FRoot) return false;
    for (PGridNode run = Node->Parent; run != FRoot; run = run->Parent)
        if (!(run->States & vsExpanded)) ToggleNode(run);
    RECT r = GetDisplayRect(Node, NoColumn, !HasOption(toGridExtensions));
    bool result = false;
    if (r.top < 0) {
        int delta = -r.top;
        if (Center) delta += FClientHeight / 2;
        SetOffsetY(FOffsetY + delta);
        result = true;
    } else if (r.bottom > FClientHeight || Center) {
        int y = FOffsetY - r.bottom + (Center ? FClientHeight / 2 : FClientHeight);
        SetOffsetY(y);
        result = true;
    }
    if (Horizontally && (r.right > FClientWidth || r.left < 0)) {
        SetOffsetX(FOffsetX + FClientWidth / 2 - (r.left + r.right) / 2);
        result = true;
    }
    return result;
}

void TBaseGridTree::SetTopNode(PGridNode Node) {
    if (!Node || Node == FRoot) return;
    for (PGridNode run = Node->Parent; run != FRoot; run = run->Parent)
        if (!(run->States & vsExpanded)) ToggleNode(run);
    RECT r = GetDisplayRect(Node, MainColumn(), true);
    SetOffsetY(FOffsetY - r.top);
}

RECT TBaseGridTree::InvalidateNode(PGridNode Node) {
    if (FUpdateCount == 0 && HandleAllocated() && Node && Node != FRoot)
        return GetDisplayRect(Node, NoColumn, false);
    return RECT{0, 0, 0, 0};
}

void TBaseGridTree::InvalidateToBottom(PGridNode Node) {
    (void)Node;
    // Painting of a range of rows joins with the window; the whole control is repainted.
    if (FUpdateCount == 0 && HandleAllocated()) Invalidate();
}

// --- Do methods -----------------------------------------------------------------------

void TBaseGridTree::DoChange(PGridNode Node) {
    StopTimer(ChangeTimer);
    if (OnChange) OnChange(this, Node);
    DoStateChange(0, tsChangePending);
    FLastChangedNode = nullptr;
}

void TBaseGridTree::DoStructureChange(PGridNode Node, TChangeReason Reason) {
    StopTimer(StructureChangeTimer);
    if (OnStructureChange) OnStructureChange(this, Node, Reason);
    DoStateChange(0, tsStructureChangePending);
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
}

void TBaseGridTree::DoUpdating(TGTUpdateState State) {
    if (OnUpdating) OnUpdating(this, State);
}

void TBaseGridTree::DoScroll(int DeltaX, int DeltaY) {
    if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}

void TBaseGridTree::DoChecked(PGridNode Node) {
    if (OnChecked) OnChecked(this, Node);
}

bool TBaseGridTree::DoChecking(PGridNode Node, TCheckState& NewCheckState) {
    if (HasOption(toReadOnly)) return false;
    bool allowed = true;
    if (OnChecking) OnChecking(this, Node, NewCheckState, allowed);
    return allowed;
}

void TBaseGridTree::DoCheckClick(PGridNode Node, TCheckState NewCheckState) {
    if (ChangeCheckState(Node, NewCheckState)) DoChecked(Node);
}

void TBaseGridTree::DoCollapsed(PGridNode Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
}

bool TBaseGridTree::DoCollapsing(PGridNode Node) {
    bool allowed = true;
    if (OnCollapsing) OnCollapsing(this, Node, allowed);
    return allowed;
}

void TBaseGridTree::DoExpanded(PGridNode Node) {
    if (OnExpanded) OnExpanded(this, Node);
}

bool TBaseGridTree::DoExpanding(PGridNode Node) {
    bool allowed = true;
    if (OnExpanding) OnExpanding(this, Node, allowed);
    return allowed;
}

void TBaseGridTree::DoFocusChange(PGridNode Node, TColumnIndex Column) {
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
}

bool TBaseGridTree::DoFocusChanging(PGridNode OldNode, PGridNode NewNode, TColumnIndex OldColumn,
                                    TColumnIndex NewColumn) {
    bool allowed = true;
    if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseGridTree::DoFreeNode(PGridNode Node) {
    if (Node == FHotNode) FHotNode = nullptr;
    if (OnFreeNode && (Node->States & (vsInitialized | vsInitialUserData))) OnFreeNode(this, Node);
    FStore->Free(Node);
}

bool TBaseGridTree::DoInitChildren(PGridNode Node, uint32_t& ChildCount) {
    if (!OnInitChildren) return false;
    OnInitChildren(this, Node, ChildCount);
    return true;
}

void TBaseGridTree::DoInitNode(PGridNode Parent, PGridNode Node, TGridNodeInitStates& InitStates) {
    if (OnInitNode) OnInitNode(this, Parent, Node, InitStates);
}

void TBaseGridTree::DoMeasureItem(HDC TargetCanvas, PGridNode Node, int& NodeHeight) {
    if (OnMeasureItem) OnMeasureItem(this, TargetCanvas, Node, NodeHeight);
}

void TBaseGridTree::DoReset(PGridNode Node) {
    if (OnResetNode) OnResetNode(this, Node);
}

void TBaseGridTree::DoHotChange(PGridNode OldNode, PGridNode NewNode) {
    if (OnHotChange) OnHotChange(this, OldNode, NewNode);
}
