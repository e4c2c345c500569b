#include "app/settingsfeature.h"

#include "app/mainactions.h"
#include "controls/toolbar/themed/thmswitcher.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/widechoosers.h"
#include "settings/settingsfiles.h"
#include "tools/settingform.h"
#include "uihelpers/filedialogs.h"

namespace app {

// The themes as the program's theme switcher (a component of the main window) knows them.
class TSettingsFeature::TThemeSwitch final : public tools::IThemeSwitch {
public:
    explicit TThemeSwitch(classlib::TComponent& owner) : FSwitcher(new themed::TThmSwitcher(&owner)) {}
    ~TThemeSwitch() override { delete FSwitcher; }

    int ThemeCount() override { return FSwitcher->GetThemeCount(); }
    std::wstring ThemeName(int index) override { return FSwitcher->GetThemeName(index); }
    std::wstring CurrentTheme() override { return FSwitcher->Theme(); }
    bool SwitchTheme(const std::wstring& name) override { return FSwitcher->SetTheme(name); }

private:
    themed::TThmSwitcher* FSwitcher;
};

TSettingsFeature::TSettingsFeature(const TFeatureContext& context, TSettingsFeatureHost& host)
    : FContext(context), FHost(host) {
    FContext.Actions.Action(TActionId::aacOption)->OnExecute = [this](classlib::TComponent*) { ShowSettings(); };
}

TSettingsFeature::~TSettingsFeature() { FContext.Actions.Action(TActionId::aacOption)->OnExecute = nullptr; }

bool TSettingsFeature::ShowSettings() {
    const bool accepted = ui::ShowModalForm<tools::TSettingForm>(&FContext.Form, {}, {},
                                                                 static_cast<tools::ISettingDialogHost&>(*this)) ==
                          classlib::mrOk;
    if (accepted) FHost.SettingsChanged();
    return accepted;
}

std::wstring TSettingsFeature::SettingsFilePath(const std::wstring& name) { return settings::GetSettingsFilePath(name); }

std::vector<tools::TCommandInfo> TSettingsFeature::Commands() {
    std::vector<tools::TCommandInfo> commands;
    for (int i = 0; i < ActionCount; ++i) {
        const TAppAction* action = FContext.Actions.Action(static_cast<TActionId>(i));
        if (action->Tag() != 0) continue;
        commands.push_back({action->Category, action->HelpKeyword, action->ShortCut(), action->ImageIndex()});
    }
    return commands;
}

classlib::TImageList* TSettingsFeature::ToolBarImages() { return FContext.ToolBarImages; }

tools::IThemeSwitch& TSettingsFeature::Themes() {
    if (!FThemes) FThemes = std::make_unique<TThemeSwitch>(FContext.Form);
    return *FThemes;
}

bool TSettingsFeature::ChooseFile(HWND owner, const tools::TFileChoice& choice, std::wstring& fileName) {
    return uihelpers::ShowFileDialog(owner, choice.DefaultExt, choice.Filter, L"", L"", fileName, choice.FileMustExist,
                                     choice.OverwritePrompt, false, !choice.Save, choice.FilterIndex);
}

bool TSettingsFeature::ChooseFont(HWND owner, classlib::TFont& font, int minPoints, int maxPoints) {
    return wide::ChooseFontDialog(owner, font, minPoints, maxPoints);
}

}  // namespace app
