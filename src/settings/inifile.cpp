#include "settings/inifile.h"

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "controls/wide/widefiles.h"

namespace settings {

using namespace wide;

namespace {

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
    while (i < count && FLines.Get(i) != header) ++i;
    if (i == count) return result;
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
    // No section line follows: the body runs to the end, and a later header line (one that
    // is no section line itself) takes over, so the last one wins. No section line follows
    // that one either, so a single pass back from the end finds it.
    for (int j = count - 1; j > i; --j) {
        if (FLines.Get(j) == header) {
            result.header = j;
            result.first = j + 1;
            break;
        }
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
    return classlib::StrToBoolDef(ReadString(section, ident, std::wstring()), defaultValue);
}

int64_t TVxMemIniFile::ReadInt64(const std::wstring& section, const std::wstring& ident,
                                 int64_t defaultValue) const {
    return classlib::StrToInt64Def(ReadString(section, ident, std::wstring()), defaultValue);
}

int32_t TVxMemIniFile::ReadInteger(const std::wstring& section, const std::wstring& ident,
                                   int32_t defaultValue) const {
    return classlib::StrToIntDef(ReadString(section, ident, std::wstring()), defaultValue);
}

bool TVxMemIniFile::ValueExists(const std::wstring& section, const std::wstring& ident) const {
    const TSectionBody body = FindSection(section);
    return body.found && FindKey(body, ident) >= 0;
}

void TVxMemIniFile::ReadSections(TWideStrings& strings) const {
    strings.Clear();
    strings.BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { strings.EndUpdate(); });
    const int count = FLines.GetCount();
    for (int i = 0; i < count; ++i) {
        const std::wstring line = FLines.Get(i);
        if (IsSectionLine(line))
            strings.Add(line.substr(1, line.find(L']') - 1));
    }
}

void TVxMemIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                                const std::wstring& value) {
    if (HasLineBreaking(section) || HasLineBreaking(ident) || HasLineBreaking(value))
        throw EVxIniFileError(L"設定のセクション名、キー名、値には改行文字を使えません。");
    const std::wstring line = ident + L"=" + value;
    // A key line that reads back as a section line ("[" and a "]" before the "=") would end
    // its section's body and never be found again.
    if (IsSectionLine(line))
        throw EVxIniFileError(L"\"[\" で始まり \"]\" を含むキー名は設定に書き込めません。");
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

}  // namespace settings
