#pragma once
// The soft drop shadow of a themed popup window: up to six thin hidden top-level windows
// (strips) around the popup, drawn with per-pixel alpha as layered windows, or as plain strips
// in the button-shadow colour on a low-colour screen. The popup window decides when a shadow
// is made and keeps it (TShadows) for as long as it stays where it is.
//
// Main thread only.

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>

#include "classlib/control.h"

namespace themed {

// Faded ends of a strip: for a horizontal strip the left (1) and right (2) end, for a
// vertical strip the top (1) and bottom (2) end.
constexpr BYTE seStart = 1;
constexpr BYTE seEnd = 2;

// How a strip is drawn.
enum TShadowRenderMode {
    srmPlain,    // opaque, in the button-shadow colour (low-colour screens)
    srmLayered,  // a layered window with per-pixel alpha
};

// One planned strip of a shadow.
struct TShadowStripPlan {
    bool Made = false;  // the strip exists (never for an empty rectangle)
    RECT Bounds{};      // screen coordinates
    bool Vertical = false;
    BYTE FadedEnds = 0;
};

// The strips of a shadow in the order VertStrip1, HorzStrip1, VertStrip2, HorzStrip2,
// VertStrip3, HorzStrip3.
using TShadowPlan = std::array<TShadowStripPlan, 6>;
enum TShadowStripIndex { ssVert1, ssHorz1, ssVert2, ssHorz2, ssVert3, ssHorz3 };

// Where the strips of a popup's shadow go, `depth` pixels deep, for the popup `popup` opened
// from `opener` (both screen rectangles; either may be empty). With both present the shadow
// leaves out the opener where the two touch, so that a popup opened below a toolbar button
// casts no shadow onto the button; two rectangles that overlap both ways get no shadow.
TShadowPlan PlanShadowStrips(const RECT& opener, const RECT& popup, int depth);

// Writes the alpha ramp of a strip of width x height pixels into `pixels` (32-bit words, row
// by row, premultiplied black: only the alpha byte is set): opaque at the popup's edge and
// fading outward, and fading around the marked ends, whose corner parts are as long as the
// strip is thick.
void FillShadowAlpha(std::uint32_t* pixels, int width, int height, bool vertical, BYTE fadedEnds);

// One strip: a hidden top-level window that lets the mouse through.
class TShadow : public classlib::TCustomControl {
public:
    TShadow(const RECT& bounds, int opacity, bool lowColor, bool vertical, BYTE fadedEnds);

    TShadowRenderMode RenderMode() const { return FRenderMode; }
    // Makes the window and, for a layered strip, gives it its alpha bitmap.
    void Render();
    // Shows the strip right behind `window`, without activating it.
    void ShowBehind(HWND window);

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& m) override;

private:
    int FOpacity;
    bool FVertical;
    BYTE FFadedEnds;
    TShadowRenderMode FRenderMode;
};

// The shadow of one popup.
class TShadows {
public:
    // Builds and renders the strips; `lowColor` (the caller passes IsLowColorDisplay) makes
    // them plain and halves the depth.
    TShadows(const RECT& opener, const RECT& popup, int depth, int opacity, bool lowColor);
    ~TShadows();
    TShadows(const TShadows&) = delete;
    TShadows& operator=(const TShadows&) = delete;

    // Shows the strips that exist, in strip order, behind `window`.
    void Show(HWND window);
    // The popup bounds the shadow was made for.
    const RECT& PopupBounds() const { return FPopup; }
    // True when a WM_WINDOWPOSCHANGED of the popup moved or sized it away from those bounds:
    // only then does the shadow have to be made again. Showing, hiding and z-order changes
    // leave it as it is.
    bool NeedsRebuild(const WINDOWPOS& pos) const;
    // The strip at an index (null when none was made).
    TShadow* Strip(TShadowStripIndex index) const { return FStrips[index].get(); }

private:
    RECT FPopup;
    std::array<std::unique_ptr<TShadow>, 6> FStrips;
};

}  // namespace themed
