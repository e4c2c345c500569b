#include "searchui/findform.h"

#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/wide/widedialogs.h"
#include "search/onig_regexp.h"
#include "searchui/addfindpoint.h"
#include "widgets/vstab.h"

namespace searchui {

using namespace classlib;
using namespace ui;

namespace {

constexpr int kClientWidth = 440;
constexpr int kPageHeight = 430;
constexpr int kButtonRowHeight = 41;

// The toolbar images of the token button and of the key-list menu.
constexpr int kTokenButtonImage = 29;
constexpr int kSaveListImage = 2;
constexpr int kDefaultListImage = 31;

const wchar_t* const kRegexPresentText = L"(onig.dllを認識したので鬼車を利用します)";
const wchar_t* const kRegexMissingText = L"(鬼車が無いので正規表現検索を利用できません)";

}  // namespace

TFindFormFiles TFindFormFiles::InSettingsFolder() {
    return {search::FindKeyListFileName(), search::FindWordFileName()};
}

TFindForm::TFindForm(TComponent* owner, IFindDialogHost& host, const TFindFormFiles& files)
    : wide::TWideForm(owner), FHost(host), FModel(files.KeyLists, files.Words) {
    SetUpDialog(*this, {L"検索フォーム", kClientWidth, 25 + kPageHeight + kButtonRowHeight});
    const TPlacer at(this, this);

    VxVSTab1 = at.Add<widgets::TVxVSTab>({0, 0, kClientWidth, 25});
    VxVSTab1->SetAlign(alTop);
    VxVSTab1->Tabs().Add(L"範囲とキーワード");
    VxVSTab1->Tabs().Add(L"検索オプション");
    VxVSTab1->SetEnableBuiltinDragDrop(false);
    VxVSTab1->SetMiddleClickClose(false);

    ButtonPanel = at.Panel({0, 25 + kPageHeight, kClientWidth, kButtonRowHeight}, alBottom);
    const std::vector<TPlace> row = ButtonRow(kClientWidth - 10, 8, {75, 75});
    const TOkCancel pair =
        AddOkCancel(at.On(ButtonPanel), {.Ok = row[1], .Cancel = row[0], .CancelFirst = true}, [this] {
            TakeKeyword();
            return true;
        });
    CancelButton = pair.Cancel;
    OkButton = pair.Ok;
    OkButton->SetEnabled(false);

    FPages = AddNotebook(at, {0, 25, kClientWidth, kPageHeight}, alClient, 2);
    Notebook = FPages.Notebook;
    Notebook->SetTabOrder(0);
    PageRange = FPages.Pages[0];
    PageOptions = FPages.Pages[1];

    BuildMenus();
    BuildRangePage(at.On(PageRange));
    BuildOptionsPage(at.On(PageOptions));

    VxVSTab1->OnChange = [this](TComponent*) { FPages.Show(VxVSTab1->ActiveTabIndex()); };
    OnClose = [this](TComponent*, TCloseAction&) { FModel.SaveKeyLists(); };
    SetActiveControl(FindKeyword);
    LoadLists();
}

TFindForm::~TFindForm() = default;

void TFindForm::BuildMenus() {
    PrisetMenu = new TUiPopupMenu(this);
    PrisetMenu->SetImages(FHost.ToolBarImages());
    toolbar::TBarCustomItem* root = PrisetMenu->Items();
    PMKeyListSave = AddMenuItem(this, root, L"現在開いているキーに名前をつけてキーリストに保存", kSaveListImage,
                                [this](TComponent*) { SaveStartKeysAsList(); });
    AddMenuItem(this, root, L"-");
    PMKeyListDef = AddMenuItem(this, root, L"現在キーリストで選択している値をデフォルトにする", kDefaultListImage,
                               [this](TComponent*) { MakeSelectedListDefault(); });
    PMKeyListLoad = AddMenuItem(this, root, L"現在選択しているキーリストからキーをロード", -1,
                                [this](TComponent*) { LoadSelectedList(); });
    AddMenuItem(this, root, L"-");
    PMKeyListDelete = AddMenuItem(this, root, L"現在キーリストで選択している項目を削除する", -1,
                                  [this](TComponent*) { DeleteSelectedList(); });

    // Every token item keeps the text it inserts as its hint; one handler serves them all.
    RegExPopup = new TUiPopupMenu(this);
    auto addToken = [this](toolbar::TBarCustomItem* parent, const wchar_t* caption, const wchar_t* token) {
        TUiItem* item = AddMenuItem(this, parent, caption ? caption : L"-");
        if (!item || !token) return;
        item->SetHint(token);
        item->SetOnClick([this](TComponent* sender) { InsertRegexToken(sender); });
    };
    for (const search::TRegexTokenMenu& menu : search::RegexTokenMenus()) {
        if (menu.Items.empty()) {
            addToken(RegExPopup->Items(), menu.Caption, menu.Token);
            continue;
        }
        auto* sub = AddMenuItem<TUiSubmenuItem>(this, RegExPopup->Items(), menu.Caption);
        for (const search::TRegexTokenItem& item : menu.Items) addToken(sub, item.Caption, item.Token);
    }
}

void TFindForm::BuildRangePage(const TPlacer& page) {
    GroupBasic = page.Add<TUiGroupBox>(L"基本", {8, 8, 424, 180});
    const TPlacer basic = page.On(GroupBasic);
    FindKeyword = basic.Labeled<TUiComboBox>(L"キーワード：", {12, 22, 120, 16}, {12, 40, 358, 23});
    FindKeyword->SetStyle(wide::csDropDown);
    FindKeyword->AutoComplete = false;
    RegExButton = basic.Add<TUiSpeedButton>({376, 39, 36, 24});
    RegExButton->SetImages(FHost.ToolBarImages());
    RegExButton->SetImageIndex(kTokenButtonImage);
    RegExButton->SetDropDownMenu(RegExPopup);
    NormalFind = basic.Radio(L"通常検索を使う", {12, 72, 300, 18}, true);
    NoIgnoreCase = basic.Check(L"大文字小文字を区別する", {30, 93, 300, 18});
    AllMatch = basic.Check(L"完全に一致したときのみヒットとする", {30, 114, 300, 18});
    RegExFind = basic.Radio(L"正規表現を使う", {12, 136, 300, 18});
    RegExEngineLabel = basic.Label(L"", {30, 157, 380, 16});

    GroupKeys = page.Add<TUiGroupBox>(L"検索するキー", {8, 196, 424, 226});
    const TPlacer keys = page.On(GroupKeys);
    KeyListBox = keys.Labeled<TUiComboBox>(L"キーリスト：", {12, 24, 80, 16}, {94, 20, 182, 23});
    KeyListBox->SetStyle(wide::csDropDownList);
    KeyListButton = keys.Button(L"キーリストの操作", {282, 19, 130, 25});
    KeyListButton->SetDropDownMenu(PrisetMenu);
    FindKeyList = keys.Add<TUiListBox>({12, 52, 400, 132}, [](TUiListBox& list) { list.MultiSelect = true; });
    const std::vector<TPlace> row = ButtonRow(412, 191, {75, 75}, 6);
    DelButton = keys.Button(L"削除", row[0], mrNone, [this] { DeleteSelectedKeys(); });
    DelButton->SetEnabled(false);
    AddButton = keys.Button(L"追加(&A)", row[1], mrNone, [this] { PickStartKey(); });

    KeyListBox->OnChange = [this](TComponent*) { LoadSelectedList(); };
}

void TFindForm::BuildOptionsPage(const TPlacer& page) {
    GroupTargets = page.Add<TUiGroupBox>(L"検索対象", {8, 8, 424, 122});
    const TPlacer targets = page.On(GroupTargets);
    TRows rows(12, 24, 400, 18, 24);
    CheckNoSubKey = targets.Check(L"サブキーは検索しないようにする", rows.Next());
    CheckNoKeyName = targets.Check(L"キー名は検索しない", rows.Next());
    CheckNoValueFind = targets.Check(L"値の名前は検索しない", rows.Next());
    CheckNoValue = targets.Check(L"値のデータは検索しない", rows.Next());
}

void TFindForm::ShowKeyLists() {
    wide::TWideStrings& items = KeyListBox->Items();
    items.BeginUpdate();
    items.Clear();
    for (const search::TKeyListItem& list : FModel.KeyLists()) items.Add(list.FName);
    items.EndUpdate();
    KeyListBox->SetItemIndex(FModel.SelectedList());
}

void TFindForm::ShowStartKeys() {
    wide::TWideStrings& items = FindKeyList->Items();
    items.BeginUpdate();
    items.Clear();
    for (const std::wstring& key : FModel.StartKeys()) items.Add(key);
    items.EndUpdate();
}

void TFindForm::SetStartKeys(const std::wstring& text) {
    if (text.empty()) return;
    FModel.SetStartKeys(search::StartKeysFromText(text));
    ShowStartKeys();
}

search::TWendlarFindRecord TFindForm::FindRecord() {
    search::TWendlarFindRecord record;
    record.Keyword = FKeyword;
    record.StartKeys = search::StartKeysText(FModel.StartKeys());
    record.UseRegex = RegExFind->Checked();
    record.IgnoreCase = !NoIgnoreCase->Checked();
    record.WholeMatch = AllMatch->Checked();
    record.NoSubKeys = CheckNoSubKey->Checked();
    record.NoKeyNames = CheckNoKeyName->Checked();
    record.NoValueNames = CheckNoValueFind->Checked();
    record.NoValueData = CheckNoValue->Checked();
    return record;
}

void TFindForm::UpdateActions() {
    wide::TWideForm::UpdateActions();
    UpdateButtons();
}

// --- handlers --------------------------------------------------------------------------

void TFindForm::LoadLists() {
    FPages.Show(0);
    // The first list, then the default one; the main window's keys may follow.
    FModel.Load(FHost.ReadSettingString(L"FindList", L""));
    ShowKeyLists();
    ShowStartKeys();
    const bool regex = FHost.RegexLibraryPresent();
    RegExEngineLabel->SetCaption(regex ? kRegexPresentText : kRegexMissingText);
    RegExFind->SetEnabled(regex);
    for (const std::wstring& word : FModel.History()) FindKeyword->Items().Add(word);
}

void TFindForm::UpdateButtons() {
    DelButton->SetEnabled(FindKeyList->SelCount() > 0);
    OkButton->SetEnabled(FindKeyList->Count() > 0);
}

void TFindForm::DeleteSelectedKeys() {
    std::vector<size_t> selected;
    for (int i = FindKeyList->Count() - 1; i >= 0; --i)
        if (FindKeyList->Selected(i)) selected.push_back(static_cast<size_t>(i));
    FModel.DeleteKeys(std::move(selected));
    ShowStartKeys();
}

void TFindForm::PickStartKey() {
    ShowModalForm<TAddFindPointForm>(
        this, nullptr,
        [this](TAddFindPointForm& picker) {
            if (FModel.AddKey(picker.Address())) ShowStartKeys();
        },
        FHost.ComponentImages());
}

void TFindForm::LoadSelectedList() {
    const int index = KeyListBox->ItemIndex();
    if (index < 0) return;
    FModel.SelectList(index);
    ShowStartKeys();
}

void TFindForm::SaveStartKeysAsList() {
    const std::wstring name =
        wide::WideInputBox(L"キーリストに追加", L"このキー一覧につける名前を指定してください。", L"");
    if (FModel.SaveCurrentAs(name)) ShowKeyLists();
}

void TFindForm::MakeSelectedListDefault() {
    std::wstring name;
    if (FModel.SelectedName(name)) FHost.WriteSettingString(L"FindList", name);
}

void TFindForm::DeleteSelectedList() {
    if (FModel.DeleteSelectedList()) ShowKeyLists();
}

void TFindForm::InsertRegexToken(TComponent* sender) {
    auto* item = dynamic_cast<toolbar::TBarCustomItem*>(sender);
    if (!item) return;
    const search::TTokenInsertion result =
        search::InsertToken(FindKeyword->GetText(), static_cast<size_t>(FindKeyword->SelStart()),
                            static_cast<size_t>(FindKeyword->SelLength()), item->Hint());
    FindKeyword->SetText(result.Text);
    FindKeyword->SetSelStart(static_cast<int>(result.Caret));
    FindKeyword->SetSelLength(0);
    if (FindKeyword->CanFocus()) FindKeyword->SetFocus();
}

void TFindForm::TakeKeyword() {
    // The button closes the dialog with OK whatever the keyword; an empty one is not
    // remembered.
    FKeyword = FindKeyword->GetText();
    FModel.CommitKeyword(FKeyword);
}

}  // namespace searchui
