// Start-up: from starting wendlar.exe with a key path on its command line to its first
// painted registry window on that key, against a plain program doing the same registry work
// with the system's own controls (this benchmark started with --plain: a window with a tree
// view of the roots and the path down to the key, and a list view of the key's values with
// name, type and data text). Both are ready when their window is shown, holds the key's
// contents and has nothing left to paint.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/bench_common.h"

namespace {

const wchar_t kBenchKey[] = L"Software\\WendlarBench\\Startup";
const wchar_t kFullPath[] = L"HKEY_CURRENT_USER\\Software\\WendlarBench\\Startup";
constexpr int kSubkeys = 200;
constexpr int kValues = 50;

// --- the plain program ---------------------------------------------------------------------

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

const wchar_t* TypeName(DWORD type) {
    switch (type) {
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_DWORD: return L"REG_DWORD";
    case REG_BINARY: return L"REG_BINARY";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return L"REG_NONE";
    }
}

std::wstring DataText(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), wcsnlen(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2));
    if (type == REG_DWORD && data.size() >= 4) {
        wchar_t text[32];
        DWORD v = *reinterpret_cast<const DWORD*>(data.data());
        swprintf(text, 32, L"0x%08X (%u)", v, v);
        return text;
    }
    std::wstring text;
    wchar_t byte[4];
    for (BYTE b : data) {
        swprintf(byte, 4, L"%02X ", b);
        text += byte;
    }
    return text;
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wp, lp);
}

int RunPlain() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"PlainRegistryWindow";
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"Startup", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 700, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    HWND tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0, 300,
                                660, frame, nullptr, wc.hInstance, nullptr);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 304, 0, 680,
                                660, frame, nullptr, wc.hInstance, nullptr);
    const wchar_t* headers[] = {L"名前", L"種類", L"データ"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH, 0, i == 2 ? 360 : 150, const_cast<wchar_t*>(headers[i])};
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    // The tree: the roots, and the path down to the key with each level's subkeys.
    auto add = [&](HTREEITEM parent, const std::wstring& text) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        insert.item.cChildren = 1;
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    };
    HTREEITEM computer = add(TVI_ROOT, L"コンピュータ");
    const wchar_t* roots[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                              L"HKEY_CURRENT_CONFIG"};
    HTREEITEM at = nullptr;
    for (const wchar_t* root : roots) {
        HTREEITEM item = add(computer, root);
        if (std::wstring(root) == L"HKEY_CURRENT_USER") at = item;
    }
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(computer));
    std::vector<std::wstring> parts;
    for (std::wstring rest = kBenchKey; !rest.empty();) {
        const size_t cut = rest.find(L'\\');
        parts.push_back(rest.substr(0, cut));
        rest = cut == std::wstring::npos ? L"" : rest.substr(cut + 1);
    }
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_READ, &key);
    for (size_t level = 0; level <= parts.size(); ++level) {
        HTREEITEM next = nullptr;
        for (const std::wstring& name : SubkeyNames(key)) {
            HTREEITEM item = add(at, name);
            if (level < parts.size() && _wcsicmp(name.c_str(), parts[level].c_str()) == 0) next = item;
        }
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(at));
        if (level == parts.size() || !next) break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, parts[level].c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) break;
        RegCloseKey(key);
        key = sub;
        at = next;
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(at));
    // The list: every value of the key.
    wchar_t name[16384];
    std::vector<BYTE> data;
    for (DWORD i = 0;; ++i) {
        DWORD length = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        data.resize(size);
        length = 16384;
        RegEnumValueW(key, i, name, &length, nullptr, &type, data.data(), &size);
        LVITEMW item{LVIF_TEXT, int(i), 0, 0, 0, name};
        const int row = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        const std::wstring typeText = TypeName(type), dataText = DataText(type, data);
        LVITEMW cell{LVIF_TEXT, row, 1, 0, 0, const_cast<wchar_t*>(typeText.c_str())};
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
        cell.iSubItem = 2;
        cell.pszText = const_cast<wchar_t*>(dataText.c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
    }
    RegCloseKey(key);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// --- the measurement -------------------------------------------------------------------------

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

HWND TopWindowOf(DWORD pid, const wchar_t* className) {
    struct Ctx {
        DWORD pid;
        const wchar_t* cls;
        HWND found;
    } ctx{pid, className, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != c->pid || !IsWindowVisible(w) || ClassOf(w) != c->cls) return TRUE;
            c->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
    struct Ctx {
        const wchar_t* cls;
        HWND found;
    } ctx{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (ClassOf(w) != c->cls || !IsWindowVisible(w)) return TRUE;
            c->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool Painted(HWND window) { return window && !GetUpdateRect(window, nullptr, FALSE); }

// The registry window of wendlar.exe on the bench key, shown and painted; null until then.
HWND OursReady(DWORD pid) {
    HWND main = TopWindowOf(pid, L"TMainForm");
    if (!main) return nullptr;
    HWND client = FindWindowExW(main, nullptr, L"MDIClient", nullptr);
    HWND window = client ? GetWindow(client, GW_CHILD) : nullptr;
    if (!window || ClassOf(window) != L"TRegEdForm" || TextOf(window) != L"Startup" || !IsWindowVisible(window))
        return nullptr;
    HWND list = ChildOfClass(window, L"TVxRegListView");
    return Painted(main) && Painted(window) && Painted(list) ? window : nullptr;
}

// The plain program's window with every value listed, shown and painted; null until then.
HWND PlainReady(DWORD pid) {
    HWND frame = TopWindowOf(pid, L"PlainRegistryWindow");
    if (!frame) return nullptr;
    HWND list = ChildOfClass(frame, WC_LISTVIEWW);
    if (!list || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != kValues) return nullptr;
    return Painted(frame) && Painted(list) ? frame : nullptr;
}

// Starts `exe` with `args`, waits until `ready` finds its window (false when it does not
// within 60 s), closes it and waits for its end. `seconds` gets the time to ready.
bool StartAndClose(const std::wstring& exe, const std::wstring& args, HWND (*ready)(DWORD), double& seconds) {
    std::wstring command = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const double start = bench::Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    HWND window = nullptr;
    while (!(window = ready(pi.dwProcessId)) && bench::Now() - start < 60) {
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    seconds = bench::Now() - start;
    // Close every window of the process the way a user would, then wait for its end.
    for (const wchar_t* cls : {L"TMainForm", L"PlainRegistryWindow"})
        if (HWND top = TopWindowOf(pi.dwProcessId, cls)) PostMessageW(top, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return window != nullptr;
}

void MakeBenchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (int i = 0; i < kSubkeys; ++i) {
        HKEY sub = nullptr;
        RegCreateKeyExW(key, (L"Sub" + std::to_wstring(i)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub,
                        nullptr);
        RegCloseKey(sub);
    }
    for (int i = 0; i < kValues; ++i) {
        const std::wstring name = L"Value" + std::to_wstring(i);
        if (i % 2) {
            const DWORD v = DWORD(i) * 7919;
            RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
        } else {
            const std::wstring text = L"テキスト " + std::to_wstring(i);
            RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           DWORD((text.size() + 1) * 2));
        }
    }
    RegCloseKey(key);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--plain") return RunPlain();
    namespace fs = std::filesystem;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path binFolder = fs::path(self).parent_path();
    // wendlar.exe runs from a folder of its own, so its settings files are its own too.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / L"wendlar-startup-bench";
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    for (const wchar_t* file : {L"wendlar.exe", L"onig.dll"})
        if (fs::exists(binFolder / file)) fs::copy_file(binFolder / file, folder / file, ec);
    MakeBenchKey();

    const std::wstring ours = (folder / L"wendlar.exe").wstring(), plain = self;
    const std::wstring path = std::wstring(L"\"") + kFullPath + L"\"";
    bench::PrintLegend();
    bench::TPair pair;
    bool correct = true;
    double seconds = 0;
    // One start of each first, untimed: the first start of a program under Wine loads its
    // libraries from disk.
    correct &= StartAndClose(plain, L"--plain", PlainReady, seconds);
    correct &= StartAndClose(ours, path, OursReady, seconds);
    for (int round = 0; round < bench::DefaultRounds; ++round) {
        correct &= StartAndClose(plain, L"--plain", PlainReady, seconds);
        pair.Base.Times.push_back(seconds);
        correct &= StartAndClose(ours, path, OursReady, seconds);
        pair.Ours.Times.push_back(seconds);
    }
    bench::Report("start to first painted registry window vs plain program", pair, 2.0, correct);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WendlarBench");
    fs::remove_all(folder, ec);
    return bench::Finish();
}
