// The main window's pictures as its windows paint them: the main toolbar's buttons, an open
// menu of the menu bar and the key tree draw their glyphs (colours of
// resources/app/make_app_images.py, counted in the windows' pictures, printed with WM_PRINT).
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <algorithm>
#include <vector>

namespace {

using namespace wendlartest::driving;

// Kinds of glyph colours that no themed face, line or text has (those are greys); a bar may
// draw its pictures faded, so kinds rather than exact colours.
struct TRgb {
    int r, g, b;
};
bool Coloured(TRgb p) { return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) >= 60; }
bool Green(TRgb p) { return p.g > p.r + 50 && p.g > p.b + 30; }    // the version command's disc
bool Yellow(TRgb p) { return p.r > p.b + 100 && p.g > p.b + 60; }  // the key tree's folders

// How many pixels of the picture of `window` pass `kind`.
int PixelsOf(HWND window, bool (*kind)(TRgb)) {
    const PrintedWindow picture = PrintWindowOf(window);
    return static_cast<int>(std::count_if(picture.Pixels.begin(), picture.Pixels.end(), [&](COLORREF p) {
        return kind({GetRValue(p), GetGValue(p), GetBValue(p)});
    }));
}

}  // namespace

// Pixels of a kind that show its glyphs are drawn (one glyph gives more).
constexpr int GlyphPixels = 20;

TEST(MainWindowPictures, ToolbarMenuAndKeyTreeDrawTheirGlyphs) {
    SettingsFileGuard layout(L"ToolBar.db");
    SettingsFileGuard setting(L"setting.db");
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !RegistryWindows(main).empty(); }));
    SetForegroundWindow(main);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));

    // The toolbar's buttons that are enabled (the author's site always is) draw in colour.
    const std::vector<HWND> toolbars = ChildrenWithText(main, L"メインツールバー");
    ASSERT_EQ(toolbars.size(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return PixelsOf(toolbars[0], Coloured) >= GlyphPixels; }))
        << PixelsOf(toolbars[0], Coloured);

    HWND tree = ChildOfClass(RegistryWindows(main)[0], L"TVxRegTreeView");
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return PixelsOf(tree, Yellow) >= GlyphPixels; }))
        << PixelsOf(tree, Yellow);

    // The help menu: the version item's green disc.
    TapKey(L'H', VK_MENU);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = VisiblePopup(main)) != nullptr; }));
    EXPECT_TRUE(PumpUntil([&] { return PixelsOf(menu, Green) >= GlyphPixels; })) << PixelsOf(menu, Green);
    TapKey(VK_ESCAPE);
    TapKey(VK_ESCAPE);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
