#include "classlib/errors.h"
#include "classlib/runtime.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <thread>
#include <vector>

using namespace classlib;
using testsupport::Narrow;

TEST(Runtime, StrToIntTable) {
    struct Case {
        const wchar_t* text;
        std::optional<int> value;  // empty: not an integer
    };
    const Case cases[] = {
        {L"0", 0},
        {L"123", 123},
        {L"  42", 42},               // leading blanks
        {L"42 ", std::nullopt},       // trailing ones are not
        {L"\t42", std::nullopt},      // only spaces count as leading blanks
        {L"+7", 7},
        {L"-7", -7},
        {L"- 7", std::nullopt},
        {L"$1F", 31},
        {L"$1f", 31},
        {L"0x1F", 31},
        {L"0X1f", 31},
        {L"x10", 16},
        {L"-$10", -16},
        {L"-0x10", -16},
        {L"$", std::nullopt},
        {L"0x", std::nullopt},
        {L"$G", std::nullopt},
        {L"1F", std::nullopt},        // hex digits need a prefix
        {L"2147483647", 2147483647},
        {L"2147483648", std::nullopt},  // decimal overflow
        {L"-2147483648", -2147483647 - 1},
        {L"-2147483649", std::nullopt},
        {L"$7FFFFFFF", 2147483647},
        {L"$FFFFFFFF", -1},           // hexadecimal: the 32-bit pattern
        {L"$80000000", -2147483647 - 1},
        {L"$100000000", std::nullopt},
        {L"00000000000000000012", 12},  // leading zeros never overflow
        {L"", std::nullopt},
        {L" ", std::nullopt},
        {L"1.0", std::nullopt},
        {L"１２", std::nullopt},      // full-width digits are not digits here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        int v = 12345;
        EXPECT_EQ(TryStrToInt(c.text, v), c.value.has_value());
        if (c.value) {
            EXPECT_EQ(v, *c.value);
            EXPECT_EQ(StrToInt(c.text), *c.value);
        } else {
            EXPECT_EQ(v, 12345) << "output touched on failure";
            EXPECT_EQ(StrToIntDef(c.text, -99), -99);
        }
    }
    try {
        StrToInt(L"abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"'abc' は正しい整数値ではありません");
    }
}

TEST(Runtime, StrToInt64Table) {
    struct Case {
        const wchar_t* text;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {L"9223372036854775807", INT64_MAX},
        {L"9223372036854775808", std::nullopt},
        {L"-9223372036854775808", INT64_MIN},
        {L"-9223372036854775809", std::nullopt},
        {L"4294967296", 4294967296LL},
        {L"$FFFFFFFF", 4294967295LL},  // fits 64 bits: no wrap
        {L"$FFFFFFFFFFFFFFFF", -1},
        {L"0x10000000000000000", std::nullopt},
        {L"  -$10", -16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        int64_t v = 0;
        EXPECT_EQ(TryStrToInt64(c.text, v), c.value.has_value());
        if (c.value)
            EXPECT_EQ(v, *c.value);
        else
            EXPECT_THROW(StrToInt64(c.text), EConvertError);
    }
    EXPECT_EQ(StrToInt64Def(L"zz", 5), 5);
}

TEST(Runtime, IntegerText) {
    EXPECT_EQ(IntToStr(0), L"0");
    EXPECT_EQ(IntToStr(-123), L"-123");
    EXPECT_EQ(IntToStr(INT64_MIN), L"-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), L"00FF");
    EXPECT_EQ(IntToHex(0x12345, 2), L"12345");  // never cut
    EXPECT_EQ(IntToHex(0, 0), L"0");
    EXPECT_EQ(IntToHex(-1, 2), L"FFFFFFFF");     // int: 32-bit pattern
    EXPECT_EQ(IntToHex(int64_t{-1}, 0), L"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(static_cast<DWORD>(0xABCDEF01), 8), L"ABCDEF01");
    EXPECT_EQ(IntToHex(static_cast<BYTE>(0x0A), 2), L"0A");
}

TEST(Runtime, FloatTextAndRounding) {
    struct Case {
        const wchar_t* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {L"1.5", 1.5}, {L" -2.25 ", -2.25}, {L".5", 0.5}, {L"5.", 5.0}, {L"1e3", 1000.0},
        {L"1E-2", 0.01}, {L"+3", 3.0}, {L"", std::nullopt}, {L".", std::nullopt},
        {L"1e", std::nullopt}, {L"0x10", std::nullopt}, {L"inf", std::nullopt},
        {L"nan", std::nullopt}, {L"1,5", std::nullopt}, {L"1e999", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        double v = 0;
        EXPECT_EQ(TryStrToFloat(c.text, v), c.value.has_value());
        if (c.value)
            EXPECT_DOUBLE_EQ(v, *c.value);
    }
    EXPECT_THROW(StrToFloat(L"x"), EConvertError);

    EXPECT_EQ(FloatToStr(0.1), L"0.1");
    EXPECT_EQ(FloatToStr(100), L"100");
    EXPECT_EQ(FloatToStr(-1.5), L"-1.5");
    EXPECT_EQ(FloatToStr(1e20), L"1E20");
    EXPECT_EQ(FloatToStr(1.5e-7), L"1.5E-7");
    EXPECT_EQ(FloatToStr(1.0 / 3), L"0.333333333333333");

    const std::pair<double, int64_t> rounding[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e15 + 0.5, 1000000000000000LL},
    };
    for (auto [value, expected] : rounding)
        EXPECT_EQ(Round(value), expected) << value;
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
}

TEST(Runtime, Booleans) {
    EXPECT_EQ(BoolToStr(true), L"-1");
    EXPECT_EQ(BoolToStr(false), L"0");
    EXPECT_EQ(BoolToStr(true, true), L"True");
    EXPECT_EQ(BoolToStr(false, true), L"False");
    const std::pair<const wchar_t*, bool> good[] = {
        {L"-1", true}, {L"1", true}, {L"0", false}, {L"2", true}, {L"0.0", false},
        {L"0.5", true}, {L"True", true}, {L"true", true}, {L"FALSE", false}, {L" 1 ", true},
    };
    for (auto [text, expected] : good) {
        SCOPED_TRACE(Narrow(text));
        EXPECT_EQ(StrToBool(text), expected);
    }
    for (const wchar_t* bad : {L"", L"yes", L"T", L"Truee"}) {
        SCOPED_TRACE(Narrow(bad));
        bool v = true;
        EXPECT_FALSE(TryStrToBool(bad, v));
        EXPECT_FALSE(StrToBoolDef(bad, false));
        EXPECT_THROW(StrToBool(bad), EConvertError);
    }
}

TEST(Runtime, StringHelpers) {
    EXPECT_EQ(Trim(L" \t\r\nab c\x01 "), L"ab c");
    EXPECT_EQ(TrimLeft(L"  ab  "), L"ab  ");
    EXPECT_EQ(TrimRight(L"  ab  "), L"  ab");
    EXPECT_EQ(Trim(L"\x3000全角\x3000"), L"\x3000全角\x3000");  // only characters <= ' '
    EXPECT_EQ(Trim(L"   "), L"");

    EXPECT_EQ(UpperCase(L"abcÄäｚz"), L"ABCÄäｚZ");
    EXPECT_EQ(LowerCase(L"ABCÄ"), L"abcÄ");
    EXPECT_EQ(WideUpperCase(L"abcäｚ"), L"ABCÄＺ");
    EXPECT_EQ(WideLowerCase(L"ÄＺ"), L"äｚ");
    const std::wstring sharp = L"straße";
    EXPECT_EQ(WideUpperCase(sharp).size(), sharp.size());  // never a longer mapping
    EXPECT_TRUE(SameText(L"HKEY_Current_User", L"hkey_current_user"));
    EXPECT_FALSE(SameText(L"Ä", L"ä"));
    EXPECT_LT(CompareText(L"abc", L"ABD"), 0);
    EXPECT_GT(CompareText(L"abcd", L"ABC"), 0);
    // Names as the registry and the file system compare them: every letter, exact lengths.
    const struct {
        std::wstring_view A, B;
        bool Same;
    } names[] = {
        {L"Software\\Wendlar", L"SOFTWARE\\wendlar", true},
        {L"Äΐß値", L"äΐß値", true},
        {L"", L"", true},
        {L"a", L"", false},
        {L"ab", L"abc", false},            // a prefix is not the name
        {{L"a\0b", 3}, {L"A\0B", 3}, true},  // a NUL inside is part of the name
        {{L"a\0b", 3}, {L"a\0c", 3}, false},
    };
    for (const auto& n : names)
        EXPECT_EQ(SameNameIgnoringCase(n.A, n.B), n.Same) << testsupport::Narrow(std::wstring(n.A));

    EXPECT_EQ(Pos(L"b", L"abcb"), 2u);
    EXPECT_EQ(Pos(L"b", L"abcb", 3), 4u);
    EXPECT_EQ(Pos(L"x", L"abc"), 0u);
    EXPECT_EQ(Pos(L"", L"abc"), 0u);  // an empty pattern finds nothing
    EXPECT_EQ(Pos(L"", L""), 0u);
    EXPECT_EQ(Pos(L"a", L"abc", 9), 0u);

    EXPECT_EQ(Copy(L"abcdef", 2, 3), L"bcd");
    EXPECT_EQ(Copy(L"abcdef", 0, 2), L"ab");
    EXPECT_EQ(Copy(L"abcdef", -5, 2), L"ab");
    EXPECT_EQ(Copy(L"abcdef", 5, 100), L"ef");
    EXPECT_EQ(Copy(L"abcdef", 7, 1), L"");
    EXPECT_EQ(Copy(L"abcdef", 2, -1), L"");

    EXPECT_EQ(FormatW(L"%ls=%d (%04X)", L"値", 42, 255u), L"値=42 (00FF)");
    std::wstring longText(1000, L'x');
    EXPECT_EQ(FormatW(L"[%ls]", longText.c_str()), L"[" + longText + L"]");

    EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a"), L"C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(L""), L"");
}

TEST(Runtime, SystemErrors) {
    std::wstring text = SysErrorMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
    EXPECT_NE(text.back(), L'.');
    try {
        RaiseLastOSError(ERROR_ACCESS_DENIED);
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
        EXPECT_NE(e.Message().find(SysErrorMessage(ERROR_ACCESS_DENIED)), std::wstring::npos);
    }
}

TEST(Runtime, DateTimes) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 3, 1), 36586.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);

    TDateTime t = EncodeDate(2024, 1, 5) + EncodeTime(9, 3, 7, 45);
    EXPECT_EQ(FormatDateTime(L"yyyy/mm/dd hh:nn:ss", t), L"2024/01/05 09:03:07");
    EXPECT_EQ(FormatDateTime(L"yyyy/mm/dd", t), L"2024/01/05");
    EXPECT_EQ(FormatDateTime(L"YYYY/M/D H:MM:SS.zzz", t), L"2024/1/5 9:03:07.045");
    EXPECT_EQ(FormatDateTime(L"yy'年'm\"月\"", t), L"24年1月");
    EXPECT_EQ(DateTimeToStr(t), L"2024/01/05 9:03:07");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 1, 5)), L"2024/01/05");

    // Before day 0 the fraction still counts forward: -1.25 is 12/29 06:00.
    EXPECT_EQ(FormatDateTime(L"yyyy/mm/dd hh:nn", -1.25), L"1899/12/29 06:00");
    // Just under midnight rounds to the next day, not to "24:00".
    EXPECT_EQ(FormatDateTime(L"yyyy/mm/dd hh:nn:ss.zzz", EncodeDate(2024, 1, 5) + 0.99999999999),
              L"2024/01/06 00:00:00.000");
    EXPECT_THROW(FormatDateTime(L"yyyy", std::nan("")), EConvertError);

    SYSTEMTIME st{};
    DateTimeToSystemTime(t, st);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 5);
    EXPECT_EQ(st.wDayOfWeek, 5);  // a Friday
    EXPECT_EQ(st.wHour, 9);
    EXPECT_EQ(st.wMilliseconds, 45);
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st), t);

    // A file time converts exactly in UTC, and to local time by the time zone.
    SYSTEMTIME utc{2024, 1, 5, 5, 9, 3, 7, 45};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &ft));
    EXPECT_EQ(FormatDateTime(L"yyyy/mm/dd hh:nn:ss.zzz", FileTimeToDateTime(ft, false)),
              L"2024/01/05 09:03:07.045");
    SYSTEMTIME local;
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(ft), SystemTimeToDateTime(local));

    TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
}

TEST(Runtime, Win32SizeRefusesWhatTheTypeCannotHold) {
    EXPECT_EQ(Win32Size<DWORD>(size_t{0}), 0u);
    EXPECT_EQ(Win32Size<DWORD>(size_t{0xFFFFFFFFu}), 0xFFFFFFFFu);
    EXPECT_THROW(Win32Size<DWORD>(size_t{0x100000000u}), ERangeError);  // would wrap to 0
    EXPECT_EQ(Win32Size<int>(size_t{0x7FFFFFFF}), 0x7FFFFFFF);
    EXPECT_THROW(Win32Size<int>(size_t{0x80000000u}), ERangeError);      // would turn negative
    EXPECT_THROW(Win32Size<UINT>(-1), ERangeError);                       // a negative count
    EXPECT_EQ(Win32Size<UINT>(int64_t{7}), 7u);
}

TEST(Exceptions, WhatIsTheUtf8MessageForEveryThreadAndFollowsSetMessage) {
    const Exception e(L"キー \"A\" を開けません");
    const std::string expected = "\xE3\x82\xAD\xE3\x83\xBC \"A\" \xE3\x82\x92\xE9\x96\x8B\xE3\x81\x91\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93";
    // Many threads ask at once: each gets the same text at the same address, and the
    // object is not changed by asking.
    std::vector<const char*> seen(8, nullptr);
    {
        std::vector<std::thread> threads;
        for (auto& slot : seen) threads.emplace_back([&e, &slot] { slot = e.what(); });
        for (auto& t : threads) t.join();
    }
    for (const char* text : seen) {
        EXPECT_EQ(text, seen.front());
        EXPECT_EQ(expected, text);
    }
    Exception changed(L"old");
    changed.SetMessage(L"新");
    EXPECT_STREQ("\xE6\x96\xB0", changed.what());
    EXPECT_STREQ("", Exception(L"").what());
}

// Sort keys order texts as the locale's case-blind comparison does.
TEST(Runtime, WideSortKeysOrderAsTheLocaleComparesIgnoringCase) {
    const std::wstring texts[] = {L"",      L"a",      L"A",     L"ab",       L"B",         L"b10", L"b9",
                                  L"Value", L"value2", L"日本", L"日本語", L"\U00020BB7", L"z z", L"zz"};
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const std::wstring& a : texts)
        for (const std::wstring& b : texts) {
            const int expected = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), int(a.size()),
                                                b.data(), int(b.size())) - CSTR_EQUAL;
            EXPECT_EQ(sign(expected), sign(WideSortKey(a).compare(WideSortKey(b))))
                << Narrow(a) << " / " << Narrow(b);
        }
    EXPECT_EQ(WideSortKey(L"Value"), WideSortKey(L"vALUE"));
}
