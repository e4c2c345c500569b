#include "controls/toolbar/themed/themes/thmofficexp.h"

#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

constexpr int kToolbarActive = 0, kToolbarInactive = 1, kPanelActive = 2, kPanelInactive = 3;
constexpr int kBorder = 0, kCaptionFill = 1, kCaptionText = 2;

}  // namespace

TThmOfficeXPTheme::TThmOfficeXPTheme(std::wstring name)
    : TThmOfficeXPTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmOfficeXPTheme>()) {}

TThmOfficeXPTheme::TThmOfficeXPTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmTheme(std::move(name)), FGlyphs(std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateOfficeXPTheme(const std::wstring& name) {
    return std::make_unique<TThmOfficeXPTheme>(name);
}

// --- colours ------------------------------------------------------------------------------------

void TThmOfficeXPTheme::RebuildColorCache() {
    auto& item = States.Item;
    auto& popup = States.Popup;
    const auto set = SetColors;
    if (IsLowColorDisplay) {
        MenuBarFill = ToolbarFill = clBtnFace;
        PopupFill = DockPanelFill = clWindow;
        PopupBorder = clBtnText;
        for (int k : {kToolbarActive, kToolbarInactive}) set(FloatingColors[k], clBtnShadow, clBtnShadow, clBtnHighlight);
        for (int k : {kPanelActive, kPanelInactive}) set(FloatingColors[k], clBtnShadow, clBtnFace, clBtnText);
        set(item[0], clNone, clBtnText, clNone);
        set(item[1], clNone, clBtnShadow, clNone);
        set(item[2], clWindow, clWindowText, clHighlight);
        set(item[3], clHighlight, clHighlightText, clHighlight);
        set(item[4], clWindow, clWindowText, clHighlight);
        set(item[5], clWindow, clBtnShadow, clHighlight);
        set(item[6], clHighlight, clHighlightText, clHighlight);
        set(item[7], clBtnFace, clBtnText, clBtnText);
        set(popup[0], clNone, clWindowText, clNone);
        set(popup[1], clNone, clGrayText, clNone);
        set(popup[2], clWindow, clWindowText, clHighlight);
        set(popup[3], clWindow, clGrayText, clHighlight);
        GripColor = clBtnText;
        PopupSeparator = ToolbarSeparator = StatusPanelBorder = clBtnShadow;
        return;
    }
    MenuBarFill = clBtnFace;
    ToolbarFill = ColorBlendPercent(clWindow, clBtnFace, 165);
    PopupFill = ColorBlendPercent(clBtnFace, clWindow, 143);
    DockPanelFill = PopupFill;
    PopupBorder = Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 20), PopupFill, 100);
    const TColor dimText = ColorBlendPercent(clBtnShadow, clWindow, 90);
    SetOfficeFloatingColors(dimText);
    SetOfficeStates(Contrasted(ColorBlendPercent(clHighlight, clWindow, 30), ToolbarFill, 50), dimText);
    GripColor = Contrasted(ColorBlendPercent(clBtnShadow, clWindow, 75), ToolbarFill, 85);
    ToolbarSeparator = Contrasted(ColorBlendPercent(clBtnShadow, clWindow, 70), ToolbarFill, 50);
    PopupSeparator = ToolbarSeparator;
    StatusPanelBorder = Contrasted(ColorBlendPercent(clWindow, clBtnFace, 30), clBtnFace, 30);

    SnapColorCache();
}

void TThmOfficeXPTheme::SetOfficeFloatingColors(TColor dimText) {
    const auto set = SetColors;
    const TColor toolbarBorder = Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 15), ToolbarFill, 120);
    set(FloatingColors[kToolbarActive], toolbarBorder, clBtnShadow, Contrasted(clBtnHighlight, clBtnShadow, 180));
    set(FloatingColors[kToolbarInactive], toolbarBorder, clBtnFace, Contrasted(dimText, clBtnFace, 120));
    set(FloatingColors[kPanelActive], clBtnShadow, clBtnFace, clBtnText);
    set(FloatingColors[kPanelInactive], clBtnShadow, clBtnFace, Contrasted(dimText, clBtnFace, 120));
}

void TThmOfficeXPTheme::SetOfficeStates(TColor hotFill, TColor dimText) {
    auto& item = States.Item;
    auto& popup = States.Popup;
    const auto set = SetColors;
    const TColor normalText = Contrasted(clBtnText, ToolbarFill, 180);
    set(item[0], clNone, normalText, clNone);
    set(item[1], clNone, Contrasted(dimText, ToolbarFill, 80), clNone);
    set(item[2],
        Contrasted(ColorBlendPercent(clHighlight, ColorBlendPercent(clBtnFace, clWindow, 50), 10), ToolbarFill, 5),
        normalText, clHighlight);
    set(item[3], ColorBlendPercent(clHighlight, clWindow, 50), clHighlightText, clHighlight);
    set(item[4], hotFill, Contrasted(clMenuText, hotFill, 180), Contrasted(clHighlight, ToolbarFill, 100));
    set(item[5], hotFill, dimText, clHighlight);
    const TColor checkedHotFill = Contrasted(ColorBlendPercent(clHighlight, clWindow, 50), ToolbarFill, 30);
    set(item[6], checkedHotFill, Contrasted(clHighlightText, checkedHotFill, 180),
        Contrasted(clHighlight, checkedHotFill, 100));
    set(item[7], ToolbarFill, normalText, PopupBorder);

    const TColor grayText = ColorBlendPercent(clGrayText, clWindow, 70);
    set(popup[0], clNone, Contrasted(clWindowText, PopupFill, 180), clNone);
    set(popup[1], clNone, Contrasted(grayText, PopupFill, 80), clNone);
    set(popup[2], item[4][scFill], item[4][scText], item[4][scFrame]);
    set(popup[3], PopupFill, grayText, clHighlight);
}

void TThmOfficeXPTheme::SetColors(TColor (&row)[3], TColor fill, TColor text, TColor frame) {
    row[scFill] = fill;
    row[scText] = text;
    row[scFrame] = frame;
}

void TThmOfficeXPTheme::SnapColorCache() {
    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c)));
    };
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder, &GripColor,
                      &PopupSeparator, &ToolbarSeparator, &StatusPanelBorder})
        snap(*c);
    for (auto& row : FloatingColors)
        for (TColor& c : row) snap(c);
    States.SnapToScreen();
}

POINT TThmOfficeXPTheme::GetItemImageShift(TCanvas&, const TThmItemInfo& item, TImageList*) {
    return FloatingImageShift(item);
}

TColor TThmOfficeXPTheme::GetItemFillColor(const TThmItemInfo& item) {
    const TColor c = ItemStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

TColor TThmOfficeXPTheme::GetItemTextColor(const TThmItemInfo& item) { return ItemStateColor(item, scText); }

TColor TThmOfficeXPTheme::GetItemImageBackColor(const TThmItemInfo& item) {
    const TColor c = ButtonStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

void TThmOfficeXPTheme::GetMarginSet(int kind, TThmMargins& margins) {
    switch (kind) {
    case mkToolbarButton: margins = {2, 2, 2, 2}; break;
    case mkPopupItem: margins = {1, 1, 3, 3}; break;
    case mkEditBox: margins = {1, 3, 1, 1}; break;
    default: margins = {0, 0, 0, 0}; break;
    }
}

int TThmOfficeXPTheme::GetShadowKind() { return 2; }

void TThmOfficeXPTheme::GetViewBorderSize(int viewKind, POINT& size) {
    auto floatingFrame = [&] {
        if (viewKind & vkResizable)
            size = {GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1};
        else
            size = {GetSystemMetrics(SM_CXDLGFRAME) - 1, GetSystemMetrics(SM_CYDLGFRAME) - 1};
    };
    if (viewKind & vkToolbar) {
        if (viewKind & vkFloating)
            floatingFrame();
        else
            size = {2, 2};
    } else if (viewKind & vkPopup) {
        size = {ViewKindIs(viewKind, vkPopupMenu) ? 1 : 2, 2};
    } else if (viewKind & vkDockPanel) {
        if (viewKind & vkFloating)
            floatingFrame();
        else
            size = {2, 2};
    } else {
        size = {0, 0};
    }
}

TColor TThmOfficeXPTheme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkMenuBar)) return MenuBarFill;
    if (viewKind & vkToolbar) return ToolbarFill;
    if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
    if (viewKind & vkPopup) return PopupFill;
    if (viewKind & vkDockPanel) return DockPanelFill;
    return clBtnFace;
}

void TThmOfficeXPTheme::GetViewPadding(int, TThmMargins& padding) { padding = {0, 0, 0, 0}; }

int TThmOfficeXPTheme::GetIntMetric(int index) { return OfficeIntMetric(index); }

int TThmOfficeXPTheme::OfficeIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmDropArrowWidth: return 8;
    case tmDropArrowMargin: return 3;
    case tmMenuImageGap: return 5;
    case tmMenuCaptionGap:
    case tmMenuCaptionEndGap:
    case tmMenuSeparatorSize: return 3;
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

int TThmOfficeXPTheme::ShadedOfficeIntMetric(int index) {
    switch (index) {
    case tmMenuImageGap: return 3;
    case tmMenuCaptionGap: return 8;
    case tmToolbarSeparatorSize: return -1;
    default: return OfficeIntMetric(index);
    }
}

bool TThmOfficeXPTheme::ShadedOfficeBoolMetric(int index) {
    return index == tbPopupOverlapsOpener || index == tbPaintDockBackground || index == tbSolidToolbarNCArea ||
           index == tbSolidToolbarClientArea;
}

bool TThmOfficeXPTheme::GetBoolMetric(int index) {
    return index == tbPopupOverlapsOpener || index == 3 || index == tbSolidToolbarClientArea;
}

// --- painting -----------------------------------------------------------------------------------

void TThmOfficeXPTheme::PaintViewBackground(TCanvas& canvas, const RECT&, const RECT& paintRect,
                                            const RECT& clipRect, TColor color, bool transparent, int) {
    if (transparent) return;
    RECT r{};
    if (IntersectRect(&r, &paintRect, &clipRect)) PaintRectFill(canvas.Handle(), r, color);
}

void TThmOfficeXPTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    if ((item.ItemFlags & ifDesigning) && !item.Checked) {
        if (item.SplitPart == spSplitArrow) --r.left;
        PaintRectFrame(dc, r, static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorMix(clBtnShadow, clBtnFace, 100)))),
                       false);
    } else {
        PaintRectFrame(dc, r, ButtonStateColor(item, scFrame), true);
        if (item.SplitPart == spSplitButton && item.PopupOpen) ++r.right;
        if (item.SplitPart == spSplitArrow) --r.left;
        PaintRectFill(dc, r, ButtonStateColor(item, scFill));
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmOfficeXPTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                         const std::wstring& caption, UINT format, bool rotated) {
    TColor color = canvas.Font().Color();
    if (color == clNone) color = ItemStateColor(item, scText);
    DrawThemeCaption(canvas, caption, rect, format, color, rotated);
}

void TThmOfficeXPTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int x = (rect.left + rect.right) / 2 - 1, y = (rect.top + rect.bottom) / 2 + 1;
    const TColor c = ButtonStateColor(item, scText);
    if (item.ItemFlags & ifRadioItem) {
        if (c == clNone) return;
        PaintRoundRect(dc, x - 2, y - 4, x + 4, y + 2, 2, 2, ColorMix(c, ToolbarFill, 200), clNone);
        PaintRoundRect(dc, x - 2, y - 4, x + 4, y + 2, 6, 6, c, c);
        return;
    }
    PaintCheckTick(dc, x, y, c);
}

void TThmOfficeXPTheme::PaintChevronButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintItemButton(canvas, rect, item);
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const POINT at = ChevronOrigin(rect, item.Vertical);
    PaintChevronAt(dc, at.x, at.y, item.Vertical, ItemStateColor(item, scText));
}

POINT TThmOfficeXPTheme::ChevronOrigin(const RECT& rect, bool vertical) {
    // Centred across the bar, four pixels from the top (five from the right) of the button.
    if (vertical) return {rect.right - 9, (rect.top + rect.bottom - 8 + 1) / 2};
    return {(rect.left + rect.right - 8 + 1) / 2, rect.top + 4};
}

void TThmOfficeXPTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                     const TThmEditBoxInfo& editBox) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintItemFrame(canvas, rect, item);
    const int n = GetIntMetric(tmEditFrameInset);
    RECT r = Deflated(rect, n, n);
    const bool opaque = HasOpaqueItems(item.ViewKind);
    if (!item.Enabled && !opaque) PaintRectFrame(dc, r, States.Item[1][scText], false);
    if (editBox.RightButtonWidth > 0) r.right -= editBox.RightButtonWidth - 2;
    if (item.Enabled) {
        const TColor frame =
            !(item.ViewKind & vkToolbar) && ItemStateColor(item, scFrame) == clNone ? EditFrameOutsideToolbars() : clWindow;
        PaintRectFrame(dc, r, frame, false);
        r = Deflated(r, 1, 1);
        PaintRectFill(dc, r, clWindow);
    }
    if (editBox.RightButtonWidth > 0) {
        RECT b = Deflated(rect, n, n);
        b.left = b.right - editBox.RightButtonWidth;
        PaintEditBoxButton(canvas, b, item, editBox.RightButton);
    }
}

void TThmOfficeXPTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                           const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    TThmItemInfo item = itemIn;  // the spin halves change Pushed on a copy
    const bool opaque = HasOpaqueItems(item.ViewKind);
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    RECT r{rect.left, rect.top - 1, rect.right + 1, rect.bottom + 1};
    if (button.ButtonKind == 1) {
        if (!disabled) {
            if ((button.ButtonState & 4) || hot || opaque) {
                PaintItemButton(canvas, r, item);
            } else if (item.ViewKind & vkToolbar) {
                r = rect;
                PaintRestingEditPart(dc, r);
            }
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    // One half: its face, then its arrow in the half's text colour.
    auto half = [&](RECT part, RECT plain, bool pushed, bool upper) {
        item.Pushed = pushed;
        if (!disabled) {
            if (pushed || hot || opaque) {
                PaintSpinHalfFace(canvas, part, r, item, upper, hot);
            } else if (item.ViewKind & vkToolbar) {
                part = plain;
                PaintRestingEditPart(dc, part);
            }
        }
        const TColor arrow = ItemStateColor(item, scText);
        const int x = (part.left + part.right) / 2;
        const int y = upper ? (part.top + part.bottom - 1) / 2 : (part.top + part.bottom) / 2;
        const int tip = upper ? -1 : 1;
        const POINT triangle[3] = {{x - 2, y - tip}, {x + 2, y - tip}, {x, y + tip}};
        PaintPolygon(dc, triangle, 2, arrow, arrow);
    };
    const int upperBottom = (r.top + r.bottom + 1) / 2, lowerTop = (r.top + r.bottom) / 2;
    half(RECT{r.left, r.top, r.right, upperBottom}, RECT{rect.left, rect.top, rect.right, upperBottom},
         button.ButtonState & 4, true);
    half(RECT{r.left, lowerTop, r.right, r.bottom}, RECT{rect.left, lowerTop, rect.right, rect.bottom},
         button.ButtonState & 8, false);
}

void TThmOfficeXPTheme::PaintRestingEditPart(HDC dc, RECT& part) {
    // A window-coloured frame joined to the box.
    RECT frame = part;
    PaintRectFrame(dc, frame, clWindow, false);
    PaintLine(dc, part.left - 1, part.top, part.left - 1, part.bottom, clWindow);
}

void TThmOfficeXPTheme::PaintSpinHalfFace(TCanvas& canvas, const RECT& half, const RECT&, const TThmItemInfo& item,
                                          bool, bool) {
    PaintItemButton(canvas, half, item);
}

void TThmOfficeXPTheme::PaintDockBackground(TCanvas&, const RECT&, const RECT&, int) {}

void TThmOfficeXPTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    const TColor c = frame.EffectiveColor;
    const int luma = ColorLuma(clBtnFace);
    RECT r = rect;
    const POINT corner2 = across ? POINT{r.right - 1, r.top} : POINT{r.left, r.bottom - 1};
    if (!IsLowColorDisplay && luma >= 64 && luma <= 250) {
        PaintRectFrame(dc, r, PanelFrameColor(), true);
        PaintRectFrame(dc, r, c, false);
        if (!IsEmptyArea(rect)) {
            SetPixelV(dc, rect.left, rect.top, ThmResolveColor(PanelFrameColor()));
            SetPixelV(dc, corner2.x, corner2.y, ThmResolveColor(PanelFrameColor()));
        }
    } else {
        PaintRectFrame(dc, r, c, true);
        RECT outer = rect;
        InflateRect(&outer, -1, -1);  // the ring PaintRectFrame just drew stays; the next one in
        TGdiObject<HBRUSH> checker(CreateCheckerBrush(c, luma < 64 ? 0xFFFFFF : clBtnShadow));
        if (!IsEmptyArea(r)) FrameRect(dc, &r, checker.Handle());
        if (!IsEmptyArea(rect) && c != clNone) {
            SetPixelV(dc, rect.left, rect.top, ThmResolveColor(c));
            SetPixelV(dc, corner2.x, corner2.y, ThmResolveColor(c));
        }
        r = Deflated(r, 1, 1);
        PaintRectFrame(dc, r, c, false);
    }
    r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    if (across) {
        r.bottom = r.top + h - 1;
        PaintLine(dc, r.left, r.bottom, r.right, r.bottom, c);
    } else {
        r.right = r.left + h - 1;
        PaintLine(dc, r.right, r.top, r.right, r.bottom, c);
    }
    IntersectRect(&r, &r, &rect);
    PaintPanelCaptionBar(dc, r);
    if (frame.CloseButtonState & cbsShown)
        PaintCloseButtonBox(dc, SplitCaptionCloseButton(r, across, h), CloseButtonRow(frame.CloseButtonState));
    if (across)
        r = RECT{r.left + 4, r.top, r.right - 4, r.bottom};
    else
        r = RECT{r.left, r.top + 4, r.right, r.bottom - 4};
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, r,
                           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX, SmallCaptionFont().Color(),
                           !across);
}

void TThmOfficeXPTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2 - 1;
    const TColor c = ItemStateColor(item, scText);
    if (item.Vertical) {
        const POINT left[3] = {{x, y + 2}, {x, y - 2}, {x - 2, y}};
        PaintPolygon(dc, left, 2, c, c);
    } else {
        const POINT down[3] = {{x - 2, y}, {x + 2, y}, {x, y + 2}};
        PaintPolygon(dc, down, 2, c, c);
    }
}

void TThmOfficeXPTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool panel = frame.ViewKind & vkDockPanel;
    const TColor entry = canvas.Brush().Color();
    const int entryIndex = (panel ? kPanelActive : kToolbarActive) + (frame.Active ? 0 : 1);
    if (frame.RedrawParts & rpBorder) {
        const RECT inner = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
        {
            TSavedDC saved(dc);
            ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
            PaintRectFill(dc, rect, FloatingColors[entryIndex][kBorder]);
        }
        const RECT& r = inner;
        if (!IsEmptyArea(r) && frame.BorderSize.x > 0 && frame.BorderSize.y > 0)
            PaintFloatingClientOutline(dc, r, panel, FloatingInnerOutline(entry));
    }
    if (!frame.CaptionShown) return;
    const int colours = ((frame.ViewKind & vkToolbar) ? kToolbarActive : kPanelActive) + (frame.Active ? 0 : 1);
    const TColor fill = FloatingColors[colours][kCaptionFill], text = FloatingColors[colours][kCaptionText];
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption{0, 0, frame.ClientWidth, captionHeight};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    if (frame.RedrawParts & rpCaption) {
        RECT q = caption;
        PaintLine(dc, q.left, q.bottom, q.right, q.bottom, entry);
        if ((frame.CloseButtonState & cbsShown) && (frame.RedrawParts & rpCloseButton)) q.right -= captionHeight;
        PaintFloatingBarFill(dc, q, fill);
        q.left += 2;
        q.right -= 2;
        DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, q, FloatingCaptionFormat(), text, false);
    }
    if (frame.CloseButtonState & cbsShown) {
        RECT b = caption;
        b.left = b.right - (b.bottom - b.top);
        PaintLine(dc, b.left - 1, b.bottom, b.right, b.bottom, entry);
        PaintFloatingBarFill(dc, b, fill);
        const int row = !frame.Active ? 1 : (frame.CloseButtonState & cbsPressed) ? 3
                                        : (frame.CloseButtonState & cbsHot)     ? 4
                                                                                : 0;
        PaintRectFrame(dc, b, States.Item[row][scFrame], true);
        const bool filled = PaintRectFill(dc, b, States.Item[row][scFill]);
        TThmClipGuard clip(dc, b);
        PaintFloatingCloseGlyph(dc, b, filled ? States.Item[row][scText] : text);
    }
}

void TThmOfficeXPTheme::PaintFloatingCloseGlyph(HDC dc, const RECT& box, TColor color) {
    PaintMonoGlyph(dc, (box.left + box.right - Glyphs().Width() + 1) / 2, (box.top + box.bottom - Glyphs().Height()) / 2,
                   Glyphs(), kGlyphClose, color);
}

void TThmOfficeXPTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, ItemStateColor(item, scFrame), true);
    PaintRectFill(dc, r, ItemStateColor(item, scFill));
}

void TThmOfficeXPTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                       TImageList* images, int imageIndex) {
    if (!images) return;
    // The shadow of a hot image falls one pixel beyond the rectangle, the lifted image one
    // pixel before it.
    PaintOfficeItemImage(canvas, rect, item, *images, imageIndex, ColorLuma(GetItemImageBackColor(item)) < 80,
                         RestingImageOpacity(), HotImageCastsShadow());
}

void TThmOfficeXPTheme::PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                              int buttonKind) {
    PaintItemButton(canvas, rect, item);
    const int cell = TThmGlyphList::CellForMDIButton(buttonKind);
    if (cell < 0) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const POINT at = MDIGlyphOrigin(rect);
    PaintMonoGlyph(dc, at.x, at.y, Glyphs(), cell, ItemStateColor(item, scText));
}

POINT TThmOfficeXPTheme::MDIGlyphOrigin(const RECT& rect) {
    // Centred in the rectangle less its last row.
    return {(rect.left + rect.right - Glyphs().Width() + 1) / 2, (rect.top + rect.bottom - 1 - Glyphs().Height() + 1) / 2};
}

void TThmOfficeXPTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    PaintPopupItemFrame(canvas, rect, item);
    const TColor text = ItemStateColor(item, scText);
    if (item.ItemFlags & ifSplitItem) {
        const int x = rect.right - m - 1;
        const TColor c = !item.Enabled ? text : item.HotState == hsSelected ? ItemStateColor(item, scFrame) : PopupSeparator;
        if (x >= rect.left) PaintLine(dc, x, rect.top + 1, x, rect.bottom - 1, c);
    }
    if (item.ItemFlags & ifSubmenu) {
        PaintSubmenuArrow(dc, rect.right - (2 * m) / 3 - 1, rect.bottom / 2, text);
    }
    if (item.Checked && item.Enabled)
        PaintPopupCheckBox(dc, Deflated(RECT{rect.left + 1, rect.top, rect.left + 1 + item.ImageColumnWidth, rect.bottom}, 1, 1),
                           item);
}

void TThmOfficeXPTheme::PaintPopupCheckBox(HDC dc, RECT box, const TThmItemInfo& item) {
    PaintRectFrame(dc, box, ButtonStateColor(item, scFrame), true);
    PaintRectFill(dc, box, ButtonStateColor(item, scFill));
}

void TThmOfficeXPTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    RECT r = rect;
    if (!ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        RECT column{rect.left, rect.top, std::min<LONG>(rect.right, rect.left + item.ImageColumnWidth + 2), rect.bottom};
        PaintImageColumn(canvas.Handle(), column);
        r = RECT{rect.left + 1, rect.top, rect.right - 1, rect.bottom};
    }
    PaintItemFrame(canvas, r, item);
}

void TThmOfficeXPTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, hot ? States.Item[4][scFrame] : ScrollRestingFrame(), false);
    r = Deflated(r, 1, 1);
    PaintScrollFace(dc, r, hot);
    PaintScrollArrow(dc, r, direction, hot ? States.Item[4][scText] : States.Item[0][scText]);
}

void TThmOfficeXPTheme::PaintScrollFace(HDC dc, const RECT& rect, bool hot) {
    PaintRectFill(dc, rect, hot ? States.Item[4][scFill] : ScrollRestingFill());
}

void TThmOfficeXPTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    PaintJoinedPopupFrame(canvas.Handle(), rect, frame.ParentRect, PopupBorder, PopupFill, PopupOpeningColor());
}

void TThmOfficeXPTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                           bool horizontal, bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (horizontal) {
        RECT r = rect;
        TColor color = ToolbarSeparator;
        if (!(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
            PaintRectFill(dc, RECT{r.left, r.top, std::min<LONG>(r.right, item.ImageColumnWidth + 2), r.bottom}, ToolbarFill);
            r.left += item.ImageColumnWidth + 9;
            color = PopupSeparator;
        }
        const int y = (r.top + r.bottom) / 2;
        if (item.Enabled && y < rect.bottom) PaintLine(dc, r.left, y, r.right, y, color);
    } else if (item.Enabled) {
        const int x = (rect.left + rect.right) / 2;
        if (x < rect.right) PaintLine(dc, x, rect.top, x, rect.bottom, ToolbarSeparator);
    }
}

void TThmOfficeXPTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    const TColor entry = canvas.Brush().Color();
    const bool entryClear = canvas.Brush().Style() == bsClear;
    RECT r = rect;
    if (frame.BorderStyle == 1) {
        const int luma = ColorLuma(clBtnFace);
        if ((!IsLowColorDisplay && luma >= 50 && luma <= 254) || ViewKindIs(frame.ViewKind, vkMenuBar)) {
            r = Deflated(r, 1, 1);
            --r.right;
            --r.bottom;
            if (r.right >= r.left && r.bottom >= r.top) {
                const POINT p[8] = {{r.left + 1, r.top},    {r.right - 1, r.top},    {r.right, r.top + 1},
                                    {r.right, r.bottom - 1}, {r.right - 1, r.bottom}, {r.left + 1, r.bottom},
                                    {r.left, r.bottom - 1},  {r.left, r.top + 1}};
                PaintPolygon(dc, p, 7, entry, entryClear ? clNone : entry);
            }
            ++r.left;
            ++r.top;
        } else {
            PaintCheckerBorder(dc, rect, entryClear ? clNone : entry);
            r = Deflated(r, 1, 1);
        }
    } else {
        r = Deflated(r, 1, 1);
    }
    r = Deflated(r, 1, 1);
    if (!frame.AllowDrag) return;
    const bool horizontal = !frame.Vertical;
    const RECT zone = GripZone(r, frame);
    TThmClipGuard clip(dc, rect);
    if (frame.DragHandleStyle != dhNone) {
        const RECT h = GripStrip(zone, frame);
        if (horizontal)
            for (int y = h.top + 3; y < h.bottom - 3; y += 2) PaintLine(dc, h.left, y, h.right, y, GripColor);
        else
            for (int x = h.left + 3; x < h.right - 3; x += 2) PaintLine(dc, x, h.top, x, h.bottom, GripColor);
    }
    if (frame.CloseButtonState & cbsShown)
        PaintCloseButtonBox(dc, ToolbarCloseButtonBox(zone, horizontal), CloseButtonRow(frame.CloseButtonState));
}

// --- frame pieces ---------------------------------------------------------------------------------

int TThmOfficeXPTheme::CloseButtonRow(int state) { return (state & cbsPressed) ? 3 : (state & cbsHot) ? 4 : 0; }

void TThmOfficeXPTheme::PaintCloseButtonBox(HDC dc, RECT box, int row) {
    PaintRectFrame(dc, box, States.Item[row][scFrame], true);
    PaintRectFill(dc, box, States.Item[row][scFill]);
    TThmClipGuard clip(dc, box);
    PaintCrossIn(dc, box, States.Item[row][scText]);
}

RECT TThmOfficeXPTheme::SplitCaptionCloseButton(RECT& bar, bool across, int captionHeight) {
    RECT box = bar;
    if (across) {
        box.left = bar.right - captionHeight + 1;
        bar.right = box.left;
    } else {
        box.top = bar.bottom - captionHeight + 1;
        bar.bottom = box.top;
    }
    return box;
}

RECT TThmOfficeXPTheme::ToolbarCloseButtonBox(RECT zone, bool horizontal) {
    if (horizontal) {
        --zone.right;
        zone.bottom = zone.top + (zone.right - zone.left);
    } else {
        --zone.bottom;
        zone.left = zone.right - (zone.bottom - zone.top);
    }
    return zone;
}

RECT TThmOfficeXPTheme::GripZone(RECT inner, const TThmToolbarFrameInfo& frame) {
    const int g = GetDragHandleSize(frame);
    if (frame.Vertical)
        inner.bottom = inner.top + g;
    else
        inner.right = inner.left + g;
    return inner;
}

RECT TThmOfficeXPTheme::GripStrip(const RECT& zone, const TThmToolbarFrameInfo& frame) {
    // Offsets of the strip from the start of the zone: [close button shown][drag-handle style].
    static constexpr int kOffsets[2][3] = {{2, 0, 1}, {5, 0, 5}};
    const bool close = frame.CloseButtonState & cbsShown;
    const int o = kOffsets[close ? 1 : 0][std::clamp(frame.DragHandleStyle, 0, 2)];
    const int g = GetDragHandleSize(frame);
    RECT h = zone;
    if (!frame.Vertical) {
        h.left += o;
        if (close) h.top += g - 2;
        h.right = h.left + 3;
    } else {
        h.top += o;
        if (close) h.right -= g - 2;
        h.bottom = h.top + 3;
    }
    return h;
}

void TThmOfficeXPTheme::PaintCheckerBorder(HDC dc, const RECT& rect, TColor inside) {
    // The checker brush is the class library's cached one: used, never deleted.
    HBRUSH pattern = AllocPatternBrush(ToolbarFill, States.Item[1][scText]);
    const LONG l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const RECT edges[4] = {{l + 1, t, r - 1, t + 1}, {l + 1, b - 1, r - 1, b}, {l, t + 1, l + 1, b - 1}, {r - 1, t + 1, r, b - 1}};
    for (const RECT& e : edges)
        if (!IsEmptyArea(e)) FillRect(dc, &e, pattern);
    PaintRectFill(dc, Deflated(rect, 1, 1), inside);
}

TThmOfficeXPTheme::TCheckColors TThmOfficeXPTheme::CheckControlColors(int state) const {
    const TCheckControlColors c = OfficeCheckControlColors(States, state, CheckRestingFrame(), CheckDisabledCheckered());
    return {c.Frame, c.Fill, c.Checker, c.Mark};
}

void TThmOfficeXPTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    const TCheckColors c = CheckControlColors(state);
    PaintFramedCheckControl(canvas.Handle(), rect, controlKind, state, {c.Frame, c.Fill, c.Checker, c.Mark});
}

std::vector<TColor> TThmOfficeXPTheme::SizeGripColors(int side) const {
    std::vector<TColor> group;
    if (side < 9)
        group = {clBtnShadow, clBtnHighlight};
    else if (side < 12)
        group = {clBtnFace, clBtnShadow, clBtnHighlight};
    else if (side < 15)
        group = {clBtnShadow, clBtnShadow, clBtnHighlight};
    else
        group = {clBtnFace, clBtnShadow, clBtnShadow, clBtnHighlight};
    std::vector<TColor> lines;
    for (int n = 0; n < 3; ++n) lines.insert(lines.end(), group.begin(), group.end());
    return lines;
}

void TThmOfficeXPTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    switch (part) {
    case 0: PaintRectFill(dc, rect, clBtnFace); return;
    case 1:
    case 2: {
        RECT r = rect;
        if (part == 1) r.right -= 2;
        PaintRectFrame(dc, r, StatusPanelBorder, false);
        return;
    }
    case 3: {
        const std::vector<TColor> lines = SizeGripColors(toolbar::IntMin(rect.right - rect.left, rect.bottom - rect.top));
        TThmClipGuard clip(dc, rect);
        int k = 0;
        for (TColor c : lines) {
            PaintLine(dc, rect.right - 1 - k, rect.bottom - 1, rect.right, rect.bottom - 2 - k, c);
            ++k;
        }
        return;
    }
    default: return;
    }
}

}  // namespace themes
