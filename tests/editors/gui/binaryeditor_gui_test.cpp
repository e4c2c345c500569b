// The binary editor dialog: its bytes and chosen type written back with undo, its type
// selector, its command states, and its find dialog with F3.
#include <gtest/gtest.h>

#include "app/valueio.h"
#include "classlib/actions.h"
#include "classlib/streams.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/wide/wideedit.h"
#include "dialogs_test_support.h"
#include "editors/binaryeditorform.h"
#include "editors/editorforms.h"
#include "editors/valuesnapshot.h"
#include "hexedit/hexeditorex.h"
#include "registry/regrecords.h"

#include <memory>
#include <vector>

using namespace editors;
using testsupport::Narrow;

namespace {

std::pair<DWORD, std::vector<BYTE>> Stored(HKEY key, const wchar_t* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {0, {}};
    std::vector<BYTE> data(size);
    RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    return {type, data};
}

void Load(hexedit::TCustomHexEditor& editor, const std::string& bytes) {
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

bool Enabled(TEditorBinForm& form, const wchar_t* action) {
    form.Actions->UpdateActions();
    return form.ActionByName(action)->Enabled();
}

}  // namespace

// A value of a type above 0x7FFFFFFF is opened, edited and written back with another type
// chosen in the selector; undo brings back the old type and bytes.
TEST(BinaryEditorWrite, ChosenTypeAndUndo) {
    testsupport::ScratchKey scratch(testsupport::CurrentTestName());
    const registry::TVxRegKeyClass key = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, scratch.Path());
    const BYTE old[] = {1, 2, 3, 4};
    ASSERT_EQ(RegSetValueExW(scratch.Handle(), L"v", 0, 0x80000001u, old, sizeof old), ERROR_SUCCESS);

    // Opening as the value-editing command does: name, type shown, bytes.
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    const TValueSnapshot before = TakeValueSnapshot(key, L"v");
    ShowExistingValueName(*form->EntryName, L"v");
    form->ShowValueType(true);
    DWORD type = 0;
    ASSERT_TRUE(LoadValueIntoHexEditor(*form->EntryValue, key, L"v", type));
    form->SetValueType(type);
    EXPECT_EQ(form->ValueType(), 0x80000001u);
    EXPECT_EQ(form->ValType->GetCaption(), L"不明");

    const BYTE more[] = {5, 6};
    form->EntryValue->AppendBuffer(more, sizeof more, L"", false);
    form->ValTypeSelector->SetText(L"4294967295");
    form->ValTypeSelector->ApplyText();

    ASSERT_TRUE(MayWriteEditedValue(before, key, L"v", [](const std::wstring&) { return false; }));
    classlib::TComponent owner(nullptr);
    auto* undo = new undo::TVxRegClipUndoProvider(&owner);
    app::TValueEditorResult result;
    result.Name = form->EntryName->GetText();
    result.Bytes = Saved(*form->EntryValue);
    result.Type = form->ValueType();
    ASSERT_TRUE(app::WriteEditorResult(*undo, key, app::TValueEditorKind::Binary, result));
    EXPECT_EQ(Stored(scratch.Handle(), L"v"), std::make_pair(DWORD(0xFFFFFFFF), std::vector<BYTE>{1, 2, 3, 4, 5, 6}));

    ASSERT_EQ(undo->UndoList().size(), 1u);
    EXPECT_TRUE(undo->UndoAt(0));
    EXPECT_EQ(Stored(scratch.Handle(), L"v"), std::make_pair(DWORD(0x80000001), std::vector<BYTE>{1, 2, 3, 4}));
}

// Whatever is typed or stepped, the selector holds a registry type number, 0 to
// 0xFFFFFFFF, and the caption beside it names it.
TEST(BinaryEditorForm, TypeSelectorStaysARegistryType) {
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    EXPECT_EQ(form->ValueType(), DWORD(REG_BINARY));
    EXPECT_EQ(form->ValType->GetCaption(), L"REG_BINARY");
    struct Case {
        const wchar_t* text;
        DWORD value;
        const wchar_t* name;
    } cases[] = {
        {L"11", 11, L"REG_QWORD"},
        {L"12", 12, L"不明"},
        {L"0", 0, L"REG_NONE"},
        {L"2147483648", 0x80000000u, L"不明"},
        {L"4294967295", 0xFFFFFFFFu, L"不明"},
        {L"4294967296", 0xFFFFFFFFu, L"不明"},  // beyond the range: the value stays
        {L"7", 7, L"REG_MULTI_SZ"},
        {L"-1", 7, L"REG_MULTI_SZ"},
        {L"abc", 7, L"REG_MULTI_SZ"},
    };
    for (const Case& c : cases) {
        form->ValTypeSelector->SetText(c.text);
        form->ValTypeSelector->ApplyText();
        EXPECT_EQ(form->ValueType(), c.value) << Narrow(c.text);
        EXPECT_EQ(form->ValType->GetCaption(), c.name) << Narrow(c.text);
    }
    form->SetValueType(0xFFFFFFFF);
    form->ValTypeSelector->IncrementValue();
    EXPECT_EQ(form->ValueType(), 0xFFFFFFFFu);
    form->SetValueType(0);
    form->ValTypeSelector->DecrementValue();
    EXPECT_EQ(form->ValueType(), 0u);
}

// Delete follows the selection, F3 the find dialog, undo and redo the editor's history.
TEST(BinaryEditorForm, CommandStates) {
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    hexedit::THexEditorEx& hex = *form->EntryValue;
    Load(hex, std::string(64, 'A'));
    EXPECT_FALSE(Enabled(*form, L"aacBinEdDelete"));
    EXPECT_FALSE(Enabled(*form, L"aacBinEdFindNext"));
    EXPECT_FALSE(Enabled(*form, L"aacBinEdUndo"));
    EXPECT_TRUE(Enabled(*form, L"aacBinEdFind"));

    hex.SetSelStart(10);
    hex.SetSelEnd(20);
    EXPECT_TRUE(Enabled(*form, L"aacBinEdDelete"));
    EXPECT_TRUE(Enabled(*form, L"aacBinEdCopy"));
    form->ActionByName(L"aacBinEdDelete")->Execute();
    EXPECT_EQ(hex.GetDataSize(), 64 - 12);  // two-byte units: 10..21
    EXPECT_FALSE(Enabled(*form, L"aacBinEdDelete"));
    EXPECT_TRUE(Enabled(*form, L"aacBinEdUndo"));
    form->ActionByName(L"aacBinEdUndo")->Execute();
    EXPECT_EQ(hex.GetDataSize(), 64);
    EXPECT_TRUE(Enabled(*form, L"aacBinEdRedo"));
}

// The find dialog searches on OK; F3 repeats from the last hit, and at the end says so.
TEST(BinaryEditorForm, FindThenFindNext) {
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    const std::wstring text = L"xABxab";
    Load(*form->EntryValue, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));

    // The dialog, once shown, gets "ab" typed and OK pressed.
    classlib::TTimer typist(nullptr);
    typist.SetInterval(10);
    typist.SetOnTimer([&](classlib::TComponent*) {
        TBinFindForm* find = form->FindForm();
        if (!find || !find->Visible() || find->ModalResult() != classlib::mrNone) return;
        EXPECT_TRUE(find->Edit1->Enabled());
        EXPECT_FALSE(find->HexEditorEx1->Enabled());
        find->Edit1->SetText(L"ab");
        find->OkButton->Click();
    });
    typist.SetEnabled(true);
    form->ActionByName(L"aacBinEdFind")->Execute();
    typist.SetEnabled(false);
    ASSERT_NE(form->FindForm(), nullptr);
    EXPECT_EQ(form->EntryValue->SelectionFirst(), 2);
    EXPECT_EQ(form->EntryValue->SelectionLast(), 5);

    ASSERT_TRUE(Enabled(*form, L"aacBinEdFindNext"));
    form->ActionByName(L"aacBinEdFindNext")->Execute();
    EXPECT_EQ(form->EntryValue->SelectionFirst(), 8);

    editorstest::MessageBoxAnswerer answers;
    form->ActionByName(L"aacBinEdFindNext")->Execute();
    EXPECT_EQ(form->EntryValue->SelectionFirst(), 8);
    EXPECT_EQ(answers.Texts(), std::vector<std::wstring>{BinaryNotFoundText});

    // The bytes radio button enables the byte field instead.
    form->FindForm()->UiRadioButton2->SetChecked(true);
    EXPECT_FALSE(form->FindForm()->Edit1->Enabled());
    EXPECT_TRUE(form->FindForm()->HexEditorEx1->Enabled());
}

// With the value name in the focus, Del and Ctrl+V are the name field's keys; with the
// bytes in the focus they run the hex editor's commands.
TEST(BinaryEditorForm, EditingKeysFollowTheFocus) {
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    Load(*form->EntryValue, std::string(16, 'A'));
    form->EntryValue->SelectAll();
    form->Actions->UpdateActions();
    form->SetActiveControl(form->EntryName);
    EXPECT_FALSE(form->IsShortCut(VK_DELETE, 0));
    EXPECT_EQ(form->EntryValue->GetDataSize(), 16);
    form->SetActiveControl(form->EntryValue);
    EXPECT_TRUE(form->IsShortCut(VK_DELETE, 0));
    EXPECT_EQ(form->EntryValue->GetDataSize(), 0);

    // The other commands stay reachable from the name field.
    Load(*form->EntryValue, std::string(16, 'A'));
    form->SetActiveControl(form->EntryName);
    EXPECT_TRUE(form->IsShortCut('N', classlib::ssCtrl));
    EXPECT_EQ(form->EntryValue->GetDataSize(), 0);
}
