// A big address history: wendlar.exe with 10,000 lines in "History.db" against the same
// program with an empty history, in the same run:
// - start to the first painted registry window on a key given on the command line;
// - one jump from the address box ("移動" clicked with another key's path typed) until the
//   registry window shows and has painted that key, the box's list having been opened once
//   before (so it holds every line, as for a user who picks from it). The history file is
//   written whole after every jump (10,000 lines: about 700 KB), hence the wider aim; what
//   must not come back is work per line of the list on every jump.
// Each side runs from a folder of its own (its own "Settings"), and gets its history file
// back before every start. Both sides must reach the same windows; the history side must
// also have kept its lines (the path it went to on top, every old line still there).
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/bench_common.h"
#include "common/program_windows.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kBenchKey[] = L"Software\\WendlarBench\\History";
const std::wstring kKeyPath = L"HKEY_CURRENT_USER\\Software\\WendlarBench\\History";
const std::wstring kJumpPath = kKeyPath + L"\\Target";
constexpr int kHistoryLines = 10000;
constexpr double kTimeLimit = 60;

using bench::FindVisible;
using bench::RegistryWindowReady;

// Waits (polling every 10 ms, so the measured program keeps the CPU) until `ready` gives a
// window or the process ends or the time limit passes.
template <class F>
HWND WaitFor(HANDLE process, double start, F ready) {
    HWND window = nullptr;
    while (!(window = ready()) && bench::Now() - start < kTimeLimit)
        if (WaitForSingleObject(process, 10) == WAIT_OBJECT_0) break;
    return window;
}

// The lines of a UTF-16LE history file with byte-order mark.
std::vector<std::wstring> ReadLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::wstring> lines;
    if (bytes.size() < 2) return lines;
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    return lines;
}

void WriteLines(const fs::path& file, const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
}

struct TSide {
    fs::path Folder;
    std::vector<std::wstring> History;
};

// One start of a side on the bench key and one jump to the target key. False when a window
// did not come or the history was not kept.
bool StartAndJump(const TSide& side, double& startSeconds, double& jumpSeconds) {
    const fs::path historyFile = side.Folder / L"Settings" / L"History.db";
    WriteLines(historyFile, side.History);
    const std::wstring exe = (side.Folder / L"wendlar.exe").wstring();
    std::wstring command = L"\"" + exe + L"\" \"" + kKeyPath + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    double start = bench::Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    HWND main = WaitFor(pi.hProcess, start, [&] { return RegistryWindowReady(pi.dwProcessId, L"History"); });
    startSeconds = bench::Now() - start;
    bool ok = main != nullptr;
    if (ok) {
        HWND bar = FindVisible(pi.dwProcessId, main, nullptr, L"アドレスバー");
        HWND edit = bar ? FindVisible(pi.dwProcessId, bar, L"Edit") : nullptr;
        HWND go = bar ? FindVisible(pi.dwProcessId, bar, nullptr, L"移動") : nullptr;
        HWND box = edit ? GetParent(edit) : nullptr;
        ok = edit && go;
        if (ok) {
            // The list opened and closed: it is filled from the history once.
            const double opened = bench::Now();
            SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
            while (SendMessageW(box, CB_GETCOUNT, 0, 0) != LRESULT(side.History.size() + 1) &&
                   bench::Now() - opened < kTimeLimit)
                Sleep(10);
            SendMessageW(box, CB_SHOWDROPDOWN, FALSE, 0);
            ok = SendMessageW(box, CB_GETCOUNT, 0, 0) == LRESULT(side.History.size() + 1);
        }
        if (ok) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kJumpPath.c_str()));
            RECT r{};
            GetClientRect(go, &r);
            const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
            start = bench::Now();
            PostMessageW(go, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(go, WM_LBUTTONUP, 0, at);
            ok = WaitFor(pi.hProcess, start, [&] { return RegistryWindowReady(pi.dwProcessId, L"Target"); }) != nullptr;
            jumpSeconds = bench::Now() - start;
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        ok = false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // The jump's path on top, then the path of the command line, then every line the side
    // started with.
    const std::vector<std::wstring> after = ReadLines(historyFile);
    const bool kept = after.size() == side.History.size() + 2 && after[0] == kJumpPath && after[1] == kKeyPath &&
                      std::equal(side.History.begin(), side.History.end(), after.begin() + 2);
    if (!ok || !kept)
        std::printf("  %s side: %s\n", side.History.empty() ? "empty" : "big",
                    !ok ? "a window did not come" : "the history was not kept");
    return ok && kept;
}

void MakeBenchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    HKEY target = nullptr;
    RegCreateKeyExW(key, L"Target", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr);
    const DWORD v = 1;
    RegSetValueExW(target, L"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(target);
    RegCloseKey(key);
}

}  // namespace

int wmain() {
    const fs::path root = bench::FreshTempFolder(L"wendlar-history-bench");
    TSide empty{root / L"empty", {}}, big{root / L"big", {}};
    // Paths of the shape users go to, each once (the history holds no duplicates).
    for (int i = 0; i < kHistoryLines; ++i)
        big.History.push_back(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Entry" + std::to_wstring(i) + L"\\shell\\open");
    for (const TSide* side : {&empty, &big}) bench::CopyProgram(side->Folder);
    MakeBenchKey();

    bench::PrintLegend();
    bench::TPair starts, jumps;
    bool correct = true;
    double startSeconds = 0, jumpSeconds = 0;
    // One untimed round first: the first start under Wine loads the libraries from disk.
    correct &= StartAndJump(empty, startSeconds, jumpSeconds);
    correct &= StartAndJump(big, startSeconds, jumpSeconds);
    for (int round = 0; round < bench::DefaultRounds; ++round) {
        correct &= StartAndJump(empty, startSeconds, jumpSeconds);
        starts.Base.Times.push_back(startSeconds);
        jumps.Base.Times.push_back(jumpSeconds);
        correct &= StartAndJump(big, startSeconds, jumpSeconds);
        starts.Ours.Times.push_back(startSeconds);
        jumps.Ours.Times.push_back(jumpSeconds);
    }
    bench::Report("start, 10,000 history lines vs none", starts, 1.1, correct);
    bench::Report("jump from the address box, 10,000 lines vs none", jumps, 1.5, correct);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WendlarBench");
    std::error_code ec;
    fs::remove_all(root, ec);
    return bench::Finish();
}
