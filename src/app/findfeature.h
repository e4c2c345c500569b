// The main window's searches: the search commands open the search dialog and start its
// search in the background; the result page of the tool panel shows the hits as they come,
// with the matched text highlighted, and the search's state below them; from there the user
// jumps to a hit, takes hits out of the list, or deletes or replaces everything found, with
// undo records for every change.
//
// The search itself (thread, hit list, stale-message filter, debounced row count) is a
// search::TFindSession; the pane's cells are a search::TFindResultPane; the bulk operations
// are search::DeleteHits and the bulk replace dialog. This feature wires them to the window.
// The result page, its menu and the session are made the first time the page is shown (the
// first search shows it); until then no search has run and there is nothing to change.
//
// Made by the main window (see featurehost.h), which routes the search thread's messages to
// HandleMessage. Main thread only.
#pragma once

#include "app/featurehost.h"
#include "app/mainoptions.h"
#include "app/toolpanel.h"
#include "classlib/messages.h"

#include <memory>
#include <string>

namespace gridtree {
class TGridStringTree;
}
namespace searchui {
class IFindDialogHost;
}
namespace ui {
class TUiLabel;
class TUiPanel;
class TUiPopupMenu;
}
namespace undo {
class TVxRegClipUndoProvider;
}
namespace views {
class TVxRegTreeView;
}

namespace app {

class TCommandHost;

// What the searches ask of the main window.
class TFindFeatureHost {
public:
    virtual ~TFindFeatureHost() = default;
    // The key tree of the active registry window (null without one) and whether its tab is
    // locked.
    virtual views::TVxRegTreeView* ActiveKeyTree() = 0;
    virtual bool ActiveWindowLocked() = 0;
    // Every registry window re-read (after a bulk operation).
    virtual void RefreshAllWindows() = 0;
    // Questions and messages, as the commands ask them.
    virtual TCommandHost& Questions() = 0;
    // The options as they stand ("SetNoMessage" switches the bulk operations' questions off).
    virtual const TMainOptions& Options() = 0;
    virtual undo::TVxRegClipUndoProvider& UndoProvider() = 0;
};

class TFindFeature final : public TToolPage {
public:
    TFindFeature(const TFeatureContext& context, TToolPanel& panel, TFindFeatureHost& host);
    ~TFindFeature() override;

    // Opens the search dialog (with these start keys, one full key path per line, when not
    // empty) and on OK starts its search, stopping one that runs.
    void StartFind(const std::wstring& startKeys);
    // The search thread's messages (posted to the main window); false for any other message.
    bool HandleMessage(classlib::TMessage& m);
    // Hits exist and no search runs: the bulk operations may run.
    bool HitsChangeable() const;

    void CreateControls(classlib::TWinControl& page) override;

private:
    struct TState;
    void DeleteAll();
    void ReplaceAll();

    const TFeatureContext FContext;
    TToolPanel& FPanel;
    TFindFeatureHost& FHost;
    // The search dialogs' host (the dialogs read and write the settings through it).
    std::unique_ptr<searchui::IFindDialogHost> FDialogHost;
    ui::TUiPanel* FStateBar = nullptr;
    ui::TUiLabel* FStateLabel = nullptr;
    gridtree::TGridStringTree* FResults = nullptr;
    ui::TUiPopupMenu* FMenu = nullptr;
    // The session and the pane bound to it, made with the result page; it goes (stopping a
    // search that runs) before the page's controls do.
    std::unique_ptr<TState> FState;
};

}  // namespace app
