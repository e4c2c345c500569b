// The string editors' file and folder texts, the environment-variable list and the
// expanded preview.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "editors/stringeditors.h"

#include <algorithm>

using namespace editors;

TEST(StringEditors, FileAndFolderChoiceTexts) {
    const std::wstring path = L"C:\\Program Files\\x.exe";
    EXPECT_EQ(FileChoiceText(path, true, true), L"\"C:\\Program Files\\x.exe\" \"%1\"");
    EXPECT_EQ(FileChoiceText(path, false, false), path);
    EXPECT_EQ(FileChoiceText(path, false, true), path + L" \"%1\"");
    EXPECT_EQ(FolderChoiceText(L"C:\\Windows", true), L"\"C:\\Windows\"");
    EXPECT_EQ(FolderChoiceText(L"C:\\Windows", false), L"C:\\Windows");
}

// Values that are no string are skipped instead of ending the list; names already listed
// (ignoring case) are not added twice; values stay unexpanded.
TEST(StringEditors, EnvironmentListSkipsNonStringValues) {
    testsupport::ScratchKey machine(L"EnvMachine"), user(L"EnvUser");
    auto set = [](HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    };
    const wchar_t path[] = L"C:\\bin";
    const wchar_t temp[] = L"%USERPROFILE%\\tmp";
    const DWORD number = 7;
    const BYTE bytes[] = {1, 2, 3};
    set(machine.Handle(), L"Path", REG_SZ, path, sizeof(path));
    set(machine.Handle(), L"Count", REG_DWORD, &number, sizeof(number));
    set(machine.Handle(), L"Blob", REG_BINARY, bytes, sizeof(bytes));
    set(machine.Handle(), L"TEMP", REG_EXPAND_SZ, temp, sizeof(temp));
    set(machine.Handle(), L"", REG_SZ, path, sizeof(path));  // the default value has no name
    set(user.Handle(), L"PATH", REG_SZ, temp, sizeof(temp));
    set(user.Handle(), L"Own", REG_SZ, path, sizeof(path));

    std::vector<TEnvironmentVariable> list;
    AppendEnvironmentVariables(list, HKEY_CURRENT_USER, machine.Path());
    AppendEnvironmentVariables(list, HKEY_CURRENT_USER, user.Path());
    AppendEnvironmentVariables(list, HKEY_CURRENT_USER, machine.Path() + L"\\Missing");

    std::vector<std::wstring> items;
    for (const auto& v : list) items.push_back(v.Item);
    ASSERT_EQ(items.size(), 3u);
    std::sort(items.begin(), items.begin() + 2);  // the registry's order within one key
    EXPECT_EQ(items, (std::vector<std::wstring>{L"%Path%", L"%TEMP%", L"%Own%"}));
    for (const auto& v : list) {
        if (v.Item == L"%Path%") EXPECT_EQ(v.Value, path);
        if (v.Item == L"%TEMP%") EXPECT_EQ(v.Value, temp);
    }
}

TEST(StringEditors, PreviewExpandsWithoutLengthLimit) {
    wchar_t windir[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"WINDIR", windir, MAX_PATH), 0u);
    EXPECT_EQ(ExpandEnvironmentPreview(L"%WINDIR%\\x"), std::wstring(windir) + L"\\x");
    EXPECT_EQ(ExpandEnvironmentPreview(L"%NOSUCHVARIABLE%"), L"%NOSUCHVARIABLE%");
    EXPECT_EQ(ExpandEnvironmentPreview(L""), L"");

    // Far beyond 4096 characters once expanded.
    std::wstring text, expected;
    for (int i = 0; i < 1000; ++i) {
        text += L"%WINDIR%;";
        expected += std::wstring(windir) + L";";
    }
    ASSERT_GT(expected.size(), 4096u);
    EXPECT_EQ(ExpandEnvironmentPreview(text), expected);
}
