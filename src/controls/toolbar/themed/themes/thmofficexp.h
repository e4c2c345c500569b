#pragma once
// The "OfficeXP" theme: a flat, light look blended from the system colours. Bars are a light
// blend of the button face toward the window colour, popups nearly the window colour with a
// button-face image column, highlighted items a pale highlight tint framed in the highlight
// colour, and images of hot items cast a shadow. On a low-colour screen every colour is a
// plain system colour. Its state-colour tables are the office colour model other themes
// build on.
//
// Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmkit.h"

namespace themes {

class TThmOfficeXPTheme : public themed::TThmTheme {
public:
    explicit TThmOfficeXPTheme(std::wstring name);

    // The colour cache (RebuildColorCache fills it).
    TColor MenuBarFill = 0, ToolbarFill = 0, PopupFill = 0, DockPanelFill = 0, PopupBorder = 0;
    // Floating frames: [toolbar active, toolbar inactive, panel active, panel inactive]
    // x [border, caption fill, caption text].
    TColor FloatingColors[4][3] = {};
    TThmStateColors States;
    TColor GripColor = 0, PopupSeparator = 0, ToolbarSeparator = 0, StatusPanelBorder = 0;

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
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
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
    // For a theme built on this one: its own glyph list (one per theme class).
    TThmOfficeXPTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    // The state colours, column scFill / scText / scFrame (fillEnd: a theme with gradient
    // fills answers the far end for 1).
    virtual TColor ItemStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ItemStateColor(item, column, ToolbarFill);
    }
    virtual TColor ButtonStateColor(const themed::TThmItemInfo& item, int column, int fillEnd = 0) const {
        (void)fillEnd;
        return States.ButtonStateColor(item, column, ToolbarFill);
    }
    // The colours a theme built on this one changes while keeping the painting.
    virtual TColor PopupOpeningColor() const { return ToolbarFill; }
    virtual TColor EditFrameOutsideToolbars() const { return ToolbarFill; }
    virtual TColor ScrollRestingFrame() const { return classlib::clBtnShadow; }
    virtual TColor ScrollRestingFill() const { return classlib::clBtnFace; }
    virtual TColor PanelFrameColor() const { return classlib::clBtnFace; }
    // The caption bar of a docked panel and the image column of a popup item.
    virtual void PaintPanelCaptionBar(HDC dc, const RECT& rect) { themed::PaintRectFill(dc, rect, classlib::clBtnFace); }
    virtual void PaintImageColumn(HDC dc, const RECT& rect) { themed::PaintRectFill(dc, rect, ToolbarFill); }
    // Check controls: frame, fill (clNone hollow), whether the fill is the window/face checker,
    // and the mark, for the state bits.
    struct TCheckColors {
        TColor Frame, Fill;
        bool Checker;
        TColor Mark;
    };
    TCheckColors CheckControlColors(int state) const;
    // The frame of a resting check control, and whether a disabled one is checkered.
    virtual TColor CheckRestingFrame() const { return classlib::clBtnShadow; }
    virtual bool CheckDisabledCheckered() const { return false; }
    // Where the glyph-list cell of an MDI caption button is stamped.
    virtual POINT MDIGlyphOrigin(const RECT& rect);
    // The top-left corner of a chevron button's pattern.
    virtual POINT ChevronOrigin(const RECT& rect, bool vertical);
    // Images: whether a hot image is lifted over a shadow, and how much of a resting image shows
    // over the window colour (0..255).
    virtual bool HotImageCastsShadow() const { return true; }
    virtual int RestingImageOpacity() const { return 178; }
    // Edit-box buttons: a resting part in a toolbar (the part's rectangle may shrink to where its
    // arrow goes), and the face of a spin half that is pushed (item.Pushed), hot or opaque
    // (`button` is the whole button, `upper` tells the half).
    virtual void PaintRestingEditPart(HDC dc, RECT& part);
    virtual void PaintSpinHalfFace(classlib::TCanvas& canvas, const RECT& half, const RECT& button,
                                   const themed::TThmItemInfo& item, bool upper, bool hot);
    // The box behind a checked, enabled popup item's image (the image column inset by one).
    virtual void PaintPopupCheckBox(HDC dc, RECT box, const themed::TThmItemInfo& item);
    // The face of a scroll button inside its frame.
    virtual void PaintScrollFace(HDC dc, const RECT& rect, bool hot);
    // Floating frames: the line around the client inside the border (given the window colour),
    // the caption bar's and close button's fill, and the close glyph in its framed box.
    virtual TColor FloatingInnerOutline(TColor windowColor) const { return windowColor; }
    virtual void PaintFloatingBarFill(HDC dc, const RECT& rect, TColor fill) { themed::PaintRectFill(dc, rect, fill); }
    virtual void PaintFloatingCloseGlyph(HDC dc, const RECT& box, TColor color);
    // The DrawText format of a floating frame's caption.
    virtual UINT FloatingCaptionFormat() const { return DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX; }
    // The size grip's diagonals, from the corner, for a part whose smaller side is `side`.
    virtual std::vector<TColor> SizeGripColors(int side) const;
    classlib::TImageList& Glyphs() { return FGlyphs->Images(); }

    // The sizes of the office look, and of the office looks whose bars are shaded (a narrower gap
    // before a menu's image column, a wider one after it, no toolbar separator size; docks painted
    // and solid bar areas).
    static int OfficeIntMetric(int index);
    static int ShadedOfficeIntMetric(int index);
    static bool ShadedOfficeBoolMetric(int index);

    // Colour cache pieces: one row of a state table, and every colour of the cache above
    // (floating frames and state tables included) snapped to what the screen shows.
    static void SetColors(TColor (&row)[3], TColor fill, TColor text, TColor frame);
    void SnapColorCache();
    // The office model's state tables and floating-frame colours, blended from the system
    // colours against ToolbarFill, PopupFill and PopupBorder (set first) with the given hot fill
    // and dimmed text.
    void SetOfficeStates(TColor hotFill, TColor dimText);
    void SetOfficeFloatingColors(TColor dimText);

    // Frame pieces the office themes share.
    // The item row of a close button: 3 pushed, 4 hot, 0 otherwise.
    static int CloseButtonRow(int closeButtonState);
    // A close button box in the row's frame, fill and text colours.
    void PaintCloseButtonBox(HDC dc, RECT box, int row);
    // The close cross in a box (centred the way the theme centres it).
    virtual void PaintCrossIn(HDC dc, const RECT& box, TColor color) { PaintCloseCross(dc, box, color); }
    // Splits the close button's square off the far end of a caption bar.
    static RECT SplitCaptionCloseButton(RECT& bar, bool across, int captionHeight);
    // The square of a docked bar's close button at the start of its grip zone.
    static RECT ToolbarCloseButtonBox(RECT zone, bool horizontal);
    // The grip zone of a docked bar (inside its border), and the strip its dashes or dots
    // start from.
    static RECT GripZone(RECT inner, const themed::TThmToolbarFrameInfo& frame);
    static RECT GripStrip(const RECT& zone, const themed::TThmToolbarFrameInfo& frame);
    // The checkerboard border of a bar on an extreme button face, the inside filled with `inside`
    // (clNone: left as it is).
    void PaintCheckerBorder(HDC dc, const RECT& rect, TColor inside);

private:
    std::shared_ptr<TThmGlyphList> FGlyphs;
};

std::unique_ptr<themed::TThmTheme> CreateOfficeXPTheme(const std::wstring& name);

}  // namespace themes
