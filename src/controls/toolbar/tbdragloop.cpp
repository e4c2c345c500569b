// The two modal mouse loops of a dockable window: DragLoop moves it within its row, to
// another row or dock, or out into a floating window (the window follows the mouse, or a
// halftone outline does); ResizeLoop resizes a floating window at an edge or corner.
//
// Both hold the mouse capture and run their own message loop until the button is released,
// Esc is pressed or the capture is lost; everything they take (capture, the desktop lock and
// its DC, the cursor confinement) is given back by guards. The outline is drawn on the
// desktop DC, which not every system gives: without it nothing is drawn, and the drop is
// applied all the same.
#include "controls/toolbar/tbdockable.h"

#include "classlib/form.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbfloating.h"

#include <algorithm>
#include <map>
#include <vector>

using namespace classlib;

namespace toolbar {

namespace {

class TMouseCapture {
public:
    explicit TMouseCapture(HWND wnd) : FWnd(wnd) { SetCapture(wnd); }
    ~TMouseCapture() { Release(); }
    TMouseCapture(const TMouseCapture&) = delete;
    TMouseCapture& operator=(const TMouseCapture&) = delete;
    void Release() {
        if (FWnd && GetCapture() == FWnd) ReleaseCapture();
        FWnd = nullptr;
    }

private:
    HWND FWnd;
};

// LockWindowUpdate of the desktop and a DC to draw outlines over everything; both optional.
class TDesktopOutlineDC {
public:
    explicit TDesktopOutlineDC(bool wanted) {
        if (!wanted) return;
        FLocked = LockWindowUpdate(GetDesktopWindow()) != FALSE;
        FDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    }
    ~TDesktopOutlineDC() { Release(); }
    TDesktopOutlineDC(const TDesktopOutlineDC&) = delete;
    TDesktopOutlineDC& operator=(const TDesktopOutlineDC&) = delete;
    HDC DC() const { return FDC; }
    void Release() {
        if (FDC) ReleaseDC(GetDesktopWindow(), FDC);
        FDC = nullptr;
        if (FLocked) LockWindowUpdate(nullptr);
        FLocked = false;
    }

private:
    HDC FDC = nullptr;
    bool FLocked = false;
};

class TCursorClip {
public:
    explicit TCursorClip(bool wanted) {
        if (!wanted) return;
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        FClipped = ClipCursor(&screen) != FALSE;
    }
    ~TCursorClip() {
        if (FClipped) ClipCursor(nullptr);
    }
    TCursorClip(const TCursorClip&) = delete;
    TCursorClip& operator=(const TCursorClip&) = delete;

private:
    bool FClipped = false;
};

bool IsKeyMessage(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }
bool IsOtherButtonMessage(UINT m) { return m >= WM_RBUTTONDOWN && m <= WM_MBUTTONDBLCLK; }

// What one pass through a modal mouse loop decided.
enum class TLoopStep { Continue, Accept, Cancel };

// Takes one message for a modal mouse loop: keys and mouse moves go to `onKey`/`onMove`,
// releases and presses end it, the other buttons are swallowed, everything else dispatched.
TLoopStep NextLoopMessage(POINT& last, const std::function<TLoopStep(const MSG&)>& onKey,
                          const std::function<void(POINT)>& onMove) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return TLoopStep::Cancel;
    if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return TLoopStep::Cancel;
    }
    if (IsKeyMessage(msg.message)) return onKey(msg);
    switch (msg.message) {
    case WM_MOUSEMOVE:
        if (msg.pt.x != last.x || msg.pt.y != last.y) {
            last = msg.pt;
            onMove(last);
        }
        return TLoopStep::Continue;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return TLoopStep::Cancel;
    case WM_LBUTTONUP: return TLoopStep::Accept;
    default: break;
    }
    if (IsOtherButtonMessage(msg.message)) return TLoopStep::Continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return TLoopStep::Continue;
}

// A place the window can go: a dock, or floating (Dock null).
struct TDragTarget {
    TBarDock* Dock = nullptr;
    RECT DockRect{};        // the dock's window rectangle on the screen
    SIZE Size{};            // the window's outer size there
    std::vector<int> Rows;  // row thicknesses, RowHasFullSize marking FullSize rows
};

}  // namespace

void TBarCustomDockableWindow::DrawMoveOutline(HDC dc, const RECT* newRect, bool newDocked, bool oldDocked,
                                               const RECT* oldRect) {
    if (!dc) return;
    SIZE border{};
    GetFloatingFrameSize(border);
    const SIZE floatingThickness{border.cx, border.cx};
    const SIZE dockedThickness{1, 1};
    PaintDragFrame(dc, newRect, oldRect, newDocked ? dockedThickness : floatingThickness,
                   oldDocked ? dockedThickness : floatingThickness);
}

void TBarCustomDockableWindow::DragLoop(int x, int y) {
    if (!HandleAllocated()) return;
    TBarDock* const startDock = FCurrentDock;
    const int startRow = FDockRow, startPos = FDockPos;
    const bool startedFloating = FFloating;
    FDragging = true;
    FKeepListOrder = false;
    auto cleanup = ScopeExit([this, startRow, startPos] {
        FSmoothDragging = false;
        if (!Docked()) {
            FDockRow = startRow;
            FDockPos = startPos;
        }
        FDragging = false;
        FKeepListOrder = false;
        FNewRowRequest = false;
    });
    bool mayLockToRow = false, vertical = false;
    int arrangedStartRow = startRow;
    if (startDock) {
        FRowOverflow = false;
        startDock->RequestCommit();
        startDock->ArrangeWindows();
        arrangedStartRow = FDockRow;
        vertical = startDock->Vertical();
        mayLockToRow = FRowOverflow;
    }
    FSmoothDragging = FSmoothDrag;
    const bool smooth = FSmoothDrag;

    // The grab point, relative to the outer window (the floating form when floating).
    RECT outer;
    GetWindowRect(FFloating && FFloatParent ? FFloatParent->Handle() : Handle(), &outer);
    const POINT press = ClientToScreen({x, y});
    const POINT grab{press.x - outer.left, press.y - outer.top};
    const SIZE outerMinusOne{outer.right - outer.left - 1, outer.bottom - outer.top - 1};
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool cannotFloat = FDockMode != dmCanFloat;

    // The docks it may go to: its own first, then the form's, depth first.
    std::vector<TBarDock*> docks;
    if (FDockMode == dmCannotFloatOrChangeDocks) {
        if (startDock) docks.push_back(startDock);
    } else {
        if (startDock && startDock->AcceptsWindow(this) && AcceptsDock(startDock)) docks.push_back(startDock);
        std::function<void(TWinControl*)> walk = [&](TWinControl* c) {
            if (c == this || ContainsControl(c) || !c->Showing()) return;
            for (TBarDockPosition pos : {dpTop, dpBottom, dpLeft, dpRight})
                for (int i = 0; i < c->ControlCount(); ++i)
                    if (auto* d = dynamic_cast<TBarDock*>(c->Controls(i)); d && d->Position() == pos) walk(d);
            for (int i = 0; i < c->ControlCount(); ++i) {
                auto* w = dynamic_cast<TWinControl*>(c->Controls(i));
                if (w && !dynamic_cast<TBarDock*>(w)) walk(w);
            }
            if (auto* d = dynamic_cast<TBarDock*>(c); d && d->AcceptsWindow(this) && AcceptsDock(d) &&
                                                       std::find(docks.begin(), docks.end(), d) == docks.end())
                docks.push_back(d);
        };
        if (TForm* form = FindOwnerForm()) walk(form);
    }
    for (TBarDock* d : docks) d->CommitPositions();

    // Where the window would go and how big it would be there.
    const TBarDockKind kind = GetDockKind(FCurrentDock, FFloating);
    TDragTarget floatTarget;
    {
        SIZE s{};
        LayoutContent(false, kind, true, nullptr, s);
        const RECT m = FloatingFrameMargins();
        floatTarget.Size = {s.cx + m.left + m.right, s.cy + m.top + m.bottom};
    }
    std::map<TBarDock*, TDragTarget> targets;
    for (TBarDock* d : docks) {
        TDragTarget& t = targets[d];
        t.Dock = d;
        if (d->HandleAllocated()) GetWindowRect(d->Handle(), &t.DockRect);
        if (d == startDock) {
            t.Size = {Width(), Height()};
        } else {
            SIZE s{};
            LayoutContent(false, kind, false, d, s);
            const SIZE frame = DockedFrameSizeFor(d);
            t.Size = {s.cx + frame.cx, s.cy + frame.cy};
        }
        for (int r = 0, last = d->HighestRowIndex(true); r <= last; ++r) {
            bool fullSize = false;
            const int thickness = d->GetRowThickness(r, fullSize);
            t.Rows.push_back(thickness | (fullSize ? RowHasFullSize : 0));
        }
    }

    FlushPaintMessages();
    HCURSOR startCursor = GetCursor();
    TDesktopOutlineDC desktop(!smooth);
    TMouseCapture capture(Handle());
    POINT last;
    GetCursorPos(&last);

    TBarDock* target = nullptr;
    RECT outline{};
    bool firstUpdate = true;
    bool looping = true;

    const auto applyPlacement = [&] {
        if (target) {
            const TDragTarget& t = targets[target];
            RECT r = outline;
            OffsetRect(&r, -t.DockRect.left, -t.DockRect.top);
            const bool targetVertical = target->Vertical();
            int row;
            bool newRow = false;
            if (FKeepListOrder) {
                row = FDockRow;
            } else {
                const int middle = targetVertical ? (r.left + r.right) / 2 : (r.top + r.bottom) / 2;
                row = ChooseDockRow(middle, t.Rows, FFullSize, newRow);
                if (newRow) mayLockToRow = false;
            }
            if (mayLockToRow) {
                if (target == startDock && row == arrangedStartRow) {
                    const int moved = vertical ? last.y - press.y : last.x - press.x;
                    if (moved > 9 || moved < -9) {
                        FKeepListOrder = true;
                        ::SetCursor(LoadCursorW(nullptr, vertical ? IDC_SIZENS : IDC_SIZEWE));
                    }
                } else {
                    mayLockToRow = false;
                }
            }
            FDockRow = row;
            FDockPos = targetVertical ? r.top : r.left;
            FNewRowRequest = newRow;
            auto clearNewRow = ScopeExit([this] { FNewRowRequest = false; });
            if (!smooth) target->RequestCommit();
            if (FParent != target)
                SetParent(target);
            else
                target->ArrangeWindows();
        } else {
            mayLockToRow = false;
            SetFloatingPosition({outline.left, outline.top});
            SetFloating(true);
            KeepOnScreen(true);
        }
        Update();
        // Moving the window to another parent may cost it the capture: the loop keeps it.
        if (looping && GetCapture() != Handle()) SetCapture(Handle());
    };

    const auto update = [&](POINT p) {
        TBarDock* newTarget = nullptr;
        if (FKeepListOrder) {
            newTarget = FCurrentDock;
        } else if (!ctrl && !(firstUpdate && startedFloating)) {
            for (auto it = docks.rbegin(); it != docks.rend(); ++it) {
                TBarDock* d = *it;
                const TDragTarget& t = targets[d];
                if (!InDockingZone(t.DockRect, d->Vertical(), p, grab, outerMinusOne, t.Size)) continue;
                bool accept = true;
                if (d->OnRequestDock) d->OnRequestDock(d, this, accept);
                if (accept) {
                    newTarget = d;
                    break;
                }
            }
        }
        firstUpdate = false;
        POINT at = p;
        RECT work{};
        if (!newTarget) {
            work = GetMonitorRectFromPoint(p, true);
            at.x = std::clamp<LONG>(at.x, work.left, std::max(work.left, work.right - 1));
            at.y = std::clamp<LONG>(at.y, work.top, std::max(work.top, work.bottom - 1));
        }
        const SIZE size = newTarget ? targets[newTarget].Size : floatTarget.Size;
        RECT next = OutlineAtPointer(at, grab, outerMinusOne, size);
        if (!newTarget) {
            SIZE border{};
            GetFloatingFrameSize(border);
            next = KeepOutlineReachable(next, work, border, FloatingFrameMargins().top);
        }
        HCURSOR cursor = startCursor;
        if (cannotFloat && !newTarget) {
            next = RECT{};
            cursor = LoadCursorW(nullptr, IDC_NO);
        } else if (FKeepListOrder && FCurrentDock) {
            cursor = LoadCursorW(nullptr, FCurrentDock->Vertical() ? IDC_SIZENS : IDC_SIZEWE);
        }
        ::SetCursor(cursor);
        if (!smooth) {
            const RECT* nextPtr = IsRectEmpty(&next) ? nullptr : &next;
            const RECT* oldPtr = IsRectEmpty(&outline) ? nullptr : &outline;
            DrawMoveOutline(desktop.DC(), nextPtr, newTarget != nullptr, target != nullptr, oldPtr);
        }
        outline = next;
        target = newTarget;
        if (smooth && !IsRectEmpty(&outline)) applyPlacement();
    };

    update(last);
    TLoopStep step = TLoopStep::Continue;
    while (step == TLoopStep::Continue && GetCapture() == Handle()) {
        step = NextLoopMessage(
            last,
            [&](const MSG& msg) {
                if (msg.wParam == VK_CONTROL) {
                    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
                    if (down != ctrl) {
                        ctrl = down;
                        update(last);
                    }
                } else if (msg.wParam == VK_ESCAPE && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
                    return TLoopStep::Cancel;
                }
                return TLoopStep::Continue;
            },
            update);
    }

    looping = false;
    capture.Release();
    if (!smooth) {
        if (!IsRectEmpty(&outline)) DrawMoveOutline(desktop.DC(), nullptr, false, target != nullptr, &outline);
        desktop.Release();
    }
    FSmoothDragging = false;
    if (step == TLoopStep::Accept && !IsRectEmpty(&outline)) applyPlacement();
    if (FUseLastDock && FCurrentDock) SetLastDock(FCurrentDock);
    // A floating form kept through a smooth drag and no longer used goes.
    if (FFloatParent && FParent != FFloatParent) {
        TBarFloatingWindowParent* unused = FFloatParent;
        FFloatParent = nullptr;
        unused->Abandon();
    }
}

void TBarCustomDockableWindow::ResizeLoop(int edge) {
    if (!FFloating || !FFloatParent || !HandleAllocated()) return;
    TBarFloatingWindowParent* fp = FFloatParent;
    int minWidth = 0, minHeight = 0, maxHeight = 0, maxWidth = 0;
    GetClientSizeLimits(minWidth, minHeight, maxHeight, maxWidth);
    const int dx = fp->Width() - Width(), dy = fp->Height() - Height();
    const SIZE minSize{minWidth + dx, minHeight + dy};
    const SIZE maxSize{maxWidth > 0 ? maxWidth + dx : 0, maxHeight > 0 ? maxHeight + dy : 0};

    SizingStarted(edge);
    auto finished = ScopeExit([this] { SizingFinished(); });
    FlushPaintMessages();
    const bool smooth = FSmoothDrag;
    TDesktopOutlineDC desktop(!smooth);
    TMouseCapture capture(Handle());
    TCursorClip clip((FResizeOptions & roClipCursor) && !HasMultipleMonitors());
    const RECT start = fp->BoundsRect();
    POINT press;
    GetCursorPos(&press);
    POINT last = press;
    RECT current = start;
    SIZE border{};
    GetFloatingFrameSize(border);
    const SIZE thickness{border.cx, border.cx};
    if (!smooth && desktop.DC()) PaintDragFrame(desktop.DC(), &current, nullptr, thickness, thickness);

    const auto apply = [&](const RECT& r) {
        BeginUpdate();
        auto end = ScopeExit([this] { EndUpdate(); });
        SizingAccepted();
        fp->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        const RECT client = fp->ClientRect();
        SetBounds(0, 0, client.right - client.left, client.bottom - client.top);
        KeepOnScreen(true);
    };
    const auto track = [&](POINT p) {
        RECT next = ResizeFrameRect(start, edge, {p.x - press.x, p.y - press.y}, minSize, maxSize);
        SizingTracked(next, start);
        if (smooth) {
            current = next;
            apply(current);
        } else {
            if (desktop.DC()) PaintDragFrame(desktop.DC(), &next, &current, thickness, thickness);
            current = next;
        }
    };

    TLoopStep step = TLoopStep::Continue;
    while (step == TLoopStep::Continue && GetCapture() == Handle()) {
        step = NextLoopMessage(
            last,
            [](const MSG& msg) {
                if (msg.wParam == VK_ESCAPE && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN))
                    return TLoopStep::Cancel;
                return TLoopStep::Continue;
            },
            track);
    }
    capture.Release();
    if (!smooth) {
        if (desktop.DC()) PaintDragFrame(desktop.DC(), nullptr, &current, thickness, thickness);
        desktop.Release();
        if (step == TLoopStep::Accept) apply(current);
    }
}

}  // namespace toolbar
