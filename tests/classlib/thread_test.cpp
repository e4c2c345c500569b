#include "classlib/errors.h"
#include "classlib/syncobjs.h"
#include "classlib/thread.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

using namespace classlib;
using testsupport::PumpUntil;
using testsupport::WaitUntil;

namespace {

// A thread whose Execute is a lambda, for short tests.
class LambdaThread : public TThread {
public:
    explicit LambdaThread(std::function<void(LambdaThread&)> body) : FBody(std::move(body)) {}
    ~LambdaThread() override { TerminateAndWait(); }

    using TThread::SetReturnValue;
    std::atomic<bool>* Destroyed = nullptr;

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(LambdaThread&)> FBody;
};

class SelfFreeingThread : public LambdaThread {
public:
    using LambdaThread::LambdaThread;
    ~SelfFreeingThread() override {
        if (Destroyed)
            *Destroyed = true;
    }
};

}  // namespace

TEST(Thread, SynchronizeWhileMainThreadWaitsNeverDeadlocks) {
    int counter = 0;  // touched only on the main thread
    std::atomic<int> wrongThread{0};
    LambdaThread worker([&](LambdaThread& self) {
        for (int i = 0; i < 200; ++i)
            TThread::Synchronize([&] {
                if (GetCurrentThreadId() != MainThreadID)
                    ++wrongThread;
                ++counter;
            });
        self.SetReturnValue(42);
    });
    worker.Start();
    EXPECT_EQ(worker.WaitFor(), 42u);
    EXPECT_EQ(counter, 200);
    EXPECT_EQ(wrongThread, 0);
    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(worker.ReturnValue(), 42);
    EXPECT_THROW(worker.Start(), EThread);
}

TEST(Thread, SentMessagesAreDeliveredWhileWaiting) {
    // A message-only window of the main thread; the worker sends to it and blocks until
    // the main thread answers, which it must do from inside WaitFor.
    static const wchar_t kClass[] = L"WendlarThreadTestSink";
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_APP)
            return static_cast<LRESULT>(w) * 2;
        return DefWindowProcW(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);
    HWND sink = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(sink, nullptr);
    std::atomic<LRESULT> answer{0};
    LambdaThread worker([&](LambdaThread&) { answer = SendMessageW(sink, WM_APP, 21, 0); });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(answer, 42);
    DestroyWindow(sink);
    UnregisterClassW(kClass, wc.hInstance);
}

TEST(Thread, SynchronizeRethrowsInTheThreadAndExecuteExceptionIsKept) {
    std::wstring caught;
    std::vector<std::wstring> order;
    LambdaThread worker([&](LambdaThread&) {
        try {
            TThread::Synchronize([] { throw EConvertError(L"変換できません"); });
        } catch (const EConvertError& e) {
            caught = e.Message();
        }
        TThread::Synchronize([&] { order.push_back(L"execute"); });
        throw EReadError(L"読めません");
    });
    worker.OnTerminate = [&](TThread* sender) {
        EXPECT_EQ(sender, &worker);
        EXPECT_EQ(GetCurrentThreadId(), MainThreadID);
        order.push_back(L"terminate");
    };
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(caught, L"変換できません");
    EXPECT_EQ(order, (std::vector<std::wstring>{L"execute", L"terminate"}));
    ASSERT_TRUE(worker.FatalException());
    try {
        std::rethrow_exception(worker.FatalException());
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), L"読めません");
    }
}

TEST(Thread, TerminateStopsALoopAndUnstartedThreadsNeverRun) {
    std::atomic<int> rounds{0};
    LambdaThread looping([&](LambdaThread& self) {
        while (!self.Terminated()) {
            ++rounds;
            Sleep(1);
        }
    });
    looping.SetPriority(tpLower);
    EXPECT_EQ(looping.Priority(), tpLower);
    looping.Start();
    ASSERT_TRUE(WaitUntil([&] { return rounds > 0; }));
    looping.Terminate();
    EXPECT_TRUE(looping.Terminated());
    looping.WaitFor();
    EXPECT_FALSE(looping.FatalException());

    std::atomic<bool> ran{false};
    {
        LambdaThread never([&](LambdaThread&) { ran = true; });
        EXPECT_THROW(never.WaitFor(), EThread);
    }
    EXPECT_FALSE(ran);

    // Deleting a running thread asks it to stop and waits for it.
    std::atomic<bool> entered{false};
    std::atomic<bool> stopped{false};
    {
        LambdaThread running([&](LambdaThread& self) {
            entered = true;
            while (!self.Terminated())
                Sleep(1);
            stopped = true;
        });
        running.Start();
        ASSERT_TRUE(WaitUntil([&] { return entered.load(); }));
    }
    EXPECT_TRUE(stopped);
}

TEST(Thread, FreeOnTerminateFreesAfterOnTerminate) {
    std::atomic<bool> destroyed{false};
    bool terminated = false;
    auto* thread = new SelfFreeingThread([](LambdaThread&) {});
    thread->Destroyed = &destroyed;
    thread->SetFreeOnTerminate(true);
    thread->OnTerminate = [&](TThread*) {
        EXPECT_FALSE(destroyed);
        terminated = true;
    };
    thread->Start();
    ASSERT_TRUE(PumpUntil([&] { return destroyed.load(); }));
    EXPECT_TRUE(terminated);
}

TEST(Thread, QueuedCallsRunInOrderAndAFailureKeepsTheRest) {
    std::vector<int> seen;
    TEvent queued(true, false);
    LambdaThread worker([&](LambdaThread&) {
        TThread::Queue([&] { seen.push_back(1); });
        TThread::Queue([] { throw EAbort(L""); });
        TThread::Queue([&] { seen.push_back(3); });
        queued.SetEvent();
    });
    worker.Start();
    queued.WaitFor();
    EXPECT_THROW(CheckSynchronize(), EAbort);
    EXPECT_EQ(seen, std::vector<int>{1});
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(seen, (std::vector<int>{1, 3}));
    EXPECT_FALSE(CheckSynchronize());
    worker.WaitFor();

    // On the main thread Queue and Synchronize run at once.
    TThread::Queue([&] { seen.push_back(4); });
    TThread::Synchronize([&] { seen.push_back(5); });
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 4, 5}));
}

TEST(Thread, QueueCallsOfADestroyedThreadAreDropped) {
    bool ran = false;
    TEvent queued(true, false);
    {
        LambdaThread worker([&](LambdaThread& self) {
            self.QueueCall([&] { ran = true; });
            queued.SetEvent();
        });
        worker.Start();
        queued.WaitFor();
        // WaitFor would run the call: wait without serving the queue instead.
        WaitForSingleObject(worker.Handle(), INFINITE);
    }
    CheckSynchronize();
    EXPECT_FALSE(ran);
}

TEST(Thread, DefaultWakeEndsAGetMessageLoop) {
    // Without a hook (the test program's application object installs one: set it aside)
    // the waker posts a thread message, so a plain message loop wakes.
    std::function<void()> previous = SetWakeMainThread(nullptr);
    MSG msg;
    bool ran = false;
    LambdaThread worker([&](LambdaThread&) { TThread::Synchronize([&] { ran = true; }); });
    worker.Start();
    // Blocks in GetMessage until the default waker posts to this thread.
    while (!ran && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        CheckSynchronize();
    }
    EXPECT_TRUE(ran);
    worker.WaitFor();

    // A hook replaces the default.
    std::atomic<int> wakes{0};
    SetWakeMainThread([&] { ++wakes; });
    LambdaThread hooked([&](LambdaThread&) { TThread::Synchronize([] {}); });
    hooked.Start();
    hooked.WaitFor();
    EXPECT_TRUE(static_cast<bool>(SetWakeMainThread(previous)));  // the hook it replaced
    EXPECT_EQ(wakes, 1);
}

TEST(Thread, CheckSynchronizeRefusesOtherThreads) {
    std::atomic<bool> refused{false};
    LambdaThread worker([&](LambdaThread&) {
        try {
            CheckSynchronize();
        } catch (const EThread&) {
            refused = true;
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_TRUE(refused);
}

TEST(SyncObjs, CriticalSectionAndEvent) {
    TCriticalSection section;
    int shared = 0;
    {
        TCriticalSectionGuard guard(section);
        EXPECT_TRUE(section.TryEnter());  // recursive on the same thread
        section.Leave();
        std::atomic<bool> otherGot{true};
        LambdaThread other([&](LambdaThread&) { otherGot = section.TryEnter(); });
        other.Start();
        other.WaitFor();
        EXPECT_FALSE(otherGot);
        shared = 1;
    }
    EXPECT_EQ(shared, 1);

    TSimpleEvent event;
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
    event.SetEvent();
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    EXPECT_EQ(event.WaitFor(0), wrSignaled);  // manual reset stays set
    event.ResetEvent();
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
}
