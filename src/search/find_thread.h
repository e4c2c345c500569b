// The search thread: walks the registry below the start keys of a search record and
// hands its hits to the main thread.
//
// Protocol with the main window (all messages posted, WParam = Generation(), LParam 0):
// - hits are appended to record.Results inside synchronised calls on the main thread, in
//   walk order and in batches; WM_FINDHIT follows each batch (to ProgressWindow);
// - WM_FINDPROGRESS (to ProgressWindow) at the first key below the start keys and then at
//   every 1001st; CurrentKey() then gives the key being searched;
// - WM_FINDDONE (to DoneWindow) once when the walk ends without the thread having been
//   told to stop; its LParam is the number of keys whose subkeys were not searched because
//   they lie deeper than the walk goes (DeepKeys()), 0 when the walk was complete. A
//   stopped search posts nothing more and hands over no further hits.
//
// Use from the main thread: create, SetPriority(tpHighest), Start(); to stop, delete it
// (or Terminate() + WaitFor()); both keep serving the thread's synchronised calls, so
// stopping a search that is handing over hits never deadlocks. A WM_FINDDONE whose
// WParam differs from the current thread's Generation() is left over from an earlier
// search and must be ignored.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/syncobjs.h"
#include "classlib/thread.h"
#include "search/find_record.h"
#include "search/onig_regexp.h"

namespace search {

class THFindThread : public classlib::TThread {
public:
    // Copies the record. In regular-expression mode the wrapper is loaded here from
    // `regexLibrary` (a bare name means the program's folder); when it does not load, that
    // mode finds nothing and the search still walks and ends normally.
    explicit THFindThread(const TWendlarFindRecord& FindRecord,
                          const std::wstring& regexLibrary = L"onig.dll");
    ~THFindThread() override;

    // The full path of the key visited last; a whole copy, safe to call on any thread.
    std::wstring CurrentKey() const;
    // A number unique to this search in the process, carried in every message it posts.
    WPARAM Generation() const { return FGeneration; }
    // Start-key lines whose root is not known (they were not searched). Read after the
    // thread has ended (after WM_FINDDONE or WaitFor).
    const std::vector<std::wstring>& UnknownStartKeys() const { return FUnknownStartKeys; }
    // Keys at the walk's depth limit (kMaxWalkDepth levels below a start key) that have
    // subkeys, which were not searched: the result is incomplete when there is any. Full
    // paths in walk order, the first 100 of them; DeepKeyCount() counts them all (it is
    // also WM_FINDDONE's LParam). Read after the thread has ended.
    const std::vector<std::wstring>& DeepKeys() const { return FDeepKeys; }
    size_t DeepKeyCount() const { return FDeepKeyCount; }
    const TWendlarFindRecord& FindRecord() const { return FFindRecord; }

protected:
    void Execute() override;

private:
    class Host;

    std::unique_ptr<TVxOnigurumaRegExp> FRegExp;  // null when not needed or not loaded
    TWendlarFindRecord FFindRecord;
    mutable classlib::TCriticalSection FCurrentKeyLock;
    std::wstring FCurrentKey;
    std::vector<std::wstring> FUnknownStartKeys;
    std::vector<std::wstring> FDeepKeys;
    size_t FDeepKeyCount = 0;
    WPARAM FGeneration;
};

}  // namespace search
