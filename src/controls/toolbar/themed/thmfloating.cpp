#include "controls/toolbar/themed/thmfloating.h"

#include <windowsx.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "classlib/gdiguards.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmnexus.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

RECT SnapToWorkArea(const RECT& bounds, const RECT& workArea, int distance) {
    RECT r = bounds;
    if (distance <= 0) return r;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (std::abs(r.right - workArea.right) < distance) r.left = workArea.right - width;
    if (std::abs(r.bottom - workArea.bottom) < distance) r.top = workArea.bottom - height;
    if (std::abs(r.left - workArea.left) < distance) r.left = workArea.left;
    if (std::abs(r.top - workArea.top) < distance) r.top = workArea.top;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

TBarFloatingWindowParent* NewThemedFloatingWindowParent() { return new TThmFloatingWindowParent(nullptr); }

void TThmFloatingWindowParent::DrawNCArea(bool drawToDC, HDC dc, unsigned parts, HRGN region) {
    TBarCustomDockableWindow* hosted = DockableWindow();
    if (!HandleAllocated() || !hosted) return;
    std::optional<TWindowDC> windowDC;
    if (!drawToDC) {
        windowDC.emplace(Handle(), GetWindowDC(Handle()));
        dc = windowDC->Handle();
        if (!dc) return;
    }
    TSavedDC saved(dc);
    if (!drawToDC) ClipToNCUpdateRegion(Handle(), dc, region);
    RECT window;
    GetWindowRect(Handle(), &window);
    OffsetRect(&window, -window.left, -window.top);
    TThmFloatingFrameInfo info{};
    info.WindowHandle = Handle();
    info.ClientHandle = hosted->HandleAllocated() ? hosted->Handle() : nullptr;
    info.ViewKind = GetViewType(hosted);
    const RECT client = ClientRect();
    info.ClientWidth = client.right - client.left;
    info.ClientHeight = client.bottom - client.top;
    info.CaptionShown = hosted->ShowCaption();
    SIZE border{};
    hosted->GetFloatingFrameSize(border);
    info.BorderSize = {border.cx, border.cy};
    if (hosted->CloseButton() && hosted->ShowCaption())
        info.CloseButtonState = cbsShown | (CloseButtonPushed() ? cbsPressed : FCloseButtonHot ? cbsHot : 0);
    info.RedrawParts = static_cast<int>(parts);
    const std::wstring caption = GetText();
    info.Caption = caption.c_str();
    info.EffectiveColor = GetEffectiveColor(hosted);
    info.Active = !hosted->CaptionInactive();
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    canvas.Brush().SetColor(info.EffectiveColor);
    ActiveToolbarTheme().PaintFloatingFrame(canvas, window, info);
}

void TThmFloatingWindowParent::SetCloseButtonHot(bool value) {
    if (value == FCloseButtonHot) return;
    FCloseButtonHot = value;
    RedrawNCArea(fpCloseButton);
}

void TThmFloatingWindowParent::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_NCMOUSEMOVE:
        RequestMouseTracking(Handle(), TME_LEAVE | TME_NONCLIENT);
        SetCloseButtonHot(m.WParam == static_cast<WPARAM>(HTBARCLOSE));
        break;
    case WM_NCMOUSELEAVE:
        if (!GetCapture()) SetCloseButtonHot(false);
        break;
    case CM_MOUSELEAVE: SetCloseButtonHot(false); break;
    case WM_WINDOWPOSCHANGING: {
        TBarFloatingWindowParent::Dispatch(m);
        auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
        if (!pos || FSnapDistance <= 0 || (pos->flags & SWP_NOMOVE) || !HandleAllocated()) return;
        RECT now;
        GetWindowRect(Handle(), &now);
        const bool sized = !(pos->flags & SWP_NOSIZE) && (pos->cx != now.right - now.left || pos->cy != now.bottom - now.top);
        if (sized) return;
        const RECT moved{pos->x, pos->y, pos->x + (now.right - now.left), pos->y + (now.bottom - now.top)};
        const RECT snapped = SnapToWorkArea(moved, GetMonitorRectFromRect(moved, true), FSnapDistance);
        pos->x = snapped.left;
        pos->y = snapped.top;
        return;
    }
    case WM_ERASEBKGND: m.Result = 1; return;
    default: break;
    }
    TBarFloatingWindowParent::Dispatch(m);
}

}  // namespace themed
