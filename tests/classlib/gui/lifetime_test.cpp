// Window lifetime: a control taken apart while its window still gets messages, exceptions
// raised during destruction, and controls moved between forms with their windows.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "common/test_support.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace classlib;

namespace {

constexpr UINT WM_PING = WM_APP + 1;

// A container whose message handling and overrides use a member of its own class; every
// step lands in the log with the state of that member at the time.
class Container : public TCustomControl {
public:
    Container(TComponent* owner, std::vector<std::wstring>& log) : TCustomControl(owner), FLog(log) {
        SetBounds(0, 0, 200, 100);
    }
    ~Container() override {
        FState.reset();
        FLog.push_back(L"~Container");
    }

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_PING || m.Msg == WM_DESTROY)
            FLog.push_back((m.Msg == WM_PING ? L"ping:" : L"destroy:") + (FState ? *FState : L"gone"));
        TCustomControl::WndProc(m);
    }
    void RemoveControl(TControl* c) override {
        FLog.push_back(L"remove:" + (FState ? *FState : L"gone"));
        TCustomControl::RemoveControl(c);
    }
    void DestroyWnd() override {
        FLog.push_back(L"destroywnd:" + (FState ? *FState : L"gone"));
        TCustomControl::DestroyWnd();
    }

private:
    std::vector<std::wstring>& FLog;
    std::unique_ptr<std::wstring> FState = std::make_unique<std::wstring>(L"whole");
};

// A child that sends its parent's window a message while its own window goes.
class PingingChild : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void WMDestroy(TMessage& m) override {
        SendMessageW(GetParent(FHandle), WM_PING, 0, 0);
        TWinControl::WMDestroy(m);
    }
};

// A child whose WM_DESTROY handler fails.
class FailingChild : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void WMDestroy(TMessage& m) override {
        TWinControl::WMDestroy(m);
        throw EConvertError(L"WM_DESTROY で失敗");
    }
};

// A subclassed standard edit.
class Edit : public TWinControl {
public:
    explicit Edit(TComponent* owner) : TWinControl(owner) {
        FTabStop = true;
        SetBounds(8, 8, 120, 24);
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.SubClassName = L"EDIT";
        p.Style |= ES_AUTOHSCROLL;
    }
};

}  // namespace

TEST(Lifetime, DerivedControlIsWholeWhileItsWindowGoes) {
    std::vector<std::wstring> log;
    auto form = std::make_unique<TForm>(nullptr);
    auto* container = new Container(form.get(), log);
    container->SetParent(form.get());
    auto* child = new PingingChild(form.get());
    child->SetParent(container);
    form->Show();
    HWND wnd = container->Handle();
    HWND childWnd = child->Handle();
    SendMessageW(wnd, WM_PING, 0, 0);
    log.clear();

    delete container;
    // The child leaves through the container's own RemoveControl, pings the container from
    // its WM_DESTROY, and the container's window goes through its own DestroyWnd: all
    // while the container is whole. Its destructor comes after all of it.
    std::vector<std::wstring> expected = {L"remove:whole", L"ping:whole", L"destroywnd:whole", L"destroy:whole",
                                          L"~Container"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(IsWindow(childWnd));
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(form->ComponentCount(), 0) << "the child went with its parent and left its owner";
}

TEST(Lifetime, ControlDestroyedWithoutDeleteUnbindsItsWindowFirst) {
    std::vector<std::wstring> log;
    auto form = std::make_unique<TForm>(nullptr);
    HWND wnd = nullptr, childWnd = nullptr;
    {
        Container container(nullptr, log);
        container.SetParent(form.get());
        auto* child = new PingingChild(form.get());
        child->SetParent(&container);
        form->Show();
        wnd = container.Handle();
        childWnd = child->Handle();
        log.clear();
    }
    // The container's own parts go first; after that its window answers nothing to it.
    EXPECT_EQ(log, std::vector<std::wstring>{L"~Container"});
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(IsWindow(childWnd));
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST(Lifetime, ExceptionsDuringDestructionShowNoBoxAndAreReportedAfterwards) {
    DiscardQueuedExceptions();
    auto saved = Application->OnException;
    Application->OnException = nullptr;  // the real reporter: a message box
    // Should a box open during the destruction, this runs inside its loop, notes it, closes
    // it and comes again for a box that may follow; otherwise it runs later and finds none.
    bool boxSeen = false;
    int closersQueued = 0;
    std::function<void()> closeBoxes = [&] {
        --closersQueued;
        if (HWND box = testsupport::FindOwnDialog()) {
            boxSeen = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ++closersQueued;
            Application->QueueCall(closeBoxes);
        }
    };
    ++closersQueued;
    Application->QueueCall(closeBoxes);
    auto* form = new TForm(nullptr);
    form->OnDestroy = [](TComponent*) { throw EConvertError(L"OnDestroy で失敗"); };
    auto* child = new FailingChild(form);
    child->SetParent(form);
    form->Show();
    delete form;
    EXPECT_EQ(QueuedExceptionMessages(), (std::vector<std::wstring>{L"OnDestroy で失敗", L"WM_DESTROY で失敗"}));

    std::vector<std::wstring> shown;
    std::vector<TComponent*> senders;
    Application->OnException = [&](TComponent* sender, const Exception& e) {
        shown.push_back(e.Message());
        senders.push_back(sender);
    };
    testsupport::PumpMessages();
    EXPECT_EQ(closersQueued, 0);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"OnDestroy で失敗", L"WM_DESTROY で失敗"}))
        << "the loop reports them, in order, once";
    EXPECT_EQ(senders, (std::vector<TComponent*>{nullptr, nullptr})) << "the senders are gone";
    EXPECT_TRUE(QueuedExceptionMessages().empty());
    Application->OnException = saved;
}

TEST(Reparent, ControlMovedBetweenFormsKeepsWindowFocusSelectionAndChildren) {
    auto first = std::make_unique<TForm>(nullptr);
    first->SetBounds(50, 50, 300, 200);
    auto second = std::make_unique<TForm>(nullptr);
    second->SetBounds(400, 50, 300, 200);
    auto* panel = new TCustomControl(first.get());
    panel->SetParent(first.get());
    panel->SetBounds(10, 20, 200, 100);
    auto* edit = new Edit(first.get());
    edit->SetParent(panel);
    auto* other = new Edit(first.get());
    other->SetParent(panel);
    other->SetTop(40);
    auto* stay = new Edit(second.get());
    stay->SetParent(second.get());
    int exits = 0, enters = 0, stayExits = 0;
    edit->OnExit = [&](TComponent*) { ++exits; };
    edit->OnEnter = [&](TComponent*) { ++enters; };
    stay->OnExit = [&](TComponent*) { ++stayExits; };
    second->Show();
    stay->SetFocus();
    first->Show();
    edit->SetText(L"レジストリの値");
    edit->SetFocus();
    testsupport::PumpMessages();
    SendMessageW(edit->Handle(), EM_SETSEL, 2, 5);
    ASSERT_EQ(GetFocus(), edit->Handle());
    HWND panelWnd = panel->Handle(), editWnd = edit->Handle(), otherWnd = other->Handle();
    enters = 0;

    panel->SetParent(second.get());
    testsupport::PumpMessages();
    EXPECT_EQ(panel->Handle(), panelWnd);
    EXPECT_EQ(edit->Handle(), editWnd);
    EXPECT_EQ(other->Handle(), otherWnd);
    EXPECT_EQ(GetParent(panelWnd), second->Handle());
    EXPECT_EQ(GetParent(editWnd), panelWnd);
    EXPECT_EQ(GetParent(otherWnd), panelWnd);
    EXPECT_EQ(GetFocus(), editWnd);
    DWORD selStart = 0, selEnd = 0;
    SendMessageW(editWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    EXPECT_EQ(selStart, 2u);
    EXPECT_EQ(selEnd, 5u);
    EXPECT_EQ(edit->GetText(), L"レジストリの値");
    EXPECT_EQ(first->ActiveControl(), nullptr);
    EXPECT_EQ(second->ActiveControl(), edit);
    EXPECT_EQ(exits + enters, 0) << "the focus never left the edit";
    EXPECT_EQ(stayExits, 1) << "the control focused on the second form before hears it lost that";
    RECT r;
    GetWindowRect(panelWnd, &r);
    MapWindowPoints(nullptr, second->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    // The moved controls go with their new parent.
    EXPECT_EQ(second->ControlCount(), 2);
    EXPECT_EQ(first->ControlCount(), 0);
    EXPECT_EQ(second->FindNextControl(stay, true, true, false), edit);
}

TEST(Reparent, TopLevelChangesMakeNewWindowsAndCyclesAreRefused) {
    auto host = std::make_unique<TForm>(nullptr);
    auto* panel = new TCustomControl(host.get());
    panel->SetParent(host.get());
    auto* inner = new TCustomControl(host.get());
    inner->SetParent(panel);
    EXPECT_THROW(panel->SetParent(inner), EInvalidOperation);
    EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
    EXPECT_EQ(panel->Parent(), host.get());

    // A form with its own top-level window put on a panel gets a child window, which then
    // moves as any other.
    auto* embedded = new TForm(host.get());
    embedded->SetBorderStyle(bsNone);
    HWND topLevel = embedded->Handle();
    host->Show();
    embedded->SetParent(panel);
    embedded->Show();
    EXPECT_FALSE(IsWindow(topLevel));
    HWND child = embedded->Handle();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(GetParent(child), panel->Handle());
    embedded->SetParent(host.get());
    EXPECT_EQ(embedded->Handle(), child);
    EXPECT_EQ(GetParent(child), host->Handle());

    // A control leaving for no parent loses its window; it gets one again on a parent.
    HWND innerWnd = inner->Handle();
    inner->SetParent(nullptr);
    EXPECT_FALSE(inner->HandleAllocated());
    EXPECT_FALSE(IsWindow(innerWnd));
    inner->SetParent(host.get());
    EXPECT_TRUE(inner->HandleAllocated());
    EXPECT_EQ(GetParent(inner->Handle()), host->Handle());
}
