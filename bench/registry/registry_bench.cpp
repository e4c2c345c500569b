// Registry access benchmark: our tree copy, tree delete, listings and script text against
// the platform's own calls or a raw enumeration loop, on generated trees below
// HKCU\Software\WendlarBench (removed afterwards). Each pair runs alternately a few times
// and the best time of each side counts, so heap growth and first-touch costs of the
// registry server do not fall on one side. Prints each time and ratio.
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
#include <string>
#include <vector>

namespace {

const std::wstring kBase = L"Software\\WendlarBench";

double Seconds(const std::function<void()>& body) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    body();
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// Runs baseline and ours alternately `rounds` times (with `between` after each pair) and
// reports the best time of each.
void Compare(const char* what, double aim, int rounds, const std::function<void()>& base,
             const std::function<void()>& ours, const std::function<void()>& between = {}) {
    double bestBase = 1e30, bestOurs = 1e30;
    for (int r = 0; r < rounds; ++r) {
        bestBase = std::min(bestBase, Seconds(base));
        bestOurs = std::min(bestOurs, Seconds(ours));
        if (between) between();
    }
    const double ratio = bestBase > 0 ? bestOurs / bestBase : 0;
    std::printf("%-52s ours %8.3f s  baseline %8.3f s  ratio %5.2f  (aim <= %.1f)%s\n", what,
                bestOurs, bestBase, ratio, aim, ratio > aim ? "  OVER" : "");
    std::fflush(stdout);
}

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

void DeleteTree(const std::wstring& path) {
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
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
    Compare(
        ("CopyRegKey vs RegCopyTreeW, " + label).c_str(), 1.5, 2,
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
            DeleteTree(baseCopy);
            DeleteTree(ourCopy);
        });
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
    Compare(("DeleteRegKeyTree vs RegDeleteTreeW, " + label).c_str(), 1.5, 2,
            [&] { DeleteTree(baseCopy); },
            [&] {
                if (!DeleteRegKeyTree(HKEY_CURRENT_USER, ourCopy))
                    std::printf("DeleteRegKeyTree failed: %ld\n", RegLastStatus());
            },
            copies);
    DeleteTree(baseCopy);
    DeleteTree(ourCopy);
    DeleteTree(src);
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

    Compare(
        "ListSubKeys vs raw RegEnumKeyExW loop", 2.0, 3,
        [&] {
            HKEY key = OpenRead(keysPath);
            wchar_t name[256];
            std::vector<std::wstring> names;
            for (DWORD i = 0;; ++i) {
                DWORD len = 256;
                FILETIME ft;
                if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, &ft) !=
                    ERROR_SUCCESS)
                    break;
                names.emplace_back(name, len);
            }
            RegCloseKey(key);
        },
        [&] {
            TVxRegKeyList list;
            ListSubKeys(list, MakeRegKeyRecord(HKEY_CURRENT_USER, keysPath));
            if (list.size() != static_cast<size_t>(count)) std::printf("wrong count\n");
        });
    Compare(
        "ListRegValues vs raw RegEnumValueW loop", 2.0, 3,
        [&] {
            HKEY key = OpenRead(valuesPath);
            wchar_t name[16384];
            std::vector<std::pair<std::wstring, DWORD>> names;
            for (DWORD i = 0;; ++i) {
                DWORD len = 16384, type = 0;
                if (RegEnumValueW(key, i, name, &len, nullptr, &type, nullptr, nullptr) !=
                    ERROR_SUCCESS)
                    break;
                names.emplace_back(std::wstring(name, len), type);
            }
            RegCloseKey(key);
        },
        [&] {
            TVxRegValueList list;
            ListRegValues(list, MakeRegKeyRecord(HKEY_CURRENT_USER, valuesPath));
            if (list.size() != static_cast<size_t>(count)) std::printf("wrong count\n");
        });
}

void CompareScript(int count) {
    const std::wstring path = kBase + L"\\Script";
    HKEY key = Create(HKEY_CURRENT_USER, path);
    AddValues(key, count);
    RegCloseKey(key);
    Compare(
        "BuildKeyRegScript vs one RegEnumValueW pass", 1.5, 3,
        [&] {
            HKEY k = OpenRead(path);
            std::vector<wchar_t> name(16384);
            std::vector<BYTE> data(65536);
            size_t bytes = 0;
            for (DWORD i = 0;; ++i) {
                DWORD len = 16384, size = 65536, type = 0;
                if (RegEnumValueW(k, i, name.data(), &len, nullptr, &type, data.data(), &size) !=
                    ERROR_SUCCESS)
                    break;
                bytes += size;
            }
            RegCloseKey(k);
        },
        [&] {
            const std::wstring script =
                BuildKeyRegScript(MakeRegKeyRecord(HKEY_CURRENT_USER, path));
            if (script.size() < static_cast<size_t>(count) * 10) std::printf("short script\n");
        });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double scale = argc > 1 ? _wtof(argv[1]) : 1.0;
    auto n = [&](int full) { return full * scale < 1 ? 1 : static_cast<int>(full * scale); };
    DeleteTree(kBase);
    CompareCopyAndDelete(std::to_string(n(2000)) + " keys x 10 values", n(2000), 10);
    CompareCopyAndDelete(std::to_string(n(20000)) + " keys x 5 values", n(20000), 5);
    CompareListings(n(50000));
    CompareScript(n(10000));
    DeleteTree(kBase);
    return 0;
}
