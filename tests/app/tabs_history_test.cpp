// Tab files, the tab strip's rules, the address history and the gesture label.
#include <gtest/gtest.h>

#include "app/addresshistory.h"
#include "app/gesturefeedback.h"
#include "app/tabfile.h"
#include "common/test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace app;
using testsupport::Narrow;

namespace {

std::string FileBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// UTF-16LE bytes with byte-order mark of ASCII text.
std::string Utf16File(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char ch : text) bytes += {ch, '\0'};
    return bytes;
}

}  // namespace

// --- Tab files -------------------------------------------------------------------------

TEST(TabFile, WritesTheLinesAndReadsThemBack) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Tabs.db");
    const std::vector<TTabFileEntry> tabs = {
        {L"HKEY_CURRENT_USER\\Software", false, false},
        {L"", true, false},  // the computer node, locked
        {L"HKEY_LOCAL_MACHINE\\SYSTEM", false, true},
    };
    SaveTabFile(file, tabs);
    EXPECT_EQ(FileBytes(file), Utf16File("HKEY_CURRENT_USER\\Software\t0\t0\t\r\n"
                                         "\t-1\t0\t\r\n"
                                         "HKEY_LOCAL_MACHINE\\SYSTEM\t0\t-1\t\r\n"));
    const TTabPlan plan = LoadTabFile(file);
    ASSERT_EQ(plan.Windows.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plan.Windows[i].Path, tabs[i].Path);
        EXPECT_EQ(plan.Windows[i].Locked, tabs[i].Locked);
    }
    EXPECT_EQ(plan.Active, 2);

    EXPECT_TRUE(LoadTabFile(dir.File(L"missing.tab")).Windows.empty());
    EXPECT_EQ(LoadTabFile(dir.File(L"missing.tab")).Active, -1);
}

TEST(TabFile, LinesOfOtherShapes) {
    struct Case {
        const char* name;
        std::vector<std::wstring> lines;
        std::vector<std::wstring> paths;
        std::vector<bool> locks;
        int active;
    };
    const Case cases[] = {
        {"blank line between two tabs", {L"A\t0\t0\t", L"", L"B\t0\t0\t"}, {L"A", L"B"}, {false, false}, -1},
        // The marked line is the fourth of the file but opens the second window.
        {"active past a blank line", {L"A\t0\t0\t", L"", L"", L"B\t0\t-1\t"}, {L"A", L"B"}, {false, false}, 1},
        {"the later mark wins", {L"A\t0\t-1\t", L"B\t0\t-1\t"}, {L"A", L"B"}, {false, false}, 1},
        {"one field is no tab", {L"A\t", L"A", L"B\t1\t"}, {L"B"}, {true}, -1},
        {"two fields with an empty lock", {L"A\t\t"}, {L"A"}, {false}, -1},
        {"Boolean words and numbers", {L"A\tTrue\tfalse\t", L"B\t7\tTRUE\t", L"C\tx\t0\t"},
         {L"A", L"B", L"C"}, {true, true, false}, 1},
        {"no trailing TAB", {L"A\t-1\t-1"}, {L"A"}, {true}, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const TTabPlan plan = ParseTabLines(k.lines);
        ASSERT_EQ(plan.Windows.size(), k.paths.size());
        for (size_t i = 0; i < k.paths.size(); ++i) {
            EXPECT_EQ(plan.Windows[i].Path, k.paths[i]);
            EXPECT_EQ(plan.Windows[i].Locked, k.locks[i]);
        }
        EXPECT_EQ(plan.Active, k.active);
    }
}

TEST(TabFile, StrToBoolDef) {
    struct Case {
        const wchar_t* text;
        bool def, result;
    };
    const Case cases[] = {
        {L"0", true, false},   {L"-1", false, true}, {L"00", true, false}, {L"+3", false, true},
        {L"true", false, true}, {L"FALSE", true, false}, {L"", true, true}, {L"-", false, false},
        {L" 1", false, false}, {L"yes", true, true},
    };
    for (const Case& k : cases) EXPECT_EQ(StrToBoolDef(k.text, k.def), k.result) << Narrow(k.text);
}

TEST(TabStrip, LockRules) {
    EXPECT_EQ(TabImageIndex(true), 0);
    EXPECT_EQ(TabImageIndex(false), -1);
    EXPECT_FALSE(MiddleClickCloses(true));
    EXPECT_TRUE(MiddleClickCloses(false));
    EXPECT_FALSE(TabMenuState(true).CloseEnabled);
    EXPECT_TRUE(TabMenuState(true).LockChecked);
    EXPECT_TRUE(TabMenuState(false).CloseEnabled);
    // Five windows, the second and fourth locked, the third clicked.
    EXPECT_EQ(WindowsToCloseExcept({false, true, false, true, false}, 2), (std::vector<int>{4, 0}));
    EXPECT_EQ(WindowsToCloseExcept({false, false}, 1), std::vector<int>{0});
}

// --- Address history -------------------------------------------------------------------

TEST(AddressHistory, NewestFirstWithoutDuplicates) {
    testsupport::ScratchDir dir;
    const std::wstring file = (dir.Path() / L"Settings" / L"History.db").wstring();
    TAddressHistory history(file);
    history.Load();  // no folder, no file yet
    EXPECT_EQ(history.Lines().Count(), 0);
    history.Add(L"HKEY_CURRENT_USER\\Software");
    history.Add(L"HKLM\\SYSTEM");
    history.Add(L"");
    history.Add(L"hkey_current_user\\software");
    ASSERT_EQ(history.Lines().Count(), 2);
    EXPECT_EQ(history.Lines().Get(0), L"hkey_current_user\\software");
    EXPECT_EQ(history.Lines().Get(1), L"HKLM\\SYSTEM");
    EXPECT_EQ(FileBytes(file), Utf16File("hkey_current_user\\software\r\nHKLM\\SYSTEM\r\n"));

    TAddressHistory reread(file);
    reread.Load();
    EXPECT_EQ(reread.Lines().Text(), history.Lines().Text());
    reread.Clear();
    EXPECT_EQ(reread.Lines().Count(), 0);
    EXPECT_EQ(FileBytes(file), "\xFF\xFE");
}

// A history file that cannot be read without loss stays as it is until the user clears it.
TEST(AddressHistory, LossyFileIsNotOverwritten) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"History.db");
    const std::string damaged("\xFF\xFE" "A\0B\0\r\0\n\0X", 11);  // odd final byte
    std::ofstream(std::filesystem::path(file), std::ios::binary).write(damaged.data(), 11);
    TAddressHistory history(file);
    history.Load();
    history.Add(L"HKEY_USERS");
    EXPECT_EQ(history.Lines().Get(0), L"HKEY_USERS");
    EXPECT_EQ(FileBytes(file), damaged);
    history.Clear();
    EXPECT_EQ(FileBytes(file), "\xFF\xFE");
}

// The history's duplicate check agrees with the string lists' comparison (user locale, case
// ignored) for paths that differ in case, width, script and accents; Add says where a path
// it moved came from.
TEST(AddressHistory, DuplicatesAsTheListsCompareThem) {
    const std::wstring pairs[][2] = {
        {L"HKEY_CURRENT_USER\\Software", L"hkey_current_user\\SOFTWARE"},
        {L"HKCU\\Ωμέγα", L"HKCU\\ωΜΈΓΑ"},
        {L"HKCU\\ＡＢＣ", L"HKCU\\ａｂｃ"},
        {L"HKCU\\ABC", L"HKCU\\ＡＢＣ"},
        {L"HKCU\\キー", L"HKCU\\ｷｰ"},
        {L"HKCU\\Straße", L"HKCU\\STRASSE"},
        {L"HKCU\\e\u0301", L"HKCU\\\u00E9"},
        {L"HKCU\\a", L"HKCU\\a "},
    };
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(Narrow(first) + " / " + Narrow(second));
        wide::TWideStringList oracle;
        oracle.Add(first);
        const bool same = oracle.IndexOf(second) == 0;

        testsupport::ScratchDir dir;
        TAddressHistory history(dir.File(L"History.db"));
        history.Load();
        EXPECT_EQ(history.Add(L"HKLM\\SYSTEM"), -1);
        EXPECT_EQ(history.Add(first), -1);
        EXPECT_EQ(history.Add(L"HKU"), -1);
        EXPECT_EQ(history.Add(second), same ? 1 : -1);
        ASSERT_EQ(history.Lines().Count(), same ? 3 : 4);
        EXPECT_EQ(history.Lines().Get(0), second);
        EXPECT_EQ(history.Lines().Get(1), L"HKU");
    }
}

// A long history read from a file (the set of compare keys is built from it at the first
// Add): a path from its end moves to the top, a new one goes on top, nothing else moves; a
// file that holds a path twice keeps the second until that path is added again.
TEST(AddressHistory, LongFileAndRepeatedLines) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"History.db");
    std::string text;
    constexpr int kLines = 10000;
    for (int i = 0; i < kLines; ++i) text += "HKLM\\SOFTWARE\\Entry" + std::to_string(i) + "\r\n";
    std::ofstream(std::filesystem::path(file), std::ios::binary) << Utf16File(text);
    TAddressHistory history(file);
    history.Load();
    ASSERT_EQ(history.Lines().Count(), kLines);
    EXPECT_EQ(history.Add(L"hklm\\software\\entry9999"), kLines - 1);
    EXPECT_EQ(history.Add(L"HKCU\\New"), -1);
    ASSERT_EQ(history.Lines().Count(), kLines + 1);
    EXPECT_EQ(history.Lines().Get(0), L"HKCU\\New");
    EXPECT_EQ(history.Lines().Get(1), L"hklm\\software\\entry9999");
    for (int i : {0, 1, 5000, kLines - 2}) EXPECT_EQ(history.Lines().Get(i + 2), L"HKLM\\SOFTWARE\\Entry" + std::to_wstring(i));
    TAddressHistory reread(file);
    reread.Load();
    EXPECT_EQ(reread.Lines().Text(), history.Lines().Text());

    std::ofstream(std::filesystem::path(file), std::ios::binary | std::ios::trunc) << Utf16File("A\r\nB\r\na\r\n");
    TAddressHistory twice(file);
    twice.Load();
    EXPECT_EQ(twice.Add(L"a"), 0);
    EXPECT_EQ(twice.Lines().Text(), L"a\r\nB\r\na\r\n");
    EXPECT_EQ(twice.Add(L"B"), 1);
    EXPECT_EQ(twice.Lines().Text(), L"B\r\na\r\na\r\n");
}

// --- Gestures and view toggles ---------------------------------------------------------

TEST(GestureFeedback, LabelStartRuleAndToggles) {
    EXPECT_EQ(GestureLabelText(L"", L"新規キー..."), std::nullopt);
    EXPECT_EQ(GestureLabelText(L"→↓", L""), L"■→↓");
    EXPECT_EQ(GestureLabelText(L"→↓", L"新規キー..."), L"■→↓(新規キー...)");
    EXPECT_EQ(GestureLabelText(L"↑▽", L"x"), L"■↑▽(x)");

    EXPECT_TRUE(GestureMayStart(TActiveFormKind::None));
    EXPECT_TRUE(GestureMayStart(TActiveFormKind::MainWindow));
    EXPECT_TRUE(GestureMayStart(TActiveFormKind::RegistryWindow));
    EXPECT_FALSE(GestureMayStart(TActiveFormKind::Other));

    EXPECT_STREQ(ViewToggleComponent(TActionId::aacViewFavorite), L"FavoriteDock");
    EXPECT_STREQ(ViewToggleComponent(TActionId::aacViewMenu), L"ToolMenu");
    EXPECT_EQ(ViewToggleComponent(TActionId::aacExit), nullptr);
}
