#include "controls/wide/widewin32.h"

namespace wide {

namespace {

bool DetectXPOrLater() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info))
        return true;
#pragma GCC diagnostic pop
    return (info.dwMajorVersion == 5 && info.dwMinorVersion > 0) || info.dwMajorVersion > 5;
}

}  // namespace

const bool Win32PlatformIsUnicode = true;
const bool Win32PlatformIsXP = DetectXPOrLater();
const bool IsWindowsXPOrLater = Win32PlatformIsXP;

bool WideSetWindowTextW(HWND wnd, const std::wstring& text) {
    return SetWindowTextW(wnd, text.c_str()) != FALSE;
}

int WideDrawTextW(HDC dc, const wchar_t* text, int count, RECT* rect, UINT format) {
    return DrawTextW(dc, text, count, rect, format);
}

}  // namespace wide
