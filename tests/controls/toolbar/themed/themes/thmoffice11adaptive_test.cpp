// The "Office11Adaptive" theme's own answers and pixels, with and without a visual style.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmoffice11adaptive.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

class Office11Adaptive : public ::testing::Test {
protected:
    ThemeHolder Theme{L"Office11Adaptive"};
    TThmOffice11AdaptiveTheme& O() { return dynamic_cast<TThmOffice11AdaptiveTheme&>(*Theme); }
};

// Rebuilds the theme's colours with or without a visual style, and rebuilds them as the system
// has them afterwards.
class StylesSwitched {
public:
    StylesSwitched(TThmTheme& theme, bool styles) : FTheme(theme), FSaved(VisualStylesOpen) {
        VisualStylesOpen = styles;
        FTheme.RebuildColorCache();
    }
    ~StylesSwitched() {
        VisualStylesOpen = FSaved;
        FTheme.RebuildColorCache();
    }

private:
    TThmTheme& FTheme;
    bool FSaved;
};

TEST(Office11AdaptivePair, DarkerFirstAtLeastThirtyApartAndAtMostFortyWithAStyle) {
    struct Case {
        TColor First, Second;
        bool Styles;
        TColor Dark, Light;
    };
    const Case cases[] = {
        {0xD8D8D8, 0xFFFFFF, false, 0xD8D8D8, 0xFFFFFF},  // 39 apart: kept
        {0xF0F0F0, 0xFFFFFF, false, 0xE1E1E1, 0xFFFFFF},  // 15 apart: the face lowered by 15
        {0xE1E1E1, 0xFFFFFF, false, 0xE1E1E1, 0xFFFFFF},  // exactly 30: no shift
        {0xFFFFFF, 0xD8D8D8, false, 0xFFFFFF, 0xFFFFFF},  // exchanged; the gap then counts as negative
        {0x202020, 0x303030, false, 0x202020, 0x202020},  // a dark pair: the lighter one moves
        {0xD7D7D7, 0xFFFFFF, true, 0xD7D7D7, 0xFFFFFF},   // exactly 40 with a style: kept
        {0xB0B0B0, 0xFFFFFF, true, 0xC0C0C0, 0xEFEFEF},   // 79 apart with a style: drawn together
        {0xB0B0B0, 0xFFFFFF, false, 0xB0B0B0, 0xFFFFFF},  // without a style: kept
    };
    for (const Case& c : cases) {
        const auto [dark, light] = TThmOffice11AdaptiveTheme::GradientPair(c.First, c.Second, c.Styles);
        EXPECT_EQ(dark, c.Dark) << &c - cases;
        EXPECT_EQ(light, c.Light) << &c - cases;
    }
}

TEST_F(Office11Adaptive, Metrics) {
    EXPECT_EQ(Theme->GetIntMetric(tmMenuImageGap), 3);
    EXPECT_EQ(Theme->GetIntMetric(tmMenuCaptionGap), 8);
    EXPECT_EQ(Theme->GetIntMetric(tmToolbarSeparatorSize), -1);
    for (int index = 0; index < 10; ++index)
        EXPECT_EQ(Theme->GetBoolMetric(index), index == 1 || index == 5 || index == 6 || index == 7) << index;
    POINT border{};
    Theme->GetViewBorderSize(vkPopupMenu, border);
    EXPECT_EQ(border.x, 1);
    EXPECT_EQ(border.y, 2);
    TThmMargins edit{};
    Theme->GetMarginSet(mkEditBox, edit);
    EXPECT_EQ(edit.LeftWidth, 1);
    EXPECT_EQ(edit.RightWidth, 3);
}

// With a visual style the bars come from the caption colours and the hot text is the highlight
// text; without one from the face and window colours.
TEST_F(Office11Adaptive, ColoursFollowTheVisualStyle) {
    TThmItemInfo hot = Item(vkToolbarBar);
    hot.HotState = hsSelected;
    {
        StylesSwitched plain(*Theme, false);
        EXPECT_EQ(Rgb(O().MenuBarFill), Rgb(classlib::clBtnFace));
        EXPECT_EQ(O().GripShadeColor, classlib::clBtnShadow);
        EXPECT_NE(Rgb(Theme->GetItemTextColor(hot)), Rgb(classlib::clHighlightText));
    }
    {
        StylesSwitched styled(*Theme, true);
        EXPECT_EQ(O().ToolbarBorderColor, classlib::clHighlight);
        EXPECT_EQ(O().GripShadeColor, classlib::clHighlight);
        EXPECT_EQ(Rgb(Theme->GetItemTextColor(hot)), Rgb(classlib::clHighlightText));
    }
}

// The panel's border leaves light pixels inside its rings at the caption's ends, the caption
// bar ends in a grey rule, and a panel without caption text still gets its bar and button.
TEST_F(Office11Adaptive, DockedPanelCorners) {
    Sheet sheet(120, 80, kGround);
    TThmDockPanelFrameInfo frame{};
    frame.ViewKind = vkDockPanelDocked;
    frame.CaptionHorizontal = true;
    frame.BorderSize = POINT{3, 3};  // a border wider than the rings leaves the light pixels in view
    frame.CaptionShown = true;
    frame.CloseButtonState = cbsShown;
    sheet.Canvas.Brush().SetColor(0xC0C0C0);
    Theme->PaintDockPanelFrame(sheet.Canvas, RECT{0, 0, 100, 60}, frame);
    EXPECT_EQ(sheet.Pixel(2, 2), RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(sheet.Pixel(97, 2), RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(sheet.Pixel(0, 30), Rgb(O().FrameLineColor));
    EXPECT_EQ(sheet.Pixel(1, 30), RGB(0xC0, 0xC0, 0xC0));
    const int rule = 3 + GetSystemMetrics(SM_CYSMCAPTION) - 1;
    EXPECT_EQ(sheet.Pixel(20, rule), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(sheet.Pixel(20, rule + 1), kGround) << "below the bar the panel's client is left alone";
    // The caption runs down the left side: the second light pixel is at the bottom.
    frame.CaptionHorizontal = false;
    sheet.Dib.Fill(kGround);
    Theme->PaintDockPanelFrame(sheet.Canvas, RECT{0, 0, 100, 60}, frame);
    EXPECT_EQ(sheet.Pixel(2, 57), RGB(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(sheet.Pixel(rule, 20), RGB(0x80, 0x80, 0x80));
}

// Toolbar separators are etched white over the dark gradient colour; a vertical one appears only
// for an enabled record.
TEST_F(Office11Adaptive, EtchedSeparators) {
    Sheet sheet(40, 40, kGround);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 30, 10}, Item(vkToolbarBar), true, false);
    EXPECT_EQ(sheet.Pixel(4, 5), RGB(255, 255, 255));
    EXPECT_EQ(sheet.Pixel(3, 5), kGround);
    EXPECT_EQ(sheet.Pixel(3, 4), Rgb(O().GradientDark));
    sheet.Dib.Fill(kGround);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 8, 30}, Item(vkToolbarBar, ifToolbarStyle, false), false, false);
    EXPECT_EQ(sheet.Dib.Count(kGround), 40 * 40);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 8, 30}, Item(vkToolbarBar), false, false);
    EXPECT_EQ(sheet.Pixel(4, 10), RGB(255, 255, 255));
}

// A docked toolbar without a border is its gradient alone; a menu bar gets its grip whatever its
// border.
TEST_F(Office11Adaptive, BorderlessBarsAndMenuBarGrip) {
    Sheet sheet(80, 30, kGround);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.AllowDrag = true;
    frame.BorderStyle = 0;
    frame.DragHandleStyle = dhDouble;
    frame.CloseButtonState = cbsShown;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 60, 24}, frame);
    for (int y = 0; y < 24; ++y) EXPECT_EQ(sheet.Pixel(4, y), sheet.Pixel(40, y)) << "row " << y << " is one colour";
    frame.ViewKind = vkMenuBar;
    frame.CloseButtonState = 0;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 60, 24}, frame);
    // The first dot of the double handle: one pixel toward the bar's start, four rows down.
    const TGripDotColors dot = GripDotColors(sheet.Dib.DC, O().GripBaseColor, O().GripShadeColor, O().GripLightColor);
    EXPECT_EQ(sheet.Pixel(2, 6), Rgb(dot.Dark[0]));
    EXPECT_EQ(sheet.Pixel(6, 6), Rgb(dot.Dark[0]));
    EXPECT_EQ(sheet.Pixel(4, 8), Rgb(dot.Light[2]));
}

// A floating toolbar's inner outline has its four corners cut, a floating panel's only the top
// two.
TEST_F(Office11Adaptive, FloatingFrameOutline) {
    Sheet sheet(110, 70, kGround);
    TThmFloatingFrameInfo frame{};
    frame.ViewKind = vkToolbarBar | vkFloating;
    frame.BorderSize = POINT{3, 3};
    frame.ClientWidth = 94;
    frame.ClientHeight = 54;
    frame.RedrawParts = rpBorder;
    frame.Active = true;
    const COLORREF line = Rgb(O().FrameLineColor);
    Theme->PaintFloatingFrame(sheet.Canvas, RECT{0, 0, 100, 60}, frame);
    EXPECT_EQ(sheet.Pixel(3, 2), line);
    EXPECT_NE(sheet.Pixel(2, 2), line);
    EXPECT_NE(sheet.Pixel(2, 57), line);
    frame.ViewKind = vkDockPanelFloating;
    sheet.Dib.Fill(kGround);
    Theme->PaintFloatingFrame(sheet.Canvas, RECT{0, 0, 100, 60}, frame);
    EXPECT_NE(sheet.Pixel(2, 2), line);
    EXPECT_EQ(sheet.Pixel(2, 57), line);
}

// The size grip is six dots whose two dark diagonals are exchanged against the drag handle's.
TEST_F(Office11Adaptive, SizeGripDots) {
    Sheet sheet(30, 30, kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 20, 20}, 3);
    const TGripDotColors dot = GripDotColors(sheet.Dib.DC, O().GripBaseColor, O().GripShadeColor, O().GripLightColor);
    for (POINT p : {POINT{8, 16}, POINT{12, 16}, POINT{16, 16}, POINT{12, 12}, POINT{16, 12}, POINT{16, 8}}) {
        EXPECT_EQ(sheet.Pixel(p.x, p.y), Rgb(dot.Dark[3])) << p.x << "," << p.y;
        EXPECT_EQ(sheet.Pixel(p.x + 1, p.y + 1), Rgb(dot.Dark[0])) << p.x << "," << p.y;
    }
    EXPECT_EQ(sheet.Pixel(8, 8), kGround);
    sheet.Dib.Fill(kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 6, 6}, 3);
    for (int y = 6; y < 30; ++y) EXPECT_EQ(sheet.Pixel(7, y), kGround) << "a small grip stays in its part";
}

}  // namespace

namespace {

// Each theme of the family stamps the strip's close glyph in the item's text colour; the
// maximise button has its face and no glyph.
TEST(Office11Family, MDIButtonGlyphs) {
    for (const wchar_t* name : {L"Office11Adaptive", L"OfficeC", L"OfficeK"}) {
        ThemeHolder theme(name);
        TThmItemInfo item = Item(vkMenuBar);
        item.HotState = hsSelected;
        const COLORREF text = Rgb(theme->GetItemTextColor(item));
        Sheet sheet(20, 20, kGround);
        theme->PaintMDICaptionButton(sheet.Canvas, RECT{0, 0, 16, 16}, item, 0);
        EXPECT_EQ(sheet.Pixel(4, 5), text) << testing::PrintToString(std::wstring(name));   // a pixel of the cross
        EXPECT_NE(sheet.Pixel(6, 5), text) << testing::PrintToString(std::wstring(name));
        sheet.Dib.Fill(kGround);
        theme->PaintMDICaptionButton(sheet.Canvas, RECT{0, 0, 16, 16}, item, 2);
        EXPECT_NE(sheet.Pixel(4, 5), text) << testing::PrintToString(std::wstring(name));
        EXPECT_NE(sheet.Pixel(4, 5), kGround) << testing::PrintToString(std::wstring(name));
    }
}

}  // namespace
