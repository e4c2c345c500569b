// Tab files ("Tabs.db" and the ".tab" files the user saves) and the rules of the tab strip
// that need no window.
//
// A tab file is a line list file (UTF-16LE with byte-order mark, CR LF after every line),
// one line per tab in tab order: the full path of the key selected in the window (empty
// for the computer node), the lock ("-1" locked, "0" not) and the active mark ("-1" for
// the active tab), each field followed by a TAB.
//
// Any thread; the file functions raise the line list's file errors.
#pragma once

#include <string>
#include <vector>

namespace app {

// The default extension and the filter of the save and open dialogs.
extern const wchar_t* const TabFileExt;
extern const wchar_t* const TabFileFilter;

struct TTabFileEntry {
    std::wstring Path;
    bool Locked = false;
    bool Active = false;
};

// The line of one tab, without its line break.
std::wstring FormatTabLine(const TTabFileEntry& tab);
// Writes the tabs, whole and atomically (the file is created or replaced).
void SaveTabFile(const std::wstring& fileName, const std::vector<TTabFileEntry>& tabs);

// The windows a tab file asks for, in order, and which of them becomes active (-1: none).
struct TTabPlan {
    struct TWindow {
        std::wstring Path;
        bool Locked = false;
    };
    std::vector<TWindow> Windows;
    int Active = -1;
};

// Reads the tab lines: a line of fewer than two fields (a blank line) opens nothing; the
// lock and active fields read as Booleans ("0" false, any other number true, "True" and
// "False" in any case; anything else false). The last line marked active wins, and the
// window opened from that line is the active one.
TTabPlan ParseTabLines(const std::vector<std::wstring>& lines);
// ParseTabLines of the file; an empty plan when the file does not exist.
TTabPlan LoadTabFile(const std::wstring& fileName);

// "0" false, any other integer true, "True" / "False" ignoring case; otherwise `def`.
bool StrToBoolDef(const std::wstring& text, bool def);

// --- Tab strip rules -------------------------------------------------------------------

// The tab's image: the lock picture (0) for a locked window, none (-1) otherwise.
constexpr int TabImageIndex(bool locked) { return locked ? 0 : -1; }
// The picture of the tab menu's "close this tab" in the command strip.
constexpr int CloseTabImage = 43;
// A middle click closes the window of an unlocked tab (the strip itself never deletes it).
constexpr bool MiddleClickCloses(bool locked) { return !locked; }
// The tab menu for the tab clicked: "このタブを閉じる" enabled, "タブロック" checked.
struct TTabMenuState {
    bool CloseEnabled;
    bool LockChecked;
};
constexpr TTabMenuState TabMenuState(bool locked) { return {!locked, locked}; }
// "このタブ以外を全て閉じる": the windows to close, from the last to the first: every
// window but `keep` that is not locked. `locked` holds the lock of each window in order.
std::vector<int> WindowsToCloseExcept(const std::vector<bool>& locked, int keep);

}  // namespace app
