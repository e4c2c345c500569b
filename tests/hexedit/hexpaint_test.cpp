// Painting of the hex editor control into a memory bitmap: colours of selected, changed and
// fixed cells, the caret's mirror frame, the OnDrawCell hook and the edge lines.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/graphics.h"
#include "classlib/screen.h"
#include "hex_test_util.h"
#include "hexedit/hexcontrol.h"

using namespace hexedit;

using namespace hextest;

namespace {

// A control whose focus the test decides (a bitmap has no window to focus).
class TestHexControl : public THexEditorControl {
public:
    using THexEditorControl::THexEditorControl;
    bool Focus = false;
    void PlaceCaretForFocus() { HexUpdateCaret(); }

protected:
    bool HexFocused() override { return Focus; }
};

COLORREF Sys(int index) { return GetSysColor(index) & 0xFFFFFF; }

class HexPaint : public ::testing::Test {
protected:
    static constexpr int W = 700, H = 260;
    void SetUp() override {
        Hex = std::make_unique<TestHexControl>(nullptr);
        Load(*Hex, Counting(64));
    }
    void Paint() {
        Bitmap = std::make_unique<classlib::TBitmap>(W, H, classlib::pf32bit);
        Hex->PaintTo(Bitmap->Canvas(), W, H);
        GdiFlush();
    }
    COLORREF Px(int x, int y) {
        const auto* row = static_cast<const uint32_t*>(Bitmap->ScanLine(y));
        const uint32_t v = row[x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Pixels of colour c inside r.
    int Count(const RECT& r, COLORREF c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += Px(x, y) == c;
        return n;
    }
    RECT Cell(int col, int row) { return Hex->CellRect(col, row); }
    int CW() { return Hex->CharWidth(); }

    std::unique_ptr<TestHexControl> Hex;
    std::unique_ptr<classlib::TBitmap> Bitmap;
};

TEST_F(HexPaint, SelectionBandJoinsTheBytesAndStopsAtTheLastOne) {
    Hex->NewSelection(2, 5);
    Paint();
    const COLORREF back = Sys(COLOR_WINDOW), inverted = InvertColor(back);
    // Byte b's digits are columns 2 + 2b and 3 + 2b; the last blank pixel row of the cells.
    const int y = Cell(6, 2).bottom - 1;
    const int from = Cell(6, 2).left, to = Cell(13, 2).left + CW();
    for (int x = from; x < to; ++x) ASSERT_EQ(inverted, Px(x, y)) << "x=" << x;
    // The gap after byte 5 and the one before byte 2 keep the background.
    EXPECT_EQ(back, Px(to, y));
    EXPECT_EQ(back, Px(Cell(13, 2).right - 1, y));
    EXPECT_EQ(back, Px(from - 1, y));
    // The character field shows the same four bytes inverted.
    const int firstChar = Hex->Layout().FirstCharCol();
    EXPECT_EQ(inverted, Px(Cell(firstChar + 2, 2).left, y));
    EXPECT_EQ(inverted, Px(Cell(firstChar + 5, 2).left, y));
    EXPECT_EQ(back, Px(Cell(firstChar + 6, 2).left, y));
}

TEST_F(HexPaint, ChangedByteUsesTheChangedColoursInBothFieldsExceptInInsertMode) {
    static_cast<TCustomHexEditor&>(*Hex).KeyPress(L'F');  // overwrite mode: byte 0 becomes 0xF0 and is marked changed
    ASSERT_TRUE(Hex->HasChanged(0));
    Paint();
    const COLORREF changedBack = 0xA8FFFF, changedText = 0x000080;
    const int firstChar = Hex->Layout().FirstCharCol();
    for (int col : {2, 3, firstChar}) {
        const RECT r = Cell(col, 2);
        const RECT text{r.left, r.top, r.left + CW(), r.bottom};
        EXPECT_EQ(changedBack, Px(r.left, r.bottom - 1)) << "col " << col;
        EXPECT_GT(Count(text, changedText), 0) << "col " << col;
    }
    // An unchanged neighbour keeps its ordinary colours.
    EXPECT_EQ(Sys(COLOR_WINDOW), Px(Cell(4, 2).left, Cell(4, 2).bottom - 1));

    Hex->SetInsertMode(true);
    Paint();
    for (int col : {2, firstChar}) EXPECT_EQ(Sys(COLOR_WINDOW), Px(Cell(col, 2).left, Cell(col, 2).bottom - 1));
}

TEST_F(HexPaint, CaretIsMirroredInTheOtherField) {
    Hex->SetFocusFrame(false);  // a plain frame in CursorFrame
    Hex->Colors().Set(THexColors::ciCursorFrame, RGB(255, 0, 255));
    Hex->Focus = true;
    Hex->SetSelStart(7);  // hex field, first digit of byte 7
    Hex->PlaceCaretForFocus();
    Paint();
    const COLORREF frame = RGB(255, 0, 255);
    const int charCol = Hex->Layout().FirstCharCol() + 7;
    const RECT c = Cell(charCol, 2);
    EXPECT_EQ(frame, Px(c.left, c.top + 2));
    EXPECT_EQ(frame, Px(c.left + CW() - 1, c.top + 2));
    EXPECT_EQ(frame, Px(c.left + 1, c.top));
    EXPECT_EQ(frame, Px(c.left + 1, c.bottom - 2));
    EXPECT_EQ(0, Count(Cell(16, 2), frame));  // the caret's own field is not framed

    // In the character field both digits of the byte are framed together.
    Hex->SetInCharField(true);
    Hex->PlaceCaretForFocus();
    ASSERT_EQ(charCol, Hex->Col());
    Paint();
    const RECT d1 = Cell(16, 2), d2 = Cell(17, 2);
    EXPECT_EQ(frame, Px(d1.left, d1.top + 2));
    EXPECT_EQ(frame, Px(d2.left + CW() - 1, d1.top + 2));
    for (int x = d1.left; x < d2.left + CW(); ++x) ASSERT_EQ(frame, Px(x, d1.top)) << "x=" << x;
    EXPECT_EQ(0, Count(Cell(charCol, 2), frame));
}

TEST_F(HexPaint, UnicodeCaretFramesAllDigitsOfTheUnit) {
    Hex->SetUnicodeChars(true);
    Hex->SetFocusFrame(false);
    Hex->Colors().Set(THexColors::ciCursorFrame, RGB(255, 0, 255));
    Hex->Focus = true;
    Hex->SetSelStart(6);  // unit 3 (bytes 6 and 7)
    Hex->SetInCharField(true);
    Hex->PlaceCaretForFocus();
    Paint();
    const COLORREF frame = RGB(255, 0, 255);
    const RECT first = Cell(14, 2), last = Cell(17, 2);  // digits of bytes 6 and 7
    for (int x = first.left; x < last.left + CW(); ++x) ASSERT_EQ(frame, Px(x, first.top)) << "x=" << x;
    EXPECT_EQ(frame, Px(first.left, first.top + 3));
    EXPECT_EQ(frame, Px(last.left + CW() - 1, first.top + 3));
    EXPECT_NE(frame, Px(last.left + CW(), first.top));
    EXPECT_NE(frame, Px(first.left - 1, first.top));
}

TEST_F(HexPaint, OffsetColumnLeftToTheDrawCellHandler) {
    const RECT offset = Cell(0, 3);
    const int x = offset.left + 2, y = offset.bottom - 1;
    Paint();
    EXPECT_EQ(Sys(COLOR_BTNFACE), Px(x, y));

    std::vector<int> offsetRows;
    Hex->OnDrawCell = [&](THexEditorControl* sender, classlib::TCanvas&, int col, int row, std::wstring&,
                          const RECT& rect, bool& defaultDraw) {
        if (col == 0 && row >= 2) {
            EXPECT_EQ(-1, sender->DrawState().Position);
            EXPECT_EQ(sender->ColWidth(0), rect.right - rect.left);  // the whole cell
            offsetRows.push_back(row);
            defaultDraw = false;
        }
    };
    Paint();
    EXPECT_EQ(Sys(COLOR_WINDOW), Px(x, y));  // the control colour, not the offset colour
    EXPECT_EQ(4u, offsetRows.size());        // 64 bytes in rows of 16
}

TEST_F(HexPaint, CornerAndRulerUseTheOffsetBackground) {
    Hex->SetShowRuler(true);
    Paint();
    EXPECT_EQ(Sys(COLOR_BTNFACE), Px(1, 1));
    EXPECT_EQ(Sys(COLOR_BTNFACE), Px(Hex->ColWidth(0) + 2, 1));
    // The caret's column in the ruler is marked.
    const RECT r = Cell(2, 0);
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), Px(r.left + 1, r.top + Hex->RowHeight() - 1));
    EXPECT_EQ(Sys(COLOR_BTNFACE), Px(Cell(4, 0).left + 1, r.top + Hex->RowHeight() - 1));
}

TEST_F(HexPaint, EdgeLinesFollowGutter3DAndGridLines) {
    Hex->SetShowRuler(true);
    const COLORREF grid = RGB(0, 200, 0);
    Hex->Colors().Set(THexColors::ciGrid, grid);
    ASSERT_FALSE(Hex->DrawGridLines());
    ASSERT_TRUE(Hex->DrawGutter3D());
    Paint();
    const int w0 = Hex->ColWidth(0), rulerH = Hex->RowHeightOf(0);
    const RECT data = Cell(4, 3);
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), Px(w0, data.top + 3));
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), Px(w0 - 1, data.top + 3));
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), Px(data.left + 2, rulerH - 1));
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), Px(data.left + 2, rulerH - 2));
    EXPECT_EQ(0, Count(RECT{0, 0, W, H}, grid));
    EXPECT_EQ(Sys(COLOR_WINDOW), Px(data.left + 1, data.bottom - 1));

    Hex->SetDrawGutter3D(false);
    Hex->SetDrawGridLines(true);
    Paint();
    EXPECT_EQ(grid, Px(data.left + 1, data.bottom - 1));  // under every data cell
    EXPECT_EQ(grid, Px(w0 - 1, data.top + 3));            // the offset column's edge
    EXPECT_EQ(grid, Px(data.left + 2, rulerH - 1));       // under the ruler
    EXPECT_NE(Sys(COLOR_BTNSHADOW), Px(w0, data.top + 3));
}

TEST_F(HexPaint, UnfocusedSelectionMayBeHiddenOrGrey) {
    Hex->NewSelection(0, 0);
    Hex->SetHideSelection(true);
    Paint();
    const RECT r = Cell(2, 2);
    EXPECT_EQ(Sys(COLOR_WINDOW), Px(r.left, r.bottom - 1));
    EXPECT_TRUE(Hex->IsSelected(0));

    Hex->SetHideSelection(false);
    Hex->SetGraySelectionIfNotFocused(true);
    Paint();
    EXPECT_EQ(GrayColor(InvertColor(Sys(COLOR_WINDOW))), Px(r.left, r.bottom - 1));
}

TEST_F(HexPaint, DropMarkerIsABarInTheTextColour) {
    EXPECT_EQ(3, Hex->CalcDropPosition(2 + 2 * 3 + 1, 2));  // second digit of byte 3
    Paint();
    const RECT r = Cell(8, 2);  // the marker stands on the first digit
    const COLORREF even = 0x800000;  // byte 3 lies in the second column group
    EXPECT_EQ(even, Px(r.left, r.bottom - 2));
    EXPECT_EQ(even, Px(r.left + 1, r.bottom - 2));
    EXPECT_NE(even, Px(r.left + 1, r.bottom - 1));
    Hex->HideDropMarker();
    Paint();
    EXPECT_NE(even, Px(r.left + 1, r.bottom - 2));
}

TEST_F(HexPaint, LoadingShowsTheHourglassAndRestoresTheCursor) {
    classlib::TCursor during = classlib::crDefault;
    Hex->OnProgress = [&](TCustomHexEditor*, THexProgressKind, const std::wstring&, uint8_t, bool&) {
        during = classlib::Screen->Cursor();
    };
    Load(*Hex, Counting(1000));
    EXPECT_EQ(classlib::crHourGlass, during);
    EXPECT_EQ(classlib::crDefault, classlib::Screen->Cursor());
}

TEST(HexPaintColors, InvertAndGray) {
    EXPECT_EQ(RGB(0, 0, 0), InvertColor(RGB(255, 255, 255)));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), InvertColor(RGB(0xED, 0xCB, 0xA9)));
    // g = (74 R + 146 G + 36 B) >> 8
    EXPECT_EQ(RGB(73, 73, 73), GrayColor(RGB(255, 0, 0)));
    EXPECT_EQ(RGB(145, 145, 145), GrayColor(RGB(0, 255, 0)));
    EXPECT_EQ(RGB(35, 35, 35), GrayColor(RGB(0, 0, 255)));
}

}  // namespace
