// TTimer: a component that fires OnTimer every Interval milliseconds.
//
// Timers run on the main thread's message loop: they use SetTimer on the application's
// message-only utility window, so OnTimer only fires while the thread dispatches messages
// (and a timer cannot start without an application object). A timer runs while Enabled, Interval > 0 and OnTimer is set; changing any of
// them restarts it. An exception thrown by OnTimer goes to HandleCurrentException and the
// timer keeps running. Main thread only.
#pragma once

#include "classlib/component.h"

#include <windows.h>

namespace classlib {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // Milliseconds between events; 1000 by default. 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent handler);

protected:
    // Fires OnTimer.
    virtual void Timer();

private:
    friend void DispatchTimer(UINT_PTR id);
    void UpdateTimer();

    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
    UINT_PTR FTimerId = 0;  // nonzero while a system timer runs
};

}  // namespace classlib
