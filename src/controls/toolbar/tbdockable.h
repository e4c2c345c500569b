// The dockable window: the base of toolbars, menu bars, tool windows and dockable panels.
//
// A dockable window lives in one of three states: docked (in a row of a TBarDock), floating
// (the only child of its own small tool form, a TBarFloatingWindowParent, tbfloating.h) or
// neither (placed directly on a form). SetParent is the only transition; it always fires
// OnDockChanging, OnRecreating, OnDockChangingHidden, OnRecreated, OnDockChanged, in this
// order, and keeps the window's handle: the same window moves between docks and floating
// parents (the class library moves windows whose old and new parents both have one).
//
// Sizes: a derived class answers LayoutContent and GetContentSize (the size its contents
// need for a dock kind); the window sizes itself to that (Rearrange), docked windows through
// their dock's arrangement. BeginUpdate/EndUpdate batch rearrangements.
//
// Floating windows follow their form: they hide while the form is hidden or minimised (and,
// with HideWhenInactive, while the application is inactive) and show again with it. A
// per-thread hook (tbhook.h), held only while some window of the thread floats, tells them
// of activation and window changes.
//
// The docked frame (drag handle, close button, hit codes 2000 and 2001) and the mouse entry
// points are in tbdockframe.cpp; the drag and resize loops in tbdragloop.cpp.
//
// Lifetime: the window owns its floating parent (made on first float, freed when it is no
// longer the parent or with the window). Main thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/form.h"
#include "controls/toolbar/tbdock.h"
#include "controls/toolbar/tbdockcalc.h"
#include "controls/toolbar/tbhook.h"

#include <windows.h>

#include <functional>
#include <string>

namespace toolbar {

class TBarFloatingWindowParent;

enum TBarDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TBarDragHandleStyle { dhDouble, dhNone, dhSingle };
enum TBarFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };

// The dock positions a window may dock at (bit n = position n).
using TBarDockableTo = unsigned;
constexpr TBarDockableTo DockableToBit(TBarDockPosition p) { return 1u << p; }
constexpr TBarDockableTo dtAll = 0x0F;

// Non-client hit codes: the drag handle or frame of a docked window, a close button, the
// caption of a floating window.
constexpr LRESULT HTBARDRAG = 2000;
constexpr LRESULT HTBARCLOSE = 2001;
constexpr LRESULT HTBARCAPTION = 2002;

// Resize options of a floating frame (bit set).
constexpr unsigned char roCorners = 0x01;     // the corners resize in two directions
constexpr unsigned char roClipCursor = 0x02;  // the cursor stays on the screen (one monitor)

using TBarDockChangingEvent = std::function<void(classlib::TComponent* sender, bool floating, TBarDock* dockingTo)>;
using TBarCloseQueryEvent = std::function<void(classlib::TComponent* sender, bool& canClose)>;
// Asked before the window's popup menu shows at a screen point (-1, -1: from the keyboard).
using TBarContextPopupEvent = std::function<void(classlib::TComponent* sender, POINT point, bool& handled)>;
// The layout callbacks of ReadExtraLayout / WriteExtraLayout.
using TBarLayoutReadProc = std::function<int(const std::wstring& windowName, const std::wstring& valueName,
                                             int defaultValue)>;
using TBarLayoutWriteProc = std::function<void(const std::wstring& windowName, const std::wstring& valueName,
                                               int value)>;

// The class reference of a floating parent: makes the floating form of a window.
using TBarFloatingWindowParentClass = TBarFloatingWindowParent* (*)();

// A menu popup window answers this marker (the menu code derives its popup windows from it):
// while one is active, floating captions keep their state.
class TBarPopupWindowMarker {
public:
    virtual ~TBarPopupWindowMarker() = default;
};

extern const wchar_t* const STBNoParentWindow;  // "コントロール '%s' は親ウィンドウを持っていません"

class TBarCustomDockableWindow : public classlib::TCustomControl {
public:
    explicit TBarCustomDockableWindow(classlib::TComponent* owner);
    ~TBarCustomDockableWindow() override;

    // --- state
    TBarDock* CurrentDock() const { return FCurrentDock; }
    // A dock re-parents the window into it; null puts it on its form.
    void SetCurrentDock(TBarDock* value);
    bool Docked() const { return FCurrentDock != nullptr; }
    bool Floating() const { return FFloating; }
    void SetFloating(bool value);
    TBarFloatingWindowParent* FloatingParent() const { return FFloatParent; }
    POINT FloatingPosition() const { return FFloatingPosition; }
    // Where the floating form goes. A floating window moves there at once, and whenever it
    // floats; either way it is kept on screen (KeepOnScreen(true)).
    void SetFloatingPosition(POINT value);
    TBarDock* DefaultDock() const { return FDefaultDock; }
    void SetDefaultDock(TBarDock* value);
    TBarDock* LastDock() const { return FLastDock; }
    void SetLastDock(TBarDock* value);
    bool UseLastDock() const { return FUseLastDock; }
    void SetUseLastDock(bool value);
    int DockRow() const { return FDockRow; }
    void SetDockRow(int value);
    int DockPos() const { return FDockPos; }
    void SetDockPos(int value);
    // Where the dock's last arrangement put the window (row -1 until arranged).
    int ArrangedRow() const { return FArrangedRow; }
    int ArrangedPos() const { return FArrangedPos; }
    void SetArranged(int row, int pos) {
        FArrangedRow = row;
        FArrangedPos = pos;
    }
    // Thickness across the rows, stored by the dock's arrangement.
    int Thickness() const { return FThickness; }
    void SetThickness(int value) { FThickness = value; }
    // The length the arrangement gave the window when shorter than its full length, else 0.
    int ShrunkLength() const { return FShrunkLength; }
    void SetShrunkLength(int value) { FShrunkLength = value; }
    // Set by the drag loop for the next arrangement of its dock.
    bool NewRowRequest() const { return FNewRowRequest; }

    // --- drag state (read by docks)
    bool Dragging() const { return FDragging; }
    bool KeepListOrder() const { return FKeepListOrder; }
    bool RowOverflow() const { return FRowOverflow; }
    void SetRowOverflow(bool value) { FRowOverflow = value; }
    bool SmoothDragging() const { return FSmoothDragging; }
    bool CloseButtonPushed() const { return FCloseButtonPushed; }
    bool CloseButtonHot() const { return FCloseButtonHot; }

    // --- properties
    bool ActivateParent() const { return FActivateParent; }
    void SetActivateParent(bool value) { FActivateParent = value; }
    bool AutoResize() const { return FAutoResize; }
    void SetAutoResize(bool value);
    classlib::TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(classlib::TFormBorderStyle value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool value);
    bool CloseButtonWhenDocked() const { return FCloseButtonWhenDocked; }
    void SetCloseButtonWhenDocked(bool value);
    bool DblClickUndock() const { return FDblClickUndock; }
    void SetDblClickUndock(bool value) { FDblClickUndock = value; }
    TBarDockableTo DockableTo() const { return FDockableTo; }
    void SetDockableTo(TBarDockableTo value) { FDockableTo = value; }
    TBarDockMode DockMode() const { return FDockMode; }
    void SetDockMode(TBarDockMode value) { FDockMode = value; }
    TBarDragHandleStyle DragHandleStyle() const { return FDragHandleStyle; }
    void SetDragHandleStyle(TBarDragHandleStyle value);
    TBarFloatingMode FloatingMode() const { return FFloatingMode; }
    void SetFloatingMode(TBarFloatingMode value);
    bool FullSize() const { return FFullSize; }
    void SetFullSize(bool value);
    bool HideWhenInactive() const { return FHideWhenInactive; }
    void SetHideWhenInactive(bool value);
    bool Resizable() const { return FResizable; }
    void SetResizable(bool value);
    unsigned char ResizeOptions() const { return FResizeOptions; }
    void SetResizeOptions(unsigned char value) { FResizeOptions = value; }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    bool SmoothDrag() const { return FSmoothDrag; }
    void SetSmoothDrag(bool value) { FSmoothDrag = value; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);

    // --- events
    classlib::TNotifyEvent OnClose, OnDockChanged, OnMove, OnRecreated, OnRecreating, OnVisibleChanged;
    TBarCloseQueryEvent OnCloseQuery;
    TBarDockChangingEvent OnDockChanging, OnDockChangingHidden;
    TBarContextPopupEvent OnContextPopup;

    // --- sizing
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Lays the contents out for the current state and sizes the window to them (docked:
    // through the dock). Deferred while updating, loading or without parent.
    void Rearrange();
    void ResizeToContent(int width, int height);
    // AutoResize, and docked or floating.
    bool AutoSizeWanted() const;
    // Sizes set by the dock's arrangement or ResizeToContent are not user sizes.
    bool InternalResizing() const { return FInternalResize > 0; }
    void SetBounds(int left, int top, int width, int height) override;

    // --- geometry of the frames
    // The drag-handle strip on the leading side of a docked window (0 when the dock
    // forbids dragging or there is no dock).
    int DragHandleSize() const { return DragHandleSizeFor(FCurrentDock); }
    // The same for a window docked in `dock` (null: 0).
    int DragHandleSizeFor(TBarDock* dock) const;
    // The docked frame a window has in `dock` (2 + 2 each way plus the drag-handle strip
    // on the leading axis); 0, 0 for null.
    SIZE DockedFrameSizeFor(TBarDock* dock) const;
    // The floating frame: the border size on every side, plus the small caption on top
    // when ShowCaption.
    RECT FloatingFrameMargins();

    // --- floating windows
    bool WantsToBeShown();
    void RefreshShownState();
    // Keeps the floating window on the nearest monitor's work area. With onlyWhenOutside a
    // window that keeps a reachable part of its caption on screen stays where it is; one
    // fully outside is moved fully inside, one with only a sliver left is pulled back until
    // its caption can be reached.
    void KeepOnScreen(bool onlyWhenOutside);
    void RefreshCaptionActive();
    bool CaptionInactive() const { return FCaptionInactive; }

    // --- actions
    // OnCloseQuery, then Hide and OnClose.
    void Close();
    // Floats a docked window (DblClickUndock, dmCanFloat) or docks a floating one back.
    void ToggleDockedFloating();
    bool CanBeDragged();
    // Moves the window along its row, to another row or dock, or out into a floating
    // window; (x, y) is the pressed point in client coordinates. Returns when the button
    // is released, Esc is pressed or the capture is lost.
    void DragLoop(int x, int y);
    // Resizes a floating window at `edge` (the hit code minus HTLEFT).
    void ResizeLoop(int edge);
    void DrawMoveOutline(HDC dc, const RECT* newRect, bool newDocked, bool oldDocked, const RECT* oldRect);
    void NotifyMoved();
    // Recomputes and repaints the frame (SWP_FRAMECHANGED).
    void RefreshFrame();
    void RedrawWithFrame();

    // --- what derived windows answer
    virtual void GetDockedNCAreaSize(int& width, int& height);
    virtual bool AcceptsDock(TBarDock* dock);
    virtual void PointOverChildControl(POINT point, bool& found);
    // The content size the window needs in targetDock (null with targetFloating for
    // floating); with applyCurrent the current layout is applied and measured.
    virtual void LayoutContent(bool applyCurrent, TBarDockKind currentKind, bool targetFloating, TBarDock* targetDock,
                               SIZE& size) = 0;
    virtual void DrawNCArea(bool drawToDC, HDC dc, HRGN region);
    // The content size without frame in the current state.
    virtual void GetContentSize(SIZE& size) = 0;
    virtual void GetCloseButtonRect(bool vertical, RECT& rect);
    virtual void GetMinRowLength(int& length);
    virtual void GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth);
    virtual TBarShrinkMode QueryShrinkMode();
    virtual void BeforeSizeChange(int width, int height);
    virtual void GetFloatingFrameSize(SIZE& size);
    virtual bool IgnoresChildForDrag(classlib::TControl* control);
    virtual void FireDockChangingHidden(bool floating, TBarDock* dockingTo);
    virtual TBarFloatingWindowParentClass FloatingParentClass();
    virtual void LoadedHook() {}
    virtual void SizingStarted(int edge) {}
    virtual void SizingFinished() {}
    virtual void SizingTracked(RECT& newRect, const RECT& startRect) {}
    virtual void SizingAccepted() {}
    virtual void ReadExtraLayout(const TBarLayoutReadProc& reader) {}
    virtual void WriteExtraLayout(const TBarLayoutWriteProc& writer) {}

    void SetParent(classlib::TWinControl* parent) override;
    void Loaded() override;

protected:
    friend class TBarDock;
    friend class TBarFloatingWindowParent;

    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& message) override;
    void TearDown() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void CMShowingChanged(classlib::TMessage& message) override;
    void CMVisibleChanged(classlib::TMessage& message) override;
    void CMTextChanged(classlib::TMessage& message) override;
    void CMColorChanged(classlib::TMessage& message) override;
    // Asked before the popup menu shows for a click outside the client area (point on the
    // screen; -1, -1 from the keyboard); the base fires OnContextPopup.
    virtual void DoContextPopup(POINT point, bool& handled);
    // The form the window belongs to; EInvalidOperation when there is none.
    classlib::TForm* RequireOwnerForm();
    // The form that contains the window (through its floating parent when floating), or null.
    classlib::TForm* FindOwnerForm();
    // Docked: the rectangle to hand the dock's PaintBackground, in the window's client (or,
    // with windowCoordinates, window) coordinates: its origin is the dock's parent's client
    // origin, its size the parent's client size.
    RECT DockBackgroundRect(bool windowCoordinates);

private:
    // tbdockframe.cpp: the docked frame and the mouse.
    void WMNCCalcSize(classlib::TMessage& m);
    void WMNCHitTest(classlib::TMessage& m);
    void WMSetCursorDocked(classlib::TMessage& m);
    void WMNCLButtonDown(classlib::TMessage& m);
    void WMNCLButtonDblClk(classlib::TMessage& m);
    void WMNCMouseMove(classlib::TMessage& m);
    void WMContextMenuDocked(classlib::TMessage& m);
    void WMEraseBkgndDocked(classlib::TMessage& m);
    void WMMoveDocked(classlib::TMessage& m);
    bool ShowContextPopup(POINT point);
    void SetCloseButtonState(bool pushed, bool hot);

    void RefreshParentState();
    void UpdateFloatingList();
    void ShowingChanged();
    void SyncTopmost();
    void ArrangeDock();
    static void FloatingWindowHookCallback(TBarHookKind kind, HWND wnd, WPARAM wParam, LPARAM lParam);
    void OwnerFormFreed();

    TBarDock* FCurrentDock = nullptr;
    classlib::TComponentRef<TBarDock> FDefaultDock;
    classlib::TComponentRef<TBarDock> FLastDock;
    TBarFloatingWindowParent* FFloatParent = nullptr;
    POINT FFloatingPosition{};
    int FDockRow = 0;
    int FDockPos = -1;
    int FArrangedRow = -1;
    int FArrangedPos = 0;
    int FThickness = 0;
    int FShrunkLength = 0;
    bool FFloating = false;

    bool FActivateParent = true;
    bool FAutoResize = true;
    classlib::TFormBorderStyle FBorderStyle = classlib::bsSingle;
    bool FCloseButton = true;
    bool FCloseButtonWhenDocked = false;
    bool FDblClickUndock = true;
    TBarDockableTo FDockableTo = dtAll;
    TBarDockMode FDockMode = dmCanFloat;
    TBarDragHandleStyle FDragHandleStyle = dhSingle;
    TBarFloatingMode FFloatingMode = fmOnTopOfParentForm;
    bool FFullSize = false;
    bool FHideWhenInactive = true;
    bool FResizable = true;
    unsigned char FResizeOptions = roCorners | roClipCursor;
    bool FShowCaption = true;
    bool FSmoothDrag = true;
    bool FStretch = false;
    bool FUseLastDock = true;

    int FInternalResize = 0;
    int FUpdateCount = 0;
    int FDisableOnMove = 0;
    int FHideCount = 0;
    bool FRearrangePending = false;
    bool FMoved = false;
    bool FCaptionInactive = false;
    bool FNewRowRequest = false;
    bool FDragging = false;
    bool FKeepListOrder = false;
    bool FRowOverflow = false;
    bool FSmoothDragging = false;
    bool FCloseButtonPushed = false;
    bool FCloseButtonHot = false;

    friend class TBarDragState;
};

// The window of a control when it is a dockable window (or inside one), else null.
TBarCustomDockableWindow* DockableWindowOf(classlib::TControl* control);

}  // namespace toolbar
