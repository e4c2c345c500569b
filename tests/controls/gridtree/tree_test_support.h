// Helpers of the grid tree tests: a tree exposing protected members, an invariant checker
// that recomputes every total from scratch.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "common/test_support.h"
#include "controls/gridtree/basetree.h"

class TTestTree : public gridtree::TBaseGridTree {
public:
    using gridtree::TBaseGridTree::AllocateInternalDataArea;
    using gridtree::TBaseGridTree::MakeNewNode;
    using gridtree::TBaseGridTree::InternalConnectNode;
    using gridtree::TBaseGridTree::InternalDisconnectNode;
    using gridtree::TBaseGridTree::ChangeCheckState;
};

// Every node in tree order, without initialising anything.
inline std::vector<gridtree::PGridNode> AllNodes(const gridtree::TBaseGridTree& Tree) {
    std::vector<gridtree::PGridNode> nodes;
    for (gridtree::PGridNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n)) nodes.push_back(n);
    return nodes;
}

// Recomputes counts, heights, indexes, links, flags, the visible count and the selection
// count and compares them with what the tree keeps.
inline void CheckInvariants(const gridtree::TBaseGridTree& Tree) {
    SCOPED_TRACE("invariants");
    uint32_t visible = 0, selected = 0;
    std::function<void(gridtree::PGridNode, bool)> check = [&](gridtree::PGridNode node, bool fullyVisible) {
        uint32_t count = 1, childHeights = 0, index = 0;
        gridtree::PGridNode prev = nullptr;
        for (gridtree::PGridNode c = node->FirstChildNode; c; prev = c, c = c->NextSiblingNode, ++index) {
            ASSERT_EQ(node, c->Parent);
            ASSERT_EQ(prev, c->PrevSiblingNode);
            ASSERT_EQ(index, c->Index);
            bool childVisible =
                fullyVisible && (node->States & gridtree::vsExpanded) && (c->States & gridtree::vsVisible);
            if (childVisible) ++visible;
            if (c->States & gridtree::vsSelected) ++selected;
            check(c, childVisible);
            count += c->SubtreeCount;
            if (c->States & gridtree::vsVisible) childHeights += c->SubtreeHeight;
        }
        ASSERT_EQ(prev, node->LastChildNode);
        ASSERT_EQ(index, node->ChildCount);
        ASSERT_EQ(count, node->SubtreeCount);
        uint32_t height = node->NodeHeight + ((node->States & gridtree::vsExpanded) ? childHeights : 0);
        ASSERT_EQ(height, node->SubtreeHeight);
        if (node->ChildCount > 0) { ASSERT_TRUE(node->States & gridtree::vsHasChildren); }
        if (node != Tree.RootNode() && node->ChildCount == 0) { ASSERT_FALSE(node->States & gridtree::vsExpanded); }
    };
    check(Tree.RootNode(), true);
    EXPECT_EQ(visible, Tree.VisibleCount());
    EXPECT_EQ(selected, Tree.SelectionCount());
}

using testsupport::PumpMessages;
using testsupport::PumpUntil;

inline bool WaitForCache(const gridtree::TBaseGridTree& Tree) {
    return PumpUntil([&] { return (Tree.TreeStates() & gridtree::tsUseCache) != 0; });
}

// The node at a tree position by walking every row from the top: the reference answer.
inline gridtree::PGridNode ReferenceNodeAt(const gridtree::TBaseGridTree& Tree, int Y, int* Top = nullptr) {
    int top = 0;
    for (gridtree::PGridNode n = Tree.GetFirstVisibleNoInit(); n; n = Tree.GetNextVisibleNoInit(n)) {
        if (Y < top + n->NodeHeight) {
            if (Top) *Top = top;
            return n;
        }
        top += n->NodeHeight;
    }
    return nullptr;
}
