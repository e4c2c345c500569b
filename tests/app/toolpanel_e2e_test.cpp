// wendlar.exe's tool panel driven from outside: the history page lists the address history,
// goes to a path on a double click and is cleared through its menu; the undo pane's and the
// clipboard panes' menus run their commands on the selected rows.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"
#include "program.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using testsupport::PumpUntil;
using wendlartest::ChildOfClass;
using wendlartest::ChildrenWithText;
using wendlartest::Program;
using wendlartest::RegistryWindows;
using wendlartest::SettingsFileGuard;
using wendlartest::TapKey;
using wendlartest::WindowText;
using namespace wendlartest::driving;

// The settings the program reads and writes are put back after each test.
class ToolPanelProgram : public ::testing::Test {
protected:
    SettingsFileGuard Layout{L"ToolBar.db"};
    SettingsFileGuard Setting{L"setting.db"};
    SettingsFileGuard Undo{L"Undo.db"};
    SettingsFileGuard Tabs{L"Tabs.db"};
    SettingsFileGuard History{L"History.db"};

    // The lines of "History.db" (CR LF after each line).
    std::vector<std::wstring> HistoryLines() const {
        std::vector<std::wstring> lines;
        const std::wstring text = History.Read();
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
};

// The main window in the foreground with its first registry window showing `key`, or null.
HWND StartedMainWindow(const Program& program, const std::wstring& key) {
    HWND main = program.MainWindow();
    if (!main || !WaitForActiveKey(main, key)) return nullptr;
    SetForegroundWindow(main);
    return PumpUntil([&] { return GetForegroundWindow() == main; }) ? main : nullptr;
}

// Shows the tool panel through the View menu ("ツールウインドウの表示", its fourth item).
bool ShowToolPanel(HWND main) {
    TapKey(L'V', VK_MENU);
    for (int i = 0; i < 3; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    return PumpUntil([&] { return ToolPanel(main) != nullptr; });
}

}  // namespace

// "History.db" holds C, B, A; the start at the parent key puts it on top. A double click on
// the third row of the history page goes to B (the path moves to the top); a path typed into
// the address box adds a fifth row, and a double click on it goes to A. "履歴のクリア" from
// the page's menu leaves a file of 2 bytes and the address box's list as it was.
TEST_F(ToolPanelProgram, HistoryPageGoesToItsPathsAndIsCleared) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey a(name + L"\\A"), b(name + L"\\B"), c(name + L"\\C"), d(name + L"\\D");
    const auto full = [](const testsupport::ScratchKey& key) { return L"HKEY_CURRENT_USER\\" + key.Path(); };
    History.Write(full(c) + L"\r\n" + full(b) + L"\r\n" + full(a) + L"\r\n");

    Program program(L"\"" + full(parent) + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = StartedMainWindow(program, name);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] {
        return HistoryLines() == std::vector<std::wstring>{full(parent), full(c), full(b), full(a)};
    }));
    const std::vector<HWND> bars = ChildrenWithText(main, L"アドレスバー");
    ASSERT_EQ(bars.size(), 1u);
    HWND edit = ChildOfClass(bars[0], L"Edit");
    ASSERT_NE(edit, nullptr);
    HWND box = GetParent(edit);

    ASSERT_TRUE(ShowToolPanel(main));
    ASSERT_TRUE(TurnToolPanel(main, L"履歴"));
    HWND pane = VisiblePane(main);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(VisiblePane(main, 1), nullptr) << "the history page has one pane";

    DoubleClickAt(PaneRow(pane, 2));
    ASSERT_TRUE(WaitForActiveKey(main, L"B"));
    EXPECT_TRUE(PumpUntil([&] { return WindowText(box) == full(b); }));
    ASSERT_TRUE(PumpUntil([&] {
        return HistoryLines() == std::vector<std::wstring>{full(b), full(parent), full(c), full(a)};
    }));

    // D through the address box: the page grows to five rows.
    ClickAt(ScreenPoint(edit, 5, 5), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return program.FocusWindow() == edit; }));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(full(d).c_str()));
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitForActiveKey(main, L"D"));
    ASSERT_TRUE(PumpUntil([&] { return HistoryLines().size() == 5; }));
    DoubleClickAt(PaneRow(pane, 4));
    ASSERT_TRUE(WaitForActiveKey(main, L"A"));
    ASSERT_TRUE(PumpUntil([&] {
        return HistoryLines() == std::vector<std::wstring>{full(a), full(d), full(b), full(parent), full(c)};
    }));

    // The page's menu: one item, "履歴のクリア".
    ClickAt(PaneRow(pane, 0), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = VisiblePopup(main)) != nullptr; }));
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] {
        std::error_code error;
        return std::filesystem::file_size(History.Path(), error) == 2;
    }));
    EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 5) << "the address box keeps its list until the next path";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
