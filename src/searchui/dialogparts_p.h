// Building blocks of the search dialogs' layouts: placing a themed control on a parent,
// the captioned controls, and the form's own frame. Private to the folder.
#pragma once

#include <string>

#include "classlib/form.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uipanels.h"

namespace searchui::detail {

// A control of class T owned by `owner`, on `parent`, at the given bounds (client
// coordinates of the parent).
template <class T>
T* Place(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(owner);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// A caption control (label, check box, radio button, group box, button) with its caption.
template <class T>
T* PlaceCaptioned(classlib::TComponent* owner, classlib::TWinControl* parent, const std::wstring& caption, int left,
                  int top, int width, int height) {
    T* control = Place<T>(owner, parent, left, top, width, height);
    control->SetCaption(caption);
    return control;
}

// A push button that closes the form with `result` (mrNone: it does not close it).
ui::TUiButton* PlaceButton(classlib::TComponent* owner, classlib::TWinControl* parent, const std::wstring& caption,
                           int left, int top, int width, classlib::TModalResult result);

// The same room on all four sides.
void SetMargins(themed::TThmControlMargins& margins, int room);

// A fixed dialog frame (or a sizeable one) with its caption and client size, centred on its
// owner form (or the screen).
void SetUpDialogForm(classlib::TForm& form, const std::wstring& caption, int clientWidth, int clientHeight,
                     bool sizeable = false);

}  // namespace searchui::detail
