#include "classlib/errors.h"
#include "classlib/timer.h"

#include <gtest/gtest.h>

#include <functional>

using namespace classlib;

namespace {

// Dispatches messages until `done` holds. A plain system timer guards against a hang: if
// our timers never fire, the loop ends after a few seconds and the test fails on its
// counts rather than blocking the suite.
void RunLoopUntil(const std::function<bool()>& done) {
    UINT_PTR guard = SetTimer(nullptr, 0, 5000, nullptr);
    MSG msg;
    while (!done() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == guard)
            break;
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, guard);
}

}  // namespace

TEST(Timer, FiresThroughTheMessageLoopUntilDisabled) {
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000u);
    int fired = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TComponent* sender) {
        EXPECT_EQ(sender, timer);
        if (++fired == 3)
            timer->SetEnabled(false);
    });
    // Without a handler, with interval 0 or disabled, nothing fires; a second timer
    // keeps the loop going meanwhile.
    int quietFired = 0;
    TTimer quiet(nullptr);
    quiet.SetInterval(0);
    quiet.SetOnTimer([&](TComponent*) { ++quietFired; });
    TTimer disabled(nullptr);
    disabled.SetEnabled(false);
    disabled.SetInterval(5);
    disabled.SetOnTimer([&](TComponent*) { ++quietFired; });

    int ticks = 0;
    TTimer clock(nullptr);
    clock.SetInterval(10);
    clock.SetOnTimer([&](TComponent*) { ++ticks; });
    RunLoopUntil([&] { return fired >= 3 && ticks >= 8; });
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(quietFired, 0);

    // Re-enabling restarts it; destroying the owner stops it for good.
    timer->SetEnabled(true);
    RunLoopUntil([&] { return fired >= 4; });
    EXPECT_EQ(fired, 4);
}

TEST(Timer, HandlerExceptionGoesToTheHandlerAndTimerGoesOn) {
    int handled = 0;
    TComponent* handledSender = nullptr;
    auto previous = SetExceptionHandler([&](TComponent* sender) {
        handledSender = sender;
        try {
            throw;
        } catch (const EConvertError&) {
            ++handled;
        }
    });
    TTimer timer(nullptr);
    timer.SetInterval(5);
    timer.SetOnTimer([](TComponent*) { throw EConvertError(L"失敗"); });
    RunLoopUntil([&] { return handled >= 2; });
    SetExceptionHandler(previous);
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(handledSender, &timer);
}
