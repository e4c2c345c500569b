#include "controls/wide/widebutton.h"

#include "classlib/form.h"
#include "controls/wide/widelabel.h"

namespace wide {

using namespace classlib;

TWideButton::TWideButton(TComponent* owner) : TWinControl(owner) {
    FTabStop = true;
    FWidth = 75;
    FHeight = 25;
}

void TWideButton::SetDefault(bool value) {
    FDefault = value;
    if (HandleAllocated()) SendMessageW(FHandle, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TWideButton::Click() {
    if (TForm* f = GetParentForm(this); f && ModalResult != mrNone) f->SetModalResult(ModalResult);
    TWinControl::Click();
}

void TWideButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = L"BUTTON";
    p.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TWideButton::CNCommand(TMessage& m) {
    if (HIWORD(m.WParam) == BN_CLICKED) Click();
    m.Result = 0;
}

void TWideButton::CMDialogKey(TMessage& m) {
    if (KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt)) return;
    bool press = false;
    if (m.WParam == VK_RETURN) {
        TWinControl* focused = FindControl(GetFocus());
        press = focused == this || (FDefault && !dynamic_cast<TWideButton*>(focused));
    }
    if ((press || (m.WParam == VK_ESCAPE && Cancel)) && Enabled() && Showing()) {
        Click();
        m.Result = 1;
    }
}

void TWideButton::CMDialogChar(TMessage& m) {
    if (IsWideCharAccel(static_cast<wchar_t>(m.WParam), GetText()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    TWinControl::CMDialogChar(m);
}

}  // namespace wide
