// The main window's search: starting, replacing and ending searches, stale messages, the
// debounced row count of the result pane, removing hits, the status texts.
#include "search/find_session.h"

#include <gtest/gtest.h>

#include "classlib/thread.h"
#include "common/test_support.h"
#include "session_window.h"

using namespace search;
using searchtest::SessionWindow;
using testsupport::ScratchKey;

namespace {

HKEY CreateKey(HKEY parent, const std::wstring& name) {
    HKEY key = nullptr;
    RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

class FindSessionTest : public testing::Test {
protected:
    FindSessionTest() : FKey(testsupport::CurrentTestName()), FWindow(FSession) {
        FSession.OnRowCount = [this](size_t rows) { FRows.push_back(rows); };
    }
    std::wstring Base() const { return L"HKEY_CURRENT_USER\\" + FKey.Path(); }
    // `count` subkeys "k10000"... each with a value "v" whose data is "data".
    void MakeKeys(int count) {
        for (int i = 0; i < count; ++i) {
            HKEY k = CreateKey(FKey.Handle(), L"k" + std::to_wstring(10000 + i));
            RegSetValueExW(k, L"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"data"), 10);
            RegCloseKey(k);
        }
    }
    TWendlarFindRecord Record(const std::wstring& keyword) {
        TWendlarFindRecord r;
        r.Keyword = keyword;
        r.StartKeys = Base() + L"\r\n";
        return r;
    }

    ScratchKey FKey;
    TFindSession FSession;
    SessionWindow FWindow;
    std::vector<size_t> FRows;
};

TEST_F(FindSessionTest, ANewSearchStopsTheOldOneAndStaleMessagesAreIgnored) {
    MakeKeys(1500);
    // The first search hands its hits over through calls this thread has not served yet,
    // so it is still running when the second starts.
    FSession.Start(Record(L"k1"), FWindow.Handle());
    const WPARAM first = FSession.Generation();
    ASSERT_TRUE(FSession.Running());
    EXPECT_EQ(FSession.LastFind().Keyword, L"k1");

    FSession.Start(Record(L"data"), FWindow.Handle());
    const WPARAM second = FSession.Generation();
    EXPECT_NE(first, second);
    EXPECT_EQ(FSession.LastFind().Keyword, L"data");
    EXPECT_EQ(FSession.LastFind().Results, &FSession.Results());
    // Whatever the first search handed over while it was stopped is gone with it.
    EXPECT_TRUE(FSession.Results().empty());

    // A done message of the first search does not end the second.
    PostMessageW(FWindow.Handle(), WM_FINDDONE, first, 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return FWindow.Done > 0; }, 120'000));
    EXPECT_EQ(FWindow.StaleDone, 1);
    EXPECT_EQ(FWindow.Done, 1);
    EXPECT_FALSE(FSession.Running());
    ASSERT_EQ(FSession.Results().size(), 1500u);
    for (const auto& hit : FSession.Results()) EXPECT_EQ(hit->FDataText, L"data");
    // The pane shows every row once the search is done, and the status says so.
    ASSERT_FALSE(FRows.empty());
    EXPECT_EQ(FRows.back(), 1500u);
    EXPECT_EQ(FWindow.Status.rfind(L"検索終了：（ヒット数：1500　検索時間：", 0), 0u);

    // Messages that arrive after the end change nothing.
    std::wstring status = L"kept";
    EXPECT_FALSE(FSession.HandleDone(second, status));
    EXPECT_FALSE(FSession.HandleProgress(second, status));
    EXPECT_FALSE(FSession.HandleHit(second));
    EXPECT_EQ(status, L"kept");

    // A session destroyed while its search runs stops it first.
    {
        TFindSession other;
        other.Start(Record(L"k1"), FWindow.Handle());
    }
}

TEST_F(FindSessionTest, RowCountFollowsBatchesAtABoundedRate) {
    MakeKeys(1500);
    ULONGLONG now = 1000;
    FSession.Clock = [&] { return now; };
    FSession.Start(Record(L"data"), FWindow.Handle());
    const WPARAM generation = FSession.Generation();
    // Serve the search's hand-overs one at a time and tell the session after each, as the
    // hit messages would, while the clock stands still and no timer can run.
    int handOvers = 0;
    size_t seen = 0;
    while (FSession.Results().size() < 1500) {
        ASSERT_TRUE(classlib::CheckSynchronize(testsupport::kWaitMs)) << "no hand-over came";
        if (FSession.Results().size() == seen) continue;
        seen = FSession.Results().size();
        ++handOvers;
        FSession.HandleHit(generation);
    }
    ASSERT_GE(handOvers, 3);
    ASSERT_EQ(FRows.size(), 1u);  // the first batch at once ...
    EXPECT_LT(FRows.back(), 1500u);
    now += kRowCountIntervalMs;  // ... the next no sooner than the interval
    FSession.HandleHit(generation);
    EXPECT_EQ(FRows.back(), 1500u);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return FWindow.Done > 0; }));
    EXPECT_EQ(FRows.size(), 2u);
    EXPECT_EQ(FWindow.Status, FindDoneText(1500, kRowCountIntervalMs));
}

TEST_F(FindSessionTest, RemovingHitsKeepsTheOthersInOrder) {
    MakeKeys(6);
    FWindow.Run(Record(L"data"));
    ASSERT_EQ(FSession.Results().size(), 6u);
    ASSERT_TRUE(FSession.CanChangeHits());
    std::vector<std::wstring> paths;
    for (const auto& hit : FSession.Results()) paths.push_back(hit->FFullPath);
    FSession.RemoveHits({4, 1, 1, 99});
    ASSERT_EQ(FSession.Results().size(), 4u);
    EXPECT_EQ(FSession.Results()[0]->FFullPath, paths[0]);
    EXPECT_EQ(FSession.Results()[1]->FFullPath, paths[2]);
    EXPECT_EQ(FSession.Results()[2]->FFullPath, paths[3]);
    EXPECT_EQ(FSession.Results()[3]->FFullPath, paths[5]);
    EXPECT_EQ(FRows.back(), 4u);
    FSession.ClearHits();
    EXPECT_EQ(FRows.back(), 0u);
    EXPECT_FALSE(FSession.CanChangeHits());
}

TEST(FindSessionTexts, DoneAndProgress) {
    EXPECT_EQ(FindDoneText(12, 3456), L"検索終了：（ヒット数：12　検索時間：3秒(3456ミリ秒)");
    EXPECT_EQ(FindDoneText(0, 999), L"検索終了：（ヒット数：0　検索時間：0秒(999ミリ秒)");
    EXPECT_EQ(FindProgressText(L"HKEY_CURRENT_USER\\x"), L"HKEY_CURRENT_USER\\xを検索中・・・");
}

}  // namespace
