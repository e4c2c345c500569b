// The tool panel's undo page and clipboard page (the key and the value clipboard side by
// side), and the parts every pane of the panel is built from. The panes hold no data of
// their own: row i shows item i of the undo provider's list and follows its change events;
// their popup menus and the commands bound here run on the selected rows.
//
// Each page is made by the main window (see featurehost.h) and sets itself as its page of
// the tool panel; its controls come the first time the page is shown. A command on the rows
// of a page not made yet finds no row selected.
//
// Main thread only.
#pragma once

#include "app/actiontable.h"
#include "app/commandhost.h"
#include "app/featurehost.h"
#include "app/toolpanel.h"
#include "registry/regrecords.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace gridtree {
class TGridStringTree;
}
namespace ui {
class TUiPanel;
class TUiPopupMenu;
}
namespace undo {
class TVxRegClipUndoProvider;
}

namespace app {

// What the undo and clipboard pages ask of the main window.
class TToolPaneHost {
public:
    virtual ~TToolPaneHost() = default;
    // The commands' questions, refreshes and options, and the undo provider.
    virtual TCommandContext CommandContext() = 0;
    // Runs a command as every command runs (a progress window it opened goes afterwards).
    virtual void RunCommand(const std::function<void()>& command) = 0;
    // The key selected in the active registry window; none without a window or a key.
    virtual std::optional<registry::TVxRegKeyClass> SelectedKey() = 0;
};

// --- Parts of the panes ------------------------------------------------------------------

// A pane of rows on `parent`: full-row and multiple selection, a right click selects, the
// headers shown, the registry-object pictures.
gridtree::TGridStringTree* NewPane(const TFeatureContext& context, classlib::TWinControl* parent,
                                   std::span<const wchar_t* const> headers);
// A popup menu of actions (null: a separator line) with the commands' pictures, opened by a
// right click on `pane` or the menu key. The pane asks for its menu, so a right click on a
// selected row keeps the other selected rows for the menu's commands.
ui::TUiPopupMenu* NewPanePopup(const TFeatureContext& context, gridtree::TGridStringTree& pane,
                               std::initializer_list<std::optional<TActionId>> items);
// The indexes of the selected rows of a pane, in row order; none for a pane not made yet.
std::vector<int> SelectedRows(gridtree::TGridStringTree* pane);
// Shows the row count of a list again (rows beyond it lose their selection); nothing for a
// pane not made yet.
void SetPaneRows(gridtree::TGridStringTree* pane, size_t count);

// --- Pages -------------------------------------------------------------------------------

// What the undo and clipboard pages share: the features' context, the panel they are pages
// of, and the undo provider whose lists they show.
class TProviderPage : public TToolPage {
protected:
    TProviderPage(const TFeatureContext& context, TToolPanel& panel, undo::TVxRegClipUndoProvider& provider)
        : FContext(context), FPanel(panel), FProvider(provider) {}
    const TFeatureContext FContext;
    TToolPanel& FPanel;
    undo::TVxRegClipUndoProvider& FProvider;
};

// Page 1: the undo list. Binds "アンドゥを実行", "選択アイテムまでのアンドゥを実行",
// "アンドゥリストのクリア" and "アンドゥアイテムの削除".
class TUndoPage final : public TProviderPage {
public:
    TUndoPage(const TFeatureContext& context, TToolPanel& panel, TToolPaneHost& host,
              undo::TVxRegClipUndoProvider& provider);
    ~TUndoPage() override;
    void CreateControls(classlib::TWinControl& page) override;

private:
    gridtree::TGridStringTree* FPane = nullptr;
    ui::TUiPopupMenu* FMenu = nullptr;
};

// Page 2: the key clipboard (left half) and the value clipboard. Binds pasting the selected
// entries into the selected key, and dropping and clearing entries.
class TClipboardPage final : public TProviderPage {
public:
    TClipboardPage(const TFeatureContext& context, TToolPanel& panel, TToolPaneHost& host,
                   undo::TVxRegClipUndoProvider& provider);
    ~TClipboardPage() override;
    void CreateControls(classlib::TWinControl& page) override;
    void PanelResized(int panelWidth) override;

private:
    ui::TUiPanel* FKeyArea = nullptr;
    ui::TUiPanel* FValueArea = nullptr;
    gridtree::TGridStringTree* FKeyPane = nullptr;
    gridtree::TGridStringTree* FValuePane = nullptr;
    ui::TUiPopupMenu* FKeyMenu = nullptr;
    ui::TUiPopupMenu* FValueMenu = nullptr;
};

}  // namespace app
