// The system's colour and font choosers in UTF-16.
//
// Both are modal system dialogs owned by `owner` (null: no owner). Neither throws: a failure
// reads as a cancel and leaves the caller's values as they were. Main thread only.
#pragma once

#include "classlib/graphics.h"

#include <windows.h>

#include <array>

namespace wide {

// The sixteen colours of the colour dialog's custom row. The caller keeps them between
// calls, so colours the user mixed stay offered.
using TCustomColors = std::array<COLORREF, 16>;

// The colour dialog opening at `colour` (an RGB value), its custom row from and back into
// `customColors`. True and `colour` set to the chosen RGB value on OK.
bool ChooseColorDialog(HWND owner, COLORREF& colour, TCustomColors& customColors);

// The font dialog opening on `font` (face, height, style, character set), offering the
// screen fonts with sizes from `minPoints` to `maxPoints` (both 0: no limit). True and
// `font` set to the chosen face, height, style and character set on OK; its colour stays.
bool ChooseFontDialog(HWND owner, classlib::TFont& font, int minPoints = 0, int maxPoints = 0);

}  // namespace wide
