// The dialog kit: a modal dialog's one showing, its OK/Cancel pair under the keyboard, the
// pages, the menu items and the places.
#include <gtest/gtest.h>

#include "classlib/actions.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "uicontrols_fixture.h"

#include <vector>

using namespace classlib;
using namespace ui;

namespace {

// A dialog built with the kit: a name field and the pair, whose OK refuses an empty name.
class TNameDialog : public TForm {
public:
    explicit TNameDialog(TComponent* owner) : TForm(owner) {
        ++Alive;
        SetUpDialog(*this, {L"名前", 300, 100});
        const TPlacer at(this, this);
        Name = at.Labeled<TUiEdit>(L"名前(&N)：", {8, 12, 60, 16}, {72, 8, 220, 21});
        const std::vector<TPlace> row = ButtonRow(292, 64, {75, 75});
        Pair = AddOkCancel(at, {.Ok = row[0], .Cancel = row[1]}, [this] {
            ++Checks;
            return !Name->GetText().empty();
        });
        SetActiveControl(Name);
    }
    ~TNameDialog() override { --Alive; }

    // Keys and characters for the name field, handled once the dialog's loop runs.
    void PostKey(WORD key) { PostMessageW(Name->Handle(), WM_KEYDOWN, key, 1); }
    void PostChar(wchar_t ch) { PostMessageW(Name->Handle(), WM_CHAR, ch, 1); }

    TUiEdit* Name = nullptr;
    TOkCancel Pair;
    int Checks = 0;
    static int Alive;
};
int TNameDialog::Alive = 0;

}  // namespace

// Enter presses OK, which asks its check first: refused, the dialog stays; accepted, it
// closes with mrOk and only then is read. Esc cancels without reading. Each showing makes
// one dialog, and it is gone from its owner when the call returns.
TEST_F(UiControls, ShowModalFormRunsOneShowingWithTheKeyboard) {
    const int components = Form->ComponentCount();
    std::wstring read;
    int checks = 0;
    const TModalResult ok = ShowModalForm<TNameDialog>(
        Form,
        [&](TNameDialog& dialog) {
            EXPECT_EQ(dialog.Owner(), Form);
            dialog.PostKey(VK_RETURN);  // refused: the name is empty
            dialog.PostChar(L'x');
            dialog.PostKey(VK_RETURN);
        },
        [&](TNameDialog& dialog) {
            read = dialog.Name->GetText();
            checks = dialog.Checks;
        });
    EXPECT_EQ(ok, mrOk);
    EXPECT_EQ(read, L"x");
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(TNameDialog::Alive, 0);
    EXPECT_EQ(Form->ComponentCount(), components);

    bool readAfterCancel = false;
    const TModalResult cancel = ShowModalForm<TNameDialog>(
        Form, [](TNameDialog& dialog) { dialog.PostKey(VK_ESCAPE); },
        [&](TNameDialog&) { readAfterCancel = true; });
    EXPECT_EQ(cancel, mrCancel);
    EXPECT_FALSE(readAfterCancel);
    EXPECT_EQ(TNameDialog::Alive, 0);
}

TEST_F(UiControls, OkCancelPairTakesItsOrderCaptionsAndRoles) {
    const TPlacer at(Form, Form);
    const std::vector<TPlace> row = ButtonRow(400, 10, {75, 75});
    for (bool cancelFirst : {false, true}) {
        auto* panel = at.Panel({0, 0, 410, 50});
        const TAnchors anchors = cancelFirst ? akRight | akBottom : akLeft | akTop;
        const TOkCancel pair = AddOkCancel(at.On(panel), {.Ok = row[0],
                                                          .Cancel = row[1],
                                                          .CancelFirst = cancelFirst,
                                                          .OkCaption = L"追加(&O)",
                                                          .Anchors = anchors});
        EXPECT_EQ(pair.Ok->GetCaption(), L"追加(&O)");
        EXPECT_EQ(pair.Cancel->GetCaption(), L"キャンセル");
        EXPECT_TRUE(pair.Ok->Default());
        EXPECT_EQ(pair.Ok->ModalResult, mrOk);
        EXPECT_TRUE(pair.Cancel->Cancel);
        EXPECT_EQ(pair.Cancel->ModalResult, mrCancel);
        EXPECT_EQ(pair.Ok->TabOrder() > pair.Cancel->TabOrder(), cancelFirst);
        EXPECT_EQ(pair.Ok->Left(), row[0].Left);
        EXPECT_EQ(pair.Cancel->Left() + pair.Cancel->Width(), 400);
        EXPECT_EQ(pair.Ok->Anchors(), anchors);
        EXPECT_EQ(pair.Cancel->Anchors(), anchors);
    }
}

TEST(DialogPlaces, ButtonRowsEndAtTheRightEdge) {
    struct Case {
        int right, gap;
        std::initializer_list<int> widths;
        std::vector<int> lefts;
    } cases[] = {
        {430, 8, {75, 75}, {272, 355}},
        {712, 8, {75, 81}, {548, 631}},
        {412, 6, {75, 75}, {256, 337}},
        {100, 4, {100}, {0}},
    };
    for (const Case& c : cases) {
        std::vector<int> lefts;
        for (const TPlace& place : ButtonRow(c.right, 5, c.widths, c.gap)) {
            lefts.push_back(place.Left);
            EXPECT_EQ(place.Top, 5);
            EXPECT_EQ(place.Height, 25);
        }
        EXPECT_EQ(lefts, c.lefts) << c.right;
    }
    TRows rows(12, 20, 270, 18, 20);
    const TPlace first = rows.Next(), indented = rows.Next(18), third = rows.Next();
    EXPECT_EQ(
        (std::vector<int>{first.Left, first.Top, indented.Left, indented.Top, indented.Width, third.Left, third.Top}),
        (std::vector<int>{12, 20, 30, 40, 270, 12, 60}));
}

// A label comes before its field and focuses it; a place without a size keeps the
// control's own.
TEST_F(UiControls, PlacerPutsLabelsBeforeTheirFields) {
    const TPlacer at(Form, Form);
    auto* group = at.Add<TUiGroupBox>(L"基本", {8, 8, 300, 100});
    auto* edit = at.On(group).Labeled<TUiEdit>(L"キーワード：", {12, 22, 120, 16}, {12, 40, 200, 23});
    ASSERT_EQ(group->ControlCount(), 2);
    auto* label = dynamic_cast<TUiLabel*>(group->Controls(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->FocusControl(), edit);
    EXPECT_EQ(group->Controls(1), edit);
    EXPECT_EQ(edit->Owner(), Form);
    EXPECT_EQ((RECT{edit->Left(), edit->Top(), edit->Width(), edit->Height()}.right), 200);

    auto* button = new TUiButton(Form);
    const int width = button->Width(), height = button->Height();
    delete button;
    button = at.Add<TUiButton>({20, 30});
    EXPECT_EQ(button->Left(), 20);
    EXPECT_EQ(button->Top(), 30);
    EXPECT_EQ(button->Width(), width);
    EXPECT_EQ(button->Height(), height);
}

// Tab pages: one sheet per caption, the first showing; switching tabs shows the other
// sheet with what was put on it. Notebook pages show one at a time.
TEST_F(UiControls, PagesShowOneSheetAtATime) {
    const TPlacer at(Form, Form);
    const TTabPages tabs = AddTabPages(at, {8, 8, 300, 200}, {L"一般", L"表示"});
    ASSERT_EQ(tabs.Sheets.size(), 2u);
    EXPECT_EQ(tabs.Sheets[0]->Caption(), L"一般");
    EXPECT_EQ(tabs.Sheets[1]->Caption(), L"表示");
    TUiCheckBox* check = at.On(tabs.Sheets[1]).Check(L"表示する", {8, 8, 100, 18}, true);
    testsupport::PumpMessages();
    EXPECT_EQ(tabs.Tabs->ActiveTabIndex(), 0);
    EXPECT_TRUE(tabs.Sheets[0]->Visible());
    EXPECT_FALSE(check->Showing());
    tabs.Tabs->SetActiveTabIndex(1);
    EXPECT_FALSE(tabs.Sheets[0]->Visible());
    EXPECT_TRUE(check->Showing());
    EXPECT_TRUE(check->Checked());

    const TNotebookPages notebook = AddNotebook(at, {320, 8, 150, 200}, alNone, 3);
    ASSERT_EQ(notebook.Pages.size(), 3u);
    for (int shown : {2, 0}) {
        notebook.Show(shown);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(notebook.Pages[i]->Visible(), i == shown) << shown << " " << i;
    }
}

// Themed items: "-" adds a separator line; an item carries its image and its click. Native
// items: a caption with its click, or an action's caption.
TEST_F(UiControls, MenuItemsOfBothKinds) {
    auto* popup = new TUiPopupMenu(Form);
    int clicks = 0;
    TUiItem* item = AddMenuItem(Form, popup->Items(), L"保存", 2, [&](TComponent*) { ++clicks; });
    EXPECT_EQ(AddMenuItem(Form, popup->Items(), L"-"), nullptr);
    auto* sub = AddMenuItem<TUiSubmenuItem>(Form, popup->Items(), L"位置");
    ASSERT_EQ(popup->Items()->Count(), 3);
    EXPECT_EQ(popup->Items()->Items(0), item);
    EXPECT_NE(dynamic_cast<TUiSeparatorItem*>(popup->Items()->Items(1)), nullptr);
    EXPECT_EQ(popup->Items()->Items(2), sub);
    EXPECT_EQ(item->ImageIndex(), 2);
    item->Click();
    EXPECT_EQ(clicks, 1);

    auto* menu = new TPopupMenu(Form);
    auto* action = new TAction(Form);
    action->SetCaption(L"検索");
    TMenuItem* open = AddMenuItem(Form, menu->Items(), L"開く", [&] { ++clicks; });
    TMenuItem* line = AddMenuItem(Form, menu->Items(), L"-");
    TMenuItem* find = AddMenuItem(Form, menu->Items(), action);
    ASSERT_EQ(menu->Items()->Count(), 3);
    EXPECT_TRUE(line->IsLine());
    EXPECT_EQ(find->Caption(), L"検索");
    EXPECT_EQ(find->Action(), action);
    open->Click();
    EXPECT_EQ(clicks, 2);
}
