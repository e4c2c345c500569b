#include "controls/gridtree/gridtree_services.h"

#include <algorithm>
#include <cstring>

#include <ole2.h>
#include <mmsystem.h>

#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
std::mutex GWorkerLock;
TWorkerThread* GSharedWorker = nullptr;
bool GTreeUnitInitialised = false;
}  // namespace

void RaiseTreeError(const std::wstring& Msg, int HelpContext) { throw EGridTreeError(Msg, HelpContext); }

TBaseGridTree* OwningTree(PGridNode Node) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil.");
    while (Node->NextSiblingNode != Node) Node = Node->Parent;
    return reinterpret_cast<TBaseGridTree*>(Node->Parent);
}

namespace {
UINT GTreeReferenceFormat = 0;
}  // namespace

void InitializeTreeUnit() {
    // Image lists, cursors and the data clipboard formats join with painting and data
    // transfer. OLE and the 1 ms timer resolution belong to the application's process setup.
    if (GTreeUnitInitialised) return;
    GTreeUnitInitialised = true;
    GTreeReferenceFormat = RegisterClipboardFormatW(L"Grid Tree Reference");
}

UINT TreeReferenceClipboardFormat() { return GTreeReferenceFormat; }

bool TreeUnitInitialised() { return GTreeUnitInitialised; }

// --- worker ---------------------------------------------------------------------------

TWorkerThread::TWorkerThread() {
    FWorkSignal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    FExited = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!FWorkSignal || !FExited) {
        DWORD err = GetLastError();
        if (FWorkSignal) CloseHandle(FWorkSignal);
        if (FExited) CloseHandle(FExited);
        throw classlib::EOSError(L"System error " + std::to_wstring(err), 0);
    }
    FThread = std::thread([this] {
        struct SignalExit {
            HANDLE Event;
            ~SignalExit() { SetEvent(Event); }
        } signal{FExited};
        Execute();
    });
}

TWorkerThread::~TWorkerThread() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FTerminated = true;
    }
    SetEvent(FWorkSignal);
    // The worker may be inside a SendMessage to a tree window of this thread (a job it took
    // just as the last tree let go): serve sent messages until it has left Execute, or the
    // two threads would wait for each other.
    while (WaitForSingleObject(FExited, 0) == WAIT_TIMEOUT) {
        MsgWaitForMultipleObjectsEx(1, &FExited, INFINITE, QS_SENDMESSAGE, 0);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (FThread.joinable()) FThread.join();
    CloseHandle(FWorkSignal);
    CloseHandle(FExited);
}

void TWorkerThread::QueueTree(TBaseGridTree* Tree) {
    if (!Tree) throw EGridTreeAssertion(L"Tree must not be nil.");
    Tree->DoStateChange(0, tsStopValidation);
    std::lock_guard<std::mutex> lock(FLock);
    if (std::find(FPendingTrees.begin(), FPendingTrees.end(), Tree) == FPendingTrees.end())
        FPendingTrees.push_back(Tree);
}

void TWorkerThread::UnqueueTree(TBaseGridTree* Tree) {
    if (!Tree) throw EGridTreeAssertion(L"Tree must not be nil.");
    std::lock_guard<std::mutex> lock(FLock);
    FPendingTrees.erase(std::remove(FPendingTrees.begin(), FPendingTrees.end(), Tree), FPendingTrees.end());
}

void TWorkerThread::Signal() { SetEvent(FWorkSignal); }

bool TWorkerThread::IsInWork(TBaseGridTree* Tree) {
    std::lock_guard<std::mutex> lock(FLock);
    return FTreeInWork == Tree;
}

void TWorkerThread::WaitWhileInWork(TBaseGridTree* Tree) {
    if (!IsInWork(Tree)) return;
    // This wait's own event: a release is never lost to a wait for another tree, also when
    // several threads wait at once. Registered under the lock the worker releases under,
    // and the condition is checked after that, so no release can slip in between.
    HANDLE released = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!released) throw classlib::EOSError(L"System error " + std::to_wstring(GetLastError()), 0);
    {
        std::lock_guard<std::mutex> lock(FLock);
        FWaiters.push_back({Tree, released});
    }
    struct TRegistration {
        TWorkerThread* Worker;
        HANDLE Event;
        ~TRegistration() {
            {
                std::lock_guard<std::mutex> lock(Worker->FLock);
                auto& waiters = Worker->FWaiters;
                waiters.erase(std::remove_if(waiters.begin(), waiters.end(),
                                             [this](const TWaiter& w) { return w.Event == Event; }),
                              waiters.end());
            }
            CloseHandle(Event);
        }
    } registration{this, released};
    while (IsInWork(Tree)) {
        // Wake for the release or for a message sent to this thread (the worker's state
        // change that it waits to have applied).
        MsgWaitForMultipleObjectsEx(1, &released, INFINITE, QS_SENDMESSAGE, 0);
        MSG msg;
        // Dispatches pending sent messages; nothing is removed from the posted queue.
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void TWorkerThread::ReleaseTreeInWork() {
    std::lock_guard<std::mutex> lock(FLock);
    for (const TWaiter& waiter : FWaiters)
        if (waiter.Tree == FTreeInWork) SetEvent(waiter.Event);
    FTreeInWork = nullptr;
}

LRESULT TWorkerThread::SendStateChange(TBaseGridTree* Tree, unsigned Enter, unsigned Leave) {
    HWND wnd = Tree->MessageWindow();
    return wnd ? SendMessageW(wnd, WM_CHANGESTATE, Enter, Leave) : 0;
}

void TWorkerThread::Execute() {
    for (;;) {
        WaitForSingleObject(FWorkSignal, INFINITE);
        TBaseGridTree* tree = nullptr;
        {
            std::lock_guard<std::mutex> lock(FLock);
            if (FTerminated) return;
            if (!FPendingTrees.empty()) {
                tree = FPendingTrees.front();
                FPendingTrees.pop_front();
                if (!FPendingTrees.empty()) SetEvent(FWorkSignal);
                // From here the tree is in work: its destructor and every structural change
                // wait until it is released below.
                FTreeInWork = tree;
                tree->FJobGeneration.store(tree->FGeneration.load());
                tree->FCacheComplete.store(false);
            }
        }
        if (!tree) continue;

        // A tree interrupted between being taken and this point needs no messages at all.
        if (!(tree->TreeStates() & tsStopValidation)) {
            unsigned entered = 0;
            bool refused = false;
            try {
                refused = SendStateChange(tree, 4, 2) == 1;
                if (!refused && !(tree->TreeStates() & tsStopValidation) && tree->DoValidateCache()) {
                    tree->FCacheComplete.store(true);
                    entered = 2;
                }
            } catch (...) {
                // The validation's failure only means no cache; the states are left below.
            }
            if (!refused) SendStateChange(tree, entered, 5 | (entered == 2 ? 8u : 0u));
        }
        ReleaseTreeInWork();
    }
}

TWorkerThread* SharedWorker() {
    std::lock_guard<std::mutex> lock(GWorkerLock);
    return GSharedWorker;
}

TWorkerThread* AcquireWorker() {
    std::lock_guard<std::mutex> lock(GWorkerLock);
    if (!GSharedWorker) GSharedWorker = new TWorkerThread();
    ++GSharedWorker->TreeCount;
    return GSharedWorker;
}

void ReleaseWorker(TBaseGridTree* Tree) {
    (void)Tree;
    TWorkerThread* ending = nullptr;
    {
        std::lock_guard<std::mutex> lock(GWorkerLock);
        if (!GSharedWorker) return;
        if (--GSharedWorker->TreeCount == 0) {
            ending = GSharedWorker;
            GSharedWorker = nullptr;
        }
    }
    delete ending;
}

// --- text buffer ----------------------------------------------------------------------

void TWideBufferedString::Grow() {
    size_t used = static_cast<size_t>(FWritePos - FBlockStart);
    size_t newCap = Capacity() + 4096;
    wchar_t* block = new wchar_t[newCap];
    if (used) std::memcpy(block, FBlockStart, used * sizeof(wchar_t));
    delete[] FBlockStart;
    FBlockStart = block;
    FWritePos = block + used;
    FBlockEnd = block + newCap;
}

void TWideBufferedString::Append(const std::wstring& S) {
    while (S.size() >= static_cast<size_t>(FBlockEnd - FWritePos)) Grow();
    if (!S.empty()) std::memcpy(FWritePos, S.data(), S.size() * sizeof(wchar_t));
    FWritePos += S.size();
}

void TWideBufferedString::AppendLineBreak() {
    while (FBlockEnd - FWritePos <= 4) Grow();
    *FWritePos++ = L'\r';
    *FWritePos++ = L'\n';
}

// --- routines -------------------------------------------------------------------------

RECT NormalizedRect(const RECT& R) {
    return RECT{std::min(R.left, R.right), std::min(R.top, R.bottom), std::max(R.left, R.right),
                std::max(R.top, R.bottom)};
}

namespace {
int TextWidth(HDC DC, const wchar_t* S, size_t Count) {
    SIZE size{};
    GetTextExtentPoint32W(DC, S, static_cast<int>(Count), &size);
    return size.cx;
}
}  // namespace

std::wstring EllipsizeText(HDC DC, const std::wstring& S, int Width, int EllipsisWidth, bool RightToLeft) {
    if (S.empty() || Width <= 0) return std::wstring();
    if (EllipsisWidth == 0) EllipsisWidth = TextWidth(DC, L"...", 3);
    if (EllipsisWidth >= Width) return std::wstring();
    int len = static_cast<int>(S.size());
    int L = 0, H = len - 1;
    if (!RightToLeft) {
        while (L < H) {
            int N = (L + H + 1) / 2;
            if (TextWidth(DC, S.data(), N) + EllipsisWidth > Width) H = N - 1;
            else L = N;
        }
        return S.substr(0, L) + L"...";
    }
    while (L < H) {
        int N = (L + H) / 2;
        if (TextWidth(DC, S.data() + N, len - N) + EllipsisWidth > Width) L = N + 1;
        else H = N;
    }
    return L"..." + S.substr(L);
}

}  // namespace gridtree
