// A dockable panel of the main window whose contents are made just before it first shows,
// however it comes to be shown (its view command, the layout file), so that it never shows
// empty. Main thread only.
#pragma once

#include "controls/toolbar/ui/uidockpanels.h"

#include <functional>

namespace app {

class TPreparedDockablePanel final : public ui::TUiDockablePanel {
public:
    using ui::TUiDockablePanel::TUiDockablePanel;
    // Called each time the panel is about to show; its owner clears it before going.
    std::function<void()> BeforeShow;

protected:
    void CMVisibleChanged(classlib::TMessage& message) override {
        if (Visible() && BeforeShow) BeforeShow();
        ui::TUiDockablePanel::CMVisibleChanged(message);
    }
};

}  // namespace app
