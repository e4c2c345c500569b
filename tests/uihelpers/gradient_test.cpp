// Gradient lines drawn into a memory bitmap.
#include "uihelpers/gradient.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

using namespace uihelpers;

TEST(Gradient, LinesFromStartToEnd) {
    testsupport::MemoryDib dib(100, 10, RGB(0, 0, 0));
    const HDC dc = dib.DC;
    auto pixel = [&](int x, int y) { return dib.Pixel(x, y); };
    const RECT rect{0, 0, 100, 10};
    GradientFillLines(dc, RGB(0, 0, 0), RGB(200, 100, 0), true, rect, false);
    EXPECT_EQ(RGB(0, 0, 0), pixel(0, 5));
    EXPECT_EQ(RGB(100, 50, 0), pixel(50, 5));
    EXPECT_EQ(RGB(198, 99, 0), pixel(99, 5));
    GradientFillLines(dc, RGB(0, 0, 0), RGB(0, 0, 100), false, rect, false);
    EXPECT_EQ(RGB(0, 0, 50), pixel(30, 5));
    // System colours are resolved.
    GradientFillLines(dc, 0xFF000000u | COLOR_WINDOW, 0xFF000000u | COLOR_WINDOW, true, rect,
                      false);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), pixel(10, 1));
    const RECT empty{0, 0, 0, 0};
    GradientFillLines(dc, 0, 0, true, empty, false);  // no division by zero
}
