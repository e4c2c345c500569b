// Registry access benchmark: our tree copy, tree delete, listings and script text against
// the platform's own calls or a raw enumeration loop doing the same calls, on generated
// trees below HKCU\Software\WendlarBench (removed afterwards). Each pair runs alternately
// for several rounds, so heap growth and first-touch costs of the registry server do not
// fall on one side; the results of both sides are compared (copies key by key and value
// by value, listings name by name).
//
// Usage: registry_bench.exe [scale]   (scale 1 = the full sizes; 0.1 for a quick run)
#include "registry/regops.h"
#include "registry/regrecords.h"
#include "registry/regtext.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "common/bench_common.h"

using namespace registry;

namespace {

const std::wstring kBase = L"Software\\WendlarBench";

using bench::Alternate;
using bench::Report;

const int kRounds = bench::DefaultRounds;

HKEY Create(HKEY parent, const std::wstring& name) {
    HKEY key = nullptr;
    RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

HKEY OpenRead(const std::wstring& path) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    return key;
}

// Deletes the key at path with everything below it (one call, as the baseline of the
// delete line).
void DeleteTree(const std::wstring& path) { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }

bool KeyExists(const std::wstring& path) {
    HKEY key = OpenRead(path);
    if (key) RegCloseKey(key);
    return key != nullptr;
}

// Everything below a key: every key path (relative) with its values (name, type, data).
using TValues = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
void Snapshot(HKEY key, const std::wstring& path, std::map<std::wstring, TValues>& out) {
    TValues& values = out[path];
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD length = DWORD(name.size()), size = DWORD(data.size()), type = 0;
        if (RegEnumValueW(key, i, name.data(), &length, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        values[std::wstring(name.data(), length)] = {type, std::vector<BYTE>(data.begin(), data.begin() + size)};
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = DWORD(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring child(name.data(), length);
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        Snapshot(sub, path + L"\\" + child, out);
        RegCloseKey(sub);
    }
}

std::map<std::wstring, TValues> Snapshot(const std::wstring& path) {
    std::map<std::wstring, TValues> out;
    HKEY key = OpenRead(path);
    if (key) {
        Snapshot(key, L"", out);
        RegCloseKey(key);
    }
    return out;
}

void AddValues(HKEY key, int count) {
    for (int v = 0; v < count; ++v) {
        const std::wstring name = L"Value" + std::to_wstring(v);
        if (v % 2 == 0) {
            const std::wstring text = L"C:\\Data\\" + name + L" \"text\"";
            RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * 2));
        } else {
            const DWORD data = static_cast<DWORD>(v);
            RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           4);
        }
    }
}

// `keys` keys with `values` values each: groups of one key with 19 subkeys.
void MakeTree(const std::wstring& path, int keys, int values) {
    HKEY root = Create(HKEY_CURRENT_USER, path);
    int made = 0;
    for (int g = 0; made < keys; ++g) {
        HKEY group = Create(root, L"Group" + std::to_wstring(g));
        AddValues(group, values);
        ++made;
        for (int k = 0; k < 19 && made < keys; ++k, ++made) {
            HKEY key = Create(group, L"Key" + std::to_wstring(k));
            AddValues(key, values);
            RegCloseKey(key);
        }
        RegCloseKey(group);
    }
    RegCloseKey(root);
}

void CompareCopyAndDelete(const std::string& label, int keys, int values) {
    const std::wstring src = kBase + L"\\Src", baseCopy = kBase + L"\\Base",
                       ourCopy = kBase + L"\\Ours";
    std::printf("building %d keys x %d values...\n", keys, values);
    std::fflush(stdout);
    MakeTree(src, keys, values);
    const auto original = Snapshot(src);
    bool same = original.size() == size_t(keys) + 1;
    auto pair = Alternate(
        kRounds,
        [&] {
            HKEY from = OpenRead(src);
            HKEY to = Create(HKEY_CURRENT_USER, baseCopy);
            RegCopyTreeW(from, nullptr, to);
            RegCloseKey(to);
            RegCloseKey(from);
        },
        [&] {
            if (!CopyRegKey(HKEY_CURRENT_USER, src, HKEY_CURRENT_USER, kBase, L"Ours"))
                std::printf("CopyRegKey failed: %ld\n", RegLastStatus());
        },
        [&] {
            // Both copies hold every key and value of the source.
            same = same && Snapshot(baseCopy) == original && Snapshot(ourCopy) == original;
            DeleteTree(baseCopy);
            DeleteTree(ourCopy);
        });
    Report("CopyRegKey vs RegCopyTreeW, " + label, pair, 1.5, same);
    // Each delete round needs fresh copies, made outside the timing.
    auto copies = [&] {
        HKEY from = OpenRead(src);
        for (const std::wstring& path : {baseCopy, ourCopy}) {
            HKEY to = Create(HKEY_CURRENT_USER, path);
            RegCopyTreeW(from, nullptr, to);
            RegCloseKey(to);
        }
        RegCloseKey(from);
    };
    copies();
    bool gone = true;
    pair = Alternate(
        kRounds, [&] { DeleteTree(baseCopy); },
        [&] {
            if (!DeleteRegKeyTree(HKEY_CURRENT_USER, ourCopy))
                std::printf("DeleteRegKeyTree failed: %ld\n", RegLastStatus());
        },
        [&] {
            gone = gone && !KeyExists(baseCopy) && !KeyExists(ourCopy);
            copies();
        });
    // DeleteRegKeyTree is RegDeleteTreeW on the parent key: this line measures only the
    // wrapper (the parent's open and the checks).
    Report("DeleteRegKeyTree (wraps RegDeleteTreeW) vs RegDeleteTreeW, " + label, pair, 1.5, gone);
    DeleteTree(baseCopy);
    DeleteTree(ourCopy);
    DeleteTree(src);
}

// The counts and the longest name and data of a key, as a raw loop asks them once.
struct TKeyInfo {
    DWORD SubKeys = 0, MaxSubKeyName = 0, Values = 0, MaxValueName = 0, MaxData = 0;
};
TKeyInfo QueryInfo(HKEY key) {
    TKeyInfo info;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &info.SubKeys, &info.MaxSubKeyName, nullptr, &info.Values,
                     &info.MaxValueName, &info.MaxData, nullptr, nullptr);
    return info;
}

void CompareListings(int count) {
    const std::wstring keysPath = kBase + L"\\ManyKeys";
    const std::wstring valuesPath = kBase + L"\\ManyValues";
    std::printf("building %d subkeys and %d values...\n", count, count);
    std::fflush(stdout);
    HKEY keys = Create(HKEY_CURRENT_USER, keysPath);
    for (int i = 0; i < count; ++i) RegCloseKey(Create(keys, L"SubKey" + std::to_wstring(i)));
    RegCloseKey(keys);
    HKEY values = Create(HKEY_CURRENT_USER, valuesPath);
    AddValues(values, count);
    RegCloseKey(values);

    // The raw loops ask the count once and enumerate exactly that many entries.
    std::vector<std::wstring> rawKeys, ourKeys;
    auto pair = Alternate(
        kRounds,
        [&] {
            HKEY key = OpenRead(keysPath);
            const TKeyInfo info = QueryInfo(key);
            std::vector<wchar_t> name(info.MaxSubKeyName + 1);
            rawKeys.clear();
            for (DWORD i = 0; i < info.SubKeys; ++i) {
                DWORD len = DWORD(name.size());
                FILETIME ft;
                if (RegEnumKeyExW(key, i, name.data(), &len, nullptr, nullptr, nullptr, &ft) != ERROR_SUCCESS) break;
                rawKeys.emplace_back(name.data(), len);
            }
            RegCloseKey(key);
        },
        [&] {
            TVxRegKeyList list;
            ListSubKeys(list, MakeRegKeyRecord(HKEY_CURRENT_USER, keysPath));
            ourKeys.clear();
            for (const auto& k : list) ourKeys.push_back(k->FKeyName);
        });
    Report("ListSubKeys vs raw RegEnumKeyExW loop", pair, 2.0, ourKeys == rawKeys && rawKeys.size() == size_t(count));
    std::vector<std::pair<std::wstring, DWORD>> rawValues, ourValues;
    pair = Alternate(
        kRounds,
        [&] {
            HKEY key = OpenRead(valuesPath);
            const TKeyInfo info = QueryInfo(key);
            std::vector<wchar_t> name(info.MaxValueName + 1);
            rawValues.clear();
            for (DWORD i = 0; i < info.Values; ++i) {
                DWORD len = DWORD(name.size()), type = 0;
                if (RegEnumValueW(key, i, name.data(), &len, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
                rawValues.emplace_back(std::wstring(name.data(), len), type);
            }
            RegCloseKey(key);
        },
        [&] {
            TVxRegValueList list;
            ListRegValues(list, MakeRegKeyRecord(HKEY_CURRENT_USER, valuesPath));
            ourValues.clear();
            for (const auto& v : list) ourValues.emplace_back(v->FValueName, v->FValueType);
        });
    Report("ListRegValues vs raw RegEnumValueW loop", pair, 2.0,
           ourValues == rawValues && rawValues.size() == size_t(count));
}

void CompareScript(int count) {
    const std::wstring path = kBase + L"\\Script";
    HKEY key = Create(HKEY_CURRENT_USER, path);
    AddValues(key, count);
    RegCloseKey(key);
    // The script holds one line per value; the raw pass reads every value's data once.
    size_t rawValues = 0, scriptLines = 0;
    auto pair = Alternate(
        kRounds,
        [&] {
            HKEY k = OpenRead(path);
            const TKeyInfo info = QueryInfo(k);
            std::vector<wchar_t> name(info.MaxValueName + 1);
            std::vector<BYTE> data(info.MaxData);
            rawValues = 0;
            for (DWORD i = 0; i < info.Values; ++i) {
                DWORD len = DWORD(name.size()), size = DWORD(data.size()), type = 0;
                if (RegEnumValueW(k, i, name.data(), &len, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
                ++rawValues;
            }
            RegCloseKey(k);
        },
        [&] {
            const std::wstring script = BuildKeyRegScript(MakeRegKeyRecord(HKEY_CURRENT_USER, path));
            // Value lines are the lines that begin with the quoted name.
            scriptLines = 0;
            for (size_t at = script.find(L"\r\n\""); at != std::wstring::npos; at = script.find(L"\r\n\"", at + 3))
                ++scriptLines;
        });
    Report("BuildKeyRegScript vs one RegEnumValueW pass", pair, 1.5,
           rawValues == size_t(count) && scriptLines == size_t(count));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double scale = argc > 1 ? _wtof(argv[1]) : 1.0;
    std::printf("registry benchmark, scale %.2f, %d rounds\n", scale, kRounds);
    bench::PrintLegend();
    auto n = [&](int full) { return full * scale < 1 ? 1 : static_cast<int>(full * scale); };
    DeleteTree(kBase);
    CompareCopyAndDelete(std::to_string(n(2000)) + " keys x 10 values", n(2000), 10);
    CompareCopyAndDelete(std::to_string(n(20000)) + " keys x 5 values", n(20000), 5);
    CompareListings(n(50000));
    CompareScript(n(10000));
    DeleteTree(kBase);
    return bench::Finish();
}
