// Long key work in wendlar.exe driven from outside: pasting a copy of a key with 20,000
// subkeys and deleting it show a progress window while the main window keeps answering, a
// click on its Cancel button stops the work, and undo then brings the registry back to what
// it was before the command.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <functional>
#include <string>

namespace {

using testsupport::RegSnapshot;
using testsupport::TakeRegSnapshot;
using namespace wendlartest::driving;

using LongKeyWork = ProgramTest;

constexpr int Branches = 100, LeavesPerBranch = 199;  // 100 + 100 * 199 = 20,000 keys below

// Makes `parent`\Big with 20,000 keys below it, a value in every branch.
bool MakeBigTree(HKEY parent) {
    HKEY big = nullptr;
    if (RegCreateKeyExW(parent, L"Big", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &big, nullptr) != ERROR_SUCCESS)
        return false;
    bool made = true;
    for (int i = 0; i < Branches && made; ++i) {
        HKEY branch = nullptr;
        const std::wstring name = L"b" + std::to_wstring(i);
        made = RegCreateKeyExW(big, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &branch, nullptr) ==
               ERROR_SUCCESS;
        if (!made) break;
        const DWORD number = static_cast<DWORD>(i);
        RegSetValueExW(branch, L"n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
        for (int j = 0; j < LeavesPerBranch && made; ++j) {
            HKEY leaf = nullptr;
            const std::wstring leafName = L"l" + std::to_wstring(j);
            made = RegCreateKeyExW(branch, leafName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &leaf, nullptr) ==
                   ERROR_SUCCESS;
            if (made) RegCloseKey(leaf);
        }
        RegCloseKey(branch);
    }
    RegCloseKey(big);
    return made;
}

// Waits for the progress window of a long key command and for the work to reach `stage`,
// the main window answering every message sent to it meanwhile (a window that handles no
// message for 5 seconds counts as hung and answers none); then clicks the progress window's
// Cancel button and waits for it to go.
void CancelWhenProgressShows(const Program& program, HWND main, const std::function<bool()>& stage) {
    HWND progress = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (progress = program.FindWindow(L"", L"処理中")) != nullptr; }));
    int asked = 0, unanswered = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            DWORD_PTR answer = 0;
            ++asked;
            if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, testsupport::kWaitMs, &answer))
                ++unanswered;
            return stage();
        },
        3 * testsupport::kWaitMs));  // 20,000 keys read for a backup first
    EXPECT_EQ(unanswered, 0) << "of " << asked << ": the main window answers while the work runs";
    const std::vector<HWND> cancel = ChildrenWithText(progress, L"キャンセル");
    ASSERT_EQ(cancel.size(), 1u);
    ClickOn(cancel[0]);
    ASSERT_TRUE(WaitClosed(progress));
}

}  // namespace

// Big (20,000 keys) copied with Ctrl+C and pasted into its sibling Dst with Ctrl+V, cancelled
// half-way: the part copied stays and one undo removes it. Then Big deleted with Del and
// cancelled half-way: one undo restores it from its backup.
TEST_F(LongKeyWork, PasteAndDeleteOfABigTreeAreCancelledAndUndone) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey dst(name + L"\\Dst");
    ASSERT_TRUE(MakeBigTree(parent.Handle()));
    const std::wstring path = parent.Path();
    const RegSnapshot before = TakeRegSnapshot(path);
    ASSERT_EQ(before.size(), 20000u + 3u);  // the parent, Big, Dst and the keys below Big

    Program program(L"\"HKEY_CURRENT_USER\\" + path + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(GoToKey(program, main, path + L"\\Big", L"Big"));
    TapKey(L'C', VK_CONTROL);
    ASSERT_TRUE(GoToKey(program, main, dst.Path(), L"Dst"));
    TapKey(L'V', VK_CONTROL);
    CancelWhenProgressShows(program, main, [&] { return KeyExists(dst.Path() + L"\\Big\\b0"); });
    // The branches are copied and deleted in name order.
    EXPECT_TRUE(KeyExists(dst.Path() + L"\\Big\\b0"));
    EXPECT_FALSE(KeyExists(dst.Path() + L"\\Big\\b99")) << "the copy stopped at the cancel";
    ASSERT_TRUE(UndoNewest(program, main));
    EXPECT_TRUE(PumpUntil([&] { return TakeRegSnapshot(path) == before; })) << "the part copied is gone";

    ASSERT_TRUE(MainReady(program, main));
    ASSERT_TRUE(GoToKey(program, main, path + L"\\Big", L"Big"));
    TapKey(VK_DELETE);
    ASSERT_TRUE(AnswerYes(program));
    // The backup is read first; the cancel comes once the keys go.
    CancelWhenProgressShows(program, main, [&] { return !KeyExists(path + L"\\Big\\b0"); });
    EXPECT_FALSE(KeyExists(path + L"\\Big\\b0"));
    EXPECT_TRUE(KeyExists(path + L"\\Big\\b99")) << "the delete stopped at the cancel";
    ASSERT_TRUE(UndoNewest(program, main));
    // The system's registry editor imports the 20,000 keys of the backup.
    EXPECT_TRUE(PumpUntil([&] { return TakeRegSnapshot(path) == before; }, 3 * testsupport::kWaitMs))
        << "Big restored from its backup";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
