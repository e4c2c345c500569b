// The opening animation of a popup window: a fade-in through a layered window or a slide-in
// through a window region that grows step by step.
//
// - One animation at a time, on the main thread; its state (the window's DC and the
//   captured picture) is a process object of the application and ends with it. StartPopupAnimation captures the window's picture
//   (WM_PRINT), shows the window with the first frame and starts a short-lived worker
//   thread that only times the steps: it notifies the window with TBM_ANIMATIONSTEP, and
//   the window's own thread draws each step in ProcessAnimationStep. When the time is up,
//   the mouse enters the window's client area, another animation starts, or
//   StopPopupAnimation is called, the complete picture is shown (the final frame), the
//   capture is freed and the window gets TBM_ANIMATIONENDED.
// - Step messages carry the animation's sequence number: a message of an older animation,
//   or one that arrives after the animation has ended, is ignored.
// - The window must call StopPopupAnimation(itself) before it is destroyed, and pass
//   TBM_ANIMATIONSTEP to ProcessAnimationStep. All calls belong to the window's thread.
#pragma once

#include <windows.h>

namespace toolbar {

constexpr UINT TBM_ANIMATIONSTEP = 2389;   // LParam: sequence number of the animation
constexpr UINT TBM_ANIMATIONENDED = 2390;  // WParam and LParam 0

// Slide directions (combinations slide diagonally).
constexpr unsigned tbadFromRight = 0x01;  // the picture enters from the right, moving left
constexpr unsigned tbadFromLeft = 0x02;   // enters from the left, moving right
constexpr unsigned tbadFromAbove = 0x04;  // enters from above, moving down
constexpr unsigned tbadFromBelow = 0x08;  // enters from below, moving up

// Stops any running animation, then animates `wnd` (hidden until now): a fade when
// `fade` is set and the window can be layered, otherwise a slide in `directions`.
void StartPopupAnimation(HWND wnd, bool fade, unsigned directions);
// Ends the running animation (only if it is `wnd`'s, when `wnd` is given) with its final
// frame, after the worker has stopped.
void StopPopupAnimation(HWND wnd = nullptr);
// The handler of TBM_ANIMATIONSTEP of `wnd`; `sequence` is the message's LParam.
void ProcessAnimationStep(HWND wnd, LPARAM sequence);
// Whether an animation runs (for `wnd`, when given).
bool PopupAnimationRunning(HWND wnd = nullptr);

// The step (0..254) that an animation starting at `baseStep` has reached `elapsedMs` into
// its `durationMs`, or -1 when it is over.
int AnimationStepAt(int elapsedMs, int durationMs, int baseStep);

}  // namespace toolbar
