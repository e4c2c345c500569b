#pragma once
// Helpers shared by the painters' sources.

#include <windows.h>
#include <uxtheme.h>

#include <string>

#include "controls/toolbar/themed/thmregistry.h"

namespace ui::detail {

// The registered name of the theme in use.
std::wstring CurrentThemeName();
// The theme manager's open visual-style data of a class, or null.
HTHEME StyleData(themed::TThmVisualStyleClass which);
// Draws a visual-style part; false (and nothing drawn) without data or drawing call.
bool DrawStyle(HDC dc, HTHEME data, int part, int state, const RECT& rect);

inline RECT Deflated(RECT r, int dx, int dy) {
    InflateRect(&r, -dx, -dy);
    return r;
}
inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace ui::detail
