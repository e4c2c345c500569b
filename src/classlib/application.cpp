#include "classlib/application.h"

#include "classlib/actions.h"
#include "classlib/dragdrop.h"
#include "classlib/form.h"
#include "classlib/hintwindow.h"
#include "classlib/menus.h"
#include "classlib/runtime.h"
#include "classlib/screen.h"
#include "classlib/thread.h"
#include "classlib/timer_p.h"

#include <algorithm>

namespace classlib {

TApplication* Application = nullptr;

// Defined in dragdrop.cpp: the drag state machine sees mouse and key messages first.
bool DragProcessMessage(MSG& msg);

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

}  // namespace

std::wstring GetShortHint(const std::wstring& hint) {
    size_t p = hint.find(L'|');
    return p == std::wstring::npos ? hint : hint.substr(0, p);
}

std::wstring GetLongHint(const std::wstring& hint) {
    size_t p = hint.find(L'|');
    return p == std::wstring::npos ? hint : hint.substr(p + 1);
}

std::wstring GetInheritedHint(TControl* c) {
    for (; c; c = c->Parent())
        if (!c->Hint().empty()) return c->Hint();
    return {};
}

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    Screen = new TScreen();
    TProcessSetup::Note(L"+screen");
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(inst, L"TApplication", &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TApplication::WndProc;
        wc.hInstance = inst;
        wc.hIcon = LoadIconW(inst, L"MAINICON");
        if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"TApplication";
        RegisterClassExW(&wc);
    }
    // The title is the program's file name without its extension until SetTitle.
    std::wstring title = ExeName();
    title = title.substr(title.find_last_of(L"\\/") + 1);
    if (size_t dot = title.rfind(L'.'); dot != std::wstring::npos) title.resize(dot);
    FHandle = CreateWindowExW(0, L"TApplication", title.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, inst, this);
    FUtilWindow = std::make_unique<TUtilWindow>([](UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
        if (msg != WM_TIMER) return false;
        DispatchTimer(static_cast<UINT_PTR>(wp));
        result = 0;
        return true;
    });
    TProcessSetup::Note(L"+utility window");
    HintWindowClass = [] { return new THintWindow(nullptr); };
    HWND wnd = FHandle;
    FPrevWake = SetWakeMainThread([wnd] { PostMessageW(wnd, CM_SYNCHRONIZE, 0, 0); });
    FPrevExceptionHandler = SetExceptionHandler([this](TComponent* sender) { ShowCurrentException(sender); });
}

TApplication::~TApplication() {
    SetWakeMainThread(std::move(FPrevWake));
    SetExceptionHandler(std::move(FPrevExceptionHandler));
    CancelHint();
    delete FHintWindow;
    FHintWindow = nullptr;
    Destroying();
    DestroyComponents();
    {
        // Deferred calls still queued are dropped.
        std::lock_guard<std::mutex> guard(FCallLock);
        FCalls.clear();
    }
    // Process objects, last made first: they may use the objects made before them. Each
    // leaves the list before it goes, so its destructor may still look objects up.
    while (!FProcessObjects.empty()) {
        std::shared_ptr<void> object = std::move(FProcessObjects.back().second);
        FProcessObjects.pop_back();
        object.reset();
    }
    FUtilWindow.reset();
    TProcessSetup::Note(L"-utility window");
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
        FHandle = nullptr;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, CM_DEFERREDCALL, CM_DEFERREDCALL, PM_REMOVE)) {
    }
    delete Screen;
    Screen = nullptr;
    TProcessSetup::Note(L"-screen");
    // So are reports of exceptions that no loop will show any more.
    DiscardQueuedExceptions();
    if (Application == this) Application = nullptr;
    // FSetup, the first member, undoes the process setup after this.
}

void* TApplication::FindProcessObject(const void* key) const {
    for (const auto& [k, object] : FProcessObjects)
        if (k == key) return object.get();
    return nullptr;
}

void TApplication::AddProcessObject(const void* key, std::shared_ptr<void> object) {
    FProcessObjects.emplace_back(key, std::move(object));
}

std::wstring TApplication::Title() const {
    if (!FHandle) return {};
    int n = GetWindowTextLengthW(FHandle);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    int got = GetWindowTextW(FHandle, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

void TApplication::SetTitle(const std::wstring& v) {
    if (FHandle) SetWindowTextW(FHandle, v.c_str());
}

std::wstring TApplication::ExeName() const {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), Win32Size<DWORD>(buf.size()));
        if (n == 0) RaiseLastOSError();
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

LRESULT CALLBACK TApplication::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<TApplication*>(cs->lpCreateParams)->FHandle = wnd;
    }
    auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!app) return DefWindowProcW(wnd, msg, wp, lp);
    try {
        return app->AppWndProc(msg, wp, lp);
    } catch (...) {
        HandleCurrentException(app);
        return 0;
    }
}

LRESULT TApplication::AppWndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case CM_SYNCHRONIZE:
        CheckSynchronize();
        return 0;
    case CM_DEFERREDCALL:
        RunQueuedCall();
        return 0;
    case CM_RELEASE: {
        auto* f = reinterpret_cast<TForm*>(lp);
        auto it = std::find(FPendingRelease.begin(), FPendingRelease.end(), f);
        if (it != FPendingRelease.end()) {
            FPendingRelease.erase(it);
            delete f;
        }
        return 0;
    }
    case WM_TIMER:
        if (wp == kHintShowTimer) {
            HintTimerExpired();
            return 0;
        }
        if (wp == kHintHideTimer) {
            KillTimer(FHandle, kHintHideTimer);
            HideHint();
            return 0;
        }
        break;
    case WM_CLOSE:
        if (FMainForm) FMainForm->Close();
        return 0;
    case WM_ACTIVATEAPP:
        FActive = wp != 0;
        if (!FActive) CancelHint();
        if (FActive && OnActivate) OnActivate(this);
        if (!FActive && OnDeactivate) OnDeactivate(this);
        return 0;
    case WM_COMMAND:
        // Popup menus opened with the application window as owner report here too.
        return 0;
    default: break;
    }
    return DefWindowProcW(FHandle, msg, wp, lp);
}

void TApplication::Run() {
    if (FMainForm && ShowMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
    if (!FTerminated) PostQuitMessage(0);
}

void TApplication::HandleMessage() {
    MSG msg{};
    if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

bool TApplication::ProcessMessage(MSG& msg) {
    // Reports the funnel queued (during painting or destruction) show here, one at a time:
    // before looking for a message, and after handling one.
    ReportQueuedExceptions();
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    try {
        bool handled = false;
        if (OnMessage) OnMessage(msg, handled);
        if (!handled && !DragProcessMessage(msg) && !IsHintMsg(msg) && !IsMDIMsg(msg) && !IsKeyMsg(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (...) {
        HandleCurrentException(this);
    }
    ReportQueuedExceptions();
    return true;
}

bool TApplication::IsHintMsg(MSG& msg) {
    if (!FHintWindow || !FHintWindow->IsActive()) return false;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        CancelHint();
        break;
    default: break;
    }
    return false;
}

bool TApplication::IsMDIMsg(MSG& msg) {
    if (!FMainForm || FMainForm->FormStyle() != fsMDIForm || !FMainForm->ClientHandle()) return false;
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (!FMainForm->ActiveMDIChild()) return false;
    // Only when the key goes to the frame's own windows (not a modal dialog of ours).
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (top != FMainForm->Handle()) return false;
    return TranslateMDISysAccel(FMainForm->ClientHandle(), &msg) != FALSE;
}

bool TApplication::IsKeyMsg(MSG& msg) {
    UINT m = msg.message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_SYSCHAR && m != WM_CHAR) return false;
    TWinControl* target = nullptr;
    for (HWND w = msg.hwnd; w && !target; w = GetParent(w)) target = FindControl(w);
    if (!target) return false;
    TForm* form = GetParentForm(target);
    if (!form) return false;
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
        WORD key = static_cast<WORD>(msg.wParam);
        TShiftState shift = KeyboardStateToShiftState();
        if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
        if (form->IsShortCut(key, shift)) return true;
        if (form->FormStyle() == fsMDIChild && FMainForm && FMainForm != form) {
            if (FMainForm->IsShortCut(key, shift)) return true;
        }
        TMessage appKey{CM_APPKEYDOWN, key, msg.lParam, 0};
        if (RunMainWindowHooks(appKey)) return true;
        bool dialogKey = key == VK_TAB || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
                         key == VK_RETURN || key == VK_ESCAPE || key == VK_CANCEL;
        if (dialogKey && !(shift & ssAlt)) {
            LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
            bool arrows = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
            bool wants = (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) || (key == VK_TAB && (code & DLGC_WANTTAB)) ||
                         (arrows && (code & DLGC_WANTARROWS));
            if (!wants) {
                TWinControl* owner = FindControl(msg.hwnd);
                if (owner && owner->Perform(CM_WANTSPECIALKEY, key, msg.lParam)) wants = true;
            }
            if (!wants) {
                // Key preview sees dialog keys as well.
                if (form->KeyPreview()) {
                    WORD k = key;
                    static_cast<TWinControl*>(form)->KeyDown(k, shift);
                    if (k == 0) return true;
                }
                if (form->Perform(CM_DIALOGKEY, key, msg.lParam)) return true;
            }
        }
        return false;
    }
    if (m == WM_SYSCHAR) return form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
    // WM_CHAR: a control that takes no characters lets the form try its hot keys.
    if (msg.wParam > L' ') {
        LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg));
        if (!(code & DLGC_WANTCHARS) && !(code & DLGC_WANTALLKEYS) && FindControl(msg.hwnd) &&
            dynamic_cast<TForm*>(FindControl(msg.hwnd)) == nullptr)
            return form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
    }
    return false;
}

void TApplication::Idle(const MSG&) {
    DoMouseIdle();
    bool done = true;
    try {
        if (OnIdle) OnIdle(this, done);
        if (done) DoActionIdle();
    } catch (...) {
        HandleCurrentException(this);
    }
    try {
        CheckSynchronize();
    } catch (...) {
        HandleCurrentException(this);
    }
    ReportQueuedExceptions();
    if (done) WaitMessage();
}

void TApplication::DoActionIdle() {
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* f = Screen->Forms(i);
        if (f->HandleAllocated() && IsWindowVisible(f->Handle())) f->UpdateActions();
    }
}

void TApplication::HandleException(TComponent* sender) { HandleCurrentException(sender); }

void TApplication::ShowCurrentException(TComponent* sender) {
    std::exception_ptr ep = std::current_exception();
    if (!ep) return;
    try {
        try {
            std::rethrow_exception(ep);
        } catch (const EAbort&) {
            return;
        } catch (const Exception& e) {
            if (OnException) OnException(sender, e);
            else ShowException(e);
        } catch (...) {
            Exception w(ExceptionMessage(ep));
            if (OnException) OnException(sender, w);
            else ShowException(w);
        }
    } catch (...) {
        // An exception inside the handler itself is dropped: nothing may leave here.
    }
}

void TApplication::ShowException(const Exception& e) {
    std::wstring msg = e.Message();
    MessageBox(msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND owner = GetActiveWindow();
    if (!owner) owner = FHandle;
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::QueueCall(std::function<void()> fn, const void* owner) {
    if (!fn || !FHandle) return;
    uint64_t number;
    {
        std::lock_guard<std::mutex> guard(FCallLock);
        number = ++FCallNumber;
        FCalls.push_back(TQueuedCall{std::move(fn), owner, number});
    }
    // One message per call, so calls keep their place among the other posted messages
    // (and a nested loop, such as a message box's, runs them as well).
    if (PostMessageW(FHandle, CM_DEFERREDCALL, 0, 0)) return;
    std::lock_guard<std::mutex> guard(FCallLock);
    FCalls.erase(std::remove_if(FCalls.begin(), FCalls.end(),
                                [number](const TQueuedCall& c) { return c.Number == number; }),
                 FCalls.end());
}

void TApplication::CancelQueuedCalls(const void* owner) {
    if (!owner) return;
    std::lock_guard<std::mutex> guard(FCallLock);
    // The entries stay as empty places: each posted message takes one entry.
    for (TQueuedCall& c : FCalls)
        if (c.Owner == owner) {
            c.Fn = nullptr;
            c.Owner = nullptr;
        }
}

void TApplication::RunQueuedCall() {
    std::function<void()> fn;
    {
        std::lock_guard<std::mutex> guard(FCallLock);
        if (FCalls.empty()) return;
        fn = std::move(FCalls.front().Fn);
        FCalls.pop_front();
    }
    if (!fn) return;  // cancelled
    try {
        fn();
    } catch (...) {
        HandleCurrentException(this);
    }
}

void TApplication::ReleaseForm(TForm* f) {
    if (std::find(FPendingRelease.begin(), FPendingRelease.end(), f) == FPendingRelease.end())
        FPendingRelease.push_back(f);
    PostMessageW(FHandle, CM_RELEASE, 0, reinterpret_cast<LPARAM>(f));
}

void TApplication::FormDestroyed(TForm* f) {
    FPendingRelease.erase(std::remove(FPendingRelease.begin(), FPendingRelease.end(), f), FPendingRelease.end());
    if (FHintControl && f->ContainsControl(FHintControl)) CancelHint();
}

// --- hints -------------------------------------------------------------------------------

void TApplication::SetHint(const std::wstring& v) {
    if (v == FHint) return;
    FHint = v;
    if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool v) {
    FShowHint = v;
    if (!v) CancelHint();
}

void TApplication::StartHintTimer(int delay) {
    StopHintTimer();
    FHintTimer = SetTimer(FHandle, kHintShowTimer, static_cast<UINT>(std::max(delay, 1)), nullptr);
}

void TApplication::StopHintTimer() {
    if (FHintTimer) {
        KillTimer(FHandle, kHintShowTimer);
        FHintTimer = 0;
    }
}

void TApplication::HideHint() {
    if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::HookMainWindow(const void* key, TWindowHook hook) {
    UnhookMainWindow(key);
    FMainWindowHooks.emplace_back(key, std::move(hook));
}

void TApplication::UnhookMainWindow(const void* key) {
    std::erase_if(FMainWindowHooks, [key](const auto& entry) { return entry.first == key; });
}

bool TApplication::RunMainWindowHooks(TMessage& message) {
    // A hook may add or remove hooks while it runs.
    const auto hooks = FMainWindowHooks;
    for (const auto& entry : hooks)
        if (entry.second && entry.second(message)) return true;
    return false;
}

void TApplication::CancelHint() {
    StopHintTimer();
    if (FHandle) KillTimer(FHandle, kHintHideTimer);
    HideHint();
    FHintControl = nullptr;
    FHintShown = false;
}

void TApplication::DoMouseIdle() {
    POINT p;
    if (!GetCursorPos(&p)) return;
    TControl* c = FindDragTarget(p, true);
    if (c && !(GetAncestor(c->ParentWindowHandle(), GA_ROOT) && IsWindowVisible(c->ParentWindowHandle()))) c = nullptr;
    if (c != FMouseControl) {
        TControl* old = FMouseControl;
        FMouseControl = c;
        if (old) old->Perform(CM_MOUSELEAVE);
        if (c && FMouseControl == c) c->Perform(CM_MOUSEENTER);
        SetHint(c ? GetLongHint(GetInheritedHint(c)) : std::wstring());
        bool wasShown = FHintWindow && FHintWindow->IsActive();
        HideHint();
        StopHintTimer();
        FHintControl = nullptr;
        if (c && FShowHint && c->ShowHint() && (!GetInheritedHint(c).empty() || c->HintsOfItsOwn()) && FActive) {
            FHintControl = c;
            StartHintTimer(HintPauseFor(c, wasShown, wasShown || FHintShown ? HintShortPause : HintPause));
        } else if (!c) {
            FHintShown = false;
        }
    } else if (FHintWindow && FHintWindow->IsActive() && !PtInRect(&FHintCursorRect, p)) {
        HideHint();
        // A control with hints per item shows the next item's hint after the short pause.
        if (c && c->HintsOfItsOwn() && FShowHint && c->ShowHint() && FActive) {
            FHintControl = c;
            StartHintTimer(HintPauseFor(c, true, HintShortPause));
        }
    }
}

int TApplication::HintPauseFor(TControl* control, bool wasActive, int pause) {
    // The control may shorten or lengthen the pause (CM_HINTSHOWPAUSE: LParam points to it).
    control->Perform(CM_HINTSHOWPAUSE, wasActive, reinterpret_cast<LPARAM>(&pause));
    return pause;
}

void TApplication::HintTimerExpired() {
    StopHintTimer();
    POINT p;
    GetCursorPos(&p);
    if (FHintControl && FHintControl == FMouseControl) ActivateHint(p);
}

void TApplication::ActivateHint(POINT cursorPos) {
    TControl* c = FMouseControl;
    if (!c) return;
    std::wstring hint = GetInheritedHint(c);
    if (hint.empty() && !c->HintsOfItsOwn()) return;
    THintInfo info;
    info.HintControl = c;
    info.HintWindowClass = HintWindowClass;
    info.HintPos = {cursorPos.x, cursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 3 / 4};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = HintColor;
    info.CursorRect = c->ClientRect();
    info.CursorPos = c->ScreenToClient(cursorPos);
    info.HideTimeout = HintHidePause;
    info.HintStr = GetShortHint(hint);
    if (HintShortCuts) {
        if (auto* a = dynamic_cast<TCustomAction*>(c->Action()); a && a->ShortCut())
            info.HintStr += L" (" + ShortCutToText(a->ShortCut()) + L")";
    }
    if (c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) return;
    if (FHintWindow) {
        delete FHintWindow;
        FHintWindow = nullptr;
    }
    if (!info.HintWindowClass) return;
    FHintWindow = info.HintWindowClass();
    if (!FHintWindow) return;
    FHintWindow->SetColor(info.HintColor);
    const RECT r = PlaceHintRect(FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData),
                                 info.HintPos, cursorPos.y, Screen->WorkAreaRect());
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    POINT tl = c->ClientToScreen({info.CursorRect.left, info.CursorRect.top});
    POINT br = c->ClientToScreen({info.CursorRect.right, info.CursorRect.bottom});
    FHintCursorRect = {tl.x, tl.y, br.x, br.y};
    FHintShown = true;
    if (info.HideTimeout > 0) SetTimer(FHandle, kHintHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
}

}  // namespace classlib
