// wendlar.exe's value commands driven from outside with real keystrokes and menus: the name
// and full path of a value copied to the system clipboard through the Edit menu; a value
// renamed with F2; values copied and pasted with Ctrl+C and Ctrl+V, cut and pasted and
// deleted through the value list's menu; every step undone with Ctrl+Z, after which the
// registry is exactly what it was before the step.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using testsupport::RegSnapshot;
using testsupport::TakeRegSnapshot;
using namespace wendlartest::driving;

using ValueCommandsProgram = ProgramTest;

// Runs the item `caption` of the value list's menu, opened from the keyboard.
bool RunListMenuItem(HWND main, const std::wstring& caption) {
    TapKey(VK_F10, VK_SHIFT);
    return RunPopupItem(main, {caption});
}

bool SetValue(HKEY key, const wchar_t* name, DWORD type, const std::wstring& text, DWORD number = 0) {
    const BYTE* data = type == REG_DWORD ? reinterpret_cast<const BYTE*>(&number)
                                         : reinterpret_cast<const BYTE*>(text.c_str());
    const DWORD size = type == REG_DWORD ? 4 : static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, type, data, size) == ERROR_SUCCESS;
}

}  // namespace

// Below a parent: S holds a default value, A and B; T holds another B; U is empty.
TEST_F(ValueCommandsProgram, ValueCommandsAndTheirUndo) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey s(name + L"\\S"), t(name + L"\\T"), u(name + L"\\U");
    ASSERT_TRUE(SetValue(s.Handle(), L"", REG_SZ, L"d"));
    ASSERT_TRUE(SetValue(s.Handle(), L"A", REG_SZ, L"a"));
    ASSERT_TRUE(SetValue(s.Handle(), L"B", REG_DWORD, L"", 2));
    ASSERT_TRUE(SetValue(t.Handle(), L"B", REG_SZ, L"old"));
    const std::wstring path = parent.Path();
    const auto full = [](const testsupport::ScratchKey& key) { return L"HKEY_CURRENT_USER\\" + key.Path(); };
    const auto values = [](const testsupport::ScratchKey& key) { return TakeRegSnapshot(key.Path())[L""]; };
    // The subtree before each step and the undo records the step adds.
    std::vector<std::pair<RegSnapshot, int>> before;
    const auto step = [&](int records) { before.emplace_back(TakeRegSnapshot(path), records); };

    Program program(L"\"" + full(s) + L"\\A\"");
    HWND main = ForegroundMainWindow(program, L"S", L"TVxRegListView");
    ASSERT_NE(main, nullptr);
    // A click on the first row of the active window's value list.
    const auto clickList = [&] {
        HWND list = ChildOfClass(RegistryWindows(main)[0], L"TVxRegListView");
        ClickAt(RowsOf(list).Row(0));
        return PumpUntil([&] { return program.FocusWindow() == list; });
    };

    // The value list has the focus: the Edit menu's name and full-path commands take A.
    ASSERT_TRUE(RunMenu(main, {L"編集(E)", L"値の名前のコピー"}));
    EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == L"A"; })) << testsupport::Narrow(ClipboardText());
    ASSERT_TRUE(RunMenu(main, {L"編集(E)", L"値のフルパスのコピー"}));
    EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == full(s) + L"\\A"; }))
        << testsupport::Narrow(ClipboardText());

    step(1);
    TapKey(VK_F2);
    ASSERT_TRUE(AnswerInputBox(program, L"値の名前の変更", L"r"));
    ASSERT_TRUE(PumpUntil([&] { return values(s).count(L"r") && !values(s).count(L"A"); }));

    // Everything in S copied and pasted into T: the default value and r are made, B is
    // overwritten (a number now).
    step(3);
    ASSERT_TRUE(clickList());
    TapKey(L'A', VK_CONTROL);
    TapKey(L'C', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return VisiblePane(main, 1) != nullptr; })) << "the clipboard panes";
    ASSERT_TRUE(GoToPath(program, main, full(t)));
    ASSERT_TRUE(WaitForActiveKey(main, L"T"));
    ASSERT_TRUE(clickList());
    TapKey(L'V', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return values(t) == values(s); }));

    // Everything in T cut and pasted into U through the list's menu: three made in U, three
    // deleted in T.
    step(6);
    TapKey(L'A', VK_CONTROL);
    ASSERT_TRUE(RunListMenuItem(main, L"切り取り"));
    ASSERT_TRUE(GoToPath(program, main, full(u)));
    ASSERT_TRUE(WaitForActiveKey(main, L"U"));
    ASSERT_TRUE(clickList());
    ASSERT_TRUE(RunListMenuItem(main, L"貼り付け"));
    ASSERT_TRUE(PumpUntil([&] { return values(u) == values(s) && values(t).empty(); }));

    // Everything in U deleted through the list's menu, one question per value.
    step(3);
    TapKey(L'A', VK_CONTROL);
    ASSERT_TRUE(RunListMenuItem(main, L"削除..."));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(AnswerYes(program)) << i;
    ASSERT_TRUE(PumpUntil([&] { return values(u).empty(); }));

    // Undo, newest first; after the records of each step the subtree is as before the step.
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        SCOPED_TRACE("undo back to step " + std::to_string(before.rend() - it - 1));
        for (int record = 0; record < it->second; ++record) ASSERT_TRUE(UndoNewest(program, main)) << record;
        EXPECT_TRUE(PumpUntil([&] { return TakeRegSnapshot(path) == it->first; }))
            << "now:\n" << testsupport::DescribeRegSnapshot(TakeRegSnapshot(path)) << "expected:\n"
            << testsupport::DescribeRegSnapshot(it->first);
    }

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
