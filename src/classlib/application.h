// The application object: its hidden window, the message loop, idle work, hints and the
// handling of exceptions that reach a window procedure.
//
// - One TApplication exists at a time; its constructor sets the global `Application` and
//   its destructor clears it. Create it on the main thread before any window.
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
// Main thread only, except QueueCall which any thread may use.
#pragma once

#include "classlib/component.h"
#include "classlib/control.h"
#include "classlib/errors.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
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

    // Runs `fn` on the main thread from the loop (any thread may call this).
    void QueueCall(std::function<void()> fn);
    // Destroys a form after the current message (TForm::Release).
    void ReleaseForm(TForm* form);
    // A form is being destroyed: forget a pending release.
    void FormDestroyed(TForm* form);
    // Shows a message box owned by the active form; returns its result.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);
    // No help file is used: help requests are answered as not handled.
    bool HelpContext(int context) { return false; }

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
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT AppWndProc(UINT msg, WPARAM wp, LPARAM lp);
    // The funnel's reporter: OnException, or a message box.
    void ShowCurrentException(TComponent* sender);
    bool IsKeyMsg(MSG& msg);
    bool IsHintMsg(MSG& msg);
    bool IsMDIMsg(MSG& msg);
    void StartHintTimer(int delay);
    void StopHintTimer();
    void HintTimerExpired();

    HWND FHandle = nullptr;
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

}  // namespace classlib
