#include "controls/toolbar/themed/thmbars_p.h"

#include "controls/toolbar/tbfloating.h"
#include "controls/toolbar/themed/thmdockpanel.h"
#include "controls/toolbar/themed/thmfloating.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

void RepaintWithColor(TBarCustomDockableWindow& window, TColor effective) {
    if (window.Docked() && window.HandleAllocated())
        RedrawWindow(window.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    BroadcastEffectiveColor(&window, effective);
    window.Invalidate();
}

void RedrawCaptionFrame(TBarCustomDockableWindow& window) {
    if (window.Docked()) {
        window.RedrawWithFrame();
    } else if (TBarFloatingWindowParent* host = window.FloatingParent(); host && window.Floating()) {
        host->RedrawNCArea(fpAll);
    }
}

void ReframeDockable(TBarCustomDockableWindow& window) {
    TBarFloatingWindowParent* host = window.FloatingParent();
    if (window.Floating() && host)
        RecalcFrame(host);
    else
        RecalcFrame(&window);
}

void PassSnapDistance(TBarCustomDockableWindow& window, int distance) {
    if (auto* host = dynamic_cast<TThmFloatingWindowParent*>(window.Parent())) host->SetSnapDistance(distance);
}

}  // namespace themed
