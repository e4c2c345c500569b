#include "tools/regsize.h"

#include "classlib/errors.h"
#include "controls/wide/widefiles.h"
#include "registry/files.h"
#include "settings/inifile.h"

#include <shlobj.h>

#include <cwctype>

namespace tools {

namespace {

int64_t Abs(int64_t v) { return v < 0 ? -v : v; }

// Numerator / Denominator (> 0) to the nearest integer, halves to the even neighbour.
int64_t RoundDivide(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    int64_t rest = numerator % denominator;
    if (rest < 0) {
        rest += denominator;
        --quotient;
    }
    if (rest * 2 > denominator || (rest * 2 == denominator && (quotient & 1))) ++quotient;
    return quotient;
}

}  // namespace

int64_t RoundCurrency(int Digits, int64_t Value) {
    // Value / 10000 rounded to Digits - 1 places: in units of 10000 / 10^(Digits - 1).
    int64_t step = 10000;
    for (int i = 1; i < Digits && step > 1; ++i) step /= 10;
    const int64_t steps = (Abs(Value) + step / 2) / step;
    return (Value < 0 ? -steps : steps) * step;
}

int64_t SizeInUnit(int64_t Bytes, TSizeUnit Unit) {
    if (Unit == TSizeUnit::None) return 0;
    // bytes / 1024 * 10000 == bytes * 625 / 64
    const int64_t kilo = RoundCurrency(2, RoundDivide(Bytes * 625, 64));
    return Unit == TSizeUnit::KB ? kilo : RoundCurrency(2, RoundDivide(kilo, 1024));
}

std::wstring FormatSize(int64_t Bytes, TSizeUnit Unit, wchar_t DecimalSeparator) {
    if (Unit == TSizeUnit::None) return L"";
    const int64_t value = SizeInUnit(Bytes, Unit);
    const int64_t tenths = Abs(value) / 1000;
    std::wstring text = value < 0 ? L"-" : L"";
    text += std::to_wstring(tenths / 10);
    if (tenths % 10) {
        text += DecimalSeparator;
        text += static_cast<wchar_t>(L'0' + tenths % 10);
    }
    return text + (Unit == TSizeUnit::KB ? L"KB" : L"MB");
}

std::wstring FormatDifference(int64_t Bytes, TSizeUnit Unit, wchar_t DecimalSeparator) {
    const std::wstring text = FormatSize(Bytes, Unit, DecimalSeparator);
    return Bytes > 0 && !text.empty() ? L"+" + text : text;
}

wchar_t UserDecimalSeparator() {
    wchar_t separator[8] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1 ? separator[0] : L'.';
}

// --- The running Windows ----------------------------------------------------------------------

std::optional<TWindowsVersion> GetOSVersionInfoEx() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return std::nullopt;
    TWindowsVersion version;
    version.Major = info.dwMajorVersion;
    version.Minor = info.dwMinorVersion;
    version.Platform = info.dwPlatformId;
    version.ProductType = info.wProductType;
    version.SuiteMask = info.wSuiteMask;
    version.ServicePack = info.szCSDVersion;
    using TGetProductInfo = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        const auto getProductInfo =
            reinterpret_cast<TGetProductInfo>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetProductInfo")));
        DWORD type = 0;
        if (getProductInfo && getProductInfo(version.Major, version.Minor, 0, 0, &type)) version.ProductInfo = type;
    }
    return version;
}

std::wstring GetVistaProductName(DWORD ProductType) {
    static const wchar_t* const names[] = {
        L"Ultimate Edition",
        L"Home Basic Edition",
        L"Home Premium Edition",
        L"Enterprise Edition",
        L"Home Basic N Edition",
        L"Business Edition",
        L"Server Standard Edition (full installation)",
        L"Server Datacenter Edition (full installation)",
        L"Small Business Server",
        L"Server Enterprise Edition (full installation)",
        L"Starter Edition",
        L"Server Datacenter Edition (core installation)",
        L"Server Standard Edition (core installation)",
        L"Server Enterprise Edition (core installation)",
        L"Server Enterprise Edition for Itanium-based Systems",
        L"Business N Edition",
        L"Web Server Edition",
        L"Cluster Server Edition",
        L"Home Server Edition",
        L"Storage Server Express Edition",
        L"Storage Server Standard Edition",
        L"Storage Server Workgroup Edition",
        L"Storage Server Enterprise Edition",
        L"Server for Small Business Edition",
        L"Small Business Server Premium Edition",
    };
    return ProductType >= 1 && ProductType <= std::size(names) ? names[ProductType - 1] : L"";
}

namespace {

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// The release word of an NT version and whether editions are named after GetProductInfo;
// empty for a version this table does not know.
std::wstring ReleaseOf(const TWindowsVersion& v, bool& productEditions) {
    productEditions = false;
    const bool workstation = v.ProductType == VER_NT_WORKSTATION;
    if (v.Major == 5) {
        if (v.Minor == 0) return workstation ? L"2000 Professional" : L"2000 Server";
        if (v.Minor == 1) return (v.SuiteMask & VER_SUITE_PERSONAL) ? L"XP Home Edition" : L"XP Professional";
        if (v.Minor == 2) return workstation ? L"XP Professional x64 Edition" : L"Server 2003";
        return L"";
    }
    productEditions = true;
    if (v.Major == 6) {
        switch (v.Minor) {
        case 0: return L"Vista";
        case 1: return L"7";
        case 2: return L"8";
        case 3: return L"8.1";
        }
    }
    if (v.Major == 10 && v.Minor == 0) return L"10";
    productEditions = false;
    return L"";
}

}  // namespace

std::wstring GetWindowsName(const std::optional<TWindowsVersion>& Version) {
    if (!Version) return L"";
    std::wstring name = L"Windows";
    if (Version->Platform == VER_PLATFORM_WIN32_NT) {
        bool productEditions = false;
        const std::wstring release = ReleaseOf(*Version, productEditions);
        if (release.empty()) return L"不明";
        name += release;
        const std::wstring edition = productEditions ? GetVistaProductName(Version->ProductInfo) : L"";
        if (!edition.empty()) name += L" " + edition;
    }
    const std::wstring servicePack = Trimmed(Version->ServicePack);
    if (!servicePack.empty()) name += L" [" + servicePack + L"]";
    return name;
}

// --- Hive files ---------------------------------------------------------------------------------

namespace {

std::wstring FolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

enum class TBase { Windows, Profile };

// One row of the measuring order: a file with the places it may lie in (the first that
// exists counts).
struct THiveFile {
    const wchar_t* Name;
    int Fill;
    TBase Base;
    std::vector<const wchar_t*> Paths;
    DWORD MinMajor;  // measured from this major Windows version on; 0 always
};

const std::vector<THiveFile>& HiveFiles() {
    static const std::vector<THiveFile> files = {
        {L"default", 12, TBase::Windows, {L"\\system32\\config\\default"}, 0},
        {L"SAM", 13, TBase::Windows, {L"\\system32\\config\\SAM"}, 0},
        {L"SECURITY", 10, TBase::Windows, {L"\\system32\\config\\SECURITY"}, 0},
        {L"software", 11, TBase::Windows, {L"\\system32\\config\\software"}, 0},
        {L"system", 12, TBase::Windows, {L"\\system32\\config\\system"}, 0},
        {L"NTUSER.DAT", 8, TBase::Profile, {L"\\NTUSER.DAT"}, 0},
        {L"UsrClass.dat",
         9,
         TBase::Profile,
         {L"\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat",
          L"\\Local Settings\\Application Data\\Microsoft\\Windows\\UsrClass.dat"},
         0},
        {L"BCD-Template", 10, TBase::Windows, {L"\\system32\\config\\BCD-Template"}, 6},
        {L"COMPONENTS", 10, TBase::Windows, {L"\\system32\\config\\COMPONENTS"}, 6},
    };
    return files;
}

// The size of a file (not a folder) looked up by name; none when there is no such file.
std::optional<int64_t> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

}  // namespace

THiveFolders GetHiveFolders() {
    return {WithoutTrailingSlash(FolderPath(CSIDL_WINDOWS)), WithoutTrailingSlash(FolderPath(CSIDL_PROFILE))};
}

std::vector<THiveSize> MeasureHiveFiles(const THiveFolders& Folders, DWORD MajorVersion) {
    std::vector<THiveSize> sizes;
    for (const THiveFile& file : HiveFiles()) {
        if (MajorVersion < file.MinMajor) continue;
        const std::wstring& base = file.Base == TBase::Windows ? Folders.Windows : Folders.Profile;
        if (base.empty()) continue;
        for (const wchar_t* path : file.Paths) {
            if (const auto bytes = FileSize(base + path)) {
                sizes.push_back({file.Name, file.Fill, *bytes});
                break;
            }
        }
    }
    return sizes;
}

int64_t TotalSize(const std::vector<THiveSize>& Sizes) {
    int64_t total = 0;
    for (const THiveSize& size : Sizes) total += size.Bytes;
    return total;
}

std::wstring BuildSizeReport(const std::vector<THiveSize>& Sizes, const std::wstring& WindowsName, TSizeUnit Unit,
                             wchar_t DecimalSeparator) {
    const std::wstring rule(54, L'-');
    std::wstring report = rule + L"\r\n" + WindowsName + L"\r\n" + L"合計サイズ" + std::wstring(9, L'\x3000') +
                          FormatSize(TotalSize(Sizes), Unit, DecimalSeparator) + L"\r\n" + rule + L"\r\n";
    for (const THiveSize& size : Sizes)
        report += size.Name + std::wstring(static_cast<size_t>(size.Fill), L'\x3000') +
                  FormatSize(size.Bytes, Unit, DecimalSeparator) + L"\r\n";
    return report;
}

// --- Snapshots ------------------------------------------------------------------------------

std::wstring SnapshotFileName(const SYSTEMTIME& Time) {
    wchar_t name[64];
    swprintf(name, std::size(name), L"%04u_%u_%u_%u_%u_%u", Time.wYear, Time.wMonth, Time.wDay, Time.wHour,
             Time.wMinute, Time.wSecond);
    return name + std::wstring(SnapshotExt);
}

namespace {

std::wstring WithSlash(const std::wstring& folder) {
    return !folder.empty() && folder.back() != L'\\' ? folder + L"\\" : folder;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::wstring SaveSnapshot(const std::wstring& Folder, const std::vector<THiveSize>& Sizes, const SYSTEMTIME& Time) {
    const std::wstring folder = WithSlash(Folder);
    wide::WideForceDirectories(folder);
    const std::wstring first = SnapshotFileName(Time);
    const std::wstring stem = first.substr(0, first.size() - std::wstring(SnapshotExt).size());
    std::wstring name = first;
    for (int n = 2; PathExists(folder + name); ++n) name = stem + L"_" + std::to_wstring(n) + SnapshotExt;
    settings::TVxMemIniFile file(folder + name);
    for (const THiveSize& size : Sizes) file.WriteString(SnapshotSection, size.Name, std::to_wstring(size.Bytes));
    file.UpdateFile();
    return name;
}

std::vector<std::wstring> ListSnapshots(const std::wstring& Folder) {
    std::vector<std::wstring> names;
    registry::EnumFiles(WithoutTrailingSlash(Folder), false, registry::efFiles,
                        [&](const std::wstring& path, const WIN32_FIND_DATAW& data) {
                            if (registry::FileHasExt(path, SnapshotExt)) names.push_back(data.cFileName);
                        });
    return names;
}

std::vector<TSizeDifference> CompareWithSnapshot(const std::vector<THiveSize>& Current, const std::wstring& FileName,
                                                 TSnapshotRead* Read) {
    std::vector<TSizeDifference> rows;
    TSnapshotRead read = TSnapshotRead::Read;
    const std::optional<int64_t> bytes = FileSize(FileName);
    if (!bytes) {
        read = TSnapshotRead::Missing;
    } else if (*bytes > MaxSnapshotBytes) {
        read = TSnapshotRead::TooLarge;
    } else {
        try {
            const settings::TVxMemIniFile file(FileName);
            for (const THiveSize& size : Current)
                if (file.ValueExists(SnapshotSection, size.Name))
                    rows.push_back({size.Name, file.ReadInt64(SnapshotSection, size.Name, 0) - size.Bytes});
        } catch (const classlib::Exception&) {
            read = TSnapshotRead::Missing;  // it went, or cannot be opened
        }
    }
    if (Read) *Read = read;
    return rows;
}

}  // namespace tools
