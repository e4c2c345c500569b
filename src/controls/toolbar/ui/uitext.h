#pragma once
// Caption text of the themed items and controls: measuring and drawing UTF-16 text (also
// turned for vertical toolbars, with an optional one-pixel glow), the placing of a glyph or
// image beside or above a caption, and small string helpers for captions and hints.
//
// Everything works on the canvas or DC the caller gives and keeps no state. Orientation: 0
// plain, 1 turned by 90 degrees (read from bottom to top), 2 turned by 270 degrees (read from
// top to bottom). Main thread only.

#include <windows.h>

#include <string>

#include "classlib/graphics.h"
#include "controls/toolbar/ui/uitypes.h"
#include "controls/wide/widelabel.h"

namespace classlib {
class TImageList;
}

namespace ui {

// --- strings ----------------------------------------------------------------------------------

// Removes every '&' and keeps the character after it: "&&" leaves one '&'.
std::wstring StripAmpersands(const std::wstring& text);
// The text before the first tab.
std::wstring CutAtTab(const std::wstring& text);
// Without one trailing ':' (texts longer than one character), or else without a trailing
// "..." (texts longer than three).
std::wstring StripTrailingEllipsisOrColon(const std::wstring& text);
// A caption written "utf8=" followed by UTF-8 is the text that UTF-8 stands for: each
// character up to U+00FF after the prefix is one byte, a character beyond it stands for
// itself, and bytes that are not valid UTF-8 become U+FFFD. Other texts come back unchanged.
std::wstring DecodeUtf8Caption(const std::wstring& text);

// --- text -------------------------------------------------------------------------------------

// A copy of the DC's current font turned by `angle` tenths of a degree, TrueType only; the
// system's dialog sans-serif faces become "Tahoma", and a face with a vertical-writing twin
// ("@" + face) takes the twin. The caller deletes the font.
HFONT CreateRotatedFont(HDC dc, int angle);
// Draws text turned for orientation 1 or 2 in the DC's font and text colour, in a column
// centred across the rectangle. Honours DT_NOPREFIX (else '&' marks an underlined
// accelerator), DT_HIDEPREFIX, DT_END_ELLIPSIS (against the rectangle's height), DT_CENTER
// (centred along the column), DT_NOCLIP and DT_CALCRECT (the rectangle becomes line height x
// text length at its top left; nothing drawn). Returns the turned line height, 0 for empty
// text.
int DrawRotatedText(HDC dc, const std::wstring& text, RECT& rect, int orientation, UINT format);
// The DrawText of all themed captions, in the canvas font and its colour with a hollow brush
// (the brush is as before afterwards). Decodes "utf8=" captions (DecodeUtf8Caption). Unless
// DT_CALCRECT, the glow is drawn first in glowColor, the text moved one pixel: up, down, left
// and right for gldAll, up-left for gldTopLeft, down-right for gldBottomRight. Measuring an
// italic font widens the rectangle by (size div 8) x 2 + 1. Returns the height the drawing
// call reports, 0 when the resulting rectangle is empty.
int DrawWideText(classlib::TCanvas& canvas, const std::wstring& text, RECT& rect, UINT format,
                 TUiGlowDirection glow = gldNone, classlib::TColor glowColor = classlib::clNone,
                 int orientation = 0);
// The text's extent in the DC's font, optionally without its '&' characters.
void MeasureWideText(HDC dc, const std::wstring& text, bool stripAmpersands, SIZE& size);

// --- glyph and caption ------------------------------------------------------------------------

// Places a glyph (glyphWidth x glyphHeight; none unless both are positive) and a caption in
// rect. The caption is centred vertically and lies at the left, the right or the centre by
// alignment; a glyph beside it sits at that side (the caption moving past it) or, centred,
// glyph and caption are centred together; a glyph above the caption is centred across and
// glyph and caption are centred vertically as one block. Between glyph and caption lie 4
// pixels across and 1 down (1 across and 4 down for turned text). pushedOffset moves both by
// (1, 1). For taRightJustify the format's DT_CENTER and DT_VCENTER become DT_RIGHT; otherwise
// they are cleared. Returns the caption height, 0 without a caption; an empty rectangle
// stands for what is not there.
int LayoutGlyphAndText(classlib::TCanvas& canvas, const RECT& rect, const std::wstring& caption,
                       wide::TAlignment alignment, UINT format, int glyphWidth, int glyphHeight,
                       bool glyphAboveCaption, bool pushedOffset, RECT& textRect, RECT& glyphRect,
                       int orientation = 0);
// The format a caption placed by LayoutGlyphAndText is drawn with: for taRightJustify
// DT_CENTER, DT_RIGHT and DT_VCENTER become DT_RIGHT; otherwise DT_CENTER and DT_VCENTER go.
UINT CaptionLayoutFormat(wide::TAlignment alignment, UINT format);
// LayoutGlyphAndText for a bitmap glyph (or none); unless calcOnly, draws the caption with
// its glow, then the glyph at the glyph rectangle's top left.
int DrawGlyphAndText(classlib::TCanvas& canvas, const RECT& rect, const std::wstring& caption,
                     wide::TAlignment alignment, UINT format, classlib::TBitmap* glyph,
                     bool glyphAboveCaption, bool pushedOffset, RECT& textRect, RECT& glyphRect,
                     int orientation, bool calcOnly, classlib::TColor glowColor,
                     TUiGlowDirection glow);
// The same with image `imageIndex` of `images` (counted only when the index is valid for
// the list). The image is drawn plainly when plainImage is set or themed is not, else
// through the current theme (PaintThemedImage with themedImageFlags).
int DrawImageAndText(classlib::TCanvas& canvas, const RECT& rect, const std::wstring& caption,
                     wide::TAlignment alignment, UINT format, classlib::TImageList* images,
                     int imageIndex, bool glyphAboveCaption, bool pushedOffset, RECT& textRect,
                     RECT& glyphRect, int orientation, bool calcOnly, classlib::TColor glowColor,
                     TUiGlowDirection glow, bool themed, bool plainImage, int themedImageFlags = 0);

}  // namespace ui
