// Undo history: record sizes, budget, undo and redo of each kind, restored state.
#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

TEST(HexUndo, RecordSizes) {
    TCustomHexEditor e;
    Load(e, Counting(8));
    Type(e, L"1");  // one hex digit, overwrite mode, no selection, no description
    ASSERT_EQ(e.UndoStorage().StepCount(), 1);
    EXPECT_EQ(e.UndoStorage().Newest()->RecordSize(), 34u);
    EXPECT_EQ(e.UndoDescription(), L"Change byte(s)");

    e.SetSelStart(2);
    e.SetSelEnd(3);
    e.InternalChangeByte(e.ReadByte(4), 0xEE, 4, L"Hello");  // description and selection
    EXPECT_EQ(e.UndoStorage().Newest()->RecordSize(), 34u + 9u + 12u);
    EXPECT_EQ(e.UndoStorage().Size(), 34 + 55);
    EXPECT_EQ(e.UndoDescription(), L"Hello");

    // Kinds: removed bytes are saved, inserts and appends save one placeholder byte.
    e.SetSelEnd(-1);
    e.InsertBuffer("abc", 3, 0, L"", false);
    EXPECT_EQ(e.UndoStorage().Newest()->RecordSize(), 33u + 1u);
    e.ResetSelection(false);
    e.SetSelStart(0);
    e.SetSelEnd(4);
    e.DeleteSelection(L"");
    EXPECT_EQ(e.UndoStorage().Newest()->RecordSize(), 33u + 5u + 12u);
    e.AddMultipleUndo(2, L"Two");
    EXPECT_EQ(e.UndoStorage().Newest()->RecordSize(), 33u + 4u + 3u + 4u);
    EXPECT_EQ(e.UndoDescription(), L"Two");
}

TEST(HexUndo, BudgetDropsOldestSteps) {
    TCustomHexEditor e;
    Load(e, Counting(100));
    e.SetMaxUndo(100);
    for (int i = 0; i < 6; ++i) {
        // A replace of 7 bytes without selection or description: 33 + 7 = 40 bytes.
        e.InternalReplace("ABCDEFG", 10 * i, 7, 7, L"", true);
        EXPECT_EQ(e.UndoStorage().Newest()->RecordSize(), 40u);
        EXPECT_LE(e.UndoStorage().StepCount(), 3);
    }
    EXPECT_EQ(e.UndoStorage().StepCount(), 3);
    EXPECT_EQ(e.UndoStorage().Size(), 120);
    // Undoing all that is left restores the three newest replaces only.
    while (e.CanUndo()) e.Undo();
    EXPECT_EQ(e.GetDataAsString().substr(0, 30), Counting(100).substr(0, 30).replace(0, 7, "ABCDEFG").replace(10, 7, "ABCDEFG").replace(20, 7, "ABCDEFG"));
    EXPECT_EQ(e.GetDataAsString().substr(30), Counting(100).substr(30));

    // Many small steps at a 1 MB budget keep a constant history size.
    TCustomHexEditor big;
    Load(big, std::string(4096, '\0'));
    for (int i = 0; i < 40000; ++i) big.InternalChangeByte(big.ReadByte(i % 4096), static_cast<uint8_t>(i + i / 4096 + 1), i % 4096, L"");
    EXPECT_LE(big.UndoStorage().Size(), 1048576 + 34);
    EXPECT_GT(big.UndoStorage().Size(), 1048576 - 34);
}

TEST(HexUndo, UndoRestoresDataMarksSelectionAndBookmarks) {
    TCustomHexEditor e;
    Load(e, Counting(10));
    // Two bytes overwritten at once, of which only the second was marked before.
    e.SetChanged(1, true);
    e.InternalChangeWord(0x0100, 0x4241, 0, L"");
    EXPECT_TRUE(e.HasChanged(0));
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), Counting(10));
    EXPECT_FALSE(e.HasChanged(0));
    EXPECT_TRUE(e.HasChanged(1));
    EXPECT_FALSE(e.Modified());

    // A removal: bytes back, selection back, bookmarks after it forward again.
    e.SetBookmark(1, 8, false);
    e.SetBookmark(2, 1, true);
    e.SetSelStart(2);
    e.SetSelEnd(4);
    e.DeleteSelection(L"");
    EXPECT_EQ(e.GetBookmark(1).Pos, 5);
    EXPECT_EQ(e.GetDataSize(), 7);
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), Counting(10));
    EXPECT_EQ(e.SelectionAnchor(), 2);
    EXPECT_EQ(e.SelectionFirst(), 2);
    EXPECT_EQ(e.SelectionLast(), 4);
    EXPECT_EQ(e.GetBookmark(1).Pos, 8);
    EXPECT_EQ(e.GetBookmark(2).Pos, 1);
    EXPECT_EQ(e.CaretPos(), 2);

    // Insert, replace and append, undone newest first.
    e.ResetSelection(false);
    e.InsertBuffer("xy", 2, 5, L"", true);
    e.SetSelStart(0);
    e.SetSelEnd(2);
    e.ReplaceSelection("Q", 1, L"", true);
    e.AppendBuffer("zz", 2, L"", true);
    EXPECT_EQ(e.GetDataSize(), 12);
    e.Undo();
    EXPECT_EQ(e.GetDataSize(), 10);
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), Bytes({0, 1, 2, 3, 4, 'x', 'y', 5, 6, 7, 8, 9}));
    EXPECT_EQ(e.GetSelCount(), 3);
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), Counting(10));
    EXPECT_FALSE(e.CanUndo());
}

TEST(HexUndo, CaretFieldAndDigitAreRestored) {
    TCustomHexEditor e;
    Load(e, Counting(40));
    e.SetSelStart(20);
    Key(e, VK_RIGHT);  // second digit of byte 20
    Type(e, L"A");
    EXPECT_EQ(e.CaretPos(), 21);
    e.Undo();
    EXPECT_EQ(e.CaretPos(), 20);
    EXPECT_EQ(e.Col(), 2 + 2 * 4 + 1);
    e.SetInCharField(true);
    Type(e, L"Z");
    e.SetInCharField(false);
    e.Undo();
    EXPECT_TRUE(e.GetInCharField());
}

TEST(HexUndo, RedoReachesOneStepBack) {
    TCustomHexEditor e;
    Load(e, Counting(10));
    e.InternalChangeByte(0, 0xFF, 0, L"");
    e.InsertBuffer("ab", 2, 4, L"", false);
    e.Undo();
    EXPECT_TRUE(e.CanRedo());
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), Counting(10));
    EXPECT_TRUE(e.Redo());  // only the second undo can be redone
    EXPECT_EQ(e.GetDataAsString().substr(0, 1), Bytes({0xFF}));
    EXPECT_EQ(e.GetDataSize(), 10);
    EXPECT_TRUE(e.HasChanged(0));
    EXPECT_FALSE(e.Redo());
    EXPECT_EQ(e.UndoStorage().StepCount(), 1);

    EXPECT_TRUE(e.CanUndo());
    e.Undo();
    EXPECT_TRUE(e.CanRedo());
    e.InsertBuffer("q", 1, 0, L"", false);  // a new edit ends the chance to redo
    EXPECT_FALSE(e.CanRedo());

    // Redo of an insert restores the bookmark table taken at undo time.
    Load(e, Counting(10));
    e.SetBookmark(0, 9, false);
    e.InsertBuffer("ab", 2, 4, L"", false);
    EXPECT_EQ(e.GetBookmark(0).Pos, 11);
    e.Undo();
    EXPECT_EQ(e.GetBookmark(0).Pos, 9);
    EXPECT_TRUE(e.Redo());
    EXPECT_EQ(e.GetDataAsString(), Bytes({0, 1, 2, 3, 'a', 'b', 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(e.GetBookmark(0).Pos, 11);
    EXPECT_EQ(e.UndoStorage().StepCount(), 1);
    EXPECT_EQ(e.UndoDescription(), L"Insert buffer");
}

TEST(HexUndo, UpdateLevelAndReadOnlyView) {
    TCustomHexEditor e;
    Load(e, Counting(4));
    Type(e, L"77");
    EXPECT_EQ(e.UndoBeginUpdate(), 1);
    Type(e, L"88");  // not recorded
    EXPECT_EQ(e.UndoStorage().StepCount(), 2);
    EXPECT_FALSE(e.CanUndo());
    e.Undo();  // empties the history and the level; nothing reversed
    EXPECT_EQ(e.UndoStorage().StepCount(), 0);
    EXPECT_EQ(e.UndoStorage().UpdateLevel(), 0);
    EXPECT_EQ(e.GetDataAsString(), Bytes({0x77, 0x88, 2, 3}));
    EXPECT_EQ(e.UndoEndUpdate(), 0);

    Type(e, L"9");
    e.SetReadOnlyView(true);
    EXPECT_FALSE(e.CanUndo());
    e.SetReadOnlyView(false);
    EXPECT_TRUE(e.CanUndo());
}

TEST(HexUndo, CombinedStepUndoesBothHalves) {
    TCustomHexEditor e;
    Load(e, Counting(10));
    // A move of bytes 1..2 to position 7, as a drag inside the control does it.
    e.InsertBuffer("\x01\x02", 2, 7, L"", false);
    e.SetSelStart(1);
    e.SetSelEnd(2);
    e.DeleteSelection(L"");
    e.AddMultipleUndo(2, L"Move");
    EXPECT_EQ(e.GetDataAsString(), Bytes({0, 3, 4, 5, 6, 1, 2, 7, 8, 9}));
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), Counting(10));
    EXPECT_FALSE(e.CanRedo());
    EXPECT_FALSE(e.CanUndo());
}

TEST(HexUndo, CombinedStepWithDroppedPartsClearsHistory) {
    TCustomHexEditor e;
    Load(e, std::string(1000, 'a'));
    Type(e, L"1");                                          // 34 bytes
    const std::string block(200, 'b');
    e.InsertBuffer(block.data(), 200, 800, L"", false);     // 34 bytes (+12 with the selection)
    e.SetSelStart(0);
    e.SetSelEnd(199);
    e.DeleteSelection(L"");                                 // 33 + 200 + 12
    // A budget that holds the removal but not the insertion beneath it.
    const long long removal = e.UndoStorage().Newest()->RecordSize();
    e.SetMaxUndo(static_cast<int>(removal + 5));
    e.AddMultipleUndo(2, L"Move");
    const std::string moved = e.GetDataAsString();
    EXPECT_LT(e.UndoStorage().StepCount(), 3);
    e.Undo();
    // Nothing is half-reversed: the moved bytes are neither duplicated nor lost.
    EXPECT_EQ(e.GetDataAsString(), moved);
    EXPECT_EQ(e.GetDataSize(), 1000);
    EXPECT_FALSE(e.CanUndo());

    // A move larger than the whole budget, removal first: the budget drops the removal
    // when the insertion is recorded. Undoing only the insertion would delete the moved
    // bytes with nothing put back.
    Load(e, std::string(800, 'a') + block);
    e.SetMaxUndo(100);
    e.SetSelStart(800);
    e.SetSelEnd(999);
    e.DeleteSelection(L"");
    e.InsertBuffer(block.data(), 200, 0, L"", false);
    e.AddMultipleUndo(2, L"Move");
    e.Undo();
    EXPECT_EQ(e.GetDataAsString(), block + std::string(800, 'a'));
    EXPECT_FALSE(e.CanUndo());
}

TEST(HexUndo, StepIsAppliedOnceEvenWhenModesChanged) {
    TCustomHexEditor e;
    Load(e, Counting(4));
    e.SetUnicodeChars(true);
    // A replace that leaves odd-sized data, recorded in Unicode mode ...
    e.InternalReplace("abc", 0, 2, 3, L"", true);
    ASSERT_EQ(e.GetDataSize(), 5);
    // ... and a second Unicode-mode step over the odd-sized data.
    e.InternalChangeByte(e.ReadByte(4), 0x55, 4, L"");
    EXPECT_NO_THROW(e.Undo());
    EXPECT_EQ(e.GetDataAsString(), Bytes({'a', 'b', 'c', 2, 3}));
    EXPECT_EQ(e.UndoStorage().StepCount(), 1);
    EXPECT_NO_THROW(e.Undo());
    EXPECT_EQ(e.GetDataAsString(), Counting(4));
    EXPECT_TRUE(e.UnicodeChars());
    EXPECT_FALSE(e.CanUndo());

    // State recorded outside Unicode mode comes back without the setters' checks.
    Load(e, Counting(4));
    e.SetUnicodeChars(false);
    e.SetTranslation(tkMac);
    e.AppendBuffer("x", 1, L"", false);
    e.SetTranslation(tkAsIs);
    e.Undo();
    EXPECT_EQ(e.Translation(), tkMac);
    EXPECT_EQ(e.GetDataSize(), 4);
}
