// The classic looks on the "Default" theme: "Roma", "Stripes", "Aluminum", "Monai", "MonaiXP".
// Their own pixels, and the places where a stripe loop or a grip pattern could reach past the
// clip or leave the device context changed.
#include <gtest/gtest.h>

#include <string>

#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmmonaixp.h"
#include "controls/toolbar/themed/themes/thmstripes.h"
#include "thmtestkit.h"

namespace {

using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);
const TColor kGrey = static_cast<TColor>(RGB(0x80, 0x80, 0x80));

struct StripeCase {
    const wchar_t* Theme;
    int Period;
};
const StripeCase kStriped[] = {{kThemeRoma, 3}, {kThemeStripes, 5}};

// A dark and a light line start every period from the view's top; the rest is the view's
// colour. A repaint clipped to a band in the middle paints that band only, in the same phase.
TEST(ClassicThemes, StripesArePhasedFromTheViewAndStayInTheClip) {
    for (const StripeCase& c : kStriped) {
        ThemeHolder theme(c.Theme);
        const RECT view{0, 3, 20, 43};
        Sheet whole(20, 45, kGround);
        theme->PaintViewBackground(whole.Canvas, view, view, view, kGrey, false, vkToolbarBar);
        const COLORREF dark = whole.Pixel(5, 3), light = whole.Pixel(5, 4);
        EXPECT_LT(GetRValue(dark), 0x80) << c.Period;
        EXPECT_GT(GetRValue(light), 0x80) << c.Period;
        for (int y = 3; y < 43; ++y) {
            const int phase = (y - 3) % c.Period;
            EXPECT_EQ(whole.Pixel(5, y), phase == 0 ? dark : phase == 1 ? light : Rgb(kGrey)) << c.Period << " y " << y;
        }
        EXPECT_EQ(whole.Pixel(5, 43), kGround);

        // Clip rows 12..19 (a band that starts mid-period).
        Sheet part(20, 45, kGround);
        const RECT clip{0, 12, 20, 20};
        theme->PaintViewBackground(part.Canvas, view, view, clip, kGrey, false, vkToolbarBar);
        for (int y = 0; y < 45; ++y)
            EXPECT_EQ(part.Pixel(5, y), y >= 12 && y < 20 ? whole.Pixel(5, y) : kGround) << c.Period << " y " << y;
    }
}

// Menu bars and opaque-item toolbars are flat in the striped themes; Monai and MonaiXP are
// flat everywhere.
TEST(ClassicThemes, FlatBackgrounds) {
    struct Case {
        const wchar_t* Theme;
        int ViewKind;
    };
    for (const Case& c : {Case{kThemeRoma, vkMenuBar}, Case{kThemeRoma, vkToolbarBar | vkOpaqueItems},
                          Case{kThemeMonai, vkToolbarBar}, Case{kThemeMonai, vkPopupMenu},
                          Case{kThemeMonaiXP, vkToolbarBar}}) {
        ThemeHolder theme(c.Theme);
        Sheet sheet(10, 12, kGround);
        const RECT view{0, 0, 10, 12};
        theme->PaintViewBackground(sheet.Canvas, view, view, view, kGrey, false, c.ViewKind);
        for (int y = 0; y < 12; ++y) EXPECT_EQ(sheet.Pixel(4, y), Rgb(kGrey)) << std::hex << c.ViewKind << " y " << y;
    }
}

// A checked button: a checker inside an outline with cut corners (the corner stays as it was).
// Idle, the checker is of the window colour and the highlight; pushed, of the highlight and a
// mix of it with the button face, so the two neighbours differ.
TEST(ClassicThemes, CheckedButtonOutlineWithCutCorners) {
    for (const wchar_t* name : {kThemeRoma, kThemeStripes}) {
        ThemeHolder theme(name);
        Sheet idle(24, 24, kGround);
        TThmItemInfo item = Item(vkToolbarBar);
        item.Checked = true;
        theme->PaintItemButton(idle.Canvas, RECT{0, 0, 22, 22}, item);
        EXPECT_EQ(idle.Pixel(0, 0), kGround);
        EXPECT_EQ(idle.Pixel(2, 0), Rgb(classlib::clBtnShadow));
        for (int x : {10, 11})
            EXPECT_TRUE(idle.Pixel(x, 10) == Rgb(classlib::clWindow) || idle.Pixel(x, 10) == Rgb(classlib::clBtnHighlight));
        Sheet sheet(24, 24, kGround);
        item.Pushed = true;
        theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, item);
        EXPECT_EQ(sheet.Pixel(0, 0), kGround);
        EXPECT_EQ(sheet.Pixel(2, 0), Rgb(classlib::clBtnShadow));
        EXPECT_EQ(sheet.Pixel(0, 11), Rgb(classlib::clBtnShadow));
        const COLORREF a = sheet.Pixel(10, 10), b = sheet.Pixel(11, 10);
        EXPECT_NE(a, b);  // a checker, not a flat fill
        EXPECT_EQ(sheet.Pixel(12, 10), a);
    }
}

// Answers that differ between the looks.
TEST(ClassicThemes, MetricsAndFills) {
    ThemeHolder roma(kThemeRoma), aluminum(kThemeAluminum), monaiXP(kThemeMonaiXP);
    for (int i = 1; i <= 7; ++i) EXPECT_FALSE(roma->GetBoolMetric(i)) << i;
    EXPECT_EQ(roma->GetIntMetric(10), 12);
    EXPECT_EQ(roma->GetIntMetric(36), 1);
    EXPECT_EQ(roma->GetIntMetric(60), 2);
    EXPECT_EQ(roma->GetIntMetric(35), -1);

    for (int i : {1, 3, 5, 6, 7}) EXPECT_TRUE(aluminum->GetBoolMetric(i)) << i;
    for (int i : {2, 4}) EXPECT_FALSE(aluminum->GetBoolMetric(i)) << i;
    EXPECT_EQ(Rgb(aluminum->GetViewFillColor(vkMenuBar)), RGB(0xDF, 0xDF, 0xDF));
    EXPECT_EQ(Rgb(aluminum->GetViewFillColor(vkToolbarBar)), RGB(0xDF, 0xDF, 0xDF));
    TThmItemInfo hot = Item(vkToolbarBar);
    hot.HotState = hsSelected;
    Sheet sheet(4, 4, kGround);
    const POINT shift = aluminum->GetItemImageShift(sheet.Canvas, hot, nullptr);
    EXPECT_EQ(shift.x, 0);
    EXPECT_EQ(shift.y, 0);

    EXPECT_EQ(monaiXP->GetViewFillColor(vkToolBoxPopup), classlib::clWindow);
}

// The brushed metal of Aluminum is made once for all its instances and dropped with the last.
TEST(ClassicThemes, AluminumTextureLivesAsLongAsAnInstance) {
    ReleaseStreakTextures();
    {
        ThemeHolder first(kThemeAluminum);
        Sheet sheet(40, 30, kGround);
        const RECT view{0, 0, 40, 30};
        first->PaintDockBackground(sheet.Canvas, view, view, 1);
        first->PaintViewBackground(sheet.Canvas, view, view, view, first->GetViewFillColor(vkToolbarBar), false,
                                   vkToolbarBar);
        EXPECT_TRUE(StreakTexturesBuilt());
        {
            ThemeHolder second(kThemeAluminum);
        }
        EXPECT_TRUE(StreakTexturesBuilt());
    }
    EXPECT_FALSE(StreakTexturesBuilt());
}

// Grip beads need the bar's colour; a bar with a clear brush gets single light and dark dots
// on whatever lies beneath (never a pattern built from "no colour"). The brush origin is back.
TEST(ClassicThemes, MonaiXPGripOnAClearBarIsDotsOnly) {
    themes::TThmMonaiXPTheme theme(kThemeMonaiXP);
    for (TColor base : {classlib::clNone, kGrey}) {
        Sheet sheet(20, 20, kGround);
        SetBrushOrgEx(sheet.Dib.DC, 3, 5, nullptr);
        theme.PaintGripPatternFill(sheet.Dib.DC, RECT{2, 2, 18, 18}, base, 1);
        POINT origin{};
        GetBrushOrgEx(sheet.Dib.DC, &origin);
        EXPECT_EQ(origin.x, 3);
        EXPECT_EQ(origin.y, 5);
        int ground = 0, dots = 0, other = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const COLORREF p = sheet.Pixel(x, y);
                const bool inside = x >= 2 && x < 18 && y >= 2 && y < 18;
                if (!inside) {
                    EXPECT_EQ(p, kGround) << x << "," << y;
                    continue;
                }
                if (p == kGround) ++ground;
                else if (p == GetSysColor(COLOR_BTNHIGHLIGHT) || p == GetSysColor(COLOR_BTNSHADOW)) ++dots;
                else ++other;
            }
        if (base == classlib::clNone) {
            EXPECT_GT(dots, 0);
            EXPECT_EQ(other, 0);
        } else {
            EXPECT_EQ(ground, 0);
            EXPECT_GT(other, 0);
        }
    }
}

// Stripes' grip dots, as a table over the base colour: with a colour the tile of a light dot
// at each 4 x 4 cell's top-left and a dark one below right of it is laid from the centred area's
// corner over that colour; with a clear brush only single dots, one further right and down.
// Nothing lands outside the rectangle, and the brush origin is put back.
TEST(ClassicThemes, StripesGripDots) {
    themes::TThmStripesTheme theme(kThemeStripes);
    const TColor silver = static_cast<TColor>(RGB(0xC0, 0xC0, 0xC0));
    const RECT rect{3, 3, 17, 17};  // deflated by 1: 12 wide, so the area is 10 x 10 at (4, 4)
    for (TColor base : {silver, classlib::clNone}) {
        Sheet sheet(20, 20, kGround);
        SetBrushOrgEx(sheet.Dib.DC, 1, 2, nullptr);
        theme.PaintGripDots(sheet.Dib.DC, rect, base, 1);
        POINT origin{};
        GetBrushOrgEx(sheet.Dib.DC, &origin);
        EXPECT_EQ(origin.x, 1);
        EXPECT_EQ(origin.y, 2);
        const COLORREF fill = base == classlib::clNone ? kGround : RGB(0xC0, 0xC0, 0xC0);
        const int shift = base == classlib::clNone ? 1 : 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const COLORREF p = sheet.Pixel(x, y);
                const bool inside = x >= 3 && x < 17 && y >= 3 && y < 17;
                const int ax = x - 4 - shift, ay = y - 4 - shift;  // place in the grip area's cells
                const bool inArea = ax >= 0 && ay >= 0 && x < 14 + shift && y < 14 + shift;
                const bool lightDot = inArea && ax % 4 == 0 && ay % 4 == 0;
                const bool darkDot = inArea && ax % 4 == 1 && ay % 4 == 1;
                if (!inside) EXPECT_EQ(p, kGround) << x << "," << y;
                else if (lightDot) EXPECT_GT(GetRValue(p), GetRValue(fill)) << x << "," << y;
                else if (darkDot) EXPECT_LT(GetRValue(p), base == classlib::clNone ? 0xFF : 0xC0) << x << "," << y;
                else EXPECT_EQ(p, fill) << x << "," << y;
            }
    }
}

}  // namespace
