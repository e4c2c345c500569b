// The commands of the File, Tool and Help menus that reach beyond the registry windows: hive
// files loaded below HKEY_LOCAL_MACHINE or HKEY_USERS and unloaded again, registry scripts
// imported through the system's registry editor, the export dialog, the permissions of a key in
// the system's security dialog, the system's own registry editor ("Windows標準のレジストリエディタ
// を起動...", F3, optionally opened at the key selected here), the help file, the hive-size
// tool, the about box and the terms of use (also shown once at the first start).
//
// The feature binds its actions and reaches the main window only through TToolsHost; its
// dialogs are owned by the context's form while they show.
//
// Main thread only.
#pragma once

#include "app/featurehost.h"
#include "app/mainoptions.h"
#include "registry/regrecords.h"

#include <optional>
#include <string>

namespace app {

class TCommandHost;

// What the tool commands need from the main window.
class TToolsHost {
public:
    virtual ~TToolsHost() = default;
    // The key selected in the active registry window; none without a registry window or with
    // the computer node selected.
    virtual std::optional<registry::TVxRegKeyClass> SelectedKey() = 0;
    // The full path of that key; empty without one.
    virtual std::wstring SelectedKeyPath() = 0;
    // "SetWinReg": the system editor is to open at the selected key.
    virtual bool SystemEditorFollowsKey() = 0;
    // Starts a program through the shell's "open", without waiting for it.
    virtual void OpenWithShell(const std::wstring& file) = 0;
    // Questions, input, messages and the refreshes of the registry windows.
    virtual TCommandHost& Questions() = 0;
    virtual const TMainOptions& Options() = 0;
    // The system's file dialog (open or save, asking before a file is replaced); true with
    // `fileName` set on OK.
    virtual bool ChooseFile(bool open, const std::wstring& filter, const std::wstring& defaultExt, int filterIndex,
                            std::wstring& fileName) = 0;
    // The hive bridges on the active window's key tree, its lock lifted meanwhile, the selected
    // key's parent read again afterwards; false when nothing changed.
    virtual bool LoadHive(const std::wstring& fileName, const std::wstring& subKeyName) = 0;
    virtual bool UnloadHive() = 0;
    // The script imported by the system registry editor, waited for with the windows painted;
    // false when the editor could not be started or another import still runs. The file stays.
    virtual bool ImportScript(const std::wstring& fileName) = 0;
    // The system's security dialog for a registry object ("CURRENT_USER\Software").
    virtual void EditSecurity(const std::wstring& pageTitle, const std::wstring& objectName) = 0;
    // The help file shown (its contents, or a topic "file::/page.html"); false without help.
    virtual bool ShowHelp(const std::wstring& file, bool contents) = 0;
};

// The system editor's key below HKEY_CURRENT_USER and the value naming the key it
// opens at.
inline constexpr const wchar_t* SystemEditorKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
inline constexpr const wchar_t* SystemEditorLastKey = L"LastKey";

// Sets "LastKey" to `fullPath` (REG_SZ, with its terminating NUL), the form in which the
// system editor opens at that key. Only an existing key is written: false when it does not
// open or the write fails.
bool WriteRegeditLastKey(const std::wstring& fullPath);

// The help file: "Wendlar.chm" beside the program.
std::wstring HelpFilePath();

// What the commands say when they refuse or fail.
std::wstring HiveNameRefusal(const std::wstring& name, bool exists);
std::wstring NotAScriptText(const std::wstring& fileName);
extern const wchar_t* const ImportFailedText;
std::wstring HiveLoadFailedText(const std::wstring& fileName);
std::wstring HiveUnloadFailedText(const std::wstring& keyName);
std::wstring UnloadQuestion(const std::wstring& keyName);

class TToolsFeature {
public:
    // Binds the feature's actions of the context's action list to it; `host` outlives it.
    TToolsFeature(const TFeatureContext& context, TToolsHost& host);

    // aacWinReg: with "SetWinReg" on and a key selected, "LastKey" names that key first;
    // then the system editor starts, whatever the write did.
    void StartSystemEditor();
    // aacLoadHive: a hive file, then the name of its key below the selected root; an empty
    // name, one with "\" or one that exists already is refused with a message.
    void LoadHive();
    // aacUnLoadHive: asks first (unless "SetNoAllMessage").
    void UnloadHive();
    // aacRegImport: a registry script (its header checked), then every window read again.
    void ImportScript();
    // aacExport: the export dialog for the selected key; nothing without one.
    void Export();
    // aacACLEdit: the permissions of the selected key, then its parent read again.
    void EditPermissions();
    // aacViewHelp, aacPlovikPage (the help's page about the program).
    void ShowHelp();
    void ShowProgramPage();
    // aacRegSizeView, aacVerInfo, aacInfomation.
    void ShowSizeTool();
    void ShowVersion();
    void ShowLicense();

private:
    const TFeatureContext FContext;
    TToolsHost& FHost;
};

}  // namespace app
