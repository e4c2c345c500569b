#pragma once
// The "Nexos5" theme: Nexos4 in white, with one faint line every five rows instead of stripe
// pairs, grey ramp caption bars, glossy hot close buttons, flat ramps on pushed and checked
// buttons and a drag handle of short line pairs.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmnexos4.h"

namespace themes {

class TThmNexos5Theme : public TThmNexos4Theme {
public:
    explicit TThmNexos5Theme(std::wstring name);

    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const themed::TThmFloatingFrameInfo& frame) override;

protected:
    TPalette Palette() const override;
    void AdjustColors() override;
    TStripes StripeRows(HDC dc, TColor color) const override;
    void PaintPressedFace(HDC dc, const RECT& inner) override;
    TColor PopupCheckActiveOutline() const override { return 0x808080; }
    int ToolbarStripeLift() const override { return 3; }
    TColor MenuBarBottomEdge() const override { return EdgeColor; }
    void PaintGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size) override;
    void PaintPanelBand(HDC dc, const RECT& band, bool across) override;
    void PaintPanelCloseButton(HDC dc, const RECT& square, int s, bool across) override;
    TColor PanelCaptionTextColor() const override { return 0x000000; }

private:
    // A close button on a grey caption ramp in state row s; `pushedCross` the cross of a pushed
    // one.
    void PaintRampCloseButton(HDC dc, RECT square, int s, TColor pushedCross);
};

std::unique_ptr<themed::TThmTheme> CreateNexos5Theme(const std::wstring& name);

}  // namespace themes
