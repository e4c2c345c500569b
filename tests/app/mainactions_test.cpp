// The main window's actions and the shortcut and gesture tables read from the settings
// files.
#include <gtest/gtest.h>

#include "app/actiontable.h"
#include "app/mainactions.h"
#include "classlib/menus.h"
#include "common/test_support.h"

using namespace app;
using testsupport::Narrow;

// "HotKey.db" and "Gesture.db" are read with their Japanese sections and keys as they are;
// the address-box actions keep their keys; a text that is no shortcut removes it; a key
// that types a character without Ctrl or Alt is ignored.
TEST(ActionTable, HotKeysAndGesturesFromTheirFiles) {
    testsupport::ScratchDir dir;
    {
        settings::TVxMemIniFile hotKeys(dir.File(L"HotKey.db"));
        hotKeys.WriteString(L"検索", L"検索...", L"Ctrl+Shift+F");
        hotKeys.WriteString(L"編集", L"新規キー...", L"Ctrl+K");
        hotKeys.WriteString(L"編集", L"名前の変更...", L"nonsense");
        hotKeys.WriteString(L"", L"aacComoUndo", L"F9");
        hotKeys.WriteString(L"編集", L"コピー", L"C");
        hotKeys.WriteString(L"編集", L"全て選択", L"Shift+Space");
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
    EXPECT_EQ(classlib::ShortCutToText(actions->Action(TActionId::aacSelectAll)->ShortCut()), L"Ctrl+A");

    const auto table = ReadGestureTable(*actions, settings::TVxMemIniFile(dir.File(L"Gesture.db")));
    ASSERT_EQ(table.size(), 94u);
    for (const TGestureBinding& binding : table)
        EXPECT_EQ(binding.Gesture, binding.Action->Id() == TActionId::aacNextWindow ? L"→↓" : L"")
            << Narrow(binding.Action->Name());
}
