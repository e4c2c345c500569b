#include "controls/toolbar/themed/themes/thmstripes.h"

#include <algorithm>

#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmStripesTheme::TThmStripesTheme(std::wstring name)
    : TThmStripesTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmStripesTheme>()) {}

TThmStripesTheme::TThmStripesTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmClassicTheme(std::move(name), std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateStripesTheme(const std::wstring& name) {
    return std::make_unique<TThmStripesTheme>(name);
}

// --- grip dots ------------------------------------------------------------------------------------

void TThmStripesTheme::BuildGripPattern(HDC dc, TColor base, TGripPattern& p) const {
    const COLORREF b = ColorToRGB(base);
    const COLORREF light = GetNearestColor(dc, ColorToRGB(ColorMix(base, clBtnHighlight, 32)));
    const COLORREF dark = GetNearestColor(dc, ColorToRGB(ColorMix(base, clBtnShadow, 64)));
    for (auto& row : p)
        for (COLORREF& c : row) c = b;
    for (int y : {0, 4})
        for (int x : {0, 4}) {
            p[y][x] = light;
            p[y + 1][x + 1] = dark;
        }
}

void TThmStripesTheme::FillGripPattern(HDC dc, const RECT& area, TColor base) {
    if (IsEmptyArea(area)) return;
    TGripPattern pattern;
    BuildGripPattern(dc, base, pattern);
    TBitmap tile(8, 8, pf32bit);
    for (int y = 0; y < 8; ++y) {
        auto* row = static_cast<DWORD*>(tile.ScanLine(y));
        for (int x = 0; x < 8; ++x) row[x] = ColorToPixel(static_cast<TColor>(pattern[y][x]));
    }
    TGdiObject<HBRUSH> brush(CreatePatternBrush(tile.Handle()));
    // Tile pixel (0, 0) on the area's top-left corner, in device coordinates.
    POINT at{area.left, area.top};
    LPtoDP(dc, &at, 1);
    POINT old{};
    SetBrushOrgEx(dc, (at.x % 8 + 8) % 8, (at.y % 8 + 8) % 8, &old);
    FillRect(dc, &area, brush.Handle());
    SetBrushOrgEx(dc, old.x, old.y, nullptr);
}

void TThmStripesTheme::PaintGripDots(HDC dc, const RECT& rect, TColor base, int inset) {
    // An area of 0 or 1 pixel still centres two pixels: they stay inside rect.
    TThmClipGuard clip(dc, rect);
    const RECT area = CenteredGripArea(rect, inset);
    if (base != clNone) {
        PaintRectFill(dc, rect, base);
        FillGripPattern(dc, area, base);
        return;
    }
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    for (int y = area.top; y < area.bottom; y += 4)
        for (int x = area.left; x < area.right; x += 4) {
            SetPixelV(dc, x + 1, y + 1, light);
            SetPixelV(dc, x + 2, y + 2, dark);
        }
}

void TThmStripesTheme::PaintDotsBesideTitle(HDC dc, const RECT& bar, int width, bool across, int inset, int lead) {
    if (width == 0) {
        PaintGripDots(dc, bar, clBtnFace, inset);
        return;
    }
    if (across) {
        const int gapStart = (bar.left + bar.right - width) / 2, gapEnd = (bar.left + bar.right + width) / 2;
        PaintGripDots(dc, RECT{bar.left + lead, bar.top, gapStart, bar.bottom}, clBtnFace, inset);
        PaintGripDots(dc, RECT{gapEnd, bar.top, bar.right, bar.bottom}, clBtnFace, inset);
        PaintRectFill(dc, RECT{gapStart, bar.top, gapEnd, bar.bottom}, clBtnFace);
    } else {
        const int gapStart = (bar.top + bar.bottom - width) / 2, gapEnd = (bar.top + bar.bottom + width) / 2;
        PaintGripDots(dc, RECT{bar.left, bar.top + lead, bar.right, gapStart}, clBtnFace, inset);
        PaintGripDots(dc, RECT{bar.left, gapEnd, bar.right, bar.bottom}, clBtnFace, inset);
        PaintRectFill(dc, RECT{bar.left, gapStart, bar.right, gapEnd}, clBtnFace);
    }
}

// --- frames -------------------------------------------------------------------------------------

void TThmStripesTheme::PaintToolbarGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, TColor base) {
    const TColor line = ColorMixNearest(clBtnShadow, clBtnFace, 96);
    const int handle = GetDragHandleSize(frame);
    const bool close = frame.CloseButtonState & cbsShown;
    RECT g = strip;
    if (!frame.Vertical) {
        PaintLine(dc, g.right - 2, g.top, g.right - 2, g.bottom, line);
        g.right -= 2;
        PaintRectFill(dc, g, base);
        if (close) g.top += handle - 2;
    } else {
        PaintLine(dc, g.left, g.bottom - 2, g.right, g.bottom - 2, line);
        g.bottom -= 2;
        PaintRectFill(dc, g, base);
        if (close) g.right -= handle - 2;
    }
    PaintGripDots(dc, Deflated(g, 1, 1), base, 1);
}

void TThmStripesTheme::PaintPanelCaption(TCanvas& canvas, const RECT& bar, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    const bool across = frame.CaptionHorizontal;
    int width = CaptionWidth(dc, frame.Caption);
    if (width > 0) width += 12;
    if ((across ? bar.right - bar.left : bar.bottom - bar.top) > width) {
        RECT dots = bar;
        ++(across ? dots.top : dots.left);
        PaintDotsBesideTitle(dc, dots, width, across, 1, 1);
    }
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, bar,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, clBtnText, !across);
}

void TThmStripesTheme::PaintFloatingCaption(TCanvas& canvas, const RECT& bar, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    int width = CaptionWidth(dc, frame.Caption);
    if (width > 0) width += 16;
    if (frame.Active && bar.right - bar.left > width)
        PaintDotsBesideTitle(dc, bar, width, true, 2, 0);
    else
        PaintRectFill(dc, bar, clBtnFace);
    RECT text = Deflated(bar, 2, 0);
    text.top -= 2;
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, text,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_HIDEPREFIX, clBtnText, false);
}

void TThmStripesTheme::PaintStatusBackground(HDC dc, const RECT& r) {
    PaintRectFill(dc, r, clBtnFace);
    PaintLine(dc, r.left, r.top + 2, r.right, r.top + 2, ColorMixNearest(clBtnShadow, clBtnFace, 96));
}

void TThmStripesTheme::PaintSizeGrip(HDC dc, const RECT& r) {
    static constexpr int kSmall[6] = {2, 3, 4, 5, 6, 7}, kMedium[6] = {2, 3, 5, 6, 8, 9}, kLarge[6] = {2, 4, 6, 8, 10, 12};
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    PaintGripDiagonals(dc, r, side < 9 ? kSmall : side < 13 ? kMedium : kLarge, ColorMixNearest(clBtnFace, clBtnShadow, 64),
                       ColorMixNearest(clBtnFace, clBtnHighlight, 64));
}

}  // namespace themes
