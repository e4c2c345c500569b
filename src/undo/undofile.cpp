#include "undo/undofile_p.h"

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "controls/wide/widestrings.h"
#include "settings/settingsfiles.h"

#include <windows.h>

namespace undo {

using namespace wide;
using namespace settings;

namespace file {

namespace {

bool FileExists(const std::wstring& fileName) {
    DWORD attributes = GetFileAttributesW(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TReadResult ReadLines(const std::wstring& FileName, std::vector<std::wstring>& Lines) {
    if (!FileExists(FileName)) return TReadResult::Missing;
    TWideStringList list;
    try {
        list.LoadFromFile(FileName);
    } catch (const classlib::Exception&) {
        return TReadResult::Lossy;
    }
    Lines.clear();
    Lines.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) Lines.push_back(list.Get(i));
    return list.LastLoadLossy() ? TReadResult::Lossy : TReadResult::Read;
}

bool WriteLines(const std::wstring& FileName, const std::vector<std::wstring>& Lines) {
    TWideStringList list;
    for (const std::wstring& line : Lines) list.Add(line);
    try {
        list.SaveToFile(FileName);
        return true;
    } catch (const classlib::Exception&) {
        return false;
    }
}

std::wstring SettingsUndoDir() {
    std::wstring exe(MAX_PATH, L'\0');
    while (true) {
        DWORD n = GetModuleFileNameW(nullptr, exe.data(), classlib::Win32Size<DWORD>(exe.size()));
        if (n == 0) return {};
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    return SettingsFolderOf(exe) + L"Undo";
}

std::wstring TempDir() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    return std::wstring(buffer, n);
}

}  // namespace file

}  // namespace undo
