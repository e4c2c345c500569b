// The tree and the keyboard: navigation keys with their focus and selection rules, the
// other keys (expand and collapse, select all, check boxes, popup menu, help, edit start),
// the type-ahead search, and the focus messages.
#include <windows.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
bool IsNavigationKey(WORD Key) {
    switch (Key) {
        case VK_BACK: case VK_TAB: case VK_PRIOR: case VK_NEXT: case VK_END:
        case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
            return true;
        default:
            return false;
    }
}

// Characters in UTF-16 code units: a surrogate pair is one character.
size_t LastCharacterLength(const std::wstring& S) {
    if (S.size() >= 2 && IS_LOW_SURROGATE(S.back()) && IS_HIGH_SURROGATE(S[S.size() - 2])) return 2;
    return S.empty() ? 0 : 1;
}

bool IsOneCharacter(const std::wstring& S) { return !S.empty() && LastCharacterLength(S) == S.size(); }

// The character a key gives with the keyboard state of now, Ctrl released; 0 for none.
wchar_t KeyCharacter(WORD Key) {
    BYTE state[256] = {};
    if (!GetKeyboardState(state)) return 0;
    state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_RCONTROL] = 0;
    wchar_t buffer[4] = {};
    // Flag 4: the keyboard's dead-key state stays as it was.
    const int n = ToUnicode(Key, MapVirtualKeyW(Key, MAPVK_VK_TO_VSC), state, buffer, 4, 4);
    return n == 1 ? buffer[0] : 0;
}
}  // namespace

bool TBaseGridTree::KeyboardMessage(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FWantTabs ? DLGC_WANTTAB : 0);
            return true;
        case WM_KEYDOWN: {
            WORD key = WORD(Message.WParam);
            classlib::TShiftState shift =
                classlib::KeyboardStateToShiftState() & (classlib::ssShift | classlib::ssCtrl | classlib::ssAlt);
            Message.Result = 0;
            if (DoKeyDown(key, shift)) return true;
            HandleKeyDown(key, shift);
            return true;
        }
        case WM_KEYUP:
            // The class library's handling (the form's key preview, OnKeyUp) first.
            TCustomControl::WndProc(Message);
            HandleKeyUp(WORD(Message.WParam),
                        classlib::KeyboardStateToShiftState() & (classlib::ssShift | classlib::ssCtrl | classlib::ssAlt));
            return true;
        case WM_CHAR: {
            // The window is a UTF-16 window: the character is a UTF-16 code unit already.
            const wchar_t ch = wchar_t(Message.WParam);
            if (HasState(tsIncrementalSearchPending)) {
                HandleIncrementalSearch(ch);
                // The second half of a character typed in two code units belongs here too.
                if (!IS_HIGH_SURROGATE(ch)) DoStateChange(0, tsIncrementalSearchPending);
            }
            wchar_t key = ch;
            DoKeyPress(key);
            Message.Result = 0;
            return true;
        }
        case WM_SETFOCUS:
            TCustomControl::WndProc(Message);
            if (!(FSelectionCount == 0 && HasPaintOption(toGhostedIfUnfocused))) Invalidate();
            return true;
        case WM_KILLFOCUS:
            TCustomControl::WndProc(Message);
            StopWheelPanning();
            StopInputTimers();
            StopIncrementalSearch();
            DoStateChange(0, tsEditPending | tsLeftButtonDown | tsMiddleButtonDown | tsOLEDragPending |
                                 tsRightButtonDown | tsScrolling | tsScrollPending | tsControlDragPending);
            if (FSelectionCount == 0 && HasPaintOption(toGhostedIfUnfocused)) {
                if (FFocusedNode) InvalidateNode(FFocusedNode);
            } else {
                Invalidate();
            }
            return true;
        case WM_CANCELMODE:
            StopInputTimers();
            StopIncrementalSearch();
            DoStateChange(0, tsClearPending | tsDrawSelPending | tsDrawSelecting | tsEditPending | tsOLEDragPending |
                                 tsControlDragPending);
            TCustomControl::WndProc(Message);
            return true;
        default:
            return false;
    }
}

void TBaseGridTree::StopInputTimers() {
    for (UINT_PTR id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer}) StopTimer(id);
}

bool TBaseGridTree::DoKeyAction(WORD& CharCode, classlib::TShiftState& Shift) {
    bool doDefault = true;
    if (OnKeyAction) OnKeyAction(this, CharCode, Shift, doDefault);
    return doDefault;
}

bool TBaseGridTree::CanExtendSelection(classlib::TShiftState Shift) const {
    return (Shift & classlib::ssShift) && HasSelectionOption(toMultiSelect) && !HasState(tsEditing);
}

void TBaseGridTree::HandleKeyDown(WORD CharCode, classlib::TShiftState Shift) {
    if (!DoKeyAction(CharCode, Shift)) return;
    if (HasState(tsKeyCheckPending) && CharCode != VK_SPACE) {
        // Another key before the space came up: the pressed box goes back unchanged.
        DoStateChange(0, tsKeyCheckPending);
        ReleasePendingCheck(false);
        if (HasControlWindow()) UpdateWindow(FHandle);
    }
    if (IsNavigationKey(CharCode)) NavigationKey(CharCode, Shift);
    else OtherKey(CharCode, Shift);
}

bool TBaseGridTree::NavigationKey(WORD CharCode, classlib::TShiftState Shift) {
    const bool ctrl = (Shift & classlib::ssCtrl) != 0;
    const bool extend = CanExtendSelection(Shift);
    const bool gridMode = HasOption(toGridExtensions);
    const bool extendedGrid = HasSelectionOption(toExtendedFocus) && gridMode;
    const bool pageKey = CharCode == VK_PRIOR || CharCode == VK_NEXT || CharCode == VK_END || CharCode == VK_HOME;
    bool rangeSelect = pageKey && extend;
    const bool needInvalidate = rangeSelect || FSelectionCount > 1;
    const bool clearPending = Shift == 0 || (gridMode && !(Shift & classlib::ssShift)) ||
                              !HasSelectionOption(toMultiSelect) || CharCode == VK_TAB || CharCode == VK_BACK;
    PGridNode lastFocused = FFocusedNode;
    if (!lastFocused && Shift != 0) lastFocused = GetFirstVisible();
    if (!FRangeAnchor) FRangeAnchor = FSelectionCount > 0 ? GetFirstSelected() : GetFirst();
    TGridTreeColumns& columns = FHeader->Columns();

    switch (CharCode) {
        case VK_BACK:
            if (HasState(tsIncrementalSearching)) DoStateChange(tsIncrementalSearchPending, 0);
            else if (FFocusedNode && FFocusedNode->Parent != FRoot) SetFocusedNode(FFocusedNode->Parent);
            break;
        case VK_TAB: {
            if (!HasSelectionOption(toExtendedFocus) || ColumnCount() == 0 || !FFocusedNode) break;
            const bool back = (Shift & classlib::ssShift) != 0;
            PGridNode node = FFocusedNode;
            TColumnIndex column = back ? columns.PreviousVisibleColumn(FFocusedColumn)
                                       : columns.NextVisibleColumn(FFocusedColumn);
            while (node) {
                while (columns.ValidColumn(column) &&
                       !DoFocusChanging(FFocusedNode, node, FFocusedColumn, column))
                    column = back ? columns.PreviousVisibleColumn(column) : columns.NextVisibleColumn(column);
                if (columns.ValidColumn(column)) {
                    SetFocusedNodeAndColumn(node, column);
                    break;
                }
                node = back ? GetPreviousVisible(node) : GetNextVisible(node);
                column = back ? columns.LastVisibleColumn() : columns.FirstVisibleColumn();
            }
            break;
        }
        case VK_PRIOR:
        case VK_NEXT: {
            const bool up = CharCode == VK_PRIOR;
            if (ctrl) {
                SetOffsetY(FOffsetY + (up ? FClientHeight : -FClientHeight));
                break;
            }
            PGridNode target;
            if (!FFocusedNode) {
                target = up ? GetFirstVisible() : GetLastVisible();
            } else {
                // As many rows as fill the client height together.
                target = FFocusedNode;
                int sum = 0;
                for (;;) {
                    PGridNode step = up ? GetPreviousVisible(target) : GetNextVisible(target);
                    if (!step || sum + int(NodeHeight(target)) >= FClientHeight) break;
                    sum += int(NodeHeight(up ? step : target));
                    target = step;
                }
            }
            if (target) SetFocusedNode(target);
            break;
        }
        case VK_HOME:
        case VK_END: {
            const bool home = CharCode == VK_HOME;
            PGridNode target = home ? GetFirstVisible() : GetLastVisible();
            TColumnIndex targetColumn = NoColumn;
            if (ColumnCount() > 0) {
                targetColumn = home ? columns.FirstVisibleColumn() : columns.LastVisibleColumn();
                while (columns.ValidColumn(targetColumn) &&
                       !DoFocusChanging(FFocusedNode, target, FFocusedColumn, targetColumn))
                    targetColumn = home ? columns.NextVisibleColumn(targetColumn)
                                        : columns.PreviousVisibleColumn(targetColumn);
                if (!columns.ValidColumn(targetColumn)) break;
            }
            if (Shift == classlib::ssCtrl && !gridMode) {
                if (target)
                    ScrollIntoView(target, HasSelectionOption(toCenterScrollIntoView),
                                   !HasAutoOption(toDisableAutoscrollOnFocus));
                SetOffsetX(home ? 0 : -2147483647);
                break;
            }
            if (!gridMode || ctrl) SetFocusedNode(target);
            if (gridMode && !HasSelectionOption(toFullRowSelect)) SetFocusedColumn(targetColumn);
            break;
        }
        case VK_LEFT:
            if (ctrl) {
                SetOffsetX(FOffsetX + int(FIndent));
            } else if (extendedGrid) {
                TColumnIndex column = columns.PreviousVisibleColumn(FFocusedColumn);
                if (columns.ValidColumn(column)) SetFocusedColumn(column);
            } else if (!FFocusedNode) {
                SetFocusedNode(GetFirstVisible());
            } else if (Expanded(FFocusedNode) && HasChildren(FFocusedNode) && Shift == 0) {
                ToggleNode(FFocusedNode);
            } else if (FFocusedNode->Parent != FRoot) {
                PGridNode parent = FFocusedNode->Parent;
                if (extend) {
                    if (FFocusedNode != parent->FirstChildNode) rangeSelect = true;
                    else if (FRangeAnchor && CompareNodePositions(parent, FRangeAnchor) > 0)
                        RemoveFromSelection(FFocusedNode);
                }
                SetFocusedNode(parent);
            }
            break;
        case VK_RIGHT:
            if (ctrl) {
                SetOffsetX(FOffsetX - int(FIndent));
            } else if (extendedGrid) {
                TColumnIndex column = columns.NextVisibleColumn(FFocusedColumn);
                if (columns.ValidColumn(column)) SetFocusedColumn(column);
            } else if (!FFocusedNode) {
                SetFocusedNode(GetFirstVisible());
            } else if (!Expanded(FFocusedNode) && HasChildren(FFocusedNode) && Shift == 0) {
                ToggleNode(FFocusedNode);
            } else if (PGridNode child = GetFirstVisibleChild(FFocusedNode)) {
                if (extend && FRangeAnchor && CompareNodePositions(child, FRangeAnchor) < 0)
                    RemoveFromSelection(FFocusedNode);
                SetFocusedNode(child);
            }
            break;
        case VK_UP:
        case VK_DOWN: {
            const bool up = CharCode == VK_UP;
            if (ctrl) {
                SetOffsetY(FOffsetY + (up ? int(FDefaultNodeHeight) : -int(FDefaultNodeHeight)));
                break;
            }
            PGridNode target = FFocusedNode ? (up ? GetPreviousVisible(FFocusedNode) : GetNextVisible(FFocusedNode))
                                            : (up ? GetLastVisible() : GetFirstVisible());
            if (!target) {
                if (FFocusedNode) InvalidateNode(FFocusedNode);
                break;
            }
            EndEditNode();
            // Moving back towards the anchor takes the node left behind out of the range.
            if (extend && lastFocused && FRangeAnchor) {
                const int order = CompareNodePositions(lastFocused, FRangeAnchor);
                if (up ? order > 0 : order < 0) RemoveFromSelection(FFocusedNode);
            }
            if (FFocusedColumn == NoColumn) FFocusedColumn = MainColumn();
            SetFocusedNode(target);
            break;
        }
        default:
            break;
    }

    bool cleared = false;
    if (clearPending && !(lastFocused == FFocusedNode && FSelectionCount == 1)) {
        ClearSelection();
        cleared = true;
    }
    if (Shift == 0) {
        FRangeAnchor = FFocusedNode;
        FLastSelectionLevel = FFocusedNode ? int(GetNodeLevel(FFocusedNode)) : -1;
    }
    if (rangeSelect && lastFocused && FFocusedNode) ToggleSelection(lastFocused, FFocusedNode);
    if (FFocusedNode && (cleared || lastFocused != FFocusedNode)) AddToSelection(FFocusedNode);
    if (needInvalidate) Invalidate();
    return true;
}

void TBaseGridTree::OtherKey(WORD CharCode, classlib::TShiftState Shift) {
    const bool ctrl = (Shift & classlib::ssCtrl) != 0;
    const bool searching = HasState(tsIncrementalSearching);
    auto searchCharacter = [&] { DoStateChange(tsIncrementalSearchPending, 0); };
    // The main keyboard's *, +, - and / act as the numeric pad's.
    switch (KeyCharacter(CharCode)) {
        case L'*': CharCode = VK_MULTIPLY; break;
        case L'+': CharCode = VK_ADD; break;
        case L'-': CharCode = VK_SUBTRACT; break;
        case L'/': CharCode = VK_DIVIDE; break;
        default: break;
    }
    const bool ctrlShift = ctrl && (Shift & classlib::ssShift);
    switch (CharCode) {
        case VK_ESCAPE:
            if (IsMouseSelecting()) {
                DoStateChange(0, tsDrawSelPending | tsDrawSelecting);
                Invalidate();
            } else if (IsEditing()) {
                DoCancelEdit();
            }
            break;
        case VK_SPACE:
            if (HasOption(toCheckSupport) && FFocusedNode && CheckType(FFocusedNode) != ctNone) {
                PressCheckImage(FFocusedNode, tsKeyCheckPending);
                if (HasState(tsKeyCheckPending) && HasControlWindow()) UpdateWindow(FHandle);
            } else {
                searchCharacter();
            }
            break;
        case 'A':
            if (ctrl) SelectAll(true);
            else if (!(Shift & classlib::ssAlt)) searchCharacter();
            break;
        case VK_APPS:
            if (FFocusedNode) {
                RECT r = GetDisplayRect(FFocusedNode, FFocusedColumn, true, true);
                int width = DoGetNodeWidth(FFocusedNode, FFocusedColumn);
                if (TGridTreeColumn* column = FHeader->Columns().GetItem(FFocusedColumn))
                    width = std::min(width, column->Width());
                else
                    width = std::min(width, FClientWidth);
                DoPopupMenu(FFocusedNode, FFocusedColumn, POINT{r.left + width / 2, (r.top + r.bottom) / 2});
            }
            break;
        case VK_MULTIPLY:
            if (searching) searchCharacter();
            else if (FFocusedNode) FullExpand(FFocusedNode);
            break;
        case VK_ADD:
            if (searching) searchCharacter();
            else if (ctrlShift) FullExpand();
            else if (ctrl) FHeader->FitColumnsToContent(true);
            else if (FFocusedNode && !Expanded(FFocusedNode)) SetExpanded(FFocusedNode, true);
            break;
        case VK_SUBTRACT:
            if (searching) searchCharacter();
            else if (ctrlShift) FullCollapse();
            else if (ctrl) FHeader->RestoreColumnWidths();
            else if (FFocusedNode && Expanded(FFocusedNode)) SetExpanded(FFocusedNode, false);
            break;
        case VK_DIVIDE:
            if (searching) searchCharacter();
            else if (FFocusedNode) FullCollapse(FFocusedNode);
            break;
        case VK_F1:
            if (OnGetHelpContext) ShowHelpForFocusedNode();
            break;
        case VK_F2:
            if (Shift == 0 && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
                FEditColumn = FFocusedColumn;
                DoEdit();
            }
            break;
        default:
            if (!(Shift & (classlib::ssCtrl | classlib::ssAlt)) && CharCode >= 32) searchCharacter();
            break;
    }
}

void TBaseGridTree::ShowHelpForFocusedNode() {
    int context = 0;
    for (PGridNode run = FFocusedNode; run && run != FRoot && context == 0; run = run->Parent)
        OnGetHelpContext(this, run, 0, context);
    for (classlib::TControl* control = this; control && context == 0; control = control->Parent())
        context = control->HelpContext;
    if (context != 0 && classlib::Application) classlib::Application->HelpContext(context);
}

void TBaseGridTree::HandleKeyUp(WORD CharCode, classlib::TShiftState Shift) {
    (void)Shift;
    if (CharCode != VK_SPACE || !HasState(tsKeyCheckPending)) return;
    DoStateChange(0, tsKeyCheckPending);
    ReleasePendingCheck(FCheckNode && FCheckNode == FFocusedNode);
}

// --- incremental search ---------------------------------------------------------------

void TBaseGridTree::SetIncrementalSearch(TGTIncrementalSearch Value) {
    if (Value == FIncrementalSearch) return;
    FIncrementalSearch = Value;
    if (Value == isNone) {
        StopTimer(SearchTimer);
        StopIncrementalSearch();
    }
}

void TBaseGridTree::StopIncrementalSearch() {
    StopTimer(SearchTimer);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    FPendingHighSurrogate = 0;
    DoStateChange(0, tsIncrementalSearching);
}

int TBaseGridTree::DoIncrementalSearch(PGridNode Node, const std::wstring& Text) {
    int result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, result);
    return result;
}

void TBaseGridTree::HandleIncrementalSearch(wchar_t CharCode) {
    StopTimer(SearchTimer);
    if (FIncrementalSearch == isNone) return;
    auto restartTimer = classlib::ScopeExit([&] { StartTimer(SearchTimer, FSearchTimeout); });
    if (CharCode == 0) return;
    DoStateChange(tsIncrementalSearching, 0);

    // A character of two code units is searched once both halves are there.
    std::wstring ch(1, CharCode);
    if (IS_HIGH_SURROGATE(CharCode)) {
        FPendingHighSurrogate = CharCode;
        return;
    }
    if (IS_LOW_SURROGATE(CharCode) && FPendingHighSurrogate) ch.insert(ch.begin(), FPendingHighSurrogate);
    FPendingHighSurrogate = 0;
    const bool backspace = CharCode == 8;
    if (backspace && FSearchBuffer.size() <= LastCharacterLength(FSearchBuffer)) return;

    PGridNode run = nullptr;
    switch (FSearchStart) {
        case ssLastHit: run = FLastSearchNode; break;
        case ssFocusedNode: run = FFocusedNode; break;
        default: break;
    }
    if (run && FIncrementalSearch == isInitializedOnly && !(run->States & vsInitialized)) run = nullptr;
    if (run && FIncrementalSearch == isVisibleOnly && !FullyVisible(run)) run = nullptr;
    const PGridNode lastNode = run;
    const bool forward = (FSearchDirection == sdForward) != backspace;

    auto step = [&](PGridNode Node) -> PGridNode {
        switch (FIncrementalSearch) {
            case isInitializedOnly: return forward ? GetNextNoInit(Node) : GetPreviousNoInit(Node);
            case isVisibleOnly: return forward ? GetNextVisible(Node) : GetPreviousVisible(Node);
            default: return forward ? GetNext(Node) : GetPrevious(Node);
        }
    };
    auto otherEnd = [&]() -> PGridNode {
        switch (FIncrementalSearch) {
            case isInitializedOnly: return forward ? GetFirstNoInit() : GetLastNoInit();
            case isVisibleOnly: return forward ? GetFirstVisible() : GetLastVisible();
            default: return forward ? GetFirst() : GetLast();
        }
    };

    // Typing the letter the text consists of again moves on to the next node with it.
    const bool repeat = IsOneCharacter(FSearchBuffer) && !backspace && ch == FSearchBuffer && run &&
                        DoIncrementalSearch(run, FSearchBuffer + ch) != 0;
    if (FSearchBuffer.empty() || !run || repeat || backspace) {
        run = run ? step(run) : nullptr;
        if (!run) run = otherEnd();
    }
    std::wstring text;
    if (repeat) {
        text = FSearchBuffer;
    } else if (backspace) {
        FSearchBuffer.resize(FSearchBuffer.size() - LastCharacterLength(FSearchBuffer));
        text = FSearchBuffer;
    } else {
        text = FSearchBuffer + ch;
    }

    bool found = false;
    // Every node is visited at most once; the bound also ends a walk that would not come
    // back to its start.
    for (uint64_t guard = uint64_t(TotalCount()) + 1; run && guard > 0; --guard) {
        if (DoIncrementalSearch(run, text) == 0) {
            found = true;
            break;
        }
        run = step(run);
        if (!run && lastNode) run = otherEnd();
        if (run == lastNode) break;
    }
    if (found) {
        ClearSelection();
        FSearchBuffer = text;
        FLastSearchNode = run;
        SetFocusedNode(run);
        AddToSelection(run);
    } else if (run && DoIncrementalSearch(run, text) != 0) {
        MessageBeep(0);
    }
}

}  // namespace gridtree
