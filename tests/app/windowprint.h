// A window of the started program printed with WM_PRINT: see PrintWindowOf in driving.h,
// which holds it with the other driving helpers.
#pragma once

#include "driving.h"
