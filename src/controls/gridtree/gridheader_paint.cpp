// Header painting, the border hit test and the header's mouse handling.
#include <algorithm>
#include <cmath>

#include "classlib/gdiguards.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridheader.h"
#include "controls/gridtree/gridtree_services.h"

namespace gridtree {

namespace {

void Line(HDC DC, COLORREF Color, std::initializer_list<POINT> Points) {
    classlib::TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Color));
    classlib::TSelectedObject selected(DC, pen.Handle());
    auto it = Points.begin();
    MoveToEx(DC, it->x, it->y, nullptr);
    for (++it; it != Points.end(); ++it) LineTo(DC, it->x, it->y);
}

// 0x00BBGGRR channel arithmetic for the bottom gradient of the normal XP cell.
COLORREF Darkened(COLORREF Fill, COLORREF End, int Times) {
    auto channel = [&](int shift) {
        int f = int((Fill >> shift) & 0xFF), e = int((End >> shift) & 0xFF);
        int step = int(std::nearbyint(double(f - e) / 3.0));
        return COLORREF(std::clamp(f - step * Times, 0, 255)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

}  // namespace

void TGridTreeColumns::DrawXPCell(HDC DC, const RECT& R, bool Hot, bool Pressed, bool Splitter) {
    constexpr COLORREF PressedFill = 0xD8DFDE, HotFill = 0xF3F8FA, NormalFill = 0xDBEAEB, End = 0xB8C7CB;
    COLORREF fill = Pressed ? PressedFill : Hot ? HotFill : NormalFill;
    FillRect(DC, &R, classlib::TGdiObject<HBRUSH>(CreateSolidBrush(fill)).Handle());
    if (Splitter && !Hot && !Pressed) {
        Line(DC, 0xB2C5C7, {POINT{R.right - 2, R.top + 3}, POINT{R.right - 2, R.bottom - 5}});
        Line(DC, 0xFFFFFF, {POINT{R.right - 1, R.top + 3}, POINT{R.right - 1, R.bottom - 5}});
    }
    if (Pressed) {
        Line(DC, 0x97A5A5, {POINT{R.left, R.top}, POINT{R.left, R.bottom - 1}, POINT{R.right - 1, R.bottom - 1},
                            POINT{R.right - 1, R.top - 1}});
        Line(DC, 0xB8C2C1, {POINT{R.left + 1, R.bottom - 2}, POINT{R.left + 1, R.top}, POINT{R.right - 1, R.top}});
        Line(DC, 0xC9D1D0,
             {POINT{R.left + 2, R.bottom - 2}, POINT{R.left + 2, R.top + 1}, POINT{R.right - 1, R.top + 1}});
    } else if (!Hot) {
        Line(DC, Darkened(fill, End, 1), {POINT{R.left, R.bottom - 3}, POINT{R.right, R.bottom - 3}});
        Line(DC, Darkened(fill, End, 2), {POINT{R.left, R.bottom - 2}, POINT{R.right, R.bottom - 2}});
        Line(DC, End, {POINT{R.left, R.bottom - 1}, POINT{R.right, R.bottom - 1}});
    }
    // The hot strip along the bottom comes from the shared utility pictures, which join
    // with the tree's painting resources.
}

void TGridTreeColumns::PaintCellText(HDC DC, const std::wstring& Text, RECT R, bool Hot, bool Enabled,
                                     UINT Format) const {
    std::wstring text = Text;
    SIZE size{};
    GetTextExtentPoint32W(DC, text.c_str(), int(text.size()), &size);
    if (size.cx > R.right - R.left) {
        SIZE dots{};
        GetTextExtentPoint32W(DC, L"...", 3, &dots);
        text = EllipsizeText(DC, text, R.right - R.left, dots.cx, (Format & DT_RTLREADING) != 0);
    }
    int oldMode = SetBkMode(DC, TRANSPARENT);
    COLORREF oldColor = GetTextColor(DC);
    if (Enabled) {
        TBaseGridTree* tree = FHeader->Treeview();
        classlib::TColor color = Hot ? tree->Colors().HeaderHotColor() : FHeader->Font().Color();
        SetTextColor(DC, classlib::ColorToRGB(color));
        DrawTextW(DC, text.c_str(), int(text.size()), &R, Format);
    } else {
        RECT shifted = R;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(DC, classlib::ColorToRGB(classlib::clBtnHighlight));
        DrawTextW(DC, text.c_str(), int(text.size()), &shifted, Format);
        SetTextColor(DC, classlib::ColorToRGB(classlib::clBtnShadow));
        DrawTextW(DC, text.c_str(), int(text.size()), &R, Format);
    }
    SetTextColor(DC, oldColor);
    SetBkMode(DC, oldMode);
}

bool TGTHeader::FindResizeColumn(POINT P) {
    FColumns->SizingColumn = NoColumn;
    if (FColumns->Count() == 0) return false;
    int split = FOwner->OffsetX() + FColumns->ColumnsWidth();
    const TIndexArray& map = FColumns->PositionMap();
    for (auto it = map.rbegin(); it != map.rend(); ++it) {
        TGridTreeColumn* column = FColumns->GetItem(*it);
        if (!column || !(column->Options() & coVisible)) continue;
        if (P.x > split - 3 && P.x < split + 5) {
            if (!(column->Options() & coResizable)) return false;
            FColumns->SizingColumn = *it;
            FResizeLeftEdge = split - column->Width();
            return true;
        }
        split -= column->Width();
    }
    return false;
}

void TGridTreeColumns::PaintColumnHeaders(HDC DC, const RECT& R, int ScrollOffset) {
    TBaseGridTree* tree = FHeader->Treeview();
    RECT headerRect = tree->HeaderRect();
    int width = std::max<int>(R.right, headerRect.right);
    int height = std::max<int>(headerRect.bottom, R.bottom);
    if (width <= 0 || height <= 0) return;
    // One buffer for the whole area, copied to the target in one go.
    classlib::TMemoryBitmap picture(DC, width, height);
    HDC buffer = picture.DC();
    classlib::TSelectedObject font(buffer, FHeader->Font().Handle());

    struct TEdge {
        UINT Edge, Flags;
    };
    TEdge normal{}, pressed{}, hot{};
    switch (FHeader->Style()) {
        case hsThickButtons: normal = {5, 0x380B}; pressed = {5, 0x780F}; hot = normal; break;
        case hsFlatButtons: normal = {4, 0x280B}; pressed = {2, 0x280F}; hot = normal; break;
        default: normal = {4, 0x380F}; pressed = {2, 0x280F}; hot = {4, 0x280B}; break;
    }

    if (FHeader->Style() == hsXPStyle) {
        DrawXPCell(buffer, headerRect, false, false, false);
    } else {
        classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(classlib::ColorToRGB(FHeader->Background())));
        FillRect(buffer, &R, brush.Handle());
    }

    int left = R.left;
    bool shifted = false;
    int clipLeft = R.left;
    for (size_t p = 0; p < FPositionToIndex.size(); ++p) {
        TColumnIndex index = FPositionToIndex[p];
        TGridTreeColumn* column = GetItem(index);
        if (!column || !(column->Options() & coVisible)) continue;
        if (!shifted && !(column->Options() & coFixed)) {
            left += ScrollOffset;
            shifted = true;
        }
        RECT cell{left, R.top, left + column->Width(), R.bottom};
        left = cell.right;
        if (cell.left > R.right) break;
        RECT clip{std::max<LONG>(cell.left, clipLeft), R.top, std::min<LONG>(cell.right, R.right), R.bottom};
        clipLeft = clip.right;
        if (clip.right <= clip.left) continue;
        classlib::TSavedDC saved(buffer);
        IntersectClipRect(buffer, clip.left, clip.top, clip.right, clip.bottom);

        bool enabled = (column->Options() & coEnabled) && tree->Enabled();
        bool isHot = index == HotColumn && (FHeader->Options() & hoHotTrack) && (column->Options() & coEnabled);
        bool isPressed = index == PressedColumn;
        // Only a tree with a bevel leaves out the last border, and this tree has none.
        const UINT rightBorder = BF_RIGHT;
        RECT face = cell;  // DrawEdge may shrink it (BF_ADJUST)
        if (FHeader->Style() == hsXPStyle) {
            DrawXPCell(buffer, face, isHot, isPressed, rightBorder != 0);
        } else if (isPressed) {
            DrawEdge(buffer, &face, pressed.Edge, pressed.Flags);
        } else if (FHeader->Style() == hsPlates && isHot && (column->Options() & coAllowClick) && enabled) {
            DrawEdge(buffer, &face, hot.Edge, (hot.Flags & ~BF_RIGHT) | rightBorder);
        } else {
            DrawEdge(buffer, &face, normal.Edge, (normal.Flags & ~BF_RIGHT) | rightBorder);
        }

        if (!column->Text().empty()) {
            RECT inner = cell;
            InflateRect(&inner, -2, -2);
            int w = inner.right - inner.left, h = inner.bottom - inner.top;
            SIZE extent{};
            GetTextExtentPoint32W(buffer, column->Text().c_str(), int(column->Text().size()), &extent);
            int textWidth = extent.cx + 2;
            TAlignment align = column->Alignment();
            if (column->UsesRightToLeft() && align != taCenter)
                align = align == taLeftJustify ? taRightJustify : taLeftJustify;
            int x = align == taLeftJustify ? column->Margin()
                    : align == taCenter    ? (w - textWidth) / 2
                                           : w - column->Margin() - textWidth;
            x = std::max(x, column->Margin());
            int y = (h - extent.cy) / 2;
            RECT text{inner.left + x, inner.top + y, inner.left + x + textWidth, inner.top + y + extent.cy};
            text.right = std::min<LONG>(text.right, inner.left + w - column->Margin());
            if (isPressed) OffsetRect(&text, 1, 1);
            UINT format = DT_NOPREFIX | (column->UsesRightToLeft() ? DT_RTLREADING : 0);
            PaintCellText(buffer, column->Text(), text, isHot && !(tree->TreeStates() & tsUseThemes), enabled,
                          format);
        }
    }

    BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, buffer, R.left, R.top, SRCCOPY);
}

// --- mouse ----------------------------------------------------------------------------

namespace {
// Signed coordinates packed in an LPARAM (screen points may be negative).
int GET_X_LPARAM(LPARAM L) { return int(short(LOWORD(L))); }
int GET_Y_LPARAM(LPARAM L) { return int(short(HIWORD(L))); }

classlib::TShiftState KeyShift() {
    classlib::TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= classlib::ssShift;
    if (GetKeyState(VK_MENU) < 0) shift |= classlib::ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) shift |= classlib::ssCtrl;
    return shift;
}
}  // namespace

bool TGTHeader::DetermineHotColumn(POINT HeaderPoint) {
    TColumnIndex column = FColumns->ColumnAtPoint(HeaderPoint, true);
    if (column == FColumns->HotColumn) return false;
    InvalidateColumn(FColumns->GetItem(FColumns->HotColumn));
    FColumns->HotColumn = column;
    InvalidateColumn(FColumns->GetItem(column));
    return true;
}

void TGTHeader::HandleClick(POINT HeaderPoint, classlib::TMouseButton Button, bool Double, bool Force) {
    TColumnIndex column = FColumns->ColumnAtPoint(HeaderPoint, true);
    TGridTreeColumn* item = FColumns->GetItem(column);
    if (item && (item->Options() & coAllowClick) && (Force || column == FColumns->PressedColumn)) {
        FColumns->ClickedColumn = column;
        classlib::TShiftState shift = KeyShift();
        if (Double) shift |= classlib::ssDouble;
        FOwner->DoHeaderClick(column, Button, shift, HeaderPoint.x, HeaderPoint.y);
        InvalidateColumn(item);
    } else {
        FColumns->ClickedColumn = NoColumn;
    }
}

void TGTHeader::EndTracking() {
    if (FStates & (hstDragging | hstDragPending | hstResizing | hstResizePending)) ReleaseCapture();
    FStates &= ~(hstDragging | hstDragPending | hstResizing | hstResizePending);
    FColumns->DropColumn = NoColumn;
}

bool TGTHeader::HandleHeaderMessage(classlib::TMessage& Message) {
    const THeaderStates tracking = hstDragging | hstDragPending | hstResizing | hstResizePending;
    // Messages arrive also while the window is being made: never ask for a new handle here.
    if (!FOwner->HandleAllocated()) return false;
    HWND wnd = FOwner->Handle();
    auto clientFromScreen = [&](LPARAM LParam) {
        POINT p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        ::ScreenToClient(wnd, &p);
        return p;
    };
    switch (Message.Msg) {
        case WM_SIZE:
            if ((FOptions & hoAutoResize) && !(FOwner->TreeStates() & tsWindowCreating)) {
                FColumns->AutoSizeColumn(InvalidColumn, false);
                Invalidate();
            }
            return false;
        case WM_KEYDOWN:
            if (Message.WParam != VK_ESCAPE) return false;
            [[fallthrough]];
        case WM_KILLFOCUS:
            if (!(FStates & tracking)) return false;
            // A cancelled resize keeps the width reached so far.
            EndTracking();
            Invalidate();
            return true;
        case WM_SETCURSOR: {
            if (FStates & tracking) {
                Message.Result = 1;
                return true;
            }
            if (!(FOptions & hoColumnResize)) return false;
            POINT p{};
            GetCursorPos(&p);
            ::ScreenToClient(wnd, &p);
            if (!PointInHeader(p) || !FindResizeColumn(p)) return false;
            // The split cursor of the program's resources, else the system's sizing arrow.
            static HCURSOR split = [] {
                HCURSOR c = LoadCursorW(GetModuleHandleW(nullptr), L"GT_HEADERSPLIT");
                return c ? c : LoadCursorW(nullptr, IDC_SIZEWE);
            }();
            SetCursor(split);
            Message.Result = 1;
            return true;
        }
        case WM_NCMOUSEMOVE: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            FOwner->DoHeaderMouseMove(KeyShift(), h.x, h.y);
            bool changed = (FOptions & hoHotTrack) && DetermineHotColumn(h);
            // The header timer notices when the mouse has left the header.
            if (changed || (FColumns->PressedColumn >= 0 && FColumns->PressedColumn != FColumns->HotColumn))
                FOwner->StartTimer(HeaderTimer, 50);
            return false;
        }
        case WM_TIMER: {
            if (Message.WParam != HeaderTimer) return false;
            POINT p{};
            GetCursorPos(&p);
            ::ScreenToClient(wnd, &p);
            if (PointInHeader(p) &&
                !(FColumns->PressedColumn >= 0 && FColumns->PressedColumn != FColumns->HotColumn))
                return true;
            FOwner->StopTimer(HeaderTimer);
            FColumns->HotColumn = NoColumn;
            FColumns->ClickedColumn = NoColumn;
            FColumns->PressedColumn = NoColumn;
            Invalidate();
            Message.Result = 0;
            return true;
        }
        case WM_NCLBUTTONDOWN: {
            POINT screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            POINT p = clientFromScreen(Message.LParam);
            FDragStartPoint = screen;
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            FOwner->DoHeaderMouseDown(classlib::mbLeft, KeyShift(), h.x, h.y);
            if ((FOptions & hoColumnResize) && FindResizeColumn(p)) {
                FColumns->HotColumn = NoColumn;
                FResizeStartPoint = p;
                FStates |= hstResizePending;
            } else {
                TColumnIndex column = FColumns->ColumnAtPoint(h, true);
                TGridTreeColumn* item = FColumns->GetItem(column);
                if (item && (item->Options() & (coAllowClick | coEnabled)) == (coAllowClick | coEnabled)) {
                    InvalidateColumn(FColumns->GetItem(FColumns->PressedColumn));
                    FColumns->PressedColumn = column;
                    InvalidateColumn(item);
                    if ((FOptions & hoDrag) && (item->Options() & coDraggable)) FStates |= hstDragPending;
                }
            }
            if (!(FStates & tracking)) return false;
            SetCapture(wnd);
            Message.Result = 0;
            return true;
        }
        case WM_MOUSEMOVE: {
            if (!(FStates & tracking)) return false;
            POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            if (FStates & hstResizePending) {
                FStates = THeaderStates((FStates & ~hstResizePending) | hstResizing);
                FOwner->StopTimer(HeaderTimer);
            }
            if (FStates & hstResizing) {
                if (TGridTreeColumn* column = FColumns->GetItem(FColumns->SizingColumn))
                    column->SetWidth(p.x - FResizeLeftEdge);
            }
            if (FStates & hstDragPending) {
                POINT screen = p;
                ClientToScreen(wnd, &screen);
                TColumnIndex pressed = FColumns->PressedColumn;
                bool beyond = std::abs(screen.x - FDragStartPoint.x) > GetSystemMetrics(SM_CXDRAG) ||
                              std::abs(screen.y - FDragStartPoint.y) > GetSystemMetrics(SM_CYDRAG);
                if ((FOptions & hoDrag) && beyond && FOwner->DoHeaderDragging(pressed)) {
                    FOwner->StopTimer(HeaderTimer);
                    InvalidateColumn(FColumns->GetItem(pressed));
                    FColumns->PressedColumn = NoColumn;
                    FColumns->HotColumn = NoColumn;
                    POINT start = FDragStartPoint;
                    ::ScreenToClient(wnd, &start);
                    FColumns->DraggedColumn = FColumns->ColumnAtPoint(ToHeader(start), true);
                    FColumns->DropColumn = NoColumn;
                    FStates = THeaderStates((FStates & ~hstDragPending) | hstDragging);
                    // The half-transparent picture of the button joins with the drag pictures.
                }
            }
            if (FStates & hstDragging) {
                POINT screen = p;
                ClientToScreen(wnd, &screen);
                DragTo(screen);
            }
            Message.Result = 0;
            return true;
        }
        case WM_NCLBUTTONUP:
        case WM_LBUTTONUP: {
            bool nonClient = Message.Msg == WM_NCLBUTTONUP;
            POINT p = nonClient ? clientFromScreen(Message.LParam)
                                : POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            POINT h = ToHeader(p);
            bool hadState = (FStates & tracking) != 0;
            bool consumed = false;
            if (hadState) {
                if (FStates & hstDragging) {
                    POINT screen = p;
                    ClientToScreen(wnd, &screen);
                    RECT window{};
                    GetWindowRect(wnd, &window);
                    TColumnIndex dragged = FColumns->DraggedColumn;
                    TColumnIndex drop = FColumns->DropColumn;
                    TGridTreeColumn* draggedColumn = FColumns->GetItem(dragged);
                    TGridTreeColumn* dropColumn = FColumns->GetItem(drop);
                    if (draggedColumn && dropColumn && drop != dragged && PtInRect(&window, screen)) {
                        TColumnPosition old = draggedColumn->Position();
                        TColumnPosition target = dropColumn->Position();
                        bool draggedIsLeft = old < target;
                        if (FColumns->DropOnLeft) {
                            if (draggedIsLeft) --target;
                        } else if (!draggedIsLeft) {
                            ++target;
                        }
                        draggedColumn->SetPosition(target);
                        FOwner->DoHeaderDragged(dragged, old);
                    } else if (draggedColumn) {
                        FOwner->DoHeaderDraggedOut(dragged, screen);
                    }
                    FColumns->DropColumn = NoColumn;
                    FColumns->DraggedColumn = NoColumn;
                    Invalidate();
                }
                EndTracking();
                consumed = true;
            }
            if (nonClient) {
                HandleClick(h, classlib::mbLeft, false, false);
                FOwner->DoHeaderMouseUp(classlib::mbLeft, KeyShift(), h.x, h.y);
            } else {
                if (FColumns->PressedColumn >= 0) HandleClick(h, classlib::mbLeft, false, false);
                if (hadState)
                    FOwner->DoHeaderMouseUp(classlib::mbLeft, classlib::KeysToShiftState(Message.WParam), h.x, h.y);
            }
            if (TGridTreeColumn* pressed = FColumns->GetItem(FColumns->PressedColumn)) InvalidateColumn(pressed);
            FColumns->SizingColumn = NoColumn;
            FColumns->PressedColumn = NoColumn;
            if (consumed) Message.Result = 0;
            return consumed;
        }
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDBLCLK: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            classlib::TMouseButton button = Message.Msg == WM_NCLBUTTONDBLCLK   ? classlib::mbLeft
                                            : Message.Msg == WM_NCRBUTTONDBLCLK ? classlib::mbRight
                                                                                : classlib::mbMiddle;
            if ((FOptions & hoDblClickResize) && FindResizeColumn(p)) {
                TGridTreeColumn* column = FColumns->GetItem(FColumns->SizingColumn);
                FColumns->ResizeAnimated(FColumns->SizingColumn,
                                         std::max(column->MinWidth(), FOwner->GetMaxColumnWidth(column->Index())));
                FColumns->ClickedColumn = NoColumn;
            } else {
                HandleClick(h, button, true, true);
            }
            if (FColumns->ClickedColumn >= 0)
                FOwner->DoHeaderDblClick(FColumns->ClickedColumn, button, KeyShift() | classlib::ssDouble, h.x, h.y);
            return false;
        }
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            FOwner->DoHeaderMouseDown(Message.Msg == WM_NCRBUTTONDOWN ? classlib::mbRight : classlib::mbMiddle,
                                      KeyShift(), h.x, h.y);
            return false;
        }
        case WM_NCRBUTTONUP:
        case WM_NCMBUTTONUP: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            classlib::TMouseButton button = Message.Msg == WM_NCRBUTTONUP ? classlib::mbRight : classlib::mbMiddle;
            HandleClick(h, button, false, true);
            FOwner->DoHeaderMouseUp(button, KeyShift(), h.x, h.y);
            FColumns->PressedColumn = NoColumn;
            FColumns->SizingColumn = NoColumn;
            return false;
        }
        default:
            return false;
    }
}

void TGTHeader::DragTo(POINT Screen) {
    POINT client = Screen;
    ::ScreenToClient(FOwner->Handle(), &client);
    POINT h = ToHeader(client);
    int left = 0, right = 0;
    TColumnIndex column = FColumns->ColumnAndBoundsAt(h, left, right, true);
    bool onLeft = column >= 0 && h.x < (left + right) / 2;
    if (column == FColumns->DropColumn && (column < 0 || onLeft == FColumns->DropOnLeft)) return;
    InvalidateColumn(FColumns->GetItem(FColumns->DropColumn));
    FColumns->DropColumn = column >= 0 ? column : NoColumn;
    FColumns->DropOnLeft = onLeft;
    InvalidateColumn(FColumns->GetItem(column));
}

}  // namespace gridtree
