#include "editors/multistringeditor.h"

#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/wideedit.h"
#include "editors/editorforms.h"
#include "editors/externaleditor.h"
#include "editors/multistring.h"

namespace editors {

using namespace classlib;

TEditorFormMultiSZ::TEditorFormMultiSZ(TComponent* owner) : wide::TWideForm(owner) {
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    SetCaption(L"複数行文字列エディタ");
    SetClientWidth(440);
    SetClientHeight(330);

    auto* group = new ui::TUiGroupBox(this);
    group->SetParent(this);
    group->SetCaption(L"書き込み");
    group->SetBounds(8, 4, ClientWidth() - 16, ClientHeight() - 46);
    group->SetAnchors(akLeft | akTop | akRight | akBottom);

    EntryName = MakeEdit<ui::TUiEdit>(group);
    EntryName->SetBounds(12, 38, group->ClientWidth() - 24, 21);
    EntryName->SetAnchors(akLeft | akTop | akRight);
    MakeLabel(group, L"エントリ名", 12, 20, EntryName);

    EntryValue = MakeEdit<wide::TWideMemo>(group);
    EntryValue->SetWordWrap(false);
    EntryValue->SetScrollBars(wide::TWideCustomMemo::ssBoth);
    EntryValue->SetBounds(12, 84, group->ClientWidth() - 24, group->ClientHeight() - 128);
    EntryValue->SetAnchors(akLeft | akTop | akRight | akBottom);
    MakeLabel(group, L"書き込む値", 12, 66, EntryValue);

    ExternalEditorButton = new ui::TUiButton(group);
    ExternalEditorButton->SetParent(group);
    ExternalEditorButton->SetCaption(L"外部エディタで編集");
    ExternalEditorButton->SetBounds(12, group->ClientHeight() - 36, 140, 25);
    ExternalEditorButton->SetAnchors(akLeft | akBottom);
    ExternalEditorButton->OnClick = [this](TComponent*) { ExternalEditorClick(); };

    const TOkCancelButtons buttons = MakeOkCancelButtons(this, 8, ClientHeight() - 35);
    OkButton = buttons.Ok;
    CancelButton = buttons.Cancel;
    // OK closes only after its check: the modal result is set there.
    OkButton->ModalResult = mrNone;
    OkButton->OnClick = [this](TComponent*) { OkClick(); };
    SetActiveControl(EntryValue);
}

void TEditorFormMultiSZ::OkClick() {
    if (RemoveEmptyLines(EntryValue->Lines()) > 0)
        wide::WideMessageDlg(EmptyLinesRemovedText, wide::mtInformation, wide::mbOKOnly, 0);
    SetModalResult(mrOk);
}

void TEditorFormMultiSZ::ExternalEditorClick() {
    EditLinesExternally(this, EntryValue->Lines(), TextEditorPath);
}

}  // namespace editors
