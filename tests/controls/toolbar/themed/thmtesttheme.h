// A theme class of a test made the current theme.
#pragma once

#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"

#include <memory>
#include <string>

// Registers T under `name` (once per program) and selects it; answers the instance, or null
// when it could not be selected.
template <class T>
T* SelectTestTheme(const std::wstring& name) {
    if (!themed::IsToolbarThemeRegistered(name))
        themed::RegisterToolbarTheme(name, [](const std::wstring& n) { return std::make_unique<T>(n); });
    if (!themed::SelectTheme(name)) return nullptr;
    return dynamic_cast<T*>(&themed::ActiveToolbarTheme());
}
