// TThread and the main-thread call queue.
//
// Threads never touch windows or components; they hand work to the main thread with
// Synchronize (blocking) or Queue (fire and forget). The main thread runs those calls in
// CheckSynchronize, which the application's message loop calls when woken, and which
// TThread::WaitFor calls while it waits, so a main thread waiting for a worker never
// deadlocks with that worker blocked in Synchronize.
//
// Waking: after queueing a call, the worker signals an internal event (seen by WaitFor and
// by CheckSynchronize with a timeout) and calls the wake hook. TApplication installs a hook
// that posts a message to its window; without a hook a WM_NULL thread message is posted to
// the main thread so a plain GetMessage loop returns.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

namespace classlib {

// The id of the main thread: the thread that started the process, unless SetMainThread
// named another one (tests, or a program whose windows live elsewhere). Set it before
// starting threads.
extern DWORD MainThreadID;
void SetMainThread();

// Runs every call queued for the main thread (must be called on it). With a timeout,
// first waits up to that long for something to be queued. Returns whether any call ran.
// A Synchronize call's exception goes back to its thread; a Queue call's exception leaves
// CheckSynchronize (calls queued after it stay queued for the next round).
bool CheckSynchronize(DWORD timeoutMs = 0);

// The hook that wakes the main thread after a call is queued. Called on the queueing
// thread; must be cheap and must not throw. An empty function restores the default.
// Returns the hook it replaces.
std::function<void()> SetWakeMainThread(std::function<void()> wake);

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A thread object. Derive, override Execute, check Terminated() regularly.
//
// A TThread is always created suspended: C++ gives a base constructor no way to run code
// after the derived constructor, and starting the thread earlier would race with it. Call
// Start() once the object is built (StartNew does both).
//
// Lifetime: the creator deletes the object, which first asks the thread to stop and waits
// for it (delete on the main thread keeps serving Synchronize meanwhile). The base
// destructor runs after the derived members are gone, so a derived class whose Execute
// uses its own members calls TerminateAndWait() first thing in its destructor. With
// FreeOnTerminate the thread deletes itself after OnTerminate; nobody else may touch the
// object after Start() then (and nobody may WaitFor it).
class TThread {
public:
    TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    virtual ~TThread();

    template <class T, class... Args>
    static T* StartNew(Args&&... args) {
        T* thread = new T(std::forward<Args>(args)...);
        thread->Start();
        return thread;
    }

    // Runs the thread. Raises EThread if it already runs or has run.
    void Start();
    void Resume() { Start(); }

    // Asks Execute to finish; it must look at Terminated() itself.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }

    // Waits until the thread has ended and returns its exit code (ReturnValue). On the main
    // thread it keeps running queued calls and sent messages while waiting. Raises EThread
    // when called on the thread itself or before Start.
    DWORD WaitFor();

    // Terminate, then wait for the end (a thread never started ends without running
    // Execute). Safe to call more than once and from the destructor of a derived class.
    void TerminateAndWait();

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority priority);

    bool FreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }

    // Runs on the main thread (through Synchronize) after Execute returned.
    std::function<void(TThread* sender)> OnTerminate;

    int ReturnValue() const { return FReturnValue; }
    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadID; }
    bool Finished() const { return FFinished; }
    bool Started() const { return FStarted; }
    // An exception that escaped Execute, kept for the creator to inspect or rethrow.
    std::exception_ptr FatalException() const { return FFatalException; }

    // Runs `fn` on the main thread and waits for it; an exception it throws is thrown
    // here again. On the main thread `fn` runs at once.
    static void Synchronize(std::function<void()> fn);
    // Queues `fn` for the main thread without waiting (on the main thread it runs at once).
    // Calls run in the order queued. `fn` must not refer to objects that may be gone when
    // it runs. QueueCall ties the call to this thread object: destroying the object (or
    // RemoveQueuedEvents) drops its calls that have not run yet.
    static void Queue(std::function<void()> fn) { QueueFor(nullptr, std::move(fn)); }
    void QueueCall(std::function<void()> fn) { QueueFor(this, std::move(fn)); }
    static void RemoveQueuedEvents(TThread* thread);

protected:
    virtual void Execute() = 0;
    // Fires OnTerminate on the main thread.
    virtual void DoTerminate();
    void SetReturnValue(int value) { FReturnValue = value; }

private:
    static unsigned __stdcall ThreadProc(void* param);
    static void QueueFor(TThread* thread, std::function<void()> fn);

    HANDLE FHandle = nullptr;
    DWORD FThreadID = 0;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FStarted{false};
    bool FFreeOnTerminate = false;
    bool FSkipExecute = false;
    std::atomic<int> FReturnValue{0};
    std::exception_ptr FFatalException;
};

}  // namespace classlib
