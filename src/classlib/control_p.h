// Shared by the control source files (control*.cpp) only; never included elsewhere.
#pragma once

#include "classlib/control.h"

#include <windows.h>

namespace classlib {

// The window property that ties a window to its TWinControl (FindControl reads it).
inline constexpr wchar_t kControlProp[] = L"WendlarControl";

// The control whose window CreateWindowExW is making right now; the first message of the
// window binds the two.
extern TWinControl* gCreationControl;

// GWLP_USERDATA of a window of our class whose object let go of it before destroying it:
// its messages go to DefWindowProcW and it never binds to a control again.
inline constexpr LONG_PTR kUnboundWindow = -1;

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ControlSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);

// Cuts the window off its control: later messages never reach the object.
void UnbindWindow(HWND wnd, bool subclassed);

}  // namespace classlib
