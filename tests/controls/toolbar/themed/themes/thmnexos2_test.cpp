// The "Nexos2" theme's own pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmnexos2.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Nexos2 : public ::testing::Test {
protected:
    ThemeHolder Theme{kThemeNexos2};
};

// A hot menu-bar item is a striped accent block (dark, light, plain rows) without a frame, with
// a white caption.
TEST_F(Nexos2, HotMenuBarItemIsAStripedAccentBlock) {
    Sheet sheet(40, 30, kGround);
    TThmItemInfo item = Item(vkMenuBar);
    item.HotState = hsSelected;
    const RECT rect{0, 0, 30, 20};
    Theme->PaintItemButton(sheet.Canvas, rect, item);
    EXPECT_EQ(sheet.Pixel(0, 0), RGB(0xA0, 0xC0, 0x28));
    EXPECT_EQ(sheet.Pixel(0, 1), RGB(0xB1, 0xD1, 0x39));
    EXPECT_EQ(sheet.Pixel(0, 2), RGB(0xA8, 0xC8, 0x30));
    EXPECT_EQ(sheet.Pixel(15, 3), RGB(0xA0, 0xC0, 0x28)) << "every third row again";
    sheet.Canvas.Font().SetColor(classlib::clWindowText);
    Theme->PaintItemCaption(sheet.Canvas, rect, item, L"編集", DT_SINGLELINE | DT_VCENTER | DT_CENTER, false);
    EXPECT_TRUE(sheet.Dib.Has(RGB(255, 255, 255))) << "the caption is white whatever the font colour";
}

// A docked toolbar's stripes begin one row above its rectangle: its first rows are light,
// plain and dark, and the row above it stays untouched.
TEST_F(Nexos2, DockedToolbarStripesAndDockBackground) {
    Sheet sheet(60, 40, kGround);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.BorderStyle = 1;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 10, 50, 34}, frame);
    EXPECT_EQ(sheet.Pixel(20, 9), kGround);
    EXPECT_EQ(sheet.Pixel(20, 10), RGB(0xFC, 0xFC, 0xFC));
    EXPECT_EQ(sheet.Pixel(20, 11), RGB(0xF4, 0xF4, 0xF4));
    EXPECT_EQ(sheet.Pixel(20, 12), RGB(0xEC, 0xEC, 0xEC));
    EXPECT_EQ(sheet.Pixel(20, 33), RGB(0xA0, 0xA0, 0xA0)) << "the bottom edge";
    sheet.Dib.Fill(kGround);
    Theme->PaintDockBackground(sheet.Canvas, RECT{0, 0, 60, 40}, RECT{5, 5, 25, 25}, 1);
    EXPECT_EQ(sheet.Pixel(5, 5), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(sheet.Pixel(4, 5), kGround) << "nothing around the painted part";
    EXPECT_EQ(sheet.Pixel(25, 25), kGround);
}

// A checked toolbar button at rest: the cut-corner frame's dark top edge starts two pixels in,
// with the light corner pixel before it.
TEST_F(Nexos2, CheckedButtonHasTheLightCutCornerFrame) {
    Sheet sheet(30, 30, kGround);
    TThmItemInfo item = Item(vkToolbarBar);
    item.Checked = true;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
    EXPECT_EQ(sheet.Pixel(2, 0), RGB(0x78, 0x78, 0x78));
    EXPECT_EQ(sheet.Pixel(1, 0), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(sheet.Pixel(0, 0), kGround);
    EXPECT_EQ(sheet.Pixel(11, 15), RGB(255, 255, 255)) << "white below the middle";
}

// Separators: a horizontal one is dotted black every third pixel at half the bottom; a vertical
// one of a disabled item is left out. The chevron sits on rows 4 to 8 wherever the item starts.
TEST_F(Nexos2, SeparatorsAndChevron) {
    Sheet sheet(30, 30, kGround);
    const TThmItemInfo disabled = Item(vkToolbarBar, ifToolbarStyle, false);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 20, 10}, disabled, true, false);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(sheet.Pixel(x, 5), x % 3 == 0 ? RGB(0, 0, 0) : kGround) << x;
    sheet.Dib.Fill(kGround);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 6, 22}, disabled, false, false);
    EXPECT_EQ(sheet.Dib.Count(kGround), 30 * 30);
    sheet.Dib.Fill(kGround);
    const TThmItemInfo plain = Item(vkToolbarBar);
    Theme->PaintChevronButton(sheet.Canvas, RECT{0, 2, 14, 26}, plain);
    const COLORREF text = Rgb(Theme->GetItemTextColor(plain));
    EXPECT_EQ(sheet.Pixel(2, 4), text);  // the chevron's first row, 0xCC
    EXPECT_EQ(sheet.Pixel(3, 4), text);
    EXPECT_EQ(sheet.Pixel(4, 4), kGround);
    EXPECT_EQ(sheet.Pixel(2, 8), text);  // and its last
    EXPECT_EQ(sheet.Pixel(2, 9), kGround);
}

}  // namespace
