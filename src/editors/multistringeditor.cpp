#include "editors/multistringeditor.h"

#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/wideedit.h"
#include "editors/externaleditor.h"
#include "editors/multistring.h"

namespace editors {

using namespace classlib;

TEditorFormMultiSZ::TEditorFormMultiSZ(TComponent* owner) : wide::TWideForm(owner) {
    constexpr int width = 440, height = 330;
    ui::SetUpDialog(*this, {L"複数行文字列エディタ", width, height, true, poScreenCenter,
                            biSystemMenu | biMinimize | biMaximize});
    const ui::TPlacer at(this, this);

    auto* group = at.Add<ui::TUiGroupBox>(L"書き込み", {8, 4, width - 16, height - 46});
    group->SetAnchors(akLeft | akTop | akRight | akBottom);
    const ui::TPlacer inGroup = at.On(group);
    const int inner = group->ClientWidth() - 24;
    EntryName = inGroup.Add<ui::TUiEdit>({12, 38, inner, 21});
    EntryName->SetAnchors(akLeft | akTop | akRight);
    inGroup.Label(L"エントリ名", {12, 20, 0, 0}, EntryName);

    EntryValue = inGroup.Add<wide::TWideMemo>({12, 84, inner, group->ClientHeight() - 128});
    EntryValue->SetWordWrap(false);
    EntryValue->SetScrollBars(wide::TWideCustomMemo::ssBoth);
    EntryValue->SetAnchors(akLeft | akTop | akRight | akBottom);
    inGroup.Label(L"書き込む値", {12, 66, 0, 0}, EntryValue);

    ExternalEditorButton = inGroup.Button(L"外部エディタで編集", {12, group->ClientHeight() - 36, 140, 25}, mrNone,
                                          [this] { EditLinesExternally(this, EntryValue->Lines(), TextEditorPath); });
    ExternalEditorButton->SetAnchors(akLeft | akBottom);

    const std::vector<ui::TPlace> row = ui::ButtonRow(width - 8, height - 35, {75, 75});
    const ui::TOkCancel pair = ui::AddOkCancel(
        at, {.Ok = row[0], .Cancel = row[1], .CancelFirst = true, .Anchors = akRight | akBottom}, [this] {
            RemoveEmptyLinesAndSay();
            return true;
        });
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;
    SetActiveControl(EntryValue);
}

void TEditorFormMultiSZ::RemoveEmptyLinesAndSay() {
    if (RemoveEmptyLines(EntryValue->Lines()) > 0)
        wide::WideMessageDlg(EmptyLinesRemovedText, wide::mtInformation, wide::mbOKOnly, 0);
}

}  // namespace editors
