// The main window's bars driven from outside: the menu bar opens its menus with Alt and a
// letter and runs their commands, shortcuts still reach their commands, the address box
// jumps the active window to a typed path and keeps it in "History.db", and a hidden bar
// stays hidden after a restart ("ToolBar.db").
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "program.h"

#include <string>
#include <vector>

namespace {

using testsupport::PumpUntil;
using wendlartest::ChildrenWithText;
using wendlartest::ChildOfClass;
using wendlartest::ClassOf;
using wendlartest::ClickOn;
using wendlartest::Program;
using wendlartest::RegistryWindows;
using wendlartest::SettingsFileGuard;
using wendlartest::TapKey;
using wendlartest::WindowText;

// The settings the program writes are put back after each test.
class MainWindowBars : public ::testing::Test {
protected:
    SettingsFileGuard Layout{L"ToolBar.db"};
    SettingsFileGuard Setting{L"setting.db"};
    SettingsFileGuard History{L"History.db"};

    // The lines of "History.db" (UTF-16LE with byte-order mark, CR LF after each line).
    std::vector<std::wstring> HistoryLines() const {
        std::vector<std::wstring> lines;
        const std::wstring text = History.Read();
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find(L"\r\n", start);
            if (end == std::wstring::npos) break;
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
};

// The main window in the foreground with its first registry window, or null.
HWND StartedMainWindow(const Program& program) {
    HWND main = program.MainWindow();
    if (!main || !PumpUntil([&] { return !RegistryWindows(main).empty(); })) return nullptr;
    SetForegroundWindow(main);
    return PumpUntil([&] { return GetForegroundWindow() == main; }) ? main : nullptr;
}

// Opens a menu of the menu bar with Alt and its letter, moves `downs` rows down and runs
// the item with Enter.
void RunMenuItem(wchar_t letter, int downs) {
    TapKey(static_cast<WORD>(letter), VK_MENU);
    for (int i = 0; i < downs; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
}

// The active registry window shows the key `name` (its caption is the key's name).
bool ActiveWindowShows(HWND main, const std::wstring& name) {
    return PumpUntil([&] {
        const std::vector<HWND> windows = RegistryWindows(main);
        return !windows.empty() && WindowText(windows[0]) == name;
    });
}

}  // namespace

TEST_F(MainWindowBars, MenusOfTheMenuBarRunTheirCommands) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = StartedMainWindow(program);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(RegistryWindows(main).size(), 1u);

    // Ctrl+N reaches its command through the bars: the key in a window of its own.
    TapKey(L'N', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; }));
    ASSERT_TRUE(ActiveWindowShows(main, testsupport::CurrentTestName()));
    // File, first item: a new window on the computer node.
    RunMenuItem(L'F', 0);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 3; }));
    ASSERT_TRUE(PumpUntil([&] { return WindowText(RegistryWindows(main)[0]) != testsupport::CurrentTestName(); }));
    // Window, the second of the listed windows (after eight commands): the second key window
    // (the middle one in creation and in z order alike) comes to the front.
    RunMenuItem(L'W', 9);
    ASSERT_TRUE(ActiveWindowShows(main, testsupport::CurrentTestName()));
    // Window, third item: closes the active window.
    RunMenuItem(L'W', 2);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; })) << RegistryWindows(main).size();
    // View, second item: hides the main toolbar; once more shows it again.
    const std::vector<HWND> toolbars = ChildrenWithText(main, L"メインツールバー");
    ASSERT_EQ(toolbars.size(), 1u);
    ASSERT_TRUE(IsWindowVisible(toolbars[0]));
    RunMenuItem(L'V', 1);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(toolbars[0]); }));
    RunMenuItem(L'V', 1);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(toolbars[0]) != FALSE; }));
    // File, last item: the program ends.
    RunMenuItem(L'F', 6);
    EXPECT_EQ(program.WaitExit(), 0u);
}

TEST_F(MainWindowBars, AddressBoxJumpsAndKeepsTheHistory) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key.Handle(), L"Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);
    const std::wstring start = L"HKEY_CURRENT_USER\\" + key.Path();
    Program program(L"\"" + start + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = StartedMainWindow(program);
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> bars = ChildrenWithText(main, L"アドレスバー");
    ASSERT_EQ(bars.size(), 1u);
    HWND edit = ChildOfClass(bars[0], L"Edit");
    ASSERT_NE(edit, nullptr);
    HWND box = GetParent(edit);
    // The box shows the active window's key; the command line's path is in the history.
    ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == start; }));
    ASSERT_TRUE(PumpUntil([&] { return HistoryLines() == std::vector<std::wstring>{start}; }));

    // A click in the box, the path put in, Enter (the jump takes the focus to the key tree).
    const auto go = [&](const std::wstring& path) {
        ClickOn(edit);
        ASSERT_TRUE(PumpUntil([&] { return program.FocusWindow() == edit; }));
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        TapKey(VK_RETURN);
    };
    // Enter with an empty box adds nothing.
    go(L"");
    const std::wstring subPath = start + L"\\Sub";
    go(subPath);
    ASSERT_TRUE(ActiveWindowShows(main, L"Sub"));
    ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == subPath; }));
    EXPECT_EQ(RegistryWindows(main).size(), 1u) << "Enter in the box jumps, it opens no window";
    ASSERT_TRUE(PumpUntil([&] { return HistoryLines() == std::vector<std::wstring>{subPath, start}; }));
    // "新規" opens a second window at the typed path.
    ClickOn(edit);
    ASSERT_TRUE(PumpUntil([&] { return program.FocusWindow() == edit; }));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(start.c_str()));
    const std::vector<HWND> newButton = ChildrenWithText(main, L"新規");
    ASSERT_EQ(newButton.size(), 1u);
    ClickOn(newButton[0]);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; }));
    ASSERT_TRUE(ActiveWindowShows(main, testsupport::CurrentTestName()));
    ASSERT_TRUE(PumpUntil([&] { return WindowText(box) == start; }));
    ASSERT_TRUE(PumpUntil([&] { return HistoryLines() == std::vector<std::wstring>{start, subPath}; }));
    // The sub key's path again in other letters: one line for it, at the top (the box's list
    // may give it the letters of its own entry).
    std::wstring lower = subPath;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    go(lower);
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<std::wstring> lines = HistoryLines();
        return lines.size() == 2 && _wcsicmp(lines[0].c_str(), lower.c_str()) == 0 && lines[1] == start;
    }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

TEST_F(MainWindowBars, HiddenAddressBarStaysHiddenAfterARestart) {
    // Each start: whether the address bar shows, then whether "アドレスバーの表示" toggles it.
    struct Run {
        bool shownAtStart;
        bool toggle;
    };
    for (const Run& run : {Run{true, true}, Run{false, true}, Run{true, false}}) {
        SCOPED_TRACE(run.shownAtStart);
        Program program;
        ASSERT_TRUE(program.Started);
        HWND main = StartedMainWindow(program);
        ASSERT_NE(main, nullptr);
        const std::vector<HWND> bars = ChildrenWithText(main, L"アドレスバー");
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(IsWindowVisible(bars[0]) != FALSE, run.shownAtStart);
        const std::vector<HWND> menuBar = ChildrenWithText(main, L"メインメニュー");
        ASSERT_EQ(menuBar.size(), 1u);
        EXPECT_TRUE(IsWindowVisible(menuBar[0])) << "the other bars keep showing";
        if (run.toggle) {
            RunMenuItem(L'V', 2);
            ASSERT_TRUE(PumpUntil([&] { return (IsWindowVisible(bars[0]) != FALSE) != run.shownAtStart; }));
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitExit(), 0u);
        EXPECT_NE(Layout.Read().find(L"[AddrToolbar]"), std::wstring::npos);
    }
}
