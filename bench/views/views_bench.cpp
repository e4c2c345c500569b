// Registry views benchmark, each line against a raw loop in the same run, on keys made below
// HKCU\Software\WendlarBench\Views (removed afterwards):
// - expanding a key with 50,000 subkeys in the key tree until its first page is painted
//   (the tree on a shown form, painted through its paint message), against one raw
//   RegEnumKeyExW pass over the names (with the last-write times, as the tree asks for them);
// - showing a key with 20,000 values in the value list and painting every page of it (each
//   page painted as the paint message paints it, into a memory bitmap: the window's own
//   scrolling is the tree control's business and not measured here), against a raw pass that
//   enumerates the names and types and queries every value's data;
// - jumping to a key of a level with 20,000 subkeys (the tree has read that level before;
//   each round another key), against RegOpenKeyExW (and RegCloseKey) of its full path, and
//   the same jump through a level of 200 subkeys against it (the size must not show). The
//   tree sits on a hidden form, as in a registry window behind another: the jump looks the
//   key up and selects it, and what only the rows need (reading the key's subkeys and
//   scrolling it to the top) waits for a paint or input that a hidden tree does not get.
//   Each jump is checked through the selected key's path.
// The views are not connected, so each line measures one view.
//
// Usage: views_bench.exe [scale]   (scale 1 = the full sizes; 0.1 for a quick run)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/graphics.h"
#include "common/bench_common.h"
#include "registry/regrecords.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"

using namespace gridtree;

namespace {

using bench::Alternate;
using bench::Report;

const std::wstring kBase = L"Software\\WendlarBench\\Views";
const std::wstring kFullBase = L"HKEY_CURRENT_USER\\" + kBase;
const int kRounds = bench::DefaultRounds;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

HKEY Create(const std::wstring& path) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

std::wstring Numbered(const wchar_t* prefix, int i) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%ls%05d", prefix, i);
    return text;
}

void MakeSubKeys(const std::wstring& path, int count) {
    HKEY parent = Create(path);
    for (int i = 0; i < count; ++i) {
        HKEY key = nullptr;
        RegCreateKeyExW(parent, Numbered(L"Sub", i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    RegCloseKey(parent);
}

void MakeValues(const std::wstring& path, int count) {
    HKEY key = Create(path);
    for (int i = 0; i < count; ++i) {
        const std::wstring name = Numbered(L"Value", i);
        if (i % 2 == 0) {
            const std::wstring text = L"C:\\Data\\" + name;
            RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           DWORD((text.size() + 1) * 2));
        } else {
            const DWORD data = DWORD(i);
            RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), 4);
        }
    }
    RegCloseKey(key);
}

struct TViews {
    classlib::TForm Form{nullptr};
    views::TVxRegTreeView* Tree = nullptr;
    views::TVxRegListView* List = nullptr;
    explicit TViews(bool Shown) {
        Form.SetBounds(0, 0, 900, 600);
        Tree = new views::TVxRegTreeView(&Form);
        Tree->SetParent(&Form);
        Tree->SetBounds(0, 0, 300, 560);
        List = new views::TVxRegListView(&Form);
        List->SetParent(&Form);
        List->SetBounds(300, 0, 580, 560);
        for (int i = 0; i < 3; ++i) List->Header().Columns()[i]->SetWidth(180);
        if (Shown) Form.Show();
        Tree->AddLocalComputerRoot(L"");
        Pump();
    }
};

// --- expanding a large key ----------------------------------------------------------------

void CompareExpand(TViews& v, int count) {
    const std::wstring path = kBase + L"\\Keys";
    std::printf("building %d subkeys...\n", count);
    std::fflush(stdout);
    MakeSubKeys(path, count);
    // More rows than the window holds before the expansion: the scroll bar is there already
    // (its first showing reshapes the window, which under Wine alone takes about 100 ms).
    for (int i = 0; i < 40; ++i) RegCloseKey(Create(kBase + L"\\" + Numbered(L"Pad", i)));
    v.Tree->JumpToPath(L"HKEY_CURRENT_USER\\" + path);
    UpdateWindow(v.Tree->Handle());  // the first paint reads the key the jump ended on
    PGridNode node = v.Tree->GetFirstSelected();
    if (node) v.Tree->SetChildCount(node, 0);  // forgotten again
    Pump();
    std::vector<std::wstring> raw;
    bool same = node != nullptr;
    auto pair = Alternate(
        kRounds,
        [&] {
            HKEY key = nullptr;
            RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
            DWORD subKeys = 0, maxName = 0;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxName, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
            std::vector<wchar_t> name(maxName + 1);
            raw.clear();
            for (DWORD i = 0; i < subKeys; ++i) {
                DWORD length = DWORD(name.size());
                FILETIME written;
                if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
                    break;
                raw.emplace_back(name.data(), length);
            }
            RegCloseKey(key);
        },
        [&] {
            if (!node) return;
            v.Tree->SetExpanded(node, true);
            UpdateWindow(v.Tree->Handle());
        },
        [&] {
            // Every name arrived, in order, and the first page's rows have their facts.
            if (!node) return;
            same = same && raw.size() == size_t(count) && v.Tree->ChildCount(node) == raw.size();
            size_t i = 0;
            for (PGridNode child = node->FirstChildNode; child && same; child = child->NextSiblingNode, ++i)
                same = v.Tree->GetNodeCaption(child) == raw[i];
            same = same && v.Tree->NodeData(node->FirstChildNode)->SubKeysChecked;
            // Forgotten again, to be read afresh by the next round.
            v.Tree->SetChildCount(node, 0);
            Pump();
        });
    Report("expand " + std::to_string(count) + " subkeys to the first page vs RegEnumKeyExW pass", pair, 1.5, same);
}

// --- paging through a large value list ----------------------------------------------------

void ComparePaging(TViews& v, int count) {
    const std::wstring path = kBase + L"\\Values";
    std::printf("building %d values...\n", count);
    std::fflush(stdout);
    MakeValues(path, count);
    const registry::TVxRegKeyClass record = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, path);
    size_t rawCount = 0, rawBytes = 0;
    bool same = true;
    int pages = 0;
    classlib::TBitmap bitmap;
    bitmap.SetSize(v.List->ClientWidth(), v.List->ClientHeight());
    auto pair = Alternate(
        kRounds,
        [&] {
            HKEY key = nullptr;
            RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
            DWORD values = 0, maxName = 0, maxData = 0;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &maxName, &maxData,
                             nullptr, nullptr);
            std::vector<wchar_t> name(maxName + 1);
            std::vector<std::pair<std::wstring, DWORD>> names;
            for (DWORD i = 0; i < values; ++i) {
                DWORD length = DWORD(name.size()), type = 0;
                if (RegEnumValueW(key, i, name.data(), &length, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
                    break;
                names.emplace_back(std::wstring(name.data(), length), type);
            }
            std::vector<BYTE> data(maxData);
            rawCount = rawBytes = 0;
            for (const auto& entry : names) {
                DWORD size = DWORD(data.size()), type = 0;
                if (RegQueryValueExW(key, entry.first.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
                    continue;
                ++rawCount;
                rawBytes += size;
            }
            RegCloseKey(key);
        },
        [&] {
            v.List->ShowKey(&record);
            const int page = v.List->ClientHeight();
            pages = 0;
            for (int top = 0; top < v.List->RangeY(); top += page, ++pages) {
                const RECT window{0, top, v.List->ClientWidth(), top + page};
                v.List->PaintTree(bitmap.Canvas(), window, POINT{0, 0}, WindowPaintOptions);
            }
        },
        [&] {
            // Every value has its row, and every row's data was read for its page.
            uint32_t read = 0;
            for (uint32_t i = 0; i < v.List->ValueCount(); ++i) read += v.List->GetValueAt(i)->FDataTextCached;
            same = same && rawCount == size_t(count) && v.List->ValueCount() == rawCount + 1 &&
                   read == v.List->ValueCount();
            v.List->ShowKey(nullptr);
            Pump();
        });
    Report("show " + std::to_string(count) + " values, paint all " + std::to_string(pages) +
               " pages vs enumerate + query",
           pair, 2.0, same);
}

// --- jumping through a large level --------------------------------------------------------

// Returns the median time of the jumps.
double CompareJump(TViews& v, int count) {
    const std::wstring path = kBase + L"\\Level" + std::to_wstring(count);
    std::printf("building %d subkeys...\n", count);
    std::fflush(stdout);
    MakeSubKeys(path, count);
    v.Tree->RefreshAllKeys();  // the tree learns of the new level
    v.Tree->JumpToPath(L"HKEY_CURRENT_USER\\" + path);
    v.Tree->SetExpanded(v.Tree->GetFirstSelected(), true);  // the level is read once, before timing
    // Each round jumps 50 times, each time to another key spread over the level; both
    // sides go through the same keys.
    constexpr int Jumps = 50;
    int round = 0;
    auto target = [&](int jump) { return Numbered(L"Sub", (count - 1) - ((round * Jumps + jump) * 7919) % count); };
    bool same = true;
    int opened = 0;
    auto pair = Alternate(
        kRounds,
        [&] {
            for (int j = 0; j < Jumps; ++j) {
                HKEY key = nullptr;
                if (RegOpenKeyExW(HKEY_CURRENT_USER, (path + L"\\" + target(j)).c_str(), 0, KEY_READ, &key) ==
                    ERROR_SUCCESS)
                    ++opened;
                RegCloseKey(key);
            }
        },
        [&] {
            for (int j = 0; j < Jumps; ++j) {
                v.Tree->JumpToPath(L"HKCU\\" + path + L"\\" + target(j));
                auto key = v.Tree->GetSelectedKey();
                same = same && key && key->FFullPath == L"HKEY_CURRENT_USER\\" + path + L"\\" + target(j);
            }
        },
        [&] {
            same = same && opened == Jumps;
            opened = 0;
            ++round;
            Pump();
        });
    Report("50 JumpToPath through " + std::to_string(count) + " subkeys vs RegOpenKeyExW of the paths", pair, 2.0,
           same);
    return pair.Ours.Median();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double scale = argc > 1 ? _wtof(argv[1]) : 1.0;
    std::printf("registry views benchmark, scale %.2f, %d rounds\n", scale, kRounds);
    bench::PrintLegend();
    auto n = [&](int full) { return full * scale < 1 ? 1 : static_cast<int>(full * scale); };
    RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str());
    {
        classlib::TApplication application;
        TViews shown(true);
        CompareExpand(shown, n(50000));
        ComparePaging(shown, n(20000));
        TViews hidden(false);
        const double small = CompareJump(hidden, n(200)), large = CompareJump(hidden, n(20000));
        // The level's size must not show in the jump: the key is looked up by name.
        bench::ReportRatio("JumpToPath through " + std::to_string(n(20000)) + " vs " + std::to_string(n(200)) +
                               " subkeys",
                           small > 0 ? large / small : 0, 1.5,
                           bench::Milliseconds(large) + " / " + bench::Milliseconds(small) + " ms (medians)");
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str());
    return bench::Finish();
}
