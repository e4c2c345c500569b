// Start-up: from starting wendlar.exe with a key path on its command line to its first
// painted registry window on that key, against two baselines started in the same rounds:
// - a plain program doing the same registry work with the system's own controls (this
//   benchmark started with --plain: a window with a tree view of the roots and the path down
//   to the key, and a list view of the key's values with name, type and data text);
// - the system's own registry editor, opened on the same key (it opens on the key it showed
//   last, which the benchmark sets beforehand).
// Each is ready when its window is shown, its tree and its list hold the key's contents and
// have nothing left to paint.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/bench_common.h"
#include "common/program_windows.h"

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
//
// A start is watched from outside: the watcher looks for the program's windows and asks the
// system whether they still have anything to paint. The watcher must not slow down what it
// watches: the windows it needs are found once per start and kept, a look costs a handful of
// requests to the window server, and between looks it sleeps without asking the server
// anything. When WENDLAR_BENCH_WATCH_CPU names a CPU (scripts/bench sets it), the watcher runs
// there, and the programs it starts keep the CPUs this benchmark was started on.

constexpr double kTimeout = 60;     // seconds a start may take before it counts as failed
constexpr DWORD kLookInterval = 2;  // milliseconds between two looks

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

// The first top-level window of class `className` that belongs to process `pid`.
HWND TopWindowOf(DWORD pid, const wchar_t* className) {
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
         w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

// The first window of class `className` anywhere below `parent`.
HWND DescendantOfClass(HWND parent, const wchar_t* className) {
    struct Ctx {
        const wchar_t* cls;
        HWND found;
    } ctx{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            if (ClassOf(w) != c->cls) return TRUE;
            c->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

int ItemCount(HWND list) { return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// What one kind of program shows once it is ready.
struct TWatched {
    const wchar_t* TopClass;
    // The windows that must be shown and painted, the top-level window first and the one
    // holding the values last; empty while they are not all there.
    std::vector<HWND> (*Parts)(HWND top);
    // Whether the painted parts show the bench key's contents.
    bool (*Holds)(const std::vector<HWND>& parts);
};

// wendlar.exe: its registry window on the bench key, with the key tree and the value list.
const TWatched kOurs{
    L"TMainForm",
    [](HWND top) -> std::vector<HWND> {
        HWND client = FindWindowExW(top, nullptr, L"MDIClient", nullptr);
        HWND window = client ? FindWindowExW(client, nullptr, L"TRegEdForm", nullptr) : nullptr;
        HWND tree = window ? DescendantOfClass(window, L"TVxRegTreeView") : nullptr;
        HWND list = window ? DescendantOfClass(window, L"TVxRegListView") : nullptr;
        if (!tree || !list) return {};
        return {top, window, tree, list};
    },
    [](const std::vector<HWND>& parts) { return TextOf(parts[1]) == L"Startup"; },
};

// The plain program: its window with every value listed.
const TWatched kPlain{
    L"PlainRegistryWindow",
    [](HWND top) -> std::vector<HWND> {
        HWND tree = FindWindowExW(top, nullptr, WC_TREEVIEWW, nullptr);
        HWND list = FindWindowExW(top, nullptr, WC_LISTVIEWW, nullptr);
        if (!tree || !list) return {};
        return {top, tree, list};
    },
    [](const std::vector<HWND>& parts) { return ItemCount(parts.back()) == kValues; },
};

// The system's registry editor, opened on the bench key (it opens on the key it showed last,
// which the benchmark sets): its window with every value listed, after the unnamed one.
const TWatched kSystemEditor{
    L"RegEdit_RegEdit",
    [](HWND top) -> std::vector<HWND> {
        HWND pane = FindWindowExW(top, nullptr, L"REGEDIT", nullptr);
        HWND tree = pane ? FindWindowExW(pane, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
        HWND list = pane ? FindWindowExW(pane, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        if (!tree || !list) return {};
        return {top, tree, list};
    },
    [](const std::vector<HWND>& parts) { return ItemCount(parts.back()) == kValues + 1; },
};

bool Painted(HWND window) { return !GetUpdateRect(window, nullptr, FALSE); }

// The CPUs of the programs started (0: as this process) and of the watcher (0: no own CPU).
DWORD_PTR gProgramCpus = 0, gWatcherCpus = 0;

void PlaceWatcher() {
    DWORD_PTR process = 0, system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
    wchar_t text[16] = {};
    if (!GetEnvironmentVariableW(L"WENDLAR_BENCH_WATCH_CPU", text, 16)) return;
    const int cpu = _wtoi(text);
    const DWORD_PTR watcher = DWORD_PTR(1) << cpu;
    if (cpu < 0 || cpu >= int(8 * sizeof(DWORD_PTR)) || !(system & watcher) || (process & watcher)) return;
    if (!SetProcessAffinityMask(GetCurrentProcess(), process | watcher)) return;
    if (!SetThreadAffinityMask(GetCurrentThread(), watcher)) {
        SetProcessAffinityMask(GetCurrentProcess(), process);
        return;
    }
    gProgramCpus = process;
    gWatcherCpus = watcher;
}

std::string CpuList(DWORD_PTR mask) {
    std::string list;
    for (int cpu = 0; cpu < int(8 * sizeof mask); ++cpu)
        if (mask & (DWORD_PTR(1) << cpu)) {
            if (!list.empty()) list += ',';
            list += std::to_string(cpu);
        }
    return list;
}

// Starts `exe` with `args`, waits until `watched` is ready (false when it is not within the
// timeout or the program ends first), closes it the way a user would and waits for its end.
// `seconds` gets the time from the start to ready.
bool StartAndClose(const std::wstring& exe, const std::wstring& args, const TWatched& watched, double& seconds) {
    std::wstring command = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const double start = bench::Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &si, &pi))
        return false;
    if (gProgramCpus) SetProcessAffinityMask(pi.hProcess, gProgramCpus);
    ResumeThread(pi.hThread);
    bool ready = false;
    HWND top = nullptr;
    std::vector<HWND> parts;
    for (unsigned look = 1; bench::Now() - start < kTimeout; ++look) {
        if (parts.empty()) {
            top = TopWindowOf(pi.dwProcessId, watched.TopClass);
            if (top) parts = watched.Parts(top);
        } else if (!IsWindow(parts.back())) {
            parts.clear();  // made again: found again at the next look
        } else if (Painted(parts.back()) && IsWindowVisible(parts.back()) &&
                   std::all_of(parts.rbegin() + 1, parts.rend(), [](HWND w) { return Painted(w); })) {
            if (watched.Holds(parts)) {
                ready = true;
                break;
            }
            parts.clear();  // painted, but not the window on the key: look again
        }
        if (look % 16 == 0 && WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(kLookInterval);
    }
    seconds = bench::Now() - start;
    if (top) PostMessageW(top, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ready;
}

void SetKeyText(const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
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
    // The system's editor opens on the key it showed last.
    SetKeyText(L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", L"LastKey", kFullPath);
}

// A copy of a wendlar.exe (with the library beside it) in a folder of its own under the
// temporary folder, so that its settings files are its own too. Its "setting.db" holds the
// marker of a start that is not the first, so that no start waits on the terms of use.
std::wstring PlaceCopy(const std::filesystem::path& from, const wchar_t* folderName) {
    namespace fs = std::filesystem;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / folderName;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    for (const wchar_t* file : {L"wendlar.exe", L"onig.dll"})
        if (fs::exists(from.parent_path() / file)) fs::copy_file(from.parent_path() / file, folder / file, ec);
    bench::SeedFirstRunMarker(folder);
    return (folder / L"wendlar.exe").wstring();
}

}  // namespace

// startup_bench.exe [--rounds N] [another wendlar.exe]: the other build (an earlier one, say)
// is measured in the same rounds, and a line compares this build with it.
int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--plain") return RunPlain();
    namespace fs = std::filesystem;
    int rounds = 9;
    std::wstring otherExe;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--rounds" && i + 1 < argc)
            rounds = std::max(1, _wtoi(argv[++i]));
        else
            otherExe = argv[i];
    }
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring ours = PlaceCopy(fs::path(self).parent_path() / L"wendlar.exe", L"wendlar-startup-bench");
    const std::wstring other =
        otherExe.empty() ? L"" : PlaceCopy(fs::absolute(otherExe), L"wendlar-startup-bench-other");
    const std::wstring plain = self, editor = (fs::path(windows) / L"regedit.exe").wstring();
    const std::wstring path = std::wstring(L"\"") + kFullPath + L"\"";
    MakeBenchKey();
    PlaceWatcher();
    if (gWatcherCpus)
        std::printf("programs on CPU %s, the watcher on CPU %s\n", CpuList(gProgramCpus).c_str(),
                    CpuList(gWatcherCpus).c_str());
    else
        std::printf("the watcher shares the programs' CPUs (no WENDLAR_BENCH_WATCH_CPU)\n");
    bench::PrintLegend();
    bench::TSamples plainTimes, editorTimes, ourTimes, otherTimes;
    bool plainRight = true, editorRight = true, oursRight = true, otherRight = true;
    double seconds = 0;
    // One start of each first, untimed: the first start of a program under Wine loads its
    // libraries from disk.
    plainRight &= StartAndClose(plain, L"--plain", kPlain, seconds);
    editorRight &= StartAndClose(editor, L"", kSystemEditor, seconds);
    oursRight &= StartAndClose(ours, path, kOurs, seconds);
    if (!other.empty()) otherRight &= StartAndClose(other, path, kOurs, seconds);
    for (int round = 0; round < rounds; ++round) {
        plainRight &= StartAndClose(plain, L"--plain", kPlain, seconds);
        plainTimes.Times.push_back(seconds);
        editorRight &= StartAndClose(editor, L"", kSystemEditor, seconds);
        editorTimes.Times.push_back(seconds);
        oursRight &= StartAndClose(ours, path, kOurs, seconds);
        ourTimes.Times.push_back(seconds);
        if (other.empty()) continue;
        otherRight &= StartAndClose(other, path, kOurs, seconds);
        otherTimes.Times.push_back(seconds);
    }
    bench::Report("start to first painted registry window vs plain program", {plainTimes, ourTimes}, 1.5,
                  plainRight && oursRight);
    bench::Report("the same vs the system's registry editor", {editorTimes, ourTimes}, 1.0, editorRight && oursRight);
    if (!other.empty())
        bench::Report("the same vs the other build", {otherTimes, ourTimes}, 1.0, otherRight && oursRight);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WendlarBench");
    for (const std::wstring& exe : {ours, other}) {
        std::error_code ec;
        if (!exe.empty()) fs::remove_all(fs::path(exe).parent_path(), ec);
    }
    return bench::Finish();
}
