// Reading a value for its editor and writing what the editor returns, with undo: every
// write records the old data of a value that existed (or the creation of a new one) in the
// undo provider first. The value editors, the new-value commands and bulk replace write
// through these functions.
//
// Main thread only (the undo provider is). Registry failures are not reported: a read gives
// empty or zero data, a failed write leaves its undo record (the refreshed list shows the
// true state).
#pragma once

#include "registry/regrecords.h"
#include "undo/undoprovider.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace app {

// --- Readers -------------------------------------------------------------------------
// Data shorter than the number reads as if it ended in zero bytes.

// Type 11: the first 8 bytes little-endian; any other type 0.
uint64_t ReadQWordValue(const registry::TVxRegKeyClass& key, const std::wstring& name);
// Type 4 little-endian, type 5 big-endian; any other type 0.
uint32_t ReadDWordValue(const registry::TVxRegKeyClass& key, const std::wstring& name);
// The display text: REG_SZ / REG_EXPAND_SZ up to the first NUL, REG_MULTI_SZ one string
// per line each followed by CR LF.
std::wstring ReadStringValue(const registry::TVxRegKeyClass& key, const std::wstring& name);
// The raw bytes (empty when the value cannot be read).
std::vector<BYTE> ReadBinaryValue(const registry::TVxRegKeyClass& key, const std::wstring& name);

// --- Data of the writers (pure) --------------------------------------------------------

// A memo text as REG_MULTI_SZ data: CR LF and lone CR end a string; every piece, the
// last one included (empty after a final line break), is followed by U+0000, and one more
// U+0000 ends the data; an empty text gives one U+0000.
std::vector<BYTE> MultiStringData(const std::wstring& text);
// Four bytes, big-endian for REG_DWORD_BIG_ENDIAN, else little-endian.
std::vector<BYTE> DWordData(uint32_t value, DWORD type);
// The number the DWORD editor's text gives: the text as a signed 64-bit decimal, of which
// the low 32 bits are written; none for text that is no number and for -1.
std::optional<uint32_t> DWordFromEditorText(const std::wstring& text);

// --- Writers with undo -----------------------------------------------------------------
// Key names the key, name the value (empty: the default value).

// Type 1 or 2: the UTF-16 code units of text without a terminating NUL.
void WriteStringValue(undo::TVxRegClipUndoProvider& undo, const registry::TVxRegKeyClass& key,
                      const std::wstring& name, DWORD type, const std::wstring& text);
// Type 7: MultiStringData(text).
void WriteMultiStringValue(undo::TVxRegClipUndoProvider& undo, const registry::TVxRegKeyClass& key,
                           const std::wstring& name, const std::wstring& text);
void WriteDWordValue(undo::TVxRegClipUndoProvider& undo, const registry::TVxRegKeyClass& key,
                     const std::wstring& name, DWORD type, uint32_t value);
// Eight bytes little-endian.
void WriteQWordValue(undo::TVxRegClipUndoProvider& undo, const registry::TVxRegKeyClass& key,
                     const std::wstring& name, DWORD type, uint64_t value);
// The bytes as they are, with any type.
void WriteBinaryValue(undo::TVxRegClipUndoProvider& undo, const registry::TVxRegKeyClass& key,
                      const std::wstring& name, DWORD type, std::span<const BYTE> data);

// --- The road from a value to its editor and back --------------------------------------

enum class TValueEditorKind { String, ExpandString, DWord, MultiString, QWord, Binary };

// The editor of a value type: REG_SZ, REG_EXPAND_SZ, REG_DWORD and REG_DWORD_BIG_ENDIAN,
// REG_MULTI_SZ, REG_QWORD have their own; every other type opens the binary editor.
TValueEditorKind EditorKindForType(DWORD type);

// What an editor shows for an existing value: the text of the text editors (the unsigned
// decimal of the number editors), or the bytes of the binary editor.
struct TValueEditorData {
    std::wstring Text;
    std::vector<BYTE> Bytes;
};
TValueEditorData ReadValueForEditor(TValueEditorKind kind, const registry::TVxRegKeyClass& key,
                                    const std::wstring& name);

// What an editor returned on OK.
struct TValueEditorResult {
    std::wstring Name;
    std::wstring Text;         // text editors; the decimal field of the number editors
    std::vector<BYTE> Bytes;   // binary editor
    DWORD Type = REG_NONE;     // the value's type (binary editor: the type selector's)
};
// Writes an editor's result to `key` through the writer of its kind: a DWORD text that is
// no number (or -1) writes nothing; a QWORD text is read digit by digit (a non-digit counts
// 0). True when something was written.
bool WriteEditorResult(undo::TVxRegClipUndoProvider& undo, const registry::TVxRegKeyClass& key,
                       TValueEditorKind kind, const TValueEditorResult& result);

}  // namespace app
