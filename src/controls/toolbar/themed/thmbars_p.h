#pragma once
// Steps shared by the themed dockable windows of this folder: the toolbar, the tool window
// and the dockable panel. Main thread only.

#include "classlib/graphics.h"
#include "controls/toolbar/tbdockable.h"

namespace themed {

// After a change of the window's colour: a docked window is redrawn at once with its frame
// and children, the children get the effective colour, and the window is invalidated.
void RepaintWithColor(toolbar::TBarCustomDockableWindow& window, classlib::TColor effective);
// After a change of the caption: the frame that shows it (docked, the window's own;
// floating, the floating form's).
void RedrawCaptionFrame(toolbar::TBarCustomDockableWindow& window);
// After a theme change: the frame of the floating form (floating) or of the window itself is
// worked out again (RecalcFrame, thmdockpanel.h).
void ReframeDockable(toolbar::TBarCustomDockableWindow& window);
// Hands the snap distance to the window's floating form when it is a themed one.
void PassSnapDistance(toolbar::TBarCustomDockableWindow& window, int distance);

}  // namespace themed
