#include "controls/toolbar/themed/thmpopup.h"

#include "classlib/errors.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbanim.h"
#include "controls/toolbar/tblayout.h"
#include "controls/toolbar/themed/thmanimation.h"
#include "controls/toolbar/themed/thmitems.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

constexpr int ShadowDepth = 4;
constexpr int ShadowOpacity = 61;

TBarView* NewThemedPopupView(TComponent* owner, TBarView* parentView, TBarCustomItem* item, TWinControl* window,
                             bool customizing) {
    return new TThmPopupView(owner, parentView, item, window, false, customizing, false);
}

TBarRootItem* NewThemedRootItem(TComponent* owner) { return new TThmRootItem(owner); }

}  // namespace

// --- placement ------------------------------------------------------------------------------------

bool PopupsOverlapOpener() { return ActiveToolbarTheme().GetBoolMetric(tbPopupOverlapsOpener); }

void PlacePopupBelowRect(TBarPopupPositionRec& rec, const RECT& controlRect) {
    const RECT& M = rec.MonitorRect;
    const RECT& P = controlRect;
    if (rec.Alignment == tbpaRight)
        rec.X = P.right - rec.W;
    else if (rec.Alignment == tbpaCenter)
        rec.X = (P.left + P.right - rec.W) / 2;
    if (rec.Y + rec.H > M.bottom && P.top - rec.H >= M.top) rec.Y = P.top - rec.H;
    if (rec.Y + rec.H > M.bottom) rec.Y = M.bottom - rec.H;
    if (rec.Y < M.top) rec.Y = M.top;
    if (rec.X + rec.W > M.right) rec.X = M.right - rec.W;
    if (rec.X < M.left) rec.X = M.left;
    rec.AnimDir = rec.Y + rec.H <= P.top ? tbpdUp : tbpdDown;
}

// --- the popup window -----------------------------------------------------------------------------

TThmPopupWindow::TThmPopupWindow(TComponent* owner) : TBarPopupWindow(owner) {}

TThmPopupWindow::~TThmPopupWindow() { DestroyShadow(); }

TBarPopupViewClass TThmPopupWindow::ViewClass() { return NewThemedPopupView; }

int TThmPopupWindow::ThemeViewKind() {
    TBarView* view = View();
    auto* item = view ? dynamic_cast<TThmCustomItem*>(view->ParentItem()) : nullptr;
    return item && item->ToolBoxPopup() ? vkToolBoxPopup : vkPopupMenu;
}

bool TThmPopupWindow::CastsShadow() { return !ViewKindIs(ThemeViewKind(), vkListPopup); }

SIZE TThmPopupWindow::GetBorderSize() {
    POINT size{};
    ActiveToolbarTheme().GetViewBorderSize(ThemeViewKind(), size);
    return {size.x, size.y};
}

std::wstring TThmPopupWindow::WindowClassName() { return L"TThmPopupWindow"; }

void TThmPopupWindow::CreateParams(TCreateParams& p) {
    TBarPopupWindow::CreateParams(p);
    p.WindowClass.style &= ~(CS_DBLCLKS | CS_DROPSHADOW);
    p.WinClassName = WindowClassName();
    // The system's own shadow is a property of the window class: such popups have a class
    // of their own.
    if (CastsShadow() && ActiveToolbarTheme().GetShadowKind() == 1) {
        p.WindowClass.style |= CS_DROPSHADOW;
        p.WinClassName += L"S";
    }
}

RECT TThmPopupWindow::OpenerOnScreen() {
    TBarView* view = View();
    TBarView* parent = view ? view->ParentView() : nullptr;
    if (parent) {
        TBarItemViewer* selected = parent->Selected();
        if (selected && (dynamic_cast<TThmItemViewer*>(selected) || IsChevronPopup()) &&
            !ViewKindIs(GetViewType(parent), vkPopupMenu))
            return ScreenRectOf(parent, selected->BoundsRect);
    }
    if (!IsRectEmpty(&FOpenerRect)) return FOpenerRect;
    // While PopupBelowRect opens the window, before it can keep the rectangle.
    if (auto* root = view ? dynamic_cast<TThmRootItem*>(view->ParentItem()) : nullptr) return root->PopupControlRect();
    return {};
}

void TThmPopupWindow::DestroyShadow() { FShadows.reset(); }

void TThmPopupWindow::CreateShadow() {
    DestroyShadow();
    if (!HandleAllocated()) return;
    const int kind = ActiveToolbarTheme().GetShadowKind();
    const RECT opener = kind == 2 ? OpenerOnScreen() : RECT{};
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    FShadows = std::make_unique<TShadows>(opener, bounds, ShadowDepth, ShadowOpacity, IsLowColorDisplay);
    FShadows->Show(Handle());
}

void TThmPopupWindow::SetVisible(bool value) {
    if (!value) {
        DestroyShadow();
        TBarPopupWindow::SetVisible(false);
        return;
    }
    const HWND wnd = Handle();
    TBarView* view = View();
    TBarView* parent = view ? view->ParentView() : nullptr;
    const int effect = MenuAnimation().GetEffect();
    const bool atOnce = (parent && (parent->State() & tbvsChildPopupDestroyed)) || (view && view->Selected()) ||
                        IsWindowVisible(wnd) || effect == aeNone ||
                        SendMessageW(wnd, TBM_POPUPSTATE, tbpsQueryAnimate, 0) != 0;
    if (atOnce) {
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        PostMessageW(wnd, TBM_POPUPSTATE, tbpsShown, 0);
    } else {
        unsigned directions = AnimationDirection;
        // Unfolding runs downward, or across when the popup slides up or down already.
        if (effect == aeUnfold)
            directions |= (directions & (tbadFromAbove | tbadFromBelow)) ? tbadFromLeft : tbadFromAbove;
        StartPopupAnimation(wnd, effect == aeFade, directions);
    }
    TCustomControl::SetVisible(true);
}

void TThmPopupWindow::PaintFrame(HDC dc, RECT rect) {
    TThmTheme& theme = ActiveToolbarTheme();
    TThmPopupFrameInfo info{};
    info.WindowHandle = HandleAllocated() ? Handle() : nullptr;
    info.ViewKind = ThemeViewKind();
    theme.GetViewBorderSize(info.ViewKind, info.BorderSize);
    RECT window{};
    if (info.WindowHandle) GetWindowRect(info.WindowHandle, &window);
    const RECT opener = OpenerOnScreen();
    if (!IsRectEmpty(&opener)) {
        info.ParentRect = opener;
        OffsetRect(&info.ParentRect, -window.left, -window.top);
    }
    TSavedDC saved(dc);
    ExcludeClipRect(dc, rect.left + info.BorderSize.x, rect.top + info.BorderSize.y, rect.right - info.BorderSize.x,
                    rect.bottom - info.BorderSize.y);
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    theme.PaintPopupFrame(canvas, rect, info);
}

void TThmPopupWindow::PaintScrollArrows() {
    TBarView* view = View();
    if (view && (view->ShowUpArrow() || view->ShowDownArrow())) {
        TBarItemViewer* first = nullptr;
        TBarItemViewer* last = nullptr;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            TBarItemViewer* v = view->Viewers(i);
            if (!v->Show) continue;
            if (!first) first = v;
            last = v;
        }
        TThmItemInfo info{};
        info.ViewKind = vkPopupMenu;
        info.Enabled = true;
        if (view->ViewerCount() > 0) info.ImageColumnWidth = GetPopupImageColumnWidth(view->Viewers(0));
        const RECT client = ClientRect();
        TThmTheme& theme = ActiveToolbarTheme();
        if (view->ShowUpArrow()) {
            const RECT band{client.left, client.top, client.right,
                            first ? first->BoundsRect.top : client.top + ScrollArrowBandHeight};
            theme.PaintPopupItemFrame(Canvas(), band, info);
        }
        if (view->ShowDownArrow()) {
            const RECT band{client.left, last ? last->BoundsRect.bottom : client.bottom - ScrollArrowBandHeight,
                            client.right, client.bottom};
            theme.PaintPopupItemFrame(Canvas(), band, info);
        }
    }
    TBarPopupWindow::PaintScrollArrows();
}

void TThmPopupWindow::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case TBM_POPUPSTATE:
        if ((m.WParam == tbpsAnimationEnded || m.WParam == tbpsShown) && !(ComponentState() & csDestroying) &&
            HandleAllocated() && IsWindowVisible(Handle()) && CastsShadow()) {
            const int kind = ActiveToolbarTheme().GetShadowKind();
            if (kind == 2 || kind == 3) CreateShadow();
        }
        m.Result = 0;
        return;
    case WM_WINDOWPOSCHANGED: {
        TBarPopupWindow::Dispatch(m);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        if (FShadows && pos && FShadows->NeedsRebuild(*pos)) CreateShadow();
        return;
    }
    case WM_ERASEBKGND: {
        if (HandleAllocated() && PopupAnimationRunning(Handle())) StopPopupAnimation(Handle());
        TThmTheme& theme = ActiveToolbarTheme();
        const int kind = ThemeViewKind();
        const TColor fill = theme.GetViewFillColor(kind);
        if (View()) View()->BackgroundColor = fill;
        const RECT client = ClientRect();
        TCanvas canvas;
        TCanvasDCScope scope(canvas, reinterpret_cast<HDC>(m.WParam));
        theme.PaintViewBackground(canvas, client, client, client, fill, false, kind);
        m.Result = 1;
        return;
    }
    case CM_HINTSHOW: {
        TBarPopupWindow::Dispatch(m);
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        auto* viewer = View() ? dynamic_cast<TThmItemViewer*>(View()->Selected()) : nullptr;
        if (m.Result == 0 && info && viewer) viewer->DoHintShow(*info);
        return;
    }
    default: break;
    }
    TBarPopupWindow::Dispatch(m);
}

std::wstring TThmChevronPopupWindow::WindowClassName() { return L"TThmChevronPopupWindow"; }

// --- root item and popup menu ---------------------------------------------------------------------

TBarPopupWindowClass TThmRootItem::GetPopupWindowClass() { return NewPopupWindow<TThmPopupWindow>; }

void TThmRootItem::AdjustPopupPosition(TBarView* parentView, TBarPopupWindow* window, TBarPopupPositionRec& rec) {
    if (IsRectEmpty(&FPopupControlRect)) {
        PlaceThemedPopup(rec, [&] { TBarRootItem::AdjustPopupPosition(parentView, window, rec); });
        return;
    }
    rec.ParentItemRect = FPopupControlRect;
    PlaceThemedPopup(rec, [&] { PlacePopupBelowRect(rec, rec.ParentItemRect); });
}

TBarPopupWindow* TThmRootItem::PopupBelowRect(bool selectFirst, const RECT& controlRect, TBarPopupAlignment alignment) {
    const RECT saved = FPopupControlRect;
    FPopupControlRect = controlRect;
    auto restore = ScopeExit([&] { FPopupControlRect = saved; });
    TBarPopupWindow* window =
        CreatePopup(nullptr, nullptr, false, selectFirst, false, POINT{controlRect.left, controlRect.bottom}, alignment);
    if (auto* themed = dynamic_cast<TThmPopupWindow*>(window)) themed->SetOpenerRect(controlRect);
    return window;
}

TThmPopupMenu::TThmPopupMenu(TComponent* owner) : TThmPopupMenu(owner, NewThemedRootItem) {}

TThmPopupMenu::TThmPopupMenu(TComponent* owner, TRootItemFactory rootItemClass) : TBarPopupMenu(owner, rootItemClass) {}

TThmRootItem* TThmPopupMenu::ThemedItems() const { return dynamic_cast<TThmRootItem*>(Items()); }

TBarCustomItem* PopupMenuBelowRect(TThmPopupMenu* menu, const RECT& rect, bool returnClickedItemOnly) {
    menu->PopupPoint = {rect.left, rect.bottom};
    TThmRootItem* root = menu->ThemedItems();
    if (!root) throw EInvalidOperation(L"PopupMenuBelowRect needs a themed root item");
    const auto alignment = static_cast<TBarPopupAlignment>(menu->Alignment);
    return RunModalPopup([&] { return root->PopupBelowRect(false, rect, alignment); },
                         menu->TrackButton == tbRightButton, returnClickedItemOnly);
}

}  // namespace themed
