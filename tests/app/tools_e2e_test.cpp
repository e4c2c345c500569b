// wendlar.exe's tool commands driven from outside: the terms of use at the first start, the
// hive-size tool over hive files planted in the prefix (Wine keeps none), export as a Unicode
// script and as a hive with the import of the script, a hive loaded below HKEY_USERS and
// unloaded after the question, the about box's addresses reaching the system's browser, and
// the help window on F1.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "classlib/scopeguard.h"
#include "common/test_support.h"
#include "driving.h"
#include "registry/reghive.h"
#include "registry/regrecords.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using testsupport::Narrow;
using namespace wendlartest::driving;

using ToolsProgram = ProgramTest;

// --- Windows of the program -----------------------------------------------------------------

// The first descendant of `parent` whose text contains `part`, or null.
HWND ChildShowing(HWND parent, const std::wstring& part) {
    const std::vector<HWND> found =
        ChildrenWhere(parent, [&](HWND child) { return WindowText(child).find(part) != std::wstring::npos; });
    return found.empty() ? nullptr : found[0];
}

// The visible descendants of `parent` of a window class.
std::vector<HWND> VisibleChildrenOfClass(HWND parent, const wchar_t* className) {
    return ChildrenWhere(parent, [&](HWND child) { return ClassOf(child) == className && IsWindowVisible(child); });
}

// A block of memory in the process that owns `window`, for the messages of the system's
// controls that hand over a pointer (the control reads and writes it in its own process).
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : FSize(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (FProcess) FAddress = VirtualAllocEx(FProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (FAddress) VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
        if (FProcess) CloseHandle(FProcess);
    }
    BYTE* Address() const { return static_cast<BYTE*>(FAddress); }
    bool Write(size_t offset, const void* data, size_t size) const {
        return FAddress && WriteProcessMemory(FProcess, Address() + offset, data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return FAddress && ReadProcessMemory(FProcess, Address() + offset, data, size, nullptr);
    }

private:
    size_t FSize;
    HANDLE FProcess = nullptr;
    void* FAddress = nullptr;
};

// The rows of a report list view of the program: each row's caption and first sub-item.
std::vector<std::pair<std::wstring, std::wstring>> ListRows(HWND list) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    constexpr int chars = 260;
    RemoteBuffer buffer(list, sizeof(LVITEMW) + chars * sizeof(wchar_t));
    auto text = [&](int row, int column) {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = chars;
        item.pszText = reinterpret_cast<wchar_t*>(buffer.Address() + sizeof(LVITEMW));
        wchar_t read[chars] = {};
        if (!buffer.Write(0, &item, sizeof(item))) return std::wstring();
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buffer.Address()));
        buffer.Read(sizeof(LVITEMW), read, sizeof(read) - sizeof(wchar_t));
        return std::wstring(read);
    };
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) rows.emplace_back(text(row, 0), text(row, 1));
    return rows;
}

// Waits for the system's file dialog, puts `path` into its name field and presses Enter;
// false when the dialog does not come or go.
bool AnswerFileDialog(const Program& program, const std::wstring& path) {
    HWND dialog = nullptr;
    if (!PumpUntil([&] { return (dialog = program.FindWindow(L"#32770")) != nullptr; })) {
        ADD_FAILURE() << "no file dialog";
        return false;
    }
    HWND field = nullptr;
    if (!PumpUntil([&] {
            field = program.FocusWindow();
            return field && ClassOf(field) == L"Edit" && GetAncestor(field, GA_ROOT) == dialog;
        })) {
        ADD_FAILURE() << "the file dialog's name field has no focus";
        return false;
    }
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    TapKey(VK_RETURN);
    return WaitGone(dialog);
}

// Waits for a message box of the program over `under` (the program's window the message
// comes from), checks that it says `part` (its text copied with Ctrl+C, as the box offers)
// and presses Enter on it; false when none comes.
bool AcknowledgeMessage(HWND under, const std::wstring& part) {
    DWORD program = 0;
    GetWindowThreadProcessId(under, &program);
    HWND box = nullptr;
    if (!PumpUntil([&] {
            box = GetForegroundWindow();
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            return box && box != under && owner == program && ClassOf(box) == L"TForm";
        })) {
        ADD_FAILURE() << "no message showing " << Narrow(part);
        return false;
    }
    TapKey(L'C', VK_CONTROL);
    if (!PumpUntil([&] { return ClipboardText().find(part) != std::wstring::npos; }))
        ADD_FAILURE() << "the message says " << Narrow(ClipboardText()) << ", not " << Narrow(part);
    TapKey(VK_RETURN);
    return WaitGone(box);
}

// A dialog's input box captioned `caption` answered with `text` (put in whole) and Enter.
bool AnswerBoxWith(const Program& program, const wchar_t* caption, const std::wstring& text) {
    HWND box = WaitForDialog(program, caption);
    if (!box) return false;
    SendMessageW(program.FocusWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    TapKey(VK_RETURN);
    return WaitGone(box);
}

// --- Files and registry ---------------------------------------------------------------------

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void SetSize(const std::filesystem::path& file, uintmax_t bytes) {
    std::filesystem::create_directories(file.parent_path());
    { std::ofstream(file, std::ios::binary | std::ios::app); }
    std::filesystem::resize_file(file, bytes);
}

std::wstring FolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Hive files of known sizes where the system keeps its own (the prefix has none); removed
// afterwards with the folders made for them.
class PlantedHives {
public:
    PlantedHives() {
        const std::filesystem::path windows = FolderPath(CSIDL_WINDOWS), profile = FolderPath(CSIDL_PROFILE);
        Sam = windows / L"system32" / L"config" / L"SAM";
        Software = windows / L"system32" / L"config" / L"software";
        User = profile / L"NTUSER.DAT";
        FMadeConfig = !std::filesystem::exists(Sam.parent_path());
        for (const auto& file : {Sam, Software, User})
            if (std::filesystem::exists(file)) ADD_FAILURE() << "the prefix has " << Narrow(file.wstring());
        SetSize(Sam, 262144);
        SetSize(Software, 1536);
        SetSize(User, 1000);
    }
    ~PlantedHives() {
        std::error_code error;
        for (const auto& file : {Sam, Software, User}) std::filesystem::remove(file, error);
        if (FMadeConfig) std::filesystem::remove(Sam.parent_path(), error);
    }
    std::filesystem::path Sam, Software, User;

private:
    bool FMadeConfig = false;
};

std::wstring SzOf(const std::wstring& path, const wchar_t* name) {
    wchar_t data[256] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"(missing)";
    return data;
}

void SetSz(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The Unix name of a file, for a program started outside Wine.
std::string UnixName(const std::wstring& file) {
    using TUnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(file.c_str()) : nullptr;
    std::string text = name ? name : "";
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// The browser the system's "open" of a web address starts, replaced by a shell command that
// appends the address to a file; the old setting is put back afterwards.
class FakeBrowser {
public:
    explicit FakeBrowser(const std::wstring& log) : FLog(log) {
        FHad = RegGetValueW(HKEY_CURRENT_USER, FKey, L"Browsers", RRF_RT_REG_SZ, nullptr, FOld, &FOldSize) ==
               ERROR_SUCCESS;
        const std::string unix = UnixName(log);
        const std::wstring command =
            L"/bin/sh -c \"printf '%s\\n' \\\"$0\\\" >> '" + std::wstring(unix.begin(), unix.end()) + L"'\"";
        RegSetKeyValueW(HKEY_CURRENT_USER, FKey, L"Browsers", REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    ~FakeBrowser() {
        if (FHad)
            RegSetKeyValueW(HKEY_CURRENT_USER, FKey, L"Browsers", REG_SZ, FOld, FOldSize);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, FKey, L"Browsers");
    }
    // The addresses opened so far, one per line.
    std::string Opened() const { return FileBytes(FLog); }

private:
    static constexpr const wchar_t* FKey = L"Software\\Wine\\WineBrowser";
    std::wstring FLog;
    bool FHad = false;
    wchar_t FOld[1024] = {};
    DWORD FOldSize = sizeof(FOld);
};

}  // namespace

// A fresh "setting.db" (no first-run marker): the terms of use come before the main window, the
// marker is written, and the next start goes straight to the window.
TEST_F(ToolsProgram, TheFirstStartShowsTheTermsOnce) {
    Setting.Write(L"[Main]\r\n" + wendlartest::PinnedThemeLine());
    {
        Program program;
        ASSERT_TRUE(program.Started);
        HWND terms = WaitForDialog(program, L"ライセンス");
        ASSERT_NE(terms, nullptr);
        EXPECT_EQ(program.FindWindow(L"TMainForm"), nullptr) << "the main window waits for the terms";
        EXPECT_NE(ChildShowing(terms, L"５．"), nullptr);
        TapKey(VK_RETURN);
        ASSERT_TRUE(WaitGone(terms));
        HWND main = StartedMainWindow(program);
        ASSERT_NE(main, nullptr);
        EXPECT_NE(Setting.Read().find(L"Infomation=1"), std::wstring::npos) << Narrow(Setting.Read());
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(), 0u);
    }
    Program again;
    HWND main = StartedMainWindow(again);
    ASSERT_NE(main, nullptr) << "the window comes without the terms";
    EXPECT_EQ(again.FindWindow(L"", L"ライセンス"), nullptr);
}

// The memo shows the planted files and their total; a snapshot saved from the list page is a
// ".rgsize" file with section "Size"; after a file grew, picking the snapshot on "比較" shows
// that file's difference.
TEST_F(ToolsProgram, SizeToolMeasuresSavesAndCompares) {
    PlantedHives hives;
    Program program;
    HWND main = StartedMainWindow(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(RunMenu(main, {L"ツール(T)", L"簡易レジストリサイズ表示ツール..."}));
    HWND tool = WaitForDialog(program, L"レジストリサイズ計測ツール");
    ASSERT_NE(tool, nullptr);

    HWND memo = ChildShowing(tool, L"合計サイズ");
    ASSERT_NE(memo, nullptr);
    const std::wstring report = WindowText(memo);
    for (const std::wstring& line : {L"合計サイズ" + std::wstring(9, L'\x3000') + L"258.5KB",
                                     L"SAM" + std::wstring(13, L'\x3000') + L"256KB",
                                     L"software" + std::wstring(11, L'\x3000') + L"1.5KB",
                                     L"NTUSER.DAT" + std::wstring(8, L'\x3000') + L"1KB"})
        EXPECT_NE(report.find(line + L"\r\n"), std::wstring::npos) << Narrow(line) << " in\n" << Narrow(report);

    HWND save = ChildShowing(tool, L"現在のレジストリサイズを保存");
    ASSERT_NE(save, nullptr);
    ClickOn(save);
    ASSERT_TRUE(AcknowledgeMessage(tool, L"という名前で保存しました。"));
    std::vector<std::filesystem::path> saved;
    for (const auto& entry : std::filesystem::directory_iterator(wendlartest::SettingsFile(L"RegSize")))
        saved.push_back(entry.path());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].extension(), L".rgsize");
    const std::string bytes = FileBytes(saved[0]);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_NE(text.find(L"[Size]\r\n"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"SAM=262144\r\n"), std::wstring::npos) << Narrow(text);

    SetSize(hives.Sam, 262144 + 1536);
    HWND strip = TabStripOf(tool);
    ASSERT_NE(strip, nullptr);
    ClickAt(ScreenPoint(strip, 30, 8));  // "比較", the first tab
    HWND list = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<HWND> lists = VisibleChildrenOfClass(tool, L"ListBox");
        list = lists.empty() ? nullptr : lists[0];
        return list && SendMessageW(list, LB_GETCOUNT, 0, 0) == 1;
    }));
    ClickAt(ScreenPoint(list, 20, 6));
    using Rows = std::vector<std::pair<std::wstring, std::wstring>>;
    Rows rows;
    EXPECT_TRUE(PumpUntil([&] {
        const std::vector<HWND> views = VisibleChildrenOfClass(tool, WC_LISTVIEWW);
        rows = views.size() == 1 ? ListRows(views[0]) : Rows{};
        return rows.size() == 3;
    })) << rows.size() << " rows";
    EXPECT_EQ(rows, (Rows{{L"SAM", L"-1.5KB"}, {L"software", L"0KB"}, {L"NTUSER.DAT", L"0KB"}}));

    TapKey(VK_RETURN);
    EXPECT_TRUE(WaitGone(tool));
}

// A key exported as a Unicode script and as a hive through the export dialog; a changed value
// comes back when the script is imported; a text file is refused with a message and stays.
TEST_F(ToolsProgram, ExportAndImportThroughTheDialogs) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey key(name);
    testsupport::ScratchDir dir;
    SetSz(key.Path(), L"v", L"元の値");
    Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
    HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);

    const std::wstring script = dir.File(L"x.reg"), hive = dir.File(L"x.hiv");
    ASSERT_TRUE(RunMenu(main, {L"ファイル(F)", L"レジストリキーのエクスポート..."}));
    HWND dialog = WaitForDialog(program, L"レジストリファイルのエクスポート");
    ASSERT_NE(dialog, nullptr);
    TapKey(VK_RETURN);  // "出力(&O)", Unicode chosen
    ASSERT_TRUE(AnswerFileDialog(program, script));
    ASSERT_TRUE(WaitGone(dialog));
    const std::string unicode = FileBytes(script);
    EXPECT_EQ(unicode.rfind("\xFF\xFEW\0i\0n\0d\0o\0w\0s\0", 0), 0u) << "a version 5 script";

    ASSERT_TRUE(MainReady(program, main));
    ASSERT_TRUE(RunMenu(main, {L"ファイル(F)", L"レジストリキーのエクスポート..."}));
    dialog = WaitForDialog(program, L"レジストリファイルのエクスポート");
    ASSERT_NE(dialog, nullptr);
    HWND hiveChoice = ChildShowing(dialog, L"ハイブファイル");
    ASSERT_NE(hiveChoice, nullptr);
    ClickOn(hiveChoice);
    const std::vector<HWND> output = ChildrenWithText(dialog, L"出力(&O)");
    ASSERT_EQ(output.size(), 1u);
    ClickOn(output[0]);
    ASSERT_TRUE(AnswerFileDialog(program, hive));
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(std::filesystem::exists(hive));

    SetSz(key.Path(), L"v", L"変えた値");
    ASSERT_TRUE(MainReady(program, main));
    ASSERT_TRUE(RunMenu(main, {L"ファイル(F)", L"レジストリスクリプトのインポート..."}));
    ASSERT_TRUE(AnswerFileDialog(program, script));
    EXPECT_TRUE(PumpUntil([&] { return SzOf(key.Path(), L"v") == L"元の値"; })) << Narrow(SzOf(key.Path(), L"v"));
    EXPECT_TRUE(std::filesystem::exists(script)) << "the user's script stays";

    const std::wstring text = dir.File(L"memo.reg");
    std::ofstream(std::filesystem::path(text), std::ios::binary) << "only a note\r\n";
    ASSERT_TRUE(MainReady(program, main));
    ASSERT_TRUE(RunMenu(main, {L"ファイル(F)", L"レジストリスクリプトのインポート..."}));
    ASSERT_TRUE(AnswerFileDialog(program, text));
    EXPECT_TRUE(AcknowledgeMessage(main, L"はレジストリスクリプトではありません。"));
    EXPECT_TRUE(std::filesystem::exists(text));
}

// A hive file loaded as "Test" below HKEY_USERS shows its values there; unloading it asks
// first and takes the key away.
TEST_F(ToolsProgram, HiveLoadedBelowUsersAndUnloadedAfterTheQuestion) {
    const std::wstring name = testsupport::CurrentTestName();
    testsupport::ScratchKey source(name);
    testsupport::ScratchDir dir;
    SetSz(source.Path(), L"inside", L"ハイブの値");
    const std::wstring hive = dir.File(L"test.hiv");
    ASSERT_TRUE(registry::SaveKeyToHiveFile(registry::MakeRegKeyRecord(HKEY_CURRENT_USER, source.Path()), hive));
    HKEY loaded = nullptr;
    ASSERT_NE(RegOpenKeyExW(HKEY_USERS, L"Test", 0, KEY_READ, &loaded), ERROR_SUCCESS) << "no key Test to start with";
    // A test that stops half-way leaves no key Test for the next one.
    const auto cleanUp = classlib::ScopeExit([] {
        RegDeleteTreeW(HKEY_USERS, L"Test");
        RegDeleteKeyW(HKEY_USERS, L"Test");
    });

    Program program(L"HKEY_USERS");
    HWND main = ForegroundMainWindow(program, L"HKEY_USERS", L"TVxRegTreeView");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(RunMenu(main, {L"ファイル(F)", L"ハイブファイルのロード..."}));
    ASSERT_TRUE(AnswerFileDialog(program, hive));
    ASSERT_TRUE(AnswerBoxWith(program, L"キーの名前", L"Test"));
    ASSERT_TRUE(PumpUntil([&] { return RegOpenKeyExW(HKEY_USERS, L"Test", 0, KEY_READ, &loaded) == ERROR_SUCCESS; }));
    wchar_t data[64] = {};
    DWORD size = sizeof(data);
    EXPECT_EQ(RegGetValueW(loaded, nullptr, L"inside", RRF_RT_REG_SZ, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(data), L"ハイブの値");
    RegCloseKey(loaded);

    ASSERT_TRUE(MainReady(program, main));
    ASSERT_TRUE(GoToPath(program, main, L"HKEY_USERS\\Test"));
    ASSERT_TRUE(WaitForActiveKey(main, L"Test"));
    ASSERT_TRUE(WaitForFocus(program, L"TVxRegTreeView"));
    ASSERT_TRUE(RunMenu(main, {L"ファイル(F)", L"ハイブのアンロード..."}));
    HWND question = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        question = program.FindWindow(L"", L"警告");
        return question && GetForegroundWindow() == question;
    }));
    TapKey(L'C', VK_CONTROL);
    EXPECT_TRUE(PumpUntil([&] {
        return ClipboardText().find(L"Testをアンロードします。本当によろしいですか？") != std::wstring::npos;
    })) << Narrow(ClipboardText());
    ASSERT_TRUE(AnswerYes(program));
    EXPECT_TRUE(PumpUntil([&] {
        HKEY gone = nullptr;
        if (RegOpenKeyExW(HKEY_USERS, L"Test", 0, KEY_READ, &gone) != ERROR_SUCCESS) return true;
        RegCloseKey(gone);
        return false;
    }));
}

// In the about box a double-click on an address hands it to the system's browser; one on a
// description opens nothing.
TEST_F(ToolsProgram, AboutBoxOpensAddressesOnly) {
    testsupport::ScratchDir dir;
    FakeBrowser browser(dir.File(L"opened.txt"));
    Program program;
    HWND main = StartedMainWindow(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(RunMenu(main, {L"ヘルプ(H)", L"バージョン情報..."}));
    HWND about = WaitForDialog(program, L"バージョン情報");
    ASSERT_NE(about, nullptr);
    HWND tree = ChildOfClass(about, WC_TREEVIEWW);
    ASSERT_NE(tree, nullptr);
    // Rows from the top: 0 a group, 1 an entry, 2 and 3 its lines, 4 a group, 5 "Oniguruma",
    // 6 its description, 7 its address.
    const int height = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    const int indent = static_cast<int>(SendMessageW(tree, TVM_GETINDENT, 0, 0));
    ASSERT_GT(height, 0);
    auto row = [&](int index) { return ScreenPoint(tree, 3 * indent + 16 + 24, index * height + height / 2); };
    DoubleClickAt(row(6));
    ClickAt(ScreenPoint(tree, 3 * indent + 16 + 24, 3 * height + height / 2));  // no double click across rows
    DoubleClickAt(row(7));
    EXPECT_TRUE(PumpUntil([&] { return !browser.Opened().empty(); }));
    EXPECT_EQ(browser.Opened(), "https://github.com/kkos/oniguruma\n");
    TapKey(VK_RETURN);
    EXPECT_TRUE(WaitGone(about));
}

// F1 opens the help window on the help file beside the program.
TEST_F(ToolsProgram, F1OpensTheHelp) {
    Program program;
    HWND main = StartedMainWindow(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(MainReady(program, main));
    TapKey(VK_F1);
    HWND help = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return (help = program.FindWindow(L"HH Parent")) != nullptr; }));
    if (help) PostMessageW(help, WM_CLOSE, 0, 0);
}
