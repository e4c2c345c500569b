// The section/key file: matching rules, where writes land, number reading, and saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "classlib/errors.h"
#include "common/test_support.h"
#include "settings/inifile.h"

using namespace settings;
using namespace wide;

namespace {

std::string ReadFileBytes(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& name, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(name), std::ios::binary);
    out << bytes;
}

// A file holding `text` (UTF-8 with a mark, lines separated by "\n") loaded into an ini file.
class IniFixture : public ::testing::Test {
protected:
    TVxMemIniFile& Load(const std::string& text) {
        WriteFileBytes(FileName(), "\xEF\xBB\xBF" + text);
        FIni = std::make_unique<TVxMemIniFile>(FileName());
        return *FIni;
    }
    std::wstring FileName() const { return FDir.File(L"setting.db"); }
    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> result;
        for (int i = 0; i < FIni->Lines().Count(); ++i)
            result.push_back(FIni->Lines().Get(i));
        return result;
    }

    testsupport::ScratchDir FDir;
    std::unique_ptr<TVxMemIniFile> FIni;
};

TEST_F(IniFixture, ReadRules) {
    const TVxMemIniFile& ini = Load(
        "[main]\nSetNoMessage=1\n[Main ]\nSetNoMessage=2\n"
        "[Main]\nsetnomessage=-1\nA =spaced\nB= value \nBare\nA=1\n[a=b]\nC=in main\n"
        "[Other]\nA=2\n[Main]\nA=second header\nD=later\n");
    const struct {
        const wchar_t* section;
        const wchar_t* ident;
        const wchar_t* expected;
    } cases[] = {
        {L"Main", L"SetNoMessage", L"default"},  // names are case-sensitive
        {L"main", L"SetNoMessage", L"1"},
        {L"Main ", L"SetNoMessage", L"2"},
        {L"Main", L"A", L"1"},                   // "A " is another name
        {L"Main", L"A ", L"spaced"},
        {L"Main", L"B", L" value "},
        {L"Main", L"Bare", L""},                 // a line without "=" is all name
        {L"Main", L"C", L"in main"},             // [a=b] is no section line
        {L"Main", L"D", L"default"},             // the second [Main] is never consulted
        {L"Other", L"A", L"2"},
        {L"Missing", L"A", L"default"},
        {L"Main", L"", L"default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(std::wstring(c.section) + L"/" + c.ident));
        EXPECT_EQ(ini.ReadString(c.section, c.ident, L"default"), c.expected);
        EXPECT_EQ(ini.ValueExists(c.section, c.ident), std::wstring(c.expected) != L"default");
    }

    TWideStringList sections;
    sections.Add(L"stale");
    ini.ReadSections(sections);
    EXPECT_EQ(sections.Text(), L"main\r\nMain \r\nMain\r\nOther\r\nMain\r\n");
}

TEST_F(IniFixture, SectionBodyEdgeCases) {
    // A header on the last line is an empty section.
    TVxMemIniFile& ini = Load("[A]\nx=1\n[Last]");
    EXPECT_EQ(ini.ReadString(L"Last", L"x", L"d"), L"d");
    EXPECT_FALSE(ini.ValueExists(L"Last", L"x"));
    ini.WriteString(L"Last", L"k", L"v");
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"[A]", L"x=1", L"[Last]", L"k=v"}));

    // A section whose name holds "=" has a header that is no section line: the body runs to
    // the next real section line, and a later such header takes over.
    TVxMemIniFile& odd = Load("[k=v]\na=1\n[S]\nb=2\n[k=v]\na=2\n");
    EXPECT_EQ(odd.ReadString(L"k=v", L"a", L""), L"1");
    EXPECT_EQ(odd.ReadString(L"S", L"a", L""), L"2");
    TVxMemIniFile& tail = Load("[k=v]\na=1\n[k=v]\na=2\n");
    EXPECT_EQ(tail.ReadString(L"k=v", L"a", L""), L"2");
}

TEST_F(IniFixture, WritesLandWhereTheRulesSay) {
    TVxMemIniFile& ini = Load("X=1\n[Main]\nA=1\n[Other]\nA=2\n");
    ini.WriteString(L"Main", L"B", L"new");       // new key: top of its section
    ini.WriteString(L"Main", L"C", L"newer");
    ini.WriteString(L"Main", L"A", L"changed");   // existing key: in place
    ini.WriteString(L"S", L"K", L"v");            // new section: appended, no blank line
    ini.WriteBool(L"S", L"T", true);
    ini.WriteBool(L"S", L"F", false);
    ini.WriteInt64(L"S", L"N", -9223372036854775807LL - 1);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"X=1", L"[Main]", L"C=newer", L"B=new", L"A=changed",
                                                   L"[Other]", L"A=2", L"[S]", L"N=-9223372036854775808",
                                                   L"F=0", L"T=-1", L"K=v"}));
}

TEST_F(IniFixture, LineBreaksInNamesOrValuesAreRefused) {
    TVxMemIniFile& ini = Load("[Main]\nA=1\n");
    const struct {
        std::wstring section, ident, value;
    } cases[] = {
        {L"Main", L"A", L"two\r\nlines"},
        {L"Main", L"A", L"cr\r"},
        {L"Main", L"A", L"lf\n[Injected]"},
        {L"Main", L"A\n", L"v"},
        {L"Ma\rin", L"A", L"v"},
        {L"Main", L"A", std::wstring(L"nul\0cut", 7)},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(ini.WriteString(c.section, c.ident, c.value), EVxIniFileError);
    }
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"[Main]", L"A=1"}));
}

// A key line must not read back as a section line: it would end its section's body and
// never be found again.
TEST_F(IniFixture, IdentsThatWouldReadAsSectionLinesAreRefused) {
    TVxMemIniFile& ini = Load("[Main]\nA=1\n[Other]\nB=2\n");
    const struct {
        const wchar_t* ident;
        bool refused;
    } cases[] = {
        {L"[x]", true}, {L"[]", true}, {L"[a]b", true}, {L"[日本]", true},
        {L"[", false},  {L"a[b]", false}, {L"]x", false}, {L"x]", false}, {L" [x]", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.ident));
        const std::vector<std::wstring> before = Lines();
        if (c.refused) {
            EXPECT_THROW(ini.WriteString(L"Main", c.ident, L"v"), EVxIniFileError);
            EXPECT_EQ(Lines(), before);
        } else {
            ini.WriteString(L"Main", c.ident, L"v");
            EXPECT_EQ(ini.ReadString(L"Main", c.ident, L"default"), L"v");
        }
        EXPECT_EQ(ini.ReadString(L"Main", L"A", L"default"), L"1");
        EXPECT_EQ(ini.ReadString(L"Other", L"B", L"default"), L"2");
    }
}

// Many header lines that are no section lines ("[a=b]"): the last one wins, and only what
// follows it is its body.
TEST_F(IniFixture, RepeatedHeadersThatAreNoSectionLines) {
    std::string text = "[Main]\nm=1\n";
    for (int i = 0; i < 3000; ++i) text += "[a=b]\n";
    text += "x=1\n";
    TVxMemIniFile& ini = Load(text);
    EXPECT_EQ(ini.ReadString(L"a=b", L"x", L"default"), L"1");
    EXPECT_EQ(ini.ReadString(L"a=b", L"[a", L"default"), L"default");
    EXPECT_EQ(ini.ReadString(L"Main", L"[a", L"default"), L"b]");
    EXPECT_EQ(ini.ReadString(L"Main", L"x", L"default"), L"1");
    ini.WriteString(L"a=b", L"y", L"2");
    const std::vector<std::wstring> lines = Lines();
    ASSERT_EQ(lines.size(), 3004u);
    EXPECT_EQ(lines[3001], L"[a=b]");
    EXPECT_EQ(lines[3002], L"y=2");
    EXPECT_EQ(lines[3003], L"x=1");
}

TEST_F(IniFixture, BooleanAndIntegerReading) {
    TVxMemIniFile& ini = Load("[B]\n");
    const struct {
        const wchar_t* text;
        int expected;  // 1 True, 0 False, -1 the default
    } bools[] = {
        {L"-1", 1}, {L"1", 1}, {L"TRUE", 1}, {L"true", 1}, {L"2.5", 1}, {L" 7 ", 1},
        {L"0", 0}, {L"false", 0}, {L"FALSE", 0}, {L"0.0", 0}, {L"-0", 0},
        {L"", -1}, {L"yes", -1}, {L"1x", -1}, {L"$1", -1}, {L"Trueish", -1}, {L"\uFF11", -1},
    };
    for (const auto& c : bools) {
        SCOPED_TRACE(testsupport::Narrow(c.text));
        ini.WriteString(L"B", L"v", c.text);
        EXPECT_EQ(ini.ReadBool(L"B", L"v", true), c.expected == -1 ? true : c.expected == 1);
        EXPECT_EQ(ini.ReadBool(L"B", L"v", false), c.expected == -1 ? false : c.expected == 1);
    }
    const struct {
        const wchar_t* text;
        int64_t expected;
    } ints[] = {
        {L"42", 42}, {L"  -17", -17}, {L"+5", 5}, {L"$1F", 31}, {L"0x10", 16}, {L"0X10", 16},
        {L"-$10", -16}, {L"9223372036854775807", INT64_MAX}, {L"-9223372036854775808", INT64_MIN},
        {L"$FFFFFFFFFFFFFFFF", -1},
        {L"", 99}, {L"12 ", 99}, {L"1.5", 99}, {L"abc", 99}, {L"$", 99}, {L"0x", 99}, {L"-", 99},
        {L"9223372036854775808", 99}, {L"$10000000000000000", 99}, {L"99999999999999999999", 99},
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(testsupport::Narrow(c.text));
        ini.WriteString(L"B", L"n", c.text);
        EXPECT_EQ(ini.ReadInt64(L"B", L"n", 99), c.expected);
    }
    // 32-bit reading: a number beyond 32 bits is no value, never its low bits.
    const struct {
        const wchar_t* text;
        int32_t expected;
    } ints32[] = {
        {L"2147483647", INT32_MAX}, {L"-2147483648", INT32_MIN}, {L"-16777211", -16777211},
        {L"$FFFFFFFF", -1}, {L" 0x7F", 127},
        {L"2147483648", 99}, {L"-2147483649", 99}, {L"4294967295", 99}, {L"4294967297", 99},
        {L"$100000001", 99}, {L"", 99}, {L"1e3", 99},
    };
    for (const auto& c : ints32) {
        SCOPED_TRACE(testsupport::Narrow(c.text));
        ini.WriteString(L"B", L"n", c.text);
        EXPECT_EQ(ini.ReadInteger(L"B", L"n", 99), c.expected);
    }
}

TEST_F(IniFixture, UpdateFileWritesUtf16AndKeepsTheRest) {
    TVxMemIniFile& ini = Load("; comment\n[Main]\nA=\xE6\x97\xA5\n");
    ini.WriteString(L"Main", L"B", L"2");
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(FileName()),
              std::string("\xFF\xFE;\0 \0c\0o\0m\0m\0e\0n\0t\0\r\0\n\0[\0M\0a\0i\0n\0]\0\r\0\n\0"
                          "B\0=\0" "2\0\r\0\n\0A\0=\0\xE5\x65\r\0\n\0", 60));
    TVxMemIniFile reread(FileName());
    EXPECT_EQ(reread.ReadString(L"Main", L"A", L""), L"\u65E5");
    EXPECT_EQ(reread.ReadString(L"Main", L"B", L""), L"2");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FDir.Path()),
                            std::filesystem::directory_iterator()), 1);
}

TEST_F(IniFixture, MissingFileReadsEmptyAndSavesNothingUntilAsked) {
    {
        TVxMemIniFile ini(FDir.File(L"new.db"));
        EXPECT_EQ(ini.ReadString(L"Main", L"A", L"d"), L"d");
        ini.WriteString(L"Main", L"A", L"1");
    }
    EXPECT_FALSE(std::filesystem::exists(FDir.File(L"new.db")));
}

TEST_F(IniFixture, LossyLoadIsNeverWrittenOverTheOriginal) {
    const std::string original = "\xEF\xBB\xBF[Main]\nA=bad\xC3\n[Other]\nB=1\n";
    WriteFileBytes(FileName(), original);
    TVxMemIniFile ini(FileName());
    EXPECT_TRUE(ini.LoadWasLossy());
    EXPECT_EQ(ini.ReadString(L"Other", L"B", L""), L"1");  // the good lines stay readable
    ini.WriteString(L"Main", L"C", L"x");
    EXPECT_THROW(ini.UpdateFile(), EVxIniFileError);
    EXPECT_EQ(ReadFileBytes(FileName()), original);
    // Rewriting everything anew is the owner's deliberate choice.
    ini.Clear();
    ini.WriteString(L"Main", L"C", L"x");
    ini.UpdateFile();
    EXPECT_EQ(TVxMemIniFile(FileName()).ReadString(L"Main", L"C", L""), L"x");
}

TEST_F(IniFixture, FailedUpdateLeavesTheOldFile) {
    TVxMemIniFile& ini = Load("[Main]\nA=1\n");
    ini.WriteString(L"Main", L"A", L"2");
    SetFileAttributesW(FileName().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(ini.UpdateFile(), classlib::EFCreateError);
    SetFileAttributesW(FileName().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(TVxMemIniFile(FileName()).ReadString(L"Main", L"A", L""), L"1");
}

}  // namespace
