#include "searchui/addfindpoint.h"

#include "controls/toolbar/ui/uiedits.h"
#include "searchui/dialogparts_p.h"
#include "views/regtreeview.h"

namespace searchui {

using namespace classlib;
using detail::Place;
using detail::PlaceButton;

namespace {

// The address box keeps Enter for itself: it jumps to the typed path instead of pressing
// the dialog's default button. The jump runs when the key is released; the key itself is
// consumed (a single-line edit would only beep at it).
class TAddressEdit : public ui::TUiEdit {
public:
    using ui::TUiEdit::TUiEdit;

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_WANTSPECIALKEY && m.WParam == VK_RETURN) {
            m.Result = 1;
            return;
        }
        ui::TUiEdit::Dispatch(m);
    }
    void KeyDown(WORD& key, TShiftState shift) override {
        ui::TUiEdit::KeyDown(key, shift);
        if (key == VK_RETURN) key = 0;
    }
    void KeyPress(wchar_t& key) override {
        ui::TUiEdit::KeyPress(key);
        if (key == L'\r') key = 0;
    }
};

}  // namespace

TAddFindPointForm::TAddFindPointForm(TComponent* owner, TImageList* componentImages) : wide::TWideForm(owner) {
    detail::SetUpDialogForm(*this, L"検索対象の追加", 420, 460, true);

    TopPanel = Place<ui::TUiPanel>(this, this, 0, 0, 420, 29);
    TopPanel->SetAlign(alTop);
    TopPanel->SetBorders(false);
    detail::SetMargins(TopPanel->Margins(), 3);
    JumpButton = PlaceButton(this, TopPanel, L"移動", 342, 3, 75, mrNone);
    JumpButton->SetAlign(alRight);
    AddressEdit = Place<TAddressEdit>(this, TopPanel, 3, 3, 336, 23);
    AddressEdit->SetAlign(alClient);
    AddressEdit->SetTabOrder(0);

    BottomPanel = Place<ui::TUiPanel>(this, this, 0, 421, 420, 39);
    BottomPanel->SetAlign(alBottom);
    BottomPanel->SetBorders(false);
    OkButton = PlaceButton(this, BottomPanel, L"追加(&O)", 252, 7, 75, mrOk);
    OkButton->SetDefault(true);
    OkButton->SetAnchors(akRight | akTop);
    CancelButton = PlaceButton(this, BottomPanel, L"キャンセル", 335, 7, 75, mrCancel);
    CancelButton->Cancel = true;
    CancelButton->SetAnchors(akRight | akTop);

    VxRegTreeView = Place<views::TVxRegTreeView>(this, this, 0, 29, 420, 392);
    VxRegTreeView->SetAlign(alClient);
    VxRegTreeView->SetImages(componentImages);
    VxRegTreeView->SetImageLocalComputerC(0);
    VxRegTreeView->SetImageLocalComputerO(1);
    VxRegTreeView->SetImageLocalRootFolderC(2);
    VxRegTreeView->SetImageLocalRootFolderO(3);
    VxRegTreeView->SetImageLocalFolderC(4);
    VxRegTreeView->SetImageLocalFolderO(5);
    VxRegTreeView->SetTabOrder(1);

    AddressEdit->OnKeyUp = [this](TComponent*, WORD& key, TShiftState) {
        if (key != VK_RETURN) return;
        JumpToAddress();
        key = 0;
    };
    JumpButton->OnClick = [this](TComponent*) { JumpToAddress(); };
    VxRegTreeView->OnChange = [this](gridtree::TBaseGridTree*, gridtree::PGridNode) { VxRegTreeViewChange(); };
    SetActiveControl(VxRegTreeView);
    WideFormCreate();
}

std::wstring TAddFindPointForm::Address() { return AddressEdit->GetText(); }

void TAddFindPointForm::WideFormCreate() { VxRegTreeView->AddLocalComputerRoot(L""); }

void TAddFindPointForm::VxRegTreeViewChange() {
    // The computer node names no key: the box keeps what it holds.
    if (auto key = VxRegTreeView->GetSelectedKey()) AddressEdit->SetText(key->FFullPath);
}

void TAddFindPointForm::JumpToAddress() { VxRegTreeView->JumpToPath(AddressEdit->GetText()); }

}  // namespace searchui
