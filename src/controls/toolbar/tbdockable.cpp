// The dockable window: state, the dock/float transition, the visibility of floating
// windows and the sizing protocol with the dock.
#include "controls/toolbar/tbdockable.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbfloating.h"

#include <algorithm>
#include <cstdio>

using namespace classlib;

namespace toolbar {

const wchar_t* const STBNoParentWindow = L"コントロール '%s' は親ウィンドウを持っていません";

namespace {

// The floating windows of this thread (a lazy list: null while there are none).
thread_local std::vector<void*>* tFloatingList = nullptr;

std::vector<TBarCustomDockableWindow*> FloatingWindows() {
    std::vector<TBarCustomDockableWindow*> list;
    if (tFloatingList)
        for (void* p : *tFloatingList) list.push_back(static_cast<TBarCustomDockableWindow*>(p));
    return list;
}

constexpr TBarHookKinds FloatingHookKinds = HookKindBit(hkActivate) | HookKindBit(hkActivateApp) |
                                            HookKindBit(hkWindowPosChanged) | HookKindBit(hkDestroying);

// A form's window is showing: visible, and neither it nor a parent up to the first
// top-level window is minimised.
bool FormWindowShowing(TForm* form) {
    if (!form || !form->HandleAllocated()) return false;
    HWND wnd = form->Handle();
    if (!IsWindowVisible(wnd)) return false;
    for (HWND h = wnd; h; h = GetAncestor(h, GA_PARENT)) {
        if (IsIconic(h)) return false;
        if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return true;
}

bool OwnedBy(HWND wnd, HWND owner) {
    for (HWND h = GetWindow(wnd, GW_OWNER); h; h = GetWindow(h, GW_OWNER))
        if (h == owner) return true;
    return false;
}

bool MenuPopupActive() {
    for (HWND h : {GetActiveWindow(), GetFocus()})
        if (TWinControl* c = FindControl(h); c && dynamic_cast<TBarPopupWindowMarker*>(c)) return true;
    return false;
}

TBarFloatingWindowParent* NewFloatingWindowParent() { return new TBarFloatingWindowParent(nullptr); }


}  // namespace

TBarCustomDockableWindow* DockableWindowOf(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (auto* w = dynamic_cast<TBarCustomDockableWindow*>(c)) return w;
    return nullptr;
}

TBarCustomDockableWindow::TBarCustomDockableWindow(TComponent* owner) : TCustomControl(owner) {
    FControlStyle = (FControlStyle | csAcceptsControls | csClickEvents | csSetCaption | csDoubleClicks) &
                    ~(csCaptureMouse | csOpaque);
}

TBarCustomDockableWindow::~TBarCustomDockableWindow() {
    // After a deletion TearDown has done this; a window destroyed without delete leaves its
    // floating parent first, so that the parent does not free it again.
    if (FFloatParent) {
        if (FParent == FFloatParent) TCustomControl::SetParent(nullptr);
        delete FFloatParent;
        FFloatParent = nullptr;
    }
    RemoveFromLazyList(tFloatingList, this);
    UnregisterHookCallback(this, FloatingWindowHookCallback);
}

void TBarCustomDockableWindow::TearDown() {
    RemoveFromLazyList(tFloatingList, this);
    TCustomControl::TearDown();
    if (FFloatParent) {
        delete FFloatParent;
        FFloatParent = nullptr;
    }
    UnregisterHookCallback(this, FloatingWindowHookCallback);
}

void TBarCustomDockableWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TBarDockableWindow";
    params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
    if (!Parent()) {
        // Asked for a window before it has a place (controls put into it before it is
        // docked need one): a hidden top-level window, replaced once it is placed.
        params.Style = (params.Style & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    }
}

// --- owner form ------------------------------------------------------------------------

TForm* TBarCustomDockableWindow::FindOwnerForm() {
    if (auto* fp = dynamic_cast<TBarFloatingWindowParent*>(FParent)) return fp->ParentForm();
    if (FParent)
        if (TForm* f = GetParentForm(this)) return f;
    return dynamic_cast<TForm*>(Owner());
}

TForm* TBarCustomDockableWindow::RequireOwnerForm() {
    if (TForm* f = FindOwnerForm()) return f;
    wchar_t text[512];
    std::swprintf(text, std::size(text), STBNoParentWindow, Name().c_str());
    throw EInvalidOperation(text);
}

// --- properties ------------------------------------------------------------------------

void TBarCustomDockableWindow::ArrangeDock() {
    if (FCurrentDock) FCurrentDock->ArrangeWindows();
}

void TBarCustomDockableWindow::SetCurrentDock(TBarDock* value) {
    if (ComponentState() & csLoading) return;
    if (value)
        SetParent(value);
    else
        SetParent(RequireOwnerForm());
}

void TBarCustomDockableWindow::SetDockRow(int value) {
    FDockRow = value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetDockPos(int value) {
    FDockPos = value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetFullSize(bool value) {
    if (value == FFullSize) return;
    FFullSize = value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetStretch(bool value) {
    if (value == FStretch) return;
    FStretch = value;
    ArrangeDock();
}

void TBarCustomDockableWindow::SetAutoResize(bool value) {
    if (value == FAutoResize) return;
    FAutoResize = value;
    if (value) Rearrange();
}

void TBarCustomDockableWindow::SetCloseButton(bool value) {
    if (value == FCloseButton) return;
    FCloseButton = value;
    if (FFloating && FFloatParent) FFloatParent->RedrawNCArea(fpCaption | fpCloseButton);
}

void TBarCustomDockableWindow::SetCloseButtonWhenDocked(bool value) {
    if (value == FCloseButtonWhenDocked) return;
    FCloseButtonWhenDocked = value;
    if (Docked()) {
        // The strip changes its size: the frame and the row change with it.
        RefreshFrame();
        ArrangeDock();
    }
}

void TBarCustomDockableWindow::SetBorderStyle(TFormBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    if (Docked()) RefreshFrame();
}

void TBarCustomDockableWindow::SetDragHandleStyle(TBarDragHandleStyle value) {
    if (value == FDragHandleStyle) return;
    FDragHandleStyle = value;
    if (Docked()) {
        RefreshFrame();
        ArrangeDock();
    }
}

void TBarCustomDockableWindow::SetShowCaption(bool value) {
    if (value == FShowCaption) return;
    FShowCaption = value;
    if (FFloating && FFloatParent && FFloatParent->HandleAllocated()) {
        SetWindowPos(FFloatParent->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Rearrange();
    }
}

void TBarCustomDockableWindow::SetResizable(bool value) {
    if (value == FResizable) return;
    FResizable = value;
    // The floating frame's style follows; its window (and ours inside it) stays.
    if (FFloating && FFloatParent && FFloatParent->HandleAllocated()) {
        HWND wnd = FFloatParent->Handle();
        LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
        style = value ? (style | WS_THICKFRAME) : (style & ~static_cast<LONG_PTR>(WS_THICKFRAME));
        SetWindowLongPtrW(wnd, GWL_STYLE, style);
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Rearrange();
    }
}

void TBarCustomDockableWindow::SetFloatingMode(TBarFloatingMode value) {
    if (value == FFloatingMode) return;
    FFloatingMode = value;
    if (HandleAllocated()) ShowingChanged();
}

void TBarCustomDockableWindow::SetHideWhenInactive(bool value) {
    if (value == FHideWhenInactive) return;
    FHideWhenInactive = value;
    RefreshShownState();
}

void TBarCustomDockableWindow::SetDefaultDock(TBarDock* value) { FDefaultDock = value; }

void TBarCustomDockableWindow::SetLastDock(TBarDock* value) {
    if (FUseLastDock && FCurrentDock) value = FCurrentDock;
    if (value == FLastDock) return;
    TBarDock* old = FLastDock;
    if (old && old != FParent) old->AlterWindowList(false, this);
    FLastDock = value;
    if (value) {
        FUseLastDock = true;
        value->AlterWindowList(true, this);
    }
}

void TBarCustomDockableWindow::SetUseLastDock(bool value) {
    FUseLastDock = value;
    SetLastDock(value ? FCurrentDock : nullptr);
}

void TBarCustomDockableWindow::SetFloatingPosition(POINT value) {
    FFloatingPosition = value;
    if (FFloating && FFloatParent) {
        FFloatParent->SetBounds(value.x, value.y, FFloatParent->Width(), FFloatParent->Height());
        // A position saved on a monitor that is gone must not lose the window.
        KeepOnScreen(true);
    }
}

void TBarCustomDockableWindow::SetFloating(bool value) {
    if (value == FFloating) return;
    if (!value) {
        SetParent(RequireOwnerForm());
        return;
    }
    TForm* form = RequireOwnerForm();
    if (!FFloatParent || FFloatParent->ParentForm() != form) {
        TBarFloatingWindowParent* fp = FloatingParentClass()();
        auto fail = ScopeFail([fp] { delete fp; });
        fp->SetParentForm(form);
        fp->SetDockableWindow(this);
        wchar_t name[64];
        std::swprintf(name, std::size(name), L"NBFloatingWindowParent_%.8llx",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(fp)));
        fp->SetName(name);
        fp->SetText(GetText());
        fp->SetBorderStyle(bsToolWindow);
        fp->HandleNeeded();
        fp->SetClientSize(ClientWidth(), ClientHeight());
        fp->SetShowHint(true);
        fp->SetVisible(true);
        if (FFloatParent && FFloatParent != FParent) FFloatParent->Abandon();
        FFloatParent = fp;
    }
    SetParent(FFloatParent);
    SetBounds(0, 0, Width(), Height());
}

// --- the transition --------------------------------------------------------------------

void TBarCustomDockableWindow::RefreshParentState() {
    FCurrentDock = dynamic_cast<TBarDock*>(FParent);
    FFloating = dynamic_cast<TBarFloatingWindowParent*>(FParent) != nullptr;
}

// The floating list and the hook go together: the hook's events matter only to floating
// windows, and a hook of the thread makes every message sent inside it dearer.
void TBarCustomDockableWindow::UpdateFloatingList() {
    if (FFloating) {
        AddToLazyList(tFloatingList, this);
        RegisterHookCallback(this, FloatingWindowHookCallback, FloatingHookKinds);
        if (FFloatParent) {
            FFloatParent->SetBounds(FFloatingPosition.x, FFloatingPosition.y, FFloatParent->Width(),
                                    FFloatParent->Height());
            KeepOnScreen(true);
        }
    } else {
        RemoveFromLazyList(tFloatingList, this);
        UnregisterHookCallback(this, FloatingWindowHookCallback);
    }
}

void TBarCustomDockableWindow::SetParent(TWinControl* value) {
    if (value == FParent) {
        RefreshParentState();
        UpdateFloatingList();
        return;
    }
    const bool destroying = (ComponentState() & csDestroying) != 0;
    auto* newDock = dynamic_cast<TBarDock*>(value);
    const bool toFloating = dynamic_cast<TBarFloatingWindowParent*>(value) != nullptr;
    if (!destroying && value) {
        if (OnDockChanging) OnDockChanging(this, toFloating, newDock);
        if (OnRecreating) OnRecreating(this);
    }
    {
        // Hidden while it moves; the guards below come undone in reverse order: the own
        // update counter, the internal resize, the new dock, the old dock, then the window
        // shows again.
        ++FHideCount;
        ++FDisableOnMove;
        auto unhide = ScopeExit([this] {
            --FHideCount;
            --FDisableOnMove;
            RefreshShownState();
        });
        RefreshShownState();
        TBarDock* oldDock = FCurrentDock;
        auto* oldFloatParent = dynamic_cast<TBarFloatingWindowParent*>(FParent);
        if (oldDock) oldDock->BeginUpdate();
        auto unlockOld = ScopeExit([oldDock] {
            if (oldDock) oldDock->EndUpdate();
        });
        if (newDock) newDock->BeginUpdate();
        auto unlockNew = ScopeExit([newDock] {
            if (newDock) newDock->EndUpdate();
        });
        ++FInternalResize;
        auto lowerResize = ScopeExit([this] { --FInternalResize; });
        if (value) FireDockChangingHidden(toFloating, newDock);
        BeginUpdate();
        auto endUpdate = ScopeExit([this] { EndUpdate(); });
        FShrunkLength = 0;

        if (oldDock) {
            if (!(FUseLastDock && FLastDock == oldDock)) oldDock->AlterWindowList(false, this);
            oldDock->AlterShownList(this, true);
        }
        {
            // The window itself moves: a parent without a window yet gets one first.
            auto restore = ScopeFail([this] { RefreshParentState(); });
            if (value && HandleAllocated() && !value->HandleAllocated()) value->HandleNeeded();
            TCustomControl::SetParent(value);
            FArrangedRow = -1;
        }
        RefreshParentState();
        // (A window being destroyed frees its floating form itself, in TearDown.)
        if (oldFloatParent && oldFloatParent != value && !destroying) {
            if (!FSmoothDragging) {
                if (oldFloatParent == FFloatParent) FFloatParent = nullptr;
                oldFloatParent->Abandon();
            } else {
                // Kept for the rest of a smooth drag (the window may float again), hidden.
                oldFloatParent->SetShouldShow(false);
                oldFloatParent->UpdateShowing();
            }
        }
        if (newDock) {
            if (FUseLastDock && !FSmoothDragging) {
                SetLastDock(newDock);
                newDock->AlterShownList(this, false);
            } else {
                newDock->AlterWindowList(true, this);
            }
        }
        UpdateFloatingList();
        Rearrange();
    }
    if (FParent) NotifyMoved();
    if (!destroying && value) {
        if (OnRecreated) OnRecreated(this);
        if (OnDockChanged) OnDockChanged(this);
    }
}

void TBarCustomDockableWindow::Loaded() {
    TCustomControl::Loaded();
    if (FFloating) KeepOnScreen(true);
    LoadedHook();
    Rearrange();
}

// --- sizing ----------------------------------------------------------------------------

void TBarCustomDockableWindow::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0 && FRearrangePending) Rearrange();
}

bool TBarCustomDockableWindow::AutoSizeWanted() const { return FAutoResize && (Docked() || FFloating); }

void TBarCustomDockableWindow::Rearrange() {
    if (FUpdateCount > 0 || (ComponentState() & (csLoading | csDestroying)) || !FParent) {
        FRearrangePending = true;
        return;
    }
    FRearrangePending = false;
    SIZE size{};
    LayoutContent(true, GetDockKind(FCurrentDock, FFloating), FFloating, FCurrentDock, size);
    if (AutoSizeWanted()) ResizeToContent(size.cx, size.cy);
}

void TBarCustomDockableWindow::ResizeToContent(int width, int height) {
    if (Docked()) {
        FCurrentDock->ArrangeWindows();
        return;
    }
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    width += ncWidth;
    height += ncHeight;
    if (!FFloating) {
        const TAnchors a = Anchors();
        if ((a & akLeft) && (a & akRight)) width = Width();
        if ((a & akTop) && (a & akBottom)) height = Height();
    }
    ++FInternalResize;
    auto lower = ScopeExit([this] { --FInternalResize; });
    SetBounds(Left(), Top(), width, height);
}

void TBarCustomDockableWindow::SetBounds(int left, int top, int width, int height) {
    const bool sized = width != Width() || height != Height();
    if (sized && FInternalResize == 0) BeforeSizeChange(width, height);
    if (FFloating && FFloatParent && FParent == FFloatParent) {
        // Floating: the floating form takes the new size around the window, which stays at
        // 0, 0 inside it.
        const RECT client = FFloatParent->ClientRect();
        FFloatParent->SetBounds(FFloatParent->Left(), FFloatParent->Top(),
                                FFloatParent->Width() + width - (client.right - client.left),
                                FFloatParent->Height() + height - (client.bottom - client.top));
        TCustomControl::SetBounds(0, 0, width, height);
        return;
    }
    TCustomControl::SetBounds(left, top, width, height);
}

int TBarCustomDockableWindow::DragHandleSizeFor(TBarDock* dock) const {
    if (!dock || !dock->AllowDrag()) return 0;
    if (FCloseButtonWhenDocked) return 14;
    switch (FDragHandleStyle) {
    case dhDouble: return 9;
    case dhSingle: return 6;
    default: return 0;
    }
}

SIZE TBarCustomDockableWindow::DockedFrameSizeFor(TBarDock* dock) const {
    if (!dock) return {0, 0};
    SIZE size{4, 4};
    (dock->Vertical() ? size.cy : size.cx) += DragHandleSizeFor(dock);
    return size;
}

RECT TBarCustomDockableWindow::FloatingFrameMargins() {
    SIZE border{};
    GetFloatingFrameSize(border);
    const int caption = FShowCaption ? GetSystemMetrics(SM_CYSMCAPTION) : 0;
    return {border.cx, border.cy + caption, border.cx, border.cy};
}

// --- what derived windows answer ---------------------------------------------------------

void TBarCustomDockableWindow::GetDockedNCAreaSize(int& width, int& height) {
    if (!Docked()) {
        width = height = 0;
        return;
    }
    const SIZE frame = DockedFrameSizeFor(FCurrentDock);
    width = frame.cx;
    height = frame.cy;
}

bool TBarCustomDockableWindow::AcceptsDock(TBarDock* dock) {
    return dock && (FDockableTo & DockableToBit(dock->Position())) != 0;
}

void TBarCustomDockableWindow::PointOverChildControl(POINT point, bool& found) {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || IgnoresChildForDrag(c)) continue;
        const RECT r = c->BoundsRect();
        if (PtInRect(&r, point)) {
            found = true;
            return;
        }
    }
}

void TBarCustomDockableWindow::GetCloseButtonRect(bool vertical, RECT& rect) {
    const int s = DragHandleSize() - 3;
    if (vertical) {
        const int x = ClientWidth() - s + 2;
        rect = {x, 3, x + s, 3 + s};
    } else {
        rect = {3, 2, 3 + s, 2 + s};
    }
}

void TBarCustomDockableWindow::GetMinRowLength(int&) {}

void TBarCustomDockableWindow::GetClientSizeLimits(int&, int&, int&, int&) {}

TBarShrinkMode TBarCustomDockableWindow::QueryShrinkMode() { return tbsmNone; }

void TBarCustomDockableWindow::BeforeSizeChange(int, int) {}

void TBarCustomDockableWindow::GetFloatingFrameSize(SIZE& size) {
    if (FResizable)
        size = {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    else
        size = {GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
}

bool TBarCustomDockableWindow::IgnoresChildForDrag(TControl*) { return false; }

void TBarCustomDockableWindow::FireDockChangingHidden(bool floating, TBarDock* dockingTo) {
    if (ComponentState() & csDestroying) return;
    if (OnDockChangingHidden) OnDockChangingHidden(this, floating, dockingTo);
}

TBarFloatingWindowParentClass TBarCustomDockableWindow::FloatingParentClass() { return NewFloatingWindowParent; }

// --- floating windows --------------------------------------------------------------------

bool TBarCustomDockableWindow::WantsToBeShown() {
    if (!FVisible || FHideCount > 0 || !FParent) return false;
    if (!FFloating) return true;
    if (FFloatingMode == fmOnTopOfParentForm) {
        TForm* form = FFloatParent ? FFloatParent->ParentForm() : nullptr;
        if (!FormWindowShowing(form)) return false;
    }
    if (FHideWhenInactive && !IsAnyWindowActive()) return false;
    return true;
}

void TBarCustomDockableWindow::RefreshShownState() {
    if (!HandleAllocated()) return;
    bool visible = (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
    if (FFloating && FFloatParent && FFloatParent->HandleAllocated())
        visible = visible && IsWindowVisible(FFloatParent->Handle());
    if (visible != WantsToBeShown())
        ShowingChanged();
    else if (visible && FFloating)
        RefreshCaptionActive();
}

void TBarCustomDockableWindow::CMShowingChanged(TMessage&) { ShowingChanged(); }

void TBarCustomDockableWindow::ShowingChanged() {
    if (!HandleAllocated()) return;
    const bool show = WantsToBeShown();
    if (FFloating && FFloatParent) {
        TBarFloatingWindowParent* fp = FFloatParent;
        HWND fpWnd = fp->Handle();
        if (show) {
            HWND owner = nullptr;
            if (FFloatingMode == fmOnTopOfAllForms) {
                owner = Application ? Application->Handle() : nullptr;
            } else if (TForm* form = ResolveMDIChildForm(fp->ParentForm()); form && form->HandleAllocated()) {
                owner = form->Handle();
            }
            if (owner && GetWindow(fpWnd, GW_OWNER) != owner) {
                SetWindowLongPtrW(fpWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
                // Above the form and the form's other owned windows, below anything else
                // that lies above the form.
                HWND after = HWND_TOP;
                for (HWND h = GetWindow(owner, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
                    if (h == fpWnd || OwnedBy(h, owner)) continue;
                    after = h;
                    break;
                }
                SetWindowPos(fpWnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            RefreshCaptionActive();
        }
        SyncTopmost();
        const bool wasActive = GetActiveWindow() == fpWnd;
        fp->SetShouldShow(show);
        fp->UpdateShowing();
        if (!show && wasActive) {
            if (HWND other = FindActivatableWindow(fp->ParentForm())) SetActiveWindow(other);
        }
    }
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TBarCustomDockableWindow::SyncTopmost() {
    if (!FFloatParent || !FFloatParent->HandleAllocated()) return;
    HWND wnd = FFloatParent->Handle();
    bool wanted;
    if (FFloatingMode == fmOnTopOfAllForms) {
        wanted = Enabled();
    } else {
        HWND owner = GetWindow(wnd, GW_OWNER);
        wanted = owner && (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    const bool topmost = (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (wanted != topmost)
        SetWindowPos(wnd, wanted ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TBarCustomDockableWindow::RefreshCaptionActive() {
    if (!FFloating || !FFloatParent || !HandleAllocated() || !FFloatParent->HandleAllocated()) return;
    if (MenuPopupActive()) return;
    HWND fpWnd = FFloatParent->Handle();
    HWND active = GetActiveWindow();
    bool isActive = false;
    if (active) {
        if (FFloatingMode == fmOnTopOfAllForms || (Application && GetWindow(fpWnd, GW_OWNER) == Application->Handle())) {
            isActive = true;
        } else {
            if (active == fpWnd) {
                TForm* form = ResolveMDIChildForm(FFloatParent->ParentForm());
                active = form && form->HandleAllocated() ? form->Handle() : nullptr;
            }
            for (HWND h = fpWnd; h && !isActive; h = GetParent(h)) isActive = h == active;
        }
    }
    if (isActive == FCaptionInactive) {
        FCaptionInactive = !isActive;
        FFloatParent->RedrawNCArea(fpAll);
    }
}

void TBarCustomDockableWindow::FloatingWindowHookCallback(TBarHookKind kind, HWND wnd, WPARAM, LPARAM lParam) {
    switch (kind) {
    case hkActivate:
    case hkActivateApp:
        for (TBarCustomDockableWindow* w : FloatingWindows()) w->RefreshShownState();
        break;
    case hkWindowPosChanged: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos || !(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) break;
        for (TBarCustomDockableWindow* w : FloatingWindows()) {
            if (w->FFloatingMode != fmOnTopOfParentForm || !w->FFloatParent) continue;
            TForm* form = w->FFloatParent->ParentForm();
            if (!form || !form->HandleAllocated()) continue;
            if (form->Handle() == wnd || IsChild(wnd, form->Handle())) w->RefreshShownState();
        }
        break;
    }
    case hkDestroying:
        // A floating form owned by a window that goes would go with it: the application
        // window takes it over.
        for (TBarCustomDockableWindow* w : FloatingWindows()) {
            if (!w->FFloatParent || !w->FFloatParent->HandleAllocated() || !Application) continue;
            HWND fpWnd = w->FFloatParent->Handle();
            if (GetWindow(fpWnd, GW_OWNER) == wnd)
                SetWindowLongPtrW(fpWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Application->Handle()));
        }
        break;
    default: break;
    }
}

void TBarCustomDockableWindow::OwnerFormFreed() {
    if (FFloatParent) {
        FFloatParent->SetShouldShow(false);
        FFloatParent->UpdateShowing();
    }
}

void TBarCustomDockableWindow::KeepOnScreen(bool onlyWhenOutside) {
    if (!FFloating || !FFloatParent) return;
    const RECT r = FFloatParent->BoundsRect();
    const RECT work = GetMonitorRectFromRect(r, true);
    RECT common;
    const bool intersects = IntersectRect(&common, &r, &work) != FALSE;
    RECT moved;
    if (!onlyWhenOutside || !intersects) {
        moved = KeepRectInside(r, work);
    } else {
        // Partly on screen: it stays unless too little is left to reach its caption.
        SIZE border{};
        GetFloatingFrameSize(border);
        moved = KeepOutlineReachable(r, work, border, FloatingFrameMargins().top);
    }
    if (!EqualRect(&moved, &r)) {
        FFloatParent->SetBounds(moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top);
        FFloatingPosition = {moved.left, moved.top};
    }
}

// --- actions ---------------------------------------------------------------------------

void TBarCustomDockableWindow::Close() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    Hide();
    if (OnClose) OnClose(this);
}

void TBarCustomDockableWindow::NotifyMoved() {
    if (FDisableOnMove == 0 && OnMove) OnMove(this);
}

void TBarCustomDockableWindow::RefreshFrame() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TBarCustomDockableWindow::RedrawWithFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TBarCustomDockableWindow::CMVisibleChanged(TMessage& m) {
    TCustomControl::CMVisibleChanged(m);
    if (FCurrentDock) FCurrentDock->AlterShownList(this, false);
    if (OnVisibleChanged) OnVisibleChanged(this);
}

void TBarCustomDockableWindow::CMTextChanged(TMessage& m) {
    TCustomControl::CMTextChanged(m);
    if (FFloatParent) FFloatParent->SetText(GetText());
}

void TBarCustomDockableWindow::CMColorChanged(TMessage& m) {
    TCustomControl::CMColorChanged(m);
    RedrawWithFrame();
}

}  // namespace toolbar
