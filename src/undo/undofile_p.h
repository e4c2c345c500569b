// Private to src/undo: reading and writing the lines of "Undo.db".
#pragma once

#include <string>
#include <vector>

namespace undo {

namespace file {

enum class TReadResult {
    Missing,  // the file does not exist
    Read,     // Lines holds every line
    Lossy,    // the file exists but could not be read or decoded without loss; Lines
              // holds what could be read (nothing when it could not be opened)
};

// Lines of a text file (TWideStringList: encoding by byte-order mark, 8-bit text in the
// system code page; lines end at CR LF, CR or LF; a final line break adds no empty line).
TReadResult ReadLines(const std::wstring& FileName, std::vector<std::wstring>& Lines);

// UTF-16LE with byte-order mark, CR LF after every line, written to a temporary file in
// the same folder and moved over FileName. False (old file whole) on failure.
bool WriteLines(const std::wstring& FileName, const std::vector<std::wstring>& Lines);

// The "Undo" folder inside the settings folder ("Settings" beside the executable).
std::wstring SettingsUndoDir();

// The system's temporary folder.
std::wstring TempDir();

}  // namespace file

}  // namespace undo
