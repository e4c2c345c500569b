#include "controls/toolbar/tbanim.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace toolbar;
using testsupport::PumpUntil;

namespace {

// A popup window that plays its animation the way the program's popups do.
struct TAnimLog {
    std::vector<LPARAM> Steps;  // sequence numbers of the steps it got
    int Ended = 0;
};
std::map<HWND, TAnimLog> Logs;

LRESULT CALLBACK PopupProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case TBM_ANIMATIONSTEP:
        Logs[wnd].Steps.push_back(lp);
        ProcessAnimationStep(wnd, lp);
        return 0;
    case TBM_ANIMATIONENDED:
        ++Logs[wnd].Ended;
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(wnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    case WM_DESTROY:
        StopPopupAnimation(wnd);
        break;
    default:
        break;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = PopupProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WendlarAnimTestPopup";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassExW(&wc);
        Logs.clear();
        // Keep the cursor away from the popups: reaching them ends an animation early.
        SetCursorPos(5, 5);
    }
    void TearDown() override {
        for (HWND w : Made) DestroyWindow(w);
        Logs.clear();
    }
    HWND MakePopup(int x) {
        HWND w = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"WendlarAnimTestPopup", L"",
                                 WS_POPUP | WS_BORDER, x, 300, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
        Made.push_back(w);
        return w;
    }
    static int RegionKind(HWND w) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(w, rgn);
        DeleteObject(rgn);
        return kind;  // ERROR: no region
    }
    std::vector<HWND> Made;
};

}  // namespace

TEST(AnimationSteps, StepsFollowTheTimeAndEndBeforeTheLastOne) {
    const struct {
        int Elapsed, Duration, Base, Step;
    } cases[] = {
        {0, 150, 0, 0},     {75, 150, 0, 127},  {149, 150, 0, 253}, {150, 150, 0, -1},  // slide
        {-1, 150, 0, -1},   {0, 175, 40, 40},   {100, 175, 40, 185},                    // fade
        {150, 175, 40, -1},  // 218 + 40 would pass 254: a fade ends before its time is up
        {10, 0, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnimationStepAt(c.Elapsed, c.Duration, c.Base), c.Step)
            << c.Elapsed << " of " << c.Duration << " from " << c.Base;
}

TEST_F(AnimationTest, ASlideShowsTheWindowThroughAGrowingRegionAndEndsWhole) {
    HWND w = MakePopup(200);
    StartPopupAnimation(w, false, tbadFromAbove | tbadFromLeft);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(PopupAnimationRunning(w));
    EXPECT_EQ(RegionKind(w), NULLREGION);  // nothing of it shows yet
    ASSERT_TRUE(PumpUntil([&] { return Logs[w].Ended == 1; }));
    EXPECT_FALSE(PopupAnimationRunning());
    EXPECT_EQ(RegionKind(w), ERROR);  // the region is gone: the whole window shows
    EXPECT_FALSE(Logs[w].Steps.empty());
}

TEST_F(AnimationTest, AFadeLayersTheWindowOnlyWhileItRuns) {
    HWND w = MakePopup(200);
    StartPopupAnimation(w, true, 0);
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(RegionKind(w), ERROR);  // a fade uses no region
    ASSERT_TRUE(PumpUntil([&] { return Logs[w].Ended == 1; }));
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(AnimationTest, ASecondAnimationEndsTheFirstWithItsFinalFrame) {
    HWND first = MakePopup(100), second = MakePopup(300);
    StartPopupAnimation(first, false, tbadFromBelow);
    StartPopupAnimation(second, false, tbadFromRight);
    EXPECT_EQ(Logs[first].Ended, 1);  // before the second one began
    EXPECT_EQ(RegionKind(first), ERROR);
    EXPECT_TRUE(PopupAnimationRunning(second));
    EXPECT_FALSE(PopupAnimationRunning(first));
    StopPopupAnimation(first);  // not the running one: nothing happens
    EXPECT_TRUE(PopupAnimationRunning(second));
    ASSERT_TRUE(PumpUntil([&] { return Logs[second].Ended == 1; }));
    EXPECT_EQ(Logs[first].Ended, 1);
}

TEST_F(AnimationTest, StaleStepsAreIgnored) {
    HWND w = MakePopup(200);
    StartPopupAnimation(w, false, tbadFromAbove);
    ASSERT_TRUE(PumpUntil([&] { return Logs[w].Ended == 1; }));
    ASSERT_FALSE(Logs[w].Steps.empty());
    const LPARAM old = Logs[w].Steps.back();

    // After the end, a late step of that animation draws nothing (its picture is gone).
    SendMessageW(w, TBM_ANIMATIONSTEP, 0, old);
    EXPECT_EQ(RegionKind(w), ERROR);

    // While the next one runs, a step of the old one changes nothing...
    ShowWindow(w, SW_HIDE);
    StartPopupAnimation(w, false, tbadFromAbove);
    SendMessageW(w, TBM_ANIMATIONSTEP, 0, old);
    EXPECT_EQ(RegionKind(w), NULLREGION);
    // ...while one of its own moves the region (unless its time is already up: then it
    // shows the final frame).
    SendMessageW(w, TBM_ANIMATIONSTEP, 0, old + 1);
    EXPECT_TRUE(RegionKind(w) == SIMPLEREGION || !PopupAnimationRunning(w));
    StopPopupAnimation(w);
    EXPECT_EQ(RegionKind(w), ERROR);
    EXPECT_EQ(Logs[w].Ended, 2);
}

TEST_F(AnimationTest, EveryEndGivesBackTheCapturedPicture) {
    // The window's DC, the memory DC and the picture go with the animation, however it ends:
    // by its time, by a stop, or by the next animation. The second round must hold no more
    // objects than the first (which fills what the system keeps once).
    HWND first = MakePopup(100), second = MakePopup(300);
    auto round = [&] {
        const int ended = Logs[first].Ended;
        StartPopupAnimation(first, false, tbadFromAbove);
        EXPECT_TRUE(PumpUntil([&] { return Logs[first].Ended == ended + 1; }));
        ShowWindow(first, SW_HIDE);
        StartPopupAnimation(first, true, 0);
        StopPopupAnimation(first);
        ShowWindow(first, SW_HIDE);
        StartPopupAnimation(first, false, tbadFromLeft);
        StartPopupAnimation(second, true, 0);
        StopPopupAnimation();
        ShowWindow(first, SW_HIDE);
        ShowWindow(second, SW_HIDE);
        return testsupport::GdiObjectCount();
    };
    const DWORD afterFirst = round();
    EXPECT_EQ(round(), afterFirst);
    EXPECT_EQ(Logs[first].Ended, 6);
    EXPECT_EQ(Logs[second].Ended, 2);
}
