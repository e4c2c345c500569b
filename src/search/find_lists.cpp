#include "search/find_lists.h"

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"
#include "settings/settingsfiles.h"

#include <algorithm>

namespace search {

namespace {

bool HoldsLineBreak(const std::wstring& text) {
    return text.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos;
}

bool StorableField(const std::wstring& text) {
    return text.find_first_of(std::wstring(L"\t\r\n\0", 4)) == std::wstring::npos;
}

// Reads the lines of a wide line file into `lines`; a missing file leaves them empty.
void ReadLines(const std::wstring& fileName, TFindListLoad& result, std::vector<std::wstring>& lines) {
    result = TFindListLoad{};
    lines.clear();
    if (!wide::WideFileExists(fileName)) return;
    result.FileExists = true;
    wide::TWideStringList list;
    try {
        list.LoadFromFile(fileName);
    } catch (const classlib::Exception& e) {
        result.ReadFailed = true;
        result.ReadError = e.Message();
        return;
    }
    result.EncodingLossy = list.LastLoadLossy();
    lines.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
}

void WriteLines(const std::wstring& fileName, const std::vector<std::wstring>& lines) {
    wide::TWideStringList list;
    for (const auto& line : lines) list.Add(line);
    list.SaveToFile(fileName);
}

}  // namespace

std::wstring FindKeyListFileName() { return settings::GetSettingsFilePath(L"findkey.db"); }
std::wstring FindWordFileName() { return settings::GetSettingsFilePath(L"findword.db"); }

// --- Key lists -------------------------------------------------------------------------

std::wstring FormatKeyListLine(const TKeyListItem& list) {
    std::wstring line = list.FName;
    line += L'\t';
    for (const auto& key : list.FKeys) {
        line += key;
        line += L'\t';
    }
    return line;
}

TKeyListItem ParseKeyListLine(const std::wstring& line, int* skipped) {
    TKeyListItem list;
    size_t pos = 0;
    bool first = true;
    while (pos < line.size()) {
        size_t tab = line.find(L'\t', pos);
        if (tab == std::wstring::npos) tab = line.size();
        std::wstring field = line.substr(pos, tab - pos);
        pos = tab + 1;
        if (first) {
            list.FName = std::move(field);
            first = false;
        } else if (field.empty()) {
            if (skipped) ++*skipped;
        } else {
            list.FKeys.push_back(std::move(field));
        }
    }
    return list;
}

bool KeyListStorable(const TKeyListItem& list) {
    return StorableField(list.FName) && std::all_of(list.FKeys.begin(), list.FKeys.end(), StorableField);
}

TKeyLists ReadKeyLists(const std::wstring& fileName, TFindListLoad& result) {
    std::vector<std::wstring> lines;
    ReadLines(fileName, result, lines);
    TKeyLists lists;
    lists.reserve(lines.size());
    for (const auto& line : lines) lists.push_back(ParseKeyListLine(line, &result.SkippedFields));
    return lists;
}

void WriteKeyLists(const std::wstring& fileName, const TKeyLists& lists) {
    std::vector<std::wstring> lines;
    lines.reserve(lists.size());
    for (const auto& list : lists) lines.push_back(FormatKeyListLine(list));
    WriteLines(fileName, lines);
}

int FindKeyListByName(const TKeyLists& lists, const std::wstring& name) {
    if (name.empty()) return -1;
    for (size_t i = 0; i < lists.size(); ++i)
        if (lists[i].FName == name) return static_cast<int>(i);
    return -1;
}

// --- Keyword history --------------------------------------------------------------------

std::vector<std::wstring> ReadFindWords(const std::wstring& fileName, TFindListLoad& result) {
    std::vector<std::wstring> lines;
    ReadLines(fileName, result, lines);
    auto empty = std::remove_if(lines.begin(), lines.end(), [](const std::wstring& l) { return l.empty(); });
    result.SkippedFields = static_cast<int>(lines.end() - empty);
    lines.erase(empty, lines.end());
    return lines;
}

void WriteFindWords(const std::wstring& fileName, const std::vector<std::wstring>& words) {
    WriteLines(fileName, words);
}

bool AddFindWord(std::vector<std::wstring>& history, const std::wstring& keyword) {
    if (keyword.empty() || HoldsLineBreak(keyword)) return false;
    auto same = std::find_if(history.begin(), history.end(), [&](const std::wstring& w) {
        return classlib::SameNameIgnoringCase(w, keyword);
    });
    if (same != history.end()) history.erase(same);
    history.insert(history.begin(), keyword);
    return true;
}

// --- Start keys -------------------------------------------------------------------------

bool AddStartKey(std::vector<std::wstring>& keys, const std::wstring& key) {
    for (const auto& k : keys)
        if (classlib::SameNameIgnoringCase(k, key)) return false;
    keys.push_back(key);
    return true;
}

std::wstring StartKeysText(const std::vector<std::wstring>& keys) {
    std::wstring text;
    for (const auto& key : keys) {
        text += key;
        text += L"\r\n";
    }
    return text;
}

std::vector<std::wstring> StartKeysFromText(const std::wstring& text) {
    std::vector<std::wstring> keys;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos) end = text.size();
        keys.push_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == L'\r') ++pos;
        if (pos < text.size() && text[pos] == L'\n') ++pos;
    }
    return keys;
}

// --- The dialog's lists -------------------------------------------------------------------

TFindListsModel::TFindListsModel(std::wstring keyListFile, std::wstring wordFile)
    : FKeyListFile(std::move(keyListFile)), FWordFile(std::move(wordFile)) {}

void TFindListsModel::Load(const std::wstring& defaultName) {
    FLists = ReadKeyLists(FKeyListFile, FKeyListLoad);
    FHistory = ReadFindWords(FWordFile, FHistoryLoad);
    FListsModified = false;
    FSelected = -1;
    FKeys.clear();
    if (!FLists.empty()) SelectList(0);
    int named = FindKeyListByName(FLists, defaultName);
    if (named >= 0) SelectList(named);
}

void TFindListsModel::SelectList(int index) {
    if (index < 0 || static_cast<size_t>(index) >= FLists.size()) return;
    FSelected = index;
    FKeys = FLists[index].FKeys;
}

void TFindListsModel::DeleteKeys(std::vector<size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
        if (*it < FKeys.size()) FKeys.erase(FKeys.begin() + static_cast<ptrdiff_t>(*it));
}

bool TFindListsModel::SaveCurrentAs(const std::wstring& name) {
    if (name.empty()) return false;
    TKeyListItem list{name, FKeys};
    if (!KeyListStorable(list)) return false;
    FLists.push_back(std::move(list));
    FSelected = static_cast<int>(FLists.size()) - 1;
    FListsModified = true;
    return true;
}

bool TFindListsModel::DeleteSelectedList() {
    if (FSelected < 0) return false;
    FLists.erase(FLists.begin() + FSelected);
    if (static_cast<size_t>(FSelected) >= FLists.size()) FSelected = static_cast<int>(FLists.size()) - 1;
    FListsModified = true;
    return true;
}

bool TFindListsModel::SelectedName(std::wstring& name) const {
    if (FSelected < 0) return false;
    name = FLists[FSelected].FName;
    return true;
}

void TFindListsModel::CommitKeyword(const std::wstring& keyword) {
    if (!AddFindWord(FHistory, keyword)) return;
    if (FHistoryLoad.Damaged()) return;
    WriteFindWords(FWordFile, FHistory);
}

bool TFindListsModel::SaveKeyLists() {
    if (!FListsModified || FKeyListLoad.Damaged()) return false;
    WriteKeyLists(FKeyListFile, FLists);
    FListsModified = false;
    return true;
}

// --- Keyword tokens ------------------------------------------------------------------------

TTokenInsertion InsertToken(const std::wstring& text, size_t selStart, size_t selLength,
                            const std::wstring& token) {
    selStart = std::min(selStart, text.size());
    selLength = std::min(selLength, text.size() - selStart);
    TTokenInsertion result;
    result.Text.reserve(text.size() - selLength + token.size());
    result.Text.append(text, 0, selStart);
    result.Text += token;
    result.Text.append(text, selStart + selLength);
    result.Caret = selStart + token.size();
    return result;
}

const std::vector<TRegexTokenMenu>& RegexTokenMenus() {
    static const std::vector<TRegexTokenMenu> menus = {
        {L"位置",
         {{L"文字列の先頭(^)", L"^"},
          {L"文字列の末尾($)", L"$"},
          {nullptr, nullptr},
          {L"単語境界(\\b)", L"\\b"},
          {L"単語境界以外(\\B)", L"\\B"}}},
        {L"リテラル",
         {{L"改行(\\n)", L"\\n"},
          {L"フォームフィード(\\f)", L"\\f"},
          {L"キャリッジリターン(\\r)", L"\\r"},
          {L"水平タブ(\\t)", L"\\t"},
          {L"垂直タブ(\\v)", L"\\v"},
          {nullptr, nullptr},
          {L"メタキャラクタの打ち消し(\\)", L"\\"},
          {nullptr, nullptr},
          {L"8進数(\\xxx)", L"\\xxx"},
          {L"16進数(\\xdd)", L"\\xdd"},
          {L"Unicode文字(\\uxxxx)", L"\\uxxxx"}}},
        {L"文字クラス",
         {{L"任意の一文字([])", L"[]"},
          {L"任意の一文字以外([])", L"[]"},
          {L"改行以外の全ての文字(.)", L"."},
          {nullptr, nullptr},
          {L"[a-zA-Z_0-9](\\w)", L"\\w"},
          {L"[^a-zA-Z_0-9](\\W)", L"\\W"},
          {nullptr, nullptr},
          {L"数字(\\d)", L"\\d"},
          {L"数字以外(\\D)", L"\\D"},
          {nullptr, nullptr},
          {L"スペース文字(\\s)", L"\\s"},
          {L"スペース文字以外(\\S)", L"\\S"}}},
        {L"繰り返し",
         {{L"{x}", L"{}"},
          {L"{x,}", L"{,}"},
          {L"{x,y}", L"{,}"},
          {nullptr, nullptr},
          {L"ゼロ個および１個の文字(?)", L"?"},
          {L"ゼロ個以上の文字(*)", L"*"},
          {L"１個以上の文字(+)", L"+"}}},
        {L"選択とグループ化", {{L"グループ化(())", L"()"}, {L"正規表現の結合(|)", L"|"}}},
        // A back reference to the first group: in a keyword it matches the group's text
        // again; in a replacement text it inserts it.
        {L"後方参照", {}, L"\\1"},
    };
    return menus;
}

}  // namespace search
