// The window layer under a real display: text, notifications, focus keys, forms, MDI,
// actions, the loop's exception handling, drawing.
#include <gtest/gtest.h>

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/dragdrop.h"
#include "classlib/form.h"
#include "classlib/graphics.h"
#include "classlib/menus.h"
#include "common/test_support.h"

#include <memory>
#include <string>
#include <vector>

using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// A control that counts its text notifications.
class CountingControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    int TextChanges = 0;

protected:
    void CMTextChanged(TMessage&) override { ++TextChanges; }
};

// A subclassed standard edit, as the edit controls of the program are made.
class TestEdit : public TWinControl {
public:
    explicit TestEdit(TComponent* owner, DWORD style = 0) : TWinControl(owner), FEditStyle(style) {
        FTabStop = true;
        SetBounds(8, 8, 120, 24);
    }
    std::wstring Typed;

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.SubClassName = L"EDIT";
        p.Style |= ES_AUTOHSCROLL | FEditStyle;
        p.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void KeyPress(wchar_t& key) override {
        Typed += key;
        TWinControl::KeyPress(key);
    }
    DWORD FEditStyle;
};

// A push button with a modal result and default/cancel roles.
class TestButton : public TWinControl {
public:
    explicit TestButton(TComponent* owner) : TWinControl(owner) {
        FTabStop = true;
        SetBounds(8, 40, 80, 24);
    }
    TModalResult Result = mrNone;
    bool Default = false, Cancel = false;
    void Click() override {
        if (TForm* f = GetParentForm(this); f && Result != mrNone) f->SetModalResult(Result);
        TWinControl::Click();
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.SubClassName = L"BUTTON";
        p.Style |= BS_PUSHBUTTON;
    }
    void CNCommand(TMessage& m) override {
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
    }
    void CMDialogKey(TMessage& m) override {
        if ((m.WParam == VK_RETURN && Default) || (m.WParam == VK_ESCAPE && Cancel)) {
            Click();
            m.Result = 1;
        }
    }
};

}  // namespace

TEST(WindowText, EqualTextSendsNothingAndTextBeforeCreationAppears) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* c = new CountingControl(form.get());
    c->SetParent(form.get());
    c->SetText(L"レジストリ");
    EXPECT_EQ(c->TextChanges, 1);
    c->SetText(L"レジストリ");
    EXPECT_EQ(c->TextChanges, 1) << "same text must not notify";
    HWND wnd = c->Handle();
    wchar_t buf[64] = {};
    GetWindowTextW(wnd, buf, 64);
    EXPECT_STREQ(buf, L"レジストリ");
    c->SetText(L"レジストリ");
    EXPECT_EQ(c->TextChanges, 1);
    c->SetText(L"値");
    EXPECT_EQ(c->TextChanges, 2);
    // The text survives a new window, also characters without a code-page form.
    c->SetText(L"\u4E00\U0001F600");
    form->RecreateWnd();
    EXPECT_NE(c->Handle(), nullptr);
    EXPECT_EQ(c->GetText(), L"\u4E00\U0001F600");
}

TEST(WindowText, JapaneseCharacterReachesEditWhole) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* e = new TestEdit(form.get());
    e->SetParent(form.get());
    form->Show();
    e->SetFocus();
    ASSERT_TRUE(IsWindowUnicode(e->Handle()));
    std::wstring seenFirst;
    Application->OnMessage = [&](MSG& msg, bool&) {
        if (msg.message == WM_CHAR && msg.hwnd == e->Handle()) seenFirst += static_cast<wchar_t>(msg.wParam);
    };
    PostMessageW(e->Handle(), WM_CHAR, 0x3042, 1);
    PostMessageW(e->Handle(), WM_CHAR, 0x6F22, 1);
    PumpMessages();
    Application->OnMessage = nullptr;
    EXPECT_EQ(seenFirst, L"\u3042\u6F22") << "the application sees the character first";
    EXPECT_EQ(e->Typed, L"\u3042\u6F22");
    TControlCanvas canvas(e);
    EXPECT_GT(canvas.TextWidth(L"\u3042"), 0);
    EXPECT_EQ(e->GetText(), L"\u3042\u6F22");
}

TEST(Forms, ModalResultFromDefaultAndCancelButtons) {
    struct Case {
        WPARAM key;
        TModalResult expected;
    } cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}};
    for (const Case& k : cases) {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsDialog);
        form->SetPosition(poScreenCenter);
        auto* edit = new TestEdit(form.get());
        edit->SetParent(form.get());
        auto* ok = new TestButton(form.get());
        ok->SetParent(form.get());
        ok->Result = mrOk;
        ok->Default = true;
        auto* cancel = new TestButton(form.get());
        cancel->SetParent(form.get());
        cancel->SetLeft(100);
        cancel->Result = mrCancel;
        cancel->Cancel = true;
        form->SetActiveControl(edit);
        Application->QueueCall([&] { PostMessageW(edit->Handle(), WM_KEYDOWN, k.key, 1); });
        EXPECT_EQ(form->ShowModal(), k.expected);
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
    }
}

// A multi-line edit asks the system for every key, but Esc in it still reaches the cancel
// button; Enter stays the edit's when it takes returns. Without a cancel button Esc closes
// nothing: not the dialog, nor the edit's parent (the system's edit would close that).
TEST(Forms, EscInAMultiLineEditCancelsTheDialog) {
    struct Case {
        const char* What;
        DWORD Style;
        WPARAM Key;
        bool CancelButton;
        TModalResult Expected;
    } cases[] = {
        {"Esc, single line", 0, VK_ESCAPE, true, mrCancel},
        {"Esc, multi-line", ES_MULTILINE | ES_WANTRETURN, VK_ESCAPE, true, mrCancel},
        {"Esc, multi-line without returns", ES_MULTILINE, VK_ESCAPE, true, mrCancel},
        {"Esc, multi-line, no cancel button", ES_MULTILINE | ES_WANTRETURN, VK_ESCAPE, false, mrAbort},
        {"Enter, multi-line taking returns", ES_MULTILINE | ES_WANTRETURN, VK_RETURN, true, mrAbort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsDialog);
        form->SetPosition(poScreenCenter);
        auto* panel = new TWinControl(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 200, 100);
        auto* edit = new TestEdit(form.get(), c.Style | WS_VSCROLL);
        edit->SetParent(panel);
        edit->SetHeight(60);
        auto* cancel = new TestButton(form.get());
        cancel->SetParent(form.get());
        cancel->SetTop(110);
        cancel->Result = mrCancel;
        cancel->Cancel = c.CancelButton;
        form->SetActiveControl(edit);
        const HWND panelWindow = panel->Handle();
        // The key goes the way a typed key goes; a dialog still open after it is ended.
        Application->QueueCall([&] {
            PostMessageW(edit->Handle(), WM_KEYDOWN, c.Key, 1);
            Application->QueueCall([&] {
                PumpMessages();
                if (form->ModalResult() == mrNone) form->SetModalResult(mrAbort);
            });
        });
        EXPECT_EQ(form->ShowModal(), c.Expected);
        PumpMessages();
        EXPECT_TRUE(IsWindow(panelWindow)) << "nothing closed the edit's parent";
    }
}

// The messages a double click leaves: press, release, second press as a double click, release.
TEST(Mouse, ADoubleClickIsTwoClicksWithoutDoubleClicks) {
    for (bool doubleClicks : {false, true}) {
        SCOPED_TRACE(doubleClicks ? "takes double clicks" : "takes no double clicks");
        auto form = std::make_unique<TForm>(nullptr);
        auto* c = new TCustomControl(form.get());
        c->SetParent(form.get());
        c->SetBounds(10, 10, 80, 30);
        c->SetControlStyle(doubleClicks ? c->ControlStyle() | csDoubleClicks : c->ControlStyle() & ~csDoubleClicks);
        int clicks = 0, doubles = 0;
        c->OnClick = [&](TComponent*) { ++clicks; };
        c->OnDblClick = [&](TComponent*) { ++doubles; };
        form->Show();
        PumpMessages();
        for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageW(c->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_TRUE(PumpUntil([&] { return clicks + doubles == 2; }));
        EXPECT_EQ(clicks, doubleClicks ? 1 : 2);
        EXPECT_EQ(doubles, doubleClicks ? 1 : 0);
    }
}

TEST(Forms, CloseQueryCanRefuseAndCloseCancelsModal) {
    auto form = std::make_unique<TForm>(nullptr);
    int asked = 0;
    form->OnCloseQuery = [&](TComponent*, bool& can) { can = ++asked > 1; };
    Application->QueueCall([&] { PostMessageW(form->Handle(), WM_CLOSE, 0, 0); });
    Application->QueueCall([&] { Application->QueueCall([&] { form->Close(); }); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST(Forms, ScreenCentredPosition) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    form->SetPosition(poScreenCenter);
    form->Show();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 150);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 100);
}

TEST(Forms, MdiChildrenNeedAFrameAndAreListed) {
    auto* lone = new TForm(nullptr);
    lone->SetFormStyle(fsMDIChild);
    EXPECT_THROW(lone->HandleNeeded(), EInvalidOperation);
    delete lone;

    auto* frame = new TForm(nullptr);
    frame->SetFormStyle(fsMDIForm);
    frame->SetText(L"Wendlar");
    Application->SetMainForm(frame);
    frame->Show();
    ASSERT_NE(frame->ClientHandle(), nullptr);
    auto* child = new TForm(frame);
    child->SetFormStyle(fsMDIChild);
    child->SetText(L"子ウィンドウ");
    child->Show();
    PumpMessages();
    EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());
    EXPECT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->MDIChildren(0), child);
    EXPECT_EQ(frame->ActiveMDIChild(), child);

    // The frame activated again (a dialog of its own closed) gives the focus to the child,
    // which hands it to the control that had it.
    auto* edit = new TestEdit(child);
    edit->SetParent(child);
    edit->SetFocus();
    ASSERT_EQ(GetFocus(), edit->Handle());
    auto dialog = std::make_unique<TForm>(nullptr);
    dialog->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == dialog->Handle(); }));
    dialog.reset();
    SetActiveWindow(frame->Handle());
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
    delete child;
    EXPECT_EQ(frame->MDIChildCount(), 0);
    Application->SetMainForm(nullptr);
    delete frame;
}

TEST(Loop, ExceptionInHandlerIsHandledAndLoopGoesOn) {
    auto saved = Application->OnException;
    std::wstring seen;
    int aborts = 0;
    Application->OnException = [&](TComponent*, const Exception& e) { seen = e.Message(); };
    bool after = false;
    auto form = std::make_unique<TForm>(nullptr);
    form->OnResize = [](TComponent*) { throw EConvertError(L"不正な値"); };
    form->Show();
    form->SetBounds(10, 10, 333, 222);  // WM_SIZE inside the window procedure throws
    EXPECT_EQ(seen, L"不正な値");
    seen.clear();
    Application->QueueCall([] { throw EAbort(L"silent"); });
    Application->QueueCall([&] { after = true; });
    PumpMessages();
    EXPECT_TRUE(seen.empty()) << "EAbort is silent";
    EXPECT_TRUE(after);
    (void)aborts;
    Application->OnException = saved;
}

TEST(Actions, ShortcutRunsFirstEnabledActionBeforeTheControl) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* edit = new TestEdit(form.get());
    edit->SetParent(form.get());
    auto* list = new TActionList(form.get());
    auto* disabled = new TAction(list);
    auto* enabled = new TAction(list);
    int ranDisabled = 0, ranEnabled = 0, updates = 0;
    disabled->SetShortCut(ShortCut('R', 0) | scCtrl);
    disabled->OnExecute = [&](TComponent*) { ++ranDisabled; };
    disabled->OnUpdate = [&](TComponent* s) {
        ++updates;
        static_cast<TAction*>(s)->SetEnabled(false);
    };
    enabled->SetShortCut(ShortCut('R', ssCtrl));
    enabled->OnExecute = [&](TComponent*) { ++ranEnabled; };
    EXPECT_TRUE(form->IsShortCut('R', ssCtrl));
    EXPECT_EQ(ranDisabled, 0);
    EXPECT_EQ(ranEnabled, 1);
    EXPECT_GT(updates, 0);
    EXPECT_FALSE(form->IsShortCut('Q', ssCtrl));
    // Idle processing updates the actions of visible forms.
    form->Show();
    updates = 0;
    Application->DoActionIdle();
    EXPECT_GT(updates, 0);
}

TEST(Actions, LinkedControlsFollowOnlyWhileEqual) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* a = new TAction(form.get());
    a->SetCaption(L"開く(&O)");
    a->SetHint(L"開く|キーを開きます");
    auto* b1 = new CountingControl(form.get());
    auto* b2 = new CountingControl(form.get());
    b1->SetParent(form.get());
    b2->SetParent(form.get());
    b1->SetAction(a);
    b2->SetAction(a);
    EXPECT_EQ(b1->GetText(), L"開く(&O)");
    EXPECT_EQ(b1->Hint(), L"開く|キーを開きます");
    b2->SetText(L"手で変更");
    a->SetCaption(L"\U0001F600新しい");
    EXPECT_EQ(b1->GetText(), L"\U0001F600新しい");
    EXPECT_EQ(b2->GetText(), L"手で変更") << "a changed caption is no longer linked";
    a->SetEnabled(false);
    EXPECT_FALSE(b1->Enabled());
    int clicks = 0;
    a->SetEnabled(true);
    a->OnExecute = [&](TComponent*) { ++clicks; };
    b1->Click();
    EXPECT_EQ(clicks, 1);
    delete a;
    EXPECT_EQ(b1->Action(), nullptr);
}

TEST(Actions, MenuShortcutAndCaptionLink) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* menu = new TMainMenu(form.get());
    auto* file = new TMenuItem(form.get());
    file->SetCaption(L"ファイル(&F)");
    menu->Items()->Add(file);
    auto* item = new TMenuItem(form.get());
    file->Add(item);
    auto* a = new TAction(form.get());
    int runs = 0;
    a->OnExecute = [&](TComponent*) { ++runs; };
    a->SetCaption(L"終了(&X)");
    a->SetShortCut(ShortCut(VK_F4, ssAlt));
    item->SetAction(a);
    form->SetMenu(menu);
    form->Show();
    EXPECT_EQ(item->Caption(), L"終了(&X)");
    wchar_t text[64] = {};
    GetMenuStringW(GetSubMenu(GetMenu(form->Handle()), 0), item->Command(), text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"終了(&X)\tAlt+F4");
    EXPECT_TRUE(form->IsShortCut(VK_F4, ssAlt));
    EXPECT_EQ(runs, 1);
    SendMessageW(form->Handle(), WM_COMMAND, item->Command(), 0);
    EXPECT_EQ(runs, 2);
}

TEST(Drawing, BitmapCanvasAndPixels) {
    TBitmap bmp(16, 8, pf32bit);
    bmp.Canvas().Brush().SetColor(clRed);
    RECT r{0, 0, 8, 8};
    bmp.Canvas().FillRect(r);
    EXPECT_EQ(bmp.Canvas().Pixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(bmp.Canvas().Pixel(12, 2), RGB(255, 255, 255)) << "a new bitmap is white";
    auto* row = static_cast<DWORD*>(bmp.ScanLine(3));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row[2] & 0xFFFFFF, 0xFF0000u) << "ScanLine sees BGRA";
    EXPECT_EQ(bmp.ScanLine(8), nullptr);
    bmp.SetSize(4, 4);
    EXPECT_EQ(bmp.Canvas().Pixel(1, 1), RGB(255, 0, 0)) << "resizing keeps the picture";
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
}

TEST(DragDrop, DropOnAcceptingControl) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    auto* src = new CountingControl(form.get());
    src->SetParent(form.get());
    src->SetBounds(10, 10, 80, 80);
    auto* dst = new CountingControl(form.get());
    dst->SetParent(form.get());
    dst->SetBounds(200, 10, 80, 80);
    TComponent* dropped = nullptr;
    TComponent* ended = reinterpret_cast<TComponent*>(1);
    dst->OnDragOver = [&](TComponent*, TComponent* s, int, int, int, bool& accept) { accept = s == src; };
    dst->OnDragDrop = [&](TComponent*, TComponent* s, int, int) { dropped = s; };
    src->OnEndDrag = [&](TComponent*, TComponent* t, int, int) { ended = t; };
    form->Show();
    PumpMessages();
    POINT start = src->ClientToScreen({40, 40});
    SetCursorPos(start.x, start.y);
    src->BeginDrag(false, 5);
    POINT over = dst->ClientToScreen({40, 40});
    SetCursorPos(over.x, over.y);
    MSG move{src->Handle(), WM_MOUSEMOVE, 0, 0};
    EXPECT_TRUE(classlib::DragProcessMessage(move));
    EXPECT_EQ(DragSource(), src);
    MSG up{src->Handle(), WM_LBUTTONUP, 0, 0};
    EXPECT_TRUE(classlib::DragProcessMessage(up));
    EXPECT_EQ(dropped, src);
    EXPECT_EQ(ended, dst);
    EXPECT_EQ(DragSource(), nullptr);
    // Esc cancels: the source hears of no target.
    SetCursorPos(start.x, start.y);
    src->BeginDrag(true);
    MSG esc{src->Handle(), WM_KEYDOWN, VK_ESCAPE, 0};
    EXPECT_TRUE(classlib::DragProcessMessage(esc));
    EXPECT_EQ(ended, nullptr);
}

TEST(Loop, UnhandledExceptionIsShownInAMessageBox) {
    auto saved = Application->OnException;
    Application->OnException = nullptr;
    std::wstring shown;
    bool after = false;
    Application->QueueCall([] { throw EConvertError(L"値が不正です"); });
    // Runs inside the message box's own loop: read the box and close it.
    Application->QueueCall([&] {
        HWND box = nullptr;
        ASSERT_TRUE(testsupport::WaitUntil([&] { return (box = testsupport::FindOwnDialog()) != nullptr; }));
        EnumChildWindows(
            box,
            [](HWND w, LPARAM lp) -> BOOL {
                wchar_t buf[128] = {};
                GetWindowTextW(w, buf, 128);
                if (std::wstring(buf) == L"値が不正です") *reinterpret_cast<std::wstring*>(lp) = buf;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Application->QueueCall([&] { after = true; });
    PumpMessages();
    Application->OnException = saved;
    EXPECT_EQ(shown, L"値が不正です");
    EXPECT_TRUE(after) << "the loop goes on";
}

TEST(Forms, ReleaseFromOwnHandlerAndFocusOrder) {
    auto* form = new TForm(nullptr);
    bool destroyed = false;
    form->OnDestroy = [&](TComponent*) { destroyed = true; };
    auto* first = new TestEdit(form);
    first->SetParent(form);
    auto* second = new TestEdit(form);
    second->SetParent(form);
    second->SetTop(40);
    std::wstring order;
    first->OnEnter = [&](TComponent*) { order += L"+1"; };
    first->OnExit = [&](TComponent*) { order += L"-1"; };
    second->OnEnter = [&](TComponent*) { order += L"+2"; };
    second->OnExit = [&](TComponent*) { order += L"-2"; };
    form->Show();
    PumpMessages();
    EXPECT_EQ(form->ActiveControl(), first);
    PostMessageW(first->Handle(), WM_KEYDOWN, VK_TAB, 1);
    PumpMessages();
    EXPECT_EQ(GetFocus(), second->Handle()) << "Tab moves the focus";
    EXPECT_EQ(form->ActiveControl(), second);
    EXPECT_EQ(order, L"+1-1+2");
    form->OnClose = [](TComponent*, TCloseAction& a) { a = caFree; };
    second->OnKeyPress = [&](TComponent*, wchar_t&) { form->Close(); };
    PostMessageW(second->Handle(), WM_CHAR, L'x', 1);
    PumpMessages();
    EXPECT_TRUE(destroyed);
}

TEST(Layout, AlignAndAnchors) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsDialog);
    form->SetClientSize(400, 300);
    auto* top = new CountingControl(form.get());
    top->SetParent(form.get());
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* client = new CountingControl(form.get());
    client->SetParent(form.get());
    client->SetAlign(alClient);
    auto* corner = new TestButton(form.get());
    corner->SetParent(form.get());
    corner->SetBounds(300, 250, 80, 24);
    corner->SetAnchors(akRight | akBottom);
    EXPECT_EQ(top->Width(), 400);
    EXPECT_EQ(client->Top(), 30);
    EXPECT_EQ(client->Height(), 270);
    form->Show();
    EXPECT_EQ(form->ClientWidth(), 400);
    EXPECT_EQ(client->Height(), 270);
    form->SetClientSize(500, 350);
    EXPECT_EQ(top->Width(), 500);
    EXPECT_EQ(client->Height(), 320);
    EXPECT_EQ(corner->Left(), 400);
    EXPECT_EQ(corner->Top(), 300);
}

// A control that notes, for each notice that its form is about to show, whether the form's
// window was visible then; it sizes itself at that moment, as lazy layouts do.
class ShowWatcher : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<bool> FormVisibleAtNotice;

protected:
    void CMFormShowing(TMessage& m) override {
        TForm* form = GetParentForm(this);
        FormVisibleAtNotice.push_back(form && IsWindowVisible(form->Handle()));
        SetHeight(40);
        TWinControl::CMFormShowing(m);
    }
};

TEST(Forms, ControlsHearOfAShowBeforeTheWindowIsVisible) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(300, 200);
    auto* panel = new CountingControl(form.get());
    panel->SetParent(form.get());
    panel->SetAlign(alClient);
    auto* nested = new ShowWatcher(form.get());
    nested->SetParent(panel);
    nested->SetAlign(alTop);
    nested->SetHeight(20);
    form->Show();
    EXPECT_EQ(nested->FormVisibleAtNotice, (std::vector<bool>{false}));
    EXPECT_EQ(nested->Height(), 40);  // laid out before the window was seen
    form->Show();                      // already visible: nothing to prepare
    EXPECT_EQ(nested->FormVisibleAtNotice.size(), 1u);
    form->Hide();
    form->Show();
    EXPECT_EQ(nested->FormVisibleAtNotice, (std::vector<bool>{false, false}));
}

TEST(Windows, ChildIdsAreDrawnOnlyWhenAWindowIsMade) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* first = new CountingControl(form.get());
    first->SetParent(form.get());
    first->HandleNeeded();
    // Asking a windowless control for its client rectangle makes no window and uses no id.
    auto* windowless = new CountingControl(form.get());
    windowless->SetBounds(0, 0, 50, 40);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(windowless->ClientRect().right, 50);
    EXPECT_FALSE(windowless->HandleAllocated());
    auto* second = new CountingControl(form.get());
    second->SetParent(form.get());
    second->HandleNeeded();
    EXPECT_NE(0, GetDlgCtrlID(first->Handle()));
    EXPECT_EQ(GetDlgCtrlID(first->Handle()) + 1, GetDlgCtrlID(second->Handle()));
    // A top-level window has no id: its menu field stays empty.
    EXPECT_EQ(nullptr, GetMenu(form->Handle()));
}
