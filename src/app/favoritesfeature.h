// The favorites in the main window: the panel "お気に入り" with the favorites tree, the
// entries of the menu "お気に入り(&O)" made from "Favorite.db" each time it opens, running a
// favorite (a double click on the panel, a click in the menu), the commands that open the
// favorites manager and add the current key or its script through it, and key favorites made
// by dropping a registry window's tab, a key or a value on the panel.
//
// Running a favorite: a key goes to its path in the active registry window (a path ending in
// a value name selects that value; without a window one opens); a script runs through the
// system registry editor after a question (none with "SetNoAllMessage"), from a temporary
// ".reg" file that is deleted whatever happens, then every window is read again and the jump
// key shown; a script that could not run is told and shows nothing; a stored script that is
// not whole is neither run nor edited; a file or address opens with the system shell;
// a folder does nothing.
//
// The panel ("FavoriteDock", owned by the main window so the layout file and the view command
// find it by name) starts docked at the bottom beside the tool panel, hidden; its tree
// ("FavoriteTree") is made and read from the file the first time the panel is shown. The menu
// reads the file as it opens and makes the items of one level at a time: a folder's items
// when the folder opens. The tree, the menu and the manager read the file through one
// favorites::TFavoritesFile, so a damaged file is told once and not written over without the
// user's yes.
//
// Made by the main window (see featurehost.h). Main thread only.
#pragma once

#include "app/featurehost.h"
#include "app/mainoptions.h"
#include "favorites/favorites.h"
#include "registry/regrecords.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace classlib {
class TComponent;
}
namespace toolbar {
class TBarCustomItem;
class TBarDock;
}
namespace ui {
class TUiDockablePanel;
}

namespace favorites {
class TFavoriteManagerModel;
struct TFavoriteManagerContext;
}

namespace app {

class TCommandHost;

// A key, or a value, that a drag onto the panel would keep: its caption and full path.
struct TFavoriteKeyProposal {
    std::wstring Caption;
    std::wstring Path;
};

// What the favorites ask of the main window.
class TFavoritesHost {
public:
    virtual ~TFavoritesHost() = default;
    // The dock the panel starts on (the bottom one it shares with the tool panel).
    virtual toolbar::TBarDock* PanelDock() = 0;
    // The menu bar's submenu "お気に入り(&O)" (its fixed items carry the tag 0); null without.
    virtual toolbar::TBarCustomItem* FavoritesMenu() = 0;
    // The active registry window's selected key; none without one.
    virtual std::optional<registry::TVxRegKeyClass> SelectedKey() = 0;
    // Goes to a key or value path in the active registry window, or opens a window on it.
    virtual void JumpTo(const std::wstring& path) = 0;
    virtual void RefreshAllWindows() = 0;
    // Questions and messages, as the commands ask them.
    virtual TCommandHost& Questions() = 0;
    virtual const TMainOptions& Options() = 0;
    // The status bar's hint.
    virtual void ShowHint(const std::wstring& text) = 0;
    // Imports a registry script with the system registry editor and waits for it, the windows
    // refusing input meanwhile; false when the editor could not run (or runs already).
    virtual bool ImportScript(const std::wstring& fileName) = 0;
    // Opens a file or an address with the system shell.
    virtual void OpenWithShell(const std::wstring& target) = 0;
    // What a drag from the registry windows' tab strip offers (the active window's key);
    // none for any other source.
    virtual std::optional<TFavoriteKeyProposal> TabStripKey(classlib::TComponent* source) = 0;
};

class TFavoritesFeature {
public:
    // `fileName`: "Favorite.db".
    TFavoritesFeature(const TFeatureContext& context, TFavoritesHost& host, std::wstring fileName);
    ~TFavoritesFeature();
    TFavoritesFeature(const TFavoritesFeature&) = delete;
    TFavoritesFeature& operator=(const TFavoritesFeature&) = delete;

    // Runs a favorite (rules at the top).
    void Execute(const favorites::TVxRegFavoriteObj& favorite);
    // Reads the file into the panel's tree again (when the tree has been made).
    void Reload();
    // The colour and font options (at start and after the settings dialog).
    void ApplyOptions();

    // The menu's entries as it opens: made here from the file, replacing those of the last
    // opening (the submenu's OnPopup).
    void FillMenu();

    ui::TUiDockablePanel* Panel() const { return FPanel; }
    // The panel's tree; null until the panel has been shown.
    favorites::TFavoritesTreeView* Tree() const { return FTree; }

    // What a drag from `source` would keep: a key tree's selected key, a value list's
    // selected value, the tab strip's active window; none for anything else.
    std::optional<TFavoriteKeyProposal> Proposal(classlib::TComponent* source);

private:
    class TQuestions;
    void CreateTree();
    void TreeDragOver(classlib::TComponent* source, int x, int y, bool& accept);
    void TreeDragDrop(classlib::TComponent* source, int x, int y);
    void RunScript(const favorites::TVxRegFavoriteObj& favorite);
    // The manager shown modally; the current key, or its script, added through it.
    void ManageFavorites();
    void AddCurrentKey(bool asScript);
    favorites::TFavoriteManagerContext ManagerContext();
    // The generated entries of the menu: the items of entries [first, end) of one level.
    void AddMenuItems(toolbar::TBarCustomItem& parent, size_t first, size_t end);
    void RunMenuEntry(size_t index);
    void FreeMenuItems();

    const TFeatureContext FContext;
    TFavoritesHost& FHost;
    std::unique_ptr<TQuestions> FQuestions;
    std::unique_ptr<favorites::TFavoritesFile> FFile;
    ui::TUiDockablePanel* FPanel = nullptr;
    favorites::TFavoritesTreeView* FTree = nullptr;
    std::unique_ptr<favorites::TFavoriteManagerModel> FModel;
    // The entries of the menu's last opening; a generated item's tag is its index + 1.
    std::vector<favorites::TFavoriteEntry> FMenuEntries;
    std::vector<size_t> FMenuEnds;
};

// A caption as a menu shows it literally ("&" doubled: no accelerator).
std::wstring FavoriteMenuCaption(const std::wstring& caption);
// The question before a script runs.
std::wstring RunFavoriteScriptQuestion(const std::wstring& caption);

}  // namespace app
