// Bulk replace and bulk delete over the hits of a real search: what is changed, what is
// skipped and why, the undo records, and undoing everything back to the registry as it was.
#include "search/bulk_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "common/test_support.h"
#include "registry/regops.h"
#include "registry_tree.h"
#include "session_window.h"
#include "value_writers.h"

using namespace search;
using registry::TVxRegFindClass;
using registry::TVxRegKeyClass;
using searchtest::Bytes;
using searchtest::CreateKey;
using searchtest::ReadData;
using searchtest::SessionWindow;
using searchtest::SetValue;
using searchtest::Sz;
using testsupport::Narrow;
using testsupport::ScratchDir;
using testsupport::ScratchKey;

namespace {

class BulkOpsTest : public testing::Test {
protected:
    BulkOpsTest() : FKey(testsupport::CurrentTestName()), FWindow(FSession), FUndo(nullptr) {
        FUndo.RegistryScriptExportDir = FBackups.Path().wstring();
        FWriters = searchtest::RecordingWriters(FUndo);
    }

    std::wstring Base() const { return L"HKEY_CURRENT_USER\\" + FKey.Path(); }
    std::map<std::wstring, std::wstring> Snap() { return searchtest::Snapshot(FKey.Handle()); }
    const TVxRegFindList& Search(const std::wstring& keyword, bool ignoreCase, bool regex = false) {
        TWendlarFindRecord r;
        r.Keyword = keyword;
        r.StartKeys = Base() + L"\r\n";
        r.IgnoreCase = ignoreCase;
        r.UseRegex = regex;
        FWindow.Run(r);
        return FSession.Results();
    }
    std::map<std::wstring, TBulkResult> ByPath(const TBulkReport& report) {
        std::map<std::wstring, TBulkResult> m;
        for (const auto& item : report.Items)
            m[item.Hit->FFullPath.substr(Base().size()) + L"#" + std::to_wstring(item.Hit->FHitKind)] = item.Result;
        return m;
    }
    void UndoAll() {
        while (!FUndo.UndoList().empty())
            EXPECT_TRUE(FUndo.UndoAt(static_cast<int>(FUndo.UndoList().size()) - 1));
    }

    ScratchKey FKey;
    ScratchDir FBackups;
    TFindSession FSession;
    SessionWindow FWindow;
    undo::TVxRegClipUndoProvider FUndo;
    TBulkValueWriters FWriters;
};

const TAskYesNo kYes = [](const std::wstring&) { return true; };

TEST_F(BulkOpsTest, ReplaceTableThenUndoRestoresEverything) {
    HKEY k = CreateKey(FKey.Handle(), L"a_fooKey");
    SetValue(k, L"FooX", REG_SZ, Sz(L"plain"));                      // renamed before its key
    RegCloseKey(k);
    SetValue(FKey.Handle(), L"b_fooClash", REG_SZ, Sz(L"x"));        // its new name exists
    SetValue(FKey.Handle(), L"b_barClash", REG_SZ, Sz(L"y"));
    SetValue(FKey.Handle(), L"c_data", REG_EXPAND_SZ, Sz(L"a foo b FOO"));
    SetValue(FKey.Handle(), L"d_multi", REG_MULTI_SZ, Bytes(std::wstring(L"foo\0keep\0xFoo\0\0", 15)));
    SetValue(FKey.Handle(), L"e_tail", REG_SZ, Bytes(std::wstring(L"foo\0tail\0", 9)));  // more after the NUL
    SetValue(FKey.Handle(), L"f_later", REG_SZ, Sz(L"foo then"));    // changed after the search
    HKEY clash = CreateKey(FKey.Handle(), L"g_fooSame");             // a sibling of the new name
    RegCloseKey(clash);
    RegCloseKey(CreateKey(FKey.Handle(), L"g_barSame"));

    const TVxRegFindList& hits = Search(L"foo", true);
    SetValue(FKey.Handle(), L"f_later", REG_SZ, Sz(L"foo now"));
    const auto changed = Snap();

    TBulkReplacer replacer(FSession.LastFind());
    const auto shown = FilterReplaceHits(hits, TReplaceOptions{});
    // The preview shows each new text before anything is done.
    std::map<std::wstring, std::wstring> previews;
    for (const auto* h : shown) previews[h->FFullPath.substr(Base().size()) + L"#" + std::to_wstring(h->FHitKind)] =
        replacer.Preview(*h, L"bar");
    EXPECT_EQ(previews[L"\\a_fooKey\\FooX#1"], L"barX");
    EXPECT_EQ(previews[L"\\a_fooKey#0"], L"a_barKey");
    EXPECT_EQ(previews[L"\\d_multi#2"], L"bar\r\nkeep\r\nxbar\r\n");

    TBulkReport report = replacer.Run(shown, L"bar", FUndo, FWriters, false, kYes);
    EXPECT_EQ(report.Outcome, TBulkOutcome::Done);
    auto result = ByPath(report);
    const std::map<std::wstring, TBulkResult> expected = {
        {L"\\a_fooKey#0", TBulkResult::Done},
        {L"\\a_fooKey\\FooX#1", TBulkResult::Done},
        {L"\\b_fooClash#1", TBulkResult::Exists},
        {L"\\c_data#2", TBulkResult::Done},
        {L"\\d_multi#2", TBulkResult::Done},
        {L"\\e_tail#2", TBulkResult::NotCovered},
        {L"\\f_later#2", TBulkResult::Changed},
        {L"\\g_fooSame#0", TBulkResult::Exists},
    };
    for (const auto& [path, want] : expected) {
        ASSERT_TRUE(result.count(path)) << Narrow(path);
        EXPECT_EQ(result[path], want) << Narrow(path);
    }
    const std::wstring sub = FKey.Path();
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub + L"\\a_barKey", L"barX"), Sz(L"plain"));
    EXPECT_FALSE(registry::KeyHasSubKeys(HKEY_CURRENT_USER, sub + L"\\a_fooKey"));
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub, L"b_fooClash"), Sz(L"x"));
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub, L"b_barClash"), Sz(L"y"));
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub, L"c_data"), Sz(L"a bar b bar"));
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub, L"d_multi"), Bytes(std::wstring(L"bar\0keep\0xbar\0\0", 15)));
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub, L"e_tail"), Bytes(std::wstring(L"foo\0tail\0", 9)));
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, sub, L"f_later"), Sz(L"foo now"));

    // The value's rename was recorded before its key's.
    std::vector<std::wstring> renames;
    for (const auto& r : FUndo.UndoList())
        if (r->FOperation == undo::uoRenamed) renames.push_back(r->FOldName);
    EXPECT_EQ(renames, (std::vector<std::wstring>{L"FooX", L"a_fooKey"}));

    UndoAll();
    EXPECT_EQ(Snap(), changed);
}

TEST_F(BulkOpsTest, RefusedRenamesAndPerStringMultiReplace) {
    RegCloseKey(CreateKey(FKey.Handle(), L"foo"));
    SetValue(FKey.Handle(), L"m", REG_MULTI_SZ, Bytes(std::wstring(L"foo\0mid\0foo\0\0", 14)));
    const auto before = Snap();
    const TVxRegFindList& hits = Search(L"foo", false);
    const auto shown = FilterReplaceHits(hits, TReplaceOptions{});

    // A key name holding "\" would name another key; a change of letter case alone is no
    // new name for the registry: both refused.
    TBulkReplacer replacer(FSession.LastFind());
    TReplaceOptions keysOnly;
    keysOnly.ValueData = false;
    const auto keys = FilterReplaceHits(hits, keysOnly);
    auto report = replacer.Run(keys, L"x\\y", FUndo, FWriters, true, nullptr);
    auto result = ByPath(report);
    EXPECT_EQ(result[L"\\foo#0"], TBulkResult::Backslash);
    report = replacer.Run(keys, L"FOO", FUndo, FWriters, true, nullptr);
    EXPECT_EQ(ByPath(report)[L"\\foo#0"], TBulkResult::SameName);
    EXPECT_EQ(Snap(), before);

    // Emptied strings of a multi-string stay in their places.
    report = replacer.Run(shown, L"", FUndo, FWriters, true, nullptr);
    result = ByPath(report);
    EXPECT_EQ(result[L"\\foo#0"], TBulkResult::EmptyName);
    EXPECT_EQ(result[L"\\m#2"], TBulkResult::Done);
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, FKey.Path(), L"m"), Bytes(std::wstring(L"\0mid\0\0\0", 7)));
    UndoAll();
    EXPECT_EQ(Snap(), before);
}

TEST_F(BulkOpsTest, RegexReplacementAndQuestions) {
    SetValue(FKey.Handle(), L"v", REG_SZ, Sz(L"a12b3"));
    const auto before = Snap();
    const TVxRegFindList& hits = Search(L"(\\d+)", false, true);
    const auto shown = FilterReplaceHits(hits, TReplaceOptions{});
    ASSERT_EQ(shown.size(), 1u);
    TBulkReplacer replacer(FSession.LastFind());
    EXPECT_EQ(replacer.Preview(*shown[0], L"<\\1>"), L"a<12>b<3>");

    // No at the second question changes nothing.
    std::vector<std::wstring> asked;
    auto report = replacer.Run(shown, L"<\\1>", FUndo, FWriters, false, [&](const std::wstring& q) {
        asked.push_back(q);
        return asked.size() < 2;
    });
    EXPECT_EQ(report.Outcome, TBulkOutcome::Cancelled);
    EXPECT_EQ(asked, BulkReplaceQuestions());
    EXPECT_TRUE(report.Items.empty());
    EXPECT_EQ(Snap(), before);
    EXPECT_TRUE(FUndo.UndoList().empty());

    report = replacer.Run(shown, L"<\\1>", FUndo, FWriters, false, kYes);
    EXPECT_EQ(report.Outcome, TBulkOutcome::Done);
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, FKey.Path(), L"v"), Sz(L"a<12>b<3>"));

    // Without the library: the preview says so and OK changes nothing.
    TBulkReplacer missing(FSession.LastFind(), L"no-such-library.dll");
    EXPECT_TRUE(missing.RegexMissing());
    EXPECT_EQ(missing.Preview(*shown[0], L"x"), kRegexMissingPreview);
    report = missing.Run(shown, L"x", FUndo, FWriters, true, nullptr);
    EXPECT_EQ(report.Outcome, TBulkOutcome::RegexMissing);
    EXPECT_EQ(ReadData(HKEY_CURRENT_USER, FKey.Path(), L"v"), Sz(L"a<12>b<3>"));
}

TEST_F(BulkOpsTest, RootHitIsShownButNeverRenamedOrDeleted) {
    TWendlarFindRecord r;
    r.Keyword = L"current";
    r.StartKeys = L"HKEY_CURRENT_USER\r\n";
    r.IgnoreCase = true;
    r.NoSubKeys = true;
    r.NoValueNames = r.NoValueData = true;
    FWindow.Run(r);
    ASSERT_EQ(FSession.Results().size(), 1u);
    const auto shown = FilterReplaceHits(FSession.Results(), TReplaceOptions{});
    ASSERT_EQ(shown.size(), 1u);
    TBulkReplacer replacer(FSession.LastFind());
    EXPECT_EQ(replacer.Run(shown, L"x", FUndo, FWriters, true, nullptr).Items[0].Result, TBulkResult::Root);
    EXPECT_EQ(DeleteHits(FSession.Results(), FUndo).Items[0].Result, TBulkResult::Root);
    EXPECT_TRUE(FUndo.UndoList().empty());
}

TEST(BulkReplaceFilter, OptionsTable) {
    TVxRegFindList all;
    auto add = [&](uint8_t kind, DWORD type) {
        auto h = std::make_unique<TVxRegFindClass>();
        h->FHitKind = kind;
        h->FValueType = type;
        all.push_back(std::move(h));
    };
    add(0, 0);                 // 0: key
    add(1, REG_DWORD);         // 1: value name
    add(2, REG_SZ);            // 2
    add(2, REG_EXPAND_SZ);     // 3
    add(2, REG_MULTI_SZ);      // 4
    add(2, REG_DWORD);         // 5: never shown
    struct Case {
        const char* Name;
        TReplaceOptions Options;
        std::vector<size_t> Shown;
    };
    auto with = [](auto change) {
        TReplaceOptions o;
        change(o);
        return o;
    };
    const Case cases[] = {
        {"all", {}, {0, 1, 2, 3, 4}},
        {"no data", with([](auto& o) { o.ValueData = false; }), {0, 1}},
        {"no multi", with([](auto& o) { o.MultiSZ = false; }), {0, 1, 2, 3}},
        {"no sz, no keys", with([](auto& o) { o.RegSZ = false; o.KeyNames = false; }), {1, 3, 4}},
        {"no names", with([](auto& o) { o.ValueNames = false; o.ExpandSZ = false; }), {0, 2, 4}},
    };
    for (const auto& c : cases) {
        std::vector<size_t> shown;
        for (const auto* h : FilterReplaceHits(all, c.Options))
            for (size_t i = 0; i < all.size(); ++i)
                if (all[i].get() == h) shown.push_back(i);
        EXPECT_EQ(shown, c.Shown) << c.Name;
    }
}

TEST(BulkMultiString, SplitAndJoin) {
    struct Case {
        const char* Name;
        std::wstring Data;
        bool Covered;
        std::vector<std::wstring> Strings;
    };
    const Case cases[] = {
        {"plain", std::wstring(L"a\0b\0\0", 5), true, {L"a", L"b"}},
        {"unterminated", L"ab", true, {L"ab"}},
        {"padding", std::wstring(L"a\0\0\0", 4), true, {L"a"}},
        {"after empty", std::wstring(L"a\0\0b\0\0", 6), false, {}},
        {"line break inside", std::wstring(L"a\r\nb\0\0", 6), false, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> strings;
        auto data = Bytes(c.Data);
        EXPECT_EQ(SplitMultiString(data.data(), data.size(), strings), c.Covered) << c.Name;
        if (c.Covered) {
            EXPECT_EQ(strings, c.Strings) << c.Name;
        }
    }
    std::vector<std::wstring> strings;
    const BYTE odd[3] = {0x41, 0, 0};
    EXPECT_FALSE(SplitMultiString(odd, 3, strings));
    EXPECT_EQ(JoinMultiString({L"", L"x"}), Bytes(std::wstring(L"\0x\0\0", 4)));
}

TEST_F(BulkOpsTest, DeleteKeyAndValueHitsWithUndo) {
    FUndo.KeyDeleteUndo = true;
    HKEY k = CreateKey(FKey.Handle(), L"gone");
    SetValue(k, L"inside", REG_DWORD, {1, 0, 0, 0});
    RegCloseKey(CreateKey(k, L"sub"));
    RegCloseKey(k);
    SetValue(FKey.Handle(), L"gone value", REG_SZ, Sz(L"gone data"));  // hit by name and by data
    SetValue(FKey.Handle(), L"stays", REG_SZ, Sz(L"other"));
    const auto before = Snap();
    const TVxRegFindList& hits = Search(L"gone", false);
    ASSERT_EQ(hits.size(), 3u);

    auto report = DeleteHits(hits, FUndo);
    auto result = ByPath(report);
    EXPECT_EQ(result[L"\\gone#0"], TBulkResult::Done);
    EXPECT_EQ(result[L"\\gone value#2"], TBulkResult::Done);
    EXPECT_EQ(result[L"\\gone value#1"], TBulkResult::Missing);  // deleted by its data hit
    EXPECT_TRUE(BulkDeleteNoBackupText(report).empty());
    ASSERT_EQ(FUndo.UndoList().size(), 2u);
    const auto after = Snap();
    EXPECT_EQ(after.count(L"\\gone\\"), 0u);
    EXPECT_EQ(after.count(L"\\gone value=value"), 0u);
    EXPECT_EQ(after.count(L"\\stays=value"), 1u);

    UndoAll();
    EXPECT_EQ(Snap(), before);
}

}  // namespace
