// Helpers of the grid tree tests: a tree exposing protected members, an invariant checker
// that recomputes every total from scratch.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "common/test_support.h"
#include "controls/gridtree/basetree.h"

class TTestTree : public TBaseGridTree {
public:
    using TBaseGridTree::AllocateInternalDataArea;
    using TBaseGridTree::InternalConnectNode;
    using TBaseGridTree::InternalDisconnectNode;
    using TBaseGridTree::ChangeCheckState;
};

// Every node in tree order, without initialising anything.
inline std::vector<PGridNode> AllNodes(const TBaseGridTree& Tree) {
    std::vector<PGridNode> nodes;
    for (PGridNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n)) nodes.push_back(n);
    return nodes;
}

// Recomputes counts, heights, indexes, links, flags, the visible count and the selection
// count and compares them with what the tree keeps.
inline void CheckInvariants(const TBaseGridTree& Tree) {
    SCOPED_TRACE("invariants");
    uint32_t visible = 0, selected = 0;
    std::function<void(PGridNode, bool)> check = [&](PGridNode node, bool fullyVisible) {
        uint32_t count = 1, childHeights = 0, index = 0;
        PGridNode prev = nullptr;
        for (PGridNode c = node->FirstChildNode; c; prev = c, c = c->NextSiblingNode, ++index) {
            ASSERT_EQ(node, c->Parent);
            ASSERT_EQ(prev, c->PrevSiblingNode);
            ASSERT_EQ(index, c->Index);
            bool childVisible = fullyVisible && (node->States & vsExpanded) && (c->States & vsVisible);
            if (childVisible) ++visible;
            if (c->States & vsSelected) ++selected;
            check(c, childVisible);
            count += c->SubtreeCount;
            if (c->States & vsVisible) childHeights += c->SubtreeHeight;
        }
        ASSERT_EQ(prev, node->LastChildNode);
        ASSERT_EQ(index, node->ChildCount);
        ASSERT_EQ(count, node->SubtreeCount);
        uint32_t height = node->NodeHeight + ((node->States & vsExpanded) ? childHeights : 0);
        ASSERT_EQ(height, node->SubtreeHeight);
        if (node->ChildCount > 0) { ASSERT_TRUE(node->States & vsHasChildren); }
        if (node != Tree.RootNode() && node->ChildCount == 0) { ASSERT_FALSE(node->States & vsExpanded); }
    };
    check(Tree.RootNode(), true);
    EXPECT_EQ(visible, Tree.VisibleCount());
    EXPECT_EQ(selected, Tree.SelectionCount());
}

using testsupport::PumpMessages;
using testsupport::PumpUntil;

inline bool WaitForCache(const TBaseGridTree& Tree) {
    return PumpUntil([&] { return (Tree.TreeStates() & tsUseCache) != 0; });
}

// The node at a tree position by walking every row from the top: the reference answer.
inline PGridNode ReferenceNodeAt(const TBaseGridTree& Tree, int Y, int* Top = nullptr) {
    int top = 0;
    for (PGridNode n = Tree.GetFirstVisibleNoInit(); n; n = Tree.GetNextVisibleNoInit(n)) {
        if (Y < top + n->NodeHeight) {
            if (Top) *Top = top;
            return n;
        }
        top += n->NodeHeight;
    }
    return nullptr;
}
