// Services shared by all grid trees: the worker thread that builds position caches, the
// one-time unit initialisation, text buffers and small routines.
//
// The worker exists from the first tree's construction to the last tree's destruction
// (`AcquireWorker`/`ReleaseWorker`, called by the tree). It sleeps on its work event and
// validates one queued tree at a time: a tree counts as "in work" from the moment the
// worker takes it off the queue until it has sent the final state change, and
// `InterruptValidation` waits for exactly that, on an event the worker sets when it lets
// go of the tree (no time-outs). While waiting, the tree's thread serves only sent
// messages (the worker's WM_CHANGESTATE), never posted, paint, timer or input messages,
// and never removes WM_QUIT.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace gridtree {

class TBaseGridTree;

class TWorkerThread {
public:
    TWorkerThread();
    ~TWorkerThread();  // ends the thread and waits for it
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Adds the tree to the queue (at most once); the tree leaves tsStopValidation. Call on
    // the tree's thread, then `Signal`.
    void QueueTree(TBaseGridTree* Tree);
    void UnqueueTree(TBaseGridTree* Tree);
    void Signal();
    // True while the worker holds the tree (taken off the queue, final message not sent).
    bool IsInWork(TBaseGridTree* Tree);
    // Waits until the worker no longer holds the tree, serving sent messages meanwhile.
    void WaitWhileInWork(TBaseGridTree* Tree);

    int TreeCount = 0;

private:
    void Execute();
    // Sends WM_CHANGESTATE and waits until the tree's thread applied it; the answer 1 means
    // the tree refused to start a validation because it was told to stop.
    LRESULT SendStateChange(TBaseGridTree* Tree, unsigned Enter, unsigned Leave);

    std::mutex FLock;
    std::deque<TBaseGridTree*> FPendingTrees;
    TBaseGridTree* FTreeInWork = nullptr;
    // Lets go of the tree in work and wakes the threads waiting for it.
    void ReleaseTreeInWork();

    // A thread waiting until the worker lets go of a tree, with the event that wakes it.
    struct TWaiter {
        TBaseGridTree* Tree;
        HANDLE Event;
    };
    std::vector<TWaiter> FWaiters;  // under FLock
    HANDLE FWorkSignal = nullptr;  // automatic reset: one wake-up per job
    HANDLE FExited = nullptr;      // set when Execute has returned (manual reset)
    bool FTerminated = false;
    std::thread FThread;
};

// The shared worker, or nullptr when no tree exists.
TWorkerThread* SharedWorker();
// Called by every tree constructor: creates the worker on the first call.
TWorkerThread* AcquireWorker();
// Called by every tree destructor (after the tree interrupted its own validation): ends
// the worker when the last tree goes.
void ReleaseWorker(TBaseGridTree* Tree);

// One-time initialisation of the tree unit (the first tree's constructor runs it).
void InitializeTreeUnit();
bool TreeUnitInitialised();
// The clipboard format "Grid Tree Reference", registered by the unit's initialisation.
UINT TreeReferenceClipboardFormat();

// Growable UTF-16 text block for exports: grows in steps of 4096 characters.
class TWideBufferedString {
public:
    ~TWideBufferedString() { delete[] FBlockStart; }
    void Append(const std::wstring& S);
    void AppendLineBreak();
    std::wstring BufferText() const { return std::wstring(FBlockStart ? FBlockStart : L"", FWritePos - FBlockStart); }
    size_t Capacity() const { return static_cast<size_t>(FBlockEnd - FBlockStart); }

private:
    void Grow();
    wchar_t* FBlockStart = nullptr;
    wchar_t* FWritePos = nullptr;
    wchar_t* FBlockEnd = nullptr;
};

// The same rectangle with Left <= Right and Top <= Bottom.
RECT NormalizedRect(const RECT& R);

// Shortens S to fit Width pixels in the DC's font, with "..." at the end (or, right to
// left, at the start). EllipsisWidth 0 means the measured width of "...".
std::wstring EllipsizeText(HDC DC, const std::wstring& S, int Width, int EllipsisWidth, bool RightToLeft);

}  // namespace gridtree
