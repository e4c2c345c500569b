// The shortcut and gesture tables: rows from the commands, their text in "HotKey.db" and
// "Gesture.db", their order, the shortcuts the dialog refuses, and the gesture buttons.
#include "tools/commandtables.h"

#include <gtest/gtest.h>

#include "classlib/menus.h"
#include "common/test_support.h"
#include "settings/inifile.h"

using namespace tools;
using classlib::ShortCut;
using classlib::ssAlt;
using classlib::ssCtrl;
using classlib::ssShift;
using classlib::TShortCut;
using testsupport::Narrow;

namespace {

std::vector<std::wstring> Categories(const TCommandTable& table) {
    std::vector<std::wstring> categories;
    for (int i = 0; i < table.Count(); ++i) categories.push_back(table.Row(i).Category);
    return categories;
}

}  // namespace

// The text a shortcut is stored as, per kind of key, and that text read back from the file.
TEST(CommandTables, ShortcutTextBothWaysPerKeyClass) {
    struct Case {
        TShortCut shortCut;
        const wchar_t* text;
    } cases[] = {
        {ShortCut('W', ssShift | ssCtrl | ssAlt), L"Shift+Ctrl+Alt+W"},
        {ShortCut('K', ssCtrl), L"Ctrl+K"},
        {ShortCut('7', ssCtrl | ssAlt), L"Ctrl+Alt+7"},
        // The keypad's digits are told apart from the digit keys, so they read back as such.
        {ShortCut(VK_NUMPAD5, ssCtrl), L"Ctrl+Num 5"},
        {ShortCut(VK_F1, 0), L"F1"},
        {ShortCut(VK_F12, ssShift), L"Shift+F12"},
        {ShortCut(VK_F24, ssAlt), L"Alt+F24"},
        {ShortCut(VK_BACK, ssCtrl), L"Ctrl+BkSp"},
        {ShortCut(VK_TAB, ssCtrl), L"Ctrl+Tab"},
        {ShortCut(VK_RETURN, 0), L"Enter"},
        {ShortCut(VK_ESCAPE, ssShift), L"Shift+Esc"},
        {ShortCut(VK_SPACE, ssCtrl), L"Ctrl+Space"},
        {ShortCut(VK_PRIOR, 0), L"PgUp"},
        {ShortCut(VK_NEXT, 0), L"PgDn"},
        {ShortCut(VK_END, ssCtrl), L"Ctrl+End"},
        {ShortCut(VK_HOME, ssCtrl), L"Ctrl+Home"},
        {ShortCut(VK_LEFT, ssAlt), L"Alt+Left"},
        {ShortCut(VK_UP, ssAlt), L"Alt+Up"},
        {ShortCut(VK_RIGHT, ssAlt), L"Alt+Right"},
        {ShortCut(VK_DOWN, ssAlt), L"Alt+Down"},
        {ShortCut(VK_INSERT, 0), L"Ins"},
        {ShortCut(VK_DELETE, ssShift), L"Shift+Del"},
        {0, L""},
    };
    testsupport::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        const TCommandInfo command{L"編集", L"値の修正...", c.shortCut, 1};
        TCommandTable table(TCommandTableKind::Shortcuts, std::span(&command, 1));
        EXPECT_EQ(table.Row(0).Value, c.text);

        settings::TVxMemIniFile file(dir.File(L"HotKey.db"));
        table.Write(file);
        EXPECT_EQ(file.ReadString(L"編集", L"値の修正...", L"?"), c.text);
        const TCommandInfo other{L"編集", L"値の修正...", ShortCut(VK_F9, 0), 1};
        TCommandTable read(TCommandTableKind::Shortcuts, std::span(&other, 1));
        read.Read(file);
        EXPECT_EQ(read.Row(0).Value, c.text);
        EXPECT_EQ(classlib::TextToShortCut(read.Row(0).Value), c.shortCut);
    }
    // A key the system names: its name reads back as the same key.
    const std::wstring named = classlib::ShortCutToText(ShortCut(VK_OEM_COMMA, ssCtrl));
    ASSERT_GT(named.size(), 5u);
    EXPECT_EQ(classlib::TextToShortCut(named), ShortCut(VK_OEM_COMMA, ssCtrl));
    // Digits typed as the files of older versions hold them; text that names no key is none.
    EXPECT_EQ(classlib::TextToShortCut(L"Ctrl+5"), ShortCut('5', ssCtrl));
    EXPECT_EQ(classlib::TextToShortCut(L"Ctrl+Nothing"), 0);
}

// Rows: the commands in order, then sorted by category descending (code page 932 bytes,
// ASCII letters folded), rows of a category in command order. Values come from the file
// where it has a line; written back, every row gets a line and other lines stay.
TEST(CommandTables, RowsSortedReadAndWritten) {
    const std::vector<TCommandInfo> commands{
        {L"ファイル", L"新規ウインドウ", 0, 36},
        {L"編集", L"コピー", ShortCut('C', ssCtrl), 4},
        {L"ツール", L"設定...", 0, 26},
        {L"ファイル", L"終了", 0, 28},
        {L"abc", L"小文字", 0, -1},
        {L"ABD", L"大文字", 0, -1},
        {L"編集", L"切り取り", ShortCut('X', ssCtrl), 5},
    };
    TCommandTable table(TCommandTableKind::Shortcuts, commands);
    table.Sort();
    // In code page 932: 編集 0x95D2, ファイル 0x8374, ツール 0x8363; "ABD" > "ABC" once folded.
    EXPECT_EQ(Categories(table), (std::vector<std::wstring>{L"編集", L"編集", L"ファイル", L"ファイル", L"ツール",
                                                            L"ABD", L"abc"}));
    EXPECT_EQ(table.Row(0).Caption, L"コピー");
    EXPECT_EQ(table.Row(1).Caption, L"切り取り");
    EXPECT_EQ(table.Row(2).Caption, L"新規ウインドウ");
    EXPECT_EQ(table.Row(2).ImageIndex, 36);
    EXPECT_EQ(table.Row(2).Command, 0);
    EXPECT_EQ(CompareCategories(L"abc", L"ABC"), 0);
    EXPECT_LT(CompareCategories(L"ABC", L"ツール"), 0);

    testsupport::ScratchDir dir;
    settings::TVxMemIniFile file(dir.File(L"HotKey.db"));
    file.WriteString(L"編集", L"コピー", L"Ctrl+Ins");
    file.WriteString(L"編集", L"切り取り", L"");
    file.WriteString(L"消えたカテゴリ", L"消えたコマンド", L"Ctrl+Q");
    table.Read(file);
    EXPECT_EQ(table.Row(0).Value, L"Ctrl+Ins");
    EXPECT_EQ(table.Row(1).Value, L"");
    EXPECT_EQ(table.Row(2).Value, L"");  // no line: the command's own shortcut (none)
    table.SetValue(2, L"Ctrl+Alt+W");
    table.Write(file);
    for (int i = 0; i < table.Count(); ++i)
        EXPECT_TRUE(file.ValueExists(table.Row(i).Category, table.Row(i).Caption)) << Narrow(table.Row(i).Caption);
    EXPECT_EQ(file.ReadString(L"ファイル", L"新規ウインドウ", L"?"), L"Ctrl+Alt+W");
    EXPECT_EQ(file.ReadString(L"消えたカテゴリ", L"消えたコマンド", L"?"), L"Ctrl+Q");

    // A value another row has as well names that row; an empty value is no clash.
    table.SetValue(3, L"Ctrl+Ins");
    EXPECT_EQ(table.FindOtherWithSameValue(3), 0);
    EXPECT_EQ(table.FindOtherWithSameValue(0), 3);
    EXPECT_EQ(table.FindOtherWithSameValue(1), -1);
    EXPECT_EQ(table.FindOtherWithSameValue(2), -1);
}

TEST(CommandTables, GestureButtons) {
    auto button = [](const wchar_t* name) -> const TGestureButtonDef& {
        for (const TGestureButtonDef& def : GestureButtonDefs())
            if (std::wstring(def.Name) == name) return def;
        throw std::runtime_error("no button");
    };
    std::vector<std::wstring> captions, marks;
    for (const TGestureButtonDef& def : GestureButtonDefs()) {
        captions.push_back(def.Caption);
        marks.push_back(ApplyGestureButton(L"", def));
    }
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"↑", L"↓", L"→", L"←", L"ホイール↓", L"ホイール↑", L"BS", L"CL"}));
    EXPECT_EQ(marks, (std::vector<std::wstring>{L"↑", L"↓", L"→", L"←", L"▽", L"△", L"", L""}));

    EXPECT_EQ(ApplyGestureButton(L"", button(L"BSButton")), L"");
    std::wstring gesture = L"↑△";
    for (const wchar_t* name : {L"CLButton", L"RightButton", L"DownButton"})
        gesture = ApplyGestureButton(gesture, button(name));
    EXPECT_EQ(gesture, L"→↓");
    EXPECT_EQ(ApplyGestureButton(gesture, button(L"BSButton")), L"→");
}
