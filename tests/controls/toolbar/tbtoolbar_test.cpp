// The toolbar control: menu-bar keys and routing, accelerators on plain toolbars, the
// chevron, floating sizes and the snapping resize, shortcuts through the form.
#include "controls/toolbar/tbtoolbar.h"

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/menus.h"
#include "common/test_support.h"
#include "controls/toolbar/tbpopup.h"
#include "tbinputscript.h"
#include "tbtestitems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// The selection of every view of the open chain, root first: "&File>&Open".
std::wstring Chain(TBarView* root) {
    std::wstring s;
    for (TBarView* v = root; v; v = v->OpenView()) {
        if (!s.empty()) s += L">";
        s += v->Selected() ? v->Selected()->Item()->Caption() : L"-";
    }
    return s;
}

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 300);
        Form->SetCaption(L"ツールバー");
        Form->Show();
        PumpMessages();
    }
    void TearDown() override {
        delete Form;
        PumpMessages();
    }
    TBarCustomToolbar* NewToolbar(bool menuBar) {
        auto* bar = new TBarCustomToolbar(Form);
        bar->SetBounds(0, 0, 480, 24);
        bar->SetParent(Form);
        bar->SetMenuBar(menuBar);
        return bar;
    }
    // A menu bar: File, Edit, View (with a sub-menu), 表示, Format.
    TBarCustomToolbar* NewMenuBar() {
        TBarCustomToolbar* bar = NewToolbar(true);
        TBarCustomItem* root = bar->Items();
        TBarCustomItem* file = NewItem(root, L"&File", true);
        for (const wchar_t* c : {L"&New", L"&Open", L"E&xit"}) NewItem(file, c);
        TBarCustomItem* edit = NewItem(root, L"&Edit", true);
        edit->SetHelpContext(77);
        for (const wchar_t* c : {L"&Undo", L"&Cut"}) NewItem(edit, c);
        TBarCustomItem* view = NewItem(root, L"&View", true);
        NewItem(view, L"&Status");
        NewItem(NewItem(view, L"&Toolbars", true), L"&Standard");
        NewItem(NewItem(root, L"表示(&表)", true), L"&Zoom");
        NewItem(NewItem(root, L"F&ormat", true), L"&Font");
        NewItem(root, L"&Fold");
        PumpMessages();
        return bar;
    }
    // Sends the form the menu key the system sends for Alt (0) or Alt+key.
    void MenuKey(wchar_t key) { SendMessageW(Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, key); }

    TForm* Form = nullptr;
};

}  // namespace

TEST_F(ToolbarTest, MenuBarKeyRouting) {
    TBarCustomToolbar* bar = NewMenuBar();
    TBarView* root = bar->View();
    struct Step {
        WORD Key;
        const wchar_t* Expected;
    };
    const std::vector<Step> steps = {
        {0, L"&File"},  // Alt alone: the first item, no menu yet
        {VK_DOWN, L"&File>&New"},
        {VK_DOWN, L"&File>&Open"},
        {VK_RIGHT, L"&Edit>&Undo"},  // no sub-menu here: the next menu opens
        {VK_LEFT, L"&File>&New"},    // a first-level menu: the previous one opens
        {VK_UP, L"&File>E&xit"},     // wraps around
        {VK_ESCAPE, L"&File"},       // one level back, out of menu mode
        {VK_RIGHT, L"&Edit"},        // the bar moves without opening
        {VK_DOWN, L"&Edit>&Undo"},
        {VK_RIGHT, L"&View>&Status"},
        {VK_DOWN, L"&View>&Toolbars"},
        {VK_RIGHT, L"&View>&Toolbars>&Standard"},
        {VK_LEFT, L"&View>&Toolbars"},  // a deeper menu closes one level
        {VK_TAB, L"&View>&Status"},
        {VK_ESCAPE, L"&View"},
    };
    std::vector<std::wstring> seen;
    bool accelsShown = false;
    InputScript script(Form->Handle());
    for (const Step& s : steps) {
        if (s.Key) script.Key(WM_KEYDOWN, s.Key);
        script.Run([&] { seen.push_back(Chain(root)); });
    }
    script.Run([&] { accelsShown = (root->State() & tbvsAccelsShown) != 0; }).Key(WM_KEYDOWN, VK_ESCAPE);
    script.Start();
    MenuKey(0);
    ASSERT_EQ(seen.size(), steps.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(seen[i], steps[i].Expected) << "step " << i;
    EXPECT_TRUE(accelsShown);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(root->Selected(), nullptr);
    EXPECT_FALSE(root->State() & tbvsModal);
}

TEST_F(ToolbarTest, AltWithALetter) {
    TBarCustomToolbar* bar = NewMenuBar();
    struct Case {
        wchar_t Key;
        const wchar_t* Expected;
    };
    const Case cases[] = {
        {L'e', L"&Edit>&Undo"},     // the only one: its menu opens at once
        {L'E', L"&Edit>&Undo"},
        {L'表', L"表示(&表)>&Zoom"},  // the key arrives as UTF-16, not as code-page bytes
        {L'f', L"&File"},           // two of them: only selected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Key));
        std::wstring seen = L"(no loop)";
        InputScript script(Form->Handle());
        script.Run([&] { seen = Chain(bar->View()); }).Key(WM_KEYDOWN, VK_ESCAPE).Key(WM_KEYDOWN, VK_ESCAPE);
        script.Start();
        MenuKey(c.Key);
        EXPECT_EQ(seen, c.Expected);
        PumpMessages();
    }
    // A key no item has beeps and opens nothing.
    std::wstring seen = L"(no loop)";
    InputScript script(Form->Handle());
    script.Run([&] { seen = Chain(bar->View()); });
    script.Start();
    MenuKey(L'q');
    EXPECT_FALSE(bar->View()->State() & tbvsModal);
    PumpMessages();
    EXPECT_EQ(seen, L"-");
}

TEST_F(ToolbarTest, HelpKeyUsesTheNearestHelpContext) {
    TBarCustomToolbar* bar = NewMenuBar();
    int help = 0;
    Application->OnHelp = [&](int context) {
        help = context;
        return true;
    };
    InputScript script(Form->Handle());
    script.Key(WM_KEYDOWN, VK_F1).Key(WM_KEYDOWN, VK_ESCAPE).Key(WM_KEYDOWN, VK_ESCAPE);
    script.Start();
    MenuKey(L'e');  // the Edit menu, its Undo item selected: Undo has no help context
    Application->OnHelp = nullptr;
    EXPECT_EQ(help, 77);
    EXPECT_FALSE(bar->View()->State() & tbvsModal);
}

TEST_F(ToolbarTest, PlainToolbarTakesOnlyAcceleratorsOfItsButtons) {
    TBarCustomToolbar* bar = NewToolbar(false);
    std::vector<std::wstring> clicks;
    for (const wchar_t* c : {L"&Bold", L"Italic", L"&Under", L"&Uppercase"}) {
        TBarCustomItem* item = NewItem(bar->Items(), c);
        item->SetOnClick([&clicks, c](TComponent*) { clicks.push_back(c); });
    }
    PumpMessages();
    EXPECT_NE(Form->Perform(CM_DIALOGCHAR, L'b', 0), 0);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, L'i', 0), 0) << "first letters are not used";
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, L'u', 0), 0) << "two buttons: a toolbar does not pick one";
    ASSERT_TRUE(PumpUntil([&] { return !clicks.empty(); }));
    PumpMessages();
    EXPECT_EQ(clicks, std::vector<std::wstring>{L"&Bold"});
}

TEST_F(ToolbarTest, ShortCutsReachTheToolbarThroughTheForm) {
    TBarCustomToolbar* bar = NewToolbar(false);
    bar->SetProcessShortCuts(true);
    int clicks = 0;
    TBarCustomItem* item = NewItem(bar->Items(), L"&Keep");
    item->SetShortCut(ShortCut('K', ssAlt));
    item->SetOnClick([&](TComponent*) { ++clicks; });
    EXPECT_EQ(ShortCutToolbars(), std::vector<TBarCustomToolbar*>{bar});
    PostMessageW(Form->Handle(), WM_SYSKEYDOWN, 'K', 0x20000000);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    bar->SetProcessShortCuts(false);
    EXPECT_TRUE(ShortCutToolbars().empty());
    delete bar;
}

// Items that change while the form is hidden are laid out when it shows, before its first
// paint: painting only draws, it neither lays out nor resizes.
TEST_F(ToolbarTest, ItemsChangedWhileTheFormIsHiddenAreLaidOutBeforeItShows) {
    Form->Hide();
    PumpMessages();
    TBarCustomToolbar* bar = NewToolbar(false);
    TBarCustomItem* last = nullptr;
    for (const wchar_t* c : {L"One", L"Two", L"Three"}) last = NewItem(bar->Items(), c);
    ASSERT_FALSE(bar->View()->PositionsValid());
    Form->Show();
    EXPECT_TRUE(bar->View()->PositionsValid());
    const RECT laidOut = bar->View()->ViewerOfItem(last)->BoundsRect;
    const RECT bounds = bar->BoundsRect();
    EXPECT_GT(laidOut.right, laidOut.left);
    PumpMessages();
    const RECT painted = bar->View()->ViewerOfItem(last)->BoundsRect;
    EXPECT_TRUE(EqualRect(&painted, &laidOut));
    const RECT after = bar->BoundsRect();
    EXPECT_TRUE(EqualRect(&after, &bounds));
}

TEST_F(ToolbarTest, ChevronHidesTheLowestPriorityButtons) {
    TBarCustomToolbar* bar = NewToolbar(false);
    bar->SetAutoResize(false);
    for (const wchar_t* c : {L"Alpha", L"Bravo", L"Charlie", L"Delta", L"Echo"}) NewItem(bar->Items(), c);
    TBarView* view = bar->View();
    view->EnsurePositionsValid();
    const int full = view->BaseSize().cx;
    bar->SetBounds(0, 0, full * 3 / 5, 24);
    bar->Rearrange();
    const auto hidden = [&] {
        std::vector<std::wstring> list;
        for (int i = 0; i < view->ViewerCount(); ++i)
            if (view->Viewers(i)->BeyondChevron) list.push_back(view->Viewers(i)->Item()->Caption());
        return list;
    };
    const std::vector<std::wstring> before = hidden();
    // New buttons come first in the priority order: the first ones go behind the chevron.
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before.front(), L"Alpha");
    EXPECT_EQ(std::count(before.begin(), before.end(), L"Echo"), 0);
    TBarItemViewer* chevron = view->Viewers(view->ViewerCount() - 1);
    ASSERT_EQ(chevron->Item(), bar->ChevronItem());
    EXPECT_TRUE(chevron->Show);

    // Choosing Alpha from the chevron's popup keeps it on the bar from then on.
    view->Select(chevron, false);
    bar->ChevronItem()->CreatePopup(view, chevron, false, false, false, POINT{0, 0}, tbpaLeft);
    TBarView* popup = view->OpenView();
    ASSERT_NE(popup, nullptr);
    std::vector<std::wstring> listed;
    for (int i = 0; i < popup->ViewerCount(); ++i)
        if (popup->Viewers(i)->Show) listed.push_back(popup->Viewers(i)->Item()->Caption());
    EXPECT_EQ(listed, before);
    for (int i = 0; i < popup->ViewerCount(); ++i)
        if (popup->Viewers(i)->Item()->Caption() == L"Alpha") popup->Viewers(i)->Execute(true);
    view->CloseChildPopups();
    view->DoneAction = TBarDoneActionData{};
    view->Select(nullptr, false);
    view->EnsurePositionsValid();
    const std::vector<std::wstring> after = hidden();
    EXPECT_EQ(std::count(after.begin(), after.end(), L"Alpha"), 0);
    EXPECT_EQ(after.size(), before.size());
}

TEST_F(ToolbarTest, FloatingSizesOnePerLineCount) {
    TBarCustomToolbar* bar = NewToolbar(false);
    for (int i = 0; i < 6; ++i) NewItem(bar->Items(), L"XX");
    std::vector<TBarFloatingSize> sizes;
    bar->GetFloatingSizes(sizes);
    RECT margins{};
    bar->View()->QueryMargins(tbvoFloating, margins);
    const int edges = margins.left + margins.right;
    ASSERT_EQ(sizes.size(), 4u);  // 6, 3, 2 and 1 buttons a line (4 or 5 a line take two lines too)
    const int button = (sizes[0].Width - edges) / 6;
    const int perLine[] = {6, 3, 2, 1};
    for (size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(sizes[i].Width, edges + perLine[i] * button) << i;
        if (i > 0) {
            EXPECT_GT(sizes[i].Height, sizes[i - 1].Height) << i;
        }
    }
}

TEST(FloatingResize, SnapsToTheSizesItCanTake) {
    // Outer sizes of a floating toolbar: three line counts.
    const std::vector<SIZE> sizes = {{100, 30}, {40, 70}, {60, 50}};
    const RECT start{0, 0, 100, 30};
    TBarFloatingResize right(1, sizes, start, 4, POINT{100, 0});
    EXPECT_EQ(right.SnapDistance(), 12);
    struct Step {
        int CursorX;
        RECT Expected;
        int RightX;
    };
    const Step steps[] = {
        {95, {0, 0, 100, 30}, 0},   // within the snap distance of the start
        {80, {0, 0, 60, 50}, 52},   // narrower: the next size that fits
        {30, {0, 0, 40, 70}, 32},   // past the narrowest: the narrowest
        {99, {0, 0, 60, 50}, 52},   // still narrower than the start
        {100, {0, 0, 100, 30}, 0},  // back to the widest: no wrapping
        {140, {0, 0, 100, 30}, 0},  // wider than any: the widest
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.CursorX);
        RECT r{};
        EXPECT_EQ(right.Track(r, POINT{s.CursorX, 0}), s.RightX);
        EXPECT_TRUE(EqualRect(&r, &s.Expected));
    }
    // The left edge moves the other way and keeps the right edge.
    TBarFloatingResize left(0, sizes, start, 4, POINT{0, 0});
    RECT r{};
    EXPECT_EQ(left.Track(r, POINT{35, 0}), 52);
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.left, 40);
    // Close neighbours shrink the snap distance.
    TBarFloatingResize close(1, {{100, 30}, {95, 50}}, start, 4, POINT{100, 0});
    EXPECT_EQ(close.SnapDistance(), 4);
}

TEST(ToolbarParts, ViewAndChevronNeedAToolbar) {
    TBarRootItem root(nullptr);
    EXPECT_THROW(new TBarToolbarView(&root, nullptr, &root, nullptr, true, false, false), EInvalidCast);
    EXPECT_THROW(new TBarChevronItem(&root), EInvalidCast);
}

TEST_F(ToolbarTest, MenuMessagesFromOutsideCarryNothingToFollow) {
    // The menu keys reach the menu bar by direct calls: the same numbers sent as window
    // messages, with parameters that would be addresses, do nothing.
    TBarCustomToolbar* bar = NewMenuBar();
    const LPARAM bogus = static_cast<LPARAM>(0x12345678);
    for (HWND wnd : {Application->Handle(), Form->Handle(), bar->Handle()}) {
        SendMessageW(wnd, CM_APPSYSCOMMAND, SC_KEYMENU, bogus);
        SendMessageW(wnd, CM_APPKEYDOWN, 'F', bogus);
        SendMessageW(wnd, TBM_POPUPSTATE, tbpsQueryAnimate, bogus);
    }
    PumpMessages();
    EXPECT_FALSE(bar->View()->State() & tbvsModal);
    EXPECT_EQ(bar->View()->Selected(), nullptr);
}
