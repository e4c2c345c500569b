// What the program does once its message loop runs, and what it saves when it closes,
// as plans the main window carries out.
//
// Pure functions, and RunCloseSteps (main thread).
#pragma once

#include "app/mainoptions.h"

#include <functional>
#include <string>
#include <vector>

namespace app {

// The registry windows to open at start: one per path (an empty path is the computer
// node), or the tabs of a tab file.
struct TStartupPlan {
    std::vector<std::wstring> Paths;
    bool LoadTabs = false;
    std::wstring TabFile;
};

// With parameters, or without the option to restore tabs: "SetConnectCMD" on gives one
// window for the parameters joined by blanks, off one window per parameter; no parameter
// gives one empty window unless "SetNoCreateWnd". Otherwise the tabs of the chosen tab
// file ("SetLoadTabSettingFilePath" when "SetLoadTabSettingFile" is on and the file
// exists, else `defaultTabFile`).
TStartupPlan PlanStartupWindows(const std::vector<std::wstring>& params, const TStartupOptions& startup,
                                const TMainOptions& options, const std::wstring& defaultTabFile,
                                const std::function<bool(const std::wstring&)>& fileExists);

// Tabs are saved at close when they are restored at start and the program was started
// without parameters.
bool SavesTabsAtClose(const TMainOptions& options, size_t paramCount);

// One file saved when the main window closes: Save answers false or raises when it failed.
struct TCloseStep {
    std::wstring FileName;
    std::function<bool()> Save;
};
// Runs every step, also after one failed, and returns the failures as lines naming the
// file (and the reason when one was raised). Closing goes on whatever this returns.
std::vector<std::wstring> RunCloseSteps(const std::vector<TCloseStep>& steps);
// The text that reports the failed saves to the user.
std::wstring CloseFailureText(const std::vector<std::wstring>& failures);

// A settings file that did not load whole: it stays on disk as it is, so the close does not
// save over it, and the user is told so once, when the program starts.
struct TKeptFile {
    std::wstring FileName;
    std::wstring NotSaved;  // what the close leaves unsaved, in the user's words
};
// The text that tells it: each file's name with what will not be saved.
std::wstring KeptFilesText(const std::vector<TKeptFile>& files);
// The close steps less those of kept files (compared ignoring case).
std::vector<TCloseStep> WithoutKeptFiles(std::vector<TCloseStep> steps, const std::vector<TKeptFile>& kept);

}  // namespace app
