#pragma once
// The common ground of themes whose colours come from an item table and a popup table of state
// colours (TThmStateColors): the view fills and the tables, a glyph list per theme class, and
// the answers and painters that follow from them alone. The themes derive from it and set the
// colours in RebuildColorCache.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/themes/thmkit.h"

namespace themes {

class TThmStateTheme : public themed::TThmTheme {
public:
    // The view fills (GetViewFillColor): menu bars, other toolbars, popups other than drop-down
    // lists (those take the window colour), dockable panels.
    TColor MenuBarFill = 0, ToolbarFill = 0, PopupFill = 0, DockPanelFill = 0;
    TThmStateColors States;  // Item: toolbar items and everything else; Popup: popup-menu items

    // (-1, -1) for a hot, enabled, unchecked item that is not pushed (or has its popup open):
    // its image floats up and left.
    POINT GetItemImageShift(classlib::TCanvas& canvas, const themed::TThmItemInfo& item,
                            classlib::TImageList* images) override;
    // The state's fill, else the view's.
    TColor GetItemFillColor(const themed::TThmItemInfo& item) override;
    TColor GetItemTextColor(const themed::TThmItemInfo& item) override;
    // The button table's fill, else the view's.
    TColor GetItemImageBackColor(const themed::TThmItemInfo& item) override;
    // Toolbar items 2 all round, popup items PopupItemMargins, edit frames 3, 3, 1, 1.
    void GetMarginSet(int kind, themed::TThmMargins& margins) override;
    // The system's frame less one for floating toolbars and panels, (2, 2) docked and for popups
    // (PopupMenuBorderWidth across for popup menus).
    void GetViewBorderSize(int viewKind, POINT& size) override;
    TColor GetViewFillColor(int viewKind) override;
    void GetViewPadding(int viewKind, themed::TThmMargins& padding) override;
    // The visible part filled with the colour, unless transparent.
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    // The item's button with the chevron, and with the MDI button's glyph, in the text colour.
    void PaintChevronButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintMDICaptionButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                               int buttonKind) override;

protected:
    TThmStateTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    // The popup table for popup-menu items, else the item table (opaque items substituted).
    virtual TColor ItemStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ItemStateColor(item, column, ToolbarFill);
    }
    TColor ButtonStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ButtonStateColor(item, column, ToolbarFill);
    }
    // Item rows are highlighted when hot and enabled, or keyboard-selected while disabled.
    static bool Highlighted(const themed::TThmItemInfo& item) {
        return item.Enabled ? item.HotState != themed::hsNone : item.HotState == themed::hsKeyboardSelected;
    }
    // The right button of an edit box, if it has one: its width at the right of rect inset by
    // the edit frame (GetIntMetric 60).
    void PaintEditBoxRightButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                                 const themed::TThmEditBoxInfo& editBox);
    // The item row of a close button: 3 pushed, 4 hot, 0 otherwise.
    static int CloseButtonRow(int closeButtonState);

    themed::TThmMargins PopupItemMargins = {1, 1, 3, 3};
    int PopupMenuBorderWidth = 2;

private:
    std::shared_ptr<TThmGlyphList> FGlyphs;
};

// A button's outline: its rectangle (the arrow part of a split item one pixel further left, to
// join the button part) and corner cuts, `cut` at both ends, 1 at the joined ends of a split
// item's parts, `popupCut` at both ends for an item not in toolbar style.
struct TButtonOutline {
    RECT Rect;
    int LeftCut, RightCut;
};
TButtonOutline ButtonOutline(const RECT& rect, const themed::TThmItemInfo& item, int cut, int popupCut);

}  // namespace themes
