#pragma once
// The "Monai" theme: "Stripes" without the stripes. Views and highlight bars are flat, grips and
// caption bars carry dark 2 x 2 squares every four pixels, the drag handle has no separator
// line, and the size grip is a triangle of six squares. "MonaiXP" is built on it.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmstripes.h"

namespace themes {

class TThmMonaiTheme : public TThmStripesTheme {
public:
    explicit TThmMonaiTheme(std::wstring name);

    // A dark 2 x 2 square in the top-left corner of every 4 x 4 cell.
    void BuildGripPattern(HDC dc, TColor base, TGripPattern& pattern) const override;

protected:
    TThmMonaiTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    TStripePlan Stripes() const override { return {}; }
    // The grip area: the handle strip widened by one pixel each way across the bar (with a close
    // button: below it, and ending three pixels short), inset by one.
    void PaintToolbarGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, TColor base) override;
    // How the grip area is filled.
    virtual void PaintGripArea(HDC dc, const RECT& area, TColor base) { PaintGripDots(dc, area, base, 1); }
    void PaintStatusBackground(HDC dc, const RECT& rect) override;
    void PaintSizeGrip(HDC dc, const RECT& rect) override;
};

std::unique_ptr<themed::TThmTheme> CreateMonaiTheme(const std::wstring& name);

}  // namespace themes
