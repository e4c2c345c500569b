// The "Nexos5" theme's own pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmnexos5.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Nexos5 : public ::testing::Test {
protected:
    ThemeHolder Theme{kThemeNexos5};
};

// One faint line every five rows from the top of the view, white between.
TEST_F(Nexos5, BackgroundLineEveryFifthRow) {
    Sheet sheet(20, 30, kGround);
    const RECT rect{0, 3, 20, 30};
    Theme->PaintViewBackground(sheet.Canvas, rect, rect, rect, Theme->GetViewFillColor(vkToolbarBar), false, vkToolbarBar);
    for (int y = 3; y < 30; ++y)
        EXPECT_EQ(sheet.Pixel(7, y), (y - 3) % 5 == 0 ? RGB(0xF3, 0xF3, 0xF3) : RGB(255, 255, 255)) << y;
}

// A pushed button is a straight ramp from the neutral grey at the top to white at the bottom.
TEST_F(Nexos5, PushedButtonIsARamp) {
    Sheet sheet(30, 30, kGround);
    TThmItemInfo item = Item(vkToolbarBar);
    item.Pushed = true;
    item.HotState = hsSelected;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
    EXPECT_EQ(sheet.Pixel(11, 1), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(sheet.Pixel(11, 20), RGB(255, 255, 255));
    EXPECT_LT(GetRValue(sheet.Pixel(11, 10)), GetRValue(sheet.Pixel(11, 11)));
}

// The drag handle is pairs of short lines: four pixels long for the double handle, two for the
// single one, none without a handle.
TEST_F(Nexos5, GripLinePairs) {
    const COLORREF dark = RGB(0xAF, 0xAF, 0xAF), light = RGB(0xC7, 0xCA, 0xCE);
    struct Case {
        int Style, Length;
    };
    for (const Case& c : {Case{dhDouble, 4}, Case{dhSingle, 2}, Case{dhNone, 0}}) {
        Sheet sheet(70, 30, kGround);
        TThmToolbarFrameInfo frame{};
        frame.ViewKind = vkToolbarBar;
        frame.AllowDrag = true;
        frame.DragHandleStyle = c.Style;
        Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 60, 26}, frame);
        // The first pair: rows 6 and 7 from column 3.
        for (int x = 3; x < 9; ++x) {
            EXPECT_EQ(sheet.Pixel(x, 6) == dark, x < 3 + c.Length) << c.Style << " x " << x;
            const COLORREF below = x == 4 && c.Length > 0 ? dark : light;
            EXPECT_EQ(sheet.Pixel(x, 7) == below, x < 3 + c.Length) << c.Style << " x " << x;
        }
    }
}

}  // namespace
