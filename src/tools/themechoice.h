// The theme box of the settings dialog: it lists the registered themes, the running program
// takes the theme the user picks at once, and a dialog left without OK puts back the theme
// that was in use when it opened.
//
// Main thread only.
#pragma once

#include <string>
#include <vector>

namespace tools {

// The program's theme switch as the dialog sees it.
class IThemeSwitch {
public:
    virtual ~IThemeSwitch() = default;
    // The registered themes in registration order.
    virtual int ThemeCount() = 0;
    virtual std::wstring ThemeName(int index) = 0;
    // The registered spelling of the theme in use.
    virtual std::wstring CurrentTheme() = 0;
    // Switches every themed window to the theme; false (and nothing changes) for a name no
    // theme is registered under.
    virtual bool SwitchTheme(const std::wstring& name) = 0;
};

class TThemeChoice {
public:
    // Remembers the theme in use.
    explicit TThemeChoice(IThemeSwitch& themes);

    const std::wstring& Original() const { return FOriginal; }
    // The names to list, in registration order.
    std::vector<std::wstring> Names() const;
    // The position of the theme in use among Names() (ASCII case ignored); -1 when it is none
    // of them.
    int CurrentIndex() const;
    // Switches to the theme at once.
    void Pick(const std::wstring& name);
    // Puts back the theme of the opening when another one is in use.
    void Restore();

private:
    IThemeSwitch& FThemes;
    std::wstring FOriginal;
};

}  // namespace tools
