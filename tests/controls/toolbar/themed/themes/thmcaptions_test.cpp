// Captions of frames in every registered theme: a dock panel or floating frame without a caption
// text (the extended panels pass none) paints no text and nothing else differently, and drawing
// captions leaves the canvas's font where the canvas believes it is, also on a canvas that had
// not selected it before.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"
#include "thmtestkit.h"

namespace {

using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(0x13, 0x57, 0x9B);

std::vector<std::wstring> RegisteredThemes() {
    std::vector<std::wstring> names;
    for (const TThmThemeEntry& entry : themes::ToolbarThemeTable()) names.push_back(entry.Name);
    return names;
}

TThmDockPanelFrameInfo PanelFrame(bool across, const wchar_t* caption) {
    TThmDockPanelFrameInfo frame{};
    frame.ViewKind = vkDockPanelDocked;
    frame.CaptionHorizontal = across;
    frame.AllowDrag = true;
    frame.BorderSize = POINT{2, 2};
    frame.ClientWidth = 120;
    frame.ClientHeight = 60;
    frame.CaptionShown = true;
    frame.CloseButtonState = cbsShown;
    frame.Caption = caption;
    frame.EffectiveColor = 0xC0C0C0;
    return frame;
}

TThmFloatingFrameInfo FloatingFrame(TThmTheme& theme, const wchar_t* caption) {
    TThmFloatingFrameInfo frame{};
    frame.ViewKind = vkToolbarBar | vkFloating;
    theme.GetViewBorderSize(frame.ViewKind, frame.BorderSize);
    frame.ClientWidth = 120;
    frame.ClientHeight = 60;
    frame.CaptionShown = true;
    frame.CloseButtonState = cbsShown;
    frame.RedrawParts = rpBorder | rpCaption | rpCloseButton;
    frame.Caption = caption;
    frame.EffectiveColor = 0xC0C0C0;
    frame.Active = true;
    return frame;
}

std::vector<uint32_t> Paint(TThmTheme& theme, const std::function<void(TThmTheme&, classlib::TCanvas&)>& paint) {
    Sheet sheet(140, 80, kGround);
    sheet.Canvas.Brush().SetColor(0xC0C0C0);
    sheet.Canvas.Font().SetColor(classlib::clWindowText);
    paint(theme, sheet.Canvas);
    return sheet.Dib.Pixels();
}

class ThemeCaptions : public ::testing::TestWithParam<std::wstring> {};

TEST_P(ThemeCaptions, NoCaptionTextPaintsNoText) {
    ThemeHolder theme(GetParam());
    ASSERT_NE(theme.Get(), nullptr);
    const RECT rect{0, 0, 124, 64};
    for (bool across : {true, false}) {
        auto panel = [&](const wchar_t* caption) {
            return Paint(*theme, [&](TThmTheme& t, classlib::TCanvas& c) { t.PaintDockPanelFrame(c, rect, PanelFrame(across, caption)); });
        };
        EXPECT_EQ(panel(nullptr), panel(L"")) << "across " << across;
        EXPECT_NE(panel(nullptr), panel(L"パネル")) << "across " << across << ": the caption is drawn when there is one";
    }
    auto floating = [&](const wchar_t* caption) {
        return Paint(*theme, [&](TThmTheme& t, classlib::TCanvas& c) {
            const TThmFloatingFrameInfo frame = FloatingFrame(t, caption);
            t.PaintFloatingFrame(c, RECT{0, 0, 120 + 2 * frame.BorderSize.x, 60 + 2 * frame.BorderSize.y}, frame);
        });
    };
    EXPECT_EQ(floating(nullptr), floating(L""));
}

// Captions are drawn inside saved DC states; the canvas must still hold its font afterwards
// wherever it believes it does, or later text comes out in another font.
TEST_P(ThemeCaptions, CaptionsLeaveTheCanvasFontInPlace) {
    ThemeHolder theme(GetParam());
    ASSERT_NE(theme.Get(), nullptr);
    TThmItemInfo pushed = Item(vkToolbarBar);
    pushed.Pushed = pushed.Checked = true;
    const std::vector<std::function<void(TThmTheme&, classlib::TCanvas&)>> paints = {
        [](TThmTheme& t, classlib::TCanvas& c) { t.PaintDockPanelFrame(c, RECT{0, 0, 124, 64}, PanelFrame(true, L"パネル")); },
        [](TThmTheme& t, classlib::TCanvas& c) { t.PaintDockPanelFrame(c, RECT{0, 0, 124, 64}, PanelFrame(false, L"パネル")); },
        [](TThmTheme& t, classlib::TCanvas& c) {
            const TThmFloatingFrameInfo frame = FloatingFrame(t, L"ツール");
            t.PaintFloatingFrame(c, RECT{0, 0, 130, 70}, frame);
        },
        [&](TThmTheme& t, classlib::TCanvas& c) {
            t.PaintItemCaption(c, RECT{0, 0, 60, 22}, pushed, L"&File", DT_SINGLELINE | DT_VCENTER, false);
        },
    };
    for (size_t i = 0; i < paints.size(); ++i) {
        Sheet sheet(140, 80, kGround);
        sheet.Canvas.Brush().SetColor(0xC0C0C0);
        sheet.Canvas.Font().SetColor(classlib::clWindowText);
        paints[i](*theme, sheet.Canvas);
        sheet.Canvas.PrepareText();  // selects the font unless the canvas believes it selected
        EXPECT_EQ(GetCurrentObject(sheet.Dib.DC, OBJ_FONT), static_cast<HGDIOBJ>(sheet.Canvas.Font().Handle()))
            << "paint " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Registered, ThemeCaptions, ::testing::ValuesIn(RegisteredThemes()),
                         [](const testing::TestParamInfo<std::wstring>& info) {
                             return testsupport::Narrow(info.param);
                         });

}  // namespace
