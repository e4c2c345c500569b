// The binary editor dialog: its bytes and chosen type written back with undo, its type
// selector, its command states, and its find dialog with F3.
#include <gtest/gtest.h>

#include "app/valueio.h"
#include "classlib/actions.h"
#include "classlib/streams.h"
#include "common/test_support.h"
#include "controls/toolbar/tbviewer.h"
#include "controls/toolbar/themed/thmtoolbar.h"
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

// A user searches with the keyboard: F3 does nothing before the first find; Ctrl+F opens
// the find dialog with the focus in its text field, "ab" and Enter select the first hit
// (any case, UTF-16); F3 goes on from there, and past the last hit says so in a message box
// that Enter closes, the selection staying. The dialog keeps its text for the next find,
// and its bytes radio button moves the focus to the byte field. Alt+O ends with OK.
TEST(BinaryEditorKeyboard, FindThenFindNext) {
    using namespace editorstest;
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    const std::wstring text = L"xABxab";
    Load(*form->EntryValue, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    hexedit::THexEditorEx& hex = *form->EntryValue;
    auto selected = [&hex](int first, int last) {
        return [&hex, first, last] { return hex.SelectionFirst() == first && hex.SelectionLast() == last; };
    };
    auto findOpen = [&form] {
        TBinFindForm* find = form->FindForm();
        return find && find->Visible() && find->ModalResult() == classlib::mrNone;
    };
    std::wstring message;
    InputScript script;
    script
        .Then([&] { return HasFocus(hex.Handle()); }, [] { PressKey(VK_F3); })
        .Then([] { return true; }, [] { PressKey('F', {VK_CONTROL}); })
        .Then([&] { return findOpen() && HasFocus(form->FindForm()->Edit1->Handle()); },
              [&] {
                  // F3 before it changed nothing: no dialog came in between.
                  EXPECT_EQ(hex.SelectionFirst(), hex.SelectionLast());
                  TypeKeys(L"ab");
                  PressKey(VK_RETURN);
              })
        .Then([&] { return !findOpen() && selected(2, 5)(); }, [] { PressKey(VK_F3); })
        .Then(selected(8, 11), [] { PressKey(VK_F3); })
        .Then([] { return OpenMessageBox() != nullptr; },
              [&] {
                  message = OpenMessageBox()->Message->Caption();
                  PressKey(VK_RETURN);
              })
        .Then([&] { return !OpenMessageBox() && HasFocus(hex.Handle()); },
              [&] {
                  EXPECT_TRUE(selected(8, 11)());
                  PressKey('F', {VK_CONTROL});
              })
        .Then([&] { return findOpen() && HasFocus(form->FindForm()->Edit1->Handle()); },
              [&] {
                  EXPECT_EQ(form->FindForm()->Edit1->GetText(), L"ab");
                  ClickWindow(form->FindForm()->UiRadioButton2->Handle());
              })
        .Then([&] { return form->FindForm()->HexEditorEx1->Enabled(); },
              [&] {
                  EXPECT_FALSE(form->FindForm()->Edit1->Enabled());
                  PressKey(VK_ESCAPE);
              })
        .Then([&] { return !findOpen() && HasFocus(hex.Handle()); }, [] { PressKey('O', {VK_MENU}); });
    EXPECT_EQ(form->ShowModal(), classlib::mrOk);
    EXPECT_EQ(script.Done(), script.Count());
    EXPECT_EQ(message, BinaryNotFoundText);
}

// Del and Ctrl+A belong to the value name while the user types in it, and to the bytes
// once the user clicks them: the keys edit what has the focus and nothing else. Ctrl+Z
// brings the deleted bytes back; the Cancel button ends the dialog.
TEST(BinaryEditorKeyboard, EditingKeysFollowTheFocus) {
    using namespace editorstest;
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    hexedit::THexEditorEx& hex = *form->EntryValue;
    Load(hex, std::string(16, 'A'));
    InputScript script;
    script
        .Then([&] { return HasFocus(hex.Handle()); }, [&] { PressKey('A', {VK_CONTROL}); })
        .Then([&] { return hex.GetSelCount() == 16; }, [&] { ClickWindow(form->EntryName->Handle()); })
        .Then([&] { return HasFocus(form->EntryName->Handle()); },
              [] {
                  TypeKeys(L"abc");
                  PressKey(VK_HOME);
                  PressKey(VK_DELETE);
              })
        .Then([&] { return form->EntryName->GetText() == L"bc"; },
              [] {
                  PressKey('A', {VK_CONTROL});
                  PressKey(VK_DELETE);
              })
        .Then([&] { return form->EntryName->GetText().empty(); },
              [&] {
                  EXPECT_EQ(hex.GetDataSize(), 16);
                  ClickWindow(hex.Handle());
              })
        .Then([&] { return HasFocus(hex.Handle()); },
              [] {
                  PressKey('A', {VK_CONTROL});
                  PressKey(VK_DELETE);
              })
        .Then([&] { return hex.GetDataSize() == 0; }, [] { PressKey('Z', {VK_CONTROL}); })
        .Then([&] { return hex.GetDataSize() == 16; }, [&] { ClickWindow(form->CancelButton->Handle()); });
    EXPECT_EQ(form->ShowModal(), classlib::mrCancel);
    EXPECT_EQ(script.Done(), script.Count());
    EXPECT_EQ(form->EntryName->GetText(), L"");
    EXPECT_EQ(hex.GetDataSize(), 16);
}

// The toolbar's buttons are the dialog's commands: Delete is disabled until the user selects
// bytes, a click on it deletes them, a click on Undo brings them back.
TEST(BinaryEditorToolBar, ButtonsRunTheCommands) {
    using namespace editorstest;
    std::unique_ptr<TEditorBinForm> form(new TEditorBinForm(nullptr));
    hexedit::THexEditorEx& hex = *form->EntryValue;
    Load(hex, std::string(16, 'A'));
    toolbar::TBarView* view = form->ToolBar->View();
    auto button = [&](const wchar_t* action) {
        for (int i = 0; i < view->ViewerCount(); ++i)
            if (view->Viewers(i)->Item()->Action() == form->ActionByName(action)) return view->Viewers(i);
        return static_cast<toolbar::TBarItemViewer*>(nullptr);
    };
    auto click = [&](const wchar_t* action) {
        const RECT r = button(action)->BoundsRect;
        ClickAt(form->ToolBar->Handle(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    };
    ASSERT_NE(button(L"aacBinEdDelete"), nullptr);
    ASSERT_NE(button(L"aacBinEdFindNext"), nullptr);
    InputScript script;
    script
        .Then([&] { return HasFocus(hex.Handle()); },
              [&] {
                  form->Actions->UpdateActions();
                  EXPECT_FALSE(button(L"aacBinEdDelete")->Item()->Enabled());
                  PressKey('A', {VK_CONTROL});
              })
        .Then([&] { return button(L"aacBinEdDelete")->Item()->Enabled(); }, [&] { click(L"aacBinEdDelete"); })
        .Then([&] { return hex.GetDataSize() == 0 && button(L"aacBinEdUndo")->Item()->Enabled(); },
              [&] { click(L"aacBinEdUndo"); })
        .Then([&] { return hex.GetDataSize() == 16; }, [&] { ClickWindow(form->CancelButton->Handle()); });
    EXPECT_EQ(form->ShowModal(), classlib::mrCancel);
    EXPECT_EQ(script.Done(), script.Count());
}
