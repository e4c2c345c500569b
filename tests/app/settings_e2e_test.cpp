// wendlar.exe started with a damaged "setting.db": options outside their range fall back to
// their defaults, so the views keep readable colours (printed with WM_PRINT inside the
// program), and the damaged file is left as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"
#include "program.h"
#include "windowprint.h"

#include <string>

namespace {

using testsupport::Narrow;
using wendlartest::ChildOfClass;
using wendlartest::PrintedWindow;
using wendlartest::PrintWindowOf;
using wendlartest::Program;
using wendlartest::RegistryWindows;
using namespace wendlartest::driving;

using DamagedSettings = ProgramTest;

}  // namespace

// A background of -1 would paint as "system colour 255" (black), a font of 100000 points
// would not be made at all: both are read as their defaults, the system window colour and
// the view's own font.
TEST_F(DamagedSettings, ViewsKeepTheirDefaultColours) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    const std::wstring damaged = L"[Main]\r\nColorBoxControlBack=-1\r\nFontSize=100000\r\n" + FirstRunSeen();
    Setting.Write(damaged);

    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForActiveKey(main, name));
    HWND window = RegistryWindows(main)[0];

    const COLORREF background = GetSysColor(COLOR_WINDOW);
    for (const wchar_t* viewClass : {L"TVxRegTreeView", L"TVxRegListView"}) {
        HWND view = ChildOfClass(window, viewClass);
        ASSERT_NE(view, nullptr) << Narrow(viewClass);
        const PrintedWindow printed = PrintWindowOf(view);
        ASSERT_FALSE(printed.Pixels.empty()) << Narrow(viewClass) << " could not be printed";
        // Mostly background: a few rows of text and pictures at most.
        EXPECT_GT(printed.CountOf(background), printed.Pixels.size() / 2)
            << Narrow(viewClass) << ": " << printed.CountOf(background) << " of " << printed.Pixels.size()
            << " pixels in the window colour, " << printed.CountOf(RGB(0, 0, 0)) << " black";
    }

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
    EXPECT_EQ(Setting.Read(), damaged) << "nothing rewrites the options at exit";
}
