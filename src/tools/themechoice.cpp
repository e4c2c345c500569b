#include "tools/themechoice.h"

namespace tools {

namespace {

bool SameThemeName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

TThemeChoice::TThemeChoice(IThemeSwitch& themes) : FThemes(themes), FOriginal(themes.CurrentTheme()) {}

std::vector<std::wstring> TThemeChoice::Names() const {
    std::vector<std::wstring> names;
    const int count = FThemes.ThemeCount();
    for (int i = 0; i < count; ++i) names.push_back(FThemes.ThemeName(i));
    return names;
}

int TThemeChoice::CurrentIndex() const {
    const std::wstring current = FThemes.CurrentTheme();
    const std::vector<std::wstring> names = Names();
    for (size_t i = 0; i < names.size(); ++i)
        if (SameThemeName(names[i], current)) return static_cast<int>(i);
    return -1;
}

void TThemeChoice::Pick(const std::wstring& name) {
    if (!SameThemeName(name, FThemes.CurrentTheme())) FThemes.SwitchTheme(name);
}

void TThemeChoice::Restore() {
    if (!SameThemeName(FOriginal, FThemes.CurrentTheme())) FThemes.SwitchTheme(FOriginal);
}

}  // namespace tools
