// The theme kit: state rows, the office colour model's substitutions, the glyph strip, and the
// gradients and faces, including the one-line bands and tall faces the themes must survive.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"
#include "controls/toolbar/themed/themes/thmkit.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using testsupport::MemoryDib;
using themetest::Item;

TEST(ThemeKit, StateRows) {
    struct Case {
        bool Enabled, Pushed, Checked, Open;
        BYTE Hot;
        int ItemRow, PopupRow;
    };
    const Case cases[] = {
        {true, false, false, false, hsNone, 0, 0},       {false, false, true, false, hsNone, 1, 1},
        {false, true, false, true, hsKeyboardSelected, 5, 3}, {true, true, true, true, hsSelected, 7, 2},
        {true, true, true, false, hsNone, 3, 0},         {true, false, true, false, hsSelected, 6, 2},
        {true, false, true, false, hsNone, 2, 0},        {true, false, false, false, hsKeyboardSelected, 4, 2},
    };
    for (const Case& c : cases) {
        TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle, c.Enabled);
        item.Pushed = c.Pushed;
        item.Checked = c.Checked;
        item.PopupOpen = c.Open;
        item.HotState = c.Hot;
        EXPECT_EQ(ItemStateRow(item), c.ItemRow) << &c - cases;
        EXPECT_EQ(PopupStateRow(item), c.PopupRow) << &c - cases;
    }
}

TEST(ThemeKit, OpaqueItemsFillMissingColours) {
    TThmStateColors colors;
    for (auto& row : colors.Item) row[0] = row[1] = row[2] = classlib::clNone;
    for (auto& row : colors.Popup) row[0] = row[1] = row[2] = 0x00FF00;
    TThmItemInfo item = Item(vkToolbarBar | vkOpaqueItems);
    EXPECT_EQ(colors.ButtonStateColor(item, scFill, 0x123456), 0x123456);
    EXPECT_EQ(colors.ButtonStateColor(item, scFrame, 0x123456), classlib::clBtnShadow);
    EXPECT_EQ(colors.ButtonStateColor(item, scText, 0x123456), classlib::clNone);
    item.Checked = true;
    EXPECT_EQ(colors.ButtonStateColor(item, scFrame, 0x123456), classlib::clWindowFrame);
    EXPECT_EQ(colors.ItemStateColor(item, scFrame, 0x123456), classlib::clBtnShadow) << "no window frame here";
    item.ViewKind = vkToolbarBar;
    EXPECT_EQ(colors.ButtonStateColor(item, scFill, 0x123456), classlib::clNone);
    TThmItemInfo popupItem = Item(vkPopupMenu, 0);
    EXPECT_EQ(colors.ItemStateColor(popupItem, scFill, 0x123456), 0x00FF00);
    EXPECT_EQ(colors.ButtonStateColor(popupItem, scFill, 0x123456), classlib::clNone) << "buttons use the item table";
}

// The strip's glyphs are its dark pixels: stamped, they take the colour asked for and leave the
// ground as it was.
TEST(ThemeKit, GlyphStripStampsItsGlyphPixels) {
    TThmGlyphList glyphs;
    ASSERT_EQ(glyphs.Images().Count(), 4);
    MemoryDib dib(16, 16, RGB(255, 255, 255));
    PaintMonoGlyph(dib.DC, 0, 0, glyphs.Images(), kGlyphClose, 0x0000FF);
    EXPECT_EQ(dib.Pixel(4, 5), RGB(255, 0, 0));
    EXPECT_EQ(dib.Pixel(7, 8), RGB(255, 0, 0));
    EXPECT_EQ(dib.Pixel(6, 5), RGB(255, 255, 255));
    EXPECT_EQ(dib.Count(RGB(255, 0, 0)), 26);
    dib.Fill(RGB(255, 255, 255));
    PaintMonoGlyph(dib.DC, 0, 0, glyphs.Images(), kGlyphMinimize, 0x000000);
    EXPECT_EQ(dib.Count(RGB(0, 0, 0)), 12);
    EXPECT_EQ(TThmGlyphList::CellForMDIButton(2), -1);
    EXPECT_EQ(TThmGlyphList::CellForMDIButton(3), kGlyphRestore);
}

TEST(ThemeKit, GlossPhasesAndOvershoot) {
    MemoryDib dib(8, 12, RGB(1, 2, 3));
    PaintGlossBitmap(dib.DC, RECT{0, 0, 2, 1}, 0x0000FF, 0x00FF00, true);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(255, 0, 0)) << "a one-line band is Color1";
    // Five rows: n 4, Half 2; rows show source lines 0, 0, 1, 2, 3.
    PaintGlossBitmap(dib.DC, RECT{0, 2, 1, 7}, 0x404040, 0xC0C0C0, true);
    EXPECT_EQ(dib.Pixel(0, 2), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(dib.Pixel(0, 4), RGB(0x80, 0x80, 0x80));
    // Over = C0 + (40 - C0) x 15 div 9 = 0 (clamped); row 5 shows line 2: 0 + 0x40 x 2 div 4.
    EXPECT_EQ(dib.Pixel(0, 5), RGB(0x20, 0x20, 0x20));
    PaintGlossBitmap(dib.DC, RECT{1, 2, 2, 7}, 0x808080, 0xC0C0C0, true, {15, 8});
    PaintGlossBitmap(dib.DC, RECT{2, 2, 3, 7}, 0x808080, 0xC0C0C0, true, {15, 9});
    EXPECT_NE(dib.Pixel(1, 5), dib.Pixel(2, 5)) << "the overshoot differs";
    EXPECT_EQ(dib.Pixel(1, 2), dib.Pixel(2, 2)) << "the first phase does not";
}

// The unstretched gloss: one colour per line, computed in int and clamped, so that a dark state
// colour never wraps round to a light band.
TEST(ThemeKit, GlossLinesClampTheirOvershoot) {
    struct Case {
        classlib::TColor Color;
        TGlossOvershoot Overshoot;
        int Lines[5];  // grey level of lines 0..4 of a five-line band (n 4, Half 2)
    };
    const Case cases[] = {
        // Over = 255 + (128 - 255) x 15 div 9 = 44; lines 2, 3 are Over + (128 - Over) x i div 4.
        {0x808080, {15, 9}, {255, 192, 86, 107, 128}},
        // x 15 div 8: Over = 17.
        {0x808080, {15, 8}, {255, 192, 72, 100, 128}},
        // 255 + (16 - 255) x 15 div 9 = -143: clamped to 0, not taken modulo 256 (113).
        {0x101010, {15, 9}, {255, 136, 8, 12, 16}},
    };
    for (const Case& c : cases) {
        MemoryDib dib(2, 6, RGB(1, 2, 3));
        PaintGlossLines(dib.DC, RECT{0, 0, 2, 5}, c.Color, 0xFFFFFF, true, c.Overshoot);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(dib.Pixel(1, i), RGB(c.Lines[i], c.Lines[i], c.Lines[i])) << (&c - cases) << " line " << i;
        EXPECT_EQ(dib.Pixel(0, 5), RGB(1, 2, 3));
    }
    MemoryDib dib(6, 2, RGB(1, 2, 3));
    PaintGlossLines(dib.DC, RECT{0, 0, 5, 1}, 0x808080, 0xFFFFFF, false);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(255, 255, 255)) << "across: the near edge is the left one";
    EXPECT_EQ(dib.Pixel(2, 0), RGB(86, 86, 86));
    PaintGlossLines(dib.DC, RECT{0, 1, 1, 2}, 0x0000FF, 0x00FF00, false);
    EXPECT_EQ(dib.Pixel(0, 1), RGB(255, 0, 0)) << "a one-line band is Color1";
}

// The diagonal grip's lines by the part's size: their feet on the bottom row, K pixels left of
// the last column.
TEST(ThemeKit, SizeGripLinesBySize) {
    struct Case {
        int Size;
        std::vector<int> First, Second;
    };
    const Case cases[] = {{8, {2, 4, 6}, {3, 5, 7}}, {10, {2, 5, 8}, {3, 6, 9}}, {15, {2, 6, 10}, {4, 8, 12}}};
    for (const Case& c : cases) {
        MemoryDib dib(20, 20, RGB(1, 2, 3));
        PaintSizeGripLines(dib.DC, RECT{2, 2, 2 + c.Size, 2 + c.Size}, 0x0000FF, 0x00FF00);
        const int right = 2 + c.Size, bottom = 2 + c.Size;
        std::vector<int> first, second;
        for (int k = 0; k < c.Size; ++k) {
            const COLORREF foot = dib.Pixel(right - 1 - k, bottom - 1);
            if (foot == RGB(255, 0, 0)) first.push_back(k);
            if (foot == RGB(0, 255, 0)) second.push_back(k);
        }
        EXPECT_EQ(first, c.First) << c.Size;
        EXPECT_EQ(second, c.Second) << c.Size;
        EXPECT_EQ(dib.Pixel(right - 1, bottom - 3), RGB(255, 0, 0)) << "line 2 rises to the right edge";
        EXPECT_EQ(dib.Count(RGB(1, 2, 3)) + dib.Count(RGB(255, 0, 0)) + dib.Count(RGB(0, 255, 0)), 400);
        for (int y = 0; y < 20; ++y) EXPECT_EQ(dib.Pixel(1, y), RGB(1, 2, 3)) << "clipped to the part";
    }
}

TEST(ThemeKit, RampRunsFromColor2AtTheTopToColor1AtTheBottom) {
    MemoryDib dib(4, 8, RGB(1, 2, 3));
    PaintRampGradient(dib.DC, RECT{0, 0, 2, 5}, 0xFFFFFF, 0x000000, true);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(0, 4), RGB(255, 255, 255));
    EXPECT_EQ(dib.Pixel(0, 2), RGB(128, 128, 128));  // 255 - 510 div 4
    PaintRampGradient(dib.DC, RECT{0, 6, 2, 7}, 0x0000FF, 0x00FF00, true);
    EXPECT_EQ(dib.Pixel(1, 6), RGB(255, 0, 0)) << "one row is Color1";
}

TEST(ThemeKit, RadioRowsUseTheInsetTableAndSurviveTallFaces) {
    MemoryDib dib(16, 24, RGB(1, 2, 3));
    PaintRadioGradient(dib.DC, RECT{0, 0, 11, 20}, 0xFFFFFF, 0xC0C0C0, true);
    EXPECT_EQ(dib.Pixel(2, 0), RGB(1, 2, 3)) << "row 0 is inset by 3";
    EXPECT_NE(dib.Pixel(3, 0), RGB(1, 2, 3));
    EXPECT_NE(dib.Pixel(0, 5), RGB(1, 2, 3));
    EXPECT_EQ(dib.Pixel(2, 19), RGB(1, 2, 3)) << "rows past the table keep its last inset";
    EXPECT_EQ(RadioDiscInset(kRadioDiscInsets11, 40), 3);
    EXPECT_EQ(RadioDiscInset(kRadioDiscInsets11, -1), 3);
    dib.Fill(RGB(1, 2, 3));
    for (bool twoPhase : {true, false}) PaintRadioGradient(dib.DC, RECT{0, 0, 11, 1}, 0x0000FF, 0x00FF00, twoPhase);
    EXPECT_EQ(dib.Pixel(5, 0), RGB(255, 0, 0));
}

// The banded disc's rows are the banded face's lines, narrowed by the insets; faces of fewer
// than four rows (a band shorter than one line) still take the stops in order.
TEST(ThemeKit, BandedRadioRowsFollowTheBandedFace) {
    MemoryDib dib(12, 12, RGB(1, 2, 3));
    PaintRadioBanded(dib.DC, RECT{0, 0, 11, 11}, true);
    for (int row = 0; row < 11; ++row) {
        const int inset = kRadioDiscInsets11[row];
        EXPECT_EQ(dib.Pixel(inset, row), classlib::ColorToRGB(BandedButtonLineColor(bsHot, row, 11))) << row;
        if (inset > 0) EXPECT_EQ(dib.Pixel(inset - 1, row), RGB(1, 2, 3)) << row;
    }
    for (int rows : {1, 2, 3}) {
        dib.Fill(RGB(1, 2, 3));
        PaintRadioBanded(dib.DC, RECT{0, 0, 11, rows}, false);
        EXPECT_EQ(dib.Pixel(5, 0), classlib::ColorToRGB(BandedButtonLineColor(bsNormal, 0, rows))) << rows;
        EXPECT_EQ(dib.Pixel(5, rows - 1), classlib::ColorToRGB(BandedButtonLineColor(bsNormal, rows - 1, rows))) << rows;
        EXPECT_EQ(dib.Pixel(5, rows), RGB(1, 2, 3)) << rows;
    }
}

TEST(ThemeKit, StripesKeepTheirPhaseAndArea) {
    MemoryDib dib(6, 12, RGB(1, 2, 3));
    const classlib::TColor rows[3] = {0x000000, 0xFFFFFF, classlib::clNone};
    PaintStripedFill(dib.DC, RECT{1, 4, 5, 10}, 2, 0x808080, rows);
    EXPECT_EQ(dib.Pixel(1, 4), RGB(128, 128, 128));  // (4 - 2) mod 3 = 2: the base
    EXPECT_EQ(dib.Pixel(1, 5), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(1, 6), RGB(255, 255, 255));
    EXPECT_EQ(dib.Pixel(1, 7), RGB(128, 128, 128));
    EXPECT_EQ(dib.Pixel(0, 5), RGB(1, 2, 3));
    EXPECT_EQ(dib.Pixel(1, 10), RGB(1, 2, 3));
}

TEST(ThemeKit, OctagonAndFaces) {
    MemoryDib dib(16, 16, RGB(1, 2, 3));
    PaintOctagonOutline(dib.DC, RECT{0, 0, 13, 13}, 2, 1, 0x000000);
    EXPECT_EQ(dib.Pixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(dib.Pixel(2, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(11, 0), RGB(0, 0, 0));
    EXPECT_EQ(dib.Pixel(12, 0), RGB(1, 2, 3));
    EXPECT_EQ(dib.Pixel(12, 1), RGB(0, 0, 0));
    dib.Fill(RGB(1, 2, 3));
    PaintOctagonOutline(dib.DC, RECT{3, 3, 4, 4}, 2, 2, 0x000000);
    EXPECT_EQ(dib.Pixel(3, 3), RGB(0, 0, 0));
    EXPECT_EQ(dib.Count(RGB(0, 0, 0)), 1);

    dib.Fill(RGB(1, 2, 3));
    PaintEditButtonFace(dib.DC, RECT{0, 0, 8, 8}, false, true, true, 0x00FF00, 0x0000FF);
    EXPECT_EQ(dib.Pixel(4, 4), RGB(1, 2, 3)) << "hot: nothing";
    PaintEditButtonFace(dib.DC, RECT{0, 0, 8, 8}, false, false, true, 0x00FF00, 0x0000FF);
    EXPECT_EQ(dib.Pixel(4, 4), RGB(0, 255, 0));
    EXPECT_EQ(dib.Pixel(0, 4), RGB(255, 0, 0));

    dib.Fill(RGB(1, 2, 3));
    TThmPopupCheckFaceStyle style;
    TThmItemInfo item = Item(vkPopupMenu, 0);
    item.Checked = true;
    PaintPopupCheckFace(dib.DC, RECT{0, 0, 12, 12}, item, style);
    EXPECT_EQ(dib.Pixel(1, 0), RGB(0xC0, 0xC0, 0xC0)) << "the resting cut frame's corner";
    item.HotState = hsSelected;
    PaintPopupCheckFace(dib.DC, RECT{0, 0, 12, 12}, item, style);
    EXPECT_EQ(dib.Pixel(2, 0), RGB(0, 0, 0)) << "the active octagon";
}

// The dotted drag handle: a column of dots every 4 rows across a horizontal bar (a row along the
// top of a vertical one), doubled for dhDouble and moved toward the bar's start by the theme's
// shift, clear of a close button; nothing for dhNone.
TEST(ThemeKit, GripDotRows) {
    struct Case {
        bool Vertical;
        int Style, Close, Shift;
        int FirstX, FirstY, Dots;
    };
    const Case cases[] = {
        {false, dhSingle, 0, 2, 3, 6, 5},          {false, dhDouble, 0, 2, 1, 6, 10},
        {false, dhDouble, 0, 0, 3, 6, 10},         {false, dhDouble, cbsShown, 1, 6, 18, 4},
        {true, dhSingle, 0, 1, 6, 3, 5},           {true, dhDouble, 0, 1, 6, 2, 10},
        {false, dhNone, 0, 2, -1, -1, 0},
    };
    const TGripDotColors colors{{0x000001, 0x000002, 0x000003, 0x000004}, {0x000005, 0x000006, 0x000007}};
    for (const Case& c : cases) {
        MemoryDib dib(40, 40, RGB(255, 255, 255));
        TThmToolbarFrameInfo frame{};
        frame.Vertical = c.Vertical;
        frame.AllowDrag = true;
        frame.DragHandleStyle = c.Style;
        frame.CloseButtonState = c.Close;
        const int g = GetDragHandleSize(frame);
        const RECT zone = c.Vertical ? RECT{2, 2, 30, 2 + g} : RECT{2, 2, 2 + g, 30};
        PaintGripDotRows(dib.DC, zone, frame, colors, c.Shift);
        EXPECT_EQ(dib.Count(RGB(1, 0, 0)), c.Dots) << &c - cases;
        if (c.Dots > 0) EXPECT_EQ(dib.Pixel(c.FirstX, c.FirstY), RGB(1, 0, 0)) << &c - cases;
    }
}

TEST(ThemeKit, BarBackgroundRunsAcrossByShape) {
    const RECT none{}, dock{0, 0, 300, 30}, empty{5, 5, 5, 5};
    EXPECT_TRUE(BarBackgroundRunsAcross(none, RECT{0, 0, 50, 20}, RECT{0, 0, 5, 20}));
    EXPECT_FALSE(BarBackgroundRunsAcross(none, RECT{0, 0, 20, 50}, RECT{0, 0, 20, 5}));
    EXPECT_FALSE(BarBackgroundRunsAcross(dock, RECT{0, 0, 50, 20}, RECT{0, 0, 5, 20})) << "the painted part decides";
    EXPECT_TRUE(BarBackgroundRunsAcross(empty, RECT{0, 0, 20, 50}, RECT{0, 0, 20, 5})) << "only no rectangle at all";
}

}  // namespace
