// Gradient fills drawn with pen lines.
//
// Any thread, on a DC that thread owns; never throws.
#pragma once

#include <windows.h>

#include <cstdint>

namespace uihelpers {

// Fills Rect with a linear gradient of pen lines, one per column (Horizontal) or row.
// Colours are 0x00BBGGRR or system colours (high byte 0xFF, low byte the COLOR_ index).
// Positions enter the formula as they are: a rectangle starting further right begins
// part-way through the range.
void GradientFillLines(HDC DC, uint32_t StartColor, uint32_t EndColor, bool Horizontal,
                       const RECT& Rect, bool Reverse);

}  // namespace uihelpers
