#pragma once
// Outlines with cut corners, three-band button faces and two-colour linear gradients shared by
// the gradient themes. Each routine leaves the DC as it found it and paints nothing outside its
// rectangle.
//
// Main thread only.

#include <windows.h>

#include "classlib/graphics.h"

namespace themes {

using classlib::TColor;

// The outline of rect with its left corners cut by leftCut and its right ones by rightCut
// pixels; the right side, lower right diagonal and bottom drawn again in `shade` (skipped for
// clNone); a diagonal one pixel further into each cut corner in `corner`.
void PaintCutCornerFrame(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor outline, TColor shade,
                         TColor corner);
// The same outline; the corner diagonals blend 60 % of the pixel already at the rectangle's
// top-left corner (left corners) or bottom-right corner (right corners) with 40 % of the
// outline (shade) colour. A corner pixel that cannot be read counts as the edge colour.
void PaintCutCornerFrameBlended(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor outline, TColor shade);

// The channel stops of the banded face: normal, hot, pushed.
enum TBandedStops { bsNormal, bsHot, bsPushed };
// Three bands through four fixed stops, lines from the top (vertical) or from the left. The
// band length is (lines - 1) div 3, at least 1; the last band keeps its slope past the last
// stop, clamped to 0..255. Only lines inside rect are painted.
void PaintBandedButton(HDC dc, const RECT& rect, bool highlighted, bool pushed, bool vertical);
inline void PaintBandedButtonNormal(HDC dc, const RECT& rect, bool highlighted, bool vertical) {
    PaintBandedButton(dc, rect, highlighted, false, vertical);
}
// The colour of banded line `index` of a face of `lines` lines.
TColor BandedButtonLineColor(TBandedStops stops, int index, int lines);

// A two-colour gradient from `start` at the left (top when vertical) to `end` at the right
// (bottom); note the order of the colour arguments. Through the system's gradient fill, or
// line by line when that fails.
void PaintLinearGradient(HDC dc, const RECT& rect, TColor end, TColor start, bool vertical);
// The line-by-line gradient: line i - 1 for i = 1 .. n takes start + (end - start) x i div n
// per channel, so the first line is one step from `start` and the last is `end`.
void PaintLinearGradientLines(HDC dc, const RECT& rect, TColor start, TColor end, bool vertical);

}  // namespace themes
