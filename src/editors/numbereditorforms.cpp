#include "editors/numbereditorforms.h"

#include "classlib/scopeguard.h"
#include "controls/wide/widedialogs.h"

namespace editors {

using classlib::TComponent;

namespace {

constexpr int FormWidth = 600;
constexpr int FieldRowHeight = 28;
constexpr int NumberGroupHeight = 22 + 4 * FieldRowHeight + 4;
constexpr const wchar_t* CheckCaptions[NumberFieldCount] = {L"10進数：", L"16進数：", L"  8進数：", L"  2進数："};

// The order the fields take in the tab order after the decimal one.
constexpr TNumberField DWordTabOrder[] = {TNumberField::Decimal, TNumberField::Hex, TNumberField::Octal,
                                          TNumberField::Binary};
constexpr TNumberField QWordTabOrder[] = {TNumberField::Decimal, TNumberField::Binary, TNumberField::Octal,
                                          TNumberField::Hex};

}  // namespace

TNumberEditorForm::TNumberEditorForm(TComponent* owner, const std::wstring& caption, TNumberWidth width)
    : TValueEditorForm(owner, caption, FormWidth, NumberGroupHeight), FModel(width) {
    const int firstRow = FieldTop() + 22;
    auto rowTop = [&](TNumberField field) { return firstRow + static_cast<int>(field) * FieldRowHeight; };
    auto makeField = [&](TNumberField field) {
        ui::TUiEdit* edit = InGroup().Add<ui::TUiEdit>(FieldAt(rowTop(field)));
        edit->SetColor(field == TNumberField::Decimal ? classlib::clWindow : classlib::clBtnFace);
        edit->OnChange = [this, field](TComponent*) { FieldChanged(field); };
        edit->OnEnter = [this, field](TComponent*) { FieldEntered(field); };
        FFields[static_cast<int>(field)] = edit;
    };
    auto makeCheck = [&](TNumberField field) {
        ui::TUiRadioButton* check = InGroup().Radio(CheckCaptions[static_cast<int>(field)],
                                                    {LabelLeft, rowTop(field) + 2, FieldLeft - LabelLeft - 4, 17});
        check->OnClick = [this, field](TComponent*) {
            if (Check(field)->Checked() && Field(field)->CanFocus()) Field(field)->SetFocus();
        };
        FChecks[static_cast<int>(field)] = check;
    };

    const auto& order = width == TNumberWidth::DWord ? DWordTabOrder : QWordTabOrder;
    // Tab order: name, decimal, then the 32-bit form's other fields before the radio
    // buttons, the 64-bit form's after them.
    makeField(order[0]);
    if (width == TNumberWidth::DWord)
        for (int i = 1; i < NumberFieldCount; ++i) makeField(order[i]);
    for (int i = 0; i < NumberFieldCount; ++i) makeCheck(static_cast<TNumberField>(i));
    if (width == TNumberWidth::QWord)
        for (int i = 1; i < NumberFieldCount; ++i) makeField(order[i]);
    InGroup().Label(L"書き込む値", LabelAt(FieldTop()), Field(TNumberField::Decimal));
    Check(TNumberField::Decimal)->SetChecked(true);
    SetActiveControl(Field(TNumberField::Decimal));
    FinishLayout(WriteGroup->Top() + WriteGroup->Height());
}

void TNumberEditorForm::FieldChanged(TNumberField field) {
    if (FUpdating) return;  // a field set from another one
    FUpdating = true;
    const auto attachAgain = classlib::ScopeExit([this] { FUpdating = false; });
    for (const TNumberFieldsModel::TUpdate& update : FModel.FieldChanged(field, Field(field)->GetText())) {
        ui::TUiEdit* edit = Field(update.Field);
        if (edit->HandleAllocated())
            SetEditTextIfChanged(edit->Handle(), update.Text);
        else
            edit->SetText(update.Text);
    }
}

void TNumberEditorForm::FieldEntered(TNumberField field) {
    for (int i = 0; i < NumberFieldCount; ++i)
        FFields[i]->SetColor(i == static_cast<int>(field) ? classlib::clWindow : classlib::clBtnFace);
    Check(field)->SetChecked(true);
}

void TNumberEditorForm::DoShow() {
    // The caller set the decimal text before the fields had windows: fill the others now.
    FieldChanged(TNumberField::Decimal);
    TValueEditorForm::DoShow();
}

bool TNumberEditorForm::CanAccept() {
    if (NumberTextFits(Width(), Field(TNumberField::Decimal)->GetText())) return true;
    wide::WideMessageDlg(NumberRangeErrorText, wide::mtError, wide::mbOKOnly, 0);
    return false;
}

TDWORDEditorForm::TDWORDEditorForm(TComponent* owner)
    : TNumberEditorForm(owner, L"REG_DWORDとREG_DWORD_BIG_ENDIANエディタ", TNumberWidth::DWord),
      EntryValue(Field(TNumberField::Decimal)),
      EntryValue16(Field(TNumberField::Hex)),
      EntryValue8(Field(TNumberField::Octal)),
      EntryValue2(Field(TNumberField::Binary)) {
    DoCreate();
}

TQWORDEditorForm::TQWORDEditorForm(TComponent* owner)
    : TNumberEditorForm(owner, L"REG_QWORDエディタ", TNumberWidth::QWord),
      EntryValue10(Field(TNumberField::Decimal)),
      EntryValue16(Field(TNumberField::Hex)),
      EntryValue8(Field(TNumberField::Octal)),
      EntryValue2(Field(TNumberField::Binary)) {
    DoCreate();
}

}  // namespace editors
