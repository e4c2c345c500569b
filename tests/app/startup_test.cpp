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
#include <thread>

namespace {

using wendlartest::Program;
using wendlartest::FirstRunSeen;
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

// A running instance that never answers: its marked windows belong to a thread that takes
// no message until the object goes.
class HungInstance {
public:
    HungInstance() : FEnd(CreateEventW(nullptr, TRUE, FALSE, nullptr)), FMade(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        FThread = std::thread([this] {
            FakeInstance instance;
            SetEvent(FMade);
            WaitForSingleObject(FEnd, INFINITE);
        });
        WaitForSingleObject(FMade, INFINITE);
    }
    ~HungInstance() {
        SetEvent(FEnd);
        FThread.join();
        CloseHandle(FEnd);
        CloseHandle(FMade);
    }

private:
    HANDLE FEnd, FMade;
    std::thread FThread;
};

// A visible top-level window of this class that another process shows, or null. (Asking
// the windows of this process for their texts would wait for a hung instance's thread.)
HWND WindowOfAnotherProcess(const wchar_t* className) {
    struct Ctx {
        const wchar_t* cls;
        HWND found;
    } ctx{className, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() || !IsWindowVisible(w) || wendlartest::ClassOf(w) != c->cls) return TRUE;
            c->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// The texts of a dialog's (or message box's) controls, joined.
std::wstring DialogText(HWND dialog) {
    std::wstring text;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            wchar_t buffer[2048] = {};
            GetWindowTextW(child, buffer, 2048);
            *reinterpret_cast<std::wstring*>(lp) += buffer;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

}  // namespace

// The hand-over goes to the first instance that answers: none there and one that never
// answers both give false (after the time given), and a live instance takes it although a
// hung one comes first.
TEST(HandOver, FirstInstanceThatAnswersTakesIt) {
    EXPECT_FALSE(app::ActivateRunningInstance(L"HKCU\\A", 400));
    FakeInstance live;
    {
        HungInstance hung;  // made last: found first
        FakeInstance::Received.clear();
        EXPECT_TRUE(app::ActivateRunningInstance(L"HKCU\\B", 2000));
        ASSERT_EQ(FakeInstance::Received.size(), 1u);
        EXPECT_EQ(FakeInstance::Received[0].second, std::wstring(L"HKCU\\B") + L'\0');
    }
    FakeInstance::Received.clear();
    EXPECT_TRUE(app::ActivateRunningInstance(L"HKCU\\C", 400));
    EXPECT_EQ(FakeInstance::Received.size(), 1u);
}

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

    setting.Write(L"[Main]\r\nSetConnectCMD=-1\r\n" + FirstRunSeen());
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

// An instance that does not answer leaves a later start to run on its own: it says so, and
// then shows its window on the key of its command line.
TEST(Startup, SecondStartRunsWhenTheInstanceDoesNotAnswer) {
    SettingsFileGuard setting(L"setting.db"), layout(L"ToolBar.db"), tabs(L"Tabs.db"), history(L"History.db");
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    HungInstance hung;
    Program second(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    ASSERT_TRUE(second.Started);
    HWND notice = nullptr;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (notice = WindowOfAnotherProcess(L"#32770")) != nullptr; }));
    EXPECT_NE(DialogText(notice).find(app::NoAnswerNotice), std::wstring::npos) << testsupport::Narrow(DialogText(notice));
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    HWND main = nullptr;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (main = WindowOfAnotherProcess(L"TMainForm")) != nullptr; }));
    EXPECT_TRUE(testsupport::PumpUntil([&] {
        const std::vector<HWND> windows = wendlartest::RegistryWindows(main);
        return !windows.empty() && wendlartest::WindowText(windows[0]) == name;
    }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(second.WaitExit(), 0u);
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
    const std::wstring text = DialogText(report);
    EXPECT_NE(text.find(L"ToolBar.db"), std::wstring::npos) << testsupport::Narrow(text);
    PostMessageW(report, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// A damaged "ToolBar.db" and "Undo.db" (an odd last byte) are named once, when the program
// starts, with what will not be saved; the close then saves over neither and says nothing.
TEST(Startup, DamagedSettingsFilesAreToldOnceAtStartAndKept) {
    SettingsFileGuard layout(L"ToolBar.db"), undo(L"Undo.db"), setting(L"setting.db");
    setting.Write(L"[Main]\r\nSetUndoSaving=-1\r\n" + FirstRunSeen());
    const std::string damaged("\xFF\xFE[\0W\0n\0d\0]\0\r\0\n\0X", 17);
    for (const SettingsFileGuard* file : {&layout, &undo})
        std::ofstream(file->Path(), std::ios::binary).write(damaged.data(), static_cast<std::streamsize>(damaged.size()));

    Program program;
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND report = nullptr;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (report = program.FindWindow(L"#32770")) != nullptr; }));
    const std::wstring text = DialogText(report);
    for (const wchar_t* part : {L"ToolBar.db", L"ツールバーとウインドウの配置は保存されません", L"Undo.db",
                                L"アンドゥ情報は保存されません"})
        EXPECT_NE(text.find(part), std::wstring::npos) << testsupport::Narrow(text);
    PostMessageW(report, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(report); }));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u) << "no report at the close";
    for (const SettingsFileGuard* file : {&layout, &undo}) {
        std::ifstream in(file->Path(), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), damaged) << file->Path().string();
    }
}
