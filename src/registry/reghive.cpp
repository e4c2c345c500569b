// Hives, privileges and the bridge to the system registry editor.
#include "registry/reghive.h"

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "classlib/streams.h"
#include "registry/files.h"
#include "registry/numbers.h"
#include "registry/registry_p.h"
#include "registry/regops.h"

#include <shellapi.h>

#include <cstring>
#include <cwctype>
#include <mutex>
#include <utility>
#include <vector>

namespace registry {

namespace {

// Hives loaded by this process: (root, subkey), for the whole life of the process.
std::mutex gHiveLock;
std::vector<std::pair<HKEY, std::wstring>> gLoadedHives;

bool RunningOnWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

bool IsHiveRoot(HKEY root) { return root == HKEY_LOCAL_MACHINE || root == HKEY_USERS; }

bool IsSinglePart(const std::wstring& subKey) {
    return !subKey.empty() && subKey.find(L'\\') == std::wstring::npos;
}

// On Windows: the key is named in the system's hive list (\REGISTRY\MACHINE\X or
// \REGISTRY\USER\X).
bool InSystemHiveList(HKEY root, const std::wstring& subKey) {
    TRegKey list;
    if (list.Open(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\hivelist",
                  KEY_READ) != ERROR_SUCCESS)
        return false;
    const std::wstring wanted =
        (root == HKEY_LOCAL_MACHINE ? L"\\REGISTRY\\MACHINE\\" : L"\\REGISTRY\\USER\\") + subKey;
    bool found = false;
    EnumValueNames(list.Get(), [&](const wchar_t* name, DWORD length, DWORD) {
        found = SameRegName(std::wstring(name, length), wanted);
        return !found;
    });
    return found;
}

bool gRegeditRunning = false;

// Starts regedit with `parameters` and waits for it to end with `wait` (a plain blocking
// wait when empty). True when the editor ran to its end.
bool RunRegedit(const std::wstring& parameters, const TProcessWait& wait) {
    if (gRegeditRunning) return false;
    gRegeditRunning = true;
    auto running = classlib::ScopeExit([] { gRegeditRunning = false; });
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetActiveWindow();
    info.lpVerb = L"open";
    info.lpFile = L"regedit.exe";
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOW;
    if (!ShellExecuteExW(&info) || !info.hProcess) return false;
    auto close = classlib::ScopeExit([&] { CloseHandle(info.hProcess); });
    return wait ? wait(info.hProcess) : WaitForSingleObject(info.hProcess, INFINITE) == WAIT_OBJECT_0;
}

bool FileStartsWith(const std::wstring& fileName, const void* prefix, size_t size) {
    HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> buffer(size);
    DWORD read = 0;
    const bool ok = ReadFile(file, buffer.data(), classlib::Win32Size<DWORD>(size), &read, nullptr) &&
                    read == size && std::memcmp(buffer.data(), prefix, size) == 0;
    CloseHandle(file);
    return ok;
}

bool ReadWholeFile(const std::wstring& fileName, std::vector<char>& data) {
    HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = data.empty() || (ReadFile(file, data.data(), classlib::Win32Size<DWORD>(data.size()), &read,
                                       nullptr) &&
                              read == data.size());
    }
    CloseHandle(file);
    return ok;
}

// The text in the system code page; `lossy` is set when a character has no place there (it
// reads as the code page's default character).
std::string ToAnsi(const std::wstring& text, bool& lossy) {
    if (text.empty()) return {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), classlib::Win32Size<int>(text.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), classlib::Win32Size<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    if (usedDefault) lossy = true;
    return out;
}

// Rewrites the data of a hex(2) / hex(7) entry (UTF-16 string bytes) as bytes of the
// system code page, the way a version 4 script stores them.
std::wstring AnsiStringBytes(const std::wstring& hexList, bool& lossy) {
    std::wstring wide;
    std::vector<BYTE> bytes;
    for (size_t i = 0; i < hexList.size();) {
        while (i < hexList.size() && (hexList[i] == L',' || iswspace(hexList[i]) ||
                                      hexList[i] == L'\\'))
            ++i;
        if (i + 1 >= hexList.size()) break;
        bytes.push_back(static_cast<BYTE>(HexDigitValue(hexList[i]) * 16 +
                                          HexDigitValue(hexList[i + 1])));
        i += 2;
    }
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    const std::string ansi = ToAnsi(wide, lossy);
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    for (size_t i = 0; i < ansi.size(); ++i) {
        if (i) out += L',';
        const BYTE b = static_cast<BYTE>(ansi[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// Where the data part of a value line starts ("name"= or @=); npos for other lines.
size_t DataPartStart(const std::wstring& line) {
    if (line.rfind(L"@=", 0) == 0) return 2;
    if (line.empty() || line[0] != L'"') return std::wstring::npos;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == L'\\') {
            ++i;
            continue;
        }
        if (line[i] == L'"')
            return i + 1 < line.size() && line[i + 1] == L'=' ? i + 2 : std::wstring::npos;
    }
    return std::wstring::npos;
}

// The version 4 script (system code page) of a version 5 script text.
std::string UnicodeScriptToAnsi(const std::wstring& script, bool& lossy) {
    std::string out = "REGEDIT4\r\n";
    size_t pos = script.find(L'\n');  // skip the version 5 header line
    pos = pos == std::wstring::npos ? script.size() : pos + 1;
    while (pos < script.size()) {
        // One logical line: a hex data list may go on over physical lines that end with
        // "\"; the pieces are joined into one line without the break and the indentation.
        std::wstring logical;
        bool continuing = false;
        for (;;) {
            size_t end = script.find(L'\n', pos);
            std::wstring physical =
                script.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
            pos = end == std::wstring::npos ? script.size() : end + 1;
            if (!physical.empty() && physical.back() == L'\r') physical.pop_back();
            if (continuing) physical.erase(0, physical.find_first_not_of(L" \t"));
            logical += physical;
            const size_t start = DataPartStart(logical);
            const bool hexData = start != std::wstring::npos &&
                                 logical.compare(start, 3, L"hex") == 0;
            if (hexData && !logical.empty() && logical.back() == L'\\' && pos < script.size()) {
                logical.pop_back();
                continuing = true;
                continue;
            }
            break;
        }
        const size_t start = DataPartStart(logical);
        if (start != std::wstring::npos && (logical.compare(start, 7, L"hex(2):") == 0 ||
                                            logical.compare(start, 7, L"hex(7):") == 0)) {
            logical = logical.substr(0, start + 7) + AnsiStringBytes(logical.substr(start + 7), lossy);
        }
        out += ToAnsi(logical, lossy);
        out += "\r\n";
    }
    return out;
}

}  // namespace

bool IsHiveLoadTarget(const TVxRegKeyClass& Key) {
    return IsHiveRoot(Key.FRootKey) && Key.FPath.empty();
}

bool IsLoadedHiveKey(const TVxRegKeyClass& Key) {
    return IsHiveRoot(Key.FRootKey) && IsSinglePart(Key.FPath);
}

bool EnablePrivilege(const char* Name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueA(nullptr, Name, &privileges.Privileges[0].Luid) != 0;
    if (ok) {
        ok = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr,
                                   nullptr) != 0 &&
             GetLastError() == ERROR_SUCCESS;  // ERROR_NOT_ALL_ASSIGNED otherwise
    }
    CloseHandle(token);
    return ok;
}

bool LoadHive(HKEY Root, const std::wstring& SubKey, const std::wstring& FileName) {
    return NoThrow(
        [&] {
            if (!IsHiveRoot(Root) || !IsSinglePart(SubKey)) {
                SetRegStatus(ERROR_INVALID_PARAMETER);
                return false;
            }
            EnablePrivilege("SeRestorePrivilege");
            const LSTATUS status = RegLoadKeyW(Root, SubKey.c_str(), FileName.c_str());
            SetRegStatus(status);
            if (status != ERROR_SUCCESS) return false;
            std::lock_guard<std::mutex> lock(gHiveLock);
            gLoadedHives.emplace_back(Root, SubKey);
            return true;
        },
        false);
}

bool CanUnloadHive(HKEY Root, const std::wstring& SubKey) {
    return NoThrow(
        [&] {
            if (!IsHiveRoot(Root) || !IsSinglePart(SubKey)) return false;
            {
                std::lock_guard<std::mutex> lock(gHiveLock);
                for (const auto& hive : gLoadedHives)
                    if (hive.first == Root && SameRegName(hive.second, SubKey)) return true;
            }
            return !RunningOnWine() && InSystemHiveList(Root, SubKey);
        },
        false);
}

bool UnloadHive(HKEY Root, const std::wstring& SubKey) {
    return NoThrow(
        [&] {
            if (!CanUnloadHive(Root, SubKey)) {
                SetRegStatus(ERROR_ACCESS_DENIED);
                return false;
            }
            EnablePrivilege("SeRestorePrivilege");
            const LSTATUS status = RegUnLoadKeyW(Root, SubKey.c_str());
            SetRegStatus(status);
            if (status != ERROR_SUCCESS) return false;
            std::lock_guard<std::mutex> lock(gHiveLock);
            for (auto it = gLoadedHives.begin(); it != gLoadedHives.end(); ++it) {
                if (it->first == Root && SameRegName(it->second, SubKey)) {
                    gLoadedHives.erase(it);
                    break;
                }
            }
            return true;
        },
        false);
}

bool SaveKeyToHiveFile(const TVxRegKeyClass& Key, const std::wstring& FileName) {
    return NoThrow(
        [&] {
            EnablePrivilege("SeBackupPrivilege");
            TRegKey key = OpenKeyForWrite(Key);
            if (!key) return false;
            // Save beside the target and move over it, so a failed save leaves an old file
            // whole. RegSaveKeyW refuses an existing file, so the reserved name is freed.
            const std::wstring folder = ExtractParentKeyPath(FileName);
            const std::wstring temp =
                MakeTempFileName(folder.empty() ? L"." : folder, L"hiv", L".tmp");
            if (temp.empty()) {
                SetRegStatus(ERROR_PATH_NOT_FOUND);
                return false;
            }
            DeleteFileW(temp.c_str());
            LSTATUS status = RegSaveKeyW(key.Get(), temp.c_str(), nullptr);
            if (status == ERROR_SUCCESS &&
                !MoveFileExW(temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING))
                status = static_cast<LSTATUS>(GetLastError());
            if (status != ERROR_SUCCESS) DeleteFileW(temp.c_str());
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool RegeditIsRunning() { return gRegeditRunning; }

bool ImportRegFileWithRegedit(const std::wstring& FileName, bool DeleteAfter,
                              const TProcessWait& Wait) {
    return NoThrow(
        [&] {
            if (FileName.empty() || FileName.find(L'"') != std::wstring::npos) return false;
            if (!RunRegedit(L"/S \"" + FileName + L"\"", Wait)) return false;
            if (DeleteAfter) DeleteFileW(FileName.c_str());
            return true;
        },
        false);
}

bool ExportKeyWithRegedit(const TVxRegKeyClass& Key, const std::wstring& FileName,
                          bool Unicode, const TProcessWait& Wait, bool* Lossy) {
    if (Lossy) *Lossy = false;
    return NoThrow(
        [&] {
            if (FileName.empty() || FileName.find(L'"') != std::wstring::npos ||
                Key.FFullPath.empty() || Key.FFullPath.find(L'"') != std::wstring::npos)
                return false;
            // The editor writes into a fresh name beside the target, so an old file of
            // that name is never taken for the result and is replaced only on success.
            const std::wstring folder = ExtractParentKeyPath(FileName);
            const std::wstring temp =
                MakeTempFileName(folder.empty() ? L"." : folder, L"reg", L".reg");
            if (temp.empty()) return false;
            bool ok = RunRegedit(L"/E \"" + temp + L"\" \"" + Key.FFullPath + L"\"", Wait);
            static const wchar_t header[] = L"\xFEFFWindows Registry Editor Version 5.00";
            ok = ok && FileStartsWith(temp, header, sizeof(header) - sizeof(wchar_t));
            if (ok && Unicode) {
                ok = MoveFileExW(temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
            } else if (ok) {
                std::vector<char> bytes;
                ok = ReadWholeFile(temp, bytes) && bytes.size() >= 2;
                if (ok) {
                    std::wstring text((bytes.size() - 2) / 2, L'\0');
                    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
                    bool lossy = false;
                    const std::string ansi = UnicodeScriptToAnsi(text, lossy);
                    if (Lossy) *Lossy = lossy;
                    try {
                        classlib::SaveBytesToFileAtomic(FileName, ansi.data(), ansi.size());
                    } catch (const classlib::Exception&) {
                        ok = false;
                    }
                }
            }
            DeleteFileW(temp.c_str());
            return ok;
        },
        false);
}

}  // namespace registry
