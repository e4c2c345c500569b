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
// are never touched. Fields after the seventh (after the mark "E" on an escaped line) are
// kept as read and written back after the seventh field, so what another writer added to
// a line is not lost.
//
// Reading takes every line as far as its fields go, so a file written elsewhere or by hand
// loses no favorite: an empty line is skipped; missing trailing fields stay empty; a level
// that is not a number counts as -1; a kind that is not a number is 0, and only the low 8
// bits of a kind are kept (a kind other than 0..3 stays as read and shows no icon); the
// script field is kept as it stands. Placement by level, with the previous level starting
// at 0:
//   - the first favorite read goes to the top level;
//   - the same level as the previous line: the previous favorite's next sibling;
//   - a deeper level: the previous favorite's last child, one level down whatever the
//     difference;
//   - a shallower level: from the previous favorite up (previous - level + 1) parents,
//     stopping at the top level, and the last child there;
// and the previous level becomes the number read (also when the favorite went only one
// level down). Levels 0, 2, 2, 1 thus read as a top-level favorite, its two children and
// another top-level favorite; saving writes each favorite's real depth.
//
// A load is "damaged" when it could not keep everything: bytes of the file that could not
// be decoded, or an escaped line whose escapes are broken (such a line is kept with its
// fields as they stand and the mark among its extra fields, so it is written back as read).
// Its caller must not save the tree over the file without the user asking for it.
//
// Ownership: favorites live in a TFavoritesTreeView, whose nodes own them: a node's Data()
// is its favorite (TVxRegFavoriteObj*, allocated with new), freed with the node however it
// goes (deleted, the tree cleared or destroyed). SetFavorite replaces a node's favorite
// (freeing the old one); moving a favorite to another node is TakeFavorite on the old node
// and SetFavorite on the new one.
//
// Main thread only.
#pragma once

#include "controls/wide/widetreeview.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace favorites {

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
    uint8_t FKind = fkKey;  // a TFavoriteKind (another number is kept as read)
    // The fields the line had after the seventh (after the escape mark "E"), exactly as read,
    // TABs included; written back after the seventh field. Empty for favorites made here.
    std::wstring FExtraFields;
};

// The script form of FScript: "A" gives "4100"; decoding stops at the first NUL character.
std::wstring FavoriteScriptToHex(const std::wstring& script);
std::wstring FavoriteHexToScript(const std::wstring& hex);
// The script of a stored FScript, only when the field is whole: hexadecimal digits only, in
// groups of four (one UTF-16 character each); the text up to the first NUL character. False
// for anything else (a field cut short or written by other means): such a script is neither
// run nor edited, since what it decodes to is not what was stored.
bool DecodeFavoriteScript(const std::wstring& hex, std::wstring& script);

// The path of "Favorite.db" in the "Settings" folder (created when missing).
std::wstring FavoritesFileName();

// Index into the main window's toolbar image list for a kind: fkKey 31, fkScript 33,
// fkFolder 32, fkShellOpen 34; -1 for any other number.
int FavoriteImageIndex(uint8_t kind);

// --- Lines ------------------------------------------------------------------------------

enum class TFavoriteLineError {
    None,
    Empty,      // an empty line: skipped silently, not damage
    BadEscape,  // an escaped line with a broken escape sequence: read with its fields as
                // they stand, the mark "E" kept as its first extra field
};

// The line for a favorite at `level` (escaped as described at the top when needed).
std::wstring FormatFavoriteLine(int level, const TVxRegFavoriteObj& favorite);
// Reads one line. Empty leaves `level` and `favorite` unchanged; None and BadEscape fill
// them (the level -1 when field 1 is not a number). Placement by level is the reader's of
// a whole file.
TFavoriteLineError ParseFavoriteLine(const std::wstring& line, int& level, TVxRegFavoriteObj& favorite);

// --- Files ------------------------------------------------------------------------------

// A favorite read from the file with the depth it is placed at (by the rules at the top):
// 0 for the top level, at most one more than the depth of the entry before it.
struct TFavoriteEntry {
    int Depth = 0;
    TVxRegFavoriteObj Favorite;
};

struct TFavoriteBadLine {
    int LineNumber = 0;  // 1-based line of the file (kept, but not as it was meant)
    TFavoriteLineError Error = TFavoriteLineError::None;
};

// What a load found.
struct TFavoritesLoadResult {
    bool FileExists = false;     // false: nothing was read, nothing to report
    bool ReadFailed = false;     // the file exists but could not be read (ReadError says why)
    std::wstring ReadError;
    bool EncodingLossy = false;  // some bytes of the file could not be decoded
    std::vector<TFavoriteBadLine> BadLines;  // lines that could not be read as written
    int Loaded = 0;              // favorites read (every line that is not empty)

    // The file is not fully represented by what was read: never save over it silently.
    bool Damaged() const { return ReadFailed || EncodingLossy || !BadLines.empty(); }
};

// Reads the file into entries in file order. A missing file gives no entries and
// FileExists false. Never raises for a bad or unreadable file; reports it in `result`.
std::vector<TFavoriteEntry> ReadFavoritesFile(const std::wstring& fileName, TFavoritesLoadResult& result);

// The lines of the whole tree in pre-order (what SaveFavorites writes); linear in the
// number of nodes whatever the tree's shape.
std::vector<std::wstring> FavoriteTreeLines(wide::TWideTreeView& tree);

// --- Trees ------------------------------------------------------------------------------

// The tree view of favorites: its nodes own their favorites (see the top). Clearing it
// (Items().Clear()) or deleting a node (Delete()) frees the favorites with the nodes, in time
// linear in their number and without recursion, whatever the depth of the tree.
//
// It shows them as the favorites panel and the manager both do: captions not edited in
// place, whole rows selected, no lines, the selection kept visible without the focus, an
// indent of 19 pixels. A right click selects the node under it. A node dragged with the mouse
// (the tree window tells when a drag begins) is selected and drags the control: drop targets
// get the tree as the source, and the dragged node is the selected one.
class TFavoritesTreeView : public wide::TWideTreeView {
public:
    explicit TFavoritesTreeView(classlib::TComponent* owner);

protected:
    std::unique_ptr<wide::TWideTreeNode> CreateNode() override;
    void CreateWnd() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void CNNotify(classlib::TMessage& m) override;
};

// The favorite a node carries (null for a null node or a node without one).
TVxRegFavoriteObj* FavoriteOf(const wide::TWideTreeNode* node);
// Gives a node of a TFavoritesTreeView its favorite (null: none), freeing the one it had.
void SetFavorite(wide::TWideTreeNode* node, std::unique_ptr<TVxRegFavoriteObj> favorite);
// Takes a node's favorite away from it (the node then has none).
std::unique_ptr<TVxRegFavoriteObj> TakeFavorite(wide::TWideTreeNode* node);

// Sets the node's image and selected image from its favorite's kind; an unknown kind (or
// a node without a favorite) leaves them as they are.
void SetNodeIcon(wide::TWideTreeNode* node);

// Where each entry's subtree ends: for entry i, the index of the first entry after it that is
// not one of its descendants (entries.size() at the end). Linear, whatever the depth.
std::vector<size_t> FavoriteSubtreeEnds(const std::vector<TFavoriteEntry>& entries);

// Whether `dragged` may be dropped on `target`: both given and `target` neither the dragged
// node nor one of its descendants.
bool CanDropFavorite(const wide::TWideTreeNode* dragged, const wide::TWideTreeNode* target);
// Moves `node` with its whole subtree, in order: onto a folder as its first child, onto any
// other favorite just before it, at its level. Null when the drop is refused (see
// CanDropFavorite); else the node moved.
wide::TWideTreeNode* MoveFavoriteSubtree(wide::TWideTreeNode* node, wide::TWideTreeNode* target);

// Appends the entries to the tree (after its last top-level node), each node with the text
// FCaption, a new favorite as data and its icon. Returns the number of nodes added.
int AddFavoritesToTree(TFavoritesTreeView& tree, std::vector<TFavoriteEntry>&& entries);

// Appends the favorites of the file to the tree and expands every node; does nothing when
// the file does not exist. What was found (damage included) is returned.
TFavoritesLoadResult LoadFavorites(TFavoritesTreeView& tree, const std::wstring& fileName);

// Writes the whole tree to the file, replacing it whole and atomically; a failure raises
// classlib::EFCreateError and leaves the old file as it was. The caption written is the
// favorite's FCaption; a node without a favorite is written as a key favorite with the
// node's text as caption.
void SaveFavorites(wide::TWideTreeView& tree, const std::wstring& fileName);

// --- The file as the windows use it -------------------------------------------------------

// What the favorites ask of the user (the main window's message and input boxes; tests
// answer them).
class TFavoriteQuestions {
public:
    virtual ~TFavoriteQuestions() = default;
    // A warning with the buttons Yes and No; true only for Yes.
    virtual bool AskYesNo(const std::wstring& text) = 0;
    virtual void ShowMessage(const std::wstring& text) = 0;
    // The input box; false on Cancel. `value` holds the default and receives the answer.
    virtual bool InputText(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) = 0;
};

// "Favorite.db" as the favorites panel, the Favorites menu and the manager read and write it,
// kept whole when it is damaged: a read that could not keep everything is told once (again
// only after a read that found the file whole), and nothing is written over such a file until
// the user agreed to lose what could not be read (MayChange asks; a yes holds until the
// file is read whole or written).
class TFavoritesFile {
public:
    TFavoritesFile(std::wstring fileName, TFavoriteQuestions& questions);
    const std::wstring& FileName() const { return FFileName; }
    TFavoriteQuestions& Questions() const { return FQuestions; }

    // Clears the tree and fills it from the file (LoadFavorites); a missing file leaves it empty.
    TFavoritesLoadResult Load(TFavoritesTreeView& tree);
    // The favorites of the file with their depths (ReadFavoritesFile).
    std::vector<TFavoriteEntry> Read();
    // Whether a change may be written: true unless the last read was damaged and the user,
    // asked now, does not agree to write over the file.
    bool MayChange();
    // Writes the whole tree over the file. A failure is told and answers false (the old file
    // stays as it was). Call it after MayChange agreed.
    bool Save(wide::TWideTreeView& tree);
    // The last read was damaged and nothing has been written since.
    bool Damaged() const { return FDamaged; }

private:
    void Noted(const TFavoritesLoadResult& result);

    std::wstring FFileName;
    TFavoriteQuestions& FQuestions;
    bool FDamaged = false;
    bool FReported = false;
    bool FAgreed = false;
};

// What tells the user about a damaged load, and what asks before writing over it.
std::wstring DamagedFavoritesText(const std::wstring& fileName, const TFavoritesLoadResult& result);
std::wstring OverwriteDamagedFavoritesQuestion(const std::wstring& fileName);

}  // namespace favorites
