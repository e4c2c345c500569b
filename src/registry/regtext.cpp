// Registry script text of one key, type names and display texts of value data.
#include "registry/regtext.h"

#include "classlib/runtime.h"
#include "registry/registry_p.h"
#include "registry/wendlarutil.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {

const wchar_t kHexLower[] = L"0123456789abcdef";
const wchar_t kHexUpper[] = L"0123456789ABCDEF";

void AppendEscaped(std::wstring& out, const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
}

// The name part of a script line: "name"= or @= for the default value.
void AppendNamePart(std::wstring& out, const wchar_t* name, size_t length) {
    if (length == 0) {
        out += L"@=";
        return;
    }
    out += L'"';
    AppendEscaped(out, name, length);
    out += L"\"=";
}

// REG_SZ data that a quoted string reproduces exactly: whole UTF-16 characters, no NUL
// except one at the very end, and no line break (a quoted string cannot span lines).
bool IsCleanString(const BYTE* data, size_t size, size_t& length) {
    if (size % 2 != 0) return false;
    const size_t count = size / 2;
    length = count;
    for (size_t i = 0; i < count; ++i) {
        wchar_t c;
        std::memcpy(&c, data + i * 2, 2);
        if (c == 0) {
            if (i != count - 1) return false;
            length = i;
            break;
        }
        if (c == L'\r' || c == L'\n') return false;
    }
    return true;
}

void AppendValueLine(std::wstring& out, const wchar_t* name, size_t nameLength, DWORD type,
                     const BYTE* data, size_t size) {
    AppendNamePart(out, name, nameLength);
    size_t length = 0;
    if (type == REG_SZ && IsCleanString(data, size, length)) {
        out += L'"';
        AppendEscaped(out, reinterpret_cast<const wchar_t*>(data), length);
        out += L'"';
    } else {
        out += L"hex(";
        for (wchar_t c : UInt32ToRadixStr(type, 16)) out += static_cast<wchar_t>(towlower(c));
        out += L"):";
        out.reserve(out.size() + size * 3 + 2);
        for (size_t i = 0; i < size; ++i) {
            if (i) out += L',';
            out += kHexLower[data[i] >> 4];
            out += kHexLower[data[i] & 15];
        }
    }
    out += L"\r\n";
}

}  // namespace

std::wstring BuildKeyRegScript(const TVxRegKeyClass& Key) {
    return NoThrow(
        [&] {
            std::wstring out = L"Windows Registry Editor Version 5.00\r\n\r\n[";
            out += Key.FFullPath;
            out += L"]\r\n";
            TRegKey key = OpenKeyForRead(Key);
            if (!key) return out;
            DWORD maxName = 0, maxData = 0;
            LSTATUS status =
                QueryKeyInfo(key.Get(), nullptr, nullptr, nullptr, &maxName, &maxData);
            if (status != ERROR_SUCCESS) {
                SetRegStatus(status);
                return out;
            }
            std::vector<wchar_t> name(maxName + 1);
            std::vector<BYTE> data(maxData ? maxData : 1);
            for (DWORD index = 0;; ++index) {
                DWORD nameLen = classlib::Win32Size<DWORD>(name.size());
                DWORD dataLen = classlib::Win32Size<DWORD>(data.size());
                DWORD type = 0;
                status = RegEnumValueW(key.Get(), index, name.data(), &nameLen, nullptr, &type,
                                       data.data(), &dataLen);
                if (status == ERROR_MORE_DATA) {
                    // Grown since the query: read this value by name with its own bounded
                    // retry loop (the name may be what grew, so enlarge that first).
                    name.assign(32768, 0);
                    nameLen = classlib::Win32Size<DWORD>(name.size());
                    status = RegEnumValueW(key.Get(), index, name.data(), &nameLen, nullptr,
                                           &type, nullptr, nullptr);
                    if (status == ERROR_SUCCESS) {
                        const std::wstring valueName(name.data(), nameLen);
                        std::vector<BYTE> big;
                        if (QueryRegValueRaw(key.Get(), valueName, type, big) ==
                            ERROR_SUCCESS) {
                            AppendValueLine(out, valueName.data(), valueName.size(), type,
                                            big.data(), big.size());
                        } else {
                            out += L"; 読み取れない値: ";
                            AppendNamePart(out, valueName.data(), valueName.size());
                            out += L"\r\n";
                        }
                        continue;
                    }
                }
                if (status == ERROR_NO_MORE_ITEMS) break;
                if (status != ERROR_SUCCESS) {
                    SetRegStatus(status);
                    break;
                }
                AppendValueLine(out, name.data(), nameLen, type, data.data(), dataLen);
            }
            return out;
        },
        std::wstring());
}

std::wstring RegTypeToName(DWORD Type) {
    static const wchar_t* const names[] = {
        L"REG_NONE",          L"REG_SZ",
        L"REG_EXPAND_SZ",     L"REG_BINARY",
        L"REG_DWORD",         L"REG_DWORD_BIG_ENDIAN",
        L"REG_LINK",          L"REG_MULTI_SZ",
        L"REG_RESOURCE_LIST", L"REG_FULL_RESOURCE_DESCRIPTOR",
        L"REG_RESOURCE_REQUIREMENTS_LIST", L"REG_QWORD"};
    return Type < 12 ? names[Type] : L"不明";
}

uint32_t ReadDWordFromData(const void* Data, size_t Size, DWORD Type) {
    if (Type != REG_DWORD && Type != REG_DWORD_BIG_ENDIAN) return 0;
    BYTE b[4] = {0, 0, 0, 0};
    std::memcpy(b, Data, std::min<size_t>(Size, 4));
    if (Type == REG_DWORD)
        return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return (static_cast<uint32_t>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

uint64_t ReadQWordFromData(const void* Data, size_t Size, DWORD Type) {
    if (Type != REG_QWORD && Type != 12) return 0;
    BYTE b[8] = {};
    std::memcpy(b, Data, std::min<size_t>(Size, 8));
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | b[i];
    return value;
}

uint32_t ReadDWordFromStream(classlib::TCustomMemoryStream& Stream, DWORD Type) {
    return ReadDWordFromData(Stream.Memory(), static_cast<size_t>(Stream.Size()), Type);
}

uint64_t ReadQWordFromStream(classlib::TCustomMemoryStream& Stream, DWORD Type) {
    return ReadQWordFromData(Stream.Memory(), static_cast<size_t>(Stream.Size()), Type);
}

std::wstring FormatIntValueText(const void* Data, size_t Size, DWORD Type) {
    return NoThrow(
        [&] {
            if (Type == REG_DWORD || Type == REG_DWORD_BIG_ENDIAN) {
                const uint32_t v = ReadDWordFromData(Data, Size, Type);
                std::wstring hex = UInt32ToRadixStr(v, 16);
                return L"0x" + std::wstring(8 - hex.size(), L'0') + hex + L"(" +
                       Int64ToUnsignedStr(v) + L")";
            }
            const uint64_t q = ReadQWordFromData(Data, Size, REG_QWORD);
            return L"0x" + Int64ToHex16(q) + L"(" + Int64ToUnsignedStr(q) + L")";
        },
        std::wstring());
}

std::wstring FormatIntValueText(classlib::TCustomMemoryStream& Stream, DWORD Type) {
    return FormatIntValueText(Stream.Memory(), static_cast<size_t>(Stream.Size()), Type);
}

std::wstring FormatValueDataText(const void* Data, size_t Size, DWORD Type, bool HexDump) {
    return NoThrow(
        [&] {
            std::wstring out;
            if (Size == 0) return out;
            const BYTE* bytes = static_cast<const BYTE*>(Data);
            if (Type != REG_SZ && Type != REG_EXPAND_SZ && Type != REG_MULTI_SZ && HexDump) {
                const size_t n = std::min<size_t>(Size, 129);
                out.reserve(n * 3);
                for (size_t i = 0; i < n; ++i) {
                    out += kHexUpper[bytes[i] >> 4];
                    out += kHexUpper[bytes[i] & 15];
                    out += L' ';
                }
                return out;
            }
            // The data as UTF-16 characters; an odd last byte pairs with a zero byte, and
            // text without a terminating NUL ends with the data.
            const size_t count = (Size + 1) / 2;
            std::wstring chars(count, L'\0');
            std::memcpy(chars.data(), bytes, Size);
            if (Type == REG_MULTI_SZ) {
                size_t start = 0;
                for (size_t i = 0; i <= count; ++i) {
                    const wchar_t c = i < count ? chars[i] : L'\0';
                    if (c != 0) continue;
                    out.append(chars, start, i - start);
                    out += L"\r\n";
                    const wchar_t next = i + 1 < count ? chars[i + 1] : L'\0';
                    if (next == 0) break;
                    start = i + 1;
                }
                return out;
            }
            return std::wstring(chars.c_str());
        },
        std::wstring());
}

std::wstring FormatValueDataText(classlib::TCustomMemoryStream& Stream, DWORD Type,
                                 bool HexDump) {
    return FormatValueDataText(Stream.Memory(), static_cast<size_t>(Stream.Size()), Type,
                               HexDump);
}
