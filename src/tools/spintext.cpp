#include "tools/spintext.h"


namespace tools {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }

int DigitValue(wchar_t c, unsigned base) {
    int value = -1;
    if (c >= L'0' && c <= L'9') value = c - L'0';
    else if (c >= L'a' && c <= L'f') value = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') value = c - L'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace

TSpinText ReadSpinText(const std::wstring& text, int32_t min, int32_t max, int32_t previous) {
    const TSpinText notANumber{TSpinTextState::NotANumber, previous};
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    size_t i = first;
    bool negative = false;
    if (i < last && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    unsigned base = 10;
    if (i < last && (text[i] == L'$' || text[i] == L'x' || text[i] == L'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < last && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i >= last) return notANumber;
    // The magnitude stops growing once it is beyond every 32-bit bound.
    constexpr int64_t kBeyond = int64_t{1} << 40;
    int64_t magnitude = 0;
    for (; i < last; ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) return notANumber;
        if (magnitude < kBeyond) magnitude = magnitude * base + digit;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < min) return {TSpinTextState::Clamped, min};
    if (value > max) return {TSpinTextState::Clamped, max};
    return {TSpinTextState::Valid, static_cast<int32_t>(value)};
}

}  // namespace tools
