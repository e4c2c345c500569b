// User toolbars driven from outside: the customisation dialog opened from the Tool menu, a
// toolbar made and given a command, the files it leaves in "Settings\CustomToolBar", and what
// the next starts make of them, a damaged file included.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "classlib/compstream.h"
#include "common/test_support.h"
#include "driving.h"
#include "program.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace wendlartest;
using namespace wendlartest::driving;
using testsupport::PumpUntil;

// A block of memory inside the program, for the messages of the system's tree and list views
// that pass pointers (the control fills what the pointer names).
class RemoteBlock {
public:
    explicit RemoteBlock(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (FProcess) FMemory = static_cast<char*>(VirtualAllocEx(FProcess, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (FMemory) VirtualFreeEx(FProcess, FMemory, 0, MEM_RELEASE);
        if (FProcess) CloseHandle(FProcess);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    static constexpr size_t kSize = 4096;
    static constexpr size_t kTextAt = 1024;  // where texts go
    static constexpr int kTextChars = 256;

    LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(FMemory + offset); }
    wchar_t* TextBuffer() const { return reinterpret_cast<wchar_t*>(FMemory + kTextAt); }
    template <class T>
    void Put(const T& value, size_t offset = 0) {
        WriteProcessMemory(FProcess, FMemory + offset, &value, sizeof(T), nullptr);
    }
    template <class T>
    T Get(size_t offset = 0) const {
        T value{};
        ReadProcessMemory(FProcess, FMemory + offset, &value, sizeof(T), nullptr);
        return value;
    }
    std::wstring Text() const {
        wchar_t text[kTextChars + 1] = {};
        ReadProcessMemory(FProcess, FMemory + kTextAt, text, kTextChars * sizeof(wchar_t), nullptr);
        return text;
    }
    bool Ready() const { return FMemory != nullptr; }

private:
    HANDLE FProcess = nullptr;
    char* FMemory = nullptr;
};

// The screen rectangle of the tree node with `text` (depth-first, the first one), or none.
std::optional<RECT> TreeNodeRect(HWND tree, const std::wstring& text) {
    RemoteBlock block(tree);
    if (!block.Ready()) return std::nullopt;
    auto next = [&](HTREEITEM item) {
        if (HTREEITEM child = TreeView_GetChild(tree, item)) return child;
        for (; item; item = TreeView_GetParent(tree, item))
            if (HTREEITEM sibling = TreeView_GetNextSibling(tree, item)) return sibling;
        return HTREEITEM{};
    };
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = next(item)) {
        TVITEMW query{};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = block.TextBuffer();
        query.cchTextMax = RemoteBlock::kTextChars;
        block.Put(query);
        SendMessageW(tree, TVM_GETITEMW, 0, block.At());
        if (block.Text() != text) continue;
        SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        block.Put(item);
        if (!SendMessageW(tree, TVM_GETITEMRECT, TRUE, block.At())) return std::nullopt;
        RECT r = block.Get<RECT>();
        MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    return std::nullopt;
}

// The rows of a report list, their texts and screen rectangles.
struct ListRow {
    std::wstring Text;
    RECT Rect;
};
std::vector<ListRow> ListRows(HWND list) {
    std::vector<ListRow> rows;
    RemoteBlock block(list);
    if (!block.Ready()) return rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW query{};
        query.iSubItem = 0;
        query.pszText = block.TextBuffer();
        query.cchTextMax = RemoteBlock::kTextChars;
        block.Put(query);
        SendMessageW(list, LVM_GETITEMTEXTW, i, block.At());
        ListRow row{block.Text(), {}};
        RECT bounds{LVIR_BOUNDS};
        block.Put(bounds);
        SendMessageW(list, LVM_GETITEMRECT, i, block.At());
        row.Rect = block.Get<RECT>();
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row.Rect), 2);
        rows.push_back(row);
    }
    return rows;
}

// Picks the row `text` of a drop-down list with the mouse: opens the list and clicks the row.
// (The system passes the pointers of the combo and list box messages between processes.)
bool PickComboRow(HWND combo, const std::wstring& text) {
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) {
        ADD_FAILURE() << "no row " << testsupport::Narrow(text);
        return false;
    }
    ClickOn(combo);
    if (!PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; })) {
        ADD_FAILURE() << "the list does not drop down";
        return false;
    }
    // The dropped list: the visible top-level list box of the combo box's thread.
    HWND list = nullptr;
    EnumThreadWindows(
        GetWindowThreadProcessId(combo, nullptr),
        [](HWND w, LPARAM found) {
            if (ClassOf(w) != L"ComboLBox" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&list));
    if (!list) {
        ADD_FAILURE() << "no dropped list";
        return false;
    }
    // The row's place from the rows' height and the first row shown (messages without pointers).
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    ClickAt(ScreenPoint(list, client.right / 2, (static_cast<int>(index) - top) * height + height / 2));
    return PumpUntil([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == index; });
}

// The one child of `parent` of a class, or null.
HWND Child(HWND parent, const wchar_t* className) {
    const std::vector<HWND> found = ChildrenWhere(parent, [&](HWND w) { return ClassOf(w) == className && IsWindowVisible(w); });
    return found.size() == 1 ? found[0] : nullptr;
}

bool ClickButton(HWND dialog, const wchar_t* caption) {
    const std::vector<HWND> buttons = ChildrenWithText(dialog, caption);
    if (buttons.size() != 1) {
        ADD_FAILURE() << "no button " << testsupport::Narrow(caption);
        return false;
    }
    ClickOn(buttons[0]);
    return true;
}

// Clicks the item `caption` of whichever bar of `window` shows it (the tab strip of a tab control).
bool ClickItemOfBars(HWND window, const std::wstring& caption) {
    for (HWND bar : ChildrenWhere(window, [](HWND w) { return ClassOf(w) == L"TBarDockableWindow" && IsWindowVisible(w); }))
        for (const BarItem& item : BarItems(bar))
            if (item.Caption == caption) {
                ClickAt(Middle(item.Rect));
                return true;
            }
    ADD_FAILURE() << "no bar item " << testsupport::Narrow(caption);
    return false;
}

// The section names of a section/key file, in order.
std::vector<std::wstring> Sections(const std::wstring& text) {
    std::vector<std::wstring> sections;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        if (line.size() > 2 && line.front() == L'[' && line.back() == L']') sections.push_back(line.substr(1, line.size() - 2));
        start = end + 2;
    }
    return sections;
}

// Writes a toolbar file into `folder`: a toolbar `name` whose items are submenus linked to the
// references given, or commands.
std::vector<std::uint8_t> WriteToolbarFile(const fs::path& folder, const std::wstring& name,
                                           const std::vector<std::wstring>& references) {
    classlib::TStreamComponent bar;
    bar.ClassName = L"TUiToolbar";
    bar.Name = name;
    for (const std::wstring& reference : references) {
        classlib::TStreamComponent item;
        const bool submenu = reference.starts_with(L"MainForm.Menu");
        item.ClassName = submenu ? L"TUiSubmenuItem" : L"TUiItem";
        item.Properties = {{submenu ? L"LinkSubitems" : L"Action", classlib::TStreamValue::Ident(reference)}};
        bar.Children.push_back(item);
    }
    const std::vector<std::uint8_t> bytes = classlib::WriteComponentStream(bar);
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

class UserToolbars : public ProgramTest {
protected:
    SettingsFileGuard Toolbars{L"CustomToolBar"};
    testsupport::ScratchKey Key{testsupport::CurrentTestName()};

    std::wstring Args() const { return L"\"HKEY_CURRENT_USER\\" + Key.Path() + L"\""; }
    HWND Start(const Program& program) {
        HWND main = ForegroundMainWindow(program, testsupport::CurrentTestName(), L"TVxRegTreeView");
        return main && MainReady(program, main) ? main : nullptr;
    }
    // The customisation dialog, opened from the Tool menu by its key, on its commands' tab
    // with `toolbar` chosen; null (after a failure added) when that does not come.
    HWND OpenDialog(const Program& program, HWND main) {
        TapKey('T', VK_MENU);
        if (!RunPopupItem(main, {L"ツールバーのカスタマイズ..."})) return nullptr;
        return WaitForDialog(program, L"ツールバーの編集");
    }
    bool ShowCommandsOf(HWND dialog, const std::wstring& toolbar) {
        if (!ClickItemOfBars(dialog, L"ツールバーコマンド")) return false;
        HWND combo = nullptr;
        if (!PumpUntil([&] { return (combo = Child(dialog, L"ComboBox")) != nullptr; })) {
            std::string classes;
            for (HWND w : ChildrenWhere(dialog, [](HWND w) { return IsWindowVisible(w) != FALSE; }))
                classes += testsupport::Narrow(ClassOf(w)) + " ";
            ADD_FAILURE() << "no drop-down list among " << classes;
            return false;
        }
        return PickComboRow(combo, toolbar);
    }
    void Close(Program& program, HWND main) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    }
};

TEST_F(UserToolbars, AToolbarMadeInTheDialogIsSavedAndWorksAfterARestart) {
    {
        Program program(Args());
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        HWND dialog = OpenDialog(program, main);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(ClickButton(dialog, L"新規作成"));
        ASSERT_TRUE(AnswerInputBox(program, L"ツールバーのキャプション", L"mybar"));
        ASSERT_NE(Bar(main, L"mybar"), nullptr) << "the new toolbar shows at once";
        ASSERT_TRUE(ShowCommandsOf(dialog, L"mybar"));
        HWND tree = Child(dialog, L"SysTreeView32");
        HWND list = Child(dialog, L"SysListView32");
        ASSERT_TRUE(tree && list);
        const std::optional<RECT> node = TreeNodeRect(tree, L"新規ウインドウ");
        ASSERT_TRUE(node);
        ClickAt(Middle(*node));
        ASSERT_TRUE(ClickButton(dialog, L"追加>>"));
        ASSERT_TRUE(PumpUntil([&] { return ListRows(list).size() == 1; }));
        EXPECT_EQ(ListRows(list)[0].Text, L"新規ウインドウ");
        ASSERT_TRUE(ClickButton(dialog, L"閉じる(&O)"));
        ASSERT_TRUE(WaitClosed(dialog));

        const std::vector<std::wstring> sections = Sections(wendlartest::detail::ReadSettingsText(Toolbars.Path() / L"NewToolBar.db"));
        ASSERT_EQ(sections.size(), 3u);
        EXPECT_EQ(sections[0], L"ToolMenu");
        EXPECT_EQ(sections[1], L"MainToolBar");
        EXPECT_TRUE(sections[2].starts_with(L"ToolBar"));
        EXPECT_EQ(std::count(sections.begin(), sections.end(), L"ToolMenuHide"), 0);
        Close(program, main);
        // The layout file keeps its place like the fixed bars'.
        const std::vector<std::wstring> layout = Sections(Layout.Read());
        EXPECT_EQ(std::count(layout.begin(), layout.end(), sections[2]), 1);
    }
    Program program(Args());
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND bar = Bar(main, L"mybar");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(RegistryWindows(main).size(), 1u);
    ASSERT_TRUE(ClickBarItem(bar, L"新規ウインドウ"));
    EXPECT_TRUE(PumpUntil([&] { return RegistryWindows(main).size() == 2; }));
}

TEST_F(UserToolbars, ACommandTakenOffTheMainToolbarStaysOffAfterARestart) {
    std::wstring removed;
    size_t before = 0;
    {
        Program program(Args());
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        HWND dialog = OpenDialog(program, main);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(ShowCommandsOf(dialog, L"メインツールバー"));
        HWND list = Child(dialog, L"SysListView32");
        ASSERT_NE(list, nullptr);
        std::vector<ListRow> rows = ListRows(list);
        ASSERT_FALSE(rows.empty());
        removed = rows[0].Text;
        before = static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [&](const ListRow& r) { return r.Text == removed; }));
        ClickAt(Middle(rows[0].Rect));
        ASSERT_TRUE(ClickButton(dialog, L"削除<<"));
        ASSERT_TRUE(PumpUntil([&] { return ListRows(list).size() == rows.size() - 1; }));
        // Left through the close box: the changes are saved all the same.
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitClosed(dialog));
        Close(program, main);
    }
    Program program(Args());
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    HWND bar = Bar(main, L"メインツールバー");
    ASSERT_NE(bar, nullptr);
    std::vector<BarItem> items;
    ASSERT_TRUE(PumpUntil([&] { return !(items = BarItems(bar)).empty(); }));
    EXPECT_EQ(static_cast<size_t>(std::count_if(items.begin(), items.end(), [&](const BarItem& i) { return i.Caption == removed; })),
              before - 1)
        << testsupport::Narrow(removed);
}

TEST_F(UserToolbars, ADamagedToolbarFileIsToldOnceAndTheMenuBarStaysWhole) {
    // A main menu file cut short, as a crash while copying would leave it.
    std::vector<std::uint8_t> bytes = WriteToolbarFile(Toolbars.Path(), L"ToolMenu", {L"MainForm.MenuFile", L"MainForm.MenuEdit"});
    bytes.resize(bytes.size() / 2);
    {
        std::ofstream out(Toolbars.Path() / L"ToolMenu", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    wendlartest::detail::WriteSettingsText(Toolbars.Path() / L"NewToolBar.db", L"[ToolMenu]\r\nCaption=メインメニュー\r\n");

    Program program(Args());
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    // One notice naming the file.
    HWND notice = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (notice = program.FindWindow(L"#32770", L"Wendlar")) != nullptr; }));
    EXPECT_FALSE(ChildrenWhere(notice, [](HWND w) { return WindowText(w).find(L"ToolMenu") != std::wstring::npos; }).empty());
    SetForegroundWindow(notice);
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitClosed(notice));
    HWND menuBar = Bar(main, L"メインメニュー");
    ASSERT_NE(menuBar, nullptr);
    std::vector<std::wstring> captions;
    ASSERT_TRUE(PumpUntil([&] {
        captions.clear();
        for (const BarItem& item : BarItems(menuBar)) captions.push_back(item.Caption);
        return captions.size() >= 8;
    }));
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"ファイル(F)", L"編集(E)", L"検索(S)", L"お気に入り(O)", L"表示(V)",
                                                  L"ツール(T)", L"ウインドウ(W)", L"ヘルプ(H)"}));
    // The damaged file stays as it was.
    std::ifstream in(Toolbars.Path() / L"ToolMenu", std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), bytes);
}

TEST_F(UserToolbars, AUserToolbarTakesItsPlaceFromTheLayoutFile) {
    WriteToolbarFile(Toolbars.Path(), L"ToolBar1", {L"MainForm.aacNewWindow"});
    wendlartest::detail::WriteSettingsText(Toolbars.Path() / L"NewToolBar.db", L"[ToolBar1]\r\nCaption=floating\r\n");
    Layout.Write(L"[ToolBar1]\r\nFlortY=300\r\nFlortX=300\r\nFloat=-1\r\nVisible=-1\r\n");
    Program program(Args());
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    // Floating, in a frame of its own in front of the main window.
    HWND frame = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (frame = program.FindWindow(L"TBarFloatingWindowParent", L"floating")) != nullptr; }));
    EXPECT_TRUE(ChildrenWithText(main, L"floating").empty());
    Close(program, main);
    EXPECT_NE(Layout.Read().find(L"[ToolBar1]"), std::wstring::npos);
}

}  // namespace
