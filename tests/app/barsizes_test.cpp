// The bars' sizes in "ToolBar.db" come back at the next start: the address bar's width (its
// height stays one line whatever the file says), and the wrap width of a floating toolbar.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <string>
#include <vector>

namespace {

using testsupport::PumpUntil;
using wendlartest::ChildrenWithText;
using wendlartest::Program;
using wendlartest::SettingsFileGuard;

// The value of `key` in `section` of an ini text; empty when it is not there.
std::wstring IniValue(const std::wstring& text, const std::wstring& section, const std::wstring& key) {
    const size_t start = text.find(L"[" + section + L"]\r\n");
    if (start == std::wstring::npos) return L"";
    const size_t end = text.find(L"\r\n[", start);
    const size_t at = text.find(L"\r\n" + key + L"=", start);
    if (at == std::wstring::npos || at > end) return L"";
    const size_t from = at + key.size() + 3;
    return text.substr(from, text.find(L"\r\n", from) - from);
}

// `text` with `key` of `section` set to `value` (the key must be there).
std::wstring WithIniValue(std::wstring text, const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
    const size_t at = text.find(L"\r\n" + key + L"=", text.find(L"[" + section + L"]\r\n"));
    const size_t from = at + key.size() + 3;
    return text.replace(from, text.find(L"\r\n", from) - from, value);
}

SIZE SizeOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST(BarSizes, AddressBarWidthAndFloatingToolbarWrapComeBackAtTheNextStart) {
    SettingsFileGuard layout(L"ToolBar.db");
    SettingsFileGuard setting(L"setting.db");
    const auto start = [](Program& program) {
        HWND main = program.MainWindow();
        EXPECT_NE(main, nullptr);
        return main;
    };
    SIZE size{};
    {
        Program program;
        ASSERT_TRUE(program.Started);
        HWND main = start(program);
        ASSERT_NE(main, nullptr);
        const std::vector<HWND> bars = ChildrenWithText(main, L"アドレスバー");
        ASSERT_EQ(bars.size(), 1u);
        size = SizeOf(bars[0]);
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitExit(), 0u);
    }
    std::wstring text = layout.Read();
    ASSERT_EQ(IniValue(text, L"AddrToolbar", L"Width"), std::to_wstring(size.cx));
    const int narrower = size.cx - 120;
    text = WithIniValue(text, L"AddrToolbar", L"Width", std::to_wstring(narrower));
    // A height the address bar cannot take: it keeps its one line.
    text = WithIniValue(text, L"AddrToolbar", L"Height", L"5000");
    text = WithIniValue(text, L"MainToolBar", L"Float", L"-1");
    text = WithIniValue(text, L"MainToolBar", L"FlortX", L"200");
    text = WithIniValue(text, L"MainToolBar", L"FlortY", L"400");
    text = WithIniValue(text, L"MainToolBar", L"FloatW", L"100");
    layout.Write(text);
    {
        Program program;
        ASSERT_TRUE(program.Started);
        HWND main = start(program);
        ASSERT_NE(main, nullptr);
        const std::vector<HWND> bars = ChildrenWithText(main, L"アドレスバー");
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(SizeOf(bars[0]).cx, narrower);
        EXPECT_EQ(SizeOf(bars[0]).cy, size.cy);
        // The floating toolbar, a window of its own, wraps its buttons into rows of 100 pixels.
        HWND toolbar = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            toolbar = program.FindWindow(L"", L"メインツールバー");
            return toolbar != nullptr;
        }));
        RECT client{};
        GetClientRect(toolbar, &client);
        EXPECT_LE(client.right, 140);
        EXPECT_GT(client.bottom, client.right) << "rows of buttons";
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitExit(), 0u);
    }
    text = layout.Read();
    EXPECT_EQ(IniValue(text, L"AddrToolbar", L"Width"), std::to_wstring(narrower));
    EXPECT_EQ(IniValue(text, L"MainToolBar", L"FloatW"), L"100");
}
