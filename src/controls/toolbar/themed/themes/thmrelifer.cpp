#include "controls/toolbar/themed/themes/thmrelifer.h"

#include <algorithm>

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kCaptionTop = 0xF0F0F0, kCaptionBottom = 0xD0D0D0;

// A toolbar, menu bar or tool window: the bars that get a raised edge.
bool IsBarView(int viewKind) {
    return ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkMenuBar) || ViewKindIs(viewKind, vkToolWindow);
}

// The sunken edge of a pushed menu-bar item and of a popup check face.
void PaintSunkenEdge(HDC dc, const RECT& r, TColor dark, TColor light) {
    if (IsEmptyArea(r)) return;
    PaintLine(dc, r.left, r.top, r.right - 1, r.top, dark);
    PaintLine(dc, r.left, r.top, r.left, r.bottom - 1, dark);
    PaintLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, light);
    PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, light);
}

}  // namespace

TThmReliferTheme::TThmReliferTheme(std::wstring name)
    : TThmReliferTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmReliferTheme>()) {}

TThmReliferTheme::TThmReliferTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmStateTheme(std::move(name), std::move(glyphs)), CheckedHotFace(ColorBlendPercent(BaseColor, NeutralColor, 90)) {}

std::unique_ptr<TThmTheme> CreateReliferTheme(const std::wstring& name) {
    return std::make_unique<TThmReliferTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmReliferTheme::RebuildColorCache() {
    LightBaseColor = ColorBlendPercent(BaseColor, kWhite, 80);
    LightColor = kWhite;
    HighlightEdge = kWhite;
    ShadowEdge = kSilver;
    MenuBarFill = ToolbarFill = PopupFill = DockPanelFill = 0xF0F0F0;
    CaptionUnderline = 0xA8A8A8;
    EditFrame = ColorBlendPercent(kSilver, kWhite, 80);
    const TColor paleBase = ColorBlendPercent(BaseColor, kWhite, 80);
    const TColor hotFill = Contrasted(paleBase, ToolbarFill, 50);
    const TColor grayBorder = ColorBlendPercent(0x808080, kWhite, 80);
    FloatingToolbarBorder[0] = FloatingToolbarBorder[1] = grayBorder;
    FloatingPanelBorder[0] = grayBorder;
    FloatingPanelBorder[1] = 0x808080;

    auto set = [](TColor (&row)[3], TColor fill, TColor text, TColor frame) {
        row[scFill] = fill;
        row[scText] = text;
        row[scFrame] = frame;
    };
    auto& item = States.Item;
    const TColor normalText = Contrasted(0x000000, ToolbarFill, 180);
    const TColor paleSilver = ColorBlendPercent(kSilver, kWhite, 50);
    set(item[0], clNone, normalText, clNone);
    set(item[1], kWhite, Contrasted(ColorBlendPercent(0x808080, kWhite, 70), ToolbarFill, 80), paleSilver);
    set(item[2], Contrasted(kSilver, ToolbarFill, 5), normalText, paleSilver);
    set(item[3], paleBase, 0x000000, BaseColor);
    set(item[4], hotFill, 0x000000, Contrasted(paleBase, ToolbarFill, 100));
    set(item[5], hotFill, ColorBlendPercent(clBtnShadow, clWindow, 90), clNone);
    const TColor checkedHotFill = Contrasted(ColorBlendPercent(BaseColor, kWhite, 25), ToolbarFill, 30);
    set(item[6], checkedHotFill, Contrasted(kWhite, checkedHotFill, 180),
        Contrasted(ColorBlendPercent(BaseColor, kWhite, 25), checkedHotFill, 100));
    set(item[7], paleBase, 0x000000, BaseColor);

    auto& popup = States.Popup;
    set(popup[0], clNone, Contrasted(0x000000, PopupFill, 180), clNone);
    set(popup[1], clNone, Contrasted(ColorBlendPercent(0x808080, kWhite, 70), PopupFill, 80), clNone);
    set(popup[2], BaseColor, item[4][scText], item[4][scFrame]);
    set(popup[3], PopupFill, ColorBlendPercent(0x808080, kWhite, 50), clNone);
    SplitDivider = 0x000000;

    // Only colours the screen can show; the edge colours stay as they are.
    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c)));
    };
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &SplitDivider, &FloatingToolbarBorder[0],
                      &FloatingToolbarBorder[1], &FloatingPanelBorder[0], &FloatingPanelBorder[1]})
        snap(*c);
    States.SnapToScreen();
}

int TThmReliferTheme::GetShadowKind() { return 3; }

int TThmReliferTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmDropArrowWidth:
    case tmMenuCaptionGap: return 8;
    case tmDropArrowMargin:
    case tmMenuCaptionEndGap: return 3;
    case tmMenuImageGap: return 0;
    case tmMenuSeparatorSize: return 4;
    case tmMDIButtonNarrower:
    case tmMDIButtonLower:
    case tmSpareSize61:
    case tmSpareSize62: return 2;
    case tmToolbarSeparatorSize: return 6;
    case tmEditFrameInset: return 1;
    case tmSpareSize65: return 14;
    default: return -1;
    }
}

bool TThmReliferTheme::GetBoolMetric(int index) {
    return index == tbPaintDockBackground || index == tbSolidToolbarNCArea || index == tbSolidToolbarClientArea;
}

// --- painting -----------------------------------------------------------------------------------

void TThmReliferTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    const TButtonOutline outline = ButtonOutline(rect, item, 2, 1);
    const RECT& r = outline.Rect;
    const int leftCut = outline.LeftCut, rightCut = outline.RightCut;
    const bool highlighted = Highlighted(item);

    if (HasOpaqueItems(item.ViewKind) && !highlighted) {
        if (item.Enabled) PaintRectFill(dc, Deflated(r, 1, 1), ToolbarFill);
        PaintOctagonOutline(dc, r, leftCut, rightCut, ColorBlendPercent(clHighlight, clWindow, item.Enabled ? 20 : 15));
    }
    if (ViewKindIs(item.ViewKind, vkMenuBar) && !MenuBarItemsAsButtons) {
        if (!highlighted) return;
        if (item.Pushed) {
            PaintRectFill(dc, r, 0xE0E0E0);
            PaintSunkenEdge(dc, r, ShadowEdge, HighlightEdge);
        } else {
            PaintGlossBitmap(dc, Deflated(r, 1, 1), ButtonStateColor(item, scFill), kWhite, true);
            PaintOctagonOutline(dc, r, 0, 0, ButtonStateColor(item, scFrame));
        }
        return;
    }
    if (item.Enabled && (item.Pushed || item.Checked)) {
        const RECT face = Deflated(r, 1, 1);
        TColor pen;
        if (item.Checked && !item.Pushed && item.HotState == hsNone) {
            PaintGlossBitmap(dc, face, ToolbarFill, kWhite, true);
            pen = kSilver;
        } else if (item.Checked && !item.Pushed) {
            PaintGlossBitmap(dc, face, CheckedHotFace, kWhite, true);
            pen = BaseColor;
        } else {
            PaintRampGradient(dc, face, kWhite, NeutralColor, true);
            pen = States.Item[2][scFrame];
        }
        PaintOctagonOutline(dc, r, leftCut, rightCut, pen);
    } else if (highlighted || (item.ItemFlags & ifDesigning)) {
        PaintGlossBitmap(dc, Deflated(r, 1, 1), ButtonStateColor(item, scFill), kWhite, true);
        PaintOctagonOutline(dc, r, leftCut, rightCut, ButtonStateColor(item, scFrame));
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmReliferTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    if (!item.Enabled && item.HotState != hsKeyboardSelected) {
        RECT r = Deflated(rect, 1, 1);
        PaintRectFrame(dc, r, ToolbarFill, false);
    } else if (item.Pushed || item.Checked || item.HotState != hsNone || (item.ItemFlags & ifDesigning)) {
        PaintGlossBitmap(dc, Deflated(rect, 1, 1), ItemStateColor(item, scFill), LightColor, true);
        PaintOctagonOutline(dc, rect, 1, 1, item.Pushed ? States.Item[2][scFrame] : ItemStateColor(item, scFrame));
    }
}

void TThmReliferTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const std::wstring& caption, UINT format, bool rotated) {
    TColor color = canvas.Font().Color();
    if (ViewKindIs(item.ViewKind, vkMenuBar) && item.HotState != hsNone && !MenuBarItemsAsButtons)
        color = States.Popup[2][scText];
    else if (color == clNone)
        color = item.SplitPart == spSplitButton && item.PopupOpen ? 0x000000 : GetItemTextColor(item);
    DrawThemeCaption(canvas, caption, rect, format, color, rotated);
}

void TThmReliferTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintCheckTick(dc, (rect.left + rect.right) / 2 - 2, (rect.top + rect.bottom) / 2 + 1,
                   item.Enabled ? 0x000000 : States.Popup[1][scText]);
}

void TThmReliferTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintDropArrows(canvas.Handle(), rect, DropArrowPair(item), item.Vertical, 0, ItemStateColor(item, scText));
}

void TThmReliferTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                    const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int e = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, e, e);
    if (editBox.RightButtonWidth > 0) r.right -= editBox.RightButtonWidth - 2;
    const TColor frame = item.HotState != hsNone ? kWhite : item.Enabled ? EditFrame : States.Item[1][scFrame];
    PaintRectFrame(dc, r, frame, true);
    if (item.Enabled) PaintRectFill(dc, r, kWhite);
    PaintEditBoxRightButton(canvas, rect, item, editBox);
}

void TThmReliferTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                          const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    TThmItemInfo item = itemIn;  // the spin halves change Pushed on a copy
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    RECT r = rect;
    ++r.left;
    auto restingFace = [&](const RECT& face, bool pushed) {
        PaintEditButtonFace(dc, face, pushed, hot, opaque, ToolbarFill, EditFrame);
    };
    if (button.ButtonKind == 1) {
        if (!disabled) {
            if (button.ButtonState & 4)
                PaintGlossBitmap(dc, r, kWhite, NeutralColor, true);
            else
                restingFace(r, false);
        } else {
            PaintRectFrame(dc, r, States.Item[1][scFrame], true);
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    RECT u = r, d = r;
    u.bottom = (r.top + r.bottom + 1) / 2;
    d.top = (r.top + r.bottom) / 2;
    for (int half = 0; half < 2; ++half) {
        const RECT& h = half == 0 ? u : d;
        item.Pushed = button.ButtonState & (half == 0 ? 4 : 8);
        if (!disabled) {
            if (item.Pushed)
                PaintRampGradient(dc, h, kWhite, NeutralColor, true);
            else if (hot)
                PaintGlossBitmap(dc, h, HotFill(), kWhite, true);
            restingFace(h, item.Pushed);
        }
        PaintSpinArrow(dc, h, half == 0, 0, ItemStateColor(item, scText));
    }
}

void TThmReliferTheme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    // The dock's own rectangle only: nothing goes round it in whatever pen the canvas holds.
    PaintRectFill(canvas.Handle(), paintRect, 0xE0E0E0);
}

void TThmReliferTheme::PaintHotCloseFace(HDC dc, RECT box, TColor crossColor) {
    box = Deflated(box, 1, 1);
    PaintGlossBitmap(dc, box, HotFill(), kWhite, true);
    PaintOctagonOutline(dc, box, 1, 1, States.Item[4][scFrame]);
    PaintSmallCloseCross(dc, box, crossColor);
}

void TThmReliferTheme::PaintPushedCloseFace(HDC dc, RECT box, TColor crossColor) {
    box = Deflated(box, 1, 1);
    PaintRampGradient(dc, box, kCaptionTop, kCaptionBottom, true);
    PaintOctagonOutline(dc, box, 1, 1, kSilver);
    PaintSmallCloseCross(dc, box, crossColor);
}

void TThmReliferTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    const TColor entry = canvas.Brush().Color();
    const int cy = GetSystemMetrics(SM_CYSMCAPTION);
    RECT r = rect;
    PaintRectFrame(dc, r, 0xE0E0E0, true);
    PaintRectFrame(dc, r, entry, true);
    PaintPixel(dc, rect.left + 2, rect.top + 2, 0xE0E0E0);
    if (across)
        PaintPixel(dc, rect.right - 3, rect.top + 2, 0xE0E0E0);
    else
        PaintPixel(dc, rect.left + 2, rect.bottom - 3, 0xE0E0E0);

    r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    if (across) {
        r.bottom = r.top + cy;
        PaintRampGradient(dc, r, kCaptionBottom, kCaptionTop, true);
        PaintLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, CaptionUnderline);
    } else {
        r.right = r.left + cy;
        PaintRampGradient(dc, r, kCaptionBottom, kCaptionTop, false);
        PaintLine(dc, r.right - 1, r.top, r.right - 1, r.bottom, CaptionUnderline);
    }
    // The caption bar ends above (left of) its underline.
    if (across)
        --r.bottom;
    else
        --r.right;
    if (frame.CloseButtonState & cbsShown) {
        RECT box = r;
        if (across) {
            box.left = r.right - cy + 1;
            r.right = box.left;
        } else {
            box.top = r.bottom - cy + 1;
            r.bottom = box.top;
        }
        switch (CloseButtonRow(frame.CloseButtonState)) {
        case 4: PaintHotCloseFace(dc, box, kWhite); break;
        case 3: PaintPushedCloseFace(dc, box, kWhite); break;
        default:
            PaintRectFrame(dc, box, States.Item[0][scFrame], true);
            PaintSmallCloseCross(dc, box, 0x000000);
            break;
        }
    }
    r = across ? Deflated(r, 4, 0) : Deflated(r, 0, 4);
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, r,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, 0x000000, !across);
}

void TThmReliferTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool panel = frame.ViewKind & vkDockPanel;
    const TColor entry = canvas.Brush().Color();
    const int state = frame.Active ? 0 : 1;
    if (frame.RedrawParts & rpBorder)
        PaintFloatingBorderBand(dc, rect, frame.BorderSize, panel,
                                panel ? FloatingPanelBorder[state] : FloatingToolbarBorder[state], entry);
    if (!frame.CaptionShown) return;
    const int cy = GetSystemMetrics(SM_CYSMCAPTION);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT c{0, 0, frame.ClientWidth, cy - 1};
        OffsetRect(&c, frame.BorderSize.x, frame.BorderSize.y);
        PaintLine(dc, c.left, c.bottom, c.right, c.bottom, entry);
        if (close && (frame.RedrawParts & rpCloseButton)) c.right -= cy - 1;
        PaintRampGradient(dc, c, kCaptionBottom, kCaptionTop, true);
        PaintLine(dc, c.left, c.bottom - 1, c.right, c.bottom - 1, CaptionUnderline);
        c = Deflated(c, 2, 0);
        --c.bottom;
        DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, c,
                               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX, 0x000000, false);
    }
    if (!close) return;
    RECT box{0, 0, frame.ClientWidth, cy - 1};
    OffsetRect(&box, frame.BorderSize.x, frame.BorderSize.y - 1);
    box.left = box.right - (box.bottom - box.top);
    PaintRampGradient(dc, box, kCaptionBottom, kCaptionTop, true);
    PaintLine(dc, box.left - 1, box.bottom, box.right, box.bottom, CaptionUnderline);
    const int row = frame.Active ? CloseButtonRow(frame.CloseButtonState) : 1;
    if (row == 4) {
        PaintHotCloseFace(dc, box, kWhite);
    } else if (row == 3) {
        PaintPushedCloseFace(dc, box, 0x000000);
    } else {
        PaintRectFrame(dc, box, States.Item[row][scFrame], true);
        PaintRectFill(dc, box, States.Item[row][scFill]);
        PaintSmallCloseCross(dc, box, 0x000000);
    }
}

void TThmReliferTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                      int imageIndex) {
    PaintItemImageByState(canvas, rect, item, images, imageIndex, GetItemImageBackColor(item), true, true);
}

void TThmReliferTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (!Highlighted(item) || IsEmptyArea(rect)) return;
    HDC dc = canvas.Handle();
    const RECT& r = rect;
    // A raised edge: light up the left side and along the top, dark down the right and along
    // the bottom.
    PaintLine(dc, r.left, r.bottom - 1, r.left, r.top, HighlightEdge);
    PaintLine(dc, r.left, r.top, r.right, r.top, HighlightEdge);
    PaintLine(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, ShadowEdge);
    PaintLine(dc, r.right - 1, r.bottom - 1, r.left, r.bottom - 1, ShadowEdge);
}

void TThmReliferTheme::PaintPopupCheckFace(TCanvas& canvas, const RECT& box, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    PaintRectFill(dc, box, item.Pushed || item.HotState != hsNone ? 0xF0F0F0 : 0xD0D0D0);
    PaintSunkenEdge(dc, box, ShadowEdge, HighlightEdge);
}

void TThmReliferTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    PaintPopupItemFrame(canvas, rect, item);
    const TColor text = ItemStateColor(item, scText);
    if (item.ItemFlags & ifSplitItem) {
        const int x = rect.right - m - 1;
        const TColor c = !item.Enabled ? text : item.HotState == hsSelected ? kWhite : SplitDivider;
        PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, c);
    }
    if (item.ItemFlags & ifSubmenu) PaintSubmenuArrow(dc, rect.right - (2 * m) / 3 - 1, rect.bottom / 2, text);
    if (item.Checked && item.Enabled) {
        RECT box = Deflated(rect, 1, 1);
        box.right = box.left + item.ImageColumnWidth;
        PaintPopupCheckFace(canvas, Deflated(box, 1, 1), item);
    }
}

void TThmReliferTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const RECT inside = Deflated(rect, 1, 1);
    TColor pen;
    if (hot) {
        PaintGlossBitmap(dc, inside, LightBaseColor, LightColor, true);
        pen = BaseColor;
    } else {
        PaintRectFill(dc, inside, ToolbarFill);
        pen = ColorMixNearest(kWhite, 0x808080, 64);
    }
    PaintOctagonOutline(dc, rect, 1, 1, pen);
    if (!IsEmptyArea(rect))
        for (const POINT p : {POINT{rect.left, rect.top}, POINT{rect.right - 1, rect.top},
                              POINT{rect.right - 1, rect.bottom - 1}, POINT{rect.left, rect.bottom - 1}})
            PaintPixel(dc, p.x, p.y, kSilver);
    PaintScrollArrow(dc, rect, direction, hot ? kWhite : 0x000000);
}

void TThmReliferTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo&) {
    // The popup's own outline only: it is not joined to the item that opened it.
    HDC dc = canvas.Handle();
    const RECT& r = rect;
    PaintRectFill(dc, r, PopupFill);
    if (IsEmptyArea(r)) return;
    PaintLine(dc, r.left, r.top, r.right, r.top, kWhite);
    PaintLine(dc, r.left, r.top, r.left, r.bottom - 1, kWhite);
    PaintLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, 0xD0D0D0);
    PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, 0xD0D0D0);
}

void TThmReliferTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                          bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (horizontal) {
        const int y = rect.bottom / 2;
        PaintLine(dc, rect.left + 2, y, rect.right - 2, y, ShadowEdge);
        PaintLine(dc, rect.left + 2, y + 1, rect.right - 2, y + 1, HighlightEdge);
    } else if (item.Enabled) {
        const int x = rect.right / 2 - 1;
        PaintLine(dc, x, rect.top + 2, x, rect.bottom - 2, ShadowEdge);
        PaintLine(dc, x + 1, rect.top + 2, x + 1, rect.bottom - 2, HighlightEdge);
    }
}

void TThmReliferTheme::PaintToolbarCloseButton(HDC dc, const RECT& box, int row) {
    RECT r = box;
    PaintRectFrame(dc, r, States.Item[row][scFrame], true);
    PaintRectFill(dc, r, States.Item[row][scFill]);
    PaintSmallCloseCross(dc, r, States.Item[row][scText]);
}

void TThmReliferTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    // The background runs from above the bar; only the bar itself is painted.
    PaintRectFill(dc, rect, ToolbarFill);
    const LONG l = rect.left, t = rect.top, right = rect.right, b = rect.bottom;
    if (IsBarView(frame.ViewKind)) {
        PaintLine(dc, l, t, right - 1, t, HighlightEdge);
        PaintLine(dc, l, t, l, b - 1, HighlightEdge);
        PaintLine(dc, l, b - 1, right, b - 1, ShadowEdge);
        PaintLine(dc, right - 1, t, right - 1, b - 1, ShadowEdge);
    }
    if (!frame.AllowDrag) return;
    const RECT r = Deflated(rect, 2, 2);
    const bool close = frame.CloseButtonState & cbsShown;
    const int s = GetDragHandleSize(frame);
    RECT strip = r;
    if (frame.Vertical)
        strip.bottom = strip.top + s;
    else
        strip.right = strip.left + s;
    if (frame.DragHandleStyle != dhNone) {
        const int w = frame.DragHandleStyle == dhDouble ? 4 : 2;
        constexpr TColor dark = 0x8F8F8F, light = 0xAEAAA7;
        RECT g = strip;
        if (!frame.Vertical) {
            g.top += 4;
            g.bottom -= 2;
            g.left += 1;
            if (close) {
                g.top += s - 2;
                g.left += 4;
                g.right -= 4;
            }
            for (int y = g.top; y < g.bottom - 3; y += 4) {
                PaintLine(dc, g.left, y, g.left + w, y, dark);
                PaintLine(dc, g.left, y + 1, g.left + w, y + 1, light);
            }
        } else {
            g.left += 4;
            g.right -= 2;
            g.top += 1;
            if (close) {
                g.right -= s - 2;
                g.top += 4;
                g.bottom -= 4;
            }
            for (int x = g.left; x < g.right - 3; x += 4) {
                PaintLine(dc, x, g.top, x + w, g.top, dark);
                PaintLine(dc, x, g.top + 1, x + w, g.top + 1, light);
            }
        }
    }
    if (!close) return;
    RECT box = strip;
    if (!frame.Vertical) {
        --box.right;
        box.bottom = box.top + (box.right - box.left);
    } else {
        --box.bottom;
        box.left = box.right - (box.bottom - box.top);
    }
    PaintToolbarCloseButton(dc, box, CloseButtonRow(frame.CloseButtonState));
}

void TThmReliferTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    if (controlKind != 1 && controlKind != 2) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool checked = state & 1, mixed = state & 2, disabled = state & 4, hot = state & 8, pushed = state & 0x10;
    const bool marked = checked || mixed;
    const auto& item = States.Item;
    const TColor mark = disabled ? item[1][scText]
                        : pushed ? item[3][scText]
                        : mixed  ? clBtnShadow
                        : hot    ? item[4][scText]
                                 : item[0][scText];
    const RECT inside = Deflated(rect, 1, 1);
    if (controlKind == 1) {
        TColor pen = kSilver;
        if (hot && pushed && marked)
            PaintRampGradient(dc, inside, kWhite, NeutralColor, true);
        else if (hot && pushed)
            PaintGlossBitmap(dc, inside, kWhite, NeutralColor, true);
        else if (hot) {
            PaintGlossBitmap(dc, inside, BaseColor, kWhite, true);
            pen = item[4][scFrame];
        } else if (marked)
            PaintGlossBitmap(dc, inside, NeutralColor, kWhite, true);
        PaintOctagonOutline(dc, rect, 1, 1, pen);
        if (marked) PaintCheckMark(dc, rect, mark);
        return;
    }
    if (hot && pushed)
        PaintRadioGradient(dc, inside, kWhite, NeutralColor, !marked);
    else if (hot)
        PaintRadioGradient(dc, inside, BaseColor, kWhite, true);
    else if (marked)
        PaintRadioGradient(dc, inside, NeutralColor, kWhite, true);
    POINT disc[24];
    for (int i = 0; i < 24; ++i) disc[i] = {rect.left + kRadioDiscOutline[i].x, rect.top + kRadioDiscOutline[i].y};
    PaintPolygon(dc, disc, 23, hot && !pushed ? item[4][scFrame] : kSilver, clNone);
    if (checked) {
        const RECT dot = Deflated(rect, 4, 4);
        if (!IsEmptyArea(dot))
            PaintRoundRect(dc, dot.left, dot.top, dot.right, dot.bottom, dot.right - dot.left, dot.bottom - dot.top, mark,
                           mark);
    }
}

void TThmReliferTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    switch (part) {
    case 0:
        PaintViewBackground(canvas, rect, rect, rect, ToolbarFill, false, vkStatusBar);
        PaintLine(dc, rect.left, rect.top + 1, rect.right, rect.top + 1, HighlightEdge);
        return;
    case 1: {
        const int x = rect.right - 4;
        PaintLine(dc, x, rect.top + 2, x, rect.bottom - 2, ShadowEdge);
        PaintLine(dc, x + 1, rect.top + 2, x + 1, rect.bottom - 2, HighlightEdge);
        return;
    }
    case 3:
        if (DottedSizeGrip)
            PaintSizeGripDots(dc, rect, GripDotColors(dc, clBtnFace, clBtnShadow, clBtnHighlight));
        else
            PaintSizeGripLines(dc, rect, ColorMixNearest(clBtnFace, clBtnShadow, 64),
                               ColorMixNearest(clBtnFace, clBtnHighlight, 64));
        return;
    default: return;
    }
}

}  // namespace themes
