// File and folder helpers shared by the registry core, favorites and tools: extension
// test, long path names, fresh temporary file names and a folder walk.
//
// Any thread; none of them throws.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace registry {

// --- Files and folders -----------------------------------------------------------------

// The extension of FileName (with its dot) equals Ext ignoring case.
bool FileHasExt(const std::wstring& FileName, const std::wstring& Ext);
// GetLongPathNameW; Path itself when that fails.
std::wstring GetLongPath(const std::wstring& Path);
// A fresh name in Dir made from Prefix (at most 3 characters used) with extension Ext
// (".reg"). The final name is reserved by creating it as an empty file with CREATE_NEW
// (retrying with another name when it exists), so no other caller can be given the same
// name; the caller overwrites or deletes it. Empty when no name could be made (for
// example a missing folder).
std::wstring MakeTempFileName(const std::wstring& Dir, const std::wstring& Prefix,
                              const std::wstring& Ext);
// MakeTempFileName in the system's temporary folder.
std::wstring MakeTempFileNameInTempDir(const std::wstring& Prefix, const std::wstring& Ext);

// Entry kinds of EnumFiles.
enum TEnumFilesMode : int { efAll = 0, efFolders = 1, efFiles = 2 };
using TEnumFilesCallback =
    std::function<void(const std::wstring& FullPath, const WIN32_FIND_DATAW& FindData)>;
// Calls Callback for every entry of Dir the mode admits ("." and ".." skipped), in the file
// system's order; with Recurse a folder's content follows right after the folder's own
// call. A missing folder gives no call. The callback's context is whatever it captures.
void EnumFiles(const std::wstring& Dir, bool Recurse, TEnumFilesMode Mode,
               const TEnumFilesCallback& Callback);

}  // namespace registry
