// The UTF-16 registry reader.
#include "registry/wideregistry.h"

#include "registry/registry_p.h"

#include <cstring>
#include <cwchar>

namespace registry {

using namespace wide;

namespace {
std::wstring FormatName(const wchar_t* pattern, const std::wstring& name) {
    std::wstring text = pattern;
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, name);
    return text;
}

std::wstring WithoutLeadingSlash(const std::wstring& key) {
    return !key.empty() && key[0] == L'\\' ? key.substr(1) : key;
}
}  // namespace

void TWideRegistry::SetRootKey(HKEY Root) {
    if (Root == FRootKey) return;
    CloseKey();
    FRootKey = Root;
}

bool TWideRegistry::OpenKey(const std::wstring& Key, bool CanCreate) {
    const std::wstring path = WithoutLeadingSlash(Key);
    TRegKey key;
    LSTATUS status = CanCreate ? key.Create(FRootKey, path, KEY_ALL_ACCESS)
                               : key.Open(FRootKey, path, KEY_ALL_ACCESS);
    SetRegStatus(status);
    if (status != ERROR_SUCCESS) return false;
    FCurrentKey = std::move(key);
    FCurrentPath = path;
    return true;
}

bool TWideRegistry::OpenKeyReadOnly(const std::wstring& Key) {
    const std::wstring path = WithoutLeadingSlash(Key);
    TRegKey key;
    LSTATUS status = key.Open(FRootKey, path, KEY_READ);
    SetRegStatus(status);
    if (status != ERROR_SUCCESS) return false;
    FCurrentKey = std::move(key);
    FCurrentPath = path;
    return true;
}

void TWideRegistry::CloseKey() {
    FCurrentKey.Reset();
    FCurrentPath.clear();
}

void TWideRegistry::GetValueNames(TWideStrings& Strings) {
    Strings.Clear();
    if (!FCurrentKey) return;
    SetRegStatus(EnumValueNames(FCurrentKey.Get(), [&](const wchar_t* name, DWORD length, DWORD) {
        Strings.Add(std::wstring(name, length));
        return true;
    }));
}

std::wstring TWideRegistry::ReadString(const std::wstring& Name) {
    if (!FCurrentKey) return {};
    DWORD type = 0;
    std::vector<BYTE> data;
    LSTATUS status = QueryRegValueRaw(FCurrentKey.Get(), Name, type, data);
    if (status == ERROR_FILE_NOT_FOUND) return {};
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(FormatName(L"'%s' のデータ型が不正です", Name));
    if (status != ERROR_SUCCESS) {
        // A value of the wrong type is named as such even when reading it failed.
        DWORD probe = 0;
        if (RegQueryValueExW(FCurrentKey.Get(), Name.c_str(), nullptr, &probe, nullptr,
                             nullptr) == ERROR_SUCCESS &&
            probe != REG_SZ && probe != REG_EXPAND_SZ)
            throw ERegistryException(FormatName(L"'%s' のデータ型が不正です", Name));
        throw ERegistryException(FormatName(L"'%s' の取得に失敗しました", Name));
    }
    // The text up to the first NUL; an odd last byte pairs with a zero byte.
    std::wstring text((data.size() + 1) / 2, L'\0');
    if (!data.empty()) std::memcpy(text.data(), data.data(), data.size());
    return std::wstring(text.c_str());
}

}  // namespace registry
