#include "controls/toolbar/themed/themes/thmclassic.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

const BYTE kBoldCrossPattern[16] = {0xC6, 0, 0x6C, 0, 0x38, 0, 0x38, 0, 0x6C, 0, 0xC6, 0, 0, 0, 0, 0};

const POINT kSizeGripCorners[6] = {{-12, -4}, {-8, -4}, {-4, -4}, {-8, -8}, {-4, -8}, {-4, -12}};

namespace {

// The platform's two-colour checker (the background at even pixels), from the cached brushes.
void Checker(HDC dc, const RECT& rect, TColor back, TColor fore) {
    if (back == clNone || fore == clNone || IsEmptyArea(rect)) return;
    FillRect(dc, &rect, AllocPatternBrush(back, fore));
}

bool IsMenuBar(int viewKind) { return ViewKindIs(viewKind, vkMenuBar); }
bool IsToolbarStyle(const TThmItemInfo& item) { return item.ItemFlags & ifToolbarStyle; }

// A nearest-colour snap on the DC painted.
TColor Nearest(HDC dc, TColor c) { return static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c))); }

void Triangle(HDC dc, const POINT (&p)[3], TColor color) { PaintPolygon(dc, p, 2, color, color); }

}  // namespace

// --- geometry shared with "Aluminum" ---------------------------------------------------------------

bool ScrollArrowTriangle(const RECT& r, int direction, POINT (&p)[3]) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int s = std::max(0, 3 * toolbar::IntMin(cx - r.left, cy - r.top) / 4);
    switch (direction) {
    case 1: {
        const int y = cy + s / 2;
        p[0] = {cx + s, y}, p[1] = {cx, y - s}, p[2] = {cx - s, y};
        return true;
    }
    case 2: {
        const int y = (r.top + r.bottom - 1) / 2 - s / 2;
        p[0] = {cx + s, y}, p[1] = {cx, y + s}, p[2] = {cx - s, y};
        return true;
    }
    case 3: {
        const int x = cx + s / 2;
        p[0] = {x, cy + s}, p[1] = {x - s, cy}, p[2] = {x, cy - s};
        return true;
    }
    case 4: {
        const int x = (r.left + r.right - 1) / 2 - s / 2;
        p[0] = {x, cy + s}, p[1] = {x + s, cy}, p[2] = {x, cy - s};
        return true;
    }
    default:
        return false;
    }
}

RECT CenteredGripArea(const RECT& rect, int inset) {
    const RECT r = Deflated(rect, inset, inset);
    // (n - 2) div 4 x 4 + 2, truncating toward zero: never below 2.
    auto cut = [](int n) { return (n - 2) / 4 * 4 + 2; };
    const int w = cut(r.right - r.left), h = cut(r.bottom - r.top);
    RECT g;
    g.left = (r.left + r.right - w - 1) / 2;
    g.right = g.left + w;
    g.top = (r.top + r.bottom - h - 1) / 2;
    g.bottom = g.top + h;
    return g;
}

void PaintGripDiagonals(HDC dc, const RECT& r, const int (&k)[6], TColor first, TColor second) {
    for (int i = 0; i < 6; ++i)
        PaintLine(dc, r.right - k[i] - 2, r.bottom - 2, r.right - 1, r.bottom - k[i] - 3, i % 2 ? second : first);
}

void PaintClassicCheckControl(HDC dc, const RECT& rect, int controlKind, int state, TColor pen, HBRUSH fill,
                              TColor mark) {
    RECT r = Deflated(rect, 1, 1);
    if (IsEmptyArea(r)) return;
    {
        TGdiObject<HPEN> outline(CreatePenForColor(pen));
        TSelectedObject selectedPen(dc, outline.Handle());
        TSelectedObject selectedBrush(dc, fill ? static_cast<HGDIOBJ>(fill) : GetStockObject(NULL_BRUSH));
        if (controlKind == 1)
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        else
            Ellipse(dc, r.left, r.top, r.right, r.bottom);
    }
    if (controlKind == 1) {
        if (!(state & 3)) return;
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        const POINT tick[7] = {{cx - 3, cy + 1}, {cx - 1, cy + 3}, {cx + 3, cy - 1}, {cx + 3, cy - 3},
                               {cx - 1, cy + 1}, {cx - 3, cy - 1}, {cx - 3, cy + 1}};
        PaintPolygon(dc, tick, 6, mark, mark);
        return;
    }
    if (!(state & 1)) return;
    const RECT dot = Deflated(r, 3, 3);
    if (IsEmptyArea(dot)) return;
    PaintRoundRect(dc, dot.left, dot.top, dot.right, dot.bottom, dot.right - dot.left, dot.bottom - dot.top, mark, mark);
}

// --- the theme -----------------------------------------------------------------------------------

TThmClassicTheme::TThmClassicTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmDefaultTheme(std::move(name)), FGlyphs(std::move(glyphs)) {}

void TThmClassicTheme::RebuildColorCache() {
    PanelFill = ColorMixNearest(clBtnFace, clWindow, 64);
    SoftShadow = IsLowColorDisplay ? clBtnShadow : ColorMix(clBtnShadow, clBtnFace, 210);
    ToolbarFace = clBtnFace;
}

TColor TThmClassicTheme::PushedMix(bool nearest) const {
    if (IsLowColorDisplay) return clBtnHighlight;
    return nearest ? ColorMixNearest(clBtnHighlight, clBtnFace, 126) : ColorMix(clBtnHighlight, clBtnFace, 126);
}

TColor TThmClassicTheme::HotMix(bool nearest) const {
    if (IsLowColorDisplay) return clBtnFace;
    return nearest ? ColorMixNearest(clBtnHighlight, clBtnFace, 192) : ColorMix(clBtnHighlight, clBtnFace, 192);
}

TColor TThmClassicTheme::GetItemTextColor(const TThmItemInfo& item) {
    const bool popupStyle = !IsToolbarStyle(item), menuBar = IsMenuBar(item.ViewKind);
    if (popupStyle && !item.Enabled && item.HotState == hsKeyboardSelected) return clBtnShadow;
    if (!item.Enabled) return SoftShadow;
    if ((popupStyle || menuBar) && item.HotState != hsNone) return clHighlightText;
    if (menuBar && !(item.ItemFlags & ifAppActive)) return clGrayText;
    if (popupStyle || menuBar) return clMenuText;
    return clBtnText;
}

void TThmClassicTheme::GetViewBorderSize(int viewKind, POINT& size) {
    auto floating = [&] {
        if (viewKind & vkResizable)
            size = {GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
        else
            size = {GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
    };
    if (ViewKindIs(viewKind, vkToolbar)) {
        if (viewKind & vkFloating)
            floating();
        else
            size = {2, 2};
    } else if (ViewKindIs(viewKind, vkListPopup)) {
        size = {2, 2};
    } else if (ViewKindIs(viewKind, vkPopup)) {
        size = {3, 3};
    } else if (ViewKindIs(viewKind, vkDockPanel)) {
        if (viewKind & vkFloating)
            floating();
        else
            size = {2, 2};
    } else {
        size = {0, 0};
    }
}

TColor TThmClassicTheme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkToolbar)) return clBtnFace;
    if (ViewKindIs(viewKind, vkPopupMenu)) return PopupMenuColor;
    if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
    if (ViewKindIs(viewKind, vkToolBoxPopup)) return ToolBoxPopupFill();
    if (ViewKindIs(viewKind, vkChevronPopup)) return PopupMenuColor;
    if (ViewKindIs(viewKind, vkPopup)) return ToolbarFace;
    if (ViewKindIs(viewKind, vkDockPanel)) return PanelFill;
    return ToolbarFace;
}

int TThmClassicTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmMDIButtonNarrower: return 1;
    case tmMDIButtonLower: return 2;
    case tmEditFrameInset: return 2;
    case tmSpareSize61: return 2;
    case tmSpareSize62: return 1;
    case tmSpareSize65: return 14;
    default: return TThmDefaultTheme::GetIntMetric(index);
    }
}

// --- views ------------------------------------------------------------------------------------------

void TThmClassicTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                           const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    const TStripePlan plan = Stripes();
    if (IsLowColorDisplay || plan.Period <= 0) {
        TThmDefaultTheme::PaintViewBackground(canvas, outerRect, paintRect, clipRect, color, transparent, viewKind);
        return;
    }
    HDC dc = canvas.Handle();
    RECT r{};
    if (color == clNone || !IntersectRect(&r, &paintRect, &clipRect) || !RectVisible(dc, &r)) return;
    const TColor base = transparent ? clNone : color;
    if (IsMenuBar(viewKind) || ViewKindIs(viewKind, vkDockPanelDocked) || HasOpaqueItems(viewKind)) {
        PaintRectFill(dc, r, base);
        return;
    }
    if (transparent && !plan.OverTransparent) return;
    const int luma = ColorLuma(color);
    const int lift = luma < 200 ? plan.Lift + (200 - luma) / 20 : plan.Lift;
    std::vector<TColor> rows(plan.Period, clNone);
    rows[0] = Nearest(dc, ColorShiftLevel(color, -plan.Lift));
    if (plan.Period > 1) rows[1] = Nearest(dc, ColorShiftLevel(color, lift));
    // Phased from the view's top, so separately clipped parts join; only the clipped part is painted.
    PaintStripedFill(dc, r, paintRect.top, base, rows);
}

void TThmClassicTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, Nearest(dc, ColorMix(clBtnShadow, 0x000000, 127)), true);
    if (ViewKindIs(frame.ViewKind, vkListPopup)) {
        PaintRectFill(dc, r, clWindow);
    } else if (UseFlatMenus && !ViewKindIs(frame.ViewKind, vkToolBoxPopup)) {
        PaintRectFill(dc, r, PopupMenuColor);
    } else if (RaisedPopupFrame()) {
        if (!IsEmptyArea(r)) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        PaintRectFill(dc, r, ToolbarFace);
    } else {
        PaintRectFill(dc, r, PanelFill);
    }
}

// --- items --------------------------------------------------------------------------------------------

void TThmClassicTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    const bool hot = IsActiveItem(item);
    RECT r = rect;
    int leftCut = 2, rightCut = 2;
    if (item.SplitPart == spSplitArrow) {
        --r.left;
        leftCut = 1;
    } else if (item.SplitPart == spSplitButton) {
        rightCut = 1;
    }
    if (!IsToolbarStyle(item)) leftCut = rightCut = 1;
    if (HasOpaqueItems(item.ViewKind) && !hot) {
        TColor outline = clBtnFace;
        if (item.Enabled) {
            PaintRectFill(dc, Deflated(r, 1, 1), ColorMixNearest(clWindow, clBtnFace, 16));
            outline = ColorMixNearest(clWindow, clBtnShadow, 64);
        }
        PaintOctagonOutline(dc, r, leftCut, rightCut, outline);
    }
    if (IsMenuBar(item.ViewKind)) {
        if (((item.Pushed || item.Checked) && item.Enabled) || hot) PaintRectFill(dc, r, clHighlight);
        return;
    }
    if ((item.Pushed || item.Checked) && item.Enabled) {
        const RECT inner = Deflated(r, 1, 1);
        if (item.Checked && !item.Pushed && item.HotState == hsNone)
            Checker(dc, inner, clWindow, clBtnHighlight);
        else
            Checker(dc, inner, IsLowColorDisplay ? clBtnHighlight : ColorMix(clBtnHighlight, clBtnFace, 128),
                    clBtnHighlight);
        if (CheckedInnerEdge() && !IsEmptyArea(inner)) {
            const POINT edge[3] = {{inner.left, inner.bottom - 2}, {inner.left, inner.top}, {inner.right - 1, inner.top}};
            PaintPolyline(dc, edge, 2, clBtnFace);
        }
        PaintOctagonOutline(dc, r, leftCut, rightCut, clBtnShadow);
    } else if (hot || (item.ItemFlags & ifDesigning)) {
        if (item.HotState != hsNone) Checker(dc, Deflated(r, 1, 1), clBtnFace, HotMix(false));
        PaintOctagonOutline(dc, r, leftCut, rightCut,
                            IsLowColorDisplay ? clBtnShadow : ColorMix(clBtnShadow, clBtnFace, 192));
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmClassicTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const std::wstring& caption, UINT format, bool rotated) {
    // A pushed caption moves by one pixel; its text stays within one pixel of the rectangle.
    canvas.PrepareText();
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    RECT r = rect;
    if ((item.Pushed || item.Checked) && !IsMenuBar(item.ViewKind)) OffsetRect(&r, 1, 1);
    TColor color = canvas.Font().Color();
    if (color == clNone) color = GetItemTextColor(item);
    DrawThemeCaption(canvas, caption, r, format, color, rotated);
}

void TThmClassicTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    const int s = item.Pushed || item.Checked ? 1 : 0;
    const int x = (rect.left + rect.right) / 2 + s, y = (rect.top + rect.bottom) / 2 - 1 + s;
    const TColor c = !item.Enabled ? SoftShadow : IsToolbarStyle(item) ? clBtnText : clMenuText;
    if (item.Vertical)
        Triangle(dc, {POINT{x, y + 2}, POINT{x, y - 2}, POINT{x - 2, y}}, c);
    else
        Triangle(dc, {POINT{x - 2, y}, POINT{x + 2, y}, POINT{x, y + 2}}, c);
}

void TThmClassicTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    const bool active = item.Enabled || item.HotState == hsKeyboardSelected;
    RECT inner = Deflated(rect, 1, 1);
    if (active && (item.Pushed || item.Checked || item.HotState != hsNone || (item.ItemFlags & ifDesigning))) {
        PaintRectFrame(dc, inner, clWindow, false);
        PaintOctagonOutline(dc, rect, 1, 1, SoftShadow);
    } else {
        PaintRectFrame(dc, inner, SoftShadow, false);
    }
}

void TThmClassicTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                    const TThmEditBoxInfo& editBox) {
    PaintItemFrame(canvas, rect, item);
    const int inset = GetIntMetric(tmEditFrameInset);
    const int width = editBox.RightButtonWidth;
    RECT r = Deflated(rect, inset, inset);
    if (width > 0) r.right -= width - 2;
    if (item.Enabled) PaintRectFill(canvas.Handle(), r, clWindow);
    if (width > 0) {
        RECT button = rect;
        button.left = std::max<LONG>(rect.left, rect.right - width - inset);
        PaintEditBoxButton(canvas, button, item, editBox.RightButton);
    }
}

void TThmClassicTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                          const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    const int state = button.ButtonState;
    const bool disabled = state & 1, hot = state & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    auto part = [&](const RECT& p, bool pushed) {
        if (pushed)
            Checker(dc, p, PushedMix(false), clBtnHighlight);
        else if (hot)
            Checker(dc, p, clBtnFace, HotMix(true));
        else if (opaque)
            PaintRectFill(dc, p, clBtnFace);
    };
    RECT r = rect;
    ++r.left;
    if (button.ButtonKind == 1) {
        r = Deflated(r, hot || (state & 4) ? 1 : 2, hot || (state & 4) ? 1 : 2);
        if (!disabled) {
            part(r, state & 4);
            PaintLine(dc, r.left - 1, r.top, r.left - 1, r.bottom, SoftShadow);
        }
        PaintDropArrow(canvas, r, item);
    } else if (button.ButtonKind == 2) {
        const int d = hot || (state & 12) ? 1 : 2;
        r = Deflated(r, d, d);
        if (!disabled) {
            part(RECT{r.left, r.top, r.right, (r.top + r.bottom + 1) / 2}, state & 4);
            part(RECT{r.left, (r.top + r.bottom) / 2, r.right, r.bottom}, state & 8);
            PaintLine(dc, r.left - 1, r.top, r.left - 1, r.bottom, SoftShadow);
            PaintLine(dc, r.left, (r.top + r.bottom - 1) / 2, r.right, (r.top + r.bottom - 1) / 2, SoftShadow);
            PaintLine(dc, r.left, (r.top + r.bottom) / 2, r.right, (r.top + r.bottom) / 2, SoftShadow);
        }
        const TColor c = disabled ? SoftShadow : IsToolbarStyle(item) ? clBtnText : clMenuText;
        const int u = state & 4 ? 1 : 0, d2 = state & 8 ? 1 : 0;
        int x = (r.left + r.right) / 2 + u, y = (3 * r.top + r.bottom) / 4 + u;
        Triangle(dc, {POINT{x - 2, y + 1}, POINT{x + 2, y + 1}, POINT{x, y - 1}}, c);
        x = (r.left + r.right) / 2 + d2;
        y = (3 * r.bottom + r.top) / 4 + d2;
        Triangle(dc, {POINT{x - 2, y - 1}, POINT{x + 2, y - 1}, POINT{x, y + 1}}, c);
    }
}

void TThmClassicTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                      int imageIndex) {
    if (!images) return;
    // The shadow falls up to two pixels beyond the rectangle.
    TThmClipGuard clip(canvas.Handle(), rect, 2);
    const bool dark = ColorLuma(GetItemImageBackColor(item)) < 80;
    auto moved = [&](int by) {
        RECT r = rect;
        OffsetRect(&r, by, by);
        return r;
    };
    if (!item.Enabled) {
        if (dark)
            PaintImageSilhouetteThreshold(canvas, rect, *images, imageIndex, clBtnShadow);
        else
            PaintImageShadow(canvas, rect, *images, imageIndex, 0);
    } else if (item.Checked || item.Pushed) {
        PaintImageLightened(canvas, moved(1), *images, imageIndex, dark);
    } else if (item.HotState != hsNone) {
        // The image stands over a two-step shadow down and to the right.
        PaintImageShadow(canvas, moved(1), *images, imageIndex, 1);
        PaintImageShadow(canvas, moved(2), *images, imageIndex, 1);
        PaintImageLightened(canvas, rect, *images, imageIndex, dark);
    } else if (dark || IsWhiteButtonFace) {
        PaintImageLightened(canvas, rect, *images, imageIndex, dark);
    } else {
        PaintImageBlended(canvas, rect, *images, imageIndex, 200);
    }
}

void TThmClassicTheme::PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                             int buttonKind) {
    PaintItemButton(canvas, rect, item);
    const int cell = TThmGlyphList::CellForMDIButton(buttonKind);
    if (cell < 0) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int p = item.Pushed ? 1 : 0;
    const int x = (rect.left + rect.right - Glyphs().Width()) / 2 + p;
    const int y = (rect.top + rect.bottom - Glyphs().Height() - 1) / 2 + p;
    PaintMonoGlyph(dc, x, y, Glyphs(), cell, clBtnText);
}

void TThmClassicTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // The highlight bar is laid like a view (ViewKind 0): striped, or flat on a low-colour screen.
    if (IsActiveItem(item)) PaintViewBackground(canvas, RECT{}, rect, rect, clHighlight, false, 0);
}

void TThmClassicTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool imageArea = item.ImageWidth > 0 || item.Checked;
    const bool split = item.ItemFlags & ifSplitItem;
    const int cw = GetSystemMetrics(SM_CXMENUCHECK);
    RECT r = rect;
    if (imageArea) r.left += GetIntMetric(tmMenuImageGap) + item.ImageColumnWidth;
    if (split && item.Enabled) r.right -= cw + 1;
    PaintPopupItemFrame(canvas, r, item);
    if (split) {
        const RECT arrow{rect.right - cw, rect.top, rect.right, rect.bottom};
        if (item.Enabled && item.HotState != hsNone)
            PaintViewBackground(canvas, RECT{}, arrow, arrow, clHighlight, false, vkPopupMenu);
        else
            PaintLine(dc, rect.right - cw - 1, rect.top, rect.right - cw - 1, rect.bottom, SoftShadow);
    }
    if (item.ItemFlags & ifSubmenu) {
        const TColor c = !item.Enabled ? (item.HotState == hsKeyboardSelected ? clBtnShadow : SoftShadow)
                                       : (item.HotState != hsNone ? clHighlightText : clMenuText);
        // Half of Bottom: item rectangles start at (0, 0).
        PaintSubmenuArrow(dc, rect.right - 2 * cw / 3, rect.bottom / 2, c);
    }
    if (imageArea && (item.HotState != hsNone || item.Checked))
        PaintItemButton(canvas, RECT{rect.left, rect.top, rect.left + item.ImageColumnWidth, rect.bottom}, item);
}

void TThmClassicTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                          bool horizontal, bool) {
    if (!item.Enabled) return;  // a blank separator
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (horizontal) {
        const int y = (rect.top + rect.bottom) / 2;
        PaintLine(dc, rect.left + 1, y, rect.right - 1, y, SoftShadow);
    } else {
        const int x = (rect.left + rect.right) / 2;
        PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, SoftShadow);
    }
}

void TThmClassicTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (hot)
        Checker(dc, Deflated(rect, 1, 1), clBtnFace, clBtnHighlight);
    else
        PaintRectFill(dc, Deflated(rect, 1, 1), clBtnFace);
    PaintOctagonOutline(dc, rect, 1, 1, ColorMixNearest(clWindow, clBtnShadow, 64));
    if (!IsEmptyArea(rect)) {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (const POINT p : {POINT{rect.left, rect.top}, POINT{rect.right - 1, rect.top},
                              POINT{rect.right - 1, rect.bottom - 1}, POINT{rect.left, rect.bottom - 1}})
            SetPixelV(dc, p.x, p.y, face);
    }
    POINT arrow[3];
    if (ScrollArrowTriangle(rect, direction, arrow)) Triangle(dc, arrow, clBtnText);
}

void TThmClassicTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int reserved) {
    if (controlKind != 1 && controlKind != 2) {
        TThmDefaultTheme::PaintCheckControl(canvas, rect, controlKind, state, reserved);
        return;
    }
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool disabled = state & 4, hot = state & 8, pushed = state & 0x10, mixed = state & 2;
    const TColor pen = !disabled && (pushed || hot) ? clBtnText : clBtnShadow;
    HBRUSH fill = nullptr;
    if (disabled)
        fill = nullptr;
    else if (pushed)
        fill = AllocPatternBrush(PushedMix(false), clBtnHighlight);
    else if (hot)
        fill = AllocPatternBrush(clBtnFace, HotMix(false));
    else if (mixed)
        fill = AllocPatternBrush(clWindow, clBtnFace);
    // A disabled mark takes the dimmed text colour: in the button face it would vanish on the face.
    const TColor mark = disabled ? SoftShadow : mixed ? clBtnShadow : clBtnText;
    PaintClassicCheckControl(dc, rect, controlKind, state, pen, fill, mark);
}

// --- frames -------------------------------------------------------------------------------------

void TThmClassicTheme::PaintCloseGlyph(HDC dc, const RECT& rect) {
    PaintPatternGlyph(dc, rect, 7, 6, kBoldCrossPattern, clBtnText);
}

void TThmClassicTheme::PaintCloseBox(HDC dc, RECT box, bool pushed, bool hot, bool nearestMixes) {
    if (pushed || hot) {
        if (pushed)
            Checker(dc, box, clBtnHighlight, PushedMix(nearestMixes));
        else
            Checker(dc, box, clBtnFace, HotMix(nearestMixes));
        InflateRect(&box, 1, 1);
        PaintOctagonOutline(dc, box, 1, 1,
                            IsLowColorDisplay && pushed ? clBtnShadow : ColorMixNearest(clBtnShadow, clBtnFace, 191));
    }
    if (pushed) OffsetRect(&box, 1, 1);
    PaintCloseGlyph(dc, box);
}

void TThmClassicTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // The caller sets the brush to the bar's colour (or clears it).
    const bool clear = canvas.Brush().Style() == bsClear;
    const TColor base = clear ? clNone : canvas.Brush().Color();
    RECT r = rect;
    if (frame.BorderStyle == 1 && !IsEmptyArea(r)) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    PaintRectFill(dc, r, base);
    r = Deflated(r, 1, 1);
    if (!frame.AllowDrag) return;
    const int handle = GetDragHandleSize(frame);
    RECT strip = r;
    if (frame.Vertical)
        strip.bottom = strip.top + handle;
    else
        strip.right = strip.left + handle;
    if (frame.DragHandleStyle != dhNone) PaintToolbarGrip(dc, strip, frame, base);
    if (!(frame.CloseButtonState & cbsShown)) return;
    RECT box = GetToolbarCloseButtonRect(frame);
    OffsetRect(&box, frame.Vertical ? 0 : -1, frame.Vertical ? -1 : 0);
    PaintCloseBox(dc, Deflated(box, 1, 1), frame.CloseButtonState & cbsPressed, frame.CloseButtonState & cbsHot, false);
}

void TThmClassicTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int ch = GetSystemMetrics(SM_CYSMCAPTION);
    const bool across = frame.CaptionHorizontal;
    RECT r = rect;
    PaintRectFrame(dc, r, ToolbarFace, true);
    RECT client = r;
    if (frame.CaptionShown) (across ? client.top : client.left) += ch;
    PaintRectFrame(dc, client, frame.EffectiveColor, false);
    if (!frame.CaptionShown) return;
    if (across)
        r.bottom = r.top + ch;
    else
        r.right = r.left + ch;
    if (!IsEmptyArea(r)) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_ADJUST);
    if (frame.CloseButtonState & cbsShown) {
        RECT box = r;
        if (across) {
            box.right -= 1;
            box.left = box.right - ch + 1;
            r.right = box.left;
        } else {
            box.bottom -= 1;
            box.top = box.bottom - ch + 2;
            r.bottom = box.top;
        }
        PaintCloseBox(dc, Deflated(box, 2, 2), frame.CloseButtonState & cbsPressed, frame.CloseButtonState & cbsHot,
                      true);
    }
    if (across)
        InflateRect(&r, -1, 0);
    else
        InflateRect(&r, 0, -1);
    PaintPanelCaption(canvas, r, frame);
}

void TThmClassicTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (frame.RedrawParts & rpBorder) {
        RECT r = rect;
        PaintRectFrame(dc, r, ColorMixNearest(clBtnShadow, 0x000000, 127), true);
        if (!IsEmptyArea(r)) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        PaintRectFrame(dc, r, clBtnFace, true);
        PaintRectFrame(dc, r, clBtnFace, true);
        const RECT inside = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
        TSavedDC saved(dc);
        ExcludeClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
        PaintRectFill(dc, r, GetViewFillColor(frame.ViewKind));
    }
    if (!frame.CaptionShown) return;
    const int ch = GetSystemMetrics(SM_CYSMCAPTION);
    RECT bar{0, 0, frame.ClientWidth, ch};
    OffsetRect(&bar, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT c = bar;
        --c.bottom;
        PaintLine(dc, c.left, c.bottom, c.right, c.bottom, clBtnFace);
        --c.bottom;
        PaintLine(dc, c.left - 1, c.bottom, c.right + 1, c.bottom, SoftShadow);
        if (close && (frame.RedrawParts & rpCloseButton)) c.right -= ch;
        PaintFloatingCaption(canvas, c, frame);
    }
    if (!close) return;
    RECT box = bar;
    box.left = box.right - (box.bottom - box.top) - 1;
    PaintRectFill(dc, box, clBtnFace);
    box.bottom -= 2;
    PaintLine(dc, box.left, box.bottom, box.right, box.bottom, SoftShadow);
    box.bottom -= 2;
    box.left += 4;
    const bool pushed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
    if (pushed || hot) {
        PaintOctagonOutline(dc, box, 1, 1, clBtnShadow);
        box = Deflated(box, 1, 1);
        if (pushed) {
            PaintRectFill(dc, box, clBtnHighlight);
            OffsetRect(&box, 1, 1);
        } else {
            Checker(dc, box, clBtnFace, HotMix(false));
        }
    }
    PaintCloseGlyph(dc, box);
}

void TThmClassicTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    switch (part) {
    case 0:
        PaintStatusBackground(dc, rect);
        break;
    case 1:
    case 2: {
        const int x = part == 1 ? rect.right - 3 : rect.right;
        PaintLine(dc, x, rect.top + 4, x, rect.bottom - 3, SoftShadow);
        break;
    }
    case 3:
        PaintSizeGrip(dc, rect);
        break;
    default:
        break;
    }
}

void TThmClassicTheme::PaintShadedStatusBackground(HDC dc, const RECT& r) {
    PaintRectFill(dc, r, clBtnFace);
    auto row = [&](int y, TColor c) { PaintLine(dc, r.left, y, r.right, y, c); };
    row(r.top, clBtnShadow);
    const int fade[4] = {128, 64, 32, 12};
    for (int i = 0; i < 4; ++i) row(r.top + 1 + i, ColorMixNearest(clBtnShadow, clBtnFace, fade[i]));
    const int foot[3] = {8, 16, 24};
    for (int i = 0; i < 3; ++i) row(r.bottom - 3 + i, ColorMixNearest(clBtnShadow, clBtnFace, foot[i]));
}

void TThmClassicTheme::PaintSizeGripDots(HDC dc, const RECT& r) {
    const TGripDotColors colors = GripDotColors(dc, clBtnFace, clBtnShadow, clBtnHighlight);
    for (const POINT& p : kSizeGripCorners) PaintGripDot(dc, r.right + p.x, r.bottom + p.y, colors, true);
}

int TThmClassicTheme::CaptionWidth(HDC dc, const wchar_t* caption) {
    if (!caption || !*caption) return 0;
    TSelectedObject font(dc, SmallCaptionFont().Handle());
    SIZE size{};
    GetTextExtentPoint32W(dc, caption, static_cast<int>(std::wcslen(caption)), &size);
    return size.cx;
}

}  // namespace themes
