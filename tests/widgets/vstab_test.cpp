// The tab strip: rows and rectangles, hit tests, activation events and their order, list
// changes, mouse input, and the pixels of painted tabs.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/graphics.h"
#include "classlib/dragdrop.h"
#include "classlib/imagelist.h"
#include "common/test_support.h"
#include "widgets/vstab.h"

#include <memory>
#include <string>
#include <vector>

using namespace widgets;

using namespace classlib;
using namespace wide;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class TestTab : public TVxVSTab {
public:
    using TVxVSTab::TVxVSTab;
    POINT Cursor{};
    void PaintTo(HDC dc) { PaintWindow(dc); }
    void Drop(int x, int y) { DragDrop(this, x, y); }
    bool Accepts(TComponent* source) {
        bool accept = true;
        DragOver(source, 5, 5, dsDragMove, accept);
        return accept;
    }
    void Click(UINT msg, int x, int y) {
        WPARAM keys = msg == WM_MBUTTONDOWN || msg == WM_MBUTTONDBLCLK ? MK_MBUTTON : MK_LBUTTON;
        SendMessageW(Handle(), msg, keys, MAKELPARAM(x, y));
    }
    void Wheel(int delta) { SendMessageW(Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0); }

protected:
    POINT CursorPos() override { return Cursor; }
};

class TabTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 500, 300);
        Tab = new TestTab(Form.get());
        Tab->SetParent(Form.get());
        Tab->SetBounds(0, 0, 300, 25);
        Tab->SetEnableBuiltinDragDrop(false);
        Form->HandleNeeded();
    }
    void AddTabs(int n) {
        for (int i = 0; i < n; ++i) Tab->Tabs().Add(L"T" + std::to_wstring(i));
    }
    void Layout() { Tab->LayoutTabs(List, LastRow, H); }
    const TVxVSTabClass& Rec(int tabIndex) {
        for (const auto& r : List)
            if (r.TabIndex == tabIndex) return r;
        throw std::runtime_error("no tab");
    }
    void RecordEvents() {
        Tab->OnChanging = [this](TComponent*, int i, bool& allow) {
            Log += L"changing" + std::to_wstring(i) + L" ";
            allow = Allow;
        };
        Tab->OnChange = [this](TComponent*) { Log += L"change" + std::to_wstring(Tab->ActiveTabIndex()) + L" "; };
    }
    std::unique_ptr<TForm> Form;
    TestTab* Tab = nullptr;
    std::vector<TVxVSTabClass> List;
    int LastRow = -1, H = 0;
    std::wstring Log;
    bool Allow = true;
};

TEST_F(TabTest, FixedWidthTabsWrapIntoRowsThatOverlap) {
    Tab->SetTabWidth(100);
    AddTabs(4);
    Layout();
    ASSERT_EQ(List.size(), 4u);
    EXPECT_GE(H, 15);
    EXPECT_EQ(LastRow, 1);
    // Painting order: the last row first, index order within a row.
    std::vector<int> order;
    for (const auto& r : List) order.push_back(r.TabIndex);
    EXPECT_EQ(order, (std::vector<int>{2, 3, 0, 1}));
    // 300 - 5 < x + 100 + 2 decides the wrap; neighbours overlap by 5 pixels.
    EXPECT_EQ(Rec(0).Rect.left, 4);
    EXPECT_EQ(Rec(0).Rect.right, 104);
    EXPECT_EQ(Rec(1).Rect.left, 99);
    EXPECT_EQ(Rec(2).Row, 1);
    EXPECT_EQ(Rec(2).Rect.left, 4);
    EXPECT_EQ(Rec(0).Rect.top, 0);
    EXPECT_EQ(Rec(0).Rect.bottom, H + 3);
    EXPECT_EQ(Rec(2).Rect.top, H - 1);  // rows overlap by 4 pixels
    EXPECT_TRUE(Rec(0).Active);
    EXPECT_EQ(Rec(0).Height, H + 3);
    EXPECT_EQ(Tab->NeededHeight(), (H - 1) + H + 4);

    // Three fit in one row at 301 pixels: 194 + 102 = 296 is not above 296.
    Tab->SetWidth(301);
    Layout();
    EXPECT_EQ(Rec(2).Row, 0);
    EXPECT_EQ(Rec(3).Row, 1);

    // The active tab's row moves next to the content, swapping with the last row.
    Tab->SetWidth(300);
    Tab->SetActiveTabLineTopView(true);
    Layout();
    EXPECT_EQ(Rec(0).Row, 1);
    EXPECT_EQ(Rec(2).Row, 0);

    // Reversing: rows ascending.
    Tab->SetActiveTabLineTopView(false);
    Tab->SetReversing(true);
    Layout();
    EXPECT_EQ(List.front().TabIndex, 0);
    EXPECT_EQ(List.back().TabIndex, 3);
}

TEST_F(TabTest, TooNarrowStripLeavesRowZeroEmpty) {
    Tab->SetTabWidth(100);
    Tab->SetWidth(50);
    AddTabs(2);
    Layout();
    EXPECT_EQ(Rec(0).Row, 1);
    EXPECT_EQ(Rec(1).Row, 2);
    EXPECT_EQ(LastRow, 2);
    EXPECT_EQ(Tab->NeededHeight(), 2 * (H - 1) + H + 4);
}

TEST_F(TabTest, CaptionWidthsImagesAndNegativeSettings) {
    Tab->SetTabWidth(-7);
    EXPECT_EQ(Tab->TabWidth(), -1);
    Tab->SetImageIndex(-3);
    EXPECT_EQ(Tab->ImageIndex(), -1);
    Tab->Tabs().Add(L"HKEY_LOCAL_MACHINE");
    Tab->Tabs().Add(L"HKEY_LOCAL_MACHINE");
    Tab->SetWidth(1000);
    Layout();
    int active = Rec(0).Rect.right - Rec(0).Rect.left;
    int plain = Rec(1).Rect.right - Rec(1).Rect.left;
    EXPECT_GT(plain, 2 * H);
    EXPECT_GT(active, plain);  // the active caption is measured bold

    TImageList images(Form.get(), 16, 16);
    Tab->SetImages(&images);
    Tab->SetImageIndex(0);
    Tab->OnGetImageIndex = [](TComponent*, int tab, int& image) { if (tab == 1) image = -1; };
    Layout();
    EXPECT_EQ(Rec(0).Rect.right - Rec(0).Rect.left, active + 16 + 3);
    EXPECT_EQ(Rec(1).Rect.right - Rec(1).Rect.left, plain);
}

// The strip fits its height to its rows as they change, without being painted; a new width
// brings its height along, and painting never changes the size.
TEST_F(TabTest, HeightFollowsTheRowsAndPaintingNeverResizes) {
    Tab->SetTabWidth(100);
    AddTabs(2);
    Layout();
    EXPECT_EQ(Tab->Height(), H + 4);
    AddTabs(2);  // four tabs of 100 in 300 pixels: two rows
    EXPECT_EQ(Tab->Height(), (H - 1) + H + 4);
    Tab->Tabs().Delete(3);
    Tab->Tabs().Delete(2);
    EXPECT_EQ(Tab->Height(), H + 4);

    Tab->SetWidth(150);  // one tab a row
    EXPECT_EQ(Tab->Height(), (H - 1) + H + 4);
    Tab->SetBounds(0, 0, 300, 60);  // the height that comes with a new width is the rows'
    EXPECT_EQ(Tab->Height(), H + 4);

    // Aligned to the bottom of a parent that gets narrower: it is placed by the height it took,
    // and the control above it ends where it begins.
    Tab->SetAlign(alBottom);
    auto* above = new TWinControl(Form.get());  // filling the rest
    above->SetParent(Form.get());
    above->SetAlign(alClient);
    Form->SetClientSize(150, 200);
    EXPECT_EQ(Tab->Height(), (H - 1) + H + 4);
    EXPECT_EQ(Tab->Top(), 200 - Tab->Height());
    EXPECT_EQ(above->Height(), Tab->Top());
    Form->SetClientSize(300, 200);
    EXPECT_EQ(Tab->Top(), 200 - (H + 4));
    EXPECT_EQ(above->Height(), Tab->Top());
    Tab->SetAlign(alNone);
    delete above;
    Tab->SetBounds(0, 0, 300, 25);

    // An image answer the strip is not told of widens the tabs: the paint that finds two
    // rows keeps the size, the call it queues fits it.
    TImageList images(Form.get(), 16, 16);
    Tab->SetImages(&images);
    Tab->SetTabWidth(-1);
    bool images0 = false;
    Tab->OnGetImageIndex = [&](TComponent*, int, int& image) { image = images0 ? 0 : -1; };
    Tab->SetWidth(1000);
    Layout();
    Tab->SetWidth(List.back().Rect.right + 8);  // just wide enough for one row without images
    PumpMessages();
    ASSERT_EQ(Tab->Height(), H + 4);
    images0 = true;
    TBitmap bmp(Tab->Width(), 80);
    Tab->PaintTo(bmp.Canvas().Handle());
    EXPECT_EQ(Tab->Height(), H + 4);
    PumpMessages();
    EXPECT_EQ(Tab->Height(), (H - 1) + H + 4);
}

TEST_F(TabTest, TabAtPointNeedsStrictContainmentAndPrefersTheLeftNeighbour) {
    Tab->SetTabWidth(100);
    AddTabs(4);
    Layout();
    struct Case { POINT p; int tab; };
    const Case cases[] = {
        {{50, 5}, 0},  {{4, 5}, -1},  {{5, 5}, 0},   {{101, 5}, 0},  // overlap of 0 and 1
        {{150, 5}, 1}, {{250, 5}, -1}, {{50, 0}, -1}, {{50, H + 5}, 2},
        {{50, H + 1}, 2},  // rows overlap: the lower row comes first in layout order
    };
    for (const auto& c : cases) EXPECT_EQ(Tab->TabAtPoint(c.p), c.tab) << c.p.x << "," << c.p.y;
    Tab->Cursor = Tab->ClientToScreen({150, 5});
    EXPECT_EQ(Tab->TabUnderCursor(), 1);
}

TEST_F(TabTest, ActivationAsksFirstAndNeverSkipsTheSameValue) {
    AddTabs(3);
    RecordEvents();
    Tab->SetActiveTabIndex(0);
    Tab->SetActiveTabIndex(7);  // no range check
    EXPECT_EQ(Log, L"changing0 change0 changing7 change7 ");
    Allow = false;
    Log.clear();
    Tab->SetActiveTabIndex(1);
    EXPECT_EQ(Tab->ActiveTabIndex(), 7);
    EXPECT_EQ(Log, L"changing1 ");
}

TEST_F(TabTest, ListChangesKeepAValidActiveTab) {
    AddTabs(3);  // the first Add found active 0 in range
    RecordEvents();
    Tab->SetActiveTabIndex(2);
    Log.clear();
    Tab->Tabs().Delete(2);
    EXPECT_EQ(Tab->ActiveTabIndex(), 1);
    EXPECT_EQ(Log, L"changing1 change1 ");
    Log.clear();
    Tab->Tabs().Clear();
    EXPECT_EQ(Tab->ActiveTabIndex(), -1);
    EXPECT_EQ(Log, L"changing-1 change-1 ");
    Log.clear();
    Tab->Tabs().Add(L"a");
    Tab->Tabs().Add(L"b");
    EXPECT_EQ(Log, L"changing0 change0 ");  // from -1 the last (only) tab becomes active
    // Assigning copies the lines in one change.
    TWideStringList lines;
    lines.Add(L"x");
    lines.Add(L"y");
    lines.Add(L"z");
    Log.clear();
    Tab->SetTabs(lines);
    EXPECT_EQ(Tab->Tabs().Text(), L"x\r\ny\r\nz\r\n");
    EXPECT_EQ(Log, L"");
}

TEST_F(TabTest, MouseClicksWheelAndMiddleClose) {
    Tab->SetTabWidth(100);
    AddTabs(3);
    RecordEvents();
    Tab->Click(WM_LBUTTONDOWN, 150, 5);
    EXPECT_EQ(Tab->ActiveTabIndex(), 1);
    Tab->Click(WM_LBUTTONDOWN, 290, 5);  // no tab there
    EXPECT_EQ(Log, L"changing1 change1 ");
    Allow = false;
    Tab->Click(WM_LBUTTONDOWN, 50, 5);
    EXPECT_EQ(Tab->ActiveTabIndex(), 1);
    Allow = true;

    Log.clear();
    Tab->Wheel(-120);
    Tab->Wheel(-120);  // on the last tab: nothing
    EXPECT_EQ(Tab->ActiveTabIndex(), 2);
    Tab->SetActiveTabIndex(0);
    Tab->Wheel(120);  // on the first tab: nothing
    EXPECT_EQ(Log, L"changing2 change2 changing0 change0 ");

    std::vector<int> asked;
    Tab->OnMiddleClickClosing = [&](TComponent*, int i, bool& allow) {
        asked.push_back(i);
        allow = i != 0;
    };
    Tab->Click(WM_MBUTTONDOWN, 290, 5);  // outside every tab
    Tab->Click(WM_MBUTTONDOWN, 50, 5);   // refused
    Tab->Click(WM_MBUTTONDOWN, 150, 5);
    EXPECT_EQ(asked, (std::vector<int>{0, 1}));
    EXPECT_EQ(Tab->Tabs().Text(), L"T0\r\nT2\r\n");
    Tab->SetMiddleClickClose(false);
    Tab->Click(WM_MBUTTONDOWN, 150, 5);
    EXPECT_EQ(Tab->Tabs().Count(), 2);
    // A quick second press at the same place comes as a double click: the tab that slid
    // under the pointer closes like at any press.
    Tab->SetMiddleClickClose(true);
    Tab->Click(WM_MBUTTONDBLCLK, 150, 5);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(Tab->Tabs().Text(), L"T0\r\n");
}

TEST_F(TabTest, DroppingATabExchangesItWithTheTarget) {
    Tab->SetTabWidth(100);
    AddTabs(3);
    EXPECT_TRUE(Tab->Accepts(Tab));
    EXPECT_FALSE(Tab->Accepts(Form.get()));
    RecordEvents();
    Tab->Drop(150, 5);
    EXPECT_EQ(Tab->Tabs().Text(), L"T1\r\nT0\r\nT2\r\n");
    EXPECT_EQ(Tab->ActiveTabIndex(), 1);
    Log.clear();
    Tab->Drop(150, 5);  // on itself: exchanged with itself, activated again
    EXPECT_EQ(Tab->Tabs().Text(), L"T1\r\nT0\r\nT2\r\n");
    EXPECT_EQ(Log, L"changing1 change1 ");
    Log.clear();
    Tab->Drop(290, 5);  // no tab: nothing
    EXPECT_EQ(Log, L"");
    // An active index without a tab exchanges nothing but still activates the target.
    Tab->SetActiveTabIndex(9);
    Tab->Drop(50, 5);
    EXPECT_EQ(Tab->Tabs().Text(), L"T1\r\nT0\r\nT2\r\n");
    EXPECT_EQ(Tab->ActiveTabIndex(), 0);
}

TEST_F(TabTest, HintTextComesFromTheTabUnderTheCursor) {
    Tab->SetTabWidth(100);
    AddTabs(2);
    Tab->SetHint(L"strip");
    Tab->OnGetHintStr = [](TComponent*, int i, std::wstring& hint) { hint += L" タブ" + std::to_wstring(i); };
    THintInfo info;
    info.HintStr = Tab->Hint();
    Tab->Cursor = Tab->ClientToScreen({150, 5});
    EXPECT_EQ(Tab->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.HintStr, L"strip タブ1");
    EXPECT_EQ(info.ReshowTimeout, 100);
    ASSERT_TRUE(info.HintWindowClass);
    std::unique_ptr<THintWindow> wnd(info.HintWindowClass());
    EXPECT_NE(dynamic_cast<TVSTabHintWindow*>(wnd.get()), nullptr);
    // Off every tab the text stays the control's own.
    THintInfo off;
    off.HintStr = L"strip";
    Tab->Cursor = Tab->ClientToScreen({290, 5});
    Tab->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&off));
    EXPECT_EQ(off.HintStr, L"strip");
}

class TabPaintTest : public TabTest {
protected:
    COLORREF At(int x, int y) { return Bmp->Canvas().Pixel(x, y); }
    void Paint() {
        Bmp = std::make_unique<TBitmap>(Tab->Width(), 80);
        Tab->PaintTo(Bmp->Canvas().Handle());
        Layout();
    }
    std::unique_ptr<TBitmap> Bmp;
};

TEST_F(TabPaintTest, GradientsOutlinesAndTheActiveTabOnTop) {
    Tab->SetTabWidth(100);
    Tab->Tabs().Add(L"A");
    Tab->Tabs().Add(L"B");
    Paint();
    const RECT a = Rec(0).Rect, b = Rec(1).Rect;
    EXPECT_EQ(At(a.right - 3, a.top + 2), 0xFFFFFFu);  // active start
    EXPECT_EQ(At(a.right - 3, a.bottom), 0xBBC5C9u);
    EXPECT_EQ(At(b.right - 3, b.top + 2), 0xC4CCCFu);
    EXPECT_EQ(At(b.right - 3, b.bottom), 0x949697u);
    EXPECT_EQ(At(b.right, b.top + 5), 0x808080u);      // right edge of the outline
    EXPECT_EQ(At(b.left + H + 8, b.top + 1), 0x808080u);  // top edge
    EXPECT_EQ(At(290, 2), ColorToRGB(clBtnFace));
    // The active left tab covers its right neighbour's slanted edge in the overlap.
    EXPECT_EQ(At(a.right, a.bottom - 1), 0x808080u);
    Tab->SetActiveTabIndex(1);
    Paint();
    EXPECT_NE(At(Rec(0).Rect.right, Rec(0).Rect.bottom - 1), 0x808080u);
    // One row: the strip's height fits it.
    EXPECT_EQ(Tab->Height(), H + 4);
}

TEST_F(TabPaintTest, RowLinesAndReversedTabs) {
    Tab->SetTabWidth(100);
    AddTabs(4);
    Tab->SetActiveTabIndex(3);  // in the last row
    Paint();
    EXPECT_EQ(Tab->Height(), (H - 1) + H + 4);
    const int rowLine = Rec(0).Rect.bottom;
    EXPECT_EQ(At(295, rowLine), 0x808080u);
    EXPECT_EQ(At(295, rowLine + 1), ColorToRGB(clBtnFace));

    Tab->SetReversing(true);
    Paint();
    const RECT r = Rec(1).Rect;  // inactive, row 0
    EXPECT_EQ(At(r.right - 3, r.top), 0xC4CCCFu);  // gradient starts at the top edge
    EXPECT_EQ(At(r.right - 2, r.bottom - 1), 0x808080u);  // bottom edge of the outline
    // Row 1 is not next to the content: its line is at its top.
    EXPECT_EQ(At(295, Rec(2).Rect.top), 0x808080u);
}

}  // namespace

namespace {

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void MoveMouse(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = (x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &in, sizeof(in));
}

// Real input: pressing a tab activates it, dragging it onto another tab exchanges the two.
// Each step waits until the control has handled the input: a press takes the mouse capture
// for a drag that waits for the threshold, moving past it drags, the release lets go.
TEST(TabWindow, ClickAndDragWithTheMouse) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 500, 200);
    auto* tab = new TVxVSTab(&form);
    tab->SetParent(&form);
    tab->SetAlign(alTop);
    tab->SetTabWidth(100);
    for (auto s : {L"検索", L"アンドゥ", L"クリップボード"}) tab->Tabs().Add(s);
    form.Show();
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpMessages();

    POINT at = tab->ClientToScreen({150, 8});
    MoveMouse(at.x, at.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return tab->ActiveTabIndex() == 1 && !GetCapture(); }));
    EXPECT_EQ(tab->ActiveTabIndex(), 1);

    POINT from = tab->ClientToScreen({150, 8}), to = tab->ClientToScreen({240, 8});
    MoveMouse(from.x, from.y);
    // This press comes as a double click: it must act like any press.
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return GetCapture() != nullptr; }));
    for (int x = from.x; x <= to.x; x += 15) MoveMouse(x, to.y);
    EXPECT_TRUE(PumpUntil([&] { return tab->Dragging(); }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return !tab->Dragging() && !GetCapture(); }));
    EXPECT_EQ(tab->Tabs().Text(), L"検索\r\nクリップボード\r\nアンドゥ\r\n");
    EXPECT_EQ(tab->ActiveTabIndex(), 2);
}

}  // namespace
