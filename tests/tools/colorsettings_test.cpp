// The colours of the settings dialog and the colour preset files.
#include "tools/colorsettings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/test_support.h"
#include "settings/inifile.h"

using namespace tools;
using options::TMainOptions;
using testsupport::Narrow;

namespace {

std::vector<std::wstring> Lines(const std::wstring& fileName) {
    const settings::TVxMemIniFile file(fileName);
    std::vector<std::wstring> lines;
    for (int i = 0; i < file.Lines().Count(); ++i) lines.push_back(file.Lines().Get(i));
    return lines;
}

void WriteLines(const std::wstring& fileName, const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    std::ofstream out(std::filesystem::path(fileName), std::ios::binary);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
}

// The bytes of a literal, embedded NULs included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

TMainOptions SomeColours() {
    TMainOptions colours;
    colours.ColorSortColumn = 0x123456;
    colours.ColorControlBack = classlib::clDefault;
    colours.ColorTabText = classlib::clHighlight;
    return colours;
}

}  // namespace

// The eleven colour keys in write order, and the order of the reset.
TEST(ColorSettings, KeysAndResetOrder) {
    std::vector<std::wstring> keys, reset;
    for (const options::TOptionDef* def : ColorOptionDefs()) keys.push_back(def->Key);
    for (const options::TOptionDef* def : ColorResetOrder()) reset.push_back(def->Key);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"ColorBoxSortCol", L"ColorBoxReadOnly", L"ColorBoxControlBack",
                                               L"ColorBoxControlText", L"ColorBoxTabGS", L"ColorBoxTabGE",
                                               L"ColorBoxTabGAS", L"ColorBoxTabGAE", L"ColorBoxTabText",
                                               L"ColorBoxTabTextActive", L"ColorBoxTabBack"}));
    EXPECT_EQ(reset, (std::vector<std::wstring>{L"ColorBoxControlBack", L"ColorBoxControlText", L"ColorBoxReadOnly",
                                                L"ColorBoxSortCol", L"ColorBoxTabGS", L"ColorBoxTabGE",
                                                L"ColorBoxTabGAS", L"ColorBoxTabGAE", L"ColorBoxTabText",
                                                L"ColorBoxTabTextActive", L"ColorBoxTabBack"}));
}

// Stored forms: RGB as decimal, system colours negative, the default colour 536870912. A
// value that is no colour for its row, "no colour" (536870911) included, leaves the colour.
TEST(ColorSettings, StoredFormsAndValuesThatAreNoColour) {
    testsupport::ScratchDir dir;
    const std::wstring preset = dir.File(L"色.color");
    ASSERT_EQ(SaveColorPreset(preset, SomeColours()).Result, TPresetResult::Done);
    const settings::TVxMemIniFile file(preset);
    EXPECT_EQ(file.ReadString(L"Main", L"ColorBoxSortCol", L""), L"1193046");
    EXPECT_EQ(file.ReadString(L"Main", L"ColorBoxControlBack", L""), L"536870912");
    EXPECT_EQ(file.ReadString(L"Main", L"ColorBoxTabText", L""), L"-16777203");
    EXPECT_EQ(file.ReadString(L"Main", L"ColorBoxTabBack", L""), L"-16777201");

    struct Case {
        const wchar_t* key;
        const wchar_t* stored;
        bool taken;
    } cases[] = {
        {L"ColorBoxSortCol", L"536870911", false},       // no colour
        {L"ColorBoxSortCol", L"536870912", true},        // default: a background
        {L"ColorBoxControlText", L"536870912", false},   // default: a text colour
        {L"ColorBoxTabGS", L"16777216", false},          // high byte 1
        {L"ColorBoxTabGS", L"-16777191", false},         // system colour 25
        {L"ColorBoxTabGS", L"-16777186", true},          // system colour 30
        {L"ColorBoxTabGS", L"-16777185", false},         // system colour 31
        {L"ColorBoxTabGE", L"4294967297", false},        // beyond 32 bits
        {L"ColorBoxTabGE", L"blue", false},
        {L"ColorBoxTabGE", L"$FF00FF", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.key) + "=" + Narrow(c.stored));
        WriteLines(preset, {L"[Main]", std::wstring(c.key) + L"=" + c.stored});
        const TMainOptions before;
        TMainOptions colours = before;
        const TPresetOutcome outcome = LoadColorPreset(preset, colours);
        EXPECT_EQ(outcome.Result, TPresetResult::Done);
        EXPECT_EQ(outcome.Read, c.taken ? 1 : 0);
        const options::TOptionDef& def = *options::FindOptionDef(c.key);
        EXPECT_EQ(options::GetOption(colours, def) != options::GetOption(before, def), c.taken);
    }
}

// A preset in a new file: section "Main" with the eleven keys, newest first. Saved over an
// existing preset: the values change in place and every other line stays.
TEST(ColorSettings, PresetFilesKeepTheirOtherLines) {
    testsupport::ScratchDir dir;
    const std::wstring preset = dir.File(L"new.color");
    ASSERT_EQ(SaveColorPreset(preset, SomeColours()).Result, TPresetResult::Done);
    std::vector<std::wstring> lines = Lines(preset);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], L"[Main]");
    EXPECT_EQ(lines[1].substr(0, lines[1].find(L'=')), L"ColorBoxTabBack");
    EXPECT_EQ(lines[11], L"ColorBoxSortCol=1193046");

    const std::wstring own = dir.File(L"own.color");
    WriteLines(own, {L"; 自分の色", L"[Main]", L"Note=残す", L"ColorBoxSortCol=255", L"", L"[Other]", L"X=1"});
    TMainOptions colours = SomeColours();
    colours.ColorSortColumn = 0x00FF00;
    ASSERT_EQ(SaveColorPreset(own, colours).Result, TPresetResult::Done);
    lines = Lines(own);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0], L"; 自分の色");
    EXPECT_EQ(lines[1], L"[Main]");
    EXPECT_EQ(lines[12], L"Note=残す");
    EXPECT_EQ(lines[13], L"ColorBoxSortCol=65280");
    EXPECT_EQ(lines[15], L"[Other]");
    EXPECT_EQ(lines[16], L"X=1");
}

// A target that is no clean section/key file, or is too large, is left untouched; loading
// reads no file beyond the limit; a missing file or one without the keys changes nothing.
TEST(ColorSettings, DamagedOrLargeFilesAreNotRewritten) {
    testsupport::ScratchDir dir;
    const TMainOptions colours = SomeColours();
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"text", Bytes("just some text\r\n")},
        {"key outside a section", Bytes("\xFF\xFEK\0=\0""1\0")},
        {"odd UTF-16", Bytes("\xFF\xFE[\0M\0a\0i\0n\0]\0\r")},
        {"bad UTF-8", Bytes("\xEF\xBB\xBF[Main]\r\nA=\xC3\x28\r\n")},
        {"too large", "[Main]\r\n" + std::string(kLargestPresetFile, ';')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring target = dir.File(L"damaged.color");
        {
            std::ofstream out(std::filesystem::path(target), std::ios::binary);
            out.write(c.bytes.data(), static_cast<std::streamsize>(c.bytes.size()));
        }
        const TPresetResult result = SaveColorPreset(target, colours).Result;
        EXPECT_TRUE(result == TPresetResult::NotClean || result == TPresetResult::TooLarge);
        std::ifstream in(std::filesystem::path(target), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), c.bytes);
    }

    const std::wstring large = dir.File(L"large.color");
    WriteLines(large, {L"[Main]", L"ColorBoxSortCol=255", std::wstring(kLargestPresetFile, L';')});
    TMainOptions read;
    EXPECT_EQ(LoadColorPreset(large, read).Result, TPresetResult::TooLarge);
    EXPECT_EQ(read.ColorSortColumn, TMainOptions().ColorSortColumn);

    for (const std::wstring& name : {dir.File(L"missing.color"), dir.File(L"empty.color")}) {
        if (name.ends_with(L"empty.color")) WriteLines(name, {L"[Other]", L"ColorBoxSortCol=255"});
        const TPresetOutcome outcome = LoadColorPreset(name, read);
        EXPECT_EQ(outcome.Result, TPresetResult::Done);
        EXPECT_EQ(outcome.Read, 0);
        EXPECT_EQ(read.ColorSortColumn, TMainOptions().ColorSortColumn);
    }
}

// "setting.db" loaded as a preset gives its eleven colours and nothing else.
TEST(ColorSettings, SettingFileLoadsAsAPreset) {
    testsupport::ScratchDir dir;
    TMainOptions stored = SomeColours();
    stored.SetTabWidth = 300;
    stored.SetIncTime = 50;
    stored.ThmTheme = L"Other";
    options::SaveMainOptions(dir.File(L"setting.db"), stored);

    TMainOptions read;
    const TPresetOutcome outcome = LoadColorPreset(dir.File(L"setting.db"), read);
    EXPECT_EQ(outcome.Result, TPresetResult::Done);
    EXPECT_EQ(outcome.Read, 11);
    for (const options::TOptionDef& def : options::MainOptionDefs()) {
        const bool colour = def.Type == options::TOptionType::Colour;
        EXPECT_EQ(options::GetOption(read, def), options::GetOption(colour ? stored : TMainOptions(), def))
            << Narrow(def.Key);
    }
}
