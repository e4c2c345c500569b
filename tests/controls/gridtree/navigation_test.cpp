#include <algorithm>
#include <random>

#include "tree_test_support.h"

using namespace gridtree;

namespace {

// Root: 3 nodes; node 0 has 2 children (child 1 has 2 children); node 2 has 1 child.
void BuildSample(TTestTree& tree) {
    tree.SetRootNodeCount(3);
    PGridNode a = tree.RootNode()->FirstChildNode;
    tree.SetChildCount(a, 2);
    tree.SetChildCount(a->LastChildNode, 2);
    tree.SetChildCount(tree.RootNode()->LastChildNode, 1);
}

}  // namespace

TEST(GridTreeNavigation, ForwardEqualsReversedBackwardAndNoInitNeverInitialises) {
    TTestTree tree;
    int inits = 0;
    tree.OnInitNode = [&](TBaseGridTree*, PGridNode, PGridNode, TGridNodeInitStates&) { ++inits; };
    BuildSample(tree);

    std::vector<PGridNode> forwardNoInit = AllNodes(tree);
    std::vector<PGridNode> backwardNoInit;
    for (PGridNode n = tree.GetLastNoInit(); n; n = tree.GetPreviousNoInit(n)) backwardNoInit.push_back(n);
    EXPECT_EQ(0, inits);
    ASSERT_EQ(8u, forwardNoInit.size());
    std::reverse(backwardNoInit.begin(), backwardNoInit.end());
    EXPECT_EQ(forwardNoInit, backwardNoInit);

    std::vector<PGridNode> forward, backward;
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNext(n)) forward.push_back(n);
    EXPECT_EQ(8, inits);
    for (PGridNode n = tree.GetLast(); n; n = tree.GetPrevious(n)) backward.push_back(n);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forwardNoInit, forward);
    EXPECT_EQ(forward, backward);

    // Levels, last of a leaf, the root as argument.
    EXPECT_EQ(0u, tree.GetNodeLevel(forward[0]));
    EXPECT_EQ(2u, tree.GetNodeLevel(forward[3]));
    EXPECT_EQ(nullptr, tree.GetLast(forward[1]));
    EXPECT_THROW(tree.GetNext(tree.RootNode()), EGridTreeAssertion);
    EXPECT_EQ(nullptr, tree.GetNext(nullptr));
    EXPECT_LT(tree.CompareNodePositions(forward[1], forward[5]), 0);
    EXPECT_GT(tree.CompareNodePositions(forward[3], forward[2]), 0);
    EXPECT_EQ(2, tree.CountLevelDifference(forward[0], forward[4]));
}

TEST(GridTreeNavigation, VisibleWalksFollowExpansion) {
    TTestTree tree;
    BuildSample(tree);
    std::vector<PGridNode> all = AllNodes(tree);
    tree.ToggleNode(all[0]);  // shows a's children, not the grandchildren
    std::vector<PGridNode> rows;
    for (PGridNode n = tree.GetFirstVisible(); n; n = tree.GetNextVisible(n)) rows.push_back(n);
    EXPECT_EQ((std::vector<PGridNode>{all[0], all[1], all[2], all[5], all[6]}), rows);
    std::vector<PGridNode> back;
    for (PGridNode n = tree.GetLastVisible(); n; n = tree.GetPreviousVisible(n)) back.push_back(n);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(rows, back);
    // A hidden node continues from its nearest expanded, fully visible ancestor.
    EXPECT_EQ(all[0], tree.GetVisibleParent(all[3]));
    EXPECT_EQ(all[1], tree.GetNextVisible(all[3]));
    EXPECT_EQ(all[2], tree.GetPreviousVisible(all[3]));
    // A hidden node has no display rectangle.
    RECT r = tree.GetDisplayRect(all[3], NoColumn, false);
    EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0);
}

TEST(GridTreeNavigation, GetNextCreatesChildrenThroughOnInitChildren) {
    TTestTree tree;
    tree.OnInitNode = [](TBaseGridTree*, PGridNode parent, PGridNode, TGridNodeInitStates& s) {
        if (!parent) s |= ivsHasChildren;
    };
    int asked = 0;
    tree.OnInitChildren = [&](TBaseGridTree*, PGridNode, uint32_t& count) { ++asked; count = 3; };
    tree.SetRootNodeCount(1);
    PGridNode first = tree.GetFirst();
    PGridNode child = tree.GetNext(first);
    EXPECT_EQ(1, asked);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(first, child->Parent);
    EXPECT_EQ(0u, child->Index);
}

TEST(GridTreeNavigation, SelectedWalksAndSortedSelection) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    BuildSample(tree);
    std::vector<PGridNode> all = AllNodes(tree);
    EXPECT_EQ(nullptr, tree.GetFirstSelected());
    for (int i : {6, 2, 3}) tree.SetSelected(all[size_t(i)], true);
    std::vector<PGridNode> walk;
    for (PGridNode n = tree.GetFirstSelected(); n; n = tree.GetNextSelected(n)) walk.push_back(n);
    EXPECT_EQ((std::vector<PGridNode>{all[2], all[3], all[6]}), walk);
    EXPECT_EQ((std::vector<PGridNode>{all[2], all[6]}), tree.GetSortedSelection(true));
    EXPECT_EQ(walk, tree.GetSortedSelection(false));
}

TEST(GridTreeNavigation, GetNodeAtTable) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    PGridNode a = tree.GetFirst();
    tree.SetChildCount(a, 2);
    tree.ToggleNode(a);
    tree.SetNodeHeight(a->FirstChildNode, 30);
    // Rows: a 0..17, a0 18..47, a1 48..65, b 66..83, c 84..101
    struct Case { int y; int row; int top; };
    const Case cases[] = {{-5, 0, 0}, {0, 0, 0}, {17, 0, 0}, {18, 1, 18}, {47, 1, 18},
                          {48, 2, 48}, {66, 3, 66}, {101, 4, 84}, {102, -1, -1}, {5000, -1, -1}};
    std::vector<PGridNode> rows;
    for (PGridNode n = tree.GetFirstVisible(); n; n = tree.GetNextVisible(n)) rows.push_back(n);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        int top = -99;
        PGridNode n = tree.GetNodeAt(0, c.y, false, &top);
        if (c.row < 0) {
            EXPECT_EQ(nullptr, n);
            EXPECT_EQ(-99, top);
        } else {
            EXPECT_EQ(rows[size_t(c.row)], n);
            EXPECT_EQ(c.top, top);
            RECT r = tree.GetDisplayRect(n, NoColumn, false);
            EXPECT_EQ(c.top, r.top);
        }
    }
}

TEST(GridTreeNavigation, GetNodeAtWithCacheEqualsWithout) {
    TTestTree tree;
    tree.BeginUpdate();
    tree.SetRootNodeCount(60);
    std::mt19937 rng(7);
    for (PGridNode n = tree.GetFirstNoInit(); n; n = n->NextSiblingNode) {
        tree.SetChildCount(n, 100);
        if (n->Index % 3 != 2) tree.ToggleNode(n);
        tree.SetNodeHeight(n, 10 + rng() % 30);
    }
    tree.EndUpdate();
    ASSERT_GT(tree.VisibleCount(), 2u * CacheThreshold);
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(tree.CalculateCacheEntryCount(), tree.PositionCache().size());
    int range = int(tree.RootNode()->SubtreeHeight);
    for (int i = 0; i < 400; ++i) {
        int y = int(rng() % uint32_t(range + 40));
        int top = -1, refTop = -1;
        PGridNode expected = ReferenceNodeAt(tree, y, &refTop);
        PGridNode got = tree.GetNodeAt(0, y, false, &top);
        ASSERT_EQ(expected, got) << y;
        if (got) {
            EXPECT_EQ(refTop, top);
            EXPECT_EQ(refTop, tree.GetDisplayRect(got, NoColumn, false).top);
        }
    }
}

TEST(GridTreeNavigation, HitTestPositions) {
    TTestTree tree;
    tree.SetClientSize(300, 200);
    tree.SetRootNodeCount(2);
    tree.SetHasChildren(tree.GetFirst(), true);
    THitInfo info;
    tree.GetHitTestInfoAt(-1, 5, true, info);
    EXPECT_EQ(THitPositions(hiToLeft), info.HitPositions);
    tree.GetHitTestInfoAt(5, 500, true, info);
    EXPECT_EQ(THitPositions(hiBelow), info.HitPositions);
    tree.GetHitTestInfoAt(5, 100, true, info);
    EXPECT_EQ(THitPositions(hiNowhere), info.HitPositions);
    tree.GetHitTestInfoAt(5, 5, true, info);  // on the button of the first node (toShowRoot)
    EXPECT_EQ(tree.GetFirst(), info.HitNode);
    EXPECT_EQ(THitPositions(hiOnItem | hiOnItemButton), info.HitPositions);
    tree.GetHitTestInfoAt(5, 20, true, info);  // the second node has no children
    EXPECT_EQ(THitPositions(hiOnItem | hiOnItemIndent), info.HitPositions);
    tree.GetHitTestInfoAt(100, 20, true, info);
    EXPECT_EQ(THitPositions(hiOnItem | hiOnItemRight), info.HitPositions);
}
