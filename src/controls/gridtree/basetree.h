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

#include <ole2.h>

#include "classlib/control.h"
#include "classlib/dragdrop.h"
#include "classlib/streams.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/gridtree/gridheader.h"
#include "controls/gridtree/gridtree_input.h"
#include "controls/gridtree/gridtree_options.h"
#include "controls/gridtree/gridtree_paint.h"
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

// What a change of the scroll offsets updates besides the offsets (DoSetOffsetXY).
using TScrollUpdateOptions = uint8_t;
enum TScrollUpdateOption : uint8_t {
    suoRepaintHeader = 1,      // a horizontal change repaints the header
    suoRepaintScrollbars = 2,  // the horizontal bar is repainted at once
    suoScrollClientArea = 4,   // the window's pixels move with the content
    suoUpdateNCArea = 8,       // header and scroll bars follow
};
constexpr TScrollUpdateOptions DefaultScrollUpdateOptions =
    suoRepaintHeader | suoRepaintScrollbars | suoScrollClientArea | suoUpdateNCArea;

// Directions the tree scrolls by itself while the mouse drags near or beyond its edges.
using TScrollDirections = uint8_t;
enum TScrollDirection : uint8_t { sdLeft = 1, sdUp = 2, sdRight = 4, sdDown = 8 };

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

// Painting events. The canvas is the row bitmap's (rectangles in its coordinates) for the
// row and cell events, the target's for OnBeforePaint, OnAfterPaint and OnPaintBackground.
using TGTPaintEvent = std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas)>;
using TGTBeforeItemPaintEvent = std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas,
                                                   PGridNode Node, const RECT& ItemRect, bool& CustomDraw)>;
using TGTAfterItemPaintEvent =
    std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas, PGridNode Node, const RECT& ItemRect)>;
using TGTBeforeItemEraseEvent =
    std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas, PGridNode Node, const RECT& ItemRect,
                       classlib::TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TGTAfterItemEraseEvent = TGTAfterItemPaintEvent;
using TGTBeforeCellPaintEvent = std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas,
                                                   PGridNode Node, TColumnIndex Column, const RECT& CellRect)>;
using TGTAfterCellPaintEvent = TGTBeforeCellPaintEvent;
using TGTBackgroundPaintEvent =
    std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas, const RECT& R, bool& Handled)>;
using TGTGetImageEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, TGTImageKind Kind,
                                            TColumnIndex Column, bool& Ghosted, int& ImageIndex)>;
using TGTGetImageExEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TGTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                       int& ImageIndex, classlib::TImageList*& ImageList)>;
// The 8 x 8 line pattern, one byte per row (bit 7 leftmost; a set bit shows the
// background, a clear bit the line colour).
using TGTLineBits = uint8_t[8];
using TGTGetLineStyleEvent = std::function<void(TBaseGridTree* Sender, TGTLineBits& Bits)>;
using TGTGetCellIsEmptyEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, bool& IsEmpty)>;
using TGTHeaderPaintEvent =
    std::function<void(TGTHeader* Sender, classlib::TCanvas& HeaderCanvas, TGridTreeColumn* Column, const RECT& R,
                       bool Hover, bool Pressed, TGTDropMarkMode DropMark)>;
using TGTHeaderPaintQueryElementsEvent =
    std::function<void(TGTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
using TGTAdvancedHeaderPaintEvent =
    std::function<void(TGTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)>;
using TGTGetHeaderCursorEvent = std::function<void(TGTHeader* Sender, HCURSOR& Cursor)>;

class TWorkerThread;
class TClipboardFormats;
class TGTDragImage;
struct IGTDragManager;
namespace detail {
class TNodeStore;
class TPendingIndexes;
struct TTransferData;
}

// Streaming, sorting, node transfer and drag and drop events.
using TGTSaveNodeEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, classlib::TStream& Stream)>;
using TGTNodeCopiedEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node)>;
using TGTNodeMovedEvent = TGTNodeCopiedEvent;
using TGTNodeCopyingEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, PGridNode Target, bool& Allowed)>;
using TGTNodeMovingEvent = TGTNodeCopyingEvent;
using TGTCompareEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node1, PGridNode Node2, TColumnIndex Column, int& Result)>;
// Source: the tree or control the drag comes from, null for another program.
using TGTDragOverEvent =
    std::function<void(TBaseGridTree* Sender, classlib::TComponent* Source, classlib::TShiftState Shift,
                       classlib::TDragState State, POINT Pt, TGTDropMode Mode, DWORD& Effect, bool& Accept)>;
using TGTDragDropEvent = std::function<void(TBaseGridTree* Sender, classlib::TComponent* Source,
                                            IDataObject* DataObject, const std::vector<CLIPFORMAT>& Formats,
                                            classlib::TShiftState Shift, POINT Pt, DWORD& Effect, TGTDropMode Mode)>;
// Set the out pointer to supply an object (one reference for the tree).
using TGTCreateDataObjectEvent = std::function<void(TBaseGridTree* Sender, IDataObject*& DataObject)>;
using TGTCreateDragManagerEvent = std::function<void(TBaseGridTree* Sender, IGTDragManager*& DragManager)>;
using TGTRenderOLEDataEvent = std::function<void(TBaseGridTree* Sender, const FORMATETC& FormatEtcIn,
                                                 STGMEDIUM& Medium, bool ForClipboard, HRESULT& Result)>;
using TGTGetUserClipboardFormatsEvent =
    std::function<void(TBaseGridTree* Sender, std::vector<FORMATETC>& Formats)>;

// The tree's own drags: OLE drag and drop, or the class library's in-process drag.
enum TGTDragType { dtOLE, dtControl };
using TDragOperations = uint8_t;
enum TDragOperation : uint8_t { doCopy = 1, doMove = 2, doLink = 4 };
enum TGTDragImageKind { diComplete, diMainColumnOnly, diNoImage };

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
    uint32_t AutoScrollDelay() const { return FAutoScrollDelay; }
    void SetAutoScrollDelay(uint32_t Value) { FAutoScrollDelay = Value; }
    uint32_t AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(uint32_t Value) { FAutoScrollInterval = Value; }
    TScrollDirections ScrollDirections() const { return FScrollDirections; }
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
    // saves work that no longer exists: indexes read afterwards are right either way, and
    // OnFreeNode sees the index the node had.
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
    // Cancels a running or pending edit (only with a window); true when nothing refused.
    virtual bool CancelEditNode();
    // Ends a running edit, handing a changed text over; true when none runs or it ended.
    virtual bool EndEditNode();
    // Starts editing a cell at once: focuses it and runs the editor when CanEdit allows.
    void EditNode(PGridNode Node, TColumnIndex Column);
    // May the cell be edited? (toEditable, enabled, not toReadOnly, then OnEditing.)
    bool CanEdit(PGridNode Node, TColumnIndex Column);
    uint32_t EditDelay() const { return FEditDelay; }
    void SetEditDelay(uint32_t Value) { FEditDelay = Value; }
    TColumnIndex EditColumn() const { return FEditColumn; }
    // The running editor, null when none.
    const PGTEditLink& EditLink() const { return FEditLink; }
    // Puts the editor over the focused cell of the edit column (while editing).
    void UpdateEditBounds();

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

    // --- appearance and painting --------------------------------------------------------
    // Image lists shown in the rows. The tree does not own them; a list that is destroyed
    // is dropped (and a custom check list also resets CheckImageKind to ckLightCheck).
    classlib::TImageList* Images() const { return FImages; }
    void SetImages(classlib::TImageList* Value);
    classlib::TImageList* StateImages() const { return FStateImages; }
    void SetStateImages(classlib::TImageList* Value);
    classlib::TImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(classlib::TImageList* Value);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind Value);
    // The check image list in use: the built-in one of CheckImageKind, or the custom one.
    classlib::TImageList* CheckImages() const { return FCheckImages; }
    TGTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TGTButtonStyle Value);
    TGTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TGTButtonFillMode Value);
    TGTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TGTLineStyle Value);
    TGTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TGTLineMode Value);
    TGTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TGTNodeAlignment Value);
    int SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(int Value);
    uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(uint8_t Value) { FSelectionBlendFactor = Value; Invalidate(); }
    TGTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TGTDrawSelectionMode Value) { FDrawSelectionMode = Value; Invalidate(); }
    // The background picture (shown with toShowBackground): a copy of the given bitmap,
    // none for nullptr.
    void SetBackground(HBITMAP Picture);
    bool HasBackground() const { return !FBackground.Empty(); }
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    void SetBackgroundOffsetX(int Value);
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    void SetBackgroundOffsetY(int Value);
    // Border: bsSingle (the default) or bsNone; with Ctl3D a bsSingle border is the sunken
    // client edge, else a flat line. BorderWidth pixels in Colors().BorderColor() and a
    // bevel of BevelKind lie inside it.
    classlib::TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(classlib::TFormBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);

    // Paints the tree area Window (tree coordinates) to TargetCanvas with Window's top-left
    // corner at Target. Rows are painted one at a time into a bitmap one row high.
    virtual void PaintTree(classlib::TCanvas& TargetCanvas, const RECT& Window, POINT Target,
                           TGTInternalPaintOptions PaintOptions);
    // Rebuilds the expand buttons and the dotted-line brush.
    void PrepareBitmaps(bool NeedButtons, bool NeedLines);
    // The expand button bitmaps (9 x 9, magenta transparent) and the line brush.
    HBITMAP PlusBitmap() const { return FPlusBM.Handle(); }
    HBITMAP MinusBitmap() const { return FMinusBM.Handle(); }
    // The index of the check image a node shows (-1 for none).
    virtual int GetCheckImage(PGridNode Node);
    // The built-in check image list of a kind (nullptr for ckCustom or without pictures).
    virtual classlib::TImageList* GetCheckImageListFor(TCheckImageKind Kind);
    // Image index of a node (Kind, Column); -1 when it has none. ImageList receives the
    // list to draw from (the tree's own for nullptr from the events).
    virtual classlib::TImageList* DoGetImageIndex(PGridNode Node, TGTImageKind Kind, TColumnIndex Column,
                                                  bool& Ghosted, int& Index);
    bool HasImage(PGridNode Node, TGTImageKind Kind, TColumnIndex Column);
    // The room the check, state and normal images of a cell take before its text (each
    // image's width + 2; the check image only in the main column with toCheckSupport).
    int ImagesWidth(PGridNode Node, TColumnIndex Column, bool MainColumn);
    // The node's text in a column; empty in the base tree (string trees answer it).
    virtual std::wstring NodeText(PGridNode Node, TColumnIndex Column) {
        (void)Node; (void)Column;
        return std::wstring();
    }
    // Is the cell without content? (OnGetCellIsEmpty; True without a handler.)
    virtual bool ColumnIsEmpty(PGridNode Node, TColumnIndex Column);
    // Hint and tooltip texts of a cell: the control's hint in the base tree.
    virtual std::wstring DoGetNodeHint(PGridNode Node, TColumnIndex Column, TGTTooltipLineBreakStyle& LineBreakStyle);
    virtual std::wstring DoGetNodeTooltip(PGridNode Node, TColumnIndex Column,
                                          TGTTooltipLineBreakStyle& LineBreakStyle);
    // Is Node a node of this tree (not the hidden root)? Reads no memory outside the
    // tree's own node store, so any value may be asked about.
    bool IsNodeOfTree(const void* Node) const;

    // --- updates, notifications, scrolling, cache ---------------------------------------
    void BeginUpdate();
    void EndUpdate();
    void BeginSynch();
    void EndSynch();
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value) { DoSetOffsetXY(POINT{Value, FOffsetY}); }
    void SetOffsetY(int Value) { DoSetOffsetXY(POINT{FOffsetX, Value}); }
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

    // --- mouse, keyboard and incremental search ------------------------------------------
    TGTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    // isNone stops the search timer and forgets the typed text.
    void SetIncrementalSearch(TGTIncrementalSearch Value);
    TGTSearchDirection IncrementalSearchDirection() const { return FSearchDirection; }
    void SetIncrementalSearchDirection(TGTSearchDirection Value) { FSearchDirection = Value; }
    TGTSearchStart IncrementalSearchStart() const { return FSearchStart; }
    void SetIncrementalSearchStart(TGTSearchStart Value) { FSearchStart = Value; }
    uint32_t IncrementalSearchTimeout() const { return FSearchTimeout; }
    void SetIncrementalSearchTimeout(uint32_t Value) { FSearchTimeout = Value; }
    // The text typed so far and the node it found last.
    const std::wstring& SearchBuffer() const { return FSearchBuffer; }
    PGridNode LastSearchNode() const { return FLastSearchNode; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    // The cursor over the hot node with toHotTrack (crDefault: the control's cursor).
    classlib::TCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(classlib::TCursor Value) { FHotCursor = Value; }
    // A check image pressed with the mouse or the space bar, and the state it will get.
    PGridNode CheckNode() const { return FCheckNode; }
    TCheckState PendingCheckState() const { return FPendingCheckState; }
    // The client point of the last press.
    POINT LastClickPos() const { return FLastClickPos; }
    // The next check state a click gives (never asked for ctNone).
    virtual TCheckState NextCheckStateOf(TCheckKind Kind, TCheckState State);

    // --- hints --------------------------------------------------------------------------
    TGTHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TGTHintMode Value) { FHintMode = Value; }
    THintAnimationType HintAnimation() const { return FHintAnimation; }
    void SetHintAnimation(THintAnimationType Value) { FHintAnimation = Value; }
    // The client rectangle in which the hint shown stays valid (empty: none).
    RECT LastHintRect() const { return FLastHintRect; }
    void ClearLastHintRect() { FLastHintRect = RECT{}; }
    // What the hint window shows; the application's hint data points here.
    TGTHintData& HintData() { return FHintData; }
    // The animation a hint window runs: HintAnimation with the system default resolved
    // (none when the system has tooltip animation off).
    virtual THintAnimationType DoGetAnimationType();
    // Expires when the tree is destroyed: code that serves messages in between (the hint
    // animation) checks it before it touches the tree again.
    std::weak_ptr<void> LifeToken() const { return FLifeToken; }

    // --- events -------------------------------------------------------------------------
    TGTKeyActionEvent OnKeyAction;
    TGTIncrementalSearchEvent OnIncrementalSearch;
    TGTPopupEvent OnGetPopupMenu;
    TGTGetCursorEvent OnGetCursor;
    TGTEditChangingEvent OnEditing;
    TGTEditChangeEvent OnEdited;
    TGTEditCancelEvent OnEditCancelled;
    TGTCreateEditorEvent OnCreateEditor;
    TGTHelpContextEvent OnGetHelpContext;
    TGTColumnClickEvent OnColumnClick, OnColumnDblClick;
    TGTDragAllowedEvent OnDragAllowed;
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
    TGTPaintEvent OnBeforePaint, OnAfterPaint;
    TGTBeforeItemPaintEvent OnBeforeItemPaint;
    TGTAfterItemPaintEvent OnAfterItemPaint;
    TGTBeforeItemEraseEvent OnBeforeItemErase;
    TGTAfterItemEraseEvent OnAfterItemErase;
    TGTBeforeCellPaintEvent OnBeforeCellPaint;
    TGTAfterCellPaintEvent OnAfterCellPaint;
    TGTBackgroundPaintEvent OnPaintBackground;
    TGTGetImageEvent OnGetImageIndex;
    TGTGetImageExEvent OnGetImageIndexEx;
    TGTGetLineStyleEvent OnGetLineStyle;
    TGTGetCellIsEmptyEvent OnGetCellIsEmpty;
    TGTHeaderPaintEvent OnHeaderDraw;
    TGTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TGTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TGTGetHeaderCursorEvent OnGetHeaderCursor;


    // --- streaming, sorting, node transfer, clipboard, drag and drop --------------------
    // Tree streams: a 12-byte header, a node count and one anchor chunk per node (node
    // body, children, the owner's data). Loading checks every length against its chunk and
    // the stream, and raises EGridTreeError for malformed data (the nodes read so far stay).
    virtual void SaveToStream(classlib::TStream& Stream, PGridNode Node = nullptr);
    virtual void LoadFromStream(classlib::TStream& Stream);
    virtual void LoadFromFile(const std::wstring& FileName);
    // Stable merge sort of a node's children (nullptr: the top level) by DoCompare.
    virtual void Sort(PGridNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    // Sorts every sibling chain; with toAutoSort EndUpdate and the header call it.
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    // Moves a node (or only its children) to Target by Mode, in this tree or into another
    // one (Target a node of that tree, or its RootNode()); nullptr means this tree's root.
    void MoveTo(PGridNode Source, PGridNode Target, TGTNodeAttachMode Mode, bool ChildrenOnly);
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual bool PasteFromClipboard();
    void CancelCutOrCopy();
    void FinishCutOrCopy();
    virtual void MarkCutCopyNodes();
    // Renders a format for the tree's data object ("Grid Tree Data" here, the rest through
    // OnRenderOLEData). Medium starts empty.
    virtual HRESULT RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    // Inserts the "Grid Tree Data" of a data object at TargetNode by Mode (Optimized: moves
    // the cut nodes of Source, a tree of this process, instead of copying).
    bool ProcessOLEData(TBaseGridTree* Source, IDataObject* DataObject, PGridNode TargetNode,
                        TGTNodeAttachMode Mode, bool Optimized);
    // The formats this tree may offer (none by default).
    TClipboardFormats& ClipboardFormats();
    // The formats the registry holds for this tree's class and ClipboardFormats allows,
    // then those OnGetUserClipboardFormats adds.
    virtual void GetNativeClipboardFormats(std::vector<FORMATETC>& Formats);
    TGTNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    void SetDefaultPasteMode(TGTNodeAttachMode Value) { FDefaultPasteMode = Value; }

    // Drags. BeginDrag is the start the mouse handling calls (threshold -1: the system's
    // drag distance); DoDragging runs a whole OLE drag from client point P.
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const;
    int DragThreshold() const { return FDragThreshold; }
    IGTDragManager* GetDragManager();
    virtual void DoDragging(POINT P);
    virtual DWORD SuggestDropEffect(classlib::TComponent* Source, classlib::TShiftState Shift, POINT Pt,
                                    DWORD AllowedEffects);
    void PrepareDragImage(POINT HotSpot, IDataObject* DataObject);
    virtual void UpdateWindowAndDragImage(TBaseGridTree* Tree, RECT TreeRect, bool UpdateNCArea,
                                          bool ReshowDragImage);
    // The drop target's side (points in screen coordinates), called by the drag manager.
    virtual HRESULT DragEnter(DWORD KeyState, POINT Pt, DWORD& Effect);
    virtual HRESULT DragOver(classlib::TComponent* Source, DWORD KeyState, classlib::TDragState DragState, POINT Pt,
                             DWORD& Effect);
    virtual void DragLeave();
    virtual HRESULT DragDrop(IDataObject* DataObject, DWORD KeyState, POINT Pt, DWORD& Effect);
    virtual void DoDragExpand();
    virtual void DragFinished();
    bool CanShowDragImage() const { return FDragImageKind != diNoImage; }
    // The tree of this process that made a data object (its "Grid Tree Reference"), or null.
    static TBaseGridTree* GetTreeFromDataObject(IDataObject* DataObject);
    TGTDragImage& DragImage();
    // The node a drag would drop on (null for none), and where on it.
    PGridNode DropTargetNode() const { return FDropTargetNode; }
    TGTDropMode LastDropMode() const { return FLastDropMode; }
    const TNodeArray& DragSelection() const { return FDragSelection; }
    TGTDragType DragType() const { return FDragType; }
    void SetDragType(TGTDragType Value) { FDragType = Value; }
    TDragOperations DragOperations() const { return FDragOperations; }
    void SetDragOperations(TDragOperations Value) { FDragOperations = Value; }
    TGTDragImageKind DragImageKind() const { return FDragImageKind; }
    void SetDragImageKind(TGTDragImageKind Value) { FDragImageKind = Value; }
    int DragWidth() const { return FDragWidth; }
    void SetDragWidth(int Value) { FDragWidth = Value; }
    int DragHeight() const { return FDragHeight; }
    void SetDragHeight(int Value) { FDragHeight = Value; }
    uint32_t AutoExpandDelay() const { return FAutoExpandDelay; }
    void SetAutoExpandDelay(uint32_t Value) { FAutoExpandDelay = Value; }
    // Registers the window as OLE drop target while toAcceptOLEDrop is set (and it is a
    // real child window), revokes it otherwise.
    void UpdateDropTargetRegistration();

    TGTSaveNodeEvent OnSaveNode, OnLoadNode;
    TGTNodeCopiedEvent OnNodeCopied;
    TGTNodeCopyingEvent OnNodeCopying;
    TGTNodeMovedEvent OnNodeMoved;
    TGTNodeMovingEvent OnNodeMoving;
    TGTCompareEvent OnCompareNodes;
    TGTDragOverEvent OnDragOver;
    TGTDragDropEvent OnDragDrop;
    TGTCreateDataObjectEvent OnCreateDataObject;
    TGTCreateDragManagerEvent OnCreateDragManager;
    TGTRenderOLEDataEvent OnRenderOLEData;
    TGTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;

    // Do methods of the transfer events.
    virtual int DoCompare(PGridNode Node1, PGridNode Node2, TColumnIndex Column);
    virtual void DoSaveUserData(PGridNode Node, classlib::TStream& Stream);
    virtual void DoLoadUserData(PGridNode Node, classlib::TStream& Stream);
    virtual void DoNodeCopied(PGridNode Node);
    virtual bool DoNodeCopying(PGridNode Node, PGridNode Target);
    virtual void DoNodeMoved(PGridNode Node);
    virtual bool DoNodeMoving(PGridNode Node, PGridNode Target);
    virtual bool DoBeforeDrag(PGridNode Node, TColumnIndex Column);
    virtual bool DoDragOver(classlib::TComponent* Source, classlib::TShiftState Shift, classlib::TDragState State,
                            POINT Pt, TGTDropMode Mode, DWORD& Effect);
    virtual void DoDragDrop(classlib::TComponent* Source, IDataObject* DataObject,
                            const std::vector<CLIPFORMAT>& Formats, classlib::TShiftState Shift, POINT Pt,
                            DWORD& Effect, TGTDropMode Mode);
    virtual IDataObject* DoCreateDataObject();
    virtual IGTDragManager* DoCreateDragManager();
    virtual HRESULT DoRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    virtual void DoGetUserClipboardFormats(std::vector<FORMATETC>& Formats);
    void DoStartDrag() override;
    void DoEndDrag(classlib::TComponent* Target, int X, int Y) override;

    // --- hooks used by the settings objects ----------------------------------------------
    bool IsLoading() const { return (ComponentState() & classlib::csLoading) != 0; }
    bool IsDestroying() const { return FDestroying; }
    // Repaints the whole control; nothing to do without a child window (the message-only
    // window of a tree without a parent paints nothing, and bulk changes call this often),
    // nor for a window on no screen: showing it paints it whole, and each invalidation costs
    // a round trip to the window server.
    void Invalidate() {
        if (HasControlWindow() && IsWindowVisible(FHandle)) TCustomControl::Invalidate();
    }
    virtual TColumnIndex MainColumn() const { return FHeader->MainColumn(); }
    virtual int ColumnCount() const { return FHeader->Columns().Count(); }
    // A column's width changed: repaints from its left edge (with a window) and fires
    // OnColumnResize.
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
    // Header drawing notifications (Part of the header's painting).
    virtual void DoHeaderDraw(classlib::TCanvas& Canvas, TGridTreeColumn* Column, const RECT& R, bool Hover,
                              bool Pressed, TGTDropMarkMode DropMark) {
        if (OnHeaderDraw) OnHeaderDraw(FHeader.get(), Canvas, Column, R, Hover, Pressed, DropMark);
    }
    virtual void DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements) {
        if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(FHeader.get(), PaintInfo, Elements);
    }
    virtual void DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements) {
        if (OnAdvancedHeaderDraw) OnAdvancedHeaderDraw(FHeader.get(), PaintInfo, Elements);
    }
    virtual void DoGetHeaderCursor(HCURSOR& Cursor) {
        if (OnGetHeaderCursor) OnGetHeaderCursor(FHeader.get(), Cursor);
    }
    // The header's main column changed: a running edit is cancelled (and string trees
    // forget their cached widths).
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
    // Every change of the scroll offsets: clamps them into [client size - range, 0], moves
    // the window's pixels (within ClipRect, the client area for nullptr), keeps header and
    // scroll bars in step, re-evaluates the hot node and fires OnScroll. False when the
    // offsets stay as they are.
    virtual bool DoSetOffsetXY(POINT Value, TScrollUpdateOptions Options = DefaultScrollUpdateOptions,
                               const RECT* ClipRect = nullptr);
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

    // Stream chunks: see SaveToStream. ChunkLength is checked against the enclosing chunk.
    virtual void WriteNode(classlib::TStream& Stream, PGridNode Node);
    virtual void WriteChunks(classlib::TStream& Stream, PGridNode Node);
    virtual void ReadNode(classlib::TStream& Stream, int Version, PGridNode Node);
    virtual bool ReadChunk(classlib::TStream& Stream, int Version, PGridNode Node, int ChunkKind, int ChunkLength);
    virtual void SkipNode(classlib::TStream& Stream);
    virtual void InternalAddFromStream(classlib::TStream& Stream, int Version, PGridNode Node);
    static void CloseChunk(classlib::TStream& Stream, int64_t StartPos, int64_t EndPos);
    // The in-process drag of the class library reaches the tree here.
    void CMDrag(classlib::TMessage& Message) override;
    // Clipboard messages, the expand timer and the drop target's life with the window;
    // false for messages it leaves alone.
    bool TransferWindowProc(classlib::TMessage& Message);
    // Mouse, keyboard, focus, cursor and hint messages, routed here by WndProc; false for
    // messages it leaves alone.
    bool InputMessage(classlib::TMessage& Message);
    // The press, release and double-click rules of the selection, check images, edit
    // starts and drag starts (Message: the button message, client coordinates).
    virtual void HandleMouseDown(classlib::TMessage& Message, const THitInfo& HitInfo);
    virtual void HandleMouseUp(classlib::TMessage& Message, const THitInfo& HitInfo);
    virtual void HandleMouseDblClick(classlib::TMessage& Message, const THitInfo& HitInfo);
    // The panning cursor for the mouse at (X, Y) relative to the click point.
    virtual void AdjustPanningCursor(int X, int Y);
    // The name of the panning cursor resource for the mouse at (X, Y), the click point at
    // Anchor, when the tree can scroll horizontally (CanScrollH) and vertically.
    static const wchar_t* PanningCursorName(POINT Anchor, int X, int Y, bool CanScrollH, bool CanScrollV);
    // A key after the class library's handling: navigation, then the other keys.
    virtual void HandleKeyDown(WORD CharCode, classlib::TShiftState Shift);
    virtual void HandleKeyUp(WORD CharCode, classlib::TShiftState Shift);
    // OnKeyAction; false stops the key.
    virtual bool DoKeyAction(WORD& CharCode, classlib::TShiftState& Shift);
    // One UTF-16 code unit typed during a search (0 only restarts the timer).
    virtual void HandleIncrementalSearch(wchar_t CharCode);
    // 0 when the node matches the text (OnIncrementalSearch; 0 without a handler).
    virtual int DoIncrementalSearch(PGridNode Node, const std::wstring& Text);
    // Ends the search: the text and the last hit are forgotten.
    void StopIncrementalSearch();
    // The popup menu for a node (asking up the ancestors) and showing it at a client point.
    virtual classlib::TPopupMenu* DoGetPopupMenu(PGridNode Node, TColumnIndex Column, POINT P);
    virtual void DoPopupMenu(PGridNode Node, TColumnIndex Column, POINT P);
    virtual void DoGetCursor(classlib::TCursor& Cursor) { if (OnGetCursor) OnGetCursor(this, Cursor); }
    virtual void DoColumnClick(TColumnIndex Column, classlib::TShiftState Shift) {
        if (OnColumnClick) OnColumnClick(this, Column, Shift);
    }
    virtual void DoColumnDblClick(TColumnIndex Column, classlib::TShiftState Shift) {
        if (OnColumnDblClick) OnColumnDblClick(this, Column, Shift);
    }
    // Starts a drag from a press: BeginDrag (the first mouse move beyond the threshold
    // then calls DoDragging).
    virtual void DoBeginDrag(bool Immediate, int Threshold = -1);
    // Editing steps: OnEditing, starting the editor of the focused cell, ending, cancelling
    // and making an editor (OnCreateEditor; the base tree has none of its own).
    virtual void DoCanEdit(PGridNode Node, TColumnIndex Column, bool& Allowed);
    virtual void DoEdit();
    virtual bool DoEndEdit();
    virtual bool DoCancelEdit();
    virtual PGTEditLink DoCreateEditor(PGridNode Node, TColumnIndex Column);
    // Hints: whether and where a hint shows (CM_HINTSHOW), and its delay.
    void CMHintShow(classlib::TMessage& Message) override;
    bool HintsOfItsOwn() override;
    virtual void CMHintShowPause(classlib::TMessage& Message);
    virtual std::function<classlib::THintWindow*()> GetHintWindowClass();
    // Whether the system animates tooltips, and by fading.
    virtual void SystemTooltipAnimation(bool& Animate, bool& Fade);

    // Window plumbing.
    void WndProc(classlib::TMessage& Message) override;
    void CreateParams(classlib::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WMSize(classlib::TMessage& Message) override;
    virtual void WMScroll(classlib::TMessage& Message, bool Vertical);
    void WMPaint(classlib::TMessage& Message) override;
    void CMColorChanged(classlib::TMessage& Message) override;
    void CMFontChanged(classlib::TMessage& Message) override;
    void CMMouseWheel(classlib::TMessage& Message) override;
    void CMMouseLeave(classlib::TMessage& Message) override;
    void Paint() override;
    // Messages of the window and the system (non-client area with the header, printing,
    // colours, themes, the tree-view queries). False for messages it leaves alone.
    virtual bool WindowMessage(classlib::TMessage& Message);
    // The tree-view queries of accessibility tools (TVM_GETITEMA, TVM_GETITEMRECT,
    // TVM_GETNEXTITEM). Any process may send them: item handles that are not nodes of this
    // tree, unreadable records and empty text buffers are answered with 0.
    LRESULT TreeViewQuery(UINT Msg, WPARAM WParam, LPARAM LParam);
    // The non-client border inside the window frame: bevel and BorderWidth ring.
    virtual void PaintBorder(HDC DC, const RECT& WindowRect);
    // The space the border takes on each side, as a negative size (GetSystemMetrics based).
    SIZE GetBorderDimensions() const;

    // Auto-scroll while the mouse drags a selection rectangle, drags over the tree or pans.
    virtual TScrollDirections DetermineScrollDirections(int X, int Y);
    virtual bool CanAutoScroll();
    virtual void DoAutoScroll(int X, int Y);
    virtual void DoTimerScroll();
    // Moves the selection rectangle's second corner to the client point (X, Y); true when
    // the rectangle changed.
    virtual bool CalculateSelectionRect(int X, int Y);
    // The hot node follows the mouse (client point).
    virtual void HandleHotTrack(int X, int Y);

    // --- painting steps -----------------------------------------------------------------
    virtual void PaintCheckImage(TGTPaintInfo& PaintInfo);
    virtual void PaintImage(TGTPaintInfo& PaintInfo, TGTImageInfoIndex ImageInfoIndex, bool DoOverlay);
    virtual void PaintNodeButton(classlib::TCanvas& Canvas, PGridNode Node, const RECT& CellRect, int ButtonX,
                                 int ButtonY, TBiDiMode BidiMode);
    virtual void PaintTreeLines(TGTPaintInfo& PaintInfo, int VAlign, int IndentSize, const TLineImage& LineImage);
    virtual void PaintSelectionRectangle(classlib::TCanvas& Canvas, int WindowOrgX, const RECT& SelectionRect,
                                         const RECT& TargetRect);
    virtual void DrawLineImage(TGTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TGTLineType Style,
                               bool Reverse);
    // The content of a cell (the string tree paints its text).
    virtual void DoPaintNode(TGTPaintInfo& PaintInfo) { (void)PaintInfo; }
    virtual void PaintItemBackground(TGTPaintInfo& PaintInfo, bool UseBackground, const RECT& R);
    virtual void PaintCellBackground(TGTPaintInfo& PaintInfo, const RECT& SelectionRect);
    virtual void DoPaintDropMark(classlib::TCanvas& Canvas, PGridNode Node, const RECT& R);
    virtual void DrawDottedHLine(const TGTPaintInfo& PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVLine(const TGTPaintInfo& PaintInfo, int Top, int Bottom, int Left);
    // The next visible column after the cell's column; string trees widen the cell over
    // following empty cells first.
    virtual TColumnIndex AdjustPaintCellRect(TGTPaintInfo& PaintInfo);
    void GetImageIndex(TGTPaintInfo& Info, TGTImageKind Kind, TGTImageInfoIndex InfoIndex,
                       classlib::TImageList* DefaultImages);
    void CalculateVerticalAlignments(bool ShowImages, bool ShowStateImages, PGridNode Node, int& VAlign,
                                     int& VButtonAlign);
    // The line images of the node's indentation levels; answers the number of selected
    // ancestors.
    int DetermineLineImageAndSelectLevel(PGridNode Node, TLineImage& LineImage);
    // Paint events, each fired by its Do method.
    virtual void DoBeforePaint(classlib::TCanvas& Canvas) { if (OnBeforePaint) OnBeforePaint(this, Canvas); }
    virtual void DoAfterPaint(classlib::TCanvas& Canvas) { if (OnAfterPaint) OnAfterPaint(this, Canvas); }
    virtual bool DoBeforeItemPaint(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect);
    virtual void DoAfterItemPaint(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect) {
        if (OnAfterItemPaint) OnAfterItemPaint(this, Canvas, Node, ItemRect);
    }
    virtual void DoBeforeItemErase(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect,
                                   classlib::TColor& Color, TItemEraseAction& EraseAction) {
        if (OnBeforeItemErase) OnBeforeItemErase(this, Canvas, Node, ItemRect, Color, EraseAction);
    }
    virtual void DoAfterItemErase(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect) {
        if (OnAfterItemErase) OnAfterItemErase(this, Canvas, Node, ItemRect);
    }
    virtual void DoBeforeCellPaint(classlib::TCanvas& Canvas, PGridNode Node, TColumnIndex Column,
                                   const RECT& CellRect) {
        if (OnBeforeCellPaint) OnBeforeCellPaint(this, Canvas, Node, Column, CellRect);
    }
    virtual void DoAfterCellPaint(classlib::TCanvas& Canvas, PGridNode Node, TColumnIndex Column,
                                  const RECT& CellRect) {
        if (OnAfterCellPaint) OnAfterCellPaint(this, Canvas, Node, Column, CellRect);
    }
    virtual bool DoPaintBackground(classlib::TCanvas& Canvas, const RECT& R);
    virtual void DoGetLineStyle(TGTLineBits& Bits) { if (OnGetLineStyle) OnGetLineStyle(this, Bits); }
    // The colours of a selection that has the focus (or is in popup mode), else the
    // unfocused pair.
    classlib::TColor SelectionFillColor() const;
    classlib::TColor SelectionBorderColor() const;
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
    // Takes Options as the tree's options object, with the values the old one had. For
    // constructors of descendants that use their own kind of options.
    void InstallOptions(std::unique_ptr<TCustomGridTreeOptions> Options);
    // Creates the hidden root; called once by the constructor.
    void InitRootNode();

    bool HasOption(TGTMiscOptions o) const { return (FOptions->MiscOptions() & o) != 0; }
    bool HasAutoOption(TGTAutoOptions o) const { return (FOptions->AutoOptions() & o) != 0; }
    bool HasSelectionOption(TGTSelectionOptions o) const { return (FOptions->SelectionOptions() & o) != 0; }
    bool HasPaintOption(TGTPaintOptions o) const { return (FOptions->PaintOptions() & o) != 0; }
    bool HasState(TGridTreeStates s) const { return (TreeStates() & s) != 0; }

    PGridNode FHotNode = nullptr;
    PGridNode FDropTargetNode = nullptr;
    TGTDropMode FLastDropMode = dmOnNode;
    RECT FUpdateRect{};  // the area the current paint message asks for (client coordinates)
    int FPaintRowTop = 0;  // tree y of the row bitmap's top while a row is painted

private:
    friend class TCustomGridTreeOptions;
    friend uint32_t detail::SettledIndex(const TGridNode* Node);
    void ForgetNode(PGridNode Node);
    // The rows and the header after a column's width changed.
    void Resized(TColumnIndex Column);
    // Frees a node of a subtree DeleteChildren takes apart.
    void FreeDeletedNode(PGridNode Node);
    // Lazy renumbering of sibling indexes (basetree_structure.cpp).
    uint32_t SettledIndexOf(PGridNode Node);
    // The index of a child appended to Parent now (Count children reserve their numbers).
    uint32_t AppendIndex(PGridNode Parent, uint32_t Count);
    void SettleIndexes(PGridNode Parent);
    void DropPendingIndexes(PGridNode Parent);
    void ApplyWorkerStates(unsigned Enter, unsigned Leave);
    PGridNode NextVisibleForCache(PGridNode Node) const;
    PGridNode FindInPositionCache(int Y, uint32_t& Top) const;
    PGridNode FindInPositionCache(PGridNode Node, uint32_t& Top) const;
    // The position cache is usable now.
    bool HasPositionCache() const;
    // Builds the position cache on this (the main) thread when the tree is large enough for
    // one, stopping the worker's build first: for a lookup that found none and would walk
    // far without it. True when the cache is usable afterwards.
    bool BuildPositionCacheNow();
    void SelectionOptionsChanged(TGTSelectionOptions Old, TGTSelectionOptions New);
    // False when the node ends up without children to show: nothing changed then.
    bool ToggleNodeExpand(PGridNode Node);
    void ToggleNodeCollapse(PGridNode Node);
    // Starts the validation timer unless it runs (the tree needs a window for it).
    void RequestValidation();
    // DoSetOffsetXY unless the offsets, kept within the ranges, would stay as they are.
    void SetOffsetsWithinRange(int X, int Y);
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
    // Parents whose children wait to be renumbered after single deletes.
    std::unique_ptr<detail::TPendingIndexes> FPendingIndexes;
    bool FRedrawOff = false;  // the update bracket switched the window's redrawing off
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
    // Queued or held by the worker (kept under the worker's lock).
    std::atomic<bool> FWithWorker{false};

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

    // Appearance.
    classlib::TComponentRef<classlib::TImageList> FImages{[this] { Invalidate(); }};
    classlib::TComponentRef<classlib::TImageList> FStateImages{[this] { Invalidate(); }};
    classlib::TComponentRef<classlib::TImageList> FCustomCheckImages{[this] { CustomCheckImagesFreed(); }};
    classlib::TChangeLink FImagesLink, FStateImagesLink, FCustomCheckImagesLink;
    classlib::TImageList* FCheckImages = nullptr;
    TCheckImageKind FCheckImageKind = ckLightCheck;
    TGTButtonStyle FButtonStyle = bsRectangle;
    TGTButtonFillMode FButtonFillMode = fmTreeColor;
    TGTLineStyle FLineStyle = lsDotted;
    TGTLineMode FLineMode = lmNormal;
    TGTNodeAlignment FNodeAlignment = naProportional;
    int FSelectionCurveRadius = 0;
    uint8_t FSelectionBlendFactor = 128;
    TGTDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    classlib::TBitmap FBackground;
    int FBackgroundOffsetX = 0, FBackgroundOffsetY = 0;
    classlib::TFormBorderStyle FBorderStyle = classlib::bsSingle;
    bool FCtl3D = true;
    int FBorderWidth = 0;
    TBevelKind FBevelKind = bkNone;
    classlib::TGdiObject<HBITMAP> FPlusBM, FMinusBM;
    classlib::TBitmap FRowBitmap;  // one row of a paint pass
    classlib::TGdiObject<HBRUSH> FDottedBrush;
    void CustomCheckImagesFreed();
    void ImageListChanged(classlib::TImageList* List);
    void LinkImageList(classlib::TComponentRef<classlib::TImageList>& Ref, classlib::TChangeLink& Link,
                       classlib::TImageList* Value);
    // Tiles (or places, with toStaticBackground) the background picture over R of a DC
    // whose origin is at OriginX, OriginY of the tree area.
    void PaintBackgroundPicture(HDC DC, const RECT& R, int OriginX, int OriginY);
    // The header strip of a WM_PRINT or WM_NCPAINT, into a window DC.
    void PaintHeaderInto(HDC DC);

    // Streaming, transfer and drag state (basetree_transfer.cpp, basetree_dragdrop.cpp).
    std::unique_ptr<detail::TTransferData> FTransfer;
    TNodeArray FDragSelection;
    TGTNodeAttachMode FDefaultPasteMode = amAddChildLast;
    TGTDragType FDragType = dtOLE;
    TDragOperations FDragOperations = doCopy | doMove;
    TGTDragImageKind FDragImageKind = diComplete;
    int FDragWidth = 200;
    int FDragHeight = 350;
    uint32_t FAutoExpandDelay = 1000;
    int FDragThreshold = 0;
    void ReleaseTransfer() noexcept;
    detail::TTransferData& Transfer();

    // Auto-scroll.
    TScrollDirections FScrollDirections = 0;
    DWORD FDragScrollStart = 0;
    uint32_t FAutoScrollDelay = 1000;
    uint32_t FAutoScrollInterval = 1;

    // Wheel panning.
    HWND FPanningWindow = nullptr;
    HBITMAP FPanningImage = nullptr;
    POINT FLastClickPos{};
    HCURSOR FPanningCursor = nullptr;  // the panning cursor shown (loaded, ours to free)

    // Keyboard, incremental search, check images, mouse.
    bool KeyboardMessage(classlib::TMessage& Message);
    bool NavigationKey(WORD CharCode, classlib::TShiftState Shift);
    void OtherKey(WORD CharCode, classlib::TShiftState Shift);
    bool CanExtendSelection(classlib::TShiftState Shift) const;
    // A press on a node's check image (mouse or space bar): the pressed form shows and the
    // next state waits for the release (Pending: tsMouseCheckPending or tsKeyCheckPending).
    void PressCheckImage(PGridNode Node, TGridTreeStates Pending);
    // The release of a pressed check image: the next state applies (Apply) or not.
    void ReleasePendingCheck(bool Apply);
    void ShowHelpForFocusedNode();
    void StopInputTimers();
    void MouseButtonMessage(classlib::TMessage& Message);
    bool SetCursorMessage(classlib::TMessage& Message);
    TGTIncrementalSearch FIncrementalSearch = isNone;
    TGTSearchDirection FSearchDirection = sdForward;
    TGTSearchStart FSearchStart = ssFocusedNode;
    uint32_t FSearchTimeout = 1000;
    std::wstring FSearchBuffer;
    PGridNode FLastSearchNode = nullptr;
    wchar_t FPendingHighSurrogate = 0;  // the first half of a character typed in two
    bool FWantTabs = false;
    classlib::TCursor FHotCursor = classlib::crDefault;
    PGridNode FCheckNode = nullptr;
    TCheckState FPendingCheckState = csUncheckedNormal;

    // Hints.
    TGTHintMode FHintMode = hmDefault;
    THintAnimationType FHintAnimation = hatSystemDefault;
    RECT FLastHintRect{};
    TGTHintData FHintData;
    std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);

    // In-place editing.
    uint32_t FEditDelay = 1000;
    TColumnIndex FEditColumn = NoColumn;
    PGTEditLink FEditLink;
};

// The tree a node belongs to (follows the parents up to the hidden root).
TBaseGridTree* OwningTree(PGridNode Node);

}  // namespace gridtree
