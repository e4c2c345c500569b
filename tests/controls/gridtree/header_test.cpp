// Header and columns: index and position, width limits, auto-size and springs, column
// hit tests and cells, the header's share of the window, sort changes and the widest cell.
#include <map>
#include <memory>

#include "classlib/form.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

// A tree whose text widths come from a table and which counts its sort calls.
class THeaderTree : public TBaseGridTree {
public:
    std::map<std::pair<PGridNode, TColumnIndex>, int> TextWidths;
    int SortCalls = 0;
    TColumnIndex SortedColumn = InvalidColumn;
    TSortDirection SortedDirection = sdAscending;

protected:
    int DoGetNodeWidth(PGridNode Node, TColumnIndex Column) override {
        auto it = TextWidths.find({Node, Column});
        return it == TextWidths.end() ? 0 : it->second;
    }
    void SortTree(TColumnIndex Column, TSortDirection Direction, bool) override {
        ++SortCalls;
        SortedColumn = Column;
        SortedDirection = Direction;
    }
};

void AddColumns(TBaseGridTree& Tree, int Count, int Width = 50) {
    for (int i = 0; i < Count; ++i) Tree.Header().Columns().Add()->SetWidth(Width);
}

std::vector<int> Positions(TGridTreeColumns& Columns) {
    std::vector<int> result;
    for (int i = 0; i < Columns.Count(); ++i) result.push_back(int(Columns[i]->Position()));
    return result;
}

struct TFormWithTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    THeaderTree* Tree = nullptr;
    explicit TFormWithTree(TGTHeaderOptions Options) {
        Form->SetBounds(10, 10, 500, 300);
        Tree = new THeaderTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 300, 150);
        Tree->Header().SetOptions(Options);
        Tree->HandleNeeded();
    }
    int ClientHeightOfWindow() const {
        RECT r{};
        GetClientRect(Tree->Handle(), &r);
        return r.bottom;
    }
};

}  // namespace

TEST(GridTreeHeader, NewHeaderAndColumnHaveTheirDefaults) {
    THeaderTree tree;
    TGTHeader& header = tree.Header();
    EXPECT_EQ(17, header.Height());
    EXPECT_EQ(hoColumnResize | hoDrag, header.Options());
    EXPECT_EQ(NoColumn, header.MainColumn());
    EXPECT_EQ(NoColumn, header.SortColumn());
    EXPECT_EQ(0, header.AutoSizeIndex());
    EXPECT_EQ(hsThickButtons, header.Style());
    EXPECT_EQ(NoColumn, tree.MainColumn());
    EXPECT_EQ(0, tree.ColumnCount());

    AddColumns(tree, 2);
    TGridTreeColumn* column = header.Columns().Add();
    EXPECT_EQ(2, column->Index());
    EXPECT_EQ(2u, column->Position());
    EXPECT_EQ(50, column->Width());
    EXPECT_EQ(10, column->MinWidth());
    EXPECT_EQ(10000, column->MaxWidth());
    EXPECT_EQ(4, column->Margin());
    EXPECT_EQ(4, column->Spacing());
    EXPECT_EQ(-1, column->ImageIndex());
    EXPECT_EQ(DefaultColumnOptions, column->Options());
    EXPECT_EQ(100, column->ColumnLeft());
    EXPECT_EQ(0, header.MainColumn());  // the first column became the main column
    EXPECT_EQ(3, tree.ColumnCount());
}

TEST(GridTreeHeader, WidthStaysWithinItsLimits) {
    struct Case {
        const char* Name;
        void (*Change)(TGridTreeColumn&);
        int Width, MinWidth, MaxWidth;
    };
    const Case cases[] = {
        {"width below min", [](TGridTreeColumn& c) { c.SetWidth(5); }, 10, 10, 10000},
        {"width above max", [](TGridTreeColumn& c) { c.SetWidth(20000); }, 10000, 10, 10000},
        {"max below min", [](TGridTreeColumn& c) { c.SetMaxWidth(3); }, 10, 10, 10},
        {"negative min", [](TGridTreeColumn& c) { c.SetMinWidth(-7); }, 50, 0, 10000},
        {"min above width", [](TGridTreeColumn& c) { c.SetMinWidth(80); }, 80, 80, 10000},
        {"max below width", [](TGridTreeColumn& c) { c.SetMaxWidth(30); }, 30, 10, 30},
        {"min above max", [](TGridTreeColumn& c) { c.SetMaxWidth(40); c.SetMinWidth(90); }, 40, 40, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        THeaderTree tree;
        TGridTreeColumn* column = tree.Header().Columns().Add();
        c.Change(*column);
        EXPECT_EQ(c.Width, column->Width());
        EXPECT_EQ(c.MinWidth, column->MinWidth());
        EXPECT_EQ(c.MaxWidth, column->MaxWidth());
    }
    THeaderTree tree;
    TGridTreeColumn* column = tree.Header().Columns().Add();
    column->SetWidth(70);
    column->SetWidth(90);
    EXPECT_EQ(70, column->WidthBeforeChange());
    column->SetMargin(-3);
    EXPECT_EQ(4, column->Margin());
}

TEST(GridTreeHeader, PositionsMapToIndexesUnderReordering) {
    THeaderTree tree;
    AddColumns(tree, 4);
    TGridTreeColumns& columns = tree.Header().Columns();
    columns[1]->SetWidth(20);
    columns[3]->SetPosition(0);
    EXPECT_EQ((TIndexArray{3, 0, 1, 2}), columns.PositionMap());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 0}), Positions(columns));
    EXPECT_EQ(0, columns[3]->ColumnLeft());
    EXPECT_EQ(50, columns[0]->ColumnLeft());
    EXPECT_EQ(100, columns[1]->ColumnLeft());
    EXPECT_EQ(120, columns[2]->ColumnLeft());

    columns[3]->SetPosition(99);  // beyond the end: the last position
    EXPECT_EQ((TIndexArray{0, 1, 2, 3}), columns.PositionMap());
    columns[0]->SetPosition(2);
    EXPECT_EQ((TIndexArray{1, 2, 0, 3}), columns.PositionMap());
    EXPECT_EQ(2, columns.ColumnAtPosition(1));
    EXPECT_EQ(NoColumn, columns.ColumnAtPosition(4));

    // Walking by position, skipping an invisible column.
    columns[0]->SetOptions(columns[0]->Options() & ~coVisible);
    EXPECT_EQ(1, columns.FirstVisibleColumn());
    EXPECT_EQ(3, columns.LastVisibleColumn());
    EXPECT_EQ(0, columns.NextColumn(2));
    EXPECT_EQ(3, columns.NextVisibleColumn(2));
    EXPECT_EQ(2, columns.PreviousVisibleColumn(3));
    EXPECT_EQ(InvalidColumn, columns.PreviousColumn(1));
    EXPECT_EQ(InvalidColumn, columns.NextColumn(3));
    EXPECT_EQ(InvalidColumn, columns.NextColumn(-1));
    EXPECT_EQ(120, columns.ColumnsWidth());  // 20 + 50 + 50, the hidden column takes nothing
    EXPECT_EQ(70, columns[3]->ColumnLeft());
    ASSERT_EQ(3u, columns.VisibleColumnList().size());
    EXPECT_EQ(columns[1], columns.VisibleColumnList()[0]);
}

TEST(GridTreeHeader, MovedColumnTakesTheFixedStateOfItsNeighbour) {
    THeaderTree tree;
    AddColumns(tree, 4);
    TGridTreeColumns& columns = tree.Header().Columns();
    columns[0]->SetOptions(columns[0]->Options() | coFixed);
    columns[3]->SetPosition(1);  // right of the fixed column 0, left of column 1
    EXPECT_FALSE(columns[3]->Options() & coFixed);
    columns[3]->SetPosition(0);  // its right neighbour is fixed
    EXPECT_TRUE(columns[3]->Options() & coFixed);
    EXPECT_EQ(100, columns.FixedColumnsWidth());
    columns[3]->SetPosition(3);  // fixed itself: looks left, at column 2
    EXPECT_FALSE(columns[3]->Options() & coFixed);
}

TEST(GridTreeHeader, RemovingColumnsCorrectsTheHeaderIndexes) {
    THeaderTree tree;
    AddColumns(tree, 4);
    TGTHeader& header = tree.Header();
    TGridTreeColumns& columns = header.Columns();
    header.SetMainColumn(2);
    header.SetSortColumn(3);
    header.SetAutoSizeIndex(1);
    columns[0]->SetPosition(3);
    columns.Delete(1);
    EXPECT_EQ(1, header.MainColumn());
    EXPECT_EQ(2, header.SortColumn());
    EXPECT_EQ(NoColumn, header.AutoSizeIndex());
    EXPECT_EQ((TIndexArray{1, 2, 0}), columns.PositionMap());
    EXPECT_EQ(0, columns[1]->ColumnLeft());
    EXPECT_EQ(100, columns[0]->ColumnLeft());

    columns.Delete(1);  // the main column: the first column takes over
    EXPECT_EQ(0, header.MainColumn());
    EXPECT_EQ(1, header.SortColumn());
    columns.Delete(0);
    columns.Delete(0);
    EXPECT_EQ(NoColumn, header.MainColumn());
    EXPECT_EQ(NoColumn, header.SortColumn());

    AddColumns(tree, 3);
    header.SetSortColumn(2);
    header.SetAutoSizeIndex(1);
    columns.Clear();
    EXPECT_EQ(0, columns.Count());
    EXPECT_EQ(NoColumn, header.SortColumn());
    EXPECT_EQ(NoColumn, header.AutoSizeIndex());
    EXPECT_TRUE(columns.PositionMap().empty());
}

TEST(GridTreeHeader, AutoSizeColumnFillsTheWidthTheOthersLeave) {
    THeaderTree tree;  // no window: the tree's width (200) is the space
    AddColumns(tree, 4, 40);
    TGTHeader& header = tree.Header();
    TGridTreeColumns& columns = header.Columns();
    header.SetAutoSizeIndex(1);
    header.SetOptions(header.Options() | hoAutoResize);
    EXPECT_EQ(80, columns[1]->Width());

    columns[1]->SetWidth(30);  // computed, never set
    EXPECT_EQ(80, columns[1]->Width());
    columns[0]->SetWidth(60);  // left of it: it gives way
    EXPECT_EQ(60, columns[1]->Width());
    columns[2]->SetWidth(50);  // right of it: the next column to the right takes the slack
    EXPECT_EQ(60, columns[1]->Width());
    EXPECT_EQ(30, columns[3]->Width());
    columns[1]->SetMaxWidth(20);
    columns[0]->SetWidth(10);  // more space than the auto-size column may take
    EXPECT_EQ(20, columns[1]->Width());

    // Without a valid AutoSizeIndex the last column by index is sized.
    THeaderTree other;
    AddColumns(other, 3, 40);
    other.Header().SetAutoSizeIndex(NoColumn);
    other.Header().SetOptions(other.Header().Options() | hoAutoResize);
    EXPECT_EQ(120, other.Header().Columns()[2]->Width());
}

TEST(GridTreeHeader, RestoreColumnWidthsAfterReorderingRestoresEachColumn) {
    THeaderTree tree;
    AddColumns(tree, 3);
    TGridTreeColumns& columns = tree.Header().Columns();
    columns[0]->SetWidth(70);
    columns[1]->SetWidth(30);
    columns[2]->SetWidth(90);
    columns[2]->SetPosition(0);
    columns[1]->SetOptions(columns[1]->Options() & ~coResizable);
    tree.Header().RestoreColumnWidths();
    EXPECT_EQ(50, columns[0]->Width());
    EXPECT_EQ(30, columns[1]->Width());
    EXPECT_EQ(50, columns[2]->Width());
}

TEST(GridTreeHeader, HitTestAndCellsFollowTheColumns) {
    THeaderTree tree;
    tree.SetClientSize(100, 100);
    tree.SetRootNodeCount(3);
    AddColumns(tree, 3);
    TGridTreeColumns& columns = tree.Header().Columns();
    columns[2]->SetPosition(0);  // screen order: 2, 0, 1
    tree.UpdateScrollBars(false);
    EXPECT_EQ(150, tree.RangeX());

    struct Case {
        int X;
        TColumnIndex Column;
    };
    for (Case c : {Case{10, 2}, Case{49, 2}, Case{50, 0}, Case{149, 1}}) {
        SCOPED_TRACE(c.X);
        THitInfo info;
        tree.GetHitTestInfoAt(c.X, 5, true, info);
        EXPECT_EQ(c.Column, info.HitColumn);
        EXPECT_TRUE(info.HitPositions & hiOnItem);
        EXPECT_EQ(c.Column, columns.ColumnAtPoint(POINT{c.X, 5}, false));
    }
    EXPECT_EQ(InvalidColumn, columns.ColumnAtPoint(POINT{150, 5}, false));
    EXPECT_EQ(InvalidColumn, columns.ColumnAtPoint(POINT{-1, 5}, false));

    // Cells: the column's span, the row's height.
    PGridNode second = tree.GetNext(tree.GetFirst());
    RECT cell = tree.GetDisplayRect(second, 0, false);
    EXPECT_EQ(50, cell.left);
    EXPECT_EQ(100, cell.right);
    EXPECT_EQ(18, cell.top);

    // Scrolled sideways: the points shift, a fixed column stays.
    tree.SetOffsetX(-50);
    ASSERT_EQ(-50, tree.OffsetX());
    THitInfo info;
    tree.GetHitTestInfoAt(10, 5, true, info);
    EXPECT_EQ(0, info.HitColumn);
    EXPECT_EQ(0, tree.GetDisplayRect(second, 0, false).left);
    columns[2]->SetOptions(columns[2]->Options() | coFixed);
    tree.GetHitTestInfoAt(10, 5, true, info);
    EXPECT_EQ(2, info.HitColumn);
    EXPECT_EQ(0, tree.GetDisplayRect(second, 2, false).left);
    tree.GetHitTestInfoAt(60, 5, true, info);  // beyond the fixed column: shifted
    EXPECT_EQ(1, info.HitColumn);
}

TEST(GridTreeHeader, HitPositionsInsideACellUseItsAlignmentAndIndentOnlyInTheMainColumn) {
    THeaderTree tree;
    tree.SetClientSize(300, 100);
    tree.SetRootNodeCount(1);
    AddColumns(tree, 2, 100);
    PGridNode node = tree.GetFirst();
    tree.TextWidths[{node, 1}] = 20;
    tree.Header().Columns()[1]->SetAlignment(taRightJustify);
    THitInfo info;
    // Column 1 spans 100 .. 200; margin 4, no indentation; the text sits at the right.
    tree.GetHitTestInfoAt(110, 5, true, info);
    EXPECT_EQ(hiOnItem | hiOnItemLeft, info.HitPositions);
    tree.GetHitTestInfoAt(190, 5, true, info);
    EXPECT_EQ(hiOnItem | hiOnItemLabel, info.HitPositions);
    // The main column (0) has the root's indentation.
    tree.GetHitTestInfoAt(5, 5, true, info);
    EXPECT_EQ(0, info.HitColumn);
    EXPECT_TRUE(info.HitPositions & hiOnItemIndent);
    // Beyond the last column: nowhere.
    tree.GetHitTestInfoAt(250, 5, true, info);
    EXPECT_EQ(hiNowhere, info.HitPositions);
    EXPECT_EQ(InvalidColumn, info.HitColumn);
}

TEST(GridTreeHeader, SortChangesSortOnceWithAutoSort) {
    THeaderTree tree;
    AddColumns(tree, 3);
    TGTHeader& header = tree.Header();
    header.SetSortColumn(1);
    EXPECT_EQ(0, tree.SortCalls);  // no toAutoSort

    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() | toAutoSort);
    header.SetSortColumn(2);
    EXPECT_EQ(1, tree.SortCalls);
    EXPECT_EQ(2, tree.SortedColumn);
    header.SetSortColumn(2);
    EXPECT_EQ(1, tree.SortCalls);
    header.SetSortDirection(sdDescending);
    EXPECT_EQ(2, tree.SortCalls);
    EXPECT_EQ(sdDescending, tree.SortedDirection);
    header.SetSortDirection(sdDescending);
    EXPECT_EQ(2, tree.SortCalls);
    header.SetSortColumn(99);  // clamped to the last column: unchanged
    EXPECT_EQ(2, header.SortColumn());
    EXPECT_EQ(2, tree.SortCalls);
    header.SetSortColumn(-5);  // clamped to "none"
    EXPECT_EQ(NoColumn, header.SortColumn());
    EXPECT_EQ(3, tree.SortCalls);

    // Inside an update the setter leaves sorting to the end of the bracket.
    tree.BeginUpdate();
    header.SetSortColumn(0);
    EXPECT_EQ(3, tree.SortCalls);
    tree.EndUpdate();
    EXPECT_EQ(4, tree.SortCalls);
    EXPECT_EQ(0, tree.SortedColumn);
    EXPECT_EQ(sdDescending, tree.SortedDirection);
}

TEST(GridTreeHeader, ColumnResizeFiresOncePerChange) {
    THeaderTree tree;
    tree.HandleNeeded();
    AddColumns(tree, 2);
    std::vector<TColumnIndex> resized;
    tree.OnColumnResize = [&](TGTHeader* Sender, TColumnIndex Column) {
        EXPECT_EQ(&tree.Header(), Sender);
        resized.push_back(Column);
    };
    TGridTreeColumns& columns = tree.Header().Columns();
    columns[1]->SetWidth(80);
    columns[1]->SetWidth(80);
    columns[1]->SetWidth(5);  // clamped to 10: a change
    columns[1]->SetWidth(9);  // clamped to 10: none
    EXPECT_EQ((std::vector<TColumnIndex>{1, 1}), resized);

    // Inside the collection's update bracket no notification.
    resized.clear();
    columns.BeginUpdate();
    columns[0]->SetWidth(70);
    columns.EndUpdate();
    EXPECT_TRUE(resized.empty());
    EXPECT_EQ(70, columns[1]->ColumnLeft());
}

TEST(GridTreeHeader, MaxColumnWidthMeasuresTheVisibleRows) {
    THeaderTree tree;
    tree.SetRootNodeCount(2);
    PGridNode first = tree.GetFirst();
    tree.SetChildCount(first, 1);
    tree.SetExpanded(first, true);
    PGridNode child = tree.GetFirstChild(first);
    PGridNode last = tree.GetNextSibling(first);
    AddColumns(tree, 2);
    tree.TextWidths[{first, 0}] = 30;
    tree.TextWidths[{child, 0}] = 25;
    tree.TextWidths[{last, 0}] = 40;
    tree.TextWidths[{child, 1}] = 60;
    // Main column: margin 4 + (level + root) x indent 18.
    EXPECT_EQ(4 + 36 + 25, tree.GetMaxColumnWidth(0));
    EXPECT_EQ(4 + 60, tree.GetMaxColumnWidth(1));
    tree.SetExpanded(first, false);  // hidden rows do not count
    EXPECT_EQ(4 + 18 + 40, tree.GetMaxColumnWidth(0));
    EXPECT_EQ(4, tree.GetMaxColumnWidth(1));
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() | toShowVertGridLines);
    EXPECT_EQ(5, tree.GetMaxColumnWidth(1));

    // Fitting to content uses it for every visible resizable column.
    tree.SetExpanded(first, true);
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() & ~toShowVertGridLines);
    tree.Header().FitColumnsToContent(false);
    EXPECT_EQ(65, tree.Header().Columns()[0]->Width());
    EXPECT_EQ(64, tree.Header().Columns()[1]->Width());
}

TEST(GridTreeHeader, VisibleHeaderTakesItsHeightOffTheClientArea) {
    TFormWithTree hidden(hoColumnResize | hoDrag);
    int full = hidden.ClientHeightOfWindow();
    RECT none = hidden.Tree->HeaderRect();
    EXPECT_TRUE(IsRectEmpty(&none));

    TFormWithTree shown(hoColumnResize | hoDrag | hoVisible);
    EXPECT_EQ(full - 17, shown.ClientHeightOfWindow());
    EXPECT_EQ(full - 17, shown.Tree->ClientHeight());
    RECT header = shown.Tree->HeaderRect();
    EXPECT_EQ(17, header.bottom - header.top);
    EXPECT_EQ(shown.Tree->ClientWidth(), header.right - header.left);
    EXPECT_TRUE(shown.Tree->Header().PointInHeader(POINT{5, -3}));
    EXPECT_FALSE(shown.Tree->Header().PointInHeader(POINT{5, 3}));
    // The header lies in the non-client area: clicks on it are non-client clicks.
    HWND wnd = shown.Tree->Handle();
    auto hitTest = [&](POINT P) {
        ClientToScreen(wnd, &P);
        return SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
    };
    EXPECT_EQ(HTBORDER, hitTest(POINT{5, -3}));
    EXPECT_EQ(HTCLIENT, hitTest(POINT{5, 3}));

    shown.Tree->Header().SetHeight(30);
    EXPECT_EQ(full - 30, shown.Tree->ClientHeight());
    header = shown.Tree->HeaderRect();
    EXPECT_EQ(30, header.bottom - header.top);
    shown.Tree->Header().SetOptions(hoColumnResize | hoDrag);
    EXPECT_EQ(full, shown.Tree->ClientHeight());
}

TEST(GridTreeHeader, SpringsShareSizeChangesWithACarry) {
    TFormWithTree f(hoVisible | hoAutoSpring);
    AddColumns(*f.Tree, 3);
    TGridTreeColumns& columns = f.Tree->Header().Columns();
    columns[0]->SetOptions(columns[0]->Options() | coAutoSpring);
    columns[2]->SetOptions(columns[2]->Options() | coAutoSpring);
    f.Tree->Header().UpdateSprings();  // records the current width, as the size handling does
    f.Tree->SetBounds(0, 0, 307, 150);
    EXPECT_EQ(53, columns[0]->Width());
    EXPECT_EQ(50, columns[1]->Width());
    EXPECT_EQ(53, columns[2]->Width());
    EXPECT_FLOAT_EQ(0.5f, columns[0]->SpringCarry());
    EXPECT_FLOAT_EQ(0.5f, columns[2]->SpringCarry());
    f.Tree->SetBounds(0, 0, 308, 150);  // half a pixel each, plus the carry
    EXPECT_EQ(54, columns[0]->Width());
    EXPECT_EQ(54, columns[2]->Width());
}

TEST(GridTreeHeader, AssignCopiesColumnsAndPositions) {
    THeaderTree source;
    AddColumns(source, 3);
    TGridTreeColumns& columns = source.Header().Columns();
    columns[0]->SetText(L"名前");
    columns[1]->SetWidth(120);
    columns[2]->SetPosition(0);
    columns[1]->SetAlignment(taCenter);
    source.Header().SetSortColumn(1);
    source.Header().SetSortDirection(sdDescending);

    THeaderTree copy;
    copy.Header().Assign(source.Header());
    EXPECT_TRUE(copy.Header().Columns().SameColumnsAs(columns));
    EXPECT_EQ(1, copy.Header().SortColumn());
    EXPECT_EQ(sdDescending, copy.Header().SortDirection());
    EXPECT_EQ(50, copy.Header().Columns()[0]->ColumnLeft());
    EXPECT_EQ(100, copy.Header().Columns()[1]->ColumnLeft());
    EXPECT_EQ(L"Column 0", copy.Header().Columns()[0]->DisplayName());
    columns[0]->SetText(L"Name");
    EXPECT_EQ(L"Name", columns[0]->DisplayName());
    EXPECT_FALSE(copy.Header().Columns().SameColumnsAs(columns));
}

TEST(GridTreeHeader, LoadingStoresPositionsAndIndexesUntilLoaded) {
    THeaderTree tree;
    tree.BeginLoading();
    AddColumns(tree, 3);
    TGridTreeColumns& columns = tree.Header().Columns();
    columns[0]->SetPosition(2);
    columns[2]->SetPosition(0);
    tree.Header().SetMainColumn(7);
    tree.Header().SetSortColumn(9);
    EXPECT_TRUE(columns.PositionsStale());
    tree.Loaded();
    EXPECT_FALSE(columns.PositionsStale());
    EXPECT_EQ((TIndexArray{2, 1, 0}), columns.PositionMap());
    EXPECT_EQ(100, columns[0]->ColumnLeft());
    EXPECT_EQ(0, columns[2]->ColumnLeft());
    EXPECT_EQ(2, tree.Header().MainColumn());
    EXPECT_EQ(NoColumn, tree.Header().SortColumn());  // named no column

    // The tree's Assign copies the header.
    THeaderTree copy;
    copy.Assign(tree);
    EXPECT_TRUE(copy.Header().Columns().SameColumnsAs(columns));
}
