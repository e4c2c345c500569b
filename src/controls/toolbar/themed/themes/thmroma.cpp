#include "controls/toolbar/themed/themes/thmroma.h"

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmRomaTheme::TThmRomaTheme(std::wstring name)
    : TThmClassicTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmRomaTheme>()) {}

std::unique_ptr<TThmTheme> CreateRomaTheme(const std::wstring& name) { return std::make_unique<TThmRomaTheme>(name); }

void TThmRomaTheme::PaintToolbarGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, TColor) {
    // The second column (row) of a double handle is staggered by four pixels.
    TThmClipGuard clip(dc, strip);
    const TGripDotColors colors = GripDotColors(dc, clBtnFace, clBtnShadow, clBtnHighlight);
    const bool close = frame.CloseButtonState & cbsShown;
    const bool twin = frame.DragHandleStyle == dhDouble;
    const int handle = GetDragHandleSize(frame);
    if (!frame.Vertical) {
        int x = strip.left + 1, y = strip.top + 4;
        const int limit = strip.bottom - 2;
        if (close) {
            y += handle - 2;
            x += twin ? 2 : 4;
        }
        while (y < limit - 3) {
            PaintGripDot(dc, x, y, colors);
            y += 4;
            if (twin) {
                PaintGripDot(dc, x + 3, y, colors);
                y += 4;
            }
        }
    } else {
        int x = strip.left + 4, y = strip.top + 1;
        const int limit = close ? strip.right - handle : strip.right - 2;
        if (close) y += twin ? 2 : 4;
        while (x < limit - 3) {
            PaintGripDot(dc, x, y, colors);
            x += 4;
            if (twin) {
                PaintGripDot(dc, x, y + 3, colors);
                x += 4;
            }
        }
    }
}

void TThmRomaTheme::PaintPanelCaption(TCanvas& canvas, const RECT& bar, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    if (frame.CaptionHorizontal) {
        // With room for the title the raised strip is refilled flat.
        int width = CaptionWidth(dc, frame.Caption);
        if (width > 0) width += 12;
        if (bar.right - bar.left > width) PaintRectFill(dc, RECT{bar.left, bar.top + 1, bar.right, bar.bottom}, ToolbarFace);
    }
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, bar, DT_SINGLELINE | DT_END_ELLIPSIS | DT_HIDEPREFIX,
                           clBtnText, !frame.CaptionHorizontal);
}

void TThmRomaTheme::PaintFloatingCaption(TCanvas& canvas, const RECT& bar, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    PaintRectFill(dc, RECT{bar.left, bar.top - 1, bar.right, bar.bottom}, clBtnFace);
    RECT text = Deflated(bar, 2, 0);
    text.top -= 2;
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, text,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, clBtnText, false);
}

}  // namespace themes
