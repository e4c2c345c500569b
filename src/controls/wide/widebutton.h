// The Unicode push button over the system BUTTON control.
//
// Clicking sets the parent form's ModalResult when the button has one. Enter presses the
// focused button, or the Default button when no button has the focus; Esc presses the
// Cancel button. The hot key of the caption ("はい(&Y)") matches without regard to case.
#pragma once

#include "classlib/control.h"
#include "classlib/messages.h"

namespace wide {

class TWideButton : public classlib::TWinControl {
public:
    explicit TWideButton(classlib::TComponent* owner);
    classlib::TModalResult ModalResult = classlib::mrNone;
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool Cancel = false;

    void Click() override;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CNCommand(classlib::TMessage& m) override;
    void CMDialogKey(classlib::TMessage& m) override;
    void CMDialogChar(classlib::TMessage& m) override;

    bool FDefault = false;
};

}  // namespace wide
