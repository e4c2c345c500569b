// Settings store benchmark: a read must take time linear in the file's lines, also when the
// file repeats a header that is no section line ("[a=b]", which a section named "a=b" has).
//
// Each figure is a like-for-like ratio measured in the same run: one read of a file of
// 48,000 such lines against four reads of a file of 12,000 (the same number of lines
// passed); a linear read gives about 1, a quadratic one about 4. A read of a file of as
// many ordinary key lines is the second baseline. Each pair runs alternately a few times
// and the best time of each side counts.
//
// Usage: settings_bench.exe [rounds]
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

double Seconds(const std::function<void()>& body) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    body();
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

bool gAllWithinAim = true;

void Compare(const char* what, const char* baseName, double aim, int rounds, const std::function<void()>& base,
             const std::function<void()>& ours) {
    double bestBase = 1e30, bestOurs = 1e30;
    for (int r = 0; r < rounds; ++r) {
        bestBase = std::min(bestBase, Seconds(base));
        bestOurs = std::min(bestOurs, Seconds(ours));
    }
    const double ratio = bestBase > 0 ? bestOurs / bestBase : 0;
    const bool ok = ratio <= aim;
    gAllWithinAim = gAllWithinAim && ok;
    std::printf("  %-38s ours %8.2f ms  %-30s %8.2f ms  ratio %5.2f  (aim <= %.1f)  %s\n", what, bestOurs * 1000,
                baseName, bestBase * 1000, ratio, aim, ok ? "ok" : "OVER");
    std::fflush(stdout);
}

// A file of `count` copies of `line` and a last line "x=1".
void WriteFile(const std::wstring& file, const std::wstring& line, int count) {
    TWideStringList list;
    for (int i = 0; i < count; ++i) list.Add(line);
    list.Add(L"x=1");
    list.SaveToFile(file);
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::printf("FAILED: %s\n", what);
    std::exit(1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
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
        std::printf("ratio = ours / baseline; 1 is linear, 4 would be quadratic\n");
        Compare("ReadString, 48,000 lines \"[a=b]\"", "4 x ReadString, 12,000 lines", 1.5, rounds,
                [&] { for (int i = 0; i < 4; ++i) a = smallIni.ReadString(L"a=b", L"x", L"none"); },
                [&] { b = bigIni.ReadString(L"a=b", L"x", L"none"); });
        Check(a == L"1" && b == L"1", "both reads find the key after the last header");
        Compare("ReadString, 48,000 lines \"[a=b]\"", "ReadString, 48,000 key lines", 3.0, rounds,
                [&] { a = plainIni.ReadString(L"", L"x", L"none"); },
                [&] { b = bigIni.ReadString(L"a=b", L"x", L"none"); });
        Check(a == L"none" && b == L"1", "the reads give what the files hold");
    }
    for (const std::wstring& f : {small, big, plain}) DeleteFileW(f.c_str());
    std::printf("verdict: %s\n", gAllWithinAim ? "all within aim" : "some OVER aim");
    return 0;
}
