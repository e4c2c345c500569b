// The settings dialog driven inside its modal loop, with a host standing in for the main
// window: its fields and defaults, the number fields, the theme, the colours and presets,
// the two command tables and what OK writes.
#include "tools/settingform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "classlib/application.h"
#include "classlib/menus.h"
#include "common/dialog_driving.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/wide/widecolorbox.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/widehotkey.h"
#include "controls/wide/widelistview.h"
#include "options/optiontable.h"
#include "settings/inifile.h"

using namespace tools;
using classlib::mrCancel;
using classlib::mrNo;
using classlib::mrNone;
using classlib::mrOk;
using classlib::mrYes;
using classlib::TColor;
using classlib::TModalResult;
using options::TOptionDef;
using testsupport::Narrow;
using testsupport::PressKeys;
using testsupport::PumpUntil;
using testsupport::RunModal;
using testsupport::WhenModal;

namespace {

const std::vector<TCommandInfo> kCommands{
    {L"ファイル", L"新規ウインドウ", 0, -1},
    {L"編集", L"コピー", classlib::ShortCut('C', classlib::ssCtrl), -1},
    {L"編集", L"切り取り", classlib::ShortCut('X', classlib::ssCtrl), -1},
    {L"ツール", L"設定...", 0, -1},
};
// The rows as the tables list them: by category, descending.
enum Row { Copy, Cut, NewWindow, Settings };

class FakeHost : public ISettingDialogHost, public IThemeSwitch {
public:
    explicit FakeHost(const testsupport::ScratchDir& dir) : FDir(dir) {}

    std::vector<std::wstring> Names{L"Default", L"Other"};
    std::wstring Current = L"Default";
    std::vector<TFileChoice> Choices;
    std::wstring ChosenFile;  // empty: the file dialog is cancelled
    std::wstring ChosenFace;  // empty: the font dialog is cancelled

    std::wstring File(const std::wstring& name) const { return FDir.File(name); }

    std::wstring SettingsFilePath(const std::wstring& name) override { return File(name); }
    std::vector<TCommandInfo> Commands() override { return kCommands; }
    classlib::TImageList* ToolBarImages() override { return nullptr; }
    IThemeSwitch& Themes() override { return *this; }
    bool ChooseFile(HWND, const TFileChoice& choice, std::wstring& fileName) override {
        Choices.push_back(choice);
        if (ChosenFile.empty()) return false;
        fileName = ChosenFile;
        return true;
    }
    bool ChooseFont(HWND, classlib::TFont& font, int, int) override {
        if (ChosenFace.empty()) return false;
        font.SetName(ChosenFace);
        font.SetHeight(-16);
        return true;
    }

    int ThemeCount() override { return static_cast<int>(Names.size()); }
    std::wstring ThemeName(int index) override { return Names.at(static_cast<size_t>(index)); }
    std::wstring CurrentTheme() override { return Current; }
    bool SwitchTheme(const std::wstring& name) override {
        Current = name;
        return true;
    }

private:
    const testsupport::ScratchDir& FDir;
};

// The next message box: its text goes to `text`, and it closes with `result`.
void AnswerMessage(TModalResult result, std::wstring* text = nullptr) {
    WhenModal<wide::TWideMessageForm>([result, text](wide::TWideMessageForm& box) {
        if (text) *text = wide::GetWideControlText(box.Message);
        box.SetModalResult(result);
    });
}

void WriteBytes(const std::wstring& fileName, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(fileName), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}


class SettingFormTest : public ::testing::Test {
protected:
    testsupport::ScratchDir Dir;
    FakeHost Host{Dir};

    std::unique_ptr<TSettingForm> Open() { return std::make_unique<TSettingForm>(nullptr, Host); }
    settings::TVxMemIniFile Read(const wchar_t* name) { return settings::TVxMemIniFile(Host.File(name)); }
    template <class T>
    T& Field(TSettingForm& form, const wchar_t* key) {
        T* field = dynamic_cast<T*>(form.FieldOf(key));
        if (!field) throw std::runtime_error("no field " + Narrow(key));
        return *field;
    }
};

bool HasEntry(const wide::TColorBox& box, TColor colour) {
    for (int i = 0; i < box.ColorCount(); ++i)
        if (box.Colors(i) == colour) return true;
    return false;
}

}  // namespace

// Every option of the table has its field, named by its key, with the table's bounds and,
// without files, the table's default (the readers' default); the first OK writes those.
// A stored value outside its range shows and stores the default; unknown keys stay.
TEST_F(SettingFormTest, FieldsAndDefaultsComeFromTheOptionTable) {
    {
        settings::TVxMemIniFile file(Host.File(L"setting.db"));
        file.WriteString(L"Main", L"SetTabWidth", L"5000");
        file.WriteString(L"Main", L"Unknown", L"残る");
        file.UpdateFile();
    }
    auto form = Open();
    for (const TOptionDef& def : options::MainOptionDefs()) {
        SCOPED_TRACE(Narrow(def.Key));
        const std::wstring key = def.Key;
        classlib::TControl* field = form->FieldOf(key);
        if (key.starts_with(L"Font")) {
            EXPECT_EQ(field, nullptr);
            continue;
        }
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->Name(), key == L"ThmTheme" ? L"SetThmThemes" : key == L"Gesture" ? L"SetGesture" : key);
        if (auto* spin = dynamic_cast<ui::TUiSpinEdit*>(field)) {
            EXPECT_EQ(spin->MinValue(), def.Min);
            EXPECT_EQ(spin->MaxValue(), def.Max);
        }
        if (auto* box = dynamic_cast<wide::TColorBox*>(field)) {
            EXPECT_EQ(HasEntry(*box, classlib::clDefault), def.DefaultColourAllowed);
            EXPECT_FALSE(HasEntry(*box, classlib::clNone));
        }
        if (key != L"ThmTheme") {
            EXPECT_EQ(options::GetOption(form->CurrentOptions(), def), options::DefaultValue(def));
        }
    }
    EXPECT_EQ(form->CurrentOptions().ThmTheme, L"Default");
    EXPECT_EQ(form->SetThmThemes->Items().GetCount(), 2);

    EXPECT_EQ(RunModal(*form, [&] { form->UiButton2->Click(); }), mrOk);
    const settings::TVxMemIniFile file = Read(L"setting.db");
    const options::TMainOptions written = options::ReadMainOptions(file);
    for (const TOptionDef& def : options::MainOptionDefs()) {
        EXPECT_TRUE(file.ValueExists(L"Main", def.Key)) << Narrow(def.Key);
        EXPECT_EQ(options::GetOption(written, def), options::DefaultValue(def)) << Narrow(def.Key);
    }
    EXPECT_EQ(file.ReadString(L"Main", L"SetTabWidth", L""), L"150");
    EXPECT_EQ(file.ReadString(L"Main", L"Unknown", L""), L"残る");
    EXPECT_TRUE(Read(L"HotKey.db").ValueExists(L"ファイル", L"新規ウインドウ"));
    EXPECT_EQ(Read(L"HotKey.db").ReadString(L"編集", L"コピー", L""), L"Ctrl+C");
}

// A number field keeps what is typed while it has the focus; leaving it or pressing Enter
// reads the text: the value it shows is the value OK stores, and a corrected field is marked.
// OK with a field it had to correct stays open.
TEST_F(SettingFormTest, NumberFieldsStoreWhatTheyShow) {
    auto form = Open();
    auto& incTime = Field<ui::TUiSpinEdit>(*form, L"SetIncTime");
    auto& tabWidth = Field<ui::TUiSpinEdit>(*form, L"SetTabWidth");
    struct Case {
        ui::TUiSpinEdit* field;
        const wchar_t* text;
        bool enter;
        long long value;
        bool marked;
    } cases[] = {
        {&incTime, L"12a", false, 1000, true},
        {&incTime, L"", true, 1000, true},
        {&incTime, L"250", false, 250, false},
        {&incTime, L"200000", true, 100000, true},
        {&tabWidth, L"-2", false, -1, true},
        {&tabWidth, L"$10", true, 16, false},
        {&tabWidth, L" 40", false, 40, false},
        {&tabWidth, L"-1", false, -1, false},
    };
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           form->UiListBox1->SetItemIndex(1);
                           form->UiListBox1->Click();
                           ASSERT_EQ(form->PageIndex(), 1);
                           for (const Case& c : cases) {
                               SCOPED_TRACE(Narrow(c.text));
                               c.field->SetFocus();
                               c.field->SetText(c.text);
                               testsupport::PumpMessages();
                               EXPECT_EQ(c.field->GetText(), c.text) << "nothing rewrites the text while typing";
                               if (c.enter)
                                   SendMessageW(c.field->Handle(), WM_CHAR, L'\r', 1);
                               else
                                   form->UiListBox1->SetFocus();
                               EXPECT_EQ(c.field->GetIntegerValue(), c.value);
                               EXPECT_EQ(c.field->GetText(), std::to_wstring(c.value));
                               EXPECT_EQ(c.field->Color() != classlib::clWindow, c.marked);
                           }
                           // OK with text that is no number: the field shows its value again,
                           // the dialog stays open; the second OK stores what it shows.
                           form->UiListBox1->SetItemIndex(0);
                           form->UiListBox1->Click();
                           incTime.SetText(L"x");
                           form->UiButton2->Click();
                           EXPECT_EQ(form->ModalResult(), mrNone);
                           EXPECT_EQ(form->PageIndex(), 1);
                           EXPECT_EQ(incTime.GetText(), L"100000");
                           EXPECT_FALSE(std::filesystem::exists(Host.File(L"setting.db")));
                           form->UiButton2->Click();
                       }),
              mrOk);
    const settings::TVxMemIniFile file = Read(L"setting.db");
    EXPECT_EQ(file.ReadString(L"Main", L"SetIncTime", L""), L"100000");
    EXPECT_EQ(file.ReadString(L"Main", L"SetTabWidth", L""), L"-1");
}

// A theme picked is taken at once; "キャンセル" and the close box put back the theme of the
// opening; OK keeps the picked one and stores it.
TEST_F(SettingFormTest, ThemeIsTakenAtOnceAndPutBackWithoutOk) {
    auto pickOther = [](TSettingForm& form) {
        SendMessageW(form.SetThmThemes->Handle(), WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(form.SetThmThemes->ItemIndex(), 1);
    };
    for (bool closeBox : {false, true}) {
        auto form = Open();
        EXPECT_EQ(RunModal(*form,
                           [&] {
                               pickOther(*form);
                               EXPECT_EQ(Host.Current, L"Other");
                               if (closeBox)
                                   form->Close();
                               else
                                   form->UiButton1->Click();
                           }),
                  mrCancel);
        EXPECT_EQ(Host.Current, L"Default");
    }
    EXPECT_FALSE(std::filesystem::exists(Host.File(L"setting.db")));

    auto form = Open();
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           pickOther(*form);
                           form->UiButton2->Click();
                       }),
              mrOk);
    EXPECT_EQ(Host.Current, L"Other");
    EXPECT_EQ(Read(L"setting.db").ReadString(L"Main", L"ThmTheme", L""), L"Other");
}

// Reset asks first; presets are saved (asking before overwriting) and loaded through the
// preset menu; a damaged target is named and left alone; "setting.db" loads as a preset.
TEST_F(SettingFormTest, ColoursResetAndPresets) {
    {
        options::TMainOptions stored;
        stored.ColorTabBack = 0x0000FF;
        stored.ColorSortColumn = 0x00FF00;
        stored.SetIncTime = 42;
        options::SaveMainOptions(Host.File(L"setting.db"), stored);
    }
    auto form = Open();
    auto& tabBack = Field<wide::TColorBox>(*form, L"ColorBoxTabBack");
    auto& sortCol = Field<wide::TColorBox>(*form, L"ColorBoxSortCol");
    auto& controlText = Field<wide::TColorBox>(*form, L"ColorBoxControlText");
    EXPECT_EQ(tabBack.Selected(), 0x0000FF);
    std::wstring question, error;
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           form->UiListBox1->SetItemIndex(2);
                           form->UiListBox1->Click();
                           AnswerMessage(mrNo, &question);
                           form->UiButton3->Click();
                           EXPECT_EQ(question, L"全ての色設定をデフォルトに戻します。よろしいですか？");
                           EXPECT_EQ(tabBack.Selected(), 0x0000FF);
                           AnswerMessage(mrYes);
                           form->UiButton3->Click();
                           EXPECT_EQ(tabBack.Selected(), classlib::clBtnFace);
                           EXPECT_EQ(sortCol.Selected(), 0xF7F7F7);

                           // Save a preset (the first menu item).
                           Host.ChosenFile = Host.File(L"mine.color");
                           testsupport::MenuKeys(form->UiButton4->Handle(), {VK_DOWN, VK_RETURN});
                           form->UiButton4->Click();
                           ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(Host.ChosenFile); }));
                           ASSERT_EQ(Host.Choices.size(), 1u);
                           EXPECT_TRUE(Host.Choices[0].Save);
                           EXPECT_TRUE(Host.Choices[0].OverwritePrompt);
                           EXPECT_EQ(Host.Choices[0].DefaultExt, L"color");
                           EXPECT_EQ(Host.Choices[0].Filter,
                                     L"色設定ファイル(*.color)|*.color|全てのファイル(*.*)|*.*");

                           // A damaged target is named and stays as it was.
                           Host.ChosenFile = Host.File(L"damaged.color");
                           WriteBytes(Host.ChosenFile, "no preset\r\n");
                           AnswerMessage(mrOk, &error);
                           testsupport::MenuKeys(form->UiButton4->Handle(), {VK_DOWN, VK_RETURN});
                           form->UiButton4->Click();
                           ASSERT_TRUE(PumpUntil([&] { return !error.empty(); }));
                           EXPECT_NE(error.find(Host.ChosenFile), std::wstring::npos) << Narrow(error);

                           // Load a preset (the second item): a value that is no colour of
                           // its row leaves its box.
                           Host.ChosenFile = Host.File(L"other.color");
                           {
                               settings::TVxMemIniFile preset(Host.ChosenFile);
                               preset.WriteString(L"Main", L"ColorBoxTabBack", L"255");
                               preset.WriteString(L"Main", L"ColorBoxSortCol", L"536870911");
                               preset.WriteString(L"Main", L"ColorBoxControlText", L"536870912");
                               preset.UpdateFile();
                           }
                           testsupport::MenuKeys(form->UiButton4->Handle(), {VK_DOWN, VK_DOWN, VK_RETURN});
                           form->UiButton4->Click();
                           ASSERT_TRUE(PumpUntil([&] { return tabBack.Selected() == 0x0000FF; }));
                           EXPECT_FALSE(Host.Choices.back().Save);
                           EXPECT_EQ(sortCol.Selected(), 0xF7F7F7);
                           EXPECT_EQ(controlText.Selected(), classlib::clWindowText);

                           // "setting.db" as a preset: its colours only.
                           Host.ChosenFile = Host.File(L"setting.db");
                           testsupport::MenuKeys(form->UiButton4->Handle(), {VK_DOWN, VK_DOWN, VK_RETURN});
                           form->UiButton4->Click();
                           ASSERT_TRUE(PumpUntil([&] { return sortCol.Selected() == 0x00FF00; }));
                           form->UiButton1->Click();
                       }),
              mrCancel);
    EXPECT_EQ(std::get<int32_t>(options::GetOption(
                  options::ReadMainOptions(Read(L"setting.db")), *options::FindOptionDef(L"ColorBoxTabBack"))),
              0x0000FF)
        << "cancel writes nothing";
    const settings::TVxMemIniFile saved = Read(L"mine.color");
    EXPECT_EQ(saved.ReadString(L"Main", L"ColorBoxTabBack", L""), L"-16777201");
    EXPECT_EQ(saved.ReadString(L"Main", L"ColorBoxSortCol", L""), L"16250871");
    std::ifstream damaged(std::filesystem::path(Host.File(L"damaged.color")), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(damaged)), {}), "no preset\r\n");
}

// Shortcuts: the hot-key control works on the selected row; a typing key alone is refused;
// a shortcut another command has is named at OK, and stored only when the user agrees.
TEST_F(SettingFormTest, ShortcutTable) {
    auto form = Open();
    ASSERT_EQ(form->HotKeyTable().Row(NewWindow).Caption, L"新規ウインドウ");
    EXPECT_FALSE(form->HotKey->Enabled());
    std::wstring question;
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           form->UiListBox1->SetItemIndex(3);
                           form->UiListBox1->Click();
                           form->HotKeyList->SetSelected(form->HotKeyList->Items().Item(NewWindow));
                           ASSERT_TRUE(PumpUntil([&] { return form->HotKey->Enabled(); }));
                           form->HotKey->SetFocus();
                           PressKeys({VK_CONTROL, VK_MENU, 'W'});
                           ASSERT_TRUE(PumpUntil([&] {
                               return form->HotKeyTable().Row(NewWindow).Value == L"Ctrl+Alt+W";
                           }));
                           EXPECT_EQ(form->HotKeyList->Items().Item(NewWindow)->SubItems().Get(1), L"Ctrl+Alt+W");

                           PressKeys({'Q'});
                           ASSERT_TRUE(PumpUntil([&] { return !form->HotKeyNote->GetCaption().empty(); }));
                           EXPECT_EQ(form->HotKeyTable().Row(NewWindow).Value, L"Ctrl+Alt+W");
                           EXPECT_EQ(form->HotKey->HotKey(), classlib::TextToShortCut(L"Ctrl+Alt+W"));

                           form->HotKeyList->SetSelected(form->HotKeyList->Items().Item(Settings));
                           ASSERT_TRUE(PumpUntil([&] { return form->HotKey->HotKey() == 0; }));
                           form->HotKey->SetFocus();
                           PressKeys({VK_CONTROL, 'C'});
                           ASSERT_TRUE(PumpUntil([&] { return form->HotKeyTable().Row(Settings).Value == L"Ctrl+C"; }));
                           EXPECT_TRUE(form->HotKeyNote->GetCaption().empty());

                           AnswerMessage(mrNo, &question);
                           form->UiButton2->Click();
                           EXPECT_NE(question.find(L"「Ctrl+C」"), std::wstring::npos) << Narrow(question);
                           EXPECT_NE(question.find(L"コピー"), std::wstring::npos) << Narrow(question);
                           EXPECT_NE(question.find(L"設定..."), std::wstring::npos) << Narrow(question);
                           EXPECT_EQ(form->ModalResult(), mrNone);
                           EXPECT_FALSE(std::filesystem::exists(Host.File(L"HotKey.db")));
                           AnswerMessage(mrYes);
                           form->UiButton2->Click();
                       }),
              mrOk);
    const settings::TVxMemIniFile file = Read(L"HotKey.db");
    EXPECT_EQ(file.ReadString(L"ファイル", L"新規ウインドウ", L""), L"Ctrl+Alt+W");
    EXPECT_EQ(file.ReadString(L"ツール", L"設定...", L""), L"Ctrl+C");
    EXPECT_EQ(file.ReadString(L"編集", L"コピー", L""), L"Ctrl+C");
    EXPECT_EQ(file.ReadString(L"編集", L"切り取り", L""), L"Ctrl+X");
}

// Gestures: the buttons work only on a selected row; each change goes to the row; another
// row takes the editor, and the first keeps what it got.
TEST_F(SettingFormTest, GestureTable) {
    {
        settings::TVxMemIniFile file(Host.File(L"Gesture.db"));
        file.WriteString(L"編集", L"切り取り", L"↑△");
        file.UpdateFile();
    }
    auto form = Open();
    auto button = [&](const wchar_t* name) {
        for (ui::TUiButton* b : form->GestureButtons)
            if (b->Name() == name) return b;
        throw std::runtime_error("no button");
    };
    for (ui::TUiButton* b : form->GestureButtons) EXPECT_FALSE(b->Enabled()) << Narrow(b->Name());
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           form->GestureList->SetSelected(form->GestureList->Items().Item(Cut));
                           ASSERT_TRUE(PumpUntil([&] { return button(L"BSButton")->Enabled(); }));
                           EXPECT_EQ(form->GestureEditor->GetText(), L"↑△");
                           form->GestureList->SetSelected(form->GestureList->Items().Item(Copy));
                           ASSERT_TRUE(PumpUntil([&] { return form->GestureEditor->GetText().empty(); }));
                           button(L"BSButton")->Click();
                           EXPECT_EQ(form->GestureEditor->GetText(), L"");
                           for (const wchar_t* name : {L"WUpButton", L"CLButton", L"RightButton", L"DownButton"})
                               button(name)->Click();
                           EXPECT_EQ(form->GestureTable().Row(Copy).Value, L"→↓");
                           EXPECT_EQ(form->GestureList->Items().Item(Copy)->SubItems().Get(1), L"→↓");
                           form->GestureList->SetSelected(form->GestureList->Items().Item(Cut));
                           ASSERT_TRUE(PumpUntil([&] { return form->GestureEditor->GetText() == L"↑△"; }));
                           button(L"BSButton")->Click();
                           EXPECT_EQ(form->GestureTable().Row(Copy).Value, L"→↓");
                           EXPECT_EQ(form->GestureTable().Row(Cut).Value, L"↑");
                           form->UiButton2->Click();
                       }),
              mrOk);
    const settings::TVxMemIniFile file = Read(L"Gesture.db");
    EXPECT_EQ(file.ReadString(L"編集", L"コピー", L""), L"→↓");
    EXPECT_EQ(file.ReadString(L"編集", L"切り取り", L""), L"↑");
    EXPECT_TRUE(file.ValueExists(L"ツール", L"設定..."));
}

// A damaged "setting.db" is told as the dialog shows; a file OK cannot write is named and
// the dialog stays open. The font and the file pickers fill their fields.
TEST_F(SettingFormTest, DamagedFilesFontAndPickers) {
    WriteBytes(Host.File(L"setting.db"), "\xEF\xBB\xBF[Main]\r\nSetIncTime=300\r\nBad=\xC3\x28\r\n");
    std::filesystem::create_directory(std::filesystem::path(Host.File(L"HotKey.db")));
    auto form = Open();
    std::wstring told, error;
    AnswerMessage(mrOk, &told);
    EXPECT_EQ(RunModal(*form,
                       [&] {
                           ASSERT_TRUE(PumpUntil([&] { return !told.empty(); }));
                           EXPECT_NE(told.find(Host.File(L"setting.db")), std::wstring::npos) << Narrow(told);

                           Host.ChosenFace = L"テスト書体";
                           form->SettingFontButton->Click();
                           EXPECT_EQ(form->FontPreviewLabel->Font().Name(), L"テスト書体");
                           Host.ChosenFile = L"C:\\Tools\\エディタ.exe";
                           Field<ui::TUiButtonEdit>(*form, L"SetRegTextEditor").EditButton()->Click();
                           EXPECT_EQ(Host.Choices.back().Filter,
                                     L"実行ファイル(*.exe)|*.exe|全てのファイル(*.*)|*.*");
                           Host.ChosenFile = L"C:\\Tabs\\my.tab";
                           Field<ui::TUiButtonEdit>(*form, L"SetLoadTabSettingFilePath").EditButton()->Click();
                           EXPECT_EQ(Host.Choices.back().Filter, L"tabファイル(*.tab)|*.tab|全てのファイル(*.*)|*.*");

                           AnswerMessage(mrOk, &error);
                           form->UiButton2->Click();
                           EXPECT_NE(error.find(Host.File(L"HotKey.db")), std::wstring::npos) << Narrow(error);
                           EXPECT_EQ(form->ModalResult(), mrNone);
                           form->UiButton1->Click();
                       }),
              mrCancel);
    // The files before the one that failed are written: "setting.db" with what it could read.
    const settings::TVxMemIniFile file = Read(L"setting.db");
    EXPECT_FALSE(file.LoadWasLossy());
    EXPECT_EQ(file.ReadString(L"Main", L"SetIncTime", L""), L"300");
    EXPECT_EQ(file.ReadString(L"Main", L"SetRegTextEditor", L""), L"C:\\Tools\\エディタ.exe");
    EXPECT_EQ(file.ReadString(L"Main", L"SetLoadTabSettingFilePath", L""), L"C:\\Tabs\\my.tab");
    EXPECT_EQ(file.ReadString(L"Main", L"FontName", L""), L"テスト書体");
    EXPECT_EQ(file.ReadString(L"Main", L"FontHeight", L""), L"-16");
}
