// The regular-expression wrapper over onig.dll (built beside the test executable).
#include "search/onig_regexp.h"

#include <gtest/gtest.h>

#include "common/test_support.h"

#include <thread>

using namespace search;

using testsupport::Narrow;

namespace {

struct FirstMatchCase {
    const wchar_t* Pattern;
    std::wstring Text;
    int Index;
    int Length;
};

TEST(RegExp, LoadsFromProgramFolder) {
    EXPECT_TRUE(RegexLibraryPresent());
    TVxOnigurumaRegExp re;
    EXPECT_TRUE(re.Loaded());
}

TEST(RegExp, FirstMatchTable) {
    const FirstMatchCase cases[] = {
        {L"ABC", L"xabcx", 2, 3},                          // case is always ignored
        {L"a.b", L"a\nb", 1, 3},                           // "." matches a line break
        {L"def", std::wstring(L"abc\0def", 7), -1, -1},    // the text ends at its NUL
        {L"abc", std::wstring(L"abc\0def", 7), 1, 3},
        {L"", L"abc", -1, -1},                             // no empty matches
        {L"x*", L"abc", -1, -1},
        {L"^b", L"a\nb", 3, 1},                            // "^" at a line start
        {L"\u3042+", L"x\u3042\u3042y", 2, 2},
        {L"\U0001F600", L"a\U0001F600b", 2, 2},             // a pair counts as two units
        {L"b", L"\xD800" L"b", 2, 1},                      // lone high surrogate before
        {L"a", L"\xDC00\xDC00" L"a\xD800", 3, 1},          // lone surrogates around
        {L"\uFFFD", L"x\xDC00", 2, 1},                     // a lone one reads as U+FFFD
        {L"c$", L"abc\xD83D", -1, -1},                     // ... and stays a character
    };
    TVxOnigurumaRegExp re;
    ASSERT_TRUE(re.Loaded());
    for (const auto& c : cases) {
        re.SetPattern(c.Pattern);
        int index = 99, length = 99;
        bool hit = re.FirstMatch(c.Text, index, length);
        SCOPED_TRACE(Narrow(c.Pattern) + " in " + Narrow(c.Text));
        EXPECT_EQ(hit, c.Index != -1);
        EXPECT_EQ(index, c.Index);
        EXPECT_EQ(length, c.Length);
        EXPECT_EQ(re.Test(c.Text), hit);
    }
}

TEST(RegExp, ExecuteReportsGroupsAndUnmatchedGroups) {
    TVxOnigurumaRegExp re;
    re.SetPattern(L"(a)|(b)");
    TVxRegMatchList matches;
    matches.emplace_back();  // cleared first
    re.Execute(L"ab", matches);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].Value, L"a");
    EXPECT_EQ(matches[0].FirstIndex, 1);
    ASSERT_EQ(matches[0].SubMatches.size(), 2u);
    EXPECT_EQ(matches[0].SubMatches[0].Value, L"a");
    EXPECT_EQ(matches[0].SubMatches[1].Value, L"");
    EXPECT_EQ(matches[0].SubMatches[1].FirstIndex, 1);
    EXPECT_EQ(matches[0].SubMatches[1].Length, 0);
    EXPECT_EQ(matches[1].Value, L"b");
    EXPECT_EQ(matches[1].FirstIndex, 2);
    EXPECT_EQ(matches[1].SubMatches[0].Length, 0);
    EXPECT_EQ(matches[1].SubMatches[1].Value, L"b");

    re.SetPattern(L"");
    re.Execute(L"abc", matches);
    EXPECT_TRUE(matches.empty());
}

TEST(RegExp, ExecuteKeepsCallersTextInValues) {
    TVxOnigurumaRegExp re;
    re.SetPattern(L"x.y");
    TVxRegMatchList matches;
    re.Execute(L"x\xDC01y x\u00E9y", matches);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].Value, L"x\xDC01y");
    EXPECT_EQ(matches[1].FirstIndex, 5);
}

struct ReplaceCase {
    const wchar_t* Pattern;
    const wchar_t* Text;
    const wchar_t* Template;
    const wchar_t* Result;
};

TEST(RegExp, ReplaceTemplates) {
    const ReplaceCase cases[] = {
        {L"(a)(b)", L"abc", L"\\2\\1", L"bac"},
        {L"(a)(b)", L"abc", L"\\\\0", L"\\0c"},
        {L"(a)(b)", L"abc", L"\\3", L"c"},           // missing group: nothing
        {L"(a)(b)", L"abc", L"[\\0]", L"[ab]c"},
        {L"(a)(b)", L"abc", L"\\10", L"a0c"},        // one digit only
        {L"(a)(b)", L"abc", L"\\x\\", L"\\x\\c"},    // other escapes and a last backslash stay
        {L"(x+)", L"-xxxx-", L"\\1-\\1", L"-xxxx-xxxx-"},
        {L"o", L"foo boo", L"0", L"f00 b00"},        // every match, left to right
        {L"(a)|(b)", L"ab", L"<\\1\\2>", L"<a><b>"}, // an unmatched group expands to nothing
        {L"", L"abc", L"X", L"abc"},                 // no match: text unchanged
        {L"z", L"abc", L"X", L"abc"},
    };
    TVxOnigurumaRegExp re;
    for (const auto& c : cases) {
        re.SetPattern(c.Pattern);
        std::wstring out = L"stale";
        re.Replace(c.Text, c.Template, out);
        EXPECT_EQ(out, c.Result) << Narrow(c.Pattern) << " / " << Narrow(c.Template);
    }
}

TEST(RegExp, FailedCompileDropsExpressionKeepsPattern) {
    TVxOnigurumaRegExp re;
    re.SetPattern(L"ab");
    EXPECT_TRUE(re.Test(L"xaby"));
    re.SetPattern(L"(ab");
    EXPECT_FALSE(re.HasExpression());
    EXPECT_EQ(re.Pattern(), L"ab");
    int index = 0, length = 0;
    EXPECT_FALSE(re.FirstMatch(L"xaby", index, length));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(length, -1);
    std::wstring out;
    re.Replace(L"xaby", L"Z", out);
    EXPECT_EQ(out, L"xaby");
}

TEST(RegExp, MissingLibraryIsInert) {
    TVxOnigurumaRegExp re(L"no-such-onig.dll");
    EXPECT_FALSE(re.Loaded());
    re.SetPattern(L"a");
    EXPECT_EQ(re.Pattern(), L"");
    int index = 7, length = 8;
    EXPECT_FALSE(re.FirstMatch(L"a", index, length));
    EXPECT_EQ(index, 7);  // left as the caller set them
    EXPECT_EQ(length, 8);
    EXPECT_FALSE(re.Test(L"a"));
    TVxRegMatchList matches(1);
    re.Execute(L"a", matches);
    EXPECT_TRUE(matches.empty());
    std::wstring out;
    re.Replace(L"abc", L"x", out);
    EXPECT_EQ(out, L"abc");
}

TEST(RegExp, CatastrophicPatternEndsAsNoMatch) {
    TVxOnigurumaRegExp re;
    re.SetPattern(L"(a|aa)*(a|aa)*c");
    std::wstring text(4000, L'a');
    EXPECT_FALSE(re.Test(text));
    TVxRegMatchList matches;
    re.Execute(text, matches);
    EXPECT_TRUE(matches.empty());
    // The object stays usable afterwards.
    re.SetPattern(L"b");
    EXPECT_TRUE(re.Test(L"abc"));
}

TEST(RegExp, ObjectsOnTwoThreadsAndFreeingDoNotDisturbEachOther) {
    // One object keeps searching on a worker while objects are created, used and freed on
    // this thread: the library must not be ended under the worker.
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread worker([&] {
        TVxOnigurumaRegExp re;
        re.SetPattern(L"k(e)y");
        while (!stop) {
            int index = 0, length = 0;
            if (!re.FirstMatch(L"a key", index, length) || index != 3 || length != 3) ++wrong;
        }
    });
    for (int i = 0; i < 200; ++i) {
        TVxOnigurumaRegExp re;
        re.SetPattern(L"soft");
        if (!re.Test(L"Software")) ++wrong;
    }
    stop = true;
    worker.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
