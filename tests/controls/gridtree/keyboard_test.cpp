// The tree and the keyboard: navigation keys with focus and selection, expanding and
// collapsing keys, check boxes on the space bar, and the type-ahead search (letters,
// repeats, timeout, backspace, Japanese text typed as UTF-16).
#include <set>

#include "input_test_support.h"

using namespace gridtree;

TEST(GridTreeKeyboard, NavigationKeysMoveFocusAndSelection) {
    struct Case {
        const char* Name;
        int Focused;                      // row focused and selected before (-1: none)
        std::vector<std::pair<WORD, int>> Keys;  // key, held modifier (0, VK_SHIFT, VK_CONTROL)
        int ExpectedFocus;
        std::set<int> ExpectedSelection;
        int ExpectedOffsetY;
    };
    // 20 rows of 18 pixels in a client area 100 pixels high: 5 whole rows to a page.
    const Case cases[] = {
        {"Down", 0, {{VK_DOWN, 0}}, 1, {1}, 0},
        {"Down without focus", -1, {{VK_DOWN, 0}}, 0, {0}, 0},
        {"Up at the top", 0, {{VK_UP, 0}}, 0, {0}, 0},
        {"Shift+Down extends", 0, {{VK_DOWN, VK_SHIFT}, {VK_DOWN, VK_SHIFT}}, 2, {0, 1, 2}, 0},
        {"Shift+Up shrinks back", 0, {{VK_DOWN, VK_SHIFT}, {VK_DOWN, VK_SHIFT}, {VK_UP, VK_SHIFT}}, 1, {0, 1}, 0},
        {"Down after Shift+Down", 0, {{VK_DOWN, VK_SHIFT}, {VK_DOWN, 0}}, 2, {2}, 0},
        {"End", 3, {{VK_END, 0}}, 19, {19}, -(20 * 18 - 100)},
        {"Home", 7, {{VK_HOME, 0}}, 0, {0}, 0},
        {"Shift+End spans", 17, {{VK_END, VK_SHIFT}}, 19, {17, 18, 19}, -(20 * 18 - 100)},
        {"PageDown", 0, {{VK_NEXT, 0}}, 5, {5}, -(6 * 18 - 100)},
        {"PageUp", 12, {{VK_PRIOR, 0}}, 7, {7}, -(7 * 18)},
        {"Ctrl+Down scrolls only", 0, {{VK_DOWN, VK_CONTROL}}, 0, {0}, -18},
        {"Ctrl+PageDown scrolls a page", 0, {{VK_NEXT, VK_CONTROL}}, 0, {0}, -100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputFixture f(Rows(20));
        f.Tree->TreeOptions().SetSelectionOptions(toMultiSelect);
        if (c.Focused >= 0) {
            f.Tree->SetFocusedNode(f.Row(c.Focused));
            f.Tree->AddToSelection(f.Row(c.Focused));
        }
        for (auto [key, modifier] : c.Keys) {
            if (modifier) {
                THeldKeys held{modifier};
                f.Key(key);
            } else {
                f.Key(key);
            }
        }
        EXPECT_EQ(c.ExpectedFocus, f.IndexOf(f.Tree->FocusedNode()));
        EXPECT_EQ(c.ExpectedSelection, f.SelectedRows());
        EXPECT_EQ(c.ExpectedOffsetY, f.Tree->OffsetY());
    }
}

TEST(GridTreeKeyboard, LeftAndRightWalkTheLevels) {
    TInputFixture f(Rows(3));
    f.Tree->SetChildCount(f.Row(0), 2);
    f.Tree->SetFocusedNode(f.Row(0));
    PGridNode parent = f.Row(0);
    f.Key(VK_RIGHT);  // expands
    EXPECT_TRUE(f.Tree->Expanded(parent));
    EXPECT_EQ(parent, f.Tree->FocusedNode());
    f.Key(VK_RIGHT);  // to the first child
    EXPECT_EQ(f.Tree->GetFirstChild(parent), f.Tree->FocusedNode());
    f.Key(VK_LEFT);  // to the parent
    EXPECT_EQ(parent, f.Tree->FocusedNode());
    f.Key(VK_LEFT);  // collapses
    EXPECT_FALSE(f.Tree->Expanded(parent));
    f.Key(VK_LEFT);  // a top-level row has no parent to go to
    EXPECT_EQ(parent, f.Tree->FocusedNode());
    // Numeric pad keys: * expands everything below, / collapses it, - and + one level.
    f.Key(VK_MULTIPLY);
    EXPECT_TRUE(f.Tree->Expanded(parent));
    f.Key(VK_SUBTRACT);
    EXPECT_FALSE(f.Tree->Expanded(parent));
    f.Key(VK_ADD);
    EXPECT_TRUE(f.Tree->Expanded(parent));
    // The main keyboard's + (Shift and the = key on this layout) works as the pad's.
    f.Key(VK_DIVIDE);
    ASSERT_FALSE(f.Tree->Expanded(parent));
    const SHORT plus = VkKeyScanW(L'+');
    ASSERT_NE(-1, plus);
    {
        THeldKeys held{(HIBYTE(plus) & 1) ? VK_SHIFT : 0};
        f.Key(LOBYTE(plus));
    }
    EXPECT_TRUE(f.Tree->Expanded(parent));
}

TEST(GridTreeKeyboard, CtrlASelectsEveryVisibleRowOnlyInMultiSelection) {
    TInputFixture f(Rows(4));
    f.Tree->SetFocusedNode(f.Row(0));
    {
        THeldKeys ctrl{VK_CONTROL};
        f.Key('A');
    }
    EXPECT_TRUE(f.SelectedRows().empty());
    f.Tree->TreeOptions().SetSelectionOptions(toMultiSelect);
    {
        THeldKeys ctrl{VK_CONTROL};
        f.Key('A');
        f.Key(VK_NUMPAD1);
    }
    EXPECT_EQ((std::set<int>{0, 1, 2, 3}), f.SelectedRows());
}

TEST(GridTreeKeyboard, SpaceTogglesTheFocusedCheckBoxOnRelease) {
    TInputFixture f(Rows(3));
    f.Tree->TreeOptions().SetMiscOptions(f.Tree->TreeOptions().MiscOptions() | toCheckSupport);
    for (int i = 0; i < 3; ++i) f.Tree->SetCheckType(f.Row(i), ctCheckBox);
    int checked = 0;
    f.Tree->OnChecked = [&](TBaseGridTree*, PGridNode) { ++checked; };
    f.Tree->SetFocusedNode(f.Row(1));

    SendMessageW(f.Wnd(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(csUncheckedPressed, f.Tree->CheckState(f.Row(1)));
    SendMessageW(f.Wnd(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(csCheckedNormal, f.Tree->CheckState(f.Row(1)));
    EXPECT_EQ(1, checked);

    // Another key before the space comes up puts the box back unchanged.
    SendMessageW(f.Wnd(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(csCheckedPressed, f.Tree->CheckState(f.Row(1)));
    SendMessageW(f.Wnd(), WM_KEYDOWN, VK_DOWN, 1);
    SendMessageW(f.Wnd(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(csCheckedNormal, f.Tree->CheckState(f.Row(1)));
    EXPECT_EQ(csUncheckedNormal, f.Tree->CheckState(f.Row(2)));
    EXPECT_EQ(1, checked);
}

TEST(GridTreeKeyboard, IncrementalSearch) {
    struct Step {
        std::wstring Typed;  // one character, L"\b" for backspace, L"" for the timeout
        int Focused;         // row focused afterwards
        std::wstring Buffer;
    };
    struct Case {
        const char* Name;
        int StartFocus;
        std::vector<Step> Steps;
    };
    const std::vector<std::wstring> texts = {L"apple", L"banana", L"avocado", L"blueberry", L"apricot",
                                             L"東京",  L"日本",   L"日本語",  L"\U00020BB7野家"};
    const Case cases[] = {
        {"same letter cycles and wraps", 0,
         {{L"a", 2, L"a"}, {L"a", 4, L"a"}, {L"a", 0, L"a"}, {L"a", 2, L"a"}}},
        {"two letters", 0, {{L"a", 2, L"a"}, {L"p", 4, L"ap"}}},
        {"a second letter on the hit itself", 1, {{L"b", 3, L"b"}, {L"l", 3, L"bl"}}},
        {"the timeout restarts", 0, {{L"b", 1, L"b"}, {L"", 1, L""}, {L"a", 2, L"a"}}},
        {"backspace shortens and searches back", 0, {{L"b", 1, L"b"}, {L"l", 3, L"bl"}, {L"\b", 1, L"b"}}},
        {"backspace of one letter changes nothing", 0, {{L"b", 1, L"b"}, {L"\b", 1, L"b"}}},
        {"no match keeps text and focus", 0, {{L"b", 1, L"b"}, {L"x", 1, L"b"}}},
        {"Japanese", 0, {{L"日", 6, L"日"}, {L"本", 6, L"日本"}, {L"語", 7, L"日本語"}}},
        {"a character of two code units", 0, {{L"\U00020BB7", 8, L"\U00020BB7"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputFixture f(texts);
        f.Tree->SetIncrementalSearch(isAll);
        f.Tree->SetFocusedNode(f.Row(c.StartFocus));
        int stepNo = 0;
        for (const Step& s : c.Steps) {
            SCOPED_TRACE(stepNo++);
            if (s.Typed.empty()) SendMessageW(f.Wnd(), WM_TIMER, SearchTimer, 0);  // the timer fires
            else f.Type(s.Typed);
            EXPECT_EQ(s.Focused, f.IndexOf(f.Tree->FocusedNode()));
            EXPECT_EQ(testsupport::Narrow(s.Buffer), testsupport::Narrow(f.Tree->SearchBuffer()));
            if (!s.Buffer.empty()) EXPECT_TRUE(f.Tree->TreeStates() & tsIncrementalSearching);
        }
    }
}

TEST(GridTreeKeyboard, SearchSwitchedOffDoesNothing) {
    TInputFixture f({L"apple", L"banana"});
    f.Tree->SetFocusedNode(f.Row(0));
    f.Type(L"b");
    EXPECT_EQ(0, f.IndexOf(f.Tree->FocusedNode()));
    EXPECT_TRUE(f.Tree->SearchBuffer().empty());
    EXPECT_FALSE(f.Tree->TreeStates() & tsIncrementalSearching);

    // Switching it off while a search runs forgets the text.
    f.Tree->SetIncrementalSearch(isAll);
    f.Type(L"b");
    ASSERT_EQ(L"b", f.Tree->SearchBuffer());
    f.Tree->SetIncrementalSearch(isNone);
    EXPECT_TRUE(f.Tree->SearchBuffer().empty());
    EXPECT_EQ(nullptr, f.Tree->LastSearchNode());
}
