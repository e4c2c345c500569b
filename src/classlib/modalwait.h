// Modality shared by modal forms and by waits that keep the user interface alive.
//
// TDisabledThreadWindows disables the visible, enabled top-level windows of the calling
// thread (except one it is told to keep) and enables again, when it goes, those of them
// that still exist. TForm::ShowModal and WaitModally both use it, so a modal form and a
// wait for another process refuse input the same way.
//
// Main thread (or any thread with windows) only; each call works on the calling thread's
// windows and message queue.
#pragma once

#include <windows.h>

#include <vector>

namespace classlib {

class TDisabledThreadWindows {
public:
    explicit TDisabledThreadWindows(HWND keep = nullptr);
    ~TDisabledThreadWindows();
    TDisabledThreadWindows(const TDisabledThreadWindows&) = delete;
    TDisabledThreadWindows& operator=(const TDisabledThreadWindows&) = delete;

    const std::vector<HWND>& Windows() const { return FDisabled; }

private:
    std::vector<HWND> FDisabled;
};

// Waits until `object` (a process, thread or event handle) is signalled while the thread's
// windows are disabled and its messages are handled, so windows keep painting but no
// command can start. A WM_QUIT met during the wait does not end it (the object's owner may
// still need the caller afterwards); the quit request is posted again, with its exit code,
// once the wait is over. True when the object was signalled; False when the wait failed
// (an invalid handle).
bool WaitModally(HANDLE object);

}  // namespace classlib
