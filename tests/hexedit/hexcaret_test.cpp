// Caret moves, selection rules, keys and bookmarks.
#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

namespace {
class HexCaret : public testing::Test {
protected:
    void SetUp() override {
        e.SetCharMetrics(8, 16);
        e.SetVisibleRowCount(4);
        Load(e, Counting(100));
    }
    TCustomHexEditor e;
};
}  // namespace

TEST_F(HexCaret, SelectionEnds) {
    e.SetSelStart(10);
    e.SetSelEnd(5);
    EXPECT_EQ(e.GetSelStart(), 10);
    EXPECT_EQ(e.GetSelEnd(), 5);
    EXPECT_EQ(e.GetSelCount(), 6);
    EXPECT_TRUE(e.IsSelected(5));
    EXPECT_FALSE(e.IsSelected(11));
    e.SetSelEnd(-1);  // drops the selection
    EXPECT_EQ(e.GetSelCount(), 0);
    EXPECT_EQ(e.GetSelStart(), 10);
    EXPECT_EQ(e.GetSelEnd(), 10);

    e.SetBytesPerUnit(4);
    e.SetSelStart(5);
    e.SetSelEnd(6);
    EXPECT_EQ(e.SelectionFirst(), 4);
    EXPECT_EQ(e.SelectionLast(), 7);
    e.SetBytesPerUnit(2);  // a length of 4 is a multiple of 2: kept
    EXPECT_EQ(e.GetSelCount(), 4);
    e.SetSelStart(1);
    e.SetSelEnd(1);
    e.SetBytesPerUnit(4);  // 2 bytes are no whole unit of 4: dropped
    EXPECT_EQ(e.GetSelCount(), 0);

    e.SelectAll();
    EXPECT_EQ(e.GetSelCount(), 100);
    EXPECT_EQ(e.CaretPos(), 99);
    EXPECT_EQ(e.GetSelectionAsHex().substr(0, 6), "000102");
}

TEST_F(HexCaret, SeekAndEmptyData) {
    EXPECT_EQ(e.Seek(0, 2), 99);
    EXPECT_EQ(e.CaretPos(), 99);
    EXPECT_EQ(e.Seek(-10, 1), 89);
    EXPECT_EQ(e.Seek(500, 0), 99);
    EXPECT_EQ(e.Seek(-5, 0), 0);
    EXPECT_GE(e.TopRow(), 2);

    Load(e, "");
    EXPECT_EQ(e.Seek(0, 2), -1);
    EXPECT_EQ(e.RowCount(), 3);
    EXPECT_FALSE(e.MoveCaret(3, 2));
    EXPECT_TRUE(e.MoveCaret(e.Layout().FirstCharCol(), 2));
    EXPECT_FALSE(e.GetInCharField());  // False without data
    EXPECT_TRUE(e.MoveCaret(2, 2));
}

TEST_F(HexCaret, InsertModeSelectsBetweenCaretPlaces) {
    e.SetInsertMode(true);
    Key(e, VK_SHIFT, hsShift);
    Key(e, VK_RIGHT, hsShift);
    EXPECT_EQ(e.SelectionFirst(), 0);
    EXPECT_EQ(e.SelectionLast(), 0);
    Key(e, VK_LEFT, hsShift);
    EXPECT_FALSE(e.HasSelection());
    EXPECT_EQ(e.CaretPos(), 0);
    Key(e, VK_RIGHT, hsShift);
    Key(e, VK_RIGHT, hsShift);
    EXPECT_EQ(e.GetSelCount(), 2);
    Key(e, VK_RIGHT);  // a plain move ends the selection
    EXPECT_FALSE(e.HasSelection());
}

TEST_F(HexCaret, OverwriteModeSelectsWholeUnits) {
    e.SetBytesPerUnit(2);
    e.SetSelStart(4);
    Key(e, VK_SHIFT, hsShift);
    Key(e, VK_RIGHT, hsShift);
    EXPECT_EQ(e.SelectionFirst(), 4);
    EXPECT_EQ(e.SelectionLast(), 7);
    EXPECT_EQ(e.CaretPos(), 6);
    Key(e, VK_DOWN, hsShift);
    EXPECT_EQ(e.SelectionLast(), 23);
    Key(e, VK_UP);  // no modifier in overwrite mode: selection dropped
    EXPECT_FALSE(e.HasSelection());
}

TEST_F(HexCaret, NavigationKeys) {
    struct Step {
        WORD key;
        THexShiftState shift;
        int col, row;
    } steps[] = {
        {VK_RIGHT, 0, 3, 2},                 // second digit
        {VK_RIGHT, 0, 4, 2},                 // next byte
        {VK_LEFT, 0, 3, 2},                  // previous byte's second digit
        {VK_TAB, 0, 35, 2},                  // character field, same byte
        {VK_RIGHT, 0, 36, 2},
        {'T', hsCtrl, 4, 2},                 // back to the hex field
        {VK_END, 0, 33, 2},                  // second digit of the row's last byte
        {VK_HOME, 0, 2, 2},
        {VK_DOWN, 0, 2, 3},
        {VK_NEXT, 0, 2, 6},                  // a page of 4 visible rows
        {VK_END, hsCtrl, 2 + 2 * 3, 8},      // last byte 99 = row 8, byte 3
        {VK_DOWN, 0, 8, 8},                  // not below the last row
        {VK_HOME, hsCtrl, 2, 2},
        {VK_UP, 0, 2, 2},
        {VK_RIGHT, hsCtrl, 50, 2},           // last column of the grid
        {VK_LEFT, hsCtrl, 2, 2},
        {VK_PRIOR, 0, 2, 2},
    };
    for (const Step& s : steps) {
        Key(e, s.key, s.shift);
        EXPECT_EQ(e.Col(), s.col) << "key " << s.key;
        EXPECT_EQ(e.Row(), s.row) << "key " << s.key;
    }
    e.SetSelStart(99);
    Key(e, VK_RIGHT);
    Key(e, VK_RIGHT);
    EXPECT_EQ(e.CaretPos(), 99);  // no append position in overwrite mode
    e.SetInsertMode(true);
    Key(e, VK_RIGHT);
    EXPECT_EQ(e.CaretPos(), 100);
    EXPECT_EQ(e.Col(), 2 + 2 * 4);  // only the first digit of the append position
    Key(e, VK_RIGHT);
    EXPECT_EQ(e.CaretPos(), 100);
    e.SetInsertMode(false);  // the caret leaves the append position for the last byte
    EXPECT_EQ(e.CaretPos(), 99);

    Load(e, Counting(32));
    e.SetInsertMode(true);
    Key(e, VK_END, hsCtrl);
    EXPECT_EQ(e.Row(), 4);  // the append position opens a new row
    e.SetInsertMode(false);
    EXPECT_EQ(e.CaretPos(), 31);
    EXPECT_EQ(e.RowCount(), 4);
}

TEST_F(HexCaret, Bookmarks) {
    int changes = 0;
    e.OnBookmarkChanged = [&](TCustomHexEditor*) { ++changes; };
    e.SetSelStart(20);
    Key(e, '3', hsCtrl | hsShift);
    EXPECT_EQ(e.GetBookmark(3).Pos, 20);
    Key(e, '3', hsCtrl | hsShift);  // the same byte and field again: unset
    EXPECT_EQ(e.GetBookmark(3).Pos, -1);
    e.SetBookmark(5, 42, true);
    e.SetBookmark(5, 42, false);  // other field: moved, not toggled
    EXPECT_EQ(e.GetBookmark(5).Pos, 42);
    EXPECT_EQ(changes, 4);
    e.SetSelStart(0);
    Key(e, '5', hsCtrl);
    EXPECT_EQ(e.CaretPos(), 42);
    EXPECT_FALSE(e.GotoBookmark(1));
    e.SetBookmark(7, 150, false);  // beyond the data: unset when used
    EXPECT_FALSE(e.GotoBookmark(7));
    EXPECT_EQ(e.GetBookmark(7).Pos, -1);

    e.ShiftBookmarks(40, 5);
    EXPECT_EQ(e.GetBookmark(5).Pos, 47);
    e.ShiftBookmarks(0, -50);
    EXPECT_EQ(e.GetBookmark(5).Pos, -1);  // before the data afterwards
}

TEST_F(HexCaret, SelectionReportsComeOncePerBurst) {
    TRecordingView view;
    e.SetView(&view);
    int events = 0;
    e.SetSelStart(3);
    e.SetSelEnd(9);
    e.SelectAll();
    EXPECT_EQ(view.Posts, 1);
    e.DeliverSelectionChanged();  // no handler yet: the burst is still consumed
    e.OnSelectionChanged = [&](TCustomHexEditor*) { ++events; };
    e.SetSelStart(5);
    EXPECT_EQ(view.Posts, 2);
    e.DeliverSelectionChanged();
    e.DeliverSelectionChanged();
    EXPECT_EQ(events, 1);
}

TEST_F(HexCaret, DropMarker) {
    e.SetSelStart(10);
    e.SetSelEnd(20);
    EXPECT_EQ(e.GetDropPosition(), -1);
    int col, row;
    e.GetCursorAtPos(15, false, col, row);
    EXPECT_EQ(e.CalcDropPosition(col, row), 10);  // inside the selection: its start
    EXPECT_EQ(e.GetDropPosition(), 10);
    e.GetCursorAtPos(99, true, col, row);
    EXPECT_EQ(e.CalcDropPosition(col + 5, row), 100);  // limited to the append position
    e.HideDropMarker();
    EXPECT_EQ(e.GetDropPosition(), -1);
}
