// Right-button mouse gestures in the windows of the program's own thread.
//
// A gesture is the sequence of marks collected while the right button is held: a movement
// of GestureLength pixels along one axis adds "→", "←", "↓" or "↑"; wheel turns reported
// through AddWheelMark add "△" (up) or "▽" (down). On release the first table entry whose
// gesture string equals the collected one runs its action.
//
// Gestures start only over windows whose class name is listed in GestureComponents
// (compared ignoring case). A right-button press over a class also listed in
// MouseRightStopComponent is withheld from that window; the release of a non-empty
// gesture is always withheld, so the window sees no context menu after a gesture.
//
// The messages come from a thread mouse hook (InstallHook) on the main thread. The
// recogniser's steps are public (HandleMouseMessage, AddWheelMark, PauseTick) so the
// same rules can be driven without a hook. Main thread only; the actions in the table
// are not owned (an action destroyed meanwhile is dropped from its entry).
#pragma once

#include "classlib/actions.h"
#include "classlib/component.h"
#include "classlib/timer.h"
#include "controls/wide/widestrings.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace widgets {

// The marks of a gesture string.
inline constexpr wchar_t GestureMarkRight = L'→';
inline constexpr wchar_t GestureMarkLeft = L'←';
inline constexpr wchar_t GestureMarkDown = L'↓';
inline constexpr wchar_t GestureMarkUp = L'↑';
inline constexpr wchar_t GestureMarkWheelUp = L'△';
inline constexpr wchar_t GestureMarkWheelDown = L'▽';

class TVxMouseGestures;

using TVxMouseGesturesStartEvent = std::function<void(classlib::TComponent* sender, bool& cancel)>;
using TVxMouseGesturesProgressEvent = std::function<void(
    classlib::TComponent* sender, const std::wstring& gestureStr, const std::wstring& keyGesture)>;

// One entry of the gesture table.
struct TVxMouseGestureItem {
    classlib::TComponentRef<classlib::TBasicAction> Action;  // not owned; cleared when it is destroyed
    std::wstring GestureStr;
};

class TVxMouseGestures : public classlib::TComponent {
public:
    // Becomes the process-wide instance the hook works on (the last one created).
    explicit TVxMouseGestures(classlib::TComponent* owner);
    ~TVxMouseGestures() override;

    bool Enabled = true;
    wide::TWideStringList GestureComponents;
    wide::TWideStringList MouseRightStopComponent;
    int GestureLength = 40;
    unsigned GestureStopRecognitionLength = 800;
    bool GestureNoDuplication = false;
    bool GestureStopRecognition() const { return FStopRecognition; }
    void SetGestureStopRecognition(bool value);

    TVxMouseGesturesStartEvent OnGestureStart;
    TVxMouseGesturesProgressEvent OnGestureProgress;
    classlib::TNotifyEvent OnGestureEnd;
    classlib::TNotifyEvent OnGestureExec;

    // Installs the thread mouse hook for the calling thread, once.
    void InstallHook();
    bool HookInstalled() const { return FHook != nullptr; }

    void AddGesture(const std::wstring& gestureStr, classlib::TBasicAction* action);
    void ClearGestures();
    int GestureCount() const { return static_cast<int>(FItems.size()); }
    const TVxMouseGestureItem& Gestures(int index) const { return *FItems[index]; }

    // While a gesture runs: appends a wheel mark (no duplicate or pause rule) and reports it.
    void AddWheelMark(bool up);
    // The caption of the action bound to exactly this string (empty without one or while
    // not Enabled).
    std::wstring GestureCaption(const std::wstring& gestureStr) const;
    static std::wstring WindowClassNameAt(HWND wnd);

    // One mouse message as the hook sees it: `wnd` is the window at the screen point `pt`.
    // Returns true when the message is to be withheld from its window.
    bool HandleMouseMessage(UINT msg, HWND wnd, POINT pt);
    // The pause rule, as the 10 ms timer applies it at time `now` (milliseconds).
    void PauseTick(DWORD now);

    bool Running() const { return FRunning; }
    const std::wstring& GestureString() const { return FGestureStr; }

    static TVxMouseGestures* Instance();

protected:
    // Milliseconds since system start; tests replace it.
    virtual DWORD Now() const { return GetTickCount(); }
    void StartGesture(HWND wnd, POINT pt);
    void TrackMove(HWND wnd, POINT pt);
    void AddDirection(POINT pt, wchar_t mark, HWND wnd);
    void EndGesture();
    void ExecuteGesture(const std::wstring& gestureStr);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp);
    void CaptureTo(HWND wnd);

    bool FRunning = false;
    bool FCaptured = false;
    bool FDirectionRecorded = false;
    std::wstring FGestureStr;
    wchar_t FLastMark = 0;
    DWORD FLastMoveTime = 0;
    POINT FRef{};
    HHOOK FHook = nullptr;
    bool FStopRecognition = true;
    std::vector<std::unique_ptr<TVxMouseGestureItem>> FItems;
    classlib::TTimer* FTimer = nullptr;
};

}  // namespace widgets
