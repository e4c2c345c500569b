#pragma once
// The "OfficeK" theme: the plan of "OfficeC" on a neutral palette from the system colours alone.
// Toolbars, tool windows and the caption bars of floating windows and docked panels shade from
// white into a button face darkened a little toward the shadow; menu bars, docks and the status
// bar are plain button face; popup menus are window-coloured with a narrow white-to-face strip at
// their left; checked, hot and pushed buttons shade from white into the blends of their state.
// The theme has no options.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmofficec.h"

namespace themes {

class TThmOfficeKTheme : public TThmOfficeCTheme {
public:
    explicit TThmOfficeKTheme(std::wstring name);

    void RebuildColorCache() override;
    void GetViewBorderSize(int viewKind, POINT& size) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;

protected:
    void PaintSpinHalfFace(classlib::TCanvas& canvas, const RECT& half, const RECT& button,
                           const themed::TThmItemInfo& item, bool upper, bool hot) override;
    void PaintPopupCheckBox(HDC dc, RECT box, const themed::TThmItemInfo& item) override;
    TColor ScrollRestingFrame() const override { return classlib::clBtnShadow; }
    void PaintScrollFace(HDC dc, const RECT& rect, bool hot) override;
    bool PaintBarFrame(HDC dc, const RECT& rect, const themed::TThmToolbarFrameInfo& frame) override;
    TStatusColors StatusColors() const override;
};

std::unique_ptr<themed::TThmTheme> CreateOfficeKTheme(const std::wstring& name);

}  // namespace themes
