// The hex editor control window: the core of hexeditor.h on a window of its own.
//
// THexEditorControl is both the window (a TCustomControl) and the editor (a
// TCustomHexEditor): it paints every cell itself into a memory bitmap, shows the caret
// glyph, keeps the scroll bars in step with TopRow and LeftCol, turns the window's mouse,
// key, character and wheel messages into the core's input calls (with the modifier keys
// read from the message or the keyboard at that moment), posts and delivers the
// selection-changed report, and passes the font's metrics to the core.
//
// Name clashes between the two bases are settled here: OnKeyDown, OnKeyPress, Color and
// Changed mean the control's (the window layer's) members; the core's key events stay
// unassigned.
//
// Threading: the main thread only, like every window.
#pragma once

#include <functional>
#include <string>

#include "classlib/control.h"
#include "hexedit/hexeditor.h"

namespace hexedit {

// Private messages of the control window.
constexpr UINT HEXM_UPDATECARET = 0xB100;
constexpr UINT HEXM_SELECTIONCHANGED = 0xB101;

class THexEditorControl;

// OnDrawCell: fired for every painted cell before it is drawn; text and rect (the text
// rectangle, the whole cell for the offset column) are the cell's; clearing defaultDraw
// leaves the cell to the handler.
using THexDrawCellEvent = std::function<void(THexEditorControl* sender, classlib::TCanvas& canvas, int col,
                                             int row, std::wstring& text, const RECT& rect, bool& defaultDraw)>;

// What the painter knows about the cell it is drawing (readable from OnDrawCell).
struct THexDrawState {
    int Position = -1;  // data position; -1 for the offset column, ruler and corner
    bool InHexField = false;
    bool Selected = false;
};

class THexEditorControl : public classlib::TCustomControl, public TCustomHexEditor, protected THexEditorView {
public:
    explicit THexEditorControl(classlib::TComponent* owner);
    ~THexEditorControl() override;

    using classlib::TWinControl::OnKeyDown;
    using classlib::TWinControl::OnKeyPress;
    using classlib::TControl::Color;
    using classlib::TControl::Invalidate;

    // Paints the whole control as it would appear in a client area of width x height onto
    // canvas (the window's paint and tests use this). The canvas gets the control's font.
    void PaintTo(classlib::TCanvas& canvas, int width, int height);
    const THexDrawState& DrawState() const { return FDrawState; }

    // Reads the font's metrics into the core and lays the columns out again.
    void FontMetricsChanged();
    // Rows that fit the client height below the ruler (at least 1).
    int CalcVisibleRowCount(int clientHeight) const;
    // Columns from LeftCol that fit the client width (at least 1).
    int CalcVisibleColCount(int clientWidth) const;
    void SetLeftColumn(int col);
    // The drop marker for a client point while data is dragged over the control: scrolls a
    // row or column when the point is at an edge, shows the marker and returns the
    // unit-aligned insertion position.
    int CalcDropPositionAt(int x, int y);

    bool CanFocus() override;

    THexDrawCellEvent OnDrawCell;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateHandle() override;
    void WndProc(classlib::TMessage& message) override;
    void Paint() override;
    void PaintWindow(HDC dc) override;
    void Resize() override;
    void CMFontChanged(classlib::TMessage& m) override;
    void CMMouseWheel(classlib::TMessage& m) override;
    void WMSetFocus(classlib::TMessage& m) override;
    void WMKillFocus(classlib::TMessage& m) override;

    // Both bases' key hook: the control's OnKeyDown first, then the core's key table.
    void KeyDown(WORD& key, classlib::TShiftState shift) override;
    void KeyPress(wchar_t& key) override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void MouseUp(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    // A wheel notch with the keys and buttons held; true when handled. The base pages
    // without modifiers.
    virtual bool DoMouseWheel(bool down, classlib::TShiftState shift);

    // THexEditorView.
    void HexInvalidate() override;
    void HexLayoutChanged() override;
    void HexUpdateCaret() override;
    void HexCaretShapeChanged() override;
    void HexPostSelectionChanged() override;
    void HexBusyCursor(bool busy) override;
    bool HexFocused() override;

    // Paint lock of the extended control: while above 0 nothing is painted.
    int FPaintLock = 0;
    // Client point of the last button press (double clicks map it to a cell).
    POINT FMouseDownPoint{-1, -1};

private:
    static constexpr UINT_PTR kAutoScrollTimer = 1;
    enum TCellKind { ckData = 0, ckRuler = 1, ckOffset = 2, ckCorner = 3 };
    struct TPaintContext;

    void PaintCellRange(TPaintContext& pc, int firstCol, int firstRow, int left, TCellKind kind, int bottom,
                        int right, int top);
    void PaintDataCell(TPaintContext& pc, int col, int row, const RECT& r);
    void DrawCellText(TPaintContext& pc, int col, int row, const RECT& cell, std::wstring text, COLORREF fill,
                      COLORREF textBack, COLORREF textColor, bool offsetColumn);
    void DrawCaretFrame(TPaintContext& pc, const RECT& r, COLORREF penColor);
    void DrawBookmarks(TPaintContext& pc, int row, const RECT& r);

    void CreateCaretGlyph();
    void DestroyCaretGlyph();
    void UpdateScrollBars();
    void HandleScroll(int bar, int code);
    void AutoScrollTick();
    void ButtonDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y, bool doubleClick);

    THexDrawState FDrawState;
    HBITMAP FCaretBitmap = nullptr;
    bool FCaretCreated = false;
    bool FActiveCharField = false;  // the field painted as active (recorded by caret placement)
    int FPaintedTop = 2, FPaintedLeft = 2;
    int FCaretCol = -1, FCaretRow = -1;  // caret cell at the last placement
    int FCoreKeyDepth = 0;          // inside the core's own key handling (nested key calls)
    int FBusyDepth = 0;
    classlib::TCursor FSavedScreenCursor = 0;
    bool FMouseCaptured = false;
    bool FUpdatingScrollBars = false;
};

// Colour helpers of the painter.
COLORREF InvertColor(COLORREF color);
COLORREF GrayColor(COLORREF color);

}  // namespace hexedit
