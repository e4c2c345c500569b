#include "hexedit/hexcore.h"

#include <windows.h>

#include <climits>
#include <cstring>

#include "hexedit/hexeditor.h"

namespace hexedit {

std::wstring HexFormat(const wchar_t* pattern, std::initializer_list<THexArg> args) {
    std::wstring out;
    auto next = args.begin();
    for (const wchar_t* p = pattern; *p; ++p) {
        if (*p != L'%' || !p[1]) {
            out += *p;
            continue;
        }
        wchar_t kind = *++p;
        if (kind == L'%') {
            out += L'%';
            continue;
        }
        if (next == args.end()) continue;
        const THexArg& a = *next++;
        if (kind == L'd') {
            out += a.IsNumber ? std::to_wstring(a.Number) : a.Text;
        } else if (kind == L'x') {
            if (a.IsNumber) {
                wchar_t buf[32];
                swprintf(buf, 32, L"%llX", static_cast<unsigned long long>(a.Number));
                out += buf;
            } else {
                out += a.Text;
            }
        } else {
            out += a.IsNumber ? std::to_wstring(a.Number) : a.Text;
        }
    }
    return out;
}

// ---- THexMemoryStream ---------------------------------------------------------------------

void THexMemoryStream::Check(long long pos, long long count) const {
    if (pos < 0 || count < 0 || pos + count > FSize) throw EHexEditor(hexmsg::DataBounds);
}

void THexMemoryStream::Reserve(long long capacity) {
    if (capacity <= FCapacity) return;
    long long grown = FCapacity + FCapacity / 2;
    if (grown < capacity) grown = capacity;
    if (grown > INT32_MAX) grown = INT32_MAX;
    std::unique_ptr<uint8_t[]> block(new uint8_t[static_cast<size_t>(grown)]);
    if (FSize) std::memcpy(block.get(), FData.get(), static_cast<size_t>(FSize));
    FData = std::move(block);
    FCapacity = grown;
}

void THexMemoryStream::SetSize(long long newSize) {
    if (newSize < 0) throw EHexEditor(hexmsg::DataBounds);
    if (newSize > INT32_MAX) throw EHexEditor(HexFormat(hexmsg::DataTooLarge, {2147483648LL}));
    if (newSize > FCapacity) {
        // An exact first allocation (loading) and geometric growth afterwards (appending).
        if (FCapacity == 0) {
            FData.reset(new uint8_t[static_cast<size_t>(newSize)]);
            FCapacity = newSize;
        } else {
            Reserve(newSize);
        }
    }
    FSize = static_cast<int>(newSize);
}

uint8_t* THexMemoryStream::GetAddress(long long pos, long long count) {
    Check(pos, count);
    return FData.get() + pos;
}

const uint8_t* THexMemoryStream::GetAddress(long long pos, long long count) const {
    Check(pos, count);
    return FData.get() + pos;
}

void THexMemoryStream::WriteAt(const void* source, long long pos, long long count) {
    Check(pos, count);
    if (count) std::memmove(FData.get() + pos, source, static_cast<size_t>(count));
}

void THexMemoryStream::ReadAt(void* dest, long long pos, long long count) const {
    Check(pos, count);
    if (count) std::memmove(dest, FData.get() + pos, static_cast<size_t>(count));
}

void THexMemoryStream::MoveBytes(long long fromPos, long long toPos, long long count) {
    Check(fromPos, count);
    Check(toPos, count);
    if (count) std::memmove(FData.get() + toPos, FData.get() + fromPos, static_cast<size_t>(count));
}

std::string THexMemoryStream::ReadHex(long long pos, long long count, bool swapNibbles) const {
    if (count <= 0) return std::string();
    return ConvertBinToHex(GetAddress(pos, count), static_cast<size_t>(count), swapNibbles);
}

void THexMemoryStream::InsertGap(long long pos, long long count) {
    if (pos < 0 || pos > FSize || count < 0) throw EHexEditor(hexmsg::DataBounds);
    if (count == 0) return;
    long long newSize = FSize + count;
    if (newSize > INT32_MAX) throw EHexEditor(HexFormat(hexmsg::DataTooLarge, {2147483648LL}));
    if (newSize > FCapacity) {
        // Build the new block around the gap so the tail is copied once, not twice.
        long long grown = FCapacity + FCapacity / 2;
        if (grown < newSize) grown = newSize;
        if (grown > INT32_MAX) grown = INT32_MAX;
        std::unique_ptr<uint8_t[]> block(new uint8_t[static_cast<size_t>(grown)]);
        if (pos) std::memcpy(block.get(), FData.get(), static_cast<size_t>(pos));
        if (FSize - pos)
            std::memcpy(block.get() + pos + count, FData.get() + pos, static_cast<size_t>(FSize - pos));
        FData = std::move(block);
        FCapacity = grown;
    } else if (FSize - pos) {
        std::memmove(FData.get() + pos + count, FData.get() + pos, static_cast<size_t>(FSize - pos));
    }
    FSize = static_cast<int>(newSize);
}

void THexMemoryStream::Remove(long long pos, long long count) {
    Check(pos, count);
    long long tail = FSize - pos - count;
    if (tail) std::memmove(FData.get() + pos, FData.get() + pos + count, static_cast<size_t>(tail));
    FSize -= static_cast<int>(count);
}

// ---- THexColors ---------------------------------------------------------------------------

THexColors::THexColors(TCustomHexEditor* owner) : FOwner(owner) {
    FColors[ciBackground] = 0xFF000005;
    FColors[ciChangedBackground] = 0x00A8FFFF;
    FColors[ciChangedText] = 0x00000080;
    FColors[ciCursorFrame] = 0x00800000;
    FColors[ciOffset] = 0x00000000;
    FColors[ciOddColumn] = 0x00FF0000;
    FColors[ciEvenColumn] = 0x00800000;
    FColors[ciCurrentOffsetBackground] = 0xFF000010;
    FColors[ciOffsetBackground] = 0xFF00000F;
    FColors[ciCurrentOffset] = 0xFF000014;
    FColors[ciGrid] = 0xFF00000F;
    FColors[ciNonFocusCursorFrame] = 0x00FFFF00;
    FColors[ciActiveFieldBackground] = 0xFF000005;
}

void THexColors::Set(TIndex i, THexColor value) {
    if (FColors[i] == value) return;
    FColors[i] = value;
    if (FOwner) FOwner->ColorsChanged(i == ciBackground);
}

void THexColors::Assign(const THexColors* source) {
    if (!source) return;
    static const TIndex order[] = {ciBackground, ciChangedText, ciCursorFrame, ciNonFocusCursorFrame,
                                   ciOffset, ciOddColumn, ciEvenColumn, ciChangedBackground,
                                   ciCurrentOffsetBackground, ciCurrentOffset, ciOffsetBackground,
                                   ciActiveFieldBackground, ciGrid};
    for (TIndex i : order) Set(i, source->FColors[i]);
}

// ---- Numbers and hex text -----------------------------------------------------------------

static const wchar_t kDigits[] = L"0123456789ABCDEF";

std::wstring IntToRadixLen(uint32_t value, int radix, int minLen) {
    if (radix < 2 || radix > 16) radix = 16;
    wchar_t buf[40];
    int n = 0;
    do {
        buf[n++] = kDigits[value % radix];
        value /= radix;
    } while (value);
    std::wstring out;
    if (minLen > n) out.assign(minLen - n, L'0');
    while (n) out += buf[--n];
    return out;
}

int RadixToInt(const std::wstring& text, int radix) {
    long long result = 0;
    for (wchar_t c : text) {
        wchar_t u = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
        const wchar_t* hit = u ? std::wcschr(kDigits, u) : nullptr;
        int value = hit ? static_cast<int>(hit - kDigits) : 99;
        if (value >= radix) throw EHexEditor(HexFormat(hexmsg::InvalidRadixChar, {std::wstring(1, c), radix}));
        result = result * radix + value;
        if (result > INT32_MAX) throw EHexEditor(HexFormat(hexmsg::RadixOverflow, {text, radix}));
    }
    return static_cast<int>(result);
}

std::string ConvertBinToHex(const uint8_t* source, size_t count, bool swapNibbles) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out(count * 2, '0');
    for (size_t i = 0; i < count; ++i) {
        uint8_t b = source[i];
        char hi = digits[b >> 4], lo = digits[b & 15];
        out[2 * i] = swapNibbles ? lo : hi;
        out[2 * i + 1] = swapNibbles ? hi : lo;
    }
    return out;
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string ConvertHexToBin(const char* hex, size_t count, bool swapNibbles) {
    std::string out;
    int pending = -1;
    for (size_t i = 0; i < count; ++i) {
        int v = HexValue(hex[i]);
        if (v < 0) continue;
        if (pending < 0) {
            pending = v;
            continue;
        }
        int b = swapNibbles ? (v << 4) | pending : (pending << 4) | v;
        out += static_cast<char>(b);
        pending = -1;
    }
    return out;
}

// ---- Translations -------------------------------------------------------------------------

const wchar_t* TranslationLongName(THexTranslationKind kind) {
    static const wchar_t* names[] = {L"Windows", L"Dos 8 bits", L"ASCII 7 bits", L"Macintosh",
                                     L"EBCDIC codepage 38", L"Custom translation"};
    return kind <= tkCustom ? names[kind] : L"";
}

const wchar_t* TranslationShortName(THexTranslationKind kind) {
    static const wchar_t* names[] = {L"WIN", L"DOS", L"ASC", L"MAC", L"BCD", L"Cust"};
    return kind <= tkCustom ? names[kind] : L"";
}

// ANSI byte to stored byte, Macintosh: 00..7F unchanged.
const uint8_t MacFromTable[256] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    0xC4, 0xC5, 0xAB, 0xC9, 0xD1, 0xF7, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xAC, 0xB0, 0xAA, 0xF8,
    0xD5, 0xCE, 0xC3, 0xCF, 0xD3, 0xD4, 0xD2, 0xDB, 0xDA, 0xDD, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC,
    0xA0, 0xC1, 0xA2, 0xA3, 0xDF, 0xB4, 0xB6, 0xA4, 0xC6, 0xA9, 0xBB, 0xC7, 0xC2, 0xAD, 0xA8, 0xFF,
    0xA1, 0xB1, 0xB2, 0xB3, 0xA5, 0xB5, 0xA6, 0xB7, 0xB8, 0xB9, 0xBC, 0xC8, 0xBA, 0xBD, 0xCA, 0xC0,
    0xCB, 0xE7, 0xE5, 0xCC, 0x80, 0x81, 0xAE, 0x82, 0xE9, 0x83, 0xE6, 0xE8, 0xED, 0xEA, 0xEB, 0xEC,
    0xD0, 0x84, 0xF1, 0xEE, 0xEF, 0xCD, 0x85, 0xD7, 0xAF, 0xF4, 0xF2, 0xF3, 0x86, 0xD9, 0xDE, 0xA7,
    0x88, 0x87, 0x89, 0x8B, 0x8A, 0x8C, 0xBE, 0x8D, 0x8F, 0x8E, 0x90, 0x91, 0x93, 0x92, 0x94, 0x95,
    0xF0, 0x96, 0x98, 0x97, 0x99, 0x9B, 0x9A, 0xD6, 0xBF, 0x9D, 0x9C, 0x9E, 0x9F, 0xFD, 0xFE, 0xD8};

// ANSI byte to stored byte, EBCDIC code page 38.
const uint8_t EbcdicFromTable[256] = {
    0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16, 0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F, 0x27, 0x1C, 0x1D, 0x1E, 0x1F,
    0x40, 0x4F, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,
    0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0x4A, 0xE0, 0x5A, 0x5F, 0x6D,
    0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x20, 0xD0, 0xA1, 0x07,
    0x80, 0x22, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x77, 0x2C, 0x0A, 0x3B, 0x3E, 0x1A, 0x70, 0x71, 0x72, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xA0, 0x15, 0x73, 0x74, 0x75, 0x76, 0x6A, 0x78, 0x09, 0x3A, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,
    0x23, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0x1B, 0x24, 0x06, 0x14, 0x28, 0x2B, 0x21, 0x17, 0x51, 0x52, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0x2A, 0xE1, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x29, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    0x30, 0x31, 0x08, 0x33, 0x34, 0x35, 0x36, 0x04, 0x38, 0x39, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

namespace {
struct TTables {
    uint8_t MacTo[256];
    uint8_t EbcdicTo[256];
    uint8_t CustomFrom[256];
    uint8_t CustomTo[256];
    TTables() {
        for (int i = 0; i < 256; ++i) {
            MacTo[MacFromTable[i]] = static_cast<uint8_t>(i);
            EbcdicTo[EbcdicFromTable[i]] = static_cast<uint8_t>(i);
            CustomFrom[i] = CustomTo[i] = static_cast<uint8_t>(i);
        }
    }
};
const TTables& Tables() {
    static const TTables tables;
    return tables;
}
}  // namespace

const uint8_t* TranslationFromTable(THexTranslationKind kind) {
    switch (kind) {
        case tkMac: return MacFromTable;
        case tkBCD: return EbcdicFromTable;
        case tkCustom: return Tables().CustomFrom;
        default: return nullptr;
    }
}

const uint8_t* TranslationToTable(THexTranslationKind kind) {
    switch (kind) {
        case tkMac: return Tables().MacTo;
        case tkBCD: return Tables().EbcdicTo;
        case tkCustom: return Tables().CustomTo;
        default: return nullptr;
    }
}

static void OemBlock(bool toOem, const uint8_t* source, uint8_t* dest, size_t count) {
    // The system calls work on blocks of at most 4 GB; chunk to be safe with DWORD counts.
    while (count) {
        DWORD n = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
        if (toOem)
            CharToOemBuffA(reinterpret_cast<LPCSTR>(source), reinterpret_cast<LPSTR>(dest), n);
        else
            OemToCharBuffA(reinterpret_cast<LPCSTR>(source), reinterpret_cast<LPSTR>(dest), n);
        source += n;
        dest += n;
        count -= n;
    }
}

void TranslateFromAnsi(int kind, const uint8_t* source, uint8_t* dest, size_t count) {
    kind %= 128;
    switch (kind) {
        case tkAsIs: if (count) std::memmove(dest, source, count); break;
        case tkDos8:
        case tkASCII: OemBlock(true, source, dest, count); break;
        case tkMac:
        case tkBCD:
        case tkCustom: {
            const uint8_t* t = TranslationFromTable(static_cast<THexTranslationKind>(kind));
            for (size_t i = 0; i < count; ++i) dest[i] = t[source[i]];
            break;
        }
        default: break;
    }
}

void TranslateToAnsi(int kind, const uint8_t* source, uint8_t* dest, size_t count) {
    kind %= 128;
    switch (kind) {
        case tkAsIs: if (count) std::memmove(dest, source, count); break;
        case tkDos8:
        case tkASCII: OemBlock(false, source, dest, count); break;
        case tkMac:
        case tkBCD:
        case tkCustom: {
            const uint8_t* t = TranslationToTable(static_cast<THexTranslationKind>(kind));
            for (size_t i = 0; i < count; ++i) dest[i] = t[source[i]];
            break;
        }
        default: break;
    }
}

}  // namespace hexedit
