// Message boxes and the one-line input box of the program, as our own Unicode forms.
//
// A message box has a caption and system icon by its type, the message (shown exactly: "&"
// is no hot-key mark there, so a path like "A&B" reads as it is), and buttons in a fixed
// order with Japanese captions. It is sized from the text (wrapping at half the screen
// width) and centred on the screen unless a position is given. Enter presses the default
// button (OK, else Yes, else Retry); Esc the cancel button (Cancel, else No, else OK).
// Ctrl+C copies the whole box as text. The functions return the modal result and free the
// form in every case. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"

#include <windows.h>

#include <string>

namespace wide {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
// A set of buttons: bit n stands for button kind n.
using TMsgDlgButtons = WORD;
constexpr TMsgDlgButtons MsgDlgBtn(TMsgDlgBtn b) { return static_cast<TMsgDlgButtons>(1u << b); }
constexpr TMsgDlgButtons mbYesNo = MsgDlgBtn(mbYes) | MsgDlgBtn(mbNo);
constexpr TMsgDlgButtons mbYesNoCancel = mbYesNo | MsgDlgBtn(mbCancel);
constexpr TMsgDlgButtons mbOKCancel = MsgDlgBtn(mbOK) | MsgDlgBtn(mbCancel);
constexpr TMsgDlgButtons mbOKOnly = MsgDlgBtn(mbOK);

// "警告", "エラー", "情報", "確認", or the application title for mtCustom.
std::wstring GetMessageCaption(int type);
// "はい(&Y)", "いいえ(&N)", "OK", "キャンセル"...
std::wstring GetButtonCaption(int kind);

class TWideMessageForm : public TWideForm {
public:
    explicit TWideMessageForm(classlib::TComponent* owner);
    // The label that shows the message (component name "Message").
    classlib::TControl* Message = nullptr;
    // The text Ctrl+C puts on the clipboard.
    std::wstring CopyText();

protected:
    void KeyDown(WORD& key, classlib::TShiftState shift) override;
};

// Builds (does not show) a message box; the caller frees it.
TWideMessageForm* CreateWideMessageDialog(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons);

int WideMessageDlg(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx);
int WideMessageDlgPos(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y);
int WideMessageDlgPosHelp(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                          int y, const std::wstring& helpFileName);
void WideShowMessage(const std::wstring& msg);
void WideShowMessagePos(const std::wstring& msg, int x, int y);
// True and `value` replaced when the user confirms with OK; at most 255 characters.
bool WideInputQuery(const std::wstring& caption, const std::wstring& prompt, std::wstring& value);
// The text entered, or `defaultValue` unchanged when cancelled.
std::wstring WideInputBox(const std::wstring& caption, const std::wstring& prompt, const std::wstring& defaultValue);

}  // namespace wide
