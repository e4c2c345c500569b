// Starts wendlar.exe, finds its main window by caption and closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"

#include <string>

namespace {

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s = path;
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

struct FindCtx {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMain(HWND wnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<FindCtx*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    wchar_t caption[64] = {};
    GetWindowTextW(wnd, caption, 64);
    if (pid == ctx->pid && IsWindowVisible(wnd) && std::wstring(caption) == L"Wendlar") {
        ctx->found = wnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

TEST(Startup, ShowsMainWindowAndClosesCleanly) {
    std::wstring exe = ExeFolder() + L"wendlar.exe";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    WaitForInputIdle(pi.hProcess, 10000);
    FindCtx ctx{pi.dwProcessId, nullptr};
    testsupport::WaitUntil([&] {
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&ctx));
        return ctx.found != nullptr;
    });
    if (!ctx.found) TerminateProcess(pi.hProcess, 1);  // leaves no window on the display
    ASSERT_NE(ctx.found, nullptr) << "main window captioned Wendlar not found";
    PostMessageW(ctx.found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
