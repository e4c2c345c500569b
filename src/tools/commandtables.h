// The shortcut and gesture tables of the settings dialog: one row per command of the main
// window (the commands with tag 0, in action-list order), holding its category, its caption
// as the files name it (the action's help keyword), its picture and its shortcut or gesture
// text.
//
// Files: "HotKey.db" and "Gesture.db" are section/key files with section = category,
// key = caption, value = the text. Reading fills each row from its line and keeps the row's
// value where there is none (a command without a line keeps its current shortcut); writing
// puts a line for every row, an empty value included, and leaves other lines alone.
//
// Order: rows are sorted by category, descending, comparing the categories' code page 932
// bytes with the ASCII letters folded to upper case; rows of one category keep the order of
// the commands.
//
// Shortcut text is classlib::ShortCutToText / TextToShortCut. Gesture text is a sequence of
// the marks "↑" "↓" "→" "←" (mouse moves) and "△" "▽" (wheel up, down), empty for none.
//
// Plain data and pure functions; any thread (the files: main thread).
#pragma once

#include "classlib/actions.h"

#include <span>
#include <string>
#include <vector>

namespace settings {
class TVxMemIniFile;
}

namespace tools {

// A command as the tables list it.
struct TCommandInfo {
    std::wstring Category;
    std::wstring Caption;  // the name in the files (the action's help keyword)
    classlib::TShortCut ShortCut = 0;
    int ImageIndex = -1;
};

struct TCommandRow {
    std::wstring Category;
    std::wstring Caption;
    std::wstring Value;  // shortcut or gesture text
    int ImageIndex = -1;
    int Command = 0;     // index in the command list the table was made from
};

// Negative, zero or positive as `a` sorts before, with or after `b` in ascending order.
int CompareCategories(const std::wstring& a, const std::wstring& b);

enum class TCommandTableKind { Shortcuts, Gestures };

class TCommandTable {
public:
    // Rows in command order: the shortcut text of each command's shortcut, or no gesture.
    TCommandTable(TCommandTableKind kind, std::span<const TCommandInfo> commands);

    TCommandTableKind Kind() const { return FKind; }
    int Count() const { return static_cast<int>(FRows.size()); }
    const TCommandRow& Row(int index) const { return FRows.at(static_cast<size_t>(index)); }
    void SetValue(int index, const std::wstring& value) { FRows.at(static_cast<size_t>(index)).Value = value; }

    void Read(const settings::TVxMemIniFile& file);
    // Raises EVxIniFileError (nothing written) for a category or caption the file cannot hold.
    void Write(settings::TVxMemIniFile& file) const;
    // Sorts the rows by category, descending (see above).
    void Sort();

    // A value the row has and some other row has as well: the first such other row; -1
    // when the row's value is empty or no other row has it.
    int FindOtherWithSameValue(int index) const;

private:
    TCommandTableKind FKind;
    std::vector<TCommandRow> FRows;
};

// --- Gestures -------------------------------------------------------------------------------

enum class TGestureEdit {
    Append,     // appends the button's mark
    Backspace,  // removes the last mark, if any
    Clear,      // removes every mark
};

struct TGestureButtonDef {
    const wchar_t* Name;
    const wchar_t* Caption;
    TGestureEdit Edit;
    const wchar_t* Mark;  // Append only
};

// The buttons of the gesture page, left to right.
std::span<const TGestureButtonDef> GestureButtonDefs();
// The gesture text after pressing the button.
std::wstring ApplyGestureButton(const std::wstring& gesture, const TGestureButtonDef& button);

}  // namespace tools
