#include "tools/settingform.h"

#include "classlib/application.h"
#include "classlib/menus.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widecolorbox.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/widehotkey.h"
#include "controls/wide/widelistview.h"
#include "options/actiontable.h"
#include "tools/colorsettings.h"
#include "tools/spintext.h"

#include <algorithm>

namespace tools {

using namespace classlib;
using options::TOptionDef;
using options::TOptionType;
using ui::TPlace;
using ui::TPlacer;
using ui::TRows;

namespace {

constexpr int kClientWidth = 571;
constexpr int kClientHeight = 496;
constexpr int kListWidth = 173;
constexpr int kButtonPanelHeight = 48;
constexpr int kPageWidth = kClientWidth - kListWidth;
constexpr int kPageHeight = kClientHeight - kButtonPanelHeight;
constexpr int kGroupWidth = kPageWidth - 16;
constexpr int kRow = 20;

// A number field that had to be corrected: a pale red face until it holds what it shows.
constexpr TColor kMarkedColor = 0x00C8C8FF;

constexpr const wchar_t* kPageNames[] = {L"基本設定", L"その他", L"色設定", L"キーボードショートカット",
                                         L"マウスジェスチャー"};

constexpr const wchar_t* kColorFilter = L"色設定ファイル(*.color)|*.color|全てのファイル(*.*)|*.*";

// The largest font size the option table keeps (its height range at this screen's
// resolution, and its size range).
int LargestFontPoints(const TOptionDef& height, const TOptionDef& size) {
    return std::min(size.Max, MulDiv(height.Max, 72, TFont::PixelsPerInch()));
}

}  // namespace

struct TSettingForm::TPages {
    ui::TNotebookPages Notebook;
};

TSettingForm::TSettingForm(TComponent* owner, ISettingDialogHost& host)
    : wide::TWideForm(owner),
      FHost(host),
      FDocument({host.SettingsFilePath(L"setting.db"), host.SettingsFilePath(L"HotKey.db"),
                 host.SettingsFilePath(L"Gesture.db")},
                host.Commands(), host.Themes().CurrentTheme()),
      FOpenedHotKeys(FDocument.HotKeys),
      FOpenedGestures(FDocument.Gestures),
      FThemes(host.Themes()),
      FPages(std::make_unique<TPages>()) {
    SetName(L"SettingForm");
    ui::SetUpDialog(*this, {L"設定", kClientWidth, kClientHeight, false, poScreenCenter});
    const TPlacer at(this, this);

    ui::TUiPanel* buttons = at.Panel({0, kPageHeight, kClientWidth, kButtonPanelHeight}, alBottom);
    const std::vector<TPlace> places = ui::ButtonRow(kClientWidth - 8, 12, {75, 75});
    const ui::TOkCancel pair = ui::AddOkCancel(at.On(buttons), {places[0], places[1]}, [this] { return Accept(); });
    UiButton2 = pair.Ok;
    UiButton1 = pair.Cancel;

    UiListBox1 = at.Add<ui::TUiListBox>({0, 0, kListWidth, kPageHeight});
    UiListBox1->SetAlign(alLeft);
    UiListBox1->ItemHeight = 16;
    for (const wchar_t* name : kPageNames) UiListBox1->Items().Add(name);
    UiListBox1->OnClick = [this](TComponent*) { UiListBox1Click(); };

    FPages->Notebook = ui::AddNotebook(at, {kListWidth, 0, kPageWidth, kPageHeight}, alClient, 5);
    BuildBasicPage(*FPages->Notebook.Pages[0]);
    BuildTreePage(*FPages->Notebook.Pages[1]);
    BuildColorPage(*FPages->Notebook.Pages[2]);
    BuildShortcutPage(*FPages->Notebook.Pages[3]);
    BuildGesturePage(*FPages->Notebook.Pages[4]);

    UiListBox1->SetItemIndex(0);
    FPages->Notebook.Show(0);
    ShowOptions();
    UpdateEditors();
    SetActiveControl(UiListBox1);

    OnShow = [this](TComponent*) {
        if (Application) Application->QueueCall([this] { TellDamagedFiles(); }, this);
    };
    // Any way out but OK puts back the theme the dialog opened with.
    OnClose = [this](TComponent*, TCloseAction&) {
        if (ModalResult() != mrOk) FThemes.Restore();
    };
}

TSettingForm::~TSettingForm() {
    if (Application) Application->CancelQueuedCalls(this);
}

void TSettingForm::Bind(const wchar_t* key, TControl* control) {
    FFields[key] = control;
    if (control->Name().empty()) control->SetName(key);
}

TControl* TSettingForm::FieldOf(const std::wstring& key) const {
    const auto found = FFields.find(key);
    return found == FFields.end() ? nullptr : found->second;
}

int TSettingForm::PageIndex() const {
    for (size_t i = 0; i < FPages->Notebook.Pages.size(); ++i)
        if (FPages->Notebook.Pages[i]->Visible()) return static_cast<int>(i);
    return -1;
}

// --- pages ------------------------------------------------------------------------------------

void TSettingForm::BuildBasicPage(TWinControl& page) {
    const TPlacer on(this, &page);
    auto checks = [this](const TPlacer& group, TRows& rows,
                         std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> items) {
        for (const auto& [key, caption] : items) Bind(key, group.Check(caption, rows.Next()));
    };

    auto* face = on.Add<ui::TUiGroupBox>(L"インターフェイス", {8, 4, kGroupWidth, 72});
    const TPlacer inFace = on.On(face);
    SetThmThemes = inFace.Labeled<ui::TUiComboBox>(L"Thmテーマ：", {12, 21, 0, 0}, {90, 18, 180, 21});
    SetThmThemes->SetName(L"SetThmThemes");
    SetThmThemes->SetStyle(wide::csDropDownList);
    for (const std::wstring& name : FThemes.Names()) SetThmThemes->Items().Add(name);
    SetThmThemes->OnChange = [this](TComponent*) { SetThmThemesChange(); };
    Bind(L"ThmTheme", SetThmThemes);
    Bind(L"SetSmartDock", inFace.Check(L"スマートドッキング", {12, 46, 0, 0}));
    Bind(L"SetSmartDrag", inFace.Check(L"スマートドラッグ", {145, 46, 0, 0}));
    Bind(L"SetToolBarKotei", inFace.Check(L"ツールバーの固定", {270, 46, 0, 0}));

    auto* other = on.Add<ui::TUiGroupBox>(L"その他オプション", {8, 82, kGroupWidth, 24 + 11 * kRow});
    TRows otherRows(12, 20, 0, 0, kRow);
    checks(on.On(other), otherRows,
           {{L"SetConnectCMD", L"コマンドラインで渡されたパスを全部１つにつなげる"},
            {L"SetNoKeyUndo", L"キーの削除時にアンドゥを取らない"},
            {L"SetNoMutex", L"二重起動を許可する"},
            {L"SetNoCreateWnd", L"起動時に空のウインドウを開くのをやめる"},
            {L"SetNoSaveWnd", L"終了時にウインドウ位置を保存しない"},
            {L"SetRepYajirusi", L"→記号の自動/置換"},
            {L"SetValueClip", L"コピーした値を貼り付けた時にクリップボードに残しておく"},
            {L"SetKeyClip", L"コピーしたキーを貼り付けた時にクリップボードに残しておく"},
            {L"SetRegDateView", L"レジストリツリーで最終更新時刻の表示を行う(再起動後有効)"},
            {L"SetHideMainForm", L"起動時タブのロードが終わるまでフォームを表示しない"},
            {L"SetWinReg", L"WinXPまでのRegEditを開く時に今開いているキーを指定する"}});

    auto* danger = on.Add<ui::TUiGroupBox>(L"危険機能", {8, 82 + 24 + 11 * kRow + 8, kGroupWidth, 24 + 3 * kRow});
    danger->SetBorderType(ui::pbrBumped);
    TRows dangerRows(12, 20, 0, 0, kRow);
    checks(on.On(danger), dangerRows,
           {{L"SetUndoSaving", L"アンドゥデータを終了後も保持"},
            {L"SetNoMessage", L"一括置換、一括削除実行時にしつこく警告を出さない"},
            {L"SetNoAllMessage", L"上記処理以外の処理でも一切警告を出さない"}});
}

ui::TUiSpinEdit* TSettingForm::AddNumberField(const TPlacer& group, const wchar_t* key, const wchar_t* caption,
                                              const TPlace& label, const TPlace& field) {
    auto* spin = group.Labeled<ui::TUiSpinEdit>(caption, label, field);
    const TOptionDef& def = *options::FindOptionDef(key);
    spin->SetMaxValue(def.Max);
    spin->SetMinValue(def.Min);
    spin->OnExit = [this, spin](TComponent*) { ReadNumberField(*spin); };
    spin->OnKeyPress = [this, spin](TComponent*, wchar_t& ch) {
        if (ch == L'\r') ReadNumberField(*spin);
    };
    FNumberFields.push_back(spin);
    Bind(key, spin);
    return spin;
}

void TSettingForm::BuildTreePage(TWinControl& page) {
    const TPlacer on(this, &page);
    auto path = [this](const TPlacer& group, const wchar_t* key, TPlace place, const wchar_t* filter) {
        auto* edit = group.Add<ui::TUiButtonEdit>(place);
        Bind(key, edit);
        edit->EditButton()->OnClick = [this, edit, filter](TComponent*) { ChooseFileInto(*edit, filter); };
        return edit;
    };

    auto* search = on.Add<ui::TUiGroupBox>(L"インクリメンタルサーチ", {8, 4, kGroupWidth, 24 + 4 * kRow});
    const TPlacer inSearch = on.On(search);
    TRows searchRows(12, 20, 0, 0, kRow);
    Bind(L"SetIncTop", inSearch.Check(L"一番上のキーから行う", searchRows.Next()));
    Bind(L"SetIncNoCol", inSearch.Check(L"閉じているキーは検索対象からはずす", searchRows.Next()));
    Bind(L"SetIncIgnoreCase", inSearch.Check(L"大文字小文字を区別しないで検索", searchRows.Next()));
    AddNumberField(inSearch, L"SetIncTime", L"入力受付時間：", {12, 84, 0, 0}, {110, 80, 90, 21});

    auto* editor = on.Add<ui::TUiGroupBox>(L"アイテムエディタ", {8, 114, kGroupWidth, 64});
    const TPlacer inEditor = on.On(editor);
    inEditor.Label(L"REG_MULTI_SZおよびレジストリスクリプト編集用外部エディタ", {12, 18, 0, 0});
    path(inEditor, L"SetRegTextEditor", {12, 34, kGroupWidth - 24, 21}, L"実行ファイル(*.exe)|*.exe|全てのファイル(*.*)|*.*");

    auto* tabs = on.Add<ui::TUiGroupBox>(L"タブ", {8, 186, kGroupWidth, 128});
    const TPlacer inTabs = on.On(tabs);
    AddNumberField(inTabs, L"SetTabWidth", L"タブ幅(-1で自動調節)：", {12, 22, 0, 0}, {160, 18, 90, 21});
    Bind(L"SetLoadTab", inTabs.Check(L"起動時に前回開いていたタブをロードする", {12, 46, 0, 0}));
    Bind(L"SetLoadTabSettingFile",
         inTabs.Check(L"起動時に前回開いていたタブの代わりにタブ設定ファイルを開く", {12, 66, 0, 0}));
    inTabs.Label(L"起動時に開くタブ設定ファイル", {12, 86, 0, 0});
    path(inTabs, L"SetLoadTabSettingFilePath", {12, 101, kGroupWidth - 24, 21},
         L"tabファイル(*.tab)|*.tab|全てのファイル(*.*)|*.*");

    auto* font = on.Add<ui::TUiGroupBox>(L"フォントの設定(完全に有効になるのは再起動後)", {8, 322, kGroupWidth, 64});
    const TPlacer inFont = on.On(font);
    SettingFontButton = inFont.Button(L"フォントの設定", {12, 24, 100, 25}, mrNone, [this] { SettingFontButtonClick(); });
    SettingFontButton->SetName(L"SettingFontButton");
    FontPreviewLabel = inFont.Label(L"プレビュー", {124, 28, 0, 0});
    FontPreviewLabel->SetName(L"FontPreviewLabel");
}

void TSettingForm::BuildColorPage(TWinControl& page) {
    const TPlacer on(this, &page);
    const ui::TTabPages tabs =
        ui::AddTabPages(on, {8, 4, kGroupWidth, 330}, {L"コントロール、ツリー、リスト", L"タブ"});
    tabs.Tabs->SetName(L"UiTabControl2");
    auto box = [this](const TPlacer& group, const wchar_t* key, const wchar_t* caption, int top) {
        const TOptionDef& def = *options::FindOptionDef(key);
        auto* colours = group.Labeled<wide::TColorBox>(caption, {12, top + 4, 0, 0}, {190, top, 160, 22});
        colours->SetColorStyle(wide::cbStandardColors | wide::cbExtendedColors | wide::cbSystemColors |
                               wide::cbCustomColor | (def.DefaultColourAllowed ? wide::cbIncludeDefault : 0));
        colours->SetSelected(std::get<int32_t>(options::DefaultValue(def)));
        Bind(key, colours);
    };

    const TPlacer first = on.On(tabs.Sheets[0]);
    const int inner = kGroupWidth - 16;
    const TPlacer sort = on.On(first.Add<ui::TUiGroupBox>(L"リストのソート列の色", {8, 8, inner, 52}));
    box(sort, L"ColorBoxSortCol", L"背景色：", 20);
    const TPlacer tree = on.On(first.Add<ui::TUiGroupBox>(L"ツリーの色", {8, 68, inner, 52}));
    box(tree, L"ColorBoxReadOnly", L"読み取り専用：", 20);
    const TPlacer control = on.On(first.Add<ui::TUiGroupBox>(L"コントロールの色", {8, 128, inner, 80}));
    box(control, L"ColorBoxControlBack", L"背景色：", 20);
    box(control, L"ColorBoxControlText", L"前景色：", 48);

    const TPlacer tab = on.On(on.On(tabs.Sheets[1]).Add<ui::TUiGroupBox>(L"タブの色", {8, 8, inner, 24 + 7 * 28}));
    int top = 20;
    for (const auto& [key, caption] : std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>{
             {L"ColorBoxTabGS", L"グラデーション(上部)："},
             {L"ColorBoxTabGE", L"グラデーション(下部)："},
             {L"ColorBoxTabGAS", L"グラデーション(アクティブ時上部)："},
             {L"ColorBoxTabGAE", L"グラデーション(アクティブ時下部)："},
             {L"ColorBoxTabText", L"文字色："},
             {L"ColorBoxTabTextActive", L"文字色(アクティブ時)："},
             {L"ColorBoxTabBack", L"背景色："}}) {
        box(tab, key, caption, top);
        top += 28;
    }

    on.Label(L"色設定は再起動後に全ての反映が行われます", {12, 342, 0, 0});
    const TPlacer actions = on.On(on.Panel({8, 362, kGroupWidth, 40}));
    UiButton3 = actions.Button(L"デフォルトに戻す", {0, 8, 120, 25}, mrNone, [this] { ResetColors(); });
    UiButton3->SetName(L"UiButton3");
    UiButton4 = actions.Button(L"プリセット", {128, 8, 110, 25});
    UiButton4->SetName(L"UiButton4");
    ColorPrisetPopup = new ui::TUiPopupMenu(this);
    ColorPrisetPopup->SetName(L"ColorPrisetPopup");
    UiItem2 = ui::AddMenuItem(this, ColorPrisetPopup->Items(), L"名前をつけて色設定を保存", -1,
                              [this](TComponent*) { SavePreset(); });
    UiItem1 = ui::AddMenuItem(this, ColorPrisetPopup->Items(), L"色設定をロード", -1,
                              [this](TComponent*) { LoadPreset(); });
    UiButton4->SetDropDownMenu(ColorPrisetPopup);
}

wide::TWideListView* TSettingForm::AddCommandList(TWinControl& parent, int left, int top, int width, int height,
                                                  const wchar_t* valueColumn, const TCommandTable& table) {
    auto* list = TPlacer(this, &parent).Add<wide::TWideListView>({left, top, width, height}, [](wide::TWideListView& l) {
        l.ReadOnly = true;
        l.RowSelect = true;
        l.HideSelection = false;
        l.SetViewStyle(wide::vsReport);
    });
    list->SetSmallImages(FHost.ToolBarImages());
    int column = 0;
    for (const wchar_t* caption : {L"項目", L"カテゴリ", valueColumn}) {
        wide::TWideListColumn* c = list->Columns().Add();
        c->SetCaption(caption);
        c->SetWidth(column++ == 0 ? 120 : caption == valueColumn ? 150 : 80);
    }
    list->Items().BeginUpdate();
    for (int i = 0; i < table.Count(); ++i) {
        const TCommandRow& row = table.Row(i);
        wide::TWideListItem* item = list->Items().Add();
        item->SetCaption(row.Caption);
        item->SubItems().Add(row.Category);
        item->SubItems().Add(row.Value);
        item->SetImageIndex(row.ImageIndex);
    }
    list->Items().EndUpdate();
    return list;
}

void TSettingForm::BuildShortcutPage(TWinControl& page) {
    const TPlacer on(this, &page);
    auto* group = on.Add<ui::TUiGroupBox>(L"ショートカットエディタ", {8, 4, kGroupWidth, kPageHeight - 12});
    HotKeyList = AddCommandList(*group, 12, 20, kGroupWidth - 24, kPageHeight - 110, L"ホットキー", FDocument.HotKeys);
    HotKeyList->SetName(L"HotKeyList");
    HotKeyList->OnSelectItem = [this](TComponent*, wide::TWideListItem*, bool) { HotKeyListChange(); };
    HotKey = on.On(group).Add<wide::THotKey>({12, kPageHeight - 84, 200, 22});
    HotKey->SetName(L"HotKey");
    HotKey->OnChange = [this](TComponent*) { HotKeyChange(); };
    HotKeyNote = on.On(group).Label(L"", {12, kPageHeight - 56, 0, 0});
    HotKeyNote->Font().SetColor(clRed);
}

void TSettingForm::BuildGesturePage(TWinControl& page) {
    const TPlacer on(this, &page);
    auto* basic = on.Add<ui::TUiGroupBox>(L"基本設定", {8, 4, kGroupWidth, 70});
    const TPlacer inBasic = on.On(basic);
    auto* enabled = inBasic.Check(L"有効にする", {12, 20, 0, 0});
    enabled->SetName(L"SetGesture");
    Bind(L"Gesture", enabled);
    AddNumberField(inBasic, L"SetGestureLength", L"認識幅：", {12, 46, 0, 0}, {70, 42, 80, 21});
    AddNumberField(inBasic, L"SetGestureStop", L"停止認識(1/1000秒)：", {170, 46, 0, 0}, {290, 42, 80, 21});

    auto* group = on.Add<ui::TUiGroupBox>(L"ジェスチャーエディタ", {8, 80, kGroupWidth, kPageHeight - 112});
    const TPlacer inGroup = on.On(group);
    const int listHeight = kPageHeight - 112 - 96;
    GestureList = AddCommandList(*group, 12, 20, kGroupWidth - 24, listHeight, L"ジェスチャー", FDocument.Gestures);
    GestureList->SetName(L"GestureList");
    GestureList->OnSelectItem = [this](TComponent*, wide::TWideListItem*, bool) { GestureListChange(); };
    int left = 12;
    const std::span<const TGestureButtonDef> defs = GestureButtonDefs();
    for (size_t i = 0; i < defs.size(); ++i) {
        const int width = defs[i].Caption[1] ? 60 : 34;
        auto* button = inGroup.Button(defs[i].Caption, {left, 26 + listHeight, width, 25}, mrNone,
                                      [this, i] { GestureButtonClick(i); });
        button->SetName(defs[i].Name);
        GestureButtons.push_back(button);
        left += width + 4;
    }
    GestureEditor = inGroup.Add<ui::TUiEdit>({12, 58 + listHeight, kGroupWidth - 24, 21});
    GestureEditor->SetName(L"GestureEditor");
    GestureEditor->SetReadOnly(true);
    GestureEditor->OnChange = [this](TComponent*) { GestureEditorChange(); };
    on.Label(L"ジェスチャー関連の設定は再起動後有効になります", {12, kPageHeight - 26, 0, 0});
}

// --- options ----------------------------------------------------------------------------------

void TSettingForm::ShowOptions() {
    const options::TMainOptions& values = FDocument.Options;
    for (const TOptionDef& def : options::MainOptionDefs()) {
        TControl* field = FieldOf(def.Key);
        const options::TOptionValue value = options::GetOption(values, def);
        if (auto* check = dynamic_cast<ui::TUiCheckBox*>(field)) check->SetChecked(std::get<bool>(value));
        else if (auto* spin = dynamic_cast<ui::TUiSpinEdit*>(field)) spin->SetValue(std::get<int32_t>(value));
        else if (auto* colours = dynamic_cast<wide::TColorBox*>(field)) colours->SetSelected(std::get<int32_t>(value));
        else if (auto* edit = dynamic_cast<ui::TUiButtonEdit*>(field)) edit->SetText(std::get<std::wstring>(value));
    }
    SetThmThemes->SetItemIndex(FThemes.CurrentIndex());
    FFont = values.Font;
    ShowFont();
}

options::TMainOptions TSettingForm::CurrentOptions() {
    options::TMainOptions values = FDocument.Options;
    for (const TOptionDef& def : options::MainOptionDefs()) {
        TControl* field = FieldOf(def.Key);
        if (auto* check = dynamic_cast<ui::TUiCheckBox*>(field)) options::SetOption(values, def, check->GetChecked());
        else if (auto* spin = dynamic_cast<ui::TUiSpinEdit*>(field))
            options::SetOption(values, def, static_cast<int32_t>(spin->GetIntegerValue()));
        else if (auto* colours = dynamic_cast<wide::TColorBox*>(field)) options::SetOption(values, def, colours->Selected());
        else if (auto* edit = dynamic_cast<ui::TUiButtonEdit*>(field)) options::SetOption(values, def, edit->GetText());
    }
    const int theme = SetThmThemes->ItemIndex();
    if (theme >= 0) values.ThmTheme = SetThmThemes->Items().Get(theme);
    values.Font = FFont;
    return values;
}

void TSettingForm::ShowFont() {
    TFont font;
    options::ApplyFontOptions(FFont, font);
    FontPreviewLabel->Font().Assign(font);
}

void TSettingForm::TellDamagedFiles() {
    std::wstring text;
    for (const std::wstring& file : FDocument.LossyFiles())
        text += L"\"" + file + L"\" には読めない部分がありました。OK で閉じると、読めた内容で書き直されます。\n";
    for (const TSaveFailure& file : FDocument.UnreadableFiles())
        text += L"\"" + file.FileName + L"\" を読めませんでした。既定の値を表示しています。\n" + file.Message + L"\n";
    if (!text.empty()) wide::WideMessageDlg(text, wide::mtWarning, wide::mbOKOnly, 0);
}

bool TSettingForm::ReadNumberField(ui::TUiSpinEdit& field) {
    const auto previous = static_cast<int32_t>(field.GetIntegerValue());
    const TSpinText read = ReadSpinText(field.GetText(), static_cast<int32_t>(field.MinValue()),
                                        static_cast<int32_t>(field.MaxValue()), previous);
    if (read.State != TSpinTextState::NotANumber) field.SetValue(read.Value);
    field.ApplyText();
    const bool kept = read.State == TSpinTextState::Valid;
    field.SetColor(kept ? clWindow : kMarkedColor);
    field.SetHint(kept ? L""
                       : L"範囲 " + std::to_wstring(static_cast<int32_t>(field.MinValue())) + L"～" +
                             std::to_wstring(static_cast<int32_t>(field.MaxValue())) + L" の数値を入力してください");
    field.SetShowHint(!kept);
    return kept;
}

bool TSettingForm::Accept() {
    for (ui::TUiSpinEdit* field : FNumberFields) {
        if (ReadNumberField(*field)) continue;
        for (size_t page = 0; page < FPages->Notebook.Pages.size(); ++page)
            for (TWinControl* parent = field->Parent(); parent; parent = parent->Parent())
                if (parent == FPages->Notebook.Pages[page]) {
                    UiListBox1->SetItemIndex(static_cast<int>(page));
                    FPages->Notebook.Show(static_cast<int>(page));
                }
        field->SetFocus();
        return false;
    }
    if (!ConfirmSharedBindings()) return false;
    FDocument.Options = CurrentOptions();
    if (const std::optional<TSaveFailure> failure = FDocument.Save()) {
        wide::WideMessageDlg(L"\"" + failure->FileName + L"\" に書き込めませんでした。\n" + failure->Message,
                             wide::mtError, wide::mbOKOnly, 0);
        return false;
    }
    return true;
}

bool TSettingForm::ConfirmSharedBindings() {
    std::wstring text;
    auto collect = [&text](const TCommandTable& table, const TCommandTable& opened) {
        for (int i = 0; i < table.Count(); ++i) {
            if (table.Row(i).Value == opened.Row(i).Value) continue;
            const int other = table.FindOtherWithSameValue(i);
            if (other < 0) continue;
            const TCommandRow& row = table.Row(i);
            const TCommandRow& shared = table.Row(other);
            text += L"「" + row.Value + L"」: " + row.Category + L" / " + row.Caption + L" と " + shared.Category +
                    L" / " + shared.Caption + L"\n";
        }
    };
    collect(FDocument.HotKeys, FOpenedHotKeys);
    collect(FDocument.Gestures, FOpenedGestures);
    if (text.empty()) return true;
    return wide::WideMessageDlg(L"次のショートカットまたはジェスチャーは他のコマンドにも割り当てられています。\n\n" + text +
                                    L"\nこのまま保存しますか？",
                                wide::mtConfirmation, wide::mbYesNo, 0) == mrYes;
}

// --- handlers ---------------------------------------------------------------------------------

void TSettingForm::UiListBox1Click() {
    const int index = UiListBox1->ItemIndex();
    if (index >= 0) FPages->Notebook.Show(index);
}

void TSettingForm::SetThmThemesChange() {
    const int index = SetThmThemes->ItemIndex();
    if (index >= 0) FThemes.Pick(SetThmThemes->Items().Get(index));
}

void TSettingForm::SettingFontButtonClick() {
    TFont font;
    font.Assign(FontPreviewLabel->Font());
    const TOptionDef& height = *options::FindOptionDef(L"FontHeight");
    const TOptionDef& size = *options::FindOptionDef(L"FontSize");
    if (!FHost.ChooseFont(Handle(), font, 1, LargestFontPoints(height, size))) return;
    const auto within = [](int value, const TOptionDef& def) { return std::clamp(value, def.Min, def.Max); };
    FFont.Name = font.Name().substr(0, static_cast<size_t>(options::FindOptionDef(L"FontName")->Max));
    FFont.Charset = font.Charset();
    FFont.Height = within(font.Height(), height);
    FFont.Size = within(font.Size(), size);
    ShowFont();
}

void TSettingForm::ChooseFileInto(ui::TUiButtonEdit& edit, const wchar_t* filter) {
    TFileChoice choice;
    choice.Filter = filter;
    choice.FilterIndex = 1;
    std::wstring fileName;
    if (FHost.ChooseFile(Handle(), choice, fileName)) edit.SetText(fileName);
}

void TSettingForm::ResetColors() {
    if (wide::WideMessageDlg(L"全ての色設定をデフォルトに戻します。よろしいですか？", wide::mtWarning, wide::mbYesNo, 0) !=
        mrYes)
        return;
    for (const TOptionDef* def : ColorResetOrder())
        if (auto* colours = dynamic_cast<wide::TColorBox*>(FieldOf(def->Key)))
            colours->SetSelected(std::get<int32_t>(options::DefaultValue(*def)));
}

void TSettingForm::SavePreset() {
    TFileChoice choice;
    choice.Save = true;
    choice.DefaultExt = L"color";
    choice.Filter = kColorFilter;
    choice.OverwritePrompt = true;
    std::wstring fileName;
    if (!FHost.ChooseFile(Handle(), choice, fileName)) return;
    const TPresetOutcome outcome = SaveColorPreset(fileName, CurrentOptions());
    std::wstring problem;
    switch (outcome.Result) {
    case TPresetResult::Done: return;
    case TPresetResult::TooLarge:
    case TPresetResult::NotClean:
        problem = L"は色設定ファイルとして読めないため、上書きしませんでした。";
        break;
    case TPresetResult::Failed: problem = L"に書き込めませんでした。\n" + outcome.Error; break;
    }
    wide::WideMessageDlg(L"\"" + fileName + L"\" " + problem, wide::mtError, wide::mbOKOnly, 0);
}

void TSettingForm::LoadPreset() {
    TFileChoice choice;
    choice.DefaultExt = L"color";
    choice.Filter = kColorFilter;
    choice.FileMustExist = true;
    std::wstring fileName;
    if (!FHost.ChooseFile(Handle(), choice, fileName)) return;
    options::TMainOptions colours = CurrentOptions();
    const TPresetOutcome outcome = LoadColorPreset(fileName, colours);
    switch (outcome.Result) {
    case TPresetResult::Done:
        for (const TOptionDef* def : ColorOptionDefs())
            if (auto* box = dynamic_cast<wide::TColorBox*>(FieldOf(def->Key)))
                box->SetSelected(std::get<int32_t>(options::GetOption(colours, *def)));
        return;
    case TPresetResult::TooLarge:
        wide::WideMessageDlg(L"\"" + fileName + L"\" は色設定ファイルとしては大きすぎるため、読み込みませんでした。",
                             wide::mtError, wide::mbOKOnly, 0);
        return;
    case TPresetResult::NotClean:
    case TPresetResult::Failed:
        wide::WideMessageDlg(L"\"" + fileName + L"\" を読み込めませんでした。\n" + outcome.Error, wide::mtError,
                             wide::mbOKOnly, 0);
        return;
    }
}

// --- tables -----------------------------------------------------------------------------------

void TSettingForm::HotKeyListChange() {
    UpdateEditors();
    HotKeyNote->SetCaption(L"");
    wide::TWideListItem* item = HotKeyList->Selected();
    if (!item) return;
    FSettingEditors = true;
    HotKey->SetHotKey(TextToShortCut(FDocument.HotKeys.Row(HotKeyList->Items().IndexOf(item)).Value));
    FSettingEditors = false;
}

void TSettingForm::HotKeyChange() {
    wide::TWideListItem* item = HotKeyList->Selected();
    if (FSettingEditors || !item) return;
    const int row = HotKeyList->Items().IndexOf(item);
    const TShortCut shortCut = HotKey->HotKey();
    if (options::IsTypingShortCut(shortCut)) {
        HotKeyNote->SetCaption(L"「" + ShortCutToText(shortCut) +
                               L"」は文字の入力に使うキーのため割り当てられません。Ctrl か Alt と組み合わせてください。");
        FSettingEditors = true;
        HotKey->SetHotKey(TextToShortCut(FDocument.HotKeys.Row(row).Value));
        FSettingEditors = false;
        return;
    }
    HotKeyNote->SetCaption(L"");
    const std::wstring text = ShortCutToText(shortCut);
    FDocument.HotKeys.SetValue(row, text);
    item->SubItems().Put(1, text);
}

void TSettingForm::GestureListChange() {
    UpdateEditors();
    wide::TWideListItem* item = GestureList->Selected();
    if (!item) return;
    GestureEditor->SetText(FDocument.Gestures.Row(GestureList->Items().IndexOf(item)).Value);
}

void TSettingForm::GestureButtonClick(size_t button) {
    if (!GestureList->Selected()) return;
    GestureEditor->SetText(ApplyGestureButton(GestureEditor->GetText(), GestureButtonDefs()[button]));
}

void TSettingForm::GestureEditorChange() {
    wide::TWideListItem* item = GestureList->Selected();
    if (!item) return;
    const std::wstring text = GestureEditor->GetText();
    FDocument.Gestures.SetValue(GestureList->Items().IndexOf(item), text);
    item->SubItems().Put(1, text);
}

void TSettingForm::UpdateEditors() {
    const bool gesture = GestureList->Selected() != nullptr;
    for (ui::TUiButton* button : GestureButtons) button->SetEnabled(gesture);
    HotKey->SetEnabled(HotKeyList->Selected() != nullptr);
}

}  // namespace tools
