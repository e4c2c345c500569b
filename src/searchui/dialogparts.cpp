#include "searchui/dialogparts_p.h"

namespace searchui::detail {

using namespace classlib;

ui::TUiButton* PlaceButton(TComponent* owner, TWinControl* parent, const std::wstring& caption, int left, int top,
                           int width, TModalResult result) {
    auto* button = PlaceCaptioned<ui::TUiButton>(owner, parent, caption, left, top, width, 25);
    button->ModalResult = result;
    return button;
}

void SetMargins(themed::TThmControlMargins& margins, int room) {
    margins.SetLeft(room);
    margins.SetTop(room);
    margins.SetRight(room);
    margins.SetBottom(room);
}

void SetUpDialogForm(TForm& form, const std::wstring& caption, int clientWidth, int clientHeight, bool sizeable) {
    form.SetCaption(caption);
    form.SetBorderStyle(sizeable ? bsSizeable : bsDialog);
    form.SetBorderIcons(biSystemMenu);
    form.SetPosition(poOwnerFormCenter);
    form.SetClientSize(clientWidth, clientHeight);
}

}  // namespace searchui::detail
