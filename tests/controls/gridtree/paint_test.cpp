// Painting of the rows, probed in the pixels the tree prints into a memory DIB
// (WM_PRINTCLIENT): backgrounds and the area below the last row, the selection band,
// expand buttons and tree lines.
#include <memory>

#include "classlib/form.h"
#include "controls/gridtree/gridtree_services.h"
#include "tree_test_support.h"

using namespace gridtree;
using testsupport::MemoryDib;

namespace {

constexpr COLORREF TreeColour = RGB(0x20, 0x40, 0x60);
constexpr COLORREF ColumnColour = RGB(0xF0, 0xE0, 0x10);
constexpr COLORREF LineColour = RGB(0x00, 0x90, 0x00);
constexpr COLORREF BandColour = RGB(0xC0, 0x00, 0x00);
constexpr COLORREF BandBorder = RGB(0x00, 0x00, 0xC0);
constexpr COLORREF GridColour = RGB(0x90, 0x00, 0x90);

// A tree on a hidden form, without themes, in colours of its own; rows 18 pixels high.
struct TPaintedTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TTestTree* Tree = nullptr;

    TPaintedTree() {
        Form->SetBounds(10, 10, 400, 300);
        Tree = new TTestTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 200, 100);
        Tree->HandleNeeded();
        Tree->SetColor(classlib::TColor(TreeColour));
        TCustomGridTreeOptions& o = Tree->TreeOptions();
        o.SetPaintOptions(o.PaintOptions() & ~(toThemeAware | toShowTreeLines | toShowButtons));
        TGTColors& c = Tree->Colors();
        c.SetColor(5, classlib::TColor(LineColour));   // tree lines and button frames
        c.SetColor(6, classlib::TColor(BandColour));   // unfocused selection
        c.SetColor(10, classlib::TColor(BandBorder));  // its border
        c.SetColor(4, classlib::TColor(GridColour));   // grid lines
    }
    void AddPaintOptions(TGTPaintOptions Options) {
        Tree->TreeOptions().SetPaintOptions(Tree->TreeOptions().PaintOptions() | Options);
    }
    // The client area as the tree prints it.
    std::unique_ptr<MemoryDib> Print() {
        auto dib = std::make_unique<MemoryDib>(Tree->ClientWidth(), Tree->ClientHeight(), RGB(1, 2, 3));
        SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib->DC), PRF_CLIENT);
        return dib;
    }
};

// Pixels of a colour in the rectangle [X0, X1) x [Y0, Y1).
int CountIn(const MemoryDib& Dib, COLORREF Colour, int X0, int Y0, int X1, int Y1) {
    int count = 0;
    for (int y = Y0; y < Y1; ++y)
        for (int x = X0; x < X1; ++x) count += Dib.Pixel(x, y) == Colour;
    return count;
}

}  // namespace

TEST(GridTreePaint, RowsAndTheAreaBelowTheLastRowTakeTheirColours) {
    TPaintedTree p;
    TTestTree& tree = *p.Tree;
    tree.SetRootNodeCount(3);
    const int w = tree.ClientWidth(), h = tree.ClientHeight();
    {
        auto dib = p.Print();
        EXPECT_EQ(w * h, dib->Count(TreeColour));  // rows and the rest alike
    }

    // With columns: each column its colour, in the rows and below them; a column that
    // follows the tree's colour and the space right of the columns take the tree's.
    TGridTreeColumns& columns = tree.Header().Columns();
    columns.Add()->SetWidth(60);
    columns.Add()->SetWidth(50);
    columns[0]->SetColor(classlib::TColor(ColumnColour));
    {
        auto dib = p.Print();
        EXPECT_EQ(60 * h, CountIn(*dib, ColumnColour, 0, 0, 60, h));
        EXPECT_EQ((w - 60) * h, CountIn(*dib, TreeColour, 60, 0, w, h));
    }

    // Full vertical grid lines run on below the rows at each column's right edge.
    p.AddPaintOptions(toShowVertGridLines | toFullVertGridLines);
    {
        auto dib = p.Print();
        for (int x : {59, 109}) {
            SCOPED_TRACE(x);
            EXPECT_GT(CountIn(*dib, GridColour, x, 0, x + 1, 54), 0);  // rows
            EXPECT_GT(CountIn(*dib, GridColour, x, 54, x + 1, h), 0);  // below them
        }
        EXPECT_EQ(0, CountIn(*dib, GridColour, 0, 0, 59, h));
        EXPECT_EQ(0, CountIn(*dib, GridColour, 110, 0, w, h));
    }
}

TEST(GridTreePaint, SelectionBandFollowsTheOptions) {
    struct Case {
        const char* Name;
        TGTSelectionOptions Selection;
        TGTPaintOptions Paint;
        COLORREF InColumn;   // inside the selected row's first cell
        COLORREF PastColumns;  // the selected row right of the columns
    };
    const Case cases[] = {
        // Full-row selection: the band covers every cell and the rest of the row, and
        // column colours are not filled for the selected row.
        {"full row", toFullRowSelect, 0, BandColour, BandColour},
        // Without it only the focused column's content box is selected; the base tree
        // has no content, so nothing shows.
        {"content only", 0, 0, ColumnColour, TreeColour},
        {"hidden while unfocused", toFullRowSelect, toHideSelection, ColumnColour, TreeColour},
        {"always hidden", toFullRowSelect, toAlwaysHideSelection, ColumnColour, TreeColour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPaintedTree p;
        TTestTree& tree = *p.Tree;
        TGridTreeColumns& columns = tree.Header().Columns();
        columns.Add()->SetWidth(60);
        columns.Add()->SetWidth(50);
        columns[0]->SetColor(classlib::TColor(ColumnColour));
        tree.TreeOptions().SetSelectionOptions(c.Selection);
        p.AddPaintOptions(c.Paint);
        tree.SetRootNodeCount(40);
        // Scrolled by two rows: the selected third node is the first row printed.
        tree.SetOffsetY(-36);
        PGridNode third = tree.GetNext(tree.GetNext(tree.GetFirst()));
        tree.SetSelected(third, true);
        ASSERT_FALSE(tree.Focused());
        auto dib = p.Print();
        EXPECT_EQ(c.InColumn, dib->Pixel(30, 9));
        EXPECT_EQ(c.PastColumns, dib->Pixel(150, 9));
        if (c.Selection & toFullRowSelect && !c.Paint) {
            EXPECT_EQ(BandColour, dib->Pixel(85, 9));   // the second cell
            EXPECT_EQ(BandBorder, dib->Pixel(30, 0));   // the band's frame
            EXPECT_EQ(BandBorder, dib->Pixel(30, 17));
        }
        // The next row is not selected.
        EXPECT_EQ(ColumnColour, dib->Pixel(30, 27));
        EXPECT_EQ(TreeColour, dib->Pixel(150, 27));
    }
}

TEST(GridTreePaint, ButtonsOnlyForNodesWithChildren) {
    TPaintedTree p;
    TTestTree& tree = *p.Tree;
    p.AddPaintOptions(toShowButtons);
    tree.SetRootNodeCount(4);
    PGridNode withChildren = tree.GetFirst();
    PGridNode leaf = tree.GetNextSibling(withChildren);
    PGridNode expanded = tree.GetNextSibling(leaf);
    PGridNode allHidden = tree.GetNextSibling(expanded);
    tree.SetChildCount(withChildren, 2);
    tree.SetChildCount(allHidden, 1);
    // Its only child is hidden.
    tree.GetFirstChild(allHidden)->States &= ~vsVisible;
    tree.DetermineHiddenChildrenFlag(allHidden);
    ASSERT_TRUE(allHidden->States & vsAllChildrenHidden);
    tree.SetChildCount(expanded, 1);
    tree.SetExpanded(expanded, true);
    // Rows: withChildren 0, leaf 1, expanded 2, its child 3, allHidden 4.

    auto buttonAt = [&](const MemoryDib& Dib, int Row) {
        // The 9 x 9 button of a top-level row sits at x 4, y 5 of the row (indent 18).
        return CountIn(Dib, LineColour, 0, Row * 18, 18, Row * 18 + 18);
    };
    // The plus has a vertical stroke (font colour) through the middle; the minus none.
    auto verticalStroke = [&](const MemoryDib& Dib, int Row) {
        return Dib.Pixel(8, Row * 18 + 5 + 3) != TreeColour;
    };
    {
        auto dib = p.Print();
        EXPECT_EQ(32, buttonAt(*dib, 0));  // the frame of a 9 x 9 square
        EXPECT_TRUE(verticalStroke(*dib, 0));
        EXPECT_EQ(0, buttonAt(*dib, 1));
        EXPECT_EQ(32, buttonAt(*dib, 2));
        EXPECT_FALSE(verticalStroke(*dib, 2));
        EXPECT_EQ(0, buttonAt(*dib, 3));
        EXPECT_EQ(32, buttonAt(*dib, 4));  // hidden children still count
    }
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() | toAutoHideButtons);
    {
        auto dib = p.Print();
        EXPECT_EQ(32, buttonAt(*dib, 0));
        EXPECT_EQ(0, buttonAt(*dib, 4));
    }
    // Every button style and fill keeps the 9 x 9 size.
    for (TGTButtonStyle style : {bsRectangle, bsTriangle})
        for (TGTButtonFillMode fill : {fmTreeColor, fmWindowColor, fmShaded, fmTransparent}) {
            tree.SetButtonStyle(style);
            tree.SetButtonFillMode(fill);
            for (HBITMAP b : {tree.PlusBitmap(), tree.MinusBitmap()}) {
                BITMAP info{};
                ASSERT_TRUE(GetObjectW(b, sizeof(info), &info));
                EXPECT_EQ(9, info.bmWidth);
                EXPECT_EQ(9, info.bmHeight);
            }
        }
}

// Shaded buttons come from the program's pictures; without them the drawn style is used
// and painting goes on.
TEST(GridTreePaint, MissingButtonPicturesFallBackToDrawnButtons) {
    TPaintedTree p;
    TTestTree& tree = *p.Tree;
    p.AddPaintOptions(toShowButtons);
    tree.SetRootNodeCount(1);
    tree.SetChildCount(tree.GetFirst(), 1);
    const HINSTANCE own = TreeResourceModule();
    SetTreeResourceModule(GetModuleHandleW(L"kernel32.dll"));  // a module without them
    struct TRestore {
        HINSTANCE Module;
        ~TRestore() { SetTreeResourceModule(Module); }
    } restore{own};
    ASSERT_NO_THROW(tree.SetButtonFillMode(fmShaded));
    std::unique_ptr<MemoryDib> dib;
    ASSERT_NO_THROW(dib = p.Print());
    EXPECT_EQ(32, CountIn(*dib, LineColour, 0, 0, 18, 18));
}

TEST(GridTreePaint, TreeLinesConnectSiblingsAndChildren) {
    TPaintedTree p;
    TTestTree& tree = *p.Tree;
    p.AddPaintOptions(toShowTreeLines);
    tree.SetRootNodeCount(2);
    PGridNode a = tree.GetFirst();
    tree.SetChildCount(a, 2);
    tree.SetExpanded(a, true);
    // Rows: a 0, a1 1, a2 2, b 3. Level 0 lines at x 9, level 1 at x 27; the anchor line
    // of a row is its middle (y 9).
    auto dib = p.Print();
    auto line = [&](int X, int Row, int Y0, int Y1) {
        return CountIn(*dib, LineColour, X, Row * 18 + Y0, X + 1, Row * 18 + Y1) > 0;
    };
    struct Case {
        const char* What;
        int X, Row, Y0, Y1;
        bool Line;
    };
    const Case cases[] = {
        {"a: first of several, down from the middle", 9, 0, 10, 18, true},
        {"a: nothing above the middle", 9, 0, 0, 9, false},
        {"a1: a goes on to b through the row", 9, 1, 0, 18, true},
        {"a1: own line through the row (a2 follows)", 27, 1, 10, 18, true},
        {"a2: last child, down to the middle only", 27, 2, 0, 9, true},
        {"a2: nothing below the middle", 27, 2, 10, 18, false},
        {"b: last, from the top to the middle", 9, 3, 0, 9, true},
        {"b: nothing below", 9, 3, 10, 18, false},
        {"below the rows", 9, 4, 0, 18, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(c.Line, line(c.X, c.Row, c.Y0, c.Y1));
    }
    // The connector runs right to the level's far side, dotted.
    EXPECT_EQ(4, CountIn(*dib, LineColour, 10, 9, 18, 10));
    // Dotted: every other pixel of a full-height line.
    EXPECT_EQ(9, CountIn(*dib, LineColour, 9, 18, 10, 36));
}
