#include "editors/valuesnapshot.h"

#include "classlib/streams.h"
#include "controls/wide/widedialogs.h"
#include "registry/regops.h"

namespace editors {

TValueSnapshot TakeValueSnapshot(const registry::TVxRegKeyClass& key, const std::wstring& name) {
    TValueSnapshot snapshot;
    classlib::TMemoryStream stream;
    bool sizeMismatch = false;
    if (!registry::ReadRegValueToStream(key, name, stream, snapshot.Type, sizeMismatch)) return {};
    snapshot.Exists = true;
    const auto* bytes = static_cast<const BYTE*>(stream.Memory());
    snapshot.Data.assign(bytes, bytes + stream.Size());
    return snapshot;
}

std::wstring ValueChangedQuestion(const registry::TVxRegKeyClass& key, const std::wstring& name) {
    return L"編集中にこの値が他のプログラムによって変更または削除されました。\r\n"
           L"編集した内容で上書きしてよろしいですか？\r\n\r\n"
           L"キーフルパス：" + key.FFullPath + L"\r\n" +
           L"値の名前：" + (name.empty() ? std::wstring(L"(既定)") : name) + L"\r\n";
}

bool MayWriteEditedValue(const TValueSnapshot& before, const registry::TVxRegKeyClass& key,
                         const std::wstring& name, const std::function<bool(const std::wstring&)>& ask) {
    if (TakeValueSnapshot(key, name) == before) return true;
    return ask(ValueChangedQuestion(key, name));
}

bool AskOverwriteChangedValue(const std::wstring& question) {
    return wide::WideMessageDlg(question, wide::mtWarning, wide::mbYesNo, 0) == classlib::mrYes;
}

}  // namespace editors
