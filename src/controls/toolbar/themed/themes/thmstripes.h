#pragma once
// The "Stripes" theme: the classic look with a darker and a lighter line every five rows over
// toolbars, popups and highlight bars, checked buttons with an inner edge of button face, popup
// frames with a raised edge, and drag handles and caption bars carrying a grid of light and dark
// grip dots. "Monai" and "MonaiXP" are built on it.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmclassic.h"

namespace themes {

class TThmStripesTheme : public TThmClassicTheme {
public:
    explicit TThmStripesTheme(std::wstring name);

    // One 8 x 8 tile of the grip pattern (colours, rows from the top).
    using TGripPattern = COLORREF[8][8];
    // The tile over `base`: a light dot at (0, 0) and a dark one at (1, 1) of every 4 x 4 cell;
    // colours snapped to what `dc` shows.
    virtual void BuildGripPattern(HDC dc, TColor base, TGripPattern& pattern) const;
    // Grip dots in rect: with a base colour rect is filled with it and the tiles laid over the
    // centred grip area (CenteredGripArea of rect and `inset`), starting at its top-left corner;
    // with clNone nothing is filled and single pixels stand one further right and down: the
    // highlight at (4i + 1, 4j + 1) and the shadow at (4i + 2, 4j + 2) of the area. Nothing
    // outside rect; the DC's brush origin is left as found.
    void PaintGripDots(HDC dc, const RECT& rect, TColor base, int inset);

protected:
    // For a theme built on this one: its own glyph list (one per theme class).
    TThmStripesTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    TStripePlan Stripes() const override { return {5, 16, false}; }
    bool CheckedInnerEdge() const override { return true; }
    bool RaisedPopupFrame() const override { return true; }
    void PaintToolbarGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, TColor base) override;
    void PaintPanelCaption(classlib::TCanvas& canvas, const RECT& bar,
                           const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintFloatingCaption(classlib::TCanvas& canvas, const RECT& bar,
                              const themed::TThmFloatingFrameInfo& frame) override;
    void PaintStatusBackground(HDC dc, const RECT& rect) override;
    void PaintSizeGrip(HDC dc, const RECT& rect) override;

    // The grip tiles laid over `area` with tile pixel (0, 0) at its top-left corner.
    void FillGripPattern(HDC dc, const RECT& area, TColor base);

private:
    // Grip dots in bar beside a title of `width` pixels centred along it (across the bar: the
    // bar's rows are dotted; down the bar: its columns); the gap is the face colour. The part
    // before the title starts `lead` pixels in.
    void PaintDotsBesideTitle(HDC dc, const RECT& bar, int width, bool across, int inset, int lead);
};

std::unique_ptr<themed::TThmTheme> CreateStripesTheme(const std::wstring& name);

}  // namespace themes
