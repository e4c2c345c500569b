// Registry script text of one key, type names and display texts of value data.
#pragma once

#include "registry/regops.h"
#include "registry/regrecords.h"

#include "classlib/streams.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace registry {

// The registry script (version 5.00) of Key's own values, no subkeys: the header line, an
// empty line, "[" FFullPath "]", then one line per value; every line ends with CR LF.
// Names and REG_SZ data escape "\" and '"'. Every value is written so that importing the
// script stores exactly its type and bytes: REG_SZ data that is not a clean string (odd
// length, an embedded NUL, a line break, no terminating NUL, no data at all) is written as
// hex(1): bytes like every other type. A value that cannot be read, or whose name holds CR
// or LF (no script line can carry it), is left out with a ";" comment line naming it.
std::wstring BuildKeyRegScript(const TVxRegKeyClass& Key);

// The script of Key and its whole subtree in the same form: one section per key, a key's
// section (after an empty line) and values before its subkeys, subkeys in enumeration
// order. True when every key and value below Key is in Script exactly, so that importing
// it recreates the tree byte for byte; False when anything was left out (a value or key
// as above, a key whose name holds CR or LF, a key that cannot be opened or enumerated) or
// Key itself cannot be opened. Script holds the text either way. Any depth of tree.
// Progress (optional) is told the keys read so far after each key; when it asks to stop
// the result is False with ERROR_CANCELLED as the status.
bool BuildKeyTreeRegScript(const TVxRegKeyClass& Key, std::wstring& Script,
                           const TRegTreeProgress* Progress = nullptr);

// A value of a registry script read back; an empty name is the key's default value.
struct TRegScriptValue {
    std::wstring Name;
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
};
// A section of a registry script read back: the key's full path and its values in order.
struct TRegScriptKey {
    std::wstring FullPath;
    std::vector<TRegScriptValue> Values;
};

// Reads a script in exactly the form the two builders above write: the header line, then
// empty lines, ";" comment lines, "[" full path "]" sections, and value lines ("name"= or
// @= followed by a quoted string or hex(type): bytes), each ending with CR LF; a leading
// byte-order mark is skipped. False for anything else (scripts of other writers may wrap
// lines or use other forms of data); Keys is then unspecified.
bool ParseOwnRegScript(const std::wstring& Script, std::vector<TRegScriptKey>& Keys);

// Makes every value of Keys hold exactly the script's type and bytes, creating keys that
// are missing; values that are exact already are not written. True when every key and
// value is exact afterwards. Keys of other computers are not reached (False).
bool ApplyRegScriptExactly(const std::vector<TRegScriptKey>& Keys);

// "REG_NONE" ... "REG_QWORD" for 0..11; "不明" for any other number.
std::wstring RegTypeToName(DWORD Type);

// The four bytes of a type 4 (little-endian) or 5 (big-endian) value; 0 for other types.
// Data shorter than the number reads as if padded with zero bytes at its end.
uint32_t ReadDWordFromStream(classlib::TCustomMemoryStream& Stream, DWORD Type);
uint32_t ReadDWordFromData(const void* Data, size_t Size, DWORD Type);
// The eight little-endian bytes of a type 11 or 12 value; 0 for other types.
uint64_t ReadQWordFromStream(classlib::TCustomMemoryStream& Stream, DWORD Type);
uint64_t ReadQWordFromData(const void* Data, size_t Size, DWORD Type);

// Types 4 and 5: "0x" + 8 upper-case hex digits + "(" + unsigned decimal + ")"; any other
// type as a QWORD with 16 digits.
std::wstring FormatIntValueText(classlib::TCustomMemoryStream& Stream, DWORD Type);
std::wstring FormatIntValueText(const void* Data, size_t Size, DWORD Type);

// Display text of any value's data: empty for no data; types 1 and 2 the UTF-16 text up to
// the first NUL; type 7 each string followed by CR LF up to the first empty string; other
// types with HexDump the first 129 bytes as "XX " groups, without it the bytes read as
// UTF-16 up to the first NUL.
std::wstring FormatValueDataText(classlib::TCustomMemoryStream& Stream, DWORD Type,
                                 bool HexDump);
std::wstring FormatValueDataText(const void* Data, size_t Size, DWORD Type, bool HexDump);

}  // namespace registry
