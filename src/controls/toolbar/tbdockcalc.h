// The calculations behind docking, as functions over plain records: no window, no DC.
//
// - ArrangeRows: where the windows of one dock go (rows, positions, lengths) once the
//   dock has measured them. TBarDock::ArrangeWindows fills the records, runs it and
//   applies the result to the windows.
// - The drag loop's geometry: whether the pointer is in a dock's docking zone, where the
//   outline goes, which row a drop chooses, and how a floating outline stays reachable.
// - KeepRectInside and KeepCaptionReachable: how a floating window is kept on screen.
//
// Terms: along the rows is the width of a horizontal dock and the height of a vertical
// one; across the rows is the other dimension.
#pragma once

#include <windows.h>

#include <vector>

namespace toolbar {

// How a window gives up length when its row is too short.
enum TBarShrinkMode { tbsmNone, tbsmWrap, tbsmChevron };

// One window of a dock, in the dock's sorted order (by DockRow, then DockPos).
struct TBarArrangeEntry {
    // --- in
    int DockRow = 0;
    int DockPos = -1;          // -1 and positions past the row's end mean "at the end"
    bool Shown = false;        // parented to the dock and visible
    bool NewRow = false;       // the drag loop asks for a row of its own
    bool FullSize = false;
    bool Stretch = false;
    bool Dragged = false;      // the window being dragged
    int FullLength = 0;        // content length along the row plus the docked frame (shown only)
    int MinLength = 0;         // the least length it accepts (a chevron toolbar)
    TBarShrinkMode Shrink = tbsmNone;
    // --- out
    int Row = 0;               // the row the window belongs to after closing up
    int ShownRow = -1;         // the row it is shown in (-1: not shown)
    int Pos = 0;               // arranged position along the row (shown windows)
    int Length = 0;            // arranged length along the row (shown windows)
    bool Overflow = false;     // the dragged window shares a crowded row
};

struct TBarArrangeResult {
    int MaxRow = -1;  // the highest row in use after arranging
};

// Arranges the entries in rows: own rows for new-row and FullSize windows, empty rows
// closed up, rows wrapped where the minimum lengths no longer fit (never the first window
// of a row, never with limitToOneRow), gaps kept where there is room, chevron windows
// shrunk where there is not, FullSize and Stretch windows grown.
TBarArrangeResult ArrangeRows(std::vector<TBarArrangeEntry>& entries, int availableLength, bool limitToOneRow);

// --- the drag loop ----------------------------------------------------------------------

// Bit of a row thickness that marks a row holding a FullSize window.
constexpr int RowHasFullSize = 0x10000;

// The rectangle a window of `size` takes when the grab point stays under `pointer`.
// `grab` is the pressed point relative to the dragged window's outer rectangle and
// `outerMinusOne` that rectangle's size minus one (both directions).
RECT OutlineAtPointer(POINT pointer, POINT grab, SIZE outerMinusOne, SIZE size);

// Whether `pointer` lies in the docking zone of a dock whose window rectangle (screen) is
// `dockRect`, for a window that would be `size` big there: the zone reaches up to 25
// pixels beyond the dock on the side where the window hangs over the pointer.
bool InDockingZone(const RECT& dockRect, bool verticalDock, POINT pointer, POINT grab, SIZE outerMinusOne,
                   SIZE size);

// The row a drop chooses. `middle` is the outline's middle across the rows, in the dock's
// coordinates; `rows` the thickness of each row (RowHasFullSize marks rows holding a
// FullSize window). Answers the row; `newRow` tells that a new row is inserted there.
int ChooseDockRow(int middle, const std::vector<int>& rows, bool draggedFullSize, bool& newRow);

// A floating outline kept reachable inside `workArea`: an outline entirely outside the
// work area shrunk by border + 4 is moved back to touch it, and its top may not be above
// workArea.top - topMargin + 4, so that a part of its caption stays inside.
RECT KeepOutlineReachable(RECT outline, const RECT& workArea, SIZE border, int topMargin);

// Moves `r` into `workArea`: left until its right edge is inside, up until its bottom edge
// is inside, then right until its left edge and down until its top edge is inside.
RECT KeepRectInside(RECT r, const RECT& workArea);

// The new rectangle of a floating frame resized at `edge` (0..7: the hit code minus
// HTLEFT) by `delta` from `start`, kept within the outer size limits (a maximum of 0
// means none) by moving the moving side back.
RECT ResizeFrameRect(const RECT& start, int edge, POINT delta, SIZE minSize, SIZE maxSize);

}  // namespace toolbar
