// Bars painted the way the themed bars paint them, through a theme's operations only: a menu
// bar, an open popup menu, a docked toolbar, a floating toolbar and a docked panel. The sheet
// tool paints them per theme into a picture; the theme benchmark paints the toolbar and the
// popup over and over.
#pragma once

#include <windows.h>

#include "classlib/graphics.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themescene {

// A 16 x 16 image list with a few simple coloured pictures.
classlib::TImageList& SceneImages();

// Each painter draws with its top-left corner at `origin` and answers the rectangle it used.
RECT PaintMenuBar(themed::TThmTheme& theme, classlib::TCanvas& canvas, POINT origin, int width);
RECT PaintToolbar(themed::TThmTheme& theme, classlib::TCanvas& canvas, POINT origin, int items);
RECT PaintPopupMenu(themed::TThmTheme& theme, classlib::TCanvas& canvas, POINT origin, int items,
                    const RECT* opener = nullptr);
RECT PaintFloatingToolbar(themed::TThmTheme& theme, classlib::TCanvas& canvas, POINT origin, int items);
RECT PaintDockedPanel(themed::TThmTheme& theme, classlib::TCanvas& canvas, POINT origin, SIZE size);
RECT PaintStatusBar(themed::TThmTheme& theme, classlib::TCanvas& canvas, POINT origin, int width);

}  // namespace themescene
