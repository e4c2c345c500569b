// UTF-8, UTF-7 and code-page conversions.
#include <gtest/gtest.h>

#include "controls/wide/conversions.h"
#include "controls/wide/widewin32.h"
#include "common/test_support.h"

using namespace wide;

namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::wstring text;
    bool lossy;
};

TEST(Utf8Decoding, Table) {
    const Utf8Case cases[] = {
        {"ascii", "abc", L"abc", false},
        {"two-byte", "\xC3\xA9", L"\u00E9", false},
        {"three-byte", "\xE3\x81\x82", L"\u3042", false},
        {"four-byte to surrogate pair", "\xF0\x9F\x98\x80", L"\xD83D\xDE00", false},
        {"highest code point", "\xF4\x8F\xBF\xBF", L"\xDBFF\xDFFF", false},
        {"lone lead at end", "\xC3", L"\uFFFD", true},
        {"lead between letters", "A\xC3" "A", L"A\uFFFDA", true},
        {"stray continuation", "a\x80" "b", L"a\uFFFDb", true},
        {"cut three-byte", "\xE3\x81", L"\uFFFD", true},
        {"cut four-byte then letter", "\xF0\x9F\x98x", L"\uFFFDx", true},
        {"over-long NUL", "\xC0\x80", L"\uFFFD\uFFFD", true},
        {"over-long three-byte", "\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD", true},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD", true},
        {"invalid byte FF", "\xFF" "a", L"\uFFFDa", true},
        {"bom is kept", "\xEF\xBB\xBFx", L"\uFEFFx", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool lossy = !c.lossy;
        EXPECT_EQ(UTF8ToWideString(c.bytes, &lossy), c.text);
        EXPECT_EQ(lossy, c.lossy);
    }
}

TEST(Utf8Encoding, RoundTripsEveryKindOfUnit) {
    const std::wstring texts[] = {
        L"", L"abc", L"\u00E9\u3042", L"\xD83D\xDE00 smile",
        std::wstring(L"lone high \xD800 and low \xDC00 halves"),
        std::wstring(L"nul\0inside", 10),
    };
    for (const auto& text : texts) {
        bool lossy = true;
        EXPECT_EQ(UTF8ToWideString(WideStringToUTF8(text), &lossy), text);
        EXPECT_FALSE(lossy);
    }
    EXPECT_EQ(WideStringToUTF8(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(WideStringToUTF8(L"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(WideStringToUTF8(L"\xD800"), "\xED\xA0\x80");
}

TEST(Utf7, EncodingTable) {
    const struct {
        std::wstring text;
        std::string utf7;
    } cases[] = {
        {L"", ""},
        {L"A+B", "A+-B"},
        {L"\u00E9x", "+AOk-x"},
        {L"\u00E9 ", "+AOk "},
        {L"\u00E9", "+AOk"},
        {L"\u00E9-", "+AOk--"},
        {L"Hi Mom -\u263A-!", "Hi Mom -+Jjo--!"},
        {L"\u65E5\u672C\u8A9E", "+ZeVnLIqe"},
        {L"a~b", "a+AH4-b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf7);
        EXPECT_EQ(WideStringToUTF7(c.text), c.utf7);
        EXPECT_EQ(UTF7ToWideString(c.utf7), c.text);
    }
}

TEST(Utf7, DecodingRules) {
    EXPECT_EQ(UTF7ToWideString("+AOk-"), L"\u00E9");
    EXPECT_EQ(UTF7ToWideString("+AOk"), L"\u00E9");
    EXPECT_EQ(UTF7ToWideString("+-"), L"+");
    for (const char* bad : {"+!", "+", "a\xE9", "+AOl-", "+-+"}) {
        SCOPED_TRACE(bad);
        try {
            UTF7ToWideString(bad);
            ADD_FAILURE() << "no exception";
        } catch (const EWideGeneralError& e) {
            EXPECT_EQ(e.Message(), L"Invalid UTF7");
        }
    }
}

TEST(CodePages, DispatchAndSystemPages) {
    EXPECT_EQ(StringToWideStringEx("+AOk-", CP_UTF7_NUMBER), L"\u00E9");
    EXPECT_EQ(StringToWideStringEx("\xC3\xA9", CP_UTF8_NUMBER), L"\u00E9");
    EXPECT_EQ(WideStringToStringEx(L"\u00E9", CP_UTF8_NUMBER), "\xC3\xA9");
    EXPECT_EQ(WideStringToStringEx(L"\u00E9", CP_UTF7_NUMBER), "+AOk");
    // Shift-JIS "あ" both ways, and the system page for plain ASCII.
    EXPECT_EQ(StringToWideStringEx("\x82\xA0", 932), L"\u3042");
    EXPECT_EQ(WideStringToStringEx(L"\u3042", 932), "\x82\xA0");
    EXPECT_EQ(StringToWideStringEx("abc", 0), L"abc");
    EXPECT_EQ(DefaultSystemCodePage, GetACP());
}

TEST(CodePages, KeyboardAndByteOrder) {
    EXPECT_EQ(KeyboardCharToWide(0x3042), L'\u3042');
    EXPECT_EQ(KeyboardCharToWide('A'), L'A');
    EXPECT_EQ(LCIDToCodePage(MAKELCID(0x0411, SORT_DEFAULT)), 932u);
    wchar_t text[] = {0x4100, 0x0042, 0, 0x1234};
    SwapWideByteOrder(text);
    EXPECT_EQ(text[0], 0x0041);
    EXPECT_EQ(text[1], 0x4200);
    EXPECT_EQ(text[3], 0x1234);  // after the NUL: untouched
}

TEST(Platform, IntegerResourceNames) {
    EXPECT_TRUE(IsIntResource(MAKEINTRESOURCEW(5)));
    EXPECT_FALSE(IsIntResource(L"NAME"));
}

}  // namespace
