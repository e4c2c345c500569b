// Files under UTF-16 names: existence tests, folder creation, opening and creating, atomic
// whole-file writes, and the file and memory streams of the wide layer.
//
// Functions that return a Boolean or a handle report failure only by that value (the
// caller reads GetLastError when it needs the reason). Any thread may call them.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/streams.h"

namespace wide {

// The full path of `s` (GetFullPathNameW); `s` itself when the call fails.
std::wstring WideExpandFileName(const std::wstring& s);

// Creates (or truncates) a file for reading and writing without sharing.
// INVALID_HANDLE_VALUE on failure.
HANDLE WideFileCreate(const std::wstring& fileName);
// Opens an existing file. `mode` holds an access mode (fmOpenRead, fmOpenWrite,
// fmOpenReadWrite) or'ed with a share mode (fmShareExclusive ... fmShareDenyNone).
// INVALID_HANDLE_VALUE on failure (ERROR_INVALID_PARAMETER for a mode outside those).
HANDLE WideFileOpen(const std::wstring& fileName, unsigned mode);

// True when a directory search for `fileName` finds an entry that is not a folder.
bool WideFileExists(const std::wstring& fileName);
// True when `name` is an existing folder.
bool WideDirectoryExists(const std::wstring& name);
// Creates `dir` and every missing parent (a trailing "\" is ignored). True when nothing
// needed doing or every creation succeeded; False leaves the folders made so far in place.
// An empty `dir` raises EWideGeneralError "ディレクトリを作成できません".
bool WideForceDirectories(const std::wstring& dir);

// Writes `size` bytes as the whole new content of `fileName`: into a temporary file in the
// same folder, flushed, then moved over the target (MoveFileExW, replacing it). On failure
// the temporary file is removed, an old target stays whole, and EFCreateError is raised
// with "ファイル "<full path>" を作成できません。<system reason>".
void WideWriteFileAtomic(const std::wstring& fileName, const void* data, size_t size);

// A file stream under a UTF-16 name. `mode` fmCreate (0xFFFF) creates or truncates the file
// (WideFileCreate); any other mode opens an existing file (WideFileOpen). Failure raises
// EFCreateError "ファイル "%s" を作成できません。%s" or EFOpenError
// "ファイル "%s" は開けません。%s" with the full path and the system's reason. The handle is
// closed when the stream is destroyed.
//
// A stream created with fmCreate writes into the target directly; callers that replace a
// file whole use WideWriteFileAtomic (or the SaveToFile functions built on it) instead.
class TWideFileStream : public classlib::THandleStream {
public:
    TWideFileStream(const std::wstring& fileName, unsigned mode);
    ~TWideFileStream() override;
};

// A memory stream that loads and saves files under UTF-16 names.
class TWideMemoryStream : public classlib::TMemoryStream {
public:
    // Replaces the content with the whole file, opened for reading with deny-write sharing.
    // A missing or locked file raises EFOpenError and leaves the stream unchanged.
    void LoadFromFile(const std::wstring& fileName);
    // Writes the whole stream as the new content of the file, atomically
    // (WideWriteFileAtomic); failure raises EFCreateError and leaves an old file whole.
    void SaveToFile(const std::wstring& fileName);
};

}  // namespace wide
