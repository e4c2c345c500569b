// wendlar.exe driven from outside as a user would: started, handed command lines, closed,
// with real window messages. The settings files the tests change are restored afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/singleinstance.h"
#include "common/test_support.h"
#include "driving.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using wendlartest::Program;
using wendlartest::SettingsFileGuard;
namespace fs = std::filesystem;

// Stands in for a running instance: holds the mutex and the two marked windows, and keeps
// what its main window receives.
class FakeInstance {
public:
    FakeInstance() {
        FMutex = CreateMutexW(nullptr, TRUE, app::InstanceMutexName);
        WNDCLASSW wc{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WendlarTestInstance";
        RegisterClassW(&wc);
        FApp = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        FMain = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        SetPropW(FApp, app::AppWindowPropName, reinterpret_cast<HANDLE>(app::AppWindowPropValue));
        SetPropW(FMain, app::MainFormPropName, reinterpret_cast<HANDLE>(app::MainFormPropValue));
        Received.clear();
    }
    ~FakeInstance() {
        RemovePropW(FApp, app::AppWindowPropName);
        RemovePropW(FMain, app::MainFormPropName);
        DestroyWindow(FMain);
        DestroyWindow(FApp);
        CloseHandle(FMutex);
    }
    static inline std::vector<std::pair<ULONG_PTR, std::wstring>> Received;

private:
    static LRESULT CALLBACK WndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            Received.emplace_back(data->dwData, std::wstring(static_cast<const wchar_t*>(data->lpData),
                                                             data->cbData / sizeof(wchar_t)));
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    HANDLE FMutex;
    HWND FApp, FMain;
};

}  // namespace

TEST(Startup, ShowsMainWindowAndClosesCleanly) {
    Program program;
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr) << "main window captioned Wendlar not found";
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropW(main, app::MainFormPropName)), app::MainFormPropValue);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// A start while an instance runs sends its command line (UTF-16, with its NUL) to that
// instance's main window and ends; "SetConnectCMD" joins the parameters into one path.
TEST(Startup, SecondStartHandsOverItsCommandLine) {
    SettingsFileGuard setting(L"setting.db");
    FakeInstance instance;
    {
        Program second(L"HKEY_CURRENT_USER\\Software \"HKLM\\ソフト ウェア\"");
        ASSERT_TRUE(second.Started);
        EXPECT_EQ(second.WaitExit(), 0u);
    }
    ASSERT_EQ(FakeInstance::Received.size(), 1u);
    EXPECT_EQ(FakeInstance::Received[0].first, app::CopyDataOpenPathsId);
    EXPECT_EQ(FakeInstance::Received[0].second,
              std::wstring(L"HKEY_CURRENT_USER\\Software\r\nHKLM\\ソフト ウェア\r\n") + L'\0');

    setting.Write(L"[Main]\r\nSetConnectCMD=-1\r\n");
    {
        Program second(L"HKEY_CURRENT_USER\\My Key");
        ASSERT_TRUE(second.Started);
        EXPECT_EQ(second.WaitExit(), 0u);
    }
    ASSERT_EQ(FakeInstance::Received.size(), 2u);
    EXPECT_EQ(FakeInstance::Received[1].second, std::wstring(L"HKEY_CURRENT_USER\\My Key") + L'\0');
}

// The running program survives malformed hand-over messages from other processes, and a
// second start ends without a window of its own.
TEST(Startup, RunningInstanceTakesHandOversSafely) {
    Program first;
    ASSERT_TRUE(first.Started);
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);

    std::wstring lines;
    for (int i = 0; i < 5000; ++i) lines += L"HKCU\r\n";
    const wchar_t noNul[] = {L'H', L'K', L'C', L'U'};
    struct Case {
        ULONG_PTR id;
        const void* data;
        DWORD size;
    } cases[] = {
        {app::CopyDataOpenPathsId, noNul, sizeof(noNul)},
        {app::CopyDataOpenPathsId, noNul, 3},
        {app::CopyDataOpenPathsId, nullptr, 0},
        {app::CopyDataOpenPathsId, lines.c_str(), static_cast<DWORD>(lines.size() * 2)},
        {777, lines.c_str(), 64},
    };
    for (const Case& c : cases) {
        COPYDATASTRUCT data{c.id, c.size, const_cast<void*>(c.data)};
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                      testsupport::kWaitMs, &result),
                  0)
            << "size " << c.size;
    }
    {
        Program second(L"HKEY_CURRENT_USER\\Software");
        ASSERT_TRUE(second.Started);
        EXPECT_EQ(second.WaitExit(), 0u);
    }
    EXPECT_TRUE(IsWindow(main));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(), 0u);
}

// The window's restored position is saved from its placement (also when maximised) and a
// saved position off the screen is brought back onto it.
TEST(Startup, WindowPositionIsSavedAndClampedToTheScreen) {
    SettingsFileGuard layout(L"ToolBar.db");
    layout.Write(L"[Wnd]\r\nTop=4000\r\nLeft=5000\r\nWidth=500\r\nHeight=300\r\nState=0\r\n");
    Program program;
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GE(r.left, 0);

    SendMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
    const std::wstring text = layout.Read();
    EXPECT_NE(text.find(L"State=2\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Width=500\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Height=300\r\n"), std::wstring::npos);
}

// A layout file that cannot be written is reported, and the window closes all the same.
TEST(Startup, ClosingAlwaysClosesAndReportsAFailedSave) {
    SettingsFileGuard layout(L"ToolBar.db");
    fs::create_directories(layout.Path());  // a folder where the file should be
    Program program;
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND report = nullptr;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (report = program.FindWindow(L"#32770")) != nullptr; }));
    std::wstring text;
    EnumChildWindows(
        report,
        [](HWND child, LPARAM lp) -> BOOL {
            wchar_t buffer[1024] = {};
            GetWindowTextW(child, buffer, 1024);
            *reinterpret_cast<std::wstring*>(lp) += buffer;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    EXPECT_NE(text.find(L"ToolBar.db"), std::wstring::npos) << testsupport::Narrow(text);
    PostMessageW(report, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
