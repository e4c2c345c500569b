// Settings store benchmark: a read must take time linear in the file's lines, also when the
// file repeats a header that is no section line ("[a=b]", which a section named "a=b" has).
//
// Each figure is a like-for-like ratio measured in the same run: one read of a file of
// 48,000 such lines against four reads of a file of 12,000 (the same number of lines
// passed); a linear read gives about 1, a quadratic one about 4. A read of a file of as
// many ordinary key lines is the second baseline. Each pair runs alternately for several
// rounds; best and median are printed, the median decides.
//
// Usage: settings_bench.exe [rounds]
#include "common/bench_common.h"
#include "settings/inifile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using namespace settings;
using namespace wide;

namespace {

// A file of `count` copies of `line` and a last line "x=1".
void WriteFile(const std::wstring& file, const std::wstring& line, int count) {
    TWideStringList list;
    for (int i = 0; i < count; ++i) list.Add(line);
    list.Add(L"x=1");
    list.SaveToFile(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : bench::DefaultRounds;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base = std::wstring(temp) + L"WendlarSettingsBench" + std::to_wstring(GetCurrentProcessId());
    const std::wstring small = base + L"small.db", big = base + L"big.db", plain = base + L"plain.db";
    WriteFile(small, L"[a=b]", 12000);
    WriteFile(big, L"[a=b]", 48000);
    WriteFile(plain, L"k=v", 48000);
    {
        TVxMemIniFile smallIni(small), bigIni(big), plainIni(plain);
        std::wstring a, b;
        std::printf("settings benchmark, %d rounds; 48,000 lines against four times 12,000: 1 is linear, 4 would "
                    "be quadratic\n", rounds);
        bench::PrintLegend();
        auto pair = bench::Alternate(
            rounds, [&] { for (int i = 0; i < 4; ++i) a = smallIni.ReadString(L"a=b", L"x", L"none"); },
            [&] { b = bigIni.ReadString(L"a=b", L"x", L"none"); });
        // Both reads find the key after the last header.
        bench::Report("ReadString, 48,000 lines \"[a=b]\" vs 4 x 12,000", pair, 1.5, a == L"1" && b == L"1");
        pair = bench::Alternate(
            rounds, [&] { a = plainIni.ReadString(L"", L"x", L"none"); },
            [&] { b = bigIni.ReadString(L"a=b", L"x", L"none"); });
        // The reads give what the files hold.
        bench::Report("ReadString, 48,000 lines \"[a=b]\" vs 48,000 key lines", pair, 3.0,
                      a == L"none" && b == L"1");
    }
    for (const std::wstring& f : {small, big, plain}) DeleteFileW(f.c_str());
    return bench::Finish();
}
