// Shared helpers of the registry tests: a scratch key per test and raw registry access
// that does not go through the code under test.
#pragma once

#include "registry/regrecords.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class RegTest : public testing::Test {
protected:
    RegTest() : FScratch(testsupport::CurrentTestName()) {}

    // Path of the scratch key (relative to HKCU) joined with `sub`.
    std::wstring P(const std::wstring& sub = L"") const {
        return sub.empty() ? FScratch.Path() : FScratch.Path() + L"\\" + sub;
    }
    registry::TVxRegKeyClass K(const std::wstring& sub = L"") const {
        return registry::MakeRegKeyRecord(HKEY_CURRENT_USER, P(sub));
    }
    static void MakeKey(const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                                 options, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegCloseKey(key);
    }
    // Stores exactly `data`: the system's setter would add a NUL to string data without
    // one when a NUL followed the data in memory, so it gets a copy followed by 0xFF bytes.
    static void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type,
                       const std::vector<BYTE>& data) {
        MakeKey(path);
        std::vector<BYTE> guarded(data);
        guarded.insert(guarded.end(), {0xFF, 0xFF});
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(),
                                                 type, guarded.data(),
                                                 static_cast<DWORD>(data.size())));
    }
    static void SetSz(const std::wstring& path, const std::wstring& name,
                      const std::wstring& text, DWORD type = REG_SZ) {
        const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
        SetRaw(path, name, type, std::vector<BYTE>(p, p + (text.size() + 1) * 2));
    }
    static void SetDword(const std::wstring& path, const std::wstring& name, DWORD value) {
        const BYTE* p = reinterpret_cast<const BYTE*>(&value);
        SetRaw(path, name, REG_DWORD, std::vector<BYTE>(p, p + 4));
    }
    static bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    // Type and bytes of a value, or type 0xFFFFFFFF when it does not exist.
    static std::pair<DWORD, std::vector<BYTE>> Raw(const std::wstring& path,
                                                   const std::wstring& name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return {0xFFFFFFFF, {}};
        DWORD type = 0, size = 0;
        std::vector<BYTE> data;
        LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
            data.resize(size);
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return {0xFFFFFFFF, {}};
        return {type, data};
    }
    static std::wstring SzOf(const std::wstring& path, const std::wstring& name) {
        auto raw = Raw(path, name);
        if (raw.first == 0xFFFFFFFF) return L"<missing>";
        std::wstring text(raw.second.size() / 2, L'\0');
        memcpy(text.data(), raw.second.data(), text.size() * 2);
        return std::wstring(text.c_str());
    }

    testsupport::ScratchKey FScratch;
};

inline std::vector<BYTE> Bytes(std::initializer_list<int> list) {
    std::vector<BYTE> out;
    for (int b : list) out.push_back(static_cast<BYTE>(b));
    return out;
}
