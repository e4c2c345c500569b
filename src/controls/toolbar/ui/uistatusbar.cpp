#include "controls/toolbar/ui/uistatusbar.h"

#include <windowsx.h>

#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"
#include "controls/toolbar/ui/uititlebar.h"
#include "controls/toolbar/ui/uiwindows.h"

namespace ui {

using namespace classlib;
using namespace toolbar;
using namespace themed;

namespace {

bool IsOfficeStyleTheme() { return ActiveThemeHasQuirk(uqOfficeStatusBar); }

TUiToolbar* NewStatusToolbar(TComponent* owner) { return new TUiStatusToolbar(owner); }

}  // namespace

// --- status toolbar -----------------------------------------------------------------------------

TUiStatusToolbar::TUiStatusToolbar(TComponent* owner) : TUiToolbar(owner), FOfficeStyle(IsOfficeStyleTheme()) {}

void TUiStatusToolbar::SetSizeGrip(bool value) {
    if (value == FSizeGrip) return;
    FSizeGrip = value;
    RightAlignItems();
}

TUiThemeType TUiStatusToolbar::ThemeType() const {
    auto* bar = dynamic_cast<TUiCompoundItemsControl*>(Owner());
    return bar ? bar->ThemeType() : thtThm;
}

bool TUiStatusToolbar::DrawsOwnSeparators() const { return FOfficeStyle || ResolveThemeType(ThemeType()) == thtNone; }

TForm* TUiStatusToolbar::ParentForm() {
    if (!FParentForm) FParentForm = GetParentForm(this);
    return FParentForm;
}

RECT TUiStatusToolbar::GripRect() {
    TBarDock* dock = CurrentDock();
    TForm* form = (ComponentState() & csDestroying) || !FSizeGrip || !dock ? nullptr : ParentForm();
    if (!form) return RECT{};
    RECT bounds{};
    if (GetFormPlacement(form, bounds) != fpNormal) return RECT{};
    auto* titleBar = FindParentOfClass<TUiCustomTitleBar>(this);
    const bool sizeable = (titleBar && titleBar->Active() && !titleBar->FixedSize()) ||
                          (form->HandleAllocated() && (GetWindowLongW(form->Handle(), GWL_STYLE) & WS_THICKFRAME));
    if (!sizeable) return RECT{};
    const int width = dock->ClientWidth(), height = dock->ClientHeight();
    return RECT{std::max(0, width - GetSystemMetrics(SM_CXVSCROLL)), 0, width, height};
}

int TUiStatusToolbar::GetRightAlignMargin() {
    const RECT grip = GripRect();
    return IsRectEmpty(&grip) ? 4 : grip.right - grip.left;
}

void TUiStatusToolbar::HandleThemeChange(int change, bool themeSwitched) {
    TUiToolbar::HandleThemeChange(change, themeSwitched);
    if (change == tnEndChange) FOfficeStyle = IsOfficeStyleTheme();
}

bool TUiStatusToolbar::OnGrip(POINT screenPoint) {
    const RECT grip = GripRect();
    if (IsRectEmpty(&grip) || !CurrentDock()) return false;
    const POINT p = CurrentDock()->ScreenToClient(screenPoint);
    return PtInRect(&grip, p) != 0;
}

void TUiStatusToolbar::StartSizing() {
    TForm* form = ParentForm();
    if (!form || !form->HandleAllocated()) return;
    ReleaseCapture();
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_SIZE + 8, 0);
}

void TUiStatusToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && ParentForm() && OnGrip(ClientToScreen(POINT{x, y}))) {
        StartSizing();
        return;
    }
    TUiToolbar::MouseDown(button, shift, x, y);
}

void TUiStatusToolbar::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
        if (ParentForm() && OnGrip(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) {
            StartSizing();
            m.Result = 0;
            return;
        }
        break;
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        if (OnGrip(p)) {
            ::SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
            m.Result = 1;
            return;
        }
        break;
    }
    default: break;
    }
    TUiToolbar::Dispatch(m);
}

// --- status bar ---------------------------------------------------------------------------------

TUiCustomStatusBar::TUiCustomStatusBar(TComponent* owner)
    : TUiCompoundBar(owner, NewUiDock, NewStatusToolbar) {
    SetAlign(alBottom);
}

void TUiCustomStatusBar::SetBounds(int left, int top, int width, int height) {
    if (Dock()) height = Dock()->Height();
    TUiCompoundBar::SetBounds(left, top, width, height);
}

void TUiCustomStatusBar::PaintSeparators(TCanvas& canvas, const RECT& rect) {
    TUiStatusToolbar* bar = StatusToolbar();
    if (!bar) return;
    const TColor right = ResolveThemeType(ThemeType()) == thtNone ? clBtnShadow : clWindow;
    TBarView* view = bar->View();
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->Viewers(i);
        auto* separator = dynamic_cast<TBarSeparatorItem*>(v->Item());
        if (!separator || separator->Blank() || !v->Show) continue;
        const int middle = (v->BoundsRect.left + v->BoundsRect.right) / 2;
        canvas.FillRect(RECT{middle - 2, rect.top, middle + 1, rect.bottom});
        const HDC dc = canvas.Handle();
        PaintLine(dc, middle - 2, rect.top, middle - 2, rect.bottom, clWindow);
        PaintLine(dc, middle + 1, rect.top, middle + 1, rect.bottom, right);
    }
}

void TUiCustomStatusBar::DoDrawDockBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                              bool& paintDefault) {
    TUiCompoundBar::DoDrawDockBackground(canvas, rect, stage, paintDefault);
    TUiStatusToolbar* bar = StatusToolbar();
    if (stage != pstPrePaint || !paintDefault || !bar) return;
    paintDefault = false;
    // Painted under the toolbar, the rectangle starts at the toolbar's frame (-2, -2).
    const bool underToolbar = rect.left == -2 && rect.top == -2;
    RECT grip = bar->GripRect();
    if (underToolbar) OffsetRect(&grip, -2, -2);
    const TUiThemeType resolved = ResolveThemeType(ThemeType());
    if (!bar->OfficeStyle() && resolved != thtNone) {
        PaintThemedStatusBar(canvas, rect, grip, false, ThemeType());
        return;
    }
    PaintRectFill(canvas.Handle(), rect, clBtnFace);
    if (!underToolbar) return;
    RECT inner = rect;
    InflateRect(&inner, -2, -2);
    if (resolved == thtNone && !IsRectEmpty(&grip)) {
        ++grip.top;
        --grip.right;
        --grip.bottom;
    }
    PaintThemedStatusBar(canvas, inner, grip, bar->OfficeStyle(), ThemeType());
    canvas.Brush().SetColor(clBtnFace);
    PaintSeparators(canvas, inner);
}

void TUiStatusBar::SetSizeGrip(bool value) {
    if (value == SizeGrip()) return;
    StatusToolbar()->SetSizeGrip(value);
    InvalidateBackground();
}

}  // namespace ui
