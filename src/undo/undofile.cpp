#include "undo/undofile_p.h"

#include "classlib/errors.h"
#include "classlib/streams.h"

#include <windows.h>

#include <cstdint>

namespace undofile {

namespace {

enum class TFileRead { Missing, Read, Failed };

TFileRead ReadBytes(const std::wstring& fileName, std::string& bytes) {
    HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TFileRead::Missing
                                                                              : TFileRead::Failed;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              size.QuadPart < (int64_t{1} << 30);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
              read == bytes.size());
    }
    CloseHandle(file);
    return ok ? TFileRead::Read : TFileRead::Failed;
}

// Strict decoding of 8-bit text; false when a byte sequence has no mapping.
bool DecodeStrict(UINT codePage, const char* data, size_t size, std::wstring& text) {
    text.clear();
    if (size == 0) return true;
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, static_cast<int>(size),
                                nullptr, 0);
    if (n <= 0) return false;
    text.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, static_cast<int>(size),
                               text.data(), n) == n;
}

void SplitLines(const std::wstring& text, std::vector<std::wstring>& lines) {
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
}

}  // namespace

TReadResult ReadLines(const std::wstring& FileName, std::vector<std::wstring>& Lines) {
    std::string bytes;
    switch (ReadBytes(FileName, bytes)) {
        case TFileRead::Missing: return TReadResult::Missing;
        case TFileRead::Failed: return TReadResult::Lossy;
        case TFileRead::Read: break;
    }
    std::wstring text;
    bool clean = true;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        size_t units = (bytes.size() - 2) / 2;
        text.resize(units);
        for (size_t i = 0; i < units; ++i)
            text[i] = static_cast<wchar_t>(b[2 + 2 * i] | (b[3 + 2 * i] << 8));
        clean = (bytes.size() % 2) == 0;
    } else if (bytes.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        clean = DecodeStrict(CP_UTF8, bytes.data() + 3, bytes.size() - 3, text);
    } else {
        clean = DecodeStrict(CP_ACP, bytes.data(), bytes.size(), text);
    }
    if (!clean) return TReadResult::Lossy;
    Lines.clear();
    SplitLines(text, Lines);
    return TReadResult::Read;
}

bool WriteLines(const std::wstring& FileName, const std::vector<std::wstring>& Lines) {
    std::string bytes = "\xFF\xFE";
    auto put = [&bytes](wchar_t c) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    };
    for (const std::wstring& line : Lines) {
        for (wchar_t c : line) put(c);
        put(L'\r');
        put(L'\n');
    }
    try {
        classlib::SaveBytesToFileAtomic(FileName, bytes.data(), bytes.size());
        return true;
    } catch (const classlib::Exception&) {
        return false;
    }
}

std::wstring SettingsUndoDir() {
    std::wstring exe(MAX_PATH, L'\0');
    while (true) {
        DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return {};
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    size_t slash = exe.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    return exe.substr(0, slash + 1) + L"Settings\\Undo";
}

std::wstring TempDir() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    return std::wstring(buffer, n);
}

}  // namespace undofile
