// The search parameters handed from the search dialog to the search thread, and the
// messages the thread posts to the main window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "registry/regrecords.h"

namespace search {

// Posted by the search thread. WParam carries the search's generation (THFindThread::
// Generation()), so the main window can ignore a message left over from an earlier search;
// LParam is 0, except for WM_FINDDONE (see THFindThread).
inline constexpr UINT WM_FINDDONE = WM_USER + 1;      // to DoneWindow: ended, not stopped
inline constexpr UINT WM_FINDHIT = WM_USER + 2;       // to ProgressWindow: hits appended
inline constexpr UINT WM_FINDPROGRESS = WM_USER + 3;  // to ProgressWindow: first key, then every 1001 keys

// The hit list: owned by the main window and touched only on the main thread.
using TVxRegFindList = std::vector<std::unique_ptr<registry::TVxRegFindClass>>;

// The search parameters; a plain value, copied with its texts.
struct TWendlarFindRecord {
    std::wstring Keyword;            // search text or regular expression
    std::wstring StartKeys;          // one full key path per line (CR LF, CR or LF)
    bool UseRegex = false;           // match through the regular-expression wrapper
    HWND DoneWindow = nullptr;       // receives WM_FINDDONE
    HWND ProgressWindow = nullptr;   // receives WM_FINDHIT and WM_FINDPROGRESS
    TVxRegFindList* Results = nullptr;  // appended to on the main thread only
    bool IgnoreCase = false;         // plain matching ignores case
    bool WholeMatch = false;         // plain matching compares whole texts
    bool NoSubKeys = false;          // search only the start keys themselves, not below them
    bool NoKeyNames = false;         // key names are not tested
    bool NoValueNames = false;       // value names are not tested
    bool NoValueData = false;        // value data are not tested
};

// Splits one start-key line into its root handle, the path below the root (no leading or
// trailing backslash) and the display path (the root's full name, then "\" and the path
// when there is one). Root names may be given in any letter case and abbreviated (HKLM,
// HKCU, HKCR, HKU, HKCC); a trailing backslash is ignored. False, with the outputs
// untouched, when the line names no known root.
bool SplitStartKey(const std::wstring& line, HKEY& root, std::wstring& sub, std::wstring& display);

}  // namespace search
