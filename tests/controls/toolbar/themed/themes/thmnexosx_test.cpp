// The "NexosX" theme's own pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmnexosx.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);

class NexosX : public ::testing::Test {
protected:
    ThemeHolder Theme{kThemeNexosX};
};

// Hot and pushed buttons are fixed greys whatever the accent.
TEST_F(NexosX, HotAndPushedButtonsAreGrey) {
    struct Case {
        bool Pushed;
        POINT At;
        COLORREF Expected;
    };
    const Case cases[] = {
        {false, {3, 1}, RGB(0xF6, 0xF6, 0xF6)}, {false, {1, 0}, RGB(0xD0, 0xD0, 0xD0)},
        {false, {2, 0}, RGB(0xB0, 0xB0, 0xB0)}, {true, {2, 0}, RGB(0x48, 0x48, 0x48)},
        {true, {1, 0}, RGB(0xCD, 0xCD, 0xCD)},  {true, {2, 1}, RGB(0xE6, 0xE6, 0xE6)},
    };
    for (const Case& c : cases) {
        Sheet sheet(30, 30, kGround);
        TThmItemInfo item = Item(vkToolbarBar);
        item.HotState = hsSelected;
        item.Pushed = c.Pushed;
        Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
        EXPECT_EQ(sheet.Pixel(c.At.x, c.At.y), c.Expected) << &c - cases;
    }
}

// An inactive floating toolbar's border is a light grey, an inactive panel's a darker one.
TEST_F(NexosX, InactiveFloatingBorders) {
    for (int viewKind : {vkToolbarBar | vkFloating, vkDockPanelFloating}) {
        Sheet sheet(60, 40, kGround);
        TThmFloatingFrameInfo frame{};
        frame.ViewKind = viewKind;
        frame.BorderSize = POINT{3, 3};
        frame.ClientWidth = 54;
        frame.ClientHeight = 34;
        frame.RedrawParts = rpBorder;
        Theme->PaintFloatingFrame(sheet.Canvas, RECT{0, 0, 60, 40}, frame);
        EXPECT_EQ(sheet.Pixel(0, 20), viewKind & vkToolbar ? RGB(0x99, 0x99, 0x99) : RGB(0x80, 0x80, 0x80))
            << std::hex << viewKind;
    }
}

// A disabled separator item draws nothing, horizontal or vertical.
TEST_F(NexosX, DisabledSeparatorIsLeftOut) {
    Sheet sheet(30, 30, kGround);
    const TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle, false);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 20, 10}, item, true, false);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 6, 22}, item, false, false);
    EXPECT_EQ(sheet.Dib.Count(kGround), 30 * 30);
}

// The grip ridge and its shaded end are drawn only when the strip holds at least one pair of
// rows; a shorter strip gets no ridge at all.
TEST_F(NexosX, GripRidgeOnlyWhereItsRowsFit) {
    const COLORREF ridge = RGB(0xA6, 0xA6, 0xA6), end = RGB(0x99, 0x99, 0x99);
    for (int height : {10, 11, 12, 24}) {
        Sheet sheet(70, 30, kGround);
        TThmToolbarFrameInfo frame{};
        frame.ViewKind = vkToolbarBar;
        frame.AllowDrag = true;
        frame.DragHandleStyle = dhDouble;
        Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 60, height}, frame);
        // The strip runs from row 2 to height - 2; its pairs start at row 4 while below its end - 5.
        const bool fits = 4 < height - 2 - 5;
        EXPECT_EQ(sheet.Dib.Has(end), fits) << height;
        EXPECT_EQ(sheet.Dib.Has(ridge), fits) << height;
    }
}

}  // namespace
