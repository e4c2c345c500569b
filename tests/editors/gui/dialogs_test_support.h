// Driving the dialogs as a user does, from inside their modal loops: keys and clicks through
// the system's input queue, a script of steps each waiting for its condition, and an answerer
// of the program's own message boxes.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "classlib/form.h"
#include "classlib/screen.h"
#include "classlib/timer.h"
#include "controls/wide/widedialogs.h"

namespace editorstest {

// The stand-in text editor program built beside the test program.
inline std::wstring StandInEditor() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return (std::filesystem::path(path).parent_path() / L"standin_editor.exe").wstring();
}

// Presses and releases `key` with `modifiers` held (VK_CONTROL, VK_SHIFT, VK_MENU), as the
// keyboard does: the window with the focus gets it.
inline void PressKey(WORD key, std::initializer_list<WORD> modifiers = {}) {
    std::vector<INPUT> in;
    auto add = [&in](WORD vk, DWORD flags) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = flags;
        in.push_back(i);
    };
    for (WORD m : modifiers) add(m, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (auto m = modifiers.end(); m != modifiers.begin();) add(*--m, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// Types `text` (letters, digits and blanks) key by key.
inline void TypeKeys(const std::wstring& text) {
    for (wchar_t c : text) {
        const SHORT vk = VkKeyScanW(c);
        if (vk & 0x100)
            PressKey(LOBYTE(vk), {VK_SHIFT});
        else
            PressKey(LOBYTE(vk));
    }
}

// A click of the left mouse button at `at`, in client coordinates of `window`.
inline void ClickAt(HWND window, POINT at) {
    ClientToScreen(window, &at);
    INPUT in[3]{};
    in[0].type = in[1].type = in[2].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    in[0].mi.dx = (at.x * 65535 + cx / 2) / (cx - 1);
    in[0].mi.dy = (at.y * 65535 + cy / 2) / (cy - 1);
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof(INPUT));
}

// A click in the middle of `window`.
inline void ClickWindow(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    ClickAt(window, {r.right / 2, r.bottom / 2});
}

// The keyboard focus is in `window`.
inline bool HasFocus(HWND window) { return window && GetFocus() == window; }

// The visible message box of the program that is still open, or null.
inline wide::TWideMessageForm* OpenMessageBox() {
    for (int i = 0; i < classlib::Screen->FormCount(); ++i) {
        auto* box = dynamic_cast<wide::TWideMessageForm*>(classlib::Screen->Forms(i));
        if (box && box->Visible() && box->ModalResult() == classlib::mrNone) return box;
    }
    return nullptr;
}

// Steps run one after the other from a timer, so they run inside whatever modal loop is
// open: each waits until its condition holds, then does what a user does next. A step
// that never comes leaves the dialog to the test program's watchdog, which cancels it.
class InputScript {
public:
    InputScript() : FTimer(nullptr) {
        FTimer.SetInterval(10);
        FTimer.SetOnTimer([this](classlib::TComponent*) {
            if (FNext < FSteps.size() && FSteps[FNext].When()) FSteps[FNext++].Act();
        });
        FTimer.SetEnabled(true);
    }
    InputScript& Then(std::function<bool()> when, std::function<void()> act) {
        FSteps.push_back({std::move(when), std::move(act)});
        return *this;
    }
    // How many steps ran; all of them when the script is through.
    size_t Done() const { return FNext; }
    size_t Count() const { return FSteps.size(); }

private:
    struct Step {
        std::function<bool()> When;
        std::function<void()> Act;
    };
    classlib::TTimer FTimer;
    std::vector<Step> FSteps;
    size_t FNext = 0;
};

// While it lives, every message box of the program that opens is read and closed with OK;
// Texts() lists what they said, in order.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : FTimer(nullptr) {
        FTimer.SetInterval(10);
        FTimer.SetOnTimer([this](classlib::TComponent*) {
            while (wide::TWideMessageForm* box = OpenMessageBox()) {
                FTexts.push_back(box->Message ? box->Message->Caption() : std::wstring());
                box->SetModalResult(classlib::mrOk);
            }
        });
        FTimer.SetEnabled(true);
    }
    const std::vector<std::wstring>& Texts() const { return FTexts; }

private:
    classlib::TTimer FTimer;
    std::vector<std::wstring> FTexts;
};

}  // namespace editorstest
