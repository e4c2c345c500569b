#include "searchui/findallreplace.h"

#include "classlib/application.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/widedialogs.h"

namespace searchui {

using namespace classlib;
using namespace ui;

namespace {

constexpr int kClientWidth = 720;
constexpr int kClientHeight = 520;

}  // namespace

TFindAllReplaceForm::TFindAllReplaceForm(TComponent* owner, IFindDialogHost& host)
    : wide::TWideForm(owner), FHost(host) {
    SetUpDialog(*this, {L"検索結果を用いた置換", kClientWidth, kClientHeight});
    const TPlacer at(this, this);

    GroupReplace = at.Add<TUiGroupBox>(L"置換", {8, 8, 400, 140});
    const TPlacer replace = at.On(GroupReplace);
    RepKeyword = replace.Labeled<TUiEdit>(L"置換キーワード：", {12, 22, 200, 16}, {12, 40, 376, 23});
    Findkeyword = replace.Labeled<TUiEdit>(L"検索キーワード：", {12, 76, 200, 16}, {12, 94, 376, 23});
    ShowReadOnly(*Findkeyword);

    GroupOptions = at.Add<TUiGroupBox>(L"置換オプション", {416, 8, 296, 140});
    const TPlacer options = at.On(GroupOptions);
    TRows rows(12, 20, 270, 18, 20);
    auto check = [&](const wchar_t* caption, int indent) {
        TUiCheckBox* box = options.Check(caption, rows.Next(indent), true);
        box->OnClick = [this](TComponent*) { FilterResults(); };
        return box;
    };
    CheckRepValueName = check(L"値の名前を置換する", 0);
    CheckRepValue = check(L"値を置換する", 0);
    CheckRepRegSZ = check(L"REG_SZを置換する", 18);
    CheckRepExpSZ = check(L"REG_EXPAND_SZを置換する", 18);
    CheckRepMultiSZ = check(L"REG_MULTI_SZを置換する", 18);
    CheckRepKeyName = check(L"キーの名前を置換する", 0);

    GroupPreview = at.Add<TUiGroupBox>(L"置換プレビュー", {8, 156, 704, 318});
    SetMargins(GroupPreview->Margins(), 6);
    FindOuts = at.On(GroupPreview).Add<gridtree::TGridStringTree>({8, 20, 688, 290});
    FindOuts->SetAlign(alClient);
    FindOuts->SetImages(FHost.RegistryObjectImages());
    FindOuts->SetTabStop(true);

    const std::vector<TPlace> row = ButtonRow(kClientWidth - 8, 486, {75, 81});
    const TOkCancel pair = AddOkCancel(at, {.Ok = row[1], .Cancel = row[0], .CancelFirst = true},
                                       [this] { return ReplaceShownHits(); });
    CancelButton = pair.Cancel;
    OkButton = pair.Ok;
    OkButton->SetEnabled(false);

    RepKeyword->OnChange = [this](TComponent*) { ShowReplacement(); };
    SetActiveControl(RepKeyword);
}

TFindAllReplaceForm::~TFindAllReplaceForm() { FPane.reset(); }

void TFindAllReplaceForm::TearDown() {
    FPane.reset();
    wide::TWideForm::TearDown();
}

void TFindAllReplaceForm::Setup(const search::TWendlarFindRecord& lastFind, const search::TVxRegFindList& allResults) {
    FPane.reset();
    FindOuts->Header().Columns().Clear();
    // Without the library file no expression object is made at all.
    FReplacer = std::make_unique<search::TBulkReplacer>(lastFind,
                                                        FHost.RegexLibraryPresent() ? L"onig.dll" : L"");
    FPane = std::make_unique<search::TReplacePreviewPane>(*FindOuts, *FReplacer);
    FPane->SetReplacement(RepKeyword->GetText());
    FAllResults = &allResults;
    Findkeyword->SetText(lastFind.Keyword);
    FilterResults();
}

void TFindAllReplaceForm::FilterResults() {
    if (!FPane || !FAllResults) return;
    search::TReplaceOptions options;
    options.ValueNames = CheckRepValueName->Checked();
    options.ValueData = CheckRepValue->Checked();
    options.RegSZ = CheckRepRegSZ->Checked();
    options.ExpandSZ = CheckRepExpSZ->Checked();
    options.MultiSZ = CheckRepMultiSZ->Checked();
    options.KeyNames = CheckRepKeyName->Checked();
    FPane->SetShown(search::FilterReplaceHits(*FAllResults, options));
}

const std::vector<const registry::TVxRegFindClass*>& TFindAllReplaceForm::ShownResults() const {
    return FPane ? FPane->Shown() : FNoRows;
}

void TFindAllReplaceForm::UpdateActions() {
    wide::TWideForm::UpdateActions();
    OkButton->SetEnabled(!ShownResults().empty());
}

void TFindAllReplaceForm::ShowReplacement() {
    if (FPane) FPane->SetReplacement(RepKeyword->GetText());
    FilterResults();
}

bool TFindAllReplaceForm::ReplaceShownHits() {
    if (!FReplacer || ShownResults().empty()) return false;
    auto ask = [](const std::wstring& question) {
        return wide::WideMessageDlg(question, wide::mtWarning, wide::mbYesNo, 0) == mrYes;
    };
    FReport = FReplacer->Run(ShownResults(), RepKeyword->GetText(), FHost.UndoProvider(), FHost.ValueWriters(),
                             FHost.SetNoMessage(), ask);
    switch (FReport.Outcome) {
    case search::TBulkOutcome::Cancelled: return false;
    case search::TBulkOutcome::RegexMissing:
        MessageBeep(MB_OK);
        wide::WideShowMessage(search::kRegexMissingMessage);
        return false;
    case search::TBulkOutcome::Done: return true;
    }
    return false;
}

}  // namespace searchui
