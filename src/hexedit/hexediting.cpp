// Edits of the hex editor core: the undo gate, byte changes, block inserts, appends,
// replaces and deletes, nibble shifts and the change marks.
#include <algorithm>
#include <cstring>

#include "hexedit/hexeditor.h"

namespace hexedit {

// ---- Undo gate ----------------------------------------------------------------------------

bool TCustomHexEditor::CanCreateUndo(int kind, int count, int replCount) {
    bool allowed = GetDataSize() > 0 || kind == ukInsert || kind == ukAppend || kind == ukAllSaved;
    if (FNoSizeChange) {
        if (kind == ukRemove || kind == ukInsert || kind == ukAppend || kind == ukInsertNibble ||
            kind == ukDeleteNibble || (kind == ukReplace && count != replCount))
            allowed = false;
    }
    if (!allowed && kind == ukMultiple && FUndo->StepCount() >= count) allowed = true;
    return allowed;
}

void TCustomHexEditor::CreateUndo(int kind, int pos, int count, int replCount, const std::wstring& description) {
    if (!CanCreateUndo(kind, count, replCount)) throw EHexEditor(hexmsg::CannotUndo);
    if (FUndo->UpdateLevel() == 0) FUndo->AddStep(kind, pos, count, replCount, description);
    FModified = true;
}

void TCustomHexEditor::AddMultipleUndo(int count, const std::wstring& description) {
    CreateUndo(ukMultiple, 0, count, 0, description);
}

void TCustomHexEditor::Undo() { FUndo->Undo(); }

bool TCustomHexEditor::Redo() { return FUndo->Redo(); }

// ---- Change marks -------------------------------------------------------------------------

void TCustomHexEditor::SetChanged(int pos, bool value) {
    if (InsertMode()) FChanges.clear();
    if (pos < 0) return;
    if (value) {
        if (static_cast<int>(FChanges.size()) <= pos) FChanges.resize(pos + 1, false);
        FChanges[pos] = true;
    } else if (pos < static_cast<int>(FChanges.size())) {
        FChanges[pos] = false;
    }
}

bool TCustomHexEditor::HasChanged(int pos) const {
    if (InsertMode() || pos < 0 || pos >= static_cast<int>(FChanges.size())) return false;
    return FChanges[pos];
}

void TCustomHexEditor::TruncateMarks(int pos) {
    if (pos >= 0 && static_cast<int>(FChanges.size()) >= pos) FChanges.resize(pos);
}

// ---- Byte changes -------------------------------------------------------------------------

void TCustomHexEditor::InternalChangeByte(uint8_t oldValue, uint8_t newValue, int pos,
                                          const std::wstring& description) {
    if (oldValue == newValue) return;
    CreateUndo(ukChangeBytes, pos, 1, 0, description);
    FData.WriteAt(&newValue, pos, 1);
    if (!InsertMode()) SetChanged(pos, true);
    Redraw();
    Changed();
}

void TCustomHexEditor::InternalChangeWord(uint16_t oldValue, uint16_t newValue, int pos,
                                          const std::wstring& description) {
    if (oldValue == newValue) return;
    CreateUndo(ukChangeBytes, pos, 2, 0, description);
    const uint8_t bytes[2] = {static_cast<uint8_t>(newValue & 0xFF), static_cast<uint8_t>(newValue >> 8)};
    FData.WriteAt(bytes, pos, 2);
    if (!InsertMode()) {
        SetChanged(pos, (oldValue & 0xFF) != (newValue & 0xFF));
        SetChanged(pos + 1, (oldValue >> 8) != (newValue >> 8));
    }
    Redraw();
    Changed();
}

// ---- Raw block operations (no undo step) --------------------------------------------------

void TCustomHexEditor::InternalInsertBuffer(const void* buffer, int count, int pos) {
    if (count <= 0) return;
    if (!GetDataSize()) {
        FChanges.clear();
        pos = 0;
    }
    FData.InsertGap(pos, count);
    if (buffer)
        FData.WriteAt(buffer, pos, count);
    else
        std::memset(FData.GetAddress(pos, count), 0, count);
    CalcSizes();
}

void TCustomHexEditor::InternalAppendBuffer(const void* buffer, int count) {
    InternalInsertBuffer(buffer, count, GetDataSize());
}

void TCustomHexEditor::InternalDelete(int startPos, int endPos, int col, int row) {
    FData.Remove(startPos, endPos - startPos);
    CalcSizes();
    const bool charField = col >= 0 ? FLayout.IsCharCol(col) : CaretInCharField();
    if (!GetDataSize()) {
        PlaceCaret(charField ? FLayout.FirstCharCol() : 2, 2);
    } else if (col >= 0) {
        bool inChar;
        if (FLayout.GetPosAtCursor(col, row, inChar) >= GetDataSize()) {
            int c, r;
            FLayout.GetCursorAtPos(std::max(0, LastCaretPos()), charField, c, r);
            PlaceCaret(c, r);
        } else {
            PlaceCaret(col, row);
        }
    } else if (CaretPos() > LastCaretPos()) {
        // Keep the caret on the data when no target was given.
        int c, r;
        FLayout.GetCursorAtPos(std::max(0, LastCaretPos()), charField, c, r);
        PlaceCaret(c, r);
    }
    ResetSelection(false);
    Redraw();
}

// ---- Block edits with undo ----------------------------------------------------------------

void TCustomHexEditor::InsertBuffer(const void* buffer, int count, int pos, const std::wstring& description,
                                    bool moveCursor) {
    if (count <= 0) return;
    // Checked before the step is recorded: a step for an edit that never happened would
    // make its undo remove bytes that were not inserted.
    if (pos < 0 || pos > GetDataSize()) throw EHexEditor(hexmsg::DataBounds);
    CreateUndo(ukInsert, pos, count, 0, description);
    InternalInsertBuffer(buffer, count, pos);
    TruncateMarks(pos);
    SetSelectionRange(pos, pos, pos + count - 1);
    if (moveCursor) {
        const bool charField = CaretInCharField();
        int col, row;
        FLayout.GetCursorAtPos(pos + count - 1, charField, col, row);
        PlaceCaret(col, row);
        SetSelectionRange(pos, pos, pos + count - 1);
    }
    Redraw();
    Changed();
}

void TCustomHexEditor::AppendBuffer(const void* buffer, int count, const std::wstring& description,
                                    bool moveCursor) {
    if (!buffer || count <= 0) return;
    const int oldSize = GetDataSize();
    CreateUndo(ukAppend, oldSize, count, 0, description);
    TruncateMarks(oldSize);
    InternalAppendBuffer(buffer, count);
    if (moveCursor) {
        int col, row;
        FLayout.GetCursorAtPos(oldSize, CaretInCharField(), col, row);
        PlaceCaret(col, row);
    }
    SetSelectionRange(oldSize, oldSize, oldSize + count - 1);
    Redraw();
    Changed();
}

void TCustomHexEditor::ReplaceSelection(const void* buffer, int count, const std::wstring& description,
                                        bool moveCursor) {
    if (!HasSelection()) {
        InsertBuffer(buffer, count, GetSelStart(), description, moveCursor);
        return;
    }
    if (FNoSizeChange) {
        if (count > GetSelCount()) {
            count = GetSelCount();
        } else if (GetSelCount() > count) {
            const int first = FSelStart;
            SetSelStart(first);
            SetSelEnd(first + count - 1);
        }
    }
    const int start = FSelStart, replaced = GetSelCount();
    const bool charField = CaretInCharField();
    CreateUndo(ukReplace, start, count, replaced, description);
    int col, row;
    FLayout.GetCursorAtPos(start, charField, col, row);
    InternalDelete(start, start + replaced, col, row);
    InternalInsertBuffer(buffer, count, start);
    TruncateMarks(start);
    if (moveCursor && count > 0) {
        FLayout.GetCursorAtPos(start + count - 1, charField, col, row);
        PlaceCaret(col, row);
    }
    if (count > 0) SetSelectionRange(start + count - 1, start, start + count - 1);
    Redraw();
    Changed();
}

int TCustomHexEditor::InternalReplace(const void* buffer, int pos, int oldCount, int newCount,
                                      const std::wstring& description, bool moveCursor) {
    if (pos < 0 || pos > GetDataSize() || oldCount < 0 || newCount < 0 || (newCount > 0 && !buffer))
        throw EHexEditor(hexmsg::DataBounds);
    const int available = GetDataSize() - pos;
    if (oldCount > available) {
        if (newCount == oldCount) newCount = available;
        oldCount = available;
    }
    if (FNoSizeChange) oldCount = newCount = std::min(oldCount, newCount);
    CreateUndo(ukReplace, pos, newCount, oldCount, description);
    if (!moveCursor && FUndo->UpdateLevel() == 0) FUndo->SetStepSelection(pos, oldCount);
    if (oldCount > newCount)
        InternalDelete(pos, pos + oldCount - newCount, -1, -1);
    else if (newCount > oldCount)
        InternalInsertBuffer(nullptr, newCount - oldCount, pos);
    if (newCount > 0) WriteBuffer(buffer, pos, newCount);
    TruncateMarks(pos);
    if (moveCursor) {
        int col, row;
        FLayout.GetCursorAtPos(pos, CaretInCharField(), col, row);
        PlaceCaret(std::min(col, ColCount() - 1), std::min(row, FRowCount - 1));
    }
    Redraw();
    Changed();
    return newCount;
}

void TCustomHexEditor::DeleteSelection(const std::wstring& description) {
    int start, end;
    if (HasSelection()) {
        start = FSelStart;
        end = FSelEnd + 1;
    } else {
        start = CaretPos();
        end = start + 1;
        if (start >= GetDataSize()) return;  // nothing under the caret on the append position
    }
    int col, row;
    FLayout.GetCursorAtPos(start, CaretInCharField(), col, row);
    CreateUndo(ukRemove, start, end - start, 0, description);
    TruncateMarks(start);
    InternalDelete(start, end, col, row);
    Changed();
}

void TCustomHexEditor::DeleteUnitAtCaret(bool backward, const std::wstring& description) {
    const int size = GetDataSize();
    if (!size) return;
    const int caret = CaretPos();
    const int a = AlignToUnit(std::clamp(caret, 0, size - 1));
    int n = FBytesPerUnit;
    if (backward) {
        int b = a;
        if (InsertMode() && !HasSelection()) {
            b = caret;
            if (b == size && size % FBytesPerUnit != 0)
                n = 1;
            else
                b = AlignToUnit(b);
        }
        if (b == 0) return;
        n = std::min(n, b);
        CreateUndo(ukRemove, b - n, n, 0, description);
        InternalDelete(b - n, b, FCol, FRow);
        if (b == a) Seek(b - n, 0);
        Changed();
    } else {
        if (a >= size) return;
        n = std::min(FBytesPerUnit, size - a);
        CreateUndo(ukRemove, a, n, 0, description);
        InternalDelete(a, a + n, FCol, FRow);
        Changed();
    }
}

// ---- Nibbles ------------------------------------------------------------------------------

bool TCustomHexEditor::InternalInsertNibble(int pos, bool highNibble) {
    const int size = GetDataSize();
    if (!size) return false;
    uint8_t* d = FData.GetAddress(pos, 1);
    const uint8_t first = d[0];
    const uint8_t last = FData.Data()[size - 1];
    FData.SetSize(size + 1);
    uint8_t* data = FData.Data();
    data[size] = static_cast<uint8_t>(last << 4);
    for (int i = size - 1; i > pos; --i) data[i] = static_cast<uint8_t>((data[i] >> 4) | (data[i - 1] << 4));
    data[pos] = highNibble ? static_cast<uint8_t>(first >> 4) : static_cast<uint8_t>(first & 0xF0);
    CalcSizes();
    return true;
}

bool TCustomHexEditor::InternalDeleteNibble(int pos, bool highNibble) {
    const int size = GetDataSize();
    if (!size) return false;
    FData.GetAddress(pos, 1);  // range check
    uint8_t* data = FData.Data();
    const uint8_t first = data[pos];
    for (int i = pos; i < size - 1; ++i) data[i] = static_cast<uint8_t>((data[i] << 4) | (data[i + 1] >> 4));
    data[size - 1] = static_cast<uint8_t>(data[size - 1] << 4);
    if (!highNibble) data[pos] = static_cast<uint8_t>((first & 0xF0) | (data[pos] & 0x0F));
    CalcSizes();
    return true;
}

}  // namespace hexedit
