// The hand-over text, reading a hand-over message, the start-up plan and closing steps.
#include <gtest/gtest.h>

#include "app/singleinstance.h"
#include "app/startup.h"
#include "classlib/errors.h"
#include "common/test_support.h"

using namespace app;

TEST(HandOverText, ConnectOffAndOn) {
    const std::vector<std::wstring> params{L"HKEY_CURRENT_USER\\Software", L"HKLM\\ソフト ウェア"};
    EXPECT_EQ(BuildHandOverText(params, false), L"HKEY_CURRENT_USER\\Software\r\nHKLM\\ソフト ウェア\r\n");
    EXPECT_EQ(BuildHandOverText(params, true), L"HKEY_CURRENT_USER\\Software HKLM\\ソフト ウェア");
    EXPECT_EQ(BuildHandOverText({}, false), L"");
    EXPECT_EQ(BuildHandOverText({}, true), L"");
    // The command line's own splitting: quotes group blanks and are dropped.
    EXPECT_EQ(CommandLineParams(L"wendlar.exe \"HKCU\\a b\" HKLM\\Ω"), (std::vector<std::wstring>{L"HKCU\\a b", L"HKLM\\Ω"}));
}

TEST(HandOverText, MessageIsReadWithinItsSize) {
    auto read = [](const std::wstring& buffer, DWORD cbData, ULONG_PTR id = CopyDataOpenPathsId) {
        COPYDATASTRUCT data{id, cbData, const_cast<wchar_t*>(buffer.data())};
        return ReadHandOverLines(data);
    };
    using Lines = std::vector<std::wstring>;
    const std::wstring text = L"HKCU\\A\r\nHKLM\\B\r\n";
    EXPECT_EQ(read(text, static_cast<DWORD>((text.size() + 1) * 2)), (Lines{L"HKCU\\A", L"HKLM\\B"}));
    // No NUL within cbData: the text ends where the data ends (odd last byte dropped).
    EXPECT_EQ(read(text, 13), (Lines{L"HKCU\\A"}));
    EXPECT_EQ(read(L"a\rb\nc", 10), (Lines{L"a", L"b", L"c"}));
    EXPECT_EQ(read(L"\r\n", 6), (Lines{L""}));  // one empty line: a window on the computer node
    EXPECT_TRUE(read(text, 0).empty());
    EXPECT_TRUE(read(text, 40, 99).empty());
    COPYDATASTRUCT noData{CopyDataOpenPathsId, 100, nullptr};
    EXPECT_TRUE(ReadHandOverLines(noData).empty());

    std::wstring many;
    for (int i = 0; i < 1000; ++i) many += L"HKCU\r\n";
    EXPECT_EQ(read(many, static_cast<DWORD>(many.size() * 2)).size(), MaxHandOverWindows);
}

TEST(StartupPlan, WindowsOrTabs) {
    const auto none = [](const std::wstring&) { return false; };
    const auto all = [](const std::wstring&) { return true; };
    TStartupOptions startup;
    TMainOptions options;
    const std::vector<std::wstring> two{L"HKEY_CURRENT_USER\\A", L"B"};
    using Paths = std::vector<std::wstring>;

    EXPECT_EQ(PlanStartupWindows(two, startup, options, L"Tabs.db", none).Paths, two);
    EXPECT_EQ(PlanStartupWindows({}, startup, options, L"Tabs.db", none).Paths, Paths{L""});
    startup.SetConnectCMD = true;
    EXPECT_EQ(PlanStartupWindows(two, startup, options, L"Tabs.db", none).Paths, Paths{L"HKEY_CURRENT_USER\\A B"});
    EXPECT_EQ(PlanStartupWindows({}, startup, options, L"Tabs.db", none).Paths, Paths{L""});
    startup.SetNoCreateWnd = true;
    EXPECT_TRUE(PlanStartupWindows({}, startup, options, L"Tabs.db", none).Paths.empty());

    options.SetLoadTab = true;
    TStartupPlan plan = PlanStartupWindows(two, startup, options, L"Tabs.db", none);
    EXPECT_FALSE(plan.LoadTabs) << "the command line wins";
    plan = PlanStartupWindows({}, startup, options, L"Tabs.db", all);
    EXPECT_TRUE(plan.LoadTabs);
    EXPECT_EQ(plan.TabFile, L"Tabs.db");
    options.SetLoadTabSettingFile = true;
    options.SetLoadTabSettingFilePath = L"C:\\my.tab";
    EXPECT_EQ(PlanStartupWindows({}, startup, options, L"Tabs.db", all).TabFile, L"C:\\my.tab");
    EXPECT_EQ(PlanStartupWindows({}, startup, options, L"Tabs.db", none).TabFile, L"Tabs.db");

    EXPECT_TRUE(SavesTabsAtClose(options, 0));
    EXPECT_FALSE(SavesTabsAtClose(options, 1));
}

// Every save runs although one before it failed; the failures name their files.
TEST(CloseSteps, EveryStepRunsAndFailuresAreListed) {
    std::vector<int> ran;
    const std::vector<TCloseStep> steps{
        {L"Tabs.db", [&] { ran.push_back(1); throw classlib::EFCreateError(L"書き込めません"); return true; }},
        {L"ToolBar.db", [&] { ran.push_back(2); return true; }},
        {L"Undo.db", [&] { ran.push_back(3); return false; }},
    };
    const auto failures = RunCloseSteps(steps);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(failures, (std::vector<std::wstring>{L"Tabs.db: 書き込めません", L"Undo.db"}));
    const std::wstring text = CloseFailureText(failures);
    EXPECT_NE(text.find(L"Tabs.db: 書き込めません"), std::wstring::npos);
    EXPECT_NE(text.find(L"Undo.db"), std::wstring::npos);
}

// A file that did not load whole is named once at start with what will not be saved, and
// its save is left out of the close (whatever the letter case of its name there).
TEST(CloseSteps, KeptFilesAreToldAndNotSaved) {
    const std::vector<TKeptFile> kept{{L"C:\\S\\ToolBar.db", L"ツールバーとウインドウの配置"},
                                      {L"C:\\S\\Undo.db", L"アンドゥ情報"}};
    const std::wstring text = KeptFilesText(kept);
    for (const wchar_t* part : {L"C:\\S\\ToolBar.db", L"ツールバーとウインドウの配置は保存されません", L"C:\\S\\Undo.db",
                                L"アンドゥ情報は保存されません"})
        EXPECT_NE(text.find(part), std::wstring::npos) << testsupport::Narrow(part);

    std::vector<int> ran;
    std::vector<TCloseStep> steps{
        {L"C:\\S\\Tabs.db", [&] { ran.push_back(1); return true; }},
        {L"c:\\s\\toolbar.db", [&] { ran.push_back(2); return true; }},
        {L"C:\\S\\Undo.db", [&] { ran.push_back(3); return true; }},
    };
    EXPECT_TRUE(RunCloseSteps(WithoutKeptFiles(steps, kept)).empty());
    EXPECT_EQ(ran, std::vector<int>{1});
    EXPECT_EQ(WithoutKeptFiles(steps, {}).size(), 3u);
}
