// Favorites: the favorite record, the favorites file "Favorite.db" and loading it into and
// saving it from a wide tree view.
//
// Both the main window (favorites panel and menu) and the favorites manager use these
// functions, so each reads exactly what the other wrote.
//
// File format: a wide line list (UTF-16LE with a byte-order mark, CR LF after every line),
// one line per favorite in pre-order of the tree. A line is seven fields, each followed by
// a TAB:
//   level (decimal depth, 0 = top level), caption, target, comment, kind (decimal 0..3),
//   script (hexadecimal form, see below), jump key.
// A text field that holds a TAB, CR, LF or U+0000 cannot be written as it is. Such a line
// gets an eighth field "E" and its four text fields are escaped ("\\" for a backslash,
// "\t", "\r", "\n", "\0"); every other line is written plainly, so files without such
// characters are byte for byte what older versions wrote, and their backslashes (key paths)
// are never touched.
//
// Reading is lenient where the format always was (missing trailing fields stay empty,
// extra fields are ignored) and strict where a line is damaged: a line whose level is not a
// decimal number, jumps more than one level below the previous favorite, whose kind is not
// 0..3, whose script is not well-formed hexadecimal, or whose escapes are broken is skipped
// and reported; the other lines are kept. A load that skipped lines or lost bytes of the
// file is "damaged": its caller must not save the tree over the file without the user
// asking for it.
//
// Ownership: a node's Data() is its favorite (TVxRegFavoriteObj*, allocated with new). The
// tree view does not free it; whoever holds the tree calls ClearFavoritesTree (also before
// destroying the tree) or DeleteFavoriteNode so every favorite is freed with its node.
// Moving a node moves its favorite with it (the caller hands the pointer over and clears
// the old node's Data() before deleting it).
//
// Main thread only.
#pragma once

#include "controls/wide/widetreeview.h"

#include <cstdint>
#include <string>
#include <vector>

// What a favorite does when it is run.
enum TFavoriteKind : uint8_t {
    fkKey = 0,        // jump to the key FTarget
    fkScript = 1,     // run the registry script FScript, then show FJumpKey
    fkFolder = 2,     // holds other favorites, does nothing itself
    fkShellOpen = 3,  // open FTarget with the system shell
};

// One favorite.
struct TVxRegFavoriteObj {
    std::wstring FCaption;  // name shown in the tree and the menu (equals the node text)
    std::wstring FTarget;   // key path (fkKey), file or address (fkShellOpen), source file of
                            // the script (fkScript, kept only), empty for folders
    std::wstring FJumpKey;  // fkScript: key to show after the script ran (may be empty)
    std::wstring FComment;  // free comment
    std::wstring FScript;   // fkScript: the script's UTF-16LE bytes as upper-case hex digits
    uint8_t FKind = fkKey;  // a TFavoriteKind
};

// The script form of FScript: "A" gives "4100"; decoding stops at the first NUL character.
std::wstring FavoriteScriptToHex(const std::wstring& script);
std::wstring FavoriteHexToScript(const std::wstring& hex);

// The path of "Favorite.db" in the "Settings" folder (created when missing).
std::wstring FavoritesFileName();

// Index into the main window's toolbar image list for a kind: fkKey 31, fkScript 33,
// fkFolder 32, fkShellOpen 34; -1 for any other number.
int FavoriteImageIndex(uint8_t kind);

// --- Lines ------------------------------------------------------------------------------

enum class TFavoriteLineError {
    None,
    Empty,      // an empty line: skipped silently, not damage
    BadLevel,   // field 1 is not a decimal number
    LevelJump,  // deeper than one level below the previous favorite
    BadKind,    // field 5 is not 0..3
    BadScript,  // field 6 is not pairs of hexadecimal digits making whole UTF-16 units
    BadEscape,  // an escaped line with a broken escape sequence
};

// The line for a favorite at `level` (escaped as described at the top when needed).
std::wstring FormatFavoriteLine(int level, const TVxRegFavoriteObj& favorite);
// Reads one line. On None fills `level` and `favorite`; otherwise leaves them unchanged.
// The level is only checked to be a number here; jumps are judged by the reader of a
// whole file.
TFavoriteLineError ParseFavoriteLine(const std::wstring& line, int& level, TVxRegFavoriteObj& favorite);

// --- Files ------------------------------------------------------------------------------

// A favorite read from the file with the depth it is placed at: 0 for the top level,
// at most one more than the depth of the entry before it.
struct TFavoriteEntry {
    int Depth = 0;
    TVxRegFavoriteObj Favorite;
};

struct TFavoriteBadLine {
    int LineNumber = 0;  // 1-based line of the file
    TFavoriteLineError Error = TFavoriteLineError::None;
};

// What a load found.
struct TFavoritesLoadResult {
    bool FileExists = false;     // false: nothing was read, nothing to report
    bool ReadFailed = false;     // the file exists but could not be read (ReadError says why)
    std::wstring ReadError;
    bool EncodingLossy = false;  // some bytes of the file could not be decoded
    std::vector<TFavoriteBadLine> BadLines;  // lines skipped as damaged
    int Loaded = 0;              // favorites read

    // The file is not fully represented by what was read: never save over it silently.
    bool Damaged() const { return ReadFailed || EncodingLossy || !BadLines.empty(); }
};

// Reads the file into entries in file order. A missing file gives no entries and
// FileExists false. Never raises for a bad or unreadable file; reports it in `result`.
std::vector<TFavoriteEntry> ReadFavoritesFile(const std::wstring& fileName, TFavoritesLoadResult& result);

// The lines of the whole tree in pre-order (what SaveFavorites writes).
std::vector<std::wstring> FavoriteTreeLines(wide::TWideTreeView& tree);

// --- Trees ------------------------------------------------------------------------------

// The favorite a node carries (null for a null node or a node without one).
TVxRegFavoriteObj* FavoriteOf(const wide::TWideTreeNode* node);

// Sets the node's image and selected image from its favorite's kind; an unknown kind (or
// a node without a favorite) leaves them as they are.
void SetNodeIcon(wide::TWideTreeNode* node);

// Appends the entries to the tree (after its last top-level node), each node with the text
// FCaption, a new favorite as data and its icon. Returns the number of nodes added.
int AddFavoritesToTree(wide::TWideTreeView& tree, std::vector<TFavoriteEntry>&& entries);

// Appends the favorites of the file to the tree and expands every node; does nothing when
// the file does not exist. What was found (damage included) is returned.
TFavoritesLoadResult LoadFavorites(wide::TWideTreeView& tree, const std::wstring& fileName);

// Writes the whole tree to the file, replacing it whole and atomically; a failure raises
// classlib::EFCreateError and leaves the old file as it was. The caption written is the
// favorite's FCaption; a node without a favorite is written as a key favorite with the
// node's text as caption.
void SaveFavorites(wide::TWideTreeView& tree, const std::wstring& fileName);

// Frees every node's favorite and removes all nodes.
void ClearFavoritesTree(wide::TWideTreeView& tree);
// Frees the favorites of the node and its descendants and deletes the node.
void DeleteFavoriteNode(wide::TWideTreeNode* node);
