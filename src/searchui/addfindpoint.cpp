#include "searchui/addfindpoint.h"

#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "views/regtreeview.h"

namespace searchui {

using namespace classlib;
using namespace ui;

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
    constexpr int width = 420, height = 460, topHeight = 29, bottomHeight = 39;
    SetUpDialog(*this, {L"検索対象の追加", width, height, true});
    const TPlacer at(this, this);

    TopPanel = at.Panel({0, 0, width, topHeight}, alTop);
    SetMargins(TopPanel->Margins(), 3);
    const TPlacer top = at.On(TopPanel);
    JumpButton = top.Button(L"移動", {342, 3, 75, 25}, mrNone, [this] { JumpToAddress(); });
    JumpButton->SetAlign(alRight);
    AddressEdit = top.Add<TAddressEdit>({3, 3, 336, 23});
    AddressEdit->SetAlign(alClient);
    AddressEdit->SetTabOrder(0);

    BottomPanel = at.Panel({0, height - bottomHeight, width, bottomHeight}, alBottom);
    const std::vector<TPlace> row = ButtonRow(width - 10, 7, {75, 75});
    const TOkCancel pair = AddOkCancel(
        at.On(BottomPanel), {.Ok = row[0], .Cancel = row[1], .OkCaption = L"追加(&O)", .Anchors = akRight | akTop});
    OkButton = pair.Ok;
    CancelButton = pair.Cancel;

    VxRegTreeView = at.Add<views::TVxRegTreeView>({0, topHeight, width, height - topHeight - bottomHeight});
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
    VxRegTreeView->OnChange = [this](gridtree::TBaseGridTree*, gridtree::PGridNode) { ShowSelectedKeyPath(); };
    SetActiveControl(VxRegTreeView);
    VxRegTreeView->AddLocalComputerRoot(L"");
}

std::wstring TAddFindPointForm::Address() { return AddressEdit->GetText(); }

void TAddFindPointForm::ShowSelectedKeyPath() {
    // The computer node names no key: the box keeps what it holds.
    if (auto key = VxRegTreeView->GetSelectedKey()) AddressEdit->SetText(key->FFullPath);
}

void TAddFindPointForm::JumpToAddress() { VxRegTreeView->JumpToPath(AddressEdit->GetText()); }

}  // namespace searchui
