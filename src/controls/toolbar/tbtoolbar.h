// The toolbar control: a dockable window (tbdockable.h) that shows the sub-items of its own
// root item through a TBarToolbarView. Every toolbar and the menu bar of the program is one.
//
// It sizes itself from the view's layout for the dock or floating state it is in, wraps or
// hides items behind a chevron when room is short, hot-tracks the mouse, runs the menu loop
// (tbmodal.h) on a press or from the keyboard, acts as a menu bar (Alt, F10, accelerators,
// the menu keys of its form), processes its items' shortcuts for its form, and wraps the
// controls placed on it into control items.
//
// Lifetime: the toolbar owns its view, root item and chevron item. Toolbars that process
// shortcuts are in a process-wide list while they do (the application's main-window hook
// asks them); the list and hook are kept up to date by the toolbar itself. Main thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/form.h"
#include "controls/toolbar/tbdockable.h"
#include "controls/toolbar/tbitem.h"
#include "controls/toolbar/tbview.h"
#include "controls/toolbar/tbviewer.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace toolbar {

class TBarCustomToolbar;

extern const wchar_t* const STBChevronHint;  // "More Buttons|"

enum TBarChevronPriorityForNewItems { tbcpHighest, tbcpLowest };

// A size a floating toolbar can take (client size, one line count each).
struct TBarFloatingSize {
    std::int16_t Width = 0, Height = 0;
};

// The toolbar's view. Its owner must be a TBarCustomToolbar (EInvalidCast otherwise).
class TBarToolbarView : public TBarView {
public:
    TBarToolbarView(classlib::TComponent* owner, TBarView* parentView, TBarCustomItem* parentItem,
                    classlib::TWinControl* window, bool isToolbar, bool customizing, bool usePriorityList);
    TBarCustomToolbar* Toolbar() const { return FToolbar; }
    void ResizeWindow(int width, int height) override;
    void DoRecalcPositions(SIZE& totalSize) override;
    TBarCustomItem* QueryChevronItem() override;
    TBarCustomItem* QueryMDIButtonsItem() override;
    TBarCustomItem* QueryMDISystemMenuItem() override;
    classlib::TFont& QueryFont() override;

private:
    TBarCustomToolbar* FToolbar;
};

// The chevron at the end of a toolbar: its popup lists the items that did not fit. Its
// owner must be a TBarCustomToolbar (EInvalidCast otherwise).
class TBarChevronItem : public TBarCustomItem {
public:
    explicit TBarChevronItem(classlib::TComponent* owner);
    TBarView* ChevronSourceView() override;
    TBarItemViewerClass GetItemViewerClass(TBarView* view) override;

private:
    TBarCustomToolbar* FToolbar;
};

class TBarChevronItemViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
};

// The snapping resize of a floating toolbar: the sizes it can take, sorted along the
// resized axis, and the size chosen for a cursor position.
class TBarFloatingResize {
public:
    // `edge` as the resize loop gives it (0 left, 1 right, 2 top, 5 bottom); `outerSizes`
    // the floating form's sizes for the toolbar's sizes; `start` the form's bounds;
    // `clientOffsetX` the toolbar's client left inside the form; `origin` the cursor.
    TBarFloatingResize(int edge, std::vector<SIZE> outerSizes, RECT start, int clientOffsetX, POINT origin);
    // Places the moving edge of `rect` (starting from `start`) for the cursor; answers the
    // floating right X that gives that size (0: no wrapping).
    int Track(RECT& rect, POINT cursor);
    int SnapDistance() const { return FSnap; }
    const std::vector<SIZE>& Sizes() const { return FSizes; }
    bool Changed() const { return FChanged; }

private:
    bool Vertical() const { return FEdge == 2 || FEdge == 5; }
    int Axis(const SIZE& s) const { return Vertical() ? s.cy : s.cx; }
    int FEdge;
    std::vector<SIZE> FSizes;
    RECT FStart;
    int FClientOffsetX;
    POINT FOrigin;
    int FSnap = 12;
    bool FFirst = true;
    int FLastDelta = 0;
    bool FChanged = false;
};

using TBarShortCutEvent = std::function<void(classlib::TMessage& message, bool& handled)>;

class TBarCustomToolbar : public TBarCustomDockableWindow, public ItemContainerInterface {
public:
    explicit TBarCustomToolbar(classlib::TComponent* owner);
    ~TBarCustomToolbar() override;

    // The class references of the chevron item and the view a toolbar makes in its
    // constructor (a derived toolbar passes its own to the protected constructor).
    using TChevronItemClass = TBarChevronItem* (*)(classlib::TComponent* owner);
    using TToolbarViewClass = TBarToolbarView* (*)(TBarCustomToolbar* toolbar, TBarCustomItem* root);

    TBarRootItem* Items() const { return FItems; }
    TBarCustomItem* GetItems() override { return FItems; }
    TBarToolbarView* View() const { return FView; }
    TBarCustomItem* ChevronItem() const { return FChevronItem; }

    // --- properties
    bool MenuBar() const { return FMenuBar; }
    void SetMenuBar(bool value);
    bool ProcessShortCuts() const { return FProcessShortCuts; }
    void SetProcessShortCuts(bool value);
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool value);
    TBarShrinkMode ShrinkMode() const { return FShrinkMode; }
    void SetShrinkMode(TBarShrinkMode value);
    bool ChevronMoveItems() const { return FChevronMoveItems; }
    void SetChevronMoveItems(bool value);
    TBarChevronPriorityForNewItems ChevronPriorityForNewItems() const { return FChevronPriority; }
    void SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems value);
    std::wstring ChevronHint() const { return FChevronItem->Hint(); }
    void SetChevronHint(const std::wstring& value);
    classlib::TImageList* Images() const { return FItems->SubMenuImages(); }
    void SetImages(classlib::TImageList* value) { FItems->SetSubMenuImages(value); }
    TBarCustomItem* LinkSubitems() const { return FItems->LinkSubitems(); }
    void SetLinkSubitems(TBarCustomItem* value) { FItems->SetLinkSubitems(value); }
    TBarItemOptions Options() const { return FItems->Options(); }
    void SetOptions(TBarItemOptions value) { FItems->SetOptions(value); }
    bool UpdateActions = true;
    TBarShortCutEvent OnShortCut;
    // Shown at the end and at the start of the view (the MDI child's buttons and system menu).
    TBarCustomItem* MDIButtonsItem = nullptr;
    TBarCustomItem* MDISystemMenuItem = nullptr;

    // --- used by the program
    void BeginUpdate() { FView->BeginUpdate(); }
    void EndUpdate() { FView->EndUpdate(); }
    int FloatingRightX() const { return FFloatingRightX; }
    void SetFloatingRightX(int value);
    // Opens by the keyboard: key 0 (Alt alone, F10) selects the first item and waits for
    // keys; a character picks the item with that accelerator (the only one: opened or
    // clicked at once). False when nothing was found.
    bool KeyboardOpen(wchar_t key, bool requirePrimary);
    // The client sizes the toolbar can take floating, one per line count, widest first.
    virtual void GetFloatingSizes(std::vector<TBarFloatingSize>& list);
    int LastWrappedLines() const { return FLastWrappedLines; }
    bool InLayout() const { return FLayoutCount > 0; }

    // --- dockable window
    void PointOverChildControl(POINT point, bool& found) override;
    void LayoutContent(bool applyCurrent, TBarDockKind currentKind, bool targetFloating, TBarDock* targetDock,
                       SIZE& size) override;
    void GetContentSize(SIZE& size) override;
    void GetMinRowLength(int& length) override;
    TBarShrinkMode QueryShrinkMode() override { return FShrinkMode; }
    void ReadExtraLayout(const TBarLayoutReadProc& reader) override;
    void WriteExtraLayout(const TBarLayoutWriteProc& writer) override;
    void SizingStarted(int edge) override;
    void SizingFinished() override;
    void SizingTracked(RECT& newRect, const RECT& startRect) override;
    void SizingAccepted() override;
    void Loaded() override;
    void AlignControls(classlib::TControl* control, RECT& rect) override;
    void InitiateAction() override;

protected:
    TBarCustomToolbar(classlib::TComponent* owner, TChevronItemClass chevronItemClass, TToolbarViewClass viewClass);

    void Dispatch(classlib::TMessage& message) override;
    // Lays the items out before the form shows, so that its first paint does not resize.
    void CMFormShowing(classlib::TMessage& message) override;
    void Paint() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void DoContextPopup(POINT point, bool& handled) override;
    void InsertControl(classlib::TControl* control) override;
    void RemoveControl(classlib::TControl* control) override;

private:
    friend class TBarToolbarView;
    void ComputeOffsets(TBarDock* dock, bool floating, TBarViewOrientation& orientation, int& wrapOffset,
                        int& chevronOffset);
    void UpdateViewOffsets();
    void ClearHotTracking();
    void AddControlItem(classlib::TControl* control);
    bool HasControlItem(classlib::TControl* control) const;
    void UpdateShortCutRegistration();
    void UpdateMenuBarHook();
    bool HandleSysCommand(classlib::TMessage& m);
    static void MenuBarHookCallback(TBarHookKind kind, HWND wnd, WPARAM wParam, LPARAM lParam);

    TBarRootItem* FItems = nullptr;
    TBarChevronItem* FChevronItem = nullptr;
    TBarToolbarView* FView = nullptr;
    SIZE FBaseSize{};
    bool FChevronMoveItems = true;
    TBarChevronPriorityForNewItems FChevronPriority = tbcpHighest;
    int FLayoutCount = 0;
    int FSelfSizing = 0;  // > 0: the window is sized by its caller, not by the view
    int FFloatingRightX = 0;
    bool FInMouseLoop = false;
    int FLastWrappedLines = 1;
    bool FMenuBar = false;
    bool FProcessShortCuts = false;
    bool FShortCutsRegistered = false;
    bool FMenuBarHooked = false;
    TBarShrinkMode FShrinkMode = tbsmChevron;
    bool FSystemFont = true;
    std::unique_ptr<TBarFloatingResize> FResize;
    int FResizeCandidate = 0;
};

// The toolbars registered for shortcuts, in registration order (for tests and diagnosis).
const std::vector<TBarCustomToolbar*>& ShortCutToolbars();

}  // namespace toolbar
