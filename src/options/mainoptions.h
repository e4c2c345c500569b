// The options of section "Main" of "setting.db" as the program uses them, read and written
// through the option table (options/optiontable.h); the views of them that the start-up
// and the registry windows take; the strings of section "Setting" and the first-run marker.
//
// Main thread only (the settings files are).
#pragma once

#include "classlib/graphics.h"
#include "settings/inifile.h"

#include <cstdint>
#include <string>

namespace options {

// The font of the views; empty / -1 leave the view's font as it is.
struct TFontOptions {
    std::wstring Name;
    int Charset = -1;
    int Height = -1;
    int Size = -1;
};

// Name, charset, height and size in that order, each only when given: a size given after
// a height wins.
void ApplyFontOptions(const TFontOptions& options, classlib::TFont& font);

// Every option of section "Main", one field per row of the option table, which holds the
// keys, defaults and ranges. A new object holds the table's defaults.
struct TMainOptions {
    TMainOptions();

    std::wstring ThmTheme;
    bool SetToolBarKotei{};  // docks: dragging not allowed
    bool SetSmartDrag{};
    bool SetSmartDock{};
    bool SetNoKeyUndo{};     // deleted keys are not backed up
    bool SetIncIgnoreCase{};
    int SetIncTime{};        // ms
    bool SetIncNoCol{};
    bool SetIncTop{};
    bool SetRepYajirusi{};   // "→" separates the parts of a typed path too
    int SetTabWidth{};       // pixels; -1 automatic
    bool SetValueClip{};
    bool SetKeyClip{};
    bool SetUndoSaving{};
    bool SetNoMessage{};
    bool SetNoAllMessage{};
    bool SetNoSaveWnd{};
    std::wstring SetRegTextEditor;
    classlib::TColor ColorSortColumn{};
    classlib::TColor ColorTabGradStart{};
    classlib::TColor ColorTabGradEnd{};
    classlib::TColor ColorTabActiveGradStart{};
    classlib::TColor ColorTabActiveGradEnd{};
    classlib::TColor ColorTabText{};
    classlib::TColor ColorTabTextActive{};
    classlib::TColor ColorTabBack{};
    classlib::TColor ColorControlBack{};
    classlib::TColor ColorControlText{};
    classlib::TColor ColorReadOnly{};
    bool SetLoadTab{};
    bool SetLoadTabSettingFile{};
    std::wstring SetLoadTabSettingFilePath;
    bool SetWinReg{};
    bool Gesture{};          // the gesture recogniser
    int SetGestureLength{};  // pixels
    int SetGestureStop{};    // ms
    TFontOptions Font;
    bool SetNoMutex{};       // start-up (TStartupOptions)
    bool SetHideMainForm{};
    bool SetConnectCMD{};
    bool SetNoCreateWnd{};
    bool SetRegDateView{};   // a new registry window's date column
};

// Reads every option of the table from section "Main"; a key that is missing, or whose
// value is not valid for its row (wrong type, beyond 32 bits, outside the range), keeps the
// value of `defaults`.
TMainOptions ReadMainOptions(const settings::TVxMemIniFile& file, const TMainOptions& defaults = {});
// Writes every option in table order into section "Main"; other keys and sections stay.
// The caller saves the file.
void WriteMainOptions(settings::TVxMemIniFile& file, const TMainOptions& options);
// Loads `fileName` (when it exists), writes every option and saves the file atomically.
// Raises the file's errors: EFCreateError when it cannot be written (the old file stays),
// EVxIniFileError when it loaded lossily.
void SaveMainOptions(const std::wstring& fileName, const TMainOptions& options);

// The options of the program entry and its start-up timer.
struct TStartupOptions {
    TStartupOptions() : TStartupOptions(TMainOptions{}) {}
    explicit TStartupOptions(const TMainOptions& options);

    bool SetNoMutex;       // run as a further instance instead of handing over
    bool SetHideMainForm;  // main window hidden until the first windows are open
    bool SetConnectCMD;    // the parameters form one key path joined by blanks
    bool SetNoCreateWnd;   // no empty window when there are no parameters
};
TStartupOptions ReadStartupOptions(const settings::TVxMemIniFile& file);

// The options of a registry window: read by each new window, and the search ones pushed
// into open windows again when the settings change (the date column only when a window is
// made).
struct TRegWindowOptions {
    TRegWindowOptions() : TRegWindowOptions(TMainOptions{}) {}
    explicit TRegWindowOptions(const TMainOptions& options);

    bool AllowReplace;   // "SetRepYajirusi"
    bool IncTop;         // "SetIncTop": a search always starts over
    bool DateView;       // "SetRegDateView": the key tree's date column
    bool IncNoCol;       // "SetIncNoCol": search the visible nodes only
    bool IncIgnoreCase;  // "SetIncIgnoreCase"
    int IncTime;         // "SetIncTime": ms
};
TRegWindowOptions ReadRegWindowOptions(const settings::TVxMemIniFile& file);

// --- Section "Setting" -----------------------------------------------------------------

// Key `name` of section "Setting" of the file (UTF-16 throughout).
std::wstring ReadSettingString(const std::wstring& fileName, const std::wstring& name,
                               const std::wstring& defaultValue);
// Writes key `name` of section "Setting" and saves the file at once (atomically; raises
// the file's errors).
void WriteSettingString(const std::wstring& fileName, const std::wstring& name, const std::wstring& value);
// The same on "setting.db" in the settings folder.
std::wstring ReadSettingString(const std::wstring& name, const std::wstring& defaultValue);
void WriteSettingString(const std::wstring& name, const std::wstring& value);

// First run: when "Infomation" of section "Setting" is empty or missing, writes "1" there
// (saved at once, before anything is shown, so a first display cut short is not repeated)
// and answers true; otherwise false.
bool TakeFirstRunMarker(const std::wstring& settingFile);

}  // namespace options
