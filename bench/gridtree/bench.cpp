// Grid tree benchmark, each line against a baseline doing the same work in the same run or
// against the node store's own aims: making N nodes within 0.5 microseconds a node (zeroed
// blocks of the same size allocated one by one and linked as the tree links its nodes are
// shown beside it) and in at most 96 bytes a node, clearing (the tree keeps its memory for
// the next fill) against unlinking and freeing those blocks one by one, position queries
// through the cache against a plain binary search over the same cache entries and the
// same row walk, single deletes against
// DeleteChildren of the same nodes, and single-row appends while a message loop runs
// against push_back of the same records with the same message loop. Painting: the last
// page of a string tree of 10^4, 10^5 and 10^6 rows into a memory bitmap, compared with
// itself across the sizes (it must not depend on N), and 100 wheel notches over a tree of
// 10^5 rows in a shown window against an owner-data list view of the same rows, columns
// and texts driven by the same messages. Sorting: N siblings by a key in their data against
// std::stable_sort of the same node pointers with the same comparison.
//
// Usage: gridtree_bench.exe [N]   (one tree size instead of 10,000, 100,000 and 1,000,000;
// 0 runs only the appends)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <commctrl.h>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/graphics.h"
#include "common/bench_common.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/stringtree.h"

using namespace gridtree;

namespace {

using bench::Alternate;
using bench::Report;

struct TOwnerRecord {  // 18 bytes, as a registry view's node data
    void* Key;
    void* Root;
    uint16_t Flags;
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// Serves messages until the condition holds.
void PumpUntil(const std::function<bool()>& done) {
    while (!done()) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::string Sized(const char* what, uint32_t n) { return std::string(what) + ", N = " + std::to_string(n); }

// The size of one node's block: the record and the owner's data, rounded to 8 bytes.
const size_t kBlock = (sizeof(TGridNode) + sizeof(TOwnerRecord) + 7) & ~size_t(7);

// The raw structure: N zeroed blocks linked as children of one parent.
struct TRawList {
    TGridNode Parent{};
    void Make(uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) {
            auto node = static_cast<PGridNode>(std::calloc(1, kBlock));
            node->Index = i;
            node->Parent = &Parent;
            node->NodeHeight = 18;
            node->SubtreeHeight = 18;
            node->SubtreeCount = 1;
            node->States = vsVisible;
            node->PrevSiblingNode = Parent.LastChildNode;
            if (Parent.LastChildNode) Parent.LastChildNode->NextSiblingNode = node;
            else Parent.FirstChildNode = node;
            Parent.LastChildNode = node;
            ++Parent.ChildCount;
            Parent.SubtreeCount += 1;
            Parent.SubtreeHeight += 18;
        }
    }
    // Unlinks and frees from the last child, as deleting all children does.
    void Free() {
        while (PGridNode node = Parent.LastChildNode) {
            Parent.LastChildNode = node->PrevSiblingNode;
            if (Parent.LastChildNode) Parent.LastChildNode->NextSiblingNode = nullptr;
            else Parent.FirstChildNode = nullptr;
            --Parent.ChildCount;
            Parent.SubtreeCount -= 1;
            Parent.SubtreeHeight -= node->NodeHeight;
            std::free(node);
        }
    }
};

// Sorting N siblings by a key in their data: Sort against std::stable_sort of the same node
// pointers with the same comparison (the owner's event, called the same way). Both start
// from the same shuffled order each round and must end in the same order.
void RunSort(uint32_t n, int rounds) {
    struct TKeyed {
        uint32_t Key;
        uint32_t Shuffled;  // position in the shuffled order
    };
    TBaseGridTree tree;
    tree.SetNodeDataSize(sizeof(TKeyed));
    tree.SetRootNodeCount(n);
    std::mt19937 rng(99);
    std::vector<PGridNode> shuffled;
    for (PGridNode node = tree.GetFirstNoInit(); node; node = node->NextSiblingNode) shuffled.push_back(node);
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    for (uint32_t i = 0; i < n; ++i)
        *static_cast<TKeyed*>(tree.GetNodeData(shuffled[i])) = TKeyed{uint32_t(rng() % (n / 4 + 1)), i};
    bool byKey = true;
    tree.OnCompareNodes = [&](TBaseGridTree* T, PGridNode A, PGridNode B, TColumnIndex, int& Result) {
        const auto* a = static_cast<const TKeyed*>(T->GetNodeData(A));
        const auto* b = static_cast<const TKeyed*>(T->GetNodeData(B));
        const uint32_t x = byKey ? a->Key : a->Shuffled, y = byKey ? b->Key : b->Shuffled;
        Result = x < y ? -1 : (x > y ? 1 : 0);
    };
    auto restore = [&] {
        byKey = false;
        tree.Sort(nullptr, 0, sdAscending, false);
        byKey = true;
    };
    restore();
    std::vector<PGridNode> nodes;
    bool same = true;
    auto pair = Alternate(
        rounds,
        [&] {
            nodes = shuffled;
            std::stable_sort(nodes.begin(), nodes.end(), [&](PGridNode A, PGridNode B) {
                int result = 0;
                tree.OnCompareNodes(&tree, A, B, 0, result);
                return result < 0;
            });
        },
        [&] { tree.Sort(nullptr, 0, sdAscending, false); },
        [&] {
            size_t i = 0;
            for (PGridNode node = tree.GetFirstNoInit(); node; node = node->NextSiblingNode, ++i)
                same = same && i < nodes.size() && nodes[i] == node;
            same = same && i == nodes.size();
            restore();
        });
    Report(Sized("Sort of N siblings vs std::stable_sort of the same keys", n), pair, 1.5, same);
}

void RunSize(uint32_t n, int rounds) {
    std::printf("N = %u\n", n);
    std::fflush(stdout);
    TRawList raw;

    // Making and freeing N nodes. Making them is held to the aim of the node store, a
    // million nodes well under a second (taken as at most 0.5 microseconds a node), each
    // round in a new tree (a cleared tree fills its kept memory again, which is faster);
    // the time of N zeroed blocks allocated one by one and linked alike is shown beside it.
    {
        auto fresh = [] {
            auto made = std::make_unique<TBaseGridTree>();
            made->SetNodeDataSize(sizeof(TOwnerRecord));
            return made;
        };
        std::unique_ptr<TBaseGridTree> first = fresh();
        bool made = true;
        auto pair = Alternate(
            rounds, [&] { raw.Make(n); }, [&] { first->SetRootNodeCount(n); },
            [&] {
                made = made && first->RootNodeCount() == n && first->TotalCount() == n &&
                       raw.Parent.ChildCount == n &&
                       first->RootNode()->SubtreeHeight - first->RootNode()->NodeHeight == raw.Parent.SubtreeHeight;
                raw.Free();
                first = fresh();
            });
        first.reset();
        TBaseGridTree tree;
        tree.SetNodeDataSize(sizeof(TOwnerRecord));
        char detail[96];
        std::snprintf(detail, sizeof detail, "%s ms (best %s), %.0f ns a node; calloc and link %s ms%s",
                      bench::Milliseconds(pair.Ours.Median()).c_str(), bench::Milliseconds(pair.Ours.Min()).c_str(),
                      pair.Ours.Median() * 1e9 / n, bench::Milliseconds(pair.Base.Median()).c_str(),
                      made ? "" : "  WRONG");
        bench::ReportRatio(Sized("RootNodeCount := N against 0.5 us a node", n),
                           made ? pair.Ours.Median() / (n * 0.5e-6) : 99, 1.0, detail);

        tree.SetRootNodeCount(n);
        const size_t filled = tree.NodeStoreBytes();
        const double bytes = double(filled) / n;
        raw.Make(n);
        // The cleared tree keeps its slabs for the next fill, which takes no more.
        pair = Alternate(
            rounds, [&] { raw.Free(); }, [&] { tree.Clear(); },
            [&] {
                made = made && tree.RootNodeCount() == 0 && tree.NodeStoreBytes() == filled &&
                       raw.Parent.ChildCount == 0;
                raw.Make(n);
                tree.SetRootNodeCount(n);
                made = made && tree.NodeStoreBytes() == filled;
            });
        raw.Free();
        Report(Sized("Clear vs unlink and free per node", n), pair, 1.5, made);

        // At most 96 bytes a node with an 18-byte owner record, slack of the slabs included.
        std::snprintf(detail, sizeof detail, "%.1f bytes per node (node record and data: %zu)", bytes, kBlock);
        bench::ReportRatio(Sized("node store size against 96 bytes a node", n), bytes / 96.0, 1.0, detail);
    }

    // Position queries through the cache against the same lookup done by hand: a binary
    // search over the cache entries, then the walk over the rows to the one asked for.
    if (n > CacheThreshold) {
        TBaseGridTree tree;
        tree.SetClientSize(800, 600);
        tree.SetRootNodeCount(1);
        PGridNode parent = tree.GetFirst();
        tree.SetChildCount(parent, n);
        tree.ToggleNode(parent);
        PumpUntil([&] { return (tree.TreeStates() & tsUseCache) != 0; });
        const std::vector<TCacheEntry>& cache = tree.PositionCache();
        std::mt19937 rng(n);
        std::vector<int> ys(100000);
        const int range = int(tree.RootNode()->SubtreeHeight);
        for (int& y : ys) y = int(rng() % uint32_t(range));
        std::vector<PGridNode> ours(ys.size()), raw(ys.size());
        auto pair = Alternate(
            rounds,
            [&] {
                for (size_t i = 0; i < ys.size(); ++i) {
                    const uint32_t y = uint32_t(ys[i]);
                    auto entry = std::upper_bound(cache.begin(), cache.end(), y,
                                                  [](uint32_t v, const TCacheEntry& e) { return v < e.AbsoluteTop; });
                    PGridNode node = nullptr;
                    uint32_t top = 0;
                    if (entry != cache.begin()) {
                        --entry;
                        node = entry->Node;
                        top = entry->AbsoluteTop;
                    }
                    while (node && top + node->NodeHeight <= y) {
                        top += node->NodeHeight;
                        node = tree.GetNextVisibleNoInit(node);
                    }
                    raw[i] = node;
                }
            },
            [&] {
                for (size_t i = 0; i < ys.size(); ++i) ours[i] = tree.GetNodeAt(0, ys[i], false);
            });
        Report(Sized("100,000 GetNodeAt with cache vs raw cache lookup", n), pair, 1.5, ours == raw);
    }

    // Single deletes, one call per node outside any update bracket (as the registry views
    // and the result pane delete rows), against DeleteChildren of the same nodes.
    if (n <= 100000) {
        struct TOrder {
            const char* Name;
            std::function<PGridNode(TBaseGridTree&)> Pick;
        };
        const TOrder orders[] = {
            {"from the front", [](TBaseGridTree& t) { return t.RootNode()->FirstChildNode; }},
            {"from the back", [](TBaseGridTree& t) { return t.RootNode()->LastChildNode; }},
        };
        for (const TOrder& order : orders) {
            TBaseGridTree singles, whole;
            singles.SetNodeDataSize(sizeof(TOwnerRecord));
            whole.SetNodeDataSize(sizeof(TOwnerRecord));
            bool emptied = true;
            auto fill = [&] {
                singles.SetRootNodeCount(n);
                whole.SetRootNodeCount(n);
            };
            fill();
            auto pair = Alternate(
                rounds, [&] { whole.DeleteChildren(nullptr); },
                [&] {
                    while (PGridNode node = order.Pick(singles)) singles.DeleteNode(node);
                },
                [&] {
                    emptied = emptied && singles.RootNodeCount() == 0 && whole.RootNodeCount() == 0;
                    fill();
                });
            Report(Sized((std::string("N single deletes ") + order.Name + " vs DeleteChildren").c_str(), n), pair, 3,
                   emptied);
        }
    }
}

// 200,000 single-row appends outside any update bracket, each storing its record, with
// the message loop served every 64 rows; the baseline stores the same records with
// push_back and serves the message loop the same way.
void RunAppends(int rounds) {
    const uint32_t count = 200000;
    std::vector<TOwnerRecord> records(count);
    for (uint32_t i = 0; i < count; ++i) records[i] = {&records[i], nullptr, uint16_t(i)};
    TBaseGridTree tree;
    tree.SetClientSize(800, 600);
    tree.SetNodeDataSize(sizeof(TOwnerRecord));
    std::vector<TOwnerRecord> grown;
    bool same = true;
    auto pair = Alternate(
        rounds,
        [&] {
            for (uint32_t i = 0; i < count; ++i) {
                grown.push_back(records[i]);
                if (i % 64 == 0) Pump();
            }
        },
        [&] {
            for (uint32_t i = 0; i < count; ++i) {
                tree.SetRootNodeCount(tree.RootNodeCount() + 1);
                std::memcpy(tree.GetNodeData(tree.RootNode()->LastChildNode), &records[i], sizeof(TOwnerRecord));
                if (i % 64 == 0) Pump();
            }
        },
        [&] {
            // Both hold the same records in the same order; then the cache of the last
            // state is built (untimed) and both start empty again.
            uint32_t i = 0;
            for (PGridNode node = tree.GetFirstNoInit(); node; node = node->NextSiblingNode, ++i)
                same = same && i < grown.size() &&
                       std::memcmp(tree.GetNodeData(node), &grown[i], sizeof(TOwnerRecord)) == 0;
            same = same && i == count && grown.size() == count;
            PumpUntil([&] { return (tree.TreeStates() & tsUseCache) != 0; });
            grown = std::vector<TOwnerRecord>();
            tree.Clear();
        });
    Report("200,000 appends vs push_back, both serving messages every 64", pair, 20, same);
}

// --- painting and the wheel -------------------------------------------------------------

const wchar_t* const kColumnNames[] = {L"名前", L"種類", L"データ"};
constexpr int kColumnWidths[] = {180, 110, 300};

// The text of a cell, the same for the tree and the list view.
void CellText(uint32_t Row, int Column, wchar_t* Buffer, size_t Size) {
    switch (Column) {
        case 0: std::swprintf(Buffer, Size, L"値 %u", Row); break;
        case 1: std::wcsncpy(Buffer, Row % 2 ? L"REG_SZ" : L"REG_DWORD", Size); break;
        default: std::swprintf(Buffer, Size, L"0x%08x (%u) のデータ", Row * 2654435761u, Row); break;
    }
}

void SetUpStringTree(TCustomGridStringTree& Tree) {
    for (int i = 0; i < 3; ++i) {
        TGridTreeColumn* column = Tree.Header().Columns().Add();
        column->SetText(kColumnNames[i]);
        column->SetWidth(kColumnWidths[i]);
    }
    Tree.TreeOptions().SetSelectionOptions(toFullRowSelect);
    Tree.OnGetText = [](TBaseGridTree*, PGridNode Node, TColumnIndex Column, TGSTTextType, std::wstring& Text) {
        wchar_t buffer[64];
        CellText(Node->Index, Column, buffer, 64);
        Text = buffer;
    };
}

// The last page of a tree of N rows painted into a memory bitmap, 200 times; the times of
// the sizes are compared with each other. The sizes take turns in every round, so that
// the machine's drift falls on all of them alike.
void RunPaint(int rounds) {
    std::printf("painting the last page\n");
    const uint32_t sizes[] = {10000u, 100000u, 1000000u};
    std::unique_ptr<TCustomGridStringTree> trees[3];
    uint32_t firstRow[3];
    for (int i = 0; i < 3; ++i) {
        trees[i] = std::make_unique<TCustomGridStringTree>();
        TCustomGridStringTree& tree = *trees[i];
        SetUpStringTree(tree);
        tree.SetClientSize(600, 400);
        tree.SetRootNodeCount(sizes[i]);
        PumpUntil([&] { return (tree.TreeStates() & tsUseCache) != 0; });
        firstRow[i] = ~0u;
        tree.OnBeforeItemPaint = [&firstRow, i](TBaseGridTree*, classlib::TCanvas&, PGridNode Node, const RECT&, bool&) {
            firstRow[i] = std::min<uint32_t>(firstRow[i], Node->Index);
        };
    }
    classlib::TBitmap target(600, 400);
    bench::TSamples samples[3];
    for (int r = 0; r < 2 * rounds; ++r)
        for (int i = 0; i < 3; ++i) {
            TCustomGridStringTree& tree = *trees[i];
            const RECT window{0, tree.RangeY() - 400, 600, tree.RangeY()};
            samples[i].Times.push_back(bench::Seconds([&] {
                for (int k = 0; k < 200; ++k) tree.PaintTree(target.Canvas(), window, POINT{0, 0}, WindowPaintOptions);
            }));
        }
    bool right = true;
    for (int i = 0; i < 3; ++i) {
        // The rows painted are the last ones.
        right = right && firstRow[i] == sizes[i] - (400 + 17) / 18;
        std::printf("  200 paints of the last page, N = %-8u %10s ms (best %s ms)\n", sizes[i],
                    bench::Milliseconds(samples[i].Median()).c_str(), bench::Milliseconds(samples[i].Min()).c_str());
    }
    char detail[96];
    std::snprintf(detail, sizeof detail, "%s / %s / %s ms%s", bench::Milliseconds(samples[0].Median()).c_str(),
                  bench::Milliseconds(samples[1].Median()).c_str(), bench::Milliseconds(samples[2].Median()).c_str(),
                  right ? "" : "  WRONG ROWS");
    bench::ReportRatio("last page N = 10^6 against N = 10^4",
                       right ? samples[2].Median() / samples[0].Median() : 99, 1.2, detail);
}

// The list view's parent answers its text requests.
LRESULT CALLBACK ListParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NOTIFY) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(LParam);
        if (info->hdr.code == LVN_GETDISPINFOW && (info->item.mask & LVIF_TEXT))
            CellText(uint32_t(info->item.iItem), info->item.iSubItem, info->item.pszText, size_t(info->item.cchTextMax));
        return 0;
    }
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

// 100 wheel notches downwards, each painted at once, in a shown window: the tree against
// an owner-data list view of the same size, rows, columns and texts.
void RunWheel(int rounds) {
    std::printf("wheel\n");
    const uint32_t rows = 100000;
    const int notches = 100;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ListParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GridTreeBenchListParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, wc.lpszClassName, L"list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 460,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0, 620,
                                420, parent, nullptr, wc.hInstance, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(kColumnNames[i]);
        column.cx = kColumnWidths[i];
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetItemCountEx(list, rows, LVSICF_NOINVALIDATEALL);

    classlib::TForm form(nullptr);
    form.SetBounds(660, 0, 640, 460);
    auto* tree = new TGridStringTree(&form);
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 620, 420);
    tree->Header().SetOptions(tree->Header().Options() | hoVisible);
    SetUpStringTree(*tree);
    tree->SetRootNodeCount(rows);
    form.Show();
    PumpUntil([&] { return (tree->TreeStates() & tsUseCache) != 0; });
    Pump();

    const WPARAM down = MAKEWPARAM(0, WORD(-WHEEL_DELTA));
    auto wheel = [&](HWND Wnd) {
        for (int i = 0; i < notches; ++i) {
            SendMessageW(Wnd, WM_MOUSEWHEEL, down, MAKELPARAM(100, 100));
            UpdateWindow(Wnd);
        }
    };
    bool same = true;
    auto pair = Alternate(
        2 * rounds, [&] { wheel(list); }, [&] { wheel(tree->Handle()); },
        [&] {
            // Both moved by the same number of rows; then both go back to the top.
            const int listTop = int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
            PGridNode top = tree->GetTopNode();
            same = same && top && int(top->Index) == listTop && listTop > 0;
            ListView_EnsureVisible(list, 0, FALSE);
            tree->SetOffsetY(0);
            UpdateWindow(list);
            UpdateWindow(tree->Handle());
            Pump();
        });
    Report("100 wheel notches vs an owner-data list view, N = 100000", pair, 1.0, same);
    DestroyWindow(parent);
}

}  // namespace

int wmain() {
    std::vector<uint32_t> sizes{10000u, 100000u, 1000000u};
    if (__argc > 1) sizes = {uint32_t(_wtoi(__wargv[1]))};
    if (__argc > 1 && sizes[0] == 0) sizes.clear();
    const int rounds = bench::DefaultRounds;
    std::printf("grid tree benchmark, %d rounds\n", rounds);
    bench::PrintLegend();
    for (uint32_t n : sizes) RunSize(n, rounds);
    std::printf("sorting\n");
    for (uint32_t n : sizes) RunSort(n, rounds);
    std::printf("appends\n");
    RunAppends(rounds);
    {
        // The string trees and the form need the application object (pictures, fonts).
        classlib::TApplication application;
        RunPaint(rounds);
        RunWheel(rounds);
    }
    return bench::Finish();
}
