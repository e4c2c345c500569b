// Registry script text of one key, type names and display texts of value data.
#include "registry/regtext.h"

#include "classlib/runtime.h"
#include "registry/numbers.h"
#include "registry/registry_p.h"
#include "registry/regops.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <string_view>

namespace registry {

namespace {

const wchar_t kHexLower[] = L"0123456789abcdef";
const wchar_t kHexUpper[] = L"0123456789ABCDEF";
const wchar_t kScriptHeader[] = L"Windows Registry Editor Version 5.00\r\n";

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

// Text of a comment line, CR and LF shown as \r and \n so that the comment stays one line.
void AppendCommentText(std::wstring& out, const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'\r') out += L"\\r";
        else if (c == L'\n') out += L"\\n";
        else out += c;
    }
}

// The name part of a comment line about a value left out.
void AppendCommentName(std::wstring& out, const wchar_t* name, size_t length) {
    std::wstring part;
    AppendNamePart(part, name, length);
    AppendCommentText(out, part);
}

bool HasLineBreak(const wchar_t* text, size_t length) {
    return std::find_if(text, text + length, [](wchar_t c) { return c == L'\r' || c == L'\n'; }) !=
           text + length;
}

// REG_SZ data that a quoted string reproduces exactly. The importer stores the text with
// one terminating NUL, so the data must be whole UTF-16 characters ending in exactly that
// NUL, with no other NUL and no line break (a quoted string cannot span lines). Anything
// else - also no data at all, or text without its NUL - goes in the hex form.
bool IsCleanString(const BYTE* data, size_t size, size_t& length) {
    if (size < 2 || size % 2 != 0) return false;
    const size_t count = size / 2;
    for (size_t i = 0; i < count; ++i) {
        wchar_t c;
        std::memcpy(&c, data + i * 2, 2);
        if (c == 0) {
            if (i != count - 1) return false;
            length = i;
            return true;
        }
        if (c == L'\r' || c == L'\n') return false;
    }
    return false;  // no terminating NUL
}

// One script line for the value; False, with a comment line instead, when the value's name
// holds CR or LF: no script line can carry such a name, and a broken line would lose the
// value and make a stray one of its second half.
bool AppendValueLine(std::wstring& out, const wchar_t* name, size_t nameLength, DWORD type,
                     const BYTE* data, size_t size) {
    if (HasLineBreak(name, nameLength)) {
        out += L"; 改行を含む名前の値は書き出せません: ";
        AppendCommentName(out, name, nameLength);
        out += L"\r\n";
        return false;
    }
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
    return true;
}

void AppendUnreadableValue(std::wstring& out, const wchar_t* name, size_t length) {
    out += L"; 読み取れない値: ";
    AppendCommentName(out, name, length);
    out += L"\r\n";
}

// The value lines of an open key, in enumeration order. False when a value was left out
// (with a comment line) or the values could not all be enumerated.
bool AppendKeyValues(std::wstring& out, HKEY key) {
    DWORD maxName = 0, maxData = 0;
    LSTATUS status = QueryKeyInfo(key, nullptr, nullptr, nullptr, &maxName, &maxData);
    if (status != ERROR_SUCCESS) {
        SetRegStatus(status);
        return false;
    }
    bool complete = true;
    std::vector<wchar_t> name(maxName + 1);
    std::vector<BYTE> data(maxData ? maxData : 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameLen = classlib::Win32Size<DWORD>(name.size());
        DWORD dataLen = classlib::Win32Size<DWORD>(data.size());
        DWORD type = 0;
        status = RegEnumValueW(key, index, name.data(), &nameLen, nullptr, &type, data.data(),
                               &dataLen);
        if (status == ERROR_MORE_DATA) {
            // Grown since the query: read this value by name with its own bounded retry
            // loop (the name may be what grew, so enlarge that first).
            name.assign(32768, 0);
            nameLen = classlib::Win32Size<DWORD>(name.size());
            status = RegEnumValueW(key, index, name.data(), &nameLen, nullptr, &type, nullptr,
                                   nullptr);
            if (status == ERROR_SUCCESS) {
                const std::wstring valueName(name.data(), nameLen);
                std::vector<BYTE> big;
                if (QueryRegValueRaw(key, valueName, type, big) == ERROR_SUCCESS) {
                    complete &= AppendValueLine(out, valueName.data(), valueName.size(), type,
                                                big.data(), big.size());
                } else {
                    AppendUnreadableValue(out, valueName.data(), valueName.size());
                    complete = false;
                }
                continue;
            }
        }
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) {
            SetRegStatus(status);
            return false;
        }
        complete &= AppendValueLine(out, name.data(), nameLen, type, data.data(), dataLen);
    }
    return complete;
}

void AppendSection(std::wstring& out, const std::wstring& fullPath) {
    out += L"\r\n[";
    out += fullPath;
    out += L"]\r\n";
}

}  // namespace

std::wstring BuildKeyRegScript(const TVxRegKeyClass& Key) {
    return NoThrow(
        [&] {
            std::wstring out = kScriptHeader;
            AppendSection(out, Key.FFullPath);
            TRegKey key = OpenKeyForRead(Key);
            if (key) AppendKeyValues(out, key.Get());
            return out;
        },
        std::wstring());
}

bool BuildKeyTreeRegScript(const TVxRegKeyClass& Key, std::wstring& Script,
                           const TRegTreeProgress* Progress) {
    return NoThrow(
        [&] {
            Script = kScriptHeader;
            // A key whose name a section line cannot carry, or one that cannot be opened,
            // makes the script incomplete; its subtree is left out.
            bool complete = !HasLineBreak(Key.FFullPath.data(), Key.FFullPath.size());
            if (!complete) return false;
            struct Frame {
                TRegKey Key;
                std::wstring FullPath;
                std::vector<std::wstring> SubKeys;
                size_t Next = 0;
            };
            // Depth first, each key's section and values before its subkeys; an explicit
            // stack, so no depth of tree can exhaust the thread's stack.
            std::vector<Frame> frames;
            size_t keysRead = 0;
            auto enter = [&](TRegKey key, std::wstring fullPath) {
                AppendSection(Script, fullPath);
                complete &= AppendKeyValues(Script, key.Get());
                Frame frame{std::move(key), std::move(fullPath), {}, 0};
                const LSTATUS status =
                    EnumSubKeyNames(frame.Key.Get(), [&](const wchar_t* name, DWORD length,
                                                         const FILETIME&) {
                        frame.SubKeys.emplace_back(name, length);
                        return true;
                    });
                if (status != ERROR_SUCCESS) {
                    SetRegStatus(status);
                    complete = false;
                }
                frames.push_back(std::move(frame));
                ++keysRead;
            };
            const auto cancelled = [&] {
                if (!Progress || !*Progress || (*Progress)(keysRead)) return false;
                SetRegStatus(ERROR_CANCELLED);
                return true;
            };
            TRegKey root = OpenKeyForRead(Key);
            if (!root) return false;
            enter(std::move(root), Key.FFullPath);
            if (cancelled()) return false;
            while (!frames.empty()) {
                Frame& top = frames.back();
                if (top.Next >= top.SubKeys.size()) {
                    frames.pop_back();
                    continue;
                }
                const std::wstring name = top.SubKeys[top.Next++];
                std::wstring fullPath = top.FullPath + L'\\' + name;
                if (HasLineBreak(name.data(), name.size())) {
                    Script += L"; 改行を含む名前のキーは書き出せません: ";
                    AppendCommentText(Script, fullPath);
                    Script += L"\r\n";
                    complete = false;
                    continue;
                }
                TRegKey child;
                const LSTATUS status = child.Open(top.Key.Get(), name, KEY_READ);
                if (status != ERROR_SUCCESS) {
                    SetRegStatus(status);
                    Script += L"; 開けないキー: ";
                    AppendCommentText(Script, fullPath);
                    Script += L"\r\n";
                    complete = false;
                    continue;
                }
                // `top` is not used after this: the push may move the frames.
                enter(std::move(child), std::move(fullPath));
                if (cancelled()) return false;
            }
            return complete;
        },
        false);
}

namespace {

// The script's lines, split at CR LF; False when a lone CR or LF is left in a line.
bool SplitScriptLines(const std::wstring& script, std::vector<std::wstring_view>& lines) {
    std::wstring_view text = script;
    if (!text.empty() && text.front() == L'\xFEFF') text.remove_prefix(1);
    while (!text.empty()) {
        const size_t end = text.find(L"\r\n");
        if (end == std::wstring_view::npos) return false;  // every line ends with CR LF
        const std::wstring_view line = text.substr(0, end);
        if (line.find_first_of(L"\r\n") != std::wstring_view::npos) return false;
        lines.push_back(line);
        text.remove_prefix(end + 2);
    }
    return true;
}

// A quoted text starting at line[pos] (the opening quote), "\\" and "\"" escaped. On
// success pos is just after the closing quote.
bool ParseQuoted(std::wstring_view line, size_t& pos, std::wstring& text) {
    if (pos >= line.size() || line[pos] != L'"') return false;
    text.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        wchar_t c = line[i];
        if (c == L'"') {
            pos = i + 1;
            return true;
        }
        if (c == L'\\') {
            if (++i == line.size() || (line[i] != L'\\' && line[i] != L'"')) return false;
            c = line[i];
        }
        text += c;
    }
    return false;
}

int HexNibble(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// "hex(" type "):" and the bytes as two-digit pairs separated by ",".
bool ParseHexData(std::wstring_view data, DWORD& type, std::vector<BYTE>& bytes) {
    if (data.substr(0, 4) != L"hex(") return false;
    const size_t close = data.find(L"):", 4);
    if (close == std::wstring_view::npos || close == 4 || close > 12) return false;
    uint32_t t = 0;
    for (wchar_t c : data.substr(4, close - 4)) {
        const int digit = HexNibble(c);
        if (digit < 0) return false;
        t = t * 16 + static_cast<uint32_t>(digit);
    }
    type = t;
    bytes.clear();
    std::wstring_view list = data.substr(close + 2);
    if (list.empty()) return true;
    if ((list.size() + 1) % 3 != 0) return false;
    bytes.reserve((list.size() + 1) / 3);
    for (size_t i = 0; i < list.size(); i += 3) {
        const int high = HexNibble(list[i]), low = HexNibble(list[i + 1]);
        if (high < 0 || low < 0 || (i + 2 < list.size() && list[i + 2] != L',')) return false;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

bool ParseValueLine(std::wstring_view line, TRegScriptValue& value) {
    size_t pos = 0;
    if (line.substr(0, 2) == L"@=") {
        value.Name.clear();
        pos = 1;
    } else if (!ParseQuoted(line, pos, value.Name) || value.Name.empty() || pos >= line.size() ||
               line[pos] != L'=') {
        return false;
    }
    ++pos;  // the "="
    if (pos < line.size() && line[pos] == L'"') {
        std::wstring text;
        if (!ParseQuoted(line, pos, text) || pos != line.size()) return false;
        value.Type = REG_SZ;
        const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
        value.Data.assign(p, p + (text.size() + 1) * sizeof(wchar_t));
        return true;
    }
    return ParseHexData(line.substr(pos), value.Type, value.Data);
}

}  // namespace

bool ParseOwnRegScript(const std::wstring& Script, std::vector<TRegScriptKey>& Keys) {
    return NoThrow(
        [&] {
            Keys.clear();
            std::vector<std::wstring_view> lines;
            if (!SplitScriptLines(Script, lines) || lines.empty() ||
                lines[0] != L"Windows Registry Editor Version 5.00")
                return false;
            for (size_t i = 1; i < lines.size(); ++i) {
                const std::wstring_view line = lines[i];
                if (line.empty() || line.front() == L';') continue;
                if (line.front() == L'[') {
                    if (line.size() < 3 || line.back() != L']') return false;
                    Keys.push_back(TRegScriptKey{std::wstring(line.substr(1, line.size() - 2)), {}});
                    continue;
                }
                TRegScriptValue value;
                if (Keys.empty() || !ParseValueLine(line, value)) return false;
                Keys.back().Values.push_back(std::move(value));
            }
            return true;
        },
        false);
}

bool ApplyRegScriptExactly(const std::vector<TRegScriptKey>& Keys) {
    return NoThrow(
        [&] {
            bool exact = true;
            for (const TRegScriptKey& section : Keys) {
                const HKEY root = RootNameToHKey(section.FullPath);
                TRegKey key;
                LSTATUS status = root ? key.Create(root, StripRootName(section.FullPath), KEY_ALL_ACCESS)
                                      : ERROR_BAD_PATHNAME;
                if (status != ERROR_SUCCESS) {
                    SetRegStatus(status);
                    exact = false;
                    continue;
                }
                for (const TRegScriptValue& value : section.Values) {
                    DWORD type = 0;
                    std::vector<BYTE> data;
                    if (QueryRegValueRaw(key.Get(), value.Name, type, data) == ERROR_SUCCESS &&
                        type == value.Type && data == value.Data)
                        continue;
                    status = SetRegValueRaw(key.Get(), value.Name, value.Type, value.Data.data(),
                                            value.Data.size());
                    if (status == ERROR_SUCCESS)
                        status = QueryRegValueRaw(key.Get(), value.Name, type, data);
                    if (status != ERROR_SUCCESS || type != value.Type || data != value.Data) {
                        SetRegStatus(status != ERROR_SUCCESS ? status : ERROR_INVALID_DATA);
                        exact = false;
                    }
                }
            }
            return exact;
        },
        false);
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

}  // namespace registry
