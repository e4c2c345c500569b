// wendlar.exe started from a test and driven from outside as a user would, and the
// settings files a test changes, put back afterwards.
#pragma once

#include <windows.h>

#include "common/test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace wendlartest {

namespace fs = std::filesystem;

inline std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s = path;
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

inline fs::path SettingsFile(const wchar_t* name) { return fs::path(ExeFolder()) / L"Settings" / name; }

// Moves a settings file (or folder) aside for the test and puts it back afterwards.
class SettingsFileGuard {
public:
    explicit SettingsFileGuard(const wchar_t* name) : FPath(SettingsFile(name)), FSaved(FPath.wstring() + L".saved") {
        fs::create_directories(FPath.parent_path());
        std::error_code ec;
        fs::remove_all(FSaved, ec);
        if (fs::exists(FPath)) fs::rename(FPath, FSaved);
    }
    ~SettingsFileGuard() {
        std::error_code ec;
        fs::remove_all(FPath, ec);
        if (fs::exists(FSaved)) fs::rename(FSaved, FPath, ec);
    }
    const fs::path& Path() const { return FPath; }
    // Writes `text` as the file in the settings' own encoding (UTF-16LE with BOM).
    void Write(const std::wstring& text) const {
        std::ofstream out(FPath, std::ios::binary);
        out.write("\xFF\xFE", 2);
        out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
    }
    std::wstring Read() const {
        std::ifstream in(FPath, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.size() < 2) return L"";
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    }

private:
    fs::path FPath, FSaved;
};

// One started wendlar.exe; ended by force if a test leaves it running.
class Program {
public:
    explicit Program(const std::wstring& args = L"") {
        const std::wstring exe = ExeFolder() + L"wendlar.exe";
        std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si{sizeof(si)};
        Started = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &FInfo);
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
    // The visible main window, once it appears (null after the wait). Its caption is
    // "Wendlar", followed by the maximised registry window's caption when there is one.
    HWND MainWindow() const {
        HWND found = nullptr;
        testsupport::PumpUntil([&] { return (found = FindWindow(L"TMainForm")) != nullptr; });
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
        testsupport::PumpUntil([&] { return WaitForSingleObject(FInfo.hProcess, 0) == WAIT_OBJECT_0; });
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

// The first descendant of `parent` of a window class, or null.
inline HWND ChildOfClass(HWND parent, const wchar_t* className) {
    struct Ctx {
        const wchar_t* cls;
        HWND found;
    } ctx{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (ClassOf(child) != c->cls) return TRUE;
            c->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// The registry windows in the main window's MDI client, in z order (the active first).
inline std::vector<HWND> RegistryWindows(HWND main) {
    std::vector<HWND> windows;
    HWND client = FindWindowExW(main, nullptr, L"MDIClient", nullptr);
    for (HWND w = client ? GetWindow(client, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
        if (ClassOf(w) == L"TRegEdForm") windows.push_back(w);
    return windows;
}

// The descendants of `parent` that show `text`.
inline std::vector<HWND> ChildrenWithText(HWND parent, const std::wstring& text) {
    struct Ctx {
        const std::wstring& text;
        std::vector<HWND> found;
    } ctx{text, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (WindowText(child) == c->text) c->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

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

// Presses and releases a mouse button at a screen point (`down` and `up`: the button's
// MOUSEEVENTF_ flags), with a key held when asked.
inline void ClickAt(POINT screen, DWORD down, DWORD up, WORD modifier = 0) {
    SetCursorPos(screen.x, screen.y);
    auto key = [modifier](bool release) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = modifier;
        input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof(input));
    };
    if (modifier) key(false);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
    if (modifier) key(true);
}

// A left click at the middle of a window.
inline void ClickOn(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
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

// Types digits and letters as key presses.
inline void TypeKeys(const std::wstring& text) {
    for (wchar_t c : text) TapKey(static_cast<WORD>(towupper(c)));
}

}  // namespace wendlartest
