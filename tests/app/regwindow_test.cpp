// wendlar.exe with registry windows, driven from outside with real keystrokes and window
// messages: a key path on the command line opens a window on it, a value is edited in its
// dialog or made through the value list's menu, the change is undone, and a second start
// hands its path to the first.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/regedform.h"
#include "common/test_support.h"
#include "driving.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace wendlartest::driving;

std::optional<DWORD> ReadDWord(HKEY key, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

// The settings the program writes at close start afresh for each test.
class RegistryWindowProgram : public ::testing::Test {
protected:
    SettingsFileGuard Layout{L"ToolBar.db"};
    SettingsFileGuard Setting{L"setting.db"};
};

// The main window in the foreground once its one registry window shows the key `caption`
// with the value list focused (the command line named a value); null when that does not come.
HWND WaitForValueList(const Program& program, const std::wstring& caption) {
    HWND main = ForegroundMainWindow(program, caption, L"TVxRegListView");
    EXPECT_TRUE(!main || RegistryWindows(main).size() == 1);
    return main;
}

// Presses Enter on the value list and waits for the editor captioned `caption` with the
// focus in its value field showing `text`; the editor and that field, or nulls.
std::pair<HWND, HWND> OpenEditor(const Program& program, const wchar_t* caption, const std::wstring& text) {
    TapKey(VK_RETURN);
    HWND editor = nullptr, field = nullptr;
    if (!PumpUntil([&] { return (editor = program.FindWindow(L"", caption)) != nullptr; })) {
        ADD_FAILURE() << "no editor " << testsupport::Narrow(caption);
        return {};
    }
    if (!PumpUntil([&] {
            field = program.FocusWindow();
            return field && GetAncestor(field, GA_ROOT) == editor && WindowText(field) == text;
        })) {
        ADD_FAILURE() << "the value field has no focus";
        return {};
    }
    return {editor, field};
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
    HWND main = WaitForValueList(program, testsupport::CurrentTestName());
    ASSERT_NE(main, nullptr);

    const auto [editor, decimal] = OpenEditor(program, L"REG_DWORDとREG_DWORD_BIG_ENDIANエディタ", L"5");
    ASSERT_NE(editor, nullptr);
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
// ends; the running program's first window stays. The new window's key opens once more in
// a window of its own from the keyboard.
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
    // The new window comes in front, the active one.
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<HWND> windows = RegistryWindows(main);
        return windows.size() == 2 && WindowText(windows[0]) == L"Beta" && WindowText(windows[1]) == L"Alpha";
    }));

    // Ctrl+N opens another window on the active window's key.
    SetForegroundWindow(main);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));
    ASSERT_TRUE(WaitForFocus(first, L"TVxRegTreeView"));
    TapKey(L'N', VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<HWND> windows = RegistryWindows(main);
        return windows.size() == 3 && WindowText(windows[0]) == L"Beta";
    }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(), 0u);
}

// The value list's menu, opened from the keyboard, makes a new string value through the
// string editor; Ctrl+Z then asks and deletes the value it created.
TEST_F(RegistryWindowProgram, NewStringFromTheListMenuAndItsUndo) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    const DWORD one = 1;
    ASSERT_EQ(RegSetValueExW(key.Handle(), L"One", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_SUCCESS);
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\\One\"");
    ASSERT_TRUE(program.Started);
    HWND main = WaitForValueList(program, testsupport::CurrentTestName());
    ASSERT_NE(main, nullptr);

    TapKey(VK_F10, VK_SHIFT);
    ASSERT_TRUE(RunPopupItem(main, {L"新規値", L"新規文字列..."}));
    HWND editor = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (editor = program.FindWindow(L"", L"文字列エディタ")) != nullptr; }));
    ASSERT_TRUE(PumpUntil([&] {
        HWND focus = program.FocusWindow();
        return focus && GetAncestor(focus, GA_ROOT) == editor;
    }));
    TapKey(VK_TAB, VK_SHIFT);  // from the value field back to the name
    TypeKeys(L"n");
    TapKey(VK_TAB);
    TypeKeys(L"v");
    TapKey(VK_RETURN);
    const auto text = [&](const wchar_t* name) -> std::optional<std::wstring> {
        wchar_t data[64] = {};
        DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
        if (RegQueryValueExW(key.Handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            return std::nullopt;
        return std::wstring(data);
    };
    ASSERT_TRUE(PumpUntil([&] { return text(L"n") == L"v"; }));

    ASSERT_TRUE(WaitForFocus(program, L"TVxRegListView"));
    TapKey(L'Z', VK_CONTROL);
    HWND question = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (question = program.FindWindow(L"", L"警告")) != nullptr; }));
    TapKey(VK_RETURN);  // Yes
    ASSERT_TRUE(PumpUntil([&] { return RegQueryValueExW(key.Handle(), L"n", nullptr, nullptr, nullptr, nullptr) ==
                                       ERROR_FILE_NOT_FOUND; }));
    EXPECT_EQ(ReadDWord(key.Handle(), L"One"), 1u);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// Enter on a string, an expandable string and a 64-bit number opens each one's editor;
// keys typed into its value field and Enter write the new data with the value's type.
TEST_F(RegistryWindowProgram, EditorsOfStringsAndQWords) {
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::wstring before;  // REG_QWORD: the decimal text
        const wchar_t* editor;
        std::vector<WORD> keys;
        std::wstring after;
    };
    const std::vector<WORD> typeX = {VK_END, L'X'};  // the X key unshifted: "x"
    std::vector<WORD> largest = {VK_END, VK_BACK};
    for (wchar_t c : std::wstring(L"18446744073709551615")) largest.push_back(c);
    const Case cases[] = {
        {L"Text", REG_SZ, L"alpha", L"文字列エディタ", typeX, L"alphax"},
        {L"Path", REG_EXPAND_SZ, L"%SystemRoot%", L"展開可能文字列エディタ", typeX, L"%SystemRoot%x"},
        {L"Big", REG_QWORD, L"5", L"REG_QWORDエディタ", largest, L"18446744073709551615"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.name));
        testsupport::ScratchKey key(testsupport::CurrentTestName());
        const uint64_t number = c.type == REG_QWORD ? std::stoull(c.before) : 0;
        const BYTE* data = c.type == REG_QWORD ? reinterpret_cast<const BYTE*>(&number)
                                               : reinterpret_cast<const BYTE*>(c.before.c_str());
        const DWORD size = c.type == REG_QWORD ? 8 : static_cast<DWORD>((c.before.size() + 1) * 2);
        ASSERT_EQ(RegSetValueExW(key.Handle(), c.name, 0, c.type, data, size), ERROR_SUCCESS);

        Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\\" + c.name + L"\"");
        ASSERT_TRUE(program.Started);
        HWND main = WaitForValueList(program, testsupport::CurrentTestName());
        ASSERT_NE(main, nullptr);
        const auto [editor, field] = OpenEditor(program, c.editor, c.before);
        ASSERT_NE(editor, nullptr);
        for (WORD k : c.keys) TapKey(k);
        ASSERT_TRUE(PumpUntil([&] { return WindowText(field) == c.after; }));
        if (c.type == REG_EXPAND_SZ) {
            wchar_t expanded[MAX_PATH] = {};
            ExpandEnvironmentStringsW(c.after.c_str(), expanded, MAX_PATH);
            EXPECT_TRUE(PumpUntil([&] { return !ChildrenWithText(editor, expanded).empty(); }))
                << "the preview shows the expanded text";
        }
        TapKey(VK_RETURN);
        // The value's type and its data as text (a number in decimal).
        const auto stored = [&]() -> std::pair<DWORD, std::wstring> {
            DWORD type = 0;
            BYTE read[256] = {};
            DWORD readSize = sizeof(read);
            if (RegQueryValueExW(key.Handle(), c.name, nullptr, &type, read, &readSize) != ERROR_SUCCESS) return {};
            if (type == REG_QWORD)
                return {type, readSize == 8 ? std::to_wstring(*reinterpret_cast<const uint64_t*>(read)) : L"?"};
            return {type, std::wstring(reinterpret_cast<const wchar_t*>(read), readSize / 2).c_str()};
        };
        EXPECT_TRUE(PumpUntil([&] { return stored() == std::make_pair(c.type, c.after); }))
            << testsupport::Narrow(stored().second);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor) || !IsWindowVisible(editor); }));
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    }
}

// Enter on a multi-line string opens its editor with one string per line; a line typed at
// the start and OK (Alt+O) write the three strings back as REG_MULTI_SZ.
TEST_F(RegistryWindowProgram, EditAMultiLineStringThroughItsEditor) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    const wchar_t before[] = L"one\0two\0";
    ASSERT_EQ(RegSetValueExW(key.Handle(), L"Lines", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before),
                             sizeof(before)),
              ERROR_SUCCESS);
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\\Lines\"");
    ASSERT_TRUE(program.Started);
    HWND main = WaitForValueList(program, testsupport::CurrentTestName());
    ASSERT_NE(main, nullptr);
    TapKey(VK_RETURN);
    HWND editor = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (editor = program.FindWindow(L"", L"複数行文字列エディタ")) != nullptr; }));
    ASSERT_TRUE(PumpUntil([&] {
        HWND focus = program.FocusWindow();
        return focus && GetAncestor(focus, GA_ROOT) == editor && WindowText(focus).starts_with(L"one\r\ntwo");
    }));
    TapKey(VK_HOME, VK_CONTROL);
    TypeKeys(L"zero");
    TapKey(VK_RETURN);
    TapKey(L'O', VK_MENU);
    const std::wstring expected(L"zero\0one\0two\0", 14);
    const auto stored = [&] {
        DWORD type = 0;
        wchar_t read[64] = {};
        DWORD size = sizeof(read);
        if (RegQueryValueExW(key.Handle(), L"Lines", nullptr, &type, reinterpret_cast<BYTE*>(read), &size) !=
                ERROR_SUCCESS ||
            type != REG_MULTI_SZ)
            return std::wstring();
        return std::wstring(read, size / 2);
    };
    EXPECT_TRUE(PumpUntil([&] { return stored() == expected; })) << testsupport::Narrow(stored());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor) || !IsWindowVisible(editor); }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// The incremental search's step answer: 0 when the node matches, over the shorter of the
// two texts, so a node whose whole name starts the search text matches too.
TEST(RegistryWindowSearch, CompareOverTheShorterText) {
    struct Case {
        const wchar_t* caption;
        const wchar_t* search;
        bool ignoreCase;
        bool matches;
    } cases[] = {
        {L"Software", L"Soft", false, true},
        {L"Software", L"soft", false, false},
        {L"Software", L"soft", true, true},
        {L"Soft", L"Software", false, true},
        {L"", L"abc", false, true},
        {L"Classes", L"Soft", true, false},
        {L"ソフトウェア", L"ソフト", false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::IncrementalSearchCompare(c.caption, c.search, c.ignoreCase) == 0, c.matches)
            << testsupport::Narrow(c.caption) << " / " << testsupport::Narrow(c.search);
}
