#include "search/find_matcher.h"

#include "classlib/runtime.h"

#include <charconv>
#include <cstring>

namespace search {

using namespace registry;

namespace {

void LowerInPlace(std::wstring& text) {
    if (!text.empty()) CharLowerBuffW(text.data(), classlib::Win32Size<DWORD>(text.size()));
}

void AppendUnsigned(uint64_t value, std::wstring& out) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.assign(digits, end);
}

// Code unit `i` of data read as UTF-16LE, the missing high byte of an odd last byte as 0.
wchar_t UnitAt(const BYTE* data, size_t size, size_t i) {
    size_t at = i * 2;
    unsigned low = data[at];
    unsigned high = at + 1 < size ? data[at + 1] : 0;
    return static_cast<wchar_t>(low | (high << 8));
}

}  // namespace

TFindMatcher::TFindMatcher(const TWendlarFindRecord& record, TVxOnigurumaRegExp* regex)
    : FUseRegex(record.UseRegex),
      FIgnoreCase(record.IgnoreCase),
      FWholeMatch(record.WholeMatch),
      FRegex(regex),
      FKeyword(record.Keyword) {
    if (FUseRegex) {
        if (FRegex) FRegex->SetPattern(record.Keyword);
    } else if (FIgnoreCase) {
        LowerInPlace(FKeyword);
    }
}

bool TFindMatcher::IsMatch(std::wstring_view text) {
    if (FUseRegex) return FRegex && FRegex->HasExpression() && FRegex->Test(text);
    if (FWholeMatch) {
        if (text.size() != FKeyword.size()) return false;
    } else if (FKeyword.empty() || text.size() < FKeyword.size()) {
        return false;
    }
    if (FIgnoreCase) {
        FLower.assign(text);
        LowerInPlace(FLower);
        text = FLower;
    }
    return FWholeMatch ? text == FKeyword : text.find(FKeyword) != std::wstring_view::npos;
}

void FindDataText(DWORD type, const BYTE* data, size_t size, std::wstring& out) {
    out.clear();
    if (size == 0 || !data) return;
    if ((type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN) && size == 4) {
        uint32_t v;
        std::memcpy(&v, data, 4);
        if (type == REG_DWORD_BIG_ENDIAN) v = __builtin_bswap32(v);
        AppendUnsigned(v, out);
        return;
    }
    if ((type == REG_QWORD || type == 12) && size == 8) {
        uint64_t v;
        std::memcpy(&v, data, 8);
        AppendUnsigned(v, out);
        return;
    }
    size_t units = (size + 1) / 2;
    if (type == REG_MULTI_SZ) {
        size_t i = 0;
        while (i < units) {
            size_t start = i;
            while (i < units && UnitAt(data, size, i) != 0) ++i;
            if (i == start) break;  // the empty string ends the list
            for (size_t k = start; k < i; ++k) out.push_back(UnitAt(data, size, k));
            out += L"\r\n";
            ++i;
        }
        return;
    }
    size_t n = 0;
    if (size % 2 == 0) {
        // The common case: copy whole units up to the first NUL.
        const wchar_t* units16 = reinterpret_cast<const wchar_t*>(data);
        while (n < units && units16[n] != 0) ++n;
        out.assign(units16, n);
        return;
    }
    while (n < units && UnitAt(data, size, n) != 0) ++n;
    out.resize(n);
    for (size_t k = 0; k < n; ++k) out[k] = UnitAt(data, size, k);
}

}  // namespace search
