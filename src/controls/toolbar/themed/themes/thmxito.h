#pragma once
// The "Xito" theme: white and neutral grey. It keeps "Athen"'s colour recipe (with its own greys),
// tables, separators and grips, and "Dream"'s gradient routines, frames and metrics: docked bars,
// caption bars and the status bar carry a light gloss; buttons are flat grey faces inside
// octagonal outlines softened by a lighter second outline; check boxes and radio buttons have
// gloss faces; popup separators are dotted.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmdream.h"

namespace themes {

class TThmXitoTheme : public TThmDreamTheme {
public:
    explicit TThmXitoTheme(std::wstring name);

    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

protected:
    TRecipe Recipe() const override;

    // The light gloss: white at the top (left) edge, 0xF0F0F0 toward the middle.
    static void PaintLightGloss(HDC dc, const RECT& rect, bool vertical);

    TEditButtonLook EditButtonLook() const override {
        return {false, 0xC0C0C0, 0xE0E0E0, 0x909090, 0xD0D0D0, false, ToolbarFill};
    }
    bool WipesDisabledFrame() const override { return true; }
    void PaintItemFrameFill(HDC dc, const RECT& inner) override { themed::PaintRectFill(dc, inner, 0xD0D0D0); }
    bool IsFramedBar(int viewKind) const override;
    void PaintBarFace(HDC dc, const RECT& rect, bool vertical) override { PaintLightGloss(dc, rect, vertical); }
    void PaintToolbarGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size) override;
    void PaintToolbarCloseButton(HDC dc, const RECT& square, int row) override;
    bool PanelCaptionGrip() const override { return false; }
    void PaintCaptionFace(HDC dc, const RECT& rect, bool vertical) override;
    void PaintPopupCheckFace(classlib::TCanvas& canvas, RECT column, const themed::TThmItemInfo& item) override;
    TColor EtchDarkColor() const override { return FrameGreyColor; }
};

std::unique_ptr<themed::TThmTheme> CreateXitoTheme(const std::wstring& name);

}  // namespace themes
