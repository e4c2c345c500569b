// Hive-size tool benchmark: measuring the hive files costs no more than looking each one up in
// its folder, and listing the snapshots costs no more than walking their folder.
//
// - Measuring the nine hive files (all present, in a scratch tree) against FindFirstFileW on
//   the same nine paths, each side repeated; the totals must agree. Aim <= 1.5.
// - Listing a folder of 10,000 snapshots against the folder walk EnumFiles alone collecting
//   the names; the counts must agree. Aim <= 2.
//
// Usage: regsize_bench.exe [rounds]
#include "common/bench_common.h"
#include "registry/files.h"
#include "tools/regsize.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kMeasureRepeats = 2000;
constexpr int kSnapshots = 10000;

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"wendlar_regsize_bench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void MakeFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFileOfSize(const std::wstring& path, DWORD bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::vector<char> data(bytes, 'x');
    DWORD written = 0;
    WriteFile(file, data.data(), bytes, &written, nullptr);
    CloseHandle(file);
}

void RemoveTree(const std::wstring& folder) {
    registry::EnumFiles(folder, false, registry::efAll, [](const std::wstring& path, const WIN32_FIND_DATAW& data) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path);
        else
            DeleteFileW(path.c_str());
    });
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : bench::DefaultRounds;
    bench::PrintLegend();
    const std::wstring root = ScratchFolder();

    // The nine hive files where the tool looks for them.
    const tools::THiveFolders folders{root + L"\\Windows", root + L"\\Profile"};
    const std::wstring config = folders.Windows + L"\\system32\\config";
    const std::wstring classes = folders.Profile + L"\\AppData\\Local\\Microsoft\\Windows";
    MakeFolders(config);
    MakeFolders(classes);
    std::vector<std::wstring> files;
    for (const wchar_t* name : {L"default", L"SAM", L"SECURITY", L"software", L"system", L"BCD-Template", L"COMPONENTS"})
        files.push_back(config + L"\\" + name);
    files.push_back(folders.Profile + L"\\NTUSER.DAT");
    files.push_back(classes + L"\\UsrClass.dat");
    DWORD size = 1000;
    for (const std::wstring& file : files) WriteFileOfSize(file, size += 512);

    int64_t ourTotal = 0, baseTotal = 0;
    const bench::TPair measure = bench::Alternate(
        rounds,
        [&] {
            baseTotal = 0;
            for (int i = 0; i < kMeasureRepeats; ++i)
                for (const std::wstring& file : files) {
                    WIN32_FIND_DATAW data;
                    HANDLE find = FindFirstFileW(file.c_str(), &data);
                    if (find == INVALID_HANDLE_VALUE) continue;
                    baseTotal += (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                    FindClose(find);
                }
        },
        [&] {
            ourTotal = 0;
            for (int i = 0; i < kMeasureRepeats; ++i) ourTotal += tools::TotalSize(tools::MeasureHiveFiles(folders, 6));
        });
    bench::Report("measure the nine hive files x" + std::to_string(kMeasureRepeats), measure, 1.5,
                  ourTotal == baseTotal && ourTotal > 0);

    // A folder of snapshots.
    const std::wstring snapshots = root + L"\\RegSize";
    MakeFolders(snapshots);
    for (int i = 0; i < kSnapshots; ++i) {
        SYSTEMTIME t{};
        t.wYear = 2024;
        t.wMonth = 1 + i % 12;
        t.wDay = 1 + i % 28;
        t.wHour = i / 3600 % 24;
        t.wMinute = i / 60 % 60;
        t.wSecond = i % 60;
        WriteFileOfSize(snapshots + L"\\" + std::to_wstring(i) + L"_" + tools::SnapshotFileName(t), 16);
    }
    size_t ours = 0, base = 0;
    const bench::TPair list = bench::Alternate(
        rounds,
        [&] {
            std::vector<std::wstring> names;
            registry::EnumFiles(snapshots, false, registry::efFiles,
                                [&](const std::wstring&, const WIN32_FIND_DATAW& data) { names.push_back(data.cFileName); });
            base = names.size();
        },
        [&] { ours = tools::ListSnapshots(snapshots).size(); });
    bench::Report("list " + std::to_string(kSnapshots) + " snapshots", list, 2.0, ours == base && ours == kSnapshots);

    RemoveTree(root);
    return bench::Finish();
}
