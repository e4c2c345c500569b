#include "controls/toolbar/tbpopup.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbacc.h"
#include "controls/toolbar/tbanim.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbmodal.h"

#include <mmsystem.h>

#include <algorithm>
#include <memory>

namespace toolbar {

using namespace classlib;

namespace {

// Set once the first popup with a sound has shown: that one paints before its sound plays.
bool gFirstPopupShown = false;

bool Overlaps(const RECT& a, const RECT& b) {
    RECT r;
    return IntersectRect(&r, &a, &b) != FALSE;
}

int CoveredViewers(const RECT& popup, const std::vector<RECT>& viewers) {
    int n = 0;
    for (const RECT& v : viewers)
        if (v.left >= popup.left && v.top >= popup.top && v.right <= popup.right && v.bottom <= popup.bottom) ++n;
    return n;
}

struct TMenuFontHolder {
    TFont Font;
    TMenuFontHolder() { Read(); }
    void Read() {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            Font.AssignLogFont(metrics.lfMenuFont);
    }
};

TMenuFontHolder& MenuFontHolder() {
    if (Application) return Application->ProcessObject<TMenuFontHolder>();
    // Without an application object (never in the program): made on first use.
    static TMenuFontHolder holder;
    return holder;
}

TBarView* NewPopupView(TComponent* owner, TBarView* parentView, TBarCustomItem* item, TWinControl* window,
                       bool customizing) {
    return new TBarPopupView(owner, parentView, item, window, false, customizing, false);
}

}  // namespace

RECT ScreenRectOf(TBarView* view, const RECT& r) {
    RECT s = r;
    if (view->Window() && view->Window()->HandleAllocated())
        MapWindowPoints(view->Window()->Handle(), nullptr, reinterpret_cast<POINT*>(&s), 2);
    return s;
}

TFont& MenuFont() { return MenuFontHolder().Font; }

void RefreshMenuFont() { MenuFontHolder().Read(); }

// --- placement ---------------------------------------------------------------------------

bool PlacePopup(TBarPopupPositionRec& rec, const TBarPopupParentInfo& parent) {
    const RECT& M = rec.MonitorRect;
    const RECT& P = rec.ParentItemRect;
    int& X = rec.X;
    int& Y = rec.Y;
    const int W = rec.W, H = rec.H;
    const auto at = [&](int x, int y) { return RECT{x, y, x + W, y + H}; };
    const auto covered = [&](const RECT& r) { return CoveredViewers(r, parent.ViewerRects); };

    // Vertical fit: above the item (a sub-menu: bottom level with it) when it does not fit below.
    if (!parent.Vertical) {
        if (Y + H > M.bottom) {
            const int other = rec.PositionAsSubmenu ? P.bottom + rec.NCSizeY - H : P.top - H;
            if (other >= M.top) Y = other;
        }
        if (Y + H > M.bottom) Y = M.bottom - H;
        if (Y < M.top) Y = M.top;
    }

    bool openedLeft = false;
    if (!rec.PositionAsSubmenu) {
        const bool atPoint = !parent.Exists;
        if (atPoint && rec.Alignment == tbpaRight && X < M.left) X += W;
        if (X + W > M.right) {
            if (atPoint && rec.Alignment == tbpaLeft)
                X -= W;
            else
                X = M.right - W;
        }
        if (X < M.left) X = M.left;
        if (!parent.Vertical) {
            const int above = P.top - H;
            if (above >= M.top && (covered(at(X, above)) < covered(at(X, Y)) || Overlaps(at(X, Y), P))) Y = above;
            if (Overlaps(at(X, Y), P)) {
                X = P.right + W > M.right ? P.left - W : P.right;
                if (X < M.left) X = M.left;
            }
        } else {
            if (P.right + W <= M.right && (covered(at(P.right, Y)) < covered(at(X, Y)) || Overlaps(at(X, Y), P)))
                X = P.right;
            if (Overlaps(at(X, Y), P)) {
                Y = P.bottom + H > M.bottom ? P.top - H : P.bottom;
                if (Y < M.top) Y = M.top;
            }
        }
    } else {
        const int rightX = X;
        const int leftX = parent.Exists ? P.left + rec.NCSizeX - W : X - W;
        bool opposite = rec.Opposite;
        if (opposite && leftX < M.left) opposite = false;  // no room on the left: try the right again
        if (opposite || rightX + W > M.right) {
            X = leftX;
            openedLeft = true;
        }
        rec.Opposite = opposite;
        if (X < M.left) X = M.left;
    }

    // Fits nowhere: inside the work area, the left and top edges first.
    if (X + W > M.right) X = M.right - W;
    if (X < M.left) X = M.left;
    if (Y + H > M.bottom) Y = M.bottom - H;
    if (Y < M.top) Y = M.top;

    rec.AnimDir = 0;
    if (!rec.PositionAsSubmenu) {
        if (Y + H <= P.top)
            rec.AnimDir |= tbpdUp;
        else if (Y >= P.bottom)
            rec.AnimDir |= tbpdDown;
        if (X + W <= P.left)
            rec.AnimDir |= tbpdLeft;
        else if (X >= P.right)
            rec.AnimDir |= tbpdRight;
    } else {
        rec.AnimDir = X + W / 2 < (P.left + P.right) / 2 ? tbpdLeft : tbpdRight;
    }
    return openedLeft;
}

// --- items -------------------------------------------------------------------------------

TBarPopupWindowClass TBarCustomItem::GetPopupWindowClass() { return NewPopupWindow<TBarPopupWindow>; }

void TBarCustomItem::AdjustPopupPosition(TBarView* parentView, TBarPopupWindow* window, TBarPopupPositionRec& rec) {
    TBarPopupParentInfo parent;
    if (parentView) {
        parent.Exists = true;
        parent.Vertical = parentView->Orientation() == tbvoVertical;
        for (int i = 0; i < parentView->ViewerCount(); ++i) {
            TBarItemViewer* v = parentView->Viewers(i);
            if (v->Show) parent.ViewerRects.push_back(ScreenRectOf(parentView, v->BoundsRect));
        }
    }
    if (PlacePopup(rec, parent) && window) window->View()->SetState(window->View()->State() | tbvsOpenedLeft);
}

TBarPopupWindow* TBarCustomItem::CreatePopup(TBarView* parentView, TBarItemViewer* parentViewer,
                                             bool positionAsSubmenu, bool selectFirstItem, bool customizing,
                                             POINT popupPoint, TBarPopupAlignment alignment) {
    if (TBarCustomItem* link = LinkSubitems()) link->DoPopup(this, true);
    DoPopup(this, false);

    TBarView* chevronSource = ChevronSourceView();
    TBarCustomItem* shown = chevronSource ? chevronSource->ParentItem() : this;
    const bool opposite = parentView && (parentView->State() & tbvsOpenedLeft);
    std::unique_ptr<TBarPopupWindow> window(GetPopupWindowClass()(nullptr, parentView, shown, customizing));
    TBarView* view = window->View();
    if (chevronSource) {
        view->SetChevronParentView(chevronSource);
        view->SetIsToolbar(true);
        view->SetStyle(view->Style() | (chevronSource->Style() & tbvstItemHints));
        view->RebuildViewers();
        window->SetColor(clBtnFace);
    }

    RECT itemRect, monitor;
    if (parentView && parentViewer) {
        parentView->EnsurePositionsValid();
        itemRect = ScreenRectOf(parentView, parentViewer->BoundsRect);
        monitor = parentView->MonitorRect;
        if (IsRectEmpty(&monitor)) monitor = GetMonitorRectFromRect(itemRect, true);
    } else {
        itemRect = {popupPoint.x, popupPoint.y, popupPoint.x, popupPoint.y};
        monitor = GetMonitorRectFromPoint(popupPoint, true);
    }
    view->MonitorRect = monitor;
    const SIZE border = window->GetBorderSize();
    if (chevronSource)
        view->SetWrapOffset((monitor.right - monitor.left) - 2 * border.cx);
    else
        view->SetMaxHeight((monitor.bottom - monitor.top) - 2 * border.cy);
    if (selectFirstItem) view->Select(view->FirstSelectable(), false);
    SIZE total{};
    view->RecalcPositions(total);

    TBarPopupPositionRec rec;
    rec.PositionAsSubmenu = positionAsSubmenu;
    rec.Alignment = alignment;
    rec.Opposite = opposite;
    rec.MonitorRect = monitor;
    rec.ParentItemRect = itemRect;
    rec.NCSizeX = border.cx;
    rec.NCSizeY = border.cy;
    rec.W = window->Width();
    rec.H = window->Height();
    const bool verticalParent = parentView && parentView->Orientation() == tbvoVertical;
    if (!parentView) {
        rec.X = popupPoint.x - (alignment == tbpaRight ? rec.W : alignment == tbpaCenter ? rec.W / 2 : 0);
        rec.Y = popupPoint.y;
    } else if (positionAsSubmenu) {
        rec.X = itemRect.right - border.cx;
        rec.Y = itemRect.top - border.cy;
    } else if (chevronSource) {
        if (verticalParent) {
            rec.X = itemRect.left - rec.W;
            rec.Y = itemRect.top;
        } else {
            rec.X = itemRect.right - rec.W;
            rec.Y = itemRect.bottom;
        }
    } else if (verticalParent) {
        rec.X = itemRect.left - rec.W;
        rec.Y = itemRect.top;
    } else {
        rec.X = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? itemRect.right - rec.W : itemRect.left;
        rec.Y = itemRect.bottom;
    }
    AdjustPopupPosition(parentView, window.get(), rec);
    window->AnimationDirection = rec.AnimDir;
    window->SetBounds(rec.X, rec.Y, rec.W, rec.H);

    if (parentView && parentViewer) {
        parentView->SetOpenPopup(parentViewer, view, window.get());
        if (parentView->IsToolbar()) {
            // The button shows pushed before its menu appears.
            parentView->SetState(parentView->State() | tbvsMenuMode);
            parentView->InvalidateViewer(parentViewer);
            if (parentView->Window() && parentView->Window()->HandleAllocated()) parentView->Window()->Update();
        }
    }

    view->SetState(view->State() | tbvsDrawSelectedInOrder);
    if (!rec.PlaySound || !SoundSchemeHasSound(L"MenuPopup")) {
        window->SetVisible(true);
    } else {
        const DWORD flags = SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP;
        if (!gFirstPopupShown) {
            window->SetVisible(true);
            window->Update();
            PlaySoundW(L"MenuPopup", nullptr, flags);
        } else {
            PlaySoundW(L"MenuPopup", nullptr, flags);
            window->SetVisible(true);
        }
        gFirstPopupShown = true;
    }
    NotifyAccessibilityEvent(EVENT_SYSTEM_MENUPOPUPSTART, window->Handle(), OBJID_CLIENT, CHILDID_SELF);
    if (view->Selected()) view->NotifyFocusEvent();
    return window.release();
}

TBarCustomItem* RunModalPopup(const std::function<TBarPopupWindow*()>& open, bool trackRightButton,
                              bool returnClickedItemOnly) {
    TBarDoneActionData done;
    {
        TBarModalHandler handler(nullptr);
        std::unique_ptr<TBarPopupWindow> popup(open());
        TBarView* view = popup->View();
        // The release of the click that opened the menu is not a choice.
        view->SetState(view->State() | tbvsIgnoreNextRelease);
        handler.SetPopupWindow(popup.get());
        auto after = ScopeExit([&] {
            handler.SetPopupWindow(nullptr);
            view->SetState(view->State() & ~tbvsModal);
            popup.reset();
        });
        handler.RunLoop(view, false, false, false, trackRightButton);
        done = view->DoneAction;
    }
    return ExecuteDoneAction(done, returnClickedItemOnly);
}

TBarCustomItem* TBarCustomItem::PopupModal(bool selectFirst, bool trackRightButton, bool returnClickedItemOnly,
                                           TBarPopupAlignment alignment, POINT point) {
    return RunModalPopup(
        [&] { return CreatePopup(nullptr, nullptr, false, selectFirst, false, point, alignment); },
        trackRightButton, returnClickedItemOnly);
}

TBarCustomItem* TBarCustomItem::PopupAt(int x, int y, bool trackRightButton, TBarPopupAlignment alignment,
                                        bool returnClickedItemOnly) {
    return PopupModal(false, trackRightButton, returnClickedItemOnly, alignment, POINT{x, y});
}

// --- the popup view and window -----------------------------------------------------------

void TBarPopupView::ResizeWindow(int width, int height) {
    auto* window = dynamic_cast<TBarPopupWindow*>(Window());
    if (!window) return;
    const SIZE border = window->GetBorderSize();
    window->SetBounds(window->Left(), window->Top(), width + 2 * border.cx, height + 2 * border.cy);
}

TFont& TBarPopupView::QueryFont() { return Window() ? Window()->Font() : TBarView::QueryFont(); }

TBarPopupWindow::TBarPopupWindow(TComponent* owner) : TCustomControl(owner) {
    TWinControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
    FControlStyle &= ~csCaptureMouse;
    SetShowHint(true);
    SetColor(clMenu);
}

TBarPopupViewClass TBarPopupWindow::ViewClass() { return NewPopupView; }

void TBarPopupWindow::Initialize(TBarView* parentView, TBarCustomItem* item, bool customizing) {
    Font().Assign(parentView ? parentView->QueryFont() : MenuFont());
    FView = ViewClass()(this, parentView, item, this, customizing);
    FView->SetState(FView->State() | tbvsModal);
    if (parentView) {
        FView->SetStyle((FView->Style() & ~tbvstHiddenAccels) | (parentView->Style() & tbvstHiddenAccels));
        FView->SetState((FView->State() & ~tbvsAccelsShown) | (parentView->State() & tbvsAccelsShown));
    } else {
        FView->SetStyle(FView->Style() | tbvstHiddenAccels);
    }
}

TBarPopupWindow::~TBarPopupWindow() {
    if (FView) FView->CloseChildPopups();
    DestroyHandle();
    delete FView;
    FView = nullptr;
}

void TBarPopupWindow::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = (p.Style & ~(WS_CHILD | WS_GROUP | WS_TABSTOP)) | WS_POPUP;
    p.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    p.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
    p.WinClassName = L"TBarPopupWindow";
    p.WndParent = Application && Application->Handle() ? Application->Handle() : GetDesktopWindow();
}

void TBarPopupWindow::CreateWnd() {
    TCustomControl::CreateWnd();
    if (FUIStateInitialized || !FView || FView->ParentView()) return;
    FUIStateInitialized = true;
    SendMessageW(FHandle, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    const LRESULT state = SendMessageW(FHandle, WM_QUERYUISTATE, 0, 0);
    FView->SetAccelsVisibility((state & UISF_HIDEACCEL) == 0);
}

void TBarPopupWindow::DestroyWindowHandle() {
    if (FHandle) {
        StopPopupAnimation(FHandle);
        if (FView) FView->StopAllTimers();
        NotifyAccessibilityEvent(EVENT_SYSTEM_MENUPOPUPEND, FHandle, OBJID_CLIENT, CHILDID_SELF);
    }
    TCustomControl::DestroyWindowHandle();
}

void TBarPopupWindow::SetVisible(bool value) {
    if (value) {
        const HWND wnd = Handle();
        if (!IsWindowVisible(wnd)) {
            bool animated = false;
            BOOL animation = FALSE;
            SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animation, 0);
            TBarView* parent = FView ? FView->ParentView() : nullptr;
            if (animation && FView && !FView->Selected() && !(parent && (parent->State() & tbvsChildPopupDestroyed))) {
                BOOL fade = FALSE;
                SystemParametersInfoW(SPI_GETMENUFADE, 0, &fade, 0);
                if ((fade || AnimationDirection) && SendMessageW(wnd, TBM_POPUPSTATE, tbpsQueryAnimate, 0) == 0) {
                    StartPopupAnimation(wnd, fade != FALSE, AnimationDirection);
                    animated = true;
                }
            }
            if (!animated) {
                SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
                SendNotifyMessageW(wnd, TBM_POPUPSTATE, tbpsShown, 0);
            }
        }
    } else if (FHandle) {
        StopPopupAnimation(FHandle);
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
    TCustomControl::SetVisible(value);
}

void TBarPopupWindow::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETOBJECT: {
        LRESULT result = 0;
        if (FView && HandleViewWMGetObject(FView, m.WParam, m.LParam, result)) {
            m.Result = result;
            return;
        }
        break;
    }
    case WM_ERASEBKGND:
    case WM_PAINT:
        if (FHandle && PopupAnimationRunning(FHandle)) StopPopupAnimation(FHandle);
        break;
    case TBM_ANIMATIONSTEP:
        ProcessAnimationStep(FHandle, m.LParam);
        m.Result = 0;
        return;
    case TBM_ANIMATIONENDED:
        SendNotifyMessageW(FHandle, TBM_POPUPSTATE, tbpsAnimationEnded, 0);
        m.Result = 0;
        return;
    case TBM_POPUPSTATE:
    case WM_CLOSE:
        m.Result = 0;
        return;
    case WM_MOUSEACTIVATE:
        // A menu never takes the activation from the window it belongs to.
        m.Result = MA_NOACTIVATE;
        return;
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(m.LParam);
        const SIZE border = GetBorderSize();
        InflateRect(r, -border.cx, -border.cy);
        if (r->right < r->left) r->right = r->left;
        if (r->bottom < r->top) r->bottom = r->top;
        m.Result = 0;
        return;
    }
    case WM_NCPAINT: {
        m.Result = 0;
        const TWindowDC dc(FHandle, GetWindowDC(FHandle));
        if (!dc.Handle()) return;
        ClipToNCUpdateRegion(FHandle, dc.Handle(), reinterpret_cast<HRGN>(m.WParam));
        RECT r;
        GetWindowRect(FHandle, &r);
        OffsetRect(&r, -r.left, -r.top);
        PaintFrame(dc.Handle(), r);
        return;
    }
    case WM_PRINT:
        m.Result = HandlePrintMessage(FHandle, m.WParam, m.LParam, FramePainter, reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT:
        m.Result = HandlePrintClientMessage(this, m.WParam);
        return;
    case CM_HINTSHOW: {
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        TBarItemViewer* selected = FView ? FView->Selected() : nullptr;
        if (!selected || !info) {
            m.Result = 1;
            return;
        }
        info->CursorRect = selected->BoundsRect;
        info->HintStr = selected->BuildHint();
        m.Result = 0;
        return;
    }
    default: break;
    }
    TCustomControl::Dispatch(m);
}

void TBarPopupWindow::FramePainter(HWND wnd, HDC dc, LPARAM self) {
    RECT r;
    GetWindowRect(wnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    reinterpret_cast<TBarPopupWindow*>(self)->PaintFrame(dc, r);
}

void TBarPopupWindow::PaintFrame(HDC dc, RECT r) {
    if (FlatMenusActive()) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        TGdiObject<HBRUSH> face(CreateSolidBrush(ColorToRGB(Color())));
        for (int i = 0; i < 2; ++i) {
            InflateRect(&r, -1, -1);
            FrameRect(dc, &r, face.Handle());
        }
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void TBarPopupWindow::Paint() {
    if (!FView) return;
    FView->DrawSubitems(Canvas());
    PaintScrollArrows();
}

void TBarPopupWindow::PaintScrollArrows() {
    const RECT client = ClientRect();
    const HDC dc = Canvas().Handle();
    const HBRUSH brush = GetSysColorBrush(COLOR_MENUTEXT);
    const int cx = (client.left + client.right) / 2;
    const auto band = [&](int bandTop, bool up) {
        const int top = bandTop + (ScrollArrowBandHeight - 4) / 2;
        for (int i = 0; i < 4; ++i) {
            const int half = up ? i : 3 - i;
            RECT row{cx - half, top + i, cx + half + 1, top + i + 1};
            FillRect(dc, &row, brush);
        }
    };
    if (FView->ShowUpArrow()) band(client.top, true);
    if (FView->ShowDownArrow()) band(client.bottom - ScrollArrowBandHeight, false);
}

// --- the popup menu component ------------------------------------------------------------

namespace {
TBarRootItem* NewRootItem(TComponent* owner) { return new TBarRootItem(owner); }
}  // namespace

TBarPopupMenu::TBarPopupMenu(TComponent* owner) : TBarPopupMenu(owner, NewRootItem) {}

TBarPopupMenu::TBarPopupMenu(TComponent* owner, TRootItemFactory rootItemClass) : TPopupMenu(owner) {
    FItem = rootItemClass(this);
    FItem->SetRootParentComponent(this);
    FItem->SetOnClick([this](TComponent* sender) { RootItemClick(sender); });
}

TBarPopupMenu::~TBarPopupMenu() { delete FItem; }

void TBarPopupMenu::RootItemClick(TComponent* sender) {
    if (OnPopup) OnPopup(sender == FItem ? this : sender);
}

void TBarPopupMenu::Popup(int x, int y) { PopupEx(x, y, false); }

TBarCustomItem* TBarPopupMenu::PopupEx(int x, int y, bool returnClickedItemOnly) {
    PopupPoint = {x, y};
    return FItem->PopupAt(x, y, TrackButton == tbRightButton, static_cast<TBarPopupAlignment>(Alignment),
                          returnClickedItemOnly);
}

bool TBarPopupMenu::IsShortCut(WORD key, LPARAM keyData) { return FItem->ProcessShortCut(key, keyData); }

}  // namespace toolbar
