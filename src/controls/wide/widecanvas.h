// UTF-16 text output and measurement on a canvas.
#pragma once

#include <string>

#include "classlib/graphics.h"

namespace wide {

// Draws Text at (X, Y) with the canvas's text flags, no clipping rectangle and no spacing
// array; the pen ends at X + the text width. On a right-to-left canvas (ETO_RTLREADING in
// TextFlags) X first moves right by the text width + 1. OnChanging/OnChange fire around it.
void WideCanvasTextOut(classlib::TCanvas& Canvas, int X, int Y, const std::wstring& Text);

// Extent of the whole text as the system's UTF-16 measurement gives it; (0, 0) when the
// call fails.
SIZE WideCanvasTextExtent(classlib::TCanvas& Canvas, const std::wstring& Text);
int WideCanvasTextWidth(classlib::TCanvas& Canvas, const std::wstring& Text);
int WideCanvasTextHeight(classlib::TCanvas& Canvas, const std::wstring& Text);

}  // namespace wide
