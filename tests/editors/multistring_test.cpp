// The multi-string editor's removal of empty lines.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "controls/wide/widestrings.h"
#include "editors/multistring.h"

using namespace editors;
using testsupport::Narrow;

TEST(MultiString, EmptyLinesGo) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
        int removed;
    } cases[] = {
        {L"a\r\n\r\nb", L"a\r\nb", 1},
        {L"a\r\n\r\nb\r\n", L"a\r\nb\r\n", 1},
        {L"a\r\nb", L"a\r\nb", 0},
        {L" \r\n\r\n\t", L" \r\n\t", 1},  // blanks are no empty line
        {L"\r\n\r\na", L"a", 2},
        {L"a\r\n\r\n", L"a\r\n", 1},      // the empty last line goes, its break stays
        {L"a\n\nb\r\rc", L"a\r\nb\r\nc", 2},  // lone LF and CR end lines too
        {L"\r\n", L"", 1},
        {L"", L"", 0},
    };
    for (const Case& c : cases) {
        int removed = -1;
        EXPECT_EQ(WithoutEmptyLines(c.text, removed), c.expected) << Narrow(c.text);
        EXPECT_EQ(removed, c.removed) << Narrow(c.text);
    }
}

namespace {

// Counts the calls that make a line-by-line removal cost the square of the line count on a
// memo (each Get or Delete there works on the whole text).
struct CountingList : wide::TWideStringList {
    mutable int Gets = 0, Deletes = 0, TextReads = 0, TextWrites = 0;
    std::wstring Get(int index) const override {
        ++Gets;
        return TWideStringList::Get(index);
    }
    void Delete(int index) override {
        ++Deletes;
        TWideStringList::Delete(index);
    }
    std::wstring GetTextStr() const override {
        ++TextReads;
        return TWideStringList::GetTextStr();
    }
    void SetTextStr(const std::wstring& value) override {
        ++TextWrites;
        TWideStringList::SetTextStr(value);
    }
};

}  // namespace

// The list is read once as a whole text and written once, never line by line; a list
// without empty lines is not written at all.
TEST(MultiString, RemovalReadsAndWritesTheTextOnce) {
    CountingList lines;
    for (int i = 0; i < 1000; ++i) lines.Add(i % 3 == 0 ? L"" : L"line " + std::to_wstring(i));
    lines.Gets = lines.TextReads = 0;
    EXPECT_EQ(RemoveEmptyLines(lines), 334);
    EXPECT_EQ(lines.Count(), 666);
    EXPECT_EQ(lines.Deletes, 0);
    EXPECT_EQ(lines.TextReads, 1);
    EXPECT_EQ(lines.TextWrites, 1);
    EXPECT_EQ(lines.Get(0), L"line 1");
    EXPECT_EQ(lines.Get(665), L"line 998");

    lines.TextWrites = 0;
    EXPECT_EQ(RemoveEmptyLines(lines), 0);
    EXPECT_EQ(lines.TextWrites, 0);
}
