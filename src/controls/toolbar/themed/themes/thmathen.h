#pragma once
// The "Athen" theme: a white, silvery look. Menu bars, toolbars, popups and panels are white;
// docked bars, caption bars, the status bar and highlighted things carry three-band faces (grey
// for bars, blue-tinted for highlights); pressed things a short ramp from silver to white;
// buttons, check boxes and scroll buttons octagonal outlines. Check boxes and radio buttons are
// drawn by the theme. "Dream" and "Xito" are built on it: they keep its colour recipe (with
// their own greys), its state tables and metrics, and repaint what their looks change.
//
// Backgrounds are computed over the whole view and painted only inside the clip, so a partial
// repaint matches the same band of a full one. Painting stays inside the rectangle it is given,
// except the one column to its left that a split arrow part takes.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/themes/thmkit.h"
#include "controls/toolbar/themed/themes/thmstatetheme.h"

namespace themes {

class TThmAthenTheme : public TThmStateTheme {
public:
    explicit TThmAthenTheme(std::wstring name);

    // Unit colours, rewritten by every rebuild and not snapped to the screen: the grey of etched
    // separators and frame corners, the light end of the bars, the edge of docked toolbars.
    TColor FrameGreyColor = 0, LightColor = 0, EdgeColor = 0;

    // The colour cache (with the view fills and state tables of the base).
    TColor PopupBorder = 0;
    // Floating frames: [toolbar active, toolbar inactive, panel active, panel inactive]
    // x [border, caption fill, caption text].
    TColor FloatingColors[4][3] = {};
    TColor PopupSeparator = 0, ToolbarSeparator = 0;

    void RebuildColorCache() override;

    void GetMarginSet(int kind, themed::TThmMargins& margins) override;
    int GetShadowKind() override { return 3; }
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                      const themed::TThmEditBoxInfo& editBox) override;
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            const themed::TThmEditButtonInfo& button) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const themed::TThmDockPanelFrameInfo& frame) override;
    void PaintDropArrow(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const themed::TThmFloatingFrameInfo& frame) override;
    void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintPopupItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintScrollArrowButton(classlib::TCanvas& canvas, const RECT& rect, int direction, bool hot) override;
    void PaintPopupFrame(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmPopupFrameInfo& frame) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const themed::TThmToolbarFrameInfo& frame) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;
    int GetIntMetric(int index) override;
    bool GetBoolMetric(int index) override;

protected:
    // `glyphs` is the theme class's own glyph list (SharedThemeResource of that class).
    TThmAthenTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    static constexpr int kToolbarActive = 0, kToolbarInactive = 1, kPanelActive = 2, kPanelInactive = 3;
    static constexpr int kBorder = 0, kCaptionFill = 1, kCaptionText = 2;

    // What the family's colour recipe takes from each theme.
    struct TRecipe {
        TColor FrameGrey = 0xC0C0C0, Light = 0xFFFFFF;
        TColor Edge = 0xADADAD;               // 30 % of 0x808080 over the frame grey
        TColor ToolbarFill = classlib::clNone;  // none: Light
        TColor DimText = classlib::clNone;      // none: the shadow colour 90 % toward the window
        TColor CheckedFrame = 0xD0D0D0;
        TColor HotFrame = 0xA0A0A0;           // also the frame of an item whose popup is open
        TColor PopupSeparator = classlib::clNone;  // none: the toolbar separator
        // The frame of a pushed item (see RebuildColorCache).
        TColor PushedFrame = 0x909090;
        // Whether the cache is snapped to the colours the screen shows.
        bool Snap = true;
    };
    virtual TRecipe Recipe() const;

    // Checked 0x01, mixed 0x02, disabled 0x04, hot 0x08, pushed 0x10 of a check control.
    TColor CheckMarkColor(int state) const;

    // A button's outline: cuts of 2, the joined end of a split item's parts 1 (`splitButtonCut`
    // at the button part's right end), 1 for an item not in toolbar style.
    static TButtonOutline ButtonShape(const RECT& rect, const themed::TThmItemInfo& item, int splitButtonCut);

    // The gradient of a bar background over `whole`, painted only inside `clip`.
    static void PaintClippedBands(HDC dc, const RECT& whole, const RECT& clip, bool across);
    // The silver-to-white ramp of pressed things (vertical: silver at the top).
    static void PaintPressedRamp(HDC dc, const RECT& rect, bool vertical);
    // The resting face of an edit button or spin half.
    virtual void PaintEditButtonFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item, bool pushed, bool hot);
    // The two rings round a docked panel (a checkered one on low-colour screens and extreme faces).
    static void PaintPanelBorder(HDC dc, const RECT& rect, TColor entry, bool across);
    // The close button of a caption or docked bar in state row `row` (0 idle, 1 inactive window,
    // 3 pushed, 4 hot), `across` a horizontal caption.
    virtual void PaintCaptionCloseButton(HDC dc, RECT square, int row, bool across);
    // A docked panel's caption text, black in the small caption font.
    static void PaintPanelCaption(classlib::TCanvas& canvas, const wchar_t* caption, const RECT& rect, bool across);
    // The square of a docked toolbar's close button in its handle strip.
    static RECT ToolbarCloseSquare(RECT strip, bool along);
    // The strip at the start of a docked bar that holds the grip and the close button.
    static RECT HandleStrip(const RECT& inner, const themed::TThmToolbarFrameInfo& frame, int size);
    // Grey and white line pairs across the handle strip.
    void PaintGripLines(HDC dc, const RECT& strip, const themed::TThmToolbarFrameInfo& frame, int size, TColor along,
                        TColor across) const;
    // The floating border band and the ring round the client.
    void PaintFloatingBorder(HDC dc, const RECT& rect, const themed::TThmFloatingFrameInfo& frame, TColor ring) const;
    // The caption bar's rectangle of a floating frame, and the caption text in it.
    static RECT FloatingCaptionBar(const themed::TThmFloatingFrameInfo& frame);
    void PaintFloatingCaptionText(classlib::TCanvas& canvas, RECT bar, const themed::TThmFloatingFrameInfo& frame) const;
    // A check box's tick and a radio button's dot.
    void PaintCheckTickMark(HDC dc, const RECT& rect, int state) const;
    static void PaintRadioOutline(HDC dc, const RECT& rect, TColor pen, TColor fill);
    void PaintRadioDot(HDC dc, const RECT& rect, int state) const;
    // The etched divider at a status panel's right end: a dark line, then a light one a pixel
    // right and down.
    static void PaintStatusDivider(HDC dc, RECT rect, int part, TColor dark, TColor light);

    // --- what the family's looks change ---
    // The face of caption bars (and of a floating frame's close button square).
    virtual void PaintCaptionFace(HDC dc, const RECT& rect, bool vertical);
    // A floating frame's close button over the caption face, in state row `row`.
    virtual void PaintFloatingCloseButton(HDC dc, RECT square, int row);
    // The face behind a checked, enabled popup item's check; `column` is the item's image
    // column, full height.
    virtual void PaintPopupCheckFace(classlib::TCanvas& canvas, RECT column, const themed::TThmItemInfo& item);
    // The divider of an enabled split popup item.
    virtual TColor PopupSplitDivider(const themed::TThmItemInfo& item) const;
    // The inside of a hot scroll button.
    virtual void PaintScrollHotFace(HDC dc, const RECT& inner);
    // Whether a disabled item's frame is wiped in the toolbar colour.
    virtual bool WipesDisabledFrame() const { return true; }
    // The face and outline of a hot (or designed) item's frame.
    virtual void PaintItemFrameFace(HDC dc, const RECT& rect, const themed::TThmItemInfo& item);
    // The darker line of etched separators.
    virtual TColor EtchDarkColor() const { return FrameGreyColor; }
};

std::unique_ptr<themed::TThmTheme> CreateAthenTheme(const std::wstring& name);

}  // namespace themes
