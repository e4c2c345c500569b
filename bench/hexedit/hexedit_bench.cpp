// Speed of the hex editor core on 50 MB, each line against a baseline doing the same work
// in the same run: load and save against a copy of the bytes; find against a Horspool
// search of the same data and pattern (plain, through the fold table, over folded UTF-16
// units) at pattern lengths 8, 256 and 1,024; the worst case of a shift table (a pattern
// 'A'...'A' "BA" in data of only 'A') against a Boyer-Moore search with the good-suffix
// rule, and its cost at 256 and 1,024 against 8 (flat in the length); insert and delete in
// the middle against std::vector; undo of a 10 MB cut against memmove; the cost per
// overwrite keystroke at the default undo budget, last slice against first; then the binary
// value editor's lines (alone with the argument "editor").
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "common/bench_common.h"
#include "hexedit/hexeditor.h"

using namespace hexedit;

// The binary value editor's lines (binaryeditor_bench.cpp).
void RunBinaryEditorBench();

namespace {

using bench::Alternate;
using bench::Report;

const size_t kSize = 50u * 1024 * 1024;

// A plain Horspool search over symbols text(i), i in [0, n), for a pattern of m symbols;
// the shift table is indexed by a symbol's low byte (smallest shift of those sharing it).
template <class TSym, class TText>
long long Horspool(long long n, const TSym* pattern, int m, TText text) {
    long long shift[256];
    for (long long& s : shift) s = m;
    for (int j = 0; j < m - 1; ++j) {
        long long& s = shift[static_cast<uint8_t>(pattern[j])];
        s = std::min<long long>(s, m - 1 - j);
    }
    for (long long s = 0; s + m <= n;) {
        const TSym c = text(s + m - 1);
        if (c == pattern[m - 1]) {
            int j = 0;
            while (j < m - 1 && text(s + j) == pattern[j]) ++j;
            if (j == m - 1) return s;
        }
        s += shift[static_cast<uint8_t>(c)];
    }
    return -1;
}

std::string Label(const char* what, int m) { return std::string(what) + ", m = " + std::to_string(m); }

void Load(TCustomHexEditor& editor, const void* data, size_t size) {
    classlib::TMemoryStream stream;
    stream.WriteBuffer(data, size);
    editor.LoadFromStream(stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // "editor": only the binary value editor's lines.
    if (argc > 1 && std::wstring(argv[1]) == L"editor") {
        bench::PrintLegend();
        RunBinaryEditorBench();
        return bench::Finish();
    }
    std::vector<uint8_t> data(kSize);
    std::mt19937 random(1234);
    for (size_t i = 0; i + 4 <= kSize; i += 4) {
        const uint32_t r = random();
        std::memcpy(&data[i], &r, 4);
    }
    std::printf("hexedit benchmark, %zu MB of random data, %d rounds\n", kSize >> 20, bench::DefaultRounds);
    bench::PrintLegend();
    const int rounds = bench::DefaultRounds;

    // ---- Load and save ------------------------------------------------------------------
    classlib::TMemoryStream source;
    source.WriteBuffer(data.data(), kSize);
    TCustomHexEditor editor;
    {
        std::unique_ptr<uint8_t[]> block;
        auto copy = [&] {
            block.reset(new uint8_t[kSize]);
            std::memcpy(block.get(), data.data(), kSize);
        };
        auto pair = Alternate(rounds, copy, [&] { editor.LoadFromStream(source); });
        const bool same = editor.GetDataSize() == int(kSize) &&
                          std::memcmp(editor.GetDataPointer(0, int(kSize)), data.data(), kSize) == 0 &&
                          std::memcmp(block.get(), data.data(), kSize) == 0;
        Report("load 50 MB (LoadFromStream) vs a copy", pair, 3, same);
        classlib::TMemoryStream out;
        pair = Alternate(rounds, copy, [&] {
            out.Clear();
            editor.SaveToStream(out);
        });
        const bool saved = out.Size() == static_cast<long long>(kSize) && std::memcmp(out.Memory(), data.data(), kSize) == 0;
        Report("save 50 MB (SaveToStream) vs a copy", pair, 3, saved);
    }

    // ---- Find on random data ------------------------------------------------------------
    editor.LoadFromStream(source);
    const int last = editor.GetDataSize() - 1;
    // The editor's fold table without a translation: each byte lower-cased by the system's
    // rule, lead bytes of double-byte characters as they are.
    uint8_t fold[256];
    for (int i = 0; i < 256; ++i) {
        char c = static_cast<char>(i);
        if (!IsDBCSLeadByte(static_cast<BYTE>(i))) CharLowerBuffA(&c, 1);
        fold[i] = static_cast<uint8_t>(c);
    }
    for (int m : {8, 256, 1024}) {
        // Random bytes: as good as absent from the data; the baseline's answer is the oracle.
        std::string pattern(static_cast<size_t>(m), '\0');
        for (char& c : pattern) c = static_cast<char>(random());
        const uint8_t* text = data.data();
        long long oursHit = 0, baseHit = 0;
        const std::boyer_moore_horspool_searcher searcher(pattern.begin(), pattern.end());
        auto pair = Alternate(
            rounds,
            [&] {
                const char* t = reinterpret_cast<const char*>(text);
                const char* at = std::search(t, t + kSize, searcher);
                baseHit = at == t + kSize ? -1 : at - t;
            },
            [&] { oursHit = editor.Find(pattern.data(), m, 0, last, false); });
        Report(Label("find in random data vs Horspool", m), pair, 1.5, oursHit == baseHit);

        // Ignoring case: the data goes through the fold table on both sides.
        std::string folded;
        editor.PrepareFindData(pattern, true, false, folded);
        pair = Alternate(
            rounds,
            [&] {
                baseHit = Horspool<uint8_t>(static_cast<long long>(kSize), reinterpret_cast<const uint8_t*>(folded.data()),
                                            m, [&](long long i) { return fold[text[i]]; });
            },
            [&] { oursHit = editor.Find(folded.data(), m, 0, last, true); });
        Report(Label("find ignoring case vs folding Horspool", m), pair, 1.5, oursHit == baseHit);
    }

    // Unicode mode ignoring case: folded UTF-16 units starting on either byte parity.
    {
        editor.SetUnicodeChars(true);
        std::vector<uint16_t> unitFold(65536);
        {
            std::vector<wchar_t> units(65536);
            for (int i = 0; i < 65536; ++i) units[i] = static_cast<wchar_t>(i);
            CharLowerBuffW(units.data(), 0xD800);
            CharLowerBuffW(units.data() + 0xE000, 0x10000 - 0xE000);
            for (int i = 0; i < 65536; ++i) unitFold[i] = static_cast<uint16_t>(units[i]);
        }
        const uint8_t* text = data.data();
        for (int m : {8, 256, 1024}) {
            std::vector<uint16_t> pat(static_cast<size_t>(m));
            for (uint16_t& u : pat) u = unitFold[random() & 0xFFFF];
            std::string bytes(reinterpret_cast<const char*>(pat.data()), pat.size() * 2);
            long long oursHit = 0, baseHit = 0;
            auto pair = Alternate(
                rounds,
                [&] {
                    baseHit = -1;
                    for (int parity = 0; parity < 2 && baseHit < 0; ++parity) {
                        const uint8_t* start = text + parity;
                        const long long u = Horspool<uint16_t>(
                            static_cast<long long>((kSize - parity) / 2), pat.data(), m,
                            [&](long long i) { return unitFold[start[2 * i] | start[2 * i + 1] << 8]; });
                        if (u >= 0) baseHit = parity + 2 * u;
                    }
                },
                [&] { oursHit = editor.Find(bytes.data(), 2 * m, 0, last, true); });
            Report(Label("find UTF-16 ignoring case vs unit Horspool", m), pair, 1.5, oursHit == baseHit);
        }
        editor.SetUnicodeChars(false);
    }

    // ---- Find: the worst case of a shift table ------------------------------------------
    {
        // Only 'A': bytes for the byte modes, UTF-16 units for the Unicode mode.
        TCustomHexEditor same;
        const std::vector<uint8_t> allA(kSize, 'A');
        std::vector<uint8_t> allA16(kSize, 0);
        for (size_t i = 0; i < kSize; i += 2) allA16[i] = 'A';
        struct TMode {
            const char* Name;
            bool IgnoreCase, Unicode;
        };
        for (const TMode& mode : {TMode{"plain", false, false}, TMode{"ignoring case", true, false},
                                  TMode{"UTF-16 ignoring case", true, true}}) {
            same.SetUnicodeChars(false);
            Load(same, mode.Unicode ? allA16.data() : allA.data(), kSize);
            same.SetUnicodeChars(mode.Unicode);
            const int sameLast = same.GetDataSize() - 1;
            double median8 = 0;
            for (int m : {8, 256, 1024}) {
                std::string text(static_cast<size_t>(m - 2), 'A');
                text += "BA";
                std::string pattern;
                same.PrepareFindData(text, mode.IgnoreCase, true, pattern);
                const int count = static_cast<int>(pattern.size());
                long long oursHit = 0, baseHit = -1;
                bench::TPair pair;
                if (!mode.IgnoreCase) {
                    const std::boyer_moore_searcher searcher(pattern.begin(), pattern.end());
                    pair = Alternate(
                        rounds,
                        [&] {
                            const char* t = reinterpret_cast<const char*>(allA.data());
                            const char* at = std::search(t, t + kSize, searcher);
                            baseHit = at == t + kSize ? -1 : at - t;
                        },
                        [&] { oursHit = same.Find(pattern.data(), count, 0, sameLast, mode.IgnoreCase); });
                    Report(Label("worst case vs good-suffix Boyer-Moore", m), pair, 1.5, oursHit == baseHit);
                } else {
                    for (int r = 0; r < rounds; ++r)
                        pair.Ours.Times.push_back(bench::Seconds(
                            [&] { oursHit = same.Find(pattern.data(), count, 0, sameLast, mode.IgnoreCase); }));
                }
                if (oursHit != -1) {
                    std::printf("  WRONG: the worst case pattern was found at %lld\n", oursHit);
                    ++bench::FailureCount();
                }
                if (m == 8) {
                    median8 = pair.Ours.Median();
                    continue;
                }
                char detail[96];
                std::snprintf(detail, sizeof detail, "%s ms against %s ms at m = 8",
                              bench::Milliseconds(pair.Ours.Median()).c_str(), bench::Milliseconds(median8).c_str());
                bench::ReportRatio(Label((std::string("worst case ") + mode.Name + ", flat in m").c_str(), m),
                                   pair.Ours.Median() / std::max(median8, 1e-9), 1.5, detail);
            }
        }
    }

    // ---- Insert and delete in the middle --------------------------------------------------
    {
        const int count = 1024, times = 10;
        const std::vector<uint8_t> buffer(count, 0x5A);
        const int middle = static_cast<int>(kSize / 2);
        std::vector<uint8_t> v;
        // Both start from a block of exactly the data's size, so both grow it once.
        auto reset = [&] {
            editor.LoadFromStream(source);
            v = std::vector<uint8_t>(data);
        };
        reset();
        bool agree = true;
        auto check = [&] {
            agree = agree && editor.GetDataSize() == int(v.size()) &&
                    std::memcmp(editor.GetDataPointer(0, editor.GetDataSize()), v.data(), v.size()) == 0;
            reset();
        };
        auto pair = Alternate(
            rounds,
            [&] {
                for (int i = 0; i < times; ++i) v.insert(v.begin() + middle, buffer.begin(), buffer.end());
            },
            [&] {
                for (int i = 0; i < times; ++i) editor.InsertBuffer(buffer.data(), count, middle, L"", false);
            },
            check);
        Report("insert 1 KB in the middle (x10) vs vector insert", pair, 1.5, agree);
        pair = Alternate(
            rounds,
            [&] {
                for (int i = 0; i < times; ++i) v.erase(v.begin() + middle, v.begin() + middle + count);
            },
            [&] {
                for (int i = 0; i < times; ++i) {
                    editor.SetSelStart(middle);
                    editor.SetSelEnd(middle + count - 1);
                    editor.DeleteSelection(L"");
                }
            },
            check);
        Report("delete 1 KB in the middle (x10) vs vector erase", pair, 1.5, agree);
    }

    // ---- Undo of a 10 MB cut --------------------------------------------------------------
    {
        const int cut = 10 * 1024 * 1024;
        const int at = 20 * 1024 * 1024;
        std::unique_ptr<uint8_t[]> raw(new uint8_t[kSize]);
        auto prepare = [&] {
            editor.LoadFromStream(source);
            editor.SetSelStart(at);
            editor.SetSelEnd(at + cut - 1);
            editor.DeleteSelection(L"Cut");
            // The baseline's buffer in the same state: the cut bytes gone, room kept.
            std::memcpy(raw.get(), data.data(), kSize);
            std::memmove(raw.get() + at, raw.get() + at + cut, kSize - at - cut);
        };
        prepare();
        bool restored = true;
        auto pair = Alternate(
            rounds,
            [&] {
                std::memmove(raw.get() + at + cut, raw.get() + at, kSize - at - cut);
                std::memcpy(raw.get() + at, data.data() + at, cut);
            },
            [&] { editor.Undo(); },
            [&] {
                restored = restored && editor.GetDataSize() == int(kSize) &&
                           std::memcmp(editor.GetDataPointer(0, int(kSize)), data.data(), kSize) == 0 &&
                           std::memcmp(raw.get(), data.data(), kSize) == 0;
                prepare();
            });
        Report("undo of a 10 MB cut vs memmove", pair, 2, restored);
    }

    // ---- Overwrite keystrokes at the default undo budget ----------------------------------
    {
        const int total = 100000, slice = 10000;
        const wchar_t digits[] = L"0123456789abcdef";
        bench::TSamples first, lastSlice;
        for (int r = 0; r < rounds; ++r) {
            editor.LoadFromStream(source);
            editor.SetMaxUndo(1048576);
            for (int s = 0; s < total / slice; ++s) {
                const double seconds = bench::Seconds([&] {
                    for (int i = 0; i < slice; ++i) editor.KeyPress(digits[(s * slice + i) % 16]);
                });
                if (s == 0) first.Times.push_back(seconds);
                if (s == total / slice - 1) lastSlice.Times.push_back(seconds);
            }
        }
        char detail[96];
        std::snprintf(detail, sizeof detail, "last %s ms, first %s ms per 10,000 (history %d steps)",
                      bench::Milliseconds(lastSlice.Median()).c_str(), bench::Milliseconds(first.Median()).c_str(),
                      editor.UndoStorage().StepCount());
        bench::ReportRatio("100,000 overwrite keystrokes, flat cost per step", lastSlice.Median() / first.Median(), 2,
                           detail);
    }

    RunBinaryEditorBench();
    return bench::Finish();
}
