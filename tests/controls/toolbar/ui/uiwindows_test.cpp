#include "controls/toolbar/ui/uiwindows.h"

#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/tbitem.h"
#include "controls/toolbar/ui/uitheme.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

using namespace ui;
using namespace classlib;
using toolbar::TBarCustomItem;

namespace {

// --- menus ------------------------------------------------------------------------------------

struct MenuHandle {
    explicit MenuHandle(HMENU m) : Menu(m) {}
    ~MenuHandle() { DestroyMenu(Menu); }
    HMENU Menu;
};

TEST(UiMenus, CopyMenuToItems) {
    MenuHandle menu(CreatePopupMenu());
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 900, L"中");
    AppendMenuW(menu.Menu, MF_STRING, 100, L"開く(&O)\tCtrl+O");
    AppendMenuW(menu.Menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.Menu, MF_STRING | MF_GRAYED, 101, L"灰色");
    AppendMenuW(menu.Menu, MF_STRING | MF_DISABLED, 102, L"無効");
    AppendMenuW(menu.Menu, MF_STRING | MF_CHECKED, 103, L"チェック");
    AppendMenuW(menu.Menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"サブ");
    SetMenuDefaultItem(menu.Menu, 100, FALSE);

    toolbar::TBarRootItem root(nullptr);
    root.Add(new TBarCustomItem(&root));  // items already there stay first
    ASSERT_TRUE(CopyMenuToItems(menu.Menu, &root));
    ASSERT_EQ(root.Count(), 7);

    struct Row {
        std::wstring Caption;
        intptr_t Tag;
        bool Separator, Submenu, Enabled, Checked, Default;
    };
    const Row rows[] = {
        {L"開く(&O)\tCtrl+O", 100, false, false, true, false, true},
        {L"", 0, true, false, true, false, false},
        {L"灰色", 101, false, false, false, false, false},
        {L"無効", 102, false, false, false, false, false},
        {L"チェック", 103, false, false, true, true, false},
        {L"サブ", -1, false, true, true, false, false},
    };
    for (int i = 0; i < 6; ++i) {
        const Row& row = rows[i];
        TBarCustomItem* item = root.Items(i + 1);
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(item->Caption(), row.Caption);
        if (row.Tag >= 0) {
            EXPECT_EQ(item->Tag(), row.Tag);
        }
        EXPECT_EQ(dynamic_cast<toolbar::TBarSeparatorItem*>(item) != nullptr, row.Separator);
        EXPECT_EQ((item->ItemStyle() & toolbar::tbstSubmenu) != 0, row.Submenu);
        if (row.Separator) {
            MENUITEMINFOW info{sizeof(info), MIIM_STATE};
            GetMenuItemInfoW(menu.Menu, 1, TRUE, &info);
            EXPECT_EQ(item->Enabled(), !(info.fState & (MFS_DISABLED | MFS_GRAYED)));
        } else {
            EXPECT_EQ(item->Enabled(), row.Enabled);
        }
        EXPECT_EQ(item->Checked(), row.Checked);
        EXPECT_EQ((item->Options() & toolbar::tboDefault) != 0, row.Default);
        EXPECT_EQ(item->Count(), 0);  // a sub-menu's own entries are not copied
        EXPECT_EQ(item->Owner(), &root);
    }

    EXPECT_FALSE(CopyMenuToItems(menu.Menu, nullptr));
    EXPECT_FALSE(CopyMenuToItems(nullptr, &root));
    EXPECT_FALSE(CopyMenuToItems(reinterpret_cast<HMENU>(0x4321), &root));
    EXPECT_EQ(root.Count(), 7);
}

TEST(UiMenus, MenuItemTextIsCutAt260Characters) {
    MenuHandle menu(CreatePopupMenu());
    const std::wstring long300(300, L'あ');
    AppendMenuW(menu.Menu, MF_STRING, 1, long300.c_str());
    AppendMenuW(menu.Menu, MF_STRING, 2, L"短い");
    std::wstring text = L"old";
    GetMenuItemText(menu.Menu, 0, text);
    EXPECT_EQ(text, std::wstring(260, L'あ'));
    GetMenuItemText(menu.Menu, 1, text);
    EXPECT_EQ(text, L"短い");
    GetMenuItemText(menu.Menu, 5, text);
    EXPECT_EQ(text, L"");
}

// The system-menu items by command.
std::map<int, TBarCustomItem*> ByCommand(TBarCustomItem& items) {
    std::map<int, TBarCustomItem*> map;
    for (int i = 0; i < items.Count(); ++i) map[static_cast<int>(items.Items(i)->Tag())] = items.Items(i);
    return map;
}

TEST(UiSystemMenu, ItemsFollowTheFormsState) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    {
        toolbar::TBarRootItem items(nullptr);
        ASSERT_TRUE(FillSystemMenuItems(&form, true, true, &items, true, true));
        EXPECT_EQ(items.SubMenuImages(), &UiGlyphImages());
        auto m = ByCommand(items);
        for (int command : {SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE, SC_RESTORE})
            ASSERT_TRUE(m.count(command)) << std::hex << command;
        EXPECT_TRUE(m[SC_SIZE]->Visible() && m[SC_SIZE]->Enabled());
        EXPECT_TRUE(m[SC_MOVE]->Enabled());
        EXPECT_TRUE(m[SC_MAXIMIZE]->Enabled());
        EXPECT_FALSE(m[SC_RESTORE]->Enabled());  // already normal
        EXPECT_TRUE(m[SC_RESTORE]->Visible());
        EXPECT_EQ(m[SC_CLOSE]->ImageIndex(), ugClose);
        EXPECT_EQ(m[SC_MAXIMIZE]->ImageIndex(), ugMaximize);
        EXPECT_EQ(m[SC_MINIMIZE]->ImageIndex(), ugMinimize);
        EXPECT_EQ(m[SC_RESTORE]->ImageIndex(), ugRestore);
        EXPECT_TRUE(m[SC_CLOSE]->Options() & toolbar::tboDefault);
    }
    {
        // Hidden commands; what the system menu had disabled is enabled again.
        EnableMenuItem(GetSystemMenu(form.Handle(), FALSE), SC_MOVE, MF_BYCOMMAND | MF_GRAYED);
        toolbar::TBarRootItem items(nullptr);
        ASSERT_TRUE(FillSystemMenuItems(&form, false, false, &items, false, false));
        auto m = ByCommand(items);
        EXPECT_FALSE(m[SC_SIZE]->Visible());
        EXPECT_FALSE(m[SC_MINIMIZE]->Visible());
        EXPECT_FALSE(m[SC_MAXIMIZE]->Visible());
        EXPECT_FALSE(m[SC_RESTORE]->Visible());
        EXPECT_FALSE(m[SC_CLOSE]->Visible());
        EXPECT_TRUE(m[SC_MOVE]->Visible());
        EXPECT_TRUE(m[SC_MOVE]->Enabled());
    }
    form.SetWindowState(wsMaximized);
    ASSERT_EQ(form.WindowState(), wsMaximized);
    {
        toolbar::TBarRootItem items(nullptr);
        ASSERT_TRUE(FillSystemMenuItems(&form, true, true, &items, true, true));
        auto m = ByCommand(items);
        EXPECT_FALSE(m[SC_SIZE]->Enabled());
        EXPECT_FALSE(m[SC_MOVE]->Enabled());
        EXPECT_FALSE(m[SC_MAXIMIZE]->Enabled());
        EXPECT_TRUE(m[SC_RESTORE]->Enabled());
        EXPECT_TRUE(m[SC_MINIMIZE]->Enabled());
    }
    toolbar::TBarRootItem items(nullptr);
    EXPECT_FALSE(FillSystemMenuItems(nullptr, true, true, &items, true, true));
    EXPECT_FALSE(FillSystemMenuItems(&form, true, true, nullptr, true, true));
    TForm windowless(nullptr);
    EXPECT_FALSE(FillSystemMenuItems(&windowless, true, true, &items, true, true));
}

TEST(UiSystemMenu, PopupAnswersAndCarriesOutTheChosenCommand) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    const int components = form.ComponentCount();

    // A popup that picks the item with a given tag.
    auto choose = [&](intptr_t tag, POINT* seenPoint = nullptr, bool* sawEvent = nullptr) -> TUiMenuPopupRunner {
        return [=, &form](TForm* owner, TBarCustomItem& items, POINT point, const TUiPopupEvent& onInit) {
            EXPECT_EQ(owner, &form);
            EXPECT_EQ(items.Owner(), &form);  // owned by the form while it shows
            if (seenPoint) *seenPoint = point;
            if (sawEvent) *sawEvent = static_cast<bool>(onInit);
            for (int i = 0; i < items.Count(); ++i)
                if (items.Items(i)->Tag() == tag) return items.Items(i);
            return static_cast<TBarCustomItem*>(nullptr);
        };
    };

    SetCapture(form.Handle());
    POINT seen{};
    bool sawEvent = false;
    TUiPopupEvent onInit = [](TComponent*, toolbar::TBarView*) {};
    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{70, 80}, true, false, onInit, true, true, true,
                                  choose(SC_MAXIMIZE, &seen, &sawEvent)),
              SC_MAXIMIZE);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(seen.x, 70);
    EXPECT_EQ(seen.y, 80);
    EXPECT_TRUE(sawEvent);
    EXPECT_EQ(form.WindowState(), wsNormal);  // answered, not carried out
    EXPECT_EQ(form.ComponentCount(), components);  // the popup's items are gone

    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{}, true, true, nullptr, true, true, true, choose(SC_MAXIMIZE)),
              SC_MAXIMIZE);
    EXPECT_EQ(form.WindowState(), wsMaximized);
    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{}, true, true, nullptr, true, true, true, choose(SC_RESTORE)),
              SC_RESTORE);
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{}, true, true, nullptr, true, true, true, choose(SC_MINIMIZE)),
              SC_MINIMIZE);
    EXPECT_EQ(form.WindowState(), wsMinimized);
    form.SetWindowState(wsNormal);

    // Nothing chosen.
    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{}, true, true, nullptr, true, true, true, choose(-1)), 0);
    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{}, true, true, nullptr, true, true, true, nullptr), 0);
    EXPECT_EQ(form.WindowState(), wsNormal);

    // An item that is no system command is clicked instead.
    int clicks = 0;
    TUiMenuPopupRunner own = [&](TForm*, TBarCustomItem& items, POINT, const TUiPopupEvent&) {
        auto* item = new TBarCustomItem(&items);
        item->SetTag(7);
        item->SetOnClick([&](TComponent*) { ++clicks; });
        items.Add(item);
        return item;
    };
    EXPECT_EQ(ShowSystemMenuPopup(&form, POINT{}, true, true, nullptr, true, true, true, own), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.ComponentCount(), components);
    EXPECT_EQ(ShowSystemMenuPopup(nullptr, POINT{}, true, true, nullptr, true, true, true, own), 0);
}

// --- focus --------------------------------------------------------------------------------------

class Panel : public TWinControl {
public:
    using TWinControl::TWinControl;
};

// A form with two panels, each with two children that take the focus.
struct FocusForm {
    FocusForm() : Form(nullptr) {
        Form.SetBounds(60, 60, 320, 240);
        for (int p = 0; p < 2; ++p) {
            Panels[p] = new Panel(&Form);
            Panels[p]->SetParent(&Form);
            Panels[p]->SetBounds(10 + p * 150, 10, 140, 200);
            for (int c = 0; c < 2; ++c) {
                Children[p][c] = new TWinControl(&Form);
                Children[p][c]->SetParent(Panels[p]);
                Children[p][c]->SetBounds(5, 5 + c * 40, 100, 30);
                Children[p][c]->SetTabStop(true);
            }
        }
    }
    TForm Form;
    Panel* Panels[2];
    TWinControl* Children[2][2];
};

TEST(UiFocus, CanFocusControl) {
    FocusForm f;
    TWinControl* edit = f.Children[0][1];
    EXPECT_FALSE(CanFocusControl(nullptr));
    EXPECT_FALSE(CanFocusControl(edit));  // the form is not shown
    f.Form.Show();
    EXPECT_TRUE(CanFocusControl(edit));
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());
    EXPECT_FALSE(CanFocusControl(edit));  // it has the focus already
    f.Children[1][0]->SetEnabled(false);
    EXPECT_FALSE(CanFocusControl(f.Children[1][0]));
    f.Panels[1]->SetVisible(false);
    EXPECT_FALSE(CanFocusControl(f.Children[1][1]));
    f.Form.SetEnabled(false);
    EXPECT_FALSE(CanFocusControl(f.Children[0][0]));
}

TEST(UiFocus, FindAndMoveTheFocusWithinAControl) {
    FocusForm f;
    TWinControl* focused = reinterpret_cast<TWinControl*>(1);
    EXPECT_FALSE(FindFocusedChild(f.Panels[0], focused));
    EXPECT_EQ(focused, nullptr);
    EXPECT_EQ(FocusFirstChild(f.Panels[1]), nullptr);  // the form is not shown
    f.Form.Show();

    EXPECT_EQ(FocusFirstChild(f.Panels[1]), f.Children[1][0]);
    EXPECT_TRUE(f.Children[1][0]->Focused());
    EXPECT_TRUE(FindFocusedChild(f.Panels[1], focused));
    EXPECT_EQ(focused, f.Children[1][0]);
    EXPECT_FALSE(FindFocusedChild(f.Panels[0], focused));
    EXPECT_EQ(focused, nullptr);
    // The focused control itself.
    EXPECT_TRUE(FindFocusedChild(f.Children[1][0], focused));
    EXPECT_EQ(focused, nullptr);

    // Without tab stops the first child that can take the focus.
    f.Children[0][0]->SetTabStop(false);
    f.Children[0][1]->SetTabStop(false);
    EXPECT_EQ(FocusFirstChild(f.Panels[0]), f.Children[0][0]);
    f.Children[0][1]->SetTabStop(true);
    EXPECT_EQ(FocusFirstChild(f.Panels[0]), f.Children[0][1]);
}

TEST(UiFocus, ChildIndexAndParentOfClass) {
    FocusForm f;
    EXPECT_EQ(IndexOfChildControl(f.Panels[1], f.Children[1][1]), 1);
    EXPECT_EQ(IndexOfChildControl(f.Panels[1], f.Children[0][1]), -1);
    EXPECT_EQ(IndexOfChildControl(&f.Form, f.Panels[1]), 1);
    EXPECT_EQ(IndexOfChildControl(nullptr, f.Panels[1]), -1);
    EXPECT_EQ(FindParentOfClass<Panel>(f.Children[1][0]), f.Panels[1]);
    EXPECT_EQ(FindParentOfClass<TForm>(f.Children[1][0]), &f.Form);
    EXPECT_EQ(FindParentOfClass<Panel>(f.Panels[0]), nullptr);  // not the control itself
    EXPECT_EQ(FindParentOfClass<TForm>(nullptr), nullptr);
}

// --- placement --------------------------------------------------------------------------------

TEST(UiPlacement, RoundTripAndState) {
    TForm form(nullptr);
    RECT bounds{1, 2, 3, 4};
    EXPECT_EQ(GetFormPlacement(&form, bounds), fpNormal);  // no window yet
    EXPECT_TRUE(IsRectEmpty(&bounds));
    EXPECT_EQ(GetFormPlacement(nullptr, bounds), fpNormal);
    SetFormPlacement(&form, fpMaximized, RECT{10, 10, 200, 100});
    EXPECT_FALSE(form.HandleAllocated());

    form.SetBounds(40, 40, 250, 150);
    form.Show();
    // A left beyond the width is a real position: the bounds are left, top, width, height.
    SetFormPlacement(&form, fpNormal, RECT{500, 120, 300, 200});
    EXPECT_EQ(GetFormPlacement(&form, bounds), fpNormal);
    EXPECT_EQ(bounds.left, 500);
    EXPECT_EQ(bounds.top, 120);
    EXPECT_EQ(bounds.right, 300);
    EXPECT_EQ(bounds.bottom, 200);

    // An empty rectangle changes only the state.
    SetFormPlacement(&form, fpMaximized, RECT{});
    EXPECT_EQ(form.WindowState(), wsMaximized);
    EXPECT_EQ(GetFormPlacement(&form, bounds), fpMaximized);
    EXPECT_EQ(bounds.left, 500);
    EXPECT_EQ(bounds.right, 300);
    SetFormPlacement(&form, fpMinimized, RECT{0, 0, 0, 50});
    EXPECT_EQ(GetFormPlacement(&form, bounds), fpMinimized);
    EXPECT_EQ(bounds.bottom, 200);
    SetFormPlacement(&form, fpNormal, RECT{});
    EXPECT_EQ(form.WindowState(), wsNormal);
}

TEST(UiPlacement, TaskbarAnswersWholeOrNothing) {
    UINT state = 99, edge = 99;
    RECT bounds{1, 1, 2, 2};
    if (GetTaskbarInfo(state, edge, bounds)) {
        EXPECT_LE(edge, static_cast<UINT>(ABE_BOTTOM));
        EXPECT_EQ(state & ~static_cast<UINT>(ABS_AUTOHIDE | ABS_ALWAYSONTOP), 0u);
    } else {
        EXPECT_EQ(state, 0u);
        EXPECT_EQ(edge, 0u);
        EXPECT_TRUE(IsRectEmpty(&bounds));
    }
}

}  // namespace
