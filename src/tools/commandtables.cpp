#include "tools/commandtables.h"

#include "classlib/menus.h"
#include "settings/inifile.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace tools {

namespace {

constexpr UINT kCategoryCodePage = 932;

std::string CategoryBytes(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(kCategoryCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(std::max(0, size)), '\0');
    WideCharToMultiByte(kCategoryCodePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    // Only single ASCII bytes fold; the trail byte of a double-byte character is left alone.
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
            ++i;
            continue;
        }
        if (byte >= 'a' && byte <= 'z') bytes[i] = static_cast<char>(byte - 'a' + 'A');
    }
    return bytes;
}

constexpr std::array<TGestureButtonDef, 8> kGestureButtons{{
    {L"UpButton", L"↑", TGestureEdit::Append, L"↑"},
    {L"DownButton", L"↓", TGestureEdit::Append, L"↓"},
    {L"RightButton", L"→", TGestureEdit::Append, L"→"},
    {L"LeftButton", L"←", TGestureEdit::Append, L"←"},
    {L"WDownButton", L"ホイール↓", TGestureEdit::Append, L"▽"},
    {L"WUpButton", L"ホイール↑", TGestureEdit::Append, L"△"},
    {L"BSButton", L"BS", TGestureEdit::Backspace, L""},
    {L"CLButton", L"CL", TGestureEdit::Clear, L""},
}};

}  // namespace

int CompareCategories(const std::wstring& a, const std::wstring& b) {
    const std::string left = CategoryBytes(a), right = CategoryBytes(b);
    // std::string compares its chars as unsigned bytes (char_traits<char>::compare).
    const int order = left.compare(right);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

TCommandTable::TCommandTable(TCommandTableKind kind, std::span<const TCommandInfo> commands) : FKind(kind) {
    FRows.reserve(commands.size());
    for (size_t i = 0; i < commands.size(); ++i) {
        const TCommandInfo& command = commands[i];
        const std::wstring value =
            kind == TCommandTableKind::Shortcuts ? classlib::ShortCutToText(command.ShortCut) : std::wstring();
        FRows.push_back({command.Category, command.Caption, value, command.ImageIndex, static_cast<int>(i)});
    }
}

void TCommandTable::Read(const settings::TVxMemIniFile& file) {
    for (TCommandRow& row : FRows) row.Value = file.ReadString(row.Category, row.Caption, row.Value);
}

void TCommandTable::Write(settings::TVxMemIniFile& file) const {
    for (const TCommandRow& row : FRows) file.WriteString(row.Category, row.Caption, row.Value);
}

void TCommandTable::Sort() {
    std::stable_sort(FRows.begin(), FRows.end(), [](const TCommandRow& a, const TCommandRow& b) {
        return CompareCategories(a.Category, b.Category) > 0;
    });
}

int TCommandTable::FindOtherWithSameValue(int index) const {
    const std::wstring& value = Row(index).Value;
    if (value.empty()) return -1;
    for (int i = 0; i < Count(); ++i)
        if (i != index && FRows[static_cast<size_t>(i)].Value == value) return i;
    return -1;
}

std::span<const TGestureButtonDef> GestureButtonDefs() { return kGestureButtons; }

std::wstring ApplyGestureButton(const std::wstring& gesture, const TGestureButtonDef& button) {
    switch (button.Edit) {
    case TGestureEdit::Append: return gesture + button.Mark;
    case TGestureEdit::Backspace: return gesture.empty() ? gesture : gesture.substr(0, gesture.size() - 1);
    case TGestureEdit::Clear: break;
    }
    return {};
}

}  // namespace tools
