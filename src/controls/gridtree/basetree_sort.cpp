// Sorting: a stable merge sort of sibling chains, driven by the owner's comparison.
#include <vector>

#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {

// Sorts the first Count nodes of the chain starting at Head (linked by NextSiblingNode):
// answers the sorted run (its last node's link is null) and leaves Head at the node after
// the run. Top-down: Count div 2 and the rest, merged so that the second run's head is
// taken only when it must come first; equal keys keep their order.
template <class Less>
PGridNode MergeSort(PGridNode& Head, uint32_t Count, const Less& SecondFirst) {
    if (Count == 1) {
        PGridNode node = Head;
        Head = node->NextSiblingNode;
        node->NextSiblingNode = nullptr;
        return node;
    }
    PGridNode a = MergeSort(Head, Count / 2, SecondFirst);
    PGridNode b = MergeSort(Head, Count - Count / 2, SecondFirst);
    PGridNode result = nullptr;
    PGridNode* tail = &result;
    while (a && b) {
        if (SecondFirst(a, b)) {
            *tail = b;
            b = b->NextSiblingNode;
        } else {
            *tail = a;
            a = a->NextSiblingNode;
        }
        tail = &(*tail)->NextSiblingNode;
    }
    *tail = a ? a : b;
    return result;
}

}  // namespace

int TBaseGridTree::DoCompare(PGridNode Node1, PGridNode Node2, TColumnIndex Column) {
    int result = 0;
    if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, result);
    return result;
}

void TBaseGridTree::Sort(PGridNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    InterruptValidation();
    if (HasState(tsEditPending)) {
        StopTimer(EditTimer);
        DoStateChange(0, tsEditPending);
    }
    if (HasState(tsEditing) && !EndEditNode()) return;
    if (!Node) Node = FRoot;
    if (!(Node->States & vsHasChildren)) return;
    if (DoInit) {
        if (Node != FRoot && Node->ChildCount == 0) InitChildren(Node);
        ValidateChildren(Node, false);
    }
    if (Node->ChildCount > 1) {
        // The number of linked children (the count and the chain agree in a sound tree).
        uint32_t count = 0;
        for (PGridNode run = Node->FirstChildNode; run; run = run->NextSiblingNode) ++count;
        PGridNode head = Node->FirstChildNode;
        PGridNode sorted;
        if (Direction == sdDescending)
            sorted = MergeSort(head, count, [&](PGridNode A, PGridNode B) { return DoCompare(A, B, Column) < 0; });
        else
            sorted = MergeSort(head, count, [&](PGridNode A, PGridNode B) { return DoCompare(A, B, Column) > 0; });
        DropPendingIndexes(Node);
        Node->FirstChildNode = sorted;
        PGridNode prev = nullptr;
        uint32_t index = 0;
        for (PGridNode run = sorted; run; prev = run, run = run->NextSiblingNode) {
            run->PrevSiblingNode = prev;
            run->Index = index++;
        }
        Node->LastChildNode = prev;
        InvalidateCache();
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        Invalidate();
    }
}

void TBaseGridTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    ++FUpdateCount;
    auto done = classlib::ScopeExit([&] {
        InvalidateCache();
        if (--FUpdateCount == 0) {
            ValidateCache();
            Invalidate();
        }
    });
    if (Column <= InvalidColumn) return;
    // Depth first without recursion: each sorted chain's initialised children follow.
    std::vector<PGridNode> pending{FRoot};
    while (!pending.empty()) {
        PGridNode node = pending.back();
        pending.pop_back();
        Sort(node == FRoot ? nullptr : node, Column, Direction, DoInit);
        for (PGridNode run = node->LastChildNode; run; run = run->PrevSiblingNode) {
            if (DoInit && !(run->States & vsInitialized)) InitNode(run);
            if ((run->States & vsInitialized) && (run->States & vsHasChildren)) pending.push_back(run);
        }
    }
}

}  // namespace gridtree
