// The paste-format dialog.
#include "hexedit/hexformatdialog.h"

#include <memory>

#include "classlib/application.h"
#include "classlib/screen.h"
#include "controls/wide/widebutton.h"
#include "controls/wide/widelistbox.h"

namespace hexedit {

using namespace wide;

using namespace classlib;

namespace {

int GLastFormat = -1;

constexpr const wchar_t* SelectDataFormat = L"Select data format";
constexpr const wchar_t* HexTextCaption = L"Hex text";

bool IsTextFormat(int format) { return format == CF_TEXT || format == CF_OEMTEXT; }

}  // namespace

int LastChosenClipFormat() { return GLastFormat; }
void SetLastChosenClipFormat(int format) { GLastFormat = format; }

std::wstring ClipboardFormatDisplayName(unsigned format) {
    static const wchar_t* const names[] = {L"Text",
                                           L"Bitmap Picture",
                                           L"Metafile Picture",
                                           L"Microsoft Symbolic Link (SYLK) data",
                                           L"Software Arts' Data Interchange Format",
                                           L"Tagged Image File Format (TIFF) Picture",
                                           L"OEM Text",
                                           L"Device Independent Bitmap Picture",
                                           L"Color Palete",
                                           L"Pen Data",
                                           L"RIFF Audio Data",
                                           L"Wave Audio",
                                           L"Unicode Text",
                                           L"Enhanced Metafile Picture",
                                           L"File List",
                                           L"Text Locale"};
    if (format >= 1 && format <= 16) return names[format - 1];
    wchar_t buffer[513] = {};
    const int n = GetClipboardFormatNameW(format, buffer, 512);
    std::wstring name(buffer, n > 0 ? n : 0);
    const size_t first = name.find_first_not_of(L" \t\r\n");
    name = first == std::wstring::npos ? std::wstring() : name.substr(first, name.find_last_not_of(L" \t\r\n") - first + 1);
    return name.empty() ? L"(" + std::to_wstring(format) + L")" : name;
}

// ---- Check box ----------------------------------------------------------------------------

THexCheckBox::THexCheckBox(TComponent* owner) : TWinControl(owner) {
    FTabStop = true;
    FWidth = 97;
    FHeight = 17;
}

bool THexCheckBox::Checked() const {
    if (HandleAllocated()) return SendMessageW(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return FChecked;
}

void THexCheckBox::SetChecked(bool value) {
    FChecked = value;
    if (HandleAllocated()) SendMessageW(FHandle, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void THexCheckBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = L"BUTTON";
    p.Style |= BS_AUTOCHECKBOX;
}

void THexCheckBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void THexCheckBox::CNCommand(TMessage& m) {
    if (HIWORD(m.WParam) == BN_CLICKED) {
        FChecked = SendMessageW(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED;
        Click();
    }
    m.Result = 0;
}

// ---- Dialog -------------------------------------------------------------------------------

TFormatSelDialog::TFormatSelDialog(TComponent* owner, const std::vector<WORD>& formats, bool asHexText)
    : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetBounds(Left(), Top(), Screen->Width() / 4, Screen->Height() / 4);
    SetPosition(poOwnerFormCenter);
    SetCaption(SelectDataFormat);

    FOk = new wide::TWideButton(this);
    FOk->SetParent(this);
    FOk->ModalResult = mrOk;
    FOk->SetDefault(true);
    FOk->SetCaption(L"OK");
    FOk->SetWidth(Width() / 2 - 32);
    FOk->SetTop(ClientHeight() - FOk->Height() - 8);
    FOk->SetLeft(16);
    FOk->SetEnabled(false);

    FCancel = new wide::TWideButton(this);
    FCancel->SetParent(this);
    FCancel->ModalResult = mrCancel;
    FCancel->Cancel = true;
    FCancel->SetCaption(L"キャンセル");
    FCancel->SetWidth(FOk->Width());
    FCancel->SetTop(FOk->Top());
    FCancel->SetLeft(ClientWidth() - FCancel->Width() - 16);

    FHexText = new THexCheckBox(this);
    FHexText->SetParent(this);
    FHexText->SetCaption(HexTextCaption);
    FHexText->SetEnabled(false);
    FHexText->SetTop(FCancel->Top() - FHexText->Height() - 8);
    FHexText->SetLeft(FOk->Left());
    FHexText->SetWidth(ClientWidth() - FHexText->Left());
    FHexText->SetChecked(asHexText);

    FList = new wide::TWideListBox(this);
    FList->SetParent(this);
    FList->SetAlign(alTop);
    FList->SetHeight(ClientHeight() - FCancel->Height() - FHexText->Height() - 24);
    FList->OnDblClick = [this](TComponent*) { SetModalResult(mrOk); };
    FList->OnClick = [this](TComponent*) { ListClicked(); };

    for (WORD format : formats) {
        FList->Items().AddObject(ClipboardFormatDisplayName(format),
                                 reinterpret_cast<void*>(static_cast<uintptr_t>(format)));
        FOk->SetEnabled(true);
        int selected = 0;
        for (int i = 0; i < FList->Count(); ++i)
            if (static_cast<int>(reinterpret_cast<uintptr_t>(FList->Items().GetObject(i))) == GLastFormat)
                selected = i;
        FList->SetItemIndex(selected);
    }
    ListClicked();
}

int TFormatSelDialog::SelectedFormat() {
    const int index = FList->ItemIndex();
    if (index < 0) return -1;
    return static_cast<int>(reinterpret_cast<uintptr_t>(FList->Items().GetObject(index)));
}

void TFormatSelDialog::ListClicked() { FHexText->SetEnabled(IsTextFormat(SelectedFormat())); }

bool TFormatSelDialog::Apply(WORD& format, bool& asHexText) {
    const int selected = SelectedFormat();
    if (selected < 0) return false;
    format = static_cast<WORD>(selected);
    if (IsTextFormat(selected)) asHexText = FHexText->Checked();
    GLastFormat = selected;
    return true;
}

bool ShowFormatDialog(const std::vector<WORD>& formats, WORD& format, bool& asHexText) {
    std::unique_ptr<TFormatSelDialog> dialog(new TFormatSelDialog(Application, formats, asHexText));
    if (dialog->ShowModal() != mrOk) return false;
    return dialog->Apply(format, asHexText);
}

}  // namespace hexedit
