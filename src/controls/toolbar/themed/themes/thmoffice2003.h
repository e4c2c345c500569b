#pragma once
// The "Office2003" theme: the office look turned into gradients. Toolbars, the image column of
// popup menus, the status bar and panel captions are shaded between two colours, highlights are
// gradients between fixed warm colours, docked toolbars get a rounded border with a shadow
// line, separators and grips are two-tone. With the visual style's blue, silver or olive
// colour scheme the colours come from a built-in table; otherwise they are blends of the
// system colours; on a low-colour screen plain system colours.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmofficexp.h"

namespace themes {

// The built-in colour schemes (entries of one scheme, see the table in the source).
constexpr int kOfficeSchemeCount = 3;
constexpr int kOfficeSchemeNone = 3;

class TThmOffice2003Theme : public TThmOfficeXPTheme {
public:
    explicit TThmOffice2003Theme(std::wstring name);

    // The colour cache beyond the office model's.
    TColor ToolbarShade = 0, ToolbarShadow = 0, ToolbarCornerColor = 0, SeparatorDark = 0, SeparatorLight = 0,
           GripDark = 0, GripLight = 0, OpaqueItemFill = 0, OpaqueItemFrame = 0;
    // The far ends of the item rows' fill gradients (the near ends are States.Item[row][scFill]).
    TColor FillEnds[8] = {};
    // The bend of the two-segment gradient: 8 blue, 8 silver, 25 olive, 15 without a scheme.
    int GradientMidFactor = 0;

    void RebuildColorCache() override;
    TColor GetViewFillColor(int viewKind) override;
    bool GetBoolMetric(int index) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

    // The colour scheme of the visual style in use: 0 blue, 1 silver, 2 olive, or
    // kOfficeSchemeNone. Reads the style's file and colour names; a test's subclass answers
    // a scheme of its own.
    virtual int DetectColorScheme();

    // Rows from the top, from `top` in the first row exactly to `bottom` in the last; a single
    // row takes `top`.
    static void PaintRowGradient(HDC dc, const RECT& rect, TColor top, TColor bottom);
    // The two-segment gradient: the middle line `midFactor`/40 of the way from `start` to `end`,
    // the first half a gentle slope to it, the second the rest; columns when alongX, else rows.
    // Channels are computed in int and clamped; a single line takes `start`.
    static void PaintTwoSegmentGradient(HDC dc, const RECT& rect, TColor start, TColor end, bool alongX,
                                        int midFactor);

protected:
    TColor ItemStateColor(const themed::TThmItemInfo& item, int column) const override;
    TColor ButtonStateColor(const themed::TThmItemInfo& item, int column, int fillEnd = 0) const override;
    TColor PopupOpeningColor() const override { return PopupFill; }
    TColor EditFrameOutsideToolbars() const override { return ToolbarShade; }
    TColor ScrollRestingFrame() const override { return OpaqueItemFrame; }
    TColor ScrollRestingFill() const override { return OpaqueItemFill; }
    TColor PanelFrameColor() const override { return ToolbarShade; }
    void PaintPanelCaptionBar(HDC dc, const RECT& rect) override { PaintRowGradient(dc, rect, ToolbarFill, ToolbarShade); }
    void PaintImageColumn(HDC dc, const RECT& rect) override { Shade(dc, rect, ToolbarFill, ToolbarShade, true); }
    TColor CheckRestingFrame() const override { return OpaqueItemFrame; }
    bool CheckDisabledCheckered() const override { return true; }

private:
    void Shade(HDC dc, const RECT& rect, TColor start, TColor end, bool alongX) const {
        PaintTwoSegmentGradient(dc, rect, start, end, alongX, GradientMidFactor);
    }
};

std::unique_ptr<themed::TThmTheme> CreateOffice2003Theme(const std::wstring& name);

}  // namespace themes
