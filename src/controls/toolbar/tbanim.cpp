#include "controls/toolbar/tbanim.h"

#include "classlib/errors.h"
#include "classlib/gdiguards.h"

#include <atomic>
#include <memory>
#include <optional>

namespace toolbar {

namespace {

constexpr int FadeDuration = 175;
constexpr int SlideDuration = 150;
constexpr int FadeFirstStep = 40;

// One animation. The window's thread owns it; the worker reads the fixed fields, the
// cursor position it keeps itself and the stop flag, and writes the step and the flags.
struct TAnimation {
    LPARAM Sequence = 0;
    HWND Wnd = nullptr;
    int Duration = 0;
    bool Fade = false;
    unsigned Directions = 0;
    RECT ClientOnScreen{};
    int Width = 0, Height = 0;
    POINT LastCursor{};
    std::atomic<int> Step{0};
    std::atomic<bool> Stop{false};
    std::atomic<bool> Finished{false};
    std::atomic<int> StepPending{0};
    // The window's DC and the captured picture: the window's thread only. Both go with
    // the record.
    std::optional<classlib::TWindowDC> WindowDC;
    std::optional<classlib::TMemoryBitmap> Picture;
};

struct TAnimationThreadState {
    LPARAM SequenceCounter = 0;
    HANDLE Worker = nullptr;
    std::unique_ptr<TAnimation> Current;

    ~TAnimationThreadState();
};

thread_local TAnimationThreadState tAnimation;

DWORD WINAPI PopupAnimationThreadProc(void* parameter) {
    auto* a = static_cast<TAnimation*>(parameter);
    const DWORD start = GetTickCount();
    const int base = a->Step.load();
    DWORD previous = start;
    while (!a->Stop.load()) {
        const int elapsed = static_cast<int>(GetTickCount() - start);
        const int step = AnimationStepAt(elapsed, a->Duration, base);
        if (step < 0) break;
        POINT cursor{};
        if (GetCursorPos(&cursor) && (cursor.x != a->LastCursor.x || cursor.y != a->LastCursor.y)) {
            if (PtInRect(&a->ClientOnScreen, cursor)) break;  // the user reached the menu
            a->LastCursor = cursor;
        }
        if (step > a->Step.load()) {
            a->Step.store(step);
            // A step that comes while one is pending only updates the record.
            if (a->StepPending.exchange(1) == 0)
                SendNotifyMessageW(a->Wnd, TBM_ANIMATIONSTEP, 0, a->Sequence);
        }
        DWORD now;
        do {
            Sleep(5);
            now = GetTickCount();
        } while (now - previous < 10 && !a->Stop.load());
        previous = now;
    }
    a->Finished.store(true);
    SendNotifyMessageW(a->Wnd, TBM_ANIMATIONSTEP, 0, a->Sequence);
    return 0;
}

// Shows the complete picture, frees the capture and tells the window.
void ShowFinalAnimationFrame(std::unique_ptr<TAnimation> a) {
    const HWND wnd = a->Wnd;
    if (a->Fade)
        SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    else
        SetWindowRgn(wnd, nullptr, FALSE);
    a->Picture->CopyTo(a->WindowDC->Handle());
    a.reset();
    SendNotifyMessageW(wnd, TBM_ANIMATIONENDED, 0, 0);
}

TAnimationThreadState::~TAnimationThreadState() {
    if (Worker) {
        Current->Stop.store(true);
        WaitForSingleObject(Worker, INFINITE);
        CloseHandle(Worker);
        Worker = nullptr;
    }
    if (Current) ShowFinalAnimationFrame(std::move(Current));
}

// Fade: the picture at the window's place with the given opacity.
bool ShowLayered(TAnimation& a, BYTE alpha) {
    RECT wr{};
    GetWindowRect(a.Wnd, &wr);
    POINT position{wr.left, wr.top};
    SIZE size{a.Width, a.Height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    return UpdateLayeredWindow(a.Wnd, nullptr, &position, &size, a.Picture->DC(), &origin, 0, &blend, ULW_ALPHA) !=
           FALSE;
}

void SetEmptyRegion(HWND wnd) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (!SetWindowRgn(wnd, rgn, FALSE)) DeleteObject(rgn);
}

}  // namespace

int AnimationStepAt(int elapsedMs, int durationMs, int baseStep) {
    if (durationMs <= 0 || elapsedMs < 0 || elapsedMs >= durationMs) return -1;
    const int step = static_cast<int>(static_cast<long long>(elapsedMs) * 255 / durationMs) + baseStep;
    return step < 0 || step > 254 ? -1 : step;
}

bool PopupAnimationRunning(HWND wnd) {
    return tAnimation.Current && (!wnd || tAnimation.Current->Wnd == wnd);
}

void StopPopupAnimation(HWND wnd) {
    auto& state = tAnimation;
    if (!state.Current || (wnd && state.Current->Wnd != wnd)) return;
    if (state.Worker) {
        state.Current->Stop.store(true);
        WaitForSingleObject(state.Worker, INFINITE);
        CloseHandle(state.Worker);
        state.Worker = nullptr;
    }
    ShowFinalAnimationFrame(std::move(state.Current));
}

void StartPopupAnimation(HWND wnd, bool fade, unsigned directions) {
    StopPopupAnimation();
    auto& state = tAnimation;
    auto a = std::make_unique<TAnimation>();
    a->Sequence = ++state.SequenceCounter;
    a->Wnd = wnd;
    a->Directions = directions;
    GetCursorPos(&a->LastCursor);
    GetClientRect(wnd, &a->ClientOnScreen);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&a->ClientOnScreen), 2);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    a->Width = wr.right - wr.left;
    a->Height = wr.bottom - wr.top;
    a->WindowDC.emplace(wnd, GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE));
    try {
        a->Picture.emplace(a->WindowDC->Handle(), a->Width, a->Height);
    } catch (const classlib::EOutOfResources&) {
        // No picture to animate: the window shows at once, and its animation is over.
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
        SendNotifyMessageW(wnd, TBM_ANIMATIONENDED, 0, 0);
        return;
    }
    SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(a->Picture->DC()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    if (fade) {
        SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        a->Fade = ShowLayered(*a, FadeFirstStep);
        // A window that cannot be layered slides instead.
        if (!a->Fade)
            SetWindowLongPtrW(wnd, GWL_EXSTYLE,
                              GetWindowLongPtrW(wnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
    if (a->Fade) {
        a->Duration = FadeDuration;
        a->Step.store(FadeFirstStep);
    } else {
        a->Duration = SlideDuration;
        a->Step.store(0);
        SetEmptyRegion(wnd);
    }
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                     SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
    TAnimation* record = a.get();
    state.Current = std::move(a);
    state.Worker = CreateThread(nullptr, 0, PopupAnimationThreadProc, record, CREATE_SUSPENDED, nullptr);
    if (!state.Worker) {
        ShowFinalAnimationFrame(std::move(state.Current));
        return;
    }
    ResumeThread(state.Worker);
}

void ProcessAnimationStep(HWND wnd, LPARAM sequence) {
    auto& state = tAnimation;
    TAnimation* a = state.Current.get();
    // Steps of an older animation, or of one already ended, are stale.
    if (!a || a->Sequence != sequence || a->Wnd != wnd) return;
    if (a->Finished.load()) {
        StopPopupAnimation(wnd);
        return;
    }
    const int step = a->Step.load();
    if (a->Fade) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(step), 0};
        UpdateLayeredWindow(a->Wnd, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA);
    } else {
        int dx = 0, dy = 0;
        if (a->Directions & tbadFromAbove)
            dy = MulDiv(a->Height, step, 255) - a->Height;
        else if (a->Directions & tbadFromBelow)
            dy = a->Height - MulDiv(a->Height, step, 255);
        if (a->Directions & tbadFromLeft)
            dx = MulDiv(a->Width, step, 255) - a->Width;
        else if (a->Directions & tbadFromRight)
            dx = a->Width - MulDiv(a->Width, step, 255);
        HRGN rgn = CreateRectRgn(dx, dy, dx + a->Width, dy + a->Height);
        if (!SetWindowRgn(a->Wnd, rgn, FALSE)) DeleteObject(rgn);
        a->Picture->CopyTo(a->WindowDC->Handle(), dx, dy);
    }
    a->StepPending.store(0);
}

}  // namespace toolbar
