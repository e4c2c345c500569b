#include "controls/toolbar/themed/themes/thmtristan2.h"

#include <algorithm>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmTristan2Theme::TThmTristan2Theme(std::wstring name)
    : TThmTristanTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmTristan2Theme>()) {
    PopupMenuBorderWidth = 1;
}

std::unique_ptr<TThmTheme> CreateTristan2Theme(const std::wstring& name) {
    return std::make_unique<TThmTristan2Theme>(name);
}

void TThmTristan2Theme::RebuildColorCache() {
    SetBaseColors();
    BuildBlendedColors();
    // Pushed and hot items are framed in the plain highlight; the pushed text is the highlight.
    auto& item = States.Item;
    item[2][scFrame] = clHighlight;
    item[3][scText] = item[3][scFrame] = clHighlight;
    item[4][scText] = Contrasted(clMenuText, item[4][scFill], 180);
    item[4][scFrame] = Contrasted(clHighlight, ToolbarFill, 100);
    item[6][scFrame] = Contrasted(clHighlight, item[6][scFill], 100);
    std::copy(std::begin(item[4]), std::end(item[4]), std::begin(States.Popup[2]));
    SnapColorCache();
}

int TThmTristan2Theme::GetShadowKind() { return 3; }

bool TThmTristan2Theme::GetBoolMetric(int index) {
    return index == tbPaintDockBackground || index == tbSolidToolbarNCArea || index == tbSolidToolbarClientArea;
}

void TThmTristan2Theme::PaintViewBackground(TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                                            const RECT& clipRect, TColor color, bool transparent, int viewKind) {
    RECT r{};
    if (transparent || !IntersectRect(&r, &paintRect, &clipRect)) return;
    HDC dc = canvas.Handle();
    if (ViewKindIs(viewKind, vkToolbarBar) || ViewKindIs(viewKind, vkToolWindow))
        PaintGloss(dc, r, ShadeColor, LightColor, BarBackgroundRunsAcross(outerRect, paintRect, r));
    else
        PaintRectFill(dc, r, color);
}

void TThmTristan2Theme::PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if ((item.ItemFlags & ifDesigning) && !item.Checked) {
        TThmTristanTheme::PaintItemButton(canvas, rect, item);
        return;
    }
    HDC dc = canvas.Handle();
    RECT r = rect;
    PaintRectFrame(dc, r, ButtonStateColor(item, scFrame), true);
    if (item.SplitPart == spSplitArrow) --r.left;
    const TColor fill = ButtonStateColor(item, scFill);
    const bool across = !item.Vertical;
    if (item.Checked && (item.ViewKind & vkToolbar))
        PaintGloss(dc, r, fill, LightColor, across);
    else if (item.HotState != hsNone && (item.ViewKind & (vkToolbar | vkPopup)))
        PaintGloss(dc, r, item.Pushed ? LightColor : fill, item.Pushed ? ShadeColor : LightColor, across);
    else
        PaintRectFill(dc, r, fill);
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, r, item);
}

void TThmTristan2Theme::PaintImageColumn(HDC dc, const RECT& row, const TThmItemInfo& item) {
    const RECT column{row.left, row.top, std::min<LONG>(row.right, row.left + item.ImageColumnWidth + 2), row.bottom};
    PaintGloss(dc, column, ShadeColor, LightColor, false);
}

void TThmTristan2Theme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    RECT r = rect;
    if (!ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        PaintImageColumn(canvas.Handle(), rect, item);
        r = RECT{rect.left + 1, rect.top, rect.right - 1, rect.bottom};
    }
    PaintItemFrame(canvas, r, item);
}

void TThmTristan2Theme::PaintPopupCheckEdge(HDC dc, RECT& box, const TThmItemInfo& item) {
    if (item.HotState == hsNone)
        TThmTristanTheme::PaintPopupCheckEdge(dc, box, item);
    else
        PaintLine(dc, box.right, box.top, box.right, box.bottom, ButtonStateColor(item, scFrame));
}

void TThmTristan2Theme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                           bool horizontal, bool lineSeparator) {
    if (horizontal && !(item.ItemFlags & ifToolbarStyle) && !ViewKindIs(item.ViewKind, vkToolBoxPopup)) {
        HDC dc = canvas.Handle();
        TThmClipGuard clip(dc, rect);
        PaintImageColumn(dc, rect, item);
    }
    // A blank separator keeps its image column but draws no line.
    if (horizontal && !item.Enabled) return;
    TThmTristanTheme::PaintItemSeparator(canvas, rect, item, horizontal, lineSeparator);
}

void TThmTristan2Theme::PaintBarShade(HDC dc, const RECT& rect, TColor color, TColor nearEdge, bool vertical) {
    PaintGloss(dc, rect, color, nearEdge, vertical);
}

void TThmTristan2Theme::PaintBarTopRight(HDC dc, const RECT& r) { PaintPixel(dc, r.right - 2, r.top, clBtnFace); }

}  // namespace themes
