// The action table, the menus built from it, and the shortcut and gesture tables read from
// the settings files.
#include <gtest/gtest.h>

#include "app/actiontable.h"
#include "app/mainactions.h"
#include "classlib/menus.h"
#include "common/test_support.h"

#include <set>

using namespace app;
using testsupport::Narrow;

TEST(ActionTable, NamesAreUniqueAndInListOrder) {
    ASSERT_EQ(ActionDefs().size(), 94u);
    std::set<std::wstring> names;
    for (size_t i = 0; i < ActionDefs().size(); ++i) {
        const TActionDef& def = ActionDefs()[i];
        EXPECT_EQ(static_cast<size_t>(def.Id), i) << Narrow(def.Name);
        EXPECT_TRUE(names.insert(def.Name).second) << "duplicate " << Narrow(def.Name);
        EXPECT_EQ(std::wstring(def.Name).rfind(L"aac", 0), 0u) << Narrow(def.Name);
        EXPECT_EQ(FindActionDef(def.Name), &def);
    }
    EXPECT_EQ(FindActionDef(L"aacnewkey"), nullptr);
    // The address-box actions come first so that their keys win while the box has focus.
    for (size_t i = 0; i < ActionDefs().size(); ++i)
        EXPECT_EQ(ActionDefs()[i].Tag == AddressBoxActionTag, i < 7) << Narrow(ActionDefs()[i].Name);
}

// Category and caption name an action in "HotKey.db" and "Gesture.db": two actions of one
// category may not share a caption.
TEST(ActionTable, CategoryAndCaptionNameOneAction) {
    std::set<std::pair<std::wstring, std::wstring>> keys;
    for (const TActionDef& def : ActionDefs()) {
        if (def.Tag == AddressBoxActionTag) {
            EXPECT_STREQ(def.Category, L"");
            continue;
        }
        EXPECT_STRNE(def.Category, L"") << Narrow(def.Name);
        EXPECT_TRUE(keys.insert({def.Category, def.Caption}).second) << Narrow(def.Name);
    }
    EXPECT_STREQ(ActionDef(TActionId::aacFindReplace).Category, L"検索");
    EXPECT_STREQ(ActionDef(TActionId::aacFindReplace).Caption, L"検索...");
    EXPECT_STREQ(ActionDef(TActionId::aacClearHistory).Category, L"履歴処理");
}

TEST(ActionTable, DefaultShortcuts) {
    struct Case {
        TActionId id;
        const wchar_t* text;
    } cases[] = {
        {TActionId::aacComoUndo, L"Ctrl+Z"}, {TActionId::aacComboDelete, L"Del"},
        {TActionId::aacComboEnter, L"Enter"}, {TActionId::aacEdit, L"Enter"},
        {TActionId::aacBinEdit, L"Shift+Enter"}, {TActionId::aacNewAcWindow, L"Ctrl+N"},
        {TActionId::aacRename, L"F2"}, {TActionId::aacExpandAllKey, L"F4"},
        {TActionId::aacWinReg, L"F3"}, {TActionId::aacViewHelp, L"F1"},
        {TActionId::aacFindReplace, L"Ctrl+F"}, {TActionId::aacNewKey, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classlib::ShortCutToText(ActionDef(c.id).ShortCut), c.text) << Narrow(ActionDef(c.id).Name);
    int withShortCut = 0;
    for (const TActionDef& def : ActionDefs()) withShortCut += def.ShortCut != 0;
    EXPECT_EQ(withShortCut, 21);
}

// Every item of every menu and toolbar names an action or a menu that exists; every action
// but the address box's and the panes' is reachable from some menu, bar or popup.
TEST(ActionTable, MenuEntriesResolve) {
    std::set<std::wstring> reached;
    ASSERT_EQ(MenuBarDefs().size(), 8u);
    EXPECT_STREQ(MenuBarDefs()[0].Caption, L"ファイル(&F)");
    EXPECT_STREQ(MenuBarDefs()[7].Caption, L"ヘルプ(&H)");
    for (auto list : {MenuBarDefs(), OtherMenuDefs()}) {
        for (const TMenuDef& menu : list) {
            ASSERT_FALSE(menu.Items.empty()) << Narrow(menu.Name);
            EXPECT_NE(menu.Items.front().Kind, TMenuEntryKind::Separator) << Narrow(menu.Name);
            for (const TMenuEntry& item : menu.Items) {
                if (item.Kind == TMenuEntryKind::Action) {
                    EXPECT_NE(FindActionDef(item.Name), nullptr) << Narrow(menu.Name) << ": " << Narrow(item.Name);
                    reached.insert(item.Name);
                }
                if (item.Kind == TMenuEntryKind::SubMenu)
                    EXPECT_NE(FindMenuDef(item.Name), nullptr) << Narrow(item.Name);
            }
        }
    }
    for (const TActionDef& def : ActionDefs()) {
        const std::wstring category = def.Category;
        const bool pane = def.Tag != 0 || category == L"アンドゥ処理" || category.rfind(L"クリップボード処理", 0) == 0 ||
                          category == L"履歴処理";
        if (!pane) EXPECT_TRUE(reached.count(def.Name)) << Narrow(def.Name) << " is on no menu";
    }
    for (const TGenericActionDef& g : GenericActionDefs()) {
        EXPECT_STREQ(ActionDef(g.KeyTwin).Category, L"ツリーメニュー");
        EXPECT_STREQ(ActionDef(g.ValueTwin).Category, L"リストメニュー");
    }
}

// "HotKey.db" and "Gesture.db" are read with their Japanese sections and keys as they are;
// the address-box actions keep their keys; a text that is no shortcut removes it.
TEST(ActionTable, HotKeysAndGesturesFromTheirFiles) {
    testsupport::ScratchDir dir;
    {
        settings::TVxMemIniFile hotKeys(dir.File(L"HotKey.db"));
        hotKeys.WriteString(L"検索", L"検索...", L"Ctrl+Shift+F");
        hotKeys.WriteString(L"編集", L"新規キー...", L"Ctrl+K");
        hotKeys.WriteString(L"編集", L"名前の変更...", L"nonsense");
        hotKeys.WriteString(L"", L"aacComoUndo", L"F9");
        hotKeys.UpdateFile();
        settings::TVxMemIniFile gestures(dir.File(L"Gesture.db"));
        gestures.WriteString(L"ウインドウ", L"次のウインドウ", L"→↓");
        gestures.UpdateFile();
    }
    classlib::TComponent owner(nullptr);
    auto* actions = new TMainActionList(&owner);
    auto* rename = actions->Action(TActionId::aacRename);
    EXPECT_EQ(rename->Hint(), L"名前の変更...");
    // A later caption does not change the key the files use.
    rename->SetCaption(L"キーの名前の変更");

    LoadHotKeys(*actions, settings::TVxMemIniFile(dir.File(L"HotKey.db")));
    EXPECT_EQ(classlib::ShortCutToText(actions->Action(TActionId::aacFindReplace)->ShortCut()), L"Shift+Ctrl+F");
    EXPECT_EQ(classlib::ShortCutToText(actions->Action(TActionId::aacNewKey)->ShortCut()), L"Ctrl+K");
    EXPECT_EQ(rename->ShortCut(), 0);
    EXPECT_EQ(classlib::ShortCutToText(actions->Action(TActionId::aacComoUndo)->ShortCut()), L"Ctrl+Z");
    EXPECT_EQ(classlib::ShortCutToText(actions->Action(TActionId::aacCopy)->ShortCut()), L"Ctrl+C");

    const auto table = ReadGestureTable(*actions, settings::TVxMemIniFile(dir.File(L"Gesture.db")));
    ASSERT_EQ(table.size(), 94u);
    for (const TGestureBinding& binding : table)
        EXPECT_EQ(binding.Gesture, binding.Action->Id() == TActionId::aacNextWindow ? L"→↓" : L"")
            << Narrow(binding.Action->Name());
}
