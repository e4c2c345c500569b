// Mouse rules of the hex editor core, on client coordinates the window passes in.
#include <algorithm>

#include "classlib/scopeguard.h"
#include "hexedit/hexeditor.h"

namespace hexedit {

bool TCustomHexEditor::CellAtPoint(int x, int y, int& col, int& row) const {
    col = row = -1;
    if (x < 0 || y < 0) return false;
    const int fixedWidth = ColWidth(0) + ColWidth(1);
    if (x < ColWidth(0)) {
        col = 0;
    } else if (x < fixedWidth) {
        col = 1;
    } else {
        int left = fixedWidth;
        for (int c = std::max(2, FLeftCol); c < ColCount(); ++c) {
            if (x < left + ColWidth(c)) {
                col = c;
                break;
            }
            left += ColWidth(c);
        }
    }
    const int rulerHeight = RowHeightOf(0);
    if (y < rulerHeight) {
        row = 0;
    } else {
        const int r = FTopRow + (y - rulerHeight) / std::max(1, FLayout.RowHeight);
        if (r < FRowCount) row = r;
    }
    return col >= 0 && row >= 0;
}

RECT TCustomHexEditor::CellRect(int col, int row) const {
    RECT r{0, 0, 0, 0};
    if (col < 0 || col >= ColCount() || row < 0 || row >= FRowCount) return r;
    if ((col >= 2 && col < FLeftCol) || (row >= 2 && row < FTopRow)) return r;
    int left = 0;
    if (col < 2) {
        left = col == 0 ? 0 : ColWidth(0);
    } else {
        left = ColWidth(0) + ColWidth(1);
        for (int c = std::max(2, FLeftCol); c < col; ++c) left += ColWidth(c);
    }
    int top = 0;
    if (row >= 2) top = RowHeightOf(0) + (row - FTopRow) * FLayout.RowHeight;
    r.left = left;
    r.top = top;
    r.right = left + ColWidth(col);
    r.bottom = top + RowHeightOf(row);
    return r;
}

void TCustomHexEditor::AdjustMouseCoord(int& x, int& y) const {
    if (!InsertMode()) return;
    int col, row;
    if (!CellAtPoint(x, y, col, row) || col < 2 || row < 2) return;
    const RECT r = CellRect(col, row);
    if (x < r.left + (r.right - r.left) / 2) return;
    if (col == FLayout.LastHexCol() || col == ColCount() - 1) {
        const RECT first = CellRect(col == FLayout.LastHexCol() ? 2 : FLayout.FirstCharCol(), row);
        if (first.right > first.left) x = first.left;
        y += FLayout.RowHeight;
    } else {
        x = r.right;
    }
}

bool TCustomHexEditor::IsSelectionAtPoint(int x, int y) const {
    int col, row;
    if (!CellAtPoint(x, y, col, row) || col < 2 || row < 2 || col == FLayout.SeparatorCol()) return false;
    bool inChar;
    return IsSelected(FLayout.GetPosAtCursor(col, row, inChar));
}

bool TCustomHexEditor::IsFixedCellAtPoint(int x, int y) const {
    int col, row;
    if (!CellAtPoint(x, y, col, row)) return false;
    return col < 2 || row < 2;
}

bool TCustomHexEditor::MouseDown(bool leftButton, THexShiftState shift, int x, int y, bool doubleClick) {
    FSelecting = false;
    FPendingClick = false;
    if (leftButton) AdjustMouseCoord(x, y);
    const bool onSelection = IsSelectionAtPoint(x, y);
    if (onSelection || IsFixedCellAtPoint(x, y)) {
        if (leftButton && onSelection) FPendingClick = true;
        return false;
    }
    int col, row;
    if (!CellAtPoint(x, y, col, row)) return true;
    if (leftButton) ResetSelection(true);
    {
        const THexShiftState saved = FInputShift;
        FInputShift = shift | (leftButton ? hsLeft : 0);
        auto restoreShift = classlib::ScopeExit([&] { FInputShift = saved; });
        MoveCaret(col, row);
    }
    if (leftButton) {
        FMouseSelecting = true;
        if (!doubleClick) FSelecting = true;
    }
    return true;
}

bool TCustomHexEditor::MouseMove(THexShiftState shift, int x, int y) {
    const bool leftOnly = (shift & (hsLeft | hsRight | hsMiddle)) == hsLeft;
    if (leftOnly) AdjustMouseCoord(x, y);
    FPendingClick = false;
    int col, row;
    if (FMouseSelecting && leftOnly && CellAtPoint(x, y, col, row)) {
        const THexShiftState saved = FInputShift;
        FInputShift = shift;
        auto restoreShift = classlib::ScopeExit([&] { FInputShift = saved; });
        MoveCaret(col, row);
    }
    if (shift & (hsLeft | hsRight | hsMiddle | hsShift | hsCtrl | hsAlt)) return false;
    return IsSelectionAtPoint(x, y) || IsFixedCellAtPoint(x, y);
}

void TCustomHexEditor::MouseUp(int x, int y) {
    AdjustMouseCoord(x, y);
    FMouseSelecting = false;
    if (FPendingClick) {
        FPendingClick = false;
        ResetSelection(true);
        int col, row;
        if (CellAtPoint(x, y, col, row) && col >= 2 && row >= 2) MoveCaret(col, row);
    }
    if (FDropMarkerVisible) HideDropMarker();
}

void TCustomHexEditor::MouseWheelPage(bool down) {
    if (down)
        SetTopRow(std::min(std::max(2, FRowCount - FVisibleRowCount), FTopRow + FVisibleRowCount - 1));
    else
        SetTopRow(std::max(2, FTopRow - FVisibleRowCount + 1));
    UpdateCaret();
}

}  // namespace hexedit
