#include "controls/toolbar/themed/themes/thmofficek.h"

#include <algorithm>
#include <utility>

#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmOfficeKTheme::TThmOfficeKTheme(std::wstring name)
    : TThmOfficeCTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmOfficeKTheme>()) {}

std::unique_ptr<TThmTheme> CreateOfficeKTheme(const std::wstring& name) {
    return std::make_unique<TThmOfficeKTheme>(name);
}

// --- colours and sizes ----------------------------------------------------------------------------

void TThmOfficeKTheme::RebuildColorCache() {
    BaseColor = ColorMixNearest(clBtnShadow, clBtnFace, 48);
    LightColor = 0xFFFFFF;
    GripBaseColor = clBtnFace;
    GripShadeColor = 0x808080;
    GripLightColor = 0xFFFFFF;
    ToolbarBorderColor = ColorMixNearest(clBtnShadow, BaseColor, 64);
    MenuBarFill = clBtnFace;
    ToolbarFill = LightColor;
    PopupFill = DockPanelFill = clWindow;
    PopupBorder = Contrasted(ColorBlendPercent(clBtnText, clBtnShadow, 20), PopupFill, 100);
    const TColor dimText = ColorBlendPercent(clBtnShadow, clWindow, 90);
    SetOfficeFloatingColors(dimText);
    FloatingColors[0][2] = Contrasted(clBtnText, clBtnShadow, 180);
    SetOfficeStates(Contrasted(ColorBlendPercent(clHighlight, clWindow, 30), ToolbarFill, 50), dimText);
    ToolbarSeparator = PopupSeparator = Contrasted(ColorBlendPercent(clBtnShadow, clWindow, 70), ToolbarFill, 50);
    GripColor = StatusPanelBorder = clNone;  // dots and etched dividers instead
    SnapColorCache();
    DimTextColor = States.Item[1][scText];  // the frame of a disabled edit box
}

void TThmOfficeKTheme::GetViewBorderSize(int viewKind, POINT& size) {
    // A popup menu keeps the office border of two rows (OfficeC's has one).
    TThmOffice11AdaptiveTheme::GetViewBorderSize(viewKind, size);
}

TThmOfficeKTheme::TStatusColors TThmOfficeKTheme::StatusColors() const {
    return {clBtnFace, clBtnShadow, clBtnShadow, clBtnHighlight, clBtnFace, clBtnShadow, clBtnHighlight};
}

// --- painting -----------------------------------------------------------------------------------

void TThmOfficeKTheme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                           const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    if (transparent) return;
    RECT r{};
    if (!IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if ((ViewKindIs(viewKind, vkToolbarBar) && !(viewKind & vkOpaqueItems)) || ViewKindIs(viewKind, vkToolWindow)) {
        PaintRampGradient(dc, r, BaseColor, LightColor, BarBackgroundRunsAcross(outerRect, paintRect, r));
        return;
    }
    PaintRectFill(dc, r, color);
    if (ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkMenuBar) || ViewKindIs(viewKind, vkChevronPopup) ||
        ViewKindIs(viewKind, vkToolBoxPopup))
        return;
    // Popups and panels: a strip at the left, white at the top.
    PaintRampGradient(dc, RECT{r.left, r.top, std::min<LONG>(r.right, r.left + 24), r.bottom}, BaseColor, LightColor, true);
}

void TThmOfficeKTheme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if ((item.ItemFlags & ifDesigning) && !item.Checked) {
        TThmOffice11AdaptiveTheme::PaintItemButton(canvas, rect, item);  // the design-time outline
        return;
    }
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, ButtonStateColor(item, scFrame), true);
    if (item.SplitPart == spSplitButton && item.PopupOpen) ++r.right;
    if (item.SplitPart == spSplitArrow) --r.left;
    // White at the top (left on a vertical bar), the state's fill at the far edge; a pushed button
    // the other way round. No fill counts as white.
    const bool family = (item.ViewKind & vkToolbar) || (item.ViewKind & vkPopup);
    const bool across = !item.Vertical;
    const TColor fill = ButtonStateColor(item, scFill);
    if (family && (item.Checked || (item.HotState != hsNone && !item.Pushed)))
        PaintRampGradient(dc, r, fill, LightColor, across);
    else if (family && item.HotState != hsNone)
        PaintRampGradient(dc, r, LightColor, fill, across);
    else
        PaintRectFill(dc, r, fill);
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmOfficeKTheme::PaintItemCaption(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                        const std::wstring& caption, UINT format, bool rotated) {
    DrawThemeCaption(canvas, caption, rect, format, ItemStateColor(item, scText), rotated);
}

void TThmOfficeKTheme::PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    RECT r = rect;
    if (item.Enabled && item.HotState != hsNone) PaintRampGradient(dc, r, ItemStateColor(item, scFill), LightColor, true);
    PaintRectFrame(dc, r, ItemStateColor(item, scFrame), true);
}

void TThmOfficeKTheme::PaintSpinHalfFace(TCanvas& canvas, const RECT& half, const RECT& button,
                                         const TThmItemInfo& item, bool upper, bool) {
    // The upper half shades the whole button; the lower one only frames itself.
    HDC dc = canvas.Handle();
    if (upper) PaintRampGradient(dc, button, ButtonStateColor(item, scFill), LightColor, true);
    RECT frame = half;
    PaintRectFrame(dc, frame, ButtonStateColor(item, scFrame), true);
}

void TThmOfficeKTheme::PaintPopupCheckBox(HDC dc, RECT box, const TThmItemInfo& item) {
    PaintRectFrame(dc, box, ButtonStateColor(item, scFrame), true);
    PaintRampGradient(dc, box, ButtonStateColor(item, scFill), LightColor, true);
}

void TThmOfficeKTheme::PaintScrollFace(HDC dc, const RECT& rect, bool hot) {
    TThmOfficeXPTheme::PaintScrollFace(dc, rect, hot);  // the plain office face
}

bool TThmOfficeKTheme::PaintBarFrame(HDC dc, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    const RECT& r = rect;
    if (!ViewKindIs(frame.ViewKind, vkToolbarBar) && !ViewKindIs(frame.ViewKind, vkToolWindow)) {
        PaintRectFill(dc, r, MenuBarFill);  // menu bars are never shaded
        return true;
    }
    // The shade and the border follow the rectangle's shape, not the dock side; a bar without a
    // border style gets them too.
    if (IsEmptyArea(r)) return true;
    if (r.right > r.bottom) {
        PaintRampGradient(dc, r, BaseColor, LightColor, true);
        PaintRampGradient(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, ToolbarBorderColor, clBtnFace, true);
        PaintLine(dc, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1, ToolbarBorderColor);
        PaintPixel(dc, r.left, r.top, clBtnFace);
        PaintPixel(dc, r.right - 2, r.top, clBtnFace);
        PaintPixel(dc, r.right - 1, r.bottom - 1, BaseColor);
    } else {
        PaintRampGradient(dc, r, BaseColor, LightColor, false);
        PaintRampGradient(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, ToolbarBorderColor, BaseColor, false);
        PaintLine(dc, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, ToolbarBorderColor);
        for (const POINT p : {POINT{r.left, r.top}, POINT{r.left, r.bottom - 2}, POINT{r.left, r.bottom - 1},
                              POINT{r.right - 1, r.bottom - 1}})
            PaintPixel(dc, p.x, p.y, BaseColor);
    }
    return true;
}

}  // namespace themes
