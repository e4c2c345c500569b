#pragma once
// The toolbar controls of the program: the dock (TUiDock) with a custom-drawn background,
// the toolbar (TUiToolbar) with display modes, a right-aligned part that starts at a
// TUiRightAlignSpacerItem, items anchored to the dock's size, item notifications and a
// custom-drawn background; its view, chevron, floating form and popup windows; the popup
// menu (TUiPopupMenu) with its own modal popup; and the compound controls (a plain control
// that owns one private dock with one private toolbar) that the status bar, title bar and
// tab controls build on.
//
// Customize mode (dragging items between toolbars) is never entered by the program: the
// customizing count stays 0. The tab toolbar (uitabs.h) replaces the mouse-down step with
// its tab clicks and reordering.
//
// Lifetime: toolbars and compound controls are components owned by their forms; a compound
// control owns its dock and toolbar. Main thread only.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/control.h"
#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmdock.h"
#include "controls/toolbar/themed/thmfloating.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmpopup.h"
#include "controls/toolbar/themed/thmtoolbar.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uitypes.h"

namespace ui {

class TUiToolbar;

// One re-layout step of a toolbar's view: sets `flag` (which keeps the step from running
// again from inside itself), makes the view's positions valid and holds its updates; the
// destructor ends the updates and clears the flag.
class TUiLayoutStep {
public:
    TUiLayoutStep(bool& flag, toolbar::TBarView* view);
    ~TUiLayoutStep();
    TUiLayoutStep(const TUiLayoutStep&) = delete;
    TUiLayoutStep& operator=(const TUiLayoutStep&) = delete;

private:
    bool& FFlag;
    toolbar::TBarView* FView;
};

// The device context of a toolbar's non-client painting: the one given when drawing to a DC,
// else the window's own (released again); its state is restored at the end. Knows the window
// rectangle on screen and the client area in window coordinates.
class TUiNCPaintDC {
public:
    TUiNCPaintDC(classlib::TWinControl& control, bool drawToDC, HDC dc);
    TUiNCPaintDC(const TUiNCPaintDC&) = delete;
    TUiNCPaintDC& operator=(const TUiNCPaintDC&) = delete;
    HDC DC() const { return FRelease.DC; }
    const RECT& Window() const { return FWindow; }
    const RECT& Client() const { return FClient; }

private:
    struct TRelease {
        HWND Window;
        HDC DC;
        bool Own;
        ~TRelease() {
            if (Own && DC) ReleaseDC(Window, DC);
        }
    } FRelease;
    classlib::TSavedDC FSaved;
    RECT FWindow{};
    RECT FClient{};
};

// --- dock ---------------------------------------------------------------------------------------

class TUiDock : public themed::TThmDock {
public:
    explicit TUiDock(classlib::TComponent* owner);

    TUiDrawEvent OnDrawBackground;
    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);

    // OnDrawBackground around the themed dock's background.
    void PaintBackground(HDC dc, const RECT& rect) override;
    // Also true while OnDrawBackground is assigned.
    bool BackgroundInUse() override;

protected:
    // A dock that became narrower (top and bottom) or lower (left and right) than before
    // lets each of its toolbars re-align its items.
    void Resize() override;

private:
    int FLastWidth = 0, FLastHeight = 0;
};

// --- toolbar ------------------------------------------------------------------------------------

class TUiToolbarView : public themed::TThmToolbarView {
public:
    using TThmToolbarView::TThmToolbarView;
    // The thickest an item may be (-1: no limit); a change lays the view out again.
    int MaxItemHeight() const { return FMaxItemHeight; }
    void SetMaxItemHeight(int value);

private:
    int FMaxItemHeight = -1;
};

// The chevron; its popup lists the hidden items vertically while the toolbar's
// ChevronVertical is on.
class TUiChevronItem : public themed::TThmChevronItem {
public:
    using TThmChevronItem::TThmChevronItem;
    toolbar::TBarPopupWindowClass GetPopupWindowClass() override;
};

enum TUiToolbarDisplayMode { tbdmSelectiveCaption, tbdmImageOnly, tbdmImageAboveCaption, tbdmTextOnly };

class TUiToolbar : public themed::TThmToolbar {
public:
    explicit TUiToolbar(classlib::TComponent* owner);
    ~TUiToolbar() override;

    TUiToolbarView* UiView() const;

    // The chevron popup lists its items as a menu.
    bool ChevronVertical() const { return FChevronVertical; }
    void SetChevronVertical(bool value) { FChevronVertical = value; }
    // Belongs to a compound control (status bar, title bar, tab control, panel caption).
    bool Compound() const { return FCompound; }
    void SetCompound(bool value) { FCompound = value; }
    bool Customizable() const { return FCustomizable; }
    void SetCustomizable(bool value) { FCustomizable = value; }
    // tbdmImageAboveCaption adds tboImageAboveCaption and tboSameWidth to Options, any other
    // mode removes both; the view is laid out again.
    TUiToolbarDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TUiToolbarDisplayMode value);

    // While the lock is held, item notifications are ignored (no OnItemNotification, no
    // re-alignment). EndItemLock never takes the count below 0.
    void BeginItemLock() { ++FItemLockCount; }
    void EndItemLock();
    bool IsItemLocked() const { return FItemLockCount > 0; }
    bool IsCustomizing() const { return FCustomizingCount > 0; }

    // The far edge of the last selectable item after the last anchoring (0: none).
    int LastEdge() const { return FLastEdge; }
    // The viewer whose item is being dragged (tab reordering), or null.
    toolbar::TBarItemViewer* DragViewer() const { return FDragViewer; }
    TUiItemCacheCollection& ItemCache() { return FItemCache; }

    TUiDrawEvent OnDrawBackground;
    TUiItemNotificationEvent OnItemNotification;

    // --- steps derived toolbars replace
    // A press consumed before the normal mouse-down handling (true). Here: clears the drag
    // viewer and answers false.
    virtual bool DoCustomizeMouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y);
    // The room kept free at the far end when right-aligning: the docked frame's width.
    virtual int GetRightAlignMargin();
    // Items marked Anchored grow and shrink with the dock; controls aligned alClient or
    // anchored to the right follow its width. `updateAnchors` moves every anchor by how far
    // the far edge of the last selectable item moved since the last anchoring.
    virtual void AnchorItems(bool updateAnchors);
    // Gives the first visible TUiRightAlignSpacerItem the free length (never below 0), so
    // that the items after it end at the far edge of the dock.
    virtual void RightAlignItems();
    virtual bool CanItemClick(toolbar::TBarCustomItem* item, classlib::TMouseButton button,
                              classlib::TShiftState shift, int x, int y);
    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);
    // A left click on an enabled click-transparent item (a label) runs its OnClick.
    virtual void DoItemClick(toolbar::TBarCustomItem* item, classlib::TMouseButton button,
                             classlib::TShiftState shift, int x, int y);
    // The root item's change listener: fires OnItemNotification and re-aligns after
    // insertions, deletions and resizes (not while destroying, in a resize or locked).
    virtual void ToolbarItemNotification(toolbar::TBarCustomItem* ancestor, bool relayed,
                                         toolbar::TBarItemChangedAction action, int index,
                                         toolbar::TBarCustomItem* item);

    toolbar::TBarFloatingWindowParentClass FloatingParentClass() override;
    void DrawNCArea(bool drawToDC, HDC dc, HRGN region) override;
    // Re-aligns and re-anchors the items, then the control's own Resize (OnResize).
    void Resize() override;

protected:
    // For derived toolbars with their own chevron item and view (TUiChevronItem and
    // TUiToolbarView or descendants).
    TUiToolbar(classlib::TComponent* owner, TChevronItemClass chevronItemClass, TToolbarViewClass viewClass);

    void Dispatch(classlib::TMessage& message) override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void TearDown() override;

    bool InResize() const { return FInResize; }
    void SetDragViewer(toolbar::TBarItemViewer* viewer) { FDragViewer = viewer; }
    // The dock's client size along the rows (0 without a dock).
    int DockLength() const;
    bool OnVerticalDock() const;

private:
    class TRootListener : public toolbar::TBarItemChangeListener {
    public:
        explicit TRootListener(TUiToolbar* owner) : FOwner(owner) {}
        void ItemChanged(toolbar::TBarCustomItem* ancestor, bool relayed, toolbar::TBarItemChangedAction action,
                         int index, toolbar::TBarCustomItem* item) override;

    private:
        TUiToolbar* FOwner;
    };
    void Init();
    void EraseBackground(classlib::TMessage& m);

    bool FChevronVertical = true;
    bool FCompound = false;
    bool FCustomizable = true;
    int FCustomizingCount = 0;
    int FItemLockCount = 0;
    TUiToolbarDisplayMode FDisplayMode = tbdmSelectiveCaption;
    bool FInResize = false;
    bool FAligning = false;
    int FLastEdge = 0;
    toolbar::TBarItemViewer* FDragViewer = nullptr;
    toolbar::TBarCustomItem* FDeletingItem = nullptr;
    TUiItemCacheCollection FItemCache;
    TRootListener FRootListener{this};
};

// --- floating form and popups -------------------------------------------------------------------

// The floating form of a TUiToolbar: its caption is the toolbar's UTF-16 caption, in the
// caption colour for the themes that draw a system-like caption; those themes also repaint
// the frame when the application is activated or deactivated.
class TUiFloatingWindowParent : public themed::TThmFloatingWindowParent {
public:
    using TThmFloatingWindowParent::TThmFloatingWindowParent;

protected:
    void Dispatch(classlib::TMessage& message) override;
};

class TUiPopupWindowView : public themed::TThmPopupView {
public:
    using TThmPopupView::TThmPopupView;
};

class TUiPopupWindow : public themed::TThmPopupWindow {
public:
    using TThmPopupWindow::TThmPopupWindow;
    toolbar::TBarPopupViewClass ViewClass() override;

protected:
    // Fires the opener's OnClosePopup with the item clicked in the menu (or null).
    void TearDown() override;
};

class TUiChevronPopupWindow : public themed::TThmChevronPopupWindow {
public:
    using TThmChevronPopupWindow::TThmChevronPopupWindow;
    toolbar::TBarPopupViewClass ViewClass() override;
};

// The popup windows of Ui items: a TUiPopupWindow whose view shows the items as a toolbar
// when the opening item has ToolbarStylePopup; the chevron's popup, listing the items as a
// menu while its toolbar has ChevronVertical.
toolbar::TBarPopupWindow* NewUiPopupWindow(classlib::TComponent* owner, toolbar::TBarView* parentView,
                                           toolbar::TBarCustomItem* item, bool customizing);
toolbar::TBarPopupWindow* NewUiChevronPopupWindow(classlib::TComponent* owner, toolbar::TBarView* parentView,
                                                  toolbar::TBarCustomItem* item, bool customizing);

// --- popup menu ---------------------------------------------------------------------------------

class TUiPopupMenu : public themed::TThmPopupMenu {
public:
    explicit TUiPopupMenu(classlib::TComponent* owner);

    // Fired once the popup window has opened, before the menu loop starts.
    TUiPopupEvent OnInitPopup;
    virtual void DoInitPopup(toolbar::TBarView* popupView);

    // Shows the menu at the screen point (below `popupControl` when it has a parent: the
    // control's bounds are kept free), runs the menu loop and carries out the choice (the
    // chosen item is clicked after the loop unless `returnClickedItemOnly`). Afterwards a
    // windowed popupControl and its child windows get CM_UIPOPUPCLOSE. True.
    virtual bool InternalPopup(int x, int y, bool returnClickedItemOnly, classlib::TControl* popupControl,
                               toolbar::TBarCustomItem*& clickedItem);
    virtual toolbar::TBarCustomItem* PopupEx(int x, int y, bool returnClickedItemOnly,
                                             classlib::TControl* popupControl);
    void Popup(int x, int y) override;
};

// ShowSystemMenuPopup (uiwindows.h) with a TUiPopupMenu owned by the form.
int ShowSystemMenuPopup(classlib::TForm* form, POINT screenPoint, bool sizeable, bool execute,
                        const TUiPopupEvent& onInitPopup, bool closeVisible, bool maximizeVisible,
                        bool minimizeVisible);

// --- drag objects -------------------------------------------------------------------------------

// What a toolbar drags: the source toolbar, the item and the cursors shown while the drop is
// accepted (the move cursor) and refused.
class TUiCustomDragObject {
public:
    TUiCustomDragObject(TUiToolbar* sourceToolbar, toolbar::TBarCustomItem* item);
    virtual ~TUiCustomDragObject() = default;
    TUiToolbar* SourceToolbar() const { return FSourceToolbar; }
    toolbar::TBarCustomItem* Item() const { return FItem; }
    classlib::TCursor DragCursor(bool accepted) const { return accepted ? AcceptedCursor : RefusedCursor; }
    classlib::TCursor AcceptedCursor;
    classlib::TCursor RefusedCursor = classlib::crNo;

private:
    TUiToolbar* FSourceToolbar;
    toolbar::TBarCustomItem* FItem;
};

class TUiItemDragObject : public TUiCustomDragObject {
public:
    using TUiCustomDragObject::TUiCustomDragObject;
};

// The viewer of `view` under a client point: a viewer whose item is a direct sub-item of
// `root`, or the chevron, as it is; a viewer of an item inside an embedded group answers the
// group's viewer; null elsewhere.
toolbar::TBarItemViewer* ViewerAtPointForDrop(toolbar::TBarCustomItem* root, toolbar::TBarView* view, POINT point);

// --- compound controls --------------------------------------------------------------------------

// A plain control that owns one private dock and one private toolbar docked on it (no drag
// handle, no border, stretched, never floating). Its items are the toolbar's.
class TUiCompoundItemsControl : public classlib::TCustomControl,
                                public toolbar::ItemContainerInterface,
                                public themed::TThmThemeClient {
public:
    using TDockClass = TUiDock* (*)(classlib::TComponent* owner);
    using TToolbarClass = TUiToolbar* (*)(classlib::TComponent* owner);

    explicit TUiCompoundItemsControl(classlib::TComponent* owner);
    ~TUiCompoundItemsControl() override;

    toolbar::TBarRootItem* Items() const;
    toolbar::TBarCustomItem* GetItems() override { return Items(); }
    classlib::TImageList* Images() const;
    void SetImages(classlib::TImageList* value);
    TUiThemeType ThemeType() const { return FThemeType; }
    void SetThemeType(TUiThemeType value);
    TUiDock* Dock() const { return FDock; }
    TUiToolbar* Toolbar() const { return FToolbar; }

    // Repaints the control and its children with erasing (not while destroying).
    virtual void InvalidateBackground();
    // tnEndChange repaints the background.
    void HandleThemeChange(int change, bool themeSwitched) override;
    // The private dock and toolbar take their place when the control first gets a parent.
    void SetParent(classlib::TWinControl* parent) override;

protected:
    // For derived controls with their own dock and toolbar classes.
    TUiCompoundItemsControl(classlib::TComponent* owner, TDockClass dockClass, TToolbarClass toolbarClass);
    void CreateParams(classlib::TCreateParams& params) override;
    void TearDown() override;

private:
    TUiThemeType FThemeType = thtThm;
    TUiDock* FDock = nullptr;
    TUiToolbar* FToolbar = nullptr;
};

// A compound control as high as its dock, whose dock background (the toolbar's row) it
// paints: the brush is the button face and OnDrawDockBackground decides whether the dock's
// own background is painted.
class TUiCompoundBar : public TUiCompoundItemsControl {
public:
    explicit TUiCompoundBar(classlib::TComponent* owner);

    TUiDrawEvent OnDrawDockBackground;
    virtual void DoDrawDockBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                      bool& paintDefault);

protected:
    TUiCompoundBar(classlib::TComponent* owner, TDockClass dockClass, TToolbarClass toolbarClass);

private:
    void Init();
};

// Class references of the Ui dock and toolbar, for TUiCompoundItemsControl.
TUiDock* NewUiDock(classlib::TComponent* owner);
TUiToolbar* NewUiToolbar(classlib::TComponent* owner);

}  // namespace ui
