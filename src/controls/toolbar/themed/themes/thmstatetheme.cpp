#include "controls/toolbar/themed/themes/thmstatetheme.h"

#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmStateTheme::TThmStateTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmTheme(std::move(name)), FGlyphs(std::move(glyphs)) {}

POINT TThmStateTheme::GetItemImageShift(TCanvas&, const TThmItemInfo& item, TImageList*) {
    return FloatingImageShift(item);
}

TColor TThmStateTheme::GetItemFillColor(const TThmItemInfo& item) {
    const TColor c = ItemStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

TColor TThmStateTheme::GetItemTextColor(const TThmItemInfo& item) { return ItemStateColor(item, scText); }

TColor TThmStateTheme::GetItemImageBackColor(const TThmItemInfo& item) {
    const TColor c = ButtonStateColor(item, scFill);
    return c != clNone ? c : GetViewFillColor(item.ViewKind);
}

void TThmStateTheme::GetMarginSet(int kind, TThmMargins& margins) {
    switch (kind) {
    case mkToolbarButton: margins = {2, 2, 2, 2}; break;
    case mkPopupItem: margins = PopupItemMargins; break;
    case mkEditBox: margins = {3, 3, 1, 1}; break;
    default: margins = {0, 0, 0, 0}; break;
    }
}

void TThmStateTheme::GetViewBorderSize(int viewKind, POINT& size) {
    const bool framed = (viewKind & vkToolbar) || (viewKind & vkDockPanel);
    if (framed && (viewKind & vkFloating)) {
        if (viewKind & vkResizable)
            size = {GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1};
        else
            size = {GetSystemMetrics(SM_CXDLGFRAME) - 1, GetSystemMetrics(SM_CYDLGFRAME) - 1};
    } else if (framed) {
        size = {2, 2};
    } else if (viewKind & vkPopup) {
        size = {ViewKindIs(viewKind, vkPopupMenu) ? PopupMenuBorderWidth : 2, 2};
    } else {
        size = {0, 0};
    }
}

TColor TThmStateTheme::GetViewFillColor(int viewKind) {
    if (ViewKindIs(viewKind, vkMenuBar)) return MenuBarFill;
    if (viewKind & vkToolbar) return ToolbarFill;
    if (ViewKindIs(viewKind, vkListPopup)) return clWindow;
    if (viewKind & vkPopup) return PopupFill;
    if (viewKind & vkDockPanel) return DockPanelFill;
    return clBtnFace;
}

void TThmStateTheme::GetViewPadding(int, TThmMargins& padding) { padding = {0, 0, 0, 0}; }

void TThmStateTheme::PaintViewBackground(TCanvas& canvas, const RECT&, const RECT& paintRect, const RECT& clipRect,
                                         TColor color, bool transparent, int) {
    RECT r{};
    if (!transparent && IntersectRect(&r, &paintRect, &clipRect)) PaintRectFill(canvas.Handle(), r, color);
}

void TThmStateTheme::PaintEditBoxRightButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                             const TThmEditBoxInfo& editBox) {
    if (editBox.RightButtonWidth <= 0) return;
    const int inset = GetIntMetric(tmEditFrameInset);
    RECT b = Deflated(rect, inset, inset);
    b.left = b.right - editBox.RightButtonWidth;
    PaintEditBoxButton(canvas, b, item, editBox.RightButton);
}

void TThmStateTheme::PaintChevronButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    PaintItemButton(canvas, rect, item);
    PaintItemChevron(canvas.Handle(), rect, item.Vertical, ItemStateColor(item, scText));
}

void TThmStateTheme::PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                                           int buttonKind) {
    PaintItemButton(canvas, rect, item);
    PaintMDIGlyph(canvas.Handle(), rect, *FGlyphs, buttonKind, ItemStateColor(item, scText));
}

int TThmStateTheme::CloseButtonRow(int state) { return (state & cbsPressed) ? 3 : (state & cbsHot) ? 4 : 0; }

TButtonOutline ButtonOutline(const RECT& rect, const TThmItemInfo& item, int cut, int popupCut) {
    TButtonOutline o{rect, cut, cut};
    if (item.SplitPart == spSplitArrow) {
        --o.Rect.left;
        o.LeftCut = 1;
    }
    if (item.SplitPart == spSplitButton) o.RightCut = 1;
    if (!(item.ItemFlags & ifToolbarStyle)) o.LeftCut = o.RightCut = popupCut;
    return o;
}

}  // namespace themes
