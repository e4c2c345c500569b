#include "favorites/favoritedialogs.h"

#include "classlib/errors.h"
#include "classlib/streams.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/wideedit.h"
#include "controls/wide/widestrings.h"
#include "editors/externaleditor.h"
#include "searchui/addfindpoint.h"
#include "uihelpers/filedialogs.h"

namespace favorites {

using namespace classlib;
using namespace ui;

namespace {

constexpr wchar_t kScriptFilter[] = L"レジストリスクリプト(*.reg)|*.reg|全てのファイル(*.*)|*.*";
constexpr int kRowStep = 44;  // a label and its field
constexpr int kButtonRowHeight = 41;

void TellError(const std::wstring& text) { wide::WideMessageDlg(text, wide::mtError, wide::mbOKOnly, 0); }

// A key box's "...": the key picker; the picked path goes into the box.
void PickKeyInto(TForm& dialog, TUiEdit& box, const TFavoriteDialogContext& context) {
    ShowModalForm<searchui::TAddFindPointForm>(
        &dialog, {}, [&box](searchui::TAddFindPointForm& picker) { box.SetText(picker.Address()); },
        context.KeyImages);
}

// The file chooser for scripts; true with the chosen file's full path.
bool ChooseScriptFile(TForm& dialog, std::wstring& path) {
    return uihelpers::ShowFileDialog(dialog.Handle(), L"", kScriptFilter, L"", L"", path, false, false, true, true, 1);
}

// A box with a button at its right edge captioned `caption`, running `click`.
TUiButtonEdit* ButtonBox(const TPlacer& at, const std::wstring& label, TPlace labelPlace, TPlace place,
                         const wchar_t* caption, std::function<void()> click) {
    auto* box = at.Labeled<TUiButtonEdit>(label, labelPlace, place);
    box->EditButton()->SetCaption(caption);
    box->EditButton()->OnClick = [click = std::move(click)](TComponent*) { click(); };
    return box;
}

// Rows of a group: a label above its field.
struct TFieldRows {
    int Width;
    int Top = 20;
    TPlace Label() const { return {12, Top, 0, 0}; }
    TPlace Field() const { return {12, Top + 18, Width, 21}; }
    void Next() { Top += kRowStep; }
    // The height of a group holding the rows so far.
    int GroupHeight() const { return Top + 8; }
};

// The end of a dialog `width` wide: OK and Cancel at the bottom right below its last group,
// its frame around them, the input focus on its first field.
TOkCancel FinishDialog(TForm& dialog, const wchar_t* caption, int width, const classlib::TControl& lastGroup,
                       classlib::TWinControl* first) {
    const int top = lastGroup.Top() + lastGroup.Height();
    const std::vector<TPlace> row = ButtonRow(width - 8, top + 8, {75, 75});
    const TOkCancel pair = AddOkCancel(TPlacer(&dialog, &dialog), {.Ok = row[0], .Cancel = row[1]});
    SetUpDialog(dialog, {caption, width, top + kButtonRowHeight, false, poScreenCenter});
    dialog.SetActiveControl(first);
    return pair;
}

}  // namespace

bool ReadScriptFile(const std::wstring& fileName, std::wstring& text, std::wstring& error) {
    std::string bytes;
    try {
        TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
        if (stream.Size() > MaxScriptFileSize) {
            error = L"ファイルが大きすぎるため読み込めません（" + std::to_wstring(MaxScriptFileSize / (1024 * 1024)) +
                    L" MiB まで）。\r\n" + fileName;
            return false;
        }
        bytes.resize(static_cast<size_t>(stream.Size()));
        if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
    } catch (const Exception& e) {
        error = L"ファイルを読み込めません。\r\n" + fileName + L"\r\n" + e.Message();
        return false;
    }
    bool lossy = false;
    const std::wstring decoded = editors::DecodeEditedText(bytes, &lossy);
    if (lossy) {
        error = L"文字として読み取れない部分があるため、このファイルは読み込めません。\r\n" + fileName;
        return false;
    }
    wide::TWideStringList lines;
    lines.SetTextStr(decoded);
    text.clear();
    for (int i = 0; i < lines.Count(); ++i) text += lines.Get(i) + L"\r\n";
    return true;
}

// --- キーおよび値の追加と編集 ------------------------------------------------------------------

TAddFavoriteKeyForm::TAddFavoriteKeyForm(TComponent* owner, const TFavoriteDialogContext& context)
    : wide::TWideForm(owner), FContext(context) {
    constexpr int width = 380, inner = width - 16;
    TFieldRows rows{inner - 24};
    const TPlacer at(this, this);
    auto* required = at.Add<TUiGroupBox>(L"必須項目", {8, 8, inner, 0});
    const TPlacer inRequired = at.On(required);
    CaptionBox = inRequired.Labeled<TUiEdit>(L"キャプション", rows.Label(), rows.Field());
    rows.Next();
    FullPathBox = ButtonBox(inRequired, L"キーおよび値のフルパス", rows.Label(), rows.Field(), L"...",
                            [this] { PickKeyInto(*this, *FullPathBox, FContext); });
    rows.Next();
    required->SetHeight(rows.GroupHeight());

    TFieldRows optionRows{inner - 24};
    auto* options = at.Add<TUiGroupBox>(L"オプション", {8, required->Top() + required->Height() + 8, inner, 0});
    CommentBox = at.On(options).Labeled<TUiEdit>(L"コメント", optionRows.Label(), optionRows.Field());
    optionRows.Next();
    options->SetHeight(optionRows.GroupHeight());

    const TOkCancel pair = FinishDialog(*this, L"キーおよび値の追加と編集", width, *options, CaptionBox);
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;
}

void TAddFavoriteKeyForm::UpdateActions() {
    wide::TWideForm::UpdateActions();
    OkButton->SetEnabled(!CaptionBox->GetText().empty() && !FullPathBox->GetText().empty());
}

// --- レジストリスクリプトとファイルの取り込み、編集 ------------------------------------------------

TRegistryScriptImportForm::TRegistryScriptImportForm(TComponent* owner, const TFavoriteDialogContext& context)
    : wide::TWideForm(owner), FContext(context) {
    constexpr int width = 420, inner = width - 16;
    const TPlacer at(this, this);
    TFieldRows rows{inner - 24};
    auto* required = at.Add<TUiGroupBox>(L"必須項目", {8, 8, inner, 0});
    CaptionBox = at.On(required).Labeled<TUiEdit>(L"キャプション", rows.Label(), rows.Field());
    rows.Next();
    required->SetHeight(rows.GroupHeight());

    TFieldRows optionRows{inner - 24};
    auto* options = at.Add<TUiGroupBox>(L"オプション", {8, required->Top() + required->Height() + 8, inner, 0});
    const TPlacer inOptions = at.On(options);
    FullPathBox = ButtonBox(inOptions, L"取り込むレジストリスクリプト(後で指定することもできます)", optionRows.Label(),
                            optionRows.Field(), L"…", [this] {
                                std::wstring path;
                                if (ChooseScriptFile(*this, path)) FullPathBox->SetText(path);
                            });
    optionRows.Next();
    CommentBox = inOptions.Labeled<TUiEdit>(L"コメント", optionRows.Label(), optionRows.Field());
    optionRows.Next();
    AfterMoveKey = ButtonBox(inOptions, L"スクリプト実行後に移動するキー", optionRows.Label(), optionRows.Field(), L"...",
                             [this] { PickKeyInto(*this, *AfterMoveKey, FContext); });
    optionRows.Next();
    options->SetHeight(optionRows.GroupHeight());

    const TOkCancel pair = FinishDialog(*this, L"レジストリスクリプトとファイルの取り込み、編集", width, *options, CaptionBox);
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;
}

void TRegistryScriptImportForm::UpdateActions() {
    wide::TWideForm::UpdateActions();
    OkButton->SetEnabled(!CaptionBox->GetText().empty());
}

// --- レジストリスクリプトの再編集 ----------------------------------------------------------------

TRegScriptEditorForm::TRegScriptEditorForm(TComponent* owner, const TFavoriteDialogContext& context)
    : wide::TWideForm(owner), FContext(context) {
    constexpr int width = 540, inner = width - 16, scriptHeight = 300;
    const TPlacer at(this, this);
    TFieldRows rows{inner - 24};
    auto* basics = at.Add<TUiGroupBox>(L"基礎情報", {8, 8, inner, 0});
    const TPlacer inBasics = at.On(basics);
    CaptionBox = inBasics.Labeled<TUiEdit>(L"キャプション", rows.Label(), rows.Field());
    rows.Next();
    CommentBox = inBasics.Labeled<TUiEdit>(L"コメント", rows.Label(), rows.Field());
    rows.Next();
    AfterMoveKey = ButtonBox(inBasics, L"スクリプト実行後に移動するキー", rows.Label(), rows.Field(), L"...",
                             [this] { PickKeyInto(*this, *AfterMoveKey, FContext); });
    rows.Next();
    basics->SetHeight(rows.GroupHeight());

    auto* script = at.Add<TUiGroupBox>(L"レジストリスクリプト", {8, basics->Top() + basics->Height() + 8, inner, scriptHeight});
    const TPlacer inScript = at.On(script);
    EntryValue = inScript.Add<wide::TWideMemo>({12, 22, inner - 24, scriptHeight - 70});
    EntryValue->SetWordWrap(false);
    EntryValue->SetScrollBars(wide::TWideCustomMemo::ssBoth);
    LoadFileButton = inScript.Button(L"ファイルをロードする", {12, scriptHeight - 38, 150, 25}, mrNone, [this] { LoadFile(); });
    ExternalEditorButton =
        inScript.Button(L"外部エディタで編集", {170, scriptHeight - 38, 150, 25}, mrNone, [this] { EditExternally(); });

    const TOkCancel pair = FinishDialog(*this, L"レジストリスクリプトの再編集", width, *script, CaptionBox);
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;
}

std::wstring TRegScriptEditorForm::ScriptText() { return EntryValue->GetText(); }

void TRegScriptEditorForm::SetScriptText(const std::wstring& text) { EntryValue->Lines().SetTextStr(text); }

void TRegScriptEditorForm::UpdateActions() {
    wide::TWideForm::UpdateActions();
    OkButton->SetEnabled(!CaptionBox->GetText().empty());
}

void TRegScriptEditorForm::LoadFile() {
    std::wstring path;
    if (!ChooseScriptFile(*this, path)) return;
    std::wstring text, error;
    if (!ReadScriptFile(path, text, error)) {
        TellError(error);
        return;
    }
    SetScriptText(text);
}

void TRegScriptEditorForm::EditExternally() {
    try {
        editors::EditLinesExternally(this, EntryValue->Lines(), FContext.TextEditor);
    } catch (const Exception& e) {
        TellError(e.Message());
    }
}

}  // namespace favorites
