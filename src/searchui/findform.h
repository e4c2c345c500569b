// The search dialog "検索フォーム": the keyword with its history and the regular-expression
// token menu, the matching options, and the start keys with their named lists.
//
// The dialog keeps "findword.db" (the keyword history, written at OK with a keyword) and
// "findkey.db" (the named key lists, written when the dialog closes and they changed), and
// reads and writes the default list's name as "FindList" through its host. What it shows
// is always what its search::TFindListsModel holds; each handler is one call there.
//
// The main window creates it with itself as owner and host, may put start keys of its own
// into it (SetStartKeys), shows it modally and on OK reads FindRecord(). The OK button
// stays disabled while there is no start key; the delete button while none is selected.
//
// Main thread only.
#pragma once

#include <string>
#include <vector>

#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/wideforms.h"
#include "search/find_lists.h"
#include "search/find_record.h"
#include "searchui/findhost.h"

namespace ui {
class TUiComboBox;
class TUiListBox;
class TUiPopupMenu;
class TUiSpeedButton;
}  // namespace ui
namespace widgets {
class TVxVSTab;
}

namespace searchui {

// Where the dialog keeps its two files.
struct TFindFormFiles {
    std::wstring KeyLists;  // "findkey.db"
    std::wstring Words;     // "findword.db"
    // Both in the "Settings" folder beside the program (created when missing).
    static TFindFormFiles InSettingsFolder();
};

class TFindForm : public wide::TWideForm {
public:
    TFindForm(classlib::TComponent* owner, IFindDialogHost& host,
              const TFindFormFiles& files = TFindFormFiles::InSettingsFolder());
    ~TFindForm() override;

    // The main window's start keys (one full key path per line) replace the dialog's; an
    // empty text leaves them as they are.
    void SetStartKeys(const std::wstring& text);
    // The keyword taken at OK.
    const std::wstring& Keyword() const { return FKeyword; }
    // The search as the dialog describes it: keyword, start keys (each followed by CR LF)
    // and options. The windows and the result list are the caller's to fill.
    search::TWendlarFindRecord FindRecord();

    // The tab strip and its two pages.
    widgets::TVxVSTab* VxVSTab1 = nullptr;
    ui::TUiPanel* Notebook = nullptr;
    ui::TUiPanel* PageRange = nullptr;    // "範囲とキーワード"
    ui::TUiPanel* PageOptions = nullptr;  // "検索オプション"
    // Group "基本".
    ui::TUiGroupBox* GroupBasic = nullptr;
    ui::TUiComboBox* FindKeyword = nullptr;
    ui::TUiSpeedButton* RegExButton = nullptr;
    ui::TUiRadioButton* NormalFind = nullptr;
    ui::TUiCheckBox* NoIgnoreCase = nullptr;
    ui::TUiCheckBox* AllMatch = nullptr;
    ui::TUiRadioButton* RegExFind = nullptr;
    ui::TUiLabel* RegExEngineLabel = nullptr;
    // Group "検索するキー".
    ui::TUiGroupBox* GroupKeys = nullptr;
    ui::TUiComboBox* KeyListBox = nullptr;
    ui::TUiButton* KeyListButton = nullptr;  // "キーリストの操作"
    ui::TUiListBox* FindKeyList = nullptr;
    ui::TUiButton* DelButton = nullptr;
    ui::TUiButton* AddButton = nullptr;  // "追加(&A)"
    // Group "検索対象".
    ui::TUiGroupBox* GroupTargets = nullptr;
    ui::TUiCheckBox* CheckNoSubKey = nullptr;
    ui::TUiCheckBox* CheckNoKeyName = nullptr;
    ui::TUiCheckBox* CheckNoValueFind = nullptr;
    ui::TUiCheckBox* CheckNoValue = nullptr;
    // Below the pages.
    ui::TUiPanel* ButtonPanel = nullptr;
    ui::TUiButton* CancelButton = nullptr;
    ui::TUiButton* OkButton = nullptr;
    // The menus of the two drop-down buttons (themed like the main window's menus).
    ui::TUiPopupMenu* PrisetMenu = nullptr;
    ui::TUiItem* PMKeyListSave = nullptr;
    ui::TUiItem* PMKeyListDef = nullptr;
    ui::TUiItem* PMKeyListLoad = nullptr;
    ui::TUiItem* PMKeyListDelete = nullptr;
    ui::TUiPopupMenu* RegExPopup = nullptr;

    // The buttons' states follow the lists whenever the application is idle.
    void UpdateActions() override;

private:
    void BuildRangePage(const ui::TPlacer& page);
    void BuildOptionsPage(const ui::TPlacer& page);
    void BuildMenus();
    // The combo box and the start-key list show the model again.
    void ShowKeyLists();
    void ShowStartKeys();

    void LoadLists();
    void UpdateButtons();
    void DeleteSelectedKeys();
    void PickStartKey();
    void LoadSelectedList();
    void SaveStartKeysAsList();
    void MakeSelectedListDefault();
    void DeleteSelectedList();
    // Inserts the token that the menu item keeps as its hint at the keyword's caret.
    void InsertRegexToken(classlib::TComponent* item);
    void TakeKeyword();

    IFindDialogHost& FHost;
    ui::TNotebookPages FPages;
    search::TFindListsModel FModel;
    std::wstring FKeyword;
};

}  // namespace searchui
