// Find: pattern preparation and a Horspool search over the mapped data bytes (or, for
// case-insensitive text in Unicode mode, over whole UTF-16 units).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "hexedit/hexeditor.h"

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

// Horspool over bytes compared as map[text] == pattern. Returns the first start in
// [from, lastStart] or -1.
template <class TMap>
long long HorspoolBytes(const uint8_t* text, long long from, long long lastStart, const uint8_t* pattern, int m,
                        TMap map, TFindProgress& progress) {
    long long shift[256];
    for (long long& s : shift) s = m;
    for (int j = 0; j < m - 1; ++j) shift[pattern[j]] = m - 1 - j;
    const uint8_t lastByte = pattern[m - 1];
    for (long long s = from; s <= lastStart;) {
        progress.At(s);
        const uint8_t c = map(text[s + m - 1]);
        if (c == lastByte) {
            int j = 0;
            while (j < m - 1 && map(text[s + j]) == pattern[j]) ++j;
            if (j == m - 1) return s;
        }
        s += shift[c];
    }
    return -1;
}

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
    if (ignoreCase) CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
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
        if (ignoreCase) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
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
    OnProgress(this, pkFind, FProgressName.empty() ? FFileName : FProgressName, percent, cancel);
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
                           [this, size](long long pos) { ProgressFind(pos, size); }};
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
        long long shift[256];
        for (long long& s : shift) s = m;
        for (int j = 0; j < m - 1; ++j) shift[pat[j] & 0xFF] = std::min<long long>(shift[pat[j] & 0xFF], m - 1 - j);
        long long best = -1;
        // Matches may start on any byte: one unit-wise pass per byte parity.
        for (int parity = 0; parity < 2; ++parity) {
            const long long base = from + parity;
            if (base > lastStart) break;
            const long long lastUnit = (lastStart - base) / 2;
            for (long long u = 0; u <= lastUnit;) {
                const long long s = base + 2 * u;
                if (best >= 0 && s >= best) break;
                progress.At(s);
                const uint16_t c = fold[unitAt(text + s + 2 * (m - 1))];
                if (c == pat[m - 1]) {
                    int j = 0;
                    while (j < m - 1 && fold[unitAt(text + s + 2 * j)] == pat[j]) ++j;
                    if (j == m - 1) {
                        best = s;
                        break;
                    }
                }
                u += shift[c & 0xFF];
            }
        }
        return static_cast<int>(best);
    }

    long long hit;
    if (ignoreCase) {
        const uint8_t* table = FFoldTable;
        hit = HorspoolBytes(text, from, lastStart, pattern, count, [table](uint8_t b) { return table[b]; }, progress);
    } else {
        hit = HorspoolBytes(text, from, lastStart, pattern, count, [](uint8_t b) { return b; }, progress);
    }
    return static_cast<int>(hit);
}
