#pragma once
// The "MonaiXP" theme: "Monai" softened. Grips and caption bars carry shaded beads (dark at the
// upper left, light at the lower right) and the drag handle is covered with them edge to edge;
// popup frames have no raised edge; tool-box popups are window-coloured; the status bar's top
// edge fades from the shadow colour and its size grip is six beads.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmmonai.h"

namespace themes {

class TThmMonaiXPTheme : public TThmMonaiTheme {
public:
    explicit TThmMonaiXPTheme(std::wstring name);

    // Four seven-pixel beads, one in each 4 x 4 quarter (the lower two with their light corner
    // pixels the other way round).
    void BuildGripPattern(HDC dc, TColor base, TGripPattern& pattern) const override;
    // rect filled with `base` and the beads laid from its top-left corner inset by `inset`, cut
    // wherever the area ends. A clear bar (clNone) gets the single-pixel dots of PaintGripDots.
    void PaintGripPatternFill(HDC dc, const RECT& rect, TColor base, int inset);

protected:
    TColor ToolBoxPopupFill() const override { return classlib::clWindow; }
    bool RaisedPopupFrame() const override { return false; }
    void PaintGripArea(HDC dc, const RECT& area, TColor base) override { PaintGripPatternFill(dc, area, base, 1); }
    void PaintStatusBackground(HDC dc, const RECT& rect) override { PaintShadedStatusBackground(dc, rect); }
    void PaintSizeGrip(HDC dc, const RECT& rect) override { PaintSizeGripDots(dc, rect); }
};

std::unique_ptr<themed::TThmTheme> CreateMonaiXPTheme(const std::wstring& name);

}  // namespace themes
