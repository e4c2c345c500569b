// The dialogs that edit a 32-bit value (REG_DWORD and REG_DWORD_BIG_ENDIAN,
// "REG_DWORDとREG_DWORD_BIG_ENDIANエディタ") and a 64-bit value (REG_QWORD, "REG_QWORDエディタ").
//
// Each shows the number in four fields, decimal, hexadecimal, octal and binary, kept in
// step while the user types in any of them (TNumberFieldsModel). The decimal field is the
// one the caller fills before ShowModal and reads on modal result 1. The field that has the
// focus is white, the others have the colour of a button face, and its radio button is
// checked; clicking a radio button moves the focus to its field. OK refuses a decimal text
// that does not fit the width with an error box and keeps the dialog open.
//
// Main thread only.
#pragma once

#include "editors/numberfields.h"
#include "editors/valueeditorform.h"

#include <array>

namespace editors {

class TNumberEditorForm : public TValueEditorForm {
public:
    // The field and radio button of each radix, in the order of TNumberField.
    ui::TUiEdit* Field(TNumberField field) const { return FFields[static_cast<int>(field)]; }
    ui::TUiRadioButton* Check(TNumberField field) const { return FChecks[static_cast<int>(field)]; }
    TNumberWidth Width() const { return FModel.Width(); }

protected:
    TNumberEditorForm(classlib::TComponent* owner, const std::wstring& caption, TNumberWidth width);
    bool CanAccept() override;
    void DoShow() override;

private:
    void FieldChanged(TNumberField field);
    void FieldEntered(TNumberField field);
    TNumberFieldsModel FModel;
    std::array<ui::TUiEdit*, NumberFieldCount> FFields{};
    std::array<ui::TUiRadioButton*, NumberFieldCount> FChecks{};
    bool FUpdating = false;
};

class TDWORDEditorForm : public TNumberEditorForm {
public:
    explicit TDWORDEditorForm(classlib::TComponent* owner);
    ui::TUiEdit* EntryValue;  // decimal
    ui::TUiEdit* EntryValue16;
    ui::TUiEdit* EntryValue8;
    ui::TUiEdit* EntryValue2;
};

class TQWORDEditorForm : public TNumberEditorForm {
public:
    explicit TQWORDEditorForm(classlib::TComponent* owner);
    ui::TUiEdit* EntryValue10;  // decimal
    ui::TUiEdit* EntryValue16;
    ui::TUiEdit* EntryValue8;
    ui::TUiEdit* EntryValue2;
};

}  // namespace editors
