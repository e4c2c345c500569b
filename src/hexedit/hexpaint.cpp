// Painting of the hex editor control: every cell is drawn by the control itself, block by
// block (corner, ruler, offset column, data), walking only the visible rows and columns.
// Fills and lines are opaque ExtTextOutW calls without text (no brush per cell); each cell's
// text is one ExtTextOutW call.
#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/runtime.h"
#include "hexedit/hexcontrol.h"

namespace hexedit {

using namespace classlib;

COLORREF InvertColor(COLORREF color) { return (color ^ 0xFFFFFF) & 0xFFFFFF; }

COLORREF GrayColor(COLORREF color) {
    const unsigned r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    const unsigned v = (74 * r + 146 * g + 36 * b) >> 8;
    return RGB(v, v, v);
}

namespace {

COLORREF Rgb(THexColor c) { return ColorToRGB(static_cast<TColor>(c)); }

void Fill(HDC dc, const RECT& r, COLORREF color) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// A one-pixel line from (x1, y1) up to but excluding (x2, y2); horizontal or vertical.
void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    RECT r = x1 == x2 ? RECT{x1, std::min(y1, y2), x1 + 1, std::max(y1, y2)}
                      : RECT{std::min(x1, x2), y1, std::max(x1, x2), y1 + 1};
    Fill(dc, r, color);
}

void Frame(HDC dc, const RECT& r, COLORREF color) {
    Line(dc, r.left, r.top, r.right, r.top, color);
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, color);
    Line(dc, r.left, r.top, r.left, r.bottom, color);
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom, color);
}

}  // namespace

struct THexEditorControl::TPaintContext {
    TCanvas& Canvas;
    HDC DC;
    int Width, Height;
    bool Focused;
    int Size;
    int CW;
    int CaretCol, CaretRow, OtherCol;
    COLORREF Background, ActiveBack, OddColumn, EvenColumn, ChangedText, ChangedBack, CursorFrame, NonFocusFrame,
        Offset, OffsetBack, CurrentOffset, CurrentOffsetBack, Grid, FontColor, ControlColor;
    TGdiObject<HFONT> BookmarkFont;  // made when the first bookmark is drawn
};

void THexEditorControl::PaintWindow(HDC dc) {
    // Locked: the window keeps what it shows (not even the background is drawn).
    if (FPaintLock > 0) return;
    TCustomControl::PaintWindow(dc);
}

void THexEditorControl::Paint() {
    if (FPaintLock > 0) return;
    RECT r;
    GetClientRect(FHandle, &r);
    PaintTo(Canvas(), r.right, r.bottom);
}

void THexEditorControl::PaintTo(TCanvas& canvas, int width, int height) {
    canvas.Font().Assign(Font());
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    const THexColors& c = Colors();
    TPaintContext pc{canvas,
                     dc,
                     width,
                     height,
                     HexFocused(),
                     GetDataSize(),
                     CharWidth(),
                     Col(),
                     Row(),
                     Layout().GetOtherFieldCol(Col()),
                     Rgb(c.Background()),
                     Rgb(c.ActiveFieldBackground()),
                     Rgb(c.OddColumn()),
                     Rgb(c.EvenColumn()),
                     Rgb(c.ChangedText()),
                     Rgb(c.ChangedBackground()),
                     Rgb(c.CursorFrame()),
                     Rgb(c.NonFocusCursorFrame()),
                     Rgb(c.Offset()),
                     Rgb(c.OffsetBackground()),
                     Rgb(c.CurrentOffset()),
                     Rgb(c.CurrentOffsetBackground()),
                     Rgb(c.Grid()),
                     ColorToRGB(Font().Color()),
                     Rgb(c.Background())};
    const int oldBkMode = SetBkMode(dc, OPAQUE);
    Fill(dc, RECT{0, 0, width, height}, pc.ControlColor);

    const int w0 = ColWidth(0), fixedWidth = w0 + ColWidth(1);
    const int rulerHeight = RowHeightOf(0) + RowHeightOf(1);
    if (ShowRuler()) {
        PaintCellRange(pc, 0, 0, 0, ckCorner, height, width, 0);
        PaintCellRange(pc, LeftCol(), 0, fixedWidth, ckRuler, height, width, 0);
    }
    PaintCellRange(pc, 0, TopRow(), 0, ckOffset, height, width, rulerHeight);
    PaintCellRange(pc, LeftCol(), TopRow(), fixedWidth, ckData, height, width, rulerHeight);

    // Extent of the grid: the visible columns and rows that exist.
    int gridRight = fixedWidth;
    for (int col = LeftCol(); col < ColCount() && gridRight < width; ++col) gridRight += ColWidth(col);
    gridRight = std::min(gridRight, width);
    int gridBottom = rulerHeight;
    for (int row = TopRow(); row < RowCount() && gridBottom < height; ++row) gridBottom += RowHeightOf(row);
    gridBottom = std::min(gridBottom, height);

    // Outside the grid: the control colour, and the offset colour beside the fixed parts.
    if (gridRight < width) {
        Fill(dc, RECT{gridRight, rulerHeight, width, height}, pc.ControlColor);
        Fill(dc, RECT{gridRight, 0, width, rulerHeight}, pc.OffsetBack);
    }
    if (gridBottom < height) {
        Fill(dc, RECT{w0, gridBottom, width, height}, pc.ControlColor);
        Fill(dc, RECT{0, gridBottom, w0, height}, pc.OffsetBack);
    }

    // Edge of the offset column and of the ruler.
    const COLORREF shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
    if (w0 > 0) {
        if (DrawGutter3D()) {
            Line(dc, w0, rulerHeight, w0, gridBottom, shadow);
            Line(dc, w0 - 1, rulerHeight, w0 - 1, gridBottom, highlight);
        } else if (DrawGridLines()) {
            Line(dc, w0 - 1, rulerHeight, w0 - 1, gridBottom, pc.Grid);
        }
    }
    if (ShowRuler()) {
        if (DrawGutter3D()) {
            Line(dc, w0 - 1, rulerHeight - 1, gridRight, rulerHeight - 1, shadow);
            Line(dc, w0 - 1, rulerHeight - 2, gridRight, rulerHeight - 2, highlight);
        } else if (DrawGridLines()) {
            Line(dc, w0 - 1, rulerHeight - 1, gridRight, rulerHeight - 1, pc.Grid);
        }
    }
    SetBkMode(dc, oldBkMode);
    FDrawState = THexDrawState{};
    FPaintedTop = TopRow();
    FPaintedLeft = LeftCol();
}

void THexEditorControl::PaintCellRange(TPaintContext& pc, int firstCol, int firstRow, int left, TCellKind kind,
                                       int bottom, int right, int top) {
    const bool fixedCols = kind == ckCorner || kind == ckOffset;
    const bool fixedRows = kind == ckCorner || kind == ckRuler;
    const int colEnd = fixedCols ? 2 : ColCount();
    const int rowEnd = fixedRows ? 2 : RowCount();
    int y = top;
    for (int row = firstRow; row < rowEnd && y < bottom; ++row) {
        const int h = RowHeightOf(row);
        if (h <= 0) continue;
        int x = left;
        for (int col = firstCol; col < colEnd && x < right; ++col) {
            const int w = ColWidth(col);
            if (w <= 0) continue;
            const RECT r{x, y, x + w, y + h};
            switch (kind) {
                case ckCorner:
                    FDrawState = THexDrawState{};
                    DrawCellText(pc, col, row, r, std::wstring(), pc.OffsetBack, pc.OffsetBack, pc.Offset, false);
                    break;
                case ckRuler: {
                    FDrawState = THexDrawState{};
                    const bool current = col == pc.CaretCol;
                    DrawCellText(pc, col, row, r, RulerCellText(col), pc.OffsetBack,
                                 current ? pc.CurrentOffsetBack : pc.OffsetBack,
                                 current ? pc.CurrentOffset : pc.Offset, false);
                    break;
                }
                case ckOffset:
                    FDrawState = THexDrawState{};
                    if (col == 0) {
                        const bool current = row == pc.CaretRow;
                        const COLORREF back = current ? pc.CurrentOffsetBack : pc.OffsetBack;
                        const std::wstring text =
                            GetOffsetString(static_cast<uint32_t>(row - 2) * static_cast<uint32_t>(BytesPerRow()));
                        DrawCellText(pc, col, row, r, text, back, back, current ? pc.CurrentOffset : pc.Offset, true);
                        DrawBookmarks(pc, row, r);
                    } else if (DrawGridLines()) {
                        Line(pc.DC, r.left, r.bottom - 1, r.right, r.bottom - 1, pc.Grid);
                    }
                    break;
                case ckData:
                    if (col == Layout().SeparatorCol()) {
                        if (DrawGridLines()) Line(pc.DC, r.left, r.top, r.left, r.bottom, pc.Grid);
                    } else {
                        PaintDataCell(pc, col, row, r);
                    }
                    if (DrawGridLines()) Line(pc.DC, r.left, r.bottom - 1, r.right, r.bottom - 1, pc.Grid);
                    break;
            }
            x += w;
        }
        y += h;
    }
}

void THexEditorControl::PaintDataCell(TPaintContext& pc, int col, int row, const RECT& r) {
    bool inChar;
    const int p = Layout().GetPosAtCursor(col, row, inChar);
    const bool active = inChar == FActiveCharField;
    const int lastCol = ColCount() - 1, lastHexCol = Layout().LastHexCol();
    const bool joins = col != lastCol && col != lastHexCol;  // the fill may run into the gap
    COLORREF fill = active && joins ? pc.ActiveBack : pc.Background;
    FDrawState = THexDrawState{p, !inChar, false};

    if (p < pc.Size) {
        const bool changed = HasChanged(p) || (UnicodeChars() && inChar && HasChanged(p + 1));
        COLORREF textBack, textColor;
        if (changed) {
            textBack = pc.ChangedBack;
            textColor = pc.ChangedText;
        } else {
            textBack = active ? pc.ActiveBack : pc.Background;
            if (inChar)
                textColor = pc.FontColor;
            else
                textColor = ((col - 2) / (2 * BytesPerColumn())) % 2 == 0 ? pc.OddColumn : pc.EvenColumn;
        }
        if (IsSelected(p)) {
            FDrawState.Selected = true;
            if (!(HideSelection() && !pc.Focused)) {
                // The highlight joins the cells of the selection but stops at its last byte.
                if (joins && p != SelectionLast()) fill = InvertColor(fill);
                textBack = InvertColor(textBack);
                textColor = InvertColor(textColor);
                if (GraySelectionIfNotFocused() && !pc.Focused) {
                    textBack = GrayColor(textBack);
                    textColor = GrayColor(textColor);
                }
            }
        }
        DrawCellText(pc, col, row, r, CellText(col, row), fill, textBack, textColor, false);
        if (DropMarkerVisible() && col == DropMarkerCol() && row == DropMarkerRow())
            Fill(pc.DC, RECT{r.left, r.top + 1, r.left + 2, r.bottom - 1}, textColor);
    }

    // The caret's byte mirrored in the other field.
    if (pc.Focused && row == pc.CaretRow) {
        if (inChar) {
            if (col == pc.OtherCol) DrawCaretFrame(pc, RECT{r.left, r.top, r.left + pc.CW, r.bottom - 1}, pc.CursorFrame);
        } else if (col - (UnicodeChars() ? 3 : 1) == pc.OtherCol) {
            int left = r.left;
            for (int c = pc.OtherCol; c < col; ++c) left -= ColWidth(c);
            DrawCaretFrame(pc, RECT{left, r.top, r.left + pc.CW, r.bottom - 1}, pc.CursorFrame);
        }
    }
    if (!pc.Focused && ShowPositionIfNotFocused() && row == pc.CaretRow && col == pc.CaretCol)
        DrawCaretFrame(pc, RECT{r.left, r.top, r.left + pc.CW, r.bottom - 1}, pc.NonFocusFrame);
    if (col == lastCol && DrawGridLines()) Line(pc.DC, r.right - 1, r.top, r.right - 1, r.bottom, pc.Grid);
}

void THexEditorControl::DrawCaretFrame(TPaintContext& pc, const RECT& r, COLORREF penColor) {
    if (FocusFrame()) {
        SetBkColor(pc.DC, RGB(255, 255, 255));
        SetTextColor(pc.DC, RGB(0, 0, 0));
        ::DrawFocusRect(pc.DC, &r);
    } else {
        Frame(pc.DC, r, penColor);
    }
}

void THexEditorControl::DrawCellText(TPaintContext& pc, int col, int row, const RECT& cell, std::wstring text,
                                     COLORREF fill, COLORREF textBack, COLORREF textColor, bool offsetColumn) {
    const RECT textRect = offsetColumn ? cell : RECT{cell.left, cell.top, cell.left + pc.CW, cell.bottom};
    if (OnDrawCell) {
        bool defaultDraw = true;
        pc.Canvas.Brush().SetColor(static_cast<TColor>(fill));
        pc.Canvas.Font().SetColor(static_cast<TColor>(textColor));
        SetBkColor(pc.DC, textBack);
        OnDrawCell(this, pc.Canvas, col, row, text, textRect, defaultDraw);
        pc.Canvas.PrepareText();
        if (!defaultDraw) return;
    }
    Fill(pc.DC, cell, fill);
    SetTextColor(pc.DC, textColor);
    SetBkColor(pc.DC, textBack);
    if (offsetColumn) {
        SIZE size{};
        GetTextExtentPoint32W(pc.DC, text.c_str(), static_cast<int>(text.size()), &size);
        ExtTextOutW(pc.DC, cell.right - size.cx - 4, cell.top, ETO_CLIPPED | ETO_OPAQUE, &cell, text.c_str(),
                    classlib::Win32Size<UINT>(text.size()), nullptr);
    } else {
        ExtTextOutW(pc.DC, cell.left, cell.top, ETO_CLIPPED | ETO_OPAQUE, &textRect, text.c_str(),
                    classlib::Win32Size<UINT>(text.size()), nullptr);
    }
}

void THexEditorControl::DrawBookmarks(TPaintContext& pc, int row, const RECT& r) {
    for (int i = 0; i < 10; ++i) {
        const THexBookmark& bm = GetBookmark(i);
        if (bm.Pos < 0 || GetRowOfPos(bm.Pos) != row) continue;
        // A 10 x 10 marker with the bookmark's digit: blue for the hex field, green for the
        // character field.
        const RECT box{r.left + 3, r.top + (r.bottom - r.top - 10) / 2, r.left + 13, r.top + (r.bottom - r.top - 10) / 2 + 10};
        Fill(pc.DC, box, bm.InCharField ? RGB(0, 128, 0) : RGB(0, 0, 192));
        Frame(pc.DC, box, RGB(0, 0, 0));
        if (!pc.BookmarkFont)
            pc.BookmarkFont.Reset(CreateFontW(-9, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                              NONANTIALIASED_QUALITY, 0, L"Arial"));
        TSelectedObject font(pc.DC, pc.BookmarkFont.Handle());
        const wchar_t digit = static_cast<wchar_t>(L'0' + i);
        RECT text = box;
        SetTextColor(pc.DC, RGB(255, 255, 255));
        const int oldMode = SetBkMode(pc.DC, TRANSPARENT);
        DrawTextW(pc.DC, &digit, 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
        SetBkMode(pc.DC, oldMode);
    }
}

}  // namespace hexedit
