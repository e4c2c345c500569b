#pragma once
// The "Nexos4" theme: near-white bars with faint three-row stripes, white popups with a silver
// border and a light-blue accent for hot, pushed and open items. Checked buttons are white with
// a grey outline, pushed ones a silver ramp; caption bars are plain light glosses with black
// text. "Nexos5" and "Eos" build on it.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmnexos.h"

namespace themes {

class TThmNexos4Theme : public TThmNexosTheme {
public:
    explicit TThmNexos4Theme(std::wstring name);

    // The gloss colour of a checked button under the mouse.
    TColor CheckedHotColor = 0;

    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    int GetIntMetric(int index) override;

protected:
    TThmNexos4Theme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs);

    void AdjustColors() override;
    bool SnapsEdgeColors() const override { return false; }
    void PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const themed::TThmItemInfo& item) override;
    // The first face of a checked or pushed button that is pushed or hot.
    virtual void PaintPressedFace(HDC dc, const RECT& inner);
    void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item) override;
    // The outline of a popup check face that is pushed or under the mouse.
    virtual TColor PopupCheckActiveOutline() const { return BaseColor; }
    std::pair<TColor, TColor> RestingMarkColors() const override { return {Options.NeutralColor, 0xFFFFFF}; }
    std::pair<TColor, TColor> PlainCaptionColors() const override { return {0xF0F0F0, LightColor}; }
    void PaintGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size) override;
};

std::unique_ptr<themed::TThmTheme> CreateNexos4Theme(const std::wstring& name);

}  // namespace themes
