// Driving wendlar.exe from outside as a user would: a test starts the program, works it with
// real keystrokes, clicks and window messages, and checks the registry, the files and the
// pictures the program's windows paint.
//
// Each case's own program. The first use in a test case of ProgramFolder() (through
// SettingsFile, SettingsFileGuard or Program) makes a folder of the case's own under the
// temporary folder, with copies of wendlar.exe, onig.dll and the help file and a "Settings"
// folder beside them, where the program keeps all its settings. "setting.db" starts as the
// line that pins the default theme ("ThmTheme" in section "Main") and the marker of a start
// that is not the first ("Infomation" in section "Setting"; without it the terms of use come
// first). A test sets up and reads settings files through SettingsFileGuard, which starts its
// file afresh (absent; "setting.db" as those lines) and writes whole files (a test that
// writes "setting.db" writes what it wants there, the theme and the marker included: see
// FirstRunSeen). Every Program of
// the case starts that copy; the folder goes when the next case begins or the test program
// ends. So no two cases share a settings file, and the cases run side by side, each on one
// of the virtual displays of scripts/test, which has a Wine prefix (and so a Wine server) of
// its own and runs one case at a time. The program's single-instance mutex is a name in that
// server: a start hands over only to a program of the same case. The programs of a case run
// in a job that ends them with the test program, so none is left on the display to take the
// next case's start.
//
// Finding things: windows by class and caption; the items of the toolbars, the menu bar and
// the popup menus by the accessibility objects those windows give (caption, place on the
// screen); the active tab of a tab strip and the rows of a pane by the picture the window
// paints, which the print hook (printhook.dll, loaded into the program through a window hook)
// takes with WM_PRINT inside the program. The program itself has no hooks for tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include "app/mainoptions.h"
#include "common/test_support.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wendlartest {

namespace fs = std::filesystem;
using testsupport::PumpUntil;

// --- The case's own copy of the program -----------------------------------------------------

// The folder of the test program (where the build puts wendlar.exe, onig.dll and printhook.dll).
inline std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s = path;
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// What "setting.db" of a case holds before the test changes it: the default theme, pinned.
inline std::wstring PinnedThemeLine() { return L"ThmTheme=" + app::TMainOptions{}.ThmTheme + L"\r\n"; }
// The marker of a start that is not the first: without it the program shows the terms of use
// ("ライセンス") before anything else. A line of section "Setting".
inline std::wstring FirstRunMarkerLine() { return L"Infomation=1\r\n"; }
// The section "Setting" holding only that marker, for a test that writes "setting.db" whole.
inline std::wstring FirstRunSeen() { return L"[Setting]\r\n" + FirstRunMarkerLine(); }
// What "setting.db" starts as in every case: the pinned theme and the first-run marker.
inline std::wstring SeededSettings() { return L"[Main]\r\n" + PinnedThemeLine() + FirstRunSeen(); }

namespace detail {

// Settings files are UTF-16LE with a byte-order mark.
inline void WriteSettingsText(const fs::path& file, const std::wstring& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
}

inline std::wstring ReadSettingsText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 2) return L"";
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}

// One case's copy of the program, removed with the object.
class CaseCopy {
public:
    CaseCopy() : FTest(testsupport::CurrentTestName()) {
        const fs::path from(ExeFolder());
        std::error_code error;
        fs::copy_file(from / L"wendlar.exe", FFolder.Path() / L"wendlar.exe", error);
        if (error) ADD_FAILURE() << "wendlar.exe not copied: " << error.message();
        for (const wchar_t* beside : {L"onig.dll", L"Wendlar.chm"})
            if (fs::exists(from / beside)) fs::copy_file(from / beside, FFolder.Path() / beside, error);
        fs::create_directories(FFolder.Path() / L"Settings", error);
        WriteSettingsText(FFolder.Path() / L"Settings" / L"setting.db", SeededSettings());
    }
    const std::wstring& Test() const { return FTest; }
    const fs::path& Folder() const { return FFolder.Path(); }

private:
    std::wstring FTest;
    testsupport::ScratchDir FFolder;
};

}  // namespace detail

// The running case's own folder holding its copy of the program and its "Settings" folder;
// made at the first use in a case (the folder of the case before goes then).
inline const fs::path& ProgramFolder() {
    static std::unique_ptr<detail::CaseCopy> copy;
    if (!copy || copy->Test() != testsupport::CurrentTestName()) {
        copy.reset();
        copy = std::make_unique<detail::CaseCopy>();
    }
    return copy->Folder();
}

inline fs::path SettingsFile(const wchar_t* name) { return ProgramFolder() / L"Settings" / name; }

// A settings file of the case's program, started afresh for the test and put back as it was
// afterwards. Afresh means absent, except "setting.db", which holds SeededSettings().
class SettingsFileGuard {
public:
    explicit SettingsFileGuard(const wchar_t* name)
        : FPath(SettingsFile(name)), FSaved(FPath.wstring() + L".saved"), FPinsTheme(FPath.filename() == L"setting.db") {
        fs::create_directories(FPath.parent_path());
        std::error_code ec;
        fs::remove_all(FSaved, ec);
        if (fs::exists(FPath)) fs::rename(FPath, FSaved);
        if (FPinsTheme) Write(SeededSettings());
    }
    ~SettingsFileGuard() {
        std::error_code ec;
        fs::remove_all(FPath, ec);
        if (fs::exists(FSaved)) fs::rename(FSaved, FPath, ec);
    }
    const fs::path& Path() const { return FPath; }
    // Writes `text` as the file in the settings' own encoding (UTF-16LE with BOM).
    void Write(const std::wstring& text) const { detail::WriteSettingsText(FPath, text); }
    std::wstring Read() const { return detail::ReadSettingsText(FPath); }

private:
    fs::path FPath, FSaved;
    bool FPinsTheme;
};

namespace detail {

// The job of the programs the test starts: they end when the test program ends, however it
// ends.
inline HANDLE ProgramJob() {
    static const HANDLE job = [] {
        HANDLE made = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made) SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        return made;
    }();
    return job;
}

}  // namespace detail

// One started wendlar.exe, the case's own copy, started in its folder; ended by force if a
// test leaves it running.
class Program {
public:
    explicit Program(const std::wstring& args = L"") {
        const std::wstring folder = ProgramFolder().wstring();
        const std::wstring exe = (ProgramFolder() / L"wendlar.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si{sizeof(si)};
        Started = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                 folder.c_str(), &si, &FInfo);
        if (!Started) return;
        if (HANDLE job = detail::ProgramJob()) AssignProcessToJobObject(job, FInfo.hProcess);
        ResumeThread(FInfo.hThread);
    }
    ~Program() {
        if (!FInfo.hProcess) return;
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(FInfo.hProcess, 1);
            WaitForSingleObject(FInfo.hProcess, 10000);
        }
        CloseHandle(FInfo.hThread);
        CloseHandle(FInfo.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The visible main window, once it appears (null after the wait). Its caption is
    // "Wendlar", followed by the maximised registry window's caption when there is one.
    HWND MainWindow() const {
        HWND found = nullptr;
        PumpUntil([&] { return (found = FindWindow(L"TMainForm")) != nullptr; });
        return found;
    }
    // A visible top-level window of the process with this class (any when empty) and
    // caption (any when null), or null.
    HWND FindWindow(const std::wstring& className, const wchar_t* caption = nullptr) const {
        struct Ctx {
            DWORD pid;
            const std::wstring& cls;
            const wchar_t* caption;
            HWND found;
        } ctx{FInfo.dwProcessId, className, caption, nullptr};
        EnumWindows(
            [](HWND w, LPARAM lp) -> BOOL {
                auto* c = reinterpret_cast<Ctx*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                wchar_t cls[64] = {}, text[64] = {};
                GetClassNameW(w, cls, 64);
                GetWindowTextW(w, text, 64);
                if (pid != c->pid || !IsWindowVisible(w) || (!c->cls.empty() && c->cls != cls) ||
                    (c->caption && std::wstring(text) != c->caption))
                    return TRUE;
                c->found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&ctx));
        return ctx.found;
    }
    // Waits for the end of the process while this thread's messages run; its exit code, or
    // STILL_ACTIVE when it did not end.
    DWORD WaitExit() {
        PumpUntil([&] { return WaitForSingleObject(FInfo.hProcess, 0) == WAIT_OBJECT_0; });
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(FInfo.hProcess, &code);
        return code;
    }
    // The window of the program's main thread that has the keyboard focus, or null.
    HWND FocusWindow() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(FInfo.dwThreadId, &gui) ? gui.hwndFocus : nullptr;
    }
    bool Started = false;

private:
    PROCESS_INFORMATION FInfo{};
};

// --- Windows ----------------------------------------------------------------------------------

// The text of a window, asked from the window itself (an edit control of another process
// keeps its text out of the caption that GetWindowText reads); empty when it does not answer.
inline std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, testsupport::kWaitMs, &length))
        return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             testsupport::kWaitMs, &copied))
        return L"";
    text.resize(std::min<size_t>(copied, length));
    return text;
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The descendants of `parent` for which `take` holds, in the order EnumChildWindows gives.
inline std::vector<HWND> ChildrenWhere(HWND parent, const std::function<bool(HWND)>& take) {
    struct Ctx {
        const std::function<bool(HWND)>& take;
        std::vector<HWND> found;
    } ctx{take, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (c->take(child)) c->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// The first descendant of `parent` of a window class, or null.
inline HWND ChildOfClass(HWND parent, const wchar_t* className) {
    const std::vector<HWND> found = ChildrenWhere(parent, [&](HWND child) { return ClassOf(child) == className; });
    return found.empty() ? nullptr : found[0];
}

// The descendants of `parent` that show `text`.
inline std::vector<HWND> ChildrenWithText(HWND parent, const std::wstring& text) {
    return ChildrenWhere(parent, [&](HWND child) { return WindowText(child) == text; });
}

// The registry windows in the main window's MDI client, in z order (the active first).
inline std::vector<HWND> RegistryWindows(HWND main) {
    std::vector<HWND> windows;
    HWND client = FindWindowExW(main, nullptr, L"MDIClient", nullptr);
    for (HWND w = client ? GetWindow(client, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
        if (ClassOf(w) == L"TRegEdForm") windows.push_back(w);
    return windows;
}

// The visible popup menus of the process that owns `main`, the newest first.
inline std::vector<HWND> VisiblePopups(HWND main) {
    struct Ctx {
        DWORD pid;
        std::vector<HWND> found;
    } ctx{0, {}};
    GetWindowThreadProcessId(main, &ctx.pid);
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == c->pid && IsWindowVisible(w) && ClassOf(w).find(L"PopupWindow") != std::wstring::npos)
                c->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// --- Keyboard and mouse -----------------------------------------------------------------------

// Presses and releases a key as the keyboard would, with Ctrl or Shift held when asked; the
// input goes to the window with the focus in the foreground window.
inline void TapKey(WORD key, WORD modifier = 0) {
    auto event = [](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof(input));
    };
    if (modifier) event(modifier, false);
    event(key, false);
    event(key, true);
    if (modifier) event(modifier, true);
}

// Types digits and letters as key presses.
inline void TypeKeys(const std::wstring& text) {
    for (wchar_t c : text) TapKey(static_cast<WORD>(towupper(c)));
}

inline POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Presses and releases a mouse button at a screen point.
inline void ClickAt(POINT screen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    SetCursorPos(screen.x, screen.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

// A left click at the middle of a window.
inline void ClickOn(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    ClickAt(Middle(r));
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

// A left click with Ctrl held (adds a row to a selection).
inline void CtrlClickAt(POINT screen) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_CONTROL;
    SendInput(1, &key, sizeof(key));
    ClickAt(screen);
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof(key));
}

// Drags `window` with the left button from one screen point to another in small steps, as a
// hand would. The moves start once the window itself holds the mouse (its drag has begun and
// knows where the pointer was): moves before that would be taken as the starting point.
inline void Drag(HWND window, POINT from, POINT to) {
    const auto move = [](POINT p) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(input));
    };
    const auto button = [](DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    };
    move(from);
    button(MOUSEEVENTF_LEFTDOWN);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    EXPECT_TRUE(PumpUntil([&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(thread, &gui) && gui.hwndCapture == window;
    })) << "no drag began";
    constexpr int Steps = 12;
    for (int i = 1; i <= Steps; ++i)
        move({from.x + (to.x - from.x) * i / Steps, from.y + (to.y - from.y) * i / Steps});
    button(MOUSEEVENTF_LEFTUP);
}

// A point of a window's client area in screen coordinates.
inline POINT ScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

// --- Toolbars, the menu bar and popup menus ---------------------------------------------------

// One item of a toolbar, the menu bar or a popup menu as its accessibility object tells it.
struct BarItem {
    std::wstring Caption;  // the item's name up to a tab (a menu item's shortcut follows one)
    RECT Rect{};           // on the screen
    long Role = 0;         // ROLE_SYSTEM_SEPARATOR for a separator
    long State = 0;        // STATE_SYSTEM_UNAVAILABLE for a disabled item, ...
};

// The items of a window of the toolbar library (a toolbar, the menu bar, a popup menu) in
// their order, as its accessibility object gives them; empty when it gives none.
inline std::vector<BarItem> BarItems(HWND bar) {
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow =
        reinterpret_cast<FromWindow>(GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow"));
    std::vector<BarItem> items;
    IAccessible* view = nullptr;
    if (!fromWindow || FAILED(fromWindow(bar, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&view))) ||
        !view)
        return items;
    long count = 0;
    view->get_accChildCount(&count);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    for (long i = 1; i <= count; ++i) {
        VARIANT which{};
        which.vt = VT_I4;
        which.lVal = i;
        IDispatch* dispatch = nullptr;
        if (FAILED(view->get_accChild(which, &dispatch)) || !dispatch) continue;
        IAccessible* item = nullptr;
        dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&item));
        dispatch->Release();
        if (!item) continue;
        BarItem one;
        BSTR name = nullptr;
        if (SUCCEEDED(item->get_accName(self, &name)) && name) one.Caption = name;
        SysFreeString(name);
        one.Caption.resize(std::min(one.Caption.size(), one.Caption.find(L'\t')));
        long left = 0, top = 0, width = 0, height = 0;
        item->accLocation(&left, &top, &width, &height, self);
        one.Rect = RECT{left, top, left + width, top + height};
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(item->get_accRole(self, &value)) && value.vt == VT_I4) one.Role = value.lVal;
        VariantClear(&value);
        if (SUCCEEDED(item->get_accState(self, &value)) && value.vt == VT_I4) one.State = value.lVal;
        VariantClear(&value);
        item->Release();
        items.push_back(std::move(one));
    }
    view->Release();
    return items;
}

// The item `caption` of a toolbar, the menu bar or a popup menu, once the window shows it.
inline std::optional<BarItem> WaitForBarItem(HWND bar, const std::wstring& caption) {
    std::optional<BarItem> found;
    PumpUntil([&] {
        for (const BarItem& item : BarItems(bar))
            if (item.Caption == caption && !IsRectEmpty(&item.Rect)) found = item;
        return found.has_value();
    });
    return found;
}

// Clicks the item `caption` of a toolbar, the menu bar or a popup menu; false (with a
// failure added) when the window has no such item.
inline bool ClickBarItem(HWND bar, const std::wstring& caption) {
    const std::optional<BarItem> item = WaitForBarItem(bar, caption);
    if (!item) {
        ADD_FAILURE() << "no item " << testsupport::Narrow(caption) << " in "
                      << testsupport::Narrow(WindowText(bar));
        return false;
    }
    ClickAt(Middle(item->Rect));
    return true;
}

// Runs an item of the popup menu that has just opened (or is about to): `path` names the
// items from that menu down, each but the last a submenu of the one before, the last run.
// False (with a failure added) when a menu does not come, lacks an item or stays open.
inline bool RunPopupItem(HWND main, const std::vector<std::wstring>& path) {
    std::vector<HWND> open;
    for (const std::wstring& caption : path) {
        HWND menu = nullptr;
        if (!PumpUntil([&] {
                for (HWND popup : VisiblePopups(main))
                    if (!menu && std::find(open.begin(), open.end(), popup) == open.end()) menu = popup;
                return menu != nullptr;
            })) {
            ADD_FAILURE() << "no menu showing " << testsupport::Narrow(caption);
            return false;
        }
        open.push_back(menu);
        if (!ClickBarItem(menu, caption)) return false;
    }
    if (!PumpUntil([&] { return VisiblePopups(main).empty(); })) {
        ADD_FAILURE() << "a menu stays open";
        return false;
    }
    return true;
}

// The bar of the main window captioned `caption` (a toolbar, the menu bar "メインメニュー",
// the address bar), or null.
inline HWND Bar(HWND main, const wchar_t* caption) {
    const std::vector<HWND> bars = ChildrenWithText(main, caption);
    return bars.size() == 1 ? bars[0] : nullptr;
}

// Runs a command of the menu bar: `path` names the menu ("表示(V)") and the items down to the
// one to run.
inline bool RunMenu(HWND main, const std::vector<std::wstring>& path) {
    HWND menuBar = Bar(main, L"メインメニュー");
    return menuBar && path.size() >= 2 && ClickBarItem(menuBar, path[0]) &&
           RunPopupItem(main, std::vector<std::wstring>(path.begin() + 1, path.end()));
}

// --- Pictures ---------------------------------------------------------------------------------

// The client area of a window as its WM_PRINT draws it.
struct PrintedWindow {
    int Width = 0, Height = 0;
    std::vector<COLORREF> Pixels;  // row by row, top first

    size_t CountOf(COLORREF colour) const { return static_cast<size_t>(std::count(Pixels.begin(), Pixels.end(), colour)); }
    COLORREF At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// A window of the started program printed into a bitmap with WM_PRINT, as the program paints
// it, whatever covers it on the screen. A device context cannot cross processes, so the
// printing runs inside the program: printhook.dll (beside the tests) is hooked onto the
// window's thread, prints the window's client area on a message the test sends, and hands the
// pixels back through shared memory (protocol: printhook/printhook.cpp). Empty when it could
// not be printed.
inline PrintedWindow PrintWindowOf(HWND window) {
    PrintedWindow printed;
    HMODULE library = LoadLibraryW((ExeFolder() + L"printhook.dll").c_str());
    if (!library) return printed;
    auto* proc = reinterpret_cast<HOOKPROC>(GetProcAddress(library, "PrintHookProc"));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const DWORD capacity = 2048 * 2048;  // more than the virtual screen
    const std::wstring name = L"WendlarTestPrint." + std::to_wstring(GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        (capacity + 3) * sizeof(DWORD), name.c_str());
    auto* shared = mapping ? static_cast<DWORD*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
    HHOOK hook = proc && thread ? SetWindowsHookExW(WH_CALLWNDPROC, proc, library, thread) : nullptr;
    if (shared && hook) {
        shared[0] = shared[1] = shared[2] = 0;
        DWORD_PTR ignored = 0;
        const UINT message = RegisterWindowMessageW(L"WendlarTestPrintWindow");
        // Sent: the program has printed the window when this returns.
        SendMessageTimeoutW(window, message, GetCurrentProcessId(), capacity, SMTO_ABORTIFHUNG, testsupport::kWaitMs,
                            &ignored);
        if (shared[2] == 1 && shared[0] > 0) {
            printed.Width = static_cast<int>(shared[0]);
            printed.Height = static_cast<int>(shared[1]);
            printed.Pixels.reserve(static_cast<size_t>(printed.Width) * printed.Height);
            for (size_t i = 0; i < static_cast<size_t>(printed.Width) * printed.Height; ++i) {
                const DWORD p = shared[3 + i];
                printed.Pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
            }
        }
    }
    if (hook) UnhookWindowsHookEx(hook);
    if (shared) UnmapViewOfFile(shared);
    if (mapping) CloseHandle(mapping);
    FreeLibrary(library);
    return printed;
}

// --- Waiting for the program ------------------------------------------------------------------

// Waits until a window is gone (destroyed: its handle names no window any more); a window
// that is being destroyed may already answer no message, which says nothing about its end.
inline bool WaitGone(HWND window) {
    return PumpUntil([&] { return !IsWindow(window); });
}

// Waits until a window is gone or hidden.
inline bool WaitClosed(HWND window) {
    return PumpUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

}  // namespace wendlartest

// The driving helpers of the end-to-end tests. Everything of wendlartest is found through this
// namespace too.
namespace wendlartest::driving {

using namespace wendlartest;

// The settings files the program reads and writes, started afresh for each test.
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

// Waits until the program's keyboard focus is in a window of class `className`.
inline bool WaitForFocus(const Program& program, const std::wstring& className) {
    return PumpUntil([&] {
        HWND focus = program.FocusWindow();
        return focus && ClassOf(focus) == className;
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
    if (!PumpUntil([&] { return GetForegroundWindow() == main; }) || !WaitForFocus(program, focusClass)) {
        ADD_FAILURE() << "the main window is not in the foreground with the focus in " << testsupport::Narrow(focusClass);
        return nullptr;
    }
    return main;
}

// The main window of a started program with its first registry window, in the foreground;
// null when that does not come.
inline HWND StartedMainWindow(const Program& program) {
    HWND main = program.Started ? program.MainWindow() : nullptr;
    if (!main || !PumpUntil([&] { return !RegistryWindows(main).empty(); })) return nullptr;
    SetForegroundWindow(main);
    return PumpUntil([&] { return GetForegroundWindow() == main; }) ? main : nullptr;
}

// The main window takes keys: enabled, in the foreground, the focus in one of its controls
// (an undo that re-imports a backup waits for the import with the windows disabled, and keys
// pressed meanwhile are lost as in any modal wait).
inline bool MainReady(const Program& program, HWND main) {
    return PumpUntil([&] {
        HWND focus = program.FocusWindow();
        return IsWindowEnabled(main) && GetForegroundWindow() == main && focus && GetAncestor(focus, GA_ROOT) == main;
    });
}

// Waits for the window captioned `caption` and for the focus inside it; null (after a
// failure added) when either does not come.
inline HWND WaitForDialog(const Program& program, const wchar_t* caption) {
    HWND dialog = nullptr;
    if (!PumpUntil([&] { return (dialog = program.FindWindow(L"", caption)) != nullptr; })) {
        ADD_FAILURE() << "no window " << testsupport::Narrow(caption);
        return nullptr;
    }
    if (!PumpUntil([&] {
            HWND focus = program.FocusWindow();
            return focus && focus != dialog && GetAncestor(focus, GA_ROOT) == dialog;
        })) {
        ADD_FAILURE() << "nothing of " << testsupport::Narrow(caption) << " has the focus";
        return nullptr;
    }
    return dialog;
}

// The visible panes of the tool panel (the registry windows' views are of other classes).
inline size_t VisibleToolPanes(HWND main) {
    return ChildrenWhere(main, [](HWND child) { return ClassOf(child) == L"TBaseGridTree" && IsWindowVisible(child); })
        .size();
}

// Waits for the input box captioned `caption`, replaces its text by `text` typed key by key
// and presses Enter; false when the box did not come, take the text or go.
inline bool AnswerInputBox(const Program& program, const wchar_t* caption, const std::wstring& text) {
    HWND box = WaitForDialog(program, caption);
    if (!box) return false;
    HWND field = program.FocusWindow();
    TapKey(VK_END);
    TapKey(VK_HOME, VK_SHIFT);
    TypeKeys(text);
    if (!PumpUntil([&] { return WindowText(field) == text; })) {
        ADD_FAILURE() << "the field shows " << testsupport::Narrow(WindowText(field));
        return false;
    }
    TapKey(VK_RETURN);
    return WaitClosed(box);
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
    return WaitClosed(question);
}

// The registry window showing the key `caption`, or null.
inline HWND RegistryWindowOf(HWND main, const std::wstring& caption) {
    for (HWND window : RegistryWindows(main))
        if (WindowText(window) == caption) return window;
    return nullptr;
}

// A visible popup menu window of the process that owns `main` (the newest), or null.
inline HWND VisiblePopup(HWND main) {
    const std::vector<HWND> popups = VisiblePopups(main);
    return popups.empty() ? nullptr : popups[0];
}

inline bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// --- Tab strips -------------------------------------------------------------------------------

// A tab strip that is a direct child of `parent`: a window of the class library's plain
// control class that holds no windows (the other such children of the main window and the
// tool panel hold docks); null unless there is exactly one.
inline HWND TabStripOf(HWND parent) {
    const std::vector<HWND> strips = ChildrenWhere(parent, [&](HWND child) {
        return GetParent(child) == parent && ClassOf(child) == L"TWinControl" && !GetWindow(child, GW_CHILD);
    });
    return strips.size() == 1 ? strips[0] : nullptr;
}

// The strip of the registry windows' tabs, or null.
inline HWND RegistryTabStrip(HWND main) { return TabStripOf(main); }

// The tab that a strip draws as the active one, in screen coordinates, from the strip's
// picture: the active tab's face starts white at its top, the others' grey.
inline std::optional<RECT> ActiveTab(HWND strip) {
    const PrintedWindow picture = PrintWindowOf(strip);
    if (picture.Pixels.empty()) return std::nullopt;
    const POINT origin = ScreenPoint(strip, 0, 0);
    for (int y = 0; y < picture.Height; ++y) {
        int from = -1, to = -1;
        for (int x = 0; x < picture.Width; ++x)
            if (picture.At(x, y) == RGB(255, 255, 255)) {
                if (from < 0) from = x;
                to = x;
            }
        if (from >= 0 && to - from > 8) return RECT{origin.x + from, origin.y + y, origin.x + to + 1, origin.y + picture.Height};
    }
    return std::nullopt;
}

// --- The tool panel ---------------------------------------------------------------------------

// The tool panel at the bottom of the main window (its caption is the page's name), or null
// while it is hidden.
inline HWND ToolPanel(HWND main) {
    for (const wchar_t* caption : {L"検索", L"アンドゥ", L"クリップボード", L"履歴"})
        for (HWND panel : ChildrenWithText(main, caption))
            if (IsWindowVisible(panel) && ClassOf(panel) == L"TBarDockableWindow") return panel;
    return nullptr;
}

// The tool panel's tab strip, or null.
inline HWND ToolPanelTabs(HWND panel) { return panel ? TabStripOf(panel) : nullptr; }

// Shows the tool panel through the View menu ("ツールウインドウの表示").
inline bool ShowToolPanel(HWND main) {
    return RunMenu(main, {L"表示(V)", L"ツールウインドウの表示"}) && PumpUntil([&] { return ToolPanel(main) != nullptr; });
}

// Turns the shown tool panel to the page `caption` with the mouse wheel over its tab strip,
// one tab at a time (each turn shows in the panel's caption): back to the first page, then
// on until the page comes.
inline bool TurnToolPanel(HWND main, const std::wstring& caption) {
    static const std::vector<std::wstring> pages = {L"検索", L"アンドゥ", L"クリップボード", L"履歴"};
    HWND panel = ToolPanel(main);
    HWND strip = ToolPanelTabs(panel);
    const auto target = std::find(pages.begin(), pages.end(), caption);
    if (!strip || target == pages.end()) return false;
    RECT r{};
    GetWindowRect(strip, &r);
    const POINT at = Middle(r);
    for (;;) {
        const std::wstring shown = WindowText(panel);
        const auto now = std::find(pages.begin(), pages.end(), shown);
        if (now == target) return true;
        if (now == pages.end()) return false;
        const short delta = now < target ? -WHEEL_DELTA : WHEEL_DELTA;  // down: the next tab
        PostMessageW(strip, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(at.x, at.y));
        if (!PumpUntil([&] { return WindowText(panel) != shown; })) return false;
    }
}

// The visible panes (grid trees) of the tool panel's page, left to right; null past them.
inline HWND VisiblePane(HWND main, int which = 0) {
    HWND panel = ToolPanel(main);
    if (!panel) return nullptr;
    std::vector<HWND> panes =
        ChildrenWhere(panel, [](HWND child) { return ClassOf(child) == L"TBaseGridTree" && IsWindowVisible(child); });
    std::sort(panes.begin(), panes.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return which < static_cast<int>(panes.size()) ? panes[static_cast<size_t>(which)] : nullptr;
}

// --- Rows of panes and lists ------------------------------------------------------------------

// The rows of a grid (a pane of the tool panel, a key tree or a value list), measured from
// its picture: a click at the top edge of its client area selects the first row, which then
// shows a band of the selection colour (its focus rectangle drawn in the inverse colour) as
// high as the row, less the row's horizontal grid line if the grid draws grid lines (a dotted
// line across the grid). Measured once per grid.
struct Rows {
    HWND Grid = nullptr;
    int Height = 0;  // of one row; 0 when it could not be measured
    // The middle of row `row` in screen coordinates (near the left end of the row).
    POINT Row(int row) const {
        RECT client{};
        GetClientRect(Grid, &client);
        return ScreenPoint(Grid, std::min<int>(60, client.right / 2), row * Height + Height / 2);
    }
};

namespace detail {

// The height of a row from a grid's picture with the first row selected; 0 when the picture
// shows no selected first row.
inline int RowHeightIn(const PrintedWindow& picture) {
    const COLORREF band = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF focus = RGB(255 - GetRValue(band), 255 - GetGValue(band), 255 - GetBValue(band));
    // The band's height: its longest column from the top (the text in it breaks others).
    int height = 0;
    for (int x = 0; x < picture.Width; ++x) {
        int run = 0;
        while (run < picture.Height && (picture.At(x, run) == band || picture.At(x, run) == focus)) ++run;
        height = std::max(height, run);
    }
    if (height < 3 || height >= picture.Height) return 0;
    const COLORREF background = picture.At(picture.Width - 1, picture.Height - 1);
    int marked = 0;
    for (int x = 0; x < picture.Width; ++x)
        if (picture.At(x, height) != background) ++marked;
    return marked * 4 >= picture.Width ? height + 1 : height;
}

}  // namespace detail

inline Rows RowsOf(HWND grid) {
    static std::map<HWND, int> measured;
    Rows rows{grid, measured[grid]};
    if (rows.Height > 0) return rows;
    RECT client{};
    GetClientRect(grid, &client);
    ClickAt(ScreenPoint(grid, std::min<int>(60, client.right / 2), 1));
    PumpUntil([&] {
        const PrintedWindow picture = PrintWindowOf(grid);
        rows.Height = picture.Pixels.empty() ? -1 : detail::RowHeightIn(picture);
        return rows.Height != 0;
    });
    if (rows.Height <= 0) {
        ADD_FAILURE() << "no selected first row in " << testsupport::Narrow(ClassOf(grid));
        rows.Height = 0;
    }
    measured[grid] = rows.Height;
    return rows;
}

// The middle of row `row` of a pane in screen coordinates (the first use on a pane selects its
// first row to measure the rows).
inline POINT PaneRow(HWND pane, int row) { return RowsOf(pane).Row(row); }

// Opens a pane's menu with a right click on the row at `at` and runs the item `caption`.
inline bool RunPaneMenuItem(HWND main, POINT at, const std::wstring& caption) {
    ClickAt(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    return RunPopupItem(main, {caption});
}

// Opens a pane's menu with a right click on row `row` and runs its item number `item` (0 the
// first, separators not counted); false when no menu came.
inline bool RunPaneMenuItem(HWND main, HWND pane, int row, int item) {
    ClickAt(PaneRow(pane, row), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND menu = nullptr;
    if (!PumpUntil([&] { return (menu = VisiblePopup(main)) != nullptr; })) return false;
    std::vector<BarItem> items;
    PumpUntil([&] {
        items = BarItems(menu);
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [](const BarItem& one) { return one.Role == ROLE_SYSTEM_SEPARATOR; }),
                    items.end());
        return static_cast<int>(items.size()) > item;
    });
    if (static_cast<int>(items.size()) <= item) return false;
    ClickAt(Middle(items[static_cast<size_t>(item)].Rect));
    return WaitClosed(menu);
}

// --- Commands ---------------------------------------------------------------------------------

// Once the main window takes keys again, Ctrl+Z and Yes to its question.
inline bool UndoNewest(const Program& program, HWND main) {
    if (!MainReady(program, main)) return false;
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
    RECT r{};
    GetClientRect(edit, &r);
    ClickAt(ScreenPoint(edit, r.right / 4 + (clicks++ % 2) * (r.right / 2), r.bottom / 2));
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

// Goes to the key `path` (below HKEY_CURRENT_USER) through the address box and waits until
// its window shows the key's name `caption` with the focus in the key tree (where the jump
// puts it).
inline bool GoToKey(const Program& program, HWND main, const std::wstring& path, const std::wstring& caption) {
    return GoToPath(program, main, L"HKEY_CURRENT_USER\\" + path) && WaitForActiveKey(main, caption) &&
           WaitForFocus(program, L"TVxRegTreeView");
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
