#pragma once
// The themed toolbar and tool window: the toolbar control and tool window of the core
// (tbtoolbar.h, tbfloating.h) with their background, docked frame and floating frame painted
// by the current theme, their margins and border sizes taken from it, and an effective
// background colour that their child controls take as their parent's colour.
//
// Colour: both windows start with Color clNone and keep an effective colour: Color when one
// is set; otherwise, for a toolbar placed directly on a form, the form's effective colour,
// and in every other place the theme's fill colour of the window's view kind. It is worked
// out again when the window is loaded, changes its place or colour, and when the theme
// changes, and handed to the child controls each time.
//
// Both windows are theme clients from construction until they are torn down. Main thread
// only.

#include <windows.h>

#include <utility>

#include "controls/toolbar/tbfloating.h"
#include "controls/toolbar/tbtoolbar.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

// Whether the items of a toolbar are drawn opaque (view kind vkOpaqueItems): automatic
// (opaque only on a toolbar placed directly on a form), always or never transparent.
enum TThmItemTransparency { itAuto, itEnable, itDisable };

// The toolbar's view: its margins are the theme's padding of the toolbar's view kind.
class TThmToolbarView : public toolbar::TBarToolbarView {
public:
    using TBarToolbarView::TBarToolbarView;
    void QueryMargins(toolbar::TBarViewOrientation orientation, RECT& margins) override;
};

// The chevron, painted by the theme; its popup is a TThmChevronPopupWindow.
class TThmChevronItem : public toolbar::TBarChevronItem {
public:
    using TBarChevronItem::TBarChevronItem;
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;
    toolbar::TBarPopupWindowClass GetPopupWindowClass() override;
    void AdjustPopupPosition(toolbar::TBarView* parentView, toolbar::TBarPopupWindow* window,
                             toolbar::TBarPopupPositionRec& rec) override;
};

class TThmChevronItemViewer : public toolbar::TBarChevronItemViewer {
public:
    using TBarChevronItemViewer::TBarChevronItemViewer;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
};

// What the themed toolbar and tool window share: a theme client with an effective colour
// that its children take, a snap distance handed to its themed floating form, the theme's
// floating border, and the docked frame and close button as the theme draws them. `Base` is
// the core window (the toolbar control or the tool window).
template <class Base>
class TThmBarWindow : public Base, public TThmThemeClient, public TThmViewHost, public TThmColorHost {
public:
    // Never negative; the floating window snaps to the work area's edges within it.
    int SnapDistance() const { return FSnapDistance; }
    void SetSnapDistance(int value);
    classlib::TColor EffectiveColor() const { return FEffectiveColor; }

    classlib::TColor ThemeEffectiveColor() override { return FEffectiveColor; }
    // tnBeginChange begins an update; tnEndChange ends it, works out the colour and the frame
    // again, repaints and lays the window out again.
    void HandleThemeChange(int change, bool themeSwitched) override;

    void DrawNCArea(bool drawToDC, HDC dc, HRGN region) override;
    void GetCloseButtonRect(bool vertical, RECT& rect) override;
    void GetFloatingFrameSize(SIZE& size) override;
    toolbar::TBarFloatingWindowParentClass FloatingParentClass() override;
    // Docked, floating or on a form: each place has its own colour.
    void SetParent(classlib::TWinControl* parent) override;
    void Loaded() override;

protected:
    // Takes the designed Color as effective colour and then sets Color to clNone.
    template <class... A>
    explicit TThmBarWindow(A&&... args) : Base(std::forward<A>(args)...) {
        this->SetDblClickUndock(false);
        RegisterThemeClient(this);
        FEffectiveColor = this->FColor;
        this->FColor = classlib::clNone;
        this->FParentColor = false;
    }

    // Works out FEffectiveColor for the window's place and Color.
    virtual void RecomputeEffectiveColor() = 0;
    // The close button's state bits (cbsShown and the pressed and hot bits).
    virtual int CloseButtonState();
    // After a theme change: Rearrange.
    virtual void LayOutAgain() { this->Rearrange(); }
    // RecomputeEffectiveColor, then the children get the colour.
    void ColorChanged();

    void CMColorChanged(classlib::TMessage& message) override;
    void InsertControl(classlib::TControl* control) override;
    void TearDown() override;

    classlib::TColor FEffectiveColor = classlib::clBtnFace;

private:
    int FSnapDistance = 0;
    bool FThemeUpdating = false;
};

class TThmToolbar : public TThmBarWindow<toolbar::TBarCustomToolbar> {
public:
    explicit TThmToolbar(classlib::TComponent* owner);

    TThmItemTransparency ItemTransparency() const { return FItemTransparency; }
    void SetItemTransparency(TThmItemTransparency value);

    // Repaints what lies between the items (the dock's background under a resized toolbar):
    // the items are painted first and left valid.
    void RepaintItemBackgrounds();

    // A menu bar or toolbar, floating (and resizable), with opaque items.
    int ThemeViewKind() override;
    // Also repaints a menu bar when the application is activated or deactivated.
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    // For derived toolbars with their own chevron item and view (a TThmChevronItem and a
    // TThmToolbarView or descendants).
    TThmToolbar(classlib::TComponent* owner, TChevronItemClass chevronItemClass, TToolbarViewClass viewClass);

    void RecomputeEffectiveColor() override;
    // Shows pressed, else hot.
    int CloseButtonState() override;
    void LayOutAgain() override;
    void Dispatch(classlib::TMessage& message) override;
    void CMParentColorChanged(classlib::TMessage& message) override;

private:
    TThmItemTransparency FItemTransparency = itAuto;
};

class TThmToolWindow : public TThmBarWindow<toolbar::TBarToolWindow> {
public:
    explicit TThmToolWindow(classlib::TComponent* owner);

    // A tool window, floating (and resizable).
    int ThemeViewKind() override;

protected:
    void RecomputeEffectiveColor() override;
    void Dispatch(classlib::TMessage& message) override;
    void CMTextChanged(classlib::TMessage& message) override;
};

extern template class TThmBarWindow<toolbar::TBarCustomToolbar>;
extern template class TThmBarWindow<toolbar::TBarToolWindow>;

}  // namespace themed
