#include "controls/toolbar/themed/thmuxtheme.h"

namespace themed {

namespace {

// Function pointers and a module handle only: no window or GDI object lives here.
TThmVisualStyleApi gApi;

template <typename F>
void Bind(F& entry, const char* name) {
    entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(gApi.Module, name)));
}

}  // namespace

const TThmVisualStyleApi& VisualStyleApi() { return gApi; }

bool LoadVisualStyleLibrary() {
    if (gApi.Module) return true;
    gApi.Module = LoadLibraryW(L"uxtheme.dll");
    if (!gApi.Module) return false;
    Bind(gApi.OpenThemeData, "OpenThemeData");
    Bind(gApi.CloseThemeData, "CloseThemeData");
    Bind(gApi.DrawThemeBackground, "DrawThemeBackground");
    Bind(gApi.DrawThemeText, "DrawThemeText");
    Bind(gApi.GetThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
    Bind(gApi.GetThemePartSize, "GetThemePartSize");
    Bind(gApi.GetThemeTextExtent, "GetThemeTextExtent");
    Bind(gApi.GetThemeBackgroundRegion, "GetThemeBackgroundRegion");
    Bind(gApi.GetThemeColor, "GetThemeColor");
    Bind(gApi.GetThemeMargins, "GetThemeMargins");
    Bind(gApi.IsThemeActive, "IsThemeActive");
    Bind(gApi.IsAppThemed, "IsAppThemed");
    Bind(gApi.GetCurrentThemeName, "GetCurrentThemeName");
    return true;
}

void UnloadVisualStyleLibrary() {
    if (gApi.Module) FreeLibrary(gApi.Module);
    gApi = TThmVisualStyleApi{};
}

bool VisualStylesInUse() {
    return gApi.Module && gApi.IsAppThemed && gApi.IsThemeActive && gApi.IsAppThemed() &&
           gApi.IsThemeActive();
}

}  // namespace themed
