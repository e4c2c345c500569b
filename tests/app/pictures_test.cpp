// The main window's pictures as the screen shows them: the main toolbar's buttons, an open
// menu of the menu bar and the key tree draw their glyphs (colours of
// resources/app/make_app_images.py, counted in a capture of the window).
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "program.h"

#include <algorithm>
#include <vector>

namespace {

using testsupport::PumpUntil;
using wendlartest::ChildOfClass;
using wendlartest::ChildrenWithText;
using wendlartest::Program;
using wendlartest::RegistryWindows;
using wendlartest::SettingsFileGuard;
using wendlartest::TapKey;

// Kinds of glyph colours that no themed face, line or text has (those are greys); a bar may
// draw its pictures faded, so kinds rather than exact colours.
struct TRgb {
    int r, g, b;
};
bool Coloured(TRgb p) { return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) >= 60; }
bool Green(TRgb p) { return p.g > p.r + 50 && p.g > p.b + 30; }    // the version command's disc
bool Yellow(TRgb p) { return p.r > p.b + 100 && p.g > p.b + 60; }  // the key tree's folders

// How many pixels of `window` on the screen pass `kind`.
int PixelsOf(HWND window, bool (*kind)(TRgb)) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    int count = 0;
    for (int i = 0; i < w * h; ++i) {
        const DWORD p = static_cast<const DWORD*>(bits)[i];
        if (kind({static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)}))
            ++count;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return count;
}

// A visible top-level window of the program other than `main` (an open menu), or null.
HWND OtherWindowOf(HWND main) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    struct Ctx {
        DWORD pid;
        HWND main, found;
    } ctx{pid, main, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != c->pid || w == c->main || !IsWindowVisible(w)) return TRUE;
            c->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
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
    ASSERT_TRUE(PumpUntil([&] { return (menu = OtherWindowOf(main)) != nullptr; }));
    EXPECT_TRUE(PumpUntil([&] { return PixelsOf(menu, Green) >= GlyphPixels; })) << PixelsOf(menu, Green);
    TapKey(VK_ESCAPE);
    TapKey(VK_ESCAPE);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
