// The "Eos" theme's own pixels and colours.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmeos.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Eos : public ::testing::Test {
protected:
    ThemeHolder Theme{kThemeEos};
    TThmEosTheme& E() { return dynamic_cast<TThmEosTheme&>(*Theme); }
};

// Flat rectangles: a hot button is a dark fill with a light outline and square corners, a pushed
// one golden without an outline, a checked one filled one pixel inside.
TEST_F(Eos, ButtonsAreFlatRectangles) {
    EXPECT_EQ(Theme->GetViewFillColor(vkToolbarBar), TColor(0x708080));
    struct Case {
        bool Hot, Pushed, Checked;
        POINT At;
        COLORREF Expected;
    };
    const Case cases[] = {
        {true, false, false, {11, 11}, RGB(0x6D, 0x6D, 0x5F)}, {true, false, false, {0, 0}, RGB(0xA0, 0xA0, 0x94)},
        {true, true, false, {11, 11}, RGB(0xEA, 0xD2, 0x7A)},  {true, true, false, {0, 0}, RGB(0xEA, 0xD2, 0x7A)},
        {false, false, true, {0, 0}, kGround},                 {false, false, true, {1, 1}, Rgb(E().States.Item[2][0])},
    };
    for (const Case& c : cases) {
        Sheet sheet(30, 30, kGround);
        TThmItemInfo item = Item(vkToolbarBar);
        item.HotState = c.Hot ? hsSelected : hsNone;
        item.Pushed = c.Pushed;
        item.Checked = c.Checked;
        Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
        EXPECT_EQ(sheet.Pixel(c.At.x, c.At.y), c.Expected) << &c - cases;
    }
}

// A disabled item highlighted from the keyboard keeps to the palette: the hot fill with the
// disabled text, as its popup row does.
TEST_F(Eos, KeyboardHighlightedDisabledItemUsesThePalette) {
    TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle, false);
    item.HotState = hsKeyboardSelected;
    const TColor fill = Theme->GetItemFillColor(item), text = Theme->GetItemTextColor(item);
    EXPECT_EQ(fill, E().States.Item[4][0]);
    EXPECT_EQ(text, E().States.Item[1][1]);
    EXPECT_NE(fill, TColor(0x0000FF));
    EXPECT_NE(text, TColor(0x008000));
    Sheet sheet(30, 30, kGround);
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
    EXPECT_EQ(sheet.Pixel(11, 11), Rgb(fill));
}

// The dock, and the status bar's light top line.
TEST_F(Eos, DockAndStatusBar) {
    Sheet sheet(40, 30, kGround);
    Theme->PaintDockBackground(sheet.Canvas, RECT{0, 0, 40, 30}, RECT{0, 0, 40, 30}, 1);
    EXPECT_EQ(sheet.Pixel(20, 15), RGB(0x96, 0x96, 0x88));
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 5, 40, 25}, 0);
    EXPECT_EQ(sheet.Pixel(20, 5), RGB(0x8C, 0x8C, 0x83));
    EXPECT_EQ(sheet.Pixel(20, 6), RGB(0x80, 0x80, 0x70));
}

// A floating frame's border band and the line round the client; the client area itself is left
// to the content.
TEST_F(Eos, FloatingBorderLeavesTheClientAlone) {
    Sheet sheet(60, 40, kGround);
    TThmFloatingFrameInfo frame{};
    frame.ViewKind = vkToolbarBar | vkFloating;
    frame.BorderSize = POINT{3, 3};
    frame.ClientWidth = 54;
    frame.ClientHeight = 34;
    frame.Active = true;
    frame.RedrawParts = rpBorder;
    Theme->PaintFloatingFrame(sheet.Canvas, RECT{0, 0, 60, 40}, frame);
    EXPECT_EQ(sheet.Pixel(0, 20), Rgb(E().FloatingColors[0][0]));
    EXPECT_EQ(sheet.Pixel(2, 20), Rgb(E().PopupBorder));
    EXPECT_EQ(sheet.Pixel(3, 20), kGround);
    EXPECT_EQ(sheet.Pixel(30, 20), kGround);
}

// Popup separators run fourteen pixels in from both ends of the row, wherever the row starts.
TEST_F(Eos, PopupSeparatorFollowsTheRow) {
    Sheet sheet(80, 20, kGround);
    const TThmItemInfo item = Item(vkPopupMenu, 0);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{10, 0, 70, 10}, item, true, false);
    EXPECT_EQ(sheet.Pixel(23, 5), kGround);
    EXPECT_EQ(sheet.Pixel(24, 5), Rgb(E().SplitDivider));
    EXPECT_EQ(sheet.Pixel(55, 5), Rgb(E().SplitDivider));
    EXPECT_EQ(sheet.Pixel(56, 5), kGround);
}

}  // namespace
