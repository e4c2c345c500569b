// Painting: invalidation, the paint message of windows of our own class, windowless
// children painted by their parent, control canvases, and self-painting controls.
#include "classlib/control_p.h"

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
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps{};
    if (!dc) dc = BeginPaint(FHandle, &ps);
    PaintWindow(dc);
    PaintControls(dc);
    if (!m.WParam) EndPaint(FHandle, &ps);
    m.Result = 0;
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
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->FLeft, org.y + c->FTop, nullptr);
        IntersectClipRect(dc, 0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
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
    FCanvas.SetHandle(dc);
    FCanvas.Font().Assign(*FFont);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        throw;
    }
    FCanvas.SetHandle(nullptr);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::WMEraseBkgnd(TMessage& m) {
    if (DoubleBuffered) {
        m.Result = 1;  // the buffered paint covers everything
        return;
    }
    TWinControl::WMEraseBkgnd(m);
}

void TCustomControl::PaintWindow(HDC dc) {
    RECT r;
    GetClientRect(FHandle, &r);
    HDC target = dc;
    HDC mem = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    if (DoubleBuffered && r.right > 0 && r.bottom > 0) {
        mem = CreateCompatibleDC(dc);
        bmp = CreateCompatibleBitmap(dc, r.right, r.bottom);
        old = SelectObject(mem, bmp);
        FBrush.SetColor(FColor);
        ::FillRect(mem, &r, FBrush.Handle());
        target = mem;
    }
    FCanvas.SetHandle(target);
    FCanvas.Font().Assign(*FFont);
    FCanvas.Brush().SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        if (mem) {
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        }
        throw;
    }
    FCanvas.SetHandle(nullptr);
    if (mem) {
        PaintControls(mem);
        BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
}

}  // namespace classlib
