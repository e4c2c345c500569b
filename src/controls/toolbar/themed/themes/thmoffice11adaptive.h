#pragma once
// The "Office11Adaptive" theme: the office look with bars shaded between two colours that follow
// the system. While a visual style is in use the pair comes from the two caption-gradient colours
// and a faint highlight tint of the window colour; otherwise from the button face and the window
// colour. Toolbars, tool windows, docks, panel captions and the image column of popup menus carry
// that gradient; popup menus are flat and light; highlighted buttons are highlight-coloured and
// framed in the highlight colour; drag handles and size grips are embossed dots.
//
// It is the root of a family: "OfficeC" and "OfficeK" keep its plan and change its palette and
// parts of its painting through the protected members below.
//
// Main thread only.

#include <memory>
#include <string>
#include <utility>

#include "controls/toolbar/themed/themes/thmofficexp.h"

namespace themes {

class TThmOffice11AdaptiveTheme : public TThmOfficeXPTheme {
public:
    explicit TThmOffice11AdaptiveTheme(std::wstring name);

    // The colours beyond the office model's cache (MenuBarFill is the menu bar, the caption bar of
    // active floating windows and the status bar). They are kept as computed, not snapped to the
    // screen; the grip colours are snapped on the canvas when dots are drawn.
    TColor GradientDark = 0, GradientLight = 0;  // the ends of every bar gradient; Dark has the lower luma
    TColor FrameLineColor = 0;      // inner outline of floating frames, outer ring of dock panels
    TColor ToolbarBorderColor = 0;  // right and bottom border lines of docked toolbars
    TColor GripBaseColor = 0, GripShadeColor = 0, GripLightColor = 0;

    // The gradient pair from two colours: the one of lower luma first; two colours less than 30
    // luma apart are moved apart by the gap (the lighter one when the darker is dark, else the
    // darker one); with a visual style, two more than 40 apart are drawn toward each other.
    static std::pair<TColor, TColor> GradientPair(TColor dark, TColor light, bool styles);

    void RebuildColorCache() override;
    int GetIntMetric(int index) override;
    bool GetBoolMetric(int index) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                      const themed::TThmEditBoxInfo& editBox) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

protected:
    // For a theme built on this one: its own glyph list (one per theme class).
    TThmOffice11AdaptiveTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    POINT MDIGlyphOrigin(const RECT& rect) override;
    POINT ChevronOrigin(const RECT& rect, bool vertical) override;
    bool HotImageCastsShadow() const override { return false; }
    int RestingImageOpacity() const override { return 255; }
    void PaintRestingEditPart(HDC dc, RECT& part) override;
    void PaintImageColumn(HDC dc, const RECT& rect) override;
    UINT FloatingCaptionFormat() const override { return DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX; }
    TColor FloatingInnerOutline(TColor) const override { return FrameLineColor; }
    void PaintCrossIn(HDC dc, const RECT& box, TColor color) override { PaintSmallCloseCross(dc, box, color); }
    TColor PanelFrameColor() const override { return FrameLineColor; }

    // Edit boxes: the frame of a disabled box, and how far the field runs under the right button.
    virtual TColor EditDisabledFrame() const { return States.Item[1][scText]; }
    virtual int EditButtonOverlap(int inset) const { return inset; }
    // Separators: the two colours of the etched line, and how far a menu's plain line stops short
    // of the item's right edge.
    virtual TColor EtchLight() const { return 0xFFFFFF; }
    virtual TColor EtchDark() const { return GradientDark; }
    virtual int PopupSeparatorEndInset() const { return 0; }
    // Docked panels: the border (rings inside `rect`, a corner pixel or two) given the panel's
    // colour, the caption bar (its last row or column is the bar's edge), and the caption's colour.
    virtual void PaintPanelBorder(HDC dc, const RECT& rect, bool across, TColor panelColor);
    virtual void PaintPanelCaption(HDC dc, const RECT& bar, bool across);
    virtual TColor PanelCaptionTextColor() const { return 0x000000; }
    // Docked bars: the frame of the bar over `rect`, answering whether a drag handle and close
    // button may follow; how far the dots of a double handle move toward the bar's start.
    virtual bool PaintBarFrame(HDC dc, const RECT& rect, const themed::TThmToolbarFrameInfo& frame);
    virtual int GripDoubleShift() const { return 1; }
    // The drag handle and close button in the bar's inside `inner` (when the bar allows dragging).
    void PaintGripAndCloseButton(HDC dc, const RECT& inner, const themed::TThmToolbarFrameInfo& frame);
    // The size grip: six dots in a triangle at the bottom-right corner, each with its top-left
    // pixel 4, 8 or 12 pixels from the corner; nothing outside `rect`.
    static void PaintSizeGripDots(HDC dc, const RECT& rect, TColor base, TColor shade, TColor light);
};

std::unique_ptr<themed::TThmTheme> CreateOffice11AdaptiveTheme(const std::wstring& name);

}  // namespace themes
