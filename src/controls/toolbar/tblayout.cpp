#include "controls/toolbar/tblayout.h"

#include <algorithm>

namespace toolbar {

namespace {

class TLayout {
public:
    TLayout(std::vector<TBarLayoutEntry>& entries, const TBarLayoutParams& params, TBarLayoutResult& result)
        : E(entries), P(params), R(result), Vertical(params.Orientation == tbvoVertical) {}

    void Run();

private:
    int Len(const SIZE& s) const { return Vertical ? s.cy : s.cx; }
    int Thick(const SIZE& s) const { return Vertical ? s.cx : s.cy; }
    LONG& Along(POINT& p) const { return Vertical ? p.y : p.x; }
    LONG& Across(POINT& p) const { return Vertical ? p.x : p.y; }
    LONG& AlongOf(SIZE& s) const { return Vertical ? s.cy : s.cx; }
    LONG& AcrossOf(SIZE& s) const { return Vertical ? s.cx : s.cy; }
    int RectAlongStart(const RECT& r) const { return Vertical ? r.top : r.left; }
    int RectAlongEnd(const RECT& r) const { return Vertical ? r.bottom : r.right; }
    bool IsItem(size_t i) const { return !E[i].Chevron; }

    void HideMisplacedSeparators();
    void HideTrailingSeparators();
    int ShownLength() const;
    void ApplyChevron(int baseLength);
    void Place();
    void Position(size_t i);
    void FinishLine(size_t last, bool lastLine);
    void Grow(const RECT& r);
    void Mirror();
    void Scroll();

    std::vector<TBarLayoutEntry>& E;
    const TBarLayoutParams& P;
    TBarLayoutResult& R;
    const bool Vertical;
    SIZE Total{};
    int Wrap = 0;
    int ChevronAt = 0;
    POINT Pos{};
    // The open line: its first entry (-1: none), and its tallest and widest entries.
    long LineStart = -1;
    int Tallest = 0, Widest = 0;
    bool GroupSplit = false, DidWrap = false;
    int Lines = 1;
    int PlacedBottom = 0;
};

// A separator never stands first, after another shown separator, or last.
void TLayout::HideMisplacedSeparators() {
    bool previousWasSeparator = true;  // nothing shown yet counts as a separator before
    for (size_t i = 0; i < E.size(); ++i) {
        if (!IsItem(i) || !E[i].Show) continue;
        if (E[i].Separator && previousWasSeparator) {
            E[i].Show = false;
            continue;
        }
        previousWasSeparator = E[i].Separator;
    }
    HideTrailingSeparators();
}

void TLayout::HideTrailingSeparators() {
    for (size_t i = E.size(); i-- > 0;) {
        if (!IsItem(i) || !E[i].Show) continue;
        if (!E[i].Separator) break;
        E[i].Show = false;
    }
}

int TLayout::ShownLength() const {
    int length = 0;
    for (size_t i = 0; i < E.size(); ++i)
        if (IsItem(i) && E[i].Show) length += Len(E[i].Size);
    return length;
}

// Hides entries from the lowest priority on until the rest fits before the chevron; at
// least two shown entries that are not separators always stay.
void TLayout::ApplyChevron(int baseLength) {
    if (!P.HasChevron || P.ChevronOffset <= 0 || P.ChevronOffset >= baseLength) return;
    R.ChevronActive = true;
    ChevronAt = P.ChevronOffset - P.ChevronSize;
    int length = baseLength;
    while (length > ChevronAt) {
        int buttons = 0;
        long lastShown = -1;
        for (size_t i = 0; i < E.size(); ++i) {
            if (!IsItem(i) || !E[i].Show) continue;
            lastShown = static_cast<long>(i);
            if (!E[i].Separator) ++buttons;
        }
        if (buttons <= 2) break;
        if (E[static_cast<size_t>(lastShown)].Separator) {
            E[static_cast<size_t>(lastShown)].Show = false;
        } else {
            long victim = -1;
            const size_t count = P.Priority.empty() ? E.size() : P.Priority.size();
            for (size_t k = count; k-- > 0;) {
                const size_t i = P.Priority.empty() ? k : static_cast<size_t>(P.Priority[k]);
                if (i < E.size() && IsItem(i) && E[i].Show && !E[i].Separator) {
                    victim = static_cast<long>(i);
                    break;
                }
            }
            if (victim < 0) break;
            TBarLayoutEntry& v = E[static_cast<size_t>(victim)];
            v.Show = false;
            v.OffEdge = true;
            if (!v.Control) R.ChevronHasItems = true;
        }
        HideMisplacedSeparators();
        length = ShownLength();
    }
}

void TLayout::Grow(const RECT& r) {
    Total.cx = std::max<LONG>(Total.cx, r.right);
    Total.cy = std::max<LONG>(Total.cy, r.bottom);
}

void TLayout::Position(size_t i) {
    TBarLayoutEntry& e = E[i];
    if (LineStart < 0) {
        LineStart = static_cast<long>(i);
        Tallest = Widest = 0;
    }
    if (Wrap > 0 && static_cast<long>(i) != LineStart) {
        const int end = Along(Pos) + Len(e.Size);
        if (e.Separator) {
            // The group after the separator: the shown entries up to the next separator.
            int group = 0;
            for (size_t j = i + 1; j < E.size(); ++j) {
                if (!IsItem(j) || !E[j].Show) continue;
                if (E[j].Separator) break;
                group += Len(E[j].Size);
            }
            if ((GroupSplit && !(e.Style & tbstNoLineBreak)) || end + group > Wrap) {
                DidWrap = true;
                ++Lines;
                Along(Pos) = Vertical ? P.Margins.top : P.Margins.left;
                Across(Pos) += Vertical ? Widest : Tallest;
                FinishLine(i - 1, false);
                // The separator becomes the gap between the lines; the next line starts after it.
                e.LineSeparator = true;
                e.Size = Vertical ? SIZE{LineSeparatorThickness, 0} : SIZE{0, LineSeparatorThickness};
                e.Rect = {std::max(0, static_cast<int>(Pos.x)), std::max(0, static_cast<int>(Pos.y)), 0, 0};
                e.Rect.right = e.Rect.left + e.Size.cx;
                e.Rect.bottom = e.Rect.top + e.Size.cy;
                return;
            }
        } else if (end > Wrap) {
            DidWrap = true;
            ++Lines;
            const int thickness = Vertical ? Widest : Tallest;
            Along(Pos) = Vertical ? P.Margins.top : P.Margins.left;
            Across(Pos) += thickness;
            GroupSplit = true;
            FinishLine(i - 1, false);
            LineStart = static_cast<long>(i);
            Tallest = Widest = 0;
        }
    }
    Tallest = std::max<int>(Tallest, e.Size.cy);
    Widest = std::max<int>(Widest, e.Size.cx);
    e.Rect.left = std::max(0, static_cast<int>(Pos.x));
    e.Rect.top = std::max(0, static_cast<int>(Pos.y));
    e.Rect.right = e.Rect.left + e.Size.cx;
    e.Rect.bottom = e.Rect.top + e.Size.cy;
}

void TLayout::FinishLine(size_t last, bool lastLine) {
    if (LineStart < 0) return;
    const size_t first = static_cast<size_t>(LineStart);
    if (DidWrap && !P.ChevronPopup && P.Orientation != tbvoFloating) AlongOf(Total) = std::max<LONG>(AlongOf(Total), Wrap);
    long rightAligned = -1;
    for (size_t i = first; i <= last && i < E.size(); ++i) {
        TBarLayoutEntry& e = E[i];
        if (!IsItem(i) || !e.Show || e.LineSeparator) continue;
        if (rightAligned < 0 && (e.Style & tbstRightAlign)) rightAligned = static_cast<long>(i);
        if (P.IsToolbar) {
            int thickness = Vertical ? Widest : Tallest;
            if (lastLine && !DidWrap && P.Orientation != tbvoFloating) thickness = AcrossOf(Total);
            LONG& start = Vertical ? e.Rect.left : e.Rect.top;
            LONG& end = Vertical ? e.Rect.right : e.Rect.bottom;
            if (e.Separator || (e.Style & tbstStretch)) {
                end = start + thickness;
            } else {
                const int shift = (thickness - Thick(e.Size)) / 2;
                start += shift;
                end += shift;
            }
        } else if (!e.ButtonSized) {
            e.Rect.right = e.Rect.left + Widest;
        }
    }
    if (rightAligned >= 0) {
        long lastShown = -1;
        for (size_t i = first; i <= last && i < E.size(); ++i)
            if (IsItem(i) && E[i].Show && !E[i].LineSeparator) lastShown = static_cast<long>(i);
        if (lastShown >= 0) {
            const int z = std::min<int>(Wrap, AlongOf(Total)) - RectAlongEnd(E[static_cast<size_t>(lastShown)].Rect);
            if (z > 0)
                for (size_t i = static_cast<size_t>(rightAligned); i <= static_cast<size_t>(lastShown); ++i) {
                    if (!IsItem(i) || !E[i].Show || E[i].LineSeparator) continue;
                    if (Vertical)
                        OffsetRect(&E[i].Rect, 0, z);
                    else
                        OffsetRect(&E[i].Rect, z, 0);
                }
        }
    }
    for (size_t i = first; i <= last && i < E.size(); ++i)
        if (IsItem(i) && E[i].Show) Grow(E[i].Rect);
    LineStart = -1;
    Tallest = Widest = 0;
}

void TLayout::Place() {
    Wrap = P.WrapOffset;
    if (Wrap > 0) Wrap = std::max(1, Wrap - static_cast<int>(Vertical ? P.Margins.bottom : P.Margins.right));
    Pos = {P.Margins.left, P.Margins.top};
    bool previousButton = false, any = false;
    for (size_t i = 0; i < E.size(); ++i) {
        if (!IsItem(i) || !E[i].Show) continue;
        TBarLayoutEntry& e = E[i];
        // In a menu, toolbar-sized entries flow in a row; the next menu entry goes below.
        if (any && previousButton && !e.ButtonSized) {
            Pos.x = P.Margins.left;
            Pos.y = PlacedBottom;
        }
        Position(i);
        if (e.ButtonSized && !Vertical)
            Pos.x += e.Size.cx;
        else
            Pos.y += e.Size.cy;
        Grow(e.Rect);
        PlacedBottom = std::max<int>(PlacedBottom, e.Rect.bottom);
        if (e.LineSeparator) {
            Along(Pos) = Vertical ? P.Margins.top : P.Margins.left;
            Across(Pos) += LineSeparatorThickness;
            GroupSplit = false;
        }
        previousButton = e.ButtonSized;
        any = true;
    }
    long last = -1;
    for (size_t i = 0; i < E.size(); ++i)
        if (IsItem(i)) last = static_cast<long>(i);
    if (last >= 0) FinishLine(static_cast<size_t>(last), true);
    Total.cx += P.Margins.right;
    Total.cy += P.Margins.bottom;
}

void TLayout::Mirror() {
    for (auto& e : E) {
        if (!e.Show) continue;
        const LONG left = e.Rect.left;
        e.Rect.left = Total.cx - e.Rect.right;
        e.Rect.right = Total.cx - left;
    }
}

void TLayout::Scroll() {
    const int max = P.MaxHeight;
    if (max <= 0 || max >= Total.cy) {
        R.ScrollOffset = 0;
        return;
    }
    const int range = Total.cy - max;
    R.ScrollOffset = std::clamp(P.ScrollOffset, 0, range);
    R.ShowUpArrow = R.ScrollOffset > 0;
    R.ShowDownArrow = R.ScrollOffset < range;
    const int top = R.ShowUpArrow ? ScrollArrowBandHeight : 0;
    const int bottom = max - (R.ShowDownArrow ? ScrollArrowBandHeight : 0);
    for (auto& e : E) {
        if (!e.Show && IsRectEmpty(&e.Rect)) continue;
        OffsetRect(&e.Rect, 0, -R.ScrollOffset);
        if (e.Show && (e.Rect.top < top || e.Rect.bottom > bottom)) {
            e.Show = false;
            e.Clipped = true;
        }
    }
    Total.cy = max;
}

void TLayout::Run() {
    Total = R.TotalSize;
    R.WrappedLines = 1;
    R.ChevronActive = R.ChevronHasItems = R.ShowUpArrow = R.ShowDownArrow = false;
    for (size_t i = 0; i < E.size(); ++i) {
        TBarLayoutEntry& e = E[i];
        e.Rect = {};
        e.Show = IsItem(i) && e.Candidate;
        e.OffEdge = e.Clipped = e.LineSeparator = false;
    }
    HideMisplacedSeparators();

    int sameWidth = 0;
    for (auto& e : E)
        if (e.Show && e.SameWidth) sameWidth = std::max<int>(sameWidth, e.Size.cx);
    for (auto& e : E)
        if (e.Show && e.SameWidth) e.Size.cx = sameWidth;

    // The natural size: every shown entry on one line.
    const int baseLength = ShownLength();
    int baseThickness = 0;
    for (size_t i = 0; i < E.size(); ++i)
        if (IsItem(i) && E[i].Show) baseThickness = std::max(baseThickness, Thick(E[i].Size));

    ApplyChevron(baseLength);
    HideTrailingSeparators();
    Place();
    if (Vertical) Mirror();
    Scroll();

    if (P.IsToolbar)
        for (auto& e : E) {
            if (!e.Show || !e.LineSeparator) continue;
            if (Vertical) {
                e.Rect.top = 0;
                e.Rect.bottom = Total.cy;
            } else {
                e.Rect.left = 0;
                e.Rect.right = Total.cx;
            }
        }

    if (P.HasChevron && !E.empty() && E.back().Chevron) {
        TBarLayoutEntry& c = E.back();
        if (R.ChevronActive) {
            const int at = std::max<int>(ChevronAt, AlongOf(Total));
            c.Show = true;
            if (Vertical)
                c.Rect = {0, at, Total.cx, at + P.ChevronSize};
            else
                c.Rect = {at, 0, at + P.ChevronSize, Total.cy};
            Grow(c.Rect);
        }
    }

    R.BaseSize = Vertical ? SIZE{baseThickness, baseLength} : SIZE{baseLength, baseThickness};
    if (R.BaseSize.cx == 0 || R.BaseSize.cy == 0) {
        R.BaseSize = EmptyViewSize;
        Total.cx = std::max(Total.cx, EmptyViewSize.cx);
        Total.cy = std::max(Total.cy, EmptyViewSize.cy);
    }
    R.TotalSize = Total;
    R.WrappedLines = Lines;
}

}  // namespace

void LayoutViewers(std::vector<TBarLayoutEntry>& entries, const TBarLayoutParams& params, TBarLayoutResult& result) {
    TLayout(entries, params, result).Run();
}

}  // namespace toolbar
