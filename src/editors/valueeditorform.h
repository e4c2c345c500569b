// What the value editor dialogs share: a dialog-framed form centred on the screen with the
// group "書き込み", the value name field "エントリ名" and the buttons "OK(&O)" (default) and
// "キャンセル" (cancel, modal result 2).
//
// The caller fills the fields, shows the form modally and reads the fields back when the
// result is 1. OK asks CanAccept first: a dialog that refuses keeps itself open.
//
// Main thread only.
#pragma once

#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/wideforms.h"

#include <string>

namespace editors {

class TValueEditorForm : public wide::TWideForm {
public:
    ui::TUiEdit* EntryName = nullptr;
    ui::TUiGroupBox* WriteGroup = nullptr;
    ui::TUiButton* OKButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;

    // The name of an existing value: shown read-only in the button face colour.
    void ShowExistingName(const std::wstring& name);

protected:
    // `groupHeight`: room below the name row for the dialog's own fields. Derived forms
    // place their fields from FieldTop() and call FinishLayout once everything is placed.
    TValueEditorForm(classlib::TComponent* owner, const std::wstring& caption, int clientWidth, int groupHeight);
    // False keeps the dialog open (the form has told the user why).
    virtual bool CanAccept() { return true; }

    // The first row below the name in the group, and the left edge of the labels and fields.
    static constexpr int NameTop = 20;
    static constexpr int RowHeight = 30;
    static constexpr int LabelLeft = 12;
    static constexpr int FieldLeft = 96;
    int FieldTop() const { return NameTop + RowHeight; }
    // Puts controls of this form into the group "書き込み".
    ui::TPlacer InGroup() { return ui::TPlacer(this, WriteGroup); }
    // The field of the row at `top`, and the label left of it.
    ui::TPlace FieldAt(int top) const;
    static ui::TPlace LabelAt(int top) { return {LabelLeft, top + 3, FieldLeft - LabelLeft - 4, 16}; }
    // A field of class T in the row at `top`, then its label, which focuses it.
    template <class T>
    T* AddField(const std::wstring& caption, int top) {
        T* field = InGroup().Add<T>(FieldAt(top));
        InGroup().Label(caption, LabelAt(top), field);
        return field;
    }
    // Places the buttons below the last group (its bottom edge at `bottom`) and sizes the form.
    void FinishLayout(int bottom);

private:
    ui::TDialogFrame FFrame;
};

}  // namespace editors
