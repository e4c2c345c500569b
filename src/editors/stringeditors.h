// What the string and expandable-string editors compute: the text of a chosen file or
// folder, the environment variables they offer, and the preview of a text with the
// variables expanded.
//
// Main thread for the registry reading; the text functions on any thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace editors {

// The value text for a chosen file: the path, in double quotes with `quote`, followed by
// a blank and "%1" in double quotes with `appendParameter`.
std::wstring FileChoiceText(const std::wstring& path, bool quote, bool appendParameter);
// The value text for a chosen folder: in double quotes with `quote`; never a parameter.
std::wstring FolderChoiceText(const std::wstring& folder, bool quote);

// One entry of the variable list: "%NAME%" and the value as stored (not expanded).
struct TEnvironmentVariable {
    std::wstring Item;
    std::wstring Value;
};

// Appends the variables of one key in enumeration order: every value with a non-empty
// name whose item is not in the list yet (compared ignoring case). Values that are no
// string (neither REG_SZ nor REG_EXPAND_SZ) or cannot be read are skipped, so one odd
// value does not cut the list short. A key that does not open adds nothing.
void AppendEnvironmentVariables(std::vector<TEnvironmentVariable>& list, HKEY root, const std::wstring& path);
// The machine's variables, then the user's that the machine has not.
std::vector<TEnvironmentVariable> ListEnvironmentVariables();

// `text` with the variables of this process expanded by the system, however long the
// result; a variable that is not defined stays as written.
std::wstring ExpandEnvironmentPreview(const std::wstring& text);

}  // namespace editors
