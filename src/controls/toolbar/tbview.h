// A view: one level of the item tree shown in one window (a toolbar's root item in the
// toolbar, or a sub-menu in a popup window).
//
// The view keeps one viewer (TBarItemViewer) per item of the level it shows, in display
// order: first the leading special viewers (an MDI system-menu item), then the items of the
// level with the items of embedded groups inline, then the trailing special viewers (MDI
// buttons, the chevron). It rebuilds the list as the items change (it listens to the shown
// level and to its parent item), computes every viewer's place with the layout of
// tblayout.h, and draws the viewers. Popup views and toolbar views derive from it; the
// selection, keyboard and popup behaviour of the menu loop build on the state kept here.
//
// Layout timing:
// - Changes only invalidate the positions. They are recomputed once the update count is 0
//   (BeginUpdate/EndUpdate batch a burst of changes) - at once while the view's window is
//   showing, otherwise when something first needs them. Everything that reads positions or
//   sizes (painting, hit tests, the base size, the open-popup placement) goes through
//   EnsurePositionsValid, so a hidden view is laid out once however many items it gets.
// - A layout that moved anything repaints the whole window at once through an offscreen
//   bitmap, so nothing flickers between layout and paint.
//
// A derived view whose QueryChevronItem, QueryMDIButtonsItem or QueryMDISystemMenuItem
// answers an item calls RebuildViewers once it is constructed: the base constructor builds
// the viewers before the derived overrides are reachable.
//
// Lifetime: the view is a component (its owner frees it); it owns its viewers and its open
// popup window. It must be destroyed before its window. The parent item may go first: the
// view then shows nothing. Main thread only.
#pragma once

#include "classlib/component.h"
#include "classlib/control.h"
#include "classlib/graphics.h"
#include "controls/toolbar/tbitem.h"
#include "controls/toolbar/tblayout.h"
#include "controls/toolbar/tbviewer.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace toolbar {

// State bits of a view.
constexpr unsigned tbvsModal = 0x01;                 // a menu loop runs with this view in its chain
constexpr unsigned tbvsMouseInWindow = 0x02;
constexpr unsigned tbvsDrawSelectedInOrder = 0x04;   // the selected viewer is not drawn last
constexpr unsigned tbvsOpenedLeft = 0x08;            // the popup opened towards the left
constexpr unsigned tbvsIgnoreNextRelease = 0x10;
constexpr unsigned tbvsAccelsShown = 0x20;
constexpr unsigned tbvsMenuMode = 0x40;              // the toolbar shows a menu
constexpr unsigned tbvsChildPopupDestroyed = 0x80;

// The menu timers: identifier = tbTimerBase + kind, on the view's popup window.
constexpr int tbtkOpen = 0, tbtkClose = 1, tbtkScrollUp = 2, tbtkScrollDown = 3;
constexpr UINT_PTR tbTimerBase = 9000;

// Options of EnterToolbarLoop.
constexpr unsigned tbloMouseDown = 0x01, tbloExecuteSelected = 0x02, tbloFromAccessibility = 0x04;

// Style bits of a view.
constexpr unsigned tbvstMenuBar = 0x01;
constexpr unsigned tbvstHiddenAccels = 0x02;  // accelerators shown only after keyboard use
constexpr unsigned tbvstItemHints = 0x04;     // item hints in the menu loop

// The wheel arithmetic of long popups: adds `delta` to `accumulator` and answers how many
// lines to scroll; `down` tells the direction (a negative accumulator scrolls down). What
// is less than a line stays in the accumulator. `lines` is the system's lines per notch:
// 0 turns the wheel off (the accumulator is emptied), WHEEL_PAGESCROLL counts as
// `pageLines`.
// Lets assistive tools start the menu loop (done by every view's constructor).
void PlugMenuLoopIntoAccessibility();

int WheelScrollSteps(int& accumulator, int delta, UINT lines, int pageLines, bool& down);

class TBarView : public classlib::TComponent {
public:
    TBarView(classlib::TComponent* owner, TBarView* parentView, TBarCustomItem* parentItem,
             classlib::TWinControl* window, bool isToolbar, bool customizing, bool usePriorityList);
    ~TBarView() override;

    // --- structure
    TBarView* ParentView() const { return FParentView; }
    TBarCustomItem* ParentItem() const { return FParentItem; }
    // Whose sub-items are shown: the parent item's SubitemsSource.
    TBarCustomItem* ShownItemLevel() const { return FShownLevel; }
    classlib::TWinControl* Window() const { return FWindow; }
    bool IsToolbar() const { return FIsToolbar; }
    bool IsPopup() const { return !FIsToolbar; }
    void SetIsToolbar(bool value) { FIsToolbar = value; }
    bool Customizing() const { return FCustomizing; }
    TBarView* GetRootView();
    TBarView* GetParentToolbarView();
    bool ContainsView(const TBarView* view) const;
    TBarView* ChevronParentView() const { return FChevronParentView; }
    void SetChevronParentView(TBarView* view) { FChevronParentView = view; }

    // --- viewers
    int ViewerCount() const { return static_cast<int>(FViewers.size()); }
    TBarItemViewer* Viewers(int index) const { return FViewers[static_cast<size_t>(index)].get(); }
    int LeadingSpecialCount() const { return FLeadingSpecialCount; }
    int TrailingSpecialCount() const { return FTrailingSpecialCount; }
    // The first viewer of `item`; ETBItemError when it has none.
    TBarItemViewer* ViewerOfItem(TBarCustomItem* item);
    int IndexOfViewer(const TBarItemViewer* viewer) const;
    // The shown viewer at a client point, or null.
    TBarItemViewer* ViewerAtPoint(POINT p);
    void RebuildViewers();
    // Replaces the viewer at `index` by a new one of its item's current viewer class.
    void RecreateViewer(int index);
    // Inserts the viewers of `item` (and of its embedded group, recursively) at `index`;
    // answers how many were inserted.
    int InsertItemViewers(int index, TBarCustomItem* item, bool toFrontOfPriority, bool enterInPriority,
                          int groupLevel);

    // --- priority (which viewers stay visible when the chevron takes room)
    bool UsePriorityList() const { return FUsePriorityList; }
    void SetUsePriorityList(bool value);
    const std::vector<TBarItemViewer*>& PriorityList() const { return FPriorityList; }
    // Whether new viewers go to the front of the priority list (true at creation).
    bool NewViewersGetHighestPriority = true;
    // Moves the viewer to the front of the priority list (for a chevron popup: the
    // toolbar's viewer of the same item), and its ancestors' open viewers likewise.
    void GivePriority(TBarItemViewer* viewer);
    TBarItemViewer* HighestPriorityViewer();
    // The windowed controls of control items hidden behind the chevron.
    void GetBeyondChevronControlList(std::vector<classlib::TWinControl*>& list);

    // --- layout
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    bool PositionsValid() const { return FValidated; }
    virtual void InvalidatePositions();
    void EnsurePositionsValid();
    // Recomputes when the positions are invalid, nothing holds an update and nothing is
    // loading - at once while the window is showing (else EnsurePositionsValid does it).
    void ValidatePositionsIfReady();
    // The same for a window about to be shown: recomputes also while it is not visible yet.
    void ValidatePositionsBeforeShowing();
    // Computes the positions now; `totalSize` receives the view's size.
    void RecalcPositions(SIZE& totalSize);
    // A layout with the view's settings replaced: `orientation`, `wrapOffset`,
    // `chevronOffset` and `chevronSize`. With `apply` the results go to the viewers and the
    // controls (and the result says whether anything moved); without, nothing changes.
    bool CalculatePositions(bool apply, TBarViewOrientation orientation, int wrapOffset, int chevronOffset,
                            int chevronSize, TBarLayoutResult& result);
    TBarViewOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TBarViewOrientation value);
    int WrapOffset() const { return FWrapOffset; }
    void SetWrapOffset(int value);
    int ChevronOffset() const { return FChevronOffset; }
    void SetChevronOffset(int value);
    int ChevronSize() const { return FChevronSize; }
    void SetChevronSize(int value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int value);
    int ScrollOffset() const { return FScrollOffset; }
    void SetScrollOffset(int value);
    bool ShowUpArrow() const { return FShowUpArrow; }
    bool ShowDownArrow() const { return FShowDownArrow; }
    SIZE BaseSize() const { return FBaseSize; }
    int WrappedLines() const { return FWrappedLines; }
    RECT MonitorRect{};
    classlib::TColor BackgroundColor = classlib::clDefault;

    // --- painting
    void DrawSubitems(classlib::TCanvas& canvas);
    void DrawViewer(TBarItemViewer* viewer, classlib::TCanvas& canvas, bool offscreen);
    // Repaints a shown viewer (its background first) when the positions are valid.
    void InvalidateViewer(TBarItemViewer* viewer);
    virtual classlib::TFont& QueryFont();
    virtual void QueryMargins(TBarViewOrientation orientation, RECT& margins);

    // --- state shared with the menu loop
    unsigned State() const { return FState; }
    void SetState(unsigned value) { FState = value; }
    unsigned Style() const { return FStyle; }
    void SetStyle(unsigned value) { FStyle = value; }
    TBarItemViewer* Selected() const { return FSelected; }
    bool SelectedViaMouse() const { return FSelectedViaMouse; }
    bool MouseOverSelected() const { return FMouseOverSelected; }
    bool MouseTracking() const { return FMouseTracking; }
    HWND CaptureWnd = nullptr;
    TBarItemViewer* OpenViewer() const { return FOpenViewer; }
    TBarView* OpenView() const { return FOpenView; }
    classlib::TWinControl* OpenPopupWindow() const { return FOpenPopupWindow; }
    // Records a popup window (owned from now on) as open for `viewer`, showing `view`.
    void SetOpenPopup(TBarItemViewer* viewer, TBarView* view, classlib::TWinControl* window);
    TBarDoneActionData DoneAction;
    unsigned ActiveTimers = 0;
    int WheelAccumulator = 0;

    // --- selection and navigation (tbnav.cpp)
    // Selects `viewer` (null: nothing); the leaving and entering viewers hear of it and
    // are repainted as their items ask. Inside a menu loop it also opens and closes
    // sub-menus (at once, or through the menu timers for mouse selections in popups).
    virtual void Select(TBarItemViewer* viewer, bool viaMouse);
    // Hot tracking: selects the viewer under `screenPoint` (null: no point, the mouse is
    // elsewhere); new selections only with `allowNewSelection`. Also runs the scroll timers
    // over the arrow bands of a long popup.
    void UpdateSelection(const POINT* screenPoint, bool allowNewSelection);
    // The next viewer after `from` (null: from the start) in the direction that is shown
    // or scrolled out and whose item is visible and selectable; wraps around; null when
    // there is none.
    TBarItemViewer* NextSelectableViewer(TBarItemViewer* from, bool forward);
    // The first selectable viewer without tbstDontSelectFirst (when all have it, the first).
    TBarItemViewer* FirstSelectable();
    void SelectNext(bool forward);
    // The viewer after `from` whose caption's accelerator is `key` (ignoring case); without
    // `requirePrimary` also one whose caption starts with it. Enabled items are preferred.
    // `onlyOne`: no other viewer of the same kind matches (always true for a disabled hit).
    TBarItemViewer* NextSelectableWithAccel(TBarItemViewer* from, wchar_t key, bool requirePrimary, bool& onlyOne);
    // Long popups: scrolls by one item; brings a scrolled-out selection into view.
    void Scroll(bool down);
    void ScrollSelectedIntoView();
    // The keys of the menu loop that no viewer took (Tab, Enter, Esc, arrows, Home, End,
    // Alt, F10, F1); a handled key is set to 0.
    virtual void KeyDown(WORD& key, classlib::TShiftState shift);
    // The wheel over a popup with scroll arrows; `x`, `y` in the window's client area.
    virtual void MouseWheel(int delta, int x, int y);
    // The menu timers (kinds tbtkOpen..tbtkScrollDown) on the view's popup window.
    void StartTimer(int kind, UINT milliseconds);
    void StopTimer(int kind);
    void StopAllTimers();
    void TimerTick(int kind);
    // Opens the selected viewer's sub-menu; answers whether a popup is open.
    virtual bool OpenChildPopup(bool selectFirst);
    void CloseChildPopups();
    // A toolbar view also leaves menu mode.
    void CancelChildPopups();
    // Ends the menu loop and hides every popup of the chain at once.
    void CancelMode();
    // Shows the accelerator marks (or hides them again, unless the system shows them always).
    void SetAccelsVisibility(bool show);
    // Tells assistive tools which item has the focus (only while the menu loop runs).
    void NotifyFocusEvent();
    // Runs the menu loop with this view as root (options tbloMouseDown, tbloExecuteSelected,
    // tbloFromAccessibility); nothing while it already runs. Carries out the done action
    // after the loop and answers its clicked item (null for none).
    TBarCustomItem* EnterToolbarLoop(unsigned options);
    // Mouse tracking of the pressed viewer.
    void SetCapture();
    void CancelCapture();
    // Done actions, recorded in the root view.
    bool IsModalEnding();
    void EndModal();
    void EndModalWithClick(TBarItemViewer* viewer);
    void EndModalWithHelp(int context);
    void EndModalWithSystemMenu(HWND wnd, WPARAM key);
    void ExecuteSelected(bool givePriority);

    // --- extension points
    virtual void ResizeWindow(int width, int height) {}
    virtual void DoRecalcPositions(SIZE& totalSize);
    virtual TBarCustomItem* QueryChevronItem() { return nullptr; }
    virtual TBarCustomItem* QueryMDIButtonsItem() { return nullptr; }
    virtual TBarCustomItem* QueryMDISystemMenuItem() { return nullptr; }

protected:
    void LinkChanged();
    void ItemNotify(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action, int index,
                    TBarCustomItem* item);
    void ParentItemNotify(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action, int index,
                          TBarCustomItem* item);
    void ImagesChanged();

private:
    // Forwards one item's notifications to one of the view's two handlers.
    class TListener : public TBarItemChangeListener {
    public:
        TListener(TBarView* view, bool parent) : FView(view), FParent(parent) {}
        void ItemChanged(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action, int index,
                         TBarCustomItem* item) override;

    private:
        TBarView* FView;
        bool FParent;
    };

    void ParentItemFreed();
    std::vector<TBarItemViewer*> ViewerPointers() const;
    void InsertViewer(TBarCustomItem* item, int groupLevel);
    void DeleteViewersOf(TBarCustomItem* item);
    void RemoveViewerAt(int index);
    void FreeViewers();
    int FindInsertionIndex(TBarCustomItem* ancestor, TBarCustomItem* item, int& groupLevel);
    bool WindowShowing();
    bool IsChevronPopupCandidate(int index);

    TBarView* FParentView;
    classlib::TComponentRef<TBarCustomItem> FParentItem{[this] { ParentItemFreed(); }};
    TBarCustomItem* FParentItemSeen = nullptr;  // the parent item, also while it is being freed
    TBarCustomItem* FShownLevel = nullptr;
    classlib::TWinControl* FWindow;
    bool FIsToolbar;
    bool FCustomizing;
    bool FUsePriorityList;
    classlib::TComponentRef<TBarView> FChevronParentView;
    TListener FItemListener{this, false};
    TListener FParentListener{this, true};

    std::vector<std::unique_ptr<TBarItemViewer>> FViewers;
    std::vector<TBarItemViewer*> FPriorityList;
    int FLeadingSpecialCount = 0;
    int FTrailingSpecialCount = 0;

    int FUpdateCount = 0;
    bool FValidated = false;
    TBarViewOrientation FOrientation = tbvoHorizontal;
    int FWrapOffset = 0;
    int FChevronOffset = 0;
    int FChevronSize = 0;
    int FMaxHeight = 0;
    int FScrollOffset = 0;
    bool FShowUpArrow = false, FShowDownArrow = false;
    SIZE FBaseSize{};
    int FWrappedLines = 1;

    unsigned FState = 0;
    unsigned FStyle = 0;
    TBarItemViewer* FSelected = nullptr;
    bool FSelectedViaMouse = false;
    bool FMouseOverSelected = false;
    bool FMouseTracking = false;
    classlib::TFont FFallbackFont;
    TBarItemViewer* FOpenViewer = nullptr;
    TBarView* FOpenView = nullptr;
    classlib::TComponentRef<classlib::TWinControl> FOpenPopupWindow{[this] {
        FOpenViewer = nullptr;
        FOpenView = nullptr;
    }};
};

}  // namespace toolbar
