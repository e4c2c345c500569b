#include "search/find_session.h"

#include <algorithm>

namespace search {

std::wstring FindDoneText(size_t hits, ULONGLONG elapsedMs) {
    return L"検索終了：（ヒット数：" + std::to_wstring(hits) + L"　検索時間：" +
           std::to_wstring(elapsedMs / 1000) + L"秒(" + std::to_wstring(elapsedMs) + L"ミリ秒)";
}

std::wstring FindProgressText(const std::wstring& key) { return key + L"を検索中・・・"; }

TFindSession::TFindSession(std::wstring regexLibrary) : FLibrary(std::move(regexLibrary)) {}

TFindSession::~TFindSession() {
    // The thread appends to FResults: it goes first.
    StopThread();
}

void TFindSession::StopThread() {
    if (!FThread) return;
    // Deleting the thread asks it to stop and waits, serving its hand-overs meanwhile.
    FThread.reset();
}

void TFindSession::Start(TWendlarFindRecord record, HWND window) {
    StopThread();
    if (FRowTimer) FRowTimer->SetEnabled(false);
    FResults.clear();
    FUnknownStartKeys.clear();
    FDeepKeyCount = 0;
    ApplyRowCount();
    FRowUpdateDone = false;
    FStartTick = Clock();
    record.Results = &FResults;
    record.DoneWindow = window;
    record.ProgressWindow = window;
    FLastFind = record;
    FThread = std::make_unique<THFindThread>(record, FLibrary);
    FThread->SetPriority(classlib::tpHighest);
    FThread->Start();
}

void TFindSession::Stop() {
    StopThread();
    ApplyRowCount();
}

bool TFindSession::HandleHit(WPARAM generation) {
    if (!Current(generation)) return false;
    ScheduleRowCount();
    return true;
}

bool TFindSession::HandleProgress(WPARAM generation, std::wstring& status) {
    if (!Current(generation)) return false;
    status = FindProgressText(FThread->CurrentKey());
    return true;
}

bool TFindSession::HandleDone(WPARAM generation, std::wstring& status) {
    if (!Current(generation)) return false;
    FThread->WaitFor();
    FUnknownStartKeys = FThread->UnknownStartKeys();
    FDeepKeyCount = FThread->DeepKeyCount();
    FThread.reset();
    ApplyRowCount();
    status = FindDoneText(FResults.size(), Clock() - FStartTick);
    return true;
}

void TFindSession::RemoveHits(std::vector<size_t> rows) {
    if (Running()) return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // One pass that keeps the other hits in order, however many rows go.
    size_t next = 0, out = 0;
    for (size_t i = 0; i < FResults.size(); ++i) {
        while (next < rows.size() && rows[next] < i) ++next;
        if (next < rows.size() && rows[next] == i) continue;
        if (out != i) FResults[out] = std::move(FResults[i]);
        ++out;
    }
    FResults.resize(out);
    ApplyRowCount();
}

void TFindSession::ClearHits() {
    if (Running()) return;
    FResults.clear();
    ApplyRowCount();
}

void TFindSession::ScheduleRowCount() {
    const ULONGLONG now = Clock();
    if (!FRowUpdateDone || now - FLastRowUpdate >= kRowCountIntervalMs) {
        ApplyRowCount();
        return;
    }
    if (!FRowTimer) {
        FRowTimer = std::make_unique<classlib::TTimer>(nullptr);
        FRowTimer->SetEnabled(false);
        FRowTimer->SetOnTimer([this](classlib::TComponent*) { ApplyRowCount(); });
    }
    if (FRowTimer->Enabled()) return;
    FRowTimer->SetInterval(static_cast<unsigned>(kRowCountIntervalMs - (now - FLastRowUpdate)));
    FRowTimer->SetEnabled(true);
}

void TFindSession::ApplyRowCount() {
    if (FRowTimer) FRowTimer->SetEnabled(false);
    FLastRowUpdate = Clock();
    FRowUpdateDone = true;
    if (FShownRows == FResults.size()) return;
    FShownRows = FResults.size();
    ++FRowCountUpdates;
    if (OnRowCount) OnRowCount(FShownRows);
}

}  // namespace search
