#include "editors/stringeditorforms.h"

#include "classlib/menus.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/wide/widecanvas.h"
#include "uihelpers/filedialogs.h"

namespace editors {

using classlib::TComponent;

namespace {

constexpr int FormWidth = 460;
constexpr int ExFormWidth = 560;
constexpr int PreviewGroupHeight = 52;
constexpr int VariableGroupHeight = 220;

}  // namespace

TEditorSZForm::TEditorSZForm(TComponent* owner) : TEditorSZForm(owner, L"文字列エディタ", FormWidth) {
    FinishLayout(WriteGroup->Top() + WriteGroup->Height());
    DoCreate();
}

TEditorSZForm::TEditorSZForm(TComponent* owner, const std::wstring& caption, int width)
    : TValueEditorForm(owner, caption, width, RowHeight) {
    EntryValue = AddField<ui::TUiButtonEdit>(L"書き込む値", FieldTop());
    EntryValue->EditButton()->SetCaption(L"...");
    BuildChoiceMenu();
    EntryValue->EditButton()->OnClick = [this](TComponent*) {
        POINT p{};
        GetCursorPos(&p);
        ChoiceMenu->Popup(p.x, p.y);
    };
    SetActiveControl(EntryValue);
}

void TEditorSZForm::BuildChoiceMenu() {
    ChoiceMenu = new classlib::TPopupMenu(this);
    classlib::TMenuItem* root = ChoiceMenu->Items();
    ui::AddMenuItem(ChoiceMenu, root, L"ファイルを開く", [this] { ChooseFile(); });
    ui::AddMenuItem(ChoiceMenu, root, L"ディレクトリを開く", [this] { ChooseFolder(); });
    ui::AddMenuItem(ChoiceMenu, root, L"-");
    ui::AddMenuItem(ChoiceMenu, root, L"オプション")->SetEnabled(false);
    for (classlib::TMenuItem** option : {&OnQuote, &OnParOne}) {
        const wchar_t* caption = option == &OnQuote ? L"ファイル、ディレクトリパスはダブルクオーテーションで囲う"
                                                    : L"ファイルパスの末尾に\"%1\"をくっつける";
        classlib::TMenuItem* item = ui::AddMenuItem(ChoiceMenu, root, caption);
        item->SetChecked(true);
        item->OnClick = [item](TComponent*) { item->SetChecked(!item->Checked()); };
        *option = item;
    }
}

void TEditorSZForm::ChooseFile() {
    std::wstring path;
    if (uihelpers::ShowFileDialog(Handle(), L"", L"全てのファイル(*.*)|*.*", L"", L"", path, false, false, false,
                                  true, 1))
        FileChosen(path);
}

void TEditorSZForm::ChooseFolder() {
    std::wstring folder;
    if (uihelpers::BrowseForFolder(Handle(), L"ディレクトリの選択", nullptr, folder)) FolderChosen(folder);
}

void TEditorSZForm::FileChosen(const std::wstring& path) {
    EntryValue->SetText(FileChoiceText(path, OnQuote->Checked(), OnParOne->Checked()));
}

void TEditorSZForm::FolderChosen(const std::wstring& folder) {
    EntryValue->SetText(FolderChoiceText(folder, OnQuote->Checked()));
}

// --- the expandable-string editor ---------------------------------------------------------------

TEditorExSZForm::TEditorExSZForm(TComponent* owner)
    : TEditorSZForm(owner, L"展開可能文字列エディタ", ExFormWidth) {
    const int left = WriteGroup->Left();
    const int width = WriteGroup->Width();
    int top = WriteGroup->Top() + WriteGroup->Height() + 6;

    const ui::TPlacer at(this, this);
    auto* previewGroup = at.Add<ui::TUiGroupBox>(L"環境変数を展開した時のプレビュー", {left, top, width, PreviewGroupHeight});
    PrevierEnv = at.On(previewGroup).Add<ui::TUiEdit>({LabelLeft, 20, width - 2 * LabelLeft, 21});
    // The group draws what lies under it and has no colour of its own to hand down: the
    // preview takes the dialog's face.
    ui::ShowReadOnly(*PrevierEnv);
    top += PreviewGroupHeight + 6;

    auto* listGroup = at.Add<ui::TUiGroupBox>(L"環境変数の一覧(ダブルクリックで挿入)", {left, top, width, VariableGroupHeight});
    EnvironmentVariables =
        at.On(listGroup).Add<ui::TUiListBox>({LabelLeft, 20, width - 2 * LabelLeft, VariableGroupHeight - 30});
    EnvironmentVariables->ItemHeight = 16;
    EnvironmentVariables->OnDrawItemBackground = [](classlib::TWinControl*, int, RECT, wide::TOwnerDrawState) {};
    EnvironmentVariables->OnDrawItem = [this](classlib::TWinControl*, int index, RECT rect,
                                              wide::TOwnerDrawState state) { DrawVariable(index, rect, state); };
    EnvironmentVariables->OnDblClick = [this](TComponent*) { InsertSelectedVariable(); };
    FinishLayout(top + VariableGroupHeight);

    EntryValue->OnChange = [this](TComponent*) { UpdatePreview(); };
    FVariables = ListEnvironmentVariables();
    for (const TEnvironmentVariable& variable : FVariables) EnvironmentVariables->Items().Add(variable.Item);
    DoCreate();
}

void TEditorExSZForm::DoShow() {
    SendMessageW(EnvironmentVariables->Handle(), LB_SETHORIZONTALEXTENT, 2000, 0);
    UpdatePreview();  // the caller's text was set before the field had a window
    TEditorSZForm::DoShow();
}

void TEditorExSZForm::UpdatePreview() { PrevierEnv->SetText(ExpandEnvironmentPreview(EntryValue->GetText())); }

void TEditorExSZForm::InsertSelectedVariable() {
    const int index = EnvironmentVariables->ItemIndex();
    if (index < 0 || index >= static_cast<int>(FVariables.size())) return;
    EntryValue->SetSelText(FVariables[static_cast<size_t>(index)].Item);
}

void TEditorExSZForm::DrawVariable(int index, RECT rect, unsigned state) {
    if (index < 0 || index >= static_cast<int>(FVariables.size())) return;
    classlib::TCanvas& canvas = EnvironmentVariables->Canvas();
    canvas.Brush().SetColor((state & wide::odSelected) ? classlib::clMenuHighlight : classlib::clWindow);
    canvas.FillRect(rect);
    canvas.Brush().SetStyle(classlib::bsClear);
    const TEnvironmentVariable& variable = FVariables[static_cast<size_t>(index)];
    wide::WideCanvasTextOut(canvas, rect.left + 1, rect.top + 1, variable.Item);
    wide::WideCanvasTextOut(canvas, rect.left + 220, rect.top + 1, variable.Value);
    canvas.Brush().SetStyle(classlib::bsSolid);
}

}  // namespace editors
