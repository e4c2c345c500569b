// wendlar.exe's search driven from outside with real keystrokes, clicks and messages: a
// search started from the key tree's menu fills the result pane and reports its count, a
// double click on a hit jumps there, bulk replace through its dialog changes exactly the
// hits and every change is undone with Ctrl+Z; a search started with Ctrl+F over the
// dialog's saved list replaces one that still runs, and messages that do not belong to the
// running search change nothing; hits taken out through the pane's menu stay, and bulk
// delete takes the rest, with undo.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"

#include <string>
#include <vector>

namespace {

using testsupport::RegSnapshot;
using testsupport::TakeRegSnapshot;
using namespace wendlartest::driving;

constexpr UINT kFindDone = WM_USER + 1, kFindHit = WM_USER + 2, kFindProgress = WM_USER + 3;

// The settings the program and the search dialog read and write start afresh for each test.
class SearchProgram : public ProgramTest {
protected:
    SettingsFileGuard KeyLists{L"findkey.db"};
    SettingsFileGuard Words{L"findword.db"};
};

// The first visible descendant of `parent` whose text starts with `prefix`, or null.
HWND ChildWithTextPrefix(HWND parent, const std::wstring& prefix) {
    const std::vector<HWND> found = ChildrenWhere(
        parent, [&](HWND child) { return IsWindowVisible(child) && WindowText(child).rfind(prefix, 0) == 0; });
    return found.empty() ? nullptr : found[0];
}

// The text of the search's state label once it reports the end of a search, or empty.
std::wstring WaitForFindDone(HWND main) {
    HWND label = nullptr;
    PumpUntil([&] { return (label = ChildWithTextPrefix(main, L"検索終了：（ヒット数：")) != nullptr; });
    return label ? WindowText(label) : std::wstring();
}

// Types `text` into the focused field of `dialog` and clicks its OK button; false when the
// text did not arrive or the dialog stayed.
bool TypeAndOk(const Program& program, HWND dialog, const std::wstring& text) {
    HWND field = program.FocusWindow();
    TypeKeys(text);
    if (!PumpUntil([&] { return WindowText(field) == text; })) {
        ADD_FAILURE() << "the field shows " << testsupport::Narrow(WindowText(field));
        return false;
    }
    const std::vector<HWND> ok = ChildrenWithText(dialog, L"OK(&O)");
    if (ok.size() != 1) {
        ADD_FAILURE() << "no OK button";
        return false;
    }
    if (!PumpUntil([&] { return IsWindowEnabled(ok[0]) != FALSE; })) {
        ADD_FAILURE() << "OK stays disabled";
        return false;
    }
    ClickOn(ok[0]);
    return true;
}

// With the key tree focused, runs "検索と置換..." from the tree's menu, searches the selected
// key for `keyword` and waits for the end: the state label's text then, or empty.
std::wstring SearchFromTheTreeMenu(const Program& program, HWND main, const std::wstring& keyword) {
    SetForegroundWindow(main);
    if (!PumpUntil([&] {
            HWND focus = program.FocusWindow();
            return GetForegroundWindow() == main && focus && ClassOf(focus) == L"TVxRegTreeView";
        })) {
        ADD_FAILURE() << "the key tree has no focus";
        return L"";
    }
    TapKey(VK_F10, VK_SHIFT);
    if (!RunPopupItem(main, {L"検索と置換..."})) return L"";
    HWND dialog = WaitForDialog(program, L"検索フォーム");
    if (!dialog || !TypeAndOk(program, dialog, keyword)) return L"";
    if (!PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) {
        ADD_FAILURE() << "the search dialog stays";
        return L"";
    }
    return WaitForFindDone(main);
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

std::vector<BYTE> Bytes(const std::wstring& units) {
    const auto* p = reinterpret_cast<const BYTE*>(units.data());
    return {p, p + units.size() * sizeof(wchar_t)};
}

}  // namespace

// Below the key "Tree": a value named "oldName", string data "an old value, old", a
// multi-string whose first string holds "old" and a key "oldKey". The key tree's menu starts
// the search there for "old"; the pane gets four rows and the label the count. A double click
// on the key hit (the last row) shows that key, one on a value hit its key with the value
// list focused; bulk replace by "new" (danger question, dialog, its two questions) renames
// the key and the value and rewrites both strings, and four Ctrl+Z bring the subtree back
// exactly.
TEST_F(SearchProgram, SearchJumpReplaceAndUndoThroughTheWindows) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey tree(name + L"\\Tree");
    testsupport::ScratchKey oldKey(name + L"\\Tree\\oldKey");
    SetString(oldKey.Handle(), L"plain", L"nothing here");
    const DWORD five = 5;
    ASSERT_EQ(RegSetValueExW(tree.Handle(), L"oldName", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&five), 4),
              ERROR_SUCCESS);
    SetString(tree.Handle(), L"Text", L"an old value, old");
    const std::wstring multi(L"old1\0keep\0", 10);
    SetString(tree.Handle(), L"List", multi, REG_MULTI_SZ);
    const std::wstring path = parent.Path();
    const RegSnapshot before = TakeRegSnapshot(path);

    Program program(L"\"HKEY_CURRENT_USER\\" + tree.Path() + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForActiveKey(main, L"Tree"));
    const std::wstring done = SearchFromTheTreeMenu(program, main, L"old");
    EXPECT_EQ(done.rfind(L"検索終了：（ヒット数：4　検索時間：", 0), 0u) << testsupport::Narrow(done);
    EXPECT_EQ(done.back(), L')') << "the count ends in milliseconds";
    HWND pane = VisiblePane(main);
    ASSERT_NE(pane, nullptr) << "the result page is shown";

    // Walk order puts the key after the values.
    const Rows rows = RowsOf(pane);
    DoubleClickAt(rows.Row(3));
    EXPECT_TRUE(WaitForActiveKey(main, L"oldKey")) << "the double-clicked key hit is shown";
    // A value hit shows its key with the value list focused on the value.
    DoubleClickAt(rows.Row(1));
    EXPECT_TRUE(WaitForActiveKey(main, L"Tree"));
    EXPECT_TRUE(PumpUntil([&] {
        HWND focus = program.FocusWindow();
        return focus && ClassOf(focus) == L"TVxRegListView";
    }));

    ASSERT_TRUE(MainReady(program, main));
    TapKey(L'S', VK_MENU);
    ASSERT_TRUE(RunPopupItem(main, {L"検索結果を用いた一括置換..."}));
    ASSERT_TRUE(AnswerYes(program)) << "the danger question";
    HWND dialog = WaitForDialog(program, L"検索結果を用いた置換");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TypeAndOk(program, dialog, L"new"));
    ASSERT_TRUE(AnswerYes(program));
    ASSERT_TRUE(AnswerYes(program));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));

    RegSnapshot expected = before;
    auto& treeValues = expected[L"Tree"];
    treeValues[L"newName"] = treeValues[L"oldName"];
    treeValues.erase(L"oldName");
    treeValues[L"Text"] = {REG_SZ, Bytes(L"an new value, new")};
    treeValues[L"List"] = {REG_MULTI_SZ, Bytes(std::wstring(L"new1\0keep\0\0", 11))};
    expected[L"Tree\\newKey"] = expected[L"Tree\\oldKey"];
    expected.erase(L"Tree\\oldKey");
    RegSnapshot now;
    EXPECT_TRUE(PumpUntil([&] { return (now = TakeRegSnapshot(path)) == expected; }))
        << "now:\n" << testsupport::DescribeRegSnapshot(now) << "expected:\n"
        << testsupport::DescribeRegSnapshot(expected);

    for (int undo = 0; undo < 4; ++undo) {
        SCOPED_TRACE("undo " + std::to_string(undo + 1));
        ASSERT_TRUE(MainReady(program, main));
        TapKey(L'Z', VK_CONTROL);
        ASSERT_TRUE(AnswerYes(program));
    }
    EXPECT_TRUE(PumpUntil([&] { return (now = TakeRegSnapshot(path)) == before; }))
        << "now:\n" << testsupport::DescribeRegSnapshot(now) << "before:\n"
        << testsupport::DescribeRegSnapshot(before);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// The dialog's saved list (a name outside the ANSI code page) holds HKEY_LOCAL_MACHINE, a
// line of no known root and the test's key. Ctrl+F searches it for "software" with many
// hits; while that search runs, Ctrl+F again searches the same list for a word only one value
// holds. The label then counts that one hit only (the first search was stopped and its hits
// dropped) and tells of the line it could not search. Messages posted with generations of no
// running search (before, between and after) change nothing. A third search is left running
// when the window closes: the program ends cleanly, and the keyword history lists each word
// once, newest first.
TEST_F(SearchProgram, ANewSearchReplacesARunningOneAndForeignMessagesChangeNothing) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    SetString(parent.Handle(), L"marker", L"qzxwv7");
    const std::wstring list = L"検索リスト一覧";
    KeyLists.Write(list + L"\tHKEY_LOCAL_MACHINE\tHKEY_NOWHERE\\x\tHKEY_CURRENT_USER\\" + parent.Path() + L"\t\r\n");
    Setting.Write(L"[Setting]\r\n" + FirstRunMarkerLine() + L"FindList=" + list + L"\r\n");

    Program program;
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !RegistryWindows(main).empty(); }));
    SetForegroundWindow(main);
    ASSERT_TRUE(MainReady(program, main));
    const auto foreign = [main] {
        for (UINT message : {kFindHit, kFindProgress, kFindDone})
            for (WPARAM generation : {WPARAM(0), WPARAM(0x7FFFFFF0)}) PostMessageW(main, message, generation, 0);
    };
    foreign();

    // Ctrl+F, the keyword box emptied (it may show the last keyword), `keyword` typed, OK.
    const auto search = [&](const std::wstring& keyword) {
        if (!MainReady(program, main)) return false;
        TapKey(L'F', VK_CONTROL);
        HWND dialog = WaitForDialog(program, L"検索フォーム");
        if (!dialog) return false;
        TapKey(VK_END);
        TapKey(VK_HOME, VK_SHIFT);
        TapKey(VK_DELETE);
        return TypeAndOk(program, dialog, keyword);
    };
    // The label shows the key being searched, or the end of a search that was quicker.
    const auto runningOrDone = [&] {
        return PumpUntil([&] {
            return ChildWithTextPrefix(main, L"HKEY_") != nullptr || ChildWithTextPrefix(main, L"検索終了") != nullptr;
        });
    };

    ASSERT_TRUE(search(L"software"));
    foreign();
    EXPECT_TRUE(runningOrDone());
    ASSERT_TRUE(search(L"qzxwv7"));
    foreign();
    const std::wstring done = WaitForFindDone(main);
    EXPECT_EQ(done.rfind(L"検索終了：（ヒット数：1　", 0), 0u) << testsupport::Narrow(done);
    const std::wstring unknownRoot = L"ミリ秒)　ルートが不明なため検索しなかったキー：1個";
    EXPECT_EQ(done.substr(done.size() - std::min(done.size(), unknownRoot.size())), unknownRoot)
        << "the line of an unknown root is told";
    foreign();
    // The messages are handled in order: a sent one comes after the posted ones.
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, testsupport::kWaitMs, nullptr);
    HWND after = ChildWithTextPrefix(main, L"検索終了");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(WindowText(after), done) << "a foreign done message leaves the label";

    // Closing while a search runs stops it and ends cleanly.
    ASSERT_TRUE(search(L"software"));
    EXPECT_TRUE(runningOrDone());
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
    EXPECT_EQ(Words.Read(), L"software\r\nqzxwv7\r\n") << "newest first, each once";
    EXPECT_NE(KeyLists.Read().find(list + L"\t"), std::wstring::npos) << "the list's name survives";
}

// Below "Box" (deleted keys backed up for undo): string data holding "hit", a value named
// "hitVal" and keys "hitA" and "hitB", four rows in walk order. The second and fourth rows are
// selected (click, Ctrl+click) and taken out through the pane's right-click menu; bulk delete
// with "SetNoMessage" asks only the danger question and deletes what the two remaining rows
// name, the data's value and "hitA", leaving two undo records, and two Ctrl+Z bring both back.
TEST_F(SearchProgram, RemovedRowsStayAndBulkDeleteTakesTheRestWithUndo) {
    Setting.Write(L"[Main]\r\nSetNoMessage=-1\r\nSetNoKeyUndo=0\r\n" + FirstRunSeen());
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name);
    testsupport::ScratchKey box(name + L"\\Box");
    SetString(box.Handle(), L"data", L"a hit here");
    SetString(box.Handle(), L"hitVal", L"x");
    testsupport::ScratchKey hitA(name + L"\\Box\\hitA"), hitB(name + L"\\Box\\hitB");
    const std::wstring path = parent.Path();
    const RegSnapshot before = TakeRegSnapshot(path);

    Program program(L"\"HKEY_CURRENT_USER\\" + box.Path() + L"\"");
    ASSERT_TRUE(program.Started);
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForActiveKey(main, L"Box"));
    const std::wstring done = SearchFromTheTreeMenu(program, main, L"hit");
    ASSERT_EQ(done.rfind(L"検索終了：（ヒット数：4　", 0), 0u) << testsupport::Narrow(done);
    HWND pane = VisiblePane(main);
    ASSERT_NE(pane, nullptr);

    const Rows rows = RowsOf(pane);
    ClickAt(rows.Row(1));
    CtrlClickAt(rows.Row(3));
    ASSERT_TRUE(RunPaneMenuItem(main, rows.Row(3), L"このアイテムを検索結果から除去する"));

    ASSERT_TRUE(MainReady(program, main));
    TapKey(L'S', VK_MENU);
    ASSERT_TRUE(RunPopupItem(main, {L"検索結果を用いた一括削除..."}));
    ASSERT_TRUE(AnswerYes(program)) << "the danger question, and no other";
    RegSnapshot expected = before;
    expected[L"Box"].erase(L"data");
    expected.erase(L"Box\\hitA");
    RegSnapshot now;
    EXPECT_TRUE(PumpUntil([&] { return (now = TakeRegSnapshot(path)) == expected; }))
        << "now:\n" << testsupport::DescribeRegSnapshot(now) << "expected:\n"
        << testsupport::DescribeRegSnapshot(expected);
    EXPECT_FALSE(program.FindWindow(L"", L"警告")) << "no further question";

    // Newest first: the value deleted last, then the key (a re-import of its backup).
    RegSnapshot afterFirst = expected;
    afterFirst[L"Box"][L"data"] = before.at(L"Box").at(L"data");
    for (const RegSnapshot* state : {static_cast<const RegSnapshot*>(&afterFirst), &before}) {
        SCOPED_TRACE(state == &before ? "second undo" : "first undo");
        ASSERT_TRUE(MainReady(program, main));
        TapKey(L'Z', VK_CONTROL);
        ASSERT_TRUE(AnswerYes(program));
        EXPECT_TRUE(PumpUntil([&] { return (now = TakeRegSnapshot(path)) == *state; }))
            << "now:\n" << testsupport::DescribeRegSnapshot(now) << "expected:\n"
            << testsupport::DescribeRegSnapshot(*state);
    }

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}
