// Find: pattern preparation, the documented cases, CJK text and a naive reference.
#include <random>

#include "hex_test_util.h"

using namespace hexedit;

using namespace hextest;

namespace {
int FindText(TCustomHexEditor& e, const std::string& text, bool ignoreCase, bool isText, int from = 0,
             int to = 0x7FFFFFFF) {
    std::string pattern;
    e.PrepareFindData(text, ignoreCase, isText, pattern);
    return e.Find(pattern.data(), static_cast<int>(pattern.size()), from, to, ignoreCase);
}

// The first start s in [from, min(to, size-1) - m + 1] whose mapped bytes equal the pattern.
int NaiveFind(const std::string& data, const std::string& pattern, int from, int to, const uint8_t* map) {
    const int last = std::min<int>(to, static_cast<int>(data.size()) - 1);
    const int m = static_cast<int>(pattern.size());
    for (int s = std::max(0, from); s + m - 1 <= last; ++s) {
        int j = 0;
        while (j < m && map[static_cast<uint8_t>(data[s + j])] == static_cast<uint8_t>(pattern[j])) ++j;
        if (j == m) return s;
    }
    return -1;
}

// The first byte offset where the little-endian UTF-16 units of data, lower-cased, equal
// those of the pattern.
int NaiveUnitFind(const std::string& data, const std::string& pattern) {
    for (size_t s = 0; s + pattern.size() <= data.size(); ++s) {
        bool match = true;
        for (size_t j = 0; match && j < pattern.size(); j += 2) {
            wchar_t d = static_cast<wchar_t>(static_cast<uint8_t>(data[s + j]) | static_cast<uint8_t>(data[s + j + 1]) << 8);
            wchar_t p = static_cast<wchar_t>(static_cast<uint8_t>(pattern[j]) | static_cast<uint8_t>(pattern[j + 1]) << 8);
            CharLowerBuffW(&d, 1);
            CharLowerBuffW(&p, 1);
            match = d == p;
        }
        if (match) return static_cast<int>(s);
    }
    return -1;
}
}  // namespace

TEST(HexFind, DocumentedCases) {
    TCustomHexEditor e;
    Load(e, "xaBy");
    std::string pattern;
    e.PrepareFindData(std::string("AB"), true, true, pattern);
    EXPECT_EQ(pattern, "ab");
    EXPECT_EQ(FindText(e, "AB", true, true), 1);
    EXPECT_EQ(FindText(e, "AB", false, true), -1);
    EXPECT_EQ(FindText(e, "aB", false, true), 1);
    e.PrepareFindData(std::string(), true, true, pattern);
    EXPECT_EQ(pattern, "");

    Load(e, "AAAA");
    EXPECT_EQ(FindText(e, "AA", false, true, 1), 1);
    EXPECT_EQ(FindText(e, "AA", false, true, 3), -1);
    EXPECT_EQ(FindText(e, "AAA", false, true, 0, 1), -1);  // must lie inside from .. to

    Load(e, Counting(10));
    EXPECT_EQ(e.Find("\x05\x06\x07", 3, 5, 6, false), -1);
    EXPECT_EQ(e.Find("\x05\x06\x07", 3, 5, 7, false), 5);
    EXPECT_EQ(e.Find("", 0, 0, 9, false), -1);

    // Hex search with ignore case folds the pattern bytes as well.
    Load(e, Bytes({0x00, 0x61, 0x41}));
    e.PrepareFindData(Bytes({0x41}), true, false, pattern);
    EXPECT_EQ(pattern, Bytes({0x61}));
    EXPECT_EQ(e.Find(pattern.data(), 1, 0, 2, true), 1);

    // Unicode mode widens text to UTF-16 in the editor's byte order.
    Load(e, Utf16(L"xA"));
    e.SetUnicodeChars(true);
    e.PrepareFindData(std::string("A"), false, true, pattern);
    EXPECT_EQ(pattern, Bytes({0x41, 0x00}));
    EXPECT_EQ(FindText(e, "A", false, true), 2);
    e.SetUnicodeBigEndian(true);
    e.PrepareFindData(std::string("A"), false, true, pattern);
    EXPECT_EQ(pattern, Bytes({0x00, 0x41}));

    // Translated text is searched in the stored form.
    Load(e, Bytes({0x40, 0xC1, 0xC2}));
    e.SetUnicodeChars(false);
    e.SetTranslation(tkBCD);
    EXPECT_EQ(FindText(e, "AB", false, true), 1);
    EXPECT_EQ(FindText(e, "ab", true, true), 1);
}

TEST(HexFind, CjkTextInUnicodeModeIgnoringCase) {
    TCustomHexEditor e;
    // 一 is U+4E00, the bytes 00 4E ("N"): folding bytes one by one would turn it into "n".
    Load(e, Utf16(L"キー名値一中ABC"));
    e.SetUnicodeChars(true);
    for (const wchar_t* text : {L"名値", L"一中", L"一", L"中abc", L"値一中A"}) {
        SCOPED_TRACE(testsupport::Narrow(text));
        const std::wstring all = L"キー名値一中ABC";
        std::wstring upper = text;
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        const int expected = static_cast<int>(all.find(upper)) * 2;
        for (bool ignoreCase : {true, false}) {
            std::string pattern;
            e.PrepareFindData(std::wstring(text), ignoreCase, true, pattern);
            const int hit = e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, e.GetDataSize() - 1, ignoreCase);
            const bool exactCase = std::wstring(text) == upper;
            EXPECT_EQ(hit, ignoreCase || exactCase ? expected : -1) << "ignore case " << ignoreCase;
        }
    }
    e.SetUnicodeBigEndian(true);
    Load(e, std::string("\x00", 1) + "A" + std::string("\x4E\x00", 2));  // BE "A一"
    e.SetUnicodeChars(true);
    std::string pattern;
    e.PrepareFindData(std::wstring(L"a一"), true, true, pattern);
    EXPECT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, 3, true), 0);
}

TEST(HexFind, DbcsLeadBytesKeepTheirIdentity) {
    TCustomHexEditor e;
    // 名 in the Japanese code page is the bytes 96 BC; a lead byte is no character by itself.
    const std::string name = Bytes({0x96, 0xBC});
    Load(e, "ab" + name + "CD" + name);
    std::string pattern;
    e.PrepareFindData(name, true, false, pattern);
    EXPECT_EQ(pattern.substr(0, 1), name.substr(0, 1));
    EXPECT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, 99, true), 2);
    EXPECT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), 3, 99, true), 6);
}

TEST(HexFind, DoubleByteTextIgnoringCase) {
    // In the Japanese code page ア is 83 41 and キー名 has trail bytes in the letter range
    // too; text typed the same way is found whatever the case rule does to such bytes.
    const std::wstring text = L"xアキー名Y";
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
    TCustomHexEditor e;
    Load(e, "--" + ansi);
    for (const wchar_t* search : {L"アキー名", L"アキー名y", L"XアキーN名Y"}) {
        std::string pattern;
        e.PrepareFindData(std::wstring(search), true, true, pattern);
        const int hit = e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, e.GetDataSize() - 1, true);
        if (std::wstring(search).find(L'N') != std::wstring::npos)
            EXPECT_EQ(hit, -1);
        else
            EXPECT_EQ(hit, std::wstring(search)[0] == L'ア' ? 3 : 2) << testsupport::Narrow(search);
    }
}

TEST(HexFind, AgreesWithNaiveSearchOnRandomData) {
    std::mt19937 random(8);
    TCustomHexEditor e;
    uint8_t identity[256], fold[256];
    for (int i = 0; i < 256; ++i) {
        identity[i] = static_cast<uint8_t>(i);
        fold[i] = static_cast<uint8_t>(i >= 'A' && i <= 'Z' ? i + 32 : i);
    }
    const char alphabet[] = "aAbB";
    for (int round = 0; round < 300; ++round) {
        std::string data(1 + random() % 300, 'a');
        for (char& c : data) c = alphabet[random() % 4];
        Load(e, data);
        std::string text(1 + random() % 6, 'a');
        for (char& c : text) c = alphabet[random() % 4];
        const int from = static_cast<int>(random() % (data.size() + 2)) - 1;
        const int to = static_cast<int>(random() % (data.size() + 3)) - 1;
        for (bool ignoreCase : {false, true}) {
            std::string pattern;
            e.PrepareFindData(text, ignoreCase, true, pattern);
            const int expected = NaiveFind(data, pattern, from, to, ignoreCase ? fold : identity);
            ASSERT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), from, to, ignoreCase), expected)
                << "round " << round << " data " << data << " text " << text << " from " << from << " to " << to;
        }
    }
    // Unicode mode ignoring case: whole units, starting on any byte.
    for (int round = 0; round < 200; ++round) {
        const wchar_t units[] = L"aA一中";
        std::wstring wide(1 + random() % 60, L'a');
        for (wchar_t& c : wide) c = units[random() % 4];
        std::string data = Utf16(wide);
        if (random() % 2) data.insert(0, 1, 'A');
        if (data.size() % 2) data += 'a';
        Load(e, data);
        e.SetUnicodeChars(true);
        std::wstring text(1 + random() % 3, L'a');
        for (wchar_t& c : text) c = units[random() % 4];
        std::string pattern;
        e.PrepareFindData(text, true, true, pattern);
        const int expected = NaiveUnitFind(data, pattern);
        ASSERT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, e.GetDataSize() - 1, true), expected)
            << "unicode round " << round;
        e.SetUnicodeChars(false);
    }
}

// Long patterns made of a repeated word with a defect, in data made of the same pieces:
// the cases where a search must remember what it matched (periodic patterns) and where a
// shift table alone degrades. Plain bytes, folded bytes and folded UTF-16 units.
TEST(HexFind, AgreesWithNaiveSearchOnLongRepetitivePatterns) {
    std::mt19937 random(15);
    TCustomHexEditor e;
    uint8_t identity[256], fold[256];
    for (int i = 0; i < 256; ++i) {
        identity[i] = static_cast<uint8_t>(i);
        fold[i] = static_cast<uint8_t>(i >= 'A' && i <= 'Z' ? i + 32 : i);
    }
    auto repetitive = [&](const char* alphabet, size_t length) {
        std::string word(1 + random() % 4, 'a');
        for (char& c : word) c = alphabet[random() % 4];
        std::string out;
        while (out.size() < length) out += word;
        out.resize(length);
        if (random() % 2) out[random() % length] = alphabet[random() % 4];
        return out;
    };
    for (int round = 0; round < 400; ++round) {
        const std::string text = repetitive("aAbB", 2 + random() % 40);
        std::string data;
        while (data.size() < 300) data += random() % 3 ? text.substr(0, random() % (text.size() + 1)) : text;
        Load(e, data);
        for (bool ignoreCase : {false, true}) {
            std::string pattern;
            e.PrepareFindData(text, ignoreCase, true, pattern);
            const int expected = NaiveFind(data, pattern, 0, 0x7FFFFFFF, ignoreCase ? fold : identity);
            ASSERT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, 0x7FFFFFFF, ignoreCase), expected)
                << "round " << round << " data " << data << " text " << text;
        }
    }
    for (int round = 0; round < 200; ++round) {
        const std::wstring units = L"aA一中";
        std::wstring word(1 + random() % 3, L'a');
        for (wchar_t& c : word) c = units[random() % 4];
        std::wstring text;
        while (text.size() < 2 + random() % 20) text += word;
        if (random() % 2) text[random() % text.size()] = units[random() % 4];
        std::wstring wide;
        while (wide.size() < 120) wide += random() % 3 ? text.substr(0, random() % (text.size() + 1)) : text;
        std::string data = Utf16(wide);
        if (random() % 2) data.insert(0, 1, 'A');
        if (data.size() % 2) data += 'a';
        Load(e, data);
        e.SetUnicodeChars(true);
        std::string pattern;
        e.PrepareFindData(text, true, true, pattern);
        const int expected = NaiveUnitFind(data, pattern);
        ASSERT_EQ(e.Find(pattern.data(), static_cast<int>(pattern.size()), 0, e.GetDataSize() - 1, true), expected)
            << "unicode round " << round;
        e.SetUnicodeChars(false);
    }
}

TEST(HexFind, ProgressEvents) {
    TCustomHexEditor e;
    Load(e, std::string(5000, 'x'));
    std::vector<int> percents;
    e.OnProgress = [&](TCustomHexEditor*, THexProgressKind kind, const std::wstring&, uint8_t percent, bool& cancel) {
        EXPECT_EQ(kind, pkFind);
        percents.push_back(percent);
        cancel = true;  // a find cannot be cancelled
    };
    EXPECT_EQ(FindText(e, "y", false, true), -1);
    EXPECT_TRUE(percents.empty());  // FindProgress off
    e.SetFindProgress(true);
    EXPECT_EQ(FindText(e, "y", false, true), -1);
    ASSERT_FALSE(percents.empty());
    EXPECT_LE(percents.size(), 501u);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_GE(percents.back(), 99);
}

// A progress handler may run a message loop in which the user changes the data or the
// handler itself: the find then ends with an error instead of reading freed memory.
TEST(HexFind, ProgressHandlerThatChangesTheDataOrItself) {
    TCustomHexEditor e;
    Load(e, std::string(200000, 'x'));
    e.SetFindProgress(true);
    int calls = 0;
    e.OnProgress = [&](TCustomHexEditor* sender, THexProgressKind, const std::wstring&, uint8_t, bool&) {
        if (++calls == 3) sender->CreateEmptyFile(L"");
    };
    try {
        FindText(e, "y", false, true);
        ADD_FAILURE() << "the find went on over changed data";
    } catch (const EHexEditor& error) {
        EXPECT_EQ(error.Message(), L"Data position/length out of data bounds");
    }

    Load(e, std::string(200000, 'x') + "y");
    calls = 0;
    e.OnProgress = [&](TCustomHexEditor* sender, THexProgressKind, const std::wstring&, uint8_t, bool&) {
        ++calls;
        sender->OnProgress = nullptr;  // frees this handler's captures while it runs
    };
    EXPECT_EQ(FindText(e, "y", false, true), 200000);
    EXPECT_EQ(calls, 1);
}
