#pragma once
// The "Nexos3" theme: the Nexos2 frame in a very light grey with four-row stripes, an orange-blue
// accent, and the fixed three-band faces of the gradient helpers for hot, checked and pushed
// controls; caption bars are banded faces underlined in light orange. "NexosX" builds on it.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmnexos2.h"

namespace themes {

class TThmNexos3Theme : public TThmNexos2Theme {
public:
    explicit TThmNexos3Theme(std::wstring name);

    // Its own switches: the accent in colour (else grey) and the blue stops of the banded
    // faces; the text colour of hot items and of gradient captions.
    bool ColoredAccent = true;
    TColor AccentTextColor = 0x000000;

    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const themed::TThmFloatingFrameInfo& frame) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;

protected:
    TThmNexos3Theme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs);

    TPalette Palette() const override;
    // The accent as set, or grey without ColoredAccent. The hot fill and the light accent keep
    // coming from the accent as set, so every rebuild gives the same colours.
    TColor DerivedBaseColor() const override { return ColoredAccent ? Options.BaseColor : TColor(0xA8A8A8); }
    void AdjustColors() override;
    TStripes StripeRows(HDC dc, TColor color) const override;
    TColor OpaqueOutlineColor(bool enabled) const override;
    void PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const themed::TThmItemInfo& item) override;
    TColor CaptionColor(const themed::TThmItemInfo& item, TColor font) const override;
    TColor CheckGlyphHotColor(const themed::TThmItemInfo&) const override { return 0x000000; }
    TColor DropArrowPairColor(const themed::TThmItemInfo& item) const override { return ItemStateColor(item, scText); }
    TColor ItemFramePen(const themed::TThmItemInfo& item) const override;
    void PaintItemFrameFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item) override;
    RECT PopupHighlightRect(const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupCheckFace(HDC dc, const RECT& box, const themed::TThmItemInfo& item) override;
    void PaintScrollHotFace(HDC dc, const RECT& inner) override;
    void PaintGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size) override;
    void PaintToolbarCloseButton(HDC dc, const RECT& square, int closeButtonState) override;

    // The banded faces of edit buttons: their Highlighted flag, and the colour of the spin
    // arrows of `item` (Pushed set for the half).
    virtual bool EditButtonsHighlighted() const { return ColoredAccent; }
    virtual TColor SpinArrowColor(const themed::TThmItemInfo&) const { return 0x000000; }
    // The offset of the image of a checked or pushed item.
    virtual int PressedImageOffset() const { return 0; }
    // The dot of an unchecked radio button (clNone: none).
    virtual TColor UncheckedRadioDot() const { return 0xFFFFFF; }
    // An outline with cut corners, or nothing at all for no colour.
    static void CutCornerOrNothing(HDC dc, const RECT& r, int lc, int rc, TColor outline, TColor shade, TColor corner);
};

std::unique_ptr<themed::TThmTheme> CreateNexos3Theme(const std::wstring& name);

}  // namespace themes
