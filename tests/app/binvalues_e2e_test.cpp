// The binary editor reached from the main window, driven from outside with real keystrokes:
// any value's raw bytes edited with its type kept (Shift+Enter), a binary value through its
// own editor (Enter), a new value of a type chosen in the editor; each change undone with
// Ctrl+Z in the main window.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace wendlartest::driving;

struct TStored {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Bytes;
    bool operator==(const TStored&) const = default;
};

// The value's type and bytes; REG_NONE and no bytes when it is not there.
TStored Stored(HKEY key, const wchar_t* name) {
    TStored stored;
    BYTE data[256];
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &stored.Type, data, &size) != ERROR_SUCCESS) return {};
    stored.Bytes.assign(data, data + size);
    return stored;
}

void Store(HKEY key, const wchar_t* name, const TStored& value) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, value.Type, value.Bytes.data(), static_cast<DWORD>(value.Bytes.size())),
              ERROR_SUCCESS);
}

// The settings the program writes start afresh for each test.
class BinaryValueProgram : public ::testing::Test {
protected:
    SettingsFileGuard Layout{L"ToolBar.db"};
    SettingsFileGuard Setting{L"setting.db"};
};

// The main window in the foreground once its registry window shows the test's key with the
// value list focused (the command line named a value); null when that does not come.
HWND WaitForValueList(const Program& program) {
    return ForegroundMainWindow(program, testsupport::CurrentTestName(), L"TVxRegListView");
}

// Waits for the binary editor with the keyboard focus inside it; null when it does not come.
HWND WaitForBinaryEditor(const Program& program) {
    HWND editor = nullptr;
    if (!PumpUntil([&] { return (editor = program.FindWindow(L"", L"バイナリエディタ")) != nullptr; })) return nullptr;
    return PumpUntil([&] {
               HWND focus = program.FocusWindow();
               return focus && GetAncestor(focus, GA_ROOT) == editor;
           })
               ? editor
               : nullptr;
}

// In the binary editor with the focus on its bytes: all of them replaced by the typed hex
// digits, then OK.
void ReplaceBytesAndConfirm(const std::wstring& hexDigits) {
    TapKey(L'A', VK_CONTROL);
    TapKey(VK_DELETE);
    TypeKeys(hexDigits);
    TapKey(L'O', VK_MENU);
}

}  // namespace

// Shift+Enter on a string or a value of a type without a name and Enter on a binary value
// open the binary editor with the value's bytes and its type, which cannot be changed; the
// typed bytes are written with the value's own type, and undo puts the old bytes back.
TEST_F(BinaryValueProgram, BytesOfAnyValueWithItsTypeKept) {
    struct Case {
        const wchar_t* name;
        TStored before;
        WORD modifier;  // with Enter
        std::wstring typed;
        TStored after;
    };
    const Case cases[] = {
        {L"Text", {REG_SZ, {'a', 0, 'b', 0, 0, 0}}, VK_SHIFT, L"4142", {REG_SZ, {0x41, 0x42}}},
        {L"Data", {REG_BINARY, {1, 2}}, 0, L"FF00", {REG_BINARY, {0xFF, 0x00}}},
        {L"Odd", {0x1234, {7, 7}}, VK_SHIFT, L"0809", {0x1234, {8, 9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.name));
        testsupport::ScratchKey key(testsupport::CurrentTestName());
        Store(key.Handle(), c.name, c.before);
        Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\\" + c.name + L"\"");
        ASSERT_TRUE(program.Started);
        HWND main = WaitForValueList(program);
        ASSERT_NE(main, nullptr);
        TapKey(VK_RETURN, c.modifier);
        HWND editor = WaitForBinaryEditor(program);
        ASSERT_NE(editor, nullptr);
        const std::vector<HWND> typeField = ChildrenWithText(editor, std::to_wstring(c.before.Type));
        ASSERT_EQ(typeField.size(), 1u) << "the type is shown";
        EXPECT_FALSE(IsWindowEnabled(typeField[0])) << "and kept";
        ReplaceBytesAndConfirm(c.typed);
        EXPECT_TRUE(PumpUntil([&] { return Stored(key.Handle(), c.name) == c.after; }))
            << Stored(key.Handle(), c.name).Type << " " << testing::PrintToString(Stored(key.Handle(), c.name).Bytes);
        ASSERT_TRUE(WaitClosed(editor));
        ASSERT_TRUE(WaitForFocus(program, L"TVxRegListView"));
        ASSERT_TRUE(UndoNewest(program, main));
        EXPECT_TRUE(PumpUntil([&] { return Stored(key.Handle(), c.name) == c.before; }));
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    }
}

// The value list's menu, "新規値" ▸ "値の形式を指定して作成...": the binary editor with the type selector
// at REG_BINARY; a name, the type 4 and four bytes make a DWORD value; undo deletes it.
TEST_F(BinaryValueProgram, NewValueOfAChosenType) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    Store(key.Handle(), L"One", {REG_DWORD, {1, 0, 0, 0}});
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\\One\"");
    ASSERT_TRUE(program.Started);
    HWND main = WaitForValueList(program);
    ASSERT_NE(main, nullptr);
    TapKey(VK_F10, VK_SHIFT);
    ASSERT_TRUE(RunPopupItem(main, {L"新規値", L"値の形式を指定して作成..."}));
    HWND editor = WaitForBinaryEditor(program);
    ASSERT_NE(editor, nullptr);
    // The name field above the type field, both edits; then the bytes.
    std::vector<HWND> edits = ChildrenWhere(editor, [](HWND w) { return ClassOf(w) == L"Edit"; });
    ASSERT_EQ(edits.size(), 2u);
    RECT first{}, second{};
    GetWindowRect(edits[0], &first);
    GetWindowRect(edits[1], &second);
    if (second.top < first.top) std::swap(edits[0], edits[1]);
    const HWND name = edits[0], type = edits[1];
    EXPECT_EQ(WindowText(type), L"3");
    EXPECT_TRUE(IsWindowEnabled(type));
    const auto focusOn = [&](HWND window) {
        ClickOn(window);
        return PumpUntil([&] { return program.FocusWindow() == window; });
    };
    ASSERT_TRUE(focusOn(name));
    TypeKeys(L"n");
    ASSERT_TRUE(focusOn(type));
    TapKey(VK_END);
    TapKey(VK_BACK);
    TypeKeys(L"4");
    HWND bytes = ChildOfClass(editor, L"THexEditorEx");
    ASSERT_NE(bytes, nullptr);
    ASSERT_TRUE(focusOn(bytes));
    EXPECT_TRUE(PumpUntil([&] { return !ChildrenWithText(editor, L"REG_DWORD").empty(); }))
        << "the caption beside the type names it";
    TypeKeys(L"2A000000");
    TapKey(L'O', VK_MENU);
    const TStored expected{REG_DWORD, {0x2A, 0, 0, 0}};
    EXPECT_TRUE(PumpUntil([&] { return Stored(key.Handle(), L"n") == expected; }))
        << Stored(key.Handle(), L"n").Type << " " << testing::PrintToString(Stored(key.Handle(), L"n").Bytes);
    ASSERT_TRUE(WaitClosed(editor));
    ASSERT_TRUE(WaitForFocus(program, L"TVxRegListView"));
    ASSERT_TRUE(UndoNewest(program, main));
    EXPECT_TRUE(PumpUntil([&] { return Stored(key.Handle(), L"n") == TStored{}; }));
    EXPECT_EQ(Stored(key.Handle(), L"One"), (TStored{REG_DWORD, {1, 0, 0, 0}}));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

