#pragma once
// The "Whidbey" theme: the office colour model with soft gradients between two bar colours
// derived from the button face and the window colour. Docked toolbars shade from a light top
// (left) edge to a darker bottom (right) edge with a shadowed bottom and right edge, popup
// image columns and docks run from one bar colour to the other, and the drag handle is a row
// of small embossed dots. There is no separate low-colour palette.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmofficexp.h"

namespace themes {

class TThmWhidbeyTheme : public TThmOfficeXPTheme {
public:
    explicit TThmWhidbeyTheme(std::wstring name);

    // The two bar colours and the shadow edge, kept as system colours where they are plain
    // ones and not snapped to the screen.
    TColor BarDark = 0, BarLight = 0, BarShadow = 0;

    void RebuildColorCache() override;
    void GetMarginSet(int kind, themed::TThmMargins& margins) override;
    int GetIntMetric(int index) override;
    bool GetBoolMetric(int index) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                      const themed::TThmEditBoxInfo& editBox) override;
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;

protected:
    TColor PopupOpeningColor() const override { return PopupFill; }
    void PaintImageColumn(HDC dc, const RECT& rect) override;
    UINT FloatingCaptionFormat() const override { return DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX; }
    std::vector<TColor> SizeGripColors(int side) const override;
    POINT MDIGlyphOrigin(const RECT& rect) override;
    POINT ChevronOrigin(const RECT& rect, bool vertical) override;
    bool HotImageCastsShadow() const override { return false; }
    int RestingImageOpacity() const override { return 255; }
    void PaintCrossIn(HDC dc, const RECT& box, TColor color) override { PaintSmallCloseCross(dc, box, color); }

private:
    TColor FrameTint() const;
    void PaintEditButtonFrame(HDC dc, const RECT& rect, bool pushed, bool hot, int viewKind);
};

std::unique_ptr<themed::TThmTheme> CreateWhidbeyTheme(const std::wstring& name);

}  // namespace themes
