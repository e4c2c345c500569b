// Grid geometry: cell/position mapping, row counts and column widths.
#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

TEST(HexLayout, MappingRoundTrips) {
    for (int b : {1, 2, 3, 8, 16, 32, 256}) {
        for (bool unicode : {false, true}) {
            if (unicode && b % 2) continue;
            SCOPED_TRACE(testing::Message() << "bytes per row " << b << " unicode " << unicode);
            THexLayout l;
            l.BytesPerRow = b;
            l.Unicode = unicode;
            for (int pos = 0; pos < 3 * b; ++pos) {
                int col, row;
                bool inChar = true;
                l.GetCursorAtPos(pos, false, col, row);
                ASSERT_EQ(l.GetPosAtCursor(col, row, inChar), pos);
                ASSERT_FALSE(inChar);
                ASSERT_EQ(l.GetPosAtCursor(col + 1, row, inChar), pos);  // second digit
                ASSERT_EQ(l.GetRowOfPos(pos), row);
                int charCol, charRow;
                l.GetCursorAtPos(pos, true, charCol, charRow);
                ASSERT_EQ(l.GetPosAtCursor(charCol, charRow, inChar), unicode ? pos & ~1 : pos);
                ASSERT_TRUE(inChar);
                ASSERT_LT(charCol, l.ColCount());
                // The other field's column shows the same byte (unit in Unicode mode).
                ASSERT_EQ(l.GetOtherFieldCol(col), charCol);
                int unitCol, r;
                l.GetCursorAtPos(unicode ? pos & ~1 : pos, false, unitCol, r);
                ASSERT_EQ(l.GetOtherFieldCol(charCol), unitCol);
            }
        }
    }
    THexLayout l;
    int col, row;
    l.GetCursorAtPos(-1, true, col, row);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 2);
    bool inChar;
    EXPECT_EQ(l.GetPosAtCursor(2, 0, inChar), 0);  // negative results give 0
}

TEST(HexLayout, RowAndColumnCounts) {
    struct Case {
        int size, bytesPerRow;
        bool insert;
        int rows;
    } cases[] = {{0, 16, false, 3}, {0, 16, true, 3},  {1, 16, false, 3},  {16, 16, false, 3},
                 {16, 16, true, 4},  {32, 16, false, 4}, {32, 16, true, 5}, {33, 16, false, 5},
                 {33, 16, true, 5},  {5, 1, false, 7},   {5, 1, true, 8}};
    for (const Case& c : cases) {
        THexLayout l;
        l.BytesPerRow = c.bytesPerRow;
        EXPECT_EQ(l.RowCountFor(c.size, c.insert), c.rows) << c.size << " " << c.bytesPerRow << " " << c.insert;
    }
    THexLayout l;
    EXPECT_EQ(l.ColCount(), 3 * 16 + 3);
    l.Unicode = true;
    EXPECT_EQ(l.ColCount(), 2 * 16 + 8 + 3);
}

TEST(HexLayout, ColumnWidths) {
    THexLayout l;  // 16 bytes per row, 2 bytes per column
    l.CharWidth = 8;
    const std::vector<int> w = l.ColumnWidths(50);
    ASSERT_EQ(static_cast<int>(w.size()), l.ColCount());
    EXPECT_EQ(w[0], 50);
    EXPECT_EQ(w[1], 6);
    // A gap after every second byte: the second digit of bytes 1, 3, 5... is wider.
    for (int col = 2; col < 33; ++col) EXPECT_EQ(w[col], col % 4 == 1 ? 16 : 8) << col;
    EXPECT_EQ(w[33], 16);  // double-width last hex column
    EXPECT_EQ(w[34], 8);   // separator
    EXPECT_EQ(w[35], 9);   // characters: cw + 1
    EXPECT_EQ(w.back(), 17);  // last column 2cw + 1

    l.RulerUnit = 4;  // wider character after each unit
    l.BytesPerBlock = 8;
    EXPECT_EQ(l.DataColumnWidth(l.FirstCharCol() + 3), 3 * 8 / 2 + 1);
    EXPECT_EQ(l.DataColumnWidth(l.FirstCharCol() + 7), 3 * 8 / 2 + 1 + 8);  // block gap too
    EXPECT_EQ(l.DataColumnWidth(17), 8 + 8 + 8);  // column gap and block gap
    l.SeparateBlocksInCharField = false;
    EXPECT_EQ(l.DataColumnWidth(l.FirstCharCol() + 7), 3 * 8 / 2 + 1);

    THexLayout u;
    u.CharWidth = 8;
    const int widthFor4 = u.RowWidthFor(4);
    EXPECT_EQ(widthFor4, (8 + 8 + 8 + 16 + 8 + 8 + 8 + 16) + 8 + 4 * 9);
}

TEST(HexLayout, EditorGeometryAndAutoFit) {
    TCustomHexEditor e;
    e.SetCharMetrics(8, 16);
    Load(e, std::string(32, 'x'));
    EXPECT_EQ(e.RowCount(), 4);
    e.SetInsertMode(true);
    EXPECT_EQ(e.RowCount(), 5);
    e.SetInsertMode(false);
    EXPECT_EQ(e.RowHeightOf(0), 0);
    e.SetShowRuler(true);
    EXPECT_EQ(e.RowHeightOf(0), 19);
    EXPECT_EQ(e.RowHeightOf(1), 0);

    // The fit takes the largest even row length whose row fits beside the offset columns.
    e.SetClientWidth(1000);
    e.SetAutoBytesPerRow(true);
    const int fit = e.BytesPerRow();
    const int available = 1000 - e.ColWidth(0) - e.ColWidth(1) - 8;
    EXPECT_EQ(fit % 2, 0);
    EXPECT_LE(e.Layout().RowWidthFor(fit), available);
    EXPECT_GT(e.Layout().RowWidthFor(fit + 2), available);
    e.SetBytesPerRow(4);  // ignored while the fit is on
    EXPECT_EQ(e.BytesPerRow(), fit);
    e.SetClientWidth(10);
    EXPECT_EQ(e.BytesPerRow(), 2);
}
