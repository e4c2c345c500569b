#include "searchui/findform.h"

#include <memory>

#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/wide/widedialogs.h"
#include "search/onig_regexp.h"
#include "searchui/addfindpoint.h"
#include "searchui/dialogparts_p.h"
#include "widgets/vstab.h"

namespace searchui {

using namespace classlib;
using namespace ui;
using detail::Place;
using detail::PlaceButton;
using detail::PlaceCaptioned;

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

// A page of the notebook: no border, fills the notebook.
TUiPanel* PlacePage(TComponent* owner, TWinControl* notebook) {
    auto* page = Place<TUiPanel>(owner, notebook, 0, 0, kClientWidth, kPageHeight);
    page->SetBorders(false);
    page->SetAlign(alClient);
    return page;
}

// An item of a menu (or a submenu); "-" makes a separator line.
template <class Item = TUiItem>
Item* AddMenuItem(TComponent* owner, toolbar::TBarCustomItem* parent, const std::wstring& caption,
                  int imageIndex = -1) {
    if (caption == L"-") {
        parent->Add(new TUiSeparatorItem(owner));
        return nullptr;
    }
    auto* item = new Item(owner);
    item->SetCaption(caption);
    item->SetImageIndex(imageIndex);
    parent->Add(item);
    return item;
}

}  // namespace

TFindFormFiles TFindFormFiles::InSettingsFolder() {
    return {search::FindKeyListFileName(), search::FindWordFileName()};
}

TFindForm::TFindForm(TComponent* owner, IFindDialogHost& host, const TFindFormFiles& files)
    : wide::TWideForm(owner), FHost(host), FModel(files.KeyLists, files.Words) {
    detail::SetUpDialogForm(*this, L"検索フォーム", kClientWidth, 25 + kPageHeight + kButtonRowHeight);

    VxVSTab1 = Place<widgets::TVxVSTab>(this, this, 0, 0, kClientWidth, 25);
    VxVSTab1->SetAlign(alTop);
    VxVSTab1->Tabs().Add(L"範囲とキーワード");
    VxVSTab1->Tabs().Add(L"検索オプション");
    VxVSTab1->SetEnableBuiltinDragDrop(false);
    VxVSTab1->SetMiddleClickClose(false);

    ButtonPanel = Place<TUiPanel>(this, this, 0, 25 + kPageHeight, kClientWidth, kButtonRowHeight);
    ButtonPanel->SetAlign(alBottom);
    ButtonPanel->SetBorders(false);
    CancelButton = PlaceButton(this, ButtonPanel, L"キャンセル", 272, 8, 75, mrCancel);
    CancelButton->Cancel = true;
    OkButton = PlaceButton(this, ButtonPanel, L"OK(&O)", 355, 8, 75, mrOk);
    OkButton->SetDefault(true);
    OkButton->SetEnabled(false);

    Notebook = Place<TUiPanel>(this, this, 0, 25, kClientWidth, kPageHeight);
    Notebook->SetAlign(alClient);
    Notebook->SetBorders(false);
    Notebook->SetTabOrder(0);
    PageRange = PlacePage(this, Notebook);
    PageOptions = PlacePage(this, Notebook);

    BuildMenus();
    BuildRangePage();
    BuildOptionsPage();

    VxVSTab1->OnChange = [this](TComponent*) { ShowPage(VxVSTab1->ActiveTabIndex()); };
    OnClose = [this](TComponent*, TCloseAction&) { WideFormClose(); };
    SetActiveControl(FindKeyword);
    WideFormCreate();
}

TFindForm::~TFindForm() = default;

void TFindForm::BuildMenus() {
    PrisetMenu = new TUiPopupMenu(this);
    PrisetMenu->SetImages(FHost.ToolBarImages());
    toolbar::TBarCustomItem* root = PrisetMenu->Items();
    PMKeyListSave = AddMenuItem(this, root, L"現在開いているキーに名前をつけてキーリストに保存", kSaveListImage);
    AddMenuItem(this, root, L"-");
    PMKeyListDef = AddMenuItem(this, root, L"現在キーリストで選択している値をデフォルトにする", kDefaultListImage);
    PMKeyListLoad = AddMenuItem(this, root, L"現在選択しているキーリストからキーをロード");
    AddMenuItem(this, root, L"-");
    PMKeyListDelete = AddMenuItem(this, root, L"現在キーリストで選択している項目を削除する");
    PMKeyListSave->SetOnClick([this](TComponent*) { PMKeyListSaveClick(); });
    PMKeyListDef->SetOnClick([this](TComponent*) { PMKeyListDefClick(); });
    PMKeyListLoad->SetOnClick([this](TComponent*) { PMKeyListLoadClick(); });
    PMKeyListDelete->SetOnClick([this](TComponent*) { PMKeyListDeleteClick(); });

    // Every token item keeps the text it inserts as its hint; one handler serves them all.
    RegExPopup = new TUiPopupMenu(this);
    auto addToken = [this](toolbar::TBarCustomItem* parent, const wchar_t* caption, const wchar_t* token) {
        TUiItem* item = AddMenuItem(this, parent, caption ? caption : L"-");
        if (!item || !token) return;
        item->SetHint(token);
        item->SetOnClick([this](TComponent* sender) { UiItem6Click(sender); });
    };
    for (const search::TRegexTokenMenu& menu : search::RegexTokenMenus()) {
        if (menu.Items.empty()) {
            addToken(RegExPopup->Items(), menu.Caption, menu.Token);
            continue;
        }
        TUiSubmenuItem* sub = AddMenuItem<TUiSubmenuItem>(this, RegExPopup->Items(), menu.Caption);
        for (const search::TRegexTokenItem& item : menu.Items) addToken(sub, item.Caption, item.Token);
    }
}

void TFindForm::BuildRangePage() {
    GroupBasic = PlaceCaptioned<TUiGroupBox>(this, PageRange, L"基本", 8, 8, 424, 180);
    KeywordLabel = PlaceCaptioned<TUiLabel>(this, GroupBasic, L"キーワード：", 12, 22, 120, 16);
    FindKeyword = Place<TUiComboBox>(this, GroupBasic, 12, 40, 358, 23);
    FindKeyword->SetStyle(wide::csDropDown);
    FindKeyword->AutoComplete = false;
    KeywordLabel->SetFocusControl(FindKeyword);
    RegExButton = Place<TUiSpeedButton>(this, GroupBasic, 376, 39, 36, 24);
    RegExButton->SetImages(FHost.ToolBarImages());
    RegExButton->SetImageIndex(kTokenButtonImage);
    RegExButton->SetDropDownMenu(RegExPopup);
    NormalFind = PlaceCaptioned<TUiRadioButton>(this, GroupBasic, L"通常検索を使う", 12, 72, 300, 18);
    NoIgnoreCase = PlaceCaptioned<TUiCheckBox>(this, GroupBasic, L"大文字小文字を区別する", 30, 93, 300, 18);
    AllMatch = PlaceCaptioned<TUiCheckBox>(this, GroupBasic, L"完全に一致したときのみヒットとする", 30, 114, 300, 18);
    RegExFind = PlaceCaptioned<TUiRadioButton>(this, GroupBasic, L"正規表現を使う", 12, 136, 300, 18);
    RegExEngineLabel = Place<TUiLabel>(this, GroupBasic, 30, 157, 380, 16);
    NormalFind->SetChecked(true);

    GroupKeys = PlaceCaptioned<TUiGroupBox>(this, PageRange, L"検索するキー", 8, 196, 424, 226);
    KeyListLabel = PlaceCaptioned<TUiLabel>(this, GroupKeys, L"キーリスト：", 12, 24, 80, 16);
    KeyListBox = Place<TUiComboBox>(this, GroupKeys, 94, 20, 182, 23);
    KeyListBox->SetStyle(wide::csDropDownList);
    KeyListLabel->SetFocusControl(KeyListBox);
    KeyListButton = PlaceButton(this, GroupKeys, L"キーリストの操作", 282, 19, 130, mrNone);
    KeyListButton->SetDropDownMenu(PrisetMenu);
    // The selection style is part of the window's style: set before the window is made.
    FindKeyList = new TUiListBox(this);
    FindKeyList->MultiSelect = true;
    FindKeyList->SetParent(GroupKeys);
    FindKeyList->SetBounds(12, 52, 400, 132);
    DelButton = PlaceButton(this, GroupKeys, L"削除", 256, 191, 75, mrNone);
    DelButton->SetEnabled(false);
    AddButton = PlaceButton(this, GroupKeys, L"追加(&A)", 337, 191, 75, mrNone);

    KeyListBox->OnChange = [this](TComponent*) { PMKeyListLoadClick(); };
    DelButton->OnClick = [this](TComponent*) { DelButtonClick(); };
    AddButton->OnClick = [this](TComponent*) { UiButton2Click(); };
    OkButton->OnClick = [this](TComponent*) { OkButtonClick(); };
}

void TFindForm::BuildOptionsPage() {
    GroupTargets = PlaceCaptioned<TUiGroupBox>(this, PageOptions, L"検索対象", 8, 8, 424, 122);
    CheckNoSubKey = PlaceCaptioned<TUiCheckBox>(this, GroupTargets, L"サブキーは検索しないようにする", 12, 24, 400, 18);
    CheckNoKeyName = PlaceCaptioned<TUiCheckBox>(this, GroupTargets, L"キー名は検索しない", 12, 48, 400, 18);
    CheckNoValueFind = PlaceCaptioned<TUiCheckBox>(this, GroupTargets, L"値の名前は検索しない", 12, 72, 400, 18);
    CheckNoValue = PlaceCaptioned<TUiCheckBox>(this, GroupTargets, L"値のデータは検索しない", 12, 96, 400, 18);
}

void TFindForm::ShowPage(int index) {
    PageRange->SetVisible(index == 0);
    PageOptions->SetVisible(index == 1);
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
    ApplicationEventsIdle();
}

// --- handlers --------------------------------------------------------------------------

void TFindForm::WideFormCreate() {
    ShowPage(0);
    // The first list, then the default one; the main window's keys may follow.
    FModel.Load(FHost.ReadSettingString(L"FindList", L""));
    ShowKeyLists();
    ShowStartKeys();
    const bool regex = FHost.RegexLibraryPresent();
    RegExEngineLabel->SetCaption(regex ? kRegexPresentText : kRegexMissingText);
    RegExFind->SetEnabled(regex);
    for (const std::wstring& word : FModel.History()) FindKeyword->Items().Add(word);
}

void TFindForm::WideFormClose() { FModel.SaveKeyLists(); }

void TFindForm::ApplicationEventsIdle() {
    DelButton->SetEnabled(FindKeyList->SelCount() > 0);
    OkButton->SetEnabled(FindKeyList->Count() > 0);
}

void TFindForm::DelButtonClick() {
    std::vector<size_t> selected;
    for (int i = FindKeyList->Count() - 1; i >= 0; --i)
        if (FindKeyList->Selected(i)) selected.push_back(static_cast<size_t>(i));
    FModel.DeleteKeys(std::move(selected));
    ShowStartKeys();
}

void TFindForm::UiButton2Click() {
    std::unique_ptr<TAddFindPointForm> picker(new TAddFindPointForm(this, FHost.ComponentImages()));
    if (picker->ShowModal() != mrOk) return;
    if (FModel.AddKey(picker->Address())) ShowStartKeys();
}

void TFindForm::PMKeyListLoadClick() {
    const int index = KeyListBox->ItemIndex();
    if (index < 0) return;
    FModel.SelectList(index);
    ShowStartKeys();
}

void TFindForm::PMKeyListSaveClick() {
    const std::wstring name =
        wide::WideInputBox(L"キーリストに追加", L"このキー一覧につける名前を指定してください。", L"");
    if (FModel.SaveCurrentAs(name)) ShowKeyLists();
}

void TFindForm::PMKeyListDefClick() {
    std::wstring name;
    if (FModel.SelectedName(name)) FHost.WriteSettingString(L"FindList", name);
}

void TFindForm::PMKeyListDeleteClick() {
    if (FModel.DeleteSelectedList()) ShowKeyLists();
}

void TFindForm::UiItem6Click(TComponent* sender) {
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

void TFindForm::OkButtonClick() {
    // The button closes the dialog with OK whatever the keyword; an empty one is not
    // remembered.
    FKeyword = FindKeyword->GetText();
    FModel.CommitKeyword(FKeyword);
}

}  // namespace searchui
