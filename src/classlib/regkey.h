// TRegKey: the one owner of an open registry key handle in the program.
//
// Move-only; closes its handle in the destructor, and never closes a predefined root
// (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA and the other sign-extended 0x8000000x values), so a
// root may be wrapped like any other handle. Open and Create report the Win32 status (and
// must be checked: a failed call leaves the object empty). No bare RegCloseKey elsewhere.
// Keys use the registry's native view. Any thread may use its own TRegKey objects.
#pragma once

#include <windows.h>

#include <string>

namespace classlib {

class TRegKey {
public:
    TRegKey() = default;
    explicit TRegKey(HKEY handle) noexcept : FHandle(handle) {}
    TRegKey(TRegKey&& other) noexcept : FHandle(other.Release()) {}
    TRegKey& operator=(TRegKey&& other) noexcept;
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    ~TRegKey() { Reset(); }

    HKEY Get() const noexcept { return FHandle; }
    explicit operator bool() const noexcept { return FHandle != nullptr; }
    // Gives up ownership without closing.
    [[nodiscard]] HKEY Release() noexcept;
    // Closes the current handle (unless it is a predefined root) and takes `handle`.
    void Reset(HKEY handle = nullptr) noexcept;

    // RegOpenKeyExW(root, path, 0, access) into this object (the old handle is closed
    // first). Returns the status; on failure the object is empty.
    [[nodiscard]] LSTATUS Open(HKEY root, const std::wstring& path, REGSAM access) noexcept;
    // RegCreateKeyExW(root, path, non-volatile, access); `disposition` (optional) receives
    // REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
    [[nodiscard]] LSTATUS Create(HKEY root, const std::wstring& path, REGSAM access,
                                 DWORD* disposition = nullptr) noexcept;

    static bool IsPredefined(HKEY handle) noexcept;

private:
    HKEY FHandle = nullptr;
};

}  // namespace classlib
