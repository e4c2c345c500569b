// Sorting: a stable sort of sibling chains, driven by the owner's comparison.
#include <algorithm>
#include <vector>

#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {

// Node's children in their order. The chain is walked from both ends at once: every step
// waits for a node's memory, and the two walks' waits overlap.
std::vector<PGridNode> SiblingsInOrder(PGridNode Node) {
    std::vector<PGridNode> nodes(Node->ChildCount);
    PGridNode front = Node->FirstChildNode, back = Node->LastChildNode;
    size_t i = 0, j = nodes.size();
    for (; i + 1 < j && front && back; front = front->NextSiblingNode, back = back->PrevSiblingNode) {
        nodes[i++] = front;
        nodes[--j] = back;
    }
    if (i + 1 == j && front == back) nodes[i++] = front;
    if (i == j && front && back && (i == 0 || nodes[i - 1]->NextSiblingNode == nodes[i])) return nodes;
    // The count and the chain disagree (not in a sound tree): the chain decides.
    nodes.clear();
    for (PGridNode run = Node->FirstChildNode; run; run = run->NextSiblingNode) nodes.push_back(run);
    return nodes;
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
        // The children are sorted as an array (its merges run over contiguous memory, not
        // along the links of nodes spread over the store) and linked again in their new
        // order; equal keys keep their order. The chain is untouched until the sort is done,
        // so a comparison that throws leaves the children as they were.
        std::vector<PGridNode> nodes = SiblingsInOrder(Node);
        if (Direction == sdDescending)
            std::stable_sort(nodes.begin(), nodes.end(),
                             [&](PGridNode A, PGridNode B) { return DoCompare(A, B, Column) > 0; });
        else
            std::stable_sort(nodes.begin(), nodes.end(),
                             [&](PGridNode A, PGridNode B) { return DoCompare(A, B, Column) < 0; });
        DropPendingIndexes(Node);
        PGridNode prev = nullptr;
        uint32_t index = 0;
        for (PGridNode run : nodes) {
            run->PrevSiblingNode = prev;
            if (prev) prev->NextSiblingNode = run;
            run->Index = index++;
            prev = run;
        }
        prev->NextSiblingNode = nullptr;
        Node->FirstChildNode = nodes.front();
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
