// A small text editor stand-in for the tests of the external editor bridge. It is started
// as "standin_editor.exe MODE PATH", where PATH is the rest of the command line as it came
// (so an unquoted path with blanks arrives whole), or as "standin_editor.exe PATH", which
// works as the utf8 mode, and does to the file what MODE says:
//   keep          reads the file and leaves it alone
//   same          writes the very bytes it read back
//   utf16         appends the line "path=PATH" and saves UTF-16LE with a byte-order mark
//   utf8          appends the same line and saves UTF-8 without a byte-order mark
//   hold:TOKEN    as utf16, then signals the event "WendlarStandinWritten-TOKEN", stays
//                 open until "WendlarStandinRelease-TOKEN" is signalled (at most 60 s) and
//                 signals "WendlarStandinDone-TOKEN" as it ends
// The file is read as UTF-16LE with a byte-order mark, as the bridge saves it.
#include <windows.h>

#include <string>

namespace {

std::wstring NextToken(const wchar_t*& p) {
    while (*p == L' ' || *p == L'\t') ++p;
    std::wstring token;
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) token += *p;
        if (*p == L'"') ++p;
    } else {
        for (; *p && *p != L' ' && *p != L'\t'; ++p) token += *p;
    }
    return token;
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);
    bytes.assign(size, '\0');
    DWORD read = 0;
    const bool ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
    CloseHandle(file);
    return ok;
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(file);
    return ok;
}

std::wstring TextOf(const std::string& bytes) {
    size_t start = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    std::wstring text((bytes.size() - start) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<uint8_t>(bytes[start + 2 * i]) |
                                       static_cast<uint8_t>(bytes[start + 2 * i + 1]) << 8);
    return text;
}

std::string Utf16WithMark(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                            nullptr);
    return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const wchar_t* p = GetCommandLineW();
    NextToken(p);  // the program
    while (*p == L' ' || *p == L'\t') ++p;
    const wchar_t* const rest = p;
    std::wstring mode = NextToken(p);
    if (*p == L' ') ++p;  // one separating blank; the rest is the path as given
    std::wstring path = p;
    if (mode != L"keep" && mode != L"same" && mode != L"utf8" && mode != L"utf16" && mode.rfind(L"hold:", 0) != 0) {
        // No mode: all of it is the path.
        mode = L"utf8";
        path = rest;
    }

    std::string bytes;
    if (!ReadAll(path, bytes)) return 2;
    if (mode == L"keep") return 0;
    if (mode == L"same") return WriteAll(path, bytes) ? 0 : 3;

    const std::wstring text = TextOf(bytes) + L"path=" + path + L"\r\n";
    if (mode == L"utf8") return WriteAll(path, Utf8(text)) ? 0 : 3;
    if (!WriteAll(path, Utf16WithMark(text))) return 3;
    if (mode.rfind(L"hold:", 0) == 0) {
        const std::wstring token = mode.substr(5);
        HANDLE written = OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"WendlarStandinWritten-" + token).c_str());
        HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, (L"WendlarStandinRelease-" + token).c_str());
        if (written) SetEvent(written);
        if (release) WaitForSingleObject(release, 60000);
        HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"WendlarStandinDone-" + token).c_str());
        if (done) SetEvent(done);
        for (HANDLE h : {written, release, done})
            if (h) CloseHandle(h);
    }
    return 0;
}
