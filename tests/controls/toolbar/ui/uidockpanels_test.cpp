#include "controls/toolbar/ui/uidockpanels.h"

#include "classlib/errors.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uitheme.h"
#include "uicontrols_fixture.h"

using namespace ui;
using namespace classlib;
using testsupport::PumpMessages;

namespace {

class UiDockPanels : public UiControls {
protected:
    TUiMultiDock* NewDock(TUiDockPosition position) {
        auto* dock = new TUiMultiDock(Form);
        dock->SetPosition(position);
        dock->SetParent(Form);
        PumpMessages();
        return dock;
    }
    TUiDockablePanel* NewPanel(TUiMultiDock* dock, int split = 0, int pos = -1) {
        auto* panel = new TUiDockablePanel(Form);
        panel->SetHideWhenInactive(false);
        panel->BeginUpdate();
        panel->SetDockPos(pos);
        panel->SetSplitHeight(split);
        panel->SetSplitWidth(split);
        panel->SetCurrentDock(dock);
        panel->EndUpdate();
        PumpMessages();
        return panel;
    }
};

}  // namespace

// The first panel on an empty dock takes its default client height; a second one adds only 10
// to the thickness, so the dock keeps the first one's.
TEST_F(UiDockPanels, SizesOnFirstDockAndSecondPanel) {
    TUiMultiDock* dock = NewDock(dpxBottom);
    TUiDockablePanel* first = NewPanel(dock, 200, 0);
    int ncWidth = 0, ncHeight = 0;
    first->GetDockedNCAreaSize(ncWidth, ncHeight);
    EXPECT_EQ(first->Height(), 150 + ncHeight);
    EXPECT_EQ(first->DockedHeight(), 150);
    const int thickness = dock->Height();

    TUiDockablePanel* second = NewPanel(dock, 200, 1);
    EXPECT_EQ(dock->Height(), thickness);
    EXPECT_EQ(second->Height(), first->Height());
    EXPECT_EQ(first->DockedHeight(), 150);
}

// On a left dock with three panels, maximizing the middle one collapses the others to their
// caption bars and gives it the rest; pressing the button again restores their heights.
TEST_F(UiDockPanels, MaximizeAndRestoreTheMiddlePanel) {
    TUiMultiDock* dock = NewDock(dpxLeft);
    TUiDockablePanel* top = NewPanel(dock, 100, 0);
    TUiDockablePanel* middle = NewPanel(dock, 100, 1);
    TUiDockablePanel* bottom = NewPanel(dock, 100, 2);
    for (TUiDockablePanel* p : {top, middle, bottom}) p->Options().SetMaximize(true);
    PumpMessages();
    const int topHeight = top->Height(), middleHeight = middle->Height(), bottomHeight = bottom->Height();
    ASSERT_EQ(topHeight + middleHeight + bottomHeight, dock->ClientHeight());

    middle->CaptionBar()->MaximizeButton()->Click();
    PumpMessages();
    EXPECT_TRUE(middle->Maximized());
    EXPECT_TRUE(top->Minimized());
    EXPECT_TRUE(bottom->Minimized());
    EXPECT_EQ(top->Height(), top->CaptionHeight());
    EXPECT_EQ(bottom->Height(), bottom->CaptionHeight());
    EXPECT_EQ(middle->Height(), dock->ClientHeight() - top->Height() - bottom->Height());
    EXPECT_EQ(middle->CaptionBar()->MaximizeButton()->ImageIndex(), ugRestore);

    middle->CaptionBar()->MaximizeButton()->Click();
    PumpMessages();
    EXPECT_FALSE(middle->Maximized());
    EXPECT_FALSE(top->Minimized());
    EXPECT_FALSE(bottom->Minimized());
    EXPECT_EQ(top->Height(), topHeight);
    EXPECT_EQ(bottom->Height(), bottomHeight);
    EXPECT_EQ(middle->Height(), middleHeight);
    EXPECT_EQ(middle->CaptionBar()->MaximizeButton()->ImageIndex(), ugMaximize);
}

// Minimizing: a panel alone on a side dock may not (nobody takes the room), nor the last one
// not minimized; alone on a bottom dock it may. Sharing the room evenly with no other panel
// to share with is no division by zero.
TEST_F(UiDockPanels, MinimizeRules) {
    TUiMultiDock* side = NewDock(dpxLeft);
    TUiDockablePanel* alone = NewPanel(side, 100, 0);
    EXPECT_FALSE(alone->Minimize());
    EXPECT_TRUE(alone->SetPanelSize(80, true));
    TUiDockablePanel* second = NewPanel(side, 100, 1);
    EXPECT_TRUE(alone->Minimize(true));
    EXPECT_EQ(alone->Height(), alone->CaptionHeight());
    EXPECT_EQ(second->Height(), side->ClientHeight() - alone->Height());
    EXPECT_FALSE(second->Minimize()) << "the last panel that is not minimized";
    EXPECT_TRUE(alone->Restore());
    EXPECT_FALSE(alone->Minimized());

    TUiMultiDock* bottom = NewDock(dpxBottom);
    TUiDockablePanel* low = NewPanel(bottom, 100, 0);
    EXPECT_TRUE(low->Minimize());
    EXPECT_EQ(low->Height(), low->CaptionHeight());
    EXPECT_EQ(low->CaptionBar()->MinimizeButton()->ImageIndex(), ugRestore);
    EXPECT_TRUE(low->Restore());
    EXPECT_GT(low->Height(), low->CaptionHeight());
}

// Default buttons, caption text, the fixed caption rotation and the dock's position rules.
TEST_F(UiDockPanels, CaptionBarAndDockPosition) {
    TUiMultiDock* dock = NewDock(dpxBottom);
    TUiDockablePanel* panel = NewPanel(dock, 100, 0);
    TUiDockablePanelCaptionBar* bar = panel->CaptionBar();
    EXPECT_TRUE(bar->CloseButton()->Visible());
    EXPECT_FALSE(bar->MinimizeButton()->Visible());
    EXPECT_FALSE(bar->MaximizeButton()->Visible());
    panel->SetCaption(L"お気に入り");
    EXPECT_EQ(bar->CaptionText(), L"お気に入り");
    EXPECT_EQ(panel->GetCaption(), L"お気に入り");
    panel->SetCaptionRotation(themed::dpcrAlwaysVert);
    EXPECT_EQ(panel->CaptionRotation(), themed::dpcrAlwaysHorz);

    try {
        dock->SetPosition(dpxTop);
        ADD_FAILURE() << "a dock with panels keeps its position";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(std::wstring(e.Message()), L"Cannot change Position of a TBarDock if it already contains controls");
    }
    TUiMultiDock* client = NewDock(dpxClient);
    EXPECT_EQ(client->Align(), alClient);
    EXPECT_EQ(client->themed::TThmMultiDock::Position(), toolbar::dpRight);

    bar->CloseButton()->Click();
    EXPECT_FALSE(panel->Visible());
}
