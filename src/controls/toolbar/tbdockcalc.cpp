#include "controls/toolbar/tbdockcalc.h"

#include <algorithm>

namespace toolbar {

namespace {

// Moves window `i` and every other window whose row is `from` or later one row down.
void MoveRowsDown(std::vector<TBarArrangeEntry>& e, size_t firstIndex, int from, size_t except) {
    for (size_t k = firstIndex; k < e.size(); ++k) {
        if (k == except || e[k].Row < from) continue;
        ++e[k].Row;
        if (e[k].ShownRow >= 0) e[k].ShownRow = e[k].Row;
    }
}

bool SharesRow(const std::vector<TBarArrangeEntry>& e, size_t i) {
    for (size_t k = 0; k < e.size(); ++k)
        if (k != i && e[k].Row == e[i].Row) return true;
    return false;
}

// Positions, gaps and lengths of the windows shown in one row.
struct TRowSlot {
    size_t Index;
    int Current, Min, Gap = 0, Overlap = 0;
};

void ArrangeOneRow(std::vector<TBarArrangeEntry>& e, std::vector<TRowSlot>& row, int total, int avail) {
    const int count = static_cast<int>(row.size());
    int excess = total - avail;

    // Wanted positions: gaps where there is room, none in a crowded row.
    int cursor = 0, prevEnd = 0, minCursor = 0, dragged = -1, draggedWanted = 0;
    for (int r = 0; r < count; ++r) {
        TBarArrangeEntry& w = e[row[r].Index];
        // -1 is "at the end": right after the window before, neither a gap nor an overlap (an
        // overlap would make the windows before it shrink as if it had been dropped on them).
        int wanted = w.DockPos == -1 ? cursor : w.DockPos;
        if (cursor == 0 && (w.FullSize || w.Stretch)) wanted = 0;
        if (w.Dragged) {
            dragged = r;
            draggedWanted = wanted;
        }
        wanted = std::max(wanted, minCursor);
        int pos = cursor;
        if (wanted > cursor) {
            if (excess <= 0) {
                row[r].Gap = wanted - cursor;
                cursor = wanted;
                pos = wanted;
            }
        } else if (wanted < prevEnd) {
            row[r].Overlap = prevEnd - wanted;
        }
        cursor += row[r].Current;
        prevEnd = pos + row[r].Current;
        minCursor += row[r].Min;
    }

    // The windows before the dragged one give up their gaps so that it lands where it was
    // dropped; the window after it takes them, so the windows behind keep their places.
    if (dragged > 0) {
        int extent = 0;
        for (int r = 0; r < dragged; ++r) extent += row[r].Gap + row[r].Current;
        if (extent > draggedWanted) {
            int need = extent - draggedWanted, taken = 0;
            for (int r = dragged - 1; r >= 0 && need > 0; --r) {
                const int t = std::min(row[r].Gap, need);
                row[r].Gap -= t;
                need -= t;
                taken += t;
            }
            if (dragged + 1 < count) row[dragged + 1].Gap += taken;
        }
    }

    // Gaps shrink from the end until the row fits.
    int extent = 0;
    for (const TRowSlot& s : row) extent += s.Gap + s.Current;
    for (int r = count - 1, over = extent - avail; r >= 0 && over > 0; --r) {
        const int t = std::min(row[r].Gap, over);
        row[r].Gap -= t;
        over -= t;
    }

    if (excess > 0) {
        // A window dropped over its neighbours makes the chevron windows before it shrink.
        int acc = 0;
        for (int r = 0; r < count; ++r) {
            acc = std::min(acc + row[r].Overlap, excess);
            const bool isDragged = r == dragged;
            if (isDragged && count > 1) e[row[r].Index].Overflow = true;
            for (int k = r - 1; k >= 0 && acc > 0; --k) {
                if (e[row[k].Index].Shrink != tbsmChevron) continue;
                const int t = std::min(row[k].Current - row[k].Min, acc);
                row[k].Current -= t;
                excess -= t;
                acc -= t;
            }
            if (isDragged) break;
        }
        // Then every window that can shrink gives up length, the last first.
        for (int r = count - 1; r >= 0 && excess > 0; --r) {
            const TBarShrinkMode mode = e[row[r].Index].Shrink;
            if (mode == tbsmNone || (mode == tbsmWrap && count != 1)) continue;
            const int t = std::min(row[r].Current - row[r].Min, excess);
            row[r].Current -= t;
            excess -= t;
        }
    }

    // Final positions: FullSize and Stretch windows take the room around them.
    cursor = 0;
    for (int r = 0; r < count; ++r) {
        TBarArrangeEntry& w = e[row[r].Index];
        if (w.FullSize || w.Stretch) {
            row[r].Current += row[r].Gap;
            row[r].Gap = 0;
        }
        cursor += row[r].Gap;
        if (w.FullSize) row[r].Current = std::max(row[r].Current, avail);
        if (w.Stretch) {
            if (r + 1 < count) {
                row[r].Current += row[r + 1].Gap;
                row[r + 1].Gap = 0;
            } else {
                row[r].Current = std::max(row[r].Current, avail - cursor);
            }
        }
        w.Pos = cursor;
        w.Length = row[r].Current;
        cursor += row[r].Current;
    }
}

}  // namespace

TBarArrangeResult ArrangeRows(std::vector<TBarArrangeEntry>& e, int avail, bool limitToOneRow) {
    avail = std::max(avail, 0);
    int maxRow = -1;
    for (TBarArrangeEntry& w : e) {
        w.Row = limitToOneRow ? 0 : std::max(w.DockRow, 0);
        w.ShownRow = w.Shown ? w.Row : -1;
        w.Pos = w.Length = 0;
        w.Overflow = false;
        maxRow = std::max(maxRow, w.Row);
    }

    // Rows of their own: first for a window dropped as a new row, then for FullSize ones.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0 && limitToOneRow) continue;
        for (int j = 0; j <= maxRow; ++j) {
            for (size_t i = 0; i < e.size(); ++i) {
                const bool flagged = pass == 0 ? e[i].NewRow : e[i].FullSize;
                if (!flagged || e[i].Row != j || !SharesRow(e, i)) continue;
                MoveRowsDown(e, 0, j, i);
                ++maxRow;
            }
        }
    }

    // Rows that no window uses are closed up.
    for (int j = 0; j <= maxRow;) {
        const bool used = std::any_of(e.begin(), e.end(), [j](const TBarArrangeEntry& w) { return w.Row == j; });
        if (used) {
            ++j;
            continue;
        }
        for (TBarArrangeEntry& w : e) {
            if (w.Row <= j) continue;
            --w.Row;
            if (w.ShownRow >= 0) w.ShownRow = w.Row;
        }
        --maxRow;
    }

    for (int j = 0; j <= maxRow; ++j) {
        std::vector<TRowSlot> row;
        int runningMin = 0, total = 0;
        for (size_t i = 0; i < e.size(); ++i) {
            TBarArrangeEntry& w = e[i];
            if (w.ShownRow != j) continue;
            const int full = std::max(w.FullLength, 0);
            const int min = std::clamp(w.MinLength, 0, full);
            runningMin += w.Shrink == tbsmChevron ? min : full;
            if (!row.empty() && runningMin > avail && !limitToOneRow) {
                // Wrap: this window and the ones after it go one row down.
                MoveRowsDown(e, i, j, e.size());
                ++maxRow;
                break;
            }
            total += full;
            row.push_back({i, full, min});
        }
        ArrangeOneRow(e, row, total, avail);
    }
    return {maxRow};
}

RECT OutlineAtPointer(POINT pointer, POINT grab, SIZE outerMinusOne, SIZE size) {
    const int dx = outerMinusOne.cx > 0 ? MulDiv(size.cx - 1, grab.x, outerMinusOne.cx) : 0;
    const int dy = outerMinusOne.cy > 0 ? MulDiv(size.cy - 1, grab.y, outerMinusOne.cy) : 0;
    const LONG left = pointer.x - dx, top = pointer.y - dy;
    return {left, top, left + size.cx, top + size.cy};
}

bool InDockingZone(const RECT& dockRect, bool verticalDock, POINT pointer, POINT grab, SIZE outerMinusOne,
                   SIZE size) {
    RECT z = dockRect;
    InflateRect(&z, 3, 3);
    const int ax = outerMinusOne.cx > 0 ? MulDiv(25, grab.x, outerMinusOne.cx) : 0;
    const int ay = outerMinusOne.cy > 0 ? MulDiv(25, grab.y, outerMinusOne.cy) : 0;
    if (pointer.x < z.left - 25 + ax || pointer.x >= z.right + ax) return false;
    if (pointer.y < z.top - 25 + ay || pointer.y >= z.bottom + ay) return false;
    if (verticalDock && (pointer.y < z.top || pointer.y >= z.bottom)) return false;
    const RECT outline = OutlineAtPointer(pointer, grab, outerMinusOne, size);
    RECT common;
    return IntersectRect(&common, &outline, &z) != FALSE;
}

int ChooseDockRow(int middle, const std::vector<int>& rows, bool draggedFullSize, bool& newRow) {
    int sum = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int thickness = rows[i] & 0xFFFF;
        if (thickness == 0) continue;
        const bool fullSize = draggedFullSize || (rows[i] & RowHasFullSize);
        const int d = fullSize ? thickness / 2 : thickness / 4;
        if (middle < sum + d) {
            newRow = true;
            return static_cast<int>(i);
        }
        sum += thickness;
        if (!fullSize && middle < sum - d) {
            newRow = false;
            return static_cast<int>(i);
        }
    }
    newRow = true;
    return static_cast<int>(rows.size());
}

RECT KeepOutlineReachable(RECT r, const RECT& a, SIZE border, int topMargin) {
    RECT inner = a;
    InflateRect(&inner, -(border.cx + 4), -(border.cy + 4));
    if (r.bottom <= inner.top)
        OffsetRect(&r, 0, inner.top - r.bottom);
    else if (r.top >= inner.bottom)
        OffsetRect(&r, 0, inner.bottom - r.top);
    if (r.right <= inner.left)
        OffsetRect(&r, inner.left - r.right, 0);
    else if (r.left >= inner.right)
        OffsetRect(&r, inner.right - r.left, 0);
    const LONG highest = a.top - topMargin + 4;
    if (r.top < highest) OffsetRect(&r, 0, highest - r.top);
    return r;
}

RECT KeepRectInside(RECT r, const RECT& a) {
    if (r.right > a.right) OffsetRect(&r, a.right - r.right, 0);
    if (r.bottom > a.bottom) OffsetRect(&r, 0, a.bottom - r.bottom);
    if (r.left < a.left) OffsetRect(&r, a.left - r.left, 0);
    if (r.top < a.top) OffsetRect(&r, 0, a.top - r.top);
    return r;
}

RECT ResizeFrameRect(const RECT& start, int edge, POINT delta, SIZE minSize, SIZE maxSize) {
    const bool horizontal = edge == 0 || edge == 1 || edge == 3 || edge == 4 || edge == 6 || edge == 7;
    const bool leftSide = edge == 0 || edge == 3 || edge == 6;
    const bool vertical = edge >= 2 && edge <= 7;
    const bool topSide = edge >= 2 && edge <= 4;
    RECT r = start;
    if (horizontal) {
        (leftSide ? r.left : r.right) += delta.x;
        LONG width = r.right - r.left;
        if (width < minSize.cx) width = minSize.cx;
        else if (maxSize.cx > 0 && width > maxSize.cx) width = maxSize.cx;
        if (leftSide)
            r.left = r.right - width;
        else
            r.right = r.left + width;
    }
    if (vertical) {
        (topSide ? r.top : r.bottom) += delta.y;
        LONG height = r.bottom - r.top;
        if (height < minSize.cy) height = minSize.cy;
        else if (maxSize.cy > 0 && height > maxSize.cy) height = maxSize.cy;
        if (topSide)
            r.top = r.bottom - height;
        else
            r.bottom = r.top + height;
    }
    return r;
}

}  // namespace toolbar
