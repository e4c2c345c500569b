#include "common/dialog_driving.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classlib/screen.h"
#include "classlib/timer.h"
#include "common/test_support.h"

namespace testsupport {

using namespace classlib;

namespace {

// Timers that wait for a modal form or a menu; freed when the program ends, so that a timer
// is never freed from its own handler.
std::vector<std::unique_ptr<TTimer>>& Waiters() {
    static std::vector<std::unique_ptr<TTimer>> waiters;
    return waiters;
}

}  // namespace

namespace {

// The shown window of a popup menu of this thread (the themed menus' own windows), or null.
HWND OpenMenu() {
    HWND open = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring(name).find(L"PopupWindow") == std::wstring::npos || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&open));
    return open;
}

}  // namespace

void MenuKeys(HWND window, const std::vector<WORD>& keys) {
    // The keys go in once the menu is open (its loop reads them from the thread's queue); a
    // menu still open after the wait is closed so that the test goes on.
    auto timer = std::make_unique<TTimer>(nullptr);
    TTimer* self = timer.get();
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    bool sent = false;
    self->SetInterval(10);
    self->SetOnTimer([=](TComponent*) mutable {
        HWND menu = OpenMenu();
        if (!menu) {
            if (GetTickCount64() <= deadline) return;
            self->SetEnabled(false);
            ADD_FAILURE() << "the menu did not open";
            return;
        }
        if (sent) {
            if (GetTickCount64() <= deadline) return;
            self->SetEnabled(false);
            ADD_FAILURE() << "the menu did not close";
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
            return;
        }
        sent = true;
        for (WORD key : keys) PostMessageW(window, WM_KEYDOWN, key, 1);
    });
    Waiters().push_back(std::move(timer));
}

TForm* ActiveModalForm() {
    // The innermost modal form is the last one made among those shown modally.
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TForm* form = Screen->Forms(i);
        if (form->IsModal() && form->HandleAllocated() && IsWindowVisible(form->Handle())) return form;
    }
    return nullptr;
}

void WhenModal(const std::function<bool(TForm&)>& match, std::function<void(TForm&)> script) {
    auto timer = std::make_unique<TTimer>(nullptr);
    TTimer* self = timer.get();
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    self->SetInterval(10);
    self->SetOnTimer([self, match, script = std::move(script), deadline](TComponent*) {
        TForm* form = ActiveModalForm();
        if (form && match(*form)) {
            self->SetEnabled(false);
            script(*form);
        } else if (GetTickCount64() > deadline) {
            self->SetEnabled(false);
            ADD_FAILURE() << "the modal dialog did not come";
        }
    });
    Waiters().push_back(std::move(timer));
}

TModalResult RunModal(TForm& form, std::function<void()> script) {
    WhenModal([&form](TForm& f) { return &f == &form; }, [script = std::move(script)](TForm&) { script(); });
    return form.ShowModal();
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD key : keys) add(key, false);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) add(*key, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace testsupport
