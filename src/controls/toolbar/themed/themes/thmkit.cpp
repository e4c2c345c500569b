#include "controls/toolbar/themed/themes/thmkit.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace themed;
using classlib::clNone;

TColor Contrasted(TColor c, TColor other, int distance) {
    ColorEnsureContrast(c, other, distance);
    return c;
}

// --- item states ------------------------------------------------------------------------------

int ItemStateRow(const TThmItemInfo& item) {
    if (!item.Enabled) return item.HotState == hsKeyboardSelected ? 5 : 1;
    if (item.PopupOpen) return 7;
    if (item.Pushed) return 3;
    if (item.Checked) return item.HotState != hsNone ? 6 : 2;
    return item.HotState != hsNone ? 4 : 0;
}

int PopupStateRow(const TThmItemInfo& item) {
    if (!item.Enabled) return item.HotState == hsKeyboardSelected ? 3 : 1;
    return item.HotState != hsNone ? 2 : 0;
}

bool IsPopupMenuItem(const TThmItemInfo& item) {
    return ViewKindIs(item.ViewKind, vkPopupMenu) && !(item.ItemFlags & ifToolbarStyle);
}

bool HasOpaqueItems(int viewKind) { return ViewKindIs(viewKind, vkToolbar | vkOpaqueItems); }

bool IsActiveItem(const TThmItemInfo& item) {
    return item.Enabled ? item.HotState != hsNone : item.HotState == hsKeyboardSelected;
}

POINT FloatingImageShift(const TThmItemInfo& item) {
    const bool floats = item.Enabled && item.HotState != hsNone && !item.Checked && (!item.Pushed || item.PopupOpen);
    return floats ? POINT{-1, -1} : POINT{0, 0};
}

TColor TThmStateColors::ButtonStateColor(const TThmItemInfo& item, int column, TColor toolbarFill) const {
    const TColor c = Item[ItemStateRow(item)][std::clamp(column, 0, 2)];
    if (!HasOpaqueItems(item.ViewKind)) return c;
    if (column == scFill && c == clNone) return toolbarFill;
    if (column == scFrame) {
        if (item.Checked) return classlib::clWindowFrame;
        if (c == clNone) return MissingFrame;
    }
    return c;
}

TColor TThmStateColors::ItemStateColor(const TThmItemInfo& item, int column, TColor toolbarFill) const {
    if (IsPopupMenuItem(item)) return Popup[PopupStateRow(item)][std::clamp(column, 0, 2)];
    return ItemRowColor(item, column, toolbarFill);
}

TColor TThmStateColors::ItemRowColor(const TThmItemInfo& item, int column, TColor toolbarFill) const {
    column = std::clamp(column, 0, 2);
    const TColor c = Item[ItemStateRow(item)][column];
    if (c != clNone || !HasOpaqueItems(item.ViewKind)) return c;
    if (column == scFill) return toolbarFill;
    if (column == scFrame) return MissingFrame;
    return c;
}

void TThmStateColors::SnapToScreen() {
    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, classlib::ColorToRGB(c)));
    };
    for (auto& row : Item)
        for (TColor& c : row) snap(c);
    for (auto& row : Popup)
        for (TColor& c : row) snap(c);
}

// --- glyphs -----------------------------------------------------------------------------------

const BYTE kCloseCrossPattern[16] = {0xC3, 0, 0x66, 0, 0x3C, 0, 0x18, 0, 0x3C, 0, 0x66, 0, 0xC3, 0, 0, 0};
const BYTE kChevronHorizontalPattern[16] = {0xCC, 0, 0x66, 0, 0x33, 0, 0x66, 0, 0xCC, 0, 0, 0, 0, 0, 0, 0};
const BYTE kChevronVerticalPattern[16] = {0x88, 0, 0xD8, 0, 0x70, 0, 0x20, 0, 0x88, 0, 0xD8, 0, 0x70, 0, 0x20, 0};

void PaintCloseCrossAt(HDC dc, int x, int y, TColor color) {
    PaintPatternGlyph(dc, RECT{x, y, x + 8, y + 7}, 8, 7, kCloseCrossPattern, color);
}

void PaintCloseCross(HDC dc, const RECT& rect, TColor color) {
    PaintPatternGlyph(dc, rect, 8, 7, kCloseCrossPattern, color);
}

void PaintSmallCloseCross(HDC dc, const RECT& rect, TColor color) {
    PaintCloseCrossAt(dc, (rect.left + rect.right - 7) / 2, (rect.top + rect.bottom - 7) / 2, color);
}

void PaintChevronAt(HDC dc, int x, int y, bool vertical, TColor color) {
    if (vertical)
        PaintPatternGlyph(dc, RECT{x, y, x + 5, y + 8}, 5, 8, kChevronVerticalPattern, color);
    else
        PaintPatternGlyph(dc, RECT{x, y, x + 8, y + 5}, 8, 5, kChevronHorizontalPattern, color);
}

void PaintSubmenuArrow(HDC dc, int x, int y, TColor color) {
    const POINT arrow[3] = {{x, y - 3}, {x, y + 3}, {x + 3, y}};
    PaintPolygon(dc, arrow, 2, color, color);
}

void PaintCheckTick(HDC dc, int x, int y, TColor color) {
    const POINT tick[7] = {{x - 2, y - 2}, {x, y}, {x + 4, y - 4}, {x + 4, y - 3}, {x, y + 1}, {x - 2, y - 1}, {x - 2, y - 2}};
    PaintPolyline(dc, tick, 6, color);
}

void PaintOctagonOutline(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor color) {
    if (color == clNone || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    const int most = std::min(r - l, b - t) / 2;
    const int a = std::clamp(leftCut, 0, most), c = std::clamp(rightCut, 0, most);
    const POINT points[9] = {{l + a, t}, {r - c, t}, {r, t + c}, {r, b - c}, {r - c, b},
                             {l + a, b}, {l, b - a}, {l, t + a}, {l + a, t}};
    PaintPolyline(dc, points, 8, color);
    // The polyline leaves out its last point; a one-pixel outline needs it.
    if (r == l || b == t) SetPixelV(dc, l, t, ThmResolveColor(color));
}

void PaintDropArrows(HDC dc, const RECT& rect, bool pair, bool vertical, int shift, TColor color) {
    TThmClipGuard clip(dc, rect);
    const int cx = (rect.left + rect.right) / 2 + shift, cy = (rect.top + rect.bottom) / 2 + shift;
    auto triangle = [&](POINT a, POINT b, POINT c) {
        const POINT p[3] = {a, b, c};
        PaintPolygon(dc, p, 2, color, color);
    };
    if (!pair) {
        const int x = cx, y = cy - 1;
        if (vertical)
            triangle({x, y + 2}, {x, y - 2}, {x - 2, y});
        else
            triangle({x - 2, y}, {x + 2, y}, {x, y + 2});
    } else if (vertical) {
        triangle({cx - 1, cy + 2}, {cx - 1, cy - 2}, {cx - 3, cy});
        triangle({cx + 2, cy + 2}, {cx + 2, cy - 2}, {cx + 4, cy});
    } else {
        triangle({cx - 2, cy + 1}, {cx + 2, cy + 1}, {cx, cy + 3});
        triangle({cx - 2, cy - 2}, {cx + 2, cy - 2}, {cx, cy - 4});
    }
}

void PaintItemChevron(HDC dc, const RECT& rect, bool vertical, TColor color) {
    TThmClipGuard clip(dc, rect);
    if (vertical)
        PaintChevronAt(dc, rect.right - 9, rect.top + 2, true, color);
    else
        PaintChevronAt(dc, rect.left + 2, 4, false, color);
}

void PaintCheckMark(HDC dc, const RECT& rect, TColor color) {
    TThmClipGuard clip(dc, rect);
    const int x = (rect.left + rect.right) / 2 - 1, y = (rect.top + rect.bottom) / 2 + 1;
    const POINT p[7] = {{x - 2, y}, {x, y + 2}, {x + 4, y - 2}, {x + 4, y - 4}, {x, y}, {x - 2, y - 2}, {x - 2, y}};
    PaintPolygon(dc, p, 6, color, color);
}

void PaintScrollArrow(HDC dc, const RECT& rect, int direction, TColor color) {
    if (direction < 1 || direction > 4) return;
    TThmClipGuard clip(dc, rect);
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    const int s = std::max(0, static_cast<int>(std::min(cx - rect.left, cy - rect.top)) * 3 / 4);
    POINT p[3];
    switch (direction) {
    case 1: {
        const int y = cy + s / 2;
        p[0] = {cx + s, y}, p[1] = {cx, y - s}, p[2] = {cx - s, y};
        break;
    }
    case 2: {
        const int y = (rect.top + rect.bottom - 1) / 2 - s / 2;
        p[0] = {cx + s, y}, p[1] = {cx, y + s}, p[2] = {cx - s, y};
        break;
    }
    case 3: {
        const int x = cx + s / 2;
        p[0] = {x, cy + s}, p[1] = {x - s, cy}, p[2] = {x, cy - s};
        break;
    }
    default: {
        const int x = (rect.left + rect.right - 1) / 2 - s / 2;
        p[0] = {x, cy + s}, p[1] = {x + s, cy}, p[2] = {x, cy - s};
        break;
    }
    }
    PaintPolygon(dc, p, 2, color, color);
}

void PaintSpinArrow(HDC dc, const RECT& half, bool up, int shift, TColor color) {
    const int x = (half.left + half.right) / 2 + shift;
    if (up) {
        const int y = (half.top + half.bottom - 1) / 2 + shift;
        const POINT p[3] = {{x - 2, y + 1}, {x + 2, y + 1}, {x, y - 1}};
        PaintPolygon(dc, p, 2, color, color);
    } else {
        const int y = (half.top + half.bottom) / 2 + shift;
        const POINT p[3] = {{x - 2, y - 1}, {x + 2, y - 1}, {x, y + 1}};
        PaintPolygon(dc, p, 2, color, color);
    }
}

void PaintFloatingBorderBand(HDC dc, const RECT& rect, POINT border, bool panel, TColor band, TColor outline) {
    if (IsEmptyArea(rect)) return;
    TThmClipGuard clip(dc, rect);
    const RECT inner = Deflated(rect, border.x, border.y);
    {
        TThmClipGuard bandOnly(dc, rect);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        PaintRectFill(dc, rect, band);
    }
    PaintFloatingClientOutline(dc, inner, panel, outline);
}

void PaintJoinedPopupFrame(HDC dc, const RECT& rect, const RECT& parentRect, TColor border, TColor fill, TColor join) {
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    PaintRectFrame(dc, r, border, true);
    PaintRectFill(dc, r, fill);
    PaintPopupJoin(dc, r, parentRect, join);
}

TThmGlyphList::TThmGlyphList() : FImages(new classlib::TImageList(nullptr, 16, 16)) {
    classlib::TBitmap strip;
    if (strip.LoadFromResourceName(GetModuleHandleW(nullptr), L"THMGLYPHS")) FImages->AddStrip(strip, 0xFFFFFF);
}

TThmGlyphList::~TThmGlyphList() { delete FImages; }

void PaintMDIGlyph(HDC dc, const RECT& rect, TThmGlyphList& glyphs, int buttonKind, TColor color) {
    const int cell = TThmGlyphList::CellForMDIButton(buttonKind);
    if (cell < 0) return;
    classlib::TImageList& images = glyphs.Images();
    TThmClipGuard clip(dc, rect);
    PaintMonoGlyph(dc, (rect.left + rect.right - images.Width()) / 2, (rect.top + rect.bottom - images.Height()) / 2,
                   images, cell, color);
}

int TThmGlyphList::CellForMDIButton(int buttonKind) {
    switch (buttonKind) {
    case 0: return kGlyphClose;
    case 1: return kGlyphMinimize;
    case 3: return kGlyphRestore;
    default: return -1;
    }
}

// --- grips and bars ------------------------------------------------------------------------------

void PaintPixel(HDC dc, int x, int y, TColor color) {
    if (color != clNone) SetPixelV(dc, x, y, ThmResolveColor(color));
}

TGripDotColors GripDotColors(HDC dc, TColor base, TColor shade, TColor light) {
    auto nearest = [dc](TColor c) { return static_cast<TColor>(GetNearestColor(dc, classlib::ColorToRGB(c))); };
    return {{nearest(ColorMix(base, shade, 64)), nearest(ColorMix(base, shade, 48)), nearest(ColorMix(base, shade, 32)),
             nearest(ColorMix(base, shade, 16))},
            {nearest(ColorMix(base, light, 96)), nearest(ColorMix(base, light, 72)), nearest(ColorMix(base, light, 128))}};
}

void PaintGripDot(HDC dc, int x, int y, const TGripDotColors& c, bool sizeGrip) {
    PaintPixel(dc, x, y, c.Dark[sizeGrip ? 3 : 0]);
    PaintPixel(dc, x + 1, y, c.Dark[1]);
    PaintPixel(dc, x, y + 1, c.Dark[2]);
    PaintPixel(dc, x + 1, y + 1, c.Dark[sizeGrip ? 0 : 3]);
    PaintPixel(dc, x + 2, y + 1, c.Light[0]);
    PaintPixel(dc, x + 1, y + 2, c.Light[1]);
    PaintPixel(dc, x + 2, y + 2, c.Light[2]);
}

void PaintGripDotRows(HDC dc, const RECT& zone, const TThmToolbarFrameInfo& frame, const TGripDotColors& colors,
                      int doubleShift) {
    if (frame.DragHandleStyle == dhNone) return;
    const bool close = frame.CloseButtonState & cbsShown;
    const bool twin = frame.DragHandleStyle == dhDouble;
    const int g = GetDragHandleSize(frame);
    RECT q = zone;
    if (!frame.Vertical) {
        if (twin) OffsetRect(&q, -doubleShift, 0);
        q.top += 4;
        q.bottom -= 2;
        q.left += 1;
        if (close) {
            q.top += g - 2;
            q.left += 4;
        }
        for (int y = q.top; y < q.bottom - 3; y += 4) {
            PaintGripDot(dc, q.left, y, colors);
            if (twin) PaintGripDot(dc, q.left + 4, y, colors);
        }
    } else {
        if (twin) OffsetRect(&q, 0, -doubleShift);
        q.left += 4;
        q.right -= 2;
        q.top += 1;
        if (close) {
            q.right -= g - 2;
            q.top += 4;
        }
        for (int x = q.left; x < q.right - 3; x += 4) {
            PaintGripDot(dc, x, q.top, colors);
            if (twin) PaintGripDot(dc, x, q.top + 4, colors);
        }
    }
}

void PaintShadedBarFrame(HDC dc, const RECT& rect, bool vertical, bool border, const TShadedBarColors& c) {
    if (IsEmptyArea(rect)) return;
    const RECT& r = rect;
    PaintLinearGradient(dc, r, c.Dark, c.Light, !vertical);
    if (!border) return;
    if (vertical) {
        PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, c.Border);
        PaintLine(dc, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1, c.Border);
        for (int y : {r.top, r.bottom - 2, r.bottom - 1}) PaintPixel(dc, r.left, y, c.LeftCorners);
        return;
    }
    PaintLinearGradient(dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom}, c.Border, c.ColumnTop, true);
    PaintLine(dc, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1, c.Border);
    PaintPixel(dc, r.left, r.top, c.TopLeft);
    PaintPixel(dc, r.right - 2, r.top, c.TopRightInner);
    PaintPixel(dc, r.right - 1, r.top, c.TopRight);
    PaintPixel(dc, r.left, r.bottom - 1, c.BottomLeft);
    PaintPixel(dc, r.left, r.bottom - 2, c.BottomLeftInner);
    PaintPixel(dc, r.right - 1, r.bottom - 1, c.BottomRight);
    PaintPixel(dc, r.right - 2, r.bottom - 2, c.BottomRightInner);
}

TShadedBarColors ShadedBarColors(TColor light, TColor dark, TColor border) {
    TShadedBarColors c{};
    c.Light = light;
    c.Dark = dark;
    c.Border = border;
    c.ColumnTop = ColorBlendPercent(dark, light, 50);
    c.TopLeft = ColorBlendPercent(dark, light, 60);
    c.TopRightInner = ColorBlendPercent(dark, light, 25);
    c.TopRight = clNone;
    c.BottomLeft = c.BottomRight = c.LeftCorners = dark;
    c.BottomLeftInner = c.BottomRightInner = ColorBlendPercent(dark, border, 50);
    return c;
}

void PaintBarGradient(HDC dc, const RECT& r, bool across, TColor light, TColor dark) {
    TThmClipGuard clip(dc, r);
    if (across)
        PaintLinearGradient(dc, RECT{r.left, r.top - 1, r.right, r.bottom + 1}, dark, light, true);
    else
        PaintLinearGradient(dc, RECT{r.left - 1, r.top, r.right + 1, r.bottom}, dark, light, false);
}

bool BarBackgroundRunsAcross(const RECT& outerRect, const RECT& paintRect, const RECT& painted) {
    const RECT none{};
    if (EqualRect(&outerRect, &none)) return paintRect.right > paintRect.bottom;
    return std::abs(painted.right - painted.left) > std::abs(painted.bottom - painted.top);
}

void PaintEtchedLine(HDC dc, const RECT& r, int at, bool across, TColor light, TColor dark) {
    if (across) {
        PaintLine(dc, r.left + 4, at, r.right - 2, at, light);
        PaintLine(dc, r.left + 3, at - 1, r.right - 3, at - 1, dark);
    } else {
        PaintLine(dc, at, r.top + 4, at, r.bottom - 2, light);
        PaintLine(dc, at - 1, r.top + 3, at - 1, r.bottom - 3, dark);
    }
}

void PaintSizeGripDots(HDC dc, const RECT& rect, const TGripDotColors& colors) {
    if (IsEmptyArea(rect)) return;
    TThmClipGuard clip(dc, rect);
    const LONG r = rect.right, b = rect.bottom;
    const POINT dots[6] = {{r - 12, b - 4}, {r - 8, b - 4}, {r - 4, b - 4}, {r - 8, b - 8}, {r - 4, b - 8}, {r - 4, b - 12}};
    for (const POINT& p : dots) PaintGripDot(dc, p.x, p.y, colors, true);
}

void PaintSizeGripLines(HDC dc, const RECT& rect, TColor first, TColor second) {
    if (IsEmptyArea(rect)) return;
    TThmClipGuard clip(dc, rect);
    const int size = std::min(rect.right - rect.left, rect.bottom - rect.top);
    int k = 2;
    auto line = [&](TColor c) {
        PaintLine(dc, rect.right - 1 - k, rect.bottom - 1, rect.right, rect.bottom - k - 2, c);
        ++k;
    };
    for (int pass = 0; pass < 3; ++pass) {
        if (size < 9) {
            line(first);
            line(second);
        } else if (size <= 12) {
            line(first);
            line(second);
            ++k;
        } else {
            line(first);
            ++k;
            line(second);
            ++k;
        }
    }
}

// --- images and check controls --------------------------------------------------------------------

void PaintItemImageByState(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                           classlib::TImageList* images, int index, TColor backColor, bool hotImageFloats,
                           bool lightenActive) {
    if (!images) return;
    TThmClipGuard clip(canvas.Handle(), rect, hotImageFloats ? 1 : 0);
    const bool dark = ColorLuma(backColor) < 80;
    if (!item.Enabled) {
        if (dark)
            PaintImageSilhouetteThreshold(canvas, rect, *images, index, classlib::clBtnShadow);
        else
            PaintImageShadow(canvas, rect, *images, index, 0);
        return;
    }
    if (item.Checked || item.Pushed || item.HotState != hsNone) {
        RECT r = rect;
        if (hotImageFloats && !item.Checked && (!item.Pushed || item.PopupOpen)) {
            PaintImageShadow(canvas, r, *images, index, 1);
            OffsetRect(&r, 1, 1);
            PaintImageShadow(canvas, r, *images, index, 1);
            OffsetRect(&r, -2, -2);
        }
        PaintImageLightened(canvas, r, *images, index, lightenActive && dark);
        return;
    }
    if (dark || IsWhiteButtonFace || IsLowColorDisplay)
        PaintImageLightened(canvas, rect, *images, index, dark);
    else
        PaintImageTinted(canvas, rect, *images, index, classlib::clWindow, 255);
}

TCheckControlColors OfficeCheckControlColors(const TThmStateColors& states, int state, TColor restingFrame,
                                             bool disabledCheckered) {
    const bool disabled = state & 4, pushed = state & 0x10, hot = state & 8, mixed = state & 2;
    const auto& item = states.Item;
    TCheckControlColors c{};
    c.Frame = disabled ? classlib::clBtnShadow : pushed ? item[3][scFrame] : hot ? item[4][scFrame] : restingFrame;
    c.Fill = disabled ? clNone : pushed ? item[3][scFill] : hot ? item[4][scFill] : clNone;
    c.Checker = disabled ? disabledCheckered : !pushed && !hot && mixed;
    c.Mark = disabled ? item[1][scText]
             : pushed ? item[3][scText]
             : mixed  ? classlib::clBtnShadow
             : hot    ? item[4][scText]
                      : item[0][scText];
    return c;
}

void PaintFramedCheckControl(HDC dc, const RECT& rect, int kind, int state, const TCheckControlColors& colors) {
    if (kind != 1 && kind != 2) return;
    RECT r = Deflated(rect, 1, 1);
    if (IsEmptyArea(r)) return;
    // The fill brush: a plain colour, or the checker of window and face (made and deleted here).
    classlib::TGdiObject<HBRUSH> fill(colors.Checker ? CreateCheckerBrush(classlib::clWindow, classlib::clBtnFace)
                                                     : CreateBrushForColor(colors.Fill));
    if (kind == 1) {
        PaintRectFrame(dc, r, colors.Frame, true);
        if (!IsEmptyArea(r)) FillRect(dc, &r, fill.Handle());
        if (state & 3) PaintCheckMark(dc, rect, colors.Mark);
        return;
    }
    {
        classlib::TGdiObject<HPEN> pen(CreatePenForColor(colors.Frame));
        classlib::TSelectedObject selectedPen(dc, pen.Handle());
        classlib::TSelectedObject selectedBrush(dc, fill.Handle());
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
    }
    if (state & 1) {
        r = Deflated(r, 3, 3);
        if (!IsEmptyArea(r))
            PaintRoundRect(dc, r.left, r.top, r.right, r.bottom, r.right - r.left, r.bottom - r.top, colors.Mark,
                           colors.Mark);
    }
}

// --- fills ------------------------------------------------------------------------------------

void PaintStripedFill(HDC dc, const RECT& area, int alignTop, TColor base, std::span<const TColor> rowColors) {
    if (area.right <= area.left || area.bottom <= area.top) return;
    PaintRectFill(dc, area, base);
    const int period = static_cast<int>(rowColors.size());
    if (period == 0) return;
    for (int y = area.top; y < area.bottom; ++y) {
        const int k = ((y - alignTop) % period + period) % period;
        PaintRectFill(dc, RECT{area.left, y, area.right, y + 1}, rowColors[k]);
    }
}

// --- gradients --------------------------------------------------------------------------------

namespace {

struct TRgb {
    int R, G, B;
};

// No colour counts as white: only its three low bytes are used.
TRgb Rgb(TColor c) {
    const COLORREF v = c == clNone ? 0xFFFFFF : ThmResolveColor(c);
    return {GetRValue(v), GetGValue(v), GetBValue(v)};
}

int Clamp255(int v) { return std::clamp(v, 0, 255); }

TColor Plain(const TRgb& c) {
    return static_cast<TColor>(RGB(Clamp255(c.R), Clamp255(c.G), Clamp255(c.B)));
}

// from + (to - from) x i div n per channel; n 0 gives `to`.
TRgb Step(const TRgb& from, const TRgb& to, int i, int n) {
    if (n == 0) return to;
    return {from.R + (to.R - from.R) * i / n, from.G + (to.G - from.G) * i / n, from.B + (to.B - from.B) * i / n};
}

TRgb Overshoot(const TRgb& c1, const TRgb& c2, TGlossOvershoot o) {
    const int den = o.Den == 0 ? 1 : o.Den;
    return {Clamp255(c2.R + (c1.R - c2.R) * o.Num / den), Clamp255(c2.G + (c1.G - c2.G) * o.Num / den),
            Clamp255(c2.B + (c1.B - c2.B) * o.Num / den)};
}

// Fills the line `index` of rect (a row when vertical, else a column).
void FillLine(HDC dc, const RECT& rect, bool vertical, int index, int inset, TColor color) {
    RECT line = vertical ? RECT{rect.left + inset, rect.top + index, rect.right - inset, rect.top + index + 1}
                         : RECT{rect.left + index, rect.top + inset, rect.left + index + 1, rect.bottom - inset};
    PaintRectFill(dc, line, color);
}

// The gloss's source lines: n = lines - 1 entries.
std::vector<TColor> GlossLines(const TRgb& c1, const TRgb& c2, bool vertical, int n, TGlossOvershoot o) {
    std::vector<TColor> lines(std::max(n, 0));
    const int half = n / 2;
    for (int i = 0; i < half; ++i) lines[i] = Plain(Step(c2, c1, i, half));
    TRgb over = Overshoot(c1, c2, o);
    if (c1.R > c2.R) over = c1;
    for (int i = half; i < n; ++i) lines[i] = Plain(vertical ? Step(over, c1, i, n) : Step(c1, over, i, n));
    return lines;
}

// The line colours of the unstretched gloss: line i of n + 1 lines.
class TGlossSteps {
public:
    TGlossSteps(const TRgb& c1, const TRgb& c2, int n, TGlossOvershoot o)
        : FC1(c1), FC2(c2), FOver(c1.R > c2.R ? c1 : Overshoot(c1, c2, o)), FN(n), FHalf(n / 2) {}
    TColor Line(int i) const { return Plain(i < FHalf ? Step(FC2, FC1, i, FHalf) : Step(FOver, FC1, i, FN)); }

private:
    TRgb FC1, FC2, FOver;
    int FN, FHalf;
};

}  // namespace

void PaintGlossLines(HDC dc, const RECT& rect, TColor color1, TColor color2, bool vertical, TGlossOvershoot o) {
    const int extent = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    if (extent <= 0 || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const TGlossSteps steps(Rgb(color1), Rgb(color2), extent - 1, o);
    for (int i = 0; i < extent; ++i) FillLine(dc, rect, vertical, i, 0, steps.Line(i));
}

void PaintGlossBitmap(HDC dc, const RECT& rect, TColor color1, TColor color2, bool vertical, TGlossOvershoot o) {
    const int extent = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    if (extent <= 0 || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const TRgb c1 = Rgb(color1), c2 = Rgb(color2);
    const int n = extent - 1;
    if (n == 0) {
        PaintRectFill(dc, rect, Plain(c1));
        return;
    }
    const std::vector<TColor> lines = GlossLines(c1, c2, vertical, n, o);
    for (int y = 0; y < extent; ++y) FillLine(dc, rect, vertical, y, 0, lines[y * n / extent]);
}

void PaintRampGradient(HDC dc, const RECT& rect, TColor color1, TColor color2, bool vertical) {
    const int extent = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    if (extent <= 0 || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const TRgb c1 = Rgb(color1), c2 = Rgb(color2);
    const int n = extent - 1;
    // Step i covers the lines up to extent - 1 - i, so line k shows step n - k.
    for (int k = 0; k < extent; ++k) FillLine(dc, rect, vertical, k, 0, Plain(n == 0 ? c1 : Step(c1, c2, n - k, n)));
}

const int kRadioDiscInsets11[11] = {3, 1, 1, 0, 0, 0, 0, 0, 1, 1, 3};

int RadioDiscInset(std::span<const int> insets, int row) {
    if (insets.empty()) return 0;
    return insets[std::clamp(row, 0, static_cast<int>(insets.size()) - 1)];
}

const POINT kRadioDiscOutline[24] = {{0, 8},  {0, 4},  {1, 3},  {1, 2},   {2, 1},   {3, 1},  {4, 0},  {8, 0},
                                     {9, 1},  {10, 1}, {11, 2}, {11, 3},  {12, 4},  {12, 8}, {11, 9}, {11, 10},
                                     {10, 11}, {9, 11}, {8, 12}, {4, 12}, {3, 11},  {2, 11}, {1, 10}, {1, 9}};

void PaintRadioGradient(HDC dc, const RECT& rect, TColor color1, TColor color2, bool twoPhase,
                        std::span<const int> insets, TGlossOvershoot o) {
    const int rows = rect.bottom - rect.top;
    if (rows <= 0 || rect.right <= rect.left) return;
    const TRgb c1 = Rgb(color1), c2 = Rgb(color2);
    const int n = rows - 1;
    if (twoPhase) {
        const TGlossSteps steps(c1, c2, n, o);
        for (int i = 0; i <= n; ++i) FillLine(dc, rect, true, i, RadioDiscInset(insets, i), steps.Line(i));
    } else {
        for (int i = 0; i <= n; ++i)  // counted from the bottom
            FillLine(dc, rect, true, n - i, RadioDiscInset(insets, i), Plain(n == 0 ? c1 : Step(c1, c2, i, n)));
    }
}

void PaintRadioBanded(HDC dc, const RECT& rect, bool highlighted, std::span<const int> insets) {
    const int rows = rect.bottom - rect.top;
    if (rows <= 0 || rect.right <= rect.left) return;
    for (int i = 0; i < rows; ++i)
        FillLine(dc, rect, true, i, RadioDiscInset(insets, i),
                 BandedButtonLineColor(highlighted ? bsHot : bsNormal, i, rows));
}

// --- faces ------------------------------------------------------------------------------------

void PaintEditButtonFace(HDC dc, const RECT& rect, bool halfPushed, bool hot, bool opaqueItems, TColor fill,
                         TColor frame) {
    if (halfPushed || hot) return;
    if (opaqueItems) PaintRectFill(dc, rect, fill);
    RECT r = rect;
    PaintRectFrame(dc, r, frame, false);
}

void PaintPopupCheckFace(HDC dc, const RECT& box, const TThmItemInfo& item, const TThmPopupCheckFaceStyle& s) {
    RECT inner = box;
    InflateRect(&inner, -1, -1);
    if (!item.Pushed && item.HotState == hsNone) {
        if (s.GradientFaces) {
            PaintGlossBitmap(dc, inner, s.RestingStart, s.RestingEnd, true, s.Overshoot);
            PaintCutCornerFrame(dc, box, 2, 2, s.FrameOutline, s.FrameShade, s.FrameCorner);
        } else {
            PaintCheckerRect(dc, inner, s.CheckerBack, s.CheckerFore);
        }
        return;
    }
    PaintGlossBitmap(dc, inner, s.ActiveFill, 0xFFFFFF, true, s.Overshoot);
    PaintOctagonOutline(dc, box, 2, 2, s.ActiveOutline);
}

// --- images and frames ----------------------------------------------------------------------------

void PaintOfficeItemImage(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                          classlib::TImageList& images, int index, bool dark, int restingOpacity, bool hotShadow) {
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    if (!item.Enabled) {
        if (dark)
            PaintImageSilhouetteThreshold(canvas, rect, images, index, classlib::clBtnShadow);
        else
            PaintImageShadow(canvas, rect, images, index, 0);
        return;
    }
    if (item.Checked || item.Pushed || item.HotState != hsNone) {
        RECT r = rect;
        if (hotShadow && !item.Checked && (!item.Pushed || item.PopupOpen)) {
            PaintImageShadow(canvas, r, images, index, 1);
            OffsetRect(&r, 1, 1);
            PaintImageShadow(canvas, r, images, index, 1);
            OffsetRect(&r, -2, -2);
        }
        PaintImageLightened(canvas, r, images, index, dark);
        return;
    }
    if (dark || IsWhiteButtonFace || IsLowColorDisplay)
        PaintImageLightened(canvas, rect, images, index, dark);
    else
        PaintImageTinted(canvas, rect, images, index, classlib::clWindow, restingOpacity);
}

void PaintFloatingClientOutline(HDC dc, const RECT& r, bool panel, TColor color) {
    if (panel) {
        const POINT p[7] = {{r.left, r.top - 1}, {r.right - 1, r.top - 1}, {r.right, r.top}, {r.right, r.bottom},
                            {r.left - 1, r.bottom}, {r.left - 1, r.top}, {r.left, r.top - 1}};
        PaintPolyline(dc, p, 6, color);
    } else {
        const POINT p[9] = {{r.left, r.top - 1},        {r.right - 1, r.top - 1}, {r.right, r.top},
                            {r.right, r.bottom - 1},    {r.right - 1, r.bottom}, {r.left, r.bottom},
                            {r.left - 1, r.bottom - 1}, {r.left - 1, r.top},     {r.left, r.top - 1}};
        PaintPolyline(dc, p, 8, color);
    }
}

void PaintPopupJoin(HDC dc, const RECT& r, RECT p, TColor color) {
    if (IsRectEmpty(&p)) return;
    if (p.bottom == r.top || p.top == r.bottom) {
        if (r.left >= p.left) p.left = r.left - 1;
        if (r.right <= p.right) p.right = r.right + 1;
        const int y = p.bottom == r.top ? p.bottom - 1 : p.top;
        PaintLine(dc, p.left + 1, y, p.right - 1, y, color);
    }
    if (p.right == r.left || p.left == r.right) {
        if (r.top >= p.top) p.top = r.top - 1;
        if (r.bottom <= p.bottom) p.bottom = r.bottom + 1;
        const int x = p.right == r.left ? p.right - 1 : p.left;
        PaintLine(dc, x, p.top + 1, x, p.bottom - 1, color);
    }
}

RECT SpinHalf(const RECT& pair, bool upper) {
    RECT half = pair;
    if (upper)
        half.bottom = (pair.top + pair.bottom + 1) / 2;
    else
        half.top = (pair.top + pair.bottom) / 2;
    return half;
}

}  // namespace themes
