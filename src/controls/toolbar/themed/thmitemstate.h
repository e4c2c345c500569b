#pragma once
// The drawing state of a themed item as the font and image hooks of the themed controls see
// it, and the drawing of a single image through the current theme for controls that are not
// items.
//
// Main thread only.

#include <windows.h>

#include "controls/toolbar/themed/thmtheme.h"

namespace classlib {
class TCanvas;
class TImageList;
}

namespace themed {

// Drawing-state bits.
constexpr int dstDisabled = 0x1;
constexpr int dstHot = 0x2;  // HotState hsSelected
constexpr int dstPushed = 0x4;
constexpr int dstChecked = 0x8;

// The drawing-state bits of an item record.
int ItemInfoToDrawState(const TThmItemInfo& item);

// PaintThemedImage flags: the low four bits are drawing-state bits (dst*), bits 8 to 11 pick
// the kind of view the image is drawn for.
constexpr int tifViewToolbar = 0x000;    // a toolbar item (toolbar style)
constexpr int tifViewDockPanel = 0x100;
constexpr int tifViewStatusBar = 0x200;

// Draws image `imageIndex` of `images` at the rectangle through the current theme's
// PaintItemImage, as an item of the view kind and state the flags give. Nothing without a
// list or for an index outside it.
void PaintThemedImage(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList* images,
                      int imageIndex, int flags);

// Paints the arrow part of a split button: pushed while the arrow is pressed, never checked.
// `info` is the button part's record and comes back unchanged.
void PaintSplitArrowPart(TThmTheme& theme, classlib::TCanvas& canvas, const RECT& arrow, TThmItemInfo& info,
                         bool arrowPressed);

}  // namespace themed
