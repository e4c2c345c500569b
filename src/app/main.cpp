// Program entry: one running instance. A start while an instance runs hands its command
// line to that instance and ends; otherwise the application object and the main window
// are made and the message loop runs. The application object does the process setup
// (OLE, common controls, timer resolution) and undoes it.
#include <windows.h>

#include "app/mainform.h"
#include "app/mainoptions.h"
#include "app/singleinstance.h"
#include "classlib/application.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"
#include "controls/wide/widecontrols.h"
#include "settings/inifile.h"
#include "settings/settingsfiles.h"

#include <optional>

namespace {

// The start-up options; a "setting.db" that cannot be read gives the defaults.
app::TStartupOptions ReadStartupSettings() {
    try {
        return app::ReadStartupOptions(settings::TVxMemIniFile(settings::GetSettingsFilePath(L"setting.db")));
    } catch (...) {
        return {};
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> params = app::CommandLineParams(GetCommandLineW());
    const app::TInstanceMutex mutex(app::InstanceMutexName);
    const app::TStartupOptions startup = ReadStartupSettings();
    if (mutex.AlreadyExisted() && !startup.SetNoMutex) {
        app::ActivateRunningInstance(app::BuildHandOverText(params, startup.SetConnectCMD));
        return 0;
    }
    int rc = 0;
    {
        auto* application = new classlib::TApplication();
        application->SetTitle(L"Wendlar");
        application->HintWindowClass = [] { return new wide::TWideHintWindow(nullptr); };
        themed::RegisterThemeTable(themes::ToolbarThemeTable());
        try {
            const app::TWindowProperty appProperty(application->Handle(), app::AppWindowPropName,
                                                   app::AppWindowPropValue);
            application->ShowMainForm = !startup.SetHideMainForm;
            auto* mainForm = application->CreateForm<app::TMainForm>(params, startup);
            const app::TWindowProperty formProperty(mainForm->Handle(), app::MainFormPropName,
                                                    app::MainFormPropValue);
            application->Run();
        } catch (...) {
            application->HandleException(application);
            rc = 1;
        }
        delete application;
    }
    return rc;
}
