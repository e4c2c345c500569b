// wendlar.exe's bars and panels after a restart, driven from outside with the mouse and the
// keyboard: a toolbar dragged off its dock floats in front of the main window where it was
// left, the tool panel dragged to another side of the window comes back there, and a bar
// hidden through the 表示 menu stays hidden until it is shown again.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"
#include "program.h"

#include <string>
#include <vector>

namespace {

using testsupport::PumpUntil;
using wendlartest::ChildrenWithText;
using wendlartest::ClassOf;
using wendlartest::Program;
using wendlartest::TapKey;
using wendlartest::WindowText;
using namespace wendlartest::driving;

using LayoutProgram = ProgramTest;

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The one window of a bar or panel with this caption inside `main` or floating beside it (a
// floating one is the child of a frame of its own), or null.
HWND BarWindow(const Program& program, HWND main, const std::wstring& caption) {
    std::vector<HWND> found = ChildrenWithText(main, caption);
    if (HWND frame = program.FindWindow(L"TBarFloatingWindowParent", caption.c_str())) {
        const std::vector<HWND> inner = ChildrenWithText(frame, caption);
        found.insert(found.end(), inner.begin(), inner.end());
    }
    return found.size() == 1 ? found[0] : nullptr;
}

// The edges of a panel on a side dock that its place decides: left, top (given), bottom. Its
// width is left out: a panel dropped there keeps the frame of the dock it came from until it
// is laid out anew.
std::string PanelEdges(const RECT& r, LONG top) { return Describe({r.left, top, r.left, r.bottom}); }

// Runs an item of the 表示 menu with the keyboard: Alt+V opens it, `downs` arrow presses
// reach the item, Enter runs it.
void RunViewMenuItem(int downs) {
    TapKey(L'V', VK_MENU);
    for (int i = 0; i < downs; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
}

// The floating frame lies above the main window in the window order.
bool InFrontOf(HWND window, HWND main) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == window) return true;
        if (w == main) return false;
    }
    return false;
}

}  // namespace

TEST_F(LayoutProgram, BarsAndPanelsComeBackWhereTheyWereLeft) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey scratch(name);
    testsupport::ScratchKey child(name + L"\\Child");
    const std::wstring start = L"\"HKEY_CURRENT_USER\\" + child.Path() + L"\"";
    RECT floatingFrame{}, panel{}, addressBar{};

    {
        Program program(start);
        HWND main = ForegroundMainWindow(program, L"Child", L"TVxRegTreeView");
        ASSERT_NE(main, nullptr);

        // The main toolbar, dragged by its grip into the middle of the window, floats.
        HWND toolbar = BarWindow(program, main, L"メインツールバー");
        ASSERT_NE(toolbar, nullptr);
        const RECT bar = RectOf(toolbar), window = RectOf(main);
        Drag(toolbar, {bar.left + 3, (bar.top + bar.bottom) / 2}, {(window.left + window.right) / 2, (window.top + window.bottom) / 2});
        HWND frame = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (frame = GetAncestor(toolbar, GA_ROOT)) != main && IsWindowVisible(frame); }))
            << "the toolbar does not float";
        EXPECT_EQ(ClassOf(frame), L"TBarFloatingWindowParent");
        EXPECT_EQ(GetWindow(frame, GW_OWNER), main) << "a floating bar belongs to the main window";
        floatingFrame = RectOf(frame);

        // Ctrl+C on a key shows the tool panel at the bottom; its caption (across its top) dragged to the
        // window's left edge docks it there.
        TapKey(L'C', VK_CONTROL);
        HWND tools = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (tools = ToolPanel(main)) != nullptr; }));
        const RECT below = RectOf(tools);
        RECT client{};
        GetClientRect(main, &client);
        MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
        Drag(tools, {below.left + 60, below.top + 8}, {client.left + 4, (client.top + client.bottom) / 2});
        // Docked there, it reaches down to the status bar once the bottom dock it left has
        // given up its room (the status bar then lies along the window's bottom edge).
        const auto statusBar = [&]() -> HWND {
            for (HWND w = GetWindow(main, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
                const RECT r = RectOf(w);
                if (IsWindowVisible(w) && r.bottom == client.bottom && r.bottom - r.top > 10 &&
                    r.bottom - r.top < 40 && r.right - r.left > 200)
                    return w;
            }
            return nullptr;
        };
        ASSERT_TRUE(PumpUntil([&] {
            const RECT r = RectOf(tools);
            HWND status = statusBar();
            return r.left <= client.left + 8 && r.bottom - r.top > r.right - r.left && status &&
                   r.bottom == RectOf(status).top;
        })) << "the tool panel is at " << Describe(RectOf(tools));
        panel = RectOf(tools);

        // The address bar hidden through the 表示 menu (its third item).
        HWND address = BarWindow(program, main, L"アドレスバー");
        ASSERT_NE(address, nullptr);
        addressBar = RectOf(address);
        RunViewMenuItem(2);
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(address); }));

        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitExit(), 0u);
    }
    {
        Program program(start);
        HWND main = ForegroundMainWindow(program, L"Child", L"TVxRegTreeView");
        ASSERT_NE(main, nullptr);
        HWND toolbar = BarWindow(program, main, L"メインツールバー");
        ASSERT_NE(toolbar, nullptr);
        HWND frame = GetAncestor(toolbar, GA_ROOT);
        EXPECT_EQ(ClassOf(frame), L"TBarFloatingWindowParent");
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_TRUE(InFrontOf(frame, main)) << "the floating toolbar is behind the main window";
        EXPECT_EQ(Describe(RectOf(frame)), Describe(floatingFrame));

        HWND tools = ToolPanel(main);
        ASSERT_NE(tools, nullptr) << "the tool panel is hidden";
        // Its top follows the bars above (one fewer now); its width is its docked width with the
        // frame of a side dock, which the drag itself does not redraw (see PanelEdges).
        const RECT left = RectOf(tools);
        EXPECT_EQ(PanelEdges(left, panel.top), PanelEdges(panel, panel.top));

        HWND address = BarWindow(program, main, L"アドレスバー");
        ASSERT_NE(address, nullptr);
        EXPECT_FALSE(IsWindowVisible(address)) << "the hidden address bar is shown";
        RunViewMenuItem(2);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(address) != FALSE; }));

        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitExit(), 0u);
    }
    {
        Program program(start);
        HWND main = ForegroundMainWindow(program, L"Child", L"TVxRegTreeView");
        ASSERT_NE(main, nullptr);
        HWND address = BarWindow(program, main, L"アドレスバー");
        ASSERT_NE(address, nullptr);
        EXPECT_TRUE(IsWindowVisible(address));
        EXPECT_EQ(Describe(RectOf(address)), Describe(addressBar));
        HWND tools = ToolPanel(main);
        ASSERT_NE(tools, nullptr);
        EXPECT_EQ(PanelEdges(RectOf(tools), RectOf(tools).top), PanelEdges(panel, panel.top));
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    }
}
