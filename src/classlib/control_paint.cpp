// Painting: invalidation, the paint message of windows of our own class, windowless
// children painted by their parent, control canvases, and self-painting controls.
#include "classlib/control_p.h"

#include "classlib/gdiguards.h"

namespace classlib {

void TControl::Invalidate() {
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        if (w->HandleAllocated()) InvalidateRect(w->FHandle, nullptr, TRUE);
        return;
    }
    if (FParent && FParent->HandleAllocated() && FVisible) {
        RECT r = BoundsRect();
        InvalidateRect(FParent->FHandle, &r, TRUE);
    }
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::WMPaint(TMessage& m) {
    if (FSubclassed) {
        // A standard control paints itself; windowless children are painted over it.
        DefaultHandler(m);
        return;
    }
    m.Result = 0;
    if (HDC dc = reinterpret_cast<HDC>(m.WParam)) {
        // Painting into a given DC (WM_PRINTCLIENT, a parent drawing its children).
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    TPaintDC paint(FHandle);
    PaintWindow(paint.Handle());
    PaintControls(paint.Handle());
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : FControls) {
        if (!started) {
            started = c == first;
            if (!started) continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->FVisible) continue;
        RECT b = c->BoundsRect();
        if (!RectVisible(dc, &b)) continue;
        TSavedDC saved(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->FLeft, org.y + c->FTop, nullptr);
        IntersectClipRect(dc, 0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
    if (FSubclassed) {
        DefaultHandler(m);
        return;
    }
    RECT r;
    GetClientRect(FHandle, &r);
    FBrush.SetColor(FColor);
    ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, FBrush.Handle());
    m.Result = 1;
}

TControlCanvas::~TControlCanvas() {
    if (!HandleAllocated()) return;
    HDC dc = Handle();
    ReleaseHandleObjects();
    ReleaseDC(FWnd, dc);
}

void TControlCanvas::CreateHandle() {
    FWnd = FControl->ParentWindowHandle();
    if (!FWnd) return;
    HDC dc = GetDC(FWnd);
    if (!dynamic_cast<TWinControl*>(FControl)) {
        SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
    }
    SetHandle(dc);
    Font().Assign(FControl->Font());
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::WMPaint(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!dc) return;
    TCanvasDCScope canvas(FCanvas, dc);
    FCanvas.Font().Assign(*FFont);
    Paint();
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::WMEraseBkgnd(TMessage& m) {
    // The buffered paint erases its buffer itself (both parameters carry the buffer's DC) and
    // covers everything: the window's own erase is skipped.
    if (DoubleBuffered && m.WParam != static_cast<WPARAM>(m.LParam)) {
        m.Result = 1;
        return;
    }
    TWinControl::WMEraseBkgnd(m);
}

void TCustomControl::PaintWindow(HDC dc) {
    RECT r;
    GetClientRect(FHandle, &r);
    if (!DoubleBuffered || r.right <= 0 || r.bottom <= 0) {
        PaintOn(dc);
        return;
    }
    // Composed off screen and copied once: no flicker.
    TMemoryBitmap buffer(dc, r.right, r.bottom);
    const WPARAM bufferDC = reinterpret_cast<WPARAM>(buffer.DC());
    Perform(WM_ERASEBKGND, bufferDC, static_cast<LPARAM>(bufferDC));
    PaintOn(buffer.DC());
    PaintControls(buffer.DC());
    buffer.CopyTo(dc);
}

void TCustomControl::PaintOn(HDC dc) {
    TCanvasDCScope canvas(FCanvas, dc);
    FCanvas.Font().Assign(*FFont);
    FCanvas.Brush().SetColor(FColor);
    Paint();
}

}  // namespace classlib
