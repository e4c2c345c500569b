// The paste-format dialog of the hex editor: when pasted or dropped data offers more than
// one accepted clipboard format, the user picks one from a list; for plain text a check
// box chooses between raw text and hex digits.
//
// The dialog is a plain form built in code each time it is needed and freed afterwards.
// The format picked last is remembered for the process and preselected next time.
// Main thread only.
#pragma once

#include <string>
#include <vector>

#include "classlib/form.h"

namespace wide {
class TWideButton;
class TWideListBox;
}  // namespace wide

namespace hexedit {

// A check box over the system BUTTON control.
class THexCheckBox : public classlib::TWinControl {
public:
    explicit THexCheckBox(classlib::TComponent* owner);
    bool Checked() const;
    void SetChecked(bool value);

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void CNCommand(classlib::TMessage& m) override;

private:
    bool FChecked = false;
};

// Display name of a clipboard format: the standard names for 1 to 16, otherwise the
// registered name, or the number in parentheses when it has none.
std::wstring ClipboardFormatDisplayName(unsigned format);

class TFormatSelDialog : public classlib::TForm {
public:
    TFormatSelDialog(classlib::TComponent* owner, const std::vector<WORD>& formats, bool asHexText);

    wide::TWideButton* OkButton() const { return FOk; }
    wide::TWideButton* CancelButton() const { return FCancel; }
    THexCheckBox* HexTextCheck() const { return FHexText; }
    wide::TWideListBox* List() const { return FList; }
    // Format of the selected item, or -1.
    int SelectedFormat();
    // Enables the hex-text box only for text formats (the list's click rule).
    void ListClicked();
    // After OK: the chosen format and, for text, the check box's state. False without a
    // selected item.
    bool Apply(WORD& format, bool& asHexText);

private:
    wide::TWideButton* FOk;
    wide::TWideButton* FCancel;
    THexCheckBox* FHexText;
    wide::TWideListBox* FList;
};

// Shows the dialog for `formats` modally. On OK with a selection: format := the choice,
// asHexText := the check box for CF_TEXT and CF_OEMTEXT, remembered choice updated, true.
// Otherwise false and nothing changes.
bool ShowFormatDialog(const std::vector<WORD>& formats, WORD& format, bool& asHexText);

// The format picked last in the dialog (-1 before the first pick).
int LastChosenClipFormat();
void SetLastChosenClipFormat(int format);

}  // namespace hexedit
