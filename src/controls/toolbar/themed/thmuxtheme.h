#pragma once
// The visual-style library, loaded at run time: its module and the entry points this program
// uses, bound by name all at once. An entry point the library lacks stays null, and every
// one is null while the library is not loaded.
//
// The theme manager loads the library when it opens visual-style data and unloads it each
// time it closes that data (thmregistry.h), so the table is valid while VisualStylesOpen
// holds. Main thread only.

#include <windows.h>
#include <uxtheme.h>

namespace themed {

struct TThmVisualStyleApi {
    HMODULE Module = nullptr;
    decltype(&::OpenThemeData) OpenThemeData = nullptr;
    decltype(&::CloseThemeData) CloseThemeData = nullptr;
    decltype(&::DrawThemeBackground) DrawThemeBackground = nullptr;
    decltype(&::DrawThemeText) DrawThemeText = nullptr;
    decltype(&::GetThemeBackgroundContentRect) GetThemeBackgroundContentRect = nullptr;
    decltype(&::GetThemePartSize) GetThemePartSize = nullptr;
    decltype(&::GetThemeTextExtent) GetThemeTextExtent = nullptr;
    decltype(&::GetThemeBackgroundRegion) GetThemeBackgroundRegion = nullptr;
    decltype(&::GetThemeColor) GetThemeColor = nullptr;
    decltype(&::GetThemeMargins) GetThemeMargins = nullptr;
    decltype(&::IsThemeActive) IsThemeActive = nullptr;
    decltype(&::IsAppThemed) IsAppThemed = nullptr;
    // The style file, colour and size names of the visual style in use; a negative result is
    // a failure. Themes ask it only while VisualStylesOpen holds.
    decltype(&::GetCurrentThemeName) GetCurrentThemeName = nullptr;
};

// The table as it stands (all null while the library is not loaded).
const TThmVisualStyleApi& VisualStyleApi();
// Loads "uxtheme.dll" and binds the entry points unless it is loaded already; true when the
// library is loaded.
bool LoadVisualStyleLibrary();
// Frees the library and clears the module and every entry point.
void UnloadVisualStyleLibrary();
// The library is loaded and the application is drawn with an active visual style.
bool VisualStylesInUse();

}  // namespace themed
