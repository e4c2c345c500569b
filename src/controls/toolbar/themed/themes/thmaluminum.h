#pragma once
// The "Aluminum" theme: brushed metal on a fixed light grey around 0xDFDFDF. Docks, bars and
// the status bar are filled with the streak texture; frames are one-pixel bevels with rounded,
// anti-aliased corners; caption bars and resting edit buttons get short gradients; drag handles
// carry small embossed beads; checked, pushed and hot items take blends of the system highlight
// colour kept apart from the face. On a low-colour screen view backgrounds are flat; the
// colour cache is always snapped to what the screen shows.
//
// Its plan follows "Stripes" (margins, grip areas, arrows, check-control shapes, size grips);
// its colours follow the office model of state tables.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/themes/thmkit.h"

namespace themes {

// Holds the process-wide streak texture's tables for the theme's instances.
struct TThmStreakTextureHold;

class TThmAluminumTheme : public themed::TThmDefaultTheme {
public:
    explicit TThmAluminumTheme(std::wstring name);
    ~TThmAluminumTheme() override;

    // The palette (RebuildColorCache fills it; every colour but DockFill and StatusBarFill is
    // snapped to the screen). The default theme's colour fields are not used.
    TColor DockFill = 0, MenuBarFill = 0, ToolbarFill = 0, StatusBarFill = 0, PopupFill = 0, DockPanelFill = 0;
    TColor PopupBorder = 0, SeparatorColor = 0;
    // Item states; an opaque-items toolbar's missing frames are 0x9F9F9F.
    TThmStateColors States;
    // The streak amplitude of views and the status bar.
    int StreakAmplitude = 12;

    void RebuildColorCache() override;

    POINT GetItemImageShift(classlib::TCanvas&, const themed::TThmItemInfo&, classlib::TImageList*) override {
        return {0, 0};
    }
    TColor GetItemFillColor(const themed::TThmItemInfo& item) override;
    TColor GetItemTextColor(const themed::TThmItemInfo& item) override;
    TColor GetItemImageBackColor(const themed::TThmItemInfo& item) override;
    int GetShadowKind() override { return 2; }
    void GetViewBorderSize(int viewKind, POINT& size) override;
    TColor GetViewFillColor(int viewKind) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, TColor color, bool transparent, int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
    void PaintChevronButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override;
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
    void PaintMDICaptionButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item,
                               int buttonKind) override;
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

    // A one-pixel outline whose corners of radius 0 to 3 are shaded into the background.
    static void PaintRoundedOutline(HDC dc, const RECT& rect, int topLeft, int topRight, int bottomLeft,
                                    int bottomRight, TColor color);
    // A bevel: left and top in `topLeft`, bottom and right in `bottomRight`, corners of radius 0
    // to 2 blended into the background, or into `outside` when it is a colour.
    static void PaintBevelFrame(HDC dc, const RECT& rect, int topLeft, int topRight, int bottomLeft, int bottomRight,
                                TColor topLeftColor, TColor bottomRightColor, TColor outside);

private:
    // The state colours; a missing fill (or, with opaque items, frame) as the state tables say.
    TColor ButtonStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ButtonStateColor(item, column, ToolbarFill);
    }
    TColor ItemStateColor(const themed::TThmItemInfo& item, int column) const {
        return States.ItemStateColor(item, column, ToolbarFill);
    }
    // The fill of a close button's state, ToolbarFill when it has none.
    TColor StateFillOr(int row, TColor none) const;
    // A close button: cut-corner face and rounded outline of the state's colours, embossed cross.
    void PaintCloseButton(HDC dc, const RECT& box, int row, int radius, bool lit);
    void PaintEmbossedCloseGlyph(HDC dc, const RECT& rect, TColor base, bool lit);
    void PaintBeadGrip(HDC dc, const RECT& rect, TColor base, int inset);

    std::shared_ptr<TThmGlyphList> FGlyphs;
    // The streak texture's tables: released when the last instance goes.
    std::shared_ptr<TThmStreakTextureHold> FStreaks;
};

std::unique_ptr<themed::TThmTheme> CreateAluminumTheme(const std::wstring& name);

}  // namespace themes
