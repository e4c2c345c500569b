#include <memory>
#include <random>

#include "controls/gridtree/gridtree_services.h"
#include "tree_test_support.h"

using namespace gridtree;

TEST(GridTreeCache, EntriesEveryThresholdRows) {
    struct Case { uint32_t rows; std::vector<uint32_t> entryRows; };
    const Case cases[] = {{2000, {}}, {2001, {0, 2000}}, {4500, {0, 2000, 4000}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        TTestTree tree;
        tree.SetRootNodeCount(c.rows);
        if (c.entryRows.empty()) {
            // Nothing to build: the worker reports no cache.
            ASSERT_TRUE(PumpUntil([&] { return !(tree.TreeStates() & tsValidating) && !SharedWorker()->IsInWork(&tree); }));
            EXPECT_FALSE(tree.TreeStates() & tsUseCache);
            EXPECT_TRUE(tree.PositionCache().empty());
            continue;
        }
        ASSERT_TRUE(WaitForCache(tree));
        ASSERT_EQ(c.entryRows.size(), tree.PositionCache().size());
        for (size_t i = 0; i < c.entryRows.size(); ++i) {
            EXPECT_EQ(c.entryRows[i], tree.PositionCache()[i].Node->Index);
            EXPECT_EQ(c.entryRows[i] * 18, tree.PositionCache()[i].AbsoluteTop);
        }
    }
}

TEST(GridTreeCache, ChangeStateMessageAppliesOnlyTheFourBits) {
    TTestTree tree;
    tree.SetRootNodeCount(10);
    TGridTreeStates before = tree.TreeStates();
    SendMessageW(tree.Handle(), WM_CHANGESTATE, ~WPARAM(4), 0);
    TGridTreeStates after = tree.TreeStates();
    EXPECT_EQ(0u, (after & ~before) & ~(tsStopValidation | tsValidating | tsValidationNeeded));
    // No build of the current structure exists, so the cache is not marked usable.
    EXPECT_FALSE(after & tsUseCache);
    SendMessageW(tree.Handle(), WM_CHANGESTATE, 0, ~LPARAM(0));
    EXPECT_FALSE(tree.TreeStates() & (tsStopValidation | tsValidating | tsValidationNeeded));
}

TEST(GridTreeCache, UpdateBracketWithoutChangesKeepsTheCache) {
    TTestTree tree;
    tree.SetRootNodeCount(3000);
    ASSERT_TRUE(WaitForCache(tree));
    tree.BeginUpdate();
    tree.EndUpdate();
    EXPECT_TRUE(tree.TreeStates() & tsUseCache);
}

// A lookup far down a large tree that finds no cache builds it at once, so the lookups
// after it search instead of walking; expanding a node that has no children moves no row
// and keeps it.
TEST(GridTreeCache, FarLookupsBuildTheCacheAndAChildlessExpandKeepsIt) {
    TTestTree tree;
    tree.SetRootNodeCount(5000);
    std::vector<PGridNode> rows = AllNodes(tree);
    ASSERT_FALSE(tree.TreeStates() & tsUseCache) << "the worker builds only after a pause";
    EXPECT_EQ(10 * 18, tree.GetDisplayRect(rows[10], NoColumn, false).top);
    EXPECT_FALSE(tree.TreeStates() & tsUseCache) << "a near row is found without one";
    EXPECT_EQ(4321 * 18, tree.GetDisplayRect(rows[4321], NoColumn, false).top);
    EXPECT_TRUE(tree.TreeStates() & tsUseCache);
    EXPECT_EQ(tree.CalculateCacheEntryCount(), tree.PositionCache().size());

    tree.SetExpanded(rows[100], true);
    EXPECT_EQ(0u, rows[100]->ChildCount);
    EXPECT_TRUE(tree.TreeStates() & tsUseCache);

    tree.InvalidateCache();
    int top = -1;
    EXPECT_EQ(rows[4000], tree.GetNodeAt(0, 4000 * 18 + 5, false, &top));
    EXPECT_EQ(4000 * 18, top);
    EXPECT_TRUE(tree.TreeStates() & tsUseCache);
}

TEST(GridTreeCache, WorkerLivesWhileTreesExist) {
    auto first = std::make_unique<TTestTree>();
    TWorkerThread* worker = SharedWorker();
    ASSERT_NE(nullptr, worker);
    int count = worker->TreeCount;
    auto second = std::make_unique<TTestTree>();
    EXPECT_EQ(count + 1, worker->TreeCount);
    second.reset();
    EXPECT_EQ(worker, SharedWorker());
    EXPECT_EQ(count, worker->TreeCount);
}

TEST(GridTreeCache, MutationsDuringValidationKeepCachedAnswersExact) {
    TTestTree tree;
    std::mt19937 rng(99);
    tree.BeginUpdate();
    tree.SetRootNodeCount(100);
    for (PGridNode n = tree.GetFirstNoInit(); n; n = n->NextSiblingNode) {
        tree.SetChildCount(n, 1000);
        tree.ToggleNode(n);
    }
    tree.EndUpdate();
    // The validation timer hands the tree over once changes pause; here it is handed over
    // at once and now and then, so that changes meet a validation of 100,100 rows.
    auto handOver = [&] {
        SharedWorker()->QueueTree(&tree);
        SharedWorker()->Signal();
    };
    handOver();
    for (int round = 0; round < 200; ++round) {
        PGridNode top = tree.RootNode()->FirstChildNode;
        for (uint32_t skip = rng() % 100; skip && top->NextSiblingNode; --skip) top = top->NextSiblingNode;
        switch (rng() % 5) {
            case 0: tree.SetChildCount(top, 900 + rng() % 200); break;
            case 1: tree.ToggleNode(top); break;
            case 2: tree.SetNodeHeight(top->FirstChildNode ? top->FirstChildNode : top, 5 + rng() % 50); break;
            case 3: if (top->LastChildNode) tree.DeleteNode(top->LastChildNode); break;
            case 4: tree.SetDefaultNodeHeight(16 + rng() % 6); break;
        }
        if (rng() % 4 == 0) PumpMessages();
        if (rng() % 3 == 0) handOver();
        if (rng() % 8 == 0) Sleep(rng() % 3);
    }
    CheckInvariants(tree);
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(tree.CalculateCacheEntryCount(), tree.PositionCache().size());
    int range = int(tree.RootNode()->SubtreeHeight);
    for (int i = 0; i < 300; ++i) {
        int y = int(rng() % uint32_t(range));
        int top = -1, refTop = -2;
        ASSERT_EQ(ReferenceNodeAt(tree, y, &refTop), tree.GetNodeAt(0, y, false, &top)) << y;
        EXPECT_EQ(refTop, top);
    }
}

TEST(GridTreeCache, DestroyRightAfterTheWorkerTookTheTree) {
    std::mt19937 rng(5);
    for (int i = 0; i < 12; ++i) {
        auto tree = std::make_unique<TTestTree>();
        tree->SetRootNodeCount(20000 + rng() % 30000);
        // The validation timer hands the tree to the worker (the tree leaves tsStopValidation).
        ASSERT_TRUE(PumpUntil([&] { return !(tree->TreeStates() & tsStopValidation); }));
        // Let the worker take it (or not) and destroy at different moments.
        switch (i % 3) {
            case 0: break;
            case 1: Sleep(rng() % 3); break;
            case 2: PumpUntil([&] { return (tree->TreeStates() & (tsValidating | tsUseCache)) != 0; }); break;
        }
        tree.reset();
    }
    // The worker is still serving trees afterwards.
    TTestTree tree;
    tree.SetRootNodeCount(5000);
    EXPECT_TRUE(WaitForCache(tree));
}

TEST(GridTreeCache, TreeQueuedTwiceIsValidatedOnce) {
    TTestTree tree;
    tree.SetRootNodeCount(3000);
    ASSERT_TRUE(WaitForCache(tree));
    ASSERT_TRUE(PumpUntil([&] { return !SharedWorker()->IsInWork(&tree); }));
    int validations = 0;
    tree.OnStateChange = [&](TBaseGridTree*, TGridTreeStates enter, TGridTreeStates) {
        if (enter & tsValidating) ++validations;
    };
    SharedWorker()->QueueTree(&tree);
    SharedWorker()->QueueTree(&tree);
    SharedWorker()->Signal();
    SharedWorker()->Signal();
    ASSERT_TRUE(PumpUntil([&] {
        return validations == 1 && !SharedWorker()->IsInWork(&tree) && (tree.TreeStates() & tsUseCache);
    }));
    DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start > 100; });
    EXPECT_EQ(1, validations);
}

TEST(GridTreeCache, OwnerCodeNeverRunsOnTheWorker) {
    TTestTree tree;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() | toVariableNodeHeight);
    DWORD mainThread = GetCurrentThreadId();
    int measured = 0, elsewhere = 0;
    tree.OnMeasureItem = [&](TBaseGridTree*, HDC, PGridNode n, int& h) {
        ++measured;
        if (GetCurrentThreadId() != mainThread) ++elsewhere;
        h = 10 + int(n->Index % 7);
    };
    tree.OnStateChange = [&](TBaseGridTree*, TGridTreeStates, TGridTreeStates) {
        if (GetCurrentThreadId() != mainThread) ++elsewhere;
    };
    tree.SetRootNodeCount(5000);
    ASSERT_TRUE(WaitForCache(tree));
    tree.BeginUpdate();
    tree.ReinitChildren(nullptr, false);  // forgets the measured heights
    tree.SetNodeHeight(tree.GetFirstNoInit(), 25);  // and needs a new cache
    tree.EndUpdate();
    measured = 0;
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(0, measured);  // the build reads stored heights
    tree.GetNodeAt(0, 30000, false);
    EXPECT_GT(measured, 0);
    EXPECT_EQ(0, elsewhere);
}

namespace {
// Counts the worker's state-change messages.
class TCountingTree : public TTestTree {
public:
    int StateMessages = 0;

protected:
    bool StateWindowProc(classlib::TMessage& Message) override {
        if (Message.Msg == WM_CHANGESTATE) ++StateMessages;
        return TTestTree::StateWindowProc(Message);
    }
};
}  // namespace

// Changes that keep coming between ticks of the validation timer keep the tree from the
// worker: no state-change message, no wait for the worker. The first tick after a pause
// hands it over once. (The ticks are sent by hand: the timer's own ticks need a pump.)
TEST(GridTreeCache, BurstOfAppendsWakesTheWorkerOnceAfterItEnds) {
    TCountingTree tree;
    tree.SetRootNodeCount(3000);
    ASSERT_TRUE(WaitForCache(tree));
    ASSERT_TRUE(PumpUntil([&] { return !SharedWorker()->IsInWork(&tree); }));
    tree.StateMessages = 0;
    auto tick = [&] { SendMessageW(tree.Handle(), WM_TIMER, ValidationTimer, 0); };
    for (int burst = 0; burst < 50; ++burst) {
        for (int row = 0; row < 20; ++row) tree.SetRootNodeCount(tree.RootNodeCount() + 1);
        tick();
        ASSERT_TRUE(tree.TreeStates() & tsStopValidation) << "handed over during the burst, tick " << burst;
    }
    EXPECT_EQ(0, tree.StateMessages);
    EXPECT_FALSE(tree.TreeStates() & tsUseCache);
    tick();  // nothing changed since the last tick: the burst is over
    EXPECT_FALSE(tree.TreeStates() & tsStopValidation);
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(2, tree.StateMessages);  // validating, then the cache in use
    EXPECT_EQ(tree.CalculateCacheEntryCount(), tree.PositionCache().size());
}
