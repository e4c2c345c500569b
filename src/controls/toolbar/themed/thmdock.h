#pragma once
// The themed dock: a dock (tbdock.h) whose background is painted by the current theme (when
// the theme paints dock backgrounds and neither a colour nor a background object is set),
// or taken from what lies behind it (UseParentBackground). Its colour defaults to clNone:
// it then answers its parent's effective colour.
//
// Background rectangles: the core hands PaintBackground a rectangle whose top-left corner is
// the origin of a background shared across the dock's parent. The themed windows on a dock
// paint its background with PaintDockBackgroundAt, which takes the dock's client rectangle
// in the coordinates of the DC instead, and works for any dock.
//
// Main thread only.

#include "controls/toolbar/tbdock.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

// Paints the background of `dock` into `dc`, where the dock's client area lies at
// `clientRect`; only what lies inside `clientRect` and the DC's clip is painted.
void PaintDockBackgroundAt(toolbar::TBarDock* dock, HDC dc, const RECT& clientRect);

// The theme's position code of a dock: top 1, bottom 2, left 3, right 4.
int ThemeDockPosition(toolbar::TBarDockPosition position);

class TThmDock : public toolbar::TBarDock, public TThmColorHost, public TThmThemeClient {
public:
    explicit TThmDock(classlib::TComponent* owner);

    // The dock shows what lies behind it (its parent's background) as its own.
    bool UseParentBackground() const { return FUseParentBackground; }
    void SetUseParentBackground(bool value);
    // Set while the dock handles its own move or resize.
    bool Moving() const { return FMoving; }
    bool Sizing() const { return FSizing; }

    // No background object, no colour, and the theme paints dock backgrounds.
    virtual bool ThemeDrawsBackground();
    // The background with the dock's client area at `clientRect` of the DC, limited to
    // `paintRect` (the parent's, the theme's or the core's background).
    void PaintThemedBackground(HDC dc, const RECT& clientRect, const RECT& paintRect);

    void PaintBackground(HDC dc, const RECT& rect) override;
    // UseParentBackground, or the theme's background while the dock is not moving, or the
    // core's background object.
    bool BackgroundInUse() override;
    // Color, or with clNone the parent's effective colour.
    classlib::TColor ThemeEffectiveColor() override;
    // Repaints the dock after a change.
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    void Dispatch(classlib::TMessage& message) override;
    void CMColorChanged(classlib::TMessage& message) override;
    void TearDown() override;

private:
    // The windows on the dock repaint what they show of its background.
    void RepaintWindows();
    bool FUseParentBackground = false;
    bool FMoving = false;
    bool FSizing = false;
};

}  // namespace themed
