// The registry walk of the search thread, apart from the thread itself (private to this
// folder).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "search/find_matcher.h"
#include "search/find_record.h"

namespace search {

// What the walk needs of the thread that runs it. Called on the walking thread.
class TFindWalkHost {
public:
    virtual ~TFindWalkHost() = default;
    // True once the search has been told to stop; checked before every registry call
    // that starts a new key or value, and before every hit.
    virtual bool StopRequested() = 0;
    // Hands a batch of hits (in walk order) to the owner of the hit list and empties it.
    virtual void HandOver(TVxRegFindList& batch) = 0;
    // The walk reached a key: `path` is its full path. Called for every key below the
    // start keys; `post` is true at the first one and then at every 1001st.
    virtual void KeyReached(const std::wstring& path, bool post) = 0;
};

// The deepest key the walk descends to, counted in levels below a start key: the
// registry itself allows no more than 512 levels.
inline constexpr size_t kMaxWalkDepth = 512;
// How many keys whose subkeys lie beyond that depth are named in the report.
inline constexpr size_t kMaxReportedDeepKeys = 100;

class TFindWalk {
public:
    TFindWalk(const TWendlarFindRecord& record, TVxOnigurumaRegExp* regex, TFindWalkHost& host);

    // Searches every start key of the record in order. Lines whose root is not known are
    // skipped and collected in UnknownStartKeys(). Hits still pending at the end (or at a
    // stop) are handed over before it returns, unless stopped.
    void Run();

    const std::vector<std::wstring>& UnknownStartKeys() const { return FUnknown; }
    // Keys at the depth limit that have subkeys: their subkeys were not searched. Full
    // paths in walk order, at most kMaxReportedDeepKeys of them; DeepKeyCount() counts all.
    const std::vector<std::wstring>& DeepKeys() const { return FDeepKeys; }
    size_t DeepKeyCount() const { return FDeepKeyCount; }

private:
    struct Frame;

    void SearchStartKey(HKEY root, const std::wstring& sub, const std::wstring& display);
    // The key at root\sub was opened as `key`: searches its values and reports in
    // `subKeys` how many subkeys it has. False when its information cannot be queried.
    bool SearchOpenKey(HKEY key, HKEY root, const std::wstring& sub, const std::wstring& keyName,
                       const std::wstring& display, DWORD& subKeys);
    // Enumerates the `count` values the key reported (fewer when some went meanwhile).
    void SearchValues(HKEY key, DWORD count, DWORD maxName, DWORD maxData, HKEY root,
                      const std::wstring& sub, const std::wstring& keyName,
                      const std::wstring& display);
    void TestKeyName(const std::wstring& name, const std::wstring& display, HKEY root,
                     const std::wstring& sub);
    void AddHit(std::unique_ptr<registry::TVxRegFindClass> hit);
    void FlushIfDue();
    void Flush();

    TWendlarFindRecord FRecord;
    TFindMatcher FMatcher;
    TFindWalkHost& FHost;
    bool FSearchValues;
    DWORD FKeyCounter = 1000;
    TVxRegFindList FBatch;
    ULONGLONG FBatchSince = 0;    // tick of the oldest pending hit
    std::vector<wchar_t> FName;   // value name buffer, reused
    std::vector<BYTE> FData;      // value data buffer, reused
    std::wstring FText;           // data text of the current value
    std::vector<std::wstring> FUnknown;
    std::vector<std::wstring> FDeepKeys;
    size_t FDeepKeyCount = 0;
};

}  // namespace search
