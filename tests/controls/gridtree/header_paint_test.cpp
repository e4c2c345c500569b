// Header border hit test and the painting pieces of the header buttons, drawn into a
// memory DIB.
#include <cmath>

#include <memory>

#include "classlib/form.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

using TMemoryCanvas = testsupport::MemoryDib;

void AddColumns(TBaseGridTree& Tree, int Count, int Width = 50) {
    for (int i = 0; i < Count; ++i) Tree.Header().Columns().Add()->SetWidth(Width);
}

}  // namespace

TEST(GridTreeHeaderPaint, BorderHitTestRunsFromTheRightmostBorder) {
    TTestTree tree;
    AddColumns(tree, 3);
    TGTHeader& header = tree.Header();
    TGridTreeColumns& columns = header.Columns();
    struct Case {
        int X;
        bool Hit;
        TColumnIndex Sizing;
    };
    // Borders at 50, 100 and 150; exclusive bounds border - 3 < X < border + 5.
    for (Case c : {Case{47, false, NoColumn}, Case{48, true, 0}, Case{54, true, 0}, Case{55, false, NoColumn},
                   Case{101, true, 1}, Case{152, true, 2}, Case{75, false, NoColumn}}) {
        SCOPED_TRACE(c.X);
        EXPECT_EQ(c.Hit, header.FindResizeColumn(POINT{c.X, 5}));
        EXPECT_EQ(c.Sizing, columns.SizingColumn);
    }
    header.FindResizeColumn(POINT{101, 5});
    EXPECT_EQ(50, header.ResizeLeftEdge());

    // A zero-width column shares its border with its left neighbour: the search from the
    // right finds the zero-width one, so it can be grown again.
    columns[2]->SetMinWidth(0);
    columns[2]->SetWidth(0);
    EXPECT_TRUE(header.FindResizeColumn(POINT{100, 5}));
    EXPECT_EQ(2, columns.SizingColumn);

    // A border of a column that is not resizable ends the search.
    columns[2]->SetOptions(columns[2]->Options() & ~coResizable);
    EXPECT_FALSE(header.FindResizeColumn(POINT{100, 5}));
    EXPECT_EQ(NoColumn, columns.SizingColumn);

    TTestTree empty;
    EXPECT_FALSE(empty.Header().FindResizeColumn(POINT{0, 0}));
}

TEST(GridTreeHeaderPaint, XPCellFacesAndLines) {
    const RECT r{0, 0, 40, 20};
    {
        SCOPED_TRACE("normal with splitter");
        TMemoryCanvas c(40, 20, 0);
        TGridTreeColumns::DrawXPCell(c.DC, r, false, false, true);
        EXPECT_EQ(COLORREF(0xDBEAEB), c.Pixel(10, 10));
        EXPECT_EQ(COLORREF(0xB2C5C7), c.Pixel(38, 3));
        EXPECT_EQ(COLORREF(0xFFFFFF), c.Pixel(39, 14));
        EXPECT_EQ(COLORREF(0xDBEAEB), c.Pixel(38, 2));   // the splitter starts at top + 3
        EXPECT_EQ(COLORREF(0xDBEAEB), c.Pixel(38, 15));  // and ends before bottom - 5
        // Bottom lines: one and two steps of a third of the way to 0xB8C7CB, then it.
        EXPECT_EQ(COLORREF(0xCFDEE0), c.Pixel(10, 17));
        EXPECT_EQ(COLORREF(0xC3D2D5), c.Pixel(10, 18));
        EXPECT_EQ(COLORREF(0xB8C7CB), c.Pixel(10, 19));
    }
    {
        SCOPED_TRACE("pressed");
        TMemoryCanvas c(40, 20, 0);
        TGridTreeColumns::DrawXPCell(c.DC, r, false, true, true);
        EXPECT_EQ(COLORREF(0xD8DFDE), c.Pixel(10, 10));
        EXPECT_EQ(COLORREF(0x97A5A5), c.Pixel(0, 10));
        EXPECT_EQ(COLORREF(0x97A5A5), c.Pixel(10, 19));
        EXPECT_EQ(COLORREF(0x97A5A5), c.Pixel(39, 10));
        EXPECT_EQ(COLORREF(0xB8C2C1), c.Pixel(1, 10));
        EXPECT_EQ(COLORREF(0xB8C2C1), c.Pixel(10, 0));
        EXPECT_EQ(COLORREF(0xC9D1D0), c.Pixel(2, 10));
        EXPECT_EQ(COLORREF(0xC9D1D0), c.Pixel(10, 1));
        EXPECT_EQ(0, c.Count(0xB2C5C7));  // no splitter while pressed
    }
    {
        SCOPED_TRACE("hot");
        TMemoryCanvas c(40, 20, 0);
        TGridTreeColumns::DrawXPCell(c.DC, r, true, false, true);
        EXPECT_EQ(COLORREF(0xF3F8FA), c.Pixel(10, 10));
        EXPECT_EQ(0, c.Count(0xB2C5C7));
        EXPECT_EQ(0, c.Count(0xB8C7CB));
    }
}

TEST(GridTreeHeaderPaint, CellTextColoursAndEmbossing) {
    TTestTree tree;
    AddColumns(tree, 1);
    TGridTreeColumns& columns = tree.Header().Columns();
    tree.Colors().SetColor(14, 0x0000FF);  // HeaderHotColor
    tree.Header().Font().SetColor(0xFF0000);
    const COLORREF back = 0x00FF00;
    auto paint = [&](bool Hot, bool Enabled, TMemoryCanvas& C) {
        HGDIOBJ old = SelectObject(C.DC, tree.Header().Font().Handle());
        columns.PaintCellText(C.DC, L"WWWW", RECT{2, 2, 78, 20}, Hot, Enabled, DT_NOPREFIX);
        SelectObject(C.DC, old);
    };
    {
        TMemoryCanvas c(80, 22, back);
        paint(false, true, c);
        EXPECT_GT(c.Count(0xFF0000), 0);
        EXPECT_EQ(0, c.Count(0x0000FF));
        EXPECT_EQ(COLORREF(back), c.Pixel(79, 21));  // transparent background
    }
    {
        TMemoryCanvas c(80, 22, back);
        paint(true, true, c);
        EXPECT_GT(c.Count(0x0000FF), 0);
        EXPECT_EQ(0, c.Count(0xFF0000));
    }
    {
        TMemoryCanvas c(80, 22, back);
        paint(false, false, c);
        EXPECT_GT(c.Count(GetSysColor(COLOR_BTNSHADOW)), 0);
        EXPECT_GT(c.Count(GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
        EXPECT_EQ(0, c.Count(0xFF0000));
    }
    {
        // Too wide for its rectangle: shortened, nothing drawn beyond the rectangle.
        TMemoryCanvas c(80, 22, back);
        HGDIOBJ old = SelectObject(c.DC, tree.Header().Font().Handle());
        columns.PaintCellText(c.DC, L"WWWWWWWWWWWWWWWWWWWW", RECT{2, 2, 40, 20}, false, true, DT_NOPREFIX);
        SelectObject(c.DC, old);
        int beyond = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 40; x < 80; ++x) beyond += c.Pixel(x, y) != back;
        EXPECT_EQ(0, beyond);
        EXPECT_GT(c.Count(0xFF0000), 0);
    }
}

TEST(GridTreeHeaderPaint, ColumnHeadersPaintFacesInPositionOrder) {
    std::unique_ptr<classlib::TForm> form = std::make_unique<classlib::TForm>(nullptr);
    form->SetBounds(10, 10, 400, 300);
    auto* tree = new TTestTree();
    tree->SetParent(form.get());
    tree->SetBounds(0, 0, 300, 120);
    tree->Header().SetOptions(hoVisible);
    tree->HandleNeeded();
    AddColumns(*tree, 2, 60);
    TGridTreeColumns& columns = tree->Header().Columns();
    columns[1]->SetWidth(40);
    columns[1]->SetPosition(0);  // screen order: 1 (40 wide), 0 (60 wide)
    RECT header = tree->HeaderRect();
    ASSERT_FALSE(IsRectEmpty(&header));
    const int mid = (header.top + header.bottom) / 2;

    {
        SCOPED_TRACE("XP style, column 0 pressed");
        tree->Header().SetStyle(hsXPStyle);
        columns.PressedColumn = 0;
        TMemoryCanvas c(300, 120, 0);
        columns.PaintColumnHeaders(c.DC, header, 0);
        EXPECT_EQ(COLORREF(0xDBEAEB), c.Pixel(header.left + 20, mid));  // column 1 normal
        EXPECT_EQ(COLORREF(0xB2C5C7), c.Pixel(header.left + 38, mid));  // its splitter
        EXPECT_EQ(COLORREF(0xD8DFDE), c.Pixel(header.left + 70, mid));  // column 0 pressed
        EXPECT_EQ(COLORREF(0x97A5A5), c.Pixel(header.left + 40, mid));  // its frame at its left edge
        EXPECT_EQ(COLORREF(0xDBEAEB), c.Pixel(header.left + 150, mid)); // background right of the buttons
        EXPECT_EQ(COLORREF(0), c.Pixel(header.left + 150, header.bottom + 2));  // nothing below the header
    }
    {
        SCOPED_TRACE("flat buttons scrolled by 30");
        tree->Header().SetStyle(hsFlatButtons);
        columns.PressedColumn = NoColumn;
        TMemoryCanvas c(300, 120, 0);
        columns.PaintColumnHeaders(c.DC, header, -30);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(face, c.Pixel(header.left + 150, mid));  // background
        // Column 1 now ends at 10, column 0 at 70: their right borders are drawn there.
        EXPECT_NE(face, c.Pixel(header.left + 9, mid));
        EXPECT_NE(face, c.Pixel(header.left + 69, mid));
        EXPECT_EQ(face, c.Pixel(header.left + 40, mid));
    }
}

namespace {
struct THeaderMouseTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TTestTree* Tree = new TTestTree();
    THeaderMouseTree() {
        Form->SetBounds(10, 10, 400, 300);
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 300, 120);
        Tree->Header().SetOptions(hoVisible | hoColumnResize | hoDrag);
        Tree->HandleNeeded();
        AddColumns(*Tree, 3);
    }
    // Sends a non-client message at a client point (the header lies at negative Y).
    void SendNC(UINT Msg, int X, int Y) {
        POINT p{X, Y};
        ClientToScreen(Tree->Handle(), &p);
        SendMessageW(Tree->Handle(), Msg, HTNOWHERE, MAKELPARAM(p.x, p.y));
    }
    void SendClient(UINT Msg, int X, int Y) { SendMessageW(Tree->Handle(), Msg, 0, MAKELPARAM(X, Y)); }
};
}  // namespace

TEST(GridTreeHeaderMouse, ClickOnAColumnRaisesTheHeaderClickOnce) {
    THeaderMouseTree t;
    std::vector<std::pair<TColumnIndex, classlib::TMouseButton>> clicks;
    t.Tree->OnHeaderClick = [&](TGTHeader*, TColumnIndex Column, classlib::TMouseButton Button,
                                classlib::TShiftState, int X, int Y) {
        clicks.push_back({Column, Button});
        EXPECT_EQ(75, X);
        EXPECT_EQ(t.Tree->Header().Height() - 5, Y);  // header coordinates
    };
    t.SendNC(WM_NCLBUTTONDOWN, 75, -5);
    EXPECT_EQ(1, t.Tree->Header().Columns().PressedColumn);
    EXPECT_TRUE(t.Tree->Header().States() & hstDragPending);
    t.SendNC(WM_NCLBUTTONUP, 75, -5);
    EXPECT_EQ(NoColumn, t.Tree->Header().Columns().PressedColumn);
    EXPECT_EQ(0, t.Tree->Header().States());
    t.SendNC(WM_NCRBUTTONUP, 75, -5);  // right clicks always count
    ASSERT_EQ(2u, clicks.size());
    EXPECT_EQ(std::make_pair(TColumnIndex(1), classlib::mbLeft), clicks[0]);
    EXPECT_EQ(std::make_pair(TColumnIndex(1), classlib::mbRight), clicks[1]);

    // A disabled column takes no left click; a column without coAllowClick no click at all.
    clicks.clear();
    TGridTreeColumns& columns = t.Tree->Header().Columns();
    columns[1]->SetOptions(columns[1]->Options() & ~coEnabled);
    t.SendNC(WM_NCLBUTTONDOWN, 75, -5);
    t.SendNC(WM_NCLBUTTONUP, 75, -5);
    columns[2]->SetOptions(columns[2]->Options() & ~coAllowClick);
    t.SendNC(WM_NCRBUTTONUP, 125, -5);
    EXPECT_TRUE(clicks.empty());
    // A point in the client area is not the header's.
    t.SendNC(WM_NCRBUTTONUP, 25, 5);
    EXPECT_TRUE(clicks.empty());
}

TEST(GridTreeHeaderMouse, DraggingABorderResizesTheColumn) {
    THeaderMouseTree t;
    TGridTreeColumns& columns = t.Tree->Header().Columns();
    std::vector<TColumnIndex> resized;
    t.Tree->OnColumnResize = [&](TGTHeader*, TColumnIndex Column) { resized.push_back(Column); };
    bool clicked = false;
    t.Tree->OnHeaderClick = [&](TGTHeader*, TColumnIndex, classlib::TMouseButton, classlib::TShiftState, int,
                                int) { clicked = true; };
    t.SendNC(WM_NCLBUTTONDOWN, 101, -5);  // border of column 1 at 100
    EXPECT_TRUE(t.Tree->Header().States() & hstResizePending);
    EXPECT_EQ(1, columns.SizingColumn);
    t.SendClient(WM_MOUSEMOVE, 130, -5);
    EXPECT_TRUE(t.Tree->Header().States() & hstResizing);
    EXPECT_EQ(80, columns[1]->Width());
    EXPECT_EQ(130, columns[2]->ColumnLeft());
    t.SendClient(WM_MOUSEMOVE, 52, -5);  // never below MinWidth
    EXPECT_EQ(10, columns[1]->Width());
    t.SendClient(WM_LBUTTONUP, 52, -5);
    EXPECT_EQ(0, t.Tree->Header().States());
    EXPECT_EQ(NoColumn, columns.SizingColumn);
    EXPECT_EQ((std::vector<TColumnIndex>{1, 1}), resized);
    EXPECT_FALSE(clicked);

    // Escape ends a resize and keeps the width reached.
    t.SendNC(WM_NCLBUTTONDOWN, 61, -5);
    t.SendClient(WM_MOUSEMOVE, 90, -5);
    SendMessageW(t.Tree->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0, t.Tree->Header().States());
    EXPECT_EQ(40, columns[1]->Width());
    t.SendClient(WM_MOUSEMOVE, 120, -5);
    EXPECT_EQ(40, columns[1]->Width());

    // Without hoColumnResize the border is part of the column (column 2 starts at 90).
    t.Tree->Header().SetOptions(hoVisible);
    t.SendNC(WM_NCLBUTTONDOWN, 91, -5);
    EXPECT_EQ(0, t.Tree->Header().States());
    EXPECT_EQ(2, columns.PressedColumn);
    t.SendNC(WM_NCLBUTTONUP, 91, -5);
    EXPECT_EQ(40, columns[1]->Width());
}

TEST(GridTreeHeaderMouse, HotColumnFollowsTheMouseAndTheTimerClearsIt) {
    THeaderMouseTree t;
    t.Tree->Header().SetOptions(t.Tree->Header().Options() | hoHotTrack);
    TGridTreeColumns& columns = t.Tree->Header().Columns();
    int moves = 0;
    t.Tree->OnHeaderMouseMove = [&](TGTHeader*, classlib::TShiftState, int, int) { ++moves; };
    t.SendNC(WM_NCMOUSEMOVE, 75, -5);
    EXPECT_EQ(1, columns.HotColumn);
    t.SendNC(WM_NCMOUSEMOVE, 125, -5);
    EXPECT_EQ(2, columns.HotColumn);
    EXPECT_EQ(2, moves);
    // The cursor is not over the header (it is wherever the test machine left it):
    // the header timer clears the hot column.
    SetCursorPos(0, 0);
    SendMessageW(t.Tree->Handle(), WM_TIMER, HeaderTimer, 0);
    EXPECT_EQ(NoColumn, columns.HotColumn);
}

TEST(GridTreeHeaderMouse, DraggingAColumnMovesItWhereItIsDropped) {
    struct Case {
        const char* Name;
        int From, To;  // client X of the press and of the release
        TIndexArray Map;
    };
    // Columns 0, 1, 2 at 0..50, 50..100, 100..150.
    const Case cases[] = {
        {"left half of a column right of it", 25, 110, {1, 0, 2}},
        {"right half of a column right of it", 25, 140, {1, 2, 0}},
        {"left half of a column left of it", 125, 10, {2, 0, 1}},
        {"right half of a column left of it", 125, 40, {0, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        THeaderMouseTree t;
        std::vector<std::pair<TColumnIndex, TColumnPosition>> dragged;
        t.Tree->OnHeaderDragged = [&](TGTHeader*, TColumnIndex Column, TColumnPosition Old) {
            dragged.push_back({Column, Old});
        };
        bool clicked = false;
        t.Tree->OnHeaderClick = [&](TGTHeader*, TColumnIndex, classlib::TMouseButton, classlib::TShiftState, int,
                                    int) { clicked = true; };
        t.SendNC(WM_NCLBUTTONDOWN, c.From, -5);
        t.SendClient(WM_MOUSEMOVE, c.From + (c.To > c.From ? 1 : -1), -5);  // within the threshold
        EXPECT_TRUE(t.Tree->Header().States() & hstDragPending);
        t.SendClient(WM_MOUSEMOVE, c.To, -5);
        EXPECT_TRUE(t.Tree->Header().States() & hstDragging);
        t.SendClient(WM_LBUTTONUP, c.To, -5);
        EXPECT_EQ(0, t.Tree->Header().States());
        EXPECT_EQ(c.Map, t.Tree->Header().Columns().PositionMap());
        TColumnIndex column = c.From / 50;
        ASSERT_EQ(1u, dragged.size());
        EXPECT_EQ(column, dragged[0].first);
        EXPECT_EQ(TColumnPosition(column), dragged[0].second);
        EXPECT_FALSE(clicked);
    }
}

TEST(GridTreeHeaderMouse, RefusedOrCancelledDragsMoveNothing) {
    THeaderMouseTree t;
    bool allow = false;
    t.Tree->OnHeaderDragging = [&](TGTHeader*, TColumnIndex, bool& Allowed) { Allowed = allow; };
    t.SendNC(WM_NCLBUTTONDOWN, 25, -5);
    t.SendClient(WM_MOUSEMOVE, 140, -5);
    EXPECT_FALSE(t.Tree->Header().States() & hstDragging);
    t.SendClient(WM_LBUTTONUP, 140, -5);
    EXPECT_EQ((TIndexArray{0, 1, 2}), t.Tree->Header().Columns().PositionMap());

    allow = true;
    t.SendNC(WM_NCLBUTTONDOWN, 25, -5);
    t.SendClient(WM_MOUSEMOVE, 140, -5);
    EXPECT_TRUE(t.Tree->Header().States() & hstDragging);
    SendMessageW(t.Tree->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0, t.Tree->Header().States());
    EXPECT_EQ((TIndexArray{0, 1, 2}), t.Tree->Header().Columns().PositionMap());

    // Dropped outside the tree window: the application is told, nothing moves.
    POINT out{-1, -1};
    t.Tree->OnHeaderDraggedOut = [&](TGTHeader*, TColumnIndex, POINT P) { out = P; };
    t.SendNC(WM_NCLBUTTONDOWN, 25, -5);
    t.SendClient(WM_MOUSEMOVE, 140, -5);
    t.SendClient(WM_LBUTTONUP, 340, -5);
    EXPECT_NE(-1, out.x);
    EXPECT_EQ((TIndexArray{0, 1, 2}), t.Tree->Header().Columns().PositionMap());
}
