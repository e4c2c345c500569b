// wendlar.exe's favorites driven from outside: the current key added through the Favorites
// menu and its dialog, then run from the panel; a value dragged onto the panel and run; a
// script favorite run after its question (and without it when "SetNoAllMessage" is on); the
// script dialog's text through the external editor; a favorite that opens an address with
// the system's browser.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "common/test_support.h"
#include "driving.h"
#include "favorites/favorites.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace wendlartest::driving;
using testsupport::Narrow;

// The settings the program reads and writes start afresh for each test, the favorites too.
class FavoritesProgram : public ProgramTest {
protected:
    SettingsFileGuard Favorites{L"Favorite.db"};

    // The lines of "Favorite.db" (CR LF after each line).
    std::vector<std::wstring> FavoriteLines() const {
        std::vector<std::wstring> lines;
        const std::wstring text = Favorites.Read();
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    void WriteFavorites(const std::vector<std::wstring>& lines) const {
        std::wstring text;
        for (const std::wstring& line : lines) text += line + L"\r\n";
        Favorites.Write(text);
    }
};

// The line of a top-level favorite.
std::wstring Line(const std::wstring& caption, int kind, const std::wstring& target, const std::wstring& script = L"",
                  const std::wstring& jumpKey = L"") {
    return L"0\t" + caption + L"\t" + target + L"\t\t" + std::to_wstring(kind) + L"\t" + script + L"\t" + jumpKey + L"\t";
}

std::wstring Full(const testsupport::ScratchKey& key) { return L"HKEY_CURRENT_USER\\" + key.Path(); }

// Shows the favorites panel (hidden at start) through the 表示 menu; its tree once it shows
// `count` favorites.
HWND ShowFavorites(HWND main, int count) {
    HWND shown = ChildOfClass(main, L"SysTreeView32");
    if (shown && IsWindowVisible(shown)) {
        ADD_FAILURE() << "the favorites panel is shown at start";
        return nullptr;
    }
    if (!RunMenu(main, {L"表示(V)", L"お気に入りウインドウの表示"})) return nullptr;
    HWND tree = nullptr;
    if (!PumpUntil([&] {
            tree = ChildOfClass(main, L"SysTreeView32");
            return tree && IsWindowVisible(tree) && SendMessageW(tree, TVM_GETCOUNT, 0, 0) == static_cast<LRESULT>(count);
        })) {
        ADD_FAILURE() << "no favorites panel showing " << count << " favorites";
        return nullptr;
    }
    return tree;
}

// The middle of row `row` of the favorites tree on the screen (the tree scrolled to its top),
// from the row height the tree window tells.
POINT FavoriteRow(HWND tree, int row) {
    const int height = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    return ScreenPoint(tree, 40, row * height + height / 2);
}

// The middle of the selected row of a focused grid (a value list) on the screen, from its
// picture: the band of the selection colour across the name column.
std::optional<POINT> SelectedRow(HWND grid) {
    const PrintedWindow picture = PrintWindowOf(grid);
    const int x = std::min(60, picture.Width / 2);
    const COLORREF band = GetSysColor(COLOR_HIGHLIGHT);
    int top = -1, bottom = -1;
    for (int y = 0; y < picture.Height; ++y)
        if (picture.At(x, y) == band) {
            if (top < 0) top = y;
            bottom = y;
        } else if (top >= 0) {
            break;
        }
    if (top < 0) return std::nullopt;
    return ScreenPoint(grid, x, (top + bottom) / 2);
}

// The registry files named "reg*.reg" in the temporary folder.
std::set<std::wstring> TemporaryScripts() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::set<std::wstring> found;
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW((std::wstring(folder) + L"reg*.reg").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return found;
    do found.insert(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

}  // namespace

// "現在のキーをお気に入りに追加..." on key A, the dialog answered with its proposal: the file
// holds A's favorite; from key B a double click on it in the panel goes back to A.
TEST_F(FavoritesProgram, CurrentKeyAddedThenRunFromThePanel) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name), a(name + L"\\A"), b(name + L"\\B");
    Program program(L"\"" + Full(a) + L"\"");
    HWND main = ForegroundMainWindow(program, L"A", L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(RunMenu(main, {L"お気に入り(O)", L"現在のキーをお気に入りに追加..."}));
    HWND dialog = WaitForDialog(program, L"キーおよび値の追加と編集");
    ASSERT_NE(dialog, nullptr);
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitClosed(dialog));
    ASSERT_TRUE(PumpUntil([&] { return FavoriteLines() == std::vector<std::wstring>{Line(L"A", 0, Full(a))}; }))
        << Narrow(Favorites.Read());

    ASSERT_TRUE(GoToKey(program, main, b.Path(), L"B"));
    HWND tree = ShowFavorites(main, 1);
    ASSERT_NE(tree, nullptr);
    DoubleClickAt(FavoriteRow(tree, 0));
    EXPECT_TRUE(WaitForActiveKey(main, L"A"));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// Value "Zeta..." (after "Alpha") dragged by its name from the value list onto the panel: a key
// favorite named after it whose target ends with its name; run from another key, it selects
// the value, whose name the Edit menu then copies.
TEST_F(FavoritesProgram, ValueDraggedOntoThePanelSelectsItWhenRun) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey parent(name), v(name + L"\\V");
    // A long name: the press that drags a row must be on its name.
    const std::wstring zeta = L"Zeta dragged onto the favorites";
    for (const std::wstring& value : {std::wstring(L"Alpha"), zeta})
        ASSERT_EQ(RegSetValueExW(v.Handle(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4), ERROR_SUCCESS);
    Program program(L"\"" + Full(v) + L"\\" + zeta + L"\"");
    HWND main = ForegroundMainWindow(program, L"V", L"TVxRegListView");
    ASSERT_NE(main, nullptr);
    HWND tree = ShowFavorites(main, 0);
    ASSERT_NE(tree, nullptr);

    HWND list = ChildOfClass(RegistryWindows(main)[0], L"TVxRegListView");
    ASSERT_NE(list, nullptr);
    std::optional<POINT> row;
    ASSERT_TRUE(PumpUntil([&] { return (row = SelectedRow(list)).has_value(); })) << "no selected value";
    RECT treeRect{};
    GetWindowRect(tree, &treeRect);
    Drag(list, *row, Middle(treeRect));
    ASSERT_TRUE(PumpUntil([&] { return FavoriteLines() == std::vector<std::wstring>{Line(zeta, 0, Full(v) + L"\\" + zeta)}; }))
        << Narrow(Favorites.Read());
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 1; }));

    ASSERT_TRUE(GoToKey(program, main, parent.Path(), name));
    DoubleClickAt(FavoriteRow(tree, 0));
    ASSERT_TRUE(WaitForActiveKey(main, L"V"));
    ASSERT_TRUE(WaitForFocus(program, L"TVxRegListView")) << "the jump ends on a value";
    ASSERT_TRUE(RunMenu(main, {L"編集(E)", L"値の名前のコピー"}));
    EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == zeta; })) << Narrow(ClipboardText());

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// A script favorite writing a value below the scratch key: after "はい" to its question the
// value exists, no temporary script is left and its jump key is shown. With "SetNoAllMessage"
// on it runs without the question.
TEST_F(FavoritesProgram, ScriptFavoriteRunsAfterItsQuestion) {
    const std::wstring name = testsupport::CurrentTestName();
    for (bool asked : {true, false}) {
        SCOPED_TRACE(asked ? "with the question" : "with SetNoAllMessage");
        testsupport::ScratchKey parent(name);
        const std::wstring target = Full(parent) + L"\\S";
        const std::wstring script = L"Windows Registry Editor Version 5.00\r\n\r\n[" + target +
                                    L"]\r\n\"Written\"=\"はい\"\r\n";
        WriteFavorites({Line(L"書き込み", 1, L"", favorites::FavoriteScriptToHex(script), target)});
        Setting.Write(L"[Main]\r\n" + PinnedThemeLine() + (asked ? L"" : L"SetNoAllMessage=-1\r\n") + FirstRunSeen());
        std::filesystem::remove(Layout.Path());  // the panel starts hidden each time
        const std::set<std::wstring> scriptsBefore = TemporaryScripts();

        Program program(L"\"" + Full(parent) + L"\"");
        HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
        ASSERT_NE(main, nullptr);
        HWND tree = ShowFavorites(main, 1);
        ASSERT_NE(tree, nullptr);
        DoubleClickAt(FavoriteRow(tree, 0));
        if (asked) {
            ASSERT_TRUE(AnswerYes(program));
        }
        ASSERT_TRUE(PumpUntil([&] { return testsupport::TakeRegSnapshot(parent.Path() + L"\\S")[L""].count(L"Written") == 1; }));
        EXPECT_TRUE(WaitForActiveKey(main, L"S"));
        EXPECT_EQ(TemporaryScripts(), scriptsBefore) << "a temporary script is left";

        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    }
}

// "外部エディタで編集" in the script dialog hands the script to the editor of "SetRegTextEditor"
// (the stand-in, which adds a line and saves UTF-8 without a byte-order mark); the dialog's
// memo then shows the new text.
TEST_F(FavoritesProgram, ScriptDialogTextGoesThroughTheExternalEditor) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    const std::wstring editor = ExeFolder() + L"standin_editor.exe";
    Setting.Write(L"[Main]\r\n" + PinnedThemeLine() + L"SetRegTextEditor=" + editor + L"\r\n" + FirstRunSeen());
    Program program(L"\"" + Full(key) + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(RunMenu(main, {L"お気に入り(O)", L"現在のキーのレジストリスクリプトを追加する..."}));
    HWND dialog = WaitForDialog(program, L"レジストリスクリプトの追加");
    ASSERT_NE(dialog, nullptr);
    const std::vector<HWND> memos = ChildrenWhere(dialog, [](HWND child) {
        return ClassOf(child) == L"Edit" && (GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE);
    });
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(WindowText(memos[0]).rfind(L"Windows Registry Editor Version 5.00", 0), 0u) << Narrow(WindowText(memos[0]));
    const std::vector<HWND> buttons = ChildrenWithText(dialog, L"外部エディタで編集");
    ASSERT_EQ(buttons.size(), 1u);
    ClickOn(buttons[0]);
    EXPECT_TRUE(PumpUntil([&] {
        const std::wstring text = WindowText(memos[0]);
        return text.rfind(L"Windows Registry Editor Version 5.00", 0) == 0 && text.find(L"path=") != std::wstring::npos;
    })) << Narrow(WindowText(memos[0]));

    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitClosed(dialog));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
    EXPECT_FALSE(std::filesystem::exists(Favorites.Path())) << "a cancelled dialog adds nothing";
}

namespace {

// The browsers Wine hands addresses to ("Browsers" of HKCU\Software\Wine\WineBrowser, a
// comma-separated list of commands of the host system), set for the test and put back.
class BrowsersGuard {
public:
    explicit BrowsersGuard(const std::wstring& commands) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr);
        wchar_t old[1024] = {};
        DWORD size = sizeof(old) - sizeof(wchar_t), type = 0;
        FHad = RegQueryValueExW(FKey, L"Browsers", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        FOld = old;
        Set(commands);
    }
    ~BrowsersGuard() {
        if (FHad)
            Set(FOld);
        else
            RegDeleteValueW(FKey, L"Browsers");
        RegCloseKey(FKey);
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\WineBrowser";
    void Set(const std::wstring& value) {
        RegSetValueExW(FKey, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    HKEY FKey = nullptr;
    bool FHad = false;
    std::wstring FOld;
};

}  // namespace

// A favorite that opens an address: the system shell hands it to the browser, here a command
// of the host system that writes the address it was given into a file.
TEST_F(FavoritesProgram, AddressFavoriteReachesTheBrowser) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    const std::wstring stamp = name + L"-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring unixFile = L"/tmp/wendlar-browser-" + stamp + L".txt";
    const std::wstring file = L"Z:" + unixFile;
    DeleteFileW(file.c_str());
    BrowsersGuard browsers(L"/bin/sh -c \"printf %s \\\"$0\\\" > " + unixFile + L"\"");
    const std::wstring address = L"https://example.invalid/" + stamp;
    WriteFavorites({Line(L"サイト", 3, address)});

    Program program(L"\"" + Full(key) + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    HWND tree = ShowFavorites(main, 1);
    ASSERT_NE(tree, nullptr);
    DoubleClickAt(FavoriteRow(tree, 0));
    std::wstring opened;
    EXPECT_TRUE(PumpUntil([&] {
        std::ifstream in(file.c_str(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        opened = std::wstring(bytes.begin(), bytes.end());
        return opened == address;
    })) << "the browser got " << Narrow(opened);
    DeleteFileW(file.c_str());

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0u);
}

// The panel's place is kept in "ToolBar.db" under its name, with the keys of a dockable panel:
// shown through the 表示 menu it comes back shown at the next start, on its dock; hidden, it
// stays hidden.
TEST_F(FavoritesProgram, PanelKeepsItsPlaceAndVisibility) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    WriteFavorites({Line(L"お気に入りのキー", 0, Full(key))});
    const std::wstring start = L"\"" + Full(key) + L"\"";
    const auto run = [&](bool shownAtStart, bool toggle) {
        Program program(start);
        HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
        ASSERT_NE(main, nullptr);
        HWND tree = ChildOfClass(main, L"SysTreeView32");
        EXPECT_EQ(tree && IsWindowVisible(tree), shownAtStart);
        if (toggle) {
            ASSERT_TRUE(RunMenu(main, {L"表示(V)", L"お気に入りウインドウの表示"}));
            ASSERT_TRUE(PumpUntil([&] {
                tree = ChildOfClass(main, L"SysTreeView32");
                return (tree && IsWindowVisible(tree)) != shownAtStart;
            }));
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    };
    run(false, true);
    const std::wstring layout = Layout.Read();
    const size_t section = layout.find(L"[FavoriteDock]\r\n");
    ASSERT_NE(section, std::wstring::npos) << Narrow(layout);
    const std::wstring keys = layout.substr(section, layout.find(L"\r\n[", section + 1) - section);
    for (const wchar_t* entry : {L"\r\nFlortY=", L"\r\nFlortX=", L"\r\nSplitWidth=", L"\r\nSplitHeight=", L"\r\nFloat=0",
                                 L"\r\nFloatW=", L"\r\nFloatH=", L"\r\nWidth=", L"\r\nHeight=", L"\r\nRow=", L"\r\nPos=",
                                 L"\r\nDockName=CustomToolDock", L"\r\nVisible=-1"})
        EXPECT_NE(keys.find(entry), std::wstring::npos) << Narrow(entry) << " in " << Narrow(keys);
    run(true, true);
    run(false, false);
}
