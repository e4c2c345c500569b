// Building blocks of the hex editor that know nothing of the editor itself: its exception
// and message texts, the byte store with range-checked positions, the colour set, number
// and offset-format texts, hex text conversion and the byte translations.
//
// Everything here runs on the calling thread and keeps no global mutable state except the
// two custom translation tables, which start as the identity and are never changed by the
// program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/errors.h"

namespace hexedit {

// Every failure of the hex editor that is not a file error.
class EHexEditor : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// The English message texts. Texts with %-fields are filled by HexFormat below.
namespace hexmsg {
inline constexpr const wchar_t* DataBounds = L"Data position/length out of data bounds";
inline constexpr const wchar_t* DataTooLarge = L"Data of %d bytes or more cannot be edited";
inline constexpr const wchar_t* InvalidBytesPerLine = L"Invalid bytes per line argument";
inline constexpr const wchar_t* InvalidBytesPerColumn = L"Invalid bytes per column argument";
inline constexpr const wchar_t* UnicodeBytesPerUnit = L"BytesPerUnit must be set to 2 in unicode mode";
inline constexpr const wchar_t* InvalidBytesPerUnit = L"Invalid bytes per unit value %d, allowed: 1,2,4,8";
inline constexpr const wchar_t* InvalidRulerBytesPerUnit =
    L"Invalid ruler bytes per unit value %d, allowed: -1,1,2,4,8";
inline constexpr const wchar_t* InvalidSelStart = L"Invalid selection start";
inline constexpr const wchar_t* InvalidSelEnd = L"Invalid selection end";
inline constexpr const wchar_t* InvalidBookmark = L"Invalid bookmark index";
inline constexpr const wchar_t* InvalidRadixChar = L"Invalid character %s, cannot convert using radix %xh";
inline constexpr const wchar_t* RadixOverflow = L"Number %s too large, cannot convert using radix %xh";
inline constexpr const wchar_t* MissingFormatChar = L"Missing char in offset format: %s";
inline constexpr const wchar_t* FormatNumberRadix = L"number radix";
inline constexpr const wchar_t* InvalidFormatRadix = L"Invalid radix in offset format (%xh), allowed: 02h..10h";
inline constexpr const wchar_t* InvalidFormatMinDigits =
    L"Invalid minimum digit count in offset format (%xh), allowed: 00h..FFh";
inline constexpr const wchar_t* NoTranslationInUnicode = L"Translations cannot be used in unicode mode";
inline constexpr const wchar_t* OddSizedUnicode = L"Cannot use unicode mode with odd-sized files";
inline constexpr const wchar_t* SaveReadOnly = L"Cannot save readonly file %s.";
inline constexpr const wchar_t* CannotOpen = L"Cannot open %s.\r\n(%s.)";
inline constexpr const wchar_t* Cancelled = L"Operation cancelled";
inline constexpr const wchar_t* CannotUndo = L"Cannot update undo storage";
inline constexpr const wchar_t* Untitled = L"Untitled";
inline constexpr const wchar_t* InvalidBookmarkBitmap = L"Invalid bookmark bitmap (must be 10 x 200 px)";
}  // namespace hexmsg

// Fills "%d", "%s" and "%x" fields in order ("%x" as upper-case hex). Only what the
// messages above need; "%%" gives "%".
struct THexArg {
    THexArg(long long v) : Number(v), IsNumber(true) {}
    THexArg(int v) : Number(v), IsNumber(true) {}
    THexArg(std::wstring s) : Text(std::move(s)) {}
    THexArg(const wchar_t* s) : Text(s) {}
    long long Number = 0;
    std::wstring Text;
    bool IsNumber = false;
};
std::wstring HexFormat(const wchar_t* pattern, std::initializer_list<THexArg> args);

// ---- Byte store --------------------------------------------------------------------------

// The editor's bytes: one contiguous block, positions 0-based and 32-bit. Every
// position-addressed accessor checks its range and raises EHexEditor(DataBounds); sizes
// above INT32_MAX are refused with EHexEditor(DataTooLarge). Growing does not clear the new
// bytes; callers fill them.
class THexMemoryStream {
public:
    THexMemoryStream() = default;
    THexMemoryStream(const THexMemoryStream&) = delete;
    THexMemoryStream& operator=(const THexMemoryStream&) = delete;

    int Size() const { return FSize; }
    void SetSize(long long newSize);
    void Clear() { FData.reset(); FSize = 0; FCapacity = 0; }

    // Address of the byte at pos; pos >= 0 and pos + count <= Size.
    uint8_t* GetAddress(long long pos, long long count);
    const uint8_t* GetAddress(long long pos, long long count) const;
    void WriteAt(const void* source, long long pos, long long count);
    void ReadAt(void* dest, long long pos, long long count) const;
    void MoveBytes(long long fromPos, long long toPos, long long count);
    // 2*count upper-case hex digits of the bytes at pos.
    std::string ReadHex(long long pos, long long count, bool swapNibbles) const;

    // Opens a gap of `count` uninitialised bytes at pos (0..Size), moving the tail up.
    void InsertGap(long long pos, long long count);
    // Removes the bytes pos .. pos+count-1, moving the tail down.
    void Remove(long long pos, long long count);

    uint8_t* Data() { return FData.get(); }
    const uint8_t* Data() const { return FData.get(); }

private:
    void Check(long long pos, long long count) const;
    void Reserve(long long capacity);

    std::unique_ptr<uint8_t[]> FData;
    int FSize = 0;
    long long FCapacity = 0;
};

// ---- Colours -----------------------------------------------------------------------------

using THexColor = uint32_t;  // 0x00BBGGRR; high byte 0xFF names a system colour by index

class TCustomHexEditor;

// The thirteen colours the editor paints with. Setting a colour to a new value tells the
// owner (which repaints, and takes Background as its control colour).
class THexColors {
public:
    explicit THexColors(TCustomHexEditor* owner = nullptr);

    enum TIndex {
        ciBackground, ciChangedBackground, ciChangedText, ciCursorFrame, ciOffset, ciOddColumn,
        ciEvenColumn, ciCurrentOffsetBackground, ciOffsetBackground, ciCurrentOffset, ciGrid,
        ciNonFocusCursorFrame, ciActiveFieldBackground, ciCount
    };

    THexColor Get(TIndex i) const { return FColors[i]; }
    void Set(TIndex i, THexColor value);

    THexColor Background() const { return FColors[ciBackground]; }
    THexColor ChangedBackground() const { return FColors[ciChangedBackground]; }
    THexColor ChangedText() const { return FColors[ciChangedText]; }
    THexColor CursorFrame() const { return FColors[ciCursorFrame]; }
    THexColor Offset() const { return FColors[ciOffset]; }
    THexColor OddColumn() const { return FColors[ciOddColumn]; }
    THexColor EvenColumn() const { return FColors[ciEvenColumn]; }
    THexColor CurrentOffsetBackground() const { return FColors[ciCurrentOffsetBackground]; }
    THexColor OffsetBackground() const { return FColors[ciOffsetBackground]; }
    THexColor CurrentOffset() const { return FColors[ciCurrentOffset]; }
    THexColor Grid() const { return FColors[ciGrid]; }
    THexColor NonFocusCursorFrame() const { return FColors[ciNonFocusCursorFrame]; }
    THexColor ActiveFieldBackground() const { return FColors[ciActiveFieldBackground]; }

    void SetBackground(THexColor v) { Set(ciBackground, v); }

    // Copies every colour through the setters (in the fixed assignment order); nullptr
    // (any other kind of source) changes nothing.
    void Assign(const THexColors* source);

private:
    TCustomHexEditor* FOwner;
    THexColor FColors[ciCount];
};

// ---- Numbers, hex text, translations -----------------------------------------------------

// Digits of value in radix (2..16) from "0123456789ABCDEF", left-padded with "0" to minLen.
std::wstring IntToRadixLen(uint32_t value, int radix, int minLen);
inline std::wstring IntToRadix(uint32_t value, int radix) { return IntToRadixLen(value, radix, 0); }
// Upper-cases text and reads it in radix. A digit not below radix raises InvalidRadixChar;
// a value beyond INT32_MAX raises RadixOverflow. Empty text gives 0.
int RadixToInt(const std::wstring& text, int radix);

// Two hex digits per byte, high nibble first (low first with swapNibbles).
std::string ConvertBinToHex(const uint8_t* source, size_t count, bool swapNibbles);
// Reads hex digits, skipping other characters; pairs give bytes; an unpaired last digit is
// dropped.
std::string ConvertHexToBin(const char* hex, size_t count, bool swapNibbles);
inline void SwapWideChar(wchar_t& c) { c = static_cast<wchar_t>(((c & 0xFF) << 8) | ((c >> 8) & 0xFF)); }

enum THexTranslationKind : uint8_t { tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom };
const wchar_t* TranslationLongName(THexTranslationKind kind);
const wchar_t* TranslationShortName(THexTranslationKind kind);

// The 256-byte tables: from-table maps an ANSI byte to the stored byte, to-table back.
extern const uint8_t MacFromTable[256];
extern const uint8_t EbcdicFromTable[256];
const uint8_t* TranslationFromTable(THexTranslationKind kind);  // nullptr for AsIs/Dos8/ASCII
const uint8_t* TranslationToTable(THexTranslationKind kind);

// Block forms: tkAsIs copies, tkDos8/tkASCII use the OEM conversion, the table kinds map
// each byte; kinds past tkCustom (taken modulo 128) leave dest untouched.
void TranslateFromAnsi(int kind, const uint8_t* source, uint8_t* dest, size_t count);
void TranslateToAnsi(int kind, const uint8_t* source, uint8_t* dest, size_t count);

// True for the byte values shown as the mask character and refused as typed input.
inline bool IsMaskedByte(unsigned value) { return value < 0x20; }

}  // namespace hexedit
