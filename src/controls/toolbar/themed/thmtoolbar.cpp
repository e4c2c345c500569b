#include "controls/toolbar/themed/thmtoolbar.h"

#include <algorithm>
#include <optional>

#include "classlib/gdiguards.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmbars_p.h"
#include "controls/toolbar/themed/thmdock.h"
#include "controls/toolbar/themed/thmfloating.h"
#include "controls/toolbar/themed/thmitems.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/themed/thmpopup.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

TBarChevronItem* NewThemedChevronItem(TComponent* owner) { return new TThmChevronItem(owner); }

TBarToolbarView* NewThemedToolbarView(TBarCustomToolbar* toolbar, TBarCustomItem* root) {
    return new TThmToolbarView(toolbar, nullptr, root, toolbar, true, false, true);
}

// The client rectangle of the window's dock in the window's client (or window) coordinates.
RECT DockClientIn(TBarCustomDockableWindow& window, TBarDock& dock, bool windowCoordinates) {
    POINT origin{0, 0};
    if (dock.HandleAllocated()) ClientToScreen(dock.Handle(), &origin);
    if (windowCoordinates) {
        RECT self;
        GetWindowRect(window.Handle(), &self);
        origin.x -= self.left;
        origin.y -= self.top;
    } else {
        ScreenToClient(window.Handle(), &origin);
    }
    return {origin.x, origin.y, origin.x + dock.ClientWidth(), origin.y + dock.ClientHeight()};
}

// The record the theme paints a docked window's frame from.
TThmToolbarFrameInfo BarFrameInfo(TBarCustomDockableWindow& window, int viewKind, TColor effective,
                                  int closeButtonState) {
    TThmToolbarFrameInfo info{};
    TBarDock* dock = window.CurrentDock();
    info.WindowHandle = window.HandleAllocated() ? window.Handle() : nullptr;
    info.ViewKind = viewKind;
    info.Vertical = dock && dock->Vertical();
    info.AllowDrag = dock && dock->AllowDrag();
    info.BorderStyle = window.BorderStyle() == bsNone ? 0 : 1;
    ActiveToolbarTheme().GetViewBorderSize(viewKind, info.BorderSize);
    info.ClientWidth = window.ClientWidth();
    info.ClientHeight = window.ClientHeight();
    info.DragHandleStyle = static_cast<int>(window.DragHandleStyle());
    if (window.CloseButtonWhenDocked()) info.CloseButtonState = closeButtonState;
    info.EffectiveColor = effective;
    return info;
}

// The docked frame: border, drag handle and close button through the theme, on the dock's
// background or colour.
void PaintBarFrame(TBarCustomDockableWindow& window, const TThmToolbarFrameInfo& info, bool drawToDC, HDC dc,
                   HRGN region) {
    TBarDock* dock = window.CurrentDock();
    if (!dock || !window.HandleAllocated()) return;
    std::optional<TWindowDC> windowDC;
    if (!drawToDC) {
        windowDC.emplace(window.Handle(), GetWindowDC(window.Handle()));
        dc = windowDC->Handle();
        if (!dc) return;
    }
    RECT bounds;
    GetWindowRect(window.Handle(), &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    TSavedDC saved(dc);
    if (!drawToDC) {
        ClipToNCUpdateRegion(window.Handle(), dc, region);
        RECT client = bounds;
        InflateRect(&client, -info.BorderSize.x, -info.BorderSize.y);
        (info.Vertical ? client.top : client.left) += GetDragHandleSize(info);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    }
    TThmTheme& theme = ActiveToolbarTheme();
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    canvas.Brush().SetColor(info.EffectiveColor);
    if (theme.GetBoolMetric(tbSolidToolbarNCArea)) {
        // The frame is painted solid in the window's colour.
    } else if (dock->BackgroundInUse()) {
        PaintDockBackgroundAt(dock, dc, DockClientIn(window, *dock, true));
        if (window.Color() == clNone && dock->BackgroundOnToolbars()) canvas.Brush().SetStyle(bsClear);
    } else {
        PaintRectFill(dc, bounds, GetEffectiveColor(dock));
    }
    theme.PaintToolbarFrame(canvas, bounds, info);
}

// WM_ERASEBKGND: the view's background, over the dock's background or (for a toolbar placed
// on a form, with `parentOnForm`) over what lies behind the window when it has no colour.
void EraseBar(TBarCustomDockableWindow& window, HDC dc, TColor effective, int viewKind, bool clipToClient,
              bool parentOnForm) {
    TThmTheme& theme = ActiveToolbarTheme();
    const RECT client = window.ClientRect();
    TBarDock* dock = window.CurrentDock();
    const RECT outer = dock ? DockClientIn(window, *dock, false) : RECT{};
    bool transparent = false;
    if (window.Color() == clNone) {
        if (dock && dock->BackgroundInUse() && dock->BackgroundOnToolbars() &&
            !theme.GetBoolMetric(tbSolidToolbarClientArea)) {
            TSavedDC saved(dc);
            if (clipToClient) IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
            PaintDockBackgroundAt(dock, dc, outer);
            transparent = true;
        } else if (parentOnForm && !dock && !window.Floating()) {
            PaintParentBackground(&window, dc, client);
            transparent = true;
        }
    }
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    theme.PaintViewBackground(canvas, outer, client, client, effective, transparent, viewKind);
}

}  // namespace

// --- the view and the chevron ---------------------------------------------------------------------

void TThmToolbarView::QueryMargins(TBarViewOrientation orientation, RECT& margins) {
    int kind = GetViewType(static_cast<TComponent*>(Toolbar()));
    if (ViewKindIs(kind, vkToolbar) || ViewKindIs(kind, vkDockPanel))
        kind = orientation == tbvoFloating ? kind | vkFloating : kind & ~vkFloating;
    TThmMargins padding{};
    ActiveToolbarTheme().GetViewPadding(kind, padding);
    margins = {padding.LeftWidth, padding.TopHeight, padding.RightWidth, padding.BottomHeight};
}

TBarItemViewerClass TThmChevronItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TThmChevronItemViewer>; }

TBarPopupWindowClass TThmChevronItem::GetPopupWindowClass() { return NewPopupWindow<TThmChevronPopupWindow>; }

void TThmChevronItem::AdjustPopupPosition(TBarView* parentView, TBarPopupWindow* window, TBarPopupPositionRec& rec) {
    PlaceThemedPopup(rec, [&] { TBarChevronItem::AdjustPopupPosition(parentView, window, rec); });
}

void TThmChevronItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed, bool) {
    TBarView* view = View();
    TThmItemInfo info{};
    info.ViewKind = GetViewType(view);
    info.ItemFlags = ifToolbarStyle | (view->Customizing() ? ifDesigning : 0);
    info.Enabled = Item()->Enabled() || view->Customizing();
    info.Pushed = pushed;
    info.HotState = ItemHotState(view, selected, info.Enabled);
    info.Vertical = view->Orientation() == tbvoVertical;
    ActiveToolbarTheme().PaintChevronButton(canvas, clientRect, info);
}

// --- what the toolbar and the tool window share ------------------------------------------------------

template <class Base>
void TThmBarWindow<Base>::SetSnapDistance(int value) {
    FSnapDistance = std::max(value, 0);
    PassSnapDistance(*this, FSnapDistance);
}

template <class Base>
void TThmBarWindow<Base>::ColorChanged() {
    RecomputeEffectiveColor();
    BroadcastEffectiveColor(this, FEffectiveColor);
}

template <class Base>
void TThmBarWindow<Base>::TearDown() {
    UnregisterThemeClient(this);
    Base::TearDown();
}

template <class Base>
void TThmBarWindow<Base>::Loaded() {
    Base::Loaded();
    ColorChanged();
}

template <class Base>
void TThmBarWindow<Base>::SetParent(TWinControl* parent) {
    Base::SetParent(parent);
    PassSnapDistance(*this, FSnapDistance);
    if (!(this->ComponentState() & csDestroying)) ColorChanged();
}

template <class Base>
void TThmBarWindow<Base>::InsertControl(TControl* control) {
    Base::InsertControl(control);
    if (this->FColor == clNone) control->Perform(CM_PARENTCOLORCHANGED, 1, static_cast<LPARAM>(FEffectiveColor));
}

template <class Base>
void TThmBarWindow<Base>::CMColorChanged(TMessage& message) {
    Base::CMColorChanged(message);
    RecomputeEffectiveColor();
    RepaintWithColor(*this, FEffectiveColor);
}

template <class Base>
void TThmBarWindow<Base>::HandleThemeChange(int change, bool) {
    if (change == tnBeginChange && !FThemeUpdating) {
        FThemeUpdating = true;
        this->BeginUpdate();
    } else if (change == tnEndChange) {
        if (FThemeUpdating) {
            FThemeUpdating = false;
            this->EndUpdate();
        }
        RecomputeEffectiveColor();
        ReframeDockable(*this);
        this->Invalidate();
        LayOutAgain();
        BroadcastEffectiveColor(this, FEffectiveColor);
    }
}

template <class Base>
int TThmBarWindow<Base>::CloseButtonState() {
    return cbsShown | (this->CloseButtonPushed() ? cbsPressed : 0) | (this->CloseButtonHot() ? cbsHot : 0);
}

template <class Base>
void TThmBarWindow<Base>::DrawNCArea(bool drawToDC, HDC dc, HRGN region) {
    if (!this->Docked() || !this->HandleAllocated()) return;
    PaintBarFrame(*this, BarFrameInfo(*this, this->ThemeViewKind(), FEffectiveColor, CloseButtonState()), drawToDC,
                  dc, region);
}

template <class Base>
void TThmBarWindow<Base>::GetCloseButtonRect(bool, RECT& rect) {
    rect = GetToolbarCloseButtonRect(BarFrameInfo(*this, this->ThemeViewKind(), FEffectiveColor, cbsShown));
}

template <class Base>
void TThmBarWindow<Base>::GetFloatingFrameSize(SIZE& size) {
    POINT border{};
    ActiveToolbarTheme().GetViewBorderSize(this->ThemeViewKind() | vkFloating, border);
    size = {border.x, border.y};
}

template <class Base>
TBarFloatingWindowParentClass TThmBarWindow<Base>::FloatingParentClass() {
    return NewThemedFloatingWindowParent;
}

template class TThmBarWindow<TBarCustomToolbar>;
template class TThmBarWindow<TBarToolWindow>;

// --- the toolbar ----------------------------------------------------------------------------------

TThmToolbar::TThmToolbar(TComponent* owner) : TThmToolbar(owner, NewThemedChevronItem, NewThemedToolbarView) {}

TThmToolbar::TThmToolbar(TComponent* owner, TChevronItemClass chevronItemClass, TToolbarViewClass viewClass)
    : TThmBarWindow(owner, chevronItemClass, viewClass) {
    FControlStyle &= ~csOpaque;
}

void TThmToolbar::SetItemTransparency(TThmItemTransparency value) {
    if (value == FItemTransparency) return;
    FItemTransparency = value;
    // The view kind changes, and with it the theme's colour.
    ColorChanged();
    Invalidate();
}

int TThmToolbar::ThemeViewKind() {
    int kind = MenuBar() ? vkMenuBar : vkToolbarBar;
    // The resizable bit picks the floating frame's metrics: a toolbar placed anywhere else
    // answers without it.
    if (Floating()) kind |= Resizable() ? vkFloating | vkResizable : vkFloating;
    if (FItemTransparency == itDisable || (FItemTransparency == itAuto && !Floating() && !Docked()))
        kind |= vkOpaqueItems;
    return kind;
}

void TThmToolbar::RecomputeEffectiveColor() {
    if (FColor != clNone)
        FEffectiveColor = FColor;
    else if (!Docked() && !Floating() && Parent())
        FEffectiveColor = GetEffectiveColor(Parent());
    else
        FEffectiveColor = ActiveToolbarTheme().GetViewFillColor(ThemeViewKind());
    View()->BackgroundColor = FEffectiveColor;
    Brush().SetColor(FEffectiveColor);
}

void TThmToolbar::CMParentColorChanged(TMessage& message) {
    if (FColor != clNone || Docked() || Floating()) return;
    FEffectiveColor = message.WParam ? static_cast<TColor>(message.LParam) : GetEffectiveColor(Parent());
    View()->BackgroundColor = FEffectiveColor;
    Brush().SetColor(FEffectiveColor);
    BroadcastEffectiveColor(this, FEffectiveColor);
    Invalidate();
}

void TThmToolbar::HandleThemeChange(int change, bool themeSwitched) {
    if (change == tnAppActivated || change == tnAppDeactivated) {
        if (MenuBar()) Invalidate();
        return;
    }
    TThmBarWindow::HandleThemeChange(change, themeSwitched);
}

void TThmToolbar::LayOutAgain() {
    View()->InvalidatePositions();
    Rearrange();
}

int TThmToolbar::CloseButtonState() {
    return cbsShown | (CloseButtonPushed() ? cbsPressed : CloseButtonHot() ? cbsHot : 0);
}

void TThmToolbar::RepaintItemBackgrounds() {
    if (!HandleAllocated()) return;
    TBarView* view = View();
    std::vector<RECT> items;
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->Viewers(i);
        if (!v->Show || IsRectEmpty(&v->BoundsRect)) continue;
        view->InvalidateViewer(v);
        items.push_back(v->BoundsRect);
    }
    Update();
    InvalidateRect(Handle(), nullptr, TRUE);
    for (const RECT& r : items) ValidateRect(Handle(), &r);
}

void TThmToolbar::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        EraseBar(*this, reinterpret_cast<HDC>(m.WParam), FEffectiveColor, ThemeViewKind(), false, true);
        m.Result = 1;
        return;
    case WM_SIZE: {
        TThmBarWindow::Dispatch(m);
        TBarDock* dock = CurrentDock();
        auto* themedDock = dynamic_cast<TThmDock*>(dock);
        if (dock && dock->BackgroundInUse() && dock->BackgroundOnToolbars() && !(themedDock && themedDock->Sizing()))
            RepaintItemBackgrounds();
        return;
    }
    default: break;
    }
    TThmBarWindow::Dispatch(m);
}

// --- the tool window ------------------------------------------------------------------------------

TThmToolWindow::TThmToolWindow(TComponent* owner) : TThmBarWindow(owner) {}

int TThmToolWindow::ThemeViewKind() {
    if (!Floating()) return vkToolWindow;
    return Resizable() ? vkToolWindow | vkFloating | vkResizable : vkToolWindow | vkFloating;
}

void TThmToolWindow::RecomputeEffectiveColor() {
    FEffectiveColor = FColor != clNone ? FColor : ActiveToolbarTheme().GetViewFillColor(ThemeViewKind());
    Brush().SetColor(FEffectiveColor);
}

void TThmToolWindow::CMTextChanged(TMessage& message) {
    TThmBarWindow::CMTextChanged(message);
    RedrawCaptionFrame(*this);
}

void TThmToolWindow::Dispatch(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND) {
        EraseBar(*this, reinterpret_cast<HDC>(m.WParam), FEffectiveColor, ThemeViewKind(), true, false);
        m.Result = 1;
        return;
    }
    TThmBarWindow::Dispatch(m);
}

}  // namespace themed
