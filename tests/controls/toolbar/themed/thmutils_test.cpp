#include "controls/toolbar/themed/thmutils.h"

#include "classlib/imagelist.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>
#include <cmath>

using namespace themed;

using namespace classlib;

namespace {

using testsupport::MemoryDib;

struct ColorCase {
    const char* what;
    TColor actual;
    TColor expected;
};

TEST(ThmColorMath, FixedArithmeticTable) {
    const ColorCase cases[] = {
        {"mix divides by 256", ColorMix(clWhite, clBlack, 255), RGB(254, 254, 254)},
        {"mix weight 0", ColorMix(clWhite, clBlack, 0), clBlack},
        {"mix half", ColorMix(RGB(200, 100, 0), RGB(0, 100, 200), 128), RGB(100, 99, 99)},
        {"mix weight over 255 taken as 255", ColorMix(clWhite, clBlack, 300), RGB(254, 254, 254)},
        {"shift clamps high", ColorShiftLevel(RGB(250, 10, 128), 10), RGB(255, 20, 138)},
        {"shift clamps low", ColorShiftLevel(RGB(250, 10, 128), -20), RGB(230, 0, 108)},
        {"blend per mille at 100", ColorBlendPercent(clWhite, clBlack, 100), RGB(26, 26, 26)},
        {"blend percent at 99", ColorBlendPercent(clWhite, clBlack, 99), RGB(252, 252, 252)},
        {"blend percent 50", ColorBlendPercent(RGB(100, 0, 255), RGB(0, 100, 255), 50),
         RGB(50, 50, 255)},
        {"blend per mille 1000", ColorBlendPercent(RGB(1, 2, 3), clWhite, 1000), RGB(1, 2, 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(ThmColorMath, SystemColoursAreResolved) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(static_cast<COLORREF>(ColorShiftLevel(clBtnFace, 0)), face);
    EXPECT_EQ(static_cast<COLORREF>(ColorMix(clBtnFace, clBlack, 255)),
              static_cast<COLORREF>(ColorMix(static_cast<TColor>(face), clBlack, 255)));
    EXPECT_EQ(ColorToPixel(RGB(0x11, 0x22, 0x33)), 0xFF112233u);
}

TEST(ThmColorMath, LumaAndDarkness) {
    EXPECT_EQ(ColorLuma(clWhite), 255);
    EXPECT_EQ(ColorLuma(clBlack), 0);
    EXPECT_EQ(ColorLuma(clGray), 128);
    EXPECT_FALSE(ColorIsDark(clGray, 128));
    EXPECT_TRUE(ColorIsDark(clGray, 129));
    EXPECT_TRUE(ColorIsDark(clNavy, 128));
    EXPECT_FALSE(ColorIsDark(clYellow, 128));
}

float Distance(TColor a, TColor b) {
    auto space = [](TColor c) {
        COLORREF v = static_cast<COLORREF>(c);
        return std::array<float, 3>{GetRValue(v) * 0.764706f, GetGValue(v) * 1.52941f,
                                    GetBValue(v) * 0.254902f};
    };
    auto pa = space(a), pb = space(b);
    return std::sqrt((pa[0] - pb[0]) * (pa[0] - pb[0]) + (pa[1] - pb[1]) * (pa[1] - pb[1]) +
                     (pa[2] - pb[2]) * (pa[2] - pb[2]));
}

TEST(ThmColorMath, EnsureContrastLeavesDistantColoursAndResolvesSystemOnes) {
    TColor c = clBlack;
    ColorEnsureContrast(c, clWhite, 100);
    EXPECT_EQ(c, clBlack);

    // A system colour far from the background only becomes its plain value.
    TColor bg = GetSysColor(COLOR_BTNTEXT) == RGB(0, 0, 0) ? clWhite : clBlack;
    c = clBtnText;
    ColorEnsureContrast(c, bg, 10);
    EXPECT_EQ(static_cast<COLORREF>(c), GetSysColor(COLOR_BTNTEXT));
}

TEST(ThmColorMath, EnsureContrastMovesCloseColoursAway) {
    struct Case {
        TColor c, bg;
        bool lighter;
    } cases[] = {
        {RGB(250, 250, 250), clWhite, false},      // bright background: darken
        {RGB(10, 10, 10), clBlack, true},          // black background: lighten
        {RGB(130, 130, 130), RGB(128, 128, 128), true},
        {RGB(120, 120, 120), RGB(128, 128, 128), false},
    };
    for (const auto& k : cases) {
        TColor c = k.c;
        ColorEnsureContrast(c, k.bg, 60);
        // At least the minimum distance (up to rounding to whole channels) away.
        EXPECT_GT(Distance(c, k.bg), 58.0f) << std::hex << k.c << " on " << k.bg;
        if (k.lighter) EXPECT_GT(ColorLuma(c), ColorLuma(k.c)) << std::hex << k.c;
        else EXPECT_LT(ColorLuma(c), ColorLuma(k.c)) << std::hex << k.c;
    }
}

TEST(ThmColorMath, EnsureContrastExactResults) {
    // The themes' palettes depend on these exact values.
    const ColorCase cases[] = {
        {"darken on white", RGB(250, 250, 250), RGB(220, 220, 220)},
        {"lighten on black", RGB(10, 10, 10), RGB(69, 69, 69)},
        {"lighten on grey", RGB(130, 130, 130), RGB(163, 163, 163)},
    };
    const TColor backgrounds[] = {clWhite, clBlack, RGB(128, 128, 128)};
    for (int i = 0; i < 3; ++i) {
        TColor c = cases[i].actual;
        ColorEnsureContrast(c, backgrounds[i], 60);
        EXPECT_EQ(c, cases[i].expected) << cases[i].what;
    }
    TColor red = RGB(200, 0, 0);
    ColorEnsureContrast(red, RGB(180, 10, 10), 60);
    EXPECT_EQ(red, RGB(213, 60, 60));
}

TEST(ThmColorMath, HslConversions) {
    struct Case {
        TColor c;
        float h, s, l;
    } cases[] = {
        {clRed, 0.0f, 1.0f, 0.5f},
        {clLime, 1.0f / 3, 1.0f, 0.5f},
        {clBlue, 2.0f / 3, 1.0f, 0.5f},
        {clGray, 0.0f, 0.0f, 128.0f / 255},
        {RGB(255, 0, 128), 1.0f - 128.0f / 255 / 6, 1.0f, 0.5f},  // negative hue wraps
    };
    for (const auto& k : cases) {
        float h, s, l;
        ColorToHSL(k.c, h, s, l);
        EXPECT_NEAR(h, k.h, 1e-4) << std::hex << k.c;
        EXPECT_NEAR(s, k.s, 1e-4) << std::hex << k.c;
        EXPECT_NEAR(l, k.l, 1e-4) << std::hex << k.c;
        EXPECT_EQ(HSLToColor(k.h, k.s, k.l), k.c) << std::hex << k.c;
    }
    // Every colour survives the round trip.
    for (TColor c : {RGB(12, 200, 99), RGB(255, 255, 254), RGB(1, 2, 3), RGB(90, 60, 200)}) {
        float h, s, l;
        ColorToHSL(c, h, s, l);
        EXPECT_EQ(HSLToColor(h, s, l), c) << std::hex << c;
    }
}

TEST(ThmColorMath, NearestVariantsOnATrueColourScreen) {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (bits < 24) GTEST_SKIP() << "screen has " << bits << " bits";
    EXPECT_EQ(ColorShiftLevelNearest(RGB(10, 20, 30), 5), RGB(15, 25, 35));
    EXPECT_EQ(ColorMixNearest(clWhite, clBlack, 255), RGB(254, 254, 254));
    RecreateScratchObjects();
    EXPECT_EQ(ColorMixNearest(clWhite, clBlack, 255), RGB(254, 254, 254));
    EXPECT_FALSE(SmallCaptionFont().Name().empty());
}

TEST(ThmDrawing, PixelAlpha) {
    MemoryDib dib(4, 1, RGB(0, 0, 0));
    PaintPixelAlpha(dib.DC, 0, 0, clWhite, 0);
    PaintPixelAlpha(dib.DC, 1, 0, clWhite, 127);
    PaintPixelAlpha(dib.DC, 2, 0, clWhite, 128);  // alpha 128 and above counts one more
    PaintPixelAlpha(dib.DC, 3, 0, clWhite, 255);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 0), RGB(127, 127, 127));
    EXPECT_EQ(dib.Pixel(2, 0), RGB(128, 128, 128));
    EXPECT_EQ(dib.Pixel(3, 0), RGB(255, 255, 255));
    PaintPixelAlpha(dib.DC, 50, 50, clWhite, 100);  // outside the bitmap: nothing, no crash
}

TEST(ThmDrawing, RectFillAndFrame) {
    MemoryDib dib(6, 6, RGB(255, 255, 255));
    RECT r{0, 0, 6, 6};
    EXPECT_TRUE(PaintRectFrame(dib.DC, r, clRed, true));
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 5);
    EXPECT_TRUE(PaintRectFill(dib.DC, r, clBtnFace));
    EXPECT_EQ(dib.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.Pixel(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(dib.Pixel(3, 3), GetSysColor(COLOR_BTNFACE));

    RECT none{1, 1, 5, 5};
    EXPECT_FALSE(PaintRectFrame(dib.DC, none, clNone, true));
    EXPECT_EQ(none.left, 2);
    EXPECT_EQ(none.right, 4);
    EXPECT_FALSE(PaintRectFill(dib.DC, none, clNone));
    EXPECT_EQ(dib.Pixel(3, 3), GetSysColor(COLOR_BTNFACE));
}

TEST(ThmDrawing, LinesShapesAndSelectedObjectsRestored) {
    MemoryDib dib(10, 10, RGB(255, 255, 255));
    HGDIOBJ pen = GetCurrentObject(dib.DC, OBJ_PEN), brush = GetCurrentObject(dib.DC, OBJ_BRUSH);
    PaintLine(dib.DC, 0, 0, 5, 0, clBlue);
    EXPECT_EQ(dib.Pixel(4, 0), RGB(0, 0, 255));
    EXPECT_EQ(dib.Pixel(5, 0), RGB(255, 255, 255));  // end point not drawn

    POINT tri[3] = {{2, 2}, {8, 2}, {8, 8}};
    PaintPolygon(dib.DC, tri, 2, clNone, clLime);
    EXPECT_EQ(dib.Pixel(7, 3), RGB(0, 255, 0));
    EXPECT_EQ(dib.Pixel(3, 7), RGB(255, 255, 255));
    POINT pts[2] = {{0, 9}, {9, 9}};
    EXPECT_FALSE(PaintPolyline(dib.DC, pts, 1, clNone));
    EXPECT_EQ(dib.Pixel(3, 9), RGB(255, 255, 255));
    PaintRoundRectInRect(dib.DC, RECT{0, 3, 2, 9}, 0, 0, clRed, clNone);
    EXPECT_EQ(dib.Pixel(0, 5), RGB(255, 0, 0));

    EXPECT_EQ(GetCurrentObject(dib.DC, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dib.DC, OBJ_BRUSH), brush);
}

TEST(ThmDrawing, EdgeLines) {
    for (bool inset : {false, true}) {
        MemoryDib dib(6, 6, RGB(255, 255, 255));
        RECT r{0, 0, 6, 6};
        PaintEdgeLines(dib.DC, r, clAqua, clRed, inset);
        const COLORREF tl = RGB(0, 255, 255), br = RGB(255, 0, 0);
        EXPECT_EQ(dib.Pixel(0, 4), tl);
        EXPECT_EQ(dib.Pixel(0, 5), br);  // the bottom line runs one pixel past the left edge
        EXPECT_EQ(dib.Pixel(0, 0), tl);
        EXPECT_EQ(dib.Pixel(4, 0), tl);
        EXPECT_EQ(dib.Pixel(5, 0), br);
        EXPECT_EQ(dib.Pixel(5, 5), br);
        EXPECT_EQ(dib.Pixel(1, 5), br);
        EXPECT_EQ(dib.Pixel(2, 2), RGB(255, 255, 255));
        EXPECT_EQ(r.left, inset ? 1 : 0);
        EXPECT_EQ(r.top, inset ? 1 : 0);
        EXPECT_EQ(r.right, 4);
        EXPECT_EQ(r.bottom, 4);
    }
}

TEST(ThmDrawing, CheckerAndPatternGlyph) {
    MemoryDib dib(8, 8, RGB(255, 255, 255));
    PaintCheckerRect(dib.DC, RECT{0, 0, 4, 4}, clBlack, clRed);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(4, 4), RGB(255, 255, 255));

    MemoryDib glyph(8, 8, RGB(255, 255, 255));
    // A 3 x 2 glyph: row 0 is X.X, row 1 is .X. (leftmost pixel in the high-order bit).
    const BYTE pattern[16] = {0xA0, 0, 0x40, 0};
    PaintPatternGlyph(glyph.DC, RECT{0, 0, 8, 8}, 3, 2, pattern, clBlue);
    // Centred: x = (0 + 8 - 3 + 1) div 2 = 3, y = (0 + 8 - 2 + 1) div 2 = 3.
    const COLORREF blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
    EXPECT_EQ(glyph.Pixel(3, 3), blue);
    EXPECT_EQ(glyph.Pixel(4, 3), white);
    EXPECT_EQ(glyph.Pixel(5, 3), blue);
    EXPECT_EQ(glyph.Pixel(4, 4), blue);
    EXPECT_EQ(glyph.Pixel(3, 4), white);
    EXPECT_EQ(glyph.Pixel(2, 3), white);
    PaintPatternGlyph(glyph.DC, RECT{0, 0, 8, 8}, 3, 2, pattern, clNone);
    EXPECT_EQ(glyph.Pixel(4, 4), blue);
}

// A 4 x 1 image: red, white, the test background grey, and one transparent pixel.
class ImageFixture : public ::testing::Test {
protected:
    static constexpr COLORREF kGrey = RGB(128, 128, 128);
    void SetUp() override {
        TBitmap image(4, 1, pf32bit), mask(4, 1, pf32bit);
        auto* px = static_cast<DWORD*>(image.ScanLine(0));
        auto* mk = static_cast<DWORD*>(mask.ScanLine(0));
        const DWORD colours[4] = {0xFF0000, 0xFFFFFF, 0x808080, 0x000000};
        for (int x = 0; x < 4; ++x) {
            px[x] = colours[x];
            mk[x] = x == 3 ? 0xFFFFFF : 0;
        }
        ASSERT_EQ(Images.Add(image, &mask), 0);
    }
    TImageList Images{nullptr, 4, 1};
};

TEST_F(ImageFixture, PerPixelRulesTouchOnlyCoveredPixels) {
    const COLORREF g = kGrey;
    struct Case {
        const char* what;
        std::function<void(TCanvas&, const RECT&)> paint;
        std::vector<COLORREF> expected;
    } cases[] = {
        {"plain", [&](TCanvas& c, const RECT& r) { PaintImageLightened(c, r, Images, 0, false); },
         {RGB(255, 0, 0), RGB(255, 255, 255), g, g}},
        {"lightened", [&](TCanvas& c, const RECT& r) { PaintImageLightened(c, r, Images, 0, true); },
         {RGB(255, 255, 255), RGB(32, 32, 32), g, g}},
        {"blended", [&](TCanvas& c, const RECT& r) { PaintImageBlended(c, r, Images, 0, 128); },
         {RGB(191, 63, 63), RGB(191, 191, 191), g, g}},
        {"tinted", [&](TCanvas& c, const RECT& r) { PaintImageTinted(c, r, Images, 0, clBlue, 0); },
         {RGB(0, 0, 254), RGB(0, 0, 254), g, g}},
        {"shadow 0", [&](TCanvas& c, const RECT& r) { PaintImageShadow(c, r, Images, 0, 0); },
         {RGB(89, 89, 89), RGB(127, 127, 127), g, g}},
        {"shadow level clamped", [&](TCanvas& c, const RECT& r) { PaintImageShadow(c, r, Images, 0, 7); },
         // level 2: red lum 28 -> f = 1 + 243; white lum 254 -> f = 12 + 243
         {RGB(122, 122, 122), RGB(127, 127, 127), g, g}},
        {"silhouette", [&](TCanvas& c, const RECT& r) { PaintImageSilhouette(c, r, Images, 0, clLime); },
         {RGB(0, 255, 0), RGB(0, 255, 0), RGB(0, 255, 0), g}},
        {"threshold", [&](TCanvas& c, const RECT& r) { PaintImageSilhouetteThreshold(c, r, Images, 0, clLime); },
         {RGB(0, 255, 0), g, RGB(0, 255, 0), g}},
    };
    for (const auto& k : cases) {
        MemoryDib dib(6, 3, g);
        // Draw at (1, 1) to check the rectangle's corner is used.
        TCanvas canvas;
        canvas.SetHandle(dib.DC);
        k.paint(canvas, RECT{1, 1, 6, 3});
        std::vector<COLORREF> row = {dib.Pixel(1, 1), dib.Pixel(2, 1), dib.Pixel(3, 1), dib.Pixel(4, 1)};
        EXPECT_EQ(row, k.expected) << k.what;
        EXPECT_EQ(dib.Pixel(0, 1), g) << k.what;
        EXPECT_EQ(dib.Pixel(1, 0), g) << k.what;
        canvas.SetHandle(nullptr);
    }
}

TEST_F(ImageFixture, ImageClippedToRectangleAndBadIndexIgnored) {
    MemoryDib dib(6, 1, kGrey);
    TCanvas canvas;
    canvas.SetHandle(dib.DC);
    PaintImageBlended(canvas, RECT{0, 0, 1, 1}, Images, 0, 255);
    PaintImageBlended(canvas, RECT{2, 0, 6, 1}, Images, 5, 255);
    PaintImageBlended(canvas, RECT{2, 0, 2, 1}, Images, 0, 255);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(254, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 0), kGrey);
    EXPECT_EQ(dib.Pixel(2, 0), kGrey);
}

TEST_F(ImageFixture, MonoGlyphPaintsOpaquePixels) {
    MemoryDib dib(8, 5, kGrey);
    PaintMonoGlyphCentered(dib.DC, RECT{0, 0, 8, 5}, Images, 0, clBlue);
    // x = (0 + 8 - 4 + 1) div 2 = 2, y = (0 + 5 - 1 + 1) div 2 = 2
    const COLORREF b = RGB(0, 0, 255);
    EXPECT_EQ((std::vector<COLORREF>{dib.Pixel(1, 2), dib.Pixel(2, 2), dib.Pixel(3, 2),
                                     dib.Pixel(4, 2), dib.Pixel(5, 2)}),
              (std::vector<COLORREF>{kGrey, b, b, b, kGrey}));
    EXPECT_EQ(dib.Pixel(2, 1), kGrey);
}

}  // namespace
