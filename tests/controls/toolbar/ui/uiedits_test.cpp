#include "controls/toolbar/ui/uiedits.h"

#include "uicontrols_fixture.h"

#include <string>

using namespace ui;
using namespace classlib;
using testsupport::Narrow;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class SpinEdits : public UiControls {
protected:
    void SetUp() override {
        UiControls::SetUp();
        Spin = Add<TUiSpinEdit>(Form, 10, 10, 120, 21);
        Spin->OnValueChanged = [this](TComponent*) { ++Changes; };
        PumpMessages();
    }
    // Types a text and applies it as Enter would.
    void Enter(const std::wstring& text) {
        Spin->SetText(text);
        wchar_t key = L'\r';
        Spin->Perform(WM_CHAR, key, 0);
    }
    TUiSpinEdit* Spin = nullptr;
    int Changes = 0;
};

}  // namespace

// Values outside the limits, or equal to the current one, change nothing and fire nothing.
TEST_F(SpinEdits, RangeAndChangeEvents) {
    Spin->SetIntegerValue(150);
    EXPECT_EQ(Spin->Value(), 0);
    EXPECT_EQ(Spin->GetText(), L"0");
    Spin->SetIntegerValue(100);
    EXPECT_EQ(Spin->GetIntegerValue(), 100);
    EXPECT_EQ(Spin->GetText(), L"100");
    Spin->SetIntegerValue(100);
    EXPECT_EQ(Changes, 1);
    Spin->SetMaxValue(50);
    EXPECT_EQ(Spin->Value(), 50) << "a lower maximum pulls the value down";
    Spin->SetMinValue(60);
    EXPECT_EQ(Spin->Value(), 50) << "the limits are not checked against each other";
}

// Typed text is read back on Enter; text out of range or unreadable brings the previous value
// back; prefix and postfix are taken off before reading and put back after.
TEST_F(SpinEdits, TypedTextTable) {
    Spin->SetMinValue(-1);
    Spin->SetMaxValue(1000);
    Spin->SetValue(150);
    struct Case {
        const wchar_t* Prefix;
        const wchar_t* Postfix;
        const wchar_t* Typed;
        double Value;
        const wchar_t* Shown;
    };
    const Case cases[] = {
        {L"", L"", L"2000", 150, L"150"},   {L"", L"", L"abc", 150, L"150"},   {L"", L"", L"  42 ", 42, L"42"},
        {L"", L"", L"-1", -1, L"-1"},       {L"", L"", L"-2", -1, L"-1"},      {L"", L"", L"", -1, L"-1"},
        {L"x", L"px", L"x 40 px", 40, L"x40px"}, {L"x", L"px", L"x41", 41, L"x41px"}, {L"x", L"px", L"4y2", 41, L"x41px"},
    };
    for (const Case& c : cases) {
        Spin->SetPrefix(c.Prefix);
        Spin->SetPostfix(c.Postfix);
        Enter(c.Typed);
        EXPECT_EQ(Spin->Value(), c.Value) << Narrow(c.Typed);
        EXPECT_EQ(Spin->GetText(), c.Shown) << Narrow(c.Typed);
    }
    // Leaving the control reads the text as Enter does.
    auto* next = Add<TUiEdit>(Form, 10, 40, 100, 21);
    Spin->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Spin->Focused(); }));
    Spin->SetText(L"x 7 px");
    next->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return next->Focused(); }));
    EXPECT_EQ(Spin->Value(), 7);
    EXPECT_EQ(Spin->GetText(), L"x7px");
}

// Rounding halves to even, the number forms of each value type, and reading back what is
// written (negative hexadecimal numbers included).
TEST_F(SpinEdits, NumberFormsTable) {
    Spin->SetMinValue(-1e18);
    Spin->SetMaxValue(1e18);
    struct Case {
        TSEValueType Type;
        double Value;
        long long Integer;
        const wchar_t* Text;
    };
    const Case cases[] = {
        {evtInteger, 2.5, 2, L"2"},     {evtInteger, 3.5, 4, L"4"},       {evtInteger, -2.5, -2, L"-2"},
        {evtInteger, 5e9, 5000000000LL, L"5000000000"},
        {evtHex, 255, 255, L"FF"},      {evtHex, -1, -1, L"FFFFFFFFFFFFFFFF"}, {evtHex, 0.4, 0, L"0"},
        {evtFloat, 1.5, 2, L"1.50"},    {evtFloat, -0.25, 0, L"-0.25"},
    };
    for (const Case& c : cases) {
        Spin->SetValueType(c.Type);
        Spin->SetValue(c.Value);
        EXPECT_EQ(Spin->GetIntegerValue(), c.Integer) << c.Value;
        EXPECT_EQ(Spin->FormatValue(), c.Text) << c.Value;
        double read = 0;
        EXPECT_TRUE(Spin->ParseValue(c.Text, read)) << Narrow(c.Text);
        if (c.Type != evtFloat) {
            EXPECT_EQ(read, static_cast<double>(c.Integer)) << Narrow(c.Text);
        }
    }
    double read = 0;
    Spin->SetValueType(evtHex);
    for (const wchar_t* bad : {L"0x1F", L"-1", L"G", L"1FFFFFFFFFFFFFFFF", L" 1"})
        EXPECT_FALSE(Spin->ParseValue(bad, read)) << Narrow(bad);
    Spin->SetValueType(evtInteger);
    for (const wchar_t* bad : {L"1.5", L"1e3", L"+", L"99999999999999999999", L"1 2"})
        EXPECT_FALSE(Spin->ParseValue(bad, read)) << Narrow(bad);
    Spin->SetValueType(evtFloat);
    for (const wchar_t* bad : {L"inf", L"nan", L"1.5x", L"."})
        EXPECT_FALSE(Spin->ParseValue(bad, read)) << Narrow(bad);
}

// Steps snap to multiples of the increment, also far beyond the 32-bit range; an increment
// that is not positive steps nothing; integer types round the increment to at least 1.
TEST_F(SpinEdits, SteppingAndSnapping) {
    Spin->SetMaxValue(1e12);
    Spin->SetIncrement(5);
    struct Case {
        double From;
        bool Up;
        double To;
    };
    const Case cases[] = {{7, true, 10}, {7, false, 5}, {10, true, 15}, {10, false, 5}, {5e9 + 2, true, 5e9 + 5}};
    for (const Case& c : cases) {
        Spin->SetValue(c.From);
        c.Up ? Spin->IncrementValue() : Spin->DecrementValue();
        EXPECT_EQ(Spin->Value(), c.To) << c.From << (c.Up ? " up" : " down");
    }
    Spin->ValueSnap = false;
    Spin->SetValue(7);
    Spin->IncrementValue();
    EXPECT_EQ(Spin->Value(), 12);
    for (double increment : {0.0, -1.0}) {
        Spin->SetIncrement(increment);
        Spin->IncrementValue();
        Spin->DecrementValue();
        EXPECT_EQ(Spin->Value(), 12);
    }
    Spin->SetValueType(evtFloat);
    Spin->SetIncrement(0.5);
    Spin->SetValueType(evtInteger);
    EXPECT_EQ(Spin->Increment(), 1);
}

// Holding the upper half of the spin button steps up at once and then repeatedly; the lower
// half steps down.
TEST_F(SpinEdits, SpinButtonHalves) {
    Spin->SetIncrement(2);
    Spin->SetValue(10);
    TUiSpinButton* button = Spin->SpinButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Width(), 15);
    const int upper = 2, lower = button->Height() - 3;
    POINT at = button->ClientToScreen({5, upper});
    SetCursorPos(at.x, at.y);
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, upper));
    EXPECT_EQ(Spin->Value(), 12);
    EXPECT_EQ(button->PressedHalf(), 1);
    ASSERT_TRUE(PumpUntil([&] { return Spin->Value() >= 16; }));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, upper));
    EXPECT_EQ(button->PressedHalf(), 0);
    const double held = Spin->Value();
    EXPECT_EQ(static_cast<long long>(held) % 2, 0) << "each step snaps to the increment";

    at = button->ClientToScreen({5, lower});
    SetCursorPos(at.x, at.y);
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, lower));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, lower));
    EXPECT_EQ(Spin->Value(), held - 2);
}

// The button edit keeps the text clear of its 20-pixel button; the edit's enabled state and
// theme type reach its buttons.
TEST_F(UiControls, ButtonEditMarginsAndButtonState) {
    auto* edit = Add<TUiButtonEdit>(Form, 10, 10, 150, 21);
    PumpMessages();
    ASSERT_NE(edit->EditButton(), nullptr);
    EXPECT_EQ(edit->EditButton()->Width(), 20);
    const LRESULT margins = SendMessageW(edit->Handle(), EM_GETMARGINS, 0, 0);
    EXPECT_EQ(HIWORD(margins), 22);
    EXPECT_EQ(LOWORD(margins), 0);
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->EditButton()->Enabled());
    edit->SetThemeType(thtNone);
    EXPECT_EQ(edit->EditButton()->ThemeType(), thtNone);
    int clicks = 0;
    edit->EditButton()->OnClick = [&](TComponent*) { ++clicks; };
    edit->SetEnabled(true);
    edit->EditButton()->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(PumpUntil([&] { return edit->Focused(); })) << "the button's click focuses its edit";
}

// The frame is hot while the edit has the focus, only with HotTrack.
TEST_F(UiControls, EditHotFollowsFocus) {
    auto* edit = Add<TUiEdit>(Form, 10, 10, 150, 21);
    auto* other = Add<TUiEdit>(Form, 10, 40, 150, 21);
    PumpMessages();
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return edit->Focused(); }));
    EXPECT_TRUE(edit->Hot());
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return other->Focused(); }));
    EXPECT_FALSE(edit->Hot());
    EXPECT_TRUE(other->Hot());
}

// Selection and insertion work in UTF-16 units on the edit's text.
TEST_F(UiControls, UnicodeEditSelection) {
    auto* edit = Add<TUiUnicodeEdit>(Form, 10, 10, 150, 21);
    edit->SetText(L"レジストリ𠀋値");
    edit->SetSelStart(5);
    edit->SetSelLength(2);
    EXPECT_EQ(edit->GetSelText(), L"𠀋");
    edit->SetSelText(L"の");
    EXPECT_EQ(edit->GetText(), L"レジストリの値");
    edit->SetAlignment(themed::taRightJustify);
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_RIGHT);
    EXPECT_EQ(edit->GetText(), L"レジストリの値") << "recreating keeps the text";
}
