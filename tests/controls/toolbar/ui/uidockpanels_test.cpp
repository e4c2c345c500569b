#include "controls/toolbar/ui/uidockpanels.h"

#include "classlib/errors.h"
#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "common/test_support.h"
#include "controls/toolbar/ui/uitheme.h"
#include "uicontrols_fixture.h"

using namespace ui;
using namespace classlib;
using testsupport::MemoryDib;
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

    middle->Options().MaximizeItem()->Click();
    PumpMessages();
    EXPECT_TRUE(middle->Maximized());
    EXPECT_TRUE(top->Minimized());
    EXPECT_TRUE(bottom->Minimized());
    EXPECT_EQ(top->Height(), top->CaptionHeight());
    EXPECT_EQ(bottom->Height(), bottom->CaptionHeight());
    EXPECT_EQ(middle->Height(), dock->ClientHeight() - top->Height() - bottom->Height());
    EXPECT_EQ(middle->Options().MaximizeItem()->ImageIndex(), ugRestore);

    middle->Options().MaximizeItem()->Click();
    PumpMessages();
    EXPECT_FALSE(middle->Maximized());
    EXPECT_FALSE(top->Minimized());
    EXPECT_FALSE(bottom->Minimized());
    EXPECT_EQ(top->Height(), topHeight);
    EXPECT_EQ(bottom->Height(), bottomHeight);
    EXPECT_EQ(middle->Height(), middleHeight);
    EXPECT_EQ(middle->Options().MaximizeItem()->ImageIndex(), ugMaximize);
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
    EXPECT_EQ(low->Options().MinimizeItem()->ImageIndex(), ugRestore);
    EXPECT_TRUE(low->Restore());
    EXPECT_GT(low->Height(), low->CaptionHeight());
}

// Default buttons, caption text, the fixed caption rotation and the dock's position rules.
TEST_F(UiDockPanels, CaptionBarAndDockPosition) {
    TUiMultiDock* dock = NewDock(dpxBottom);
    TUiDockablePanel* panel = NewPanel(dock, 100, 0);
    TUiDockablePanelButtonOptions& options = panel->Options();
    EXPECT_TRUE(options.CloseItem()->Visible());
    EXPECT_FALSE(options.MinimizeItem()->Visible());
    EXPECT_FALSE(options.MaximizeItem()->Visible());
    EXPECT_TRUE(options.CaptionItem()->Visible());
    for (TUiCustomItem* item : {static_cast<TUiCustomItem*>(options.CaptionItem()), options.CloseItem(),
                                options.MinimizeItem(), options.MaximizeItem()})
        EXPECT_EQ(item->CustomHeight(), 15);
    EXPECT_EQ(options.CloseItem()->CustomWidth(), TUiDockablePanelButtonOptions::CustomWidth);
    // The label first, then minimize, maximize and close at the end.
    toolbar::TBarRootItem* items = panel->Items();
    ASSERT_EQ(items, panel->CaptionToolbar()->Items());
    EXPECT_EQ(items->IndexOf(options.CaptionItem()), 0);
    EXPECT_EQ(items->IndexOf(options.CloseItem()), items->Count() - 1);
    EXPECT_LT(items->IndexOf(options.MinimizeItem()), items->IndexOf(options.MaximizeItem()));

    panel->SetCaption(L"お気に入り");
    EXPECT_EQ(options.CaptionItem()->Caption(), L"お気に入り");
    EXPECT_EQ(panel->GetCaption(), L"お気に入り");
    // The same caption again leaves the label alone.
    options.CaptionItem()->SetCaption(L"別の名前");
    panel->SetCaption(L"お気に入り");
    EXPECT_EQ(options.CaptionItem()->Caption(), L"別の名前");
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

    options.CloseItem()->Click();
    EXPECT_FALSE(panel->Visible());
}

// On the caption toolbar a press on a button is a click; a press on the label starts dragging
// the panel by its drag handle, and a double click there floats the docked panel and docks
// it again.
TEST_F(UiDockPanels, CaptionToolbarPressesDragAndDoubleClicksFloat) {
    TUiMultiDock* dock = NewDock(dpxBottom);
    TUiDockablePanel* panel = NewPanel(dock, 100, 0);
    panel->Options().SetMinimize(true);
    PumpMessages();
    TUiToolbar* bar = panel->CaptionToolbar();
    ASSERT_TRUE(bar->HandleAllocated());
    const auto centre = [bar](toolbar::TBarCustomItem* item) {
        const RECT r = bar->View()->ViewerOfItem(item)->BoundsRect;
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    struct NcPresses {
        std::vector<WPARAM> Codes;
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
            if (m == WM_NCLBUTTONDOWN) {
                reinterpret_cast<NcPresses*>(self)->Codes.push_back(wp);
                return 0;  // no drag loop in the test
            }
            return DefSubclassProc(w, m, wp, lp);
        }
    } presses;
    SetWindowSubclass(panel->Handle(), NcPresses::Proc, 1, reinterpret_cast<DWORD_PTR>(&presses));

    const LPARAM onLabel = centre(panel->Options().CaptionItem());
    PostMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onLabel);
    PostMessageW(bar->Handle(), WM_LBUTTONUP, 0, onLabel);
    PumpMessages();
    EXPECT_EQ(presses.Codes, std::vector<WPARAM>{2000});

    const LPARAM onMinimize = centre(panel->Options().MinimizeItem());
    // The button's press runs the menu loop, which follows the cursor.
    const POINT cursor = bar->ClientToScreen(POINT{GET_X_LPARAM(onMinimize), GET_Y_LPARAM(onMinimize)});
    SetCursorPos(cursor.x, cursor.y);
    PostMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onMinimize);
    PostMessageW(bar->Handle(), WM_LBUTTONUP, 0, onMinimize);
    PumpMessages();
    EXPECT_TRUE(panel->Minimized());
    EXPECT_EQ(presses.Codes.size(), 1u) << "a button press drags nothing";
    RemoveWindowSubclass(panel->Handle(), NcPresses::Proc, 1);
    EXPECT_TRUE(panel->Restore());
    PumpMessages();

    panel->SetDblClickUndock(true);
    for (bool floatingAfter : {true, false}) {
        TUiToolbar* caption = panel->CaptionToolbar();
        const LPARAM at = centre(panel->Options().CaptionItem());
        PostMessageW(caption->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(caption->Handle(), WM_LBUTTONUP, 0, at);
        PumpMessages();
        EXPECT_EQ(panel->Floating(), floatingAfter);
        if (floatingAfter) {
            EXPECT_NE(dynamic_cast<TUiFloatingWindowParent*>(panel->FloatingParent()), nullptr);
        }
        EXPECT_TRUE(panel->CaptionBar()->Visible());
    }
}

// The caption dock's background is the caption bitmap placed at the panel's window origin,
// so that it runs on under the frame; OnDrawCaptionPanel paints on that bitmap.
TEST_F(UiDockPanels, CaptionBackgroundIsTheCaptionBitmap) {
    TUiMultiDock* dock = NewDock(dpxBottom);
    TUiDockablePanel* panel = NewPanel(dock, 100, 0);
    std::vector<TUiPaintStage> stages;
    panel->OnDrawCaptionPanel = [&](TComponent*, TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool&) {
        stages.push_back(stage);
        if (stage != pstPostPaint) return;
        canvas.Brush().SetColor(static_cast<TColor>(RGB(10, 200, 30)));
        canvas.FillRect(rect);
        SetPixel(canvas.Handle(), 2, 2, RGB(250, 0, 0));
    };
    panel->InvalidateCaption(false);
    TUiDock* captionDock = panel->CaptionBar()->Dock();
    const int width = captionDock->Width(), height = captionDock->Height();
    ASSERT_GT(height, 15);
    MemoryDib dib(width, height, RGB(1, 2, 3));
    captionDock->PaintBackground(dib.DC, RECT{0, 0, width, height});
    EXPECT_EQ(stages, (std::vector<TUiPaintStage>{pstPrePaint, pstPostPaint}));
    EXPECT_EQ(dib.Pixel(0, 0), RGB(250, 0, 0));
    EXPECT_EQ(dib.Pixel(width - 1, height - 1), RGB(10, 200, 30));
    EXPECT_FALSE(dib.Has(RGB(1, 2, 3)));
    // The bitmap is kept until the caption is invalidated.
    captionDock->PaintBackground(dib.DC, RECT{0, 0, width, height});
    EXPECT_EQ(stages.size(), 2u);
}
