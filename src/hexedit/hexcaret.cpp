// Caret, selection, keys, typing and bookmarks of the hex editor core.
#include <algorithm>

#include "hexedit/hexeditor.h"

namespace hexedit {

namespace {
// Restores a member on scope exit (input state of nested key events).
template <class T>
class TRestore {
public:
    TRestore(T& ref, T value) : FRef(ref), FOld(ref) { ref = value; }
    ~TRestore() { FRef = FOld; }

private:
    T& FRef;
    T FOld;
};
}  // namespace

int TCustomHexEditor::CaretPos() const {
    bool inChar;
    return FLayout.GetPosAtCursor(FCol, FRow, inChar);
}

int TCustomHexEditor::ClampCaretPos(int pos) const {
    if (pos >= GetDataSize()) return InsertMode() ? GetDataSize() : GetDataSize() - 1;
    return pos;
}

void TCustomHexEditor::ScrollInView() {
    if (FRow < FTopRow)
        SetTopRow(FRow);
    else if (FRow >= FTopRow + FVisibleRowCount)
        SetTopRow(FRow - FVisibleRowCount + 1);
}

void TCustomHexEditor::PlaceCaret(int col, int row) {
    FCol = col;
    FRow = row;
    FInCharField = FLayout.IsCharCol(col);
    ScrollInView();
    UpdateCaret();
}

bool TCustomHexEditor::MoveCaret(int col, int row) {
    col = std::clamp(col, 2, ColCount() - 1);
    row = std::clamp(row, 2, FRowCount - 1);
    if (!SelectCell(col, row)) return false;
    PlaceCaret(col, row);
    return true;
}

void TCustomHexEditor::MoveToPos(int pos, bool charField) {
    int col, row;
    FLayout.GetCursorAtPos(pos, charField, col, row);
    MoveCaret(col, row);
}

void TCustomHexEditor::MoveToLastPos() {
    MoveToPos(std::max(0, LastCaretPos()), CaretInCharField());
}

bool TCustomHexEditor::SelectCell(int col, int row) {
    const int size = GetDataSize();
    if (!size) {
        bool allowed = row == 2 && (col == 2 || col == FLayout.FirstCharCol());
        if (allowed) {
            FInCharField = FLayout.IsCharCol(col);
            UpdateCaret();
        }
        return allowed;
    }
    if (!FInSelectCell && !(FInputShift & (hsShift | hsLeft))) ResetSelection(true);
    const int p = GetPosAtCursor(col, row);
    int firstCol, r;
    FLayout.GetCursorAtPos(p, false, firstCol, r);
    const bool secondHexCol = !FLayout.IsCharCol(col) && col != firstCol;
    if (p >= size && !(InsertMode() && p == size && !secondHexCol)) {
        if (!FInSelectCell) {
            TRestore<bool> nested(FInSelectCell, true);
            MoveToLastPos();
        }
        return false;
    }
    if (col == FLayout.SeparatorCol()) {
        if ((FInputShift & hsLeft) && !FInSelectCell) {
            TRestore<bool> nested(FInSelectCell, true);
            MoveCaret(col - 1, row);
        }
        return false;
    }
    if (col != FCol || row != FRow) Redraw();
    if (FSelecting) {
        int origin = FSelOrigin == -1 ? CaretPos() : FSelOrigin;
        if (InsertMode()) {
            // Selection between caret places, as in a text editor.
            const int o = AlignToUnit(origin), q = AlignToUnit(p);
            FSelOrigin = o;
            if (o == q) {
                if (FSelAnchor != -1) Redraw();
                FSelAnchor = FSelStart = FSelEnd = -1;
            } else if (q < o) {
                NewSelection(o - FBytesPerUnit, q);
            } else {
                NewSelection(o, q - FBytesPerUnit);
            }
        } else {
            int to = p;
            AlignSelectionToUnits(origin, to);
            FSelOrigin = origin;
            NewSelection(origin, p);
        }
    } else {
        ResetSelection(true);
    }
    FInCharField = FLayout.IsCharCol(col);
    UpdateCaret();
    SelectionChanged();
    return true;
}

// ---- Selection ----------------------------------------------------------------------------

void TCustomHexEditor::AlignSelectionToUnits(int& from, int& to) const {
    const int last = GetDataSize() - 1;
    const int u = FBytesPerUnit;
    if (from <= to) {
        from = AlignToUnit(from);
        to = std::min(last, AlignToUnit(to) + u - 1);
    } else {
        to = AlignToUnit(to);
        from = std::min(last, AlignToUnit(from) + u - 1);
    }
}

void TCustomHexEditor::NewSelection(int from, int to) {
    AlignSelectionToUnits(from, to);
    FSelAnchor = from;
    FSelStart = std::min(from, to);
    FSelEnd = std::max(from, to);
    Redraw();
    SelectionChanged();
}

void TCustomHexEditor::SelectToCell(int col1, int row1, int col2, int row2) {
    bool inChar;
    const int from = FSelAnchor != -1 ? FSelAnchor : FLayout.GetPosAtCursor(col1, row1, inChar);
    NewSelection(from, FLayout.GetPosAtCursor(col2, row2, inChar));
}

void TCustomHexEditor::SetSelectionRange(int anchor, int startPos, int endPos) {
    const int last = GetDataSize() - 1;
    FSelAnchor = std::clamp(anchor, -1, last);
    FSelStart = std::clamp(startPos, -1, last);
    FSelEnd = std::clamp(endPos, -1, last);
}

void TCustomHexEditor::ResetSelection(bool redraw) {
    FSelecting = false;
    const bool had = FSelAnchor != -1;
    FSelAnchor = FSelStart = FSelEnd = -1;
    FSelOrigin = -1;
    if (redraw && had) Redraw();
}

int TCustomHexEditor::GetSelStart() {
    if (FSelAnchor != -1) return FSelAnchor;
    return CaretPos();
}

int TCustomHexEditor::GetSelEnd() {
    if (FSelAnchor == -1) return CaretPos();
    return FSelAnchor == FSelEnd ? FSelStart : FSelEnd;
}

void TCustomHexEditor::SetSelStart(int pos) {
    if (pos < 0 || pos >= GetDataSize()) throw EHexEditor(hexmsg::InvalidSelStart);
    ResetSelection(true);
    MoveToPos(pos, CaretInCharField());
}

void TCustomHexEditor::SetSelEnd(int pos) {
    if (pos < -1 || pos >= GetDataSize()) throw EHexEditor(hexmsg::InvalidSelEnd);
    ResetSelection(true);
    if (pos >= 0) {
        int col, row;
        FLayout.GetCursorAtPos(pos, CaretInCharField(), col, row);
        SelectToCell(FCol, FRow, col, row);
        SelectionChanged();
    }
}

void TCustomHexEditor::SelectAll() {
    if (!GetDataSize()) return;
    MoveToLastPos();
    NewSelection(0, GetDataSize() - 1);
}

int TCustomHexEditor::Seek(int offset, int origin) {
    if (!GetDataSize()) return -1;
    long long target;
    switch (origin) {
        case 0: target = offset; break;
        case 1: target = static_cast<long long>(CaretPos()) + offset; break;
        case 2: target = static_cast<long long>(GetDataSize()) - 1 + offset; break;
        default: target = std::clamp(CaretPos(), 0, GetDataSize() - 1); break;
    }
    const int pos = static_cast<int>(std::clamp<long long>(target, 0, GetDataSize() - 1));
    SetSelStart(pos);
    return pos;
}

bool TCustomHexEditor::GetInCharField() {
    if (!GetDataSize()) return false;
    return CaretInCharField();
}

void TCustomHexEditor::SetInCharField(bool value) {
    if (!GetDataSize() || value == CaretInCharField()) return;
    MoveCaret(FLayout.GetOtherFieldCol(FCol), FRow);
}

// ---- Bookmarks ----------------------------------------------------------------------------

const THexBookmark& TCustomHexEditor::GetBookmark(int index) const {
    if (index < 0 || index > 9) throw EHexEditor(hexmsg::InvalidBookmark);
    return FBookmarks[index];
}

void TCustomHexEditor::SetBookmark(int index, int pos, bool inCharField) {
    if (index < 0 || index > 9) throw EHexEditor(hexmsg::InvalidBookmark);
    THexBookmark& b = FBookmarks[index];
    if (b.Pos == pos && b.InCharField == inCharField)
        b.Pos = -1;
    else
        b.Pos = pos;
    b.InCharField = inCharField;
    Redraw();
    BookmarkChanged();
}

bool TCustomHexEditor::GotoBookmark(int index) {
    if (index < 0 || index > 9) throw EHexEditor(hexmsg::InvalidBookmark);
    THexBookmark& b = FBookmarks[index];
    if (b.Pos == -1) return false;
    ResetSelection(true);
    if (b.Pos >= GetDataSize() && !(InsertMode() && b.Pos == GetDataSize())) {
        b.Pos = -1;
        BookmarkChanged();
        return false;
    }
    MoveToPos(b.Pos, b.InCharField);
    return true;
}

void TCustomHexEditor::ShiftBookmarks(int fromPos, int delta) {
    if (fromPos < 0) return;
    // Steps shift bookmarks as they are recorded, before the data grows: the limit is the
    // size the edit leaves, so a bookmark near the end survives an insert before it.
    const int limit = GetDataSize() + std::max(delta, 0);
    bool moved = false;
    for (THexBookmark& b : FBookmarks) {
        if (b.Pos < fromPos || b.Pos == -1) continue;
        b.Pos += delta;
        if (b.Pos < 0 || b.Pos > limit) b.Pos = -1;
        moved = true;
    }
    if (moved) BookmarkChanged();
}

// ---- Drop marker --------------------------------------------------------------------------

int TCustomHexEditor::CalcDropPosition(int col, int row) {
    col = std::clamp(col, 2, ColCount() - 1);
    row = std::clamp(row, 2, FRowCount - 1);
    bool inChar;
    int pos = std::clamp(FLayout.GetPosAtCursor(col, row, inChar), 0, GetDataSize());
    if (IsSelected(pos)) pos = FSelStart;
    pos = AlignToUnit(pos);
    int c, r;
    FLayout.GetCursorAtPos(pos, inChar, c, r);
    if (!FDropMarkerVisible || c != FDropCol || r != FDropRow) {
        FDropCol = c;
        FDropRow = r;
        FDropMarkerVisible = true;
        Redraw();
    }
    return pos;
}

int TCustomHexEditor::GetDropPosition() const {
    if (!FDropMarkerVisible) return -1;
    bool inChar;
    return AlignToUnit(FLayout.GetPosAtCursor(FDropCol, FDropRow, inChar));
}

void TCustomHexEditor::HideDropMarker() {
    FDropMarkerVisible = false;
    Redraw();
}

// ---- Keys ---------------------------------------------------------------------------------

void TCustomHexEditor::StepBack() {
    const bool charField = CaretInCharField();
    const int step = (FSelecting || (charField && UnicodeChars())) ? FBytesPerUnit : 1;
    const int caret = CaretPos();
    if (charField) {
        MoveToPos(std::max(0, caret - step), true);
    } else if (FSelecting) {
        MoveToPos(AlignToUnit(std::max(0, caret - step)), false);
    } else {
        int firstCol, row;
        FLayout.GetCursorAtPos(caret, false, firstCol, row);
        if (FCol != firstCol) {
            MoveCaret(firstCol, FRow);
        } else if (caret > 0) {
            FLayout.GetCursorAtPos(caret - 1, false, firstCol, row);
            MoveCaret(firstCol + 1, row);
        }
    }
}

void TCustomHexEditor::StepForward() {
    const bool charField = CaretInCharField();
    const int step = (FSelecting || (charField && UnicodeChars())) ? FBytesPerUnit : 1;
    const int caret = CaretPos();
    if (charField) {
        MoveToPos(std::max(0, ClampCaretPos(caret + step)), true);
    } else if (FSelecting) {
        MoveToPos(std::max(0, ClampCaretPos(AlignToUnit(caret + step))), false);
    } else {
        int firstCol, row;
        FLayout.GetCursorAtPos(caret, false, firstCol, row);
        if (FCol == firstCol && caret < GetDataSize()) {
            MoveCaret(firstCol + 1, FRow);
        } else if (caret + 1 < GetDataSize() || (InsertMode() && caret + 1 == GetDataSize())) {
            MoveToPos(caret + 1, false);
        }
    }
}

void TCustomHexEditor::KeyDown(WORD& key, THexShiftState shift) {
    TRestore<THexShiftState> input(FInputShift, shift);
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (!key) return;
    const bool ctrl = shift & hsCtrl, shiftKey = shift & hsShift, alt = shift & hsAlt;
    const bool noModifier = !ctrl && !shiftKey && !alt;
    const bool ctrlAlone = ctrl && !shiftKey && !alt;
    if (noModifier && key != VK_SHIFT && !InsertMode() && HasSelection()) ResetSelection(true);
    const int firstFieldCol = CaretInCharField() ? FLayout.FirstCharCol() : 2;

    switch (key) {
        case VK_BACK:
            if (InsertMode() && !FReadOnlyView) {
                if (HasSelection())
                    DeleteSelection(std::wstring());
                else
                    DeleteUnitAtCaret(true, std::wstring());
            } else if (!ctrl) {
                StepBack();
            }
            break;
        case VK_LEFT:
            if (ctrl)
                MoveCaret(2, FRow);
            else
                StepBack();
            break;
        case VK_TAB:
            if (!ctrl && !alt) MoveCaret(std::max(2, FLayout.GetOtherFieldCol(FCol)), FRow);
            break;
        case 'T':
            if (ctrl) MoveCaret(std::max(2, FLayout.GetOtherFieldCol(FCol)), FRow);
            break;
        case VK_SHIFT:
            if (shiftKey && !alt) FSelecting = true;
            break;
        case VK_PRIOR:
            if (ctrl) {
                MoveCaret(FCol, FTopRow);
            } else {
                const int row = std::max(2, FRow - FVisibleRowCount + 1);
                SetTopRow(std::max(2, FTopRow - FVisibleRowCount + 1));
                MoveCaret(FCol, row);
            }
            break;
        case VK_NEXT:
            if (ctrl) {
                MoveCaret(FCol, std::min(FRowCount - 1, FTopRow + FVisibleRowCount - 1));
            } else {
                const int row = std::min(FRowCount - 1, FRow + FVisibleRowCount - 1);
                SetTopRow(std::min(std::max(2, FRowCount - FVisibleRowCount), FTopRow + FVisibleRowCount - 1));
                MoveCaret(FCol, row);
            }
            break;
        case VK_HOME:
            MoveCaret(firstFieldCol, ctrl ? 2 : FRow);
            break;
        case VK_END:
            if (ctrl) {
                MoveToLastPos();
            } else {
                const bool charField = CaretInCharField();
                int pos = (FRow - 2) * FLayout.BytesPerRow + FLayout.BytesPerRow - 1;
                pos = std::max(0, ClampCaretPos(pos));
                int col, row;
                FLayout.GetCursorAtPos(pos, charField, col, row);
                if (!charField && pos < GetDataSize()) ++col;
                MoveCaret(col, row);
            }
            break;
        case VK_UP:
            if (!ctrl) MoveCaret(FCol, std::max(2, FRow - 1));
            break;
        case VK_DOWN:
            if (!ctrl) MoveCaret(FCol, std::min(FRowCount - 1, FRow + 1));
            break;
        case VK_RIGHT:
            if (ctrl)
                MoveCaret(ColCount() - 1, FRow);
            else
                StepForward();
            break;
        case VK_INSERT:
            if (noModifier) SetInsertMode(!FInsertMode);
            break;
        case VK_DELETE:
            if (!FReadOnlyView) {
                if (HasSelection() && (InsertMode() || ctrlAlone))
                    DeleteSelection(std::wstring());
                else if (InsertMode() || ctrlAlone)
                    DeleteUnitAtCaret(false, std::wstring());
            }
            break;
        default:
            if (key >= '0' && key <= '9' && ctrl) {
                if (shiftKey)
                    SetBookmark(key - '0', CaretPos(), CaretInCharField());
                else
                    GotoBookmark(key - '0');
            }
            break;
    }
}

// ---- Typing -------------------------------------------------------------------------------

void TCustomHexEditor::KeyPress(wchar_t ch) {
    if (OnKeyPress) OnKeyPress(this, ch);
    // Only control codes are refused here; every character from 0x20 up is typed (a CJK
    // character whose low byte happens to be below 0x20 is a character like any other).
    if (FReadOnlyView || ch < 0x20) return;
    const int p = CaretPos();
    if (p >= GetDataSize() && !InsertMode()) return;
    const bool changed = CaretInCharField() ? TypeChar(ch, p) : TypeHex(ch, p);
    if (changed) {
        WORD key = VK_RIGHT;
        KeyDown(key, 0);
    }
}

bool TCustomHexEditor::TypeHex(wchar_t ch, int p) {
    int d;
    if (ch >= L'0' && ch <= L'9')
        d = ch - L'0';
    else if (ch >= L'a' && ch <= L'f')
        d = ch - L'a' + 10;
    else if (ch >= L'A' && ch <= L'F')
        d = ch - L'A' + 10;
    else {
        DoInvalidKey();
        return false;
    }
    if (!InsertMode() && HasSelection()) ResetSelection(true);
    const int size = GetDataSize();
    const uint8_t old = p < size ? ReadByte(p) : 0;
    int firstCol, row;
    FLayout.GetCursorAtPos(p, false, firstCol, row);
    const bool highTyped = FCol - (FSwapNibbles ? 1 : 0) == firstCol || HasSelection();
    const uint8_t value = static_cast<uint8_t>(highTyped ? (d << 4) | (old & 0x0F) : (old & 0xF0) | d);
    if (InsertMode() && ((FCol - 2) % (2 * FBytesPerUnit) == 0 || HasSelection())) {
        std::vector<uint8_t> unit(FBytesPerUnit, 0);
        unit[0] = static_cast<uint8_t>(FSwapNibbles ? d : d << 4);
        if (!size)
            AppendBuffer(unit.data(), FBytesPerUnit, std::wstring(), false);
        else if (!HasSelection())
            InsertBuffer(unit.data(), FBytesPerUnit, p, std::wstring(), false);
        else
            ReplaceSelection(unit.data(), FBytesPerUnit, std::wstring(), false);
        FSelecting = false;
        return true;
    }
    if (p >= size) return false;
    InternalChangeByte(old, value, p, std::wstring());
    return true;
}

bool TCustomHexEditor::TypeChar(wchar_t ch, int p) {
    const bool unicode = UnicodeChars();
    uint8_t b = 0;
    if (!unicode) {
        b = TranslateInputChar(ch);
        if (!b) {
            DoInvalidKey();
            return false;
        }
    }
    if (!InsertMode() && HasSelection()) ResetSelection(true);
    const int size = GetDataSize();
    std::vector<uint8_t> unit(FBytesPerUnit, 0);
    uint16_t word = static_cast<uint16_t>(ch);
    if (unicode && FUnicodeBigEndian) word = static_cast<uint16_t>((word >> 8) | (word << 8));
    if (unicode) {
        unit[0] = static_cast<uint8_t>(word & 0xFF);
        if (unit.size() > 1) unit[1] = static_cast<uint8_t>(word >> 8);
    } else {
        unit[0] = b;
    }
    const uint8_t old = p < size ? ReadByte(p) : 0;
    uint16_t oldWord = 0;
    if (unicode && p + 1 < size) oldWord = static_cast<uint16_t>(ReadByte(p) | (ReadByte(p + 1) << 8));
    if (InsertMode()) {
        if (HasSelection())
            ReplaceSelection(unit.data(), FBytesPerUnit, std::wstring(), false);
        else if (p == size)
            AppendBuffer(unit.data(), FBytesPerUnit, std::wstring(), true);
        else if (p % FBytesPerUnit == 0)
            InsertBuffer(unit.data(), FBytesPerUnit, p, std::wstring(), false);
        else
            InternalChangeByte(old, unit[0], p, std::wstring());
        FSelecting = false;
    } else if (unicode && p + 1 < size) {
        InternalChangeWord(oldWord, static_cast<uint16_t>(unit[0] | (unit[1] << 8)), p, std::wstring());
    } else {
        InternalChangeByte(old, unit[0], p, std::wstring());
    }
    return true;
}

}  // namespace hexedit
