#pragma once
// The "Dream" theme: "Athen"'s layout, tables and metrics in a warm beige look. Toolbars are
// beige; bars, docks, caption bars and the status bar are ramps from white to beige; checked
// buttons are pale yellow ramps, checked and hot ones orange, pushed ones a grey gloss; frames
// are grey octagons with softened corners; grips and the size grip are rows of embossed dots;
// popup separators are dotted. Its colours are kept as computed, not snapped to the screen.
// "Xito" is built on it.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/themes/thmathen.h"

namespace themes {

class TThmDreamTheme : public TThmAthenTheme {
public:
    explicit TThmDreamTheme(std::wstring name);

    void GetMarginSet(int kind, themed::TThmMargins& margins) override;
    int GetIntMetric(int index) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmPopupFrameInfo& frame) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;

protected:
    TThmDreamTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    TRecipe Recipe() const override;

    // The white-to-beige ramp (white at the top or left).
    static void PaintBeigeRamp(HDC dc, const RECT& rect, bool vertical);
    // A line up the left side and along the top of rect (its end pixels left out).
    static void PaintTopLeftLine(HDC dc, const RECT& rect, TColor color);
    // The faces of checked items: pale yellow at rest, orange when hot.
    static void PaintYellowFace(HDC dc, const RECT& rect);
    static void PaintOrangeFace(HDC dc, const RECT& rect);
    // The three-by-three embossed dot with its top-left pixel at (x, y).
    static void PaintEmbossedDot(HDC dc, int x, int y);
    // A radio disc face row by row: ColorA at the bottom to ColorB at the top; an edge colour
    // other than white takes the top row and each row's leftmost pixel.
    static void PaintRadioRamp(HDC dc, const RECT& rect, TColor colorA, TColor colorB, TColor edge);

    // What the drop-down and spin buttons of edit boxes show.
    struct TEditButtonLook {
        bool GlossPushed;     // a pushed button: the grey gloss (else PushedFill)
        TColor PushedFill;
        TColor HotFill;       // a hot drop-down button
        TColor Divider;       // the line between field and a pushed or hot button
        TColor SpinHotFill;
        bool SpinDividers;    // pushed or hot spin halves get a divider
        TColor RestingFill;   // a resting button in a toolbar with opaque items
    };
    virtual TEditButtonLook EditButtonLook() const {
        return {true, 0xC0C0C0, 0xF4F0F0, 0x808080, 0xF4F0F0, true, 0xF4F0F0};
    }
    void PaintEditButtonFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item, bool pushed, bool hot) override;

    bool WipesDisabledFrame() const override { return false; }
    void PaintItemFrameFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item) override;
    // The inside of a hot item's frame.
    virtual void PaintItemFrameFill(HDC dc, const RECT& inner) { PaintBeigeRamp(dc, inner, true); }

    // Whether a docked frame of this view kind gets the bar face and edges.
    virtual bool IsFramedBar(int viewKind) const;
    // The face of a docked toolbar frame.
    virtual void PaintBarFace(HDC dc, const RECT& rect, bool vertical) { PaintBeigeRamp(dc, rect, vertical); }
    // The drag handle in the strip, and the close button.
    virtual void PaintToolbarGrip(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size);
    virtual void PaintToolbarCloseButton(HDC dc, const RECT& square, int row) { PaintCaptionCloseButton(dc, square, row, true); }
    // Whether a docked panel's caption carries a row of dots before its text.
    virtual bool PanelCaptionGrip() const { return true; }

    void PaintCaptionFace(HDC dc, const RECT& rect, bool vertical) override { PaintBeigeRamp(dc, rect, vertical); }
    void PaintCaptionCloseButton(HDC dc, RECT square, int row, bool across) override;
    void PaintFloatingCloseButton(HDC dc, RECT square, int row) override { PaintCaptionCloseButton(dc, square, row, true); }
    void PaintPopupCheckFace(classlib::TCanvas& canvas, RECT column, const themed::TThmItemInfo& item) override;
    TColor PopupSplitDivider(const themed::TThmItemInfo& item) const override;
    void PaintScrollHotFace(HDC dc, const RECT& inner) override;
    TColor EtchDarkColor() const override { return ToolbarFill; }
};

std::unique_ptr<themed::TThmTheme> CreateDreamTheme(const std::wstring& name);

}  // namespace themes
