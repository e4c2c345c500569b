// The address history: every path the user went to, newest first, without duplicates
// (letter case ignored as the string lists compare), kept in "History.db" (a line list file:
// UTF-16LE with byte-order mark, one path per line) and written after every change, whole
// and atomically.
//
// Cost: loading is one pass over the file; the first Add builds a set of the lines' compare
// keys (one pass), after which an Add looks a path up in the set and moves or inserts one
// line; the file is written once per change. Nothing is quadratic in the number of lines.
//
// One thread at a time; Add and Clear raise the line list's file error when the file
// cannot be written.
#pragma once

#include "controls/wide/widestrings.h"

#include <string>
#include <unordered_map>

namespace app {

class TAddressHistory {
public:
    // `fileName`: the history file, normally the "Settings" folder + "History.db".
    explicit TAddressHistory(std::wstring fileName);

    // Reads the file (a missing file gives an empty history). A file that could not be read
    // without loss is not written over by Add; Clear, which the user asks for, replaces it.
    // Lines are kept as read (a file written elsewhere may hold a path twice).
    void Load();
    // Puts `path` at the top: the first equal path (letter case ignored) moves there, else
    // the path is inserted there; an empty path adds nothing. Creates the folder of the file
    // when missing, then saves. Returns the line the path was taken from (-1 when it was new
    // or empty), so a list that shows the lines can follow with one move.
    int Add(const std::wstring& path);
    // Empties the history and saves it (the file then holds only the byte-order mark).
    void Clear();

    const wide::TWideStringList& Lines() const { return FLines; }
    const std::wstring& FileName() const { return FFileName; }

private:
    void Save();
    // The compare key of a line: equal for two lines exactly when the string lists call them
    // equal.
    static std::wstring KeyOf(const std::wstring& line);

    std::wstring FFileName;
    wide::TWideStringList FLines;
    // How many lines have each compare key; built at the first Add (empty until then).
    std::unordered_map<std::wstring, int> FKeys;
    bool FKeysBuilt = false;
    bool FKeepFile = false;  // the last load was lossy
};

}  // namespace app
