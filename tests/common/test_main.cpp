// Entry of every test executable: OLE, the common controls and the application object are
// ready before any test.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>

#include "classlib/application.h"

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
    int rc = RUN_ALL_TESTS();
    delete app;
    OleUninitialize();
    return rc;
}
