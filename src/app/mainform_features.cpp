// The main window's features and their hosts: the tool panel, the searches, the undo and
// clipboard pages, the address history, the tool commands, the user toolbars, the settings
// command and the favorites are made here and answered here, each through its own host
// interface; the window itself only routes to them (see featurehost.h).
#include "app/mainform.h"

#include "app/favoritesfeature.h"
#include "app/findfeature.h"
#include "app/historyfeature.h"
#include "app/regedform.h"
#include "app/settingsfeature.h"
#include "app/toolpages.h"
#include "app/toolpanel.h"
#include "app/toolsfeature.h"
#include "app/usertoolbarsfeature.h"
#include "classlib/modalwait.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uistatusbar.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/wideutils.h"
#include "registry/reghive.h"
#include "registry/regsecurity.h"
#include "settings/settingsfiles.h"
#include "uihelpers/filedialogs.h"
#include "views/regtreeview.h"
#include "widgets/vstab.h"

#include <aclui.h>
#include <shellapi.h>

namespace app {

struct TMainForm::TFeatures {
    // The main window answering the features.
    class THost final : public TFindFeatureHost,
                        public TToolPaneHost,
                        public THistoryHost,
                        public TToolsHost,
                        public TSettingsFeatureHost,
                        public TUserToolbarsHost,
                        public TFavoritesHost {
    public:
        explicit THost(TMainForm& form) : FForm(form) {}

        views::TVxRegTreeView* ActiveKeyTree() override {
            TRegEdForm* window = FForm.ActiveRegEdForm();
            return window ? window->VxRegTreeView : nullptr;
        }
        bool ActiveWindowLocked() override {
            TRegEdForm* window = FForm.ActiveRegEdForm();
            return window && window->TabLocked();
        }
        void RefreshAllWindows() override { FForm.RefreshAllWindows(); }
        TCommandHost& Questions() override { return *FForm.FCommandHost; }
        const TMainOptions& Options() override { return FForm.Options(); }
        undo::TVxRegClipUndoProvider& UndoProvider() override { return FForm.UndoProvider(); }

        TCommandContext CommandContext() override { return FForm.CommandContext(); }
        void RunCommand(const std::function<void()>& command) override { FForm.RunCommand(command); }
        std::optional<registry::TVxRegKeyClass> SelectedKey() override {
            views::TVxRegTreeView* tree = ActiveKeyTree();
            return tree ? tree->GetSelectedKey() : std::nullopt;
        }

        ui::TUiComboBox& AddressBox() override { return *FForm.AddressBox; }
        void GoToAddress() override { FForm.RegMoveButtonClick(); }

        toolbar::TBarDock* PanelDock() override { return FForm.FFeatures->ToolPanel.Dock(); }
        toolbar::TBarCustomItem* FavoritesMenu() override {
            return dynamic_cast<toolbar::TBarCustomItem*>(FForm.FindComponent(L"MenuFavorite"));
        }
        void JumpTo(const std::wstring& path) override {
            if (views::TVxRegTreeView* tree = ActiveKeyTree())
                tree->JumpToPath(path);
            else
                FForm.OpenWindow(path);
        }
        void ShowHint(const std::wstring& text) override { FForm.HintLabel->SetCaption(text); }
        // The favorites' scripts and the tools' import alike.
        bool ImportScript(const std::wstring& fileName) override {
            return registry::ImportRegFileWithRegedit(fileName, false, classlib::WaitModally);
        }
        std::optional<TFavoriteKeyProposal> TabStripKey(classlib::TComponent* source) override {
            TRegEdForm* window = source == FForm.VxVSTab ? FForm.ActiveRegEdForm() : nullptr;
            if (!window) return std::nullopt;
            return TFavoriteKeyProposal{window->ShownName(), window->ShownPath()};
        }
        std::wstring SelectedKeyPath() override {
            const auto key = SelectedKey();
            return key ? key->FFullPath : L"";
        }
        bool SystemEditorFollowsKey() override { return FForm.Options().SetWinReg; }
        void OpenWithShell(const std::wstring& file) override {
            ShellExecuteW(FForm.Handle(), L"open", file.c_str(), nullptr, nullptr, SW_SHOW);
        }
        bool ChooseFile(bool open, const std::wstring& filter, const std::wstring& defaultExt, int filterIndex,
                        std::wstring& fileName) override {
            return uihelpers::ShowFileDialog(FForm.Handle(), defaultExt, filter, L"", L"", fileName, open, !open, true,
                                             open, filterIndex);
        }
        bool LoadHive(const std::wstring& fileName, const std::wstring& subKeyName) override {
            return WithActiveTreeUnlocked(
                [&](views::TVxRegTreeView& tree) { return tree.LoadHiveAtSelected(fileName, subKeyName); });
        }
        bool UnloadHive() override {
            return WithActiveTreeUnlocked([](views::TVxRegTreeView& tree) { return tree.UnloadHiveAtSelected(); });
        }
        void EditSecurity(const std::wstring& pageTitle, const std::wstring& objectName) override {
            registry::TSecurityInformation information(pageTitle.c_str(), objectName.c_str());
            ::EditSecurity(FForm.Handle(), &information);
        }
        bool ShowHelp(const std::wstring& file, bool contents) override {
            constexpr UINT HH_DISPLAY_TOPIC = 0, HH_DISPLAY_TOC = 1;
            return FForm.FHelp && FForm.FHelp->Available() &&
                   FForm.FHelp->Call(FForm.Handle(), file.c_str(), contents ? HH_DISPLAY_TOC : HH_DISPLAY_TOPIC, 0);
        }

        void SettingsChanged() override {
            FForm.LoadSettings();
            for (TRegEdForm* window : FForm.RegistryWindows()) FForm.ApplyColors(*window);
        }

        ui::TUiToolbar* MenuBarHolder() override { return FForm.ToolMenuHide; }
        std::vector<ui::TUiToolbar*> FixedToolbars() override { return {FForm.MainToolBar, FForm.ToolMenu}; }
        toolbar::TBarDock* NewToolbarDock() override { return FForm.MainDock; }
        classlib::TPopupMenu* ToolbarPopupMenu() override { return FForm.ToolMenuPopup; }
        std::vector<ui::TUiSubmenuItem*> OfferedSubmenus() override {
            std::vector<ui::TUiSubmenuItem*> submenus;
            if (auto* newValue = dynamic_cast<ui::TUiSubmenuItem*>(FForm.MenuNewValue)) submenus.push_back(newValue);
            for (const TMenuDef& def : MenuBarDefs())
                if (auto* submenu = dynamic_cast<ui::TUiSubmenuItem*>(FForm.FindComponent(def.Name)))
                    submenus.push_back(submenu);
            return submenus;
        }

    private:
        // Runs a change of the active window's key tree with its lock lifted, then reads the
        // selected key's parent again; false without a registry window.
        bool WithActiveTreeUnlocked(const std::function<bool(views::TVxRegTreeView&)>& change) {
            TRegEdForm* window = FForm.ActiveRegEdForm();
            if (!window) return false;
            FForm.UnlockActiveWindow();
            const auto relock = classlib::ScopeExit([&] { FForm.RelockActiveWindow(); });
            const bool changed = change(*window->VxRegTreeView);
            window->VxRegTreeView->RefreshSelectedParent();
            return changed;
        }
        TMainForm& FForm;
    };

    explicit TFeatures(TMainForm& form)
        : Context{form, form.Actions(), form.ToolBarImages(), form.RegObjectImages(), form.RegTreeImages()},
          Host(form),
          ToolPanel(Context) {}

    const TFeatureContext Context;
    THost Host;
    TToolPanel ToolPanel;
    // Made after the chrome; destroyed in the reverse order, before the tool panel.
    std::unique_ptr<TFindFeature> Find;
    std::unique_ptr<TUndoPage> Undo;
    std::unique_ptr<TClipboardPage> Clipboard;
    std::unique_ptr<THistoryFeature> History;
    std::unique_ptr<TToolsFeature> Tools;
    std::unique_ptr<TUserToolbarsFeature> UserToolbars;
    std::unique_ptr<TSettingsFeature> Settings;
    std::unique_ptr<TFavoritesFeature> Favorites;
};

void TMainForm::TFeaturesDeleter::operator()(TFeatures* features) const { delete features; }

void TMainForm::CreateToolPanel() { FFeatures.reset(new TFeatures(*this)); }

void TMainForm::CreateFeatures() {
    TFeatures& f = *FFeatures;
    f.Find = std::make_unique<TFindFeature>(f.Context, f.ToolPanel, f.Host);
    f.Undo = std::make_unique<TUndoPage>(f.Context, f.ToolPanel, f.Host, *FUndoProvider);
    f.Clipboard = std::make_unique<TClipboardPage>(f.Context, f.ToolPanel, f.Host, *FUndoProvider);
    f.History = std::make_unique<THistoryFeature>(f.Context, f.ToolPanel, f.Host,
                                                  settings::GetSettingsFilePath(L"History.db"));
    f.Tools = std::make_unique<TToolsFeature>(f.Context, f.Host);
    OnShowLicense = [this] { FFeatures->Tools->ShowLicense(); };
    // Before the layout is read, which places the user toolbars as well.
    f.UserToolbars = std::make_unique<TUserToolbarsFeature>(
        f.Context, f.Host, settings::SettingsFolderOf(wide::WideGetModuleFileName(nullptr)) + L"CustomToolBar");
    f.Settings = std::make_unique<TSettingsFeature>(f.Context, f.Host);
    f.Favorites = std::make_unique<TFavoritesFeature>(f.Context, f.Host, settings::GetSettingsFilePath(L"Favorite.db"));
}

void TMainForm::FeaturesOptionsChanged() {
    if (FFeatures && FFeatures->Favorites) FFeatures->Favorites->ApplyOptions();
}

std::wstring TMainForm::FeatureStartNotice() const {
    return FFeatures && FFeatures->UserToolbars ? FFeatures->UserToolbars->LoadNotice() : std::wstring();
}

void TMainForm::TearDown() {
    FFeatures.reset();
    wide::TWideForm::TearDown();
}

bool TMainForm::FeatureMessage(classlib::TMessage& m) {
    return FFeatures && FFeatures->Find && FFeatures->Find->HandleMessage(m);
}

bool TMainForm::FindHitsChangeable() const { return FFeatures && FFeatures->Find && FFeatures->Find->HitsChangeable(); }

void TMainForm::AddHistory(const std::wstring& path) {
    if (FFeatures && FFeatures->History) FFeatures->History->Add(path);
}

void TMainForm::ShowToolPage(int page) {
    if (FFeatures) FFeatures->ToolPanel.ShowPage(page);
}

}  // namespace app
