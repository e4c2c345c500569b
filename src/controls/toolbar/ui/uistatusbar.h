#pragma once
// The status bar: a compound bar (uitoolbar.h) whose private toolbar lays out its items like
// toolbar items, draws its separators as sunken divider lines where the look asks for it,
// and shows a size grip in the bottom-right corner that resizes the form.
//
// Main thread only.

#include <windows.h>

#include "classlib/form.h"
#include "controls/toolbar/ui/uitoolbar.h"

namespace ui {

class TUiStatusToolbar : public TUiToolbar {
public:
    explicit TUiStatusToolbar(classlib::TComponent* owner);

    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool value);
    // The status bar's theme type (thtThm without one).
    TUiThemeType ThemeType() const;
    // The current theme is "OfficeXP" or "Office11Adaptive" (worked out again after each theme
    // change).
    bool OfficeStyle() const { return FOfficeStyle; }
    // The bar paints the dividers itself (office style or plain drawing): the separator items
    // then paint nothing.
    bool DrawsOwnSeparators() const;
    // The size grip in the dock's client coordinates: the right SM_CXVSCROLL pixels of the
    // dock while the form can be resized by its frame (a sizing border, or an active title bar
    // that is not fixed in size) and is in its normal state; empty otherwise (no grip, not
    // docked, destroying, minimized or maximized).
    RECT GripRect();
    // The form the bar is on (found on first use), or null.
    classlib::TForm* ParentForm();

    // The grip's width, or 4 without a grip.
    int GetRightAlignMargin() override;
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    void Dispatch(classlib::TMessage& message) override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;

private:
    // Whether a screen point lies on the grip.
    bool OnGrip(POINT screenPoint);
    // Resizes the form from its bottom-right corner.
    void StartSizing();
    bool FSizeGrip = true;
    bool FOfficeStyle = false;
    classlib::TComponentRef<classlib::TForm> FParentForm;
};

class TUiCustomStatusBar : public TUiCompoundBar {
public:
    explicit TUiCustomStatusBar(classlib::TComponent* owner);

    TUiStatusToolbar* StatusToolbar() const { return static_cast<TUiStatusToolbar*>(Toolbar()); }
    // The sunken dividers of the separators that are not Blank, over the bar's whole height.
    virtual void PaintSeparators(classlib::TCanvas& canvas, const RECT& rect);
    void DoDrawDockBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                              bool& paintDefault) override;
    // The bar is always as high as its dock.
    void SetBounds(int left, int top, int width, int height) override;
};

class TUiStatusBar : public TUiCustomStatusBar {
public:
    using TUiCustomStatusBar::TUiCustomStatusBar;
    bool SizeGrip() const { return StatusToolbar()->SizeGrip(); }
    // A change repaints the bar.
    void SetSizeGrip(bool value);
};

}  // namespace ui
