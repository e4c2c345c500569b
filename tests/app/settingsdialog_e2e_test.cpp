// The settings dialog of wendlar.exe driven from outside: opened from the Tool menu by
// keystrokes, a page picked by its first letter, a shortcut pressed in the hot-key control
// and a number typed into its field; OK writes the files and the main window takes the new
// shortcut at once; "キャンセル" writes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "common/dialog_driving.h"
#include "common/test_support.h"
#include "driving.h"

#include <filesystem>
#include <string>

namespace {

using testsupport::Narrow;
using testsupport::PressKeys;
using namespace wendlartest::driving;

class SettingsDialogProgram : public ProgramTest {
protected:
    SettingsFileGuard HotKeys{L"HotKey.db"};
    SettingsFileGuard Gestures{L"Gesture.db"};
};


// "設定..." of the Tool menu (its last item), run with the keyboard; the dialog once the
// focus is in it, or null.
HWND OpenSettings(const Program& program) {
    TapKey(L'T', VK_MENU);
    TapKey(VK_END);
    TapKey(VK_RETURN);
    return WaitForDialog(program, L"設定");
}

// The one visible child of `dialog` of that class, or null.
HWND VisibleChildOfClass(HWND dialog, const wchar_t* className) {
    HWND found = ChildOfClass(dialog, className);
    return found && IsWindowVisible(found) ? found : nullptr;
}

// The visible child of `dialog` showing `text`, or null.
HWND VisibleChildWithText(HWND dialog, const std::wstring& text) {
    for (HWND child : ChildrenWithText(dialog, text))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

// Picks a page of the dialog's list by the first character of its name, typed into the list
// once it has the focus (it takes it when the dialog opens).
bool TurnToPage(const Program& program, HWND dialog, wchar_t first, const std::wstring& shows) {
    HWND list = VisibleChildOfClass(dialog, L"ListBox");
    if (!list || !PumpUntil([&] { return program.FocusWindow() == list; })) {
        ADD_FAILURE() << "the page list has no focus";
        return false;
    }
    PostMessageW(list, WM_CHAR, first, 1);
    return PumpUntil([&] { return VisibleChildWithText(dialog, shows) != nullptr; });
}

// A click in the middle of a window of the program, which then has the focus.
bool ClickToFocus(const Program& program, HWND window) {
    ClickOn(window);
    return PumpUntil([&] { return program.FocusWindow() == window; });
}

bool FileHas(const SettingsFileGuard& file, const std::wstring& line) {
    return file.Read().find(L"\r\n" + line + L"\r\n") != std::wstring::npos;
}

}  // namespace

// A new shortcut for "新規ウインドウ" and a new incremental-search time through the dialog:
// OK writes them, and the main window runs the command on the new shortcut at once.
TEST_F(SettingsDialogProgram, ShortcutAndSearchTimeTakeEffectAfterOk) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    HWND dialog = OpenSettings(program);
    ASSERT_NE(dialog, nullptr);

    // "キーボードショートカット": the row "新規ウインドウ" chosen by typing its first
    // character into the table, then Ctrl+Alt+W in the hot-key control.
    ASSERT_TRUE(TurnToPage(program, dialog, L'キ', L"ショートカットエディタ"));
    HWND table = VisibleChildOfClass(dialog, L"SysListView32");
    HWND hotKey = VisibleChildOfClass(dialog, L"msctls_hotkey32");
    ASSERT_NE(table, nullptr);
    ASSERT_NE(hotKey, nullptr);
    EXPECT_FALSE(IsWindowEnabled(hotKey)) << "no row is selected yet";
    ASSERT_TRUE(ClickToFocus(program, table));
    for (wchar_t c : std::wstring(L"新規ウ")) PostMessageW(table, WM_CHAR, c, 1);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(hotKey); }));
    ASSERT_TRUE(ClickToFocus(program, hotKey));
    PressKeys({VK_CONTROL, VK_MENU, 'W'});
    ASSERT_TRUE(PumpUntil(
        [&] { return SendMessageW(hotKey, HKM_GETHOTKEY, 0, 0) == MAKEWORD('W', HOTKEYF_CONTROL | HOTKEYF_ALT); }));

    // "その他": the field of "入力受付時間：" (showing its default) takes 250.
    HWND pages = VisibleChildOfClass(dialog, L"ListBox");
    ASSERT_NE(pages, nullptr);
    ASSERT_TRUE(ClickToFocus(program, pages));
    ASSERT_TRUE(TurnToPage(program, dialog, L'そ', L"インクリメンタルサーチ"));
    HWND incTime = VisibleChildWithText(dialog, L"1000");
    ASSERT_NE(incTime, nullptr);
    ASSERT_TRUE(ClickToFocus(program, incTime));
    TapKey(VK_END);
    TapKey(VK_HOME, VK_SHIFT);
    TypeKeys(L"250");
    ASSERT_TRUE(PumpUntil([&] { return WindowText(incTime) == L"250"; }));

    TapKey(L'O', VK_MENU);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    EXPECT_TRUE(FileHas(HotKeys, L"新規ウインドウ=Ctrl+Alt+W")) << Narrow(HotKeys.Read());
    EXPECT_TRUE(FileHas(Setting, L"SetIncTime=250")) << Narrow(Setting.Read());
    EXPECT_TRUE(std::filesystem::exists(Gestures.Path()));

    // The main window takes the shortcut at once: Ctrl+Alt+W opens a registry window.
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));
    const size_t windows = RegistryWindows(main).size();
    PressKeys({VK_CONTROL, VK_MENU, 'W'});
    EXPECT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == windows + 1; }))
        << RegistryWindows(main).size() << " registry windows";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// "キャンセル" leaves every file as it was, a changed field included.
TEST_F(SettingsDialogProgram, CancelWritesNothing) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    const std::wstring before = L"[Main]\r\nSetIncTime=700\r\n" + FirstRunSeen();
    Setting.Write(before);
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    HWND dialog = OpenSettings(program);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TurnToPage(program, dialog, L'そ', L"インクリメンタルサーチ"));
    HWND incTime = VisibleChildWithText(dialog, L"700");
    ASSERT_NE(incTime, nullptr);
    ASSERT_TRUE(ClickToFocus(program, incTime));
    TapKey(VK_END);
    TypeKeys(L"5");
    ASSERT_TRUE(PumpUntil([&] { return WindowText(incTime) == L"7005"; }));

    HWND cancel = VisibleChildWithText(dialog, L"キャンセル");
    ASSERT_NE(cancel, nullptr);
    ClickOn(cancel);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    EXPECT_EQ(Setting.Read(), before);
    EXPECT_FALSE(std::filesystem::exists(HotKeys.Path()));
    EXPECT_FALSE(std::filesystem::exists(Gestures.Path()));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
