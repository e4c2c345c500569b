#include "controls/toolbar/themed/themes/thmoffice2003.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <string>

#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/thmuxtheme.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

// The three built-in schemes (blue, silver, olive), 28 entries each; entries 11 and 27 are
// part of the table but coloured nothing.
constexpr TColor kSchemes[kOfficeSchemeCount][28] = {
    {0xF5BE9E, 0xFEECDD, 0xE2A981, 0x9C613B, 0xFAD5BD, 0xCB8C6A, 0xFFF9F1, 0x764127, 0xFFFFFF, 0xF0C7A9,
     0xB99D7F, 0xDEDEDE, 0xF6F6F6, 0x962D00, 0x000000, 0x8D8D8D, 0x800000, 0xC9662A, 0x8CD5FF, 0x55ADFF,
     0x4E91FE, 0x8ED3FF, 0xCCF4FF, 0x91D0FF, 0xFFEFE3, 0xE7B593, 0xC2EEFF, 0xAE9990},
    {0xE5D7D7, 0xFAF4F3, 0xB59799, 0x947C7C, 0xEFE5E5, 0x8F6D6E, 0xFFFFFF, 0x755454, 0xFFFFFF, 0xD3C0C0,
     0xB2ACA5, 0xDEDEDE, 0xFFFAFD, 0x947C7C, 0x000000, 0x8D8D8D, 0x6F4B4B, 0x99797A, 0x8CD5FF, 0x55ADFF,
     0x4E91FE, 0x8ED3FF, 0xCCF4FF, 0x91D0FF, 0xF1E9E8, 0xCDB9BA, 0xC2EEFF, 0xB39A9B},
    {0xA7D9D9, 0xDEF7F4, 0x91C6B7, 0x588060, 0xC0E7E5, 0x588060, 0xDEF7F4, 0x335E51, 0xFFFFFF, 0x9FD4C5,
     0x7FB9A4, 0xDEDEDE, 0xEEF4F4, 0x5E8D75, 0x000000, 0x8D8D8D, 0x385D3F, 0x5E8674, 0x8CD5FF, 0x55ADFF,
     0x4E91FE, 0x8ED3FF, 0xCCF4FF, 0x91D0FF, 0xD5F0EC, 0x9FCEC2, 0xC2EEFF, 0x7BA097},
};
constexpr int kMidFactors[4] = {8, 8, 25, 15};

int Channel(COLORREF c, int which) { return which == 0 ? GetRValue(c) : which == 1 ? GetGValue(c) : GetBValue(c); }

COLORREF FromChannels(const int (&c)[3]) {
    return RGB(std::clamp(c[0], 0, 255), std::clamp(c[1], 0, 255), std::clamp(c[2], 0, 255));
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

}  // namespace

TThmOffice2003Theme::TThmOffice2003Theme(std::wstring name)
    : TThmOfficeXPTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmOffice2003Theme>()) {}

std::unique_ptr<TThmTheme> CreateOffice2003Theme(const std::wstring& name) {
    return std::make_unique<TThmOffice2003Theme>(name);
}

// --- colours ------------------------------------------------------------------------------------

int TThmOffice2003Theme::DetectColorScheme() {
    const TThmVisualStyleApi& api = VisualStyleApi();
    if (!VisualStylesOpen || !api.GetCurrentThemeName) return kOfficeSchemeNone;
    wchar_t file[1024] = {}, color[1024] = {}, size[1024] = {};
    if (api.GetCurrentThemeName(file, 1024, color, 1024, size, 1024) < 0) return kOfficeSchemeNone;
    std::wstring path = file;
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) path = path.substr(slash + 1);
    if (Upper(path) != L"LUNA.MSSTYLES") return kOfficeSchemeNone;
    const std::wstring name = Upper(color);
    if (name == L"NORMALCOLOR") return 0;
    if (name == L"METALLIC") return 1;
    if (name == L"HOMESTEAD") return 2;
    return kOfficeSchemeNone;
}

void TThmOffice2003Theme::RebuildColorCache() {
    auto& item = States.Item;
    auto& popup = States.Popup;
    auto row = [&](int r, TColor text, TColor frame, TColor start, TColor end) {
        item[r][scText] = text;
        item[r][scFrame] = frame;
        item[r][scFill] = start;
        FillEnds[r] = end;
    };
    auto popupRow = [&](int r, TColor fill, TColor text, TColor frame) {
        popup[r][scFill] = fill;
        popup[r][scText] = text;
        popup[r][scFrame] = frame;
    };
    auto floating = [&](TColor border, TColor fill, TColor text) {
        for (auto& entry : FloatingColors) {
            entry[0] = border;
            entry[1] = fill;
            entry[2] = text;
        }
    };
    if (IsLowColorDisplay) {
        MenuBarFill = ToolbarFill = ToolbarShade = OpaqueItemFill = clBtnFace;
        DockPanelFill = PopupFill = clWindow;
        ToolbarShadow = ToolbarCornerColor = SeparatorDark = OpaqueItemFrame = StatusPanelBorder = clBtnShadow;
        SeparatorLight = GripLight = clBtnHighlight;
        GripDark = clBtnText;
        PopupBorder = clBtnText;
        floating(clBtnShadow, clBtnShadow, clBtnHighlight);
        row(0, clBtnText, clNone, clNone, clNone);
        row(1, clBtnShadow, clNone, clNone, clNone);
        row(2, clWindowText, clHighlight, clWindow, clWindow);
        row(3, clHighlightText, clHighlight, clHighlight, clHighlight);
        row(4, clWindowText, clHighlight, clWindow, clWindow);
        row(5, clBtnShadow, clHighlight, clWindow, clWindow);
        row(6, clHighlightText, clHighlight, clHighlight, clHighlight);
        row(7, clBtnText, clBtnText, clBtnFace, clBtnFace);
        popupRow(0, clNone, clWindowText, clNone);
        popupRow(1, clNone, clGrayText, clNone);
        popupRow(2, clWindow, clWindowText, clHighlight);
        popupRow(3, clWindow, clGrayText, clHighlight);
        PopupSeparator = PopupBorder;
        ToolbarSeparator = SeparatorDark;
        GripColor = GripDark;
        return;
    }
    const int scheme = std::clamp(DetectColorScheme(), 0, kOfficeSchemeNone);
    TColor t, d, h;
    if (scheme < kOfficeSchemeCount) {
        const TColor* e = kSchemes[scheme];
        MenuBarFill = e[0];
        ToolbarFill = DockPanelFill = e[1];
        ToolbarShade = e[2];
        ToolbarShadow = e[3];
        ToolbarCornerColor = e[4];
        SeparatorDark = e[5];
        SeparatorLight = e[6];
        GripDark = e[7];
        GripLight = e[8];
        OpaqueItemFill = e[9];
        OpaqueItemFrame = e[10];
        PopupFill = e[12];
        PopupBorder = e[13];
        t = e[14];
        d = e[15];
        h = e[16];
        floating(e[17], e[17], 0xFFFFFF);
        row(2, t, h, e[18], e[19]);
        row(3, t, h, e[20], e[21]);
        row(4, t, h, e[22], e[23]);
        row(5, d, h, e[22], e[23]);
        row(6, t, h, e[20], e[21]);
        row(7, t, PopupBorder, e[24], e[25]);
        popupRow(2, e[26], t, h);
    } else {
        MenuBarFill = clBtnFace;
        ToolbarFill = DockPanelFill = ColorBlendPercent(clBtnFace, clWindow, 23);
        ToolbarShade = ColorBlendPercent(clBtnFace, clWindow, 96);
        ToolbarShadow = ColorBlendPercent(clBtnFace, clWindow, 85);
        ToolbarCornerColor = ColorBlendPercent(clBtnFace, clWindow, 62);
        SeparatorDark = ColorBlendPercent(clBtnShadow, clWindow, 70);
        SeparatorLight = 0xFFFFFF;
        GripDark = ColorBlendPercent(clBtnShadow, clWindow, 75);
        GripLight = clWindow;
        OpaqueItemFill = clBtnFace;
        OpaqueItemFrame = clBtnShadow;
        PopupFill = ColorBlendPercent(clBtnFace, clWindow, 15);
        PopupBorder = ColorBlendPercent(clBtnText, clBtnShadow, 20);
        t = clBtnText;
        d = clGrayText;
        h = clHighlight;
        floating(ColorBlendPercent(clBtnText, clBtnShadow, 15), clBtnShadow, clBtnHighlight);
        const TColor checked = ColorBlendPercent(clHighlight, ColorBlendPercent(clBtnFace, clWindow, 50), 10);
        const TColor pushed = ColorBlendPercent(clHighlight, clWindow, 50);
        const TColor hot = ColorBlendPercent(clHighlight, clWindow, 30);
        row(2, t, h, checked, checked);
        row(3, t, h, pushed, pushed);
        row(4, t, h, hot, hot);
        row(5, d, h, hot, hot);
        row(6, t, h, pushed, pushed);
        row(7, t, PopupBorder, ColorBlendPercent(clBtnFace, clWindow, 16), ColorBlendPercent(clBtnFace, clWindow, 42));
        popupRow(2, hot, t, h);
    }
    row(0, t, clNone, clNone, clNone);
    row(1, d, clNone, clNone, clNone);
    popupRow(0, clNone, t, clNone);
    popupRow(1, clNone, d, clNone);
    popupRow(3, PopupFill, d, h);
    StatusPanelBorder = ColorBlendPercent(ToolbarShade, 0x000000, 90);
    PopupSeparator = PopupBorder;  // the divider of split popup items
    ToolbarSeparator = SeparatorDark;
    GripColor = GripDark;
    GradientMidFactor = kMidFactors[scheme];

    HDC dc = NearestColorBitmap().Canvas().Handle();
    auto snap = [dc](TColor& c) {
        if (c != clNone) c = static_cast<TColor>(GetNearestColor(dc, ColorToRGB(c)));
    };
    for (TColor* c : {&MenuBarFill, &ToolbarFill, &ToolbarShade, &ToolbarShadow, &ToolbarCornerColor, &SeparatorDark,
                      &SeparatorLight, &GripDark, &GripLight, &OpaqueItemFill, &OpaqueItemFrame, &PopupFill,
                      &PopupBorder, &DockPanelFill, &StatusPanelBorder, &PopupSeparator, &ToolbarSeparator, &GripColor})
        snap(*c);
    for (auto& entry : FloatingColors)
        for (TColor& c : entry) snap(c);
    for (TColor& c : FillEnds) snap(c);
    States.SnapToScreen();
}

TColor TThmOffice2003Theme::ItemStateColor(const TThmItemInfo& item, int column) const {
    column = std::clamp(column, 0, 2);
    const TColor c = IsPopupMenuItem(item) ? States.Popup[PopupStateRow(item)][column]
                                           : States.Item[ItemStateRow(item)][column];
    if (c != clNone || !HasOpaqueItems(item.ViewKind)) return c;
    if (column == scFill) return OpaqueItemFill;
    if (column == scFrame) return OpaqueItemFrame;
    return c;
}

TColor TThmOffice2003Theme::ButtonStateColor(const TThmItemInfo& item, int column, int fillEnd) const {
    column = std::clamp(column, 0, 2);
    const int row = ItemStateRow(item);
    const TColor c = column == scFill && fillEnd == 1 ? FillEnds[row] : States.Item[row][column];
    if (c != clNone || !HasOpaqueItems(item.ViewKind)) return c;
    if (column == scFill) return OpaqueItemFill;
    if (column == scFrame && !item.Checked) return OpaqueItemFrame;
    return c;
}

TColor TThmOffice2003Theme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkMenuBar)) return MenuBarFill;
    if (viewKind & vkToolbar) return ToolbarFill;
    if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
    if (viewKind & vkPopup) return PopupFill;
    if (viewKind & vkDockPanel) return DockPanelFill;
    return MenuBarFill;
}

bool TThmOffice2003Theme::GetBoolMetric(int index) {
    return index == tbPopupOverlapsOpener || index == 3 || index == tbPaintDockBackground ||
           index == tbSolidToolbarClientArea;
}

// --- gradients ----------------------------------------------------------------------------------

void TThmOffice2003Theme::PaintRowGradient(HDC dc, const RECT& rect, TColor top, TColor bottom) {
    const COLORREF a = ColorToRGB(top), b = ColorToRGB(bottom);
    if (top == clNone || bottom == clNone) return;
    if (a == b) {
        PaintRectFill(dc, rect, static_cast<TColor>(a));
        return;
    }
    const int n = rect.bottom - rect.top;
    if (n <= 0 || rect.right <= rect.left) return;
    for (int i = 0; i < n; ++i) {
        int c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = n == 1 ? Channel(a, k) : Channel(a, k) + (Channel(b, k) - Channel(a, k)) * i / (n - 1);
        PaintRectFill(dc, RECT{rect.left, rect.top + i, rect.right, rect.top + i + 1}, static_cast<TColor>(FromChannels(c)));
    }
}

void TThmOffice2003Theme::PaintTwoSegmentGradient(HDC dc, const RECT& rect, TColor start, TColor end, bool alongX,
                                                  int midFactor) {
    if (start == clNone || end == clNone || IsEmptyArea(rect)) return;
    const COLORREF a = ColorToRGB(start), b = ColorToRGB(end);
    if (a == b) {
        PaintRectFill(dc, rect, static_cast<TColor>(a));
        return;
    }
    const int n = alongX ? rect.right - rect.left : rect.bottom - rect.top;
    const int half = n / 2, last = n - 1;
    for (int i = 0; i < n; ++i) {
        int c[3];
        for (int k = 0; k < 3; ++k) {
            const int s = Channel(a, k), e = Channel(b, k);
            const int m = s + (e - s) * midFactor / 40;
            if (half == 0 || last == 0) {
                c[k] = s;  // one line: the start colour
            } else if (i < half) {
                const int x = s + (m - s) * n / half;
                c[k] = s + (x - s) * i / last;
            } else if (i == half) {
                c[k] = m;
            } else {
                const int m2 = 2 * m - e;
                c[k] = m2 + (e - m2) * i / last;
            }
        }
        const RECT line = alongX ? RECT{rect.left + i, rect.top, rect.left + i + 1, rect.bottom}
                                 : RECT{rect.left, rect.top + i, rect.right, rect.top + i + 1};
        PaintRectFill(dc, line, static_cast<TColor>(FromChannels(c)));
    }
}

// --- painting -----------------------------------------------------------------------------------

void TThmOffice2003Theme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                              const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    const bool bar = ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkToolWindow);
    if (bar && !(viewKind & vkOpaqueItems)) {
        const bool wide = IsRectEmpty(&outerRect) ? paintRect.right > paintRect.bottom
                                                  : r.right - r.left > r.bottom - r.top;
        Shade(dc, r, ToolbarFill, ToolbarShade, !wide);
        return;
    }
    PaintRectFill(dc, r, color);
}

void TThmOffice2003Theme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect, 1);
    RECT r = rect;
    if ((item.ItemFlags & ifDesigning) && !item.Checked) {
        if (item.SplitPart == spSplitArrow) --r.left;
        PaintRectFrame(dc, r, 0x800000, false);
    } else {
        PaintRectFrame(dc, r, ButtonStateColor(item, scFrame), true);
        if (item.SplitPart == spSplitButton && item.PopupOpen) ++r.right;
        if (item.SplitPart == spSplitArrow) --r.left;
        const TColor f1 = ButtonStateColor(item, scFill, 0), f2 = ButtonStateColor(item, scFill, 1);
        if ((item.ViewKind & vkPopup) || HasOpaqueItems(item.ViewKind))
            PaintRectFill(dc, r, f1);
        else if (f1 != clNone && f2 != clNone)
            PaintRowGradient(dc, r, f1, f2);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmOffice2003Theme::PaintCheckGlyph(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const int x = (rect.left + rect.right) / 2 - 2, y = (rect.top + rect.bottom) / 2 + 1;
    const POINT tick[7] = {{x - 2, y - 2}, {x, y}, {x + 4, y - 4}, {x + 4, y - 3}, {x, y + 1}, {x - 2, y - 1}, {x - 2, y - 2}};
    PaintPolyline(dc, tick, 6, ButtonStateColor(item, scText, 0));
}

void TThmOffice2003Theme::PaintDockBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, int) {
    PaintRectFill(canvas.Handle(), paintRect, MenuBarFill);
}

void TThmOffice2003Theme::PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                         TImageList* images, int imageIndex) {
    if (!images) return;
    TThmClipGuard clip(canvas.Handle(), rect);
    const bool dark = ColorLuma(GetItemImageBackColor(item)) < 80;
    if (item.Enabled)
        PaintImageLightened(canvas, rect, *images, imageIndex, dark);
    else if (dark)
        PaintImageSilhouetteThreshold(canvas, rect, *images, imageIndex, SeparatorDark);
    else
        PaintImageShadow(canvas, rect, *images, imageIndex, 0);
}

void TThmOffice2003Theme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                             bool horizontal, bool) {
    HDC dc = canvas.Handle();
    // The light line lies one pixel below or right of the dark one; it stays within one pixel.
    TThmClipGuard clip(dc, rect, 1);
    RECT r = rect;
    if (horizontal && !(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        Shade(dc, RECT{r.left, r.top, std::min<LONG>(r.right, item.ImageColumnWidth + 2), r.bottom}, ToolbarFill,
              ToolbarShade, true);
        if (!item.Enabled) return;
        r.left += item.ImageColumnWidth + 9;
        const int y = (r.top + r.bottom) / 2;
        if (r.left < r.right && y < rect.bottom) PaintLine(dc, r.left, y, r.right, y, SeparatorDark);
        return;
    }
    if (!item.Enabled) return;
    if (horizontal) {
        const int y = (r.top + r.bottom) / 2;
        const int w = r.right + 1 - r.left;
        const int length = static_cast<int>(std::lround(w * 0.6));
        const int x1 = r.left + (w - length) / 2, x2 = x1 + length;
        PaintLine(dc, x1, y, x2, y, SeparatorDark);
        PaintLine(dc, x1 + 1, y + 1, x2 + 1, y + 1, SeparatorLight);
    } else {
        const int x = (r.left + r.right) / 2;
        const int hh = r.bottom + 1 - r.top;
        const int length = static_cast<int>(std::lround(hh * 0.6));
        const int y1 = r.top + (hh - length) / 2, y2 = y1 + length;
        PaintLine(dc, x, y1, x, y2, SeparatorDark);
        PaintLine(dc, x + 1, y1 + 1, x + 1, y2 + 1, SeparatorLight);
    }
}

void TThmOffice2003Theme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool horizontal = !frame.Vertical;
    const bool menuBar = ViewKindIs(frame.ViewKind, vkMenuBar);
    const int luma = ColorLuma(clBtnFace);
    RECT r = rect;
    auto pixel = [dc](int x, int y, TColor c) { PaintRectFill(dc, RECT{x, y, x + 1, y + 1}, c); };
    if (frame.BorderStyle == 1 && !menuBar) {
        if (!IsLowColorDisplay && luma >= 50 && luma <= 254) {
            r = Deflated(r, 1, 1);
            const int l = r.left, t = r.top, rr = r.right, b = r.bottom;
            if (horizontal) {
                Shade(dc, RECT{l, t + 1, l + 1, b - 1}, ToolbarFill, ToolbarShade, false);
                Shade(dc, RECT{rr - 1, t + 1, rr, b - 1}, ToolbarFill, ToolbarShade, false);
                Shade(dc, RECT{rr, t + 1, rr + 1, b - 1}, ToolbarShade, ToolbarShadow, false);
                PaintLine(dc, l + 2, t, rr - 1, t, ToolbarFill);
                PaintLine(dc, l + 1, b - 1, rr - 1, b - 1, ToolbarShade);
                PaintLine(dc, l + 2, b, rr - 1, b, ToolbarShadow);
                pixel(l + 1, t, ToolbarCornerColor);
                pixel(l, t + 1, ToolbarCornerColor);
                pixel(rr - 1, t, ToolbarCornerColor);
                pixel(rr, t + 1, ToolbarCornerColor);
                pixel(rr - 1, b - 1, ToolbarShadow);
            } else {
                PaintLine(dc, l, t + 2, l, b - 1, ToolbarFill);
                PaintLine(dc, rr - 1, t + 1, rr - 1, b - 1, ToolbarShade);
                PaintLine(dc, rr, t + 2, rr, b - 1, ToolbarShadow);
                Shade(dc, RECT{l + 1, t, rr - 1, t + 1}, ToolbarFill, ToolbarShade, true);
                Shade(dc, RECT{l + 2, b - 1, rr - 1, b}, ToolbarFill, ToolbarShade, true);
                Shade(dc, RECT{l + 2, b, rr - 1, b + 1}, ToolbarShade, ToolbarShadow, true);
                pixel(l + 1, t, ToolbarCornerColor);
                pixel(l, t + 1, ToolbarCornerColor);
                pixel(l + 1, b - 1, ToolbarShade);
                pixel(l, b - 2, ToolbarCornerColor);
                pixel(rr - 1, b - 1, ToolbarShadow);
            }
            ++r.left;
            ++r.top;
        } else {
            PaintCheckerBorder(dc, rect, ToolbarFill);
            r = Deflated(r, 1, 1);
        }
    } else {
        r = Deflated(r, 1, 1);
    }
    r = Deflated(r, 1, 1);
    if (!frame.AllowDrag) return;
    const RECT zone = GripZone(r, frame);
    if (frame.DragHandleStyle != dhNone) {
        RECT h = GripStrip(zone, frame);
        if (!menuBar)
            Shade(dc, RECT{zone.left - 1, zone.top - 1, zone.right, zone.bottom}, ToolbarFill, ToolbarShade, !horizontal);
        else
            OffsetRect(&h, 1, 1);
        const int g2 = GetDragHandleSize(frame) / 2;
        auto dot = [&](int x, int y) {
            PaintRectFill(dc, RECT{x + 1, y + 1, x + 3, y + 3}, GripLight);
            PaintRectFill(dc, RECT{x, y, x + 2, y + 2}, GripDark);
        };
        if (horizontal)
            for (int y = h.top + g2; y < h.bottom - g2 - 2; y += 4) dot(h.left, y);
        else
            for (int x = h.left + g2; x < h.right - g2 - 2; x += 4) dot(x, h.top);
    }
    if (frame.CloseButtonState & cbsShown)
        PaintCloseButtonBox(dc, ToolbarCloseButtonBox(zone, horizontal), CloseButtonRow(frame.CloseButtonState));
}

void TThmOffice2003Theme::PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) {
    HDC dc = canvas.Handle();
    switch (part) {
    case 0: Shade(dc, rect, ToolbarFill, ToolbarShade, false); return;
    case 1:
    case 2: {
        RECT r = rect;
        if (part == 1) r.right -= 2;
        PaintRectFrame(dc, r, StatusPanelBorder, false);
        return;
    }
    case 3: {
        // Six dots from the bottom-right corner, whatever the part's size (kept inside it).
        TThmClipGuard clip(dc, rect);
        const int x = rect.right - 1, y = rect.bottom - 1;
        const POINT dots[6] = {{x, y}, {x, y - 4}, {x, y - 8}, {x - 4, y}, {x - 4, y - 4}, {x - 8, y}};
        for (POINT p : dots) {
            PaintRectFill(dc, RECT{p.x - 2, p.y - 2, p.x, p.y}, GripLight);
            PaintRectFill(dc, RECT{p.x - 3, p.y - 3, p.x - 1, p.y - 1}, GripDark);
        }
        return;
    }
    default: return;
    }
}

}  // namespace themes
