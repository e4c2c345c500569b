#pragma once
// The "Eos" theme: a dark olive palette derived from a pale yellow and a golden accent, with
// white text. Everything is a flat fill or a one-pixel line: no gradients, no stripes, no cut
// corners. Hot items are darker with golden text, pushed items golden with black text. It
// shares Nexos4's layout, tables and most geometry.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmnexos4.h"

namespace themes {

class TThmEosTheme : public TThmNexos4Theme {
public:
    explicit TThmEosTheme(std::wstring name);

    // Its own switches: caption bars and captions in the accent (else the caption colours),
    // and the golden accent itself.
    bool AccentCaptions = false;
    TColor AccentColor = 0x68CAE6;
    // Separator lines of toolbars, tool-box popups and the status bar.
    TColor SeparatorLineColor = 0;

    void RebuildColorCache() override;
    int GetIntMetric(int index) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const themed::TThmFloatingFrameInfo& frame) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

protected:
    TStripes StripeRows(HDC, TColor) const override { return {}; }
    TColor DockBackgroundColor() const override { return themed::ColorBlendPercent(BaseColor, 0x404040, 45); }
    TColor CaptionColor(const themed::TThmItemInfo& item, TColor font) const override;
    TColor CheckGlyphHotColor(const themed::TThmItemInfo&) const override { return 0xFFFFFF; }
    void PaintItemFrameFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item) override;
    TColor PopupSplitHotColor() const override { return AccentColor; }
    void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item) override;
    void PaintScrollFace(HDC dc, const RECT& rect, bool hot) override;
    TColor ScrollArrowColor(bool hot) const override { return States.Item[hot ? 4 : 0][scText]; }
    void PaintGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size) override;
    void StatusGripDotColors(TColor& face, TColor& dark, TColor& light) const override;

private:
    // The light side of raised edges.
    TColor RaisedEdgeLight() const { return themed::ColorBlendPercent(EdgeColor, 0xFFFFFF, 75); }
    // A close button of a caption bar in state row s (0 idle, 1 inactive window, 3 pushed,
    // 4 hot).
    void PaintCloseBox(HDC dc, RECT square, int s);
};

std::unique_ptr<themed::TThmTheme> CreateEosTheme(const std::wstring& name);

}  // namespace themes
