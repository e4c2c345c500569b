#include "controls/toolbar/themed/themes/thmathen.h"

#include <algorithm>

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

constexpr UINT kCaptionFlags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX;

void SetRow(TColor (&row)[3], TColor fill, TColor text, TColor frame) {
    row[scFill] = fill;
    row[scText] = text;
    row[scFrame] = frame;
}

}  // namespace

TThmAthenTheme::TThmAthenTheme(std::wstring name)
    : TThmAthenTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmAthenTheme>()) {}

TThmAthenTheme::TThmAthenTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmStateTheme(std::move(name), std::move(glyphs)) {
    PopupMenuBorderWidth = 1;
}

std::unique_ptr<TThmTheme> CreateAthenTheme(const std::wstring& name) { return std::make_unique<TThmAthenTheme>(name); }

// --- colours ------------------------------------------------------------------------------------

TThmAthenTheme::TRecipe TThmAthenTheme::Recipe() const {
    TRecipe r;
    r.Edge = ColorBlendPercent(0x808080, r.FrameGrey, 30);
    r.HotFrame = ColorBlendPercent(0xE0A030, 0xD0D0D0, 60);
    return r;
}

void TThmAthenTheme::RebuildColorCache() {
    const TRecipe recipe = Recipe();
    FrameGreyColor = recipe.FrameGrey;
    LightColor = recipe.Light;
    EdgeColor = recipe.Edge;

    MenuBarFill = 0xFFFFFF;
    ToolbarFill = recipe.ToolbarFill != clNone ? recipe.ToolbarFill : LightColor;
    PopupFill = 0xFFFFFF;
    DockPanelFill = 0xFFFFFF;
    PopupBorder = 0xC0C0C0;
    const TColor hotFill = Contrasted(ColorBlendPercent(clHighlight, clWindow, 20), ToolbarFill, 50);
    const TColor dimText = recipe.DimText != clNone ? recipe.DimText : ColorBlendPercent(clBtnShadow, clWindow, 90);

    SetRow(FloatingColors[kToolbarActive], 0x909090, 0xFFFFFF, Contrasted(0x000000, clBtnShadow, 180));
    SetRow(FloatingColors[kToolbarInactive], 0x909090, clBtnFace, Contrasted(dimText, clBtnFace, 120));
    SetRow(FloatingColors[kPanelActive], 0x909090, 0xFFFFFF, 0x000000);
    SetRow(FloatingColors[kPanelInactive], clBtnShadow, clBtnFace, Contrasted(dimText, clBtnFace, 120));

    auto& item = States.Item;
    const TColor normalText = Contrasted(clBtnText, ToolbarFill, 180);
    SetRow(item[0], clNone, normalText, clNone);
    SetRow(item[1], clNone, Contrasted(dimText, ToolbarFill, 80), 0xD0D0D0);
    SetRow(item[2], Contrasted(ColorBlendPercent(clHighlight, ColorBlendPercent(clBtnFace, clWindow, 50), 10), ToolbarFill, 5),
           normalText, recipe.CheckedFrame);
    // A pushed item is framed in the grey the family outlines pressed buttons with: a pure red
    // frame belongs to none of these looks (it showed round a pushed close button).
    SetRow(item[3], ColorBlendPercent(clHighlight, clWindow, 30), 0x000000, recipe.PushedFrame);
    SetRow(item[4], hotFill, Contrasted(clMenuText, hotFill, 180), recipe.HotFrame);
    SetRow(item[5], hotFill, dimText, clHighlight);
    const TColor checkedHot = Contrasted(ColorBlendPercent(clHighlight, clWindow, 50), ToolbarFill, 30);
    SetRow(item[6], checkedHot, Contrasted(0x000000, checkedHot, 180), Contrasted(clHighlight, checkedHot, 100));
    SetRow(item[7], ToolbarFill, normalText, recipe.HotFrame);

    auto& popup = States.Popup;
    const TColor greyText = ColorBlendPercent(clGrayText, clWindow, 70);
    SetRow(popup[0], clNone, Contrasted(clWindowText, PopupFill, 180), clNone);
    SetRow(popup[1], clNone, Contrasted(greyText, PopupFill, 80), clNone);
    SetRow(popup[2], item[4][scFill], item[4][scText], 0xC0C0C0);
    SetRow(popup[3], PopupFill, greyText, clHighlight);

    ToolbarSeparator = Contrasted(ColorBlendPercent(clBtnShadow, clWindow, 70), ToolbarFill, 50);
    PopupSeparator = recipe.PopupSeparator != clNone ? recipe.PopupSeparator : ToolbarSeparator;

    if (!recipe.Snap) return;
    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c)));
    };
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder, &PopupSeparator, &ToolbarSeparator})
        snap(*c);
    for (auto& row : FloatingColors)
        for (TColor& c : row) snap(c);
    States.SnapToScreen();
}

TColor TThmAthenTheme::CheckMarkColor(int state) const {
    if (state & 0x04) return States.Item[1][scText];
    if (state & 0x10) return States.Item[3][scText];
    if (state & 0x02) return clBtnShadow;
    if (state & 0x08) return States.Item[4][scText];
    return States.Item[0][scText];
}

// --- answers ------------------------------------------------------------------------------------

void TThmAthenTheme::GetMarginSet(int kind, TThmMargins& margins) {
    TThmStateTheme::GetMarginSet(kind, margins);
    if (kind == mkEditBox) margins.LeftWidth = 1;
}

int TThmAthenTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmDropArrowWidth:
    case tmMenuCaptionGap: return 8;
    case tmDropArrowMargin:
    case tmMenuCaptionEndGap:
    case tmMenuSeparatorSize: return 3;
    case tmMenuImageGap: return 0;
    case tmMDIButtonNarrower:
    case tmMDIButtonLower:
    case tmSpareSize61:
    case tmSpareSize62: return 2;
    case tmToolbarSeparatorSize: return 6;
    case tmEditFrameInset:
    case tmSpareSize66: return 1;
    case tmSpareSize65: return 14;
    default: return -1;
    }
}

bool TThmAthenTheme::GetBoolMetric(int index) {
    return index == tbPaintDockBackground || index == tbSolidToolbarNCArea || index == tbSolidToolbarClientArea;
}

// --- shared pieces ------------------------------------------------------------------------------

TButtonOutline TThmAthenTheme::ButtonShape(const RECT& rect, const TThmItemInfo& item, int splitButtonCut) {
    TButtonOutline o = ButtonOutline(rect, item, 2, 1);
    if (item.SplitPart == spSplitButton && (item.ItemFlags & ifToolbarStyle)) o.RightCut = splitButtonCut;
    return o;
}

void TThmAthenTheme::PaintClippedBands(HDC dc, const RECT& whole, const RECT& clip, bool across) {
    TThmClipGuard guard(dc, clip);
    PaintBandedButtonNormal(dc, whole, false, across);
}

void TThmAthenTheme::PaintPressedRamp(HDC dc, const RECT& rect, bool vertical) {
    PaintLinearGradient(dc, rect, 0xFFFFFF, 0xC0C0C0, vertical);
}

void TThmAthenTheme::PaintPanelBorder(HDC dc, const RECT& rect, TColor entry, bool across) {
    const int luma = ColorLuma(clBtnFace);
    RECT r = rect;
    auto corners = [&](TColor c) {
        if (IsEmptyArea(r)) return;
        PaintPixel(dc, r.left, r.top, c);
        if (across)
            PaintPixel(dc, r.right - 1, r.top, c);
        else
            PaintPixel(dc, r.left, r.bottom - 1, c);
    };
    if (!IsLowColorDisplay && luma >= 64 && luma <= 250) {
        PaintRectFrame(dc, r, clBtnFace, true);
        PaintRectFrame(dc, r, entry, true);
        corners(clBtnFace);
        return;
    }
    PaintRectFrame(dc, r, entry, true);
    if (entry != clNone && !IsEmptyArea(r)) {
        // The pattern brush is the class library's cached one: used, never deleted.
        HBRUSH pattern = AllocPatternBrush(entry, luma < 64 ? TColor(0xFFFFFF) : clBtnShadow);
        FrameRect(dc, &r, pattern);
    }
    corners(entry);
    r = Deflated(r, 1, 1);
    PaintRectFrame(dc, r, entry, true);
}

void TThmAthenTheme::PaintPanelCaption(TCanvas& canvas, const wchar_t* caption, const RECT& rect, bool across) {
    if (!caption) return;
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), caption, rect, kCaptionFlags, 0x000000, !across);
}

RECT TThmAthenTheme::ToolbarCloseSquare(RECT c, bool along) {
    if (along) {
        c.right -= 1;
        c.bottom = c.top + (c.right - c.left);
    } else {
        c.bottom -= 1;
        c.left = c.right - (c.bottom - c.top);
    }
    return c;
}

RECT TThmAthenTheme::HandleStrip(const RECT& inner, const TThmToolbarFrameInfo& frame, int size) {
    RECT r = inner;
    if (!frame.Vertical)
        r.right = r.left + size;
    else
        r.bottom = r.top + size;
    return r;
}

void TThmAthenTheme::PaintGripLines(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size,
                                    TColor along, TColor across) const {
    const bool close = frame.CloseButtonState & cbsShown;
    int indent;
    if (frame.DragHandleStyle == dhDouble)
        indent = close ? 5 : 2;
    else if (frame.DragHandleStyle == dhSingle)
        indent = close ? 5 : 1;
    else
        return;  // no handle, or a style this theme does not know
    RECT g = strip;
    if (!frame.Vertical) {
        g.left += indent;
        if (close) g.top += size - 2;
        g.right = g.left + 3;
        for (int y = g.top + 3; y < g.bottom - 3; y += 2) {
            PaintLine(dc, g.left, y, g.right, y, along);
            PaintLine(dc, g.left, y + 1, g.right, y + 1, 0xFFFFFF);
        }
    } else {
        g.top += indent;
        if (close) g.right -= size - 2;
        g.bottom = g.top + 3;
        for (int x = g.left + 3; x < g.right - 3; x += 2) {
            PaintLine(dc, x, g.top, x, g.bottom, across);
            PaintLine(dc, x + 1, g.top, x + 1, g.bottom, 0xFFFFFF);
        }
    }
}

void TThmAthenTheme::PaintCaptionCloseButton(HDC dc, RECT c, int row, bool across) {
    switch (row) {
    case 4:
        PaintRectFrame(dc, c, States.Item[4][scFrame], true);
        PaintBandedButtonNormal(dc, c, true, across);
        break;
    case 3:
        PaintPressedRamp(dc, c, across);
        PaintRectFrame(dc, c, 0xD0D0D0, true);
        break;
    default: PaintRectFrame(dc, c, States.Item[0][scFrame], true); break;
    }
    PaintSmallCloseCross(dc, c, 0x000000);
}

void TThmAthenTheme::PaintFloatingBorder(HDC dc, const RECT& rect, const TThmFloatingFrameInfo& frame, TColor ring) const {
    const bool panel = ViewKindIs(frame.ViewKind, vkDockPanel);
    const TColor band = FloatingColors[(panel ? kPanelActive : kToolbarActive) + (frame.Active ? 0 : 1)][kBorder];
    PaintFloatingBorderBand(dc, rect, frame.BorderSize, panel, band, ring);
}

RECT TThmAthenTheme::FloatingCaptionBar(const TThmFloatingFrameInfo& frame) {
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    RECT bar{0, 0, frame.ClientWidth, h - 1};
    OffsetRect(&bar, frame.BorderSize.x, frame.BorderSize.y);
    return bar;
}

void TThmAthenTheme::PaintFloatingCaptionText(TCanvas& canvas, RECT bar, const TThmFloatingFrameInfo& frame) const {
    if (!frame.Caption) return;
    const int row = (frame.ViewKind & vkToolbar ? kToolbarActive : kPanelActive) + (frame.Active ? 0 : 1);
    bar.left += 2;
    bar.right -= 2;
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, bar, kCaptionFlags, FloatingColors[row][kCaptionText],
                           false);
}

void TThmAthenTheme::PaintCheckTickMark(HDC dc, const RECT& rect, int state) const {
    if (state & 3) PaintCheckMark(dc, rect, CheckMarkColor(state));
}

void TThmAthenTheme::PaintRadioOutline(HDC dc, const RECT& rect, TColor pen, TColor fill) {
    POINT p[24];
    for (int i = 0; i < 24; ++i) p[i] = {rect.left + kRadioDiscOutline[i].x, rect.top + kRadioDiscOutline[i].y};
    PaintPolygon(dc, p, 23, pen, fill);
}

void TThmAthenTheme::PaintRadioDot(HDC dc, const RECT& rect, int state) const {
    if (!(state & 1)) return;  // a mixed radio button shows no dot
    const TColor mark = CheckMarkColor(state);
    const RECT d = Deflated(rect, 4, 4);
    if (!IsEmptyArea(d)) PaintRoundRect(dc, d.left, d.top, d.right, d.bottom, d.right - d.left, d.bottom - d.top, mark, mark);
}

void TThmAthenTheme::PaintStatusDivider(HDC dc, RECT r, int part, TColor dark, TColor light) {
    // Three pixels in from a panel's right end; on the last two columns of the panel beside the
    // size grip, so that the pair stays inside the panel.
    r.right -= part == 1 ? 3 : 2;
    PaintLine(dc, r.right, r.top + 4, r.right, r.bottom - 3, dark);
    PaintLine(dc, r.right + 1, r.top + 5, r.right + 1, r.bottom - 2, light);
}

// --- backgrounds and frames ---------------------------------------------------------------------

void TThmAthenTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                         const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if (!RectVisible(dc, &r)) return;
    // A low-colour screen gets the view's plain colour: bands would break into dither there,
    // and leaving the view unpainted would show whatever was behind it.
    if (HasOpaqueItems(viewKind) || (viewKind & vkPopup) || IsLowColorDisplay) {
        PaintRectFill(dc, r, color);
        return;
    }
    // The bands run over the whole view (one line past it at both ends across the bar), whatever
    // part is repainted.
    const bool across = BarBackgroundRunsAcross(outerRect, paintRect, paintRect);
    const RECT whole = across ? RECT{paintRect.left, paintRect.top - 1, paintRect.right, paintRect.bottom + 1}
                              : RECT{paintRect.left - 1, paintRect.top, paintRect.right + 1, paintRect.bottom};
    PaintClippedBands(dc, whole, r, across);
}

void TThmAthenTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    PaintRectFill(canvas.Handle(), paintRect, 0xE0E0E0);
}

void TThmAthenTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const RECT& r = rect;
    PaintBandedButtonNormal(dc, r, false, !frame.Vertical);
    if (frame.BorderStyle != 1) return;
    if (frame.Vertical) {
        PaintLinearGradient(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom + 1}, EdgeColor,
                            ColorBlendPercent(EdgeColor, LightColor, 30), false);
        PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, EdgeColor);
        PaintPixel(dc, r.left, r.top, ColorBlendPercent(FrameGreyColor, LightColor, 60));
        PaintPixel(dc, r.left, r.bottom - 2, ColorBlendPercent(FrameGreyColor, LightColor, 60));
        PaintPixel(dc, r.left, r.bottom - 1, 0xE0E0E0);
        PaintPixel(dc, r.right - 2, r.top, ColorBlendPercent(FrameGreyColor, LightColor, 35));
        PaintPixel(dc, r.right - 1, r.top, ColorBlendPercent(LightColor, EdgeColor, 50));
        PaintPixel(dc, r.right - 1, r.bottom - 1, FrameGreyColor);
    } else {
        PaintLinearGradient(dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom}, EdgeColor,
                            ColorBlendPercent(EdgeColor, LightColor, 45), true);
        PaintLine(dc, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1, EdgeColor);
        PaintPixel(dc, r.left, r.top, ColorBlendPercent(FrameGreyColor, LightColor, 60));
        PaintPixel(dc, r.left, r.bottom - 1, 0xE0E0E0);
        PaintPixel(dc, r.left, r.bottom - 2, ColorBlendPercent(FrameGreyColor, EdgeColor, 50));
        PaintPixel(dc, r.right - 2, r.top, ColorBlendPercent(FrameGreyColor, LightColor, 35));
        PaintPixel(dc, r.right - 1, r.top, 0xE0E0E0);
        PaintPixel(dc, r.right - 1, r.bottom - 1, 0xE0E0E0);
    }
    PaintPixel(dc, r.right - 2, r.bottom - 2, ColorBlendPercent(FrameGreyColor, EdgeColor, 50));
    if (!frame.AllowDrag) return;
    const int size = GetDragHandleSize(frame);
    const RECT strip = HandleStrip(Deflated(rect, 2, 2), frame, size);
    PaintGripLines(dc, strip, frame, size, 0xA0A0A0, 0x808080);
    if (frame.CloseButtonState & cbsShown) {
        const RECT c = ToolbarCloseSquare(strip, !frame.Vertical);
        PaintCaptionCloseButton(dc, c, CloseButtonRow(frame.CloseButtonState), true);
    }
}

void TThmAthenTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor bk = canvas.Brush().Color();
    const bool across = frame.CaptionHorizontal;
    PaintPanelBorder(dc, rect, bk, across);
    RECT r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    if (across) {
        r.bottom = r.top + h - 1;
        PaintLine(dc, r.left, r.bottom, r.right, r.bottom, bk);
        PaintBandedButtonNormal(dc, RECT{r.left, r.top, r.right, r.bottom + 1}, false, true);
    } else {
        r.right = r.left + h - 1;
        PaintLine(dc, r.right, r.top, r.right, r.bottom, bk);
        PaintBandedButtonNormal(dc, RECT{r.left, r.top, r.right + 1, r.bottom}, false, false);
    }
    if (frame.CloseButtonState & cbsShown) {
        RECT c = r;
        if (across) {
            c.left = c.right - h + 1;
            r.right = c.left;
        } else {
            c.top = c.bottom - h + 1;
            r.bottom = c.top;
        }
        PaintCaptionCloseButton(dc, c, CloseButtonRow(frame.CloseButtonState), across);
    }
    if (across) {
        r.left += 4;
        r.right -= 4;
    } else {
        r.top += 4;
        r.bottom -= 4;
    }
    PaintPanelCaption(canvas, frame.Caption, r, across);
}

void TThmAthenTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor bk = canvas.Brush().Color();
    if (frame.RedrawParts & rpBorder) PaintFloatingBorder(dc, rect, frame, bk);
    if (!frame.CaptionShown) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT bar = FloatingCaptionBar(frame);
        PaintLine(dc, bar.left, bar.bottom, bar.right, bar.bottom, bk);
        if (close && (frame.RedrawParts & rpCloseButton)) bar.right -= h - 1;
        PaintCaptionFace(dc, bar, true);
        PaintFloatingCaptionText(canvas, bar, frame);
    }
    if (close) {
        RECT c = FloatingCaptionBar(frame);
        c.left = c.right - (c.bottom - c.top);
        PaintLine(dc, c.left - 1, c.bottom, c.right, c.bottom, bk);
        PaintCaptionFace(dc, c, true);
        PaintFloatingCloseButton(dc, c, frame.Active ? CloseButtonRow(frame.CloseButtonState) : 1);
    }
}

void TThmAthenTheme::PaintCaptionFace(HDC dc, const RECT& rect, bool vertical) {
    PaintBandedButtonNormal(dc, rect, false, vertical);
}

void TThmAthenTheme::PaintFloatingCloseButton(HDC dc, RECT c, int row) {
    if (row == 4) {
        PaintRectFrame(dc, c, States.Item[4][scFrame], true);
        PaintBandedButtonNormal(dc, c, true, true);
    } else if (row == 3) {
        PaintRectFrame(dc, c, 0xD0D0D0, true);
        PaintPressedRamp(dc, c, true);
    }
    PaintSmallCloseCross(dc, c, 0x000000);
}

void TThmAthenTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    PaintJoinedPopupFrame(canvas.Handle(), rect, frame.ParentRect, PopupBorder, PopupFill, ToolbarFill);
}

void TThmAthenTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    switch (part) {
    case 0: PaintBandedButtonNormal(dc, rect, false, true); break;
    case 1:
    case 2: PaintStatusDivider(dc, rect, part, clBtnShadow, clBtnHighlight); break;
    case 3:
        PaintSizeGripLines(dc, rect, ColorMixNearest(clBtnFace, clBtnHighlight, 64), ColorMixNearest(clBtnFace, clBtnShadow, 64));
        break;
    default: break;
    }
}

// --- items --------------------------------------------------------------------------------------

void TThmAthenTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, RECT{rect.left - 1, rect.top, rect.right, rect.bottom});
    const auto [r, lc, rc] = ButtonShape(rect, item, 1);
    const bool active = IsActiveItem(item);
    if (HasOpaqueItems(item.ViewKind) && !active) {
        if (item.Enabled) PaintRectFill(dc, Deflated(r, 1, 1), ToolbarFill);
        PaintCutCornerFrameBlended(dc, r, lc, rc, item.Enabled ? 0xB0B0B0 : 0xC0C0C0, clNone);
    }
    const bool marked = item.Enabled && (item.Pushed || item.Checked);
    if (ViewKindIs(item.ViewKind, vkMenuBar)) {
        if (marked || active) PaintBandedButtonNormal(dc, r, true, true);
        return;
    }
    const TColor hotFrame = States.Item[4][scFrame];
    if (marked) {
        if (item.Checked && !item.Pushed && item.HotState == hsNone) {
            PaintBandedButtonNormal(dc, Deflated(r, 1, 1), true, true);
            PaintCutCornerFrameBlended(dc, r, lc, rc, ColorBlendPercent(hotFrame, 0x000000, 90), clNone);
        } else {
            PaintPressedRamp(dc, Deflated(r, 1, 1), true);
            PaintCutCornerFrameBlended(dc, r, lc, rc, 0xB0B0B0, 0xD0D0D0);
            if (item.Checked && !item.Pushed) {
                PaintBandedButtonNormal(dc, r, true, true);
                PaintCutCornerFrameBlended(dc, r, lc, rc, hotFrame, clNone);
            }
        }
    } else if (active || (item.ItemFlags & ifDesigning)) {
        PaintBandedButtonNormal(dc, Deflated(r, 1, 1), true, true);
        PaintCutCornerFrameBlended(dc, r, lc, rc, ButtonStateColor(item, scFrame), clNone);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmAthenTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                      const std::wstring& caption, UINT format, bool rotated) {
    const TColor font = canvas.Font().Color();
    DrawThemeCaption(canvas, caption, rect, format, font != clNone ? font : ItemStateColor(item, scText), rotated);
}

void TThmAthenTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // Disabled items take the table's dimmed text, so their tick stays visible.
    PaintCheckTick(dc, (rect.left + rect.right) / 2 - 2, (rect.top + rect.bottom) / 2 + 1, ButtonStateColor(item, scText));
}

void TThmAthenTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                  const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int m = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, m, m);
    const int w = editBox.RightButtonWidth;
    if (w > 0) r.right -= w - 2;
    const TColor frame = item.HotState != hsNone ? 0xFFFFFF : item.Enabled ? 0xD0D0D0 : States.Item[1][scFrame];
    PaintRectFrame(dc, r, frame, true);
    if (item.Enabled) PaintRectFill(dc, r, 0xFFFFFF);
    PaintEditBoxRightButton(canvas, rect, item, editBox);
}

void TThmAthenTheme::PaintEditButtonFace(HDC dc, const RECT& rect, const TThmItemInfo& item, bool pushed, bool hot) {
    if (pushed || hot) return;
    RECT r = rect;
    if (HasOpaqueItems(item.ViewKind) || item.ViewKind == vkChevronPopup) {
        PaintRectFill(dc, r, 0xFFFFFF);
        PaintRectFrame(dc, r, 0xC0C0C0, false);
    } else {
        PaintRectFrame(dc, r, 0xD0D0D0, false);
    }
}

void TThmAthenTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    ++r.left;
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool popup = item.ViewKind & vkPopup;
    const TColor seam = States.Popup[2][scFrame];
    if (button.ButtonKind == 1) {
        const bool pushed = button.ButtonState & 4;
        if (!disabled) {
            if (pushed) {
                PaintPressedRamp(dc, r, true);
            } else if (hot) {
                PaintBandedButtonNormal(dc, r, !popup, true);
                if (popup) PaintLine(dc, r.left, r.top, r.left, r.bottom, seam);
            }
            PaintEditButtonFace(dc, r, item, pushed, hot);
            PaintLine(dc, r.left - 1, r.top + 1, r.left - 1, r.bottom - 1, 0xFFFFFF);
        } else {
            PaintRectFrame(dc, r, States.Item[1][scFrame], true);
        }
        PaintDropArrow(canvas, r, item);
    } else if (button.ButtonKind == 2) {
        TThmItemInfo half = item;  // each half paints with its own pushed flag
        for (bool upper : {true, false}) {
            const RECT h = SpinHalf(r, upper);
            half.Pushed = button.ButtonState & (upper ? 4 : 8);
            if (!disabled) {
                if (half.Pushed) {
                    PaintPressedRamp(dc, h, true);
                } else if (hot) {
                    PaintBandedButtonNormal(dc, h, !popup, true);
                    if (popup) {
                        if (upper) {
                            PaintLine(dc, h.left, h.top, h.left, h.bottom, seam);
                        } else {
                            PaintLine(dc, h.left, h.bottom - 1, h.left, h.top, seam);
                            PaintLine(dc, h.left, h.top, h.right, h.top, seam);
                        }
                    }
                }
                PaintEditButtonFace(dc, h, half, half.Pushed, hot);
            }
            PaintSpinArrow(dc, h, upper, 0, ItemStateColor(half, scText));
        }
    }
}

void TThmAthenTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintDropArrows(canvas.Handle(), rect, false, item.Vertical, 0, ItemStateColor(item, scText));
}

void TThmAthenTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (!item.Enabled && item.HotState != hsKeyboardSelected) {
        RECT r = Deflated(rect, 1, 1);
        if (WipesDisabledFrame()) PaintRectFrame(dc, r, ToolbarFill, false);
        return;
    }
    if (item.HotState != hsNone || (item.ItemFlags & ifDesigning)) PaintItemFrameFace(dc, rect, item);
}

void TThmAthenTheme::PaintItemFrameFace(HDC dc, const RECT& rect, const TThmItemInfo& item) {
    PaintBandedButtonNormal(dc, Deflated(rect, 1, 1), false, true);
    const TColor pen = (item.ViewKind & vkPopup) ? States.Popup[2][scFrame]
                       : item.Pushed             ? States.Item[2][scFrame]
                                                 : ItemStateColor(item, scFrame);
    PaintOctagonOutline(dc, rect, 1, 1, pen);
}

void TThmAthenTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                    int imageIndex) {
    if (!images) return;
    PaintOfficeItemImage(canvas, rect, item, *images, imageIndex, ColorLuma(GetItemImageBackColor(item)) < 80, 255);
}

void TThmAthenTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    TThmClipGuard clip(canvas.Handle(), rect);
    RECT r = rect;
    if (!ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        PaintRectFill(canvas.Handle(), RECT{rect.left, rect.top, rect.left + item.ImageColumnWidth + 2, rect.bottom},
                      0xFFFFFF);
        r = RECT{rect.left + 1, rect.top, rect.right - 1, rect.bottom};
    }
    PaintItemFrame(canvas, r, item);
}

void TThmAthenTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int w = GetSystemMetrics(SM_CXMENUCHECK);
    PaintPopupItemFrame(canvas, rect, item);
    const TColor text = ItemStateColor(item, scText);
    if (item.ItemFlags & ifSplitItem) {
        const int x = rect.right - w - 1;
        PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, item.Enabled ? PopupSplitDivider(item) : text);
    }
    if (item.ItemFlags & ifSubmenu) PaintSubmenuArrow(dc, rect.right - (2 * w) / 3 - 1, rect.bottom / 2, text);
    if (item.Checked && item.Enabled)
        PaintPopupCheckFace(canvas, RECT{rect.left + 1, rect.top, rect.left + 1 + item.ImageColumnWidth, rect.bottom}, item);
}

TColor TThmAthenTheme::PopupSplitDivider(const TThmItemInfo&) const { return PopupSeparator; }

void TThmAthenTheme::PaintPopupCheckFace(TCanvas& canvas, RECT f, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    if (item.HotState == hsSelected) f = Deflated(f, 1, 1);
    if (item.SplitPart == spSplitArrow) --f.left;
    PaintBandedButtonNormal(dc, f, true, true);
    if (!item.Pushed && item.HotState == hsNone) {
        PaintCutCornerFrameBlended(dc, f, 1, 1, 0xC0C0C0, clNone);
        PaintCutCornerFrameBlended(dc, f, 2, 2, ColorBlendPercent(States.Item[4][scFrame], 0x000000, 90), clNone);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, Deflated(f, -1, -1), item);
}

void TThmAthenTheme::PaintScrollHotFace(HDC dc, const RECT& inner) { PaintBandedButtonNormal(dc, inner, true, true); }

void TThmAthenTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (hot)
        PaintScrollHotFace(dc, Deflated(rect, 1, 1));
    else
        PaintRectFill(dc, Deflated(rect, 1, 1), 0xFFFFFF);
    PaintOctagonOutline(dc, rect, 1, 1, hot ? States.Item[4][scFrame] : TColor(0xD0D0D0));
    if (!IsEmptyArea(rect)) {
        for (POINT p : {POINT{rect.left, rect.top}, POINT{rect.right - 1, rect.top}, POINT{rect.right - 1, rect.bottom - 1},
                        POINT{rect.left, rect.bottom - 1}})
            PaintPixel(dc, p.x, p.y, clBtnFace);
    }
    PaintScrollArrow(dc, rect, direction, clBtnText);
}

void TThmAthenTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                        bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    if (horizontal) {
        TColor pen = ToolbarSeparator;
        if (!(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
            r.left += item.ImageColumnWidth + 9;
            pen = PopupSeparator;
        }
        if (item.ViewKind & vkToolbar)
            PaintEtchedLine(dc, r, r.bottom / 2 + 1, true, 0xFFFFFF, EtchDarkColor());
        else
            PaintLine(dc, r.left, r.bottom / 2, r.right, r.bottom / 2, pen);
    } else if (item.Enabled) {
        PaintEtchedLine(dc, r, r.right / 2, false, 0xFFFFFF, EtchDarkColor());
    }
}

void TThmAthenTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool marked = state & 3, hot = state & 0x08, pushed = state & 0x10;
    if (controlKind == 1) {
        const RECT inner = Deflated(rect, 1, 1);
        TColor pen = 0xC0C0C0;
        if (hot && pushed) {
            PaintPressedRamp(dc, inner, true);
        } else if (hot || marked) {
            PaintBandedButtonNormal(dc, inner, true, true);
            pen = hot ? States.Item[4][scFrame] : States.Item[2][scFrame];
        } else {
            PaintPressedRamp(dc, inner, true);
        }
        PaintOctagonOutline(dc, rect, 1, 1, pen);
        PaintCheckTickMark(dc, rect, state);
    } else if (controlKind == 2) {
        const RECT d = Deflated(rect, 1, 1);
        TColor pen = 0xC0C0C0;
        if (hot && pushed) {
            PaintRadioGradient(dc, d, 0xFFFFFF, 0xC0C0C0, true);
        } else if (hot || (state & 1)) {
            PaintRadioBanded(dc, d, true);
            pen = hot ? States.Item[4][scFrame] : States.Item[2][scFrame];
        } else {
            PaintRadioGradient(dc, d, 0xFFFFFF, 0xC0C0C0, true);
        }
        PaintRadioOutline(dc, rect, pen, clNone);
        PaintRadioDot(dc, rect, state);
    }
}

}  // namespace themes
