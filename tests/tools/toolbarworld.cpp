#include "tools/toolbarworld.h"

#include "common/test_support.h"

namespace tooltest {

namespace {

ui::TUiToolbar* NewBar(classlib::TForm* form, ui::TUiDock* dock, const wchar_t* name, const wchar_t* caption) {
    auto* bar = new ui::TUiToolbar(form);
    bar->SetName(name);
    bar->SetCaption(caption);
    bar->SetCurrentDock(dock);
    return bar;
}

}  // namespace

ToolbarWorld::ToolbarWorld() : References(L"MainForm", {}) {
    Form = new classlib::TForm(nullptr);
    Form->SetName(L"MainForm");
    Form->SetPosition(classlib::poDesigned);
    Form->SetBounds(40, 40, 700, 400);
    Dock = new ui::TUiDock(Form);
    Dock->SetName(L"MainDock");
    Dock->SetParent(Form);
    Images = new classlib::TImageList(Form);
    Popup = new ui::TUiPopupMenu(Form);
    Actions = new classlib::TActionList(Form);
    Actions->SetName(L"ActionList");
    const struct {
        const wchar_t* Name;
        const wchar_t* Category;
        const wchar_t* Caption;
    } commands[] = {{L"aacOne", L"ファイル", L"一つ目"},
                    {L"aacTwo", L"ファイル", L"二つ目"},
                    {L"aacThree", L"編集", L"三つ目"},
                    {L"aacFour", L"編集", L"四つ目"},
                    {L"aacHidden", L"", L"aacHidden"}};
    int image = 0;
    for (const auto& c : commands) {
        auto* action = new classlib::TAction(Actions);
        action->SetName(c.Name);
        action->Category = c.Category;
        action->SetCaption(c.Caption);
        action->SetImageIndex(image++);
        action->OnExecute = [](classlib::TComponent*) {};
        (*c.Category ? Commands.emplace_back(action) : Uncategorised) = action;
    }
    MenuHide = NewBar(Form, Dock, L"ToolMenuHide", L"メニューバー");
    MenuHide->SetVisible(false);
    Favorites = new ui::TUiSubmenuItem(Form);
    Favorites->SetName(L"MenuFavorite");
    Favorites->SetCaption(L"お気に入り(&O)");
    for (const wchar_t* caption : {L"お気に入り1", L"お気に入り2"}) {
        auto* item = new ui::TUiItem(Form);
        item->SetCaption(caption);
        Favorites->Add(item);
    }
    MenuHide->Items()->Add(Favorites);
    Menu = NewBar(Form, Dock, L"ToolMenu", L"メインメニュー");
    auto* top = new ui::TUiSubmenuItem(Form);
    top->SetCaption(Favorites->Caption());
    top->SetLinkSubitems(Favorites);
    Menu->Items()->Add(top);
    Main = NewBar(Form, Dock, L"MainToolBar", L"メインツールバー");
    Main->SetDockRow(1);
    for (classlib::TAction* action : Commands) {
        auto* item = new ui::TUiItem(Form);
        item->SetAction(action);
        Main->Items()->Add(item);
    }
    AddressBox = new ui::TUiComboBox(Form);
    AddressBox->SetName(L"AddressBox");
    AddressBox->SetParent(Form);
    References = tools::TToolbarReferences(L"MainForm", {Form, Actions});
    Form->Show();
    testsupport::PumpMessages();
}

ToolbarWorld::~ToolbarWorld() {
    delete Form;
    testsupport::PumpMessages();
}

ui::TUiToolbar* ToolbarWorld::UserToolbar(const std::wstring& name, const std::wstring& caption,
                                          const std::vector<std::wstring>& items) {
    ui::TUiToolbar* bar = tools::NewUserToolbar(Place(), name, caption);
    for (const std::wstring& entry : items) {
        toolbar::TBarCustomItem* item = nullptr;
        if (entry == L"-") {
            item = new ui::TUiSeparatorItem(bar);
        } else if (entry.starts_with(L"sub:")) {
            auto* submenu = new ui::TUiSubmenuItem(bar);
            submenu->SetCaption(Favorites->Caption());
            submenu->SetLinkSubitems(dynamic_cast<toolbar::TBarCustomItem*>(Form->FindComponent(entry.substr(4))));
            item = submenu;
        } else {
            item = new ui::TUiItem(bar);
            item->SetAction(dynamic_cast<classlib::TBasicAction*>(Actions->FindComponent(entry)));
        }
        bar->Items()->Add(item);
    }
    return bar;
}

std::vector<std::wstring> Describe(const ui::TUiToolbar& toolbar) {
    std::vector<std::wstring> items;
    const toolbar::TBarCustomItem& root = *toolbar.Items();
    for (int i = 0; i < root.Count(); ++i) {
        toolbar::TBarCustomItem* item = root.Items(i);
        if (dynamic_cast<ui::TUiSeparatorItem*>(item))
            items.push_back(L"-");
        else if (item->Action())
            items.push_back(item->Action()->Name());
        else if (item->LinkSubitems())
            items.push_back(L"sub:" + item->LinkSubitems()->Name());
        else
            items.push_back(L"item:" + item->Caption());
    }
    return items;
}

}  // namespace tooltest
