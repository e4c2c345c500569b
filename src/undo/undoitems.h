// The undo record and the internal clipboard entry, and the text forms they are stored in.
//
// Both are registry value records (regrecords.h) with a few fields of their own; they are
// plain copyable values owned by the lists of TVxRegClipUndoProvider (undoprovider.h).
#pragma once

#include "registry/regrecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace undo {

// Kinds of undo record (TRegUndoItem::FKind).
constexpr uint8_t ukKey = 0;
constexpr uint8_t ukValue = 1;

// Operations of undo record (TRegUndoItem::FOperation).
constexpr uint8_t uoCreated = 0;
constexpr uint8_t uoChanged = 1;
constexpr uint8_t uoRenamed = 2;
constexpr uint8_t uoDeleted = 3;

// One undo record: the identity of the key (and value) that changed, what happened to it,
// and what is needed to reverse it.
//   FPayload: deleted key - full path of its backup script; changed or deleted value - the
//             old data as upper-case hexadecimal text, two digits per byte; renamed value -
//             old name + U+2192 + new name; otherwise empty.
//   FOldName: the name before a rename (key or value).
class TRegUndoItem : public registry::TVxRegValueClass {
public:
    uint8_t FKind = ukKey;
    uint8_t FOperation = uoCreated;
    std::wstring FPayload;
    std::wstring FOldName;
};

// One entry of the key or value clipboard. FCut: a paste moves the key or value rather
// than copying it.
class TRegClipBordItem : public registry::TVxRegValueClass {
public:
    bool FCut = false;
};

// --- Hexadecimal text of value data ----------------------------------------------------

// The bytes as upper-case hexadecimal digits, two per byte, no separators.
std::wstring BytesToHexText(const std::vector<BYTE>& Bytes);

// Length(Hex) div 2 bytes decoded from the digit pairs; decoding stops at the first pair
// that is not hexadecimal and the remaining bytes are 0. An odd last digit is ignored.
std::vector<BYTE> HexTextToBytes(const std::wstring& Hex);

// --- Lines of "Undo.db" ----------------------------------------------------------------
//
// One record per line: 13 fields, each followed by one TAB, in this order: payload, old
// name, value name, data text, display name, key name, path, full path, computer name,
// value type (unsigned decimal), root key (unsigned decimal of the 32-bit handle value,
// 2147483649 for HKEY_CURRENT_USER), kind, operation.
//
// A record whose texts hold a TAB, CR, LF or NUL cannot be written that way (the fields
// would shift, or the line would break). It is written in the escaped form: the nine
// texts with "\" doubled and TAB, CR, LF and NUL as \t, \r, \n and \0, the four numbers
// as above, then a 14th field "E" (also followed by a TAB). Every other record keeps
// the plain form, which stores its texts as they are, so lines of the plain form read
// exactly as they always did.

// The line of Item, in the plain form or, when a text needs it, the escaped form. Always
// True.
bool FormatUndoLine(const TRegUndoItem& Item, std::wstring& Line);

// Why a line of "Undo.db" was rejected.
enum class TUndoLineError {
    None,
    FieldCount,  // not exactly 13 fields (14 with the mark of the escaped form)
    Escape,      // escaped form: a "\" that starts no known pair
    Number,      // value type, root, kind or operation is not a plain decimal in range
    Root,        // root key is not one of the seven predefined roots
    Kind,        // kind other than key or value
    Operation,   // operation other than created, changed, renamed or deleted
    Path,        // empty path parts, a key record without path, a full path of another
                 // root, a remote computer, or a bad old key name
    Payload,     // value data that is not hexadecimal text, or a key backup without path
};

// Parses one line as untrusted input. On success Item receives the fields (the root key
// sign-extended to the platform's handle value) and None is returned; otherwise Item is
// untouched. A trailing TAB after the last field is expected but not required.
TUndoLineError ParseUndoLine(const std::wstring& Line, TRegUndoItem& Item);

// --- Backup scripts --------------------------------------------------------------------

// True when Path is an absolute path of a ".reg" file directly inside one of AllowedDirs
// (both made absolute and long-form, compared ignoring case). Empty entries of AllowedDirs
// are ignored. Undo imports and deletes only files that pass this test, so a path taken
// from "Undo.db" can never make it touch another file.
bool IsAllowedBackupPath(const std::wstring& Path, const std::vector<std::wstring>& AllowedDirs);

// True when FileName exists, starts with the header line of a registry script
// ("Windows Registry Editor Version 5.00", UTF-16LE with byte-order mark or 8-bit text)
// and holds the section line "[" + FullPath + "]" (letter case ignored) within its first
// 256 KiB - the test that an export produced a usable backup of that key.
bool IsCompleteRegScript(const std::wstring& FileName, const std::wstring& FullPath);

}  // namespace undo
