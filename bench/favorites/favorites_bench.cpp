// Favorites benchmark: saving, clearing and loading a favorites tree must take time linear in
// its size, whatever its shape (a flat list, one deep chain, a bushy tree).
//
// Each figure is a like-for-like ratio measured in the same run: the operation on 80,000
// favorites against the same operation on four trees of 20,000 (the same number of
// favorites handled); a linear operation gives about 1, a quadratic one about 4. Saving is
// also set against writing the same lines with the string list alone. Each pair runs
// alternately a few times and the best time of each side counts.
//
// Usage: favorites_bench.exe [rounds]
#include "controls/wide/widestrings.h"
#include "controls/wide/widetreeview.h"
#include "favorites/favorites.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace wide;
using namespace favorites;

namespace {

constexpr int kSmall = 20000;
constexpr int kBig = 80000;

double Seconds(const std::function<void()>& body) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    body();
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

bool gAllWithinAim = true;

// `prepare` runs untimed before each timed side.
void Compare(const char* what, const char* baseName, double aim, int rounds, const std::function<void()>& prepare,
             const std::function<void()>& base, const std::function<void()>& ours) {
    double bestBase = 1e30, bestOurs = 1e30;
    for (int r = 0; r < rounds; ++r) {
        prepare();
        bestBase = std::min(bestBase, Seconds(base));
        prepare();
        bestOurs = std::min(bestOurs, Seconds(ours));
    }
    const double ratio = bestBase > 0 ? bestOurs / bestBase : 0;
    const bool ok = ratio <= aim;
    gAllWithinAim = gAllWithinAim && ok;
    std::printf("  %-34s ours %8.1f ms  %-26s %8.1f ms  ratio %5.2f  (aim <= %.1f)  %s\n", what, bestOurs * 1000,
                baseName, bestBase * 1000, ratio, aim, ok ? "ok" : "OVER");
    std::fflush(stdout);
}

enum class TShape { Flat, Chain, Bushy };

// The lines of a favorites file of `count` favorites in the given shape.
std::vector<std::wstring> MakeLines(TShape shape, int count) {
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int level = 0;
        if (shape == TShape::Chain) level = i;
        if (shape == TShape::Bushy) {
            // Levels from the low base-4 digits of i: many small subtrees of several depths.
            for (int v = i; v % 4 != 0; v /= 4) ++level;
        }
        lines.push_back(std::to_wstring(level) + L"\tお気に入り" + std::to_wstring(i) +
                        L"\tHKEY_CURRENT_USER\\Software\\Wendlar\\" + std::to_wstring(i) + L"\tコメント\t0\t\t\t");
    }
    return lines;
}

void WriteFile(const std::wstring& file, const std::vector<std::wstring>& lines) {
    TWideStringList list;
    for (const std::wstring& l : lines) list.Add(l);
    list.SaveToFile(file);
}

struct TTrees {
    std::vector<std::unique_ptr<wide::TWideTreeView>> Views;
    void Fill(int trees, const std::wstring& file) {
        Clear();
        for (int i = 0; i < trees; ++i) {
            Views.push_back(std::make_unique<wide::TWideTreeView>(nullptr));
            LoadFavorites(*Views.back(), file);
        }
    }
    void Clear() {
        for (auto& v : Views) ClearFavoritesTree(*v);
        Views.clear();
    }
    int Nodes() const {
        int n = 0;
        for (const auto& v : Views) n += v->Items().Count();
        return n;
    }
};

void Check(bool ok, const char* what) {
    if (ok) return;
    std::printf("FAILED: %s\n", what);
    std::exit(1);
}

void RunShape(const char* name, TShape shape, const std::wstring& dir, int rounds) {
    std::printf("%s\n", name);
    const std::wstring smallFile = dir + L"\\small.db", bigFile = dir + L"\\big.db", out = dir + L"\\out.db";
    const std::vector<std::wstring> smallLines = MakeLines(shape, kSmall), bigLines = MakeLines(shape, kBig);
    WriteFile(smallFile, smallLines);
    WriteFile(bigFile, bigLines);

    TTrees small, big;
    auto fillBoth = [&] {
        small.Fill(kBig / kSmall, smallFile);
        big.Fill(1, bigFile);
        Check(small.Nodes() == kBig && big.Nodes() == kBig, "both sides hold all favorites");
    };

    // Saving: both sides write every favorite; the files must be what was read.
    fillBoth();
    Compare("SaveFavorites 80,000", "4 x SaveFavorites 20,000", 1.5, rounds, [] {},
            [&] { for (auto& v : small.Views) SaveFavorites(*v, out); },
            [&] { SaveFavorites(*big.Views.front(), out); });
    {
        TWideStringList read;
        read.LoadFromFile(out);
        // The levels are written as the depths the favorites were placed at; the rest of
        // each line is as read.
        auto fields = [](const std::wstring& line) { return line.substr(line.find(L'\t')); };
        Check(read.Count() == kBig && fields(read.Get(kBig - 1)) == fields(bigLines.back()),
              "the saved file holds the lines read");
    }
    Compare("SaveFavorites 80,000", "string list save, same lines", 2.0, rounds, [] {},
            [&] { WriteFile(out, bigLines); },
            [&] { SaveFavorites(*big.Views.front(), out); });

    // Clearing: a fresh pair of trees before each side.
    Compare("ClearFavoritesTree 80,000", "4 x ClearFavoritesTree 20,000", 1.5, rounds, fillBoth,
            [&] { for (auto& v : small.Views) ClearFavoritesTree(*v); },
            [&] { ClearFavoritesTree(*big.Views.front()); });
    Check(big.Nodes() == 0, "clearing leaves no nodes");
    for (auto& v : small.Views) ClearFavoritesTree(*v);
    Check(small.Nodes() == 0, "clearing leaves no nodes");

    // Loading, for completeness.
    Compare("LoadFavorites 80,000", "4 x LoadFavorites 20,000", 1.5, rounds, [&] { small.Clear(); big.Clear(); },
            [&] { small.Fill(kBig / kSmall, smallFile); },
            [&] { big.Fill(1, bigFile); });
    Check(big.Nodes() == kBig, "loading reads all favorites");
    small.Fill(kBig / kSmall, smallFile);
    Check(small.Nodes() == kBig, "loading reads all favorites");
    small.Clear();
    big.Clear();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"WendlarFavoritesBench" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);

    std::printf("ratio = ours / baseline; 1 is linear, 4 would be quadratic\n");
    RunShape("flat list", TShape::Flat, dir, rounds);
    RunShape("one chain, each favorite a level below the one before", TShape::Chain, dir, rounds);
    RunShape("bushy tree", TShape::Bushy, dir, rounds);

    for (const wchar_t* f : {L"\\small.db", L"\\big.db", L"\\out.db"}) DeleteFileW((dir + f).c_str());
    RemoveDirectoryW(dir.c_str());
    std::printf("verdict: %s\n", gAllWithinAim ? "all within aim" : "some OVER aim");
    return 0;
}
