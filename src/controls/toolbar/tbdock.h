// The dock: the container along one edge of a form that holds dockable windows
// (toolbars, tool windows, panels; tbdockable.h) in rows.
//
// A dock keeps two lists: every window that belongs to it (docked here now, or remembering
// it as its last dock) and the shown ones (parented here and visible). Whenever something
// changes it arranges them (ArrangeWindows, over the calculation of tbdockcalc.h), sizes
// itself to its rows, paints optional bound lines and a shared background, and passes menu
// keys on to its floating windows.
//
// Arranging is batched: BeginUpdate/EndUpdate form a counter, and a request made while it
// is above zero runs once when the last EndUpdate comes. While a window moves between
// docks both docks are locked, so each arranges once.
//
// Lifetime: the dock does not own its windows; a window freed first leaves both lists
// (free notification). Main thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/form.h"
#include "controls/toolbar/tbdockcalc.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace toolbar {

class TBarCustomDockableWindow;
class TBarDock;

enum TBarDockPosition { dpTop, dpBottom, dpLeft, dpRight };

// Bound lines of a dock (bit set).
using TBarDockBoundLines = unsigned;
constexpr TBarDockBoundLines blTop = 1, blBottom = 2, blLeft = 4, blRight = 8;

// The kind a window is laid out for.
enum TBarDockKind { dkNotDocked, dkFloating, dkHorizontal, dkVertical };
// dkFloating when floating, dkNotDocked without a dock, else by the dock's orientation.
TBarDockKind GetDockKind(TBarDock* dock, bool floating);

extern const wchar_t* const STBDockCannotChangePosition;
extern const wchar_t* const STBDockParentNotAllowed;

// A background shared by a dock and the windows on it. Listeners are told when it changes.
class TBarBasicBackground : public classlib::TComponent {
public:
    using TComponent::TComponent;
    using TChangeProc = std::function<void()>;

    // Paints the background so that the origin of `rect` is the background's origin.
    virtual void RenderBackground(HDC dc, const RECT& rect) = 0;
    virtual HPALETTE BackgroundPalette() = 0;
    // `key` names the listener for RemoveChangeListener.
    virtual void AddChangeListener(const void* key, TChangeProc proc) = 0;
    virtual void SystemColorsChanged() = 0;
    virtual void RemoveChangeListener(const void* key) = 0;
    // True when it paints anything.
    virtual bool IsPainting() = 0;
};

using TBarInsertRemoveEvent =
    std::function<void(TBarDock* sender, bool inserting, TBarCustomDockableWindow* bar)>;
using TBarRequestDockEvent = std::function<void(TBarDock* sender, TBarCustomDockableWindow* bar, bool& accept)>;

// Whether one window goes before another in a dock's order.
using TBarDockWindowOrder =
    std::function<bool(const TBarCustomDockableWindow* first, const TBarCustomDockableWindow* second)>;
// Sorts the windows of a dock by `before`, keeping the order they came in where it does not
// decide; a dragged window that keeps the list order goes back to the place it had.
void SortDockWindows(std::vector<TBarCustomDockableWindow*>& list, const TBarDockWindowOrder& before);

class TBarDock : public classlib::TCustomControl {
public:
    explicit TBarDock(classlib::TComponent* owner);
    ~TBarDock() override;

    // --- properties
    TBarDockPosition Position() const { return FPosition; }
    // EInvalidOperation once the dock holds controls.
    void SetPosition(TBarDockPosition value);
    bool Vertical() const { return FPosition == dpLeft || FPosition == dpRight; }
    bool AllowDrag() const { return FAllowDrag; }
    // Docked windows get or lose their drag handles at once.
    void SetAllowDrag(bool value);
    TBarDockBoundLines BoundLines() const { return FBoundLines; }
    void SetBoundLines(TBarDockBoundLines value);
    TBarBasicBackground* Background() const { return FBackground; }
    void SetBackground(TBarBasicBackground* value);
    bool BackgroundOnToolbars() const { return FBackgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool value);
    bool FixAlign() const { return FFixAlign; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return FLimitToOneRow; }
    void SetLimitToOneRow(bool value);
    TBarInsertRemoveEvent OnInsertRemoveBar;
    TBarRequestDockEvent OnRequestDock;

    // --- arranging
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    virtual void ArrangeWindows();
    // The next arrangement writes the arranged rows and positions back into the windows'
    // DockRow and DockPos and keeps the sorted order.
    void RequestCommit() { FCommitRequest = true; }
    bool CommitRequested() const { return FCommitRequest; }
    // DockRow and DockPos of every shown window := its arranged row and position.
    void CommitPositions();

    // --- the windows
    virtual bool AcceptsWindow(TBarCustomDockableWindow* window);
    bool HasVisibleWindows() const { return !FShownList.empty(); }
    int GetVisibleWindowCount() const { return static_cast<int>(FShownList.size()); }
    TBarCustomDockableWindow* GetVisibleWindow(int index) const { return FShownList[static_cast<size_t>(index)]; }
    bool IsShownOnDock(const TBarCustomDockableWindow* window) const;
    int WindowCount() const { return static_cast<int>(FWindowList.size()); }
    TBarCustomDockableWindow* Windows(int index) const { return FWindowList[static_cast<size_t>(index)]; }
    bool ListsWindow(const TBarCustomDockableWindow* window) const;
    // Adds the window to the window list (Insert) or removes it, then AlterShownList.
    void AlterWindowList(bool insert, TBarCustomDockableWindow* window);
    // Brings the shown list up to date for one window (forceRemove: takes it out); a
    // change arranges and fires OnInsertRemoveBar.
    void AlterShownList(TBarCustomDockableWindow* window, bool forceRemove);
    // Withdraws the free notification of a window on neither list.
    void ForgetUnlistedWindow(TBarCustomDockableWindow* window);

    // --- rows
    // The thickest shown window of the arranged row (its width on a vertical dock, height
    // on a horizontal one); whether a FullSize window is in the row. 0 for a negative row.
    int GetRowThickness(int row, bool& hasFullSize) const;
    // The largest thickness stored by the last arrangement among the row's shown windows
    // other than `except`.
    int GetRowThicknessOfOthers(int row, const TBarCustomDockableWindow* except) const;
    // The row at an offset across the rows (the row after the last past the end).
    int RowAtOffset(int offset) const;
    // The highest arranged row (or DockRow) of the listed windows, -1 without any.
    int HighestRowIndex(bool arranged) const;
    // Sets the dock's size keeping its aligned edge.
    void ResizeFromAlignedEdge(int width, int height);
    // The client length along the rows: the size less the bound lines, at least 0.
    int AvailableLength() const;
    // Bound lines on the left and right, on the top and bottom (0..2 each).
    int NonClientWidth() const { return FNonClientWidth; }
    int NonClientHeight() const { return FNonClientHeight; }

    // --- painting
    virtual void PaintBackground(HDC dc, const RECT& rect);
    virtual bool BackgroundInUse();
    void DrawNCArea(bool toDC, HDC dc, HRGN region);
    void RepaintWithBackground();
    // Passes a menu message on to the floating windows that take menu events; the first
    // non-zero answer is the result.
    LRESULT RelayToWindows(classlib::TMessage& message);

    void SetParent(classlib::TWinControl* parent) override;
    void Loaded() override;
    void AlignControls(classlib::TControl* control, RECT& rect) override;

protected:
    void Notification(classlib::TComponent* component, classlib::TOperation operation) override;
    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& message) override;
    void TearDown() override;

    // The lists and flags that a derived dock's own arrangement works on.
    std::vector<TBarCustomDockableWindow*>& WindowList() { return FWindowList; }
    std::vector<TBarCustomDockableWindow*>& ShownList() { return FShownList; }
    // True when the arrangement has to wait (counter above zero or loading); it then
    // marks the request pending.
    bool DeferArrangement();
    // Ends an arrangement: clears the pending and commit flags.
    void ArrangementDone();
    // Windows being destroyed leave both lists.
    void DropDestroyedWindows();

private:
    void RecalcNCArea();
    void BackgroundChanged();
    bool WindowBelongsShown(TBarCustomDockableWindow* window) const;

    TBarDockPosition FPosition = dpTop;
    bool FAllowDrag = true;
    TBarDockBoundLines FBoundLines = 0;
    classlib::TComponentRef<TBarBasicBackground> FBackground{[this] { BackgroundChanged(); }};
    bool FBackgroundOnToolbars = true;
    bool FFixAlign = false;
    bool FCommitRequest = false;
    bool FLimitToOneRow = false;
    int FUpdateCount = 0;
    bool FArrangePending = false;
    int FNonClientWidth = 0, FNonClientHeight = 0;
    std::vector<TBarCustomDockableWindow*> FWindowList;
    std::vector<TBarCustomDockableWindow*> FShownList;
};

}  // namespace toolbar
