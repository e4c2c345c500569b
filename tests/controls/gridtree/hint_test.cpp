// The tree's hints: when and where a hint shows over rows, cells and the header, the
// tooltip for text cut off by its column, the hint window's size, and the appearance
// animation (none when the system has it off; a tree or window freed while the animation
// serves messages is not touched again).
#include "classlib/application.h"
#include "controls/gridtree/gridtree_hintwindow.h"
#include "input_test_support.h"

using namespace gridtree;

namespace {

const std::wstring LongText = L"a text much longer than its narrow column";

struct THintFixture : TInputFixture {
    THintFixture() : TInputFixture({L"ab", LongText, L"cd"}) {
        Tree->SetShowHint(true);
        Tree->Header().Columns().Add()->SetWidth(80);
        Tree->Header().Columns().Add()->SetWidth(100);
    }
    // Asks the tree as the application does when the mouse rests at P.
    LRESULT Ask(POINT P, classlib::THintInfo& Info) {
        Info = classlib::THintInfo{};
        Info.HintControl = Tree;
        Info.CursorPos = P;
        Info.HintPos = Tree->ClientToScreen(POINT{P.x, P.y + 20});
        Info.CursorRect = Tree->ClientRect();
        Info.HintStr = classlib::GetShortHint(Tree->Hint());
        Tree->ClearLastHintRect();
        return Tree->Perform(classlib::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    }
    POINT TextStart(int Row, TColumnIndex Column = 0) {
        RECT r = Tree->GetDisplayRect(this->Row(Row), Column, true, true);
        return POINT{r.left + 3, (r.top + r.bottom) / 2};
    }
};

bool SameRect(const RECT& A, const RECT& B) { return EqualRect(&A, &B) != FALSE; }

}  // namespace

TEST(GridTreeHints, TooltipOnlyForTextCutOffAndExactlyOverIt) {
    THintFixture f;
    f.Tree->SetHintMode(hmTooltip);
    classlib::THintInfo info;
    // A text that fits its cell gets no tooltip.
    EXPECT_NE(0, f.Ask(f.TextStart(0), info));
    EXPECT_FALSE(f.Tree->TreeStates() & tsHint);

    ASSERT_EQ(0, f.Ask(f.TextStart(1), info));
    const RECT text = f.Tree->GetDisplayRect(f.Row(1), 0, true, true);
    ASSERT_GT(text.right, 80);
    const POINT corner = f.Tree->ClientToScreen(POINT{text.left, text.top});
    EXPECT_EQ(corner.x, info.HintPos.x);
    EXPECT_EQ(corner.y, info.HintPos.y);
    EXPECT_TRUE(SameRect(text, info.CursorRect));
    EXPECT_TRUE(SameRect(text, f.Tree->LastHintRect()));
    EXPECT_TRUE(f.Tree->TreeStates() & tsHint);
    ASSERT_EQ(&f.Tree->HintData(), info.HintData);
    EXPECT_EQ(f.Row(1), f.Tree->HintData().Node);
    EXPECT_EQ(0, f.Tree->HintData().Column);
    // Without delay.
    int pause = 500;
    f.Tree->Perform(classlib::CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
    EXPECT_EQ(0, pause);

    // The window takes the text's size plus its one-pixel frame, its corner one pixel up
    // and left of the text's.
    TGridTreeHintWindow window(nullptr);
    const RECT r = window.CalcHintRect(1000, info.HintStr, info.HintData);
    EXPECT_EQ(-1, r.left);
    EXPECT_EQ(-1, r.top);
    EXPECT_EQ(text.right - text.left + 2, r.right - r.left);
    EXPECT_EQ(text.bottom - text.top + 2, r.bottom - r.top);
    EXPECT_EQ(testsupport::Narrow(LongText), testsupport::Narrow(window.HintData().Text));
}

TEST(GridTreeHints, NodeHintsAndTheControlsHint) {
    THintFixture f;
    f.Tree->SetHint(L"Tree help|The long help");
    f.Tree->SetHintMode(hmHintAndDefault);
    f.Tree->OnGetHint = [](TBaseGridTree*, PGridNode, TColumnIndex Column, TGTTooltipLineBreakStyle&,
                           std::wstring& Text) { Text = L"cell hint " + std::to_wstring(Column); };
    classlib::THintInfo info;
    // Below the last row: the control's short hint.
    ASSERT_EQ(0, f.Ask(POINT{20, 90}, info));
    EXPECT_EQ(L"Tree help", info.HintStr);
    EXPECT_EQ(nullptr, f.Tree->HintData().Node);
    EXPECT_EQ(L"Tree help", f.Tree->HintData().FixedText);

    // Over a cell: the row within the column's bounds, the hint below the row.
    const POINT p{100, f.TextStart(2).y};
    ASSERT_EQ(0, f.Ask(p, info));
    const RECT row = f.Tree->GetDisplayRect(f.Row(2), NoColumn, false, true);
    EXPECT_TRUE(SameRect(RECT{80, row.top, 180, row.bottom}, info.CursorRect));
    EXPECT_GE(info.HintPos.y, f.Tree->ClientToScreen(POINT{0, row.bottom}).y + 2);
    TGridTreeHintWindow window(nullptr);
    const RECT r = window.CalcHintRect(1000, info.HintStr, info.HintData);
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_EQ(L"cell hint 1", window.HintData().Text);

    // While a cell is edited its row shows no hint; the others still do.
    auto& o = f.Tree->TreeOptions();
    o.SetMiscOptions(o.MiscOptions() | toEditable);
    f.Tree->EditNode(f.Row(2), 1);
    ASSERT_TRUE(f.Tree->IsEditing());
    EXPECT_NE(0, f.Ask(p, info));
    EXPECT_EQ(0, f.Ask(POINT{100, f.TextStart(0).y}, info));
    f.Tree->CancelEditNode();
}

TEST(GridTreeHints, ColumnHintsOverTheHeader) {
    THintFixture f;
    auto& header = f.Tree->Header();
    header.SetOptions(header.Options() | hoVisible | hoShowHint);
    header.Columns()[0]->SetHint(L"first column");
    testsupport::PumpMessages();
    classlib::THintInfo info;
    const int y = -header.Height() / 2;
    ASSERT_EQ(0, f.Ask(POINT{20, y}, info));
    EXPECT_EQ(L"first column", info.HintStr);
    EXPECT_TRUE(SameRect(RECT{0, -header.Height(), 80, 0}, info.CursorRect));
    EXPECT_EQ(nullptr, f.Tree->HintData().Node);
    // A column without a hint shows none.
    EXPECT_NE(0, f.Ask(POINT{120, y}, info));
}

TEST(GridTreeHints, NoAnimationWhenTheSystemHasNone) {
    THintFixture f;
    f.Tree->SetHintMode(hmTooltip);
    int animations = 0;
    f.Tree->OnStateChange = [&](TBaseGridTree*, TGridTreeStates Enter, TGridTreeStates) {
        if (Enter & tsInAnimation) ++animations;
    };
    struct Case {
        bool SystemAnimates;
        THintAnimationType Setting, Expected;
    };
    const Case cases[] = {
        {false, hatSystemDefault, hatNone},
        {true, hatSystemDefault, hatSlide},
        {false, hatSlide, hatSlide},
        {true, hatNone, hatNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.SystemAnimates << " " << c.Setting);
        f.Tree->AnimateTooltips = c.SystemAnimates;
        f.Tree->SetHintAnimation(c.Setting);
        EXPECT_EQ(c.Expected, f.Tree->DoGetAnimationType());
        classlib::THintInfo info;
        ASSERT_EQ(0, f.Ask(f.TextStart(1), info));
        animations = 0;
        TGridTreeHintWindow window(nullptr);
        RECT r = window.CalcHintRect(1000, info.HintStr, info.HintData);
        OffsetRect(&r, info.HintPos.x, info.HintPos.y);
        window.ActivateHintData(r, info.HintStr, info.HintData);
        EXPECT_EQ(c.Expected, window.Animation());
        EXPECT_EQ(c.Expected == hatNone ? 0 : 1, animations);
        EXPECT_FALSE(f.Tree->TreeStates() & tsInAnimation);
    }
}

TEST(GridTreeHints, AnimationTouchesNothingFreedWhileItServedMessages) {
    // The tree freed by a message served in a step: no further step, no final call.
    {
        auto form = std::make_unique<classlib::TForm>(nullptr);
        auto* tree = new TInputTree();
        tree->SetParent(form.get());
        int calls = 0;
        tree->Animate(
            50, 100,
            [&](int, int, void*) {
                ++calls;
                delete tree;
                return true;
            },
            nullptr);
        EXPECT_EQ(1, calls);
    }
    // The hint window freed by a queued call run during its own animation step.
    THintFixture f;
    f.Tree->SetHintMode(hmTooltip);
    f.Tree->SetHintAnimation(hatSlide);
    classlib::THintInfo info;
    ASSERT_EQ(0, f.Ask(f.TextStart(1), info));
    auto* window = new TGridTreeHintWindow(nullptr);
    RECT r = window->CalcHintRect(1000, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    classlib::Application->QueueCall([window] { delete window; });
    window->ActivateHintData(r, info.HintStr, info.HintData);
    EXPECT_TRUE(TGridTreeHintWindow::HintWindowGone());
    EXPECT_FALSE(f.Tree->TreeStates() & tsInAnimation);
}
