// The number editors' fields and their range check.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "editors/numberfields.h"

using namespace editors;
using testsupport::Narrow;

namespace {

constexpr TNumberWidth D = TNumberWidth::DWord;
constexpr TNumberWidth Q = TNumberWidth::QWord;

}  // namespace

TEST(NumberFields, RangeCheckOfOk) {
    struct Case {
        TNumberWidth width;
        const wchar_t* text;
        bool fits;
    } cases[] = {
        {D, L"0", true},
        {D, L"4294967295", true},
        {D, L"4294967296", false},
        {D, L"-1", false},
        {D, L"", false},
        {D, L"abc", false},
        {Q, L"18446744073709551615", true},
        {Q, L"18446744073709551616", false},
        {Q, L"18500000000000000000", false},
        {Q, L"", false},
        {Q, L"12a", false},
        {Q, L"-1", false},
        {Q, L"000000000000000000001", false},  // 21 digits, though small
        {Q, L"09999999999999999999", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberTextFits(c.width, c.text), c.fits) << Narrow(c.text) << (c.width == D ? " DWORD" : " QWORD");
}

TEST(NumberFields, DecimalGivesTheOtherFields) {
    struct Case {
        TNumberWidth width;
        const wchar_t* decimal;
        const wchar_t *hex, *octal, *binary;
    } cases[] = {
        {D, L"255", L"FF", L"377", L"11111111"},
        {D, L"4294967295", L"FFFFFFFF", L"37777777777", L"11111111111111111111111111111111"},
        // An empty or non-numeric text counts as -1.
        {D, L"", L"FFFFFFFF", L"37777777777", L"11111111111111111111111111111111"},
        {D, L"0", L"0", L"0", L"0"},
        {Q, L"18446744073709551615", L"FFFFFFFFFFFFFFFF", L"1777777777777777777777",
         L"1111111111111111111111111111111111111111111111111111111111111111"},
        // Every non-digit counts 0 but keeps its place.
        {Q, L"1x", L"A", L"12", L"1010"},
    };
    for (const Case& c : cases) {
        const auto fields = FieldsFromDecimal(c.width, c.decimal);
        EXPECT_EQ(fields[1], c.hex) << Narrow(c.decimal);
        EXPECT_EQ(fields[2], c.octal) << Narrow(c.decimal);
        EXPECT_EQ(fields[3], c.binary) << Narrow(c.decimal);
    }
    EXPECT_EQ(DecimalFromField(Q, TNumberField::Hex, L"FFFFFFFFFFFFFFFF"), L"18446744073709551615");
    EXPECT_EQ(DecimalFromField(D, TNumberField::Octal, L"17"), L"15");
    EXPECT_EQ(DecimalFromField(D, TNumberField::Binary, L"101"), L"5");
    EXPECT_FALSE(DecimalFromField(D, TNumberField::Hex, L""));
}

// Typing in a field rewrites only the fields whose text differs: the typed field keeps its
// text (and caret) when it is in normal form already, and an empty field changes nothing.
TEST(NumberFields, ModelWritesOnlyFieldsThatDiffer) {
    TNumberFieldsModel model(D);
    auto updates = model.FieldChanged(TNumberField::Decimal, L"255");
    ASSERT_EQ(updates.size(), 3u);  // the decimal field itself is never written back
    EXPECT_EQ(model.Text(TNumberField::Hex), L"FF");

    // "ff" typed in the hexadecimal field: the decimal stays 255, the field becomes "FF".
    updates = model.FieldChanged(TNumberField::Hex, L"ff");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].Field, TNumberField::Hex);
    EXPECT_EQ(updates[0].Text, L"FF");

    // "1FF" is in normal form: the hexadecimal field is not written, the others are.
    updates = model.FieldChanged(TNumberField::Hex, L"1FF");
    for (const auto& u : updates) EXPECT_NE(u.Field, TNumberField::Hex);
    EXPECT_EQ(model.Text(TNumberField::Decimal), L"511");
    EXPECT_EQ(model.Text(TNumberField::Octal), L"777");

    // Clearing a non-decimal field leaves every other field as it was.
    EXPECT_TRUE(model.FieldChanged(TNumberField::Octal, L"").empty());
    EXPECT_EQ(model.Text(TNumberField::Decimal), L"511");
    EXPECT_EQ(model.Text(TNumberField::Hex), L"1FF");

    // Clearing the decimal field shows the all-ones pattern elsewhere.
    model.FieldChanged(TNumberField::Decimal, L"");
    EXPECT_EQ(model.Text(TNumberField::Hex), L"FFFFFFFF");
}

// The caret of an edit field stays where the user typed when its text is rewritten, and a
// field whose text does not change is not touched at all.
TEST(NumberFields, EditFieldKeepsItsCaret) {
    testsupport::HiddenEdit field(L"ff");
    HWND edit = field.Handle();
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, EM_SETSEL, 1, 1);  // caret between the two letters

    EXPECT_TRUE(SetEditTextIfChanged(edit, L"FF"));
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 1u);

    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
    EXPECT_FALSE(SetEditTextIfChanged(edit, L"FF"));
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0)) << "an equal text must not be set again";

    // A shorter text cuts the selection to its length.
    SendMessageW(edit, EM_SETSEL, 2, 2);
    EXPECT_TRUE(SetEditTextIfChanged(edit, L"7"));
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
}
