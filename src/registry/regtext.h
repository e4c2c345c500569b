// Registry script text of one key, type names and display texts of value data.
#pragma once

#include "registry/regrecords.h"

#include "classlib/streams.h"

#include <cstddef>
#include <cstdint>

// The registry script (version 5.00) of Key's own values, no subkeys: the header line, an
// empty line, "[" FFullPath "]", then one line per value; every line ends with CR LF.
// Names and REG_SZ data escape "\" and '"'. A value that cannot be read is left out with a
// ";" comment line naming it. REG_SZ data that is not a clean string (odd length or an
// embedded NUL) is written as hex(1): bytes so it round-trips unchanged.
std::wstring BuildKeyRegScript(const TVxRegKeyClass& Key);

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
