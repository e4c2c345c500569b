// Key and value operations and key-path functions.
//
// Every operation opens the handles it needs, closes them before it returns, never throws,
// shows no message and reports success as a Boolean; confirmations, refusal messages and
// undo recording are the callers' business. There is no transaction: a copy or move of a
// key tree that fails half-way keeps what was done, except for the clean-up of MoveRegKey.
// Names are compared the way the registry does (ignoring letter case) wherever a same-name
// check protects data. Queries use KEY_READ, changes KEY_ALL_ACCESS.
#pragma once

#include "registry/regrecords.h"

#include "classlib/streams.h"

namespace registry {

// --- Values ----------------------------------------------------------------------------

// Reads value Name of Key. On success: Stream holds exactly the value's bytes (its old
// content is replaced; the position is left after the bytes), Type its REG_* type, and
// SizeMismatch is True for a REG_DWORD / REG_DWORD_BIG_ENDIAN not 4 bytes long or a
// REG_QWORD not 8 bytes long. On failure nothing is changed and the result is False.
bool ReadRegValueToStream(const TVxRegKeyClass& Key, const std::wstring& Name,
                          classlib::TMemoryStream& Stream, DWORD& Type, bool& SizeMismatch);
// A REG_DWORD / REG_DWORD_BIG_ENDIAN value not 4 bytes long or a REG_QWORD not 8 bytes long:
// a number of the wrong length (shown as bytes, never decoded).
bool RegNumberHasWrongSize(DWORD Type, size_t Size);
// The whole content of Stream (from position 0, also 0 bytes) becomes value Name of Key
// with type Type; the value is created or replaced.
bool WriteRegValueFromStream(const TVxRegKeyClass& Key, const std::wstring& Name,
                             classlib::TCustomMemoryStream& Stream, DWORD Type);
// REG_* type of the value; 0 (REG_NONE) when the key or value cannot be read.
DWORD GetRegValueType(const TVxRegKeyClass& Key, const std::wstring& Name);
// The value can be queried; an empty Name tests the default value.
bool RegValueExists(const TVxRegKeyClass& Key, const std::wstring& Name);
bool DeleteRegValue(const TVxRegKeyClass& Key, const std::wstring& Name);
// Reads SrcName with its type and writes it as DstName of DstKey.
bool CopyRegValue(const TVxRegKeyClass& SrcKey, const std::wstring& SrcName,
                  const TVxRegKeyClass& DstKey, const std::wstring& DstName);
// CopyRegValue, then (only after it succeeded) deletes the source. False, and nothing
// changed, when source and destination are the same value (same key, names equal ignoring
// case): otherwise the deletion would remove the only copy.
bool MoveRegValue(const TVxRegKeyClass& SrcKey, const std::wstring& SrcName,
                  const TVxRegKeyClass& DstKey, const std::wstring& DstName);
// False when the names are equal ignoring case; otherwise MoveRegValue within Key.
bool RenameRegValue(const TVxRegKeyClass& Key, const std::wstring& OldName,
                    const std::wstring& NewName);

// --- Keys ------------------------------------------------------------------------------

// Creates (or opens, when it exists) subkey Name of Key; the parent is opened for reading
// only. AlreadyExisted (optional) is set on success: True when the key existed before, so
// callers never record "created" for a key they did not create.
bool CreateSubKey(const TVxRegKeyClass& Key, const std::wstring& Name,
                  bool* AlreadyExisted = nullptr);
// Key\Name opens for reading (Name alone below a root).
bool SubKeyExists(const TVxRegKeyClass& Key, const std::wstring& Name);
// (parent of Key's path)\Name opens for reading (Name alone when Key is directly below
// its root).
bool SiblingKeyExists(const TVxRegKeyClass& Key, const std::wstring& Name);
// The key opens for reading and has at least one subkey.
bool KeyHasSubKeys(HKEY Root, const std::wstring& Path);
// Deletes Path with all its subkeys and values. False for an empty path (a root is never
// deleted) and for a path with an empty part (leading, trailing or doubled "\"), which
// would otherwise name the parent.
bool DeleteRegKeyTree(HKEY Root, const std::wstring& Path);
// Every value of the source key written into the destination key (which must exist).
bool CopyRegValues(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                   const std::wstring& DstPath);
// The subkey tree of the source recreated below the destination (which must exist).
bool CopyRegSubKeys(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                    const std::wstring& DstPath);
// Copies the source key with its values and subkeys to DstParent\NewName (NewName alone
// for an empty DstParent); an existing destination is merged into (same-named values are
// overwritten). False, with nothing changed, when the destination is the source itself or
// lies inside its subtree (same root, paths compared ignoring case).
bool CopyRegKey(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                const std::wstring& DstParent, const std::wstring& NewName);
// CopyRegKey, then DeleteRegKeyTree of the source. False, with nothing changed, when the
// destination is the source (names equal ignoring case) or inside it. When the copy fails,
// only what the copy created is removed again (keys it made with REG_CREATED_NEW_KEY);
// an existing destination the copy merged into is left in place; the source stays.
bool MoveRegKey(HKEY SrcRoot, const std::wstring& SrcPath, HKEY DstRoot,
                const std::wstring& DstParent, const std::wstring& NewName);
// MoveRegKey within the same parent. False for a root, an empty name, or a new name equal
// to the old one ignoring case.
bool RenameRegKey(const TVxRegKeyClass& Key, const std::wstring& NewName);

// --- Paths (pure text) -----------------------------------------------------------------

// The text after the first "\"; empty when there is none.
std::wstring StripRootName(const std::wstring& FullPath);
// The text before the first "\" (all of it when there is none) compared exactly with the
// seven root names; the predefined handle of that root, or nullptr.
HKEY RootNameToHKey(const std::wstring& FullPath);
// The text before the last "\"; empty when there is none.
std::wstring ExtractParentKeyPath(const std::wstring& Path);
// The text after the last "\"; the whole text when there is none.
std::wstring ExtractKeyName(const std::wstring& Path);
// Registry-style name equality (ignoring letter case, as the registry compares names).
bool SameRegName(const std::wstring& A, const std::wstring& B);

}  // namespace registry
