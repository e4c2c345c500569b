// The bulk replace dialog over the hits of a real search, and the whole road a user takes:
// the search dialog, the search, the replace dialog with its questions, then undo.
#include "searchui/findallreplace.h"

#include <gtest/gtest.h>

#include <memory>

#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uilists.h"
#include "dialogs_fixture.h"
#include "search/registry_tree.h"
#include "search/session_window.h"
#include "searchui/addfindpoint.h"
#include "searchui/findform.h"

using namespace searchui;
using namespace searchuitest;
using classlib::mrCancel;
using classlib::mrNone;
using classlib::mrOk;
using searchtest::CreateKey;
using searchtest::ReadData;
using searchtest::SetValue;
using searchtest::Sz;
using testsupport::PumpMessages;
using testsupport::PumpUntil;
using testsupport::ScratchKey;

namespace {

class ReplaceDialogTest : public testing::Test {
protected:
    ReplaceDialogTest() : Key(testsupport::CurrentTestName()), Window(Session) {}

    std::wstring Base() const { return L"HKEY_CURRENT_USER\\" + Key.Path(); }
    void Search(const std::wstring& keyword, bool regex = false) {
        search::TWendlarFindRecord record;
        record.Keyword = keyword;
        record.StartKeys = Base() + L"\r\n";
        record.IgnoreCase = true;
        record.UseRegex = regex;
        Window.Run(record);
    }
    // Each row's kind, target path below the scratch key and preview.
    std::vector<std::wstring> Rows(TFindAllReplaceForm& form) {
        std::vector<std::wstring> rows;
        gridtree::TGridStringTree& tree = *form.FindOuts;
        for (gridtree::PGridNode n = tree.GetFirst(); n; n = tree.GetNext(n))
            rows.push_back(tree.Text(n, 0) + L"|" + tree.Text(n, 3).substr(Base().size()) + L"|" + tree.Text(n, 2));
        return rows;
    }

    ScratchKey Key;
    testsupport::ScratchDir Dir;
    FakeHost Host;
    search::TFindSession Session;
    searchtest::SessionWindow Window;
};

}  // namespace

// The six options choose the rows; the preview follows the replacement text as it is
// typed; without rows OK stays disabled.
TEST_F(ReplaceDialogTest, OptionsChooseTheRowsAndThePreviewFollowsTheText) {
    HKEY sub = CreateKey(Key.Handle(), L"fooKey");
    SetValue(sub, L"FooX", REG_SZ, Sz(L"none"));
    RegCloseKey(sub);
    SetValue(Key.Handle(), L"a_s", REG_SZ, Sz(L"a foo"));
    SetValue(Key.Handle(), L"b_e", REG_EXPAND_SZ, Sz(L"%foo%"));
    SetValue(Key.Handle(), L"c_m", REG_MULTI_SZ, searchtest::Bytes(std::wstring(L"foo\0bar\0\0", 9)));
    SetValue(Key.Handle(), L"d_b", REG_BINARY, Sz(L"foo"));  // found, never shown
    Search(L"foo");
    ASSERT_EQ(Session.Results().size(), 6u);

    TFindAllReplaceForm form(nullptr, Host);
    form.Setup(Session.LastFind(), Session.Results());
    EXPECT_EQ(form.Findkeyword->GetText(), L"foo");
    EXPECT_TRUE(form.Findkeyword->ReadOnly());
    EXPECT_EQ(RunModal(form,
                       [&] {
                           Type(form.RepKeyword->Handle(), L"bar");
                           ASSERT_TRUE(PumpUntil([&] { return form.RepKeyword->GetText() == L"bar"; }));
                           PumpMessages();
                           std::vector<std::wstring> rows = {
                               L"REG_SZ|\\a_s|a bar",
                               L"REG_EXPAND_SZ|\\b_e|%bar%",
                               L"REG_MULTI_SZ|\\c_m|bar\r\nbar\r\n",
                               L"キー|\\fooKey|barKey",
                               L"値の名前|\\fooKey\\FooX|barX",
                           };
                           EXPECT_EQ(Rows(form), rows);
                           Click(form.CheckRepValue);
                           ASSERT_TRUE(PumpUntil([&] { return form.ShownResults().size() == 2; }));
                           Click(form.CheckRepValue);
                           Click(form.CheckRepMultiSZ);
                           ASSERT_TRUE(PumpUntil([&] { return form.ShownResults().size() == 4; }));
                           rows.erase(rows.begin() + 2);
                           EXPECT_EQ(Rows(form), rows);
                           Idle();
                           EXPECT_TRUE(form.OkButton->Enabled());
                           for (auto* box : {form.CheckRepValueName, form.CheckRepRegSZ, form.CheckRepExpSZ,
                                             form.CheckRepKeyName})
                               Click(box);
                           ASSERT_TRUE(PumpUntil([&] { return form.ShownResults().empty(); }));
                           Idle();
                           EXPECT_FALSE(form.OkButton->Enabled());
                           Press(form.RepKeyword->Handle(), VK_RETURN);
                           PumpMessages();
                           EXPECT_EQ(form.ModalResult(), mrNone);
                           Press(form.RepKeyword->Handle(), VK_ESCAPE);
                       }),
              mrCancel);
}

// Regular-expression replacement: with the library the groups go into the new text; without
// it the preview says so and OK stops with a message before anything changes.
TEST_F(ReplaceDialogTest, RegularExpressionsWithAndWithoutTheLibrary) {
    SetValue(Key.Handle(), L"v", REG_SZ, Sz(L"a12b3"));
    Search(L"(\\d+)", true);
    ASSERT_EQ(Session.Results().size(), 1u);
    Host.NoMessage = true;
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present);
        Host.RegexPresent = present;
        TFindAllReplaceForm form(nullptr, Host);
        form.Setup(Session.LastFind(), Session.Results());
        bool told = false;
        const auto result = RunModal(form, [&] {
            Type(form.RepKeyword->Handle(), L"<\\1>");
            ASSERT_TRUE(PumpUntil([&] { return form.RepKeyword->GetText() == L"<\\1>"; }));
            EXPECT_EQ(Rows(form)[0], std::wstring(L"REG_SZ|\\v|") + (present ? L"a<12>b<3>" : L"(鬼車のロードに失敗)"));
            if (present) {
                Idle();
                Click(form.OkButton);
                return;
            }
            AnswerQuestion(L"鬼車のロードに失敗しています。置換処理を中断します。", VK_RETURN, &told);
            Idle();
            Click(form.OkButton);
            ASSERT_TRUE(PumpUntil([&] { return told && ActiveModalForm() == &form; }));
            Press(form.RepKeyword->Handle(), VK_ESCAPE);
        });
        EXPECT_EQ(result, present ? mrOk : mrCancel);
        EXPECT_EQ(ReadData(HKEY_CURRENT_USER, Key.Path(), L"v"), Sz(present ? L"a<12>b<3>" : L"a12b3"));
        EXPECT_EQ(Host.UndoProvider().UndoList().size(), present ? 1u : 0u);
    }
}

// The road of a user: the search dialog (keyword typed, start key picked), the search, the
// replace dialog. "No" at the second question changes nothing and keeps the dialog open;
// two "Yes" replace everything (a value renamed before its key), and undoing every record
// brings the registry back to its snapshot.
TEST_F(ReplaceDialogTest, SearchReplaceAnswerNoThenYesThenUndo) {
    for (int i = 0; i < 3; ++i) {
        const std::wstring n = std::to_wstring(i);
        HKEY sub = CreateKey(Key.Handle(), L"fooKey" + n);
        SetValue(sub, L"fooName" + n, REG_SZ, Sz(L"data FOO " + n));
        SetValue(sub, L"plain" + n, REG_EXPAND_SZ, Sz(L"%foo%\\x"));
        SetValue(sub, L"multi" + n, REG_MULTI_SZ, searchtest::Bytes(std::wstring(L"foo\0\u30C6\u30B9\u30C8\0\0", 9)));
        RegCloseKey(sub);
    }
    const auto before = searchtest::Snapshot(Key.Handle());

    TFindForm find(nullptr, Host, {Dir.File(L"findkey.db"), Dir.File(L"findword.db")});
    EXPECT_EQ(RunModal(find,
                       [&] {
                           Type(find.FindKeyword->EditHandle(), L"foo");
                           bool picked = false;
                           WhenModal<TAddFindPointForm>([&](TAddFindPointForm& picker) {
                               Type(picker.AddressEdit->Handle(), Base());
                               Click(picker.OkButton);
                               picked = true;
                           });
                           Click(find.AddButton);
                           ASSERT_TRUE(PumpUntil([&] { return picked && find.FindKeyList->Count() == 1; }));
                           Idle();
                           Click(find.OkButton);
                       }),
              mrOk);
    search::TWendlarFindRecord record = find.FindRecord();
    EXPECT_EQ(record.StartKeys, Base() + L"\r\n");
    Window.Run(record);
    ASSERT_EQ(Session.Results().size(), 15u);  // per key: its name, a value name, three data

    TFindAllReplaceForm replace(nullptr, Host);
    replace.Setup(Session.LastFind(), Session.Results());
    const std::wstring first = L"本当に置換を実行してよろしいですか？", second = L"本当に本当によろしいですか？";
    EXPECT_EQ(RunModal(replace,
                       [&] {
                           Type(replace.RepKeyword->Handle(), L"bar");
                           ASSERT_TRUE(PumpUntil([&] { return replace.RepKeyword->GetText() == L"bar"; }));
                           bool yes = false, no = false;
                           AnswerQuestion(first, VK_RETURN, &yes);
                           AnswerQuestion(second, VK_ESCAPE, &no);
                           Idle();
                           Click(replace.OkButton);
                           ASSERT_TRUE(PumpUntil([&] { return yes && no && ActiveModalForm() == &replace; }));
                           PumpMessages();
                           EXPECT_EQ(replace.ModalResult(), mrNone);
                           EXPECT_EQ(searchtest::Snapshot(Key.Handle()), before);
                           EXPECT_TRUE(Host.UndoProvider().UndoList().empty());

                           AnswerQuestion(first, VK_RETURN);
                           AnswerQuestion(second, VK_RETURN);
                           Click(replace.OkButton);
                       }),
              mrOk);
    for (int i = 0; i < 3; ++i) {
        const std::wstring key = Key.Path() + L"\\barKey" + std::to_wstring(i);
        EXPECT_EQ(ReadData(HKEY_CURRENT_USER, key, L"barName" + std::to_wstring(i)),
                  Sz(L"data bar " + std::to_wstring(i)));
        EXPECT_EQ(ReadData(HKEY_CURRENT_USER, key, L"plain" + std::to_wstring(i)), Sz(L"%bar%\\x"));
        EXPECT_EQ(ReadData(HKEY_CURRENT_USER, key, L"multi" + std::to_wstring(i)),
                  searchtest::Bytes(std::wstring(L"bar\0\u30C6\u30B9\u30C8\0\0", 9)));
    }
    // Below each key the value's rename comes first.
    std::vector<std::wstring> renames;
    for (const auto& r : Host.UndoProvider().UndoList())
        if (r->FOperation == undo::uoRenamed) renames.push_back(r->FOldName);
    EXPECT_EQ(renames, (std::vector<std::wstring>{L"fooName2", L"fooKey2", L"fooName1", L"fooKey1", L"fooName0",
                                                  L"fooKey0"}));

    undo::TVxRegClipUndoProvider& undo = Host.UndoProvider();
    while (!undo.UndoList().empty()) ASSERT_TRUE(undo.UndoAt(static_cast<int>(undo.UndoList().size()) - 1));
    EXPECT_EQ(searchtest::Snapshot(Key.Handle()), before);
}
