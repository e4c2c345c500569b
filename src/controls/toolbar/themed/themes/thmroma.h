#pragma once
// The "Roma" theme: the classic look with fine stripes every three rows (also laid over
// transparent views), embossed seven-pixel dots on drag handles and size grips, caption bars in
// the raised button face with left-aligned titles, and a status bar whose top edge fades from
// the shadow colour.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmclassic.h"

namespace themes {

class TThmRomaTheme : public TThmClassicTheme {
public:
    explicit TThmRomaTheme(std::wstring name);

protected:
    TStripePlan Stripes() const override { return {3, 8, true}; }
    TColor ToolBoxPopupFill() const override { return classlib::clWindow; }
    void PaintToolbarGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, TColor base) override;
    void PaintPanelCaption(classlib::TCanvas& canvas, const RECT& bar,
                           const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintFloatingCaption(classlib::TCanvas& canvas, const RECT& bar,
                              const themed::TThmFloatingFrameInfo& frame) override;
    void PaintStatusBackground(HDC dc, const RECT& rect) override { PaintShadedStatusBackground(dc, rect); }
    void PaintSizeGrip(HDC dc, const RECT& rect) override { PaintSizeGripDots(dc, rect); }
};

std::unique_ptr<themed::TThmTheme> CreateRomaTheme(const std::wstring& name);

}  // namespace themes
