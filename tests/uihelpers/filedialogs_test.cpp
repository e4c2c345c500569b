// The file chooser: confirmed and cancelled runs, driven by a helper thread that answers
// the system dialog.
#include "uihelpers/filedialogs.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace uihelpers;

namespace {

// Waits for a dialog window of this process and sends it `command` (IDOK / IDCANCEL).
std::thread AnswerDialog(WORD command) {
    return std::thread([command] {
        HWND found = nullptr;
        if (testsupport::WaitUntil([&] { return (found = testsupport::FindOwnDialog()) != nullptr; }))
            PostMessageW(found, WM_COMMAND, command, 0);
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
    EXPECT_EQ(L".reg", std::filesystem::path(name).extension().wstring());
    EXPECT_NE(std::wstring::npos, name.find(L"script")) << testsupport::Narrow(name);

    std::wstring kept = L"unchanged";
    std::thread cancel = AnswerDialog(IDCANCEL);
    EXPECT_FALSE(ShowFileDialog(nullptr, L"", L"すべて|*.*", dir.Path().wstring(), L"タイトル",
                                kept, true, false, true, true, 1));
    cancel.join();
    EXPECT_EQ(L"unchanged", kept);
}
