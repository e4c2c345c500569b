#include "controls/toolbar/themed/themes/thmtristan.h"

#include <algorithm>

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

constexpr TColor kWhite = 0xFFFFFF;

void SetRow(TColor (&row)[3], TColor fill, TColor text, TColor frame) {
    row[scFill] = fill;
    row[scText] = text;
    row[scFrame] = frame;
}

bool InToolbarFamily(int viewKind) { return viewKind & vkToolbar; }
bool InPopupFamily(int viewKind) { return viewKind & vkPopup; }

}  // namespace

TThmTristanTheme::TThmTristanTheme(std::wstring name)
    : TThmTristanTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmTristanTheme>()) {}

TThmTristanTheme::TThmTristanTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmStateTheme(std::move(name), std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateTristanTheme(const std::wstring& name) {
    return std::make_unique<TThmTristanTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmTristanTheme::SetBaseColors() {
    ShadeColor = ColorMixNearest(clBtnShadow, clBtnFace, 48);
    LightColor = kWhite;
    GripFaceColor = clBtnFace;
    GripDarkColor = 0x808080;
    GripLightColor = kWhite;
    EdgeColor = ColorMixNearest(clBtnShadow, ShadeColor, 64);
}

void TThmTristanTheme::BuildBlendedColors() {
    MenuBarFill = clBtnFace;
    ToolbarFill = LightColor;
    PopupFill = DockPanelFill = clWindow;
    PopupBorder = Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 20), PopupFill, 100);
    const TColor hotFill = Contrasted(ColorBlendPercent(clHighlight, clWindow, 30), ToolbarFill, 50);
    const TColor dimText = ColorBlendPercent(clBtnShadow, clWindow, 90);
    FloatingToolbarBorder[0] = FloatingToolbarBorder[1] =
        Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 15), ToolbarFill, 120);
    FloatingToolbarCaptionText[0] = Contrasted(clBtnText, clBtnShadow, 180);
    FloatingToolbarCaptionText[1] = Contrasted(dimText, clBtnFace, 120);
    FloatingPanelBorder[0] = FloatingPanelBorder[1] = clBtnShadow;
    FloatingPanelCaptionText[0] = clBtnText;
    FloatingPanelCaptionText[1] = Contrasted(dimText, clBtnFace, 120);

    auto& item = States.Item;
    const TColor normalText = Contrasted(clBtnText, ToolbarFill, 180);
    const TColor halfHighlight = ColorBlendPercent(clHighlight, clWindow, 50);
    SetRow(item[0], clNone, normalText, clNone);
    SetRow(item[1], clNone, Contrasted(dimText, ToolbarFill, 80), clNone);
    SetRow(item[2],
           Contrasted(ColorBlendPercent(clHighlight, ColorBlendPercent(clBtnFace, clWindow, 50), 10), ToolbarFill, 5),
           normalText, halfHighlight);
    SetRow(item[3], halfHighlight, halfHighlight, ColorBlendPercent(clHighlight, clWindow, 30));
    SetRow(item[4], hotFill, clMenuText, Contrasted(halfHighlight, ToolbarFill, 100));
    SetRow(item[5], hotFill, dimText, clHighlight);
    const TColor checkedHotFill = Contrasted(halfHighlight, ToolbarFill, 30);
    SetRow(item[6], checkedHotFill, Contrasted(clHighlightText, checkedHotFill, 180),
           Contrasted(halfHighlight, checkedHotFill, 100));
    SetRow(item[7], ToolbarFill, normalText, PopupBorder);

    auto& popup = States.Popup;
    const TColor grayText = ColorBlendPercent(clGrayText, clWindow, 70);
    SetRow(popup[0], clNone, Contrasted(clWindowText, PopupFill, 180), clNone);
    SetRow(popup[1], clNone, Contrasted(grayText, PopupFill, 80), clNone);
    SetRow(popup[2], item[4][scFill], item[4][scText], item[4][scFrame]);
    SetRow(popup[3], PopupFill, grayText, clHighlight);
    ToolbarSeparator = PopupSeparator = Contrasted(ColorBlendPercent(clBtnShadow, clWindow, 70), ToolbarFill, 50);
}

void TThmTristanTheme::SnapColorCache() {
    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c)));
    };
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder, &PopupSeparator,
                      &ToolbarSeparator})
        snap(*c);
    for (int k = 0; k < 2; ++k)
        for (TColor* c : {&FloatingToolbarBorder[k], &FloatingToolbarCaptionText[k], &FloatingPanelBorder[k],
                          &FloatingPanelCaptionText[k]})
            snap(*c);
    States.SnapToScreen();
}

void TThmTristanTheme::RebuildColorCache() {
    SetBaseColors();
    if (!IsLowColorDisplay) {
        BuildBlendedColors();
        SnapColorCache();
        return;
    }
    // A screen of few colours: plain system colours, as they are.
    MenuBarFill = ToolbarFill = clBtnFace;
    PopupFill = DockPanelFill = clWindow;
    PopupBorder = clBtnText;
    for (int k = 0; k < 2; ++k) {
        FloatingToolbarBorder[k] = FloatingPanelBorder[k] = clBtnShadow;
        FloatingToolbarCaptionText[k] = clBtnHighlight;
        FloatingPanelCaptionText[k] = clBtnText;
    }
    auto& item = States.Item;
    SetRow(item[0], clNone, clBtnText, clNone);
    SetRow(item[1], clNone, clBtnShadow, clNone);
    SetRow(item[2], clWindow, clWindowText, clHighlight);
    SetRow(item[3], clHighlight, clHighlightText, clHighlight);
    SetRow(item[4], clWindow, clWindowText, clHighlight);
    SetRow(item[5], clWindow, clBtnShadow, clHighlight);
    SetRow(item[6], clHighlight, clHighlightText, clHighlight);
    SetRow(item[7], clBtnFace, clBtnText, PopupBorder);
    auto& popup = States.Popup;
    SetRow(popup[0], clNone, clWindowText, clNone);
    SetRow(popup[1], clNone, clGrayText, clNone);
    SetRow(popup[2], clWindow, clWindowText, clHighlight);
    SetRow(popup[3], clWindow, clGrayText, clHighlight);
    ToolbarSeparator = PopupSeparator = clBtnShadow;
}

int TThmTristanTheme::GetShadowKind() { return 2; }

int TThmTristanTheme::GetIntMetric(int index) {
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
    case tmEditFrameInset:
    case tmSpareSize66: return 1;
    case tmSpareSize65: return 14;
    default: return -1;
    }
}

bool TThmTristanTheme::GetBoolMetric(int index) {
    return index == tbPopupOverlapsOpener || index == tbPaintDockBackground || index == tbSolidToolbarNCArea ||
           index == tbSolidToolbarClientArea;
}

// --- painting -----------------------------------------------------------------------------------

void TThmTristanTheme::PaintGloss(HDC dc, const RECT& rect, TColor color, TColor nearEdge, bool vertical) const {
    PaintGlossLines(dc, rect, color, nearEdge, vertical, GlossOvershoot());
}

TColor TThmTristanTheme::DesignFrameColor(HDC dc) {
    return static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorMix(clBtnShadow, clBtnFace, 100))));
}

void TThmTristanTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                           const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    RECT r{};
    if (transparent || !IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    const bool dockedToolbar =
        ViewKindIs(viewKind, vkToolbarBar) && !(viewKind & vkOpaqueItems) && !(viewKind & vkFloating);
    if (dockedToolbar || ViewKindIs(viewKind, vkToolWindow)) {
        PaintRampGradient(dc, r, ShadeColor, LightColor, BarBackgroundRunsAcross(outerRect, paintRect, r));
        return;
    }
    PaintRectFill(dc, r, color);
    if (ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkMenuBar) || ViewKindIs(viewKind, vkChevronPopup) ||
        ViewKindIs(viewKind, vkToolBoxPopup))
        return;
    PaintGloss(dc, r, ShadeColor, LightColor, false);
}

void TThmTristanTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    if ((item.ItemFlags & ifDesigning) && !item.Checked) {
        if (item.SplitPart == spSplitArrow) --r.left;
        PaintRectFrame(dc, r, DesignFrameColor(dc), false);
    } else {
        PaintRectFrame(dc, r, ButtonStateColor(item, scFrame), true);
        if (item.SplitPart == spSplitButton && item.PopupOpen) ++r.right;
        if (item.SplitPart == spSplitArrow) --r.left;
        const TColor fill = ButtonStateColor(item, scFill);
        const bool across = !item.Vertical;  // the gradients run across the bar
        const bool chevronPopup = ViewKindIs(item.ViewKind, vkChevronPopup);
        const bool popup = InPopupFamily(item.ViewKind);
        if (((item.Checked && InToolbarFamily(item.ViewKind)) || popup) && !chevronPopup) {
            PaintGloss(dc, r, fill, LightColor, across);
        } else if (item.HotState != hsNone && (InToolbarFamily(item.ViewKind) || popup)) {
            if (item.Pushed)
                PaintRampGradient(dc, r, LightColor, fill, across);
            else if ((popup || (across && ViewKindIs(item.ViewKind, vkMenuBar))) && !chevronPopup)
                PaintGloss(dc, r, fill, LightColor, across);
            else
                PaintRampGradient(dc, r, fill, LightColor, across);
        } else {
            PaintRectFill(dc, r, fill);
        }
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmTristanTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const std::wstring& caption, UINT format, bool rotated) {
    TColor color = canvas.Font().Color();
    if (color == clNone) color = GetItemTextColor(item);
    DrawThemeCaption(canvas, caption, rect, format, color, rotated);
}

void TThmTristanTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintCheckTick(dc, (rect.left + rect.right) / 2 - 2, (rect.top + rect.bottom) / 2 + 1, ButtonStateColor(item, scText));
}

void TThmTristanTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintDropArrows(canvas.Handle(), rect, false, item.Vertical, 0, ItemStateColor(item, scText));
}

void TThmTristanTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    if (item.Enabled && item.HotState != hsNone) PaintGloss(dc, rect, ItemStateColor(item, scFill), LightColor, true);
    RECT r = rect;
    PaintRectFrame(dc, r, ItemStateColor(item, scFrame), false);
}

void TThmTristanTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                    const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int m = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, m, m);
    const bool toolbarFamily = InToolbarFamily(item.ViewKind);
    if (!item.Enabled && !HasOpaqueItems(item.ViewKind)) PaintRectFrame(dc, r, States.Item[1][scText], true);
    if (editBox.RightButtonWidth > 0) r.right -= editBox.RightButtonWidth - 2;
    if (item.Enabled) {
        const bool unframed = !toolbarFamily && ItemStateColor(item, scFrame) == clNone;
        PaintRectFrame(dc, r, unframed ? clBtnFace : clWindow, true);
        PaintRectFill(dc, r, clWindow);
        if (unframed) {
            RECT whole = Deflated(rect, 1, 1);
            PaintRectFrame(dc, whole, clBtnFace, false);
        }
    }
    PaintEditBoxRightButton(canvas, rect, item, editBox);
}

void TThmTristanTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                          const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    TThmItemInfo item = itemIn;  // the spin halves change Pushed on a copy
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind), toolbarFamily = InToolbarFamily(item.ViewKind);
    RECT r{rect.left, rect.top - 1, rect.right + 1, rect.bottom + 1};
    if (button.ButtonKind == 1) {
        if (!disabled) {
            if ((button.ButtonState & 4) || hot || opaque) {
                PaintItemButton(canvas, r, item);
            } else if (toolbarFamily) {
                r = rect;
                PaintRectFrame(dc, r, clWindow, true);
            }
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    for (int half = 0; half < 2; ++half) {
        const bool upper = half == 0;
        RECT h = r;
        if (upper)
            h.bottom = (r.top + r.bottom + 1) / 2;
        else
            h.top = (r.top + r.bottom) / 2;
        item.Pushed = button.ButtonState & (upper ? 4 : 8);
        if (!disabled) {
            if (hot || item.Pushed || opaque) {
                if (item.Pushed)
                    PaintGloss(dc, h, LightColor, ButtonStateColor(item, scFill), true);
                else if (hot)
                    PaintGloss(dc, h, ButtonStateColor(item, scFill), LightColor, true);
                PaintRectFrame(dc, h, ButtonStateColor(item, scFrame), true);
            } else if (toolbarFamily) {
                h.left = rect.left;
                h.right = rect.right;
                (upper ? h.top : h.bottom) = upper ? rect.top : rect.bottom;
                PaintRectFrame(dc, h, clWindow, true);
            }
        }
        PaintSpinArrow(dc, h, upper, 0, ItemStateColor(item, scText));
    }
}

void TThmTristanTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    // The dock's own rectangle only: nothing goes round it in whatever pen the canvas holds.
    PaintRectFill(canvas.Handle(), paintRect, clBtnFace);
}

void TThmTristanTheme::PaintCloseButtonSquare(HDC dc, RECT box, int row) {
    PaintRectFrame(dc, box, States.Item[row][scFrame], true);
    PaintRectFill(dc, box, States.Item[row][scFill]);
    PaintSmallCloseCross(dc, box, States.Item[row][scText]);
}

void TThmTristanTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    const TColor back = canvas.Brush().Color();
    const int luma = ColorLuma(clBtnFace);
    RECT r = rect;
    auto corners = [&](const RECT& q, TColor c) {
        if (IsEmptyArea(q)) return;
        PaintPixel(dc, q.left, q.top, c);
        if (across)
            PaintPixel(dc, q.right - 1, q.top, c);
        else
            PaintPixel(dc, q.left, q.bottom - 1, c);
    };
    if (!IsLowColorDisplay && luma >= 64 && luma <= 250) {
        PaintRectFrame(dc, r, clBtnFace, true);
        PaintRectFrame(dc, r, back, true);
        corners(r, clBtnFace);
    } else {
        // Extreme faces: a checkered ring between two rings in the panel's colour. The pattern
        // brush is the class library's cached one: used, never deleted.
        PaintRectFrame(dc, r, back, true);
        if (!IsEmptyArea(r)) {
            HBRUSH checker = AllocPatternBrush(back, luma < 64 ? kWhite : clBtnShadow);
            FrameRect(dc, &r, checker);
        }
        corners(r, back);
        r = Deflated(r, 1, 1);
        PaintRectFrame(dc, r, back, true);
    }
    r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    RECT band = r;
    if (across)
        band.bottom = band.top + h;
    else
        band.right = band.left + h;
    PaintGloss(dc, band, LightColor, ShadeColor, across);
    RECT text = band;
    if (across)
        --text.bottom;
    else
        --text.right;
    if (frame.CloseButtonState & cbsShown) {
        RECT box;
        if (across) {
            box = RECT{band.right - (h - 1), band.top, band.right, band.top + h - 1};
            text.right = box.left;
        } else {
            box = RECT{band.left, band.bottom - (h - 1), band.left + h - 1, band.bottom};
            text.bottom = box.top;
        }
        const int row = CloseButtonRow(frame.CloseButtonState);
        PaintCloseButtonSquare(dc, box, row);
    }
    text = across ? Deflated(text, 4, 0) : Deflated(text, 0, 4);
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, text,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, clBtnText, !across);
}

void TThmTristanTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool panel = frame.ViewKind & vkDockPanel;
    const TColor back = canvas.Brush().Color();
    const int state = frame.Active ? 0 : 1;
    const TColor captionText = panel ? FloatingPanelCaptionText[state] : FloatingToolbarCaptionText[state];
    if (frame.RedrawParts & rpBorder)
        PaintFloatingBorderBand(dc, rect, frame.BorderSize, panel,
                                panel ? FloatingPanelBorder[state] : FloatingToolbarBorder[state], back);
    if (!frame.CaptionShown) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption{0, 0, frame.ClientWidth, h};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT k = caption;
        PaintLine(dc, k.left, k.bottom, k.right, k.bottom, back);
        if (close && (frame.RedrawParts & rpCloseButton)) k.right -= h;
        PaintGloss(dc, k, LightColor, ShadeColor, true);
        DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, Deflated(k, 2, 0),
                               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, captionText, false);
    }
    if (!close) return;
    RECT q = caption;
    q.left = q.right - (q.bottom - q.top);
    PaintLine(dc, q.left - 1, q.bottom, q.right, q.bottom, back);
    PaintGloss(dc, q, LightColor, ShadeColor, true);
    const int row = !frame.Active ? 1 : CloseButtonRow(frame.CloseButtonState);
    PaintRectFrame(dc, q, States.Item[row][scFrame], true);
    const bool filled = PaintRectFill(dc, q, States.Item[row][scFill]);
    PaintSmallCloseCross(dc, q, filled ? States.Item[row][scText] : captionText);
}

void TThmTristanTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                      int imageIndex) {
    PaintItemImageByState(canvas, rect, item, images, imageIndex, GetItemImageBackColor(item), true, true);
}

void TThmTristanTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    RECT r = rect;
    if (!ViewKindIs(item.ViewKind, vkToolBoxPopup)) r = RECT{rect.left + 1, rect.top, rect.right - 1, rect.bottom};
    PaintItemFrame(canvas, r, item);
}

void TThmTristanTheme::PaintPopupCheckEdge(HDC dc, RECT& box, const TThmItemInfo& item) {
    if (item.HotState == hsNone) PaintRectFrame(dc, box, ButtonStateColor(item, scFrame), true);
}

void TThmTristanTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    PaintPopupItemFrame(canvas, rect, item);
    const TColor text = ItemStateColor(item, scText);
    if (item.ItemFlags & ifSplitItem) {
        const int x = rect.right - m - 1;
        const TColor c = !item.Enabled ? text : item.HotState == hsSelected ? ItemStateColor(item, scFrame) : PopupSeparator;
        PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, c);
    }
    if (item.ItemFlags & ifSubmenu) PaintSubmenuArrow(dc, rect.right - (2 * m) / 3 - 1, rect.bottom / 2, text);
    if (item.Checked && item.Enabled) {
        RECT box = Deflated(rect, 1, 1);
        ++box.left;
        box.right = box.left + item.ImageColumnWidth - 2;
        PaintPopupCheckEdge(dc, box, item);
        PaintGloss(dc, box, ButtonStateColor(item, scFill), LightColor, true);
    }
}

void TThmTristanTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, hot ? States.Item[4][scFrame] : clBtnShadow, true);
    PaintRectFill(dc, r, hot ? States.Item[4][scFill] : clBtnFace);
    PaintScrollArrow(dc, r, direction, hot ? States.Item[4][scText] : States.Item[0][scText]);
}

void TThmTristanTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    PaintJoinedPopupFrame(canvas.Handle(), rect, frame.ParentRect, PopupBorder, PopupFill, ToolbarFill);
}

void TThmTristanTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                          bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (!horizontal) {
        if (item.Enabled) PaintEtchedLine(dc, rect, rect.right / 2, false, kWhite, ShadeColor);
        return;
    }
    RECT r = rect;
    TColor color = ToolbarSeparator;
    if (!(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        r.left += item.ImageColumnWidth + 9;
        color = PopupSeparator;
    }
    const int y = rect.bottom / 2;
    if (InToolbarFamily(item.ViewKind))
        PaintEtchedLine(dc, r, y, true, kWhite, ShadeColor);
    else
        PaintLine(dc, r.left, y, r.right - 2, y, color);
}

void TThmTristanTheme::PaintBarShade(HDC dc, const RECT& rect, TColor color, TColor nearEdge, bool vertical) {
    PaintRampGradient(dc, rect, color, nearEdge, vertical);
}

void TThmTristanTheme::PaintBarTopRight(HDC dc, const RECT& r) {
    PaintLine(dc, r.right - 1, r.top, r.right - 3, r.top + 1, clBtnFace);
}

void TThmTristanTheme::PaintBarFrame(HDC dc, const RECT& r) {
    if (r.right - r.left > r.bottom - r.top) {
        PaintBarShade(dc, r, ShadeColor, LightColor, true);
        PaintBarShade(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, EdgeColor, clBtnFace, true);
        PaintLine(dc, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1, EdgeColor);
        PaintPixel(dc, r.left, r.top, clBtnFace);
        PaintBarTopRight(dc, r);
    } else {
        PaintBarShade(dc, r, ShadeColor, LightColor, false);
        PaintBarShade(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, EdgeColor, ShadeColor, false);
        PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, EdgeColor);
        for (const LONG y : {r.top, r.bottom - 2, r.bottom - 1}) PaintPixel(dc, r.left, y, ShadeColor);
    }
    PaintPixel(dc, r.right - 1, r.bottom - 1, ShadeColor);
}

void TThmTristanTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (!ViewKindIs(frame.ViewKind, vkToolbarBar) && !ViewKindIs(frame.ViewKind, vkToolWindow))
        PaintRectFill(dc, rect, MenuBarFill);
    else if (!IsEmptyArea(rect))
        PaintBarFrame(dc, rect);
    if (!frame.AllowDrag) return;
    RECT strip = Deflated(rect, 2, 2);
    const int s = GetDragHandleSize(frame);
    if (frame.Vertical)
        strip.bottom = strip.top + s;
    else
        strip.right = strip.left + s;
    PaintGripDotRows(dc, strip, frame, GripDotColors(dc, GripFaceColor, GripDarkColor, GripLightColor), 0);
    if (!(frame.CloseButtonState & cbsShown)) return;
    RECT box = strip;
    if (!frame.Vertical) {
        --box.right;
        box.bottom = box.top + (box.right - box.left);
    } else {
        --box.bottom;
        box.left = box.right - (box.bottom - box.top);
    }
    const int row = CloseButtonRow(frame.CloseButtonState);
    PaintCloseButtonSquare(dc, box, row);
}

void TThmTristanTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    PaintFramedCheckControl(canvas.Handle(), rect, controlKind, state,
                            OfficeCheckControlColors(States, state, clBtnShadow, false));
}

void TThmTristanTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    switch (part) {
    case 0: {
        TThmClipGuard clip(dc, rect);
        PaintRectFill(dc, rect, clBtnFace);
        auto row = [&](int y, int weight) {
            PaintLine(dc, rect.left, y, rect.right, y, ColorMixNearest(clBtnShadow, clBtnFace, weight));
        };
        const int top[5] = {200, 128, 64, 32, 12};
        for (int i = 0; i < 5; ++i) row(rect.top + i, top[i]);
        const int bottom[3] = {8, 16, 24};
        for (int i = 0; i < 3; ++i) row(rect.bottom - 3 + i, bottom[i]);
        return;
    }
    case 1:
    case 2: {
        // The last panel's divider pair ends on the first column right of it, on the grip's side.
        const int x = part == 1 ? rect.right - 3 : rect.right - 1;
        TThmClipGuard clip(dc, rect, 1);
        PaintLine(dc, x, rect.top + 4, x, rect.bottom - 3, clBtnShadow);
        PaintLine(dc, x + 1, rect.top + 5, x + 1, rect.bottom - 2, clBtnHighlight);
        return;
    }
    case 3: PaintSizeGripDots(dc, rect, GripDotColors(dc, clBtnFace, clBtnShadow, clBtnHighlight)); return;
    default: return;
    }
}

}  // namespace themes
