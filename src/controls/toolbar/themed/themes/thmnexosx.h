#pragma once
// The "NexosX" theme: the grey member of the family. It keeps Nexos2's palette, tables and
// striped backgrounds, takes Nexos3's banded edit buttons, check controls and popup rows, and
// paints buttons in fixed grey glosses, caption bars as grey ramps and the drag handle as a
// ridge of fixed greys. Its accent (a blue) stays in hot menu and popup rows.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmgradienthelpers.h"
#include "controls/toolbar/themed/themes/thmnexos3.h"

namespace themes {

class TThmNexosXTheme : public TThmNexos3Theme {
public:
    explicit TThmNexosXTheme(std::wstring name);

    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const themed::TThmFloatingFrameInfo& frame) override;

protected:
    TPalette Palette() const override { return {}; }
    TColor DerivedBaseColor() const override { return Options.BaseColor; }
    void AdjustColors() override;
    TStripes StripeRows(HDC dc, TColor color) const override { return TThmNexosTheme::StripeRows(dc, color); }
    TColor OpaqueOutlineColor(bool enabled) const override { return TThmNexosTheme::OpaqueOutlineColor(enabled); }
    void PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const themed::TThmItemInfo& item) override;
    TColor CaptionColor(const themed::TThmItemInfo& item, TColor font) const override {
        return TThmNexosTheme::CaptionColor(item, font);
    }
    TColor CheckGlyphHotColor(const themed::TThmItemInfo& item) const override { return ButtonStateColor(item, scText); }
    TColor ItemFramePen(const themed::TThmItemInfo& item) const override;
    void PaintItemFrameFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item) override;
    void PaintScrollHotFace(HDC dc, const RECT& inner) override { PaintBandedButtonNormal(dc, inner, true, true); }
    TColor ScrollArrowColor(bool) const override { return 0x000000; }
    bool FrameHasEdges(int viewKind) const override;
    void PaintGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size) override;
    void PaintToolbarCloseButton(HDC dc, const RECT& square, int closeButtonState) override;
    std::pair<TColor, TColor> GripDiagonalColors() const override { return {EdgeColor, 0xFFFFFF}; }
    bool EditButtonsHighlighted() const override { return true; }
    TColor SpinArrowColor(const themed::TThmItemInfo& item) const override { return ItemStateColor(item, scText); }
    int PressedImageOffset() const override { return 1; }
    TColor UncheckedRadioDot() const override { return classlib::clNone; }
};

std::unique_ptr<themed::TThmTheme> CreateNexosXTheme(const std::wstring& name);

}  // namespace themes
