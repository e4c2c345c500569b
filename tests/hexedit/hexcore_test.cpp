// Byte store, colours, number and hex texts, translation tables.
#include <set>

#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

TEST(HexDataStream, RangeChecks) {
    THexMemoryStream s;
    s.SetSize(4);
    EXPECT_NO_THROW(s.GetAddress(4, 0));  // an empty range at the end
    EXPECT_EQ(HEX_MESSAGE(s.GetAddress(4, 1)), "Data position/length out of data bounds");
    EXPECT_EQ(HEX_MESSAGE(s.GetAddress(-1, 0)), "Data position/length out of data bounds");
    EXPECT_EQ(HEX_MESSAGE(s.ReadHex(3, 2, false)), "Data position/length out of data bounds");
    EXPECT_EQ(HEX_MESSAGE(s.MoveBytes(0, 2, 3)), "Data position/length out of data bounds");
    EXPECT_EQ(HEX_MESSAGE(s.SetSize(2147483648LL)), "Data of 2147483648 bytes or more cannot be edited");
    EXPECT_EQ(s.Size(), 4);
}

TEST(HexDataStream, MoveInsertRemoveAndHex) {
    THexMemoryStream s;
    s.SetSize(6);
    s.WriteAt("abcdef", 0, 6);
    s.MoveBytes(0, 2, 4);  // overlapping
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.Data()), 6), "ababcd");
    s.InsertGap(1, 2);
    s.WriteAt("XY", 1, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.Data()), 8), "aXYbabcd");
    s.Remove(0, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.Data()), 5), "babcd");
    const uint8_t bytes[] = {0x1F, 0xA0};
    s.WriteAt(bytes, 0, 2);
    EXPECT_EQ(s.ReadHex(0, 2, false), "1FA0");
    EXPECT_EQ(s.ReadHex(0, 2, true), "F10A");
    EXPECT_EQ(s.ReadHex(0, 0, false), "");
}

TEST(HexColors, DefaultsOwnerAndAssign) {
    TCustomHexEditor e;
    TRecordingView view;
    e.SetView(&view);
    EXPECT_EQ(e.Colors().Background(), 0xFF000005u);
    EXPECT_EQ(e.Colors().ChangedBackground(), 0x00A8FFFFu);
    EXPECT_EQ(e.Colors().NonFocusCursorFrame(), 0x00FFFF00u);
    e.Colors().SetBackground(0x123456);
    EXPECT_EQ(e.Color(), 0x123456u);  // the control colour follows Background
    EXPECT_EQ(view.Invalidates, 1);
    e.Colors().SetBackground(0x123456);  // same value: no redraw
    EXPECT_EQ(view.Invalidates, 1);

    THexColors other;
    other.Set(THexColors::ciGrid, 0x00010203);
    e.Colors().Assign(&other);
    EXPECT_EQ(e.Colors().Grid(), 0x00010203u);
    EXPECT_EQ(e.Color(), 0xFF000005u);
    e.Colors().Assign(nullptr);  // any other source changes nothing
    EXPECT_EQ(e.Colors().Grid(), 0x00010203u);
}

TEST(HexNumbers, RadixTexts) {
    EXPECT_EQ(IntToRadix(0, 16), L"0");
    EXPECT_EQ(IntToRadixLen(0x1A, 16, 4), L"001A");
    EXPECT_EQ(IntToRadixLen(5, 2, 0), L"101");
    EXPECT_EQ(IntToRadix(0xFFFFFFFF, 16), L"FFFFFFFF");
    struct Case {
        const wchar_t* text;
        int radix;
        int value;
        const char* error;
    } cases[] = {
        {L"", 16, 0, nullptr},
        {L"ff", 16, 255, nullptr},
        {L"777", 8, 511, nullptr},
        {L"7FFFFFFF", 16, 0x7FFFFFFF, nullptr},
        {L"1G", 16, 0, "Invalid character G, cannot convert using radix 10h"},
        {L"8", 8, 0, "Invalid character 8, cannot convert using radix 8h"},
        {L"-1", 10, 0, "Invalid character -, cannot convert using radix Ah"},
        {L"80000000", 16, 0, "Number 80000000 too large, cannot convert using radix 10h"},
        {L"FFFFFFFFFF", 16, 0, "Number FFFFFFFFFF too large, cannot convert using radix 10h"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.text));
        if (c.error)
            EXPECT_EQ(HEX_MESSAGE(RadixToInt(c.text, c.radix)), c.error);
        else
            EXPECT_EQ(RadixToInt(c.text, c.radix), c.value);
    }
}

TEST(HexNumbers, HexTextConversion) {
    const char text[] = "0A b-c 1";
    EXPECT_EQ(ConvertHexToBin(text, sizeof text - 1, false), Bytes({0x0A, 0xBC}));
    EXPECT_EQ(ConvertHexToBin(text, sizeof text - 1, true), Bytes({0xA0, 0xCB}));
    const uint8_t bytes[] = {0x00, 0x7F, 0xE9};
    EXPECT_EQ(ConvertBinToHex(bytes, 3, false), "007FE9");
    EXPECT_EQ(ConvertBinToHex(bytes, 3, true), "00F79E");
    wchar_t c = 0x1234;
    SwapWideChar(c);
    EXPECT_EQ(c, 0x3412);
}

TEST(HexTranslation, TablesAreInversePermutations) {
    for (THexTranslationKind kind : {tkMac, tkBCD, tkCustom}) {
        const uint8_t* from = TranslationFromTable(kind);
        const uint8_t* to = TranslationToTable(kind);
        std::set<int> seen;
        for (int i = 0; i < 256; ++i) {
            seen.insert(from[i]);
            EXPECT_EQ(to[from[i]], i) << "kind " << int(kind) << " byte " << i;
        }
        EXPECT_EQ(seen.size(), 256u) << "kind " << int(kind);
    }
    for (int i = 0; i < 128; ++i) EXPECT_EQ(MacFromTable[i], i);
    EXPECT_EQ(EbcdicFromTable['A'], 0xC1);
    EXPECT_EQ(EbcdicFromTable[' '], 0x40);
    // Block forms use the same tables; kinds past tkCustom do nothing.
    uint8_t src[3] = {'A', 'z', '0'}, dst[3] = {1, 2, 3};
    TranslateFromAnsi(tkBCD, src, dst, 3);
    EXPECT_EQ(dst[0], 0xC1);
    TranslateToAnsi(tkBCD, dst, dst, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst), 3), "Az0");
    TranslateFromAnsi(6, src, dst, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dst), 3), "Az0");
    EXPECT_STREQ(TranslationLongName(tkBCD), L"EBCDIC codepage 38");
    EXPECT_STREQ(TranslationShortName(tkCustom), L"Cust");
}
