// The hive-size tool's model: sizes as text, the Windows name, the measured files and the
// snapshots.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "tools/regsize.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

using namespace tools;
using testsupport::Narrow;

namespace {

constexpr int64_t GiB = 1024LL * 1024 * 1024;

// A file of `bytes` bytes (sparse beyond what is written), its folders made.
void PlantFile(const std::filesystem::path& path, int64_t bytes) {
    std::filesystem::create_directories(path.parent_path());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path.wstring());
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
}

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

}  // namespace

TEST(SizeText, KilobytesAndMegabytesRoundToOneDecimalPlace) {
    struct Case {
        int64_t bytes;
        const wchar_t* kb;
        const wchar_t* mb;
    } cases[] = {
        {1536, L"1.5KB", L"0MB"},
        {262144, L"256KB", L"0.3MB"},
        {1234567, L"1205.6KB", L"1.2MB"},
        {1000, L"1KB", L"0MB"},
        {0, L"0KB", L"0MB"},
        {3 * GiB, L"3145728KB", L"3072MB"},
        {-1536, L"-1.5KB", L"0MB"},  // a difference: halves away from zero on both sides
        {-262144, L"-256KB", L"-0.3MB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FormatSize(c.bytes, TSizeUnit::KB), c.kb);
        EXPECT_EQ(FormatSize(c.bytes, TSizeUnit::MB), c.mb);
        EXPECT_EQ(FormatSize(c.bytes, TSizeUnit::None), L"");
    }
    EXPECT_EQ(FormatSize(1536, TSizeUnit::KB, L','), L"1,5KB") << "the user's decimal separator";
}

TEST(SizeText, DifferencesCarryTheirSign) {
    EXPECT_EQ(FormatDifference(0, TSizeUnit::KB), L"0KB");
    EXPECT_EQ(FormatDifference(1536, TSizeUnit::KB), L"+1.5KB");
    EXPECT_EQ(FormatDifference(-2048, TSizeUnit::KB), L"-2KB");
    EXPECT_EQ(FormatDifference(5 * GiB, TSizeUnit::MB), L"+5120MB") << "no 32-bit wrap";
}

TEST(WindowsName, ReleasesEditionsAndServicePacks) {
    auto v = [](DWORD major, DWORD minor, BYTE type, WORD suite, std::wstring sp, DWORD product) {
        TWindowsVersion version;
        version.Major = major;
        version.Minor = minor;
        version.ProductType = type;
        version.SuiteMask = suite;
        version.ServicePack = std::move(sp);
        version.ProductInfo = product;
        return version;
    };
    constexpr BYTE ws = VER_NT_WORKSTATION, server = VER_NT_SERVER;
    struct Case {
        TWindowsVersion version;
        const wchar_t* name;
    } cases[] = {
        {v(5, 0, ws, 0, L"Service Pack 4", 0), L"Windows2000 Professional [Service Pack 4]"},
        {v(5, 0, server, 0, L"", 0), L"Windows2000 Server"},
        {v(5, 1, ws, VER_SUITE_PERSONAL, L"", 0), L"WindowsXP Home Edition"},
        {v(5, 1, ws, 0, L" Service Pack 2 ", 0), L"WindowsXP Professional [Service Pack 2]"},
        {v(5, 2, server, 0, L"", 0), L"WindowsServer 2003"},
        {v(6, 0, ws, 0, L"", 6), L"WindowsVista Business Edition"},
        {v(6, 0, ws, 0, L"", 25), L"WindowsVista Small Business Server Premium Edition"},
        {v(6, 1, ws, 0, L"Service Pack 1", 28), L"Windows7 [Service Pack 1]"},  // a type outside the table
        {v(6, 1, ws, 0, L"", 1), L"Windows7 Ultimate Edition"},
        {v(6, 2, ws, 0, L"", 0), L"Windows8"},
        {v(6, 3, ws, 0, L"", 0), L"Windows8.1"},
        {v(10, 0, ws, 0, L"", 4), L"Windows10 Enterprise Edition"},
        {v(6, 4, ws, 0, L"", 0), L"不明"},
        {v(4, 0, ws, 0, L"", 0), L"不明"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        EXPECT_EQ(GetWindowsName(c.version), c.name);
    }
    EXPECT_EQ(GetWindowsName(std::nullopt), L"");
    TWindowsVersion nine = v(4, 10, ws, 0, L"", 0);
    nine.Platform = VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_EQ(GetWindowsName(nine), L"Windows");
    EXPECT_EQ(GetVistaProductName(0), L"");
    EXPECT_EQ(GetVistaProductName(26), L"");
}

// The files that exist are measured in the table's order; the later user-class place and
// the files of Windows 6 and later are found; a folder named like a hive is no file; sizes
// past 4 GiB keep their 64 bits.
TEST(HiveFiles, MeasuredInOrderWhereTheyExist) {
    testsupport::ScratchDir dir;
    const THiveFolders folders{(dir.Path() / L"Windows").wstring(), (dir.Path() / L"Profile").wstring()};
    const std::filesystem::path config = dir.Path() / L"Windows" / L"system32" / L"config";
    PlantFile(config / L"software", 5 * GiB);
    PlantFile(config / L"SAM", 262144);
    std::filesystem::create_directories(config / L"SECURITY");
    PlantFile(config / L"COMPONENTS", 1536);
    PlantFile(dir.Path() / L"Profile" / L"NTUSER.DAT", 1000);
    PlantFile(dir.Path() / L"Profile" / L"AppData" / L"Local" / L"Microsoft" / L"Windows" / L"UsrClass.dat", 2048);

    auto names = [](const std::vector<THiveSize>& sizes) {
        std::vector<std::wstring> out;
        for (const THiveSize& s : sizes) out.push_back(s.Name);
        return out;
    };
    const std::vector<THiveSize> seven = MeasureHiveFiles(folders, 6);
    EXPECT_EQ(names(seven), (std::vector<std::wstring>{L"SAM", L"software", L"NTUSER.DAT", L"UsrClass.dat", L"COMPONENTS"}));
    ASSERT_EQ(seven.size(), 5u);
    EXPECT_EQ(seven[1].Bytes, 5 * GiB);
    EXPECT_EQ(seven[1].Fill, 11);
    EXPECT_EQ(TotalSize(seven), 5 * GiB + 262144 + 1000 + 2048 + 1536);
    EXPECT_EQ(names(MeasureHiveFiles(folders, 5)),
              (std::vector<std::wstring>{L"SAM", L"software", L"NTUSER.DAT", L"UsrClass.dat"}));

    // The older place of the user classes counts when the newer one has none.
    std::filesystem::remove(dir.Path() / L"Profile" / L"AppData" / L"Local" / L"Microsoft" / L"Windows" / L"UsrClass.dat");
    PlantFile(dir.Path() / L"Profile" / L"Local Settings" / L"Application Data" / L"Microsoft" / L"Windows" /
                  L"UsrClass.dat",
              4096);
    const std::vector<THiveSize> xp = MeasureHiveFiles(folders, 5);
    ASSERT_EQ(xp.size(), 4u);
    EXPECT_EQ(xp[3].Bytes, 4096);

    EXPECT_TRUE(MeasureHiveFiles({L"", L""}, 10).empty());
}

TEST(HiveFiles, ReportShowsTheTotalAndEachFileWithItsFill) {
    const std::vector<THiveSize> sizes = {{L"SAM", 13, 262144}, {L"NTUSER.DAT", 8, 1536}};
    const std::wstring rule(54, L'-');
    const std::wstring expected = rule + L"\r\nWindows7\r\n合計サイズ" + std::wstring(9, L'\x3000') + L"257.5KB\r\n" +
                                  rule + L"\r\nSAM" + std::wstring(13, L'\x3000') + L"256KB\r\nNTUSER.DAT" +
                                  std::wstring(8, L'\x3000') + L"1.5KB\r\n";
    EXPECT_EQ(BuildSizeReport(sizes, L"Windows7", TSizeUnit::KB), expected);
}

TEST(Snapshots, NamesFollowTheTimeAndASecondSaveInTheSameSecondGetsItsOwn) {
    EXPECT_EQ(SnapshotFileName(Time(2024, 1, 5, 9, 3, 7)), L"2024_1_5_9_3_7.rgsize");
    EXPECT_EQ(SnapshotFileName(Time(2024, 12, 31, 23, 59, 0)), L"2024_12_31_23_59_0.rgsize");

    testsupport::ScratchDir dir;
    const std::wstring folder = (dir.Path() / L"Settings" / L"RegSize").wstring();  // made by the save
    const SYSTEMTIME t = Time(2024, 1, 5, 9, 3, 7);
    const std::vector<THiveSize> first = {{L"SAM", 13, 100}, {L"software", 11, 5 * GiB}};
    const std::vector<THiveSize> second = {{L"SAM", 13, 200}};
    EXPECT_EQ(SaveSnapshot(folder, first, t), L"2024_1_5_9_3_7.rgsize");
    EXPECT_EQ(SaveSnapshot(folder, second, t), L"2024_1_5_9_3_7_2.rgsize");

    // Each file keeps what it was given (section "Size", bytes as decimal text).
    const std::vector<TSizeDifference> againstFirst = CompareWithSnapshot(second, folder + L"\\2024_1_5_9_3_7.rgsize");
    ASSERT_EQ(againstFirst.size(), 1u);
    EXPECT_EQ(againstFirst[0].Difference, -100);
    std::ifstream raw(std::filesystem::path(folder) / L"2024_1_5_9_3_7.rgsize", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(raw)), {});
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(text.find(L"[Size]"), std::wstring::npos);
    EXPECT_NE(text.find(L"software=5368709120"), std::wstring::npos) << Narrow(text);
}

// Only ".rgsize" files are listed; a snapshot lacking a file or holding one absent now gives
// no row for it; text that is no number counts as 0; a file past 1 MiB is not read.
TEST(Snapshots, ListedByExtensionAndComparedByName) {
    testsupport::ScratchDir dir;
    const std::wstring folder = dir.Path().wstring();
    auto write = [&](const wchar_t* name, const std::wstring& text) {
        std::ofstream out(dir.Path() / name, std::ios::binary);
        out.write("\xFF\xFE", 2);
        out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
    };
    write(L"a.rgsize", L"[Size]\r\nSAM=1000\r\nsystem=5\r\nsoftware=junk\r\n");
    write(L"notes.txt", L"[Size]\r\nSAM=1\r\n");
    std::filesystem::create_directories(dir.Path() / L"folder.rgsize");
    EXPECT_EQ(ListSnapshots(folder), std::vector<std::wstring>{L"a.rgsize"});
    EXPECT_TRUE(ListSnapshots(folder + L"\\missing").empty());

    const std::vector<THiveSize> now = {{L"SAM", 13, 1500}, {L"software", 11, 20}, {L"NTUSER.DAT", 8, 7}};
    TSnapshotRead read = TSnapshotRead::Missing;
    const std::vector<TSizeDifference> rows = CompareWithSnapshot(now, folder + L"\\a.rgsize", &read);
    EXPECT_EQ(read, TSnapshotRead::Read);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Name, L"SAM");
    EXPECT_EQ(rows[0].Difference, -500) << "a grown file shows a negative difference";
    EXPECT_EQ(rows[1].Name, L"software");
    EXPECT_EQ(rows[1].Difference, -20);

    PlantFile(dir.Path() / L"big.rgsize", MaxSnapshotBytes + 1);
    EXPECT_TRUE(CompareWithSnapshot(now, folder + L"\\big.rgsize", &read).empty());
    EXPECT_EQ(read, TSnapshotRead::TooLarge);
    EXPECT_TRUE(CompareWithSnapshot(now, folder + L"\\gone.rgsize", &read).empty());
    EXPECT_EQ(read, TSnapshotRead::Missing);
}
