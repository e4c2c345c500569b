// Files under UTF-16 names: existence, folders, streams and atomic whole-file saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "classlib/errors.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"
#include "controls/wide/widewin32.h"
#include "common/test_support.h"

using namespace wide;

namespace {

std::string ReadFileBytes(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& name, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(name), std::ios::binary);
    out << bytes;
}

size_t FileCount(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

TEST(WideFiles, ExistenceAndFolders) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"ファイル.txt");
    WriteFileBytes(file, "x");
    EXPECT_TRUE(WideFileExists(file));
    EXPECT_FALSE(WideFileExists(dir.Path().wstring()));
    EXPECT_FALSE(WideFileExists(dir.File(L"missing")));
    EXPECT_TRUE(WideDirectoryExists(dir.Path().wstring()));
    EXPECT_FALSE(WideDirectoryExists(file));

    EXPECT_TRUE(WideForceDirectories(L"C:"));
    EXPECT_TRUE(WideForceDirectories(dir.Path().wstring()));
    const std::wstring deep = dir.File(L"a\\b\\c\\");
    EXPECT_TRUE(WideForceDirectories(deep));
    EXPECT_TRUE(WideDirectoryExists(dir.File(L"a\\b\\c")));
    // A file in the way: the creation fails, the folders made so far stay.
    EXPECT_FALSE(WideForceDirectories(file + L"\\sub"));
    try {
        WideForceDirectories(L"");
        ADD_FAILURE();
    } catch (const EWideGeneralError& e) {
        EXPECT_EQ(e.Message(), L"ディレクトリを作成できません");
    }
}

TEST(WideFiles, FileStreamErrorsNameTheFullPath) {
    testsupport::ScratchDir dir;
    const std::wstring missing = dir.File(L"missing.db");
    try {
        TWideFileStream stream(missing, classlib::fmOpenRead | classlib::fmShareDenyWrite);
        ADD_FAILURE();
    } catch (const classlib::EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind(L"ファイル \"" + WideExpandFileName(missing) + L"\" は開けません。", 0), 0u);
    }
    try {
        TWideFileStream stream(dir.File(L"no\\such\\folder.db"), classlib::fmCreate);
        ADD_FAILURE();
    } catch (const classlib::EFCreateError& e) {
        EXPECT_NE(e.Message().find(L"を作成できません。"), std::wstring::npos);
    }
    EXPECT_EQ(WideFileOpen(missing, 3), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(WideFiles, MemoryStreamRoundTrip) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"data.bin");
    TWideMemoryStream stream;
    stream.WriteBuffer("\x01\x02\x03", 3);
    stream.SaveToFile(file);
    EXPECT_EQ(ReadFileBytes(file), "\x01\x02\x03");
    TWideMemoryStream loaded;
    loaded.WriteBuffer("old", 3);
    EXPECT_THROW(loaded.LoadFromFile(dir.File(L"missing")), classlib::EFOpenError);
    EXPECT_EQ(loaded.Size(), 3);
    loaded.LoadFromFile(file);
    EXPECT_EQ(std::string(static_cast<const char*>(loaded.Memory()), 3), "\x01\x02\x03");
}

TEST(WideFiles, SaveAndReloadRoundTrip) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"list.db");
    WriteFileBytes(file, "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\r\n\xF0\x9F\x98\x80\r\n");
    TWideStringList list;
    list.LoadFromFile(file);
    ASSERT_FALSE(list.LastLoadLossy());
    list.SaveToFile(file);
    EXPECT_EQ(ReadFileBytes(file), std::string("\xFF\xFE\xE5\x65\x2C\x67\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0", 18));
    TWideStringList again;
    again.LoadFromFile(file);
    EXPECT_EQ(again.Text(), list.Text());
    EXPECT_EQ(FileCount(dir.Path()), 1u);  // no temporary file left behind
}

TEST(WideFiles, FailedSaveLeavesTheOldFileWhole) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"keep.db");
    WriteFileBytes(file, "old content");
    TWideStringList list;
    list.Add(L"new");

    // The target is held open without sharing: the replacement cannot happen.
    {
        HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_THROW(list.SaveToFile(file), classlib::EFCreateError);
        CloseHandle(held);
    }
    EXPECT_EQ(ReadFileBytes(file), "old content");
    EXPECT_EQ(FileCount(dir.Path()), 1u);

    // A read-only target is not replaced either.
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(list.SaveToFile(file), classlib::EFCreateError);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(file), "old content");
    EXPECT_EQ(FileCount(dir.Path()), 1u);

    // A folder that does not exist.
    EXPECT_THROW(list.SaveToFile(dir.File(L"none\\x.db")), classlib::EFCreateError);

    list.SaveToFile(file);
    EXPECT_EQ(ReadFileBytes(file), std::string("\xFF\xFEn\0e\0w\0\r\0\n\0", 12));
}

TEST(WideFiles, LoadFailureLeavesTheListUnchanged) {
    testsupport::ScratchDir dir;
    TWideStringList list;
    list.Add(L"kept");
    EXPECT_THROW(list.LoadFromFile(dir.File(L"missing.db")), classlib::EFOpenError);
    EXPECT_EQ(list.Text(), L"kept\r\n");
}

}  // namespace
