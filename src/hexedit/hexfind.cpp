// Find: pattern preparation and a two-way search over the mapped data bytes (or, for
// case-insensitive text in Unicode mode, over whole UTF-16 units).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "classlib/runtime.h"
#include "hexedit/hexeditor.h"

namespace hexedit {

namespace {

// Lower-case form of every UTF-16 code unit, built once.
const std::vector<uint16_t>& UnitFoldTable() {
    static const std::vector<uint16_t> table = [] {
        std::vector<wchar_t> units(65536);
        for (int i = 0; i < 65536; ++i) units[i] = static_cast<wchar_t>(i);
        // Surrogates stay as they are: a lone half has no case.
        CharLowerBuffW(units.data(), 0xD800);
        CharLowerBuffW(units.data() + 0xE000, 0x10000 - 0xE000);
        std::vector<uint16_t> out(65536);
        for (int i = 0; i < 65536; ++i) out[i] = static_cast<uint16_t>(units[i]);
        return out;
    }();
    return table;
}

// Progress of a search pass: an event every `step` window positions.
struct TFindProgress {
    TCustomHexEditor* Editor;
    bool Active;
    long long Step, Next, Total;
    std::function<void(long long)> Report;
    void At(long long pos) {
        if (Active && pos >= Next) {
            Report(pos);
            Next = pos + Step;
        }
    }
};

// Two-way search with a shift-table skip. The pattern is split at a critical position
// (the larger of its maximal suffixes under the two symbol orders); its right part is
// compared left to right, then its left part right to left, and a periodic pattern
// remembers how much of its prefix the last shift kept matched. That bounds the work by
// about twice the data plus the pattern whatever the data holds (runs of one byte, zero
// fills), where a shift table alone can cost data times pattern. Before each comparison
// the window's last symbol goes through the shift table, so ordinary data is skipped
// over as a plain shift-table search would.
//
// Symbols are bytes or UTF-16 units; the shift table is indexed by a symbol's low byte
// and keeps the smallest shift of the symbols sharing it, which never skips a match.
template <class TSym>
class TTwoWayPattern {
public:
    TTwoWayPattern(const TSym* pattern, int m) : FX(pattern), FM(m) {
        int period1 = 1, period2 = 1;
        const int ms1 = MaxSuffix(period1, false);
        const int ms2 = MaxSuffix(period2, true);
        FEll = ms1 > ms2 ? ms1 : ms2;
        FPeriod = ms1 > ms2 ? period1 : period2;
        // Periodic when the left part recurs one period further on.
        FPeriodic = FPeriod + FEll + 1 <= FM && std::equal(FX, FX + FEll + 1, FX + FPeriod);
        if (!FPeriodic) FPeriod = std::max(FEll + 1, FM - FEll - 1) + 1;
        for (long long& s : FShift) s = m;
        for (int j = 0; j < m - 1; ++j) {
            long long& s = FShift[static_cast<uint8_t>(FX[j])];
            s = std::min<long long>(s, m - 1 - j);
        }
    }

    // The first window start j in [0, lastStart] where text(j + i) == pattern[i] for every
    // i, or -1. `at(j)` is told each window start before it is compared.
    template <class TText, class TAt>
    long long Find(long long lastStart, TText text, TAt at) const {
        const TSym* x = FX;
        const int m = FM, ell = FEll;
        const TSym last = x[m - 1];
        int memory = -1;  // pattern prefix [0, memory] known to match (periodic patterns)
        for (long long j = 0; j <= lastStart;) {
            at(j);
            const TSym c = text(j + m - 1);
            if (memory < 0 && c != last) {
                j += FShift[static_cast<uint8_t>(c)];
                continue;
            }
            int i = std::max(ell, memory) + 1;
            while (i < m && x[i] == text(j + i)) ++i;
            if (i < m) {
                j += std::max<long long>(i - ell, FShift[static_cast<uint8_t>(c)]);
                memory = -1;
                continue;
            }
            i = ell;
            while (i > memory && x[i] == text(j + i)) --i;
            if (i <= memory) return j;
            j += FPeriod;
            if (FPeriodic) memory = m - FPeriod - 1;
        }
        return -1;
    }

private:
    // Start (minus one) and period of the pattern's maximal suffix under the symbol order,
    // or under the reversed order.
    int MaxSuffix(int& period, bool reversed) const {
        int ms = -1, j = 0, k = 1;
        period = 1;
        while (j + k < FM) {
            const TSym a = FX[j + k], b = FX[ms + k];
            if (a == b) {
                if (k != period) {
                    ++k;
                } else {
                    j += period;
                    k = 1;
                }
            } else if ((a < b) != reversed) {
                j += k;
                k = 1;
                period = j - ms;
            } else {
                ms = j;
                j = ms + 1;
                k = period = 1;
            }
        }
        return ms;
    }

    const TSym* FX;
    int FM;
    int FEll = -1;
    int FPeriod = 1;
    bool FPeriodic = false;
    long long FShift[256];
};

}  // namespace

void TCustomHexEditor::BuildFindTables() {
    // The fold table lower-cases each byte as the current translation shows it. DBCS lead
    // bytes are no characters on their own and keep their identity.
    for (int i = 0; i < 256; ++i) {
        FIdentityTable[i] = static_cast<uint8_t>(i);
        uint8_t b = static_cast<uint8_t>(i), ansi = b;
        if (FTranslation != tkAsIs) TranslateToAnsi(FTranslation, &b, &ansi, 1);
        if (IsDBCSLeadByte(ansi)) {
            FFoldTable[i] = b;
            continue;
        }
        char c = static_cast<char>(ansi);
        CharLowerBuffA(&c, 1);
        uint8_t lowered = static_cast<uint8_t>(c), back = lowered;
        if (FTranslation != tkAsIs) TranslateFromAnsi(FTranslation, &lowered, &back, 1);
        FFoldTable[i] = back;
    }
}

void TCustomHexEditor::PrepareFindData(const std::string& text, bool ignoreCase, bool isText, std::string& findData) {
    findData.clear();
    if (text.empty()) return;
    BuildFindTables();
    std::string s = text;
    if (!isText) {
        if (ignoreCase)
            for (char& c : s) c = static_cast<char>(FFoldTable[static_cast<uint8_t>(c)]);
        findData = s;
        return;
    }
    if (ignoreCase) CharLowerBuffA(s.data(), classlib::Win32Size<DWORD>(s.size()));
    if (FTranslation != tkAsIs) {
        std::string t(s.size(), '\0');
        TranslateFromAnsi(FTranslation, reinterpret_cast<const uint8_t*>(s.data()),
                          reinterpret_cast<uint8_t*>(t.data()), s.size());
        s = t;
    }
    if (!UnicodeChars()) {
        // The data is compared through the fold table byte by byte; the pattern goes through
        // the same table, so a trail byte of a double-byte character that looks like a Latin
        // letter (the katakana ア is 83 41) folds alike on both sides.
        if (ignoreCase)
            for (char& c : s) c = static_cast<char>(FFoldTable[static_cast<uint8_t>(c)]);
        findData = s;
        return;
    }
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), wide.data(), n);
    for (wchar_t& c : wide) {
        if (FUnicodeBigEndian) SwapWideChar(c);
        findData += static_cast<char>(c & 0xFF);
        findData += static_cast<char>((c >> 8) & 0xFF);
    }
}

void TCustomHexEditor::PrepareFindData(const std::wstring& text, bool ignoreCase, bool isText, std::string& findData) {
    if (isText && UnicodeChars() && !text.empty()) {
        BuildFindTables();
        std::wstring wide = text;
        if (ignoreCase) CharLowerBuffW(wide.data(), classlib::Win32Size<DWORD>(wide.size()));
        findData.clear();
        for (wchar_t c : wide) {
            if (FUnicodeBigEndian) SwapWideChar(c);
            findData += static_cast<char>(c & 0xFF);
            findData += static_cast<char>((c >> 8) & 0xFF);
        }
        return;
    }
    std::string ansi;
    if (!text.empty()) {
        int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        ansi.assign(n > 0 ? n : 0, '\0');
        if (n > 0)
            WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
    }
    PrepareFindData(ansi, ignoreCase, isText, findData);
}

void TCustomHexEditor::ProgressFind(long long done, long long total) {
    bool cancel = false;  // a find cannot be cancelled
    const uint8_t percent = static_cast<uint8_t>(std::clamp(std::nearbyint(done * 100.0 / total), 0.0, 100.0));
    // A copy: the handler may replace OnProgress while it runs.
    const THexProgressEvent handler = OnProgress;
    if (handler) handler(this, pkFind, FProgressName.empty() ? FFileName : FProgressName, percent, cancel);
}

int TCustomHexEditor::Find(const void* data, int count, int fromPos, int toPos, bool ignoreCase) {
    const long long size = GetDataSize();
    const long long last = std::min<long long>(toPos, size - 1);
    if (count <= 0 || !data || last + 1 < static_cast<long long>(fromPos) + count) return -1;
    const long long from = std::max(0, fromPos);
    const long long lastStart = last - count + 1;
    if (lastStart < from) return -1;
    const uint8_t* text = FData.Data();
    const uint8_t* pattern = static_cast<const uint8_t*>(data);

    TFindProgress progress{this, FFindProgress && static_cast<bool>(OnProgress), size < 500 ? 1 : size / 500, 0, size,
                           [this, size, text](long long pos) {
                               ProgressFind(pos, size);
                               // The search reads through `text`: data the handler changed
                               // ends the find instead of a read of freed memory.
                               if (FData.Data() != text || GetDataSize() != size) throw EHexEditor(hexmsg::DataBounds);
                           }};
    progress.Next = from;

    struct TCursor {
        TCustomHexEditor* E;
        explicit TCursor(TCustomHexEditor* e) : E(e) { E->BusyCursor(true); }
        ~TCursor() { E->BusyCursor(false); }
    } cursor(this);

    if (ignoreCase && UnicodeChars() && count % 2 == 0) {
        // Whole UTF-16 units are folded, so a unit whose bytes look like Latin letters (the
        // CJK character U+4E00 is the bytes 00 4E, "N") is never mangled byte by byte.
        const std::vector<uint16_t>& fold = UnitFoldTable();
        const bool be = FUnicodeBigEndian;
        auto unitAt = [be](const uint8_t* p) {
            return static_cast<uint16_t>(be ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
        };
        const int m = count / 2;
        std::vector<uint16_t> pat(m);
        for (int j = 0; j < m; ++j) pat[j] = fold[unitAt(pattern + 2 * j)];
        const TTwoWayPattern<uint16_t> twoWay(pat.data(), m);
        long long best = -1;
        // Matches may start on any byte: one unit-wise pass per byte parity; the second
        // pass only looks before a match the first one found.
        for (int parity = 0; parity < 2; ++parity) {
            const long long base = from + parity;
            if (base > lastStart) break;
            long long lastUnit = (lastStart - base) / 2;
            if (best >= 0) lastUnit = std::min(lastUnit, (best - base - 1) / 2);
            if (lastUnit < 0) break;
            const uint8_t* start = text + base;
            const long long u = twoWay.Find(
                lastUnit, [&](long long i) { return fold[unitAt(start + 2 * i)]; },
                [&](long long i) { progress.At(base + 2 * i); });
            if (u >= 0) best = base + 2 * u;
        }
        return static_cast<int>(best);
    }

    const TTwoWayPattern<uint8_t> twoWay(pattern, count);
    const uint8_t* start = text + from;
    auto at = [&](long long j) { progress.At(from + j); };
    long long hit;
    if (ignoreCase) {
        const uint8_t* table = FFoldTable;
        hit = twoWay.Find(lastStart - from, [=](long long i) { return table[start[i]]; }, at);
    } else {
        hit = twoWay.Find(lastStart - from, [=](long long i) { return start[i]; }, at);
    }
    if (hit >= 0) hit += from;
    return static_cast<int>(hit);
}

}  // namespace hexedit
