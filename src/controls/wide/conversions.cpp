#include "controls/wide/conversions.h"

#include <array>

#include "controls/wide/widewin32.h"

namespace wide {

const unsigned DefaultSystemCodePage = GetACP();

namespace {

constexpr wchar_t kReplacementChar = 0xFFFD;

// ---- UTF-7 character classes (built once) ---------------------------------------------

const char kBase64Chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kDirectChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:?";
const char kOptionalDirectChars[] = "!\"#$%&*;<=>@[]^_`{|}";
const char kSpaceChars[] = "\t\r\n ";

struct Utf7Tables {
    // Characters below 0x80 that must be written inside a base64 run when optional direct
    // characters are allowed.
    std::array<bool, 128> mustShiftOptional{};
    // Value of each base64 letter, -1 for every other byte.
    std::array<int, 256> invBase64{};

    Utf7Tables() {
        mustShiftOptional.fill(true);
        for (const char* p : {kDirectChars, kOptionalDirectChars, kSpaceChars})
            for (; *p; ++p)
                mustShiftOptional[static_cast<unsigned char>(*p)] = false;
        invBase64.fill(-1);
        for (int i = 0; i < 64; ++i)
            invBase64[static_cast<unsigned char>(kBase64Chars[i])] = i;
    }
};

const Utf7Tables& Tables() {
    static const Utf7Tables tables;
    return tables;
}

bool IsBase64Char(wchar_t ch) {
    return ch < 0x80 && Tables().invBase64[ch] >= 0;
}

// ---- UTF-8 helpers ----------------------------------------------------------------------

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

}  // namespace

std::wstring StringToWideStringEx(const std::string& s, unsigned codePage) {
    if (codePage == CP_UTF7_NUMBER)
        return UTF7ToWideString(s);
    if (codePage == CP_UTF8_NUMBER)
        return UTF8ToWideString(s);
    if (s.empty())
        return std::wstring();
    int len = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (len <= 0)
        return std::wstring();
    std::wstring result(len, L'\0');
    len = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), result.data(), len);
    result.resize(len > 0 ? len : 0);
    return result;
}

std::string WideStringToStringEx(const std::wstring& w, unsigned codePage) {
    if (codePage == CP_UTF7_NUMBER)
        return WideStringToUTF7(w);
    if (codePage == CP_UTF8_NUMBER)
        return WideStringToUTF8(w);
    if (w.empty())
        return std::string();
    int len = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                  nullptr, nullptr);
    if (len <= 0)
        return std::string();
    std::string result(len, '\0');
    len = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), result.data(), len,
                              nullptr, nullptr);
    result.resize(len > 0 ? len : 0);
    return result;
}

std::string WideStringToUTF8(const std::wstring& w) {
    std::string out;
    out.reserve(w.size() * 3);
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring UTF8ToWideString(const std::string& s, bool* lossy) {
    std::wstring out;
    out.reserve(s.size());
    bool bad = false;
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(s[i]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        // Length of the sequence and the allowed range of its second byte (which rules out
        // over-long forms and values beyond U+10FFFF). Three-byte forms of surrogate halves
        // are accepted: WideStringToUTF8 writes lone halves that way.
        int length = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                lo = 0xA0;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                lo = 0x90;
            if (lead == 0xF4)
                hi = 0x8F;
        }
        if (length == 0) {
            out += kReplacementChar;
            bad = true;
            ++i;
            continue;
        }
        // Take the longest valid prefix; a broken sequence is one U+FFFD and decoding goes
        // on at the byte that broke it.
        char32_t cp = lead & (0x7F >> length);
        int taken = 1;
        while (taken < length && i + taken < n) {
            const unsigned char b = static_cast<unsigned char>(s[i + taken]);
            if (taken == 1 ? (b < lo || b > hi) : !IsContinuation(b))
                break;
            cp = (cp << 6) | (b & 0x3F);
            ++taken;
        }
        if (taken < length) {
            out += kReplacementChar;
            bad = true;
        } else {
            AppendCodePoint(out, cp);
        }
        i += taken;
    }
    if (lossy)
        *lossy = bad;
    return out;
}

std::string WideStringToUTF7(const std::wstring& w) {
    const Utf7Tables& tables = Tables();
    std::string out;
    bool inRun = false;
    uint32_t bits = 0;
    int bitCount = 0;
    for (size_t i = 0; i <= w.size(); ++i) {
        const bool atEnd = i == w.size();
        const wchar_t ch = atEnd ? 0 : w[i];
        const bool shift = !atEnd && (ch > 0x7F || tables.mustShiftOptional[ch]);
        if (shift && !inRun) {
            out += '+';
            if (ch == L'+') {
                out += '-';
                continue;
            }
            inRun = true;
        }
        if (inRun) {
            if (shift) {
                bits = (bits << 16) | ch;
                bitCount += 16;
            } else {
                const int pad = (6 - bitCount % 6) % 6;
                bits <<= pad;
                bitCount += pad;
            }
            while (bitCount >= 6) {
                bitCount -= 6;
                out += kBase64Chars[(bits >> bitCount) & 0x3F];
            }
            bits &= (1u << bitCount) - 1;
            if (!shift) {
                inRun = false;
                if (!atEnd && (IsBase64Char(ch) || ch == L'-'))
                    out += '-';
            }
        }
        if (!shift && !atEnd)
            out += static_cast<char>(ch);
    }
    return out;
}

std::wstring UTF7ToWideString(const std::string& s) {
    const Utf7Tables& tables = Tables();
    std::wstring out;
    bool invalid = false;
    bool inRun = false, first = false, produced = false;
    uint32_t bits = 0;
    int bitCount = 0;
    size_t i = 0;
    const size_t n = s.size();
    while (true) {
        const bool atEnd = i >= n;
        int c = atEnd ? -1 : static_cast<unsigned char>(s[i]);
        if (inRun) {
            const int value = atEnd ? -1 : tables.invBase64[c];
            if (value >= 0) {
                bits = (bits << 6) | static_cast<uint32_t>(value);
                bitCount += 6;
                first = false;
                if (bitCount >= 16) {
                    bitCount -= 16;
                    out += static_cast<wchar_t>((bits >> bitCount) & 0xFFFF);
                    produced = true;
                }
                bits &= (1u << bitCount) - 1;
                ++i;
                continue;
            }
            // The run ends here.
            inRun = false;
            if (bits != 0)
                invalid = true;
            if (c == '+' || c == '-') {
                if (first && c == '-')
                    out += L'+';
                else if (!produced)
                    invalid = true;
                ++i;  // the ending character is absorbed
                continue;
            }
            if (!produced)
                invalid = true;
            // Any other ending byte is handled as outside a run.
        }
        if (atEnd)
            break;
        if (c == '+') {
            inRun = true;
            first = true;
            produced = false;
            bits = 0;
            bitCount = 0;
        } else {
            if (c > 0x7F)
                invalid = true;
            out += static_cast<wchar_t>(c);
        }
        ++i;
    }
    if (invalid)
        throw EWideGeneralError(L"Invalid UTF7");
    return out;
}

unsigned LCIDToCodePage(LCID locale) {
    wchar_t buffer[6] = {};
    if (GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE, buffer, 6) > 0) {
        unsigned value = 0;
        bool digits = buffer[0] != 0;
        for (const wchar_t* p = buffer; *p; ++p) {
            if (*p < L'0' || *p > L'9') {
                digits = false;
                break;
            }
            value = value * 10 + (*p - L'0');
        }
        if (digits)
            return value;
    }
    return GetACP();
}

unsigned KeyboardCodePage() {
    const HKL layout = GetKeyboardLayout(0);
    return LCIDToCodePage(LOWORD(reinterpret_cast<uintptr_t>(layout)));
}

wchar_t KeyboardCharToWide(unsigned short ch) {
    if (ch >= 256)
        return static_cast<wchar_t>(ch);
    const char byte = static_cast<char>(ch);
    wchar_t result = 0;
    if (MultiByteToWideChar(KeyboardCodePage(), MB_USEGLYPHCHARS, &byte, 1, &result, 1) != 1)
        return static_cast<wchar_t>(ch);
    return result;
}

void SwapWideByteOrder(wchar_t* p) {
    for (; *p; ++p)
        *p = static_cast<wchar_t>(((*p & 0xFF) << 8) | ((*p >> 8) & 0xFF));
}

}  // namespace wide
