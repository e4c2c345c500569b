// The header of a grid tree and its columns.
//
// Columns turn the tree into a grid. A column has an *index* (its place in the collection;
// stable; cells and every `Column` argument of the tree's events use it) and a *position*
// (its place on screen, left to right; changed by `SetPosition` or by dragging). The
// collection keeps a map from position to index. A tree without columns works with
// `NoColumn` (-1), which spans the whole client width; every column search that finds
// nothing answers `InvalidColumn` (-2).
//
// Ownership: the tree creates its header in its constructor and frees it in its destructor;
// the header owns the column collection, the collection owns the columns. A column pointer
// stays valid until the column is deleted (`Delete`, `Clear`) or the tree goes.
// Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/control.h"
#include "classlib/graphics.h"
#include "controls/gridtree/gridtree_types.h"

namespace gridtree {

class TGTHeader;
class TGridTreeColumns;

using TColumnPosition = uint32_t;
using TIndexArray = std::vector<int>;

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

using TGTColumnOptions = uint16_t;
enum TGTColumnOption : uint16_t {
    coAllowClick = 1u << 0,     // clicks raise the header click and show the button pressed
    coDraggable = 1u << 1,      // may be dragged to another position (with hoDrag)
    coEnabled = 1u << 2,        // off: drawn disabled, a left click does not count
    coParentBidiMode = 1u << 3, // follows the tree's BiDiMode
    coParentColor = 1u << 4,    // follows the tree's Color
    coResizable = 1u << 5,      // the right border can be dragged (with hoColumnResize)
    coShowDropMark = 1u << 6,   // shows the drop mark while another column is dragged over
    coVisible = 1u << 7,        // an invisible column takes no width and no position pixels
    coAutoSpring = 1u << 8,     // shares size changes of the tree (with hoAutoSpring)
    coFixed = 1u << 9,          // does not scroll horizontally
};
constexpr TGTColumnOptions DefaultColumnOptions = coAllowClick | coDraggable | coEnabled | coParentBidiMode |
                                                  coParentColor | coResizable | coShowDropMark | coVisible;

using TGTHeaderOptions = uint16_t;
enum TGTHeaderOption : uint16_t {
    hoAutoResize = 1u << 0,     // the AutoSizeIndex column takes the width the others leave
    hoColumnResize = 1u << 1,
    hoDblClickResize = 1u << 2,
    hoDrag = 1u << 3,
    hoHotTrack = 1u << 4,
    hoOwnerDraw = 1u << 5,
    hoRestrictDrag = 1u << 6,
    hoShowHint = 1u << 7,
    hoShowImages = 1u << 8,
    hoShowSortGlyphs = 1u << 9,
    hoVisible = 1u << 10,       // the header is shown (and takes its Height off the client area)
    hoAutoSpring = 1u << 11,
};
// Options of a new header. (Form descriptions that leave Options out get these too.)
constexpr TGTHeaderOptions DefaultHeaderOptions = hoColumnResize | hoDrag;

enum TGTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates, hsXPStyle };
enum TGTHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TGridTreeColumnStyle { vsText, vsOwnerDraw };
enum TGTDropMarkMode { dmmNone, dmmLeft, dmmRight };

using THeaderStates = uint8_t;
enum THeaderState : uint8_t {
    hstDragging = 1u << 0,
    hstDragPending = 1u << 1,
    hstLoading = 1u << 2,
    hstResizing = 1u << 3,
    hstResizePending = 1u << 4,
};

class TGridTreeColumn {
public:
    // Appends the column to Owner (at the right end) and signals the change.
    explicit TGridTreeColumn(TGridTreeColumns* Owner);
    virtual ~TGridTreeColumn() = default;
    TGridTreeColumn(const TGridTreeColumn&) = delete;
    TGridTreeColumn& operator=(const TGridTreeColumn&) = delete;

    TGridTreeColumns* Owner() const { return FOwner; }
    TColumnIndex Index() const;

    const std::wstring& Text() const { return FText; }
    void SetText(const std::wstring& Value);
    const std::wstring& Hint() const { return FHint; }
    void SetHint(const std::wstring& Value) { FHint = Value; }
    int Width() const { return FWidth; }
    // Clamped into [MinWidth, MaxWidth]. While hoAutoResize is on, the AutoSizeIndex
    // column's width is computed by the header and cannot be set.
    void SetWidth(int Value);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TGridTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TGridTreeColumnStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TGTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TGTHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TGTColumnOptions Options() const { return FOptions; }
    void SetOptions(TGTColumnOptions Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    classlib::TColor Color() const { return FColor; }
    void SetColor(classlib::TColor Value);

    // Left edge in pixels from the left end of the column band (no scroll offset).
    int ColumnLeft() const { return FLeft; }
    int WidthBeforeChange() const { return FLastWidth; }
    float SpringCarry() const { return FSpringRest; }

    virtual bool SameAs(const TGridTreeColumn& Other) const;
    // The tree's header rectangle narrowed to this column (no scroll offset).
    virtual void HeaderCellRect(RECT& R) const;
    // ColumnLeft plus the horizontal scroll offset, except for a visible fixed column.
    int AbsoluteLeft() const;
    void ColumnExtent(int& Left, int& Right) const { Left = FLeft; Right = FLeft + FWidth; }
    bool UsesRightToLeft() const { return FBiDiMode != bdLeftToRight; }
    // Animates the width back to WidthBeforeChange.
    void RestoreWidth();
    // Copies every property (Options last) through the setters.
    void Assign(const TGridTreeColumn& Source);
    // Text when it is all at most U+00FF, else "Column <index>".
    std::wstring DisplayName() const;

    // The tree's parent BiDi mode or colour changed.
    void ParentBiDiModeChanged();
    void ParentColorChanged();

private:
    friend class TGridTreeColumns;
    friend class TGTHeader;
    void Changed();
    TGTHeader& Header() const;

    TGridTreeColumns* FOwner;
    std::wstring FText, FHint;
    int FWidth = 50;
    TColumnPosition FPosition = 0;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    TGridTreeColumnStyle FStyle = vsText;
    int FImageIndex = -1;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TGTHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 4;
    TGTColumnOptions FOptions = DefaultColumnOptions;
    int FTag = 0;
    TAlignment FAlignment = taLeftJustify;
    classlib::TColor FColor = classlib::clWindow;
    int FLeft = 0;
    int FLastWidth = 50;
    float FSpringRest = 0.0f;
};

using TColumnsArray = std::vector<TGridTreeColumn*>;

class TGridTreeColumns {
public:
    explicit TGridTreeColumns(TGTHeader* Owner) : FHeader(Owner) {}
    virtual ~TGridTreeColumns();
    TGridTreeColumns(const TGridTreeColumns&) = delete;
    TGridTreeColumns& operator=(const TGridTreeColumns&) = delete;

    TGTHeader* Header() const { return FHeader; }
    int Count() const { return int(FItems.size()); }
    TGridTreeColumn* GetItem(TColumnIndex Index) const;
    TGridTreeColumn* operator[](TColumnIndex Index) const { return GetItem(Index); }
    // A new column at the right end.
    virtual TGridTreeColumn* Add();
    // Removes and frees one column; the header's column indexes are corrected.
    void Delete(TColumnIndex Index);
    // Removes every column. Keeps AutoSizeIndex, MainColumn and SortColumn only while the
    // header reads columns (hstLoading).
    virtual void Clear();
    // Changes inside the bracket are signalled once, at the outermost EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Column searches. P is in pixels from the left end of the column band; with Relative
    // a point at or beyond the fixed columns is shifted by the scroll offset first.
    virtual TColumnIndex ColumnAtPoint(POINT P, bool Relative) const;
    virtual TColumnIndex ColumnAtPosition(TColumnPosition Position) const;
    TColumnIndex ColumnAndBoundsAt(POINT P, int& Left, int& Right, bool Relative) const;
    // NoColumn spans the client width.
    void ColumnSpan(TColumnIndex Column, int& Left, int& Right) const;
    TColumnIndex FirstVisibleColumn() const;
    TColumnIndex LastVisibleColumn() const;
    TColumnIndex NextColumn(TColumnIndex Column) const;
    TColumnIndex PreviousColumn(TColumnIndex Column) const;
    TColumnIndex NextVisibleColumn(TColumnIndex Column) const;
    TColumnIndex PreviousVisibleColumn(TColumnIndex Column) const;
    TColumnsArray VisibleColumnList() const;
    int FixedColumnsWidth() const;
    bool ValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
    // Right edge of the rightmost visible column, 0 without visible columns.
    int ColumnsWidth() const;
    const TIndexArray& PositionMap() const { return FPositionToIndex; }

    void RecalcLeftEdges(bool Force);
    void RebuildPositionMap();
    void AutoSizeColumn(TColumnIndex ResizedColumn, bool Force);
    // Sizes the column in 32 steps when the tree has a window; the final width goes
    // through the width rules.
    void ResizeAnimated(TColumnIndex Column, int NewWidth);
    bool SameColumnsAs(const TGridTreeColumns& Other) const;
    void Assign(const TGridTreeColumns& Source);

    TColumnIndex HotColumn = NoColumn, PressedColumn = NoColumn, SizingColumn = NoColumn,
                 ClickedColumn = NoColumn, DraggedColumn = NoColumn, DropColumn = NoColumn;
    bool DropOnLeft = false;
    bool PositionsStale() const { return FNeedPositionsFix; }

    // Painting pieces of the header buttons (rectangles in DC coordinates).
    // The XP-like cell: a flat face with a splitter, a sunken frame when pressed, a light
    // face when hot and a three-step line along the bottom when normal.
    static void DrawXPCell(HDC DC, const RECT& R, bool Hot, bool Pressed, bool Splitter);
    // Caption of a button: shortened with "..." when wider than R, transparent, in the
    // header font's colour (HeaderHotColor when hot); disabled text is embossed.
    void PaintCellText(HDC DC, const std::wstring& Text, RECT R, bool Hot, bool Enabled, UINT Format) const;
    // Paints area R (window coordinates of the tree) of the header into DC: the background,
    // then the visible buttons in position order from R's left edge, the first non-fixed
    // one shifted by ScrollOffset. Images and sort marks join with the tree's pictures.
    virtual void PaintColumnHeaders(HDC DC, const RECT& R, int ScrollOffset);

protected:
    // Runs after every change of a column (Item) or of the collection (nullptr).
    virtual void Update(TGridTreeColumn* Item);

private:
    friend class TGridTreeColumn;
    friend class TGTHeader;
    void Insert(TGridTreeColumn* Item);
    void Changed() { if (FUpdateCount == 0) Update(nullptr); }
    TColumnIndex IndexOf(const TGridTreeColumn* Item) const;
    void AdjustPositionMapSize();
    void RemoveIndexes(TColumnIndex Index);

    TGTHeader* FHeader;
    std::vector<std::unique_ptr<TGridTreeColumn>> FItems;
    TGridTreeColumn* FAdding = nullptr;  // column being constructed by Add
    TIndexArray FPositionToIndex;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
    int FUpdateCount = 0;
};

class TBaseGridTree;

class TGTHeader {
public:
    explicit TGTHeader(TBaseGridTree* Owner);
    virtual ~TGTHeader();
    TGTHeader(const TGTHeader&) = delete;
    TGTHeader& operator=(const TGTHeader&) = delete;

    TBaseGridTree* Treeview() const { return FOwner; }
    TGridTreeColumns& Columns() { return *FColumns; }
    const TGridTreeColumns& Columns() const { return *FColumns; }

    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value);
    classlib::TColor Background() const { return FBackground; }
    void SetBackground(classlib::TColor Value);
    classlib::TFont& Font() { return *FFont; }
    void SetFont(const classlib::TFont& Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // -1 while there are no columns.
    TColumnIndex MainColumn() const { return FColumns->Count() > 0 ? FMainColumn : NoColumn; }
    void SetMainColumn(TColumnIndex Value);
    TGTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TGTHeaderOptions Value);
    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);
    TGTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TGTHeaderStyle Value);
    THeaderStates States() const { return FStates; }

    void Assign(const TGTHeader& Source);
    // P in client coordinates lies on the header (which sits above the client area, so
    // its client-coordinate rectangle has negative tops).
    virtual bool PointInHeader(POINT P) const;
    // Recomputes the tree's header rectangle and lets the window recalculate its frame.
    virtual void RefreshHeaderArea();
    // Repaints one column's button (the whole header for nullptr).
    void InvalidateColumn(TGridTreeColumn* Column, bool ToRightEdge = false);
    void Invalidate() { InvalidateColumn(nullptr); }
    // Spreads a change of the tree's width over the coAutoSpring columns (hoAutoSpring).
    void UpdateSprings();
    // Every visible resizable column gets the width of its widest cell.
    void FitColumnsToContent(bool Animated);
    // Every visible resizable column goes back to WidthBeforeChange, last position first.
    void RestoreColumnWidths();
    void CheckMainColumn();
    bool IsLoading() const;
    // Border hit test at a client point: a border is hit from 3 pixels left to 4 pixels
    // right of it, searched from the rightmost border, so a zero-width column can be grown
    // again. A hit on a resizable column makes it Columns().SizingColumn and sets
    // ResizeLeftEdge; a hit on a column that is not resizable ends the search.
    virtual bool FindResizeColumn(POINT P);
    int ResizeLeftEdge() const { return FResizeLeftEdge; }
    // Mouse and focus messages of the tree window that concern the header (clicks, hot
    // tracking, border resizing). True when the header consumed the message.
    virtual bool HandleHeaderMessage(classlib::TMessage& Message);

private:
    friend class TGridTreeColumns;
    friend class TGridTreeColumn;
    friend class TBaseGridTree;

    TBaseGridTree* FOwner;
    std::unique_ptr<TGridTreeColumns> FColumns;
    std::unique_ptr<classlib::TFont> FFont;
    TColumnIndex FAutoSizeIndex = 0;
    classlib::TColor FBackground = classlib::clBtnFace;
    int FHeight = 17;
    TColumnIndex FMainColumn = NoColumn;
    TGTHeaderOptions FOptions = DefaultHeaderOptions;
    bool FParentFont = false;
    TColumnIndex FSortColumn = NoColumn;
    TSortDirection FSortDirection = sdAscending;
    TGTHeaderStyle FStyle = hsThickButtons;
    THeaderStates FStates = 0;
    int FPreviousTreeWidth = 0;
    int FResizeLeftEdge = 0;
    POINT FResizeStartPoint{};
    POINT FDragStartPoint{};
    // Header coordinates (client X, client Y + Height) of a client point.
    POINT ToHeader(POINT Client) const { return POINT{Client.x, Client.y + FHeight}; }
    bool DetermineHotColumn(POINT HeaderPoint);
    void HandleClick(POINT HeaderPoint, classlib::TMouseButton Button, bool Double, bool Force);
    void EndTracking();
    void DragTo(POINT Screen);
};

}  // namespace gridtree
