// Dragging controls inside the program (not OLE drag and drop).
//
// TControl::BeginDrag starts a drag of that control: at once, or after the mouse moved
// `threshold` pixels with the left button down (default: the system's drag distance).
// While dragging, the control under the mouse gets CM_DRAG with dmDragEnter / dmDragMove /
// dmDragLeave and answers whether it accepts (OnDragOver); releasing the button over an
// accepting control sends dmDragDrop (OnDragDrop); Esc, the right button or losing the
// capture cancels. The source gets OnEndDrag with the target (null when cancelled or
// refused). The drag runs its own message loop on the main thread.
#pragma once

#include "classlib/control.h"

namespace classlib {

enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
// OnDragOver's state values.
enum TDragState { dsDragEnter = dmDragEnter, dsDragLeave = dmDragLeave, dsDragMove = dmDragMove };

struct TDragRec {
    POINT Pos;             // in the target's client coordinates
    TComponent* Source;    // the dragged control
    TControl* Target;
};

// The innermost control (windowed or not) under a screen point, or null.
TControl* FindDragTarget(POINT screenPos, bool allowDisabled);
// The control being dragged now, or null.
TControl* DragSource();
// Ends a drag of `control` without a drop (used when the control is destroyed).
void CancelDragOf(TControl* control);
// Ends the current drag: with `drop` over the current target if it accepts.
void EndDrag(bool drop);
// The application's loop hands every message here first; true when the drag used it.
bool DragProcessMessage(MSG& msg);

}  // namespace classlib
