#include "controls/toolbar/tbdockcalc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace toolbar;

namespace {

// A shown window for ArrangeRows: row, wanted position, full length.
TBarArrangeEntry Bar(int row, int pos, int length) {
    TBarArrangeEntry e;
    e.DockRow = row;
    e.DockPos = pos;
    e.Shown = true;
    e.FullLength = length;
    return e;
}

TBarArrangeEntry With(TBarArrangeEntry e, void (*change)(TBarArrangeEntry&)) {
    change(e);
    return e;
}

// "row:pos+length" per window, "-" for a window not shown.
std::string Placed(const std::vector<TBarArrangeEntry>& entries) {
    std::string s;
    for (const TBarArrangeEntry& e : entries) {
        if (!s.empty()) s += ' ';
        s += e.ShownRow < 0 ? "-" : std::to_string(e.ShownRow) + ":" + std::to_string(e.Pos) + "+" + std::to_string(e.Length);
    }
    return s;
}

}  // namespace

TEST(DockArrangement, RowsPositionsAndLengths) {
    const auto chevron = [](TBarArrangeEntry& e) {
        e.Shrink = tbsmChevron;
        e.MinLength = 30;
    };
    const auto fullSize = [](TBarArrangeEntry& e) { e.FullSize = true; };
    const auto stretch = [](TBarArrangeEntry& e) { e.Stretch = true; };
    const auto hidden = [](TBarArrangeEntry& e) { e.Shown = false; };
    const struct {
        const char* Name;
        std::vector<TBarArrangeEntry> Entries;
        int Available;
        bool OneRow;
        const char* Expected;
    } cases[] = {
        {"two plain windows too long for one row: the second wraps, keeping what room it can",
         {Bar(0, 0, 60), Bar(0, 60, 60)}, 100, false, "0:0+60 1:40+60"},
        {"limited to one row they stay, the second past the end", {Bar(0, 0, 60), Bar(1, 0, 60)}, 100, true,
         "0:0+60 0:60+60"},
        {"chevron windows whose minimums fit: the last shrinks first", {With(Bar(0, 0, 80), chevron), With(Bar(0, 80, 80), chevron)},
         100, false, "0:0+70 0:70+30"},
        {"a single window longer than the dock does not wrap", {Bar(0, 0, 150)}, 100, false, "0:0+150"},
        {"a FullSize window takes its row alone and the whole length", {Bar(0, 0, 50), With(Bar(0, 60, 40), fullSize)}, 100,
         false, "1:0+50 0:0+100"},
        {"a Stretch window fills the gap up to the next window", {With(Bar(0, 0, 30), stretch), Bar(0, 70, 20)}, 100, false,
         "0:0+70 0:70+20"},
        {"the last Stretch window of a row reaches the dock's end", {Bar(0, 0, 20), With(Bar(0, 30, 20), stretch)}, 100, false,
         "0:0+20 0:20+80"},
        {"empty rows close up", {Bar(0, 0, 20), Bar(2, 0, 20)}, 100, false, "0:0+20 1:0+20"},
        {"a hidden window keeps its row but takes no room", {Bar(0, 0, 20), With(Bar(0, 10, 50), hidden), Bar(0, 40, 20)}, 100,
         false, "0:0+20 - 0:40+20"},
        {"positions keep gaps where there is room", {Bar(0, 10, 20), Bar(0, 50, 20)}, 100, false, "0:10+20 0:50+20"},
        {"gaps shrink from the end when the row would pass the end", {Bar(0, 10, 20), Bar(0, 90, 20)}, 100, false,
         "0:10+20 0:80+20"},
        {"-1 means at the end", {Bar(0, -1, 20), Bar(0, -1, 20)}, 100, false, "0:0+20 0:20+20"},
        {"chevron windows added at the end: the last still shrinks first",
         {With(Bar(0, -1, 80), chevron), With(Bar(0, -1, 80), chevron)}, 100, false, "0:0+70 0:70+30"},
    };
    for (const auto& c : cases) {
        std::vector<TBarArrangeEntry> entries = c.Entries;
        ArrangeRows(entries, c.Available, c.OneRow);
        EXPECT_EQ(Placed(entries), c.Expected) << c.Name;
    }
}

TEST(DockArrangement, NewRowRequestAndDraggedWindow) {
    // A window dropped as a new row before row 0 pushes the others down.
    std::vector<TBarArrangeEntry> entries{Bar(0, 0, 30), Bar(0, 40, 30)};
    entries[1].NewRow = true;
    ArrangeRows(entries, 200, false);
    EXPECT_EQ(Placed(entries), "1:0+30 0:40+30");

    // Dropped over its chevron neighbour in a crowded row: the neighbour shrinks, and the
    // dragged window is marked as sharing a crowded row.
    std::vector<TBarArrangeEntry> crowded{Bar(0, 0, 60), Bar(0, 40, 50)};
    crowded[0].Shrink = tbsmChevron;
    crowded[0].MinLength = 20;
    crowded[1].Dragged = true;
    ArrangeRows(crowded, 100, false);
    EXPECT_EQ(Placed(crowded), "0:0+50 0:50+50");
    EXPECT_TRUE(crowded[1].Overflow);
}

TEST(DockGeometry, DockingZone) {
    // A horizontal dock 200 x 30 at the origin; a 50 x 22 window grabbed at (10, 5), 54 x 26
    // when docked. The zone reaches 25 pixels out on the side the window hangs over.
    const RECT dock{0, 0, 200, 30};
    const POINT grab{10, 5};
    const SIZE outer{49, 21}, size{54, 26};
    const struct {
        POINT Pointer;
        bool Vertical;
        bool In;
    } cases[] = {
        {{100, 15}, false, true},  {{100, 38}, false, true},  {{100, 39}, false, false},
        {{100, -22}, false, true}, {{100, -23}, false, false}, {{-23, 15}, false, true},
        {{-24, 15}, false, false}, {{207, 15}, false, true},  {{208, 15}, false, false},
        // A vertical dock also wants the pointer within its height.
        {{15, -4}, true, false},   {{15, 0}, true, true},
    };
    for (const auto& c : cases) {
        const RECT r = c.Vertical ? RECT{0, 0, 30, 200} : dock;
        EXPECT_EQ(InDockingZone(r, c.Vertical, c.Pointer, grab, outer, size), c.In)
            << c.Pointer.x << "," << c.Pointer.y << (c.Vertical ? " vertical" : "");
    }
    const RECT outline = OutlineAtPointer({100, 15}, grab, outer, size);
    EXPECT_EQ(outline.left, 100 - 11);
    EXPECT_EQ(outline.top, 15 - 6);
    EXPECT_EQ(outline.right - outline.left, 54);
}

TEST(DockGeometry, RowChoice) {
    const std::vector<int> rows{26, 26};
    const std::vector<int> fullRow{26 | RowHasFullSize, 26};
    const struct {
        int Middle;
        const std::vector<int>* Rows;
        bool DraggedFullSize;
        int Row;
        bool NewRow;
    } cases[] = {
        {5, &rows, false, 0, true},       // top quarter: a new row above
        {6, &rows, false, 0, false},      // middle half: joins the row
        {19, &rows, false, 0, false},
        {20, &rows, false, 1, true},      // bottom quarter: a new row before the next
        {40, &rows, false, 1, false},
        {60, &rows, false, 2, true},      // past the last row
        {12, &fullRow, false, 0, true},   // next to a FullSize row the split is at its half
        {14, &fullRow, false, 1, true},
        {12, &rows, true, 0, true},       // a FullSize window never joins a row
        {14, &rows, true, 1, true},
    };
    for (const auto& c : cases) {
        bool newRow = !c.NewRow;
        EXPECT_EQ(ChooseDockRow(c.Middle, *c.Rows, c.DraggedFullSize, newRow), c.Row) << c.Middle;
        EXPECT_EQ(newRow, c.NewRow) << c.Middle;
    }
}

TEST(DockGeometry, OnScreenClamping) {
    const RECT work{0, 0, 800, 600};
    const SIZE border{4, 4};
    const int topMargin = 22;
    const struct {
        RECT In, Reachable, Inside;
    } cases[] = {
        // Entirely left: border + 4 pixels come back on screen; moved fully inside.
        {{-300, 100, -100, 200}, {-192, 100, 8, 200}, {0, 100, 200, 200}},
        // Entirely below.
        {{100, 700, 300, 800}, {100, 592, 300, 692}, {100, 500, 300, 600}},
        // Caption above the top: pulled down until 4 pixels of its caption band show.
        {{100, -50, 300, 50}, {100, -18, 300, 82}, {100, 0, 300, 100}},
        // A sliver in the corner.
        {{797, 598, 997, 698}, {792, 592, 992, 692}, {600, 500, 800, 600}},
        // Well inside: untouched.
        {{100, 100, 300, 200}, {100, 100, 300, 200}, {100, 100, 300, 200}},
    };
    for (const auto& c : cases) {
        const RECT r = KeepOutlineReachable(c.In, work, border, topMargin);
        EXPECT_TRUE(EqualRect(&r, &c.Reachable)) << c.In.left << "," << c.In.top << " -> " << r.left << "," << r.top;
        const RECT inside = KeepRectInside(c.In, work);
        EXPECT_TRUE(EqualRect(&inside, &c.Inside)) << c.In.left << "," << c.In.top << " -> " << inside.left << "," << inside.top;
    }
}

TEST(DockGeometry, ResizeFrameRect) {
    const RECT start{100, 100, 300, 200};
    const SIZE min{60, 40}, noMax{0, 0}, max{400, 300};
    const struct {
        int Edge;
        POINT Delta;
        SIZE Max;
        RECT Expected;
    } cases[] = {
        {0, {-20, 99}, noMax, {80, 100, 300, 200}},     // left edge: only the left side moves
        {0, {250, 0}, noMax, {240, 100, 300, 200}},     // below the minimum: anchored at the right
        {1, {1000, 0}, max, {100, 100, 500, 200}},      // above the maximum
        {2, {0, 500}, noMax, {100, 160, 300, 200}},     // top edge below the minimum
        {7, {-500, -500}, noMax, {100, 100, 160, 140}}, // bottom-right corner: both minimums
        {3, {10, 10}, noMax, {110, 110, 300, 200}},     // top-left corner
        {5, {99, 30}, noMax, {100, 100, 300, 230}},     // bottom edge: only the bottom moves
    };
    for (const auto& c : cases) {
        const RECT r = ResizeFrameRect(start, c.Edge, c.Delta, min, c.Max);
        EXPECT_TRUE(EqualRect(&r, &c.Expected))
            << "edge " << c.Edge << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}
