// The main window's value commands: the editor of the selected value, the raw bytes of any
// value in the binary editor (its type kept), new values (of a type chosen in the binary
// editor too), and the undo of the newest record.
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

// The active registry window's selected key and the name and type of its first selected
// value (copied: the row's record goes when the list is filled again); none without them.
struct TValueSelection {
    TRegEdForm* Window;
    registry::TVxRegKeyClass Key;
    std::wstring Name;
    DWORD Type;
};
std::optional<TValueSelection> SelectedValue(TRegEdForm* window) {
    if (!window) return std::nullopt;
    const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
    const registry::TVxRegValueClass* selected = window->VxRegListView->GetSelectedValue();
    if (!key || !selected) return std::nullopt;
    return TValueSelection{window, *key, selected->FValueName, selected->FValueType};
}

}  // namespace

void TMainForm::EditValue() {
    const std::optional<TValueSelection> selection = SelectedValue(ActiveRegEdForm());
    if (!selection) return;
    const auto& [window, key, name, type] = *selection;
    const TValueEditorKind kind = EditorKindForType(type);
    // Other types are edited as bytes, their type shown but fixed.
    if (kind == TValueEditorKind::Binary) return EditValueAsBinary();
    const TValueEditorData data = ReadValueForEditor(kind, key, name);
    std::optional<TValueEditorResult> result = RunValueEditor(this, kind, &name, data, FOptions.SetRegTextEditor);
    if (!result) return;
    result->Type = type;
    WriteEditorResult(*FUndoProvider, key, kind, *result);
    ShowKeyAgain(*window->VxRegListView, key, result->Name);
}

void TMainForm::NewValue(DWORD type) {
    TRegEdForm* window = ActiveRegEdForm();
    if (!window) return;
    const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
    if (!key) return;
    const TValueEditorKind kind = EditorKindForType(type);
    std::optional<TValueEditorResult> result = RunValueEditor(this, kind, nullptr, TValueEditorData{}, FOptions.SetRegTextEditor);
    if (!result) return;
    result->Type = type;
    WriteEditorResult(*FUndoProvider, *key, kind, *result);
    ShowKeyAgain(*window->VxRegListView, *key, result->Name);
}

void TMainForm::EditValueAsBinary() {
    const std::optional<TValueSelection> selection = SelectedValue(ActiveRegEdForm());
    if (!selection) return;
    const auto& [window, key, name, type] = *selection;
    const std::optional<TValueEditorResult> result = RunBinaryValueEditor(
        this, &name, ReadBinaryValue(key, name), type, TBinaryTypeField::Fixed);
    if (!result) return;
    WriteBinaryValue(*FUndoProvider, key, result->Name, result->Type, result->Bytes);
    ShowKeyAgain(*window->VxRegListView, key, result->Name);
}

void TMainForm::NewCustomValue() {
    TRegEdForm* window = ActiveRegEdForm();
    if (!window) return;
    const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
    if (!key) return;
    const std::optional<TValueEditorResult> result =
        RunBinaryValueEditor(this, nullptr, {}, REG_BINARY, TBinaryTypeField::Chosen);
    if (!result) return;
    WriteBinaryValue(*FUndoProvider, *key, result->Name, result->Type, result->Bytes);
    ShowKeyAgain(*window->VxRegListView, *key, result->Name);
}

}  // namespace app
