// Grid tree benchmark: node creation and clearing, expansion until the position cache is in
// use, position queries with and without the cache, select all and delete half, single-row
// appends. Each figure is printed beside a baseline measured in the same run.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "controls/gridtree/basetree.h"

namespace {

struct TOwnerRecord {  // 18 bytes, as a registry view's node data
    void* Key;
    void* Root;
    uint16_t Flags;
};

double Now() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(freq.QuadPart);
}

double Time(const std::function<void()>& fn) {
    double start = Now();
    fn();
    return Now() - start;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void WaitForCache(TBaseGridTree& tree) {
    while (!(tree.TreeStates() & tsUseCache)) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

void Row(const char* what, double tree, double base, const char* baseName) {
    std::printf("  %-44s %10.2f ms   %-24s %10.2f ms   ratio %7.2f\n", what, tree * 1000, baseName, base * 1000,
                base > 0 ? tree / base : 0.0);
}

void RunSize(uint32_t n) {
    std::printf("N = %u\n", n);
    std::mt19937 rng(n);

    // 1. RootNodeCount := N, then Clear; baseline one malloc per node.
    {
        TBaseGridTree tree;
        tree.SetNodeDataSize(sizeof(TOwnerRecord));
        double create = Time([&] { tree.SetRootNodeCount(n); });
        size_t bytes = tree.NodeStoreBytes();
        double clear = Time([&] { tree.Clear(); });
        tree.SetRootNodeCount(n);
        double destroy = 0;
        {
            auto doomed = std::make_unique<TBaseGridTree>();
            doomed->SetRootNodeCount(n);
            Pump();  // hands the tree to the worker
            destroy = Time([&] { doomed.reset(); });
        }
        std::vector<void*> blocks(n);
        double mallocs = Time([&] { for (auto& b : blocks) b = std::calloc(1, sizeof(TGridNode) + 24); });
        double frees = Time([&] { for (auto b : blocks) std::free(b); });
        Row("RootNodeCount := N", create, mallocs, "malloc per node");
        Row("Clear", clear, frees, "free per node");
        Row("destroy right after the worker took it", destroy, frees, "free per node");
        std::printf("  bytes per node (record + 18-byte data, slabs): %.1f\n", double(bytes) / n);
    }

    // 2./3. Expand a node with N children until the cache is in use; position queries.
    {
        TBaseGridTree tree;
        tree.SetClientSize(800, 600);
        tree.SetRootNodeCount(1);
        PGridNode parent = tree.GetFirst();
        tree.SetChildCount(parent, n);
        double expand = Time([&] {
            tree.ToggleNode(parent);
            WaitForCache(tree);
        });
        std::printf("  expand N children until the cache is in use: %10.2f ms (%zu cache entries)\n", expand * 1000,
                    tree.PositionCache().size());

        int range = int(tree.RootNode()->SubtreeHeight);
        std::vector<int> ys(100000);
        for (int& y : ys) y = int(rng() % uint32_t(range));
        std::vector<uint32_t> tops(n + 1);
        for (uint32_t i = 0; i <= n; ++i) tops[i] = 18 * (i + 1);
        size_t sink = 0;
        double cached = Time([&] { for (int y : ys) sink += reinterpret_cast<uintptr_t>(tree.GetNodeAt(0, y, false)); });
        double prefix = Time([&] {
            for (int y : ys) sink += size_t(std::upper_bound(tops.begin(), tops.end(), uint32_t(y)) - tops.begin());
        });
        Row("100,000 GetNodeAt with cache", cached, prefix, "prefix-sum bsearch");
        size_t uncachedQueries = std::min<size_t>(ys.size(), size_t(2e8 / n));
        tree.InvalidateCache();  // leaves tsUseCache without a new build
        double uncached = Time([&] {
            for (size_t i = 0; i < uncachedQueries; ++i) sink += reinterpret_cast<uintptr_t>(tree.GetNodeAt(0, ys[i], false));
        });
        double perCached = cached / ys.size(), perUncached = uncached / uncachedQueries;
        std::printf("  GetNodeAt without cache: %zu queries, %.3f us each (with cache %.3f us, ratio %.1f)\n",
                    uncachedQueries, perUncached * 1e6, perCached * 1e6, perUncached / perCached);
        if (sink == 42) std::printf(" ");
    }

    // 4. Select all, delete half.
    {
        TBaseGridTree tree;
        tree.TreeOptions().SetSelectionOptions(toMultiSelect);
        tree.SetRootNodeCount(n);
        double select = Time([&] { tree.SelectAll(false); });
        tree.BeginUpdate();
        for (PGridNode node = tree.GetFirstNoInit(); node; node = node->NextSiblingNode)
            if (node->Index % 2) tree.SetSelected(node, false);
        tree.EndUpdate();
        double remove = Time([&] { tree.DeleteSelectedNodes(); });
        std::vector<void*> items(n);
        for (auto& p : items) p = std::malloc(8);
        double sortBase = Time([&] { std::sort(items.begin(), items.end()); });
        for (auto p : items) std::free(p);
        Row("SelectAll (all nodes)", select, sortBase, "sort N pointers");
        std::printf("  DeleteSelectedNodes (half)                   %10.2f ms   (%u nodes left)\n", remove * 1000,
                    tree.RootNodeCount());
    }

    // Peer: the system tree view with N TVM_INSERTITEMW.
    {
        HWND wnd = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        uint32_t count = std::min<uint32_t>(n, 10000);  // the peer grows quadratically under Wine
        double insert = Time([&] {
            TVINSERTSTRUCTW ins{};
            ins.hParent = TVI_ROOT;
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask = TVIF_TEXT;
            ins.item.pszText = LPSTR_TEXTCALLBACKW;
            for (uint32_t i = 0; i < count; ++i) SendMessageW(wnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
        });
        TBaseGridTree tree;
        double ours = Time([&] { tree.SetRootNodeCount(count); });
        char label[80];
        std::snprintf(label, sizeof label, "RootNodeCount := %u (peer)", count);
        Row(label, ours, insert, "SysTreeView32 inserts");
        DestroyWindow(wnd);
    }
}

}  // namespace

int wmain() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    std::vector<uint32_t> sizes{10000u, 100000u, 1000000u};
    if (__argc > 1) sizes = {uint32_t(_wtoi(__wargv[1]))};
    if (__argc > 1 && sizes[0] == 0) sizes.clear();  // "0": only the appends
    for (uint32_t n : sizes) RunSize(n);

    // 200,000 single-row appends outside any update bracket, as a search result list does.
    TBaseGridTree tree;
    tree.SetClientSize(800, 600);
    double appends = Time([&] {
        for (uint32_t i = 0; i < 200000; ++i) {
            tree.SetRootNodeCount(tree.RootNodeCount() + 1);
            if (i % 64 == 0) Pump();
        }
    });
    std::vector<uint32_t> grow;
    double vec = Time([&] { for (uint32_t i = 0; i < 200000; ++i) grow.push_back(i); });
    std::printf("200,000 single-row appends\n");
    Row("RootNodeCount := RootNodeCount + 1", appends, vec, "vector push_back");
    return 0;
}
