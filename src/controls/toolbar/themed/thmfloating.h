#pragma once
// The themed floating window: the small tool form that hosts a floating themed toolbar, tool
// window or dockable panel. The current theme paints its frame, caption and close button; the
// close button follows the mouse; moved (not resized) within SnapDistance of an edge of its
// monitor's work area, it snaps to that edge.
//
// Made by the window it hosts (through its FloatingParentClass), never by anyone else. Main
// thread only.

#include "controls/toolbar/tbfloating.h"

namespace themed {

class TThmFloatingWindowParent : public toolbar::TBarFloatingWindowParent {
public:
    using TBarFloatingWindowParent::TBarFloatingWindowParent;

    // The distance within which a move snaps to the work area's edges; 0 (and anything
    // negative, stored as 0) never snaps. The hosted window hands its own over.
    int SnapDistance() const { return FSnapDistance; }
    void SetSnapDistance(int value) { FSnapDistance = value > 0 ? value : 0; }
    bool CloseButtonHot() const { return FCloseButtonHot; }

    void DrawNCArea(bool drawToDC, HDC dc, unsigned parts, HRGN region) override;

protected:
    void Dispatch(classlib::TMessage& message) override;

private:
    void SetCloseButtonHot(bool value);
    int FSnapDistance = 0;
    bool FCloseButtonHot = false;
};

// Where a window moved to `bounds` ends when it snaps within `distance` to the edges of
// `workArea`: the right, bottom, left and top edges are tried in this order, a later one
// winning.
RECT SnapToWorkArea(const RECT& bounds, const RECT& workArea, int distance);

// The class reference the themed windows answer for their floating form.
toolbar::TBarFloatingWindowParent* NewThemedFloatingWindowParent();

}  // namespace themed
