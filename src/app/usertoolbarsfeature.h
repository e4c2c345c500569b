// The toolbars the user makes, and the main toolbar and the main menu as the user changed
// them: restored from "Settings\CustomToolBar" while the main window is made, before its
// layout file is read (so each user toolbar takes its place from "ToolBar.db" as the fixed
// bars do), and edited in the customisation dialog of "ツールバーのカスタマイズ..."
// (aacCustomToolbar), which saves them when it closes (tools/uicustomize.h).
//
// Files that do not load are skipped: the bars they would have changed stay as built, the
// others load, and the problems wait for LoadNotice, which the main window shows once after
// it has shown itself. Their sections stay in the index when the toolbars are saved again.
//
// The toolbars belong to the main window (their names are its components' names, which the
// files and "ToolBar.db" use) and go with it. Made by the main window after its chrome (see
// featurehost.h). Main thread only.
#pragma once

#include "app/featurehost.h"
#include "tools/uicustomize_files.h"

#include <string>
#include <vector>

namespace classlib {
class TPopupMenu;
}
namespace toolbar {
class TBarDock;
}
namespace ui {
class TUiSubmenuItem;
class TUiToolbar;
}

namespace app {

// What the user toolbars ask of the main window.
class TUserToolbarsHost {
public:
    virtual ~TUserToolbarsHost() = default;
    // The hidden toolbar that holds the menu bar's submenus: never listed, loaded or saved.
    virtual ui::TUiToolbar* MenuBarHolder() = 0;
    // The main toolbar and the main menu: edited and saved, but they keep their captions and
    // cannot be deleted.
    virtual std::vector<ui::TUiToolbar*> FixedToolbars() = 0;
    // Where new toolbars dock, and the context menu they get.
    virtual toolbar::TBarDock* NewToolbarDock() = 0;
    virtual classlib::TPopupMenu* ToolbarPopupMenu() = 0;
    // The submenus the dialog offers for placing, in order.
    virtual std::vector<ui::TUiSubmenuItem*> OfferedSubmenus() = 0;
};

class TUserToolbarsFeature {
public:
    // Binds aacCustomToolbar and restores the toolbars of `folder` (the folder
    // "Settings\CustomToolBar"; missing: nothing to restore).
    TUserToolbarsFeature(const TFeatureContext& context, TUserToolbarsHost& host, std::wstring folder);
    ~TUserToolbarsFeature();

    // What to tell the user about toolbar files that did not load; empty when all did.
    std::wstring LoadNotice() const;
    // aacCustomToolbar: the customisation dialog, modal.
    void Customize();

private:
    tools::TUserToolbarPlace Place() const;

    const TFeatureContext FContext;
    TUserToolbarsHost& FHost;
    const std::wstring FFolder;
    const tools::TToolbarReferences FReferences;
    std::vector<std::wstring> FProblems;
    std::vector<tools::TKeptToolbar> FKept;
};

}  // namespace app
