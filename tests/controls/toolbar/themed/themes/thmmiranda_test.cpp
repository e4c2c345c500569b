// The "Miranda" and "Zezio" themes: their colours follow the system's, so they are checked
// against GetSysColor and, where the platform paints, pixel for pixel against the platform's own
// edges, frame controls and captions on a reference bitmap.
#include <gtest/gtest.h>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmmiranda.h"
#include "controls/toolbar/themed/themes/thmzezio.h"
#include "thmtestkit.h"

namespace {

using namespace themes;
using namespace themed;
using namespace themetest;
using classlib::TColor;

constexpr COLORREF kGround = RGB(1, 2, 3);

COLORREF Sys(int index) { return GetSysColor(index); }
COLORREF Nearest(TColor c) { return GetNearestColor(NearestColorBitmap().Canvas().Handle(), classlib::ColorToRGB(c)); }

// The pixels of `rect` on two sheets are the same.
void ExpectSameArea(const Sheet& a, const Sheet& b, const RECT& rect, const char* what) {
    int differing = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) differing += a.Pixel(x, y) != b.Pixel(x, y);
    EXPECT_EQ(differing, 0) << what;
}

class SystemLook : public ::testing::TestWithParam<const wchar_t*> {
protected:
    ThemeHolder Theme{GetParam()};
    TThmMirandaTheme& M() { return dynamic_cast<TThmMirandaTheme&>(*Theme); }
};

TEST_P(SystemLook, TextColoursFollowTheSystem) {
    struct Case {
        int ViewKind, Flags;
        bool Enabled;
        BYTE Hot;
        int SysColor;
    };
    const Case cases[] = {
        {vkPopupMenu, 0, false, hsKeyboardSelected, COLOR_BTNSHADOW},
        {vkPopupMenu, 0, true, hsSelected, COLOR_HIGHLIGHTTEXT},
        {vkMenuBar, ifToolbarStyle, true, hsNone, COLOR_GRAYTEXT},  // the application inactive
        {vkMenuBar, ifToolbarStyle | ifAppActive, true, hsNone, COLOR_MENUTEXT},
        {vkToolbarBar, ifToolbarStyle | ifAppActive, true, hsSelected, COLOR_BTNTEXT},
    };
    for (const Case& c : cases) {
        TThmItemInfo item = Item(c.ViewKind, c.Flags, c.Enabled);
        item.HotState = c.Hot;
        EXPECT_EQ(classlib::ColorToRGB(Theme->GetItemTextColor(item)), Sys(c.SysColor)) << &c - cases;
    }
    TThmItemInfo disabled = Item(vkToolbarBar, ifToolbarStyle, false);
    EXPECT_EQ(Theme->GetItemTextColor(disabled), ColorBlendPercent(classlib::clBtnShadow, classlib::clWindow, 90));
    // A split part of a popup item takes the item table: no highlight fill for it.
    TThmItemInfo split = Item(vkPopupMenu, 0);
    split.HotState = hsSelected;
    EXPECT_EQ(Theme->GetItemFillColor(split), M().States.Popup[2][scFill]);
    split.SplitPart = spSplitButton;
    EXPECT_EQ(Theme->GetItemFillColor(split), M().States.Item[4][scFill]);
}

// The popup's scroll buttons and the panel's caption edge are the platform's own.
TEST_P(SystemLook, PlatformPartsMatchThePlatform) {
    const RECT rect{2, 2, 18, 14};
    for (bool hot : {false, true})
        for (int direction : {1, 2, 3, 4}) {
            Sheet ours(20, 16, kGround), platform(20, 16, kGround);
            Theme->PaintScrollArrowButton(ours.Canvas, rect, direction, hot);
            const UINT states[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
            RECT r = rect;
            DrawFrameControl(platform.Dib.DC, &r, DFC_SCROLL, states[direction - 1] | (hot ? DFCS_FLAT : 0));
            ExpectSameArea(ours, platform, RECT{0, 0, 20, 16}, hot ? "hot scroll button" : "scroll button");
        }
    // The caption band of a docked panel: a raised inner edge one pixel inside the outer ring.
    TThmDockPanelFrameInfo frame{};
    frame.ViewKind = vkDockPanelDocked;
    frame.CaptionHorizontal = true;
    frame.BorderSize = POINT{2, 2};
    frame.CaptionShown = true;
    Sheet ours(80, 60, kGround), platform(80, 60, kGround);
    Theme->PaintDockPanelFrame(ours.Canvas, RECT{0, 0, 80, 60}, frame);
    const int cy = GetSystemMetrics(SM_CYSMCAPTION);
    RECT band{1, 1, 79, 1 + cy};
    DrawEdge(platform.Dib.DC, &band, BDR_RAISEDINNER, BF_RECT);
    ExpectSameArea(ours, platform, RECT{1, 1, 79, 2}, "the band's top edge");
    ExpectSameArea(ours, platform, RECT{1, cy, 79, cy + 1}, "the band's bottom edge");
    EXPECT_EQ(ours.Pixel(0, 0), Nearest(classlib::clBtnFace)) << "the outer ring";
}

// A floating frame's caption is the platform's caption of the floating window; without a window
// the same bar is painted in the caption colours with the frame's text, never asked of a null
// window.
TEST_P(SystemLook, FloatingCaptionWithAndWithoutItsWindow) {
    HWND window = CreateWindowExW(0, L"STATIC", L"ツール", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    TThmFloatingFrameInfo frame{};
    frame.WindowHandle = window;
    frame.ViewKind = vkToolbarBar | vkFloating;
    Theme->GetViewBorderSize(frame.ViewKind, frame.BorderSize);
    frame.ClientWidth = 120;
    frame.ClientHeight = 40;
    frame.CaptionShown = true;
    frame.RedrawParts = rpCaption;
    frame.Caption = L"ツール";
    frame.Active = true;
    const RECT rect{0, 0, 120 + 2 * frame.BorderSize.x, 40 + 2 * frame.BorderSize.y};
    const RECT caption = GetFloatingCaptionRect(frame, true, false);
    BOOL gradient = FALSE;
    SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    Sheet ours(140, 60, kGround), platform(140, 60, kGround);
    Theme->PaintFloatingFrame(ours.Canvas, rect, frame);
    RECT r = caption;
    DrawCaption(window, platform.Dib.DC, &r, DC_SMALLCAP | DC_TEXT | DC_ACTIVE | (gradient ? DC_GRADIENT : 0));
    ExpectSameArea(ours, platform, caption, "the window's caption");
    EXPECT_EQ(ours.Pixel(caption.left + 2, caption.bottom), Sys(COLOR_BTNFACE)) << "the row below";
    DestroyWindow(window);

    frame.WindowHandle = nullptr;
    for (bool active : {true, false}) {
        frame.Active = active;
        Sheet alone(140, 60, kGround), untitled(140, 60, kGround);
        Theme->PaintFloatingFrame(alone.Canvas, rect, frame);
        EXPECT_EQ(alone.Pixel(caption.left, caption.top + 1), Sys(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        frame.Caption = L"";
        Theme->PaintFloatingFrame(untitled.Canvas, rect, frame);
        frame.Caption = L"ツール";
        int textPixels = 0;
        for (int y = caption.top; y < caption.bottom; ++y)
            for (int x = caption.left; x < caption.right; ++x) textPixels += alone.Pixel(x, y) != untitled.Pixel(x, y);
        EXPECT_GT(textPixels, 10) << "the frame's caption text, active " << active;
    }
}

// The docked bar's raised edge, and its background started a row above the bar kept inside it.
TEST_P(SystemLook, ToolbarFrameEdgeAndBackgroundStayInside) {
    Sheet sheet(60, 40, kGround);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 10, 50, 34}, frame);
    EXPECT_EQ(sheet.Pixel(20, 9), kGround);
    EXPECT_EQ(sheet.Pixel(0, 10), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(sheet.Pixel(20, 33), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(sheet.Pixel(49, 20), Sys(COLOR_BTNSHADOW));
}

INSTANTIATE_TEST_SUITE_P(Themes, SystemLook, ::testing::Values(L"Miranda", L"Zezio"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return testsupport::Narrow(info.param);
                         });

class Miranda : public ::testing::Test {
protected:
    ThemeHolder Theme{L"Miranda"};
};

TEST_F(Miranda, MetricsAndMargins) {
    EXPECT_EQ(Theme->GetIntMetric(35), 5);
    EXPECT_EQ(Theme->GetIntMetric(50), 5);
    EXPECT_EQ(Theme->GetIntMetric(66), 1);
    EXPECT_EQ(Theme->GetIntMetric(63), -1);
    TThmMargins popup{};
    Theme->GetMarginSet(mkPopupItem, popup);
    EXPECT_EQ(popup.LeftWidth, 0);
    EXPECT_EQ(popup.RightWidth, 0);
    EXPECT_EQ(popup.TopHeight, 3);
    EXPECT_EQ(popup.BottomHeight, 3);
}

// A hot popup item with an image is a flat highlight bar from the image column's right edge.
TEST_F(Miranda, HotPopupItemIsFlatHighlightRightOfTheImageColumn) {
    Sheet sheet(120, 24, kGround);
    TThmItemInfo item = Item(vkPopupMenu, 0);
    item.HotState = hsSelected;
    item.ImageWidth = 16;
    item.ImageColumnWidth = 22;
    Theme->PaintPopupItem(sheet.Canvas, RECT{0, 0, 100, 20}, item);
    const int start = Theme->GetIntMetric(tmMenuImageGap) + 22;
    EXPECT_EQ(sheet.Pixel(start, 10), Nearest(classlib::clHighlight));
    EXPECT_EQ(sheet.Pixel(60, 0), Nearest(classlib::clHighlight));
    EXPECT_NE(sheet.Pixel(start - 1, 0), Nearest(classlib::clHighlight));
}

// Dotted popup separators from 14 pixels into the item, wherever the item starts.
TEST_F(Miranda, PopupSeparatorDotsStartAtTheImageColumnEnd) {
    Sheet sheet(100, 12, kGround);
    const TThmItemInfo item = Item(vkPopupMenu, 0);
    Theme->PaintItemSeparator(sheet.Canvas, RECT{20, 0, 90, 10}, item, true, false);
    EXPECT_EQ(sheet.Pixel(34, 5), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(sheet.Pixel(37, 5), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(sheet.Pixel(35, 5), kGround);
    EXPECT_EQ(sheet.Pixel(31, 5), kGround);
}

TEST_F(Miranda, StatusPanelDivider) {
    Sheet sheet(40, 30, kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 30, 20}, 1);
    const COLORREF divider = classlib::ColorToRGB(ColorBlendPercent(classlib::clBtnShadow, classlib::clWindow, 90));
    EXPECT_EQ(sheet.Pixel(27, 4), divider);
    EXPECT_EQ(sheet.Pixel(27, 16), divider);
    EXPECT_EQ(sheet.Pixel(27, 17), kGround);
}

class Zezio : public ::testing::Test {
protected:
    ThemeHolder Theme{L"Zezio"};
};

// Stripes of a darker and a lighter face every three rows, in phase with the painted rectangle
// whatever part of it is clipped; docked panels are plain.
TEST_F(Zezio, StripesKeepTheirPhase) {
    const TColor face = classlib::clBtnFace;
    const int luma = ColorLuma(face);
    const COLORREF dark = Nearest(ColorShiftLevel(face, -8));
    const COLORREF light = Nearest(ColorShiftLevel(face, 8 + (luma < 200 ? (200 - luma) / 20 : 0)));
    Sheet sheet(30, 30, kGround);
    Theme->PaintViewBackground(sheet.Canvas, RECT{0, 0, 20, 24}, RECT{0, 0, 20, 24}, RECT{0, 4, 20, 24}, face, false,
                               vkToolbarBar);
    EXPECT_EQ(sheet.Pixel(5, 3), kGround);
    EXPECT_EQ(sheet.Pixel(5, 4), light);  // 4 mod 3 = 1
    EXPECT_EQ(sheet.Pixel(5, 5), Sys(COLOR_BTNFACE));
    EXPECT_EQ(sheet.Pixel(5, 6), dark);
    sheet.Dib.Fill(kGround);
    Theme->PaintViewBackground(sheet.Canvas, RECT{0, 0, 20, 24}, RECT{0, 0, 20, 24}, RECT{0, 0, 20, 24}, face, false,
                               vkDockPanelDocked);
    EXPECT_EQ(sheet.Pixel(5, 0), Sys(COLOR_BTNFACE));
    // The toolbar frame's stripes start a row above the bar: its first stripe row is that one.
    sheet.Dib.Fill(kGround);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    Theme->PaintToolbarFrame(sheet.Canvas, RECT{0, 10, 25, 28}, frame);
    EXPECT_EQ(sheet.Pixel(5, 9), kGround);
    EXPECT_EQ(sheet.Pixel(5, 11), Sys(COLOR_BTNFACE));
    EXPECT_EQ(sheet.Pixel(5, 12), dark);
}

TEST_F(Zezio, MetricsStatusAndMenuBarHighlight) {
    EXPECT_EQ(Theme->GetIntMetric(35), 3);
    TThmMargins popup{};
    Theme->GetMarginSet(mkPopupItem, popup);
    EXPECT_EQ(popup.LeftWidth, 1);
    Sheet sheet(40, 30, kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 30, 20}, 0);
    EXPECT_EQ(sheet.Pixel(10, 0),
              classlib::ColorToRGB(ColorBlendPercent(classlib::clBtnShadow, classlib::cl3DDkShadow, 70)));
    sheet.Dib.Fill(kGround);
    Theme->PaintStatusBarPart(sheet.Canvas, RECT{0, 0, 30, 20}, 1);
    EXPECT_EQ(sheet.Pixel(27, 0), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(sheet.Pixel(27, 1), kGround) << "dotted";
    EXPECT_EQ(sheet.Pixel(27, 3), Sys(COLOR_BTNTEXT));
    // A hot menu-bar item: the highlight striped edge to edge, nothing else.
    sheet.Dib.Fill(kGround);
    TThmItemInfo item = Item(vkMenuBar, ifToolbarStyle | ifAppActive);
    item.HotState = hsSelected;
    Theme->PaintItemButton(sheet.Canvas, RECT{0, 0, 30, 20}, item);
    EXPECT_EQ(sheet.Pixel(0, 2), Nearest(classlib::clHighlight));
    EXPECT_EQ(sheet.Pixel(29, 5), Nearest(classlib::clHighlight));
    EXPECT_EQ(sheet.Pixel(30, 5), kGround);
}

}  // namespace
