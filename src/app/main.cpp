// Program entry: the application object and the main window, an MDI frame. Later work
// fills the frame with the registry windows, menus and toolbars.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

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
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
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
    OleUninitialize();
    return rc;
}
