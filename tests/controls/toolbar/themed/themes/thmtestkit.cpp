#include "thmtestkit.h"

#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"

namespace themetest {

ThemeHolder::ThemeHolder(const std::wstring& name) {
    RegisterProgramThemes();
    FTheme = themed::AcquireToolbarTheme(name);
}

ThemeHolder::~ThemeHolder() {
    if (FTheme) themed::ReleaseToolbarTheme(FTheme);
}

void RegisterProgramThemes() { themed::RegisterThemeTable(themes::ToolbarThemeTable()); }

}  // namespace themetest
