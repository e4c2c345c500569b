// The Nexos family together: what all six themes must do alike, chiefly the places where a
// frame, a disc or a grip of fixed size would reach past the rectangle it is given.
#include <gtest/gtest.h>

#include <string>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmnexos.h"
#include "thmtestkit.h"

namespace {

using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

const wchar_t* const kFamily[] = {kThemeNexos2, kThemeNexos3, kThemeNexosX, kThemeNexos4, kThemeNexos5, kThemeEos};

// Every pixel of the sheet outside `rect` is still the ground.
::testing::AssertionResult NothingOutside(const Sheet& sheet, const RECT& rect) {
    for (int y = 0; y < sheet.Dib.Height; ++y)
        for (int x = 0; x < sheet.Dib.Width; ++x) {
            const POINT p{x, y};
            if (!PtInRect(&rect, p) && sheet.Pixel(x, y) != kGround)
                return ::testing::AssertionFailure() << "painted (" << x << "," << y << ")";
        }
    return ::testing::AssertionSuccess();
}

// The family's docked toolbars begin their stripes one to three rows above the rectangle; the
// stripes keep that alignment but only the rectangle is painted, whichever way the bar docks.
TEST(NexosFamily, DockedToolbarFramesStayInTheirRectangle) {
    for (const wchar_t* name : kFamily) {
        ThemeHolder theme(name);
        for (bool vertical : {false, true})
            for (int viewKind : {vkToolbarBar, vkMenuBar}) {
                Sheet sheet(80, 50, kGround);
                const RECT rect{10, 10, 70, 40};
                TThmToolbarFrameInfo frame{};
                frame.ViewKind = viewKind;
                frame.Vertical = vertical;
                frame.BorderStyle = 1;
                frame.AllowDrag = true;
                frame.DragHandleStyle = dhDouble;
                frame.CloseButtonState = cbsShown | cbsHot;
                theme->GetViewBorderSize(viewKind, frame.BorderSize);
                sheet.Canvas.Brush().SetColor(theme->GetViewFillColor(viewKind));
                theme->PaintToolbarFrame(sheet.Canvas, rect, frame);
                EXPECT_TRUE(NothingOutside(sheet, rect)) << testing::PrintToString(std::wstring(name)) << " vertical "
                                                         << vertical << " view 0x" << std::hex << viewKind;
            }
    }
}

// The radio disc has a fixed size of 13 x 13 at the rectangle's corner; in a smaller rectangle
// it is cut to that rectangle. The check box's outline and mark follow the rectangle.
TEST(NexosFamily, CheckControlsStayInSmallRectangles) {
    for (const wchar_t* name : kFamily) {
        ThemeHolder theme(name);
        for (int kind : {1, 2})
            for (int state : {0, 1, 2, 9, 0x19, 5}) {
                Sheet sheet(30, 30, kGround);
                const RECT rect{10, 10, 19, 19};
                theme->PaintCheckControl(sheet.Canvas, rect, kind, state, 0);
                EXPECT_TRUE(NothingOutside(sheet, rect))
                    << testing::PrintToString(std::wstring(name)) << " kind " << kind << " state " << state;
            }
    }
}

// An item being designed that is neither hot nor checked takes the normal row, whose frame is no
// colour: it gets no outline at all (no colour never paints as black). ("NexosX" outlines every
// button face in fixed greys, whatever the state's colours.)
TEST(NexosFamily, DesignedIdleItemHasNoOutline) {
    for (const wchar_t* name : {kThemeNexos2, kThemeNexos3, kThemeNexos4, kThemeNexos5, kThemeEos}) {
        ThemeHolder theme(name);
        for (int flags : {ifToolbarStyle | ifDesigning, ifDesigning}) {
            Sheet sheet(30, 30, kGround);
            theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 22, 22}, Item(vkToolbarBar, flags));
            for (POINT p : {POINT{0, 11}, POINT{11, 0}, POINT{21, 11}, POINT{11, 21}})
                EXPECT_EQ(sheet.Pixel(p.x, p.y), kGround)
                    << testing::PrintToString(std::wstring(name)) << " (" << p.x << "," << p.y << ")";
            EXPECT_FALSE(sheet.Dib.Has(RGB(0, 0, 0))) << testing::PrintToString(std::wstring(name));
        }
    }
}

// The MDI close button stamps the glyph strip's cross (cell 0) in the item's text colour: its
// pixel (7, 7), and nothing at the cell's corner.
TEST(NexosFamily, MDICloseButtonStampsTheGlyphStripCross) {
    for (const wchar_t* name : kFamily) {
        ThemeHolder theme(name);
        Sheet sheet(20, 20, kGround);
        const TThmItemInfo item = Item(vkMenuBar);
        theme->PaintMDICaptionButton(sheet.Canvas, RECT{0, 0, 16, 16}, item, 0);
        EXPECT_EQ(sheet.Pixel(7, 7), Rgb(theme->GetItemTextColor(item))) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(sheet.Pixel(0, 0), kGround) << testing::PrintToString(std::wstring(name));
    }
}

// A resting toolbar shows every stripe row it is given, and a repaint of part of it lines up
// with a whole paint.
TEST(NexosFamily, PartialRepaintMatchesTheWholeBackground) {
    for (const wchar_t* name : kFamily) {
        ThemeHolder theme(name);
        const TColor fill = theme->GetViewFillColor(vkToolbarBar);
        Sheet whole(30, 40, kGround), part(30, 40, kGround);
        const RECT rect{0, 3, 30, 40};
        theme->PaintViewBackground(whole.Canvas, rect, rect, rect, fill, false, vkToolbarBar);
        theme->PaintViewBackground(part.Canvas, rect, rect, RECT{0, 17, 30, 29}, fill, false, vkToolbarBar);
        for (int y = 0; y < 40; ++y)
            EXPECT_EQ(part.Pixel(5, y), y >= 17 && y < 29 ? whole.Pixel(5, y) : kGround)
                << testing::PrintToString(std::wstring(name)) << " row " << y;
    }
}

}  // namespace
