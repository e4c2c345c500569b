// Favorites benchmark: saving, clearing and loading a favorites tree must take time linear in
// its size, whatever its shape (a flat list, one deep chain, a bushy tree); the Favorites menu
// and the manager's moves must cost no more than the file work they cannot avoid.
//
// Each figure is a like-for-like ratio measured in the same run: the operation on 80,000
// favorites against the same operation on four trees of 20,000 (the same number of
// favorites handled); a linear operation gives about 1, a quadratic one about 4. Saving is
// also set against writing the same lines with the string list alone. Opening the Favorites
// menu on 20,000 favorites (the file read, the items of the first level made) is set against
// loading the same file into the panel's tree; one "上へ移動" among 80,000 favorites (the move
// and the file written) against writing the same tree. Each pair runs alternately for several
// rounds; best and median are printed, the median decides.
//
// Usage: favorites_bench.exe [rounds]
#include "app/commandhost.h"
#include "app/favoritesfeature.h"
#include "app/mainactions.h"
#include "app/menubuilder.h"
#include "classlib/application.h"
#include "classlib/form.h"
#include "common/bench_common.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/wide/widestrings.h"
#include "controls/wide/widetreeview.h"
#include "favorites/favoritemanager.h"
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

// The file of the menu's comparison: `count` favorites in folders of a hundred at the top
// level; inside them keys, empty folders, and keys one level deeper still.
std::vector<std::wstring> MenuLines(int count) {
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; static_cast<int>(lines.size()) < count; ++i) {
        const int level = i % 100 == 0 ? 0 : i % 10 == 0 ? 1 : i % 10 == 5 ? 2 : 1;
        const bool folder = i % 10 == 0;
        lines.push_back(std::to_wstring(level) + L"\tお気に入り" + std::to_wstring(i) + L"\t" +
                        (folder ? L"" : L"HKEY_CURRENT_USER\\Software\\Wendlar\\" + std::to_wstring(i)) + L"\t\t" +
                        (folder ? L"2" : L"0") + L"\t\t\t");
    }
    return lines;
}

// The main window as far as the Favorites menu needs it: the menu with its fixed items and a
// dock; nothing is ever run.
class TMenuHost final : public app::TFavoritesHost, private app::TCommandHost {
public:
    TMenuHost(classlib::TForm& form, app::TMainActionList& actions) {
        FDock = new ui::TUiMultiDock(&form);
        FDock->SetPosition(ui::dpxBottom);
        FDock->SetParent(&form);
        auto* menu = new ui::TUiSubmenuItem(&form);
        app::BuildBarItems(*menu, &form, L"MenuFavorite", actions);
        FMenu = menu;
    }
    // The generated items of the menu's first level.
    int Generated() const {
        int count = 0;
        for (int i = 0; i < FMenu->Count(); ++i) count += FMenu->Items(i)->Tag() != 0;
        return count;
    }

    toolbar::TBarDock* PanelDock() override { return FDock; }
    toolbar::TBarCustomItem* FavoritesMenu() override { return FMenu; }
    std::optional<registry::TVxRegKeyClass> SelectedKey() override { return std::nullopt; }
    void JumpTo(const std::wstring&) override {}
    void RefreshAllWindows() override {}
    app::TCommandHost& Questions() override { return *this; }
    const app::TMainOptions& Options() override { return FOptions; }
    void ShowHint(const std::wstring&) override {}
    bool ImportScript(const std::wstring&) override { return false; }
    void OpenWithShell(const std::wstring&) override {}
    std::optional<app::TFavoriteKeyProposal> TabStripKey(classlib::TComponent*) override { return std::nullopt; }

private:
    bool AskYesNo(const std::wstring&) override { return false; }
    bool InputText(const std::wstring&, const std::wstring&, std::wstring&) override { return false; }
    void ShowMessage(const std::wstring& text) override { std::printf("message: %ls\n", text.c_str()); }
    void RefreshKeyTree() override {}
    void RefreshValueList() override {}
    void ExpandAllBelowSelected() override {}
    void SetClipboardText(const std::wstring&) override {}
    void ShowToolPage(int) override {}
    bool Progress(size_t) override { return true; }

    ui::TUiMultiDock* FDock = nullptr;
    toolbar::TBarCustomItem* FMenu = nullptr;
    app::TMainOptions FOptions;
};

class TSilentQuestions final : public TFavoriteQuestions {
public:
    bool AskYesNo(const std::wstring&) override { return false; }
    void ShowMessage(const std::wstring& text) override { std::printf("message: %ls\n", text.c_str()); }
    bool InputText(const std::wstring&, const std::wstring&, std::wstring&) override { return false; }
};

void RunMenuAndMove(const std::wstring& dir, int rounds) {
    classlib::TApplication application;
    classlib::TForm form(nullptr);
    form.SetBounds(0, 0, 600, 500);
    form.Show();
    auto* actions = new app::TMainActionList(&form);
    const app::TFeatureContext context{form, *actions};
    TMenuHost host(form, *actions);
    TSilentQuestions questions;

    // The menu: read the file and make its first level, against the file read into the
    // panel's tree (a tree with a window, as the panel's).
    std::printf("the Favorites menu\n");
    const std::wstring menuFile = dir + L"\\menu.db";
    const std::vector<std::wstring> menuLines = MenuLines(kSmall);
    WriteFile(menuFile, menuLines);
    int topLevel = 0;
    for (const std::wstring& line : menuLines) topLevel += line.rfind(L"0\t", 0) == 0;
    {
        app::TFavoritesFeature feature(context, host, menuFile);
        auto* panel = new TFavoritesTreeView(&form);
        panel->SetParent(&form);
        panel->SetAlign(classlib::alClient);
        TFavoritesFile file(menuFile, questions);
        Compare("  menu opening 20,000 vs panel loading 20,000", 1.5, rounds, [] {},
                [&] { file.Load(*panel); }, [&] { feature.FillMenu(); },
                [&](bool ours) { return ours ? host.Generated() == topLevel : panel->Items().Count() == kSmall; });
        delete panel;
    }

    // One "上へ移動" among 80,000 favorites in the manager's tree, against writing that tree.
    std::printf("the manager\n");
    const std::wstring managerFile = dir + L"\\manager.db";
    WriteFile(managerFile, MakeLines(TShape::Flat, kBig));
    auto* tree = new TFavoritesTreeView(&form);
    tree->SetParent(&form);
    tree->SetAlign(classlib::alClient);
    TFavoritesFile file(managerFile, questions);
    file.Load(*tree);
    TFavoriteManagerModel model(*tree, file);
    // The node moved up each round: from the middle towards the top.
    wide::TWideTreeNode* node = tree->Items().Item(kBig / 2);
    int position = kBig / 2;
    Compare("  上へ移動 among 80,000 vs SaveFavorites 80,000", 1.2, rounds, [] {},
            [&] { SaveFavorites(*tree, managerFile); },
            [&] {
                if (model.Up(node)) --position;
            },
            [&](bool ours) {
                TWideStringList read;
                read.LoadFromFile(managerFile);
                return read.Count() == kBig && (!ours || node->Index() == position);
            });
    delete tree;
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
    RunMenuAndMove(dir, rounds);

    for (const wchar_t* f : {L"\\small.db", L"\\big.db", L"\\out.db", L"\\menu.db", L"\\manager.db"})
        DeleteFileW((dir + f).c_str());
    RemoveDirectoryW(dir.c_str());
    return bench::Finish();
}
