// The external editor round trip with the wait window and a stand-in editor program.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/timer.h"
#include "common/test_support.h"
#include "controls/wide/widestrings.h"
#include "dialogs_test_support.h"
#include "editors/externaleditor.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace editors;
using testsupport::Narrow;

namespace {

std::vector<std::wstring> LinesOf(const wide::TWideStrings& list) {
    std::vector<std::wstring> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
    return out;
}

// The temporary files the bridge may have left ("wen*.txt" in the temporary folder).
std::vector<std::wstring> LeftTempFiles() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::vector<std::wstring> files;
    for (const auto& entry : std::filesystem::directory_iterator(temp)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.rfind(L"wen", 0) == 0 && entry.path().extension() == L".txt") files.push_back(name);
    }
    return files;
}

// The kernel handles this process holds, counted one by one (the system's own count is 0
// under Wine): every value that names a handle is a multiple of 4.
int OpenHandleCount() {
    int count = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x10000; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    return count;
}

// The wait window of this thread, or null.
HWND WaitWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM out) {
            wchar_t caption[64] = {};
            GetWindowTextW(wnd, caption, 64);
            if (IsWindowVisible(wnd) && std::wstring(caption) == L"編集中・・・") {
                *reinterpret_cast<HWND*>(out) = wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

// What the editor saved comes back, whatever it saved in; a file the editor left as it
// was (untouched, or rewritten with the same bytes) leaves the lines as they are, even a
// line that a save and load would split. The path reaches the editor without quotes; the
// temporary file is gone and the process handle closed afterwards.
TEST(ExternalEditorRoundTrip, ReadsBackWhatTheEditorSaved) {
    const auto leftBefore = LeftTempFiles();
    {
        // Handles the system opens on the first start (the shell's own) are not counted.
        wide::TWideStringList warmUp;
        EditLinesExternally(nullptr, warmUp, editorstest::StandInEditor(), L"keep %1");
    }
    const int handlesBefore = OpenHandleCount();
    ASSERT_GT(handlesBefore, 0);
    struct Case {
        const wchar_t* mode;
        TExternalEditResult result;
    } cases[] = {
        {L"utf16", TExternalEditResult::Changed},
        {L"utf8", TExternalEditResult::Changed},
        {L"keep", TExternalEditResult::Unchanged},
        {L"same", TExternalEditResult::Unchanged},
    };
    for (const Case& c : cases) {
        wide::TWideStringList lines;
        lines.Add(L"一行目");
        lines.Add(L" ");
        lines.Add(L"a\rb");  // one line here; two once saved and read back
        const auto before = LinesOf(lines);
        const TExternalEditResult result =
            EditLinesExternally(nullptr, lines, editorstest::StandInEditor(), std::wstring(c.mode) + L" %1");
        EXPECT_EQ(result, c.result) << Narrow(c.mode);
        const auto after = LinesOf(lines);
        if (c.result == TExternalEditResult::Unchanged) {
            EXPECT_EQ(after, before) << Narrow(c.mode);
            continue;
        }
        ASSERT_EQ(after.size(), 5u) << Narrow(c.mode);
        EXPECT_EQ(std::vector<std::wstring>(after.begin(), after.begin() + 4),
                  (std::vector<std::wstring>{L"一行目", L" ", L"a", L"b"}))
            << Narrow(c.mode);
        const std::wstring path = after[4].substr(5);
        EXPECT_EQ(after[4].substr(0, 5), L"path=");
        EXPECT_EQ(path.find(L'"'), std::wstring::npos) << Narrow(path);
        EXPECT_EQ(std::filesystem::path(path).extension(), L".txt");
        EXPECT_FALSE(std::filesystem::exists(path)) << Narrow(path);
    }
    EXPECT_EQ(LeftTempFiles(), leftBefore);
    // Each start's process handle was closed again.
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

// Stopping the wait, by pressing the stop button with the space bar or by closing the wait
// window, reads back what the editor saved so far while the editor keeps running.
TEST(ExternalEditorRoundTrip, StopReadsWhatWasSavedSoFar) {
    for (const bool byButton : {true, false}) {
        const std::wstring token = std::to_wstring(GetCurrentProcessId()) + (byButton ? L"b" : L"c");
        HANDLE written = CreateEventW(nullptr, TRUE, FALSE, (L"WendlarStandinWritten-" + token).c_str());
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, (L"WendlarStandinRelease-" + token).c_str());
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, (L"WendlarStandinDone-" + token).c_str());
        ASSERT_TRUE(written && release && done);

        // Once the editor has saved, the test stops the wait as a user would.
        bool acted = false, sawStillRunning = false;
        classlib::TTimer timer(nullptr);
        timer.SetInterval(10);
        timer.SetOnTimer([&](classlib::TComponent*) {
            HWND wait = WaitWindow();
            if (acted || !wait || WaitForSingleObject(written, 0) != WAIT_OBJECT_0) return;
            HWND button = FindWindowExW(wait, nullptr, L"BUTTON", nullptr);
            if (byButton && !editorstest::HasFocus(button)) return;
            acted = true;
            sawStillRunning = WaitForSingleObject(release, 0) == WAIT_TIMEOUT;
            if (byButton)
                editorstest::PressKey(VK_SPACE);
            else
                PostMessageW(wait, WM_CLOSE, 0, 0);
        });
        timer.SetEnabled(true);

        wide::TWideStringList lines;
        lines.Add(L"x");
        const TExternalEditResult result =
            EditLinesExternally(nullptr, lines, editorstest::StandInEditor(), L"hold:" + token + L" %1");
        timer.SetEnabled(false);
        EXPECT_TRUE(acted) << (byButton ? "button" : "close");
        EXPECT_TRUE(sawStillRunning);
        // The wait ended while the editor still ran.
        EXPECT_EQ(WaitForSingleObject(done, 0), WAIT_TIMEOUT) << (byButton ? "button" : "close");
        SetEvent(release);
        EXPECT_EQ(WaitForSingleObject(done, testsupport::kWaitMs), WAIT_OBJECT_0);
        EXPECT_EQ(result, TExternalEditResult::Changed) << (byButton ? "button" : "close");
        ASSERT_EQ(lines.Count(), 2) << (byButton ? "button" : "close");
        EXPECT_EQ(lines.Get(1).substr(0, 5), L"path=");
        for (HANDLE h : {written, release, done}) CloseHandle(h);
    }
}

// An editor that cannot be started: the lines stay, no temporary file is left.
TEST(ExternalEditorRoundTrip, EditorThatDoesNotStart) {
    const auto leftBefore = LeftTempFiles();
    const std::wstring missing = editorstest::StandInEditor() + L".missing.exe";
    wide::TWideStringList lines;
    lines.Add(L"x");
    // The shell may tell the user in a box of its own: answer it as the user would.
    classlib::TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.SetOnTimer([&](classlib::TComponent*) {
        if (HWND box = testsupport::FindOwnDialog()) PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    timer.SetEnabled(true);
    EXPECT_EQ(EditLinesExternally(nullptr, lines, missing), TExternalEditResult::NotStarted);
    timer.SetEnabled(false);
    EXPECT_EQ(LinesOf(lines), std::vector<std::wstring>{L"x"});
    EXPECT_EQ(LeftTempFiles(), leftBefore);
}
