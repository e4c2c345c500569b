// The action table: names, categories and captions, default shortcuts, and the menus and
// bars built from it.
#include <gtest/gtest.h>

#include "classlib/menus.h"
#include "common/test_support.h"
#include "options/actiontable.h"

#include <set>

using namespace options;
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

// Shortcuts no command may have: keys that type a character, without Ctrl or Alt.
TEST(ActionTable, TypingKeysWithoutCtrlOrAltAreNoShortcuts) {
    struct Case {
        classlib::TShortCut shortCut;
        bool refused;
    } cases[] = {
        {classlib::ShortCut('A', 0), true},
        {classlib::ShortCut('A', classlib::ssShift), true},
        {classlib::ShortCut('5', 0), true},
        {classlib::ShortCut(VK_SPACE, 0), true},
        {classlib::ShortCut(VK_NUMPAD5, 0), true},
        {classlib::ShortCut(VK_ADD, classlib::ssShift), true},
        {classlib::ShortCut(VK_OEM_COMMA, 0), true},
        {classlib::ShortCut(VK_OEM_102, 0), true},
        {classlib::ShortCut('A', classlib::ssCtrl), false},
        {classlib::ShortCut('5', classlib::ssAlt), false},
        {classlib::ShortCut(VK_SPACE, classlib::ssCtrl), false},
        {classlib::ShortCut(VK_DELETE, 0), false},
        {classlib::ShortCut(VK_RETURN, 0), false},
        {classlib::ShortCut(VK_F2, 0), false},
        {classlib::ShortCut(VK_BACK, 0), false},
        {0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsTypingShortCut(c.shortCut), c.refused) << Narrow(classlib::ShortCutToText(c.shortCut));
    for (const TActionDef& def : ActionDefs()) EXPECT_FALSE(IsTypingShortCut(def.ShortCut)) << Narrow(def.Name);
}
