// The hex editor control window: creation, metrics, caret glyph, scroll bars, focus and the
// routing of keys, characters, mouse and wheel to the core. Painting is in hexpaint.cpp.
#include "hexedit/hexcontrol.h"

#include <windowsx.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "classlib/screen.h"

namespace hexedit {

using namespace classlib;

THexEditorControl::THexEditorControl(TComponent* owner) : TCustomControl(owner) {
    SetView(this);
    DoubleBuffered = true;
    FTabStop = true;
    FCursor = crIBeam;
    FParentColor = false;
    TControl::FColor = static_cast<TColor>(Colors().Background());
    FParentFont = false;
    Font().SetName(L"Courier New");
    Font().SetSize(11);
    FWidth = 300;
    FHeight = 200;
    // A control built in code is "loaded" once constructed: it starts with an empty,
    // untitled document (data given later through the load functions is never replaced
    // by this, whenever the window is created).
    CreateEmptyFile(hexmsg::Untitled);
    FontMetricsChanged();
}

THexEditorControl::~THexEditorControl() {
    SetView(nullptr);
    DestroyCaretGlyph();
    if (FBusyDepth > 0 && Screen) Screen->SetCursor(FSavedScreenCursor);
}

void THexEditorControl::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style |= WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP;
    p.WindowClass.style = CS_DBLCLKS;  // the whole area is painted in one go; no class redraw
    p.WindowClass.hCursor = nullptr;   // the control sets the cursor per point
    p.WinClassName = L"THexEditorEx";
}

void THexEditorControl::CreateHandle() {
    TCustomControl::CreateHandle();
    FontMetricsChanged();
    Resize();
}

bool THexEditorControl::CanFocus() {
    if (!TCustomControl::CanFocus()) return false;
    if (TForm* f = GetParentForm(this); f && f != static_cast<TControl*>(this))
        return f->Enabled() && f->Visible();
    return true;
}

// ---- Metrics and scrolling ----------------------------------------------------------------

void THexEditorControl::FontMetricsChanged() {
    SIZE w{}, yy{};
    {
        TWindowDC screen(nullptr);
        TSelectedObject font(screen.Handle(), Font().Handle());
        GetTextExtentPoint32W(screen.Handle(), L"w", 1, &w);
        GetTextExtentPoint32W(screen.Handle(), L"yY", 2, &yy);
    }
    SetCharMetrics(w.cx, yy.cy + 2);
    if (HexFocused()) {
        CreateCaretGlyph();
        HexUpdateCaret();
    }
}

int THexEditorControl::CalcVisibleRowCount(int clientHeight) const {
    const int rows = (clientHeight - RowHeightOf(0)) / std::max(1, RowHeight());
    return std::max(1, rows);
}

int THexEditorControl::CalcVisibleColCount(int clientWidth) const {
    int x = ColWidth(0) + ColWidth(1), n = 0;
    for (int c = LeftCol(); c < ColCount(); ++c) {
        x += ColWidth(c);
        if (x > clientWidth) break;
        ++n;
    }
    return std::max(1, n);
}

void THexEditorControl::SetLeftColumn(int col) {
    // The largest left column that still shows the last column (the last column itself
    // when even that one is wider than the room).
    int maxLeft = ColCount() - 1;
    int x = 0;
    const int room = (HandleAllocated() ? ClientWidth() : FWidth) - ColWidth(0) - ColWidth(1);
    for (int c = ColCount() - 1; c >= 2; --c) {
        x += ColWidth(c);
        if (x > room) break;
        maxLeft = c;
    }
    col = std::clamp(col, 2, std::max(2, maxLeft));
    if (col == LeftCol()) return;
    SetLeftCol(col);
    HexUpdateCaret();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void THexEditorControl::Resize() {
    if (HandleAllocated()) {
        RECT r;
        GetClientRect(FHandle, &r);
        SetVisibleRowCount(CalcVisibleRowCount(r.bottom));
        TCustomHexEditor::SetClientWidth(r.right);  // the automatic row fit
        SetTopRow(TopRow());      // keeps the top row within the new page
        SetLeftColumn(LeftCol());
        UpdateScrollBars();
        PostMessageW(FHandle, HEXM_UPDATECARET, 7, 7);
    }
    TCustomControl::Resize();
}

void THexEditorControl::UpdateScrollBars() {
    if (!HandleAllocated() || FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    RECT r;
    GetClientRect(FHandle, &r);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    // Vertical: the data rows 2 .. RowCount-1, one page of visible rows.
    si.nMin = 2;
    si.nMax = std::max(2, RowCount() - 1);
    si.nPage = static_cast<UINT>(VisibleRowCount());
    si.nPos = TopRow();
    SetScrollInfo(FHandle, SB_VERT, &si, TRUE);
    // Horizontal: the scrolling columns 2 .. ColCount-1.
    si.nMin = 2;
    si.nMax = std::max(2, ColCount() - 1);
    si.nPage = static_cast<UINT>(CalcVisibleColCount(r.right));
    si.nPos = LeftCol();
    SetScrollInfo(FHandle, SB_HORZ, &si, TRUE);
    FUpdatingScrollBars = false;
}

void THexEditorControl::HandleScroll(int bar, int code) {
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(FHandle, bar, &si);
    const bool vertical = bar == SB_VERT;
    int pos = vertical ? TopRow() : LeftCol();
    const int page = std::max(1, static_cast<int>(si.nPage) - 1);
    switch (code) {
        case SB_LINEUP: --pos; break;
        case SB_LINEDOWN: ++pos; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = si.nTrackPos; break;
        case SB_TOP: pos = si.nMin; break;
        case SB_BOTTOM: pos = si.nMax; break;
        default: return;
    }
    if (vertical)
        SetTopRow(pos);
    else
        SetLeftColumn(pos);
    HexUpdateCaret();
}

int THexEditorControl::CalcDropPositionAt(int x, int y) {
    int col, row;
    if (!CellAtPoint(x, y, col, row)) {
        // Past the last row or column: the nearest cell.
        RECT client{0, 0, FWidth, FHeight};
        if (HandleAllocated()) GetClientRect(FHandle, &client);
        CellAtPoint(std::clamp(x, 0, static_cast<int>(client.right) - 1), std::clamp(y, 0, static_cast<int>(client.bottom) - 1),
                    col, row);
        if (col < 0) col = ColCount() - 1;
        if (row < 0) row = RowCount() - 1;
    }
    // Auto-scroll by the raw cell under the mouse.
    if (row >= TopRow() + VisibleRowCount() - 1 && row < RowCount() - 1)
        SetTopRow(TopRow() + 1);
    else if (row <= TopRow() && TopRow() > 2)
        SetTopRow(TopRow() - 1);
    const int visibleCols = HandleAllocated() ? CalcVisibleColCount(ClientWidth()) : ColCount();
    if (col >= LeftCol() + visibleCols - 1 && col < ColCount() - 1)
        SetLeftColumn(LeftCol() + 1);
    else if (col >= 2 && col <= LeftCol() && LeftCol() > 2)
        SetLeftColumn(LeftCol() - 1);
    return CalcDropPosition(std::max(2, col), std::clamp(row, 2, RowCount() - 1));
}

// ---- View of the core ---------------------------------------------------------------------

void THexEditorControl::HexInvalidate() {
    TControl::FColor = static_cast<TColor>(Colors().Background());
    if (FPaintLock <= 0) Invalidate();
}

void THexEditorControl::HexLayoutChanged() {
    if (HandleAllocated()) {
        RECT r;
        GetClientRect(FHandle, &r);
        SetVisibleRowCount(CalcVisibleRowCount(r.bottom));
    }
    UpdateScrollBars();
    HexInvalidate();
}

void THexEditorControl::HexUpdateCaret() {
    // A caret that moved to a column out of view brings its column into view.
    if ((Col() != FCaretCol || Row() != FCaretRow) && HandleAllocated()) {
        FCaretCol = Col();
        FCaretRow = Row();
        RECT client;
        GetClientRect(FHandle, &client);
        if (Col() < LeftCol()) {
            SetLeftColumn(Col());
        } else if (Col() >= LeftCol() + CalcVisibleColCount(client.right)) {
            const int room = client.right - ColWidth(0) - ColWidth(1);
            int left = Col(), used = ColWidth(Col());
            while (left > 2 && used + ColWidth(left - 1) <= room) used += ColWidth(--left);
            SetLeftColumn(left);
        }
    }
    if (TopRow() != FPaintedTop || LeftCol() != FPaintedLeft) {
        FPaintedTop = TopRow();
        FPaintedLeft = LeftCol();
        UpdateScrollBars();
        HexInvalidate();
    }
    if (!HexFocused()) return;
    // The caret's field is painted as the active one; a change of field repaints.
    const bool charField = Layout().IsCharCol(Col());
    if (charField != FActiveCharField) {
        FActiveCharField = charField;
        HexInvalidate();
    }
    const RECT r = CellRect(Col(), Row());
    if (r.right <= r.left || r.bottom <= r.top)
        SetCaretPos(-50, -50);
    else
        SetCaretPos(r.left, r.top);
}

void THexEditorControl::HexCaretShapeChanged() {
    if (!HexFocused()) return;
    CreateCaretGlyph();
    SetCaretPos(-50, -50);
    HexInvalidate();
    HexUpdateCaret();
}

void THexEditorControl::HexPostSelectionChanged() {
    if (HandleAllocated())
        PostMessageW(FHandle, HEXM_SELECTIONCHANGED, 0, 0);
    else
        DeliverSelectionChanged();
}

void THexEditorControl::HexBusyCursor(bool busy) {
    if (!Screen) return;
    if (busy) {
        if (FBusyDepth++ == 0) {
            FSavedScreenCursor = Screen->Cursor();
            Screen->SetCursor(crHourGlass);
        }
    } else if (FBusyDepth > 0 && --FBusyDepth == 0) {
        Screen->SetCursor(FSavedScreenCursor);
    }
}

bool THexEditorControl::HexFocused() { return HandleAllocated() && GetFocus() == FHandle; }

// ---- Caret glyph ----------------------------------------------------------------------------

void THexEditorControl::DestroyCaretGlyph() {
    if (FCaretCreated) {
        DestroyCaret();
        FCaretCreated = false;
    }
    if (FCaretBitmap) {
        DeleteObject(FCaretBitmap);
        FCaretBitmap = nullptr;
    }
}

void THexEditorControl::CreateCaretGlyph() {
    DestroyCaretGlyph();
    if (!HandleAllocated()) return;
    const int cw = CharWidth(), h = std::max(1, RowHeight() - 2);
    FCaretBitmap = CreateCompatibleBitmap(TWindowDC(nullptr).Handle(), cw, h);
    {
        // Drawn, then let go of: the caret takes a bitmap that no DC holds.
        TMemoryDC memory;
        TSelectedObject glyph(memory.Handle(), FCaretBitmap);
        HDC dc = memory.Handle();
        RECT all{0, 0, cw, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        // The white part is what the system caret inverts.
        RECT white = all;
        switch (CaretShape()) {
            case ckLeft: white = {0, 0, 2, h}; break;
            case ckBottom: white = {0, std::max(0, h - 2), cw, h}; break;
            default: break;
        }
        FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    FCaretCreated = CreateCaret(FHandle, FCaretBitmap, 0, 0) != 0;
    if (FCaretCreated) ShowCaret(FHandle);
}

void THexEditorControl::WMSetFocus(TMessage& m) {
    TCustomControl::WMSetFocus(m);
    CreateCaretGlyph();
    FActiveCharField = Layout().IsCharCol(Col());
    HexUpdateCaret();
    HexInvalidate();
}

void THexEditorControl::WMKillFocus(TMessage& m) {
    TCustomControl::WMKillFocus(m);
    if (FCaretCreated) HideCaret(FHandle);
    DestroyCaretGlyph();
    SetSelecting(false);
    HexInvalidate();
}

void THexEditorControl::CMFontChanged(TMessage& m) {
    TCustomControl::CMFontChanged(m);
    FontMetricsChanged();
}

// ---- Messages -----------------------------------------------------------------------------

void THexEditorControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_GETDLGCODE: {
            DefaultHandler(m);
            m.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
            if (WantTabs())
                m.Result |= DLGC_WANTTAB;
            else
                m.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
            return;
        }
        case WM_IME_CHAR: {
            // One UTF-16 unit, typed like WM_CHAR; the default procedure would post it again
            // as WM_CHAR, so it stops here.
            wchar_t ch = static_cast<wchar_t>(m.WParam);
            DoKeyPress(ch);
            m.Result = 0;
            return;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (!m.LParam) {
                HandleScroll(m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(m.WParam));
                m.Result = 0;
                return;
            }
            break;
        case WM_LBUTTONDBLCLK: {
            // The press of a double click: the caret moves like a press, without starting a
            // mouse selection; then OnDblClick.
            ButtonDown(mbLeft, KeysToShiftState(m.WParam) | ssDouble, GET_X_LPARAM(m.LParam),
                       GET_Y_LPARAM(m.LParam), true);
            DblClick();
            m.Result = 0;
            return;
        }
        case WM_SETCURSOR:
            if (LOWORD(m.LParam) == HTCLIENT && Screen && Screen->Cursor() == crDefault) {
                ::SetCursor(Screen->Cursors(FCursor));
                m.Result = 1;
                return;
            }
            break;
        case WM_TIMER:
            if (m.WParam == kAutoScrollTimer) {
                AutoScrollTick();
                m.Result = 0;
                return;
            }
            break;
        case HEXM_UPDATECARET:
            if (m.WParam == 7) HexUpdateCaret();
            m.Result = 0;
            return;
        case HEXM_SELECTIONCHANGED:
            DeliverSelectionChanged();
            m.Result = 0;
            return;
        default: break;
    }
    TCustomControl::WndProc(m);
}

// ---- Keys ---------------------------------------------------------------------------------

void THexEditorControl::KeyDown(WORD& key, TShiftState shift) {
    if (FCoreKeyDepth > 0) {
        // A key the core sends itself (the caret step after typing): the table only.
        TCustomHexEditor::KeyDown(key, shift);
        return;
    }
    TCustomControl::KeyDown(key, shift);
    if (!key) return;
    ++FCoreKeyDepth;
    auto endCoreKey = ScopeExit([&] { --FCoreKeyDepth; });
    TCustomHexEditor::KeyDown(key, shift & (ssShift | ssAlt | ssCtrl));
}

void THexEditorControl::KeyPress(wchar_t& key) {
    TCustomControl::KeyPress(key);
    if (!key) return;
    ++FCoreKeyDepth;
    auto endCoreKey = ScopeExit([&] { --FCoreKeyDepth; });
    TCustomHexEditor::KeyPress(key);
}

// ---- Mouse --------------------------------------------------------------------------------

void THexEditorControl::ButtonDown(TMouseButton button, TShiftState shift, int x, int y, bool doubleClick) {
    FMouseDownPoint = POINT{x, y};
    if (CanFocus() && HandleAllocated() && GetFocus() != FHandle) {
        SetFocus();
        // A form that is not the active one still gives its active control the focus.
        if (GetFocus() != FHandle) ::SetFocus(FHandle);
    }
    TCustomHexEditor::MouseDown(button == mbLeft, shift & ~ssDouble, x, y, doubleClick);
    if (button == mbLeft && HandleAllocated()) {
        SetCapture(FHandle);
        FMouseCaptured = true;
        SetTimer(FHandle, kAutoScrollTimer, 60, nullptr);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void THexEditorControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    ButtonDown(button, shift, x, y, false);
}

void THexEditorControl::MouseMove(TShiftState shift, int x, int y) {
    const bool arrow = TCustomHexEditor::MouseMove(shift, x, y);
    const TCursor cursor = arrow ? crArrow : crIBeam;
    if (cursor != FCursor) {
        FCursor = cursor;
        if (HandleAllocated() && Screen && Screen->Cursor() == crDefault) ::SetCursor(Screen->Cursors(cursor));
    }
    TCustomControl::MouseMove(shift, x, y);
}

void THexEditorControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FMouseCaptured && button == mbLeft) {
        FMouseCaptured = false;
        KillTimer(FHandle, kAutoScrollTimer);
        if (GetCapture() == FHandle) ReleaseCapture();
    }
    TCustomHexEditor::MouseUp(x, y);
    TCustomControl::MouseUp(button, shift, x, y);
}

void THexEditorControl::AutoScrollTick() {
    // While the left button extends a selection with the pointer above or below the rows,
    // the rows scroll one per tick and the selection follows to the edge row.
    if (!FMouseCaptured || !Selecting() || GetCapture() != FHandle) return;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    RECT r;
    GetClientRect(FHandle, &r);
    const int top = RowHeightOf(0);
    int y;
    if (p.y >= r.bottom && TopRow() + VisibleRowCount() < RowCount()) {
        SetTopRow(TopRow() + 1);
        y = top + (VisibleRowCount() - 1) * RowHeight() + 1;
    } else if (p.y < top && TopRow() > 2) {
        SetTopRow(TopRow() - 1);
        y = top + 1;
    } else {
        return;
    }
    const int x = std::clamp(static_cast<int>(p.x), ColWidth(0) + ColWidth(1), std::max(0, static_cast<int>(r.right) - 1));
    TCustomHexEditor::MouseMove(KeysToShiftState(MK_LBUTTON), x, y);
}

bool THexEditorControl::DoMouseWheel(bool down, TShiftState shift) {
    if (shift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle)) return false;
    MouseWheelPage(down);
    return true;
}

void THexEditorControl::CMMouseWheel(TMessage& m) {
    const short delta = static_cast<short>(HIWORD(m.WParam));
    TShiftState shift = KeysToShiftState(LOWORD(m.WParam));
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (delta != 0 && DoMouseWheel(delta < 0, shift)) {
        m.Result = 1;
        return;
    }
    TCustomControl::CMMouseWheel(m);
}

}  // namespace hexedit
