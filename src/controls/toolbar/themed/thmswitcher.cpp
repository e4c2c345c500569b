#include "controls/toolbar/themed/thmswitcher.h"

#include <vector>

#include "controls/toolbar/themed/thmregistry.h"

namespace themed {

TThmSwitcher::TThmSwitcher(classlib::TComponent* owner) : TComponent(owner) { RegisterThemeClient(this); }

std::wstring TThmSwitcher::Theme() const { return GetActiveToolbarThemeName(); }

bool TThmSwitcher::SetTheme(const std::wstring& name) { return SelectTheme(name); }

bool TThmSwitcher::EnableXPStyles() const { return GetThemeManagerSetting(2) == 0; }

void TThmSwitcher::SetEnableXPStyles(bool value) { ThemeManager().SetVisualStylesEnabled(value); }

TFlatMenuStyle TThmSwitcher::FlatMenuStyle() const {
    switch (GetThemeManagerSetting(1)) {
    case fmsFlatForced: return fmsEnable;
    case fmsFlatOff: return fmsDisable;
    default: return fmsAuto;
    }
}

void TThmSwitcher::SetFlatMenuStyle(TFlatMenuStyle value) {
    static constexpr int kManagerStyles[] = {fmsAutomatic, fmsFlatForced, fmsFlatOff};
    ThemeManager().SetFlatMenuStyle(kManagerStyles[value]);
}

int TThmSwitcher::GetThemeCount() const {
    std::vector<std::wstring> names;
    ListToolbarThemes(names);
    return static_cast<int>(names.size());
}

std::wstring TThmSwitcher::GetThemeName(int index) const {
    std::vector<std::wstring> names;
    ListToolbarThemes(names);
    return index >= 0 && index < static_cast<int>(names.size()) ? names[index] : std::wstring();
}

void TThmSwitcher::HandleThemeChange(int, bool) {
    if (OnThemeChange) OnThemeChange(this);
}

}  // namespace themed
