#include "app/valueeditors.h"

#include "classlib/streams.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/wideedit.h"
#include "editors/binaryeditorform.h"
#include "editors/editorforms.h"
#include "editors/multistringeditor.h"
#include "editors/numbereditorforms.h"
#include "hexedit/hexeditorex.h"
#include "editors/stringeditorforms.h"

namespace app {

namespace {

// Fills the dialog, shows it and reads it back; `valueField` names its value field.
template <class TForm, class F>
std::optional<TValueEditorResult> Run(classlib::TComponent* owner, const std::wstring* existingName,
                                      const std::wstring& text, F valueField) {
    std::optional<TValueEditorResult> result;
    ui::ShowModalForm<TForm>(
        owner,
        [&](TForm& form) {
            if (existingName) form.ShowExistingName(*existingName);
            valueField(form)->SetText(text);
        },
        [&](TForm& form) { result = TValueEditorResult{form.EntryName->GetText(), valueField(form)->GetText()}; });
    return result;
}

// The text without one final line break: the writer reads a break at the end as one more,
// empty, string, and the memo would show an empty last line.
std::wstring WithoutFinalBreak(std::wstring text) {
    if (text.ends_with(L"\r\n")) text.resize(text.size() - 2);
    return text;
}

std::optional<TValueEditorResult> RunMultiStringEditor(classlib::TComponent* owner, const std::wstring* existingName,
                                                       const std::wstring& text, const std::wstring& textEditor) {
    std::optional<TValueEditorResult> result;
    ui::ShowModalForm<editors::TEditorFormMultiSZ>(
        owner,
        [&](editors::TEditorFormMultiSZ& form) {
            if (existingName) editors::ShowExistingValueName(*form.EntryName, *existingName);
            form.EntryValue->Lines().SetTextStr(WithoutFinalBreak(text));
            form.TextEditorPath = textEditor;
        },
        [&](editors::TEditorFormMultiSZ& form) {
            result = TValueEditorResult{form.EntryName->GetText(), WithoutFinalBreak(form.EntryValue->Lines().Text())};
        });
    return result;
}

}  // namespace

std::optional<TValueEditorResult> RunBinaryValueEditor(classlib::TComponent* owner, const std::wstring* existingName,
                                                       const std::vector<BYTE>& bytes, DWORD type,
                                                       TBinaryTypeField typeField) {
    std::optional<TValueEditorResult> result;
    ui::ShowModalForm<editors::TEditorBinForm>(
        owner,
        [&](editors::TEditorBinForm& form) {
            if (existingName) editors::ShowExistingValueName(*form.EntryName, *existingName);
            form.ShowValueType(typeField != TBinaryTypeField::Hidden);
            form.SetValueType(type);
            form.ValTypeSelector->SetEnabled(typeField == TBinaryTypeField::Chosen);
            classlib::TMemoryStream stream;
            if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
            form.EntryValue->LoadFromStream(stream);
        },
        [&](editors::TEditorBinForm& form) {
            result.emplace();
            result->Name = form.EntryName->GetText();
            classlib::TMemoryStream stream;
            form.EntryValue->SaveToStream(stream);
            const auto* p = static_cast<const BYTE*>(stream.Memory());
            result->Bytes.assign(p, p + stream.Size());
            result->Type = typeField == TBinaryTypeField::Chosen ? form.ValueType() : type;
        });
    return result;
}

std::optional<TValueEditorResult> RunValueEditor(classlib::TComponent* owner, TValueEditorKind kind,
                                                 const std::wstring* existingName, const TValueEditorData& data,
                                                 const std::wstring& textEditor) {
    using namespace editors;
    const std::wstring& text = data.Text;
    switch (kind) {
    case TValueEditorKind::String:
        return Run<TEditorSZForm>(owner, existingName, text, [](TEditorSZForm& f) { return f.EntryValue; });
    case TValueEditorKind::ExpandString:
        return Run<TEditorExSZForm>(owner, existingName, text, [](TEditorExSZForm& f) { return f.EntryValue; });
    case TValueEditorKind::DWord:
        return Run<TDWORDEditorForm>(owner, existingName, text, [](TDWORDEditorForm& f) { return f.EntryValue; });
    case TValueEditorKind::QWord:
        return Run<TQWORDEditorForm>(owner, existingName, text, [](TQWORDEditorForm& f) { return f.EntryValue10; });
    case TValueEditorKind::MultiString: return RunMultiStringEditor(owner, existingName, text, textEditor);
    case TValueEditorKind::Binary:
        return RunBinaryValueEditor(owner, existingName, data.Bytes, REG_BINARY, TBinaryTypeField::Hidden);
    }
    return std::nullopt;
}

}  // namespace app
