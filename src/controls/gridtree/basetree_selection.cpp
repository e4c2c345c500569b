// Selection array, range operations, click rules, focus and check states.
//
// The selection is an array sorted by node address. Entries removed during bulk work are
// only marked (bit 0 of the pointer set; node blocks are 8-byte aligned) and dropped by
// the next pack.
#include <algorithm>
#include <cstdint>

#include "controls/gridtree/basetree.h"

#include "classlib/scopeguard.h"

namespace gridtree {

namespace {
bool IsMarked(PGridNode P) { return (reinterpret_cast<uintptr_t>(P) & 1) != 0; }
PGridNode Marked(PGridNode P) { return reinterpret_cast<PGridNode>(reinterpret_cast<uintptr_t>(P) | 1); }
bool ByAddress(PGridNode A, PGridNode B) { return reinterpret_cast<uintptr_t>(A) < reinterpret_cast<uintptr_t>(B); }
}  // namespace

int TBaseGridTree::PackSelectionArray(TNodeArray& Array, int Count) {
    if (Count <= 0) return -1;
    int out = 0;
    for (int i = 0; i < Count; ++i)
        if (!IsMarked(Array[size_t(i)])) Array[size_t(out++)] = Array[size_t(i)];
    return out;
}

void TBaseGridTree::PackSelection() {
    int count = PackSelectionArray(FSelection, int(FSelectionCount));
    if (count >= 0) {
        FSelectionCount = uint32_t(count);
        FSelection.resize(FSelectionCount);
    }
}

bool TBaseGridTree::FindNodeInSelection(PGridNode P, int& Index, int LowBound, int HighBound) const {
    int lo = LowBound < 0 ? 0 : LowBound;
    int hi = HighBound < 0 ? int(FSelectionCount) - 1 : HighBound;
    uintptr_t key = reinterpret_cast<uintptr_t>(P);
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        // Marked entries compare by their node address.
        uintptr_t value = reinterpret_cast<uintptr_t>(FSelection[size_t(mid)]) & ~uintptr_t(1);
        if (value < key) lo = mid + 1;
        else if (value > key) hi = mid - 1;
        else {
            Index = mid;
            return true;
        }
    }
    Index = lo;
    return false;
}

bool TBaseGridTree::InternalAddToSelection(PGridNode Node, bool ForceInsert) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil!");
    return InternalAddToSelection(&Node, 1, ForceInsert);
}

bool TBaseGridTree::InternalAddToSelection(const PGridNode* NewItems, size_t NewLength, bool ForceInsert) {
    if (NewLength == 0) return false;
    TNodeArray items(NewItems, NewItems + NewLength);
    if (ForceInsert) {
        for (PGridNode n : items) n->States |= vsSelected;
    } else {
        if (HasSelectionOption(toLevelSelectConstraint) && FLastSelectionLevel < 0)
            FLastSelectionLevel = int(GetNodeLevel(items[0]));
        if (HasSelectionOption(toSiblingSelectConstraint) && !FRangeAnchor) FRangeAnchor = items[0];
        for (PGridNode& n : items) {
            bool reject = (n->States & (vsSelected | vsDisabled)) != 0 ||
                          (HasSelectionOption(toLevelSelectConstraint) && int(GetNodeLevel(n)) != FLastSelectionLevel) ||
                          (HasSelectionOption(toSiblingSelectConstraint) && n->Parent != FRangeAnchor->Parent);
            if (reject) n = Marked(n);
            else n->States |= vsSelected;
        }
    }
    int remaining = PackSelectionArray(items, int(items.size()));
    if (remaining <= 0) return false;
    items.resize(size_t(remaining));
    std::sort(items.begin(), items.end(), ByAddress);
    items.erase(std::unique(items.begin(), items.end()), items.end());
    // Forced items may already be members: merge only the new ones.
    if (ForceInsert) {
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [this](PGridNode n) {
                                       int idx;
                                       return FindNodeInSelection(n, idx);
                                   }),
                    items.end());
        if (items.empty()) return false;
    }
    PackSelection();
    size_t old = FSelectionCount;
    FSelection.resize(old + items.size());
    std::copy(items.begin(), items.end(), FSelection.begin() + old);
    std::inplace_merge(FSelection.begin(), FSelection.begin() + old, FSelection.end(), ByAddress);
    FSelectionCount = uint32_t(FSelection.size());
    return true;
}

void TBaseGridTree::AddToSelection(PGridNode Node) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil!");
    if (InternalAddToSelection(&Node, 1, false)) {
        InvalidateNode(Node);
        Change(Node);
    }
}

void TBaseGridTree::AddToSelection(const PGridNode* NewItems, size_t NewLength, bool ForceInsert) {
    if (!InternalAddToSelection(NewItems, NewLength, ForceInsert)) return;
    if (NewLength == 1) {
        InvalidateNode(NewItems[0]);
        Change(NewItems[0]);
    } else {
        Invalidate();
        Change(nullptr);
    }
}

void TBaseGridTree::InternalRemoveFromSelection(PGridNode Node) {
    if (!(Node->States & vsSelected)) return;
    Node->States &= ~vsSelected;
    int index;
    if (FindNodeInSelection(Node, index)) FSelection[size_t(index)] = Marked(Node);
}

void TBaseGridTree::RemoveFromSelection(PGridNode Node) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil!");
    if (!(Node->States & vsSelected)) return;
    Node->States &= ~vsSelected;
    int index;
    if (FindNodeInSelection(Node, index)) {
        FSelection.erase(FSelection.begin() + index);
        FSelectionCount = uint32_t(FSelection.size());
    }
    if (FSelectionCount == 0) ResetRangeAnchor();
    Change(Node);
}

void TBaseGridTree::InternalClearSelection() {
    if (FUpdateCount > 0) PackSelection();
    for (uint32_t i = 0; i < FSelectionCount; ++i)
        if (!IsMarked(FSelection[i])) FSelection[i]->States &= ~vsSelected;
    ResetRangeAnchor();
    FSelection.clear();
    FSelectionCount = 0;
    DoStateChange(0, tsClearPending);
}

void TBaseGridTree::ClearSelection() {
    if (FSelectionCount == 0 || FDestroying) return;
    if (FUpdateCount == 0 && HandleAllocated()) Invalidate();
    InternalClearSelection();
    Change(nullptr);
}

void TBaseGridTree::ResetRangeAnchor() {
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = -1;
}

void TBaseGridTree::SetSelected(PGridNode Node, bool Value) {
    if (!Node || Node == FRoot || Selected(Node) == Value) return;
    if (Value) {
        if (FSelectionCount == 0) FRangeAnchor = Node;
        else if (!HasSelectionOption(toMultiSelect)) ClearSelection();
        AddToSelection(Node);
        if (!FRangeAnchor) FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (FSelectionCount == 0) ResetRangeAnchor();
    }
    if (FullyVisible(Node)) InvalidateNode(Node);
}

void TBaseGridTree::SelectNodes(PGridNode StartNode, PGridNode EndNode, bool AddOnly) {
    if (!EndNode) throw EGridTreeAssertion(L"EndNode must not be nil!");
    FTempNodeCache.clear();
    if (!StartNode || !FullyVisible(StartNode)) {
        PGridNode prev = StartNode ? GetPreviousVisible(StartNode) : nullptr;
        StartNode = prev ? prev : GetFirst();
    }
    if (!StartNode) return;
    PGridNode first = StartNode, last = EndNode;
    if (CompareNodePositions(first, last) > 0) std::swap(first, last);
    PGridNode anchor = FRangeAnchor;
    if (!AddOnly) InternalClearSelection();
    for (PGridNode run = first; run; run = GetNextVisible(run)) {
        FTempNodeCache.push_back(run);
        if (run == last) break;
    }
    AddToSelection(FTempNodeCache.data(), FTempNodeCache.size(), false);
    FTempNodeCache.clear();
    if (anchor && Selected(anchor)) FRangeAnchor = anchor;
}

void TBaseGridTree::ToggleSelection(PGridNode StartNode, PGridNode EndNode) {
    if (!EndNode) throw EGridTreeAssertion(L"EndNode must not be nil!");
    if (!StartNode) StartNode = GetFirst();
    else if (!FullyVisible(StartNode)) StartNode = GetPreviousVisible(StartNode);
    if (!StartNode || StartNode == EndNode) return;
    FTempNodeCache.clear();
    PGridNode first = StartNode, last = EndNode;
    if (CompareNodePositions(first, last) > 0) std::swap(first, last);
    auto toggle = [this](PGridNode n) {
        if (n->States & vsSelected) InternalRemoveFromSelection(n);
        else FTempNodeCache.push_back(n);
    };
    if (!FRangeAnchor || CompareNodePositions(first, FRangeAnchor) < 0) toggle(first);
    for (PGridNode run = GetNextVisible(first); run && run != last; run = GetNextVisible(run)) toggle(run);
    if (!FRangeAnchor || CompareNodePositions(last, FRangeAnchor) > 0) toggle(last);
    PackSelection();
    if (FRangeAnchor && !Selected(FRangeAnchor)) FTempNodeCache.push_back(FRangeAnchor);
    AddToSelection(FTempNodeCache.data(), FTempNodeCache.size(), false);
    FTempNodeCache.clear();
}

void TBaseGridTree::UnselectNodes(PGridNode StartNode, PGridNode EndNode) {
    if (!EndNode) throw EGridTreeAssertion(L"EndNode must not be nil!");
    if (!StartNode || !FullyVisible(StartNode)) {
        PGridNode prev = StartNode ? GetPreviousVisible(StartNode) : nullptr;
        StartNode = prev ? prev : GetFirst();
    }
    if (!StartNode) return;
    PGridNode first = StartNode, last = EndNode;
    if (CompareNodePositions(first, last) > 0) std::swap(first, last);
    for (PGridNode run = first; run; run = GetNextVisible(run)) {
        InternalRemoveFromSelection(run);
        if (run == last) break;
    }
    PackSelection();
}

void TBaseGridTree::SelectAll(bool VisibleOnly) {
    if (!HasSelectionOption(toMultiSelect)) return;
    FTempNodeCache.clear();
    if (VisibleOnly) {
        for (PGridNode run = GetFirstVisible(); run; run = GetNextVisible(run))
            if (!(run->States & vsSelected)) FTempNodeCache.push_back(run);
    } else {
        for (PGridNode run = GetFirst(); run; run = GetNext(run))
            if (!(run->States & vsSelected)) FTempNodeCache.push_back(run);
    }
    AddToSelection(FTempNodeCache.data(), FTempNodeCache.size(), false);
    FTempNodeCache.clear();
    Invalidate();
}

void TBaseGridTree::HandleClickSelection(PGridNode LastFocused, PGridNode NewNode, bool Ctrl, bool Shift,
                                         bool DragPending) {
    (void)LastFocused;
    if (!NewNode) return;
    if (Ctrl && Shift) {
        SelectNodes(FRangeAnchor, NewNode, true);
        Invalidate();
    } else if (Ctrl) {
        if (!HasSelectionOption(toSiblingSelectConstraint)) FRangeAnchor = NewNode;
        if (DragPending) {
            DoStateChange(tsToggleFocusedSelection, 0);
        } else if (NewNode->States & vsSelected) {
            RemoveFromSelection(NewNode);
        } else {
            AddToSelection(NewNode);
        }
    } else if (Shift) {
        if (!FRangeAnchor) FRangeAnchor = GetFirstNoInit();
        SelectNodes(FRangeAnchor, NewNode, false);
        Invalidate();
    } else {
        if (!(NewNode->States & vsSelected)) {
            AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FRangeAnchor = NewNode;
    }
}

void TBaseGridTree::SelectionOptionsChanged(TGTSelectionOptions Old, TGTSelectionOptions New) {
    TGTSelectionOptions changed = Old ^ New;
    if ((changed & toMultiSelect) || (changed & New & (toLevelSelectConstraint | toSiblingSelectConstraint)))
        ClearSelection();
    if ((changed & Old & toExtendedFocus) && FFocusedColumn > 0 && HandleAllocated()) {
        FFocusedColumn = MainColumn();
        Invalidate();
    }
    if (!(New & toExtendedFocus)) FFocusedColumn = MainColumn();
}

// --- focus ----------------------------------------------------------------------------

void TBaseGridTree::DoFocusNode(PGridNode Node, bool Ask) {
    if (IsEditing() && !EndEditNode()) return;
    if (Node == FRoot) Node = nullptr;
    if (Node == FFocusedNode) return;
    if (Ask && !DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn)) return;
    PGridNode old = FFocusedNode;
    if (old && HasAutoOption(toAutoExpand) && Node && old->Parent == Node->Parent && (old->States & vsExpanded))
        ToggleNode(old);
    else if (old)
        InvalidateNode(old);
    FFocusedNode = Node;
    if (FFocusedNode) {
        if (ColumnCount() > 0 && (FFocusedColumn < 0 || FFocusedColumn >= ColumnCount())) FFocusedColumn = 0;
        if (HasAutoOption(toAutoExpand) && !(FFocusedNode->States & vsExpanded)) ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0)
            ScrollIntoView(FFocusedNode, HasSelectionOption(toCenterScrollIntoView),
                           !HasAutoOption(toDisableAutoscrollOnFocus));
    }
    if (FSelectionCount == 0) ResetRangeAnchor();
}

void TBaseGridTree::SetFocusedNode(PGridNode Node) {
    PGridNode old = FFocusedNode;
    DoFocusNode(Node, true);
    if (FFocusedNode != old) DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseGridTree::SetFocusedColumn(TColumnIndex Value) {
    if (Value == FFocusedColumn) return;
    if (!DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
    CancelEditNode();
    FFocusedColumn = Value;
    if (FFocusedNode) {
        ScrollIntoView(FFocusedNode, HasSelectionOption(toCenterScrollIntoView),
                       !HasAutoOption(toDisableAutoscrollOnFocus));
        InvalidateNode(FFocusedNode);
    }
    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseGridTree::SetFocusedNodeAndColumn(PGridNode Node, TColumnIndex Column) {
    PGridNode oldNode = FFocusedNode;
    TColumnIndex oldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    DoFocusNode(Node, true);
    if (FFocusedNode == (Node == FRoot ? nullptr : Node)) {
        if (FFocusedNode != oldNode || FFocusedColumn != oldColumn) {
            CancelEditNode();
            DoFocusChange(FFocusedNode, FFocusedColumn);
        }
    } else {
        FFocusedColumn = oldColumn;
    }
}

// --- check states ---------------------------------------------------------------------

void TBaseGridTree::SetCheckType(PGridNode Node, TCheckKind Value) {
    if (!Node || Node == FRoot || Node->CheckKind == Value) return;
    Node->CheckKind = Value;
    if (Value != ctTriStateCheckBox && Node->CheckState >= csMixedNormal) Node->CheckState = csUncheckedNormal;
    InvalidateNode(Node);
}

void TBaseGridTree::SetCheckState(PGridNode Node, TCheckState Value) {
    if (!Node || Node == FRoot || Node->CheckState == Value || (Node->States & vsDisabled)) return;
    if (DoChecking(Node, Value)) DoCheckClick(Node, Value);
}

bool TBaseGridTree::ChangeCheckState(PGridNode Node, TCheckState Value) {
    if (Node->States & vsChecking) return false;
    Node->States |= vsChecking;
    if (!(Node->States & vsInitialized)) InitNode(Node);
    if (++FCheckPropagationCount == 1) DoStateChange(tsCheckPropagation, 0);
    auto endChecking = classlib::ScopeExit([&] {
        Node->States &= ~vsChecking;
        if (--FCheckPropagationCount == 0) DoStateChange(0, tsCheckPropagation);
    });
    bool result = true;
    if (Node->CheckKind == ctTriStateCheckBox && HasAutoOption(toAutoTristateTracking) &&
        (Value == csUncheckedNormal || Value == csCheckedNormal) && Node->ChildCount > 0) {
        uint32_t unchecked = 0, checked = 0, mixed = 0;
        for (PGridNode child = Node->FirstChildNode; child; child = child->NextSiblingNode) {
            if (child->CheckKind == ctTriStateCheckBox || child->CheckKind == ctCheckBox) {
                SetCheckState(child, Value);
                switch (child->CheckState) {
                    case csCheckedNormal: case csCheckedPressed: ++checked; break;
                    case csMixedNormal: case csMixedPressed: ++mixed; break;
                    default: ++unchecked; break;
                }
            }
        }
        if (mixed > 0) Value = csMixedNormal;
        else if (checked > 0) Value = unchecked > 0 ? csMixedNormal : csCheckedNormal;
    }
    if (Node->CheckKind == ctRadioButton && Value == csCheckedNormal) {
        for (PGridNode sibling = Node->Parent->FirstChildNode; sibling; sibling = sibling->NextSiblingNode)
            if (sibling != Node && sibling->CheckKind == ctRadioButton) sibling->CheckState = csUncheckedNormal;
        Invalidate();
    }
    Node->CheckState = Value;
    PGridNode parent = Node->Parent;
    if (parent != FRoot && !(parent->States & vsInitialized)) InitNode(parent);
    if (HasAutoOption(toAutoTristateTracking) && parent != FRoot && !(parent->States & (vsChecking | vsDisabled)) &&
        (Node->CheckKind == ctTriStateCheckBox || Node->CheckKind == ctCheckBox) &&
        parent->CheckKind == ctTriStateCheckBox)
        result = CheckParentCheckState(Node, Value);
    InvalidateNode(Node);
    return result;
}

bool TBaseGridTree::CheckParentCheckState(PGridNode Node, TCheckState NewCheckState) {
    PGridNode parent = Node->Parent;
    uint32_t count = 0, checked = 0;
    bool mixed = false;
    for (PGridNode run = parent->FirstChildNode; run; run = run->NextSiblingNode) {
        if (run->CheckKind != ctTriStateCheckBox && run->CheckKind != ctCheckBox) continue;
        TCheckState state = run == Node ? NewCheckState : TCheckState(run->CheckState);
        ++count;
        if (state == csCheckedNormal || state == csCheckedPressed) ++checked;
        if (state == csMixedNormal) mixed = true;
    }
    TCheckState parentState;
    if (checked == count && count > 0) parentState = csCheckedNormal;
    else if (checked > 0 || mixed) parentState = csMixedNormal;
    else parentState = csUncheckedNormal;
    if (!DoChecking(parent, parentState)) return false;
    // DoCheckClick runs the parent's own propagation, which climbs one level further.
    DoCheckClick(parent, parentState);
    return true;
}

}  // namespace gridtree
