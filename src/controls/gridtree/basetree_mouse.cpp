// The tree and the mouse: presses, releases and double clicks of the three buttons with
// their selection rules, check images, the popup menu, the cursor, the panning cursors and
// the call points of a drag start.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "classlib/application.h"
#include "classlib/menus.h"
#include "classlib/screen.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"

namespace gridtree {

namespace {
int GET_X(LPARAM L) { return short(LOWORD(L)); }
int GET_Y(LPARAM L) { return short(HIWORD(L)); }
constexpr THeaderStates HeaderBusy = hstDragging | hstDragPending | hstResizing | hstResizePending;

TCheckState PressedForm(TCheckState State) { return TCheckState(State | 1); }
TCheckState NormalForm(TCheckState State) { return TCheckState(State & ~1); }
}  // namespace

bool TBaseGridTree::InputMessage(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            MouseButtonMessage(Message);
            return true;
        case WM_CONTEXTMENU:
            DoStateChange(0, tsClearPending | tsEditPending | tsOLEDragPending | tsControlDragPending);
            // A release of the right button may have shown a menu already.
            if (HasState(tsPopupMenuShown)) {
                Message.Result = 0;
                return true;
            }
            return false;
        case WM_SETCURSOR:
            return SetCursorMessage(Message);
        case WM_TIMER:
            if (Message.WParam == EditTimer) {
                StopTimer(EditTimer);
                DoEdit();
            } else if (Message.WParam == SearchTimer) {
                StopIncrementalSearch();
            } else if (Message.WParam == ExpandTimer) {
                StopTimer(ExpandTimer);
            } else {
                return false;
            }
            Message.Result = 0;
            return true;
        case classlib::CM_HINTSHOWPAUSE:
            CMHintShowPause(Message);
            return true;
        default:
            return KeyboardMessage(Message);
    }
}

void TBaseGridTree::MouseButtonMessage(classlib::TMessage& Message) {
    const int x = GET_X(Message.LParam), y = GET_Y(Message.LParam);
    const classlib::TShiftState shift = classlib::KeysToShiftState(Message.WParam);
    const bool headerBusy = (FHeader->States() & HeaderBusy) != 0;
    const bool panning = HasState(tsWheelPanning | tsWheelScrolling);
    auto hitAt = [&] {
        THitInfo hit;
        GetHitTestInfoAt(x, y, true, hit);
        return hit;
    };
    auto releaseCapture = [&] {
        if (!(Message.WParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) && GetCapture() == FHandle &&
            !HasState(tsWheelPanning | tsWheelScrolling))
            ReleaseCapture();
    };
    Message.Result = 0;
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
            DoStateChange(tsLeftButtonDown, 0);
            if (classlib::Application) classlib::Application->CancelHint();
            FControlState |= classlib::csLButtonDown | classlib::csClicked;
            MouseDown(classlib::mbLeft, shift, x, y);
            HandleMouseDown(Message, hitAt());
            break;
        case WM_LBUTTONUP: {
            DoStateChange(0, tsLeftButtonDown);
            HandleMouseUp(Message, hitAt());
            releaseCapture();
            const bool clicked = (FControlState & classlib::csClicked) != 0;
            FControlState &= ~(classlib::csClicked | classlib::csLButtonDown);
            RECT client{0, 0, FClientWidth, FClientHeight};
            if (clicked && PtInRect(&client, POINT{x, y})) Click();
            MouseUp(classlib::mbLeft, shift, x, y);
            break;
        }
        case WM_LBUTTONDBLCLK:
            DblClick();
            HandleMouseDblClick(Message, hitAt());
            break;
        case WM_MBUTTONDOWN:
            DoStateChange(tsMiddleButtonDown, 0);
            if (headerBusy) break;
            MouseDown(classlib::mbMiddle, shift, x, y);
            if (HasOption(toWheelPanning) && !panning && (FClientWidth < FRangeX || FClientHeight < FRangeY)) {
                FLastClickPos = POINT{x, y};
                StartWheelPanning(FLastClickPos);
            } else {
                StopWheelPanning();
                if (HasSelectionOption(toMiddleClickSelect)) HandleMouseDown(Message, hitAt());
            }
            break;
        case WM_MBUTTONUP:
            DoStateChange(0, tsMiddleButtonDown);
            if (panning) {
                // A click without moving leaves the wheel-scroll mode on until the next click.
                if (HasState(tsWheelScrolling)) DoStateChange(0, tsWheelPanning);
                else StopWheelPanning();
            } else if (!headerBusy) {
                MouseUp(classlib::mbMiddle, shift, x, y);
                if (HasSelectionOption(toMiddleClickSelect)) HandleMouseUp(Message, hitAt());
                releaseCapture();
            }
            break;
        case WM_MBUTTONDBLCLK:
            if (HasSelectionOption(toMiddleClickSelect)) HandleMouseDblClick(Message, hitAt());
            break;
        case WM_RBUTTONDOWN:
            DoStateChange(tsRightButtonDown, 0);
            if (headerBusy) break;
            if (classlib::Application) classlib::Application->CancelHint();
            MouseDown(classlib::mbRight, shift, x, y);
            if (HasSelectionOption(toRightClickSelect)) HandleMouseDown(Message, hitAt());
            break;
        case WM_RBUTTONUP: {
            DoStateChange(0, tsRightButtonDown | tsPopupMenuShown);
            if (headerBusy) break;
            if (classlib::Application) classlib::Application->CancelHint();
            if (IsMouseSelecting() && PopupMenu()) {
                DoStateChange(0, tsDrawSelPending | tsDrawSelecting);
                Invalidate();
            }
            MouseUp(classlib::mbRight, shift, x, y);
            const THitInfo hit = hitAt();
            if (HasSelectionOption(toRightClickSelect)) HandleMouseUp(Message, hit);
            releaseCapture();
            if (!PopupMenu()) DoPopupMenu(hit.HitNode, hit.HitColumn, POINT{x, y});
            break;
        }
        case WM_RBUTTONDBLCLK:
            if (HasSelectionOption(toRightClickSelect)) HandleMouseDblClick(Message, hitAt());
            break;
        default:
            break;
    }
}

void TBaseGridTree::HandleMouseDown(classlib::TMessage& Message, const THitInfo& HitInfo) {
    if (HasState(tsWheelPanning | tsWheelScrolling)) {
        StopWheelPanning();
        return;
    }
    if (HasState(tsEditPending)) {
        StopTimer(EditTimer);
        DoStateChange(0, tsEditPending);
    }
    if (HasState(tsEditing) && !DoEndEdit()) return;
    if (HasControlWindow() && GetFocus() != FHandle && CanFocus()) ::SetFocus(FHandle);
    FHeader->Columns().ClickedColumn = HitInfo.HitColumn;

    const PGridNode node = HitInfo.HitNode;
    const THitPositions pos = HitInfo.HitPositions;
    const bool fullRowSelect = HasSelectionOption(toFullRowSelect);
    const bool gridMode = HasOption(toGridExtensions);
    bool newColumn = false;
    TColumnIndex column = FFocusedColumn;
    if ((pos & hiOnItemLabel) || fullRowSelect || gridMode) {
        newColumn = HitInfo.HitColumn != FFocusedColumn;
        column = HasSelectionOption(toExtendedFocus) ? HitInfo.HitColumn : MainColumn();
    }
    const bool newNode = node != FFocusedNode;

    classlib::TShiftState shift =
        classlib::KeysToShiftState(Message.WParam) & (classlib::ssShift | classlib::ssCtrl | classlib::ssAlt);
    const bool altPressed = (shift & classlib::ssAlt) != 0;
    shift &= ~classlib::ssAlt;
    const bool ctrl = (shift & classlib::ssCtrl) != 0;
    const bool shiftKey = (shift & classlib::ssShift) != 0;

    const bool isHit = !altPressed && (pos & (hiOnItemLabel | hiOnNormalIcon));
    const bool isCellHit = !altPressed && !isHit && node && !(pos & (hiOnItemButton | hiOnItemCheckbox)) &&
                           (fullRowSelect || gridMode);
    const bool isAnyHit = isHit || isCellHit;
    const bool multiSelect = HasSelectionOption(toMultiSelect);
    const bool shiftEmpty = shift == 0;
    const bool nodeSelected = isAnyHit && (node->States & vsSelected);
    const bool fullRowDrag = HasOption(toFullRowDrag);
    bool autoDrag = (DragMode == dmAutomatic || HasState(tsOLEDragging | tsControlDragging)) &&
                    (!isCellHit || fullRowDrag);
    if (node && !autoDrag && DragMode == dmManual)
        autoDrag = DoBeforeDrag(node, column) && (!isCellHit || fullRowDrag);

    if ((pos & hiOnItemButton) && HasChildren(node)) {
        ToggleNode(node);
        return;
    }
    if (pos & hiOnItemCheckbox) {
        PressCheckImage(node, tsMouseCheckPending);
        return;
    }

    if ((FRoot->ChildCount > 0 && shiftEmpty) || FSelectionCount == 0) {
        PGridNode level = node ? node : GetLastVisible();
        FLastSelectionLevel = level ? int(GetNodeLevel(level)) : -1;
    }
    if (multiSelect && shiftEmpty && isAnyHit && autoDrag && nodeSelected) DoStateChange(tsClearPending, 0);

    const POINT click{GET_X(Message.LParam), GET_Y(Message.LParam)};
    auto hasPopup = [&] { return PopupMenu() || (node && DoGetPopupMenu(node, column, click)); };
    const bool canClear = !autoDrag && !(HasState(tsRightButtonDown) && hasPopup());
    if ((!isAnyHit && !fullRowDrag && multiSelect && shiftEmpty) ||
        (isAnyHit && (!nodeSelected || canClear) && (shiftEmpty || !multiSelect))) {
        if (HasState(tsClearPending)) throw EGridTreeAssertion(L"Pending and direct clearance are mutual exclusive!");
        if (node && (nodeSelected || (altPressed && HitInfo.HitColumn == MainColumn()))) {
            // Only the hit node stays selected.
            if (FSelectionCount > 1 || !Selected(node)) {
                const bool many = FSelectionCount > 1;
                InternalClearSelection();
                InternalAddToSelection(node, false);
                if (many) {
                    Invalidate();
                    Change(nullptr);
                } else {
                    InvalidateNode(node);
                    Change(node);
                }
            }
        } else {
            ClearSelection();
        }
    }

    if (Focused() && ((pos & hiOnItemLabel) || (gridMode && (pos & hiOnItem))) && nodeSelected && !newColumn &&
        shiftEmpty)
        DoStateChange(tsEditPending, 0);

    if (!HasSelectionOption(toDisableDrawSelection) && !isHit && !fullRowDrag && multiSelect) {
        if (HasControlWindow()) SetCapture(FHandle);
        StartDrawSelection(click, ctrl);
        if (!isCellHit) return;
    }
    FLastClickPos = click;

    if (isAnyHit && DoFocusChanging(FFocusedNode, node, FFocusedColumn, column)) {
        if (newColumn) {
            if (FFocusedNode) InvalidateNode(FFocusedNode);
            FFocusedColumn = column;
        }
        const PGridNode lastFocused = FFocusedNode;
        if (newNode || newColumn) DoFocusNode(node, false);
        if (multiSelect && !shiftEmpty) {
            HandleClickSelection(lastFocused, node, ctrl, shiftKey, autoDrag);
        } else {
            if (shiftEmpty) FRangeAnchor = node;
            if (!Selected(node)) AddToSelection(node);
        }
        if (newNode || newColumn) DoFocusChange(FFocusedNode, FFocusedColumn);
    }

    if (autoDrag && isAnyHit && HasState(tsLeftButtonDown | tsMiddleButtonDown | tsRightButtonDown))
        DoBeginDrag(false);
}

void TBaseGridTree::HandleMouseUp(classlib::TMessage& Message, const THitInfo& HitInfo) {
    if (HasControlWindow() && GetCapture() == FHandle && !HasState(tsWheelPanning | tsWheelScrolling))
        ReleaseCapture();
    if (HasState(tsControlDragPending)) {
        // A drag that began is the class library's to end (DragFinished then sends the release
        // again). A press released before its drag began leaves only the pending state behind:
        // it goes, and the release has its rules.
        if (classlib::DragSource() == this) return;
        classlib::CancelDragOf(this);
        DoStateChange(0, tsControlDragPending);
    }
    if (IsMouseSelecting()) {
        DoStateChange(0, tsToggleFocusedSelection | tsDrawSelPending | tsDrawSelecting);
        Invalidate();
    }
    if (HasState(tsClearPending)) {
        const bool focusedWasSelected = Selected(FFocusedNode);
        ClearSelection();
        if (focusedWasSelected) AddToSelection(FFocusedNode);
    }
    if (HasState(tsToggleFocusedSelection) && HitInfo.HitNode && HitInfo.HitNode == FFocusedNode) {
        if (Selected(HitInfo.HitNode)) RemoveFromSelection(HitInfo.HitNode);
        else AddToSelection(HitInfo.HitNode);
        InvalidateNode(HitInfo.HitNode);
    }
    DoStateChange(0, tsToggleFocusedSelection | tsClearPending | tsDrawSelPending | tsOLEDragging | tsOLEDragPending |
                         tsScrolling | tsScrollPending);
    StopTimer(ScrollTimer);

    if (HasState(tsMouseCheckPending)) {
        DoStateChange(0, tsMouseCheckPending);
        ReleasePendingCheck(HitInfo.HitNode == FCheckNode && (HitInfo.HitPositions & hiOnItem));
    }

    const classlib::TShiftState shift = classlib::KeysToShiftState(Message.WParam);
    const TColumnIndex clicked = FHeader->Columns().ClickedColumn;
    if (clicked >= 0 && clicked == HitInfo.HitColumn) DoColumnClick(HitInfo.HitColumn, shift);

    if (HasState(tsEditPending)) {
        if (HitInfo.HitNode && HitInfo.HitNode == FFocusedNode && (HitInfo.HitPositions & hiOnItem) &&
            CanEdit(FFocusedNode, HitInfo.HitColumn)) {
            FEditColumn = FFocusedColumn;
            StartTimer(EditTimer, FEditDelay);
        } else {
            DoStateChange(0, tsEditPending);
        }
    }
}

void TBaseGridTree::HandleMouseDblClick(classlib::TMessage& Message, const THitInfo& HitInfo) {
    if (HasState(tsEditPending)) {
        StopTimer(EditTimer);
        DoStateChange(0, tsEditPending);
    }
    if (!EndEditNode()) return;
    const classlib::TShiftState shift = classlib::KeysToShiftState(Message.WParam);
    if (HitInfo.HitColumn == FHeader->Columns().ClickedColumn) DoColumnDblClick(HitInfo.HitColumn, shift);
    const PGridNode node = HitInfo.HitNode;
    const THitPositions pos = HitInfo.HitPositions;
    if (pos & hiOnItemCheckbox) {
        PressCheckImage(node, tsMouseCheckPending);
        return;
    }
    if (!node) return;
    const THitPositions toggleZone = hiOnItemLabel | hiOnItemButton | hiOnNormalIcon | hiOnStateIcon;
    if ((pos & hiOnItemButton) ||
        (HasOption(toToggleOnDblClick) && ((pos & toggleZone) || (HasSelectionOption(toFullRowSelect)))))
        ToggleNode(node);
}

void TBaseGridTree::PressCheckImage(PGridNode Node, TGridTreeStates Pending) {
    if (HasState(tsKeyCheckPending | tsMouseCheckPending) || (Node->States & vsDisabled)) return;
    TCheckState newState = NextCheckStateOf(CheckType(Node), CheckState(Node));
    if (!DoChecking(Node, newState)) return;
    DoStateChange(Pending, 0);
    FCheckNode = Node;
    FPendingCheckState = newState;
    Node->CheckState = PressedForm(CheckState(Node));
    InvalidateNode(Node);
}

void TBaseGridTree::ReleasePendingCheck(bool Apply) {
    PGridNode node = FCheckNode;
    FCheckNode = nullptr;
    if (!node) return;
    if (Apply) DoCheckClick(node, FPendingCheckState);
    // Applied or not, the box shows its normal form again.
    node->CheckState = NormalForm(CheckState(node));
    InvalidateNode(node);
}

TCheckState TBaseGridTree::NextCheckStateOf(TCheckKind Kind, TCheckState State) {
    switch (Kind) {
        case ctCheckBox:
        case ctTriStateCheckBox:
            return State == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
        case ctRadioButton:
            return csCheckedNormal;
        case ctButton:
            return csUncheckedNormal;
        default:
            return State;
    }
}

// --- popup menu, cursor, drag start ---------------------------------------------------

classlib::TPopupMenu* TBaseGridTree::DoGetPopupMenu(PGridNode Node, TColumnIndex Column, POINT P) {
    if (!OnGetPopupMenu) return nullptr;
    classlib::TPopupMenu* menu = nullptr;
    bool askParent = true;
    if (!Node) {
        OnGetPopupMenu(this, nullptr, NoColumn, P, askParent, menu);
        return menu;
    }
    for (PGridNode run = Node; run && run != FRoot && !menu; run = run->Parent) {
        OnGetPopupMenu(this, run, Column, P, askParent, menu);
        if (!askParent) break;
    }
    return menu;
}

void TBaseGridTree::DoPopupMenu(PGridNode Node, TColumnIndex Column, POINT P) {
    classlib::TPopupMenu* menu = DoGetPopupMenu(Node, Column, P);
    if (!menu) return;
    DoStateChange(tsPopupMenuShown, 0);
    StopTimer(EditTimer);
    menu->PopupComponent = this;
    const POINT screen = HasControlWindow() ? ClientToScreen(P) : P;
    menu->Popup(screen.x, screen.y);
}

bool TBaseGridTree::SetCursorMessage(classlib::TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) != FHandle) return false;
    if (HasState(tsWheelPanning | tsWheelScrolling)) {
        if (!FPanningCursor) return false;
        ::SetCursor(FPanningCursor);
        Message.Result = 1;
        return true;
    }
    if (LOWORD(Message.LParam) != HTCLIENT || !classlib::Screen) return false;
    if (classlib::Screen->Cursor() != classlib::crDefault) return false;
    classlib::TCursor cursor = Cursor();
    if (HasPaintOption(toHotTrack) && FHotNode && FHotCursor != classlib::crDefault) cursor = FHotCursor;
    DoGetCursor(cursor);
    ::SetCursor(classlib::Screen->Cursors(cursor));
    Message.Result = 1;
    return true;
}

const wchar_t* TBaseGridTree::PanningCursorName(POINT Anchor, int X, int Y, bool CanScrollH, bool CanScrollV) {
    const int dx = X - Anchor.x, dy = Y - Anchor.y;
    if (std::abs(dx) > 7 || std::abs(dy) > 7) {
        if (CanScrollH && CanScrollV) {
            if (dx < -8) return dy < -8 ? L"GT_MOVENW" : dy < 9 ? L"GT_MOVEW" : L"GT_MOVESW";
            if (dx < 9) return Y < Anchor.y ? L"GT_MOVEN" : L"GT_MOVES";
            return dy < -8 ? L"GT_MOVENE" : dy < 9 ? L"GT_MOVEE" : L"GT_MOVESE";
        }
        if (CanScrollH) return X < Anchor.x ? L"GT_MOVEW" : L"GT_MOVEE";
        return Y < Anchor.y ? L"GT_MOVEN" : L"GT_MOVES";
    }
    if (!CanScrollH) return L"GT_MOVENS";
    return CanScrollV ? L"GT_MOVEALL" : L"GT_MOVEEW";
}

void TBaseGridTree::AdjustPanningCursor(int X, int Y) {
    const wchar_t* name =
        PanningCursorName(FLastClickPos, X, Y, FClientWidth < FRangeX, FClientHeight < FRangeY);
    // Cursors of a module's resources are shared: loading one again gives the same handle.
    HCURSOR cursor = LoadCursorW(TreeResourceModule(), name);
    if (!cursor || cursor == FPanningCursor) return;
    FPanningCursor = cursor;
    ::SetCursor(cursor);
}

void TBaseGridTree::DoBeginDrag(bool Immediate, int Threshold) { BeginDrag(Immediate, Threshold); }

}  // namespace gridtree
