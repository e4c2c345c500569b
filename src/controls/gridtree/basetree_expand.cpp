// Expanding and collapsing nodes.
#include <algorithm>

#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

void TBaseGridTree::SetExpanded(PGridNode Node, bool Value) {
    if (!Node || Node == FRoot || Expanded(Node) == Value) return;
    ToggleNode(Node);
}

void TBaseGridTree::ToggleNodeCollapse(PGridNode Node) {
    if (FUpdateCount == 0 && (FOptions->AnimationOptions() & toAnimatedToggle) && !HasState(tsCollapsing) &&
        HandleAllocated()) {
        RECT r = GetDisplayRect(Node, NoColumn, false);
        if (r.bottom < FClientHeight)
            AnimateToggle(Node, false,
                          int(std::min<int64_t>(int64_t(Node->SubtreeHeight) - Node->NodeHeight,
                                                int64_t(FClientHeight) - r.bottom + 1)));
    }
    // The visible rows are counted while the node is still expanded.
    uint32_t hiddenRows = FullyVisible(Node) ? CountVisibleChildren(Node) : 0;
    AdjustTotalHeight(Node, Node->NodeHeight, false);
    FVisibleCount -= hiddenRows;
    Node->States &= ~vsExpanded;
    DoCollapsed(Node);
    if (HasAutoOption(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
        DeleteChildren(Node, false);
        Node->States |= vsHasChildren;
    }
}

bool TBaseGridTree::ToggleNodeExpand(PGridNode Node) {
    if (!(Node->States & vsInitialized)) InitNode(Node);
    if ((Node->States & vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    if (Node->ChildCount == 0 || (Node->States & vsExpanded)) return false;
    // Positions change from here on: the position cache is stopped (a node without children
    // keeps it, so that finding a row stays a lookup in a large level).
    InterruptValidation();
    int64_t delta = 0;
    for (PGridNode child = Node->FirstChildNode; child; child = child->NextSiblingNode)
        if (child->States & vsVisible) delta += child->SubtreeHeight;
    if (FUpdateCount == 0 && !HasState(tsExpanding | tsPainting) && HandleAllocated() &&
        (FOptions->AnimationOptions() & toAnimatedToggle) && GetNextVisibleNoInit(Node)) {
        RECT r = GetDisplayRect(Node, NoColumn, false);
        if (r.top >= 0 && r.bottom < FClientHeight)
            AnimateToggle(Node, true, int(std::min<int64_t>(int64_t(FClientHeight) - r.bottom + 1, delta)));
    }
    Node->States |= vsExpanded;
    AdjustTotalHeight(Node, delta, true);
    if (FullyVisible(Node)) FVisibleCount += CountVisibleChildren(Node);
    DoExpanded(Node);
    return true;
}

void TBaseGridTree::ToggleNode(PGridNode Node) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil.");
    if (Node == FRoot || (Node->States & (vsToggling | vsDeleting))) return;
    Node->States |= vsToggling;
    auto endToggling = classlib::ScopeExit([&] { Node->States &= ~vsToggling; });
    PGridNode oldTop = FUpdateCount == 0 ? GetTopNode() : nullptr;
    bool allowed;
    bool changed = false;
    if (Node->States & vsExpanded) {
        allowed = DoCollapsing(Node);
        if (allowed) {
            InterruptValidation();
            ToggleNodeCollapse(Node);
            changed = true;
        }
    } else {
        allowed = DoExpanding(Node);
        if (allowed) changed = ToggleNodeExpand(Node);
    }
    if (allowed) {
        if (changed) InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            if (Node->ChildCount > 0) {
                UpdateScrollBars(true);
                if (HasAutoOption(toAutoScrollOnExpand) && (Node->States & vsExpanded)) {
                    if (int64_t(Node->SubtreeHeight) > FClientHeight) SetTopNode(Node);
                    else ScrollIntoView(GetLastChild(Node), HasSelectionOption(toCenterScrollIntoView), false);
                }
                if (GetTopNode() == oldTop) InvalidateToBottom(Node);
                else Invalidate();
            } else {
                InvalidateNode(Node);
            }
        }
    }
}

void TBaseGridTree::FullExpand(PGridNode Node) {
    if (FRoot->SubtreeCount < 2) return;
    if (Node == FRoot) Node = nullptr;
    DoStateChange(tsExpanding, 0);
    BeginUpdate();
    auto endExpanding = classlib::ScopeExit([&] {
        EndUpdate();
        DoStateChange(0, tsExpanding);
    });
    // The walk ends when it leaves Node's subtree. No stop node is held, so a handler
    // that frees nodes cannot leave the walk with a freed pointer.
    PGridNode run = Node ? Node : GetFirst();
    if (run && !(run->States & vsInitialized)) InitNode(run);
    while (run) {
        if (!(run->States & vsExpanded)) ToggleNode(run);
        run = GetNext(run);
        if (Node && run && !HasAsParent(run, Node)) break;
    }
}

void TBaseGridTree::FullCollapse(PGridNode Node) {
    if (FRoot->SubtreeCount < 2) return;
    if (Node == FRoot) Node = nullptr;
    DoStateChange(tsCollapsing, 0);
    BeginUpdate();
    auto endCollapsing = classlib::ScopeExit([&] {
        EndUpdate();
        DoStateChange(0, tsCollapsing);
    });
    PGridNode run = GetLastVisibleNoInit(Node);
    while (run && run != Node) {
        PGridNode prev = GetPreviousNoInit(run);
        if ((run->States & (vsExpanded | vsHasChildren)) == (vsExpanded | vsHasChildren)) ToggleNode(run);
        run = prev;
    }
    if (Node && (Node->States & (vsExpanded | vsHasChildren)) == (vsExpanded | vsHasChildren)) ToggleNode(Node);
}

}  // namespace gridtree
