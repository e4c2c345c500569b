// The main window's value commands: the editor of the selected value, new values, and the
// undo of the newest record.
#include "app/mainform.h"

#include "app/regedform.h"
#include "app/valueeditors.h"
#include "controls/wide/widedialogs.h"
#include "undo/undoprovider.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"

namespace app {

namespace {

// Refills the list with `key`'s values and selects the row of `name` again when it is there.
void ShowKeyAgain(views::TVxRegListView& list, const registry::TVxRegKeyClass& key, const std::wstring& name) {
    list.ShowKey(&key);
    uint32_t index = 0;
    for (gridtree::PGridNode row = list.GetFirstChild(nullptr); row; row = list.GetNextSibling(row), ++index) {
        if (list.GetValueAt(index)->FValueName != name) continue;
        list.SetSelected(row, true);
        list.SetFocusedNode(row);
        break;
    }
}

constexpr const wchar_t* kOperationTexts[] = {L"作成の取り消し", L"変更の取り消し", L"名前の変更の取り消し",
                                              L"削除の取り消し"};

// The question asked before the newest record is undone.
std::wstring UndoQuestion(const undo::TRegUndoItem& item) {
    const wchar_t* operation = item.FOperation < std::size(kOperationTexts) ? kOperationTexts[item.FOperation] : L"";
    return L"以下の仕様のアンドゥを実行します。よろしいですか？\r\n\r\nキーフルパス：" + item.FFullPath +
           L"\r\n値名：" + item.FValueName + L"\r\n値の種類：" + (item.FKind == undo::ukValue ? L"値" : L"キー") +
           L"\r\nアンドゥ操作：" + operation + L"\r\n";
}

}  // namespace

void TMainForm::EditValue() {
    TRegEdForm* window = ActiveRegEdForm();
    if (!window) return;
    const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
    const registry::TVxRegValueClass* selected = window->VxRegListView->GetSelectedValue();
    if (!key || !selected) return;
    // The row's record goes when the list is filled again.
    const std::wstring name = selected->FValueName;
    const DWORD type = selected->FValueType;
    const TValueEditorKind kind = EditorKindForType(type);
    const TValueEditorData data = ReadValueForEditor(kind, *key, name);
    std::optional<TValueEditorResult> result = RunValueEditor(this, kind, &name, data.Text);
    if (!result) return;
    result->Type = type;
    WriteEditorResult(*FUndoProvider, *key, kind, *result);
    ShowKeyAgain(*window->VxRegListView, *key, result->Name);
}

void TMainForm::NewValue(DWORD type) {
    TRegEdForm* window = ActiveRegEdForm();
    if (!window) return;
    const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
    if (!key) return;
    const TValueEditorKind kind = EditorKindForType(type);
    std::optional<TValueEditorResult> result = RunValueEditor(this, kind, nullptr, L"");
    if (!result) return;
    result->Type = type;
    WriteEditorResult(*FUndoProvider, *key, kind, *result);
    ShowKeyAgain(*window->VxRegListView, *key, result->Name);
}

void TMainForm::UndoLast() {
    const int count = static_cast<int>(FUndoProvider->UndoList().size());
    if (count == 0) return;
    const undo::TRegUndoItem& newest = *FUndoProvider->UndoList()[static_cast<size_t>(count - 1)];
    if (!FOptions.SetNoAllMessage &&
        wide::WideMessageDlg(UndoQuestion(newest), wide::mtWarning, wide::mbYesNo, 0) != classlib::mrYes)
        return;
    FUndoProvider->UndoAt(count - 1);
    RefreshAllWindows();
}

}  // namespace app
