// Gesture recognition: marks from movements and wheel turns, the duplicate and pause
// rules, which windows may start a gesture and which messages are withheld, and what runs.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "widgets/mousegestures.h"

#include <string>
#include <vector>

using namespace widgets;

using namespace classlib;
using testsupport::Narrow;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class FakeClockGestures : public TVxMouseGestures {
public:
    using TVxMouseGestures::TVxMouseGestures;
    DWORD Clock = 1000;
    void Press(HWND w, POINT p) { Swallowed.push_back(HandleMouseMessage(WM_RBUTTONDOWN, w, p)); }
    void Move(HWND w, POINT p) { HandleMouseMessage(WM_MOUSEMOVE, w, p); }
    bool Release(HWND w, POINT p) { return HandleMouseMessage(WM_RBUTTONUP, w, p); }
    std::vector<bool> Swallowed;

protected:
    DWORD Now() const override { return Clock; }
};

// Two plain windows whose class names the lists can name.
class GestureTest : public ::testing::Test {
protected:
    void SetUp() override {
        Listed = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        Other = CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        G.GestureComponents.Add(L"static");
    }
    void TearDown() override {
        DestroyWindow(Listed);
        DestroyWindow(Other);
    }
    // Presses at the origin, visits each point in turn (advancing the clock by the given
    // pause before it), and returns the string the release ended.
    std::wstring Stroke(const std::vector<std::pair<POINT, DWORD>>& moves) {
        std::wstring last;
        G.OnGestureProgress = [&](TComponent*, const std::wstring& s, const std::wstring&) { last = s; };
        G.Press(Listed, {100, 100});
        for (auto& [p, pause] : moves) {
            G.Clock += pause;
            G.PauseTick(G.Clock);
            G.Move(Listed, p);
        }
        std::wstring s = G.GestureString();
        G.Release(Listed, moves.empty() ? POINT{100, 100} : moves.back().first);
        return s;
    }
    FakeClockGestures G{nullptr};
    HWND Listed = nullptr, Other = nullptr;
};

TEST_F(GestureTest, MovementsMakeMarksByTheThresholdsAndRules) {
    struct Case {
        const char* name;
        std::vector<std::pair<POINT, DWORD>> moves;
        bool noDup;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {"39 px right is nothing", {{{139, 100}, 0}}, false, L""},
        {"40 px right", {{{140, 100}, 0}}, false, L"→"},
        {"right then back", {{{140, 100}, 0}, {{100, 100}, 0}}, false, L"→←"},
        {"down and up", {{{100, 140}, 0}, {{100, 100}, 0}}, false, L"↓↑"},
        {"left", {{{60, 100}, 0}}, false, L"←"},
        {"diagonal counts as horizontal", {{{145, 145}, 0}}, false, L"→"},
        {"right twice without pause", {{{140, 100}, 0}, {{180, 100}, 100}}, false, L"→"},
        {"right twice with 799 ms", {{{140, 100}, 0}, {{180, 100}, 799}}, false, L"→"},
        {"right twice with 800 ms pause", {{{140, 100}, 0}, {{180, 100}, 800}}, false, L"→→"},
        {"no duplication after the pause", {{{140, 100}, 0}, {{180, 100}, 900}}, true, L"→"},
        {"no duplication allows alternation", {{{140, 100}, 0}, {{100, 100}, 0}, {{140, 100}, 0}}, true, L"→←→"},
        {"small steps add up to one mark", {{{120, 100}, 0}, {{130, 100}, 0}, {{140, 100}, 0}}, false, L"→"},
    };
    for (const auto& c : cases) {
        G.GestureNoDuplication = c.noDup;
        EXPECT_EQ(Stroke(c.moves), c.expected) << c.name;
    }
}

TEST_F(GestureTest, WheelMarksIgnoreDuplicateRulesAndNeedARunningGesture) {
    G.AddWheelMark(true);  // not running: nothing
    EXPECT_FALSE(G.Running());
    G.GestureNoDuplication = true;
    std::wstring progress;
    G.OnGestureProgress = [&](TComponent*, const std::wstring& s, const std::wstring&) { progress = s; };
    G.Press(Listed, {0, 0});
    G.AddWheelMark(true);
    G.AddWheelMark(true);
    G.AddWheelMark(false);
    EXPECT_EQ(G.GestureString(), L"△△▽");
    EXPECT_EQ(progress, L"△△▽");
    EXPECT_TRUE(G.Release(Listed, {0, 0}));
}

TEST_F(GestureTest, StartWindowsAndWithheldMessages) {
    // Not listed: no gesture, moving into a listed window starts none, release passes on.
    G.Press(Other, {0, 0});
    G.Move(Listed, {100, 0});
    EXPECT_FALSE(G.Running());
    EXPECT_FALSE(G.Release(Listed, {100, 0}));

    // Listed in GestureComponents only: the press reaches the window.
    G.Press(Listed, {0, 0});
    EXPECT_TRUE(G.Running());
    // A click without movement: empty gesture, release passed on.
    EXPECT_FALSE(G.Release(Listed, {0, 0}));

    // Listed in both lists: the press is withheld.
    G.MouseRightStopComponent.Add(L"STATIC");
    G.Press(Listed, {0, 0});
    G.Move(Listed, {0, 50});
    EXPECT_EQ(G.GestureString(), L"↓");
    // The release of a non-empty gesture is withheld wherever it happens.
    EXPECT_TRUE(G.Release(Other, {0, 50}));
    EXPECT_EQ(G.Swallowed, (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(G.Running());
}

TEST_F(GestureTest, CancelledStartRecordsNothingAndPassesTheReleaseOn) {
    G.MouseRightStopComponent.Add(L"Static");
    G.OnGestureStart = [](TComponent*, bool& cancel) { cancel = true; };
    G.Press(Listed, {0, 0});
    G.Move(Listed, {80, 0});
    EXPECT_EQ(G.GestureString(), L"");
    EXPECT_FALSE(G.Release(Listed, {80, 0}));
    EXPECT_EQ(G.Swallowed, (std::vector<bool>{false}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GestureTest, ReleaseRunsTheBoundEnabledActionAndReportsCaptions) {
    TAction right(nullptr), left(nullptr);
    right.SetCaption(L"進む");
    left.SetCaption(L"戻る");
    left.SetEnabled(false);
    int rightRuns = 0, leftRuns = 0;
    TComponent* sender = nullptr;
    right.OnExecute = [&](TComponent* s) { ++rightRuns; sender = s; };
    left.OnExecute = [&](TComponent*) { ++leftRuns; };
    G.AddGesture(L"→", &right);
    G.AddGesture(L"←", &left);
    G.AddGesture(L"→", &left);  // the first entry decides

    std::vector<std::wstring> captions;
    int ends = 0, execs = 0;
    G.OnGestureEnd = [&](TComponent*) { ++ends; };
    G.OnGestureExec = [&](TComponent*) { ++execs; };
    G.Press(Listed, {0, 0});
    G.OnGestureProgress = [&](TComponent*, const std::wstring&, const std::wstring& c) { captions.push_back(c); };
    G.Move(Listed, {40, 0});
    G.Release(Listed, {40, 0});
    EXPECT_EQ(rightRuns, 1);
    EXPECT_EQ(sender, &G);
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"進む"}));

    G.Press(Listed, {0, 0});
    G.Move(Listed, {-40, 0});
    G.Move(Listed, {-40, 40});  // "←↓" is bound to nothing
    G.Release(Listed, {-40, 40});
    G.Press(Listed, {0, 0});
    G.Move(Listed, {-40, 0});
    G.Release(Listed, {-40, 0});  // disabled action: nothing runs
    EXPECT_EQ(leftRuns, 0);
    EXPECT_EQ(ends, 3);
    EXPECT_EQ(execs, 3);
    EXPECT_EQ(G.GestureCaption(L"←"), L"戻る");
    EXPECT_EQ(G.GestureCaption(L"↑"), L"");
}

TEST_F(GestureTest, DisabledRecognizerRecordsAndWithholdsButFiresNothing) {
    TAction act(nullptr);
    act.SetCaption(L"x");
    int runs = 0, events = 0;
    act.OnExecute = [&](TComponent*) { ++runs; };
    G.AddGesture(L"↓", &act);
    G.Enabled = false;
    G.OnGestureStart = [&](TComponent*, bool&) { ++events; };
    G.OnGestureProgress = [&](TComponent*, const std::wstring&, const std::wstring&) { ++events; };
    G.OnGestureEnd = [&](TComponent*) { ++events; };
    G.OnGestureExec = [&](TComponent*) { ++events; };
    G.Press(Listed, {0, 0});
    G.Move(Listed, {0, 40});
    EXPECT_EQ(G.GestureString(), L"↓");
    EXPECT_TRUE(G.Release(Listed, {0, 40}));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(G.GestureCaption(L"↓"), L"");
}

TEST_F(GestureTest, DestroyedActionLeavesItsEntryInert) {
    auto* act = new TAction(nullptr);
    act->SetCaption(L"x");
    G.AddGesture(L"↓", act);
    delete act;
    EXPECT_EQ(G.Gestures(0).Action, nullptr);
    G.Press(Listed, {0, 0});
    G.Move(Listed, {0, 40});
    EXPECT_TRUE(G.Release(Listed, {0, 40}));
}

// Real input through the thread hook: a probe window of a listed class sees neither the
// withheld press nor the release of the gesture, and the bound action runs.
std::vector<UINT> ProbeMessages;
LRESULT CALLBACK ProbeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ProbeMessages.push_back(msg);
    return DefWindowProcW(w, msg, wp, lp);
}

void SendMouse(DWORD flags, int dx = 0, int dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.dx = dx;
    in.mi.dy = dy;
    SendInput(1, &in, sizeof(in));
}

TEST(GestureHook, RealInputRunsTheGestureAndWithholdsTheButtonMessages) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WendlarGestureProbe";
    RegisterClassExW(&wc);
    HWND probe = CreateWindowExW(WS_EX_TOPMOST, L"WendlarGestureProbe", L"", WS_POPUP | WS_VISIBLE, 100, 100, 300,
                                 300, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    PumpMessages();
    TVxMouseGestures g(nullptr);
    g.GestureComponents.Add(L"WendlarGestureProbe");
    g.MouseRightStopComponent.Add(L"wendlargestureprobe");
    TAction act(nullptr);
    int runs = 0;
    act.OnExecute = [&](TComponent*) { ++runs; };
    g.AddGesture(L"→", &act);
    g.InstallHook();
    ASSERT_TRUE(g.HookInstalled());
    EXPECT_EQ(TVxMouseGestures::Instance(), &g);

    SetCursorPos(150, 150);
    PumpMessages();
    ProbeMessages.clear();
    // The hook sees each message as the loop takes it, and the conditions are looked at
    // after each message: when the release has run the action, the probe would have had
    // the release already if it had not been withheld.
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return g.Running(); }));
    SendMouse(MOUSEEVENTF_MOVE, 60, 0);
    EXPECT_TRUE(PumpUntil([&] { return g.GestureString() == L"→"; })) << Narrow(g.GestureString());
    SendMouse(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(PumpUntil([&] { return runs == 1; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(ProbeMessages.empty());
    DestroyWindow(probe);
}

}  // namespace
