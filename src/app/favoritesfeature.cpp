#include "app/favoritesfeature.h"

#include "app/commandhost.h"
#include "app/mainactions.h"
#include "app/preparedpanel.h"
#include "classlib/form.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/wide/widestrings.h"
#include "favorites/favoritemanager.h"
#include "registry/files.h"
#include "registry/regtext.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"

#include <functional>

namespace app {

using classlib::TComponent;
using favorites::TVxRegFavoriteObj;
using wide::TWideTreeNode;
using enum TActionId;

namespace {

constexpr int kPanelHeight = 150;

const wchar_t* const kBrokenScriptText =
    L"このお気に入りのレジストリスクリプトは壊れているため、実行できません。";
const wchar_t* const kScriptNotRunText =
    L"レジストリエディタを起動できなかった（または既に実行中の）ため、レジストリスクリプトは実行されませんでした。";

}  // namespace

std::wstring FavoriteMenuCaption(const std::wstring& caption) {
    std::wstring shown;
    shown.reserve(caption.size());
    for (wchar_t c : caption) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return shown;
}

std::wstring RunFavoriteScriptQuestion(const std::wstring& caption) {
    return L"レジストリスクリプト" + caption + L"\r\nを実行しようとしています。\r\n"
           L"レジストリスクリプトの実行による書き換えにはアンドゥは動作しません。\r\n実行してよろしいですか？";
}

// The main window's questions as the favorites ask them.
class TFavoritesFeature::TQuestions final : public favorites::TFavoriteQuestions {
public:
    explicit TQuestions(TFavoritesHost& host) : FHost(host) {}
    bool AskYesNo(const std::wstring& text) override { return FHost.Questions().AskYesNo(text); }
    void ShowMessage(const std::wstring& text) override { FHost.Questions().ShowMessage(text); }
    bool InputText(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) override {
        return FHost.Questions().InputText(caption, prompt, value);
    }

private:
    TFavoritesHost& FHost;
};

TFavoritesFeature::TFavoritesFeature(const TFeatureContext& context, TFavoritesHost& host, std::wstring fileName)
    : FContext(context), FHost(host), FQuestions(std::make_unique<TQuestions>(host)),
      FFile(std::make_unique<favorites::TFavoritesFile>(std::move(fileName), *FQuestions)) {
    auto* panel = new TPreparedDockablePanel(&FContext.Form);
    FPanel = panel;
    FPanel->SetName(L"FavoriteDock");
    FPanel->SetCaption(L"お気に入り");
    FPanel->SetHideWhenInactive(false);
    FPanel->SetDefaultDockedHeight(kPanelHeight);
    FPanel->SetCurrentDock(FHost.PanelDock());
    FPanel->SetVisible(false);
    // However the panel comes to be shown (the view command, the layout file), its tree is
    // there when it shows.
    panel->BeforeShow = [this] { CreateTree(); };

    if (toolbar::TBarCustomItem* menu = FHost.FavoritesMenu())
        menu->OnPopup = [this](toolbar::TBarCustomItem*, bool) { FillMenu(); };
    TMainActionList& actions = FContext.Actions;
    actions.Action(aacEditFavorite)->OnExecute = [this](TComponent*) { ManageFavorites(); };
    actions.Action(aacNewFavorite)->OnExecute = [this](TComponent*) { AddCurrentKey(false); };
    actions.Action(aacNewFavoriteRegScript)->OnExecute = [this](TComponent*) { AddCurrentKey(true); };
}

TFavoritesFeature::~TFavoritesFeature() {
    static_cast<TPreparedDockablePanel*>(FPanel)->BeforeShow = nullptr;
    FreeMenuItems();
    if (toolbar::TBarCustomItem* menu = FHost.FavoritesMenu()) menu->OnPopup = nullptr;
    FModel.reset();
    delete FTree;
    delete FPanel;
}

void TFavoritesFeature::CreateTree() {
    if (FTree) return;
    FTree = new favorites::TFavoritesTreeView(&FContext.Form);
    FTree->SetName(L"FavoriteTree");
    FTree->SetParent(FPanel);
    FTree->SetAlign(classlib::alClient);
    FTree->SetImages(FContext.ToolBarImages);
    FTree->OnChange = [this](TComponent*, TWideTreeNode* node) {
        if (const TVxRegFavoriteObj* favorite = favorites::FavoriteOf(node)) FHost.ShowHint(favorite->FComment);
    };
    FTree->OnDblClick = [this](TComponent*) {
        if (const TVxRegFavoriteObj* favorite = favorites::FavoriteOf(FTree->Selected())) Execute(TVxRegFavoriteObj(*favorite));
    };
    FTree->OnDragOver = [this](TComponent*, TComponent* source, int x, int y, int, bool& accept) {
        TreeDragOver(source, x, y, accept);
    };
    FTree->OnDragDrop = [this](TComponent*, TComponent* source, int x, int y) { TreeDragDrop(source, x, y); };
    FModel = std::make_unique<favorites::TFavoriteManagerModel>(*FTree, *FFile);
    ApplyOptions();
    Reload();
}

void TFavoritesFeature::Reload() {
    if (!FTree) return;
    FFile->Load(*FTree);
    if (TWideTreeNode* first = FTree->Items().GetFirstNode(); first && FTree->HandleAllocated()) FTree->SetTopItem(first);
}

void TFavoritesFeature::ApplyOptions() {
    if (!FTree) return;
    const TMainOptions& options = FHost.Options();
    FTree->SetColor(options.ColorControlBack);
    FTree->Font().SetColor(options.ColorControlText);
    ApplyFontOptions(options.Font, FTree->Font());
}

// --- the panel's drags -----------------------------------------------------------------------

std::optional<TFavoriteKeyProposal> TFavoritesFeature::Proposal(TComponent* source) {
    if (auto* keys = dynamic_cast<views::TVxRegTreeView*>(source)) {
        const std::optional<registry::TVxRegKeyClass> key = keys->GetSelectedKey();
        if (!key) return std::nullopt;
        return TFavoriteKeyProposal{key->FDisplayName, key->FFullPath};
    }
    if (auto* values = dynamic_cast<views::TVxRegListView*>(source)) {
        const registry::TVxRegValueClass* value = values->GetSelectedValue();
        if (!value) return std::nullopt;
        return TFavoriteKeyProposal{value->FValueName, value->FFullPath};
    }
    return FHost.TabStripKey(source);
}

void TFavoritesFeature::TreeDragOver(TComponent* source, int x, int y, bool& accept) {
    if (source == FTree) {
        accept = favorites::CanDropFavorite(FTree->Selected(), FTree->GetNodeAt(x, y));
        return;
    }
    accept = dynamic_cast<views::TVxRegTreeView*>(source) || dynamic_cast<views::TVxRegListView*>(source) ||
             FHost.TabStripKey(source).has_value();
}

void TFavoritesFeature::TreeDragDrop(TComponent* source, int x, int y) {
    TWideTreeNode* target = FTree->GetNodeAt(x, y);
    if (source == FTree) {
        if (target) FModel->Drop(FTree->Selected(), target);
        return;
    }
    const std::optional<TFavoriteKeyProposal> proposal = Proposal(source);
    if (!proposal) return;
    auto favorite = std::make_unique<TVxRegFavoriteObj>();
    favorite->FCaption = proposal->Caption;
    favorite->FTarget = proposal->Path;
    favorite->FKind = favorites::fkKey;
    FModel->Add(std::move(favorite), target);
}

// --- running ---------------------------------------------------------------------------------

void TFavoritesFeature::Execute(const TVxRegFavoriteObj& favorite) {
    switch (favorite.FKind) {
    case favorites::fkKey: FHost.JumpTo(favorite.FTarget); break;
    case favorites::fkScript: RunScript(favorite); break;
    case favorites::fkShellOpen: FHost.OpenWithShell(favorite.FTarget); break;
    default: break;  // a folder does nothing
    }
}

void TFavoritesFeature::RunScript(const TVxRegFavoriteObj& favorite) {
    TCommandHost& questions = FHost.Questions();
    std::wstring script;
    if (!favorites::DecodeFavoriteScript(favorite.FScript, script)) {
        questions.ShowMessage(kBrokenScriptText);
        return;
    }
    if (!FHost.Options().SetNoAllMessage && !questions.AskYesNo(RunFavoriteScriptQuestion(favorite.FCaption))) return;
    const std::wstring file = registry::MakeTempFileNameInTempDir(L"reg", L".reg");
    if (file.empty()) {
        questions.ShowMessage(L"一時ファイルを作成できないため、レジストリスクリプトを実行できません。");
        return;
    }
    // The script lives in "Favorite.db": its temporary copy goes however the run ends.
    const auto removeFile = classlib::ScopeExit([&] { DeleteFileW(file.c_str()); });
    try {
        wide::TWideStringList lines;
        lines.SetTextStr(script);
        lines.SaveToFile(file);
    } catch (const classlib::Exception& e) {
        questions.ShowMessage(e.Message());
        return;
    }
    if (!FHost.ImportScript(file)) {
        questions.ShowMessage(kScriptNotRunText);
        return;
    }
    FHost.RefreshAllWindows();
    if (!favorite.FJumpKey.empty()) FHost.JumpTo(favorite.FJumpKey);
}

// --- the commands ------------------------------------------------------------------------------

favorites::TFavoriteManagerContext TFavoritesFeature::ManagerContext() {
    favorites::TFavoriteManagerContext context;
    context.Images = FContext.ToolBarImages;
    context.Dialogs.KeyImages = FContext.RegTreeImages;
    context.Dialogs.TextEditor = FHost.Options().SetRegTextEditor;
    return context;
}

void TFavoritesFeature::ManageFavorites() {
    ui::ShowModalForm<favorites::TFavoriteManagerForm>(&FContext.Form, {}, {}, *FFile, ManagerContext());
    Reload();
}

void TFavoritesFeature::AddCurrentKey(bool asScript) {
    const std::optional<registry::TVxRegKeyClass> key = FHost.SelectedKey();
    if (!key) return;
    {
        // Made without being shown, only for the adding; no owner, so this is its one holder.
        const auto manager = std::make_unique<favorites::TFavoriteManagerForm>(nullptr, *FFile, ManagerContext());
        if (asScript)
            manager->AddScriptFavorite(registry::BuildKeyRegScript(*key), key->FFullPath);
        else
            manager->AddKeyFavorite(key->FDisplayName, key->FFullPath);
    }
    Reload();
}

// --- the menu ----------------------------------------------------------------------------------

void TFavoritesFeature::FreeMenuItems() {
    toolbar::TBarCustomItem* menu = FHost.FavoritesMenu();
    if (!menu) return;
    // Generated items carry a tag; their own items go with them.
    for (int i = menu->Count() - 1; i >= 0; --i)
        if (menu->Items(i)->Tag() != 0) delete menu->Items(i);
}

void TFavoritesFeature::FillMenu() {
    FreeMenuItems();
    toolbar::TBarCustomItem* menu = FHost.FavoritesMenu();
    if (!menu) return;
    FMenuEntries = FFile->Read();
    FMenuEnds = favorites::FavoriteSubtreeEnds(FMenuEntries);
    AddMenuItems(*menu, 0, FMenuEntries.size());
}

void TFavoritesFeature::AddMenuItems(toolbar::TBarCustomItem& parent, size_t first, size_t end) {
    for (size_t i = first; i < end; i = FMenuEnds[i]) {
        const TVxRegFavoriteObj& favorite = FMenuEntries[i].Favorite;
        // An entry with entries below it opens them; any other (an empty folder too) runs.
        const bool opens = FMenuEnds[i] > i + 1;
        ui::TUiItem* item = opens ? new ui::TUiSubmenuItem(nullptr) : new ui::TUiItem(nullptr);
        item->SetTag(static_cast<intptr_t>(i) + 1);
        item->SetCaption(FavoriteMenuCaption(favorite.FCaption));
        item->SetHint(favorite.FComment);
        if (const int image = favorites::FavoriteImageIndex(favorite.FKind); image >= 0) item->SetImageIndex(image);
        if (opens) {
            item->OnPopup = [this, item, i](toolbar::TBarCustomItem*, bool) {
                if (item->Count() == 0) AddMenuItems(*item, i + 1, FMenuEnds[i]);
            };
        } else {
            item->SetOnClick([this, i](TComponent*) { RunMenuEntry(i); });
        }
        parent.Add(item);
    }
}

void TFavoritesFeature::RunMenuEntry(size_t index) {
    if (index >= FMenuEntries.size()) return;
    Execute(TVxRegFavoriteObj(FMenuEntries[index].Favorite));
}

}  // namespace app
