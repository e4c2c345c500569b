#include "classlib/regkey.h"

#include <cstdint>

namespace classlib {

bool TRegKey::IsPredefined(HKEY handle) noexcept {
    // Predefined handles are the 32-bit values 0x80000000 and up, sign-extended on x64.
    const auto value = reinterpret_cast<uintptr_t>(handle);
    return value >= static_cast<uintptr_t>(static_cast<intptr_t>(INT32_MIN)) ||
           (value >= 0x80000000u && value <= 0xFFFFFFFFu);
}

TRegKey& TRegKey::operator=(TRegKey&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
}

HKEY TRegKey::Release() noexcept {
    HKEY handle = FHandle;
    FHandle = nullptr;
    return handle;
}

void TRegKey::Reset(HKEY handle) noexcept {
    if (FHandle && FHandle != handle && !IsPredefined(FHandle)) RegCloseKey(FHandle);
    FHandle = handle;
}

LSTATUS TRegKey::Open(HKEY root, const std::wstring& path, REGSAM access) noexcept {
    Reset();
    HKEY handle = nullptr;
    LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, access, &handle);
    if (status == ERROR_SUCCESS) FHandle = handle;
    return status;
}

LSTATUS TRegKey::Create(HKEY root, const std::wstring& path, REGSAM access, DWORD* disposition) noexcept {
    Reset();
    HKEY handle = nullptr;
    DWORD disp = 0;
    LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                     &handle, &disp);
    if (status == ERROR_SUCCESS) {
        FHandle = handle;
        if (disposition) *disposition = disp;
    }
    return status;
}

}  // namespace classlib
