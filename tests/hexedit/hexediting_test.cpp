// Typing, deleting, block edits, nibbles and change marks.
#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

namespace {
struct TypingCase {
    const char* name;
    std::string data;
    bool insert;
    int bytesPerUnit;
    int caretPos;
    bool charField;
    bool secondDigit;
    std::wstring typed;
    std::string expected;
    int caretAfter;
};
}  // namespace

TEST(HexEditing, TypingCases) {
    const TypingCase cases[] = {
        {"overwrite second digit", Bytes({0x3A, 0x00}), false, 1, 0, false, true, L"f", Bytes({0x3F, 0x00}), 1},
        {"overwrite first digit", Bytes({0x3A, 0x00}), false, 1, 0, false, false, L"C", Bytes({0xCA, 0x00}), 0},
        {"overwrite two digits", Bytes({0x3A, 0x00}), false, 1, 0, false, false, L"12", Bytes({0x12, 0x00}), 1},
        {"insert unit of 2", Counting(8), true, 2, 4, false, false, L"7",
         Bytes({0, 1, 2, 3, 0x70, 0, 4, 5, 6, 7}), 4},
        {"insert into empty", "", true, 1, 0, false, false, L"5", Bytes({0x50}), 0},
        {"overwrite into empty", "", false, 1, 0, false, false, L"5", "", 0},
        {"invalid hex digit", Bytes({0x11}), false, 1, 0, false, false, L"g", Bytes({0x11}), 0},
        {"control code", Bytes({0x11}), false, 1, 0, false, false, L"\t", Bytes({0x11}), 0},
        {"overwrite character", Bytes({0x11, 0x22}), false, 1, 0, true, false, L"AB", "AB", 1},
        {"insert character", Bytes({0x11, 0x22}), true, 1, 1, true, false, L"x", Bytes({0x11, 'x', 0x22}), 2},
        {"append character", Bytes({0x11}), true, 1, 1, true, false, L"yz", Bytes({0x11, 'y', 'z'}), 3},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.name);
        TCustomHexEditor e;
        Load(e, c.data);
        e.SetInsertMode(c.insert);
        e.SetBytesPerUnit(c.bytesPerUnit);
        int col, row;
        e.GetCursorAtPos(c.caretPos, c.charField, col, row);
        if (c.secondDigit) ++col;
        ASSERT_TRUE(e.MoveCaret(col, row));
        Type(e, c.typed);
        EXPECT_EQ(e.GetDataAsString(), c.expected);
        EXPECT_EQ(e.CaretPos(), c.caretAfter);
    }
}

TEST(HexEditing, InvalidKeysAndReadOnlyView) {
    TCustomHexEditor e;
    Load(e, Bytes({0x41, 0x42}));
    int invalid = 0;
    e.OnInvalidKey = [&](TCustomHexEditor*) { ++invalid; };
    Type(e, L"z");
    e.SetInCharField(true);
    e.SetTranslation(tkASCII);
    Type(e, L"\x00E9");  // not 7-bit
    EXPECT_EQ(invalid, 2);
    e.SetReadOnlyView(true);
    Type(e, L"Q");
    WORD key = VK_DELETE;
    e.KeyDown(key, hsCtrl);
    EXPECT_EQ(e.GetDataAsString(), "AB");
    EXPECT_FALSE(e.Modified());
}

TEST(HexEditing, UnicodeTypingTakesEveryCharacterFromSpaceUp) {
    TCustomHexEditor e;
    Load(e, std::string(8, '\0'));
    e.SetUnicodeChars(true);
    e.SetInCharField(true);
    // 名 is U+540D: its low byte 0x0D is below 0x20, yet it is a character like any other.
    Type(e, L"名値一");
    EXPECT_EQ(e.GetDataAsString(), Utf16(L"名値一") + std::string(2, '\0'));
    EXPECT_EQ(e.CaretPos(), 6);
    EXPECT_TRUE(e.HasChanged(1));

    e.SetUnicodeBigEndian(true);
    e.SetSelStart(0);
    Type(e, L"中");
    EXPECT_EQ(e.GetDataAsString().substr(0, 2), Bytes({0x4E, 0x2D}));
}

TEST(HexEditing, DeletingWithKeys) {
    TCustomHexEditor e;
    Load(e, Counting(5));
    Key(e, VK_DELETE);  // overwrite mode without Ctrl: nothing
    EXPECT_EQ(e.GetDataSize(), 5);
    Key(e, VK_DELETE, hsCtrl);
    EXPECT_EQ(e.GetDataAsString(), Bytes({1, 2, 3, 4}));

    Load(e, Counting(5));
    e.SetInsertMode(true);
    e.SetBytesPerUnit(2);
    Key(e, VK_END, hsCtrl);  // the append position
    EXPECT_EQ(e.CaretPos(), 5);
    Key(e, VK_BACK);  // only the last byte of the incomplete unit
    EXPECT_EQ(e.GetDataAsString(), Counting(4));
    EXPECT_EQ(e.CaretPos(), 4);
    Key(e, VK_BACK);
    EXPECT_EQ(e.GetDataAsString(), Counting(2));
    e.SetSelStart(0);
    Key(e, VK_BACK);  // nothing before position 0
    EXPECT_EQ(e.GetDataSize(), 2);
    Key(e, VK_DELETE);
    EXPECT_EQ(e.GetDataSize(), 0);

    Load(e, Counting(10));
    e.SetSelStart(2);
    e.SetSelEnd(5);
    Key(e, VK_BACK);
    EXPECT_EQ(e.GetDataAsString(), Bytes({0, 1, 6, 7, 8, 9}));
    EXPECT_EQ(e.CaretPos(), 2);
}

TEST(HexEditing, BlockEdits) {
    TCustomHexEditor e;
    Load(e, Counting(10));
    int changes = 0;
    e.OnChange = [&](TCustomHexEditor*) { ++changes; };
    e.InsertBuffer("ab", 2, 3, L"", true);
    EXPECT_EQ(e.GetDataAsString(), Bytes({0, 1, 2, 'a', 'b', 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(e.SelectionFirst(), 3);
    EXPECT_EQ(e.SelectionLast(), 4);
    EXPECT_EQ(e.CaretPos(), 4);
    e.AppendBuffer("xyz", 3, L"", true);
    EXPECT_EQ(e.GetDataSize(), 15);
    EXPECT_EQ(e.CaretPos(), 12);
    EXPECT_EQ(e.SelectionFirst(), 12);
    e.AppendBuffer(nullptr, 3, L"", true);
    EXPECT_EQ(e.GetDataSize(), 15);

    e.SetSelStart(0);
    e.SetSelEnd(2);
    e.ReplaceSelection("Q", 1, L"", true);
    EXPECT_EQ(e.GetDataAsString().substr(0, 4), Bytes({'Q', 'a', 'b', 3}));
    EXPECT_EQ(e.GetDataSize(), 13);

    EXPECT_EQ(e.InternalReplace("1234", 11, 4, 4, L"", true), 2);  // both cut to the data's end
    EXPECT_EQ(e.GetDataAsString().substr(11), "12");
    EXPECT_EQ(e.InternalReplace("LONG", 0, 1, 4, L"", false), 4);
    EXPECT_EQ(e.GetDataAsString().substr(0, 5), "LONGa");
    EXPECT_GT(changes, 5);
    EXPECT_TRUE(e.Modified());
}

TEST(HexEditing, NoSizeChange) {
    TCustomHexEditor e;
    Load(e, Counting(10));
    e.SetInsertMode(true);
    e.SetNoSizeChange(true);
    EXPECT_FALSE(e.InsertMode());
    e.SetInsertMode(true);
    EXPECT_FALSE(e.InsertMode());

    e.SetSelStart(2);
    e.SetSelEnd(6);
    e.ReplaceSelection("abc", 3, L"", false);
    EXPECT_EQ(e.GetDataAsString(), Bytes({0, 1, 'a', 'b', 'c', 5, 6, 7, 8, 9}));
    e.SetSelStart(0);
    e.SetSelEnd(1);
    e.ReplaceSelection("WXYZ", 4, L"", false);  // cut to the selection
    EXPECT_EQ(e.GetDataAsString().substr(0, 3), "WXa");
    EXPECT_EQ(HEX_MESSAGE(e.InsertBuffer("a", 1, 0, L"", false)), "Cannot update undo storage");
    EXPECT_EQ(HEX_MESSAGE(e.DeleteSelection(L"")), "Cannot update undo storage");
    EXPECT_EQ(e.GetDataSize(), 10);
    EXPECT_EQ(e.InternalReplace("12345", 8, 2, 5, L"", true), 2);
    EXPECT_EQ(e.GetDataSize(), 10);
}

TEST(HexEditing, NibblesInMemory) {
    TCustomHexEditor e;
    Load(e, Bytes({0x12, 0x34}));
    EXPECT_TRUE(e.InternalInsertNibble(0, true));
    EXPECT_EQ(e.GetDataAsString(), Bytes({0x01, 0x23, 0x40}));
    Load(e, Bytes({0x12, 0x34}));
    EXPECT_TRUE(e.InternalInsertNibble(0, false));
    EXPECT_EQ(e.GetDataAsString(), Bytes({0x10, 0x23, 0x40}));
    Load(e, Bytes({0x12, 0x34, 0x56}));
    EXPECT_TRUE(e.InternalDeleteNibble(0, true));
    EXPECT_EQ(e.GetDataAsString(), Bytes({0x23, 0x45, 0x60}));
    Load(e, Bytes({0x12, 0x34, 0x56}));
    EXPECT_TRUE(e.InternalDeleteNibble(1, false));
    EXPECT_EQ(e.GetDataAsString(), Bytes({0x12, 0x35, 0x60}));
    // Insert then delete at the same place is the identity (apart from the grown byte).
    const std::string data = Counting(1000);
    Load(e, data);
    e.InternalInsertNibble(333, true);
    e.InternalDeleteNibble(333, true);
    EXPECT_EQ(e.GetDataAsString().substr(0, 1000), data);
    Load(e, "");
    EXPECT_FALSE(e.InternalInsertNibble(0, true));
}

TEST(HexEditing, ChangeMarks) {
    TCustomHexEditor e;
    Load(e, Counting(6));
    Type(e, L"FF");
    EXPECT_TRUE(e.HasChanged(0));
    EXPECT_FALSE(e.HasChanged(1));
    Type(e, L"EE");
    EXPECT_TRUE(e.HasChanged(1));
    e.InsertBuffer("x", 1, 1, L"", false);  // marks are cut at an insert
    EXPECT_TRUE(e.HasChanged(0));
    EXPECT_FALSE(e.HasChanged(2));
    e.SetInsertMode(true);  // cleared by the mode change, ignored in insert mode
    EXPECT_FALSE(e.HasChanged(0));
    e.SetInsertMode(false);
    EXPECT_FALSE(e.HasChanged(0));
}
