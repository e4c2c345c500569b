// Key and value operations and key-path functions.
#include "registry/regops.h"

#include "classlib/runtime.h"
#include "registry/registry_p.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace registry {

namespace {

// Same root and the same key (paths equal ignoring case).
bool SameKey(const TVxRegKeyClass& a, const TVxRegKeyClass& b) {
    return a.FRootKey == b.FRootKey && SameRegName(a.FPath, b.FPath);
}

// Copies every value of `src` into `dst` in one enumeration pass that reads names and data
// together into two reused buffers.
LSTATUS CopyValuesOpen(HKEY src, HKEY dst) {
    DWORD maxName = 0, maxData = 0;
    LSTATUS status = QueryKeyInfo(src, nullptr, nullptr, nullptr, &maxName, &maxData);
    if (status != ERROR_SUCCESS) return status;
    std::vector<wchar_t> name(maxName + 1);
    std::vector<BYTE> data(maxData ? maxData : 1);
    for (DWORD index = 0;; ++index) {
        bool retried = false;
        for (;;) {
            DWORD nameLen = classlib::Win32Size<DWORD>(name.size());
            DWORD dataLen = classlib::Win32Size<DWORD>(data.size());
            DWORD type = 0;
            status = RegEnumValueW(src, index, name.data(), &nameLen, nullptr, &type,
                                   data.data(), &dataLen);
            if (status == ERROR_MORE_DATA && !retried) {
                // Something grew since the query: enlarge both buffers and retry once.
                retried = true;
                if (name.size() < 32768) name.assign(32768, 0);
                QueryKeyInfo(src, nullptr, nullptr, nullptr, nullptr, &maxData);
                data.assign(std::max<size_t>({data.size() * 2, static_cast<size_t>(maxData),
                                              static_cast<size_t>(dataLen)}),
                            0);
                continue;
            }
            if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
            if (status != ERROR_SUCCESS) return status;
            // Through the guarded writer: string data without its NUL keeps its length.
            status = SetRegValueRaw(dst, std::wstring(name.data(), nameLen), type, data.data(), dataLen);
            if (status != ERROR_SUCCESS) return status;
            break;
        }
    }
}

// Counts the keys of a tree operation for its progress callback.
struct TTreeCounter {
    const TRegTreeProgress* Report = nullptr;
    bool MayCancel = true;
    size_t Done = 0;

    // One more key done; False when the caller asked to stop.
    bool Step() {
        ++Done;
        if (!Report || !*Report) return true;
        return (*Report)(Done) || !MayCancel;
    }
};

// Deletes subkey `name` of the open `parent` with everything below it, deepest first, one
// key at a time so that the counter can report and stop between keys.
LSTATUS DeleteTreeOpen(HKEY parent, const std::wstring& name, TTreeCounter& counter) {
    std::vector<std::wstring> names;
    {
        TRegKey key;
        LSTATUS status = key.Open(parent, name, KEY_ALL_ACCESS);
        if (status != ERROR_SUCCESS) return status;
        status = EnumSubKeyNames(key.Get(), [&](const wchar_t* child, DWORD length,
                                                const FILETIME&) {
            names.emplace_back(child, length);
            return true;
        });
        if (status != ERROR_SUCCESS) return status;
        for (const std::wstring& child : names) {
            status = DeleteTreeOpen(key.Get(), child, counter);
            if (status != ERROR_SUCCESS) return status;
        }
    }
    LSTATUS status = RegDeleteKeyW(parent, name.c_str());
    if (status != ERROR_SUCCESS) return status;
    return counter.Step() ? ERROR_SUCCESS : ERROR_CANCELLED;
}

// Recreates the subkey tree of `src` below `dst` (both open), depth first. The subkey list
// of each level is taken before anything is created there. Keys created new (not merged
// into) are noted in `created` (their paths below `dstRoot`), the topmost only, so a
// failed move can remove exactly what it made.
LSTATUS CopySubKeysOpen(HKEY src, HKEY dst, const std::wstring& dstPath, bool dstIsNew,
                        std::vector<std::wstring>* created, TTreeCounter& counter) {
    std::vector<std::wstring> names;
    LSTATUS status = EnumSubKeyNames(src, [&](const wchar_t* name, DWORD length,
                                              const FILETIME&) {
        names.emplace_back(name, length);
        return true;
    });
    if (status != ERROR_SUCCESS) return status;
    for (const std::wstring& name : names) {
        TRegKey srcChild;
        status = srcChild.Open(src, name, KEY_READ);
        if (status != ERROR_SUCCESS) return status;
        TRegKey dstChild;
        DWORD disposition = 0;
        status = dstChild.Create(dst, name, KEY_ALL_ACCESS, &disposition);
        if (status != ERROR_SUCCESS) return status;
        const bool childIsNew = dstIsNew || disposition == REG_CREATED_NEW_KEY;
        const std::wstring childPath = JoinRegPath(dstPath, name);
        if (created && !dstIsNew && childIsNew) created->push_back(childPath);
        status = CopyValuesOpen(srcChild.Get(), dstChild.Get());
        if (status != ERROR_SUCCESS) return status;
        status = CopySubKeysOpen(srcChild.Get(), dstChild.Get(), childPath, childIsNew, created,
                                 counter);
        if (status != ERROR_SUCCESS) return status;
        if (!counter.Step()) return ERROR_CANCELLED;
    }
    return ERROR_SUCCESS;
}

// The copy behind CopyRegKey and MoveRegKey. `created` receives the topmost keys the copy
// made new (the destination itself when it did not exist).
bool CopyKeyTree(HKEY srcRoot, const std::wstring& srcPath, HKEY dstRoot,
                 const std::wstring& dstParent, const std::wstring& newName,
                 std::vector<std::wstring>* created, TTreeCounter& counter) {
    if (newName.empty()) {
        SetRegStatus(ERROR_INVALID_PARAMETER);
        return false;
    }
    const std::wstring dstPath = JoinRegPath(dstParent, newName);
    // A copy into the source's own subtree would read what it writes and never end cleanly.
    if (srcRoot == dstRoot && RegPathIsSameOrInside(dstPath, srcPath)) {
        SetRegStatus(ERROR_INVALID_PARAMETER);
        return false;
    }
    TRegKey src;
    LSTATUS status = src.Open(srcRoot, srcPath, KEY_READ);
    if (status != ERROR_SUCCESS) {
        SetRegStatus(status);
        return false;
    }
    TRegKey parent;
    status = parent.Open(dstRoot, dstParent, KEY_READ);
    if (status != ERROR_SUCCESS) {
        SetRegStatus(status);
        return false;
    }
    TRegKey dst;
    DWORD disposition = 0;
    status = dst.Create(parent.Get(), newName, KEY_ALL_ACCESS, &disposition);
    if (status != ERROR_SUCCESS) {
        SetRegStatus(status);
        return false;
    }
    const bool dstIsNew = disposition == REG_CREATED_NEW_KEY;
    if (created && dstIsNew) created->push_back(dstPath);
    status = CopyValuesOpen(src.Get(), dst.Get());
    if (status == ERROR_SUCCESS)
        status = CopySubKeysOpen(src.Get(), dst.Get(), dstPath, dstIsNew, created, counter);
    if (status == ERROR_SUCCESS) counter.Step();  // the key itself; the copy is whole now
    SetRegStatus(status);
    return status == ERROR_SUCCESS;
}

}  // namespace

// --- Helpers ---------------------------------------------------------------------------

bool SameRegName(const std::wstring& A, const std::wstring& B) {
    return classlib::SameNameIgnoringCase(A, B);
}

bool RegPathIsSameOrInside(const std::wstring& path, const std::wstring& base) {
    if (base.empty()) return true;
    if (path.size() < base.size()) return false;
    if (path.size() > base.size() && path[base.size()] != L'\\') return false;
    return classlib::SameNameIgnoringCase(std::wstring_view(path).substr(0, base.size()), base);
}

bool RegPathIsWellFormed(const std::wstring& path) {
    if (path.empty() || path.front() == L'\\' || path.back() == L'\\') return false;
    return path.find(L"\\\\") == std::wstring::npos;
}

LSTATUS SetRegValueRaw(HKEY key, const std::wstring& name, DWORD type, const void* data,
                       size_t size) noexcept {
    // Too big for the call: refused here, as the function must not throw.
    if (!std::in_range<DWORD>(size)) return ERROR_INVALID_PARAMETER;
    if (size && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        // The system's setter adds a NUL to string data that does not end in one when a
        // NUL character follows the data in memory. Written from a copy followed by a
        // non-NUL guard, the value keeps exactly its bytes.
        try {
            std::vector<BYTE> guarded(size + 2, 0xFF);
            std::memcpy(guarded.data(), data, size);
            return RegSetValueExW(key, name.c_str(), 0, type, guarded.data(),
                                  classlib::Win32Size<DWORD>(size));
        } catch (const std::bad_alloc&) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    return RegSetValueExW(key, name.c_str(), 0, type,
                          size ? static_cast<const BYTE*>(data) : nullptr,
                          classlib::Win32Size<DWORD>(size));
}

// --- Values ----------------------------------------------------------------------------

bool RegNumberHasWrongSize(DWORD Type, size_t Size) {
    return ((Type == REG_DWORD || Type == REG_DWORD_BIG_ENDIAN) && Size != 4) ||
           (Type == REG_QWORD && Size != 8);
}

bool ReadRegValueToStream(const TVxRegKeyClass& Key, const std::wstring& Name,
                          classlib::TMemoryStream& Stream, DWORD& Type, bool& SizeMismatch) {
    return NoThrow(
        [&] {
            TRegKey key = OpenKeyForRead(Key);
            if (!key) return false;
            DWORD type = 0;
            std::vector<BYTE> data;
            LSTATUS status = QueryRegValueRaw(key.Get(), Name, type, data);
            SetRegStatus(status);
            if (status != ERROR_SUCCESS) return false;
            // The stream gets exactly the value's bytes: stale bytes of an earlier content
            // would otherwise be taken for data.
            Stream.SetSize(0);
            if (!data.empty()) Stream.WriteBuffer(data.data(), data.size());
            Type = type;
            SizeMismatch = RegNumberHasWrongSize(type, data.size());
            return true;
        },
        false);
}

bool WriteRegValueFromStream(const TVxRegKeyClass& Key, const std::wstring& Name,
                             classlib::TCustomMemoryStream& Stream, DWORD Type) {
    return NoThrow(
        [&] {
            TRegKey key = OpenKeyForWrite(Key);
            if (!key) return false;
            LSTATUS status = SetRegValueRaw(key.Get(), Name, Type, Stream.Memory(),
                                            static_cast<size_t>(Stream.Size()));
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

DWORD GetRegValueType(const TVxRegKeyClass& Key, const std::wstring& Name) {
    return NoThrow(
        [&]() -> DWORD {
            TRegKey key = OpenKeyForRead(Key);
            if (!key) return 0;
            DWORD type = 0;
            LSTATUS status =
                RegQueryValueExW(key.Get(), Name.c_str(), nullptr, &type, nullptr, nullptr);
            SetRegStatus(status);
            return status == ERROR_SUCCESS ? type : 0;
        },
        DWORD(0));
}

bool RegValueExists(const TVxRegKeyClass& Key, const std::wstring& Name) {
    return NoThrow(
        [&] {
            TRegKey key = OpenKeyForRead(Key);
            if (!key) return false;
            LSTATUS status =
                RegQueryValueExW(key.Get(), Name.c_str(), nullptr, nullptr, nullptr, nullptr);
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool DeleteRegValue(const TVxRegKeyClass& Key, const std::wstring& Name) {
    return NoThrow(
        [&] {
            TRegKey key = OpenKeyForWrite(Key);
            if (!key) return false;
            LSTATUS status = RegDeleteValueW(key.Get(), Name.c_str());
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool CopyRegValue(const TVxRegKeyClass& SrcKey, const std::wstring& SrcName,
                  const TVxRegKeyClass& DstKey, const std::wstring& DstName) {
    return NoThrow(
        [&] {
            TRegKey src = OpenKeyForRead(SrcKey);
            if (!src) return false;
            DWORD type = 0;
            std::vector<BYTE> data;
            LSTATUS status = QueryRegValueRaw(src.Get(), SrcName, type, data);
            if (status != ERROR_SUCCESS) {
                SetRegStatus(status);
                return false;
            }
            TRegKey dst = OpenKeyForWrite(DstKey);
            if (!dst) return false;
            status = SetRegValueRaw(dst.Get(), DstName, type, data.data(), data.size());
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool MoveRegValue(const TVxRegKeyClass& SrcKey, const std::wstring& SrcName,
                  const TVxRegKeyClass& DstKey, const std::wstring& DstName) {
    if (SameKey(SrcKey, DstKey) && SameRegName(SrcName, DstName)) {
        // The registry would treat both names as one value: copying and then deleting the
        // source would delete the only copy.
        SetRegStatus(ERROR_ALREADY_EXISTS);
        return false;
    }
    if (!CopyRegValue(SrcKey, SrcName, DstKey, DstName)) return false;
    return DeleteRegValue(SrcKey, SrcName);
}

bool RenameRegValue(const TVxRegKeyClass& Key, const std::wstring& OldName,
                    const std::wstring& NewName) {
    if (SameRegName(OldName, NewName)) {
        SetRegStatus(ERROR_ALREADY_EXISTS);
        return false;
    }
    return MoveRegValue(Key, OldName, Key, NewName);
}

// --- Keys ------------------------------------------------------------------------------

bool CreateSubKey(const TVxRegKeyClass& Key, const std::wstring& Name, bool* AlreadyExisted) {
    return NoThrow(
        [&] {
            if (Name.empty()) {
                SetRegStatus(ERROR_INVALID_PARAMETER);
                return false;
            }
            TRegKey parent = OpenKeyForRead(Key);
            if (!parent) return false;
            TRegKey created;
            DWORD disposition = 0;
            LSTATUS status = created.Create(parent.Get(), Name, KEY_ALL_ACCESS, &disposition);
            SetRegStatus(status);
            if (status != ERROR_SUCCESS) return false;
            if (AlreadyExisted) *AlreadyExisted = disposition == REG_OPENED_EXISTING_KEY;
            return true;
        },
        false);
}

bool SubKeyExists(const TVxRegKeyClass& Key, const std::wstring& Name) {
    return NoThrow(
        [&] {
            TRegKey key;
            LSTATUS status = key.Open(Key.FRootKey, JoinRegPath(Key.FPath, Name), KEY_READ);
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool SiblingKeyExists(const TVxRegKeyClass& Key, const std::wstring& Name) {
    return NoThrow(
        [&] {
            TRegKey key;
            LSTATUS status = key.Open(
                Key.FRootKey, JoinRegPath(ExtractParentKeyPath(Key.FPath), Name), KEY_READ);
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool KeyHasSubKeys(HKEY Root, const std::wstring& Path) {
    TRegKey key;
    LSTATUS status = key.Open(Root, Path, KEY_READ);
    DWORD count = 0;
    if (status == ERROR_SUCCESS)
        status = QueryKeyInfo(key.Get(), &count, nullptr, nullptr, nullptr, nullptr);
    SetRegStatus(status);
    return status == ERROR_SUCCESS && count > 0;
}

bool DeleteRegKeyTree(HKEY Root, const std::wstring& Path, const TRegTreeProgress* Progress) {
    return NoThrow(
        [&] {
            // An empty part would make the last part empty and the "parent" the key the
            // caller did not mean; a root itself is never deleted.
            if (!RegPathIsWellFormed(Path)) {
                SetRegStatus(ERROR_INVALID_PARAMETER);
                return false;
            }
            TRegKey parent;
            LSTATUS status = parent.Open(Root, ExtractParentKeyPath(Path), KEY_ALL_ACCESS);
            if (status == ERROR_SUCCESS && Progress && *Progress) {
                TTreeCounter counter{Progress};
                status = DeleteTreeOpen(parent.Get(), ExtractKeyName(Path), counter);
            } else if (status == ERROR_SUCCESS) {
                status = RegDeleteTreeW(parent.Get(), ExtractKeyName(Path).c_str());
            }
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool CopyRegValues(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                   const std::wstring& DstPath) {
    return NoThrow(
        [&] {
            TRegKey src, dst;
            LSTATUS status = src.Open(SrcRoot, SrcPath, KEY_READ);
            if (status == ERROR_SUCCESS) status = dst.Open(DstRoot, DstPath, KEY_ALL_ACCESS);
            if (status == ERROR_SUCCESS) status = CopyValuesOpen(src.Get(), dst.Get());
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool CopyRegSubKeys(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                    const std::wstring& DstPath) {
    return NoThrow(
        [&] {
            if (SrcRoot == DstRoot && RegPathIsSameOrInside(DstPath, SrcPath)) {
                SetRegStatus(ERROR_INVALID_PARAMETER);
                return false;
            }
            TRegKey src, dst;
            LSTATUS status = src.Open(SrcRoot, SrcPath, KEY_READ);
            if (status == ERROR_SUCCESS) status = dst.Open(DstRoot, DstPath, KEY_ALL_ACCESS);
            TTreeCounter counter;
            if (status == ERROR_SUCCESS)
                status = CopySubKeysOpen(src.Get(), dst.Get(), DstPath, false, nullptr, counter);
            SetRegStatus(status);
            return status == ERROR_SUCCESS;
        },
        false);
}

bool CopyRegKey(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                const std::wstring& DstParent, const std::wstring& NewName,
                const TRegTreeProgress* Progress) {
    return NoThrow(
        [&] {
            TTreeCounter counter{Progress};
            return CopyKeyTree(SrcRoot, SrcPath, DstRoot, DstParent, NewName, nullptr, counter);
        },
        false);
}

bool MoveRegKey(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                const std::wstring& DstParent, const std::wstring& NewName,
                const TRegTreeProgress* Progress) {
    return NoThrow(
        [&] {
            if (!RegPathIsWellFormed(SrcPath)) {
                SetRegStatus(ERROR_INVALID_PARAMETER);
                return false;
            }
            const std::wstring dstPath = JoinRegPath(DstParent, NewName);
            // Moving a key onto itself or into a key that contains it would delete the
            // destination's data together with the source.
            if (SrcRoot == DstRoot && (RegPathIsSameOrInside(dstPath, SrcPath) ||
                                       RegPathIsSameOrInside(SrcPath, dstPath))) {
                SetRegStatus(ERROR_ALREADY_EXISTS);
                return false;
            }
            std::vector<std::wstring> created;
            TTreeCounter counter{Progress};
            if (!CopyKeyTree(SrcRoot, SrcPath, DstRoot, DstParent, NewName, &created, counter)) {
                const LSTATUS status = RegLastStatus();
                // Remove only what the copy made; a destination merged into stays.
                for (auto it = created.rbegin(); it != created.rend(); ++it)
                    DeleteRegKeyTree(DstRoot, *it);
                SetRegStatus(status);
                return false;
            }
            if (!Progress || !*Progress) return DeleteRegKeyTree(SrcRoot, SrcPath);
            // The copy is whole: the deletion is reported, going on through a cancel.
            const size_t copied = counter.Done;
            const TRegTreeProgress report = [&](size_t done) {
                (*Progress)(copied + done);
                return true;
            };
            return DeleteRegKeyTree(SrcRoot, SrcPath, &report);
        },
        false);
}

bool RenameRegKey(const TVxRegKeyClass& Key, const std::wstring& NewName) {
    return NoThrow(
        [&] {
            const std::wstring oldName = ExtractKeyName(Key.FPath);
            if (Key.FPath.empty() || NewName.empty() ||
                NewName.find(L'\\') != std::wstring::npos || SameRegName(oldName, NewName)) {
                SetRegStatus(ERROR_INVALID_PARAMETER);
                return false;
            }
            // A rename never merges into another key.
            if (SiblingKeyExists(Key, NewName)) {
                SetRegStatus(ERROR_ALREADY_EXISTS);
                return false;
            }
            return MoveRegKey(Key.FRootKey, Key.FPath, Key.FRootKey,
                              ExtractParentKeyPath(Key.FPath), NewName);
        },
        false);
}

// --- Paths -----------------------------------------------------------------------------

std::wstring StripRootName(const std::wstring& FullPath) {
    const size_t slash = FullPath.find(L'\\');
    return slash == std::wstring::npos ? std::wstring() : FullPath.substr(slash + 1);
}

HKEY RootNameToHKey(const std::wstring& FullPath) {
    const std::wstring root = FullPath.substr(0, FullPath.find(L'\\'));
    for (const TRegRoot& r : RegRoots)
        if (root == r.Name) return r.Key;
    return nullptr;
}

std::wstring ExtractParentKeyPath(const std::wstring& Path) {
    const size_t slash = Path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : Path.substr(0, slash);
}

std::wstring ExtractKeyName(const std::wstring& Path) {
    const size_t slash = Path.rfind(L'\\');
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

}  // namespace registry
