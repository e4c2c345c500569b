#include "classlib/timer.h"

#include "classlib/errors.h"

#include <unordered_map>

namespace classlib {

// The utility window that receives WM_TIMER for every TTimer, and the running timers by
// their id (ids are never reused, so a late WM_TIMER of a stopped timer finds nothing).
struct TimerWindow {
    static TimerWindow& Instance() {
        static TimerWindow window;
        return window;
    }

    HWND Handle() {
        if (!FHandle) {
            static const wchar_t kClass[] = L"TPUtilWindow";
            HINSTANCE instance = GetModuleHandleW(nullptr);
            WNDCLASSEXW wc{sizeof(wc)};
            if (!GetClassInfoExW(instance, kClass, &wc)) {
                wc = WNDCLASSEXW{sizeof(wc)};
                wc.lpfnWndProc = &TimerWindow::WndProc;
                wc.hInstance = instance;
                wc.lpszClassName = kClass;
                RegisterClassExW(&wc);
            }
            FHandle = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, nullptr);
        }
        return FHandle;
    }

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_TIMER) {
            auto& timers = Instance().Timers;
            auto it = timers.find(static_cast<UINT_PTR>(wParam));
            if (it != timers.end()) {
                TTimer* timer = it->second;
                try {
                    timer->Timer();
                } catch (...) {
                    HandleCurrentException(timer);
                }
            }
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND FHandle = nullptr;
    UINT_PTR NextId = 1;
    std::unordered_map<UINT_PTR, TTimer*> Timers;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
    if (value != FEnabled) {
        FEnabled = value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(unsigned value) {
    if (value != FInterval) {
        FInterval = value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::Timer() {
    if (FOnTimer)
        FOnTimer(this);
}

void TTimer::UpdateTimer() {
    TimerWindow& window = TimerWindow::Instance();
    if (FTimerId) {
        KillTimer(window.FHandle, FTimerId);
        window.Timers.erase(FTimerId);
        FTimerId = 0;
    }
    if (!FEnabled || FInterval == 0 || !FOnTimer)
        return;
    HWND handle = window.Handle();
    UINT_PTR id = window.NextId++;
    if (!handle || !SetTimer(handle, id, FInterval, nullptr))
        throw EOutOfResources(L"利用可能なタイマーが足りません");
    window.Timers[id] = this;
    FTimerId = id;
}

}  // namespace classlib
