// wendlar.exe's key commands and tab files driven from outside with real keystrokes: a key
// made through the tree's menu and the input box, renamed with F2, copied and pasted, deleted
// (each key picked through the address box), and every step undone with Ctrl+Z; the open tabs
// written at exit and restored at the next start; a tab locked through its right-click menu
// and middle clicks on tabs; a renamed key whose values keep their bytes exactly.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using testsupport::RegSnapshot;
using testsupport::TakeRegSnapshot;
using namespace wendlartest::driving;

// The settings the program reads and writes start afresh for each test.
using CommandsProgram = ProgramTest;

}  // namespace

// Below a key holding "Box" (with a number): a new key "k" through the tree's menu, F2 renames
// it "r", Ctrl+C copies it (the clipboard panes show up), Ctrl+V pastes it into Box, Del deletes
// Box with the copy. Ctrl+Z then undoes the four steps newest first, each after its question,
// and after each the subtree is exactly what it was before that step.
TEST_F(CommandsProgram, KeyCommandsAndTheirUndoThroughTheKeyboard) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey box(name + L"\\Box");
    const DWORD seven = 7;
    ASSERT_EQ(RegSetValueExW(box.Handle(), L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4),
              ERROR_SUCCESS);
    const std::wstring path = parent.Path();
    std::vector<RegSnapshot> before;  // the subtree before each step
    const auto step = [&] { before.push_back(TakeRegSnapshot(path)); };

    Program program(L"\"HKEY_CURRENT_USER\\" + path + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(VisibleToolPanes(main), 0u) << "the tool panel starts hidden";

    step();
    TapKey(VK_F10, VK_SHIFT);
    ASSERT_TRUE(RunPopupItem(main, {L"新規キー..."}));
    ASSERT_TRUE(AnswerInputBox(program, L"キーの名前", L"k"));
    ASSERT_TRUE(PumpUntil([&] { return KeyExists(path + L"\\k"); }));
    ASSERT_TRUE(WaitForActiveKey(main, name));

    step();
    ASSERT_TRUE(GoToKey(program, main, path + L"\\k", L"k"));
    TapKey(VK_F2);
    ASSERT_TRUE(AnswerInputBox(program, L"キーの名前の変更", L"r"));
    ASSERT_TRUE(PumpUntil([&] { return KeyExists(path + L"\\r") && !KeyExists(path + L"\\k"); }));

    step();
    ASSERT_TRUE(WaitForActiveKey(main, name)) << "the renamed key's old path leads to its parent";
    ASSERT_TRUE(GoToKey(program, main, path + L"\\r", L"r"));
    TapKey(L'C', VK_CONTROL);
    EXPECT_TRUE(PumpUntil([&] { return VisibleToolPanes(main) == 2; })) << "the key and value clipboard panes";
    ASSERT_TRUE(GoToKey(program, main, path + L"\\Box", L"Box"));
    TapKey(L'V', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return KeyExists(path + L"\\Box\\r"); }));
    EXPECT_TRUE(KeyExists(path + L"\\r")) << "a copy leaves its source";

    step();
    ASSERT_TRUE(WaitForActiveKey(main, L"Box"));
    TapKey(VK_DELETE);
    ASSERT_TRUE(AnswerYes(program));
    ASSERT_TRUE(PumpUntil([&] { return !KeyExists(path + L"\\Box"); }));

    // Undo, newest first: the delete, the paste, the rename, the new key.
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        SCOPED_TRACE("undo back to step " + std::to_string(before.rend() - it - 1));
        ASSERT_TRUE(UndoNewest(program, main));
        EXPECT_TRUE(PumpUntil([&] { return TakeRegSnapshot(path) == *it; }))
            << "now:\n" << testsupport::DescribeRegSnapshot(TakeRegSnapshot(path)) << "expected:\n"
            << testsupport::DescribeRegSnapshot(*it);
    }

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// With "SetLoadTab" the program opens the tabs of "Tabs.db" (a blank line opens nothing, the
// marked line's window is the active one, a locked window's tree is disabled) and writes its
// tabs back at exit; the next start restores the same windows from what it wrote.
TEST_F(CommandsProgram, TabsRestoredAtTheNextStart) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey a(name + L"\\A"), b(name + L"\\B"), c(name + L"\\C");
    const std::wstring root = L"HKEY_CURRENT_USER\\" + parent.Path() + L"\\";
    Setting.Write(L"[Main]\r\nSetLoadTab=-1\r\n" + FirstRunSeen());
    Tabs.Write(root + L"A\t0\t-1\t\r\n" + root + L"B\t-1\t0\t\r\n\r\n" + root + L"C\t0\t0\t\r\n");
    const std::wstring saved = root + L"A\t0\t-1\t\r\n" + root + L"B\t-1\t0\t\r\n" + root + L"C\t0\t0\t\r\n";

    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start == 0 ? "from the written file" : "from the program's own file");
        Program program;
        ASSERT_TRUE(program.Started);
        HWND main = program.MainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 3; }));
        ASSERT_TRUE(WaitForActiveKey(main, L"A"));
        for (HWND window : RegistryWindows(main)) {
            HWND tree = ChildOfClass(window, L"TVxRegTreeView");
            ASSERT_NE(tree, nullptr);
            EXPECT_EQ(IsWindowEnabled(tree) == FALSE, WindowText(window) == L"B")
                << testsupport::Narrow(WindowText(window)) << ": only B is locked";
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
        EXPECT_EQ(Tabs.Read(), saved);
    }
}

// A right click on a tab opens that tab's menu, whose last item locks its window (the key tree
// is disabled). A middle click then leaves the locked tab open and closes an unlocked one.
TEST_F(CommandsProgram, TabMenuLocksAndMiddleClickClosesOnlyUnlockedTabs) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey a(name + L"\\A"), b(name + L"\\B");
    Program program(L"\"HKEY_CURRENT_USER\\" + a.Path() + L"\" \"HKEY_CURRENT_USER\\" + b.Path() + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; }));
    ASSERT_TRUE(WaitForActiveKey(main, L"B"));
    HWND strip = RegistryTabStrip(main);
    ASSERT_NE(strip, nullptr);
    SetForegroundWindow(main);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));
    // Each window's tab is the one drawn active while the window is the active one: B's now,
    // A's once the Window menu brings A to the front.
    const std::optional<RECT> tabB = ActiveTab(strip);
    ASSERT_TRUE(tabB.has_value());
    ASSERT_TRUE(RunMenu(main, {L"ウインドウ(W)", L"A"}));
    ASSERT_TRUE(WaitForActiveKey(main, L"A"));
    std::optional<RECT> tabA;
    ASSERT_TRUE(PumpUntil([&] {
        tabA = ActiveTab(strip);
        return tabA && !EqualRect(&*tabA, &*tabB);
    }));

    ClickAt(Middle(*tabA), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(RunPopupItem(main, {L"タブロック"}));
    HWND windowA = RegistryWindowOf(main, L"A");
    ASSERT_NE(windowA, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowEnabled(ChildOfClass(windowA, L"TVxRegTreeView")); }));

    // The clicks are handled in order: once B's window is gone, the click on A has been handled
    // too. (Gone means destroyed: a window on its way out may answer no message, so an empty
    // caption says nothing.)
    HWND windowB = RegistryWindowOf(main, L"B");
    ASSERT_NE(windowB, nullptr);
    ClickAt(Middle(*tabA), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ClickAt(Middle(*tabB), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(WaitGone(windowB));
    EXPECT_EQ(RegistryWindows(main).size(), 1u);
    EXPECT_NE(RegistryWindowOf(main, L"A"), nullptr) << "a locked tab stays";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// A key renamed with F2 keeps its values' bytes exactly: strings stored without their
// terminating NUL, or of odd length, gain nothing on the way.
TEST_F(CommandsProgram, RenamedKeyKeepsEveryValueByteForByte) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    const std::wstring src = parent.Path() + L"\\Src";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, src.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // Each written from a copy followed by non-NUL bytes, so the store keeps exactly the count.
    const BYTE unterminated[] = {'k', 0, 0xFF, 0xFF}, odd[] = {'k', 0, 'l', 0xFF, 0xFF};
    EXPECT_EQ(RegSetValueExW(key, L"unterminated", 0, REG_SZ, unterminated, 2), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"odd", 0, REG_EXPAND_SZ, odd, 3), ERROR_SUCCESS);
    // A larger value after them: the copy reads the short ones into a buffer sized for it,
    // where zeros follow their data.
    const std::vector<BYTE> big(64, 7);
    EXPECT_EQ(RegSetValueExW(key, L"big", 0, REG_BINARY, big.data(), 64), ERROR_SUCCESS);
    RegCloseKey(key);
    const RegSnapshot before = TakeRegSnapshot(src);

    Program program(L"\"HKEY_CURRENT_USER\\" + src + L"\"");
    HWND main = ForegroundMainWindow(program, L"Src", L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    TapKey(VK_F2);
    ASSERT_TRUE(AnswerInputBox(program, L"キーの名前の変更", L"r"));
    ASSERT_TRUE(PumpUntil([&] { return KeyExists(parent.Path() + L"\\r") && !KeyExists(src); }));
    EXPECT_EQ(TakeRegSnapshot(parent.Path() + L"\\r"), before)
        << "now:\n" << testsupport::DescribeRegSnapshot(TakeRegSnapshot(parent.Path() + L"\\r")) << "before:\n"
        << testsupport::DescribeRegSnapshot(before);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
