// wendlar.exe with registry windows, driven from outside with real keystrokes and window
// messages: a key path on the command line opens a window on it, a value is edited in its
// dialog, the edit is undone, and a second start hands its path to the first.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "program.h"

#include <optional>
#include <string>

namespace {

using testsupport::PumpUntil;
using wendlartest::ChildrenWithText;
using wendlartest::ClassOf;
using wendlartest::Program;
using wendlartest::RegistryWindows;
using wendlartest::SettingsFileGuard;
using wendlartest::TapKey;
using wendlartest::TypeKeys;
using wendlartest::WindowText;

std::optional<DWORD> ReadDWord(HKEY key, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

// The settings the program writes at close are put back after each test.
class RegistryWindowProgram : public ::testing::Test {
protected:
    SettingsFileGuard Layout{L"ToolBar.db"};
    SettingsFileGuard Setting{L"setting.db"};
};

// Waits until the program's keyboard focus is in a window of class `className`.
bool WaitForFocus(const Program& program, const std::wstring& className) {
    return PumpUntil([&] {
        HWND focus = program.FocusWindow();
        return focus && ClassOf(focus) == className;
    });
}

}  // namespace

// The path on the command line names a DWORD value: its window opens on the key with the
// value's row focused. Enter opens the number editor; a number too large for 32 bits is
// refused and the dialog stays; 4294967295 is written as FF FF FF FF; Ctrl+Z in the main
// window asks and then puts the old number back.
TEST_F(RegistryWindowProgram, EditADWordThroughItsEditorAndUndoIt) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    const DWORD five = 5;
    ASSERT_EQ(RegSetValueExW(key.Handle(), L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&five), 4),
              ERROR_SUCCESS);
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\\Number\"");
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 1; }));
    EXPECT_EQ(WindowText(RegistryWindows(main)[0]), testsupport::CurrentTestName());
    ASSERT_TRUE(WaitForFocus(program, L"TVxRegListView")) << "the value list has no focus";
    SetForegroundWindow(main);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));

    TapKey(VK_RETURN);
    HWND editor = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        return (editor = program.FindWindow(L"", L"REG_DWORDとREG_DWORD_BIG_ENDIANエディタ")) != nullptr;
    }));
    HWND decimal = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        decimal = program.FocusWindow();
        return decimal && GetAncestor(decimal, GA_ROOT) == editor && WindowText(decimal) == L"5";
    })) << "the decimal field has no focus";
    EXPECT_EQ(ChildrenWithText(editor, L"101").size(), 1u) << "binary field";

    TapKey(VK_END);
    TapKey(VK_BACK);
    TypeKeys(L"4294967296");
    TapKey(VK_RETURN);
    HWND refusal = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (refusal = program.FindWindow(L"", L"エラー")) != nullptr; }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(refusal); }));
    EXPECT_TRUE(IsWindowVisible(editor)) << "a refused number keeps the editor open";
    EXPECT_EQ(ReadDWord(key.Handle(), L"Number"), 5u);

    ASSERT_TRUE(PumpUntil([&] { return program.FocusWindow() == decimal; }));
    TapKey(VK_BACK);
    TapKey(L'5');
    ASSERT_TRUE(PumpUntil([&] { return !ChildrenWithText(editor, L"FFFFFFFF").empty(); }))
        << "the hexadecimal field follows the typed number";
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return ReadDWord(key.Handle(), L"Number") == 0xFFFFFFFFu; }));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(editor) || !IsWindowVisible(editor); }));

    ASSERT_TRUE(WaitForFocus(program, L"TVxRegListView"));
    TapKey(L'Z', VK_CONTROL);
    HWND question = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (question = program.FindWindow(L"", L"警告")) != nullptr; }));
    EXPECT_FALSE(ChildrenWithText(question, L"いいえ(&N)").empty());
    TapKey(VK_RETURN);  // Yes
    ASSERT_TRUE(PumpUntil([&] { return ReadDWord(key.Handle(), L"Number") == 5u; }));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// A second start hands its path to the running program, which opens a window on it, and
// ends; the running program's first window stays.
TEST_F(RegistryWindowProgram, SecondStartOpensItsPathInTheFirst) {
    testsupport::ScratchKey parent(testsupport::CurrentTestName());
    testsupport::ScratchKey alpha(testsupport::CurrentTestName() + L"\\Alpha");
    testsupport::ScratchKey beta(testsupport::CurrentTestName() + L"\\Beta");
    Program first(L"HKEY_CURRENT_USER\\" + alpha.Path());
    ASSERT_TRUE(first.Started);
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 1; }));
    EXPECT_EQ(WindowText(RegistryWindows(main)[0]), L"Alpha");
    {
        Program second(L"HKEY_CURRENT_USER\\" + beta.Path());
        ASSERT_TRUE(second.Started);
        EXPECT_EQ(second.WaitExit(), 0u);
    }
    ASSERT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; }));
    EXPECT_EQ(WindowText(RegistryWindows(main)[0]), L"Beta") << "the new window is the active one";
    EXPECT_EQ(WindowText(RegistryWindows(main)[1]), L"Alpha");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(), 0u);
}
