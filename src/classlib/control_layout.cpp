// Bounds and layout: positions and sizes, client rectangles, Align and Anchors, z-order.
#include "classlib/control_p.h"

#include <algorithm>

namespace classlib {

void TControl::SetBoundsNoAlign(int l, int t, int w, int h) {
    FLeft = l;
    FTop = t;
    FWidth = w;
    FHeight = h;
}

void TControl::SetBounds(int l, int t, int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
    bool sized = w != FWidth || h != FHeight;
    Invalidate();
    SetBoundsNoAlign(l, t, w, h);
    Invalidate();
    RequestAlign();
    if (sized) Resize();
}

RECT TControl::ClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int w, int h) { SetBounds(FLeft, FTop, w, h); }

POINT TControl::ClientToScreen(POINT p) {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
        ::ClientToScreen(w->FHandle, &p);
        return p;
    }
    if (!FParent) return p;
    POINT q{p.x + FLeft, p.y + FTop};
    return FParent->ClientToScreen(q);
}

POINT TControl::ScreenToClient(POINT p) {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
        ::ScreenToClient(w->FHandle, &p);
        return p;
    }
    if (!FParent) return p;
    POINT q = FParent->ScreenToClient(p);
    return {q.x - FLeft, q.y - FTop};
}

HWND TControl::ParentWindowHandle() { return FParent ? FParent->Handle() : nullptr; }

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (v != alNone) FAnchors = akLeft | akTop;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (FParent && !(ComponentState() & csDestroying)) FParent->Realign();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWin) {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        bool win = dynamic_cast<TWinControl*>(c) != nullptr;
        if (win && !allowWin) continue;
        if (!c->FVisible || (!c->FEnabled && !allowDisabled)) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || (ComponentState() & csDestroying)) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    RECT r = ClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, RECT& rect) {
    if (FControlState & csAligning) return;
    FControlState |= csAligning;
    AdjustClientRect(rect);
    int newW = rect.right - rect.left, newH = rect.bottom - rect.top;
    // Anchored children follow the change of the client size since the last layout.
    if (FLastClientW >= 0 && (newW != FLastClientW || newH != FLastClientH)) {
        int dx = newW - FLastClientW, dy = newH - FLastClientH;
        for (TControl* c : FControls) {
            if (c->FAlign != alNone) continue;
            int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
            if (c->FAnchors & akRight) {
                if (c->FAnchors & akLeft) w += dx; else l += dx;
            }
            if (c->FAnchors & akBottom) {
                if (c->FAnchors & akTop) h += dy; else t += dy;
            }
            if (l != c->FLeft || t != c->FTop || w != c->FWidth || h != c->FHeight) c->SetBounds(l, t, w, h);
        }
    }
    FLastClientW = newW;
    FLastClientH = newH;
    // A control may fit its other side to the side it is given (a strip of tabs wraps into
    // more rows when it gets narrower): it is placed, and the rest laid out, by the size it took.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->FAlign != a || !c->FVisible) continue;
            int w = c->FWidth, h = c->FHeight;
            switch (a) {
            case alTop:
                c->SetBounds(rect.left, rect.top, rect.right - rect.left, h);
                rect.top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(rect.left, rect.bottom - h, rect.right - rect.left, h);
                if (c->FHeight != h) c->SetBounds(rect.left, rect.bottom - c->FHeight, c->FWidth, c->FHeight);
                rect.bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(rect.left, rect.top, w, rect.bottom - rect.top);
                rect.left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(rect.right - w, rect.top, w, rect.bottom - rect.top);
                if (c->FWidth != w) c->SetBounds(rect.right - c->FWidth, rect.top, c->FWidth, c->FHeight);
                rect.right -= c->FWidth;
                break;
            case alClient:
                c->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
                break;
            default: break;
            }
        }
    }
    FControlState &= ~csAligning;
}

void TWinControl::SetBounds(int l, int t, int w, int h) {
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
    bool sized = w != FWidth || h != FHeight;
    SetBoundsNoAlign(l, t, w, h);
    if (FHandle) {
        SetWindowPos(FHandle, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        // WM_SIZE has laid out the children and fired Resize.
    } else {
        if (sized) {
            RECT r = ClientRect();
            AlignControls(nullptr, r);
            Resize();
        }
    }
    RequestAlign();
}

RECT TWinControl::ClientRect() {
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle) {
        GetClientRect(FHandle, &r);
        return r;
    }
    // Without a window: the bounds less the frame the styles would give it.
    TCreateParams p;
    CreateParams(p);
    RECT f{0, 0, 0, 0};
    AdjustWindowRectEx(&f, p.Style, p.Menu && !(p.Style & WS_CHILD), p.ExStyle);
    r.right = std::max<LONG>(0, FWidth - (f.right - f.left));
    r.bottom = std::max<LONG>(0, FHeight - (f.bottom - f.top));
    return r;
}

void TWinControl::SetClientSize(int w, int h) {
    RECT c = ClientRect();
    SetBounds(FLeft, FTop, FWidth + (w - (c.right - c.left)), FHeight + (h - (c.bottom - c.top)));
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!FHandle) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(FHandle);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    SetBoundsNoAlign(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::WMSize(TMessage& m) {
    DefaultHandler(m);
    UpdateBoundsFromWindow();
    Realign();
    Resize();
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
    DefaultHandler(m);
    UpdateBoundsFromWindow();
}

}  // namespace classlib
