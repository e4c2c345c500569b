// The "Settings" folder beside the program and the helpers around it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/test_support.h"
#include "controls/wide/wideutils.h"
#include "settings/settingsfiles.h"

using namespace wide;
using namespace settings;

namespace {

TEST(SettingsFolder, BesideTheProgramFile) {
    EXPECT_EQ(SettingsFolderOf(L"C:\\Program Files\\Wendlar\\wendlar.exe"),
              L"C:\\Program Files\\Wendlar\\Settings\\");
    EXPECT_EQ(SettingsFolderOf(L"D:\\wendlar.exe"), L"D:\\Settings\\");  // drive root: no doubled "\"
    EXPECT_EQ(SettingsFolderOf(L"\\\\server\\share\\w.exe"), L"\\\\server\\share\\Settings\\");
}

TEST(SettingsFolder, GetSettingsFilePathCreatesTheFolder) {
    const std::wstring folder = SettingsFolderOf(WideGetModuleFileName(nullptr));
    const bool existed = std::filesystem::exists(folder);
    const std::wstring path = GetSettingsFilePath(L"setting.db");
    EXPECT_EQ(path, folder + L"setting.db");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    if (!existed)
        std::filesystem::remove(folder);
}

TEST(SettingsFolder, ReadMainSettingBoolReadsWithoutCreating) {
    const std::wstring folder = SettingsFolderOf(WideGetModuleFileName(nullptr));
    const bool existed = std::filesystem::exists(folder);
    if (!existed) {
        EXPECT_TRUE(ReadMainSettingBool(L"SetNoMutex", true));
        EXPECT_FALSE(ReadMainSettingBool(L"SetNoMutex", false));
        EXPECT_FALSE(std::filesystem::exists(folder));
        std::filesystem::create_directory(folder);
    }
    const std::wstring file = folder + L"setting.db";
    const bool fileExisted = std::filesystem::exists(file);
    std::filesystem::path backup = file + L".testbak";
    if (fileExisted)
        std::filesystem::rename(file, backup);
    {
        std::ofstream out(std::filesystem::path(file), std::ios::binary);
        out << "[Main]\r\nSetNoMutex=-1\r\nSetConnectCMD=0\r\n";
    }
    EXPECT_TRUE(ReadMainSettingBool(L"SetNoMutex", false));
    EXPECT_FALSE(ReadMainSettingBool(L"SetConnectCMD", true));
    EXPECT_TRUE(ReadMainSettingBool(L"setnomutex", true));
    std::filesystem::remove(file);
    if (fileExisted)
        std::filesystem::rename(backup, file);
    if (!existed)
        std::filesystem::remove(folder);
}

TEST(SettingsFolder, JoinCommandLine) {
    EXPECT_EQ(JoinCommandLine(L"prog a \"b c\" d"), L"a b c d");
    EXPECT_EQ(JoinCommandLine(L"prog"), L"");
    EXPECT_EQ(JoinCommandLine(L"prog  HKEY_CURRENT_USER\\Software"), L"HKEY_CURRENT_USER\\Software");
}

}  // namespace
