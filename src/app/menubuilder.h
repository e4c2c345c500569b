// Themed menus and toolbars built from the menu table: every item runs, and shows the state
// of, its action of the main window's action list.
//
// Main thread only.
#pragma once

#include <functional>
#include <string>

namespace classlib {
class TComponent;
}
namespace toolbar {
class TBarCustomItem;
}

namespace app {

class TMainActionList;

// The item a linked submenu entry should point to (its items live there); null: the
// entry gets items of its own.
using TSubmenuLink = std::function<toolbar::TBarCustomItem*(const std::wstring& name)>;

// Appends the items of the table's menu `name` to `parent`, owned by `owner`: actions as
// items linked to their action, separators as lines (gaps on toolbars), linked submenus as
// submenu items of their own caption. Generated entries are left out. Nothing for a name
// the table does not know.
void BuildBarItems(toolbar::TBarCustomItem& parent, classlib::TComponent* owner, const std::wstring& name,
                   TMainActionList& actions, const TSubmenuLink& link = {});

}  // namespace app
