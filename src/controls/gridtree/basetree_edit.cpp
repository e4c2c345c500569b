// The tree's side of in-place editing: when an edit may start, starting it over the
// focused cell, ending, cancelling, and keeping the editor over its cell.
#include <windows.h>

#include "classlib/application.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

bool TBaseGridTree::CanEdit(PGridNode Node, TColumnIndex Column) {
    bool allowed = HasOption(toEditable) && Enabled() && !HasOption(toReadOnly);
    DoCanEdit(Node, Column, allowed);
    return allowed;
}

void TBaseGridTree::DoCanEdit(PGridNode Node, TColumnIndex Column, bool& Allowed) {
    if (OnEditing) OnEditing(this, Node, Column, Allowed);
}

PGTEditLink TBaseGridTree::DoCreateEditor(PGridNode Node, TColumnIndex Column) {
    PGTEditLink link;
    if (OnCreateEditor) {
        OnCreateEditor(this, Node, Column, link);
        if (!link) RaiseTreeError(L"Edit link must not be nil.", 2000);
    }
    return link;
}

void TBaseGridTree::EditNode(PGridNode Node, TColumnIndex Column) {
    if (!Node || Node == FRoot || !CanEdit(Node, Column)) return;
    SetFocusedNodeAndColumn(Node, Column);
    if (FFocusedNode != Node) return;
    FEditColumn = Column;
    DoEdit();
}

void TBaseGridTree::DoEdit() {
    if (classlib::Application) classlib::Application->CancelHint();
    StopTimer(ScrollTimer);
    StopTimer(EditTimer);
    DoStateChange(0, tsEditPending);
    if (!FFocusedNode || (FFocusedNode->States & vsDisabled) || HasOption(toReadOnly) || FEditLink) return;
    PGTEditLink link = DoCreateEditor(FFocusedNode, FEditColumn);
    if (!link) return;
    FEditLink = link;
    DoStateChange(tsEditing, tsToggleFocusedSelection | tsClearPending | tsDrawSelPending | tsDrawSelecting |
                                 tsMouseCheckPending | tsOLEDragging | tsOLEDragPending | tsScrolling |
                                 tsScrollPending);
    ScrollIntoView(FFocusedNode, HasSelectionOption(toCenterScrollIntoView),
                   !HasAutoOption(toDisableAutoscrollOnEdit));
    if (link->PrepareEdit(this, FFocusedNode, FEditColumn)) {
        UpdateEditBounds();
        InvalidateNode(FFocusedNode);
        if (!link->BeginEdit()) DoStateChange(0, tsEditing);
    } else {
        DoStateChange(0, tsEditing);
    }
    if (!HasState(tsEditing)) FEditLink.reset();
}

bool TBaseGridTree::DoEndEdit() {
    StopTimer(EditTimer);
    // The editor calls back into the tree while it ends: it is held here meanwhile.
    const PGTEditLink link = FEditLink;
    const bool result = HasState(tsEditing) && link && link->EndEdit();
    if (result) {
        DoStateChange(0, tsEditing);
        FEditLink.reset();
        if (OnEdited) OnEdited(this, FFocusedNode, FEditColumn);
    }
    DoStateChange(0, tsEditPending);
    return result;
}

bool TBaseGridTree::DoCancelEdit() {
    StopTimer(EditTimer);
    DoStateChange(0, tsEditPending);
    const PGTEditLink link = FEditLink;
    const bool result = HasState(tsEditing) && link && link->CancelEdit();
    if (result) {
        DoStateChange(0, tsEditing);
        if (OnEditCancelled) OnEditCancelled(this, FEditColumn);
        if (!FDestroying) FEditLink.reset();
    }
    return result;
}

bool TBaseGridTree::CancelEditNode() {
    if (HandleAllocated() && HasState(tsEditing | tsEditPending)) return DoCancelEdit();
    return true;
}

bool TBaseGridTree::EndEditNode() {
    if (HasState(tsEditing) && !HasState(tsEditPending)) return DoEndEdit();
    return true;
}

void TBaseGridTree::UpdateEditBounds() {
    if (!HasState(tsEditing) || !FEditLink || !FFocusedNode) return;
    const bool multiline = (FFocusedNode->States & vsMultiline) != 0;
    RECT r = GetDisplayRect(FFocusedNode, FEditColumn, !multiline, true);
    if (HasOption(toGridExtensions)) {
        // In grid mode the editor reaches the cell's edge away from the text.
        int left = 0, right = FClientWidth;
        FHeader->Columns().ColumnSpan(FEditColumn, left, right);
        TAlignment alignment = FAlignment;
        if (TGridTreeColumn* column = FHeader->Columns().GetItem(FEditColumn)) alignment = column->Alignment();
        if (alignment == taLeftJustify) r.right = right;
        else r.left = left;
    }
    if (HasPaintOption(toShowHorzGridLines)) --r.bottom;
    FEditLink->SetBounds(r);
}

}  // namespace gridtree
