#pragma once
// The "Tristan2" theme: the Tristan look (thmtristan.h) with the gloss as its only gradient and
// a deeper overshoot. Docked toolbars and tool windows are glossed (opaque and floating ones
// too), popups keep a plain ground and gloss each row's image column instead, pushed buttons
// show a shade-to-white gloss, pushed and hot items have pure highlight frames, and popups
// throw drop shadows. There is no separate low-colour palette.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmtristan.h"

namespace themes {

class TThmTristan2Theme : public TThmTristanTheme {
public:
    explicit TThmTristan2Theme(std::wstring name);

    void RebuildColorCache() override;
    int GetShadowKind() override;
    bool GetBoolMetric(int index) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;

protected:
    TGlossOvershoot GlossOvershoot() const override { return {15, 8}; }
    void PaintPopupCheckEdge(HDC dc, RECT& box, const themed::TThmItemInfo& item) override;
    void PaintBarShade(HDC dc, const RECT& rect, TColor color, TColor nearEdge, bool vertical) override;
    void PaintBarTopRight(HDC dc, const RECT& rect) override;

private:
    // The glossy image column at the left of a popup row.
    void PaintImageColumn(HDC dc, const RECT& row, const themed::TThmItemInfo& item);
};

std::unique_ptr<themed::TThmTheme> CreateTristan2Theme(const std::wstring& name);

}  // namespace themes
