// Mouse rules on client coordinates: cells under points, selecting by dragging, clicks on
// the selection, insert-mode half cells.
#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

namespace {
class HexMouse : public testing::Test {
protected:
    void SetUp() override {
        e.SetCharMetrics(8, 16);
        e.SetVisibleRowCount(10);
        Load(e, Counting(64));
    }
    // A point inside the left part of the cell showing `pos`.
    POINT PointOf(int pos, bool charField = false, bool secondDigit = false) {
        int col, row;
        e.GetCursorAtPos(pos, charField, col, row);
        if (secondDigit) ++col;
        const RECT r = e.CellRect(col, row);
        return POINT{r.left + 1, r.top + 1};
    }
    TCustomHexEditor e;
};
}  // namespace

TEST_F(HexMouse, CellsAndRectangles) {
    const RECT first = e.CellRect(2, 2);
    EXPECT_EQ(first.left, e.ColWidth(0) + e.ColWidth(1));
    EXPECT_EQ(first.top, 0);  // no ruler
    EXPECT_EQ(first.bottom, 16);
    int col, row;
    ASSERT_TRUE(e.CellAtPoint(first.left, 17, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 3);
    ASSERT_TRUE(e.CellAtPoint(3, 3, col, row));
    EXPECT_EQ(col, 0);
    EXPECT_FALSE(e.CellAtPoint(first.left, 16 * 7, col, row));  // below the last row
    EXPECT_TRUE(e.IsFixedCellAtPoint(3, 3));
    EXPECT_FALSE(e.IsFixedCellAtPoint(first.left, 3));

    e.SetShowRuler(true);
    EXPECT_EQ(e.CellRect(2, 2).top, 19);
    e.SetVisibleRowCount(2);
    e.SetTopRow(3);
    EXPECT_EQ(e.TopRow(), 3);
    const RECT hidden = e.CellRect(2, 2);
    EXPECT_EQ(hidden.right - hidden.left, 0);  // scrolled out of view
    EXPECT_EQ(e.CellRect(2, 3).top, 19);
    e.MouseWheelPage(true);
    EXPECT_EQ(e.TopRow(), 4);  // the last page: RowCount 6 with 2 visible rows
    e.MouseWheelPage(false);
    EXPECT_EQ(e.TopRow(), 3);
}

TEST_F(HexMouse, DragSelectsAndClickOnSelectionMovesCaret) {
    POINT p = PointOf(5);
    EXPECT_TRUE(e.MouseDown(true, hsLeft, p.x, p.y, false));
    EXPECT_EQ(e.CaretPos(), 5);
    POINT q = PointOf(9, true);  // drag into the character field
    e.MouseMove(hsLeft, q.x, q.y);
    e.MouseUp(q.x, q.y);
    EXPECT_EQ(e.SelectionFirst(), 5);
    EXPECT_EQ(e.SelectionLast(), 9);

    EXPECT_TRUE(e.MouseMove(0, PointOf(7).x, PointOf(7).y));     // arrow over the selection
    EXPECT_FALSE(e.MouseMove(0, PointOf(20).x, PointOf(20).y));  // I-beam elsewhere
    EXPECT_FALSE(e.MouseMove(hsCtrl, PointOf(7).x, PointOf(7).y));

    // A press on the selection only prepares a drag; releasing without a move clicks.
    p = PointOf(7);
    EXPECT_FALSE(e.MouseDown(true, hsLeft, p.x, p.y, false));
    EXPECT_TRUE(e.PendingClick());
    EXPECT_EQ(e.GetSelCount(), 5);
    e.MouseUp(p.x, p.y);
    EXPECT_FALSE(e.HasSelection());
    EXPECT_EQ(e.CaretPos(), 7);

    // A press elsewhere drops the selection; a double click does not start selecting.
    e.SetSelStart(1);
    e.SetSelEnd(3);
    p = PointOf(30);
    EXPECT_TRUE(e.MouseDown(true, hsLeft, p.x, p.y, true));
    EXPECT_FALSE(e.HasSelection());
    EXPECT_FALSE(e.Selecting());
    e.MouseUp(p.x, p.y);
}

TEST_F(HexMouse, InsertModeRightHalfMeansNextPlace) {
    e.SetInsertMode(true);
    int col, row;
    e.GetCursorAtPos(4, true, col, row);
    RECT r = e.CellRect(col, row);
    int x = r.right - 1, y = r.top + 1;
    e.AdjustMouseCoord(x, y);
    ASSERT_TRUE(e.CellAtPoint(x, y, col, row));
    EXPECT_EQ(col, e.Layout().FirstCharCol() + 5);
    // The right half of the row's last character goes to the first character of the next row.
    r = e.CellRect(e.ColCount() - 1, 2);
    x = r.right - 1;
    y = r.top + 1;
    e.AdjustMouseCoord(x, y);
    ASSERT_TRUE(e.CellAtPoint(x, y, col, row));
    EXPECT_EQ(col, e.Layout().FirstCharCol());
    EXPECT_EQ(row, 3);
    // Clicking past the data puts the caret on the append position.
    const RECT last = e.CellRect(e.ColCount() - 1, 5);
    e.MouseDown(true, hsLeft, last.right - 1, last.top + 1, false);
    EXPECT_EQ(e.CaretPos(), 64);
}
