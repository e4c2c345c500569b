#include "controls/toolbar/ui/uitoolbar.h"

#include <algorithm>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbmodal.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"
#include "controls/toolbar/ui/uiwindows.h"

namespace ui {

using namespace classlib;
using namespace toolbar;
using namespace themed;

namespace {

TBarChevronItem* NewUiChevronItem(TComponent* owner) { return new TUiChevronItem(owner); }

TBarToolbarView* NewUiToolbarView(TBarCustomToolbar* toolbar, TBarCustomItem* root) {
    return new TUiToolbarView(toolbar, nullptr, root, toolbar, true, false, true);
}

TBarView* NewUiPopupView(TComponent* owner, TBarView* parentView, TBarCustomItem* item, TWinControl* window,
                         bool customizing) {
    return new TUiPopupWindowView(owner, parentView, item, window, false, customizing, false);
}

// The client rectangle of `dock` in the client coordinates of `window`.
RECT DockClientRectIn(TWinControl& window, TBarDock& dock) {
    POINT origin = dock.ClientToScreen(POINT{0, 0});
    origin = window.ScreenToClient(origin);
    return RECT{origin.x, origin.y, origin.x + dock.ClientWidth(), origin.y + dock.ClientHeight()};
}

bool IsDestroying(const TComponent& c) { return (c.ComponentState() & csDestroying) != 0; }

bool Selectable(TBarItemViewer* v) {
    return v->Show && v->Item()->Visible() && (v->Item()->ItemStyle() & tbstSelectable);
}

}  // namespace

// --- layout step -------------------------------------------------------------------------------

TUiLayoutStep::TUiLayoutStep(bool& flag, TBarView* view) : FFlag(flag), FView(view) {
    FFlag = true;
    FView->EnsurePositionsValid();
    FView->BeginUpdate();
}

TUiLayoutStep::~TUiLayoutStep() {
    FView->EndUpdate();
    FFlag = false;
}

// --- non-client painting ------------------------------------------------------------------------

TUiNCPaintDC::TUiNCPaintDC(TWinControl& control, bool drawToDC, HDC dc)
    : FRelease{control.Handle(), drawToDC ? dc : GetWindowDC(control.Handle()), !drawToDC}, FSaved(FRelease.DC) {
    GetWindowRect(control.Handle(), &FWindow);
    const POINT origin = control.ClientToScreen(POINT{0, 0});
    FClient = {origin.x - FWindow.left, origin.y - FWindow.top, origin.x - FWindow.left + control.ClientWidth(),
               origin.y - FWindow.top + control.ClientHeight()};
}

// --- dock ---------------------------------------------------------------------------------------

TUiDock::TUiDock(TComponent* owner) : TThmDock(owner) {}

void TUiDock::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

void TUiDock::PaintBackground(HDC dc, const RECT& rect) {
    if (IsDestroying(*this)) return;
    TCanvas canvas;
    bool paintDefault = true;
    {
        TCanvasDCScope scope(canvas, dc);
        DoDrawBackground(canvas, rect, pstPrePaint, paintDefault);
    }
    if (paintDefault) TThmDock::PaintBackground(dc, rect);
    TCanvasDCScope scope(canvas, dc);
    DoDrawBackground(canvas, rect, pstPostPaint, paintDefault);
}

bool TUiDock::BackgroundInUse() { return OnDrawBackground != nullptr || TThmDock::BackgroundInUse(); }

void TUiDock::Resize() {
    TThmDock::Resize();
    const bool shrunk = Vertical() ? Height() < FLastHeight : Width() < FLastWidth;
    FLastWidth = Width();
    FLastHeight = Height();
    if (!shrunk) return;
    for (int i = 0; i < GetVisibleWindowCount(); ++i)
        if (auto* bar = dynamic_cast<TUiToolbar*>(GetVisibleWindow(i))) bar->Resize();
}

// --- view and chevron ---------------------------------------------------------------------------

void TUiToolbarView::SetMaxItemHeight(int value) {
    if (value == FMaxItemHeight) return;
    FMaxItemHeight = value;
    InvalidatePositions();
    ValidatePositionsIfReady();
}

TBarPopupWindowClass TUiChevronItem::GetPopupWindowClass() { return NewUiChevronPopupWindow; }

// --- toolbar ------------------------------------------------------------------------------------

TUiToolbar::TUiToolbar(TComponent* owner) : TUiToolbar(owner, NewUiChevronItem, NewUiToolbarView) {}

TUiToolbar::TUiToolbar(TComponent* owner, TChevronItemClass chevronItemClass, TToolbarViewClass viewClass)
    : TThmToolbar(owner, chevronItemClass, viewClass) {
    Items()->AddChangeListener(&FRootListener);
}

TUiToolbar::~TUiToolbar() = default;

void TUiToolbar::TearDown() {
    Items()->RemoveChangeListener(&FRootListener);
    TThmToolbar::TearDown();
}

TUiToolbarView* TUiToolbar::UiView() const { return dynamic_cast<TUiToolbarView*>(View()); }

void TUiToolbar::TRootListener::ItemChanged(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action,
                                            int index, TBarCustomItem* item) {
    FOwner->ToolbarItemNotification(ancestor, relayed, action, index, item);
}

void TUiToolbar::SetDisplayMode(TUiToolbarDisplayMode value) {
    if (value == FDisplayMode) return;
    FDisplayMode = value;
    constexpr TBarItemOptions both = tboImageAboveCaption | tboSameWidth;
    SetOptions(static_cast<TBarItemOptions>(value == tbdmImageAboveCaption ? Options() | both : Options() & ~both));
    View()->InvalidatePositions();
    View()->ValidatePositionsIfReady();
}

void TUiToolbar::EndItemLock() {
    if (FItemLockCount > 0) --FItemLockCount;
}

bool TUiToolbar::DoCustomizeMouseDown(TMouseButton, TShiftState, int, int) {
    FDragViewer = nullptr;
    return false;
}

int TUiToolbar::GetRightAlignMargin() {
    int width = 0, height = 0;
    GetDockedNCAreaSize(width, height);
    return OnVerticalDock() ? height : width;
}

bool TUiToolbar::OnVerticalDock() const { return CurrentDock() && CurrentDock()->Vertical(); }

int TUiToolbar::DockLength() const {
    TBarDock* dock = CurrentDock();
    if (!dock) return 0;
    return dock->Vertical() ? dock->ClientHeight() : dock->ClientWidth();
}

void TUiToolbar::RightAlignItems() {
    TBarDock* dock = CurrentDock();
    if (FAligning || Items()->Count() == 0 || !Stretch() || ShrinkMode() != tbsmNone || !dock ||
        (dock->Width() == 0 && dock->Height() == 0))
        return;
    TBarView* view = View();
    TUiLayoutStep step(FAligning, view);
    const bool vertical = OnVerticalDock();
    TUiRightAlignSpacerItem* spacer = nullptr;
    RECT spacerRect{};
    int sum = 0;
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->Viewers(i);
        if (!v->Show || !v->Item()->Visible() || v->Item() == FDeletingItem) continue;
        const RECT& r = v->BoundsRect;
        sum += vertical ? r.bottom - r.top : r.right - r.left;
        if (auto* s = dynamic_cast<TUiRightAlignSpacerItem*>(v->Item()); s && !spacer) {
            spacer = s;
            spacerRect = r;
        }
    }
    if (!spacer) return;
    const int length = vertical ? DockLength() + spacerRect.bottom - GetRightAlignMargin() - sum - spacerRect.top - 6
                                : DockLength() + spacerRect.right - GetRightAlignMargin() - sum - spacerRect.left;
    spacer->SetCustomWidth(std::max(0, length));
}

void TUiToolbar::AnchorItems(bool updateAnchors) {
    TBarDock* dock = CurrentDock();
    if (!dock || (dock->Width() == 0 && dock->Height() == 0) || !Stretch() || ShrinkMode() != tbsmNone) return;
    TBarView* view = View();
    const bool vertical = OnVerticalDock();
    auto farEdge = [vertical](TBarItemViewer* v) { return vertical ? v->BoundsRect.bottom : v->BoundsRect.right; };
    auto lastSelectable = [view]() -> TBarItemViewer* {
        for (int i = view->ViewerCount() - 1; i >= 0; --i)
            if (Selectable(view->Viewers(i))) return view->Viewers(i);
        return nullptr;
    };
    view->EnsurePositionsValid();
    {
        view->BeginUpdate();
        auto endUpdate = ScopeExit([view] { view->EndUpdate(); });
        int delta = 0;
        if (updateAnchors && FLastEdge > 0)
            if (TBarItemViewer* last = lastSelectable()) delta = FLastEdge - farEdge(last);
        const int dockWidth = dock->ClientWidth(), dockHeight = dock->ClientHeight();
        bool changed = false;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            TBarItemViewer* v = view->Viewers(i);
            auto* uv = dynamic_cast<TUiItemViewer*>(v);
            auto* ui = dynamic_cast<TUiCustomItem*>(v->Item());
            if (uv && ui && ui->Anchored()) {
                if (uv->AnchorDockWidth < 0) {
                    uv->AnchorDockWidth = dockWidth;
                    uv->AnchorDockHeight = dockHeight;
                }
                int& recorded = vertical ? uv->AnchorDockHeight : uv->AnchorDockWidth;
                recorded -= delta;
                const int extra = (vertical ? dockHeight : dockWidth) - recorded;
                if (extra != uv->AnchorExtra) {
                    uv->AnchorExtra = extra;
                    changed = true;
                }
                continue;
            }
            auto* controlItem = dynamic_cast<TBarControlItem*>(v->Item());
            TControl* control = controlItem ? controlItem->Control() : nullptr;
            int index = FItemCache.IndexOf(controlItem);
            if (control && (control->Align() == alClient || (control->Anchors() & akRight))) {
                if (index < 0) {
                    index = FItemCache.AddItem(controlItem, control->BoundsRect());
                    FItemCache.Items(index).ParentWidth = dockWidth;
                    FItemCache.Items(index).ParentHeight = dockHeight;
                }
                TUiItemCache& entry = FItemCache.Items(index);
                entry.Width += delta;
                control->SetWidth(entry.Width + dockWidth - entry.ParentWidth);
                changed = true;
            } else if (index >= 0) {
                FItemCache.Delete(index);
            }
        }
        if (changed) view->InvalidatePositions();
    }
    view->EnsurePositionsValid();
    TBarItemViewer* last = lastSelectable();
    FLastEdge = last ? farEdge(last) : 0;
}

bool TUiToolbar::CanItemClick(TBarCustomItem*, TMouseButton, TShiftState, int, int) { return true; }

void TUiToolbar::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

void TUiToolbar::DoItemClick(TBarCustomItem* item, TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft || !item || !item->Enabled() || !(item->ItemStyle() & tbstClicksTransparent)) return;
    if (item->OnClick) item->OnClick(item);
}

void TUiToolbar::ToolbarItemNotification(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action,
                                         int index, TBarCustomItem* item) {
    if ((ComponentState() & (csDestroying | csLoading)) || FInResize || IsItemLocked()) return;
    if (OnItemNotification) OnItemNotification(this, ancestor, relayed, action, index, item);
    switch (action) {
    case tbicInserted:
        RightAlignItems();
        AnchorItems(true);
        break;
    case tbicDeleting: {
        // The item still has its viewer: it does not count toward what remains.
        FItemCache.Delete(FItemCache.IndexOf(item));
        FDeletingItem = item;
        auto done = ScopeExit([this] { FDeletingItem = nullptr; });
        RightAlignItems();
        AnchorItems(true);
        break;
    }
    case tbicInvalidateAndResize: RightAlignItems(); break;
    default: break;
    }
}

void TUiToolbar::Resize() {
    {
        FInResize = true;
        auto done = ScopeExit([this] { FInResize = false; });
        RightAlignItems();
        AnchorItems(true);
    }
    TThmToolbar::Resize();
}

TBarFloatingWindowParentClass TUiToolbar::FloatingParentClass() {
    return []() -> TBarFloatingWindowParent* { return new TUiFloatingWindowParent(nullptr); };
}

void TUiToolbar::MouseMove(TShiftState shift, int x, int y) {
    TThmToolbar::MouseMove(shift, x, y);
    TBarItemViewer* selected = View()->Selected();
    if (!selected || (selected->Item()->EffectiveOptions() & tboLongHintInMenuOnly)) return;
    SetHint(selected->Item()->Hint());
}

void TUiToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (DoCustomizeMouseDown(button, shift, x, y)) return;
    TWinControl* parent = Parent();
    const POINT before = ClientToScreen(POINT{0, 0});
    TBarItemViewer* hit = View()->ViewerAtPoint(POINT{x, y});
    if (!CanItemClick(hit ? hit->Item() : nullptr, button, shift, x, y)) return;
    TThmToolbar::MouseDown(button, shift, x, y);
    if (IsDestroying(*this) || Parent() != parent) return;
    const POINT after = ClientToScreen(POINT{0, 0});
    if (after.x != before.x || after.y != before.y) return;
    // A label is not selected by the view: the item under the press stands for it.
    TBarItemViewer* target = View()->Selected() ? View()->Selected() : View()->ViewerAtPoint(POINT{x, y});
    if (target) DoItemClick(target->Item(), button, shift, x, y);
}

void TUiToolbar::EraseBackground(TMessage& m) {
    const HDC dc = reinterpret_cast<HDC>(m.WParam);
    auto* dock = dynamic_cast<TUiDock*>(CurrentDock());
    if (dock && dock->OnDrawBackground) {
        const RECT r = DockClientRectIn(*this, *dock);
        TCanvas canvas;
        bool paintDefault = true;
        {
            TCanvasDCScope scope(canvas, dc);
            dock->DoDrawBackground(canvas, r, pstPrePaint, paintDefault);
        }
        if (!paintDefault) {
            m.Result = 1;
            return;
        }
        dock->PaintThemedBackground(dc, r, ClientRect());
    }
    if (!OnDrawBackground) {
        TThmToolbar::Dispatch(m);
        return;
    }
    m.Result = 1;
    const RECT r = CurrentDock() ? DockClientRectIn(*this, *CurrentDock()) : ClientRect();
    TCanvas canvas;
    bool paintDefault = true;
    {
        TCanvasDCScope scope(canvas, dc);
        DoDrawBackground(canvas, r, pstPrePaint, paintDefault);
    }
    if (paintDefault) TThmToolbar::Dispatch(m);
    m.Result = 1;
    TCanvasDCScope scope(canvas, dc);
    DoDrawBackground(canvas, r, pstPostPaint, paintDefault);
}

void TUiToolbar::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        if (IsDestroying(*this)) {
            m.Result = 1;
            return;
        }
        EraseBackground(m);
        return;
    case WM_SIZE:
        TThmToolbar::Dispatch(m);
        if (HandleAllocated()) UpdateWindow(Handle());
        return;
    case CM_DIALOGCHAR:
        for (int i = 0; i < Items()->Count(); ++i) {
            auto* item = dynamic_cast<TUiCustomItem*>(Items()->GetItem(i));
            if (item && item->DialogChar(static_cast<wchar_t>(m.WParam))) {
                m.Result = 1;
                return;
            }
        }
        break;
    case CM_HINTSHOW: {
        TThmToolbar::Dispatch(m);
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        if (m.Result != 0 || !info) return;
        auto* viewer = dynamic_cast<TThmItemViewer*>(View()->ViewerAtPoint(info->CursorPos));
        if (viewer) viewer->DoHintShow(*info);
        return;
    }
    default: break;
    }
    TThmToolbar::Dispatch(m);
}

void TUiToolbar::DrawNCArea(bool drawToDC, HDC dc, HRGN region) {
    TThmToolbar::DrawNCArea(drawToDC, dc, region);
    auto* dock = dynamic_cast<TUiDock*>(CurrentDock());
    if (!HandleAllocated() || !dock || !dock->OnDrawBackground) return;
    // The frame around the client area shows the dock's background.
    TUiNCPaintDC paint(*this, drawToDC, dc);
    const HDC target = paint.DC();
    const RECT& window = paint.Window();
    const RECT& client = paint.Client();
    if (!drawToDC && region && region != reinterpret_cast<HRGN>(1)) {
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(clip, region, nullptr, RGN_COPY);
        OffsetRgn(clip, -window.left, -window.top);
        ExtSelectClipRgn(target, clip, RGN_AND);
        DeleteObject(clip);
    }
    ExcludeClipRect(target, client.left, client.top, client.right, client.bottom);
    const POINT dockOrigin = dock->ClientToScreen(POINT{0, 0});
    const RECT dockRect{dockOrigin.x - window.left, dockOrigin.y - window.top,
                        dockOrigin.x - window.left + dock->ClientWidth(),
                        dockOrigin.y - window.top + dock->ClientHeight()};
    PaintDockBackgroundAt(dock, target, dockRect);
}

// --- floating form ------------------------------------------------------------------------------

void TUiFloatingWindowParent::Dispatch(TMessage& m) {
    TThmFloatingWindowParent::Dispatch(m);
    if (m.Msg != WM_ACTIVATEAPP || !HandleAllocated()) return;
    TBarCustomDockableWindow* window = DockableWindow();
    if (window && window->HideWhenInactive()) return;
    if (ActiveThemeHasQuirk(uqRepaintFloatingOnActivation))
        RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

// --- popups -------------------------------------------------------------------------------------

TBarPopupViewClass TUiPopupWindow::ViewClass() { return NewUiPopupView; }

TBarPopupViewClass TUiChevronPopupWindow::ViewClass() { return NewUiPopupView; }

void TUiPopupWindow::TearDown() {
    TBarView* view = View();
    auto* opener = view ? dynamic_cast<TUiCustomItem*>(view->ParentItem()) : nullptr;
    if (opener && opener->OnClosePopup) {
        const TBarDoneActionData& done = view->GetRootView()->DoneAction;
        TBarCustomItem* clicked = done.DoneAction == tbdaClickItem ? done.ClickItem : nullptr;
        // No exception leaves a window's destruction: it goes to the application's report.
        try {
            opener->OnClosePopup(opener, clicked);
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
    TThmPopupWindow::TearDown();
}

TBarPopupWindow* NewUiPopupWindow(TComponent* owner, TBarView* parentView, TBarCustomItem* item, bool customizing) {
    TBarPopupWindow* window = NewPopupWindow<TUiPopupWindow>(owner, parentView, item, customizing);
    auto* ui = dynamic_cast<TUiCustomItem*>(item);
    if (ui && ui->ToolbarStylePopup() && window->View()) {
        window->View()->SetIsToolbar(true);
        window->View()->InvalidatePositions();
    }
    return window;
}

TBarPopupWindow* NewUiChevronPopupWindow(TComponent* owner, TBarView* parentView, TBarCustomItem* item,
                                         bool customizing) {
    TBarPopupWindow* window = NewPopupWindow<TUiChevronPopupWindow>(owner, parentView, item, customizing);
    auto* bar = parentView ? dynamic_cast<TUiToolbar*>(parentView->Window()) : nullptr;
    if (bar && bar->ChevronVertical() && window->View() && window->View()->IsToolbar()) {
        window->View()->SetIsToolbar(false);
        window->View()->InvalidatePositions();
    }
    return window;
}

// --- popup menu ---------------------------------------------------------------------------------

TUiPopupMenu::TUiPopupMenu(TComponent* owner) : TThmPopupMenu(owner) {}

void TUiPopupMenu::DoInitPopup(TBarView* popupView) {
    if (OnInitPopup) OnInitPopup(this, popupView);
}

bool TUiPopupMenu::InternalPopup(int x, int y, bool returnClickedItemOnly, TControl* popupControl,
                                 TBarCustomItem*& clickedItem) {
    PopupPoint = {x, y};
    clickedItem = nullptr;
    bool belowControl = false;
    RECT exclusion{x, y, x, y};
    TWinControl* windowed = nullptr;
    if (popupControl && popupControl->Parent()) {
        const POINT topLeft = popupControl->Parent()->ClientToScreen(POINT{popupControl->Left(), popupControl->Top()});
        exclusion = {topLeft.x, topLeft.y, topLeft.x + popupControl->Width(), topLeft.y + popupControl->Height()};
        belowControl = true;
        windowed = dynamic_cast<TWinControl*>(popupControl);
    }
    // Whatever way the menu ends, the control hears that it closed.
    auto tellControl = ScopeExit([windowed] {
        if (!windowed || !windowed->HandleAllocated()) return;
        const HWND wnd = windowed->Handle();
        PostMessageW(wnd, CM_UIPOPUPCLOSE, 0, 0);
        EnumChildWindows(
            wnd,
            [](HWND child, LPARAM) -> BOOL {
                PostMessageW(child, CM_UIPOPUPCLOSE, 0, 0);
                return TRUE;
            },
            0);
    });
    TThmRootItem* root = ThemedItems();
    const auto alignment = static_cast<TBarPopupAlignment>(Alignment);
    clickedItem = RunModalPopup(
        [&]() -> TBarPopupWindow* {
            TBarPopupWindow* window = belowControl
                                          ? root->PopupBelowRect(false, exclusion, alignment)
                                          : root->CreatePopup(nullptr, nullptr, false, false, false, POINT{x, y},
                                                              alignment);
            if (window && window->View()) DoInitPopup(window->View());
            return window;
        },
        TrackButton == tbRightButton, returnClickedItemOnly);
    return true;
}

TBarCustomItem* TUiPopupMenu::PopupEx(int x, int y, bool returnClickedItemOnly, TControl* popupControl) {
    TBarCustomItem* clicked = nullptr;
    InternalPopup(x, y, returnClickedItemOnly, popupControl, clicked);
    return clicked;
}

void TUiPopupMenu::Popup(int x, int y) { PopupEx(x, y, false, nullptr); }

int ShowSystemMenuPopup(TForm* form, POINT screenPoint, bool sizeable, bool execute, const TUiPopupEvent& onInitPopup,
                        bool closeVisible, bool maximizeVisible, bool minimizeVisible) {
    auto run = [](TForm* owner, TBarCustomItem& items, POINT point, const TUiPopupEvent& onInit) {
        TUiPopupMenu menu(owner);
        menu.SetLinkSubitems(&items);
        menu.SetImages(items.SubMenuImages());
        menu.TrackButton = tbLeftButton;
        if (onInit) menu.OnInitPopup = onInit;
        return menu.PopupEx(point.x, point.y, true, nullptr);
    };
    return ShowSystemMenuPopup(form, screenPoint, sizeable, execute, onInitPopup, closeVisible, maximizeVisible,
                               minimizeVisible, run);
}

// --- drag objects -------------------------------------------------------------------------------

TUiCustomDragObject::TUiCustomDragObject(TUiToolbar* sourceToolbar, TBarCustomItem* item)
    : AcceptedCursor(crUiDragMove), FSourceToolbar(sourceToolbar), FItem(item) {}

TBarItemViewer* ViewerAtPointForDrop(TBarCustomItem* root, TBarView* view, POINT point) {
    TBarItemViewer* viewer = view ? view->ViewerAtPoint(point) : nullptr;
    if (!viewer) return nullptr;
    TBarCustomItem* item = viewer->Item();
    if (item->Parent() == root || item == view->QueryChevronItem()) return viewer;
    // An item of an embedded group: the group's own viewer stands for it.
    for (TBarCustomItem* p = item->Parent(); p; p = p->Parent())
        if (p->Parent() == root) {
            for (int i = 0; i < view->ViewerCount(); ++i)
                if (view->Viewers(i)->Item() == p) return view->Viewers(i);
            return nullptr;
        }
    return nullptr;
}

// --- compound controls --------------------------------------------------------------------------

TUiDock* NewUiDock(TComponent* owner) { return new TUiDock(owner); }
TUiToolbar* NewUiToolbar(TComponent* owner) { return new TUiToolbar(owner); }

TUiCompoundItemsControl::TUiCompoundItemsControl(TComponent* owner)
    : TUiCompoundItemsControl(owner, NewUiDock, NewUiToolbar) {}

TUiCompoundItemsControl::TUiCompoundItemsControl(TComponent* owner, TDockClass dockClass, TToolbarClass toolbarClass)
    : TCustomControl(owner) {
    FDock = dockClass(this);
    FDock->OnRequestDock = [this](TBarDock*, TBarCustomDockableWindow* bar, bool& accept) {
        accept = bar == FToolbar;
    };
    FToolbar = toolbarClass(this);
    FToolbar->SetCompound(true);
    FToolbar->SetBorderStyle(bsNone);
    FToolbar->SetDockMode(dmCannotFloatOrChangeDocks);
    FToolbar->SetDragHandleStyle(toolbar::dhNone);
    FToolbar->SetStretch(true);
    FToolbar->SetShrinkMode(tbsmNone);
    FToolbar->SetShowCaption(false);
    FToolbar->SetHideWhenInactive(false);
    RegisterThemeClient(this);
}

void TUiCompoundItemsControl::SetParent(TWinControl* parent) {
    TCustomControl::SetParent(parent);
    // Dock and toolbar take their place once the control has one: their windows need a
    // parent window.
    if (!parent || !FDock || !FToolbar) return;
    if (FDock->Parent() != this) FDock->SetParent(this);
    if (!FToolbar->CurrentDock()) FToolbar->SetCurrentDock(FDock);
}

TUiCompoundItemsControl::~TUiCompoundItemsControl() = default;

void TUiCompoundItemsControl::TearDown() {
    UnregisterThemeClient(this);
    // The toolbar goes before its dock.
    delete FToolbar;
    FToolbar = nullptr;
    delete FDock;
    FDock = nullptr;
    TCustomControl::TearDown();
}

void TUiCompoundItemsControl::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

TBarRootItem* TUiCompoundItemsControl::Items() const { return FToolbar ? FToolbar->Items() : nullptr; }

TImageList* TUiCompoundItemsControl::Images() const { return FToolbar ? FToolbar->Images() : nullptr; }

void TUiCompoundItemsControl::SetImages(TImageList* value) {
    if (FToolbar) FToolbar->SetImages(value);
}

void TUiCompoundItemsControl::SetThemeType(TUiThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    if (HandleAllocated()) InvalidateBackground();
}

void TUiCompoundItemsControl::InvalidateBackground() {
    if (IsDestroying(*this) || !HandleAllocated()) return;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

void TUiCompoundItemsControl::HandleThemeChange(int change, bool) {
    if (change == tnEndChange && HandleAllocated()) InvalidateBackground();
}

TUiCompoundBar::TUiCompoundBar(TComponent* owner) : TUiCompoundItemsControl(owner) { Init(); }

TUiCompoundBar::TUiCompoundBar(TComponent* owner, TDockClass dockClass, TToolbarClass toolbarClass)
    : TUiCompoundItemsControl(owner, dockClass, toolbarClass) {
    Init();
}

void TUiCompoundBar::Init() {
    TUiDock* dock = Dock();
    SetHeight(dock->Height());
    dock->OnResize = [this](TComponent*) {
        if (!IsDestroying(*this) && Dock() && Height() != Dock()->Height()) SetHeight(Dock()->Height());
    };
    dock->OnDrawBackground = [this](TComponent*, TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                    bool& paintDefault) {
        if (stage != pstPrePaint) return;
        canvas.Brush().SetColor(clBtnFace);
        DoDrawDockBackground(canvas, rect, pstPrePaint, paintDefault);
        bool post = paintDefault;
        DoDrawDockBackground(canvas, rect, pstPostPaint, post);
    };
}

void TUiCompoundBar::DoDrawDockBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                          bool& paintDefault) {
    if (OnDrawDockBackground) OnDrawDockBackground(this, canvas, rect, stage, paintDefault);
}

}  // namespace ui
