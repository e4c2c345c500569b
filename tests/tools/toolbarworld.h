// A stand-in for the main window as the toolbar files and the customisation dialog see it: a
// form named "MainForm" with a dock, the hidden menu-bar toolbar, the main menu and the main
// toolbar, a component that is no toolbar ("AddressBox"), commands in two categories and
// some without one, a submenu "MenuFavorite" with two items, images and a context menu.
#pragma once

#include "classlib/actions.h"
#include "classlib/form.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "tools/uicustomize_files.h"

#include <string>
#include <vector>

namespace tooltest {

class ToolbarWorld {
public:
    ToolbarWorld();
    ~ToolbarWorld();
    ToolbarWorld(const ToolbarWorld&) = delete;
    ToolbarWorld& operator=(const ToolbarWorld&) = delete;

    classlib::TForm* Form = nullptr;
    ui::TUiDock* Dock = nullptr;
    classlib::TActionList* Actions = nullptr;
    // "aacOne" ... "aacFour" (category "ファイル" for the first two, "編集" for the others),
    // and "aacHidden" without a category.
    std::vector<classlib::TAction*> Commands;
    classlib::TAction* Uncategorised = nullptr;
    ui::TUiSubmenuItem* Favorites = nullptr;
    ui::TUiToolbar* MenuHide = nullptr;  // "ToolMenuHide": holds the submenus, never listed
    ui::TUiToolbar* Menu = nullptr;      // "ToolMenu"
    ui::TUiToolbar* Main = nullptr;      // "MainToolBar"
    ui::TUiComboBox* AddressBox = nullptr;
    classlib::TImageList* Images = nullptr;
    ui::TUiPopupMenu* Popup = nullptr;
    tools::TToolbarReferences References;

    tools::TUserToolbarPlace Place() const { return {Form, Images, Dock, Popup}; }
    std::vector<const ui::TUiToolbar*> Excluded() const { return {MenuHide}; }
    // A user toolbar with the items named as Describe names them ("aacOne", "sub:MenuFavorite", "-").
    ui::TUiToolbar* UserToolbar(const std::wstring& name, const std::wstring& caption,
                                const std::vector<std::wstring>& items);
};

// The items of a toolbar, one text each: the command's name, "sub:" and the linked
// submenu's name, "-" for a separator, "item:" and the caption for anything else.
std::vector<std::wstring> Describe(const ui::TUiToolbar& toolbar);

}  // namespace tooltest
