#include "app/tabfile.h"

#include "controls/wide/widestrings.h"

#include <windows.h>

#include <cwctype>

namespace app {

const wchar_t* const TabFileExt = L"tab";
const wchar_t* const TabFileFilter = L"タブファイル(*.tab)|*.tab|全てのファイル(*.*)|*.*";

namespace {

const wchar_t* BoolText(bool value) { return value ? L"-1" : L"0"; }

// The fields of a line: split at every TAB; the empty text after the last TAB is no
// field, an empty field between two TABs is.
std::vector<std::wstring> SplitFields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', start);
        if (tab == std::wstring::npos) break;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    if (start < line.size()) fields.push_back(line.substr(start));
    return fields;
}

bool SameTextIgnoringCase(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return i == a.size() && !b[i];
}

}  // namespace

bool StrToBoolDef(const std::wstring& text, bool def) {
    if (SameTextIgnoringCase(text, L"True")) return true;
    if (SameTextIgnoringCase(text, L"False")) return false;
    // An integer: optional sign and decimal digits (no spaces).
    size_t i = (!text.empty() && (text[0] == L'-' || text[0] == L'+')) ? 1 : 0;
    if (i == text.size()) return def;
    bool nonZero = false;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return def;
        nonZero = nonZero || text[i] != L'0';
    }
    return nonZero;
}

std::wstring FormatTabLine(const TTabFileEntry& tab) {
    return tab.Path + L"\t" + BoolText(tab.Locked) + L"\t" + BoolText(tab.Active) + L"\t";
}

void SaveTabFile(const std::wstring& fileName, const std::vector<TTabFileEntry>& tabs) {
    wide::TWideStringList lines;
    for (const TTabFileEntry& tab : tabs) lines.Add(FormatTabLine(tab));
    lines.SaveToFile(fileName);
}

TTabPlan ParseTabLines(const std::vector<std::wstring>& lines) {
    TTabPlan plan;
    for (const std::wstring& line : lines) {
        const std::vector<std::wstring> fields = SplitFields(line);
        if (fields.size() < 2) continue;
        plan.Windows.push_back({fields[0], StrToBoolDef(fields[1], false)});
        if (fields.size() >= 3 && StrToBoolDef(fields[2], false))
            plan.Active = static_cast<int>(plan.Windows.size()) - 1;
    }
    return plan;
}

TTabPlan LoadTabFile(const std::wstring& fileName) {
    const DWORD attributes = GetFileAttributesW(fileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    wide::TWideStringList list;
    list.LoadFromFile(fileName);
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
    return ParseTabLines(lines);
}

std::vector<int> WindowsToCloseExcept(const std::vector<bool>& locked, int keep) {
    std::vector<int> order;
    for (int i = static_cast<int>(locked.size()) - 1; i >= 0; --i)
        if (i != keep && !locked[static_cast<size_t>(i)]) order.push_back(i);
    return order;
}

}  // namespace app
