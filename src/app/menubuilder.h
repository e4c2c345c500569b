// Plain popup menus built from the menu table: every item runs, and shows the state of, its
// action of the main window's action list.
//
// Main thread only.
#pragma once

#include <string>

namespace classlib {
class TPopupMenu;
}

namespace app {

class TMainActionList;

// Appends the items of the table's menu `name` to `menu`: actions as items linked to their
// action, separators as lines, linked submenus as submenus of their own items. Generated
// entries are left out. Nothing for a name the table does not know.
void BuildPopupMenu(classlib::TPopupMenu& menu, const std::wstring& name, TMainActionList& actions);

}  // namespace app
