// Small helpers of the search tests that build registry trees and compare them: string
// data as bytes, keys and values made directly, and a snapshot of everything below a key.
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace searchtest {

inline std::vector<BYTE> Bytes(const std::wstring& s) {
    std::vector<BYTE> b(s.size() * 2);
    std::memcpy(b.data(), s.data(), b.size());
    return b;
}
// A string with its terminating NUL.
inline std::vector<BYTE> Sz(const std::wstring& s) { return Bytes(s + std::wstring(1, L'\0')); }

// The caller closes the key.
inline HKEY CreateKey(HKEY parent, const std::wstring& name) {
    HKEY key = nullptr;
    RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

inline void SetValue(HKEY key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
}

// The bytes of a value (empty when it cannot be read).
inline std::vector<BYTE> ReadData(HKEY root, const std::wstring& path, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    LSTATUS st = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, data.data(), &size);
    RegCloseKey(key);
    if (st != ERROR_SUCCESS) return {};
    data.resize(size);
    return data;
}

// Every key and value below `key`, keyed by path (and "=value" after a value's name), each
// value as its type and bytes.
inline void Snapshot(HKEY key, const std::wstring& path, std::map<std::wstring, std::wstring>& out) {
    out[path + L"\\"] = L"key";
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384, size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        std::wstring line = std::to_wstring(type) + L"|";
        for (DWORD b = 0; b < size; ++b) line += std::to_wstring(data[b]) + L",";
        out[path + L"\\" + std::wstring(name.data(), nameLength) + L"=value"] = line;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384;
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::wstring child(name.data(), nameLength);
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        Snapshot(sub, path + L"\\" + child, out);
        RegCloseKey(sub);
    }
}

inline std::map<std::wstring, std::wstring> Snapshot(HKEY key) {
    std::map<std::wstring, std::wstring> out;
    Snapshot(key, L"", out);
    return out;
}

}  // namespace searchtest
