// Synchronisation objects: critical sections and events.
//
// Each object may be used from any thread; the object itself must outlive every thread
// that uses it.
#pragma once

#include <windows.h>

namespace classlib {

// A recursive lock over a CRITICAL_SECTION. Enter/Leave must pair on the same thread; use
// TCriticalSectionGuard to pair them by scope. lock/unlock let std::lock_guard use it too.
class TCriticalSection {
public:
    TCriticalSection() { InitializeCriticalSection(&FSection); }
    ~TCriticalSection() { DeleteCriticalSection(&FSection); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&FSection); }
    void Leave() { LeaveCriticalSection(&FSection); }
    bool TryEnter() { return TryEnterCriticalSection(&FSection) != FALSE; }
    void Acquire() { Enter(); }
    void Release() { Leave(); }

    void lock() { Enter(); }
    void unlock() { Leave(); }
    bool try_lock() { return TryEnter(); }

private:
    CRITICAL_SECTION FSection;
};

// Holds a critical section for the life of the guard.
class TCriticalSectionGuard {
public:
    explicit TCriticalSectionGuard(TCriticalSection& section) : FSection(section) { FSection.Enter(); }
    ~TCriticalSectionGuard() { FSection.Leave(); }
    TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
    TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

private:
    TCriticalSection& FSection;
};

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// A Win32 event. Manual-reset events stay set until ResetEvent; auto-reset ones release
// one waiter. Raises EOSError if the event cannot be created.
class TEvent {
public:
    TEvent(bool manualReset, bool initialState, const wchar_t* name = nullptr);
    ~TEvent();
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(DWORD timeoutMs = INFINITE);
    HANDLE Handle() const { return FHandle; }

private:
    HANDLE FHandle;
};

// A manual-reset event, initially not set.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

}  // namespace classlib
