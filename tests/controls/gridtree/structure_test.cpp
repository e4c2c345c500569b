#include <random>
#include <set>

#include "tree_test_support.h"

using namespace gridtree;

namespace {

struct TOwnerRecord {  // an 18-byte owner record, as the registry views keep
    uint64_t A;
    uint64_t B;
    uint16_t C;
};

// A chain of Depth expanded nodes, each the only child of the one above, hung under the
// root. Made by hand: through the API every new level would walk all levels above it.
PGridNode MakeChain(TTestTree& Tree, uint32_t Depth) {
    std::vector<PGridNode> chain(Depth);
    for (PGridNode& node : chain) {
        node = Tree.MakeNewNode();
        node->States |= vsInitialized;
    }
    for (uint32_t level = Depth - 1; level-- > 0;) {
        PGridNode node = chain[level], child = chain[level + 1];
        child->Parent = node;
        node->FirstChildNode = node->LastChildNode = child;
        node->ChildCount = 1;
        node->States |= vsHasChildren | vsExpanded;
        node->SubtreeCount = 1 + child->SubtreeCount;
        node->SubtreeHeight = node->NodeHeight + child->SubtreeHeight;
    }
    Tree.InternalConnectNode(chain[0], nullptr, amAddChildLast);
    return chain[0];
}

}  // namespace

TEST(GridTreeStructure, RandomOperationsKeepInvariants) {
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    std::mt19937 rng(12345);
    tree.SetRootNodeCount(5);
    for (int step = 0; step < 1500; ++step) {
        std::vector<PGridNode> nodes = AllNodes(tree);
        PGridNode node = nodes.empty() ? nullptr : nodes[rng() % nodes.size()];
        bool bracket = rng() % 5 == 0;
        if (bracket) tree.BeginUpdate();
        switch (rng() % 8) {
            case 0: tree.SetChildCount(node, rng() % 6); break;
            case 1: if (node) tree.ToggleNode(node); break;
            case 2: if (node && rng() % 3 == 0) tree.DeleteNode(node); break;
            case 3: if (node) tree.SetNodeHeight(node, 1 + rng() % 40); break;
            case 4: if (node) tree.SetSelected(node, !tree.Selected(node)); break;
            case 5: if (node && rng() % 4 == 0) tree.FullExpand(node); else tree.FullCollapse(node); break;
            case 6: if (rng() % 10 == 0) tree.DeleteSelectedNodes(); break;
            case 7: if (tree.TotalCount() > 300) tree.SetRootNodeCount(rng() % 4); else tree.SetChildCount(node, 3); break;
        }
        if (bracket) tree.EndUpdate();
        ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree)) << "step " << step;
    }
}

TEST(GridTreeStructure, ChildCountGrowsAndShrinksFromTheEnd) {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PGridNode parent = tree.GetFirst();
    tree.SetChildCount(parent, 5);
    EXPECT_EQ(5u, parent->ChildCount);
    EXPECT_TRUE(parent->States & vsHasChildren);
    // A collapsed parent: counts rise, heights and visible rows do not.
    EXPECT_EQ(18u, parent->SubtreeHeight);
    EXPECT_EQ(2u, tree.VisibleCount());
    EXPECT_EQ(8u, tree.RootNode()->SubtreeCount);

    PGridNode third = parent->FirstChildNode->NextSiblingNode->NextSiblingNode;
    tree.SetChildCount(parent, 3);
    EXPECT_EQ(third, parent->LastChildNode);
    EXPECT_EQ(2u, third->Index);
    CheckInvariants(tree);

    tree.SetRootNodeCount(0);
    EXPECT_EQ(1u, tree.RootNode()->SubtreeCount);
    EXPECT_EQ(tree.DefaultNodeHeight(), tree.RootNode()->SubtreeHeight);
    tree.UpdateScrollBars(false);
    EXPECT_EQ(0, tree.RangeY());
}

TEST(GridTreeStructure, FreeNodeFiresForInitialisedNodesOnClearAndDataSizeChange) {
    TTestTree tree;
    tree.SetNodeDataSize(sizeof(TOwnerRecord));
    int freed = 0;
    tree.OnFreeNode = [&](TBaseGridTree*, PGridNode) { ++freed; };
    tree.SetRootNodeCount(4);
    tree.GetFirst();  // initialises the first node only
    tree.Clear();
    EXPECT_EQ(1, freed);

    tree.SetRootNodeCount(3);
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {}
    freed = 0;
    tree.SetNodeDataSize(40);
    EXPECT_EQ(3, freed);
    EXPECT_EQ(3u, tree.RootNodeCount());
    EXPECT_FALSE(tree.GetFirstNoInit()->States & vsInitialized);
}

// A cleared tree keeps the memory its fill reached for the next fill; memory a smaller
// fill did not reach goes at its clear. Nodes freed by a clear are no nodes of the tree,
// also while their memory is kept or carved again.
TEST(GridTreeStructure, ClearKeepsTheMemoryOfItsFillForTheNext) {
    TTestTree tree;
    tree.SetNodeDataSize(sizeof(TOwnerRecord));
    tree.SetRootNodeCount(5000);
    const size_t filled = tree.NodeStoreBytes();
    ASSERT_GT(filled, 5000 * sizeof(TOwnerRecord));
    PGridNode last = tree.RootNode()->LastChildNode;
    EXPECT_TRUE(tree.IsNodeOfTree(last));

    tree.Clear();
    EXPECT_EQ(filled, tree.NodeStoreBytes());
    EXPECT_FALSE(tree.IsNodeOfTree(last));
    tree.SetRootNodeCount(5000);
    EXPECT_EQ(filled, tree.NodeStoreBytes()) << "the same fill takes no more";
    EXPECT_EQ(5000u, tree.TotalCount());
    tree.Clear();

    tree.SetRootNodeCount(10);
    EXPECT_EQ(filled, tree.NodeStoreBytes());
    EXPECT_FALSE(tree.IsNodeOfTree(last)) << "kept memory not handed out again";
    for (PGridNode node = tree.GetFirstNoInit(); node; node = node->NextSiblingNode) {
        EXPECT_TRUE(tree.IsNodeOfTree(node));
        EXPECT_EQ(0u, node->ChildCount);
    }
    tree.Clear();
    const size_t kept = tree.NodeStoreBytes();
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, filled / 10) << "what the small fill did not reach is given back";

    // A larger data size cannot use the kept blocks: one new first slab replaces them.
    tree.SetNodeDataSize(sizeof(TOwnerRecord) + 64);
    tree.SetRootNodeCount(3);
    EXPECT_EQ(3u, tree.TotalCount());
    EXPECT_GT(tree.NodeStoreBytes(), kept);
    EXPECT_LT(tree.NodeStoreBytes(), 2 * kept);
}

TEST(GridTreeStructure, NodeDataAndInternalAreas) {
    TTestTree tree;
    EXPECT_THROW(tree.GetNodeData(nullptr), EGridTreeAssertion);  // size -1
    uint32_t offset = tree.AllocateInternalDataArea(3);
    EXPECT_EQ(sizeof(TGridNode), offset);
    EXPECT_EQ(4u, tree.TotalInternalDataSize());
    tree.OnGetNodeDataSize = [](TBaseGridTree*, int& size) { size = sizeof(TOwnerRecord); };
    tree.SetRootNodeCount(10);
    EXPECT_EQ(int(sizeof(TOwnerRecord)), tree.NodeDataSize());
    EXPECT_THROW(tree.AllocateInternalDataArea(4), EGridTreeAssertion);
    EXPECT_EQ(nullptr, tree.GetNodeData(nullptr));
    EXPECT_EQ(nullptr, tree.GetNodeData(tree.RootNode()));
    std::set<void*> seen;
    for (PGridNode n = tree.GetFirstNoInit(); n; n = n->NextSiblingNode) {
        void* data = tree.GetNodeData(n);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(data) % 8);
        EXPECT_EQ(0, static_cast<TOwnerRecord*>(data)->A);
        static_cast<TOwnerRecord*>(data)->A = ~0ull;  // must not overlap a neighbour
        seen.insert(data);
    }
    EXPECT_EQ(10u, seen.size());
    EXPECT_EQ(tree.RootNode(), OwningTree(tree.GetFirstNoInit())->RootNode());
}

TEST(GridTreeStructure, HeightsAreClampedAndDefaultZeroMeans18) {
    TTestTree tree;
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(18u, tree.DefaultNodeHeight());
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() | toVariableNodeHeight);
    tree.OnMeasureItem = [](TBaseGridTree*, HDC, PGridNode n, int& h) { h = n->Index == 0 ? 100000 : -5; };
    tree.SetRootNodeCount(2);
    EXPECT_EQ(65535u, tree.GetFirstNoInit()->NodeHeight);
    EXPECT_EQ(0u, tree.GetFirstNoInit()->NextSiblingNode->NodeHeight);
    CheckInvariants(tree);
}

TEST(GridTreeStructure, InitialisationProtocol) {
    TTestTree tree;
    std::vector<std::pair<PGridNode, PGridNode>> inits;
    tree.OnInitNode = [&](TBaseGridTree*, PGridNode parent, PGridNode node, TGridNodeInitStates& states) {
        inits.emplace_back(parent, node);
        if (!parent) states |= ivsHasChildren;
        if (!parent && node->Index == 1) states |= ivsSelected | ivsExpanded;
    };
    tree.OnInitChildren = [](TBaseGridTree*, PGridNode node, uint32_t& count) { count = node->Index == 0 ? 0 : 2; };
    int changes = 0;
    tree.OnChange = [&](TBaseGridTree*, PGridNode) { ++changes; };
    tree.SetRootNodeCount(2);
    EXPECT_TRUE(inits.empty());

    PGridNode first = tree.GetFirst();
    ASSERT_EQ(1u, inits.size());
    EXPECT_EQ(nullptr, inits[0].first);
    // ivsHasChildren but OnInitChildren answers 0: the button goes away on expansion.
    tree.ToggleNode(first);
    EXPECT_FALSE(first->States & vsHasChildren);
    EXPECT_FALSE(first->States & vsExpanded);

    PGridNode second = tree.GetNextSibling(first);
    EXPECT_TRUE(tree.Selected(second));  // selected without OnChange
    EXPECT_EQ(0, changes);
    EXPECT_TRUE(second->States & vsExpanded);
    EXPECT_EQ(2u, second->ChildCount);
    CheckInvariants(tree);
}

TEST(GridTreeStructure, DeletingFocusedAndAnchorNodes) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    PGridNode a = tree.GetFirst(), b = tree.GetNext(a);
    int focusChanges = 0;
    PGridNode lastFocus = a;
    tree.OnFocusChanged = [&](TBaseGridTree*, PGridNode n, TColumnIndex) { ++focusChanges; lastFocus = n; };
    tree.SetFocusedNode(a);
    focusChanges = 0;
    tree.DeleteNode(a);
    EXPECT_EQ(nullptr, tree.FocusedNode());
    EXPECT_EQ(1, focusChanges);
    EXPECT_EQ(nullptr, lastFocus);

    tree.SetFocusedNode(b);
    PGridNode c = tree.GetNext(b);
    tree.SetSelected(c, true);
    EXPECT_EQ(c, tree.RangeAnchor());
    tree.DeleteNode(c);
    EXPECT_EQ(b, tree.RangeAnchor());
}

TEST(GridTreeStructure, HiddenNodeConnectsWithoutHeight) {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PGridNode parent = tree.GetFirst();
    tree.SetChildCount(parent, 1);
    tree.ToggleNode(parent);
    PGridNode moved = tree.GetLastNoInit();  // the second top-level node
    moved = tree.RootNode()->LastChildNode;
    uint32_t height = parent->SubtreeHeight;
    tree.InternalDisconnectNode(moved, false);
    moved->States &= ~vsVisible;
    for (TGTNodeAttachMode mode : {amAddChildFirst, amAddChildLast}) {
        tree.InternalConnectNode(moved, parent, mode);
        EXPECT_EQ(3u, parent->SubtreeCount);
        EXPECT_EQ(height, parent->SubtreeHeight);
        tree.InternalDisconnectNode(moved, false);
    }
    moved->States |= vsVisible;
    tree.InternalConnectNode(moved, parent->FirstChildNode, amInsertBefore);
    CheckInvariants(tree);
}

TEST(GridTreeStructure, ReadOnlyTurnsOffStructureChanges) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() | toReadOnly);
    tree.SetRootNodeCount(10);
    tree.DeleteNode(tree.GetFirst());
    tree.Clear();
    tree.SetNodeHeight(tree.GetFirst(), 50);
    EXPECT_EQ(3u, tree.RootNodeCount());
    EXPECT_EQ(18u, tree.GetFirst()->NodeHeight);
}

// Deletes do not renumber the following siblings at once; every read, however deletes,
// inserts and appends interleave, must see the position, and so must OnFreeNode of a
// single delete for the node it frees.
TEST(GridTreeStructure, IndexesStayRightThroughInterleavedDeletesInsertsAndReads) {
    std::vector<uint32_t> freed;  // outlives the tree, whose end frees the rest
    TTestTree tree;
    std::mt19937 rng(2024);
    tree.OnFreeNode = [&](TBaseGridTree*, PGridNode n) { freed.push_back(n->Index); };
    tree.SetRootNodeCount(200);
    PGridNode keeper = tree.RootNode()->FirstChildNode->NextSiblingNode;  // holds the second list
    tree.SetChildCount(keeper, 150);
    struct TList {
        PGridNode Parent;
        std::vector<PGridNode> Nodes;  // the model: children in order
    };
    std::vector<TList> lists{{tree.RootNode(), {}}, {keeper, {}}};
    for (TList& list : lists)
        for (PGridNode n = list.Parent->FirstChildNode; n; n = n->NextSiblingNode) list.Nodes.push_back(n);

    auto position = [&](TList& list, int kind) -> size_t {  // 0 front, 1 back, else anywhere
        size_t size = list.Nodes.size();
        return kind == 0 ? 0 : kind == 1 ? size - 1 : rng() % size;
    };
    for (int step = 0; step < 3000; ++step) {
        TList& list = lists[rng() % 2];
        const int op = int(rng() % 10);
        if (list.Nodes.size() < 10) {
            // Refill by appending, as a result list grows.
            tree.SetChildCount(list.Parent == tree.RootNode() ? nullptr : list.Parent, uint32_t(list.Nodes.size() + 40));
            list.Nodes.clear();
            for (PGridNode n = list.Parent->FirstChildNode; n; n = n->NextSiblingNode) list.Nodes.push_back(n);
        } else if (op < 5) {
            // A single delete from the front, the back or anywhere (the keeper stays).
            size_t at = position(list, op % 3);
            if (list.Nodes[at] == keeper) continue;
            tree.ValidateNode(list.Nodes[at], false);  // initialised: OnFreeNode fires
            freed.clear();
            tree.DeleteNode(list.Nodes[at], rng() % 4 != 0);
            ASSERT_EQ(std::vector<uint32_t>{uint32_t(at)}, freed) << "step " << step;
            list.Nodes.erase(list.Nodes.begin() + ptrdiff_t(at));
        } else if (op < 7) {
            // An insert: a node appended at the end and moved before or after another one,
            // or to the front.
            PGridNode parent = list.Parent == tree.RootNode() ? nullptr : list.Parent;
            tree.SetChildCount(parent, uint32_t(list.Nodes.size() + 1));
            PGridNode added = list.Parent->LastChildNode;
            tree.InternalDisconnectNode(added, false);
            size_t at = position(list, int(rng() % 3));
            switch (rng() % 3) {
                case 0:
                    tree.InternalConnectNode(added, list.Nodes[at], amInsertBefore);
                    list.Nodes.insert(list.Nodes.begin() + ptrdiff_t(at), added);
                    break;
                case 1:
                    tree.InternalConnectNode(added, list.Nodes[at], amInsertAfter);
                    list.Nodes.insert(list.Nodes.begin() + ptrdiff_t(at + 1), added);
                    break;
                default:
                    tree.InternalConnectNode(added, list.Parent, amAddChildFirst);
                    list.Nodes.insert(list.Nodes.begin(), added);
                    break;
            }
        } else if (op < 8) {
            tree.SetChildCount(list.Parent == tree.RootNode() ? nullptr : list.Parent, uint32_t(list.Nodes.size() + 1));
            list.Nodes.push_back(list.Parent->LastChildNode);
        } else {
            // Reads: a few positions, and the order of two nodes.
            for (int read = 0; read < 3; ++read) {
                size_t at = position(list, int(rng() % 3));
                ASSERT_EQ(at, uint32_t(list.Nodes[at]->Index)) << "step " << step;
            }
            size_t a = rng() % list.Nodes.size(), b = rng() % list.Nodes.size();
            int order = tree.CompareNodePositions(list.Nodes[a], list.Nodes[b]);
            ASSERT_EQ(a < b ? -1 : a > b ? 1 : 0, order < 0 ? -1 : order > 0 ? 1 : 0) << "step " << step;
        }
        if (step % 250 == 0) ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree)) << "step " << step;
    }
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
}

// Single deletes of nodes nobody reads (never initialised, so OnFreeNode stays silent), then
// one of an initialised node: it reports the position it had, and the rest read theirs.
TEST(GridTreeStructure, FreedNodeSeesItsPositionBehindPendingDeletes) {
    struct TCase {
        const char* Name;
        std::vector<uint32_t> Positions;  // positions at the time of each delete
    };
    const TCase cases[] = {
        {"the middle, then the last", {3, 8}},
        {"the middle, then a later one", {2, 5, 5}},
        {"the front, then the middle", {0, 0, 4}},
        {"the back, then the front, then the last", {9, 0, 7}},
        {"scattered, then a later one", {6, 1, 4, 2, 3}},
        {"scattered, then the first", {6, 1, 4, 2, 0}},
        {"the front until renumbered, then the middle", {0, 0, 0, 0, 0, 0, 1, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint32_t> freed;  // outlives the tree, whose end frees the rest
        TTestTree tree;
        tree.SetRootNodeCount(10);
        std::vector<PGridNode> nodes;
        for (PGridNode n = tree.RootNode()->FirstChildNode; n; n = n->NextSiblingNode) nodes.push_back(n);
        tree.OnFreeNode = [&](TBaseGridTree*, PGridNode n) { freed.push_back(n->Index); };
        for (const uint32_t& at : c.Positions) {
            if (&at == &c.Positions.back()) tree.ValidateNode(nodes[at], false);
            tree.DeleteNode(nodes[at]);
            nodes.erase(nodes.begin() + at);
        }
        EXPECT_EQ(std::vector<uint32_t>{c.Positions.back()}, freed);
        for (uint32_t i = 0; i < nodes.size(); ++i) EXPECT_EQ(i, uint32_t(nodes[i]->Index));
    }
}

// Deleting all children after some single deletes hands every freed node its position.
TEST(GridTreeStructure, FreedChildrenSeeTheirPositionsAfterPendingDeletes) {
    TTestTree tree;
    tree.SetRootNodeCount(20);
    for (PGridNode n = tree.GetFirst(); n; n = tree.GetNextSibling(n)) {}  // initialised: OnFreeNode fires
    tree.DeleteNode(tree.GetFirstNoInit());
    tree.DeleteNode(tree.RootNode()->FirstChildNode->NextSiblingNode->NextSiblingNode);
    std::vector<uint32_t> freed;
    tree.OnFreeNode = [&](TBaseGridTree*, PGridNode n) { freed.push_back(n->Index); };
    tree.Clear();
    ASSERT_EQ(18u, freed.size());
    for (uint32_t i = 0; i < 18; ++i) EXPECT_EQ(17 - i, freed[i]);
}

// Deleting walks the subtree without recursion: a chain deeper than any stack goes like a
// flat list, each node after everything below it, the last child of a level first.
TEST(GridTreeStructure, DeepSubtreesAreDeletedBottomUp) {
    const uint32_t depth = 200000;
    uint32_t freed = 0;
    bool childrenFirst = true;
    std::vector<PGridNode> order;
    TTestTree tree;
    tree.OnFreeNode = [&](TBaseGridTree*, PGridNode Node) {
        ++freed;
        childrenFirst = childrenFirst && !Node->FirstChildNode && Node->ChildCount == 0;
        if (order.size() < 16) order.push_back(Node);
    };
    tree.SetRootNodeCount(1);
    PGridNode top = MakeChain(tree, depth);
    EXPECT_EQ(depth + 1, tree.TotalCount());
    EXPECT_EQ(depth + 1, tree.VisibleCount());
    tree.DeleteNode(top);
    EXPECT_EQ(depth, freed);
    EXPECT_TRUE(childrenFirst);
    EXPECT_EQ(1u, tree.TotalCount());
    EXPECT_EQ(1u, tree.VisibleCount());
    EXPECT_EQ(18u, tree.RootNode()->SubtreeHeight - tree.RootNode()->NodeHeight);

    // Clear and the destructor take the same way.
    MakeChain(tree, depth);
    freed = 0;
    tree.Clear();
    EXPECT_EQ(depth, freed);  // the first root child was never initialised
    EXPECT_EQ(0u, tree.VisibleCount());

    // A small branching tree shows the order: B, A2a, A2, A1a, A1, A.
    order.clear();
    tree.SetRootNodeCount(2);
    PGridNode a = tree.GetFirst(), b = tree.GetNextSibling(a);
    tree.SetChildCount(a, 2);
    PGridNode a1 = tree.GetFirstChild(a), a2 = tree.GetNextSibling(a1);
    tree.SetChildCount(a1, 1);
    tree.SetChildCount(a2, 1);
    PGridNode a1a = tree.GetFirstChild(a1), a2a = tree.GetFirstChild(a2);
    tree.Clear();
    EXPECT_EQ((std::vector<PGridNode>{b, a2a, a2, a1a, a1, a}), order);

    MakeChain(tree, depth);  // destroyed with the tree
}
