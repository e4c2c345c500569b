// Records and the enumerations.
#include "registry/regrecords.h"

#include "classlib/runtime.h"
#include "registry/registry_p.h"

#include <cwchar>

namespace registry {

namespace {
thread_local LSTATUS gLastStatus = ERROR_SUCCESS;
}  // namespace

void SetRegStatus(LSTATUS status) noexcept { gLastStatus = status; }
LSTATUS RegLastStatus() noexcept { return gLastStatus; }

// --- Roots and records -----------------------------------------------------------------

const TRegRoot RegRoots[7] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT", L"HKCR", L"CLASSES_ROOT"},
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"HKCU", L"CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"HKLM", L"MACHINE"},
    {HKEY_USERS, L"HKEY_USERS", L"HKU", L"USERS"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG", L"HKCC", L"CONFIG"},
    {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA", nullptr, L"PERFORMANCE_DATA"},
    {HKEY_DYN_DATA, L"HKEY_DYN_DATA", nullptr, L"DYN_DATA"},
};

std::wstring RootHKeyToName(HKEY root) {
    for (const TRegRoot& r : RegRoots)
        if (r.Key == root) return r.Name;
    return {};
}

std::wstring JoinRegPath(const std::wstring& parent, const std::wstring& name) {
    if (parent.empty()) return name;
    std::wstring result;
    result.reserve(parent.size() + 1 + name.size());
    result += parent;
    result += L'\\';
    result += name;
    return result;
}

TVxRegKeyClass MakeRegKeyRecord(HKEY root, const std::wstring& path) {
    TVxRegKeyClass key;
    const std::wstring rootName = RootHKeyToName(root);
    key.FRootKey = root;
    key.FPath = path;
    if (path.empty()) {
        key.FKeyName = rootName;
    } else {
        const size_t slash = path.rfind(L'\\');
        key.FKeyName = slash == std::wstring::npos ? path : path.substr(slash + 1);
    }
    key.FDisplayName = key.FKeyName;
    key.FFullPath = path.empty() ? rootName : rootName + L'\\' + path;
    return key;
}

TRegKey OpenKeyForRead(const TVxRegKeyClass& Key) {
    TRegKey key;
    SetRegStatus(key.Open(Key.FRootKey, Key.FPath, KEY_READ));
    return key;
}

TRegKey OpenKeyForWrite(const TVxRegKeyClass& Key) {
    TRegKey key;
    SetRegStatus(key.Open(Key.FRootKey, Key.FPath, KEY_ALL_ACCESS));
    return key;
}

// --- Enumerations ----------------------------------------------------------------------

namespace {
void ListRootKeysUnguarded(TVxRegKeyList& List, const std::wstring& ComputerName) {
    auto add = [&](HKEY handle, const wchar_t* name) {
        auto record = std::make_unique<TVxRegKeyClass>();
        record->FDisplayName = record->FKeyName = record->FFullPath = name;
        record->FRootKey = handle;
        record->FComputerName = ComputerName;
        List.push_back(std::move(record));
    };
    if (ComputerName.empty()) {
        for (const TRegRoot& r : RegRoots) {
            HKEY handle = nullptr;
            if (RegOpenKeyExW(r.Key, nullptr, 0, KEY_READ, &handle) != ERROR_SUCCESS)
                continue;
            // Opening a predefined root without a subkey gives the root back; any other
            // handle is not kept (records of the local registry hold the predefined value).
            if (handle != r.Key) TRegKey closer(handle);
            add(r.Key, r.Name);
        }
        return;
    }
    static const int remoteOrder[] = {2, 3, 5, 6, 4};  // HKLM, HKU, HKPD, HKDD, HKCC
    for (int i : remoteOrder) {
        HKEY handle = nullptr;
        if (RegConnectRegistryW(ComputerName.c_str(), RegRoots[i].Key, &handle) == ERROR_SUCCESS)
            add(handle, RegRoots[i].Name);
    }
}
}  // namespace

void ListRootKeys(TVxRegKeyList& List, const std::wstring& ComputerName) {
    NoThrow([&] { ListRootKeysUnguarded(List, ComputerName); return true; }, false);
}

namespace {

// FileTimeToLocalFileTime applies the current time-zone bias (not the one of the given
// date), so one enumeration takes it once instead of asking the system per record.
int64_t CurrentLocalBias() {
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    if (!FileTimeToLocalFileTime(&utc, &local)) return 0;
    ULARGE_INTEGER a{}, b{};
    a.LowPart = utc.dwLowDateTime;
    a.HighPart = utc.dwHighDateTime;
    b.LowPart = local.dwLowDateTime;
    b.HighPart = local.dwHighDateTime;
    return static_cast<int64_t>(b.QuadPart - a.QuadPart);
}

// Days since 1899-12-30 of a UTC FILETIME moved by `bias` (100 ns units), to whole ms.
double FileTimeToDateTime(const FILETIME& fileTime, int64_t bias) {
    if (fileTime.dwLowDateTime == 0 && fileTime.dwHighDateTime == 0) return 0;
    ULARGE_INTEGER t{};
    t.LowPart = fileTime.dwLowDateTime;
    t.HighPart = fileTime.dwHighDateTime;
    const int64_t local = static_cast<int64_t>(t.QuadPart) + bias;
    const int64_t ms = local / 10000;
    constexpr int64_t kMsPerDay = 86400000;
    constexpr int64_t kDays1601To1899 = 109205;  // 1601-01-01 to 1899-12-30
    return static_cast<double>(ms / kMsPerDay - kDays1601To1899) +
           static_cast<double>(ms % kMsPerDay) / kMsPerDay;
}

}  // namespace

double FileTimeToLocalDateTime(const FILETIME& FileTime) {
    if (FileTime.dwLowDateTime == 0 && FileTime.dwHighDateTime == 0) return 0;
    return FileTimeToDateTime(FileTime, CurrentLocalBias());
}

LSTATUS QueryKeyInfo(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                     DWORD* maxValueNameLen, DWORD* maxValueLen) noexcept {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subKeys, maxSubKeyLen, nullptr,
                            values, maxValueNameLen, maxValueLen, nullptr, nullptr);
}

LSTATUS EnumSubKeyNames(HKEY key, const TSubKeyVisitor& visit, const DWORD* maxNameLength) {
    DWORD maxLen = maxNameLength ? *maxNameLength : 0;
    LSTATUS status = maxNameLength ? ERROR_SUCCESS : QueryKeyInfo(key, nullptr, &maxLen, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    std::vector<wchar_t> buffer(maxLen + 261);
    for (DWORD index = 0;; ++index) {
        bool retried = false;
        for (;;) {
            DWORD count = classlib::Win32Size<DWORD>(buffer.size());
            buffer[0] = 0;
            FILETIME written{};
            status = RegEnumKeyExW(key, index, buffer.data(), &count, nullptr, nullptr, nullptr,
                                   &written);
            if (status == ERROR_MORE_DATA && !retried) {
                // A longer name appeared since the query: enlarge once to the limit.
                retried = true;
                buffer.assign(32768, 0);
                continue;
            }
            if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
            if (status != ERROR_SUCCESS) return status;  // deleted meanwhile, access...
            if (count > 0) {
                if (!visit(buffer.data(), count, written)) return ERROR_SUCCESS;
            }
            break;
        }
    }
}

LSTATUS EnumValueNames(HKEY key, const TValueVisitor& visit) {
    DWORD maxLen = 0;
    LSTATUS status = QueryKeyInfo(key, nullptr, nullptr, nullptr, &maxLen, nullptr);
    if (status != ERROR_SUCCESS) return status;
    std::vector<wchar_t> buffer(maxLen + 1);
    for (DWORD index = 0;; ++index) {
        bool retried = false;
        for (;;) {
            DWORD count = classlib::Win32Size<DWORD>(buffer.size());
            buffer[0] = 0;
            DWORD type = 0;
            status = RegEnumValueW(key, index, buffer.data(), &count, nullptr, &type, nullptr,
                                   nullptr);
            if (status == ERROR_MORE_DATA && !retried) {
                retried = true;
                buffer.assign(32768, 0);
                continue;
            }
            if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
            if (status != ERROR_SUCCESS) return status;
            if (!visit(buffer.data(), count, type)) return ERROR_SUCCESS;
            break;
        }
    }
}

namespace {
// With Writable: KEY_ALL_ACCESS, and KEY_READ only when that fails (*Writable tells which).
TRegKey OpenKeyForListing(const TVxRegKeyClass& Key, bool* Writable) {
    if (!Writable) return OpenKeyForRead(Key);
    TRegKey key;
    *Writable = key.Open(Key.FRootKey, Key.FPath, KEY_ALL_ACCESS) == ERROR_SUCCESS;
    if (!*Writable) key = OpenKeyForRead(Key);
    return key;
}
}  // namespace

bool ListSubKeyNames(const TVxRegKeyClass& Key, const TSubKeyNameVisitor& Visit, bool* Writable) {
    return NoThrow(
        [&] {
            TRegKey key = OpenKeyForListing(Key, Writable);
            if (!key) return false;
            DWORD subKeys = 0, maxLen = 0;
            LSTATUS status = QueryKeyInfo(key.Get(), &subKeys, &maxLen, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS) {
                SetRegStatus(status);
                return false;
            }
            // The count answers for a key without subkeys: no enumeration call.
            if (subKeys > 0) {
                const int64_t bias = CurrentLocalBias();
                status = EnumSubKeyNames(
                    key.Get(),
                    [&](const wchar_t* name, DWORD length, const FILETIME& written) {
                        return Visit(name, length, FileTimeToDateTime(written, bias));
                    },
                    &maxLen);
            }
            SetRegStatus(status);
            return true;
        },
        false);
}

bool ListSubKeys(TVxRegKeyList& List, const TVxRegKeyClass& Key) {
    return ListSubKeyNames(Key, [&](const wchar_t* name, size_t length, double lastWriteTime) {
        auto record = std::make_unique<TVxRegKeyClass>();
        record->FKeyName.assign(name, length);
        record->FDisplayName = record->FKeyName;
        record->FPath = JoinRegPath(Key.FPath, record->FKeyName);
        record->FFullPath = JoinRegPath(Key.FFullPath, record->FKeyName);
        record->FRootKey = Key.FRootKey;
        record->FLastWriteTime = lastWriteTime;
        List.push_back(std::move(record));
        return true;
    });
}

bool ListRegValues(TVxRegValueList& List, const TVxRegKeyClass& Key, bool* Writable) {
    return NoThrow(
        [&] {
            TRegKey key = OpenKeyForListing(Key, Writable);
            if (!key) return false;
            DWORD count = 0;
            LSTATUS status = QueryKeyInfo(key.Get(), nullptr, nullptr, &count, nullptr, nullptr);
            if (status != ERROR_SUCCESS) {
                SetRegStatus(status);
                return false;
            }
            List.reserve(List.size() + count);
            const std::wstring prefix = Key.FFullPath + L'\\';
            status = EnumValueNames(key.Get(), [&](const wchar_t* name, DWORD length, DWORD type) {
                auto record = std::make_unique<TVxRegValueClass>();
                record->FValueName.assign(name, length);
                record->FDisplayName = record->FValueName;
                record->FRootKey = Key.FRootKey;
                record->FKeyName = Key.FKeyName;
                record->FPath = Key.FPath;
                record->FFullPath.reserve(prefix.size() + length);
                record->FFullPath = prefix;
                record->FFullPath += record->FValueName;
                record->FValueType = type;
                List.push_back(std::move(record));
                return true;
            });
            SetRegStatus(status);
            return true;
        },
        false);
}

LSTATUS QueryRegValueRaw(HKEY key, const std::wstring& name, DWORD& type,
                         std::vector<BYTE>& data) noexcept {
    try {
        std::vector<BYTE> buffer(256);
        // The data may grow between calls (another process writing); a few rounds bound it.
        for (int round = 0; round < 8; ++round) {
            DWORD size = classlib::Win32Size<DWORD>(buffer.size());
            DWORD valueType = 0;
            LSTATUS status =
                RegQueryValueExW(key, name.c_str(), nullptr, &valueType, buffer.data(), &size);
            if (status == ERROR_SUCCESS) {
                buffer.resize(size);
                type = valueType;
                data.swap(buffer);
                return ERROR_SUCCESS;
            }
            if (status != ERROR_MORE_DATA) return status;
            buffer.resize(static_cast<size_t>(size) > buffer.size() ? size + 16
                                                                    : buffer.size() * 2);
        }
        return ERROR_MORE_DATA;
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

}  // namespace registry
