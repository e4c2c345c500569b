// Program entry: the application object and the main window, an MDI frame that holds the
// registry windows. The application object does the process setup (OLE, common controls,
// timer resolution) and undoes it.
#include <windows.h>

#include "classlib/application.h"
#include "classlib/screen.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/wideforms.h"

namespace app {

class TMainForm : public wide::TWideForm {
public:
    explicit TMainForm(classlib::TComponent* owner) : wide::TWideForm(owner) {
        WindowClassName = L"TMainForm";
        SetFormStyle(classlib::fsMDIForm);
        SetPosition(classlib::poDefault);
        SetBounds(0, 0, 800, 600);
        SetColor(classlib::clAppWorkSpace);
        SetCaption(L"Wendlar");
        DoCreate();
    }
};

}  // namespace app

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int rc = 0;
    {
        auto* application = new classlib::TApplication();
        application->SetTitle(L"Wendlar");
        application->HintWindowClass = [] { return new wide::TWideHintWindow(nullptr); };
        try {
            application->CreateForm<app::TMainForm>();
            application->Run();
        } catch (...) {
            application->HandleException(application);
            rc = 1;
        }
        delete application;
    }
    return rc;
}
