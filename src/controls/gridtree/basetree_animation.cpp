// The time-sliced animation loop and the toggle animation that uses it.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/graphics.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
// Milliseconds of a monotonic clock with millisecond resolution (the tick count is too
// coarse for slices of a few milliseconds).
int64_t NowMs() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    return c.QuadPart * 1000 / frequency;
}

bool Terminating() { return classlib::Application && classlib::Application->Terminated(); }
}  // namespace

void TBaseGridTree::Animate(uint32_t Steps, uint32_t Duration, const TGTAnimationCallback& Callback, void* Data) {
    if (HasState(tsInAnimation) || Duration == 0 || !Callback) return;
    // A callback may serve messages, and one of them may free the tree: after each call
    // the tree is touched only while it still lives.
    const std::weak_ptr<void> alive = FLifeToken;
    DoStateChange(tsInAnimation, 0);
    auto endAnimation = classlib::ScopeExit([&] {
        if (!alive.expired()) DoStateChange(0, tsCancelHintAnimation | tsInAnimation);
    });
    int64_t stepSize = std::llround(std::max(double(Steps) / double(Duration), 1.0));
    int64_t remainingSteps = int64_t(Steps) / stepSize;
    int64_t nextStep = 0;
    int64_t duration = Duration;
    while (remainingSteps > 0 && duration > 0 && !Terminating()) {
        int64_t start = NowMs();
        const bool goOn = Callback(int(nextStep), int(stepSize), Data);
        if (alive.expired()) return;
        if (!goOn) break;
        int64_t target = duration / remainingSteps;
        int64_t elapsed = NowMs() - start;
        // The rest of the slice is waited for without using the processor; input that
        // arrives ends the wait, and the next step serves it.
        while (elapsed < target) {
            const DWORD woke = MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(target - elapsed), QS_ALLINPUT);
            elapsed = NowMs() - start;
            if (woke != WAIT_TIMEOUT) break;
        }
        int64_t remainingTime = std::max<int64_t>(0, duration - elapsed);
        remainingSteps = elapsed > duration ? 0 : remainingSteps - 1;
        // Behind time: take bigger steps so that the rest still fits.
        while (remainingSteps > 0 && remainingTime / remainingSteps == 0) {
            ++stepSize;
            remainingSteps = remainingTime / stepSize;
        }
        nextStep = int64_t(Steps) - remainingSteps;
        duration = remainingTime;
    }
    if (!Terminating()) Callback(0, 0, Data);
}

void TBaseGridTree::AnimateToggle(PGridNode Node, bool Expanding, int Pixels) {
    if (!HasControlWindow() || FDestroying || Pixels <= 0 || HasState(tsInAnimation)) return;
    UpdateWindow(FHandle);
    RECT row = GetDisplayRect(Node, NoColumn, false);
    // Only a row whose bottom lies in the client area has an area below it to move; a
    // row scrolled out of sight moves nothing.
    if (row.bottom < 0 || row.bottom >= FClientHeight) return;
    TToggleAnimationData data;
    data.Window = FHandle;
    data.Mode = Expanding ? 1 : 0;
    data.R = RECT{0, row.bottom, FClientWidth, FClientHeight};
    classlib::TWindowDC dc(FHandle);
    if (!dc.Handle()) return;
    classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(classlib::ColorToRGB(Color())));
    data.DC = dc.Handle();
    data.Brush = brush.Handle();
    Animate(uint32_t(Pixels), FAnimationDuration,
            [this](int Step, int StepSize, void* Data) { return ToggleCallback(Step, StepSize, Data); }, &data);
}

bool TBaseGridTree::ToggleCallback(int Step, int StepSize, void* Data) {
    if (StepSize <= 0 || !Data) return true;
    auto& data = *static_cast<TToggleAnimationData*>(Data);
    RECT area = data.R;
    ScrollDC(data.DC, 0, data.Mode == 1 ? StepSize : -StepSize, &area, &area, nullptr, nullptr);
    if (Step == 0) {
        // The strip uncovered by the first step; later steps move the filled strip along
        // with the rest, so it stays filled.
        RECT strip = data.R;
        if (data.Mode == 1) strip.bottom = std::min<LONG>(strip.bottom, strip.top + StepSize + 1);
        else strip.top = std::max<LONG>(strip.top, strip.bottom - StepSize - 1);
        // Columns paint their own backgrounds once the header exists; without columns the
        // whole strip has the tree's colour.
        FillRect(data.DC, &strip, data.Brush);
    }
    return true;
}

}  // namespace gridtree
