// A window of the started program printed into a bitmap with WM_PRINT, as the program
// paints it, whatever covers it on the screen. A device context cannot cross processes, so
// the printing runs inside the program: printhook.dll (beside the tests) is hooked onto the
// window's thread, prints the window on a message the test sends, and hands the pixels back
// through shared memory (protocol: printhook/printhook.cpp).
#pragma once

#include <windows.h>

#include "common/test_support.h"
#include "program.h"

#include <algorithm>
#include <string>
#include <vector>

namespace wendlartest {

struct PrintedWindow {
    int Width = 0, Height = 0;
    std::vector<COLORREF> Pixels;  // row by row, top first

    size_t CountOf(COLORREF colour) const { return static_cast<size_t>(std::count(Pixels.begin(), Pixels.end(), colour)); }
};

// The client area of `window` as its WM_PRINT draws it; empty when it could not be printed.
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

}  // namespace wendlartest
