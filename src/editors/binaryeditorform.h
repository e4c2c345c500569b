// The binary editor "バイナリエディタ" and its find dialog "バイナリデータの検索".
//
// The editor edits a value's raw bytes in a hex editor. The caller fills EntryName (an
// existing value's name read-only: ShowExistingValueName), shows the type selector with
// ShowValueType when the type is to be seen or chosen, sets it (disabled when the type may
// not change), loads the bytes (LoadValueIntoHexEditor or LoadFromStream of EntryValue),
// shows the form modally and, on modal result 1, reads the name, ValueType() and the bytes.
// Its commands (file, edit, find) are actions with their shortcuts, in its menu bar, on its
// toolbar (the edit and find commands) and, for the edit commands, the hex editor's popup
// menu.
//
// The find dialog is made on the first find and lives as long as the editor; it keeps its
// text, bytes and options between searches, and F3 repeats the last search.
//
// Main thread only.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/form.h"
#include "controls/wide/wideforms.h"
#include "editors/binaryeditor.h"

namespace classlib {
class TAction;
class TActionList;
class TMainMenu;
class TPopupMenu;
}  // namespace classlib
namespace hexedit {
class THexEditorEx;
}
namespace themed {
class TThmDock;
class TThmToolbar;
}  // namespace themed
namespace wide {
class TWideEdit;
}
namespace ui {
class TUiButton;
class TUiCheckBox;
class TUiEdit;
class TUiLabel;
class TUiPanel;
class TUiRadioButton;
class TUiSpinEdit;
}  // namespace ui

namespace editors {

class TBinFindForm : public classlib::TForm {
public:
    explicit TBinFindForm(classlib::TComponent* owner);

    ui::TUiRadioButton* UiRadioButton1 = nullptr;  // "テキストの検索："
    wide::TWideEdit* Edit1 = nullptr;
    ui::TUiRadioButton* UiRadioButton2 = nullptr;  // "バイナリデータの検索"
    hexedit::THexEditorEx* HexEditorEx1 = nullptr;
    ui::TUiCheckBox* UiCheckBox1 = nullptr;        // "大文字小文字を区別する"
    ui::TUiButton* OkButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;

    // Enables the field of the checked radio button and disables the other.
    void UpdateFields();
    // Puts the focus in the field of the checked radio button, ready to type in.
    void FocusField();
    // What the dialog asks for now.
    TBinaryFindRequest Request();
};

class TEditorBinForm : public wide::TWideForm {
public:
    explicit TEditorBinForm(classlib::TComponent* owner);

    ui::TUiPanel* EntryToolWin = nullptr;
    ui::TUiEdit* EntryName = nullptr;
    ui::TUiPanel* ValueTypeToolWin = nullptr;
    ui::TUiSpinEdit* ValTypeSelector = nullptr;
    ui::TUiLabel* ValType = nullptr;
    hexedit::THexEditorEx* EntryValue = nullptr;
    ui::TUiButton* OkButton = nullptr;
    ui::TUiButton* CancelButton = nullptr;
    classlib::TActionList* Actions = nullptr;
    classlib::TMainMenu* MainMenu = nullptr;
    classlib::TPopupMenu* EditPopup = nullptr;
    themed::TThmDock* TopDock = nullptr;
    themed::TThmToolbar* ToolBar = nullptr;

    // Shows or hides the type selector's bar.
    void ShowValueType(bool visible);
    // The type selector: 0 to 0xFFFFFFFF; the caption beside it names the type.
    DWORD ValueType();
    void SetValueType(DWORD type);

    // The action of `name` ("aacBinEdFind"...), or null.
    classlib::TAction* ActionByName(const std::wstring& name);
    // Opens the find dialog and searches when it closes with OK.
    void Find();
    // The search step with the find dialog's request (F3).
    void FindNext();
    // The find dialog once the first find made it, else null.
    TBinFindForm* FindForm() const { return FFindForm; }

    // The editing keys (Del, Ctrl+A/C/V/X/Z) belong to a text field that has the focus
    // (the value name, the type number): only with the focus elsewhere do they run the
    // hex editor's commands.
    bool IsShortCut(WORD key, classlib::TShiftState shift) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void UpdateStates();
    void OpenFile();
    void SaveFileAs();

    TBinFindForm* FFindForm = nullptr;
    TBinaryFinder FFinder;
};

}  // namespace editors
