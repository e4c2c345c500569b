// Node store, structure bookkeeping, initialisation on demand and deletion.
#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/gridtree/basetree.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/nodestore_p.h"
#include "controls/gridtree/transfer_p.h"

namespace gridtree {

namespace {
constexpr uint32_t NodeRecordSize = sizeof(TGridNode);
constexpr uint32_t MaxNodeHeight = 0xFFFF;

uint32_t UserDataOffset(uint32_t internalSize) { return (NodeRecordSize + internalSize + 7) & ~7u; }
uint16_t ClampHeight(int64_t h) { return static_cast<uint16_t>(std::clamp<int64_t>(h, 0, MaxNodeHeight)); }
}  // namespace

// --- construction ---------------------------------------------------------------------

TBaseGridTree::TBaseGridTree(classlib::TComponent* Owner)
    : TCustomControl(Owner), FStore(std::make_unique<detail::TNodeStore>()) {
    if (!TreeUnitInitialised()) InitializeTreeUnit();
    SetControlStyle((ControlStyle() | classlib::csCaptureMouse | classlib::csOpaque) & ~classlib::csSetCaption);
    SetBoundsNoAlign(0, 0, 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(classlib::clWindow);
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    FColors = std::make_unique<TGTColors>(this);
    FOptions = std::make_unique<TCustomGridTreeOptions>(this);
    FHeader = std::make_unique<TGTHeader>(this);
    InitRootNode();
    FCheckImages = GetCheckImageListFor(FCheckImageKind);
    PrepareBitmaps(true, true);
    FWorker = AcquireWorker();
}

TBaseGridTree::~TBaseGridTree() {
    // Code serving messages in between (a hint animation) sees the tree gone from here on.
    FLifeToken.reset();
    // Let go of the worker first: this waits while the worker holds the tree.
    InterruptValidation();
    if (FWorker) FWorker->UnqueueTree(this);
    ReleaseWorker(this);
    FWorker = nullptr;
    StopWheelPanning();
    FDestroying = true;
    // An editor left running ends without handing its text over.
    if (FEditLink) {
        DoStateChange(0, tsEditing);
        FEditLink.reset();
    }
    try {
        Clear();
    } catch (...) {
        // OnFreeNode handlers must not stop the destruction.
    }
    // The window goes with the base class; from here on it serves nothing of the tree.
    FMessageWindow.store(nullptr);
    if (HandleAllocated()) {
        for (UINT_PTR id = 1; id < 8; ++id)
            if (FActiveTimers & (1u << id)) KillTimer(FHandle, id);
        if (FValidationRequested) KillTimer(FHandle, ValidationTimer);
    }
    FActiveTimers = 0;
    FValidationRequested = false;
}

void TBaseGridTree::Assign(TBaseGridTree& Source) {
    if (&Source == this || HasOption(toReadOnly)) return;
    SetAlign(Source.Align());
    SetAnchors(Source.Anchors());
    SetChangeDelay(Source.ChangeDelay());
    SetColor(Source.Color());
    FColors->Assign(*Source.FColors);
    SetDefaultNodeHeight(Source.DefaultNodeHeight());
    SetEnabled(Source.Enabled());
    Font().Assign(Source.Font());
    FHeader->Assign(*Source.FHeader);
    SetIndent(Source.Indent());
    SetMargin(Source.Margin());
    SetNodeDataSize(Source.NodeDataSize());
    SetTreeOptions(*Source.FOptions);
    SetParentColor(Source.ParentColor());
    SetParentFont(Source.ParentFont());
    SetParentShowHint(Source.ParentShowHint());
    SetPopupMenu(Source.PopupMenu());
    SetRootNodeCount(Source.RootNodeCount());
    FScrollBarOptions->Assign(*Source.FScrollBarOptions);
    SetShowHint(Source.ShowHint());
    SetTabStop(Source.TabStop());
    SetVisible(Source.Visible());
}

void TBaseGridTree::Loaded() {
    TCustomControl::Loaded();
    // Columns read while loading only stored their positions.
    if (FHeader->Columns().PositionsStale()) FHeader->Columns().RebuildPositionMap();
    FHeader->CheckMainColumn();
    // A stored sort column that names no column would reach the owner's comparisons.
    if (FHeader->FSortColumn >= ColumnCount()) FHeader->FSortColumn = NoColumn;
    if (FHeader->FAutoSizeIndex >= ColumnCount()) FHeader->FAutoSizeIndex = NoColumn;
    if (!HasState(tsNeedRootCountUpdate)) return;
    DoStateChange(0, tsNeedRootCountUpdate);
    uint32_t count = FRoot->ChildCount;
    // Only the count was stored: the nodes are made now, also for a read-only tree.
    FRoot->ChildCount = 0;
    if (count == 0) return;
    TGTMiscOptions misc = FOptions->MiscOptions();
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] {
        FOptions->SetMiscOptions(misc);
        EndUpdate();
    });
    FOptions->SetMiscOptions(misc & ~toReadOnly);
    SetChildCount(FRoot, count);
}

size_t TBaseGridTree::NodeStoreBytes() const { return FStore->ReservedBytes(); }

std::unique_ptr<TCustomGridTreeOptions> TBaseGridTree::CreateOptions() {
    return std::make_unique<TCustomGridTreeOptions>(this);
}

void TBaseGridTree::InstallOptions(std::unique_ptr<TCustomGridTreeOptions> Options) {
    if (!Options) return;
    FOptions->AssignTo(*Options);
    FOptions = std::move(Options);
}

void TBaseGridTree::InitRootNode() {
    size_t size = UserDataOffset(FTotalInternalDataSize);
    FRootBlock.reset(new std::byte[size]());
    FRoot = reinterpret_cast<PGridNode>(FRootBlock.get());
    FRoot->Parent = reinterpret_cast<PGridNode>(this);  // the tree itself, as OwningTree expects
    FRoot->PrevSiblingNode = FRoot;
    FRoot->NextSiblingNode = FRoot;
    FRoot->States = vsInitialized | vsExpanded | vsHasChildren | vsVisible;
    FRoot->NodeHeight = ClampHeight(FDefaultNodeHeight);
    FRoot->SubtreeHeight = FRoot->NodeHeight;
    FRoot->SubtreeCount = 1;
    FRoot->Align = 50;
}

uint32_t TBaseGridTree::AllocateInternalDataArea(uint32_t Size) {
    if (FRoot->ChildCount > 0)
        throw EGridTreeAssertion(L"Internal data allocation must be done before any node is created.");
    uint32_t offset = NodeRecordSize + FTotalInternalDataSize;
    FTotalInternalDataSize += (Size + 3) & ~3u;
    size_t newSize = UserDataOffset(FTotalInternalDataSize);
    std::unique_ptr<std::byte[]> block(new std::byte[newSize]());
    std::memcpy(block.get(), FRootBlock.get(), NodeRecordSize);
    FRootBlock = std::move(block);
    FRoot = reinterpret_cast<PGridNode>(FRootBlock.get());
    FRoot->PrevSiblingNode = FRoot;
    FRoot->NextSiblingNode = FRoot;
    return offset;
}

// --- node data ------------------------------------------------------------------------

void* TBaseGridTree::GetNodeData(PGridNode Node) const {
    if (FNodeDataSize <= 0) throw EGridTreeAssertion(L"NodeDataSize not initialized.");
    if (!Node || Node == FRoot) return nullptr;
    return reinterpret_cast<std::byte*>(Node) + UserDataOffset(FTotalInternalDataSize);
}

void TBaseGridTree::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FNodeDataSize) return;
    // With toReadOnly the nodes cannot be re-made; keeping their size keeps them usable.
    if (HasOption(toReadOnly) && FRoot->ChildCount > 0) return;
    FNodeDataSize = Value;
    if (IsLoading()) return;
    uint32_t count = FRoot->ChildCount;
    Clear();
    SetRootNodeCount(count);
}

PGridNode TBaseGridTree::MakeNewNode() {
    if (FNodeDataSize == -1) {
        int size = 0;
        if (OnGetNodeDataSize) OnGetNodeDataSize(this, size);
        FNodeDataSize = std::max(0, size);
    }
    FStore->SetBlockSize(UserDataOffset(FTotalInternalDataSize) + static_cast<size_t>(std::max(0, FNodeDataSize)));
    auto node = static_cast<PGridNode>(FStore->Allocate());
    node->SubtreeCount = 1;
    node->NodeHeight = ClampHeight(FDefaultNodeHeight);
    node->SubtreeHeight = node->NodeHeight;
    node->States = vsVisible;
    node->Align = 50;
    return node;
}

// --- totals ---------------------------------------------------------------------------

void TBaseGridTree::AdjustTotalCount(PGridNode Node, int64_t Value, bool Relative) {
    int64_t diff = Relative ? Value : Value - Node->SubtreeCount;
    if (diff == 0) return;
    for (PGridNode run = Node;;) {
        run->SubtreeCount = static_cast<uint32_t>(run->SubtreeCount + diff);
        if (run == FRoot) break;
        run = run->Parent;
    }
}

void TBaseGridTree::AdjustTotalHeight(PGridNode Node, int64_t Value, bool Relative) {
    int64_t diff = Relative ? Value : Value - Node->SubtreeHeight;
    if (diff == 0) return;
    for (PGridNode run = Node;;) {
        run->SubtreeHeight = static_cast<uint32_t>(run->SubtreeHeight + diff);
        if (!(run->States & vsVisible) || run == FRoot) break;
        PGridNode parent = run->Parent;
        if (!parent || !(parent->States & vsExpanded)) break;
        run = parent;
    }
}

// --- structure ------------------------------------------------------------------------

void TBaseGridTree::SetRootNodeCount(uint32_t Value) {
    if (IsLoading()) {
        FRoot->ChildCount = Value;
        DoStateChange(tsNeedRootCountUpdate, 0);
        return;
    }
    if (Value == FRoot->ChildCount) return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    InterruptValidation();
    SetChildCount(FRoot, Value);
}

void TBaseGridTree::SetChildCount(PGridNode Node, uint32_t NewCount) {
    if (HasOption(toReadOnly)) return;
    if (!Node) Node = FRoot;
    if (NewCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    if (NewCount == Node->ChildCount) return;
    InterruptValidation();

    if (NewCount < Node->ChildCount) {
        // Delete from the end while a last child exists, so the loop ends even when the
        // count and the linked children disagree.
        while (Node->ChildCount > NewCount && Node->LastChildNode) DeleteNode(Node->LastChildNode, true);
        if (!Node->LastChildNode) Node->ChildCount = 0;
    } else {
        uint32_t index = 0;
        // The raw number: appending needs no renumbering, pending or not.
        if (Node->LastChildNode) index = Node->LastChildNode->Index.Value + 1;
        else Node->States |= vsHasChildren;
        Node->States &= ~vsAllChildrenHidden;
        uint32_t added = NewCount - Node->ChildCount;
        int64_t sum = 0;
        PGridNode first = nullptr;
        for (uint32_t i = 0; i < added; ++i) {
            PGridNode child = MakeNewNode();
            if (!first) first = child;
            child->Index = index++;
            child->Parent = Node;
            child->PrevSiblingNode = Node->LastChildNode;
            if (Node->LastChildNode) Node->LastChildNode->NextSiblingNode = child;
            else Node->FirstChildNode = child;
            Node->LastChildNode = child;
            sum += child->NodeHeight;
        }
        if (Node->States & vsExpanded) {
            AdjustTotalHeight(Node, sum, true);
            if (FullyVisible(Node)) FVisibleCount += added;
        }
        AdjustTotalCount(Node, added, true);
        Node->ChildCount = NewCount;
        // Measure variable heights only now that the totals are consistent: the height
        // setter then carries each change up once.
        if (HasOption(toVariableNodeHeight))
            for (PGridNode c = first; c; c = c->NextSiblingNode) NodeHeight(c);
        InvalidateCache();
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

void TBaseGridTree::SetHasChildren(PGridNode Node, bool Value) {
    if (!Node || Node == FRoot || HasOption(toReadOnly)) return;
    if (Value) {
        Node->States |= vsHasChildren;
    } else {
        Node->States &= ~vsHasChildren;
        DeleteChildren(Node, false);
    }
}

uint32_t TBaseGridTree::NodeHeight(PGridNode Node) {
    if (!Node || Node == FRoot) return 0;
    if (HasOption(toVariableNodeHeight)) MeasureItemHeight(nullptr, Node);
    return Node->NodeHeight;
}

void TBaseGridTree::SetNodeHeight(PGridNode Node, uint32_t Value) {
    if (!Node || Node == FRoot || HasOption(toReadOnly)) return;
    uint16_t h = ClampHeight(Value);
    if (h == Node->NodeHeight) return;
    InterruptValidation();
    int64_t diff = int64_t(h) - Node->NodeHeight;
    Node->NodeHeight = h;
    AdjustTotalHeight(Node, diff, true);
    InvalidateCache();
    if (FUpdateCount > 0) return;
    // The interruption above may have stopped a build: restart it in every case.
    ValidateCache();
    if (FullyVisible(Node)) {
        InvalidateToBottom(Node);
        UpdateScrollBars(true);
    }
}

void TBaseGridTree::MeasureItemHeight(HDC Canvas, PGridNode Node) {
    if (Node->States & vsHeightMeasured) return;
    Node->States |= vsHeightMeasured;
    int height = Node->NodeHeight;
    DoMeasureItem(Canvas, Node, height);
    SetNodeHeight(Node, static_cast<uint32_t>(std::clamp<int64_t>(height, 0, MaxNodeHeight)));
}

void TBaseGridTree::SetDefaultNodeHeight(uint32_t Value) {
    if (Value == 0) Value = 18;
    Value = std::min<uint32_t>(Value, MaxNodeHeight);
    if (Value == FDefaultNodeHeight) return;
    InterruptValidation();
    DoStateChange(tsNeedScale, 0);
    int64_t diff = int64_t(Value) - FDefaultNodeHeight;
    FRoot->SubtreeHeight = static_cast<uint32_t>(FRoot->SubtreeHeight + diff);
    FRoot->NodeHeight = static_cast<uint16_t>(Value);
    FDefaultNodeHeight = Value;
    InvalidateCache();
    if (FUpdateCount == 0 && !IsLoading()) {
        ValidateCache();
        UpdateScrollBars(true);
        if (FFocusedNode) ScrollIntoView(FFocusedNode, HasSelectionOption(toCenterScrollIntoView), true);
        Invalidate();
    }
}

bool TBaseGridTree::IsVisible(PGridNode Node) {
    if (!Node) Node = FRoot;
    if (!(Node->States & vsInitialized)) InitNode(Node);
    return (Node->States & vsVisible) != 0;
}

bool TBaseGridTree::FullyVisible(PGridNode Node) const {
    if (!Node) throw EGridTreeAssertion(L"Invalid parameter.");
    if (!(Node->States & vsVisible)) return false;
    if (Node == FRoot) return true;
    for (PGridNode run = Node->Parent; run != FRoot; run = run->Parent)
        if ((run->States & (vsExpanded | vsVisible)) != (vsExpanded | vsVisible)) return false;
    return true;
}

bool TBaseGridTree::HasVisibleNextSibling(PGridNode Node) const {
    for (PGridNode run = Node ? Node->NextSiblingNode : nullptr; run; run = run->NextSiblingNode)
        if (run->States & vsVisible) return true;
    return false;
}

bool TBaseGridTree::IsFirstVisibleChild(PGridNode Parent, PGridNode Node) const {
    if (!Parent) Parent = FRoot;
    PGridNode run = Parent->FirstChildNode;
    while (run && !(run->States & vsVisible)) run = run->NextSiblingNode;
    return run && run == Node;
}

bool TBaseGridTree::IsLastVisibleChild(PGridNode Parent, PGridNode Node) const {
    if (!Parent) Parent = FRoot;
    PGridNode run = Parent->LastChildNode;
    while (run && !(run->States & vsVisible)) run = run->PrevSiblingNode;
    return run && run == Node;
}

bool TBaseGridTree::HasAsParent(PGridNode Node, PGridNode PotentialParent) const {
    if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
    for (PGridNode run = Node->Parent; run; run = run->Parent) {
        if (run == PotentialParent) return true;
        if (run == FRoot) break;
    }
    return false;
}

int TBaseGridTree::CompareNodePositions(PGridNode Node1, PGridNode Node2) const {
    if (!Node1 || !Node2) throw EGridTreeAssertion(L"Nodes must never be nil.");
    if (Node1 == Node2) return 0;
    if (HasAsParent(Node1, Node2)) return 1;
    if (HasAsParent(Node2, Node1)) return -1;
    uint32_t level1 = GetNodeLevel(Node1), level2 = GetNodeLevel(Node2);
    while (level1 > level2) { Node1 = Node1->Parent; --level1; }
    while (level2 > level1) { Node2 = Node2->Parent; --level2; }
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    return Node1->Index < Node2->Index ? -1 : (Node1->Index > Node2->Index ? 1 : 0);
}

int TBaseGridTree::CountLevelDifference(PGridNode Node1, PGridNode Node2) const {
    if (!Node1 || !Node2) throw EGridTreeAssertion(L"Both nodes must be Assigned.");
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

uint32_t TBaseGridTree::CountVisibleChildren(PGridNode Node) const {
    // The visible rows below Node: a walk through visible, expanded nodes, without
    // recursion.
    if (!(Node->States & vsExpanded)) return 0;
    uint32_t count = 0;
    PGridNode run = Node->FirstChildNode;
    while (run) {
        if (run->States & vsVisible) {
            ++count;
            if ((run->States & vsExpanded) && run->FirstChildNode) {
                run = run->FirstChildNode;
                continue;
            }
        }
        while (run != Node && !run->NextSiblingNode) run = run->Parent;
        if (run == Node) break;
        run = run->NextSiblingNode;
    }
    return count;
}

void TBaseGridTree::DetermineHiddenChildrenFlag(PGridNode Node) {
    if (!Node) return;
    if (Node->ChildCount > 0 && Node->FirstChildNode) {
        bool anyVisible = false;
        for (PGridNode run = Node->FirstChildNode; run && !anyVisible; run = run->NextSiblingNode)
            anyVisible = (run->States & vsVisible) != 0;
        if (anyVisible) Node->States &= ~vsAllChildrenHidden;
        else Node->States |= vsAllChildrenHidden;
    } else if (Node->States & vsHasChildren) {
        Node->States &= ~vsAllChildrenHidden;
    } else {
        Node->States |= vsAllChildrenHidden;
    }
}

void TBaseGridTree::DetermineHiddenChildrenFlagAllNodes() {
    for (PGridNode run = GetFirstNoInit(); run; run = GetNextNoInit(run)) DetermineHiddenChildrenFlag(run);
}

// --- lazy renumbering -----------------------------------------------------------------
//
// A delete marks the parent with the first changed position (`FPendingIndexes`). Until the
// parent is settled its children keep two properties: a node whose stored number is below
// that position is exact, and the nodes whose number is not form a tail of the chain with
// numbers never below their positions (deletes only lower positions, appends continue
// from the last number). Reading such a tail node settles the parent: the tail is found
// walking back from the last child and renumbered once.

uint32_t detail::SettledIndex(const TGridNode* Node) {
    PGridNode node = const_cast<PGridNode>(Node);
    return OwningTree(node)->SettledIndexOf(node);
}

uint32_t TBaseGridTree::SettledIndexOf(PGridNode Node) {
    auto pending = FPendingIndexes.find(Node->Parent);
    if (pending != FPendingIndexes.end() && Node->Index.Value < pending->second) return Node->Index.Value;
    SettleIndexes(Node->Parent);
    return Node->Index.Value;
}

void TBaseGridTree::MarkIndexesPending(PGridNode Parent, uint32_t From) {
    auto [pending, added] = FPendingIndexes.try_emplace(Parent, From);
    if (!added) pending->second = std::min(pending->second, From);
    Parent->Filler = 1;
}

void TBaseGridTree::SettleIndexes(PGridNode Parent) {
    if (!Parent->Filler) return;
    // Without a recorded position (never expected) everything is renumbered.
    uint32_t from = 0;
    if (auto pending = FPendingIndexes.find(Parent); pending != FPendingIndexes.end()) {
        from = pending->second;
        FPendingIndexes.erase(pending);
    }
    Parent->Filler = 0;
    PGridNode exact = Parent->LastChildNode;
    while (exact && exact->Index.Value >= from) exact = exact->PrevSiblingNode;
    uint32_t index = exact ? exact->Index.Value + 1 : 0;
    for (PGridNode run = exact ? exact->NextSiblingNode : Parent->FirstChildNode; run; run = run->NextSiblingNode)
        run->Index = index++;
}

void TBaseGridTree::DropPendingIndexes(PGridNode Parent) {
    if (!Parent->Filler) return;
    FPendingIndexes.erase(Parent);
    Parent->Filler = 0;
}

// --- connecting -----------------------------------------------------------------------

void TBaseGridTree::InternalConnectNode(PGridNode Node, PGridNode Destination, TGTNodeAttachMode Mode) {
    if (!Destination) Destination = FRoot;
    InterruptValidation();
    // Inserting before the end moves the numbers of the nodes behind: settle first.
    if (Mode == amInsertBefore || Mode == amInsertAfter) SettleIndexes(Destination->Parent);
    else if (Mode == amAddChildFirst) SettleIndexes(Destination);
    PGridNode parent;
    switch (Mode) {
        case amInsertBefore: {
            parent = Destination->Parent;
            Node->Parent = parent;
            Node->PrevSiblingNode = Destination->PrevSiblingNode;
            Node->NextSiblingNode = Destination;
            if (Destination->PrevSiblingNode) Destination->PrevSiblingNode->NextSiblingNode = Node;
            else parent->FirstChildNode = Node;
            Destination->PrevSiblingNode = Node;
            Node->Index = Destination->Index.Value;
            for (PGridNode run = Destination; run; run = run->NextSiblingNode) ++run->Index.Value;
            break;
        }
        case amInsertAfter: {
            parent = Destination->Parent;
            Node->Parent = parent;
            Node->PrevSiblingNode = Destination;
            Node->NextSiblingNode = Destination->NextSiblingNode;
            if (Destination->NextSiblingNode) Destination->NextSiblingNode->PrevSiblingNode = Node;
            else parent->LastChildNode = Node;
            Destination->NextSiblingNode = Node;
            Node->Index = Destination->Index.Value + 1;
            for (PGridNode run = Node->NextSiblingNode; run; run = run->NextSiblingNode) ++run->Index.Value;
            break;
        }
        case amAddChildFirst: {
            parent = Destination;
            Node->Parent = parent;
            Node->PrevSiblingNode = nullptr;
            Node->NextSiblingNode = parent->FirstChildNode;
            if (parent->FirstChildNode) parent->FirstChildNode->PrevSiblingNode = Node;
            else parent->LastChildNode = Node;
            parent->FirstChildNode = Node;
            Node->Index = 0;
            for (PGridNode run = Node->NextSiblingNode; run; run = run->NextSiblingNode) ++run->Index.Value;
            break;
        }
        default: {  // amAddChildLast, amNoWhere
            parent = Destination;
            Node->Parent = parent;
            Node->NextSiblingNode = nullptr;
            Node->PrevSiblingNode = parent->LastChildNode;
            if (parent->LastChildNode) parent->LastChildNode->NextSiblingNode = Node;
            else parent->FirstChildNode = Node;
            parent->LastChildNode = Node;
            Node->Index = Node->PrevSiblingNode ? Node->PrevSiblingNode->Index.Value + 1 : 0;
            break;
        }
    }
    ++parent->ChildCount;
    parent->States |= vsHasChildren;
    AdjustTotalCount(parent, Node->SubtreeCount, true);
    if ((parent->States & vsExpanded) && (Node->States & vsVisible))
        AdjustTotalHeight(parent, Node->SubtreeHeight, true);
    if (FullyVisible(Node)) FVisibleCount += 1 + CountVisibleChildren(Node);
    Node->States &= ~(vsChecking | vsCutOrCopy | vsDeleting | vsClearing);
    if (Mode != amNoWhere && parent != FRoot) {
        if (Node->States & vsVisible) parent->States &= ~vsAllChildrenHidden;
        else if (parent->ChildCount == 1) parent->States |= vsAllChildrenHidden;
    }
    InvalidateCache();
}

void TBaseGridTree::InternalDisconnectNode(PGridNode Node, bool KeepFocus, bool Reindex) {
    if (!Node || Node == FRoot) throw EGridTreeAssertion(L"Node must neither be nil nor the root node.");
    if (Node == FFocusedNode && !KeepFocus) {
        DoFocusNode(nullptr, false);
        DoFocusChange(FFocusedNode, FFocusedColumn);
    }
    if (Node == FRangeAnchor) ResetRangeAnchor();
    PGridNode parent = Node->Parent;
    if (parent != FRoot && !(parent->States & vsClearing)) {
        if (FUpdateCount > 0) DoStateChange(tsUpdateHiddenChildrenNeeded, 0);
        else DetermineHiddenChildrenFlag(parent);
    }
    if (Node->States & vsDeleting) return;

    Node->States &= ~vsChecking;
    // Counted while the node is still linked and its parent still expanded.
    uint32_t visibleRows = FullyVisible(Node) ? 1 + CountVisibleChildren(Node) : 0;
    bool parentWasExpanded = (parent->States & vsExpanded) != 0;
    --parent->ChildCount;
    if (parent->ChildCount == 0) {
        parent->States &= ~(vsAllChildrenHidden | vsHasChildren);
        if (parent != FRoot) parent->States &= ~vsExpanded;
    }
    AdjustTotalCount(parent, -int64_t(Node->SubtreeCount), true);
    if (parentWasExpanded && (Node->States & vsVisible)) AdjustTotalHeight(parent, -int64_t(Node->SubtreeHeight), true);
    FVisibleCount -= visibleRows;

    if (Node->PrevSiblingNode) Node->PrevSiblingNode->NextSiblingNode = Node->NextSiblingNode;
    else parent->FirstChildNode = Node->NextSiblingNode;
    if (Node->NextSiblingNode) Node->NextSiblingNode->PrevSiblingNode = Node->PrevSiblingNode;
    else parent->LastChildNode = Node->PrevSiblingNode;
    // The siblings behind are renumbered when an index is next read (also without Reindex:
    // marking costs nothing, and the numbers stay right).
    (void)Reindex;
    if (parent->ChildCount == 0) DropPendingIndexes(parent);
    else if (Node->NextSiblingNode) MarkIndexesPending(parent, Node->Index.Value);
    Node->PrevSiblingNode = Node->NextSiblingNode = nullptr;
}

// --- initialisation -------------------------------------------------------------------

void TBaseGridTree::InitNode(PGridNode Node) {
    if (!Node || Node == FRoot) return;
    Node->States |= vsInitialized;
    TGridNodeInitStates states = 0;
    PGridNode parent = Node->Parent == FRoot ? nullptr : Node->Parent;
    DoInitNode(parent, Node, states);
    if (states & ivsDisabled) Node->States |= vsDisabled;
    if (states & ivsHasChildren) Node->States |= vsHasChildren;
    if (states & ivsSelected) {
        PGridNode single = Node;
        InternalAddToSelection(&single, 1, false);
    }
    if (states & ivsMultiline) Node->States |= vsMultiline;
    bool wantExpanded = (states & ivsExpanded) != 0;
    bool isExpanded = (Node->States & vsExpanded) != 0;
    if (wantExpanded != isExpanded) {
        if (wantExpanded) ToggleNode(Node);
        else if (Node->States & vsHasChildren) InitChildren(Node);
    }
}

void TBaseGridTree::InitChildren(PGridNode Node) {
    if (!Node || Node == FRoot || !(Node->States & vsHasChildren)) return;
    uint32_t count = Node->ChildCount;
    DoInitChildren(Node, count);
    if (count == 0) {
        DeleteChildren(Node, false);
        Node->States &= ~vsHasChildren;
    } else {
        SetChildCount(Node, count);
    }
}

void TBaseGridTree::ReinitNode(PGridNode Node, bool Recursive) {
    if (Node && Node != FRoot) {
        Node->States &= ~(vsChecking | vsCutOrCopy | vsDeleting | vsHeightMeasured);
        InitNode(Node);
    }
    if (Recursive) ReinitChildren(Node, true);
}

void TBaseGridTree::ReinitChildren(PGridNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    InitChildren(Node);
    for (PGridNode run = Node->FirstChildNode; run;) {
        PGridNode next = run->NextSiblingNode;
        ReinitNode(run, Recursive);
        run = next;
    }
}

void TBaseGridTree::ResetNode(PGridNode Node) {
    CancelEditNode();
    if (!Node || Node == FRoot) {
        Clear();
        return;
    }
    DoReset(Node);
    DeleteChildren(Node, false);
    Node->States &= ~(vsInitialized | vsChecking | vsCutOrCopy | vsDeleting | vsExpanded | vsHasChildren |
                      vsHeightMeasured);
    InvalidateNode(Node);
}

void TBaseGridTree::ValidateNode(PGridNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    if (Node != FRoot && !(Node->States & vsInitialized)) InitNode(Node);
    if (!Recursive) return;
    if ((Node->States & vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    for (PGridNode run = Node->FirstChildNode; run; run = run->NextSiblingNode) ValidateNode(run, true);
}

void TBaseGridTree::ValidateChildren(PGridNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    if ((Node->States & vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    for (PGridNode run = Node->FirstChildNode; run; run = run->NextSiblingNode) {
        if (!(run->States & vsInitialized)) InitNode(run);
        if (Recursive) ValidateChildren(run, true);
    }
}

// --- deletion -------------------------------------------------------------------------

void TBaseGridTree::ForgetNode(PGridNode Node) {
    // Pending notifications and remembered positions must never hand out a freed node.
    if (FLastChangedNode == Node) FLastChangedNode = nullptr;
    if (FLastStructureChangeNode == Node) FLastStructureChangeNode = nullptr;
    if (FDropTargetNode == Node) FDropTargetNode = nullptr;
    if (FRangeAnchor == Node) FRangeAnchor = nullptr;
    if (FFocusedNode == Node) FFocusedNode = nullptr;
    if (!FDragSelection.empty())
        FDragSelection.erase(std::remove(FDragSelection.begin(), FDragSelection.end(), Node), FDragSelection.end());
    DropPendingIndexes(Node);
}

void TBaseGridTree::DeleteNode(PGridNode Node, bool Reindex) {
    if (!Node || Node == FRoot || HasOption(toReadOnly)) return;
    if (HasState(tsIterating)) throw EGridTreeAssertion(L"Deleting nodes during tree iteration leads to invalid pointers.");
    InterruptValidation();
    PGridNode parent = Node->Parent;
    bool parentClearing = (parent->States & vsClearing) != 0;
    if (!parentClearing) StructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    int oldX = FOffsetX, oldY = FOffsetY;
    if (Node->States & vsSelected) {
        if (FUpdateCount > 0) {
            InternalRemoveFromSelection(Node);
        } else {
            bool wasSynch = HasState(tsSynchMode);
            DoStateChange(tsSynchMode, 0);
            {
                auto endSynch = classlib::ScopeExit([&] { if (!wasSynch) DoStateChange(0, tsSynchMode); });
                RemoveFromSelection(Node);
            }
            InvalidateToBottom(parent);
        }
    } else {
        InvalidateToBottom(parent);
    }
    DeleteChildren(Node, false);
    InternalDisconnectNode(Node, false, Reindex);
    ForgetNode(Node);
    DoFreeNode(Node);
    if (!parentClearing) {
        DetermineHiddenChildrenFlag(parent);
        InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            UpdateScrollBars(true);
            if (oldX != FOffsetX || oldY != FOffsetY) Invalidate();
        }
    }
}

void TBaseGridTree::DeleteChildren(PGridNode Node, bool ResetHasChildren) {
    if (!Node) Node = FRoot;
    if (HasOption(toReadOnly) && !FDestroying) return;
    if (Node->ChildCount == 0 && !Node->FirstChildNode) {
        if (ResetHasChildren) Node->States &= ~vsHasChildren;
        return;
    }
    if (HasState(tsIterating)) throw EGridTreeAssertion(L"Deleting nodes during tree iteration leads to invalid pointers.");
    ++FUpdateCount;
    {
        // vsClearing is already gone when the deletion ends normally.
        auto endUpdate = classlib::ScopeExit([&] {
            Node->States &= ~vsClearing;
            --FUpdateCount;
        });
        InterruptValidation();
        // The subtree is freed bottom-up without recursion (a tree may be any number of
        // levels deep): each level's children are freed from the last one, a node after
        // all of its own children. Every node is taken out of its parent's chain before
        // its subtree goes, so the chain stays walkable for OnFreeNode handlers, and the
        // children of a level keep their exact numbers meanwhile.
        SettleIndexes(Node);
        Node->States |= vsClearing;
        // Per level: do the rows of this level's children count as visible rows?
        std::vector<bool> rowsShown{Node == FRoot || (FullyVisible(Node) && (Node->States & vsExpanded))};
        PGridNode run = Node;
        for (;;) {
            if (PGridNode child = run->LastChildNode) {
                if (rowsShown.back() && (child->States & vsVisible)) --FVisibleCount;
                child->States |= vsDeleting;
                PGridNode prev = child->PrevSiblingNode;
                if (prev) prev->NextSiblingNode = nullptr;
                run->LastChildNode = prev;
                if (!prev) run->FirstChildNode = nullptr;
                if (child->FirstChildNode) {
                    // Its children go first.
                    SettleIndexes(child);
                    child->States |= vsClearing;
                    rowsShown.push_back(rowsShown.back() && (child->States & (vsVisible | vsExpanded)) ==
                                                                (vsVisible | vsExpanded));
                    run = child;
                    continue;
                }
                FreeDeletedNode(child);
                continue;
            }
            if (run == Node) break;
            // Every child of run is gone: run follows.
            PGridNode parent = run->Parent;
            rowsShown.pop_back();
            FreeDeletedNode(run);
            run = parent;
        }
        Node->States &= ~vsClearing;
        if (ResetHasChildren) Node->States &= ~vsHasChildren;
        if (Node != FRoot) Node->States &= ~vsExpanded;
        Node->ChildCount = 0;
        if (Node == FRoot) {
            Node->SubtreeHeight = Node->NodeHeight;
            Node->SubtreeCount = 1;
        } else if (Node->States & vsDeleting) {
            Node->SubtreeCount = 1;
        } else {
            AdjustTotalHeight(Node, Node->NodeHeight, false);
            AdjustTotalCount(Node, 1, false);
        }
        Node->FirstChildNode = Node->LastChildNode = nullptr;
        DropPendingIndexes(Node);
    }
    InvalidateCache();
    if (FUpdateCount == 0) {
        PackSelection();
        ValidateCache();
        UpdateScrollBars(true);
        InvalidateToBottom(Node);
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildDeleted);
}

void TBaseGridTree::FreeDeletedNode(PGridNode Node) {
    // A node whose parent is being cleared (inside DeleteChildren's update bracket, taken
    // out of the chain already, its own children gone).
    Node->States &= ~(vsClearing | vsExpanded);
    Node->ChildCount = 0;
    Node->SubtreeCount = 1;
    Node->FirstChildNode = Node->LastChildNode = nullptr;
    DropPendingIndexes(Node);
    InternalRemoveFromSelection(Node);
    InternalDisconnectNode(Node, false, true);
    ForgetNode(Node);
    DoFreeNode(Node);
}

void TBaseGridTree::Clear() {
    if (HasOption(toReadOnly) && !FDestroying) return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    InterruptValidation();
    CancelEditNode();
    DoStateChange(0, tsCutPending | tsCopyPending);
    ClearSelection();
    FFocusedNode = nullptr;
    if (FHotNode) FHotNode = nullptr;
    FDropTargetNode = nullptr;
    FLastChangedNode = nullptr;
    FRangeAnchor = nullptr;
    DeleteChildren(FRoot, true);
    FVisibleCount = 0;
    FOffsetX = FOffsetY = 0;
}

void TBaseGridTree::DeleteSelectedNodes() {
    if (FSelectionCount == 0 || HasOption(toReadOnly)) return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    TNodeArray nodes = GetSortedSelection(true);
    for (size_t i = nodes.size(); i-- > 1;)
        DeleteNode(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent);
    if (!nodes.empty()) DeleteNode(nodes[0], true);
}

}  // namespace gridtree
