// Extensions, long names, fresh temporary names and the folder walk.
#include "registry/files.h"

#include "classlib/runtime.h"

#include <cstring>
#include <vector>

namespace registry {

// --- Files and folders -----------------------------------------------------------------

bool FileHasExt(const std::wstring& FileName, const std::wstring& Ext) {
    const size_t pos = FileName.find_last_of(L".\\:/");
    const std::wstring ext =
        pos != std::wstring::npos && FileName[pos] == L'.' ? FileName.substr(pos) : L"";
    if (ext.size() != Ext.size()) return false;
    return classlib::SameNameIgnoringCase(ext, Ext);
}

std::wstring GetLongPath(const std::wstring& Path) {
    try {
        std::vector<wchar_t> buffer(4096);
        DWORD n = GetLongPathNameW(Path.c_str(), buffer.data(), classlib::Win32Size<DWORD>(buffer.size()));
        if (n >= buffer.size()) {
            buffer.resize(n + 1);
            n = GetLongPathNameW(Path.c_str(), buffer.data(), classlib::Win32Size<DWORD>(buffer.size()));
        }
        if (n == 0 || n >= buffer.size()) return Path;
        return std::wstring(buffer.data(), n);
    } catch (...) {
        return Path;
    }
}

namespace {
std::wstring ChangeExt(const std::wstring& name, const std::wstring& ext) {
    const size_t pos = name.find_last_of(L".\\:/");
    if (pos != std::wstring::npos && name[pos] == L'.') return name.substr(0, pos) + ext;
    return name + ext;
}
}  // namespace

std::wstring MakeTempFileName(const std::wstring& Dir, const std::wstring& Prefix,
                              const std::wstring& Ext) {
    try {
        for (int attempt = 0; attempt < 100; ++attempt) {
            wchar_t buffer[MAX_PATH + 1] = {};
            if (!GetTempFileNameW(Dir.c_str(), Prefix.c_str(), 0, buffer)) return {};
            const std::wstring tmp = GetLongPath(buffer);
            const std::wstring final = ChangeExt(tmp, Ext);
            if (classlib::SameNameIgnoringCase(final, tmp))
                return final;  // the extension was already Ext
            HANDLE file = CreateFileW(final.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            DeleteFileW(tmp.c_str());
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
                return final;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
                return {};
        }
    } catch (...) {
    }
    return {};
}

std::wstring MakeTempFileNameInTempDir(const std::wstring& Prefix, const std::wstring& Ext) {
    wchar_t dir[4096 + 1] = {};
    if (!GetTempPathW(4096, dir)) return {};
    return MakeTempFileName(dir, Prefix, Ext);
}

void EnumFiles(const std::wstring& Dir, bool Recurse, TEnumFilesMode Mode,
               const TEnumFilesCallback& Callback) {
    try {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW((Dir + L"\\*").c_str(), FindExInfoStandard, &data,
                                       FindExSearchNameMatch, nullptr, 0);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (folder && (std::wcscmp(data.cFileName, L".") == 0 ||
                           std::wcscmp(data.cFileName, L"..") == 0))
                continue;
            const std::wstring fullPath = Dir + L"\\" + data.cFileName;
            if (Mode == efAll || (Mode == efFolders && folder) || (Mode == efFiles && !folder))
                if (Callback) Callback(fullPath, data);
            if (Recurse && folder) EnumFiles(fullPath, Recurse, Mode, Callback);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    } catch (...) {
    }
}

}  // namespace registry
