// The binary editor's bytes and chosen type written back with undo, and its command states.
#include <gtest/gtest.h>

#include "app/valueio.h"
#include "classlib/streams.h"
#include "common/test_support.h"
#include "editors/binaryeditor.h"
#include "editors/valuesnapshot.h"
#include "hexedit/hexeditorex.h"
#include "registry/regrecords.h"

#include <vector>

using namespace editors;

namespace {

std::pair<DWORD, std::vector<BYTE>> Stored(HKEY key, const wchar_t* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {0, {}};
    std::vector<BYTE> data(size);
    RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    return {type, data};
}

void Load(hexedit::TCustomHexEditor& editor, const std::vector<BYTE>& bytes) {
    classlib::TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
    editor.LoadFromStream(stream);
}

std::vector<BYTE> Saved(hexedit::TCustomHexEditor& editor) {
    classlib::TMemoryStream stream;
    editor.SaveToStream(stream);
    const auto* p = static_cast<const BYTE*>(stream.Memory());
    return {p, p + stream.Size()};
}

}  // namespace

// A value of a type above 0x7FFFFFFF is opened, edited and written back with another type
// chosen in the selector; undo brings back the old type and bytes.
TEST(BinaryEditorWrite, ChosenTypeAndUndo) {
    testsupport::ScratchKey scratch(testsupport::CurrentTestName());
    const registry::TVxRegKeyClass key = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, scratch.Path());
    const BYTE old[] = {1, 2, 3, 4};
    ASSERT_EQ(RegSetValueExW(scratch.Handle(), L"v", 0, 0x80000001u, old, sizeof old), ERROR_SUCCESS);

    // Opening: the bytes, the type shown, and what the value was.
    const TValueSnapshot before = TakeValueSnapshot(key, L"v");
    hexedit::TCustomHexEditor editor;
    SetupBinaryEditorHex(editor);
    Load(editor, app::ReadValueForEditor(app::EditorKindForType(before.Type), key, L"v").Bytes);
    TValueTypeSelector selector;
    selector.SetValue(before.Type);
    EXPECT_EQ(selector.TypeName(), L"不明");

    const BYTE more[] = {5, 6};
    editor.AppendBuffer(more, sizeof more, L"", false);
    selector.SetText(L"4294967295");

    ASSERT_TRUE(MayWriteEditedValue(before, key, L"v", [](const std::wstring&) { return false; }));
    classlib::TComponent owner(nullptr);
    auto* undo = new undo::TVxRegClipUndoProvider(&owner);
    app::TValueEditorResult result;
    result.Name = L"v";
    result.Bytes = Saved(editor);
    result.Type = selector.Value();
    ASSERT_TRUE(app::WriteEditorResult(*undo, key, app::TValueEditorKind::Binary, result));
    EXPECT_EQ(Stored(scratch.Handle(), L"v"), std::make_pair(DWORD(0xFFFFFFFF), std::vector<BYTE>{1, 2, 3, 4, 5, 6}));

    ASSERT_EQ(undo->UndoList().size(), 1u);
    EXPECT_TRUE(undo->UndoAt(0));
    EXPECT_EQ(Stored(scratch.Handle(), L"v"), std::make_pair(DWORD(0x80000001), std::vector<BYTE>{1, 2, 3, 4}));
}

// Delete follows the selection, F3 the find dialog, undo and redo the editor's history.
TEST(BinaryEditorStates, FollowTheEditor) {
    hexedit::THexEditorEx editor(nullptr);
    SetupBinaryEditorHex(editor);
    Load(editor, std::vector<BYTE>(64, 0x41));
    TBinaryEditorStates s = BinaryEditorStates(editor, false);
    EXPECT_FALSE(s.Delete);
    EXPECT_FALSE(s.FindNext);
    EXPECT_FALSE(s.Undo);

    editor.SetSelStart(10);
    editor.SetSelEnd(20);
    s = BinaryEditorStates(editor, true);
    EXPECT_TRUE(s.Delete);
    EXPECT_TRUE(s.Copy);
    EXPECT_TRUE(s.FindNext);

    editor.DeleteSelection(L"");
    s = BinaryEditorStates(editor, true);
    EXPECT_FALSE(s.Delete);
    EXPECT_TRUE(s.Undo);
    EXPECT_FALSE(s.Redo);
    editor.Undo();
    s = BinaryEditorStates(editor, true);
    EXPECT_TRUE(s.Redo);
}
