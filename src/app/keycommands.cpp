#include "app/keycommands.h"

#include "registry/regops.h"

namespace app {

using registry::TVxRegKeyClass;

namespace {

bool IsRoot(const TVxRegKeyClass& key) { return key.FPath.empty(); }

// Forwards the progress of a tree operation to the host and remembers a cancel.
struct TCancelWatch {
    TCommandHost& Host;
    bool Cancelled = false;
    registry::TRegTreeProgress Report = [this](size_t done) {
        if (!Cancelled && !Host.Progress(done)) Cancelled = true;
        return !Cancelled;
    };
};

}  // namespace

const wchar_t* const ExpandAllQuestion =
    L"選択しているキーによっては、この操作は多大な\r\n時間とメモリを必要とします。\r\n"
    L"本当に実行してよろしいですか？";

const wchar_t* const KeyBackupFailedQuestion =
    L"このキーのバックアップを作成できませんでした。\r\n"
    L"このまま実行すると、アンドゥで元に戻すことはできません。\r\n"
    L"本当に実行してよろしいですか？";

std::wstring KeyDeleteQuestion(const TVxRegKeyClass& key) {
    return L"このキーを削除しようとしています。\r\n"
           L"一応アンドゥ機能がありますが確実に復元できる保障はありません。\r\n"
           L"本当に削除を実行してよろしいですか？\r\n\r\nキーフルパス：" +
           key.FFullPath + L"\r\n" + L"キー名：" + key.FKeyName + L"\r\n";
}

std::wstring KeyExistsMessage(const std::wstring& name) {
    return name + L"は既に存在しています。" + L"\r\n" +
           L"既に存在しているキー名を指定することはできません。";
}

std::wstring KeyOverwriteQuestion(const TVxRegKeyClass& entry, const TVxRegKeyClass& target) {
    return entry.FFullPath + L"を" + L"\r\n" + target.FFullPath + L"\\" + entry.FKeyName +
           L"に上書きしようとしています。" + L"\r\n" +
           L"この場合、キーを複製したことのアンドゥは利用不能になります。" + L"\r\n" +
           L"実行してよろしいですか？";
}

void NewKeyCommand(const TCommandContext& c, const TVxRegKeyClass* key) {
    if (!key) return;
    std::wstring name;
    if (!c.Host.InputText(L"キーの名前", L"新規に作るサブキーの名前を指定してください", name) ||
        name.empty())
        return;
    // Creating would only open the existing key; a creation record would make undo
    // delete the user's key.
    if (registry::SubKeyExists(*key, name)) {
        c.Host.ShowMessage(KeyExistsMessage(name));
        return;
    }
    bool existed = false;
    if (!registry::CreateSubKey(*key, name, &existed)) return;
    if (!existed) c.Undo.RecordKeyCreated(*key, name);
    c.Host.RefreshKeyTree();
}

void DeleteKeyCommand(const TCommandContext& c, const TVxRegKeyClass* key) {
    if (!key || IsRoot(*key)) return;
    const TVxRegKeyClass target = *key;  // the host's record may go with the refresh
    if (c.NoAllMessage || c.Host.AskYesNo(KeyDeleteQuestion(target))) {
        // The backup is written and read back before anything is deleted; a cancel during
        // the backup deletes nothing.
        TCancelWatch watch{c.Host};
        if (c.Undo.RecordKeyDeleted(target, &watch.Report) ||
            (!watch.Cancelled && c.Host.AskYesNo(KeyBackupFailedQuestion)))
            registry::DeleteRegKeyTree(target.FRootKey, target.FPath, &watch.Report);
    }
    c.Host.RefreshKeyTree();
}

void RenameKeyCommand(const TCommandContext& c, const TVxRegKeyClass* key) {
    if (!key || IsRoot(*key)) return;
    const TVxRegKeyClass target = *key;
    std::wstring name = target.FKeyName;
    if (!c.Host.InputText(L"キーの名前の変更", target.FKeyName + L"の新しい名前を指定してください。",
                          name) ||
        name.empty() || name == target.FKeyName)
        return;
    // The registry ignores letter case: a change of case only names the key itself.
    if (registry::SiblingKeyExists(target, name)) {
        c.Host.ShowMessage(KeyExistsMessage(name));
        return;
    }
    if (registry::RenameRegKey(target, name)) c.Undo.RecordKeyRenamed(target, name, target.FKeyName);
    c.Host.RefreshKeyTree();
}

void CopyKeyToClipboard(const TCommandContext& c, const TVxRegKeyClass* key, bool cut) {
    c.Undo.ClearKeyClipboard();
    if (key && !IsRoot(*key)) c.Undo.AddKeyToClipboard(*key, cut);
    c.Host.ShowToolPage(ClipboardToolPage);
}

bool PasteKeyEntry(const TCommandContext& c, const TVxRegKeyClass& key, int index) {
    const auto& list = c.Undo.KeyClipList();
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return true;
    const TVxRegKeyClass entry = *list[static_cast<size_t>(index)];
    TCancelWatch watch{c.Host};
    undo::TPasteKeyInfo info;
    const auto paste = [&] {
        if (c.Undo.PasteKey(key, index, &info, false, &watch.Report) || !info.BackupFailed ||
            watch.Cancelled)
            return;
        // A cut key that could not be backed up moves only when the user says so.
        if (c.Host.AskYesNo(KeyBackupFailedQuestion))
            c.Undo.PasteKey(key, index, &info, true, &watch.Report);
    };
    // Into its own parent the paste would land on the entry itself: the provider refuses
    // it, so no overwrite question is asked first.
    if (registry::SameRegName(entry.FFullPath, key.FFullPath + L"\\" + entry.FKeyName))
        return true;
    if (registry::SubKeyExists(key, entry.FKeyName)) {
        // Merging into the existing key: its undo would delete the user's key, so nothing
        // is recorded. Asked whatever "SetNoAllMessage" says.
        if (c.Host.AskYesNo(KeyOverwriteQuestion(entry, key))) paste();
        return !watch.Cancelled;
    }
    paste();
    // Whatever the paste made (also a part of a cancelled copy) is recorded, so undo
    // removes it; a refused or rolled-back paste made nothing.
    if (registry::SubKeyExists(key, entry.FKeyName)) c.Undo.RecordKeyCreated(key, entry.FKeyName);
    return !watch.Cancelled;
}

void PasteKeysCommand(const TCommandContext& c, const TVxRegKeyClass* key,
                      std::optional<std::vector<int>> indexes) {
    if (!key) return;
    const TVxRegKeyClass target = *key;
    for (int row : RowsBottomUp(indexes, c.Undo.KeyClipList().size()))
        if (!PasteKeyEntry(c, target, row)) break;
    if (c.KeyClip)
        c.Undo.DropCutKeys();
    else
        c.Undo.ClearKeyClipboard();
    c.Host.RefreshKeyTree();
}

void ExpandAllKeyCommand(const TCommandContext& c, const TVxRegKeyClass* key) {
    if (!key) return;
    if (c.NoAllMessage || c.Host.AskYesNo(ExpandAllQuestion)) c.Host.ExpandAllBelowSelected();
}

void CopyKeyNameCommand(const TCommandContext& c, const TVxRegKeyClass* key) {
    if (key) c.Host.SetClipboardText(key->FKeyName);
}

void CopyKeyFullPathCommand(const TCommandContext& c, const TVxRegKeyClass* key) {
    if (key) c.Host.SetClipboardText(key->FFullPath);
}

std::optional<TActionId> GenericCommandTarget(TActionId generic, bool treeFocused) {
    for (const TGenericActionDef& def : GenericActionDefs())
        if (def.Generic == generic) return treeFocused ? def.KeyTwin : def.ValueTwin;
    return std::nullopt;
}

}  // namespace app
