// Which commands may run for the active registry window, the generic commands' captions,
// the address box's editing keys and when shortcuts may run.
#include <gtest/gtest.h>

#include "app/actionstates.h"
#include "app/mainactions.h"
#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/menus.h"
#include "common/test_support.h"
#include "registry/regrecords.h"

#include <memory>

using namespace app;
using enum TActionId;

namespace {

TRegWindowState Key(bool readOnly, const std::wstring& path, HKEY root = HKEY_CURRENT_USER) {
    TRegWindowState w;
    const registry::TVxRegKeyClass record = [&] {
        auto r = registry::MakeRegKeyRecord(root, path);
        r.FReadOnly = readOnly;
        return r;
    }();
    DescribeSelectedKey(&record, w);
    return w;
}

TActionStates AllEnabled() {
    TActionStates s;
    s.Enabled.fill(true);
    return s;
}

}  // namespace

TEST(ActionStates, NoRegistryWindow) {
    TActionStateInput input;
    input.HelpFileExists = true;
    input.UndoListEmpty = false;
    TActionStates s = AllEnabled();
    ComputeActionStates(input, s);
    for (TActionId id : {aacNewKey, aacEdit, aacCopy, aacDelete, aacClose, aacListNameCopy, aacExport, aacACLEdit})
        EXPECT_FALSE(s[id]) << testsupport::Narrow(ActionDef(id).Name);
    EXPECT_TRUE(s[aacViewHelp]);
    EXPECT_TRUE(s[aacUndo]);
    EXPECT_TRUE(s[aacNewWindow]) << "commands outside the rules keep their state";
    EXPECT_EQ(s.Caption[static_cast<size_t>(aacCopy)], nullptr);
}

// The two bulk operations over search hits follow the hits alone, with or without a window.
TEST(ActionStates, BulkSearchOperationsNeedHitsAndNoRunningSearch) {
    for (bool window : {false, true})
        for (bool changeable : {false, true}) {
            TActionStateInput input;
            if (window) input.Window = Key(false, L"Software\\X");
            input.FindHitsChangeable = changeable;
            TActionStates s;  // from the opposite state
            s.Enabled.fill(!changeable);
            ComputeActionStates(input, s);
            EXPECT_EQ(s[aacFindAllDelete], changeable) << window;
            EXPECT_EQ(s[aacFindAllReplace], changeable) << window;
        }
}

// The address box's actions stand first and share their keys with the registry commands
// (Enter edits a value, Ctrl+Z undoes): they may run only while the box has the focus.
TEST(ActionStates, AddressBoxActionsOnlyWhileTheBoxHasTheFocus) {
    TActionStateInput input;
    input.Window = Key(false, L"Software\\X");
    input.Window->SelectedValues = 1;
    for (bool focused : {false, true}) {
        input.AddressBoxFocused = focused;
        TActionStates s = AllEnabled();
        ComputeActionStates(input, s);
        for (TActionId id : {aacComoUndo, aacComboCut, aacComboDelete, aacComboCopy, aacComboSelectAll,
                             aacComboPaste, aacComboEnter})
            EXPECT_EQ(s[id], focused) << testsupport::Narrow(ActionDef(id).Name);
        EXPECT_TRUE(s[aacEdit]);
    }
}

TEST(ActionStates, TableOfSelections) {
    struct Case {
        const char* what;
        TRegWindowState window;
        std::vector<TActionId> enabled, disabled;
    };
    TRegWindowState computer;  // computer node: no key
    TRegWindowState hkcu = Key(false, L"");
    TRegWindowState readOnly = Key(true, L"Software\\Protected");
    readOnly.SelectedValues = 1;
    TRegWindowState twoValues = Key(false, L"Software\\X");
    twoValues.SelectedValues = 2;
    TRegWindowState oneValue = Key(false, L"Software\\X");
    oneValue.SelectedValues = 1;
    TRegWindowState hklm = Key(false, L"", HKEY_LOCAL_MACHINE);
    TRegWindowState software = Key(false, L"SOFTWARE", HKEY_LOCAL_MACHINE);
    TRegWindowState locked = Key(false, L"Software");
    locked.TabLocked = true;
    const Case cases[] = {
        {"computer node", computer, {aacClose},
         {aacNewKey, aacNewSZ, aacTreeCopy, aacTreeCut, aacTreeDelete, aacTreeRename, aacExport, aacNewFavorite,
          aacNewFavoriteRegScript, aacACLEdit, aacListNameCopy, aacListFullPathCopy}},
        {"key without a selected value", Key(false, L"Software\\X"), {aacTreeNameCopy, aacTreeFullPathCopy},
         {aacListNameCopy, aacListFullPathCopy, aacCopyName, aacFullCopy, aacValueCopy}},
        {"writable root", hkcu, {aacNewKey, aacNewSZ, aacNewQWord, aacNewCustomBin, aacExport, aacACLEdit},
         {aacTreeCopy, aacTreeCut, aacTreeDelete, aacTreeRename, aacTreePaste, aacListPaste, aacLoadHive,
          aacUnLoadHive, aacEdit}},
        {"read-only key with a value", readOnly, {aacACLEdit, aacUpdateReg, aacExport, aacNewFavorite, aacTreeNameCopy},
         {aacNewKey, aacNewSZ, aacTreePaste, aacTreeCopy, aacTreeDelete, aacEdit, aacBinEdit, aacListCopy,
          aacListDelete, aacListNameCopy, aacListFullPathCopy, aacValueCopy}},
        {"two values", twoValues, {aacListCopy, aacListCut, aacListDelete, aacTreeCopy},
         {aacEdit, aacBinEdit, aacListRename, aacValueCopy, aacListNameCopy, aacListFullPathCopy}},
        {"one value", oneValue,
         {aacEdit, aacBinEdit, aacListRename, aacValueCopy, aacListNameCopy, aacListFullPathCopy, aacListCopy}, {}},
        {"HKEY_LOCAL_MACHINE", hklm, {aacLoadHive}, {aacUnLoadHive}},
        {"HKLM\\SOFTWARE", software, {aacUnLoadHive}, {aacLoadHive}},
        {"locked tab", locked, {aacNewKey}, {aacClose}},
    };
    for (const Case& c : cases) {
        TActionStateInput input;
        input.Window = c.window;
        TActionStates s = AllEnabled();
        s[aacCut] = false;
        ComputeActionStates(input, s);
        for (TActionId id : c.enabled) EXPECT_TRUE(s[id]) << c.what << ": " << testsupport::Narrow(ActionDef(id).Name);
        for (TActionId id : c.disabled)
            EXPECT_FALSE(s[id]) << c.what << ": " << testsupport::Narrow(ActionDef(id).Name);
    }
}

// The value commands keep their last state while the computer node is selected, and the
// pastes follow the clipboards.
TEST(ActionStates, ValueCommandsKeepStateWithoutKeyAndPastesFollowClipboards) {
    TActionStateInput input;
    input.Window = Key(false, L"Software\\X");
    input.Window->SelectedValues = 1;
    input.KeyClipboardEmpty = false;
    TActionStates s;
    ComputeActionStates(input, s);
    EXPECT_TRUE(s[aacEdit]);
    EXPECT_TRUE(s[aacTreePaste]);
    EXPECT_FALSE(s[aacListPaste]);

    input.Window = TRegWindowState{};  // the computer node
    ComputeActionStates(input, s);
    EXPECT_TRUE(s[aacEdit]);
    EXPECT_FALSE(s[aacTreePaste]);
}

// The generic commands take state and caption from the key twin while the key tree has
// the focus, from the value twin otherwise.
TEST(ActionStates, GenericCommandsFollowTheFocus) {
    TActionStateInput input;
    input.Window = Key(false, L"Software\\X");
    input.Window->TreeFocused = true;
    TActionStates s;
    ComputeActionStates(input, s);
    EXPECT_TRUE(s[aacCopy]);
    EXPECT_STREQ(s.Caption[static_cast<size_t>(aacCopy)], L"キーのコピー");
    EXPECT_STREQ(s.Caption[static_cast<size_t>(aacFullCopy)], L"キーのフルパスのコピー");

    input.Window->TreeFocused = false;  // no value selected: the value twins are off
    ComputeActionStates(input, s);
    EXPECT_FALSE(s[aacCopy]);
    EXPECT_FALSE(s[aacRename]);
    EXPECT_STREQ(s.Caption[static_cast<size_t>(aacCopy)], L"値のコピー");

    classlib::TComponent owner(nullptr);
    auto* actions = new TMainActionList(&owner);
    ApplyActionStates(s, *actions);
    EXPECT_EQ(actions->Action(aacCopy)->Caption(), L"値のコピー");
    EXPECT_EQ(actions->Action(aacCopy)->HelpKeyword, L"コピー");
    EXPECT_FALSE(actions->Action(aacCopy)->Enabled());
    EXPECT_EQ(ReadActionStates(*actions).Enabled, s.Enabled);
}

// The address box's keys work on its edit window: select all, delete, undo.
TEST(ActionStates, AddressBoxEditingKeys) {
    testsupport::HiddenEdit box(L"HKEY_CURRENT_USER\\Software");
    HWND edit = box.Handle();
    ASSERT_NE(edit, nullptr);
    auto text = [&] { return box.Text(); };
    EXPECT_TRUE(ExecuteAddressBoxAction(aacComboSelectAll, edit, {}));
    EXPECT_TRUE(ExecuteAddressBoxAction(aacComboDelete, edit, {}));
    EXPECT_EQ(text(), L"");
    EXPECT_TRUE(ExecuteAddressBoxAction(aacComoUndo, edit, {}));
    EXPECT_EQ(text(), L"HKEY_CURRENT_USER\\Software");
    bool jumped = false;
    EXPECT_TRUE(ExecuteAddressBoxAction(aacComboEnter, edit, [&] { jumped = true; }));
    EXPECT_TRUE(jumped);
    EXPECT_FALSE(ExecuteAddressBoxAction(aacCopy, edit, {}));
}

// A shortcut runs the first matching action that is enabled after its update (the states
// brought up to date first), and only while the main window is the active form: not while
// another form (a dialog) is.
TEST(ShortCutDispatch, FirstEnabledActionWhileMainWindowIsActive) {
    auto mainForm = std::make_unique<classlib::TForm>(nullptr);
    auto dialog = std::make_unique<classlib::TForm>(nullptr);
    classlib::TForm* main = mainForm.get();
    main->SetBounds(10, 10, 300, 200);
    dialog->SetBounds(400, 10, 200, 150);

    auto* actions = new TMainActionList(main);
    actions->ShortCutsAllowed = [main] { return MainFormIsActive(main); };
    int newKeyRuns = 0, newWindowRuns = 0;
    auto* newKey = actions->Action(aacNewKey);
    auto* newWindow = actions->Action(aacNewWindow);
    const classlib::TShortCut key = classlib::TextToShortCut(L"Ctrl+K");
    newKey->SetShortCut(key);
    newWindow->SetShortCut(key);
    newKey->OnExecute = [&](classlib::TComponent*) { ++newKeyRuns; };
    newKey->OnUpdate = [&](classlib::TComponent*) { newKey->SetEnabled(false); };
    newWindow->OnExecute = [&](classlib::TComponent*) { ++newWindowRuns; };

    main->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return MainFormIsActive(main); }));
    WORD k = 0;
    classlib::TShiftState shift{};
    classlib::ShortCutToKey(key, k, shift);
    EXPECT_TRUE(actions->IsShortCut(k, shift));
    EXPECT_EQ(newKeyRuns, 0) << "disabled by its update";
    EXPECT_EQ(newWindowRuns, 1);

    // States computed for the key itself win over the last idle pass's: the new window
    // command (first in the list) is off now, the new key command on.
    newKey->OnUpdate = nullptr;
    newKey->SetEnabled(false);
    actions->UpdateStates = [&] {
        newWindow->SetEnabled(false);
        newKey->SetEnabled(true);
    };
    EXPECT_TRUE(actions->IsShortCut(k, shift));
    EXPECT_EQ(newKeyRuns, 1);
    EXPECT_EQ(newWindowRuns, 1);
    actions->UpdateStates = nullptr;
    newWindow->SetEnabled(true);

    dialog->Show();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !MainFormIsActive(main); }));
    EXPECT_FALSE(actions->IsShortCut(k, shift));
    EXPECT_EQ(newWindowRuns, 1);
}
