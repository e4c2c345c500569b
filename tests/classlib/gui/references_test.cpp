// Pointers between components of different owners, and the application's one queue of
// deferred calls.
#include <gtest/gtest.h>

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/menus.h"

#include <memory>
#include <string>
#include <vector>

using namespace classlib;

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

TEST(References, ControlAndFormForgetComponentsOfOtherOwners) {
    // Everything the form points at belongs to another owner, so the form is not told of
    // their end through ownership.
    TComponent others(nullptr);
    auto form = std::make_unique<TForm>(nullptr);
    auto* edit = new TWinControl(&others);
    edit->SetParent(form.get());
    auto* popup = new TPopupMenu(&others);
    auto* menu = new TMainMenu(&others);
    auto* action = new TAction(&others);
    action->SetCaption(L"実行");
    form->SetPopupMenu(popup);
    form->SetMenu(menu);
    form->SetActiveControl(edit);
    edit->SetAction(action);
    form->Show();
    ASSERT_EQ(GetMenu(form->Handle()), menu->Handle());

    delete popup;
    EXPECT_EQ(form->PopupMenu(), nullptr);
    delete menu;
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);  // the window shows no freed menu
    delete action;
    EXPECT_EQ(edit->Action(), nullptr);
    edit->InitiateAction();  // nothing left to update
    delete edit;
    EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST(DeferredCalls, CancelledCallsDoNotRunAndTheRestKeepTheirOrder) {
    std::vector<int> ran;
    int owner = 0, other = 0;
    Application->QueueCall([&] { ran.push_back(1); }, &owner);
    Application->QueueCall([&] { ran.push_back(2); }, &other);
    Application->QueueCall([&] {
        ran.push_back(3);
        // A call may cancel calls queued after it.
        Application->CancelQueuedCalls(&other);
    });
    Application->QueueCall([&] { ran.push_back(4); }, &other);
    Application->QueueCall([&] { ran.push_back(5); }, &owner);
    Application->CancelQueuedCalls(&owner);
    Application->CancelQueuedCalls(nullptr);  // calls without an owner cannot be cancelled
    Pump();
    EXPECT_EQ(ran, (std::vector<int>{2, 3}));
}

TEST(DeferredCalls, CallsKeepTheirPlaceAmongPostedMessages) {
    // Each call is one posted message: one queued between two posted messages runs between
    // them, also when the messages are handled by another loop.
    auto form = std::make_unique<TForm>(nullptr);
    HWND wnd = form->Handle();
    std::vector<std::wstring> order;
    form->OnKeyDown = [&](TComponent*, WORD& key, TShiftState) { order.push_back(std::wstring(1, wchar_t(key))); };
    PostMessageW(wnd, WM_KEYDOWN, 'A', 1);
    Application->QueueCall([&] { order.push_back(L"call"); });
    PostMessageW(wnd, WM_KEYDOWN, 'B', 1);
    Pump();
    EXPECT_EQ(order, (std::vector<std::wstring>{L"A", L"call", L"B"}));
}
