// The Unicode check list box: a list box whose items carry a check box.
//
// Every item has a check state (unchecked, checked, greyed), an enabled flag and a header
// flag (a header shows as a caption row without a check box and cannot be checked). The
// states follow their items through Put, Exchange and Move, and re-creating the window
// keeps them with the items, top index and selection. A virtual list (lbVirtual,
// lbVirtualOwnerDraw) keeps the states by index, also across re-creating the window. A click on the box or the space
// bar toggles the state of an enabled item and fires OnClickCheck. With an OnDrawItem
// handler the handler draws the text part; the list draws nothing of its own text then.
#pragma once

#include "controls/wide/widelistbox.h"

#include <vector>

namespace wide {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TWideCheckListBox : public TWideCustomListBox {
public:
    explicit TWideCheckListBox(classlib::TComponent* owner);

    TCheckBoxState State(int index) const;
    void SetState(int index, TCheckBoxState value);
    bool Checked(int index) const { return State(index) == cbChecked; }
    void SetChecked(int index, bool value) { SetState(index, value ? cbChecked : cbUnchecked); }
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool value);
    bool Header(int index) const;
    void SetHeader(int index, bool value);
    // A click on the box of a greyed item goes unchecked -> checked -> greyed when on.
    bool AllowGrayed = false;
    classlib::TNotifyEvent OnClickCheck;

protected:
    struct ItemState {
        TCheckBoxState State = cbUnchecked;
        bool Enabled = true;
        bool Header = false;
    };
    void WndProc(classlib::TMessage& m) override;
    void DrawItem(int index, RECT rect, TOwnerDrawState state) override;
    void ItemAdded(int index) override;
    void ItemDeleting(int index) override;
    void ItemsCleared() override { FStates.clear(); }
    void ItemsExchanged(int index1, int index2) override;
    // A virtual list keeps the states of the indexes below its new count; indexes that
    // come back later start unchecked.
    void CountChanged(int count) override;
    void ToggleState(int index);
    int CheckWidth() const;
    ItemState& At(int index);

    std::vector<ItemState> FStates;
    ItemState FLastDeleted;
};

}  // namespace wide
