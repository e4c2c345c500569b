#include "app/valueeditors.h"

#include "editors/numbereditorforms.h"
#include "editors/stringeditorforms.h"

#include <memory>

namespace app {

namespace {

// Fills the dialog, shows it and reads it back; `valueField` names its value field.
template <class TForm, class F>
std::optional<TValueEditorResult> Run(classlib::TComponent* owner, const std::wstring* existingName,
                                      const std::wstring& text, F valueField) {
    const auto form = std::make_unique<TForm>(owner);
    if (existingName) form->ShowExistingName(*existingName);
    ui::TUiEdit* value = valueField(*form);
    value->SetText(text);
    if (form->ShowModal() != classlib::mrOk) return std::nullopt;
    TValueEditorResult result;
    result.Name = form->EntryName->GetText();
    result.Text = value->GetText();
    return result;
}

}  // namespace

std::optional<TValueEditorResult> RunValueEditor(classlib::TComponent* owner, TValueEditorKind kind,
                                                 const std::wstring* existingName, const std::wstring& text) {
    using namespace editors;
    switch (kind) {
    case TValueEditorKind::String:
        return Run<TEditorSZForm>(owner, existingName, text, [](TEditorSZForm& f) { return f.EntryValue; });
    case TValueEditorKind::ExpandString:
        return Run<TEditorExSZForm>(owner, existingName, text, [](TEditorExSZForm& f) { return f.EntryValue; });
    case TValueEditorKind::DWord:
        return Run<TDWORDEditorForm>(owner, existingName, text, [](TDWORDEditorForm& f) { return f.EntryValue; });
    case TValueEditorKind::QWord:
        return Run<TQWORDEditorForm>(owner, existingName, text, [](TQWORDEditorForm& f) { return f.EntryValue10; });
    case TValueEditorKind::MultiString:
    case TValueEditorKind::Binary: break;
    }
    return std::nullopt;
}

}  // namespace app
