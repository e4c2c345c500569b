#include "controls/toolbar/themed/themes/thmoffice11adaptive.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmOffice11AdaptiveTheme::TThmOffice11AdaptiveTheme(std::wstring name)
    : TThmOffice11AdaptiveTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmOffice11AdaptiveTheme>()) {}

TThmOffice11AdaptiveTheme::TThmOffice11AdaptiveTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmOfficeXPTheme(std::move(name), std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateOffice11AdaptiveTheme(const std::wstring& name) {
    return std::make_unique<TThmOffice11AdaptiveTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmOffice11AdaptiveTheme::RebuildColorCache() {
    const bool styles = VisualStylesOpen;
    std::tie(GradientDark, GradientLight) =
        styles ? GradientPair(ColorBlendPercent(clGradientInactiveCaption, clGradientActiveCaption, 25),
                              ColorMixNearest(clHighlight, clWindow, 8), true)
               : GradientPair(clBtnFace, clWindow, false);
    const TColor middle = ColorBlendPercent(GradientDark, GradientLight, 50);
    MenuBarFill = FrameLineColor = styles ? middle : clBtnFace;
    ToolbarBorderColor = styles ? clHighlight : ColorBlendPercent(clBtnShadow, GradientDark, 95);
    GripBaseColor = styles ? ColorMixNearest(clHighlight, GradientLight, 48) : GradientDark;
    GripShadeColor = styles ? clHighlight : clBtnShadow;
    GripLightColor = styles ? GradientLight : clBtnHighlight;

    ToolbarFill = GradientLight;
    PopupFill = DockPanelFill = ColorBlendPercent(clBtnFace, clWindow, 143);
    PopupBorder = Contrasted(ColorBlendPercent(clBtnText, clHighlight, 20), PopupFill, 100);
    const TColor hotFill = Contrasted(ColorBlendPercent(clHighlight, clWindow, styles ? 70 : 20), ToolbarFill, 50);
    const TColor dimText = styles ? ColorBlendPercent(MenuBarFill, 0x000000, 75) : ColorBlendPercent(clBtnShadow, clWindow, 90);

    const auto set = SetColors;
    const TColor toolbarBorder = Contrasted(ColorBlendPercent(clBtnText, GradientDark, 15), ToolbarFill, 120);
    const TColor dimCaption = Contrasted(dimText, clBtnFace, 120);
    set(FloatingColors[0], toolbarBorder, MenuBarFill, clBtnText);
    set(FloatingColors[1], toolbarBorder, clBtnFace, dimCaption);
    set(FloatingColors[2], ColorBlendPercent(clBtnText, GradientDark, 30), MenuBarFill, clBtnText);
    set(FloatingColors[3], clBtnShadow, clBtnFace, dimCaption);

    SetOfficeStates(hotFill, dimText);
    auto& item = States.Item;
    item[3][scFill] = ColorBlendPercent(clHighlight, clWindow, styles ? 50 : 30);
    if (styles) item[4][scText] = clHighlightText;
    set(States.Popup[2], item[4][scFill], item[4][scText],
        styles ? item[4][scFrame] : ColorBlendPercent(clHighlight, clWindow, 50));

    ToolbarSeparator = PopupSeparator = Contrasted(ColorBlendPercent(clBtnShadow, clWindow, 70), ToolbarFill, 50);
    StatusPanelBorder = Contrasted(ColorBlendPercent(clWindow, clBtnFace, 30), clBtnFace, 30);
    GripColor = clNone;  // the drag handle is dots mixed from the grip colours
    SnapColorCache();
}

std::pair<TColor, TColor> TThmOffice11AdaptiveTheme::GradientPair(TColor dark, TColor light, bool styles) {
    const int l1 = ColorLuma(dark), l2 = ColorLuma(light);
    if (l2 < l1) std::swap(dark, light);
    // Too close: one colour moves by the gap (the lumas as measured before any exchange).
    if (l2 - l1 < 30) {
        if (ColorIsDark(dark, 100))
            light = ColorShiftLevel(light, l1 - l2);
        else
            dark = ColorShiftLevel(dark, l1 - l2);
    }
    // The caption colours of a visual style are far stronger than a bar should be.
    if (styles && l2 - l1 > 40) return {ColorBlendPercent(dark, light, 80), ColorBlendPercent(dark, light, 20)};
    return {dark, light};
}

int TThmOffice11AdaptiveTheme::GetIntMetric(int index) { return ShadedOfficeIntMetric(index); }

bool TThmOffice11AdaptiveTheme::GetBoolMetric(int index) { return ShadedOfficeBoolMetric(index); }

POINT TThmOffice11AdaptiveTheme::MDIGlyphOrigin(const RECT& rect) {
    return {(rect.left + rect.right - Glyphs().Width()) / 2, (rect.top + rect.bottom - Glyphs().Height()) / 2};
}

POINT TThmOffice11AdaptiveTheme::ChevronOrigin(const RECT& rect, bool vertical) {
    // Rows 4 to 8 of the item, two pixels in from its left; or across its top, five pixels in
    // from its right edge.
    return vertical ? POINT{rect.right - 9, rect.top + 2} : POINT{rect.left + 2, 4};
}

// --- painting -----------------------------------------------------------------------------------

void TThmOffice11AdaptiveTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                                    const RECT& clipRect, TColor color, bool transparent,
                                                    int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if (ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkToolWindow))
        PaintBarGradient(dc, r, BarBackgroundRunsAcross(outerRect, paintRect, r), GradientLight, GradientDark);
    else if (EqualRect(&outerRect, &paintRect))
        PaintRectFill(dc, r, color);
    else
        PaintLinearGradient(dc, r, GradientLight, GradientDark, false);
}

void TThmOffice11AdaptiveTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // A checked radio item shows the tick too.
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintCheckTick(dc, (rect.left + rect.right) / 2 - 2, (rect.top + rect.bottom) / 2 + 1, ButtonStateColor(item, scText));
}

void TThmOffice11AdaptiveTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                             const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int inset = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, inset, inset);
    if (!item.Enabled && !HasOpaqueItems(item.ViewKind)) PaintRectFrame(dc, r, EditDisabledFrame(), true);
    if (editBox.RightButtonWidth > 0) r.right -= editBox.RightButtonWidth - EditButtonOverlap(inset);
    // Outside toolbars a box without a frame of its own gets one, and a face-coloured ring
    // around the whole item.
    const bool ownFrame = !(item.ViewKind & vkToolbar) && ItemStateColor(item, scFrame) == clNone;
    if (item.Enabled) {
        if (ownFrame) {
            PaintRectFrame(dc, r, EditFrameOutsideToolbars(), true);
        } else {
            RECT field = r;
            PaintRectFrame(dc, field, clWindow, false);
        }
    }
    r = Deflated(r, 1, 1);
    if (item.Enabled) {
        PaintRectFill(dc, r, clWindow);
        if (ownFrame) {
            RECT ring = Deflated(rect, 1, 1);
            PaintRectFrame(dc, ring, clBtnFace, false);
        }
    }
    if (editBox.RightButtonWidth > 0) {
        RECT button = Deflated(rect, inset, inset);
        button.left = button.right - editBox.RightButtonWidth;
        PaintEditBoxButton(canvas, button, item, editBox.RightButton);
    }
}

void TThmOffice11AdaptiveTheme::PaintRestingEditPart(HDC dc, RECT& part) { PaintRectFrame(dc, part, clWindow, true); }

void TThmOffice11AdaptiveTheme::PaintImageColumn(HDC dc, const RECT& rect) {
    PaintLinearGradient(dc, rect, GradientDark, GradientLight, false);
}

void TThmOffice11AdaptiveTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    PaintLinearGradient(canvas.Handle(), paintRect, GradientLight, GradientDark, false);
}

void TThmOffice11AdaptiveTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect,
                                                    const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    PaintPanelBorder(dc, rect, across, canvas.Brush().Color());
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    RECT bar = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    if (across)
        bar.bottom = bar.top + h;
    else
        bar.right = bar.left + h;
    PaintPanelCaption(dc, bar, across);
    if (across)
        --bar.bottom;
    else
        --bar.right;
    if (frame.CloseButtonState & cbsShown)
        PaintCloseButtonBox(dc, SplitCaptionCloseButton(bar, across, h), CloseButtonRow(frame.CloseButtonState));
    if (across)
        bar = RECT{bar.left + 4, bar.top, bar.right - 4, bar.bottom};
    else
        bar = RECT{bar.left, bar.top + 4, bar.right, bar.bottom - 4};
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, bar,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, PanelCaptionTextColor(), !across);
}

void TThmOffice11AdaptiveTheme::PaintPanelBorder(HDC dc, const RECT& rect, bool across, TColor panelColor) {
    RECT r = rect;
    PaintRectFrame(dc, r, PanelFrameColor(), true);
    PaintRectFrame(dc, r, panelColor, true);
    // The first pixels inside the rings at the caption's two ends are lightened.
    PaintPixel(dc, r.left, r.top, 0xE0E0E0);
    if (across)
        PaintPixel(dc, r.right - 1, r.top, 0xE0E0E0);
    else
        PaintPixel(dc, r.left, r.bottom - 1, 0xE0E0E0);
}

void TThmOffice11AdaptiveTheme::PaintPanelCaption(HDC dc, const RECT& bar, bool across) {
    PaintLinearGradient(dc, bar, GradientDark, GradientLight, across);
    if (across)
        PaintLine(dc, bar.left, bar.bottom - 1, bar.right, bar.bottom - 1, 0x808080);
    else
        PaintLine(dc, bar.right - 1, bar.top, bar.right - 1, bar.bottom, 0x808080);
}

void TThmOffice11AdaptiveTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                                   bool horizontal, bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (!horizontal) {
        if (item.Enabled) PaintEtchedLine(dc, rect, rect.right / 2, false, EtchLight(), EtchDark());
        return;
    }
    RECT r = rect;
    TColor line = ToolbarSeparator;
    if (!(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        PaintImageColumn(dc, RECT{rect.left, rect.top, std::min<LONG>(rect.right, item.ImageColumnWidth + 2), rect.bottom});
        r.left += item.ImageColumnWidth + 9;
        line = PopupSeparator;
    }
    const int y = rect.bottom / 2;
    if (item.ViewKind & vkToolbar)
        PaintEtchedLine(dc, r, y, true, EtchLight(), EtchDark());
    else
        PaintLine(dc, r.left, y, r.right - PopupSeparatorEndInset(), y, line);
}

void TThmOffice11AdaptiveTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (PaintBarFrame(dc, rect, frame) && frame.AllowDrag) PaintGripAndCloseButton(dc, Deflated(rect, 2, 2), frame);
}

bool TThmOffice11AdaptiveTheme::PaintBarFrame(HDC dc, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    const int kind = frame.ViewKind;
    if (ViewKindIs(kind, vkToolbarBar) || kind == vkToolbar || ViewKindIs(kind, vkToolWindow)) {
        // A bar without a border is its gradient alone.
        PaintShadedBarFrame(dc, rect, frame.Vertical, frame.BorderStyle == 1,
                            ShadedBarColors(GradientLight, GradientDark, ToolbarBorderColor));
        return frame.BorderStyle == 1;
    }
    PaintLinearGradient(dc, rect, GradientLight, GradientDark, false);
    return true;
}

void TThmOffice11AdaptiveTheme::PaintGripAndCloseButton(HDC dc, const RECT& inner, const TThmToolbarFrameInfo& frame) {
    const RECT zone = GripZone(inner, frame);
    PaintGripDotRows(dc, zone, frame, GripDotColors(dc, GripBaseColor, GripShadeColor, GripLightColor), GripDoubleShift());
    if (frame.CloseButtonState & cbsShown)
        PaintCloseButtonBox(dc, ToolbarCloseButtonBox(zone, !frame.Vertical), CloseButtonRow(frame.CloseButtonState));
}

void TThmOffice11AdaptiveTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    if (part == 0)
        PaintRectFill(dc, rect, MenuBarFill);
    else if (part == 3)
        PaintSizeGripDots(dc, rect, GripBaseColor, GripShadeColor, GripLightColor);
    else
        TThmOfficeXPTheme::PaintStatusBarPart(canvas, rect, part);  // the panels' outlines
}

void TThmOffice11AdaptiveTheme::PaintSizeGripDots(HDC dc, const RECT& rect, TColor base, TColor shade, TColor light) {
    const TGripDotColors colors = GripDotColors(dc, base, shade, light);
    TThmClipGuard clip(dc, rect);
    const LONG r = rect.right, b = rect.bottom;
    const POINT dots[6] = {{r - 12, b - 4}, {r - 8, b - 4}, {r - 4, b - 4}, {r - 8, b - 8}, {r - 4, b - 8}, {r - 4, b - 12}};
    for (const POINT& p : dots) PaintGripDot(dc, p.x, p.y, colors, true);
}

}  // namespace themes
