// The interactive half of a view: selection, hot tracking, sub-menus opened and closed by
// the menu timers, keyboard navigation, accelerators, scrolling of long popups and the
// entry into the menu loop.
#include "classlib/application.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbacc.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbmodal.h"
#include "controls/toolbar/tbpopup.h"
#include "controls/toolbar/tbview.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace toolbar {

using namespace classlib;

namespace {

constexpr UINT ScrollTimerMs = 100;

bool SameLetter(wchar_t a, wchar_t b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, &a, 1, &b, 1) == CSTR_EQUAL;
}

bool IsSelectable(TBarItemViewer* v) {
    TBarCustomItem* item = v->Item();
    return (v->Show || v->ScrolledOut) && item->Visible() && (item->ItemStyle() & tbstSelectable);
}

bool IsSubmenuItem(TBarItemViewer* v) { return v && (v->Item()->ItemStyle() & tbstSubmenu); }

// Runs `visit` over every viewer after `from` (null: from the start) in the direction,
// wrapping around, `from` itself last; stops when it answers true.
template <class F>
void WalkViewers(TBarView& view, TBarItemViewer* from, bool forward, F visit) {
    const int count = view.ViewerCount();
    int i = from ? view.IndexOfViewer(from) : -1;
    for (int step = 0; step < count; ++step) {
        if (forward) {
            if (++i >= count) i = 0;
        } else {
            if (--i < 0) i = count - 1;
        }
        if (visit(view.Viewers(i))) return;
    }
}

}  // namespace

void PlugMenuLoopIntoAccessibility() {
    TBarAccessibilityMenuLoop& seam = AccessibilityMenuLoop();
    if (seam.EnterToolbarLoop) return;
    seam.ScrollSelectedIntoView = [](TBarView* view) { view->ScrollSelectedIntoView(); };
    seam.EnterToolbarLoop = [](TBarView* view, unsigned options) { view->EnterToolbarLoop(options); };
}

int WheelScrollSteps(int& accumulator, int delta, UINT lines, int pageLines, bool& down) {
    if (lines == WHEEL_PAGESCROLL) lines = static_cast<UINT>(std::max(pageLines, 1));
    if (lines == 0) {
        accumulator = 0;
        return 0;
    }
    lines = std::min<UINT>(lines, WHEEL_DELTA);
    accumulator += delta;
    down = accumulator < 0;
    const int steps = static_cast<int>(static_cast<long long>(std::abs(accumulator)) * static_cast<int>(lines) /
                                       WHEEL_DELTA);
    if (steps <= 0) return 0;
    const int used = steps * (WHEEL_DELTA / static_cast<int>(lines));
    accumulator += accumulator < 0 ? used : -used;
    return steps;
}

// --- selection ---------------------------------------------------------------------------

void TBarView::Select(TBarItemViewer* viewer, bool viaMouse) {
    TBarItemViewer* old = FSelected;
    const bool modal = (FState & tbvsModal) != 0;
    if (viewer != old) {
        // Moving into a sub-menu keeps the parent's item highlighted.
        if (viewer && FParentView && FParentView->FOpenViewer && FParentView->FOpenViewer != FParentView->FSelected) {
            FParentView->Select(FParentView->FOpenViewer, false);
            FParentView->StopTimer(tbtkClose);
            FParentView->StopTimer(tbtkOpen);
        }
        if (modal) {
            if (FIsToolbar || !viaMouse) {
                StopTimer(tbtkClose);
                if (viewer != FOpenViewer) CloseChildPopups();
            } else if (FOpenViewer && !(ActiveTimers & (1u << tbtkClose))) {
                StartTimer(tbtkClose, static_cast<UINT>(QueryMenuShowDelay()));
            }
        }
        CancelCapture();
        if (old) old->NotifyLeaving();
        FSelected = viewer;
        FSelectedViaMouse = viaMouse;
    }
    bool over = false;
    if (viewer && FWindow && FWindow->HandleAllocated()) {
        const DWORD pos = GetMessagePos();
        POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        if (WindowFromPoint(p) == FWindow->Handle()) {
            const POINT client = FWindow->ScreenToClient(p);
            over = ViewerAtPoint(client) == viewer;
            if (over && FMouseTracking)
                over = viewer->PointInButtonPart(client.x - viewer->BoundsRect.left, client.y - viewer->BoundsRect.top);
        }
    }
    if (viewer == old) {
        if (over != FMouseOverSelected) {
            FMouseOverSelected = over;
            if (viewer && FMouseTracking && (viewer->Item()->ItemStyle() & tbstRedrawOnMouseOverChange))
                InvalidateViewer(viewer);
        }
        return;
    }
    FMouseOverSelected = over;
    if (old && IndexOfViewer(old) >= 0 && (old->Item()->ItemStyle() & tbstRedrawOnSelChange)) InvalidateViewer(old);
    if (viewer) {
        if (viewer->Item()->ItemStyle() & tbstRedrawOnSelChange) InvalidateViewer(viewer);
        viewer->NotifyEntering(old);
    }
    NotifyFocusEvent();

    if (!modal) return;
    if (!FIsToolbar) {
        StopTimer(tbtkOpen);
        if (viaMouse && IsSubmenuItem(viewer)) StartTimer(tbtkOpen, static_cast<UINT>(QueryMenuShowDelay()));
    } else if (viewer) {
        // The view of a chevron popup starts showing menus as soon as the mouse enters it.
        if (viaMouse && FParentView) FState |= tbvsMenuMode;
        if ((FState & tbvsMenuMode) && (viaMouse || !(viewer->Item()->ItemStyle() & tbstNoAutoOpen)))
            OpenChildPopup(!viaMouse);
    }
}

void TBarView::UpdateSelection(const POINT* screenPoint, bool allowNewSelection) {
    EnsurePositionsValid();
    const bool modal = (FState & tbvsModal) != 0;
    TBarItemViewer* candidate = modal ? FSelected : nullptr;
    const bool wasInWindow = (FState & tbvsMouseInWindow) != 0;
    const bool haveWindow = FWindow && FWindow->HandleAllocated();
    POINT client{};
    if (screenPoint && haveWindow && WindowFromPoint(*screenPoint) == FWindow->Handle()) {
        FState |= tbvsMouseInWindow;
        client = FWindow->ScreenToClient(*screenPoint);
        if (IsPopup()) candidate = nullptr;
        if (allowNewSelection || FSelected) {
            TBarItemViewer* under = ViewerAtPoint(client);
            if (under && (IsSelectable(under) || (under->MouseSelectable() && under->Item()->Visible())))
                candidate = under;
        }
    } else {
        FState &= ~tbvsMouseInWindow;
    }
    const bool inWindow = (FState & tbvsMouseInWindow) != 0;
    if (FMouseTracking) candidate = FSelected;
    if (IsPopup() && wasInWindow && !inWindow && !FMouseTracking && !(FOpenViewer && IsSubmenuItem(candidate)))
        candidate = nullptr;
    Select(candidate, true);

    if (modal && inWindow && FShowUpArrow && client.y < ScrollArrowBandHeight) {
        StopTimer(tbtkScrollDown);
        if (!(ActiveTimers & (1u << tbtkScrollUp))) StartTimer(tbtkScrollUp, ScrollTimerMs);
    } else if (modal && inWindow && FShowDownArrow && haveWindow &&
               client.y >= FWindow->ClientHeight() - ScrollArrowBandHeight) {
        StopTimer(tbtkScrollUp);
        if (!(ActiveTimers & (1u << tbtkScrollDown))) StartTimer(tbtkScrollDown, ScrollTimerMs);
    } else {
        StopTimer(tbtkScrollUp);
        StopTimer(tbtkScrollDown);
    }
}

TBarItemViewer* TBarView::NextSelectableViewer(TBarItemViewer* from, bool forward) {
    EnsurePositionsValid();
    TBarItemViewer* found = nullptr;
    WalkViewers(*this, from, forward, [&](TBarItemViewer* v) {
        if (IsSelectable(v)) found = v;
        return found != nullptr;
    });
    return found;
}

TBarItemViewer* TBarView::FirstSelectable() {
    EnsurePositionsValid();
    TBarItemViewer* first = nullptr;
    for (auto& v : FViewers) {
        if (!IsSelectable(v.get())) continue;
        if (!(v->Item()->ItemStyle() & tbstDontSelectFirst)) return v.get();
        if (!first) first = v.get();
    }
    return first;
}

void TBarView::SelectNext(bool forward) {
    if (TBarItemViewer* next = NextSelectableViewer(FSelected, forward)) {
        Select(next, false);
        ScrollSelectedIntoView();
    }
}

TBarItemViewer* TBarView::NextSelectableWithAccel(TBarItemViewer* from, wchar_t key, bool requirePrimary,
                                                  bool& onlyOne) {
    EnsurePositionsValid();
    onlyOne = false;
    for (const bool primary : {true, false}) {
        if (!primary && requirePrimary) break;
        for (const bool enabled : {true, false}) {
            TBarItemViewer* found = nullptr;
            int matches = 0;
            WalkViewers(*this, from, true, [&](TBarItemViewer* v) {
                if (!IsSelectable(v) || v->Item()->Enabled() != enabled || !v->ShowsCaption()) return false;
                const std::wstring caption = v->GetCaptionText();
                const wchar_t accel = AcceleratorCharOf(caption);
                bool match;
                if (primary)
                    match = accel != 0 && SameLetter(accel, key);
                else
                    match = accel == 0 && key != L' ' && !caption.empty() && SameLetter(caption[0], key);
                if (match) {
                    if (!found) found = v;
                    ++matches;
                }
                return false;
            });
            if (found) {
                onlyOne = !enabled || matches == 1;
                return found;
            }
        }
    }
    return nullptr;
}

// --- scrolling ---------------------------------------------------------------------------

void TBarView::Scroll(bool down) {
    EnsurePositionsValid();
    const int lower = FMaxHeight - ScrollArrowBandHeight;
    int best = down ? INT_MAX : INT_MIN;
    for (auto& v : FViewers) {
        if (!v->ScrolledOut || (v->Item()->ItemStyle() & tbstSeparator)) continue;
        if (down && v->BoundsRect.bottom > lower) best = std::min<int>(best, v->BoundsRect.bottom);
        if (!down && v->BoundsRect.top < ScrollArrowBandHeight) best = std::max<int>(best, v->BoundsRect.top);
    }
    if (best == INT_MAX || best == INT_MIN) return;
    SetScrollOffset(FScrollOffset + (down ? best - lower : best - ScrollArrowBandHeight));
    EnsurePositionsValid();
}

void TBarView::ScrollSelectedIntoView() {
    EnsurePositionsValid();
    if (!FSelected || !FSelected->ScrolledOut) return;
    const RECT r = FSelected->BoundsRect;
    const int lower = FMaxHeight - ScrollArrowBandHeight;
    if (r.top <= ScrollArrowBandHeight - 1)
        SetScrollOffset(FScrollOffset - (ScrollArrowBandHeight - r.top));
    else if (r.bottom > lower)
        SetScrollOffset(FScrollOffset + (r.bottom - lower));
    EnsurePositionsValid();
}

void TBarView::MouseWheel(int delta, int, int) {
    if (!FShowUpArrow && !FShowDownArrow) return;
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
    int page = 0;
    for (auto& v : FViewers) page += v->Show ? 1 : 0;
    bool down = false;
    const int steps = WheelScrollSteps(WheelAccumulator, delta, lines, page, down);
    if (steps <= 0 || !(down ? FShowDownArrow : FShowUpArrow)) return;
    CloseChildPopups();
    for (int i = 0; i < steps; ++i) Scroll(down);
}

// --- keys --------------------------------------------------------------------------------

void TBarView::KeyDown(WORD& key, TShiftState shift) {
    TBarView* bar = GetParentToolbarView();
    const bool barVertical = bar && bar->Orientation() == tbvoVertical;
    // A handled key is consumed before acting: closing popups may free this view.
    const WORD k = key;
    switch (k) {
    case VK_TAB:
        key = 0;
        SelectNext(!(shift & ssShift));
        return;
    case VK_RETURN:
        key = 0;
        ExecuteSelected(true);
        return;
    case VK_ESCAPE:
        key = 0;
        if (FParentView)
            FParentView->CancelChildPopups();
        else
            EndModal();
        return;
    case VK_MENU:
    case VK_F10:
        key = 0;
        EndModal();
        return;
    case VK_HOME:
    case VK_END:
        key = 0;
        Select(NextSelectableViewer(nullptr, k == VK_HOME), false);
        ScrollSelectedIntoView();
        return;
    case VK_LEFT:
    case VK_RIGHT:
        key = 0;
        if (this == bar && barVertical) {
            OpenChildPopup(true);
        } else if (k == VK_LEFT) {
            if (!bar || barVertical) {
                if (FParentView) FParentView->CancelChildPopups();
            } else if (this == bar || bar == FParentView) {
                bar->SelectNext(false);
            } else if (FParentView) {
                FParentView->CloseChildPopups();
            }
        } else if ((this == bar || !OpenChildPopup(true)) && bar && !barVertical) {
            bar->SelectNext(true);
        }
        return;
    case VK_UP:
    case VK_DOWN:
        key = 0;
        if (this != bar || barVertical)
            SelectNext(k == VK_DOWN);
        else
            OpenChildPopup(true);
        return;
    case VK_F1:
        for (TBarView* v = this; v; v = v->FParentView) {
            if (v->FSelected && v->FSelected->Item()->HelpContext() != 0) {
                key = 0;
                EndModalWithHelp(v->FSelected->Item()->HelpContext());
                return;
            }
        }
        return;
    default:
        return;
    }
}

// --- timers ------------------------------------------------------------------------------

void TBarView::StartTimer(int kind, UINT milliseconds) {
    StopTimer(kind);
    auto* popup = dynamic_cast<TBarPopupWindow*>(FWindow);
    if (!popup || !popup->HandleAllocated()) return;
    if (SetTimer(popup->Handle(), tbTimerBase + static_cast<UINT_PTR>(kind), milliseconds, nullptr))
        ActiveTimers |= 1u << kind;
}

void TBarView::StopTimer(int kind) {
    if (!(ActiveTimers & (1u << kind))) return;
    ActiveTimers &= ~(1u << kind);
    if (FWindow && FWindow->HandleAllocated()) KillTimer(FWindow->Handle(), tbTimerBase + static_cast<UINT_PTR>(kind));
}

void TBarView::StopAllTimers() {
    for (int kind = tbtkOpen; kind <= tbtkScrollDown; ++kind) StopTimer(kind);
}

void TBarView::TimerTick(int kind) {
    switch (kind) {
    case tbtkOpen:
        StopTimer(tbtkOpen);
        OpenChildPopup(false);
        break;
    case tbtkClose:
        StopTimer(tbtkClose);
        CloseChildPopups();
        break;
    case tbtkScrollUp:
        if (FShowUpArrow)
            Scroll(false);
        else
            StopTimer(tbtkScrollUp);
        break;
    case tbtkScrollDown:
        if (FShowDownArrow)
            Scroll(true);
        else
            StopTimer(tbtkScrollDown);
        break;
    default: break;
    }
}

// --- popups ------------------------------------------------------------------------------

bool TBarView::OpenChildPopup(bool selectFirst) {
    StopTimer(tbtkClose);
    StopTimer(tbtkOpen);
    if (FSelected != FOpenViewer) {
        CloseChildPopups();
        if (FSelected && FSelected->Item()->Enabled() && (FSelected->Item()->ItemStyle() & tbstSubmenu)) {
            FSelected->Item()->CreatePopup(this, FSelected, IsPopup(), selectFirst, false, POINT{0, 0}, tbpaLeft);
            WheelAccumulator = 0;
        }
    }
    return FOpenViewer != nullptr;
}

void TBarView::CancelMode() {
    EndModal();
    std::vector<TBarView*> chain;
    for (TBarView* v = GetRootView(); v; v = v->FOpenView) chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        (*it)->StopAllTimers();
        if (auto* popup = dynamic_cast<TBarPopupWindow*>((*it)->FWindow)) popup->SetVisible(false);
    }
}

// --- accelerators and accessibility ------------------------------------------------------

void TBarView::SetAccelsVisibility(bool show) {
    if (!show && (FStyle & tbvstHiddenAccels)) show = KeyboardCuesShown();
    if (show == ((FState & tbvsAccelsShown) != 0)) return;
    FState ^= tbvsAccelsShown;
    if (!FWindow || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->Handle())) return;
    for (auto& v : FViewers)
        if (v->ShowsCaption() && AcceleratorCharOf(v->GetCaptionText()) != 0) InvalidateViewer(v.get());
}

void TBarView::NotifyFocusEvent() {
    TBarView* root = GetRootView();
    if (!(FState & tbvsModal) || !(root->FState & tbvsModal) || IsModalEnding()) return;
    if (!FWindow || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->Handle())) return;
    if (FSelected && FSelected->IsAccessible()) {
        LONG child = 0;
        for (auto& v : FViewers) {
            if (v->IsAccessible()) ++child;
            if (v.get() == FSelected) break;
        }
        NotifyAccessibilityEvent(EVENT_OBJECT_FOCUS, FWindow->Handle(), OBJID_CLIENT, child);
    } else if (FParentView) {
        FParentView->NotifyFocusEvent();
    } else {
        NotifyAccessibilityEvent(EVENT_OBJECT_FOCUS, FWindow->Handle(), OBJID_CLIENT, CHILDID_SELF);
    }
}

// --- the menu loop -----------------------------------------------------------------------

TBarCustomItem* TBarView::EnterToolbarLoop(unsigned options) {
    if (FState & tbvsModal) return nullptr;
    if (!FWindow) return nullptr;
    {
        TBarModalHandler handler(FWindow->Handle());
        FState = (FState & tbvsAccelsShown) | tbvsModal;
        DoneAction = TBarDoneActionData{};
        if (FSelected) NotifyFocusEvent();
        auto after = ScopeExit([this] {
            FState &= ~tbvsModal;
            StopAllTimers();
            CloseChildPopups();
            POINT p;
            GetCursorPos(&p);
            UpdateSelection(&p, true);
        });
        handler.RunLoop(this, (options & tbloMouseDown) != 0, (options & tbloExecuteSelected) != 0,
                        (options & tbloFromAccessibility) != 0, false);
    }
    SetAccelsVisibility(false);
    Select(nullptr, false);
    return ExecuteDoneAction(DoneAction, false);
}

}  // namespace toolbar
