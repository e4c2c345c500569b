// The layout of one view as a function over measured sizes: no window, no DC, no viewer
// objects. The view (TBarView) measures its viewers, fills one entry per viewer, runs
// LayoutViewers and copies the results back; trial layouts of docks and floating
// toolbars run it without copying anything.
//
// Terms: the length of a rectangle is its width when the orientation is not vertical and
// its height when it is; the thickness is the other dimension. A line is a row of a
// horizontal view (a column of a vertical one); a view wraps to a new line where an item
// would pass the wrap offset.
#pragma once

#include "controls/toolbar/tbitem.h"

#include <windows.h>

#include <vector>

namespace toolbar {

enum TBarViewOrientation { tbvoHorizontal, tbvoVertical, tbvoFloating };

// Height of the band a scroll arrow takes at the top or bottom of a long popup.
constexpr int ScrollArrowBandHeight = 19;
// Thickness of the gap a separator leaves where a toolbar line was wrapped.
constexpr int LineSeparatorThickness = 6;
// The size a view reports when nothing in it is shown.
constexpr SIZE EmptyViewSize{23, 22};

// One viewer, as the view measured it (in) and as the layout placed it (out).
struct TBarLayoutEntry {
    // --- in
    SIZE Size{};               // natural width and height
    bool Candidate = false;    // wants to be shown (visible item, control on the window...)
    bool Separator = false;
    bool Control = false;      // a control item's viewer
    bool ButtonSized = false;  // toolbar-sized: flows in a row even inside a menu
    bool SameWidth = false;    // all such entries get the largest such width
    bool Chevron = false;      // the chevron's viewer (the last entry)
    TBarItemStyle Style = 0;   // tbstRightAlign, tbstNoLineBreak and tbstStretch matter here
    // --- out
    RECT Rect{};
    bool Show = false;
    bool OffEdge = false;        // hidden because it did not fit before the chevron
    bool Clipped = false;        // hidden because a scroll arrow band covers it
    bool LineSeparator = false;  // a separator at which a toolbar line was wrapped
};

struct TBarLayoutParams {
    TBarViewOrientation Orientation = tbvoHorizontal;
    int WrapOffset = 0;     // line length at which items wrap; 0 = no wrapping
    int ChevronOffset = 0;  // position from which the chevron takes the room; 0 = none
    int ChevronSize = 0;
    bool IsToolbar = false;
    bool ChevronPopup = false;  // the view of a chevron popup
    bool HasChevron = false;    // the last entry is the chevron's
    RECT Margins{};             // left, top, right, bottom
    int MaxHeight = 0;          // height from which a popup scrolls; 0 = never
    int ScrollOffset = 0;
    // Entry indexes in priority order, highest first; empty: the entries' own order.
    std::vector<int> Priority;
};

struct TBarLayoutResult {
    SIZE BaseSize{};        // all shown entries on one line, before the chevron hid any
    SIZE TotalSize{};       // in: the least size (0, 0 for none); out: the view's size
    int WrappedLines = 1;
    bool ChevronActive = false;    // the chevron took room (and is shown)
    bool ChevronHasItems = false;  // something other than a control went behind it
    bool ShowUpArrow = false, ShowDownArrow = false;
    int ScrollOffset = 0;          // clamped to what the content allows
};

// Places the entries. `result.TotalSize` must hold the least size on entry.
void LayoutViewers(std::vector<TBarLayoutEntry>& entries, const TBarLayoutParams& params, TBarLayoutResult& result);

}  // namespace toolbar
