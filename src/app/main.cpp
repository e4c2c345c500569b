// Program entry: one running instance. A start while an instance runs hands its command
// line to that instance and ends; otherwise the application object and the main window
// are made and the message loop runs. The application object does the process setup
// (OLE, common controls, timer resolution) and undoes it.
//
// Start-up ends in a window or in the end of the process: an instance that does not take
// the command line in time is left alone (this start runs as an instance of its own and
// says so), and a failure before the main window shows is reported and ends the process.
#include <windows.h>

#include "app/mainform.h"
#include "app/mainoptions.h"
#include "app/singleinstance.h"
#include "app/startguard.h"
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
        if (app::ActivateRunningInstance(app::BuildHandOverText(params, startup.SetConnectCMD))) return 0;
        MessageBoxW(nullptr, app::NoAnswerNotice, L"Wendlar", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    }
    app::TStartFailureGuard guard([](DWORD code) {
        MessageBoxW(nullptr, app::StartFailureText(code).c_str(), L"Wendlar", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    });
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
            mainForm->OnShow = [&guard](classlib::TComponent*) { guard.Disarm(); };
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
