// The hive-size tool's model, free of windows: which hive files are measured and where, how
// a size reads in kilobytes or megabytes, the name of the running Windows, the text report,
// and the size snapshots (".rgsize" files in "Settings\RegSize": section "Size", one key per
// measured file, value = its size in bytes as decimal text).
//
// Sizes are 64-bit throughout: the byte counts, the total and the differences. Any thread;
// the functions that touch files report failures as stated with each.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

// --- Sizes as text ----------------------------------------------------------------------------

enum class TSizeUnit { None, KB, MB };

// Rounds Value (in ten-thousandths) to Digits - 1 decimal places (Digits >= 1), halves away
// from zero; the result is in ten-thousandths again. RoundCurrency(2, 12056318) = 12056000.
int64_t RoundCurrency(int Digits, int64_t Value);
// The size in the unit, in ten-thousandths of it, rounded to one decimal place: kilobytes
// from the bytes, megabytes from the kilobytes after their own rounding; 0 for no unit.
int64_t SizeInUnit(int64_t Bytes, TSizeUnit Unit);
// The shortest decimal form of SizeInUnit followed by "KB" or "MB" ("1.5KB", "0MB",
// "3145728KB", "-0.3MB"); empty for no unit. `decimalSeparator` stands between the whole and
// the tenths.
std::wstring FormatSize(int64_t Bytes, TSizeUnit Unit, wchar_t DecimalSeparator = L'.');
// A difference: FormatSize with "+" in front of a value greater than 0 ("+1.5KB", "0KB",
// "-2KB").
std::wstring FormatDifference(int64_t Bytes, TSizeUnit Unit, wchar_t DecimalSeparator = L'.');
// The user's decimal separator (its first character), "." when the locale gives none.
wchar_t UserDecimalSeparator();

// --- The running Windows ------------------------------------------------------------------------

struct TWindowsVersion {
    DWORD Major = 0;
    DWORD Minor = 0;
    DWORD Platform = VER_PLATFORM_WIN32_NT;
    BYTE ProductType = VER_NT_WORKSTATION;
    WORD SuiteMask = 0;
    std::wstring ServicePack;
    // The product type of GetProductInfo; 0 when it is not known.
    DWORD ProductInfo = 0;
};

// The running system's version (GetVersionExW with the extended record, GetProductInfo looked
// up at run time); none when the query fails.
std::optional<TWindowsVersion> GetOSVersionInfoEx();
// The edition for a product type of GetProductInfo 1 to 25 ("Ultimate Edition", ...); empty
// for any other.
std::wstring GetVistaProductName(DWORD ProductType);
// "Windows" followed by the release ("XP Professional", "Vista Business Edition", "7",
// "8.1", "10", each with its edition when one is known) and " [<service pack>]" when there
// is one: "WindowsXP Professional [Service Pack 2]". "不明" for a release this table does
// not know; empty without a version.
std::wstring GetWindowsName(const std::optional<TWindowsVersion>& Version);

// --- Hive files ------------------------------------------------------------------------------------

// The folders the hive files lie in: the Windows folder and the user's profile folder, both
// without a trailing "\".
struct THiveFolders {
    std::wstring Windows;
    std::wstring Profile;
};
// The running system's folders (SHGetFolderPathW); an empty text for one that is not known.
THiveFolders GetHiveFolders();

// One measured hive file: its display name, the number of ideographic spaces after that name
// in the text report, and its size.
struct THiveSize {
    std::wstring Name;
    int Fill = 0;
    int64_t Bytes = 0;
};

// The hive files that exist, in the measuring order: default, SAM, SECURITY, software,
// system, NTUSER.DAT, UsrClass.dat (below "AppData\Local\Microsoft\Windows" or "Local
// Settings\Application Data\Microsoft\Windows" of the profile), and from Windows major
// version 6 on BCD-Template and COMPONENTS. A file that does not exist, or is a folder, is left
// out.
std::vector<THiveSize> MeasureHiveFiles(const THiveFolders& Folders, DWORD MajorVersion);
// The total of the sizes.
int64_t TotalSize(const std::vector<THiveSize>& Sizes);

// The text report: a rule of 54 hyphens, the Windows name, "合計サイズ" with nine ideographic
// spaces and the total, another rule, then one line per file (name, its fill of ideographic
// spaces, the size); every line ends in CR LF.
std::wstring BuildSizeReport(const std::vector<THiveSize>& Sizes, const std::wstring& WindowsName, TSizeUnit Unit,
                             wchar_t DecimalSeparator = L'.');

// --- Snapshots ----------------------------------------------------------------------------------

// The snapshot extension ".rgsize" and the section of the sizes.
inline constexpr const wchar_t* SnapshotExt = L".rgsize";
inline constexpr const wchar_t* SnapshotSection = L"Size";
// A snapshot larger than this is not read.
inline constexpr int64_t MaxSnapshotBytes = 1024 * 1024;

// "yyyy_m_d_h_n_s.rgsize" of a local time (no leading zeros but the year's four digits).
std::wstring SnapshotFileName(const SYSTEMTIME& Time);
// Writes the sizes into a new snapshot file in Folder (made with its parents when missing):
// the name of SnapshotFileName, or when a file of that name exists (a second save within the
// same second), the same name with "_2", "_3", ... before the extension. Answers the file's
// name (without the folder). Raises the settings files' error when the file cannot be written.
std::wstring SaveSnapshot(const std::wstring& Folder, const std::vector<THiveSize>& Sizes, const SYSTEMTIME& Time);
// The names of the ".rgsize" files (not folders) directly in Folder, in the file system's
// order; none for a missing folder.
std::vector<std::wstring> ListSnapshots(const std::wstring& Folder);

// A difference row: a file present now and in the snapshot, with stored bytes - current bytes.
struct TSizeDifference {
    std::wstring Name;
    int64_t Difference = 0;
};
enum class TSnapshotRead { Read, Missing, TooLarge };
// Compares the current sizes with the snapshot file FileName: one row per current file, in the
// current order, whose name is a key of section "Size" (a value that is no number counts as
// 0). Read tells why no rows came from a file that could not be read.
std::vector<TSizeDifference> CompareWithSnapshot(const std::vector<THiveSize>& Current, const std::wstring& FileName,
                                                 TSnapshotRead* Read = nullptr);

}  // namespace tools
