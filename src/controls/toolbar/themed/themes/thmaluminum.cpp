#include "controls/toolbar/themed/themes/thmaluminum.h"

#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmclassic.h"

namespace themes {

using namespace classlib;
using namespace themed;

struct TThmStreakTextureHold {
    ~TThmStreakTextureHold() { ReleaseStreakTextures(); }
};

namespace {

constexpr TColor kBase = 0xDFDFDF;
constexpr TColor kGrey = 0x9F9F9F;
constexpr TColor kInk = 0x3F3F3F;
constexpr int kNormal = 0, kDisabled = 1, kPushed = 3, kHot = 4;

TColor CBP(TColor a, TColor b, int w) { return ColorBlendPercent(a, b, w); }

TColor Shift(TColor c, int n) { return ColorShiftLevel(c, n); }

void Triangle(HDC dc, const POINT (&p)[3], TColor color) { PaintPolygon(dc, p, 2, color, color); }

// Corner pixels of a rounded outline, (dx, dy) counted inward from the corner, by radius.
struct TCornerPixel {
    int Dx, Dy, Alpha;
};
constexpr TCornerPixel kRadius1[] = {{0, 0, 63}, {1, 1, 63}};
constexpr TCornerPixel kRadius2[] = {{0, 0, 31}, {1, 0, 127}, {0, 1, 127}, {1, 1, 159}};
constexpr TCornerPixel kRadius3[] = {{0, 0, 0},    {1, 0, 47}, {0, 1, 47}, {2, 0, 143},
                                     {0, 2, 143}, {1, 1, 175}, {2, 1, 63}, {1, 2, 63}};

std::span<const TCornerPixel> CornerPixels(int radius) {
    switch (radius) {
    case 1: return kRadius1;
    case 2: return kRadius2;
    case 3: return kRadius3;
    default: return {};
    }
}

}  // namespace

TThmAluminumTheme::TThmAluminumTheme(std::wstring name)
    : TThmDefaultTheme(std::move(name)),
      FGlyphs(SharedThemeResource<TThmGlyphList, TThmAluminumTheme>()),
      FStreaks(SharedThemeResource<TThmStreakTextureHold, TThmAluminumTheme>()) {
    States.MissingFrame = kGrey;
}

TThmAluminumTheme::~TThmAluminumTheme() = default;

std::unique_ptr<TThmTheme> CreateAluminumTheme(const std::wstring& name) {
    return std::make_unique<TThmAluminumTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmAluminumTheme::RebuildColorCache() {
    StreakAmplitude = 12;
    // The highlight with its lightness raised to at least 0.4.
    float h = 0, s = 0, l = 0;
    ColorToHSL(clHighlight, h, s, l);
    const TColor hl = HSLToColor(h, s, std::max(l, 0.4f));
    DockFill = Shift(kBase, -24);
    MenuBarFill = ToolbarFill = kBase;
    StatusBarFill = Shift(kBase, -16);
    PopupFill = DockPanelFill = CBP(DockFill, clWindow, 100);
    PopupBorder = Contrasted(CBP(0x000000, kGrey, 20), PopupFill, 100);
    const TColor v = CBP(hl, clWindow, 30), b = CBP(kGrey, clWindow, 90);
    auto set = [](TColor (&row)[3], TColor fill, TColor text, TColor frame) {
        row[scFill] = fill;
        row[scText] = text;
        row[scFrame] = frame;
    };
    auto& item = States.Item;
    const TColor normalText = Contrasted(0x000000, ToolbarFill, 180);
    set(item[0], clNone, normalText, clNone);
    set(item[1], clNone, Contrasted(kGrey, ToolbarFill, 80), clNone);
    set(item[2], Contrasted(CBP(hl, CBP(0xC7C7C7, clWindow, 50), 10), ToolbarFill, 5), normalText, clHighlight);
    set(item[3], CBP(hl, clWindow, 50), clHighlightText, clHighlight);
    set(item[4], v, Contrasted(clMenuText, v, 180), Contrasted(clHighlight, ToolbarFill, 100));
    set(item[5], v, b, clHighlight);
    const TColor checkedHot = Contrasted(CBP(hl, clWindow, 50), ToolbarFill, 30);
    set(item[6], checkedHot, Contrasted(clHighlightText, checkedHot, 180), Contrasted(clHighlight, checkedHot, 100));
    set(item[7], CBP(ToolbarFill, PopupFill, 50), normalText, PopupBorder);
    auto& popup = States.Popup;
    const TColor grayText = CBP(clGrayText, clWindow, 70);
    set(popup[0], clNone, Contrasted(clWindowText, PopupFill, 180), clNone);
    set(popup[1], clNone, Contrasted(grayText, PopupFill, 80), clNone);
    set(popup[2], item[4][scFill], item[4][scText], item[4][scFrame]);
    set(popup[3], PopupFill, grayText, clHighlight);
    SeparatorColor = Contrasted(kGrey, ToolbarFill, 50);
    // Every screen snaps the same way; the dock and status fills stay as computed.
    HDC dc = NearestColorBitmap().Canvas().Handle();
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &PopupFill, &DockPanelFill, &PopupBorder, &SeparatorColor})
        *c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(*c)));
    States.SnapToScreen();
}

TColor TThmAluminumTheme::GetItemFillColor(const TThmItemInfo& item) {
    const TColor c = ItemStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

TColor TThmAluminumTheme::GetItemTextColor(const TThmItemInfo& item) { return ItemStateColor(item, scText); }

TColor TThmAluminumTheme::GetItemImageBackColor(const TThmItemInfo& item) {
    const TColor c = ButtonStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

void TThmAluminumTheme::GetViewBorderSize(int viewKind, POINT& size) {
    auto floating = [&] {
        if (viewKind & vkResizable)
            size = {GetSystemMetrics(SM_CXSIZEFRAME) - 1, GetSystemMetrics(SM_CYSIZEFRAME) - 1};
        else
            size = {GetSystemMetrics(SM_CXFIXEDFRAME) - 1, GetSystemMetrics(SM_CYFIXEDFRAME) - 1};
    };
    if (ViewKindIs(viewKind, vkToolbar) || ViewKindIs(viewKind, vkDockPanel)) {
        if (viewKind & vkFloating)
            floating();
        else
            size = {2, 2};
    } else if (ViewKindIs(viewKind, vkPopup)) {
        size = {2, 2};
    } else {
        size = {0, 0};
    }
}

TColor TThmAluminumTheme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkMenuBar)) return MenuBarFill;
    if (ViewKindIs(viewKind, vkToolbar)) return ToolbarFill;
    if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
    if (ViewKindIs(viewKind, vkPopup)) return PopupFill;
    if (ViewKindIs(viewKind, vkDockPanel)) return DockPanelFill;
    return ToolbarFill;
}

int TThmAluminumTheme::GetIntMetric(int index) {
    switch (index) {
    case tmSplitArrowWidth: return 12;
    case tmMenuCaptionGap: return 3;
    case tmMDIButtonNarrower: return 1;
    case tmMDIButtonLower: return 2;
    case tmEditFrameInset: return 2;
    case tmSpareSize61: return 2;
    case tmSpareSize62: return 1;
    case tmSpareSize65: return 14;
    case tmSpareSize66: return 0;
    default: return TThmDefaultTheme::GetIntMetric(index);
    }
}

bool TThmAluminumTheme::GetBoolMetric(int index) {
    return index == tbPopupOverlapsOpener || index == 3 || index == tbPaintDockBackground ||
           index == tbSolidToolbarNCArea || index == tbSolidToolbarClientArea;
}

TColor TThmAluminumTheme::StateFillOr(int row, TColor none) const {
    const TColor c = States.Item[row][scFill];
    return c != clNone ? c : none;
}

// --- drawing pieces -------------------------------------------------------------------------------

void TThmAluminumTheme::PaintRoundedOutline(HDC dc, const RECT& rect, int tl, int tr, int bl, int br, TColor color) {
    if (color == clNone || IsEmptyArea(rect)) return;
    const int l = rect.left, t = rect.top, r1 = rect.right - 1, b1 = rect.bottom - 1;
    PaintLine(dc, l, b1 - bl, l, t + tl - 1, color);
    PaintLine(dc, l + tl, t, r1 - tr + 1, t, color);
    PaintLine(dc, l + bl, b1, r1 - br + 1, b1, color);
    PaintLine(dc, r1, t + tr, r1, b1 - br + 1, color);
    const TColor rgb = static_cast<TColor>(ColorToRGB(color));
    for (const TCornerPixel& p : CornerPixels(tl)) PaintPixelAlpha(dc, l + p.Dx, t + p.Dy, rgb, p.Alpha);
    for (const TCornerPixel& p : CornerPixels(tr)) PaintPixelAlpha(dc, r1 - p.Dx, t + p.Dy, rgb, p.Alpha);
    for (const TCornerPixel& p : CornerPixels(bl)) PaintPixelAlpha(dc, l + p.Dx, b1 - p.Dy, rgb, p.Alpha);
    for (const TCornerPixel& p : CornerPixels(br)) PaintPixelAlpha(dc, r1 - p.Dx, b1 - p.Dy, rgb, p.Alpha);
}

namespace {

// A face with cut corners in one colour, outline included.
void PaintCutCornerFace(HDC dc, const RECT& rect, int tl, int tr, int bl, int br, TColor color) {
    if (color == clNone || IsEmptyArea(rect)) return;
    const int l = rect.left, t = rect.top, r1 = rect.right - 1, b1 = rect.bottom - 1;
    const POINT p[9] = {{l + tl, t}, {r1 - tr, t},      {r1, t + tr}, {r1, b1 - br}, {r1 - br, b1},
                        {l + bl, b1}, {l, b1 - bl}, {l, t + tl},  {l + tl, t}};
    PaintPolygon(dc, p, 8, color, color);
}

// Two gradients over a third and two thirds of rect: up from the base, then down below it.
void PaintThirdsGradient(HDC dc, const RECT& r, TColor base, bool vertical) {
    if (vertical) {
        const int y3 = (2 * r.top + r.bottom) / 3;
        PaintGradientRect(dc, RECT{r.left, r.top, r.right, y3}, Shift(base, 24), base, true);
        PaintGradientRect(dc, RECT{r.left, y3, r.right, r.bottom}, base, Shift(base, -8), true);
    } else {
        const int x3 = (2 * r.left + r.right) / 3;
        PaintGradientRect(dc, RECT{r.left, r.top, x3, r.bottom}, Shift(base, 24), base, false);
        PaintGradientRect(dc, RECT{x3, r.top, r.right, r.bottom}, base, Shift(base, -8), false);
    }
}

}  // namespace

void TThmAluminumTheme::PaintBevelFrame(HDC dc, const RECT& rect, int tl, int tr, int bl, int br, TColor topLeftColor,
                                        TColor bottomRightColor, TColor outside) {
    if (IsEmptyArea(rect) || !RectVisible(dc, &rect)) return;
    const TColor a = static_cast<TColor>(ColorToRGB(topLeftColor)), b = static_cast<TColor>(ColorToRGB(bottomRightColor));
    const int l = rect.left, t = rect.top, r1 = rect.right - 1, b1 = rect.bottom - 1;
    PaintLine(dc, l, b1 - bl, l, t + tl - 1, a);
    PaintLine(dc, l + tl, t, r1 - tr + 1, t, a);
    PaintLine(dc, l + bl, b1, r1 - br + 1, b1, b);
    PaintLine(dc, r1, t + tr, r1, b1 - br + 1, b);
    const TColor m63 = ColorMix(a, b, 63), m127 = ColorMix(a, b, 127), m191 = ColorMix(a, b, 191);
    auto set = [dc](int x, int y, TColor c) { SetPixelV(dc, x, y, ColorToRGB(c)); };
    auto alpha = [dc](int x, int y, TColor c, int w) { PaintPixelAlpha(dc, x, y, c, w); };
    const bool out = outside != clNone;
    const TColor o = out ? static_cast<TColor>(ColorToRGB(outside)) : 0;
    if (tl == 1) {
        if (out) set(l, t, ColorMix(a, o, 127)); else alpha(l, t, a, 63);
    } else if (tl == 2) {
        if (out) {
            set(l, t, ColorMix(a, o, 31));
            set(l + 1, t, ColorMix(a, o, 175));
            set(l, t + 1, ColorMix(a, o, 175));
        } else {
            alpha(l, t, a, 31);
            alpha(l + 1, t, a, 143);
            alpha(l, t + 1, a, 143);
        }
    }
    if (tr == 1) {
        if (out) set(r1, t, ColorMix(m127, o, 63)); else alpha(r1, t, b, 63);
    } else if (tr == 2 && out) {
        set(r1, t, o);
        set(r1, t + 1, ColorMix(m63, o, 127));
        set(r1 - 1, t, ColorMix(m191, o, 127));
    }
    if (bl == 1) {
        if (out) set(l, b1, ColorMix(m127, o, 63)); else alpha(l, b1, b, 63);
    } else if (bl == 2 && out) {
        set(l, b1, o);
        set(l, b1 - 1, ColorMix(m191, o, 127));
        set(l + 1, b1, ColorMix(m63, o, 127));
    }
    if (br == 1) {
        if (out) set(r1, b1, ColorMix(b, o, 127)); else alpha(r1, b1, b, 63);
    } else if (br == 2) {
        if (out) {
            set(r1, b1, ColorMix(b, o, 31));
            set(r1 - 1, b1, ColorMix(b, o, 175));
            set(r1, b1 - 1, ColorMix(b, o, 175));
        } else {
            alpha(r1, b1, b, 31);
            alpha(r1 - 1, b1, b, 143);
            alpha(r1, b1 - 1, b, 143);
        }
    }
    if (tl == 1) alpha(l + 1, t + 1, a, 63);
    if (tl == 2) alpha(l + 1, t + 1, a, 207);
    if (tr == 1) alpha(r1, t, m127, 63);
    if (bl == 1) alpha(l, b1, m127, 63);
    if (br == 1) alpha(r1 - 1, b1 - 1, b, 63);
    if (br == 2) alpha(r1 - 1, b1 - 1, b, 207);
}

void TThmAluminumTheme::PaintEmbossedCloseGlyph(HDC dc, const RECT& rect, TColor base, bool lit) {
    RECT r = rect;
    OffsetRect(&r, 1, 1);
    PaintPatternGlyph(dc, r, 7, 6, kBoldCrossPattern, Shift(base, 24));
    OffsetRect(&r, -2, -2);
    PaintPatternGlyph(dc, r, 7, 6, kBoldCrossPattern, Shift(base, -32));
    PaintPatternGlyph(dc, rect, 7, 6, kBoldCrossPattern, lit ? 0x000000 : kInk);
}

void TThmAluminumTheme::PaintCloseButton(HDC dc, const RECT& box, int row, int radius, bool lit) {
    const TColor fill = States.Item[row][scFill];
    PaintCutCornerFace(dc, box, radius, radius, radius, radius, fill);
    PaintRoundedOutline(dc, box, radius, radius, radius, radius, States.Item[row][scFrame]);
    PaintEmbossedCloseGlyph(dc, box, fill != clNone ? fill : ToolbarFill, lit);
}

void TThmAluminumTheme::PaintBeadGrip(HDC dc, const RECT& rect, TColor base, int inset) {
    if (base == clNone) return;
    TThmClipGuard clip(dc, rect);
    const RECT g = CenteredGripArea(rect, inset);
    auto tone = [base](int n) { return ColorToRGB(ColorShiftLevelNearest(base, n)); };
    const COLORREF pit = tone(-96), rim = tone(-24), side = tone(-32), lit = tone(24), glint = tone(18);
    // 3 x 3 dimples, dark at the centre and light toward the lower right.
    for (int y = g.top; y < g.bottom; y += 4)
        for (int x = g.left; x < g.right; x += 4) {
            SetPixelV(dc, x + 1, y + 1, pit);
            SetPixelV(dc, x, y, rim);
            SetPixelV(dc, x, y + 1, side);
            SetPixelV(dc, x + 1, y, side);
            SetPixelV(dc, x + 2, y + 1, lit);
            SetPixelV(dc, x + 1, y + 2, lit);
            SetPixelV(dc, x + 2, y + 2, glint);
        }
}

// --- views ------------------------------------------------------------------------------------------

void TThmAluminumTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                            const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (IsLowColorDisplay) {
        TThmDefaultTheme::PaintViewBackground(canvas, outerRect, paintRect, clipRect, color, transparent, viewKind);
        return;
    }
    HDC dc = canvas.Handle();
    RECT r{};
    if (transparent || color == clNone || !IntersectRect(&r, &paintRect, &clipRect) || !RectVisible(dc, &r)) return;
    if (HasOpaqueItems(viewKind) || ViewKindIs(viewKind, vkPopup))
        PaintRectFill(dc, r, color);
    else
        PaintStreakTexture(dc, nullptr, r, color, StreakAmplitude);
}

void TThmAluminumTheme::PaintDockBackground(TCanvas& canvas, const RECT& clientRect, const RECT& paintRect, int) {
    // Anchored to the dock's client area, so that repaints of parts match.
    const POINT origin{clientRect.left, clientRect.top};
    PaintStreakTexture(canvas.Handle(), &origin, paintRect, DockFill, 8);
}

void TThmAluminumTheme::PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    RECT r = rect;
    PaintRectFrame(dc, r, PopupBorder, true);
    PaintRectFill(dc, r, PopupFill);
    const RECT& p = frame.ParentRect;
    if (IsRectEmpty(&p)) return;
    // Where the border touches the opener it becomes a checker line.
    const TColor join = States.Item[7][scFrame];
    auto checker = [&](const RECT& e) {
        if (!IsEmptyArea(e) && join != clNone && PopupFill != clNone) FillRect(dc, &e, AllocPatternBrush(PopupFill, join));
    };
    const int e1 = p.left <= r.left ? r.left : p.left + 1, e2 = p.right >= r.right ? r.right : p.right - 1;
    if (p.bottom == r.top)
        checker(RECT{e1, p.bottom - 1, e2, p.bottom});
    else if (p.top == r.bottom)
        checker(RECT{e1, p.top, e2, p.top + 1});
    const int f1 = p.top <= r.top ? r.top : p.top + 1, f2 = p.bottom >= r.bottom ? r.bottom : p.bottom - 1;
    if (p.right == r.left)
        checker(RECT{p.right - 1, f1, p.right, f2});
    else if (p.left == r.right)
        checker(RECT{p.left, f1, p.left + 1, f2});
}

// --- items --------------------------------------------------------------------------------------------

void TThmAluminumTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    // The arrow part of a split button starts one pixel left of its rectangle.
    TThmClipGuard clip(dc, rect, 1);
    RECT r = rect;
    if ((item.ItemFlags & ifDesigning) && !item.Checked) {
        if (item.SplitPart == spSplitArrow) --r.left;
        PaintRoundedOutline(dc, r, 1, 1, 1, 1,
                            static_cast<TColor>(GetNearestColor(dc, ColorToRGB(ColorMix(kGrey, 0xC7C7C7, 100)))));
    } else {
        const int radius = item.PopupOpen ? 1 : 2;
        int left = radius, right = radius;
        if (item.SplitPart == spSplitButton) right = 0;
        if (item.SplitPart == spSplitArrow) {
            --r.left;
            left = 0;
        }
        const TColor fill = ButtonStateColor(item, scFill);
        PaintCutCornerFace(dc, r, left, right, left, right, fill);
        PaintRoundedOutline(dc, r, left, right, left, right, ButtonStateColor(item, scFrame));
        // The arrow part of an opened split button joins its button part.
        if (item.SplitPart == spSplitArrow && item.PopupOpen) PaintLine(dc, r.left, r.top + 1, r.left, r.bottom - 1, fill);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmAluminumTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                         const std::wstring& caption, UINT format, bool rotated) {
    canvas.PrepareText();
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    TColor color = canvas.Font().Color();
    if (color == clNone) color = GetItemTextColor(item);
    // Engraved: a lighter copy one pixel down and right.
    TColor engraving = clNone;
    if (item.ItemFlags & ifToolbarStyle) {
        const TColor fill = ButtonStateColor(item, scFill);
        engraving = Shift(fill != clNone ? fill : ToolbarFill, 16);
    } else if (ViewKindIs(item.ViewKind, vkStatusBar)) {
        engraving = Shift(StatusBarFill, 16);
    }
    if (engraving != clNone) {
        RECT lower = rect;
        OffsetRect(&lower, 1, 1);
        DrawThemeCaption(canvas, caption, lower, format, engraving, rotated);
    }
    DrawThemeCaption(canvas, caption, rect, format, color, rotated);
}

void TThmAluminumTheme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    const TColor c = ButtonStateColor(item, scText);
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    if (item.ItemFlags & ifRadioItem) {
        PaintRoundRect(dc, x - 3, y - 3, x + 3, y + 3, 2, 2, ColorMix(c, ToolbarFill, 200), clNone);
        PaintRoundRect(dc, x - 3, y - 3, x + 3, y + 3, 6, 6, c, c);
        return;
    }
    const POINT tick[7] = {{x - 3, y - 1}, {x - 1, y + 1}, {x + 3, y - 3}, {x + 3, y - 2},
                           {x - 1, y + 2}, {x - 3, y},     {x - 3, y - 1}};
    PaintPolyline(dc, tick, 6, c);
}

void TThmAluminumTheme::PaintChevronButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintItemButton(canvas, rect, item);
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    RECT box = rect;
    const BYTE* pattern = item.Vertical ? kChevronVerticalPattern : kChevronHorizontalPattern;
    const int w = item.Vertical ? 5 : 8, h = item.Vertical ? 8 : 5;
    if (item.Vertical) {
        box.left = rect.right - 9;
        box.right = rect.right - 4;
    } else {
        box.top = rect.top + 4;
        box.bottom = rect.top + 9;
    }
    const TColor fill = ButtonStateColor(item, scFill);
    const TColor base = fill != clNone ? fill : ToolbarFill;
    RECT r = box;
    OffsetRect(&r, 1, 1);
    PaintPatternGlyph(dc, r, w, h, pattern, Shift(base, 24));
    OffsetRect(&r, -2, -2);
    PaintPatternGlyph(dc, r, w, h, pattern, Shift(base, -32));
    PaintPatternGlyph(dc, box, w, h, pattern, item.HotState == hsNone ? kInk : 0x000000);
}

void TThmAluminumTheme::PaintDropArrow(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2 - 1;
    const TColor c = ItemStateColor(item, scText);
    if (item.Vertical)
        Triangle(dc, {POINT{x, y + 2}, POINT{x, y - 2}, POINT{x - 2, y}}, c);
    else
        Triangle(dc, {POINT{x - 2, y}, POINT{x + 2, y}, POINT{x, y + 2}}, c);
}

void TThmAluminumTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool active = item.Enabled || item.HotState == hsKeyboardSelected;
    const TColor up = Shift(ToolbarFill, 16), down = Shift(ToolbarFill, -16);
    if (!active) {
        PaintBevelFrame(dc, rect, 1, 1, 1, 1, down, up, clNone);  // sunken
        PaintBevelFrame(dc, Deflated(rect, 1, 1), 1, 1, 1, 1, up, down, clNone);  // and raised inside
    } else if (item.Pushed || item.Checked || item.HotState != hsNone || (item.ItemFlags & ifDesigning)) {
        RECT inner = Deflated(rect, 1, 1);
        PaintRectFrame(dc, inner, clWindow, false);
        PaintRoundedOutline(dc, rect, 2, 2, 2, 2, ButtonStateColor(item, scFrame));
    } else {
        if (!HasOpaqueItems(item.ViewKind) && !ViewKindIs(item.ViewKind, vkPopup))
            PaintBevelFrame(dc, rect, 1, 1, 1, 1, down, up, clNone);
        PaintRoundedOutline(dc, Deflated(rect, 1, 1), 1, 1, 1, 1, kGrey);
    }
}

void TThmAluminumTheme::PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                     const TThmEditBoxInfo& editBox) {
    PaintItemFrame(canvas, rect, item);
    HDC dc = canvas.Handle();
    const int inset = GetIntMetric(tmEditFrameInset);
    const int width = editBox.RightButtonWidth;
    RECT r = Deflated(rect, inset, inset);
    if (width > 0) r.right += inset - width;
    if (item.Enabled) {
        if (!item.Pushed && !item.Checked && item.HotState == hsNone) {
            PaintRoundedOutline(dc, r, 1, 1, 1, 1, clWindow);
            r = Deflated(r, 1, 1);
        }
        PaintRectFill(dc, r, clWindow);
    }
    if (width > 0) {
        RECT button = rect;
        button.left = std::max<LONG>(rect.left, rect.right - width);
        PaintEditBoxButton(canvas, button, item, editBox.RightButton);
    }
}

void TThmAluminumTheme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                           const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    const int state = button.ButtonState;
    const bool disabled = state & 1, hot = state & 2;
    TThmItemInfo half = item;  // the record is the caller's: each half's pushed state goes on a copy
    TColor frame = ItemStateColor(item, scFrame);
    if (frame == clNone) frame = kGrey;
    auto part = [&](const RECT& p, bool pushed, bool topRight, bool bottomRight) {
        if (pushed || hot) {
            const TColor fill = ItemStateColor(half, scFill);
            PaintRectFill(dc, p, fill);
            if (fill == clNone || IsEmptyArea(p)) return;
            const COLORREF m = ColorToRGB(ColorMix(frame, fill, 128));
            if (topRight) SetPixelV(dc, p.right - 1, p.top, m);
            if (bottomRight) SetPixelV(dc, p.right - 1, p.bottom - 1, m);
        } else {
            PaintGradientRect(dc, p, Shift(kBase, 16), Shift(kBase, -16), true);
            PaintBevelFrame(dc, p, 0, 1, 0, 1, Shift(kBase, 24), Shift(kBase, -24), clNone);
        }
    };
    RECT r = rect;
    --r.left;
    if (button.ButtonKind == 1) {
        const int d = hot || (state & 4) ? 1 : 2;
        r = Deflated(r, d, d);
        if (!disabled) {
            PaintLine(dc, r.left - 1, r.top, r.left - 1, r.bottom, frame);
            part(r, state & 4, true, true);
        }
        PaintDropArrow(canvas, r, item);
    } else if (button.ButtonKind == 2) {
        const int d = hot || (state & 12) ? 1 : 2;
        r = Deflated(r, d, d);
        if (disabled) return;
        const int x = (r.left + r.right) / 2;
        half.Pushed = state & 4;
        const RECT upper{r.left, r.top, r.right, (r.top + r.bottom) / 2};
        part(upper, half.Pushed, true, false);
        const TColor upText = ItemStateColor(half, scText);
        int y = (upper.top + upper.bottom - 1) / 2;
        Triangle(dc, {POINT{x - 2, y + 1}, POINT{x + 2, y + 1}, POINT{x, y - 1}}, upText);
        half.Pushed = state & 8;
        const RECT lower{r.left, (r.top + r.bottom + 1) / 2, r.right, r.bottom};
        part(lower, half.Pushed, false, true);
        y = (lower.top + lower.bottom) / 2;
        Triangle(dc, {POINT{x - 2, y - 1}, POINT{x + 2, y - 1}, POINT{x, y + 1}}, ItemStateColor(half, scText));
        PaintLine(dc, r.left - 1, r.top, r.left - 1, r.bottom, frame);
        PaintLine(dc, r.left, (r.top + r.bottom - 1) / 2, r.right, (r.top + r.bottom - 1) / 2, frame);
        PaintLine(dc, r.left, (r.top + r.bottom) / 2, r.right, (r.top + r.bottom) / 2, frame);
    }
}

void TThmAluminumTheme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                                       int imageIndex) {
    if (!images) return;
    TThmClipGuard clip(canvas.Handle(), rect, 1);
    const bool dark = ColorLuma(GetItemImageBackColor(item)) < 80;
    auto moved = [&](int by) {
        RECT r = rect;
        OffsetRect(&r, by, by);
        return r;
    };
    if (!item.Enabled) {
        if (dark)
            PaintImageSilhouetteThreshold(canvas, rect, *images, imageIndex, kGrey);
        else
            PaintImageShadow(canvas, rect, *images, imageIndex, 0);
        return;
    }
    if (item.Checked || item.Pushed || item.HotState != hsNone) {
        if (item.HotState != hsNone && !item.Checked) {
            if (item.Pushed && !item.PopupOpen) {
                PaintImageShadow(canvas, moved(-1), *images, imageIndex, 1);
                PaintImageSilhouette(canvas, moved(1), *images, imageIndex, Shift(States.Item[kPushed][scFill], 24));
            } else {
                PaintImageShadow(canvas, moved(1), *images, imageIndex, 1);
            }
        }
        PaintImageLightened(canvas, rect, *images, imageIndex, dark);
        return;
    }
    if (dark || IsWhiteButtonFace)
        PaintImageLightened(canvas, rect, *images, imageIndex, dark);
    else
        PaintImageBlended(canvas, rect, *images, imageIndex, 200);
}

void TThmAluminumTheme::PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                              int buttonKind) {
    PaintItemButton(canvas, rect, item);
    const int cell = TThmGlyphList::CellForMDIButton(buttonKind);
    if (cell < 0) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    TImageList& glyphs = FGlyphs->Images();
    const int x = (rect.left + rect.right - glyphs.Width()) / 2, y = (rect.top + rect.bottom - glyphs.Height() - 1) / 2;
    const TColor fill = ButtonStateColor(item, scFill);
    const TColor base = fill != clNone ? fill : ToolbarFill;
    PaintMonoGlyph(dc, x + 1, y + 1, glyphs, cell, Shift(base, 24));
    PaintMonoGlyph(dc, x - 1, y - 1, glyphs, cell, Shift(base, -32));
    PaintMonoGlyph(dc, x, y, glyphs, cell, item.HotState == hsNone ? kInk : 0x000000);
}

void TThmAluminumTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (!IsActiveItem(item)) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    PaintCutCornerFace(dc, rect, 1, 1, 1, 1, ItemStateColor(item, scFill));
    PaintRoundedOutline(dc, rect, 1, 1, 1, 1, ItemStateColor(item, scFrame));
}

void TThmAluminumTheme::PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int cw = GetSystemMetrics(SM_CXMENUCHECK);
    const TColor text = ItemStateColor(item, scText);
    const bool imageArea = item.ImageWidth > 0 || item.Checked;
    RECT r = rect;
    if (imageArea) r.left += GetIntMetric(tmMenuImageGap) + item.ImageColumnWidth;
    PaintPopupItemFrame(canvas, r, item);
    if (item.ItemFlags & ifSplitItem) {
        const int x = r.right - cw - 1;
        const TColor c = !item.Enabled ? text : item.HotState == hsSelected ? ItemStateColor(item, scFrame) : kGrey;
        PaintLine(dc, x, r.top + 1, x, r.bottom - 1, c);
    }
    if (item.ItemFlags & ifSubmenu) PaintSubmenuArrow(dc, rect.right - 2 * cw / 3, rect.bottom / 2, text);
    if (imageArea && (item.HotState != hsNone || item.Checked))
        PaintItemButton(canvas, RECT{rect.left, rect.top, rect.left + item.ImageColumnWidth, rect.bottom}, item);
}

void TThmAluminumTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                           bool) {
    if (!item.Enabled) return;
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    if (horizontal) {
        const int y = (rect.top + rect.bottom) / 2;
        PaintLine(dc, rect.left + 2, y, rect.right - 2, y, SeparatorColor);
    } else {
        const int x = (rect.left + rect.right) / 2;
        PaintLine(dc, x, rect.top + 2, x, rect.bottom - 2, SeparatorColor);
    }
}

void TThmAluminumTheme::PaintScrollArrowButton(TCanvas& canvas, const RECT& rect, int direction, bool hot) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const RECT inner = Deflated(rect, 1, 1);
    if (hot)
        PaintRectFill(dc, inner, States.Item[kHot][scFill]);
    else if (!IsEmptyArea(inner))
        PaintGradientRect(dc, inner, Shift(ToolbarFill, 12), Shift(ToolbarFill, -8), direction == 1 || direction == 2);
    if (!IsEmptyArea(rect)) {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (const POINT p : {POINT{rect.left, rect.top}, POINT{rect.right - 1, rect.top},
                              POINT{rect.right - 1, rect.bottom - 1}, POINT{rect.left, rect.bottom - 1}})
            SetPixelV(dc, p.x, p.y, face);
    }
    PaintRoundedOutline(dc, rect, 1, 1, 1, 1, hot ? States.Item[kHot][scFrame] : ColorMix(kGrey, clWindow, 192));
    POINT arrow[3];
    if (ScrollArrowTriangle(rect, direction, arrow)) Triangle(dc, arrow, 0x000000);
}

void TThmAluminumTheme::PaintCheckControl(TCanvas& canvas, const RECT& rect, int controlKind, int state, int reserved) {
    if (controlKind != 1 && controlKind != 2) {
        TThmDefaultTheme::PaintCheckControl(canvas, rect, controlKind, state, reserved);
        return;
    }
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool disabled = state & 4, hot = state & 8, pushed = state & 0x10, mixed = state & 2;
    const auto& item = States.Item;
    TColor pen = kGrey, fill = clWindow, mark = item[kNormal][scText];
    if (disabled) {
        fill = clNone;
        mark = item[kDisabled][scText];
    } else if (pushed) {
        pen = item[kPushed][scFrame];
        fill = item[kPushed][scFill];
        mark = item[kPushed][scText];
    } else if (hot) {
        pen = item[kHot][scFrame];
        fill = item[kHot][scFill];
        mark = mixed ? kGrey : item[kHot][scText];
    } else if (mixed) {
        mark = kGrey;
    }
    if (!disabled && !pushed && !hot && mixed) {
        PaintClassicCheckControl(dc, rect, controlKind, state, pen, AllocPatternBrush(clWindow, clBtnFace), mark);
        return;
    }
    TGdiObject<HBRUSH> brush(fill != clNone ? CreateBrushForColor(fill) : nullptr);
    PaintClassicCheckControl(dc, rect, controlKind, state, pen, brush.Handle(), mark);
}

// --- frames -------------------------------------------------------------------------------------

void TThmAluminumTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor e = frame.EffectiveColor;
    RECT r = rect;
    if (frame.BorderStyle == 1) {
        PaintStreakTexture(dc, nullptr, Deflated(r, 1, 1), e, 12);
        PaintBevelFrame(dc, r, 2, 2, 2, 2, Shift(e, 32), Shift(e, -96), DockFill);
    } else {
        PaintStreakTexture(dc, nullptr, r, e, 12);
    }
    r = Deflated(r, 2, 2);
    if (!frame.AllowDrag) return;
    const bool close = frame.CloseButtonState & cbsShown;
    const int handle = GetDragHandleSize(frame);
    if (frame.Vertical)
        r.bottom = r.top + handle;
    else
        r.right = r.left + handle;
    if (frame.DragHandleStyle != dhNone) {
        RECT g = r;
        if (frame.Vertical) {
            g.bottom -= 2;
            if (close) g.right -= handle - 2;
        } else {
            g.right -= 2;
            if (close) g.top += handle - 2;
        }
        PaintBeadGrip(dc, Deflated(g, 1, 1), e, 1);
    }
    if (!close) return;
    RECT box = GetToolbarCloseButtonRect(frame);
    OffsetRect(&box, frame.Vertical ? 0 : -1, frame.Vertical ? -1 : 0);
    const bool pushed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
    PaintCloseButton(dc, box, pushed ? kPushed : hot ? kHot : kNormal, 1, pushed || hot);
}

void TThmAluminumTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor a = ColorMixNearest(kGrey, 0x000000, 220);
    if (frame.RedrawParts & rpBorder) {
        RECT r = rect;
        for (int i = 1; i < frame.BorderSize.x; ++i) PaintRectFrame(dc, r, a, true);
        PaintRectFrame(dc, r, frame.EffectiveColor, false);
        if (!IsEmptyArea(r)) {
            const COLORREF corner = ColorToRGB(ColorMixNearest(a, frame.EffectiveColor, 127));
            for (const POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                                  POINT{r.right - 1, r.bottom - 1}})
                SetPixelV(dc, p.x, p.y, corner);
        }
    }
    if (!frame.CaptionShown) return;
    const int ch = GetSystemMetrics(SM_CYSMCAPTION);
    RECT bar{0, 0, frame.ClientWidth, ch};
    OffsetRect(&bar, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT c = bar;
        c.bottom -= 2;
        PaintThirdsGradient(dc, c, ToolbarFill, true);
        PaintBevelFrame(dc, Deflated(c, -1, -1), 2, 2, 0, 0, Shift(ToolbarFill, 32), Shift(ToolbarFill, -16), a);
        PaintLine(dc, c.left - 1, c.bottom, c.right + 1, c.bottom, a);
        PaintLine(dc, c.left - 1, c.bottom + 1, c.right + 1, c.bottom + 1, frame.EffectiveColor);
        c.bottom += 1;
        if (close && (frame.RedrawParts & rpCloseButton)) c.right -= ch;
        RECT text = Deflated(c, 2, 0);
        text.top -= 2;
        DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, text,
                               DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_HIDEPREFIX, 0x000000, false);
    }
    if (!close) return;
    RECT box = bar;
    box.left = box.right - (box.bottom - box.top) - 1;
    box.bottom -= 2;
    PaintThirdsGradient(dc, box, ToolbarFill, true);
    box.left += 3;
    box.right -= 1;
    box.top += 1;
    box.bottom -= 1;
    const bool pushed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
    const int row = !frame.Active ? kDisabled : pushed ? kPushed : hot ? kHot : kNormal;
    PaintCloseButton(dc, box, row, 2, pushed || hot);
}

void TThmAluminumTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int ch = GetSystemMetrics(SM_CYSMCAPTION);
    const bool across = frame.CaptionHorizontal;
    RECT r = rect;
    PaintRectFrame(dc, r, DockFill, true);
    PaintRectFrame(dc, r, frame.EffectiveColor, false);
    if (!IsEmptyArea(r)) {
        const COLORREF corner = ColorToRGB(DockFill);
        for (const POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                              POINT{r.right - 1, r.bottom - 1}})
            SetPixelV(dc, p.x, p.y, corner);
    }
    if (!frame.CaptionShown) return;
    if (across) {
        r.bottom = r.top + ch;
        PaintLine(dc, r.left, r.bottom, r.right, r.bottom, frame.EffectiveColor);
    } else {
        r.right = r.left + ch;
        PaintLine(dc, r.right, r.top, r.right, r.bottom, frame.EffectiveColor);
    }
    PaintThirdsGradient(dc, Deflated(r, 1, 1), ToolbarFill, across);
    PaintBevelFrame(dc, r, 2, across ? 2 : 0, across ? 0 : 2, 0, Shift(ToolbarFill, 32), Shift(ToolbarFill, -64), DockFill);
    r = Deflated(r, 1, 1);
    if (frame.CloseButtonState & cbsShown) {
        RECT box = r;
        if (across) {
            box.right = r.right - 1;
            box.left = r.right - ch;
            r.right -= ch;
        } else {
            box.bottom = r.bottom - 1;
            box.top = r.bottom + 1 - ch;
            r.bottom = box.top;
        }
        const bool pushed = frame.CloseButtonState & cbsPressed, hot = frame.CloseButtonState & cbsHot;
        PaintCloseButton(dc, Deflated(box, 1, 1), pushed ? kPushed : hot ? kHot : kNormal, 1, pushed || hot);
    }
    if (across)
        InflateRect(&r, -1, 0);
    else
        InflateRect(&r, 0, -1);
    DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, r,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, 0x000000, !across);
}

void TThmAluminumTheme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, part == 0 ? 0 : 1);
    switch (part) {
    case 0:
        PaintGradientRect(dc, RECT{rect.left, rect.top, rect.right, rect.top + 5}, Shift(StatusBarFill, -16),
                          StatusBarFill, true);
        PaintStreakTexture(dc, nullptr, RECT{rect.left, rect.top + 5, rect.right, rect.bottom}, StatusBarFill,
                           StreakAmplitude);
        break;
    case 1:
    case 2: {
        const int x = part == 1 ? rect.right - 3 : rect.right;
        PaintLine(dc, x, rect.top + 4, x, rect.bottom - 3, SeparatorColor);
        break;
    }
    case 3: {
        static constexpr int kSmall[6] = {2, 3, 4, 5, 6, 7}, kMedium[6] = {2, 3, 5, 6, 8, 9},
                             kLarge[6] = {2, 3, 6, 7, 10, 11};
        const int side = std::min(rect.right - rect.left, rect.bottom - rect.top);
        PaintGripDiagonals(dc, rect, side < 9 ? kSmall : side < 13 ? kMedium : kLarge,
                           ColorShiftLevelNearest(StatusBarFill, 64), 0x000000);
        break;
    }
    default:
        break;
    }
}

}  // namespace themes
