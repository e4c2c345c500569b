// The "OfficeK" theme's own answers and pixels: a neutral palette, frames shaped by their
// rectangle, and shades from white.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmkit.h"
#include "controls/toolbar/themed/themes/thmofficek.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class OfficeK : public ::testing::Test {
protected:
    ThemeHolder Theme{L"OfficeK"};
    TThmOfficeKTheme& K() { return dynamic_cast<TThmOfficeKTheme&>(*Theme); }
};

TEST_F(OfficeK, Metrics) {
    EXPECT_EQ(Theme->GetIntMetric(tmMenuImageGap), 0);
    POINT border{};
    Theme->GetViewBorderSize(vkPopupMenu, border);
    EXPECT_EQ(border.x, 1);
    EXPECT_EQ(border.y, 2);
    TThmMargins edit{};
    Theme->GetMarginSet(mkEditBox, edit);
    EXPECT_EQ(edit.LeftWidth, 3);
    EXPECT_EQ(K().LightColor, 0xFFFFFF);
}

// A checked but disabled button has no fill and no frame: shaded from white to white.
TEST_F(OfficeK, CheckedDisabledButtonIsAPlainWhiteBlock) {
    Sheet sheet(30, 30, kGround);
    TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle, false);
    item.Checked = true;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Dib.Count(kWhite), 18 * 18);
    EXPECT_EQ(sheet.Pixel(1, 1), kWhite);
    EXPECT_EQ(sheet.Pixel(0, 0), kGround);
    EXPECT_EQ(sheet.Pixel(19, 10), kGround);
}

// The frame's shade and border follow the rectangle's shape, not the dock side, and a bar
// without a border style gets them too; the grip still follows the dock side.
TEST_F(OfficeK, BarFrameFollowsItsShape) {
    Sheet sheet(70, 70, kGround);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.Vertical = true;  // docked at a side, but wider than high
    frame.AllowDrag = true;
    frame.BorderStyle = 0;
    frame.DragHandleStyle = dhSingle;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 60, 24}, frame);
    EXPECT_EQ(sheet.Pixel(20, 0), kWhite);
    EXPECT_EQ(sheet.Pixel(20, 23), Rgb(K().ToolbarBorderColor));
    EXPECT_EQ(sheet.Pixel(0, 0), Rgb(classlib::clBtnFace));
    // The grip runs along the top as for a bar docked at the side, in grey and white dots.
    const TGripDotColors dot = GripDotColors(sheet.Dib.DC, classlib::clBtnFace, 0x808080, 0xFFFFFF);
    EXPECT_EQ(sheet.Pixel(6, 3), Rgb(dot.Dark[0]));
    EXPECT_EQ(sheet.Pixel(10, 3), Rgb(dot.Dark[0]));
    sheet.Dib.Fill(kGround);
    frame.Vertical = false;  // docked at the top, but higher than wide
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 24, 60}, frame);
    EXPECT_EQ(sheet.Pixel(0, 30), kWhite);
    EXPECT_EQ(sheet.Pixel(23, 30), Rgb(K().ToolbarBorderColor));
    EXPECT_EQ(sheet.Pixel(0, 0), Rgb(K().BaseColor));
}

// Popups and panels: the window colour with a 24-pixel strip at the left, white at the top;
// menu bars plain in background and frame.
TEST_F(OfficeK, PopupStripAndPlainMenuBar) {
    Sheet sheet(120, 50, kGround);
    const RECT r{0, 0, 100, 40};
    Theme->PaintViewBackground(sheet.Canvas, r, r, r, 0x808080, false, vkPopupMenu);
    EXPECT_EQ(sheet.Pixel(0, 0), kWhite);
    EXPECT_EQ(sheet.Pixel(23, 0), kWhite);
    EXPECT_EQ(sheet.Pixel(0, 39), Rgb(K().BaseColor));
    EXPECT_EQ(sheet.Pixel(24, 0), RGB(0x80, 0x80, 0x80));
    Theme->PaintViewBackground(sheet.Canvas, r, r, r, 0x808080, false, vkMenuBar);
    EXPECT_EQ(sheet.Pixel(0, 0), RGB(0x80, 0x80, 0x80));
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkMenuBar;
    frame.BorderStyle = 1;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 100, 24}, frame);
    EXPECT_EQ(sheet.Pixel(50, 0), Rgb(classlib::clBtnFace));
    EXPECT_EQ(sheet.Pixel(50, 23), Rgb(classlib::clBtnFace));
}

// A spin pair: pushing the upper half shades the whole button, pushing the lower half only
// frames that half.
TEST_F(OfficeK, SpinHalves) {
    Sheet sheet(30, 30, kGround);
    const TThmItemInfo item = Item(vkToolbarBar);
    Theme->PaintEditBoxButton(sheet.Canvas, RECT{0, 0, 12, 20}, item, TThmEditButtonInfo{2, 8});
    EXPECT_EQ(sheet.Pixel(2, 17), kGround);
    Theme->PaintEditBoxButton(sheet.Canvas, RECT{0, 0, 12, 20}, item, TThmEditButtonInfo{2, 4});
    EXPECT_NE(sheet.Pixel(2, 17), kGround);
    EXPECT_NE(sheet.Pixel(2, 17), kWhite);
}

// The status bar's size grip is mixed from the system's face, shadow and highlight colours.
TEST_F(OfficeK, SizeGripInSystemColours) {
    Sheet sheet(30, 30, kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 20, 20}, 3);
    const TGripDotColors dot =
        GripDotColors(sheet.Dib.DC, classlib::clBtnFace, classlib::clBtnShadow, classlib::clBtnHighlight);
    EXPECT_EQ(sheet.Pixel(16, 16), Rgb(dot.Dark[3]));
    EXPECT_EQ(sheet.Pixel(18, 18), Rgb(dot.Light[2]));
}

}  // namespace
