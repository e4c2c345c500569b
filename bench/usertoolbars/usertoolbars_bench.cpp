// User toolbars at start: wendlar.exe with 20 toolbars of 50 items each in
// "Settings\CustomToolBar", from its start to its first painted registry window, against the
// same program with no user toolbars. Both copies start on the same key; a start counts when
// its registry window shows that key, is painted, and the main window holds its toolbars
// (the 20 user toolbars on one side, none on the other).
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "classlib/compstream.h"
#include "classlib/streams.h"
#include "common/bench_common.h"
#include "common/program_windows.h"
#include "options/actiontable.h"
#include "settings/inifile.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kBenchKey[] = L"Software\\WendlarBench\\UserToolbars";
const wchar_t kFullPath[] = L"HKEY_CURRENT_USER\\Software\\WendlarBench\\UserToolbars";
constexpr int kToolbars = 20;
constexpr int kItems = 50;

// Writes the index and one toolbar file per user toolbar: commands of the action table in
// turn, a separator after every ninth.
void WriteUserToolbars(const fs::path& folder) {
    fs::create_directories(folder);
    std::vector<const wchar_t*> commands;
    for (const options::TActionDef& def : options::ActionDefs())
        if (*def.Category && def.Tag == 0) commands.push_back(def.Name);
    settings::TVxMemIniFile index((folder / L"NewToolBar.db").wstring());
    for (int t = 0; t < kToolbars; ++t) {
        const std::wstring name = L"ToolBar2024" + std::to_wstring(t);
        classlib::TStreamComponent bar;
        bar.ClassName = L"TUiToolbar";
        bar.Name = name;
        bar.Properties = {{L"Caption", classlib::TStreamValue::String(L"ツールバー" + std::to_wstring(t))},
                          {L"DockPos", classlib::TStreamValue::Int(0)},
                          {L"DockRow", classlib::TStreamValue::Int(3 + t)},
                          {L"Visible", classlib::TStreamValue::Boolean(true)}};
        for (int i = 0; i < kItems; ++i) {
            classlib::TStreamComponent item;
            if (i % 10 == 9) {
                item.ClassName = L"TUiSeparatorItem";
            } else {
                item.ClassName = L"TUiItem";
                item.Properties = {{L"Action", classlib::TStreamValue::Ident(
                                                   std::wstring(L"MainForm.") + commands[(t * kItems + i) % commands.size()])}};
            }
            bar.Children.push_back(std::move(item));
        }
        const std::vector<std::uint8_t> bytes = classlib::WriteComponentStream(bar);
        classlib::SaveBytesToFileAtomic((folder / name).wstring(), bytes.data(), bytes.size());
        index.WriteString(name, L"Caption", L"ツールバー" + std::to_wstring(t));
    }
    index.UpdateFile();
}

// The visible windows of dockable bars inside `main` (toolbars, the address bar, panels).
size_t VisibleBars(HWND main) {
    size_t count = 0;
    EnumChildWindows(
        main,
        [](HWND w, LPARAM lp) -> BOOL {
            if (IsWindowVisible(w) && bench::ClassOf(w) == L"TBarDockableWindow") ++*reinterpret_cast<size_t*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// Starts the copy `exe` on the bench key until its window is ready (60 s at most), counts its
// visible bars (toolbars and the other dockable windows), closes it and waits for its end.
bool StartAndClose(const std::wstring& exe, double& seconds, size_t& toolbars) {
    std::wstring command = L"\"" + exe + L"\" \"" + kFullPath + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const double start = bench::Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    HWND main = nullptr;
    while (!(main = bench::RegistryWindowReady(pi.dwProcessId, L"UserToolbars")) && bench::Now() - start < 60)
        if (WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0) break;
    seconds = bench::Now() - start;
    toolbars = main ? VisibleBars(main) : 0;
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return main != nullptr;
}

}  // namespace

int wmain() {
    const fs::path root = bench::FreshTempFolder(L"wendlar-usertoolbars-bench");
    // Two copies, each with its own settings folder.
    const fs::path plain = root / L"plain", with = root / L"with";
    bench::CopyProgram(plain);
    bench::CopyProgram(with);
    WriteUserToolbars(with / L"Settings" / L"CustomToolBar");
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);

    bench::PrintLegend();
    const std::wstring base = (plain / L"wendlar.exe").wstring(), ours = (with / L"wendlar.exe").wstring();
    bench::TPair pair;
    bool correct = true;
    double seconds = 0;
    size_t baseBars = 0, ourBars = 0;
    // One untimed start of each: the first start under Wine loads the libraries from disk.
    correct &= StartAndClose(base, seconds, baseBars) && StartAndClose(ours, seconds, ourBars);
    for (int round = 0; round < bench::DefaultRounds; ++round) {
        correct &= StartAndClose(base, seconds, baseBars);
        pair.Base.Times.push_back(seconds);
        correct &= StartAndClose(ours, seconds, ourBars);
        pair.Ours.Times.push_back(seconds);
        correct &= ourBars == baseBars + kToolbars;
    }
    std::printf("visible toolbars: %zu without user toolbars, %zu with\n", baseBars, ourBars);
    bench::Report("start with 20 user toolbars of 50 items vs none", pair, 1.1, correct);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\WendlarBench");
    std::error_code ec;
    fs::remove_all(root, ec);
    return bench::Finish();
}
