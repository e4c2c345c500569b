// The HTML Help session of the main window: "hhctrl.ocx" loaded at run time and
// initialised while the object lives. Without the library or its entry, help is simply
// unavailable. Main thread only.
#pragma once

#include <windows.h>

namespace app {

class THtmlHelpSession {
public:
    // Loads the library and initialises help for `owner`.
    explicit THtmlHelpSession(HWND owner);
    // Uninitialises help and unloads the library.
    ~THtmlHelpSession();
    THtmlHelpSession(const THtmlHelpSession&) = delete;
    THtmlHelpSession& operator=(const THtmlHelpSession&) = delete;

    bool Available() const { return FHtmlHelp != nullptr; }
    // HtmlHelpW of the loaded library; null when help is unavailable.
    HWND Call(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) const;

private:
    using THtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HMODULE FLibrary = nullptr;
    THtmlHelpW FHtmlHelp = nullptr;
    HWND FOwner = nullptr;
    DWORD_PTR FCookie = 0;
};

}  // namespace app
