// Header and columns: column properties and their rules, the position map, column
// searches, auto-sizing, springs and the header's own properties.
#include "controls/gridtree/gridheader.h"

#include <algorithm>
#include <cmath>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

// --- TGridTreeColumn ------------------------------------------------------------------

TGridTreeColumn::TGridTreeColumn(TGridTreeColumns* Owner) : FOwner(Owner) {
    FOwner->Insert(this);
}

TGTHeader& TGridTreeColumn::Header() const { return *FOwner->FHeader; }

TColumnIndex TGridTreeColumn::Index() const { return FOwner->IndexOf(this); }

void TGridTreeColumn::Changed() {
    if (FOwner->FUpdateCount == 0) FOwner->Update(this);
}

void TGridTreeColumn::SetText(const std::wstring& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed();
}

void TGridTreeColumn::SetWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    Value = std::min(Value, FMaxWidth);
    if (Value == FWidth) return;
    TGTHeader& header = Header();
    FLastWidth = FWidth;
    bool autoSized = (header.FOptions & hoAutoResize) && header.FAutoSizeIndex == Index();
    if (!autoSized) {
        FWidth = Value;
        FOwner->RecalcLeftEdges(false);
    }
    if (header.IsLoading() || FOwner->FUpdateCount > 0) return;
    if (header.FOptions & hoAutoResize) FOwner->AutoSizeColumn(Index(), false);
    header.FOwner->DoColumnResize(Index());
}

void TGridTreeColumn::SetMinWidth(int Value) {
    if (Value < 0) Value = 0;
    FMinWidth = std::min(Value, FMaxWidth);
    SetWidth(FWidth);
}

void TGridTreeColumn::SetMaxWidth(int Value) {
    // Every supported system is NT-based: no cut at 10000.
    FMaxWidth = std::max(Value, FMinWidth);
    SetWidth(FWidth);
}

void TGridTreeColumn::SetPosition(TColumnPosition Value) {
    TGTHeader& header = Header();
    if (header.FOwner->IsLoading()) {
        FPosition = Value;
        return;
    }
    TGridTreeColumns& cols = *FOwner;
    if (cols.Count() == 0) return;
    if (Value >= TColumnPosition(cols.Count())) Value = TColumnPosition(cols.Count() - 1);
    if (Value == FPosition) return;
    cols.AdjustPositionMapSize();
    header.FOwner->CancelEditNode();
    TIndexArray& map = cols.FPositionToIndex;
    TColumnPosition old = FPosition;
    if (old < Value) {
        for (TColumnPosition p = old; p < Value; ++p) map[p] = map[p + 1];
    } else {
        for (TColumnPosition p = old; p > Value; --p) map[p] = map[p - 1];
    }
    map[Value] = Index();
    // Renumbers every column's Position and left edge (Update recalculates).
    Changed();
    if (cols.FUpdateCount == 0 && header.FOwner->HasControlWindow()) {
        header.InvalidateColumn(this);
        header.FOwner->Invalidate();
    }
    // A column takes the fixed state of its neighbour: the left one when it is fixed
    // itself (and not leftmost), else the right one.
    TColumnPosition neighbour = ((FOptions & coFixed) && FPosition > 0) ? FPosition - 1 : FPosition + 1;
    if (neighbour < TColumnPosition(cols.Count())) {
        bool fixed = (cols.GetItem(cols.FPositionToIndex[neighbour])->FOptions & coFixed) != 0;
        SetOptions(fixed ? TGTColumnOptions(FOptions | coFixed) : TGTColumnOptions(FOptions & ~coFixed));
    }
}

void TGridTreeColumn::SetStyle(TGridTreeColumnStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TGridTreeColumn::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed();
}

void TGridTreeColumn::SetBiDiMode(TBiDiMode Value) {
    if (Value == FBiDiMode) return;
    FBiDiMode = Value;
    FOptions &= ~coParentBidiMode;
    Changed();
    Header().FOwner->Invalidate();
}

void TGridTreeColumn::SetLayout(TGTHeaderColumnLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Changed();
}

void TGridTreeColumn::SetMargin(int Value) {
    if (Value < 0) Value = 4;
    if (FMargin == Value) return;
    FMargin = Value;
    Changed();
}

void TGridTreeColumn::SetSpacing(int Value) {
    if (FSpacing == Value) return;
    FSpacing = Value;
    Changed();
}

void TGridTreeColumn::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed();
    Header().FOwner->Invalidate();
}

void TGridTreeColumn::SetColor(classlib::TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FOptions &= ~coParentColor;
    Changed();
    Header().FOwner->Invalidate();
}

void TGridTreeColumn::SetOptions(TGTColumnOptions Value) {
    if (Value == FOptions) return;
    TGTColumnOptions old = FOptions;
    FOptions = Value;
    TBaseGridTree* tree = Header().FOwner;
    TGTColumnOptions added = Value & ~old;
    if (added & coParentBidiMode) FBiDiMode = bdLeftToRight;  // the tree is left to right
    if (added & coParentColor) FColor = tree->Color();
    if (added & coAutoSpring) FSpringRest = 0.0f;
    Changed();
    if (tree->IsLoading()) return;
    bool visibleChanged = ((old ^ Value) & coVisible) != 0;
    if ((visibleChanged || (added & coParentColor)) && tree->UpdateCount() == 0 && tree->HasControlWindow()) {
        tree->Invalidate();
        if (visibleChanged) tree->UpdateHorizontalScrollBar(false);
    }
}

void TGridTreeColumn::ParentBiDiModeChanged() {
    if (FOptions & coParentBidiMode) FBiDiMode = bdLeftToRight;
}

void TGridTreeColumn::ParentColorChanged() {
    if (FOptions & coParentColor) FColor = Header().FOwner->Color();
}

bool TGridTreeColumn::SameAs(const TGridTreeColumn& Other) const {
    return FBiDiMode == Other.FBiDiMode && FImageIndex == Other.FImageIndex && FLayout == Other.FLayout &&
           FMargin == Other.FMargin && FMaxWidth == Other.FMaxWidth && FMinWidth == Other.FMinWidth &&
           FPosition == Other.FPosition && FSpacing == Other.FSpacing && FStyle == Other.FStyle &&
           FText == Other.FText && FHint == Other.FHint && FWidth == Other.FWidth &&
           FAlignment == Other.FAlignment && FColor == Other.FColor && FTag == Other.FTag &&
           FOptions == Other.FOptions;
}

void TGridTreeColumn::HeaderCellRect(RECT& R) const {
    R = Header().FOwner->HeaderRect();
    R.left += FLeft;
    R.right = R.left + FWidth;
}

int TGridTreeColumn::AbsoluteLeft() const {
    if ((FOptions & (coVisible | coFixed)) == (coVisible | coFixed)) return FLeft;
    return FLeft + Header().FOwner->OffsetX();
}

void TGridTreeColumn::RestoreWidth() { FOwner->ResizeAnimated(Index(), FLastWidth); }

void TGridTreeColumn::Assign(const TGridTreeColumn& Source) {
    if (&Source == this) return;
    TGTColumnOptions options = Source.FOptions;
    SetOptions(0);
    SetBiDiMode(Source.FBiDiMode);
    SetImageIndex(Source.FImageIndex);
    SetLayout(Source.FLayout);
    SetMargin(Source.FMargin);
    SetMaxWidth(Source.FMaxWidth);
    SetMinWidth(Source.FMinWidth);
    SetPosition(Source.FPosition);
    SetSpacing(Source.FSpacing);
    SetStyle(Source.FStyle);
    SetText(Source.FText);
    SetHint(Source.FHint);
    SetWidth(Source.FWidth);
    SetAlignment(Source.FAlignment);
    SetColor(Source.FColor);
    SetTag(Source.FTag);
    SetOptions(options);
}

std::wstring TGridTreeColumn::DisplayName() const {
    bool narrow = std::all_of(FText.begin(), FText.end(), [](wchar_t c) { return c <= 0xFF; });
    if (narrow) return FText;
    return L"Column " + std::to_wstring(Index());
}

// --- TGridTreeColumns -----------------------------------------------------------------

TGridTreeColumns::~TGridTreeColumns() {
    FClearing = true;
    FItems.clear();
}

TGridTreeColumn* TGridTreeColumns::GetItem(TColumnIndex Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return FItems[size_t(Index)].get();
}

TColumnIndex TGridTreeColumns::IndexOf(const TGridTreeColumn* Item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Item) return TColumnIndex(i);
    return InvalidColumn;
}

TGridTreeColumn* TGridTreeColumns::Add() {
    auto column = new TGridTreeColumn(this);
    return column;
}

void TGridTreeColumns::Insert(TGridTreeColumn* Item) {
    FItems.emplace_back(Item);
    Item->FPosition = TColumnPosition(Count() - 1);
    Item->FColor = FHeader->FOwner->Color();
    Changed();
}

void TGridTreeColumns::AdjustPositionMapSize() {
    size_t count = FItems.size();
    if (FPositionToIndex.size() < count) {
        for (size_t p = FPositionToIndex.size(); p < count; ++p) FPositionToIndex.push_back(int(p));
    } else if (FPositionToIndex.size() > count) {
        FPositionToIndex.resize(count);
        // Entries that name columns no longer there step down until they are valid.
        for (int& index : FPositionToIndex)
            while (index >= int(count) && index > 0) --index;
    }
}

void TGridTreeColumns::RemoveIndexes(TColumnIndex Index) {
    auto fix = [Index](TColumnIndex& Value) {
        if (Value == Index) Value = NoColumn;
        else if (Value > Index) --Value;
    };
    fix(HotColumn);
    fix(PressedColumn);
    fix(SizingColumn);
    fix(ClickedColumn);
    fix(FHeader->FAutoSizeIndex);
    fix(FHeader->FSortColumn);
    if (FHeader->FMainColumn == Index) FHeader->FMainColumn = Count() > 1 ? 0 : NoColumn;
    else if (FHeader->FMainColumn > Index) --FHeader->FMainColumn;
    auto it = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), Index);
    if (it != FPositionToIndex.end()) FPositionToIndex.erase(it);
    for (int& entry : FPositionToIndex)
        if (entry > Index) --entry;
}

void TGridTreeColumns::Delete(TColumnIndex Index) {
    if (!ValidColumn(Index)) return;
    if (!FClearing) RemoveIndexes(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TGridTreeColumns::Clear() {
    FClearing = true;
    auto endClearing = classlib::ScopeExit([&] { FClearing = false; });
    HotColumn = PressedColumn = SizingColumn = ClickedColumn = NoColumn;
    if (!(FHeader->FStates & hstLoading)) {
        FHeader->FAutoSizeIndex = NoColumn;
        FHeader->FMainColumn = NoColumn;
        FHeader->FSortColumn = NoColumn;
    }
    FItems.clear();
    FPositionToIndex.clear();
    Changed();
}

void TGridTreeColumns::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) Update(nullptr);
}

void TGridTreeColumns::Update(TGridTreeColumn* Item) {
    AdjustPositionMapSize();
    TBaseGridTree* tree = FHeader->FOwner;
    if (tree->IsLoading()) FNeedPositionsFix = true;
    else RecalcLeftEdges(false);
    if (Count() > 0 && FHeader->FMainColumn < 0) FHeader->FMainColumn = 0;
    if (tree->IsLoading() || (FHeader->FStates & hstLoading) || tree->IsDestroying()) return;
    if (FHeader->FOptions & hoAutoResize) AutoSizeColumn(InvalidColumn, false);
    if (Item) {
        FHeader->InvalidateColumn(Item);
    } else {
        if (tree->HandleAllocated()) tree->UpdateHorizontalScrollBar(false);
        FHeader->Invalidate();
        tree->Invalidate();
    }
}

void TGridTreeColumns::RecalcLeftEdges(bool Force) {
    if (FNeedPositionsFix || (FUpdateCount > 0 && !Force)) return;
    int left = 0;
    for (size_t p = 0; p < FPositionToIndex.size(); ++p) {
        TGridTreeColumn* column = GetItem(FPositionToIndex[p]);
        if (!column) continue;
        column->FPosition = TColumnPosition(p);
        column->FLeft = left;
        if (column->FOptions & coVisible) left += column->FWidth;
    }
}

void TGridTreeColumns::RebuildPositionMap() {
    FPositionToIndex.assign(FItems.size(), 0);
    for (size_t i = 0; i < FItems.size(); ++i) {
        TColumnPosition p = std::min<TColumnPosition>(FItems[i]->FPosition, TColumnPosition(FItems.size() - 1));
        FPositionToIndex[p] = int(i);
    }
    FNeedPositionsFix = false;
    RecalcLeftEdges(true);
}

TColumnIndex TGridTreeColumns::ColumnAndBoundsAt(POINT P, int& Left, int& Right, bool Relative) const {
    TBaseGridTree* tree = FHeader->FOwner;
    if (P.x < 0 || P.y < 0 || P.y > tree->Height()) return InvalidColumn;
    int sum = (Relative && P.x >= FixedColumnsWidth()) ? tree->OffsetX() : 0;
    for (int index : FPositionToIndex) {
        TGridTreeColumn* column = GetItem(index);
        if (!column || !(column->FOptions & coVisible)) continue;
        int left = sum;
        sum += column->FWidth;
        if (P.x < sum) {
            Left = left;
            Right = sum;
            return index;
        }
    }
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::ColumnAtPoint(POINT P, bool Relative) const {
    int left = 0, right = 0;
    return ColumnAndBoundsAt(P, left, right, Relative);
}

TColumnIndex TGridTreeColumns::ColumnAtPosition(TColumnPosition Position) const {
    if (Position >= FPositionToIndex.size()) return NoColumn;
    return FPositionToIndex[Position];
}

void TGridTreeColumns::ColumnSpan(TColumnIndex Column, int& Left, int& Right) const {
    TGridTreeColumn* column = GetItem(Column);
    if (!column) {
        Left = 0;
        Right = FHeader->FOwner->ClientWidth();
        return;
    }
    Left = column->AbsoluteLeft();
    Right = Left + column->FWidth;
}

TColumnIndex TGridTreeColumns::FirstVisibleColumn() const {
    for (int index : FPositionToIndex)
        if (GetItem(index) && (GetItem(index)->FOptions & coVisible)) return index;
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::LastVisibleColumn() const {
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it)
        if (GetItem(*it) && (GetItem(*it)->FOptions & coVisible)) return *it;
    return InvalidColumn;
}

TColumnIndex TGridTreeColumns::NextColumn(TColumnIndex Column) const {
    TGridTreeColumn* column = GetItem(Column);
    if (!column) return InvalidColumn;
    TColumnPosition p = column->FPosition + 1;
    return p < FPositionToIndex.size() ? FPositionToIndex[p] : InvalidColumn;
}

TColumnIndex TGridTreeColumns::PreviousColumn(TColumnIndex Column) const {
    TGridTreeColumn* column = GetItem(Column);
    if (!column || column->FPosition == 0) return InvalidColumn;
    return FPositionToIndex[column->FPosition - 1];
}

TColumnIndex TGridTreeColumns::NextVisibleColumn(TColumnIndex Column) const {
    do Column = NextColumn(Column);
    while (Column >= 0 && !(GetItem(Column)->FOptions & coVisible));
    return Column;
}

TColumnIndex TGridTreeColumns::PreviousVisibleColumn(TColumnIndex Column) const {
    do Column = PreviousColumn(Column);
    while (Column >= 0 && !(GetItem(Column)->FOptions & coVisible));
    return Column;
}

TColumnsArray TGridTreeColumns::VisibleColumnList() const {
    TColumnsArray result;
    for (int index : FPositionToIndex)
        if (TGridTreeColumn* column = GetItem(index); column && (column->FOptions & coVisible))
            result.push_back(column);
    return result;
}

int TGridTreeColumns::FixedColumnsWidth() const {
    int width = 0;
    for (const auto& column : FItems)
        if ((column->FOptions & (coVisible | coFixed)) == (coVisible | coFixed)) width += column->FWidth;
    return width;
}

int TGridTreeColumns::ColumnsWidth() const {
    TColumnIndex last = LastVisibleColumn();
    if (last < 0) return 0;
    return GetItem(last)->FLeft + GetItem(last)->FWidth;
}

void TGridTreeColumns::AutoSizeColumn(TColumnIndex ResizedColumn, bool Force) {
    if (Count() == 0) return;
    TColumnIndex target = FHeader->FAutoSizeIndex;
    if (!ValidColumn(target)) target = Count() - 1;
    if (ResizedColumn >= 0 && ValidColumn(ResizedColumn) &&
        GetItem(ResizedColumn)->FPosition >= GetItem(target)->FPosition)
        target = NextVisibleColumn(ResizedColumn);
    if (target < 0) return;
    TBaseGridTree* tree = FHeader->FOwner;
    int space = tree->HandleAllocated() ? tree->ClientWidth() : tree->Width();
    for (TColumnIndex i = 0; i < Count(); ++i)
        if (i != target && (GetItem(i)->FOptions & coVisible)) space -= GetItem(i)->FWidth;
    TGridTreeColumn* column = GetItem(target);
    space = std::max(std::min(space, column->FMaxWidth), column->FMinWidth);
    if (Force || space != column->FWidth) {
        column->FWidth = space;
        RecalcLeftEdges(false);
        tree->DoColumnResize(target);
    }
}

void TGridTreeColumns::ResizeAnimated(TColumnIndex Column, int NewWidth) {
    TGridTreeColumn* column = GetItem(Column);
    if (!column) return;
    NewWidth = std::max(std::min(NewWidth, column->FMaxWidth), column->FMinWidth);
    if (NewWidth == column->FWidth) return;
    TBaseGridTree* tree = FHeader->FOwner;
    if (tree->HasControlWindow() && IsWindowVisible(tree->Handle())) {
        HWND wnd = tree->Handle();
        classlib::TWindowDC windowDC(wnd, GetWindowDC(wnd));
        HDC dc = windowDC.Handle();
        RECT header = tree->HeaderRect();
        int edge = header.left + column->FLeft + column->FWidth;
        int step = (NewWidth - column->FWidth) / 32;
        // Window coordinates of the client area's top left.
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        RECT window{};
        GetWindowRect(wnd, &window);
        int clientLeft = origin.x - window.left, clientTop = origin.y - window.top;
        RECT headerStrip{edge, header.top, header.right, header.bottom};
        RECT clientStrip{edge, clientTop, clientLeft + tree->ClientWidth(), clientTop + tree->ClientHeight()};
        if (step > 0) {
            RECT uncovered{edge, clientTop, edge + step, clientStrip.bottom};
            FillRect(dc, &uncovered,
                     classlib::TGdiObject<HBRUSH>(CreateSolidBrush(classlib::ColorToRGB(tree->Color()))).Handle());
        } else {
            OffsetRect(&headerStrip, step, 0);
            OffsetRect(&clientStrip, step, 0);
        }
        if (step != 0) {
            for (int i = 0; i < 32; ++i) {
                ScrollDC(dc, step, 0, &headerStrip, &headerStrip, nullptr, nullptr);
                ScrollDC(dc, step, 0, &clientStrip, &clientStrip, nullptr, nullptr);
                headerStrip.left += step;
                clientStrip.left += step;
                Sleep(1);
            }
        }
    }
    column->SetWidth(NewWidth);
}

bool TGridTreeColumns::SameColumnsAs(const TGridTreeColumns& Other) const {
    if (Count() != Other.Count() || FPositionToIndex != Other.FPositionToIndex) return false;
    for (TColumnIndex i = 0; i < Count(); ++i)
        if (!GetItem(i)->SameAs(*Other.GetItem(i))) return false;
    return true;
}

void TGridTreeColumns::Assign(const TGridTreeColumns& Source) {
    if (&Source == this) return;
    BeginUpdate();
    // FClearing is set only around the clearing below.
    auto endUpdate = classlib::ScopeExit([&] {
        FClearing = false;
        EndUpdate();
    });
    FClearing = true;
    FItems.clear();
    FPositionToIndex.clear();
    FClearing = false;
    for (TColumnIndex i = 0; i < Source.Count(); ++i) {
        TGridTreeColumn* column = Add();
        // Positions come from the source's map below.
        TGridTreeColumn* source = Source.GetItem(i);
        column->FText = source->FText;
        column->FHint = source->FHint;
        column->FMinWidth = source->FMinWidth;
        column->FMaxWidth = source->FMaxWidth;
        column->FWidth = source->FWidth;
        column->FLastWidth = source->FLastWidth;
        column->FStyle = source->FStyle;
        column->FImageIndex = source->FImageIndex;
        column->FBiDiMode = source->FBiDiMode;
        column->FLayout = source->FLayout;
        column->FMargin = source->FMargin;
        column->FSpacing = source->FSpacing;
        column->FOptions = source->FOptions;
        column->FTag = source->FTag;
        column->FAlignment = source->FAlignment;
        column->FColor = source->FColor;
    }
    FPositionToIndex = Source.FPositionToIndex;
    FNeedPositionsFix = false;
    RecalcLeftEdges(true);
}

// --- TGTHeader ------------------------------------------------------------------------

TGTHeader::TGTHeader(TBaseGridTree* Owner)
    : FOwner(Owner), FColumns(std::make_unique<TGridTreeColumns>(this)), FFont(std::make_unique<classlib::TFont>()) {
    FFont->OnChange = [this](classlib::TFont*) { Invalidate(); };
}

TGTHeader::~TGTHeader() {
    FFont->OnChange = nullptr;
    FColumns->FClearing = true;
    FColumns.reset();
}

bool TGTHeader::IsLoading() const { return FOwner->IsLoading() || (FStates & hstLoading); }

void TGTHeader::SetAutoSizeIndex(TColumnIndex Value) {
    if (FAutoSizeIndex == Value) return;
    FAutoSizeIndex = Value;
    if (FOptions & hoAutoResize) FColumns->AutoSizeColumn(InvalidColumn, false);
}

void TGTHeader::SetBackground(classlib::TColor Value) {
    if (FBackground == Value) return;
    FBackground = Value;
    Invalidate();
}

void TGTHeader::SetFont(const classlib::TFont& Value) {
    FFont->Assign(Value);
    FParentFont = false;
}

void TGTHeader::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (FParentFont) FFont->Assign(FOwner->Font());
}

void TGTHeader::SetHeight(int Value) {
    if (Value < 0) Value = 0;
    if (FHeight == Value) return;
    FHeight = Value;
    if (!IsLoading()) RefreshHeaderArea();
}

void TGTHeader::SetMainColumn(TColumnIndex Value) {
    if (FOwner->IsLoading()) {
        FMainColumn = Value;
        return;
    }
    if (Value < 0) Value = 0;
    if (Value > FColumns->Count() - 1) Value = FColumns->Count() - 1;
    if (Value == FMainColumn) return;
    FMainColumn = Value;
    FOwner->MainColumnChanged();
    if (!(FOwner->TreeOptions().SelectionOptions() & toExtendedFocus)) FOwner->SetFocusedColumn(Value);
    FOwner->Invalidate();
}

void TGTHeader::SetOptions(TGTHeaderOptions Value) {
    TGTHeaderOptions toggled = FOptions ^ Value;
    FOptions = Value;
    if ((toggled & hoAutoResize) && FColumns->Count() > 0) {
        FColumns->AutoSizeColumn(InvalidColumn, false);
        if (FOwner->HandleAllocated()) {
            FOwner->UpdateHorizontalScrollBar(false);
            if (Value & hoAutoResize) FOwner->Invalidate();
        }
    }
    if (IsLoading() || !FOwner->HandleAllocated()) return;
    if (toggled & hoVisible) RefreshHeaderArea();
    Invalidate();
    FOwner->Invalidate();
}

void TGTHeader::SetSortColumn(TColumnIndex Value) {
    if (FOwner->IsLoading()) {
        FSortColumn = Value;
        return;
    }
    if (Value < NoColumn) Value = NoColumn;
    if (Value > FColumns->Count() - 1) Value = FColumns->Count() - 1;
    if (Value == FSortColumn) return;
    InvalidateColumn(FColumns->GetItem(FSortColumn));
    FSortColumn = Value;
    InvalidateColumn(FColumns->GetItem(FSortColumn));
    if ((FOwner->TreeOptions().AutoOptions() & toAutoSort) && FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TGTHeader::SetSortDirection(TSortDirection Value) {
    if (Value == FSortDirection) return;
    FSortDirection = Value;
    Invalidate();
    if ((FOwner->TreeOptions().AutoOptions() & toAutoSort) && FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TGTHeader::SetStyle(TGTHeaderStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    if (!IsLoading()) Invalidate();
}

void TGTHeader::Assign(const TGTHeader& Source) {
    if (&Source == this) return;
    SetAutoSizeIndex(Source.FAutoSizeIndex);
    SetBackground(Source.FBackground);
    FColumns->Assign(*Source.FColumns);
    SetFont(*Source.FFont);
    SetHeight(Source.FHeight);
    SetMainColumn(Source.FMainColumn);
    SetOptions(Source.FOptions);
    SetParentFont(Source.FParentFont);
    SetSortColumn(Source.FSortColumn);
    SetSortDirection(Source.FSortDirection);
    SetStyle(Source.FStyle);
}

bool TGTHeader::PointInHeader(POINT P) const {
    // The header rectangle is in window coordinates; the point is a client point.
    RECT r = FOwner->HeaderRect();
    if (FOwner->HasControlWindow()) {
        RECT window{};
        GetWindowRect(FOwner->Handle(), &window);
        POINT origin{0, 0};
        ClientToScreen(FOwner->Handle(), &origin);
        OffsetRect(&r, window.left - origin.x, window.top - origin.y);
    }
    return PtInRect(&r, P) != 0;
}

void TGTHeader::RefreshHeaderArea() {
    if (!FOwner->HasControlWindow()) return;
    SetWindowPos(FOwner->Handle(), nullptr, 0, 0, 0, 0, 0x637);
    // The new frame decides the client area; the header's strip sits right above it.
    FOwner->UpdateHeaderRect();
    FOwner->ClientSizeFromWindow();
}

void TGTHeader::InvalidateColumn(TGridTreeColumn* Column, bool ToRightEdge) {
    if (!(FOptions & hoVisible) || !FOwner->HasControlWindow()) return;
    RECT r = FOwner->HeaderRect();
    if (Column) {
        Column->HeaderCellRect(r);
        if (!(Column->FOptions & coFixed)) OffsetRect(&r, FOwner->OffsetX(), 0);
        if (ToRightEdge) r.right = FOwner->HeaderRect().right;
    }
    // The header lies in the non-client area: RDW_FRAME with the window-relative
    // rectangle shifted into client coordinates, as RedrawWindow expects.
    RECT window{};
    GetWindowRect(FOwner->Handle(), &window);
    POINT origin{0, 0};
    ClientToScreen(FOwner->Handle(), &origin);
    OffsetRect(&r, window.left - origin.x, window.top - origin.y);
    RedrawWindow(FOwner->Handle(), &r, nullptr, 0x479);
}

void TGTHeader::UpdateSprings() {
    RECT r = FOwner->HeaderRect();
    int width = r.right - r.left;
    int change = width - FPreviousTreeWidth;
    if ((FOptions & hoAutoSpring) && FPreviousTreeWidth != 0 && change != 0) {
        int sign = change < 0 ? -1 : 1;
        float remaining = float(std::abs(change));
        int count = 0;
        for (TColumnIndex i = 0; i < FColumns->Count(); ++i)
            if ((FColumns->GetItem(i)->FOptions & (coVisible | coAutoSpring)) == (coVisible | coAutoSpring)) ++count;
        if (count > 0) {
            float share = remaining / float(count);
            for (TColumnIndex i = 0; i < FColumns->Count(); ++i) {
                TGridTreeColumn* column = FColumns->GetItem(i);
                if ((column->FOptions & (coVisible | coAutoSpring)) != (coVisible | coAutoSpring)) continue;
                float carry = column->FSpringRest + share;
                if (carry >= 1.0f) column->SetWidth(column->FWidth + int(std::trunc(carry)) * sign);
                column->FSpringRest = carry - std::trunc(carry);
                remaining -= share;
                if (remaining < 0) break;
            }
        }
    }
    FPreviousTreeWidth = width;
}

void TGTHeader::FitColumnsToContent(bool Animated) {
    for (int index : TIndexArray(FColumns->FPositionToIndex)) {
        TGridTreeColumn* column = FColumns->GetItem(index);
        if (!column || (column->FOptions & (coResizable | coVisible)) != (coResizable | coVisible)) continue;
        int width = FOwner->GetMaxColumnWidth(index);
        if (Animated) FColumns->ResizeAnimated(index, width);
        else column->SetWidth(width);
    }
}

void TGTHeader::RestoreColumnWidths() {
    TIndexArray map = FColumns->FPositionToIndex;
    for (auto it = map.rbegin(); it != map.rend(); ++it) {
        TGridTreeColumn* column = FColumns->GetItem(*it);
        if (!column || (column->FOptions & (coResizable | coVisible)) != (coResizable | coVisible)) continue;
        FColumns->ResizeAnimated(*it, column->FLastWidth);
    }
}

void TGTHeader::CheckMainColumn() {
    if (FColumns->Count() == 0) {
        FMainColumn = NoColumn;
        return;
    }
    FMainColumn = std::clamp(FMainColumn, 0, FColumns->Count() - 1);
}

}  // namespace gridtree
