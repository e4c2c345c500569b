// Where the program keeps its data between runs: the "Settings" folder inside the folder
// of the program file, and the helpers that build its paths and read one option.
//
// Main thread only (they read the command line and the program's file name).
#pragma once

#include <string>

namespace settings {

// The folder of the program file `programFile` (up to and including its last "\") plus
// "Settings\". A program at a drive root gives "X:\Settings\".
std::wstring SettingsFolderOf(const std::wstring& programFile);

// Creates the "Settings" folder beside the program (one level; an existing folder or a
// failure is ignored) and returns its path plus `name`.
std::wstring GetSettingsFilePath(const std::wstring& name);

// ReadBool("Main", name, defaultValue) of "Settings\setting.db" beside the program, read
// through a short-lived section/key file. Creates nothing; a missing file gives the default.
bool ReadMainSettingBool(const std::wstring& name, bool defaultValue);

// The command-line parameters 1 to WideParamCount joined by single blanks (the quotes of
// the command line are not part of the parameters); empty without parameters.
std::wstring JoinCommandLine();
// The same for a given command line (its first parameter is the program's name).
std::wstring JoinCommandLine(const wchar_t* commandLine);

}  // namespace settings
