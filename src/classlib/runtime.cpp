#include "classlib/runtime.h"

#include "classlib/errors.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cwchar>
#include <limits>
#include <vector>

namespace classlib {

// --- Integers ---------------------------------------------------------------------------

namespace {

// Parses `s` by the integer rules; `maxUnsigned` is the largest hexadecimal value (the
// type's unsigned range), `maxPositive` the largest decimal one. The result is the value
// (or hexadecimal bit pattern) in 64 bits, sign applied.
bool ParseInteger(const std::wstring& s, uint64_t maxUnsigned, uint64_t maxPositive, uint64_t& magnitude,
                  bool& negative, bool& hex) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && s[i] == L' ')
        ++i;
    negative = false;
    if (i < n && (s[i] == L'-' || s[i] == L'+')) {
        negative = s[i] == L'-';
        ++i;
    }
    hex = false;
    if (i < n && (s[i] == L'$' || s[i] == L'x' || s[i] == L'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t value = 0;
    const uint64_t limit = hex ? maxUnsigned : maxPositive + (negative ? 1 : 0);
    const unsigned base = hex ? 16 : 10;
    for (; i < n; ++i) {
        wchar_t c = s[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<unsigned>(c - L'0');
        else if (hex && c >= L'a' && c <= L'f')
            digit = static_cast<unsigned>(c - L'a' + 10);
        else if (hex && c >= L'A' && c <= L'F')
            digit = static_cast<unsigned>(c - L'A' + 10);
        else
            return false;
        if (value > (limit - digit) / base)
            return false;
        value = value * base + digit;
    }
    magnitude = value;
    return true;
}

template <class T>
bool TryParse(const std::wstring& s, T& result) {
    using U = std::make_unsigned_t<T>;
    uint64_t magnitude;
    bool negative, hex;
    if (!ParseInteger(s, std::numeric_limits<U>::max(), static_cast<uint64_t>(std::numeric_limits<T>::max()),
                      magnitude, negative, hex))
        return false;
    U bits = static_cast<U>(magnitude);
    if (negative)
        bits = static_cast<U>(U(0) - bits);
    result = static_cast<T>(bits);
    return true;
}

[[noreturn]] void RaiseIntegerError(const std::wstring& s) {
    throw EConvertError(L"'" + s + L"' は正しい整数値ではありません");
}

}  // namespace

bool TryStrToInt(const std::wstring& s, int& value) {
    int32_t v;
    if (!TryParse<int32_t>(s, v))
        return false;
    value = v;
    return true;
}

int StrToInt(const std::wstring& s) {
    int v;
    if (!TryStrToInt(s, v))
        RaiseIntegerError(s);
    return v;
}

int StrToIntDef(const std::wstring& s, int defaultValue) {
    int v;
    return TryStrToInt(s, v) ? v : defaultValue;
}

bool TryStrToInt64(const std::wstring& s, int64_t& value) {
    return TryParse<int64_t>(s, value);
}

int64_t StrToInt64(const std::wstring& s) {
    int64_t v;
    if (!TryStrToInt64(s, v))
        RaiseIntegerError(s);
    return v;
}

int64_t StrToInt64Def(const std::wstring& s, int64_t defaultValue) {
    int64_t v;
    return TryStrToInt64(s, v) ? v : defaultValue;
}

void RaiseWin32SizeError() {
    throw ERangeError(L"サイズがシステム呼び出しで扱える範囲を超えています");
}

std::wstring IntToStr(int64_t value) {
    return std::to_wstring(value);
}

std::wstring IntToHexBits(uint64_t bits, int digits) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring result;
    do {
        result.insert(result.begin(), kDigits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (digits > 0 && result.size() < static_cast<size_t>(digits))
        result.insert(0, static_cast<size_t>(digits) - result.size(), L'0');
    return result;
}

// --- Floating point ---------------------------------------------------------------------

bool TryStrToFloat(const std::wstring& s, double& value) {
    // Check the shape first: wcstod alone would also take hexadecimal, "inf" and "nan".
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && s[i] <= L' ')
        ++i;
    size_t start = i;
    if (i < n && (s[i] == L'+' || s[i] == L'-'))
        ++i;
    size_t digits = 0;
    while (i < n && s[i] >= L'0' && s[i] <= L'9')
        ++i, ++digits;
    if (i < n && s[i] == L'.') {
        ++i;
        while (i < n && s[i] >= L'0' && s[i] <= L'9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == L'e' || s[i] == L'E')) {
        ++i;
        if (i < n && (s[i] == L'+' || s[i] == L'-'))
            ++i;
        size_t expDigits = 0;
        while (i < n && s[i] >= L'0' && s[i] <= L'9')
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    size_t end = i;
    while (i < n && s[i] <= L' ')
        ++i;
    if (i != n)
        return false;
    std::wstring number = s.substr(start, end - start);
    wchar_t* stop = nullptr;
    double v = std::wcstod(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || std::isinf(v))
        return false;
    value = v;
    return true;
}

double StrToFloat(const std::wstring& s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError(L"'" + s + L"' は正しい浮動小数点数値ではありません");
    return v;
}

double StrToFloatDef(const std::wstring& s, double defaultValue) {
    double v;
    return TryStrToFloat(s, v) ? v : defaultValue;
}

std::wstring FloatToStr(double value) {
    if (std::isnan(value))
        return L"NAN";
    if (std::isinf(value))
        return value > 0 ? L"INF" : L"-INF";
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.15G", value);
    std::wstring text = buffer;
    // "1E+20" -> "1E20", "1.5E-07" -> "1.5E-7".
    size_t e = text.find(L'E');
    if (e != std::wstring::npos) {
        std::wstring mantissa = text.substr(0, e);
        std::wstring exponent = text.substr(e + 1);
        bool negative = !exponent.empty() && exponent[0] == L'-';
        if (!exponent.empty() && (exponent[0] == L'+' || exponent[0] == L'-'))
            exponent.erase(0, 1);
        size_t firstNonZero = exponent.find_first_not_of(L'0');
        exponent = firstNonZero == std::wstring::npos ? L"0" : exponent.substr(firstNonZero);
        text = mantissa + L"E" + (negative ? L"-" : L"") + exponent;
    }
    return text;
}

int64_t Round(double value) {
    // nearbyint follows the current rounding mode, which is round-half-to-even unless
    // someone changed it; this program never does.
    double r = std::nearbyint(value);
    if (std::isnan(r) || r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        throw EInvalidOp(L"浮動小数点数の無効な演算です");
    return static_cast<int64_t>(r);
}

// --- Booleans ---------------------------------------------------------------------------

std::wstring BoolToStr(bool value, bool useBoolStrs) {
    if (useBoolStrs)
        return value ? L"True" : L"False";
    return value ? L"-1" : L"0";
}

bool TryStrToBool(const std::wstring& s, bool& value) {
    double number;
    if (TryStrToFloat(s, number)) {
        value = number != 0;
        return true;
    }
    if (SameText(s, L"True")) {
        value = true;
        return true;
    }
    if (SameText(s, L"False")) {
        value = false;
        return true;
    }
    return false;
}

bool StrToBool(const std::wstring& s) {
    bool v;
    if (!TryStrToBool(s, v))
        throw EConvertError(L"'" + s + L"' は正しいブール値ではありません");
    return v;
}

bool StrToBoolDef(const std::wstring& s, bool defaultValue) {
    bool v;
    return TryStrToBool(s, v) ? v : defaultValue;
}

// --- Strings ----------------------------------------------------------------------------

std::wstring Trim(const std::wstring& s) {
    return TrimRight(TrimLeft(s));
}

std::wstring TrimLeft(const std::wstring& s) {
    size_t i = 0;
    while (i < s.size() && s[i] <= L' ')
        ++i;
    return s.substr(i);
}

std::wstring TrimRight(const std::wstring& s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] <= L' ')
        --n;
    return s.substr(0, n);
}

std::wstring UpperCase(const std::wstring& s) {
    std::wstring r = s;
    for (wchar_t& c : r)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - 32);
    return r;
}

std::wstring LowerCase(const std::wstring& s) {
    std::wstring r = s;
    for (wchar_t& c : r)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 32);
    return r;
}

std::wstring WideUpperCase(const std::wstring& s) {
    std::wstring r = s;
    if (!r.empty())
        CharUpperBuffW(r.data(), Win32Size<DWORD>(r.size()));
    return r;
}

std::wstring WideLowerCase(const std::wstring& s) {
    std::wstring r = s;
    if (!r.empty())
        CharLowerBuffW(r.data(), Win32Size<DWORD>(r.size()));
    return r;
}

std::string WideSortKey(const std::wstring& s) {
    if (s.empty()) return std::string();  // before every other text
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = Win32Size<int>(s.size());
    const int bytes = LCMapStringW(LOCALE_USER_DEFAULT, flags, s.data(), length, nullptr, 0);
    std::string key(static_cast<size_t>(std::max(bytes, 0)), '\0');
    if (bytes > 0)
        LCMapStringW(LOCALE_USER_DEFAULT, flags, s.data(), length, reinterpret_cast<LPWSTR>(key.data()), bytes);
    return key;
}

int CompareText(const std::wstring& a, const std::wstring& b) {
    auto upper = [](wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; };
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<int>(upper(a[i])) - static_cast<int>(upper(b[i]));
        if (d != 0)
            return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    // The system call takes int lengths: longer texts are compared in parts.
    constexpr size_t part = 0x40000000;
    for (size_t at = 0; at < a.size(); at += part) {
        const int n = static_cast<int>(std::min(part, a.size() - at));
        if (CompareStringOrdinal(a.data() + at, n, b.data() + at, n, TRUE) != CSTR_EQUAL) return false;
    }
    return true;
}

size_t Pos(const std::wstring& sub, const std::wstring& s, size_t offset) {
    if (sub.empty() || offset < 1 || offset > s.size())
        return 0;
    size_t found = s.find(sub, offset - 1);
    return found == std::wstring::npos ? 0 : found + 1;
}

std::wstring Copy(const std::wstring& s, ptrdiff_t index, ptrdiff_t count) {
    if (index < 1)
        index = 1;
    if (count <= 0 || static_cast<size_t>(index) > s.size())
        return std::wstring();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

std::wstring FormatW(const wchar_t* format, ...) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size())
            return std::wstring(buffer.data(), static_cast<size_t>(n));
        if (buffer.size() >= (1u << 24))
            return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring IncludeTrailingPathDelimiter(const std::wstring& path) {
    if (path.empty() || path.back() == L'\\' || path.back() == L'/')
        return path;
    return path + L'\\';
}

// --- System errors ----------------------------------------------------------------------

std::wstring SysErrorMessage(DWORD errorCode) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring result;
    if (n > 0 && buffer)
        result.assign(buffer, n);
    if (buffer)
        LocalFree(buffer);
    // Line breaks, blanks and a closing period at the end are dropped, so the text can be
    // embedded in a sentence.
    while (!result.empty() && (result.back() <= L' ' || result.back() == L'.'))
        result.pop_back();
    return result;
}

void RaiseLastOSError() {
    RaiseLastOSError(GetLastError());
}

void RaiseLastOSError(DWORD errorCode) {
    if (errorCode == 0)
        throw EOSError(L"OS 関数の呼び出しに失敗しました");
    EOSError error(L"システム エラー。コード: " + std::to_wstring(errorCode) + L"。\n" +
                   SysErrorMessage(errorCode));
    error.ErrorCode = errorCode;
    throw error;
}

// --- Date and time ----------------------------------------------------------------------

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kEpochShift = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp + (mp < 10 ? 3 : -9);
    year = static_cast<int>(y + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Splits a date-time into whole days (serial) and milliseconds into that day.
void SplitDateTime(TDateTime value, int64_t& days, int64_t& msecs) {
    if (!std::isfinite(value) || value < -693594.0 || value >= 2958466.0)
        throw EConvertError(L"日付または時刻の値が正しくありません");
    double whole = std::trunc(value);
    days = static_cast<int64_t>(whole);
    msecs = static_cast<int64_t>(std::llround(std::fabs(value - whole) * kMSecsPerDay));
    if (msecs >= kMSecsPerDay) {
        // Rounded up to the next midnight: that is the next calendar day, serial + 1 on
        // both sides of day 0.
        msecs = 0;
        days += 1;
    }
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError(L"日付の値が正しくありません");
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                               kEpochShift);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        throw EConvertError(L"時刻の値が正しくありません");
    return static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / kMSecsPerDay;
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& millisecond) {
    int64_t days, msecs;
    SplitDateTime(value, days, msecs);
    CivilFromDays(days - kEpochShift, year, month, day);
    if (year < 1 || year > 9999)
        throw EConvertError(L"日付または時刻の値が正しくありません");
    millisecond = static_cast<int>(msecs % 1000);
    msecs /= 1000;
    second = static_cast<int>(msecs % 60);
    msecs /= 60;
    minute = static_cast<int>(msecs % 60);
    hour = static_cast<int>(msecs / 60);
}

void DateTimeToSystemTime(TDateTime value, SYSTEMTIME& st) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(value, y, mo, d, h, mi, s, ms);
    int64_t days = static_cast<int64_t>(EncodeDate(y, mo, d));
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    // 1899-12-30 was a Saturday (6).
    st.wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 6) % 7);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
    st.wMilliseconds = static_cast<WORD>(ms);
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    double date = EncodeDate(st.wYear, st.wMonth, st.wDay);
    double time = EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    // Before 1899-12-30 the fraction still counts forward from midnight.
    return date < 0 ? date - time : date + time;
}

TDateTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

TDateTime FileTimeToDateTime(const FILETIME& ft, bool toLocal) {
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&ft, &utc))
        throw EConvertError(L"日付または時刻の値が正しくありません");
    if (toLocal && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return SystemTimeToDateTime(local);
    return SystemTimeToDateTime(utc);
}

std::wstring FormatDateTime(const std::wstring& format, TDateTime value) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(value, y, mo, d, h, mi, s, ms);
    auto two = [](int v) { return FormatW(L"%02d", v); };
    std::wstring out;
    bool afterHour = false;  // the last specifier was an hour: "m" means minutes
    size_t i = 0;
    const size_t n = format.size();
    auto run = [&](wchar_t c) {  // length of a run of `c` (either case) at i
        size_t k = i;
        while (k < n && (format[k] | 0x20) == c)
            ++k;
        return k - i;
    };
    while (i < n) {
        wchar_t c = format[i];
        wchar_t lower = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
        switch (lower) {
        case L'"':
        case L'\'': {
            size_t close = format.find(c, i + 1);
            if (close == std::wstring::npos)
                close = n;
            out += format.substr(i + 1, close - i - 1);
            i = close == n ? n : close + 1;
            continue;
        }
        case L'y': {
            size_t len = run(L'y');
            out += len <= 2 ? two(y % 100) : FormatW(L"%04d", y);
            i += len;
            afterHour = false;
            continue;
        }
        case L'm': {
            size_t len = std::min<size_t>(run(L'm'), 2);
            int v = afterHour ? mi : mo;
            out += len == 2 ? two(v) : std::to_wstring(v);
            i += len;
            afterHour = false;
            continue;
        }
        case L'd': {
            size_t len = std::min<size_t>(run(L'd'), 2);
            out += len == 2 ? two(d) : std::to_wstring(d);
            i += len;
            afterHour = false;
            continue;
        }
        case L'h': {
            size_t len = std::min<size_t>(run(L'h'), 2);
            out += len == 2 ? two(h) : std::to_wstring(h);
            i += len;
            afterHour = true;
            continue;
        }
        case L'n': {
            size_t len = std::min<size_t>(run(L'n'), 2);
            out += len == 2 ? two(mi) : std::to_wstring(mi);
            i += len;
            afterHour = false;
            continue;
        }
        case L's': {
            size_t len = std::min<size_t>(run(L's'), 2);
            out += len == 2 ? two(s) : std::to_wstring(s);
            i += len;
            afterHour = false;
            continue;
        }
        case L'z': {
            size_t len = run(L'z');
            out += len >= 3 ? FormatW(L"%03d", ms) : std::to_wstring(ms);
            i += std::min<size_t>(len, 3);
            afterHour = false;
            continue;
        }
        case L'c': {
            out += FormatDateTime(L"yyyy/mm/dd", value);
            if (h != 0 || mi != 0 || s != 0)
                out += L" " + FormatDateTime(L"h:nn:ss", value);
            ++i;
            afterHour = false;
            continue;
        }
        default:
            out += c;
            ++i;
        }
    }
    return out;
}

std::wstring DateTimeToStr(TDateTime value) {
    return FormatDateTime(L"c", value);
}

}  // namespace classlib
