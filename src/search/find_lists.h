// What the search dialog keeps between runs and edits while it is open: the named start-key
// lists ("findkey.db"), the keyword history ("findword.db"), the start keys of the search
// about to run, and the regular-expression tokens its token menu inserts into the keyword.
//
// File formats (both in the "Settings" folder, wide line lists: read by byte-order mark,
// written as UTF-16LE with a byte-order mark and CR LF after every line, replaced whole and
// atomically):
// - "findword.db": one keyword per line, newest first, no limit on the number of lines.
// - "findkey.db": one list per line, in the order of the dialog's list box: the list's
//   name, a TAB, then every key path followed by a TAB (work, TAB, HKEY_CURRENT_USER\Software,
//   TAB); a list without keys is its name and one TAB. A name or key holding a
//   TAB, CR, LF or NUL cannot be written: such a list is refused when it is made.
//
// Main thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace search {

// One named list of start keys.
struct TKeyListItem {
    std::wstring FName;
    std::vector<std::wstring> FKeys;  // full key paths, in order
};
using TKeyLists = std::vector<TKeyListItem>;

// What reading one of the files found.
struct TFindListLoad {
    bool FileExists = false;   // false: nothing was read, nothing to report
    bool ReadFailed = false;   // the file exists but could not be read (ReadError says why)
    std::wstring ReadError;
    bool EncodingLossy = false;  // some bytes could not be decoded
    int SkippedFields = 0;       // empty keys and empty history lines left out

    // The file is not fully represented by what was read: it must not be written over.
    bool Damaged() const { return ReadFailed || EncodingLossy; }
};

// The file paths in the "Settings" folder beside the program (the folder is created when
// missing).
std::wstring FindKeyListFileName();
std::wstring FindWordFileName();

// --- Key lists -------------------------------------------------------------------------

// The line of one list, and a list from one line: every TAB ends a field, the first field
// is the name and every further non-empty field a key (empty fields are left out and
// counted in `skipped`); an empty line gives a list with an empty name and no keys.
std::wstring FormatKeyListLine(const TKeyListItem& list);
TKeyListItem ParseKeyListLine(const std::wstring& line, int* skipped = nullptr);
// True when the list can be written as one line (no TAB, CR, LF or NUL in its name or keys).
bool KeyListStorable(const TKeyListItem& list);

// Reads every line of the file in order; a missing file gives no lists. Never raises.
TKeyLists ReadKeyLists(const std::wstring& fileName, TFindListLoad& result);
// Writes all lists (an empty set gives a file with no lines). Raises classlib::EFCreateError
// and leaves an old file whole when it cannot be written.
void WriteKeyLists(const std::wstring& fileName, const TKeyLists& lists);

// Index of the first list whose name equals `name` exactly (letter case counts); -1 for an
// empty name or when none does.
int FindKeyListByName(const TKeyLists& lists, const std::wstring& name);

// --- Keyword history --------------------------------------------------------------------

// Reads the history, newest first; empty lines are left out. A missing file gives none.
// Never raises.
std::vector<std::wstring> ReadFindWords(const std::wstring& fileName, TFindListLoad& result);
// Raises classlib::EFCreateError and leaves an old file whole when it cannot be written.
void WriteFindWords(const std::wstring& fileName, const std::vector<std::wstring>& words);
// Puts `keyword` at the top of the history, removing an entry equal to it ignoring case.
// False, and the history unchanged, for an empty keyword or one holding CR, LF or NUL (it
// could not be stored as one line).
bool AddFindWord(std::vector<std::wstring>& history, const std::wstring& keyword);

// --- Start keys -------------------------------------------------------------------------

// Appends `key` (taken as it is, also empty) unless an entry equal to it ignoring case is
// there already. True when it was appended.
bool AddStartKey(std::vector<std::wstring>& keys, const std::wstring& key);
// The keys as the search record's text: every key followed by CR LF.
std::wstring StartKeysText(const std::vector<std::wstring>& keys);
// The lines of a CR LF (or CR, LF) text; a final line break gives no extra empty line.
std::vector<std::wstring> StartKeysFromText(const std::wstring& text);

// --- The dialog's lists while it is open -------------------------------------------------

// The state behind the search dialog's key list box, start-key list and keyword box: what
// the dialog shows is always what this object holds, and each handler of the dialog is one
// call here. Files are read by Load and written when their content changed: the history at
// CommitKeyword, the key lists at SaveKeyLists (the dialog's close). A file whose load was
// damaged is never written over (its save is skipped and reported as not done).
class TFindListsModel {
public:
    TFindListsModel(std::wstring keyListFile, std::wstring wordFile);

    // Reads both files; selects the first list and takes its keys, then selects the list
    // named `defaultName` (the setting "FindList"; the first of equal names, letter case
    // counts) and takes its keys; an empty or unknown name keeps the first.
    void Load(const std::wstring& defaultName);

    const TKeyLists& KeyLists() const { return FLists; }
    int SelectedList() const { return FSelected; }
    const std::vector<std::wstring>& StartKeys() const { return FKeys; }
    const std::vector<std::wstring>& History() const { return FHistory; }
    const TFindListLoad& KeyListLoad() const { return FKeyListLoad; }
    const TFindListLoad& HistoryLoad() const { return FHistoryLoad; }

    // The list box's choice: selects the list and its keys replace the start keys. An
    // index out of range does nothing.
    void SelectList(int index);
    // The start keys given by the caller (the main window's proposal), replacing them.
    void SetStartKeys(std::vector<std::wstring> keys) { FKeys = std::move(keys); }
    // The key picker's result, appended unless present (ignoring case).
    bool AddKey(const std::wstring& key) { return AddStartKey(FKeys, key); }
    // Removes the start keys at the given indexes (any order; out-of-range ones ignored).
    void DeleteKeys(std::vector<size_t> indexes);

    // The current start keys as a new list named `name`, appended and selected. Nothing
    // happens (false) for an empty name, or when the name or a key cannot be stored.
    bool SaveCurrentAs(const std::wstring& name);
    // Removes the selected list; the selection then goes to the list at the same place, or
    // the one before it, or none. False when none was selected.
    bool DeleteSelectedList();
    // The name of the selected list, to be stored as the default ("FindList"); false when
    // none is selected.
    bool SelectedName(std::wstring& name) const;

    // OK with `keyword`: an empty keyword changes nothing; otherwise it goes to the top of
    // the history (AddFindWord) and the history is written. Raises the write's error.
    void CommitKeyword(const std::wstring& keyword);
    // Writes the key lists when they changed since Load (the dialog's close, OK or
    // Cancel). True when the file was written; false when nothing changed or the load was
    // damaged. Raises the write's error.
    bool SaveKeyLists();

private:
    std::wstring FKeyListFile, FWordFile;
    TKeyLists FLists;
    int FSelected = -1;
    std::vector<std::wstring> FKeys;
    std::vector<std::wstring> FHistory;
    TFindListLoad FKeyListLoad, FHistoryLoad;
    bool FListsModified = false;
};

// --- Keyword tokens ------------------------------------------------------------------------

// The keyword box after a token is put in: the selection (selStart, selLength in UTF-16
// units, clamped to the text) is replaced by `token`, or with no selection the token is
// inserted at the caret; the caret then stands right after the token.
struct TTokenInsertion {
    std::wstring Text;
    size_t Caret = 0;
};
TTokenInsertion InsertToken(const std::wstring& text, size_t selStart, size_t selLength,
                            const std::wstring& token);

// The token menu of the keyword box: five submenus of items, each item inserting its token
// (an item with a null caption is a separator), then one item of its own at the top level
// (a menu entry without items whose Token is inserted: the back reference "\1").
struct TRegexTokenItem {
    const wchar_t* Caption;  // null: separator
    const wchar_t* Token;
};
struct TRegexTokenMenu {
    const wchar_t* Caption;
    std::vector<TRegexTokenItem> Items;  // empty: the entry is an item itself
    const wchar_t* Token = nullptr;      // the entry's own token when it has no items
};
const std::vector<TRegexTokenMenu>& RegexTokenMenus();

}  // namespace search
