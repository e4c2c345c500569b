// Tabs: activation and its refusal, sheets made and freed with their tabs, the neighbour that
// takes over from a deleted tab, hiding and fitting tabs, reordering, looks and focus.
#include "controls/toolbar/ui/uitabs.h"

#include "classlib/gdiguards.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uitabset.h"
#include "controls/toolbar/ui/uitestbars.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ui;
using namespace classlib;
using namespace toolbar;
using namespace themed;
using testsupport::MemoryDib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class UiTabs : public uitest::UiBarTest {
protected:
    TUiTabControl* NewTabControl(int width = 400) {
        auto* control = new TUiTabControl(Form);
        control->SetParent(Form);
        control->SetBounds(10, 40, width, 200);
        PumpMessages();
        return control;
    }
    TUiTabItem* AddTab(TUiCustomTabSet* set, const std::wstring& caption, int width = -1) {
        auto* tab = new TUiTabItem(Form);
        tab->SetCaption(caption);
        tab->SetCustomWidth(width);
        set->Items()->Add(tab);
        PumpMessages();
        return tab;
    }
    static TUiTabSheet* SheetOf(TUiTabItem* tab) { return dynamic_cast<TUiTabSheet*>(tab->Control()); }
    // The captions of the visible tabs, in order.
    static std::vector<std::wstring> VisibleTabs(TUiCustomTabSet* set) {
        std::vector<std::wstring> shown;
        for (int i = 0; i < set->Items()->Count(); ++i)
            if (set->Items()->GetItem(i)->Visible()) shown.push_back(set->Items()->GetItem(i)->Caption());
        return shown;
    }
};

// Paints item buttons red on their top row only, so that a flipped tab shows it at the bottom.
class TopRowTheme : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    void PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo&) override {
        PaintRectFill(canvas.Handle(), rect, RGB(0, 0, 255));
        PaintRectFill(canvas.Handle(), RECT{rect.left, rect.top, rect.right, rect.top + 1}, RGB(255, 0, 0));
    }
};

}  // namespace

TEST_F(UiTabs, AddingTabsMakesSheetsAndActivatesTheFirst) {
    TUiTabControl* control = NewTabControl();
    EXPECT_TRUE(control->EmptyPage()->Visible());
    TUiTabItem* first = AddTab(control, L"一般");
    TUiTabSheet* sheet = SheetOf(first);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Name(), L"UiTabSheet1");
    EXPECT_EQ(sheet->Owner(), Form);
    EXPECT_EQ(sheet->Parent(), control);
    EXPECT_EQ(control->ActiveTabIndex(), 0);
    EXPECT_TRUE(first->Checked());
    EXPECT_TRUE(sheet->Visible());
    EXPECT_FALSE(control->EmptyPage()->Visible());
    EXPECT_EQ(sheet->Caption(), L"一般");

    // The next free number, whatever the form already holds.
    auto* taken = new TCustomControl(Form);
    taken->SetName(L"UiTabSheet2");
    TUiTabItem* second = AddTab(control, L"表示");
    EXPECT_EQ(SheetOf(second)->Name(), L"UiTabSheet3");
    EXPECT_EQ(control->PageCount(), 2);
    EXPECT_EQ(control->ActiveTabIndex(), 0) << "a later tab does not take over";
    EXPECT_FALSE(SheetOf(second)->Visible());
    // A tab that has its page gets no second one.
    control->TabInserted(second);
    EXPECT_EQ(control->PageCount(), 2);
}

TEST_F(UiTabs, ActivationRules) {
    TUiTabControl* control = NewTabControl();
    TUiTabItem* tabs[3] = {AddTab(control, L"A"), AddTab(control, L"B"), AddTab(control, L"C")};
    auto* separator = new TUiSeparatorItem(Form);
    control->Items()->Add(separator);
    std::vector<int> changes;
    control->OnActiveTabChange = [&](TComponent*, int index) { changes.push_back(index); };

    control->SetActiveTabIndex(1);
    EXPECT_TRUE(tabs[1]->Checked());
    EXPECT_FALSE(tabs[0]->Checked());
    EXPECT_TRUE(SheetOf(tabs[1])->Visible());
    EXPECT_FALSE(SheetOf(tabs[0])->Visible());

    control->SetActiveTabIndex(3);  // the separator
    EXPECT_EQ(control->ActiveTabIndex(), 1);
    control->SetActiveTabIndex(5);  // past the end: no tab
    EXPECT_EQ(control->ActiveTabIndex(), -1);
    EXPECT_FALSE(tabs[1]->Checked());
    EXPECT_FALSE(SheetOf(tabs[1])->Visible());
    EXPECT_TRUE(control->EmptyPage()->Visible());
    EXPECT_EQ(changes, (std::vector<int>{1, -1}));

    // Checking a tab in code activates it.
    tabs[2]->SetChecked(true);
    EXPECT_EQ(control->ActiveTabIndex(), 2);
    EXPECT_TRUE(SheetOf(tabs[2])->Visible());

    // A refusal keeps the current tab, its check mark and its sheet.
    control->OnActiveTabChanging = [](TComponent*, int, int, bool& allow) { allow = false; };
    control->SetActiveTabIndex(0);
    tabs[0]->Click();
    EXPECT_EQ(control->ActiveTabIndex(), 2);
    EXPECT_TRUE(tabs[2]->Checked());
    EXPECT_FALSE(tabs[0]->Checked());
    EXPECT_TRUE(SheetOf(tabs[2])->Visible());
    control->OnActiveTabChanging = nullptr;

    // A click on the active tab does nothing, not even its OnClick.
    int clicks = 0;
    tabs[2]->SetOnClick([&](TComponent*) { ++clicks; });
    tabs[2]->Click();
    EXPECT_EQ(clicks, 0);
    tabs[0]->SetOnClick([&](TComponent*) { ++clicks; });
    tabs[0]->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(control->ActiveTabIndex(), 0);
}

TEST_F(UiTabs, DeletingTheActiveTabHandsOverToTheRightNeighbour) {
    TUiTabControl* control = NewTabControl();
    TUiTabItem* a = AddTab(control, L"A");
    TUiTabItem* b = AddTab(control, L"B");
    TUiTabItem* c = AddTab(control, L"C");
    TComponentRef<TUiTabSheet> sheetA;
    sheetA = SheetOf(a);
    ASSERT_NE(sheetA.Get(), nullptr);

    // The active first tab: the next one takes over.
    ASSERT_EQ(control->ActiveTabIndex(), 0);
    delete a;
    ASSERT_TRUE(PumpUntil([&] { return control->ActiveTab() == b && SheetOf(b)->Visible(); }));
    EXPECT_EQ(sheetA.Get(), nullptr) << "the deleted tab's sheet goes with it";
    EXPECT_EQ(control->PageCount(), 2);
    EXPECT_EQ(control->ActiveTabIndex(), 0);

    // The active last tab: the one before it takes over.
    control->SetActiveTabIndex(1);
    delete c;
    PumpMessages();
    EXPECT_EQ(control->ActiveTab(), b);
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(SheetOf(b)->Visible());

    // The only tab: no tab is active and the empty page shows.
    delete b;
    PumpMessages();
    EXPECT_EQ(control->ActiveTabIndex(), -1);
    EXPECT_EQ(control->PageCount(), 0);
    EXPECT_TRUE(control->EmptyPage()->Visible());
}

TEST_F(UiTabs, TabsThatDoNotFitAreHiddenAndComeBackInOrder) {
    TUiTabControl* control = NewTabControl(300);
    for (const wchar_t* caption : {L"1", L"2", L"3", L"4", L"5"}) AddTab(control, caption, 100);
    PumpMessages();
    const std::vector<std::wstring> narrow = VisibleTabs(control);
    ASSERT_LT(narrow.size(), 5u);
    ASSERT_GE(narrow.size(), 1u);
    EXPECT_EQ(narrow.front(), L"1") << "the first tab is never hidden";
    const int limit = control->TabToolbar()->CurrentDock()->ClientWidth() - 8;
    for (const std::wstring& caption : narrow) {
        const RECT r = Bounds(control->TabToolbar()->View(), control->Items()->GetItem(std::stoi(caption) - 1));
        EXPECT_LE(r.right, limit) << testsupport::Narrow(caption);
    }
    EXPECT_EQ(control->TabToolbar()->HiddenTabs().Count(), static_cast<int>(5 - narrow.size()));

    control->SetWidth(700);
    PumpMessages();
    EXPECT_EQ(VisibleTabs(control), (std::vector<std::wstring>{L"1", L"2", L"3", L"4", L"5"}));
    EXPECT_EQ(control->TabToolbar()->HiddenTabs().Count(), 0);

    // Activating a hidden tab scrolls it into view.
    control->SetWidth(300);
    PumpMessages();
    control->SetActiveTabIndex(4);
    EXPECT_TRUE(control->Items()->GetItem(4)->Visible());
    EXPECT_TRUE(control->Items()->GetItem(4)->Checked());
}

TEST_F(UiTabs, AutofitSharesTheRow) {
    TUiTabControl* control = NewTabControl(404);
    std::vector<TUiTabItem*> tabs;
    for (const wchar_t* caption : {L"一", L"二", L"三", L"四"}) tabs.push_back(AddTab(control, caption));
    TUiTabToolbar* bar = control->TabToolbar();
    const int dockWidth = bar->CurrentDock()->ClientWidth();
    control->SetTabAutofit(true);
    for (TUiTabItem* tab : tabs) EXPECT_EQ(tab->CustomWidth(), std::min((dockWidth - 4) / 4, 200));
    control->SetTabAutofitMaxSize(80);
    for (TUiTabItem* tab : tabs) EXPECT_EQ(tab->CustomWidth(), 80);
    // Without a visible tab there is nothing to share: no division by zero.
    for (TUiTabItem* tab : tabs) tab->SetVisible(false);
    auto* spacer = new TUiRightAlignSpacerItem(Form);
    control->Items()->Add(spacer);
    bar->AutofitTabs();
    PumpMessages();
    EXPECT_EQ(control->Items()->Count(), 5);
}

TEST_F(UiTabs, ReorderingMovesTheActiveTabWithItsSheet) {
    TUiTabControl* control = NewTabControl();
    TUiTabItem* a = AddTab(control, L"A");
    TUiTabItem* b = AddTab(control, L"B");
    AddTab(control, L"C");
    TUiTabToolbar* bar = control->TabToolbar();
    control->SetTabDragReorder(true);
    control->SetActiveTabIndex(1);
    TUiTabSheet* sheetB = SheetOf(b);
    std::vector<int> reorders;
    control->OnActiveTabReorder = [&](TComponent*, int index) { reorders.push_back(index); };

    // A press on the active tab takes it up for dragging.
    const RECT rb = Bounds(bar->View(), b);
    ASSERT_TRUE(bar->DoCustomizeMouseDown(mbLeft, 0, (rb.left + rb.right) / 2, (rb.top + rb.bottom) / 2));
    ASSERT_NE(bar->DragViewer(), nullptr);
    EXPECT_EQ(bar->DragViewer()->Item(), b);
    // Over the left half of the first tab: its place; over its right half: where the
    // dragged tab already is.
    const RECT ra = Bounds(bar->View(), a);
    EXPECT_EQ(bar->GetTabDropIndex(POINT{ra.left + 2, (ra.top + ra.bottom) / 2}), 0);
    EXPECT_EQ(bar->GetTabDropIndex(POINT{ra.right - 2, (ra.top + ra.bottom) / 2}), -1);
    EXPECT_EQ(bar->GetTabDropIndex(POINT{(rb.left + rb.right) / 2, rb.top + 2}), -1) << "over itself";

    control->OnActiveTabReordering = [](TComponent*, int, int, bool& allow) { allow = false; };
    EXPECT_FALSE(bar->MoveDraggedTab(0));
    EXPECT_EQ(control->Items()->IndexOf(b), 1);
    control->OnActiveTabReordering = nullptr;
    EXPECT_TRUE(bar->MoveDraggedTab(0));
    EXPECT_EQ(control->Items()->IndexOf(b), 0);
    EXPECT_EQ(control->ActiveTabIndex(), 0);
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(b->Control(), sheetB) << "the moved tab keeps its sheet";
    EXPECT_TRUE(sheetB->Visible());
    EXPECT_EQ(control->PageCount(), 3);
    EXPECT_EQ(reorders, std::vector<int>{0});
    // A press on an inactive tab activates it.
    const RECT rc = Bounds(bar->View(), control->Items()->GetItem(2));
    EXPECT_TRUE(bar->DoCustomizeMouseDown(mbLeft, 0, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    EXPECT_EQ(control->ActiveTabIndex(), 2);
}

TEST_F(UiTabs, ThemeLooksFlipTabs) {
    for (const wchar_t* name : {L"Dream", L"OfficeXP"})
        if (!IsToolbarThemeRegistered(name))
            RegisterToolbarTheme(name, [](const std::wstring& n) { return std::make_unique<TopRowTheme>(n); });
    struct Case {
        const wchar_t* Theme;
        bool Bottom;
        bool RedAtTheBottom;
    } cases[] = {{L"Dream", false, true}, {L"Dream", true, true}, {L"OfficeXP", true, false},
                 {L"OfficeXP", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.Theme) + (c.Bottom ? " bottom" : " top"));
        ASSERT_TRUE(SelectTheme(c.Theme));
        MemoryDib dib(20, 10, RGB(255, 255, 255));
        TCanvas canvas;
        TCanvasDCScope scope(canvas, dib.DC);
        PaintTab(canvas, RECT{0, 0, 20, 10}, true, true, false, false, c.Bottom, tttThm, tabEdgeMiddle);
        EXPECT_EQ(dib.Pixel(5, 9) == RGB(255, 0, 0), c.RedAtTheBottom);
        EXPECT_EQ(dib.Pixel(5, 0) == RGB(255, 0, 0), !c.RedAtTheBottom);
    }
    // The plain look draws nothing for an inactive tab.
    MemoryDib dib(20, 10, RGB(1, 2, 3));
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dib.DC);
    PaintTab(canvas, RECT{0, 0, 20, 10}, true, false, false, false, false, tttNone, tabEdgeMiddle);
    EXPECT_EQ(dib.Count(RGB(1, 2, 3)), 200);
}

TEST_F(UiTabs, SheetGivesTheFocusBackToItsControl) {
    TUiTabControl* control = NewTabControl();
    TUiTabItem* first = AddTab(control, L"一");
    TUiTabItem* second = AddTab(control, L"二");
    TUiTabSheet* sheet = SheetOf(first);
    auto* other = new TCustomControl(Form);
    other->SetTabStop(true);
    other->SetBounds(10, 10, 80, 20);
    other->SetParent(SheetOf(second));
    TCustomControl* edits[2];
    for (int i = 0; i < 2; ++i) {
        edits[i] = new TCustomControl(Form);
        edits[i]->SetTabStop(true);
        edits[i]->SetBounds(10, 10 + 30 * i, 80, 20);
        edits[i]->SetParent(sheet);
    }
    PumpMessages();
    edits[1]->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edits[1]->Handle(); }));
    control->SetActiveTabIndex(1);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == other->Handle(); })) << "the other sheet's first control";
    control->SetActiveTabIndex(0);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == edits[1]->Handle(); }));
}
