// The shared test helpers: waits that end on their condition or their deadline, the dialog
// watchdog, the display guard and the memory bitmap.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "classlib/form.h"
#include "common/test_support.h"

#include <atomic>
#include <thread>

using namespace testsupport;

namespace {

// A message-only window that counts the WM_APP messages it gets.
struct CountingWindow {
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        return DefWindowProcW(wnd, msg, wp, lp);
    }
    CountingWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WendlarCountingWindow";
        RegisterClassW(&wc);
        Handle = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Count));
    }
    ~CountingWindow() { DestroyWindow(Handle); }
    HWND Handle = nullptr;
    int Count = 0;
};

// Sets the watchdog's deadline for one test.
struct WatchdogDeadline {
    explicit WatchdogDeadline(DWORD ms) : FSaved(dialogwatchdog::DeadlineMs()) { dialogwatchdog::SetDeadlineMs(ms); }
    ~WatchdogDeadline() { dialogwatchdog::SetDeadlineMs(FSaved); }
    DWORD FSaved;
};

}  // namespace

TEST(Waits, PumpUntilStopsAtTheMessageThatMakesTheConditionTrue) {
    CountingWindow window;
    for (int i = 0; i < 3; ++i) PostMessageW(window.Handle, WM_APP, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return window.Count >= 1; }));
    EXPECT_EQ(window.Count, 1) << "the other messages wait for the next pump";
    PumpMessages();
    EXPECT_EQ(window.Count, 3);
}

TEST(Waits, ConditionsFromOtherThreadsAndDeadlines) {
    std::atomic<bool> set{false};
    std::thread setter([&] { set = true; });
    EXPECT_TRUE(WaitUntil([&] { return set.load(); }));
    setter.join();

    // A posted message from another thread ends the pump's wait.
    CountingWindow window;
    std::thread poster([&] { PostMessageW(window.Handle, WM_APP, 0, 0); });
    EXPECT_TRUE(PumpUntil([&] { return window.Count == 1; }));
    poster.join();

    for (bool pump : {false, true}) {
        SCOPED_TRACE(pump ? "PumpUntil" : "WaitUntil");
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(pump ? PumpUntil([] { return false; }, 100) : WaitUntil([] { return false; }, 100));
        EXPECT_GE(GetTickCount64() - start, 100u);
    }
}

TEST(DialogWatchdog, ClosesABoxNobodyAnswersAndFailsTheTest) {
    WatchdogDeadline deadline(300);
    // A Yes/No box cannot be cancelled: the watchdog goes on to another answer.
    for (UINT buttons : {MB_OK, MB_OKCANCEL, MB_YESNO}) {
        SCOPED_TRACE(buttons);
        const ULONGLONG start = GetTickCount64();
        int answer = 0;
        EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
            answer = MessageBoxW(nullptr, L"誰も答えない箱", L"監視", buttons), "誰も答えない箱");
        EXPECT_NE(answer, 0);
        EXPECT_GE(GetTickCount64() - start, 300u);
        EXPECT_EQ(FindOwnDialog(), nullptr);
    }
}

TEST(DialogWatchdog, CancelsAModalFormNobodyCloses) {
    WatchdogDeadline deadline(300);
    classlib::TForm form(nullptr);
    form.SetBounds(50, 50, 200, 100);
    form.SetCaption(L"閉じられないフォーム");
    classlib::TModalResult result = classlib::mrNone;
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(result = form.ShowModal(), "閉じられないフォーム");
    EXPECT_EQ(result, classlib::mrCancel);
}

TEST(DialogWatchdog, LeavesABoxThatIsAnsweredInTime) {
    std::thread answer([] {
        HWND box = nullptr;
        if (WaitUntil([&] { return (box = FindOwnDialog()) != nullptr; })) PostMessageW(box, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"答える箱", L"監視", MB_YESNO), IDNO);
    answer.join();
}

TEST(DisplayGuard, FailsATestThatShowsOrActivatesAWindow) {
    const HWND hidden = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const HWND shown = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        DisplayGuard guard;
        // A hidden window and a child shown inside it take no focus: allowed.
        const HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, hidden, nullptr, nullptr, nullptr);
        EXPECT_NE(child, nullptr);
        EXPECT_NONFATAL_FAILURE(ShowWindow(shown, SW_SHOWNOACTIVATE), "shows a window of class \"Static\"");
    }
    {
        DisplayGuard guard;
        EXPECT_NONFATAL_FAILURE(SetActiveWindow(hidden), "activates a window");
    }
    DestroyWindow(shown);
    DestroyWindow(hidden);
}

TEST(MemoryDib, PixelsReadInBothOrders) {
    MemoryDib dib(4, 3, RGB(1, 2, 3));
    EXPECT_EQ(dib.Pixel(3, 2), RGB(1, 2, 3));
    EXPECT_EQ(dib.At(3, 2), 0x010203u);
    SetPixelV(dib.DC, 2, 1, RGB(255, 0, 0));
    EXPECT_EQ(dib.At(2, 1), 0xFF0000u);
    EXPECT_EQ(dib.Count(RGB(255, 0, 0)), 1);
    EXPECT_EQ(dib.Count(RGB(1, 2, 3)), 11);
    EXPECT_FALSE(dib.Has(RGB(3, 2, 1)));
    dib.Fill(RGB(3, 2, 1));
    EXPECT_EQ(dib.Pixels(), std::vector<uint32_t>(12, 0x030201u));
}
