#include "classlib/errors.h"
#include "classlib/timer.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

using namespace classlib;
using testsupport::PumpUntil;

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
    PumpUntil([&] { return fired >= 3 && ticks >= 8; });
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(quietFired, 0);

    // Re-enabling restarts it; destroying the owner stops it for good.
    timer->SetEnabled(true);
    PumpUntil([&] { return fired >= 4; });
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
    PumpUntil([&] { return handled >= 2; });
    SetExceptionHandler(previous);
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(handledSender, &timer);
}
