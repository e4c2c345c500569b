#include <vsstyle.h>

#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uipaint_p.h"
#include "controls/toolbar/ui/uitheme.h"

namespace ui {

using namespace classlib;
using namespace themed;
using namespace detail;

void PaintComboFrame(TCanvas& canvas, const RECT& rect, bool enabled, int buttonWidth, TUiThemeType themeType,
                     bool pushed, bool hotTrack) {
    switch (ResolveThemeType(themeType)) {
    case thtNone: return;
    case thtWindows: {
        HTHEME combo = StyleData(vscComboBox);
        HDC dc = canvas.Handle();
        const bool background = buttonWidth < Width(rect);
        if (background) DrawStyle(dc, combo, 0, 0, rect);
        if (buttonWidth <= 0) return;
        const int state = !enabled ? 4 : pushed ? 3 : hotTrack ? 2 : 1;
        RECT button = rect;
        if (background) {
            button = Deflated(rect, 1, 1);
            button.left = button.right - buttonWidth;
        }
        DrawStyle(dc, combo, CP_DROPDOWNBUTTON, state, button);
        return;
    }
    case thtThm: {
        TThmItemInfo item = FillButtonItemInfo(enabled, pushed, hotTrack, false);
        item.ViewKind = 0;
        TThmEditBoxInfo box{};
        if (buttonWidth > 0) {
            box.RightButtonWidth = buttonWidth;
            box.RightButton.ButtonKind = 1;
            box.RightButton.ButtonState = !enabled ? 1 : pushed ? 4 : hotTrack ? 2 : 0;
        }
        TThmTheme& theme = ActiveToolbarTheme();
        const RECT inner = Deflated(rect, 2, 2);
        if (theme.GetBoolMetric(tbPaintDockBackground))
            theme.PaintViewBackground(canvas, inner, inner, inner, theme.GetViewFillColor(vkToolbarBar), false,
                                      vkToolbarBar);
        else
            theme.PaintDockBackground(canvas, inner, inner, 1);
        theme.PaintEditBox(canvas, rect, item, box);
        return;
    }
    }
}

namespace {

// A filled black triangle 5 pixels wide, centred across the half: pointing up or down.
void SpinArrow(HDC dc, const RECT& half, bool up) {
    const int y = (half.top + half.bottom - 1) / 2;
    const int x = (half.left + half.right) / 2;
    const int base = up ? y + 1 : y - 1, tip = up ? y - 1 : y + 1;
    const POINT points[3] = {{x - 2, base}, {x + 2, base}, {x, tip}};
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 0, 0)));
    TSelectedObject selectedPen(dc, pen.Handle());
    TSelectedObject selectedBrush(dc, brush.Handle());
    Polygon(dc, points, 3);
}

}  // namespace

void PaintSpinButtons(TCanvas& canvas, const RECT& rect, bool enabled, int pressed, bool upHot, bool downHot,
                      TUiThemeType themeType) {
    HDC dc = canvas.Handle();
    const int middle = (rect.bottom - rect.top) / 2;
    switch (ResolveThemeType(themeType)) {
    case thtNone: {
        RECT upper{rect.left, rect.top, rect.right, rect.top + middle + 1};
        RECT lower{rect.left, upper.bottom - 1, rect.right, rect.bottom};
        DrawFrameControl(dc, &upper, DFC_SCROLL, DFCS_SCROLLUP | (pressed == 1 ? DFCS_PUSHED : 0));
        DrawFrameControl(dc, &lower, DFC_SCROLL, DFCS_SCROLLDOWN | (pressed == 2 ? DFCS_PUSHED : 0));
        return;
    }
    case thtWindows: {
        const RECT r = Deflated(rect, -1, -1);
        const RECT upper{r.left, r.top, r.right, (r.top + r.bottom - 1) / 2};
        const RECT lower{r.left, (r.top + r.bottom) / 2, r.right, r.bottom};
        auto state = [&](int half, bool hot) { return !enabled ? 4 : pressed == half ? 3 : hot ? 2 : 1; };
        HTHEME spin = StyleData(vscSpin);
        DrawStyle(dc, spin, SPNP_UP, state(1, upHot), upper);
        DrawStyle(dc, spin, SPNP_DOWN, state(2, downHot), lower);
        return;
    }
    case thtThm: {
        const RECT upper{rect.left, rect.top, rect.right, rect.top + middle};
        const RECT lower{rect.left, rect.top + middle, rect.right, rect.bottom};
        PaintEditButtonFace(canvas, upper, enabled, pressed == 1, upHot, false, false, false, themeType, 0, clNone);
        PaintEditButtonFace(canvas, lower, enabled, pressed == 2, downHot, false, false, false, themeType, 0, clNone);
        SpinArrow(dc, upper, true);
        SpinArrow(dc, lower, false);
        return;
    }
    }
}

}  // namespace ui
