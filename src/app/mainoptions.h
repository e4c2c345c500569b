// The options of section "Main" of "setting.db" that the program reads at start and when
// the settings dialog closes, the strings of section "Setting", and the first-run marker.
//
// Main thread only (the settings files are).
#pragma once

#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmnames.h"
#include "settings/inifile.h"

#include <cstdint>
#include <string>

namespace app {

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

// The options the main window applies to itself, its panes and its registry windows; the
// defaults are those of a missing "setting.db".
struct TMainOptions {
    std::wstring ThmTheme = themed::kThemeDefault;
    bool SetToolBarKotei = false;  // docks: dragging not allowed
    bool SetSmartDrag = false;
    bool SetSmartDock = false;
    bool SetNoKeyUndo = true;      // deleted keys are not backed up
    bool SetIncIgnoreCase = false;
    int SetIncTime = 1000;
    bool SetIncNoCol = false;
    bool SetIncTop = false;
    bool SetRepYajirusi = true;
    int SetTabWidth = 150;
    bool SetValueClip = false;
    bool SetKeyClip = false;
    bool SetUndoSaving = false;
    bool SetNoMessage = false;
    bool SetNoAllMessage = false;
    bool SetNoSaveWnd = false;
    std::wstring SetRegTextEditor = L"notepad.exe";
    classlib::TColor ColorSortColumn = 0xF7F7F7;
    classlib::TColor ColorTabGradStart = 0xC4CCCF;
    classlib::TColor ColorTabGradEnd = 0x949697;
    classlib::TColor ColorTabActiveGradStart = 0xFFFFFF;
    classlib::TColor ColorTabActiveGradEnd = 0xBBC5C9;
    classlib::TColor ColorTabText = classlib::clWindowText;
    classlib::TColor ColorTabTextActive = classlib::clWindowText;
    classlib::TColor ColorTabBack = classlib::clBtnFace;
    classlib::TColor ColorControlBack = classlib::clWindow;
    classlib::TColor ColorControlText = classlib::clWindowText;
    classlib::TColor ColorReadOnly = 0xC0C0C0;
    bool SetLoadTab = false;
    bool SetLoadTabSettingFile = false;
    std::wstring SetLoadTabSettingFilePath;
    bool SetWinReg = false;
    // The gesture recogniser's; the defaults are its current values.
    bool Gesture = false;
    int SetGestureLength = 40;
    int SetGestureStop = 800;
    TFontOptions Font;
};

// Reads every option of section "Main"; a missing key or a number that does not parse
// keeps the value of `defaults` (numbers: the low 32 bits of the 64-bit value).
TMainOptions ReadMainOptions(const settings::TVxMemIniFile& file, const TMainOptions& defaults = {});

// The options a registry window reads from section "Main" when it is made. The
// incremental-search ones are pushed into open windows again when the settings change
// (TMainOptions, where "SetRepYajirusi" defaults to on); a new window reads them itself,
// with "SetRepYajirusi" off by default, and "SetRegDateView" only then.
struct TRegWindowOptions {
    bool AllowReplace = false;   // "SetRepYajirusi": "→" separates path parts too
    bool IncTop = false;         // "SetIncTop": a search always starts over
    bool DateView = false;       // "SetRegDateView": the key tree's date column
    bool IncNoCol = false;       // "SetIncNoCol": search the visible nodes only
    bool IncIgnoreCase = false;  // "SetIncIgnoreCase"
    int IncTime = 1000;          // "SetIncTime": ms
};
// `currentDateView`: the tree's date column now, kept when the key is missing.
TRegWindowOptions ReadRegWindowOptions(const settings::TVxMemIniFile& file, bool currentDateView);
// The search options of `options` (DateView false: the settings change leaves the column).
TRegWindowOptions RegWindowSearchOptions(const TMainOptions& options);

// The options of the program entry and its start-up timer.
struct TStartupOptions {
    bool SetNoMutex = false;       // run as a further instance instead of handing over
    bool SetHideMainForm = true;   // main window hidden until the first windows are open
    bool SetConnectCMD = false;    // the parameters form one key path joined by blanks
    bool SetNoCreateWnd = false;   // no empty window when there are no parameters
};
TStartupOptions ReadStartupOptions(const settings::TVxMemIniFile& file);

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

}  // namespace app
