// The themed toolbar: the right-aligned part, item notifications and their lock, display
// modes, clicks on labels, the popup menu and the compound bars.
#include "controls/toolbar/ui/uitoolbar.h"

#include "controls/toolbar/ui/uibuttons.h"

#include "common/test_support.h"
#include "controls/toolbar/tbinputscript.h"
#include "controls/toolbar/ui/uitestbars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

using namespace ui;
using namespace classlib;
using namespace toolbar;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class UiToolbars : public uitest::UiBarTest {
protected:
    // The screen distance from the item's right edge to the dock's right edge.
    int GapToDockEnd(TUiToolbar* bar, TBarCustomItem* item) {
        const RECT r = Bounds(bar->View(), item);
        const POINT itemRight = bar->ClientToScreen(POINT{r.right, 0});
        const POINT dockRight = Dock->ClientToScreen(POINT{Dock->ClientWidth(), 0});
        return dockRight.x - itemRight.x;
    }
    void SetFormWidth(int width) {
        Form->SetBounds(Form->Left(), Form->Top(), width, Form->Height());
        PumpMessages();
    }
};

// A window that counts the CM_UIPOPUPCLOSE it gets and keeps the last parameters.
struct CloseListener {
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (msg == CM_UIPOPUPCLOSE) {
            auto* l = reinterpret_cast<CloseListener*>(self);
            ++l->Count;
            l->Params = {wp, static_cast<WPARAM>(lp)};
        }
        return DefSubclassProc(wnd, msg, wp, lp);
    }
    int Count = 0;
    std::pair<WPARAM, WPARAM> Params{1, 1};
};

}  // namespace

TEST_F(UiToolbars, SpacerKeepsTheRightPartAtTheDocksEnd) {
    SetFormWidth(600);
    TUiToolbar* bar = NewToolbar();
    AddItem(bar, L"左");
    auto* spacer = AddItem<TUiRightAlignSpacerItem>(bar, L"");
    TUiItem* right = AddItem(bar, L"右端");
    PumpMessages();
    const int gap = GapToDockEnd(bar, right);
    EXPECT_GE(gap, 0);
    EXPECT_LT(gap, 8);
    const int spacerAt600 = spacer->CustomWidth();
    EXPECT_GT(spacerAt600, 300);
    for (int width : {800, 450, 600}) {
        SCOPED_TRACE(width);
        SetFormWidth(width);
        EXPECT_EQ(GapToDockEnd(bar, right), gap);
    }
    EXPECT_EQ(spacer->CustomWidth(), spacerAt600);
    // Too long for the dock: the spacer shrinks to nothing, never below.
    right->SetCustomWidth(2000);
    PumpMessages();
    EXPECT_EQ(spacer->CustomWidth(), 0);
    right->SetCustomWidth(-1);
    PumpMessages();
    EXPECT_EQ(GapToDockEnd(bar, right), gap);
    // Inserting and deleting an item leaves the rest right-aligned.
    auto* extra = new TUiItem(bar);
    extra->SetCaption(L"追加の項目");
    bar->Items()->Insert(0, extra);
    PumpMessages();
    EXPECT_EQ(GapToDockEnd(bar, right), gap);
    delete extra;
    PumpMessages();
    EXPECT_EQ(GapToDockEnd(bar, right), gap);
    EXPECT_EQ(spacer->CustomWidth(), spacerAt600);
}

TEST_F(UiToolbars, ItemLockSilencesNotifications) {
    TUiToolbar* bar = NewToolbar();
    std::vector<TBarItemChangedAction> heard;
    bar->OnItemNotification = [&](TComponent*, TBarCustomItem*, bool, TBarItemChangedAction action, int,
                                  TBarCustomItem*) { heard.push_back(action); };
    bar->BeginItemLock();
    EXPECT_TRUE(bar->IsItemLocked());
    AddItem(bar, L"一");
    EXPECT_TRUE(heard.empty());
    bar->EndItemLock();
    bar->EndItemLock();  // one more than begun
    EXPECT_FALSE(bar->IsItemLocked());
    bar->BeginItemLock();
    EXPECT_TRUE(bar->IsItemLocked()) << "the count did not go below zero";
    bar->EndItemLock();
    AddItem(bar, L"二");
    EXPECT_NE(std::find(heard.begin(), heard.end(), tbicInserted), heard.end());
    EXPECT_FALSE(bar->IsCustomizing());
}

TEST_F(UiToolbars, DisplayModeSetsTheImageOptions) {
    TUiToolbar* bar = NewToolbar();
    constexpr TBarItemOptions both = tboImageAboveCaption | tboSameWidth;
    bar->SetOptions(tboShowHint);
    bar->SetDisplayMode(tbdmImageAboveCaption);
    EXPECT_EQ(bar->Options(), tboShowHint | both);
    bar->SetDisplayMode(tbdmTextOnly);
    EXPECT_EQ(bar->Options(), tboShowHint);
}

TEST_F(UiToolbars, LabelClickRunsOnlyWhenEnabled) {
    // On a bar that cannot be dragged (a status bar's), as the program's labels stand.
    auto* compound = new TUiCompoundBar(Form);
    compound->SetParent(Form);
    TUiToolbar* bar = compound->Toolbar();
    AddItem(bar, L"ボタン");
    TUiLabelItem* label = AddItem<TUiLabelItem>(bar, L"ラベルです");
    int clicks = 0;
    label->SetOnClick([&](TComponent*) { ++clicks; });
    PumpMessages();
    const RECT r = Bounds(bar->View(), label);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    auto press = [&] {
        PostMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(bar->Handle(), WM_LBUTTONUP, 0, at);
        PumpMessages();
    };
    press();
    EXPECT_EQ(clicks, 1);
    label->SetEnabled(false);
    press();
    EXPECT_EQ(clicks, 1);
}

TEST_F(UiToolbars, PopupMenuInitAndClose) {
    TUiPopupMenu menu(Form);
    for (const wchar_t* caption : {L"&Open", L"&Save"}) {
        auto* item = new TUiItem(&menu);
        item->SetCaption(caption);
        menu.Items()->Add(item);
    }
    auto* button = new TCustomControl(Form);
    button->SetBounds(20, 200, 80, 24);
    button->SetParent(Form);
    auto* inner = new TCustomControl(Form);
    inner->SetBounds(2, 2, 10, 10);
    inner->SetParent(button);
    PumpMessages();
    CloseListener outer, child;
    SetWindowSubclass(button->Handle(), CloseListener::Proc, 1, reinterpret_cast<DWORD_PTR>(&outer));
    SetWindowSubclass(inner->Handle(), CloseListener::Proc, 1, reinterpret_cast<DWORD_PTR>(&child));

    TBarView* initView = nullptr;
    menu.OnInitPopup = [&](TComponent*, TBarView* view) { initView = view; };
    InputScript script(Form->Handle());
    script.Key(WM_KEYDOWN, VK_DOWN).Key(WM_KEYDOWN, VK_DOWN).Key(WM_KEYDOWN, VK_RETURN);
    script.Start();
    const POINT below = button->ClientToScreen(POINT{0, button->Height()});
    TBarCustomItem* chosen = menu.PopupEx(below.x, below.y, true, button);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->Caption(), L"&Save");
    EXPECT_NE(initView, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return outer.Count == 1 && child.Count == 1; }));
    // The notice carries no pointer: nothing another process could fake.
    EXPECT_EQ(outer.Params, (std::pair<WPARAM, WPARAM>{0, 0}));
    EXPECT_EQ(child.Params, (std::pair<WPARAM, WPARAM>{0, 0}));
    RemoveWindowSubclass(button->Handle(), CloseListener::Proc, 1);
    RemoveWindowSubclass(inner->Handle(), CloseListener::Proc, 1);
}

// A drop-down button opens a themed popup menu at its bottom-left corner, or above itself
// when the screen has no room below: the menu never covers the button. The program's popup
// menu keeps the button pushed while it is open and lets it go when it has closed.
TEST_F(UiToolbars, DropDownButtonOpensThemedMenusWithoutCoveringItself) {
    struct Case {
        bool UiMenu;
        bool AtScreenBottom;
    };
    const int screenBottom = GetSystemMetrics(SM_CYSCREEN);
    for (const Case c : {Case{true, false}, Case{true, true}, Case{false, false}, Case{false, true}}) {
        SCOPED_TRACE(std::string(c.UiMenu ? "program's menu" : "themed menu") +
                     (c.AtScreenBottom ? " at the screen's bottom" : ""));
        Form->SetTop(c.AtScreenBottom ? screenBottom - Form->Height() : 60);
        std::unique_ptr<themed::TThmPopupMenu> menu;
        if (c.UiMenu)
            menu = std::make_unique<TUiPopupMenu>(Form);
        else
            menu = std::make_unique<themed::TThmPopupMenu>(Form);
        for (const wchar_t* caption : {L"&Open", L"&Save", L"&Close"}) {
            auto* item = new TUiItem(menu.get());
            item->SetCaption(caption);
            menu->Items()->Add(item);
        }
        auto* button = new TUiButton(Form);
        button->SetBounds(40, Form->ClientHeight() - 30, 90, 24);
        button->SetParent(Form);
        button->SetDropDownMenu(menu.get());
        PumpMessages();
        bool activeWhileOpen = false;
        RECT shown{};
        InputScript script(Form->Handle());
        script
            .Run([&] {
                activeWhileOpen = button->DropDownActive();
                EnumThreadWindows(
                    GetCurrentThreadId(),
                    [](HWND w, LPARAM found) -> BOOL {
                        wchar_t name[64] = {};
                        GetClassNameW(w, name, 64);
                        if (!IsWindowVisible(w) || !wcsstr(name, L"PopupWindow")) return TRUE;
                        GetWindowRect(w, reinterpret_cast<RECT*>(found));
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&shown));
            })
            .Key(WM_KEYDOWN, VK_ESCAPE);
        script.Start();
        button->Click();
        PumpMessages();
        const POINT topLeft = button->ClientToScreen(POINT{0, 0});
        const POINT bottomLeft = button->ClientToScreen(POINT{0, button->Height()});
        ASSERT_GT(shown.bottom, shown.top) << "the menu opened";
        EXPECT_EQ(shown.left, bottomLeft.x);
        if (c.AtScreenBottom)
            EXPECT_EQ(shown.bottom, topLeft.y);
        else
            EXPECT_EQ(shown.top, bottomLeft.y);
        EXPECT_TRUE(activeWhileOpen);
        EXPECT_FALSE(button->DropDownActive());
        delete button;
    }
}

TEST_F(UiToolbars, CompoundBarKeepsItsDocksHeight) {
    auto* bar = new TUiCompoundBar(Form);
    bar->SetParent(Form);
    bar->SetAlign(alBottom);
    auto* item = new TUiItem(bar->Toolbar());
    item->SetCaption(L"項目");
    bar->Items()->Add(item);
    PumpMessages();
    EXPECT_EQ(bar->Height(), bar->Dock()->Height());
    item->SetCustomHeight(40);
    PumpMessages();
    EXPECT_GE(bar->Dock()->Height(), 40);
    EXPECT_EQ(bar->Height(), bar->Dock()->Height());
    EXPECT_EQ(bar->Toolbar()->CurrentDock(), bar->Dock());
    EXPECT_TRUE(bar->Toolbar()->Compound());
    EXPECT_EQ(bar->ThemeType(), thtThm);
    // The dock takes no other window.
    auto* stranger = new TUiToolbar(Form);
    bool accept = true;
    bar->Dock()->OnRequestDock(bar->Dock(), stranger, accept);
    EXPECT_FALSE(accept);
}
