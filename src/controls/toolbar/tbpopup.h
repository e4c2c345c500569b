// Popup windows: every sub-menu, drop-down, chevron list and context menu is a
// TBarPopupWindow, a top-level window hosting a TBarPopupView of one item's sub-items.
// TBarCustomItem::CreatePopup (tbitem.h) opens one; PlacePopup decides where it goes;
// TBarPopupMenu is the popup menu component that forms use for context menus.
//
// Lifetime: a popup opened from a view belongs to that view (closed with CloseChildPopups);
// a popup menu's own popup lives for the length of its menu loop. The window owns its view
// and destroys its window before the view. The menu font is one per application (made on
// first use, gone with the application). Main thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/menus.h"
#include "controls/toolbar/tbdockable.h"
#include "controls/toolbar/tbitem.h"
#include "controls/toolbar/tbview.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace toolbar {

// The popup's notices to itself (and to windows derived from it); no pointers travel.
constexpr UINT TBM_POPUPSTATE = 1578;
constexpr WPARAM tbpsQueryAnimate = 1;  // answer non-zero to show without animation
constexpr WPARAM tbpsAnimationEnded = 2;
constexpr WPARAM tbpsShown = 3;

// Directions of the opening (as the animation bits of tbanim.h).
constexpr unsigned tbpdLeft = 0x01, tbpdRight = 0x02, tbpdDown = 0x04, tbpdUp = 0x08;

struct TBarPopupPositionRec {
    bool PositionAsSubmenu = false;
    TBarPopupAlignment Alignment = tbpaLeft;
    bool Opposite = false;    // the parent popup opened towards the left: keep going left
    RECT MonitorRect{};       // the work area used
    RECT ParentItemRect{};    // screen coordinates (empty at the point without a parent)
    int NCSizeX = 0, NCSizeY = 0;
    int X = 0, Y = 0, W = 0, H = 0;
    unsigned AnimDir = 0;
    bool PlaySound = true;
};

// What the placement knows of the parent view.
struct TBarPopupParentInfo {
    bool Exists = false;
    bool Vertical = false;
    // The screen rectangles of the parent view's shown viewers: a placement that covers
    // fewer of them is preferred.
    std::vector<RECT> ViewerRects;
};

// The placement itself: moves rec.X, rec.Y into rec.MonitorRect, flips as described at
// AdjustPopupPosition and sets rec.AnimDir; answers whether a sub-menu went to the left
// of its item.
bool PlacePopup(TBarPopupPositionRec& rec, const TBarPopupParentInfo& parent);

// A rectangle in the client coordinates of `view`'s window, in screen coordinates (as it is
// while the window has no handle).
RECT ScreenRectOf(TBarView* view, const RECT& r);

// The menu font of popups and of toolbars with SystemFont: the system's menu font.
classlib::TFont& MenuFont();
// Reads the system's menu font again (after a settings change).
void RefreshMenuFont();

class TBarPopupView : public TBarView {
public:
    using TBarView::TBarView;
    // The window gets the size plus its border on every side, keeping its position.
    void ResizeWindow(int width, int height) override;
    classlib::TFont& QueryFont() override;
};

using TBarPopupViewClass = TBarView* (*)(classlib::TComponent* owner, TBarView* parentView, TBarCustomItem* item,
                                         classlib::TWinControl* window, bool customizing);

class TBarPopupWindow : public classlib::TCustomControl, public TBarPopupWindowMarker {
public:
    // A hidden popup; Initialize makes its view (NewPopupWindow does both).
    explicit TBarPopupWindow(classlib::TComponent* owner);
    ~TBarPopupWindow() override;
    void Initialize(TBarView* parentView, TBarCustomItem* item, bool customizing);

    TBarView* View() const { return FView; }
    unsigned AnimationDirection = 0;
    virtual SIZE GetBorderSize() { return {3, 3}; }
    virtual TBarPopupViewClass ViewClass();
    // Showing starts the opening animation when the system animates menus.
    void SetVisible(bool value) override;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void Dispatch(classlib::TMessage& message) override;
    void Paint() override;
    virtual void PaintScrollArrows();
    // The frame in the border (window coordinates of `rect`, the whole window).
    virtual void PaintFrame(HDC dc, RECT rect);

private:
    static void FramePainter(HWND wnd, HDC dc, LPARAM self);
    TBarView* FView = nullptr;
    bool FUIStateInitialized = false;
};

template <class W>
TBarPopupWindow* NewPopupWindow(classlib::TComponent* owner, TBarView* parentView, TBarCustomItem* item,
                                bool customizing) {
    auto* window = new W(owner);
    try {
        window->Initialize(parentView, item, customizing);
    } catch (...) {
        delete window;
        throw;
    }
    return window;
}

// Runs the menu loop over the popup that `open` makes (a popup without parent view, owned
// here until the loop ends) and carries out its done action once the popup is gone: the
// chosen item is clicked unless `returnClickedItemOnly`. Answers the chosen item, or null.
// The release of the click that opened the menu is not a choice.
TBarCustomItem* RunModalPopup(const std::function<TBarPopupWindow*()>& open, bool trackRightButton,
                              bool returnClickedItemOnly);

enum TBarTrackButton { tbLeftButton, tbRightButton };

// The popup menu component: a root item whose sub-items show as a popup menu.
class TBarPopupMenu : public classlib::TPopupMenu, public ItemContainerInterface {
public:
    explicit TBarPopupMenu(classlib::TComponent* owner);
    ~TBarPopupMenu() override;

    TBarRootItem* Items() const { return FItem; }
    TBarCustomItem* GetItems() override { return FItem; }
    classlib::TImageList* Images() const { return FItem->SubMenuImages(); }
    void SetImages(classlib::TImageList* value) { FItem->SetSubMenuImages(value); }
    TBarCustomItem* LinkSubitems() const { return FItem->LinkSubitems(); }
    void SetLinkSubitems(TBarCustomItem* value) { FItem->SetLinkSubitems(value); }
    TBarItemOptions Options() const { return FItem->Options(); }
    void SetOptions(TBarItemOptions value) { FItem->SetOptions(value); }
    TBarTrackButton TrackButton = tbRightButton;
    POINT PopupPoint{};

    void Popup(int x, int y) override;
    // Shows the menu at the screen point; answers the chosen item (clicked after the menu
    // closed unless `returnClickedItemOnly`).
    TBarCustomItem* PopupEx(int x, int y, bool returnClickedItemOnly);
    bool IsShortCut(WORD key, LPARAM keyData);

protected:
    using TRootItemFactory = TBarRootItem* (*)(classlib::TComponent* owner);
    // For derived menus with their own kind of root item.
    TBarPopupMenu(classlib::TComponent* owner, TRootItemFactory rootItemClass);

private:
    void RootItemClick(classlib::TComponent* sender);
    TBarRootItem* FItem;
};

}  // namespace toolbar
