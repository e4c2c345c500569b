#include "controls/toolbar/themed/themes/thmwhidbey.h"

#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

bool OpaqueItems(int viewKind) { return ViewKindIs(viewKind, vkToolbar) && (viewKind & vkOpaqueItems); }

// A gradient from `start` at the left (top when vertical) to `end`.
void Gradient(HDC dc, const RECT& r, TColor start, TColor end, bool vertical) {
    PaintLinearGradient(dc, r, end, start, vertical);
}

}  // namespace

TThmWhidbeyTheme::TThmWhidbeyTheme(std::wstring name)
    : TThmOfficeXPTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmWhidbeyTheme>()) {}

std::unique_ptr<TThmTheme> CreateWhidbeyTheme(const std::wstring& name) {
    return std::make_unique<TThmWhidbeyTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmWhidbeyTheme::RebuildColorCache() {
    BarDark = clBtnFace;
    BarLight = clWindow;
    const int lf = ColorLuma(clBtnFace), lw = ColorLuma(clWindow);
    if (lw < lf) std::swap(BarDark, BarLight);
    if (ColorIsDark(BarDark, 100)) {
        if (lw - lf < 30) BarLight = ColorShiftLevel(BarLight, lf - lw);
    } else if (lw - lf < 30) {
        BarDark = ColorShiftLevel(BarDark, lf - lw);
    }
    BarShadow = ColorBlendPercent(clBtnShadow, BarDark, 95);
    MenuBarFill = ToolbarFill = ColorBlendPercent(BarDark, BarLight, 50);
    PopupFill = DockPanelFill = ColorBlendPercent(clBtnFace, clWindow, 143);
    PopupBorder = Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 20), PopupFill, 100);
    const TColor hotFill = ColorBlendPercent(clHighlight, clWindow, 20);
    const TColor dimText = ColorBlendPercent(clBtnText, BarLight, 50);

    const auto set = SetColors;
    const TColor toolbarBorder = Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 15), ToolbarFill, 120);
    set(FloatingColors[0], toolbarBorder, clBtnShadow, Contrasted(clBtnHighlight, clBtnShadow, 180));
    set(FloatingColors[1], toolbarBorder, clBtnFace, Contrasted(dimText, clBtnFace, 120));
    set(FloatingColors[2], clBtnShadow, clBtnFace, clBtnText);
    set(FloatingColors[3], clBtnShadow, clBtnFace, Contrasted(dimText, clBtnFace, 120));

    auto& item = States.Item;
    const TColor normalText = Contrasted(clBtnText, ToolbarFill, 180);
    set(item[0], clNone, normalText, clNone);
    set(item[1], clNone, dimText, clNone);
    set(item[2],
        Contrasted(ColorBlendPercent(clHighlight, ColorBlendPercent(clBtnFace, clWindow, 50), 10), ToolbarFill, 5),
        normalText, clHighlight);
    set(item[3], ColorBlendPercent(clHighlight, clWindow, 50), clHighlightText, Contrasted(clHighlight, ToolbarFill, 80));
    set(item[4], hotFill, Contrasted(clMenuText, hotFill, 180), Contrasted(clHighlight, ToolbarFill, 100));
    set(item[5], hotFill, dimText, clHighlight);
    const TColor checkedHot = Contrasted(ColorBlendPercent(clHighlight, clWindow, 40), ToolbarFill, 30);
    set(item[6], checkedHot, Contrasted(clHighlightText, checkedHot, 180), Contrasted(clHighlight, checkedHot, 100));
    set(item[7], ColorBlendPercent(clBtnFace, clWindow, 183), normalText, PopupBorder);
    auto& popup = States.Popup;
    set(popup[0], clNone, Contrasted(clWindowText, PopupFill, 180), clNone);
    set(popup[1], clNone, dimText, clNone);
    set(popup[2], item[4][scFill], item[4][scText], item[4][scFrame]);
    set(popup[3], PopupFill, ColorBlendPercent(clGrayText, clWindow, 70), clHighlight);

    ToolbarSeparator = ColorBlendPercent(clBtnShadow, clWindow, 70);
    PopupSeparator = Contrasted(ToolbarSeparator, PopupFill, 50);
    StatusPanelBorder = Contrasted(ColorBlendPercent(clWindow, clBtnFace, 30), clBtnFace, 30);
    GripColor = clNone;  // the drag handle is dots mixed from BarDark
    SnapColorCache();
}

void TThmWhidbeyTheme::GetMarginSet(int kind, TThmMargins& margins) {
    switch (kind) {
    case mkToolbarButton: margins = {2, 2, 2, 2}; break;
    case mkPopupItem: margins = {1, 1, 3, 3}; break;
    case mkEditBox: margins = {3, 3, 1, 1}; break;
    default: margins = {0, 0, 0, 0}; break;
    }
}

int TThmWhidbeyTheme::GetIntMetric(int index) { return ShadedOfficeIntMetric(index); }

bool TThmWhidbeyTheme::GetBoolMetric(int index) { return ShadedOfficeBoolMetric(index); }

TColor TThmWhidbeyTheme::FrameTint() const { return ColorBlendPercent(BarDark, BarLight, 90); }

std::vector<TColor> TThmWhidbeyTheme::SizeGripColors(int side) const {
    if (side < 15) return TThmOfficeXPTheme::SizeGripColors(side);
    return {clBtnShadow, clBtnShadow, clBtnHighlight, clBtnFace, clBtnShadow, clBtnShadow, clBtnShadow,
            clBtnHighlight, clBtnFace, clBtnShadow, clBtnShadow, clBtnShadow, clBtnHighlight};
}

// --- painting -----------------------------------------------------------------------------------

void TThmWhidbeyTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                           const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    const bool bar = (ViewKindIs(viewKind, vkToolbarBar) && !(viewKind & vkOpaqueItems)) ||
                     ViewKindIs(viewKind, vkToolWindow);
    if (bar) {
        PaintBarGradient(dc, r, BarBackgroundRunsAcross(outerRect, paintRect, r), BarLight, BarDark);
        return;
    }
    if (EqualRect(&outerRect, &paintRect))
        PaintRectFill(dc, r, static_cast<TColor>(ColorToRGB(color)));
    else
        Gradient(dc, r, clBtnFace, BarLight, false);
}

void TThmWhidbeyTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (!((item.ItemFlags & ifDesigning) && !item.Checked)) {
        TThmOfficeXPTheme::PaintItemButton(canvas, rect, item);
        return;
    }
    HDC dc = canvas.Handle();
    RECT r = rect;
    if (item.SplitPart == spSplitArrow) --r.left;
    PaintRectFrame(dc, r, 0x0000FF, false);
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmWhidbeyTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintCheckTick(dc, (rect.left + rect.right) / 2 - 2, (rect.top + rect.bottom) / 2 + 1, ButtonStateColor(item, scText));
}

POINT TThmWhidbeyTheme::ChevronOrigin(const RECT& rect, bool vertical) {
    // Not centred: rows 4 to 8 of the item, or five pixels in from its right edge.
    return vertical ? POINT{rect.right - 9, rect.top + 2} : POINT{rect.left + 2, 4};
}

void TThmWhidbeyTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                    const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool opaque = OpaqueItems(item.ViewKind);
    RECT r = rect;
    if (item.HotState != hsNone) PaintRectFrame(dc, r, States.Item[4][scFrame], true);
    const int n = GetIntMetric(tmEditFrameInset);
    r = Deflated(r, n, n);
    if (!item.Enabled && !opaque) PaintRectFrame(dc, r, States.Item[1][scText], true);
    if (editBox.RightButtonWidth > 0) r.right -= editBox.RightButtonWidth - 2;
    if (item.Enabled) {
        if (item.HotState == hsNone)
            PaintRectFrame(dc, r, opaque ? FrameTint() : clWindow, true);
        else
            PaintRectFrame(dc, r, clWindow, false);
        PaintRectFill(dc, r, clWindow);
        if (!(item.ViewKind & vkToolbar) && ItemStateColor(item, scFrame) == clNone) {
            RECT whole = Deflated(rect, 1, 1);
            PaintRectFrame(dc, whole, FrameTint(), false);
        }
    }
    if (editBox.RightButtonWidth > 0) {
        RECT b = Deflated(rect, n, n);
        b.left = b.right - editBox.RightButtonWidth;
        PaintEditBoxButton(canvas, b, item, editBox.RightButton);
    }
}

void TThmWhidbeyTheme::PaintEditButtonFrame(HDC dc, const RECT& rect, bool pushed, bool hot, int viewKind) {
    const bool opaque = OpaqueItems(viewKind);
    TColor color;
    if (hot || pushed)
        color = States.Item[4][scFrame];
    else if (opaque || !(viewKind & vkToolbar))
        color = FrameTint();
    else
        color = clWindow;
    if (opaque && !hot && !pushed) PaintRectFill(dc, rect, ToolbarFill);
    RECT copy = rect;
    PaintRectFrame(dc, copy, color, true);
}

void TThmWhidbeyTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                          const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    TThmItemInfo item = itemIn;  // the spin halves change Pushed on a copy
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    RECT r = rect;
    ++r.left;
    if (button.ButtonKind == 1) {
        if (!disabled) {
            const bool pushed = button.ButtonState & 4;
            if (pushed || hot) {
                InflateRect(&r, 1, 1);
                PaintItemButton(canvas, r, item);
            }
            PaintEditButtonFrame(dc, r, pushed, hot, item.ViewKind);
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    const TColor arrow = ItemStateColor(item, scText);
    RECT u = r;
    u.bottom = (r.top + r.bottom + 1) / 2;
    item.Pushed = button.ButtonState & 4;
    if (!disabled) {
        if (item.Pushed || hot) {
            InflateRect(&u, 1, 1);
            PaintItemButton(canvas, u, item);
        }
        PaintEditButtonFrame(dc, u, item.Pushed, hot, item.ViewKind);
    }
    int x = (u.left + u.right) / 2, y = (u.top + u.bottom - 1) / 2;
    const POINT up[3] = {{x - 2, y + 1}, {x + 2, y + 1}, {x, y - 1}};
    PaintPolygon(dc, up, 2, arrow, arrow);
    RECT d = r;
    d.top = (r.top + r.bottom) / 2;
    item.Pushed = button.ButtonState & 8;
    if (!disabled) {
        if (item.Pushed || hot) {
            InflateRect(&d, 1, 1);
            ++d.top;
            PaintItemButton(canvas, d, item);
        }
        PaintEditButtonFrame(dc, d, item.Pushed, hot, item.ViewKind);
    }
    x = (d.left + d.right) / 2;
    y = (d.top + d.bottom) / 2;
    const POINT down[3] = {{x - 2, y - 1}, {x + 2, y - 1}, {x, y + 1}};
    PaintPolygon(dc, down, 2, arrow, arrow);
}

void TThmWhidbeyTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    Gradient(canvas.Handle(), paintRect, clBtnFace, BarLight, false);
}

void TThmWhidbeyTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    const TColor c = canvas.Brush().Color();
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    RECT r = rect;
    PaintRectFrame(dc, r, clBtnFace, true);
    PaintRectFrame(dc, r, c, true);
    if (!IsEmptyArea(r)) {
        PaintPixel(dc, r.left, r.top, clBtnFace);
        if (across)
            PaintPixel(dc, r.right - 1, r.top, clBtnFace);
        else
            PaintPixel(dc, r.left, r.bottom - 1, clBtnFace);
    }
    r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    if (across) {
        r.bottom = r.top + h;
        Gradient(dc, r, clBtnFace, BarLight, false);
    } else {
        r.right = r.left + h;
        Gradient(dc, r, clBtnFace, BarLight, true);
    }
    if (frame.CloseButtonState & cbsShown)
        PaintCloseButtonBox(dc, SplitCaptionCloseButton(r, across, h), CloseButtonRow(frame.CloseButtonState));
    if (across)
        r = RECT{r.left + 4, r.top, r.right - 4, r.bottom};
    else
        r = RECT{r.left, r.top + 4, r.right, r.bottom - 4};
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, r,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, clBtnText, !across);
}

void TThmWhidbeyTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    if (item.Enabled && item.HotState != hsNone) PaintRectFill(dc, r, ItemStateColor(item, scFill));
    PaintRectFrame(dc, r, ItemStateColor(item, scFrame), true);
}

POINT TThmWhidbeyTheme::MDIGlyphOrigin(const RECT& rect) {
    return {(rect.left + rect.right - Glyphs().Width()) / 2, (rect.top + rect.bottom - Glyphs().Height()) / 2};
}

void TThmWhidbeyTheme::PaintImageColumn(HDC dc, const RECT& rect) { Gradient(dc, rect, BarLight, BarDark, false); }

void TThmWhidbeyTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                          bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    if (horizontal) {
        if (!(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
            PaintImageColumn(dc, RECT{r.left, r.top, std::min<LONG>(r.right, item.ImageColumnWidth + 2), r.bottom});
            r.left += item.ImageColumnWidth + 9;
        }
        if (!item.Enabled) return;
        const int y = r.bottom / 2;
        if (item.ViewKind & vkToolbar)
            PaintEtchedLine(dc, r, y, true, clBtnHighlight, ToolbarSeparator);
        else
            PaintLine(dc, r.left + 1, y, r.right - 1, y, PopupSeparator);
    } else if (item.Enabled) {
        PaintEtchedLine(dc, r, r.right / 2, false, clBtnHighlight, ToolbarSeparator);
    }
}

void TThmWhidbeyTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    const bool bar = ViewKindIs(frame.ViewKind, vkToolbarBar) || frame.ViewKind == vkToolbar ||
                     ViewKindIs(frame.ViewKind, vkToolWindow);
    if (bar) {
        PaintShadedBarFrame(dc, r, frame.Vertical, frame.BorderStyle == 1, ShadedBarColors(BarLight, BarDark, BarShadow));
        if (frame.BorderStyle != 1) return;
    } else {
        Gradient(dc, r, clBtnFace, BarLight, false);
    }
    r = Deflated(r, 2, 2);
    if (!frame.AllowDrag) return;
    const bool close = frame.CloseButtonState & cbsShown;
    const bool horizontal = !frame.Vertical;
    r = GripZone(r, frame);
    PaintGripDotRows(dc, r, frame, GripDotColors(dc, BarDark, clBtnShadow, clBtnHighlight), 2);
    if (close) PaintCloseButtonBox(dc, ToolbarCloseButtonBox(r, horizontal), CloseButtonRow(frame.CloseButtonState));
}

}  // namespace themes
