// The tool panel at the bottom of the main window: a dockable panel ("CustomTools") on a
// multi-dock of its own, hidden at start, whose tab strip along its bottom edge turns four
// pages (ToolPageCaptions: search results, undo list, the two clipboards, address history);
// the panel takes the caption of its page.
//
// Pages are objects of the features that fill them (TToolPage). What costs is made late: at
// start only the dock and the hidden panel exist; the tab strip and the page area are made
// the first time the panel is shown (by the view command, by a command that shows a page, or
// when the layout file shows it), and a page's controls the first time that page is shown.
//
// Lifetime: made by the main window before its features, destroyed after them. A feature
// sets its page in its constructor and takes it out (SetPage(index, nullptr)) in its
// destructor, after deleting the page's controls. The panel's own controls are owned by the
// main window and deleted by the panel.
//
// Main thread only.
#pragma once

#include "app/featurehost.h"

#include <array>

#include "classlib/control.h"

namespace classlib {
class TComponent;
}
namespace ui {
class TUiDockablePanel;
class TUiMultiDock;
class TUiPanel;
}
namespace widgets {
class TVxVSTab;
}

namespace app {

// The number of pages and their indexes.
constexpr int ToolPageCount = 4;
constexpr int FindToolPage = 0;
constexpr int UndoToolPage = 1;
// (ClipboardToolPage = 2, in commandhost.h: the commands show it.)
constexpr int HistoryToolPage = 3;

// A page or part of a page: a borderless panel of `owner` filling what `parent` leaves on
// the side `align`.
ui::TUiPanel* NewToolArea(classlib::TComponent* owner, classlib::TWinControl* parent, classlib::TAlign align);

// One page of the tool panel.
class TToolPage {
public:
    virtual ~TToolPage() = default;
    // Makes the page's controls on `page` (a borderless panel filling the page area), once,
    // the first time the page is shown.
    virtual void CreateControls(classlib::TWinControl& page) = 0;
    // The panel's width changed (only after CreateControls).
    virtual void PanelResized(int /*panelWidth*/) {}
};

class TToolPanel {
public:
    explicit TToolPanel(const TFeatureContext& context);
    ~TToolPanel();
    TToolPanel(const TToolPanel&) = delete;
    TToolPanel& operator=(const TToolPanel&) = delete;

    // Sets the object of page `index` (null takes it out); the object makes its controls the
    // next time the page is shown, at once when it is the page shown.
    void SetPage(int index, TToolPage* page);
    // Shows the panel turned to page `index` (0 search, 1 undo, 2 clipboard, 3 history);
    // the registry windows' area shrinks above it.
    void ShowPage(int index);
    // The page the tab strip is turned to.
    int ActivePage() const { return FActivePage; }
    // The panel's dock ("CustomToolDock", at the bottom), which other panels may share.
    ui::TUiMultiDock* Dock() const { return FDock; }

private:
    // The tab strip and the page area, the first time the panel is shown.
    void CreateFrame();
    void PageChanged();
    void ShowActivePage();

    const TFeatureContext FContext;
    ui::TUiMultiDock* FDock = nullptr;
    ui::TUiDockablePanel* FPanel = nullptr;
    widgets::TVxVSTab* FTabs = nullptr;
    ui::TUiPanel* FNoteBook = nullptr;
    std::array<ui::TUiPanel*, ToolPageCount> FPageAreas{};
    std::array<TToolPage*, ToolPageCount> FPages{};
    std::array<bool, ToolPageCount> FCreated{};
    int FActivePage = 0;
};

}  // namespace app
