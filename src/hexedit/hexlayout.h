// Pure geometry of the hex editor grid: which cell shows which byte, how many rows and
// columns there are, and how wide each column is for a given character width. No window,
// no data: the editor fills the parameters and asks.
//
// Grid: column 0 offsets, column 1 a 6-pixel gap, columns 2 .. 2B+1 hex digits (two per
// byte), column 2B+2 the separator, then one character column per byte (per two bytes in
// Unicode mode). Row 0 the ruler, row 1 zero height, data rows from 2, B bytes each.
#pragma once

#include <vector>

namespace hexedit {

class THexLayout {
public:
    // Parameters (set by the editor).
    int BytesPerRow = 16;
    int BytesPerColumn = 2;
    int BytesPerBlock = -1;
    bool SeparateBlocksInCharField = true;
    bool Unicode = false;
    int RulerUnit = 1;  // effective ruler bytes per unit
    bool ShowRuler = false;
    int CharWidth = 8;   // width of "w" in the font
    int RowHeight = 17;  // height of "yY" plus 2

    int LastHexCol() const { return 2 * BytesPerRow + 1; }
    int SeparatorCol() const { return 2 * BytesPerRow + 2; }
    int FirstCharCol() const { return 2 * BytesPerRow + 3; }
    int ColCount() const { return Unicode ? 2 * BytesPerRow + BytesPerRow / 2 + 3 : 3 * BytesPerRow + 3; }
    // Rows for `dataSize` bytes, the two fixed rows included.
    int RowCountFor(int dataSize, bool insertMode) const;

    // Position of a cell; inCharField is set from the column. Negative results give 0.
    int GetPosAtCursor(int col, int row, bool& inCharField) const;
    // The cell of a position: the first digit in the hex field, or the character cell.
    void GetCursorAtPos(int pos, bool inCharField, int& col, int& row) const;
    // The column showing the same byte in the other field.
    int GetOtherFieldCol(int col) const;
    int GetRowOfPos(int pos) const { return pos / BytesPerRow + 2; }
    bool IsCharCol(int col) const { return col > SeparatorCol(); }

    // Width of column `col` (2 .. ColCount-1, the last column counted with its ordinary
    // width) for this layout.
    int DataColumnWidth(int col) const;
    // Sum of the widths of the hex, separator and character columns for n bytes per row.
    int RowWidthFor(int n) const;
    // All column widths, given the width of the offset column.
    std::vector<int> ColumnWidths(int offsetColumnWidth) const;
    int RulerHeight() const { return ShowRuler ? RowHeight + 3 : 0; }
};

}  // namespace hexedit
