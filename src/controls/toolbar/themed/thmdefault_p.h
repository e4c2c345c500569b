#pragma once
// Helpers shared by the default theme's sources.

#include <windows.h>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed::detail {

// The open visual-style data of a class, or null (also while visual styles are closed).
HTHEME StyleData(TThmVisualStyleClass which);
// Draws a visual-style part; false when the class has no open data.
bool DrawStylePart(HDC dc, TThmVisualStyleClass which, int part, int state, const RECT& rect,
                   const RECT* clip = nullptr);

inline bool IsToolbarStyle(const TThmItemInfo& item) { return (item.ItemFlags & ifToolbarStyle) != 0; }
inline bool IsHot(const TThmItemInfo& item) { return item.HotState != hsNone; }
// The active look: enabled and selected, or disabled and reached by the keyboard.
inline bool ActiveLook(const TThmItemInfo& item) {
    return item.Enabled ? item.HotState != hsNone : item.HotState == hsKeyboardSelected;
}

}  // namespace themed::detail
