#include "undo/undoitems.h"

#include "classlib/runtime.h"
#include "controls/wide/wideutils.h"

#include <windows.h>

#include <cstdint>

namespace undo {

using namespace wide;
using namespace registry;

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
constexpr wchar_t kRegScriptHeader[] = L"Windows Registry Editor Version 5.00";
constexpr size_t kUndoFieldCount = 13;
// The field after the 13th that marks a line whose texts are escaped.
constexpr wchar_t kEscapedLineMark[] = L"E";
constexpr size_t kScriptCheckBytes = 256 * 1024;

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// A plain unsigned decimal: digits only, no sign or blanks, at most UINT32_MAX.
bool ParseUInt32(const std::wstring& text, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (v > 0xFFFFFFFFull) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

// Parts joined by "\" with none of them empty (no leading, trailing or doubled "\").
bool HasNoEmptyParts(const std::wstring& path) {
    if (path.empty() || path.front() == L'\\' || path.back() == L'\\') return false;
    return path.find(L"\\\\") == std::wstring::npos;
}

bool IsHexText(const std::wstring& text) {
    if (text.size() % 2 != 0) return false;
    for (wchar_t c : text)
        if (HexDigitValue(c) < 0) return false;
    return true;
}

// The predefined root handle whose 32-bit value is `value` (sign-extended as the platform
// does on x64), or null when it is none of the seven.
HKEY PredefinedRootFromUInt32(uint32_t value) {
    HKEY root = reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(value)));
    for (const TRegRoot& known : RegRoots)
        if (known.Key == root) return root;
    return nullptr;
}

uint32_t RootToUInt32(HKEY root) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(root));
}

std::wstring FullPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    std::wstring full;
    if (n == 0) return full;
    if (n < MAX_PATH) {
        full.assign(buffer, n);
    } else {
        full.resize(n);
        DWORD m = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
        if (m == 0 || m >= n) return {};
        full.resize(m);
    }
    return full;
}

// Absolute, long-form folder path without a trailing backslash (a drive root keeps it).
std::wstring NormalizeFolder(const std::wstring& dir) {
    std::wstring full = FullPathOf(dir);
    if (full.empty()) return full;
    DWORD n = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (n > 0) {
        std::wstring longForm(n, L'\0');
        DWORD m = GetLongPathNameW(full.c_str(), longForm.data(), n);
        if (m > 0 && m < n) {
            longForm.resize(m);
            full = longForm;
        }
    }
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return full;
}

// The first `limit` bytes of a file (all of it when shorter); `truncated` tells whether
// there was more.
bool ReadFileStart(const std::wstring& fileName, size_t limit, std::string& bytes,
                   bool& truncated) {
    HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0;
    if (ok) {
        truncated = static_cast<uint64_t>(size.QuadPart) > limit;
        bytes.resize(truncated ? limit : static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), classlib::Win32Size<DWORD>(bytes.size()), &read, nullptr) &&
              read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

std::wstring BytesToHexText(const std::vector<BYTE>& Bytes) {
    std::wstring text;
    text.reserve(Bytes.size() * 2);
    for (BYTE b : Bytes) {
        text.push_back(kHexDigits[b >> 4]);
        text.push_back(kHexDigits[b & 0x0F]);
    }
    return text;
}

std::vector<BYTE> HexTextToBytes(const std::wstring& Hex) {
    std::vector<BYTE> bytes(Hex.size() / 2, 0);
    for (size_t i = 0; i < bytes.size(); ++i) {
        int high = HexDigitValue(Hex[2 * i]);
        int low = HexDigitValue(Hex[2 * i + 1]);
        if (high < 0 || low < 0) break;
        bytes[i] = static_cast<BYTE>(high * 16 + low);
    }
    return bytes;
}

bool FormatUndoLine(const TRegUndoItem& Item, std::wstring& Line) {
    const std::wstring* texts[] = {&Item.FPayload,     &Item.FOldName, &Item.FValueName,
                                   &Item.FDataText,    &Item.FDisplayName, &Item.FKeyName,
                                   &Item.FPath,        &Item.FFullPath, &Item.FComputerName};
    bool escaped = false;
    for (const std::wstring* text : texts) escaped = escaped || WideFieldNeedsEscape(*text);
    std::wstring line;
    for (const std::wstring* text : texts) {
        line += escaped ? WideEscapeField(*text) : *text;
        line += L'\t';
    }
    line += std::to_wstring(static_cast<uint32_t>(Item.FValueType)) + L'\t';
    line += std::to_wstring(RootToUInt32(Item.FRootKey)) + L'\t';
    line += std::to_wstring(Item.FKind) + L'\t';
    line += std::to_wstring(Item.FOperation) + L'\t';
    if (escaped) {
        line += kEscapedLineMark;
        line += L'\t';
    }
    Line = std::move(line);
    return true;
}

TUndoLineError ParseUndoLine(const std::wstring& Line, TRegUndoItem& Item) {
    // Split at every TAB; the TAB that ends the last field is optional.
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (true) {
        size_t tab = Line.find(L'\t', start);
        if (tab == std::wstring::npos) {
            if (start < Line.size()) fields.push_back(Line.substr(start));
            break;
        }
        fields.push_back(Line.substr(start, tab - start));
        start = tab + 1;
        if (fields.size() > kUndoFieldCount + 1) break;
    }
    // The escaped form: a 14th field holding the mark. A line of the plain form with a TAB
    // inside a text has its numbers last, so it never ends in the mark.
    if (fields.size() == kUndoFieldCount + 1 && fields.back() == kEscapedLineMark) {
        fields.pop_back();
        for (size_t i = 0; i < 9; ++i) {
            std::wstring text;
            if (!WideUnescapeField(fields[i], text)) return TUndoLineError::Escape;
            fields[i] = std::move(text);
        }
    }
    if (fields.size() != kUndoFieldCount) return TUndoLineError::FieldCount;

    uint32_t valueType = 0, rootValue = 0, kind = 0, operation = 0;
    if (!ParseUInt32(fields[9], valueType) || !ParseUInt32(fields[10], rootValue) ||
        !ParseUInt32(fields[11], kind) || !ParseUInt32(fields[12], operation))
        return TUndoLineError::Number;
    HKEY root = PredefinedRootFromUInt32(rootValue);
    if (!root) return TUndoLineError::Root;
    if (kind != ukKey && kind != ukValue) return TUndoLineError::Kind;
    if (operation > uoDeleted) return TUndoLineError::Operation;

    const std::wstring& payload = fields[0];
    const std::wstring& oldName = fields[1];
    const std::wstring& path = fields[6];
    const std::wstring& fullPath = fields[7];
    const std::wstring& computerName = fields[8];

    // The key the record acts on: a key record never names a root itself; a value may
    // live directly in a root. The shown full path must belong to the same root, and the
    // record must be one of this computer (the root handle means nothing elsewhere).
    if (kind == ukKey ? !HasNoEmptyParts(path) : !path.empty() && !HasNoEmptyParts(path))
        return TUndoLineError::Path;
    const std::wstring rootName = RootHKeyToName(root);
    if (fullPath != rootName && fullPath.compare(0, rootName.size() + 1, rootName + L"\\") != 0)
        return TUndoLineError::Path;
    if (!computerName.empty()) return TUndoLineError::Path;
    if (kind == ukKey && operation == uoRenamed &&
        (oldName.empty() || oldName.find(L'\\') != std::wstring::npos))
        return TUndoLineError::Path;

    if (kind == ukValue && (operation == uoChanged || operation == uoDeleted) &&
        !IsHexText(payload))
        return TUndoLineError::Payload;
    if (kind == ukKey && operation == uoDeleted && payload.empty())
        return TUndoLineError::Payload;

    TRegUndoItem item;
    item.FPayload = payload;
    item.FOldName = oldName;
    item.FValueName = fields[2];
    item.FDataText = fields[3];
    item.FDisplayName = fields[4];
    item.FKeyName = fields[5];
    item.FPath = path;
    item.FFullPath = fullPath;
    item.FComputerName = computerName;
    item.FValueType = valueType;
    item.FRootKey = root;
    item.FKind = static_cast<uint8_t>(kind);
    item.FOperation = static_cast<uint8_t>(operation);
    Item = std::move(item);
    return TUndoLineError::None;
}

bool IsAllowedBackupPath(const std::wstring& Path, const std::vector<std::wstring>& AllowedDirs) {
    // Absolute drive or UNC path only: a relative one would depend on the current folder.
    if (Path.size() < 3) return false;
    bool drive = Path[1] == L':' && (Path[2] == L'\\' || Path[2] == L'/');
    bool unc = Path[0] == L'\\' && Path[1] == L'\\';
    if (!drive && !unc) return false;
    // Device and verbatim forms ("\\?\", "\\.\") escape the normalisation below.
    if (unc && Path.size() >= 4 && (Path[2] == L'?' || Path[2] == L'.') && Path[3] == L'\\')
        return false;

    std::wstring full = FullPathOf(Path);
    size_t slash = full.find_last_of(L'\\');
    if (full.empty() || slash == std::wstring::npos) return false;
    std::wstring name = full.substr(slash + 1);
    // A plain file name: no stream suffix, wildcard or device syntax, and a ".reg" extension
    // after at least one character.
    if (name.find_first_of(L":*?\"<>|/") != std::wstring::npos) return false;
    if (name.size() <= 4 ||
        !classlib::SameNameIgnoringCase(std::wstring_view(name).substr(name.size() - 4), L".reg"))
        return false;

    std::wstring folder = NormalizeFolder(full.substr(0, slash + 1));
    if (folder.empty()) return false;
    for (const std::wstring& dir : AllowedDirs) {
        if (dir.empty()) continue;
        std::wstring allowed = NormalizeFolder(dir);
        if (!allowed.empty() && classlib::SameNameIgnoringCase(folder, allowed)) return true;
    }
    return false;
}

bool IsCompleteRegScript(const std::wstring& FileName, const std::wstring& FullPath) {
    // The export writes the key's own section right after the header, so the start of the
    // file is enough; a backup of a large tree is not read whole.
    std::string bytes;
    bool truncated = false;
    if (!ReadFileStart(FileName, kScriptCheckBytes, bytes, truncated)) return false;

    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    } else if (!bytes.empty()) {
        int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), classlib::Win32Size<int>(bytes.size()),
                                    nullptr, 0);
        text.resize(static_cast<size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), classlib::Win32Size<int>(bytes.size()), text.data(),
                            n);
    }

    if (truncated) {
        // The last line may be cut: look only at complete lines.
        size_t lastBreak = text.find_last_of(L'\n');
        text.resize(lastBreak == std::wstring::npos ? 0 : lastBreak + 1);
    }
    const std::wstring header = kRegScriptHeader;
    if (text.compare(0, header.size(), header) != 0) return false;
    const std::wstring section = L"[" + FullPath + L"]";
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        size_t lineEnd = end;
        if (lineEnd > pos && text[lineEnd - 1] == L'\r') --lineEnd;
        if (classlib::SameNameIgnoringCase(std::wstring_view(text).substr(pos, lineEnd - pos), section))
            return true;
        pos = end + 1;
    }
    return false;
}

}  // namespace undo
