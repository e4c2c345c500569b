#include "app/addresshistory.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace app {

TAddressHistory::TAddressHistory(std::wstring fileName) : FFileName(std::move(fileName)) {}

void TAddressHistory::Load() {
    FKeepFile = false;
    const DWORD attributes = GetFileAttributesW(FFileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        FLines.Clear();
        return;
    }
    FLines.LoadFromFile(FFileName);
    FKeepFile = FLines.LastLoadLossy();
}

void TAddressHistory::Add(const std::wstring& path) {
    if (path.empty()) return;
    const int existing = FLines.IndexOf(path);
    if (existing >= 0) FLines.Delete(existing);
    FLines.Insert(0, path);
    if (!FKeepFile) Save();
}

void TAddressHistory::Clear() {
    FLines.Clear();
    FKeepFile = false;
    Save();
}

void TAddressHistory::Save() {
    const std::filesystem::path folder = std::filesystem::path(FFileName).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    FLines.SaveToFile(FFileName);  // raises when it cannot be written
}

}  // namespace app
