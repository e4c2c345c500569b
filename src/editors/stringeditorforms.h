// The dialogs that edit a REG_SZ value ("文字列エディタ") and a REG_EXPAND_SZ value
// ("展開可能文字列エディタ").
//
// The "..." button of the value field opens a menu at the mouse cursor that fills the field
// from a chosen file or folder, with two options (both on at first): put the path in double
// quotes, and append "%1" in double quotes to a file path. The expandable-string editor
// lists the machine's and the user's environment variables (a double click inserts the
// variable as %NAME% in place of the value field's selection) and previews the value with
// the variables of this process expanded.
//
// The dialogs touch no registry value: the caller fills EntryName and EntryValue, shows the
// dialog modally and reads them back when the result is 1. Main thread only.
#pragma once

#include "editors/stringeditors.h"
#include "editors/valueeditorform.h"

#include <memory>
#include <vector>

namespace classlib {
class TPopupMenu;
class TMenuItem;
}  // namespace classlib
namespace ui {
class TUiListBox;
}

namespace editors {

class TEditorSZForm : public TValueEditorForm {
public:
    explicit TEditorSZForm(classlib::TComponent* owner);

    ui::TUiButtonEdit* EntryValue = nullptr;
    // The menu of the "..." button and its two options.
    classlib::TPopupMenu* ChoiceMenu = nullptr;
    classlib::TMenuItem* OnQuote = nullptr;
    classlib::TMenuItem* OnParOne = nullptr;

    // What the menu's two commands do once a file or folder was chosen (the dialogs
    // themselves run in ChooseFile and ChooseFolder).
    void FileChosen(const std::wstring& path);
    void FolderChosen(const std::wstring& folder);

protected:
    // Builds the group with the two fields; the caller adds its own parts and finishes.
    TEditorSZForm(classlib::TComponent* owner, const std::wstring& caption, int width);

private:
    void BuildChoiceMenu();
    void ChooseFile();
    void ChooseFolder();
};

class TEditorExSZForm : public TEditorSZForm {
public:
    explicit TEditorExSZForm(classlib::TComponent* owner);

    ui::TUiEdit* PrevierEnv = nullptr;
    ui::TUiListBox* EnvironmentVariables = nullptr;
    // The listed variables, in list order (item i of the list shows Variables()[i]).
    const std::vector<TEnvironmentVariable>& Variables() const { return FVariables; }

    // Inserts the selected variable into the value field (what a double click on it does).
    void InsertSelectedVariable();

protected:
    void DoShow() override;

private:
    void UpdatePreview();
    void DrawVariable(int index, RECT rect, unsigned state);
    std::vector<TEnvironmentVariable> FVariables;
};

}  // namespace editors
