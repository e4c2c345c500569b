#include "controls/toolbar/themed/themes/thmmonaixp.h"

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmMonaiXPTheme::TThmMonaiXPTheme(std::wstring name)
    : TThmMonaiTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmMonaiXPTheme>()) {}

std::unique_ptr<TThmTheme> CreateMonaiXPTheme(const std::wstring& name) {
    return std::make_unique<TThmMonaiXPTheme>(name);
}

void TThmMonaiXPTheme::BuildGripPattern(HDC dc, TColor base, TGripPattern& p) const {
    auto dark = [&](int w) { return GetNearestColor(dc, ColorToRGB(ColorMix(base, clBtnShadow, w))); };
    auto light = [&](int w) { return GetNearestColor(dc, ColorToRGB(ColorMix(base, clBtnHighlight, w))); };
    const COLORREF b = ColorToRGB(base);
    for (auto& row : p)
        for (COLORREF& c : row) c = b;
    for (int y : {0, 4})
        for (int x : {0, 4}) {
            const bool lower = y == 4;
            p[y][x] = dark(128);
            p[y][x + 1] = dark(96);
            p[y + 1][x] = dark(48);
            p[y + 1][x + 1] = dark(8);
            p[y + 1][x + 2] = light(lower ? 128 : 96);
            p[y + 2][x + 1] = light(72);
            p[y + 2][x + 2] = light(lower ? 96 : 128);
        }
}

void TThmMonaiXPTheme::PaintGripPatternFill(HDC dc, const RECT& rect, TColor base, int inset) {
    // A clear bar has no colour to build beads from: the dot-only grip instead.
    if (base == clNone) {
        PaintGripDots(dc, rect, clNone, inset);
        return;
    }
    TThmClipGuard clip(dc, rect);
    PaintRectFill(dc, rect, base);
    FillGripPattern(dc, Deflated(rect, inset, inset), base);
}

}  // namespace themes
