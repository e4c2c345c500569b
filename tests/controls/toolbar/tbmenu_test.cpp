// Popup placement, accelerators, wheel arithmetic and the menu loop over real popups.
#include "classlib/application.h"
#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbmodal.h"
#include "controls/toolbar/tbpopup.h"
#include "controls/toolbar/tbview.h"
#include "tbinputscript.h"
#include "tbtestitems.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// The visible popup windows of this process.
int VisiblePopups() {
    int n = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"TBarPopupWindow", nullptr); w;
         w = FindWindowExW(nullptr, w, L"TBarPopupWindow", nullptr))
        if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) ++n;
    return n;
}

}  // namespace

// --- placement -----------------------------------------------------------------------------

TEST(PopupPlacement, FlipsAndKeepsInsideTheMonitor) {
    struct Case {
        const char* Name;
        bool Submenu;
        TBarPopupAlignment Alignment;
        bool Opposite;
        RECT Item;
        POINT Start;
        SIZE Size;
        bool HasParent, ParentVertical;
        std::vector<RECT> ParentViewers;
        POINT Expected;
        bool ExpectedLeft;
        unsigned ExpectedDir;
    };
    const RECT monitor{0, 0, 1000, 800};
    const std::vector<Case> cases = {
        {"drop-down below its item", false, tbpaLeft, false, {100, 20, 150, 40}, {100, 40}, {200, 300}, true, false,
         {}, {100, 40}, false, tbpdDown},
        {"drop-down flips above", false, tbpaLeft, false, {100, 600, 150, 620}, {100, 620}, {200, 300}, true, false,
         {}, {100, 300}, false, tbpdUp},
        {"too tall either way: clamped, then beside the item", false, tbpaLeft, false, {100, 300, 150, 320},
         {100, 320}, {200, 700}, true, false, {}, {150, 100}, false, tbpdRight},
        {"drop-down at the right edge", false, tbpaLeft, false, {900, 20, 950, 40}, {900, 40}, {200, 300}, true,
         false, {}, {800, 40}, false, tbpdDown},
        {"above when below would cover the toolbar's second line", false, tbpaLeft, false, {100, 500, 150, 520},
         {100, 520}, {200, 300}, true, false, {{100, 520, 140, 540}, {140, 520, 180, 540}}, {100, 200}, false,
         tbpdUp},
        {"context menu at the right edge opens left of the point", false, tbpaLeft, false, {950, 100, 950, 100},
         {950, 100}, {200, 300}, false, false, {}, {750, 100}, false, tbpdLeft | tbpdDown},
        {"right-aligned at the left edge opens right of the point", false, tbpaRight, false, {50, 100, 50, 100},
         {-150, 100}, {200, 300}, false, false, {}, {50, 100}, false, tbpdRight | tbpdDown},
        {"context menu at the bottom opens above the point", false, tbpaLeft, false, {500, 700, 500, 700},
         {500, 700}, {200, 300}, false, false, {}, {500, 400}, false, tbpdUp | tbpdRight},
        {"sub-menu at the right edge goes left", true, tbpaLeft, false, {700, 100, 900, 120}, {897, 97}, {200, 300},
         true, false, {}, {503, 97}, true, tbpdLeft},
        {"sub-menu of a left-opened menu keeps going left", true, tbpaLeft, true, {300, 100, 500, 120}, {497, 97},
         {200, 300}, true, false, {}, {103, 97}, true, tbpdLeft},
        {"until the left side has no room", true, tbpaLeft, true, {100, 100, 300, 120}, {297, 97}, {200, 300}, true,
         false, {}, {297, 97}, false, tbpdRight},
        {"sub-menu at the bottom ends level with its item", true, tbpaLeft, false, {100, 700, 300, 720}, {297, 697},
         {200, 300}, true, false, {}, {297, 423}, false, tbpdRight},
        {"from a vertical toolbar it opens beside the item", false, tbpaLeft, false, {0, 100, 30, 130}, {-200, 100},
         {200, 300}, true, true, {}, {30, 100}, false, tbpdRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TBarPopupPositionRec rec;
        rec.PositionAsSubmenu = c.Submenu;
        rec.Alignment = c.Alignment;
        rec.Opposite = c.Opposite;
        rec.MonitorRect = monitor;
        rec.ParentItemRect = c.Item;
        rec.NCSizeX = rec.NCSizeY = 3;
        rec.X = c.Start.x;
        rec.Y = c.Start.y;
        rec.W = c.Size.cx;
        rec.H = c.Size.cy;
        TBarPopupParentInfo parent;
        parent.Exists = c.HasParent;
        parent.Vertical = c.ParentVertical;
        parent.ViewerRects = c.ParentViewers;
        const bool left = PlacePopup(rec, parent);
        EXPECT_EQ(rec.X, c.Expected.x);
        EXPECT_EQ(rec.Y, c.Expected.y);
        EXPECT_EQ(left, c.ExpectedLeft);
        EXPECT_EQ(rec.AnimDir, c.ExpectedDir);
        EXPECT_GE(rec.X, monitor.left);
        EXPECT_GE(rec.Y, monitor.top);
    }
}

// --- accelerators ----------------------------------------------------------------------------

TEST(ViewNavigation, AcceleratorsPreferEnabledPrimaryMatches) {
    TBarRootItem root(nullptr);
    for (const wchar_t* caption : {L"&Alpha", L"&Beta", L"B&ravo", L"Charlie", L"Cobra", L"&Delta", L"&Dog",
                                   L"&Echo", L" Space", L"&Zulu"})
        NewItem(&root, caption);
    root.GetItem(5)->SetEnabled(false);  // &Delta
    root.GetItem(7)->SetEnabled(false);  // &Echo
    root.GetItem(9)->SetVisible(false);  // &Zulu
    TBarView view(nullptr, nullptr, &root, nullptr, false, false, false);
    const auto viewerOf = [&](const wchar_t* caption) -> TBarItemViewer* {
        if (!caption) return nullptr;
        for (int i = 0; i < view.ViewerCount(); ++i)
            if (view.Viewers(i)->Item()->Caption() == caption) return view.Viewers(i);
        return nullptr;
    };
    struct Case {
        const wchar_t* From;
        wchar_t Key;
        bool RequirePrimary;
        const wchar_t* Expected;
        bool OnlyOne;
    };
    const Case cases[] = {
        {nullptr, L'a', true, L"&Alpha", true},
        {nullptr, L'B', true, L"&Beta", true},    // case is ignored
        {nullptr, L'r', true, L"B&ravo", true},   // the mark, not the first letter
        {nullptr, L'c', false, L"Charlie", false},  // first letters, two of them
        {L"Charlie", L'c', false, L"Cobra", false},
        {nullptr, L'c', true, nullptr, false},    // first letters only when allowed
        {nullptr, L'd', true, L"&Dog", true},     // the enabled one before the disabled
        {nullptr, L'e', true, L"&Echo", true},    // a disabled hit alone
        {nullptr, L' ', false, nullptr, false},   // a blank is no first letter
        {nullptr, L'z', false, nullptr, false},   // hidden items do not count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<char>(c.Key) << (c.From ? " after a viewer" : ""));
        bool onlyOne = !c.OnlyOne;
        TBarItemViewer* hit = view.NextSelectableWithAccel(viewerOf(c.From), c.Key, c.RequirePrimary, onlyOne);
        EXPECT_EQ(hit, viewerOf(c.Expected));
        if (hit) {
            EXPECT_EQ(onlyOne, c.OnlyOne);
        }
    }
}

TEST(ViewNavigation, WheelArithmetic) {
    struct Case {
        int Accumulator, Delta;
        UINT Lines;
        int Steps, Left;
        bool Down;
    };
    const Case cases[] = {
        {0, 120, 3, 3, 0, false},  {0, 40, 3, 1, 0, false},    {0, -120, 3, 3, 0, true},
        {0, 30, 3, 0, 30, false},  {30, 10, 3, 1, 0, false},   {0, 120, 0, 0, 0, false},
        {50, 120, 0, 0, 0, false}, {0, 119, 1, 0, 119, false}, {0, 120, 5, 5, 0, false},
        {0, 120, WHEEL_PAGESCROLL, 7, 1, false},  // a page: the lines shown (120 div 7 a line)
        {-20, 60, 3, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Accumulator << " + " << c.Delta << ", " << c.Lines << " lines");
        int accumulator = c.Accumulator;
        bool down = !c.Down;
        EXPECT_EQ(WheelScrollSteps(accumulator, c.Delta, c.Lines, 7, down), c.Steps);
        EXPECT_EQ(accumulator, c.Left);
        if (c.Steps > 0) {
            EXPECT_EQ(down, c.Down);
        }
    }
}

// --- real popups -----------------------------------------------------------------------------

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetCaption(L"メニュー");
        Form->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int, int) { ++FormPresses; };
        Form->Show();
        PumpMessages();
        Menu = std::make_unique<TBarPopupMenu>(nullptr);
        for (const wchar_t* caption : {L"&Open", L"&Save", L"E&xit"}) {
            TBarCustomItem* item = NewItem(Menu->Items(), caption);
            item->SetOnClick([this, caption](TComponent*) { Clicks.push_back(caption); });
        }
    }
    void TearDown() override {
        Menu.reset();
        delete Form;
        PumpMessages();
    }
    // The screen point of a point in the form's client area.
    POINT FormPoint(int x, int y) { return Form->ClientToScreen(POINT{x, y}); }

    TForm* Form = nullptr;
    std::unique_ptr<TBarPopupMenu> Menu;
    std::vector<std::wstring> Clicks;
    int FormPresses = 0;
};

TEST_F(PopupMenuTest, KeyboardChoosesAndTheClickRunsOnceAfterTheMenuClosed) {
    int popupsWhileOpen = 0;
    InputScript script(Form->Handle());
    script.Key(WM_KEYDOWN, VK_DOWN)
        .Key(WM_KEYDOWN, VK_DOWN)
        .Run([&] { popupsWhileOpen = VisiblePopups(); })
        .Key(WM_KEYDOWN, VK_RETURN);
    script.Start();
    TBarCustomItem* chosen = Menu->PopupEx(700, 150, false);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->Caption(), L"&Save");
    EXPECT_EQ(popupsWhileOpen, 1);
    EXPECT_EQ(VisiblePopups(), 0);
    EXPECT_TRUE(Clicks.empty()) << "clicks run after the loop, from the message loop";
    ASSERT_TRUE(PumpUntil([&] { return !Clicks.empty(); }));
    PumpMessages();
    EXPECT_EQ(Clicks, std::vector<std::wstring>{L"&Save"});
}

TEST_F(PopupMenuTest, AcceleratorOfTheOnlyItemChoosesIt) {
    InputScript script(Form->Handle());
    script.Key(WM_CHAR, L'X');
    script.Start();
    TBarCustomItem* chosen = Menu->PopupEx(700, 150, true);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->Caption(), L"E&xit");
    PumpMessages();
    EXPECT_TRUE(Clicks.empty()) << "only the chosen item was asked for";
}

TEST_F(PopupMenuTest, ClickOutsideClosesTheMenuAndReachesItsTarget) {
    InputScript script(Form->Handle());
    script.Run([&] {
        const POINT c{50, 50};
        PostMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        PostMessageW(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    });
    script.Start();
    EXPECT_EQ(Menu->PopupEx(700, 150, false), nullptr);
    EXPECT_EQ(VisiblePopups(), 0);
    EXPECT_TRUE(PumpUntil([&] { return FormPresses == 1; }));
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(PopupMenuTest, ReleaseOfTheOpeningRightClickDoesNotClose) {
    int popupsAfterRelease = 0;
    InputScript script(Form->Handle());
    script.Run([&] { PostMessageW(Form->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(50, 50)); })
        .Run([&] { popupsAfterRelease = VisiblePopups(); })
        .Key(WM_KEYDOWN, VK_ESCAPE);
    script.Start();
    EXPECT_EQ(Menu->PopupEx(700, 150, false), nullptr);
    EXPECT_EQ(popupsAfterRelease, 1);
    EXPECT_TRUE(script.Finished());
}

TEST_F(PopupMenuTest, LoopReleasesEverythingWhenAHandlerThrows) {
    Menu->Items()->GetItem(0)->OnSelect = [](TBarCustomItem*, TBarItemViewer*, bool selecting) {
        if (selecting) throw std::runtime_error("handler failed");
    };
    Application->SetHint(L"before");
    HWND captureInLoop = nullptr;
    int locksInLoop = -1;
    std::wstring hintInLoop;
    Menu->Items()->GetItem(1)->SetHint(L"short|保存します");
    InputScript script(Form->Handle());
    script.Key(WM_KEYDOWN, VK_END)
        .Key(WM_KEYDOWN, VK_UP)
        .Run([&] {
            captureInLoop = GetCapture();
            locksInLoop = MenuForegroundLockCount();
            hintInLoop = Application->Hint();
        })
        .Key(WM_KEYDOWN, VK_HOME);
    script.Start();
    EXPECT_THROW(Menu->PopupEx(700, 150, false), std::runtime_error);
    EXPECT_NE(captureInLoop, nullptr);
    EXPECT_EQ(hintInLoop, L"保存します");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_LE(locksInLoop, 1);
    EXPECT_EQ(MenuForegroundLockCount(), 0);
    EXPECT_EQ(Application->Hint(), L"");
    EXPECT_EQ(VisiblePopups(), 0);

    // The menu still works.
    Menu->Items()->GetItem(0)->OnSelect = nullptr;
    InputScript again(Form->Handle());
    again.Key(WM_KEYDOWN, VK_ESCAPE);
    again.Start();
    EXPECT_EQ(Menu->PopupEx(700, 150, false), nullptr);
}

TEST_F(PopupMenuTest, PopupTallerThanTheWorkAreaScrolls) {
    TBarRootItem root(nullptr);
    for (int i = 0; i < 200; ++i) NewItem(&root, L"Item " + std::to_wstring(i));
    const POINT at{700, 150};
    std::unique_ptr<TBarPopupWindow> popup(root.CreatePopup(nullptr, nullptr, false, false, false, at, tbpaLeft));
    const RECT work = GetMonitorRectFromPoint(at, true);
    EXPECT_EQ(popup->Height(), work.bottom - work.top);
    EXPECT_EQ(popup->Top(), work.top);
    TBarView* view = popup->View();
    EXPECT_TRUE(view->ShowDownArrow());
    EXPECT_FALSE(view->ShowUpArrow());
    view->MouseWheel(-WHEEL_DELTA, 0, 0);
    EXPECT_GT(view->ScrollOffset(), 0);
    EXPECT_TRUE(view->ShowUpArrow());
    // The keyboard brings a scrolled-out selection into view.
    view->Select(view->NextSelectableViewer(nullptr, false), false);
    view->ScrollSelectedIntoView();
    EXPECT_TRUE(view->Selected()->Show);
    EXPECT_FALSE(view->ShowDownArrow());
}
