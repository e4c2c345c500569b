// Digits, radix conversions and the hexadecimal coding of UTF-16 text.
#include "registry/numbers.h"

#include <vector>

namespace registry {

// --- Numbers and digits ----------------------------------------------------------------

int HexDigitValue(wchar_t C) {
    if (C >= L'0' && C <= L'9') return C - L'0';
    if (C >= L'A' && C <= L'F') return C - L'A' + 10;
    if (C >= L'a' && C <= L'f') return C - L'a' + 10;
    return 0;
}

std::wstring HexDigitChar(int N) {
    if (N >= 10 && N <= 15) return std::wstring(1, static_cast<wchar_t>(L'A' + N - 10));
    return std::to_wstring(N);
}

uint64_t IntPower64(unsigned Exponent, uint64_t Base) {
    uint64_t result = 1;
    for (unsigned i = 0; i < Exponent; ++i) result *= Base;
    return result;
}

uint64_t RadixStrToInt64(const std::wstring& S, unsigned Radix) {
    if (Radix < 2) return 0;
    uint64_t sum = 0, place = 1;
    for (size_t i = S.size(); i-- > 0;) {
        sum += static_cast<uint64_t>(HexDigitValue(S[i])) * place;
        place *= Radix;
    }
    return sum;
}

uint32_t RadixStrToInt32(const std::wstring& S, unsigned Radix) {
    // Place values wrap in 32 bits; for every place value that fits in 64 bits this equals
    // the power truncated to its low 32 bits, and longer input still gives an orderly value.
    if (Radix < 2) return 0;
    uint32_t sum = 0, place = 1;
    for (size_t i = S.size(); i-- > 0;) {
        sum += static_cast<uint32_t>(HexDigitValue(S[i])) * place;
        place *= Radix;
    }
    return sum;
}

uint64_t DecStrToInt64(const std::wstring& S) {
    uint64_t sum = 0, place = 1;
    for (size_t i = S.size(); i-- > 0;) {
        if (S[i] >= L'0' && S[i] <= L'9') sum += static_cast<uint64_t>(S[i] - L'0') * place;
        place *= 10;
    }
    return sum;
}

std::wstring UInt64ToRadixStr(uint64_t Value, unsigned Radix) {
    if (Radix < 2) return {};
    if (Value == 0) return L"0";
    std::vector<std::wstring> digits;
    while (Value) {
        digits.push_back(HexDigitChar(static_cast<int>(Value % Radix)));
        Value /= Radix;
    }
    std::wstring out;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) out += *it;
    return out;
}

std::wstring UInt32ToRadixStr(uint32_t Value, unsigned Radix) {
    return UInt64ToRadixStr(Value, Radix);
}

std::wstring Int64ToHex16(uint64_t Value) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out(16, L'0');
    for (int i = 15; i >= 0; --i, Value >>= 4) out[i] = digits[Value & 15];
    return out;
}

std::wstring Int64ToUnsignedStr(uint64_t Value) { return std::to_wstring(Value); }

// --- Text coding -----------------------------------------------------------------------

std::wstring WideStrToHex(const std::wstring& S) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(S.size() * 4);
    for (wchar_t c : S) {
        const unsigned lo = c & 0xFF, hi = (c >> 8) & 0xFF;
        out += digits[lo >> 4];
        out += digits[lo & 15];
        out += digits[hi >> 4];
        out += digits[hi & 15];
    }
    return out;
}

std::wstring HexToWideStr(const std::wstring& Hex) {
    auto isHex = [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
    };
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < Hex.size(); i += 2) {
        if (!isHex(Hex[i]) || !isHex(Hex[i + 1])) break;
        bytes.push_back(static_cast<unsigned char>(HexDigitValue(Hex[i]) * 16 +
                                                   HexDigitValue(Hex[i + 1])));
    }
    std::wstring out;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned high = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const wchar_t c = static_cast<wchar_t>(bytes[i] | (high << 8));
        if (c == 0) break;
        out += c;
    }
    return out;
}

}  // namespace registry
