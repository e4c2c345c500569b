#include "app/valuecommands.h"

#include "registry/regops.h"

namespace app {

using registry::TVxRegKeyClass;
using registry::TVxRegValueClass;

std::wstring ValueDeleteQuestion(const TVxRegValueClass& value) {
    return L"この値を削除しようとしています。\r\n"
           L"一応アンドゥ機能がありますが確実に復元できる保障はありません。\r\n"
           L"本当に削除を実行してよろしいですか？\r\n\r\nキーフルパス：" +
           value.FFullPath + L"\r\n" + L"値名：" + value.FValueName + L"\r\n";
}

std::wstring ValueExistsMessage(const std::wstring& name) {
    return name + L"は既に存在しています。" + L"\r\n" +
           L"既に存在している値名を指定することはできません。";
}

void DeleteValuesCommand(const TCommandContext& c, const TVxRegKeyClass* key,
                         TSelectedValues values) {
    if (!key) return;
    const TVxRegKeyClass target = *key;
    for (const TVxRegValueClass& value : values) {
        const std::wstring& name = value.FValueName;
        const DWORD type = value.FValueType;
        // Nothing to delete: a record would make undo create a value that never was.
        if (!registry::RegValueExists(target, name)) continue;
        if (!c.NoAllMessage && !c.Host.AskYesNo(ValueDeleteQuestion(value))) continue;
        c.Undo.RecordValueDeleted(target, name, type);
        registry::DeleteRegValue(target, name);
    }
    c.Host.RefreshValueList();
}

void RenameValueCommand(const TCommandContext& c, const TVxRegKeyClass* key,
                        TSelectedValues values) {
    if (!key || values.empty()) return;
    const TVxRegKeyClass target = *key;
    const std::wstring oldName = values.front().FValueName;
    std::wstring name = oldName;
    if (!c.Host.InputText(L"値の名前の変更", oldName + L"の新しい名前を指定してください。", name) ||
        name.empty() || name == oldName)
        return;
    if (registry::RegValueExists(target, name)) {
        c.Host.ShowMessage(ValueExistsMessage(name));
        return;
    }
    if (registry::RenameRegValue(target, oldName, name))
        c.Undo.RecordValueRenamed(target, oldName, name);
    c.Host.RefreshValueList();
}

void CopyValuesToClipboard(const TCommandContext& c, TSelectedValues values, bool cut) {
    c.Undo.ClearValueClipboard();
    for (const TVxRegValueClass& value : values) c.Undo.AddValueToClipboard(value, cut);
    c.Host.ShowToolPage(ClipboardToolPage);
}

void PasteValuesCommand(const TCommandContext& c, const TVxRegKeyClass* key,
                        std::optional<std::vector<int>> indexes) {
    if (!key) return;
    const TVxRegKeyClass target = *key;
    for (int row : RowsBottomUp(indexes, c.Undo.ValueClipList().size())) {
        const auto& list = c.Undo.ValueClipList();
        if (row < 0 || static_cast<size_t>(row) >= list.size()) continue;
        const undo::TRegClipBordItem& entry = *list[static_cast<size_t>(row)];
        const std::wstring name = entry.FValueName;
        const DWORD type = entry.FValueType;
        // Onto itself the provider does nothing; no record either.
        if (entry.FRootKey == target.FRootKey && registry::SameRegName(entry.FPath, target.FPath))
            continue;
        const bool existed = registry::RegValueExists(target, name);
        if (existed)
            c.Undo.RecordValueOverwritten(target, name, registry::GetRegValueType(target, name));
        const bool pasted = c.Undo.PasteValue(target, row);
        if (!existed && pasted) c.Undo.RecordValueCreated(target, name, type);
    }
    if (c.ValueClip)
        c.Undo.DropCutValues();
    else
        c.Undo.ClearValueClipboard();
    c.Host.RefreshValueList();
}

namespace {

const TVxRegValueClass* FirstValue(const TSelectedValues& values) {
    return values.empty() ? nullptr : &values.front();
}

}  // namespace

void CopyValueNameCommand(const TCommandContext& c, TSelectedValues values) {
    if (const TVxRegValueClass* value = FirstValue(values)) c.Host.SetClipboardText(value->FValueName);
}

void CopyValueFullPathCommand(const TCommandContext& c, TSelectedValues values) {
    if (const TVxRegValueClass* value = FirstValue(values)) c.Host.SetClipboardText(value->FFullPath);
}

void CopyValueDataCommand(const TCommandContext& c, TSelectedValues values) {
    if (const TVxRegValueClass* value = FirstValue(values)) c.Host.SetClipboardText(value->FDataText);
}

}  // namespace app
