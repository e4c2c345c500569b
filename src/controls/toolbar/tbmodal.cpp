#include "controls/toolbar/tbmodal.h"

#include "classlib/application.h"
#include "classlib/control.h"
#include "classlib/scopeguard.h"
#include "classlib/utilwindow.h"
#include "controls/toolbar/tbacc.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbpopup.h"
#include "controls/toolbar/tbview.h"

#include <imm.h>

#include <atomic>
#include <climits>
#include <vector>

namespace toolbar {

using namespace classlib;

namespace {

constexpr UINT WM_KEYF1 = 0x4D;
constexpr UINT WM_SYSTIMER = 0x118;
constexpr LONG StalePosition = INT_MIN;

// The cursor position the loop last saw (screen); X = StalePosition: take it again.
POINT gLastPos{StalePosition, 0};
int gForegroundLocks = 0;

using TLockSetForegroundWindow = BOOL(WINAPI*)(UINT);

TLockSetForegroundWindow LockSetForegroundWindowEntry() {
    static std::atomic<TLockSetForegroundWindow> entry{nullptr};
    static std::atomic<bool> looked{false};
    if (!looked.load()) {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        entry.exchange(user ? reinterpret_cast<TLockSetForegroundWindow>(
                                  reinterpret_cast<void*>(GetProcAddress(user, "LockSetForegroundWindow")))
                            : nullptr);
        looked.store(true);
    }
    return entry.load();
}

POINT MessagePos() {
    const DWORD pos = GetMessagePos();
    return {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

// The screen point of a mouse message (client coordinates of its window).
POINT ScreenPointOf(const MSG& msg) {
    POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (msg.message == WM_MOUSEWHEEL) return p;  // already on the screen
    ClientToScreen(msg.hwnd, &p);
    return p;
}

TBarPopupWindow* PopupWindowAt(HWND wnd) {
    for (HWND h = wnd; h; h = GetParent(h))
        if (auto* popup = dynamic_cast<TBarPopupWindow*>(FindControl(h))) return popup;
    return nullptr;
}

// The open chain, root first.
std::vector<TBarView*> OpenChain(TBarView* root) {
    std::vector<TBarView*> chain;
    for (TBarView* v = root; v; v = v->OpenView()) chain.push_back(v);
    return chain;
}

TBarView* DeepestView(TBarView* root) {
    TBarView* v = root;
    while (v->OpenView()) v = v->OpenView();
    return v;
}

// From the deepest view to the root (only the tracking one while one tracks the mouse).
void UpdateAllViews(TBarView* root, const POINT* point, bool allowNewSelection) {
    const std::vector<TBarView*> chain = OpenChain(root);
    TBarView* tracking = nullptr;
    for (auto it = chain.rbegin(); it != chain.rend() && !tracking; ++it)
        if ((*it)->MouseTracking()) tracking = *it;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        // A selection above may have closed the views below it: go on only with live ones
        // (compared as addresses: a closed view is gone).
        bool open = *it == root;
        for (TBarView* v = root; v && !open; v = v->OpenView()) open = v == *it;
        if (!open) continue;
        if (!tracking || *it == tracking) (*it)->UpdateSelection(point, allowNewSelection);
    }
}

struct TMouseTarget {
    TBarView* View = nullptr;
    TBarItemViewer* Viewer = nullptr;
};

TMouseTarget MouseTarget(TBarView* root) {
    for (TBarView* v = root; v; v = v->OpenView())
        if (v->MouseTracking()) return {v, v->Selected()};
    for (TBarView* v = root; v; v = v->OpenView()) {
        if (v->Selected() && v->MouseOverSelected()) return {v, v->Selected()};
        if (v->State() & tbvsMouseInWindow) return {v, nullptr};
    }
    return {};
}

void CancelHint() {
    if (Application) Application->CancelHint();
}

void UpdateCursorAndHint(TBarView* root) {
    UpdateAllViews(root, &gLastPos, true);
    TBarView* deepest = DeepestView(root);
    TBarItemViewer* selected = deepest->Selected();
    bool tracking = false;
    for (TBarView* v = root; v; v = v->OpenView()) tracking = tracking || v->MouseTracking();
    if (selected && ((deepest->Style() & tbvstItemHints) || (selected->Item()->EffectiveOptions() & tboShowHint)) &&
        !tracking && deepest->Window() && deepest->Window()->HandleAllocated()) {
        deepest->Window()->Update();
        if (Application) Application->DoMouseIdle();
    } else {
        CancelHint();
    }
    HCURSOR cursor = nullptr;
    if (selected) selected->QueryCursor(selected->ScreenToViewer(gLastPos), cursor);
    ::SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
}

void UpdateStatusHint(TBarView* root) {
    std::wstring hint;
    for (TBarView* v = root; v; v = v->OpenView())
        if (TBarItemViewer* s = v->Selected()) hint = GetLongHint(s->Item()->Hint());
    if (Application) Application->SetHint(hint);
}

}  // namespace

void InvalidateMenuCursorPosition() { gLastPos.x = StalePosition; }

int MenuForegroundLockCount() { return gForegroundLocks; }

// --- the handler's resources ---------------------------------------------------------------

TBarModalHandler::TForegroundLock::TForegroundLock() {
    if (auto lock = LockSetForegroundWindowEntry()) {
        lock(LSFW_LOCK);
        FLocked = true;
        ++gForegroundLocks;
    }
}

TBarModalHandler::TForegroundLock::~TForegroundLock() {
    if (!FLocked) return;
    if (auto lock = LockSetForegroundWindowEntry()) lock(LSFW_UNLOCK);
    --gForegroundLocks;
}

TBarModalHandler::TCapture::TCapture(HWND wnd) : FWnd(wnd) {
    if (FWnd) ::SetCapture(FWnd);
}

TBarModalHandler::TCapture::~TCapture() {
    if (FWnd && GetCapture() == FWnd) ReleaseCapture();
}

TBarModalHandler::TMenuEvents::TMenuEvents(HWND wnd) : FWnd(wnd) {
    NotifyAccessibilityEvent(EVENT_SYSTEM_MENUSTART, FWnd, OBJID_CLIENT, CHILDID_SELF);
}

TBarModalHandler::TMenuEvents::~TMenuEvents() {
    NotifyAccessibilityEvent(EVENT_SYSTEM_MENUEND, FWnd, OBJID_CLIENT, CHILDID_SELF);
}

HWND TBarModalHandler::MakeOwnWindow(TBarModalHandler* self, std::unique_ptr<TUtilWindow>& holder) {
    // A hidden top-level window: it can hold the capture.
    holder = std::make_unique<TUtilWindow>(
        [self](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg == WM_CANCELMODE) self->CancelModeOfPopup();
            return false;
        },
        TUtilWindow::ukTopLevel);
    return holder->Handle();
}

TBarModalHandler::TBarModalHandler(HWND wnd)
    : FWnd(wnd ? wnd : MakeOwnWindow(this, FOwnWindow)),
      FMenuEvents(FWnd),
      FCapture(FWnd) {
    if (gLastPos.x == StalePosition) gLastPos = MessagePos();
    ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

TBarModalHandler::~TBarModalHandler() = default;

void TBarModalHandler::CancelModeOfPopup() {
    if (!FPopupWindow) return;
    try {
        FPopupWindow->View()->CancelMode();
    } catch (...) {
        if (Application) Application->HandleException(nullptr);
    }
}

// --- the loop ----------------------------------------------------------------------------------

void TBarModalHandler::RunLoop(TBarView* root, bool mouseDown, bool executeSelected, bool fromAccessibility,
                               bool trackRightButton) {
    root->DoneAction = TBarDoneActionData{};
    root->EnsurePositionsValid();
    root->CaptureWnd = FWnd;
    gLastPos = MessagePos();
    auto cleanup = ScopeExit([root] {
        root->CancelCapture();
        root->CaptureWnd = nullptr;
        CancelHint();
        if (Application) Application->SetHint(L"");
        DiscardMessageRange(WM_CHAR, WM_DEADCHAR);
        DiscardMessageRange(WM_SYSCHAR, WM_SYSDEADCHAR);
        DiscardMessageRange(WM_KEYF1, WM_KEYF1);
    });

    bool mouseDownOnMenu = false;
    if (mouseDown) {
        if (TBarItemViewer* selected = root->Selected()) {
            const POINT p = selected->ScreenToViewer(gLastPos);
            selected->MouseDown(0, p.x, p.y, mouseDownOnMenu);
            if (root->IsModalEnding()) return;
        }
        // The press that opened the menu is no press on an open menu.
        mouseDownOnMenu = false;
    } else if (executeSelected) {
        root->ExecuteSelected(!fromAccessibility);
        if (root->IsModalEnding()) return;
    }

    const HWND active = GetActiveWindow();
    const auto running = [&] { return GetCapture() == FWnd && GetActiveWindow() == active && !root->IsModalEnding(); };
    const auto rightTracked = [&](UINT m) { return trackRightButton && (m == WM_RBUTTONDOWN || m == WM_RBUTTONUP); };

    while (running()) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        // The program is ending: the quit message stays for the ordinary loop.
        if (msg.message == WM_QUIT) break;

        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) {
            const POINT p = ScreenPointOf(msg);
            const HWND under = WindowFromPoint(p);
            TBarPopupWindow* popup = PopupWindowAt(under);
            if (!popup || !root->ContainsView(popup->View())) {
                const HWND rootWnd =
                    root->Window() && root->Window()->HandleAllocated() ? root->Window()->Handle() : nullptr;
                // Outside the chain: the press stays queued and reaches what was clicked.
                if (root->IsPopup() || under != rootWnd) break;
                POINT client = p;
                ScreenToClient(rootWnd, &client);
                RECT clientRect;
                GetClientRect(rootWnd, &clientRect);
                if (!PtInRect(&clientRect, client)) break;
                if (msg.message == WM_LBUTTONDOWN) {
                    UpdateAllViews(root, &p, true);
                    TBarItemViewer* s = root->Selected();
                    if (!s || !root->MouseOverSelected() || (s->Item()->ItemStyle() & tbstClicksTransparent)) break;
                }
            }
        }

        if (!PeekMessageW(&msg, nullptr, msg.message, msg.message, PM_REMOVE | PM_NOYIELD)) continue;

        switch (msg.message) {
        case WM_KEYF1:
        case WM_CONTEXTMENU:
        case WM_SYSTIMER:
            break;
        case WM_TIMER: {
            TBarPopupWindow* popup = dynamic_cast<TBarPopupWindow*>(FindControl(msg.hwnd));
            if (popup && msg.wParam >= tbTimerBase && msg.wParam <= tbTimerBase + tbtkScrollDown)
                popup->View()->TimerTick(static_cast<int>(msg.wParam - tbTimerBase));
            else
                DispatchMessageW(&msg);
            break;
        }
        case WM_MOUSEMOVE: {
            const POINT p = ScreenPointOf(msg);
            if (p.x != gLastPos.x || p.y != gLastPos.y) {
                gLastPos = p;
                UpdateCursorAndHint(root);
            }
            const TMouseTarget t = MouseTarget(root);
            if (t.Viewer) {
                const POINT v = t.Viewer->ScreenToViewer(p);
                t.Viewer->MouseMove(v.x, v.y);
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            const UINT m = msg.message;
            if ((m == WM_RBUTTONDOWN || m == WM_RBUTTONUP) && !rightTracked(m)) break;
            const POINT p = ScreenPointOf(msg);
            if (m == WM_LBUTTONUP || m == WM_RBUTTONUP) {
                UpdateAllViews(root, &p, false);
                const TMouseTarget t = MouseTarget(root);
                if (t.Viewer) {
                    const POINT v = t.Viewer->ScreenToViewer(p);
                    t.Viewer->MouseUp(v.x, v.y, mouseDownOnMenu);
                } else if (!t.View || (t.View == root && root->IsToolbar())) {
                    if (root->State() & tbvsIgnoreNextRelease)
                        root->SetState(root->State() & ~tbvsIgnoreNextRelease);
                    else
                        root->EndModal();
                }
                break;
            }
            CancelHint();
            mouseDownOnMenu = false;
            root->SetState(root->State() & ~tbvsIgnoreNextRelease);
            UpdateAllViews(root, &p, true);
            const TMouseTarget t = MouseTarget(root);
            if (t.Viewer) {
                const POINT v = t.Viewer->ScreenToViewer(p);
                t.Viewer->MouseDown(m == WM_LBUTTONDBLCLK ? ssDouble : 0, v.x, v.y, mouseDownOnMenu);
            }
            gLastPos = MessagePos();
            break;
        }
        case WM_MOUSEWHEEL: {
            const POINT p = ScreenPointOf(msg);
            const int delta = GET_WHEEL_DELTA_WPARAM(msg.wParam);
            const TMouseTarget t = MouseTarget(root);
            bool handled = false;
            if (t.Viewer) {
                const POINT v = t.Viewer->ScreenToViewer(p);
                t.Viewer->MouseWheel(delta, v.x, v.y, handled);
            }
            if (!handled && t.View) {
                POINT c = p;
                if (t.View->Window() && t.View->Window()->HandleAllocated()) c = t.View->Window()->ScreenToClient(p);
                t.View->MouseWheel(delta, c.x, c.y);
            }
            break;
        }
        default:
            if (msg.message >= WM_KEYFIRST && msg.message <= 0x109) {
                CancelHint();
                const bool buttonHeld =
                    GetKeyState(VK_LBUTTON) < 0 || (trackRightButton && GetKeyState(VK_RBUTTON) < 0);
                if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
                    WORD key = static_cast<WORD>(msg.wParam);
                    if (key == VK_PROCESSKEY) key = static_cast<WORD>(ImmGetVirtualKey(msg.hwnd));
                    if (buttonHeld && key != VK_F1) break;
                    TBarView* deepest = DeepestView(root);
                    const TShiftState shift = KeyboardStateToShiftState();
                    if (TBarItemViewer* s = deepest->Selected()) s->KeyDown(key, shift);
                    if (key != 0) deepest->KeyDown(key, shift);
                    if (key != 0 && !root->IsModalEnding()) TranslateMessage(&msg);
                } else if ((msg.message == WM_CHAR || msg.message == WM_SYSCHAR) && !buttonHeld) {
                    TBarView* deepest = DeepestView(root);
                    const wchar_t ch = static_cast<wchar_t>(msg.wParam);
                    bool onlyOne = false;
                    if (TBarItemViewer* hit = deepest->NextSelectableWithAccel(deepest->Selected(), ch, false, onlyOne)) {
                        deepest->Select(hit, false);
                        deepest->ScrollSelectedIntoView();
                        if (onlyOne) deepest->ExecuteSelected(true);
                    } else if ((ch == L' ' || ch == L'-') && deepest == root && !root->IsPopup() && GetActiveWindow()) {
                        root->EndModalWithSystemMenu(GetActiveWindow(), ch);
                    } else {
                        MessageBeep(0);
                    }
                }
            } else if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
                // Other buttons do nothing while a menu is open.
            } else {
                DispatchMessageW(&msg);
            }
            break;
        }

        if (!running()) break;
        if (gLastPos.x == StalePosition) {
            gLastPos = MessagePos();
            UpdateCursorAndHint(root);
        }
        UpdateStatusHint(root);
    }
}

}  // namespace toolbar
