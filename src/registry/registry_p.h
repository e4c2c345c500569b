// Private helpers of the registry folder; included only by its sources.
#pragma once

#include "registry/regrecords.h"

#include <functional>

namespace registry {

// Records the status for RegLastStatus.
void SetRegStatus(LSTATUS status) noexcept;

// parent + "\" + name, or name alone for an empty parent.
std::wstring JoinRegPath(const std::wstring& parent, const std::wstring& name);

LSTATUS QueryKeyInfo(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                     DWORD* maxValueNameLen, DWORD* maxValueLen) noexcept;

// Walk the subkey / value names of an open key with one reused buffer. The visitor
// returns false to stop. The walk ends at ERROR_NO_MORE_ITEMS (result ERROR_SUCCESS) or at
// the first other error (returned), after one enlarged retry on ERROR_MORE_DATA. Empty
// subkey names are skipped.
using TSubKeyVisitor = std::function<bool(const wchar_t* name, DWORD length,
                                          const FILETIME& lastWrite)>;
using TValueVisitor = std::function<bool(const wchar_t* name, DWORD length, DWORD type)>;
// `maxNameLength`: the longest name as the caller queried it already (else it is asked).
LSTATUS EnumSubKeyNames(HKEY key, const TSubKeyVisitor& visit, const DWORD* maxNameLength = nullptr);
LSTATUS EnumValueNames(HKEY key, const TValueVisitor& visit);

// Runs `body`; a std::bad_alloc or any other exception becomes `fallback` (the public
// functions of this folder never throw).
template <class F, class R>
R NoThrow(F&& body, R fallback) noexcept {
    try {
        return body();
    } catch (...) {
        SetRegStatus(ERROR_NOT_ENOUGH_MEMORY);
        return fallback;
    }
}

// `path` equals `base` or lies below it, names compared ignoring case. An empty base (a
// root) contains every path.
bool RegPathIsSameOrInside(const std::wstring& path, const std::wstring& base);
// The path has no empty part (no leading, trailing or doubled "\"); empty is not valid.
bool RegPathIsWellFormed(const std::wstring& path);

// Writes `size` bytes of `data` as value `name` of an open key.
LSTATUS SetRegValueRaw(HKEY key, const std::wstring& name, DWORD type, const void* data,
                       size_t size) noexcept;

}  // namespace registry
