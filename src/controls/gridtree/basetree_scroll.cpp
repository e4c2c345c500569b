// Scrolling: the one operation that changes the scroll offsets, the scroll-bar messages,
// the mouse wheel, automatic scrolling near the edges while the mouse drags, the selection
// rectangle's geometry and the hot node that follows the mouse.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"

namespace gridtree {

bool TBaseGridTree::DoSetOffsetXY(POINT Value, TScrollUpdateOptions Options, const RECT* ClipRect) {
    Value.x = std::min(std::max<LONG>(Value.x, FClientWidth - FRangeX), 0L);
    Value.y = std::min(std::max<LONG>(Value.y, FClientHeight - FRangeY), 0L);
    const int dx = Value.x - FOffsetX, dy = Value.y - FOffsetY;
    if (dx == 0 && dy == 0) return false;
    FOffsetX = Value.x;
    FOffsetY = Value.y;
    if (classlib::Application) classlib::Application->CancelHint();

    if (FUpdateCount == 0 && HasControlWindow()) {
        if (Options & suoScrollClientArea) {
            if (HasPaintOption(toShowBackground) && HasBackground()) {
                // The background does not move with the pixels: everything is painted anew,
                // and the child windows move with the content.
                std::vector<HWND> children;
                for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                    children.push_back(child);
                if (!children.empty()) {
                    HDWP positions = BeginDeferWindowPos(int(children.size()));
                    for (HWND child : children) {
                        RECT r{};
                        GetWindowRect(child, &r);
                        MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&r), 2);
                        if (positions)
                            positions = DeferWindowPos(positions, child, nullptr, r.left + dx, r.top + dy, 0, 0,
                                                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                    }
                    if (positions) EndDeferWindowPos(positions);
                }
                InvalidateRect(FHandle, nullptr, FALSE);
            } else {
                const RECT client{0, 0, FClientWidth, FClientHeight};
                RECT clip = ClipRect ? *ClipRect : client;
                const int fixed = ColumnCount() > 0 ? FHeader->Columns().FixedColumnsWidth() : 0;
                if (dx == 0 || fixed < 1) {
                    ScrollWindow(FHandle, dx, dy, &clip, &clip);
                } else {
                    // Only the part right of the fixed columns moves sideways.
                    RECT movable = clip;
                    movable.left = std::max<LONG>(movable.left, fixed);
                    ScrollWindow(FHandle, dx, 0, &movable, &movable);
                    if (dy) ScrollWindow(FHandle, 0, dy, &clip, &clip);
                }
            }
        }
        if (Options & suoUpdateNCArea) {
            const TScrollStyle bars = FScrollBarOptions->ScrollBars();
            const bool horizontalBar = bars == ssHorizontal || bars == ssBoth;
            if (dx) {
                if ((Options & suoRepaintHeader) && (FHeader->Options() & hoVisible)) FHeader->Invalidate();
                if (!HasState(tsSizing) && horizontalBar) UpdateHorizontalScrollBar((Options & suoRepaintScrollbars) != 0);
            }
            if (dy && !HasState(tsSizing | tsThumbTracking)) {
                UpdateVerticalScrollBar((Options & suoRepaintScrollbars) != 0);
                // Without columns the content's width depends on the rows in view.
                if (ColumnCount() == 0 && !HasState(tsDrawSelecting) && horizontalBar)
                    UpdateHorizontalScrollBar((Options & suoRepaintScrollbars) != 0);
            }
        }
    }

    // Only while the mouse is over the tree (asking for the cursor costs a round trip to
    // the display on every scroll step).
    if (HasControlWindow() && FMouseInControl) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ::ScreenToClient(FHandle, &cursor);
        if (cursor.x >= 0 && cursor.y >= 0 && cursor.x < FClientWidth && cursor.y < FClientHeight)
            HandleHotTrack(cursor.x, cursor.y);
    }
    DoScroll(dx, dy);
    return true;
}

void TBaseGridTree::WMScroll(classlib::TMessage& Message, bool Vertical) {
    int code = LOWORD(Message.WParam);
    int offset = Vertical ? FOffsetY : FOffsetX;
    int increment = Vertical ? FScrollBarOptions->VerticalIncrement : FScrollBarOptions->HorizontalIncrement;
    int page = Vertical ? FClientHeight : FClientWidth;
    Message.Result = 0;
    switch (code) {
        case SB_LINEUP: offset += increment; break;
        case SB_LINEDOWN: offset -= increment; break;
        case SB_PAGEUP: offset += page; break;
        case SB_PAGEDOWN: offset -= page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            DoStateChange(tsThumbTracking, 0);
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(FHandle, Vertical ? SB_VERT : SB_HORZ, &si);
            offset = -si.nTrackPos;
            break;
        }
        case SB_TOP: offset = 0; break;
        case SB_BOTTOM: offset = Vertical ? -int(FRoot->SubtreeHeight) : -FRangeX; break;
        case SB_ENDSCROLL:
            DoStateChange(0, tsThumbTracking);
            if (Vertical) {
                UpdateScrollBars(true);
                RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_NOCHILDREN | RDW_NOERASE | RDW_INVALIDATE);
            } else {
                UpdateHorizontalScrollBar(false);
            }
            return;
        default:
            return;
    }
    if (Vertical) DoSetOffsetXY(POINT{FOffsetX, offset});
    else DoSetOffsetXY(POINT{offset, FOffsetY});
}

void TBaseGridTree::CMMouseWheel(classlib::TMessage& Message) {
    StopWheelPanning();
    Message.Result = 1;
    const int delta = short(HIWORD(Message.WParam));
    const bool ctrl = (LOWORD(Message.WParam) & MK_CONTROL) != 0;
    const int notches = delta / WHEEL_DELTA;
    const int rowHeight = int(FDefaultNodeHeight);
    if (FClientHeight < FRangeY) {
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        int rows;
        if (ctrl || lines == WHEEL_PAGESCROLL) rows = (FClientHeight / rowHeight) * notches;
        else rows = delta * int(lines) / WHEEL_DELTA;
        SetOffsetY(FOffsetY + rows * rowHeight);
    } else if (ctrl) {
        SetOffsetX(FOffsetX + FClientWidth * notches);
    } else {
        SetOffsetX(FOffsetX + notches * int(FIndent));
    }
}

void TBaseGridTree::CMMouseLeave(classlib::TMessage& Message) {
    // The next hint over the tree is decided anew.
    FLastHintRect = RECT{};
    DoStateChange(0, tsHint);
    if (!HasState(tsWheelPanning | tsWheelScrolling)) {
        StopTimer(ScrollTimer);
        DoStateChange(0, tsScrolling | tsScrollPending);
    }
    if (FHotNode) {
        PGridNode old = FHotNode;
        DoHotChange(old, nullptr);
        if (FHotNode == old) {
            InvalidateNode(old);
            FHotNode = nullptr;
        }
    }
    FHeader->Columns().PressedColumn = NoColumn;
    FHeader->Columns().HotColumn = NoColumn;
    TCustomControl::CMMouseLeave(Message);
}

void TBaseGridTree::HandleHotTrack(int X, int Y) {
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    PGridNode hot = nullptr;
    if ((hit.HitPositions & (hiOnItemLabel | hiOnItemCheckbox)) || HasSelectionOption(toFullRowSelect))
        hot = hit.HitNode;
    if (hot == FHotNode) return;
    PGridNode old = FHotNode;
    DoHotChange(old, hot);
    const bool repaint = HasPaintOption(toHotTrack) || HasOption(toCheckSupport);
    if (repaint && old) InvalidateNode(old);
    FHotNode = hot;
    if (repaint && hot) InvalidateNode(hot);
}

// --- auto-scroll ----------------------------------------------------------------------

bool TBaseGridTree::CanAutoScroll() {
    const bool panning = HasState(tsWheelPanning | tsWheelScrolling);
    const THeaderStates headerBusy = hstDragging | hstDragPending | hstResizing | hstResizePending;
    return (HasAutoOption(toAutoScroll) || panning) && !(FHeader->States() & headerBusy) &&
           (IsMouseSelecting() || HasState(tsOLEDragging | tsControlDragging) || panning);
}

TScrollDirections TBaseGridTree::DetermineScrollDirections(int X, int Y) {
    TScrollDirections result = 0;
    if (!CanAutoScroll()) return result;
    if (HasState(tsWheelPanning | tsWheelScrolling)) {
        const int dx = X - FLastClickPos.x, dy = Y - FLastClickPos.y;
        if (dx < -8) result |= sdLeft;
        if (dx > 8) result |= sdRight;
        if (dy < -8) result |= sdUp;
        if (dy > 8) result |= sdDown;
        return result;
    }
    const int zone = int(FDefaultNodeHeight);
    if (X < zone && FOffsetX != 0) result |= sdLeft;
    if (FClientWidth - FOffsetX < FRangeX && X > FClientWidth - zone) result |= sdRight;
    if (Y < zone && FOffsetY != 0) result |= sdUp;
    if (FClientHeight - FOffsetY < FRangeY && Y > FClientHeight - zone) result |= sdDown;
    if (result && HasState(tsOLEDragging | tsControlDragging)) {
        // A drag scrolls only after it stayed in the zone for the delay.
        const DWORD now = GetTickCount();
        if (FDragScrollStart == 0) FDragScrollStart = now;
        if (now - FDragScrollStart < FAutoScrollDelay) result = 0;
    } else if (!result) {
        FDragScrollStart = 0;
    }
    return result;
}

void TBaseGridTree::DoAutoScroll(int X, int Y) {
    FScrollDirections = DetermineScrollDirections(X, Y);
    if (HasState(tsWheelPanning | tsWheelScrolling)) return;
    if (FScrollDirections == 0) {
        if (HasState(tsScrolling | tsScrollPending)) {
            StopTimer(ScrollTimer);
            DoStateChange(0, tsScrolling | tsScrollPending);
        }
    } else if (!HasState(tsScrolling | tsScrollPending)) {
        DoStateChange(tsScrollPending, 0);
        StartTimer(ScrollTimer, FAutoScrollDelay);
    }
}

bool TBaseGridTree::CalculateSelectionRect(int X, int Y) {
    if (HasState(tsDrawSelecting)) FLastSelRect = FNewSelRect;
    FNewSelRect.right = std::clamp(X - FOffsetX, 0, std::max(FClientWidth, FRangeX));
    FNewSelRect.bottom = std::clamp(Y - FOffsetY, 0, std::max(FClientHeight, FRangeY));
    return !EqualRect(&FNewSelRect, &FLastSelRect);
}

void TBaseGridTree::DoTimerScroll() {
    if (!HasControlWindow()) return;
    RECT client{0, 0, FClientWidth, FClientHeight};
    RECT screen = client;
    MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    POINT cursor{};
    GetCursorPos(&cursor);
    const bool inRect = PtInRect(&screen, cursor) != 0;
    POINT pos = cursor;
    ::ScreenToClient(FHandle, &pos);
    const bool panning = HasState(tsWheelPanning | tsWheelScrolling);
    if (!IsMouseSelecting() && !inRect && !panning) return;

    int dx = 0, dy = 0;
    const int vertical = std::min<int>(FScrollBarOptions->VerticalIncrement, FClientHeight);
    const int horizontal = FScrollBarOptions->HorizontalIncrement;
    if (FScrollDirections & sdUp) {
        dy = panning ? FLastClickPos.y - pos.y - 8 : inRect ? vertical : vertical * std::abs(screen.top - cursor.y);
        if (FOffsetY == 0) FScrollDirections &= TScrollDirections(~sdUp);
    }
    if (FScrollDirections & sdDown) {
        dy = panning ? FLastClickPos.y - pos.y + 8 : inRect ? -vertical : -vertical * std::abs(cursor.y - screen.bottom);
        if (FClientHeight - FOffsetY == FRangeY) FScrollDirections &= TScrollDirections(~sdDown);
    }
    if (FScrollDirections & sdLeft) {
        dx = panning ? FLastClickPos.x - pos.x - 8 : inRect ? horizontal : std::abs(screen.left - cursor.x) * horizontal;
        if (FOffsetX == 0) FScrollDirections &= TScrollDirections(~sdLeft);
    }
    if (FScrollDirections & sdRight) {
        dx = panning ? FLastClickPos.x - pos.x + 8 : inRect ? -horizontal : -horizontal * std::abs(cursor.x - screen.right);
        if (FClientWidth - FOffsetX == FRangeX) FScrollDirections &= TScrollDirections(~sdRight);
    }

    if (HasState(tsDrawSelecting)) {
        RECT clip = client;
        OffsetRect(&clip, dx, dy);
        DoSetOffsetXY(POINT{FOffsetX + dx, FOffsetY + dy}, DefaultScrollUpdateOptions, &clip);
        if (CalculateSelectionRect(pos.x, pos.y) && HandleDrawSelection(pos.x, pos.y)) {
            InvalidateRect(FHandle, nullptr, FALSE);
        } else {
            // The strip the scrolling uncovered, and the band's old and new extent.
            classlib::TGdiObject<HRGN> exposed(CreateRectRgnIndirect(&client));
            classlib::TGdiObject<HRGN> kept(CreateRectRgnIndirect(&clip));
            CombineRgn(exposed.Handle(), exposed.Handle(), kept.Handle(), RGN_DIFF);
            InvalidateRgn(FHandle, exposed.Handle(), FALSE);
            RECT last = NormalizedRect(FLastSelRect), now = NormalizedRect(FNewSelRect), both{};
            UnionRect(&both, &last, &now);
            OffsetRect(&both, FOffsetX, FOffsetY);
            InflateRect(&both, 1, 1);
            InvalidateRect(FHandle, &both, FALSE);
        }
    } else if (!HasState(tsOLEDragging) && (dx != 0 || dy != 0)) {
        DoSetOffsetXY(POINT{FOffsetX + dx, FOffsetY + dy});
    }
    UpdateWindow(FHandle);
    if (FScrollDirections == 0 && !panning) {
        StopTimer(ScrollTimer);
        DoStateChange(0, tsScrollPending | tsScrolling);
    }
}

}  // namespace gridtree
