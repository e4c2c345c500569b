#pragma once
// The "Relifer" theme: a fixed light palette that does not follow the system colours. Surfaces
// are 0xF0F0F0, pushed and checked faces a silver ramp, the accent a light blue; edges are
// one-pixel raised or sunken lines in white and silver, and hot and pushed items get a gloss
// (white at the top, the face colour in the middle, a deeper step below) inside outlines with
// cut corners. The only adaptation to the screen is that every cached colour is snapped to the
// nearest colour it can show.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/themes/thmstatetheme.h"

namespace themes {

class TThmReliferTheme : public TThmStateTheme {
public:
    explicit TThmReliferTheme(std::wstring name);

    // The look's options, fixed when the theme is made.
    TColor BaseColor = 0xF6DAC9;     // the accent
    TColor NeutralColor = 0xC0C0C0;  // the silver of pushed and checked faces
    TColor CheckedHotFace = 0;       // 90 % accent over the neutral: a hot checked button
    // Menu-bar items painted exactly like toolbar buttons (the hot caption then keeps the
    // caller's colour).
    bool MenuBarItemsAsButtons = false;
    // The size grip drawn as six embossed dots instead of diagonal lines.
    bool DottedSizeGrip = false;

    // The colour cache (RebuildColorCache fills it; every entry but the four edge colours is
    // snapped to the screen).
    TColor CaptionUnderline = 0, EditFrame = 0, HighlightEdge = 0, ShadowEdge = 0;
    TColor FloatingToolbarBorder[2] = {}, FloatingPanelBorder[2] = {};  // active, inactive
    TColor SplitDivider = 0;
    TColor LightBaseColor = 0;  // hot scroll buttons
    TColor LightColor = 0;      // the light end of item-frame and scroll-button glosses

    void RebuildColorCache() override;

    int GetShadowKind() override;
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
    TThmReliferTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    TColor HotFill() const { return States.Item[4][scFill]; }
    // The hot and pushed faces of the close buttons of panels and floating frames.
    void PaintHotCloseFace(HDC dc, RECT box, TColor crossColor);
    void PaintPushedCloseFace(HDC dc, RECT box, TColor crossColor);
    // The face behind the check of a checked, enabled popup item (`box` is the image column
    // inside the item, less a pixel all round).
    virtual void PaintPopupCheckFace(classlib::TCanvas& canvas, const RECT& box, const themed::TThmItemInfo& item);
    // The close button of a docked toolbar in its square.
    virtual void PaintToolbarCloseButton(HDC dc, const RECT& box, int row);
};

std::unique_ptr<themed::TThmTheme> CreateReliferTheme(const std::wstring& name);

}  // namespace themes
