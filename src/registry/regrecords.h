// Registry records and the enumerations that create records.
//
// Every part of the program passes registry keys and values around as small records that
// hold names and paths, never an open handle. The enumerations append records to a list the
// caller owns (std::vector<std::unique_ptr<...>>); records are plain copyable values.
//
// Contract of every free function in this folder: it never throws, reports success as a
// Boolean (or an empty/zero result), opens the handles it needs and closes them before it
// returns, and leaves its outputs untouched when it fails. The Win32 status of the last
// failing registry call of the calling thread is kept for diagnosis (RegLastStatus).
// All functions may run on any thread unless a header says otherwise.
#pragma once

#include "classlib/regkey.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace registry {

// --- Key handle ------------------------------------------------------------------------

// The key handle type of the class library; this folder's functions hand it out.
using classlib::TRegKey;

// Status of the last registry call that failed inside a function of this folder on the
// calling thread (ERROR_SUCCESS after a function that succeeded). For tests and diagnosis.
LSTATUS RegLastStatus() noexcept;

// --- Records ---------------------------------------------------------------------------

// One key. For a root, FKeyName, FDisplayName and FFullPath are the root's name and FPath
// is empty. FRootKey of a local record is a predefined root handle (sign-extended on x64).
class TVxRegKeyClass {
public:
    virtual ~TVxRegKeyClass() = default;

    std::wstring FDisplayName;   // caption: the key's own name, the root's name for a root
    std::wstring FKeyName;       // last part of the path; the root's name for a root
    std::wstring FPath;          // below the root, "\"-joined, no leading/trailing "\"
    std::wstring FFullPath;      // root name + "\" + path; for a value record + "\" + name
    HKEY FRootKey = nullptr;
    std::wstring FComputerName;  // empty for the local computer
    double FLastWriteTime = 0;   // days since 1899-12-30, local time; 0 when unknown
    bool FReadOnly = false;      // could not be opened with full access
    bool FReadOnlyChecked = false;
};

// One value of the key its inherited fields describe. FValueName is empty for the
// default value (and then FFullPath ends with "\").
class TVxRegValueClass : public TVxRegKeyClass {
public:
    std::wstring FValueName;
    DWORD FValueType = REG_NONE;
    bool FDataTextCached = false;
    std::wstring FDataText;       // display text (value list) or the matched text (search)
    bool FCorruptNumber = false;  // DWORD/DWORD_BIG_ENDIAN not 4 bytes, QWORD not 8
};

// One search hit. FHitKind: 0 key name matched, 1 value name matched, 2 value data.
class TVxRegFindClass : public TVxRegValueClass {
public:
    uint8_t FHitKind = 0;
};

using TVxRegKeyList = std::vector<std::unique_ptr<TVxRegKeyClass>>;
using TVxRegValueList = std::vector<std::unique_ptr<TVxRegValueClass>>;

// The seven predefined roots in enumeration order: handle, full name, the abbreviation a
// user may type (null for the two roots that have none) and the root's word in the naming
// of the security API for registry objects ("MACHINE" for HKEY_LOCAL_MACHINE). The one
// table of roots; name and handle conversions (RootHKeyToName here, RootNameToHKey and
// StripRootName in regops.h), the search's start-key parsing, the undo lines and the
// security object's names read it.
struct TRegRoot {
    HKEY Key;
    const wchar_t* Name;
    const wchar_t* Abbreviation;
    const wchar_t* SecurityName;
};
extern const TRegRoot RegRoots[7];
// The root name of a predefined root handle; empty for any other handle.
std::wstring RootHKeyToName(HKEY root);

// A key record for `root` and `path` (names filled as ListSubKeys would; a root record for
// an empty path). `root` must be a predefined root for FFullPath to be meaningful.
TVxRegKeyClass MakeRegKeyRecord(HKEY root, const std::wstring& path);

// --- Opening a record's key ------------------------------------------------------------

// KEY_READ (0x20019) / KEY_ALL_ACCESS (0xF003F) on FRootKey\FPath. An empty result means
// the key could not be opened; success of OpenKeyForWrite is the writability test.
TRegKey OpenKeyForRead(const TVxRegKeyClass& Key);
TRegKey OpenKeyForWrite(const TVxRegKeyClass& Key);

// --- Enumerations ----------------------------------------------------------------------

// Appends one record per root that opens (local computer: the seven predefined roots in
// the order of RegRoots; remote: RegConnectRegistryW for HKLM, HKU, HKPD, HKDD, HKCC).
// Remote root handles in the records belong to the caller (close them with TRegKey).
void ListRootKeys(TVxRegKeyList& List, const std::wstring& ComputerName);

// Appends one record per subkey of Key, in the platform's order. False (nothing appended)
// when Key cannot be opened for reading or queried. The enumeration ends at the first error
// other than ERROR_MORE_DATA (a longer name: the buffer is enlarged and the index retried
// once); records made up to then stay and the result is still True.
bool ListSubKeys(TVxRegKeyList& List, const TVxRegKeyClass& Key);

// The subkeys of Key as ListSubKeys finds them, handed to Visit one at a time (name, its
// length, last-write time as in the records) without making records: for callers that keep
// less than a whole record per key. Visit returns false to stop. False when Key cannot be
// opened for reading or queried.
// With Writable, the one key opened answers the writability test of OpenKeyForWrite too: it
// is opened with KEY_ALL_ACCESS (*Writable set on success) and with KEY_READ only when that
// fails, so a caller that needs both opens the key once.
using TSubKeyNameVisitor = std::function<bool(const wchar_t* Name, size_t Length, double LastWriteTime)>;
bool ListSubKeyNames(const TVxRegKeyClass& Key, const TSubKeyNameVisitor& Visit, bool* Writable = nullptr);

// Appends one record per value of Key (default value included, FValueName empty) with its
// type; nothing when the key cannot be opened or queried. Same ending rule as ListSubKeys.
// Returns False when the key could not be opened or queried. Writable as in ListSubKeyNames.
bool ListRegValues(TVxRegValueList& List, const TVxRegKeyClass& Key, bool* Writable = nullptr);

// 0 for a zero FILETIME; otherwise the local time as days since 1899-12-30.
double FileTimeToLocalDateTime(const FILETIME& FileTime);

// --- Raw value access (used by the operations; open handles stay with the caller) ------

// Reads the type and bytes of value `name` of an open key with a bounded grow-and-retry
// loop on ERROR_MORE_DATA. Returns the status; `type` and `data` are set only on success.
LSTATUS QueryRegValueRaw(HKEY key, const std::wstring& name, DWORD& type,
                         std::vector<BYTE>& data) noexcept;

}  // namespace registry
