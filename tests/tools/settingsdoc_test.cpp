// What the settings dialog reads when it opens and writes on OK, and its theme choice.
#include "tools/settingsdoc.h"
#include "tools/themechoice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "classlib/menus.h"
#include "common/test_support.h"
#include "options/optiontable.h"
#include "settings/inifile.h"

using namespace tools;
using options::TMainOptions;
using testsupport::Narrow;

namespace {

struct Folder {
    testsupport::ScratchDir Dir;
    TSettingFiles Files{Dir.File(L"setting.db"), Dir.File(L"HotKey.db"), Dir.File(L"Gesture.db")};
};

const std::vector<TCommandInfo> kCommands{
    {L"ファイル", L"新規ウインドウ", 0, 36},
    {L"編集", L"コピー", classlib::ShortCut('C', classlib::ssCtrl), 4},
};

}  // namespace

// Without files the dialog shows the readers' defaults, and its first OK writes them: every
// key of the table and a line for every command in both tables.
TEST(SettingsDocument, MissingFilesGiveTheReadersDefaults) {
    Folder folder;
    TSettingsDocument document(folder.Files, kCommands, L"Default");
    EXPECT_TRUE(document.LossyFiles().empty());
    EXPECT_TRUE(document.UnreadableFiles().empty());
    EXPECT_EQ(document.HotKeys.Row(0).Value, L"Ctrl+C");
    ASSERT_FALSE(document.Save());

    const settings::TVxMemIniFile file(folder.Files.Settings);
    const TMainOptions read = options::ReadMainOptions(file);
    for (const options::TOptionDef& def : options::MainOptionDefs()) {
        EXPECT_TRUE(file.ValueExists(L"Main", def.Key)) << Narrow(def.Key);
        EXPECT_EQ(options::GetOption(read, def), options::DefaultValue(def)) << Narrow(def.Key);
    }
    EXPECT_EQ(file.ReadString(L"Main", L"SetNoKeyUndo", L""), L"-1");
    EXPECT_EQ(file.ReadString(L"Main", L"SetHideMainForm", L""), L"-1");
    EXPECT_EQ(file.ReadString(L"Main", L"SetRegTextEditor", L""), L"notepad.exe");

    const settings::TVxMemIniFile hotKeys(folder.Files.HotKeys), gestures(folder.Files.Gestures);
    EXPECT_EQ(hotKeys.ReadString(L"編集", L"コピー", L"?"), L"Ctrl+C");
    EXPECT_EQ(hotKeys.ReadString(L"ファイル", L"新規ウインドウ", L"?"), L"");
    EXPECT_EQ(gestures.ReadString(L"編集", L"コピー", L"?"), L"");
    EXPECT_EQ(gestures.ReadString(L"ファイル", L"新規ウインドウ", L"?"), L"");
}

// Stored values show as read; a value outside its range shows (and is written back as) the
// default; the theme shown is the one in use; keys and lines the dialog does not handle
// stay where they are.
TEST(SettingsDocument, StoredValuesAndOtherKeys) {
    Folder folder;
    {
        settings::TVxMemIniFile file(folder.Files.Settings);
        file.WriteString(L"Main", L"Unknown", L"残る");
        file.WriteString(L"Main", L"SetTabWidth", L"5000");
        file.WriteString(L"Main", L"SetIncTime", L"250");
        file.WriteString(L"Main", L"ThmTheme", L"Elsewhere");
        file.WriteString(L"Setting", L"FindList", L"HKEY_USERS");
        file.UpdateFile();
        settings::TVxMemIniFile hotKeys(folder.Files.HotKeys);
        hotKeys.WriteString(L"ファイル", L"新規ウインドウ", L"Ctrl+Alt+W");
        hotKeys.WriteString(L"古い", L"コマンド", L"Ctrl+Q");
        hotKeys.UpdateFile();
    }
    TSettingsDocument document(folder.Files, kCommands, L"Default");
    EXPECT_EQ(document.Options.SetTabWidth, 150);
    EXPECT_EQ(document.Options.SetIncTime, 250);
    EXPECT_EQ(document.Options.ThmTheme, L"Default");
    EXPECT_EQ(document.HotKeys.Row(1).Caption, L"新規ウインドウ");
    EXPECT_EQ(document.HotKeys.Row(1).Value, L"Ctrl+Alt+W");
    ASSERT_FALSE(document.Save());

    const settings::TVxMemIniFile file(folder.Files.Settings);
    EXPECT_EQ(file.ReadString(L"Main", L"SetTabWidth", L""), L"150");
    EXPECT_EQ(file.ReadString(L"Main", L"SetIncTime", L""), L"250");
    EXPECT_EQ(file.ReadString(L"Main", L"ThmTheme", L""), L"Default");
    EXPECT_EQ(file.ReadString(L"Main", L"Unknown", L""), L"残る");
    EXPECT_EQ(file.ReadString(L"Setting", L"FindList", L""), L"HKEY_USERS");
    EXPECT_EQ(settings::TVxMemIniFile(folder.Files.HotKeys).ReadString(L"古い", L"コマンド", L""), L"Ctrl+Q");
}

// A file that loads with loss is known when the dialog opens and is written with what was
// read; a file that cannot be written is named, and the files before it are written.
TEST(SettingsDocument, DamagedAndUnwritableFiles) {
    Folder folder;
    {
        std::ofstream out(std::filesystem::path(folder.Files.Settings), std::ios::binary);
        const char bytes[] = "\xEF\xBB\xBF[Main]\r\nSetIncTime=300\r\nBad=\xC3\x28\r\n";
        out.write(bytes, sizeof(bytes) - 1);
    }
    std::filesystem::create_directory(std::filesystem::path(folder.Files.HotKeys));
    TSettingsDocument document(folder.Files, kCommands, L"Default");
    EXPECT_EQ(document.LossyFiles(), std::vector<std::wstring>{folder.Files.Settings});
    EXPECT_EQ(document.Options.SetIncTime, 300);

    const std::optional<TSaveFailure> failure = document.Save();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->FileName, folder.Files.HotKeys);
    EXPECT_FALSE(failure->Message.empty());
    const settings::TVxMemIniFile written(folder.Files.Settings);
    EXPECT_FALSE(written.LoadWasLossy());
    EXPECT_EQ(written.ReadString(L"Main", L"SetIncTime", L""), L"300");
    EXPECT_TRUE(settings::TVxMemIniFile(folder.Files.Gestures).ValueExists(L"編集", L"コピー"));
}

namespace {

class FakeThemes : public IThemeSwitch {
public:
    std::vector<std::wstring> Names{L"Default", L"Office", L"Flat"};
    std::wstring Current = L"office";
    std::vector<std::wstring> Switches;

    int ThemeCount() override { return static_cast<int>(Names.size()); }
    std::wstring ThemeName(int index) override { return Names.at(static_cast<size_t>(index)); }
    std::wstring CurrentTheme() override { return Current; }
    bool SwitchTheme(const std::wstring& name) override {
        Switches.push_back(name);
        Current = name;
        return true;
    }
};

}  // namespace

// The theme picked is taken at once; leaving without OK puts back the theme of the opening.
TEST(ThemeChoice, PickSwitchesAtOnceAndRestoreGoesBack) {
    FakeThemes themes;
    TThemeChoice choice(themes);
    EXPECT_EQ(choice.Names(), themes.Names);
    EXPECT_EQ(choice.CurrentIndex(), 1);
    choice.Pick(L"Office");  // the theme in use: no switch
    EXPECT_TRUE(themes.Switches.empty());
    choice.Pick(L"Flat");
    EXPECT_EQ(themes.Current, L"Flat");
    EXPECT_EQ(choice.CurrentIndex(), 2);
    choice.Restore();
    EXPECT_EQ(themes.Current, L"office");
    EXPECT_EQ(themes.Switches, (std::vector<std::wstring>{L"Flat", L"office"}));
    choice.Restore();
    EXPECT_EQ(themes.Switches.size(), 2u);
}
