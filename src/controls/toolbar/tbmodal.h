// The menu loop: while a menu is open (a popup menu, a menu of the menu bar, a toolbar
// button held down, the keyboard on a menu bar after Alt or F10) the program runs this loop
// instead of its ordinary one. It captures the mouse, routes mouse and keyboard input to
// the views of the open chain (the root view and the popups opened from it, tbview.h),
// drives the menu timers, keeps the status hint and the cursor up to date, and ends when a
// view records a done action, when the capture or the active window changes, or when the
// user clicks outside the chain (the click stays queued, so it still reaches what was
// clicked).
//
// Everything the handler acquires is released by its destructor on every way out, an
// exception from an item's handler included: the mouse capture, the foreground lock (no
// other program may take the foreground while a menu is open), the menu start/end events
// for assistive tools, its own window. RunLoop itself clears the status hint and the tool
// tip, the root's tracking state and queued characters on every way out.
//
// Main thread only; one loop per root at a time.
#pragma once

#include <windows.h>

#include <memory>

namespace classlib {
class TUtilWindow;
}

namespace toolbar {

class TBarView;
class TBarPopupWindow;

class TBarModalHandler {
public:
    // `wnd`: the window that takes the capture (a toolbar); null makes a hidden window of
    // the handler's own (popup menus).
    explicit TBarModalHandler(HWND wnd);
    ~TBarModalHandler();
    TBarModalHandler(const TBarModalHandler&) = delete;
    TBarModalHandler& operator=(const TBarModalHandler&) = delete;

    HWND Wnd() const { return FWnd; }
    // The popup whose view a WM_CANCELMODE of the handler's own window cancels (null: none).
    void SetPopupWindow(TBarPopupWindow* window) { FPopupWindow = window; }

    // Runs the loop over `root` and its open popups until it ends. `mouseDown`: the
    // press that started it goes to the root's selected viewer first; `executeSelected`:
    // the root's selection is executed first (its menu opens or it is clicked);
    // `trackRightButton`: the right button chooses items like the left one.
    void RunLoop(TBarView* root, bool mouseDown, bool executeSelected, bool fromAccessibility,
                 bool trackRightButton);

private:
    class TForegroundLock {
    public:
        TForegroundLock();
        ~TForegroundLock();
        TForegroundLock(const TForegroundLock&) = delete;
        TForegroundLock& operator=(const TForegroundLock&) = delete;

    private:
        bool FLocked = false;
    };
    class TCapture {
    public:
        explicit TCapture(HWND wnd);
        ~TCapture();
        TCapture(const TCapture&) = delete;
        TCapture& operator=(const TCapture&) = delete;

    private:
        HWND FWnd;
    };
    class TMenuEvents {
    public:
        explicit TMenuEvents(HWND wnd);
        ~TMenuEvents();
        TMenuEvents(const TMenuEvents&) = delete;
        TMenuEvents& operator=(const TMenuEvents&) = delete;

    private:
        HWND FWnd;
    };

    static HWND MakeOwnWindow(TBarModalHandler* self, std::unique_ptr<classlib::TUtilWindow>& holder);
    void CancelModeOfPopup();

    // Destroyed last to first: the lock goes first, the own window last.
    std::unique_ptr<classlib::TUtilWindow> FOwnWindow;
    HWND FWnd;
    TMenuEvents FMenuEvents;
    TCapture FCapture;
    TForegroundLock FForegroundLock;
    TBarPopupWindow* FPopupWindow = nullptr;
};

// Marks the cursor position the loop last saw as stale: the next message's position is
// taken and the selection, cursor and hint are updated from it.
void InvalidateMenuCursorPosition();
// How many menu loops hold the foreground lock now (for tests and diagnosis).
int MenuForegroundLockCount();

}  // namespace toolbar
