#include "app/addresshistory.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace app {

TAddressHistory::TAddressHistory(std::wstring fileName) : FFileName(std::move(fileName)) {}

std::wstring TAddressHistory::KeyOf(const std::wstring& line) {
    // The sort key of the comparison the lists use (user locale, case ignored): two strings
    // compare equal exactly when their sort keys are equal. Its bytes are kept in a wide
    // string, two to a character.
    const int length = static_cast<int>(line.size());
    const int bytes = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, line.data(), length,
                                   nullptr, 0);
    if (bytes <= 0) return line;
    std::wstring key((static_cast<size_t>(bytes) + 1) / 2, L'\0');
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, line.data(), length,
                 reinterpret_cast<wchar_t*>(key.data()), bytes);
    return key;
}

void TAddressHistory::Load() {
    FKeepFile = false;
    FKeys.clear();
    FKeysBuilt = false;
    const DWORD attributes = GetFileAttributesW(FFileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        FLines.Clear();
        return;
    }
    FLines.LoadFromFile(FFileName);
    FKeepFile = FLines.LastLoadLossy();
}

int TAddressHistory::Add(const std::wstring& path) {
    if (path.empty()) return -1;
    if (!FKeysBuilt) {
        for (int i = 0; i < FLines.Count(); ++i) ++FKeys[KeyOf(FLines.Get(i))];
        FKeysBuilt = true;
    }
    int& count = FKeys[KeyOf(path)];
    // Only a path the set knows is looked for; a new one goes straight to the top.
    const int existing = count > 0 ? FLines.IndexOf(path) : -1;
    if (existing >= 0)
        FLines.Delete(existing);
    else
        ++count;
    FLines.Insert(0, path);
    if (!FKeepFile) Save();
    return existing;
}

void TAddressHistory::Clear() {
    FLines.Clear();
    FKeys.clear();
    FKeysBuilt = true;
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
