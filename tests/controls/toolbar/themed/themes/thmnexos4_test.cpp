// The "Nexos4" theme's own pixels.
#include <gtest/gtest.h>

#include <vector>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmnexos4.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Nexos4 : public ::testing::Test {
protected:
    ThemeHolder Theme{kThemeNexos4};
};

// A checked button at rest is white inside a grey octagon; a hot menu-bar item is a striped block
// of the light-blue accent with a black caption.
TEST_F(Nexos4, CheckedButtonAndHotMenuBarItem) {
    Sheet sheet(40, 30, kGround);
    TThmItemInfo checked = Item(vkToolbarBar);
    checked.Checked = true;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, checked);
    EXPECT_EQ(sheet.Pixel(2, 0), RGB(0xA0, 0xA0, 0xA0));
    EXPECT_EQ(sheet.Pixel(0, 0), kGround);
    EXPECT_EQ(sheet.Pixel(11, 11), RGB(255, 255, 255));
    sheet.Dib.Fill(kGround);
    TThmItemInfo hot = Item(vkMenuBar);
    hot.HotState = hsSelected;
    const RECT rect{0, 0, 30, 20};
    Theme->PaintItemButton(sheet.Canvas, rect, hot);
    EXPECT_EQ(sheet.Pixel(3, 0), RGB(0xC1, 0xD2, 0xEE));
    EXPECT_EQ(sheet.Pixel(3, 1), RGB(0xD1, 0xE2, 0xFE));
    EXPECT_EQ(sheet.Pixel(3, 2), RGB(0xC9, 0xDA, 0xF6));
    sheet.Canvas.Font().SetColor(classlib::clWindowText);
    Theme->PaintItemCaption(sheet.Canvas, rect, hot, L"編集", DT_SINGLELINE | DT_VCENTER | DT_CENTER, false);
    EXPECT_TRUE(sheet.Dib.Has(RGB(0, 0, 0)));
}

// The close button of an inactive floating window is white, framed in a light grey, even with
// the mouse over it.
TEST_F(Nexos4, InactiveFloatingCloseButton) {
    Sheet sheet(100, 60, kGround);
    TThmFloatingFrameInfo frame{};
    frame.ViewKind = vkToolbarBar | vkFloating;
    frame.BorderSize = POINT{3, 3};
    frame.ClientWidth = 94;
    frame.ClientHeight = 54;
    frame.CaptionShown = true;
    frame.CloseButtonState = cbsShown | cbsHot;
    frame.RedrawParts = rpCloseButton;
    Theme->PaintFloatingFrame(sheet.Canvas, RECT{0, 0, 100, 60}, frame);
    const int side = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    const RECT square{97 - side, 3, 97, 3 + side};
    EXPECT_EQ(sheet.Pixel(square.left, square.top + 3), RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(sheet.Pixel(square.left + 1, square.top + 1), RGB(255, 255, 255));
}

// Edit buttons: a hot drop-down button that is not pushed shows only its arrow, and so does each
// half of a disabled spin pair.
TEST_F(Nexos4, EditButtonsThatShowOnlyTheirArrows) {
    const TThmItemInfo item = Item(vkToolbarBar);
    const COLORREF text = Rgb(Theme->GetItemTextColor(item));
    for (TThmEditButtonInfo button : {TThmEditButtonInfo{1, 2}, TThmEditButtonInfo{2, 1}}) {
        Sheet sheet(20, 30, kGround);
        Theme->PaintEditBoxButton(sheet.Canvas, RECT{0, 0, 12, 20}, item, button);
        EXPECT_EQ(sheet.Dib.Count(kGround) + sheet.Dib.Count(text), 20 * 30) << button.ButtonKind;
        EXPECT_TRUE(sheet.Dib.Has(text)) << button.ButtonKind;
    }
}

// The size grip's six diagonals spread out on grips of 9 and of 13 pixels and more.
TEST_F(Nexos4, SizeGripDiagonals) {
    struct Case {
        int Side;
        std::vector<int> Dark, Light;
    };
    const Case cases[] = {{8, {2, 4, 6}, {3, 5, 7}}, {12, {2, 5, 8}, {3, 6, 9}}, {16, {2, 6, 10}, {4, 8, 12}}};
    const COLORREF dark = Rgb(ColorMixNearest(classlib::clBtnFace, classlib::clBtnShadow, 64));
    const COLORREF light = Rgb(ColorMixNearest(classlib::clBtnFace, classlib::clBtnHighlight, 64));
    for (const Case& c : cases) {
        Sheet sheet(20, 20, kGround);
        Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, c.Side, c.Side}, 3);
        // Each diagonal's foot on the bottom row lies k + 1 pixels left of the right edge.
        for (int k = 1; k < c.Side - 1; ++k) {
            COLORREF expected = kGround;
            for (int d : c.Dark)
                if (d == k) expected = dark;
            for (int l : c.Light)
                if (l == k) expected = light;
            EXPECT_EQ(sheet.Pixel(c.Side - 1 - k, c.Side - 1), expected) << c.Side << " offset " << k;
        }
    }
}

}  // namespace
