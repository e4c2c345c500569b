#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>

namespace testsupport {

namespace {
std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}
}  // namespace

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring CurrentTestName() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return L"NoTest";
    std::wstring name = Widen(std::string(info->test_suite_name()) + "_" + info->name());
    for (auto& c : name)
        if (c == L'/' || c == L'\\') c = L'_';
    return name;
}

ScratchKey::ScratchKey(const std::wstring& name) : FPath(L"Software\\WendlarTest\\" + name) {
    RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey,
                    nullptr);
}

ScratchKey::~ScratchKey() {
    if (FKey) RegCloseKey(FKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, FPath.c_str());
}

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    FPath = std::filesystem::path(tmp) /
            (L"wendlar-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(counter++));
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
    std::filesystem::create_directories(FPath, ec);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

}  // namespace testsupport
