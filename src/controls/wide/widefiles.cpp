#include "controls/wide/widefiles.h"

#include "classlib/streams.h"

#include <vector>

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "controls/wide/widewin32.h"
#include "controls/wide/wideutils.h"

namespace wide {

namespace {

std::wstring CreateErrorText(const std::wstring& fileName, DWORD error) {
    return L"ファイル \"" + WideExpandFileName(fileName) + L"\" を作成できません。" +
           WideSysErrorMessage(error);
}

std::wstring OpenErrorText(const std::wstring& fileName, DWORD error) {
    return L"ファイル \"" + WideExpandFileName(fileName) + L"\" は開けません。" + WideSysErrorMessage(error);
}

HANDLE OpenOrCreate(const std::wstring& fileName, unsigned mode) {
    HANDLE handle = mode == classlib::fmCreate ? WideFileCreate(fileName) : WideFileOpen(fileName, mode);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (mode == classlib::fmCreate)
            throw classlib::EFCreateError(CreateErrorText(fileName, error));
        throw classlib::EFOpenError(OpenErrorText(fileName, error));
    }
    return handle;
}

}  // namespace

std::wstring WideExpandFileName(const std::wstring& s) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        wchar_t* filePart = nullptr;
        const DWORD len =
            GetFullPathNameW(s.c_str(), classlib::Win32Size<DWORD>(buffer.size()), buffer.data(), &filePart);
        if (len == 0)
            return s;
        if (len < buffer.size())
            return std::wstring(buffer.data(), len);
        buffer.resize(len + 1);
    }
}

HANDLE WideFileCreate(const std::wstring& fileName) {
    return CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE WideFileOpen(const std::wstring& fileName, unsigned mode) {
    static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD kShare[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    const unsigned access = mode & 3;
    const unsigned share = (mode & 0xF0) >> 4;
    if (access >= 3 || share >= 5) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(fileName.c_str(), kAccess[access], kShare[share], nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WideFileExists(const std::wstring& fileName) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(fileName.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WideDirectoryExists(const std::wstring& name) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WideForceDirectories(const std::wstring& dir) {
    if (dir.empty())
        throw EWideGeneralError(L"ディレクトリを作成できません");
    const std::wstring path = WideExcludeTrailingBackslash(dir);
    if (path.size() < 3 || WideDirectoryExists(path) || WideExtractFilePath(path) == path)
        return true;
    return WideForceDirectories(WideExtractFilePath(path)) &&
           CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

void WideWriteFileAtomic(const std::wstring& fileName, const void* data, size_t size) {
    classlib::SaveBytesToFileAtomic(fileName, data, size);
}

TWideFileStream::TWideFileStream(const std::wstring& fileName, unsigned mode)
    : classlib::THandleStream(OpenOrCreate(fileName, mode)) {}

TWideFileStream::~TWideFileStream() {
    if (FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr)
        CloseHandle(FHandle);
}

void TWideMemoryStream::LoadFromFile(const std::wstring& fileName) {
    TWideFileStream stream(fileName, classlib::fmOpenRead | classlib::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TWideMemoryStream::SaveToFile(const std::wstring& fileName) {
    WideWriteFileAtomic(fileName, Memory(), static_cast<size_t>(Size()));
}

}  // namespace wide
