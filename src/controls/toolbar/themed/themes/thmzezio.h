#pragma once
// The "Zezio" theme: the Miranda look (thmmiranda.h) with striped surfaces. Toolbar and menu-bar
// backgrounds and the highlight of menu-bar and popup items carry a slightly darker and a
// slightly lighter line every three pixels over their colour; separators and status-bar
// dividers are dotted, and the image column of a checked popup item is faced like a button.
// Arrows and captions of pushed items stay in place.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmmiranda.h"

namespace themes {

class TThmZezioTheme : public TThmMirandaTheme {
public:
    explicit TThmZezioTheme(std::wstring name);

    // Divider of a split popup item when enabled and not hot; dotted status-bar dividers.
    TColor SplitDivider = 0, StatusDivider = 0;

    void RebuildColorCache() override;
    int GetIntMetric(int index) override;
    // Docked panels and opaque-items toolbars are filled plainly, every other view striped: a
    // row darker by 8 levels, a row lighter by 8 (more on dark colours), a row plain, repeating
    // from the top of paintRect whatever part of it is clipped.
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintPopupItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

protected:
    int ArrowShift(const themed::TThmItemInfo&) const override { return 0; }
    bool CaptionMoves(const themed::TThmItemInfo&) const override { return false; }
    bool LightensActiveImages() const override { return true; }

private:
    void PaintPopupCheckFace(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item);
};

std::unique_ptr<themed::TThmTheme> CreateZezioTheme(const std::wstring& name);

}  // namespace themes
