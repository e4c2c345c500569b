// Start-up must end in a window or in the end of the process: a process that can no longer
// make its main window would otherwise stay behind, holding the single-instance mutex.
//
// TStartFailureGuard: from its construction until Disarm (the main window shows) or its
// destruction, a processor fault on any thread of the process (a stack overflow anywhere; an
// access violation, illegal or privileged instruction, division by zero or paging error in
// the program's own code; a failed fast check or heap corruption anywhere) is reported and
// ends the process with the fault's code as its exit code. The faulting thread does nothing
// more; the report runs on a thread made for it beforehand (a thread whose stack ran out
// could not show anything), and the process ends when the report returns.
//
// C++ exceptions are not faults: they reach the entry's or the window procedures' handlers as
// before. One guard at a time; construct, Disarm and destroy on the same thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace app {

// "Wendlar を起動できませんでした。…" with the fault's code in hexadecimal.
std::wstring StartFailureText(DWORD code);

class TStartFailureGuard {
public:
    // `report` shows the failure (it runs on the guard's own thread); the process then ends.
    explicit TStartFailureGuard(std::function<void(DWORD code)> report);
    ~TStartFailureGuard();
    TStartFailureGuard(const TStartFailureGuard&) = delete;
    TStartFailureGuard& operator=(const TStartFailureGuard&) = delete;

    // The main window shows: faults from now on are no longer the guard's.
    void Disarm();

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info);
    static DWORD WINAPI ReportThread(void* parameter);

    std::function<void(DWORD)> FReport;
    HANDLE FFault = nullptr;     // set by the handler
    HANDLE FDisarmed = nullptr;  // set by Disarm: the report thread ends
    HANDLE FThread = nullptr;
    PVOID FHandler = nullptr;
    volatile LONG FCode = 0;
};

}  // namespace app
