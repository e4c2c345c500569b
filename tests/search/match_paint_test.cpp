// Highlighting a hit's matched text: the runs, the cached expression, the painted cell.
#include "search/match_paint.h"

#include <gtest/gtest.h>

#include "classlib/runtime.h"
#include "common/test_support.h"

using namespace search;
using testsupport::MemoryDib;
using testsupport::Narrow;

namespace {

TWendlarFindRecord Record(const wchar_t* keyword, bool regex, bool ignoreCase, bool whole) {
    TWendlarFindRecord r;
    r.Keyword = keyword;
    r.UseRegex = regex;
    r.IgnoreCase = ignoreCase;
    r.WholeMatch = whole;
    return r;
}

// Runs written as text: matched parts in brackets ("a[Soft]b").
std::wstring Shape(std::wstring_view text, const TMatchRuns& runs) {
    std::wstring s;
    size_t next = 0;
    for (const auto& r : runs) {
        EXPECT_EQ(r.Start, next) << "runs leave a gap";
        next = r.Start + r.Length;
        std::wstring part(text.substr(r.Start, r.Length));
        s += r.Match ? L"[" + part + L"]" : part;
    }
    EXPECT_EQ(next, text.size()) << "runs do not cover the text";
    return s;
}

TEST(MatchRuns, SplitTable) {
    struct Case {
        const wchar_t* Keyword;
        bool Regex, IgnoreCase, Whole;
        const wchar_t* Text;
        const wchar_t* Shape;
    };
    const Case cases[] = {
        {L"soft", false, true, false, L"Software\\soft\\SOFTx", L"[Soft]ware\\[soft]\\[SOFT]x"},
        {L"soft", false, false, false, L"Software\\soft", L"Software\\[soft]"},
        {L"aa", false, false, false, L"aaa", L"[aa]a"},           // occurrences do not overlap
        {L"", false, true, false, L"anything", L"anything"},      // an empty keyword ends at once
        {L"x", false, false, true, L"whole text", L"[whole text]"},
        {L"a\\d+", true, false, false, L"xA12b3", L"x[A12]b3"},   // regex: the first match only
        {L"", true, false, false, L"text", L"text"},              // an empty pattern finds nothing
        {L"(", true, false, false, L"a(b", L"a(b"},               // does not compile: no match
        {L"zz", true, false, false, L"abc", L"abc"},
        {L"\u00C4", false, true, false, L"x\u00E4y", L"x[\u00E4]y"},
    };
    TVxOnigurumaRegExp regex;
    ASSERT_TRUE(regex.Loaded());
    TMatchRuns runs;
    std::wstring lowered;
    for (const auto& c : cases) {
        TWendlarFindRecord record = Record(c.Keyword, c.Regex, c.IgnoreCase, c.Whole);
        std::wstring keyword = c.Keyword;
        if (c.IgnoreCase) keyword = classlib::WideLowerCase(keyword);
        if (c.Regex) regex.SetPattern(c.Keyword);
        SplitMatchRuns(c.Text, record, keyword, &regex, runs, lowered);
        EXPECT_EQ(Shape(c.Text, runs), c.Shape) << Narrow(c.Keyword) << " in " << Narrow(c.Text);
    }
    // Without the library (no expression object) nothing is matched; an empty text has no runs.
    SplitMatchRuns(L"abc", Record(L"b", true, false, false), L"b", nullptr, runs, lowered);
    EXPECT_EQ(Shape(L"abc", runs), L"abc");
    SplitMatchRuns(L"", Record(L"b", false, false, false), L"b", nullptr, runs, lowered);
    EXPECT_TRUE(runs.empty());
}

TEST(MatchHighlighter, CompilesOncePerKeywordNotPerCell) {
    TMatchHighlighter highlighter;
    TWendlarFindRecord record = Record(L"b+", true, false, false);
    highlighter.SetRecord(record);
    for (int cell = 0; cell < 500; ++cell) {
        highlighter.SetRecord(record);  // the pane hands the record again for every cell
        EXPECT_EQ(Shape(L"abbc", highlighter.Runs(L"abbc")), L"a[bb]c");
    }
    EXPECT_EQ(highlighter.RegexObjectsMade(), 1);
    EXPECT_EQ(highlighter.Compilations(), 1);
    record.Keyword = L"c";
    highlighter.SetRecord(record);
    EXPECT_EQ(Shape(L"abbc", highlighter.Runs(L"abbc")), L"abb[c]");
    EXPECT_EQ(highlighter.RegexObjectsMade(), 1);
    EXPECT_EQ(highlighter.Compilations(), 2);
    // A plain search after it compiles nothing and keeps the object for later.
    highlighter.SetRecord(Record(L"B", false, true, false));
    EXPECT_EQ(Shape(L"abbc", highlighter.Runs(L"abbc")), L"a[b][b]c");
    EXPECT_EQ(highlighter.Compilations(), 2);

    // A library that is not there: nothing matched, nothing raised.
    TMatchHighlighter missing(L"no-such-library.dll");
    missing.SetRecord(Record(L"b", true, false, false));
    EXPECT_EQ(Shape(L"abc", missing.Runs(L"abc")), L"abc");
    EXPECT_EQ(missing.Compilations(), 0);
}

TEST(MatchHighlighter, PaintsMatchesRedBoldAndRestoresTheFont) {
    MemoryDib dib(200, 24, RGB(255, 255, 255));
    classlib::TCanvas canvas;
    canvas.SetHandle(dib.DC);
    canvas.Brush().SetColor(RGB(255, 255, 255));
    canvas.Font().SetColor(RGB(0, 0, 0));
    const RECT cell{0, 0, 200, 24};
    TMatchHighlighter highlighter;

    // Plain text: only the font's colour, from left + 1.
    highlighter.SetRecord(Record(L"zz", false, false, false));
    highlighter.Paint(canvas, cell, L"MMMM");
    EXPECT_EQ(dib.Count(RGB(255, 0, 0)), 0);
    EXPECT_GT(dib.Count(RGB(0, 0, 0)), 0);

    // The matched part in red, starting where the text before it ends.
    dib.Fill(RGB(0, 128, 0));  // the cell is filled with the brush first
    highlighter.SetRecord(Record(L"MM", false, false, false));
    highlighter.Paint(canvas, cell, L"iiMM");
    EXPECT_EQ(dib.Count(RGB(0, 128, 0)), 0);
    ASSERT_GT(dib.Count(RGB(255, 0, 0)), 0);
    canvas.Font().SetStyle(0);
    const int before = 1 + canvas.TextWidth(L"ii");
    int firstRed = dib.Width;
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            if (dib.Pixel(x, y) == RGB(255, 0, 0)) firstRed = std::min(firstRed, x);
    EXPECT_GE(firstRed, before);
    EXPECT_EQ(canvas.Font().Color(), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Font().Style(), 0u);
    canvas.SetHandle(nullptr);
}

}  // namespace
