// The tree's hints: whether the application's hint may show over the tree, which kind it
// is (the control's hint, a node's hint, a cell's cut-off text, a column's hint), where it
// goes and which rectangle keeps it, its delay, and the animation a hint window runs.
#include <windows.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/form.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_hintwindow.h"

namespace gridtree {

namespace {
constexpr THeaderStates HeaderBusy = hstDragging | hstDragPending | hstResizing | hstResizePending;
}

std::function<classlib::THintWindow*()> TBaseGridTree::GetHintWindowClass() {
    return [] { return new TGridTreeHintWindow(nullptr); };
}

bool TBaseGridTree::HintsOfItsOwn() {
    return FHintMode != hmDefault || (ColumnCount() > 0 && (FHeader->Options() & hoShowHint));
}

void TBaseGridTree::SystemTooltipAnimation(bool& Animate, bool& Fade) {
    BOOL animate = FALSE, fade = FALSE;
    SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animate, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    Animate = animate != FALSE;
    Fade = fade != FALSE;
}

THintAnimationType TBaseGridTree::DoGetAnimationType() {
    if (FHintAnimation != hatSystemDefault) return FHintAnimation;
    bool animate = false, fade = false;
    SystemTooltipAnimation(animate, fade);
    if (!animate) return hatNone;
    return fade ? hatFade : hatSlide;
}

void TBaseGridTree::CMHintShow(classlib::TMessage& Message) {
    auto& info = *reinterpret_cast<classlib::THintInfo*>(Message.LParam);
    Message.Result = 1;
    const POINT cursor = info.CursorPos;
    if (PtInRect(&FLastHintRect, cursor)) return;

    auto noHint = [&] {
        Message.Result = 1;
        FLastHintRect = RECT{};
        DoStateChange(0, tsHint);
    };
    THitInfo hit;
    GetHitTestInfoAt(cursor.x, cursor.y, true, hit);
    bool showOK;
    if (IsEditing()) {
        showOK = hit.HitNode != FFocusedNode;
    } else {
        showOK = Focused();
        if (!showOK) {
            classlib::TForm* form = classlib::GetParentForm(this);
            showOK = (form && form->HandleAllocated() && GetForegroundWindow() == form->Handle()) ||
                     (classlib::Application && classlib::Application->Active());
        }
    }
    if (GetCapture() || !ShowHint() || HasState(tsOLEDragging | tsControlDragging | tsDrawSelecting | tsScrolling) ||
        (FHeader->States() & HeaderBusy) || !showOK) {
        noHint();
        return;
    }

    Message.Result = 0;
    info.HintStr = L" ";
    const bool columns = ColumnCount() > 0;
    if (columns && (FHeader->Options() & hoShowHint) && FHeader->PointInHeader(cursor)) {
        int left = 0, right = 0;
        const TColumnIndex column = FHeader->Columns().ColumnAndBoundsAt(POINT{cursor.x, 0}, left, right, true);
        TGridTreeColumn* item = FHeader->Columns().GetItem(column);
        if (!item || GetKeyState(VK_LBUTTON) < 0 || item->Hint().empty()) {
            noHint();
            return;
        }
        info.HintStr = item->Hint();
        info.CursorRect = RECT{left, -FHeader->Height(), right, 0};
        POINT bottom{0, 0};
        if (HasControlWindow()) bottom = ClientToScreen(bottom);
        info.HintPos.y = std::max<LONG>(info.HintPos.y, bottom.y);
    } else if (FHintMode == hmDefault) {
        info.HintStr = classlib::GetShortHint(Hint());
    } else if (hit.HitNode && hit.HitColumn >= NoColumn) {
        const PGridNode node = hit.HitNode;
        const TColumnIndex column = hit.HitColumn;
        int left = 0, right = FClientWidth;
        if (columns) {
            TGridTreeColumns& cols = FHeader->Columns();
            FHeader->Columns().ColumnSpan(column, left, right);
            if (HasAutoOption(toAutoSpanColumns))
                for (TColumnIndex next = cols.NextVisibleColumn(column); cols.ValidColumn(next) &&
                                                                         ColumnIsEmpty(node, next);
                     next = cols.NextVisibleColumn(next)) {
                    int l = 0, r = 0;
                    cols.ColumnSpan(next, l, r);
                    right = r;
                }
        }
        if (FHintMode == hmTooltip) {
            RECT r{};
            bool show;
            if (!(node->States & vsMultiline)) {
                r = GetDisplayRect(node, column, true, true);
                const bool inside = PtInRect(&r, cursor) && cursor.x >= left && cursor.x < right;
                const bool cutOff = r.right > std::min(right, FClientWidth) || r.left < std::max(left, 0) ||
                                    r.bottom > FClientHeight || r.top < 0;
                show = inside && cutOff;
            } else {
                show = (hit.HitPositions & hiOnItemLabel) != 0;
                r = GetDisplayRect(node, column, false, true);
            }
            if (!show) {
                noHint();
                return;
            }
            // The tooltip lies exactly over the text.
            info.HintPos = HasControlWindow() ? ClientToScreen(POINT{r.left, r.top}) : POINT{r.left, r.top};
            info.CursorRect = r;
        } else {
            const RECT row = GetDisplayRect(node, NoColumn, false, true);
            info.CursorRect = RECT{left, row.top, right, row.bottom};
            POINT bottom{0, row.bottom};
            if (HasControlWindow()) bottom = ClientToScreen(bottom);
            info.HintPos.y = std::max<LONG>(info.HintPos.y, bottom.y) + 2;
        }
    } else if (FHintMode == hmHintAndDefault) {
        info.HintStr = classlib::GetShortHint(Hint());
        if (info.HintStr.empty()) {
            noHint();
            return;
        }
    } else {
        noHint();
        return;
    }

    info.HintWindowClass = GetHintWindowClass();
    FHintData = TGTHintData{};
    FHintData.Tree = this;
    FHintData.Column = hit.HitColumn;
    FHintData.Node = FHeader->PointInHeader(cursor) && columns ? nullptr : hit.HitNode;
    if (FHintMode == hmDefault || !FHintData.Node) FHintData.FixedText = info.HintStr;
    FLastHintRect = info.CursorRect;
    info.HintData = &FHintData;
    DoStateChange(tsHint, 0);
}

void TBaseGridTree::CMHintShowPause(classlib::TMessage& Message) {
    auto* pause = reinterpret_cast<int*>(Message.LParam);
    Message.Result = 0;
    if (!pause) return;
    POINT p{};
    GetCursorPos(&p);
    if (HasControlWindow()) p = ScreenToClient(p);
    if (FHintMode == hmTooltip ||
        (TGridTreeHintWindow::HintWindowGone() && ColumnCount() > 0 && (FHeader->Options() & hoShowHint) &&
         FHeader->PointInHeader(p)))
        *pause = 0;
}

}  // namespace gridtree
