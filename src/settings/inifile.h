// The section/key file held in memory: the store of "setting.db" and every other
// section/key file of the program.
//
// Layout of the text (all matching on whole lines, nothing trimmed, letter case
// significant):
// - a section header for section S is a line exactly "[" + S + "]";
// - a section line is a line that begins with "[" and has a "]" from its second character
//   on before any "="; it ends the body of the section above it;
// - a key line is any line of a section's body: its name is the text before the first "=",
//   its value the text after it (a line without "=" is all name, with an empty value).
// The first header of a section wins; a key written for the first time goes directly after
// its section's header (newest first); a new section is appended at the end.
//
// Nothing reaches the disk until UpdateFile, which rewrites the whole file atomically as
// UTF-16LE with a byte-order mark. A file that did not load cleanly (see
// TWideStrings::LastLoadLossy) is never written over by UpdateFile; Clear lifts that guard,
// since nothing of the old content is kept after it.
//
// Main thread only; two instances on one file do not see each other's changes.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/errors.h"
#include "controls/wide/widestrings.h"

namespace settings {

// Raised for a write that would corrupt the file, and by UpdateFile after a lossy load.
class EVxIniFileError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

class TVxMemIniFile {
public:
    // Loads `fileName` when it exists (any encoding TWideStrings recognises); a missing
    // file gives an empty list. Opening failure of an existing file raises EFOpenError.
    explicit TVxMemIniFile(const std::wstring& fileName);
    TVxMemIniFile(const TVxMemIniFile&) = delete;
    TVxMemIniFile& operator=(const TVxMemIniFile&) = delete;
    // Saves nothing.
    ~TVxMemIniFile() = default;

    // Value of the first key line named `ident` in the body of `section`; `defaultValue`
    // when the section or the key is missing.
    std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                            const std::wstring& defaultValue) const;
    // The value by the class library's StrToBoolDef: a number (zero False, anything else
    // True) or True / False in any letter case; anything else, the empty text included,
    // gives `defaultValue`.
    bool ReadBool(const std::wstring& section, const std::wstring& ident, bool defaultValue) const;
    // The value by the class library's StrToInt64Def (decimal, or hexadecimal after "$" or
    // "0x", leading blanks and a sign allowed); text that is no integer or does not fit
    // gives `defaultValue`.
    int64_t ReadInt64(const std::wstring& section, const std::wstring& ident, int64_t defaultValue) const;
    // The value as a 32-bit integer by the class library's StrToIntDef (decimal within the
    // signed range, hexadecimal up to 32 bits as its bit pattern); anything else, a number
    // beyond 32 bits included, gives `defaultValue`: 4294967297 is not read as 1.
    int32_t ReadInteger(const std::wstring& section, const std::wstring& ident, int32_t defaultValue) const;
    bool ValueExists(const std::wstring& section, const std::wstring& ident) const;
    // Clears `strings` and adds the name of every section line, in file order (duplicates
    // kept).
    void ReadSections(wide::TWideStrings& strings) const;

    // Replaces the key's line, or inserts it directly after the section's header, or
    // appends the header and the line. A section, key or value holding CR, LF or U+0000
    // would break the file's lines on the next load, and a key that begins with "[" and
    // holds a "]" would read back as a section line: either raises EVxIniFileError and
    // nothing changes.
    void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value);
    // "-1" for True, "0" for False.
    void WriteBool(const std::wstring& section, const std::wstring& ident, bool value);
    void WriteInt64(const std::wstring& section, const std::wstring& ident, int64_t value);

    // Empties the lines (and lifts the lossy-load guard of UpdateFile).
    void Clear();
    // Lifts the lossy-load guard of UpdateFile, keeping the lines that were read: for an owner
    // whose user was told that the file will be written with what could be read.
    void AcceptLossyLoad() { FLossy = false; }
    // Writes all lines to the file given to the constructor, atomically. Raises EFCreateError
    // when the file cannot be written (the old file stays whole), and EVxIniFileError,
    // writing nothing, when the file was loaded lossily and not cleared since.
    void UpdateFile();

    // True when the file was loaded with bytes that could not be kept.
    bool LoadWasLossy() const { return FLossy; }
    const std::wstring& FileName() const { return FFileName; }
    // The lines (read-only view, for owners that walk the file themselves).
    const wide::TWideStringList& Lines() const { return FLines; }

private:
    struct TSectionBody {
        bool found = false;
        int header = -1;  // index of the header line that won
        int first = 0;    // first body line
        int end = 0;      // one past the last body line
    };

    TSectionBody FindSection(const std::wstring& section) const;
    int FindKey(const TSectionBody& body, const std::wstring& ident) const;

    wide::TWideStringList FLines;
    std::wstring FFileName;
    bool FLossy = false;
};

}  // namespace settings
