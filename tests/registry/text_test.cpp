// Script text of one key, type names and display texts.
#include "reg_fixture.h"

#include "registry/regtext.h"

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
        {L"nonul", REG_SZ, Utf16(L"ab", false), L"\"nonul\"=\"ab\""},
        {L"empty", REG_SZ, {}, L"\"empty\"=\"\""},
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
