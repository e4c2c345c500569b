#include "tools/regsizeform.h"

#include "classlib/scopeguard.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/wideedit.h"
#include "controls/wide/widelistview.h"
#include "settings/settingsfiles.h"
#include "widgets/vstab.h"

namespace tools {

using namespace classlib;
using namespace ui;

namespace {

constexpr int FormWidth = 388, FormHeight = 489;
constexpr int ComparePage = 0, ListPage = 1;

wide::TWideListView* AddSizeList(const TPlacer& at, TPlace place, int nameWidth) {
    auto* list = at.Add<wide::TWideListView>(place);
    list->SetViewStyle(wide::vsReport);
    list->ReadOnly = true;
    list->RowSelect = true;
    wide::TWideListColumn* name = list->Columns().Add();
    name->SetCaption(L"ファイル名");
    name->SetWidth(nameWidth);
    wide::TWideListColumn* size = list->Columns().Add();
    size->SetCaption(L"ファイルサイズ");
    size->SetWidth(150);
    return list;
}

void AddRow(wide::TWideListView& list, const std::wstring& name, const std::wstring& size) {
    wide::TWideListItem* item = list.Items().Add();
    item->SetCaption(name);
    item->SubItems().Add(size);
}

}  // namespace

TRegSizeForm::TRegSizeForm(TComponent* owner, std::wstring snapshotFolder, THiveFolders folders)
    : wide::TWideForm(owner),
      FSnapshotFolder(snapshotFolder.empty() ? settings::GetSettingsFilePath(L"RegSize\\") : std::move(snapshotFolder)),
      FFolders(folders.Windows.empty() && folders.Profile.empty() ? GetHiveFolders() : std::move(folders)),
      FDecimal(UserDecimalSeparator()) {
    SetUpDialog(*this, {L"レジストリサイズ計測ツール", FormWidth, FormHeight, false, poScreenCenter});
    const TPlacer at(this, this);
    constexpr int inner = FormWidth - 16;

    VxVSTab = at.Add<widgets::TVxVSTab>({0, 0, FormWidth, 24});
    VxVSTab->SetAlign(alTop);
    VxVSTab->Tabs().Add(L"比較");
    VxVSTab->Tabs().Add(L"リストレポート");
    VxVSTab->SetTabWidth(120);
    VxVSTab->SetEnableBuiltinDragDrop(false);
    VxVSTab->SetMiddleClickClose(false);

    at.Label(L"サイズ単位：", {8, 32, 0, 0});
    kbCheck = at.Radio(L"kB単位", {90, 30, 80, 19}, true);
    mbCheck = at.Radio(L"MB単位", {180, 30, 80, 19});

    FPages = std::make_unique<TNotebookPages>(AddNotebook(at, {0, 54, FormWidth, 222}, alNone, 2));
    const TPlacer compare = at.On(FPages->Pages[ComparePage]);
    auto* snapshots = compare.Add<TUiGroupBox>(L"比較するレジストリサイズ", {8, 0, inner, 92});
    UiListBox = compare.On(snapshots).Add<TUiListBox>({10, 18, inner - 20, 64});
    auto* differences = compare.Add<TUiGroupBox>(L"現在のサイズとの差分", {8, 96, inner, 124});
    WideListViewSize = AddSizeList(compare.On(differences), {10, 18, inner - 20, 96}, 80);

    const TPlacer list = at.On(FPages->Pages[ListPage]);
    WideListView = AddSizeList(list, {8, 0, inner, 186}, 150);
    saveRegSizeButton = list.Button(L"現在のレジストリサイズを保存", {FormWidth - 8 - 210, 192, 210, 25}, mrNone,
                                    [this] { saveRegSizeButtonClick(); });

    auto* report = at.Add<TUiGroupBox>(L"テキストレポート", {8, 280, inner, 168});
    WideMemo = at.On(report).Add<wide::TWideMemo>({10, 18, inner - 20, 140});
    WideMemo->SetReadOnly(true);
    WideMemo->SetWordWrap(false);
    WideMemo->SetScrollBars(wide::TWideCustomMemo::ssBoth);

    OkButton = at.Button(kOkCaption, {FormWidth - 8 - 75, FormHeight - 33, 75, 25}, mrOk);
    OkButton->SetDefault(true);
    OkButton->Cancel = true;

    VxVSTab->OnChange = [this](TComponent*) { VxVSTabChange(); };
    VxVSTab->SetActiveTabIndex(ListPage);
    kbCheck->OnClick = mbCheck->OnClick = [this](TComponent*) { kbCheckClick(); };
    UiListBox->OnClick = [this](TComponent*) { UiListBoxClick(); };
    WideMemo->OnClick = [this](TComponent*) { WideMemo->SelectAll(); };

    Tell = [](const std::wstring& text) { wide::WideShowMessage(text); };
    FPages->Show(ListPage);
    MeasureHives();
    SetActiveControl(OkButton);
}

TRegSizeForm::~TRegSizeForm() = default;

TSizeUnit TRegSizeForm::Unit() const {
    if (kbCheck->Checked()) return TSizeUnit::KB;
    if (mbCheck->Checked()) return TSizeUnit::MB;
    return TSizeUnit::None;
}

void TRegSizeForm::MeasureHives() {
    const std::optional<TWindowsVersion> version = GetOSVersionInfoEx();
    FSizes = MeasureHiveFiles(FFolders, version ? version->Major : 0);
    wide::TWideListItems& items = WideListView->Items();
    items.BeginUpdate();
    const auto end = ScopeExit([&] { items.EndUpdate(); });
    items.Clear();
    for (const THiveSize& size : FSizes) AddRow(*WideListView, size.Name, FormatSize(size.Bytes, Unit(), FDecimal));
    WideMemo->SetText(BuildSizeReport(FSizes, GetWindowsName(version), Unit(), FDecimal));
}

void TRegSizeForm::saveRegSizeButtonClick() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring name = SaveSnapshot(FSnapshotFolder, FSizes, now);
    Tell(L"現在のレジストリサイズを" + name + L"という名前で保存しました。\r\n比較機能で比較が可能です。");
}

void TRegSizeForm::VxVSTabChange() {
    FPages->Show(VxVSTab->ActiveTabIndex() == ComparePage ? ComparePage : ListPage);
    MeasureHives();  // a comparison is with the sizes of now
    UiListBox->Items().Clear();
    WideListViewSize->Items().Clear();
    for (const std::wstring& name : ListSnapshots(FSnapshotFolder)) UiListBox->Items().Add(name);
}

void TRegSizeForm::UiListBoxClick() {
    const int index = UiListBox->ItemIndex();
    if (index < 0) return;
    WideListViewSize->Items().Clear();
    const std::wstring folder =
        FSnapshotFolder.empty() || FSnapshotFolder.back() == L'\\' ? FSnapshotFolder : FSnapshotFolder + L"\\";
    TSnapshotRead read = TSnapshotRead::Read;
    const std::vector<TSizeDifference> rows =
        CompareWithSnapshot(FSizes, folder + UiListBox->Items().Get(index), &read);
    for (const TSizeDifference& row : rows)
        AddRow(*WideListViewSize, row.Name, FormatDifference(row.Difference, Unit(), FDecimal));
    if (read == TSnapshotRead::TooLarge)
        Tell(UiListBox->Items().Get(index) + L"は大きすぎるため比較できません。");
}

void TRegSizeForm::kbCheckClick() {
    MeasureHives();
    UiListBoxClick();
}

}  // namespace tools
