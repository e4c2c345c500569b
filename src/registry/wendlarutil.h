// General helpers shared by the registry core, the value editors, favorites and tools:
// file and folder choosers, number/digit conversions, hexadecimal coding of UTF-16 text,
// temporary file names, long path names, a folder walk and a gradient painter.
//
// The dialog functions run on the main thread only; everything else on any thread.
// None of them throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace registry {

// --- Dialogs ---------------------------------------------------------------------------

// The system file-open (Open) or file-save dialog owned by Owner. Filter is the "|"-joined
// list of description and pattern pairs. FileName is the initial name on entry and the
// chosen path on True; unchanged on False (cancel or failure).
bool ShowFileDialog(HWND Owner, const std::wstring& DefaultExt, const std::wstring& Filter,
                    const std::wstring& InitialDir, const std::wstring& Title,
                    std::wstring& FileName, bool FileMustExist, bool OverwritePrompt,
                    bool NoChangeDir, bool Open, int FilterIndex);
// The system folder chooser, opening at InitialFolder (may be null); Folder set on True.
bool BrowseForFolder(HWND Owner, const std::wstring& Title, const wchar_t* InitialFolder,
                     std::wstring& Folder);

// --- Numbers and digits (digits above 9 are A..F) --------------------------------------

// 'A'..'F' / 'a'..'f' give 10..15, a decimal digit its value, anything else 0.
int HexDigitValue(wchar_t C);
// 10..15 give "A".."F"; any other N its decimal text.
std::wstring HexDigitChar(int N);
// Base multiplied Exponent times onto 1, wrapping in 64 bits.
uint64_t IntPower64(unsigned Exponent, uint64_t Base);
// Sum of digit value x Radix^place, wrapping in 64 / 32 bits. Characters outside the
// radix count with their digit value. A radix below 2 gives 0.
uint64_t RadixStrToInt64(const std::wstring& S, unsigned Radix);
uint32_t RadixStrToInt32(const std::wstring& S, unsigned Radix);
// Decimal digits from the right; a non-digit counts 0 but keeps its place; wraps.
uint64_t DecStrToInt64(const std::wstring& S);
// Digits of Value in Radix, most significant first (each digit as HexDigitChar gives it),
// "0" for 0. A radix below 2 gives the empty text.
std::wstring UInt64ToRadixStr(uint64_t Value, unsigned Radix);
std::wstring UInt32ToRadixStr(uint32_t Value, unsigned Radix);
// Exactly 16 upper-case hexadecimal digits.
std::wstring Int64ToHex16(uint64_t Value);
// Unsigned decimal text.
std::wstring Int64ToUnsignedStr(uint64_t Value);

// --- Text coding -----------------------------------------------------------------------

// The UTF-16LE bytes of S, two upper-case hex digits each ("A" gives "4100").
std::wstring WideStrToHex(const std::wstring& S);
// The reverse: digit pairs to bytes up to the first pair that is not two hex digits; the
// bytes read as UTF-16LE up to the first NUL character.
std::wstring HexToWideStr(const std::wstring& Hex);

// --- Files and folders -----------------------------------------------------------------

// The extension of FileName (with its dot) equals Ext ignoring case.
bool FileHasExt(const std::wstring& FileName, const std::wstring& Ext);
// GetLongPathNameW; Path itself when that fails.
std::wstring GetLongPath(const std::wstring& Path);
// A fresh name in Dir made from Prefix (at most 3 characters used) with extension Ext
// (".reg"). The final name is reserved by creating it as an empty file with CREATE_NEW
// (retrying with another name when it exists), so no other caller can be given the same
// name; the caller overwrites or deletes it. Empty when no name could be made (for
// example a missing folder).
std::wstring MakeTempFileName(const std::wstring& Dir, const std::wstring& Prefix,
                              const std::wstring& Ext);
// MakeTempFileName in the system's temporary folder.
std::wstring MakeTempFileNameInTempDir(const std::wstring& Prefix, const std::wstring& Ext);

// Entry kinds of EnumFiles.
enum TEnumFilesMode : int { efAll = 0, efFolders = 1, efFiles = 2 };
using TEnumFilesCallback =
    std::function<void(const std::wstring& FullPath, const WIN32_FIND_DATAW& FindData)>;
// Calls Callback for every entry of Dir the mode admits ("." and ".." skipped), in the file
// system's order; with Recurse a folder's content follows right after the folder's own
// call. A missing folder gives no call. The callback's context is whatever it captures.
void EnumFiles(const std::wstring& Dir, bool Recurse, TEnumFilesMode Mode,
               const TEnumFilesCallback& Callback);

// --- Painting --------------------------------------------------------------------------

// Fills Rect with a linear gradient of pen lines, one per column (Horizontal) or row.
// Colours are 0x00BBGGRR or system colours (high byte 0xFF, low byte the COLOR_ index).
// Positions enter the formula as they are: a rectangle starting further right begins
// part-way through the range.
void GradientFillLines(HDC DC, uint32_t StartColor, uint32_t EndColor, bool Horizontal,
                       const RECT& Rect, bool Reverse);

}  // namespace registry
