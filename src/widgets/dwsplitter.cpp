#include "widgets/dwsplitter.h"

#include "uihelpers/gradient.h"

#include <windowsx.h>

#include <algorithm>

namespace widgets {

using namespace uihelpers;

using namespace classlib;

TVxDWSplitter::TVxDWSplitter(TComponent* owner) : TCustomControl(owner) {
    FColor = clBtnFace;
    FParentColor = false;
    SetBounds(0, 0, 10, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

void TVxDWSplitter::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

bool TVxDWSplitter::Vertical() const { return FAlign == alLeft || FAlign == alRight; }

RECT TVxDWSplitter::ToggleRect() {
    RECT c = ClientRect();
    RECT r{};
    if (Vertical()) {
        r.top = (c.bottom - c.top) / 2 - FToggleHeight / 2;
        r.left = 1;
        r.bottom = r.top + FToggleHeight - 1;
        r.right = c.right - 1;
    } else {
        r.left = (c.right - c.left) / 2 - FToggleHeight / 2;
        r.top = 1;
        r.right = r.left + FToggleHeight - 1;
        r.bottom = c.bottom - 1;
    }
    return r;
}

POINT TVxDWSplitter::CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

bool TVxDWSplitter::CursorInToggle() {
    POINT p = ScreenToClient(CursorPos());
    RECT r = ToggleRect();
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

TControl* TVxDWSplitter::FindNeighbour() {
    if (!FParent) return nullptr;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != FAlign) continue;
        switch (FAlign) {
        case alLeft: if (c->Left() + c->Width() == FLeft) return c; break;
        case alRight: if (c->Left() == FLeft + FWidth) return c; break;
        case alTop: if (c->Top() + c->Height() == FTop) return c; break;
        case alBottom: if (c->Top() == FTop + FHeight) return c; break;
        default: break;
        }
    }
    return nullptr;
}

void TVxDWSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    // Sizing starts when there is a neighbour to size.
    FNeighbour = FindNeighbour();
    if (FNeighbour) {
        FSizing = true;
        FSizeStart = CursorPos();
        FStartSize = Vertical() ? FNeighbour->Width() : FNeighbour->Height();
    }
    if (HandleAllocated()) SetCapture(FHandle);
    if (CursorInToggle()) {
        FPressed = true;
        FPressPos = CursorPos();
        Invalidate();
    }
}

void TVxDWSplitter::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (FSizing && FNeighbour) {
        POINT p = CursorPos();
        int delta = Vertical() ? p.x - FSizeStart.x : p.y - FSizeStart.y;
        if (FAlign == alRight || FAlign == alBottom) delta = -delta;
        int size = FStartSize + delta;
        // Leave the rest of the parent at least MinSize as well.
        if (FParent) {
            int room = (Vertical() ? FParent->ClientWidth() : FParent->ClientHeight()) -
                       (Vertical() ? FWidth : FHeight) - MinSize;
            int others = 0;
            for (int i = 0; i < FParent->ControlCount(); ++i) {
                TControl* c = FParent->Controls(i);
                if (c == this || c == FNeighbour || !c->Visible() || c->Align() == alClient) continue;
                if (Vertical() && (c->Align() == alLeft || c->Align() == alRight)) others += c->Width();
                if (!Vertical() && (c->Align() == alTop || c->Align() == alBottom)) others += c->Height();
            }
            size = std::min(size, room - others);
        }
        size = std::max(size, MinSize);
        if (Vertical())
            FNeighbour->SetWidth(size);
        else
            FNeighbour->SetHeight(size);
    }
    bool hot = CursorInToggle();
    if (hot != FHot) {
        FHot = hot;
        Invalidate();
    }
}

void TVxDWSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    if (GetCapture() == FHandle && FHandle) ReleaseCapture();
    if (FSizing) StopSizing();
    FPressed = false;
    Invalidate();
    POINT p = CursorPos();
    if (CursorInToggle() && p.x == FPressPos.x && p.y == FPressPos.y) {
        if (OnToggleClick) OnToggleClick(this);
        if (OnSetToggleChange) {
            OnSetToggleChange(this, FToggle);
            Invalidate();
        }
    }
    // The remembered press belongs to one press only.
    FPressPos = {LONG_MIN, LONG_MIN};
}

void TVxDWSplitter::StopSizing() {
    FSizing = false;
    FNeighbour = nullptr;
    if (OnMoved) OnMoved(this);
    if (OnSetToggleChange) OnSetToggleChange(this, FToggle);
    Invalidate();
}

void TVxDWSplitter::WMLButtonDblClk(TMessage& m) {
    MouseDown(mbLeft, KeysToShiftState(m.WParam) | ssDouble, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    TCustomControl::WMLButtonDblClk(m);
}

void TVxDWSplitter::CMMouseEnter(TMessage& m) {
    TCustomControl::CMMouseEnter(m);
    FHot = CursorInToggle();
    Invalidate();
}

void TVxDWSplitter::CMMouseLeave(TMessage& m) {
    TCustomControl::CMMouseLeave(m);
    FHot = false;
    Invalidate();
}

void TVxDWSplitter::WMSetCursor(TMessage& m) {
    FCursor = Vertical() ? crHSplit : crVSplit;
    TCustomControl::WMSetCursor(m);
}

void TVxDWSplitter::Paint() {
    TCanvas& cv = Canvas();
    HDC dc = cv.Handle();
    RECT clip{};
    GetClipBox(dc, &clip);
    cv.Brush().SetColor(FColor);
    cv.FillRect(clip);
    if (!FDrawToggle) return;
    RECT t = ToggleRect();
    const bool vertical = Vertical();
    // The gradient fills the rectangle with the right and bottom edges included.
    RECT fill{t.left, t.top, t.right + 1, t.bottom + 1};
    GradientFillLines(dc, static_cast<uint32_t>(FHot ? FToggleHotColorStart : FToggleColorStart),
                      static_cast<uint32_t>(FHot ? FToggleHotColorEnd : FToggleColorEnd), vertical, fill,
                      FPressed);
    if (FDrawToggleArrow) {
        const int s = FArrowSize;
        POINT pts[3];
        if (vertical) {
            int y0 = t.top + (t.bottom - t.top) / 2 - s;
            if (FToggle) {
                pts[0] = {t.left + FArrowLeftMargin, y0};
                pts[1] = {t.right - FArrowRightMargin, y0 + s};
                pts[2] = {t.left + FArrowLeftMargin, y0 + 2 * s};
            } else {
                pts[0] = {t.right - FArrowRightMargin, y0};
                pts[1] = {t.left + FArrowLeftMargin, y0 + s};
                pts[2] = {t.right - FArrowRightMargin, y0 + 2 * s};
            }
        } else {
            int x0 = t.left + (t.right - t.left) / 2 - s;
            if (FToggle) {
                pts[0] = {x0, t.bottom - FArrowLeftMargin};
                pts[1] = {x0 + s, t.top + FArrowRightMargin};
                pts[2] = {x0 + 2 * s, t.bottom - FArrowLeftMargin};
            } else {
                pts[0] = {x0, t.top + FArrowLeftMargin};
                pts[1] = {x0 + s, t.bottom - FArrowRightMargin};
                pts[2] = {x0 + 2 * s, t.top + FArrowLeftMargin};
            }
        }
        cv.Pen().SetColor(FToggleArrowColor);
        cv.Brush().SetColor(FToggleArrowColor);
        cv.Polygon(pts, 3);
    }
    cv.Brush().SetColor(FToggleLineColor);
    cv.FrameRect(RECT{t.left, t.top, t.right + 1, t.bottom + 1});
}

}  // namespace widgets
