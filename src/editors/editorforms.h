// Pieces the value editor dialogs share: their OK and Cancel buttons, their captioned edits,
// and the name field of an existing value.
//
// Main thread only.
#pragma once

#include <string>

#include "classlib/control.h"
#include "classlib/graphics.h"

namespace wide {
class TWideCustomEdit;
}
namespace ui {
class TUiButton;
class TUiLabel;
}  // namespace ui

namespace editors {

// "OK(&O)" (default, modal result 1) and "キャンセル" (cancel, modal result 2), placed
// side by side ending `right` pixels from the parent's right edge at `top`, anchored to
// the parent's right and bottom.
struct TOkCancelButtons {
    ui::TUiButton* Ok = nullptr;
    ui::TUiButton* Cancel = nullptr;
};
TOkCancelButtons MakeOkCancelButtons(classlib::TWinControl* parent, int right, int top);

// A label with `caption` at (left, top) on `parent`, focusing `focus` on its accelerator.
ui::TUiLabel* MakeLabel(classlib::TWinControl* parent, const std::wstring& caption, int left, int top,
                        classlib::TWinControl* focus = nullptr);

// An edit (or memo) on `parent` as the dialogs use it: the window colour, whatever the
// colour of the panel or group it sits on.
template <class TEdit>
TEdit* MakeEdit(classlib::TWinControl* parent) {
    auto* edit = new TEdit(parent);
    edit->SetParent(parent);
    edit->SetColor(classlib::clWindow);
    return edit;
}

// The name field of an existing value: the name, read-only, in the button face colour of
// the dialog around it.
void ShowExistingValueName(wide::TWideCustomEdit& edit, const std::wstring& name);

}  // namespace editors
