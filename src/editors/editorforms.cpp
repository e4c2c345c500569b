#include "editors/editorforms.h"

#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/wide/wideedit.h"

namespace editors {

using namespace classlib;

TOkCancelButtons MakeOkCancelButtons(TWinControl* parent, int right, int top) {
    constexpr int width = 75, height = 25, gap = 8;
    TOkCancelButtons buttons;
    buttons.Cancel = new ui::TUiButton(parent);
    buttons.Cancel->SetParent(parent);
    buttons.Cancel->SetCaption(L"キャンセル");
    buttons.Cancel->ModalResult = mrCancel;
    buttons.Cancel->Cancel = true;
    buttons.Cancel->SetBounds(parent->ClientWidth() - right - width, top, width, height);
    buttons.Cancel->SetAnchors(akRight | akBottom);

    buttons.Ok = new ui::TUiButton(parent);
    buttons.Ok->SetParent(parent);
    buttons.Ok->SetCaption(L"OK(&O)");
    buttons.Ok->ModalResult = mrOk;
    buttons.Ok->SetDefault(true);
    buttons.Ok->SetBounds(buttons.Cancel->Left() - gap - width, top, width, height);
    buttons.Ok->SetAnchors(akRight | akBottom);
    return buttons;
}

ui::TUiLabel* MakeLabel(TWinControl* parent, const std::wstring& caption, int left, int top, TWinControl* focus) {
    auto* label = new ui::TUiLabel(parent);
    label->SetParent(parent);
    label->SetCaption(caption);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetFocusControl(focus);
    return label;
}

void ShowExistingValueName(wide::TWideCustomEdit& edit, const std::wstring& name) {
    edit.SetText(name);
    edit.SetReadOnly(true);
    edit.SetColor(clBtnFace);
}

}  // namespace editors
