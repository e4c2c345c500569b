// Number and file helpers: digits, hexadecimal text, file names, folder walk.
#include "registry/files.h"
#include "registry/numbers.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace registry;

TEST(Numbers, RadixConversions) {
    EXPECT_EQ(L"11111111", UInt32ToRadixStr(255, 2));
    EXPECT_EQ(L"0", UInt64ToRadixStr(0, 16));
    EXPECT_EQ(L"FFFFFFFF", UInt32ToRadixStr(0xFFFFFFFFu, 16));
    EXPECT_EQ(L"FFFFFFFFFFFFFFFF", UInt64ToRadixStr(~0ull, 16));
    EXPECT_EQ(L"777", UInt32ToRadixStr(511, 8));
    EXPECT_EQ(L"", UInt32ToRadixStr(5, 1)) << "radix below 2";
    EXPECT_EQ(L"", UInt64ToRadixStr(5, 0));

    EXPECT_EQ(0xFFFFFFFFu, RadixStrToInt32(L"FFFFFFFF", 16));
    EXPECT_EQ(0u, RadixStrToInt32(L"100000000", 16)) << "modulo 2^32";
    EXPECT_EQ(1234567890u, RadixStrToInt32(L"1234567890", 10));
    EXPECT_EQ(0u, RadixStrToInt32(L"123", 1));
    EXPECT_EQ(0u, RadixStrToInt32(L"123", 0));
    // Far more digits than a 64-bit place value holds: an orderly wrapped value.
    EXPECT_EQ(0xFFFFFFFFu, RadixStrToInt32(std::wstring(40, L'F'), 16));
    EXPECT_EQ(17u, RadixStrToInt32(L"19", 8)) << "a digit outside the radix still counts";

    EXPECT_EQ(255u, RadixStrToInt64(L"ff", 16));
    EXPECT_EQ(0u, RadixStrToInt64(L"ff", 1));
    EXPECT_EQ(~0ull, DecStrToInt64(L"18446744073709551615"));
    EXPECT_EQ(103u, DecStrToInt64(L"1x3"));
    EXPECT_EQ(1024u, IntPower64(10, 2));
    EXPECT_EQ(1u, IntPower64(0, 7));

    EXPECT_EQ(L"16", HexDigitChar(16));
    EXPECT_EQ(L"A", HexDigitChar(10));
    EXPECT_EQ(L"9", HexDigitChar(9));
    EXPECT_EQ(15, HexDigitValue(L'f'));
    EXPECT_EQ(0, HexDigitValue(L'g'));
    EXPECT_EQ(L"00000000000000FF", Int64ToHex16(255));
    EXPECT_EQ(L"18446744073709551615", Int64ToUnsignedStr(static_cast<uint64_t>(-1)));
}

TEST(HexText, HexCodingOfWideText) {
    EXPECT_EQ(L"61006200", WideStrToHex(L"ab"));
    EXPECT_EQ(L"4100", WideStrToHex(L"A"));
    EXPECT_EQ(L"", WideStrToHex(L""));
    EXPECT_EQ(L"ab", HexToWideStr(L"61006200"));
    EXPECT_EQ(L"a", HexToWideStr(L"6100zz00"));
    EXPECT_EQ(L"a", HexToWideStr(L"610000006200"));
    EXPECT_EQ(L"\x3042", HexToWideStr(WideStrToHex(L"\x3042")));
    EXPECT_EQ(L"a", HexToWideStr(L"61"));  // an odd last byte pairs with zero
}

TEST(Files, ExtensionsAndTempNames) {
    EXPECT_TRUE(FileHasExt(L"C:\\x\\A.REG", L".reg"));
    EXPECT_FALSE(FileHasExt(L"C:\\x\\A.REG", L"reg"));
    EXPECT_FALSE(FileHasExt(L"C:\\x.reg\\A", L".reg"));

    testsupport::ScratchDir dir;
    const std::wstring a = MakeTempFileName(dir.Path().wstring(), L"reg", L".reg");
    const std::wstring b = MakeTempFileName(dir.Path().wstring(), L"reg", L".reg");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileHasExt(a, L".reg"));
    EXPECT_EQ(dir.Path().wstring(), a.substr(0, a.rfind(L'\\')));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str())) << "the name is reserved";
    int tmpFiles = 0;
    EnumFiles(dir.Path().wstring(), false, efFiles, [&](const std::wstring& path, const auto&) {
        if (FileHasExt(path, L".tmp")) ++tmpFiles;
    });
    EXPECT_EQ(0, tmpFiles) << "the system's .tmp file is removed";
    EXPECT_TRUE(MakeTempFileName(dir.File(L"missing"), L"reg", L".reg").empty());
    EXPECT_FALSE(MakeTempFileNameInTempDir(L"reg", L".reg").empty());
    const std::wstring inTemp = MakeTempFileNameInTempDir(L"reg", L".reg");
    DeleteFileW(inTemp.c_str());
    EXPECT_EQ(L"no-such-file-here", GetLongPath(L"no-such-file-here"));
}

TEST(Files, EnumFilesModesAndRecursion) {
    testsupport::ScratchDir dir;
    std::vector<std::wstring> seen;
    auto collect = [&](const std::wstring& path, const WIN32_FIND_DATAW&) {
        seen.push_back(path.substr(dir.Path().wstring().size()));
    };
    EnumFiles(dir.Path().wstring(), true, efAll, collect);
    EXPECT_TRUE(seen.empty());
    CreateDirectoryW(dir.File(L"sub").c_str(), nullptr);
    CreateDirectoryW(dir.File(L"sub\\deeper").c_str(), nullptr);
    for (const wchar_t* f : {L"top.txt", L"sub\\a.txt", L"sub\\deeper\\b.txt"})
        std::ofstream(std::filesystem::path(dir.File(f))) << "x";

    EnumFiles(dir.Path().wstring(), true, efFiles, collect);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ((std::vector<std::wstring>{L"\\sub\\a.txt", L"\\sub\\deeper\\b.txt", L"\\top.txt"}),
              seen);
    seen.clear();
    EnumFiles(dir.Path().wstring(), false, efFolders, collect);
    EXPECT_EQ(std::vector<std::wstring>{L"\\sub"}, seen);
    seen.clear();
    EnumFiles(dir.Path().wstring(), true, efAll, collect);
    EXPECT_EQ(5u, seen.size());
    auto sub = std::find(seen.begin(), seen.end(), L"\\sub");
    ASSERT_NE(seen.end(), sub);
    EXPECT_EQ(L"\\sub\\", (sub + 1)->substr(0, 5)) << "a folder's content follows the folder";
    seen.clear();
    EnumFiles(dir.File(L"missing"), true, efAll, collect);
    EXPECT_TRUE(seen.empty());
}
