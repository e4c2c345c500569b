#pragma once
// The "Miranda" theme: the system colours throughout. Bars are flat button face with a
// one-pixel raised edge, popups and dockable panels the window colour, highlighted menu-bar and
// popup items flat highlight bars. Checked, pushed and hot buttons get a two-colour vertical
// gradient inside an outline whose cut corners are softened into the ground; check boxes and
// radio buttons are drawn alike. Floating frames, their close buttons and the scroll buttons of
// popups are the platform's own (edges, small caption, frame controls). Every cached colour is
// snapped to the screen; there is no separate low-colour palette.
//
// The "Zezio" theme (thmzezio.h) is this look with striped backgrounds and highlights.
//
// Main thread only.

#include <memory>
#include <string>

#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/themed/themes/thmstatetheme.h"

namespace themes {

class TThmMirandaTheme : public TThmStateTheme {
public:
    explicit TThmMirandaTheme(std::wstring name);

    // The colour cache (RebuildColorCache fills it; the fills, the popup border and both state
    // tables are snapped to the screen, the edit frames and the disabled text stay system
    // colours).
    TColor EditFrame = 0, EditFrameLight = 0, PopupBorder = 0;
    TColor DisabledText = 0;

    void RebuildColorCache() override;

    TColor GetItemTextColor(const themed::TThmItemInfo& item) override;
    int GetShadowKind() override;
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
    // For a theme built on this one: its own glyph list (one per theme class).
    TThmMirandaTheme(std::wstring name, std::shared_ptr<TThmGlyphList> glyphs);

    // The popup table answers only for plain popup-menu items; split and drop-down parts of a
    // popup take the item table.
    TColor ItemStateColor(const themed::TThmItemInfo& item, int column) const override;
    // The arrows of a pushed or checked item sit one pixel right and down.
    virtual int ArrowShift(const themed::TThmItemInfo& item) const { return item.Pushed || item.Checked ? 1 : 0; }
    // The caption of a pushed or checked toolbar-style item moves one pixel right and down,
    // except on a menu bar while menus are flat.
    virtual bool CaptionMoves(const themed::TThmItemInfo& item) const;
    // Whether images of checked, pushed or hot items on a dark ground are drawn lightened; here
    // they are drawn as they are.
    virtual bool LightensActiveImages() const { return false; }
    // The mark of a check control: disabled, pushed, mixed, hot or resting.
    TColor CheckMarkColor(int state) const;
    // A close button's edge: sunken and the box moved a pixel right and down when pushed,
    // raised when hot.
    static void PaintCloseEdge(HDC dc, RECT& box, int closeButtonState);
    // The flat or striped highlight over `rect` (PaintViewBackground of a plain view).
    void PaintHighlightBar(classlib::TCanvas& canvas, const RECT& rect);
    // The caption band of a docked panel: a soft gradient around the toolbar fill with visual
    // styles, across the band's thickness; else the plain fill.
    void PaintPanelCaptionBand(HDC dc, const RECT& rect, bool across);
    // Vertical gradient faces and the button outline of Miranda's buttons.
    static void PaintFace(HDC dc, const RECT& rect, TColor top, TColor bottom);
    static void PaintOutline(HDC dc, const RECT& rect, int leftCut, int rightCut, TColor outline, TColor shade);

private:
    void PaintRadioRamp(HDC dc, const RECT& rect, TColor bottom, TColor top, TColor topRow);
    void PaintFloatingCaption(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmFloatingFrameInfo& frame,
                              bool gradient);
};

std::unique_ptr<themed::TThmTheme> CreateMirandaTheme(const std::wstring& name);

}  // namespace themes
