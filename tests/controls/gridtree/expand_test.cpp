#include <string>

#include "tree_test_support.h"

using namespace gridtree;

TEST(GridTreeExpand, EventOrderAndRefusal) {
    TTestTree tree;
    std::string log;
    bool allow = true;
    tree.OnInitNode = [](TBaseGridTree*, PGridNode p, PGridNode, TGridNodeInitStates& s) {
        if (!p) s |= ivsHasChildren;
    };
    tree.OnExpanding = [&](TBaseGridTree*, PGridNode, bool& a) { log += "expanding,"; a = allow; };
    tree.OnInitChildren = [&](TBaseGridTree*, PGridNode, uint32_t& c) { log += "initchildren,"; c = 2; };
    tree.OnExpanded = [&](TBaseGridTree*, PGridNode) { log += "expanded,"; };
    tree.OnCollapsing = [&](TBaseGridTree*, PGridNode, bool& a) { log += "collapsing,"; a = allow; };
    tree.OnCollapsed = [&](TBaseGridTree*, PGridNode) { log += "collapsed,"; };
    tree.SetRootNodeCount(1);
    PGridNode node = tree.GetFirst();

    allow = false;
    tree.ToggleNode(node);
    EXPECT_EQ("expanding,", log);
    EXPECT_FALSE(tree.Expanded(node));
    allow = true;
    log.clear();
    tree.SetExpanded(node, true);
    EXPECT_EQ("expanding,initchildren,expanded,", log);
    EXPECT_EQ(3u, tree.VisibleCount());
    log.clear();
    tree.SetExpanded(node, false);
    EXPECT_EQ("collapsing,collapsed,", log);
    EXPECT_EQ(1u, tree.VisibleCount());
    CheckInvariants(tree);

    tree.SetExpanded(tree.RootNode(), false);  // the root is left alone
    EXPECT_TRUE(tree.RootNode()->States & vsExpanded);
}

TEST(GridTreeExpand, NodeWithoutChildrenStaysCollapsed) {
    TTestTree tree;
    int expanded = 0, expanding = 0;
    tree.OnExpanding = [&](TBaseGridTree*, PGridNode, bool&) { ++expanding; };
    tree.OnExpanded = [&](TBaseGridTree*, PGridNode) { ++expanded; };
    tree.SetRootNodeCount(4);
    tree.ToggleNode(tree.GetFirst());
    EXPECT_FALSE(tree.Expanded(tree.GetFirst()));
    EXPECT_EQ(0, expanded);
    // FullExpand over leaves asks once per leaf and expands none.
    expanding = 0;
    tree.FullExpand();
    EXPECT_EQ(4, expanding);
    EXPECT_EQ(0, expanded);
}

TEST(GridTreeExpand, ToggleInsideOwnExpandingIsIgnored) {
    TTestTree tree;
    tree.SetRootNodeCount(1);
    PGridNode node = tree.GetFirst();
    tree.SetChildCount(node, 2);
    int calls = 0;
    tree.OnExpanding = [&](TBaseGridTree* t, PGridNode n, bool&) {
        ++calls;
        t->ToggleNode(n);
    };
    tree.ToggleNode(node);
    EXPECT_EQ(1, calls);
    EXPECT_TRUE(tree.Expanded(node));
    CheckInvariants(tree);
}

TEST(GridTreeExpand, AutoFreeOnCollapseRecreatesChildren) {
    TTestTree tree;
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() | toAutoFreeOnCollapse);
    tree.OnInitNode = [](TBaseGridTree*, PGridNode p, PGridNode, TGridNodeInitStates& s) {
        if (!p) s |= ivsHasChildren;
    };
    int initChildren = 0, freed = 0;
    tree.OnInitChildren = [&](TBaseGridTree*, PGridNode, uint32_t& c) { ++initChildren; c = 3; };
    tree.OnFreeNode = [&](TBaseGridTree*, PGridNode) { ++freed; };
    tree.SetRootNodeCount(1);
    PGridNode node = tree.GetFirst();
    tree.ToggleNode(node);
    for (PGridNode c = tree.GetFirstChild(node); c; c = tree.GetNextSibling(c)) {}
    tree.ToggleNode(node);
    EXPECT_EQ(3, freed);
    EXPECT_EQ(0u, node->ChildCount);
    EXPECT_TRUE(node->States & vsHasChildren);
    tree.ToggleNode(node);
    EXPECT_EQ(2, initChildren);
    CheckInvariants(tree);
}

TEST(GridTreeExpand, FullExpandAndCollapse) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNextSibling(n)) {
        tree.SetChildCount(n, 2);
        tree.SetChildCount(n->FirstChildNode, 2);
    }
    PGridNode first = tree.GetFirst();
    tree.FullExpand(first);
    EXPECT_TRUE(tree.Expanded(first) && tree.Expanded(first->FirstChildNode));
    EXPECT_FALSE(tree.Expanded(first->NextSiblingNode));  // outside the subtree
    tree.FullExpand(tree.RootNode());                     // the root means the whole tree
    EXPECT_EQ(tree.TotalCount(), tree.VisibleCount());
    EXPECT_FALSE(tree.TreeStates() & (tsExpanding | tsUpdating));
    CheckInvariants(tree);
    tree.FullCollapse();
    EXPECT_EQ(3u, tree.VisibleCount());
    EXPECT_FALSE(tree.Expanded(first->FirstChildNode));
    CheckInvariants(tree);
}

TEST(GridTreeExpand, FullExpandSurvivesHandlersThatFreeNodes) {
    TTestTree tree;
    tree.SetRootNodeCount(4);
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNextSibling(n)) tree.SetChildCount(n, 2);
    PGridNode first = tree.GetFirst();
    // Expanding the last child of the first node deletes the node that followed the
    // subtree when the walk began.
    tree.OnExpanding = [&](TBaseGridTree* t, PGridNode n, bool&) {
        if (n->Parent == first && n->Index == 1 && first->NextSiblingNode) t->DeleteNode(first->NextSiblingNode);
    };
    tree.FullExpand(first);
    EXPECT_EQ(3u, tree.RootNodeCount());
    EXPECT_FALSE(tree.Expanded(tree.GetNextSibling(first)));
    CheckInvariants(tree);
}

TEST(GridTreeExpand, HandlerExceptionLeavesBracketsBalanced) {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.OnExpanding = [](TBaseGridTree*, PGridNode, bool&) { throw std::runtime_error("x"); };
    EXPECT_THROW(tree.FullExpand(), std::runtime_error);
    EXPECT_EQ(0u, tree.UpdateCount());
    EXPECT_FALSE(tree.TreeStates() & (tsExpanding | tsUpdating));
    EXPECT_FALSE(tree.GetFirst()->States & vsToggling);
}

TEST(GridTreeExpand, AutoScrollOnExpandPutsTallSubtreeAtTop) {
    TTestTree tree;
    tree.SetClientSize(200, 100);
    tree.SetRootNodeCount(10);
    PGridNode node = tree.GetFirst();
    for (int i = 0; i < 3; ++i) node = tree.GetNextSibling(node);
    tree.SetChildCount(node, 20);
    tree.ToggleNode(node);
    EXPECT_EQ(node, tree.GetTopNode());
}
