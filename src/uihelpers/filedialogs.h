// The system's file and folder choosers in UTF-16.
//
// Main thread only, while the application object exists: the folder chooser needs OLE on
// the calling thread, which the application's process setup provides. Neither function
// throws: a failure reads as a cancel.
#pragma once

#include <windows.h>

#include <string>

namespace uihelpers {

// The system file-open (Open) or file-save dialog owned by Owner. Filter is the "|"-joined
// list of description and pattern pairs. FileName is the initial name on entry and the
// chosen path on True; unchanged on False (cancel or failure).
bool ShowFileDialog(HWND Owner, const std::wstring& DefaultExt, const std::wstring& Filter,
                    const std::wstring& InitialDir, const std::wstring& Title,
                    std::wstring& FileName, bool FileMustExist, bool OverwritePrompt,
                    bool NoChangeDir, bool Open, int FilterIndex);
// The system folder chooser, opening at InitialFolder (may be null); Folder set on True.
bool BrowseForFolder(HWND Owner, const std::wstring& Title, const wchar_t* InitialFolder,
                     std::wstring& Folder);

}  // namespace uihelpers
