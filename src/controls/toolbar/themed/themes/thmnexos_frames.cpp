// The Nexos family's frames: docked toolbars with their grips and close buttons, docked and
// floating panels, check controls and the status bar.
#include <algorithm>

#include "classlib/gdiguards.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmnexos.h"

namespace themes {

using namespace classlib;
using namespace themed;

bool TThmNexosTheme::FrameHasEdges(int viewKind) const {
    return ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkMenuBar) || ViewKindIs(viewKind, vkToolWindow);
}

// --- docked toolbars ------------------------------------------------------------------------------

void TThmNexosTheme::PaintToolbarEdges(HDC dc, const RECT& area, int rightTop, int viewKind, TColor menuBarBottom) {
    const RECT& r = area;
    if (Options.SolidToolbarEdges) {
        if (ViewKindIs(viewKind, vkMenuBar)) {
            PaintLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, menuBarBottom);
            PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, EdgeColor);
        } else {
            PaintLine(dc, r.left + 1, r.bottom - 1, r.right, r.bottom - 1, EdgeColor);
            PaintLine(dc, r.right - 1, rightTop, r.right - 1, r.bottom - 1, EdgeColor);
        }
        return;
    }
    const COLORREF edge = ThmResolveColor(EdgeColor);
    for (int x = r.left; x < r.right; x += 3) SetPixelV(dc, x, r.bottom - 1, edge);
    for (int y = r.top; y < r.bottom - 1; y += 3) SetPixelV(dc, r.right - 1, y, edge);
}

void TThmNexosTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // The stripes keep the alignment of a frame begun above the rectangle; only the rectangle
    // is painted.
    StripedFillLifted(canvas, rect, ToolbarStripeLift(), ToolbarFill);
    if (FrameHasEdges(frame.ViewKind))
        PaintToolbarEdges(dc, RECT{rect.left, rect.top - 1, rect.right, rect.bottom}, rect.top + 1, frame.ViewKind,
                          MenuBarBottomEdge());
    PaintHandleStrip(dc, Deflated(rect, 2, 2), frame);
}

void TThmNexosTheme::PaintHandleStrip(HDC dc, const RECT& inner, const TThmToolbarFrameInfo& frame) {
    if (!frame.AllowDrag) return;
    RECT strip = inner;
    const int size = GetDragHandleSize(frame);
    if (frame.Vertical)
        strip.bottom = strip.top + size;
    else
        strip.right = strip.left + size;
    if (frame.DragHandleStyle != dhNone) PaintGrip(dc, strip, frame, size);
    if (frame.CloseButtonState & cbsShown)
        PaintToolbarCloseButton(dc, ToolbarCloseSquare(strip, frame.Vertical), frame.CloseButtonState);
}

void TThmNexosTheme::GripDotColors(HDC dc, TColor face, TColor dark, TColor light, TColor (&dot)[3][3],
                                   bool statusLayout) const {
    auto mix = [dc](TColor a, TColor b, int w) {
        return static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorMix(a, b, w))));
    };
    const TColor d64 = mix(face, dark, 64), d48 = mix(face, dark, 48), d32 = mix(face, dark, 32),
                 d16 = mix(face, dark, 16);
    const TColor l128 = mix(face, light, 128), l96 = mix(face, light, 96), l72 = mix(face, light, 72);
    const TColor rows[3][3] = {{statusLayout ? d16 : d64, d48, clNone},
                               {d32, statusLayout ? d64 : d16, l96},
                               {clNone, l72, l128}};
    std::copy(&rows[0][0], &rows[0][0] + 9, &dot[0][0]);
}

void TThmNexosTheme::PaintDot(HDC dc, int x, int y, const TColor (&dot)[3][3]) {
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            if (dot[row][col] != clNone) SetPixelV(dc, x + col, y + row, ThmResolveColor(dot[row][col]));
}

RECT TThmNexosTheme::GripArea(const RECT& strip, const TThmToolbarFrameInfo& frame, int size, TGripLayout layout) {
    const bool twoRows = frame.DragHandleStyle == dhDouble;
    const bool close = frame.CloseButtonState & cbsShown;
    RECT g = strip;
    if (!frame.Vertical) {  // a strip at the left
        if (twoRows) OffsetRect(&g, -layout.DoubleShift, 0);
        g.top += layout.StartInset;
        g.bottom -= layout.EndInset;
        g.left += 1;
        if (close) {
            g.top += size - 2;
            g.left += 4;
            g.right -= 4;
        }
    } else {  // a strip at the top
        if (twoRows) OffsetRect(&g, 0, -layout.DoubleShift);
        g.left += layout.StartInset;
        g.right -= layout.EndInset;
        g.top += 1;
        if (close) {
            g.right -= size - 2;
            g.top += 4;
            g.bottom -= 4;
        }
    }
    return g;
}

void TThmNexosTheme::PaintGripDots(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size,
                                   TGripLayout layout, const TColor (&dot)[3][3]) {
    const bool twoRows = frame.DragHandleStyle == dhDouble;
    const RECT g = GripArea(strip, frame, size, layout);
    if (!frame.Vertical) {
        for (int y = g.top; y < g.bottom - 3; y += 4) {
            PaintDot(dc, g.left, y, dot);
            if (twoRows) PaintDot(dc, g.left + 4, y, dot);
        }
    } else {
        for (int x = g.left; x < g.right - 3; x += 4) {
            PaintDot(dc, x, g.top, dot);
            if (twoRows) PaintDot(dc, x, g.top + 4, dot);
        }
    }
}

void TThmNexosTheme::PaintGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    TColor dot[3][3];
    GripDotColors(dc, GripFaceColor, GripDarkColor, GripLightColor, dot, false);
    PaintGripDots(dc, strip, frame, size, TGripLayout{}, dot);
}

RECT TThmNexosTheme::ToolbarCloseSquare(RECT strip, bool vertical) {
    if (!vertical) {
        --strip.right;
        strip.bottom = strip.top + (strip.right - strip.left);
    } else {
        --strip.bottom;
        strip.left = strip.right - (strip.bottom - strip.top);
    }
    return strip;
}

int TThmNexosTheme::CloseButtonRow(int state) { return (state & cbsPressed) ? 3 : (state & cbsHot) ? 4 : 0; }

void TThmNexosTheme::PaintToolbarCloseButton(HDC dc, const RECT& square, int state) {
    const int s = CloseButtonRow(state);
    RECT r = square;
    PaintRectFrame(dc, r, States.Item[s][scFrame], true);
    PaintRectFill(dc, r, States.Item[s][scFill]);
    PaintSmallCloseCross(dc, r, States.Item[s][scText]);
}

// --- docked panels --------------------------------------------------------------------------------

namespace {

// The corner pixels a panel's rings leave in `color`: top left, and top right for a caption
// across the top or bottom left for one down the side.
void PanelCorners(HDC dc, const RECT& at, bool across, TColor color) {
    if (IsEmptyArea(at) || color == clNone) return;
    const COLORREF v = ThmResolveColor(color);
    SetPixelV(dc, at.left, at.top, v);
    if (across)
        SetPixelV(dc, at.right - 1, at.top, v);
    else
        SetPixelV(dc, at.left, at.bottom - 1, v);
}

}  // namespace

bool TThmNexosTheme::PlainPanelBorder() {
    const int luma = ColorLuma(clBtnFace);
    return !IsLowColorDisplay && luma >= 64 && luma <= 250;
}

void TThmNexosTheme::PaintPanelBorder(HDC dc, const RECT& rect, TColor entry, bool across, TColor ring,
                                      TColor corner, bool plainEverywhere) {
    if (!plainEverywhere && !PlainPanelBorder()) {
        PaintPatternPanelBorder(dc, rect, entry, across, entry);
        return;
    }
    RECT r = rect;
    PaintRectFrame(dc, r, ring, true);
    PaintRectFrame(dc, r, entry, true);
    PanelCorners(dc, r, across, corner);
}

void TThmNexosTheme::PaintPatternPanelBorder(HDC dc, const RECT& rect, TColor entry, bool across, TColor corner) {
    RECT r = rect;
    PaintRectFrame(dc, r, entry, true);
    if (entry != clNone && !IsEmptyArea(r)) {
        // The pattern brush is the class library's cached one: used, never deleted.
        HBRUSH pattern = AllocPatternBrush(entry, ColorLuma(clBtnFace) < 64 ? TColor(0xFFFFFF) : clBtnShadow);
        FrameRect(dc, &r, pattern);
    }
    PanelCorners(dc, r, across, corner);
    r = Deflated(r, 1, 1);
    PaintRectFrame(dc, r, entry, true);
}

void TThmNexosTheme::PaintCaptionCloseButton(HDC dc, RECT square, int s, bool vertical) {
    const TColor* row = States.Item[std::clamp(s, 0, 7)];
    if (Options.GradientCaptions) {
        if (s == 4) {
            PaintRectFrame(dc, square, 0x000000, true);
            PaintSmallCloseCross(dc, square, 0xFFFFFF);
        } else if (s == 3) {
            PaintGlossBitmap(dc, square, 0xFFFFFF, BaseColor, vertical);
            PaintRectFrame(dc, square, BaseColor, true);
            PaintSmallCloseCross(dc, square, 0x000000);
        } else {
            PaintRectFrame(dc, square, row[scFrame], true);
            PaintSmallCloseCross(dc, square, 0xFFFFFF);
        }
        return;
    }
    if (s == 4 || s == 3) {
        PaintRectFrame(dc, square, 0x808080, true);
        PaintRectFill(dc, square, s == 4 ? 0xFFFFFF : 0xC0C0C0);
        PaintSmallCloseCross(dc, square, s == 4 ? 0x000000 : 0xFFFFFF);
        return;
    }
    PaintRectFrame(dc, square, row[scFrame], true);
    PaintRectFill(dc, square, row[scFill]);
    PaintSmallCloseCross(dc, square, 0x000000);
}

void TThmNexosTheme::PaintCaptionText(TCanvas& canvas, const wchar_t* text, const RECT& rect, UINT format,
                                      TColor color, bool rotated, int haloTop) {
    if (!text || !*text) return;
    if (Options.CaptionTextHalo)
        for (int dy = haloTop; dy < haloTop + 4; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const RECT halo{rect.left + dx, rect.top + dy, rect.right, rect.bottom};
                DrawThemeCaptionInFont(canvas, SmallCaptionFont(), text, halo, format, LightBaseColor, rotated);
            }
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), text, rect, format, color, rotated);
}

void TThmNexosTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    const bool across = frame.CaptionHorizontal;
    PaintPanelBorder(dc, rect, entry, across, clBtnFace, clBtnFace);
    const RECT r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    const RECT band = across ? RECT{r.left, r.top, r.right, r.top + h} : RECT{r.left, r.top, r.left + h, r.bottom};
    PaintPanelBand(dc, band, across);
    // The text rectangle is the band less its last row (column).
    RECT text = across ? RECT{band.left, band.top, band.right, band.bottom - 1}
                       : RECT{band.left, band.top, band.right - 1, band.bottom};
    if (frame.CloseButtonState & cbsShown)
        PaintPanelCloseButton(dc, SplitCloseSquare(text, across, h), CloseButtonRow(frame.CloseButtonState), across);
    PaintCaptionText(canvas, frame.Caption, CaptionTextPlace(text, across),
                     DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, PanelCaptionTextColor(), !across, -2);
}

RECT TThmNexosTheme::SplitCloseSquare(RECT& text, bool across, int captionHeight) {
    RECT square = text;
    if (across) {
        square.left = square.right - captionHeight + 1;
        text.right = square.left;
    } else {
        square.top = square.bottom - captionHeight + 1;
        text.bottom = square.top;
    }
    return square;
}

RECT TThmNexosTheme::CaptionTextPlace(const RECT& text, bool across) {
    return across ? RECT{text.left + 4, text.top, text.right - 4, text.bottom}
                  : RECT{text.left, text.top + 4, text.right, text.bottom - 4};
}

void TThmNexosTheme::PaintPanelBand(HDC dc, const RECT& band, bool across) {
    if (Options.GradientCaptions) {
        PaintGlossBitmap(dc, band, LightBaseColor, LightColor, across);
        return;
    }
    const auto [start, end] = PlainCaptionColors();
    PaintGlossBitmap(dc, band, start, end, across);
    if (across)
        PaintLine(dc, band.left, band.bottom - 1, band.right, band.bottom - 1, EdgeColor);
    else
        PaintLine(dc, band.right - 1, band.top, band.right - 1, band.bottom, EdgeColor);
}

// --- floating frames ------------------------------------------------------------------------------

void TThmNexosTheme::PaintFloatingBorder(HDC dc, const RECT& rect, const TThmFloatingFrameInfo& frame,
                                         TColor outline, bool squareCorners) {
    const bool panel = frame.ViewKind & vkDockPanel;
    const RECT r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    {
        TSavedDC saved(dc);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        PaintRectFill(dc, rect, FloatingColors[(panel ? kPanelActive : kToolbarActive) + (frame.Active ? 0 : 1)][kBorder]);
    }
    if (IsEmptyArea(r) || frame.BorderSize.x <= 0 || frame.BorderSize.y <= 0) return;
    if (squareCorners) {
        RECT ring{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
        PaintRectFrame(dc, ring, outline, false);
    } else {
        PaintFloatingClientOutline(dc, r, panel, outline);
    }
}

void TThmNexosTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    if (frame.RedrawParts & rpBorder) PaintFloatingBorder(dc, rect, frame, entry);
    if (!frame.CaptionShown) return;
    const int colours = ((frame.ViewKind & vkToolbar) ? kToolbarActive : kPanelActive) + (frame.Active ? 0 : 1);
    const TColor text = Options.GradientCaptions ? FloatingColors[colours][kCaptionText] : 0x000000;
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption{0, 0, frame.ClientWidth, h};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    // The bar's look, and the line under it from `lineLeft`.
    auto bar = [&](const RECT& k, int lineLeft) {
        if (Options.GradientCaptions) {
            PaintGlossBitmap(dc, k, LightBaseColor, LightColor, true);
        } else {
            StripedFill(canvas, k, ToolbarFill);
            PaintLine(dc, lineLeft, k.bottom - 1, k.right, k.bottom - 1, EdgeColor);
        }
    };
    if (frame.RedrawParts & rpCaption) {
        RECT k = caption;
        PaintLine(dc, k.left, k.bottom, k.right, k.bottom, entry);
        if (close && (frame.RedrawParts & rpCloseButton)) k.right -= h;
        bar(k, k.left);
        k = RECT{k.left + 2, k.top, k.right - 2, k.bottom - 1};
        PaintCaptionText(canvas, frame.Caption, k, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, text,
                         false, -2);
    }
    if (close) {
        RECT q = caption;
        q.left = q.right - (q.bottom - q.top);
        PaintLine(dc, q.left - 1, q.bottom, q.right, q.bottom, entry);
        bar(q, q.left - 1);
        const int s = !frame.Active                              ? 1
                      : (frame.CloseButtonState & cbsPressed) ? 3
                      : (frame.CloseButtonState & cbsHot)     ? 4
                                                              : 0;
        PaintCaptionCloseButton(dc, q, s, true);
    }
}

// --- check controls -------------------------------------------------------------------------------

TColor TThmNexosTheme::CheckMarkColor(int state) const {
    const auto& item = States.Item;
    if (state & 4) return item[1][scText];
    if (state & 0x10) return item[3][scText];
    if (state & 2) return clBtnShadow;
    if (state & 8) return item[4][scText];
    return item[0][scText];
}

void TThmNexosTheme::PaintCheckMark(HDC dc, const RECT& rect, int controlKind, int state, TColor outline,
                                    TColor uncheckedDot) {
    const TColor mark = CheckMarkColor(state);
    if (controlKind == 1) {
        PaintOctagonOutline(dc, rect, 1, 1, outline);
        if (state & 3) {
            const int x = (rect.left + rect.right) / 2 - 1, y = (rect.top + rect.bottom) / 2 + 1;
            const POINT p[7] = {{x - 2, y}, {x, y + 2}, {x + 4, y - 2}, {x + 4, y - 4}, {x, y}, {x - 2, y - 2}, {x - 2, y}};
            PaintPolygon(dc, p, 6, mark, mark);
        }
        return;
    }
    // The disc has a fixed size of 13 x 13 at the rectangle's corner; the caller's clip keeps
    // it inside a smaller rectangle.
    POINT p[24];
    for (int i = 0; i < 24; ++i) p[i] = {rect.left + kRadioDiscOutline[i].x, rect.top + kRadioDiscOutline[i].y};
    PaintPolygon(dc, p, 23, outline, clNone);
    const TColor dot = (state & 1) ? mark : uncheckedDot;
    const RECT d = Deflated(rect, 4, 4);
    if (!IsEmptyArea(d)) PaintRoundRect(dc, d.left, d.top, d.right, d.bottom, d.right - d.left, d.bottom - d.top, dot, dot);
}

void TThmNexosTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    if (controlKind != 1 && controlKind != 2) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool marked = state & 3, hot = state & 8, pushed = state & 0x10, radio = controlKind == 2;
    const RECT inner = Deflated(rect, 1, 1);
    auto gloss = [&](TColor c1, TColor c2) {
        if (radio)
            PaintRadioGradient(dc, inner, c1, c2, true);
        else
            PaintGlossBitmap(dc, inner, c1, c2, true);
    };
    auto ramp = [&](TColor c1, TColor c2) {
        if (radio)
            PaintRadioGradient(dc, inner, c1, c2, false);
        else
            PaintRampGradient(dc, inner, c1, c2, true);
    };
    TColor pen = 0xC0C0C0;
    const TColor neutral = Options.NeutralColor;
    if (hot) {
        if (pushed) {
            if (marked)
                ramp(0xFFFFFF, neutral);
            else
                gloss(0xFFFFFF, neutral);
        } else if (marked && !Options.HotCheckedGradient) {
            ramp(0xFFFFFF, BaseColor);
        } else {
            gloss(BaseColor, 0xFFFFFF);
            pen = States.Item[4][scFrame];
        }
    } else if (marked) {
        const auto [c1, c2] = RestingMarkColors();
        gloss(c1, c2);
    }
    PaintCheckMark(dc, rect, controlKind, state, pen);
}

// --- status bar -----------------------------------------------------------------------------------

std::pair<TColor, TColor> TThmNexosTheme::GripDiagonalColors() const {
    return {ColorMixNearest(clBtnFace, clBtnShadow, 64), ColorMixNearest(clBtnFace, clBtnHighlight, 64)};
}

void TThmNexosTheme::PaintGripDiagonals(HDC dc, const RECT& rect, TColor dark, TColor light) {
    const int side = toolbar::IntMin(rect.right - rect.left, rect.bottom - rect.top);
    // A diagonal from the bottom edge up to the right edge, `k` pixels from the corner.
    auto line = [&](int k, TColor c) { PaintLine(dc, rect.right - k - 1, rect.bottom - 1, rect.right, rect.bottom - k - 2, c); };
    int k = 2;
    for (int round = 0; round < 3; ++round) {
        if (side < 9) {
            line(k, dark);
            line(k + 1, light);
            k += 2;
        } else if (side < 13) {
            line(k, dark);
            line(k + 1, light);
            k += 3;
        } else {
            line(k, dark);
            line(k + 2, light);
            k += 4;
        }
    }
}

void TThmNexosTheme::PaintStatusGripDots(HDC dc, const RECT& rect, const TColor (&dot)[3][3]) {
    const POINT corners[6] = {{12, 4}, {8, 4}, {4, 4}, {8, 8}, {4, 8}, {4, 12}};
    for (const POINT& c : corners) PaintDot(dc, rect.right - c.x, rect.bottom - c.y, dot);
}

void TThmNexosTheme::StatusGripDotColors(TColor& face, TColor& dark, TColor& light) const {
    face = clBtnFace;
    dark = clBtnShadow;
    light = clBtnHighlight;
}

void TThmNexosTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    switch (part) {
    case 0: StripedFill(canvas, rect, ToolbarFill); return;
    case 1:
    case 2: {
        // The divider sits inside the panel: three pixels from the right of a panel, on the last
        // column of the one beside the grip.
        const int x = rect.right - (part == 1 ? 3 : 1);
        if (x < rect.left) return;
        const COLORREF c = ThmResolveColor(StatusDivider);
        for (int y = rect.top; y < rect.bottom - 1; y += 3) SetPixelV(dc, x, y, c);
        return;
    }
    case 3: {
        TThmClipGuard clip(dc, rect);
        if (Options.DottedSizeGrip) {
            TColor face, dark, light, dot[3][3];
            StatusGripDotColors(face, dark, light);
            GripDotColors(dc, face, dark, light, dot, true);
            PaintStatusGripDots(dc, rect, dot);
        } else {
            const auto [dark, light] = GripDiagonalColors();
            PaintGripDiagonals(dc, rect, dark, light);
        }
        return;
    }
    default: return;
    }
}

}  // namespace themes
