// Helpers shared by the folder's standard-control wrappers (not a public header).
#pragma once

#include <windows.h>

#include "classlib/control.h"
#include "classlib/graphics.h"
#include "controls/wide/widelistbox.h"

namespace wide {

// True while the control or one of its parents is being destroyed.
inline bool IsControlDestroying(classlib::TControl* c) {
    for (; c; c = c->Parent())
        if (c->ComponentState() & classlib::csDestroying) return true;
    return false;
}

// Readies `canvas` on the item's DC for owner drawing with the control's font and colour
// (highlight colours for a selected item) and returns the item's state.
inline TOwnerDrawState PrepareOwnerDraw(classlib::TCanvas& canvas, const DRAWITEMSTRUCT& dis,
                                        classlib::TWinControl& control) {
    TOwnerDrawState state = 0;
    if (dis.itemState & ODS_SELECTED) state |= odSelected;
    if (dis.itemState & ODS_GRAYED) state |= odGrayed;
    if (dis.itemState & ODS_DISABLED) state |= odDisabled;
    if (dis.itemState & ODS_CHECKED) state |= odChecked;
    if (dis.itemState & ODS_FOCUS) state |= odFocused;
    canvas.SetHandle(dis.hDC);
    canvas.Font().Assign(control.Font());
    canvas.Brush().SetColor(control.Color());
    if (state & odSelected) {
        canvas.Brush().SetColor(classlib::clHighlight);
        canvas.Font().SetColor(classlib::clHighlightText);
    }
    return state;
}

}  // namespace wide
