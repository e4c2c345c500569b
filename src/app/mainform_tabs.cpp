// The main window's registry-window tabs beyond switching: the lock picture, the right-click
// menu (close, close the others, close all, lock), and tab files saved and opened by the
// user and at exit and start.
#include "app/mainform.h"

#include "app/regedform.h"
#include "app/tabfile.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "uihelpers/filedialogs.h"
#include "views/regtreeview.h"
#include "widgets/vstab.h"

namespace app {

using classlib::TComponent;
using enum TActionId;

namespace {

ui::TUiItem* NewMenuItem(ui::TUiPopupMenu* menu, const std::wstring& name, const wchar_t* caption,
                         classlib::TNotifyEvent onClick) {
    auto* item = new ui::TUiItem(menu);
    item->SetName(name);
    item->SetCaption(caption);
    item->SetOnClick(std::move(onClick));
    menu->Items()->Add(item);
    return item;
}

}  // namespace

ui::TUiPopupMenu* TMainForm::TabMenu() {
    if (FTabMenu) return FTabMenu;
    ui::TUiPopupMenu* menu = FTabMenu = new ui::TUiPopupMenu(this);
    menu->SetImages(FToolBarImages);
    // The menu's Tag holds the index of the tab that was right-clicked.
    const auto window = [this, menu] { return WindowOfTab(static_cast<int>(menu->Tag())); };
    ui::TUiItem* closeTab = NewMenuItem(menu, L"RKCloseTab", L"このタブを閉じる", [window](TComponent*) {
        if (TRegEdForm* w = window(); w && !w->TabLocked()) w->Close();
    });
    closeTab->SetImageIndex(CloseTabImage);
    NewMenuItem(menu, L"RKCloseNoActiveClose", L"このタブ以外を全て閉じる", [this, menu](TComponent*) {
        std::vector<bool> locked;
        for (int i = 0; i < VxVSTab->Tabs().GetCount(); ++i) locked.push_back(WindowOfTab(i)->TabLocked());
        std::vector<TRegEdForm*> doomed;
        for (int i : WindowsToCloseExcept(locked, static_cast<int>(menu->Tag()))) doomed.push_back(WindowOfTab(i));
        for (TRegEdForm* w : doomed) w->Close();
    });
    menu->Items()->Add(new ui::TUiSeparatorItem(menu));
    auto* allClose = new ui::TUiItem(menu);
    allClose->SetAction(FActions->Action(aacAllClose));
    menu->Items()->Add(allClose);
    menu->Items()->Add(new ui::TUiSeparatorItem(menu));
    NewMenuItem(menu, L"RKTabLock", L"タブロック", [window](TComponent*) {
        if (TRegEdForm* w = window()) w->SetTabLock(!w->TabLocked());
    });
    return menu;
}

void TMainForm::CreateTabMenu() {
    VxVSTab->OnGetImageIndex = [this](TComponent*, int index, int& image) {
        if (TRegEdForm* w = WindowOfTab(index)) image = TabImageIndex(w->TabLocked());
    };
    VxVSTab->OnMouseUp = [this](TComponent*, classlib::TMouseButton button, classlib::TShiftState, int, int) {
        if (button != classlib::mbRight) return;
        POINT at{};
        GetCursorPos(&at);
        const int index = VxVSTab->TabAtPoint(VxVSTab->ScreenToClient(at));
        TRegEdForm* window = WindowOfTab(index);
        if (!window) return;
        ui::TUiPopupMenu* menu = TabMenu();
        menu->SetTag(index);
        const TTabMenuState state = TabMenuState(window->TabLocked());
        static_cast<ui::TUiItem*>(menu->FindComponent(L"RKCloseTab"))->SetEnabled(state.CloseEnabled);
        static_cast<ui::TUiItem*>(menu->FindComponent(L"RKTabLock"))->SetChecked(state.LockChecked);
        menu->Popup(at.x, at.y);
    };

    const auto chooseFile = [this](bool open, std::wstring& fileName) {
        return uihelpers::ShowFileDialog(Handle(), TabFileExt, TabFileFilter, L"", L"", fileName, false, false, false,
                                         open, 1);
    };
    FActions->Action(aacSaveTab)->OnExecute = [this, chooseFile](TComponent*) {
        if (std::wstring fileName; chooseFile(false, fileName)) SaveTabs(fileName);
    };
    FActions->Action(aacLoadTab)->OnExecute = [this, chooseFile](TComponent*) {
        if (std::wstring fileName; chooseFile(true, fileName)) LoadTabs(fileName);
    };
}

bool TMainForm::SaveTabs(const std::wstring& fileName) {
    std::vector<TTabFileEntry> tabs;
    for (int i = 0; i < VxVSTab->Tabs().GetCount(); ++i) {
        TRegEdForm* window = WindowOfTab(i);
        if (!window) continue;
        TTabFileEntry& tab = tabs.emplace_back();
        if (const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey())
            tab.Path = key->FFullPath;
        tab.Locked = window->TabLocked();
        tab.Active = i == VxVSTab->ActiveTabIndex();
    }
    SaveTabFile(fileName, tabs);
    return true;
}

void TMainForm::LoadTabs(const std::wstring& fileName) {
    // Every window goes first, locked or not.
    const std::vector<TRegEdForm*> windows = RegistryWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) (*it)->Close();
    const TTabPlan plan = LoadTabFile(fileName);
    std::vector<TRegEdForm*> opened;
    for (const TTabPlan::TWindow& tab : plan.Windows) {
        TRegEdForm* window = OpenWindow(tab.Path);
        window->SetTabLock(tab.Locked);
        opened.push_back(window);
    }
    if (plan.Active >= 0 && plan.Active < static_cast<int>(opened.size())) {
        const int index = VxVSTab->Tabs().IndexOfObject(opened[static_cast<size_t>(plan.Active)]);
        if (index >= 0) VxVSTab->SetActiveTabIndex(index);
    }
}

}  // namespace app
