// The file chooser: confirmed and cancelled runs, driven by a helper thread that answers
// the system dialog.
#include "registry/wendlarutil.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Waits for a dialog window of this process and sends it `command` (IDOK / IDCANCEL).
std::thread AnswerDialog(WORD command) {
    return std::thread([command] {
        for (int i = 0; i < 200; ++i) {
            Sleep(50);
            HWND found = nullptr;
            EnumWindows(
                [](HWND window, LPARAM data) -> BOOL {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(window, &pid);
                    wchar_t cls[16] = {};
                    GetClassNameW(window, cls, 16);
                    if (pid == GetCurrentProcessId() && IsWindowVisible(window) &&
                        wcscmp(cls, L"#32770") == 0) {
                        *reinterpret_cast<HWND*>(data) = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&found));
            if (found) {
                PostMessageW(found, WM_COMMAND, command, 0);
                return;
            }
        }
    });
}

}  // namespace

TEST(FileDialog, ConfirmedSaveReturnsThePathCancelKeepsTheName) {
    testsupport::ScratchDir dir;
    std::wstring name = dir.File(L"script.reg");
    std::thread ok = AnswerDialog(IDOK);
    EXPECT_TRUE(ShowFileDialog(nullptr, L"reg", L"登録ファイル|*.reg|すべて|*.*", L"", L"",
                               name, false, false, true, false, 1));
    ok.join();
    EXPECT_TRUE(FileHasExt(name, L".reg"));
    EXPECT_NE(std::wstring::npos, name.find(L"script")) << testsupport::Narrow(name);

    std::wstring kept = L"unchanged";
    std::thread cancel = AnswerDialog(IDCANCEL);
    EXPECT_FALSE(ShowFileDialog(nullptr, L"", L"すべて|*.*", dir.Path().wstring(), L"タイトル",
                                kept, true, false, true, true, 1));
    cancel.join();
    EXPECT_EQ(L"unchanged", kept);
}
