// The terms-of-use window "ライセンス": a fixed text of five conditions of use and an OK button.
// The main window shows it from its terms command and once at the first start.
//
// Callers make it with ui::ShowModalForm. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"

namespace ui {
class TUiButton;
}

namespace tools {

class TLicenseForm : public wide::TWideForm {
public:
    explicit TLicenseForm(classlib::TComponent* owner);

    ui::TUiButton* OkButton = nullptr;
};

}  // namespace tools
