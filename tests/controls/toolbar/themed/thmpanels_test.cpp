#include "controls/toolbar/themed/thmpanels.h"

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace themed;
using namespace classlib;
using testsupport::MemoryDib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// A text object that counts its height measurements and lets tests reach its drawing.
class TestText : public TThmTextObject {
public:
    using TThmTextObject::TThmTextObject;
    int Measurements = 0;
    std::vector<std::string>* Log = nullptr;
    std::string Name;

    int Draw(TCanvas& canvas, RECT& rect, UINT flags) { return DoDrawText(canvas, rect, flags); }

protected:
    void CalcAutoHeight(TCanvas& canvas, int& height) override {
        ++Measurements;
        TThmTextObject::CalcAutoHeight(canvas, height);
    }
    void DoMouseEnter() override {
        if (Log) Log->push_back(Name + " enters");
        TThmTextObject::DoMouseEnter();
    }
    void DoMouseLeave() override {
        if (Log) Log->push_back(Name + " leaves");
        TThmTextObject::DoMouseLeave();
    }
};

class ThemedPanels : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(RGB(200, 40, 40));
        Form->Show();
        PumpMessages();
    }
    void TearDown() override {
        delete Form;
        PumpMessages();
    }
    TestText* NewText(const std::wstring& caption, int left = 10, int top = 10) {
        auto* text = new TestText(Form);
        text->SetParent(Form);
        text->SetBounds(left, top, 120, 20);
        text->SetCaption(caption);
        PumpMessages();
        return text;
    }
    // The font's line height on a screen DC.
    static int LineHeight(TFont& font) {
        testsupport::MemoryDib dib(1, 1, 0);
        TSelectedObject selected(dib.DC, font.Handle());
        RECT r{0, 0, 100, 0};
        return DrawTextW(dib.DC, L" ", 1, &r, DT_CALCRECT | DT_SINGLELINE);
    }
    // Moves the real cursor and tells the control under it, as a mouse move would.
    static void MoveMouseTo(TControl* control, POINT client) {
        const POINT screen = control->ClientToScreen(client);
        SetCursorPos(screen.x, screen.y);
        auto* windowed = dynamic_cast<TWinControl*>(control);
        SendMessageW(windowed->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    TForm* Form = nullptr;
};

}  // namespace

TEST(ThemedPanelHelpers, MarginsTellOnlyRealChangesAndAssignOnce) {
    TThmControlMargins margins;
    int changes = 0;
    margins.OnChange = [&] { ++changes; };
    margins.SetLeft(3);
    margins.SetLeft(3);
    EXPECT_EQ(changes, 1);
    TThmControlMargins other;
    other.SetTop(1);
    other.SetRight(2);
    other.SetBottom(4);
    margins.Assign(other);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(margins.Left(), 0);
    EXPECT_EQ(margins.Top(), 1);
    EXPECT_EQ(margins.Right(), 2);
    EXPECT_EQ(margins.Bottom(), 4);
}

TEST(ThemedPanelHelpers, TextFlags) {
    struct Case {
        TAlignment Alignment;
        TTextWrapping Wrapping;
        bool Accel;
        UINT Flags;
    } cases[] = {
        {taLeftJustify, twNone, true, DT_LEFT | DT_SINGLELINE},
        {taRightJustify, twEndEllipsis, true, DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS},
        {taCenter, twPathEllipsis, false, DT_CENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_NOPREFIX},
        {taLeftJustify, twWrap, false, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX},
    };
    for (const Case& c : cases) EXPECT_EQ(TextObjectFlags(c.Alignment, c.Wrapping, c.Accel), c.Flags) << c.Flags;
}

TEST_F(ThemedPanels, AutoHeightFollowsCaptionMarginsAndWrapping) {
    TestText* text = NewText(L"");
    const int line = LineHeight(text->Font());
    // An empty caption still has one line.
    EXPECT_EQ(text->Height(), line);
    // One margin change re-measures once and takes the margin into the height.
    text->Measurements = 0;
    text->Margins().SetTop(5);
    EXPECT_EQ(text->Measurements, 1);
    EXPECT_EQ(text->Height(), line + 5);
    // A long caption that wraps takes several lines; without wrapping it stays one line.
    text->SetCaption(L"とても長い見出しは折り返されて何行にもなる とても長い見出しは折り返されて何行にもなる");
    EXPECT_EQ(text->Height(), line + 5);
    text->SetWrapping(twWrap);
    EXPECT_GE(text->Height(), 3 * line + 5);
    // A wider control needs fewer lines.
    const int narrow = text->Height();
    text->SetBounds(text->Left(), text->Top(), 380, 20);
    EXPECT_LT(text->Height(), narrow);
    text->SetAutoSize(false);
    text->SetBounds(text->Left(), text->Top(), 380, 7);
    EXPECT_EQ(text->Height(), 7);
}

TEST_F(ThemedPanels, DisabledCaptionIsEmbossed) {
    TestText* text = NewText(L"■■");
    text->Font().SetSize(20);
    text->SetEnabled(false);
    MemoryDib dib(80, 40, RGB(0, 0, 255));
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dib.DC);
    canvas.Brush().SetStyle(bsClear);
    RECT r{0, 0, 80, 40};
    text->Draw(canvas, r, DT_LEFT | DT_SINGLELINE);
    // The highlight copy lies one pixel right of and below the shadow copy, under it.
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    auto bounds = [&](COLORREF color) {
        RECT b{1000, 1000, -1, -1};
        for (int y = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x)
                if (dib.Pixel(x, y) == color) {
                    b.left = std::min<LONG>(b.left, x);
                    b.top = std::min<LONG>(b.top, y);
                    b.right = std::max<LONG>(b.right, x);
                    b.bottom = std::max<LONG>(b.bottom, y);
                }
        return b;
    };
    const RECT shadow = bounds(dark), highlight = bounds(light);
    ASSERT_GE(shadow.right, shadow.left);
    EXPECT_EQ(highlight.right, shadow.right + 1);
    EXPECT_EQ(highlight.bottom, shadow.bottom + 1);
}

TEST_F(ThemedPanels, BackgroundComesFromTheParentUnlessAColourIsSet) {
    TestText* text = NewText(L"");
    text->Update();
    MemoryDib dib(text->Width(), text->Height(), RGB(0, 0, 0));
    SendMessageW(text->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC), PRF_CLIENT);
    EXPECT_EQ(dib.Pixel(2, 2), RGB(200, 40, 40));
    text->SetColor(RGB(10, 150, 20));
    SendMessageW(text->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC), PRF_CLIENT);
    EXPECT_EQ(dib.Pixel(2, 2), RGB(10, 150, 20));
}

TEST_F(ThemedPanels, ParentHandsItsColourOver) {
    TestText* text = NewText(L"");
    auto* child = new TCustomControl(Form);
    child->SetParent(text);
    EXPECT_TRUE(child->ParentColor());
    // A colour handed over (WParam 1) wins over the parent's own Color (clNone here).
    child->Perform(CM_PARENTCOLORCHANGED, 1, RGB(1, 2, 3));
    EXPECT_EQ(child->Color(), RGB(1, 2, 3));
}

TEST_F(ThemedPanels, HotTrackingLeavesBeforeEnteringAndEndsOutside) {
    std::vector<std::string> log;
    TestText* first = NewText(L"一", 10, 10);
    TestText* second = NewText(L"二", 150, 10);
    first->Name = "first";
    second->Name = "second";
    first->Log = second->Log = &log;
    MoveMouseTo(first, {5, 5});
    EXPECT_TRUE(first->MouseInside());
    EXPECT_EQ(TThmPanelObject::HotObject(), first);
    MoveMouseTo(second, {5, 5});
    EXPECT_EQ(log, (std::vector<std::string>{"first enters", "first leaves", "second enters"}));
    EXPECT_FALSE(first->MouseInside());
    // Out of every window without a message: the shared timer notices.
    const POINT outside = Form->ClientToScreen({300, 250});
    SetCursorPos(outside.x, outside.y);
    EXPECT_TRUE(PumpUntil([&] { return !second->MouseInside(); }));
    EXPECT_EQ(log.back(), "second leaves");
    EXPECT_EQ(TThmPanelObject::HotObject(), nullptr);
    // Becoming disabled while hot leaves as well.
    MoveMouseTo(first, {5, 5});
    first->SetEnabled(false);
    EXPECT_EQ(log.back(), "first leaves");
    EXPECT_EQ(TThmPanelObject::HotObject(), nullptr);
}

TEST_F(ThemedPanels, PushedByMouseAndSpaceKey) {
    TestText* text = NewText(L"押す");
    int clicks = 0;
    bool pushedAtClick = true;
    text->OnClick = [&](TComponent*) {
        ++clicks;
        pushedAtClick = text->Pushed();
    };
    SendMessageW(text->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_TRUE(text->Pushed());
    EXPECT_TRUE(text->Focused());
    SendMessageW(text->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_FALSE(text->Pushed());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(pushedAtClick);
    // The space key clicks only with SpaceClick.
    SendMessageW(text->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(text->Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);
    text->SetSpaceClick(true);
    SendMessageW(text->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(text->Pushed());
    SendMessageW(text->Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(text->Pushed());
    EXPECT_EQ(clicks, 2);
    // Losing the focus releases it.
    SendMessageW(text->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(text->Handle(), WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(text->Pushed());
}

TEST_F(ThemedPanels, FocusWithinParentTakesTheFocusOnlyFromInside) {
    auto place = [this](TWinControl* parent, RECT bounds) {
        auto* control = new TCustomControl(Form);
        control->SetParent(parent);
        control->SetBounds(bounds.left, bounds.top, bounds.right, bounds.bottom);
        return control;
    };
    TCustomControl* group = place(Form, {10, 60, 200, 100});
    TCustomControl* inside = place(group, {0, 0, 20, 20});
    TCustomControl* outside = place(Form, {250, 10, 20, 20});
    auto* text = new TestText(Form);
    text->SetParent(group);
    text->SetBounds(30, 10, 100, 20);
    text->SetFocusWithinParent(true);
    PumpMessages();
    outside->SetFocus();
    SendMessageW(text->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(text->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(outside->Focused());
    EXPECT_TRUE(ContainsActiveControl(Form));
    EXPECT_FALSE(ContainsActiveControl(group));
    inside->SetFocus();
    SendMessageW(text->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(text->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(text->Focused());
}
