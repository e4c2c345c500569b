// The "Tristan" and "Tristan2" themes' own answers and pixels.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmtristan.h"
#include "controls/toolbar/themed/themes/thmtristan2.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

TThmTristanTheme& T(ThemeHolder& holder) { return dynamic_cast<TThmTristanTheme&>(*holder); }

TEST(TristanFamily, Metrics) {
    struct Case {
        const wchar_t* Name;
        int ShadowKind;
        bool OverlapsOpener;
        LONG PopupBorderX;
    };
    for (const Case& c : {Case{L"Tristan", 2, true, 2}, Case{L"Tristan2", 3, false, 1}}) {
        ThemeHolder theme(c.Name);
        const std::pair<int, int> ints[] = {{10, 12}, {32, 0}, {33, 8}, {35, 3}, {50, -1}, {65, 14}, {66, 1}};
        for (auto [index, value] : ints) EXPECT_EQ(theme->GetIntMetric(index), value) << index;
        EXPECT_EQ(theme->GetBoolMetric(1), c.OverlapsOpener);
        EXPECT_TRUE(theme->GetBoolMetric(5));
        EXPECT_EQ(theme->GetShadowKind(), c.ShadowKind);
        POINT border{};
        theme->GetViewBorderSize(vkPopupMenu, border);
        EXPECT_EQ(border.x, c.PopupBorderX);
        EXPECT_EQ(border.y, 2);
        theme->GetViewBorderSize(vkListPopup, border);
        EXPECT_EQ(border.x, 2);
        EXPECT_EQ(theme->GetViewFillColor(vkToolbarBar), static_cast<TColor>(0xFFFFFF));
    }
}

TEST(Tristan, PushedTextIsThePushedFill) {
    ThemeHolder theme(L"Tristan");
    TThmItemInfo item = Item(vkToolbarBar);
    item.Pushed = true;
    EXPECT_EQ(theme->GetItemTextColor(item), theme->GetItemFillColor(item));
}

// Docked bars shade from white; floating and opaque-items toolbars and menu bars are solid.
TEST(Tristan, ViewBackgrounds) {
    ThemeHolder theme(L"Tristan");
    struct Case {
        int ViewKind;
        bool Solid;
    };
    for (const Case& c : {Case{vkToolbarBar, false}, Case{vkToolWindow, false}, Case{vkToolbarBar | vkFloating, true},
                          Case{vkToolbarBar | vkOpaqueItems, true}, Case{vkMenuBar, true}}) {
        Sheet sheet(40, 30, kGround);
        theme->PaintViewBackground(sheet.Canvas, RECT{}, RECT{0, 0, 40, 24}, RECT{0, 0, 40, 24}, 0x336699, false,
                                   c.ViewKind);
        if (c.Solid) {
            EXPECT_EQ(sheet.Dib.Count(RGB(0x99, 0x66, 0x33)), 40 * 24) << std::hex << c.ViewKind;
        } else {
            EXPECT_EQ(sheet.Pixel(10, 0), RGB(255, 255, 255)) << std::hex << c.ViewKind;
            EXPECT_EQ(sheet.Pixel(10, 23), Rgb(T(theme).ShadeColor)) << std::hex << c.ViewKind;
        }
    }
}

// The shaded frame of a docked toolbar ends in the shade at its lower right corner.
TEST(TristanFamily, ToolbarFrameCorner) {
    for (const wchar_t* name : {L"Tristan", L"Tristan2"}) {
        ThemeHolder theme(name);
        Sheet sheet(60, 30, kGround);
        TThmToolbarFrameInfo frame{};
        frame.ViewKind = vkToolbarBar;
        theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 0, 50, 24}, frame);
        EXPECT_EQ(sheet.Pixel(49, 23), Rgb(T(theme).ShadeColor)) << testing::PrintToString(name);
        EXPECT_EQ(sheet.Pixel(20, 23), Rgb(T(theme).EdgeColor)) << testing::PrintToString(name);
        EXPECT_EQ(sheet.Pixel(0, 0), Rgb(classlib::clBtnFace)) << testing::PrintToString(name);
    }
}

// A checked button's gloss on a dark state colour: the overshoot band is computed in int and
// clamped, so it stays dark instead of wrapping round to a light colour.
TEST(TristanFamily, DarkGlossDoesNotWrap) {
    for (const wchar_t* name : {L"Tristan", L"Tristan2"}) {
        ThemeHolder theme(name);
        T(theme).States.Item[2][scFill] = 0x101010;
        T(theme).States.Item[2][scFrame] = classlib::clNone;
        Sheet sheet(30, 30, kGround);
        TThmItemInfo item = Item(vkToolbarBar);
        item.Checked = true;
        theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 21}, item);
        // The face inside the (empty) frame: 19 lines, n 18, Half 9; line 9 lies halfway between
        // the overshoot colour, clamped to black, and the state colour.
        EXPECT_EQ(sheet.Pixel(5, 1), RGB(255, 255, 255)) << "white at the top";
        EXPECT_EQ(sheet.Pixel(5, 10), RGB(8, 8, 8));
        for (int y = 10; y < 20; ++y) EXPECT_LE(GetRValue(sheet.Pixel(5, y)), 0x10) << testing::PrintToString(name) << y;
        theme->HandleThemeNotice(tnRebuildColors);
    }
}

// Tristan2: a pushed button shows the shade-to-white gloss whatever its state colour, and its
// text is the highlight; popups keep a plain ground.
TEST(Tristan2, PushedGlossAndPlainPopups) {
    ThemeHolder theme(L"Tristan2");
    TThmItemInfo item = Item(vkToolbarBar);
    item.Pushed = true;
    item.HotState = hsSelected;
    EXPECT_EQ(theme->GetItemTextColor(item), static_cast<TColor>(classlib::ColorToRGB(classlib::clHighlight)));
    Sheet sheet(30, 30, kGround);
    theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 20, 22}, item);
    EXPECT_EQ(sheet.Pixel(5, 1), Rgb(T(theme).ShadeColor)) << "the gloss starts at the shade";
    EXPECT_EQ(sheet.Pixel(0, 5), Rgb(classlib::clHighlight)) << "the highlight frame";
    sheet.Dib.Fill(kGround);
    theme->PaintViewBackground(sheet.Canvas, RECT{}, RECT{0, 0, 30, 30}, RECT{0, 0, 30, 30}, 0x336699, false,
                               vkPopupMenu);
    EXPECT_EQ(sheet.Dib.Count(RGB(0x99, 0x66, 0x33)), 30 * 30);
}

// Tristan2 glosses each popup row's image column, also under a blank separator, which draws no line.
TEST(Tristan2, BlankSeparatorKeepsItsImageColumn) {
    ThemeHolder theme(L"Tristan2");
    Sheet sheet(60, 12, kGround);
    TThmItemInfo item = Item(vkPopupMenu, 0, false);
    item.ImageColumnWidth = 22;
    theme->PaintItemSeparator(sheet.Canvas, RECT{0, 0, 60, 10}, item, true, false);
    EXPECT_EQ(sheet.Pixel(0, 5), RGB(255, 255, 255)) << "the column's white edge";
    EXPECT_NE(sheet.Pixel(12, 5), kGround);
    EXPECT_EQ(sheet.Pixel(40, 5), kGround) << "no line";
}

}  // namespace
