#include "searchui/findallreplace.h"

#include "classlib/application.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/wide/widedialogs.h"
#include "searchui/dialogparts_p.h"

namespace searchui {

using namespace classlib;
using namespace ui;
using detail::Place;
using detail::PlaceButton;
using detail::PlaceCaptioned;

namespace {

constexpr int kClientWidth = 720;
constexpr int kClientHeight = 520;

}  // namespace

TFindAllReplaceForm::TFindAllReplaceForm(TComponent* owner, IFindDialogHost& host)
    : wide::TWideForm(owner), FHost(host) {
    detail::SetUpDialogForm(*this, L"検索結果を用いた置換", kClientWidth, kClientHeight);

    GroupReplace = PlaceCaptioned<TUiGroupBox>(this, this, L"置換", 8, 8, 400, 140);
    RepKeywordLabel = PlaceCaptioned<TUiLabel>(this, GroupReplace, L"置換キーワード：", 12, 22, 200, 16);
    RepKeyword = Place<TUiEdit>(this, GroupReplace, 12, 40, 376, 23);
    RepKeywordLabel->SetFocusControl(RepKeyword);
    FindKeywordLabel = PlaceCaptioned<TUiLabel>(this, GroupReplace, L"検索キーワード：", 12, 76, 200, 16);
    Findkeyword = Place<TUiEdit>(this, GroupReplace, 12, 94, 376, 23);
    Findkeyword->SetReadOnly(true);
    Findkeyword->SetColor(clBtnFace);

    GroupOptions = PlaceCaptioned<TUiGroupBox>(this, this, L"置換オプション", 416, 8, 296, 140);
    auto check = [this](const wchar_t* caption, int left, int top) {
        auto* box = PlaceCaptioned<TUiCheckBox>(this, GroupOptions, caption, left, top, 270, 18);
        box->SetChecked(true);
        box->OnClick = [this](TComponent*) { FilterResults(); };
        return box;
    };
    CheckRepValueName = check(L"値の名前を置換する", 12, 20);
    CheckRepValue = check(L"値を置換する", 12, 40);
    CheckRepRegSZ = check(L"REG_SZを置換する", 30, 60);
    CheckRepExpSZ = check(L"REG_EXPAND_SZを置換する", 30, 80);
    CheckRepMultiSZ = check(L"REG_MULTI_SZを置換する", 30, 100);
    CheckRepKeyName = check(L"キーの名前を置換する", 12, 120);

    GroupPreview = PlaceCaptioned<TUiGroupBox>(this, this, L"置換プレビュー", 8, 156, 704, 318);
    detail::SetMargins(GroupPreview->Margins(), 6);
    FindOuts = Place<gridtree::TGridStringTree>(this, GroupPreview, 8, 20, 688, 290);
    FindOuts->SetAlign(alClient);
    FindOuts->SetImages(FHost.RegistryObjectImages());
    FindOuts->SetTabStop(true);

    CancelButton = PlaceButton(this, this, L"キャンセル", 548, 486, 75, mrCancel);
    CancelButton->Cancel = true;
    OkButton = PlaceButton(this, this, L"OK(&O)", 631, 486, 81, mrNone);
    OkButton->SetDefault(true);
    OkButton->SetEnabled(false);

    RepKeyword->OnChange = [this](TComponent*) { RepKeywordChange(); };
    OkButton->OnClick = [this](TComponent*) { OkButtonClick(); };
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
    ApplicationEventsIdle();
}

void TFindAllReplaceForm::ApplicationEventsIdle() { OkButton->SetEnabled(!ShownResults().empty()); }

void TFindAllReplaceForm::RepKeywordChange() {
    if (FPane) FPane->SetReplacement(RepKeyword->GetText());
    FilterResults();
}

void TFindAllReplaceForm::OkButtonClick() {
    if (!FReplacer || ShownResults().empty()) return;
    auto ask = [](const std::wstring& question) {
        return wide::WideMessageDlg(question, wide::mtWarning, wide::mbYesNo, 0) == mrYes;
    };
    FReport = FReplacer->Run(ShownResults(), RepKeyword->GetText(), FHost.UndoProvider(), FHost.ValueWriters(),
                             FHost.SetNoMessage(), ask);
    switch (FReport.Outcome) {
    case search::TBulkOutcome::Cancelled: return;
    case search::TBulkOutcome::RegexMissing:
        MessageBeep(MB_OK);
        wide::WideShowMessage(search::kRegexMissingMessage);
        return;
    case search::TBulkOutcome::Done: SetModalResult(mrOk); return;
    }
}

}  // namespace searchui
