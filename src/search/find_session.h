// The main window's search: the running search thread, the hit list it fills, the last
// search record (used again to highlight matches and by bulk replace), and the row count
// the result pane shows.
//
// The owner window routes WM_FINDHIT, WM_FINDPROGRESS and WM_FINDDONE to the Handle...
// methods with the message's WParam. Each message carries the generation of the search
// that posted it; a message of an earlier search (posted before it was stopped and
// replaced) is ignored, so a stale "done" never frees a newer search. The thread is always
// joined before it is freed: by Stop, by the next Start, by HandleDone and by the
// destructor, all of which keep serving the thread's synchronised hand-overs while they
// wait.
//
// Row count: hits arrive in batches; the pane's row count follows them at most once per
// kRowCountIntervalMs while the search runs (a timer brings the last batch in), and at
// once when the search ends and whenever hits are removed. So a long hit list costs the
// pane a bounded number of updates, never one per batch.
//
// Main thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/timer.h"
#include "search/find_record.h"
#include "search/find_thread.h"

namespace search {

inline constexpr unsigned kRowCountIntervalMs = 150;

// "検索終了：（ヒット数：<hits>　検索時間：<s>秒(<ms>ミリ秒)" (the opening bracket stays
// unclosed; the last bracket is ASCII).
std::wstring FindDoneText(size_t hits, ULONGLONG elapsedMs);
// "<key>を検索中・・・".
std::wstring FindProgressText(const std::wstring& key);

class TFindSession {
public:
    // `regexLibrary` as for THFindThread.
    explicit TFindSession(std::wstring regexLibrary = L"onig.dll");
    ~TFindSession();
    TFindSession(const TFindSession&) = delete;
    TFindSession& operator=(const TFindSession&) = delete;

    // Starts a search: stops a running one (joined, it posts nothing more), frees every hit
    // and shows 0 rows, notes the start time, fills the record's Results (this session's
    // list) and both windows (`window`), keeps a copy as LastFind, and starts the thread at
    // the highest priority.
    void Start(TWendlarFindRecord record, HWND window);
    // Stops a running search and waits for it; its hits so far stay. No WM_FINDDONE follows.
    void Stop();
    bool Running() const { return FThread != nullptr; }
    // The generation of the running search (what its messages carry); 0 when none runs.
    WPARAM Generation() const { return FThread ? FThread->Generation() : 0; }

    // WM_FINDHIT: the row count follows (debounced). False for a stale message.
    bool HandleHit(WPARAM generation);
    // WM_FINDPROGRESS: `status` := the key being searched + "を検索中・・・". False (status
    // untouched) for a stale message or when no search runs.
    bool HandleProgress(WPARAM generation, std::wstring& status);
    // WM_FINDDONE: joins and frees the thread, shows every row, `status` := FindDoneText.
    // False (nothing done) for a stale message.
    bool HandleDone(WPARAM generation, std::wstring& status);

    const TVxRegFindList& Results() const { return FResults; }
    // The record of the last search started (empty before the first).
    const TWendlarFindRecord& LastFind() const { return FLastFind; }
    // Start-key lines of the last finished search whose root is unknown, and the number of
    // keys it could not enter for their depth (both empty/0 until a search finishes).
    const std::vector<std::wstring>& UnknownStartKeys() const { return FUnknownStartKeys; }
    size_t DeepKeyCount() const { return FDeepKeyCount; }

    // Hits exist and no search runs: bulk operations and removing hits are allowed.
    bool CanChangeHits() const { return !FResults.empty() && !Running(); }
    // Frees the hits at the given rows (any order, duplicates and rows out of range
    // ignored); the others keep their order. Nothing while a search runs.
    void RemoveHits(std::vector<size_t> rows);
    // Frees every hit (after a bulk operation). Nothing while a search runs.
    void ClearHits();

    // Called with the number of rows the pane should show whenever it changes.
    std::function<void(size_t)> OnRowCount;
    // The clock of the debounce and of the elapsed time (milliseconds); tests replace it.
    std::function<ULONGLONG()> Clock = [] { return GetTickCount64(); };

    // The row count last handed to OnRowCount, and how often it was handed (for tests).
    size_t ShownRows() const { return FShownRows; }
    int RowCountUpdates() const { return FRowCountUpdates; }

private:
    void StopThread();
    void ScheduleRowCount();
    void ApplyRowCount();
    bool Current(WPARAM generation) const { return FThread && FThread->Generation() == generation; }

    std::wstring FLibrary;
    TVxRegFindList FResults;
    std::unique_ptr<THFindThread> FThread;
    TWendlarFindRecord FLastFind;
    ULONGLONG FStartTick = 0;
    std::vector<std::wstring> FUnknownStartKeys;
    size_t FDeepKeyCount = 0;
    std::unique_ptr<classlib::TTimer> FRowTimer;
    ULONGLONG FLastRowUpdate = 0;
    bool FRowUpdateDone = false;  // an update has been made since the search started
    size_t FShownRows = 0;
    int FRowCountUpdates = 0;
};

}  // namespace search
