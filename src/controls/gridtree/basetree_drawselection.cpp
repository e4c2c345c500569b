// Rubber-band ("draw") selection: the rectangle the mouse spans over the rows and the
// selection it produces.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
RECT Ordered(const RECT& R) {
    return RECT{std::min(R.left, R.right), std::min(R.top, R.bottom), std::max(R.left, R.right),
                std::max(R.top, R.bottom)};
}

// Both rectangles ordered; true when they share an area (empty ones share nothing).
bool Meets(const RECT& A, const RECT& B) {
    return std::max(A.left, B.left) < std::min(A.right, B.right) && std::max(A.top, B.top) < std::min(A.bottom, B.bottom);
}

RECT Union(const RECT& A, const RECT& B) {
    return RECT{std::min(A.left, B.left), std::min(A.top, B.top), std::max(A.right, B.right),
                std::max(A.bottom, B.bottom)};
}
}  // namespace

void TBaseGridTree::StartDrawSelection(POINT Start, bool Ctrl) {
    int x = Start.x - FOffsetX, y = Start.y - FOffsetY;
    FNewSelRect = RECT{x, y, x, y};
    FLastSelRect = FNewSelRect;
    FDrawSelCtrl = Ctrl;
    DoStateChange(tsDrawSelPending, tsDrawSelecting);
}

void TBaseGridTree::MouseMove(classlib::TShiftState Shift, int X, int Y) {
    // A press that may become a drag becomes one once the mouse left the drag distance.
    if (HasState(tsOLEDragPending) && (std::abs(X - FLastClickPos.x) >= FDragThreshold ||
                                       std::abs(Y - FLastClickPos.y) >= FDragThreshold)) {
        DoDragging(FLastClickPos);
        return;
    }
    auto moveCorner = [&] {
        FLastSelRect = FNewSelRect;
        FNewSelRect.right = std::clamp(X - FOffsetX, 0, std::max(FClientWidth, FRangeX));
        FNewSelRect.bottom = std::clamp(Y - FOffsetY, 0, std::max(FClientHeight, FRangeY));
        return FNewSelRect.right != FLastSelRect.right || FNewSelRect.bottom != FLastSelRect.bottom;
    };
    auto invalidateTreeRect = [&](RECT r) {
        if (!HasControlWindow()) return;
        r = Ordered(r);
        OffsetRect(&r, FOffsetX, FOffsetY);
        InflateRect(&r, 1, 1);
        InvalidateRect(FHandle, &r, FALSE);
    };

    if (HasState(tsDrawSelPending)) {
        if (moveCorner()) {
            invalidateTreeRect(FLastSelRect);
            if (HasControlWindow()) UpdateWindow(FHandle);
        }
        if (std::abs(FNewSelRect.right - FNewSelRect.left) > GetSystemMetrics(SM_CXDRAG) ||
            std::abs(FNewSelRect.bottom - FNewSelRect.top) > GetSystemMetrics(SM_CYDRAG)) {
            if (HasState(tsClearPending)) {
                DoStateChange(0, tsClearPending);
                ClearSelection();
            }
            DoStateChange(tsDrawSelecting, tsDrawSelPending);
            if (ColumnCount() > 0) SetFocusedColumn(MainColumn());
            // Nothing was selected by the band while it was pending: the rows it already
            // spans are all new to it, also when it grew in several small moves.
            FLastSelRect = RECT{FNewSelRect.left, FNewSelRect.top, FNewSelRect.left, FNewSelRect.top};
            if (HandleDrawSelection(X, Y)) Invalidate();
        }
        DoAutoScroll(X, Y);
        return;
    }

    if (HasState(tsWheelPanning) && HasState(tsWheelScrolling) &&
        (std::abs(X - FLastClickPos.x) > GetSystemMetrics(SM_CXDRAG) ||
         std::abs(Y - FLastClickPos.y) > GetSystemMetrics(SM_CYDRAG)))
        DoStateChange(0, tsWheelScrolling);

    if (HasState(tsDrawSelecting) && !HasState(tsScrolling)) {
        if (moveCorner()) {
            if (HandleDrawSelection(X, Y)) Invalidate();
            else invalidateTreeRect(Union(Ordered(FLastSelRect), Ordered(FNewSelRect)));
            if (HasControlWindow()) UpdateWindow(FHandle);
        }
        DoAutoScroll(X, Y);
        return;
    }
    if (HasState(tsDrawSelecting)) {
        DoAutoScroll(X, Y);
        return;
    }
    HandleHotTrack(X, Y);
    TCustomControl::MouseMove(Shift, X, Y);
}

bool TBaseGridTree::HandleDrawSelection(int X, int Y) {
    (void)X;
    (void)Y;
    // Also a tree of a single row can be selected by the band.
    if (FRoot->SubtreeCount < 2 || !HasState(tsDrawSelecting)) return false;
    RECT oldRect = Ordered(FLastSelRect), newRect = Ordered(FNewSelRect);
    FTempNodeCache.clear();
    // The main column's extent (the client width without columns).
    int left = 0, right = FClientWidth;
    if (TGridTreeColumn* main = FHeader->Columns().GetItem(MainColumn())) {
        left = main->ColumnLeft();
        right = left + main->Width();
    }
    bool changed = MainColumnRightToLeft() ? CollectSelectedNodesRTL(left, right, oldRect, newRect)
                                           : CollectSelectedNodesLTR(left, right, oldRect, newRect);
    if (changed) {
        PackSelection();
        if (!FTempNodeCache.empty())
            InternalAddToSelection(FTempNodeCache.data(), FTempNodeCache.size(), false);
        FTempNodeCache.clear();
        Change(nullptr);
    }
    return changed;
}

namespace {
// Mirrors a rectangle inside [Left, Right) for the right-to-left collection.
RECT Mirrored(const RECT& R, int Left, int Right) {
    return RECT{Left + Right - R.right, R.top, Left + Right - R.left, R.bottom};
}
}  // namespace

bool TBaseGridTree::CollectSelectedNodesRTL(int MainColumnLeft, int MainColumnRight, const RECT& OldRect,
                                            const RECT& NewRect) {
    // The same rules as left to right, on mirrored rectangles: the content starts at the
    // right end of the column and runs leftwards.
    return CollectSelectedNodesLTR(MainColumnLeft, MainColumnRight, Mirrored(OldRect, MainColumnLeft, MainColumnRight),
                                   Mirrored(NewRect, MainColumnLeft, MainColumnRight));
}

bool TBaseGridTree::CollectSelectedNodesLTR(int MainColumnLeft, int MainColumnRight, const RECT& OldRect,
                                            const RECT& NewRect) {
    int firstTop = std::min(OldRect.top, NewRect.top);
    int lastBottom = std::max(OldRect.bottom, NewRect.bottom);
    int rowTop = 0;
    PGridNode run = GetNodeAt(0, firstTop, false, &rowTop);
    if (!run) return false;
    bool simple = HasSelectionOption(toSimpleDrawSelection);
    int contentStart = MainColumnLeft + FMargin + int(GetNodeLevel(run) * FIndent);
    if (HasPaintOption(toShowRoot)) contentStart += int(FIndent);
    bool changed = false;
    while (run && rowTop < lastBottom) {
        if (!(run->States & vsInitialized)) InitNode(run);
        int rowBottom = rowTop + int(NodeHeight(run));
        bool inOld, inNew;
        if (simple) {
            // Only the rows' vertical span counts.
            RECT box{std::min(OldRect.left, NewRect.left), rowTop, std::max(OldRect.right, NewRect.right), rowBottom};
            inOld = Meets(box, OldRect);
            inNew = Meets(box, NewRect);
        } else {
            // The content: the text after the check, state and normal images.
            int textWidth = std::max(0, DoGetNodeWidth(run, MainColumn()));
            int cellRight = MainColumnRight;
            const int start = contentStart + ImagesWidth(run, MainColumn(), true);
            RECT box{start, rowTop, start + textWidth, rowBottom};
            if (start + textWidth > cellRight) {
                box.right = cellRight;
            } else {
                switch (FAlignment) {
                    case taLeftJustify:
                        if (OldRect.left <= start && NewRect.left <= start) box.right = cellRight;
                        break;
                    case taRightJustify:
                        box.left = cellRight - textWidth;
                        box.right = cellRight;
                        break;
                    case taCenter:
                        box.left = start + (cellRight - start - textWidth) / 2;
                        box.right = box.left + textWidth;
                        break;
                }
            }
            inOld = Meets(box, OldRect);
            inNew = Meets(box, NewRect);
        }
        if (inOld != inNew) {
            bool add = FDrawSelCtrl ? !(run->States & vsSelected) : inNew;
            if (add) AddToTempCache(run);
            else InternalRemoveFromSelection(run);
            changed = true;
        }
        PGridNode next = GetNextVisible(run);
        if (next) contentStart += CountLevelDifference(run, next) * int(FIndent);
        run = next;
        rowTop = rowBottom;
    }
    return changed;
}

}  // namespace gridtree
