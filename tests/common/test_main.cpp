// Entry of every test executable: OLE, the common controls and the application object are
// ready before any test, and the dialog watchdog closes a dialog that no test answers.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>

#include "classlib/application.h"
#include "test_support.h"

int wmain(int argc, wchar_t** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    auto* app = new classlib::TApplication();
    // A message box would stop an unattended run: report exceptions on stderr instead.
    app->OnException = [](classlib::TComponent*, const classlib::Exception& e) {
        std::fprintf(stderr, "unhandled exception in the message loop: %s\n", e.what());
    };
    testsupport::dialogwatchdog::Start();
    int rc = RUN_ALL_TESTS();
    testsupport::dialogwatchdog::Stop();
    delete app;
    OleUninitialize();
    return rc;
}
