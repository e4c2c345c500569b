// The main window's bars driven from outside: the menu bar opens its menus with Alt and a
// letter and runs their commands, shortcuts still reach their commands, the address box
// jumps the active window to a typed path and keeps it in "History.db", and a hidden bar
// stays hidden after a restart ("ToolBar.db").
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <string>
#include <vector>

namespace {

using namespace wendlartest::driving;

// The settings the program writes start afresh for each test.
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

// Opens a menu of the menu bar with Alt and its letter and runs its item `caption` (found in
// the open menu by its caption).
bool RunMenuItem(HWND main, wchar_t letter, const std::wstring& caption) {
    TapKey(static_cast<WORD>(letter), VK_MENU);
    return RunPopupItem(main, {caption});
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
    const std::wstring caption = testsupport::CurrentTestName();
    TapKey(L'N', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; }));
    ASSERT_TRUE(WaitForActiveKey(main, caption));
    // File: a new window on the computer node.
    ASSERT_TRUE(RunMenuItem(main, L'F', L"新規ウインドウ"));
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 3; }));
    ASSERT_TRUE(PumpUntil([&] { return WindowText(RegistryWindows(main)[0]) != caption; }));
    // Window, a listed window (by its caption): a key window comes to the front.
    ASSERT_TRUE(RunMenuItem(main, L'W', caption));
    ASSERT_TRUE(WaitForActiveKey(main, caption));
    // Window: closes the active window.
    ASSERT_TRUE(RunMenuItem(main, L'W', L"現在のウインドウを閉じる"));
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; })) << RegistryWindows(main).size();
    // View: hides the main toolbar; once more shows it again.
    const std::vector<HWND> toolbars = ChildrenWithText(main, L"メインツールバー");
    ASSERT_EQ(toolbars.size(), 1u);
    ASSERT_TRUE(IsWindowVisible(toolbars[0]));
    ASSERT_TRUE(RunMenuItem(main, L'V', L"メインツールバーの表示"));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(toolbars[0]); }));
    ASSERT_TRUE(RunMenuItem(main, L'V', L"メインツールバーの表示"));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(toolbars[0]) != FALSE; }));
    // File: the program ends.
    ASSERT_TRUE(RunMenuItem(main, L'F', L"終了"));
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
    ASSERT_TRUE(WaitForActiveKey(main, L"Sub"));
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
    ASSERT_TRUE(WaitForActiveKey(main, testsupport::CurrentTestName()));
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
            ASSERT_TRUE(RunMenuItem(main, L'V', L"アドレスバーの表示"));
            ASSERT_TRUE(PumpUntil([&] { return (IsWindowVisible(bars[0]) != FALSE) != run.shownAtStart; }));
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitExit(), 0u);
        EXPECT_NE(Layout.Read().find(L"[AddrToolbar]"), std::wstring::npos);
    }
}
