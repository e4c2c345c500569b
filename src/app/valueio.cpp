#include "app/valueio.h"

#include "classlib/runtime.h"
#include "classlib/streams.h"
#include "registry/numbers.h"
#include "registry/regops.h"
#include "registry/regtext.h"

namespace app {

using registry::TVxRegKeyClass;

namespace {

struct TRawValue {
    classlib::TMemoryStream Data;
    DWORD Type = REG_NONE;
    bool Read = false;
};

void ReadRaw(const TVxRegKeyClass& key, const std::wstring& name, TRawValue& raw) {
    bool sizeMismatch = false;
    raw.Read = registry::ReadRegValueToStream(key, name, raw.Data, raw.Type, sizeMismatch);
}

// The undo rule of every writer: an existing value's old data is recorded before it is
// replaced; a new value is recorded as created once written.
void WriteWithUndo(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                   const std::wstring& name, DWORD type, std::span<const BYTE> data) {
    classlib::TMemoryStream stream;
    if (!data.empty()) stream.Write(data.data(), data.size());
    if (registry::RegValueExists(key, name)) {
        undo.RecordValueOverwritten(key, name, registry::GetRegValueType(key, name));
        registry::WriteRegValueFromStream(key, name, stream, type);
    } else {
        registry::WriteRegValueFromStream(key, name, stream, type);
        undo.RecordValueCreated(key, name, type);
    }
}

std::span<const BYTE> TextBytes(const std::wstring& text) {
    return {reinterpret_cast<const BYTE*>(text.data()), text.size() * sizeof(wchar_t)};
}

}  // namespace

uint64_t ReadQWordValue(const TVxRegKeyClass& key, const std::wstring& name) {
    TRawValue raw;
    ReadRaw(key, name, raw);
    return raw.Read ? registry::ReadQWordFromStream(raw.Data, raw.Type == REG_QWORD ? REG_QWORD : REG_NONE) : 0;
}

uint32_t ReadDWordValue(const TVxRegKeyClass& key, const std::wstring& name) {
    TRawValue raw;
    ReadRaw(key, name, raw);
    return raw.Read ? registry::ReadDWordFromStream(raw.Data, raw.Type) : 0;
}

std::wstring ReadStringValue(const TVxRegKeyClass& key, const std::wstring& name) {
    TRawValue raw;
    ReadRaw(key, name, raw);
    return raw.Read ? registry::FormatValueDataText(raw.Data, raw.Type, false) : std::wstring();
}

std::vector<BYTE> ReadBinaryValue(const TVxRegKeyClass& key, const std::wstring& name) {
    TRawValue raw;
    ReadRaw(key, name, raw);
    if (!raw.Read) return {};
    const auto* bytes = static_cast<const BYTE*>(raw.Data.Memory());
    return {bytes, bytes + raw.Data.Size()};
}

std::vector<BYTE> MultiStringData(const std::wstring& text) {
    std::wstring data;
    data.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            data += L'\0';
        } else {
            data += text[i];
        }
    }
    // The last piece (empty after a final break) and the end of the list; an empty text
    // has one piece only when it is not empty.
    if (!text.empty()) data += L'\0';
    data += L'\0';
    const auto bytes = TextBytes(data);
    return {bytes.begin(), bytes.end()};
}

std::vector<BYTE> DWordData(uint32_t value, DWORD type) {
    std::vector<BYTE> data(4);
    for (int i = 0; i < 4; ++i) {
        const BYTE b = static_cast<BYTE>(value >> (8 * i));
        data[type == REG_DWORD_BIG_ENDIAN ? 3 - i : i] = b;
    }
    return data;
}

std::optional<uint32_t> DWordFromEditorText(const std::wstring& text) {
    const int64_t n = classlib::StrToInt64Def(text, -1);
    if (n == -1) return std::nullopt;
    return static_cast<uint32_t>(n);
}

void WriteStringValue(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                      const std::wstring& name, DWORD type, const std::wstring& text) {
    WriteWithUndo(undo, key, name, type, TextBytes(text));
}

void WriteMultiStringValue(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                           const std::wstring& name, const std::wstring& text) {
    WriteWithUndo(undo, key, name, REG_MULTI_SZ, MultiStringData(text));
}

void WriteDWordValue(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                     const std::wstring& name, DWORD type, uint32_t value) {
    WriteWithUndo(undo, key, name, type, DWordData(value, type));
}

void WriteQWordValue(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                     const std::wstring& name, DWORD type, uint64_t value) {
    BYTE data[8];
    for (int i = 0; i < 8; ++i) data[i] = static_cast<BYTE>(value >> (8 * i));
    WriteWithUndo(undo, key, name, type, data);
}

void WriteBinaryValue(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                      const std::wstring& name, DWORD type, std::span<const BYTE> data) {
    WriteWithUndo(undo, key, name, type, data);
}

TValueEditorKind EditorKindForType(DWORD type) {
    switch (type) {
    case REG_SZ: return TValueEditorKind::String;
    case REG_EXPAND_SZ: return TValueEditorKind::ExpandString;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: return TValueEditorKind::DWord;
    case REG_MULTI_SZ: return TValueEditorKind::MultiString;
    case REG_QWORD: return TValueEditorKind::QWord;
    default: return TValueEditorKind::Binary;
    }
}

TValueEditorData ReadValueForEditor(TValueEditorKind kind, const TVxRegKeyClass& key,
                                    const std::wstring& name) {
    TValueEditorData data;
    switch (kind) {
    case TValueEditorKind::String:
    case TValueEditorKind::ExpandString:
    case TValueEditorKind::MultiString: data.Text = ReadStringValue(key, name); break;
    case TValueEditorKind::DWord: data.Text = registry::Int64ToUnsignedStr(ReadDWordValue(key, name)); break;
    case TValueEditorKind::QWord: data.Text = registry::Int64ToUnsignedStr(ReadQWordValue(key, name)); break;
    case TValueEditorKind::Binary: data.Bytes = ReadBinaryValue(key, name); break;
    }
    return data;
}

bool WriteEditorResult(undo::TVxRegClipUndoProvider& undo, const TVxRegKeyClass& key,
                       TValueEditorKind kind, const TValueEditorResult& result) {
    switch (kind) {
    case TValueEditorKind::String:
    case TValueEditorKind::ExpandString:
        WriteStringValue(undo, key, result.Name, result.Type, result.Text);
        return true;
    case TValueEditorKind::MultiString:
        WriteMultiStringValue(undo, key, result.Name, result.Text);
        return true;
    case TValueEditorKind::DWord:
        if (auto value = DWordFromEditorText(result.Text)) {
            WriteDWordValue(undo, key, result.Name, result.Type, *value);
            return true;
        }
        return false;
    case TValueEditorKind::QWord:
        WriteQWordValue(undo, key, result.Name, REG_QWORD, registry::DecStrToInt64(result.Text));
        return true;
    case TValueEditorKind::Binary:
        WriteBinaryValue(undo, key, result.Name, result.Type, result.Bytes);
        return true;
    }
    return false;
}

}  // namespace app
