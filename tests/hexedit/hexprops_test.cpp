// Property checks and messages, offset formats, ruler texts, Unicode mode and translations.
#include "hex_test_util.h"
#include "hexedit/hexeditorex.h"

using namespace hexedit;

using namespace hextest;

TEST(HexProperties, SetterChecks) {
    TCustomHexEditor e;
    Load(e, std::string(8, 'a'));
    struct Case {
        const char* name;
        std::function<void()> set;
        const char* message;
    } cases[] = {
        {"row 0", [&] { e.SetBytesPerRow(0); }, "Invalid bytes per line argument"},
        {"row 257", [&] { e.SetBytesPerRow(257); }, "Invalid bytes per line argument"},
        {"column 0", [&] { e.SetBytesPerColumn(0); }, "Invalid bytes per column argument"},
        {"column 257", [&] { e.SetBytesPerColumn(257); }, "Invalid bytes per column argument"},
        {"unit 3", [&] { e.SetBytesPerUnit(3); }, "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {"unit 16", [&] { e.SetBytesPerUnit(16); }, "Invalid bytes per unit value 16, allowed: 1,2,4,8"},
        {"ruler unit 0", [&] { e.SetRulerBytesPerUnit(0); },
         "Invalid ruler bytes per unit value 0, allowed: -1,1,2,4,8"},
        {"selection start", [&] { e.SetSelStart(8); }, "Invalid selection start"},
        {"selection start -1", [&] { e.SetSelStart(-1); }, "Invalid selection start"},
        {"selection end", [&] { e.SetSelEnd(-2); }, "Invalid selection end"},
        {"bookmark", [&] { e.SetBookmark(10, 0, false); }, "Invalid bookmark index"},
        {"read", [&] { e.ReadByte(8); }, "Data position/length out of data bounds"},
        {"write", [&] { e.WriteBuffer("ab", 7, 2); }, "Data position/length out of data bounds"},
        {"insert", [&] { e.InsertBuffer("ab", 2, 9, L"", false); }, "Data position/length out of data bounds"},
        {"replace", [&] { e.InternalReplace("ab", 9, 2, 2, L"", false); }, "Data position/length out of data bounds"},
        {"replace count", [&] { e.InternalReplace("ab", 0, -2, 2, L"", false); },
         "Data position/length out of data bounds"},
        {"change", [&] { e.InternalChangeByte(0, 1, 8, L""); }, "Data position/length out of data bounds"},
    };
    for (const Case& c : cases) EXPECT_EQ(HEX_MESSAGE(c.set()), c.message) << c.name;
    EXPECT_EQ(e.UndoStorage().StepCount(), 0);  // refused edits record nothing
    EXPECT_FALSE(e.Modified());
    EXPECT_EQ(e.BytesPerRow(), 16);
    EXPECT_EQ(e.BytesPerUnit(), 1);

    e.SetUnicodeChars(true);
    EXPECT_EQ(HEX_MESSAGE(e.SetBytesPerRow(15)), "Invalid bytes per line argument");
    EXPECT_EQ(HEX_MESSAGE(e.SetBytesPerColumn(3)), "Invalid bytes per column argument");
    EXPECT_EQ(HEX_MESSAGE(e.SetBytesPerUnit(4)), "BytesPerUnit must be set to 2 in unicode mode");
    EXPECT_EQ(HEX_MESSAGE(e.SetTranslation(tkDos8)), "Translations cannot be used in unicode mode");
    EXPECT_EQ(e.Translation(), tkAsIs);
    EXPECT_EQ(e.BytesPerUnit(), 2);
}

TEST(HexProperties, UnicodeModeRules) {
    TCustomHexEditor e;
    Load(e, std::string(7, 'a'));
    EXPECT_EQ(HEX_MESSAGE(e.SetUnicodeChars(true)), "Cannot use unicode mode with odd-sized files");
    EXPECT_FALSE(e.UnicodeChars());
    e.SetBytesPerRow(15);
    EXPECT_EQ(HEX_MESSAGE(e.SetUnicodeChars(true)), "Invalid bytes per line argument");

    Load(e, Bytes({0x00, 0x41}));
    e.SetBytesPerRow(16);
    e.SetTranslation(tkMac);
    e.SetUnicodeChars(true);
    EXPECT_EQ(e.Translation(), tkAsIs);
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol(), 2), L"\x4100");
    e.SetUnicodeBigEndian(true);
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol(), 2), L"A");

    // Setting the current value does nothing, even where the checks would now refuse.
    TRecordingView view;
    e.SetView(&view);
    e.DataStorage().SetSize(3);
    EXPECT_NO_THROW(e.SetUnicodeChars(true));
    EXPECT_EQ(view.Invalidates, 0);
    e.SetUnicodeChars(false);
    EXPECT_EQ(e.BytesPerUnit(), 1);
}

TEST(HexProperties, OffsetFormatParsing) {
    struct Case {
        int bytesPerRow;
        const wchar_t* format;
        const char* error;  // nullptr: accepted
    } cases[] = {
        {16, L"-!10:0x|", nullptr},
        {16, L"2%8:|", nullptr},
        {8, L"r%4!A:|h", nullptr},
        {16, L"C%A:|", nullptr},
        {16, L"%!2:|", nullptr},
        {16, L"10%8:|", "Invalid bytes per unit value 16, allowed: 1,2,4,8"},
        {16, L"R%-!10:|", "Invalid bytes per unit value 16, allowed: 1,2,4,8"},
        {16, L"3%10:|", "Invalid bytes per unit value 3, allowed: 1,2,4,8"},
        {16, L"-!10:0x", "Missing char in offset format: |"},
        {16, L"-!:0x|", "Missing char in offset format: number radix"},
        {16, L"-!10", "Missing char in offset format: :"},
        {16, L"0:|", "Invalid radix in offset format (0h), allowed: 02h..10h"},
        {16, L"11:|", "Invalid radix in offset format (11h), allowed: 02h..10h"},
        {16, L"1:|", "Invalid radix in offset format (1h), allowed: 02h..10h"},
        {16, L"FFFFFFFFF!10:|", "Number FFFFFFFFF too large, cannot convert using radix 10h"},
        // The minimum digit count is a byte.
        {16, L"FF!10:|", nullptr},
        {16, L"0FF!2:|", nullptr},
        {16, L"100!10:|", "Invalid minimum digit count in offset format (100h), allowed: 00h..FFh"},
        {16, L"7FFFFFFF!10:|", "Invalid minimum digit count in offset format (7FFFFFFFh), allowed: 00h..FFh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.format));
        TCustomHexEditor e;
        e.SetBytesPerRow(c.bytesPerRow);
        if (c.error) {
            EXPECT_EQ(HEX_MESSAGE(e.SetOffsetFormat(c.format)), c.error);
            EXPECT_EQ(e.OffsetFormat(), L"-!10:0x|");  // the previous format stays
        } else {
            EXPECT_NO_THROW(e.SetOffsetFormat(c.format));
            EXPECT_EQ(e.OffsetFormat(), c.format);
        }
    }
}

TEST(HexProperties, RefusedOffsetFormatKeepsThePreviousOneWhole) {
    TCustomHexEditor e;
    e.SetCharMetrics(8, 16);
    Load(e, std::string(0x1234, 'x'));
    const int width = e.ColWidth(0);
    ASSERT_EQ(e.ParsedOffsetFormat().MinWidth, 4);  // computed from the largest offset
    for (const wchar_t* bad : {L"7FFFFFFF!10:|", L"-!10:0x", L"3%10:|"}) {
        SCOPED_TRACE(testsupport::Narrow(bad));
        EXPECT_NE(HEX_MESSAGE(e.SetOffsetFormat(bad)), "<no exception>");
        EXPECT_EQ(e.OffsetFormat(), L"-!10:0x|");
        EXPECT_EQ(e.ParsedOffsetFormat().MinWidth, 4);
        EXPECT_EQ(e.GetOffsetString(0x10), L"0x0010");
        EXPECT_EQ(e.ColWidth(0), width);
    }

    // A unit that followed the row length since it was accepted would fail a new parse: the
    // refusal still reports the new text's own fault and the followed unit stays.
    e.SetBytesPerRow(8);
    e.SetOffsetFormat(L"R%8!A:|");
    e.SetBytesPerRow(16);
    EXPECT_EQ(HEX_MESSAGE(e.SetOffsetFormat(L"-!:|")), "Missing char in offset format: number radix");
    EXPECT_EQ(e.OffsetFormat(), L"R%8!A:|");
    EXPECT_EQ(e.ParsedOffsetFormat().BytesPerUnit, 16);
    EXPECT_EQ(e.GetOffsetString(160), L"00000010");

    // The largest minimum pads to 255 digits; the persisted properties text goes through the
    // same check.
    e.SetOffsetFormat(L"FF!10:|");
    EXPECT_EQ(e.GetOffsetString(1), std::wstring(254, L'0') + L"1");
    THexEditorEx ex(nullptr);
    EXPECT_EQ(HEX_MESSAGE(ex.LoadPropertiesFromText(L"OffsetFormat=7FFFFFFF!10:|\r\n")),
              "Invalid minimum digit count in offset format (7FFFFFFFh), allowed: 00h..FFh");
    EXPECT_EQ(ex.OffsetFormat(), L"-!10:0x|");
}

TEST(HexProperties, OffsetTexts) {
    TCustomHexEditor e;
    e.SetCharMetrics(8, 16);
    Load(e, std::string(0x1234, 'x'));
    EXPECT_EQ(e.GetOffsetString(0), L"0x0000");
    EXPECT_EQ(e.GetOffsetString(0x10), L"0x0010");
    EXPECT_EQ(e.ColWidth(0), 7 * 8 + 21);
    e.SetHexLowerCase(true);
    EXPECT_EQ(e.GetOffsetString(0xAB0), L"0x0ab0");
    e.SetHexLowerCase(false);

    e.SetOffsetFormat(L"2%8:|");
    EXPECT_EQ(e.GetOffsetString(16), L"10");
    e.SetOffsetFormat(L"0!A:<|>");  // minimum 0: offset 0 shows prefix and suffix alone
    EXPECT_EQ(e.GetOffsetString(0), L"<>");
    EXPECT_EQ(e.GetOffsetString(20), L"<20>");

    // A unit following the row length is not tested again, also at 256 bytes per row.
    e.SetBytesPerRow(8);
    e.SetOffsetFormat(L"r%4!A:|h");
    EXPECT_EQ(e.GetOffsetString(80), L"0010h");
    e.SetBytesPerRow(16);
    EXPECT_EQ(e.GetOffsetString(80), L"0005h");
    e.SetBytesPerRow(256);
    EXPECT_EQ(e.GetOffsetString(512), L"0002h");

    e.OnGetOffsetText = [](TCustomHexEditor* sender, int64_t number, std::wstring& text) {
        text = L"[" + std::to_wstring(number) + L"]" + sender->GetAnyOffsetString(0);
    };
    EXPECT_EQ(e.GetOffsetString(7), L"[7]0000h");  // nested calls fall through to the format
    e.OnGetOffsetText = nullptr;

    e.SetOffsetFormat(L"");
    EXPECT_EQ(e.GetOffsetString(16), L"");
    EXPECT_EQ(e.GetAnyOffsetString(255), L"FF");
    EXPECT_EQ(e.ColWidth(0), 8 + 21);
    e.SetGutterWidth(40);
    EXPECT_EQ(e.ColWidth(0), 40);
}

TEST(HexProperties, RulerTexts) {
    TCustomHexEditor e;
    e.SetBytesPerRow(4);
    EXPECT_EQ(e.HexRulerText(), L"00010203");
    EXPECT_EQ(e.CharRulerText(), L"0123");
    e.SetBytesPerUnit(2);
    EXPECT_EQ(e.HexRulerText(), L"00000001");
    EXPECT_EQ(e.CharRulerText(), L" 0 1");
    e.SetRulerNumberBase(1);  // outside 2..16 becomes 16
    EXPECT_EQ(e.RulerNumberBase(), 16);
    e.SetRulerBytesPerUnit(1);
    e.SetBytesPerRow(16);
    e.SetRulerNumberBase(10);
    EXPECT_EQ(e.CharRulerText(), L"0123456789012345");
    EXPECT_EQ(e.RulerCellText(2), L"0");
    EXPECT_EQ(e.RulerCellText(e.Layout().SeparatorCol()), L"  ");
    e.SetBytesPerRow(6);
    e.SetRulerBytesPerUnit(4);  // 6 bytes hold one unit of 4: the rest of the ruler is blank
    EXPECT_EQ(e.RulerCellText(12), L" ");
}

TEST(HexProperties, TranslationDisplayAndInput) {
    TCustomHexEditor e;
    Load(e, Bytes({0x41, 0x05, 0xE9, 0xC1}));
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol(), 2), L"A");
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol() + 1, 2), L".");  // masked
    e.SetMaskChar(L'*');
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol() + 1, 2), L"*");
    e.SetMaskChar(L'.');
    e.SetTranslation(tkASCII);
    EXPECT_EQ(e.TranslateDisplayChar(0xE9), L'.');
    EXPECT_EQ(e.TranslateInputChar(L'\x00E9'), 0);
    EXPECT_EQ(e.TranslateInputChar(L'A'), 'A');
    e.SetTranslation(tkDos8);
    EXPECT_EQ(e.TranslateInputChar(L'A'), 'A');
    e.SetTranslation(tkBCD);
    EXPECT_EQ(e.TranslateDisplayChar(0xC1), L'A');
    EXPECT_EQ(e.TranslateInputChar(L'A'), 0xC1);
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol() + 3, 2), L"A");
    EXPECT_EQ(e.CellText(2, 2), L"4");
    EXPECT_EQ(e.CellText(3, 2), L"1");
    e.SetSwapNibbles(true);
    EXPECT_EQ(e.CellText(2, 2), L"1");
    e.SetHexLowerCase(true);
    EXPECT_EQ(e.CellText(e.Layout().FirstCharCol() - 3, 2), L"");  // past the data
    EXPECT_EQ(e.CellText(6, 2), L"9");
    EXPECT_EQ(e.CellText(7, 2), L"e");
}

TEST(HexProperties, CaretShapeAndModeInteraction) {
    TCustomHexEditor e;
    TRecordingView view;
    e.SetView(&view);
    Load(e, Counting(4));
    EXPECT_EQ(e.CaretShape(), ckFull);
    e.SetInsertMode(true);
    EXPECT_EQ(e.CaretShape(), ckLeft);
    EXPECT_GE(view.ShapeChanges, 1);
    e.SetReadOnlyView(true);  // suspends insert mode without clearing it
    EXPECT_EQ(e.CaretShape(), ckBottom);
    EXPECT_FALSE(e.InsertMode());
    e.SetReadOnlyView(false);
    EXPECT_TRUE(e.InsertMode());
    e.SetAllowInsertMode(false);  // ends insert mode first
    e.SetAllowInsertMode(true);
    EXPECT_FALSE(e.InsertMode());
    e.SetCaretKind(ckBottom);
    EXPECT_EQ(e.CaretShape(), ckBottom);
    EXPECT_EQ(e.Version().rfind(L"december 06, 2006", 0), 0u);
}
