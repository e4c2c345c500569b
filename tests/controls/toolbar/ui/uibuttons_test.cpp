#include "controls/toolbar/ui/uibuttons.h"

#include "classlib/menus.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/wide/wideedit.h"
#include "uicontrols_fixture.h"
#include "uihintcheck.h"

#include <string>
#include <vector>

using namespace ui;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// A button whose drop-down menu "opens" by recording the call; meanwhile the test may queue
// the messages that a click on the screen would leave behind.
class MenuButton : public TUiButton {
public:
    using TUiButton::TUiButton;
    std::function<void()> WhileOpen;
    bool ActiveWhileOpen = false;
    RECT Below{};

protected:
    void PopupDropDownMenu(TPopupMenu&, const RECT& below) override {
        ActiveWhileOpen = DropDownActive();
        Below = below;
        if (WhileOpen) WhileOpen();
    }
};

// A quit request is found whatever the filter: only the message asked for counts.
bool Pending(HWND window, UINT message) {
    MSG msg;
    return PeekMessageW(&msg, window, message, message, PM_NOREMOVE) && msg.message == message;
}

}  // namespace

// Radio buttons exclude each other per parent and group index, at once (no message travels);
// check boxes never group.
TEST_F(UiControls, RadioExclusionPerParentAndGroup) {
    auto* other = Add<TUiPanel>(Form, 250, 10, 200, 200);
    auto* a = Add<TUiRadioButton>(Form, 10, 10, 100, 20);
    auto* b = Add<TUiRadioButton>(Form, 10, 30, 100, 20);
    auto* c = Add<TUiRadioButton>(Form, 10, 50, 100, 20);
    auto* group1 = Add<TUiRadioButton>(Form, 10, 70, 100, 20);
    group1->SetGroupIndex(1);
    auto* elsewhere = Add<TUiRadioButton>(other, 10, 10, 100, 20);
    auto* box1 = Add<TUiCheckBox>(Form, 10, 90, 100, 20);
    auto* box2 = Add<TUiCheckBox>(Form, 10, 110, 100, 20);
    int clicks = 0;
    a->OnClick = [&](TComponent*) { ++clicks; };
    b->SetChecked(true);
    group1->SetChecked(true);
    elsewhere->SetChecked(true);
    box1->SetChecked(true);
    box2->SetChecked(true);

    a->SetChecked(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());
    EXPECT_FALSE(c->Checked());
    EXPECT_TRUE(group1->Checked()) << "another group index";
    EXPECT_TRUE(elsewhere->Checked()) << "another parent";
    EXPECT_TRUE(box1->Checked() && box2->Checked()) << "check boxes do not group";
    EXPECT_EQ(clicks, 1) << "checking fires OnClick";
    EXPECT_TRUE(a->TabStop());
    EXPECT_FALSE(b->TabStop()) << "only the checked button is a tab stop";

    // A click on a checked radio button changes nothing.
    a->Click();
    EXPECT_EQ(clicks, 1);
    b->Click();
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
}

// Clicks cycle a check box unchecked, grayed, checked, unchecked with AllowGrayed; every state
// change fires OnClick once, also one made in code.
TEST_F(UiControls, CheckBoxGrayedCycle) {
    auto* box = Add<TUiCheckBox>(Form, 10, 10, 100, 20);
    box->AllowGrayed = true;
    int clicks = 0;
    box->OnClick = [&](TComponent*) { ++clicks; };
    const wide::TCheckBoxState cycle[] = {wide::cbGrayed, wide::cbChecked, wide::cbUnchecked, wide::cbGrayed};
    for (wide::TCheckBoxState expected : cycle) {
        box->Click();
        EXPECT_EQ(box->State(), expected);
    }
    EXPECT_EQ(clicks, 4);
    box->SetChecked(true);
    EXPECT_EQ(box->State(), wide::cbChecked);
    EXPECT_EQ(clicks, 5);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 5) << "no change, no click";
    box->AllowGrayed = false;
    box->Click();
    box->Click();
    EXPECT_EQ(box->State(), wide::cbChecked) << "unchecked goes straight to checked";
}

// A double click is two clicks on the buttons, as on the system's own: a check box toggles
// twice, a push button clicks twice.
TEST_F(UiControls, ADoubleClickClicksTwice) {
    auto* box = Add<TUiCheckBox>(Form, 10, 10, 100, 20);
    auto* button = Add<TUiButton>(Form, 10, 40, 75, 25);
    auto* radio = Add<TUiRadioButton>(Form, 10, 70, 100, 20);
    int boxClicks = 0, buttonClicks = 0, radioClicks = 0;
    box->OnClick = [&](TComponent*) { ++boxClicks; };
    button->OnClick = [&](TComponent*) { ++buttonClicks; };
    radio->OnClick = [&](TComponent*) { ++radioClicks; };
    PumpMessages();
    auto doubleClick = [](TWinControl* control) {
        for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageW(control->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
    };
    doubleClick(box);
    EXPECT_TRUE(PumpUntil([&] { return boxClicks == 2; }));
    EXPECT_FALSE(box->Checked());
    doubleClick(button);
    EXPECT_TRUE(PumpUntil([&] { return buttonClicks == 2; }));
    doubleClick(radio);
    PumpMessages();
    EXPECT_TRUE(radio->Checked());
    EXPECT_EQ(radioClicks, 1) << "the second click finds it checked";
}

// Enter clicks the Default button unless another push button has the focus, which then acts;
// Esc clicks the Cancel button; the clicks set the form's modal result.
TEST_F(UiControls, DefaultAndCancelKeys) {
    auto* field = Add<wide::TWideEdit>(Form, 10, 10, 100, 20);
    auto* ok = Add<TUiButton>(Form, 10, 40, 75, 25);
    ok->SetDefault(true);
    ok->ModalResult = mrOk;
    auto* cancel = Add<TUiButton>(Form, 100, 40, 75, 25);
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
    auto* other = Add<TUiButton>(Form, 200, 40, 75, 25);
    int otherClicks = 0;
    other->OnClick = [&](TComponent*) { ++otherClicks; };
    PumpMessages();

    field->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return field->Focused(); }));
    EXPECT_TRUE(ok->ActsOnEnter());
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(Form->ModalResult(), mrOk);

    Form->SetModalResult(mrNone);
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(Form->ModalResult(), mrCancel);

    Form->SetModalResult(mrNone);
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return other->Focused(); }));
    EXPECT_FALSE(ok->ActsOnEnter()) << "another push button has the focus";
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(Form->ModalResult(), mrNone);
}

// A repeating button clicks at once on mouse down, again after 400 ms and then every 100 ms
// while pushed; releasing the button stops and frees the timer.
TEST_F(UiControls, RepeatingButtonTiming) {
    auto* button = Add<TUiButton>(Form, 10, 10, 75, 25);
    button->SetRepeating(true);
    int clicks = 0;
    button->OnClick = [&](TComponent*) { ++clicks; };
    PumpMessages();
    const POINT at = button->ClientToScreen({20, 10});
    SetCursorPos(at.x, at.y);
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_EQ(clicks, 1);
    ASSERT_NE(button->RepeatTimer(), nullptr);
    EXPECT_EQ(button->RepeatTimer()->Interval(), 400u);
    ASSERT_TRUE(PumpUntil([&] { return clicks >= 2; }));
    EXPECT_EQ(button->RepeatTimer()->Interval(), 100u);
    ASSERT_TRUE(PumpUntil([&] { return clicks >= 4; }));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(button->RepeatTimer(), nullptr);
    const int after = clicks;
    PumpMessages();
    EXPECT_EQ(clicks, after) << "the release does not click again";
}

// A button with a drop-down menu shows it under itself instead of clicking; the press that
// closed the menu on the button is dropped, other pending mouse messages and a quit request
// stay in their order.
TEST_F(UiControls, DropDownDropsTheClosingClick) {
    auto* menu = new TPopupMenu(Form);
    auto* button = Add<MenuButton>(Form, 10, 10, 75, 25);
    auto* neighbour = Add<TUiButton>(Form, 100, 10, 75, 25);
    button->SetDropDownMenu(menu);
    int clicks = 0;
    button->OnClick = [&](TComponent*) { ++clicks; };
    PumpMessages();
    HWND self = button->Handle(), other = neighbour->Handle();
    button->WhileOpen = [&] {
        PostMessageW(self, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(other, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        PostMessageW(self, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PostQuitMessage(7);
    };
    button->Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(button->ActiveWhileOpen);
    EXPECT_FALSE(button->DropDownActive());
    EXPECT_EQ(menu->PopupComponent, button);
    const POINT bottomLeft = button->ClientToScreen({0, button->Height()});
    EXPECT_EQ(button->Below.left, bottomLeft.x);
    EXPECT_EQ(button->Below.bottom, bottomLeft.y);

    EXPECT_FALSE(Pending(self, WM_LBUTTONDOWN));
    EXPECT_TRUE(Pending(other, WM_RBUTTONDOWN));
    EXPECT_TRUE(Pending(self, WM_LBUTTONUP));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    while (PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }

    // Without a menu the click is a click again; a freed menu is forgotten.
    delete menu;
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    button->Click();
    EXPECT_EQ(clicks, 1);
}

// A speed button with a group index flips its Checked state on click and keeps its group
// exclusive; it never takes the focus.
TEST_F(UiControls, SpeedButtonGroup) {
    auto* a = Add<TUiSpeedButton>(Form, 10, 10, 22, 23);
    auto* b = Add<TUiSpeedButton>(Form, 40, 10, 22, 23);
    a->SetGroupIndex(3);
    b->SetGroupIndex(3);
    a->Click();
    EXPECT_TRUE(a->Checked());
    b->Click();
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    b->Click();
    EXPECT_FALSE(b->Checked());
    EXPECT_FALSE(a->CanFocus());
}

// A caption control whose hint handler draws the hint itself hands the drawn bitmap to the
// bitmap hint window, which shows all of it inside its border; a handler that keeps the
// default leaves the standard hint.
TEST_F(UiControls, DrawnHintShowsInTheBitmapHint) {
    auto* label = Add<TUiLabel>(Form, 10, 10, 120, 20);
    label->SetHint(L"ヒントです");
    bool drawItself = false;
    label->OnDrawHint = [&](TComponent*, TBitmap& bitmap, std::wstring& hint, bool& paintDefault) {
        EXPECT_EQ(hint, L"ヒントです");
        EXPECT_GT(bitmap.Width(), 8);
        paintDefault = !drawItself;
    };
    for (bool own : {false, true}) {
        drawItself = own;
        THintInfo info;
        info.HintStr = L"ヒントです";
        label->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        if (!own) {
            EXPECT_EQ(info.HintData, nullptr);
            continue;
        }
        uitest::ExpectWholeBitmapHint(info);
    }
}
