// The "Whidbey" theme's own answers and pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmkit.h"
#include "controls/toolbar/themed/themes/thmwhidbey.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;

class Whidbey : public ::testing::Test {
protected:
    ThemeHolder Theme{L"Whidbey"};
    TThmWhidbeyTheme& W() { return dynamic_cast<TThmWhidbeyTheme&>(*Theme); }
};

TEST_F(Whidbey, Metrics) {
    EXPECT_EQ(Theme->GetIntMetric(33), 8);
    EXPECT_EQ(Theme->GetIntMetric(32), 3);
    EXPECT_EQ(Theme->GetIntMetric(50), -1);
    EXPECT_EQ(Theme->GetIntMetric(65), 14);
    for (int index = 0; index < 10; ++index)
        EXPECT_EQ(Theme->GetBoolMetric(index), index == 1 || index == 5 || index == 6 || index == 7) << index;
    TThmMargins edit{};
    Theme->GetMarginSet(mkEditBox, edit);
    EXPECT_EQ(edit.LeftWidth, 3);
    EXPECT_EQ(edit.RightWidth, 3);
}

TEST_F(Whidbey, DesignOutlineAndFixedChevron) {
    Sheet sheet(40, 30, RGB(1, 2, 3));
    TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle | ifDesigning);
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 5), RGB(255, 0, 0));
    EXPECT_EQ(sheet.Pixel(5, 5), RGB(1, 2, 3));
    sheet.Dib.Fill(RGB(1, 2, 3));
    const TThmItemInfo plain = Item(vkToolbarBar);
    Theme->PaintChevronButton(sheet.Canvas, RECT{0, 0, 14, 24}, plain);
    const COLORREF text = Rgb(Theme->GetItemTextColor(plain));
    EXPECT_EQ(sheet.Pixel(2, 4), text);  // the chevron's first pixel at (Left + 2, 4)
    EXPECT_EQ(sheet.Pixel(3, 4), text);
    EXPECT_EQ(sheet.Pixel(4, 4), RGB(1, 2, 3));
}

// A docked toolbar without a border is its gradient alone: no shadow edge, no grip, no button.
TEST_F(Whidbey, BorderlessToolbarIsOnlyTheGradient) {
    Sheet sheet(60, 30, RGB(1, 2, 3));
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.AllowDrag = true;
    frame.BorderStyle = 0;
    frame.CloseButtonState = cbsShown;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 50, 24}, frame);
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(sheet.Pixel(5, y), sheet.Pixel(30, y)) << "every row is one colour";
        EXPECT_EQ(sheet.Pixel(49, y), sheet.Pixel(30, y)) << "no shadow column";
    }
    EXPECT_EQ(sheet.Pixel(5, 0), Rgb(W().BarLight));
    frame.BorderStyle = 1;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 50, 24}, frame);
    EXPECT_EQ(sheet.Pixel(20, 23), Rgb(W().BarShadow));
}

TEST_F(Whidbey, LargeSizeGripHasThirteenDiagonals) {
    Sheet sheet(20, 20, RGB(1, 2, 3));
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 15, 15}, 3);
    const COLORREF expected[13] = {Rgb(classlib::clBtnShadow), Rgb(classlib::clBtnShadow), Rgb(classlib::clBtnHighlight),
                                   Rgb(classlib::clBtnFace),   Rgb(classlib::clBtnShadow), Rgb(classlib::clBtnShadow),
                                   Rgb(classlib::clBtnShadow), Rgb(classlib::clBtnHighlight), Rgb(classlib::clBtnFace),
                                   Rgb(classlib::clBtnShadow), Rgb(classlib::clBtnShadow), Rgb(classlib::clBtnShadow),
                                   Rgb(classlib::clBtnHighlight)};
    for (int k = 0; k < 13; ++k) EXPECT_EQ(sheet.Pixel(14 - k, 14), expected[k]) << k;  // each diagonal's foot
    EXPECT_EQ(sheet.Pixel(1, 14), RGB(1, 2, 3));
}

// The view background's gradient runs one pixel past the clip, but only the clip is painted.
TEST_F(Whidbey, ViewBackgroundStaysInTheClip) {
    Sheet sheet(40, 40, RGB(1, 2, 3));
    Theme->PaintViewBackground(sheet.Canvas, RECT{0, 0, 0, 0}, RECT{5, 5, 35, 20}, RECT{5, 10, 35, 20}, 0x808080, false,
                               vkToolbarBar);
    EXPECT_EQ(sheet.Pixel(10, 9), RGB(1, 2, 3));
    EXPECT_EQ(sheet.Pixel(10, 20), RGB(1, 2, 3));
    EXPECT_NE(sheet.Pixel(10, 10), RGB(1, 2, 3));
}

}  // namespace
