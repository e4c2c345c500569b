#include "app/htmlhelp.h"

namespace app {

namespace {
constexpr UINT HH_INITIALIZE = 28;
constexpr UINT HH_UNINITIALIZE = 29;
}  // namespace

THtmlHelpSession::THtmlHelpSession(HWND owner) : FOwner(owner) {
    FLibrary = LoadLibraryW(L"hhctrl.ocx");
    if (!FLibrary) return;
    FHtmlHelp = reinterpret_cast<THtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(FLibrary, "HtmlHelpW")));
    if (FHtmlHelp) FHtmlHelp(FOwner, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&FCookie));
}

THtmlHelpSession::~THtmlHelpSession() {
    if (FHtmlHelp) FHtmlHelp(FOwner, nullptr, HH_UNINITIALIZE, FCookie);
    if (FLibrary) FreeLibrary(FLibrary);
}

HWND THtmlHelpSession::Call(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) const {
    return FHtmlHelp ? FHtmlHelp(caller, file, command, data) : nullptr;
}

}  // namespace app
