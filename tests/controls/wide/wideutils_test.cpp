// Search and replace, line breaks, path dissection and error texts.
#include <gtest/gtest.h>

#include "classlib/errors.h"
#include "controls/wide/wideutils.h"
#include "common/test_support.h"

using namespace wide;

namespace {

TEST(WideStringReplace, Table) {
    const unsigned all = rfReplaceAll, allIc = rfReplaceAll | rfIgnoreCase;
    const struct {
        const wchar_t* s;
        const wchar_t* oldPattern;
        const wchar_t* newPattern;
        unsigned flags;
        bool wholeWord;
        const wchar_t* expected;
    } cases[] = {
        {L"a %1 b %1", L"%1", L"C:\\x y", allIc, false, L"a C:\\x y b C:\\x y"},
        {L"ABCabc", L"abc", L"x", allIc, false, L"xx"},
        {L"ABCdabc", L"abc", L"x", allIc, false, L"xdx"},
        {L"ABCdabc", L"abc", L"x", all, false, L"ABCdx"},
        {L"abab", L"ab", L"x", 0, false, L"xab"},
        {L"aaa", L"a", L"aa", all, false, L"aaaaaa"},
        {L"ab cab ab.", L"ab", L"X", all, true, L"X cab X."},
        {L"ab,ab", L"ab", L"X", all, true, L"X,X"},
        {L"abab", L"ab", L"X", all, true, L"abab"},
        {L"", L"a", L"b", all, false, L""},
        {L"text", L"", L"x", allIc, false, L"text"},
        {L"text", L"", L"x", all, true, L"text"},
        // Upper-casing one unit at a time keeps lengths: positions found in the folded copy
        // fit the original even next to letters whose full upper case is longer.
        {L"stra\u00DFe ABC", L"abc", L"x", allIc, false, L"stra\u00DFe x"},
        {L"\u0149abc\u0149ABC", L"abc", L"-", allIc, false, L"\u0149-\u0149-"},
        {L"\uFB00abc", L"ABC", L"x", allIc, false, L"\uFB00x"},
        {L"stra\u00DFe", L"SS", L"x", allIc, false, L"stra\u00DFe"},
        {L"\xD83D\xDE00" L"a\xD83D\xDE00" L"A", L"a", L"b", allIc, false, L"\xD83D\xDE00" L"b\xD83D\xDE00" L"b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(std::wstring(c.s) + L" / " + c.oldPattern));
        EXPECT_EQ(WideStringReplace(c.s, c.oldPattern, c.newPattern, c.flags, c.wholeWord), c.expected);
    }
}

TEST(WideStringReplace, UpperCaseCopyKeepsLength) {
    const std::wstring s = L"stra\u00DFe \u0149 \uFB03 \u0390 abc";
    const std::wstring upper = WideUpperCaseKeepLength(s);
    EXPECT_EQ(upper.size(), s.size());
    EXPECT_EQ(upper.substr(upper.size() - 3), L"ABC");
}

TEST(WideTextPos, IgnoresCaseAndFindsNothingForEmpty) {
    EXPECT_EQ(WideTextPos(L"abc", L"xxABC"), 3);
    EXPECT_EQ(WideTextPos(L"d", L"abc"), 0);
    EXPECT_EQ(WideTextPos(L"", L"abc"), 0);
}

TEST(WideAdjustLineBreaks, Styles) {
    const std::wstring s = L"a\rb\nc\r\nd\u2028e\n\r";
    EXPECT_EQ(WideAdjustLineBreaks(s, tlbsCRLF), L"a\r\nb\r\nc\r\nd\r\ne\r\n\r\n");
    EXPECT_EQ(WideAdjustLineBreaks(s, tlbsLF), L"a\nb\nc\nd\ne\n\n");
    EXPECT_EQ(WideAdjustLineBreaks(s, tlbsCR), L"a\rb\rc\rd\re\r\r");
}

TEST(PathFunctions, Table) {
    const struct {
        const wchar_t* s;
        const wchar_t* path;
        const wchar_t* dir;
        const wchar_t* name;
        const wchar_t* ext;
        const wchar_t* regName;
    } cases[] = {
        {L"C:\\a\\b.txt", L"C:\\a\\", L"C:\\a", L"b.txt", L".txt", L"C:\\a\\b.reg"},
        {L"C:\\", L"C:\\", L"C:\\", L"", L"", L"C:\\.reg"},
        {L"C:\\file", L"C:\\", L"C:\\", L"file", L"", L"C:\\file.reg"},
        {L"C:", L"C:", L"C:", L"", L"", L"C:.reg"},
        {L"C:x.y", L"C:", L"C:", L"x.y", L".y", L"C:x.reg"},
        {L"name", L"", L"", L"name", L"", L"name.reg"},
        {L"a.b\\c", L"a.b\\", L"a.b", L"c", L"", L"a.b\\c.reg"},
        {L"x.tmp", L"", L"", L"x.tmp", L".tmp", L"x.reg"},
        {L"\\\\server\\share\\f.db", L"\\\\server\\share\\", L"\\\\server\\share", L"f.db", L".db",
         L"\\\\server\\share\\f.reg"},
        {L"\\dir", L"\\", L"\\", L"dir", L"", L"\\dir.reg"},
        {L"a\\\\b", L"a\\\\", L"a\\\\", L"b", L"", L"a\\\\b.reg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.s));
        EXPECT_EQ(WideExtractFilePath(c.s), c.path);
        EXPECT_EQ(WideExtractFileDir(c.s), c.dir);
        EXPECT_EQ(WideExtractFileName(c.s), c.name);
        EXPECT_EQ(WideExtractFileExt(c.s), c.ext);
        EXPECT_EQ(WideChangeFileExt(c.s, L".reg"), c.regName);
    }
    EXPECT_EQ(WideExcludeTrailingBackslash(L"C:\\a\\"), L"C:\\a");
    EXPECT_EQ(WideExcludeTrailingBackslash(L"C:\\a"), L"C:\\a");
    EXPECT_EQ(WideLastDelimiter(L"\\:", L"C:\\a\\b"), 5);
    EXPECT_EQ(WideLastDelimiter(L".", L"abc"), 0);
    EXPECT_EQ(WideLastDelimiter(std::wstring(L"\0", 1), std::wstring(L"a\0b", 3)), 0);
}

TEST(ErrorTexts, SystemMessagesAndFallback) {
    const std::wstring text = WideSysErrorMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find(L"Unspecified"), std::wstring::npos);
    EXPECT_EQ(WideSysErrorMessage(0x2FFFFFFF), L"Unspecified error (805306367) from system.");
    EXPECT_EQ(WideFormatModuleMessage(L"mine", GetModuleHandleW(nullptr), 0x2FFFFFFF),
              L"Unspecified error (805306367) from mine.");
}

TEST(ErrorTexts, CheckOSResultRaisesOnZero) {
    EXPECT_EQ(CheckOSResult(7), 7);
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_THROW(CheckOSResult(0), classlib::EOSError);
}

}  // namespace
