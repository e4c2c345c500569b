// The customisation dialog over a stand-in main window: what it lists, the toolbar buttons'
// refusals and names, the command moves that keep toolbar and rows in step, and the save
// when it is left.
#include "tools/uicustomize.h"

#include "classlib/application.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uitabset.h"
#include "controls/wide/widelistview.h"
#include "controls/wide/widetreeview.h"
#include "settings/inifile.h"
#include "tools/toolbarworld.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace tools;
using tooltest::Describe;
using tooltest::ToolbarWorld;

namespace {

namespace fs = std::filesystem;

class FakeHost : public IUiCustomizeHost {
public:
    explicit FakeHost(const TToolbarReferences& references) : FReferences(references) {}
    std::vector<std::wstring> Messages, Errors;
    // The answers of the input box in turn (none: Cancel); the defaults it was given.
    std::deque<std::optional<std::wstring>> Answers;
    std::vector<std::wstring> Defaults;
    std::deque<SYSTEMTIME> Times;
    testsupport::ScratchDir Dir;
    std::wstring Folder = (Dir.Path() / L"CustomToolBar").wstring();

    void ShowMessage(const std::wstring& text) override { Messages.push_back(text); }
    void ShowError(const std::wstring& text) override { Errors.push_back(text); }
    bool InputQuery(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) override {
        EXPECT_EQ(caption, kCaptionQueryTitle);
        EXPECT_EQ(prompt, kCaptionQueryPrompt);
        Defaults.push_back(value);
        if (Answers.empty()) ADD_FAILURE() << "an unexpected input box";
        std::optional<std::wstring> answer = Answers.empty() ? std::nullopt : Answers.front();
        if (!Answers.empty()) Answers.pop_front();
        if (answer) value = *answer;
        return answer.has_value();
    }
    SYSTEMTIME LocalTime() override {
        SYSTEMTIME now{2024, 5, 0, 6, 7, 8, 9, 10};
        if (!Times.empty()) {
            now = Times.front();
            Times.pop_front();
        }
        return now;
    }
    std::wstring ToolbarFolder() override { return Folder; }
    const TToolbarReferences& References() override { return FReferences; }

private:
    const TToolbarReferences& FReferences;
};

class CustomizeDialog : public ::testing::Test {
protected:
    ToolbarWorld World;
    FakeHost Host{World.References};
    std::unique_ptr<TVxUiCustomizeForm> Dialog;

    // Prepared as the main window prepares it, shown on the commands' tab.
    void Open() {
        Dialog = std::make_unique<TVxUiCustomizeForm>(nullptr, Host);
        Dialog->AddHiddenCategory(L"");
        Dialog->AddExcludedToolbar(World.MenuHide);
        Dialog->AddFixedToolbar(World.Main);
        Dialog->AddFixedToolbar(World.Menu);
        Dialog->Setup(World.Form, World.Images, World.Actions, 7, World.Dock, World.Popup);
        Dialog->AddSubmenu(World.Favorites);
        Dialog->Show();
        Dialog->UiTabControl1->SetActiveTabIndex(1);
        testsupport::PumpMessages();
    }
    void TearDown() override {
        Dialog.reset();
        testsupport::PumpMessages();
    }
    std::vector<std::wstring> ListedToolbars() {
        std::vector<std::wstring> rows;
        for (int i = 0; i < Dialog->ToolBarList->Items().Count(); ++i)
            rows.push_back(Dialog->ToolBarList->Items().Get(i));
        return rows;
    }
    void SelectToolbar(const std::wstring& caption) {
        const int row = Dialog->ToolBarList->Items().IndexOf(caption);
        ASSERT_GE(row, 0);
        Dialog->ToolBarList->SetItemIndex(row);
        Dialog->ToolBarCommandComBox->SetItemIndex(row);
        Dialog->ToolBarCommandComBoxChange();
    }
    wide::TWideTreeNode* Node(const std::wstring& text) {
        for (int i = 0; i < Dialog->AllCommandTree->Items().Count(); ++i)
            if (Dialog->AllCommandTree->Items().Item(i)->Text() == text) return Dialog->AllCommandTree->Items().Item(i);
        ADD_FAILURE() << "no node " << testsupport::Narrow(text);
        return nullptr;
    }
    void SelectRow(int index) { Dialog->CurrentCommandList->SetSelected(Dialog->CurrentCommandList->Items().Item(index)); }
    int SelectedRow() {
        wide::TWideListItem* row = Dialog->CurrentCommandList->Selected();
        return row ? row->Index() : -1;
    }
    // The centre of a row of the command list, in its client coordinates.
    POINT RowPoint(int index) {
        RECT r{LVIR_BOUNDS};
        ListView_GetItemRect(Dialog->CurrentCommandList->Handle(), index, &r, LVIR_BOUNDS);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // The rows stand for the toolbar's items in order, and show them.
    void ExpectRowsInStep() {
        ui::TUiToolbar* bar = Dialog->CurrentToolbar();
        wide::TWideListItems& rows = Dialog->CurrentCommandList->Items();
        ASSERT_EQ(rows.Count(), bar->Items()->Count());
        for (int i = 0; i < rows.Count(); ++i) {
            toolbar::TBarCustomItem* item = bar->Items()->Items(i);
            EXPECT_EQ(rows.Item(i)->Data(), item) << i;
            EXPECT_EQ(rows.Item(i)->Caption(),
                      dynamic_cast<ui::TUiSeparatorItem*>(item) ? std::wstring(kSeparatorRow) : item->Caption())
                << i;
        }
    }
};

}  // namespace

TEST_F(CustomizeDialog, ListsTheEditableToolbarsAndTheOfferedCommands) {
    World.Main->SetVisible(false);
    Open();
    // The hidden menu-bar toolbar is not listed; a check shows the toolbar is visible.
    EXPECT_EQ(ListedToolbars(), (std::vector<std::wstring>{L"メインメニュー", L"メインツールバー"}));
    EXPECT_TRUE(Dialog->ToolBarList->Checked(0));
    EXPECT_FALSE(Dialog->ToolBarList->Checked(1));
    EXPECT_EQ(Dialog->ToolBarCommandComBox->Items().Count(), 2);
    EXPECT_EQ(Dialog->CurrentToolbar(), World.Menu);

    // Categories in the order they first occur, the submenus last; the commands without a
    // category never appear.
    std::vector<std::wstring> tree;
    for (int i = 0; i < Dialog->AllCommandTree->Items().Count(); ++i) {
        const wide::TWideTreeNode* node = Dialog->AllCommandTree->Items().Item(i);
        tree.push_back(std::wstring(node->Level(), L' ') + node->Text());
    }
    EXPECT_EQ(tree, (std::vector<std::wstring>{L"ファイル", L" 一つ目", L" 二つ目", L"編集", L" 三つ目", L" 四つ目",
                                               L"サブメニュー", L" お気に入り(&O)"}));
    EXPECT_EQ(Node(L"ファイル")->ImageIndex(), 7);
    EXPECT_EQ(Node(L"四つ目")->ImageIndex(), 3);

    // Unchecking a row hides its toolbar; checking shows it again.
    Dialog->ToolBarList->SetChecked(0, false);
    Dialog->ToolBarListClickCheck();
    EXPECT_FALSE(World.Menu->Visible());
    Dialog->ToolBarList->SetChecked(1, true);
    Dialog->ToolBarListClickCheck();
    EXPECT_TRUE(World.Main->Visible());
}

TEST_F(CustomizeDialog, FixedToolbarsRefuseRenameAndDeleteWhileUserToolbarsTakeBoth) {
    Open();
    for (const wchar_t* caption : {L"メインツールバー", L"メインメニュー"}) {
        SelectToolbar(caption);
        Dialog->ButtonRenameClick();
        Dialog->ButtonDeleteClick();
    }
    EXPECT_EQ(Host.Messages, (std::vector<std::wstring>{kRenameFixedRefused, kDeleteFixedRefused, kRenameFixedRefused,
                                                        kDeleteFixedRefused}));
    EXPECT_TRUE(Host.Defaults.empty());
    EXPECT_EQ(ListedToolbars(), (std::vector<std::wstring>{L"メインメニュー", L"メインツールバー"}));

    // Two new toolbars at moments whose names read alike get names of their own; Cancel and
    // an empty answer make nothing.
    Host.Times = {SYSTEMTIME{2024, 1, 0, 12, 3, 4, 5, 6}, SYSTEMTIME{2024, 11, 0, 2, 3, 4, 5, 6}};
    Host.Answers = {L"一月のバー", L"十一月のバー", std::nullopt, L""};
    for (int i = 0; i < 4; ++i) Dialog->ButtonNewClick();
    EXPECT_EQ(ListedToolbars(),
              (std::vector<std::wstring>{L"メインメニュー", L"メインツールバー", L"一月のバー", L"十一月のバー"}));
    auto* january = dynamic_cast<ui::TUiToolbar*>(World.Form->FindComponent(L"ToolBar20241123456"));
    auto* november = dynamic_cast<ui::TUiToolbar*>(World.Form->FindComponent(L"ToolBar20241123456_2"));
    ASSERT_NE(january, nullptr);
    ASSERT_NE(november, nullptr);
    EXPECT_EQ(january->Caption(), L"一月のバー");
    EXPECT_EQ(january->CurrentDock(), World.Dock);
    EXPECT_EQ(january->PopupMenu(), World.Popup);

    // A user toolbar is renamed (its component name stays) and deleted without a question.
    SelectToolbar(L"一月のバー");
    Host.Answers = {L"改名したバー"};
    Dialog->ButtonRenameClick();
    EXPECT_EQ(Host.Defaults.back(), L"一月のバー");
    EXPECT_EQ(january->Caption(), L"改名したバー");
    EXPECT_EQ(january->Name(), L"ToolBar20241123456");
    SelectToolbar(L"十一月のバー");
    Dialog->ButtonDeleteClick();
    EXPECT_EQ(World.Form->FindComponent(L"ToolBar20241123456_2"), nullptr);
    EXPECT_EQ(ListedToolbars(), (std::vector<std::wstring>{L"メインメニュー", L"メインツールバー", L"改名したバー"}));
    EXPECT_EQ(Host.Messages.size(), 4u);
}

TEST_F(CustomizeDialog, CommandMovesKeepToolbarAndRowsInStep) {
    ui::TUiToolbar* bar = World.UserToolbar(L"ToolBar1", L"作業", {L"aacOne", L"aacTwo", L"aacThree", L"aacFour"});
    Open();
    SelectToolbar(L"作業");
    ASSERT_EQ(Dialog->CurrentToolbar(), bar);
    ExpectRowsInStep();

    // The first of four dragged onto the last.
    SelectRow(0);
    const POINT last = RowPoint(3);
    EXPECT_TRUE(Dialog->CurrentCommandListDragOver(Dialog->CurrentCommandList));
    Dialog->CurrentCommandListDragDrop(Dialog->CurrentCommandList, last.x, last.y);
    EXPECT_EQ(Describe(*bar), (std::vector<std::wstring>{L"aacTwo", L"aacThree", L"aacFour", L"aacOne"}));
    ExpectRowsInStep();
    EXPECT_EQ(SelectedRow(), 3);

    // "上へ" and "下へ" move the selected row by one and keep it selected; at the ends they
    // are off.
    Dialog->ApplicationEventsIdle();
    EXPECT_FALSE(Dialog->DownButton->Enabled());
    Dialog->UpButtonClick();
    EXPECT_EQ(Describe(*bar), (std::vector<std::wstring>{L"aacTwo", L"aacThree", L"aacOne", L"aacFour"}));
    EXPECT_EQ(SelectedRow(), 2);
    Dialog->DownButtonClick();
    EXPECT_EQ(Describe(*bar), (std::vector<std::wstring>{L"aacTwo", L"aacThree", L"aacFour", L"aacOne"}));
    SelectRow(0);
    Dialog->ApplicationEventsIdle();
    EXPECT_FALSE(Dialog->UpButton->Enabled());
    EXPECT_TRUE(Dialog->DownButton->Enabled());
    ExpectRowsInStep();

    // A separator and a command go in at the selected row; a submenu from the tree dropped
    // on a row goes in there and shows the submenu's items.
    SelectRow(1);
    Dialog->ButtonSepClick();
    EXPECT_EQ(Describe(*bar), (std::vector<std::wstring>{L"aacTwo", L"-", L"aacThree", L"aacFour", L"aacOne"}));
    Dialog->AllCommandTree->SetSelected(Node(L"一つ目"));
    Dialog->ApplicationEventsIdle();
    EXPECT_TRUE(Dialog->CommandAdd->Enabled());
    SelectRow(0);
    Dialog->CommandAddClick();
    EXPECT_EQ(bar->Items()->Items(0)->Action(), World.Commands[0]);
    EXPECT_EQ(bar->Items()->Items(0)->Owner(), bar);
    Dialog->AllCommandTree->SetSelected(Node(L"お気に入り(&O)"));
    EXPECT_TRUE(Dialog->CurrentCommandListDragOver(Dialog->AllCommandTree));
    const POINT third = RowPoint(2);
    Dialog->CurrentCommandListDragDrop(Dialog->AllCommandTree, third.x, third.y);
    EXPECT_EQ(Describe(*bar),
              (std::vector<std::wstring>{L"aacOne", L"aacTwo", L"sub:MenuFavorite", L"-", L"aacThree", L"aacFour", L"aacOne"}));
    EXPECT_EQ(bar->Items()->Items(2)->SubitemsSource()->Count(), 2);
    ExpectRowsInStep();

    // A category node adds nothing; rows dropped on the tree are removed as "削除<<" does.
    Dialog->AllCommandTree->SetSelected(Node(L"編集"));
    Dialog->ApplicationEventsIdle();
    EXPECT_FALSE(Dialog->CommandAdd->Enabled());
    Dialog->CommandAddClick();
    EXPECT_EQ(bar->Items()->Count(), 7);
    SelectRow(3);
    EXPECT_TRUE(Dialog->AllCommandTreeDragOver(Dialog->CurrentCommandList));
    EXPECT_FALSE(Dialog->AllCommandTreeDragOver(Dialog->AllCommandTree));
    Dialog->AllCommandTreeDragDrop(Dialog->CurrentCommandList);
    SelectRow(0);
    Dialog->CommandDeleteClick();
    EXPECT_EQ(Describe(*bar), (std::vector<std::wstring>{L"aacTwo", L"sub:MenuFavorite", L"aacThree", L"aacFour", L"aacOne"}));
    ExpectRowsInStep();
}

TEST_F(CustomizeDialog, TheCloseBoxSavesAsCloseDoes) {
    Open();
    Host.Answers = {L"新しいバー"};
    Dialog->ButtonNewClick();
    Dialog->Hide();
    // The close box while the dialog runs modally.
    PostMessageW(Dialog->Handle(), WM_CLOSE, 0, 0);
    Dialog->ShowModal();
    EXPECT_TRUE(Host.Errors.empty());
    settings::TVxMemIniFile index(Host.Folder + L"\\NewToolBar.db");
    wide::TWideStringList sections;
    index.ReadSections(sections);
    ASSERT_EQ(sections.Count(), 3);
    EXPECT_EQ(sections.Get(0), L"ToolMenu");
    EXPECT_EQ(sections.Get(1), L"MainToolBar");
    EXPECT_EQ(index.ReadString(sections.Get(2), L"Caption", L""), L"新しいバー");
    EXPECT_TRUE(fs::exists(fs::path(Host.Folder) / sections.Get(2)));
}

TEST_F(CustomizeDialog, AFailedSaveIsToldByFileAndTheToolbarsStayAsEdited) {
    Open();
    fs::create_directories(fs::path(Host.Folder) / L"ToolMenu");
    std::ofstream(fs::path(Host.Folder) / L"ToolMenu" / L"keep") << "x";
    SelectToolbar(L"メインツールバー");
    SelectRow(0);
    Dialog->CommandDeleteClick();
    const std::vector<std::wstring> edited = Describe(*World.Main);
    Dialog->Hide();
    // "閉じる(&O)" while the dialog runs modally.
    classlib::Application->QueueCall([this] { Dialog->ButtonOkClick(); }, Dialog.get());
    EXPECT_EQ(Dialog->ShowModal(), classlib::mrOk);
    ASSERT_EQ(Host.Errors.size(), 1u);
    EXPECT_NE(Host.Errors[0].find(L"ToolMenu"), std::wstring::npos) << testsupport::Narrow(Host.Errors[0]);
    EXPECT_EQ(Describe(*World.Main), edited);
    EXPECT_FALSE(fs::exists(fs::path(Host.Folder) / L"NewToolBar.db"));
}
