// The modal wait shared by modal forms and waits for other processes.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/modalwait.h"
#include "common/test_support.h"

#include <memory>

using namespace classlib;

namespace {

struct TEvent {
    HANDLE H = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~TEvent() { CloseHandle(H); }
};

}  // namespace

TEST(ModalWait, WindowsRefuseInputUntilSignalledAndAQuitKeepsItsCode) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 200, 100);
    form->Show();
    auto disabledBefore = std::make_unique<TForm>(nullptr);
    disabledBefore->SetBounds(220, 10, 200, 100);
    disabledBefore->Show();
    EnableWindow(disabledBefore->Handle(), FALSE);
    TEvent done;
    bool enabledDuring = true;
    // Handled inside the wait: the window is disabled there, and a quit request made there
    // is kept for the loop that is waiting outside.
    Application->QueueCall([&] {
        enabledDuring = IsWindowEnabled(form->Handle()) != FALSE;
        PostQuitMessage(7);
        SetEvent(done.H);
    });
    EXPECT_TRUE(WaitModally(done.H));
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore->Handle())) << "a window disabled before stays so";
    // The quit request comes back once, with its code, after the wait.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(ModalWait, ASignalledObjectReturnsAtOnceAndABadHandleFails) {
    TEvent done;
    SetEvent(done.H);
    EXPECT_TRUE(WaitModally(done.H));
    EXPECT_FALSE(WaitModally(nullptr));
}
