#include "controls/toolbar/tbhook.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace toolbar;
using namespace classlib;

namespace {

// What the callbacks heard, and what they do while they are called.
struct THeard {
    std::vector<std::string> Log;
    std::vector<HWND> Windows;
    void (*OnCall)() = nullptr;
};
THeard Heard;

void First(TBarHookKind kind, HWND wnd, WPARAM, LPARAM) {
    Heard.Log.push_back("first " + std::to_string(kind));
    Heard.Windows.push_back(wnd);
    if (Heard.OnCall) Heard.OnCall();
}
void Second(TBarHookKind kind, HWND, WPARAM, LPARAM) { Heard.Log.push_back("second " + std::to_string(kind)); }
void Third(TBarHookKind kind, HWND, WPARAM, LPARAM) { Heard.Log.push_back("third " + std::to_string(kind)); }
void Throwing(TBarHookKind, HWND, WPARAM, LPARAM) { throw EConvertError(L"フック失敗"); }
void Retrieved(TBarHookKind kind, HWND, WPARAM, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == WM_APP + 7) Heard.Log.push_back("retrieved " + std::to_string(kind));
}

HWND MakeWindow() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

class HookTest : public ::testing::Test {
protected:
    void SetUp() override { Heard = THeard{}; }
    void TearDown() override {
        for (auto cb : {First, Second, Third, Throwing, Retrieved})
            for (void* user : {static_cast<void*>(&A), static_cast<void*>(&B)}) UnregisterHookCallback(user, cb);
        Heard = THeard{};
    }
    int A = 0, B = 0;
};

}  // namespace

TEST(HookRegistry, KindsNeedTheirHooks) {
    const struct {
        TBarHookKinds Kinds;
        TBarHookSet Hooks;
    } cases[] = {
        {HookKindBit(hkActivate), 1},
        {HookKindBit(hkActivateApp) | HookKindBit(hkWindowPosChanged), 1},
        {HookKindBit(hkDestroying), 2},
        {HookKindBit(hkMessageRetrieved), 4},
        {HookKindBit(hkActivate) | HookKindBit(hkDestroying) | HookKindBit(hkMessageRetrieved), 7},
        {0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HooksNeededForKinds(c.Kinds), c.Hooks) << c.Kinds;
}

TEST_F(HookTest, UsersOfOneCallbackShareItAndTheHooksLastUntilTheLastGoes) {
    RegisterHookCallback(&A, First, HookKindBit(hkDestroying));
    RegisterHookCallback(&B, First, HookKindBit(hkDestroying));
    RegisterHookCallback(&A, First, HookKindBit(hkDestroying));  // again: nothing more
    EXPECT_TRUE(HookInstalled(1));
    EXPECT_EQ(HookReferenceCount(1), 2);
    EXPECT_FALSE(HookInstalled(0));
    EXPECT_FALSE(HookInstalled(2));

    HWND wnd = MakeWindow();
    DestroyWindow(wnd);
    EXPECT_EQ(Heard.Log, std::vector<std::string>{"first 3"});  // one entry, one call
    EXPECT_EQ(Heard.Windows, std::vector<HWND>{wnd});

    UnregisterHookCallback(&A, First);
    EXPECT_TRUE(HookInstalled(1));  // B still listens
    UnregisterHookCallback(&A, First);  // unknown now: ignored
    EXPECT_EQ(HookReferenceCount(1), 1);
    UnregisterHookCallback(&B, First);
    EXPECT_FALSE(HookInstalled(1));
    EXPECT_EQ(HookReferenceCount(1), 0);
    Heard.Log.clear();
    DestroyWindow(MakeWindow());
    EXPECT_TRUE(Heard.Log.empty());
}

TEST_F(HookTest, EachKindReachesOnlyItsListeners) {
    RegisterHookCallback(&A, First, HookKindBit(hkWindowPosChanged));
    RegisterHookCallback(&A, Retrieved, HookKindBit(hkMessageRetrieved));
    EXPECT_TRUE(HookInstalled(0));
    EXPECT_TRUE(HookInstalled(2));
    HWND wnd = MakeWindow();
    SetWindowPos(wnd, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NE(std::find(Heard.Log.begin(), Heard.Log.end(), "first 2"), Heard.Log.end());
    EXPECT_NE(std::find(Heard.Windows.begin(), Heard.Windows.end(), wnd), Heard.Windows.end());
    PostMessageW(wnd, WM_APP + 7, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, wnd, WM_APP + 7, WM_APP + 7, PM_REMOVE)) {
    }
    EXPECT_NE(std::find(Heard.Log.begin(), Heard.Log.end(), "retrieved 4"), Heard.Log.end());
    DestroyWindow(wnd);
}

TEST_F(HookTest, ACallbackMayUnregisterListenersWhileAnEventIsDispatched) {
    RegisterHookCallback(&A, First, HookKindBit(hkDestroying));
    RegisterHookCallback(&A, Second, HookKindBit(hkDestroying));
    RegisterHookCallback(&A, Third, HookKindBit(hkDestroying));
    // The first callback removes itself and the third; the second still hears this event.
    static void* user = nullptr;
    user = &A;
    Heard.OnCall = [] {
        UnregisterHookCallback(user, First);
        UnregisterHookCallback(user, Third);
    };
    DestroyWindow(MakeWindow());
    EXPECT_EQ(Heard.Log, (std::vector<std::string>{"first 3", "second 3"}));
    Heard.Log.clear();
    DestroyWindow(MakeWindow());
    EXPECT_EQ(Heard.Log, std::vector<std::string>{"second 3"});
    EXPECT_TRUE(HookInstalled(1));
}

TEST_F(HookTest, AnExceptionInACallbackStaysInTheHookAndIsReportedLater) {
    auto saved = Application->OnException;
    std::vector<std::wstring> reported;
    Application->OnException = [&](TComponent*, const Exception& e) { reported.push_back(e.Message()); };
    RegisterHookCallback(&A, Throwing, HookKindBit(hkDestroying));
    RegisterHookCallback(&A, Second, HookKindBit(hkDestroying));
    HWND wnd = MakeWindow();
    EXPECT_TRUE(DestroyWindow(wnd));
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(Heard.Log, std::vector<std::string>{"second 3"});  // the next callback still ran
    EXPECT_TRUE(reported.empty());                             // not inside the hook
    ReportQueuedExceptions();
    Application->OnException = saved;
    EXPECT_EQ(reported, std::vector<std::wstring>{L"フック失敗"});
}
