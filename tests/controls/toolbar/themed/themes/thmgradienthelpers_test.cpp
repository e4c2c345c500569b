// Cut-corner outlines, banded faces and linear gradients of the gradient themes.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/themes/thmgradienthelpers.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using themetest::Sheet;
using testsupport::MemoryDib;

TEST(LinearGradient, LineByLineEndsExactlyOnTheEndColour) {
    MemoryDib dib(8, 8, RGB(1, 2, 3));
    PaintLinearGradientLines(dib.DC, RECT{0, 0, 4, 2}, 0x000000, 0xFFFFFF, false);
    const int expected[4] = {63, 127, 191, 255};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dib.Pixel(x, 1), RGB(expected[x], expected[x], expected[x])) << x;
    EXPECT_EQ(dib.Pixel(4, 0), RGB(1, 2, 3));
    PaintLinearGradientLines(dib.DC, RECT{0, 3, 1, 4}, 0x000000, 0x0000FF, false);
    EXPECT_EQ(dib.Pixel(0, 3), RGB(255, 0, 0)) << "one line is the end colour";
    PaintLinearGradientLines(dib.DC, RECT{5, 0, 7, 4}, 0x000000, 0xFFFFFF, true);
    EXPECT_EQ(dib.Pixel(6, 0), RGB(63, 63, 63));
    EXPECT_EQ(dib.Pixel(6, 3), RGB(255, 255, 255));
    PaintLinearGradientLines(dib.DC, RECT{0, 6, 0, 8}, 0x000000, 0xFFFFFF, false);  // nothing for no width
    EXPECT_EQ(dib.Pixel(0, 7), RGB(1, 2, 3));
}

TEST(LinearGradient, StartColourIsTheFourthArgument) {
    MemoryDib dib(40, 40, RGB(1, 2, 3));
    PaintLinearGradient(dib.DC, RECT{0, 0, 32, 4}, 0xFFFFFF, 0x000000, false);  // (end, start)
    EXPECT_EQ(dib.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_GT(GetRValue(dib.Pixel(31, 0)), 240);
    PaintLinearGradient(dib.DC, RECT{0, 8, 4, 40}, 0xFFFFFF, 0x000000, true);
    EXPECT_EQ(dib.Pixel(0, 8), RGB(0, 0, 0));
    EXPECT_GT(GetRValue(dib.Pixel(0, 39)), 240);
}

TEST(BandedButton, TenAndElevenRowsFollowTheStops) {
    MemoryDib dib(4, 16, RGB(1, 2, 3));
    PaintBandedButton(dib.DC, RECT{0, 0, 4, 10}, false, false, true);  // N 9, K 3
    EXPECT_EQ(dib.Pixel(0, 0), RGB(248, 248, 248));
    EXPECT_EQ(dib.Pixel(0, 3), RGB(216, 216, 216));
    EXPECT_EQ(dib.Pixel(0, 6), RGB(240, 240, 240));
    EXPECT_EQ(dib.Pixel(0, 9), RGB(248, 248, 248));
    EXPECT_EQ(dib.Pixel(0, 10), RGB(1, 2, 3));
    // N 10: the last row is one step past the hot set's last stop, clamped.
    PaintBandedButton(dib.DC, RECT{0, 0, 4, 11}, true, false, true);
    EXPECT_EQ(dib.Pixel(3, 10), RGB(112 + 64 * 4 / 3, 255, 255));
    EXPECT_EQ(dib.Pixel(3, 6), RGB(112, 232, 240));
}

TEST(BandedButton, ShortFacesPaintOnlyTheirOwnLines) {
    for (int lines : {1, 2, 3}) {
        MemoryDib dib(8, 8, RGB(1, 2, 3));
        PaintBandedButton(dib.DC, RECT{2, 2, 2 + lines, 5}, true, true, false);
        EXPECT_EQ(dib.Pixel(2, 2), RGB(224, 232, 239)) << lines;
        EXPECT_EQ(dib.Pixel(2 + lines, 2), RGB(1, 2, 3)) << lines;
        EXPECT_EQ(dib.Pixel(2, 5), RGB(1, 2, 3)) << lines;
    }
}

TEST(CutCornerFrame, CornersShadeAndBlend) {
    MemoryDib dib(20, 20, RGB(255, 255, 255));
    PaintCutCornerFrame(dib.DC, RECT{2, 2, 12, 12}, 2, 2, 0x000000, classlib::clNone, 0x0000FF);
    EXPECT_EQ(dib.Pixel(11, 6), RGB(0, 0, 0)) << "without shade the right side keeps the outline";
    EXPECT_EQ(dib.Pixel(4, 2), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(3, 2), RGB(255, 0, 0)) << "the corner diagonal";
    EXPECT_EQ(dib.Pixel(2, 2), RGB(255, 255, 255));

    dib.Fill(RGB(255, 255, 255));
    PaintCutCornerFrame(dib.DC, RECT{2, 2, 12, 12}, 0, 0, 0x000000, 0x808080, 0x0000FF);
    EXPECT_EQ(dib.Pixel(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(11, 11), RGB(128, 128, 128));
    EXPECT_EQ(dib.Count(RGB(255, 0, 0)), 0) << "no cut, no corner";

    dib.Fill(RGB(255, 255, 255));
    PaintCutCornerFrameBlended(dib.DC, RECT{2, 2, 12, 12}, 2, 2, 0x000000, classlib::clNone);
    EXPECT_EQ(dib.Pixel(3, 2), RGB(0x99, 0x99, 0x99));
    EXPECT_EQ(dib.Pixel(10, 11), RGB(0x99, 0x99, 0x99)) << "without shade the right corners take the left colour";
}

TEST(CutCornerFrame, TinyRectanglesStayInside) {
    for (const RECT r : {RECT{5, 5, 5, 5}, RECT{5, 5, 6, 6}, RECT{5, 5, 8, 6}}) {
        MemoryDib dib(12, 12, RGB(1, 2, 3));
        PaintCutCornerFrame(dib.DC, r, 2, 2, 0x000000, 0x808080, 0x0000FF);
        PaintCutCornerFrameBlended(dib.DC, r, 2, 2, 0x000000, 0x808080);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                if (x < r.left - 1 || x > r.right || y < r.top - 1 || y > r.bottom)
                    EXPECT_EQ(dib.Pixel(x, y), RGB(1, 2, 3)) << x << "," << y;
    }
}

}  // namespace
