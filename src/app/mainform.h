// TMainForm: the multiple-document frame of the program, the one form created at start.
//
// It owns the undo provider, the action list and the mouse-gesture recogniser, reads its
// options, shortcut and gesture tables and its position from the settings folder when it
// is made, takes command lines handed over by later starts, opens the first registry
// windows once the message loop runs, and saves its position and undo list when it
// closes: a save that fails is reported and the window closes all the same.
//
// Registry windows (TRegEdForm) are MDI children, one tab of the tab strip each, whose
// object is the window. The window commands, the value editors and undo run as actions.
// Tab files and the terms-of-use dialog are reached through the handlers below; a handler
// that is not set does nothing.
//
// The searches, the tool panel's pages and the address history are features of their own
// (featurehost.h): the window makes them, answers their hosts and routes their messages.
//
// Main thread only.
#pragma once

#include "app/actionstates.h"
#include "app/commandhost.h"
#include "app/htmlhelp.h"
#include "app/mainactions.h"
#include "app/mainoptions.h"
#include "app/startup.h"
#include "controls/wide/wideforms.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace classlib {
class TImageList;
}
namespace toolbar {
class TBarCustomItem;

}
namespace settings {
class TVxMemIniFile;
}
namespace themed {
class TThmSwitcher;
class TThmToolWindow;
}
namespace ui {
class TUiButton;
class TUiComboBox;
class TUiDock;
class TUiLabelItem;
class TUiMultiDock;
class TUiPopupMenu;
class TUiStatusBar;
class TUiToolbar;
}
namespace undo {
class TVxRegClipUndoProvider;
}
namespace widgets {
class TVxMouseGestures;
class TVxVSTab;
}

namespace app {

class TRegEdForm;

class TMainForm : public wide::TWideForm {
public:
    // `params`: the parameters of the command line this process was started with.
    TMainForm(classlib::TComponent* owner, std::vector<std::wstring> params, TStartupOptions startup);
    ~TMainForm() override;

    undo::TVxRegClipUndoProvider& UndoProvider() const { return *FUndoProvider; }
    TMainActionList& Actions() const { return *FActions; }
    const TMainOptions& Options() const { return FOptions; }

    // The tab strip of the registry windows.
    widgets::TVxVSTab* VxVSTab = nullptr;

    // --- registry windows
    // Makes a registry window for a full key path (empty: the computer node), gives it a
    // tab (also when the jump to the path failed) and makes that tab active.
    TRegEdForm* OpenWindow(const std::wstring& path);
    // The active MDI child as a registry window; null without one.
    TRegEdForm* ActiveRegEdForm();
    // The registry windows in MDI order.
    std::vector<TRegEdForm*> RegistryWindows();
    // Re-reads the key trees of every registry window (a locked one unlocked for the time
    // of its refresh), then shows again the window that was active.
    void RefreshAllWindows();
    // Bracket around a change of the active window's tree: the lock is lifted and put back.
    void UnlockActiveWindow();
    void RelockActiveWindow();
    // The colour and font options pushed into a registry window's views.
    void ApplyColors(TRegEdForm& window);
    void ApplyFonts(TRegEdForm& window);
    // What a registry window tells the main window.
    void RegistryWindowChanged(TRegEdForm* window);
    void RegistryWindowActivated(TRegEdForm* window);
    void RegistryWindowClosed(TRegEdForm* window);
    void RegistryWindowLockChanged(TRegEdForm* window);
    // Runs an action when it is enabled after its update (a double click on a value runs
    // the edit command).
    bool RunAction(TActionId id);

    // Opens one registry window for a full key path (empty: the computer node); OpenWindow
    // unless replaced.
    std::function<void(const std::wstring& path)> OnOpenWindow;
    // Restores the registry windows of a tab file / saves the open ones to it.
    std::function<void(const std::wstring& fileName)> OnLoadTabs;
    std::function<bool(const std::wstring& fileName)> OnSaveTabs;
    // Shows the terms of use (modal).
    std::function<void()> OnShowLicense;
    // The active registry window as the action states see it; none without one. Describes
    // ActiveRegEdForm unless replaced.
    std::function<std::optional<TRegWindowState>()> OnDescribeRegistryWindow;

    // Re-reads the options of "setting.db" and the shortcuts of "HotKey.db" (at creation
    // and after the settings dialog).
    void LoadSettings();

protected:
    void Dispatch(classlib::TMessage& m) override;

private:
    void StartUpTimerTimer();
    // The action states for the active registry window, applied to the actions (at idle and
    // before a shortcut runs).
    void UpdateActionStates();
    void WMCopyData(classlib::TMessage& m);
    // Opens the first window of a hand-over that waits and queues the next.
    void OpenPendingWindow();
    void LoadLayout();
    void SetUpGestures();
    void FormClose();
    bool SaveLayout();
    void CreateTabStrip();
    void BindActions();
    std::optional<TRegWindowState> DescribeActiveWindow();
    void CloseWindows(const TRegEdForm* spare);
    void TileWindows(UINT how);
    TRegEdForm* WindowOfTab(int index);
    // Value commands: the editor of the selected value, a new value of a type.
    void EditValue();
    void NewValue(DWORD type);

    std::vector<std::wstring> FParams;
    std::deque<std::wstring> FPendingPaths;
    TStartupOptions FStartup;
    TMainOptions FOptions;
    undo::TVxRegClipUndoProvider* FUndoProvider = nullptr;
    TMainActionList* FActions = nullptr;
    widgets::TVxMouseGestures* FGestures = nullptr;
    themed::TThmSwitcher* FThemeSwitcher = nullptr;
    TActionStates FStates;
    std::unique_ptr<THtmlHelpSession> FHelp;
    // Settings files that did not load whole: told at start, not saved over at close.
    std::vector<TKeptFile> FKeptFiles;
    bool FClosed = false;
    bool FSavedTabLock = false;

    // --- Key, value and generic commands, tab files (mainform_commands.cpp, mainform_tabs.cpp)
public:
    // Shows the tool panel turned to `page` (0 search, 1 undo, 2 clipboard, 3 history).
    void ShowToolPage(int page);
    // Writes the open tabs to a tab file / closes every window and opens those of a tab file.
    bool SaveTabs(const std::wstring& fileName);
    void LoadTabs(const std::wstring& fileName);

private:
    // Makes the tool panel, binds the commands and the tab strip's events (from the
    // constructor).
    void CreateCommandsAndTools();
    void BindCommands();
    void CreateTabMenu();
    // The tab strip's menu, made the first time it opens.
    ui::TUiPopupMenu* TabMenu();
    TCommandContext CommandContext();
    // Runs a command; a progress window it opened is closed afterwards whatever happens.
    void RunCommand(const std::function<void()>& command);
    // The commands' questions, input, refreshes and progress through this window.
    std::unique_ptr<TCommandHost> FCommandHost;
    ui::TUiPopupMenu* FTabMenu = nullptr;

    // --- Features: the tool panel, the searches, the panes, the history, the favorites
    // (mainform_features.cpp)
    struct TFeatures;
    struct TFeaturesDeleter {
        void operator()(TFeatures* features) const;
    };
    // The tool panel (from CreateCommandsAndTools: its dock goes below the tab strip) and
    // the features (after the chrome: the history needs the address box).
    void CreateToolPanel();
    void CreateFeatures();
    // The features' messages (the search thread's); false for any other message.
    bool FeatureMessage(classlib::TMessage& m);
    // Hits of the last search exist and no search runs.
    bool FindHitsChangeable() const;
    // Puts a path at the top of the address history and the lists that show it; an empty
    // path adds nothing.
    void AddHistory(const std::wstring& path);
    // What the features have to tell once the window shows (files that did not load); empty
    // for nothing.
    std::wstring FeatureStartNotice() const;
    // The features follow the options read again.
    void FeaturesOptionsChanged();
    std::unique_ptr<TFeatures, TFeaturesDeleter> FFeatures;

protected:
    // The features go first, while the controls they made and the window still exist.
    void TearDown() override;

    // --- chrome: docks, menu bar, toolbars, address bar, status bar (mainform_chrome.cpp)
public:
    ui::TUiDock* MainDock = nullptr;
    ui::TUiMultiDock *UiMultiDock2 = nullptr, *UiMultiDock3 = nullptr, *UiMultiDock4 = nullptr;
    ui::TUiDock *UiDock1 = nullptr, *UiDock2 = nullptr, *UiDock3 = nullptr;
    ui::TUiToolbar* ToolMenuHide = nullptr;  // holds the menu bar's submenus; never shown
    ui::TUiToolbar* ToolMenu = nullptr;      // the menu bar
    ui::TUiToolbar* MainToolBar = nullptr;
    themed::TThmToolWindow* AddrToolbar = nullptr;
    ui::TUiComboBox* AddressBox = nullptr;
    ui::TUiButton* RegMoveButton = nullptr;
    ui::TUiButton* UiButton1 = nullptr;
    ui::TUiPopupMenu* ToolMenuPopup = nullptr;
    ui::TUiStatusBar* UiStatusBar2 = nullptr;
    ui::TUiLabelItem* HintLabel = nullptr;
    ui::TUiLabelItem* GestureLabel = nullptr;

private:
    // Makes the docks, bars, menus and status bar, loads the history and the bars' layout.
    void CreateChrome();
    // Writes the bars' places and visibility into the layout file "ToolBar.db" (SaveLayout
    // adds the window's own section and writes the file).
    void WriteChromeLayout(settings::TVxMemIniFile& file);
    // Brings the address box (the active window's path) and the view commands' checks up to
    // date; true while the address box has the focus.
    bool UpdateChromeStates();
    void RegMoveButtonClick();
    void UiButton1Click();
    void ToggleView(TActionId id);
    // The Window menu as it opens: one item per registry window, the active one checked.
    void ListWindowsInMenu(toolbar::TBarCustomItem& menu);
    toolbar::TBarCustomItem* MenuNewValue = nullptr;
    std::wstring FShownAddress;

    // --- pictures (mainform_pictures.cpp), binary value editing (mainform_values.cpp)
public:
    // The commands' pictures: the action list, menus, toolbars, popup menus, the tab menu
    // and the favorites draw from it.
    classlib::TImageList* ToolBarImages() const { return FToolBarImages; }
    // The registry objects: 0 binary value, 1 string value, 2 key, 3 value name, 4 undo
    // record, 5 clipped key, 6 history entry (the value list, the panes).
    classlib::TImageList* RegObjectImages() const { return FRegObjectImages; }
    // The key tree's nodes: computer 0/1, root key 2/3, key 4/5 (closed/open).
    classlib::TImageList* RegTreeImages() const { return FRegTreeImages; }
    // Gives a registry window its pictures: the key tree's nodes, the value list's rows and
    // the commands' pictures in its popup menus.
    void ApplyPictures(TRegEdForm& window);

private:
    // Loads the picture strips (first thing: whatever is made later draws from them).
    void LoadPictures();
    // Hands the strips to the action list, the bars, their menu and the tab strip.
    void CreatePictures();
    // The value's raw bytes in the binary editor, whatever its type; the type is kept.
    void EditValueAsBinary();
    // A new value of a type chosen in the binary editor (REG_BINARY at first).
    void NewCustomValue();
    classlib::TImageList* FToolBarImages = nullptr;
    classlib::TImageList* FRegObjectImages = nullptr;
    classlib::TImageList* FRegTreeImages = nullptr;
    classlib::TImageList* FTabImages = nullptr;
};

}  // namespace app
