// The animation loop and the toggle animation: step calls, the state bracket, no nested
// animation, the area moved on the screen and which toggles animate.
#include <memory>
#include <vector>

#include "classlib/form.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

class TAnimTree : public TBaseGridTree {
public:
    using TBaseGridTree::ToggleCallback;
    using TBaseGridTree::TToggleAnimationData;
    struct Toggle {
        PGridNode Node;
        bool Expanding;
        int Pixels;
    };
    std::vector<Toggle> Toggles;  // every toggle that asked for an animation
    int Animations = 0;           // animations that really ran

    TAnimTree() {
        OnStateChange = [this](TBaseGridTree*, TGridTreeStates Enter, TGridTreeStates) {
            if (Enter & tsInAnimation) ++Animations;
        };
    }

protected:
    void AnimateToggle(PGridNode Node, bool Expanding, int Pixels) override {
        Toggles.push_back({Node, Expanding, Pixels});
        TBaseGridTree::AnimateToggle(Node, Expanding, Pixels);
    }
};

struct TShownTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TAnimTree* Tree = new TAnimTree();
    TShownTree() {
        Form->SetBounds(10, 10, 400, 300);
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 200, 120);
        Tree->SetAnimationDuration(20);
        Tree->TreeOptions().SetAnimationOptions(toAnimatedToggle);
        Form->Show();
        Tree->HandleNeeded();
        PumpMessages();
        UpdateWindow(Form->Handle());
    }
};

struct Call {
    int Step, StepSize;
    bool InAnimation;
};

}  // namespace

TEST(GridTreeAnimation, LoopCallsStepsAndEndsWithAZeroStep) {
    TTestTree tree;
    std::vector<Call> calls;
    int nestedCalls = 0;
    tree.Animate(40, 20, [&](int Step, int StepSize, void* Data) {
        EXPECT_EQ(&calls, Data);
        calls.push_back({Step, StepSize, (tree.TreeStates() & tsInAnimation) != 0});
        // An animation inside a running one does nothing.
        tree.Animate(10, 10, [&](int, int, void*) { ++nestedCalls; return true; }, nullptr);
        return true;
    }, &calls);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(0, calls.front().Step);
    EXPECT_EQ(2, calls.front().StepSize);  // 40 steps in 20 ms: two per millisecond
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        EXPECT_GT(calls[i].StepSize, 0);
        EXPECT_TRUE(calls[i].InAnimation);
    }
    EXPECT_EQ(0, calls.back().Step);
    EXPECT_EQ(0, calls.back().StepSize);
    EXPECT_TRUE(calls.back().InAnimation);
    EXPECT_EQ(0, nestedCalls);
    EXPECT_FALSE(tree.TreeStates() & (tsInAnimation | tsCancelHintAnimation));
}

TEST(GridTreeAnimation, StoppedByTheCallbackOrNotStartedAtAll) {
    TTestTree tree;
    std::vector<int> sizes;
    tree.Animate(100, 50, [&](int, int StepSize, void*) { sizes.push_back(StepSize); return false; }, nullptr);
    EXPECT_EQ((std::vector<int>{2, 0}), sizes);  // one step, then the end call

    sizes.clear();
    tree.Animate(100, 0, [&](int, int StepSize, void*) { sizes.push_back(StepSize); return true; }, nullptr);
    EXPECT_TRUE(sizes.empty());

    // A callback that raises leaves the state bracket closed.
    EXPECT_THROW(tree.Animate(10, 10, [](int, int, void*) -> bool { throw EGridTreeError(L"x"); }, nullptr),
                 EGridTreeError);
    EXPECT_FALSE(tree.TreeStates() & tsInAnimation);
}

TEST(GridTreeAnimation, ToggleStepMovesTheAreaAndFillsTheStrip) {
    TShownTree s;
    TAnimTree& tree = *s.Tree;
    tree.SetColor(classlib::clWhite);
    HWND wnd = tree.Handle();
    HDC dc = GetDC(wnd);
    ASSERT_TRUE(dc);
    const int w = tree.ClientWidth(), h = tree.ClientHeight();
    RECT all{0, 0, w, h};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0)), red = CreateSolidBrush(RGB(255, 0, 0));
    auto paint = [&] {
        FillRect(dc, &all, black);
        RECT mark{0, 50, w, 60};
        FillRect(dc, &mark, red);
    };
    struct Case {
        int mode;
        COLORREF at[4];  // pixels at y = 20, 46, 58, 63 after a 6 pixel step
    };
    const COLORREF K = RGB(0, 0, 0), R = RGB(255, 0, 0), W = RGB(255, 255, 255);
    const Case cases[] = {
        {1, {W, K, R, R}},  // down: the mark moves to 56..65, the top strip 18..24 is filled
        {0, {K, R, K, K}},  // up: the mark moves to 44..53
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        paint();
        TAnimTree::TToggleAnimationData data;
        data.Window = wnd;
        data.DC = dc;
        data.Brush = CreateSolidBrush(RGB(255, 255, 255));
        data.R = RECT{0, 18, w, h};
        data.Mode = c.mode;
        EXPECT_TRUE(tree.ToggleCallback(0, 6, &data));
        GdiFlush();
        const int ys[4] = {20, 46, 58, 63};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.at[i], GetPixel(dc, 5, ys[i]) & 0xFFFFFF) << "y " << ys[i];
        EXPECT_EQ(K, GetPixel(dc, 5, 10) & 0xFFFFFF);  // the toggled row itself stays
        if (c.mode == 0) { EXPECT_EQ(W, GetPixel(dc, 5, h - 3) & 0xFFFFFF); }
        // The end call (step size 0) changes nothing.
        EXPECT_TRUE(tree.ToggleCallback(0, 0, &data));
        DeleteObject(data.Brush);
    }
    DeleteObject(black);
    DeleteObject(red);
    ReleaseDC(wnd, dc);
}

TEST(GridTreeAnimation, WhichTogglesAnimate) {
    TShownTree s;
    TAnimTree& tree = *s.Tree;
    tree.SetRootNodeCount(3);
    PGridNode first = tree.GetFirst();
    tree.SetChildCount(first, 2);
    const int ch = tree.ClientHeight();

    tree.ToggleNode(first);  // expand: two rows of 18 below a row ending at 18
    ASSERT_EQ(1u, tree.Toggles.size());
    EXPECT_TRUE(tree.Toggles[0].Expanding);
    EXPECT_EQ(std::min(36, ch - 18 + 1), tree.Toggles[0].Pixels);
    EXPECT_EQ(1, tree.Animations);
    EXPECT_TRUE(tree.Expanded(first));
    EXPECT_FALSE(tree.TreeStates() & tsInAnimation);

    tree.ToggleNode(first);  // collapse
    ASSERT_EQ(2u, tree.Toggles.size());
    EXPECT_FALSE(tree.Toggles[1].Expanding);
    EXPECT_EQ(std::min(36, ch - 18 + 1), tree.Toggles[1].Pixels);
    EXPECT_EQ(2, tree.Animations);
    CheckInvariants(tree);

    // Bulk operations and updates do not animate.
    tree.FullExpand();
    tree.FullCollapse();
    tree.BeginUpdate();
    tree.ToggleNode(first);
    tree.EndUpdate();
    EXPECT_EQ(2, tree.Animations);

    // A row scrolled above the client area moves nothing when it collapses.
    tree.SetRootNodeCount(40);
    tree.SetOffsetY(-200);
    ASSERT_TRUE(tree.Expanded(first));
    tree.ToggleNode(first);
    EXPECT_EQ(2, tree.Animations);
    EXPECT_FALSE(tree.Expanded(first));

    // Without the option nothing is asked.
    tree.SetOffsetY(0);
    tree.TreeOptions().SetAnimationOptions(0);
    size_t asked = tree.Toggles.size();
    tree.ToggleNode(first);
    EXPECT_EQ(asked, tree.Toggles.size());
    CheckInvariants(tree);
}
