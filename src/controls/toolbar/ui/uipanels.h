#pragma once
// The themed containers of the dialogs: the panel and the group box, with their border
// painters. A panel keeps its background (what lies behind it and its border) in a cache
// bitmap that is rebuilt on the next erase after any change; when it changes size or place
// it tells its windowed children, so that nested panels rebuild in turn.
//
// Main thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/control.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uitypes.h"

namespace ui {

// Posted to a windowed child whose parent's background changed: WParam its width, LParam
// its height. A panel answers 1 and rebuilds its own background.
constexpr UINT CM_UIBACKGROUNDCHANGED = classlib::CM_BASE + 3333;

enum TUiPanelBorder { pbrRaised, pbrDoubleRaised, pbrSunken, pbrDoubleSunken, pbrBumped, pbrEtched, pbrFramed };

// A panel's border by the resolved theme type: system edges (thtNone), the visual-style
// group-box frame (thtWindows), or the current theme's button face (thmStyle, not with the
// "Default" theme) or a 2-pixel item frame (thtThm).
void PaintPanelBorder(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool thmStyle,
                      TUiThemeType themeType, TUiPanelBorder borderType);
// A group box: an etched frame whose top runs through the middle of the caption, which
// stands 8 pixels from the left (with DT_RTLREADING, 8 pixels from the right); without a
// caption the frame starts at the top.
void PaintGroupBoxFrame(classlib::TCanvas& canvas, const RECT& rect, const std::wstring& caption,
                        TUiThemeType themeType, bool thmStyle, bool enabled, UINT flags);

class TUiCustomPanel : public classlib::TCustomControl, public themed::TThmThemeClient {
public:
    explicit TUiCustomPanel(classlib::TComponent* owner);
    ~TUiCustomPanel() override;

    std::wstring GetCaption();
    void SetCaption(const std::wstring& value);
    std::wstring GetHint();
    void SetHint(const std::wstring& value);

    bool Borders() const { return FBorders; }
    void SetBorders(bool value);
    TUiPanelBorder BorderType() const { return FBorderType; }
    void SetBorderType(TUiPanelBorder value);
    // Extra room inside the border for the children; a change realigns and repaints.
    themed::TThmControlMargins& Margins() { return FMargins; }
    bool ThmStyleBackground() const { return FThmStyleBackground; }
    void SetThmStyleBackground(bool value);
    TUiThemeType ThemeType() const { return FThemeType; }
    void SetThemeType(TUiThemeType value);
    TUiDrawEvent OnDrawBackground;

    // The cache becomes invalid and the window repaints; with repaint the windowed children
    // rebuild too (themed controls are redrawn, others get CM_UIBACKGROUNDCHANGED).
    virtual void InvalidateBackground(bool repaint);
    // The cache is valid (tests).
    bool BackgroundValid() const { return FCacheValid; }

    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    virtual void DrawBorder(classlib::TCanvas& canvas, const RECT& rect);
    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);
    // Builds the background of `rect` (client coordinates) and draws it onto the canvas.
    void RebuildBackground(classlib::TCanvas& canvas, const RECT& rect);

    void AdjustClientRect(RECT& rect) override;
    void CreateParams(classlib::TCreateParams& params) override;
    void TearDown() override;
    void Dispatch(classlib::TMessage& message) override;
    void WMEraseBkgnd(classlib::TMessage& message) override;
    void CMTextChanged(classlib::TMessage& message) override;
    void CMEnabledChanged(classlib::TMessage& message) override;

private:
    std::unique_ptr<classlib::TBitmap> FCache;
    bool FCacheValid = false;
    bool FBorders = true;
    TUiPanelBorder FBorderType = pbrEtched;
    themed::TThmControlMargins FMargins;
    bool FThmStyleBackground = false;
    TUiThemeType FThemeType = thtThm;
    bool FReleased = false;
};

class TUiPanel : public TUiCustomPanel {
public:
    explicit TUiPanel(classlib::TComponent* owner) : TUiCustomPanel(owner) {}

    // Draws the border hot (as an edit frame) while the mouse is over the panel or a direct
    // child has the focus.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    bool Hot() const { return FHot; }

protected:
    void DrawBorder(classlib::TCanvas& canvas, const RECT& rect) override;
    void AdjustClientRect(RECT& rect) override;
    void CMMouseEnter(classlib::TMessage& message) override;
    void CMMouseLeave(classlib::TMessage& message) override;
    void CMFocusChanged(classlib::TMessage& message) override;

private:
    void SetHot(bool value);
    bool FHot = false;
    bool FHotTrack = false;
    bool FChildFocused = false;
};

class TUiGroupBox : public TUiCustomPanel {
public:
    explicit TUiGroupBox(classlib::TComponent* owner);

protected:
    void DrawBorder(classlib::TCanvas& canvas, const RECT& rect) override;
    void AdjustClientRect(RECT& rect) override;
    void CMDialogChar(classlib::TMessage& message) override;
};

}  // namespace ui
