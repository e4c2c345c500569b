// Search and replace, line breaks, file-name dissection and system error texts over UTF-16
// strings. Positions are 1-based character indexes; 0 means "not found".
//
// Pure functions; any thread may call them. The whole-word rule of WideStringReplace
// depends on the calling thread's locale.
#pragma once

#include <windows.h>

#include <string>

namespace wide {

// Flags of WideStringReplace.
enum TWideReplaceFlags : unsigned {
    rfReplaceAll = 1,
    rfIgnoreCase = 2,
};

// Replaces the first (or, with rfReplaceAll, every) occurrence of `oldPattern` in `s` by
// `newPattern`. With rfIgnoreCase the search runs on upper-case copies made one UTF-16 unit
// at a time, so they are exactly as long as the originals and every position found applies
// to `s` unchanged; the output keeps the letters of `s` outside the replaced parts. An empty
// `oldPattern` is never found. With `wholeWord` a hit counts only when the characters on
// both sides are word separators (start or end of the text, a blank or a punctuation mark in
// the thread's locale); a failing character-class query raises EOSError.
std::wstring WideStringReplace(const std::wstring& s, const std::wstring& oldPattern,
                               const std::wstring& newPattern, unsigned flags, bool wholeWord = false);

// Upper-case copy of `s`, mapped one UTF-16 unit at a time (never changes the length).
std::wstring WideUpperCaseKeepLength(const std::wstring& s);

// Fields of the program's TAB-separated line files: True when `text` holds a TAB, CR, LF or
// NUL, which a plain field cannot carry.
bool WideFieldNeedsEscape(const std::wstring& text);
// `text` with "\" doubled and TAB, CR, LF and NUL written as \t, \r, \n and \0.
std::wstring WideEscapeField(const std::wstring& text);
// The reverse of WideEscapeField into `out`; False for a "\" that starts no known pair.
bool WideUnescapeField(const std::wstring& text, std::wstring& out);

// Line-break styles of WideAdjustLineBreaks.
enum TWideTextLineBreakStyle : unsigned char {
    tlbsLF = 0,
    tlbsCRLF = 1,
    tlbsCR = 2,
};

// Every CR LF pair, lone CR, lone LF and U+2028 becomes the line break of `style`.
std::wstring WideAdjustLineBreaks(const std::wstring& s, unsigned char style = tlbsCRLF);

// Position of `subStr` in `s`, comparing upper-case copies; 0 when absent or empty.
int WideTextPos(const std::wstring& subStr, const std::wstring& s);

// Index of the last character of `s` that occurs in `delimiters` (a NUL in `s` never
// matches); 0 when none.
int WideLastDelimiter(const std::wstring& delimiters, const std::wstring& s);

// `s` without one final "\".
std::wstring WideExcludeTrailingBackslash(const std::wstring& s);
// `s` up to and including the last "\" or ":"; empty when there is none.
std::wstring WideExtractFilePath(const std::wstring& s);
// `s` up to the last "\" or ":", dropping that "\" unless the character before it is ":" or
// "\" (C:\dir\file gives C:\dir, C:\file gives C:\).
std::wstring WideExtractFileDir(const std::wstring& s);
// The text after the last "\" or ":".
std::wstring WideExtractFileName(const std::wstring& s);
// From the last "." (included) when it follows the last "\" and ":"; else empty.
std::wstring WideExtractFileExt(const std::wstring& s);
// `s` without its extension, then `extension` appended as given (the caller supplies the dot).
std::wstring WideChangeFileExt(const std::wstring& s, const std::wstring& extension);

// The system's message text for an error code, exactly as the system gives it (with its
// final line break), or "Unspecified error (%d) from system." when there is none.
std::wstring WideSysErrorMessage(DWORD errorCode);
// The message of `errorCode` from the system and, when `module` is given, from that module.
// Text that is empty or only blanks and control characters gives
// "Unspecified error (%d) from %s." with `moduleName`.
std::wstring WideFormatModuleMessage(const std::wstring& moduleName, HMODULE module, DWORD errorCode);

// `value` when it is not 0; 0 raises EOSError for the last system error.
int CheckOSResult(int value);

// The full file name of a module (nullptr: the running program). Raises EOSError when the
// name cannot be read.
std::wstring WideGetModuleFileName(HMODULE module);

}  // namespace wide
