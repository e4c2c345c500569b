#pragma once
// Colour calculations and GDI drawing primitives shared by every theme and themed control.
//
// Colours follow the theme layer's convention: 0x00BBGGRR plain colours, system colours with
// the high byte 0xFF (resolved inside every routine) and clNone (0x1FFFFFFF) meaning "no
// colour": a drawing primitive handed clNone draws nothing. The arithmetic of the colour
// calculations is fixed, because themes compute their palettes with it and must come out the
// same on every machine; integer divisions round toward zero.
//
// Drawing primitives select the pens and brushes they make only for the call, delete them
// afterwards and restore whatever was selected before.
//
// Main thread only: the scratch objects are shared without locking.

#include <windows.h>

#include <string>

#include "classlib/graphics.h"

namespace classlib {
class TForm;
class TImageList;
}

namespace themed {

using ThmColor = classlib::TColor;

// --- scratch objects ------------------------------------------------------------------------

// Made on first use and re-made by RecreateScratchObjects when the system settings change;
// kept by the application object (a process object) and destroyed with it.
void CreateScratchObjects();
void FreeScratchObjects();
void RecreateScratchObjects();
// An 8 x 8 bitmap in the screen's format whose canvas answers GetNearestColor.
classlib::TBitmap& NearestColorBitmap();
// The system's small-caption font (the class library's default font when the query fails).
classlib::TFont& SmallCaptionFont();

// --- colour calculations ----------------------------------------------------------------------

// A system colour resolved to its plain value; plain colours pass unchanged (high byte cleared).
COLORREF ThmResolveColor(ThmColor c);
// A plain colour 0x00BBGGRR as a 32-bit DIB word 0xFFRRGGBB.
DWORD ColorToPixel(ThmColor c);

// Per channel (c1*w + c2*(255-w)) div 256. A weight above 255 is taken as 255.
ThmColor ColorMix(ThmColor c1, ThmColor c2, int w);
// Per channel channel + amount, clamped to 0..255.
ThmColor ColorShiftLevel(ThmColor c, int amount);
// As ColorShiftLevel / ColorMix, then the nearest colour the screen can show.
ThmColor ColorShiftLevelNearest(ThmColor c, int amount);
ThmColor ColorMixNearest(ThmColor c1, ThmColor c2, int w);
// (R*76 + G*150 + B*30) div 256.
int ColorLuma(ThmColor c);
// True when R*76 + G*150 + B*30 < threshold*256.
bool ColorIsDark(ThmColor c, int threshold);
// w below 100 is a percentage of c1, 100..1000 a per-mille weight of c1 (rounded to nearest).
ThmColor ColorBlendPercent(ThmColor c1, ThmColor c2, int w);
// Resolves c and, when it lies within the (background-dependent) minimum distance of bg in the
// weighted RGB space, moves it lighter or darker until it is that far away.
void ColorEnsureContrast(ThmColor& c, ThmColor bg, int minDistance);
// Hue, saturation and lightness, each 0..1.
void ColorToHSL(ThmColor c, float& h, float& s, float& l);
ThmColor HSLToColor(float h, float s, float l);

// --- drawing primitives ----------------------------------------------------------------------

// Keeps painting inside a rectangle (grown by `grow` pixels) for the guard's life: the DC's
// state is saved, its clipping narrowed, and all of it restored at the end. A painter whose
// fixed-size glyphs or derived rectangles could reach past a small rectangle holds one.
class TThmClipGuard {
public:
    TThmClipGuard(HDC dc, const RECT& rect, int grow = 0) : FDC(dc), FSaved(SaveDC(dc)) {
        IntersectClipRect(dc, rect.left - grow, rect.top - grow, rect.right + grow, rect.bottom + grow);
    }
    ~TThmClipGuard() {
        if (FSaved) RestoreDC(FDC, FSaved);
    }
    TThmClipGuard(const TThmClipGuard&) = delete;
    TThmClipGuard& operator=(const TThmClipGuard&) = delete;

private:
    HDC FDC;
    int FSaved;
};

// Blends a plain colour into one pixel: alpha 0 leaves it, 255 sets it.
void PaintPixelAlpha(HDC dc, int x, int y, ThmColor color, int alpha);
// New objects the caller deletes: a 1-pixel solid pen (null pen for clNone), a solid brush
// (hollow brush for clNone).
HPEN CreatePenForColor(ThmColor c);
HBRUSH CreateBrushForColor(ThmColor c);
// Fills rect; false for clNone.
bool PaintRectFill(HDC dc, const RECT& rect, ThmColor c);
// A 1-pixel frame; with shrink the rectangle is then inset by 1 on every side (also for
// clNone). False for clNone.
bool PaintRectFrame(HDC dc, RECT& rect, ThmColor c, bool shrink);
// A 1-pixel line from (x1, y1) to (x2, y2); the end point is not drawn.
void PaintLine(HDC dc, int x1, int y1, int x2, int y2, ThmColor c);
// Polyline through points[0..high]; false for clNone.
bool PaintPolyline(HDC dc, const POINT* points, int high, ThmColor c);
// Polygon through points[0..high]; nothing when both colours are clNone.
void PaintPolygon(HDC dc, const POINT* points, int high, ThmColor outline, ThmColor fill);
void PaintRoundRect(HDC dc, int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight,
                    ThmColor outline, ThmColor fill);
void PaintRoundRectInRect(HDC dc, const RECT& rect, int ellipseWidth, int ellipseHeight,
                          ThmColor outline, ThmColor fill);
// An 8 x 8 two-colour checker pattern brush (background at the top-left pixel); the caller
// deletes it.
HBRUSH CreateCheckerBrush(ThmColor background, ThmColor foreground);
void PaintCheckerRect(HDC dc, const RECT& rect, ThmColor background, ThmColor foreground);
// Draws a 3-D edge: left and top in topLeft, right and bottom in bottomRight, with the right
// and bottom edges taken one pixel in first (so the lines lie inside rect). Afterwards the
// rectangle's right and bottom are one further pixel in, and with insetTopLeft its left and
// top are one pixel in as well.
void PaintEdgeLines(HDC dc, RECT& rect, ThmColor topLeft, ThmColor bottomRight, bool insetTopLeft);
// An 8-row monochrome pattern (16-bit words, the high-order bit of a row's first byte is the
// leftmost pixel); its top-left width x height part is painted in c, centred in rect, where
// its bits are set.
void PaintPatternGlyph(HDC dc, const RECT& rect, int width, int height, const BYTE pattern[16],
                       ThmColor c);
// Paints the opaque pixels of an image list image in c at (x, y) / centred in rect.
void PaintMonoGlyph(HDC dc, int x, int y, classlib::TImageList& images, int index, ThmColor c);
void PaintMonoGlyphCentered(HDC dc, const RECT& rect, classlib::TImageList& images, int index,
                            ThmColor c);
// Text on a transparent background in `color`, by DrawText or turned to run downward
// (DrawVerticalText): in the canvas font, or in `font` with the canvas font left as it was.
// A null or empty text draws nothing; the canvas keeps its brush and colours.
void DrawThemeCaption(classlib::TCanvas& canvas, const std::wstring& text, RECT rect, UINT format,
                      ThmColor color, bool rotated);
void DrawThemeCaptionInFont(classlib::TCanvas& canvas, classlib::TFont& font, const wchar_t* text,
                            const RECT& rect, UINT format, ThmColor color, bool rotated);
// The dragging outline between two rectangles (either may be null), frame 3 x 2.
void DrawResizeOutline(HDC dc, const RECT* newRect, const RECT* oldRect);
// For an MDI frame form, the size of its MDI client window; otherwise its client size.
SIZE GetFormClientSize(classlib::TForm& form);

// --- image routines ---------------------------------------------------------------------------
//
// Each draws image `index` at the rectangle's top-left corner (clipped to the rectangle's size)
// and changes only the pixels the image covers; an image pixel equal to the background under it
// counts as not covered and is left alone.

// Lightened: dark pixels become white and bright ones black, then everything is lifted by 32.
// Without lighten the image is drawn as it is.
void PaintImageLightened(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                         int index, bool lighten);
// The image over the background with opacity 0..255.
void PaintImageBlended(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                       int index, int opacity);
// The image over a solid colour c with opacity 0..255.
void PaintImageTinted(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                      int index, ThmColor c, int opacity);
// The background darkened under the image, most at level 0 (levels above 2 are taken as 2).
void PaintImageShadow(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                      int index, int level);
// The dark pixels of the image painted in c.
void PaintImageSilhouetteThreshold(classlib::TCanvas& canvas, const RECT& rect,
                                   classlib::TImageList& images, int index, ThmColor c);
// Every pixel the image covers painted in c.
void PaintImageSilhouette(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList& images,
                          int index, ThmColor c);

}  // namespace themed
