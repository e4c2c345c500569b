// The "OfficeXP" theme's own answers and pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmofficexp.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

class OfficeXP : public ::testing::Test {
protected:
    ThemeHolder Theme{L"OfficeXP"};
    TThmOfficeXPTheme& XP() { return dynamic_cast<TThmOfficeXPTheme&>(*Theme); }
};

TEST_F(OfficeXP, Metrics) {
    const std::pair<int, int> ints[] = {{10, 12}, {20, 8}, {21, 3}, {32, 5}, {33, 3}, {35, 3}, {36, 2},
                                        {50, 6},  {60, 1}, {61, 2}, {62, 2}, {65, 14}, {66, 1}, {63, -1}, {64, -1}};
    for (auto [index, value] : ints) EXPECT_EQ(Theme->GetIntMetric(index), value) << index;
    for (int index = 0; index < 10; ++index)
        EXPECT_EQ(Theme->GetBoolMetric(index), index == 1 || index == 3 || index == 7) << index;
    EXPECT_EQ(Theme->GetShadowKind(), 2);
    POINT border{};
    Theme->GetViewBorderSize(vkPopupMenu, border);
    EXPECT_EQ(border.x, 1);
    EXPECT_EQ(border.y, 2);
}

// Rows 7 (popup open) over 3 (pushed) over 2 (checked); a disabled checked item is plain.
TEST_F(OfficeXP, ItemRowsDecideFillAndFrame) {
    Sheet sheet(30, 30, RGB(1, 2, 3));
    TThmItemInfo item = Item(vkToolbarBar);
    item.Pushed = item.Checked = item.PopupOpen = true;
    item.HotState = hsSelected;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 5), Rgb(XP().PopupBorder));
    EXPECT_EQ(sheet.Pixel(5, 5), Rgb(XP().ToolbarFill));
    item.Enabled = false;
    item.HotState = hsNone;
    sheet.Dib.Fill(RGB(1, 2, 3));
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Dib.Count(RGB(1, 2, 3)), 30 * 30) << "row 1 has neither fill nor frame";
}

// The maximise button gets the face but no glyph; close gets the strip's cross in the text colour.
TEST_F(OfficeXP, MDIButtonsAndTheirGlyphs) {
    TThmItemInfo item = Item(vkMenuBar);
    item.HotState = hsSelected;
    const COLORREF text = Rgb(XP().GetItemTextColor(item));
    for (int kind : {0, 2}) {
        Sheet sheet(20, 20, RGB(1, 2, 3));
        Theme->PaintMDICaptionButton(sheet.Canvas, RECT{0, 0, 16, 15}, item, kind);
        EXPECT_EQ(sheet.Pixel(2, 2), Rgb(XP().GetItemFillColor(item))) << kind;
        // The cell lands at (0, 0) of (0, 0, 16, 14): (7, 7) is a pixel of the cross.
        EXPECT_EQ(sheet.Pixel(7, 7) == text, kind == 0) << kind;
        EXPECT_EQ(sheet.Dib.Count(text) > 0, kind == 0) << kind;
    }
}

TEST_F(OfficeXP, OutOfRangeValuesPaintFramesOnly) {
    Sheet sheet(30, 30, RGB(1, 2, 3));
    Theme->PaintScrollArrowButton(sheet.Canvas, RECT{0, 0, 20, 20}, 5, false);
    EXPECT_EQ(sheet.Pixel(0, 0), Rgb(classlib::clBtnShadow));
    EXPECT_EQ(sheet.Dib.Count(Rgb(XP().States.Item[0][scText])), 0);
    sheet.Dib.Fill(RGB(1, 2, 3));
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 20, 20}, 4);
    EXPECT_EQ(sheet.Dib.Count(RGB(1, 2, 3)), 30 * 30);
}

TEST_F(OfficeXP, LowColourScreenTakesPlainSystemColours) {
    TThmThemeManager& manager = ThemeManager();
    auto original = manager.ScreenColorBits;
    manager.ScreenColorBits = [] { return 8; };
    manager.RefreshSystemSettings();
    Theme->RebuildColorCache();
    EXPECT_EQ(Theme->GetViewFillColor(vkToolbarBar), classlib::clBtnFace);
    EXPECT_EQ(Theme->GetViewFillColor(vkPopupMenu), classlib::clWindow);
    Sheet sheet(30, 30, RGB(1, 2, 3));
    Theme->PaintViewBackground(sheet.Canvas, RECT{0, 0, 20, 20}, RECT{0, 0, 20, 20}, RECT{0, 0, 20, 20},
                               Theme->GetViewFillColor(vkToolbarBar), false, vkToolbarBar);
    EXPECT_EQ(sheet.Pixel(5, 5), GetSysColor(COLOR_BTNFACE));
    manager.ScreenColorBits = original;
    manager.RefreshSystemSettings();
    Theme->RebuildColorCache();
    EXPECT_NE(Theme->GetViewFillColor(vkToolbarBar), classlib::clBtnFace);
}

// A resting mixed check box is filled with the checker of window and face colours.
TEST_F(OfficeXP, MixedCheckBoxIsCheckered) {
    Sheet sheet(16, 16, RGB(1, 2, 3));
    Theme->PaintCheckControl(sheet.Canvas, RECT{0, 0, 13, 13}, 1, 2, 0);
    EXPECT_EQ(sheet.Pixel(1, 1), Rgb(classlib::clBtnShadow));
    const COLORREF a = sheet.Pixel(2, 2), b = sheet.Pixel(3, 2);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == GetSysColor(COLOR_WINDOW) && b == GetSysColor(COLOR_BTNFACE)) ||
                (b == GetSysColor(COLOR_WINDOW) && a == GetSysColor(COLOR_BTNFACE)));
}

}  // namespace
