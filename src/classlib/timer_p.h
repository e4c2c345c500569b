// Inside the class library: the link between the application's utility window and the
// timers.
#pragma once

#include <windows.h>

namespace classlib {

// Fires the timer with this id, if one still runs (the utility window's WM_TIMER).
void DispatchTimer(UINT_PTR id);

}  // namespace classlib
