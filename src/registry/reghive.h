// Hives, privileges and the bridge to the system registry editor ("regedit.exe").
//
// Main thread only. Hive functions report failure as False and show nothing.
#pragma once

#include "registry/regrecords.h"

#include <windows.h>

#include <functional>
#include <string>

namespace registry {

// Key is the HKEY_LOCAL_MACHINE or HKEY_USERS root itself.
bool IsHiveLoadTarget(const TVxRegKeyClass& Key);
// Key lies directly below HKEY_LOCAL_MACHINE or HKEY_USERS (one non-empty part): a key that
// may be a hive. Whether it may be unloaded is CanUnloadHive's question.
bool IsLoadedHiveKey(const TVxRegKeyClass& Key);
// Enables one privilege ("SeRestorePrivilege", "SeBackupPrivilege") in this process's
// token; True when the token reports it enabled. Once enabled it stays enabled.
bool EnablePrivilege(const char* Name);
// RegLoadKeyW after enabling the restore privilege. A hive loaded here is remembered for
// the rest of the process, so it may be unloaded again.
bool LoadHive(HKEY Root, const std::wstring& SubKey, const std::wstring& FileName);
// True when Root\SubKey is a hive this process loaded (or, on Windows, one listed in the
// system's hive list). Under Wine RegUnLoadKeyW deletes any key it is given, so nothing
// else may be unloaded.
bool CanUnloadHive(HKEY Root, const std::wstring& SubKey);
// RegUnLoadKeyW after enabling the restore privilege; refused (False) unless CanUnloadHive.
bool UnloadHive(HKEY Root, const std::wstring& SubKey);
// Saves Key and its subtree to FileName as a hive file (backup privilege; the key must
// open with full access). An existing file is replaced only once the save succeeded.
bool SaveKeyToHiveFile(const TVxRegKeyClass& Key, const std::wstring& FileName);

// How the editor bridge waits for the editor's process: True when the process ended. An
// empty wait blocks the calling thread until then; a caller with windows passes one that
// keeps them painted and refuses input meanwhile (classlib::WaitModally), so no other
// command can start during the wait.
using TProcessWait = std::function<bool(HANDLE Process)>;

// True while the registry editor started by one of the two functions below runs; both
// refuse at once during that time.
bool RegeditIsRunning();
// Runs "regedit.exe /S <file>" and waits for it with Wait. With DeleteAfter (files the
// program made for the purpose: undo backups, script favorites) the file is deleted after
// regedit ran; it is never deleted when regedit could not be started. True when regedit ran
// to its end (regedit's own exit code tells nothing).
bool ImportRegFileWithRegedit(const std::wstring& FileName, bool DeleteAfter = true,
                              const TProcessWait& Wait = {});
// Exports Key with its subtree to FileName ("regedit.exe /E <file> <key>") and waits with
// Wait. With Unicode False the file is rewritten by the program as an ANSI script
// ("REGEDIT4", system code page), because regedit under Wine has no switch for it. True when
// the file exists afterwards and starts with the expected header. A key path containing '"'
// is refused. Lossy (when given) tells whether the ANSI script lost characters that the code
// page has no place for (they read as its default character).
bool ExportKeyWithRegedit(const TVxRegKeyClass& Key, const std::wstring& FileName,
                          bool Unicode, const TProcessWait& Wait = {}, bool* Lossy = nullptr);

}  // namespace registry
