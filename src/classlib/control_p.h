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

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ControlSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);

}  // namespace classlib
