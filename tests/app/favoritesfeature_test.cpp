// The favorites of the main window with the window played by a host: the menu's generated
// entries, and running a script favorite (its question, its temporary file, what follows a
// run that could not start).
#include <gtest/gtest.h>

#include "app/commandhost.h"
#include "app/favoritesfeature.h"
#include "app/mainactions.h"
#include "app/menubuilder.h"
#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace app;
using favorites::TVxRegFavoriteObj;

namespace {

// The main window's questions: every question answered with `Yes`, messages kept.
struct ScriptedQuestions final : TCommandHost {
    bool Yes = true;
    std::vector<std::wstring> Asked, Told;
    bool AskYesNo(const std::wstring& text) override {
        Asked.push_back(text);
        return Yes;
    }
    bool InputText(const std::wstring&, const std::wstring&, std::wstring&) override { return false; }
    void ShowMessage(const std::wstring& text) override { Told.push_back(text); }
    void RefreshKeyTree() override {}
    void RefreshValueList() override {}
    void RefreshAllWindows() override {}
    void ExpandAllBelowSelected() override {}
    void SetClipboardText(const std::wstring&) override {}
    void ShowToolPage(int) override {}
    bool Progress(size_t) override { return true; }
};

// The main window for the favorites: a dock, the Favorites menu with its fixed items, and a
// record of what the favorites did.
struct Host final : TFavoritesHost {
    classlib::TForm* Form = nullptr;
    ui::TUiMultiDock* Dock = nullptr;
    toolbar::TBarCustomItem* Menu = nullptr;
    ScriptedQuestions Asked;
    TMainOptions Settings;
    bool ImportRuns = true;
    // Each import: the file and what it held then.
    std::vector<std::pair<std::wstring, std::wstring>> Imports;
    std::vector<std::wstring> Jumps, Opened;
    int Refreshes = 0;

    toolbar::TBarDock* PanelDock() override { return Dock; }
    toolbar::TBarCustomItem* FavoritesMenu() override { return Menu; }
    std::optional<registry::TVxRegKeyClass> SelectedKey() override { return std::nullopt; }
    void JumpTo(const std::wstring& path) override { Jumps.push_back(path); }
    void RefreshAllWindows() override { ++Refreshes; }
    TCommandHost& Questions() override { return Asked; }
    const TMainOptions& Options() override { return Settings; }
    void ShowHint(const std::wstring&) override {}
    bool ImportScript(const std::wstring& fileName) override {
        wide::TWideStringList lines;
        lines.LoadFromFile(fileName);
        Imports.push_back({fileName, lines.GetTextStr()});
        return ImportRuns;
    }
    void OpenWithShell(const std::wstring& target) override { Opened.push_back(target); }
    std::optional<TFavoriteKeyProposal> TabStripKey(classlib::TComponent*) override { return std::nullopt; }
};

struct Favorites {
    testsupport::ScratchDir Dir;
    std::wstring FileName = Dir.File(L"Favorite.db");
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TMainActionList* Actions = new TMainActionList(Form.get());
    TFeatureContext Context{*Form, *Actions};
    Host H;
    std::unique_ptr<TFavoritesFeature> Feature;

    explicit Favorites(const std::vector<std::wstring>& lines = {}) {
        wide::TWideStringList file;
        for (const std::wstring& line : lines) file.Add(line);
        file.SaveToFile(FileName);
        H.Dock = new ui::TUiMultiDock(Form.get());
        H.Dock->SetPosition(ui::dpxBottom);
        H.Dock->SetParent(Form.get());
        auto* menu = new ui::TUiSubmenuItem(Form.get());
        BuildBarItems(*menu, Form.get(), L"MenuFavorite", *Actions);
        H.Menu = menu;
        Feature = std::make_unique<TFavoritesFeature>(Context, H, FileName);
    }
    ~Favorites() { Feature.reset(); }

    // The generated items of a menu level: caption, whether it opens a submenu.
    static std::vector<std::pair<std::wstring, bool>> Generated(toolbar::TBarCustomItem& level) {
        std::vector<std::pair<std::wstring, bool>> items;
        for (int i = 0; i < level.Count(); ++i)
            if (toolbar::TBarCustomItem* item = level.Items(i); item->Tag() != 0)
                items.push_back({item->Caption(), dynamic_cast<ui::TUiSubmenuItem*>(item) != nullptr});
        return items;
    }
};

std::wstring Line(int level, const std::wstring& caption, int kind, const std::wstring& target = L"",
                  const std::wstring& script = L"", const std::wstring& jumpKey = L"") {
    return std::to_wstring(level) + L"\t" + caption + L"\t" + target + L"\t\t" + std::to_wstring(kind) + L"\t" +
           script + L"\t" + jumpKey + L"\t";
}

using Items = std::vector<std::pair<std::wstring, bool>>;

}  // namespace

// Levels 0, 1, 1, 0: a submenu "Tools" with two items, then one item; an empty folder is a
// plain item; captions show "&" as it is. A folder's items are made when it opens; each
// opening of the menu starts from the file again.
TEST(FavoritesFeature, MenuIsMadeFromTheFileLevelByLevel) {
    Favorites f({Line(0, L"Tools", 2), Line(1, L"Run", 0, L"HKEY_CURRENT_USER\\Software"),
                 Line(1, L"Wine", 0, L"HKEY_CURRENT_USER\\Software\\Wine"), Line(0, L"A & B", 0, L"HKEY_USERS"),
                 Line(0, L"Empty", 2)});
    toolbar::TBarCustomItem& menu = *f.H.Menu;
    const int fixed = menu.Count();
    ASSERT_GT(fixed, 0);
    for (int round = 0; round < 2; ++round) {
        f.Feature->FillMenu();
        EXPECT_EQ(Favorites::Generated(menu), (Items{{L"Tools", true}, {L"A && B", false}, {L"Empty", false}}));
        EXPECT_EQ(menu.Count(), fixed + 3);
        for (int i = 0; i < fixed; ++i) EXPECT_EQ(menu.Items(i)->Tag(), 0) << "the fixed items come first";
    }
    toolbar::TBarCustomItem* tools = menu.Items(fixed);
    EXPECT_EQ(tools->Count(), 0) << "a folder's items wait until it opens";
    tools->OnPopup(tools, false);
    tools->OnPopup(tools, false);
    EXPECT_EQ(Favorites::Generated(*tools), (Items{{L"Run", false}, {L"Wine", false}}));
    EXPECT_EQ(tools->Items(1)->ImageIndex(), favorites::FavoriteImageIndex(favorites::fkKey));
    tools->Items(1)->Click();
    menu.Items(fixed + 2)->Click();  // the empty folder does nothing
    EXPECT_EQ(f.H.Jumps, std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\Wine"});

    // The file changed: the next opening shows it.
    wide::TWideStringList lines;
    lines.Add(Line(0, L"Only", 3, L"https://example.invalid/"));
    lines.SaveToFile(f.FileName);
    f.Feature->FillMenu();
    EXPECT_EQ(Favorites::Generated(menu), (Items{{L"Only", false}}));
    menu.Items(fixed)->Click();
    EXPECT_EQ(f.H.Opened, std::vector<std::wstring>{L"https://example.invalid/"});
}

// A script favorite: asked first (not with "SetNoAllMessage"), imported from a temporary
// ".reg" file holding the script, which is gone afterwards whatever happened; then every
// window is read again and the jump key shown. An import that could not run is told and
// shows nothing; a script field that is not whole is neither asked about nor run.
TEST(FavoritesFeature, ScriptsRunFromATemporaryFileThatGoes) {
    const std::wstring script = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\テスト]\r\n";
    TVxRegFavoriteObj favorite;
    favorite.FCaption = L"スクリプト";
    favorite.FKind = favorites::fkScript;
    favorite.FScript = favorites::FavoriteScriptToHex(script);
    favorite.FJumpKey = L"HKEY_CURRENT_USER\\Software";
    struct Case {
        const char* what;
        bool noAllMessage, answer, importRuns;
        size_t questions, imports;
        bool jumped;
    } cases[] = {
        {"asked, yes, run", false, true, true, 1, 1, true},
        {"asked, no", false, false, true, 1, 0, false},
        {"not asked", true, false, true, 0, 1, true},
        {"the import could not run", false, true, false, 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Favorites f;
        f.H.Settings.SetNoAllMessage = c.noAllMessage;
        f.H.Asked.Yes = c.answer;
        f.H.ImportRuns = c.importRuns;
        f.Feature->Execute(favorite);
        ASSERT_EQ(f.H.Asked.Asked.size(), c.questions);
        if (c.questions) EXPECT_EQ(f.H.Asked.Asked[0], RunFavoriteScriptQuestion(L"スクリプト"));
        ASSERT_EQ(f.H.Imports.size(), c.imports);
        if (c.imports) {
            const auto& [file, text] = f.H.Imports[0];
            EXPECT_EQ(text, script);
            EXPECT_EQ(file.substr(file.size() - 4), L".reg");
            EXPECT_FALSE(wide::WideFileExists(file)) << "the temporary script is left behind";
        }
        EXPECT_EQ(f.H.Refreshes, c.jumped ? 1 : 0);
        EXPECT_EQ(f.H.Jumps, c.jumped ? std::vector<std::wstring>{favorite.FJumpKey} : std::vector<std::wstring>{});
        EXPECT_EQ(f.H.Asked.Told.size(), !c.importRuns ? 1u : 0u);
    }

    Favorites f;
    TVxRegFavoriteObj broken = favorite;
    broken.FScript.pop_back();
    f.Feature->Execute(broken);
    EXPECT_TRUE(f.H.Asked.Asked.empty());
    EXPECT_TRUE(f.H.Imports.empty());
    EXPECT_EQ(f.H.Asked.Told.size(), 1u);
}
