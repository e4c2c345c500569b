#include "controls/toolbar/themed/thmdock.h"

#include <vector>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbdockable.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/themed/thmtoolbar.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

// The offset of a dock's client area from its window's top-left corner (its bound lines).
POINT ClientOffset(TBarDock* dock) {
    return {(dock->BoundLines() & blLeft) ? 1 : 0, (dock->BoundLines() & blTop) ? 1 : 0};
}

}  // namespace

int ThemeDockPosition(TBarDockPosition position) {
    switch (position) {
    case dpBottom: return 2;
    case dpLeft: return 3;
    case dpRight: return 4;
    default: return 1;
    }
}

void PaintDockBackgroundAt(TBarDock* dock, HDC dc, const RECT& clientRect) {
    RECT paint = clientRect;
    RECT clip;
    if (GetClipBox(dc, &clip) != ERROR && clip.right > clip.left && !IntersectRect(&paint, &paint, &clip)) return;
    if (auto* themed = dynamic_cast<TThmDock*>(dock)) {
        themed->PaintThemedBackground(dc, clientRect, paint);
        return;
    }
    // The core's rectangle: the origin of the dock's parent's client area.
    const POINT offset = ClientOffset(dock);
    RECT r = clientRect;
    OffsetRect(&r, -(dock->Left() + offset.x), -(dock->Top() + offset.y));
    dock->PaintBackground(dc, r);
}

// --- the dock -------------------------------------------------------------------------------------

TThmDock::TThmDock(TComponent* owner) : TBarDock(owner) {
    FColor = clNone;
    RegisterThemeClient(this);
}

void TThmDock::TearDown() {
    UnregisterThemeClient(this);
    TBarDock::TearDown();
}

void TThmDock::SetUseParentBackground(bool value) {
    if (value == FUseParentBackground) return;
    FUseParentBackground = value;
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

bool TThmDock::ThemeDrawsBackground() {
    return !Background() && FColor == clNone && ActiveToolbarTheme().GetBoolMetric(tbPaintDockBackground);
}

bool TThmDock::BackgroundInUse() {
    return FUseParentBackground || (ThemeDrawsBackground() && !FMoving) || TBarDock::BackgroundInUse();
}

TColor TThmDock::ThemeEffectiveColor() { return FColor != clNone ? FColor : GetEffectiveColor(Parent()); }

void TThmDock::PaintThemedBackground(HDC dc, const RECT& clientRect, const RECT& paintRect) {
    if (FUseParentBackground) {
        // What lies behind the dock, in the dock's own coordinates moved to clientRect.
        TSavedDC saved(dc);
        POINT origin;
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x - clientRect.left, origin.y - clientRect.top, nullptr);
        RECT r = paintRect;
        OffsetRect(&r, -clientRect.left, -clientRect.top);
        PaintParentBackground(this, dc, r);
        return;
    }
    if (ThemeDrawsBackground()) {
        TCanvas canvas;
        TCanvasDCScope scope(canvas, dc);
        ActiveToolbarTheme().PaintDockBackground(canvas, clientRect, paintRect, ThemeDockPosition(Position()));
        return;
    }
    const POINT offset = ClientOffset(this);
    RECT r = clientRect;
    OffsetRect(&r, -(Left() + offset.x), -(Top() + offset.y));
    TBarDock::PaintBackground(dc, r);
}

void TThmDock::PaintBackground(HDC dc, const RECT& rect) {
    if (!FUseParentBackground && !ThemeDrawsBackground()) {
        TBarDock::PaintBackground(dc, rect);
        return;
    }
    const POINT offset = ClientOffset(this);
    RECT client = ClientRect();
    OffsetRect(&client, rect.left + Left() + offset.x, rect.top + Top() + offset.y);
    PaintDockBackgroundAt(this, dc, client);
}

void TThmDock::RepaintWindows() {
    for (int i = 0; i < GetVisibleWindowCount(); ++i) {
        TBarCustomDockableWindow* window = GetVisibleWindow(i);
        if (auto* bar = dynamic_cast<TThmToolbar*>(window))
            bar->RepaintItemBackgrounds();
        else
            window->RedrawWithFrame();
    }
}

void TThmDock::HandleThemeChange(int change, bool) {
    if (change == tnEndChange) Invalidate();
}

void TThmDock::CMColorChanged(TMessage& message) {
    TBarDock::CMColorChanged(message);
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(Controls(i)); child && child->HandleAllocated())
            RedrawWindow(child->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TThmDock::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(m.WParam);
        const RECT client = ClientRect();
        if (BackgroundInUse())
            PaintThemedBackground(dc, client, client);
        else
            PaintRectFill(dc, client, ThemeEffectiveColor());
        m.Result = 1;
        return;
    }
    case WM_MOVE: {
        FMoving = true;
        auto done = ScopeExit([this] { FMoving = false; });
        TBarDock::Dispatch(m);
        return;
    }
    case WM_SIZE: {
        {
            FSizing = true;
            auto done = ScopeExit([this] { FSizing = false; });
            TBarDock::Dispatch(m);
        }
        if (BackgroundInUse() && HandleAllocated()) {
            Invalidate();
            RepaintWindows();
        }
        return;
    }
    default: break;
    }
    TBarDock::Dispatch(m);
}

}  // namespace themed
