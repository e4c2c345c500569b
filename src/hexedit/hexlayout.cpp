#include "hexedit/hexlayout.h"

namespace hexedit {

int THexLayout::RowCountFor(int dataSize, bool insertMode) const {
    if (dataSize <= 0) return 3;
    int rows = (dataSize + BytesPerRow - 1) / BytesPerRow + 2;
    if (insertMode && dataSize % BytesPerRow == 0) ++rows;
    return rows;
}

int THexLayout::GetPosAtCursor(int col, int row, bool& inCharField) const {
    const int b = BytesPerRow;
    inCharField = col > SeparatorCol();
    int k;
    if (inCharField) {
        k = col - FirstCharCol();
        if (Unicode) k *= 2;
    } else {
        k = (col - 2) / 2;
    }
    long long pos = k + static_cast<long long>(row - 2) * b;
    return pos < 0 ? 0 : static_cast<int>(pos);
}

void THexLayout::GetCursorAtPos(int pos, bool inCharField, int& col, int& row) const {
    if (pos < 0) {
        col = 2;
        row = 2;
        return;
    }
    const int b = BytesPerRow;
    row = pos / b + 2;
    int inRow = pos % b;
    if (inCharField)
        col = (Unicode ? inRow / 2 : inRow) + FirstCharCol();
    else
        col = inRow * 2 + 2;
}

int THexLayout::GetOtherFieldCol(int col) const {
    if (col <= SeparatorCol()) return (col - 2) / (Unicode ? 4 : 2) + FirstCharCol();
    return (col - FirstCharCol()) * (Unicode ? 4 : 2) + 2;
}

namespace {
// Widths of the data columns of a layout with `b` bytes per row.
int HexColWidth(const THexLayout& l, int b, int col) {
    const int cw = l.CharWidth;
    if (col == 2 * b + 1) return 2 * cw;
    int w = cw;
    if (col % (2 * l.BytesPerColumn) == 1) w += cw;
    if (l.BytesPerBlock > 1 && col % (2 * l.BytesPerBlock) == 1) w += cw;
    return w;
}

int CharColWidth(const THexLayout& l, int k) {
    const int cw = l.CharWidth;
    const int u = l.RulerUnit;
    int w = (u >= 2 && !l.Unicode && k % u == u - 1) ? 3 * cw / 2 + 1 : cw + 1;
    if (l.BytesPerBlock > 1 && l.SeparateBlocksInCharField) {
        int block = l.Unicode ? l.BytesPerBlock / 2 : l.BytesPerBlock;
        if (block > 0 && k % block == block - 1) w += cw;
    }
    return w;
}
}  // namespace

int THexLayout::DataColumnWidth(int col) const {
    if (col <= SeparatorCol()) return HexColWidth(*this, BytesPerRow, col);
    return CharColWidth(*this, col - FirstCharCol());
}

int THexLayout::RowWidthFor(int n) const {
    int sum = 0;
    for (int col = 2; col <= 2 * n + 2; ++col) sum += HexColWidth(*this, n, col);
    int chars = Unicode ? n / 2 : n;
    for (int k = 0; k < chars; ++k) sum += CharColWidth(*this, k);
    return sum;
}

std::vector<int> THexLayout::ColumnWidths(int offsetColumnWidth) const {
    const int count = ColCount();
    std::vector<int> w(count);
    w[0] = offsetColumnWidth;
    w[1] = 6;
    for (int col = 2; col < count; ++col) w[col] = DataColumnWidth(col);
    w[count - 1] = 2 * CharWidth + 1;
    return w;
}

}  // namespace hexedit
