// What the binary editor computes beside its controls: the layout of its hex editor, the
// load of a value's bytes, and the find step of its find command.
//
// Main thread only (the hex editor is a control of the main thread).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace hexedit {
class TCustomHexEditor;
class THexEditorEx;
}  // namespace hexedit
namespace registry {
class TVxRegKeyClass;
}

namespace editors {

// Gives a hex editor the binary editor's layout: 16 bytes per row, offsets as "-!10:0x|",
// two bytes per unit, UTF-16 characters in the character field, insert mode, no grid
// lines, a focus frame and the bytes shown as they are.
void SetupBinaryEditorHex(hexedit::TCustomHexEditor& editor);

// Loads the bytes of value `name` of `key` into `editor`, straight from one read of the
// value; `type` receives its type. A value that cannot be read loads no bytes and gives
// false (`type` untouched).
bool LoadValueIntoHexEditor(hexedit::TCustomHexEditor& editor, const registry::TVxRegKeyClass& key,
                            const std::wstring& name, DWORD& type);

// What the find dialog keeps between searches.
struct TBinaryFindRequest {
    bool IsText = true;          // the text radio button is checked
    std::wstring Text;           // the text to look for
    std::string Bytes;           // the bytes to look for (the dialog's hex editor)
    bool CaseSensitive = false;  // the case check box
};

enum class TBinaryFindResult { NothingToFind, NotFound, Found };

// The find command's search steps in one editor. A step looks from the larger of 0 and the
// selection's anchor (else the caret) for the request's pattern (text widened to UTF-16
// and folded when case does not matter). A hit is selected with the anchor on its last
// byte, so the next step (F3) starts there. When the selection is still the one the last
// hit made, the step starts past that hit's first byte at least: the selection's anchor
// snaps to the start of a two-byte unit, and a one-byte hit starts at its last byte, so
// the anchor alone would find the same hit again. Without a hit the selection and caret
// stay. An empty pattern finds nothing and asks for no message.
class TBinaryFinder {
public:
    TBinaryFindResult Step(hexedit::TCustomHexEditor& editor, const TBinaryFindRequest& request);

private:
    int FLastHit = -1;
    int FLastFirst = -1, FLastLast = -1;  // the selection the last hit made
};

// Shown (after a beep) when a step finds nothing.
extern const wchar_t* const BinaryNotFoundText;

}  // namespace editors
