#include "editors/valueeditorform.h"

#include "editors/editorforms.h"

namespace editors {

using classlib::TComponent;

namespace {
constexpr int Margin = 8;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 25;
}  // namespace

TValueEditorForm::TValueEditorForm(TComponent* owner, const std::wstring& caption, int clientWidth, int groupHeight)
    : wide::TWideForm(owner), FClientWidth(clientWidth) {
    SetBorderStyle(classlib::bsDialog);
    SetPosition(classlib::poScreenCenter);
    SetCaption(caption);

    WriteGroup = new ui::TUiGroupBox(this);
    WriteGroup->SetParent(this);
    WriteGroup->SetCaption(L"書き込み");
    WriteGroup->SetBounds(Margin, Margin, clientWidth - 2 * Margin, FieldTop() + groupHeight);

    EntryName = AddEdit<ui::TUiEdit>(WriteGroup, FieldLeft, NameTop, FieldWidth());
    AddLabel(L"エントリ名", LabelLeft, NameTop, EntryName);

    OKButton = new ui::TUiButton(this);
    OKButton->SetCaption(L"OK(&O)");
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](TComponent*) { OKClick(); };
    CancelButton = new ui::TUiButton(this);
    CancelButton->SetCaption(L"キャンセル");
    CancelButton->Cancel = true;
    CancelButton->ModalResult = classlib::mrCancel;
}

int TValueEditorForm::FieldWidth() const { return FClientWidth - 2 * Margin - FieldLeft - 12; }

void TValueEditorForm::ShowExistingName(const std::wstring& name) { ShowExistingValueName(*EntryName, name); }

ui::TUiLabel* TValueEditorForm::AddLabel(const std::wstring& caption, int left, int top,
                                         classlib::TWinControl* focus) {
    auto* label = MakeLabel(focus ? focus->Parent() : WriteGroup, caption, left, top + 3, focus);
    label->SetBounds(left, top + 3, FieldLeft - left - 4, 16);
    return label;
}

void TValueEditorForm::FinishLayout(int bottom) {
    // The buttons come last in the tab order, after every field.
    const int top = bottom + Margin;
    OKButton->SetParent(this);
    OKButton->SetBounds(FClientWidth - Margin - 2 * ButtonWidth - 6, top, ButtonWidth, ButtonHeight);
    CancelButton->SetParent(this);
    CancelButton->SetBounds(FClientWidth - Margin - ButtonWidth, top, ButtonWidth, ButtonHeight);
    SetClientSize(FClientWidth, top + ButtonHeight + Margin);
}

void TValueEditorForm::OKClick() {
    if (CanAccept()) SetModalResult(classlib::mrOk);
}

}  // namespace editors
