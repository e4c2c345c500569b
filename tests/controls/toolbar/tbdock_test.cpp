#include "controls/toolbar/tbdock.h"

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/menus.h"
#include "classlib/screen.h"
#include "common/test_support.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbdockable.h"
#include "controls/toolbar/tbfloating.h"
#include "tbinputscript.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// A dockable window with contents of a fixed size.
class TestBar : public TBarCustomDockableWindow {
public:
    TestBar(TComponent* owner, SIZE content) : TBarCustomDockableWindow(owner), Content(content) {
        SetHideWhenInactive(false);
    }
    void LayoutContent(bool, TBarDockKind, bool, TBarDock*, SIZE& size) override { size = Content; }
    void GetContentSize(SIZE& size) override { size = Content; }
    SIZE Content;
};

// Counts the arrangements that really run (not those deferred by an update lock).
class CountingDock : public TBarDock {
public:
    using TBarDock::TBarDock;
    int Arrangements = 0;
    int Removals = 0;  // components whose end reached the dock
    void ArrangeWindows() override {
        if (UpdateCount() == 0) ++Arrangements;
        TBarDock::ArrangeWindows();
    }
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove) ++Removals;
        TBarDock::Notification(component, operation);
    }
};

bool WindowShown(HWND wnd) { return wnd && IsWindowVisible(wnd); }

RECT ScreenRect(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    return r;
}

class DockTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 400);
        Form->SetCaption(L"ドック");
        Top = new CountingDock(Form);
        Top->SetParent(Form);
        Left = new CountingDock(Form);
        Left->SetPosition(dpLeft);
        Left->SetParent(Form);
        Form->Show();
        PumpMessages();
    }
    void TearDown() override {
        delete Form;
        PumpMessages();
    }
    TestBar* NewBar(TBarDock* dock, SIZE content = {50, 22}, int row = 0, int pos = -1) {
        auto* bar = new TestBar(Form, content);
        bar->BeginUpdate();
        bar->SetDockRow(row);
        bar->SetDockPos(pos);
        bar->SetCurrentDock(dock);
        bar->EndUpdate();
        PumpMessages();
        return bar;
    }
    // The window's non-client hit code at a point of its window rectangle.
    static LRESULT HitAt(HWND wnd, int x, int y) {
        const RECT r = ScreenRect(wnd);
        return SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
    }

    TForm* Form = nullptr;
    CountingDock* Top = nullptr;
    CountingDock* Left = nullptr;
};

}  // namespace

TEST_F(DockTest, ThicknessFollowsTheRows) {
    EXPECT_EQ(Top->Height(), 0);
    Top->SetFixAlign(true);
    EXPECT_EQ(Top->Height(), 1);
    TestBar* bar = NewBar(Top);
    EXPECT_EQ(Top->Height(), 26);  // 22 and the frame of 2 + 2
    EXPECT_EQ(bar->Height(), 26);
    EXPECT_EQ(bar->Width(), 50 + 4 + 6);  // and the drag handle of a single grip
    Top->SetBoundLines(blTop | blBottom);
    EXPECT_EQ(Top->Height(), 28);
    RECT client;
    GetClientRect(Top->Handle(), &client);
    EXPECT_EQ(client.bottom, 26);
    bar->Hide();
    EXPECT_EQ(Top->Height(), 1);
    bar->Show();
    EXPECT_EQ(Top->Height(), 28);
    // The windows of a left dock lie along its height.
    TestBar* side = NewBar(Left, {30, 80});
    EXPECT_EQ(Left->Width(), 34);
    EXPECT_EQ(side->Height(), 80 + 4 + 6);
}

TEST_F(DockTest, WindowsAddedAtTheEndStayInTheirOrder) {
    std::vector<TestBar*> bars;
    for (int i = 0; i < 4; ++i) bars.push_back(NewBar(Top, {30 + i, 22}));
    for (size_t i = 1; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i]->ArrangedRow(), 0);
        EXPECT_EQ(bars[i]->ArrangedPos(), bars[i - 1]->ArrangedPos() + bars[i - 1]->Width()) << i;
    }
}

TEST_F(DockTest, PlacementErrors) {
    NewBar(Top);
    try {
        Top->SetPosition(dpBottom);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(std::wstring(e.Message()), L"Cannot change Position of a TBarDock if it already contains controls");
    }
    EXPECT_EQ(Top->Position(), dpTop);
    auto* inner = new TBarDock(Form);
    for (TWinControl* parent : std::vector<TWinControl*>{Top, Top->GetVisibleWindow(0)}) {
        try {
            inner->SetParent(parent);
            FAIL() << "no error";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(std::wstring(e.Message()),
                      L"A TBarDock control cannot be placed inside a tool window or another TBarDock");
        }
        EXPECT_EQ(inner->Parent(), nullptr);
    }
    // A plain control between the dockable window and the dock makes it a dock of its own.
    auto* holder = new TCustomControl(Form);
    holder->SetParent(Top->GetVisibleWindow(0));
    inner->SetParent(holder);
    EXPECT_EQ(inner->Parent(), holder);
}

TEST_F(DockTest, MovingKeepsTheWindowAndArrangesEachDockOnce) {
    TestBar* bar = NewBar(Top);
    NewBar(Top, {40, 22});
    HWND wnd = bar->Handle();
    std::vector<std::string> events;
    bar->OnDockChanging = [&](TComponent*, bool floating, TBarDock* to) {
        events.push_back(std::string("changing ") + (floating ? "floating" : to == Left ? "left" : "top"));
    };
    bar->OnRecreating = [&](TComponent*) { events.push_back("recreating"); };
    bar->OnDockChangingHidden = [&](TComponent*, bool, TBarDock*) {
        events.push_back(std::string("hidden ") + (IsWindowVisible(wnd) ? "shown" : "hidden"));
    };
    bar->OnRecreated = [&](TComponent*) { events.push_back("recreated"); };
    bar->OnDockChanged = [&](TComponent*) { events.push_back("changed"); };
    Top->Arrangements = Left->Arrangements = 0;

    bar->SetCurrentDock(Left);
    EXPECT_EQ(bar->Handle(), wnd);
    EXPECT_EQ(bar->CurrentDock(), Left);
    EXPECT_EQ(Top->Arrangements, 1);
    EXPECT_EQ(Left->Arrangements, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"changing left", "recreating", "hidden hidden", "recreated", "changed"}));
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(Top->GetVisibleWindowCount(), 1);
    EXPECT_EQ(bar->LastDock(), Left);

    bar->SetFloating(true);
    EXPECT_EQ(bar->Handle(), wnd);
    ASSERT_NE(bar->FloatingParent(), nullptr);
    EXPECT_EQ(GetParent(wnd), bar->FloatingParent()->Handle());
    EXPECT_TRUE(WindowShown(bar->FloatingParent()->Handle()));
    EXPECT_EQ(Left->Width(), 0);

    bar->SetCurrentDock(Top);
    EXPECT_EQ(bar->Handle(), wnd);
    EXPECT_EQ(GetParent(wnd), Top->Handle());
    EXPECT_EQ(bar->FloatingParent(), nullptr);
    // Back on the form, not in a dock.
    bar->SetFloating(true);
    bar->SetFloating(false);
    EXPECT_EQ(bar->Parent(), Form);
    EXPECT_EQ(bar->CurrentDock(), nullptr);
    EXPECT_EQ(bar->Handle(), wnd);
}

// The end of a window reaches the dock that lists it (the one it is on, or the last one
// while it floats), and no dock it has left.
TEST_F(DockTest, AFreedWindowReachesOnlyTheDockThatListsIt) {
    const struct {
        const char* Name;
        std::function<void(TestBar*)> Move;
        int TopHears, LeftHears;
    } cases[] = {
        {"stays on the top dock", [](TestBar*) {}, 1, 0},
        {"moved to the left dock", [&](TestBar* bar) { bar->SetCurrentDock(Left); }, 0, 1},
        {"floating from the top dock", [](TestBar* bar) { bar->SetFloating(true); }, 1, 0},
        {"floating after the left dock",
         [&](TestBar* bar) {
             bar->SetCurrentDock(Left);
             bar->SetFloating(true);
         },
         0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TestBar* bar = NewBar(Top);
        c.Move(bar);
        PumpMessages();
        Top->Removals = Left->Removals = 0;
        delete bar;
        PumpMessages();
        EXPECT_EQ(c.TopHears, Top->Removals);
        EXPECT_EQ(c.LeftHears, Left->Removals);
        EXPECT_EQ(0, Top->WindowCount() + Left->WindowCount());
    }
}

TEST_F(DockTest, FloatingWindowFollowsItsForm) {
    TestBar* bar = NewBar(Top);
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    PumpMessages();
    HWND floating = bar->FloatingParent()->Handle();
    ASSERT_TRUE(WindowShown(floating));
    EXPECT_EQ(GetWindow(floating, GW_OWNER), Form->Handle());

    Form->Hide();
    EXPECT_TRUE(PumpUntil([&] { return !WindowShown(floating); }));
    EXPECT_FALSE(IsWindowVisible(bar->Handle()));
    Form->Show();
    EXPECT_TRUE(PumpUntil([&] { return WindowShown(floating); }));

    ShowWindow(Form->Handle(), SW_MINIMIZE);
    EXPECT_TRUE(PumpUntil([&] { return !WindowShown(floating); }));
    ShowWindow(Form->Handle(), SW_RESTORE);
    EXPECT_TRUE(PumpUntil([&] { return WindowShown(floating); }));
    EXPECT_TRUE(IsWindowVisible(bar->Handle()));
}

TEST_F(DockTest, FloatingWindowHidesWhileTheApplicationIsInactive) {
    TestBar* bar = NewBar(Top);
    bar->SetHideWhenInactive(true);
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    HWND floating = bar->FloatingParent()->Handle();
    ASSERT_TRUE(PumpUntil([&] { return WindowShown(floating); }));
    // A window of another thread takes the activation: this thread has none left.
    HWND other = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread([&] {
        other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 700, 500, 60, 40, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        SetEvent(ready);
        while (WaitForSingleObject(done, 0) == WAIT_TIMEOUT) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT);
        }
        DestroyWindow(other);
    });
    WaitForSingleObject(ready, INFINITE);
    SetForegroundWindow(other);
    EXPECT_TRUE(PumpUntil([&] { return !WindowShown(floating); }));
    SetForegroundWindow(Form->Handle());
    EXPECT_TRUE(PumpUntil([&] { return WindowShown(floating); }));
    SetEvent(done);
    thread.join();
    CloseHandle(ready);
    CloseHandle(done);
}

// The thread's call-window and creation hooks cost every message it sends: they exist only
// while some window floats, whichever way it stops floating.
TEST_F(DockTest, TheThreadIsHookedOnlyWhileAWindowFloats) {
    auto hooked = [] { return HookInstalled(0) || HookInstalled(1); };
    TestBar* first = NewBar(Top);
    TestBar* second = NewBar(Left);
    EXPECT_FALSE(hooked());
    first->SetFloating(true);
    EXPECT_TRUE(HookInstalled(0) && HookInstalled(1));
    second->SetFloating(true);
    first->SetFloating(false);
    EXPECT_TRUE(HookInstalled(0) && HookInstalled(1));
    second->SetCurrentDock(Top);
    EXPECT_FALSE(hooked());
    second->SetFloating(true);
    EXPECT_TRUE(hooked());
    delete second;
    EXPECT_FALSE(hooked());
    // The floating window still follows its form when it floats again.
    first->SetFloatingPosition({300, 300});
    first->SetFloating(true);
    HWND floating = first->FloatingParent()->Handle();
    ASSERT_TRUE(PumpUntil([&] { return WindowShown(floating); }));
    Form->Hide();
    EXPECT_TRUE(PumpUntil([&] { return !WindowShown(floating); }));
}

TEST_F(DockTest, DockableToLimitsTheDocks) {
    TestBar* bar = NewBar(Top);
    bar->SetDockableTo(DockableToBit(dpTop));
    EXPECT_TRUE(bar->AcceptsDock(Top));
    EXPECT_FALSE(bar->AcceptsDock(Left));
    // Dragged right onto the left dock it floats instead.
    bar->SetSmoothDrag(false);
    const POINT press = bar->ClientToScreen({5, 5});
    const RECT left = ScreenRect(Left->Handle());
    SetCursorPos(press.x, press.y);
    InputScript script(bar->Handle());
    script.MoveTo({left.left + 2, left.top + 150}).Release().Start();
    bar->DragLoop(5, 5);
    EXPECT_TRUE(bar->Floating());
    EXPECT_EQ(Left->GetVisibleWindowCount(), 0);
}

TEST_F(DockTest, FrameWithoutDragging) {
    TestBar* bar = NewBar(Top);
    HWND wnd = bar->Handle();
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(bar->ClientToScreen({0, 0}).x - ScreenRect(wnd).left, 2 + 6);
    EXPECT_EQ(HitAt(wnd, 3, 10), HTBARDRAG);
    EXPECT_TRUE(bar->CanBeDragged());

    Top->SetAllowDrag(false);
    PumpMessages();
    EXPECT_EQ(bar->ClientToScreen({0, 0}).x - ScreenRect(wnd).left, 2);
    EXPECT_EQ(bar->Width(), 50 + 4);
    for (POINT p : {POINT{0, 0}, POINT{1, 10}, POINT{20, 1}, POINT{bar->Width() - 1, 25}})
        EXPECT_EQ(HitAt(wnd, p.x, p.y), HTBARDRAG) << p.x << "," << p.y;
    EXPECT_FALSE(bar->CanBeDragged());
    // A press on the frame starts nothing.
    const RECT r = ScreenRect(wnd);
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTBARDRAG, MAKELPARAM(r.left + 1, r.top + 1));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(bar->CurrentDock(), Top);
    // Nor a double click.
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTBARDRAG, MAKELPARAM(r.left + 1, r.top + 1));
    EXPECT_EQ(bar->CurrentDock(), Top);
}

TEST_F(DockTest, DoubleClicksFloatAndDock) {
    TestBar* bar = NewBar(Top);
    TestBar* other = NewBar(Top, {40, 22}, 0, 0);
    const auto doubleClickHandle = [&] {
        const RECT r = ScreenRect(bar->Handle());
        SendMessageW(bar->Handle(), WM_NCLBUTTONDBLCLK, HTBARDRAG, MAKELPARAM(r.left + 3, r.top + 5));
    };
    bar->SetDockMode(dmCannotFloat);
    doubleClickHandle();
    EXPECT_EQ(bar->CurrentDock(), Top);

    bar->SetDockMode(dmCanFloat);
    doubleClickHandle();
    ASSERT_TRUE(bar->Floating());

    // Without a last dock the caption's double click docks it at the start of row 0 of
    // its default dock.
    bar->SetUseLastDock(false);
    bar->SetDefaultDock(Top);
    TBarFloatingWindowParent* fp = bar->FloatingParent();
    const RECT caption = fp->CaptionRect(true, true);
    const RECT window = ScreenRect(fp->Handle());
    SendMessageW(fp->Handle(), WM_NCLBUTTONDBLCLK, HTBARCAPTION,
                 MAKELPARAM(window.left + caption.left + 2, window.top + caption.top + 2));
    EXPECT_EQ(bar->CurrentDock(), Top);
    EXPECT_EQ(bar->ArrangedRow(), 0);
    EXPECT_EQ(bar->ArrangedPos(), 0);
    EXPECT_EQ(other->ArrangedPos(), bar->Width());
}

TEST_F(DockTest, FloatingFrameHitCodes) {
    TestBar* bar = NewBar(Top, {120, 60});
    bar->SetFloatingPosition({200, 200});
    bar->SetFloating(true);
    TBarFloatingWindowParent* fp = bar->FloatingParent();
    const int w = fp->Width(), h = fp->Height();
    SIZE b{};
    bar->GetFloatingFrameSize(b);
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    const int c = caption + b.cx - 1;  // the corner reach along a border
    const struct {
        POINT At;
        unsigned char Options;
        bool Resizable;
        LRESULT Code;
    } cases[] = {
        {{b.cx + 5, b.cy + 3}, roCorners, true, HTBARCAPTION},
        {{w - b.cx - 5, b.cy + 3}, roCorners, true, HTBARCLOSE},
        {{0, h / 2}, roCorners, true, HTLEFT},
        {{w - 1, h / 2}, roCorners, true, HTRIGHT},
        {{w / 2, 0}, roCorners, true, HTTOP},
        {{w / 2, h - 1}, roCorners, true, HTBOTTOM},
        {{0, c - 1}, roCorners, true, HTTOPLEFT},
        {{0, h - c}, roCorners, true, HTBOTTOMLEFT},
        {{w - 1, c - 1}, roCorners, true, HTTOPRIGHT},
        {{w - c, h - 1}, roCorners, true, HTBOTTOMRIGHT},
        {{c - 1, 0}, roCorners, true, HTTOPLEFT},
        {{0, c - 1}, 0, true, HTLEFT},  // without corners only the edges, top first
        {{c - 1, 0}, 0, true, HTTOP},
        {{0, h / 2}, 0, false, HTNOWHERE},  // not resizable: nothing on the border
        {{w / 2, h - 1}, 0, false, HTNOWHERE},
    };
    const RECT r = ScreenRect(fp->Handle());
    for (const auto& k : cases) {
        bar->SetResizeOptions(k.Options);
        bar->SetResizable(k.Resizable);
        // The frame sizes follow Resizable: the points are taken from the resizable frame.
        const LRESULT code = SendMessageW(fp->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + k.At.x, r.top + k.At.y));
        EXPECT_EQ(code, k.Code) << k.At.x << "," << k.At.y << " options " << int(k.Options) << " resizable "
                                << k.Resizable;
        bar->SetResizable(true);
    }
    // Inside the client area the window answers as usual.
    const POINT inside = bar->ClientToScreen({10, 10});
    EXPECT_EQ(SendMessageW(fp->Handle(), WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
    // Without a caption there is no caption to drag.
    bar->SetShowCaption(false);
    const RECT r2 = ScreenRect(fp->Handle());
    EXPECT_NE(SendMessageW(fp->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r2.left + b.cx + 5, r2.top + b.cy + 3)),
              HTBARCAPTION);
}

TEST_F(DockTest, KeepOnScreenKeepsTheCaptionReachable) {
    TestBar* bar = NewBar(Top, {120, 60});
    bar->SetFloating(true);
    TBarFloatingWindowParent* fp = bar->FloatingParent();
    const RECT work = GetMonitorRectFromRect(ScreenRect(fp->Handle()), true);
    SIZE b{};
    bar->GetFloatingFrameSize(b);
    const int w = fp->Width(), h = fp->Height();

    // Only a sliver on screen at the right: pulled back until border + 4 pixels show.
    fp->SetBounds(work.right - 2, 200, w, h);
    bar->KeepOnScreen(true);
    EXPECT_EQ(fp->Left(), work.right - (b.cx + 4));
    // The caption above the top of the work area: the window comes down far enough for its
    // caption to be reached.
    fp->SetBounds(200, work.top - h + 3, w, h);
    bar->KeepOnScreen(true);
    EXPECT_GE(fp->Top(), work.top - bar->FloatingFrameMargins().top + 4);
    EXPECT_EQ(bar->FloatingPosition().y, fp->Top());
    // Partly on screen with its caption reachable: it stays.
    fp->SetBounds(work.right - 60, 200, w, h);
    bar->KeepOnScreen(true);
    EXPECT_EQ(fp->Left(), work.right - 60);
    // Far outside: fully inside.
    fp->SetBounds(-5000, -5000, w, h);
    bar->KeepOnScreen(true);
    EXPECT_EQ(fp->Left(), work.left);
    EXPECT_EQ(fp->Top(), work.top);

    // A position saved on a monitor that is gone, given before or after the window floats
    // (a restored layout does the latter): the window comes fully into the work area.
    const auto fullyInside = [&] {
        const RECT r = ScreenRect(bar->FloatingParent()->Handle());
        RECT common;
        return IntersectRect(&common, &r, &work) && EqualRect(&common, &r);
    };
    bar->SetFloatingPosition({5000, 5000});
    EXPECT_TRUE(fullyInside());
    EXPECT_EQ(bar->FloatingPosition().x, bar->FloatingParent()->Left());
    bar->SetCurrentDock(Top);
    bar->SetFloatingPosition({-5000, 5000});
    bar->SetFloating(true);
    EXPECT_TRUE(fullyInside());
}

TEST_F(DockTest, OutlineDragAppliesTheDrop) {
    TestBar* bar = NewBar(Top);
    bar->SetSmoothDrag(false);
    HWND wnd = bar->Handle();
    const RECT form = ScreenRect(Form->Handle());

    // Out of the dock into a floating window where the button is released.
    POINT press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    const POINT drop{form.left + 250, form.top + 250};
    {
        InputScript script(wnd);
        script.MoveTo({drop.x - 20, drop.y - 20}).MoveTo(drop).Release().Start();
        bar->DragLoop(5, 5);
    }
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(bar->Handle(), wnd);
    EXPECT_EQ(GetCapture(), nullptr);
    // The floating window lies under the pointer where the button was released.
    const RECT floated = ScreenRect(bar->FloatingParent()->Handle());
    EXPECT_TRUE(PtInRect(&floated, drop));
    EXPECT_EQ(Top->GetVisibleWindowCount(), 0);

    // Dragged again while floating, the window moves with the pointer pixel for pixel.
    press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    {
        InputScript script(wnd);
        script.MoveTo({press.x + 17, press.y + 9}).Release().Start();
        bar->DragLoop(5, 5);
    }
    const RECT moved = ScreenRect(bar->FloatingParent()->Handle());
    EXPECT_EQ(moved.left, floated.left + 17);
    EXPECT_EQ(moved.top, floated.top + 9);

    // Esc leaves everything as it was.
    const RECT before = ScreenRect(bar->FloatingParent()->Handle());
    press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    {
        InputScript script(wnd);
        script.MoveTo({press.x + 40, press.y + 30}).Key(WM_KEYDOWN, VK_ESCAPE).Start();
        bar->DragLoop(5, 5);
    }
    const RECT after = ScreenRect(bar->FloatingParent()->Handle());
    EXPECT_TRUE(EqualRect(&before, &after));

    // With Ctrl held over the dock it stays floating; released there it docks.
    const RECT dock = ScreenRect(Top->Handle());
    const POINT overDock{dock.left + 100, dock.top + 2};
    press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    {
        InputScript script(wnd);
        script.Key(WM_KEYDOWN, VK_CONTROL).MoveTo(overDock).Release().Start();
        bar->DragLoop(5, 5);
    }
    EXPECT_TRUE(bar->Floating());
    press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    {
        InputScript script(wnd);
        script.MoveTo({overDock.x, overDock.y + 10}).MoveTo(overDock).Release().Start();
        bar->DragLoop(5, 5);
    }
    EXPECT_EQ(bar->CurrentDock(), Top);
    EXPECT_EQ(bar->Handle(), wnd);
    EXPECT_EQ(GetParent(wnd), Top->Handle());
}

TEST_F(DockTest, SmoothDragFollowsTheMouse) {
    TestBar* bar = NewBar(Top);
    HWND wnd = bar->Handle();
    const RECT form = ScreenRect(Form->Handle());
    POINT press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    bool floatedOnTheWay = false;
    {
        InputScript script(wnd);
        script.MoveTo({form.left + 250, form.top + 200}).MoveTo({form.left + 260, form.top + 210}).Release().Start();
        bar->OnDockChanged = [&](TComponent*) { floatedOnTheWay = floatedOnTheWay || bar->Floating(); };
        bar->DragLoop(5, 5);
    }
    EXPECT_TRUE(floatedOnTheWay);
    ASSERT_TRUE(bar->Floating());
    const RECT floated = ScreenRect(bar->FloatingParent()->Handle());
    EXPECT_TRUE(PtInRect(&floated, POINT{form.left + 260, form.top + 210}));
    EXPECT_EQ(bar->Handle(), wnd);
    EXPECT_EQ(GetCapture(), nullptr);
    // Esc in smooth mode leaves the window where the last move put it.
    press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    {
        InputScript script(wnd);
        script.MoveTo({press.x + 30, press.y + 20}).Key(WM_KEYDOWN, VK_ESCAPE).Start();
        bar->DragLoop(5, 5);
    }
    const RECT after = ScreenRect(bar->FloatingParent()->Handle());
    EXPECT_EQ(after.left, floated.left + 30);
    EXPECT_EQ(after.top, floated.top + 20);
    // The floating forms left behind on the way are freed.
    PumpMessages();
    int floatingForms = 0;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (dynamic_cast<TBarFloatingWindowParent*>(Screen->Forms(i))) ++floatingForms;
    EXPECT_EQ(floatingForms, 1);
}

TEST_F(DockTest, CtrlSwitchesDockingOffAndOnWithoutAMouseMove) {
    TestBar* bar = NewBar(Top);
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    const RECT dock = ScreenRect(Top->Handle());
    const POINT overDock{dock.left + 100, dock.top + 2};
    const POINT press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    std::vector<std::string> states;
    const auto note = [&] { states.push_back(bar->Floating() ? "floating" : bar->CurrentDock() == Top ? "docked" : "?"); };
    InputScript script(bar->Handle());
    script.MoveTo({overDock.x, overDock.y + 10})
        .MoveTo(overDock)
        .Run(note)
        .Key(WM_KEYDOWN, VK_CONTROL)
        .Run(note)
        .Key(WM_KEYUP, VK_CONTROL)
        .Run(note)
        .Release()
        .Start();
    bar->DragLoop(5, 5);
    EXPECT_EQ(states, (std::vector<std::string>{"docked", "floating", "docked"}));
    EXPECT_EQ(bar->CurrentDock(), Top);
}

namespace {
// A toolbar that hides what does not fit behind a chevron, down to 30 pixels.
class ChevronBar : public TestBar {
public:
    using TestBar::TestBar;
    TBarShrinkMode QueryShrinkMode() override { return tbsmChevron; }
    void GetMinRowLength(int& length) override { length = 30; }
};
}  // namespace

TEST_F(DockTest, DraggingAlongACrowdedRowKeepsItsOrder) {
    // Two chevron toolbars that only fit the row shrunk.
    auto* first = new ChevronBar(Form, {300, 22});
    first->SetCurrentDock(Top);
    auto* second = new ChevronBar(Form, {300, 22});
    second->SetCurrentDock(Top);
    PumpMessages();
    ASSERT_EQ(second->ArrangedRow(), 0);
    ASSERT_LT(second->Width(), 300 + 4 + 6);
    const POINT press = second->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    HCURSOR alongTheRow = nullptr;
    // More than 9 pixels along the row lock the drag to it (the sizing cursor shows); then far
    // to the left, past the first toolbar, and down to where a new row would begin: the
    // window stays in its row, behind the first.
    InputScript script(second->Handle());
    script.MoveTo({press.x + 12, press.y})
        .Run([&] { alongTheRow = GetCursor(); })
        .MoveTo({press.x - 400, press.y})
        .MoveTo({press.x - 400, press.y + 12})
        .Release()
        .Start();
    second->DragLoop(5, 5);
    EXPECT_EQ(alongTheRow, LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(second->CurrentDock(), Top);
    EXPECT_EQ(first->ArrangedRow(), 0);
    EXPECT_EQ(second->ArrangedRow(), 0);
    EXPECT_EQ(first->ArrangedPos(), 0);
    EXPECT_GT(second->ArrangedPos(), 0);
    EXPECT_FALSE(second->KeepListOrder());
}

TEST_F(DockTest, CannotFloatWindowStaysDocked) {
    TestBar* bar = NewBar(Top);
    bar->SetDockMode(dmCannotFloat);
    bar->SetSmoothDrag(false);
    const RECT form = ScreenRect(Form->Handle());
    const POINT press = bar->ClientToScreen({5, 5});
    SetCursorPos(press.x, press.y);
    HCURSOR away = nullptr;
    InputScript script(bar->Handle());
    script.MoveTo({form.left + 300, form.top + 300}).Run([&] { away = GetCursor(); }).Release().Start();
    bar->OnDockChanging = [&](TComponent*, bool, TBarDock*) { ADD_FAILURE() << "the window moved"; };
    bar->DragLoop(5, 5);
    EXPECT_EQ(away, LoadCursorW(nullptr, IDC_NO));
    EXPECT_EQ(bar->CurrentDock(), Top);
}

TEST_F(DockTest, ResizeStopsAtTheMinimumClientSize) {
    auto* tool = new TBarToolWindow(Form);
    tool->SetHideWhenInactive(false);
    tool->SetMinClientWidth(100);
    tool->SetClientAreaWidth(150);
    tool->SetClientAreaHeight(80);
    tool->SetFloatingPosition({200, 200});
    tool->SetCurrentDock(Top);
    tool->SetFloating(true);
    PumpMessages();
    TBarFloatingWindowParent* fp = tool->FloatingParent();
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(tool->ClientAreaWidth(), 150);
    const RECT start = ScreenRect(fp->Handle());
    // The left edge pulled 300 pixels to the right.
    SetCursorPos(start.left + 1, start.top + 40);
    InputScript script(tool->Handle());
    script.MoveTo({start.left + 301, start.top + 40}).Release().Start();
    tool->ResizeLoop(HTLEFT - HTLEFT);
    const RECT end = ScreenRect(fp->Handle());
    EXPECT_EQ(tool->ClientAreaWidth(), 100);
    EXPECT_EQ(end.right, start.right);
    EXPECT_EQ(GetCapture(), nullptr);
    // The size is remembered: docked and floated again it comes back.
    tool->SetCurrentDock(Top);
    tool->SetFloating(true);
    EXPECT_EQ(tool->ClientAreaWidth(), 100);
}

TEST_F(DockTest, ToolWindowSizesInDocks) {
    auto* tool = new TBarToolWindow(Form);
    tool->SetClientAreaWidth(60);
    tool->SetClientAreaHeight(70);
    tool->SetCurrentDock(Left);
    EXPECT_EQ(tool->ClientAreaWidth(), 60);
    EXPECT_EQ(tool->ClientAreaHeight(), 70);
    tool->SetFullSize(true);
    EXPECT_EQ(tool->Height(), Left->Height());
    // A user size is remembered and the dock follows it.
    tool->SetFullSize(false);
    tool->SetClientAreaWidth(90);
    EXPECT_EQ(tool->ClientAreaWidth(), 90);
    EXPECT_EQ(Left->Width(), 90 + 4);
}

TEST_F(DockTest, FloatingFormKeepsTheActivationWithTheForm) {
    TestBar* bar = NewBar(Top);
    bar->SetFloatingPosition({300, 300});
    bar->SetFloating(true);
    TBarFloatingWindowParent* fp = bar->FloatingParent();
    bool closing = false;
    Form->OnCloseQuery = [&](TComponent*, bool& canClose) {
        closing = true;
        canClose = false;
    };
    // Alt+F4 on the floating window closes the form, not the window.
    SendMessageW(fp->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(closing);
    EXPECT_TRUE(WindowShown(fp->Handle()));
    // A click does not take the activation.
    EXPECT_EQ(SendMessageW(fp->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(fp->Handle()),
                           MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), Form->Handle());
    // Esc in the floating window gives the focus back to the form.
    SetActiveWindow(fp->Handle());
    EXPECT_EQ(fp->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(GetActiveWindow(), Form->Handle());
}

TEST_F(DockTest, DockedCloseButton) {
    TestBar* bar = NewBar(Top);
    bar->SetCloseButtonWhenDocked(true);
    PumpMessages();
    HWND wnd = bar->Handle();
    RECT button;
    bar->GetCloseButtonRect(false, button);
    EXPECT_EQ(HitAt(wnd, button.left + 2, button.top + 2), HTBARCLOSE);
    EXPECT_EQ(HitAt(wnd, button.left + 2, button.bottom + 3), HTBARDRAG);
    const RECT r = ScreenRect(wnd);
    const POINT on{r.left + button.left + 2, r.top + button.top + 2};
    int closed = 0;
    bar->OnClose = [&](TComponent*) { ++closed; };
    // Pressed and released elsewhere: nothing.
    SetCursorPos(on.x, on.y);
    {
        InputScript script(wnd);
        script.MoveTo({on.x + 100, on.y + 100}).Release().Start();
        SendMessageW(wnd, WM_NCLBUTTONDOWN, HTBARCLOSE, MAKELPARAM(on.x, on.y));
    }
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(bar->Visible());
    EXPECT_FALSE(bar->CloseButtonPushed());
    // Released on it: the window closes.
    SetCursorPos(on.x, on.y);
    {
        InputScript script(wnd);
        script.MoveTo({on.x + 1, on.y}).Release().Start();
        SendMessageW(wnd, WM_NCLBUTTONDOWN, HTBARCLOSE, MAKELPARAM(on.x, on.y));
    }
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(bar->Visible());
}

namespace {
class RecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override { Shown.push_back({x, y}); }
    std::vector<POINT> Shown;
};
}  // namespace

TEST_F(DockTest, ContextMenuOnTheHandleOnly) {
    TestBar* bar = NewBar(Top);
    auto* menu = new RecordingMenu(Form);
    bar->SetPopupMenu(menu);
    HWND wnd = bar->Handle();
    const RECT r = ScreenRect(wnd);
    SendMessageW(wnd, WM_NCRBUTTONUP, HTBARDRAG, MAKELPARAM(r.left + 3, r.top + 5));
    ASSERT_EQ(menu->Shown.size(), 1u);
    EXPECT_EQ(menu->Shown[0].x, r.left + 3);
    EXPECT_EQ(menu->PopupComponent, bar);
    const POINT inside = bar->ClientToScreen({10, 10});
    SendMessageW(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(menu->Shown.size(), 1u);
}
