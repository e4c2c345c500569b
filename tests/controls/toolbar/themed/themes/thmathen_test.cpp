// The white and silvery looks: "Athen" and the themes built on it.
#include <gtest/gtest.h>

#include <vector>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmathen.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

const wchar_t* const kFamily[] = {kThemeAthen, kThemeDream, kThemeXito};

TThmAthenTheme& Family(ThemeHolder& holder) { return dynamic_cast<TThmAthenTheme&>(*holder); }

std::vector<COLORREF> Pixels(const Sheet& sheet, const RECT& area) {
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) pixels.push_back(sheet.Pixel(x, y));
    return pixels;
}

// A repaint of part of a bar shows exactly what a full paint shows there: the gradient runs over
// the whole bar, and nothing outside the clip is touched.
TEST(AthenFamily, PartialRepaintMatchesTheFullPaint) {
    struct Case {
        int ViewKind;
        RECT Bar, Clip;
    };
    const Case cases[] = {
        {vkToolbarBar, {0, 0, 120, 26}, {30, 9, 70, 20}},   // a band across the middle
        {vkToolbarBar, {0, 0, 26, 120}, {5, 40, 20, 90}},   // a bar docked at the side
        {vkMenuBar, {0, 0, 200, 22}, {0, 0, 200, 1}},       // the top row alone
        {vkMenuBar, {0, 0, 200, 22}, {150, 21, 200, 22}},   // the bottom row alone
        {vkToolWindow, {0, 0, 90, 60}, {10, 30, 89, 59}},
    };
    for (const wchar_t* name : kFamily)
        for (const Case& c : cases) {
            ThemeHolder theme(name);
            Sheet full(220, 130, kGround), part(220, 130, kGround);
            theme->PaintViewBackground(full.Canvas, RECT{}, c.Bar, c.Bar, theme->GetViewFillColor(c.ViewKind), false,
                                       c.ViewKind);
            theme->PaintViewBackground(part.Canvas, RECT{}, c.Bar, c.Clip, theme->GetViewFillColor(c.ViewKind), false,
                                       c.ViewKind);
            const auto at = [&] { return testsupport::Narrow(name) + " case " + std::to_string(&c - cases); };
            EXPECT_EQ(Pixels(part, c.Clip), Pixels(full, c.Clip)) << at();
            EXPECT_NE(full.Pixel(c.Bar.left + 2, c.Bar.top + 2), kGround) << at();
            // Outside the clip the partial paint left the ground.
            int touched = 0;
            for (int y = 0; y < 130; ++y)
                for (int x = 0; x < 220; ++x)
                    if (!PtInRect(&c.Clip, POINT{x, y})) touched += part.Pixel(x, y) != kGround;
            EXPECT_EQ(touched, 0) << at();
        }
}

// A low-colour screen still gets a background: the view's plain colour.
TEST(AthenFamily, LowColourScreenGetsAPlainBackground) {
    ThemeHolder theme(kThemeAthen);
    const bool saved = IsLowColorDisplay;
    IsLowColorDisplay = true;
    Sheet sheet(60, 30, kGround);
    theme->PaintViewBackground(sheet.Canvas, RECT{}, RECT{0, 0, 60, 30}, RECT{0, 0, 60, 30}, 0x00C0FF, false, vkToolbarBar);
    IsLowColorDisplay = saved;
    EXPECT_EQ(sheet.Pixel(0, 0), RGB(0xFF, 0xC0, 0x00));
    EXPECT_EQ(sheet.Pixel(59, 29), RGB(0xFF, 0xC0, 0x00));
}

// Pushed things keep the family's greys: no state of the table frames an item in pure red, and
// the pushed close buttons of docked bars show none.
TEST(AthenFamily, PushedItemsAreNotFramedInRed) {
    for (const wchar_t* name : kFamily) {
        ThemeHolder theme(name);
        for (const auto& row : Family(theme).States.Item) EXPECT_NE(row[scFrame], TColor(0x0000FF)) << testsupport::Narrow(name);
        Sheet sheet(120, 30, kGround);
        TThmToolbarFrameInfo frame{};
        frame.ViewKind = vkToolbarBar;
        frame.AllowDrag = true;
        frame.BorderStyle = 1;
        frame.BorderSize = {2, 2};
        frame.DragHandleStyle = dhSingle;
        frame.CloseButtonState = cbsShown | cbsPressed;
        theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 120, 30}, frame);
        TThmItemInfo pushed = Item(vkToolbarBar);
        pushed.Pushed = true;
        pushed.HotState = hsSelected;
        theme->PaintItemButton(sheet.Canvas, RECT{60, 4, 82, 26}, pushed);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
                ASSERT_NE(sheet.Pixel(x, y), RGB(0xFF, 0, 0)) << testsupport::Narrow(name) << " at " << x << "," << y;
    }
}

// The tick of a disabled item is drawn in the dimmed text colour, so it shows on the white face.
TEST(AthenFamily, DisabledCheckMarksStayVisible) {
    for (const wchar_t* name : kFamily) {
        ThemeHolder theme(name);
        const COLORREF dim = Rgb(Family(theme).States.Item[1][scText]);
        for (int viewKind : {vkToolbarBar, vkPopupMenu}) {
            Sheet sheet(20, 20, RGB(0xFF, 0xFF, 0xFF));
            theme->PaintCheckGlyph(sheet.Canvas, RECT{0, 0, 20, 20}, Item(viewKind, ifToolbarStyle, false));
            int dimPixels = 0;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 20; ++x) dimPixels += sheet.Pixel(x, y) == dim;
            EXPECT_GE(dimPixels, 10) << testsupport::Narrow(name) << " view 0x" << std::hex << viewKind;
        }
    }
}

// The family's measures: Athen's edit frames are one pixel narrower at the left; popup menus have
// a one-pixel border across; the metrics that differ between Athen and its sisters.
TEST(AthenFamily, Measures) {
    struct Case {
        const wchar_t* Theme;
        int EditLeft, MenuSeparator, ToolbarSeparator;
    };
    for (const Case& c : {Case{kThemeAthen, 1, 3, 6}, Case{kThemeDream, 3, 7, 5}, Case{kThemeXito, 3, 7, 5}}) {
        ThemeHolder theme(c.Theme);
        const std::string name = testsupport::Narrow(c.Theme);
        TThmMargins m{};
        theme->GetMarginSet(mkEditBox, m);
        EXPECT_EQ(m.LeftWidth, c.EditLeft) << name;
        EXPECT_EQ(m.RightWidth, 3) << name;
        POINT border{};
        theme->GetViewBorderSize(vkPopupMenu, border);
        EXPECT_EQ(border.x, 1) << name;
        EXPECT_EQ(border.y, 2) << name;
        theme->GetViewBorderSize(vkListPopup, border);
        EXPECT_EQ(border.x, 2) << name;
        EXPECT_EQ(theme->GetIntMetric(tmMenuSeparatorSize), c.MenuSeparator) << name;
        EXPECT_EQ(theme->GetIntMetric(tmToolbarSeparatorSize), c.ToolbarSeparator) << name;
        EXPECT_EQ(theme->GetIntMetric(tmMenuImageGap), 0) << name;
    }
}

}  // namespace
