// Entry of every test executable: the application object, and with it the process setup
// (OLE, the common controls, timer resolution), is ready before any test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "classlib/application.h"

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    auto* app = new classlib::TApplication();
    // A message box would stop an unattended run: report exceptions on stderr instead.
    app->OnException = [](classlib::TComponent*, const classlib::Exception& e) {
        std::fprintf(stderr, "unhandled exception in the message loop: %s\n", e.what());
    };
    int rc = RUN_ALL_TESTS();
    delete app;
    return rc;
}
