// The collapsible splitter: toggle geometry, click versus drag, the order of the owner's
// questions, sizing the neighbour, and the toggle's pixels.
#include <gtest/gtest.h>

#include "classlib/form.h"
#include "classlib/graphics.h"
#include "widgets/dwsplitter.h"

#include <memory>
#include <string>

using namespace widgets;

using namespace classlib;

namespace {

// Mouse input is sent as messages; the cursor the splitter asks for is where the last
// simulated message was.
class TestSplitter : public TVxDWSplitter {
public:
    using TVxDWSplitter::TVxDWSplitter;
    POINT Cursor{};
    void Send(UINT msg, int x, int y) {
        Cursor = ClientToScreen({x, y});
        SendMessageW(Handle(), msg, msg == WM_LBUTTONUP || msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON,
                     MAKELPARAM(x, y));
    }
    void PaintTo(HDC dc) { PaintWindow(dc); }

protected:
    POINT CursorPos() override { return Cursor; }
};

class Pane : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        Tree = new Pane(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 100, 100);
        Tree->SetAlign(alLeft);
        Split = new TestSplitter(Form.get());
        Split->SetParent(Form.get());
        Split->SetLeft(200);
        Split->SetAlign(alLeft);
        List = new Pane(Form.get());
        List->SetParent(Form.get());
        List->SetAlign(alClient);
        Form->HandleNeeded();
        Split->OnToggleClick = [this](TComponent*) { Log += L"click "; };
        Split->OnSetToggleChange = [this](TComponent*, bool& t) {
            Log += L"ask ";
            t = !Tree->Visible();
        };
    }
    std::unique_ptr<TForm> Form;
    Pane* Tree = nullptr;
    Pane* List = nullptr;
    TestSplitter* Split = nullptr;
    std::wstring Log;
};

TEST_F(SplitterTest, ToggleRectangleFollowsTheBarsOrientation) {
    ASSERT_EQ(Split->Left(), 100);
    int h = Split->ClientHeight();
    RECT r = Split->ToggleRect();
    EXPECT_EQ(r.top, h / 2 - 30);
    EXPECT_EQ(r.bottom, r.top + 59);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 9);

    Split->SetToggleHeight(50);
    Split->SetAlign(alTop);
    Split->SetHeight(10);
    int w = Split->ClientWidth();
    r = Split->ToggleRect();
    EXPECT_EQ(r.left, w / 2 - 25);
    EXPECT_EQ(r.right, r.left + 49);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.bottom, Split->ClientHeight() - 1);

    // A bar shorter than the toggle puts it beyond its ends (alNone counts as horizontal).
    Split->SetAlign(alNone);
    Split->SetBounds(0, 0, 40, 10);
    EXPECT_EQ(Split->ToggleRect().left, 20 - 25);
    EXPECT_EQ(Split->ToggleRect().right, 20 - 25 + 49);
    TBitmap bmp(40, 10);
    Split->PaintTo(bmp.Canvas().Handle());
    EXPECT_EQ(bmp.Canvas().Pixel(0, 0), ColorToRGB(clBtnFace));  // above the toggle
    EXPECT_EQ(bmp.Canvas().Pixel(0, 1), 0x808080u);                 // top edge of the frame
}

TEST_F(SplitterTest, ClickInTheToggleAsksTwiceAndTheArrowTakesTheSecondAnswer) {
    RECT r = Split->ToggleRect();
    int cy = (r.top + r.bottom) / 2;
    Split->OnToggleClick = [&](TComponent*) {
        Log += L"click ";
        Tree->SetVisible(!Tree->Visible());
    };
    Split->Send(WM_LBUTTONDOWN, 5, cy);
    EXPECT_TRUE(Split->Pressed());
    Split->Send(WM_LBUTTONUP, 5, cy);
    EXPECT_EQ(Log, L"ask click ask ");
    EXPECT_FALSE(Split->Pressed());
    EXPECT_TRUE(Split->Toggle());  // tree hidden: arrow points right
    // A quick second click arrives as a double click and toggles back.
    Log.clear();
    Split->Send(WM_LBUTTONDBLCLK, 5, cy);
    Split->Send(WM_LBUTTONUP, 5, cy);
    EXPECT_EQ(Log, L"click ask ");  // the tree is hidden: no neighbour to size
    EXPECT_FALSE(Split->Toggle());
}

TEST_F(SplitterTest, PressAndReleaseCases) {
    RECT r = Split->ToggleRect();
    struct Case {
        const char* name;
        POINT down, up;
        std::wstring log;
    };
    const Case cases[] = {
        {"edges of the toggle count", {r.right, r.top}, {r.right, r.top}, L"ask click ask "},
        {"a one-pixel move is a drag", {5, r.top + 5}, {5, r.top + 6}, L"ask "},
        {"outside the toggle", {5, r.top - 1}, {5, r.top - 1}, L"ask "},
    };
    for (const auto& c : cases) {
        Log.clear();
        Split->Send(WM_LBUTTONDOWN, c.down.x, c.down.y);
        Split->Send(WM_LBUTTONUP, c.up.x, c.up.y);
        EXPECT_EQ(Log, c.log) << c.name;
    }
    // Without a neighbour there is no sizing: a click asks only once.
    Tree->SetVisible(false);
    Log.clear();
    Split->Send(WM_LBUTTONDOWN, 5, r.top + 5);
    Split->Send(WM_LBUTTONUP, 5, r.top + 5);
    EXPECT_EQ(Log, L"click ask ");
    // With the toggle not drawn the middle still counts.
    Split->SetDrawToggle(false);
    Log.clear();
    Split->Send(WM_LBUTTONDOWN, 5, r.top + 5);
    Split->Send(WM_LBUTTONUP, 5, r.top + 5);
    EXPECT_EQ(Log, L"click ask ");
}

TEST_F(SplitterTest, DraggingResizesTheNeighbourLiveWithinLimits) {
    Split->Send(WM_LBUTTONDOWN, 5, 5);
    Split->Send(WM_MOUSEMOVE, 35, 5);
    EXPECT_EQ(Tree->Width(), 130);
    EXPECT_EQ(Split->Left(), 130);
    // The splitter moved with the neighbour; the cursor is now at client x 5 - 100.
    Split->Send(WM_MOUSEMOVE, 5 - 130 + 10, 5);
    EXPECT_EQ(Tree->Width(), Split->MinSize);
    Split->Send(WM_LBUTTONUP, 5 - 130 + 10, 5);
    EXPECT_FALSE(Split->Sizing());
    EXPECT_EQ(Log, L"ask ");
}

TEST_F(SplitterTest, HotStateFollowsTheCursor) {
    RECT r = Split->ToggleRect();
    Split->Send(WM_MOUSEMOVE, 5, r.top + 2);
    EXPECT_TRUE(Split->Hot());
    Split->Send(WM_MOUSEMOVE, 5, r.bottom + 2);
    EXPECT_FALSE(Split->Hot());
}

TEST_F(SplitterTest, PaintsBackgroundGradientArrowAndFrame) {
    int w = Split->ClientWidth(), h = Split->ClientHeight();
    TBitmap bmp(w, h);
    RECT t = Split->ToggleRect();
    auto paint = [&] { Split->PaintTo(bmp.Canvas().Handle()); };
    paint();
    EXPECT_EQ(bmp.Canvas().Pixel(0, 2), ColorToRGB(clBtnFace));
    EXPECT_EQ(bmp.Canvas().Pixel(t.left, t.top), 0x808080u);
    EXPECT_EQ(bmp.Canvas().Pixel(t.right, t.bottom), 0x808080u);
    int mid = t.top + (t.bottom - t.top) / 2;
    // Toggle False points left: the tip sits at the left margin, the base at the right.
    EXPECT_EQ(bmp.Canvas().Pixel(t.left + 3, mid), 0u);
    EXPECT_EQ(bmp.Canvas().Pixel(t.right - 2, mid - 3), 0u);
    // Gradient: left from white towards 0xB4BBBE, away from the arrow.
    COLORREF nearLeft = bmp.Canvas().Pixel(t.left + 1, t.top + 3);
    COLORREF nearRight = bmp.Canvas().Pixel(t.right - 1, t.top + 3);
    EXPECT_GT(GetRValue(nearLeft), GetRValue(nearRight));
    // Pressed mirrors the gradient.
    Split->Send(WM_LBUTTONDOWN, 5, t.top + 3);
    paint();
    EXPECT_LT(GetRValue(bmp.Canvas().Pixel(t.left + 1, t.top + 3)), GetRValue(bmp.Canvas().Pixel(t.right - 1, t.top + 3)));
    Split->Send(WM_LBUTTONUP, 5, t.top + 3);
    // Toggle True points right.
    Split->SetToggle(true);
    paint();
    EXPECT_EQ(bmp.Canvas().Pixel(t.right - 3, mid), 0u);
    EXPECT_EQ(bmp.Canvas().Pixel(t.left + 2, mid - 3), 0u);
    // Without the toggle only the background.
    Split->SetDrawToggle(false);
    paint();
    EXPECT_EQ(bmp.Canvas().Pixel(t.left, t.top), ColorToRGB(clBtnFace));
    EXPECT_EQ(bmp.Canvas().Pixel(t.left + 3, mid), ColorToRGB(clBtnFace));
}

}  // namespace
