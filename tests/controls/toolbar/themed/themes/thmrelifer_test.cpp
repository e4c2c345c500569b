// The "Relifer" and "SentimoX" themes' own answers and pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmrelifer.h"
#include "controls/toolbar/themed/themes/thmsentimox.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Relifer : public ::testing::Test {
protected:
    ThemeHolder Theme{L"Relifer"};
    TThmReliferTheme& R() { return dynamic_cast<TThmReliferTheme&>(*Theme); }
};

TEST(ReliferFamily, Metrics) {
    for (const wchar_t* name : {L"Relifer", L"SentimoX"}) {
        ThemeHolder theme(name);
        const bool sentimo = std::wstring(name) == L"SentimoX";
        const std::pair<int, int> ints[] = {{10, 12}, {20, 8}, {21, 3}, {32, 0}, {33, 8}, {34, 3}, {35, 4}, {36, 2},
                                            {37, 2},  {50, 6}, {60, 1}, {61, 2}, {62, 2}, {65, 14}, {63, -1},
                                            {64, -1}, {66, sentimo ? 1 : -1}};
        for (auto [index, value] : ints) EXPECT_EQ(theme->GetIntMetric(index), value) << testing::PrintToString(name) << index;
        for (int index = 0; index < 10; ++index) EXPECT_EQ(theme->GetBoolMetric(index), index >= 5 && index <= 7) << index;
        EXPECT_EQ(theme->GetShadowKind(), 3);
        POINT border{};
        theme->GetViewBorderSize(vkPopupMenu, border);
        EXPECT_EQ(border.x, 2);
        TThmMargins popup{};
        theme->GetMarginSet(mkPopupItem, popup);
        EXPECT_EQ(popup.LeftWidth, 1);
        EXPECT_EQ(popup.TopHeight, 3);
    }
}

// White top and left, 0xD0D0D0 bottom and right, the fill inside; the opener is not joined.
TEST_F(Relifer, PopupFrameIsARaisedEdgeRoundTheFill) {
    Sheet sheet(40, 40, kGround);
    TThmPopupFrameInfo frame{};
    frame.ViewKind = vkPopupMenu;
    frame.ParentRect = RECT{2, -20, 30, 0};
    Theme->PaintPopupFrame(sheet.Canvas, RECT{0, 0, 30, 30}, frame);
    EXPECT_EQ(sheet.Pixel(10, 0), RGB(255, 255, 255));
    EXPECT_EQ(sheet.Pixel(0, 10), RGB(255, 255, 255));
    EXPECT_EQ(sheet.Pixel(10, 29), RGB(0xD0, 0xD0, 0xD0));
    EXPECT_EQ(sheet.Pixel(29, 10), RGB(0xD0, 0xD0, 0xD0));
    EXPECT_EQ(sheet.Pixel(1, 1), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(sheet.Pixel(30, 10), kGround);
}

// Only highlighted menu-bar items are painted: pushed ones sunken on 0xE0E0E0, hot ones glossed.
TEST_F(Relifer, MenuBarItems) {
    Sheet sheet(40, 30, kGround);
    TThmItemInfo item = Item(vkMenuBar, 0);
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 30, 20}, item);
    EXPECT_EQ(sheet.Dib.Count(kGround), 40 * 30) << "idle: nothing";
    item.HotState = hsSelected;
    item.Pushed = true;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 30, 20}, item);
    EXPECT_EQ(sheet.Pixel(10, 10), RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(sheet.Pixel(10, 0), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(sheet.Pixel(10, 19), RGB(255, 255, 255));
    item.Pushed = false;
    sheet.Dib.Fill(kGround);
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 30, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 0), Rgb(R().States.Item[4][scFrame])) << "a square outline";
    EXPECT_EQ(sheet.Pixel(10, 1), RGB(255, 255, 255)) << "the gloss starts white";
}

// The dock is its own rectangle in 0xE0E0E0, with nothing round it in the canvas's pen.
TEST_F(Relifer, DockBackgroundStaysInItsRectangle) {
    Sheet sheet(40, 30, kGround);
    sheet.Canvas.Pen().SetColor(0x0000FF);
    Theme->PaintDockBackground(sheet.Canvas, RECT{0, 0, 40, 30}, RECT{5, 5, 30, 20}, 1);
    EXPECT_EQ(sheet.Pixel(5, 5), RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(sheet.Dib.Count(RGB(0xE0, 0xE0, 0xE0)), 25 * 15);
}

TEST_F(Relifer, SeparatorAndStatusDividers) {
    Sheet sheet(40, 30, kGround);
    const TThmItemInfo item = Item(vkPopupMenu, 0);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 30, 10}, item, true, false);
    EXPECT_EQ(sheet.Pixel(2, 5), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(sheet.Pixel(2, 6), RGB(255, 255, 255));
    EXPECT_EQ(sheet.Pixel(1, 5), kGround);
    sheet.Dib.Fill(kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 30, 20}, 1);
    EXPECT_EQ(sheet.Pixel(26, 10), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(sheet.Pixel(27, 10), RGB(255, 255, 255));
    sheet.Dib.Fill(kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 30, 20}, 2);
    EXPECT_EQ(sheet.Dib.Count(kGround), 40 * 30) << "the last panel has no divider";
}

// The background starts three rows above the bar, as its look has it, but paints only the bar;
// a raised edge follows.
TEST_F(Relifer, ToolbarFrameStaysInsideTheBar) {
    Sheet sheet(60, 40, kGround);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 10, 50, 34}, frame);
    EXPECT_EQ(sheet.Pixel(20, 9), kGround);
    EXPECT_EQ(sheet.Pixel(20, 10), RGB(255, 255, 255));
    EXPECT_EQ(sheet.Pixel(20, 20), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(sheet.Pixel(49, 20), RGB(0xC0, 0xC0, 0xC0));
}

// A hot popup item's raised edge stays on the item: its left line ends on the last row.
TEST_F(Relifer, PopupItemEdgeStaysOnTheItem) {
    Sheet sheet(40, 30, kGround);
    TThmItemInfo item = Item(vkPopupMenu, 0);
    item.HotState = hsSelected;
    Theme->PaintPopupItemFrame(sheet.Canvas, RECT{0, 0, 30, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 20), kGround);
    EXPECT_EQ(sheet.Pixel(0, 18), RGB(255, 255, 255));
    EXPECT_EQ(sheet.Pixel(10, 19), RGB(0xC0, 0xC0, 0xC0));
}

// SentimoX's hot popup item is a light-blue gloss bar in a square outline of the hot frame.
TEST(SentimoX, HotPopupItemIsAGlossBar) {
    ThemeHolder theme(L"SentimoX");
    Sheet sheet(40, 30, kGround);
    TThmItemInfo item = Item(vkPopupMenu, 0);
    item.HotState = hsSelected;
    theme->PaintPopupItemFrame(sheet.Canvas, RECT{0, 0, 30, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 0), static_cast<COLORREF>(0xCBB8AD));
    EXPECT_EQ(sheet.Pixel(29, 19), static_cast<COLORREF>(0xCBB8AD));
    EXPECT_EQ(sheet.Pixel(1, 1), RGB(255, 255, 255));
}

// A docked toolbar's close button: idle a black cross alone; hot on a gloss with a white cross.
TEST(SentimoX, ToolbarCloseButtonIsFacedLikeAPanels) {
    ThemeHolder theme(L"SentimoX");
    auto& s = dynamic_cast<TThmSentimoXTheme&>(*theme);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.AllowDrag = true;
    frame.DragHandleStyle = dhNone;
    frame.CloseButtonState = cbsShown;
    Sheet idle(60, 40, kGround), hot(60, 40, kGround);
    theme->PaintToolbarFrame(idle.Canvas, RECT{0, 0, 50, 30}, frame);
    frame.CloseButtonState = cbsShown | cbsHot;
    theme->PaintToolbarFrame(hot.Canvas, RECT{0, 0, 50, 30}, frame);
    // The square: the strip at (2, 2), 14 long, less its last column: (2, 2, 15, 15).
    EXPECT_EQ(idle.Pixel(2, 2), Rgb(s.ToolbarFill)) << "no frame";
    EXPECT_EQ(idle.Pixel(5, 5), RGB(0, 0, 0)) << "the cross";
    EXPECT_EQ(hot.Pixel(3, 4), Rgb(s.States.Item[4][scFrame])) << "the cut outline";
    EXPECT_EQ(hot.Pixel(5, 5), RGB(255, 255, 255));
}

}  // namespace
