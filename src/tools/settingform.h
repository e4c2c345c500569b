// The settings dialog "設定": the options of "setting.db", the colours and their presets,
// and the shortcut and gesture of every command of the main window.
//
// A list on the left switches five pages: "基本設定", "その他", "色設定",
// "キーボードショートカット", "マウスジェスチャー". Each option shows in a control named by
// its key (FieldOf); the fields, their bounds and defaults come from the option table.
//
// Opening reads the three files (tools/settingsdoc.h); a file that loaded with loss or could
// not be read is told as soon as the dialog shows. Nothing is written before OK, except
// that a theme picked in the theme box is taken by the running program at once; leaving
// the dialog in any other way ("キャンセル", the close box, Esc) puts back the theme it
// opened with.
//
// Number fields store what they show: leaving a field, pressing Enter in it or pressing OK
// reads its text (tools/spintext.h); a number outside the range becomes the nearest bound and
// text that is no number gives back the value the field had, and the field is marked. OK
// with a field it had to correct stays open, so the user sees the value before it is
// stored.
//
// Shortcuts: a key that types a character, pressed without Ctrl or Alt, is refused (the row
// keeps its value). OK names every shortcut or gesture given in this dialog that another
// command has as well, and stores them only when the user agrees.
//
// OK writes "setting.db", "Gesture.db" and "HotKey.db"; a file that cannot be written is
// named and the dialog stays open. The modal result is mrOk only after all three are
// written. Made and shown once per command (ui::ShowModalForm); main thread only.
#pragma once

#include "controls/wide/wideforms.h"
#include "tools/settingsdoc.h"
#include "tools/settinghost.h"
#include "tools/themechoice.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace wide {
class TColorBox;
class THotKey;
class TWideListView;
}
namespace ui {
class TUiButton;
class TUiButtonEdit;
class TUiComboBox;
class TUiEdit;
class TUiItem;
class TUiLabel;
class TUiListBox;
class TUiPanel;
class TUiPopupMenu;
class TUiSpinEdit;
class TPlacer;
struct TPlace;
}

namespace tools {

class TSettingForm : public wide::TWideForm {
public:
    TSettingForm(classlib::TComponent* owner, ISettingDialogHost& host);
    ~TSettingForm() override;

    // The page list and its pages (0 基本設定 ... 4 マウスジェスチャー).
    ui::TUiListBox* UiListBox1 = nullptr;
    int PageIndex() const;
    ui::TUiButton* UiButton2 = nullptr;  // OK(&O)
    ui::TUiButton* UiButton1 = nullptr;  // キャンセル

    // The control that shows the option of that key (a check box, spin edit, button edit,
    // colour box or the theme box); null for the font keys, which the preview label holds.
    classlib::TControl* FieldOf(const std::wstring& key) const;
    ui::TUiComboBox* SetThmThemes = nullptr;
    ui::TUiButton* SettingFontButton = nullptr;
    ui::TUiLabel* FontPreviewLabel = nullptr;

    // Colours: the reset button and the preset button with its two menu items.
    ui::TUiButton* UiButton3 = nullptr;
    ui::TUiButton* UiButton4 = nullptr;
    ui::TUiPopupMenu* ColorPrisetPopup = nullptr;
    ui::TUiItem* UiItem2 = nullptr;  // 名前をつけて色設定を保存
    ui::TUiItem* UiItem1 = nullptr;  // 色設定をロード

    // The two tables, their editors and the gesture buttons (GestureButtonDefs order).
    wide::TWideListView* HotKeyList = nullptr;
    wide::THotKey* HotKey = nullptr;
    ui::TUiLabel* HotKeyNote = nullptr;
    wide::TWideListView* GestureList = nullptr;
    ui::TUiEdit* GestureEditor = nullptr;
    std::vector<ui::TUiButton*> GestureButtons;

    // What the dialog holds now (the controls read back), and the tables' rows.
    options::TMainOptions CurrentOptions();
    const TCommandTable& HotKeyTable() const { return FDocument.HotKeys; }
    const TCommandTable& GestureTable() const { return FDocument.Gestures; }

private:
    struct TPages;

    void BuildBasicPage(classlib::TWinControl& page);
    void BuildTreePage(classlib::TWinControl& page);
    void BuildColorPage(classlib::TWinControl& page);
    void BuildShortcutPage(classlib::TWinControl& page);
    void BuildGesturePage(classlib::TWinControl& page);
    wide::TWideListView* AddCommandList(classlib::TWinControl& parent, int left, int top, int width, int height,
                                        const wchar_t* valueColumn, const TCommandTable& table);
    void Bind(const wchar_t* key, classlib::TControl* control);
    ui::TUiSpinEdit* AddNumberField(const ui::TPlacer& group, const wchar_t* key, const wchar_t* caption,
                                    const ui::TPlace& label, const ui::TPlace& field);

    void ShowOptions();
    void ShowFont();
    void TellDamagedFiles();
    // Reads a number field's text back (see above); false when it had to be corrected.
    bool ReadNumberField(ui::TUiSpinEdit& field);
    bool Accept();
    bool ConfirmSharedBindings();

    void UiListBox1Click();
    void SetThmThemesChange();
    void SettingFontButtonClick();
    void ChooseFileInto(ui::TUiButtonEdit& edit, const wchar_t* filter);
    void ResetColors();
    void SavePreset();
    void LoadPreset();
    void HotKeyListChange();
    void HotKeyChange();
    void GestureListChange();
    void GestureButtonClick(size_t button);
    void GestureEditorChange();
    void UpdateEditors();

    ISettingDialogHost& FHost;
    TSettingsDocument FDocument;
    // The tables as they were when the dialog opened (the values changed here are asked
    // about at OK).
    TCommandTable FOpenedHotKeys, FOpenedGestures;
    TThemeChoice FThemes;
    std::unique_ptr<TPages> FPages;
    std::map<std::wstring, classlib::TControl*> FFields;
    std::vector<ui::TUiSpinEdit*> FNumberFields;
    options::TFontOptions FFont;
    bool FSettingEditors = false;
};

}  // namespace tools
