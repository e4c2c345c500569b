// Input played into a modal loop (drag loops, menu loops) by the tests of the toolbar core.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

// Plays input into a modal mouse loop: each step runs from a message that the loop
// dispatches, then posts the next, so every move is seen after the one before.
class InputScript {
public:
    explicit InputScript(HWND target) : FTarget(target) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TestInputScript";
        RegisterClassExW(&wc);
        FWnd = CreateWindowExW(0, L"TestInputScript", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~InputScript() { DestroyWindow(FWnd); }

    InputScript& MoveTo(POINT screen) {
        FSteps.push_back([this, screen] {
            SetCursorPos(screen.x, screen.y);
            POINT c = screen;
            ScreenToClient(FTarget, &c);
            PostMessageW(FTarget, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        });
        return *this;
    }
    InputScript& Key(UINT message, WPARAM key, LPARAM data = 0) {
        FSteps.push_back([this, message, key, data] { PostMessageW(FTarget, message, key, data); });
        return *this;
    }
    InputScript& Run(std::function<void()> step) {
        FSteps.push_back(std::move(step));
        return *this;
    }
    InputScript& Release() {
        FSteps.push_back([this] {
            POINT c;
            GetCursorPos(&c);
            ScreenToClient(FTarget, &c);
            PostMessageW(FTarget, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        });
        return *this;
    }
    // Posts the first step; the loop that runs next plays the rest.
    void Start() { PostMessageW(FWnd, WM_APP, 0, 0); }
    bool Finished() const { return FNext >= FSteps.size(); }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<InputScript*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (msg != WM_APP || !self) return DefWindowProcW(wnd, msg, wp, lp);
        if (self->FNext < self->FSteps.size()) {
            self->FSteps[self->FNext++]();
            PostMessageW(wnd, WM_APP, 0, 0);
        }
        return 0;
    }

    HWND FTarget;
    HWND FWnd = nullptr;
    std::vector<std::function<void()>> FSteps;
    size_t FNext = 0;
};
