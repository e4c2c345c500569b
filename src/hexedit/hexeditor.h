// The windowless core of the hex editor: bytes, change marks, caret and selection on a
// virtual grid, bookmarks, the properties with their checks, typing and the editing keys,
// block edits with undo and redo, find, and loading and saving.
//
// Layers: THexLayout (hexlayout.h) is pure geometry; TCustomHexEditor is the document and
// the grid state; the control window (THexEditorControl, hexcontrol.h) derives from it, implements
// THexEditorView and passes in the font metrics, the visible row count, the client width
// and the keyboard and mouse input. Without a view the core runs alone (tests, tools).
// The core never reads the system's key state: every input call carries the modifier keys
// and buttons held (THexShiftState); other calls that move the caret (SetSelStart, Seek...)
// act as if none were held.
//
// Threading: one thread (the UI thread) uses an editor. All positions are 0-based byte
// offsets below 2^31. Errors are EHexEditor with the messages of hexcore.h; file errors are
// classlib::EFOpenError.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hexedit/hexcore.h"
#include "hexedit/hexlayout.h"
#include "hexedit/hexundo.h"

namespace classlib {
class TStream;
}

namespace hexedit {

enum THexCaretKind : uint8_t { ckFull, ckLeft, ckBottom, ckAuto };
enum THexProgressKind : uint8_t { pkLoad, pkSave, pkFind };

// Modifier keys and mouse buttons held during an input event.
using THexShiftState = unsigned;
enum : unsigned { hsShift = 1, hsAlt = 2, hsCtrl = 4, hsLeft = 8, hsRight = 16, hsMiddle = 32 };

// The largest minimum digit count an offset format may ask for.
inline constexpr int kMaxOffsetDigits = 255;

// The parsed offset format.
struct THexOffsetFormat {
    enum : unsigned { offCalcWidth = 1, offCalcRow = 2, offCalcColumn = 4, offBytesPerUnit = 8 };
    std::wstring Format;  // empty: no format
    std::wstring Prefix, Suffix;
    int MinWidth = 1;  // 0..kMaxOffsetDigits
    unsigned Flags = 0;
    int Radix = 16;
    int BytesPerUnit = 1;  // an int, so a unit following a 256-byte row divides correctly
};

// What the window on top of the core implements. Every call comes from inside an editor
// operation on the UI thread.
class THexEditorView {
public:
    virtual ~THexEditorView() = default;
    // Repaint the whole control.
    virtual void HexInvalidate() = 0;
    // Row or column counts or widths changed (scroll ranges, caret place).
    virtual void HexLayoutChanged() = 0;
    // The caret cell or the scroll position moved: place the system caret again.
    virtual void HexUpdateCaret() = 0;
    // The caret shape may have changed (caret kind, insert mode, read-only view).
    virtual void HexCaretShapeChanged() = 0;
    // Post HEXM_SELECTIONCHANGED to the window; on arrival call DeliverSelectionChanged.
    virtual void HexPostSelectionChanged() = 0;
    // Push (true) or pop (false) the hourglass cursor.
    virtual void HexBusyCursor(bool busy) = 0;
    virtual bool HexFocused() = 0;
};

class TCustomHexEditor {
public:
    using TNotifyEvent = std::function<void(TCustomHexEditor* sender)>;
    using THexProgressEvent = std::function<void(TCustomHexEditor* sender, THexProgressKind kind,
                                                 const std::wstring& name, uint8_t percent, bool& cancel)>;
    using THexGetOffsetTextEvent = std::function<void(TCustomHexEditor* sender, int64_t number, std::wstring& text)>;
    using TKeyEvent = std::function<void(TCustomHexEditor* sender, WORD& key, THexShiftState shift)>;
    using TKeyPressEvent = std::function<void(TCustomHexEditor* sender, wchar_t& key)>;

    TCustomHexEditor();
    virtual ~TCustomHexEditor();
    TCustomHexEditor(const TCustomHexEditor&) = delete;
    TCustomHexEditor& operator=(const TCustomHexEditor&) = delete;

    // ---- Connection to the window ------------------------------------------------------
    void SetView(THexEditorView* view) { FView = view; }
    // Font metrics: cw = width of "w", rh = height of "yY" + 2. Re-lays the columns.
    void SetCharMetrics(int charWidth, int rowHeight);
    int CharWidth() const { return FLayout.CharWidth; }
    int RowHeight() const { return FLayout.RowHeight; }
    // Client width for the automatic row length; runs the fit when AutoBytesPerRow is on.
    void SetClientWidth(int width);
    void SetVisibleRowCount(int rows) { FVisibleRowCount = rows < 1 ? 1 : rows; }
    int VisibleRowCount() const { return FVisibleRowCount; }
    int TopRow() const { return FTopRow; }
    void SetTopRow(int row);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int col) { FLeftCol = col < 2 ? 2 : col; }
    // Called by the window when HEXM_SELECTIONCHANGED arrives.
    void DeliverSelectionChanged();
    // True while the component is built or loaded (SelectionChanged reports nothing).
    void SetLoading(bool loading) { FLoading = loading; }

    // ---- Grid geometry -----------------------------------------------------------------
    const THexLayout& Layout() const { return FLayout; }
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    int ColCount() const { return FLayout.ColCount(); }
    int RowCount() const { return FRowCount; }
    int ColWidth(int col) const { return col >= 0 && col < static_cast<int>(FColWidths.size()) ? FColWidths[col] : 0; }
    int RowHeightOf(int row) const;
    void CalcSizes();
    void AdjustMetrics();
    // Position of a cell; records the cell's field as InCharField (the painter should use
    // Layout().GetPosAtCursor, which changes nothing).
    int GetPosAtCursor(int col, int row);
    void GetCursorAtPos(int pos, bool inCharField, int& col, int& row) const {
        FLayout.GetCursorAtPos(pos, inCharField, col, row);
    }
    int GetOtherFieldCol(int col);
    int GetRowOfPos(int pos) const { return FLayout.GetRowOfPos(pos); }

    // ---- Data access -------------------------------------------------------------------
    int GetDataSize() const { return FData.Size(); }
    uint8_t ReadByte(int pos) const { return *FData.GetAddress(pos, 1); }
    void WriteByte(int pos, uint8_t value);
    void ReadBuffer(void* dest, int pos, int count) const { FData.ReadAt(dest, pos, count); }
    virtual void WriteBuffer(const void* source, int pos, int count);
    uint8_t* GetDataPointer(int pos, int count) { return FData.GetAddress(pos, count); }
    void MoveData(int fromPos, int toPos, int count) { FData.MoveBytes(fromPos, toPos, count); }
    std::string GetDataAsString() const;
    std::string GetSelectionAsHex() const;
    THexMemoryStream& DataStorage() { return FData; }

    // ---- Properties --------------------------------------------------------------------
    int BytesPerRow() const { return FLayout.BytesPerRow; }
    void SetBytesPerRow(int value);
    bool AutoBytesPerRow() const { return FAutoBytesPerRow; }
    void SetAutoBytesPerRow(bool value);
    int BytesPerColumn() const { return FLayout.BytesPerColumn; }
    void SetBytesPerColumn(int value);
    int BytesPerUnit() const { return FBytesPerUnit; }
    void SetBytesPerUnit(int value);
    int RulerBytesPerUnit() const { return FRulerBytesPerUnit; }
    void SetRulerBytesPerUnit(int value);
    int BytesPerBlock() const { return FLayout.BytesPerBlock; }
    void SetBytesPerBlock(int value);
    bool SeparateBlocksInCharField() const { return FLayout.SeparateBlocksInCharField; }
    void SetSeparateBlocksInCharField(bool value);
    THexTranslationKind Translation() const { return FTranslation; }
    void SetTranslation(THexTranslationKind value);
    const std::wstring& OffsetFormat() const { return FOffsetFormat.Format; }
    void SetOffsetFormat(const std::wstring& value);
    const THexOffsetFormat& ParsedOffsetFormat() const { return FOffsetFormat; }
    bool HexLowerCase() const { return FHexLowerCase; }
    void SetHexLowerCase(bool value);
    int RulerNumberBase() const { return FRulerNumberBase; }
    void SetRulerNumberBase(int value);
    bool ShowRuler() const { return FLayout.ShowRuler; }
    void SetShowRuler(bool value);
    int GutterWidth() const { return FGutterWidth; }
    void SetGutterWidth(int value);
    bool DrawGutter3D() const { return FDrawGutter3D; }
    void SetDrawGutter3D(bool value) { SetFlagAndRedraw(FDrawGutter3D, value); }
    bool DrawGridLines() const { return FDrawGridLines; }
    void SetDrawGridLines(bool value) { SetFlagAndRedraw(FDrawGridLines, value); }
    bool FocusFrame() const { return FFocusFrame; }
    void SetFocusFrame(bool value) { SetFlagAndRedraw(FFocusFrame, value); }
    THexCaretKind CaretKind() const { return FCaretKind; }
    void SetCaretKind(THexCaretKind value);
    // The shape the caret glyph takes: ckAuto resolves to ckBottom in a read-only view,
    // ckLeft in insert mode and ckFull otherwise.
    THexCaretKind CaretShape() const;
    THexColors& Colors() { return FColors; }
    void SetColors(const THexColors& value) { FColors.Assign(&value); }
    THexColor Color() const { return FColor; }
    bool SwapNibbles() const { return FSwapNibbles; }
    void SetSwapNibbles(bool value) { SetFlagAndRedraw(FSwapNibbles, value); }
    wchar_t MaskChar() const { return FMaskChar; }
    void SetMaskChar(wchar_t value);
    bool InsertMode() const { return CanInsertMode() && FInsertMode; }
    void SetInsertMode(bool value);
    bool AllowInsertMode() const { return FAllowInsertMode; }
    void SetAllowInsertMode(bool value);
    bool NoSizeChange() const { return FNoSizeChange; }
    void SetNoSizeChange(bool value);
    bool ReadOnlyView() const { return FReadOnlyView; }
    void SetReadOnlyView(bool value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    bool GraySelectionIfNotFocused() const { return FGraySelectionIfNotFocused; }
    void SetGraySelectionIfNotFocused(bool value);
    bool ShowPositionIfNotFocused() const { return FShowPositionIfNotFocused; }
    void SetShowPositionIfNotFocused(bool value) { SetFlagAndRedraw(FShowPositionIfNotFocused, value); }
    bool UnicodeChars() const { return FLayout.Unicode; }
    void SetUnicodeChars(bool value);
    bool UnicodeBigEndian() const { return FUnicodeBigEndian; }
    void SetUnicodeBigEndian(bool value);
    bool FindProgress() const { return FFindProgress; }
    void SetFindProgress(bool value) { FFindProgress = value; }
    int MaxUndo() const { return FMaxUndo; }
    void SetMaxUndo(int value) { FMaxUndo = value; }
    std::wstring Version() const;
    int EffectiveRulerUnit() const { return FLayout.RulerUnit; }

    // ---- Offsets, ruler, translation ---------------------------------------------------
    void ParseOffsetFormat(const std::wstring& text);
    virtual std::wstring GetOffsetString(uint32_t offset);
    virtual std::wstring GetAnyOffsetString(uint32_t offset);
    void CalcOffsetColumnWidth();
    void UpdateRulerTexts();
    const std::wstring& HexRulerText() const { return FHexRuler; }
    const std::wstring& CharRulerText() const { return FCharRuler; }
    // Text of ruler column `col` (two blanks for the separator, a blank past the texts).
    std::wstring RulerCellText(int col) const;
    // Stored byte for a typed character (0: refused).
    uint8_t TranslateInputChar(wchar_t ch) const;
    // Character shown for a data byte (the mask character for masked values and bytes that
    // are no complete character of the system code page).
    wchar_t TranslateDisplayChar(uint8_t b) const;
    // Text of a data cell (hex digit or character), as the painter shows it.
    std::wstring CellText(int col, int row) const;
    wchar_t HexDigit(int value) const { return FHexDigits[value & 15]; }

    // ---- Caret, selection, bookmarks ---------------------------------------------------
    int GetSelStart();
    int GetSelEnd();
    int GetSelCount() const { return FSelStart < 0 ? 0 : FSelEnd - FSelStart + 1; }
    void SetSelStart(int pos);
    void SetSelEnd(int pos);
    void SelectAll();
    int Seek(int offset, int origin);
    void NewSelection(int from, int to);
    void SelectToCell(int col1, int row1, int col2, int row2);
    void SetSelectionRange(int anchor, int startPos, int endPos);
    void ResetSelection(bool redraw);
    bool IsSelected(int pos) const { return FSelStart >= 0 && pos >= FSelStart && pos <= FSelEnd; }
    bool HasSelection() const { return FSelAnchor != -1; }
    int SelectionAnchor() const { return FSelAnchor; }
    int SelectionFirst() const { return FSelStart; }  // smaller end, -1 without selection
    int SelectionLast() const { return FSelEnd; }     // larger end
    bool GetInCharField();
    void SetInCharField(bool value);
    bool Selecting() const { return FSelecting; }
    void SetSelecting(bool value) { FSelecting = value; }
    // Caret position (the position of the caret cell).
    int CaretPos() const;
    void SetBookmark(int index, int pos, bool inCharField);
    bool GotoBookmark(int index);
    const THexBookmark& GetBookmark(int index) const;
    const THexBookmarks& Bookmarks() const { return FBookmarks; }
    void ShiftBookmarks(int fromPos, int delta);
    // The grid's cell entry: checks, selection rules and caret move. Returns whether the
    // caret moved to (col, row).
    bool MoveCaret(int col, int row);
    // Keys and typing, as the window passes them. KeyDown may change the key.
    virtual void KeyDown(WORD& key, THexShiftState shift);
    void KeyPress(wchar_t ch);  // WM_CHAR / WM_IME_CHAR (one UTF-16 unit)
    // Drop marker (drag and drop into the control). The window maps the mouse point to a
    // cell and scrolls; CalcDropPosition takes that cell, shows the marker on the unit-aligned
    // insertion position (never inside the selection) and returns the position.
    int CalcDropPosition(int col, int row);
    int GetDropPosition() const;
    int DropMarkerCol() const { return FDropCol; }
    int DropMarkerRow() const { return FDropRow; }
    void HideDropMarker();
    bool DropMarkerVisible() const { return FDropMarkerVisible; }

    // ---- Mouse -------------------------------------------------------------------------
    // Points are client coordinates of the window. Columns 0-1 and rows 0-1 are fixed; the
    // others scroll with LeftCol and TopRow.
    bool CellAtPoint(int x, int y, int& col, int& row) const;
    // The cell's rectangle; empty when the cell is scrolled out of view.
    RECT CellRect(int col, int row) const;
    // In insert mode a point in the right half of a cell counts for the next caret place.
    void AdjustMouseCoord(int& x, int& y) const;
    bool IsSelectionAtPoint(int x, int y) const;
    bool IsFixedCellAtPoint(int x, int y) const;
    // A button press. Returns true when the grid's own handling ran (the caret moved to the
    // cell); false for a press on the selection or a fixed cell, after which the window only
    // takes the focus and fires its OnMouseDown itself.
    bool MouseDown(bool leftButton, THexShiftState shift, int x, int y, bool doubleClick);
    // A move; extends a mouse selection while the left button is held. Returns true when the
    // arrow cursor belongs under the point (over the selection or a fixed cell, no button or
    // key held), false for the I-beam.
    bool MouseMove(THexShiftState shift, int x, int y);
    void MouseUp(int x, int y);
    bool PendingClick() const { return FPendingClick; }
    // A wheel notch without modifier keys: one page down or up, then the caret is placed.
    void MouseWheelPage(bool down);
    void CancelPendingClick() { FPendingClick = false; }

    // ---- Editing -----------------------------------------------------------------------
    bool CanInsertMode() const { return !FNoSizeChange && FAllowInsertMode && !FReadOnlyView; }
    void CreateUndo(int kind, int pos, int count, int replCount, const std::wstring& description);
    virtual bool CanCreateUndo(int kind, int count, int replCount);
    void AddMultipleUndo(int count, const std::wstring& description);
    void Undo();
    bool Redo();
    bool CanUndo() const { return !FReadOnlyView && FUndo->CanUndo(); }
    bool CanRedo() const { return !FReadOnlyView && FUndo->CanRedo(); }
    void ResetUndo() { FUndo->Reset(true); }
    virtual int UndoBeginUpdate() { return FUndo->BeginUpdate(); }
    virtual int UndoEndUpdate() { return FUndo->EndUpdate(); }
    THexUndoStorage& UndoStorage() { return *FUndo; }
    const std::wstring& UndoDescription() const { return FUndo->TopDescription(); }
    void InternalChangeByte(uint8_t oldValue, uint8_t newValue, int pos, const std::wstring& description);
    void InternalChangeWord(uint16_t oldValue, uint16_t newValue, int pos, const std::wstring& description);
    void InsertBuffer(const void* buffer, int count, int pos, const std::wstring& description, bool moveCursor);
    void AppendBuffer(const void* buffer, int count, const std::wstring& description, bool moveCursor);
    void ReplaceSelection(const void* buffer, int count, const std::wstring& description, bool moveCursor);
    int InternalReplace(const void* buffer, int pos, int oldCount, int newCount, const std::wstring& description,
                        bool moveCursor);
    void DeleteSelection(const std::wstring& description);
    void DeleteUnitAtCaret(bool backward, const std::wstring& description);
    void InternalDelete(int startPos, int endPos, int col, int row);
    void InternalInsertBuffer(const void* buffer, int count, int pos);
    void InternalAppendBuffer(const void* buffer, int count);
    bool InternalInsertNibble(int pos, bool highNibble);
    bool InternalDeleteNibble(int pos, bool highNibble);
    void SetChanged(int pos, bool value);
    bool HasChanged(int pos) const;
    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }

    // ---- Find --------------------------------------------------------------------------
    // Pattern bytes for Find. The byte form takes ANSI bytes (text in the system code page,
    // or raw bytes with isText false); the wide form takes typed text and widens it to
    // UTF-16 directly in Unicode mode.
    void PrepareFindData(const std::string& text, bool ignoreCase, bool isText, std::string& findData);
    void PrepareFindData(const std::wstring& text, bool ignoreCase, bool isText, std::string& findData);
    int Find(const void* data, int count, int fromPos, int toPos, bool ignoreCase);

    // ---- Load and save -----------------------------------------------------------------
    void CreateEmptyFile(const std::wstring& name);
    void LoadFromStream(classlib::TStream& stream);
    void LoadFromFile(const std::wstring& fileName);
    void SaveToStream(classlib::TStream& stream);
    void SaveToFile(const std::wstring& fileName, bool unmodify);
    virtual void CheckFileWritable();
    bool HasUnsavedChanges() const;
    void CopyStreamWithProgress(classlib::TStream& source, classlib::TStream& dest, long long count,
                                THexProgressKind kind);
    static bool CanOpenFile(const std::wstring& fileName, bool& readOnly);
    const std::wstring& FileName() const { return FFileName; }
    bool IsFileReadOnly() const { return FIsFileReadOnly; }

    // ---- Events ------------------------------------------------------------------------
    THexProgressEvent OnProgress;
    TNotifyEvent OnInvalidKey;
    TNotifyEvent OnTopLeftChanged;
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChanged;
    TNotifyEvent OnBookmarkChanged;
    THexGetOffsetTextEvent OnGetOffsetText;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // Called by THexColors when a colour changed.
    void ColorsChanged(bool background);

protected:
    virtual void SelectionChanged();
    virtual void Changed();
    virtual void BookmarkChanged();
    virtual void DoInvalidKey();

    void Redraw();
    void UpdateCaret();
    void BusyCursor(bool busy);

private:
    friend class THexUndoStorage;

    void SetFlagAndRedraw(bool& field, bool value);
    void OffsetUnitFollows();
    void CheckUnit(int value) const;
    bool SelectCell(int col, int row);
    void PlaceCaret(int col, int row);
    void ScrollInView();
    void AlignSelectionToUnits(int& from, int& to) const;
    int AlignToUnit(int pos) const { return pos - pos % FBytesPerUnit; }
    int ClampCaretPos(int pos) const;
    int LastCaretPos() const { return InsertMode() ? GetDataSize() : GetDataSize() - 1; }
    bool CaretInCharField() const { return FLayout.IsCharCol(FCol); }
    void MoveToLastPos();
    void MoveToPos(int pos, bool charField);
    void StepBack();
    void StepForward();
    bool TypeHex(wchar_t ch, int p);
    bool TypeChar(wchar_t ch, int p);
    void TruncateMarks(int pos);
    void AdjustBytesPerRow();
    void RestoreViewState(const THexUndoStep& step, bool restoreSelection);
    void PlaceCaretFromStep(const THexUndoStep& step);
    void ProgressFind(long long done, long long total);
    void BuildFindTables();

    THexEditorView* FView = nullptr;
    THexLayout FLayout;
    THexMemoryStream FData;
    std::vector<bool> FChanges;
    std::unique_ptr<THexUndoStorage> FUndo;
    THexColors FColors;
    THexColor FColor;

    // Grid state.
    int FCol = 2, FRow = 2, FRowCount = 3, FTopRow = 2, FLeftCol = 2, FVisibleRowCount = 16;
    int FClientWidth = 0;
    std::vector<int> FColWidths;
    bool FInCharField = false;
    bool FLoading = false;
    bool FInSelectCell = false;
    THexShiftState FInputShift = 0;  // modifier state of the input event being handled

    // Selection.
    int FSelAnchor = -1, FSelStart = -1, FSelEnd = -1, FSelOrigin = -1;
    bool FSelecting = false;
    int FSelectionReports = 0;
    THexBookmarks FBookmarks;
    bool FDropMarkerVisible = false;
    bool FPendingClick = false;
    bool FMouseSelecting = false;  // the grid follows the mouse with the left button held
    int FDropCol = 0, FDropRow = 0;

    // Properties.
    bool FAutoBytesPerRow = false;
    bool FInAutoFit = false;
    int FBytesPerUnit = 1;
    int FRulerBytesPerUnit = -1;
    THexTranslationKind FTranslation = tkAsIs;
    THexOffsetFormat FOffsetFormat;
    bool FHexLowerCase = false;
    wchar_t FHexDigits[17];
    int FRulerNumberBase = 16;
    int FGutterWidth = -1;
    bool FDrawGutter3D = true, FDrawGridLines = false, FFocusFrame = true;
    THexCaretKind FCaretKind = ckAuto;
    bool FSwapNibbles = false;
    wchar_t FMaskChar = L'.';
    bool FInsertMode = false, FAllowInsertMode = true, FNoSizeChange = false, FReadOnlyView = false;
    bool FWantTabs = true, FHideSelection = false, FGraySelectionIfNotFocused = false;
    bool FShowPositionIfNotFocused = false;
    bool FUnicodeBigEndian = false;
    bool FFindProgress = false;
    int FMaxUndo = 1048576;
    std::wstring FHexRuler, FCharRuler;
    bool FInOffsetText = false;

    // Find tables.
    uint8_t FIdentityTable[256];
    uint8_t FFoldTable[256];

    // Files.
    std::wstring FFileName = L"---";
    std::wstring FProgressName;
    bool FIsFileReadOnly = true;
    bool FModified = false;
};

}  // namespace hexedit
