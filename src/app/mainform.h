// TMainForm: the multiple-document frame of the program, the one form created at start.
//
// It owns the undo provider, the action list and the mouse-gesture recogniser, reads its
// options, shortcut and gesture tables and its position from the settings folder when it
// is made, takes command lines handed over by later starts, opens the first registry
// windows once the message loop runs, and saves its position and undo list when it
// closes: a save that fails is reported and the window closes all the same.
//
// Registry windows, tab files and the terms-of-use dialog are reached through the
// handlers below; a handler that is not set does nothing.
//
// Main thread only.
#pragma once

#include "app/actionstates.h"
#include "app/htmlhelp.h"
#include "app/mainactions.h"
#include "app/mainoptions.h"
#include "controls/wide/wideforms.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace classlib {
class TTimer;
}
namespace undo {
class TVxRegClipUndoProvider;
}
namespace widgets {
class TVxMouseGestures;
}

namespace app {

class TMainForm : public wide::TWideForm {
public:
    // `params`: the parameters of the command line this process was started with.
    TMainForm(classlib::TComponent* owner, std::vector<std::wstring> params, TStartupOptions startup);
    ~TMainForm() override;

    undo::TVxRegClipUndoProvider& UndoProvider() const { return *FUndoProvider; }
    TMainActionList& Actions() const { return *FActions; }
    const TMainOptions& Options() const { return FOptions; }

    // Opens one registry window for a full key path (empty: the computer node).
    std::function<void(const std::wstring& path)> OnOpenWindow;
    // Restores the registry windows of a tab file / saves the open ones to it.
    std::function<void(const std::wstring& fileName)> OnLoadTabs;
    std::function<bool(const std::wstring& fileName)> OnSaveTabs;
    // Shows the terms of use (modal).
    std::function<void()> OnShowLicense;
    // The active registry window as the action states see it; none without one.
    std::function<std::optional<TRegWindowState>()> OnDescribeRegistryWindow;

    // Re-reads the options of "setting.db" and the shortcuts of "HotKey.db" (at creation
    // and after the settings dialog).
    void LoadSettings();

protected:
    void Dispatch(classlib::TMessage& m) override;

private:
    void StartUpTimerTimer();
    void ApplicationIdle();
    void WMCopyData(classlib::TMessage& m);
    void LoadLayout();
    void SetUpGestures();
    void FormClose();
    bool SaveLayout();

    std::vector<std::wstring> FParams;
    TStartupOptions FStartup;
    TMainOptions FOptions;
    undo::TVxRegClipUndoProvider* FUndoProvider = nullptr;
    TMainActionList* FActions = nullptr;
    widgets::TVxMouseGestures* FGestures = nullptr;
    classlib::TTimer* FStartUpTimer = nullptr;
    TActionStates FStates;
    std::unique_ptr<THtmlHelpSession> FHelp;
    bool FClosed = false;
};

}  // namespace app
