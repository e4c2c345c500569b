#pragma once
// The theme kit: the routines and tables that the toolbar themes share, written once and
// parametrised where the themes differ. A theme whose look differs overrides in its own class.
//
// Every routine draws on a DC, takes its colours as arguments (system colours resolved,
// clNone paints nothing) and leaves the DC as it found it: no pen, brush, colour, brush origin
// or stretch mode changes survive a call, and no GDI object is made per call except where a
// routine says so. Gradient routines never divide by zero: a band of one line takes the colour
// its last line would have. Channel sums are computed in int and clamped to 0..255.
//
// Main thread only.

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themes {

using classlib::TColor;

// --- rectangles and colours ----------------------------------------------------------------------

inline RECT Deflated(RECT r, int dx, int dy) {
    InflateRect(&r, -dx, -dy);
    return r;
}
inline bool IsEmptyArea(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
// `c` moved at least `distance` away from `other` (ColorEnsureContrast on a copy).
TColor Contrasted(TColor c, TColor other, int distance);

// --- item states ------------------------------------------------------------------------------

// Columns of the state-colour tables.
constexpr int scFill = 0;
constexpr int scText = 1;
constexpr int scFrame = 2;

// Rows of the item table: 0 normal, 1 disabled, 2 checked, 3 pushed, 4 hot, 5 disabled and
// highlighted, 6 checked and hot, 7 popup open.
int ItemStateRow(const themed::TThmItemInfo& item);
// Rows of the popup-item table: 0 normal, 1 disabled, 2 hot, 3 disabled and highlighted.
int PopupStateRow(const themed::TThmItemInfo& item);
// An item of a popup menu that is not shown in toolbar style.
bool IsPopupMenuItem(const themed::TThmItemInfo& item);
// A toolbar whose items are painted opaque.
bool HasOpaqueItems(int viewKind);
// Enabled and highlighted, or disabled and highlighted by the keyboard.
bool IsActiveItem(const themed::TThmItemInfo& item);
// The image of a hot item that is neither checked nor pressed (an open popup's item counts as
// not pressed) floats one pixel up and left; every other image stays.
POINT FloatingImageShift(const themed::TThmItemInfo& item);

// The office colour model: each item state has a fill, a text and a frame colour, any of
// which may be clNone.
struct TThmStateColors {
    TColor Item[8][3] = {};
    TColor Popup[4][3] = {};
    // The frame that an opaque-items toolbar gives a state the table has none for.
    TColor MissingFrame = classlib::clBtnShadow;

    // The item table's colour; in an opaque-items toolbar a missing fill is `toolbarFill`, and
    // the frame is clWindowFrame for a checked item and MissingFrame where the table has none.
    TColor ButtonStateColor(const themed::TThmItemInfo& item, int column, TColor toolbarFill) const;
    // The popup table's colour for a popup-menu item, else the item table's; in an opaque-items
    // toolbar a missing fill is `toolbarFill` and a missing frame MissingFrame.
    TColor ItemStateColor(const themed::TThmItemInfo& item, int column, TColor toolbarFill) const;
    // ItemStateColor's answer for an item that does not take the popup table: the item table's
    // colour with the opaque-items substitutions.
    TColor ItemRowColor(const themed::TThmItemInfo& item, int column, TColor toolbarFill) const;
    // Every entry that is a colour replaced by the nearest colour the screen shows.
    void SnapToScreen();
};

// --- glyphs -----------------------------------------------------------------------------------

// 8 x 8 one-bit patterns (a row's leftmost pixel in the high bit of its first byte, one 16-bit
// word per row) for PaintPatternGlyph.
extern const BYTE kCloseCrossPattern[16];        // 8 wide, 7 high
extern const BYTE kChevronHorizontalPattern[16]; // two right-pointing chevrons, 8 x 5
extern const BYTE kChevronVerticalPattern[16];   // two down-pointing chevrons, 5 x 8

// The close cross stamped with its top-left corner at (x, y).
void PaintCloseCrossAt(HDC dc, int x, int y, TColor color);
// The close cross centred in rect the way PaintPatternGlyph centres.
void PaintCloseCross(HDC dc, const RECT& rect, TColor color);
// The close cross at ((Left + Right - 7) div 2, (Top + Bottom - 7) div 2): one row higher in odd
// rectangles than PaintCloseCross.
void PaintSmallCloseCross(HDC dc, const RECT& rect, TColor color);
// The chevron pattern of a horizontal or vertical bar with its top-left corner at (x, y).
void PaintChevronAt(HDC dc, int x, int y, bool vertical, TColor color);
// A filled right-pointing arrow (x, y - 3), (x, y + 3), (x + 3, y).
void PaintSubmenuArrow(HDC dc, int x, int y, TColor color);
// The two-pixel check tick through (x - 2, y - 2), (x, y), (x + 4, y - 4), (x + 4, y - 3),
// (x, y + 1), (x - 2, y - 1).
void PaintCheckTick(HDC dc, int x, int y, TColor color);
// The closed outline of rect with its left corners cut by leftCut and its right corners by
// rightCut pixels (cuts larger than the rectangle are reduced to fit).
void PaintOctagonOutline(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor color);

// The drop-down arrows of an item, filled triangles around the centre (cx, cy) of rect moved by
// `shift` pixels right and down: one pointing down with its base at cy - 1 (left-pointing with
// its base at cx on a vertical bar), or with `pair` two, down from cy + 1 and up from cy - 2 (on
// a vertical bar left from cx - 1 and right from cx + 2). Clipped to rect.
void PaintDropArrows(HDC dc, const RECT& rect, bool pair, bool vertical, int shift, TColor color);
// A drop-down item (SplitPart 0 or 1) shows the pair, a split item's part a single arrow.
inline bool DropArrowPair(const themed::TThmItemInfo& item) {
    return item.SplitPart != themed::spSplitButton && item.SplitPart != themed::spSplitArrow;
}
// The chevron of a chevron button: at (Left + 2, 4) on a horizontal bar (rows 4 to 8 of the item),
// at (Right - 9, Top + 2) on a vertical one. Clipped to rect.
void PaintItemChevron(HDC dc, const RECT& rect, bool vertical, TColor color);
// The filled check mark of a check box centred in rect, through (x - 2, y), (x, y + 2),
// (x + 4, y - 2), (x + 4, y - 4), (x, y), (x - 2, y - 2) with x = centre - 1, y = centre + 1.
// Clipped to rect.
void PaintCheckMark(HDC dc, const RECT& rect, TColor color);

// The arrow of a popup's scroll button: a filled triangle of side s = 3/4 of the smaller half
// extent of rect about its centre, pointing up (1), down (2), left (3) or right (4); other
// directions draw nothing. Clipped to rect.
void PaintScrollArrow(HDC dc, const RECT& rect, int direction, TColor color);
// The small arrow of a spin half, centred in `half` and moved by `shift` pixels right and down:
// pointing up from (x, y - 1) over (x - 2 .. x + 2, y + 1), y = (Top + Bottom - 1) div 2, or down
// to (x, y + 1) from (x - 2 .. x + 2, y - 1), y = (Top + Bottom) div 2.
void PaintSpinArrow(HDC dc, const RECT& half, bool up, int shift, TColor color);
// The upper or lower half of a spin pair; they share the middle row of an odd pair.
RECT SpinHalf(const RECT& pair, bool upper);

// The border band of a floating frame: the band between rect and rect deflated by `border` in
// `band`, and a one-pixel line in `outline` just outside the client rectangle, its corners cut
// (a panel's lower corners square). Clipped to rect.
void PaintFloatingBorderBand(HDC dc, const RECT& rect, POINT border, bool panel, TColor band, TColor outline);

// A popup's one-pixel border in `border` round its `fill`; where the toolbar item that opened it
// (`parentRect`, empty for none) touches the border, the shared stretch is redrawn in `join` so
// that item and popup read as one. Clipped to rect.
void PaintJoinedPopupFrame(HDC dc, const RECT& rect, const RECT& parentRect, TColor border, TColor fill, TColor join);

// The "THMGLYPHS" cells: close, maximise, minimise, restore.
constexpr int kGlyphClose = 0;
constexpr int kGlyphMaximize = 1;
constexpr int kGlyphMinimize = 2;
constexpr int kGlyphRestore = 3;
// The glyph list from the program's "THMGLYPHS" bitmap (16-pixel cells, white transparent).
// Empty when the module has no such resource.
class TThmGlyphList {
public:
    TThmGlyphList();
    ~TThmGlyphList();
    TThmGlyphList(const TThmGlyphList&) = delete;
    TThmGlyphList& operator=(const TThmGlyphList&) = delete;
    classlib::TImageList& Images() { return *FImages; }
    // The glyph cell for an MDI caption button kind (0 close, 1 minimise, 3 restore), or -1.
    static int CellForMDIButton(int buttonKind);

private:
    classlib::TImageList* FImages;
};
// The glyph of an MDI caption button (close, minimise, restore; nothing for maximise) stamped in
// `color` at ((Left + Right - cell width) div 2, (Top + Bottom - cell height) div 2). Clipped
// to rect.
void PaintMDIGlyph(HDC dc, const RECT& rect, TThmGlyphList& glyphs, int buttonKind, TColor color);

// --- grips and bars ------------------------------------------------------------------------------

// One pixel; clNone leaves it.
void PaintPixel(HDC dc, int x, int y, TColor color);

// The embossed dot of a drag handle: a dark 2 x 2 square lit at its lower right, seven pixels
// mixed from a base colour toward a shade and toward a light colour.
struct TGripDotColors {
    TColor Dark[4];   // (x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1): 64, 48, 32, 16 of 256 shade
    TColor Light[3];  // (x + 2, y + 1), (x + 1, y + 2), (x + 2, y + 2): 96, 72, 128 of 256 light
};
// The seven colours, each snapped to the nearest colour `dc` shows.
TGripDotColors GripDotColors(HDC dc, TColor base, TColor shade, TColor light);
// One dot with its top-left pixel at (x, y); `sizeGrip` exchanges the square's two dark
// diagonals (the dots of a status bar's size grip).
void PaintGripDot(HDC dc, int x, int y, const TGripDotColors& colors, bool sizeGrip = false);
// The dotted drag handle of a docked bar in its grip zone (the handle end of the bar inside its
// border, GetDragHandleSize long): a column of dots every 4 pixels across a horizontal bar, a
// row along the top of a vertical one, doubled for dhDouble and then moved `doubleShift` pixels
// toward the bar's start; nothing for dhNone. A close button shown at the top (right) end of the
// zone leaves its square free.
void PaintGripDotRows(HDC dc, const RECT& zone, const themed::TThmToolbarFrameInfo& frame,
                      const TGripDotColors& colors, int doubleShift);

// The frame of a docked bar shaded along its depth: Light at the top edge (the left edge of a bar
// docked vertically) to Dark at the far edge; with a border, the bottom and right edges in Border
// and a few corner pixels that round it off.
struct TShadedBarColors {
    TColor Light, Dark, Border;
    // Docked horizontally: the right column runs from ColumnTop down to Border; the corner pixels
    // (Left, Top), (Right - 2, Top), (Right - 1, Top), (Left, Bottom - 1), (Left, Bottom - 2),
    // (Right - 1, Bottom - 1), (Right - 2, Bottom - 2); clNone leaves a pixel as it is.
    TColor ColumnTop;
    TColor TopLeft, TopRightInner, TopRight, BottomLeft, BottomLeftInner, BottomRight, BottomRightInner;
    // Docked vertically: (Left, Top), (Left, Bottom - 2) and (Left, Bottom - 1).
    TColor LeftCorners;
};
void PaintShadedBarFrame(HDC dc, const RECT& rect, bool vertical, bool border, const TShadedBarColors& colors);
// The usual corners: the column from the middle of the pair, the outer corners in Dark, the top
// ones blended 60 and 25 per cent of Dark with Light, the inner bottom ones half Dark, half Border;
// no pixel at the top right.
TShadedBarColors ShadedBarColors(TColor light, TColor dark, TColor border);
// Whether a bar's background is shaded from top to bottom: a bar painted on its own (no outer
// rectangle) is wider than high; within a dock, its painted part is wider than high.
bool BarBackgroundRunsAcross(const RECT& outerRect, const RECT& paintRect, const RECT& painted);
// A bar's background over its painted part: Light at the top (left) to Dark at the bottom
// (right), the gradient running one pixel past the part across the bar; only the part is painted.
void PaintBarGradient(HDC dc, const RECT& painted, bool across, TColor light, TColor dark);

// An etched separator: a light line and a dark one beside it, one pixel further up (left) and
// one pixel longer at each end. Across the rectangle at row `at`: light from Left + 4 to
// Right - 2, dark on row at - 1 from Left + 3 to Right - 3; down the rectangle at column `at`:
// light from Top + 4 to Bottom - 2, dark in column at - 1 from Top + 3 to Bottom - 3.
void PaintEtchedLine(HDC dc, const RECT& rect, int at, bool across, TColor light, TColor dark);

// The six embossed dots of a status bar's size grip (PaintGripDot's size-grip form), their
// top-left pixels at (Right - 12, Bottom - 4), (Right - 8, Bottom - 4), (Right - 4, Bottom - 4),
// (Right - 8, Bottom - 8), (Right - 4, Bottom - 8) and (Right - 4, Bottom - 12); clipped to rect.
void PaintSizeGripDots(HDC dc, const RECT& rect, const TGripDotColors& colors);
// The diagonal size grip: 45-degree lines rising to the right from the bottom row, line K from
// (Right - 1 - K, Bottom - 1) up to the right edge, starting at K = 2, in three passes of
// `first`, `second` (a part under 9 pixels), `first`, `second`, a gap (9 to 12) or `first`, a
// gap, `second`, a gap (13 and more); clipped to rect.
void PaintSizeGripLines(HDC dc, const RECT& rect, TColor first, TColor second);

// --- images and check controls --------------------------------------------------------------------

// An item's image by its state on a ground of `backColor` (dark below luma 80): a disabled image
// as a shadow (a silhouette in the shadow colour on a dark ground); a checked, pushed or hot one
// lightened (`lightenActive`: inverted on a dark ground, else drawn as it is), with
// `hotImageFloats` a hot one lifted a pixel up and left over a two-step shadow (the shadow and
// the lifted image reach one pixel beyond rect); a resting one tinted over the window colour,
// or lightened on a dark, white or low-colour ground.
void PaintItemImageByState(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                           classlib::TImageList* images, int index, TColor backColor, bool hotImageFloats,
                           bool lightenActive);

// The colours of a check control drawn as a framed box or disc.
struct TCheckControlColors {
    TColor Frame, Fill;
    bool Checker;  // the fill is the checker of window colour and face
    TColor Mark;
};
// The office rule: disabled, pushed, hot and resting frames and fills from the item table (a
// resting frame `restingFrame`, a resting mixed box or a disabled one with `disabledCheckered`
// on the checker), the mark disabled, pushed, mixed (the shadow colour), hot or resting.
TCheckControlColors OfficeCheckControlColors(const TThmStateColors& states, int state, TColor restingFrame,
                                             bool disabledCheckered);
// A check box (kind 1: rect less a pixel framed and filled, the mark when checked or mixed) or a
// radio button (kind 2: an ellipse in rect less a pixel, a dot three pixels further in when
// checked); other kinds draw nothing.
void PaintFramedCheckControl(HDC dc, const RECT& rect, int kind, int state, const TCheckControlColors& colors);

// --- fills ------------------------------------------------------------------------------------

// Fills `area` with `base` and lays the stripes over it: the row at y takes
// rowColors[(y - alignTop) mod period] (period = rowColors.size(); clNone keeps the base), so
// the stripes stay aligned to alignTop whatever part is painted. Nothing outside `area`.
void PaintStripedFill(HDC dc, const RECT& area, int alignTop, TColor base, std::span<const TColor> rowColors);

// --- gradients --------------------------------------------------------------------------------

// The overshoot of a gloss: how far beyond Color1 (seen from Color2) its second phase starts,
// as num / den (15 / 9 in most themes, 15 / 8 in some).
struct TGlossOvershoot {
    int Num = 15;
    int Den = 9;
};

// The two-phase gloss: n = extent - 1 source lines, Half = n div 2; lines 0 .. Half - 1 run
// from Color2 toward Color1; Over = Color2 + (Color1 - Color2) x Num div Den (clamped), or
// Color1 when Color1's red is above Color2's; lines Half .. n - 1 are Over + (Color1 - Over) x
// i div n when vertical, Color1 + (Over - Color1) x i div n when horizontal. The n lines are
// stretched over the whole extent (destination line y shows source line y x n div extent).
// A one-line band is Color1. No colour counts as white.
void PaintGlossBitmap(HDC dc, const RECT& rect, TColor color1, TColor color2, bool vertical,
                      TGlossOvershoot overshoot = {});
// The ramp (the line gradient of several themes): Color2 in the top row (left column) to Color1
// in the bottom row (right column), line i from the far end Color1 + (Color2 - Color1) x i div n,
// n = extent - 1. A one-line band is Color1.
void PaintRampGradient(HDC dc, const RECT& rect, TColor color1, TColor color2, bool vertical);
// The gloss line by line, without stretching: n = extent - 1, Half = n div 2; line i (from the
// top or left) is Color2 + (Color1 - Color2) x i div Half for i below Half, else Over +
// (Color1 - Over) x i div n, with Over as in PaintGlossBitmap (clamped to 0..255). Color2 at the
// near edge fades to Color1 in the middle, then the overshoot band returns to Color1 at the far
// edge. A one-line band is Color1. No colour counts as white.
void PaintGlossLines(HDC dc, const RECT& rect, TColor color1, TColor color2, bool vertical,
                     TGlossOvershoot overshoot = {});

// The radio disc's row insets: the 11-row disc of most themes.
extern const int kRadioDiscInsets11[11];
// The inset of row `row` (clamped to the table: rows beyond it take its last entry).
int RadioDiscInset(std::span<const int> insets, int row);
// The 13 x 13 disc outline, 24 points relative to the disc's top-left corner.
extern const POINT kRadioDiscOutline[24];
// A radio disc face, row by row narrowed by the insets: two-phase (the gloss rule vertically,
// rows 0 .. Half - 1 from Color2 toward Color1, rows Half .. n from Over toward Color1) or
// single (Color1 at the bottom row to Color2 at the top). A one-row face is Color1.
void PaintRadioGradient(HDC dc, const RECT& rect, TColor color1, TColor color2, bool twoPhase,
                        std::span<const int> insets = kRadioDiscInsets11, TGlossOvershoot overshoot = {});
// A radio disc face in the rows of a vertical banded face (PaintBandedButton's normal stops, or
// its hot ones when highlighted), each row narrowed by the insets.
void PaintRadioBanded(HDC dc, const RECT& rect, bool highlighted, std::span<const int> insets = kRadioDiscInsets11);

// --- faces ------------------------------------------------------------------------------------

// The resting face of an edit button or spin half: nothing when the half is pushed or the
// button hot; otherwise, with opaque items, `fill` and then a frame in `frame`; else only the
// frame.
void PaintEditButtonFace(HDC dc, const RECT& rect, bool halfPushed, bool hot, bool opaqueItems, TColor fill,
                         TColor frame);

// How a theme faces the box behind a checked popup item's check.
struct TThmPopupCheckFaceStyle {
    bool GradientFaces = true;                    // resting: gloss and cut frame (else checker)
    TColor RestingStart = 0xFFFFFF, RestingEnd = 0xC0C0C0;  // the resting gloss (Color1, Color2)
    TColor FrameOutline = 0x787878, FrameShade = 0xA8A8A8, FrameCorner = 0xC0C0C0;
    TColor CheckerBack = classlib::clWindow, CheckerFore = 0xFFF0F0;
    TColor ActiveFill = 0xFFFFFF;                 // hot or pushed: gloss from this to white
    TColor ActiveOutline = 0x000000;              // and an octagon in this colour
    TGlossOvershoot Overshoot;
};
// The face behind the check of a checked, enabled popup item.
void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item,
                         const TThmPopupCheckFaceStyle& style);

// --- images and frames ----------------------------------------------------------------------------

// An item image the way the office colour model draws it: a disabled image as a shadow (on a
// dark face, `dark`, a silhouette in the shadow colour); a hot image that is neither checked nor
// pushed (or whose popup is open) floating one pixel up and left over a two-step shadow (flat
// without `hotShadow`); a
// checked, pushed or hot image lightened for a dark face; a resting one tinted toward the
// window colour with `restingOpacity`, or lightened for a dark face, a white button face or a
// low-colour screen. Nothing reaches past rect grown by one.
void PaintOfficeItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          classlib::TImageList& images, int index, bool dark, int restingOpacity,
                          bool hotShadow = true);
// The one-pixel outline just outside a floating frame's client rectangle, its corners rounded by
// one pixel: all four for a toolbar, the top two for a panel.
void PaintFloatingClientOutline(HDC dc, const RECT& client, bool panel, TColor color);
// A popup's border along the item that opened it, redrawn in `color` so that item and popup
// join: `inner` is the popup inside its one-pixel border, `parent` the opener (empty: none).
void PaintPopupJoin(HDC dc, const RECT& inner, RECT parent, TColor color);

}  // namespace themes

namespace themes {

// A drawing resource shared by the instances of one theme class: the first instance that asks
// makes it, and it goes with the last instance that holds it. `Owner` is the theme class, so
// sister themes never share one.
template <class T, class Owner>
std::shared_ptr<T> SharedThemeResource() {
    static std::weak_ptr<T> shared;
    std::shared_ptr<T> resource = shared.lock();
    if (!resource) {
        resource = std::make_shared<T>();
        shared = resource;
    }
    return resource;
}

}  // namespace themes
