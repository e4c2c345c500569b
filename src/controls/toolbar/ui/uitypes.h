#pragma once
// The small types every themed control shares: how a control paints (its theme type), the
// stages of its custom-draw events, the glow behind captions, and the popup event.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "classlib/messages.h"

namespace classlib {
class TComponent;
}
namespace toolbar {
class TBarView;
}

namespace ui {

// Posted by a popup menu, without parameters, to the control it was opened for and to that
// control's child windows once the menu has closed: a drop-down button that opened it lets
// go of its pushed state.
constexpr UINT CM_UIPOPUPCLOSE = classlib::CM_BASE + 1111;

// How a control paints: plain system drawing, the system's visual styles, or the current
// toolbar theme. ResolveThemeType (uitheme.h) gives the way that applies now.
enum TUiThemeType : std::uint8_t { thtNone = 0, thtWindows = 1, thtThm = 2 };

// The same for tabs, which also know a flat look of their own.
enum TUiTabThemeType : std::uint8_t { tttNone = 0, tttWindows = 1, tttThm = 2, tttFlat = 3 };

// Custom-draw events run once before and once after the default painting.
enum TUiPaintStage { pstPrePaint, pstPostPaint };

// Where a caption's one-pixel glow lies.
enum TUiGlowDirection { gldNone, gldAll, gldTopLeft, gldBottomRight };

// Fired when a popup menu is about to show its view.
using TUiPopupEvent = std::function<void(classlib::TComponent* sender, toolbar::TBarView* popupView)>;

}  // namespace ui
