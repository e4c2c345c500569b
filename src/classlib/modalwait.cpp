#include "classlib/modalwait.h"

#include <optional>

namespace classlib {

namespace {

struct TCollect {
    HWND keep;
    std::vector<HWND>* windows;
};

BOOL CALLBACK DisableOne(HWND wnd, LPARAM data) {
    auto* collect = reinterpret_cast<TCollect*>(data);
    if (wnd != collect->keep && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
        collect->windows->push_back(wnd);
        EnableWindow(wnd, FALSE);
    }
    return TRUE;
}

}  // namespace

TDisabledThreadWindows::TDisabledThreadWindows(HWND keep) {
    TCollect collect{keep, &FDisabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&collect));
}

TDisabledThreadWindows::~TDisabledThreadWindows() {
    for (HWND wnd : FDisabled)
        if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
}

bool WaitModally(HANDLE object) {
    std::optional<int> quitCode;
    bool signalled = false;
    {
        TDisabledThreadWindows disabled;
        for (;;) {
            const DWORD wait = quitCode
                                   ? WaitForSingleObject(object, INFINITE)
                                   : MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_ALLINPUT,
                                                                 MWMO_INPUTAVAILABLE);
            if (wait == WAIT_OBJECT_0) {
                signalled = true;
                break;
            }
            if (quitCode || wait != WAIT_OBJECT_0 + 1) break;  // the wait itself failed
            MSG msg;
            while (!quitCode && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Kept for the loop that asked for it; nothing else is handled until the
                    // object is signalled.
                    quitCode = static_cast<int>(msg.wParam);
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    if (quitCode) PostQuitMessage(*quitCode);
    return signalled;
}

}  // namespace classlib
