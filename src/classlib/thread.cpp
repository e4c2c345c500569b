#include "classlib/thread.h"

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "classlib/scopeguard.h"

#include <process.h>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace classlib {

DWORD MainThreadID = GetCurrentThreadId();

namespace {

// One call handed to the main thread.
struct SyncCall {
    std::function<void()> fn;
    TThread* owner = nullptr;   // set for QueueCall, so RemoveQueuedEvents can find it
    bool synchronous = false;   // a Synchronize call: a thread waits for `done`
    bool done = false;
    std::exception_ptr error;
};

// The main-thread queue. `event` (manual reset) is set while calls are queued, so the
// main thread can wait for it together with other handles.
struct SyncQueue {
    std::mutex lock;
    std::condition_variable doneChanged;
    std::deque<std::shared_ptr<SyncCall>> calls;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::function<void()> wake;
};

SyncQueue& Sync() {
    static SyncQueue* queue = new SyncQueue;  // lives for the whole process
    return *queue;
}

void WakeMainThread() {
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> guard(Sync().lock);
        wake = Sync().wake;
    }
    if (wake)
        wake();
    else
        PostThreadMessageW(MainThreadID, WM_NULL, 0, 0);
}

void Enqueue(const std::shared_ptr<SyncCall>& call) {
    SyncQueue& sync = Sync();
    {
        std::lock_guard<std::mutex> guard(sync.lock);
        sync.calls.push_back(call);
        SetEvent(sync.event);
    }
    WakeMainThread();
}

}  // namespace

void SetMainThread() {
    MainThreadID = GetCurrentThreadId();
}

std::function<void()> SetWakeMainThread(std::function<void()> wake) {
    std::lock_guard<std::mutex> guard(Sync().lock);
    std::swap(Sync().wake, wake);
    return wake;
}

bool CheckSynchronize(DWORD timeoutMs) {
    if (GetCurrentThreadId() != MainThreadID)
        throw EThread(L"CheckSynchronize がメインスレッド以外 (スレッド " +
                      std::to_wstring(GetCurrentThreadId()) + L") から呼び出されました");
    SyncQueue& sync = Sync();
    if (timeoutMs > 0)
        WaitForSingleObject(sync.event, timeoutMs);
    std::deque<std::shared_ptr<SyncCall>> batch;
    {
        std::lock_guard<std::mutex> guard(sync.lock);
        batch.swap(sync.calls);
        ResetEvent(sync.event);
    }
    if (batch.empty())
        return false;
    while (!batch.empty()) {
        std::shared_ptr<SyncCall> call = std::move(batch.front());
        batch.pop_front();
        if (call->synchronous) {
            try {
                call->fn();
            } catch (...) {
                call->error = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> guard(sync.lock);
                call->done = true;
            }
            sync.doneChanged.notify_all();
        } else {
            // When the call fails, the rest stays queued, ahead of anything queued meanwhile.
            auto requeue = ScopeFail([&] {
                std::lock_guard<std::mutex> guard(sync.lock);
                sync.calls.insert(sync.calls.begin(), batch.begin(), batch.end());
                if (!sync.calls.empty())
                    SetEvent(sync.event);
            });
            call->fn();
        }
    }
    return true;
}

// --- TThread ------------------------------------------------------------------------------

TThread::TThread() {
    unsigned id = 0;
    uintptr_t handle = _beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id);
    if (handle == 0)
        throw EThread(L"スレッドの作成エラー: " + SysErrorMessage(GetLastError()));
    FHandle = reinterpret_cast<HANDLE>(handle);
    FThreadID = id;
}

TThread::~TThread() {
    if (!FHandle)
        return;
    TerminateAndWait();
    RemoveQueuedEvents(this);
    CloseHandle(FHandle);
}

void TThread::TerminateAndWait() {
    if (GetCurrentThreadId() == FThreadID)
        return;  // a thread freeing itself (FreeOnTerminate) has nothing to wait for
    if (!FStarted.exchange(true)) {
        // Never started: let the thread end without running Execute or OnTerminate.
        FSkipExecute = true;
        FTerminated = true;
        ResumeThread(FHandle);
        WaitForSingleObject(FHandle, INFINITE);
        return;
    }
    if (FSkipExecute)
        return;
    Terminate();
    for (;;) {
        try {
            WaitFor();
            return;
        } catch (...) {
            // A queued call failed while we waited; a destructor cannot pass it on, so
            // keep waiting.
        }
    }
}

unsigned __stdcall TThread::ThreadProc(void* param) {
    auto* thread = static_cast<TThread*>(param);
    const bool skip = thread->FSkipExecute;
    if (!skip && !thread->FTerminated) {
        try {
            thread->Execute();
        } catch (...) {
            thread->FFatalException = std::current_exception();
        }
    }
    const bool freeThread = thread->FFreeOnTerminate && !skip;
    const unsigned result = static_cast<unsigned>(thread->FReturnValue.load());
    if (!skip) {
        try {
            thread->DoTerminate();
        } catch (...) {
            if (!thread->FFatalException)
                thread->FFatalException = std::current_exception();
        }
    }
    thread->FFinished = true;
    if (freeThread)
        delete thread;
    return result;
}

void TThread::Start() {
    if (FStarted.exchange(true))
        throw EThread(L"実行中または中断中のスレッドで Start を呼び出すことはできません");
    if (ResumeThread(FHandle) == static_cast<DWORD>(-1))
        RaiseLastOSError();
}

DWORD TThread::WaitFor() {
    if (!FStarted || FSkipExecute)
        throw EThread(L"開始していないスレッドの終了は待てません");
    if (GetCurrentThreadId() == FThreadID)
        throw EThread(L"スレッド自身の終了を待つことはできません");
    if (GetCurrentThreadId() == MainThreadID) {
        HANDLE handles[2] = {FHandle, Sync().event};
        for (;;) {
            DWORD r = MsgWaitForMultipleObjectsEx(2, handles, INFINITE, QS_SENDMESSAGE, 0);
            if (r == WAIT_OBJECT_0)
                break;
            if (r == WAIT_OBJECT_0 + 1) {
                CheckSynchronize();
            } else if (r == WAIT_OBJECT_0 + 2) {
                // Delivers the messages other threads sent to our windows.
                MSG msg;
                PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
            } else {
                // Cannot happen with valid handles; fall back to a plain wait.
                WaitForSingleObject(FHandle, INFINITE);
                break;
            }
        }
    } else {
        WaitForSingleObject(FHandle, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeThread(FHandle, &code);
    return code;
}

TThreadPriority TThread::Priority() const {
    switch (GetThreadPriority(FHandle)) {
    case THREAD_PRIORITY_IDLE: return tpIdle;
    case THREAD_PRIORITY_LOWEST: return tpLowest;
    case THREAD_PRIORITY_BELOW_NORMAL: return tpLower;
    case THREAD_PRIORITY_ABOVE_NORMAL: return tpHigher;
    case THREAD_PRIORITY_HIGHEST: return tpHighest;
    case THREAD_PRIORITY_TIME_CRITICAL: return tpTimeCritical;
    default: return tpNormal;
    }
}

void TThread::SetPriority(TThreadPriority priority) {
    static const int values[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                 THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                 THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                 THREAD_PRIORITY_TIME_CRITICAL};
    if (priority < tpIdle || priority > tpTimeCritical)
        return;
    SetThreadPriority(FHandle, values[priority]);
}

void TThread::DoTerminate() {
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

void TThread::Synchronize(std::function<void()> fn) {
    if (GetCurrentThreadId() == MainThreadID) {
        fn();
        return;
    }
    auto call = std::make_shared<SyncCall>();
    call->fn = std::move(fn);
    call->synchronous = true;
    Enqueue(call);
    {
        std::unique_lock<std::mutex> guard(Sync().lock);
        Sync().doneChanged.wait(guard, [&] { return call->done; });
    }
    if (call->error)
        std::rethrow_exception(call->error);
}

void TThread::QueueFor(TThread* thread, std::function<void()> fn) {
    if (GetCurrentThreadId() == MainThreadID) {
        fn();
        return;
    }
    auto call = std::make_shared<SyncCall>();
    call->fn = std::move(fn);
    call->owner = thread;
    Enqueue(call);
}

void TThread::RemoveQueuedEvents(TThread* thread) {
    if (!thread)
        return;
    std::lock_guard<std::mutex> guard(Sync().lock);
    auto& calls = Sync().calls;
    for (auto it = calls.begin(); it != calls.end();) {
        if (!(*it)->synchronous && (*it)->owner == thread)
            it = calls.erase(it);
        else
            ++it;
    }
}

}  // namespace classlib
