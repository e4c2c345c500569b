#include "editors/stringeditorforms.h"

#include "classlib/menus.h"
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

classlib::TMenuItem* AddMenuItem(classlib::TPopupMenu* menu, const std::wstring& caption,
                                 std::function<void()> click) {
    auto* item = new classlib::TMenuItem(menu);
    item->SetCaption(caption);
    if (click) item->OnClick = [click = std::move(click)](TComponent*) { click(); };
    menu->Items()->Add(item);
    return item;
}

// A list of the variables with a horizontal scroll bar for the long values.
class TVariableListBox : public ui::TUiListBox {
public:
    using ui::TUiListBox::TUiListBox;

protected:
    void CreateParams(classlib::TCreateParams& params) override {
        ui::TUiListBox::CreateParams(params);
        params.Style |= WS_HSCROLL;
    }
};

}  // namespace

TEditorSZForm::TEditorSZForm(TComponent* owner) : TEditorSZForm(owner, L"文字列エディタ", FormWidth) {
    FinishLayout(WriteGroup->Top() + WriteGroup->Height());
    DoCreate();
}

TEditorSZForm::TEditorSZForm(TComponent* owner, const std::wstring& caption, int width)
    : TValueEditorForm(owner, caption, width, RowHeight) {
    EntryValue = AddEdit<ui::TUiButtonEdit>(WriteGroup, FieldLeft, FieldTop(), FieldWidth());
    EntryValue->EditButton()->SetCaption(L"...");
    AddLabel(L"書き込む値", LabelLeft, FieldTop(), EntryValue);
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
    AddMenuItem(ChoiceMenu, L"ファイルを開く", [this] { ChooseFile(); });
    AddMenuItem(ChoiceMenu, L"ディレクトリを開く", [this] { ChooseFolder(); });
    AddMenuItem(ChoiceMenu, L"-", nullptr);
    AddMenuItem(ChoiceMenu, L"オプション", nullptr)->SetEnabled(false);
    for (classlib::TMenuItem** option : {&OnQuote, &OnParOne}) {
        const wchar_t* caption = option == &OnQuote ? L"ファイル、ディレクトリパスはダブルクオーテーションで囲う"
                                                    : L"ファイルパスの末尾に\"%1\"をくっつける";
        classlib::TMenuItem* item = AddMenuItem(ChoiceMenu, caption, nullptr);
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

    auto* previewGroup = new ui::TUiGroupBox(this);
    previewGroup->SetParent(this);
    previewGroup->SetCaption(L"環境変数を展開した時のプレビュー");
    previewGroup->SetBounds(left, top, width, PreviewGroupHeight);
    PrevierEnv = AddEdit<ui::TUiEdit>(previewGroup, LabelLeft, 20, width - 2 * LabelLeft);
    PrevierEnv->SetReadOnly(true);
    PrevierEnv->SetParentColor(true);
    top += PreviewGroupHeight + 6;

    auto* listGroup = new ui::TUiGroupBox(this);
    listGroup->SetParent(this);
    listGroup->SetCaption(L"環境変数の一覧(ダブルクリックで挿入)");
    listGroup->SetBounds(left, top, width, VariableGroupHeight);
    EnvironmentVariables = new TVariableListBox(this);
    EnvironmentVariables->SetParent(listGroup);
    EnvironmentVariables->SetBounds(LabelLeft, 20, width - 2 * LabelLeft, VariableGroupHeight - 30);
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
