#pragma once
// The "SentimoX" theme: the Relifer look (thmrelifer.h) with a light-blue gloss bar under hot
// popup items, a gloss or white octagon behind popup check marks, docked-toolbar close buttons
// faced like those of panels, and an answer for metric 66.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmrelifer.h"

namespace themes {

class TThmSentimoXTheme : public TThmReliferTheme {
public:
    explicit TThmSentimoXTheme(std::wstring name);

    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    int GetIntMetric(int index) override;

protected:
    void PaintPopupCheckFace(classlib::TCanvas& canvas, const RECT& box, const themed::TThmItemInfo& item) override;
    void PaintToolbarCloseButton(HDC dc, const RECT& box, int row) override;
};

std::unique_ptr<themed::TThmTheme> CreateSentimoXTheme(const std::wstring& name);

}  // namespace themes
