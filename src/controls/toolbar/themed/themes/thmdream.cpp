#include "controls/toolbar/themed/themes/thmdream.h"

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmDreamTheme::TThmDreamTheme(std::wstring name)
    : TThmDreamTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmDreamTheme>()) {}

TThmDreamTheme::TThmDreamTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmAthenTheme(std::move(name), std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateDreamTheme(const std::wstring& name) { return std::make_unique<TThmDreamTheme>(name); }

TThmDreamTheme::TRecipe TThmDreamTheme::Recipe() const {
    TRecipe r;
    r.Edge = 0xB0B0B0;
    r.ToolbarFill = 0xDCD8D0;
    r.DimText = 0xC0C0C0;
    r.CheckedFrame = 0xC0C0C0;
    r.HotFrame = 0xA0A0A0;
    r.PopupSeparator = 0xC0C0C0;
    r.Snap = false;
    return r;
}

void TThmDreamTheme::GetMarginSet(int kind, TThmMargins& margins) {
    TThmStateTheme::GetMarginSet(kind, margins);
}

int TThmDreamTheme::GetIntMetric(int index) {
    switch (index) {
    case tmMenuSeparatorSize: return 7;
    case tmToolbarSeparatorSize: return 5;
    default: return TThmAthenTheme::GetIntMetric(index);
    }
}

// --- pieces -------------------------------------------------------------------------------------

void TThmDreamTheme::PaintBeigeRamp(HDC dc, const RECT& rect, bool vertical) {
    PaintRampGradient(dc, rect, 0xDCD8D0, 0xFFFFFF, vertical);
}

void TThmDreamTheme::PaintTopLeftLine(HDC dc, const RECT& r, TColor color) {
    const POINT p[3] = {{r.left, r.bottom - 2}, {r.left, r.top}, {r.right, r.top}};
    PaintPolyline(dc, p, 2, color);
}

void TThmDreamTheme::PaintYellowFace(HDC dc, const RECT& rect) {
    PaintRampGradient(dc, rect, 0xF0FDFF, 0xD0F8FF, true);
    PaintTopLeftLine(dc, rect, 0xB0D4DF);
}

void TThmDreamTheme::PaintOrangeFace(HDC dc, const RECT& rect) {
    PaintRampGradient(dc, rect, 0x80E0FF, 0x2090E8, true);
    PaintTopLeftLine(dc, rect, 0x60B0E8);
}

void TThmDreamTheme::PaintEmbossedDot(HDC dc, int x, int y) {
    for (POINT p : {POINT{x, y}, POINT{x + 1, y}, POINT{x, y + 1}}) SetPixelV(dc, p.x, p.y, 0xFFFFFF);
    SetPixelV(dc, x + 1, y + 1, 0x000000);
    for (POINT p : {POINT{x + 2, y}, POINT{x + 2, y + 1}, POINT{x, y + 2}, POINT{x + 1, y + 2}, POINT{x + 2, y + 2}})
        SetPixelV(dc, p.x, p.y, 0xB0B0B0);
}

void TThmDreamTheme::PaintRadioRamp(HDC dc, const RECT& d, TColor colorA, TColor colorB, TColor edge) {
    PaintRadioGradient(dc, d, colorA, colorB, false);
    const int n = d.bottom - d.top - 1;
    if (n < 0 || edge == TColor(0xFFFFFF)) return;
    // Row i counts from the bottom; the top row (i = n) takes the edge colour whole.
    for (int i = 0; i <= n; ++i) {
        const int inset = RadioDiscInset(kRadioDiscInsets11, i);
        const int y = d.bottom - i - 1;
        if (i == n)
            PaintRectFill(dc, RECT{d.left + inset, y, d.right - inset, y + 1}, edge);
        else if (d.left + inset < d.right - inset)
            PaintPixel(dc, d.left + inset, y, edge);
    }
}

void TThmDreamTheme::PaintCaptionCloseButton(HDC dc, RECT c, int row, bool) {
    if (row == 4 || row == 3) {
        PaintRectFrame(dc, c, 0x808080, true);
        PaintRectFill(dc, c, row == 4 ? TColor(0xFFFFFF) : TColor(0xC0C0C0));
        PaintSmallCloseCross(dc, c, row == 4 ? TColor(0x000000) : TColor(0xFFFFFF));
        return;
    }
    const auto& colors = States.Item[row == 1 ? 1 : 0];
    PaintRectFrame(dc, c, colors[scFrame], true);
    PaintRectFill(dc, c, colors[scFill]);
    PaintSmallCloseCross(dc, c, 0x000000);
}

void TThmDreamTheme::PaintScrollHotFace(HDC dc, const RECT& inner) { PaintGlossBitmap(dc, inner, 0xF0F0F0, 0xFFFFFF, true); }

TColor TThmDreamTheme::PopupSplitDivider(const TThmItemInfo& item) const {
    return item.HotState == hsSelected ? TColor(0xFFFFFF) : PopupSeparator;
}

// --- backgrounds and frames ---------------------------------------------------------------------

void TThmDreamTheme::PaintViewBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, const RECT& clipRect,
                                         TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if (!RectVisible(dc, &r)) return;
    if (HasOpaqueItems(viewKind) || (viewKind & vkPopup)) {
        PaintRectFill(dc, r, color);
        return;
    }
    // The ramp runs over the whole view, whatever part is repainted.
    TThmClipGuard clip(dc, r);
    PaintBeigeRamp(dc, paintRect, paintRect.right > paintRect.bottom);
}

bool TThmDreamTheme::IsFramedBar(int viewKind) const {
    return ViewKindIs(viewKind, vkToolbarBar) || viewKind == vkToolbar || ViewKindIs(viewKind, vkToolWindow) ||
           ViewKindIs(viewKind, vkMenuBar);
}

void TThmDreamTheme::PaintToolbarGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    if (frame.DragHandleStyle != dhDouble && frame.DragHandleStyle != dhSingle) return;
    const bool twin = frame.DragHandleStyle == dhDouble;
    const bool close = frame.CloseButtonState & cbsShown;
    RECT g = strip;
    if (!frame.Vertical) {
        if (twin) OffsetRect(&g, -2, 0);
        g.top += 4;
        g.bottom -= 2;
        g.left += 1;
        if (close) {
            g.top += size - 2;
            g.left += 4;
        }
        for (int y = g.top; y < g.bottom - 3; y += 4) {
            PaintEmbossedDot(dc, g.left, y);
            if (twin) PaintEmbossedDot(dc, g.left + 4, y);
        }
    } else {
        if (twin) OffsetRect(&g, 0, -2);
        g.left += 4;
        g.right -= 2;
        g.top += 1;
        if (close) {
            g.right -= size - 2;
            g.top += 4;
        }
        for (int x = g.left; x < g.right - 3; x += 4) {
            PaintEmbossedDot(dc, x, g.top);
            if (twin) PaintEmbossedDot(dc, x, g.top + 4);
        }
    }
}

void TThmDreamTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const RECT& r = rect;
    if (IsFramedBar(frame.ViewKind)) {
        if (r.bottom < r.right) {
            PaintBarFace(dc, r, true);
            PaintBarFace(dc, RECT{r.left, r.top + 2, r.right, r.bottom - 2}, true);
        } else {
            PaintBarFace(dc, r, false);
        }
        const POINT edge[4] = {{r.left + 2, r.bottom - 1}, {r.right - 3, r.bottom - 1}, {r.right - 1, r.bottom - 3}, {r.right - 1, r.top}};
        PaintPolyline(dc, edge, 3, EdgeColor);
        const POINT light[6] = {{r.left + 1, r.bottom - 2}, {r.left, r.bottom - 3}, {r.left, r.top + 2},
                                {r.left + 2, r.top},       {r.right - 3, r.top},    {r.right - 1, r.top + 2}};
        PaintPolyline(dc, light, 5, 0xFFFFFF);
        const POINT corners[12] = {{r.left, r.top},          {r.left, r.top + 1},         {r.left + 1, r.top},
                                   {r.right - 1, r.top},     {r.right - 2, r.top},        {r.right - 1, r.top + 1},
                                   {r.left, r.bottom - 1},   {r.left, r.bottom - 2},      {r.left + 1, r.bottom - 1},
                                   {r.right - 1, r.bottom - 2}, {r.right - 2, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
        for (POINT p : corners) PaintPixel(dc, p.x, p.y, 0xE0E0E0);
    }
    if (!frame.AllowDrag) return;
    const int size = GetDragHandleSize(frame);
    const RECT strip = HandleStrip(Deflated(rect, 2, 2), frame, size);
    PaintToolbarGrip(dc, strip, frame, size);
    if (frame.CloseButtonState & cbsShown)
        PaintToolbarCloseButton(dc, ToolbarCloseSquare(strip, !frame.Vertical), CloseButtonRow(frame.CloseButtonState));
}

void TThmDreamTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor bk = canvas.Brush().Color();
    const bool across = frame.CaptionHorizontal;
    PaintPanelBorder(dc, rect, bk, across);
    RECT r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    if (across) {
        r.bottom = r.top + h - 1;
        PaintCaptionFace(dc, RECT{r.left, r.top, r.right, r.bottom + 1}, true);
        PaintLine(dc, r.left, r.bottom, r.right, r.bottom, 0xC0C0C0);
    } else {
        r.right = r.left + h - 1;
        PaintCaptionFace(dc, RECT{r.left, r.top, r.right + 1, r.bottom}, false);
        PaintLine(dc, r.right, r.top, r.right, r.bottom, 0xC0C0C0);
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
    const bool grip = PanelCaptionGrip();
    if (grip) {
        if (across) {
            for (int y = r.top + 2; y < r.bottom - 2 - 1; y += 4) PaintEmbossedDot(dc, r.left + 1, y);
        } else {
            for (int x = r.left + 2; x < r.right - 2 - 1; x += 4) PaintEmbossedDot(dc, x, r.top + 1);
        }
    }
    const int inset = grip ? 9 : 4;
    if (across) {
        r.left += inset;
        r.right -= inset;
    } else {
        r.top += inset;
        r.bottom -= inset;
    }
    PaintPanelCaption(canvas, frame.Caption, r, across);
}

void TThmDreamTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    TThmAthenTheme::PaintPopupFrame(canvas, rect, frame);
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const RECT r = Deflated(rect, 1, 1);
    if (IsEmptyArea(r)) return;
    // The inside's corners, wherever the popup's rectangle starts.
    for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1}, POINT{r.right - 1, r.bottom - 1}})
        PaintPixel(dc, p.x, p.y, PopupBorder);
}

void TThmDreamTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    switch (part) {
    case 0: PaintBeigeRamp(dc, rect, true); break;
    case 1:
    case 2: PaintStatusDivider(dc, rect, part, 0xDCD8D0, 0xFFFFFF); break;
    case 3:
        for (POINT p : {POINT{12, 4}, POINT{8, 4}, POINT{4, 4}, POINT{8, 8}, POINT{4, 8}, POINT{4, 12}})
            PaintEmbossedDot(dc, rect.right - p.x, rect.bottom - p.y);
        break;
    default: break;
    }
}

// --- items --------------------------------------------------------------------------------------

void TThmDreamTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, RECT{rect.left - 1, rect.top, rect.right, rect.bottom});
    const auto [r, lc, rc] = ButtonShape(rect, item, 0);
    const RECT inner = Deflated(r, 1, 1);
    const bool active = IsActiveItem(item);
    if (HasOpaqueItems(item.ViewKind) && !active) {
        if (item.Enabled) {
            PaintRectFill(dc, inner, ToolbarFill);
            PaintCutCornerFrame(dc, r, lc, rc, 0x808080, clNone, 0xA0A0A0);
        } else {
            PaintRectFill(dc, inner, 0xF0F0F0);
            PaintCutCornerFrame(dc, r, lc, rc, 0xF0F0F0, clNone, 0xC0C0C0);
        }
    }
    const bool marked = item.Enabled && (item.Pushed || item.Checked);
    if (ViewKindIs(item.ViewKind, vkMenuBar)) {
        if (!marked && !active) return;
        if (item.Pushed) {
            PaintRectFill(dc, inner, 0xDCD8D0);
            PaintCutCornerFrame(dc, r, lc, rc, 0x808080, clNone, 0x909090);
        } else {
            PaintCutCornerFrame(dc, r, lc, rc, States.Item[4][scFrame], clNone, 0xC0C0C0);
        }
        return;
    }
    if (marked) {
        if (item.Pushed) {
            PaintOctagonOutline(dc, r, 1, 1, 0xD0D0D0);
            PaintGlossBitmap(dc, inner, 0xFFFFFF, 0xC0C0C0, true);
            PaintOctagonOutline(dc, r, lc, rc, 0x909090);
        } else {
            // The lighter outline with cut 1 shows where the darker one cuts two pixels.
            const bool hot = item.HotState != hsNone;
            if (hot)
                PaintOrangeFace(dc, inner);
            else
                PaintYellowFace(dc, inner);
            PaintOctagonOutline(dc, r, 1, 1, 0xA0A0A0);
            PaintTopLeftLine(dc, inner, hot ? TColor(0x60B0E8) : TColor(0xB0D4DF));
            PaintOctagonOutline(dc, r, lc, rc, 0x808080);
        }
    } else if (active || (item.ItemFlags & ifDesigning)) {
        PaintOctagonOutline(dc, r, 1, 1, 0xE0E0E0);
        PaintRectFill(dc, inner, 0xF4F0F0);
        PaintOctagonOutline(dc, r, lc, rc, ButtonStateColor(item, scFrame));
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmDreamTheme::PaintEditButtonFace(HDC dc, const RECT& rect, const TThmItemInfo& item, bool pushed, bool hot) {
    if (pushed || hot) return;
    RECT r = rect;
    if (HasOpaqueItems(item.ViewKind)) PaintRectFill(dc, r, EditButtonLook().RestingFill);
    PaintRectFrame(dc, r, 0xD0D0D0, false);
}

void TThmDreamTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    ++r.left;
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const TEditButtonLook look = EditButtonLook();
    if (button.ButtonKind == 1) {
        const bool pushed = button.ButtonState & 4;
        if (!disabled) {
            if (pushed || hot) {
                if (pushed && look.GlossPushed)
                    PaintGlossBitmap(dc, r, 0xFFFFFF, 0xC0C0C0, true);
                else
                    PaintRectFill(dc, r, pushed ? look.PushedFill : look.HotFill);
                PaintLine(dc, r.left - 1, r.top, r.left - 1, r.bottom, look.Divider);
            } else {
                PaintLine(dc, r.left - 1, r.top + 1, r.left - 1, r.bottom - 1, 0xFFFFFF);
            }
            PaintEditButtonFace(dc, r, item, pushed, hot);
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
                    if (look.GlossPushed)  // the lower half's gloss starts below the shared middle row
                        PaintGlossBitmap(dc, upper ? h : RECT{h.left, h.top + 1, h.right, h.bottom}, 0xFFFFFF, 0xC0C0C0, true);
                    else
                        PaintRampGradient(dc, h, 0xFFFFFF, 0xC0C0C0, true);
                } else if (hot) {
                    PaintRectFill(dc, h, look.SpinHotFill);
                }
                if (look.SpinDividers && (half.Pushed || hot)) {
                    if (upper) {
                        PaintLine(dc, h.left, h.top, h.left, h.bottom, look.Divider);
                    } else {
                        const POINT p[3] = {{h.left, h.bottom - 1}, {h.left, h.top}, {h.right, h.top}};
                        PaintPolyline(dc, p, 2, look.Divider);
                    }
                }
                PaintEditButtonFace(dc, h, half, half.Pushed, hot);
            }
            PaintSpinArrow(dc, h, upper, 0, ItemStateColor(half, scText));
        }
    }
}

void TThmDreamTheme::PaintItemFrameFace(HDC dc, const RECT& rect, const TThmItemInfo& item) {
    PaintItemFrameFill(dc, Deflated(rect, 1, 1));
    PaintOctagonOutline(dc, rect, 1, 1, item.Pushed ? TColor(0x909090) : ItemStateColor(item, scFrame));
}

void TThmDreamTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                    int imageIndex) {
    if (!images) return;
    PaintOfficeItemImage(canvas, rect, item, *images, imageIndex, ColorLuma(GetItemImageBackColor(item)) < 80, 255, false);
}

void TThmDreamTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    const RECT r = ViewKindIs(item.ViewKind, vkToolBoxPopup) ? rect : RECT{rect.left + 1, rect.top, rect.right - 1, rect.bottom};
    PaintItemFrame(canvas, r, item);
}

void TThmDreamTheme::PaintPopupCheckFace(TCanvas& canvas, RECT f, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    f = Deflated(f, 1, 1);
    const auto [shape, lc, rc] = ButtonShape(f, item, 1);
    f = shape;
    if (item.HotState == hsNone && !item.Pushed)
        PaintYellowFace(dc, f);
    else
        PaintOrangeFace(dc, f);
    PaintOctagonOutline(dc, Deflated(f, -1, -1), lc, rc, 0x808080);
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, Deflated(f, -2, -2), item);
}

void TThmDreamTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                        bool lineSeparator) {
    if (!horizontal || (item.ViewKind & vkToolbar)) {
        TThmAthenTheme::PaintItemSeparator(canvas, rect, item, horizontal, lineSeparator);
        return;
    }
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // Dotted every third pixel from 14 pixels into the row, whatever its image column.
    for (int x = rect.left + 14; x < rect.right - 14; x += 3) SetPixelV(dc, x, rect.bottom / 2, 0x909090);
}

void TThmDreamTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool marked = state & 3, hot = state & 0x08, pushed = state & 0x10;
    const TColor hotFrame = States.Item[4][scFrame];
    if (controlKind == 1) {
        const RECT inner = Deflated(rect, 1, 1);
        TColor pen = 0xC0C0C0;
        if (hot) {
            pen = hotFrame;
            if (pushed) {
                PaintRampGradient(dc, inner, 0xFFFFFF, 0xC0C0C0, true);
                pen = 0xC0C0C0;
            } else if (marked) {
                PaintOrangeFace(dc, inner);
            } else {
                PaintRectFill(dc, inner, 0xF4F0F0);
            }
        } else if (marked) {
            PaintYellowFace(dc, inner);
            pen = 0x808080;
        }
        PaintOctagonOutline(dc, rect, 0, 0, pen);
        PaintCheckTickMark(dc, rect, state);
    } else if (controlKind == 2) {
        const RECT d = Deflated(rect, 1, 1);
        const bool checked = state & 1;
        TColor pen = 0xC0C0C0, fill = clNone;
        if (hot && pushed) {
            PaintRadioRamp(dc, d, 0xFFFFFF, 0xC0C0C0, 0xFFFFFF);
        } else if (hot && checked) {
            PaintRadioRamp(dc, d, 0x80E0FF, 0x2090E8, 0x60B0E8);
            pen = 0x808080;
        } else if (hot) {
            fill = 0xF4F0F0;
            pen = hotFrame;
        } else if (checked) {
            PaintRadioRamp(dc, d, 0xF0FDFF, 0xD0F8FF, 0xB0D4DF);
            pen = 0x808080;
        }
        PaintRadioOutline(dc, rect, pen, fill);
        PaintRadioDot(dc, rect, state);
    }
}

}  // namespace themes
