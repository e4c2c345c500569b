// The layout as a function over measured sizes.
#include "controls/toolbar/tblayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace toolbar;

// Rectangles compare and print (found by argument lookup: RECT lives in the global namespace).
static std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

namespace {

// Entries from a pattern: 'b' a button, '|' a separator, 'h' a hidden button, 'c' a
// control, 'r' a right-aligned button; all `w` x `h`, separators 6 x 6 on toolbars.
std::vector<TBarLayoutEntry> Entries(const std::string& pattern, int w = 24, int h = 22, bool buttons = true) {
    std::vector<TBarLayoutEntry> list;
    for (char c : pattern) {
        TBarLayoutEntry e;
        e.Candidate = c != 'h';
        e.Separator = c == '|';
        e.Control = c == 'c';
        e.ButtonSized = buttons;
        e.Size = e.Separator ? (buttons ? SIZE{6, 6} : SIZE{w, 9}) : SIZE{w, h};
        if (c == 'r') e.Style = tbstRightAlign;
        list.push_back(e);
    }
    return list;
}

std::string Shown(const std::vector<TBarLayoutEntry>& list) {
    std::string s;
    for (const auto& e : list) s += e.Show ? '1' : (e.OffEdge ? 'o' : (e.Clipped ? 'c' : '0'));
    return s;
}

TBarLayoutResult Layout(std::vector<TBarLayoutEntry>& list, const TBarLayoutParams& p, SIZE least = {}) {
    TBarLayoutResult r;
    r.TotalSize = least;
    LayoutViewers(list, p, r);
    return r;
}

TBarLayoutParams Toolbar() {
    TBarLayoutParams p;
    p.IsToolbar = true;
    return p;
}

}  // namespace

TEST(ViewLayout, SeparatorsNeverStandFirstTwiceOrLast) {
    const struct {
        const char* Pattern;
        const char* Shown;
    } cases[] = {
        {"|b|b|", "01110"},
        {"b||b", "1101"},
        {"b|h|b", "11001"},   // a hidden item between two separators leaves one
        {"||", "00"},
        {"hb|h", "0100"},     // the separator ends up last
        {"b|hh|h|b", "11000001"},
    };
    for (const auto& c : cases) {
        auto list = Entries(c.Pattern);
        Layout(list, Toolbar());
        EXPECT_EQ(Shown(list), c.Shown) << c.Pattern;
    }
}

TEST(ViewLayout, NothingShownGivesTheEmptySize) {
    for (const char* pattern : {"", "hh", "|", "h|h"}) {
        auto list = Entries(pattern);
        const auto r = Layout(list, Toolbar());
        EXPECT_EQ(r.BaseSize.cx, 23) << pattern;
        EXPECT_EQ(r.BaseSize.cy, 22) << pattern;
        EXPECT_GE(r.TotalSize.cx, 23);
        EXPECT_GE(r.TotalSize.cy, 22);
    }
}

TEST(ViewLayout, AHorizontalToolbarPlacesItemsInARowCentredOnItsLine) {
    auto list = Entries("b|b");
    list[2].Size = {30, 16};
    const auto r = Layout(list, Toolbar(), {0, 28});  // the dock row is 28 thick
    EXPECT_EQ(list[0].Rect, (RECT{0, 3, 24, 25}));
    EXPECT_EQ(list[1].Rect, (RECT{24, 0, 30, 28}));  // separators take the whole line
    EXPECT_EQ(list[2].Rect, (RECT{30, 6, 60, 22}));
    EXPECT_EQ(r.BaseSize.cx, 60);
    EXPECT_EQ(r.BaseSize.cy, 22);
    EXPECT_EQ(r.TotalSize.cx, 60);
    EXPECT_EQ(r.TotalSize.cy, 28);
    EXPECT_EQ(r.WrappedLines, 1);
}

TEST(ViewLayout, ASeparatorBeforeAGroupThatWouldNotFitWrapsTheLine) {
    auto list = Entries("bb|b", 40, 22);
    auto p = Toolbar();
    p.WrapOffset = 100;
    const auto r = Layout(list, p);
    EXPECT_EQ(r.WrappedLines, 2);
    EXPECT_EQ(list[0].Rect, (RECT{0, 0, 40, 22}));
    EXPECT_EQ(list[1].Rect, (RECT{40, 0, 80, 22}));
    EXPECT_TRUE(list[2].LineSeparator);
    EXPECT_EQ(list[2].Rect, (RECT{0, 22, 100, 28}));  // the whole width, 6 thick
    EXPECT_EQ(list[3].Rect, (RECT{0, 28, 40, 50}));   // line 2, 6 below line 1
    EXPECT_EQ(r.TotalSize.cx, 100);                    // a wrapped toolbar fills its row
    EXPECT_EQ(r.TotalSize.cy, 50);
}

TEST(ViewLayout, AnItemThatWouldPassTheWrapOffsetStartsTheNextLine) {
    auto list = Entries("bbbbb", 24, 22);
    auto p = Toolbar();
    p.WrapOffset = 60;
    const auto r = Layout(list, p);
    EXPECT_EQ(r.WrappedLines, 3);
    EXPECT_EQ(list[1].Rect, (RECT{24, 0, 48, 22}));
    EXPECT_EQ(list[2].Rect, (RECT{0, 22, 24, 44}));
    EXPECT_EQ(list[4].Rect, (RECT{0, 44, 24, 66}));
    // After a split group, the next separator breaks the line whatever room is left.
    auto grouped = Entries("bbb|b", 24, 22);
    Layout(grouped, p);
    EXPECT_TRUE(grouped[3].LineSeparator);
}

TEST(ViewLayout, TheChevronHidesLowestPriorityItemsFirstAndKeepsTwo) {
    auto p = Toolbar();
    p.HasChevron = true;
    p.ChevronOffset = 100;
    p.ChevronSize = 12;
    p.Priority = {4, 3, 2, 1, 0};  // the last button matters most
    auto list = Entries("bbbbb");
    list.push_back(TBarLayoutEntry{});
    list.back().Chevron = true;
    auto r = Layout(list, p);
    // 120 px of buttons must fit in 88: the two of lowest priority go.
    EXPECT_EQ(Shown(list), "oo1111");
    EXPECT_TRUE(r.ChevronActive);
    EXPECT_TRUE(r.ChevronHasItems);
    EXPECT_EQ(list[2].Rect, (RECT{0, 0, 24, 22}));
    EXPECT_EQ(list[5].Rect, (RECT{88, 0, 100, 22}));  // at the chevron offset
    EXPECT_EQ(r.BaseSize.cx, 120);                     // the natural length

    p.ChevronOffset = 30;
    r = Layout(list, p);
    EXPECT_EQ(Shown(list), "ooo111");  // however short the row, two buttons stay
    EXPECT_EQ(list[5].Rect.left, 48);  // after them

    // Only controls went behind it: the chevron has nothing to show.
    auto controls = Entries("bbbcc");
    controls.push_back(TBarLayoutEntry{});
    controls.back().Chevron = true;
    p.ChevronOffset = 100;
    p.Priority.clear();
    r = Layout(controls, p);
    EXPECT_EQ(Shown(controls), "111oo1");
    EXPECT_FALSE(r.ChevronHasItems);

    // A row that fits needs no chevron.
    p.ChevronOffset = 200;
    r = Layout(list, p);
    EXPECT_FALSE(r.ChevronActive);
    EXPECT_EQ(Shown(list), "111110");
}

TEST(ViewLayout, ALongPopupScrollsBetweenArrowBands) {
    TBarLayoutParams p;  // a popup: menu items stacked
    p.MaxHeight = 400;
    auto list = Entries(std::string(30, 'b'), 100, 20, false);  // 600 high
    auto r = Layout(list, p);
    EXPECT_FALSE(r.ShowUpArrow);
    EXPECT_TRUE(r.ShowDownArrow);
    EXPECT_EQ(r.TotalSize.cy, 400);
    EXPECT_TRUE(list[18].Show);  // 360..380 stays clear of the band from 381
    EXPECT_FALSE(list[19].Show);  // 380..400 is cut by the band
    EXPECT_TRUE(list[19].Clipped);

    p.ScrollOffset = 1000;  // past the end: clamped
    r = Layout(list, p);
    EXPECT_EQ(r.ScrollOffset, 200);
    EXPECT_TRUE(r.ShowUpArrow);
    EXPECT_FALSE(r.ShowDownArrow);
    EXPECT_EQ(list[29].Rect, (RECT{0, 380, 100, 400}));
    EXPECT_TRUE(list[29].Show);
    EXPECT_FALSE(list[10].Show);  // 200..220 moved to 0..20, under the up band
    EXPECT_TRUE(list[11].Show);   // 20..40 clears the band (19)

    p.MaxHeight = 700;  // it fits: no arrows, no offset
    r = Layout(list, p);
    EXPECT_EQ(r.ScrollOffset, 0);
    EXPECT_FALSE(r.ShowUpArrow || r.ShowDownArrow);
    EXPECT_EQ(r.TotalSize.cy, 600);
}

TEST(ViewLayout, MenuItemsTakeTheWidestWidthAndToolbarSizedOnesFlowInARow) {
    TBarLayoutParams p;
    auto list = Entries("bbbb", 50, 20, false);
    list[1].Size = {80, 20};
    list[2].ButtonSized = list[3].ButtonSized = true;
    list[2].Size = list[3].Size = {22, 22};
    Layout(list, p);
    EXPECT_EQ(list[0].Rect, (RECT{0, 0, 80, 20}));
    EXPECT_EQ(list[1].Rect, (RECT{0, 20, 80, 40}));
    EXPECT_EQ(list[2].Rect, (RECT{0, 40, 22, 62}));
    EXPECT_EQ(list[3].Rect, (RECT{22, 40, 44, 62}));  // beside the previous one
}

TEST(ViewLayout, RightAlignedItemsMoveToTheLineEndOnlyWithAWrapOffset) {
    auto list = Entries("bbr");
    auto p = Toolbar();
    Layout(list, p);
    EXPECT_EQ(list[2].Rect.left, 48);  // no wrap offset: stays
    p.WrapOffset = 200;
    Layout(list, p, {200, 0});
    EXPECT_EQ(list[2].Rect, (RECT{176, 0, 200, 22}));
    EXPECT_EQ(list[1].Rect.left, 24);
}

TEST(ViewLayout, SameWidthFloatingMarginsAndVerticalMirroring) {
    auto list = Entries("bbb");
    list[0].SameWidth = list[2].SameWidth = true;
    list[2].Size = {40, 22};
    auto p = Toolbar();
    p.Orientation = tbvoFloating;
    p.Margins = {4, 2, 4, 1};
    auto r = Layout(list, p);
    EXPECT_EQ(list[0].Rect, (RECT{4, 2, 44, 24}));  // 40 like the widest same-width one
    EXPECT_EQ(list[1].Rect, (RECT{44, 2, 68, 24}));
    EXPECT_EQ(r.TotalSize.cx, 112);
    EXPECT_EQ(r.TotalSize.cy, 25);

    // A vertical toolbar stacks its items; wrapped columns run from right to left.
    auto column = Entries("bbb", 24, 22);
    p = Toolbar();
    p.Orientation = tbvoVertical;
    p.WrapOffset = 50;
    r = Layout(column, p);
    EXPECT_EQ(r.WrappedLines, 2);
    EXPECT_EQ(column[0].Rect, (RECT{24, 0, 48, 22}));
    EXPECT_EQ(column[1].Rect, (RECT{24, 22, 48, 44}));
    EXPECT_EQ(column[2].Rect, (RECT{0, 0, 24, 22}));
    EXPECT_EQ(r.TotalSize.cy, 50);
}
