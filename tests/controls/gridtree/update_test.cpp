#include <string>

#include "tree_test_support.h"

using namespace gridtree;

TEST(GridTreeUpdates, NestedBracketsFireEachNotificationOnceAtTheEnd) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    std::string log;
    PGridNode lastChanged = nullptr;
    tree.OnUpdating = [&](TBaseGridTree*, TGTUpdateState s) {
        const char* names[] = {"B", "BS", "S", "E", "ES", "U"};
        log += names[s];
    };
    tree.OnChange = [&](TBaseGridTree*, PGridNode n) { log += "C"; lastChanged = n; };
    TChangeReason reason = crIgnore;
    tree.OnStructureChange = [&](TBaseGridTree*, PGridNode, TChangeReason r) { log += "X"; reason = r; };

    tree.BeginUpdate();
    tree.BeginUpdate();
    tree.SetRootNodeCount(4);
    tree.SetSelected(tree.GetFirst(), true);
    PGridNode second = tree.GetNext(tree.GetFirst());
    tree.SetSelected(second, true);
    tree.DeleteNode(tree.GetLast());
    tree.EndUpdate();
    EXPECT_EQ("BUUUU", log);
    tree.EndUpdate();
    EXPECT_EQ("BUUUUXCE", log);
    EXPECT_EQ(second, lastChanged);
    EXPECT_EQ(crAccumulated, reason);

    // Unbalanced ends do nothing, not even report an end.
    log.clear();
    tree.EndUpdate();
    tree.EndUpdate();
    EXPECT_EQ(0u, tree.UpdateCount());
    EXPECT_EQ("", log);
    EXPECT_FALSE(tree.TreeStates() & tsUpdating);
    // A bracket after them still works as a whole.
    tree.BeginUpdate();
    tree.EndUpdate();
    EXPECT_EQ("BE", log);
}

TEST(GridTreeUpdates, ChangeDelayUsesTheTimerUnlessSynchronised) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    tree.SetRootNodeCount(6);
    tree.SetChangeDelay(30);
    std::vector<PGridNode> changed;
    tree.OnChange = [&](TBaseGridTree*, PGridNode n) { changed.push_back(n); };
    PGridNode last = nullptr;
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {
        tree.SetSelected(n, true);
        last = n;
    }
    EXPECT_TRUE(changed.empty());
    ASSERT_TRUE(PumpUntil([&] { return !changed.empty(); }));
    EXPECT_EQ((std::vector<PGridNode>{last}), changed);

    changed.clear();
    tree.BeginSynch();
    tree.SetSelected(last, false);
    EXPECT_EQ((std::vector<PGridNode>{last}), changed);
    tree.EndSynch();
    EXPECT_FALSE(tree.TreeStates() & tsSynchMode);
}

TEST(GridTreeUpdates, BeginSynchFlushesPendingNotifications) {
    TTestTree tree;
    tree.SetChangeDelay(10000);
    int structure = 0;
    tree.OnStructureChange = [&](TBaseGridTree*, PGridNode, TChangeReason) { ++structure; };
    tree.SetRootNodeCount(2);  // the update bracket inside fires at its end
    EXPECT_EQ(1, structure);
    tree.SetChildCount(tree.GetFirst(), 3);  // waits for the delay
    EXPECT_EQ(1, structure);
    EXPECT_TRUE(tree.TreeStates() & tsStructureChangePending);
    tree.BeginSynch();
    EXPECT_EQ(2, structure);
    tree.SetChildCount(tree.GetFirst(), 5);
    EXPECT_EQ(3, structure);
    tree.EndSynch();
}

TEST(GridTreeUpdates, StateChangeFiresOnlyForRealChanges) {
    TTestTree tree;
    int fired = 0;
    tree.OnStateChange = [&](TBaseGridTree*, TGridTreeStates, TGridTreeStates) { ++fired; };
    tree.DoStateChange(tsNeedScale, 0);
    EXPECT_EQ(1, fired);
    tree.DoStateChange(tsNeedScale, 0);
    tree.DoStateChange(0, tsHint);
    EXPECT_EQ(1, fired);
    tree.DoStateChange(tsHint, tsHint);  // in both: ends up removed
    EXPECT_EQ(2, fired);
    EXPECT_FALSE(tree.TreeStates() & tsHint);
}

TEST(GridTreeUpdates, OffsetsAreClampedToTheRange) {
    TTestTree tree;
    tree.SetClientSize(100, 90);
    tree.SetRootNodeCount(10);  // 180 pixels
    EXPECT_EQ(180, tree.RangeY());
    tree.SetOffsetY(1);
    EXPECT_EQ(0, tree.OffsetY());
    tree.SetOffsetY(-1000);
    EXPECT_EQ(90 - 180, tree.OffsetY());
    // Scrolling a node inside collapsed parents into view expands them.
    tree.SetOffsetY(0);
    PGridNode last = tree.GetLast();
    tree.SetChildCount(last, 2);
    tree.ScrollIntoView(last->LastChildNode, false);
    EXPECT_TRUE(tree.Expanded(last));
    RECT r = tree.GetDisplayRect(last->LastChildNode, NoColumn, false);
    EXPECT_LE(r.bottom, 90);
    EXPECT_GE(r.top, 0);
}

TEST(GridTreeUpdates, PendingNotificationsNeverCarryAFreedNode) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    tree.SetRootNodeCount(3);
    PGridNode changed = reinterpret_cast<PGridNode>(1);
    PGridNode structure = reinterpret_cast<PGridNode>(1);
    tree.OnChange = [&](TBaseGridTree*, PGridNode n) { changed = n; };
    tree.OnStructureChange = [&](TBaseGridTree*, PGridNode n, TChangeReason) { structure = n; };
    PGridNode doomed = tree.GetNext(tree.GetFirst());
    tree.BeginUpdate();
    tree.SetChildCount(doomed, 2);
    tree.SetSelected(doomed, true);
    tree.DeleteNode(doomed);
    tree.EndUpdate();
    EXPECT_EQ(nullptr, changed);
    EXPECT_EQ(nullptr, structure);
    CheckInvariants(tree);
}

namespace {
// Records the sort requests the end of an update makes.
class TSortingTree : public TBaseGridTree {
public:
    std::string Log;

protected:
    void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) override {
        Log += "S(" + std::to_string(Column) + "," + std::to_string(int(Direction)) + "," + (DoInit ? "1" : "0") + ")";
    }
    void DoChange(PGridNode Node) override {
        Log += "C";
        TBaseGridTree::DoChange(Node);
    }
};
}  // namespace

TEST(GridTreeUpdates, AutoSortSortsOnceWhenTheOutermostUpdateEnds) {
    TSortingTree tree;
    tree.BeginUpdate();
    tree.SetRootNodeCount(3);
    tree.EndUpdate();
    EXPECT_EQ("", tree.Log);  // not without the option

    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() | toAutoSort);
    tree.BeginUpdate();
    tree.BeginUpdate();
    tree.SetSelected(tree.GetFirst(), true);
    tree.EndUpdate();
    EXPECT_EQ("", tree.Log);
    tree.EndUpdate();
    // After the pending change, with the header's sort column (none yet) ascending.
    EXPECT_EQ("CS(-1,0,1)", tree.Log);
}
