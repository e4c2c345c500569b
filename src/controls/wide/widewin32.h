// Platform flags, the exceptions of the wide layer and the UTF-16 wrappers of system calls
// that the Unicode controls use.
//
// The program runs only on the NT family, so every wrapper calls the UTF-16 form of its
// system function directly; there are no ANSI fallbacks. The flags are fixed when the
// program starts and never change, so any thread may read them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "classlib/errors.h"

namespace wide {

// Internal consistency errors of the wide layer (programming errors, English messages).
class EWideInternalError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// Errors of the wide layer caused by data or requests ("Invalid UTF7", a folder that
// cannot be created).
class EWideGeneralError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// True: the platform has the UTF-16 system calls (always, on the systems the program runs).
extern const bool Win32PlatformIsUnicode;
// True on Windows 5.1 and later (major version 5 with a minor version above 0, or above 5).
extern const bool Win32PlatformIsXP;
// The same value under the name the window layer uses.
extern const bool IsWindowsXPOrLater;

// SetWindowTextW; True on success.
bool WideSetWindowTextW(HWND wnd, const std::wstring& text);

// DrawTextW; `count` -1 draws up to the terminating NUL. Returns what DrawTextW returns.
int WideDrawTextW(HDC dc, const wchar_t* text, int count, RECT* rect, UINT format);

// True when a resource-name pointer is an integer identifier (its high word is 0).
inline bool IsIntResource(const void* value) {
    return (reinterpret_cast<uintptr_t>(value) >> 16) == 0;
}

}  // namespace wide
