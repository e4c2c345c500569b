// Tree streams: writing and reading nodes with their subtrees, flags and the owner's data.
//
// Layout (little-endian): a header of six UTF-16 units (U+2045 "V" "T" version " " U+2046),
// from version 2 a node count, then one anchor chunk per node. A chunk is an 8-byte head
// (kind, length of what follows) and its content: the anchor holds the node chunk and the
// user chunk; the node chunk holds the node body and one anchor per child.
//
// Streams come from other programs (clipboard, drag and drop, files), so the reader trusts
// no length: every chunk must fit in the chunk that encloses it and in the stream, children
// are read until their chunk ends (the child count is what was linked), nesting is capped,
// heights are cut to 16 bits and only the states that mean something in a stream survive.
#include <algorithm>
#include <cstring>

#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/transfer_p.h"

namespace gridtree {

namespace {

constexpr int AnchorChunk = 1;
constexpr int NodeChunk = 2;
constexpr int UserChunk = 4;
constexpr int StreamVersion = 2;
constexpr size_t NodeInfoSize = 17;     // version 2
constexpr size_t OldNodeInfoSize = 12;  // versions 0 and 1
constexpr uint16_t HeaderUnits[6] = {0x2045, L'V', L'T', StreamVersion, L' ', 0x2046};
// States a stream does not carry.
constexpr uint16_t TransientStates = vsChecking | vsCutOrCopy | vsDeleting | vsInitialUserData | vsHeightMeasured;
// States a read node may take from a stream; the rest is derived or belongs to a running
// operation of the tree that wrote it.
constexpr uint16_t PersistentStates =
    vsInitialized | vsDisabled | vsExpanded | vsHasChildren | vsVisible | vsSelected | vsMultiline;

[[noreturn]] void Corrupt(const wchar_t* Message, int HelpContext) { RaiseTreeError(Message, HelpContext); }
[[noreturn]] void AnchorMissing() { Corrupt(L"Stream data corrupt. A node's anchor chunk is missing.", 2005); }
[[noreturn]] void DataAfterEnd() {
    Corrupt(L"Stream data corrupt. Unexpected data after node's end position.", 2006);
}
[[noreturn]] void TooDeep() { Corrupt(L"Stream data corrupt. The nodes are nested too deeply.", 2006); }

struct TChunkHead {
    int32_t Kind;
    int32_t Length;
};

uint32_t ReadU32(classlib::TStream& S) {
    uint32_t v = 0;
    S.ReadBuffer(&v, sizeof v);
    return v;
}

// Reads a chunk head that must end no later than Limit, with a length that fits before
// Limit too; answers the end of the chunk.
int64_t ReadChunkHead(classlib::TStream& S, int64_t Limit, TChunkHead& Head) {
    const int64_t pos = S.Position();
    if (Limit - pos < int64_t(sizeof Head)) DataAfterEnd();
    S.ReadBuffer(&Head, sizeof Head);
    if (Head.Length < 0 || Head.Length > Limit - pos - int64_t(sizeof Head)) DataAfterEnd();
    return pos + int64_t(sizeof Head) + Head.Length;
}

// The owner's view of a user chunk: reads stop at the chunk's end, writes are refused.
class TChunkView : public classlib::TStream {
public:
    TChunkView(classlib::TStream& Base, int64_t Start, int64_t Size) : FBase(Base), FStart(Start), FSize(Size) {}
    size_t Read(void* Buffer, size_t Count) override {
        if (FPosition >= FSize) return 0;
        Count = size_t(std::min<int64_t>(int64_t(Count), FSize - FPosition));
        FBase.SetPosition(FStart + FPosition);
        const size_t done = FBase.Read(Buffer, Count);
        FPosition += int64_t(done);
        return done;
    }
    size_t Write(const void*, size_t) override { throw classlib::EStreamError(L"ストリーム書き込みエラー"); }
    int64_t Seek(int64_t Offset, classlib::TSeekOrigin Origin) override {
        int64_t p = Origin == classlib::soFromBeginning ? Offset
                    : Origin == classlib::soFromCurrent ? FPosition + Offset
                                                        : FSize + Offset;
        if (p < 0) throw classlib::EStreamError(L"ストリームのシーク位置が正しくありません");
        FPosition = p;
        return p;
    }
    int64_t Size() override { return FSize; }

private:
    classlib::TStream& FBase;
    int64_t FStart, FSize;
    int64_t FPosition = 0;
};

}  // namespace

// --- writing ---------------------------------------------------------------------------

void TBaseGridTree::SaveToStream(classlib::TStream& Stream, PGridNode Node) {
    Stream.WriteBuffer(HeaderUnits, sizeof HeaderUnits);
    if (Node && Node != FRoot) {
        const uint32_t count = 1;
        Stream.WriteBuffer(&count, sizeof count);
        WriteNode(Stream, Node);
    } else {
        const uint32_t count = FRoot->ChildCount;
        Stream.WriteBuffer(&count, sizeof count);
        for (PGridNode run = FRoot->FirstChildNode; run; run = run->NextSiblingNode) WriteNode(Stream, run);
    }
}

void TBaseGridTree::CloseChunk(classlib::TStream& Stream, int64_t StartPos, int64_t EndPos) {
    const int32_t length = static_cast<int32_t>(EndPos - StartPos - 8);
    Stream.SetPosition(StartPos + 4);
    Stream.WriteBuffer(&length, sizeof length);
    Stream.SetPosition(EndPos);
}

void TBaseGridTree::WriteNode(classlib::TStream& Stream, PGridNode Node) {
    auto& t = Transfer();
    if (t.ReadDepth >= detail::MaxStreamDepth) TooDeep();
    ++t.ReadDepth;
    auto leave = classlib::ScopeExit([&] { --t.ReadDepth; });
    if (HasOption(toInitOnSave)) {
        if (!(Node->States & vsInitialized)) InitNode(Node);
        if ((Node->States & vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    }
    const int64_t start = Stream.Position();
    const TChunkHead head{AnchorChunk, 0};
    Stream.WriteBuffer(&head, sizeof head);
    WriteChunks(Stream, Node);
    CloseChunk(Stream, start, Stream.Position());
}

void TBaseGridTree::WriteChunks(classlib::TStream& Stream, PGridNode Node) {
    int64_t start = Stream.Position();
    uint8_t block[sizeof(TChunkHead) + NodeInfoSize] = {};
    const TChunkHead head{NodeChunk, 0};
    const uint32_t childCount = Node->ChildCount, height = Node->NodeHeight;
    const uint16_t states = Node->States & ~TransientStates;
    std::memcpy(block, &head, sizeof head);
    std::memcpy(block + 8, &childCount, 4);
    std::memcpy(block + 12, &height, 4);
    std::memcpy(block + 16, &states, 2);
    block[18] = Node->Align;
    block[19] = Node->CheckState;
    block[20] = Node->CheckKind;
    Stream.WriteBuffer(block, sizeof block);
    if (Node->States & vsInitialized)
        for (PGridNode run = Node->FirstChildNode; run; run = run->NextSiblingNode) WriteNode(Stream, run);
    CloseChunk(Stream, start, Stream.Position());

    start = Stream.Position();
    const TChunkHead user{UserChunk, 0};
    Stream.WriteBuffer(&user, sizeof user);
    DoSaveUserData(Node, Stream);
    const int64_t end = Stream.Position();
    if (end == start + int64_t(sizeof user)) {
        // Nothing written: the head is taken back.
        Stream.SetPosition(start);
        Stream.SetSize(start);
    } else {
        CloseChunk(Stream, start, end);
    }
}

// --- reading ---------------------------------------------------------------------------

void TBaseGridTree::LoadFromFile(const std::wstring& FileName) {
    classlib::TFileStream stream(FileName, classlib::fmOpenRead | classlib::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TBaseGridTree::LoadFromStream(classlib::TStream& Stream) {
    if (HasOption(toReadOnly)) return;
    Clear();
    const int64_t end = Stream.Size();
    if (end - Stream.Position() < int64_t(sizeof HeaderUnits))
        RaiseTreeError(L"Unable to load tree structure, not enough data available.", 2004);
    uint16_t header[6];
    Stream.ReadBuffer(header, sizeof header);
    if (header[0] != HeaderUnits[0] || header[1] != HeaderUnits[1] || header[2] != HeaderUnits[2] ||
        header[5] != HeaderUnits[5])
        RaiseTreeError(L"Unable to load tree structure, the format is wrong.", 2002);
    const int version = header[3];
    if (version > StreamVersion) RaiseTreeError(L"Unable to load tree structure, the version is unknown.", 2003);
    {
        BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        uint32_t count = UINT32_MAX;
        if (version >= 2) {
            if (end - Stream.Position() < 4) RaiseTreeError(L"Unable to load tree structure, not enough data available.", 2004);
            count = ReadU32(Stream);
        }
        while (Stream.Position() < end && count > 0) {
            --count;
            PGridNode node = MakeNewNode();
            InternalConnectNode(node, FRoot, amAddChildLast);
            InternalAddFromStream(Stream, version, node);
        }
    }
    DoNodeCopied(nullptr);
}

void TBaseGridTree::SkipNode(classlib::TStream& Stream) {
    TChunkHead head{};
    const int64_t end = ReadChunkHead(Stream, Stream.Size(), head);
    if (head.Kind != AnchorChunk) AnchorMissing();
    Stream.SetPosition(end);
}

void TBaseGridTree::ReadNode(classlib::TStream& Stream, int Version, PGridNode Node) {
    auto& t = Transfer();
    if (t.ReadDepth >= detail::MaxStreamDepth) TooDeep();
    const int64_t outerEnd = t.ReadEnd;
    ++t.ReadDepth;
    auto restore = classlib::ScopeExit([&] {
        t.ReadEnd = outerEnd;
        --t.ReadDepth;
    });
    TChunkHead head{};
    const int64_t anchorEnd = ReadChunkHead(Stream, outerEnd, head);
    if (head.Kind != AnchorChunk) AnchorMissing();
    bool nodeRead = false;
    while (Stream.Position() < anchorEnd) {
        const int64_t chunkEnd = ReadChunkHead(Stream, anchorEnd, head);
        // One node body per anchor: a second one would link its children twice.
        if (head.Kind == NodeChunk) {
            if (nodeRead) DataAfterEnd();
            nodeRead = true;
        }
        t.ReadEnd = chunkEnd;
        ReadChunk(Stream, Version, Node, head.Kind, head.Length);
        t.ReadEnd = anchorEnd;
        if (Stream.Position() != chunkEnd) {
            if (Stream.Position() > chunkEnd) DataAfterEnd();
            Stream.SetPosition(chunkEnd);
        }
    }
    if (Stream.Position() != anchorEnd) DataAfterEnd();
}

bool TBaseGridTree::ReadChunk(classlib::TStream& Stream, int Version, PGridNode Node, int ChunkKind,
                              int ChunkLength) {
    const int64_t chunkEnd = Stream.Position() + ChunkLength;
    switch (ChunkKind) {
        case NodeChunk: {
            const size_t bodySize = Version >= 2 ? NodeInfoSize : OldNodeInfoSize;
            if (size_t(ChunkLength) < bodySize) DataAfterEnd();
            uint8_t body[NodeInfoSize] = {};
            Stream.ReadBuffer(body, bodySize);
            uint32_t height;
            std::memcpy(&height, body + 4, 4);
            uint16_t states;
            int at = 8;
            if (Version >= 2) {
                std::memcpy(&states, body + 8, 2);
                at = 10;
            } else {
                const uint8_t old = body[8];
                states = old | ((old & 0x80) ? vsSelected : vsVisible);
                at = 9;
            }
            Node->States = (Node->States & ~PersistentStates) | (states & PersistentStates);
            Node->NodeHeight = static_cast<uint16_t>(std::min<uint32_t>(height, 0xFFFF));
            Node->SubtreeHeight = Node->NodeHeight;
            Node->Align = body[at];
            Node->CheckState = std::min<uint8_t>(body[at + 1], csMixedPressed);
            Node->CheckKind = std::min<uint8_t>(body[at + 2], ctButton);
            // The children are what follows, whatever the written count says.
            Node->ChildCount = 0;
            while (Stream.Position() < chunkEnd) {
                PGridNode child = MakeNewNode();
                child->Parent = Node;
                child->Index = Node->LastChildNode ? Node->LastChildNode->Index.Value + 1 : 0;
                child->PrevSiblingNode = Node->LastChildNode;
                if (Node->LastChildNode) Node->LastChildNode->NextSiblingNode = child;
                else Node->FirstChildNode = child;
                Node->LastChildNode = child;
                ++Node->ChildCount;
                Node->States |= vsHasChildren;
                // The child's totals join its parent's also when its read fails part-way,
                // so the nodes read so far stay consistent.
                auto account = classlib::ScopeExit([&] {
                    Node->SubtreeCount += child->SubtreeCount;
                    if ((child->States & vsVisible) && (Node->States & vsExpanded))
                        Node->SubtreeHeight += child->SubtreeHeight;
                });
                ReadNode(Stream, Version, child);
            }
            if (Node->ChildCount == 0) Node->States &= ~vsExpanded;
            else DetermineHiddenChildrenFlag(Node);
            return true;
        }
        case UserChunk: {
            if (ChunkLength == 0) return true;
            const int64_t start = Stream.Position();
            TChunkView view(Stream, start, ChunkLength);
            DoLoadUserData(Node, view);
            Stream.SetPosition(chunkEnd);
            if (view.Position() > 0) {
                Node->States |= vsInitialUserData;
                return true;
            }
            return false;
        }
        default:
            Stream.SetPosition(chunkEnd);
            return false;
    }
}

void TBaseGridTree::InternalAddFromStream(classlib::TStream& Stream, int Version, PGridNode Node) {
    if (!Node || Node == FRoot) throw EGridTreeAssertion(L"Invalid parameter.");
    auto& t = Transfer();
    const int64_t outerEnd = t.ReadEnd;
    const int outerDepth = t.ReadDepth;
    // A top-level read is bounded by the stream; a nested one (a descendant's override
    // reading more anchors) by its chunk.
    if (outerDepth == 0) t.ReadEnd = Stream.Size();
    PGridNode parent = Node->Parent;
    const uint32_t oldCount = Node->SubtreeCount;
    const uint32_t oldHeight = Node->SubtreeHeight;
    const bool oldVisible = (Node->States & vsVisible) != 0;
    const uint32_t oldRows = FullyVisible(Node) ? 1 + CountVisibleChildren(Node) : 0;
    auto settle = classlib::ScopeExit([&] {
        t.ReadEnd = outerEnd;
        t.ReadDepth = outerDepth;
        // Only the user data that was really loaded makes a node initialised: an owner
        // must never meet a node it never saw with data it never got. (A tree without user
        // data keeps the written flag.)
        PGridNode stop = nullptr;
        for (PGridNode r = Node; r && r != FRoot && !stop; r = r->Parent) stop = r->NextSiblingNode;
        TNodeArray selected;
        for (PGridNode run = Node; run && run != stop; run = GetNextNoInit(run)) {
            if (FNodeDataSize > 0 && !(run->States & vsInitialUserData)) run->States &= ~vsInitialized;
            run->States &= ~vsInitialUserData;
            // The selection marks of the nodes read.
            if (!(run->States & vsSelected)) continue;
            int index;
            if (!HasSelectionOption(toMultiSelect)) run->States &= ~vsSelected;
            else if (!FindNodeInSelection(run, index)) selected.push_back(run);
        }
        AdjustTotalCount(parent, int64_t(Node->SubtreeCount) - oldCount, true);
        if (parent->States & vsExpanded) {
            const int64_t before = oldVisible ? oldHeight : 0;
            const int64_t after = (Node->States & vsVisible) ? Node->SubtreeHeight : 0;
            AdjustTotalHeight(parent, after - before, true);
        }
        const uint32_t newRows = FullyVisible(Node) ? 1 + CountVisibleChildren(Node) : 0;
        FVisibleCount = FVisibleCount - oldRows + newRows;
        if (parent != FRoot) DetermineHiddenChildrenFlag(parent);
        if (!selected.empty()) InternalAddToSelection(selected.data(), selected.size(), true);
        InvalidateCache();
    });
    ReadNode(Stream, Version, Node);
}

// --- events ----------------------------------------------------------------------------

void TBaseGridTree::DoSaveUserData(PGridNode Node, classlib::TStream& Stream) {
    if (OnSaveNode) OnSaveNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseGridTree::DoLoadUserData(PGridNode Node, classlib::TStream& Stream) {
    if (OnLoadNode) OnLoadNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseGridTree::DoNodeCopied(PGridNode Node) {
    if (OnNodeCopied) OnNodeCopied(this, Node);
}

bool TBaseGridTree::DoNodeCopying(PGridNode Node, PGridNode Target) {
    bool allowed = true;
    if (OnNodeCopying) OnNodeCopying(this, Node, Target, allowed);
    return allowed;
}

void TBaseGridTree::DoNodeMoved(PGridNode Node) {
    if (OnNodeMoved) OnNodeMoved(this, Node);
}

bool TBaseGridTree::DoNodeMoving(PGridNode Node, PGridNode Target) {
    bool allowed = true;
    if (OnNodeMoving) OnNodeMoving(this, Node, Target, allowed);
    return allowed;
}

}  // namespace gridtree
