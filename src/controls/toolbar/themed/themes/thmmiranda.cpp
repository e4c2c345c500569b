#include "controls/toolbar/themed/themes/thmmiranda.h"

#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

// The cross of a docked toolbar's close button, 7 x 7 (six pixels wide in rows 1 to 5).
const BYTE kSmallCloseGlyph[16] = {0x00, 0, 0xCC, 0, 0x78, 0, 0x30, 0, 0x78, 0, 0xCC, 0, 0x00, 0, 0x00, 0};

TColor PushedTop() { return ColorBlendPercent(clBtnFace, clBtnShadow, 60); }
TColor PushedBottom() { return ColorBlendPercent(clBtnHighlight, clBtnFace, 60); }
TColor FaceShade() { return ColorBlendPercent(clBtnShadow, clBtnFace, 50); }
TColor CheckedLine() { return ColorBlendPercent(clBtnShadow, clBtnFace, 25); }

bool IsBarView(int viewKind) {
    return ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkMenuBar) || ViewKindIs(viewKind, vkToolWindow);
}

}  // namespace

TThmMirandaTheme::TThmMirandaTheme(std::wstring name)
    : TThmMirandaTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmMirandaTheme>()) {}

TThmMirandaTheme::TThmMirandaTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmStateTheme(std::move(name), std::move(glyphs)) {
    PopupItemMargins = {0, 0, 3, 3};
}

std::unique_ptr<TThmTheme> CreateMirandaTheme(const std::wstring& name) {
    return std::make_unique<TThmMirandaTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmMirandaTheme::RebuildColorCache() {
    MenuBarFill = ToolbarFill = clBtnFace;
    PopupFill = DockPanelFill = clWindow;
    PopupBorder = EditFrame = clBtnShadow;
    EditFrameLight = ColorBlendPercent(clBtnFace, clWindow, 75);
    DisabledText = ColorBlendPercent(clBtnShadow, clWindow, 90);

    auto set = [](TColor (&row)[3], TColor fill, TColor text, TColor frame) {
        row[scFill] = fill;
        row[scText] = text;
        row[scFrame] = frame;
    };
    auto& item = States.Item;
    const TColor grayText = ColorBlendPercent(clGrayText, clWindow, 70);
    const TColor normalText = Contrasted(clBtnText, ToolbarFill, 180);
    set(item[0], clNone, normalText, clNone);
    set(item[1], clNone, Contrasted(grayText, ToolbarFill, 80), ColorBlendPercent(clBtnFace, clWindow, 50));
    set(item[2], clNone, normalText, clBtnShadow);
    set(item[3], ColorBlendPercent(clHighlight, 0xFFFFFF, 50), clBtnText, clHighlight);
    set(item[4], ColorBlendPercent(clHighlight, clWindow, 20), clBtnText, clBtnShadow);
    set(item[5], clBtnHighlight, DisabledText, clNone);
    set(item[6], Contrasted(ColorBlendPercent(clHighlight, 0xFFFFFF, 25), ToolbarFill, 30), clBtnText, clBtnShadow);
    set(item[7], ColorBlendPercent(clHighlight, 0xFFFFFF, 80), clBtnText, clBtnShadow);
    auto& popup = States.Popup;
    set(popup[0], clNone, Contrasted(clBtnText, PopupFill, 180), clNone);
    set(popup[1], clNone, Contrasted(grayText, PopupFill, 80), clNone);
    set(popup[2], clHighlight, clHighlightText, item[4][scFrame]);
    set(popup[3], PopupFill, ColorBlendPercent(clGrayText, clWindow, 50), clNone);

    HDC dc = NearestColorBitmap().Canvas().Handle();
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder})
        *c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(*c)));
    States.SnapToScreen();
}

TColor TThmMirandaTheme::ItemStateColor(const TThmItemInfo& item, int column) const {
    if (IsPopupMenuItem(item) && item.SplitPart == spPlain) return States.ItemStateColor(item, column, ToolbarFill);
    return States.ItemRowColor(item, column, ToolbarFill);
}

TColor TThmMirandaTheme::GetItemTextColor(const TThmItemInfo& item) {
    const bool popupStyle = !(item.ItemFlags & ifToolbarStyle);
    const bool menuBar = ViewKindIs(item.ViewKind, vkMenuBar);
    if (popupStyle && !item.Enabled && item.HotState == hsKeyboardSelected) return clBtnShadow;
    if (!item.Enabled) return DisabledText;
    if ((popupStyle || menuBar) && item.HotState != hsNone) return clHighlightText;
    if (menuBar && !(item.ItemFlags & ifAppActive)) return clGrayText;
    if (popupStyle || menuBar) return clMenuText;
    return clBtnText;
}

int TThmMirandaTheme::GetShadowKind() { return 3; }

int TThmMirandaTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmDropArrowWidth: return 8;
    case tmDropArrowMargin:
    case tmMenuImageGap:
    case tmMenuCaptionGap:
    case tmMenuCaptionEndGap: return 3;
    case tmMenuSeparatorSize:
    case tmToolbarSeparatorSize: return 5;
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

bool TThmMirandaTheme::GetBoolMetric(int index) {
    return index == tbPaintDockBackground || index == tbSolidToolbarNCArea || index == tbSolidToolbarClientArea;
}

bool TThmMirandaTheme::CaptionMoves(const TThmItemInfo& item) const {
    return item.Enabled && (item.ItemFlags & ifToolbarStyle) && (item.Pushed || item.Checked) &&
           !(ViewKindIs(item.ViewKind, vkMenuBar) && UseFlatMenus);
}

void TThmMirandaTheme::PaintCloseEdge(HDC dc, RECT& box, int state) {
    if (IsEmptyArea(box)) return;
    if (state & cbsPressed) {
        DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
        OffsetRect(&box, 1, 1);
    } else if (state & cbsHot) {
        DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);
    }
}

TColor TThmMirandaTheme::CheckMarkColor(int state) const {
    const auto& item = States.Item;
    if (state & 4) return item[1][scText];
    if (state & 0x10) return item[3][scText];
    if (state & 2) return clBtnShadow;
    if (state & 8) return item[4][scText];
    return item[0][scText];
}

// --- painting -----------------------------------------------------------------------------------

void TThmMirandaTheme::PaintFace(HDC dc, const RECT& rect, TColor top, TColor bottom) {
    PaintLinearGradient(dc, rect, bottom, top, true);
}

void TThmMirandaTheme::PaintOutline(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor outline, TColor shade) {
    PaintCutCornerFrameBlended(dc, rect, leftCut, rightCut, outline, shade);
}

void TThmMirandaTheme::PaintHighlightBar(TCanvas& canvas, const RECT& rect) {
    PaintViewBackground(canvas, rect, rect, rect, States.Popup[2][scFill], false, 0);
}

void TThmMirandaTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    const TButtonOutline outline = ButtonOutline(rect, item, 2, 1);
    const RECT& r = outline.Rect;
    const int leftCut = outline.LeftCut, rightCut = outline.RightCut;
    const bool hot = Highlighted(item);
    TThmClipGuard clip(dc, r);

    if (HasOpaqueItems(item.ViewKind) && !hot) {
        if (item.Enabled) PaintRectFill(dc, Deflated(r, 1, 1), ToolbarFill);
        PaintOutline(dc, r, leftCut, rightCut, item.Enabled ? clBtnShadow : clBtnFace, clNone);
    }
    if (ViewKindIs(item.ViewKind, vkMenuBar)) {
        if (((item.Pushed || item.Checked) && item.Enabled) || hot) PaintHighlightBar(canvas, rect);
        return;
    }
    const RECT face = Deflated(r, 1, 1);
    if ((item.Pushed || item.Checked) && item.Enabled && (item.Pushed || item.HotState == hsNone)) {
        if (item.Pushed)
            PaintFace(dc, face, PushedTop(), PushedBottom());
        else
            PaintFace(dc, face, clBtnFace, clBtnHighlight);
        PaintOutline(dc, r, leftCut, rightCut, clBtnShadow, FaceShade());
        const TColor line = item.Pushed ? ColorBlendPercent(clBtnFace, clBtnShadow, 45) : CheckedLine();
        PaintLine(dc, r.left + leftCut, r.top + 1, r.right - rightCut, r.top + 1, line);
    } else if ((item.Checked && item.Enabled) || hot || (item.ItemFlags & ifDesigning)) {
        PaintFace(dc, face, clBtnHighlight, clBtnFace);
        PaintOutline(dc, r, leftCut, rightCut, ButtonStateColor(item, scFrame), clNone);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmMirandaTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    if (!item.Enabled && item.HotState != hsKeyboardSelected) {
        RECT r = Deflated(rect, 1, 1);
        PaintRectFrame(dc, r, ToolbarFill, true);
    } else if (item.Pushed || item.Checked || item.HotState != hsNone || (item.ItemFlags & ifDesigning)) {
        PaintOutline(dc, rect, 1, 1, item.Pushed ? States.Item[2][scFrame] : ItemStateColor(item, scFrame), clNone);
    }
}

void TThmMirandaTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const std::wstring& caption, UINT format, bool rotated) {
    RECT r = rect;
    if (CaptionMoves(item)) OffsetRect(&r, 1, 1);
    TColor color = canvas.Font().Color();
    if (color == clNone) color = GetItemTextColor(item);
    TThmClipGuard clip(canvas.Handle(), rect);  // a moved caption stays inside the item
    DrawThemeCaption(canvas, caption, r, format, color, rotated);
}

void TThmMirandaTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintCheckTick(dc, (rect.left + rect.right) / 2 - 2, (rect.top + rect.bottom) / 2 + 1,
                   item.Enabled ? 0x000000 : States.Popup[1][scText]);
}

void TThmMirandaTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    const TColor c = !item.Enabled ? DisabledText : (item.ItemFlags & ifToolbarStyle) ? clBtnText : clMenuText;
    PaintDropArrows(canvas.Handle(), rect, DropArrowPair(item), item.Vertical, ArrowShift(item), c);
}

void TThmMirandaTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                    const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int e = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, e, e);
    if (editBox.RightButtonWidth > 0) r.right -= editBox.RightButtonWidth - 2;
    TColor frame;
    if (item.Enabled)
        frame = item.HotState == hsNone ? EditFrame : EditFrameLight;
    else
        frame = item.HotState == hsNone ? States.Item[1][scFrame] : clWindow;
    PaintRectFrame(dc, r, frame, true);
    if (item.Enabled) PaintRectFill(dc, r, clWindow);
    PaintEditBoxRightButton(canvas, rect, item, editBox);
}

void TThmMirandaTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                          const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    TThmItemInfo item = itemIn;  // the spin halves change Pushed on a copy
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    // The faces paint the part and grow it by a pixel all round; each answers the pen of the
    // divider line that follows.
    auto pushedFace = [&](RECT& q) {
        PaintFace(dc, q, PushedTop(), PushedBottom());
        InflateRect(&q, 1, 1);
        PaintLine(dc, q.left + 1, q.top + 1, q.right - 1, q.top + 1, ColorBlendPercent(clBtnFace, clBtnShadow, 45));
        return clBtnShadow;
    };
    auto hotFace = [&](RECT& q) {
        PaintFace(dc, q, clBtnHighlight, clBtnFace);
        InflateRect(&q, 1, 1);
        return EditFrame;
    };
    auto restingFace = [&](const RECT& q) { PaintEditButtonFace(dc, q, false, false, opaque, ToolbarFill, EditFrame); };
    RECT r = rect;
    ++r.left;
    if (button.ButtonKind == 1) {
        const bool pushed = button.ButtonState & 4;
        TColor pen = EditFrame;
        if (!disabled) {
            if (pushed)
                pen = pushedFace(r);
            else if (hot)
                pen = hotFace(r);
            else
                restingFace(r);
            PaintLine(dc, r.left, r.top, r.left, r.bottom, pen);
        } else {
            PaintRectFrame(dc, r, States.Item[1][scFrame], true);
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    const TColor arrow = disabled ? DisabledText : (item.ItemFlags & ifToolbarStyle) ? clBtnText : clMenuText;
    const bool upPushed = button.ButtonState & 4, downPushed = button.ButtonState & 8;
    RECT u = r;
    u.bottom = (r.top + r.bottom + 1) / 2;
    item.Pushed = upPushed;
    if (!disabled) {
        restingFace(u);
        TColor pen = EditFrame;
        if (upPushed || hot) {
            --u.bottom;
            pen = upPushed ? pushedFace(u) : hotFace(u);
            ++u.bottom;
        }
        PaintLine(dc, u.left, u.top, u.left, u.bottom, pen);
    }
    PaintSpinArrow(dc, u, true, ArrowShift(item), arrow);
    RECT d = r;
    d.top = (r.top + r.bottom) / 2 + (hot || downPushed ? 1 : 0);
    item.Pushed = downPushed;
    if (!disabled) {
        restingFace(d);
        TColor pen = EditFrame;
        if (downPushed)
            pen = pushedFace(d);
        else if (hot)
            pen = hotFace(d);
        const POINT lines[3] = {{d.left, d.bottom - 1}, {d.left, d.top}, {d.right, d.top}};
        PaintPolyline(dc, lines, 2, pen);
    }
    PaintSpinArrow(dc, d, false, ArrowShift(item), arrow);
}

void TThmMirandaTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    // The dock's own rectangle only: nothing goes round it in whatever pen the canvas holds.
    PaintRectFill(canvas.Handle(), paintRect, clBtnFace);
}

void TThmMirandaTheme::PaintPanelCaptionBand(HDC dc, const RECT& rect, bool across) {
    if (VisualStylesOpen)
        PaintGradientRect(dc, rect, ColorShiftLevel(ToolbarFill, 12), ColorShiftLevel(ToolbarFill, -12), across);
    else
        PaintRectFill(dc, rect, ToolbarFill);
}

void TThmMirandaTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    const int cy = GetSystemMetrics(SM_CYSMCAPTION);
    RECT r = rect;
    PaintRectFrame(dc, r, ToolbarFill, true);
    RECT client = r;
    if (frame.CaptionShown) (across ? client.top : client.left) += cy;
    PaintRectFrame(dc, client, clWindow, false);
    if (!frame.CaptionShown) return;
    RECT band = r;
    if (across)
        band.bottom = r.top + cy;
    else
        band.right = r.left + cy;
    if (!IsEmptyArea(band)) DrawEdge(dc, &band, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    if (frame.CloseButtonState & cbsShown) {
        RECT box = band;
        if (across) {
            box.left = band.right - cy;
            band.right = box.left;
        } else {
            box.top = band.bottom - cy;
            band.bottom = box.top;
        }
        PaintPanelCaptionBand(dc, box, across);
        box = Deflated(box, 1, 1);
        if (across)
            ++box.left;
        else
            --box.bottom;
        PaintCloseEdge(dc, box, frame.CloseButtonState);
        PaintSmallCloseCross(dc, Deflated(box, 2, 2), clBtnText);
    }
    PaintPanelCaptionBand(dc, band, across);
    band = across ? Deflated(band, 2, 0) : Deflated(band, 0, 2);
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, band,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX, clBtnText, !across);
}

void TThmMirandaTheme::PaintFloatingCaption(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame,
                                            bool gradient) {
    HDC dc = canvas.Handle();
    if (frame.WindowHandle) {
        UINT flags = DC_SMALLCAP | DC_TEXT;
        if (frame.Active) flags |= DC_ACTIVE;
        if (gradient) flags |= DC_GRADIENT;
        TSavedDC saved(dc);
        DrawCaption(frame.WindowHandle, dc, &rect, flags);
        return;
    }
    // No window to take the caption from: the same bar in the caption colours, with the text
    // the frame was given.
    const TColor start = frame.Active ? clActiveCaption : clInactiveCaption;
    const TColor end = frame.Active ? clGradientActiveCaption : clGradientInactiveCaption;
    if (gradient)
        PaintLinearGradient(dc, rect, end, start, false);
    else
        PaintRectFill(dc, rect, start);
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, Deflated(rect, 2, 0),
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX,
                           frame.Active ? clCaptionText : clInactiveCaptionText, false);
}

void TThmMirandaTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if ((frame.RedrawParts & rpBorder) && !IsEmptyArea(rect)) {
        const RECT inner = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
        TSavedDC saved(dc);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        RECT r = rect;
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (!frame.CaptionShown) return;
    BOOL gradientCaptions = FALSE;
    const bool gradient = SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradientCaptions, 0) && gradientCaptions;
    const bool close = frame.CloseButtonState & cbsShown;
    const RECT box = GetFloatingCloseButtonRect(frame, true);
    if (frame.RedrawParts & rpCaption) {
        {
            TSavedDC saved(dc);
            if (close) ExcludeClipRect(dc, box.left, box.top, box.right, box.bottom);
            const RECT caption = GetFloatingCaptionRect(frame, true, close);
            if (!IsEmptyArea(caption)) PaintFloatingCaption(canvas, caption, frame, gradient);
        }
        RECT below = GetFloatingCaptionRect(frame, true, false);
        below.top = below.bottom;
        ++below.bottom;
        PaintRectFill(dc, below, clBtnFace);
    }
    if (!close) return;
    RECT face = Deflated(box, 2, 2);
    if (frame.RedrawParts & rpCaption) {
        TSavedDC saved(dc);
        ExcludeClipRect(dc, face.left, face.top, face.right, face.bottom);
        const TColor ring = gradient ? (frame.Active ? clGradientActiveCaption : clGradientInactiveCaption)
                                     : (frame.Active ? clActiveCaption : clInactiveCaption);
        PaintRectFill(dc, box, ring);
    }
    if ((frame.RedrawParts & rpCloseButton) && !IsEmptyArea(face))
        DrawFrameControl(dc, &face, DFC_CAPTION,
                         DFCS_CAPTIONCLOSE | ((frame.CloseButtonState & cbsPressed) ? DFCS_PUSHED : 0));
}

void TThmMirandaTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                      int imageIndex) {
    PaintItemImageByState(canvas, rect, item, images, imageIndex, GetItemImageBackColor(item), false,
                          LightensActiveImages());
}

void TThmMirandaTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (Highlighted(item)) PaintHighlightBar(canvas, rect);
}

void TThmMirandaTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
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
        const int x = rect.right - cw;
        if (item.Enabled && item.HotState != hsNone)
            PaintHighlightBar(canvas, RECT{x, rect.top, rect.right, rect.bottom});
        else
            PaintLine(dc, x - 1, rect.top, x - 1, rect.bottom, DisabledText);
    }
    if (item.ItemFlags & ifSubmenu) {
        const TColor c = !item.Enabled ? (item.HotState == hsKeyboardSelected ? clBtnShadow : DisabledText)
                                       : (item.HotState != hsNone ? clHighlightText : clMenuText);
        PaintSubmenuArrow(dc, rect.right - (2 * cw) / 3, rect.bottom / 2, c);
    }
    if (imageArea && (item.HotState != hsNone || item.Checked))
        PaintItemButton(canvas, RECT{rect.left, rect.top, rect.left + item.ImageColumnWidth, rect.bottom}, item);
}

void TThmMirandaTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    if (IsEmptyArea(rect)) return;
    UINT state;
    switch (direction) {
    case 2: state = DFCS_SCROLLDOWN; break;
    case 3: state = DFCS_SCROLLLEFT; break;
    case 4: state = DFCS_SCROLLRIGHT; break;
    default: state = DFCS_SCROLLUP; break;
    }
    if (hot) state |= DFCS_FLAT;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
}

void TThmMirandaTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    PaintJoinedPopupFrame(canvas.Handle(), rect, frame.ParentRect, PopupBorder, PopupFill, ToolbarFill);
}

void TThmMirandaTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                          bool) {
    if (!item.Enabled) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (!horizontal) {
        const int x = rect.right / 2;
        PaintLine(dc, x, rect.top + 2, x, rect.bottom - 2, DisabledText);
        return;
    }
    const int y = rect.bottom / 2;
    if (item.ViewKind & vkToolbar) {
        PaintLine(dc, rect.left + 2, y, rect.right - 2, y, DisabledText);
        return;
    }
    // Dotted, from the end of the image column.
    for (int x = rect.left + 14; x < rect.right - 14; x += 3) PaintPixel(dc, x, y, clBtnText);
}

void TThmMirandaTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // The background starts a row above the bar (below its top when docked at a side); only
    // the bar itself is painted.
    RECT back = rect;
    back.top += frame.Vertical ? 1 : -1;
    PaintViewBackground(canvas, back, back, rect, ViewKindIs(frame.ViewKind, vkMenuBar) ? MenuBarFill : ToolbarFill,
                        false, 0);
    const LONG l = rect.left, t = rect.top, right = rect.right, b = rect.bottom;
    if (IsBarView(frame.ViewKind)) {
        PaintLine(dc, l, t, right - 1, t, clBtnHighlight);
        PaintLine(dc, l, t, l, b - 1, clBtnHighlight);
        PaintLine(dc, ViewKindIs(frame.ViewKind, vkMenuBar) ? l : l + 1, b - 1, right, b - 1, clBtnShadow);
        PaintLine(dc, right - 1, t + 1, right - 1, b - 1, clBtnShadow);
    }
    if (!frame.AllowDrag) return;
    const bool close = frame.CloseButtonState & cbsShown;
    const int s = GetDragHandleSize(frame);
    RECT g = Deflated(rect, 2, 2);
    if (frame.Vertical)
        g.bottom = g.top + s;
    else
        g.right = g.left + s;
    if (frame.DragHandleStyle != dhNone) {
        const TColor ridge = ColorBlendPercent(clBtnFace, clBtnHighlight, 50);
        if (!frame.Vertical) {
            g.top += 2;
            g.bottom -= 2;
            --g.right;
            if (close) {
                g.top += s - 2;
                g.left += 4;
                g.right -= 4;
            }
            PaintLinearGradient(dc, g, clBtnFace, clBtnShadow, false);
            PaintLine(dc, g.left, g.top + 1, g.left, g.bottom - 1, ridge);
        } else {
            g.left += 2;
            g.right -= 2;
            if (close) {
                g.right -= s - 2;
                g.top += 4;
                g.bottom -= 4;
            }
            --g.bottom;
            PaintLinearGradient(dc, g, clBtnFace, clBtnShadow, true);
            PaintLine(dc, g.left + 1, g.top, g.right - 1, g.top, ridge);
        }
    }
    if (!close) return;
    RECT box = GetToolbarCloseButtonRect(frame);
    box.bottom -= 2;
    if (frame.Vertical)
        box.left += 2;
    else
        box.right -= 2;
    PaintCloseEdge(dc, box, frame.CloseButtonState);
    PaintPatternGlyph(dc, box, 7, 7, kSmallCloseGlyph, clBtnText);
}

void TThmMirandaTheme::PaintRadioRamp(HDC dc, const RECT& rect, TColor bottom, TColor top, TColor topRow) {
    PaintRadioGradient(dc, rect, bottom, top, false);
    const int n = rect.bottom - rect.top - 1;
    if (topRow == clNone || n < 1) return;
    const int inset = RadioDiscInset(kRadioDiscInsets11, n);
    PaintRectFill(dc, RECT{rect.left + inset, rect.top, rect.right - inset, rect.top + 1}, topRow);
}

void TThmMirandaTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    if (controlKind != 1 && controlKind != 2) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool checked = state & 1, marked = state & 3, hot = state & 8, pushed = state & 0x10;
    const TColor mark = CheckMarkColor(state);
    const RECT inside = Deflated(rect, 1, 1);
    TColor pen = clBtnShadow;
    if (controlKind == 1) {
        if (hot && pushed) {
            PaintFace(dc, inside, PushedTop(), PushedBottom());
            PaintLine(dc, inside.left, inside.top, inside.right, inside.top, CheckedLine());
        } else if (hot) {
            PaintFace(dc, inside, clBtnHighlight, clBtnFace);
            pen = States.Item[4][scFrame];
        } else if (marked) {
            PaintFace(dc, inside, clBtnFace, clBtnHighlight);
            PaintLine(dc, inside.left, inside.top, inside.right, inside.top, CheckedLine());
        }
        PaintOctagonOutline(dc, rect, 0, 0, pen);
        if (marked) PaintCheckMark(dc, rect, mark);
        return;
    }
    if (hot && pushed) {
        PaintRadioRamp(dc, inside, PushedBottom(), PushedTop(), CheckedLine());
    } else if (hot) {
        PaintRadioRamp(dc, inside, clBtnFace, clBtnHighlight, clNone);
        pen = States.Item[4][scFrame];
    } else if (marked) {
        PaintRadioRamp(dc, inside, clBtnHighlight, clBtnFace, CheckedLine());
    }
    POINT disc[24];
    for (int i = 0; i < 24; ++i) disc[i] = {rect.left + kRadioDiscOutline[i].x, rect.top + kRadioDiscOutline[i].y};
    PaintPolygon(dc, disc, 23, pen, clNone);
    if (checked) {
        const RECT dot = Deflated(rect, 4, 4);
        if (!IsEmptyArea(dot))
            PaintRoundRect(dc, dot.left, dot.top, dot.right, dot.bottom, dot.right - dot.left, dot.bottom - dot.top, mark,
                           mark);
    }
}

void TThmMirandaTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    switch (part) {
    case 0: {
        TThmClipGuard clip(dc, rect);
        PaintRectFill(dc, rect, clBtnFace);
        auto row = [&](int y, TColor c) { PaintLine(dc, rect.left, y, rect.right, y, c); };
        row(rect.top, ColorBlendPercent(clBtnShadow, cl3DDkShadow, 70));
        const int top[4] = {128, 64, 32, 12};
        for (int i = 0; i < 4; ++i) row(rect.top + 1 + i, ColorMixNearest(clBtnShadow, clBtnFace, top[i]));
        const int bottom[3] = {8, 16, 24};
        for (int i = 0; i < 3; ++i) row(rect.bottom - 3 + i, ColorMixNearest(clBtnShadow, clBtnFace, bottom[i]));
        return;
    }
    case 1:
    case 2: {
        // The divider of the last panel lies just right of it, on the grip's side.
        const int x = part == 1 ? rect.right - 3 : rect.right;
        TThmClipGuard clip(dc, rect, 1);
        PaintLine(dc, x, rect.top + 4, x, rect.bottom - 3, DisabledText);
        return;
    }
    case 3:
        PaintSizeGripLines(dc, rect, ColorMixNearest(clBtnFace, clBtnHighlight, 64),
                           ColorMixNearest(clBtnFace, clBtnShadow, 64));
        return;
    default: return;
    }
}

}  // namespace themes
