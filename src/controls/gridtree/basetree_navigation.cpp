// Walks over the tree, levels and positions.
#include <algorithm>
#include <cstdint>

#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
void AssertNotRoot(PGridNode Node, PGridNode Root) {
    if (Node == Root) throw EGridTreeAssertion(L"Node must not be the hidden root node.");
}
}  // namespace

// --- all nodes ------------------------------------------------------------------------

PGridNode TBaseGridTree::GetFirst() { return GetFirstChild(nullptr); }

PGridNode TBaseGridTree::GetFirstNoInit() const { return FRoot->FirstChildNode; }

PGridNode TBaseGridTree::GetFirstInitialized() const {
    PGridNode run = GetFirstNoInit();
    if (run && !(run->States & vsInitialized)) run = GetNextInitialized(run);
    return run;
}

PGridNode TBaseGridTree::GetNext(PGridNode Node) {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if ((Node->States & vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    PGridNode result = Node->FirstChildNode;
    if (!result) {
        for (PGridNode run = Node; run != FRoot; run = run->Parent) {
            if (run->NextSiblingNode) {
                result = run->NextSiblingNode;
                break;
            }
        }
    }
    if (result && !(result->States & vsInitialized)) InitNode(result);
    return result;
}

PGridNode TBaseGridTree::GetNextNoInit(PGridNode Node) const {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if (Node->FirstChildNode) return Node->FirstChildNode;
    for (PGridNode run = Node; run != FRoot; run = run->Parent)
        if (run->NextSiblingNode) return run->NextSiblingNode;
    return nullptr;
}

PGridNode TBaseGridTree::GetNextInitialized(PGridNode Node) const {
    do Node = GetNextNoInit(Node);
    while (Node && !(Node->States & vsInitialized));
    return Node;
}

PGridNode TBaseGridTree::GetPrevious(PGridNode Node) {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    PGridNode result;
    if (Node->PrevSiblingNode) {
        PGridNode sibling = Node->PrevSiblingNode;
        if (!(sibling->States & vsInitialized)) InitNode(sibling);
        result = GetLast(sibling);
        if (!result) result = sibling;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    if (result && !(result->States & vsInitialized)) InitNode(result);
    return result;
}

PGridNode TBaseGridTree::GetPreviousNoInit(PGridNode Node) const {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if (Node->PrevSiblingNode) {
        PGridNode last = GetLastNoInit(Node->PrevSiblingNode);
        return last ? last : Node->PrevSiblingNode;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PGridNode TBaseGridTree::GetLast(PGridNode Node) {
    if (!Node) Node = FRoot;
    PGridNode result = nullptr;
    for (PGridNode next = GetLastChild(Node); next; next = GetLastChild(next)) result = next;
    return result;
}

PGridNode TBaseGridTree::GetLastNoInit(PGridNode Node) const {
    if (!Node) Node = FRoot;
    PGridNode result = nullptr;
    for (PGridNode next = GetLastChildNoInit(Node); next; next = GetLastChildNoInit(next)) result = next;
    return result;
}

// --- children and siblings ------------------------------------------------------------

PGridNode TBaseGridTree::GetFirstChild(PGridNode Node) {
    if (!Node) Node = FRoot;
    if (Node != FRoot && !(Node->States & vsInitialized)) InitNode(Node);
    if (!(Node->States & vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    PGridNode result = Node->FirstChildNode;
    if (result && !(result->States & vsInitialized)) InitNode(result);
    return result;
}

PGridNode TBaseGridTree::GetLastChild(PGridNode Node) {
    if (!Node) Node = FRoot;
    if (Node != FRoot && !(Node->States & vsInitialized)) InitNode(Node);
    if (!(Node->States & vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    PGridNode result = Node->LastChildNode;
    if (result && !(result->States & vsInitialized)) InitNode(result);
    return result;
}

PGridNode TBaseGridTree::GetLastChildNoInit(PGridNode Node) const {
    if (!Node) Node = FRoot;
    return (Node->States & vsHasChildren) ? Node->LastChildNode : nullptr;
}

PGridNode TBaseGridTree::GetNextSibling(PGridNode Node) {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    PGridNode result = Node->NextSiblingNode;
    if (result && !(result->States & vsInitialized)) InitNode(result);
    return result;
}

PGridNode TBaseGridTree::GetPreviousSibling(PGridNode Node) {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    PGridNode result = Node->PrevSiblingNode;
    if (result && !(result->States & vsInitialized)) InitNode(result);
    return result;
}

PGridNode TBaseGridTree::GetFirstVisibleChild(PGridNode Node) {
    PGridNode result = GetFirstChild(Node);
    if (result && !(result->States & vsVisible)) result = GetNextVisibleSibling(result);
    return result;
}

PGridNode TBaseGridTree::GetLastVisibleChild(PGridNode Node) {
    if (!Node) Node = FRoot;
    if (!(Node->States & vsExpanded) || !FullyVisible(Node)) return nullptr;
    PGridNode result = GetLastChild(Node);
    if (result && !(result->States & vsVisible)) result = GetPreviousVisibleSibling(result);
    return result;
}

PGridNode TBaseGridTree::GetLastVisibleChildNoInit(PGridNode Node) const {
    if (!Node) Node = FRoot;
    if (!(Node->States & vsExpanded) || !FullyVisible(Node)) return nullptr;
    PGridNode result = GetLastChildNoInit(Node);
    if (result && !(result->States & vsVisible)) result = GetPreviousVisibleSiblingNoInit(result);
    return result;
}

PGridNode TBaseGridTree::GetNextVisibleSibling(PGridNode Node) {
    if (!Node || Node == FRoot) throw EGridTreeAssertion(L"Invalid parameter.");
    PGridNode result = Node;
    do result = GetNextSibling(result);
    while (result && !(result->States & vsVisible));
    return result;
}

PGridNode TBaseGridTree::GetPreviousVisibleSibling(PGridNode Node) {
    if (!Node || Node == FRoot) throw EGridTreeAssertion(L"Invalid parameter.");
    PGridNode result = Node;
    do result = GetPreviousSibling(result);
    while (result && !(result->States & vsVisible));
    return result;
}

PGridNode TBaseGridTree::GetPreviousVisibleSiblingNoInit(PGridNode Node) const {
    if (!Node || Node == FRoot) throw EGridTreeAssertion(L"Invalid parameter.");
    PGridNode result = Node->PrevSiblingNode;
    while (result && !(result->States & vsVisible)) result = result->PrevSiblingNode;
    return result;
}

// --- visible rows ---------------------------------------------------------------------

PGridNode TBaseGridTree::GetFirstVisible() {
    PGridNode result = GetFirstChild(nullptr);
    if (result && !(result->States & vsVisible)) result = GetNextVisibleSibling(result);
    return result;
}

PGridNode TBaseGridTree::GetFirstVisibleNoInit() const {
    PGridNode result = FRoot->FirstChildNode;
    while (result && !(result->States & vsVisible)) result = result->NextSiblingNode;
    return result;
}

PGridNode TBaseGridTree::GetNextVisible(PGridNode Node) {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if (!FullyVisible(Node)) {
        Node = GetVisibleParent(Node);
        if (Node == FRoot) {
            // The whole chain up to the top is collapsed or hidden: the first row.
            return GetFirstVisible();
        }
    }
    if ((Node->States & (vsExpanded | vsHasChildren)) == (vsExpanded | vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    if ((Node->States & vsExpanded) && Node->FirstChildNode) {
        PGridNode child = GetFirstChild(Node);
        if (child && (child->States & vsVisible)) return child;
        if (child) {
            PGridNode sibling = GetNextVisibleSibling(child);
            if (sibling) return sibling;
        }
    }
    for (PGridNode run = Node; run != FRoot; run = run->Parent) {
        for (PGridNode sibling = GetNextSibling(run); sibling; sibling = GetNextSibling(sibling))
            if (sibling->States & vsVisible) return sibling;
    }
    return nullptr;
}

PGridNode TBaseGridTree::GetNextVisibleNoInit(PGridNode Node) const {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if (!FullyVisible(Node)) {
        Node = GetVisibleParent(Node);
        if (Node == FRoot) return GetFirstVisibleNoInit();
    }
    return NextVisibleForCache(Node);
}

PGridNode TBaseGridTree::NextVisibleForCache(PGridNode Node) const {
    // Reads links and states only: safe on the worker while the main thread keeps the
    // structure still.
    if (Node->States & vsExpanded)
        for (PGridNode child = Node->FirstChildNode; child; child = child->NextSiblingNode)
            if (child->States & vsVisible) return child;
    for (PGridNode run = Node; run != FRoot; run = run->Parent)
        for (PGridNode sibling = run->NextSiblingNode; sibling; sibling = sibling->NextSiblingNode)
            if (sibling->States & vsVisible) return sibling;
    return nullptr;
}

PGridNode TBaseGridTree::GetPreviousVisible(PGridNode Node) {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if (!FullyVisible(Node)) {
        PGridNode parent = GetVisibleParent(Node);
        if (parent == FRoot) return nullptr;
        PGridNode last = GetLastVisible(parent);
        return last ? last : parent;
    }
    for (PGridNode sibling = GetPreviousSibling(Node); sibling; sibling = GetPreviousSibling(sibling)) {
        if (sibling->States & vsVisible) {
            PGridNode last = GetLastVisible(sibling);
            return last ? last : sibling;
        }
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PGridNode TBaseGridTree::GetPreviousVisibleNoInit(PGridNode Node) const {
    if (!Node) return nullptr;
    AssertNotRoot(Node, FRoot);
    if (!FullyVisible(Node)) {
        PGridNode parent = GetVisibleParent(Node);
        if (parent == FRoot) return nullptr;
        PGridNode last = GetLastVisibleNoInit(parent);
        return last ? last : parent;
    }
    for (PGridNode sibling = Node->PrevSiblingNode; sibling; sibling = sibling->PrevSiblingNode) {
        if (sibling->States & vsVisible) {
            PGridNode last = GetLastVisibleNoInit(sibling);
            return last ? last : sibling;
        }
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PGridNode TBaseGridTree::GetLastVisible(PGridNode Node) {
    if (!Node) Node = FRoot;
    PGridNode result = nullptr;
    for (PGridNode next = GetLastVisibleChild(Node); next; next = GetLastVisibleChild(next)) result = next;
    return result;
}

PGridNode TBaseGridTree::GetLastVisibleNoInit(PGridNode Node) const {
    if (!Node) Node = FRoot;
    PGridNode result = nullptr;
    for (PGridNode next = GetLastVisibleChildNoInit(Node); next; next = GetLastVisibleChildNoInit(next))
        result = next;
    return result;
}

PGridNode TBaseGridTree::GetVisibleParent(PGridNode Node) const {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil.");
    PGridNode result = Node == FRoot ? FRoot : Node->Parent;
    while (result != FRoot && !((result->States & vsExpanded) && FullyVisible(result))) result = result->Parent;
    return result;
}

// --- marked nodes ---------------------------------------------------------------------

PGridNode TBaseGridTree::GetFirstSelected() {
    // A single member (bit 0 marks an entry dropped at the next pack) is the first without
    // a walk through the rows before it.
    if (FSelectionCount == 1 && !(reinterpret_cast<uintptr_t>(FSelection[0]) & 1) &&
        (FSelection[0]->States & vsSelected)) {
        PGridNode node = FSelection[0];
        if (!(node->States & vsInitialized)) InitNode(node);
        return node;
    }
    return GetNextSelected(nullptr);
}

PGridNode TBaseGridTree::GetNextSelected(PGridNode Node) {
    if (FSelectionCount == 0) return nullptr;
    PGridNode run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !(run->States & vsSelected)) run = GetNextNoInit(run);
    if (run && !(run->States & vsInitialized)) InitNode(run);
    return run;
}

PGridNode TBaseGridTree::GetFirstCutCopy() { return GetNextCutCopy(nullptr); }

PGridNode TBaseGridTree::GetNextCutCopy(PGridNode Node) {
    if (!HasState(tsCutPending | tsCopyPending)) return nullptr;
    PGridNode run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !(run->States & vsCutOrCopy)) run = GetNextNoInit(run);
    if (run && !(run->States & vsInitialized)) InitNode(run);
    return run;
}

namespace {
TNodeArray SortedMarked(const TBaseGridTree& Tree, uint16_t Mark, bool Resolve, size_t Expected) {
    TNodeArray result;
    result.reserve(Expected);
    PGridNode run = Tree.GetFirstNoInit();
    while (run) {
        if (run->States & Mark) {
            result.push_back(run);
            if (Resolve) {
                // Skip the subtree: continue after it.
                PGridNode next = nullptr;
                for (PGridNode up = run; up != Tree.RootNode(); up = up->Parent)
                    if (up->NextSiblingNode) {
                        next = up->NextSiblingNode;
                        break;
                    }
                run = next;
                continue;
            }
        }
        run = Tree.GetNextNoInit(run);
    }
    return result;
}
}  // namespace

TNodeArray TBaseGridTree::GetSortedSelection(bool Resolve) const {
    if (FSelectionCount == 0) return {};
    return SortedMarked(*this, vsSelected, Resolve, FSelectionCount);
}

TNodeArray TBaseGridTree::GetSortedCutCopySet(bool Resolve) const {
    return SortedMarked(*this, vsCutOrCopy, Resolve, 0);
}

// --- levels and positions -------------------------------------------------------------

uint32_t TBaseGridTree::GetNodeLevel(PGridNode Node) const {
    uint32_t level = 0;
    if (!Node || Node == FRoot) return 0;
    for (PGridNode run = Node->Parent; run != FRoot; run = run->Parent) ++level;
    return level;
}

PGridNode TBaseGridTree::FindInPositionCache(int Y, uint32_t& Top) const {
    // Last entry whose top is at or above Y.
    auto it = std::upper_bound(FPositionCache.begin(), FPositionCache.end(), uint32_t(Y),
                               [](uint32_t y, const TCacheEntry& e) { return y < e.AbsoluteTop; });
    if (it == FPositionCache.begin()) {
        Top = 0;
        return GetFirstVisibleNoInit();
    }
    --it;
    Top = it->AbsoluteTop;
    return it->Node;
}

PGridNode TBaseGridTree::FindInPositionCache(PGridNode Node, uint32_t& Top) const {
    size_t lo = 0, hi = FPositionCache.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (CompareNodePositions(FPositionCache[mid].Node, Node) <= 0) lo = mid + 1;
        else hi = mid;
    }
    if (lo == 0) {
        Top = 0;
        return GetFirstVisibleNoInit();
    }
    Top = FPositionCache[lo - 1].AbsoluteTop;
    return FPositionCache[lo - 1].Node;
}

PGridNode TBaseGridTree::GetNodeAt(int X, int Y, bool Relative, int* NodeTop) {
    (void)X;
    if (Y < 0) Y = 0;
    if (Relative) Y -= FOffsetY;
    if (Y < 0) return nullptr;
    uint32_t top = 0;
    bool cached = HasPositionCache();
    PGridNode node = cached ? FindInPositionCache(Y, top) : GetFirstVisibleNoInit();
    uint32_t y = static_cast<uint32_t>(Y);
    uint32_t steps = 0;
    while (node && node != FRoot) {
        // A walk that grows long without the cache goes on from the cache built now.
        if (!cached && ++steps > CacheThreshold && BuildPositionCacheNow()) {
            cached = true;
            node = FindInPositionCache(Y, top);
            continue;
        }
        if (node->States & vsVisible) {
            if (top + node->SubtreeHeight > y) {
                uint32_t h = NodeHeight(node);
                if (y < top + h || !node->FirstChildNode || !(node->States & vsExpanded)) {
                    if (NodeTop) *NodeTop = int(top) + (Relative ? FOffsetY : 0);
                    return node;
                }
                top += h;
                node = node->FirstChildNode;
                continue;
            }
            top += node->SubtreeHeight;
        }
        while (node != FRoot && !node->NextSiblingNode) node = node->Parent;
        if (node == FRoot) return nullptr;
        node = node->NextSiblingNode;
    }
    return nullptr;
}

RECT TBaseGridTree::GetDisplayRect(PGridNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil.");
    AssertNotRoot(Node, FRoot);
    if (!(Node->States & vsInitialized)) InitNode(Node);
    RECT result{0, 0, 0, 0};
    if (!FullyVisible(Node)) return result;

    int indent = 0;
    if (Column == NoColumn || Column == MainColumn()) indent = int(GetNodeLevel(Node) * FIndent);

    uint32_t top = 0;
    bool cached = HasPositionCache();
    if (!cached) {
        // Without the cache the rows above are added up; when they are many, the cache is
        // built now and used instead (it then serves the following lookups too).
        PGridNode run = GetPreviousVisibleNoInit(Node);
        for (uint32_t steps = 0; run && steps < CacheThreshold; run = GetPreviousVisibleNoInit(run), ++steps)
            top += NodeHeight(run);
        if (run && BuildPositionCacheNow()) {
            cached = true;
            top = 0;
        } else {
            for (; run; run = GetPreviousVisibleNoInit(run)) top += NodeHeight(run);
        }
    }
    if (cached) {
        PGridNode run = FindInPositionCache(Node, top);
        while (run && run != Node) {
            top += NodeHeight(run);
            run = GetNextVisibleNoInit(run);
        }
    }
    result.top = LONG(top);
    result.left = 0;
    result.right = std::max(FClientWidth, FRangeX);
    result.bottom = LONG(top + NodeHeight(Node));
    TAlignment align = FAlignment;
    TGridTreeColumn* column = FHeader->Columns().GetItem(Column);
    OffsetRect(&result, FOffsetX, FOffsetY);
    if (column) {
        // The cell: the column's span (a fixed column does not scroll sideways).
        int left = 0, right = 0;
        FHeader->Columns().ColumnSpan(Column, left, right);
        result.left = left;
        result.right = right;
        align = column->Alignment();
    }
    if (!TextOnly) return result;

    // Text part of the row: after the indentation, margin, (main column) root indent and
    // the images.
    const bool mainColumn = Column == NoColumn || Column == MainColumn();
    int start = indent + FMargin;
    if (mainColumn && HasPaintOption(toShowRoot)) start += int(FIndent);
    start += ImagesWidth(Node, Column, mainColumn);
    int textWidth = DoGetNodeWidth(Node, Column);
    LONG left = result.left + start;
    LONG space = result.right - left;
    if (Unclipped && space < textWidth) align = taLeftJustify;
    if (Unclipped || textWidth < space) {
        switch (align) {
            case taLeftJustify: result.left = left; result.right = left + textWidth; break;
            case taRightJustify: result.left = result.right - textWidth; break;
            case taCenter:
                result.left = left + (space - textWidth) / 2;
                result.right = result.left + textWidth;
                break;
        }
    } else {
        result.left = left;
    }
    return result;
}

void TBaseGridTree::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo) {
    HitInfo = THitInfo{};
    if (X < 0) HitInfo.HitPositions |= hiToLeft;
    else if (X > std::max(FClientWidth, FRangeX)) HitInfo.HitPositions |= hiToRight;
    if (Y < 0) HitInfo.HitPositions |= hiAbove;
    else if (Y > std::max(FClientHeight, FRangeY)) HitInfo.HitPositions |= hiBelow;
    if (Relative) {
        // Fixed columns do not scroll sideways.
        if (X >= FHeader->Columns().FixedColumnsWidth()) X -= FOffsetX;
        Y -= FOffsetY;
    }
    if (HitInfo.HitPositions) return;
    HitInfo.HitNode = GetNodeAt(X, Y, false);
    if (!HitInfo.HitNode) {
        HitInfo.HitPositions |= hiNowhere;
        return;
    }
    PGridNode node = HitInfo.HitNode;
    if (!(node->States & vsInitialized)) InitNode(node);
    HitInfo.HitColumn = NoColumn;
    int right = std::max(FClientWidth, FRangeX);
    TAlignment align = FAlignment;
    if (ColumnCount() > 0) {
        int left = 0;
        HitInfo.HitColumn = FHeader->Columns().ColumnAndBoundsAt(POINT{X, 0}, left, right, false);
        if (HitInfo.HitColumn < 0) {
            HitInfo.HitPositions = hiNowhere;
            return;
        }
        // From here on X and the width are relative to the cell.
        X -= left;
        right -= left;
        align = FHeader->Columns().GetItem(HitInfo.HitColumn)->Alignment();
    }
    HitInfo.HitPositions = hiOnItem;
    // Left-to-right positions; indentation and the check image only in the main column.
    bool mainColumn = HitInfo.HitColumn == NoColumn || HitInfo.HitColumn == MainColumn();
    int ind = mainColumn ? int(GetNodeLevel(node) * FIndent) : 0;
    if (mainColumn && HasPaintOption(toShowRoot)) ind += int(FIndent);
    if (X < ind) {
        if (HasPaintOption(toShowButtons) && (node->States & vsHasChildren) && X >= ind - int(FIndent))
            HitInfo.HitPositions |= hiOnItemButton;
        else
            HitInfo.HitPositions |= hiOnItemIndent;
        return;
    }
    if (!mainColumn && HasOption(toReportMode)) return;
    ind += FMargin;
    if (mainColumn && HasOption(toCheckSupport) && FCheckImages && node->CheckKind != ctNone) {
        ind += FCheckImages->Width() + 2;
        if (X < ind) {
            HitInfo.HitPositions |= hiOnItemCheckbox;
            return;
        }
    }
    if (FStateImages && HasImage(node, ikState, HitInfo.HitColumn)) {
        ind += FStateImages->Width() + 2;
        if (X < ind) {
            HitInfo.HitPositions |= hiOnStateIcon;
            return;
        }
    }
    if (FImages && HasImage(node, ikNormal, HitInfo.HitColumn)) {
        ind += FImages->Width() + 2;
        if (X < ind) {
            HitInfo.HitPositions |= hiOnNormalIcon;
            return;
        }
    }
    int w = DoGetNodeWidth(node, HitInfo.HitColumn);
    int space = right - ind;
    if (w >= space) {
        HitInfo.HitPositions |= hiOnItemLabel;
        return;
    }
    switch (align) {
        case taLeftJustify:
            HitInfo.HitPositions |= X < ind + w ? hiOnItemLabel : hiOnItemRight;
            break;
        case taRightJustify:
            HitInfo.HitPositions |= X < right - w ? hiOnItemLeft : hiOnItemLabel;
            break;
        case taCenter: {
            int c = (right + ind - w) / 2;
            HitInfo.HitPositions |= X < c ? hiOnItemLeft : (X < c + w ? hiOnItemLabel : hiOnItemRight);
            break;
        }
    }
}

int TBaseGridTree::GetMaxColumnWidth(TColumnIndex Column) {
    PGridNode run = GetFirstVisible();
    bool mainColumn = Column == NoColumn || Column == MainColumn();
    int offset = 0;
    if (mainColumn && run) {
        uint32_t level = GetNodeLevel(run);
        if (HasPaintOption(toShowRoot)) ++level;
        offset = int(level * FIndent);
    }
    offset += FMargin;
    int result = 0;
    while (run) {
        result = std::max(result, offset + ImagesWidth(run, Column, mainColumn) + DoGetNodeWidth(run, Column));
        PGridNode next = GetNextVisible(run);
        if (mainColumn && next) offset += CountLevelDifference(run, next) * int(FIndent);
        run = next;
    }
    if (HasPaintOption(toShowVertGridLines)) ++result;
    return result;
}

}  // namespace gridtree
