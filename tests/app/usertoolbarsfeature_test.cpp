// The user toolbars as a feature of the main window, with a stand-in for the window: what it
// restores when it is made, what it has to tell, and its command.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/mainactions.h"
#include "app/usertoolbarsfeature.h"
#include "classlib/compstream.h"
#include "classlib/form.h"
#include "classlib/streams.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "settings/inifile.h"

#include <memory>
#include <string>
#include <vector>

using namespace app;

namespace {

// The window's part: a dock, the hidden holder of the submenus with "MenuFile", the two fixed
// bars and the bars' context menu.
class FakeWindow final : public TUserToolbarsHost {
public:
    FakeWindow() {
        Form->SetBounds(10, 10, 600, 400);
        Dock->SetParent(Form.get());
        for (ui::TUiToolbar* bar : {MenuHide, Menu, Main}) bar->SetCurrentDock(Dock);
        MenuHide->SetName(L"ToolMenuHide");
        Menu->SetName(L"ToolMenu");
        Main->SetName(L"MainToolBar");
        File->SetName(L"MenuFile");
        File->SetCaption(L"ファイル(&F)");
        MenuHide->Items()->Add(File);
        Form->Show();
    }
    ui::TUiToolbar* MenuBarHolder() override { return MenuHide; }
    std::vector<ui::TUiToolbar*> FixedToolbars() override { return {Main, Menu}; }
    toolbar::TBarDock* NewToolbarDock() override { return Dock; }
    classlib::TPopupMenu* ToolbarPopupMenu() override { return Popup; }
    std::vector<ui::TUiSubmenuItem*> OfferedSubmenus() override { return {File}; }

    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TMainActionList* Actions = new TMainActionList(Form.get());
    ui::TUiDock* Dock = new ui::TUiDock(Form.get());
    ui::TUiToolbar* MenuHide = new ui::TUiToolbar(Form.get());
    ui::TUiToolbar* Menu = new ui::TUiToolbar(Form.get());
    ui::TUiToolbar* Main = new ui::TUiToolbar(Form.get());
    ui::TUiSubmenuItem* File = new ui::TUiSubmenuItem(Form.get());
    ui::TUiPopupMenu* Popup = new ui::TUiPopupMenu(Form.get());
    TFeatureContext Context{*Form, *Actions};
};

void WriteToolbar(const std::wstring& fileName, const std::wstring& name, std::vector<std::wstring> references) {
    classlib::TStreamComponent bar;
    bar.ClassName = L"TUiToolbar";
    bar.Name = name;
    for (const std::wstring& reference : references) {
        classlib::TStreamComponent item;
        const bool submenu = reference.find(L"Menu") != std::wstring::npos;
        item.ClassName = submenu ? L"TUiSubmenuItem" : L"TUiItem";
        item.Properties = {{submenu ? L"LinkSubitems" : L"Action", classlib::TStreamValue::Ident(reference)}};
        bar.Children.push_back(item);
    }
    const std::vector<std::uint8_t> bytes = classlib::WriteComponentStream(bar);
    classlib::SaveBytesToFileAtomic(fileName, bytes.data(), bytes.size());
}

}  // namespace

TEST(UserToolbarsFeature, RestoresTheFolderAndTellsWhatDidNotLoad) {
    FakeWindow window;
    testsupport::ScratchDir dir;
    // A user toolbar with a command of the action list and a submenu of the window, a main
    // menu file cut short, and a section for the hidden holder.
    WriteToolbar(dir.File(L"ToolBar1"), L"ToolBar1", {L"MainForm.aacNewWindow", L"MainForm.MenuFile"});
    WriteToolbar(dir.File(L"ToolMenuHide"), L"ToolMenuHide", {});
    {
        settings::TVxMemIniFile index(dir.File(L"NewToolBar.db"));
        for (const wchar_t* name : {L"ToolBar1", L"ToolMenu", L"ToolMenuHide"}) index.WriteString(name, L"Caption", name);
        index.UpdateFile();
    }
    classlib::SaveBytesToFileAtomic(dir.File(L"ToolMenu"), "TPF0\x0A", 5);

    auto feature = std::make_unique<TUserToolbarsFeature>(window.Context, window, dir.Path().wstring());
    auto* bar = dynamic_cast<ui::TUiToolbar*>(window.Form->FindComponent(L"ToolBar1"));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->Items()->Count(), 2);
    EXPECT_EQ(bar->Items()->Items(0)->Action(), window.Actions->Action(TActionId::aacNewWindow));
    EXPECT_EQ(bar->Items()->Items(1)->LinkSubitems(), window.File);
    EXPECT_EQ(bar->CurrentDock(), window.Dock);
    EXPECT_EQ(bar->PopupMenu(), window.Popup);
    EXPECT_EQ(window.MenuHide->Items()->Count(), 1) << "the holder of the submenus is never loaded into";

    const std::wstring notice = feature->LoadNotice();
    EXPECT_NE(notice.find(L"ToolMenu\""), std::wstring::npos) << testsupport::Narrow(notice);
    EXPECT_NE(notice.find(L"ToolMenuHide"), std::wstring::npos) << testsupport::Narrow(notice);

    // The command is the feature's while it lives.
    EXPECT_TRUE(window.Actions->Action(TActionId::aacCustomToolbar)->OnExecute);
    feature.reset();
    EXPECT_FALSE(window.Actions->Action(TActionId::aacCustomToolbar)->OnExecute);
}

TEST(UserToolbarsFeature, AFolderThatLoadsWholeHasNothingToTell) {
    FakeWindow window;
    testsupport::ScratchDir dir;
    TUserToolbarsFeature missing(window.Context, window, (dir.Path() / L"無い").wstring());
    EXPECT_EQ(missing.LoadNotice(), L"");
}
