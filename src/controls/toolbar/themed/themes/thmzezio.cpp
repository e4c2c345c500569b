#include "controls/toolbar/themed/themes/thmzezio.h"

#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmZezioTheme::TThmZezioTheme(std::wstring name)
    : TThmMirandaTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmZezioTheme>()) {
    PopupItemMargins = {1, 1, 3, 3};
}

std::unique_ptr<TThmTheme> CreateZezioTheme(const std::wstring& name) { return std::make_unique<TThmZezioTheme>(name); }

void TThmZezioTheme::RebuildColorCache() {
    TThmMirandaTheme::RebuildColorCache();
    HDC dc = NearestColorBitmap().Canvas().Handle();
    SplitDivider = StatusDivider = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(clBtnText)));
}

int TThmZezioTheme::GetIntMetric(int index) {
    return index == tmMenuSeparatorSize ? 3 : TThmMirandaTheme::GetIntMetric(index);
}

void TThmZezioTheme::PaintViewBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, const RECT& clipRect,
                                         TColor color, bool transparent, int viewKind) {
    RECT r{};
    if (transparent || color == clNone || !IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if (ViewKindIs(viewKind, vkDockPanelDocked) || HasOpaqueItems(viewKind)) {
        PaintRectFill(dc, r, color);
        return;
    }
    const int luma = ColorLuma(color);
    const int lift = luma < 200 ? (200 - luma) / 20 : 0;
    const TColor stripes[3] = {static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, -8)))),
                               static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, 8 + lift)))),
                               clNone};
    PaintStripedFill(dc, r, paintRect.top, color, stripes);
}

void TThmZezioTheme::PaintPopupCheckFace(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    const TButtonOutline outline = ButtonOutline(rect, item, 2, 2);
    const RECT& r = outline.Rect;
    const int leftCut = outline.LeftCut, rightCut = outline.RightCut;
    if (HasOpaqueItems(item.ViewKind) && item.HotState == hsNone) {
        PaintRectFill(dc, Deflated(r, 1, 1), ToolbarFill);
        PaintOutline(dc, r, leftCut, rightCut, ColorBlendPercent(clHighlight, clWindow, 20), clNone);
    }
    if (ViewKindIs(item.ViewKind, vkMenuBar)) {
        PaintHighlightBar(canvas, rect);
        return;
    }
    const RECT face = Deflated(r, 1, 1);
    if (item.Pushed || item.HotState != hsNone) {
        PaintFace(dc, face, clBtnHighlight, clBtnFace);
        PaintOutline(dc, r, leftCut, rightCut, ButtonStateColor(item, scFrame), clNone);
    } else {
        PaintFace(dc, face, clBtnFace, clBtnHighlight);
        PaintOutline(dc, r, leftCut, rightCut, clBtnShadow, ColorBlendPercent(clBtnShadow, clBtnFace, 50));
        PaintLine(dc, r.left + leftCut, r.top + 1, r.right - rightCut, r.top + 1,
                  ColorBlendPercent(clBtnShadow, clBtnFace, 25));
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmZezioTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    RECT r = rect;
    // The highlight starts right of the image column.
    if (item.ImageWidth > 0 || item.Checked) r.left += GetIntMetric(tmMenuImageGap) + item.ImageColumnWidth;
    PaintPopupItemFrame(canvas, r, item);
    const TColor text = ItemStateColor(item, scText);
    if (item.ItemFlags & ifSplitItem) {
        const int x = rect.right - m - 1;
        const TColor c = !item.Enabled ? text : item.HotState == hsSelected ? 0xFFFFFF : SplitDivider;
        PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, c);
    }
    if (item.ItemFlags & ifSubmenu) PaintSubmenuArrow(dc, rect.right - (2 * m) / 3 - 1, rect.bottom / 2, text);
    if (item.Checked && item.Enabled)
        PaintPopupCheckFace(canvas, RECT{rect.left + 1, rect.top, rect.left + 1 + item.ImageColumnWidth, rect.bottom},
                            item);
}

void TThmZezioTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                        bool) {
    if (!item.Enabled) return;
    HDC dc = canvas.Handle();
    if (horizontal) {
        const int y = rect.bottom / 2;
        if (y >= rect.top && y < rect.bottom)
            for (int x = rect.left; x < rect.right; x += 3) PaintPixel(dc, x, y, 0x000000);
    } else {
        const int x = rect.right / 2;
        if (x >= rect.left && x < rect.right)
            for (int y = rect.top; y < rect.bottom; y += 3) PaintPixel(dc, x, y, 0x000000);
    }
}

void TThmZezioTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    if (part != 1 && part != 2) {
        TThmMirandaTheme::PaintStatusBarPart(canvas, rect, part);
        return;
    }
    // Dotted; the divider of the last panel lies just right of it, on the grip's side.
    const int x = part == 1 ? rect.right - 3 : rect.right;
    if (rect.right <= rect.left || x < rect.left) return;
    for (int y = rect.top; y < rect.bottom - 1; y += 3) PaintPixel(canvas.Handle(), x, y, StatusDivider);
}

}  // namespace themes
