// The application object: its hidden window, the message loop, idle work, hints and the
// handling of exceptions that reach a window procedure.
//
// - One TApplication exists at a time; its constructor sets the global `Application` and
//   its destructor clears it. Create it on the main thread before any window.
// - It owns the process setup, in this order: OLE, common controls, timer resolution and
//   shared window classes (TProcessSetup), the screen object (`Screen`), the application
//   window, the utility window of the timers. Its destructor destroys the forms and other
//   owned components, drops queued calls, destroys the process objects (ProcessObject),
//   the windows and the screen, and last undoes the process setup.
// - The application window is a hidden top-level window of class "TApplication" (not
//   message-only, so other instances find it with EnumWindows). It owns the top-level
//   forms and receives Release, synchronised calls from threads and deferred calls.
// - The loop, for each message: OnMessage, hint handling, shortcuts of the active form
//   (actions and menu), dialog keys (Tab, Enter, Esc, arrows) unless the focused control
//   asks for the key, MDI accelerators, then TranslateMessage/DispatchMessageW. When the
//   queue is empty: mouse tracking, OnIdle, action updates, queued thread calls, WaitMessage.
// - Exceptions that reach a window procedure, the loop or a queued call go through the
//   exception funnel (errors.h). The application is its reporter: it shows the message in a
//   message box (EAbort is silent) or hands it to OnException, and the loop goes on. The
//   loop shows the reports the funnel queued (during painting or destruction) after each
//   message and before it waits.
// - One queue of deferred calls (QueueCall) serves the whole program.
// Main thread only, except QueueCall which any thread may use.
#pragma once

#include "classlib/component.h"
#include "classlib/control.h"
#include "classlib/errors.h"
#include "classlib/processsetup.h"
#include "classlib/utilwindow.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace classlib {

class TForm;
class THintWindow;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    HWND Handle() const { return FHandle; }
    std::wstring Title() const;
    void SetTitle(const std::wstring& value);
    // Full path of the program file.
    std::wstring ExeName() const;

    TForm* MainForm() const { return FMainForm; }
    // The first form made with CreateForm becomes the main form.
    void SetMainForm(TForm* form) { FMainForm = form; }
    template <class T, class... Args>
    T* CreateForm(Args&&... args) {
        T* f = new T(this, std::forward<Args>(args)...);
        if (!FMainForm) FMainForm = f;
        return f;
    }
    bool ShowMainForm = true;

    // Shows the main form and runs the loop until Terminate (or the main form closes).
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles one message, or does the idle work and waits when there is none.
    void HandleMessage();
    // Handles every message waiting, without idle work or waiting.
    void ProcessMessages();
    // Handles one message if there is one; false when the queue was empty.
    bool ProcessMessage(MSG& msg);

    // Call inside a catch block: hands the current exception to the funnel
    // (HandleCurrentException), which shows it now or queues it for the loop.
    void HandleException(TComponent* sender);
    void ShowException(const Exception& e);
    std::function<void(TComponent* sender, const Exception& e)> OnException;
    std::function<void(MSG& msg, bool& handled)> OnMessage;
    std::function<void(TComponent* sender, bool& done)> OnIdle;
    TNotifyEvent OnHint, OnActivate, OnDeactivate;

    // Runs `fn` on the main thread from the loop, after the messages already waiting (any
    // thread may call this). `owner` (optional) names what the call belongs to: an object
    // that goes away calls CancelQueuedCalls(itself) and its calls not run yet are dropped.
    // An exception from a call goes to the exception funnel; the calls after it still run.
    // Calls still queued when the application ends are dropped.
    void QueueCall(std::function<void()> fn, const void* owner = nullptr);
    void CancelQueuedCalls(const void* owner);

    // The hidden message-only utility window ("WendlarUtilWindow") that serves the timers.
    HWND UtilWindow() const { return FUtilWindow ? FUtilWindow->Handle() : nullptr; }
    // The process-wide object of type T of a layer above this one (the theme manager, a
    // cache of GDI objects): made with T's default constructor on first use and destroyed
    // by the application's end, last made first, after the forms and before the screen,
    // the windows and OLE. Main thread only.
    template <class T>
    T& ProcessObject();
    // Destroys a form after the current message (TForm::Release).
    void ReleaseForm(TForm* form);
    // A form is being destroyed: forget a pending release.
    void FormDestroyed(TForm* form);
    // Shows a message box owned by the active form; returns its result.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);
    // Help requests go to OnHelp (the program's HTML Help); without it they are answered
    // as not handled. Nothing here calls the old help engine.
    bool HelpContext(int context) { return OnHelp ? OnHelp(context) : false; }
    std::function<bool(int context)> OnHelp;

    // --- main-window hooks
    // Hooks see the application's key messages before they go on: CM_APPKEYDOWN (WParam
    // the key, LParam the key data) for a key no shortcut of the active form took, and
    // CM_APPSYSCOMMAND (the parameters of a WM_SYSCOMMAND SC_KEYMENU) for the menu keys of
    // a form without a menu. A hook that answers true has handled the message. Hooks are
    // called directly, in the order they were added; `key` names a hook for removal. No
    // window message carries them, so nothing outside the process can send one.
    using TWindowHook = std::function<bool(TMessage& message)>;
    void HookMainWindow(const void* key, TWindowHook hook);
    void UnhookMainWindow(const void* key);
    bool RunMainWindowHooks(TMessage& message);

    // --- hints
    const std::wstring& Hint() const { return FHint; }
    void SetHint(const std::wstring& value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    bool HintShortCuts = true;
    TColor HintColor = clInfoBk;
    // Makes the window that shows hints; replaceable.
    std::function<THintWindow*()> HintWindowClass;
    void CancelHint();
    void HideHint();
    // Shows the hint of the control under the cursor now.
    void ActivateHint(POINT cursorPos);
    TControl* MouseControl() const { return FMouseControl; }
    // Follows the control under the mouse (enter/leave notifications and hints).
    void DoMouseIdle();

    // --- idle work
    void Idle(const MSG& msg);
    // Runs action updates of the visible forms.
    void DoActionIdle();
    // Number of modal loops running.
    int ModalLevel() const { return FModalLevel; }
    bool Active() const { return FActive; }
    // The dialog window of the loop, if a dialog (not one of our forms) is active.
    HWND DialogHandle = nullptr;

private:
    friend class TControl;
    friend class TForm;
    struct TQueuedCall {
        std::function<void()> Fn;
        const void* Owner;
        uint64_t Number;
    };
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    // Runs the oldest queued call (one CM_DEFERREDCALL message each).
    void RunQueuedCall();
    void* FindProcessObject(const void* key) const;
    void AddProcessObject(const void* key, std::shared_ptr<void> object);
    LRESULT AppWndProc(UINT msg, WPARAM wp, LPARAM lp);
    // The funnel's reporter: OnException, or a message box.
    void ShowCurrentException(TComponent* sender);
    bool IsKeyMsg(MSG& msg);
    bool IsHintMsg(MSG& msg);
    bool IsMDIMsg(MSG& msg);
    void StartHintTimer(int delay);
    void StopHintTimer();
    void HintTimerExpired();
    int HintPauseFor(TControl* control, bool wasActive, int pause);

    TProcessSetup FSetup;  // first made, last undone
    HWND FHandle = nullptr;
    std::unique_ptr<TUtilWindow> FUtilWindow;
    std::mutex FCallLock;
    std::deque<TQueuedCall> FCalls;
    uint64_t FCallNumber = 0;
    std::vector<std::pair<const void*, std::shared_ptr<void>>> FProcessObjects;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FActive = true;
    int FModalLevel = 0;
    std::wstring FHint;
    bool FShowHint = true;
    bool FHintActive = false;
    TControl* FMouseControl = nullptr;
    TControl* FHintControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    RECT FHintCursorRect{};
    UINT_PTR FHintTimer = 0;
    bool FHintShown = false;
    std::vector<TForm*> FPendingRelease;
    std::vector<std::pair<const void*, TWindowHook>> FMainWindowHooks;
    std::function<void()> FPrevWake;                     // restored by the destructor
    std::function<void(TComponent*)> FPrevExceptionHandler;
};

// The part of a hint before the first "|" (the whole hint without one).
std::wstring GetShortHint(const std::wstring& hint);
// The part after the first "|" (the whole hint without one).
std::wstring GetLongHint(const std::wstring& hint);
// The control's hint, or its nearest parent's non-empty hint.
std::wstring GetInheritedHint(TControl* control);

// The application object, or null before it is made.
extern TApplication* Application;

template <class T>
T& TApplication::ProcessObject() {
    static const char key = 0;  // one per type
    if (void* found = FindProcessObject(&key)) return *static_cast<T*>(found);
    auto object = std::make_unique<T>();
    T& result = *object;
    AddProcessObject(&key, std::shared_ptr<T>(std::move(object)));
    return result;
}

}  // namespace classlib
