// The search dialog and the start-key picker, driven through their windows: the named key
// lists and the keyword history in their files, the start keys, the token menu and the
// search record the dialog hands back.
#include "searchui/findform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uipanels.h"
#include "dialogs_fixture.h"
#include "searchui/addfindpoint.h"
#include "views/regtreeview.h"
#include "widgets/vstab.h"

using namespace searchui;
using namespace searchuitest;
using classlib::mrCancel;
using classlib::mrNone;
using classlib::mrOk;
using testsupport::Narrow;
using testsupport::PumpMessages;
using testsupport::PumpUntil;
using testsupport::ScratchDir;
using Keys = std::vector<std::wstring>;

namespace {

// Key paths outside the system's ANSI code page.
const std::wstring kOddKeyA = L"HKEY_CURRENT_USER\\Software\\키\u00FC";
const std::wstring kOddKeyB = L"HKEY_CURRENT_USER\\\U0001F600";

Keys Items(wide::TWideStrings& strings) {
    Keys items;
    for (int i = 0; i < strings.GetCount(); ++i) items.push_back(strings.Get(i));
    return items;
}

// The name a key really has (letter case as stored), or `name` when there is none.
std::wstring StoredName(HKEY root, const std::wstring& name) {
    wchar_t buffer[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(root, i, buffer, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return name;
        if (CompareStringOrdinal(buffer, static_cast<int>(length), name.c_str(), -1, TRUE) == CSTR_EQUAL)
            return std::wstring(buffer, length);
    }
}

// A click on a tab of the strip.
void ClickTab(widgets::TVxVSTab& tabs, int index) {
    std::vector<widgets::TVxVSTabClass> layout;
    int lastRow = 0, rowHeight = 0;
    tabs.LayoutTabs(layout, lastRow, rowHeight);
    for (const auto& tab : layout) {
        if (tab.TabIndex != index) continue;
        Click(&tabs, {(tab.Rect.left + tab.Rect.right) / 2, (tab.Rect.top + tab.Rect.bottom) / 2});
        return;
    }
    ADD_FAILURE() << "no tab " << index;
}

class FindDialogTest : public testing::Test {
protected:
    FindDialogTest() {
        const std::wstring folder = Dir.File(L"설정-\u00FC");
        std::filesystem::create_directories(std::filesystem::path(folder));
        Files = {folder + L"\\findkey.db", folder + L"\\findword.db"};
    }
    std::unique_ptr<TFindForm> Open() { return std::make_unique<TFindForm>(nullptr, Host, Files); }
    search::TKeyLists SavedLists() {
        search::TFindListLoad load;
        return search::ReadKeyLists(Files.KeyLists, load);
    }
    // Picks `path` in the key picker that the button "追加(&A)" opens, by typing it.
    void AddStartKey(TFindForm& form, const std::wstring& path) {
        bool picked = false;
        WhenModal<TAddFindPointForm>([&](TAddFindPointForm& picker) {
            Type(picker.AddressEdit->Handle(), path);
            Click(picker.OkButton);
            picked = true;
        });
        Click(form.AddButton);
        EXPECT_TRUE(PumpUntil([&] { return picked && ActiveModalForm() == &form; }));
    }

    ScratchDir Dir;
    TFindFormFiles Files;
    FakeHost Host;
};

}  // namespace

// Named lists: the default list is chosen at opening, choosing another replaces the start
// keys at once, the keys are saved under a name that exists already, that name becomes the
// default, and a list is deleted; the file is written when the dialog closes, also with
// Cancel, and keys outside the ANSI code page come back unchanged.
TEST_F(FindDialogTest, NamedKeyListsChooseSaveDefaultAndDelete) {
    search::WriteKeyLists(Files.KeyLists, {{L"work", {L"HKEY_CURRENT_USER\\Software"}}, {L"odd", {kOddKeyA, kOddKeyB}}});
    Host.Settings[L"FindList"] = L"odd";
    auto form = Open();
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           EXPECT_EQ(Items(form->KeyListBox->Items()), (Keys{L"work", L"odd"}));
                           EXPECT_EQ(form->KeyListBox->ItemIndex(), 1);
                           EXPECT_EQ(Items(form->FindKeyList->Items()), (Keys{kOddKeyA, kOddKeyB}));

                           Press(form->KeyListBox->Handle(), VK_UP);
                           ASSERT_TRUE(PumpUntil([&] { return form->KeyListBox->ItemIndex() == 0; }));
                           EXPECT_EQ(Items(form->FindKeyList->Items()), (Keys{L"HKEY_CURRENT_USER\\Software"}));
                           Press(form->KeyListBox->Handle(), VK_DOWN);
                           ASSERT_TRUE(PumpUntil([&] { return form->FindKeyList->Count() == 2; }));

                           // "現在開いているキーに名前をつけてキーリストに保存" under the name of the
                           // first list.
                           AnswerBox(L"work", VK_RETURN);
                           Click(form->KeyListButton);
                           MenuKeys(form->KeyListButton->Handle(), {VK_DOWN, VK_RETURN});
                           ASSERT_TRUE(PumpUntil([&] { return form->KeyListBox->Items().GetCount() == 3; }));
                           EXPECT_EQ(form->KeyListBox->ItemIndex(), 2);
                           // "現在キーリストで選択している値をデフォルトにする".
                           Click(form->KeyListButton);
                           MenuKeys(form->KeyListButton->Handle(), {VK_DOWN, VK_DOWN, VK_RETURN});
                           ASSERT_TRUE(PumpUntil([&] { return Host.Settings[L"FindList"] == L"work"; }));
                           Press(form->FindKeyList->Handle(), VK_ESCAPE);
                       }),
              mrCancel);
    const search::TKeyLists saved = SavedLists();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[2].FName, L"work");
    EXPECT_EQ(saved[2].FKeys, (Keys{kOddKeyA, kOddKeyB}));

    // The default name selects the first of the two lists of that name; deleting it
    // ("現在キーリストで選択している項目を削除する") leaves the other two.
    form = Open();
    EXPECT_EQ(form->KeyListBox->ItemIndex(), 0);
    EXPECT_EQ(Items(form->FindKeyList->Items()), (Keys{L"HKEY_CURRENT_USER\\Software"}));
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           Click(form->KeyListButton);
                           MenuKeys(form->KeyListButton->Handle(), {VK_UP, VK_RETURN});
                           ASSERT_TRUE(PumpUntil([&] { return form->KeyListBox->Items().GetCount() == 2; }));
                           Press(form->FindKeyList->Handle(), VK_ESCAPE);
                       }),
              mrCancel);
    EXPECT_EQ(SavedLists().size(), 2u);
    EXPECT_EQ(SavedLists()[0].FName, L"odd");
}

// Start keys come from the picker (a key already listed, in any letter case, only once)
// and go with the delete button; OK stays disabled without a start key, whatever the
// keyword. On OK the keyword goes to the top of the history, replacing an entry that
// differs only in letter case, and the record carries the keys and the options.
TEST_F(FindDialogTest, StartKeysOptionsAndTheRecordAtOk) {
    search::WriteFindWords(Files.Words, {L"xyz", L"abc"});
    auto form = Open();
    EXPECT_EQ(Items(form->FindKeyword->Items()), (Keys{L"xyz", L"abc"}));
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           const HWND keyword = form->FindKeyword->EditHandle();
                           Type(keyword, L"Abc");
                           Idle();
                           EXPECT_FALSE(form->OkButton->Enabled());
                           Press(keyword, VK_RETURN);
                           PumpMessages();
                           EXPECT_EQ(form->ModalResult(), mrNone);

                           for (const wchar_t* path : {L"HKEY_CURRENT_USER\\Software", L"hkey_current_user\\SOFTWARE",
                                                       L"HKEY_LOCAL_MACHINE\\Software"})
                               AddStartKey(*form, path);
                           EXPECT_EQ(Items(form->FindKeyList->Items()),
                                     (Keys{L"HKEY_CURRENT_USER\\Software", L"HKEY_LOCAL_MACHINE\\Software"}));

                           Idle();
                           EXPECT_FALSE(form->DelButton->Enabled());
                           const RECT first = form->FindKeyList->ItemRect(0);
                           Click(form->FindKeyList, {first.left + 20, (first.top + first.bottom) / 2});
                           ASSERT_TRUE(PumpUntil([&] { return form->FindKeyList->SelCount() == 1; }));
                           Idle();
                           EXPECT_TRUE(form->DelButton->Enabled());
                           Click(form->DelButton);
                           ASSERT_TRUE(PumpUntil([&] { return form->FindKeyList->Count() == 1; }));

                           Click(form->NoIgnoreCase);
                           ClickTab(*form->VxVSTab1, 1);
                           ASSERT_TRUE(PumpUntil([&] { return form->PageOptions->Showing(); }));
                           EXPECT_FALSE(form->PageRange->Showing());
                           Click(form->CheckNoValue);
                           ASSERT_TRUE(PumpUntil([&] { return form->CheckNoValue->Checked(); }));
                           Idle();
                           ASSERT_TRUE(form->OkButton->Enabled());
                           Click(form->OkButton);
                       }),
              mrOk);
    const search::TWendlarFindRecord record = form->FindRecord();
    EXPECT_EQ(record.Keyword, L"Abc");
    EXPECT_EQ(record.StartKeys, L"HKEY_LOCAL_MACHINE\\Software\r\n");
    EXPECT_FALSE(record.IgnoreCase);
    EXPECT_TRUE(record.NoValueData);
    EXPECT_FALSE(record.UseRegex || record.WholeMatch || record.NoSubKeys || record.NoKeyNames ||
                 record.NoValueNames);
    search::TFindListLoad load;
    EXPECT_EQ(search::ReadFindWords(Files.Words, load), (Keys{L"Abc", L"xyz"}));
}

// The token menu puts its token in at the caret, or over the selected part of the keyword;
// its last entry puts in a back reference. Without the library, regular-expression search
// cannot be chosen and the notice says so.
TEST_F(FindDialogTest, TokenMenuAndRegularExpressionChoice) {
    for (const bool present : {true, false}) {
        SCOPED_TRACE(present);
        Host.RegexPresent = present;
        auto form = Open();
        EXPECT_EQ(RunModal(*form,
                           [&] {
                               EXPECT_EQ(form->RegExEngineLabel->GetCaption(),
                                         present ? L"(onig.dllを認識したので鬼車を利用します)"
                                                 : L"(鬼車が無いので正規表現検索を利用できません)");
                               const HWND keyword = form->FindKeyword->EditHandle();
                               Type(keyword, L"ab");
                               Press(keyword, VK_LEFT);
                               ASSERT_TRUE(PumpUntil([&] { return form->FindKeyword->SelStart() == 1; }));
                               // "位置" > "単語境界以外(\B)".
                               Click(form->RegExButton);
                               MenuKeys(form->RegExButton->Handle(),
                                        {VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
                               ASSERT_TRUE(PumpUntil([&] { return form->FindKeyword->GetText() == L"a\\Bb"; }));
                               EXPECT_EQ(form->FindKeyword->SelStart(), 3);
                               form->FindKeyword->SetSelStart(1);
                               form->FindKeyword->SetSelLength(2);
                               // "後方参照".
                               Click(form->RegExButton);
                               MenuKeys(form->RegExButton->Handle(), {VK_UP, VK_RETURN});
                               ASSERT_TRUE(PumpUntil([&] { return form->FindKeyword->GetText() == L"a\\1b"; }));

                               Click(form->RegExFind);
                               PumpMessages();
                               EXPECT_EQ(form->RegExFind->Checked(), present);
                               EXPECT_EQ(form->NormalFind->Checked(), !present);
                               Press(keyword, VK_ESCAPE);
                           }),
                  mrCancel);
        EXPECT_EQ(form->FindRecord().UseRegex, present);
    }
}

// The picker hands back what its box holds at OK: nothing right after opening, the key a
// selection in the tree or a jump (Enter or "移動") reached, or a typed path as typed.
TEST_F(FindDialogTest, KeyPickerHandsBackTheAddressBox) {
    enum TAction { None, Enter, JumpButton, TreeKey };
    struct Case {
        const wchar_t* Typed;
        TAction Action;
        std::wstring Expected;
    };
    const Case cases[] = {
        {L"", None, L""},
        {L"HKLM\\software", Enter, L"HKEY_LOCAL_MACHINE\\" + StoredName(HKEY_LOCAL_MACHINE, L"software")},
        {L"HKCU\\SOFTWARE", JumpButton, L"HKEY_CURRENT_USER\\" + StoredName(HKEY_CURRENT_USER, L"software")},
        {L"HKEY_CURRENT_USER\\NoSuchKey\\Below", None, L"HKEY_CURRENT_USER\\NoSuchKey\\Below"},
        {L"", TreeKey, L"HKEY_CLASSES_ROOT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Typed) + " " + std::to_string(c.Action));
        TAddFindPointForm picker(nullptr, Host.ComponentImages());
        EXPECT_EQ(RunModal(picker,
                           [&] {
                               const HWND box = picker.AddressEdit->Handle();
                               Type(box, c.Typed);
                               if (c.Action == Enter) Press(box, VK_RETURN);
                               if (c.Action == JumpButton) Click(picker.JumpButton);
                               if (c.Action == TreeKey) Press(picker.VxRegTreeView->Handle(), VK_DOWN);
                               ASSERT_TRUE(PumpUntil([&] { return picker.Address() == c.Expected; }));
                               if (c.Action != None) {
                                   auto key = picker.VxRegTreeView->GetSelectedKey();
                                   ASSERT_TRUE(key);
                                   EXPECT_EQ(key->FFullPath, c.Expected);
                               }
                               PumpMessages();
                               EXPECT_EQ(picker.ModalResult(), mrNone) << "Enter in the box does not close";
                               Click(picker.OkButton);
                           }),
                  mrOk);
        EXPECT_EQ(picker.Address(), c.Expected);
    }
}
