#include "controls/wide/widechecklist.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace wide {

using namespace classlib;

TWideCheckListBox::TWideCheckListBox(TComponent* owner) : TWideCustomListBox(owner) {
    FStyle = lbOwnerDrawFixed;
}

TWideCheckListBox::ItemState& TWideCheckListBox::At(int index) {
    if (index < 0 || index >= FItems->GetCount()) FItems->Error(L"リストのインデックスが範囲を超えています (%d)", index);
    if (FStates.size() < static_cast<size_t>(index) + 1) FStates.resize(static_cast<size_t>(index) + 1);
    return FStates[static_cast<size_t>(index)];
}

TCheckBoxState TWideCheckListBox::State(int index) const {
    return index >= 0 && static_cast<size_t>(index) < FStates.size() ? FStates[static_cast<size_t>(index)].State : cbUnchecked;
}

bool TWideCheckListBox::ItemEnabled(int index) const {
    return index >= 0 && static_cast<size_t>(index) < FStates.size() ? FStates[static_cast<size_t>(index)].Enabled : true;
}

bool TWideCheckListBox::Header(int index) const {
    return index >= 0 && static_cast<size_t>(index) < FStates.size() && FStates[static_cast<size_t>(index)].Header;
}

void TWideCheckListBox::SetState(int index, TCheckBoxState value) {
    At(index).State = value;
    RECT r = ItemRect(index);
    InvalidateRect(Handle(), &r, FALSE);
}

void TWideCheckListBox::SetItemEnabled(int index, bool value) {
    At(index).Enabled = value;
    RECT r = ItemRect(index);
    InvalidateRect(Handle(), &r, FALSE);
}

void TWideCheckListBox::SetHeader(int index, bool value) {
    At(index).Header = value;
    RECT r = ItemRect(index);
    InvalidateRect(Handle(), &r, FALSE);
}

void TWideCheckListBox::ItemAdded(int index) {
    if (FStates.size() < static_cast<size_t>(index)) FStates.resize(static_cast<size_t>(index));
    ItemState state = (FPutting || FMoving) ? FLastDeleted : ItemState{};
    FStates.insert(FStates.begin() + index, state);
}

void TWideCheckListBox::ItemDeleting(int index) {
    if (static_cast<size_t>(index) < FStates.size()) {
        FLastDeleted = FStates[static_cast<size_t>(index)];
        FStates.erase(FStates.begin() + index);
    } else {
        FLastDeleted = ItemState{};
    }
}

void TWideCheckListBox::ItemsExchanged(int index1, int index2) {
    At(index1);
    At(index2);
    std::swap(FStates[static_cast<size_t>(index1)], FStates[static_cast<size_t>(index2)]);
    Invalidate();
}

void TWideCheckListBox::CountChanged(int count) {
    if (FStates.size() > static_cast<size_t>(count)) FStates.resize(static_cast<size_t>(count));
    Invalidate();
}

int TWideCheckListBox::CheckWidth() const { return GetSystemMetrics(SM_CXMENUCHECK) + 2; }

void TWideCheckListBox::ToggleState(int index) {
    if (index < 0 || index >= Count() || !ItemEnabled(index) || Header(index)) return;
    TCheckBoxState next;
    switch (State(index)) {
    case cbUnchecked: next = cbChecked; break;
    case cbChecked: next = AllowGrayed ? cbGrayed : cbUnchecked; break;
    default: next = cbUnchecked; break;
    }
    SetState(index, next);
    if (OnClickCheck) OnClickCheck(this);
}

void TWideCheckListBox::WndProc(TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        int index = ItemAtPos(p, true);
        if (index >= 0) {
            RECT r = ItemRect(index);
            if (p.x >= r.left && p.x < r.left + CheckWidth()) ToggleState(index);
        }
    } else if (m.Msg == WM_CHAR && m.WParam == L' ') {
        ToggleState(ItemIndex());
    }
    TWideCustomListBox::WndProc(m);
}

void TWideCheckListBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    bool header = Header(index);
    RECT box = rect;
    box.right = box.left + CheckWidth();
    if (header) {
        FCanvas.Brush().SetColor(clInfoBk);
        FCanvas.Font().SetColor(clInfoText);
        FCanvas.FillRect(rect);
    } else {
        FCanvas.Brush().SetColor(Color());
        FCanvas.FillRect(box);
        RECT check = box;
        int size = std::min(GetSystemMetrics(SM_CXMENUCHECK), static_cast<int>(rect.bottom - rect.top));
        check.left += 1;
        check.top += (rect.bottom - rect.top - size) / 2;
        check.right = check.left + size;
        check.bottom = check.top + size;
        UINT flags = DFCS_BUTTONCHECK;
        if (State(index) == cbChecked) flags |= DFCS_CHECKED;
        if (State(index) == cbGrayed) flags = DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (!ItemEnabled(index) || !Enabled()) flags |= DFCS_INACTIVE;
        DrawFrameControl(FCanvas.Handle(), &check, DFC_BUTTON, flags);
        rect.left = box.right;
        FCanvas.Brush().SetColor((state & odSelected) ? clHighlight : Color());
    }
    if (!ItemEnabled(index)) FCanvas.Font().SetColor(clGrayText);
    if (OnDrawItem)
        OnDrawItem(this, index, rect, state);
    else
        DefaultDrawItem(index, rect);
}

}  // namespace wide
