#include "widgets/mousegestures.h"

#include "classlib/application.h"
#include "classlib/control.h"

namespace widgets {

using namespace classlib;

namespace {
TVxMouseGestures* GInstance = nullptr;
}

TVxMouseGestures::TVxMouseGestures(TComponent* owner) : TComponent(owner) {
    FTimer = new TTimer(this);
    FTimer->SetInterval(10);
    FTimer->SetOnTimer([this](TComponent*) { PauseTick(Now()); });
    FTimer->SetEnabled(true);
    GInstance = this;
}

TVxMouseGestures::~TVxMouseGestures() {
    // The timer is owned and goes with us; the hook must not outlive the object it calls.
    FTimer->SetEnabled(false);
    if (FHook) UnhookWindowsHookEx(FHook);
    FHook = nullptr;
    if (GInstance == this) GInstance = nullptr;
    if (FCaptured) ReleaseCapture();
    ClearGestures();
}

TVxMouseGestures* TVxMouseGestures::Instance() { return GInstance; }

void TVxMouseGestures::SetGestureStopRecognition(bool value) {
    FStopRecognition = value;
    FTimer->SetEnabled(value);
}

void TVxMouseGestures::InstallHook() {
    if (FHook) return;
    FHook = SetWindowsHookExW(WH_MOUSE, &TVxMouseGestures::HookProc, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK TVxMouseGestures::HookProc(int code, WPARAM wp, LPARAM lp) {
    if (code < 0 || !GInstance) return CallNextHookEx(nullptr, code, wp, lp);
    bool swallow = false;
    GuardedCall([&] {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp);
        POINT pt = info->pt;
        swallow = GInstance->HandleMouseMessage(static_cast<UINT>(wp), WindowFromPoint(pt), pt);
    });
    if (swallow) return 2;
    return CallNextHookEx(nullptr, code, wp, lp);
}

bool TVxMouseGestures::HandleMouseMessage(UINT msg, HWND wnd, POINT pt) {
    switch (msg) {
    case WM_MOUSEMOVE:
        TrackMove(wnd, pt);
        return false;
    case WM_RBUTTONDOWN: {
        std::wstring cls = WindowClassNameAt(wnd);
        if (GestureComponents.IndexOf(cls) < 0) return false;
        StartGesture(wnd, pt);
        return FRunning && MouseRightStopComponent.IndexOf(cls) >= 0;
    }
    case WM_RBUTTONUP: {
        std::wstring s = FGestureStr;
        EndGesture();
        return !s.empty();
    }
    default:
        return false;
    }
}

void TVxMouseGestures::CaptureTo(HWND wnd) {
    if (!wnd) return;
    SetCapture(wnd);
    FCaptured = true;
}

void TVxMouseGestures::StartGesture(HWND wnd, POINT pt) {
    FRef = pt;
    FRunning = true;
    FDirectionRecorded = false;
    FGestureStr.clear();
    if (!wnd || FCaptured) return;
    bool cancel = false;
    if (OnGestureStart && Enabled) OnGestureStart(this, cancel);
    if (cancel)
        FRunning = false;
    else
        CaptureTo(wnd);
}

void TVxMouseGestures::TrackMove(HWND wnd, POINT pt) {
    if (!FRunning) return;
    // One mark per move at most; the first test that holds wins, so a diagonal counts as
    // horizontal.
    if (pt.x - FRef.x >= GestureLength)
        AddDirection(pt, GestureMarkRight, wnd);
    else if (FRef.x - pt.x >= GestureLength)
        AddDirection(pt, GestureMarkLeft, wnd);
    else if (pt.y - FRef.y >= GestureLength)
        AddDirection(pt, GestureMarkDown, wnd);
    else if (FRef.y - pt.y >= GestureLength)
        AddDirection(pt, GestureMarkUp, wnd);
}

void TVxMouseGestures::AddDirection(POINT pt, wchar_t mark, HWND wnd) {
    if (!(FDirectionRecorded && mark == FLastMark)) {
        bool add = !GestureNoDuplication || FGestureStr.empty() || FGestureStr.back() != mark;
        if (add) {
            FGestureStr += mark;
            FLastMark = mark;
            FDirectionRecorded = true;
        }
    }
    FRef = pt;
    FLastMoveTime = Now();
    if (OnGestureProgress && Enabled) OnGestureProgress(this, FGestureStr, GestureCaption(FGestureStr));
    if (!FGestureStr.empty() && !FCaptured) CaptureTo(wnd);
}

void TVxMouseGestures::AddWheelMark(bool up) {
    if (!FRunning) return;
    wchar_t mark = up ? GestureMarkWheelUp : GestureMarkWheelDown;
    FGestureStr += mark;
    FLastMark = mark;
    if (OnGestureProgress && Enabled) OnGestureProgress(this, FGestureStr, GestureCaption(FGestureStr));
}

void TVxMouseGestures::PauseTick(DWORD now) {
    if (FRunning && FDirectionRecorded && now - FLastMoveTime >= GestureStopRecognitionLength)
        FDirectionRecorded = false;
}

void TVxMouseGestures::EndGesture() {
    if (!FRunning) return;
    std::wstring s = FGestureStr;
    // Only a capture taken for the gesture is released; one held by someone else stays.
    bool hadCapture = FCaptured;
    FCaptured = false;
    FRunning = false;
    FGestureStr.clear();
    if (hadCapture) ReleaseCapture();
    if (OnGestureEnd && Enabled) OnGestureEnd(this);
    ExecuteGesture(s);
}

void TVxMouseGestures::ExecuteGesture(const std::wstring& gestureStr) {
    if (gestureStr.empty() || !Enabled) return;
    if (OnGestureExec) OnGestureExec(this);
    for (const auto& item : FItems) {
        if (item->GestureStr != gestureStr) continue;
        TBasicAction* action = item->Action;
        if (!action) return;
        if (auto* custom = dynamic_cast<TCustomAction*>(action); custom && !custom->Enabled()) return;
        if (action->OnExecute) action->OnExecute(this);
        return;
    }
}

void TVxMouseGestures::AddGesture(const std::wstring& gestureStr, TBasicAction* action) {
    auto item = std::make_unique<TVxMouseGestureItem>();
    item->GestureStr = gestureStr;
    item->Action = action;
    FItems.push_back(std::move(item));
}

void TVxMouseGestures::ClearGestures() {
    while (!FItems.empty()) FItems.pop_back();
}

std::wstring TVxMouseGestures::GestureCaption(const std::wstring& gestureStr) const {
    for (const auto& item : FItems) {
        if (item->GestureStr != gestureStr) continue;
        if (!item->Action || !Enabled) return {};
        if (auto* custom = dynamic_cast<TCustomAction*>(item->Action.Get())) return custom->Caption();
        return {};
    }
    return {};
}

std::wstring TVxMouseGestures::WindowClassNameAt(HWND wnd) {
    if (!wnd) return {};
    wchar_t name[1024];
    int n = GetClassNameW(wnd, name, 1024);
    return n > 0 ? std::wstring(name, n) : std::wstring();
}

}  // namespace widgets
