// The default theme's painting: classic 3-D edges and system colours, or the visual style's
// parts while visual-style data is open.
#include <vssym32.h>

#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmdefault_p.h"
#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/thmuxtheme.h"

namespace themed {

using namespace classlib;
using namespace detail;

namespace {

// 8 x 8 one-bit glyphs, one 16-bit word a row (the row's pixels in the high byte).
constexpr BYTE kChevronHorizontal[16] = {0xCC, 0, 0x66, 0, 0x33, 0, 0x66, 0, 0xCC, 0};
constexpr BYTE kChevronVertical[16] = {0x88, 0, 0xD8, 0, 0x70, 0, 0x20, 0,
                                       0x88, 0, 0xD8, 0, 0x70, 0, 0x20, 0};
constexpr BYTE kArrowDown[16] = {0xF8, 0, 0x70, 0, 0x20, 0};
constexpr BYTE kArrowRight[16] = {0x80, 0, 0xC0, 0, 0xE0, 0, 0xC0, 0, 0x80, 0};
constexpr BYTE kArrowUp[16] = {0x20, 0, 0x70, 0, 0xF8, 0};
constexpr BYTE kPanelClose[16] = {0xC6, 0, 0x6C, 0, 0x38, 0, 0x38, 0, 0x6C, 0, 0xC6, 0};
constexpr BYTE kToolbarClose[16] = {0x00, 0, 0xCC, 0, 0x78, 0, 0x30, 0, 0x78, 0, 0xCC, 0, 0x00, 0};

// A glyph in c, or embossed (highlight one pixel down and right, then shadow in place).
void PaintGlyph(HDC dc, const RECT& rect, int width, int height, const BYTE* pattern, bool enabled,
                TColor c) {
    if (enabled) {
        PaintPatternGlyph(dc, rect, width, height, pattern, c);
        return;
    }
    RECT shifted = rect;
    OffsetRect(&shifted, 1, 1);
    PaintPatternGlyph(dc, shifted, width, height, pattern, clBtnHighlight);
    PaintPatternGlyph(dc, rect, width, height, pattern, clBtnShadow);
}

RECT Deflated(RECT r, int dx, int dy) {
    InflateRect(&r, -dx, -dy);
    return r;
}

int ToolbarButtonState(bool pressed, bool hot) { return pressed ? TS_PRESSED : hot ? TS_HOT : TS_NORMAL; }

}  // namespace

void TThmDefaultTheme::PaintViewBackground(TCanvas& canvas, const RECT&, const RECT& paintRect,
                                           const RECT& clipRect, TColor color, bool transparent, int) {
    if (transparent) return;
    RECT r;
    if (IntersectRect(&r, &paintRect, &clipRect)) PaintRectFill(canvas.Handle(), r, color);
}

void TThmDefaultTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const bool menuBar = ViewKindIs(item.ViewKind, vkMenuBar);
    const bool opaque = (item.ViewKind & vkOpaqueItems) != 0;
    const bool hot = IsHot(item);
    const bool pressedOrChecked = item.Enabled && (item.Pushed || item.Checked);
    HTHEME toolbarData = StyleData(vscToolbar);

    if (toolbarData && !menuBar) {
        int state;
        if (item.Pushed) state = TS_PRESSED;
        else if (item.Enabled) state = item.Checked ? (hot ? TS_HOTCHECKED : TS_CHECKED) : (hot ? TS_HOT : TS_NORMAL);
        else state = item.HotState == hsKeyboardSelected ? TS_HOT : TS_DISABLED;
        const int part = TP_BUTTON + std::clamp<int>(item.SplitPart, 0, 3);
        if (opaque && VisualStyleApi().GetThemeBackgroundRegion) {
            RECT regionRect = rect;
            if (item.SplitPart == spSplitArrow) --regionRect.left;
            HRGN region = nullptr;
            if (SUCCEEDED(VisualStyleApi().GetThemeBackgroundRegion(toolbarData, dc, part, TS_HOT, &regionRect,
                                                                    &region)) && region) {
                TGdiObject<HRGN> owned(region);
                TGdiObject<HBRUSH> face(CreateSolidBrush(ColorToRGB(ToolbarFace)));
                TGdiObject<HBRUSH> shadow(CreateSolidBrush(ColorToRGB(clBtnShadow)));
                FillRgn(dc, region, face.Handle());
                FrameRgn(dc, region, shadow.Handle(), 1, 1);
            }
        }
        DrawStylePart(dc, vscToolbar, part, state, rect);
        return;
    }

    if (menuBar && UseFlatMenus) {
        if (pressedOrChecked || ActiveLook(item)) PaintRectFill(dc, rect, clHighlight);
        return;
    }

    RECT r = rect;
    // The classic arrow part keeps two pixels off its right end, where the next item starts.
    if (!toolbarData && item.SplitPart == spSplitArrow) r.right -= 2;
    if (UseFlatMenus && (pressedOrChecked || ActiveLook(item))) PaintRectFill(dc, r, ToolbarFace);
    if (opaque) {
        const bool raised = hot && item.Enabled && !item.Pushed && !item.Checked;
        RECT e = r;
        // An idle split button reaches one pixel into its arrow part so that the two merge.
        if (!raised && item.SplitPart == spSplitButton) ++e.right;
        DrawEdge(dc, &e, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE | (raised ? 0 : BF_FLAT));
        if (item.Enabled && item.Checked && !hot) PaintCheckerRect(dc, e, ToolbarFace, clBtnHighlight);
    } else if (pressedOrChecked) {
        RECT e = r;
        DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (item.Checked && !item.Pushed && !hot) PaintCheckerRect(dc, e, ToolbarFace, clBtnHighlight);
    } else if (ActiveLook(item)) {
        RECT e = r;
        DrawEdge(dc, &e, BDR_RAISEDINNER, BF_RECT);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmDefaultTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const std::wstring& caption, UINT format, bool rotated) {
    // A pushed caption moves by one pixel; its text stays within one pixel of the rectangle.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    TColor color = canvas.Font().Color();
    if (color == clNone) color = GetItemTextColor(item);
    RECT r = rect;
    const bool toolbarStyle = IsToolbarStyle(item);
    // A disabled popup item reached by the keyboard: grey text on the highlight, not embossed.
    if (!(!toolbarStyle && !item.Enabled && item.HotState == hsKeyboardSelected)) {
        const bool flatMenuBar = ViewKindIs(item.ViewKind, vkMenuBar) && UseFlatMenus;
        if (toolbarStyle && item.Enabled && (item.Pushed || item.Checked) && !flatMenuBar) OffsetRect(&r, 1, 1);
        if (!item.Enabled && !VisualStylesOpen) {
            RECT lower = r;
            OffsetRect(&lower, 1, 1);
            DrawThemeCaption(canvas, caption, lower, format, clBtnHighlight, rotated);
            color = clBtnShadow;
        }
    }
    DrawThemeCaption(canvas, caption, r, format, color, rotated);
}

void TThmDefaultTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    const TColor color = item.Enabled ? clBtnText : clGrayText;
    if (item.ItemFlags & ifRadioItem) {
        if (!item.Enabled) PaintRoundRect(dc, cx - 2, cy - 2, cx + 5, cy + 5, 6, 6, clBtnHighlight, clBtnHighlight);
        const TColor ring = ColorMix(color, clHighlight, 128);
        PaintRoundRect(dc, cx - 3, cy - 3, cx + 4, cy + 4, 2, 2, ring, ring);
        PaintRoundRect(dc, cx - 3, cy - 3, cx + 4, cy + 4, 6, 6, color, color);
        return;
    }
    const POINT tick[7] = {{cx - 3, cy - 1}, {cx - 1, cy + 1}, {cx + 3, cy - 3}, {cx + 3, cy - 2},
                           {cx - 1, cy + 2}, {cx - 3, cy},     {cx - 3, cy - 1}};
    PaintPolyline(dc, tick, 6, color);
    if (!item.Enabled) {
        POINT lower[7];
        for (int i = 0; i < 7; ++i) lower[i] = {tick[i].x + 1, tick[i].y + 1};
        PaintPolyline(dc, lower, 6, clBtnHighlight);
    }
}

void TThmDefaultTheme::PaintChevronButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    PaintItemButton(canvas, rect, item);
    RECT area = rect;
    int width, height;
    const BYTE* pattern;
    if (item.Vertical) {
        area.left = rect.right - 9;
        area.right = rect.right - 4;
        width = 5;
        height = 8;
        pattern = kChevronVertical;
    } else {
        area.top = rect.top + 4;
        area.bottom = rect.top + 9;
        width = 8;
        height = 5;
        pattern = kChevronHorizontal;
    }
    if (item.Pushed) OffsetRect(&area, 1, 1);
    PaintGlyph(canvas.Handle(), area, width, height, pattern, item.Enabled, clBtnText);
}

void TThmDefaultTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                    const TThmEditBoxInfo& editBox) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    PaintItemFrame(canvas, rect, item);
    const int inset = GetIntMetric(tmEditFrameInset);
    const RECT box = Deflated(rect, inset, inset);
    RECT text = box;
    if (editBox.RightButtonWidth > 0) text.right -= editBox.RightButtonWidth - 2;
    if (item.Enabled) PaintRectFill(canvas.Handle(), text, clWindow);
    if (editBox.RightButtonWidth > 0) {
        RECT button = box;
        button.left = box.right - editBox.RightButtonWidth;
        PaintEditBoxButton(canvas, button, item, editBox.RightButton);
    }
}

void TThmDefaultTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                          const TThmEditButtonInfo& button) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    if (button.ButtonKind == 1) {
        const bool pressed = button.ButtonState & 4;
        if (StyleData(vscComboBox)) {
            RECT r = rect;
            if (hot) InflateRect(&r, 1, 1);
            const int state = disabled ? CBXS_DISABLED : pressed ? CBXS_PRESSED : hot ? CBXS_HOT : CBXS_NORMAL;
            DrawStylePart(dc, vscComboBox, CP_DROPDOWNBUTTON, state, r);
            return;
        }
        RECT r = rect;
        r.left += 2;
        PaintLine(dc, r.left - 1, r.top, r.left - 1, r.bottom, hot || pressed ? ToolbarFace : clWindow);
        RECT face = r;
        if (pressed)
            DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (hot)
            DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        PaintRectFill(dc, face, ToolbarFace);
        TThmItemInfo arrow = item;
        arrow.Enabled = !disabled;
        arrow.Pushed = pressed;
        arrow.Checked = false;
        arrow.SplitPart = spPlain;
        arrow.Vertical = false;
        PaintDropArrow(canvas, r, arrow);
        return;
    }
    if (button.ButtonKind != 2) return;
    // A spin pair: the upper and the lower half.
    RECT upper = rect, lower = rect;
    upper.bottom = lower.top = (rect.top + rect.bottom) / 2;
    const bool upperPressed = button.ButtonState & 4, lowerPressed = button.ButtonState & 8;
    if (StyleData(vscSpin)) {
        auto state = [&](bool pressed) { return disabled ? UPS_DISABLED : pressed ? UPS_PRESSED : hot ? UPS_HOT : UPS_NORMAL; };
        DrawStylePart(dc, vscSpin, SPNP_UP, state(upperPressed), upper);
        DrawStylePart(dc, vscSpin, SPNP_DOWN, state(lowerPressed), lower);
        return;
    }
    const TColor glyph = IsToolbarStyle(item) ? clBtnText : PopupMenuTextColor;
    auto half = [&](RECT r, bool pressed, const BYTE* pattern) {
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
        if (pressed) OffsetRect(&r, 1, 1);
        PaintGlyph(dc, r, 5, 3, pattern, !disabled, glyph);
    };
    half(upper, upperPressed, kArrowUp);
    half(lower, lowerPressed, kArrowDown);
}

void TThmDefaultTheme::PaintDockBackground(TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                                           int dockPosition) {
    RECT r = clientRect;
    if (dockPosition == 3 || dockPosition == 4) ++r.bottom;
    DrawStylePart(canvas.Handle(), vscRebar, 0, 0, r, &paintRect);
}

void TThmDefaultTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, ToolbarFace, true);
    RECT client = r;
    if (frame.CaptionShown) {
        const int barSize = GetSystemMetrics(SM_CYSMCAPTION);
        const bool across = frame.CaptionHorizontal;
        RECT bar = r;
        if (across) {
            bar.bottom = std::min(r.bottom, r.top + barSize);
            client.top = bar.bottom;
        } else {
            bar.right = std::min(r.right, r.left + barSize);
            client.left = bar.right;
        }
        DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT | BF_SOFT | BF_ADJUST);
        // The bar's fill runs from left to right for both layouts.
        auto fill = [&](const RECT& part) {
            if (VisualStylesOpen)
                PaintGradientRect(dc, part, ColorShiftLevel(ToolbarFace, 12), ColorShiftLevel(ToolbarFace, -12), false);
            else
                PaintRectFill(dc, part, ToolbarFace);
        };
        if (frame.CloseButtonState & cbsShown) {
            RECT button = bar;
            if (across) {
                button.left = std::max(bar.left, bar.right - (bar.bottom - bar.top));
                bar.right = button.left;
            } else {
                button.top = std::max(bar.top, bar.bottom - (bar.right - bar.left));
                bar.bottom = button.top;
            }
            fill(button);
            InflateRect(&button, -1, -1);
            const bool pressed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
            if (!DrawStylePart(dc, vscToolbar, TP_BUTTON, ToolbarButtonState(pressed, hot), button)) {
                RECT edge = button;
                if (pressed)
                    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
                else if (hot)
                    DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
            }
            InflateRect(&button, -2, -2);
            if (pressed) OffsetRect(&button, 1, 1);
            PaintPatternGlyph(dc, button, 7, 6, kPanelClose, clBtnText);
        }
        fill(bar);
        if (frame.Caption && *frame.Caption) {
            RECT text = bar;
            if (across)
                InflateRect(&text, -2, 0);
            else
                InflateRect(&text, 0, -2);
            DrawThemeCaptionInFont(canvas, DefaultCaptionFont(), frame.Caption, text,
                           across ? DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX
                                  : DT_END_ELLIPSIS | DT_NOPREFIX,
                           clBtnText, !across);
        }
    }
    PaintRectFrame(dc, client, clWindow, false);
}

void TThmDefaultTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    RECT r = rect;
    if ((item.Pushed || item.Checked) && item.SplitPart != spSplitArrow) OffsetRect(&r, 1, 1);
    const TColor color = IsToolbarStyle(item) ? clBtnText : PopupMenuTextColor;
    if (item.Vertical)
        PaintGlyph(canvas.Handle(), r, 3, 5, kArrowRight, item.Enabled, color);
    else
        PaintGlyph(canvas.Handle(), r, 5, 3, kArrowDown, item.Enabled, color);
}

void TThmDefaultTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const RECT caption = GetFloatingCaptionRect(frame, true, false);
    const RECT inner{rect.left + frame.BorderSize.x, rect.top + frame.BorderSize.y,
                     rect.right - frame.BorderSize.x, rect.bottom - frame.BorderSize.y};
    const bool closeShown = (frame.CloseButtonState & cbsShown) && frame.CaptionShown;
    const bool pressed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
    const TColor captionText = frame.Active ? clCaptionText : clInactiveCaptionText;

    if (StyleData(vscWindow)) {
        const int state = frame.Active ? FS_ACTIVE : FS_INACTIVE;
        if (frame.RedrawParts & rpBorder) {
            const int top = frame.CaptionShown ? caption.bottom : inner.top;
            DrawStylePart(dc, vscWindow, WP_SMALLFRAMELEFT, state, RECT{rect.left, top, inner.left, inner.bottom});
            DrawStylePart(dc, vscWindow, WP_SMALLFRAMERIGHT, state, RECT{inner.right, top, rect.right, inner.bottom});
            DrawStylePart(dc, vscWindow, WP_SMALLFRAMEBOTTOM, state, RECT{rect.left, inner.bottom, rect.right, rect.bottom});
            if (!frame.CaptionShown)
                DrawStylePart(dc, vscWindow, WP_SMALLFRAMEBOTTOM, state, RECT{rect.left, rect.top, rect.right, inner.top});
        }
        if ((frame.RedrawParts & rpCaption) && frame.CaptionShown) {
            DrawStylePart(dc, vscWindow, WP_SMALLCAPTION, state, RECT{rect.left, rect.top, rect.right, caption.bottom});
            if (frame.Caption && *frame.Caption) {
                RECT text = GetFloatingCaptionRect(frame, true, closeShown);
                text.left += 2;
                DrawThemeCaptionInFont(canvas, DefaultCaptionFont(), frame.Caption, text,
                               DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER | DT_NOPREFIX, captionText, false);
            }
        }
        if ((frame.RedrawParts & rpCloseButton) && closeShown) {
            RECT button = Deflated(GetFloatingCloseButtonRect(frame, true), 1, 1);
            DrawStylePart(dc, vscWindow, WP_SMALLCLOSEBUTTON, pressed ? CBS_PUSHED : hot ? CBS_HOT : CBS_NORMAL, button);
        }
        return;
    }

    BOOL gradients = FALSE;
    SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradients, 0);
    if (frame.RedrawParts & rpBorder) {
        // The ring between the edge and the client area in the window's colour, then the edge.
        TGdiObject<HRGN> ring(CreateRectRgnIndirect(&rect));
        TGdiObject<HRGN> hole(CreateRectRgnIndirect(&inner));
        CombineRgn(ring.Handle(), ring.Handle(), hole.Handle(), RGN_DIFF);
        FillRgn(dc, ring.Handle(), canvas.Brush().Handle());
        RECT edge = rect;
        DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    }
    if ((frame.RedrawParts & rpCaption) && frame.CaptionShown) {
        RECT bar = GetFloatingCaptionRect(frame, true, closeShown);
        UINT flags = DC_SMALLCAP | (frame.Active ? DC_ACTIVE : 0) | (gradients ? DC_GRADIENT : 0);
        if (!frame.WindowHandle || !DrawCaption(frame.WindowHandle, dc, &bar, flags))
            PaintRectFill(dc, bar, frame.Active ? clActiveCaption : clInactiveCaption);
        if (frame.Caption && *frame.Caption) {
            RECT text = bar;
            text.left += 2;
            DrawThemeCaptionInFont(canvas, DefaultCaptionFont(), frame.Caption, text,
                           DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER | DT_NOPREFIX, captionText, false);
        }
        PaintLine(dc, caption.left, caption.bottom, caption.right, caption.bottom, clBtnFace);
    }
    if ((frame.RedrawParts & rpCloseButton) && closeShown) {
        RECT area = GetFloatingCloseButtonRect(frame, true);
        TColor back = gradients ? (frame.Active ? clGradientActiveCaption : clGradientInactiveCaption)
                                : (frame.Active ? clActiveCaption : clInactiveCaption);
        PaintRectFill(dc, area, back);
        RECT button = Deflated(area, 2, 2);
        DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | (pressed ? DFCS_PUSHED : 0));
    }
}

void TThmDefaultTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const bool opaque = (item.ViewKind & vkOpaqueItems) != 0;
    const bool active = item.Pushed || item.Checked || ActiveLook(item);
    RECT r = rect;
    if (StyleData(vscComboBox)) {
        PaintRectFrame(dc, r, opaque ? clBtnShadow : ToolbarFace, true);
        if (active) DrawStylePart(dc, vscComboBox, 0, 0, r);
        PaintRectFrame(dc, r, clWindow, true);
        return;
    }
    if (opaque) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | (active ? 0 : BF_FLAT | BF_SOFT));
        return;
    }
    if (active) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else {
        PaintRectFrame(dc, r, ToolbarFace, true);
    }
    PaintRectFrame(dc, r, clWindow, true);
}

void TThmDefaultTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                      TImageList* images, int imageIndex) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    if (!images) return;
    RECT r = rect;
    if (item.Pushed || item.Checked) OffsetRect(&r, 1, 1);
    const bool toolbarStyle = IsToolbarStyle(item);
    const bool popupMenu = ViewKindIs(item.ViewKind, vkPopupMenu);
    if ((toolbarStyle && !VisualStylesOpen) || (!toolbarStyle && popupMenu && !UseFlatMenus)) {
        images->Draw(canvas, r.left, r.top, imageIndex, item.Enabled);
        return;
    }
    const TColor back = GetItemImageBackColor(item);
    if (!item.Enabled) {
        PaintImageShadow(canvas, r, *images, imageIndex, 0);
    } else if (!item.Checked && !item.Pushed && !IsHot(item) && !popupMenu && !ColorIsDark(back, 100) &&
               !IsWhiteButtonFace && !IsLowColorDisplay) {
        PaintImageTinted(canvas, r, *images, imageIndex, clWindow, 178);
    } else {
        PaintImageLightened(canvas, r, *images, imageIndex, !popupMenu && ColorIsDark(back, 100));
    }
}

void TThmDefaultTheme::PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                             int buttonKind) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    static constexpr int kParts[4] = {WP_MDICLOSEBUTTON, WP_MDIMINBUTTON, 0, WP_MDIRESTOREBUTTON};
    static constexpr UINT kControls[4] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE};
    if (buttonKind < 0 || buttonKind > 3) return;
    HDC dc = canvas.Handle();
    const int state = item.Pushed ? CBS_PUSHED : IsHot(item) ? CBS_HOT : CBS_NORMAL;
    if (DrawStylePart(dc, vscWindow, kParts[buttonKind], state, rect)) return;
    RECT r = rect;
    DrawFrameControl(dc, &r, DFC_CAPTION, kControls[buttonKind] | (item.Pushed ? DFCS_PUSHED : 0));
}

void TThmDefaultTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const int checkWidth = GetSystemMetrics(SM_CXMENUCHECK);
    const bool imageOrCheck = item.ImageShown || item.Checked;
    const bool split = item.ItemFlags & ifSplitItem;
    RECT face = rect;
    if (imageOrCheck) face.left = rect.left + GetIntMetric(tmMenuImageGap) + item.ImageColumnWidth;
    if (split && item.Enabled) face.right -= checkWidth;
    PaintPopupItemFrame(canvas, face, item);

    if (split) {
        RECT column{rect.right - checkWidth, rect.top, rect.right, rect.bottom};
        if (item.Enabled && IsHot(item))
            DrawEdge(dc, &column, BDR_SUNKENOUTER, BF_RECT);
        else
            DrawEdge(dc, &column, ActiveLook(item) ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
    }
    if (item.ItemFlags & ifSubmenu) {
        const int x = rect.right - 2 * checkWidth / 3 - 2, y = (rect.top + rect.bottom) / 2;
        const POINT arrow[3] = {{x, y - 3}, {x, y + 3}, {x + 3, y}};
        if (item.Enabled) {
            const TColor color = IsHot(item) && !split ? clHighlightText : PopupMenuTextColor;
            PaintPolygon(dc, arrow, 2, color, color);
        } else {
            if (item.HotState != hsKeyboardSelected) {
                const POINT lower[3] = {{x + 1, y - 2}, {x + 1, y + 4}, {x + 4, y + 1}};
                PaintPolygon(dc, lower, 2, clBtnHighlight, clBtnHighlight);
            }
            PaintPolygon(dc, arrow, 2, clBtnShadow, clBtnShadow);
        }
    }
    if (item.Enabled && imageOrCheck && (IsHot(item) || item.Checked)) {
        RECT column{rect.left, rect.top, rect.left + item.ImageColumnWidth, rect.bottom};
        if (UseFlatMenus) PaintRectFill(dc, column, ToolbarFace);
        PaintItemButton(canvas, column, item);
    }
}

void TThmDefaultTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (ActiveLook(item)) PaintRectFill(canvas.Handle(), rect, clHighlight);
}

void TThmDefaultTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    static constexpr UINT kScroll[4] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
    if (direction < 1 || direction > 4) return;
    HDC dc = canvas.Handle();
    if (DrawStylePart(dc, vscToolbar, TP_BUTTON, hot ? TS_PRESSED : TS_HOT, rect)) {
        const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
        const int s = std::min(rect.right - rect.left, rect.bottom - rect.top) / 2 * 3 / 4;
        POINT t[3];
        switch (direction) {
        case 1: t[0] = {cx - s, cy + s / 2}; t[1] = {cx + s, cy + s / 2}; t[2] = {cx, cy - s / 2}; break;
        case 2: t[0] = {cx - s, cy - s / 2}; t[1] = {cx + s, cy - s / 2}; t[2] = {cx, cy + s / 2}; break;
        case 3: t[0] = {cx + s / 2, cy - s}; t[1] = {cx + s / 2, cy + s}; t[2] = {cx - s / 2, cy}; break;
        default: t[0] = {cx - s / 2, cy - s}; t[1] = {cx - s / 2, cy + s}; t[2] = {cx + s / 2, cy}; break;
        }
        const TColor color = hot ? clBtnText : canvas.Pen().Color();
        PaintPolygon(dc, t, 2, color, color);
        return;
    }
    RECT r = rect;
    DrawFrameControl(dc, &r, DFC_SCROLL, kScroll[direction - 1] | (hot ? DFCS_PUSHED : 0));
}

void TThmDefaultTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    RECT r = rect;
    if (ViewKindIs(frame.ViewKind, vkListPopup)) {
        PaintRectFrame(dc, r, clWindowFrame, true);
        PaintRectFrame(dc, r, clWindow, true);
        PaintRectFrame(dc, r, clWindow, false);
    } else if (ViewKindIs(frame.ViewKind, vkToolBoxPopup) || !UseFlatMenus) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        PaintRectFrame(dc, r, ViewKindIs(frame.ViewKind, vkToolBoxPopup) ? ToolbarFace : PopupMenuColor, false);
    } else {
        PaintRectFrame(dc, r, clBtnShadow, true);
        PaintRectFrame(dc, r, PopupMenuColor, true);
        PaintRectFrame(dc, r, PopupMenuColor, false);
    }
}

void TThmDefaultTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                          bool horizontal, bool lineSeparator) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    if (!item.Enabled) return;
    HDC dc = canvas.Handle();
    if (!ViewKindIs(item.ViewKind, vkPopupMenu) &&
        DrawStylePart(dc, vscToolbar, horizontal ? TP_SEPARATORVERT : TP_SEPARATOR, TS_NORMAL, rect))
        return;
    int inset = lineSeparator ? ((item.ViewKind & vkFloating) ? 1 : 4) : 0;
    if (horizontal && !IsToolbarStyle(item)) inset = 12;
    RECT line;
    UINT side;
    if (horizontal) {
        const int y = (rect.top + rect.bottom) / 2 - 1;
        line = RECT{rect.left + inset, y, rect.right - inset, y + 2};
        side = BF_TOP;
    } else {
        const int x = (rect.left + rect.right) / 2 - 1;
        line = RECT{x, rect.top + inset, x + 2, rect.bottom - inset};
        side = BF_LEFT;
    }
    if (!IsRectEmpty(&line)) DrawEdge(dc, &line, EDGE_ETCHED, side);
}

void TThmDefaultTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    canvas.FillRect(rect);
    HDC dc = canvas.Handle();
    const bool styled = StyleData(vscToolbar) != nullptr;
    if (frame.BorderStyle == 1) {
        RECT r = rect;
        if (styled)
            PaintEdgeLines(dc, r, ColorShiftLevel(frame.EffectiveColor, 24), ColorShiftLevel(frame.EffectiveColor, -32),
                           false);
        else
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    if (!frame.AllowDrag) return;
    const int size = GetDragHandleSize(frame);
    const bool closeShown = frame.CloseButtonState & cbsShown;
    const int bx = rect.left + frame.BorderSize.x, by = rect.top + frame.BorderSize.y;
    // The handle strip: across the top when docked at a side, at the left otherwise.
    const RECT strip = frame.Vertical ? RECT{bx, by, bx + frame.ClientWidth, by + size}
                                      : RECT{bx, by, bx + size, by + frame.ClientHeight};
    RECT close = GetToolbarCloseButtonRect(frame);
    OffsetRect(&close, rect.left, rect.top);

    if (frame.DragHandleStyle != dhNone) {
        if (StyleData(vscRebar)) {
            RECT grip = strip;
            if (frame.Vertical) {
                grip.top = strip.top + (size - 6) / 2;
                grip.bottom = grip.top + 6;
                if (closeShown) grip.right = close.left - 1;
                grip.right = grip.left + (grip.right - grip.left) / 4 * 4;
            } else {
                grip.left = strip.left + (size - 6) / 2;
                grip.right = grip.left + 6;
                if (closeShown) grip.top = close.bottom + 1;
                grip.bottom = grip.top + (grip.bottom - grip.top) / 4 * 4;
            }
            if (!IsRectEmpty(&grip)) DrawStylePart(dc, vscRebar, frame.Vertical ? RP_GRIPPERVERT : RP_GRIPPER, 0, grip);
        } else {
            int offset = 2;
            if (closeShown) offset = frame.DragHandleStyle == dhDouble ? 3 : 5;
            const int bars = frame.DragHandleStyle == dhDouble ? 2 : 1;
            for (int i = 0; i < bars; ++i) {
                RECT bar;
                if (frame.Vertical) {
                    const int y = strip.top + offset + 3 * i;
                    bar = RECT{strip.left + 2, y, (closeShown ? close.left : strip.right) - 2, y + 3};
                } else {
                    const int x = strip.left + offset + 3 * i;
                    bar = RECT{x, (closeShown ? close.bottom : strip.top) + 2, x + 3, strip.bottom - 2};
                }
                if (IsRectEmpty(&bar)) continue;
                RECT edge = bar;
                DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
                SetPixelV(dc, bar.left, bar.bottom - 1, ColorToRGB(clBtnHighlight));
            }
        }
    }
    if (closeShown) {
        const int smaller = styled ? 1 : 2;
        close.bottom -= smaller;
        if (frame.Vertical)
            close.right -= smaller;
        else
            close.left += smaller;
        const bool pressed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
        if (!DrawStylePart(dc, vscToolbar, TP_BUTTON, ToolbarButtonState(pressed, hot), close)) {
            RECT edge = close;
            if (pressed)
                DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            else if (hot)
                DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
        RECT glyph = close;
        if (pressed) OffsetRect(&glyph, 1, 1);
        PaintPatternGlyph(dc, glyph, 7, 7, kToolbarClose, clBtnText);
    }
}

void TThmDefaultTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    HDC dc = canvas.Handle();
    const bool checked = state & 1, grey = state & 2, disabled = state & 4, hot = state & 8, pressed = state & 0x10;
    const bool checkBox = controlKind == 1;
    if (StyleData(vscButton)) {
        int base = checked ? 5 : (checkBox && grey ? 9 : 1);
        int offset = disabled ? 3 : pressed ? 2 : hot ? 1 : 0;
        DrawStylePart(dc, vscButton, checkBox ? BP_CHECKBOX : BP_RADIOBUTTON, base + offset, rect);
        return;
    }
    if (!disabled && (hot || pressed)) {
        RECT r = rect;
        UINT flags;
        if (checkBox) {
            flags = DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0) | (grey ? DFCS_CHECKED | DFCS_BUTTON3STATE : 0);
        } else {
            flags = DFCS_BUTTONRADIO | (checked ? DFCS_CHECKED : 0);
        }
        DrawFrameControl(dc, &r, DFC_BUTTON, flags | (pressed ? DFCS_PUSHED : 0));
        return;
    }
    // The flat look.
    RECT r = Deflated(rect, 1, 1);
    const TColor face = disabled || pressed ? clBtnFace : clWindow;
    if (checkBox) {
        PaintRectFrame(dc, r, clBtnShadow, true);
        if (disabled || pressed)
            PaintRectFill(dc, r, clBtnFace);
        else if (grey)
            PaintCheckerRect(dc, r, clWindow, clBtnFace);
        else
            PaintRectFill(dc, r, clWindow);
        if (checked || grey) {
            const int cx = (rect.left + rect.right) / 2 - 1, cy = (rect.top + rect.bottom) / 2 + 1;
            const POINT tick[6] = {{cx - 2, cy}, {cx, cy + 2}, {cx + 4, cy - 2}, {cx + 4, cy - 4}, {cx, cy}, {cx - 2, cy - 2}};
            const TColor color = disabled ? clGrayText : grey ? clBtnShadow : clBtnText;
            PaintPolygon(dc, tick, 5, color, color);
        }
        return;
    }
    ++r.left;
    --r.bottom;
    PaintRoundRect(dc, r.left, r.top, r.right, r.bottom, r.right - r.left - 2, r.bottom - r.top - 2, clBtnShadow, face);
    if (checked) {
        RECT dot = Deflated(r, 3, 3);
        PaintRoundRect(dc, dot.left, dot.top, dot.right, dot.bottom, dot.right - dot.left, dot.bottom - dot.top,
                       clBtnText, clBtnText);
    }
}

void TThmDefaultTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    // Fixed-size glyphs and derived rectangles stay near small rectangles.
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    static constexpr int kParts[4] = {0, SP_PANE, SP_GRIPPERPANE, SP_GRIPPER};
    if (part < 0 || part > 3) return;
    HDC dc = canvas.Handle();
    if (DrawStylePart(dc, vscStatus, kParts[part], 0, rect)) return;
    RECT r = rect;
    switch (part) {
    case 0:
        PaintRectFill(dc, r, StatusBarFace);
        break;
    case 1:
    case 2:
        if (part == 1) r.right -= 2;
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        break;
    default:
        // Three diagonal grooves in the bottom-right corner, each a highlight line above two
        // shadow lines.
        for (int group = 0; group < 3; ++group) {
            for (int line = 1; line <= 3; ++line) {
                const int n = 4 * group + line;
                if (n >= r.right - r.left || n >= r.bottom - r.top) continue;
                PaintLine(dc, r.right - 1, r.bottom - 1 - n, r.right - 2 - n, r.bottom,
                          line == 1 ? clBtnHighlight : clBtnShadow);
            }
        }
        break;
    }
}

}  // namespace themed
