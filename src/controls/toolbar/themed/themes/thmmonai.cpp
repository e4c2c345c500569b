#include "controls/toolbar/themed/themes/thmmonai.h"

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmMonaiTheme::TThmMonaiTheme(std::wstring name)
    : TThmMonaiTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmMonaiTheme>()) {}

TThmMonaiTheme::TThmMonaiTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmStripesTheme(std::move(name), std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateMonaiTheme(const std::wstring& name) { return std::make_unique<TThmMonaiTheme>(name); }

void TThmMonaiTheme::BuildGripPattern(HDC dc, TColor base, TGripPattern& p) const {
    const COLORREF b = ColorToRGB(base);
    const COLORREF dark = GetNearestColor(dc, ColorToRGB(ColorMix(base, clBtnShadow, 64)));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) p[y][x] = (x % 4 < 2 && y % 4 < 2) ? dark : b;
}

void TThmMonaiTheme::PaintToolbarGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, TColor base) {
    const int handle = GetDragHandleSize(frame);
    const bool close = frame.CloseButtonState & cbsShown;
    RECT g = strip;
    if (!frame.Vertical) {
        --g.left;
        ++g.right;
        if (close) {
            g.top += handle - 2;
            ++g.left;
            g.right -= 4;
        }
    } else {
        --g.top;
        ++g.bottom;
        if (close) {
            g.right -= handle - 2;
            ++g.top;
            g.bottom -= 4;
        }
    }
    PaintGripArea(dc, Deflated(g, 1, 1), base);
}

void TThmMonaiTheme::PaintStatusBackground(HDC dc, const RECT& rect) { PaintRectFill(dc, rect, clBtnFace); }

void TThmMonaiTheme::PaintSizeGrip(HDC dc, const RECT& r) {
    const TColor square = ColorMixNearest(clBtnFace, clBtnShadow, 64);
    for (const POINT& p : kSizeGripCorners)
        PaintRectFill(dc, RECT{r.right + p.x, r.bottom + p.y, r.right + p.x + 2, r.bottom + p.y + 2}, square);
}

}  // namespace themes
