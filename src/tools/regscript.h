// Whether a file is a registry script the system registry editor imports: it starts (after an
// optional byte-order mark) with "Windows Registry Editor Version 5.00" or "REGEDIT4" on a
// line of its own. The editor itself says nothing about other files (it ends as after an
// import), so the import command asks this first.
//
// Any thread; reads at most the first few hundred bytes.
#pragma once

#include <string>

namespace tools {

// The header check on the first bytes of a file (UTF-16LE with its mark, UTF-8 with or
// without one, or the system code page).
bool HasRegScriptHeader(const std::string& firstBytes);
// The same on a file; false when it cannot be read.
bool IsRegScriptFile(const std::wstring& fileName);

}  // namespace tools
