// The binary editor's find step, type selector and hex layout.
#include <gtest/gtest.h>

#include "classlib/streams.h"
#include "common/test_support.h"
#include "editors/binaryeditor.h"
#include "hexedit/hexeditor.h"
#include "registry/regrecords.h"

#include <string>

using namespace editors;
using testsupport::Narrow;

namespace {

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

struct BinaryFind : ::testing::Test {
    hexedit::TCustomHexEditor editor;
    TBinaryFinder finder;
    BinaryFind() { SetupBinaryEditorHex(editor); }
    TBinaryFindResult Step(const TBinaryFindRequest& request) { return finder.Step(editor, request); }
    void Load(const std::string& bytes) {
        classlib::TMemoryStream stream;
        if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
        editor.LoadFromStream(stream);
    }
    // The selection as first..last with the anchor, or "none".
    std::string Selection() {
        if (!editor.HasSelection()) return "none";
        return std::to_string(editor.SelectionFirst()) + ".." + std::to_string(editor.SelectionLast()) + " @" +
               std::to_string(editor.GetSelStart());
    }
};

TBinaryFindRequest Text(const wchar_t* text, bool caseSensitive = false) {
    TBinaryFindRequest r;
    r.Text = text;
    r.CaseSensitive = caseSensitive;
    return r;
}

TBinaryFindRequest Bytes(const std::string& bytes) {
    TBinaryFindRequest r;
    r.IsText = false;
    r.Bytes = bytes;
    return r;
}

}  // namespace

// Text is looked for as UTF-16, ignoring case unless asked; a hit is selected with the
// anchor on its last byte, and the next step (F3) goes on from there; a step that finds
// nothing more leaves the selection where it was.
TEST_F(BinaryFind, StepsThroughUtf16Hits) {
    Load(Utf16Bytes(L"ABxAbyab"));
    EXPECT_EQ(Step(Text(L"ab")), TBinaryFindResult::Found);
    EXPECT_EQ(Selection(), "0..3 @3");
    EXPECT_EQ(Step(Text(L"ab")), TBinaryFindResult::Found);
    EXPECT_EQ(Selection(), "6..9 @9");
    EXPECT_EQ(Step(Text(L"ab")), TBinaryFindResult::Found);
    EXPECT_EQ(Selection(), "12..15 @15");
    EXPECT_EQ(Step(Text(L"ab")), TBinaryFindResult::NotFound);
    EXPECT_EQ(Selection(), "12..15 @15");

    editor.ResetSelection(false);
    editor.SetSelStart(0);
    EXPECT_EQ(Step(Text(L"ab", true)), TBinaryFindResult::Found);
    EXPECT_EQ(Selection(), "12..15 @15");
}

TEST_F(BinaryFind, PatternsAndEmptyCases) {
    struct Case {
        const char* what;
        std::string data;
        TBinaryFindRequest request;
        TBinaryFindResult result;
        int hit, length;
    } cases[] = {
        {"empty text does nothing", Utf16Bytes(L"abc"), Text(L""), TBinaryFindResult::NothingToFind, -1, 0},
        {"empty bytes do nothing", Utf16Bytes(L"abc"), Bytes(""), TBinaryFindResult::NothingToFind, -1, 0},
        {"empty data", "", Text(L"a"), TBinaryFindResult::NotFound, -1, 0},
        {"Japanese text", Utf16Bytes(L"キーの値"), Text(L"の値"), TBinaryFindResult::Found, 4, 4},
        // The unit U+4E00 is the bytes 00 4E; ignoring case must not fold 4E ('N') alone.
        {"CJK unit as bytes", std::string("\x01\x00\x4E\x00", 4), Bytes(std::string("\x00\x4E", 2)),
         TBinaryFindResult::Found, 1, 2},
        {"odd byte pattern ignoring case", "xyzA", Bytes("a"), TBinaryFindResult::Found, 3, 1},
    };
    for (const Case& c : cases) {
        Load(c.data);
        TBinaryFinder fresh;
        EXPECT_EQ(fresh.Step(editor, c.request), c.result) << c.what;
        // The selection takes whole two-byte units.
        if (c.hit >= 0) EXPECT_TRUE(editor.IsSelected(c.hit) && editor.IsSelected(c.hit + c.length - 1)) << c.what;
    }
}

// A one-byte pattern moves on with each step instead of finding its last hit again (the
// selection covers the hit's whole two-byte unit).
TEST_F(BinaryFind, OneBytePatternMovesOn) {
    Load(std::string("\x07\x01\x07\x02\x03\x07\x07", 7));
    std::vector<std::string> selections;
    while (Step(Bytes("\x07")) == TBinaryFindResult::Found) {
        selections.push_back(Selection());
        ASSERT_LE(selections.size(), 4u) << "the step does not move on";
    }
    EXPECT_EQ(selections, (std::vector<std::string>{"0..1 @0", "2..3 @2", "4..5 @4", "6..6 @6"}));
}

// A value's bytes and type reach the hex editor from one read; a missing value loads
// nothing and leaves the type alone.
TEST(BinaryEditorLoad, ValueBytesAndType) {
    testsupport::ScratchKey scratch(testsupport::CurrentTestName());
    const registry::TVxRegKeyClass key = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, scratch.Path());
    const BYTE bytes[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x00};
    ASSERT_EQ(RegSetValueExW(scratch.Handle(), L"v", 0, 0xFFFF0000u, bytes, sizeof bytes), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(scratch.Handle(), L"empty", 0, REG_BINARY, bytes, 0), ERROR_SUCCESS);

    hexedit::TCustomHexEditor editor;
    DWORD type = 0;
    ASSERT_TRUE(LoadValueIntoHexEditor(editor, key, L"v", type));
    EXPECT_EQ(type, 0xFFFF0000u);
    ASSERT_EQ(editor.GetDataSize(), 5);
    EXPECT_EQ(std::string(editor.GetDataAsString()), std::string(reinterpret_cast<const char*>(bytes), 5));
    EXPECT_FALSE(editor.Modified());

    EXPECT_TRUE(LoadValueIntoHexEditor(editor, key, L"empty", type));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(editor.GetDataSize(), 0);

    ASSERT_TRUE(LoadValueIntoHexEditor(editor, key, L"v", type));
    type = 7;
    EXPECT_FALSE(LoadValueIntoHexEditor(editor, key, L"missing", type));
    EXPECT_EQ(type, 7u);
    EXPECT_EQ(editor.GetDataSize(), 0);
}
