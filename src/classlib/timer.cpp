#include "classlib/timer.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/timer_p.h"

#include <unordered_map>

namespace classlib {

namespace {

// The running timers by their id. Ids are never reused, so a late WM_TIMER of a stopped
// timer finds nothing.
struct TTimerTable {
    UINT_PTR NextId = 1;
    std::unordered_map<UINT_PTR, TTimer*> Timers;
};

TTimerTable& Table() {
    static TTimerTable table;
    return table;
}

HWND TimerWindow() { return Application ? Application->UtilWindow() : nullptr; }

}  // namespace

void DispatchTimer(UINT_PTR id) {
    auto& timers = Table().Timers;
    auto it = timers.find(id);
    if (it == timers.end()) return;
    TTimer* timer = it->second;
    try {
        timer->Timer();
    } catch (...) {
        HandleCurrentException(timer);
    }
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
    if (value != FEnabled) {
        FEnabled = value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(unsigned value) {
    if (value != FInterval) {
        FInterval = value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::Timer() {
    if (FOnTimer)
        FOnTimer(this);
}

void TTimer::UpdateTimer() {
    TTimerTable& table = Table();
    if (FTimerId) {
        if (HWND handle = TimerWindow()) KillTimer(handle, FTimerId);
        table.Timers.erase(FTimerId);
        FTimerId = 0;
    }
    if (!FEnabled || FInterval == 0 || !FOnTimer)
        return;
    HWND handle = TimerWindow();
    UINT_PTR id = table.NextId++;
    if (!handle || !SetTimer(handle, id, FInterval, nullptr))
        throw EOutOfResources(L"利用可能なタイマーが足りません");
    table.Timers[id] = this;
    FTimerId = id;
}

}  // namespace classlib
