// The multi-string editor's rule for empty lines: a REG_MULTI_SZ value cannot hold an
// empty string, so OK removes every line of zero characters (a line of blanks stays) and
// tells the user once when it removed any.
//
// The lines are read as one text and written back once, so the work is linear in the
// text's length whatever the number of lines or empty lines; a memo's list reads and
// replaces its whole text for a single line, so walking it line by line would not be.
//
// Main thread when the lines belong to a control; otherwise any thread.
#pragma once

#include <string>

namespace wide {
class TWideStrings;
}

namespace editors {

// `text` without its empty lines. Lines end at CR LF, a lone CR or a lone LF; a final line
// break ends the last line and is no empty line of its own. The kept lines are joined by
// CR LF, with a final CR LF when `text` ended in a line break. `removed` counts the lines
// taken out.
std::wstring WithoutEmptyLines(const std::wstring& text, int& removed);

// Removes the empty lines of `lines` (one read and, when something goes, one write of
// their text). Returns how many were removed.
int RemoveEmptyLines(wide::TWideStrings& lines);

// The information shown when OK removed empty lines.
extern const wchar_t* const EmptyLinesRemovedText;

}  // namespace editors
