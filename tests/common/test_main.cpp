// Entry of every test executable: the application object, and with it the process setup
// (OLE, the common controls, timer resolution), is ready before any test; the dialog
// watchdog closes a dialog that no test answers, and a program run without the display lock
// is kept from showing windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>

#include "classlib/application.h"
#include "test_support.h"

int wmain(int argc, wchar_t** argv) {
    // Unbuffered: what a case printed before its program died stays in the test's output.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    auto* app = new classlib::TApplication();
    // A message box would stop an unattended run: report exceptions on stderr instead.
    app->OnException = [](classlib::TComponent*, const classlib::Exception& e) {
        std::fprintf(stderr, "unhandled exception in the message loop: %s\n", e.what());
    };
    testsupport::dialogwatchdog::Start();
    std::unique_ptr<testsupport::DisplayGuard> guard;
    if (GetEnvironmentVariableW(L"WENDLAR_TEST_NODISPLAY", nullptr, 0) > 0)
        guard = std::make_unique<testsupport::DisplayGuard>();
    int rc = RUN_ALL_TESTS();
    guard.reset();
    testsupport::dialogwatchdog::Stop();
    delete app;
    return rc;
}
