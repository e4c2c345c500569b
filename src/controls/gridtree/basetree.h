// TBaseGridTree: the owner-data tree control's core.
//
// The tree keeps structure (parents, siblings, child counts), geometry (row heights and
// subtree totals) and per-node states; everything shown is asked from the owner through
// events. Nodes are made in blocks by child counts and initialised on first use.
//
// Threads: every member is for the thread that created the tree (the "main thread"). The
// shared worker thread (gridtree_services.h) only reads the structure of a tree it is
// validating, through `DoValidateCache`, and changes tree states only by sending
// WM_CHANGESTATE to the tree's window. Every structural change first calls
// `InterruptValidation`, which stops and waits for a running validation.
//
// Window: the tree is a custom control of the class library. Its window (window class
// "TBaseGridTree", or a descendant's) receives the worker's WM_CHANGESTATE, the change
// timers and the validation timer, and carries the scroll bars. A tree placed on
// a parent gets a child window on demand; a tree without a parent gets a message-only
// window on demand, so the whole core (timers, worker, cache) works without any form.
// Such a tree has no scroll bars and is given its client size with `SetClientSize`.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "classlib/control.h"
#include "controls/gridtree/gridheader.h"
#include "controls/gridtree/gridtree_options.h"
#include "controls/gridtree/gridtree_types.h"

namespace gridtree {

// Message the worker sends to a tree: wParam the states to enter, lParam the states to
// leave (1 tsStopValidation, 2 tsUseCache, 4 tsValidating, 8 tsValidationNeeded).
constexpr UINT WM_CHANGESTATE = WM_APP + 32;

// Window timers of the tree.
enum : UINT_PTR {
    ExpandTimer = 1,
    EditTimer = 2,
    HeaderTimer = 3,
    ScrollTimer = 4,
    ChangeTimer = 5,
    StructureChangeTimer = 6,
    SearchTimer = 7,
    // Hands the tree to the worker once its changes have paused for a whole period: a
    // burst of changes (a result list appending row by row while messages are served)
    // wakes the worker once, at its end, instead of once per message cycle.
    ValidationTimer = 8,
};
constexpr UINT ValidationDelay = 10;  // ms, the shortest period a window timer has

constexpr uint32_t CacheThreshold = 2000;

struct TCacheEntry {
    PGridNode Node;
    uint32_t AbsoluteTop;
};

// Events. The Sender is the tree.
using TGTChangeEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node)>;
using TGTChangingEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, bool& Allowed)>;
using TGTCheckChangingEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TCheckState& NewState, bool& Allowed)>;
using TGTFocusChangeEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column)>;
using TGTFocusChangingEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode OldNode, PGridNode NewNode, TColumnIndex OldColumn,
                       TColumnIndex NewColumn, bool& Allowed)>;
using TGTFreeNodeEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node)>;
using TGTInitChildrenEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, uint32_t& ChildCount)>;
using TGTInitNodeEvent = std::function<void(TBaseGridTree* Sender, PGridNode ParentNode, PGridNode Node,
                                            TGridNodeInitStates& InitialStates)>;
using TGTMeasureItemEvent =
    std::function<void(TBaseGridTree* Sender, HDC TargetCanvas, PGridNode Node, int& NodeHeight)>;
using TGTStateChangeEvent =
    std::function<void(TBaseGridTree* Sender, TGridTreeStates Enter, TGridTreeStates Leave)>;
using TGTStructureChangeEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TChangeReason Reason)>;
using TGTUpdatingEvent = std::function<void(TBaseGridTree* Sender, TGTUpdateState State)>;
using TGTGetNodeDataSizeEvent = std::function<void(TBaseGridTree* Sender, int& NodeDataSize)>;
using TGTHotNodeChangeEvent = std::function<void(TBaseGridTree* Sender, PGridNode OldNode, PGridNode NewNode)>;
using TGTScrollEvent = std::function<void(TBaseGridTree* Sender, int DeltaX, int DeltaY)>;
using TGTHeaderNotifyEvent = std::function<void(TGTHeader* Sender, TColumnIndex Column)>;
using TGTHeaderClickEvent = std::function<void(TGTHeader* Sender, TColumnIndex Column, classlib::TMouseButton Button,
                                               classlib::TShiftState Shift, int X, int Y)>;
using TGTHeaderMouseEvent = std::function<void(TGTHeader* Sender, classlib::TMouseButton Button,
                                               classlib::TShiftState Shift, int X, int Y)>;
using TGTHeaderMouseMoveEvent =
    std::function<void(TGTHeader* Sender, classlib::TShiftState Shift, int X, int Y)>;
using TGTHeaderDraggingEvent = std::function<void(TGTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
using TGTHeaderDraggedEvent =
    std::function<void(TGTHeader* Sender, TColumnIndex Column, TColumnPosition OldPosition)>;
using TGTHeaderDraggedOutEvent = std::function<void(TGTHeader* Sender, TColumnIndex Column, POINT DropPosition)>;

class TWorkerThread;
namespace detail {
class TNodeStore;
}

class TBaseGridTree : public classlib::TCustomControl {
public:
    explicit TBaseGridTree(classlib::TComponent* Owner = nullptr);
    ~TBaseGridTree() override;
    TBaseGridTree(const TBaseGridTree&) = delete;
    TBaseGridTree& operator=(const TBaseGridTree&) = delete;

    // --- settings objects ---------------------------------------------------------------
    TCustomGridTreeOptions& TreeOptions() { return *FOptions; }
    void SetTreeOptions(const TCustomGridTreeOptions& Value) { Value.AssignTo(*FOptions); }
    TGTColors& Colors() { return *FColors; }
    TScrollBarOptions& ScrollBarOptions() { return *FScrollBarOptions; }
    // The header and its columns (created with the tree, freed with it).
    TGTHeader& Header() { return *FHeader; }
    const TGTHeader& Header() const { return *FHeader; }
    // The header's strip in window coordinates: inside the border, above the client area,
    // Header().Height() high while the header has hoVisible, else empty.
    RECT HeaderRect() const { return FHeaderRect; }
    void UpdateHeaderRect();

    // Copies the settings of another tree: placement, colours, font, options, scroll-bar
    // options, node sizes and the root node count (the nodes themselves are made anew).
    // A tree with toReadOnly ignores it.
    virtual void Assign(TBaseGridTree& Source);
    // After building from a form: makes the root's children counted while loading.
    void Loaded() override;

    // --- tree-level properties ----------------------------------------------------------
    uint32_t RootNodeCount() const { return FRoot->ChildCount; }
    void SetRootNodeCount(uint32_t Value);
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(uint32_t Value);
    uint32_t Indent() const { return FIndent; }
    void SetIndent(uint32_t Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; Invalidate(); }
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value) { FTextMargin = Value; Invalidate(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }
    uint32_t ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(uint32_t Value) { FChangeDelay = Value; }
    uint32_t AnimationDuration() const { return FAnimationDuration; }
    void SetAnimationDuration(uint32_t Value) { FAnimationDuration = Value; }
    uint32_t VisibleCount() const { return FVisibleCount; }
    uint32_t TotalCount() const { return FRoot->SubtreeCount - 1; }
    uint32_t TotalInternalDataSize() const { return FTotalInternalDataSize; }
    TGridTreeStates TreeStates() const { return FStates.load(std::memory_order_relaxed); }
    uint32_t UpdateCount() const { return FUpdateCount; }
    PGridNode RootNode() const { return FRoot; }
    PGridNode HotNode() const { return FHotNode; }
    // Bytes the node store holds for the nodes (the hidden root not included).
    size_t NodeStoreBytes() const;

    // --- nodes and structure ------------------------------------------------------------
    void* GetNodeData(PGridNode Node) const;
    uint32_t ChildCount(PGridNode Node) const { return (Node ? Node : FRoot)->ChildCount; }
    void SetChildCount(PGridNode Node, uint32_t NewCount);
    bool HasChildren(PGridNode Node) const { return Node && (Node->States & vsHasChildren); }
    void SetHasChildren(PGridNode Node, bool Value);
    uint32_t NodeHeight(PGridNode Node);
    void SetNodeHeight(PGridNode Node, uint32_t Value);
    bool IsVisible(PGridNode Node);
    bool FullyVisible(PGridNode Node) const;
    bool HasVisibleNextSibling(PGridNode Node) const;
    bool IsFirstVisibleChild(PGridNode Parent, PGridNode Node) const;
    bool IsLastVisibleChild(PGridNode Parent, PGridNode Node) const;
    bool HasAsParent(PGridNode Node, PGridNode PotentialParent) const;
    int CompareNodePositions(PGridNode Node1, PGridNode Node2) const;
    int CountLevelDifference(PGridNode Node1, PGridNode Node2) const;
    uint32_t CountVisibleChildren(PGridNode Node) const;
    void DetermineHiddenChildrenFlag(PGridNode Node);
    void DetermineHiddenChildrenFlagAllNodes();

    // Deleting renumbers the following siblings lazily (see TNodeIndex), so Reindex only
    // saves work that no longer exists: indexes read afterwards are right either way.
    void DeleteNode(PGridNode Node, bool Reindex = true);
    void DeleteChildren(PGridNode Node, bool ResetHasChildren = false);
    void Clear();
    void DeleteSelectedNodes();

    void ReinitNode(PGridNode Node, bool Recursive);
    void ReinitChildren(PGridNode Node, bool Recursive);
    void ResetNode(PGridNode Node);
    void ValidateNode(PGridNode Node, bool Recursive);
    void ValidateChildren(PGridNode Node, bool Recursive);

    // --- navigation ---------------------------------------------------------------------
    PGridNode GetFirst();
    PGridNode GetFirstNoInit() const;
    PGridNode GetFirstInitialized() const;
    PGridNode GetNext(PGridNode Node);
    PGridNode GetNextNoInit(PGridNode Node) const;
    PGridNode GetNextInitialized(PGridNode Node) const;
    PGridNode GetPrevious(PGridNode Node);
    PGridNode GetPreviousNoInit(PGridNode Node) const;
    PGridNode GetLast(PGridNode Node = nullptr);
    PGridNode GetLastNoInit(PGridNode Node = nullptr) const;
    PGridNode GetFirstChild(PGridNode Node);
    PGridNode GetLastChild(PGridNode Node);
    PGridNode GetLastChildNoInit(PGridNode Node) const;
    PGridNode GetNextSibling(PGridNode Node);
    PGridNode GetPreviousSibling(PGridNode Node);
    PGridNode GetFirstVisibleChild(PGridNode Node);
    PGridNode GetLastVisibleChild(PGridNode Node);
    PGridNode GetLastVisibleChildNoInit(PGridNode Node) const;
    PGridNode GetNextVisibleSibling(PGridNode Node);
    PGridNode GetPreviousVisibleSibling(PGridNode Node);
    PGridNode GetPreviousVisibleSiblingNoInit(PGridNode Node) const;
    PGridNode GetFirstVisible();
    PGridNode GetFirstVisibleNoInit() const;
    PGridNode GetNextVisible(PGridNode Node);
    PGridNode GetNextVisibleNoInit(PGridNode Node) const;
    PGridNode GetPreviousVisible(PGridNode Node);
    PGridNode GetPreviousVisibleNoInit(PGridNode Node) const;
    PGridNode GetLastVisible(PGridNode Node = nullptr);
    PGridNode GetLastVisibleNoInit(PGridNode Node = nullptr) const;
    PGridNode GetVisibleParent(PGridNode Node) const;
    PGridNode GetFirstSelected();
    PGridNode GetNextSelected(PGridNode Node);
    PGridNode GetFirstCutCopy();
    PGridNode GetNextCutCopy(PGridNode Node);
    TNodeArray GetSortedSelection(bool Resolve) const;
    TNodeArray GetSortedCutCopySet(bool Resolve) const;
    uint32_t GetNodeLevel(PGridNode Node) const;
    // The node whose row contains Y (X is unused). NodeTop, when given, receives the row's
    // top on success (client coordinates with Relative) and is left alone otherwise.
    PGridNode GetNodeAt(int X, int Y, bool Relative = true, int* NodeTop = nullptr);
    PGridNode GetTopNode() { return GetNodeAt(0, 0, true); }
    RECT GetDisplayRect(PGridNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false);
    // The widest content of a column over the visible rows (indentation, margin and the
    // owner's text width), plus 1 with toShowVertGridLines.
    int GetMaxColumnWidth(TColumnIndex Column);
    void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);

    // --- selection, focus, check states -------------------------------------------------
    bool Selected(PGridNode Node) const { return Node && (Node->States & vsSelected); }
    void SetSelected(PGridNode Node, bool Value);
    uint32_t SelectionCount() const { return FSelectionCount; }
    void AddToSelection(PGridNode Node);
    void AddToSelection(const PGridNode* NewItems, size_t NewLength, bool ForceInsert = false);
    void RemoveFromSelection(PGridNode Node);
    void ClearSelection();
    void SelectNodes(PGridNode StartNode, PGridNode EndNode, bool AddOnly);
    void ToggleSelection(PGridNode StartNode, PGridNode EndNode);
    void UnselectNodes(PGridNode StartNode, PGridNode EndNode);
    void SelectAll(bool VisibleOnly);
    void ResetRangeAnchor();
    bool FindNodeInSelection(PGridNode P, int& Index, int LowBound = -1, int HighBound = -1) const;
    PGridNode RangeAnchor() const { return FRangeAnchor; }
    void HandleClickSelection(PGridNode LastFocused, PGridNode NewNode, bool Ctrl, bool Shift, bool DragPending);

    PGridNode FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(PGridNode Node);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TColumnIndex Value);
    void SetFocusedNodeAndColumn(PGridNode Node, TColumnIndex Column);

    TCheckState CheckState(PGridNode Node) const { return Node ? TCheckState(Node->CheckState) : csUncheckedNormal; }
    void SetCheckState(PGridNode Node, TCheckState Value);
    TCheckKind CheckType(PGridNode Node) const { return Node ? TCheckKind(Node->CheckKind) : ctNone; }
    void SetCheckType(PGridNode Node, TCheckKind Value);

    // Rubber band ("draw") selection. The mouse handling starts it with StartDrawSelection
    // on a button press over empty space; mouse moves then widen it (MouseMove) and
    // HandleDrawSelection applies the rows it covers. Start and the mouse positions are
    // client points; the rectangles are kept in tree coordinates (SelectionRect).
    bool IsMouseSelecting() const { return HasState(tsDrawSelPending | tsDrawSelecting); }
    void StartDrawSelection(POINT Start, bool Ctrl);
    bool HandleDrawSelection(int X, int Y);
    RECT SelectionRect() const { return FNewSelRect; }

    bool IsEditing() const { return (TreeStates() & tsEditing) != 0; }
    virtual bool CancelEditNode() { return true; }
    virtual bool EndEditNode() { return true; }

    // --- expand and collapse ------------------------------------------------------------
    void ToggleNode(PGridNode Node);
    bool Expanded(PGridNode Node) const { return Node && (Node->States & vsExpanded); }
    void SetExpanded(PGridNode Node, bool Value);
    void FullExpand(PGridNode Node = nullptr);
    void FullCollapse(PGridNode Node = nullptr);

    // --- animation and wheel panning ----------------------------------------------------
    // Time-sliced animation: Callback(Step, StepSize, Data) runs once per slice, with step
    // sizes that grow when the machine falls behind, and a last time with StepSize 0. It
    // does nothing while another animation runs (tsInAnimation) or for a Duration of 0.
    using TGTAnimationCallback = std::function<bool(int Step, int StepSize, void* Data)>;
    void Animate(uint32_t Steps, uint32_t Duration, const TGTAnimationCallback& Callback, void* Data);
    // Middle-button panning: a small picture window at the click point (client
    // coordinates) shows the directions that can scroll; timer 4 does the scrolling.
    virtual void StartWheelPanning(POINT Position);
    virtual void StopWheelPanning();
    HWND PanningWindow() const { return FPanningWindow; }
    // One tick of timer 4 while panning: scrolls by the cursor's distance (client
    // coordinates) from the click point beyond 8 pixels.
    void PanningScroll(POINT Position);
    // The region of a picture's pixels other than magenta (0xFF00FF), one rectangle per
    // horizontal run. Raises EGridTreeAssertion for a picture without such pixels.
    static HRGN RegionFromMaskBitmap(HBITMAP Bitmap);

    // --- updates, notifications, scrolling, cache ---------------------------------------
    void BeginUpdate();
    void EndUpdate();
    void BeginSynch();
    void EndSynch();
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value) { DoSetOffsetXY(Value, FOffsetY); }
    void SetOffsetY(int Value) { DoSetOffsetXY(FOffsetX, Value); }
    int RangeX() const { return FRangeX; }
    int RangeY() const { return FRangeY; }
    // Size of the client area. Follows the window when the tree sits on a parent; a tree
    // without a parent keeps the size it is given, so that scrolling and "into view" work
    // without a form.
    int ClientWidth() const { return FClientWidth; }
    int ClientHeight() const { return FClientHeight; }
    void SetClientSize(int Width, int Height) override;
    RECT ClientRect() override;
    // Moving between "no parent" and a parent changes the kind of window: the old one goes
    // (its timers and a pending validation move to the next one).
    void SetParent(classlib::TWinControl* Parent) override;
    // Also needs the tree's form to be enabled and visible.
    bool CanFocus() override;
    void UpdateScrollBars(bool DoRepaint);
    bool ScrollIntoView(PGridNode Node, bool Center, bool Horizontally = false);
    void SetTopNode(PGridNode Node);
    void InvalidateCache();
    void ValidateCache();
    void InterruptValidation();
    uint32_t CalculateCacheEntryCount() const;
    const std::vector<TCacheEntry>& PositionCache() const { return FPositionCache; }
    virtual RECT InvalidateNode(PGridNode Node);
    uint32_t GetMaxRightExtend();
    virtual void InvalidateToBottom(PGridNode Node);
    // Builds the position cache. Runs on the worker thread: reads node fields only and
    // never calls owner code.
    virtual bool DoValidateCache();

    // The tree's window as the worker thread sees it: null while there is none (or while
    // it is being destroyed). Safe to read from any thread.
    HWND MessageWindow() const { return FMessageWindow.load(); }
    // True when the tree's window is a real child window (not the message-only window of
    // a tree without a parent): scroll bars, redraw switching and animation need it.
    bool HasControlWindow() const { return HandleAllocated() && !FMessageOnly; }

    // --- events -------------------------------------------------------------------------
    TGTChangeEvent OnChange, OnChecked, OnCollapsed, OnExpanded, OnResetNode;
    TGTCheckChangingEvent OnChecking;
    TGTChangingEvent OnCollapsing, OnExpanding;
    TGTFocusChangeEvent OnFocusChanged;
    TGTFocusChangingEvent OnFocusChanging;
    TGTFreeNodeEvent OnFreeNode;
    TGTInitChildrenEvent OnInitChildren;
    TGTInitNodeEvent OnInitNode;
    TGTMeasureItemEvent OnMeasureItem;
    TGTStateChangeEvent OnStateChange;
    TGTStructureChangeEvent OnStructureChange;
    TGTUpdatingEvent OnUpdating;
    TGTGetNodeDataSizeEvent OnGetNodeDataSize;
    TGTHotNodeChangeEvent OnHotChange;
    TGTScrollEvent OnScroll;
    TGTHeaderNotifyEvent OnColumnResize;
    TGTHeaderClickEvent OnHeaderClick, OnHeaderDblClick;
    TGTHeaderMouseEvent OnHeaderMouseDown, OnHeaderMouseUp;
    TGTHeaderMouseMoveEvent OnHeaderMouseMove;
    TGTHeaderDraggingEvent OnHeaderDragging;
    TGTHeaderDraggedEvent OnHeaderDragged;
    TGTHeaderDraggedOutEvent OnHeaderDraggedOut;

    // --- hooks used by the settings objects ----------------------------------------------
    bool IsLoading() const { return (ComponentState() & classlib::csLoading) != 0; }
    bool IsDestroying() const { return FDestroying; }
    // Repaints the whole control; nothing to do without a child window (the message-only
    // window of a tree without a parent paints nothing, and bulk changes call this often).
    void Invalidate() { if (HasControlWindow()) TCustomControl::Invalidate(); }
    virtual TColumnIndex MainColumn() const { return FHeader->MainColumn(); }
    virtual int ColumnCount() const { return FHeader->Columns().Count(); }
    // A column's width changed: repaints from its left edge and fires OnColumnResize.
    virtual void DoColumnResize(TColumnIndex Column);
    // Header mouse notifications (X, Y in header coordinates): each fires its event.
    virtual void DoHeaderClick(TColumnIndex Column, classlib::TMouseButton Button, classlib::TShiftState Shift,
                               int X, int Y) {
        if (OnHeaderClick) OnHeaderClick(FHeader.get(), Column, Button, Shift, X, Y);
    }
    virtual void DoHeaderDblClick(TColumnIndex Column, classlib::TMouseButton Button, classlib::TShiftState Shift,
                                  int X, int Y) {
        if (OnHeaderDblClick) OnHeaderDblClick(FHeader.get(), Column, Button, Shift, X, Y);
    }
    virtual void DoHeaderMouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
        if (OnHeaderMouseDown) OnHeaderMouseDown(FHeader.get(), Button, Shift, X, Y);
    }
    virtual void DoHeaderMouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
        if (OnHeaderMouseUp) OnHeaderMouseUp(FHeader.get(), Button, Shift, X, Y);
    }
    virtual void DoHeaderMouseMove(classlib::TShiftState Shift, int X, int Y) {
        if (OnHeaderMouseMove) OnHeaderMouseMove(FHeader.get(), Shift, X, Y);
    }
    // May the user drag this column to another position? (Allowed unless the event says no.)
    virtual bool DoHeaderDragging(TColumnIndex Column) {
        bool allowed = true;
        if (OnHeaderDragging) OnHeaderDragging(FHeader.get(), Column, allowed);
        return allowed;
    }
    virtual void DoHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition) {
        if (OnHeaderDragged) OnHeaderDragged(FHeader.get(), Column, OldPosition);
    }
    // A column was dropped outside the tree window (DropPosition in screen coordinates).
    virtual void DoHeaderDraggedOut(TColumnIndex Column, POINT DropPosition) {
        if (OnHeaderDraggedOut) OnHeaderDraggedOut(FHeader.get(), Column, DropPosition);
    }
    // The header's main column changed: a running edit is cancelled.
    virtual void MainColumnChanged() { CancelEditNode(); }
    void DoStateChange(TGridTreeStates Enter, TGridTreeStates Leave = 0);

protected:
    friend class TWorkerThread;
    friend class TGTHeader;
    friend class TGridTreeColumns;
    friend class TGridTreeColumn;

    // Node making and bookkeeping.
    uint32_t AllocateInternalDataArea(uint32_t Size);
    PGridNode MakeNewNode();
    void AdjustTotalCount(PGridNode Node, int64_t Value, bool Relative);
    void AdjustTotalHeight(PGridNode Node, int64_t Value, bool Relative);
    void InternalConnectNode(PGridNode Node, PGridNode Destination, TGTNodeAttachMode Mode);
    void InternalDisconnectNode(PGridNode Node, bool KeepFocus, bool Reindex = true);
    void MeasureItemHeight(HDC Canvas, PGridNode Node);
    virtual void InitNode(PGridNode Node);
    virtual void InitChildren(PGridNode Node);

    // Selection internals.
    bool InternalAddToSelection(PGridNode Node, bool ForceInsert);
    bool InternalAddToSelection(const PGridNode* NewItems, size_t NewLength, bool ForceInsert);
    void InternalRemoveFromSelection(PGridNode Node);
    void InternalClearSelection();
    static int PackSelectionArray(TNodeArray& Array, int Count);
    void PackSelection();
    bool ChangeCheckState(PGridNode Node, TCheckState Value);
    bool CheckParentCheckState(PGridNode Node, TCheckState NewCheckState);

    // Notifications.
    void Change(PGridNode Node);
    void StructureChange(PGridNode Node, TChangeReason Reason);
    void StartTimer(UINT_PTR ID, UINT Elapse);
    void StopTimer(UINT_PTR ID);
    virtual void SetUpdateState(bool Updating);
    virtual void DoSetOffsetXY(int X, int Y);
    virtual void UpdateVerticalScrollBar(bool DoRepaint);
    virtual void UpdateHorizontalScrollBar(bool DoRepaint);
    // What the toggle animation works on: the area from the bottom of the toggled row to
    // the bottom of the client area, scrolled down (Mode 1, expanding) or up (Mode 0).
    struct TToggleAnimationData {
        HWND Window = nullptr;
        HDC DC = nullptr;
        HBRUSH Brush = nullptr;
        RECT R{};
        int Mode = 0;
    };
    virtual void AnimateToggle(PGridNode Node, bool Expanding, int Pixels);
    bool ToggleCallback(int Step, int StepSize, void* Data);
    // Sorting joins with a later part of the tree; with toAutoSort EndUpdate calls it.
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true) {
        (void)Column; (void)Direction; (void)DoInit;
    }
    virtual TColumnIndex SortColumn() const { return FHeader->SortColumn(); }
    virtual TSortDirection SortDirection() const { return FHeader->SortDirection(); }
    void MouseMove(classlib::TShiftState Shift, int X, int Y) override;
    // Text width for the rubber band's content boxes: DoGetNodeWidth.
    bool CollectSelectedNodesLTR(int MainColumnLeft, int MainColumnRight, const RECT& OldRect, const RECT& NewRect);
    bool CollectSelectedNodesRTL(int MainColumnLeft, int MainColumnRight, const RECT& OldRect, const RECT& NewRect);
    virtual bool MainColumnRightToLeft() const { return false; }
    // The tree's own messages (WM_CHANGESTATE, the change and validation timers),
    // routed here by WndProc. Returns false for messages it does not handle.
    virtual bool StateWindowProc(classlib::TMessage& Message);

    // Window plumbing.
    void WndProc(classlib::TMessage& Message) override;
    void CreateParams(classlib::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WMSize(classlib::TMessage& Message) override;
    virtual void WMScroll(classlib::TMessage& Message, bool Vertical);
    // Reads the client size from a child window and updates the scroll bars.
    void ClientSizeFromWindow();

    // Do methods: each fires its event.
    virtual void DoChange(PGridNode Node);
    virtual void DoCheckClick(PGridNode Node, TCheckState NewCheckState);
    virtual void DoChecked(PGridNode Node);
    virtual bool DoChecking(PGridNode Node, TCheckState& NewCheckState);
    virtual void DoCollapsed(PGridNode Node);
    virtual bool DoCollapsing(PGridNode Node);
    virtual void DoExpanded(PGridNode Node);
    virtual bool DoExpanding(PGridNode Node);
    virtual void DoFocusChange(PGridNode Node, TColumnIndex Column);
    virtual bool DoFocusChanging(PGridNode OldNode, PGridNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn);
    virtual void DoFocusNode(PGridNode Node, bool Ask);
    virtual void DoFreeNode(PGridNode Node);
    virtual bool DoInitChildren(PGridNode Node, uint32_t& ChildCount);
    virtual void DoInitNode(PGridNode Parent, PGridNode Node, TGridNodeInitStates& InitStates);
    virtual void DoMeasureItem(HDC TargetCanvas, PGridNode Node, int& NodeHeight);
    virtual void DoReset(PGridNode Node);
    virtual void DoStructureChange(PGridNode Node, TChangeReason Reason);
    virtual void DoUpdating(TGTUpdateState State);
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual int DoGetNodeWidth(PGridNode Node, TColumnIndex Column) { (void)Node; (void)Column; return 0; }
    virtual void DoHotChange(PGridNode OldNode, PGridNode NewNode);

    // Factory of the options object (string trees make their own kind).
    virtual std::unique_ptr<TCustomGridTreeOptions> CreateOptions();
    // Creates the hidden root; called once by the constructor.
    void InitRootNode();

    bool HasOption(TGTMiscOptions o) const { return (FOptions->MiscOptions() & o) != 0; }
    bool HasAutoOption(TGTAutoOptions o) const { return (FOptions->AutoOptions() & o) != 0; }
    bool HasSelectionOption(TGTSelectionOptions o) const { return (FOptions->SelectionOptions() & o) != 0; }
    bool HasPaintOption(TGTPaintOptions o) const { return (FOptions->PaintOptions() & o) != 0; }
    bool HasState(TGridTreeStates s) const { return (TreeStates() & s) != 0; }

    PGridNode FHotNode = nullptr;
    PGridNode FDropTargetNode = nullptr;

private:
    friend class TCustomGridTreeOptions;
    friend uint32_t detail::SettledIndex(const TGridNode* Node);
    void ForgetNode(PGridNode Node);
    // Lazy renumbering of sibling indexes (basetree_structure.cpp).
    uint32_t SettledIndexOf(PGridNode Node);
    void MarkIndexesPending(PGridNode Parent, uint32_t From);
    void SettleIndexes(PGridNode Parent);
    void DropPendingIndexes(PGridNode Parent);
    void ApplyWorkerStates(unsigned Enter, unsigned Leave);
    PGridNode NextVisibleForCache(PGridNode Node) const;
    PGridNode FindInPositionCache(int Y, uint32_t& Top) const;
    PGridNode FindInPositionCache(PGridNode Node, uint32_t& Top) const;
    void SelectionOptionsChanged(TGTSelectionOptions Old, TGTSelectionOptions New);
    void ToggleNodeExpand(PGridNode Node);
    void ToggleNodeCollapse(PGridNode Node);
    // Starts the validation timer unless it runs (the tree needs a window for it).
    void RequestValidation();
    // The validation timer's tick: hands the tree to the worker when nothing changed
    // since the last tick.
    void ValidationTimerTick();
    void ReleaseMessageWindow();
    bool HorizontalBarDue() const;

    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
    std::unique_ptr<TGTColors> FColors;
    std::unique_ptr<TCustomGridTreeOptions> FOptions;
    std::unique_ptr<TGTHeader> FHeader;
    RECT FHeaderRect{};

    std::unique_ptr<detail::TNodeStore> FStore;
    // Parents whose children wait to be renumbered, with the first changed position.
    std::unordered_map<PGridNode, uint32_t> FPendingIndexes;
    std::unique_ptr<std::byte[]> FRootBlock;
    PGridNode FRoot = nullptr;
    int FNodeDataSize = -1;
    uint32_t FTotalInternalDataSize = 0;
    uint32_t FDefaultNodeHeight = 18;
    uint32_t FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TAlignment FAlignment = taLeftJustify;
    uint32_t FChangeDelay = 0;
    uint32_t FAnimationDuration = 200;
    uint32_t FVisibleCount = 0;

    std::atomic<TGridTreeStates> FStates{0};
    uint32_t FUpdateCount = 0;
    uint32_t FSynchUpdateCount = 0;
    bool FDestroying = false;

    PGridNode FLastChangedNode = nullptr;
    PGridNode FLastStructureChangeNode = nullptr;
    TChangeReason FLastStructureChangeReason = crIgnore;

    TNodeArray FSelection;
    uint32_t FSelectionCount = 0;
    TNodeArray FTempNodeCache;
    PGridNode FRangeAnchor = nullptr;
    int FLastSelectionLevel = -1;
    PGridNode FFocusedNode = nullptr;
    TColumnIndex FFocusedColumn = NoColumn;
    uint32_t FCheckPropagationCount = 0;

    int FOffsetX = 0, FOffsetY = 0, FRangeX = 0, FRangeY = 0;
    int FClientWidth = 0, FClientHeight = 0;

    // Position cache, written by the worker only while the tree is in its work.
    std::vector<TCacheEntry> FPositionCache;
    // Bumped by every InterruptValidation; a finished build counts only when the
    // generation it started with is still current.
    std::atomic<uint64_t> FGeneration{0};
    std::atomic<uint64_t> FJobGeneration{~uint64_t(0)};
    std::atomic<bool> FCacheComplete{false};

    TWorkerThread* FWorker = nullptr;
    std::atomic<HWND> FMessageWindow{nullptr};
    bool FMessageOnly = false;       // the window was made without a parent
    uint32_t FActiveTimers = 0;      // bit per timer ID started on the window
    UINT FTimerDelays[8] = {};       // their periods, to start them again on a new window
    bool FValidationRequested = false;  // the validation timer runs
    uint64_t FQuietGeneration = 0;      // FGeneration when the timer started or last ticked

    // Rubber band: the rectangle before the last mouse move and the current one (tree
    // coordinates, first corner where the drag started) and Ctrl at the start.
    RECT FLastSelRect{};
    RECT FNewSelRect{};
    bool FDrawSelCtrl = false;
    void AddToTempCache(PGridNode Node) { FTempNodeCache.push_back(Node); }

    // Wheel panning.
    HWND FPanningWindow = nullptr;
    HBITMAP FPanningImage = nullptr;
    POINT FLastClickPos{};
};

// The tree a node belongs to (follows the parents up to the hidden root).
TBaseGridTree* OwningTree(PGridNode Node);

}  // namespace gridtree
