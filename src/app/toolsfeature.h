// The Tool menu's commands that start programs beside this one: for now the system's own
// registry editor ("Windows標準のレジストリエディタを起動...", F3), optionally opened at the key
// selected here. The feature binds its actions and reaches the main window only through
// TToolsHost.
//
// Main thread only.
#pragma once

#include "app/featurehost.h"

#include <string>

namespace app {

// What the tool commands need from the main window.
class TToolsHost {
public:
    virtual ~TToolsHost() = default;
    // The full path of the key selected in the active registry window; empty without a
    // registry window or with the computer node selected.
    virtual std::wstring SelectedKeyPath() = 0;
    // "SetWinReg": the system editor is to open at the selected key.
    virtual bool SystemEditorFollowsKey() = 0;
    // Starts a program through the shell's "open", without waiting for it.
    virtual void OpenWithShell(const std::wstring& file) = 0;
};

// The system registry editor's key below HKEY_CURRENT_USER and the value naming the key it
// opens at.
inline constexpr const wchar_t* SystemEditorKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
inline constexpr const wchar_t* SystemEditorLastKey = L"LastKey";

// Sets "LastKey" to `fullPath` (REG_SZ, with its terminating NUL), the form in which the
// system editor opens at that key. Only an existing key is written: false when it does not
// open or the write fails.
bool WriteRegeditLastKey(const std::wstring& fullPath);

class TToolsFeature {
public:
    // Binds the feature's actions of the context's action list to it; `host` outlives it.
    TToolsFeature(const TFeatureContext& context, TToolsHost& host);

    // aacWinReg: with "SetWinReg" on and a key selected, "LastKey" names that key first;
    // then the system editor starts, whatever the write did.
    void StartSystemEditor();

private:
    TToolsHost& FHost;
};

}  // namespace app
