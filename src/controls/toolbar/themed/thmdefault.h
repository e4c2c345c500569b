#pragma once
// The "Default" theme: everything painted the way the system paints it, with classic 3-D
// edges and system colours, or with the system's visual-style parts while the theme manager
// has visual-style data open (VisualStylesOpen). Several themes derive from it, call its
// operations as inherited ones and read and write its colour fields, so those fields and
// operations are part of its contract.
//
// Main thread only.

#include <memory>
#include <string>

#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

class TThmDefaultTheme : public TThmTheme {
public:
    explicit TThmDefaultTheme(std::wstring name) : TThmTheme(std::move(name)) {}

    // The colour cache (RebuildColorCache fills it; a derived theme's own RebuildColorCache
    // replaces this one, and fields it does not set stay 0).
    // The button face, or the visual style's toolbar fill colour.
    classlib::TColor ToolbarFace = 0;
    // The button text, or the visual style's toolbar text colour.
    classlib::TColor ToolbarFaceText = 0;
    // ColorMixNearest(ToolbarFace, window colour, 64).
    classlib::TColor DockPanelFace = 0;
    // The button face, or the visual style's status-bar fill colour.
    classlib::TColor StatusBarFace = 0;

    void RebuildColorCache() override;

    POINT GetItemImageShift(classlib::TCanvas& canvas, const TThmItemInfo& item,
                            classlib::TImageList* images) override;
    classlib::TColor GetItemFillColor(const TThmItemInfo& item) override;
    classlib::TColor GetItemTextColor(const TThmItemInfo& item) override;
    classlib::TColor GetItemImageBackColor(const TThmItemInfo& item) override;
    void GetMarginSet(int kind, TThmMargins& margins) override;
    int GetShadowKind() override;
    void GetViewBorderSize(int viewKind, POINT& size) override;
    classlib::TColor GetViewFillColor(int viewKind) override;
    void GetViewPadding(int viewKind, TThmMargins& padding) override;
    void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect, const RECT& paintRect,
                             const RECT& clipRect, classlib::TColor color, bool transparent,
                             int viewKind) override;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                          const std::wstring& caption, UINT format, bool rotated) override;
    void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintChevronButton(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                      const TThmEditBoxInfo& editBox) override;
    void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                            const TThmEditButtonInfo& button) override;
    void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect, const RECT& paintRect,
                             int dockPosition) override;
    void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                             const TThmDockPanelFrameInfo& frame) override;
    void PaintDropArrow(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                            const TThmFloatingFrameInfo& frame) override;
    void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                        classlib::TImageList* images, int imageIndex) override;
    void PaintMDICaptionButton(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                               int buttonKind) override;
    void PaintPopupItem(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override;
    void PaintScrollArrowButton(classlib::TCanvas& canvas, const RECT& rect, int direction,
                                bool hot) override;
    void PaintPopupFrame(classlib::TCanvas& canvas, const RECT& rect,
                         const TThmPopupFrameInfo& frame) override;
    void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                            bool horizontal, bool lineSeparator) override;
    void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                           const TThmToolbarFrameInfo& frame) override;
    void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind, int state,
                           int reserved) override;
    void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) override;
    int GetIntMetric(int index) override;
    bool GetBoolMetric(int index) override;
};

// The theme class registered as "Default".
std::unique_ptr<TThmTheme> CreateDefaultTheme(const std::wstring& name);

// The font of floating-window and dock-panel captions: the system's small-caption font as it
// was when first asked for (not refreshed on system changes), kept by the application object.
classlib::TFont& DefaultCaptionFont();

}  // namespace themed
