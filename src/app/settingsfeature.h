// The settings command "設定...": opens the settings dialog (tools/settingform.h) over the
// main window; after its OK the window takes the new options, colours and shortcuts at once
// (gestures and some options at the next start, as the dialog says).
//
// The feature answers the dialog's host itself: the settings folder's files, the commands
// of the action list (tag 0, in list order, named by category and help keyword), the
// commands' pictures, the theme switch and the system's file and font dialogs; it asks the
// main window only to take the settings the dialog wrote.
//
// Made by the main window (see featurehost.h). Main thread only.
#pragma once

#include "app/featurehost.h"
#include "tools/settinghost.h"

#include <memory>

namespace app {

// What the settings command asks of the main window.
class TSettingsFeatureHost {
public:
    virtual ~TSettingsFeatureHost() = default;
    // Re-reads the options, the colours of every registry window and the shortcuts.
    virtual void SettingsChanged() = 0;
};

class TSettingsFeature final : private tools::ISettingDialogHost {
public:
    // Binds "設定..." (aacOption).
    TSettingsFeature(const TFeatureContext& context, TSettingsFeatureHost& host);
    ~TSettingsFeature() override;

    // Shows the dialog; true when its OK wrote the settings (the window has taken them).
    bool ShowSettings();

private:
    std::wstring SettingsFilePath(const std::wstring& name) override;
    std::vector<tools::TCommandInfo> Commands() override;
    classlib::TImageList* ToolBarImages() override;
    tools::IThemeSwitch& Themes() override;
    bool ChooseFile(HWND owner, const tools::TFileChoice& choice, std::wstring& fileName) override;
    bool ChooseFont(HWND owner, classlib::TFont& font, int minPoints, int maxPoints) override;

    class TThemeSwitch;

    TFeatureContext FContext;
    TSettingsFeatureHost& FHost;
    // Made with the first dialog.
    std::unique_ptr<TThemeSwitch> FThemes;
};

}  // namespace app
