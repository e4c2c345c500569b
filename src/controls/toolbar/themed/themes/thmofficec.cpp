#include "controls/toolbar/themed/themes/thmofficec.h"

#include <algorithm>
#include <utility>

#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmOfficeCTheme::TThmOfficeCTheme(std::wstring name)
    : TThmOfficeCTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmOfficeCTheme>()) {}

TThmOfficeCTheme::TThmOfficeCTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmOffice11AdaptiveTheme(std::move(name), std::move(glyphs)),
      LightColor(ColorBlendPercent(0xFFFFFF, 0x00FFFF, 75)),
      BaseColor(ColorBlendPercent(0x008000, 0x00FFFF, 25)),
      HotTopColor(0xFFFFFF),
      HotBottomColor(BaseColor) {}

std::unique_ptr<TThmTheme> CreateOfficeCTheme(const std::wstring& name) {
    return std::make_unique<TThmOfficeCTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmOfficeCTheme::RebuildColorCache() {
    GripLightColor = ColorMixNearest(BaseColor, 0xFFFFFF, 64);
    GripBaseColor = ColorBlendPercent(BaseColor, 0xFFFFFF, 48);
    GripShadeColor = ToolbarBorderColor = ColorBlendPercent(BaseColor, 0x000000, 75);
    MenuBarFill = ColorMixNearest(LightColor, BaseColor, 128);
    ToolbarFill = LightColor;
    PopupFill = DockPanelFill = ColorBlendPercent(LightColor, clWindow, 143);
    PopupBorder = Contrasted(ColorBlendPercent(clBtnText, BaseColor, 20), PopupFill, 100);
    const TColor hotFill = Contrasted(ColorBlendPercent(BaseColor, clWindow, 70), ToolbarFill, 50);
    DimTextColor = ColorBlendPercent(BaseColor, clBtnText, 80);

    // The caption bars are shaded, so only the borders and the caption texts are used.
    const auto set = SetColors;
    const TColor toolbarBorder = Contrasted(ColorBlendPercent(clBtnText, BaseColor, 15), ToolbarFill, 120);
    const TColor dimCaption = Contrasted(DimTextColor, clBtnFace, 120);
    set(FloatingColors[0], toolbarBorder, MenuBarFill, clBtnText);
    set(FloatingColors[1], toolbarBorder, MenuBarFill, dimCaption);
    set(FloatingColors[2], BaseColor, MenuBarFill, clBtnText);
    set(FloatingColors[3], LightColor, MenuBarFill, dimCaption);

    auto& item = States.Item;
    const TColor normalText = Contrasted(clBtnText, ToolbarFill, 180);
    const TColor hotText = ColorMixNearest(clHighlightText, 0x000000, 48);
    const TColor pushedFill = ColorBlendPercent(BaseColor, clWindow, 50);
    set(item[0], clNone, normalText, clNone);
    set(item[1], clNone, DimTextColor, clNone);
    set(item[2],
        Contrasted(ColorBlendPercent(BaseColor, ColorBlendPercent(clBtnFace, clWindow, 50), 10), ToolbarFill, 5),
        normalText, BaseColor);
    set(item[3], pushedFill, hotText, BaseColor);
    set(item[4], hotFill, hotText, Contrasted(ColorBlendPercent(HotTopColor, HotBottomColor, 20), ToolbarFill, 100));
    set(item[5], hotFill, DimTextColor, BaseColor);
    const TColor checkedHotFill = Contrasted(pushedFill, ToolbarFill, 30);
    set(item[6], checkedHotFill, Contrasted(clHighlightText, checkedHotFill, 180),
        Contrasted(HotBottomColor, checkedHotFill, 100));
    set(item[7], pushedFill, hotText, PopupBorder);
    auto& popup = States.Popup;
    set(popup[0], clNone, Contrasted(clWindowText, PopupFill, 180), clNone);
    set(popup[1], clNone, DimTextColor, clNone);
    set(popup[2], item[4][scFill], item[4][scText], item[4][scFrame]);
    set(popup[3], PopupFill, ColorBlendPercent(clGrayText, clWindow, 70), BaseColor);

    ToolbarSeparator = Contrasted(ColorBlendPercent(BaseColor, clWindow, 70), ToolbarFill, 50);
    PopupSeparator = FullPopupGradient ? BaseColor : ToolbarSeparator;
    GripColor = StatusPanelBorder = clNone;  // dots and etched dividers instead
    SnapColorCache();
}

int TThmOfficeCTheme::GetIntMetric(int index) {
    return index == tmMenuImageGap ? 0 : TThmOffice11AdaptiveTheme::GetIntMetric(index);
}

void TThmOfficeCTheme::GetMarginSet(int kind, TThmMargins& margins) {
    if (kind == mkEditBox)
        margins = {3, 3, 1, 1};
    else
        TThmOffice11AdaptiveTheme::GetMarginSet(kind, margins);
}

void TThmOfficeCTheme::GetViewBorderSize(int viewKind, POINT& size) {
    if (ViewKindIs(viewKind, vkPopupMenu))
        size = {1, 1};
    else
        TThmOffice11AdaptiveTheme::GetViewBorderSize(viewKind, size);
}

// --- painting -----------------------------------------------------------------------------------

void TThmOfficeCTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                           const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    const bool shadedBar = ((ViewKindIs(viewKind, vkToolbarBar) || (MenuBarGradient && ViewKindIs(viewKind, vkMenuBar))) &&
                            !(viewKind & vkOpaqueItems)) ||
                           ViewKindIs(viewKind, vkToolWindow);
    if (shadedBar) {
        PaintBarGradient(dc, r, BarBackgroundRunsAcross(outerRect, paintRect, r), LightColor, BaseColor);
        return;
    }
    PaintRectFill(dc, r, color);
    if (ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkMenuBar) || ViewKindIs(viewKind, vkChevronPopup) ||
        ViewKindIs(viewKind, vkToolBoxPopup))
        return;
    RECT shaded = r;
    if (!FullPopupGradient) shaded.right = std::min<LONG>(r.right, r.left + 24);
    PaintRampGradient(dc, shaded, BaseColor, LightColor, false);
}

void TThmOfficeCTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    const bool highlighted = IsActiveItem(item);
    if (item.SplitPart == spSplitButton && item.PopupOpen) ++r.right;
    if (item.SplitPart == spSplitArrow) --r.left;
    if (ViewKindIs(item.ViewKind, vkMenuBar) && item.HotState != hsNone) {
        if (((item.Pushed || item.Checked) && item.Enabled) || highlighted) {
            if (item.Pushed)
                PaintRectFill(dc, r, OpenedFill());
            else
                PaintRampGradient(dc, r, ButtonStateColor(item, scFill), LightColor, true);
            PaintRectFrame(dc, r, PopupBorder, true);
        }
        return;
    }
    PaintRectFrame(dc, r, ButtonStateColor(item, scFrame), true);
    // On a vertical bar the shades run from left to right, and a split button's shade reaches on
    // through its arrow part, which then adds no hot shade of its own.
    const bool alongBar = item.ViewVertical || item.Vertical;
    auto shade = [&](TColor bottom, TColor top, bool arrowPartToo) {
        if (!alongBar) {
            PaintRampGradient(dc, r, bottom, top, true);
        } else if (item.SplitPart == spSplitButton) {
            PaintRampGradient(dc, RECT{r.left, r.top, r.right + GetIntMetric(tmSplitArrowWidth), r.bottom}, bottom, top,
                              false);
        } else if (item.SplitPart != spSplitArrow || arrowPartToo) {
            PaintRampGradient(dc, r, bottom, top, false);
        }
    };
    if (highlighted && item.Enabled && !item.Pushed && !item.Checked) shade(HotBottomColor, HotTopColor, false);
    if (item.Enabled && item.Checked && !item.Pushed && item.HotState == hsNone)
        PaintRampGradient(dc, r, ButtonStateColor(item, scFill), BaseColor, !item.Vertical);
    if (item.Enabled && (item.Pushed || (item.Checked && item.HotState != hsNone))) {
        if (item.PopupOpen)
            PaintRectFill(dc, r, OpenedFill());
        else
            shade(LightColor, BaseColor, true);
    }
    // A checked button under the mouse: the hot pair the other way round, over the base pair.
    if (item.Checked && !item.Pushed && item.HotState != hsNone) shade(HotTopColor, HotBottomColor, false);
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmOfficeCTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    if (item.Enabled && item.HotState != hsNone) PaintRampGradient(dc, r, HotBottomColor, HotTopColor, true);
    PaintRectFrame(dc, r, ItemStateColor(item, scFrame), true);
}

void TThmOfficeCTheme::PaintSpinHalfFace(TCanvas& canvas, const RECT& half, const RECT&, const TThmItemInfo& item,
                                         bool, bool hot) {
    HDC dc = canvas.Handle();
    if (item.Pushed)
        PaintRampGradient(dc, half, LightColor, BaseColor, true);
    else if (hot)
        PaintRampGradient(dc, half, HotBottomColor, HotTopColor, true);
    RECT frame = half;
    PaintRectFrame(dc, frame, ButtonStateColor(item, scFrame), true);
}

void TThmOfficeCTheme::PaintPopupCheckBox(HDC dc, RECT box, const TThmItemInfo& item) {
    if (item.HotState == hsNone) {
        PaintRectFrame(dc, box, ButtonStateColor(item, scFrame), true);
        PaintRampGradient(dc, box, BaseColor, LightColor, true);
    } else {
        PaintRampGradient(dc, box, ColorBlendPercent(HotBottomColor, clWindow, 50), HotTopColor, true);
    }
}

void TThmOfficeCTheme::PaintScrollFace(HDC dc, const RECT& rect, bool hot) {
    if (hot)
        PaintRampGradient(dc, rect, HotBottomColor, HotTopColor, true);
    else
        PaintRectFill(dc, rect, LightColor);
}

void TThmOfficeCTheme::PaintFloatingBarFill(HDC dc, const RECT& rect, TColor) {
    PaintRampGradient(dc, rect, LightColor, BaseColor, true);
}

void TThmOfficeCTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    // Solid for every dock position, and nothing beyond the painted rectangle.
    PaintRectFill(canvas.Handle(), paintRect, MenuBarFill);
}

void TThmOfficeCTheme::PaintPanelBorder(HDC dc, const RECT& rect, bool across, TColor panelColor) {
    const int luma = ColorLuma(clBtnFace);
    RECT r = rect;
    if (!IsLowColorDisplay && luma >= 64 && luma <= 250) {
        const TColor ring = PanelFrameColor();
        PaintRectFrame(dc, r, ring, true);
        PaintRectFrame(dc, r, panelColor, true);
        PaintPixel(dc, r.left, r.top, ring);
        if (across)
            PaintPixel(dc, r.right - 1, r.top, ring);
        else
            PaintPixel(dc, r.left, r.bottom - 1, clBtnFace);
        return;
    }
    // On a very dark or very light face, or a screen of few colours: a checkered ring between
    // two plain ones.
    PaintRectFrame(dc, r, panelColor, true);
    if (!IsEmptyArea(r) && panelColor != clNone) {
        // The class library's cached brush: used, never deleted.
        FrameRect(dc, &r, AllocPatternBrush(panelColor, luma < 64 ? 0xFFFFFF : clBtnShadow));
    }
    PaintPixel(dc, r.left, r.top, panelColor);
    if (across)
        PaintPixel(dc, r.right - 1, r.top, panelColor);
    else
        PaintPixel(dc, r.left, r.bottom - 1, panelColor);
    r = Deflated(r, 1, 1);
    PaintRectFrame(dc, r, panelColor, true);
}

void TThmOfficeCTheme::PaintPanelCaption(HDC dc, const RECT& bar, bool across) {
    PaintRampGradient(dc, bar, LightColor, BaseColor, across);
}

bool TThmOfficeCTheme::PaintBarFrame(HDC dc, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    const int kind = frame.ViewKind;
    const bool menuBar = ViewKindIs(kind, vkMenuBar);
    if (menuBar && !MenuBarGradient) PaintRectFill(dc, rect, MenuBarFill);
    if (!ViewKindIs(kind, vkToolbarBar) && !(menuBar && MenuBarGradient) && !ViewKindIs(kind, vkToolWindow)) return true;
    TShadedBarColors colors{};
    colors.Light = LightColor;
    colors.Dark = BaseColor;
    colors.Border = ToolbarBorderColor;
    colors.ColumnTop = ColorBlendPercent(BaseColor, LightColor, 50);
    colors.TopLeft = colors.TopRightInner = colors.LeftCorners = ColorBlendPercent(MenuBarFill, LightColor, 75);
    colors.TopRight = MenuBarFill;
    colors.BottomLeft = colors.BottomRight = BaseColor;
    colors.BottomLeftInner = colors.BottomRightInner = ColorBlendPercent(BaseColor, ToolbarBorderColor, 50);
    PaintShadedBarFrame(dc, rect, frame.Vertical, frame.BorderStyle == 1, colors);
    return frame.BorderStyle == 1;
}

TThmOfficeCTheme::TStatusColors TThmOfficeCTheme::StatusColors() const {
    return {MenuBarFill, BaseColor, BaseColor, LightColor, GripBaseColor, GripShadeColor, GripLightColor};
}

void TThmOfficeCTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    const TStatusColors c = StatusColors();
    switch (part) {
    case 0: {
        // A soft edge of five lines at the top and three at the bottom, within the part.
        PaintRectFill(dc, rect, c.Face);
        TThmClipGuard clip(dc, rect);
        const LONG t = rect.top, b = rect.bottom;
        const std::pair<LONG, int> lines[8] = {{t, 200},    {t + 1, 128}, {t + 2, 64}, {t + 3, 32},
                                               {t + 4, 12}, {b - 3, 8},   {b - 2, 16}, {b - 1, 24}};
        for (const auto& [y, weight] : lines) PaintLine(dc, rect.left, y, rect.right, y, ColorMixNearest(c.Shade, c.Face, weight));
        return;
    }
    case 1:
    case 2: {
        // An etched line at the panel's right edge; the last panel's would lie beyond it.
        TThmClipGuard clip(dc, rect);
        RECT r = rect;
        if (part == 1) r.right -= 3;
        PaintLine(dc, r.right, r.top + 4, r.right, r.bottom - 3, c.DividerDark);
        PaintLine(dc, r.right + 1, r.top + 5, r.right + 1, r.bottom - 2, c.DividerLight);
        return;
    }
    case 3: PaintSizeGripDots(dc, rect, c.GripBase, c.GripShade, c.GripLight); return;
    default: return;
    }
}

}  // namespace themes
