#include "editors/binaryeditorform.h"

#include "classlib/actions.h"
#include "classlib/menus.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/themed/thmdock.h"
#include "controls/toolbar/themed/thmitems.h"
#include "controls/toolbar/themed/thmtoolbar.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/wideedit.h"
#include "hexedit/hexeditorex.h"
#include "registry/regtext.h"
#include "uihelpers/filedialogs.h"

#include <algorithm>
#include <cmath>

namespace editors {

using namespace classlib;

namespace {

const wchar_t* const kAllFilesFilter = L"全てのファイル(*.*)|*.*";

// A hex editor set up for a value's bytes.
hexedit::THexEditorEx* AddBinaryHex(const ui::TPlacer& at, ui::TPlace place) {
    return at.Add<hexedit::THexEditorEx>(place, [](hexedit::THexEditorEx& hex) { SetupBinaryEditorHex(hex); });
}

}  // namespace

// ---- TBinFindForm ---------------------------------------------------------------------------

TBinFindForm::TBinFindForm(TComponent* owner) : TForm(owner) {
    constexpr int width = 420, height = 236;
    ui::SetUpDialog(*this, {L"バイナリデータの検索", width, height, false, poScreenCenter});
    const ui::TPlacer at(this, this);

    auto* group = at.Add<ui::TUiGroupBox>(L"検索", {8, 4, width - 16, height - 48});
    const ui::TPlacer inGroup = at.On(group);
    const int fieldWidth = group->ClientWidth() - 40;
    UiRadioButton1 = inGroup.Radio(L"テキストの検索：", {12, 20, 200, 17}, true);
    UiRadioButton1->OnClick = [this](TComponent*) { UpdateFields(); };
    Edit1 = inGroup.Add<wide::TWideEdit>({28, 40, fieldWidth, 21});
    UiRadioButton2 = inGroup.Radio(L"バイナリデータの検索", {12, 68, 200, 17});
    UiRadioButton2->OnClick = [this](TComponent*) { UpdateFields(); };
    HexEditorEx1 = AddBinaryHex(inGroup, {28, 88, fieldWidth, 64});
    UiCheckBox1 = inGroup.Check(L"大文字小文字を区別する", {12, 160, 220, 17});

    const std::vector<ui::TPlace> row = ui::ButtonRow(width - 8, height - 35, {75, 75});
    const ui::TOkCancel pair =
        ui::AddOkCancel(at, {.Ok = row[0], .Cancel = row[1], .CancelFirst = true, .Anchors = akRight | akBottom});
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;
    UpdateFields();
}

void TBinFindForm::UpdateFields() {
    const bool text = UiRadioButton1->Checked();
    Edit1->SetEnabled(text);
    HexEditorEx1->SetEnabled(!text);
}

void TBinFindForm::FocusField() {
    if (UiRadioButton1->Checked())
        SetActiveControl(Edit1);
    else
        SetActiveControl(HexEditorEx1);
}

TBinaryFindRequest TBinFindForm::Request() {
    TBinaryFindRequest request;
    request.IsText = UiRadioButton1->Checked();
    request.Text = Edit1->GetText();
    request.Bytes = HexEditorEx1->GetDataAsString();
    request.CaseSensitive = UiCheckBox1->Checked();
    return request;
}

// ---- TEditorBinForm -------------------------------------------------------------------------

TEditorBinForm::TEditorBinForm(TComponent* owner) : wide::TWideForm(owner) {
    constexpr int width = 640, height = 420, barHeight = 32, bottomHeight = 41;
    ui::SetUpDialog(*this, {L"バイナリエディタ", width, height, true, poScreenCenter,
                            biSystemMenu | biMinimize | biMaximize});
    const ui::TPlacer at(this, this);

    // The bars above the bytes: the toolbar's dock, the value name, then the type selector
    // (hidden at first).
    TopDock = at.Add<themed::TThmDock>({});

    EntryToolWin = at.Panel({0, 0, width, barHeight}, alTop, true);
    const ui::TPlacer nameBar = at.On(EntryToolWin);
    EntryName = nameBar.Add<ui::TUiEdit>({90, 5, 300, 21});
    nameBar.Label(L"エントリ名：", {8, 8, 0, 0}, EntryName);

    ValueTypeToolWin = at.Panel({0, barHeight, width, barHeight}, alTop, true);
    const ui::TPlacer typeBar = at.On(ValueTypeToolWin);
    ValTypeSelector = typeBar.Add<ui::TUiSpinEdit>({100, 5, 110, 21});
    ValTypeSelector->SetValueType(ui::evtInteger);
    ValTypeSelector->SetMinValue(0);
    ValTypeSelector->SetMaxValue(static_cast<double>(0xFFFFFFFFu));
    ValTypeSelector->OnValueChanged = [this](TComponent*) { ValType->SetCaption(registry::RegTypeToName(ValueType())); };
    typeBar.Label(L"この値の種類：", {8, 8, 0, 0}, ValTypeSelector);
    typeBar.Label(L"この値の示す種類：", {222, 8, 0, 0});
    ValType = typeBar.Label(L"", {340, 8, 0, 0});
    ValueTypeToolWin->SetVisible(false);

    auto* bottom = at.Panel({0, height - bottomHeight, width, bottomHeight}, alBottom, true);
    const std::vector<ui::TPlace> row = ui::ButtonRow(width - 8, 8, {75, 75});
    const ui::TOkCancel pair = ui::AddOkCancel(
        at.On(bottom), {.Ok = row[0], .Cancel = row[1], .CancelFirst = true, .Anchors = akRight | akBottom});
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;

    EntryValue = AddBinaryHex(at, {0, barHeight, width, height - barHeight - bottomHeight});
    EntryValue->SetAlign(alClient);

    BuildActions();
    BuildMenus();
    BuildToolBar();
    SetValueType(REG_BINARY);
    SetActiveControl(EntryValue);
}

void TEditorBinForm::ShowValueType(bool visible) {
    ValueTypeToolWin->SetVisible(visible);
    // Under the name bar, whatever order the bars were shown in.
    if (visible) ValueTypeToolWin->SetTop(EntryToolWin->Top() + EntryToolWin->Height());
}

DWORD TEditorBinForm::ValueType() {
    return static_cast<DWORD>(std::clamp<long long>(ValTypeSelector->GetIntegerValue(), 0, 0xFFFFFFFFLL));
}

void TEditorBinForm::SetValueType(DWORD type) {
    ValTypeSelector->SetValue(static_cast<double>(type));
    ValType->SetCaption(registry::RegTypeToName(ValueType()));
}

TAction* TEditorBinForm::ActionByName(const std::wstring& name) {
    for (int i = 0; i < Actions->ActionCount(); ++i)
        if (Actions->Actions(i)->Name() == name) return dynamic_cast<TAction*>(Actions->Actions(i));
    return nullptr;
}

void TEditorBinForm::BuildActions() {
    Actions = new TActionList(this);
    using TEnabled = bool (*)(TEditorBinForm&);
    struct TDef {
        const wchar_t* Name;
        const wchar_t* Caption;
        TShortCut Key;
        std::function<void()> Execute;
        TEnabled Enabled;  // null: always enabled
    };
    hexedit::THexEditorEx& hex = *EntryValue;
    // Each state is a query whose cost does not grow with the data or the selection, so
    // the updates at every idle moment stay cheap with a large value selected.
    const TDef defs[] = {
        {L"aacBinEdNew", L"新規作成", scCtrl | 'N', [&hex] { hex.CreateEmptyFile(L""); }, nullptr},
        {L"aacBinEdOpen", L"ファイルを開く", scCtrl | 'O', [this] { OpenFile(); }, nullptr},
        {L"aacBinEdSaveAs", L"名前をつけて保存", scCtrl | 'S', [this] { SaveFileAs(); }, nullptr},
        {L"aacBinEdCloseSave", L"保存して終了", 0, [this] { SetModalResult(mrOk); }, nullptr},
        {L"aacBinEdClose", L"保存しないで終了", 0, [this] { SetModalResult(mrCancel); }, nullptr},
        {L"aacBinEdUndo", L"元に戻す", scCtrl | 'Z', [&hex] { hex.Undo(); },
         [](TEditorBinForm& f) { return f.EntryValue->CanUndo(); }},
        {L"aacBinEdRedo", L"やり直し", scCtrl | 'R', [&hex] { hex.Redo(); },
         [](TEditorBinForm& f) { return f.EntryValue->CanRedo(); }},
        {L"aacBinEdCopy", L"コピー", scCtrl | 'C', [&hex] { hex.CopyToClipboard(); },
         [](TEditorBinForm& f) { return f.EntryValue->CanCopy(); }},
        {L"aacBinEdCut", L"切り取り", scCtrl | 'X', [&hex] { hex.CutToClipboard(); },
         [](TEditorBinForm& f) { return f.EntryValue->CanCut(); }},
        {L"aacBinEdPaste", L"貼り付け", scCtrl | 'V', [&hex] { hex.PasteFromClipboard(); },
         [](TEditorBinForm& f) { return f.EntryValue->CanPaste(); }},
        // A selection exists: its byte count, not its text.
        {L"aacBinEdDelete", L"削除", VK_DELETE, [&hex] { hex.DeleteSelection(L""); },
         [](TEditorBinForm& f) { return f.EntryValue->GetSelCount() > 0; }},
        {L"aacBinEdSelectAll", L"全て選択", scCtrl | 'A', [&hex] { hex.SelectAll(); }, nullptr},
        {L"aacBinEdFind", L"検索", scCtrl | 'F', [this] { Find(); }, nullptr},
        {L"aacBinEdFindNext", L"次を検索", VK_F3, [this] { FindNext(); },
         [](TEditorBinForm& f) { return f.FFindForm != nullptr; }},
    };
    for (const TDef& def : defs) {
        auto* action = new TAction(Actions);
        action->SetName(def.Name);
        action->SetCaption(def.Caption);
        action->SetShortCut(def.Key);
        action->OnExecute = [run = def.Execute](TComponent*) { run(); };
        if (def.Enabled)
            action->OnUpdate = [this, enabled = def.Enabled, action](TComponent*) {
                action->SetEnabled(enabled(*this));
            };
    }
}

void TEditorBinForm::BuildMenus() {
    auto add = [this](TMenuItem* parent, const wchar_t* actionName) {
        if (actionName)
            ui::AddMenuItem(this, parent, ActionByName(actionName));
        else
            ui::AddMenuItem(this, parent, L"-");
    };
    auto editItems = [&](TMenuItem* parent) {
        for (const wchar_t* name : {L"aacBinEdUndo", L"aacBinEdRedo", static_cast<const wchar_t*>(nullptr),
                                    L"aacBinEdCut", L"aacBinEdCopy", L"aacBinEdPaste", L"aacBinEdDelete",
                                    static_cast<const wchar_t*>(nullptr), L"aacBinEdSelectAll"})
            add(parent, name);
    };

    MainMenu = new TMainMenu(this);
    TMenuItem* file = ui::AddMenuItem(this, MainMenu->Items(), L"ファイル(&F)");
    for (const wchar_t* name : {L"aacBinEdNew", L"aacBinEdOpen", L"aacBinEdSaveAs",
                                static_cast<const wchar_t*>(nullptr), L"aacBinEdCloseSave", L"aacBinEdClose"})
        add(file, name);
    editItems(ui::AddMenuItem(this, MainMenu->Items(), L"編集(&E)"));
    TMenuItem* find = ui::AddMenuItem(this, MainMenu->Items(), L"検索(&F)");
    add(find, L"aacBinEdFind");
    add(find, L"aacBinEdFindNext");
    SetMenu(MainMenu);

    EditPopup = new TPopupMenu(this);
    editItems(EditPopup->Items());
    EntryValue->SetPopupMenu(EditPopup);
}

void TEditorBinForm::BuildToolBar() {
    ToolBar = new themed::TThmToolbar(this);
    ToolBar->SetCaption(L"ツールバー");
    for (const wchar_t* name :
         {L"aacBinEdUndo", L"aacBinEdRedo", static_cast<const wchar_t*>(nullptr), L"aacBinEdCopy", L"aacBinEdCut",
          L"aacBinEdPaste", L"aacBinEdDelete", L"aacBinEdSelectAll", static_cast<const wchar_t*>(nullptr),
          L"aacBinEdFind", L"aacBinEdFindNext"}) {
        if (!name) {
            ToolBar->Items()->Add(new themed::TThmSeparatorItem(ToolBar));
            continue;
        }
        auto* item = new themed::TThmCustomItem(ToolBar);
        item->SetAction(ActionByName(name));
        ToolBar->Items()->Add(item);
    }
    ToolBar->SetCurrentDock(TopDock);
}

bool TEditorBinForm::IsShortCut(WORD key, TShiftState shift) {
    const TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
    const bool editingKey = (key == VK_DELETE && mods == 0) ||
                            (mods == ssCtrl && (key == 'A' || key == 'C' || key == 'V' || key == 'X' || key == 'Z'));
    if (editingKey && dynamic_cast<wide::TWideCustomEdit*>(ActiveControl())) return false;
    return wide::TWideForm::IsShortCut(key, shift);
}

void TEditorBinForm::Find() {
    if (!FFindForm) FFindForm = new TBinFindForm(this);
    FFindForm->UpdateFields();
    FFindForm->FocusField();
    if (FFindForm->ShowModal() == mrOk) FindNext();
}

void TEditorBinForm::FindNext() {
    if (!FFindForm) return;
    if (FFinder.Step(*EntryValue, FFindForm->Request()) == TBinaryFindResult::NotFound) {
        MessageBeep(0);
        wide::WideShowMessage(BinaryNotFoundText);
    }
}

void TEditorBinForm::OpenFile() {
    std::wstring name;
    if (uihelpers::ShowFileDialog(Handle(), L"", kAllFilesFilter, L"", L"", name, true, false, false, true, 1))
        EntryValue->LoadFromFile(name);
}

void TEditorBinForm::SaveFileAs() {
    std::wstring name;
    if (uihelpers::ShowFileDialog(Handle(), L"", kAllFilesFilter, L"", L"", name, false, false, false, false, 1))
        EntryValue->SaveToFile(name, true);
}

}  // namespace editors
