#pragma once
// Themed popups: the window of one menu level painted by the current theme (frame,
// background, the bands behind the scroll arrows of a long menu) with a drop shadow of its
// own when the theme asks for one; the chevron's popup; the root item and popup-menu
// component that can open a menu below a rectangle (a drop-down button); and the placement
// step every themed item adds to the core's.
//
// Lifetime and ownership follow the core (tbpopup.h): a popup window belongs to the view
// that opened it, or to the caller for a popup without a parent view. A popup window owns
// its shadow (thmshadows.h): the shadow is made once the popup shows, made again only when
// the popup moves or changes size, and goes when the popup hides or is destroyed.
//
// Main thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "controls/toolbar/tbpopup.h"
#include "controls/toolbar/themed/thmshadows.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

// --- placement ----------------------------------------------------------------------------------

// Runs `place` (the placement proper) inside the theme's adjustment: with GetBoolMetric
// (tbPopupOverlapsOpener) a drop-down popup is placed as if its opener were one pixel
// narrower and lower and the popup one pixel smaller, so that it overlaps its opener's edge
// by one pixel. Sub-menus are placed unchanged.
template <class F>
void PlaceThemedPopup(toolbar::TBarPopupPositionRec& rec, F place);

// The placement below a control rectangle (screen coordinates): below it, or above it when
// it does not fit below and does above; inside the work area; a right-aligned popup ends at
// the rectangle's right edge. Sets the opening direction.
void PlacePopupBelowRect(toolbar::TBarPopupPositionRec& rec, const RECT& controlRect);

// --- windows ------------------------------------------------------------------------------------

// The view of a themed popup window (the themed controls derive theirs from it).
class TThmPopupView : public toolbar::TBarPopupView {
public:
    using TBarPopupView::TBarPopupView;
};

class TThmPopupWindow : public toolbar::TBarPopupWindow, public TThmViewHost {
public:
    explicit TThmPopupWindow(classlib::TComponent* owner);
    ~TThmPopupWindow() override;

    // The rectangle (screen coordinates) of the control a popup menu was opened below; empty
    // for the popups items open.
    const RECT& OpenerRect() const { return FOpenerRect; }
    void SetOpenerRect(const RECT& value) { FOpenerRect = value; }
    // The shadow while one is shown, or null.
    TShadows* Shadows() const { return FShadows.get(); }

    // Makes the shadow anew for the popup's place (shadow kinds 2 and 3): kind 2 leaves out
    // the opener.
    virtual void CreateShadow();
    virtual void DestroyShadow();
    // False for list-like popups.
    virtual bool CastsShadow();

    // A popup menu level; a tool box for a TThmCustomItem with ToolBoxPopup.
    int ThemeViewKind() override;
    // The theme's border of the view kind.
    SIZE GetBorderSize() override;
    toolbar::TBarPopupViewClass ViewClass() override;
    // Shows at once (and tells itself with TBM_POPUPSTATE tbpsShown) when the menu is
    // reached from the keyboard, the window shows already, the animation is off or the
    // window declines it; otherwise opens with the menu animation's effect. Hiding also
    // takes the shadow away.
    void SetVisible(bool value) override;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& message) override;
    void PaintScrollArrows() override;
    void PaintFrame(HDC dc, RECT rect) override;
    // The rectangle of what opened this popup, in screen coordinates: the parent view's
    // selected item when it is a themed item (or the chevron) on a view that is not a popup
    // menu, else OpenerRect. Empty when there is none.
    RECT OpenerOnScreen();
    virtual bool IsChevronPopup() { return false; }
    // The name of the window class (a popup with the system's shadow adds "S").
    virtual std::wstring WindowClassName();

private:
    std::unique_ptr<TShadows> FShadows;
    RECT FOpenerRect{};
};

// The popup of a toolbar's chevron: the items that did not fit.
class TThmChevronPopupWindow : public TThmPopupWindow {
public:
    using TThmPopupWindow::TThmPopupWindow;
    int ThemeViewKind() override { return vkChevronPopup; }

protected:
    bool IsChevronPopup() override { return true; }
    std::wstring WindowClassName() override;
};

// --- root item and popup menu -------------------------------------------------------------------

class TThmRootItem : public toolbar::TBarRootItem {
public:
    using TBarRootItem::TBarRootItem;

    // The control rectangle of the popup being opened by PopupBelowRect (empty otherwise).
    const RECT& PopupControlRect() const { return FPopupControlRect; }
    // Opens the sub-items as a popup without a parent view (owned by the caller) below
    // `controlRect` (screen coordinates), at its bottom-left corner, and keeps the rectangle
    // as the window's opener.
    virtual toolbar::TBarPopupWindow* PopupBelowRect(bool selectFirst, const RECT& controlRect,
                                                     toolbar::TBarPopupAlignment alignment);

    toolbar::TBarPopupWindowClass GetPopupWindowClass() override;
    void AdjustPopupPosition(toolbar::TBarView* parentView, toolbar::TBarPopupWindow* window,
                             toolbar::TBarPopupPositionRec& rec) override;

private:
    RECT FPopupControlRect{};
};

class TThmPopupMenu : public toolbar::TBarPopupMenu, public TThmViewHost {
public:
    explicit TThmPopupMenu(classlib::TComponent* owner);
    TThmRootItem* ThemedItems() const;
    int ThemeViewKind() override { return vkPopupMenu; }

protected:
    // For derived menus with their own kind of root item (a TThmRootItem).
    TThmPopupMenu(classlib::TComponent* owner, TRootItemFactory rootItemClass);
};

// Shows `menu` below `rect` (screen coordinates; the menu's PopupPoint becomes its bottom-left
// corner) and runs the menu loop, tracking the right button unless the menu's TrackButton is
// the left one. Answers the chosen item, clicked after the menu closed unless
// `returnClickedItemOnly`; null when nothing was chosen.
toolbar::TBarCustomItem* PopupMenuBelowRect(TThmPopupMenu* menu, const RECT& rect, bool returnClickedItemOnly);

// --- template definitions -------------------------------------------------------------------------

bool PopupsOverlapOpener();

template <class F>
void PlaceThemedPopup(toolbar::TBarPopupPositionRec& rec, F place) {
    if (rec.PositionAsSubmenu || !PopupsOverlapOpener()) {
        place();
        return;
    }
    const RECT opener = rec.ParentItemRect;
    --rec.ParentItemRect.right;
    --rec.ParentItemRect.bottom;
    if (rec.X == opener.right) --rec.X;
    if (rec.Y == opener.bottom) --rec.Y;
    --rec.W;
    --rec.H;
    place();
    ++rec.W;
    ++rec.H;
}

}  // namespace themed
