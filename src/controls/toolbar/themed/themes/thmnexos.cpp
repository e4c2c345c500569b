// The Nexos family's colours, metrics and item painters (frames, grips, check controls and the
// status bar: thmnexos_frames.cpp).
#include "controls/toolbar/themed/themes/thmnexos.h"

#include <algorithm>

#include "classlib/imagelist.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmNexosTheme::TThmNexosTheme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmTheme(std::move(name)), Options(options), FGlyphs(std::move(glyphs)) {}

// --- colours ------------------------------------------------------------------------------------

void TThmNexosTheme::SetRow(TColor (&row)[3], TColor fill, TColor text, TColor frame) {
    row[scFill] = fill;
    row[scText] = text;
    row[scFrame] = frame;
}

void TThmNexosTheme::RebuildColorCache() {
    // The light accent and the hot fill come from the accent as set; the rest of the table from
    // the accent the theme derives from it (the two differ only where a theme says so).
    const TColor option = Options.BaseColor;
    LightBaseColor = ColorBlendPercent(option, 0xFFFFFF, 80);
    LightColor = 0xFFFFFF;
    GripFaceColor = 0xC0C0C0;
    GripDarkColor = 0x808080;
    GripLightColor = 0xFFFFFF;

    const TPalette palette = Palette();
    MenuBarFill = palette.MenuBarFill;
    ToolbarFill = palette.ToolbarFill;
    PopupFill = palette.PopupFill;
    DockPanelFill = palette.DockPanelFill;
    PopupBorder = 0xC0C0C0;
    EdgeColor = palette.EdgeColor;
    EditFrame = ColorBlendPercent(0xC0C0C0, 0xFFFFFF, 80);
    const TColor hotFill = Contrasted(ColorBlendPercent(option, 0xFFFFFF, 80), ToolbarFill, 50);
    const TColor dimText = ColorBlendPercent(clBtnShadow, clWindow, 90);
    BaseColor = DerivedBaseColor();
    const TColor base = BaseColor;

    const TColor border = ColorBlendPercent(0x808080, 0xFFFFFF, 80);
    SetRow(FloatingColors[kToolbarActive], border, 0xC0C0C0, Contrasted(0xFFFFFF, 0x808080, 180));
    SetRow(FloatingColors[kToolbarInactive], border, base, Contrasted(0xC0C0C0, 0xC0C0C0, 120));
    SetRow(FloatingColors[kPanelActive], border, 0xC0C0C0, FloatingColors[kToolbarActive][kCaptionText]);
    SetRow(FloatingColors[kPanelInactive], 0x808080, 0xC0C0C0, Contrasted(0xC0C0C0, 0x808080, 120));

    auto& item = States.Item;
    auto& popup = States.Popup;
    const TColor normalText = Contrasted(0x000000, ToolbarFill, 180);
    SetRow(item[0], clNone, normalText, clNone);
    SetRow(item[1], 0xFFFFFF, Contrasted(ColorBlendPercent(0x808080, 0xFFFFFF, 70), ToolbarFill, 80),
           ColorBlendPercent(0xC0C0C0, 0xFFFFFF, 50));
    SetRow(item[2], Contrasted(0xC0C0C0, ToolbarFill, 5), normalText, ColorBlendPercent(0xC0C0C0, 0xFFFFFF, 50));
    SetRow(item[3], ColorBlendPercent(base, 0xFFFFFF, 80), 0x000000, base);
    SetRow(item[4], hotFill, 0xFFFFFF, Contrasted(ColorBlendPercent(base, 0xFFFFFF, 80), ToolbarFill, 100));
    SetRow(item[5], hotFill, dimText, clNone);
    const TColor checkedHot = Contrasted(ColorBlendPercent(base, 0xFFFFFF, 25), ToolbarFill, 30);
    SetRow(item[6], checkedHot, 0x000000, Contrasted(ColorBlendPercent(base, 0xFFFFFF, 25), checkedHot, 100));
    SetRow(item[7], ColorBlendPercent(base, 0xFFFFFF, 80), 0x000000, base);
    SetRow(popup[0], clNone, Contrasted(0x000000, PopupFill, 180), clNone);
    SetRow(popup[1], clNone, Contrasted(ColorBlendPercent(0x808080, 0xFFFFFF, 70), PopupFill, 80), clNone);
    SetRow(popup[2], base, 0xFFFFFF, item[4][scFrame]);
    SetRow(popup[3], PopupFill, ColorBlendPercent(0x808080, 0xFFFFFF, 50), clNone);
    SplitDivider = StatusDivider = 0x000000;

    AdjustColors();

    // Only colours the screen can show; the unit colours stay as computed.
    SnapToScreen({&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder, &SplitDivider, &StatusDivider});
    if (SnapsEdgeColors()) SnapToScreen({&EdgeColor, &EditFrame});
}

void TThmNexosTheme::SnapToScreen(std::initializer_list<TColor*> fields) {
    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c)));
    };
    for (TColor* c : fields) snap(*c);
    for (auto& row : FloatingColors)
        for (TColor& c : row) snap(c);
    States.SnapToScreen();
}

POINT TThmNexosTheme::GetItemImageShift(TCanvas&, const TThmItemInfo& item, TImageList*) {
    return FloatingImageShift(item);
}

TColor TThmNexosTheme::GetItemFillColor(const TThmItemInfo& item) {
    const TColor c = ItemStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

TColor TThmNexosTheme::GetItemTextColor(const TThmItemInfo& item) { return ItemStateColor(item, scText); }

TColor TThmNexosTheme::GetItemImageBackColor(const TThmItemInfo& item) {
    const TColor c = ButtonStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

void TThmNexosTheme::GetMarginSet(int kind, TThmMargins& margins) {
    switch (kind) {
    case mkToolbarButton: margins = {2, 2, 2, 2}; break;
    case mkPopupItem: margins = {1, 1, 3, 3}; break;
    case mkEditBox: margins = {3, 3, 1, 1}; break;
    default: margins = {0, 0, 0, 0}; break;
    }
}

int TThmNexosTheme::GetShadowKind() { return 3; }

void TThmNexosTheme::GetViewBorderSize(int viewKind, POINT& size) {
    const bool framed = (viewKind & vkToolbar) || (viewKind & vkDockPanel);
    if (framed && (viewKind & vkFloating)) {
        if (viewKind & vkResizable)
            size = {GetSystemMetrics(SM_CXSIZEFRAME) - 1, GetSystemMetrics(SM_CYSIZEFRAME) - 1};
        else
            size = {GetSystemMetrics(SM_CXFIXEDFRAME) - 1, GetSystemMetrics(SM_CYFIXEDFRAME) - 1};
    } else if (framed || (viewKind & vkPopup)) {
        size = {2, 2};
    } else {
        size = {0, 0};
    }
}

TColor TThmNexosTheme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkMenuBar)) return MenuBarFill;
    if (viewKind & vkToolbar) return ToolbarFill;
    if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
    if (viewKind & vkPopup) return PopupFill;
    if (viewKind & vkDockPanel) return DockPanelFill;
    return clBtnFace;
}

void TThmNexosTheme::GetViewPadding(int, TThmMargins& padding) { padding = {0, 0, 0, 0}; }

int TThmNexosTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmDropArrowWidth: return 8;
    case tmDropArrowMargin:
    case tmMenuImageGap:
    case tmMenuCaptionGap:
    case tmMenuCaptionEndGap:
    case tmMenuSeparatorSize: return 3;
    case tmMDIButtonNarrower:
    case tmMDIButtonLower:
    case tmSpareSize61:
    case tmSpareSize62: return 2;
    case tmToolbarSeparatorSize: return 5;
    case tmEditFrameInset:
    case tmSpareSize66: return 1;
    case tmSpareSize65: return 14;
    default: return -1;
    }
}

bool TThmNexosTheme::GetBoolMetric(int index) {
    return index == tbPaintDockBackground || index == tbSolidToolbarNCArea || index == tbSolidToolbarClientArea;
}

// --- backgrounds --------------------------------------------------------------------------------

TThmNexosTheme::TStripes TThmNexosTheme::StripeRows(HDC dc, TColor color) const {
    const int luma = ColorLuma(color);
    const int k = luma < 200 ? (200 - luma) / 20 : 0;
    TStripes s;
    s.Rows = {static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, -8)))),
              static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorShiftLevel(color, k + 8)))), clNone};
    s.Period = 3;
    return s;
}

void TThmNexosTheme::PaintViewBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, const RECT& clipRect,
                                         TColor color, bool transparent, int viewKind) {
    if (transparent || color == clNone) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if (!RectVisible(dc, &r)) return;
    if (ViewKindIs(viewKind, vkDockPanelDocked) || HasOpaqueItems(viewKind)) {
        PaintRectFill(dc, r, color);
        return;
    }
    // The stripes stay aligned to the top of the whole view, whatever part is repainted.
    const TStripes stripes = StripeRows(dc, color);
    PaintStripedFill(dc, r, paintRect.top, color, stripes.Span());
}

void TThmNexosTheme::StripedFill(TCanvas& canvas, const RECT& rect, TColor color) {
    PaintViewBackground(canvas, RECT{}, rect, rect, color, false, 0);
}

void TThmNexosTheme::StripedFillLifted(TCanvas& canvas, const RECT& rect, int lift, TColor color) {
    const RECT aligned{rect.left, rect.top - lift, rect.right, rect.bottom};
    PaintViewBackground(canvas, RECT{}, aligned, rect, color, false, 0);
}

void TThmNexosTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    PaintRectFill(canvas.Handle(), paintRect, DockBackgroundColor());
}

// --- items --------------------------------------------------------------------------------------

TColor TThmNexosTheme::OpaqueOutlineColor(bool enabled) const {
    return ColorBlendPercent(clHighlight, clWindow, enabled ? 20 : 15);
}

void TThmNexosTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    // Inside the rectangle, and the one column left of it that a split arrow part takes.
    TThmClipGuard clip(dc, RECT{rect.left - 1, rect.top, rect.right, rect.bottom});
    RECT r = rect;
    int lc = 2, rc = 2;
    if (item.SplitPart == spSplitArrow) {
        --r.left;  // the arrow part joins the button part
        lc = 1;
    } else if (item.SplitPart == spSplitButton) {
        rc = 1;
    }
    if (!(item.ItemFlags & ifToolbarStyle)) lc = rc = 1;
    const bool active = IsActiveItem(item);
    if (HasOpaqueItems(item.ViewKind) && !active) {
        if (item.Enabled) PaintRectFill(dc, Deflated(r, 1, 1), ToolbarFill);
        PaintOctagonOutline(dc, r, lc, rc, OpaqueOutlineColor(item.Enabled));
    }
    if (ViewKindIs(item.ViewKind, vkMenuBar) && !Options.MenuBarItemsAsButtons) {
        if (((item.Pushed || item.Checked) && item.Enabled) || active) StripedFill(canvas, rect, States.Popup[2][scFill]);
        return;
    }
    PaintButtonFace(dc, r, lc, rc, item);
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

TColor TThmNexosTheme::CaptionColor(const TThmItemInfo& item, TColor font) const {
    if (ViewKindIs(item.ViewKind, vkMenuBar) && item.HotState != hsNone && !Options.MenuBarItemsAsButtons)
        return States.Popup[2][scText];
    if (font != clNone) return font;
    if (item.SplitPart == spSplitButton && item.PopupOpen) return 0x000000;
    return ItemStateColor(item, scText);
}

void TThmNexosTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                      const std::wstring& caption, UINT format, bool rotated) {
    DrawThemeCaption(canvas, caption, rect, format, CaptionColor(item, canvas.Font().Color()), rotated);
}

TColor TThmNexosTheme::CheckGlyphHotColor(const TThmItemInfo&) const { return 0x000000; }

void TThmNexosTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor c = !item.Enabled ? States.Popup[1][scText]
                     : item.HotState != hsNone ? CheckGlyphHotColor(item)
                                               : 0x000000;
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    const POINT tick[7] = {{cx - 4, cy - 1}, {cx - 2, cy + 1}, {cx + 2, cy - 3}, {cx + 2, cy - 2},
                           {cx - 2, cy + 2}, {cx - 4, cy},     {cx - 4, cy - 1}};
    PaintPolyline(dc, tick, 6, c);
}

void TThmNexosTheme::PaintChevronButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintItemButton(canvas, rect, item);
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // A horizontal bar's chevron sits on rows 4 to 8 of the item, wherever its rectangle starts.
    if (item.Vertical)
        PaintChevronAt(dc, rect.right - 9, rect.top + 2, true, ItemStateColor(item, scText));
    else
        PaintChevronAt(dc, rect.left + 2, 4, false, ItemStateColor(item, scText));
}

void TThmNexosTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                  const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int m = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, m, m);
    const int w = editBox.RightButtonWidth;
    if (w > 0) r.right -= w - 2;
    const TColor frame = item.HotState != hsNone ? 0xFFFFFF : item.Enabled ? EditFrame : States.Item[1][scFrame];
    PaintRectFrame(dc, r, frame, true);
    if (item.Enabled) PaintRectFill(dc, r, 0xFFFFFF);
    if (w > 0) {
        RECT b = Deflated(rect, m, m);
        b.left = b.right - w;
        PaintEditBoxButton(canvas, b, item, editBox.RightButton);
    }
}

TColor TThmNexosTheme::DropArrowPairColor(const TThmItemInfo& item) const { return ItemStateColor(item, scText); }

void TThmNexosTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    if (item.SplitPart == spPlain || item.SplitPart == spWithArrow) {
        const TColor c = DropArrowPairColor(item);
        if (item.Vertical) {
            const POINT left[3] = {{cx - 1, cy + 2}, {cx - 1, cy - 2}, {cx - 3, cy}};
            const POINT right[3] = {{cx + 2, cy + 2}, {cx + 2, cy - 2}, {cx + 4, cy}};
            PaintPolygon(dc, left, 2, c, c);
            PaintPolygon(dc, right, 2, c, c);
        } else {
            const POINT down[3] = {{cx - 2, cy + 1}, {cx + 2, cy + 1}, {cx, cy + 3}};
            const POINT up[3] = {{cx - 2, cy - 2}, {cx + 2, cy - 2}, {cx, cy - 4}};
            PaintPolygon(dc, down, 2, c, c);
            PaintPolygon(dc, up, 2, c, c);
        }
    } else if (item.SplitPart == spSplitButton || item.SplitPart == spSplitArrow) {
        const TColor c = ItemStateColor(item, scText);
        if (item.Vertical) {
            const POINT left[3] = {{cx, cy + 1}, {cx, cy - 3}, {cx - 2, cy - 1}};
            PaintPolygon(dc, left, 2, c, c);
        } else {
            const POINT down[3] = {{cx - 2, cy - 1}, {cx + 2, cy - 1}, {cx, cy + 1}};
            PaintPolygon(dc, down, 2, c, c);
        }
    }
}

TColor TThmNexosTheme::ItemFramePen(const TThmItemInfo& item) const {
    return item.Pushed ? States.Item[2][scFrame] : ItemStateColor(item, scFrame);
}

void TThmNexosTheme::PaintItemFrameFace(HDC dc, const RECT& rect, const TThmItemInfo& item) {
    PaintGlossBitmap(dc, Deflated(rect, 1, 1), ItemStateColor(item, scFill), LightColor, true);
    PaintOctagonOutline(dc, rect, 1, 1, ItemFramePen(item));
}

void TThmNexosTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    if (!item.Enabled && item.HotState != hsKeyboardSelected) {
        RECT r = Deflated(rect, 1, 1);
        PaintRectFrame(dc, r, ToolbarFill, false);
        return;
    }
    if (item.Pushed || item.Checked || item.HotState != hsNone || (item.ItemFlags & ifDesigning))
        PaintItemFrameFace(dc, rect, item);
}

void TThmNexosTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                    int imageIndex) {
    if (!images) return;
    PaintOfficeItemImage(canvas, rect, item, *images, imageIndex, ColorLuma(GetItemImageBackColor(item)) < 80, 255);
}

void TThmNexosTheme::PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                           int buttonKind) {
    PaintItemButton(canvas, rect, item);
    const int cell = TThmGlyphList::CellForMDIButton(buttonKind);
    if (cell < 0) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintMonoGlyph(dc, (rect.left + rect.right - Glyphs().Width()) / 2, (rect.top + rect.bottom - Glyphs().Height()) / 2,
                   Glyphs(), cell, ItemStateColor(item, scText));
}

void TThmNexosTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (IsActiveItem(item)) StripedFill(canvas, rect, States.Popup[2][scFill]);
}

RECT TThmNexosTheme::PopupHighlightRect(const RECT& rect, const TThmItemInfo&) { return rect; }

void TThmNexosTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int c = GetSystemMetrics(SM_CXMENUCHECK);
    PaintPopupItemFrame(canvas, PopupHighlightRect(rect, item), item);
    const TColor text = ItemStateColor(item, scText);
    if (item.ItemFlags & ifSplitItem) {
        const int x = rect.right - c - 1;
        const TColor pen = !item.Enabled ? text : item.HotState == hsSelected ? PopupSplitHotColor() : SplitDivider;
        PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, pen);
    }
    if (item.ItemFlags & ifSubmenu) PaintSubmenuArrow(dc, rect.right - (2 * c) / 3 - 1, rect.bottom / 2, text);
    if (item.Checked && item.Enabled)
        PaintPopupCheckFace(dc, RECT{rect.left + 1, rect.top, rect.left + 1 + item.ImageColumnWidth, rect.bottom}, item);
}

void TThmNexosTheme::PaintScrollHotFace(HDC dc, const RECT& inner) {
    PaintGlossBitmap(dc, inner, LightBaseColor, LightColor, true);
}

void TThmNexosTheme::PaintScrollFace(HDC dc, const RECT& rect, bool hot) {
    const RECT inner = Deflated(rect, 1, 1);
    TColor pen;
    if (hot) {
        PaintScrollHotFace(dc, inner);
        pen = BaseColor;
    } else {
        PaintRectFill(dc, inner, ToolbarFill);
        pen = ColorMixNearest(0xFFFFFF, 0x808080, 64);
    }
    PaintOctagonOutline(dc, rect, 1, 1, pen);
    if (!IsEmptyArea(rect)) {
        const COLORREF corner = 0xC0C0C0;
        SetPixelV(dc, rect.left, rect.top, corner);
        SetPixelV(dc, rect.right - 1, rect.top, corner);
        SetPixelV(dc, rect.right - 1, rect.bottom - 1, corner);
        SetPixelV(dc, rect.left, rect.bottom - 1, corner);
    }
}

void TThmNexosTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintScrollFace(dc, rect, hot);
    PaintScrollArrow(dc, rect, direction, ScrollArrowColor(hot));
}

void TThmNexosTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    PaintJoinedPopupFrame(canvas.Handle(), rect, frame.ParentRect, PopupBorder, PopupFill, ToolbarFill);
}

void TThmNexosTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                        bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // Dotted, every third pixel, at half the rectangle's bottom (or right) coordinate.
    if (horizontal) {
        for (int x = rect.left; x < rect.right; x += 3) SetPixelV(dc, x, rect.bottom / 2, 0x000000);
    } else if (item.Enabled) {
        for (int y = rect.top; y < rect.bottom; y += 3) SetPixelV(dc, rect.right / 2, y, 0x000000);
    }
}

}  // namespace themes
