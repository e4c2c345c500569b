#include "controls/toolbar/themed/themes/thmnexos5.h"

#include "controls/toolbar/themed/thmregistry.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

TThmNexosTheme::TOptions Nexos5Options() {
    TThmNexosTheme::TOptions o;
    o.MenuBarItemsAsButtons = false;
    o.SolidToolbarEdges = true;
    o.GradientCaptions = true;
    o.CaptionTextHalo = false;
    o.DottedSizeGrip = false;
    o.HotCheckedGradient = true;  // no other choice in this theme
    o.GradientPushedFaces = true;
    o.BaseColor = 0xF6DAC9;
    o.NeutralColor = 0xC0C0C0;
    return o;
}

}  // namespace

TThmNexos5Theme::TThmNexos5Theme(std::wstring name)
    : TThmNexos4Theme(std::move(name), Nexos5Options(), SharedThemeResource<TThmGlyphList, TThmNexos5Theme>()) {}

std::unique_ptr<TThmTheme> CreateNexos5Theme(const std::wstring& name) { return std::make_unique<TThmNexos5Theme>(name); }

TThmNexosTheme::TPalette TThmNexos5Theme::Palette() const {
    TPalette p;
    p.MenuBarFill = p.ToolbarFill = 0xFFFFFF;
    p.EdgeColor = 0xA8A8A8;
    return p;
}

void TThmNexos5Theme::AdjustColors() {
    TThmNexos4Theme::AdjustColors();
    const TColor captionText = Contrasted(0x000000, 0x808080, 180);
    FloatingColors[kToolbarActive][kCaptionText] = FloatingColors[kPanelActive][kCaptionText] = captionText;
    States.Popup[2][scText] = States.Item[4][scText];
}

TThmNexosTheme::TStripes TThmNexos5Theme::StripeRows(HDC dc, TColor color) const {
    TStripes s;
    s.Rows = {static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, -12)))), clNone, clNone, clNone,
              clNone};
    s.Period = 5;
    return s;
}

void TThmNexos5Theme::PaintPressedFace(HDC dc, const RECT& inner) {
    PaintRampGradient(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
}

void TThmNexos5Theme::PaintGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    // Short pairs of a dark and a light line, four pixels long for the double handle.
    const TColor dark = 0xAFAFAF, light = 0xCECAC7;
    const int n = frame.DragHandleStyle == dhDouble ? 4 : 2;
    const RECT g = GripArea(strip, frame, size, TGripLayout{0, 4, 2});
    if (!frame.Vertical) {
        for (int y = g.top; y < g.bottom - 3; y += 4) {
            PaintLine(dc, g.left, y, g.left + n, y, dark);
            PaintLine(dc, g.left, y + 1, g.left + n, y + 1, light);
            SetPixelV(dc, g.left + 1, y + 1, ThmResolveColor(dark));
        }
    } else {
        for (int x = g.left; x < g.right - 3; x += 4) {
            PaintLine(dc, x, g.top, x, g.top + n, dark);
            PaintLine(dc, x + 1, g.top, x + 1, g.top + n, light);
        }
    }
}

void TThmNexos5Theme::PaintPanelBand(HDC dc, const RECT& band, bool across) {
    if (Options.GradientCaptions)
        PaintRampGradient(dc, band, 0xD0D0D0, 0xF0F0F0, across);
    else
        PaintGlossBitmap(dc, band, 0xF0F0F0, LightColor, across);
    if (across)
        PaintLine(dc, band.left, band.bottom - 1, band.right, band.bottom - 1, EdgeColor);
    else
        PaintLine(dc, band.right - 1, band.top, band.right - 1, band.bottom, EdgeColor);
}

void TThmNexos5Theme::PaintRampCloseButton(HDC dc, RECT square, int s, TColor pushedCross) {
    if (s == 4 || s == 3) {
        square = Deflated(square, 1, 1);
        if (s == 4)
            PaintGlossBitmap(dc, square, States.Item[4][scFill], 0xFFFFFF, true);
        else
            PaintRampGradient(dc, square, 0xF0F0F0, 0xD0D0D0, true);
        PaintOctagonOutline(dc, square, 1, 1, s == 4 ? States.Item[4][scFrame] : TColor(0xC0C0C0));
        PaintSmallCloseCross(dc, square, s == 4 ? TColor(0xFFFFFF) : pushedCross);
        return;
    }
    PaintRectFrame(dc, square, States.Item[s][scFrame], true);
    PaintSmallCloseCross(dc, square, 0x000000);
}

void TThmNexos5Theme::PaintPanelCloseButton(HDC dc, const RECT& square, int s, bool) {
    PaintRampCloseButton(dc, square, s, 0xFFFFFF);
}

void TThmNexos5Theme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    if (frame.RedrawParts & rpBorder) PaintFloatingBorder(dc, rect, frame, entry);
    if (!frame.CaptionShown) return;
    const bool gradient = Options.GradientCaptions;
    // A floating panel's caption is always black.
    const TColor text = gradient && (frame.ViewKind & vkToolbar)
                            ? FloatingColors[frame.Active ? kToolbarActive : kToolbarInactive][kCaptionText]
                            : TColor(0x000000);
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption{0, 0, frame.ClientWidth, h};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT c = caption;
        PaintLine(dc, c.left, c.bottom, c.right, c.bottom, entry);
        if (close && (frame.RedrawParts & rpCloseButton)) c.right -= h;
        PaintRampGradient(dc, c, 0xD0D0D0, 0xF0F0F0, true);
        PaintLine(dc, c.left, c.bottom - 1, c.right, c.bottom - 1, EdgeColor);
        c = RECT{c.left + 2, c.top, c.right - 2, c.bottom - 1};
        if (frame.Caption)
            DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, c,
                                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, text, false);
    }
    if (!close) return;
    RECT k = caption;
    k.left = k.right - (k.bottom - k.top);
    PaintRampGradient(dc, k, 0xD0D0D0, 0xF0F0F0, true);
    PaintLine(dc, k.left - 1, k.bottom - 1, k.right, k.bottom - 1, EdgeColor);
    const int s = !frame.Active                              ? 1
                  : (frame.CloseButtonState & cbsPressed) ? 3
                  : (frame.CloseButtonState & cbsHot)     ? 4
                                                          : 0;
    if (gradient)
        PaintRampCloseButton(dc, k, s, 0x000000);
    else
        PaintCaptionCloseButton(dc, k, s, true);
}

}  // namespace themes
