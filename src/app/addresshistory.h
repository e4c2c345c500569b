// The address history: every path the user went to, newest first, without duplicates
// (letter case ignored), kept in "History.db" (a line list file: UTF-16LE with byte-order
// mark, one path per line) and written after every change, whole and atomically.
//
// One thread at a time; Add and Clear raise the line list's file error when the file
// cannot be written.
#pragma once

#include "controls/wide/widestrings.h"

#include <string>

namespace app {

class TAddressHistory {
public:
    // `fileName`: the history file, normally the "Settings" folder + "History.db".
    explicit TAddressHistory(std::wstring fileName);

    // Reads the file (a missing file gives an empty history). A file that could not be read
    // without loss is not written over by Add; Clear, which the user asks for, replaces it.
    void Load();
    // Puts `path` at the top: an equal path (letter case ignored) moves there; an empty
    // path adds nothing. Creates the folder of the file when missing, then saves.
    void Add(const std::wstring& path);
    // Empties the history and saves it (the file then holds only the byte-order mark).
    void Clear();

    const wide::TWideStringList& Lines() const { return FLines; }
    const std::wstring& FileName() const { return FFileName; }

private:
    void Save();

    std::wstring FFileName;
    wide::TWideStringList FLines;
    bool FKeepFile = false;  // the last load was lossy
};

}  // namespace app
