// The "Office2003" theme: its blue scheme (injected, the platform has no such style) and its
// system-colour look.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmoffice2003.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

class BlueScheme : public TThmOffice2003Theme {
public:
    BlueScheme() : TThmOffice2003Theme(L"Office2003") {}
    int DetectColorScheme() override { return 0; }
};

class Office2003 : public ::testing::Test {
protected:
    void SetUp() override { Blue.Init(); }
    BlueScheme Blue;
};

COLORREF Snapped(classlib::TColor c) {
    return GetNearestColor(NearestColorBitmap().Canvas().Handle(), classlib::ColorToRGB(c));
}

TEST_F(Office2003, HotItemsShadeBetweenTheWarmColours) {
    Sheet sheet(40, 40, RGB(1, 2, 3));
    TThmItemInfo item = Item(vkToolbarBar);
    item.HotState = hsSelected;
    Blue.PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
    EXPECT_EQ(sheet.Pixel(5, 1), Snapped(0xCCF4FF));   // the first row inside the frame
    EXPECT_EQ(sheet.Pixel(5, 20), Snapped(0x91D0FF));  // the last one
    EXPECT_EQ(sheet.Pixel(0, 5), Snapped(0x800000));   // the frame
    TThmItemInfo popupItem = Item(vkPopupMenu, 0);
    popupItem.HotState = hsSelected;
    EXPECT_EQ(Blue.GetItemFillColor(popupItem), static_cast<classlib::TColor>(Snapped(0xC2EEFF)));
    item.ViewKind = vkPopupMenu;  // a button face inside a popup takes the start colour only
    sheet.Dib.Fill(RGB(1, 2, 3));
    Blue.PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
    EXPECT_EQ(sheet.Pixel(5, 20), Snapped(0xCCF4FF));
}

TEST_F(Office2003, ToolbarSeparatorIsShortAndTwoTone) {
    Sheet sheet(20, 20, RGB(1, 2, 3));
    Blue.PaintItemSeparator(sheet.Canvas, RECT{0, 0, 10, 10}, Item(vkToolbarBar), true, false);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(sheet.Pixel(x, 5) == Snapped(0xCB8C6A), x >= 2 && x < 9) << x;
    EXPECT_EQ(sheet.Pixel(3, 6), Snapped(0xFFF9F1));
    sheet.Dib.Fill(RGB(1, 2, 3));
    Blue.PaintItemSeparator(sheet.Canvas, RECT{0, 0, 10, 1}, Item(vkToolbarBar), true, false);
    for (int y = 2; y < 20; ++y) EXPECT_EQ(sheet.Pixel(4, y), RGB(1, 2, 3)) << "a one-row separator keeps its light line near";
}

TEST_F(Office2003, TwoSegmentGradientBendsAtTheMiddle) {
    Sheet sheet(4, 30, RGB(1, 2, 3));
    TThmOffice2003Theme::PaintTwoSegmentGradient(sheet.Dib.DC, RECT{0, 0, 4, 24}, 0xFEECDD, 0xE2A981, false, 8);
    auto channel = [](int s, int e) { return s + (e - s) * 8 / 40; };
    EXPECT_EQ(sheet.Pixel(0, 12), RGB(channel(0xDD, 0x81), channel(0xEC, 0xA9), channel(0xFE, 0xE2)));
    EXPECT_EQ(sheet.Pixel(0, 0), RGB(0xDD, 0xEC, 0xFE));
    // Each line one step on, so the first half moves much less than the second.
    const int firstHalf = GetRValue(sheet.Pixel(0, 0)) - GetRValue(sheet.Pixel(0, 11));
    const int secondHalf = GetRValue(sheet.Pixel(0, 13)) - GetRValue(sheet.Pixel(0, 23));
    EXPECT_LT(firstHalf, secondHalf);
    TThmOffice2003Theme::PaintTwoSegmentGradient(sheet.Dib.DC, RECT{0, 25, 4, 26}, 0x0000FF, 0x00FF00, false, 8);
    EXPECT_EQ(sheet.Pixel(0, 25), RGB(255, 0, 0)) << "one line is the start colour";
    TThmOffice2003Theme::PaintRowGradient(sheet.Dib.DC, RECT{0, 27, 4, 28}, 0x0000FF, 0x00FF00);
    EXPECT_EQ(sheet.Pixel(0, 27), RGB(255, 0, 0));
}

// Without a scheme (the platform's case here): docks are painted, and the size grip is six
// two-tone dots from the corner.
TEST(Office2003System, DocksAndSizeGrip) {
    ThemeHolder theme(L"Office2003");
    auto& office = dynamic_cast<TThmOffice2003Theme&>(*theme);
    EXPECT_TRUE(theme->GetBoolMetric(5));
    EXPECT_EQ(office.GradientMidFactor, 15);
    Sheet sheet(20, 20, RGB(1, 2, 3));
    theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 16, 16}, 3);
    EXPECT_EQ(sheet.Pixel(14, 14), classlib::ColorToRGB(office.GripLight));
    EXPECT_EQ(sheet.Pixel(12, 12), classlib::ColorToRGB(office.GripDark));
    EXPECT_EQ(sheet.Pixel(2, 2), RGB(1, 2, 3));
}

}  // namespace
