// Update brackets, deferred notifications, tree states, the position cache, scrolling and
// the tree window (its own messages, scroll bars, client size).
#include <algorithm>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/nodestore_p.h"

namespace gridtree {

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
    // Written by this thread only; the worker reads the states without ordering needs.
    FStates.store((states | Enter) & ~Leave, std::memory_order_release);
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
            RequestValidation();
        }
    }
    DoStateChange(enter, leave);
    if ((enter & tsUseCache) && HasOption(toVariableNodeHeight)) UpdateScrollBars(true);
}

bool TBaseGridTree::StateWindowProc(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_CHANGESTATE:
            // A validation that would start on a tree already told to stop is refused:
            // the answer 1 spares the worker its build and its final message.
            if ((Message.WParam & 4) && HasState(tsStopValidation)) {
                Message.Result = 1;
                return true;
            }
            ApplyWorkerStates(static_cast<unsigned>(Message.WParam), static_cast<unsigned>(Message.LParam));
            Message.Result = 0;
            return true;
        case WM_TIMER:
            if (Message.WParam == ValidationTimer) ValidationTimerTick();
            else if (Message.WParam == ChangeTimer) DoChange(FLastChangedNode);
            else if (Message.WParam == StructureChangeTimer)
                DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            else if (Message.WParam == ScrollTimer) {
                if (HasState(tsWheelPanning | tsWheelScrolling)) {
                    POINT p{};
                    GetCursorPos(&p);
                    if (HasControlWindow()) ::ScreenToClient(FHandle, &p);
                    PanningScroll(p);
                } else {
                    if (HasState(tsScrollPending)) {
                        if (classlib::Application) classlib::Application->CancelHint();
                        StartTimer(ScrollTimer, std::max<uint32_t>(FAutoScrollInterval, 1));
                        DoStateChange(tsScrolling, tsScrollPending);
                    }
                    DoTimerScroll();
                }
            }
            else return false;  // the expand, edit and search timers are served elsewhere
            Message.Result = 0;
            return true;
        default:
            return false;
    }
}

void TBaseGridTree::RequestValidation() {
    if (FValidationRequested || FDestroying) return;
    HandleNeeded();
    if (!HandleAllocated()) return;
    FQuietGeneration = FGeneration.load();
    FValidationRequested = SetTimer(FHandle, ValidationTimer, ValidationDelay, nullptr) != 0;
}

void TBaseGridTree::ValidationTimerTick() {
    // Every change interrupts validation, which moves the generation: while it moves the
    // burst goes on, and the timer waits one more period.
    const uint64_t generation = FGeneration.load();
    if (generation != FQuietGeneration && FValidationRequested) {
        FQuietGeneration = generation;
        return;
    }
    KillTimer(FHandle, ValidationTimer);
    FValidationRequested = false;
    // Inside an update bracket its end requests validation again.
    if (HasState(tsValidationNeeded) && FWorker && FUpdateCount == 0 && !FDestroying) {
        FWorker->QueueTree(this);
        FWorker->Signal();
    }
}

void TBaseGridTree::StartTimer(UINT_PTR ID, UINT Elapse) {
    if (FDestroying || ID >= 8) return;
    HandleNeeded();
    if (HandleAllocated() && SetTimer(FHandle, ID, Elapse, nullptr)) {
        FActiveTimers |= 1u << ID;
        FTimerDelays[ID] = Elapse;
    }
}

void TBaseGridTree::StopTimer(UINT_PTR ID) {
    // Only timers this tree started are killed: a system call per notification would
    // dominate bulk deletions.
    if (ID >= 8 || !(FActiveTimers & (1u << ID))) return;
    FActiveTimers &= ~(1u << ID);
    if (HandleAllocated()) KillTimer(FHandle, ID);
}

void TBaseGridTree::SetUpdateState(bool Updating) {
    // Redrawing is switched off only where it could show: a window on no screen (its form
    // hidden) paints nothing anyway, and switching costs several server round trips.
    if (Updating) {
        FRedrawOff = Visible() && HasControlWindow() && IsWindowVisible(FHandle);
        if (FRedrawOff) SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
    } else if (FRedrawOff) {
        FRedrawOff = false;
        if (Visible() && HasControlWindow()) SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    }
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
    // An end without its begin changes nothing and reports nothing.
    if (FUpdateCount == 0) return;
    --FUpdateCount;
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
        if (HasAutoOption(toAutoSort)) SortTree(SortColumn(), SortDirection(), true);
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
    // A running validation timer already waits for the changes to pause; interrupting
    // again would count as one more change and put the hand-over off.
    if (FValidationRequested) return;
    InterruptValidation();
    RequestValidation();
    if (FValidationRequested) return;
    FWorker->QueueTree(this);
    FWorker->Signal();
}

void TBaseGridTree::InterruptValidation() {
    // Only this thread writes the generation and the states: plain stores, no locked
    // instructions (the worker reads both under its lock, which orders them).
    FGeneration.store(FGeneration.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    DoStateChange(tsStopValidation, tsUseCache);
    // Only this thread queues the tree: while the worker neither has it queued nor holds
    // it, nothing can be running, and the worker's lock is not needed (every single-node
    // change passes here).
    if (!FWorker || !FWithWorker.load()) return;
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

bool TBaseGridTree::HasPositionCache() const { return HasState(tsUseCache) && !FPositionCache.empty(); }

bool TBaseGridTree::BuildPositionCacheNow() {
    if (FVisibleCount <= CacheThreshold || FDestroying) return false;
    // Stops and waits for a build of the worker and takes the tree out of its queue; the
    // stop is lifted again for the build here.
    InterruptValidation();
    DoStateChange(0, tsStopValidation);
    if (!DoValidateCache()) {
        DoStateChange(tsValidationNeeded, 0);
        return false;
    }
    DoStateChange(tsUseCache, tsValidationNeeded);
    return true;
}

// --- scrolling ------------------------------------------------------------------------

void TBaseGridTree::UpdateScrollBars(bool DoRepaint) {
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
}

namespace {
// Shows or hides one scroll bar of a tree window for a range, a page and an offset and
// returns the offset the bar settled on (0 when it is hidden).
int ApplyScrollBar(HWND Wnd, int Bar, bool Wanted, bool AlwaysVisible, int Range, int Page, int Offset,
                   bool DoRepaint) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    if (!Wanted) {
        ShowScrollBar(Wnd, Bar, FALSE);
        return Offset;
    }
    if (Page < Range || AlwaysVisible) {
        si.fMask = SIF_ALL | (AlwaysVisible ? SIF_DISABLENOSCROLL : 0);
        si.nMin = 0;
        si.nMax = Range;
        si.nPos = -Offset;
        si.nPage = UINT(std::max(0, Page + 1));
        ShowScrollBar(Wnd, Bar, TRUE);
        SetScrollInfo(Wnd, Bar, &si, DoRepaint);
        // Limit of the bar: the window may have shrunk the page while showing it.
        si.fMask = SIF_POS;
        GetScrollInfo(Wnd, Bar, &si);
        return -si.nPos;
    }
    si.fMask = SIF_ALL;
    SetScrollInfo(Wnd, Bar, &si, FALSE);
    ShowScrollBar(Wnd, Bar, FALSE);
    return 0;
}
}  // namespace

void TBaseGridTree::UpdateVerticalScrollBar(bool DoRepaint) {
    if (FRoot->SubtreeHeight < FDefaultNodeHeight) FRoot->SubtreeHeight = FDefaultNodeHeight;
    FRangeY = int(FRoot->SubtreeHeight - FRoot->NodeHeight);
    int y = FOffsetY;
    if (HasControlWindow()) {
        TScrollStyle bars = FScrollBarOptions->ScrollBars();
        y = ApplyScrollBar(FHandle, SB_VERT, bars == ssVertical || bars == ssBoth, FScrollBarOptions->AlwaysVisible(),
                           FRangeY, FClientHeight, FOffsetY, DoRepaint);
        // Showing or hiding a bar changes the client area.
        ClientSizeFromWindow();
    }
    SetOffsetsWithinRange(FOffsetX, y);
}

void TBaseGridTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    FRangeX = ColumnCount() > 0 ? FHeader->Columns().ColumnsWidth() : int(GetMaxRightExtend());
    int x = FOffsetX;
    if (HasControlWindow()) {
        TScrollStyle bars = FScrollBarOptions->ScrollBars();
        x = ApplyScrollBar(FHandle, SB_HORZ, bars == ssHorizontal || bars == ssBoth,
                           FScrollBarOptions->AlwaysVisible(), FRangeX, FClientWidth, FOffsetX, DoRepaint);
        ClientSizeFromWindow();
    }
    SetOffsetsWithinRange(x, FOffsetY);
}

void TBaseGridTree::SetOffsetsWithinRange(int X, int Y) {
    // Offsets that are in range and unchanged need no call: single-row changes update the
    // scroll bars every time, and most of them move nothing.
    const int x = std::min(std::max(X, FClientWidth - FRangeX), 0);
    const int y = std::min(std::max(Y, FClientHeight - FRangeY), 0);
    if (x != FOffsetX || y != FOffsetY) DoSetOffsetXY(POINT{X, Y});
}

bool TBaseGridTree::HorizontalBarDue() const {
    // A horizontal bar the window does not show yet but will show for the current width:
    // it is going to cover the bottom of the client area.
    if (!HasControlWindow() || ColumnCount() > 0) return false;
    TScrollStyle bars = FScrollBarOptions->ScrollBars();
    if (bars != ssHorizontal && bars != ssBoth) return false;
    if (!FScrollBarOptions->AlwaysVisible() && FClientWidth >= FRangeX) return false;
    return (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_HSCROLL) == 0;
}

uint32_t TBaseGridTree::GetMaxRightExtend() {
    // The widest content among the rows shown in the client area, counted as if the
    // horizontal bar were not there: otherwise showing the bar for a wide row near the
    // bottom could hide that row, take the bar away, show the row again, and so on, each
    // turn a resize inside the last one.
    int bottom = FClientHeight;
    if (HasControlWindow() && (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_HSCROLL))
        bottom += GetSystemMetrics(SM_CYHSCROLL);
    int top = 0;
    PGridNode node = GetNodeAt(0, 0, true, &top);
    if (!node) return 0;
    int x = int(GetNodeLevel(node) * FIndent);
    if (HasPaintOption(toShowRoot)) x += int(FIndent);
    if (FStateImages) x += FStateImages->Width() + 2;
    if (FImages) x += FImages->Width() + 2;
    const int checkWidth = HasOption(toCheckSupport) && FCheckImages ? FCheckImages->Width() + 2 : 0;
    int widest = 0;
    while (node && top < bottom) {
        if (!(node->States & vsInitialized)) InitNode(node);
        const int check = node->CheckKind != ctNone ? checkWidth : 0;
        widest = std::max(widest, x + check + DoGetNodeWidth(node, NoColumn));
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
        if (HorizontalBarDue()) y -= GetSystemMetrics(SM_CYHSCROLL);
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
    if (FUpdateCount == 0 && HandleAllocated() && Node && Node != FRoot) {
        RECT r = GetDisplayRect(Node, NoColumn, false);
        if (HasControlWindow()) InvalidateRect(FHandle, &r, FALSE);
        return r;
    }
    return RECT{0, 0, 0, 0};
}

void TBaseGridTree::InvalidateToBottom(PGridNode Node) {
    if (FUpdateCount > 0 || !HasControlWindow()) return;
    if (!Node || Node == FRoot) {
        Invalidate();
        return;
    }
    if ((Node->States & vsInitialized) && (Node->States & vsVisible) && IsVisible(Node)) {
        RECT r = GetDisplayRect(Node, NoColumn, false);
        if (r.top < FClientHeight) {
            r.top = std::max<LONG>(r.top, 0);
            r.left = 0;
            r.right = FClientWidth;
            r.bottom = FClientHeight;
            InvalidateRect(FHandle, &r, FALSE);
        }
    }
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
    // A freed block has no parent: it is no node of the tree any more (IsNodeOfTree).
    Node->Parent = nullptr;
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

}  // namespace gridtree
