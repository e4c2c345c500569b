// What the settings dialog needs of the program that opens it: where the settings files
// are, the commands of the two tables with their pictures, the theme switch, and the
// system's file and font choosers (owned by the dialog's window). The main window's
// settings command answers it; tests answer it with a fake. The dialog keeps the reference
// only while it lives.
//
// Main thread only.
#pragma once

#include "tools/commandtables.h"
#include "tools/themechoice.h"

#include <windows.h>

#include <string>
#include <vector>

namespace classlib {
class TFont;
class TImageList;
}

namespace tools {

// A file to choose in the system's file dialog.
struct TFileChoice {
    bool Save = false;  // the save dialog; else the open dialog
    std::wstring DefaultExt;
    std::wstring Filter;  // "|"-joined pairs of description and pattern
    int FilterIndex = 1;
    bool FileMustExist = false;
    bool OverwritePrompt = false;
};

class ISettingDialogHost {
public:
    virtual ~ISettingDialogHost() = default;

    // The full path of a file of the settings folder ("setting.db", "HotKey.db", "Gesture.db").
    virtual std::wstring SettingsFilePath(const std::wstring& name) = 0;
    // The commands the tables list: the main window's commands with tag 0, in list order,
    // with their current shortcuts.
    virtual std::vector<TCommandInfo> Commands() = 0;
    // The commands' pictures (null: none).
    virtual classlib::TImageList* ToolBarImages() = 0;
    virtual IThemeSwitch& Themes() = 0;
    // The system's file dialog; true and `fileName` set to the chosen full path on OK.
    virtual bool ChooseFile(HWND owner, const TFileChoice& choice, std::wstring& fileName) = 0;
    // The system's font dialog on `font` (sizes from `minPoints` to `maxPoints`); true and
    // `font` changed on OK.
    virtual bool ChooseFont(HWND owner, classlib::TFont& font, int minPoints, int maxPoints) = 0;
};

}  // namespace tools
