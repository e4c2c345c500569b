// The "OfficeC" theme's own answers and pixels: its fixed palette, its options, and buttons that
// shade along their own bar.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmofficec.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Every channel within `tolerance` levels.
bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class OfficeC : public ::testing::Test {
protected:
    ThemeHolder Theme{L"OfficeC"};
    TThmOfficeCTheme& C() { return dynamic_cast<TThmOfficeCTheme&>(*Theme); }
    COLORREF Light() { return Rgb(C().LightColor); }
    COLORREF Base() { return Rgb(C().BaseColor); }
};

TEST_F(OfficeC, PaletteAndMetrics) {
    EXPECT_EQ(C().LightColor, 0xBFFFFF);
    EXPECT_EQ(C().BaseColor, 0x00DFBF);
    EXPECT_EQ(Theme->GetIntMetric(tmMenuImageGap), 0);
    EXPECT_EQ(Theme->GetIntMetric(tmMenuCaptionGap), 8);
    POINT border{};
    Theme->GetViewBorderSize(vkPopupMenu, border);
    EXPECT_EQ(border.x, 1);
    EXPECT_EQ(border.y, 1);
    TThmMargins edit{};
    Theme->GetMarginSet(mkEditBox, edit);
    EXPECT_EQ(edit.LeftWidth, 3);
    EXPECT_EQ(edit.RightWidth, 3);
}

// The dock is the mix of the pair, inside the painted rectangle only, whatever pen the canvas
// holds.
TEST_F(OfficeC, DockBackgroundIsSolidAndStaysInside) {
    Sheet sheet(40, 40, kGround);
    sheet.Canvas.Pen().SetColor(0x0000FF);
    for (int position : {1, 3}) Theme->PaintDockBackground(sheet.Canvas, RECT{0, 0, 40, 40}, RECT{10, 10, 30, 30}, position);
    EXPECT_EQ(sheet.Pixel(10, 10), RGB(0xDE, 0xEE, 0x5F));
    EXPECT_EQ(sheet.Pixel(29, 29), RGB(0xDE, 0xEE, 0x5F));
    EXPECT_EQ(sheet.Dib.Count(kGround), 40 * 40 - 20 * 20);
}

// Popup menus and panels are shaded across their whole width; chevron and tool-box popups are
// plain. With the option off, only a 24-pixel strip at the left.
TEST_F(OfficeC, PopupShadesAndTheStripOption) {
    Sheet sheet(120, 20, kGround);
    const RECT r{0, 0, 100, 10};
    Theme->PaintViewBackground(sheet.Canvas, r, r, r, 0x808080, false, vkPopupMenu);
    EXPECT_EQ(sheet.Pixel(0, 5), Light());
    EXPECT_EQ(sheet.Pixel(99, 5), Base());
    EXPECT_EQ(sheet.Pixel(50, 0), sheet.Pixel(50, 9));
    Theme->PaintViewBackground(sheet.Canvas, r, r, r, 0x808080, false, vkChevronPopup);
    EXPECT_EQ(sheet.Pixel(0, 5), RGB(0x80, 0x80, 0x80));
    C().FullPopupGradient = false;
    Theme->PaintViewBackground(sheet.Canvas, r, r, r, 0x808080, false, vkDockPanelDocked);
    C().FullPopupGradient = true;
    EXPECT_EQ(sheet.Pixel(0, 5), Light());
    EXPECT_EQ(sheet.Pixel(23, 5), Base());
    EXPECT_EQ(sheet.Pixel(24, 5), RGB(0x80, 0x80, 0x80));
}

// A button shades along its own bar, whatever bar was painted last: top to bottom on a
// horizontal bar, left to right on a vertical one.
TEST_F(OfficeC, ButtonsShadeAlongTheirOwnBar) {
    Sheet sheet(60, 60, kGround);
    const RECT column{40, 0, 60, 60};
    Theme->PaintViewBackground(sheet.Canvas, column, column, column, 0x808080, false, vkToolbarBar);  // a vertical bar
    TThmItemInfo item = Item(vkToolbarBar);
    item.HotState = hsSelected;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(5, 1), kWhite);
    EXPECT_EQ(sheet.Pixel(5, 18), Base());
    EXPECT_EQ(sheet.Pixel(2, 10), sheet.Pixel(17, 10));
    item.ViewVertical = true;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(1, 10), kWhite);
    EXPECT_EQ(sheet.Pixel(18, 10), Base());
    EXPECT_EQ(sheet.Pixel(10, 2), sheet.Pixel(10, 17));
}

// On a vertical bar a hot split button's shade runs on through its arrow part, which adds no hot
// shade of its own.
TEST_F(OfficeC, SplitButtonShadesThroughItsArrowPart) {
    Sheet sheet(60, 30, kGround);
    TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle | ifSplitItem);
    item.HotState = hsSelected;
    item.ViewVertical = true;
    item.SplitPart = spSplitButton;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(1, 10), kWhite);
    EXPECT_EQ(sheet.Pixel(30, 10), Base()) << "the shade ends 12 pixels on, at the arrow part's end";
    EXPECT_EQ(sheet.Pixel(31, 10), kGround);
    const COLORREF under = sheet.Pixel(22, 15);
    item.SplitPart = spSplitArrow;
    Theme->PaintItemButton(sheet.Canvas, RECT{20, 0, 32, 20}, item);
    EXPECT_EQ(sheet.Pixel(22, 15), under);
    item.ViewVertical = false;
    item.SplitPart = spSplitButton;
    sheet.Dib.Fill(kGround);
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(25, 10), kGround) << "on a horizontal bar the part stays in its rectangle";
}

// Menu-bar items: pushed is a solid light block framed like the popup, hot a shade from the light
// colour into the hot fill; a checked button under the mouse shows the hot pair reversed.
TEST_F(OfficeC, MenuBarItemsAndCheckedHotButtons) {
    Sheet sheet(30, 30, kGround);
    TThmItemInfo item = Item(vkMenuBar);
    item.HotState = hsSelected;
    item.Pushed = true;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 5), Rgb(C().PopupBorder));
    EXPECT_EQ(sheet.Pixel(5, 5), Light());
    item.Pushed = false;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    // The shade's end rows lie under the frame; the rows inside are one step (of 19) from them.
    EXPECT_TRUE(Near(sheet.Pixel(5, 1), Light(), 14));
    EXPECT_TRUE(Near(sheet.Pixel(5, 18), Rgb(Theme->GetItemImageBackColor(item)), 14));
    EXPECT_FALSE(Near(sheet.Pixel(5, 1), sheet.Pixel(5, 18), 14));
    TThmItemInfo checked = Item(vkToolbarBar);
    checked.Checked = true;
    checked.HotState = hsSelected;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, checked);
    EXPECT_EQ(sheet.Pixel(5, 1), Base());
    EXPECT_EQ(sheet.Pixel(5, 18), kWhite);
}

// The status bar's soft edges: five lines at the top and three at the bottom, inside the part;
// the last panel's divider would fall beyond its rectangle and is left out.
TEST_F(OfficeC, StatusBarEdges) {
    Sheet sheet(60, 30, kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 50, 20}, 0);
    const auto mix = [&](int weight) { return Rgb(ColorMixNearest(C().BaseColor, C().MenuBarFill, weight)); };
    EXPECT_EQ(sheet.Pixel(10, 0), mix(200));
    EXPECT_EQ(sheet.Pixel(10, 4), mix(12));
    EXPECT_EQ(sheet.Pixel(10, 10), Rgb(C().MenuBarFill));
    EXPECT_EQ(sheet.Pixel(10, 19), mix(24));
    sheet.Dib.Fill(kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 50, 3}, 0);
    EXPECT_EQ(sheet.Pixel(10, 3), kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 10, 50, 30}, 1);
    EXPECT_EQ(sheet.Pixel(47, 16), Base());
    EXPECT_EQ(sheet.Pixel(48, 16), Light());
    sheet.Dib.Fill(kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 10, 50, 30}, 2);
    EXPECT_EQ(sheet.Dib.Count(kGround), 60 * 30);
}

// With menu-bar shading off, the menu bar is plain in its background and its frame.
TEST_F(OfficeC, MenuBarWithoutShading) {
    Sheet sheet(60, 30, kGround);
    C().MenuBarGradient = false;
    const RECT r{0, 0, 50, 24};
    Theme->PaintViewBackground(sheet.Canvas, r, r, r, 0x808080, false, vkMenuBar);
    EXPECT_EQ(sheet.Pixel(10, 1), RGB(0x80, 0x80, 0x80));
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkMenuBar;
    frame.BorderStyle = 1;
    Theme->PaintToolbarFrame(sheet.Canvas, r, frame);
    C().MenuBarGradient = true;
    EXPECT_EQ(sheet.Pixel(10, 0), Rgb(C().MenuBarFill));
    EXPECT_EQ(sheet.Pixel(10, 23), Rgb(C().MenuBarFill));
}

}  // namespace
