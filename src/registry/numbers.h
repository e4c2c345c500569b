// Number and digit conversions shared by the registry core, the value editors and the
// undo list: digit values, radix texts, fixed-width hexadecimal, and the hexadecimal coding
// of UTF-16 text.
//
// Any thread; none of them throws.
#pragma once

#include <cstdint>
#include <string>

namespace registry {

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

}  // namespace registry
