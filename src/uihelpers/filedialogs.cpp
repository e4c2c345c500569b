#include "uihelpers/filedialogs.h"

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace uihelpers {

bool ShowFileDialog(HWND Owner, const std::wstring& DefaultExt, const std::wstring& Filter,
                    const std::wstring& InitialDir, const std::wstring& Title,
                    std::wstring& FileName, bool FileMustExist, bool OverwritePrompt,
                    bool NoChangeDir, bool Open, int FilterIndex) {
    try {
        std::vector<wchar_t> buffer(4097 + 1, L'\0');
        std::copy_n(FileName.begin(), std::min<size_t>(FileName.size(), 4096), buffer.begin());
        std::wstring filter = Filter;
        std::replace(filter.begin(), filter.end(), L'|', L'\0');
        filter.push_back(L'\0');
        filter.push_back(L'\0');

        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = Owner;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = 4097;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = FilterIndex;
        if (!DefaultExt.empty()) ofn.lpstrDefExt = DefaultExt.c_str();
        if (!InitialDir.empty()) ofn.lpstrInitialDir = InitialDir.c_str();
        if (!Title.empty()) ofn.lpstrTitle = Title.c_str();
        ofn.Flags = OFN_HIDEREADONLY;
        if (FileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
        if (OverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
        if (NoChangeDir) ofn.Flags |= OFN_NOCHANGEDIR;
        const BOOL ok = Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
        if (!ok) return false;
        FileName = buffer.data();
        return true;
    } catch (...) {
        return false;
    }
}

namespace {
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data)
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
}  // namespace

bool BrowseForFolder(HWND Owner, const std::wstring& Title, const wchar_t* InitialFolder,
                     std::wstring& Folder) {
    try {
        wchar_t displayName[MAX_PATH] = {};
        BROWSEINFOW info{};
        info.hwndOwner = Owner;
        info.pszDisplayName = displayName;
        info.lpszTitle = Title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(InitialFolder);
        PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
        if (!list) return false;
        auto freeList = classlib::ScopeExit([list] { CoTaskMemFree(list); });
        std::vector<wchar_t> path(32768, L'\0');
        if (!SHGetPathFromIDListEx(list, path.data(), classlib::Win32Size<DWORD>(path.size()), GPFIDL_DEFAULT) &&
            !SHGetPathFromIDListW(list, path.data()))
            return false;
        Folder = path.data();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace uihelpers
