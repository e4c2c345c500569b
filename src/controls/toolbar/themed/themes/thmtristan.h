#pragma once
// The "Tristan" theme: a glossy look built from the system colours. Docked toolbars and tool
// windows shade from white to a soft shade of the button face; hot, pushed and checked buttons
// get a two-phase gloss (white at the near edge, the state colour in the middle, a deeper band
// returning to it) or a plain ramp between a state colour and white. The item colours are
// blends of the highlight, window, shadow and text colours, kept apart from the toolbar colour
// and snapped to the screen; a low-colour screen gets plain system colours instead.
//
// The "Tristan2" theme (thmtristan2.h) builds on this one.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/themes/thmstatetheme.h"

namespace themes {

class TThmTristanTheme : public TThmStateTheme {
public:
    explicit TThmTristanTheme(std::wstring name);

    // Colours every rebuild sets first, from which the gradients and grips are drawn.
    TColor ShadeColor = 0;          // 48 of 256 shadow over the face
    TColor LightColor = 0xFFFFFF;
    TColor GripFaceColor = 0, GripDarkColor = 0, GripLightColor = 0;
    TColor EdgeColor = 0;           // the shadowed edge of a docked bar

    // The colour cache beside the fills and tables (RebuildColorCache fills it).
    TColor PopupBorder = 0;
    // Floating frames, [active, inactive].
    TColor FloatingToolbarBorder[2] = {}, FloatingToolbarCaptionText[2] = {};
    TColor FloatingPanelBorder[2] = {}, FloatingPanelCaptionText[2] = {};
    TColor PopupSeparator = 0, ToolbarSeparator = 0;

    void RebuildColorCache() override;

    int GetShadowKind() override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
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
    TThmTristanTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    // The colours every rebuild starts from; the cache from the blends (no snapping yet), and
    // every cached colour snapped to the screen.
    void SetBaseColors();
    void BuildBlendedColors();
    void SnapColorCache();
    // The gloss line by line: `nearEdge` at the near edge fading to `color` in the middle, then the
    // overshoot band back to it (int arithmetic, clamped).
    void PaintGloss(HDC dc, const RECT& rect, TColor color, TColor nearEdge, bool vertical) const;
    virtual TGlossOvershoot GlossOvershoot() const { return {15, 9}; }
    // The box behind a checked popup item's check mark, before its gloss: a frame while the
    // item is not hot.
    virtual void PaintPopupCheckEdge(HDC dc, RECT& box, const themed::TThmItemInfo& item);
    // The close button of a docked bar or panel in its square, by item row.
    void PaintCloseButtonSquare(HDC dc, RECT box, int row);
    // The shaded frame of a docked toolbar or tool window (its background, shadowed far edges
    // and rounded corners), under the grip and close button; its shading (`nearEdge` at the top
    // or left) and the touch of face colour at its top right corner.
    void PaintBarFrame(HDC dc, const RECT& rect);
    virtual void PaintBarShade(HDC dc, const RECT& rect, TColor color, TColor nearEdge, bool vertical);
    virtual void PaintBarTopRight(HDC dc, const RECT& rect);
    // The designer's frame round an unchecked item being customised.
    static TColor DesignFrameColor(HDC dc);
};

std::unique_ptr<themed::TThmTheme> CreateTristanTheme(const std::wstring& name);

}  // namespace themes
