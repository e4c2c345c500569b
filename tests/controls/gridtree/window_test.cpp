// The tree with its own window on a form: scroll bars, scroll messages, redraw switching,
// the worker's messages arriving through the tree's window, and destruction while the
// worker validates; the frame styles and the tree-view queries of other programs.
#include <cstring>
#include <memory>
#include <random>

#include <windows.h>
#include <commctrl.h>

#include "classlib/form.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/stringtree.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

struct TFormWithTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TTestTree* Tree = nullptr;

    // The form stays hidden unless asked: showing a window costs a round trip to the
    // display, and the tree's window works the same inside a hidden form.
    explicit TFormWithTree(bool Show = false) {
        Form->SetBounds(10, 10, 400, 300);
        Tree = new TTestTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 200, 100);
        if (Show) Form->Show();
        Tree->HandleNeeded();
    }
};

SCROLLINFO BarInfo(HWND Wnd, int Bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(Wnd, Bar, &si);
    return si;
}

bool HasStyle(HWND Wnd, LONG_PTR Style) { return (GetWindowLongPtrW(Wnd, GWL_STYLE) & Style) == Style; }

}  // namespace

TEST(GridTreeWindow, ChildWindowOfItsOwnClassCarriesTheClientSize) {
    TFormWithTree f;
    HWND wnd = f.Tree->Handle();
    EXPECT_EQ(f.Form->Handle(), GetParent(wnd));
    EXPECT_EQ(wnd, f.Tree->MessageWindow());
    EXPECT_TRUE(f.Tree->HasControlWindow());
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    EXPECT_STREQ(L"TBaseGridTree", name);
    RECT r{};
    GetClientRect(wnd, &r);
    EXPECT_EQ(r.right, f.Tree->ClientWidth());
    EXPECT_EQ(r.bottom, f.Tree->ClientHeight());
    f.Tree->SetBounds(0, 0, 260, 150);
    GetClientRect(wnd, &r);
    EXPECT_EQ(r.right, f.Tree->ClientWidth());
    EXPECT_EQ(r.bottom, f.Tree->ClientHeight());
}

TEST(GridTreeWindow, VerticalRangeFollowsTheContentHeight) {
    TFormWithTree f;
    HWND wnd = f.Tree->Handle();
    f.Tree->SetRootNodeCount(100);
    EXPECT_EQ(1800, f.Tree->RangeY());
    EXPECT_TRUE(HasStyle(wnd, WS_VSCROLL));
    SCROLLINFO si = BarInfo(wnd, SB_VERT);
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(1800, si.nMax);
    EXPECT_EQ(UINT(f.Tree->ClientHeight() + 1), si.nPage);

    f.Tree->SetOffsetY(-500);
    EXPECT_EQ(-500, f.Tree->OffsetY());
    EXPECT_EQ(500, GetScrollPos(wnd, SB_VERT));

    // Shrinking the content below the client height hides the bar and scrolls to the top.
    f.Tree->SetRootNodeCount(2);
    EXPECT_EQ(36, f.Tree->RangeY());
    EXPECT_FALSE(HasStyle(wnd, WS_VSCROLL));
    EXPECT_EQ(0, f.Tree->OffsetY());

    // Growing inside an update bracket updates the bar once the bracket closes.
    f.Tree->BeginUpdate();
    f.Tree->SetRootNodeCount(50);
    f.Tree->EndUpdate();
    EXPECT_TRUE(HasStyle(wnd, WS_VSCROLL));
    EXPECT_EQ(900, BarInfo(wnd, SB_VERT).nMax);
}

TEST(GridTreeWindow, ScrollMessagesMoveTheOffset) {
    TFormWithTree f;
    HWND wnd = f.Tree->Handle();
    f.Tree->SetRootNodeCount(100);
    int bottom = f.Tree->ClientHeight() - f.Tree->RangeY();
    struct Case { WORD code; int before; int after; };
    const Case cases[] = {
        {SB_LINEDOWN, 0, -20}, {SB_LINEUP, -100, -80}, {SB_LINEUP, 0, 0},
        {SB_PAGEDOWN, 0, -f.Tree->ClientHeight()}, {SB_PAGEUP, -300, -300 + f.Tree->ClientHeight()},
        {SB_BOTTOM, 0, bottom}, {SB_TOP, -300, 0}, {SB_LINEDOWN, bottom, bottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        f.Tree->SetOffsetY(c.before);
        SendMessageW(wnd, WM_VSCROLL, c.code, 0);
        EXPECT_EQ(c.after, f.Tree->OffsetY());
        EXPECT_EQ(-c.after, GetScrollPos(wnd, SB_VERT));
    }
}

TEST(GridTreeWindow, ScrollBarOptionsShapeTheWindow) {
    TFormWithTree f;
    f.Tree->SetRootNodeCount(2);
    EXPECT_FALSE(HasStyle(f.Tree->Handle(), WS_VSCROLL));
    // Always visible: a bar stays, disabled, although everything fits.
    f.Tree->ScrollBarOptions().SetScrollBars(ssVertical);
    f.Tree->ScrollBarOptions().SetAlwaysVisible(true);
    EXPECT_TRUE(HasStyle(f.Tree->Handle(), WS_VSCROLL));
    EXPECT_FALSE(HasStyle(f.Tree->Handle(), WS_HSCROLL));
    // No bars: content taller than the client scrolls only by the offset.
    f.Tree->ScrollBarOptions().SetScrollBars(ssNone);
    f.Tree->SetRootNodeCount(100);
    EXPECT_FALSE(HasStyle(f.Tree->Handle(), WS_VSCROLL));
    f.Tree->SetOffsetY(-40);
    EXPECT_EQ(-40, f.Tree->OffsetY());
}

TEST(GridTreeWindow, ScrollIntoViewShowsTheWholeRow) {
    TFormWithTree f;
    f.Tree->SetRootNodeCount(200);
    PGridNode node = f.Tree->GetFirst();
    for (int i = 0; i < 120; ++i) node = f.Tree->GetNextSibling(node);
    for (bool center : {false, true}) {
        SCOPED_TRACE(center);
        f.Tree->SetOffsetY(0);
        EXPECT_TRUE(f.Tree->ScrollIntoView(node, center));
        RECT r = f.Tree->GetDisplayRect(node, NoColumn, false);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.bottom, f.Tree->ClientHeight());
        EXPECT_EQ(-f.Tree->OffsetY(), GetScrollPos(f.Tree->Handle(), SB_VERT));
    }
}

TEST(GridTreeWindow, UpdateBracketSwitchesRedrawOff) {
    TFormWithTree f(true);
    HWND wnd = f.Tree->Handle();
    ASSERT_TRUE(IsWindowVisible(wnd));
    f.Tree->BeginUpdate();
    EXPECT_FALSE(HasStyle(wnd, WS_VISIBLE));  // what WM_SETREDRAW off does to a window
    f.Tree->BeginUpdate();
    f.Tree->EndUpdate();
    EXPECT_FALSE(HasStyle(wnd, WS_VISIBLE));
    f.Tree->EndUpdate();
    EXPECT_TRUE(HasStyle(wnd, WS_VISIBLE));
}

TEST(GridTreeWindow, WorkerStatesArriveThroughTheTreeWindow) {
    TFormWithTree f;
    HWND wnd = f.Tree->Handle();
    bool sentToTree = false;
    f.Tree->OnStateChange = [&](TBaseGridTree* t, TGridTreeStates enter, TGridTreeStates) {
        // The worker's answer is a message sent to this window from the other thread.
        if (enter & tsUseCache)
            sentToTree = (InSendMessageEx(nullptr) & ISMEX_SEND) && t->MessageWindow() == wnd;
    };
    f.Tree->SetRootNodeCount(5000);
    ASSERT_TRUE(WaitForCache(*f.Tree));
    EXPECT_TRUE(sentToTree);
    EXPECT_EQ(f.Tree->CalculateCacheEntryCount(), f.Tree->PositionCache().size());
    // Bits beyond the four defined ones are ignored when they come through this window.
    TGridTreeStates before = f.Tree->TreeStates();
    SendMessageW(wnd, WM_CHANGESTATE, 0, ~LPARAM(0xF));
    EXPECT_EQ(before, f.Tree->TreeStates());
}

TEST(GridTreeWindow, WindowlessTreeMovesTimersAndValidationToItsNewWindow) {
    classlib::TForm form(nullptr);
    auto* tree = new TTestTree();  // owned by the form once placed on it
    tree->SetRootNodeCount(3000);
    tree->SetChangeDelay(30);
    int changes = 0;
    tree->OnChange = [&](TBaseGridTree*, PGridNode) { ++changes; };
    tree->SetSelected(tree->GetFirst(), true);  // starts the change timer on the message-only window
    ASSERT_TRUE(tree->HandleAllocated());
    EXPECT_FALSE(tree->HasControlWindow());
    tree->SetParent(&form);
    EXPECT_TRUE(tree->HasControlWindow());
    EXPECT_EQ(form.Handle(), GetParent(tree->Handle()));
    EXPECT_TRUE(PumpUntil([&] { return changes == 1; }));
    EXPECT_TRUE(WaitForCache(*tree));
}

TEST(GridTreeWindow, RecreatingTheWindowKeepsACurrentCacheComing) {
    TFormWithTree f;
    f.Tree->SetRootNodeCount(5000);
    ASSERT_TRUE(WaitForCache(*f.Tree));
    HWND old = f.Tree->Handle();
    f.Tree->RecreateWnd();
    EXPECT_NE(nullptr, f.Tree->MessageWindow());
    EXPECT_FALSE(IsWindow(old) && old == f.Tree->MessageWindow());
    EXPECT_TRUE(WaitForCache(*f.Tree));
}

TEST(GridTreeWindow, DestroyWhileTheWorkerValidates) {
    std::mt19937 rng(17);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        auto f = std::make_unique<TFormWithTree>();
        f->Tree->SetRootNodeCount(30000 + rng() % 30000);
        MSG msg;  // hands the tree to the worker
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        switch (i % 3) {
            case 0: break;
            case 1: Sleep(rng() % 3); break;
            case 2:
                PumpUntil([&] { return (f->Tree->TreeStates() & (tsValidating | tsUseCache)) != 0; });
                break;
        }
        if (i % 2) delete f->Tree;  // the tree alone, its form stays
        f.reset();
    }
    TFormWithTree after;
    after.Tree->SetRootNodeCount(5000);
    EXPECT_TRUE(WaitForCache(*after.Tree));
}

namespace {
// Rows wider than the client area, so that a horizontal bar is needed.
class TWideTree : public TTestTree {
protected:
    int DoGetNodeWidth(PGridNode, TColumnIndex) override { return 500; }
};
}  // namespace

TEST(GridTreeWindow, HorizontalBarForWideRows) {
    classlib::TForm form(nullptr);
    auto* tree = new TWideTree();
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 200, 100);
    tree->SetRootNodeCount(100);
    HWND wnd = tree->Handle();
    EXPECT_TRUE(HasStyle(wnd, WS_HSCROLL));
    EXPECT_GE(tree->RangeX(), 500 + tree->Margin());
    EXPECT_EQ(tree->RangeX(), BarInfo(wnd, SB_HORZ).nMax);
    SendMessageW(wnd, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(-20, tree->OffsetX());
    SendMessageW(wnd, WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(tree->ClientWidth() - tree->RangeX(), tree->OffsetX());
    // The last row ends above the horizontal bar, not under it.
    PGridNode last = tree->GetLast();
    tree->ScrollIntoView(last, false);
    RECT r = tree->GetDisplayRect(last, NoColumn, false);
    RECT client{};
    GetClientRect(wnd, &client);
    EXPECT_LE(r.bottom, client.bottom);
    EXPECT_GT(r.bottom, 0);
    // Vertical bar only: the horizontal one goes.
    tree->ScrollBarOptions().SetScrollBars(ssVertical);
    EXPECT_FALSE(HasStyle(tree->Handle(), WS_HSCROLL));
}

namespace {
// Narrow rows but for the last one.
class TLastRowWideTree : public TTestTree {
protected:
    int DoGetNodeWidth(PGridNode Node, TColumnIndex) override { return Node->NextSiblingNode ? 20 : 500; }
};
// Narrow rows but one wide row at `WideRow`.
class TOneWideRowTree : public TTestTree {
public:
    uint32_t WideRow = 0;

protected:
    int DoGetNodeWidth(PGridNode Node, TColumnIndex) override { return Node->Index == WideRow ? 900 : 40; }
};
}  // namespace

// The only wide row sits at the bottom edge, where the horizontal bar it needs would cover
// it: the bar comes and stays (its coming does not take away the reason for it).
TEST(GridTreeWindow, HorizontalBarForAWideRowItWouldCover) {
    classlib::TForm form(nullptr);
    auto* tree = new TLastRowWideTree();
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 200, 100);
    tree->SetDefaultNodeHeight(10);
    HWND wnd = tree->Handle();
    const int client = tree->ClientHeight();
    ASSERT_GT(client, 40);
    tree->SetRootNodeCount(uint32_t((client + 9) / 10));  // the last row ends at the bottom
    form.Show();
    EXPECT_TRUE(HasStyle(wnd, WS_HSCROLL));
    EXPECT_GE(tree->RangeX(), 500);
    EXPECT_EQ(tree->RangeX(), BarInfo(wnd, SB_HORZ).nMax);
}

// A wide row near the bottom that a horizontal bar would cover: the bar is there as long as
// the row is shown in the area without the bar, and settles (before, showing the bar hid the
// row, hiding it showed the row again, and the window recursed until the stack ran out).
TEST(GridTreeWindow, WideRowUnderTheHorizontalBarSettles) {
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    for (uint32_t wideRow : {4u, 6u}) {
        for (int extra = 1; extra <= bar; extra += 3) {
            SCOPED_TRACE(testing::Message() << "wide row " << wideRow << ", " << extra << " px of it above the bar");
            classlib::TForm form(nullptr);
            auto* tree = new TOneWideRowTree();
            tree->WideRow = wideRow;
            tree->SetParent(&form);
            HWND wnd = tree->Handle();
            const int rowHeight = int(tree->DefaultNodeHeight());
            tree->SetClientSize(300, int(wideRow) * rowHeight + extra);
            tree->SetRootNodeCount(wideRow + 1);
            EXPECT_TRUE(HasStyle(wnd, WS_HSCROLL));
            EXPECT_GE(tree->RangeX(), 900);
            RECT client{};
            GetClientRect(wnd, &client);
            EXPECT_EQ(client.bottom, tree->ClientHeight());
        }
    }
}

TEST(GridTreeWindow, HorizontalScrollCodesAndTheWheel) {
    classlib::TForm form(nullptr);
    auto* tree = new TWideTree();
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 200, 100);
    tree->SetRootNodeCount(100);
    HWND wnd = tree->Handle();
    const int right = tree->ClientWidth() - tree->RangeX(), page = tree->ClientWidth();
    ASSERT_LT(right, -page);
    struct Case {
        WORD Code;
        int Before, After;
    };
    const Case cases[] = {
        {SB_LINEDOWN, 0, -20},         {SB_LINEUP, -100, -80},      {SB_LINEUP, 0, 0},
        {SB_PAGEDOWN, 0, -page},       {SB_PAGEUP, right, right + page}, {SB_TOP, -100, 0},
        {SB_BOTTOM, 0, right},         {SB_LINEDOWN, right, right}, {SB_PAGEDOWN, right + 5, right},
        {SB_ENDSCROLL, -40, -40},      {99, -40, -40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Code);
        tree->SetOffsetX(c.Before);
        EXPECT_EQ(0, SendMessageW(wnd, WM_HSCROLL, c.Code, 0));
        EXPECT_EQ(c.After, tree->OffsetX());
    }
    // Dragging the thumb is a state of its own until the scroll ends.
    SendMessageW(wnd, WM_VSCROLL, SB_THUMBTRACK, 0);
    EXPECT_TRUE(tree->TreeStates() & tsThumbTracking);
    SendMessageW(wnd, WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_FALSE(tree->TreeStates() & tsThumbTracking);

    // The wheel: the system's lines per notch, a page with Ctrl; sideways by the indent
    // when the rows fit the height.
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int rowHeight = int(tree->DefaultNodeHeight());
    auto wheel = [&](int Notches, WORD Keys) {
        SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(Keys, WORD(short(Notches * WHEEL_DELTA))), MAKELPARAM(5, 5));
    };
    tree->SetOffsetY(0);
    wheel(-1, 0);
    EXPECT_EQ(-int(lines) * rowHeight, tree->OffsetY());
    wheel(1, 0);
    EXPECT_EQ(0, tree->OffsetY());
    wheel(-1, MK_CONTROL);
    EXPECT_EQ(-(tree->ClientHeight() / rowHeight) * rowHeight, tree->OffsetY());
    tree->SetRootNodeCount(2);
    tree->SetOffsetX(0);
    wheel(-1, 0);
    EXPECT_EQ(0, tree->OffsetY());
    EXPECT_EQ(-int(tree->Indent()), tree->OffsetX());
}

TEST(GridTreeWindow, AssignCopiesTheTreeSettings) {
    TTestTree source, dest;
    source.SetIndent(30);
    source.SetMargin(7);
    source.SetChangeDelay(40);
    source.SetDefaultNodeHeight(22);
    source.SetNodeDataSize(16);
    source.TreeOptions().SetSelectionOptions(toMultiSelect);
    source.ScrollBarOptions().SetScrollBars(ssVertical);
    source.ScrollBarOptions().VerticalIncrement = 33;
    source.SetRootNodeCount(7);
    dest.SetRootNodeCount(3);
    dest.Assign(source);
    EXPECT_EQ(30u, dest.Indent());
    EXPECT_EQ(7, dest.Margin());
    EXPECT_EQ(40u, dest.ChangeDelay());
    EXPECT_EQ(22u, dest.DefaultNodeHeight());
    EXPECT_EQ(16, dest.NodeDataSize());
    EXPECT_EQ(toMultiSelect, dest.TreeOptions().SelectionOptions());
    EXPECT_EQ(ssVertical, dest.ScrollBarOptions().ScrollBars());
    EXPECT_EQ(33, dest.ScrollBarOptions().VerticalIncrement);
    EXPECT_EQ(7u, dest.RootNodeCount());
    CheckInvariants(dest);

    TTestTree readOnly;
    readOnly.TreeOptions().SetMiscOptions(readOnly.TreeOptions().MiscOptions() | toReadOnly);
    readOnly.Assign(source);
    EXPECT_EQ(18u, readOnly.Indent());
    EXPECT_EQ(0u, readOnly.RootNodeCount());
}

TEST(GridTreeWindow, RootCountGivenWhileLoadingIsMadeByLoaded) {
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly);
        TTestTree tree;
        tree.BeginLoading();
        tree.SetRootNodeCount(5);
        if (readOnly) tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() | toReadOnly);
        EXPECT_EQ(0u, tree.TotalCount());
        EXPECT_TRUE(tree.TreeStates() & tsNeedRootCountUpdate);
        tree.Loaded();
        EXPECT_FALSE(tree.TreeStates() & tsNeedRootCountUpdate);
        EXPECT_EQ(5u, tree.RootNodeCount());
        EXPECT_EQ(5u, tree.TotalCount());
        EXPECT_EQ(readOnly, (tree.TreeOptions().MiscOptions() & toReadOnly) != 0);
        CheckInvariants(tree);
    }
}

TEST(GridTreeWindow, FocusNeedsAnEnabledVisibleForm) {
    TFormWithTree f;
    EXPECT_FALSE(f.Tree->CanFocus());
    f.Form->Show();
    EXPECT_TRUE(f.Tree->CanFocus());
    f.Form->SetEnabled(false);
    EXPECT_FALSE(f.Tree->CanFocus());
}

TEST(GridTreeWindow, BorderStyleAndCtl3DGiveTheFrame) {
    struct Case {
        classlib::TFormBorderStyle Style;
        bool Ctl3D;
        bool ClientEdge, Border;
    };
    for (Case c : {Case{classlib::bsSingle, true, true, false}, Case{classlib::bsSingle, false, false, true},
                   Case{classlib::bsNone, true, false, false}}) {
        SCOPED_TRACE(testing::Message() << int(c.Style) << " " << c.Ctl3D);
        TFormWithTree f;
        f.Tree->SetCtl3D(c.Ctl3D);
        f.Tree->SetBorderStyle(c.Style);
        HWND wnd = f.Tree->Handle();
        EXPECT_EQ(c.ClientEdge, (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
        EXPECT_EQ(c.Border, HasStyle(wnd, WS_BORDER));
    }
}

namespace {
// A string tree whose nodes are named by their position ("0", "1", "1.0" ...).
struct TQueriedTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TGridStringTree* Tree = nullptr;
    std::wstring Text = L"abcdefgh";

    TQueriedTree() {
        Form->SetBounds(10, 10, 400, 300);
        Tree = new TGridStringTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 200, 100);
        Tree->OnGetText = [this](TBaseGridTree*, PGridNode, TColumnIndex, TGSTTextType, std::wstring& T) { T = Text; };
        Tree->SetRootNodeCount(3);
        Tree->HandleNeeded();
    }
    LRESULT Send(UINT Msg, WPARAM W, const void* L) {
        return SendMessageW(Tree->Handle(), Msg, W, reinterpret_cast<LPARAM>(L));
    }
};
}  // namespace

// Any process may send these queries: only nodes of this tree are answered.
TEST(GridTreeWindow, TreeViewQueriesAnswerForNodesOfTheTreeOnly) {
    TQueriedTree q;
    TGridStringTree& tree = *q.Tree;
    tree.TreeOptions().SetSelectionOptions(toMultiSelect);
    PGridNode first = tree.GetFirst(), second = tree.GetNextSibling(first);
    tree.SetChildCount(second, 2);
    tree.SetFocusedNode(second);
    tree.SetSelected(second, true);

    auto next = [&](WPARAM Code, PGridNode Item) {
        return reinterpret_cast<PGridNode>(q.Send(TVM_GETNEXTITEM, Code, Item));
    };
    EXPECT_EQ(second, next(TVGN_CARET, nullptr));
    EXPECT_EQ(first, next(TVGN_ROOT, nullptr));
    EXPECT_EQ(second, next(TVGN_NEXT, first));
    EXPECT_EQ(first, next(TVGN_PREVIOUS, second));
    EXPECT_EQ(nullptr, next(TVGN_PARENT, second));
    EXPECT_EQ(second, next(TVGN_PARENT, tree.GetFirstChild(second)));
    EXPECT_EQ(tree.GetFirstChild(second), next(TVGN_CHILD, second));
    EXPECT_EQ(nullptr, next(0x77, first));

    char buffer[16];
    auto item = [&](PGridNode Node, int TextMax) {
        TVITEMA it{};
        it.mask = TVIF_HANDLE | TVIF_STATE | TVIF_TEXT | TVIF_CHILDREN;
        it.hItem = reinterpret_cast<HTREEITEM>(Node);
        std::memset(buffer, '#', sizeof buffer);
        it.pszText = buffer;
        it.cchTextMax = TextMax;
        return it;
    };
    TVITEMA it = item(second, 16);
    ASSERT_TRUE(q.Send(TVM_GETITEMA, 0, &it));
    EXPECT_STREQ("abcdefgh", buffer);
    EXPECT_EQ(2, it.cChildren);
    EXPECT_EQ(UINT(TVIS_SELECTED | 0x0001), it.state & (TVIS_SELECTED | 0x0001));  // selected and focused
    it = item(first, 16);
    ASSERT_TRUE(q.Send(TVM_GETITEMA, 0, &it));
    EXPECT_EQ(0u, it.state & (TVIS_SELECTED | 0x0001));

    // A longer text is cut to the buffer, between characters, and terminated.
    it = item(first, 4);
    ASSERT_TRUE(q.Send(TVM_GETITEMA, 0, &it));
    EXPECT_EQ(std::string("abc\0#", 5), std::string(buffer, 5));
    q.Text = L"キー1";  // two double-byte characters and one single
    it = item(first, 4);
    ASSERT_TRUE(q.Send(TVM_GETITEMA, 0, &it));
    EXPECT_EQ('\0', buffer[2]);
    EXPECT_EQ('#', buffer[3]);

    // No room for text, or handles that are not nodes of this tree: no answer, nothing
    // written.
    TQueriedTree other;
    PGridNode foreign = other.Tree->GetFirst();
    PGridNode freed = tree.GetLast();
    tree.DeleteNode(freed);
    int onStack = 0;
    struct Case {
        const char* What;
        PGridNode Node;
        int TextMax;
    };
    const Case refused[] = {
        {"no text room", first, 0},
        {"negative text room", first, -5},
        {"no handle", nullptr, 16},
        {"another tree's node", foreign, 16},
        {"a deleted node", freed, 16},
        {"the hidden root", tree.RootNode(), 16},
        {"inside a node", reinterpret_cast<PGridNode>(reinterpret_cast<char*>(first) + 8), 16},
        {"not a node at all", reinterpret_cast<PGridNode>(&onStack), 16},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.What);
        it = item(c.Node, c.TextMax);
        EXPECT_EQ(0, q.Send(TVM_GETITEMA, 0, &it));
        EXPECT_EQ('#', buffer[0]);
        if (c.TextMax <= 0) continue;
        HTREEITEM handle[4] = {reinterpret_cast<HTREEITEM>(c.Node)};
        EXPECT_EQ(0, q.Send(TVM_GETITEMRECT, 0, handle));
        EXPECT_EQ(0, next(TVGN_NEXT, c.Node));
    }
    // A record the caller does not have.
    EXPECT_EQ(0, SendMessageW(tree.Handle(), TVM_GETITEMA, 0, 16));

    // The rectangle of a node: the record that held the handle receives it.
    RECT r{};
    const HTREEITEM handle = reinterpret_cast<HTREEITEM>(second);
    std::memcpy(&r, &handle, sizeof handle);
    EXPECT_TRUE(q.Send(TVM_GETITEMRECT, 0, &r));
    EXPECT_EQ(18, r.top);
    EXPECT_EQ(36, r.bottom);
}
