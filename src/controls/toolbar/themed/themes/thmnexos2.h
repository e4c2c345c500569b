#pragma once
// The "Nexos2" theme: near-white bars with fine three-row stripes, light-grey frames and one
// accent colour (a sea green) for hot, pushed and checked states. Buttons get a two-phase gloss
// or a ramp outlined by an octagon or a cut-corner frame; caption bars a glossy accent band.
// "Nexos3" and "NexosX" build on it.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmnexos.h"

namespace themes {

class TThmNexos2Theme : public TThmNexosTheme {
public:
    explicit TThmNexos2Theme(std::wstring name);

    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;

protected:
    TThmNexos2Theme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs);
    static TOptions Nexos2Options();

    void PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const themed::TThmItemInfo& item) override;
    TColor CaptionColor(const themed::TThmItemInfo& item, TColor font) const override;
    TColor CheckGlyphHotColor(const themed::TThmItemInfo& item) const override { return 0xFFFFFF; }
    TColor DropArrowPairColor(const themed::TThmItemInfo& item) const override;
    TColor ItemFramePen(const themed::TThmItemInfo& item) const override;
    void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item) override;
    std::pair<TColor, TColor> RestingMarkColors() const override { return {0xFFFFFF, Options.NeutralColor}; }
    std::pair<TColor, TColor> PlainCaptionColors() const override { return {LightColor, GripFaceColor}; }
};

std::unique_ptr<themed::TThmTheme> CreateNexos2Theme(const std::wstring& name);

}  // namespace themes
