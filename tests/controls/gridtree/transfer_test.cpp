// Sorting, moving nodes inside and between trees, pasting tree data, and the OLE clipboard.
#include <algorithm>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "classlib/comobject.h"
#include "controls/gridtree/gridtree_dataobject.h"
#include "transfer_test_support.h"

using namespace gridtree;

namespace {

// A data object of Tree's clipboard data (the tree offers its own format).
classlib::TComPtr<IDataObject> ClipboardData(TKeyTree& Tree) {
    Tree.ClipboardFormats().Add(L"Grid Tree Data");
    return classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(&Tree, true));
}

PGridNode NodeWithKey(TKeyTree& Tree, int Key) {
    for (PGridNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n))
        if (Tree.Key(n) == Key) return n;
    return nullptr;
}

// Marks nodes as the tree's cut (Cut) or copied set.
void MarkForClipboard(TKeyTree& Tree, std::initializer_list<int> Keys, bool Cut) {
    Tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    Tree.ClearSelection();
    for (int key : Keys) Tree.AddToSelection(NodeWithKey(Tree, key));
    Tree.MarkCutCopyNodes();
    Tree.DoStateChange(Cut ? tsCutPending : tsCopyPending, 0);
}

}  // namespace

TEST(GridTreeSort, StableInBothDirections) {
    TKeyTree tree;
    std::mt19937 rng(7);
    // Keys: sort key * 1000 + original position.
    std::string shape;
    for (int i = 0; i < 300; ++i) shape += (i ? "," : "") + std::to_string(int(rng() % 8) * 1000 + i);
    tree.Build(shape);
    // Deletions leave renumbering pending: the sort must still number every node.
    tree.DeleteNode(tree.GetFirstNoInit()->NextSiblingNode);
    std::vector<TColumnIndex> columns;
    tree.OnCompareNodes = [&](TBaseGridTree*, PGridNode A, PGridNode B, TColumnIndex Column, int& Result) {
        columns.push_back(Column);
        Result = tree.Key(A) / 1000 - tree.Key(B) / 1000;
    };
    for (TSortDirection direction : {sdAscending, sdDescending}) {
        SCOPED_TRACE(direction);
        tree.Sort(nullptr, 3, direction);
        std::vector<int> keys;
        for (PGridNode n = tree.GetFirstNoInit(); n; n = n->NextSiblingNode) keys.push_back(tree.Key(n));
        ASSERT_EQ(299u, keys.size());
        for (size_t i = 1; i < keys.size(); ++i) {
            const int before = keys[i - 1] / 1000, after = keys[i] / 1000;
            if (before == after) EXPECT_LT(keys[i - 1] % 1000, keys[i] % 1000) << i;  // stable
            else EXPECT_EQ(direction == sdAscending, before < after) << i;
        }
        ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
        // Re-sorting a sorted chain in the other direction starts from this order, so
        // equal keys keep the order they had before each sort.
        std::vector<int> resorted = keys;
        std::stable_sort(resorted.begin(), resorted.end(),
                         [&](int a, int b) { return direction == sdAscending ? a / 1000 < b / 1000 : a / 1000 > b / 1000; });
        EXPECT_EQ(resorted, keys);
    }
    EXPECT_TRUE(std::all_of(columns.begin(), columns.end(), [](TColumnIndex c) { return c == 3; }));
}

TEST(GridTreeSort, SortTreeSortsEveryInitialisedChain) {
    TKeyTree tree;
    tree.Build("3(9,7(2,1)),1(5,4),2");
    tree.OnCompareNodes = [&](TBaseGridTree*, PGridNode A, PGridNode B, TColumnIndex, int& Result) {
        Result = tree.Key(A) - tree.Key(B);
    };
    tree.SortTree(InvalidColumn, sdAscending);
    EXPECT_EQ("3(9,7(2,1)),1(5,4),2", tree.Shape());
    tree.SortTree(0, sdAscending);
    EXPECT_EQ("1(4,5),2,3(7(1,2),9)", tree.Shape());
    tree.SortTree(0, sdDescending);
    EXPECT_EQ("3(9,7(2,1)),2,1(5,4)", tree.Shape());
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
}

// A comparison that throws part way through leaves the children linked in the order they
// had (the tree stays whole and can be sorted again).
TEST(GridTreeSort, AThrowingComparisonLeavesTheChildrenAsTheyWere) {
    TKeyTree tree;
    tree.Build("5,3(2,1),9,1,7,4,8,6,2");
    const std::string before = tree.Shape();
    int calls = 0;
    tree.OnCompareNodes = [&](TBaseGridTree*, PGridNode A, PGridNode B, TColumnIndex, int& Result) {
        if (++calls == 6) throw std::runtime_error("comparison failed");
        Result = tree.Key(A) - tree.Key(B);
    };
    EXPECT_THROW(tree.Sort(nullptr, 0, sdAscending), std::runtime_error);
    EXPECT_EQ(before, tree.Shape());
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
    tree.Sort(nullptr, 0, sdAscending);
    EXPECT_EQ("1,2,3(2,1),4,5,6,7,8,9", tree.Shape());
}

TEST(GridTreeMove, InsideTheTree) {
    TKeyTree tree;
    tree.Build("1(2,3),4,5(6)");
    std::vector<int> moved;
    tree.OnNodeMoved = [&](TBaseGridTree*, PGridNode Node) { moved.push_back(tree.Key(Node)); };
    tree.MoveTo(NodeWithKey(tree, 4), NodeWithKey(tree, 1), amAddChildFirst, false);
    EXPECT_EQ("1(4,2,3),5(6)", tree.Shape());
    tree.MoveTo(NodeWithKey(tree, 1), NodeWithKey(tree, 6), amInsertAfter, true);  // the children only
    EXPECT_EQ("1,5(6,4,2,3)", tree.Shape());  // in their order
    EXPECT_EQ((std::vector<int>{4, 3, 2, 4}), moved);
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
    try {
        tree.MoveTo(NodeWithKey(tree, 5), NodeWithKey(tree, 2), amInsertBefore, false);
        ADD_FAILURE() << "moved a node below itself";
    } catch (const EGridTreeError& e) {
        EXPECT_EQ(L"Target node cannot be a child node of the node to be moved.", e.Message());
        EXPECT_EQ(2001, e.HelpContext());
    }
    tree.OnNodeMoving = [](TBaseGridTree*, PGridNode, PGridNode, bool& Allowed) { Allowed = false; };
    tree.MoveTo(NodeWithKey(tree, 1), nullptr, amAddChildLast, false);
    EXPECT_EQ("1,5(6,4,2,3)", tree.Shape());
    TKeyTree other;
    other.Build("8");
    EXPECT_THROW(tree.MoveTo(other.GetFirstNoInit(), nullptr, amAddChildLast, false), EGridTreeAssertion);
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
}

TEST(GridTreeMove, IntoAnotherTree) {
    TKeyTree source, target;
    source.Build("1(2,3),4");
    target.Build("9");
    std::vector<int> arrived;
    target.OnNodeMoved = [&](TBaseGridTree*, PGridNode Node) { arrived.push_back(target.Key(Node)); };
    std::vector<std::pair<PGridNode, TChangeReason>> changes;
    source.BeginSynch();
    source.OnStructureChange = [&](TBaseGridTree*, PGridNode Node, TChangeReason Reason) {
        changes.emplace_back(Node, Reason);
    };
    source.MoveTo(NodeWithKey(source, 1), NodeWithKey(target, 9), amInsertAfter, false);
    EXPECT_EQ("4", source.Shape());
    EXPECT_EQ("9,1(2,3)", target.Shape());
    EXPECT_EQ(std::vector<int>{1}, arrived);
    // The moved node is gone from the source: the report names its former parent (the
    // root, nil), never the freed node.
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(nullptr, changes.back().first);
    EXPECT_EQ(crNodeMoved, changes.back().second);
    source.MoveTo(NodeWithKey(source, 4), target.RootNode(), amInsertBefore, false);
    EXPECT_EQ("4,9,1(2,3)", target.Shape());
    EXPECT_EQ(0u, source.TotalCount());
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(source));
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(target));
    source.EndSynch();
}

TEST(GridTreePaste, CopiesAndMovesKeepTheirPlaces) {
    const struct {
        TGTNodeAttachMode Mode;
        bool Cut;
        const char* Expected;
    } cases[] = {
        {amInsertAfter, false, "1,3(4),2,2,3(4)"},  // copies after X come out reversed
        {amInsertAfter, true, "1,2,3(4)"},           // moved after a cut: in order
        {amInsertBefore, false, "2,3(4),1,2,3(4)"},
        {amAddChildLast, false, "1(2,3(4)),2,3(4)"},
        {amAddChildFirst, true, "1(2,3(4))"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        TKeyTree tree;
        tree.Build("1,2,3(4)");
        MarkForClipboard(tree, {2, 3}, c.Cut);
        auto data = ClipboardData(tree);
        EXPECT_TRUE(tree.ProcessOLEData(&tree, data.Get(), NodeWithKey(tree, 1), c.Mode, c.Cut));
        EXPECT_EQ(c.Expected, tree.Shape());
        ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
    }
}

TEST(GridTreePaste, RefusedCopiesAreRemovedAgainAndCountsFollow) {
    TKeyTree source;
    source.Build("5(6(7,8))");
    MarkForClipboard(source, {5}, false);
    auto data = ClipboardData(source);

    TKeyTree tree;
    tree.Build("1(2)");
    PGridNode two = NodeWithKey(tree, 2);
    PGridNode one = NodeWithKey(tree, 1);
    std::vector<PGridNode> asked;
    bool allow = true;
    tree.OnNodeCopying = [&](TBaseGridTree*, PGridNode Node, PGridNode Target, bool& Allowed) {
        asked.push_back(Target);
        EXPECT_EQ(5, tree.Key(Node));
        Allowed = allow;
    };
    ASSERT_TRUE(tree.ProcessOLEData(&source, data.Get(), two, amAddChildLast, false));
    EXPECT_EQ("1(2(5(6(7,8))))", tree.Shape());
    EXPECT_EQ(5u, two->SubtreeCount);
    EXPECT_EQ(6u, one->SubtreeCount);
    EXPECT_EQ(7u, tree.RootNode()->SubtreeCount);
    allow = false;
    ASSERT_TRUE(tree.ProcessOLEData(&source, data.Get(), two, amAddChildLast, false));
    EXPECT_EQ("1(2(5(6(7,8))))", tree.Shape());
    EXPECT_EQ(7u, tree.RootNode()->SubtreeCount);
    EXPECT_EQ((std::vector<PGridNode>{two, two}), asked);
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
}

TEST(GridTreePaste, SelectionMarksOfPastedNodesWithoutMultiSelect) {
    TKeyTree source;
    source.Build("5,6");
    MarkForClipboard(source, {5, 6}, false);
    ASSERT_TRUE(source.Selected(NodeWithKey(source, 5)));
    auto data = ClipboardData(source);
    TKeyTree tree;
    tree.Build("1,2");
    tree.SetSelected(NodeWithKey(tree, 2), true);
    ASSERT_TRUE(tree.ProcessOLEData(&source, data.Get(), nullptr, amAddChildLast, false));
    EXPECT_EQ("1,2,5,6", tree.Shape());
    EXPECT_EQ(1u, tree.SelectionCount());
    EXPECT_TRUE(tree.Selected(NodeWithKey(tree, 2)));
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
    // With toMultiSelect the pasted marks join the selection.
    TKeyTree multi;
    multi.TreeOptions().SetSelectionOptions(toMultiSelect);
    ASSERT_TRUE(multi.ProcessOLEData(&source, data.Get(), nullptr, amAddChildLast, false));
    EXPECT_EQ(2u, multi.SelectionCount());
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(multi));
}

TEST(GridTreeClipboard, CopyCutPasteThroughTheSystemClipboard) {
    TKeyTree tree, other;
    tree.ClipboardFormats().Add(L"Grid Tree Data");
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    tree.Build("1,2(3),4");
    tree.AddToSelection(NodeWithKey(tree, 2));
    tree.CopyToClipboard();
    ASSERT_TRUE(tree.TreeStates() & tsCopyPending);
    EXPECT_TRUE(NodeWithKey(tree, 2)->States & vsCutOrCopy);
    EXPECT_FALSE(NodeWithKey(tree, 3)->States & vsCutOrCopy);

    other.Build("9");
    other.SetFocusedNode(NodeWithKey(other, 9));
    other.SetDefaultPasteMode(amInsertAfter);
    ASSERT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ("9,2(3)", other.Shape());
    EXPECT_EQ("1,2(3),4", tree.Shape());

    // A cut pasted into another tree moves the nodes there.
    tree.CutToClipboard();
    ASSERT_TRUE(tree.TreeStates() & tsCutPending);
    ASSERT_TRUE(other.PasteFromClipboard());
    EXPECT_EQ("9,2(3),2(3)", other.Shape());
    EXPECT_EQ("1,4", tree.Shape());
    EXPECT_FALSE(tree.TreeStates() & tsCutPending);
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(other));

    // When the clipboard lets the data go, the marks of a pending copy go with it.
    tree.AddToSelection(NodeWithKey(tree, 4));
    tree.CopyToClipboard();
    ASSERT_TRUE(NodeWithKey(tree, 4)->States & vsCutOrCopy);
    ASSERT_EQ(S_OK, OleSetClipboard(nullptr));
    EXPECT_FALSE(NodeWithKey(tree, 4)->States & vsCutOrCopy);
    EXPECT_FALSE(tree.TreeStates() & tsCopyPending);

    // A tree that offers no formats puts nothing a tree can paste.
    TKeyTree silent;
    silent.Build("7");
    silent.SetSelected(silent.GetFirstNoInit(), true);
    silent.CopyToClipboard();
    EXPECT_FALSE(other.PasteFromClipboard());
    OleSetClipboard(nullptr);
}
