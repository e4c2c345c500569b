#pragma once
// The classic looks built on the "Default" theme: system colours only, buttons outlined with
// cut corners and filled with two-colour checkers when hot, pushed or checked, views and the
// highlight bars of popup items laid with fine horizontal stripes, caption bars raised with the
// platform's edge. "Roma" and "Stripes" (and, through "Stripes", "Monai" and "MonaiXP") are
// this look with their own stripes, grips, caption bars and status bars.
//
// Below the class are the pieces of geometry the classic looks share with "Aluminum".
//
// Main thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/themes/thmkit.h"

namespace themes {

class TThmClassicTheme : public themed::TThmDefaultTheme {
public:
    // The colour cache (of the default theme's fields only ToolbarFace is set: the button face).
    // Dockable panels, and the inside of popup frames without a raised edge.
    TColor PanelFill = 0;
    // Disabled text and arrows, separators, item-frame outlines, status-bar dividers.
    TColor SoftShadow = 0;

    void RebuildColorCache() override;

    TColor GetItemTextColor(const themed::TThmItemInfo& item) override;
    int GetShadowKind() override { return 3; }
    void GetViewBorderSize(int viewKind, POINT& size) override;
    TColor GetViewFillColor(int viewKind) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                      const themed::TThmEditBoxInfo& editBox) override;
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    // Docks do not ask (GetBoolMetric(5) is false): nothing.
    void PaintDockBackground(classlib::TCanvas&, const RECT&, const RECT&, int) override {}
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
    bool GetBoolMetric(int) override { return false; }

protected:
    // `glyphs` is the glyph list of the most derived theme class (one per class).
    TThmClassicTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    // The stripes of view backgrounds and of the highlight bars of popup items: a dark and a light
    // line every Period rows from the view's top, Lift levels below and above the view colour
    // (lighter still on dark colours); OverTransparent lays them also over a transparent view.
    // Period 0: flat backgrounds.
    struct TStripePlan {
        int Period = 0;
        int Lift = 0;
        bool OverTransparent = false;
    };
    virtual TStripePlan Stripes() const = 0;
    // The fill of tool-box popups.
    virtual TColor ToolBoxPopupFill() const { return ToolbarFace; }
    // A checked button shows an inner edge of button face along its top and left.
    virtual bool CheckedInnerEdge() const { return false; }
    // Popup frames without flat menus: a raised edge around the button face (else PanelFill).
    virtual bool RaisedPopupFrame() const { return false; }

    // The grip of a docked bar in the handle strip (never for dhNone). `base` is the bar's colour,
    // clNone when its brush is clear.
    virtual void PaintToolbarGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame,
                                  TColor base) = 0;
    // The title part of a docked panel's caption bar (the close button already cut off).
    virtual void PaintPanelCaption(classlib::TCanvas& canvas, const RECT& bar, const themed::TThmDockPanelFrameInfo& frame) = 0;
    // The caption bar of a floating window above its two rules (the close button cut off).
    virtual void PaintFloatingCaption(classlib::TCanvas& canvas, const RECT& bar, const themed::TThmFloatingFrameInfo& frame) = 0;
    // Status bar part 0 and the size grip (part 3).
    virtual void PaintStatusBackground(HDC dc, const RECT& rect) = 0;
    virtual void PaintSizeGrip(HDC dc, const RECT& rect) = 0;

    // Pieces the classic looks share.
    // The checker mixes: checked toward the face, hot toward the highlight (plain colours on a
    // low-colour screen); `nearest` snaps them to the screen.
    TColor PushedMix(bool nearest) const;
    TColor HotMix(bool nearest) const;
    // A close button's face in `box` (inside its outline): checker and cut outline when pushed or
    // hot, then the cross, moved by one when pushed.
    void PaintCloseBox(HDC dc, RECT box, bool pushed, bool hot, bool nearestMixes);
    // The 7 x 6 bold cross centred in rect.
    static void PaintCloseGlyph(HDC dc, const RECT& rect);
    // Status bar background: the face under a shadow line fading over four rows, and three rows
    // darkening toward the bottom edge.
    static void PaintShadedStatusBackground(HDC dc, const RECT& rect);
    // The six seven-pixel dots of a size grip in the bottom-right corner.
    static void PaintSizeGripDots(HDC dc, const RECT& rect);
    // The width of a caption in the small-caption font (0 for null or empty).
    static int CaptionWidth(HDC dc, const wchar_t* caption);
    classlib::TImageList& Glyphs() { return FGlyphs->Images(); }

private:
    std::shared_ptr<TThmGlyphList> FGlyphs;
};

// --- geometry shared with "Aluminum" ---------------------------------------------------------------

// The 7 x 6 bold cross of the classic looks, for PaintPatternGlyph.
extern const BYTE kBoldCrossPattern[16];

// The triangle of a scroll button pointing up (1), down (2), left (3) or right (4), sized to the
// rectangle; false for any other direction.
bool ScrollArrowTriangle(const RECT& rect, int direction, POINT (&points)[3]);

// The part of rect deflated by `inset` that grip patterns cover: 4k + 2 pixels each way (at least
// 2), centred.
RECT CenteredGripArea(const RECT& rect, int inset);

// The diagonals of a size grip in the bottom-right corner of rect: for each of the six distances
// K the line from (Right - K - 2, Bottom - 2) up to (Right - 1, Bottom - K - 3), the first of each
// pair in `first`, the second in `second`.
void PaintGripDiagonals(HDC dc, const RECT& rect, const int (&distances)[6], TColor first, TColor second);

// The six corners of a corner size grip, as offsets from the part's bottom-right corner.
extern const POINT kSizeGripCorners[6];

// A classic check control on rect deflated by one: a box (kind 1) or a disc (kind 2) outlined in
// `pen` and filled with `fill` (a brush the caller keeps; null for none), and its mark in `mark`:
// the seven-point tick of a checked or mixed box, or a dot three pixels inside a checked disc.
void PaintClassicCheckControl(HDC dc, const RECT& rect, int controlKind, int state, TColor pen, HBRUSH fill,
                              TColor mark);

}  // namespace themes
