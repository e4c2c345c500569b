#include "controls/toolbar/themed/themes/thmxito.h"

#include "controls/toolbar/themed/thmregistry.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmXitoTheme::TThmXitoTheme(std::wstring name)
    : TThmDreamTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmXitoTheme>()) {}

std::unique_ptr<TThmTheme> CreateXitoTheme(const std::wstring& name) { return std::make_unique<TThmXitoTheme>(name); }

TThmXitoTheme::TRecipe TThmXitoTheme::Recipe() const {
    TRecipe r;
    r.FrameGrey = ColorMixNearest(clBtnShadow, clBtnFace, 48);
    r.Edge = 0xB0B0B0;
    r.CheckedFrame = 0xC0C0C0;
    r.HotFrame = 0xA0A0A0;
    r.PopupSeparator = 0x909090;
    return r;
}

void TThmXitoTheme::PaintLightGloss(HDC dc, const RECT& rect, bool vertical) {
    PaintGlossBitmap(dc, rect, 0xF0F0F0, 0xFFFFFF, vertical);
}

void TThmXitoTheme::PaintCaptionFace(HDC dc, const RECT& rect, bool vertical) {
    PaintGlossBitmap(dc, rect, 0xF0F0F0, LightColor, vertical);
}

bool TThmXitoTheme::IsFramedBar(int viewKind) const {
    return ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkToolWindow) || ViewKindIs(viewKind, vkMenuBar);
}

void TThmXitoTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                        const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    const bool glossed = (ViewKindIs(viewKind, vkToolbarBar) && !(viewKind & vkOpaqueItems)) ||
                         ViewKindIs(viewKind, vkToolWindow) || ViewKindIs(viewKind, vkMenuBar);
    if (!glossed) {
        PaintRectFill(dc, r, color);
        return;
    }
    // The gloss runs over the whole view, whatever part is repainted.
    TThmClipGuard clip(dc, r);
    PaintLightGloss(dc, paintRect, BarBackgroundRunsAcross(outerRect, paintRect, paintRect));
}

void TThmXitoTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, RECT{rect.left - 1, rect.top, rect.right, rect.bottom});
    const auto [r, lc, rc] = ButtonShape(rect, item, 0);
    const RECT inner = Deflated(r, 1, 1);
    const bool active = IsActiveItem(item);
    if (HasOpaqueItems(item.ViewKind) && !active) {
        if (item.Enabled) PaintRectFill(dc, inner, ToolbarFill);
        PaintOctagonOutline(dc, r, lc, rc, ColorBlendPercent(clHighlight, clWindow, item.Enabled ? 20 : 15));
    }
    const bool marked = item.Enabled && (item.Pushed || item.Checked);
    if (ViewKindIs(item.ViewKind, vkMenuBar)) {
        if (!marked && !active) return;
        if (item.Pushed) {
            PaintRectFill(dc, inner, 0xD0D0D0);
            PaintOctagonOutline(dc, r, 1, 1, 0x808080);
        } else {
            PaintOctagonOutline(dc, r, 1, 1, States.Item[4][scFrame]);
        }
        return;
    }
    // A face inside an outline whose corners a lighter outline with cut 1 softens.
    auto softened = [&](TColor fill, TColor outline) {
        PaintOctagonOutline(dc, r, 1, 1, 0xD0D0D0);
        PaintRectFill(dc, inner, fill);
        PaintOctagonOutline(dc, r, lc, rc, outline);
    };
    if (marked) {
        if (item.Checked && !item.Pushed && item.HotState == hsNone) {
            PaintRectFill(dc, inner, 0xD8D8D8);
            PaintTopLeftLine(dc, inner, 0xB8B8B8);
            PaintOctagonOutline(dc, r, lc, rc, 0xF8F8F8);
        } else if (item.Checked && !item.Pushed) {
            softened(0xD0D0D0, 0x808080);
        } else {
            softened(0xC0C0C0, 0x909090);
        }
    } else if (active || (item.ItemFlags & ifDesigning)) {
        PaintOctagonOutline(dc, r, 1, 1, 0xE0E0E0);
        PaintRectFill(dc, inner, 0xE0E0E0);
        PaintOctagonOutline(dc, r, lc, rc, ButtonStateColor(item, scFrame));
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmXitoTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    TThmAthenTheme::PaintPopupItemFrame(canvas, rect, item);
}

void TThmXitoTheme::PaintPopupCheckFace(TCanvas& canvas, RECT f, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    f = Deflated(f, 1, 1);
    if (item.SplitPart == spSplitArrow) --f.left;
    if (item.HotState == hsNone && !item.Pushed) {
        PaintRectFill(dc, f, 0xD8D8D8);
        PaintTopLeftLine(dc, f, 0xB8B8B8);
        const POINT shade[3] = {{f.left, f.bottom - 1}, {f.right - 1, f.bottom - 1}, {f.right - 1, f.top}};
        PaintPolyline(dc, shade, 2, 0xC4C4C4);
        PaintOctagonOutline(dc, Deflated(f, -1, -1), 2, 2, 0xFFFFFF);
    } else {
        PaintRectFill(dc, f, 0xD0D0D0);
        PaintOctagonOutline(dc, Deflated(f, -1, -1), 2, 2, 0x909090);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, Deflated(f, -2, -2), item);
}

void TThmXitoTheme::PaintToolbarGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    PaintGripLines(dc, strip, frame, size, 0xA0A0A0, 0xA0A0A0);
}

void TThmXitoTheme::PaintToolbarCloseButton(HDC dc, const RECT& square, int row) {
    RECT c = square;
    const auto& colors = States.Item[row];
    PaintRectFrame(dc, c, colors[scFrame], true);
    PaintRectFill(dc, c, colors[scFill]);
    PaintSmallCloseCross(dc, c, colors[scText]);
}

void TThmXitoTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool marked = state & 3, hot = state & 0x08, pushed = state & 0x10;
    const TColor hotFrame = States.Item[4][scFrame];
    if (controlKind == 1) {
        const RECT inner = Deflated(rect, 1, 1);
        TColor pen = 0xC0C0C0;
        if (hot && pushed) {
            PaintGlossBitmap(dc, inner, 0xFFFFFF, 0xC0C0C0, true);
        } else if (hot) {
            if (marked)
                PaintGlossBitmap(dc, inner, 0xC0C0C0, 0xFFFFFF, true);
            else
                PaintLightGloss(dc, inner, true);
            pen = hotFrame;
        } else if (marked) {
            PaintGlossBitmap(dc, inner, 0xD0D0D0, 0xFFFFFF, true);
        }
        PaintOctagonOutline(dc, rect, 1, 1, pen);
        PaintCheckTickMark(dc, rect, state);
    } else if (controlKind == 2) {
        const RECT d = Deflated(rect, 1, 1);
        TColor pen = 0xC0C0C0;
        if (hot && pushed) {
            PaintRadioGradient(dc, d, 0xFFFFFF, 0xC0C0C0, !marked);
        } else if (hot) {
            PaintRadioGradient(dc, d, marked ? TColor(0xC0C0C0) : TColor(0xF0F0F0), 0xFFFFFF, true);
            pen = hotFrame;
        } else if (marked) {
            PaintRadioGradient(dc, d, 0xD0D0D0, 0xFFFFFF, true);
        }
        PaintRadioOutline(dc, rect, pen, clNone);
        PaintRadioDot(dc, rect, state);
    }
}

void TThmXitoTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    if (part != 0) {
        TThmAthenTheme::PaintStatusBarPart(canvas, rect, part);
        return;
    }
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintLightGloss(dc, rect, true);
}

}  // namespace themes
