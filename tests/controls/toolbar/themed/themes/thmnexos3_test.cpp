// The "Nexos3" theme's own pixels, and its colour rebuild.
#include <gtest/gtest.h>

#include <vector>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmnexos3.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Nexos3 : public ::testing::Test {
protected:
    ThemeHolder Theme{kThemeNexos3};
    TThmNexos3Theme& N3() { return dynamic_cast<TThmNexos3Theme&>(*Theme); }
};

// Every colour the rebuild writes.
std::vector<TColor> CacheOf(const TThmNexos3Theme& t) {
    std::vector<TColor> v = {t.BaseColor,   t.LightBaseColor, t.MenuBarFill, t.ToolbarFill, t.PopupFill,
                             t.DockPanelFill, t.EdgeColor,    t.EditFrame,   t.PopupBorder, t.SplitDivider};
    for (const auto& row : t.FloatingColors) v.insert(v.end(), row, row + 3);
    for (const auto& row : t.States.Item) v.insert(v.end(), row, row + 3);
    for (const auto& row : t.States.Popup) v.insert(v.end(), row, row + 3);
    return v;
}

// With the accent turned grey the rebuild derives the grey accent from the accent as set, so the
// first rebuild and every later one give the same colours; the light accent and the hot fill
// still come from the accent as set.
TEST_F(Nexos3, RebuildGivesTheSameColoursEveryTime) {
    N3().ColoredAccent = false;
    N3().RebuildColorCache();
    const std::vector<TColor> first = CacheOf(N3());
    N3().RebuildColorCache();
    EXPECT_EQ(CacheOf(N3()), first);
    EXPECT_EQ(N3().BaseColor, TColor(0xA8A8A8));
    EXPECT_EQ(N3().Options.BaseColor, TColor(0xE0A030)) << "the option itself is left alone";
    EXPECT_EQ(N3().LightBaseColor, ColorBlendPercent(0xE0A030, 0xFFFFFF, 80));
    N3().ColoredAccent = true;
    N3().RebuildColorCache();
    EXPECT_EQ(N3().BaseColor, TColor(0xE0A030));
}

// Stripes repeat every four rows from the top: dark, plain, light, plain.
TEST_F(Nexos3, BackgroundStripesHaveAPeriodOfFour) {
    Sheet sheet(20, 20, kGround);
    const RECT rect{0, 2, 20, 20};
    Theme->PaintViewBackground(sheet.Canvas, rect, rect, rect, 0xF7F7F7, false, vkToolbarBar);
    const COLORREF rows[4] = {RGB(0xEF, 0xEF, 0xEF), RGB(0xF7, 0xF7, 0xF7), RGB(0xFF, 0xFF, 0xFF), RGB(0xF7, 0xF7, 0xF7)};
    for (int y = 2; y < 20; ++y) EXPECT_EQ(sheet.Pixel(5, y), rows[(y - 2) % 4]) << y;
}

// A pushed button: dark cut-corner frame with its corner pixel, and the light row under the top
// edge between the cuts.
TEST_F(Nexos3, PushedButtonFrame) {
    Sheet sheet(30, 30, kGround);
    TThmItemInfo item = Item(vkToolbarBar);
    item.Pushed = true;
    item.HotState = hsSelected;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
    EXPECT_EQ(sheet.Pixel(2, 0), RGB(0x58, 0x58, 0x58));
    EXPECT_EQ(sheet.Pixel(1, 0), RGB(0xA0, 0xA0, 0xA0));
    EXPECT_EQ(sheet.Pixel(2, 1), RGB(0xB6, 0xB6, 0xB6));
}

// An unchecked radio button has a white dot; the hot close button of a docked panel is a light
// cross on the caption band, without a frame.
TEST_F(Nexos3, RadioDotAndHotPanelCloseButton) {
    Sheet sheet(90, 60, kGround);
    Theme->PaintCheckControl(sheet.Canvas, RECT{0, 0, 13, 13}, 2, 0, 0);
    EXPECT_EQ(sheet.Pixel(6, 6), RGB(255, 255, 255));
    sheet.Dib.Fill(kGround);
    TThmDockPanelFrameInfo frame{};
    frame.ViewKind = vkDockPanelDocked;
    frame.CaptionHorizontal = true;
    frame.BorderSize = POINT{2, 2};
    frame.CaptionShown = true;
    frame.CloseButtonState = cbsShown | cbsHot;
    Theme->PaintDockPanelFrame(sheet.Canvas, RECT{0, 0, 80, 50}, frame);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    // The square ends at the band's right end, one row above its last row.
    const RECT square{78 - h + 1, 2, 78, 2 + h - 1};
    EXPECT_GT(sheet.Dib.Count(RGB(0xE8, 0xE8, 0xE8)), 10);
    EXPECT_NE(sheet.Pixel(square.left, square.top + 4), RGB(0, 0, 0)) << "no frame";
    EXPECT_EQ(sheet.Pixel(square.left, square.top + 4), sheet.Pixel(square.left - 3, square.top + 4)) << "the band shows";
}

}  // namespace
