#pragma once
// The system-menu popup of title bars, and focus and window-placement helpers of the themed
// controls. Main thread only.

#include <windows.h>

#include <functional>
#include <string>

#include "classlib/control.h"
#include "controls/toolbar/ui/uitypes.h"

namespace classlib {
class TForm;
}
namespace toolbar {
class TBarCustomItem;
}

namespace ui {

// --- menus ------------------------------------------------------------------------------------

// The text of the menu entry at `position` (at most 260 characters; empty when there is none).
void GetMenuItemText(HMENU menu, int position, std::wstring& text);
// Appends to `root` one item per entry of a Windows menu, owned by `root`: a separator item
// for a separator, an item with the sub-menu style for an entry with a sub-menu (whose own
// entries are not copied), a plain item otherwise. Each takes the entry's text as Caption and
// its command identifier as Tag; a disabled or grey entry makes it disabled, a checked one
// checked, the default entry gets tboDefault. False when root is null or menu is not a menu.
bool CopyMenuToItems(HMENU menu, toolbar::TBarCustomItem* root);
// Fills a popup menu's root item with the form's system menu: the glyph images
// (UiGlyphImages) as its sub-menu images, every item enabled, and then by command: SC_SIZE
// shown when sizeable and enabled unless maximized; SC_MOVE enabled unless maximized;
// SC_MINIMIZE shown when minimizeVisible (glyph ugMinimize); SC_MAXIMIZE shown when
// maximizeVisible, enabled unless maximized (ugMaximize); SC_CLOSE shown when closeVisible,
// the default item (ugClose); SC_RESTORE shown when maximizeVisible, enabled unless the form
// is in its normal state (ugRestore). False without a form window or root item.
bool FillSystemMenuItems(classlib::TForm* form, bool sizeable, bool minimizeVisible,
                         toolbar::TBarCustomItem* items, bool closeVisible, bool maximizeVisible);

// Shows the items of a popup menu at a screen point, fires onInitPopup (when assigned) as the
// menu opens, waits for the user's choice and answers the chosen item, or null.
using TUiMenuPopupRunner =
    std::function<toolbar::TBarCustomItem*(classlib::TForm* form, toolbar::TBarCustomItem& items,
                                           POINT screenPoint, const TUiPopupEvent& onInitPopup)>;

// The system menu of a form as a popup: releases the mouse capture, fills a root item owned
// by the form (FillSystemMenuItems), shows it through runPopup and frees it again. Answers the
// chosen system command (the item's Tag, SC_SIZE .. SC_CONTEXTHELP), 0 for none; an item
// with another tag is clicked instead and 0 answered. With execute, SC_SIZE, SC_MOVE,
// SC_MINIMIZE and SC_CLOSE are sent to the form as WM_SYSCOMMAND, SC_MAXIMIZE maximizes it
// and SC_RESTORE makes it normal.
int ShowSystemMenuPopup(classlib::TForm* form, POINT screenPoint, bool sizeable, bool execute,
                        const TUiPopupEvent& onInitPopup, bool closeVisible, bool maximizeVisible,
                        bool minimizeVisible, const TUiMenuPopupRunner& runPopup);

// --- focus --------------------------------------------------------------------------------------

// False for null or a control that has the focus; else whether its form exists, is enabled
// and visible and the control can take the focus.
bool CanFocusControl(classlib::TWinControl* control);
// True with `focused` null when the control itself has the focus; true with `focused` set
// when its form (enabled and visible) has a focused active control inside the control's
// window; false otherwise.
bool FindFocusedChild(classlib::TWinControl* control, classlib::TWinControl*& focused);
// When the control's form exists and is enabled and visible: focuses the first tab stop inside
// the control (the first focusable child without one) and answers the form's active control;
// null otherwise.
classlib::TWinControl* FocusFirstChild(classlib::TWinControl* control);
// The child's position in the parent's control list, or -1.
int IndexOfChildControl(classlib::TWinControl* parent, classlib::TControl* child);
// The nearest parent of the control (not the control itself) that is a T, or null.
template <class T>
T* FindParentOfClass(classlib::TControl* control) {
    for (classlib::TWinControl* p = control ? control->Parent() : nullptr; p; p = p->Parent())
        if (auto* found = dynamic_cast<T*>(p)) return found;
    return nullptr;
}

// --- placement --------------------------------------------------------------------------------

// Form placement states.
constexpr int fpNormal = 0;
constexpr int fpMinimized = 1;
constexpr int fpMaximized = 2;

// The form's state and its normal bounds as left, top, width and height (the last two in
// right and bottom). fpNormal and an empty rectangle without a form window.
int GetFormPlacement(classlib::TForm* form, RECT& normalBounds);
// Shows the form in the state and, when the bounds have a positive width and height, moves
// its normal bounds there (left, top, width, height as above). Nothing without a form window.
void SetFormPlacement(classlib::TForm* form, int state, const RECT& normalBounds);
// The taskbar's edge (ABE_*), bounds and state (ABS_* bits); false when there is no taskbar
// or its position is not available.
bool GetTaskbarInfo(UINT& state, UINT& edge, RECT& bounds);

}  // namespace ui
