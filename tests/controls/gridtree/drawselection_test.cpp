// The rubber band: mouse moves widen it, the rows it covers are selected (toggled with
// Ctrl), the content boxes and the simple row mode.
#include <string>
#include <vector>

#include "tree_test_support.h"

using namespace gridtree;

namespace {

// A tree whose texts are TextWidth pixels wide, with ten top-level rows of 18 pixels in a
// 200 x 200 client area. Without a parent it needs no form.
class TBandTree : public TBaseGridTree {
public:
    using TBaseGridTree::MouseMove;
    int TextWidth = 50;

    explicit TBandTree(TGTSelectionOptions Options = toMultiSelect) {
        TreeOptions().SetSelectionOptions(Options);
        SetRootNodeCount(10);
        SetClientSize(200, 200);
    }
    std::string Pattern() {
        std::string s;
        for (PGridNode n = GetFirst(); n; n = GetNextSibling(n)) s += Selected(n) ? '1' : '0';
        return s;
    }
    PGridNode Row(uint32_t Index) {
        PGridNode n = GetFirst();
        while (n && n->Index != Index) n = GetNextSibling(n);
        return n;
    }
    void Drag(POINT From, const std::vector<POINT>& Moves, bool Ctrl = false) {
        StartDrawSelection(From, Ctrl);
        for (POINT p : Moves) MouseMove(Ctrl ? classlib::ssCtrl : 0, p.x, p.y);
    }

protected:
    int DoGetNodeWidth(PGridNode, TColumnIndex) override { return TextWidth; }
};

}  // namespace

// With the default options a level-0 text starts at margin 4 + root indent 18 = 22, so
// its box spans x 22..72 with a 50 pixel text.
TEST(GridTreeDrawSelection, RowsCoveredByTheBand) {
    struct Case {
        const char* name;
        TGTSelectionOptions options;
        int textWidth;
        POINT from;
        std::vector<POINT> moves;
        const char* expected;
    };
    const Case cases[] = {
        {"over the texts", toMultiSelect, 50, {30, 5}, {{60, 60}}, "1111000000"},
        {"right of the texts", toMultiSelect, 50, {80, 5}, {{120, 60}}, "0000000000"},
        {"simple mode counts rows only", toMultiSelect | toSimpleDrawSelection, 50, {80, 5}, {{120, 60}},
         "1111000000"},
        {"upwards", toMultiSelect, 50, {60, 60}, {{30, 20}}, "0111000000"},
        {"shrinking deselects", toMultiSelect, 50, {30, 5}, {{60, 60}, {60, 30}}, "1100000000"},
        {"from the left margin reaches the whole cell", toMultiSelect, 0, {10, 5}, {{40, 60}}, "1111000000"},
        {"an empty text is not hit from inside", toMultiSelect, 0, {30, 5}, {{40, 60}}, "0000000000"},
        {"grown in small moves keeps the first row", toMultiSelect, 50, {30, 5}, {{32, 7}, {60, 60}},
         "1111000000"},
        {"below the rows", toMultiSelect, 50, {30, 185}, {{60, 195}}, "0000000000"},
        {"the last rows", toMultiSelect, 50, {30, 150}, {{60, 195}}, "0000000011"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBandTree tree(c.options);
        tree.TextWidth = c.textWidth;
        int changes = 0;
        tree.OnChange = [&](TBaseGridTree*, PGridNode) { ++changes; };
        tree.Drag(c.from, c.moves);
        EXPECT_EQ(c.expected, tree.Pattern());
        EXPECT_TRUE(tree.IsMouseSelecting());
        if (std::string(c.expected).find('1') != std::string::npos) { EXPECT_GT(changes, 0); }
        CheckInvariants(tree);
    }
}

TEST(GridTreeDrawSelection, EarlierSelectionWithAndWithoutCtrl) {
    struct Case {
        const char* name;
        bool ctrl;
        bool clearPending;
        const char* expected;
    };
    // Rows 1 and 5 are selected before the band covers rows 0..3.
    const Case cases[] = {
        {"plain band adds to it", false, false, "1111010000"},
        {"ctrl band toggles the covered rows", true, false, "1011010000"},
        {"a pending clear empties it first", false, true, "1111000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBandTree tree;
        tree.SetSelected(tree.Row(1), true);
        tree.SetSelected(tree.Row(5), true);
        if (c.clearPending) tree.DoStateChange(tsClearPending, 0);
        tree.Drag({30, 5}, {{60, 60}}, c.ctrl);
        EXPECT_EQ(c.expected, tree.Pattern());
        EXPECT_FALSE(tree.TreeStates() & tsClearPending);
        CheckInvariants(tree);
    }
    // With Ctrl, moving back over toggled rows toggles them again.
    TBandTree tree;
    tree.SetSelected(tree.Row(1), true);
    tree.Drag({30, 5}, {{60, 60}, {60, 10}}, true);
    EXPECT_EQ("1100000000", tree.Pattern());
}

TEST(GridTreeDrawSelection, PendingUntilTheDragThreshold) {
    TBandTree tree;
    tree.StartDrawSelection({30, 5}, false);
    EXPECT_TRUE(tree.TreeStates() & tsDrawSelPending);
    tree.MouseMove(0, 31, 6);
    EXPECT_TRUE(tree.TreeStates() & tsDrawSelPending);
    EXPECT_FALSE(tree.TreeStates() & tsDrawSelecting);
    EXPECT_EQ(0u, tree.SelectionCount());
    // Not drawing: the routine itself does nothing.
    EXPECT_FALSE(tree.HandleDrawSelection(31, 6));

    tree.MouseMove(0, 60, 40);
    EXPECT_FALSE(tree.TreeStates() & tsDrawSelPending);
    EXPECT_TRUE(tree.TreeStates() & tsDrawSelecting);
    EXPECT_EQ("1110000000", tree.Pattern());
    // The corner is clamped to the tree's area.
    tree.MouseMove(0, -50, 5000);
    RECT r = tree.SelectionRect();
    EXPECT_EQ(0, r.right);
    EXPECT_EQ(200, r.bottom);
}

TEST(GridTreeDrawSelection, DisabledRowsAndSingleSelection) {
    TBandTree tree;
    tree.Row(2)->States |= vsDisabled;
    tree.Drag({30, 5}, {{60, 60}});
    EXPECT_EQ("1101000000", tree.Pattern());
    CheckInvariants(tree);

    // A tree of one row is selected by the band too.
    TBandTree single;
    single.SetRootNodeCount(1);
    single.Drag({30, 5}, {{60, 10}});
    EXPECT_EQ("1", single.Pattern());
}
