#include "search/find_walk_p.h"

#include "classlib/runtime.h"

#include <algorithm>

namespace search {

using namespace registry;

namespace {

bool SameText(std::wstring_view a, const wchar_t* b) {
    return b && classlib::SameNameIgnoringCase(a, b);
}

// Hits waiting for the hand-over are passed on in batches: when this many have gathered,
// or when the oldest has waited this long, so that rows still appear while the walk runs.
constexpr size_t kBatchSize = 256;
constexpr ULONGLONG kBatchDelayMs = 100;

// How often a read that found the buffer too small (the value grew meanwhile) is retried
// with a bigger one before the entry is given up.
constexpr int kGrowRetries = 4;

}  // namespace

bool SplitStartKey(const std::wstring& line, HKEY& root, std::wstring& sub, std::wstring& display) {
    std::wstring_view text = line;
    while (!text.empty() && text.back() == L'\\') text.remove_suffix(1);
    size_t slash = text.find(L'\\');
    std::wstring_view head = text.substr(0, slash);
    for (const TRegRoot& r : RegRoots) {
        if (!SameText(head, r.Name) && !SameText(head, r.Abbreviation)) continue;
        root = r.Key;
        sub = slash == std::wstring_view::npos ? std::wstring() : std::wstring(text.substr(slash + 1));
        display = r.Name;
        if (!sub.empty()) display += L'\\' + sub;
        return true;
    }
    return false;
}

struct TFindWalk::Frame {
    TRegKey Key;
    std::wstring Sub;
    std::wstring Display;
    DWORD Count = 0;  // subkeys reported when the key was queried
    DWORD Index = 0;
    int Retries = 0;
};

TFindWalk::TFindWalk(const TWendlarFindRecord& record, TVxOnigurumaRegExp* regex, TFindWalkHost& host)
    : FRecord(record),
      FMatcher(record, regex),
      FHost(host),
      FSearchValues(!(record.NoValueNames && record.NoValueData)) {}

void TFindWalk::Run() {
    const std::wstring& keys = FRecord.StartKeys;
    size_t pos = 0;
    while (pos < keys.size() && !FHost.StopRequested()) {
        size_t end = keys.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos) end = keys.size();
        std::wstring line = keys.substr(pos, end - pos);
        pos = end;
        if (pos < keys.size() && keys[pos] == L'\r') ++pos;
        if (pos < keys.size() && keys[pos] == L'\n') ++pos;
        if (line.empty()) continue;
        HKEY root = nullptr;
        std::wstring sub, display;
        if (!SplitStartKey(line, root, sub, display)) {
            FUnknown.push_back(line);
            continue;
        }
        SearchStartKey(root, sub, display);
    }
    if (!FHost.StopRequested()) Flush();
}

void TFindWalk::SearchStartKey(HKEY root, const std::wstring& sub, const std::wstring& display) {
    if (FHost.StopRequested()) return;
    std::wstring name = sub.empty() ? display : display.substr(display.rfind(L'\\') + 1);
    TestKeyName(name, display, root, sub);
    TRegKey key;
    if (key.Open(root, sub, KEY_READ) != ERROR_SUCCESS) return;
    DWORD subKeys = 0;
    if (!SearchOpenKey(key.Get(), root, sub, name, display, subKeys)) return;
    if (subKeys == 0 || FRecord.NoSubKeys) return;

    // Depth-first, pre-order, each key opened once: the open handles of the keys on the
    // way down stay in the frames and serve the enumeration of their subkeys. Each key's
    // enumeration stops after the count it reported (subkeys added meanwhile are not
    // searched), which saves a registry call per key.
    std::vector<Frame> frames;
    frames.push_back(Frame{std::move(key), sub, display, subKeys});
    std::vector<wchar_t> nameBuffer(256 + 1);
    while (!frames.empty()) {
        if (FHost.StopRequested()) return;
        Frame& frame = frames.back();
        if (frame.Index >= frame.Count) {
            frames.pop_back();
            continue;
        }
        DWORD length = classlib::Win32Size<DWORD>(nameBuffer.size());
        LSTATUS status = RegEnumKeyExW(frame.Key.Get(), frame.Index, nameBuffer.data(), &length,
                                       nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA && frame.Retries < kGrowRetries) {
            ++frame.Retries;
            nameBuffer.resize(nameBuffer.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            // The end, or a key deleted under the walk (which fails for ever): either way
            // this key is done.
            frames.pop_back();
            continue;
        }
        ++frame.Index;
        frame.Retries = 0;
        if (length == 0) continue;

        std::wstring name(nameBuffer.data(), length);
        std::wstring childSub = frame.Sub.empty() ? name : frame.Sub + L'\\' + name;
        std::wstring childDisplay = frame.Display + L'\\' + name;
        ++FKeyCounter;
        bool post = FKeyCounter > 1000;
        if (post) FKeyCounter = 0;
        FHost.KeyReached(childDisplay, post);

        TestKeyName(name, childDisplay, root, childSub);
        TRegKey child;
        if (child.Open(frame.Key.Get(), name, KEY_READ) == ERROR_SUCCESS &&
            SearchOpenKey(child.Get(), root, childSub, name, childDisplay, subKeys) && subKeys > 0) {
            if (frames.size() < kMaxWalkDepth) {
                // `frame` is not used after this: the push may move the frames.
                frames.push_back(
                    Frame{std::move(child), std::move(childSub), std::move(childDisplay), subKeys});
            } else {
                // Its subkeys lie deeper than the walk goes: the result is incomplete.
                ++FDeepKeyCount;
                if (FDeepKeys.size() < kMaxReportedDeepKeys) FDeepKeys.push_back(std::move(childDisplay));
            }
        }
        FlushIfDue();
    }
}

bool TFindWalk::SearchOpenKey(HKEY key, HKEY root, const std::wstring& sub,
                              const std::wstring& keyName, const std::wstring& display,
                              DWORD& subKeys) {
    DWORD keys = 0, values = 0, maxName = 0, maxData = 0;
    subKeys = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values,
                         &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    subKeys = keys;
    if (FSearchValues && values > 0)
        SearchValues(key, values, maxName, maxData, root, sub, keyName, display);
    return true;
}

void TFindWalk::SearchValues(HKEY key, DWORD count, DWORD maxName, DWORD maxData, HKEY root,
                             const std::wstring& sub, const std::wstring& keyName,
                             const std::wstring& display) {
    const bool wantData = !FRecord.NoValueData;
    // The buffers only grow: after the first large value no key needs a new allocation.
    // Two spare bytes let an odd-length read be padded without a reallocation.
    if (FName.size() < maxName + 1) FName.resize(maxName + 1);
    if (wantData && FData.size() < maxData + 2) FData.resize(maxData + 2);
    int retries = 0;
    for (DWORD index = 0; index < count;) {
        if (FHost.StopRequested()) return;
        DWORD nameLength = classlib::Win32Size<DWORD>(FName.size());
        DWORD dataLength = wantData ? classlib::Win32Size<DWORD>(FData.size() - 2) : 0;
        DWORD type = REG_NONE;
        LSTATUS status = RegEnumValueW(key, index, FName.data(), &nameLength, nullptr, &type,
                                       wantData ? FData.data() : nullptr,
                                       wantData ? &dataLength : nullptr);
        if (status == ERROR_MORE_DATA) {
            // The value (or its name) grew after the key was queried: read it again with
            // bigger buffers. After a few tries in a row the entry is given up.
            if (++retries > kGrowRetries) {
                ++index;
                retries = 0;
                continue;
            }
            DWORD newName = 0, newData = 0;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &newName, &newData, nullptr, nullptr);
            FName.resize(std::max<size_t>({FName.size() * 2, size_t(newName) + 1}));
            if (wantData)
                FData.resize(std::max<size_t>({FData.size() * 2, size_t(newData) + 2,
                                               size_t(dataLength) + 2}));
            continue;
        }
        if (status != ERROR_SUCCESS) return;  // the end, or a key that went away
        ++index;
        retries = 0;

        std::wstring_view valueName(FName.data(), nameLength);
        auto addValueHit = [&](uint8_t kind, std::wstring_view matched) {
            auto hit = std::make_unique<TVxRegFindClass>();
            hit->FDisplayName.assign(valueName);
            hit->FKeyName = keyName;
            hit->FPath = sub;
            hit->FFullPath.reserve(display.size() + 1 + valueName.size());
            hit->FFullPath.append(display).append(1, L'\\').append(valueName);
            hit->FRootKey = root;
            hit->FValueName.assign(valueName);
            hit->FValueType = type;
            hit->FDataText.assign(matched);
            hit->FHitKind = kind;
            AddHit(std::move(hit));
        };
        if (!FRecord.NoValueNames && FMatcher.IsMatch(valueName) && !FHost.StopRequested())
            addValueHit(1, valueName);
        if (wantData) {
            FindDataText(type, FData.data(), dataLength, FText);
            if (FMatcher.IsMatch(FText) && !FHost.StopRequested()) addValueHit(2, FText);
        }
    }
}

void TFindWalk::TestKeyName(const std::wstring& name, const std::wstring& display, HKEY root,
                            const std::wstring& sub) {
    if (FRecord.NoKeyNames || !FMatcher.IsMatch(name) || FHost.StopRequested()) return;
    auto hit = std::make_unique<TVxRegFindClass>();
    hit->FKeyName = name;
    hit->FPath = sub;
    hit->FFullPath = display;
    hit->FRootKey = root;
    hit->FDataText = name;
    hit->FHitKind = 0;
    AddHit(std::move(hit));
}

void TFindWalk::AddHit(std::unique_ptr<TVxRegFindClass> hit) {
    if (FBatch.empty()) FBatchSince = GetTickCount64();
    FBatch.push_back(std::move(hit));
    FlushIfDue();
}

void TFindWalk::FlushIfDue() {
    if (FBatch.empty()) return;
    if (FBatch.size() >= kBatchSize || GetTickCount64() - FBatchSince >= kBatchDelayMs) Flush();
}

void TFindWalk::Flush() {
    if (FBatch.empty()) return;
    FHost.HandOver(FBatch);
    FBatch.clear();
}

}  // namespace search
