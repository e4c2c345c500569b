// Keys: shift states, key messages with the form's key preview, dialog keys and characters.
#include "classlib/control_p.h"

#include "classlib/form.h"

#include <vector>

namespace classlib {

TShiftState KeyboardStateToShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
    return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    return s;
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
    TForm* f = GetParentForm(this);
    if (f && f != this && f->KeyPreview()) {
        static_cast<TWinControl*>(f)->KeyDown(key, shift);
        if (key == 0) return true;
    }
    KeyDown(key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(wchar_t& key) {
    TForm* f = GetParentForm(this);
    if (f && f != this && f->KeyPreview()) {
        static_cast<TWinControl*>(f)->KeyPress(key);
        if (key == 0) return true;
    }
    KeyPress(key);
    return key == 0;
}

void TWinControl::WMKeyDown(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    if (DoKeyDown(key, KeyboardStateToShiftState())) return;
    m.WParam = key;
    DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    TForm* f = GetParentForm(this);
    if (f && f != this && f->KeyPreview()) {
        static_cast<TWinControl*>(f)->KeyUp(key, KeyboardStateToShiftState());
        if (key == 0) return;
    }
    KeyUp(key, KeyboardStateToShiftState());
    if (key == 0) return;
    m.WParam = key;
    DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
    wchar_t ch = static_cast<wchar_t>(m.WParam);
    if (DoKeyPress(ch)) return;
    m.WParam = ch;
    DefaultHandler(m);
}

void TWinControl::WMGetDlgCode(TMessage& m) {
    DefaultHandler(m);
    // The system's multi-line edit asks for every key, Esc included, though all it does with
    // Esc is close its parent: Esc stays a dialog key (the form's cancel button). A control
    // that uses Esc itself adds the request after this answer. The message asked about is
    // only read when this thread sent the question.
    if (!m.LParam || InSendMessageEx(nullptr) != ISMEX_NOSEND) return;
    const MSG& asked = *reinterpret_cast<const MSG*>(m.LParam);
    if (asked.message != WM_KEYDOWN || asked.wParam != VK_ESCAPE) return;
    if (!(GetWindowLongPtrW(FHandle, GWL_STYLE) & ES_MULTILINE)) return;
    wchar_t className[8] = {};
    if (GetClassNameW(FHandle, className, 8) && lstrcmpiW(className, L"Edit") == 0) m.Result &= ~DLGC_WANTALLKEYS;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(wchar_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::CMDialogKey(TMessage& m) {
    // The form offers a dialog key (Enter, Esc...) to every control below it until one
    // takes it (a default or cancel button).
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!c->FVisible || !c->FEnabled) continue;
        m.Result = c->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
        if (m.Result) return;
    }
}

void TWinControl::CMDialogChar(TMessage& m) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!c->FVisible || !c->FEnabled) continue;
        m.Result = c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
        if (m.Result) return;
    }
}

}  // namespace classlib
