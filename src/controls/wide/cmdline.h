// Splitting the UTF-16 command line into parameters.
//
// The rules are the program's own (not CommandLineToArgvW): parameters are separated by
// characters with codes 1 to 32; a double quote opens a part that runs to the next double
// quote (or the end) and may hold blanks; quoted and unquoted parts join into one
// parameter; the quotes are dropped; a pair of double quotes between parameters is skipped.
// Backslashes have no special meaning, so "C:\dir\" stays as written.
#pragma once

#include <string>

namespace wide {

// Parses one parameter from `p` (a NUL-terminated text) into `param` and returns the
// position after it (on its ending character). `param` is empty when the text is exhausted.
const wchar_t* WideParseNextParam(const wchar_t* p, std::wstring& param);

// Number of parameters after the program's name, counted up to the first empty one.
int WideParamCount();
// The same for a given command line (its first parameter is the program's name).
int WideParamCount(const wchar_t* commandLine);

// Index 0: the full file name of the running program (from the module, not from the
// command line; raises EOSError when it cannot be read). Index N >= 1: the N-th parameter
// after the program's name; empty when missing or when `index` is negative.
std::wstring WideParamStr(int index);
// The same for a given command line (index 0 is still the running program's file name).
std::wstring WideParamStr(int index, const wchar_t* commandLine);

}  // namespace wide
