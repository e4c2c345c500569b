// The tree and the mouse: the press and release rules of the selection with modifiers, a
// press that becomes a drag, check images, expand buttons, the popup menu of the right
// button and the panning cursors.
#include <set>

#include "classlib/menus.h"
#include "input_test_support.h"

using namespace gridtree;

namespace {

class TRecordingMenu : public classlib::TPopupMenu {
public:
    using classlib::TPopupMenu::TPopupMenu;
    int Shown = 0;
    POINT At{};
    void Popup(int X, int Y) override {
        ++Shown;
        At = POINT{X, Y};
    }
};

}  // namespace

TEST(GridTreeMouse, ClickRulesWithModifiers) {
    struct Case {
        const char* Name;
        bool MultiSelect;
        bool AutoDrag;  // DragMode dmAutomatic
        std::set<int> Before;
        int Row;
        WPARAM Keys;
        std::set<int> AfterPress, AfterRelease;
        TGTDragType Drag = dtOLE;  // the kind of drag a press may start
    };
    const Case cases[] = {
        {"plain click", true, false, {1, 2}, 3, 0, {3}, {3}},
        {"click in a single selection", false, false, {1}, 3, MK_CONTROL, {3}, {3}},
        // A press that may start a drag keeps the selection until the release.
        {"drag-ready click on a selected row", true, true, {1, 2, 3}, 2, 0, {1, 2, 3}, {2}},
        {"click on a selected row", true, false, {1, 2, 3}, 2, 0, {2}, {2}},
        {"Ctrl adds", true, false, {1}, 3, MK_CONTROL, {1, 3}, {1, 3}},
        {"Ctrl removes", true, false, {1, 3}, 1, MK_CONTROL, {3}, {3}},
        // With a drag possible the toggle waits for the release.
        {"Ctrl toggles on release", true, true, {1, 3}, 3, MK_CONTROL, {1, 3}, {1}},
        {"Shift spans from the anchor", true, false, {1}, 4, MK_SHIFT, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"Ctrl+Shift adds the span", true, false, {0}, 2, MK_CONTROL | MK_SHIFT, {0, 1, 2}, {0, 1, 2}},
        // A drag inside the program that never began leaves the release its rules.
        {"in-program-drag-ready click on a selected row", true, true, {1, 2, 3}, 2, 0, {1, 2, 3}, {2}, dtControl},
        {"Ctrl toggles on release, in-program drag", true, true, {1, 3}, 3, MK_CONTROL, {1, 3}, {1}, dtControl},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TInputFixture f(Rows(6));
        auto& o = f.Tree->TreeOptions();
        o.SetSelectionOptions(c.MultiSelect ? (o.SelectionOptions() | toMultiSelect) : 0);
        // The selection before, made by clicks: the first row plain, the others with Ctrl.
        for (int r : c.Before) {
            const WPARAM keys = r == *c.Before.begin() ? 0 : MK_CONTROL;
            f.Press(f.TextPoint(r), keys);
            f.Release(f.TextPoint(r), keys);
        }
        ASSERT_EQ(c.Before, f.SelectedRows());
        f.Tree->DragMode = c.AutoDrag ? classlib::TControl::dmAutomatic : classlib::TControl::dmManual;
        f.Tree->SetDragType(c.Drag);
        f.Press(f.TextPoint(c.Row), c.Keys);
        EXPECT_EQ(c.AfterPress, f.SelectedRows());
        EXPECT_EQ(f.Row(c.Row), f.Tree->FocusedNode());
        f.Release(f.TextPoint(c.Row), c.Keys);
        EXPECT_EQ(c.AfterRelease, f.SelectedRows());
        EXPECT_FALSE(f.Tree->TreeStates() & (tsClearPending | tsToggleFocusedSelection | tsControlDragPending));
    }
}

TEST(GridTreeMouse, PressBecomesADragOnlyBeyondTheDragDistance) {
    TInputFixture f(Rows(6));
    f.Tree->TreeOptions().SetSelectionOptions(toMultiSelect);
    f.Tree->DragMode = classlib::TControl::dmAutomatic;
    f.Select({1, 2, 3});
    const POINT p = f.TextPoint(2);
    f.Press(p);
    EXPECT_TRUE(f.Tree->TreeStates() & tsOLEDragPending);
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{p.x + 1, p.y});
    EXPECT_EQ(0, f.Tree->Dragged);
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{p.x + GetSystemMetrics(SM_CXDRAG) + 1, p.y});
    ASSERT_EQ(1, f.Tree->Dragged);
    EXPECT_EQ(p.x, f.Tree->DragStart.x);
    EXPECT_EQ(p.y, f.Tree->DragStart.y);
    // The drag took the press: the release no longer narrows the selection.
    f.Release(p);
    EXPECT_EQ((std::set<int>{1, 2, 3}), f.SelectedRows());

    // A manual drag starts only where OnDragAllowed says so.
    f.Tree->DragMode = classlib::TControl::dmManual;
    int asked = 0;
    f.Tree->OnDragAllowed = [&](TBaseGridTree*, PGridNode Node, TColumnIndex, bool& Allowed) {
        ++asked;
        Allowed = Node == f.Row(4);
    };
    f.Press(f.TextPoint(5));
    EXPECT_FALSE(f.Tree->TreeStates() & tsOLEDragPending);
    f.Release(f.TextPoint(5));
    f.Press(f.TextPoint(4));
    EXPECT_TRUE(f.Tree->TreeStates() & tsOLEDragPending);
    f.Release(f.TextPoint(4));
    EXPECT_EQ(2, asked);
}

TEST(GridTreeMouse, CheckImageChangesOnReleaseOverItsRow) {
    TInputFixture f(Rows(4));
    f.Tree->TreeOptions().SetMiscOptions(f.Tree->TreeOptions().MiscOptions() | toCheckSupport);
    for (int i = 0; i < 4; ++i) f.Tree->SetCheckType(f.Row(i), ctCheckBox);
    int checked = 0;
    f.Tree->OnChecked = [&](TBaseGridTree*, PGridNode) { ++checked; };
    const int y = f.TextPoint(1).y;
    const int x = FindHitX(*f.Tree, y, hiOnItemCheckbox);
    ASSERT_GE(x, 0);
    const POINT box{x + 2, y};

    f.Press(box);
    EXPECT_EQ(csUncheckedPressed, f.Tree->CheckState(f.Row(1)));
    EXPECT_EQ(0, checked);
    f.Release(box);
    EXPECT_EQ(csCheckedNormal, f.Tree->CheckState(f.Row(1)));
    EXPECT_EQ(1, checked);

    // Released off the row: the box goes back, nothing is reported.
    f.Press(box);
    EXPECT_EQ(csCheckedPressed, f.Tree->CheckState(f.Row(1)));
    f.Release(POINT{box.x, f.TextPoint(3).y});
    EXPECT_EQ(csCheckedNormal, f.Tree->CheckState(f.Row(1)));
    EXPECT_EQ(1, checked);

    // A refused change shows the box as it was.
    f.Tree->OnChecking = [](TBaseGridTree*, PGridNode, TCheckState&, bool& Allowed) { Allowed = false; };
    f.Press(box);
    EXPECT_EQ(csCheckedNormal, f.Tree->CheckState(f.Row(1)));
    f.Release(box);
    EXPECT_EQ(1, checked);
}

TEST(GridTreeMouse, ButtonsAndDoubleClicksToggle) {
    TInputFixture f(Rows(3));
    f.Tree->SetChildCount(f.Row(0), 2);
    const int y = f.TextPoint(0).y;
    const int button = FindHitX(*f.Tree, y, hiOnItemButton);
    ASSERT_GE(button, 0);
    f.Press(POINT{button + 2, y});
    f.Release(POINT{button + 2, y});
    EXPECT_TRUE(f.Tree->Expanded(f.Row(0)));
    // The text toggles on a double click (toToggleOnDblClick is on by default) ...
    f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, f.TextPoint(0));
    EXPECT_FALSE(f.Tree->Expanded(f.Row(0)));
    // ... and not without that option.
    auto& o = f.Tree->TreeOptions();
    o.SetMiscOptions(o.MiscOptions() & ~toToggleOnDblClick);
    f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, f.TextPoint(0));
    EXPECT_FALSE(f.Tree->Expanded(f.Row(0)));
}

TEST(GridTreeMouse, RightButtonSelectsAndShowsTheNodesMenu) {
    TInputFixture f(Rows(4));
    f.Tree->SetChildCount(f.Row(1), 1);
    f.Tree->SetExpanded(f.Row(1), true);
    TRecordingMenu menu(nullptr);
    std::vector<int> askedFor;
    f.Tree->OnGetPopupMenu = [&](TBaseGridTree*, PGridNode Node, TColumnIndex, POINT, bool&,
                                 classlib::TPopupMenu*& Menu) {
        askedFor.push_back(f.IndexOf(Node));
        // Only the top-level row has a menu: its child's is asked from it.
        if (Node == f.Row(1)) Menu = &menu;
    };
    const POINT p = f.TextPoint(2);  // the child of row 1
    f.Send(WM_RBUTTONDOWN, MK_RBUTTON, p);
    EXPECT_TRUE(f.SelectedRows().empty());  // no toRightClickSelect
    f.Send(WM_RBUTTONUP, 0, p);
    EXPECT_EQ((std::vector<int>{2, 1}), askedFor);
    ASSERT_EQ(1, menu.Shown);
    const POINT screen = f.Tree->ClientToScreen(p);
    EXPECT_EQ(screen.x, menu.At.x);
    EXPECT_EQ(screen.y, menu.At.y);
    EXPECT_EQ(f.Tree, menu.PopupComponent);

    f.Tree->TreeOptions().SetSelectionOptions(toRightClickSelect);
    f.Send(WM_RBUTTONDOWN, MK_RBUTTON, f.TextPoint(3));
    EXPECT_EQ((std::set<int>{3}), f.SelectedRows());
    f.Send(WM_RBUTTONUP, 0, f.TextPoint(3));
    EXPECT_EQ(1, menu.Shown);  // row 3 has no menu
}

TEST(GridTreeMouse, PanningCursorFollowsTheDirection) {
    struct Case {
        int X, Y;
        bool H, V;
        const wchar_t* Name;
    };
    const POINT anchor{100, 100};
    const Case cases[] = {
        {100, 100, true, true, L"GT_MOVEALL"}, {105, 93, false, true, L"GT_MOVENS"},
        {100, 100, true, false, L"GT_MOVEEW"}, {80, 80, true, true, L"GT_MOVENW"},
        {80, 105, true, true, L"GT_MOVEW"},    {80, 120, true, true, L"GT_MOVESW"},
        {104, 90, true, true, L"GT_MOVEN"},    {104, 110, true, true, L"GT_MOVES"},
        {120, 80, true, true, L"GT_MOVENE"},   {120, 100, true, true, L"GT_MOVEE"},
        {120, 120, true, true, L"GT_MOVESE"},  {90, 140, true, false, L"GT_MOVEW"},
        {100, 90, false, true, L"GT_MOVEN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.X << "," << c.Y << " H" << c.H << " V" << c.V);
        EXPECT_STREQ(c.Name, TInputTree::PanningCursorName(anchor, c.X, c.Y, c.H, c.V));
        // Every name is a cursor the program carries.
        EXPECT_NE(nullptr, LoadCursorW(GetModuleHandleW(nullptr), c.Name));
    }
}
