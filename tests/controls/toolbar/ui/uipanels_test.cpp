#include "controls/toolbar/ui/uipanels.h"

#include "classlib/gdiguards.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "uicontrols_fixture.h"

#include <string>
#include <vector>

using namespace ui;
using namespace classlib;
using testsupport::MemoryDib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// The frame's top edge: the first row from the top where column x is not white.
int FrameTop(const MemoryDib& dib, int x) {
    for (int y = 0; y < dib.Height; ++y)
        if (dib.Pixel(x, y) != RGB(255, 255, 255)) return y;
    return -1;
}

}  // namespace

// An empty caption leaves no gap: the frame starts at the top; a caption moves the top edge to
// the middle of the caption and leaves the caption's place free of the frame.
TEST(UiGroupBoxFrame, TopEdgeFollowsTheCaption) {
    MemoryDib dib(120, 60, RGB(255, 255, 255));
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dib.DC);
    const RECT r{0, 0, 120, 60};
    PaintGroupBoxFrame(canvas, r, L"", thtNone, false, true, DT_SINGLELINE);
    EXPECT_EQ(FrameTop(dib, 60), 0);

    dib.Fill(RGB(255, 255, 255));
    PaintGroupBoxFrame(canvas, r, L"Caption", thtNone, false, true, DT_SINGLELINE);
    RECT text{0, 0, 0, 0};
    canvas.DrawText(L"Caption", text, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(FrameTop(dib, 110), (text.bottom - text.top) / 2) << "right of the caption";
    EXPECT_EQ(FrameTop(dib, 3), (text.bottom - text.top) / 2) << "left of the caption";
    const int underCaption = FrameTop(dib, 8 + (text.right - text.left) / 2);
    EXPECT_NE(underCaption, (text.bottom - text.top) / 2) << "the caption's place is clipped out of the frame";
}

// A panel's background cache is rebuilt after a change of its size, and a nested panel hears of
// it through the background-changed message.
TEST_F(UiControls, NestedPanelRebuildsWhenOuterResizes) {
    auto* outer = Add<TUiPanel>(Form, 10, 10, 300, 200);
    auto* inner = Add<TUiGroupBox>(outer, 10, 10, 150, 100);
    inner->SetCaption(L"Group");
    int outerBuilds = 0, innerBuilds = 0;
    outer->OnDrawBackground = [&](TComponent*, TCanvas&, const RECT&, TUiPaintStage stage, bool&) {
        if (stage == pstPrePaint) ++outerBuilds;
    };
    inner->OnDrawBackground = [&](TComponent*, TCanvas&, const RECT&, TUiPaintStage stage, bool&) {
        if (stage == pstPrePaint) ++innerBuilds;
    };
    outer->InvalidateBackground(true);
    ASSERT_TRUE(PumpUntil([&] { return outerBuilds > 0 && innerBuilds > 0; }));
    const int outerBefore = outerBuilds, innerBefore = innerBuilds;
    PumpMessages();
    EXPECT_EQ(outerBuilds, outerBefore) << "a valid cache is only copied";

    outer->SetBounds(10, 10, 320, 210);
    EXPECT_TRUE(PumpUntil([&] { return outerBuilds > outerBefore && innerBuilds > innerBefore; }));
}

// The group box keeps its children below the caption; a panel adds its margins.
TEST_F(UiControls, PanelClientRoomHonoursMarginsAndCaption) {
    auto* panel = Add<TUiPanel>(Form, 10, 10, 200, 100);
    auto* child = Add<TUiPanel>(panel, 0, 0, 10, 10);
    child->SetAlign(alClient);
    panel->Margins().SetLeft(5);
    PumpMessages();
    EXPECT_EQ(child->Left(), 2 + 5);
    EXPECT_EQ(child->Top(), 2);

    auto* box = Add<TUiGroupBox>(Form, 220, 10, 200, 100);
    auto* inside = Add<TUiPanel>(box, 0, 0, 10, 10);
    inside->SetAlign(alClient);
    PumpMessages();
    EXPECT_GT(inside->Top(), 8) << "below the caption line";
}

// A label with a link opens it through the shell wrapper on click and shows the link font only
// while the mouse is over it.
TEST_F(UiControls, LabelLinkOpensThroughTheWrapper) {
    auto* label = Add<TUiLabel>(Form, 10, 10, 100, 20);
    label->SetCaption(L"Web");
    label->LinkText = L"https://example.invalid/page";
    label->LinkTextParams = L"-x";
    std::vector<std::wstring> opened;
    TUiShellOpen previous = SetUiShellOpen([&](const std::wstring& target, const std::wstring& params) {
        opened.push_back(target + L" " + params);
    });
    int clicks = 0;
    label->OnClick = [&](TComponent*) { ++clicks; };
    label->Click();
    SetUiShellOpen(previous);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], L"https://example.invalid/page -x");
    EXPECT_FALSE(label->CanFocus()) << "a label never takes the focus";
}

// A label's accelerator focuses its focus control; a freed focus control is forgotten.
TEST_F(UiControls, LabelAcceleratorFocusesItsControl) {
    auto* target = Add<TUiPanel>(Form, 10, 40, 100, 30);
    target->SetTabStop(true);
    auto* label = Add<TUiLabel>(Form, 10, 10, 100, 20);
    label->SetCaption(L"&Name");
    label->SetFocusControl(target);
    PumpMessages();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, L'n', 0), 1);
    EXPECT_TRUE(PumpUntil([&] { return target->Focused(); }));
    delete target;
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, L'n', 0), 0);
}
