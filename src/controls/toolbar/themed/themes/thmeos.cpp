#include "controls/toolbar/themed/themes/thmeos.h"

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmregistry.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

TThmNexosTheme::TOptions EosOptions() {
    TThmNexosTheme::TOptions o;
    o.MenuBarItemsAsButtons = false;
    o.SolidToolbarEdges = true;
    o.GradientCaptions = false;
    o.CaptionTextHalo = false;
    o.DottedSizeGrip = true;
    o.BaseColor = 0xE0FFFF;  // a pale yellow, the one base every painter sees
    o.NeutralColor = 0xC0C0C0;
    return o;
}

}  // namespace

TThmEosTheme::TThmEosTheme(std::wstring name)
    : TThmNexos4Theme(std::move(name), EosOptions(), SharedThemeResource<TThmGlyphList, TThmEosTheme>()) {}

std::unique_ptr<TThmTheme> CreateEosTheme(const std::wstring& name) { return std::make_unique<TThmEosTheme>(name); }

// --- colours ------------------------------------------------------------------------------------

void TThmEosTheme::RebuildColorCache() {
    BaseColor = Options.BaseColor;
    const TColor base = BaseColor, accent = AccentColor;
    LightBaseColor = ColorBlendPercent(base, 0xFFFFFF, 80);
    LightColor = 0xFFFFFF;
    GripFaceColor = ColorBlendPercent(base, 0xFFFFFF, 75);
    GripDarkColor = ColorBlendPercent(base, 0x000000, 35);
    GripLightColor = 0xFFFFFF;

    MenuBarFill = ToolbarFill = PopupFill = DockPanelFill = ColorBlendPercent(base, 0x000000, 50);
    PopupBorder = ColorBlendPercent(base, 0x000000, 40);
    EdgeColor = ColorBlendPercent(ToolbarFill, 0x000000, 80);
    EditFrame = ColorBlendPercent(ToolbarFill, 0xFFFFFF, 90);
    const TColor dark = ColorBlendPercent(base, 0x000000, 40);
    SetRow(FloatingColors[kToolbarActive], dark, dark, 0xFFFFFF);
    SetRow(FloatingColors[kToolbarInactive], dark, base, Contrasted(0xC0C0C0, 0xC0C0C0, 120));
    SetRow(FloatingColors[kPanelActive], dark, dark, 0xFFFFFF);
    SetRow(FloatingColors[kPanelInactive], 0xC0C0C0, 0xC0C0C0, Contrasted(0xC0C0C0, base, 120));

    auto& item = States.Item;
    auto& popup = States.Popup;
    const TColor fill = ToolbarFill;
    const TColor normalText = Contrasted(0xFFFFFF, fill, 180);
    const TColor dimText = Contrasted(ColorBlendPercent(0xFFFFFF, fill, 25), fill, 80);
    SetRow(item[0], clNone, normalText, clNone);
    SetRow(item[1], 0xFFFFFF, dimText, ColorBlendPercent(base, 0xFFFFFF, 75));
    SetRow(item[2], Contrasted(ColorBlendPercent(0xFFFFFF, fill, 25), fill, 5), normalText, PopupBorder);
    SetRow(item[3], ColorBlendPercent(base, accent, 15), 0x000000, base);
    SetRow(item[4], ColorBlendPercent(fill, 0x000000, 85), accent, ColorBlendPercent(0xFFFFFF, fill, 25));
    // Disabled and highlighted from the keyboard: the highlight with the disabled text, as in
    // the popup rows, so the keyboard position shows without a colour foreign to the palette.
    SetRow(item[5], item[4][scFill], dimText, clNone);
    const TColor checkedHot = Contrasted(ColorBlendPercent(accent, 0xFFFFFF, 75), fill, 30);
    SetRow(item[6], checkedHot, Contrasted(0xFFFFFF, checkedHot, 180), base);
    SetRow(item[7], item[4][scFill], 0x000000, item[4][scFrame]);
    SetRow(popup[0], clNone, Contrasted(0xFFFFFF, PopupFill, 180), clNone);
    SetRow(popup[1], clNone, Contrasted(dimText, PopupFill, 80), clNone);
    SetRow(popup[2], item[4][scFill], item[4][scText], item[4][scFrame]);
    SetRow(popup[3], PopupFill, ColorBlendPercent(base, 0xFFFFFF, 50), clNone);
    SeparatorLineColor = SplitDivider = ColorBlendPercent(base, 0x000000, 60);
    StatusDivider = SeparatorLineColor;

    SnapToScreen({&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder, &SplitDivider,
                  &SeparatorLineColor, &StatusDivider});
}

int TThmEosTheme::GetIntMetric(int index) {
    switch (index) {
    case tmMenuSeparatorSize: return 7;
    case tmSpareSize66: return -1;
    default: return TThmNexos4Theme::GetIntMetric(index);
    }
}

// --- items --------------------------------------------------------------------------------------

void TThmEosTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, RECT{rect.left - 1, rect.top, rect.right, rect.bottom});
    RECT r = rect;
    if (item.SplitPart == spSplitArrow) --r.left;  // the arrow part joins the button part
    const bool active = IsActiveItem(item);
    if (HasOpaqueItems(item.ViewKind) && item.Enabled && !active) PaintRectFill(dc, Deflated(r, 1, 1), ToolbarFill);
    if (ViewKindIs(item.ViewKind, vkMenuBar) && !Options.MenuBarItemsAsButtons) {
        if (((item.Pushed || item.Checked) && item.Enabled) || active) StripedFill(canvas, rect, States.Popup[2][scFill]);
        return;
    }
    // Flat rectangles: checked and pushed items have no outline.
    if (item.Enabled && item.Checked && !item.Pushed) {
        if (item.HotState == hsNone)
            PaintRectFill(dc, Deflated(r, 1, 1), States.Item[2][scFill]);
        else
            PaintRectFill(dc, r, States.Item[6][scFill]);
    } else if (item.Enabled && item.Pushed) {
        PaintRectFill(dc, r, States.Item[3][scFill]);
    } else if (active || (item.ItemFlags & ifDesigning)) {
        PaintRectFill(dc, r, ButtonStateColor(item, scFill));
        RECT outline = r;
        PaintRectFrame(dc, outline, ButtonStateColor(item, scFrame), false);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

TColor TThmEosTheme::CaptionColor(const TThmItemInfo& item, TColor font) const {
    if (ViewKindIs(item.ViewKind, vkMenuBar) && item.HotState != hsNone && !Options.MenuBarItemsAsButtons)
        return AccentColor;
    if (item.SplitPart == spSplitButton && item.PopupOpen) return AccentColor;
    return font != clNone ? font : ItemStateColor(item, scText);
}

void TThmEosTheme::PaintItemFrameFace(HDC dc, const RECT& rect, const TThmItemInfo& item) {
    RECT r = rect;
    PaintRectFrame(dc, r, ItemFramePen(item), false);
}

void TThmEosTheme::PaintPopupCheckFace(HDC dc, const RECT& box, const TThmItemInfo&) {
    // A flat block in the checked fill, two pixels inside the image column; no outline.
    PaintRectFill(dc, Deflated(box, 2, 2), States.Item[2][scFill]);
}

void TThmEosTheme::PaintScrollFace(HDC dc, const RECT& rect, bool hot) {
    const int row = hot ? 4 : 0;
    PaintRectFill(dc, Deflated(rect, 1, 1), hot ? States.Item[4][scFill] : ToolbarFill);
    RECT outline = rect;
    PaintRectFrame(dc, outline, States.Item[row][scFrame], false);
}

void TThmEosTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                  int imageIndex) {
    if (!images) return;
    TThmClipGuard clip(canvas.Handle(), rect);
    if (!item.Enabled)
        PaintImageShadow(canvas, rect, *images, imageIndex, 0);
    else if (item.Checked || item.Pushed || item.HotState != hsNone || IsWhiteButtonFace || IsLowColorDisplay)
        PaintImageLightened(canvas, rect, *images, imageIndex, false);
    else
        PaintImageTinted(canvas, rect, *images, imageIndex, clWindow, 255);
}

void TThmEosTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                      bool) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (horizontal) {
        const bool toolbarStyle = (item.ItemFlags & ifToolbarStyle) || ViewKindIs(item.ViewKind, vkToolBoxPopup);
        const int y = rect.bottom / 2;
        if (item.ViewKind & vkToolbar) {
            const int left = rect.left + 4 + ((item.ItemFlags & ifToolbarStyle) ? 0 : item.ImageColumnWidth + 9);
            PaintLine(dc, left, y, rect.right - 2, y, SeparatorLineColor);
        } else {
            // Fourteen pixels in from both ends of the row.
            PaintLine(dc, rect.left + 14, y, rect.right - 14, y, toolbarStyle ? SeparatorLineColor : SplitDivider);
        }
    } else if (item.Enabled) {
        const int x = rect.right / 2;
        PaintLine(dc, x, rect.top + 2, x, rect.bottom - 3, SeparatorLineColor);
    }
}

// --- edit buttons -------------------------------------------------------------------------------

void TThmEosTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                      const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TThmItemInfo& item = itemIn;
    RECT r = rect;
    ++r.left;
    const int state = button.ButtonState;
    const bool disabled = state & 1, hot = state & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    const TColor pushedFill = States.Item[3][scFill], pushedLine = States.Item[3][scFrame];
    auto restingFace = [&](const RECT& q, bool halfPushed) {
        PaintEditButtonFace(dc, q, halfPushed, hot, opaque, ToolbarFill, EditFrame);
    };
    if (button.ButtonKind == 1) {
        const bool pushed = state & 4;
        if (disabled) {
            PaintRectFrame(dc, r, States.Item[1][scFrame], true);
        } else {
            if (pushed)
                PaintRectFill(dc, r, pushedFill);
            else
                restingFace(r, false);
            // A hot or pushed button's divider takes the edit frame's outline colour.
            PaintLine(dc, r.left, r.top, r.left, r.bottom, !pushed && !hot ? Options.NeutralColor : ItemFramePen(item));
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    const bool upPushed = state & 4, downPushed = !upPushed && (state & 8);
    const RECT up = SpinHalf(r, true), down = SpinHalf(r, false);
    // A pushed half: filled, with a line along its left and top edges.
    auto pushedHalf = [&](const RECT& q) {
        PaintRectFill(dc, q, pushedFill);
        const POINT corner[3] = {{q.left, q.bottom - 1}, {q.left, q.top}, {q.right, q.top}};
        PaintPolyline(dc, corner, 2, pushedLine);
    };
    if (!disabled && upPushed) pushedHalf(up);
    if (!disabled && downPushed) pushedHalf(down);
    restingFace(up, upPushed);
    restingFace(down, state & 8);
    if (disabled) PaintRectFrame(dc, r, States.Item[1][scFrame], true);
    // The arrows sit a quarter of the pair's height from its ends and move one pixel right and
    // down while their half is pushed.
    auto arrowColor = [&](bool halfPushed) {
        TColor c = disabled ? States.Item[1][scText] : States.Item[0][scText];
        if (hot) c = States.Item[4][scText];
        if (halfPushed) c = 0x000000;
        return c;
    };
    const int mid = (r.left + r.right) / 2;
    const int p = upPushed ? 1 : 0, q = (state & 8) ? 1 : 0;
    const int x1 = mid + p, y1 = (3 * r.top + r.bottom) / 4 + p;
    const POINT upArrow[3] = {{x1 - 2, y1 + 1}, {x1 + 2, y1 + 1}, {x1, y1 - 1}};
    const TColor c1 = arrowColor(upPushed);
    PaintPolygon(dc, upArrow, 2, c1, c1);
    const int x2 = mid + q, y2 = (3 * r.bottom + r.top) / 4 + q;
    const POINT downArrow[3] = {{x2 - 2, y2 - 1}, {x2 + 2, y2 - 1}, {x2, y2 + 1}};
    const TColor c2 = arrowColor(state & 8);
    PaintPolygon(dc, downArrow, 2, c2, c2);
}

// --- frames -------------------------------------------------------------------------------------

void TThmEosTheme::PaintGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    TColor dot[3][3];
    GripDotColors(dc, GripFaceColor, GripDarkColor, GripLightColor, dot, false);
    PaintGripDots(dc, strip, frame, size, TGripLayout{2, 3, 1}, dot);
}

void TThmEosTheme::StatusGripDotColors(TColor& face, TColor& dark, TColor& light) const {
    face = GripFaceColor;
    dark = GripDarkColor;
    light = GripLightColor;
}

void TThmEosTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const RECT& r = rect;
    PaintRectFill(dc, r, ViewKindIs(frame.ViewKind, vkMenuBar) ? MenuBarFill : ToolbarFill);
    if (FrameHasEdges(frame.ViewKind)) {
        if (!Options.SolidToolbarEdges || ViewKindIs(frame.ViewKind, vkMenuBar)) {
            PaintToolbarEdges(dc, r, r.top + 1, frame.ViewKind, EdgeColor);
        } else {
            // A raised edge: light on the left and the top, dark on the right and the bottom.
            const TColor light = RaisedEdgeLight();
            PaintLine(dc, r.left, r.bottom - 1, r.left, r.top, light);
            PaintLine(dc, r.left, r.top, r.right, r.top, light);
            PaintLine(dc, r.left + 1, r.bottom - 1, r.right, r.bottom - 1, EdgeColor);
            PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, EdgeColor);
        }
    }
    PaintHandleStrip(dc, Deflated(RECT{r.left, r.top + 1, r.right, r.bottom}, 2, 2), frame);
}

void TThmEosTheme::PaintCloseBox(HDC dc, RECT square, int s) {
    const auto& item = States.Item;
    const TColor frame = s == 4 ? item[4][scFrame] : s == 3 ? FloatingColors[kToolbarActive][kCaptionFill] : item[s][scFrame];
    const TColor face = s == 4 ? item[4][scFill] : s == 3 ? item[3][scFill] : item[s][scFill];
    const TColor cross = s == 4 || s == 3 ? item[s][scText]
                         : AccentCaptions  ? AccentColor
                                           : FloatingColors[kToolbarActive][kCaptionText];
    PaintRectFrame(dc, square, frame, true);
    if (!AccentCaptions) PaintRectFill(dc, square, face);
    PaintSmallCloseCross(dc, square, cross);
}

void TThmEosTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    // The border band, and a line round the client area (the client is the content's to paint).
    if (frame.RedrawParts & rpBorder) PaintFloatingBorder(dc, rect, frame, PopupBorder, true);
    if (!frame.CaptionShown) return;
    const int colours = ((frame.ViewKind & vkToolbar) ? kToolbarActive : kPanelActive) + (frame.Active ? 0 : 1);
    const TColor fill = FloatingColors[colours][kCaptionFill], text = FloatingColors[colours][kCaptionText];
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption{0, 0, frame.ClientWidth, h};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT c = caption;
        PaintLine(dc, c.left, c.bottom, c.right, c.bottom, entry);
        if (close && (frame.RedrawParts & rpCloseButton)) c.right -= h;
        PaintRectFill(dc, c, fill);
        c = RECT{c.left + 2, c.top, c.right - 2, c.bottom - 1};
        PaintCaptionText(canvas, frame.Caption, c, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, text,
                         false, -2);
    }
    if (!close) return;
    RECT k = caption;
    k.left = k.right - (k.bottom - k.top);
    PaintLine(dc, k.left - 1, k.bottom, k.right, k.bottom, entry);
    PaintRectFill(dc, k, fill);
    const int s = !frame.Active                              ? 1
                  : (frame.CloseButtonState & cbsPressed) ? 3
                  : (frame.CloseButtonState & cbsHot)     ? 4
                                                          : 0;
    PaintCloseBox(dc, k, s);
}

void TThmEosTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    const bool across = frame.CaptionHorizontal;
    RECT r = rect;
    if (PlainPanelBorder()) {
        // A two-pixel ring of the bar colour, its outer ring a raised edge.
        PaintRectFrame(dc, r, ToolbarFill, true);
        PaintRectFrame(dc, r, ToolbarFill, false);
        const TColor light = RaisedEdgeLight();
        PaintLine(dc, r.left - 1, r.bottom, r.left - 1, r.top - 1, light);
        PaintLine(dc, r.left - 1, r.top - 1, r.right + 1, r.top - 1, light);
        PaintLine(dc, r.left + 1, r.bottom, r.right, r.bottom, EdgeColor);
        PaintLine(dc, r.right, r.top, r.right, r.bottom, EdgeColor);
    } else {
        PaintPatternPanelBorder(dc, rect, entry, across, clNone);
    }
    r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    const TColor barFill = FloatingColors[kPanelActive][kCaptionFill];
    if (across) {
        r.bottom = r.top + h;
        PaintRectFill(dc, r, barFill);
        if (!AccentCaptions) PaintLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, ToolbarFill);
        --r.bottom;
    } else {
        r.right = r.left + h;
        PaintRectFill(dc, r, barFill);
        if (!AccentCaptions) PaintLine(dc, r.right - 1, r.top, r.right - 1, r.bottom, EdgeColor);
        --r.right;
    }
    if (frame.CloseButtonState & cbsShown)
        PaintCloseBox(dc, SplitCloseSquare(r, across, h), CloseButtonRow(frame.CloseButtonState));
    PaintCaptionText(canvas, frame.Caption, CaptionTextPlace(r, across),
                     DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX,
                     AccentCaptions ? AccentColor : FloatingColors[kToolbarActive][kCaptionText], !across, -1);
}

// --- check controls and status bar --------------------------------------------------------------

void TThmEosTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int) {
    if (controlKind != 1 && controlKind != 2) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool disabled = state & 4, pushed = state & 0x10, hot = state & 8, mixed = state & 2;
    const auto& item = States.Item;
    const TColor pen = disabled ? clBtnShadow : pushed ? item[3][scFrame] : hot ? item[4][scFrame] : item[0][scText];
    // The face: hollow, a state's fill, or the window and face checker of a mixed box (the
    // class library's cached pattern brush).
    TGdiObject<HBRUSH> solid;
    HBRUSH face = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!disabled && (pushed || hot)) {
        solid = TGdiObject<HBRUSH>(CreateBrushForColor(item[pushed ? 3 : 4][scFill]));
        face = solid.Handle();
    } else if (!disabled && mixed) {
        face = AllocPatternBrush(clWindow, clBtnFace);
    }
    {
        TGdiObject<HPEN> outline(CreatePenForColor(pen));
        TSelectedObject selectedPen(dc, outline.Handle());
        TSelectedObject selectedBrush(dc, face);
        const RECT shape = controlKind == 1 ? rect : Deflated(rect, 1, 1);
        if (!IsEmptyArea(shape)) {
            if (controlKind == 1)
                Rectangle(dc, shape.left, shape.top, shape.right, shape.bottom);
            else
                Ellipse(dc, shape.left, shape.top, shape.right, shape.bottom);
        }
    }
    PaintCheckMark(dc, rect, controlKind, state, clNone);
}

void TThmEosTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    switch (part) {
    case 0:
        PaintRectFill(dc, rect, ToolbarFill);
        PaintLine(dc, rect.left, rect.top, rect.right, rect.top, RaisedEdgeLight());
        return;
    case 1:
    case 2: {
        const int x = rect.right - (part == 1 ? 3 : 1);
        if (x >= rect.left && rect.bottom - 3 > rect.top + 2)
            PaintLine(dc, x, rect.top + 2, x, rect.bottom - 3, SeparatorLineColor);
        return;
    }
    default: TThmNexos4Theme::PaintStatusBarPart(canvas, rect, part); return;
    }
}

}  // namespace themes
