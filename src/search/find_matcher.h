// How the search decides that a name or a value's data text matches, and the text a
// value's data is searched as. Shared by the search thread and the benchmark.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "search/find_record.h"
#include "search/onig_regexp.h"

namespace search {

// Tests texts against one search record's keyword. Made once per search: the keyword is
// compiled or lower-cased once, and the working buffers are reused for every text.
// Used by one thread at a time.
class TFindMatcher {
public:
    // `regex` is the search's regular-expression object (not owned; may be null when the
    // library is missing, and then regular-expression mode matches nothing). In
    // regular-expression mode the keyword is compiled into it here.
    TFindMatcher(const TWendlarFindRecord& record, TVxOnigurumaRegExp* regex);

    // Regular-expression mode: the compiled keyword occurs (always ignoring case).
    // Plain mode: with WholeMatch the text equals the keyword, otherwise the keyword occurs
    // in it, both ignoring case when IgnoreCase is set (the system's lower-casing). An empty
    // keyword occurs in no text; with WholeMatch it equals exactly the empty texts.
    bool IsMatch(std::wstring_view text);

private:
    bool FUseRegex;
    bool FIgnoreCase;
    bool FWholeMatch;
    TVxOnigurumaRegExp* FRegex;
    std::wstring FKeyword;  // lower-cased once when IgnoreCase
    std::wstring FLower;    // reused buffer for the lower-cased text
};

// The text a value's data is searched as, written into `out` (its old content replaced;
// its storage reused):
// - REG_DWORD / REG_DWORD_BIG_ENDIAN of exactly 4 bytes: the unsigned decimal number;
// - REG_QWORD (11) or type 12 of exactly 8 bytes: the unsigned decimal 64-bit number;
// - REG_MULTI_SZ: each string followed by CR LF, up to the first empty string;
// - anything else (numbers of another length included): the bytes read as UTF-16 up to the
//   first NUL (an odd last byte counts as a character with a zero high byte).
void FindDataText(DWORD type, const BYTE* data, size_t size, std::wstring& out);

}  // namespace search
