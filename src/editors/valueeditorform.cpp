#include "editors/valueeditorform.h"

#include "editors/editorforms.h"

namespace editors {

using classlib::TComponent;

namespace {
constexpr int Margin = 8;
constexpr int ButtonWidth = 88;
}  // namespace

TValueEditorForm::TValueEditorForm(TComponent* owner, const std::wstring& caption, int clientWidth, int groupHeight)
    : wide::TWideForm(owner), FFrame{caption, clientWidth, 0, false, classlib::poScreenCenter} {
    // The frame is set once the derived form has placed its fields and the height is known
    // (FinishLayout).
    WriteGroup = ui::TPlacer(this, this).Add<ui::TUiGroupBox>(
        L"書き込み", {Margin, Margin, clientWidth - 2 * Margin, FieldTop() + groupHeight});
    EntryName = AddField<ui::TUiEdit>(L"エントリ名", NameTop);
}

ui::TPlace TValueEditorForm::FieldAt(int top) const {
    return {FieldLeft, top, FFrame.ClientWidth - 2 * Margin - FieldLeft - 12, 21};
}

void TValueEditorForm::ShowExistingName(const std::wstring& name) { ShowExistingValueName(*EntryName, name); }

void TValueEditorForm::FinishLayout(int bottom) {
    // The buttons come last in the tab order, after every field.
    const int top = bottom + Margin;
    const std::vector<ui::TPlace> row = ui::ButtonRow(FFrame.ClientWidth - Margin, top, {ButtonWidth, ButtonWidth}, 6);
    const ui::TOkCancel pair = ui::AddOkCancel(ui::TPlacer(this, this), {.Ok = row[0], .Cancel = row[1]},
                                               [this] { return CanAccept(); });
    OKButton = pair.Ok;
    CancelButton = pair.Cancel;
    FFrame.ClientHeight = top + row[0].Height + Margin;
    ui::SetUpDialog(*this, FFrame);
}

}  // namespace editors
