// Program entry: the application object and the main window, an MDI frame. Later work
// fills the frame with the registry windows, menus and toolbars. The application object
// does the process setup (OLE, common controls, timer resolution) and undoes it.
#include <windows.h>

#include "classlib/application.h"
#include "classlib/screen.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/wideforms.h"

namespace {

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int rc = 0;
    {
        auto* app = new classlib::TApplication();
        app->SetTitle(L"Wendlar");
        app->HintWindowClass = [] { return new wide::TWideHintWindow(nullptr); };
        try {
            app->CreateForm<TMainForm>();
            app->Run();
        } catch (...) {
            app->HandleException(app);
            rc = 1;
        }
        delete app;
    }
    return rc;
}
