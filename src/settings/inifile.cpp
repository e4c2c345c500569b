#include "settings/inifile.h"

#include <limits>

#include "controls/wide/widefiles.h"

namespace {

bool IsBlank(wchar_t ch) {
    return ch == L' ' || ch == L'\t';
}

// A section line begins with "[" and meets a "]" before any "=" from its second character on.
bool IsSectionLine(const std::wstring& line) {
    if (line.empty() || line[0] != L'[')
        return false;
    const size_t stop = line.find_first_of(L"=]", 1);
    return stop != std::wstring::npos && line[stop] == L']';
}

// The key name of a body line: the text before the first "=", or the whole line.
std::wstring KeyName(const std::wstring& line) {
    const size_t eq = line.find(L'=');
    return eq == std::wstring::npos ? line : line.substr(0, eq);
}

bool HasLineBreaking(const std::wstring& s) {
    return s.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos;
}

// Integer text: optional leading blanks, an optional sign, then decimal digits or "$" /
// "0x" and hexadecimal digits (hexadecimal takes the 64-bit pattern as written); nothing
// may follow. Decimal values that do not fit fail.
bool TryParseInt64(const std::wstring& text, int64_t& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == L'$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const wchar_t ch = text[i];
        unsigned digit;
        if (ch >= L'0' && ch <= L'9')
            digit = ch - L'0';
        else if (hex && ch >= L'a' && ch <= L'f')
            digit = ch - L'a' + 10;
        else if (hex && ch >= L'A' && ch <= L'F')
            digit = ch - L'A' + 10;
        else
            return false;
        const unsigned base = hex ? 16 : 10;
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base)
            return false;
        magnitude = magnitude * base + digit;
    }
    if (!hex) {
        const uint64_t limit = negative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
        if (magnitude > limit)
            return false;
    }
    value = static_cast<int64_t>(negative ? uint64_t(0) - magnitude : magnitude);
    return true;
}

// A decimal number, possibly with a fraction and an exponent, between optional blanks.
bool TryParseNumber(const std::wstring& text, bool& isZero) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i < n && (text[i] == L'+' || text[i] == L'-'))
        ++i;
    bool digits = false, nonZero = false;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        digits = true;
        nonZero |= text[i] != L'0';
    }
    if (i < n && text[i] == L'.') {
        for (++i; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
            digits = true;
            nonZero |= text[i] != L'0';
        }
    }
    if (!digits)
        return false;
    if (i < n && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        if (i < n && (text[i] == L'+' || text[i] == L'-'))
            ++i;
        bool expDigits = false;
        for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i)
            expDigits = true;
        if (!expDigits)
            return false;
    }
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        return false;
    isZero = !nonZero;
    return true;
}

bool EqualsIgnoringAsciiCase(const std::wstring& s, const wchar_t* word) {
    size_t i = 0;
    for (; word[i]; ++i) {
        if (i >= s.size())
            return false;
        wchar_t ch = s[i];
        if (ch >= L'A' && ch <= L'Z')
            ch = ch - L'A' + L'a';
        if (ch != word[i])
            return false;
    }
    return i == s.size();
}

}  // namespace

TVxMemIniFile::TVxMemIniFile(const std::wstring& fileName) : FFileName(fileName) {
    if (WideFileExists(fileName)) {
        FLines.LoadFromFile(fileName);
        FLossy = FLines.LastLoadLossy();
    }
}

TVxMemIniFile::TSectionBody TVxMemIniFile::FindSection(const std::wstring& section) const {
    const std::wstring header = L"[" + section + L"]";
    const int count = FLines.GetCount();
    TSectionBody result;
    int i = 0;
    while (i < count) {
        if (FLines.Get(i) != header) {
            ++i;
            continue;
        }
        result.found = true;
        result.header = i;
        result.first = i + 1;
        result.end = count;
        for (int j = result.first; j < count; ++j) {
            if (IsSectionLine(FLines.Get(j))) {
                result.end = j;
                return result;
            }
        }
        // No section line follows: the body runs to the end, and a later header line (one
        // that is no section line itself) takes over.
        i = result.first;
    }
    return result;
}

int TVxMemIniFile::FindKey(const TSectionBody& body, const std::wstring& ident) const {
    for (int i = body.first; i < body.end; ++i)
        if (KeyName(FLines.Get(i)) == ident)
            return i;
    return -1;
}

std::wstring TVxMemIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                       const std::wstring& defaultValue) const {
    const TSectionBody body = FindSection(section);
    if (!body.found)
        return defaultValue;
    const int line = FindKey(body, ident);
    if (line < 0)
        return defaultValue;
    const std::wstring text = FLines.Get(line);
    const size_t eq = text.find(L'=');
    return eq == std::wstring::npos ? std::wstring() : text.substr(eq + 1);
}

bool TVxMemIniFile::ReadBool(const std::wstring& section, const std::wstring& ident, bool defaultValue) const {
    const std::wstring text = ReadString(section, ident, std::wstring());
    bool isZero = false;
    if (TryParseNumber(text, isZero))
        return !isZero;
    if (EqualsIgnoringAsciiCase(text, L"true"))
        return true;
    if (EqualsIgnoringAsciiCase(text, L"false"))
        return false;
    return defaultValue;
}

int64_t TVxMemIniFile::ReadInt64(const std::wstring& section, const std::wstring& ident,
                                 int64_t defaultValue) const {
    int64_t value = defaultValue;
    TryParseInt64(ReadString(section, ident, std::wstring()), value);
    return value;
}

bool TVxMemIniFile::ValueExists(const std::wstring& section, const std::wstring& ident) const {
    const TSectionBody body = FindSection(section);
    return body.found && FindKey(body, ident) >= 0;
}

void TVxMemIniFile::ReadSections(TWideStrings& strings) const {
    strings.Clear();
    strings.BeginUpdate();
    try {
        const int count = FLines.GetCount();
        for (int i = 0; i < count; ++i) {
            const std::wstring line = FLines.Get(i);
            if (IsSectionLine(line))
                strings.Add(line.substr(1, line.find(L']') - 1));
        }
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

void TVxMemIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                                const std::wstring& value) {
    if (HasLineBreaking(section) || HasLineBreaking(ident) || HasLineBreaking(value))
        throw EVxIniFileError(L"設定のセクション名、キー名、値には改行文字を使えません。");
    const std::wstring line = ident + L"=" + value;
    const TSectionBody body = FindSection(section);
    if (!body.found) {
        FLines.Add(L"[" + section + L"]");
        FLines.Add(line);
        return;
    }
    const int existing = FindKey(body, ident);
    if (existing >= 0)
        FLines.Put(existing, line);
    else
        FLines.Insert(body.first, line);
}

void TVxMemIniFile::WriteBool(const std::wstring& section, const std::wstring& ident, bool value) {
    WriteString(section, ident, value ? L"-1" : L"0");
}

void TVxMemIniFile::WriteInt64(const std::wstring& section, const std::wstring& ident, int64_t value) {
    WriteString(section, ident, std::to_wstring(value));
}

void TVxMemIniFile::Clear() {
    FLines.Clear();
    FLossy = false;
}

void TVxMemIniFile::UpdateFile() {
    if (FLossy)
        throw EVxIniFileError(L"ファイル \"" + WideExpandFileName(FFileName) +
                              L"\" は正しく読み込めなかった部分があるため、上書きしません。");
    FLines.SaveToFile(FFileName);
}
