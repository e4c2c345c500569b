// wendlar.exe's tool panel driven from outside: the history page lists the address history,
// goes to a path on a double click and is cleared through its menu; the undo pane's and the
// clipboard panes' menus run their commands on the selected rows.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace wendlartest::driving;

// The settings the program reads and writes start afresh for each test.
class ToolPanelProgram : public ProgramTest {
protected:

    // The lines of "History.db" (CR LF after each line).
    std::vector<std::wstring> HistoryLines() const {
        std::vector<std::wstring> lines;
        const std::wstring text = History.Read();
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
};

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
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] {
        return HistoryLines() == std::vector<std::wstring>{full(parent), full(c), full(b), full(a)};
    }));
    HWND edit = AddressEdit(main);
    ASSERT_NE(edit, nullptr);
    HWND box = GetParent(edit);

    ASSERT_TRUE(ShowToolPanel(main));
    ASSERT_TRUE(TurnToolPanel(main, L"履歴"));
    HWND pane = VisiblePane(main);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(VisiblePane(main, 1), nullptr) << "the history page has one pane";

    const Rows rows = RowsOf(pane);
    DoubleClickAt(rows.Row(2));
    ASSERT_TRUE(WaitForActiveKey(main, L"B"));
    EXPECT_TRUE(PumpUntil([&] { return WindowText(box) == full(b); }));
    ASSERT_TRUE(PumpUntil([&] {
        return HistoryLines() == std::vector<std::wstring>{full(b), full(parent), full(c), full(a)};
    }));

    // D through the address box: the page grows to five rows.
    ASSERT_TRUE(GoToPath(program, main, full(d)));
    ASSERT_TRUE(WaitForActiveKey(main, L"D"));
    ASSERT_TRUE(PumpUntil([&] { return HistoryLines().size() == 5; }));
    DoubleClickAt(rows.Row(4));
    ASSERT_TRUE(WaitForActiveKey(main, L"A"));
    ASSERT_TRUE(PumpUntil([&] {
        return HistoryLines() == std::vector<std::wstring>{full(a), full(d), full(b), full(parent), full(c)};
    }));

    ASSERT_TRUE(RunPaneMenuItem(main, rows.Row(0), L"履歴のクリア"));
    ASSERT_TRUE(PumpUntil([&] {
        std::error_code error;
        return std::filesystem::file_size(History.Path(), error) == 2;
    }));
    EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 5) << "the address box keeps its list until the next path";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// A "History.db" whose seventh line is a path of 176 characters (such a line once kept the
// program from ever showing its window): the program starts, and its history page shows the
// lines and goes on answering.
TEST_F(ToolPanelProgram, LongSeventhHistoryLineStartsAndShows) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    std::wstring lines;
    for (int i = 1; i <= 6; ++i) lines += L"HKEY_CURRENT_USER\\Software\\L" + std::to_wstring(i) + L"\r\n";
    const std::wstring prefix = L"HKEY_CURRENT_USER\\Software\\";
    const std::wstring longPath = prefix + std::wstring(176 - prefix.size(), L'A');
    History.Write(lines + longPath + L"\r\n");

    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ShowToolPanel(main));
    ASSERT_TRUE(TurnToolPanel(main, L"履歴"));
    ASSERT_NE(VisiblePane(main), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return HistoryLines().size() == 8 && HistoryLines()[7] == longPath; }));
    EXPECT_EQ(WindowText(ToolPanel(main)), L"履歴") << "the program answers";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// With "SetNoAllMessage", Ctrl+A and Del in the value list of Src delete its six values
// (default, a to e) without questions: six undo records, one row each in list order. The
// undo pane's menu then runs rows 2 and 4 bottom-up (b and d come back), drops row 1 (a's
// record) and runs the new row 0 (the default value comes back), and clears the rest. The
// copied values default, b and d fill the value clipboard pane; its menu drops b, pastes d
// into Dst, and clears the pane: a Ctrl+V in Dst then pastes nothing. The key clipboard
// pane's menu pastes a copied key and clears the pane.
TEST_F(ToolPanelProgram, UndoAndClipboardPaneMenus) {
    Setting.Write(L"[Main]\r\nSetNoAllMessage=-1\r\n" + FirstRunSeen());
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey src(name + L"\\Src"), dst(name + L"\\Dst");
    for (const wchar_t* value : {L"", L"a", L"b", L"c", L"d", L"e"}) {
        const DWORD data = value[0];
        ASSERT_EQ(RegSetValueExW(src.Handle(), value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), 4),
                  ERROR_SUCCESS);
    }
    const auto has = [&](const testsupport::ScratchKey& key, const wchar_t* value) {
        return RegQueryValueExW(key.Handle(), value, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    };
    const auto values = [&](const testsupport::ScratchKey& key) {
        std::wstring names;
        for (const wchar_t* value : {L"", L"a", L"b", L"c", L"d", L"e"})
            if (has(key, value)) names += value[0] ? value : L"@";
        return names;
    };
    Program program(L"\"HKEY_CURRENT_USER\\" + src.Path() + L"\\a\"");
    HWND main = ForegroundMainWindow(program, L"Src", L"TVxRegListView");
    ASSERT_NE(main, nullptr);
    HWND list = program.FocusWindow();

    TapKey(L'A', VK_CONTROL);
    TapKey(VK_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return values(src).empty(); }));
    ASSERT_TRUE(ShowToolPanel(main));
    ASSERT_TRUE(TurnToolPanel(main, L"アンドゥ"));
    HWND undoPane = VisiblePane(main);
    ASSERT_NE(undoPane, nullptr);
    const Rows undoRows = RowsOf(undoPane);
    ClickAt(undoRows.Row(2));
    CtrlClickAt(undoRows.Row(4));
    ASSERT_TRUE(RunPaneMenuItem(main, undoRows.Row(4), L"選択範囲のアンドゥを下から順番に全て実行"));
    ASSERT_TRUE(PumpUntil([&] { return values(src) == L"bd"; })) << testsupport::Narrow(values(src));
    // rows: default, a, c, e
    ASSERT_TRUE(RunPaneMenuItem(main, undoRows.Row(1), L"選択範囲のアンドゥ情報の削除"));
    // rows: default, c, e
    ASSERT_TRUE(RunPaneMenuItem(main, undoRows.Row(0), L"このアンドゥを実行"));
    ASSERT_TRUE(PumpUntil([&] { return values(src) == L"@bd"; })) << testsupport::Narrow(values(src));
    ASSERT_TRUE(RunPaneMenuItem(main, undoRows.Row(0), L"アンドゥ情報の全削除"));

    // The value list again: Ctrl+A, Ctrl+C shows the clipboard panes (keys left, values right).
    ClickAt(RowsOf(list).Row(0));
    ASSERT_TRUE(PumpUntil([&] { return program.FocusWindow() == list; }));
    TapKey(L'A', VK_CONTROL);
    TapKey(L'C', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return WindowText(ToolPanel(main)) == L"クリップボード"; }));
    HWND valuePane = VisiblePane(main, 1);
    ASSERT_NE(valuePane, nullptr);
    const Rows valueRows = RowsOf(valuePane);
    // rows: default, d
    ASSERT_TRUE(RunPaneMenuItem(main, valueRows.Row(1), L"選択範囲のデータを削除"));
    ASSERT_TRUE(GoToPath(program, main, L"HKEY_CURRENT_USER\\" + dst.Path()));
    ASSERT_TRUE(WaitForActiveKey(main, L"Dst"));
    ASSERT_TRUE(RunPaneMenuItem(main, valueRows.Row(1), L"選択範囲のデータを今のキーに貼り付け"));
    ASSERT_TRUE(PumpUntil([&] { return values(dst) == L"d"; })) << testsupport::Narrow(values(dst));
    ASSERT_TRUE(RunPaneMenuItem(main, valueRows.Row(0), L"値クリップボードの値をクリア"));
    // Ctrl+V in Dst's list, then F2's input box: once it shows, the paste has been handled.
    ClickAt(RowsOf(ChildOfClass(RegistryWindows(main)[0], L"TVxRegListView")).Row(0));
    TapKey(L'V', VK_CONTROL);
    TapKey(VK_F2);
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = program.FindWindow(L"", L"値の名前の変更")) != nullptr; }));
    EXPECT_EQ(values(dst), L"d") << "the cleared pane pastes nothing";
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(box));
    EXPECT_EQ(values(src), L"@bd");

    // The key clipboard pane (left): Src copied in the tree and pasted into Dst from the
    // pane's menu; copied again and the pane cleared from its menu: a Ctrl+V in Dst\Src then
    // pastes nothing.
    const auto full = [](const std::wstring& path) { return L"HKEY_CURRENT_USER\\" + path; };
    HWND keyPane = VisiblePane(main, 0);
    ASSERT_NE(keyPane, nullptr);
    ASSERT_TRUE(GoToPath(program, main, full(src.Path())));
    ASSERT_TRUE(WaitForActiveKey(main, L"Src"));
    TapKey(L'C', VK_CONTROL);
    ASSERT_TRUE(GoToPath(program, main, full(dst.Path())));
    ASSERT_TRUE(WaitForActiveKey(main, L"Dst"));
    const Rows keyRows = RowsOf(keyPane);
    ASSERT_TRUE(RunPaneMenuItem(main, keyRows.Row(0), L"選択範囲のデータを今のキーに貼り付け"));
    ASSERT_TRUE(PumpUntil([&] { return KeyExists(dst.Path() + L"\\Src"); }));
    ASSERT_TRUE(GoToPath(program, main, full(src.Path())));
    ASSERT_TRUE(WaitForActiveKey(main, L"Src"));
    TapKey(L'C', VK_CONTROL);
    ASSERT_TRUE(RunPaneMenuItem(main, keyRows.Row(0), L"キークリップボードの値をクリア"));
    ASSERT_TRUE(GoToPath(program, main, full(dst.Path() + L"\\Src")));
    ASSERT_TRUE(WaitForActiveKey(main, L"Src"));
    TapKey(L'V', VK_CONTROL);
    TapKey(VK_F2);
    ASSERT_TRUE(PumpUntil([&] { return (box = program.FindWindow(L"", L"キーの名前の変更")) != nullptr; }));
    EXPECT_FALSE(KeyExists(dst.Path() + L"\\Src\\Src")) << "the cleared pane pastes nothing";
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(box));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
