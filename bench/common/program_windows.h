// What the benchmarks that start wendlar.exe share: a copy of the program in a folder of its
// own (so its "Settings" are its own), and the windows of a started copy found from outside.
#pragma once

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace bench {

// The folder `name` in the temporary folder, emptied of what an earlier run left.
inline std::filesystem::path FreshTempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / name;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return folder;
}

// Writes the copy's "setting.db" with the marker of a start that is not the first, so that no
// start waits on the terms of use.
inline void SeedFirstRunMarker(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder / L"Settings", ec);
    const std::wstring setting = L"\uFEFF[Setting]\r\nInfomation=1\r\n";  // UTF-16LE, as the program writes it
    if (FILE* f = _wfopen((folder / L"Settings" / L"setting.db").c_str(), L"wb")) {
        std::fwrite(setting.data(), sizeof(wchar_t), setting.size(), f);
        std::fclose(f);
    }
}

// Copies wendlar.exe and onig.dll from the benchmark's own folder into `folder` and makes its
// "Settings" folder, seeded as SeedFirstRunMarker says.
inline void CopyProgram(const std::filesystem::path& folder) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path binFolder = std::filesystem::path(self).parent_path();
    std::error_code ec;
    std::filesystem::create_directories(folder / L"Settings", ec);
    for (const wchar_t* file : {L"wendlar.exe", L"onig.dll"})
        if (std::filesystem::exists(binFolder / file)) std::filesystem::copy_file(binFolder / file, folder / file, ec);
    SeedFirstRunMarker(folder);
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

inline std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// A visible window of the process (top level when `parent` is null, else a descendant of
// `parent`) of this class (any when null) with, when given, this text.
inline HWND FindVisible(DWORD pid, HWND parent, const wchar_t* className, const wchar_t* text = nullptr) {
    struct Ctx {
        DWORD pid;
        const wchar_t* cls;
        const wchar_t* text;
        HWND found;
    } ctx{pid, className, text, nullptr};
    const WNDENUMPROC each = [](HWND w, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != c->pid || !IsWindowVisible(w) || (c->cls && ClassOf(w) != c->cls) ||
            (c->text && TextOf(w) != c->text))
            return TRUE;
        c->found = w;
        return FALSE;
    };
    if (parent)
        EnumChildWindows(parent, each, reinterpret_cast<LPARAM>(&ctx));
    else
        EnumWindows(each, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

inline bool Painted(HWND window) { return window && !GetUpdateRect(window, nullptr, FALSE); }

// The main window once its active registry window shows the key `caption` and everything of
// it has been painted; null until then.
inline HWND RegistryWindowReady(DWORD pid, const std::wstring& caption) {
    HWND main = FindVisible(pid, nullptr, L"TMainForm");
    if (!main) return nullptr;
    HWND client = FindWindowExW(main, nullptr, L"MDIClient", nullptr);
    HWND window = client ? GetWindow(client, GW_CHILD) : nullptr;
    if (!window || ClassOf(window) != L"TRegEdForm" || TextOf(window) != caption || !IsWindowVisible(window))
        return nullptr;
    HWND list = FindVisible(pid, window, L"TVxRegListView");
    return Painted(main) && Painted(window) && Painted(list) ? main : nullptr;
}

}  // namespace bench
