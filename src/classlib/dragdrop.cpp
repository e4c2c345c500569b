#include "classlib/dragdrop.h"

#include "classlib/application.h"
#include "classlib/screen.h"

#include <windowsx.h>

#include <cstdlib>

namespace classlib {

namespace {

// The one drag of the program. States: idle (no source), pending (button down, threshold
// not yet passed) and dragging.
struct DragState {
    TControl* Source = nullptr;
    bool Dragging = false;
    POINT Start{};
    int Threshold = 0;
    HWND Capture = nullptr;
    TControl* Target = nullptr;
    bool Accept = false;
};
// Plain data, fixed at compile time: nothing runs for it before the application exists.
constinit DragState gDrag;

POINT ClientPosOf(TControl* c, POINT screen) { return c->ScreenToClient(screen); }

bool SendDrag(TControl* target, TDragMessage msg, POINT screen) {
    TDragRec rec{ClientPosOf(target, screen), gDrag.Source, target};
    return target->Perform(CM_DRAG, msg, reinterpret_cast<LPARAM>(&rec)) != 0;
}

void Reset() {
    HWND cap = gDrag.Capture;
    gDrag = DragState{};
    if (cap && GetCapture() == cap) ReleaseCapture();
}

void DragTo(POINT p) {
    TControl* t = FindDragTarget(p, false);
    if (t != gDrag.Target) {
        if (gDrag.Target) SendDrag(gDrag.Target, dmDragLeave, p);
        gDrag.Target = t;
        gDrag.Accept = t ? SendDrag(t, dmDragEnter, p) : false;
    } else if (t) {
        gDrag.Accept = SendDrag(t, dmDragMove, p);
    }
    if (!gDrag.Source) return;  // a handler cancelled the drag
    TCursor c = gDrag.Accept ? gDrag.Source->DragCursor : crNoDrop;
    ::SetCursor(Screen->Cursors(c));
}

}  // namespace

TControl* FindDragTarget(POINT p, bool allowDisabled) {
    HWND w = WindowFromPoint(p);
    TWinControl* wc = nullptr;
    while (w && !(wc = FindControl(w))) w = GetParent(w);
    if (!wc) return nullptr;
    POINT cp = p;
    ::ScreenToClient(wc->Handle(), &cp);
    TControl* c = wc->ControlAtPos(cp, allowDisabled, false);
    return c ? c : wc;
}

TControl* DragSource() { return gDrag.Dragging ? gDrag.Source : nullptr; }

void CancelDragOf(TControl* c) {
    if (!gDrag.Source) return;
    if (gDrag.Target == c) gDrag.Target = nullptr;
    if (gDrag.Source == c) Reset();
}

void EndDrag(bool drop) {
    if (!gDrag.Source) return;
    TControl* source = gDrag.Source;
    bool dragging = gDrag.Dragging;
    POINT p;
    GetCursorPos(&p);
    TControl* target = nullptr;
    if (dragging && gDrag.Target) {
        if (drop && gDrag.Accept) {
            target = gDrag.Target;
        } else {
            SendDrag(gDrag.Target, dmDragLeave, p);
        }
    }
    Reset();
    if (!dragging) return;
    if (target) {
        TDragRec rec{ClientPosOf(target, p), source, target};
        target->Perform(CM_DRAG, dmDragDrop, reinterpret_cast<LPARAM>(&rec));
    }
    POINT sp = target ? ClientPosOf(target, p) : POINT{0, 0};
    source->DoEndDrag(target, sp.x, sp.y);
}

void TControl::BeginDrag(bool immediate, int threshold) {
    if (gDrag.Source) return;
    if (threshold < 0) threshold = GetSystemMetrics(SM_CXDRAG);
    gDrag.Source = this;
    GetCursorPos(&gDrag.Start);
    gDrag.Threshold = threshold;
    gDrag.Capture = ParentWindowHandle();
    SetCapture(gDrag.Capture);
    if (immediate) {
        gDrag.Dragging = true;
        DoStartDrag();
        if (gDrag.Source) DragTo(gDrag.Start);
    }
}

bool TControl::Dragging() const { return gDrag.Dragging && gDrag.Source == this; }

// Called by the application's loop before anything else sees the message.
bool DragProcessMessage(MSG& msg) {
    if (!gDrag.Source) return false;
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        POINT p;
        GetCursorPos(&p);
        if (!gDrag.Dragging) {
            if (std::abs(p.x - gDrag.Start.x) < gDrag.Threshold && std::abs(p.y - gDrag.Start.y) < gDrag.Threshold)
                return false;
            gDrag.Dragging = true;
            gDrag.Source->DoStartDrag();
            if (!gDrag.Source) return true;
        }
        DragTo(p);
        return true;
    }
    case WM_LBUTTONUP:
        if (!gDrag.Dragging) {
            // The button went up before the threshold: an ordinary click.
            Reset();
            return false;
        }
        EndDrag(true);
        return true;
    case WM_RBUTTONDOWN:
        EndDrag(false);
        return true;
    case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
            EndDrag(false);
            return true;
        }
        if (gDrag.Dragging) {
            // Ctrl or Shift may change the target's answer: ask again.
            POINT p;
            GetCursorPos(&p);
            DragTo(p);
            return true;
        }
        return false;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        EndDrag(false);
        return false;
    default: return false;
    }
}

}  // namespace classlib
