// Tree streams: the written bytes, round trips, old versions, and the reader's behaviour on
// malformed input (which arrives from other programs through the clipboard and drag and drop).
#include <cstring>
#include <random>
#include <vector>

#include "controls/gridtree/stringtree.h"
#include "transfer_test_support.h"

using namespace gridtree;

namespace {

using TBytes = std::vector<uint8_t>;

void Put32(TBytes& B, uint32_t V) {
    for (int i = 0; i < 4; ++i) B.push_back(uint8_t(V >> (8 * i)));
}

TBytes Header(uint16_t Version) {
    TBytes b;
    for (uint16_t unit : {uint16_t(0x2045), uint16_t('V'), uint16_t('T'), Version, uint16_t(' '), uint16_t(0x2046)}) {
        b.push_back(uint8_t(unit));
        b.push_back(uint8_t(unit >> 8));
    }
    return b;
}

// A version 2 node chunk with no children: 17-byte body.
TBytes NodeChunk(uint32_t ChildCount, uint32_t Height, uint16_t States, const TBytes& Children = {}) {
    TBytes b;
    Put32(b, 2);
    Put32(b, uint32_t(17 + Children.size()));
    Put32(b, ChildCount);
    Put32(b, Height);
    b.push_back(uint8_t(States));
    b.push_back(uint8_t(States >> 8));
    b.push_back(50);
    b.push_back(0);
    b.push_back(0);
    Put32(b, 0);
    b.insert(b.end(), Children.begin(), Children.end());
    return b;
}

TBytes Chunk(int32_t Kind, const TBytes& Content, int32_t Length = -1) {
    TBytes b;
    Put32(b, uint32_t(Kind));
    Put32(b, uint32_t(Length == -1 ? int32_t(Content.size()) : Length));
    b.insert(b.end(), Content.begin(), Content.end());
    return b;
}

TBytes Cat(std::initializer_list<TBytes> Parts) {
    TBytes b;
    for (const TBytes& p : Parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

TBytes Count(uint32_t N) {
    TBytes b;
    Put32(b, N);
    return b;
}

void Load(TBaseGridTree& Tree, const TBytes& Bytes) {
    classlib::TMemoryStream stream;
    if (!Bytes.empty()) stream.WriteBuffer(Bytes.data(), Bytes.size());
    stream.SetPosition(0);
    Tree.LoadFromStream(stream);
}

TBytes Save(TBaseGridTree& Tree, PGridNode Node = nullptr) {
    classlib::TMemoryStream stream;
    Tree.SaveToStream(stream, Node);
    const std::string s = StreamBytes(stream);
    return TBytes(s.begin(), s.end());
}

}  // namespace

TEST(GridTreeStream, GoldenBytesOfOneNodeAndOfAnEmptyTree) {
    TKeyTree tree;
    EXPECT_EQ(Cat({Header(2), Count(0)}), Save(tree));
    Load(tree, Save(tree));
    EXPECT_EQ(0u, tree.TotalCount());

    tree.Build("7");
    PGridNode node = tree.GetFirstNoInit();
    TBytes user = Chunk(4, TBytes{7, 0, 0, 0});
    TBytes expected = Cat({Header(2), Count(1), Chunk(1, Cat({NodeChunk(0, 18, vsInitialized | vsVisible), user}))});
    EXPECT_EQ(expected, Save(tree, node));
    // Header bytes as other programs see them.
    EXPECT_EQ((TBytes{0x45, 0x20, 0x56, 0x00, 0x54, 0x00, 0x02, 0x00, 0x20, 0x00, 0x46, 0x20}),
              TBytes(expected.begin(), expected.begin() + 12));
}

TEST(GridTreeStream, RoundTripKeepsShapeStatesHeightsAndData) {
    TKeyTree source;
    source.TreeOptions().SetMiscOptions(source.TreeOptions().MiscOptions() & ~toInitOnSave);
    source.Build("1(2,3(4,5)),6(7),8");
    PGridNode six = source.GetFirstNoInit()->NextSiblingNode;
    source.SetExpanded(six, false);
    source.SetNodeHeight(source.GetFirstNoInit(), 40);
    source.SetCheckType(six, ctCheckBox);
    source.SetCheckState(six, csCheckedNormal);
    source.GetFirstNoInit()->FirstChildNode->States |= vsDisabled | vsCutOrCopy;
    const TBytes bytes = Save(source);

    TKeyTree copy;
    int copied = 0;
    copy.OnNodeCopied = [&](TBaseGridTree*, PGridNode Node) { copied += Node == nullptr; };
    Load(copy, bytes);
    EXPECT_EQ("1(2,3(4,5)),6(7),8", copy.Shape());
    EXPECT_EQ(1, copied);
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(copy));
    PGridNode first = copy.GetFirstNoInit();
    EXPECT_EQ(40u, first->NodeHeight);
    EXPECT_TRUE(copy.Expanded(first));
    PGridNode loadedSix = first->NextSiblingNode;
    EXPECT_FALSE(copy.Expanded(loadedSix));
    EXPECT_EQ(csCheckedNormal, copy.CheckState(loadedSix));
    EXPECT_EQ(ctCheckBox, copy.CheckType(loadedSix));
    // Disabled survives; the cut mark belongs to the tree that wrote it.
    EXPECT_EQ(vsDisabled, first->FirstChildNode->States & (vsDisabled | vsCutOrCopy));
    // The data came from the stream: nothing is initialised again.
    EXPECT_EQ(0, copy.NextKey);
    copy.GetFirst();
    EXPECT_EQ(0, copy.NextKey);
    EXPECT_EQ(source.VisibleCount(), copy.VisibleCount());
    EXPECT_EQ(bytes, Save(copy));
}

TEST(GridTreeStream, NodesWithoutLoadedDataAreInitialisedByTheirNewOwner) {
    TKeyTree source;
    source.Build("1,2");
    source.OnSaveNode = nullptr;  // writes nothing: no user chunks
    const TBytes bytes = Save(source);
    EXPECT_EQ(Cat({Header(2), Count(2), Chunk(1, NodeChunk(0, 18, vsInitialized | vsVisible)),
                   Chunk(1, NodeChunk(0, 18, vsInitialized | vsVisible))}),
              bytes);
    TKeyTree copy;
    int loads = 0;
    copy.OnLoadNode = [&](TBaseGridTree*, PGridNode, classlib::TStream&) { ++loads; };
    Load(copy, bytes);
    EXPECT_EQ(0, loads);
    // A node whose data never came is not marked initialised: OnInitNode gives it data.
    PGridNode first = copy.GetFirst();
    EXPECT_TRUE(first->States & vsInitialized);
    EXPECT_EQ(1, copy.Key(first));
}

TEST(GridTreeStream, UninitialisedChildrenAreLeftOutUnlessInitOnSave) {
    TKeyTree source;
    source.SetRootNodeCount(1);
    PGridNode parent = source.GetFirstNoInit();  // not initialised
    source.SetChildCount(parent, 3);
    source.TreeOptions().SetMiscOptions(source.TreeOptions().MiscOptions() & ~toInitOnSave);
    const TBytes without = Save(source);
    TKeyTree copy;
    Load(copy, without);
    PGridNode loaded = copy.GetFirstNoInit();
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(0u, loaded->ChildCount);  // what was linked, not what the body said
    EXPECT_TRUE(loaded->States & vsHasChildren);
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(copy));

    source.TreeOptions().SetMiscOptions(source.TreeOptions().MiscOptions() | toInitOnSave);
    Load(copy, Save(source));
    EXPECT_EQ(3u, copy.GetFirstNoInit()->ChildCount);
    EXPECT_EQ(4u, copy.TotalCount());
}

TEST(GridTreeStream, OldVersionsAndRefusedHeaders) {
    // Version 1: 12-byte bodies, no count, anchors until the end; bit 0x80 of the state
    // byte means selected.
    TBytes oldBody;
    Put32(oldBody, 0);
    Put32(oldBody, 20);
    oldBody.insert(oldBody.end(), {0x01, 50, 0, 0});
    TBytes selectedBody = oldBody;
    selectedBody[8] = 0x81;
    TKeyTree tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    Load(tree, Cat({Header(1), Chunk(1, Chunk(2, oldBody)), Chunk(1, Chunk(2, selectedBody))}));
    ASSERT_EQ(2u, tree.TotalCount());
    EXPECT_EQ(20u, tree.GetFirstNoInit()->NodeHeight);
    EXPECT_EQ(1u, tree.SelectionCount());
    EXPECT_TRUE(tree.Selected(tree.GetLastNoInit()));
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));

    const struct {
        TBytes Bytes;
        int HelpContext;
    } refused[] = {
        {Cat({Header(3), Count(0)}), 2003},
        {[] { TBytes b = Header(2); b.resize(11); return b; }(), 2004},
        {[] { TBytes b = Header(2); b[0] = 0x46; return Cat({b, Count(0)}); }(), 2002},
    };
    for (const auto& c : refused) {
        try {
            Load(tree, c.Bytes);
            ADD_FAILURE() << "accepted a stream refused with " << c.HelpContext;
        } catch (const EGridTreeError& e) {
            EXPECT_EQ(c.HelpContext, e.HelpContext());
        }
    }
}

TEST(GridTreeStream, MalformedStreamsFailCleanly) {
    const TBytes user = Chunk(4, TBytes{9, 0, 0, 0});
    TBytes deep = NodeChunk(0, 18, vsInitialized | vsVisible);
    for (int level = 0; level < 1100; ++level)
        deep = NodeChunk(1, 18, vsInitialized | vsVisible | vsExpanded, Chunk(1, deep));
    const struct {
        const char* Name;
        TBytes Bytes;
        bool Fails;
        uint32_t Nodes;  // nodes loaded (when it does not fail)
    } cases[] = {
        {"negative anchor length", Cat({Header(2), Count(1), Chunk(1, NodeChunk(0, 18, 0x81), -5)}), true, 1},
        {"anchor longer than the stream", Cat({Header(2), Count(1), Chunk(1, NodeChunk(0, 18, 0x81), 0x7FFFFFF0)}), true, 1},
        {"chunk longer than its anchor",
         Cat({Header(2), Count(1), Chunk(1, Cat({Chunk(2, TBytes(17, 0), 60)}), 25)}), true, 1},
        {"short node body", Cat({Header(2), Count(1), Chunk(1, Chunk(2, TBytes(10, 0)))}), true, 1},
        {"no anchor", Cat({Header(2), Count(1), Chunk(2, TBytes(17, 0))}), true, 1},
        {"two node bodies", Cat({Header(2), Count(1), Chunk(1, Cat({NodeChunk(0, 18, 0x81), NodeChunk(0, 18, 0x81)}))}),
         true, 1},
        {"child crossing its parent's end",
         Cat({Header(2), Count(1), Chunk(1, NodeChunk(1, 18, 0xA1, Chunk(1, NodeChunk(0, 18, 0x81), 100)))}), true, 1},
        {"nested too deeply", Cat({Header(2), Count(1), Chunk(1, deep)}), true, 1},
        {"unknown chunk skipped", Cat({Header(2), Count(1), Chunk(1, Cat({NodeChunk(0, 18, 0x81), Chunk(9, TBytes(5, 1)), user}))}),
         false, 1},
        {"count larger than the anchors", Cat({Header(2), Count(1000), Chunk(1, Cat({NodeChunk(0, 18, 0x81), user}))}), false, 1},
        {"children beyond the written count",
         Cat({Header(2), Count(1), Chunk(1, NodeChunk(0, 18, 0xA1, Cat({Chunk(1, NodeChunk(0, 18, 0x81)), Chunk(1, NodeChunk(0, 18, 0x81))})))}),
         false, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TKeyTree tree;
        bool failed = false;
        try {
            Load(tree, c.Bytes);
        } catch (const EGridTreeError&) {
            failed = true;
        }
        EXPECT_EQ(c.Fails, failed);
        if (!c.Fails) EXPECT_EQ(c.Nodes, tree.TotalCount());
        ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
    }
}

TEST(GridTreeStream, StatesAndHeightsFromAStreamAreSanitised) {
    // A height beyond 16 bits, transient states and an expanded node without children.
    const uint16_t states = vsInitialized | vsVisible | vsDeleting | vsClearing | vsToggling | vsExpanded | vsChecking;
    TKeyTree tree;
    Load(tree, Cat({Header(2), Count(1), Chunk(1, Cat({NodeChunk(5, 0x12345, states), Chunk(4, TBytes{3, 0, 0, 0})}))}));
    PGridNode node = tree.GetFirstNoInit();
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(0xFFFFu, node->NodeHeight);
    EXPECT_EQ(vsInitialized | vsVisible, node->States & ~vsAllChildrenHidden);
    EXPECT_EQ(3, tree.Key(node));
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree));
}

TEST(GridTreeStream, RandomMutationsNeverBreakTheTree) {
    TKeyTree source;
    source.TreeOptions().SetSelectionOptions(toMultiSelect);
    source.Build("1(2,3(4,5,6(7))),8(9,10),11,12(13(14(15))),16");
    source.SetSelected(source.GetFirstNoInit(), true);
    const TBytes original = Save(source);
    std::mt19937 rng(20240611);
    int failures = 0;
    for (int round = 0; round < 1500; ++round) {
        TBytes bytes = original;
        const int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 4) {
                case 0: bytes[at] = uint8_t(rng()); break;
                case 1: bytes[at] ^= uint8_t(1u << (rng() % 8)); break;
                case 2: bytes.resize(std::max<size_t>(at, 1)); break;
                case 3: bytes[at] = bytes[at] ? 0xFF : 0x80; break;
            }
        }
        TKeyTree tree;
        tree.TreeOptions().SetSelectionOptions(toMultiSelect);
        try {
            Load(tree, bytes);
        } catch (const classlib::Exception&) {
            ++failures;
        }
        ASSERT_NO_FATAL_FAILURE(CheckInvariants(tree)) << "round " << round;
        // The tree stays usable: walking, expanding and deleting.
        tree.FullExpand();
        tree.Clear();
    }
    EXPECT_GT(failures, 0);
}

TEST(GridTreeStream, StringTreeCaptionsTravelInTheStream) {
    TGridStringTree source;
    source.SetRootNodeCount(2);
    source.OnGetText = [](TBaseGridTree* T, PGridNode Node, TColumnIndex, TGSTTextType, std::wstring& Text) {
        Text = Node->Index == 0 ? L"レジストリ" : L"";
        (void)T;
    };
    source.ValidateNode(nullptr, true);
    classlib::TMemoryStream stream;
    source.SaveToStream(stream);
    TGridStringTree copy;
    std::vector<std::wstring> received;
    copy.OnNewText = [&](TBaseGridTree*, PGridNode, TColumnIndex, const std::wstring& Text) { received.push_back(Text); };
    stream.SetPosition(0);
    copy.LoadFromStream(stream);
    // The node with an empty text has no caption chunk.
    EXPECT_EQ(std::vector<std::wstring>{L"レジストリ"}, received);
    EXPECT_EQ(2u, copy.TotalCount());
}
