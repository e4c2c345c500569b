// Runtime helpers with the exact rules the rest of the program relies on: text to number
// and back, Boolean text, banker's rounding, trimming and case, 1-based string positions,
// system error texts and date-times. All functions are thread-safe. Paths and code-page
// conversions live in the wide string layer (controls/wide), not here.
#pragma once

#include <windows.h>

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace classlib {

// --- Integers ---------------------------------------------------------------------------
// Accepted text: leading spaces, an optional sign, then decimal digits, or hexadecimal
// digits after "$", "x", "X", "0x" or "0X". Nothing may follow the digits. Decimal
// values must fit the signed range; hexadecimal ones may use the full unsigned range of
// the type and are read as its bit pattern ("$FFFFFFFF" is -1 for 32 bits). Anything else
// raises EConvertError "'<text>' は正しい整数値ではありません".
int StrToInt(const std::wstring& s);
int StrToIntDef(const std::wstring& s, int defaultValue);
bool TryStrToInt(const std::wstring& s, int& value);
int64_t StrToInt64(const std::wstring& s);
int64_t StrToInt64Def(const std::wstring& s, int64_t defaultValue);
bool TryStrToInt64(const std::wstring& s, int64_t& value);

std::wstring IntToStr(int64_t value);

// Upper-case hexadecimal of the value's bit pattern in its own width (a negative int gives
// 8 digits), padded with zeros to at least `digits`.
std::wstring IntToHexBits(uint64_t bits, int digits);
template <std::integral T>
std::wstring IntToHex(T value, int digits) {
    return IntToHexBits(static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}

// --- Sizes passed to the system ----------------------------------------------------------
// `value` (a size, length or count) as the integer type a system call takes (DWORD, UINT,
// int...). A value that type cannot hold raises ERangeError instead of passing a truncated
// size on. Every such narrowing goes through here.
[[noreturn]] void RaiseWin32SizeError();
template <std::integral To, std::integral From>
constexpr To Win32Size(From value) {
    if (!std::in_range<To>(value)) RaiseWin32SizeError();
    return static_cast<To>(value);
}

// --- Floating point ---------------------------------------------------------------------
// Decimal text with optional sign, fraction and exponent, blanks allowed around it; '.'
// is the decimal separator. Otherwise EConvertError.
double StrToFloat(const std::wstring& s);
double StrToFloatDef(const std::wstring& s, double defaultValue);
bool TryStrToFloat(const std::wstring& s, double& value);
// Shortest general form with 15 significant digits: "0.1", "1E20", "1.5E-7".
std::wstring FloatToStr(double value);

// Rounds half to even ("banker's rounding"): 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2.
// NaN, infinities and values outside the 64-bit range raise EInvalidOp.
int64_t Round(double value);

// --- Booleans ---------------------------------------------------------------------------
// "-1"/"0", or "True"/"False" with useBoolStrs.
std::wstring BoolToStr(bool value, bool useBoolStrs = false);
// Any number (nonzero is true) or "True"/"False" ignoring case. Otherwise EConvertError.
bool StrToBool(const std::wstring& s);
bool StrToBoolDef(const std::wstring& s, bool defaultValue);
bool TryStrToBool(const std::wstring& s, bool& value);

// --- Strings ----------------------------------------------------------------------------
// Remove characters <= ' ' (controls and space) from both ends / the start / the end.
std::wstring Trim(const std::wstring& s);
std::wstring TrimLeft(const std::wstring& s);
std::wstring TrimRight(const std::wstring& s);

// ASCII letters only; every other character is kept.
std::wstring UpperCase(const std::wstring& s);
std::wstring LowerCase(const std::wstring& s);
// Every letter the system knows, one character for one (the length never changes).
std::wstring WideUpperCase(const std::wstring& s);
std::wstring WideLowerCase(const std::wstring& s);
// ASCII case-insensitive comparison (<0, 0, >0) and equality.
int CompareText(const std::wstring& a, const std::wstring& b);
// The order users expect of names in lists: the user's locale, letter case ignored. A text's
// sort key compares byte by byte (as std::string does) the way its text compares; sorting
// many texts makes each key once instead of comparing the texts again and again.
std::string WideSortKey(const std::wstring& s);
bool SameText(const std::wstring& a, const std::wstring& b);
// Equality ignoring letter case the way the registry and the file system compare names
// (ordinal, every letter the system knows). Any length; never throws.
bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

// 1-based position of `sub` in `s` at or after `offset`; 0 when absent. An empty `sub`
// finds nothing.
size_t Pos(const std::wstring& sub, const std::wstring& s, size_t offset = 1);
// Up to `count` characters from the 1-based `index`; out-of-range parts are clamped
// (index < 1 counts as 1, a negative count gives "").
std::wstring Copy(const std::wstring& s, ptrdiff_t index, ptrdiff_t count);

// printf-style formatting into a wide string. Use %ls for wide strings, %d/%lld/%u/%x for
// numbers. A bad format gives "".
std::wstring FormatW(const wchar_t* format, ...);

// `path` with a '\' at the end (unless empty or already ending in '\' or '/').
std::wstring IncludeTrailingPathDelimiter(const std::wstring& path);

// --- System errors ----------------------------------------------------------------------
// The system's text for an error code, without trailing line breaks, blanks and period.
// Empty if unknown.
std::wstring SysErrorMessage(DWORD errorCode);

// Raises EOSError for GetLastError() (or `errorCode`) with the system's text.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD errorCode);

// --- Date and time ----------------------------------------------------------------------
// Days since 1899-12-30 00:00; the fraction is the time of day. For dates before that
// day the whole part counts back and the fraction still counts forward from midnight
// (-1.25 is 1899-12-29 06:00). Times are kept to the millisecond.
using TDateTime = double;

// Local time now.
TDateTime Now();
TDateTime EncodeDate(int year, int month, int day);  // EConvertError if invalid
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
// Throws EConvertError for NaN, infinities and years outside 1..9999.
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& millisecond);
void DateTimeToSystemTime(TDateTime value, SYSTEMTIME& st);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
// A file time (UTC) as local time, or as UTC with toLocal false.
TDateTime FileTimeToDateTime(const FILETIME& ft, bool toLocal = true);

// Formats with the specifiers yyyy yy m mm d dd h hh n nn s ss z zzz (any case; "m"/"mm"
// right after an hour are minutes), "c" (date, then the time unless it is midnight),
// '/' and ':' as themselves, and text in "double" or 'single' quotes copied as is.
// Example: "yyyy/mm/dd hh:nn:ss" gives "2024/01/05 09:03:07".
std::wstring FormatDateTime(const std::wstring& format, TDateTime value);
// FormatDateTime("c").
std::wstring DateTimeToStr(TDateTime value);

}  // namespace classlib
