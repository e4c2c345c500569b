// Driving wendlar.exe from outside as a user would: waiting for its windows, answering its
// input boxes and questions, clicking, and finding the tool panel's pages and rows.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "program.h"

#include <string>
#include <vector>

namespace wendlartest::driving {

using testsupport::PumpUntil;

// The settings files the program reads and writes, put back after each test.
class ProgramTest : public ::testing::Test {
protected:
    SettingsFileGuard Layout{L"ToolBar.db"};
    SettingsFileGuard Setting{L"setting.db"};
    SettingsFileGuard Undo{L"Undo.db"};
    SettingsFileGuard Tabs{L"Tabs.db"};
    SettingsFileGuard History{L"History.db"};
};

// Waits until the active registry window shows the key `caption`.
inline bool WaitForActiveKey(HWND main, const std::wstring& caption) {
    return PumpUntil([&] {
        const std::vector<HWND> windows = RegistryWindows(main);
        return !windows.empty() && WindowText(windows[0]) == caption;
    });
}

// The main window of a started program once its active registry window shows the key
// `caption`, brought to the foreground with the keyboard focus in a control of class
// `focusClass`; null (after a failure added) when that does not come.
inline HWND ForegroundMainWindow(const Program& program, const std::wstring& caption, const wchar_t* focusClass) {
    HWND main = program.Started ? program.MainWindow() : nullptr;
    if (!main || !WaitForActiveKey(main, caption)) {
        ADD_FAILURE() << "no main window showing " << testsupport::Narrow(caption);
        return nullptr;
    }
    SetForegroundWindow(main);
    if (!PumpUntil([&] { return GetForegroundWindow() == main; }) || !PumpUntil([&] {
            HWND focus = program.FocusWindow();
            return focus && ClassOf(focus) == focusClass;
        })) {
        ADD_FAILURE() << "the main window is not in the foreground with the focus in " << testsupport::Narrow(focusClass);
        return nullptr;
    }
    return main;
}

// The visible panes of the tool panel (the registry windows' views are of other classes).
inline size_t VisibleToolPanes(HWND main) {
    size_t count = 0;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM lp) -> BOOL {
            if (ClassOf(child) == L"TBaseGridTree" && IsWindowVisible(child)) ++*reinterpret_cast<size_t*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// Waits for the input box captioned `caption`, replaces its text by `text` typed key by key
// and presses Enter; false when the box did not come, take the text or go.
inline bool AnswerInputBox(const Program& program, const wchar_t* caption, const std::wstring& text) {
    HWND box = nullptr, field = nullptr;
    if (!PumpUntil([&] { return (box = program.FindWindow(L"", caption)) != nullptr; })) {
        ADD_FAILURE() << "no input box " << testsupport::Narrow(caption);
        return false;
    }
    if (!PumpUntil([&] {
            field = program.FocusWindow();
            return field && field != box && GetAncestor(field, GA_ROOT) == box;
        })) {
        ADD_FAILURE() << "the input box's field has no focus";
        return false;
    }
    TapKey(VK_END);
    TapKey(VK_HOME, VK_SHIFT);
    TypeKeys(text);
    if (!PumpUntil([&] { return WindowText(field) == text; })) {
        ADD_FAILURE() << "the field shows " << testsupport::Narrow(WindowText(field));
        return false;
    }
    TapKey(VK_RETURN);
    return PumpUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// Waits for the warning question and answers Yes (its default button).
inline bool AnswerYes(const Program& program) {
    HWND question = nullptr;
    if (!PumpUntil([&] { return (question = program.FindWindow(L"", L"警告")) != nullptr; })) {
        HWND focus = program.FocusWindow();
        ADD_FAILURE() << "no question; focus in " << testsupport::Narrow(focus ? ClassOf(focus) : L"-") << " of "
                      << testsupport::Narrow(focus ? WindowText(GetAncestor(focus, GA_ROOT)) : L"-");
        return false;
    }
    TapKey(VK_RETURN);
    return PumpUntil([&] { return !IsWindow(question) || !IsWindowVisible(question); });
}

// Presses and releases a mouse button at a screen point.
inline void ClickAt(POINT screen, DWORD down, DWORD up) {
    SetCursorPos(screen.x, screen.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

// The registry window showing the key `caption`, or null.
inline HWND RegistryWindowOf(HWND main, const std::wstring& caption) {
    for (HWND window : RegistryWindows(main))
        if (WindowText(window) == caption) return window;
    return nullptr;
}

// A visible popup menu window of the process that owns `main`, or null.
inline HWND VisiblePopup(HWND main) {
    struct Ctx {
        DWORD pid;
        HWND found;
    } ctx{0, nullptr};
    GetWindowThreadProcessId(main, &ctx.pid);
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != c->pid || !IsWindowVisible(w) || ClassOf(w).find(L"PopupWindow") == std::wstring::npos)
                return TRUE;
            c->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

inline bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A left double click at a screen point.
inline void DoubleClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT input[4] = {};
    for (INPUT& one : input) one.type = INPUT_MOUSE;
    input[0].mi.dwFlags = input[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = input[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(4, input, sizeof(INPUT));
}

// A point of a window's client area in screen coordinates.
inline POINT ScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

// The tool panel at the bottom of the main window (its caption is the page's name), or null
// while it is hidden.
inline HWND ToolPanel(HWND main) {
    for (const wchar_t* caption : {L"検索", L"アンドゥ", L"クリップボード", L"履歴"})
        for (HWND panel : ChildrenWithText(main, caption))
            if (IsWindowVisible(panel) && ClassOf(panel) == L"TBarDockableWindow") return panel;
    return nullptr;
}

// The tool panel's tab strip: the control along the panel's bottom edge.
inline HWND ToolPanelTabs(HWND panel) {
    RECT r{};
    GetClientRect(panel, &r);
    HWND strip = ChildWindowFromPointEx(panel, POINT{r.right / 2, r.bottom - 4}, CWP_SKIPINVISIBLE);
    return strip != panel ? strip : nullptr;
}

// Turns the shown tool panel to the page of the tab `caption` with clicks on its tab strip
// along the bottom edge, as a user who reads the tabs would. The tabs' widths follow their
// texts: from the strip's left end probes go right, each from the first page, until a click
// turns the panel to `caption`. A probe that lands on the first tab changes nothing: the
// next one goes on after a short wait, which only paces the search (the result is the
// caption seen at the end, whichever click brought it).
inline bool TurnToolPanel(HWND main, const std::wstring& caption) {
    HWND panel = ToolPanel(main);
    HWND strip = panel ? ToolPanelTabs(panel) : nullptr;
    if (!strip) return false;
    RECT r{};
    GetClientRect(strip, &r);
    const int y = r.bottom / 2;
    constexpr int FirstTabX = 10, Step = 12;
    constexpr DWORD ProbeMs = 1000;
    for (int x = FirstTabX + Step; x < r.right; x += Step) {
        if (WindowText(panel) == caption) return true;
        if (WindowText(panel) != L"検索") {
            ClickAt(ScreenPoint(strip, FirstTabX, y), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            if (!PumpUntil([&] { return WindowText(panel) == L"検索"; })) return false;
        }
        if (caption == L"検索") return true;
        ClickAt(ScreenPoint(strip, x, y), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        PumpUntil([&] { return WindowText(panel) != L"検索"; }, ProbeMs);
    }
    return PumpUntil([&] { return WindowText(panel) == caption; });
}

// The one visible pane (grid tree) of the tool panel's page, or null.
inline HWND VisiblePane(HWND main, int which = 0) {
    HWND panel = ToolPanel(main);
    std::vector<HWND> panes;
    EnumChildWindows(
        panel,
        [](HWND child, LPARAM lp) -> BOOL {
            if (ClassOf(child) == L"TBaseGridTree" && IsWindowVisible(child))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&panes));
    return which < static_cast<int>(panes.size()) ? panes[static_cast<size_t>(which)] : nullptr;
}

// The middle of row `row` of a pane in screen coordinates (rows of the default height; a
// pane's header lies outside its client area).
inline POINT PaneRow(HWND pane, int row) {
    constexpr int RowHeight = 18;
    return ScreenPoint(pane, 60, row * RowHeight + RowHeight / 2);
}

// Once the main window takes keys again (an undo that re-imports a backup waits for the
// import with the windows disabled, and keys pressed meanwhile are lost as in any modal
// wait), Ctrl+Z and Yes to its question.
inline bool UndoNewest(const Program& program, HWND main) {
    if (!PumpUntil([&] {
            HWND focus = program.FocusWindow();
            return IsWindowEnabled(main) && GetForegroundWindow() == main && focus &&
                   GetAncestor(focus, GA_ROOT) == main;
        }))
        return false;
    TapKey(L'Z', VK_CONTROL);
    return AnswerYes(program);
}

// The edit field of the address box, or null.
inline HWND AddressEdit(HWND main) {
    const std::vector<HWND> bars = ChildrenWithText(main, L"アドレスバー");
    return bars.size() == 1 ? ChildOfClass(bars[0], L"Edit") : nullptr;
}

// Goes to `path` as a user would: a click in the address box, the path put in, Enter.
inline bool GoToPath(const Program& program, HWND main, const std::wstring& path) {
    HWND edit = AddressEdit(main);
    if (!edit) return false;
    // Two clicks at one spot in quick succession make a double click, which gives an edit
    // control no focus: every other click lands further right.
    static int clicks = 0;
    ClickAt(ScreenPoint(edit, 5 + (clicks++ % 2) * 20, 5), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    if (!PumpUntil([&] { return program.FocusWindow() == edit; })) {
        HWND focus = program.FocusWindow();
        ADD_FAILURE() << "the address box has no focus; it is in "
                      << testsupport::Narrow(focus ? ClassOf(focus) : L"-") << " of "
                      << testsupport::Narrow(focus ? WindowText(GetAncestor(focus, GA_ROOT)) : L"-");
        return false;
    }
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    TapKey(VK_RETURN);
    return true;
}

// A left click with Ctrl held (adds a row to a selection).
inline void CtrlClickAt(POINT screen) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_CONTROL;
    SendInput(1, &key, sizeof(key));
    ClickAt(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof(key));
}

// Opens a pane's menu with a right click on row `row` and runs item `item` (0 the first,
// separators not counted) with the keyboard; false when no menu came.
inline bool RunPaneMenuItem(HWND main, HWND pane, int row, int item) {
    ClickAt(PaneRow(pane, row), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND menu = nullptr;
    if (!PumpUntil([&] { return (menu = VisiblePopup(main)) != nullptr; })) return false;
    for (int i = 0; i <= item; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    return PumpUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); });
}

// The Unicode text on the system clipboard.
inline std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace wendlartest::driving
