// The option table of "setting.db": every option read and written through it, its defaults
// and ranges; section "Setting" and the first-run marker.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "options/mainoptions.h"
#include "options/optiontable.h"

#include <vector>

using namespace options;
using testsupport::Narrow;

namespace {

std::string Describe(const TOptionValue& value) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
    if (const int32_t* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
    return Narrow(std::get<std::wstring>(value));
}

// A valid value of the row other than its default.
TOptionValue OtherValue(const TOptionDef& def) {
    switch (def.Type) {
        case TOptionType::Bool: return def.Default == 0;
        case TOptionType::Integer: return def.Default == def.Max ? def.Min : def.Max;
        case TOptionType::Colour: return def.Default == 0x123456 ? 0x654321 : 0x123456;
        case TOptionType::String: break;
    }
    return std::wstring(L"値").append(def.Key).substr(0, static_cast<size_t>(def.Max));
}

std::vector<std::wstring> KeysOfSection(const settings::TVxMemIniFile& file, const std::wstring& section) {
    std::vector<std::wstring> keys;
    bool inside = false;
    for (int i = 0; i < file.Lines().Count(); ++i) {
        const std::wstring line = file.Lines().Get(i);
        if (!line.empty() && line[0] == L'[') {
            inside = line == L"[" + section + L"]";
            continue;
        }
        if (inside) keys.push_back(line.substr(0, line.find(L'=')));
    }
    return keys;
}

}  // namespace

// The rows stand in the order in which the settings dialog writes the keys; each default is
// a valid value of its own row.
TEST(OptionTable, KeysInWriteOrderWithValidDefaults) {
    const std::vector<std::wstring> expected{
        L"ThmTheme", L"SetSmartDock", L"SetSmartDrag", L"SetToolBarKotei", L"FontName", L"FontCharset",
        L"FontHeight", L"FontSize", L"SetConnectCMD", L"SetNoKeyUndo", L"SetNoMutex", L"SetNoCreateWnd",
        L"SetNoSaveWnd", L"SetRepYajirusi", L"SetValueClip", L"SetKeyClip", L"SetUndoSaving", L"SetNoMessage",
        L"SetNoAllMessage", L"SetRegDateView", L"SetHideMainForm", L"SetIncTop", L"SetIncNoCol",
        L"SetIncIgnoreCase", L"SetIncTime", L"SetRegTextEditor", L"SetTabWidth", L"ColorBoxSortCol",
        L"ColorBoxReadOnly", L"ColorBoxControlBack", L"ColorBoxControlText", L"ColorBoxTabGS", L"ColorBoxTabGE",
        L"ColorBoxTabGAS", L"ColorBoxTabGAE", L"ColorBoxTabText", L"ColorBoxTabTextActive", L"ColorBoxTabBack",
        L"SetLoadTab", L"SetLoadTabSettingFile", L"SetLoadTabSettingFilePath", L"SetWinReg", L"Gesture",
        L"SetGestureLength", L"SetGestureStop"};
    std::vector<std::wstring> keys;
    const TMainOptions fresh;
    for (const TOptionDef& def : MainOptionDefs()) {
        keys.push_back(def.Key);
        EXPECT_EQ(FindOptionDef(def.Key), &def);
        EXPECT_TRUE(IsValidOptionValue(def, DefaultValue(def))) << Narrow(def.Key);
        EXPECT_EQ(GetOption(fresh, def), DefaultValue(def)) << Narrow(def.Key);
    }
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(FindOptionDef(L"setincTime"), nullptr);
}

// One default for every reader: the main window's, the start-up's and a new registry
// window's agree, with the keys missing.
TEST(OptionTable, OneDefaultForEveryReader) {
    testsupport::ScratchDir dir;
    const settings::TVxMemIniFile missing(dir.File(L"setting.db"));
    const TMainOptions main = ReadMainOptions(missing);
    const TStartupOptions startup = ReadStartupOptions(missing);
    const TRegWindowOptions window = ReadRegWindowOptions(missing);
    EXPECT_TRUE(main.SetNoKeyUndo);
    EXPECT_TRUE(main.SetHideMainForm);
    EXPECT_TRUE(startup.SetHideMainForm);
    EXPECT_TRUE(TStartupOptions{}.SetHideMainForm);
    EXPECT_EQ(main.SetRegTextEditor, L"notepad.exe");
    EXPECT_TRUE(main.SetRepYajirusi);
    EXPECT_TRUE(window.AllowReplace);
    EXPECT_TRUE(TRegWindowOptions{}.AllowReplace);
    EXPECT_EQ(window.IncTime, 1000);
    EXPECT_FALSE(window.DateView);
}

// Every option is written and read back; a missing key gives the table's default; keys
// and sections the table does not know stay; new keys go to the top of the section.
TEST(OptionTable, EveryOptionRoundTrips) {
    testsupport::ScratchDir dir;
    const std::wstring fileName = dir.File(L"setting.db");
    {
        settings::TVxMemIniFile file(fileName);
        file.WriteString(L"Main", L"SomethingElse", L"kept");
        file.WriteString(L"Setting", L"FindList", L"HKEY_USERS");
        file.UpdateFile();
    }
    TMainOptions changed;
    for (const TOptionDef& def : MainOptionDefs()) SetOption(changed, def, OtherValue(def));
    changed.ColorControlBack = classlib::clHighlight;  // a system colour is stored negative
    SaveMainOptions(fileName, changed);

    const settings::TVxMemIniFile file(fileName);
    const TMainOptions read = ReadMainOptions(file);
    for (const TOptionDef& def : MainOptionDefs())
        EXPECT_EQ(GetOption(read, def), GetOption(changed, def))
            << Narrow(def.Key) << ": " << Describe(GetOption(read, def));
    EXPECT_EQ(file.ReadString(L"Main", L"ColorBoxControlBack", L""), L"-16777203");
    EXPECT_EQ(file.ReadString(L"Main", L"SetNoKeyUndo", L""), L"0");
    EXPECT_EQ(file.ReadString(L"Main", L"SomethingElse", L""), L"kept");
    EXPECT_EQ(file.ReadString(L"Setting", L"FindList", L""), L"HKEY_USERS");
    const std::vector<std::wstring> keys = KeysOfSection(file, L"Main");
    ASSERT_EQ(keys.size(), MainOptionDefs().size() + 1);
    EXPECT_EQ(keys.front(), L"SetGestureStop");
    EXPECT_EQ(keys[MainOptionDefs().size() - 1], L"ThmTheme");
    EXPECT_EQ(keys.back(), L"SomethingElse");

    // Written again over itself: the lines stay where they are.
    SaveMainOptions(fileName, read);
    EXPECT_EQ(KeysOfSection(settings::TVxMemIniFile(fileName), L"Main"), keys);

    // Only some keys present: the others read as the table's defaults.
    settings::TVxMemIniFile partial(dir.File(L"partial.db"));
    WriteOption(partial, *FindOptionDef(L"SetTabWidth"), int32_t{-1});
    const TMainOptions some = ReadMainOptions(partial);
    for (const TOptionDef& def : MainOptionDefs())
        EXPECT_EQ(GetOption(some, def), std::wstring(def.Key) == L"SetTabWidth" ? TOptionValue(int32_t{-1})
                                                                              : DefaultValue(def))
            << Narrow(def.Key);
}

// Every option, stored damaged: text of another type, a number beyond 32 bits, a value
// outside the row's range. Each reads as the default (never as the low 32 bits), and the
// other options of the file are read as usual.
TEST(OptionTable, DamagedValuesGiveTheDefault) {
    const std::vector<std::wstring> anyNumber{L"abc", L"12a", L"", L"1.5", L"4294967297", L"-4294967295",
                                              L"99999999999999999999", L"$100000005"};
    const std::vector<std::wstring> bools{L"yes", L"", L"1x", L"$1", L"Trueish"};
    testsupport::ScratchDir dir;
    for (const TOptionDef& def : MainOptionDefs()) {
        std::vector<std::wstring> damaged;
        switch (def.Type) {
            case TOptionType::Bool: damaged = bools; break;
            case TOptionType::Integer:
                damaged = anyNumber;
                damaged.push_back(std::to_wstring(int64_t{def.Min} - 1));
                damaged.push_back(std::to_wstring(int64_t{def.Max} + 1));
                damaged.push_back(L"2147483647");
                damaged.push_back(L"-2147483648");
                break;
            case TOptionType::Colour:
                damaged = anyNumber;
                damaged.insert(damaged.end(), {L"-1", L"4294967295", L"16777216", L"536870911", L"-16777191",
                                               L"-16777185", L"-16711681", L"$7F000000"});
                if (!def.DefaultColourAllowed) damaged.push_back(L"536870912");
                break;
            case TOptionType::String: damaged.push_back(std::wstring(static_cast<size_t>(def.Max) + 1, L'x')); break;
        }
        for (const std::wstring& text : damaged) {
            settings::TVxMemIniFile file(dir.File(L"setting.db"));
            file.WriteString(L"Main", def.Key, text);
            file.WriteString(L"Main", def.Key == std::wstring(L"SetIncTime") ? L"SetTabWidth" : L"SetIncTime", L"7");
            const TMainOptions read = ReadMainOptions(file);
            EXPECT_EQ(GetOption(read, def), DefaultValue(def))
                << Narrow(def.Key) << "=" << Narrow(text.substr(0, 40)) << " read as " << Describe(GetOption(read, def));
            EXPECT_TRUE(read.SetIncTime == 7 || read.SetTabWidth == 7) << Narrow(def.Key);
        }
    }
}

// What each kind of row accepts at its edges, in every stored form the file may hold.
TEST(OptionTable, ValidValuesAtTheEdges) {
    struct Case {
        const wchar_t* key;
        const wchar_t* text;
        TOptionValue expected;
    } cases[] = {
        {L"SetTabWidth", L"-1", int32_t{-1}},
        {L"SetTabWidth", L"1000", int32_t{1000}},
        {L"SetTabWidth", L" $10", int32_t{16}},
        {L"SetIncTime", L"0", int32_t{0}},
        {L"SetIncTime", L"100000", int32_t{100000}},
        {L"SetGestureLength", L"1", int32_t{1}},
        {L"SetGestureStop", L"10000", int32_t{10000}},
        {L"FontCharset", L"255", int32_t{255}},
        {L"FontHeight", L"-256", int32_t{-256}},
        {L"FontSize", L"192", int32_t{192}},
        {L"ColorBoxControlBack", L"0", int32_t{0}},
        {L"ColorBoxControlBack", L"16777215", int32_t{0xFFFFFF}},
        {L"ColorBoxControlBack", L"-16777216", int32_t{classlib::clScrollBar}},
        {L"ColorBoxControlBack", L"-16777186", int32_t{classlib::clSystemColor | COLOR_MENUBAR}},
        {L"ColorBoxControlBack", L"$FF000005", int32_t{classlib::clWindow}},
        {L"ColorBoxControlBack", L"536870912", int32_t{classlib::clDefault}},
        {L"ColorBoxTabText", L"-16777208", int32_t{classlib::clWindowText}},
        {L"SetNoKeyUndo", L"4294967296", true},  // a number other than zero, not its low bits
        {L"SetNoKeyUndo", L"FALSE", false},
        {L"SetHideMainForm", L"0", false},
        {L"FontName", L"0123456789012345678901234567890", std::wstring(L"0123456789012345678901234567890")},
        {L"SetRegTextEditor", L"", std::wstring()},
    };
    testsupport::ScratchDir dir;
    for (const Case& c : cases) {
        settings::TVxMemIniFile file(dir.File(L"setting.db"));
        file.WriteString(L"Main", c.key, c.text);
        const TOptionDef* def = FindOptionDef(c.key);
        ASSERT_NE(def, nullptr) << Narrow(c.key);
        EXPECT_EQ(GetOption(ReadMainOptions(file), *def), c.expected) << Narrow(c.key) << "=" << Narrow(c.text);
    }
}

TEST(MainOptions, DefaultsAndParsing) {
    testsupport::ScratchDir dir;
    {
        settings::TVxMemIniFile file(dir.File(L"setting.db"));
        file.WriteString(L"Main", L"SetNoKeyUndo", L"0");
        file.WriteString(L"Main", L"SetIncTime", L"abc");  // no number: the default stays
        file.WriteString(L"Main", L"SetTabWidth", L"-1");
        file.WriteString(L"Main", L"ColorBoxReadOnly", L"-16777201");  // system button face
        file.WriteString(L"Main", L"ColorBoxSortCol", L"4294967295");  // beyond 32 bits signed
        file.WriteString(L"Main", L"SetRegTextEditor", L"C:\\ツール\\エディタ.exe");
        file.WriteString(L"Main", L"FontName", L"ＭＳ ゴシック");
        file.WriteString(L"Main", L"FontSize", L"9");
        file.UpdateFile();
    }
    const TMainOptions d = ReadMainOptions(settings::TVxMemIniFile(dir.File(L"missing.db")));
    EXPECT_EQ(d.ThmTheme, L"Default");
    EXPECT_TRUE(d.SetNoKeyUndo);
    EXPECT_TRUE(d.SetRepYajirusi);
    EXPECT_EQ(d.SetIncTime, 1000);
    EXPECT_EQ(d.SetTabWidth, 150);
    EXPECT_EQ(d.SetRegTextEditor, L"notepad.exe");
    EXPECT_EQ(static_cast<uint32_t>(d.ColorTabText), 0xFF000008u);
    EXPECT_EQ(static_cast<uint32_t>(d.ColorTabBack), 0xFF00000Fu);
    EXPECT_EQ(d.ColorTabGradStart, 0xC4CCCF);
    EXPECT_EQ(d.Font.Size, -1);

    TMainOptions gestureDefaults;
    gestureDefaults.SetGestureLength = 33;
    const TMainOptions o = ReadMainOptions(settings::TVxMemIniFile(dir.File(L"setting.db")), gestureDefaults);
    EXPECT_FALSE(o.SetNoKeyUndo);
    EXPECT_EQ(o.SetIncTime, 1000);
    EXPECT_EQ(o.SetTabWidth, -1);
    EXPECT_EQ(static_cast<uint32_t>(o.ColorReadOnly), 0xFF00000Fu);
    EXPECT_EQ(o.ColorSortColumn, 0xF7F7F7) << "no colour, not its low 32 bits";
    EXPECT_EQ(o.SetRegTextEditor, L"C:\\ツール\\エディタ.exe");
    EXPECT_EQ(o.Font.Name, L"ＭＳ ゴシック");
    EXPECT_EQ(o.SetGestureLength, 33);

    classlib::TFont font;
    const int before = font.Height();
    TFontOptions fonts;
    fonts.Height = -16;
    fonts.Size = 9;  // given after the height: the size wins
    ApplyFontOptions(fonts, font);
    EXPECT_EQ(font.Size(), 9);
    ApplyFontOptions(TFontOptions{}, font);
    EXPECT_EQ(font.Size(), 9) << "nothing given changes nothing (was " << before << ")";
}

// Section "Setting" keeps UTF-16 text as it is; the first run is marked once, before the
// terms of use would show.
TEST(MainOptions, SettingStringsAndFirstRun) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"setting.db");
    const std::wstring list = L"HKEY_CURRENT_USER\\Software\\日本語キー;HKEY_USERS\\Ω";
    WriteSettingString(file, L"FindList", list);
    EXPECT_EQ(ReadSettingString(file, L"FindList", L""), list);
    EXPECT_EQ(ReadSettingString(file, L"Missing", L"既定"), L"既定");

    EXPECT_TRUE(TakeFirstRunMarker(file));
    EXPECT_EQ(ReadSettingString(file, L"Infomation", L""), L"1");
    EXPECT_FALSE(TakeFirstRunMarker(file));
    EXPECT_EQ(ReadSettingString(file, L"FindList", L""), list) << "other keys stay";
}

