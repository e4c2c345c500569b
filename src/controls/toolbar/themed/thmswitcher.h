#pragma once
// The component through which the program and its settings dialog choose the theme and the
// theme manager's two switches. It keeps none of them itself: it reads and writes the nexus
// and the theme manager, and tells its owner about every theme change.
//
// Main thread only.

#include <string>

#include "classlib/component.h"
#include "controls/toolbar/themed/thmnexus.h"

namespace themed {

enum TFlatMenuStyle { fmsAuto, fmsEnable, fmsDisable };

class TThmSwitcher : public classlib::TComponent, public TThmThemeClient {
public:
    // Registers as a theme client (TThmThemeClient unregisters it).
    explicit TThmSwitcher(classlib::TComponent* owner);

    // The registered spelling of the theme in use.
    std::wstring Theme() const;
    // Selects the theme; an unregistered name (one left in the settings by another build,
    // say) keeps the current theme and answers false.
    bool SetTheme(const std::wstring& name);

    // The visual-styles switch of the theme manager (default on).
    bool EnableXPStyles() const;
    void SetEnableXPStyles(bool value);
    // The flat-menu style: fmsEnable forces the flat look, fmsDisable turns it off.
    TFlatMenuStyle FlatMenuStyle() const;
    void SetFlatMenuStyle(TFlatMenuStyle value);

    // The registered themes in registration order, for the settings dialog; an index out of
    // range gives an empty name.
    int GetThemeCount() const;
    std::wstring GetThemeName(int index) const;

    // Runs for every theme change the nexus passes on: three times for a switch, once for each
    // forwarded system notice.
    classlib::TNotifyEvent OnThemeChange;

    void HandleThemeChange(int change, bool themeSwitched) override;
};

}  // namespace themed
