#pragma once
// The "OfficeC" theme: the plan of "Office11Adaptive" on a fixed pale yellow and yellow-green
// pair instead of the system's caption colours. Toolbars, tool windows and menu bars shade from
// the pale colour down to the yellow green, popup menus and docked panels across their width;
// hot buttons shade from white into the yellow green, pushed and checked ones between the pair.
// A button shades from top to bottom on a horizontal bar and from left to right on a vertical one
// (its own view's orientation, read from the item record).
//
// "OfficeK" is built on this theme.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmoffice11adaptive.h"

namespace themes {

class TThmOfficeCTheme : public TThmOffice11AdaptiveTheme {
public:
    explicit TThmOfficeCTheme(std::wstring name);

    // Options, set when the theme is made.
    // Menu bars are painted like toolbars (gradient background, toolbar frame).
    bool MenuBarGradient = true;
    // Popups and docked panels are shaded over their whole width (else over a 24-pixel strip at
    // the left); pushed menu-bar items and buttons whose popup is open are filled with LightColor
    // (else PopupFill); the split line of a popup item is BaseColor (else the separator colour).
    bool FullPopupGradient = true;

    // The palette: the light and the dark end of every gradient, and the ends of the hot shade.
    TColor LightColor, BaseColor, HotTopColor, HotBottomColor;
    // Dimmed text, and the frame of a disabled edit box (kept as computed).
    TColor DimTextColor = 0;

    void RebuildColorCache() override;
    int GetIntMetric(int index) override;
    void GetMarginSet(int kind, themed::TThmMargins& margins) override;
    void GetViewBorderSize(int viewKind, POINT& size) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

protected:
    // For a theme built on this one: its own glyph list (one per theme class).
    TThmOfficeCTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    bool HotImageCastsShadow() const override { return true; }
    void PaintImageColumn(HDC, const RECT&) override {}
    void PaintSpinHalfFace(classlib::TCanvas& canvas, const RECT& half, const RECT& button,
                           const themed::TThmItemInfo& item, bool upper, bool hot) override;
    void PaintPopupCheckBox(HDC dc, RECT box, const themed::TThmItemInfo& item) override;
    TColor ScrollRestingFrame() const override { return BaseColor; }
    void PaintScrollFace(HDC dc, const RECT& rect, bool hot) override;
    TColor FloatingInnerOutline(TColor windowColor) const override { return windowColor; }
    void PaintFloatingBarFill(HDC dc, const RECT& rect, TColor) override;
    void PaintFloatingCloseGlyph(HDC dc, const RECT& box, TColor color) override { PaintSmallCloseCross(dc, box, color); }
    TColor PanelFrameColor() const override { return MenuBarFill; }
    void PaintPanelBorder(HDC dc, const RECT& rect, bool across, TColor panelColor) override;
    void PaintPanelCaption(HDC dc, const RECT& bar, bool across) override;
    TColor PanelCaptionTextColor() const override { return classlib::clBtnText; }
    TColor EditDisabledFrame() const override { return DimTextColor; }
    int EditButtonOverlap(int) const override { return 2; }
    TColor EditFrameOutsideToolbars() const override { return classlib::clBtnFace; }
    TColor EtchLight() const override { return LightColor; }
    TColor EtchDark() const override { return BaseColor; }
    int PopupSeparatorEndInset() const override { return 2; }
    bool PaintBarFrame(HDC dc, const RECT& rect, const themed::TThmToolbarFrameInfo& frame) override;
    int GripDoubleShift() const override { return 0; }

    // The status bar: its face, the colour its soft top and bottom edges are mixed from, the
    // etched divider of a panel, and the size grip's colours.
    struct TStatusColors {
        TColor Face, Shade, DividerDark, DividerLight, GripBase, GripShade, GripLight;
    };
    virtual TStatusColors StatusColors() const;

private:
    // The fill of a pushed menu-bar item and of a button whose popup is open.
    TColor OpenedFill() const { return FullPopupGradient ? LightColor : PopupFill; }
};

std::unique_ptr<themed::TThmTheme> CreateOfficeCTheme(const std::wstring& name);

}  // namespace themes
