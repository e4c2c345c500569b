// The hot-key control over the system's "msctls_hotkey32": the user presses a key with its
// modifiers and the control shows and keeps that combination.
//
// Its value is a classlib::TShortCut (key in the low byte, scShift / scCtrl / scAlt). The
// control excludes no key and no modifier: a key pressed alone is kept as it is. OnChange
// fires for every change the user makes (not for SetHotKey). Main thread only.
#pragma once

#include "classlib/actions.h"
#include "classlib/control.h"

#include <windows.h>

namespace wide {

// The system control's value (virtual key in the low byte, HOTKEYF_* in the high byte) as a
// shortcut and back. The extended-key flag is dropped when reading and set for the keys
// that sit in the extended part of the keyboard (Ins, Del, Home, End, PgUp, PgDn, arrows...).
classlib::TShortCut HotKeyValueToShortCut(WORD value);
WORD ShortCutToHotKeyValue(classlib::TShortCut shortCut);

class THotKey : public classlib::TWinControl {
public:
    explicit THotKey(classlib::TComponent* owner);

    // The combination shown (0: none).
    classlib::TShortCut HotKey();
    void SetHotKey(classlib::TShortCut value);

    classlib::TNotifyEvent OnChange;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void WMDestroy(classlib::TMessage& m) override;
    void CNCommand(classlib::TMessage& m) override;
    virtual void Change();

private:
    // The value while there is no window.
    classlib::TShortCut FHotKey = 0;
};

}  // namespace wide
