#include "search/find_thread.h"

#include <atomic>

#include "search/find_walk_p.h"

namespace search {

using namespace registry;

namespace {
std::atomic<WPARAM> gLastGeneration{0};
}

class THFindThread::Host : public TFindWalkHost {
public:
    explicit Host(THFindThread& thread) : FThread(thread) {}

    bool StopRequested() override { return FThread.Terminated(); }

    void HandOver(TVxRegFindList& batch) override {
        if (FThread.Terminated()) return;
        TVxRegFindList* results = FThread.FFindRecord.Results;
        if (results) {
            // Runs on the main thread while this thread waits; the list is touched nowhere
            // else off the main thread.
            Synchronize([&] {
                for (auto& hit : batch) results->push_back(std::move(hit));
            });
        }
        batch.clear();
        if (FThread.FFindRecord.ProgressWindow)
            PostMessageW(FThread.FFindRecord.ProgressWindow, WM_FINDHIT, FThread.FGeneration, 0);
    }

    void KeyReached(const std::wstring& path, bool post) override {
        {
            classlib::TCriticalSectionGuard guard(FThread.FCurrentKeyLock);
            FThread.FCurrentKey = path;
        }
        if (post && FThread.FFindRecord.ProgressWindow)
            PostMessageW(FThread.FFindRecord.ProgressWindow, WM_FINDPROGRESS, FThread.FGeneration, 0);
    }

private:
    THFindThread& FThread;
};

THFindThread::THFindThread(const TWendlarFindRecord& FindRecord, const std::wstring& regexLibrary)
    : FFindRecord(FindRecord), FGeneration(++gLastGeneration) {
    if (FFindRecord.UseRegex) {
        FRegExp = std::make_unique<TVxOnigurumaRegExp>(regexLibrary);
        if (!FRegExp->Loaded()) FRegExp.reset();
    }
}

THFindThread::~THFindThread() {
    // Execute uses this object's members: stop it before they go.
    TerminateAndWait();
}

std::wstring THFindThread::CurrentKey() const {
    classlib::TCriticalSectionGuard guard(FCurrentKeyLock);
    return FCurrentKey;
}

void THFindThread::Execute() {
    try {
        Host host(*this);
        TFindWalk walk(FFindRecord, FRegExp.get(), host);
        walk.Run();
        FUnknownStartKeys = walk.UnknownStartKeys();
        FDeepKeys = walk.DeepKeys();
        FDeepKeyCount = walk.DeepKeyCount();
    } catch (...) {
        // An error that escapes the walk ends the search like its normal end: the main
        // window shows the hits found so far.
    }
    FRegExp.reset();
    if (!Terminated() && FFindRecord.DoneWindow)
        PostMessageW(FFindRecord.DoneWindow, WM_FINDDONE, FGeneration,
                     static_cast<LPARAM>(FDeepKeyCount));
}

}  // namespace search
