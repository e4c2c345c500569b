#include <string>

#include "tree_test_support.h"

using namespace gridtree;

namespace {

// Five top-level rows; the selection as a string of 0/1 per row.
std::string SelectionPattern(TBaseGridTree& tree) {
    std::string s;
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNextSibling(n)) s += tree.Selected(n) ? '1' : '0';
    return s;
}

PGridNode Row(TBaseGridTree& tree, uint32_t index) {
    PGridNode n = tree.GetFirst();
    while (n && n->Index != index) n = tree.GetNextSibling(n);
    return n;
}

}  // namespace

TEST(GridTreeSelection, ClickRules) {
    struct Click { int row; bool ctrl; bool shift; };
    struct Case { const char* name; std::vector<Click> clicks; const char* expected; int anchor; };
    const Case cases[] = {
        {"plain click adds and anchors", {{1, false, false}}, "01000", 1},
        {"ctrl toggles", {{1, false, false}, {3, true, false}, {1, true, false}}, "00010", 1},
        {"shift replaces by range", {{1, false, false}, {3, false, true}}, "01110", 1},
        {"shift upwards", {{3, false, false}, {0, false, true}}, "11110", 3},
        {"ctrl+shift adds range", {{0, false, false}, {4, true, false}, {2, true, true}}, "10111", 4},
        {"shift without anchor starts at the top", {{2, false, true}}, "11100", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestTree tree;
        tree.TreeOptions().SetSelectionOptions(toMultiSelect);
        tree.SetRootNodeCount(5);
        for (const Click& click : c.clicks)
            tree.HandleClickSelection(nullptr, Row(tree, uint32_t(click.row)), click.ctrl, click.shift, false);
        EXPECT_EQ(c.expected, SelectionPattern(tree));
        EXPECT_EQ(Row(tree, uint32_t(c.anchor)), tree.RangeAnchor());
        CheckInvariants(tree);
    }
}

TEST(GridTreeSelection, SingleSelectionAndDisabledNodes) {
    TTestTree tree;
    tree.OnInitNode = [](TBaseGridTree*, PGridNode, PGridNode n, TGridNodeInitStates& s) {
        if (n->Index == 2) s |= ivsDisabled;
    };
    int changes = 0;
    tree.OnChange = [&](TBaseGridTree*, PGridNode) { ++changes; };
    tree.SetRootNodeCount(4);
    tree.SetSelected(Row(tree, 0), true);
    tree.SetSelected(Row(tree, 1), true);  // without toMultiSelect the first goes
    EXPECT_EQ("0100", SelectionPattern(tree));
    changes = 0;
    tree.SetSelected(Row(tree, 2), true);  // disabled: cleared the old one, adds nothing
    EXPECT_EQ(0, int(tree.SelectionCount()) - int(tree.Selected(Row(tree, 2))));
    EXPECT_FALSE(tree.Selected(Row(tree, 2)));
}

TEST(GridTreeSelection, ConstraintsAndOptionChanges) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect | toSiblingSelectConstraint);
    tree.SetRootNodeCount(2);
    PGridNode a = tree.GetFirst(), b = tree.GetNextSibling(a);
    tree.SetChildCount(a, 3);
    tree.SetChildCount(b, 3);
    tree.FullExpand();
    PGridNode a1 = a->FirstChildNode, b2 = b->LastChildNode;
    tree.HandleClickSelection(nullptr, a1, false, false, false);
    tree.HandleClickSelection(nullptr, b2, false, true, false);
    // Only a's children share the anchor's parent.
    EXPECT_EQ(3u, tree.SelectionCount());
    for (PGridNode n = tree.GetFirstSelected(); n; n = tree.GetNextSelected(n)) EXPECT_EQ(a, n->Parent);

    // Switching the sibling constraint off keeps the selection; toMultiSelect clears it.
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    EXPECT_EQ(3u, tree.SelectionCount());
    tree.TreeOptions().SetSelectionOptions(0);
    EXPECT_EQ(0u, tree.SelectionCount());

    tree.TreeOptions().SetSelectionOptions(toMultiSelect | toLevelSelectConstraint);
    tree.HandleClickSelection(nullptr, a, false, false, false);
    tree.HandleClickSelection(nullptr, b2, false, true, false);
    EXPECT_EQ(2u, tree.SelectionCount());  // a and b: level 0 only
    CheckInvariants(tree);
}

TEST(GridTreeSelection, SelectAllAndDeleteSelected) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    tree.SetRootNodeCount(3);
    tree.SetChildCount(tree.GetFirst(), 4);
    tree.SelectAll(true);
    EXPECT_EQ(3u, tree.SelectionCount());
    tree.SelectAll(false);
    EXPECT_EQ(7u, tree.SelectionCount());
    tree.UnselectNodes(tree.GetFirst(), tree.GetLast());
    EXPECT_EQ(4u, tree.SelectionCount());  // the unseen children stay selected
    tree.SetSelected(tree.GetFirst(), true);
    tree.DeleteSelectedNodes();
    EXPECT_EQ(2u, tree.RootNodeCount());
    EXPECT_EQ(0u, tree.SelectionCount());
    CheckInvariants(tree);
}

TEST(GridTreeSelection, PackSelectionArray) {
    struct TPacker : TTestTree {
        static int Pack(TNodeArray& a, int n) { return PackSelectionArray(a, n); }
    };
    TNodeArray empty;
    EXPECT_EQ(-1, TPacker::Pack(empty, 0));
    TGridNode nodes[3]{};
    TNodeArray a{&nodes[0], &nodes[1], &nodes[2]};
    EXPECT_EQ(3, TPacker::Pack(a, 3));
    a[1] = reinterpret_cast<PGridNode>(reinterpret_cast<uintptr_t>(a[1]) + 1);
    EXPECT_EQ(2, TPacker::Pack(a, 3));
    EXPECT_EQ(&nodes[2], a[1]);
}

TEST(GridTreeChecks, TriStatePropagation) {
    struct Case { const char* name; std::vector<int> check; std::vector<int> refuse; TCheckState parent; };
    const Case cases[] = {
        {"all children checked", {0, 1}, {}, csCheckedNormal},
        {"one of two checked", {0}, {}, csMixedNormal},
        {"none checked", {}, {}, csUncheckedNormal},
        {"parent checked, a child refuses", {-1}, {1}, csMixedNormal},
        {"parent checked", {-1}, {}, csCheckedNormal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestTree tree;
        tree.SetRootNodeCount(1);
        PGridNode parent = tree.GetFirst();
        tree.SetChildCount(parent, 2);
        tree.SetCheckType(parent, ctTriStateCheckBox);
        for (PGridNode ch = tree.GetFirstChild(parent); ch; ch = tree.GetNextSibling(ch))
            tree.SetCheckType(ch, ctCheckBox);
        tree.OnChecking = [&](TBaseGridTree*, PGridNode n, TCheckState&, bool& allowed) {
            for (int r : c.refuse)
                if (n->Parent == parent && int(n->Index) == r) allowed = false;
        };
        int checkedEvents = 0;
        tree.OnChecked = [&](TBaseGridTree*, PGridNode) { ++checkedEvents; };
        for (int i : c.check) {
            PGridNode target = i < 0 ? parent : (i == 0 ? parent->FirstChildNode : parent->LastChildNode);
            tree.SetCheckState(target, csCheckedNormal);
        }
        EXPECT_EQ(c.parent, tree.CheckState(parent));
        EXPECT_FALSE(tree.TreeStates() & tsCheckPropagation);
    }
}

TEST(GridTreeChecks, RadioButtonsUncheckSiblingsWithoutEvents) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNextSibling(n)) tree.SetCheckType(n, ctRadioButton);
    PGridNode a = tree.GetFirst(), b = tree.GetNextSibling(a);
    tree.SetCheckState(a, csCheckedNormal);
    int events = 0;
    tree.OnChecking = [&](TBaseGridTree*, PGridNode, TCheckState&, bool&) { ++events; };
    tree.SetCheckState(b, csCheckedNormal);
    EXPECT_EQ(1, events);
    EXPECT_EQ(csUncheckedNormal, tree.CheckState(a));
    EXPECT_EQ(csCheckedNormal, tree.CheckState(b));
    // Disabled nodes and read-only trees never change.
    b->States |= vsDisabled;
    tree.SetCheckState(b, csUncheckedNormal);
    EXPECT_EQ(csCheckedNormal, tree.CheckState(b));
}

TEST(GridTreeFocus, VetoAndColumn) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    PGridNode a = tree.GetFirst(), b = tree.GetNextSibling(a);
    bool allow = true;
    int changed = 0;
    tree.OnFocusChanging = [&](TBaseGridTree*, PGridNode, PGridNode, TColumnIndex, TColumnIndex, bool& ok) { ok = allow; };
    tree.OnFocusChanged = [&](TBaseGridTree*, PGridNode, TColumnIndex) { ++changed; };
    tree.SetFocusedNode(a);
    EXPECT_EQ(a, tree.FocusedNode());
    EXPECT_EQ(1, changed);
    allow = false;
    tree.SetFocusedNode(b);
    EXPECT_EQ(a, tree.FocusedNode());
    tree.SetFocusedNodeAndColumn(b, 2);
    EXPECT_EQ(NoColumn, tree.FocusedColumn());  // refused node restores the column
    EXPECT_EQ(1, changed);
}
