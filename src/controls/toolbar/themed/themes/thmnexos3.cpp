#include "controls/toolbar/themed/themes/thmnexos3.h"

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

TThmNexosTheme::TOptions Nexos3Options() {
    TThmNexosTheme::TOptions o;
    o.MenuBarItemsAsButtons = false;
    o.SolidToolbarEdges = true;
    o.GradientCaptions = true;
    o.CaptionTextHalo = false;
    o.DottedSizeGrip = false;
    o.BaseColor = 0xE0A030;
    o.NeutralColor = 0xC0C0C0;
    return o;
}

// A linear gradient from `start` at the top (left) to `end`.
void Linear(HDC dc, const RECT& r, TColor end, TColor start, bool vertical) { PaintLinearGradient(dc, r, end, start, vertical); }

}  // namespace

TThmNexos3Theme::TThmNexos3Theme(std::wstring name)
    : TThmNexos3Theme(std::move(name), Nexos3Options(), SharedThemeResource<TThmGlyphList, TThmNexos3Theme>()) {}

TThmNexos3Theme::TThmNexos3Theme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmNexos2Theme(std::move(name), options, std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateNexos3Theme(const std::wstring& name) { return std::make_unique<TThmNexos3Theme>(name); }

// --- colours ------------------------------------------------------------------------------------

TThmNexosTheme::TPalette TThmNexos3Theme::Palette() const {
    TPalette p;
    p.MenuBarFill = p.ToolbarFill = p.PopupFill = p.DockPanelFill = 0xF7F7F7;
    return p;
}

void TThmNexos3Theme::AdjustColors() {
    const TColor base = BaseColor;
    const TColor captionText = Contrasted(AccentTextColor, 0x808080, 180);
    FloatingColors[kToolbarActive][kCaptionText] = FloatingColors[kPanelActive][kCaptionText] = captionText;
    FloatingColors[kPanelInactive][kBorder] = 0xC0C0C0;
    auto& item = States.Item;
    item[2][scFrame] = ColorBlendPercent(base, 0xFFFFFF, 90);
    item[3][scFill] = ColorBlendPercent(base, 0xFFFFFF, 50);
    item[4][scText] = AccentTextColor;
    item[4][scFrame] = ColorBlendPercent(base, 0xFFFFFF, 80);
    item[6][scFrame] = ColorBlendPercent(base, 0xFFFFFF, 75);
    States.Popup[2][scFrame] = item[4][scFrame];
}

// --- items --------------------------------------------------------------------------------------

TThmNexosTheme::TStripes TThmNexos3Theme::StripeRows(HDC dc, TColor color) const {
    const int luma = ColorLuma(color);
    const int k = luma < 200 ? (200 - luma) / 20 : 0;
    TStripes s;
    s.Rows = {static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, -8)))), clNone,
              static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, k + 11)))), clNone};
    s.Period = 4;
    return s;
}

TColor TThmNexos3Theme::OpaqueOutlineColor(bool enabled) const {
    return enabled ? TColor(0xC0C0C0) : ColorBlendPercent(0xC0C0C0, 0xFFFFFF, 80);
}

void TThmNexos3Theme::CutCornerOrNothing(HDC dc, const RECT& r, int lc, int rc, TColor outline, TColor shade,
                                         TColor corner) {
    if (outline != clNone) PaintCutCornerFrame(dc, r, lc, rc, outline, shade, corner);
}

void TThmNexos3Theme::PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const TThmItemInfo& item) {
    const RECT inner = Deflated(r, 1, 1);
    if (item.Enabled && item.Pushed) {
        Linear(dc, inner, 0xE0E0E0, Options.NeutralColor, true);
        CutCornerOrNothing(dc, r, lc, rc, 0x585858, 0x888888, 0xA0A0A0);
        PaintLine(dc, r.left + lc, r.top + 1, r.right - rc, r.top + 1, 0xB6B6B6);
        return;
    }
    TColor outline, corner;
    if (item.Enabled && item.Checked) {
        const bool hot = item.HotState != hsNone;
        outline = States.Item[hot ? 6 : 2][scFrame];
        corner = hot ? 0xD8D8D8 : 0xD0D0D0;
    } else if (IsActiveItem(item) || (item.ItemFlags & ifDesigning)) {
        outline = ButtonStateColor(item, scFrame);
        corner = 0xD0D0D0;
    } else {
        return;
    }
    PaintBandedButtonNormal(dc, inner, ColoredAccent, true);
    CutCornerOrNothing(dc, r, lc, rc, outline, clNone, corner);
}

TColor TThmNexos3Theme::CaptionColor(const TThmItemInfo& item, TColor font) const {
    if (ViewKindIs(item.ViewKind, vkMenuBar) && item.HotState != hsNone && !Options.MenuBarItemsAsButtons)
        return States.Popup[2][scText];
    if (item.SplitPart == spSplitButton && item.PopupOpen) return 0x000000;
    return font != clNone ? font : ItemStateColor(item, scText);
}

TColor TThmNexos3Theme::ItemFramePen(const TThmItemInfo& item) const {
    return item.Pushed ? States.Item[2][scFrame] : ItemStateColor(item, scFrame);
}

void TThmNexos3Theme::PaintItemFrameFace(HDC dc, const RECT& rect, const TThmItemInfo& item) {
    CutCornerOrNothing(dc, rect, 1, 1, ItemFramePen(item), clNone, 0xD8D8D8);
}

RECT TThmNexos3Theme::PopupHighlightRect(const RECT& rect, const TThmItemInfo& item) {
    RECT r = rect;
    if (item.ImageWidth > 0 || item.Checked) r.left += GetIntMetric(tmMenuImageGap) + item.ImageColumnWidth;
    return r;
}

void TThmNexos3Theme::PaintPopupCheckFace(HDC dc, const RECT& box, const TThmItemInfo& item) {
    PaintBandedButtonNormal(dc, Deflated(box, 1, 1), ColoredAccent, true);
    const bool resting = !item.Pushed && item.HotState == hsNone;
    CutCornerOrNothing(dc, box, 2, 2, States.Item[resting ? 2 : 6][scFrame], clNone, 0xD8D8D8);
}

void TThmNexos3Theme::PaintScrollHotFace(HDC dc, const RECT& inner) { PaintBandedButtonNormal(dc, inner, ColoredAccent, true); }

void TThmNexos3Theme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                     int imageIndex) {
    if (!images) return;
    if (!item.Enabled || !(item.Checked || item.Pushed || item.HotState != hsNone)) {
        TThmNexos2Theme::PaintItemImage(canvas, rect, item, images, imageIndex);
        return;
    }
    // A hot image's second shadow falls two pixels beyond its rectangle.
    TThmClipGuard clip(canvas.Handle(), rect, 2);
    const bool dark = ColorLuma(GetItemImageBackColor(item)) < 80;
    RECT r = rect;
    if (!item.Checked && !item.Pushed) {
        OffsetRect(&r, 1, 1);
        PaintImageShadow(canvas, r, *images, imageIndex, 1);
        OffsetRect(&r, 1, 1);
        PaintImageShadow(canvas, r, *images, imageIndex, 1);
        r = rect;
    } else {
        OffsetRect(&r, PressedImageOffset(), PressedImageOffset());
    }
    PaintImageLightened(canvas, r, *images, imageIndex, dark);
}

// --- edit buttons -------------------------------------------------------------------------------

void TThmNexos3Theme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                         const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    TThmItemInfo item = itemIn;  // each spin half is painted with its own Pushed
    RECT r = rect;
    ++r.left;
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    const bool highlighted = EditButtonsHighlighted();
    const TColor neutral = Options.NeutralColor;
    // The resting face always paints: the bar's fill among opaque items, then the frame.
    auto restingFace = [&](const RECT& q) { PaintEditButtonFace(dc, q, false, false, opaque, ToolbarFill, EditFrame); };
    if (button.ButtonKind == 1) {
        const bool pushed = button.ButtonState & 4;
        if (disabled) {
            PaintRectFrame(dc, r, States.Item[1][scFrame], true);
        } else {
            if (pushed)
                PaintBandedButton(dc, r, highlighted, true, true);
            else if (hot)
                PaintBandedButtonNormal(dc, r, highlighted, true);
            else
                restingFace(r);
            PaintLine(dc, r.left, r.top, r.left, r.bottom, pushed || hot ? BaseColor : neutral);
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    for (int half = 0; half < 2; ++half) {
        const bool upper = half == 0;
        const RECT q = SpinHalf(r, upper);
        const bool halfPushed = button.ButtonState & (upper ? 4 : 8);
        item.Pushed = halfPushed;
        if (!disabled) {
            restingFace(q);
            if (halfPushed)
                PaintBandedButton(dc, q, highlighted, true, true);
            else if (hot)
                PaintBandedButtonNormal(dc, q, highlighted, true);
            const TColor pen = halfPushed || hot ? BaseColor : neutral;
            if (upper) {
                PaintLine(dc, q.left, q.top, q.left, q.bottom, pen);
            } else {
                const POINT corner[3] = {{q.left, q.bottom - 1}, {q.left, q.top}, {q.right, q.top}};
                PaintPolyline(dc, corner, 2, pen);
            }
        }
        const TColor arrow = SpinArrowColor(item);
        PaintSpinArrow(dc, q, upper, arrow);
    }
}

// --- frames -------------------------------------------------------------------------------------

void TThmNexos3Theme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // A horizontally docked bar's frame begins two rows above its rectangle: the stripes keep
    // that alignment and only the rectangle is painted.
    const int lift = frame.Vertical ? 0 : 2;
    RECT r{rect.left, rect.top - lift, rect.right, rect.bottom};
    StripedFillLifted(canvas, rect, lift, ViewKindIs(frame.ViewKind, vkMenuBar) ? MenuBarFill : ToolbarFill);
    if (frame.BorderStyle == 1 && (FrameHasEdges(frame.ViewKind) || frame.ViewKind == vkToolbar))
        PaintToolbarEdges(dc, r, r.top + 3, frame.ViewKind, 0x808080);
    ++r.top;
    PaintHandleStrip(dc, Deflated(r, 2, 2), frame);
}

void TThmNexos3Theme::PaintGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    // Eight pixels a dot, the centre left out.
    auto mix = [dc](TColor a, TColor b, int w) {
        return static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorMix(a, b, w))));
    };
    const TColor d64 = mix(GripFaceColor, GripDarkColor, 64), d48 = mix(GripFaceColor, GripDarkColor, 48),
                 d32 = mix(GripFaceColor, GripDarkColor, 32);
    const TColor l128 = mix(GripFaceColor, GripLightColor, 128), l72 = mix(GripFaceColor, GripLightColor, 72);
    const TColor dot[3][3] = {{d64, d48, l128}, {d32, clNone, l128}, {l128, l128, l72}};
    PaintGripDots(dc, strip, frame, size, TGripLayout{}, dot);
}

void TThmNexos3Theme::PaintToolbarCloseButton(HDC dc, const RECT& square, int state) {
    RECT r = square;
    ++r.left;
    if (state & cbsPressed) {
        Linear(dc, r, 0xFFFFFF, 0xC0C0C0, true);
        PaintRectFrame(dc, r, 0xD0D0D0, true);
    } else if (state & cbsHot) {
        PaintBandedButtonNormal(dc, r, true, true);
        CutCornerOrNothing(dc, r, 1, 1, 0x808080, clNone, 0xC0C0C0);
    } else {
        PaintRectFrame(dc, r, States.Item[0][scFrame], true);
    }
    PaintSmallCloseCross(dc, r, 0x000000);
}

void TThmNexos3Theme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    const bool across = frame.CaptionHorizontal;
    PaintPanelBorder(dc, rect, entry, across, 0xE0E0E0, clBtnFace);
    const RECT r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    const bool gradient = Options.GradientCaptions;
    if (across) {
        const RECT band{r.left, r.top, r.right, r.top + h};
        if (gradient) {
            PaintBandedButtonNormal(dc, RECT{band.left - 1, band.top - 1, band.right + 1, band.bottom}, ColoredAccent, true);
            PaintLine(dc, band.left - 1, band.bottom - 1, band.right + 1, band.bottom - 1, 0xFFD090);
        } else {
            PaintBandedButtonNormal(dc, band, ColoredAccent, true);
            PaintLine(dc, band.left, band.bottom - 1, band.right, band.bottom - 1, EdgeColor);
        }
    } else {
        const RECT band{r.left, r.top, r.left + h, r.bottom};
        PaintBandedButtonNormal(dc, band, ColoredAccent, false);
        if (gradient)
            PaintLine(dc, band.right - 1, band.top - 1, band.right - 1, band.bottom + 1, 0xFFD090);
        else
            PaintLine(dc, band.right - 1, band.top, band.right - 1, band.bottom, EdgeColor);
    }
    RECT text = across ? RECT{r.left, r.top, r.right, r.top + h - 1} : RECT{r.left, r.top, r.left + h - 1, r.bottom};
    if (frame.CloseButtonState & cbsShown) {
        RECT square = SplitCloseSquare(text, across, h);
        if (frame.CloseButtonState & cbsPressed) {
            const RECT in = Deflated(square, 1, 1);
            Linear(dc, in, 0xF0F0F0, 0xD0D0D0, true);
            PaintOctagonOutline(dc, in, 1, 1, 0xC0C0C0);
            PaintSmallCloseCross(dc, in, 0x808080);
        } else if (frame.CloseButtonState & cbsHot) {
            PaintSmallCloseCross(dc, square, 0xE8E8E8);
        } else {
            PaintRectFrame(dc, square, States.Item[0][scFrame], true);
            PaintSmallCloseCross(dc, square, 0x000000);
        }
    }
    PaintCaptionText(canvas, frame.Caption, CaptionTextPlace(text, across),
                     DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, gradient ? AccentTextColor : TColor(0x000000),
                     !across, -1);
}

void TThmNexos3Theme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    if (frame.RedrawParts & rpBorder) PaintFloatingBorder(dc, rect, frame, entry);
    if (!frame.CaptionShown) return;
    const bool gradient = Options.GradientCaptions;
    const int colours = ((frame.ViewKind & vkToolbar) ? kToolbarActive : kPanelActive) + (frame.Active ? 0 : 1);
    const TColor text = gradient ? FloatingColors[colours][kCaptionText] : 0x000000;
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption{0, 0, frame.ClientWidth, h};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT k = caption;
        PaintLine(dc, k.left, k.bottom, k.right, k.bottom, entry);
        if (close && (frame.RedrawParts & rpCloseButton)) k.right -= h;
        if (gradient) {
            PaintBandedButtonNormal(dc, RECT{k.left - 1, k.top - 1, k.right + 1, k.bottom}, ColoredAccent, true);
            PaintLine(dc, k.left - 1, k.bottom - 1, k.right, k.bottom - 1, 0xFFD090);
        } else {
            StripedFill(canvas, k, ToolbarFill);
            PaintLine(dc, k.left, k.bottom - 1, k.right, k.bottom - 1, EdgeColor);
        }
        k = RECT{k.left + 2, k.top, k.right - 2, k.bottom - 1};
        PaintCaptionText(canvas, frame.Caption, k, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, text,
                         false, -2);
    }
    if (!close) return;
    RECT q = caption;
    q.left = q.right - (q.bottom - q.top);
    PaintLine(dc, q.left - 1, q.bottom, q.right, q.bottom, entry);
    RECT g = q;
    if (gradient) {
        g = RECT{q.left - 1, q.top - 1, q.right + 1, q.bottom};
        PaintBandedButtonNormal(dc, g, ColoredAccent, true);
        PaintLine(dc, q.left - 1, q.bottom - 1, q.right + 1, q.bottom - 1, 0xFFD090);
    } else {
        StripedFill(canvas, q, ToolbarFill);
        PaintLine(dc, q.left - 1, q.bottom - 1, q.right, q.bottom - 1, EdgeColor);
    }
    const int s = !frame.Active                              ? 1
                  : (frame.CloseButtonState & cbsPressed) ? 3
                  : (frame.CloseButtonState & cbsHot)     ? 4
                                                          : 0;
    if (s == 4) {
        PaintSmallCloseCross(dc, g, 0xE8E8E8);
    } else if (s == 3) {
        RECT in = Deflated(g, 1, 1);
        ++in.left;
        --in.right;
        --in.bottom;
        Linear(dc, in, 0xF0F0F0, 0xD0D0D0, true);
        PaintOctagonOutline(dc, in, 1, 1, 0xC0C0C0);
        PaintSmallCloseCross(dc, in, 0x808080);
    } else {
        PaintRectFrame(dc, g, States.Item[s][scFrame], true);
        PaintSmallCloseCross(dc, g, 0x000000);
    }
}

// --- check controls -----------------------------------------------------------------------------

void TThmNexos3Theme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    if (controlKind != 1 && controlKind != 2) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool marked = state & 3, hot = state & 8, pushed = state & 0x10, radio = controlKind == 2;
    const RECT inner = Deflated(rect, 1, 1);
    TColor pen = 0xC0C0C0;
    if (hot && pushed) {
        if (radio)
            PaintRadioGradient(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
        else
            Linear(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
    } else {
        const bool blue = hot || marked;
        if (radio)
            PaintRadioBanded(dc, inner, blue);
        else
            PaintBandedButtonNormal(dc, inner, blue, true);
        if (blue) pen = States.Item[4][scFrame];
    }
    PaintCheckMark(dc, rect, controlKind, state, pen, UncheckedRadioDot());
}

}  // namespace themes
