#pragma once
// The Nexos family's common ground: the fixed-palette themes "Nexos2" and "Nexos4" and the themes
// built on them ("Nexos3", "NexosX", "Nexos5", "Eos"). They share one colour-cache layout (view
// fills, edges, floating-frame colours and the office state tables of fill, text and frame), one
// set of switches, the metrics, and most painters: faint striped backgrounds, buttons outlined
// by octagons with gloss or ramp faces, embossed grip dots, and caption bars with a glossy band.
// Each theme sets its switches in its constructor and overrides only the pieces its look
// changes, through the hooks below.
//
// Painting stays inside the rectangle it is given, except the one column a split arrow part takes
// to its left and the shadows of hot images (one pixel beyond, two in "Nexos3" and "NexosX",
// whose callers move the image rectangle up and left first); fixed-size glyphs, discs and grips
// are clipped to it. The canvas is left as found: painters draw on its DC with the theme
// layer's primitives and restore what they select.
//
// Main thread only.

#include <array>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmkit.h"

namespace themes {

class TThmNexosTheme : public themed::TThmTheme {
public:
    // The look's switches. A theme fixes them in its constructor; whoever changes one afterwards
    // rebuilds the colours.
    struct TOptions {
        // Menu-bar items painted like toolbar buttons (else a striped accent block).
        bool MenuBarItemsAsButtons = false;
        // Solid edge lines on docked toolbar frames (else dotted).
        bool SolidToolbarEdges = true;
        // Caption bars with the accent gloss and white text (else plain bars with black text).
        bool GradientCaptions = true;
        // Caption texts first drawn twelve times around their place in the light accent.
        bool CaptionTextHalo = false;
        // The status-bar size grip as six embossed dots (else diagonal lines).
        bool DottedSizeGrip = true;
        // A hot, marked check control gets the accent gloss (else a ramp toward the accent).
        bool HotCheckedGradient = true;
        // Pushed edit buttons and resting popup check faces get a gradient (else a checker).
        bool GradientPushedFaces = true;
        // The accent colour as set, and the grey of checked and pushed faces.
        TColor BaseColor = 0x30C8A8;
        TColor NeutralColor = 0xC0C0C0;
    };
    TOptions Options;

    // Unit colours, rewritten by every rebuild and not snapped to the screen.
    TColor LightBaseColor = 0, LightColor = 0, GripFaceColor = 0, GripDarkColor = 0, GripLightColor = 0;
    // The accent colour the painters use (the rebuild derives it from the options).
    TColor BaseColor = 0;

    // The colour cache.
    TColor MenuBarFill = 0, ToolbarFill = 0, PopupFill = 0, DockPanelFill = 0;
    TColor EdgeColor = 0, EditFrame = 0, PopupBorder = 0;
    // Floating frames: [toolbar active, toolbar inactive, panel active, panel inactive]
    // x [border, caption fill, caption text].
    TColor FloatingColors[4][3] = {};
    TThmStateColors States;
    TColor SplitDivider = 0, StatusDivider = 0;

    void RebuildColorCache() override;

    POINT GetItemImageShift(classlib::TCanvas& canvas, const themed::TThmItemInfo& item,
                            classlib::TImageList* images) override;
    TColor GetItemFillColor(const themed::TThmItemInfo& item) override;
    TColor GetItemTextColor(const themed::TThmItemInfo& item) override;
    TColor GetItemImageBackColor(const themed::TThmItemInfo& item) override;
    void GetMarginSet(int kind, themed::TThmMargins& margins) override;
    int GetShadowKind() override;
    void GetViewBorderSize(int viewKind, POINT& size) override;
    TColor GetViewFillColor(int viewKind) override;
    void GetViewPadding(int viewKind, themed::TThmMargins& padding) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintChevronButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                      const themed::TThmEditBoxInfo& editBox) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintDropArrow(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const themed::TThmFloatingFrameInfo& frame) override;
    void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintMDICaptionButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                               int buttonKind) override;
    void PaintPopupItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintScrollArrowButton(classlib::TCanvas& canvas, const RECT& rect, int direction, bool hot) override;
    void PaintPopupFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmPopupFrameInfo& frame) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;
    int GetIntMetric(int index) override;
    bool GetBoolMetric(int index) override;

protected:
    // `glyphs` is the theme class's own glyph list (SharedThemeResource of that class).
    TThmNexosTheme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs);

    // Floating-frame rows and columns.
    static constexpr int kToolbarActive = 0, kToolbarInactive = 1, kPanelActive = 2, kPanelInactive = 3;
    static constexpr int kBorder = 0, kCaptionFill = 1, kCaptionText = 2;

    // --- colours ---
    // The fixed fills and the edge colour the rebuild starts from.
    struct TPalette {
        TColor MenuBarFill = 0xF4F4F4, ToolbarFill = 0xF4F4F4, PopupFill = 0xFFFFFF, DockPanelFill = 0xFFFFFF;
        TColor EdgeColor = 0xA0A0A0;
    };
    virtual TPalette Palette() const { return {}; }
    // The accent the painters and most of the table use (the option as set by default).
    virtual TColor DerivedBaseColor() const { return Options.BaseColor; }
    // The theme's changes to the common table, before the colours are snapped.
    virtual void AdjustColors() {}
    // Whether the edge and edit-frame colours are snapped with the rest.
    virtual bool SnapsEdgeColors() const { return true; }
    static void SetRow(TColor (&row)[3], TColor fill, TColor text, TColor frame);
    // The listed fields, the floating-frame colours and the state tables replaced by the nearest
    // colours the screen shows (no colour stays).
    void SnapToScreen(std::initializer_list<TColor*> fields);

    TColor ItemStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ItemStateColor(item, column, ToolbarFill);
    }
    TColor ButtonStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ButtonStateColor(item, column, ToolbarFill);
    }

    // --- backgrounds ---
    // The rows of the striped fill of `color`, repeating from the top of the painted rectangle
    // (clNone keeps the fill). Empty: a plain fill.
    struct TStripes {
        std::array<TColor, 5> Rows{};
        int Period = 0;
        std::span<const TColor> Span() const { return {Rows.data(), static_cast<size_t>(Period)}; }
    };
    virtual TStripes StripeRows(HDC dc, TColor color) const;
    // `rect` filled the way the theme fills a view of kind 0 (its striped fill).
    void StripedFill(classlib::TCanvas& canvas, const RECT& rect, TColor color);
    // The striped fill aligned as if it began `lift` rows above `rect`, painted inside it.
    void StripedFillLifted(classlib::TCanvas& canvas, const RECT& rect, int lift, TColor color);
    virtual TColor DockBackgroundColor() const { return 0xF0F0F0; }

    // --- items ---
    // The outline pen of an opaque item that is not highlighted.
    virtual TColor OpaqueOutlineColor(bool enabled) const;
    // The face and frame of a button (not a menu-bar block); r is the button's rectangle with
    // the split arrow part's extra pixel, lc / rc the corner cuts.
    virtual void PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const themed::TThmItemInfo& item) = 0;
    // The colour of a caption drawn with the canvas font colour `font`.
    virtual TColor CaptionColor(const themed::TThmItemInfo& item, TColor font) const;
    // The tick's colour on a highlighted enabled item.
    virtual TColor CheckGlyphHotColor(const themed::TThmItemInfo& item) const;
    // The colour of the double drop arrow of an item that is not split.
    virtual TColor DropArrowPairColor(const themed::TThmItemInfo& item) const;
    // The edit frame of a pushed, checked, hot or designed item, and its outline colour.
    virtual void PaintItemFrameFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item);
    virtual TColor ItemFramePen(const themed::TThmItemInfo& item) const;
    // The part of a popup item its highlight covers.
    virtual RECT PopupHighlightRect(const RECT& rect, const themed::TThmItemInfo& item);
    // The divider of a split popup item under the mouse.
    virtual TColor PopupSplitHotColor() const { return 0xFFFFFF; }
    // The face behind a checked, enabled popup item's check (`box` the image column).
    virtual void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item) = 0;
    // A scroll button's face and outline, a hot one's inside, and the arrow's colour.
    virtual void PaintScrollFace(HDC dc, const RECT& rect, bool hot);
    virtual void PaintScrollHotFace(HDC dc, const RECT& inner);
    virtual TColor ScrollArrowColor(bool hot) const { return hot ? 0xFFFFFF : 0x000000; }
    // The colours of a marked check control's resting face (Color1, Color2 of the gloss).
    virtual std::pair<TColor, TColor> RestingMarkColors() const = 0;

    // --- frames ---
    // How many rows above the rectangle a docked toolbar's stripes begin.
    virtual int ToolbarStripeLift() const { return 1; }
    virtual TColor MenuBarBottomEdge() const { return 0x808080; }
    // The edges of a docked toolbar frame begun at area.top; a bar that is not a menu bar has its
    // right edge from rightTop down.
    void PaintToolbarEdges(HDC dc, const RECT& area, int rightTop, int viewKind, TColor menuBarBottom);
    // Whether a docked frame of this view kind gets edges.
    virtual bool FrameHasEdges(int viewKind) const;
    // The drag handle inside the strip of size `size`.
    virtual void PaintGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size);
    // Embossed dots in a strip (offsets: how far the dots' rows start and end inside the
    // strip, and the double handle's shift toward the outer edge).
    struct TGripLayout {
        int DoubleShift = 1, StartInset = 4, EndInset = 2;
    };
    void PaintGripDots(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size,
                       TGripLayout layout, const TColor (&dot)[3][3]);
    // The part of the strip whose rows (columns) the grip's marks start from: its left (top)
    // side and the range along the strip.
    static RECT GripArea(const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size, TGripLayout layout);
    // The drag handle's strip at the start of `inner` (a docked bar's frame less its border):
    // the grip and the close button, when the dock allows dragging.
    void PaintHandleStrip(HDC dc, const RECT& inner, const themed::TThmToolbarFrameInfo& frame);
    // A docked toolbar's close button in the strip (its square cut from the strip).
    virtual void PaintToolbarCloseButton(HDC dc, const RECT& square, int closeButtonState);
    static RECT ToolbarCloseSquare(RECT strip, bool vertical);
    // The seven-pixel dot (x, x + 1, x + 2 across; y, y + 1, y + 2 down) in the grip colours.
    void GripDotColors(HDC dc, TColor face, TColor dark, TColor light, TColor (&dot)[3][3], bool statusLayout) const;
    static void PaintDot(HDC dc, int x, int y, const TColor (&dot)[3][3]);
    // The outer rings of a docked panel: `ring` and the panel's own colour `entry`, with corner
    // pixels. On a low-colour screen or an extreme button face (not PlainPanelBorder) a dotted
    // ring lies between two rings of the entry colour instead, unless `plainEverywhere`.
    void PaintPanelBorder(HDC dc, const RECT& rect, TColor entry, bool across, TColor ring, TColor corner,
                          bool plainEverywhere = false);
    static bool PlainPanelBorder();
    void PaintPatternPanelBorder(HDC dc, const RECT& rect, TColor entry, bool across, TColor corner);
    // The caption band's look when gradient captions are off (Color1, Color2 of the gloss).
    virtual std::pair<TColor, TColor> PlainCaptionColors() const = 0;
    // A docked panel's caption band (across the top or down the side), its close button in
    // state row s (0 idle, 3 pushed, 4 hot), and its text colour.
    virtual void PaintPanelBand(HDC dc, const RECT& band, bool across);
    virtual void PaintPanelCloseButton(HDC dc, const RECT& square, int s, bool across) {
        PaintCaptionCloseButton(dc, square, s, across);
    }
    virtual TColor PanelCaptionTextColor() const { return Options.GradientCaptions ? 0xFFFFFF : 0x000000; }
    // A caption close button in state row s (0 idle, 1 inactive window, 3 pushed, 4 hot).
    void PaintCaptionCloseButton(HDC dc, RECT square, int s, bool vertical);
    // A docked panel's close button square (side captionHeight - 1) cut from the far end of its
    // caption's text rectangle, and the text's place: four pixels in from both ends.
    static RECT SplitCloseSquare(RECT& text, bool across, int captionHeight);
    static RECT CaptionTextPlace(const RECT& text, bool across);
    // The state row of a docked close button: 3 pushed, 4 hot, else 0.
    static int CloseButtonRow(int closeButtonState);
    // Border band of a floating frame and the outline round its client in `outline` (the
    // client's corners rounded by one pixel unless `squareCorners`).
    void PaintFloatingBorder(HDC dc, const RECT& rect, const themed::TThmFloatingFrameInfo& frame, TColor outline,
                             bool squareCorners = false);
    // The caption text (with its halo when switched on; dy of the halo from haloTop).
    void PaintCaptionText(classlib::TCanvas& canvas, const wchar_t* text, const RECT& rect, UINT format, TColor color,
                          bool rotated, int haloTop);
    // The status-bar grip's diagonal lines.
    virtual std::pair<TColor, TColor> GripDiagonalColors() const;
    void PaintGripDiagonals(HDC dc, const RECT& rect, TColor dark, TColor light);
    // The six grip dots of the status bar, and the face, dark and light colours they are mixed
    // from.
    void PaintStatusGripDots(HDC dc, const RECT& rect, const TColor (&dot)[3][3]);
    virtual void StatusGripDotColors(TColor& face, TColor& dark, TColor& light) const;
    // A check control's outline and mark (the face already painted); an unchecked radio button
    // gets a dot in `uncheckedDot` (clNone: none).
    void PaintCheckMark(HDC dc, const RECT& rect, int controlKind, int state, TColor outline,
                        TColor uncheckedDot = classlib::clNone);
    TColor CheckMarkColor(int state) const;

    // The upper or lower half of a spin pair (they share the middle row of an odd pair), and
    // the arrow in it: up in the upper half, down in the lower.
    static RECT SpinHalf(const RECT& pair, bool upper);
    static void PaintSpinArrow(HDC dc, const RECT& half, bool up, TColor color);

    classlib::TImageList& Glyphs() { return FGlyphs->Images(); }

private:
    std::shared_ptr<TThmGlyphList> FGlyphs;
};

}  // namespace themes
