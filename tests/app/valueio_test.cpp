// Reading values for their editors and writing them back with undo.
#include <gtest/gtest.h>

#include "app/valueio.h"
#include "common/test_support.h"
#include "registry/regops.h"

#include <vector>

using namespace app;

namespace {

struct ValueIO : ::testing::Test {
    testsupport::ScratchKey scratch{testsupport::CurrentTestName()};
    registry::TVxRegKeyClass key = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, scratch.Path());
    classlib::TComponent owner{nullptr};
    undo::TVxRegClipUndoProvider* provider = new undo::TVxRegClipUndoProvider(&owner);

    void Set(const wchar_t* name, DWORD type, std::vector<BYTE> data) {
        ASSERT_EQ(RegSetValueExW(scratch.Handle(), name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    // Type and bytes as stored; type REG_NONE + 100 when the value is missing.
    std::pair<DWORD, std::vector<BYTE>> Get(const wchar_t* name) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(scratch.Handle(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return {REG_NONE + 100, {}};
        std::vector<BYTE> data(size);
        RegQueryValueExW(scratch.Handle(), name, nullptr, &type, data.data(), &size);
        return {type, data};
    }
};

std::vector<BYTE> Utf16(const std::wstring& text) {
    const auto* p = reinterpret_cast<const BYTE*>(text.data());
    return {p, p + text.size() * 2};
}

}  // namespace

// Short number data reaches the editors zero-filled; other types read as 0.
TEST_F(ValueIO, ReadersZeroFillShortData) {
    Set(L"short", REG_DWORD, {0x01, 0x02, 0x03});
    Set(L"big", REG_DWORD_BIG_ENDIAN, {0x00, 0x00, 0x01, 0x00});
    Set(L"qshort", REG_QWORD, {0xFF, 0xFF});
    Set(L"text", REG_SZ, Utf16(std::wstring(L"abc\0def", 7)));
    Set(L"multi", REG_MULTI_SZ, Utf16(std::wstring(L"a\0b\0\0", 5)));
    EXPECT_EQ(ReadDWordValue(key, L"short"), 0x030201u);
    EXPECT_EQ(ReadDWordValue(key, L"big"), 256u);
    EXPECT_EQ(ReadDWordValue(key, L"text"), 0u);
    EXPECT_EQ(ReadQWordValue(key, L"qshort"), 0xFFFFu);
    EXPECT_EQ(ReadQWordValue(key, L"short"), 0u);
    EXPECT_EQ(ReadStringValue(key, L"text"), L"abc");
    EXPECT_EQ(ReadStringValue(key, L"multi"), L"a\r\nb\r\n");
    EXPECT_EQ(ReadValueForEditor(EditorKindForType(REG_DWORD), key, L"short").Text, L"197121");
    EXPECT_EQ(ReadValueForEditor(TValueEditorKind::DWord, key, L"missing").Text, L"0");
}

TEST_F(ValueIO, WriterBytes) {
    WriteDWordValue(*provider, key, L"le", REG_DWORD, 0xFFFFFFFFu);
    WriteDWordValue(*provider, key, L"be", REG_DWORD_BIG_ENDIAN, 1);
    WriteQWordValue(*provider, key, L"q", REG_QWORD, 0x0102030405060708ull);
    WriteMultiStringValue(*provider, key, L"m", L"a\r\nb\r\n");
    WriteMultiStringValue(*provider, key, L"empty", L"");
    WriteStringValue(*provider, key, L"sz", REG_SZ, L"");
    EXPECT_EQ(Get(L"le"), std::make_pair(DWORD(REG_DWORD), std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Get(L"be"), std::make_pair(DWORD(REG_DWORD_BIG_ENDIAN), std::vector<BYTE>{0, 0, 0, 1}));
    EXPECT_EQ(Get(L"q").second, (std::vector<BYTE>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(Get(L"m"), std::make_pair(DWORD(REG_MULTI_SZ), Utf16(std::wstring(L"a\0b\0\0\0", 6))));
    EXPECT_EQ(Get(L"empty").second, (std::vector<BYTE>{0, 0}));
    EXPECT_EQ(Get(L"sz"), std::make_pair(DWORD(REG_SZ), std::vector<BYTE>{}));
    EXPECT_EQ(provider->UndoList().size(), 6u);

    // Lone CR ends a string too; a lone LF is text.
    EXPECT_EQ(MultiStringData(L"x\ry\nz"), Utf16(std::wstring(L"x\0y\nz\0\0", 7)));
}

// The DWORD editor's text round trip: 4294967295 shows and writes back as all ones; a text
// that is no number (or -1) writes nothing.
TEST_F(ValueIO, DWordEditorRoundTrip) {
    Set(L"n", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    const auto shown = ReadValueForEditor(TValueEditorKind::DWord, key, L"n");
    EXPECT_EQ(shown.Text, L"4294967295");
    Set(L"n", REG_DWORD, {0, 0, 0, 0});
    TValueEditorResult result{L"n", shown.Text, {}, REG_DWORD};
    EXPECT_TRUE(WriteEditorResult(*provider, key, TValueEditorKind::DWord, result));
    EXPECT_EQ(Get(L"n").second, (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    for (const wchar_t* text : {L"abc", L"-1", L""}) {
        result.Text = text;
        EXPECT_FALSE(WriteEditorResult(*provider, key, TValueEditorKind::DWord, result));
    }
    EXPECT_EQ(Get(L"n").second, (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(provider->UndoList().size(), 1u);

    result = {L"q", L"18446744073709551615", {}, REG_QWORD};
    EXPECT_TRUE(WriteEditorResult(*provider, key, TValueEditorKind::QWord, result));
    EXPECT_EQ(ReadValueForEditor(TValueEditorKind::QWord, key, L"q").Text, L"18446744073709551615");
}

// Editing an existing value records its old data and type; undo brings them back. A new
// value is recorded as created; undo removes it.
TEST_F(ValueIO, NewBinaryOverStringThenUndo) {
    Set(L"v", REG_SZ, Utf16(std::wstring(L"old\0", 4)));
    const BYTE bytes[] = {0xDE, 0xAD};
    WriteBinaryValue(*provider, key, L"v", REG_BINARY, bytes);
    EXPECT_EQ(Get(L"v"), std::make_pair(DWORD(REG_BINARY), std::vector<BYTE>{0xDE, 0xAD}));
    WriteDWordValue(*provider, key, L"fresh", REG_DWORD, 5);
    ASSERT_EQ(provider->UndoList().size(), 2u);

    EXPECT_TRUE(provider->UndoAt(1));
    EXPECT_EQ(Get(L"fresh").first, DWORD(REG_NONE + 100));
    EXPECT_TRUE(provider->UndoAt(0));
    EXPECT_EQ(Get(L"v"), std::make_pair(DWORD(REG_SZ), Utf16(std::wstring(L"old\0", 4))));
    EXPECT_TRUE(provider->UndoList().empty());
}

TEST(ValueEditorKinds, ByType) {
    EXPECT_EQ(EditorKindForType(REG_SZ), TValueEditorKind::String);
    EXPECT_EQ(EditorKindForType(REG_EXPAND_SZ), TValueEditorKind::ExpandString);
    EXPECT_EQ(EditorKindForType(REG_DWORD_BIG_ENDIAN), TValueEditorKind::DWord);
    EXPECT_EQ(EditorKindForType(REG_MULTI_SZ), TValueEditorKind::MultiString);
    EXPECT_EQ(EditorKindForType(REG_QWORD), TValueEditorKind::QWord);
    for (DWORD type : {0u, 3u, 6u, 8u, 9u, 10u, 12u, 0xFFFFu}) EXPECT_EQ(EditorKindForType(type), TValueEditorKind::Binary);
}
