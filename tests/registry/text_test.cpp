// Script text of one key, type names and display texts.
#include "reg_fixture.h"

#include "registry/reghive.h"
#include "registry/regtext.h"

#include "classlib/streams.h"

using namespace registry;

using TextTest = RegTest;

namespace {
const std::wstring kHeader = L"Windows Registry Editor Version 5.00\r\n\r\n";

std::vector<BYTE> Utf16(const std::wstring& text, bool nul = true) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    std::vector<BYTE> out(p, p + text.size() * 2);
    if (nul) out.insert(out.end(), {0, 0});
    return out;
}

std::wstring DataText(const std::vector<BYTE>& data, DWORD type, bool hex) {
    return FormatValueDataText(data.data(), data.size(), type, hex);
}
}  // namespace

TEST_F(TextTest, ScriptOfKeyWithoutValuesIsTheHeader) {
    EXPECT_EQ(kHeader + L"[" + K().FFullPath + L"]\r\n", BuildKeyRegScript(K()));
}

TEST_F(TextTest, ScriptLinePerTypeAndEscaping) {
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
        const wchar_t* line;
    } cases[] = {
        {L"", REG_SZ, Utf16(L"def"), L"@=\"def\""},
        {L"path", REG_SZ, Utf16(L"C:\\Temp"), L"\"path\"=\"C:\\\\Temp\""},
        {L"q\"n\\x", REG_SZ, Utf16(L"say \"hi\""), L"\"q\\\"n\\\\x\"=\"say \\\"hi\\\"\""},
        // Only text ending in its one NUL is a quoted string: the importer adds the NUL.
        {L"nonul", REG_SZ, Utf16(L"ab", false), L"\"nonul\"=hex(1):61,00,62,00"},
        {L"empty", REG_SZ, {}, L"\"empty\"=hex(1):"},
        {L"nul only", REG_SZ, Bytes({0, 0}), L"\"nul only\"=\"\""},
        {L"two nuls", REG_SZ, Bytes({0, 0, 0, 0}), L"\"two nuls\"=hex(1):00,00,00,00"},
        {L"exp nonul", REG_EXPAND_SZ, Utf16(L"%A%", false), L"\"exp nonul\"=hex(2):25,00,41,00,25,00"},
        {L"exp empty", REG_EXPAND_SZ, {}, L"\"exp empty\"=hex(2):"},
        {L"embedded", REG_SZ, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}),
         L"\"embedded\"=hex(1):61,00,00,00,62,00,00,00"},
        {L"odd", REG_SZ, Bytes({'a', 0, 'b'}), L"\"odd\"=hex(1):61,00,62"},
        {L"lines", REG_SZ, Utf16(L"a\r\nb"), L"\"lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {L"dw", REG_DWORD, Bytes({1, 0, 0, 0}), L"\"dw\"=hex(4):01,00,00,00"},
        {L"bin", REG_BINARY, Bytes({0xAB, 0x01}), L"\"bin\"=hex(3):ab,01"},
        {L"bin0", REG_BINARY, {}, L"\"bin0\"=hex(3):"},
        {L"t20", 0x20, Bytes({0xFF}), L"\"t20\"=hex(20):ff"},
        {L"exp", REG_EXPAND_SZ, Utf16(L"%A%"), L"\"exp\"=hex(2):25,00,41,00,25,00,00,00"},
        {L"qw", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), L"\"qw\"=hex(b):01,02,03,04,05,06,07,08"},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, P().c_str());
        SetRaw(P(), c.name, c.type, c.data);
        EXPECT_EQ(kHeader + L"[" + K().FFullPath + L"]\r\n" + c.line + L"\r\n",
                  BuildKeyRegScript(K()))
            << testsupport::Narrow(c.line);
    }
}

TEST_F(TextTest, ValueNameWithALineBreakIsLeftOutWithAComment) {
    SetSz(P(), L"a", L"1");
    SetSz(P(), L"lf\n\"q\"", L"y");
    SetSz(P(), L"two\r\nlines", L"x");
    SetSz(P(), L"z", L"2");
    const std::wstring script = BuildKeyRegScript(K());
    EXPECT_EQ(kHeader + L"[" + K().FFullPath + L"]\r\n\"a\"=\"1\"\r\n" +
                  L"; 改行を含む名前の値は書き出せません: \"lf\\n\\\"q\\\"\"=\r\n" +
                  L"; 改行を含む名前の値は書き出せません: \"two\\r\\nlines\"=\r\n\"z\"=\"2\"\r\n",
              script);
}

// A key's values go through the system registry editor and back. The editor stores most
// of them exactly; string data without its NUL or of odd length it cannot (it adds a NUL,
// or drops the last byte), and reading the script back puts those right.
TEST_F(TextTest, ScriptImportsBackExactlyThroughTheSystemEditor) {
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
        bool editorExact;
    } cases[] = {
        {L"", REG_SZ, Utf16(L"default"), true},
        {L"sz", REG_SZ, Utf16(L"C:\\Temp \"q\" \\n"), true},
        {L"sz nul only", REG_SZ, Bytes({0, 0}), true},
        {L"sz empty", REG_SZ, {}, true},
        {L"sz embedded nul", REG_SZ, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}), true},
        {L"sz lines", REG_SZ, Utf16(L"a\r\nb"), true},
        {L"sz unterminated", REG_SZ, Utf16(L"abc", false), false},
        {L"sz odd", REG_SZ, Bytes({'a', 0, 'b'}), false},
        {L"exp", REG_EXPAND_SZ, Utf16(L"%TEMP%\\x"), true},
        {L"exp empty", REG_EXPAND_SZ, {}, true},
        {L"exp unterminated", REG_EXPAND_SZ, Utf16(L"%A%", false), false},
        {L"multi", REG_MULTI_SZ, Utf16(std::wstring(L"a\0b\0", 4)), true},
        {L"multi unterminated", REG_MULTI_SZ, Utf16(L"a", false), false},
        {L"dword", REG_DWORD, Bytes({1, 0, 0, 0}), true},
        {L"dword 3 bytes", REG_DWORD, Bytes({1, 2, 3}), true},
        {L"dword empty", REG_DWORD, {}, true},
        {L"dword 5 bytes", REG_DWORD, Bytes({1, 2, 3, 4, 5}), true},
        {L"qword short", REG_QWORD, Bytes({1, 2}), true},
        {L"binary empty", REG_BINARY, {}, true},
        {L"none", REG_NONE, Bytes({9}), true},
        {L"type 0x20", 0x20, Bytes({0xDE, 0xAD}), true},
        {L"q\"n\\x=@", REG_BINARY, Bytes({1}), true},
        {L"@", REG_SZ, Utf16(L"not the default"), true},
        {L"Ωβ😀", REG_SZ, Utf16(L"ä😀"), true},
    };
    for (const Case& c : cases) SetRaw(P(L"Sub"), c.name, c.type, c.data);
    SetSz(P(L"Sub"), L"broken\nname", L"lost");
    const std::wstring script = BuildKeyRegScript(K(L"Sub"));
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"values.reg");
    const std::wstring bytes = L"\xFEFF" + script;
    classlib::SaveBytesToFileAtomic(file, bytes.data(), bytes.size() * sizeof(wchar_t));

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, P(L"Sub").c_str()));
    RegDeleteKeyW(HKEY_CURRENT_USER, P(L"Sub").c_str());
    ASSERT_FALSE(KeyExists(P(L"Sub")));
    ASSERT_TRUE(ImportRegFileWithRegedit(file, false));
    for (const Case& c : cases) {
        if (!c.editorExact) continue;
        const auto raw = Raw(P(L"Sub"), c.name);
        EXPECT_EQ(raw.first, c.type) << testsupport::Narrow(c.name);
        EXPECT_EQ(raw.second, c.data) << testsupport::Narrow(c.name);
    }
    // The value that no line can carry is missing, and no part of it became a value.
    auto valueCount = [&] {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, P(L"Sub").c_str(), 0, KEY_READ, &key));
        DWORD values = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return values;
    };
    EXPECT_EQ(valueCount(), std::size(cases));

    // The script read back in full makes every value exact.
    std::vector<TRegScriptKey> keys;
    ASSERT_TRUE(ParseOwnRegScript(bytes, keys));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].FullPath, K(L"Sub").FFullPath);
    ASSERT_EQ(keys[0].Values.size(), std::size(cases));
    EXPECT_TRUE(ApplyRegScriptExactly(keys));
    for (const Case& c : cases) {
        const auto raw = Raw(P(L"Sub"), c.name);
        EXPECT_EQ(raw.first, c.type) << testsupport::Narrow(c.name);
        EXPECT_EQ(raw.second, c.data) << testsupport::Narrow(c.name);
    }
    EXPECT_EQ(valueCount(), std::size(cases));
}

TEST(RegScriptParse, OnlyTheOwnFormIsRead) {
    const std::wstring head = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
    struct Case {
        const char* what;
        std::wstring text;
        bool ok;
    } cases[] = {
        {"header only", L"Windows Registry Editor Version 5.00\r\n", true},
        {"byte-order mark", L"\xFEFF" + head, true},
        {"values", head + L"@=\"d\"\r\n\"a\\\\\\\"b\"=hex(1):61,00\r\n; note\r\n\"e\"=hex(3):\r\n", true},
        {"wrong header", L"REGEDIT4\r\n", false},
        {"no final line break", head + L"@=\"d\"", false},
        {"lone line feed", head + L"@=\"d\"\n", false},
        {"value before a section", L"Windows Registry Editor Version 5.00\r\n@=\"d\"\r\n", false},
        {"dword form", head + L"\"a\"=dword:00000001\r\n", false},
        {"wrapped hex", head + L"\"a\"=hex:01,\\\r\n  02\r\n", false},
        {"hex without type", head + L"\"a\"=hex:01\r\n", false},
        {"hex with blank", head + L"\"a\"=hex(3):01, 02\r\n", false},
        {"hex digit missing", head + L"\"a\"=hex(3):01,2\r\n", false},
        {"trailing comma", head + L"\"a\"=hex(3):01,\r\n", false},
        {"unknown escape", head + L"\"a\\n\"=\"x\"\r\n", false},
        {"text after the string", head + L"\"a\"=\"x\"y\r\n", false},
        {"unclosed string", head + L"\"a\"=\"x\r\n", false},
        {"empty name in quotes", head + L"\"\"=\"x\"\r\n", false},
        {"deletion", head + L"\"a\"=-\r\n", false},
        {"section not closed", head + L"[HKEY_CURRENT_USER\\B\r\n", false},
    };
    for (const Case& c : cases) {
        std::vector<TRegScriptKey> keys;
        EXPECT_EQ(ParseOwnRegScript(c.text, keys), c.ok) << c.what;
    }
    std::vector<TRegScriptKey> keys;
    ASSERT_TRUE(ParseOwnRegScript(cases[2].text, keys));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].FullPath, L"HKEY_CURRENT_USER\\A");
    ASSERT_EQ(keys[0].Values.size(), 3u);
    EXPECT_EQ(keys[0].Values[0].Name, L"");
    EXPECT_EQ(keys[0].Values[0].Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(keys[0].Values[0].Data, Bytes({'d', 0, 0, 0}));
    EXPECT_EQ(keys[0].Values[1].Name, L"a\\\"b");
    EXPECT_EQ(keys[0].Values[1].Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(keys[0].Values[1].Data, Bytes({'a', 0}));
    EXPECT_EQ(keys[0].Values[2].Type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(keys[0].Values[2].Data.empty());
}

TEST_F(TextTest, TreeScriptHasEveryKeyBeforeItsSubkeys) {
    SetSz(P(), L"v", L"1");
    MakeKey(P(L"a"));
    SetDword(P(L"a\\b"), L"d", 2);
    SetRaw(P(L"c"), L"", REG_SZ, {});
    const std::wstring base = K().FFullPath;
    std::wstring script;
    EXPECT_TRUE(BuildKeyTreeRegScript(K(), script));
    EXPECT_EQ(kHeader + L"[" + base + L"]\r\n\"v\"=\"1\"\r\n\r\n[" + base + L"\\a]\r\n\r\n[" + base +
                  L"\\a\\b]\r\n\"d\"=hex(4):02,00,00,00\r\n\r\n[" + base + L"\\c]\r\n@=hex(1):\r\n",
              script);
    // The script of one key is the first section alone.
    EXPECT_EQ(kHeader + L"[" + base + L"]\r\n\"v\"=\"1\"\r\n", BuildKeyRegScript(K()));

    // Progress counts the keys read (4) and stops the script when asked.
    std::vector<size_t> counts;
    const TRegTreeProgress all = [&](size_t done) {
        counts.push_back(done);
        return true;
    };
    EXPECT_TRUE(BuildKeyTreeRegScript(K(), script, &all));
    EXPECT_EQ(counts, (std::vector<size_t>{1, 2, 3, 4}));
    const TRegTreeProgress two = [](size_t done) { return done < 2; };
    EXPECT_FALSE(BuildKeyTreeRegScript(K(), script, &two));
    EXPECT_EQ(RegLastStatus(), static_cast<LSTATUS>(ERROR_CANCELLED));
    EXPECT_EQ(script.find(L"\\b]"), std::wstring::npos);
}

TEST_F(TextTest, TreeScriptThatCannotHoldEverythingSaysSo) {
    const std::wstring base = K().FFullPath;
    std::wstring script = L"stale";
    EXPECT_FALSE(BuildKeyTreeRegScript(K(L"missing"), script));

    // A value name with a line break, deep in the tree: the rest is still written.
    SetSz(P(L"a\\b"), L"x\ny", L"1");
    SetSz(P(L"a\\b"), L"z", L"2");
    SetSz(P(L"c"), L"w", L"3");
    EXPECT_FALSE(BuildKeyTreeRegScript(K(), script));
    EXPECT_NE(script.find(L"; 改行を含む名前の値は書き出せません: \"x\\ny\"=\r\n\"z\"=\"2\"\r\n"), std::wstring::npos);
    EXPECT_NE(script.find(L"[" + base + L"\\c]\r\n\"w\"=\"3\"\r\n"), std::wstring::npos);
    RegDeleteTreeW(HKEY_CURRENT_USER, P(L"a").c_str());
    EXPECT_TRUE(BuildKeyTreeRegScript(K(), script));

    // A key name with a line break: a comment instead of its section, its subtree left out.
    SetSz(P(L"k\r\nl\\below"), L"v", L"4");
    EXPECT_FALSE(BuildKeyTreeRegScript(K(), script));
    EXPECT_NE(script.find(L"; 改行を含む名前のキーは書き出せません: " + base + L"\\k\\r\\nl\r\n"),
              std::wstring::npos);
    EXPECT_EQ(script.find(L"below"), std::wstring::npos);
    EXPECT_NE(script.find(L"[" + base + L"\\c]\r\n\"w\"=\"3\"\r\n"), std::wstring::npos);
}

TEST_F(TextTest, ScriptOfManyValuesAndSubkeysLeftOut) {
    MakeKey(P(L"Sub"));
    SetDword(P(L"Sub"), L"inner", 1);
    SetSz(P(), L"a", L"1");
    SetSz(P(), L"b", L"2");
    const std::wstring script = BuildKeyRegScript(K());
    EXPECT_NE(std::wstring::npos, script.find(L"\"a\"=\"1\"\r\n"));
    EXPECT_NE(std::wstring::npos, script.find(L"\"b\"=\"2\"\r\n"));
    EXPECT_EQ(std::wstring::npos, script.find(L"inner"));
    EXPECT_EQ(std::wstring::npos, script.find(L"Sub]"));
}

TEST(RegTypeNames, TableAndUnknown) {
    const wchar_t* names[] = {L"REG_NONE", L"REG_SZ", L"REG_EXPAND_SZ", L"REG_BINARY",
                              L"REG_DWORD", L"REG_DWORD_BIG_ENDIAN", L"REG_LINK", L"REG_MULTI_SZ",
                              L"REG_RESOURCE_LIST", L"REG_FULL_RESOURCE_DESCRIPTOR",
                              L"REG_RESOURCE_REQUIREMENTS_LIST", L"REG_QWORD"};
    for (DWORD i = 0; i < 12; ++i) EXPECT_EQ(names[i], RegTypeToName(i));
    EXPECT_EQ(L"不明", RegTypeToName(12));
    EXPECT_EQ(L"不明", RegTypeToName(0xFFFFFFFF));
}

TEST(RegNumberText, DwordQwordAndShortData) {
    struct Case {
        std::vector<BYTE> data;
        DWORD type;
        const wchar_t* text;
    } cases[] = {
        {Bytes({10, 0, 0, 0}), REG_DWORD, L"0x0000000A(10)"},
        {Bytes({0, 0, 1, 0}), REG_DWORD_BIG_ENDIAN, L"0x00000100(256)"},
        {Bytes({255, 0, 0, 0, 0, 0, 0, 0}), REG_QWORD, L"0x00000000000000FF(255)"},
        {Bytes({0, 0, 0, 0, 0, 0, 0, 0x80}), REG_QWORD,
         L"0x8000000000000000(9223372036854775808)"},
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF}), REG_DWORD, L"0xFFFFFFFF(4294967295)"},
        {Bytes({1, 2}), REG_DWORD, L"0x00000201(513)"},        // padded with zero bytes
        {Bytes({1}), REG_DWORD_BIG_ENDIAN, L"0x01000000(16777216)"},
        {{}, REG_QWORD, L"0x0000000000000000(0)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, FormatIntValueText(c.data.data(), c.data.size(), c.type));
    classlib::TMemoryStream stream;
    const BYTE four[] = {4, 3, 2, 1};
    stream.WriteBuffer(four, 4);
    EXPECT_EQ(0x01020304u, ReadDWordFromStream(stream, REG_DWORD));
    EXPECT_EQ(0x04030201u, ReadDWordFromStream(stream, REG_DWORD_BIG_ENDIAN));
    EXPECT_EQ(0u, ReadDWordFromStream(stream, REG_BINARY));
    EXPECT_EQ(0x01020304u, ReadQWordFromStream(stream, REG_QWORD));
    EXPECT_EQ(0x01020304u, ReadQWordFromStream(stream, 12));
    EXPECT_EQ(0u, ReadQWordFromStream(stream, REG_DWORD));
}

TEST(RegDataText, TypesAndEdges) {
    EXPECT_EQ(L"", DataText({}, REG_SZ, true));
    EXPECT_EQ(L"", DataText({}, REG_BINARY, true));
    EXPECT_EQ(L"ab", DataText(Utf16(L"ab"), REG_SZ, false));
    EXPECT_EQ(L"ab", DataText(Utf16(L"ab", false), REG_EXPAND_SZ, true));
    EXPECT_EQ(L"a", DataText(Bytes({'a', 0, 0, 0, 'b', 0}), REG_SZ, false));
    EXPECT_EQ(L"a\r\nb\r\n", DataText(Bytes({'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}), REG_MULTI_SZ, true));
    EXPECT_EQ(L"a\r\n", DataText(Bytes({'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0}), REG_MULTI_SZ, true));
    EXPECT_EQ(L"\r\nb\r\n", DataText(Bytes({0, 0, 'b', 0, 0, 0, 0, 0}), REG_MULTI_SZ, true));
    EXPECT_EQ(L"ab\r\n", DataText(Utf16(L"ab", false), REG_MULTI_SZ, true));
    EXPECT_EQ(L"01 AB ", DataText(Bytes({1, 0xAB}), REG_BINARY, true));
    EXPECT_EQ(L"0A 00 00 00 ", DataText(Bytes({10, 0, 0, 0}), REG_DWORD, true));
    EXPECT_EQ(L"hi", DataText(Utf16(L"hi"), REG_BINARY, false));
    EXPECT_EQ(L"\x0161", DataText(Bytes({'a', 1, 0x7A}), REG_BINARY, false).substr(0, 1));
    std::vector<BYTE> big(200, 0x5A);
    const std::wstring dump = DataText(big, REG_BINARY, true);
    EXPECT_EQ(129u * 3, dump.size());
    EXPECT_EQ(L"5A ", dump.substr(dump.size() - 3));
}
