// The main window's features and their hosts: the tool panel, the searches, the undo and
// clipboard pages, the address history, the tool commands and the settings command are made
// here and answered here, each through its own host interface; the window itself only routes
// to them (see featurehost.h).
#include "app/mainform.h"

#include "app/findfeature.h"
#include "app/historyfeature.h"
#include "app/regedform.h"
#include "app/settingsfeature.h"
#include "app/toolpages.h"
#include "app/toolpanel.h"
#include "app/toolsfeature.h"
#include "settings/settingsfiles.h"
#include "views/regtreeview.h"

#include <shellapi.h>

namespace app {

struct TMainForm::TFeatures {
    // The main window answering the features.
    class THost final : public TFindFeatureHost,
                        public TToolPaneHost,
                        public THistoryHost,
                        public TToolsHost,
                        public TSettingsFeatureHost {
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

        std::wstring SelectedKeyPath() override {
            const auto key = SelectedKey();
            return key ? key->FFullPath : L"";
        }
        bool SystemEditorFollowsKey() override { return FForm.Options().SetWinReg; }
        void OpenWithShell(const std::wstring& file) override {
            ShellExecuteW(FForm.Handle(), L"open", file.c_str(), nullptr, nullptr, SW_SHOW);
        }

        void SettingsChanged() override {
            FForm.LoadSettings();
            for (TRegEdForm* window : FForm.RegistryWindows()) FForm.ApplyColors(*window);
        }

    private:
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
    std::unique_ptr<TSettingsFeature> Settings;
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
    f.Settings = std::make_unique<TSettingsFeature>(f.Context, f.Host);
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
