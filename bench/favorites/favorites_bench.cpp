// Favorites benchmark: saving, clearing and loading a favorites tree must take time linear in
// its size, whatever its shape (a flat list, one deep chain, a bushy tree).
//
// Each figure is a like-for-like ratio measured in the same run: the operation on 80,000
// favorites against the same operation on four trees of 20,000 (the same number of
// favorites handled); a linear operation gives about 1, a quadratic one about 4. Saving is
// also set against writing the same lines with the string list alone. Each pair runs
// alternately for several rounds; best and median are printed, the median decides.
//
// Usage: favorites_bench.exe [rounds]
#include "common/bench_common.h"
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

// `prepare` runs untimed before each timed side, `check` untimed after it: the result it
// left must be the one wanted (false for the baseline's side, true for ours).
void Compare(const std::string& what, double aim, int rounds, const std::function<void()>& prepare,
             const std::function<void()>& base, const std::function<void()>& ours,
             const std::function<bool(bool ours)>& check) {
    bench::TPair pair;
    bool correct = true;
    for (int r = 0; r < rounds; ++r) {
        prepare();
        pair.Base.Times.push_back(bench::Seconds(base));
        correct = correct && check(false);
        prepare();
        pair.Ours.Times.push_back(bench::Seconds(ours));
        correct = correct && check(true);
    }
    bench::Report(what, pair, aim, correct);
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
    std::vector<std::unique_ptr<TFavoritesTreeView>> Views;
    void Fill(int trees, const std::wstring& file) {
        Clear();
        for (int i = 0; i < trees; ++i) {
            Views.push_back(std::make_unique<TFavoritesTreeView>(nullptr));
            LoadFavorites(*Views.back(), file);
        }
    }
    void Clear() {
        for (auto& v : Views) v->Items().Clear();
        Views.clear();
    }
    int Nodes() const {
        int n = 0;
        for (const auto& v : Views) n += v->Items().Count();
        return n;
    }
};

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
    };

    // Saving: both sides write every favorite; the file must hold the lines read (the
    // levels are written as the depths the favorites were placed at, the rest as read).
    fillBoth();
    auto savedAsRead = [&](const std::vector<std::wstring>& lines) {
        TWideStringList read;
        read.LoadFromFile(out);
        auto fields = [](const std::wstring& line) { return line.substr(line.find(L'\t')); };
        return read.Count() == int(lines.size()) && fields(read.Get(read.Count() - 1)) == fields(lines.back());
    };
    Compare("  SaveFavorites 80,000 vs 4 x SaveFavorites 20,000", 1.5, rounds, [] {},
            [&] { for (auto& v : small.Views) SaveFavorites(*v, out); },
            [&] { SaveFavorites(*big.Views.front(), out); },
            [&](bool ours) { return savedAsRead(ours ? bigLines : smallLines); });
    Compare("  SaveFavorites 80,000 vs string list save, same lines", 2.0, rounds, [] {},
            [&] { WriteFile(out, bigLines); },
            [&] { SaveFavorites(*big.Views.front(), out); }, [&](bool) { return savedAsRead(bigLines); });

    // Clearing: a fresh pair of trees before each side.
    Compare("  clearing 80,000 vs 4 x clearing 20,000", 1.5, rounds, fillBoth,
            [&] { for (auto& v : small.Views) v->Items().Clear(); },
            [&] { big.Views.front()->Items().Clear(); },
            [&](bool ours) { return (ours ? big : small).Nodes() == 0; });

    // Loading, for completeness.
    Compare("  LoadFavorites 80,000 vs 4 x LoadFavorites 20,000", 1.5, rounds, [&] { small.Clear(); big.Clear(); },
            [&] { small.Fill(kBig / kSmall, smallFile); },
            [&] { big.Fill(1, bigFile); }, [&](bool ours) { return (ours ? big : small).Nodes() == kBig; });
    small.Clear();
    big.Clear();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : bench::DefaultRounds;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"WendlarFavoritesBench" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);

    std::printf("favorites benchmark, %d rounds; 80,000 favorites against four times 20,000: 1 is linear, 4 "
                "would be quadratic\n", rounds);
    bench::PrintLegend();
    RunShape("flat list", TShape::Flat, dir, rounds);
    RunShape("one chain, each favorite a level below the one before", TShape::Chain, dir, rounds);
    RunShape("bushy tree", TShape::Bushy, dir, rounds);

    for (const wchar_t* f : {L"\\small.db", L"\\big.db", L"\\out.db"}) DeleteFileW((dir + f).c_str());
    RemoveDirectoryW(dir.c_str());
    return bench::Finish();
}
